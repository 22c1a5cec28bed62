#include "SdkCore.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QObject>
#include <QThread>
#include <curl/curl.h>

using namespace ORVOSDK;

namespace orvo {

namespace {

// An answer larger than this is not the cloud's.
constexpr size_t kMaxReply = 4 * 1024 * 1024;
// How long CleanUPSDK waits for queued requests, and the time-out they get meanwhile.
constexpr int kDrainMs = 2500;

struct Transfer
{
    std::string body;
    std::atomic<bool>* stopping;
    bool tooLarge = false;
};

size_t WriteBody(char* data, size_t size, size_t count, void* user)
{
    auto* t = static_cast<Transfer*>(user);
    const size_t n = size * count;
    if (t->body.size() + n > kMaxReply) {
        t->tooLarge = true;
        return 0;
    }
    t->body.append(data, n);
    return n;
}

int Progress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    // A non-zero answer aborts the transfer, so CleanUPSDK never waits for a slow cloud.
    return static_cast<Transfer*>(user)->stopping->load() ? 1 : 0;
}

// Each worker keeps one handle, so its connection and TLS session to the cloud are reused.
struct WorkerHandle
{
    CURL* handle = nullptr;
    ~WorkerHandle()
    {
        if (handle)
            curl_easy_cleanup(handle);
    }
};
thread_local WorkerHandle t_curl;

// Locks of the TLS-session and DNS caches that the worker shares with blocking requests of tests.
std::mutex g_shareLocks[CURL_LOCK_DATA_LAST];

void LockShare(CURL*, curl_lock_data data, curl_lock_access, void*)
{
    g_shareLocks[data].lock();
}
void UnlockShare(CURL*, curl_lock_data data, void*)
{
    g_shareLocks[data].unlock();
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
    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK)
        return SDKERR_INTERNAL_ERROR;

    m_webDomain = domain.endsWith('/') ? domain.left(domain.size() - 1) : domain;
    m_language = param.emLanguageID == LANGUAGE_Chinese_Simplified ? LANGUAGE_Chinese_Simplified : LANGUAGE_English;
    m_brand = FromWide(param.strBrandingName);
    if (m_brand.isEmpty())
        m_brand = QStringLiteral("Orvo");
    m_caFile = QCoreApplication::applicationDirPath() + QStringLiteral("/curl-ca-bundle.crt");
    m_pollMs = EnvInt("VTX_SDK_POLL_MS", 1000, 10);
    m_timeoutMs = EnvInt("VTX_SDK_TIMEOUT_MS", 15000, 100);

    m_share = curl_share_init();
    if (m_share) {
        curl_share_setopt(m_share, CURLSHOPT_LOCKFUNC, &LockShare);
        curl_share_setopt(m_share, CURLSHOPT_UNLOCKFUNC, &UnlockShare);
        // Each worker keeps its connections in its own handle: libcurl does not support one
        // connection cache used by threads at the same time. TLS sessions and DNS are shared.
        curl_share_setopt(m_share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
        curl_share_setopt(m_share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    }
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
    if (m_share)
        curl_share_cleanup(m_share);
    m_share = nullptr;
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
    curl_global_cleanup();
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

CloudReply SdkCore::Perform(const CloudRequest& request, const std::string& app, const std::string& session)
{
    CloudReply reply;
    if (t_curl.handle)
        curl_easy_reset(t_curl.handle);
    else
        t_curl.handle = curl_easy_init();
    CURL* curl = t_curl.handle;
    if (!curl)
        return reply;
    Transfer transfer;
    transfer.stopping = &m_stopping;

    const std::string url = (m_webDomain + request.path).toStdString();
    const std::string ca = m_caFile.toLocal8Bit().toStdString();
    std::string payload;
    struct curl_slist* headers = nullptr;
    headers = curl_slist_append(headers, "Accept: application/json");
    if (!app.empty())
        headers = curl_slist_append(headers, ("X-App-Token: " + app).c_str());
    if (!session.empty())
        headers = curl_slist_append(headers, ("X-Session-Token: " + session).c_str());
    if (request.method == "POST" || request.method == "PUT") {
        payload = QJsonDocument(request.body).toJson(QJsonDocument::Compact).toStdString();
        headers = curl_slist_append(headers, "Content-Type: application/json");
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, payload.c_str());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, long(payload.size()));
    }
    if (request.method != "GET" && request.method != "POST")
        curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, request.method.constData());

    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    if (m_share)
        curl_easy_setopt(curl, CURLOPT_SHARE, m_share);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_CAINFO, ca.c_str());
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, std::min(m_timeoutMs, 5000L));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, m_draining ? std::min(m_timeoutMs, long(kDrainMs - 500)) : m_timeoutMs);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &WriteBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &Progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "https");

    const CURLcode rc = curl_easy_perform(curl);
    reply.tlsFailed =
        rc == CURLE_PEER_FAILED_VERIFICATION || rc == CURLE_SSL_CACERT_BADFILE || rc == CURLE_SSL_CONNECT_ERROR;
    if (rc == CURLE_OK && !transfer.tooLarge) {
        reply.reached = true;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply.httpStatus);
        QJsonParseError error{};
        const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(transfer.body), &error);
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
    curl_slist_free_all(headers);
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
