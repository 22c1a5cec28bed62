#include <QCoreApplication>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <csignal>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <unordered_map>

#include "platform/Paths.h"
#include "platform/WindowMessage.h"

namespace platform {
namespace {

// Handles carry the owner's pid above this many bits, so they are unique across processes.
constexpr int kCounterBits = 20;
constexpr quint32 kWireMagic = 0x4d585456; // "VTXM"
constexpr int kPingTimeoutMs = 2000;
constexpr int kRequestIdleMs = 5000; // a peer that connects and says nothing is dropped

enum class RequestKind : quint32
{
    Post = 1,
    Send = 2,
    Ping = 3,
    Raise = 4
};

struct WireRequest
{
    quint32 magic;
    quint32 kind;
    qint64 handle;
    quint32 message;
    quint32 reserved;
    quint64 wParam;
    qint64 lParam;
};
static_assert(sizeof(WireRequest) == 40, "both ends of the socket share this layout");

qint64 ownerPid(WindowHandle handle)
{
    return handle >> kCounterBits;
}

bool isLocal(WindowHandle handle)
{
    return ownerPid(handle) == static_cast<qint64>(::getpid());
}

QString socketPath(WindowHandle handle)
{
    return runtimeFolder() + QStringLiteral("/w-%1").arg(handle, 0, 16);
}

bool peerIsSameUser(int fd)
{
    ucred cred{};
    socklen_t len = sizeof cred;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) == 0 && cred.uid == ::getuid();
}

// Receivers by handle. The mutex also guards each receiver's lifetime while an event is posted
// to it: unregistering (from QObject::destroyed) takes the same mutex.
struct Registry
{
    // Recursive: Qt may delete an event inside postEvent, and its destructor looks here again.
    std::recursive_mutex mutex;
    std::unordered_map<WindowHandle, QObject*> byHandle;
    std::unordered_map<const QObject*, WindowHandle> byObject;
    std::unordered_map<WindowHandle, QMetaObject::Connection> destroyedConnections;
    std::atomic<quint32> counter{0};

    QObject* find(WindowHandle handle) const
    {
        const auto it = byHandle.find(handle);
        return it == byHandle.end() ? nullptr : it->second;
    }
    bool contains(WindowHandle handle)
    {
        std::lock_guard<std::recursive_mutex> lock(mutex);
        return byHandle.count(handle) != 0;
    }
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

// Deleted once the receiver has handled it, or unhandled when the receiver goes away first;
// either way the sender learns about it from the destructor.
class AckedMessageEvent : public WindowMessageEvent
{
public:
    AckedMessageEvent(quint32 message, quint64 wParam, qint64 lParam, std::function<void()> onDone)
        : WindowMessageEvent(message, wParam, lParam)
        , m_onDone(std::move(onDone))
    {}
    ~AckedMessageEvent() override
    {
        if (m_onDone)
            m_onDone();
    }

private:
    std::function<void()> m_onDone;
};

void raiseNow(QWidget* widget)
{
    QWidget* window = widget->window();
    if (!window || !window->isVisible())
        return;
    if (window->isMinimized()) {
        window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
        window->show();
    }
    window->raise();
    window->activateWindow();
    // Through the QWindow the hint is switched without the hide/show (and move) that
    // QWidget::setWindowFlags would cause.
    if (QWindow* native = window->windowHandle()) {
        const Qt::WindowFlags flags = native->flags();
        native->setFlags(flags | Qt::WindowStaysOnTopHint);
        native->setFlags(flags & ~Qt::WindowStaysOnTopHint);
    }
}

// Queues the raise to the receiver's thread; call with the registry mutex held.
bool queueRaise(QObject* receiver)
{
    if (!receiver->isWidgetType())
        return false;
    QPointer<QWidget> widget(static_cast<QWidget*>(receiver));
    return QMetaObject::invokeMethod(
        receiver,
        [widget] {
            if (widget)
                raiseNow(widget);
        },
        Qt::QueuedConnection);
}

// Owns the local servers of this process's receivers; lives in its own thread so that other
// processes get answers even while the GUI thread is busy.
class IpcHub : public QObject
{
public:
    bool listen(WindowHandle handle)
    {
        const QString path = socketPath(handle);
        QLocalServer::removeServer(path); // a leftover of a dead process with the same pid
        auto* server = new QLocalServer(this);
        server->setSocketOptions(QLocalServer::UserAccessOption);
        if (!server->listen(path)) {
            delete server;
            return false;
        }
        connect(server, &QLocalServer::newConnection, this, [this, server, handle] { accept(server, handle); });
        m_servers[handle] = server;
        return true;
    }

