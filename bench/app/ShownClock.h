#pragma once
// The start-up figure's end mark, as VTX makes it with VTX_QUIT_WHEN_SHOWN: on the
// event loop's first turn, once the window is up, print the monotonic clock and quit.

#include <QCoreApplication>
#include <QTimer>
#include <cstdio>
#include <ctime>

inline void printClockWhenShownAndQuit()
{
    QTimer::singleShot(0, QCoreApplication::instance(), [] {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        std::printf("shown %.3f\n", now.tv_sec * 1000.0 + now.tv_nsec / 1e6);
        std::fflush(stdout);
        QCoreApplication::quit();
    });
}
