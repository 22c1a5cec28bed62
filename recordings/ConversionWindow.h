#pragma once
// The SDK's window shown while it converts a local recording carries the SDK vendor's name in its
// title; VTX gives it its own name instead.

#include <QString>
#include <atomic>

// The title the SDK gives its conversion window.
QString sdkConversionWindowTitle();
// The same title with the vendor's name replaced by the language pack's window title.
QString conversionWindowTitle();
// Retitles the first top-level window whose title is exactly the SDK's; false when none was found
// or keepGoing turned false. Callable from a worker; never waits for the GUI thread.
bool retitleConversionWindow(const QString& newTitle, const std::atomic<bool>& keepGoing);
