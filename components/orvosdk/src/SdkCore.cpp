#include "SdkCore.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QMetaType>
#include <QNetworkAccessManager>
#include <QObject>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QThread>
#include <QUrl>
#include <cstdlib>
#include <openssl/crypto.h>

#include "AnswerReader.h"
#include "CloudConnection.h"

using namespace ORVOSDK;

namespace orvo {

namespace {

// An answer larger than this is not the cloud's.
constexpr qint64 kMaxReply = 4 * 1024 * 1024;
// How long a stop waits for queued requests (a leave, an end for all, a recording), and the
// time-out they get meanwhile.
constexpr int kDrainMs = 2500;

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

CloudReply ToReply(const CloudConnection::Result& answer)
{
    CloudReply reply;
    reply.tlsFailed = answer.tlsFailed;
    if (!answer.reached)
        return reply;
    reply.reached = true;
    reply.httpStatus = answer.status;
    if (ReadAnswerObject(answer.body, reply.body)) {
        const QJsonValue code = reply.body.value(QStringLiteral("code"));
        if (code.isString()) {
            reply.envelope = true;
            reply.code = code.toString();
            reply.msg = reply.body.value(QStringLiteral("msg")).toString();
            reply.data = reply.body.value(QStringLiteral("data")).toObject();
        }
    }
    return reply;
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
    if (m_initialized)
        return SDKERR_WRONG_USAGE;
    const QString domain = FromWide(param.strWebDomain).trimmed();
    if (!domain.startsWith(QLatin1String("https://"), Qt::CaseInsensitive) || domain.size() <= 8)
        return SDKERR_INVALID_PARAMETER;
    // Events travel through the Qt event loop of this thread.
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
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
    // The worker must be gone before static teardown, where OpenSSL's own exit handler frees what a
    // request in flight still uses: it stops when the application quits or is destroyed, whichever
    // comes first, and again in CleanUPSDK.
    QObject::connect(app, &QCoreApplication::aboutToQuit, m_dispatcher, [this] { StopWorker(kDrainMs); });
    if (m_hookedApp != app) {
        m_hookedApp = app;
        qAddPostRoutine(&SdkCore::ApplicationGone);
    }
    m_appGone = false;
    m_cleanedUp = false;
    m_initialized = true;
    return SDKERR_SUCCESS;
}

SDKError SdkCore::Cleanup()
{
    if (!m_initialized)
        return SDKERR_UNINITIALIZE;
    StopWorker(kDrainMs);
    // Queued deliveries die with their receiver. Without an application (clean-up from exit
    // handlers) the receiver is kept, unused, as deleting it then is not safe.
    if (QCoreApplication::instance()) {
        delete m_dispatcher;
        m_dispatcher = nullptr;
    }
    appToken.clear();
    sessionToken.clear();
    account.clear();
    displayName.clear();
    personalMeetingNumber = 0;
    for (QString& caption : m_captions)
        caption.clear();
    for (QString& url : supportUrls)
        url.clear();
    m_initialized = false;
    m_cleanedUp = true;
    return SDKERR_SUCCESS;
}

void SdkCore::ApplicationGone()
{
    SdkCore& core = Get();
    core.StopWorker(kDrainMs);
    core.m_appGone = true;
    core.m_hookedApp = nullptr;
}

void SdkCore::ProcessExiting()
{
    // exit() while the application still runs: no time for queued work, only for a clean stop.
    SdkCore& core = Get();
    if (core.m_thread && QCoreApplication::instance())
        core.StopWorker(0);
}

bool SdkCore::EnsureWorker()
{
    if (m_thread)
        return true;
    if (!m_initialized || m_appGone || !QCoreApplication::instance())
        return false;
    m_stopping = false;
    m_draining = false;
    m_pending = 0;
    m_thread = new QThread;
    m_thread->setObjectName(QStringLiteral("orvo-cloud"));
    m_workerContext = new QObject;
    m_workerContext->moveToThread(m_thread);
    m_thread->start();
    // What a request uses of Qt and OpenSSL is made now, on the worker, before the exit handler
    // below is registered. Exit handlers run in reverse order of registration, and a library
    // registers the clean-up of a lazily made global when it first makes it: made earlier, these
    // outlive the handler that stops the worker, whenever exit() comes. Qt's network layer also
    // loads its plugins through the application's library paths here, while the application
    // surely exists. OpenSSL is started without an exit handler of its own, as a request may still
    // use it while the process ends.
    QMetaObject::invokeMethod(
        m_workerContext,
        [] {
            OPENSSL_init_crypto(OPENSSL_INIT_NO_ATEXIT, nullptr);
            QSslSocket::supportsSsl();
            QSslConfiguration::defaultConfiguration();
            QNetworkAccessManager warm;
            QMetaType::hasRegisteredConverterFunction(QMetaType::QByteArray, QMetaType::QString);
        },
        Qt::BlockingQueuedConnection);
    static std::once_flag atExit;
    std::call_once(atExit, [] { std::atexit(&SdkCore::ProcessExiting); });
    return true;
}

void SdkCore::StopWorker(int drainMs)
{
    if (!m_thread)
        return;
    {
        std::unique_lock<std::mutex> lock(m_workLock);
        m_draining = true;
        m_idle.wait_for(lock, std::chrono::milliseconds(drainMs), [this] { return m_pending == 0; });
        m_stopping = true;
        m_pending = 0;
    }
    // The connection is deleted where it lives, abandoning a request in flight without calling
    // back; work still queued behind this sees the stop and does nothing.
    QMetaObject::invokeMethod(
        m_workerContext,
        [this] {
            delete m_connection;
            m_connection = nullptr;
            QThread::currentThread()->quit();
        },
        Qt::QueuedConnection);
    m_thread->wait();
    delete m_workerContext;
    m_workerContext = nullptr;
    delete m_thread;
    m_thread = nullptr;
    m_draining = false;
}

bool SdkCore::Submit(std::function<void()> fn)
{
    if (!EnsureWorker())
        return false;
    {
        std::lock_guard<std::mutex> lock(m_workLock);
        if (m_stopping)
            return false;
        ++m_pending;
    }
    QMetaObject::invokeMethod(m_workerContext, std::move(fn), Qt::QueuedConnection);
    return true;
}

void SdkCore::WorkDone()
{
    {
        std::lock_guard<std::mutex> lock(m_workLock);
        if (m_pending > 0)
            --m_pending;
    }
    m_idle.notify_all();
}

void SdkCore::Post(std::function<void()> fn)
{
    if (!m_dispatcher || m_cleanedUp)
        return;
    QMetaObject::invokeMethod(m_dispatcher, std::move(fn), Qt::QueuedConnection);
}

void SdkCore::RunInBackground(std::function<void()> fn)
{
    Submit([this, fn = std::move(fn)] {
        fn();
        WorkDone();
    });
}

void SdkCore::Send(const CloudRequest& request, WeakLife life, std::function<void(const CloudReply&)> done)
{
    if (m_host.isEmpty())
        return;
    CloudConnection::Request http;
    http.method = request.method;
    // Reserved characters stay as the caller wrote them; blanks and non-ASCII are escaped.
    http.target = m_pathPrefix + QUrl::toPercentEncoding(request.path, "/?&=%:@!$'()*+,;~");
    AddHeader(http, "Accept", "application/json");
    // The cloud names meetings it creates in the language the SDK was started in.
    AddHeader(http, "Accept-Language", m_language == LANGUAGE_Chinese_Simplified ? "zh-CN" : "en");
    // Tokens are read here, on the event thread, and handed to the worker by value.
    if (!appToken.empty())
        AddHeader(http, "X-App-Token", QByteArray::fromStdString(appToken));
    if (request.withSession && !sessionToken.empty())
        AddHeader(http, "X-Session-Token", QByteArray::fromStdString(sessionToken));
    if (request.method == "POST" || request.method == "PUT") {
        AddHeader(http, "Content-Type", "application/json");
        http.body = QJsonDocument(request.body).toJson(QJsonDocument::Compact);
        http.withBody = true;
    }

    Submit([this, http, life, done = std::move(done)] {
        if (m_stopping)
            return;
        if (!m_connection) {
            m_connection = new CloudConnection(m_host, m_port, m_caFile);
        }
        CloudConnection::Limits limits;
        limits.connectMs = int(std::min(m_timeoutMs, 5000L));
        limits.totalMs = int(m_draining ? std::min(m_timeoutMs, long(kDrainMs - 500)) : m_timeoutMs);
        limits.maxBody = kMaxReply;
        m_connection->Start(http, limits, [this, life, done](const CloudConnection::Result& answer) {
            if (m_stopping)
                return;
            const CloudReply reply = ToReply(answer);
            Post([life, done, reply] {
                if (!life.expired())
                    done(reply);
            });
            WorkDone();
        });
    });
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
