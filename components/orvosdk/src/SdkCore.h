#pragma once
// The SDK's process-wide state: the thread that receives events, the workers that talk to the
// meeting cloud, and the tokens the cloud handed out.

#include <QJsonObject>
#include <QSslConfiguration>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "orvosdk/orvo_sdk_def.h"

class QObject;

namespace orvo {

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
    // Runs fn on a worker thread.
    void RunInBackground(std::function<void()> fn);
    // Sends the request from a worker; done runs on the event thread unless life has expired.
    void Send(const CloudRequest& request, WeakLife life, std::function<void(const CloudReply&)> done);
    // Blocking request, for worker threads and tests.
    CloudReply Perform(const CloudRequest& request, const std::string& appToken, const std::string& sessionToken);

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
    void WorkerLoop();
    QSslConfiguration Tls();

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

    std::mutex m_tlsLock;
    // Trusts only the CA file beside the application. Held by pointer: even an empty
    // configuration loads the TLS library, which must not happen on the GUI thread.
    std::unique_ptr<QSslConfiguration> m_tls;

    std::mutex m_queueLock;
    std::condition_variable m_queueSignal;
    std::deque<std::function<void()>> m_queue;
    std::vector<std::thread> m_workers;
    std::condition_variable m_idleSignal;
    int m_active = 0;
    std::atomic<bool> m_stopping{false};
    std::atomic<bool> m_draining{false};
};

// SDK texts: English or Chinese by the init language.
QString Tr(const char* english, const char* chinese);
std::wstring ToWide(const QString& text);
QString FromWide(const wchar_t* text);

} // namespace orvo
