#include "CloudConnection.h"

#include <QFile>
#include <QHostAddress>
#include <QHostInfo>
#include <QSslCertificate>
#include <QSslSocket>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace orvo {

namespace {

// Longest single wait, so a stop request is seen promptly.
constexpr int kSliceMs = 50;
// A head larger than this is not the cloud's.
constexpr int kMaxHead = 64 * 1024;

qint64 NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int Slice(qint64 endMs)
{
    return int(std::clamp<qint64>(endMs - NowMs(), 0, kSliceMs));
}

bool Stopped(const CloudConnection::Limits& limits)
{
    return limits.stop && limits.stop->load();
}

QList<QHostAddress> SystemLookup(const QString& host)
{
    return QHostInfo::fromName(host).addresses();
}

std::atomic<CloudConnection::Resolver> g_resolver{&SystemLookup};

// The system resolver cannot be interrupted, so it runs on a thread of its own: a stop or the
// connect time-out is not held up by a slow name server, and neither is the SDK's clean-up.
// An abandoned lookup finishes on its own and only touches the state it shares.
QList<QHostAddress> LookUp(const QString& host, const CloudConnection::Limits& limits, qint64 endMs)
{
    struct Lookup
    {
        std::mutex lock;
        std::condition_variable done;
        bool finished = false;
        QList<QHostAddress> addresses;
    };
    auto state = std::make_shared<Lookup>();
    const CloudConnection::Resolver resolver = g_resolver.load();
    std::thread([state, host, resolver] {
        QList<QHostAddress> found = resolver(host);
        std::lock_guard<std::mutex> guard(state->lock);
        state->addresses = std::move(found);
        state->finished = true;
        state->done.notify_all();
    }).detach();
    std::unique_lock<std::mutex> guard(state->lock);
    while (!state->finished && !Stopped(limits) && NowMs() < endMs)
        state->done.wait_for(guard, std::chrono::milliseconds(std::max(Slice(endMs), 1)));
    return state->finished ? state->addresses : QList<QHostAddress>();
}

// A line break or NUL would let a value start a header or a request of its own.
bool SafeInLine(const QByteArray& text)
{
    return !text.contains('\r') && !text.contains('\n') && !text.contains('\0');
}

bool HasToken(const QByteArray& value, const char* token)
{
    for (const QByteArray& part : value.split(','))
        if (part.trimmed().compare(token, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

// --- HttpAnswerReader ---

HttpAnswerReader::HttpAnswerReader(qint64 maxBody, bool headRequest)
    : m_maxBody(maxBody)
    , m_headRequest(headRequest)
{}

HttpAnswerReader::State HttpAnswerReader::Feed(const char* data, qint64 size)
{
    if (m_part == Part::Done && size > 0) {
        m_buffer.append(data, int(size)); // bytes after the answer: the connection is not reused
        return State::Done;
    }
    if (m_part == Part::Failed || m_part == Part::TooLarge)
        return Result();
    m_buffer.append(data, int(size));
    const State state = Parse();
    // Drop what was read so a long body is not copied over and over.
    if (m_pos > 0 && state == State::NeedMore) {
        m_buffer.remove(0, m_pos);
        m_pos = 0;
    }
    return state;
}

HttpAnswerReader::State HttpAnswerReader::Finish()
{
    if (m_part == Part::UntilClose)
        m_part = Part::Done;
    else if (m_part != Part::Done && m_part != Part::TooLarge)
        m_part = Part::Failed;
    m_keepAlive = false;
    return Result();
}

HttpAnswerReader::State HttpAnswerReader::Result() const
{
    switch (m_part) {
    case Part::Done:
        return State::Done;
    case Part::Failed:
        return State::Failed;
    case Part::TooLarge:
        return State::TooLarge;
    default:
        return State::NeedMore;
    }
}

bool HttpAnswerReader::TakeRemaining(int available)
{
    const int n = int(std::min<qint64>(m_remaining, available));
    m_body.append(m_buffer.constData() + m_pos, n);
    m_pos += n;
    m_remaining -= n;
    return m_remaining == 0;
}

HttpAnswerReader::State HttpAnswerReader::Parse()
{
    for (;;) {
        const int available = m_buffer.size() - m_pos;
        switch (m_part) {
        case Part::Head: {
            const int end = m_buffer.indexOf("\r\n\r\n", m_pos);
            if (end < 0) {
                if (available > kMaxHead)
                    m_part = Part::Failed;
                return Result();
            }
            const QByteArray head = m_buffer.mid(m_pos, end - m_pos);
            m_pos = end + 4;
            if (!ParseHead(head))
                m_part = Part::Failed;
            break;
        }
        case Part::Fixed: {
            if (!TakeRemaining(available))
                return Result();
            m_part = Part::Done;
            break;
        }
        case Part::ChunkSize: {
            const int end = m_buffer.indexOf("\r\n", m_pos);
            if (end < 0) {
                if (available > 1024)
                    m_part = Part::Failed;
                return Result();
            }
            QByteArray line = m_buffer.mid(m_pos, end - m_pos);
            m_pos = end + 2;
            const int extension = line.indexOf(';');
            if (extension >= 0)
                line.truncate(extension);
            line = line.trimmed();
            bool ok = false;
            const qint64 size = line.size() <= 15 ? line.toLongLong(&ok, 16) : -1;
            if (!ok || size < 0)
                m_part = Part::Failed;
            else if (size == 0)
                m_part = Part::Trailers;
            else if (m_body.size() + size > m_maxBody)
                m_part = Part::TooLarge;
            else {
                m_remaining = size;
                m_part = Part::ChunkData;
            }
            break;
        }
        case Part::ChunkData: {
            if (!TakeRemaining(available))
                return Result();
            m_part = Part::ChunkEnd;
            break;
        }
        case Part::ChunkEnd:
            if (available < 2)
                return Result();
            if (m_buffer.at(m_pos) != '\r' || m_buffer.at(m_pos + 1) != '\n')
                m_part = Part::Failed;
            m_pos += 2;
            if (m_part == Part::ChunkEnd)
                m_part = Part::ChunkSize;
            break;
        case Part::Trailers: {
            const int end = m_buffer.indexOf("\r\n", m_pos);
            if (end < 0) {
                if (available > kMaxHead)
                    m_part = Part::Failed;
                return Result();
            }
            m_part = end == m_pos ? Part::Done : Part::Trailers;
            m_pos = end + 2;
            break;
        }
        case Part::UntilClose:
            if (m_body.size() + available > m_maxBody) {
                m_part = Part::TooLarge;
                return Result();
            }
            m_body.append(m_buffer.constData() + m_pos, available);
            m_pos += available;
            return Result();
        case Part::Done:
        case Part::Failed:
        case Part::TooLarge:
            return Result();
        }
    }
}

bool HttpAnswerReader::ParseHead(const QByteArray& head)
{
    const QList<QByteArray> lines = head.split('\n');
    const QByteArray statusLine = lines.value(0).trimmed();
    // "HTTP/1.1 200 OK"
    if (!statusLine.startsWith("HTTP/1.") || statusLine.size() < 12 || statusLine.at(8) != ' ')
        return false;
    const bool http10 = statusLine.at(7) == '0';
    bool ok = false;
    const QByteArray code = statusLine.mid(9, 3);
    const int status = code.toInt(&ok);
    if (!ok || status < 100 || status > 999 || (statusLine.size() > 12 && statusLine.at(12) != ' '))
        return false;

    qint64 length = -1;
    bool chunked = false;
    bool encoded = false;
    bool close = http10;
    for (int i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        const int colon = line.indexOf(':');
        if (colon <= 0)
            return false;
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (name == "content-length") {
            const qint64 n = value.toLongLong(&ok);
            if (!ok || n < 0 || (length >= 0 && n != length))
                return false;
            length = n;
        } else if (name == "transfer-encoding") {
            encoded = true;
            chunked = value.split(',').constLast().trimmed().compare("chunked", Qt::CaseInsensitive) == 0;
        } else if (name == "connection") {
            if (HasToken(value, "close"))
                close = true;
            else if (HasToken(value, "keep-alive"))
                close = false;
        }
    }

    // An interim answer: the real one follows.
    if (status < 200 && status != 101) {
        m_part = Part::Head;
        return true;
    }
    m_status = status;
    m_keepAlive = !close;
    if (m_headRequest || status == 204 || status == 304) {
        m_part = Part::Done;
    } else if (chunked) {
        m_part = Part::ChunkSize;
    } else if (!encoded && length >= 0) {
        if (length > m_maxBody) {
            m_part = Part::TooLarge;
            return true;
        }
        m_remaining = length;
        m_part = length > 0 ? Part::Fixed : Part::Done;
    } else {
        m_part = Part::UntilClose;
        m_keepAlive = false;
    }
    return true;
}

// --- CloudConnection ---

CloudConnection::CloudConnection(const QString& host, quint16 port, const QSslConfiguration& tls)
    : m_host(host)
    , m_port(port)
    , m_tls(tls)
{}

CloudConnection::~CloudConnection() = default;

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

void CloudConnection::Close()
{
    if (m_socket)
        m_socket->abort();
    m_socket.reset();
}

bool CloudConnection::Connected() const
{
    return m_socket && !m_peerClosed && m_socket->state() == QAbstractSocket::ConnectedState;
}

bool CloudConnection::KeptAlive()
{
    if (!m_socket)
        return false;
    if (Connected() && m_socket->isEncrypted()) {
        // Takes in a close the server sent while the connection was idle.
        m_socket->waitForReadyRead(0);
        if (Connected() && m_socket->bytesAvailable() == 0)
            return true;
    }
    Close();
    return false;
}

int CloudConnection::ConnectTcp(const Limits& limits, qint64 connectEndMs)
{
    QList<QHostAddress> addresses;
    QHostAddress literal;
    if (literal.setAddress(m_host))
        addresses.append(literal);
    else
        addresses = LookUp(m_host, limits, connectEndMs);

    for (const QHostAddress& address : addresses) {
        sockaddr_storage storage{};
        socklen_t length = 0;
        if (address.protocol() == QAbstractSocket::IPv4Protocol) {
            auto* in = reinterpret_cast<sockaddr_in*>(&storage);
            in->sin_family = AF_INET;
            in->sin_port = htons(m_port);
            in->sin_addr.s_addr = htonl(address.toIPv4Address());
            length = sizeof(sockaddr_in);
        } else if (address.protocol() == QAbstractSocket::IPv6Protocol) {
            auto* in6 = reinterpret_cast<sockaddr_in6*>(&storage);
            in6->sin6_family = AF_INET6;
            in6->sin6_port = htons(m_port);
            const Q_IPV6ADDR bytes = address.toIPv6Address();
            std::copy(bytes.c, bytes.c + 16, in6->sin6_addr.s6_addr);
            length = sizeof(sockaddr_in6);
        } else {
            continue;
        }
        const int fd = ::socket(storage.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0)
            continue;
        // Connecting ourselves, without blocking, so the wait can be cut into slices.
        bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&storage), length) == 0;
        bool failed = !connected && errno != EINPROGRESS;
        while (!connected && !failed) {
            if (Stopped(limits) || NowMs() >= connectEndMs)
                break;
            pollfd p{fd, POLLOUT, 0};
            const int n = ::poll(&p, 1, Slice(connectEndMs));
            if (n < 0 && errno != EINTR) {
                failed = true;
            } else if (n > 0) {
                int error = 0;
                socklen_t size = sizeof(error);
                failed = ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0 || error != 0;
                connected = !failed;
            }
        }
        if (connected) {
            // Requests are small and wait for their answer: no Nagle delay.
            const int one = 1;
            ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));
            return fd;
        }
        ::close(fd);
        if (!failed)
            break; // stopped or out of time
    }
    return -1;
}

