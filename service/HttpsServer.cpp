#include "service/HttpsServer.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <unordered_set>
#include <vector>

#include "service/Util.h"

namespace vtxsvc {
namespace {

constexpr int64_t kWatchEveryMillis = 100;

// One thread per waiting connection, up to the limit; threads stay for the next burst. The
// acceptor thread is the only caller of enqueue() and shutdown().
class WorkerPool : public httplib::TaskQueue
{
public:
    explicit WorkerPool(std::function<size_t()> limit)
        : m_limit(std::move(limit))
    {}
    ~WorkerPool() override { shutdown(); }

    void enqueue(std::function<void()> fn) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_tasks.push_back(std::move(fn));
        const size_t limit = std::max<size_t>(1, m_limit ? m_limit() : 64);
        if (m_tasks.size() > m_idle && m_threads.size() < limit) {
            try {
                m_threads.emplace_back([this] { Work(); });
                return;
            } catch (const std::system_error&) {
                // Out of threads: the connection waits for a busy worker instead.
            }
        }
        m_wake.notify_one();
    }

    void shutdown() override
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_shutdown = true;
        }
        m_wake.notify_all();
        for (auto& t : m_threads)
            if (t.joinable())
                t.join();
    }

private:
    void Work()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            ++m_idle;
            m_wake.wait(lock, [this] { return m_shutdown || !m_tasks.empty(); });
            --m_idle;
            if (m_tasks.empty())
                return;
            // Connections accepted before a stop still run: they are cut at once and closed.
            std::function<void()> fn = std::move(m_tasks.front());
            m_tasks.pop_front();
            lock.unlock();
            fn();
            lock.lock();
        }
    }

    std::function<size_t()> m_limit;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_tasks;
    std::vector<std::thread> m_threads;
    size_t m_idle = 0;
    bool m_shutdown = false;
};

struct Connection
{
    HttpsServer::Tracker* owner = nullptr;
    int fd = -1;
    std::atomic<int64_t> since{0};
    std::atomic<bool> idle{false};
    bool cut = false; // guarded by the tracker's mutex
};

void FreeConnection(void* parent, void* ptr, CRYPTO_EX_DATA* ad, int index, long argl, void* argp);

int ConnectionIndex()
{
    static const int index = SSL_get_ex_new_index(0, nullptr, nullptr, nullptr, &FreeConnection);
    return index;
}

int TrackerIndex()
{
    static const int index = SSL_CTX_get_ex_new_index(0, nullptr, nullptr, nullptr, nullptr);
    return index;
}

Connection* ConnectionOf(const SSL* ssl)
{
    return ssl ? static_cast<Connection*>(SSL_get_ex_data(ssl, ConnectionIndex())) : nullptr;
}

} // namespace

// Every TLS connection from its handshake until OpenSSL frees it (which happens before its socket is
// closed, so a socket cut here is never a reused descriptor). The watchdog cuts connections that
// overrun the request deadline or idle too long; cutting wakes the worker blocked on them.
struct HttpsServer::Tracker
{
    explicit Tracker(ServerLimits l)
        : limits(std::move(l))
    {}

    void Add(SSL* ssl)
    {
        auto* c = new Connection;
        c->owner = this;
        c->fd = SSL_get_fd(ssl);
        c->since = NowMillisMonotonic();
        std::lock_guard<std::mutex> lock(mutex);
        connections.insert(c);
        SSL_set_ex_data(ssl, ConnectionIndex(), c);
        if (stopping)
            CutLocked(*c);
    }

    void Remove(Connection* c)
    {
        std::lock_guard<std::mutex> lock(mutex);
        connections.erase(c);
        delete c;
    }

    void CutLocked(Connection& c)
    {
        if (!c.cut)
            ::shutdown(c.fd, SHUT_RDWR);
        c.cut = true;
    }

    void Watch()
    {
        std::unique_lock<std::mutex> lock(mutex);
        while (!quit) {
            wake.wait_for(lock, std::chrono::milliseconds(kWatchEveryMillis));
            const int64_t now = NowMillisMonotonic();
            for (Connection* c : connections) {
                if (c->cut)
                    continue;
                const bool idle = c->idle;
                const int64_t age = now - c->since;
                if (stopping) {
                    CutLocked(*c);
                } else if (idle && age > limits.idleMillis) {
                    pollfd p{c->fd, POLLIN, 0};
                    if (poll(&p, 1, 0) > 0) {
                        // The next request is arriving; its worker has not read it yet.
                        c->since = now;
                        c->idle = false;
                    } else {
                        CutLocked(*c);
                    }
                } else if (!idle && age > limits.requestMillis) {
                    CutLocked(*c);
                }
            }
        }
    }

