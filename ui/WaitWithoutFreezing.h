#pragma once
// Runs a blocking call on a worker thread while the GUI thread goes on painting and animating.
// User input stays blocked until the call returns, so to its caller the call is still synchronous,
// but a slow service no longer freezes the window.

#include <QEventLoop>
#include <QMetaObject>
#include <optional>
#include <thread>
#include <utility>

template <typename Work> auto waitWithoutFreezing(Work work) -> decltype(work())
{
    std::optional<decltype(work())> result;
    QEventLoop loop;
    std::thread worker([&] {
        result.emplace(work());
        // Queued: if the worker is quicker than exec() below, the quit waits for the loop to run.
        QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    return std::move(*result);
}
