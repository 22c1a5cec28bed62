#pragma once
// The running copy's lifetime as the window sees it: the single-instance lock, the relaunch and
// the watchdog that makes sure an ending copy really ends. Start-up takes the lock; the window
// gives it up when it closes or relaunches.

#include <QStringList>
#include <functional>

namespace startup {

const char kInstanceLockName[] = "Veltrex_Cloud_Meeting";

// Set when the client relaunches itself; suppresses the exit question.
bool restarting();
void setRestarting(bool on);

// Takes the single-instance lock for the rest of the process.
void takeInstanceLock();
// Gives up the single-instance lock so that a relaunched copy can start.
void releaseInstanceLock();
// Gives up the lock and starts "cleanup <our pid>", unless watchdogStarted says it was done.
void startExitWatchdog(bool& watchdogStarted);
// Starts a new copy of VTX with these arguments.
bool relaunch(const QStringList& arguments);
// Tests replace the relaunch so that no copy of the test program is started.
void setRelaunchHandler(std::function<bool(const QStringList&)> handler);

} // namespace startup
