#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Paths.h"

namespace platform {
namespace {

QString withSlash(QString path)
{
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

// A folder only this user may enter; false when it exists but belongs to someone else or is a link.
bool makePrivateFolder(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat st = {};
    if (::lstat(native.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid())
        return false;
    if ((st.st_mode & 0777) != 0700 && ::chmod(native.constData(), 0700) != 0)
        return false;
    return true;
}

} // namespace

QString appDataFolder()
{
    const QString xdg = QFile::decodeName(qgetenv("XDG_CONFIG_HOME"));
    // Relative values are invalid by the XDG rules and are ignored.
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return QDir::cleanPath(xdg);
    return QDir::cleanPath(QDir::homePath() + QLatin1String("/.config"));
}

QString dataFolder()
{
    return appDataFolder() + QLatin1String("/VTX/");
}

QString programFolder()
{
    if (QCoreApplication::instance())
        return withSlash(QCoreApplication::applicationDirPath());
    // Before the application object exists the kernel still knows the executable.
    return withSlash(QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath());
}

QString runtimeFolder()
{
    const QString xdg = QFile::decodeName(qgetenv("XDG_RUNTIME_DIR"));
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) {
        const QString path = QDir::cleanPath(xdg) + QLatin1String("/VTX");
        if (makePrivateFolder(path))
            return path;
    }
    // A shared temporary folder: the name carries the uid, and a folder someone else planted
    // under that name is refused in favour of one inside the user's own data folder.
    const QString path = QDir::tempPath() + QStringLiteral("/vtx-runtime-%1").arg(::getuid());
    if (makePrivateFolder(path))
        return path;
    ensureFolder(dataFolder());
    const QString fallback = dataFolder() + QLatin1String("run");
    makePrivateFolder(fallback);
    return fallback;
}

bool ensureFolder(const QString& path)
{
    if (path.isEmpty())
        return false;
    return QDir().mkpath(path);
}

} // namespace platform
