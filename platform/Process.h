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

// What watchEarlierCopy found.
enum class CopyWatch
{
    NotACopy,     // no such process, or not this program of this user started before the caller: left alone
    Ended,        // it ended within the wait
    Terminated,   // it outlived the wait and was killed
    StillRunning, // it outlived the wait and was not to be killed (or could not be)
};

// Waits up to timeoutMs for pid to end, but only when pid runs this very program (the same executable
// file) for the same user and started before the caller; a reused or mistyped ID returns NotACopy at
// once. The process is pinned for the whole wait, so the kill at the end cannot reach a newcomer that
// took over the ID.
CopyWatch watchEarlierCopy(qint64 pid, int timeoutMs, bool terminateAtEnd);

} // namespace platform