    void StopAll()
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
        for (Connection* c : connections)
            CutLocked(*c);
    }

    ServerLimits limits;
    std::mutex mutex;
    std::condition_variable wake;
    std::unordered_set<Connection*> connections;
    bool stopping = false;
    bool quit = false;
    std::thread watchdog;
};

namespace {

void FreeConnection(void*, void* ptr, CRYPTO_EX_DATA*, int, long, void*)
{
    if (auto* c = static_cast<Connection*>(ptr))
        c->owner->Remove(c);
}

void OnTlsInfo(const SSL* ssl, int where, int)
{
    if (!(where & SSL_CB_HANDSHAKE_START) || ConnectionOf(ssl))
        return;
    auto* tracker = static_cast<HttpsServer::Tracker*>(SSL_CTX_get_ex_data(SSL_get_SSL_CTX(ssl), TrackerIndex()));
    if (tracker)
        tracker->Add(const_cast<SSL*>(ssl));
}

// Called for every TLS record read: the first one after an idle spell starts the next request.
void OnTlsMessage(int writing, int, int contentType, const void*, size_t, SSL* ssl, void*)
{
    if (writing || contentType != SSL3_RT_HEADER)
        return;
    Connection* c = ConnectionOf(ssl);
    if (c && c->idle) {
        c->since = NowMillisMonotonic();
        c->idle = false;
    }
}

} // namespace

HttpsServer::HttpsServer(const char* certFile, const char* keyFile, ServerLimits limits)
    : httplib::SSLServer(certFile, keyFile)
    , m_tracker(std::make_unique<Tracker>(limits))
{
    new_task_queue = [limit = limits.maxWorkers] { return new WorkerPool(limit); };
    if (SSL_CTX* ctx = ssl_context()) {
        SSL_CTX_set_ex_data(ctx, TrackerIndex(), m_tracker.get());
        SSL_CTX_set_info_callback(ctx, &OnTlsInfo);
        SSL_CTX_set_msg_callback(ctx, &OnTlsMessage);
    }
    m_tracker->watchdog = std::thread([t = m_tracker.get()] { t->Watch(); });
}

HttpsServer::~HttpsServer()
{
    Stop();
    {
        std::lock_guard<std::mutex> lock(m_tracker->mutex);
        m_tracker->quit = true;
    }
    m_tracker->wake.notify_all();
    m_tracker->watchdog.join();
    if (SSL_CTX* ctx = ssl_context())
        SSL_CTX_set_ex_data(ctx, TrackerIndex(), nullptr);
}

int HttpsServer::Bind(const std::string& host, int port)
{
    const int bound = port == 0 ? bind_to_any_port(host) : (bind_to_port(host, port) ? port : -1);
    // cpp-httplib listens with a backlog of 5; a burst of clients then waits for SYN retries.
    if (bound > 0 && ::listen(svr_sock_, SOMAXCONN) != 0)
        return -1;
    return bound;
}

bool HttpsServer::Run()
{
    return listen_after_bind();
}

void HttpsServer::Stop()
{
    // httplib's stop() does nothing until the listener has started; closing the socket ourselves
    // also ends a listener that has not reached its accept loop yet.
    const socket_t sock = svr_sock_.exchange(INVALID_SOCKET);
    if (sock != INVALID_SOCKET) {
        ::shutdown(sock, SHUT_RDWR);
        ::close(sock);
    }
    m_tracker->StopAll();
}

void HttpsServer::RequestStarted(const httplib::Request& req)
{
    if (Connection* c = ConnectionOf(req.ssl); c && c->idle) {
        c->since = NowMillisMonotonic();
        c->idle = false;
    }
}

void HttpsServer::AnswerWritten(const httplib::Request& req)
{
    if (Connection* c = ConnectionOf(req.ssl)) {
        c->since = NowMillisMonotonic();
        c->idle = true;
    }
}

} // namespace vtxsvc
