#pragma once
// The SDK's process-wide state: the thread that receives events, the worker that talks to the
// meeting cloud, and the tokens the cloud handed out.

#include <QJsonObject>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "orvosdk/orvo_sdk_def.h"

class QCoreApplication;
class QObject;
class QThread;

namespace orvo {

class CloudConnection;

// One answer of the meeting cloud.
struct CloudReply
{
    bool reached = false;   // an HTTP answer arrived
    bool tlsFailed = false; // the certificate did not verify
    long httpStatus = 0;
    bool envelope = false; // the body was a JSON object with a string "code"
    QString code;          // envelope code, "200" on success
    QString msg;
    QJsonObject data; // "data" when it is an object
    QJsonObject body; // the whole answer

    bool ok() const { return envelope && code == QLatin1String("200"); }
};

struct CloudRequest
{
    QByteArray method = "GET";
    QString path;            // "/sdk/..."
    QJsonObject body;        // sent for POST and PUT
    bool withSession = true; // send X-Session-Token when one is held
};

// Keeps callbacks from reaching an object that has been destroyed.
using LifeToken = std::shared_ptr<int>;
using WeakLife = std::weak_ptr<int>;

class SdkCore
{
public:
    static SdkCore& Get();

    bool Initialized() const { return m_initialized; }
    bool CleanedUp() const { return m_cleanedUp; }
    ORVOSDK::SDKError Init(const ORVOSDK::InitParam& param);
    ORVOSDK::SDKError Cleanup();

    // Runs fn on the thread that called InitSDK, from its event loop.
    void Post(std::function<void()> fn);
    // Runs fn on the worker thread.
    void RunInBackground(std::function<void()> fn);
    // Sends the request from the worker; done runs on the event thread unless life has expired.
    void Send(const CloudRequest& request, WeakLife life, std::function<void(const CloudReply&)> done);
    // Lets queued work go out for up to drainMs, then abandons the rest and joins the worker. Sending
    // again starts a new worker while the application runs.
    void StopWorker(int drainMs);
    bool WorkerRunning() const { return m_thread != nullptr; }

    QString WebDomain() const { return m_webDomain; }
    bool Chinese() const { return m_language == ORVOSDK::LANGUAGE_Chinese_Simplified; }
    int PollMs() const { return m_pollMs; }
    QString BrandName() const { return m_brand; }

    // Tokens handed out by the cloud; event thread only.
    std::string appToken;
    std::string sessionToken;
    QString account;
    QString displayName;
    UINT64 personalMeetingNumber = 0;

    // Meeting window captions set through the meeting configuration.
    QString Caption(int type) const;
    void SetCaption(int type, const QString& text);

    // Support addresses of the customised-resource helper.
    QString supportUrls[3];

private:
    SdkCore() = default;
    bool EnsureWorker();
    // Queues fn on the worker; false when no worker takes work.
    bool Submit(std::function<void()> fn);
    void WorkDone();
    static void ApplicationGone();
    static void ProcessExiting();

    bool m_initialized = false;
    bool m_cleanedUp = false;
    QObject* m_dispatcher = nullptr;
    QString m_webDomain;
    QString m_host; // of the web domain
    quint16 m_port = 443;
    QByteArray m_pathPrefix;
    QString m_caFile;
    QString m_brand;
    int m_language = ORVOSDK::LANGUAGE_English;
    int m_pollMs = 1000;
    long m_timeoutMs = 15000;
    QString m_captions[16];

    // The worker: its thread, an object living there to run work on, and the connection it keeps
    // (made, used and deleted on that thread). The thread is started and joined on the event thread.
    QThread* m_thread = nullptr;
    QObject* m_workerContext = nullptr;
    CloudConnection* m_connection = nullptr;
    QCoreApplication* m_hookedApp = nullptr; // the application whose end stops the worker
    bool m_appGone = false;

    std::mutex m_workLock;
    std::condition_variable m_idle;
    int m_pending = 0; // requests and jobs handed to the worker and not yet done
    std::atomic<bool> m_stopping{false};
    std::atomic<bool> m_draining{false};
};

// SDK texts: English or Chinese by the init language.
QString Tr(const char* english, const char* chinese);
std::wstring ToWide(const QString& text);
QString FromWide(const wchar_t* text);

} // namespace orvo
