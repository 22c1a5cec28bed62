#include "CloudConnection.h"

#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QSslCertificate>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <mutex>
#include <netdb.h>
#include <sys/socket.h>
#include <thread>

#include "ProxyRules.h"

namespace orvo {

namespace {

// How often Exchange() looks at the caller's stop flag.
constexpr int kStopSliceMs = 20;

QList<QHostAddress> SystemLookup(const QString& host)
{
    // getaddrinfo() directly: Qt's lookup keeps a process-wide pool that the application's exit
    // waits for, and this thread may be abandoned while the name server takes its time.
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    QList<QHostAddress> addresses;
    if (::getaddrinfo(host.toUtf8().constData(), nullptr, &hints, &found) != 0)
        return addresses;
    for (addrinfo* a = found; a; a = a->ai_next) {
        const QHostAddress address(a->ai_addr);
        if (!address.isNull() && !addresses.contains(address))
            addresses.append(address);
    }
    ::freeaddrinfo(found);
    return addresses;
}

std::atomic<CloudConnection::Resolver> g_resolver{&SystemLookup};

// A line break or NUL would let a value start a header or a request of its own.
bool SafeInLine(const QByteArray& text)
{
    return !text.contains('\r') && !text.contains('\n') && !text.contains('\0');
}

bool Safe(const CloudConnection::Request& request)
{
    bool safe = !request.method.isEmpty() && SafeInLine(request.method) && !request.method.contains(' ') &&
                SafeInLine(request.target) && !request.target.contains(' ') && request.target.startsWith('/');
    for (const auto& header : request.headers)
        safe = safe && SafeInLine(header.first) && SafeInLine(header.second) && !header.first.contains(':') &&
               !header.first.isEmpty();
    return safe;
}

// Whether Qt gave up on the transport or only disliked the status: a 404 is a whole answer.
bool AnswerArrived(QNetworkReply::NetworkError error)
{
    return error == QNetworkReply::NoError ||
           (error >= QNetworkReply::ContentAccessDenied && error <= QNetworkReply::UnknownContentError) ||
           (error >= QNetworkReply::InternalServerError && error <= QNetworkReply::UnknownServerError);
}

// Failures after which another address of the same name may still answer.
bool TryNextAddress(QNetworkReply::NetworkError error)
{
    return error == QNetworkReply::ConnectionRefusedError || error == QNetworkReply::HostNotFoundError ||
           error == QNetworkReply::UnknownNetworkError || error == QNetworkReply::TemporaryNetworkFailureError;
}

} // namespace

// The request on the wire: its reply, its clocks and what has arrived.
struct CloudConnection::Exchanging
{
    Pending pending;
    QNetworkProxy proxy;
    QList<QHostAddress> addresses; // still to try
    QPointer<QNetworkReply> reply;
    QTimer* connectTimer = nullptr;
    QTimer* totalTimer = nullptr;
    QByteArray body;
    bool connected = false;
    bool tlsFailed = false;
    bool abandoned = false; // stopped, timed out or too large

