#pragma once

#include <QString>

// Modes of lookupProcess.
enum ProcessLookupMode
{
    kProcessExists = -1,  // 0 when a process with the ID exists, -2 when not
    kTerminateByName = 0, // terminate every own process of that name but the given ID and ourselves
    kTerminateById = 1,   // 0 when terminated, 1 otherwise
};

// -1 when the process snapshot cannot be taken; see the modes for the other results.
int lookupProcess(const QString& exeName, qint64 pid, int mode);
