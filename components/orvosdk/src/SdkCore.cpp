#include "SdkCore.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QObject>
#include <QThread>
#include <QUrl>

#include "CloudConnection.h"

using namespace ORVOSDK;

namespace orvo {

namespace {

// An answer larger than this is not the cloud's.
constexpr size_t kMaxReply = 4 * 1024 * 1024;
// How long CleanUPSDK waits for queued requests, and the time-out they get meanwhile.
constexpr int kDrainMs = 2500;

// Each thread keeps one connection to the cloud, made, used and closed on that thread.
thread_local std::unique_ptr<CloudConnection> t_connection;

void AddHeader(CloudConnection::Request& request, const char* name, const QByteArray& value)
{
    request.headers.append(qMakePair(QByteArray(name), value));
}

int EnvInt(const char* name, int fallback, int minimum)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value >= minimum ? value : fallback;
}

} // namespace

SdkCore& SdkCore::Get()
{
    // Never destroyed, for the same reason as the service lists.
    static auto* core = new SdkCore;
    return *core;
}

SDKError SdkCore::Init(const InitParam& param)
{
    if (m_cleanedUp)
        return SDKERR_UNINITIALIZE;
    if (m_initialized)
        return SDKERR_WRONG_USAGE;
    const QString domain = FromWide(param.strWebDomain).trimmed();
    if (!domain.startsWith(QLatin1String("https://"), Qt::CaseInsensitive) || domain.size() <= 8)
        return SDKERR_INVALID_PARAMETER;
    // Events travel through the Qt event loop of this thread.
    if (!QCoreApplication::instance())
        return SDKERR_WRONG_USAGE;

    m_webDomain = domain.endsWith('/') ? domain.left(domain.size() - 1) : domain;
    const QUrl url(m_webDomain);
    m_host = url.host();
    m_port = quint16(url.port(443));
    m_pathPrefix = url.path(QUrl::FullyEncoded).toLatin1();
    m_language = param.emLanguageID == LANGUAGE_Chinese_Simplified ? LANGUAGE_Chinese_Simplified : LANGUAGE_English;
    m_brand = FromWide(param.strBrandingName);
    if (m_brand.isEmpty())
        m_brand = QStringLiteral("Orvo");
    m_caFile = QCoreApplication::applicationDirPath() + QStringLiteral("/curl-ca-bundle.crt");
    m_pollMs = EnvInt("VTX_SDK_POLL_MS", 1000, 10);
    m_timeoutMs = EnvInt("VTX_SDK_TIMEOUT_MS", 15000, 100);

    m_dispatcher = new QObject;
    m_stopping = false;
    m_draining = false;
    // One worker keeps one warm connection to the cloud; the requests are short and time out.
    m_workers.emplace_back([this] { WorkerLoop(); });
    m_initialized = true;
    return SDKERR_SUCCESS;
}

SDKError SdkCore::Cleanup()
{
    if (!m_initialized)
        return SDKERR_UNINITIALIZE;
    {
        // Requests already queued (a leave, an end for all, a recording) get a short while to go out.
        std::unique_lock<std::mutex> lock(m_queueLock);
        m_draining = true;
        m_queueSignal.notify_all();
        m_idleSignal.wait_for(lock, std::chrono::milliseconds(kDrainMs),
                              [this] { return m_queue.empty() && m_active == 0; });
        m_stopping = true;
        m_queue.clear();
    }
    m_queueSignal.notify_all();
    for (std::thread& t : m_workers)
        t.join();
    m_workers.clear();
    t_connection.reset(); // the calling thread's own, when it sent requests itself
    // Queued deliveries die with their receiver. Without an application (clean-up from exit
    // handlers) the receiver is kept, unused, as deleting it then is not safe.
    if (QCoreApplication::instance()) {
        delete m_dispatcher;
        m_dispatcher = nullptr;
    }
    appToken.clear();
    sessionToken.clear();
    m_initialized = false;
    m_cleanedUp = true;
    return SDKERR_SUCCESS;
}

void SdkCore::Post(std::function<void()> fn)
{
    if (!m_dispatcher || m_cleanedUp)
        return;
    QMetaObject::invokeMethod(m_dispatcher, std::move(fn), Qt::QueuedConnection);
}

void SdkCore::RunInBackground(std::function<void()> fn)
{
    {
        std::lock_guard<std::mutex> lock(m_queueLock);
        if (m_stopping || m_workers.empty())
            return;
        m_queue.push_back(std::move(fn));
    }
    m_queueSignal.notify_one();
}

