#pragma once
// Top-level windows of the desktop session where the windowing system allows it, else of this
// process. Callable from a worker thread; never blocks on the GUI thread.

#include <QString>
#include <functional>

namespace platform {

using TopLevelId = quint64;

// Starts following this process's top-level windows; call from the GUI thread once the
// application object exists (the functions below also start it on first use).
void trackTopLevelWindows();
// Calls visit for each top-level window until it returns false.
void enumTopLevelWindows(const std::function<bool(TopLevelId)>& visit);
// Title of the window, cut to maxChars; empty when the window is gone.
QString topLevelWindowTitle(TopLevelId id, int maxChars = 256);
// Changes the title; for a window of this process the change is queued to its thread.
bool setTopLevelWindowTitle(TopLevelId id, const QString& title);

} // namespace platform
