#include "support/ConnectProxy.h"

#include <QTcpServer>
#include <QTcpSocket>

namespace vtxtest {

class ConnectProxy::Server : public QTcpServer
{
public:
    explicit Server(ConnectProxy* owner)
        : m_owner(owner)
    {}

protected:
    void incomingConnection(qintptr descriptor) override
    {
        auto* client = new QTcpSocket(this);
        if (!client->setSocketDescriptor(descriptor)) {
            delete client;
            return;
        }
        auto* head = new QByteArray;
        QObject::connect(client, &QObject::destroyed, [head] { delete head; });
        QObject::connect(client, &QTcpSocket::readyRead, client, [this, client, head] {
            if (client->property("tunnel").toBool())
                return;
            head->append(client->readAll());
            const int end = head->indexOf("\r\n\r\n");
            if (end < 0) {
                if (head->size() > 16384)
                    Refuse(client);
                return;
            }
            const QList<QByteArray> words = head->left(head->indexOf("\r\n")).split(' ');
            const QByteArray early = head->mid(end + 4);
            if (words.size() != 3 || words[0] != "CONNECT") {
                Refuse(client);
                return;
            }
            const QString target = QString::fromLatin1(words[1]);
            quint16 port = 0;
            QHostAddress address;
            {
                std::lock_guard<std::mutex> guard(m_owner->m_lock);
                m_owner->m_targets << target;
                const auto route = m_owner->m_routes.find(target);
                if (route != m_owner->m_routes.end()) {
                    address = QHostAddress(QHostAddress::LocalHost);
                    port = route->second;
                } else {
                    const int colon = target.lastIndexOf(':');
                    QString host = target.left(colon);
                    if (host.startsWith('[') && host.endsWith(']'))
                        host = host.mid(1, host.size() - 2);
                    if (host == QLatin1String("localhost"))
                        host = QStringLiteral("127.0.0.1");
                    address = QHostAddress(host); // names other than localhost are not looked up here
                    port = quint16(target.mid(colon + 1).toUInt());
                }
            }
            Tunnel(client, address, port, early);
        });
        QObject::connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
    }

private:
    void Refuse(QTcpSocket* client)
    {
        {
            std::lock_guard<std::mutex> guard(m_owner->m_lock);
            ++m_owner->m_refused;
        }
        client->write("HTTP/1.1 502 Bad Gateway\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
        client->disconnectFromHost();
    }

    void Tunnel(QTcpSocket* client, const QHostAddress& address, quint16 port, const QByteArray& early)
    {
        client->setProperty("tunnel", true);
        auto* upstream = new QTcpSocket(client);
        QObject::connect(upstream, &QTcpSocket::connected, client, [client, upstream, early] {
            client->write("HTTP/1.1 200 Connection Established\r\n\r\n");
            upstream->write(early + client->readAll());
            QObject::connect(client, &QTcpSocket::readyRead, upstream,
                             [client, upstream] { upstream->write(client->readAll()); });
            QObject::connect(upstream, &QTcpSocket::readyRead, client,
                             [client, upstream] { client->write(upstream->readAll()); });
            QObject::connect(upstream, &QTcpSocket::disconnected, client, [client] { client->disconnectFromHost(); });
            QObject::connect(client, &QTcpSocket::disconnected, upstream,
                             [upstream] { upstream->disconnectFromHost(); });
        });
        QObject::connect(upstream, &QTcpSocket::errorOccurred, client, [this, client, upstream] {
            if (upstream->state() != QAbstractSocket::UnconnectedState || client->property("answered").toBool())
                return;
            client->setProperty("answered", true);
            if (!client->property("opened").toBool())
                Refuse(client);
        });
        QObject::connect(upstream, &QTcpSocket::connected, client, [client] { client->setProperty("opened", true); });
        if (address.isNull())
            Refuse(client);
        else
            upstream->connectToHost(address, port);
    }

    ConnectProxy* m_owner;
};

ConnectProxy::ConnectProxy()
{
    m_server = new Server(this);
    m_server->moveToThread(&m_thread);
    m_thread.start();
    QMetaObject::invokeMethod(
        m_server,
        [this] {
            if (m_server->listen(QHostAddress::LocalHost, 0))
                m_port = m_server->serverPort();
        },
        Qt::BlockingQueuedConnection);
}

ConnectProxy::~ConnectProxy()
{
    QMetaObject::invokeMethod(
        m_server, [this] { delete m_server; }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

void ConnectProxy::Route(const QString& target, quint16 port)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_routes[target] = port;
}

QStringList ConnectProxy::Targets() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_targets;
}

int ConnectProxy::Refused() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_refused;
}

} // namespace vtxtest