    ~Exchanging()
    {
        for (QTimer* timer : {connectTimer, totalTimer})
            if (timer) {
                timer->stop();
                timer->deleteLater(); // one of them may be the sender of what ends the exchange
            }
    }
};

// A name lookup on a thread of its own. The connection forgets the receiver when it gives up or
// goes away; an abandoned lookup then finishes and reports to nobody.
struct CloudConnection::Lookup
{
    std::mutex lock;
    CloudConnection* receiver = nullptr;
};

CloudConnection::CloudConnection(const QString& host, quint16 port, const QString& caFile)
    : m_host(host)
    , m_port(port)
    , m_caFile(caFile)
{}

CloudConnection::~CloudConnection()
{
    if (m_lookup) {
        std::lock_guard<std::mutex> guard(m_lookup->lock);
        m_lookup->receiver = nullptr;
    }
    m_queue.clear();
    if (m_current) {
        m_current->pending.done = nullptr;
        if (m_current->reply) {
            m_current->reply->disconnect(this);
            m_current->reply->abort();
            delete m_current->reply.data();
        }
        m_current.reset();
    }
    // The manager is a child: deleting it closes its connections and joins Qt's HTTP thread.
    delete m_manager;
}

void CloudConnection::SetResolver(Resolver resolver)
{
    g_resolver = resolver ? resolver : &SystemLookup;
}

QSslConfiguration CloudConnection::TrustOnly(const QString& caFile)
{
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    QList<QSslCertificate> authorities;
    QFile file(caFile);
    if (file.open(QIODevice::ReadOnly))
        authorities = QSslCertificate::fromData(file.readAll(), QSsl::Pem);
    // Setting the list also keeps the system's store from being loaded on demand.
    tls.setCaCertificates(authorities);
    tls.setPeerVerifyMode(QSslSocket::VerifyPeer);
    tls.setProtocol(QSsl::SecureProtocols);
    tls.setSslOption(QSsl::SslOptionDisableSessionPersistence, false);
    return tls;
}

QSslConfiguration& CloudConnection::Tls()
{
    if (!m_tls)
        m_tls = std::make_unique<QSslConfiguration>(TrustOnly(m_caFile));
    return *m_tls;
}

void CloudConnection::Start(const Request& request, const Limits& limits, Done done)
{
    m_queue.push_back(Pending{request, limits, std::move(done)});
    Next();
}

CloudConnection::Result CloudConnection::Exchange(const Request& request, const Limits& limits)
{
    Result result;
    bool finished = false;
    QEventLoop loop;
    Start(request, limits, [&](const Result& r) {
        result = r;
        finished = true;
        loop.quit();
    });
    QTimer stopWatch;
    if (limits.stop) {
        QObject::connect(&stopWatch, &QTimer::timeout, &loop, [&] {
            if (limits.stop->load())
                AbortAll();
        });
        stopWatch.start(kStopSliceMs);
    }
    if (!finished)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    return result;
}

void CloudConnection::AbortAll()
{
    std::deque<Pending> queued;
    queued.swap(m_queue);
    if (m_current) {
        m_current->abandoned = true;
        if (m_current->reply)
            m_current->reply->abort(); // finishes the exchange through the reply's finished()
        else
            Finish(Result());
    }
    for (Pending& p : queued)
        if (p.done)
            p.done(Result());
}

void CloudConnection::Next()
{
    if (m_current || m_queue.empty())
        return;
    m_current = std::make_unique<Exchanging>();
    m_current->pending = std::move(m_queue.front());
    m_queue.pop_front();
    const Limits& limits = m_current->pending.limits;

    const std::optional<QNetworkProxy> proxy = EnvironmentProxy(m_host);
    if (!Safe(m_current->pending.request) || !proxy) {
        Finish(Result());
        return;
    }
    m_current->proxy = *proxy;

    Exchanging* current = m_current.get();
    auto giveUp = [this, current] {
        if (m_current.get() != current)
            return;
        current->abandoned = true;
        if (current->reply)
            current->reply->abort();
        else
            Finish(Result());
    };
    current->totalTimer = new QTimer(this);
    current->totalTimer->setSingleShot(true);
    QObject::connect(current->totalTimer, &QTimer::timeout, this, giveUp);
    current->totalTimer->start(std::max(limits.totalMs, 1));
    // A kept connection is already open; a new one must be up within the connect time.
    if (!m_warm) {
        current->connectTimer = new QTimer(this);
        current->connectTimer->setSingleShot(true);
        QObject::connect(current->connectTimer, &QTimer::timeout, this, [current, giveUp] {
            if (!current->connected)
                giveUp();
        });
        current->connectTimer->start(std::max(std::min(limits.connectMs, limits.totalMs), 1));
    }

    // The proxy's name when there is one: the proxy looks the cloud's up itself.
    const QString name = current->proxy.type() == QNetworkProxy::NoProxy ? m_host : current->proxy.hostName();
    QHostAddress literal;
    if (literal.setAddress(name)) {
        Resolved({literal});
        return;
    }
    if (m_lookup) {
        std::lock_guard<std::mutex> guard(m_lookup->lock);
        m_lookup->receiver = nullptr;
    }
    auto lookup = std::make_shared<Lookup>();
    lookup->receiver = this;
    m_lookup = lookup;
    const Resolver resolver = g_resolver.load();
    std::thread([lookup, name, resolver] {
        const QList<QHostAddress> found = resolver(name);
        std::lock_guard<std::mutex> guard(lookup->lock);
        // Posting under the lock: the receiver cannot go away meanwhile, and a posted call dies with it.
        if (CloudConnection* receiver = lookup->receiver)
            QMetaObject::invokeMethod(
                receiver,
                [receiver, lookup, found] {
                    if (receiver->m_lookup == lookup) {
                        receiver->m_lookup.reset();
                        receiver->Resolved(found);
                    }
                },
                Qt::QueuedConnection);
    }).detach();
}

void CloudConnection::Resolved(const QList<QHostAddress>& addresses)
{
    if (!m_current)
        return;
    // IPv4 first: a name for the local machine often lists ::1 where nothing listens.
    QList<QHostAddress> ordered;
    for (const QHostAddress& a : addresses)
        if (a.protocol() == QAbstractSocket::IPv4Protocol)
            ordered.append(a);
    for (const QHostAddress& a : addresses)
        if (a.protocol() != QAbstractSocket::IPv4Protocol)
            ordered.append(a);
    if (ordered.isEmpty()) {
        Finish(Result());
        return;
    }
    m_current->addresses = ordered;
    Send(m_current->addresses.takeFirst());
}

void CloudConnection::Send(const QHostAddress& address)
{
    Exchanging* current = m_current.get();
    const Request& request = current->pending.request;
    if (!m_manager) {
        m_manager = new QNetworkAccessManager(this);
        // Settled here, not by Qt's guess of what the system wants.
        m_manager->setProxy(QNetworkProxy(QNetworkProxy::NoProxy));
    }

    const bool viaProxy = current->proxy.type() != QNetworkProxy::NoProxy;
    QString urlHost = m_host;
    if (viaProxy) {
        QNetworkProxy proxy = current->proxy;
        proxy.setHostName(address.toString());
        m_manager->setProxy(proxy);
    } else {
        m_manager->setProxy(QNetworkProxy(QNetworkProxy::NoProxy));
        urlHost = address.toString();
    }
    const QByteArray hostPart = urlHost.contains(':') ? "[" + urlHost.toLatin1() + "]" : QUrl::toAce(urlHost);
    const QUrl url =
        QUrl::fromEncoded("https://" + hostPart + ':' + QByteArray::number(m_port) + request.target, QUrl::StrictMode);
    if (!url.isValid()) {
        Finish(Result());
        return;
    }

    QNetworkRequest http(url);
    QSslConfiguration tls = Tls();
    if (!m_sessionTicket.isEmpty())
        tls.setSessionTicket(m_sessionTicket);
    http.setSslConfiguration(tls);
    // The certificate names the cloud, not the address connected to.
    http.setPeerVerifyName(m_host);
    if (!viaProxy) {
        QByteArray host = m_host.contains(':') ? "[" + m_host.toLatin1() + "]" : QUrl::toAce(m_host);
        if (m_port != 443)
            host += ':' + QByteArray::number(m_port);
        http.setRawHeader("Host", host);
    }
    http.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    http.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    http.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    for (const auto& header : request.headers)
        http.setRawHeader(header.first, header.second);
    QNetworkReply* reply = nullptr;
    if (request.withBody) {
        http.setHeader(QNetworkRequest::ContentLengthHeader, request.body.size());
        reply = m_manager->sendCustomRequest(http, request.method, request.body);
    } else {
        reply = m_manager->sendCustomRequest(http, request.method);
    }
    current->reply = reply;

    const qint64 maxBody = current->pending.limits.maxBody;
    auto connected = [current] {
        current->connected = true;
        if (current->connectTimer)
            current->connectTimer->stop();
    };
    QObject::connect(reply, &QNetworkReply::encrypted, this, [this, connected] {
        ++m_opened;
        connected();
    });
    QObject::connect(reply, &QNetworkReply::sslErrors, this, [current] { current->tlsFailed = true; });
    QObject::connect(reply, &QNetworkReply::metaDataChanged, this, [current, reply, maxBody, connected] {
        connected();
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > maxBody) {
            current->abandoned = true;
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::readyRead, this, [current, reply, maxBody] {
        current->body += reply->readAll();
        if (current->body.size() > maxBody) {
            current->abandoned = true;
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::finished, this, [this, current, reply] {
        if (m_current.get() != current)
            return;
        reply->disconnect(this);
        reply->deleteLater();
        current->reply = nullptr;
        const QNetworkReply::NetworkError error = reply->error();
        Result result;
        result.tlsFailed = current->tlsFailed || error == QNetworkReply::SslHandshakeFailedError;
        const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        if (!current->abandoned && status.isValid() && AnswerArrived(error)) {
            current->body += reply->readAll();
            if (current->body.size() <= current->pending.limits.maxBody) {
                result.reached = true;
                result.status = status.toInt();
                result.body = current->body;
            }
        }
        if (result.reached) {
            m_warm = !reply->rawHeader("Connection").toLower().contains("close");
            const QByteArray ticket = reply->sslConfiguration().sessionTicket();
            if (!ticket.isEmpty())
                m_sessionTicket = ticket;
            // Qt keeps a closed connection's TLS state, which cannot resume a TLS 1.3 session:
            // the next connection is made afresh with the newest ticket.
            if (!m_warm)
                m_manager->clearConnectionCache();
        } else {
            m_warm = false;
            if (!current->abandoned && !current->connected && TryNextAddress(error) && !current->addresses.isEmpty()) {
                Send(current->addresses.takeFirst());
                return;
            }
        }
        if (qEnvironmentVariableIsSet("VTX_SDK_DEBUG"))
            qWarning("cloud: %s %d %d %d %s", reply->url().toString().toLatin1().constData(), int(error),
                     result.reached, int(current->abandoned), qPrintable(reply->errorString()));
        Finish(result);
    });
}

void CloudConnection::Finish(Result result)
{
    std::unique_ptr<Exchanging> done = std::move(m_current);
    if (m_lookup) {
        std::lock_guard<std::mutex> guard(m_lookup->lock);
        m_lookup->receiver = nullptr;
    }
    m_lookup.reset();
    if (done && done->pending.done)
        done->pending.done(result);
    done.reset();
    Next();
}

} // namespace orvo
