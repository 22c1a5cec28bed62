#pragma once
// The SDK's HTTPS client for the meeting cloud, on Qt's HTTP stack. It lives on one thread with an
// event loop (the SDK's worker) and sends one request at a time, so the cloud sees one kept-alive
// connection. Names are looked up off that thread, so neither a stop nor the process's exit waits
// for a slow name server; OpenSSL is loaded by the first request, never by the constructor.

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QNetworkProxy>
#include <QObject>
#include <QPair>
#include <QSslConfiguration>
#include <QString>
#include <atomic>
#include <deque>
#include <functional>
#include <memory>

class QNetworkAccessManager;

namespace orvo {

class CloudConnection : public QObject
{
public:
    struct Request
    {
        QByteArray method = "GET";
        QByteArray target; // path and query
        QList<QPair<QByteArray, QByteArray>> headers;
        QByteArray body;
        bool withBody = false; // sends Content-Length even for an empty body
    };

    struct Limits
    {
        int connectMs = 5000; // name lookup, TCP and TLS handshake of a new connection
        int totalMs = 15000;  // the whole exchange, connecting included
        qint64 maxBody = 4 * 1024 * 1024;
        const std::atomic<bool>* stop = nullptr; // Exchange() gives up within a slice when set
    };

    struct Result
    {
        bool reached = false;   // a whole answer arrived
        bool tlsFailed = false; // the handshake or the certificate check failed
        int status = 0;
        QByteArray body;
    };
    using Done = std::function<void(const Result&)>;

    // caFile: the only authorities trusted; the peer name checked is host.
    CloudConnection(const QString& host, quint16 port, const QString& caFile);
    // Abandons what is under way; no Done runs afterwards.
    ~CloudConnection() override;
    CloudConnection(const CloudConnection&) = delete;
    CloudConnection& operator=(const CloudConnection&) = delete;

    bool Targets(const QString& host, quint16 port) const { return host == m_host && port == m_port; }
    // Queues the request; done runs on this object's thread, requests are sent in order.
    void Start(const Request& request, const Limits& limits, Done done);
    // Sends and waits, turning a local event loop; for threads without one of their own.
    Result Exchange(const Request& request, const Limits& limits);
    // Ends every queued and running request; their Done runs with nothing reached.
    void AbortAll();
    // TLS connections opened so far.
    int Opened() const { return m_opened; }

    // A configuration trusting only the certificates of a PEM file; an unreadable file trusts nothing.
    static QSslConfiguration TrustOnly(const QString& caFile);

    // Looks a host name up, blocking; runs on a thread of its own. Replaceable for tests, which
    // cannot make a name server slow.
    using Resolver = QList<QHostAddress> (*)(const QString& host);
    static void SetResolver(Resolver resolver);

private:
    struct Pending
    {
        Request request;
        Limits limits;
        Done done;
    };
    struct Exchanging;
    struct Lookup;

    void Next();
    void Resolved(const QList<QHostAddress>& addresses);
    void Send(const QHostAddress& address);
    void Finish(Result result);
    QSslConfiguration& Tls();

    QString m_host;
    quint16 m_port;
    QString m_caFile;
    std::unique_ptr<QSslConfiguration> m_tls; // built on first use, on this object's thread
    QByteArray m_sessionTicket;               // resumes TLS on the next connection
    QNetworkAccessManager* m_manager = nullptr;
    std::deque<Pending> m_queue;
    std::unique_ptr<Exchanging> m_current;
    std::shared_ptr<Lookup> m_lookup; // the name lookup under way, if any
    bool m_warm = false;              // the last answer left a kept-alive connection
    int m_opened = 0;
};

} // namespace orvo
