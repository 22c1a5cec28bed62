#pragma once
// A small blocking HTTPS/1.1 client for the meeting cloud: one kept-alive connection, used and
// destroyed on the thread that made it, with no event loop needed. Qt Network already lies in
// the application, so the SDK brings in no transport of its own; OpenSSL is loaded on first use.

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QPair>
#include <QSslConfiguration>
#include <QString>
#include <atomic>
#include <memory>

class QSslSocket;

namespace orvo {

// Reads one HTTP/1.1 answer handed over in pieces of any size.
class HttpAnswerReader
{
public:
    enum class State
    {
        NeedMore,
        Done,
        Failed,
        TooLarge
    };

    HttpAnswerReader(qint64 maxBody, bool headRequest);

    State Feed(const char* data, qint64 size);
    // The peer closed the connection: an answer framed by the close is complete now.
    State Finish();

    int Status() const { return m_status; }
    const QByteArray& Body() const { return m_body; }
    // The connection may carry the next request: the server did not ask to close it and
    // nothing followed the answer.
    bool KeepAlive() const { return m_keepAlive && m_pos == m_buffer.size(); }

private:
    enum class Part
    {
        Head,
        Fixed,
        ChunkSize,
        ChunkData,
        ChunkEnd,
        Trailers,
        UntilClose,
        Done,
        Failed,
        TooLarge
    };
    State Parse();
    // Moves what has arrived of the fixed body or the current chunk; true when it is complete.
    bool TakeRemaining(int available);
    bool ParseHead(const QByteArray& head);
    State Result() const;

    qint64 m_maxBody;
    bool m_headRequest;
    Part m_part = Part::Head;
    QByteArray m_buffer;
    int m_pos = 0; // bytes of m_buffer already read
    int m_status = 0;
    bool m_keepAlive = true;
    qint64 m_remaining = 0; // of the fixed body or the current chunk
    QByteArray m_body;
};

class CloudConnection
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
        int connectMs = 5000; // TCP and TLS handshake
        int totalMs = 15000;  // the whole exchange, connecting included
        qint64 maxBody = 4 * 1024 * 1024;
        const std::atomic<bool>* stop = nullptr; // aborts the exchange within a slice when set
    };

    struct Result
    {
        bool reached = false;   // a whole answer arrived
        bool tlsFailed = false; // the handshake or the certificate check failed
        int status = 0;
        QByteArray body;
    };

    // tls should hold the trusted authorities and VerifyPeer; the peer name checked is host.
    CloudConnection(const QString& host, quint16 port, const QSslConfiguration& tls);
    ~CloudConnection();
    CloudConnection(const CloudConnection&) = delete;
    CloudConnection& operator=(const CloudConnection&) = delete;

    bool Targets(const QString& host, quint16 port) const { return host == m_host && port == m_port; }
    Result Exchange(const Request& request, const Limits& limits);
    // Connections opened so far.
    int Opened() const { return m_opened; }

    // A configuration trusting only the certificates of a PEM file; an unreadable file trusts nothing.
    static QSslConfiguration TrustOnly(const QString& caFile);

    // Looks a host name up, blocking. Replaceable for tests, which cannot make a name server slow.
    using Resolver = QList<QHostAddress> (*)(const QString& host);
    static void SetResolver(Resolver resolver);

private:
    enum class Outcome
    {
        Ok,
        Broken,
        TlsFailed,
        TimedOut,
        Stopped,
        BadAnswer
    };
    bool Connected() const;
    bool KeptAlive();
    Outcome Open(const Limits& limits, qint64 deadlineMs);
    int ConnectTcp(const Limits& limits, qint64 connectEndMs);
    Outcome RoundTrip(const QByteArray& wire,
                      bool headRequest,
                      const Limits& limits,
                      qint64 deadlineMs,
                      Result& result,
                      bool& anyByte);
    void Close();

    QString m_host;
    quint16 m_port;
    QSslConfiguration m_tls;
    std::unique_ptr<QSslSocket> m_socket;
    int m_opened = 0;
    bool m_peerClosed = false; // the server ended the TLS session
};

} // namespace orvo
