#include "TlsTestServer.h"

#include <QFile>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>

namespace sdktest {

namespace {

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The length of the first whole request in buffer, or 0 while it is incomplete.
int RequestLength(const QByteArray& buffer)
{
    const int end = buffer.indexOf("\r\n\r\n");
    if (end < 0)
        return 0;
    int body = 0;
    for (const QByteArray& line : buffer.left(end).split('\n')) {
        const int colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == "content-length")
            body = line.mid(colon + 1).trimmed().toInt();
    }
    return buffer.size() >= end + 4 + body ? end + 4 + body : 0;
}

} // namespace

class TlsTestServer::Listener : public QTcpServer
{
public:
    Listener(TlsTestServer* owner, Handler handler)
        : m_owner(owner)
        , m_handler(std::move(handler))
    {
        m_certificate = QSslCertificate(ReadFile(QStringLiteral(VTX_CERT_DIR "/server.crt")));
        m_key = QSslKey(ReadFile(QStringLiteral(VTX_CERT_DIR "/server.key")), QSsl::Rsa);
    }

    ~Listener() override
    {
        // The sockets go with the base class, after this part is gone: they must not call back.
        for (QSslSocket* socket : findChildren<QSslSocket*>())
            socket->disconnect();
    }

    void Drop()
    {
        for (QSslSocket* socket : findChildren<QSslSocket*>())
            socket->disconnectFromHost();
    }

protected:
    void incomingConnection(qintptr descriptor) override
    {
        auto* socket = new QSslSocket(this);
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            return;
        }
        const int connection = ++m_owner->m_accepted;
        ++m_owner->m_open;
        socket->setLocalCertificate(m_certificate);
        socket->setPrivateKey(m_key);
        socket->setPeerVerifyMode(QSslSocket::VerifyNone);
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QSslSocket::readyRead, socket, [this, socket, buffer, connection] {
            buffer->append(socket->readAll());
            while (int length = RequestLength(*buffer)) {
                const QByteArray request = buffer->left(length);
                buffer->remove(0, length);
                ++m_owner->m_requests;
                const Answer answer = m_handler(request, connection);
                if (answer.silent)
                    return;
                socket->write(answer.bytes);
                if (answer.close) {
                    socket->disconnectFromHost();
                    return;
                }
            }
        });
        connect(socket, &QSslSocket::disconnected, socket, [this, socket] {
            --m_owner->m_open;
            socket->deleteLater();
        });
        socket->startServerEncryption();
    }

private:
    TlsTestServer* m_owner;
    Handler m_handler;
    QSslCertificate m_certificate;
    QSslKey m_key;
};

TlsTestServer::TlsTestServer(Handler handler, const QHostAddress& address)
{
    m_listener = new Listener(this, std::move(handler));
    m_listener->moveToThread(&m_thread);
    m_thread.start();
    QMetaObject::invokeMethod(
        m_listener,
        [this, address] {
            if (m_listener->listen(address, 0))
                m_port = m_listener->serverPort();
        },
        Qt::BlockingQueuedConnection);
}

TlsTestServer::~TlsTestServer()
{
    // Deleted on its own thread, with the connections it still holds.
    QMetaObject::invokeMethod(
        m_listener, [this] { delete m_listener; }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

void TlsTestServer::DropConnections()
{
    QMetaObject::invokeMethod(
        m_listener, [this] { m_listener->Drop(); }, Qt::BlockingQueuedConnection);
}

QByteArray TlsTestServer::Plain(int status, const QByteArray& body, const QByteArray& extraHeaders)
{
    return "HTTP/1.1 " + QByteArray::number(status) +
           " X\r\nContent-Type: application/json\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n" +
           extraHeaders + "\r\n" + body;
}

} // namespace sdktest