CloudConnection::Outcome CloudConnection::Open(const Limits& limits, qint64 deadlineMs)
{
    Close();
    const qint64 connectEndMs = std::min(deadlineMs, NowMs() + limits.connectMs);
    const int fd = ConnectTcp(limits, connectEndMs);
    if (fd < 0)
        return Stopped(limits) ? Outcome::Stopped : Outcome::Broken;
    ++m_opened;
    m_socket = std::make_unique<QSslSocket>();
    m_peerClosed = false;
    // A TLS close from the server leaves the socket connected until the TCP close follows, which
    // some servers only send once the client closed too.
    QObject::connect(m_socket.get(), &QAbstractSocket::errorOccurred, [this](QAbstractSocket::SocketError error) {
        if (error == QAbstractSocket::RemoteHostClosedError)
            m_peerClosed = true;
    });
    m_socket->setSslConfiguration(m_tls);
    m_socket->setPeerVerifyName(m_host);
    if (!m_socket->setSocketDescriptor(fd, QAbstractSocket::ConnectedState, QIODevice::ReadWrite)) {
        ::close(fd);
        m_socket.reset();
        return Outcome::Broken;
    }
    m_socket->startClientEncryption();
    while (!m_socket->isEncrypted()) {
        if (Stopped(limits)) {
            Close();
            return Outcome::Stopped;
        }
        if (NowMs() >= connectEndMs) {
            Close();
            return Outcome::TimedOut;
        }
        if (m_socket->waitForEncrypted(Slice(connectEndMs)) || m_socket->state() == QAbstractSocket::ConnectedState)
            continue;
        const QAbstractSocket::SocketError error = m_socket->error();
        const bool tls =
            !m_socket->sslHandshakeErrors().isEmpty() || error == QAbstractSocket::SslHandshakeFailedError ||
            error == QAbstractSocket::SslInternalError || error == QAbstractSocket::SslInvalidUserDataError;
        Close();
        return tls ? Outcome::TlsFailed : Outcome::Broken;
    }
    return Outcome::Ok;
}

