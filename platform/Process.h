#pragma once
// Processes of the current user.

#include <QList>
#include <QString>
#include <optional>

namespace platform {

struct ProcessEntry
{
    qint64 pid = 0;
    QString exeName; // file name of the executable, without folder
    bool ownedByCurrentUser = false;
};

// A snapshot of all processes (walks /proc); nullopt when it cannot be taken.
std::optional<QList<ProcessEntry>> processSnapshot();
qint64 currentProcessId();
// SIGKILL; refuses the calling process and processes of other users.
bool terminateProcess(qint64 pid);

} // namespace platform
