#pragma once
// Start-up: the roles a VTX process can play, the single running copy, and the relaunches.

#include <QString>
#include <QStringList>
#include <functional>

#include "app/CommandLine.h"

// Waits up to rounds seconds for an earlier copy of VTX of this user to end; terminates it after the
// last round when asked. Any other process (a reused or mistyped ID) is neither waited for nor touched.
// True when there is nothing left to wait for: the copy ended by itself, or pid is not one.
bool waitForProcessEnd(qint64 pid, int rounds, bool terminateAtEnd);

// The whole client: returns the process exit code.
int runVtx(int argc, char** argv);

namespace startup {

const char kInstanceLockName[] = "Veltrex_Cloud_Meeting";

// Set when the client relaunches itself; suppresses the exit question.
bool restarting();
void setRestarting(bool on);

// Gives up the single-instance lock so that a relaunched copy can start.
void releaseInstanceLock();
// Gives up the lock and starts "cleanup <our pid>", unless watchdogStarted says it was done.
void startExitWatchdog(bool& watchdogStarted);
// Starts a new copy of VTX with these arguments.
bool relaunch(const QStringList& arguments);
// Tests replace the relaunch so that no copy of the test program is started.
void setRelaunchHandler(std::function<bool(const QStringList&)> handler);

} // namespace startup
