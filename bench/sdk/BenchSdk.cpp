// Two figures of the SDK layer:
//  join_to_in_meeting: an SDK join until status 3, against the cloud's join round trip alone;
//  fanout_3_listeners: one meeting event through SDKInterfaceWrap to three listeners, against three
//  direct virtual calls.
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <functional>
#include <memory>
#include <string>

#include "../../tests/service/ServiceClient.h"
#include "common/AppCredentials.h"
#include "sdk/AuthUIEvent.h"
#include "sdk/JoinMeeting.h"
#include "sdk/MeetingEvent.h"
#include "sdk/OrvoAuth.h"
#include "sdk/SDKInterfaceWrap.h"
#include "support/VtxService.h"

using namespace ORVOSDK;

namespace {

vtxtest::VtxService* g_service = nullptr;
UINT64 g_meetingNumber = 0;

struct StatusWaiter : AuthUIEvent
{
    int waitingFor = -1;
    QEventLoop* loop = nullptr;
    int last = -1;
    long count = 0;
    void OnAuthResult(int r) override
    {
        last = r;
        if (loop)
            loop->quit();
    }
    void OnLoginResult(int, const QString&) override {}
    void OnMeetingStatus(int status, int) override
    {
        ++count;
        last = status;
        if (loop && (status == waitingFor || status == 6))
            loop->quit();
    }
    // Runs the event loop until the status arrives; the loop wakes on the delivery itself.
    bool Wait(int status, int ms = 10000)
    {
        if (last == status)
            return true;
        QEventLoop l;
        loop = &l;
        waitingFor = status;
        // A timer owned here: a single-shot one would outlive the wait and pile up, making every
        // later timer insertion slower.
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &l, &QEventLoop::quit);
        guard.start(ms);
        l.exec();
        loop = nullptr;
        return last == status;
    }
};

StatusWaiter g_ui;

// The cloud's join and leave as one client on one kept connection.
class RawJoin
{
public:
    RawJoin()
    {
        m_curl = curl_easy_init();
        m_headers = curl_slist_append(m_headers, "Content-Type: application/json");
    }
    ~RawJoin()
    {
        curl_slist_free_all(m_headers);
        curl_easy_cleanup(m_curl);
    }
    void SetAppToken(const std::string& token)
    {
        m_headers = curl_slist_append(m_headers, ("X-App-Token: " + token).c_str());
    }
    std::string Post(const std::string& path, const std::string& body)
    {
        std::string out;
        curl_easy_setopt(m_curl, CURLOPT_URL, (g_service->BaseUrl() + path).c_str());
        curl_easy_setopt(m_curl, CURLOPT_CAINFO, vtxtest::VtxService::CaFile().c_str());
        curl_easy_setopt(m_curl, CURLOPT_HTTPHEADER, m_headers);
        curl_easy_setopt(m_curl, CURLOPT_POSTFIELDS, body.c_str());
        curl_easy_setopt(
            m_curl, CURLOPT_WRITEFUNCTION, +[](char* d, size_t s, size_t n, void* u) {
                static_cast<std::string*>(u)->append(d, s * n);
                return s * n;
            });
        curl_easy_setopt(m_curl, CURLOPT_WRITEDATA, &out);
        curl_easy_perform(m_curl);
        return out;
    }

private:
    CURL* m_curl = nullptr;
    curl_slist* m_headers = nullptr;
};

std::string Field(const std::string& json, const std::string& name)
{
    const auto at = json.find("\"" + name + "\":\"");
    if (at == std::string::npos)
        return {};
    const auto start = at + name.size() + 4;
    return json.substr(start, json.find('"', start) - start);
}

