#pragma once
// The shell's "open" verb and starting copies of ourselves.

#include <QString>
#include <QStringList>

namespace platform {

// Opens a file, folder or web address with the user's default application.
bool shellOpen(const QString& target);
// Starts the running executable again, detached, with these arguments.
bool relaunchSelf(const QStringList& arguments);

} // namespace platform
