#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QThread>

namespace platform {

bool setClipboardText(const QString& text)
{
    // The clipboard belongs to the GUI thread; anywhere else Qt would warn and may crash.
    if (!qApp || QThread::currentThread() != qApp->thread())
        return false;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->setText(text);
    return true;
}

} // namespace platform
