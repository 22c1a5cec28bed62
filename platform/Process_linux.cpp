#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <climits>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
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

// Start time in clock ticks after boot (the 22nd field of stat); 0 when unknown.
quint64 startTicks(const QByteArray& procDir)
{
    QFile stat(QString::fromLatin1(procDir + "/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.read(1024);
    const int close = line.lastIndexOf(')');
    if (close < 0)
        return 0;
    // After the name come the state (field 3) and the rest; the start time is field 22.
    const QList<QByteArray> fields = line.mid(close + 2).split(' ');
    return fields.size() > 19 ? fields.at(19).toULongLong() : 0;
}

QByteArray linkTarget(const QByteArray& link)
{
    char target[PATH_MAX];
    const ssize_t n = ::readlink(link.constData(), target, sizeof target - 1);
    return n > 0 ? QByteArray(target, static_cast<int>(n)) : QByteArray();
}

bool runsOwnExecutable(const QByteArray& procDir)
{
    struct stat mine = {};
    struct stat theirs = {};
    if (::stat("/proc/self/exe", &mine) != 0 || ::stat((procDir + "/exe").constData(), &theirs) != 0)
        return false;
    if (mine.st_dev == theirs.st_dev && mine.st_ino == theirs.st_ino)
        return true;
    // An update replaced the file while the old copy kept running from the deleted one.
    const QByteArray deleted(" (deleted)");
    const QByteArray own = linkTarget("/proc/self/exe");
    const QByteArray other = linkTarget(procDir + "/exe");
    return !own.isEmpty() && other.endsWith(deleted) && other.chopped(deleted.size()) == own;
}

bool isEarlierCopy(qint64 pid)
{
    const QByteArray procDir = "/proc/" + QByteArray::number(pid);
    struct stat st = {};
    if (::stat(procDir.constData(), &st) != 0 || st.st_uid != ::getuid() || isZombie(procDir))
        return false;
    if (!runsOwnExecutable(procDir))
        return false;
    // A process that took over a reused ID started after us; equal ticks are too close to tell.
    const quint64 theirs = startTicks(procDir);
    const quint64 mine = startTicks("/proc/self");
    return theirs != 0 && mine != 0 && theirs < mine;
}

bool waitForExit(int pidfd, qint64 pid, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        const qint64 left = timeoutMs - timer.elapsed();
        if (pidfd >= 0) {
            pollfd p = {pidfd, POLLIN, 0};
            const int r = ::poll(&p, 1, static_cast<int>(qMax<qint64>(left, 0)));
            if (r > 0)
                return true;
            if (r < 0 && errno == EINTR)
                continue;
            return false;
        }
        // Without pidfds: look again every 100 ms.
        if (!isEarlierCopy(pid))
            return true;
        if (left <= 0)
            return false;
        ::usleep(static_cast<useconds_t>(qMin<qint64>(left, 100) * 1000));
    }
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

CopyWatch watchEarlierCopy(qint64 pid, int timeoutMs, bool terminateAtEnd)
{
    if (pid <= 0 || pid > INT_MAX || pid == ::getpid())
        return CopyWatch::NotACopy;
    // Pinned before it is checked: if the ID is reused after this, the descriptor still names the
    // old process, and the checks below see a newcomer that started after us and refuse it.
    const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, static_cast<pid_t>(pid), 0));
    if (pidfd < 0 && errno != ENOSYS)
        return CopyWatch::NotACopy;
    CopyWatch result = CopyWatch::NotACopy;
    if (isEarlierCopy(pid)) {
        if (waitForExit(pidfd, pid, timeoutMs)) {
            result = CopyWatch::Ended;
        } else if (!terminateAtEnd) {
            result = CopyWatch::StillRunning;
        } else {
            bool killed = false;
            if (pidfd >= 0)
                killed = ::syscall(SYS_pidfd_send_signal, pidfd, SIGKILL, nullptr, 0) == 0;
            else if (isEarlierCopy(pid))
                killed = ::kill(static_cast<pid_t>(pid), SIGKILL) == 0;
            result = killed ? CopyWatch::Terminated : CopyWatch::StillRunning;
        }
    }
    if (pidfd >= 0)
        ::close(pidfd);
    return result;
}

} // namespace platform