CloudConnection::Outcome CloudConnection::RoundTrip(
    const QByteArray& wire, bool headRequest, const Limits& limits, qint64 deadlineMs, Result& result, bool& anyByte)
{
    m_socket->write(wire);
    while (m_socket->bytesToWrite() > 0 || m_socket->encryptedBytesToWrite() > 0) {
        if (Stopped(limits))
            return Outcome::Stopped;
        if (NowMs() >= deadlineMs)
            return Outcome::TimedOut;
        if (!m_socket->waitForBytesWritten(Slice(deadlineMs)) && !Connected())
            return Outcome::Broken;
    }

    HttpAnswerReader reader(limits.maxBody, headRequest);
    HttpAnswerReader::State state = HttpAnswerReader::State::NeedMore;
    for (;;) {
        const QByteArray data = m_socket->readAll();
        if (!data.isEmpty()) {
            anyByte = true;
            state = reader.Feed(data.constData(), data.size());
        }
        if (state == HttpAnswerReader::State::NeedMore && !Connected()) {
            if (!anyByte)
                return Outcome::Broken; // closed by the server before answering
            state = reader.Finish();
        }
        if (state == HttpAnswerReader::State::Done)
            break;
        if (state == HttpAnswerReader::State::Failed || state == HttpAnswerReader::State::TooLarge)
            return Outcome::BadAnswer;
        if (!Connected())
            return Outcome::Broken;
        if (Stopped(limits))
            return Outcome::Stopped;
        if (NowMs() >= deadlineMs)
            return Outcome::TimedOut;
        m_socket->waitForReadyRead(Slice(deadlineMs));
    }
    // The server's session ticket lets the next connection resume instead of a full handshake.
    const QByteArray ticket = m_socket->sslConfiguration().sessionTicket();
    if (!ticket.isEmpty())
        m_tls.setSessionTicket(ticket);
    result.reached = true;
    result.status = reader.Status();
    result.body = reader.Body();
    if (!reader.KeepAlive() || !Connected())
        Close();
    return Outcome::Ok;
}

