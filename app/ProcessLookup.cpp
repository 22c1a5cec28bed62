#include "ProcessLookup.h"

#include "platform/Process.h"

int lookupProcess(const QString& exeName, qint64 pid, int mode)
{
    const auto snapshot = platform::processSnapshot();
    if (!snapshot)
        return -1;

    switch (mode) {
    case kProcessExists:
        for (const auto& p : *snapshot)
            if (p.pid == pid)
                return 0;
        return -2;
    case kTerminateById:
        for (const auto& p : *snapshot)
            if (p.pid == pid)
                return platform::terminateProcess(pid) ? 0 : 1;
        return 1;
    case kTerminateByName: {
        // Only the user's own copies, never the one asking: it must keep running.
        const qint64 self = platform::currentProcessId();
        bool any = false;
        for (const auto& p : *snapshot) {
            if (p.pid == pid || p.pid == self || !p.ownedByCurrentUser)
                continue;
            if (p.exeName.compare(exeName, Qt::CaseInsensitive) == 0 && platform::terminateProcess(p.pid))
                any = true;
        }
        return any ? 0 : 1;
    }
    default:
        return 1;
    }
}
