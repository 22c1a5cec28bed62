#pragma once
// An HTTPS server on its own thread for the cloud connection tests: it serves the development
// certificate, hands every request to the test's handler and writes back exactly what that returns.

#include <QByteArray>
#include <QHostAddress>
#include <QThread>
#include <atomic>
#include <functional>

class QTcpServer;

namespace sdktest {

class TlsTestServer
{
public:
    struct Answer
    {
        QByteArray bytes;    // written as they are
        bool close = false;  // closed once written
        bool silent = false; // nothing is written, the connection is held open
    };
    // Runs on the server's thread; connection counts from 1 in the order of acceptance.
    using Handler = std::function<Answer(const QByteArray& request, int connection)>;

    explicit TlsTestServer(Handler handler, const QHostAddress& address = QHostAddress::LocalHost);
    ~TlsTestServer();
    TlsTestServer(const TlsTestServer&) = delete;
    TlsTestServer& operator=(const TlsTestServer&) = delete;

    bool Listening() const { return m_port != 0; }
    quint16 Port() const { return m_port; }
    int Accepted() const { return m_accepted; }
    int Requests() const { return m_requests; }
    int Open() const { return m_open; } // connections not yet closed
    // Closes every connection, as a server does with idle kept-alive ones.
    void DropConnections();

    // A plain answer with a Content-Length.
    static QByteArray Plain(int status, const QByteArray& body, const QByteArray& extraHeaders = {});

private:
    class Listener;
    QThread m_thread;
    Listener* m_listener = nullptr;
    quint16 m_port = 0;
    std::atomic<int> m_accepted{0};
    std::atomic<int> m_requests{0};
    std::atomic<int> m_open{0};
};

} // namespace sdktest