CloudConnection::Result CloudConnection::Exchange(const Request& request, const Limits& limits)
{
    Result result;
    const qint64 deadlineMs = NowMs() + limits.totalMs;
    bool safe = SafeInLine(request.method) && !request.method.contains(' ') && SafeInLine(request.target) &&
                !request.target.contains(' ');
    for (const auto& header : request.headers)
        safe = safe && SafeInLine(header.first) && SafeInLine(header.second) && !header.first.contains(':');
    if (!safe)
        return result;

    QByteArray wire = request.method + ' ' + request.target + " HTTP/1.1\r\nHost: ";
    const bool ipv6 = m_host.contains(':');
    wire += (ipv6 ? "[" + m_host.toLatin1() + "]" : m_host.toLatin1());
    if (m_port != 443)
        wire += ':' + QByteArray::number(m_port);
    wire += "\r\n";
    for (const auto& header : request.headers)
        wire += header.first + ": " + header.second + "\r\n";
    if (request.withBody)
        wire += "Content-Length: " + QByteArray::number(request.body.size()) + "\r\n";
    wire += "\r\n";
    if (request.withBody)
        wire += request.body;

    for (int attempt = 0; attempt < 2; ++attempt) {
        const bool reused = KeptAlive();
        if (!reused) {
            const Outcome opened = Open(limits, deadlineMs);
            result.tlsFailed = opened == Outcome::TlsFailed;
            if (opened != Outcome::Ok)
                return result;
        }
        bool anyByte = false;
        const Outcome outcome = RoundTrip(wire, request.method == "HEAD", limits, deadlineMs, result, anyByte);
        if (outcome == Outcome::Ok)
            return result;
        Close();
        // A kept connection the server dropped just as the request went out: once more on a fresh one.
        if (!reused || anyByte || outcome != Outcome::Broken || Stopped(limits) || NowMs() >= deadlineMs)
            return result;
    }
    return result;
}

} // namespace orvo