    void close(WindowHandle handle)
    {
        const auto it = m_servers.find(handle);
        if (it == m_servers.end())
            return;
        it->second->close(); // also removes the socket file
        delete it->second;
        m_servers.erase(it);
    }

    void closeAll()
    {
        while (!m_servers.empty())
            close(m_servers.begin()->first);
        for (auto& entry : m_connections)
            entry.second->abort();
        m_connections.clear();
    }

    void reply(quint64 connectionId, bool ok)
    {
        const auto it = m_connections.find(connectionId);
        if (it == m_connections.end())
            return; // the sender gave up
        const char byte = ok ? 1 : 0;
        it->second->write(&byte, 1);
        // Written at once: the process may be about to exit and abort this connection.
        it->second->flush();
        it->second->disconnectFromServer();
    }

private:
    void accept(QLocalServer* server, WindowHandle handle)
    {
        while (QLocalSocket* socket = server->nextPendingConnection()) {
            if (!peerIsSameUser(static_cast<int>(socket->socketDescriptor()))) {
                socket->abort();
                socket->deleteLater();
                continue;
            }
            const quint64 id = ++m_nextConnectionId;
            m_connections[id] = socket;
            auto* idle = new QTimer(socket);
            idle->setSingleShot(true);
            connect(idle, &QTimer::timeout, socket, &QLocalSocket::abort);
            idle->start(kRequestIdleMs);
            connect(socket, &QLocalSocket::disconnected, this, [this, socket, id] {
                m_connections.erase(id);
                socket->deleteLater();
            });
            connect(socket, &QLocalSocket::readyRead, this, [this, socket, idle, id, handle] {
                if (socket->bytesAvailable() < static_cast<qint64>(sizeof(WireRequest)))
                    return;
                WireRequest request{};
                socket->read(reinterpret_cast<char*>(&request), sizeof request);
                idle->stop();
                disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
                serve(request, handle, id);
            });
        }
    }

    void serve(const WireRequest& request, WindowHandle handle, quint64 id)
    {
        if (request.magic != kWireMagic || request.handle != handle) {
            reply(id, false);
            return;
        }
        Registry& reg = registry();
        std::unique_lock<std::recursive_mutex> lock(reg.mutex);
        QObject* receiver = reg.find(handle);
        if (!receiver) {
            lock.unlock();
            reply(id, false);
            return;
        }
        switch (static_cast<RequestKind>(request.kind)) {
        case RequestKind::Ping:
            lock.unlock();
            reply(id, true);
            return;
        case RequestKind::Post:
            QCoreApplication::postEvent(receiver,
                                        new WindowMessageEvent(request.message, request.wParam, request.lParam));
            lock.unlock();
            reply(id, true);
            return;
        case RequestKind::Raise: {
            const bool ok = queueRaise(receiver);
            lock.unlock();
            reply(id, ok);
            return;
        }
        case RequestKind::Send:
            // Answered from the receiver's thread once it has handled the message.
            QCoreApplication::postEvent(receiver,
                                        new AckedMessageEvent(request.message, request.wParam, request.lParam,
                                                              [id, handle] { replyFromAnyThread(id, handle); }));
            return;
        }
        lock.unlock();
        reply(id, false);
    }

    static void replyFromAnyThread(quint64 id, WindowHandle handle);