void SdkCore::WorkerLoop()
{
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock<std::mutex> lock(m_queueLock);
            m_queueSignal.wait(lock, [this] { return m_stopping || m_draining || !m_queue.empty(); });
            if (m_stopping || m_queue.empty())
                return;
            job = std::move(m_queue.front());
            m_queue.pop_front();
            ++m_active;
        }
        job();
        {
            std::lock_guard<std::mutex> lock(m_queueLock);
            --m_active;
        }
        m_idleSignal.notify_all();
    }
}

void SdkCore::Send(const CloudRequest& request, WeakLife life, std::function<void(const CloudReply&)> done)
{
    // Tokens are read here, on the event thread, and handed to the worker by value.
    const std::string app = appToken;
    const std::string session = request.withSession ? sessionToken : std::string();
    RunInBackground([this, request, app, session, life, done = std::move(done)] {
        CloudReply reply = Perform(request, app, session);
        Post([life, done, reply] {
            if (!life.expired())
                done(reply);
        });
    });
}

QSslConfiguration SdkCore::Tls()
{
    // Built on first use, on a worker: the TLS library is loaded there and not at start-up.
    std::lock_guard<std::mutex> lock(m_tlsLock);
    if (!m_tls)
        m_tls = std::make_unique<QSslConfiguration>(CloudConnection::TrustOnly(m_caFile));
    return *m_tls;
}

CloudReply SdkCore::Perform(const CloudRequest& request, const std::string& app, const std::string& session)
{
    CloudReply reply;
    if (m_host.isEmpty())
        return reply;
    if (!t_connection || !t_connection->Targets(m_host, m_port))
        t_connection = std::make_unique<CloudConnection>(m_host, m_port, Tls());

    CloudConnection::Request http;
    http.method = request.method;
    // Reserved characters stay as the caller wrote them; blanks and non-ASCII are escaped.
    http.target = m_pathPrefix + QUrl::toPercentEncoding(request.path, "/?&=%:@!$'()*+,;~");
    AddHeader(http, "Accept", "application/json");
    if (!app.empty())
        AddHeader(http, "X-App-Token", QByteArray::fromStdString(app));
    if (!session.empty())
        AddHeader(http, "X-Session-Token", QByteArray::fromStdString(session));
    if (request.method == "POST" || request.method == "PUT") {
        AddHeader(http, "Content-Type", "application/json");
        http.body = QJsonDocument(request.body).toJson(QJsonDocument::Compact);
        http.withBody = true;
    }
    CloudConnection::Limits limits;
    limits.connectMs = int(std::min(m_timeoutMs, 5000L));
    limits.totalMs = int(m_draining ? std::min(m_timeoutMs, long(kDrainMs - 500)) : m_timeoutMs);
    limits.maxBody = kMaxReply;
    limits.stop = &m_stopping;

    const CloudConnection::Result answer = t_connection->Exchange(http, limits);
    reply.tlsFailed = answer.tlsFailed;
    if (answer.reached) {
        reply.reached = true;
        reply.httpStatus = answer.status;
        QJsonParseError error{};
        const QJsonDocument doc = QJsonDocument::fromJson(answer.body, &error);
        if (error.error == QJsonParseError::NoError && doc.isObject()) {
            reply.body = doc.object();
            const QJsonValue code = reply.body.value(QStringLiteral("code"));
            if (code.isString()) {
                reply.envelope = true;
                reply.code = code.toString();
                reply.msg = reply.body.value(QStringLiteral("msg")).toString();
                reply.data = reply.body.value(QStringLiteral("data")).toObject();
            }
        }
    }
    return reply;
}

QString SdkCore::Caption(int type) const
{
    return type >= 0 && type < 16 ? m_captions[type] : QString();
}

void SdkCore::SetCaption(int type, const QString& text)
{
    if (type >= 0 && type < 16)
        m_captions[type] = text;
}

QString Tr(const char* english, const char* chinese)
{
    return SdkCore::Get().Chinese() ? QString::fromUtf8(chinese) : QString::fromUtf8(english);
}

std::wstring ToWide(const QString& text)
{
    return text.toStdWString();
}

QString FromWide(const wchar_t* text)
{
    return text ? QString::fromWCharArray(text) : QString();
}

} // namespace orvo
