#include <QFile>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

#include "platform/NamedMutex.h"
#include "platform/Paths.h"

namespace platform {
namespace {

QByteArray lockPath(const QString& name)
{
    QString safe = name;
    safe.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QFile::encodeName(runtimeFolder() + QLatin1Char('/') + safe + QLatin1String(".lock"));
}

int flockRetry(int fd, int op)
{
    int rc;
    do {
        rc = ::flock(fd, op);
    } while (rc != 0 && errno == EINTR);
    return rc;
}

} // namespace

struct NamedMutex::Impl
{
    int fd = -1;
};

bool NamedMutex::IsHeld(const QString& name)
{
    // Never creates the file: a missing file means nobody ever took the lock.
    const int fd = ::open(lockPath(name).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    // A separate open file description conflicts with every other holder, this process included.
    bool held = false;
    if (flockRetry(fd, LOCK_SH | LOCK_NB) != 0)
        held = errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

NamedMutex::NamedMutex(const QString& name)
    : m_impl(std::make_unique<Impl>())
{
    const int fd = ::open(lockPath(name).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    // IsHeld() probes hold a shared lock for a moment; a short retry keeps such a probe from
    // making a legitimate start fail.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(100);
    while (flockRetry(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) {
            ::close(fd);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    m_impl->fd = fd;
}

NamedMutex::~NamedMutex()
{
    release();
}

bool NamedMutex::isHeld() const
{
    return m_impl->fd >= 0;
}

void NamedMutex::release()
{
    if (m_impl->fd < 0)
        return;
    // The file stays: removing it would let a new holder lock a different inode than a prober sees.
    ::flock(m_impl->fd, LOCK_UN);
    ::close(m_impl->fd);
    m_impl->fd = -1;
}

} // namespace platform