    std::map<WindowHandle, QLocalServer*> m_servers;
    std::map<quint64, QLocalSocket*> m_connections;
    quint64 m_nextConnectionId = 0;
};

// The hub and its thread; created with the first registered receiver, stopped when the
// application object goes away. The hub thread itself never takes this mutex.
std::mutex g_hubMutex;
std::atomic<IpcHub*> g_hub{nullptr};
std::atomic<QThread*> g_hubThread{nullptr};

void IpcHub::replyFromAnyThread(quint64 id, WindowHandle handle)
{
    const bool handled = registry().contains(handle);
    if (QThread::currentThread() == g_hubThread.load()) {
        g_hub.load()->reply(id, handled); // the hub is running, so it exists
        return;
    }
    std::lock_guard<std::mutex> lock(g_hubMutex);
    if (IpcHub* hub = g_hub)
        QMetaObject::invokeMethod(
            hub, [hub, id, handled] { hub->reply(id, handled); }, Qt::QueuedConnection);
}

void stopHub()
{
    std::lock_guard<std::mutex> lock(g_hubMutex);
    if (!g_hub)
        return;
    IpcHub* hub = g_hub;
    QMetaObject::invokeMethod(
        hub, [hub] { hub->closeAll(); }, Qt::BlockingQueuedConnection);
    QThread* thread = g_hubThread;
    thread->quit();
    thread->wait();
    g_hub = nullptr;
    g_hubThread = nullptr;
    delete hub;
    delete thread;
}

// Runs fn in the hub thread and waits for it; false when there is no hub.
bool runInHub(const std::function<bool(IpcHub*)>& fn)
{
    std::lock_guard<std::mutex> lock(g_hubMutex);
    if (!g_hub) {
        if (!QCoreApplication::instance())
            return false;
        auto* thread = new QThread;
        thread->setObjectName(QStringLiteral("vtx-window-messages"));
        auto* hub = new IpcHub;
        hub->moveToThread(thread);
        thread->start();
        g_hubThread = thread;
        g_hub = hub;
        qAddPostRoutine(stopHub);
    }
    if (QThread::currentThread() == g_hubThread.load())
        return fn(g_hub);
    bool result = false;
    IpcHub* hub = g_hub;
    QMetaObject::invokeMethod(
        hub, [&] { result = fn(hub); }, Qt::BlockingQueuedConnection);
    return result;
}

// One request to another process's receiver; true when it answered "done".
bool remoteRequest(WindowHandle handle, RequestKind kind, quint32 message, quint64 wParam, qint64 lParam, int timeoutMs)
{
    const qint64 pid = ownerPid(handle);
    if (pid <= 0 || pid > INT_MAX || (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH))
        return false;
    const QByteArray path = QFile::encodeName(socketPath(handle));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (static_cast<size_t>(path.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));

    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    auto fail = [fd] {
        ::close(fd);
        return false;
    };
    int rc;
    do {
        rc = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        // Nobody listens on it any more: the file of a process that died without cleaning up.
        if (errno == ECONNREFUSED)
            ::unlink(path.constData());
        return fail();
    }
    // A socket planted by someone else in our folder is not our window.
    if (!peerIsSameUser(fd))
        return fail();

    const WireRequest request{kWireMagic, static_cast<quint32>(kind), handle, message, 0, wParam, lParam};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    const char* data = reinterpret_cast<const char*>(&request);
    size_t sent = 0;
    while (sent < sizeof request) {
        const ssize_t n = ::send(fd, data + sent, sizeof request - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return fail();
        sent += static_cast<size_t>(n);
    }
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0)
            return fail();
        pollfd pfd{fd, POLLIN, 0};
        const int ready = ::poll(&pfd, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return fail();
        char answer = 0;
        const ssize_t n = ::recv(fd, &answer, 1, 0);
        if (n < 0 && errno == EINTR)
            continue;
        ::close(fd);
        return n == 1 && answer == 1;
    }
}

} // namespace

QEvent::Type WindowMessageEvent::eventType()
{
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

WindowMessageEvent::WindowMessageEvent(quint32 message, quint64 wParam, qint64 lParam)
    : QEvent(eventType())
    , m_message(message)
    , m_wParam(wParam)
    , m_lParam(lParam)
{}

WindowHandle registerWindow(QObject* receiver)
{
    if (!receiver)
        return 0;
    Registry& reg = registry();
    WindowHandle handle = 0;
    {
        std::lock_guard<std::recursive_mutex> lock(reg.mutex);
        const auto existing = reg.byObject.find(receiver);
        if (existing != reg.byObject.end())
            return existing->second;
        quint32 counter = 0;
        do {
            counter = (++reg.counter) & ((1u << kCounterBits) - 1);
        } while (counter == 0 || reg.byHandle.count((static_cast<qint64>(::getpid()) << kCounterBits) | counter));
        handle = (static_cast<qint64>(::getpid()) << kCounterBits) | counter;
        reg.byHandle[handle] = receiver;
        reg.byObject[receiver] = handle;
        // Emitted from ~QObject on the receiver's thread, before Qt drops its pending events.
        reg.destroyedConnections[handle] =
            QObject::connect(receiver, &QObject::destroyed, [handle] { unregisterWindow(handle); });
    }
    // Without a server the handle still works inside this process.
    runInHub([handle](IpcHub* hub) { return hub->listen(handle); });
    return handle;
}

void unregisterWindow(WindowHandle handle)
{
    Registry& reg = registry();
    {
        std::lock_guard<std::recursive_mutex> lock(reg.mutex);
        const auto it = reg.byHandle.find(handle);
        if (it == reg.byHandle.end())
            return;
        reg.byObject.erase(it->second);
        reg.byHandle.erase(it);
        const auto connection = reg.destroyedConnections.find(handle);
        if (connection != reg.destroyedConnections.end()) {
            QObject::disconnect(connection->second);
            reg.destroyedConnections.erase(connection);
        }
    }
    std::lock_guard<std::mutex> lock(g_hubMutex);
    if (IpcHub* hub = g_hub) {
        if (QThread::currentThread() == g_hubThread.load())
            hub->close(handle);
        else
            QMetaObject::invokeMethod(
                hub, [hub, handle] { hub->close(handle); }, Qt::BlockingQueuedConnection);
    }
}

WindowHandle handleOf(const QObject* receiver)
{
    Registry& reg = registry();
    std::lock_guard<std::recursive_mutex> lock(reg.mutex);
    const auto it = reg.byObject.find(receiver);
    return it == reg.byObject.end() ? 0 : it->second;
}

QObject* localReceiver(WindowHandle handle)
{
    if (handle <= 0 || !isLocal(handle))
        return nullptr;
    Registry& reg = registry();
    std::lock_guard<std::recursive_mutex> lock(reg.mutex);
    return reg.find(handle);
}

bool isWindow(WindowHandle handle)
{
    if (handle <= 0)
        return false;
    if (isLocal(handle))
        return registry().contains(handle);
    return remoteRequest(handle, RequestKind::Ping, 0, 0, 0, kPingTimeoutMs);
}

bool postMessage(WindowHandle handle, quint32 message, quint64 wParam, qint64 lParam)
{
    if (handle <= 0)
        return false;
    if (!isLocal(handle))
        return remoteRequest(handle, RequestKind::Post, message, wParam, lParam, kPingTimeoutMs);
    Registry& reg = registry();
    std::lock_guard<std::recursive_mutex> lock(reg.mutex);
    QObject* receiver = reg.find(handle);
    if (!receiver)
        return false;
    QCoreApplication::postEvent(receiver, new WindowMessageEvent(message, wParam, lParam));
    return true;
}

bool sendMessage(WindowHandle handle, quint32 message, quint64 wParam, qint64 lParam, int timeoutMs)
{
    if (handle <= 0)
        return false;
    if (!isLocal(handle))
        return remoteRequest(handle, RequestKind::Send, message, wParam, lParam, timeoutMs);

    struct Ack
    {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        bool handled = false;
    };
    auto ack = std::make_shared<Ack>();
    Registry& reg = registry();
    {
        std::unique_lock<std::recursive_mutex> lock(reg.mutex);
        QObject* receiver = reg.find(handle);
        if (!receiver)
            return false;
        if (receiver->thread() == QThread::currentThread()) {
            // Same thread: deliver at once, as SendMessage calls the window procedure directly.
            lock.unlock();
            WindowMessageEvent event(message, wParam, lParam);
            QCoreApplication::sendEvent(receiver, &event);
            return true;
        }
        QCoreApplication::postEvent(receiver, new AckedMessageEvent(message, wParam, lParam, [ack, handle] {
                                        // Still registered here means the event was delivered,
                                        // not dropped with its receiver.
                                        const bool handled = registry().contains(handle);
                                        std::lock_guard<std::mutex> guard(ack->mutex);
                                        ack->finished = true;
                                        ack->handled = handled;
                                        ack->done.notify_all();
                                    }));
    }
    std::unique_lock<std::mutex> lock(ack->mutex);
    ack->done.wait_for(lock, std::chrono::milliseconds(std::max(timeoutMs, 0)), [&] { return ack->finished; });
    return ack->finished && ack->handled;
}

bool restoreAndRaise(WindowHandle handle)
{
    if (handle <= 0)
        return false;
    if (!isLocal(handle))
        return remoteRequest(handle, RequestKind::Raise, 0, 0, 0, kPingTimeoutMs);
    Registry& reg = registry();
    std::unique_lock<std::recursive_mutex> lock(reg.mutex);
    QObject* receiver = reg.find(handle);
    if (!receiver || !receiver->isWidgetType())
        return false;
    if (receiver->thread() == QThread::currentThread()) {
        lock.unlock();
        raiseNow(static_cast<QWidget*>(receiver));
        return true;
    }
    return queueRaise(receiver);
}

} // namespace platform
