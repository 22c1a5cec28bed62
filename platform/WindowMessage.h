#pragma once
// Window handles and window messages. A handle is an opaque integer naming a registered receiver
// (in practice a top-level window). Messages to a handle of this process are posted as
// WindowMessageEvent to the receiver's thread; messages to a handle of another process of the same
// user go through a per-user local socket.

#include <QEvent>
#include <QtGlobal>

class QObject;
class QWidget;

namespace platform {

using WindowHandle = qint64;

// Message numbers the client uses.
enum : quint32
{
    kMsgJoinMeeting = 1190,      // second copy -> running copy: read [Join] ID
    kMsgDownloadProgress = 1204, // download component -> window: wParam = percent, > 100 complete
    kMsgEmailDuplicate = 1424,   // e-mail address editor -> parent: duplicate address
};

class WindowMessageEvent : public QEvent
{
public:
    static QEvent::Type eventType();
    WindowMessageEvent(quint32 message, quint64 wParam, qint64 lParam);
    quint32 message() const { return m_message; }
    quint64 wParam() const { return m_wParam; }
    qint64 lParam() const { return m_lParam; }

private:
    quint32 m_message;
    quint64 m_wParam;
    qint64 m_lParam;
};

// Makes the receiver reachable by handle from this process and from the user's other processes.
// The receiver gets WindowMessageEvent through QObject::event(). The handle stays valid until
// unregisterWindow or the receiver's destruction. Other processes can reach receivers registered
// while the application object exists.
WindowHandle registerWindow(QObject* receiver);
void unregisterWindow(WindowHandle handle);
// The handle of a registered receiver, 0 when it has none.
WindowHandle handleOf(const QObject* receiver);
// The receiver behind a handle of this process; null for unknown handles and those of other
// processes. Use it on the receiver's thread, where it cannot go away under the caller.
QObject* localReceiver(WindowHandle handle);

// A handle whose receiver answers (in this process or another); 0 is never a window.
bool isWindow(WindowHandle handle);

// Asynchronous; callable from any thread. False when the handle names no window.
bool postMessage(WindowHandle handle, quint32 message, quint64 wParam, qint64 lParam);

// Synchronous: returns once the receiver has handled the message, false on time-out or when the
// handle names no window. Must not be called on the receiver's own thread for a local handle.
bool sendMessage(WindowHandle handle, quint32 message, quint64 wParam, qint64 lParam, int timeoutMs = 5000);

// Restore a minimised window, raise it and make it top-most and immediately not top-most again.
// Works for windows of this process and of another VTX process of the same user.
bool restoreAndRaise(WindowHandle handle);

} // namespace platform
