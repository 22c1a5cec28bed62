#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <climits>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "platform/Process.h"

namespace platform {
namespace {

bool isPidName(const char* name)
{
    if (!*name)
        return false;
    for (const char* p = name; *p; ++p) {
        if (*p < '0' || *p > '9')
            return false;
    }
    return true;
}

QString exeNameOf(const QByteArray& procDir)
{
    char target[PATH_MAX];
    const ssize_t n = ::readlink((procDir + "/exe").constData(), target, sizeof target - 1);
    if (n > 0) {
        QString path = QFile::decodeName(QByteArray(target, static_cast<int>(n)));
        // A replaced binary still runs under its old name.
        const QLatin1String deleted(" (deleted)");
        if (path.endsWith(deleted))
            path.chop(deleted.size());
        return QFileInfo(path).fileName();
    }
    // Other users' processes and kernel threads hide their executable; comm holds up to 15 bytes of it.
    QFile comm(QString::fromLatin1(procDir + "/comm"));
    if (comm.open(QIODevice::ReadOnly))
        return QString::fromUtf8(comm.readLine(64)).trimmed();
    return QString();
}

// A zombie has ended; only its exit status waits for its parent.
bool isZombie(const QByteArray& procDir)
{
    QFile stat(QString::fromLatin1(procDir + "/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return true; // gone while we looked
    const QByteArray line = stat.read(512);
    const int close = line.lastIndexOf(')'); // the command name may hold spaces and parentheses
    return close < 0 || line.mid(close + 2, 1) == "Z";
}

} // namespace

std::optional<QList<ProcessEntry>> processSnapshot()
{
    DIR* dir = ::opendir("/proc");
    if (!dir)
        return std::nullopt;
    QList<ProcessEntry> entries;
    const uid_t me = ::getuid();
    while (dirent* entry = ::readdir(dir)) {
        if (!isPidName(entry->d_name))
            continue;
        const QByteArray procDir = QByteArray("/proc/").append(entry->d_name);
        struct stat st = {};
        if (::stat(procDir.constData(), &st) != 0)
            continue; // ended while we looked
        if (isZombie(procDir))
            continue;
        ProcessEntry process;
        process.pid = QByteArray(entry->d_name).toLongLong();
        process.exeName = exeNameOf(procDir);
        process.ownedByCurrentUser = st.st_uid == me;
        entries.append(process);
    }
    ::closedir(dir);
    return entries;
}

qint64 currentProcessId()
{
    return static_cast<qint64>(::getpid());
}

bool terminateProcess(qint64 pid)
{
    // 0 and negative values would signal whole process groups.
    if (pid <= 0 || pid > INT_MAX || pid == ::getpid())
        return false;
    // A pidfd pins the process, so the owner check and the signal reach the same one even if
    // the id is reused in between.
    const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, static_cast<pid_t>(pid), 0));
    if (pidfd < 0 && errno != ENOSYS)
        return false;
    const QByteArray procDir = "/proc/" + QByteArray::number(pid);
    struct stat st = {};
    bool ok = ::stat(procDir.constData(), &st) == 0 && st.st_uid == ::getuid();
    if (ok) {
        if (pidfd >= 0)
            ok = ::syscall(SYS_pidfd_send_signal, pidfd, SIGKILL, nullptr, 0) == 0;
        else
            ok = ::kill(static_cast<pid_t>(pid), SIGKILL) == 0;
    }
    if (pidfd >= 0)
        ::close(pidfd);
    return ok;
}

} // namespace platform
