#include "platform/Shell.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace platform {

bool shellOpen(const QString& target)
{
    if (target.trimmed().isEmpty())
        return false;
    // A scheme of two or more letters marks a web address; everything else is a local path,
    // so names with spaces, '#' or '?' are not mangled by URL parsing.
    const QUrl url(target, QUrl::StrictMode);
    const bool isAddress = url.isValid() && url.scheme().size() > 1 && !target.startsWith(QLatin1Char('/'));
    return QDesktopServices::openUrl(isAddress ? url : QUrl::fromLocalFile(target));
}

bool relaunchSelf(const QStringList& arguments)
{
    const QString program = QCoreApplication::applicationFilePath();
    if (program.isEmpty())
        return false;
    return QProcess::startDetached(program, arguments);
}

} // namespace platform
