#pragma once
// An HTTP CONNECT proxy on 127.0.0.1 and a free port, on its own thread, for tests that check that
// traffic takes the proxy the environment names. It records every tunnel's target and can send a
// target somewhere else, so a test can name a cloud address only the proxy knows how to reach.

#include <QHostAddress>
#include <QString>
#include <QStringList>
#include <QThread>
#include <map>
#include <mutex>

namespace vtxtest {

class ConnectProxy
{
public:
    ConnectProxy();
    ~ConnectProxy();
    ConnectProxy(const ConnectProxy&) = delete;
    ConnectProxy& operator=(const ConnectProxy&) = delete;

    bool Listening() const { return m_port != 0; }
    quint16 Port() const { return m_port; }
    QString Url() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_port); }

    // Tunnels asked for "host:port" lead to 127.0.0.1:port instead.
    void Route(const QString& target, quint16 port);
    // The target of every CONNECT, in arrival order; refused ones included.
    QStringList Targets() const;
    int Refused() const; // requests that were not a CONNECT, or whose target did not answer

private:
    class Server;
    friend class Server;
    QThread m_thread;
    Server* m_server = nullptr;
    quint16 m_port = 0;
    mutable std::mutex m_lock;
    std::map<QString, quint16> m_routes;
    QStringList m_targets;
    int m_refused = 0;
};

} // namespace vtxtest
