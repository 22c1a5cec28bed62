#pragma once
// Start-up: the roles a VTX process can play, the single running copy, and the relaunches.

#include <QString>
#include <QStringList>
#include <functional>

#include "app/CommandLine.h"
#include "base/Lifecycle.h"

// Waits up to rounds seconds for an earlier copy of VTX of this user to end; terminates it after the
// last round when asked. Any other process (a reused or mistyped ID) is neither waited for nor touched.
// True when there is nothing left to wait for: the copy ended by itself, or pid is not one.
bool waitForProcessEnd(qint64 pid, int rounds, bool terminateAtEnd);

// The whole client: returns the process exit code.
int runVtx(int argc, char** argv);