void BM_Join(benchmark::State& state)
{
    MeetingEvent::Instance()->SetUIEvent(&g_ui);
    JoinMeeting join;
    const QString number = QString::number(g_meetingNumber);
    IMeetingService* meeting = SDKInterfaceWrap::Instance().MeetingService();
    for (auto _ : state) {
        g_ui.last = -1;
        if (join.Join(number, "Bench", "", false, true) != 0 || !g_ui.Wait(3)) {
            state.SkipWithError("join failed");
            break;
        }
        state.PauseTiming();
        meeting->Leave(LEAVE_MEETING);
        g_ui.Wait(7);
        // The ended meeting's window goes away here, not inside the next measured join.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

void BM_JoinRoundTrip(benchmark::State& state)
{
    RawJoin raw;
    raw.SetAppToken(Field(raw.Post("/sdk/auth", std::string("{\"app_key\":\"") + vtx::kAppKey + "\",\"app_secret\":\"" +
                                                    vtx::kAppSecret + "\"}"),
                          "app_token"));
    const std::string body = "{\"number\":" + std::to_string(g_meetingNumber) +
                             ",\"password\":\"\",\"display_name\":\"Bench\",\"user_type\":101}";
    for (auto _ : state) {
        const std::string answer = raw.Post("/sdk/meetings/join", body);
        state.PauseTiming();
        const std::string participant = Field(answer, "participant_id");
        if (participant.empty()) {
            state.SkipWithError("join failed");
            break;
        }
        raw.Post("/sdk/meetings/" + std::to_string(g_meetingNumber) + "/leave",
                 "{\"participant\":\"" + participant + "\"}");
        state.ResumeTiming();
    }
}

// Listeners as the client has them: each passes the status on to MeetingEvent.
struct ForwardingListener : IMeetingServiceEvent
{
    void onMeetingStatusChanged(MeetingStatus status, int iResult) override
    {
        MeetingEvent::Instance()->OnMeetingStatusChanged(status, iResult);
    }
    void onMeetingStatisticsWarningNotification(StatisticsWarningType) override {}
    void onMeetingSecureKeyNotification(const char*, int, IMeetingExternalSecureKeyHandler*) override {}
    void onMeetingParameterNotification(const MeetingParameter*) override {}
};

ForwardingListener g_listeners[3];

void BM_FanoutWrap(benchmark::State& state)
{
    MeetingEvent::Instance()->SetUIEvent(&g_ui);
    SDKInterfaceWrap& wrap = SDKInterfaceWrap::Instance();
    for (auto& l : g_listeners)
        wrap.AddMeetingListener(&l);
    IMeetingServiceEvent* sink = &wrap;
    benchmark::DoNotOptimize(sink);
    for (auto _ : state)
        sink->onMeetingStatusChanged(MEETING_STATUS_CONNECTING, 0);
    for (auto& l : g_listeners)
        wrap.RemoveMeetingListener(&l);
}

void BM_FanoutDirect(benchmark::State& state)
{
    MeetingEvent::Instance()->SetUIEvent(&g_ui);
    IMeetingServiceEvent* targets[3] = {&g_listeners[0], &g_listeners[1], &g_listeners[2]};
    benchmark::DoNotOptimize(targets);
    for (auto _ : state) {
        for (IMeetingServiceEvent* t : targets)
            t->onMeetingStatusChanged(MEETING_STATUS_CONNECTING, 0);
        benchmark::ClobberMemory();
    }
}

BENCHMARK(BM_FanoutWrap)->Name("sdk_fanout_3_listeners/measured");
BENCHMARK(BM_FanoutDirect)->Name("sdk_fanout_3_listeners/baseline");
BENCHMARK(BM_Join)->Name("sdk_join_to_in_meeting/measured")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JoinRoundTrip)->Name("sdk_join_to_in_meeting/baseline")->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_CONFIG_HOME", home.filePath("config").toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", home.filePath("runtime").toLocal8Bit());
    qputenv("VTX_SDK_RECORDING_DIR", home.filePath("recordings").toLocal8Bit());
    QApplication app(argc, argv);

    vtxtest::VtxService::Options options;
    options.dataDir = home.filePath("service").toStdString();
    QDir().mkpath(home.filePath("service"));
    vtxtest::VtxService service(options);
    if (!service.Ok()) {
        fprintf(stderr, "vtx-service did not start: %s\n", service.Error().c_str());
        return 1;
    }
    g_service = &service;
    qputenv("VTX_SDK_DOMAIN", QByteArray::fromStdString(service.BaseUrl()));

    // The meeting the SDK joins, hosted by the demo account.
    servicetest::Client host(service);
    const auto started = host.PostJson("/sdk/meetings/start", R"({"number":0,"kind":1})", host.SignInDemo());
    g_meetingNumber = UINT64(started.DataNum("number"));
    if (started.Code() != "200" || g_meetingNumber == 0) {
        fprintf(stderr, "could not start the hosted meeting: %s\n", started.body.c_str());
        return 1;
    }

    OrvoAuth::Instance()->SetUIEvent(&g_ui);
    if (OrvoAuth::Instance()->Start() != 0 || !g_ui.Wait(1)) {
        fprintf(stderr, "SDK authentication failed\n");
        return 1;
    }

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    OrvoAuth::Instance()->SetUIEvent(nullptr);
    MeetingEvent::Instance()->SetUIEvent(nullptr);
    OrvoAuth::Instance()->Shutdown();
    return 0;
}
