#include "sdk/MeetingExit.h"

#include "sdk/MeetingServiceChecks.h"
#include "sdk/SDKInterfaceWrap.h"

using namespace ORVOSDK;

struct MeetingExit::Listener : IMeetingServiceEvent
{
    explicit Listener(MeetingExit* owner)
        : owner(owner)
    {
        SDKInterfaceWrap::Instance().AddMeetingListener(this);
    }
    ~Listener() { SDKInterfaceWrap::Instance().RemoveMeetingListener(this); }

    void onMeetingStatusChanged(MeetingStatus status, int) override
    {
        if (status == MEETING_STATUS_ENDED || status == MEETING_STATUS_FAILED || status == MEETING_STATUS_IDLE)
            owner->FinishSoon();
    }
    void onMeetingStatisticsWarningNotification(StatisticsWarningType) override {}
    void onMeetingSecureKeyNotification(const char*, int, IMeetingExternalSecureKeyHandler*) override {}
    void onMeetingParameterNotification(const MeetingParameter*) override {}

    MeetingExit* owner;
};

MeetingExit::MeetingExit()
{
    m_deadline.setSingleShot(true);
    QObject::connect(&m_deadline, &QTimer::timeout, [this] { Finish(); });
}

MeetingExit::~MeetingExit() = default;

bool MeetingExit::MeetingRunning()
{
    IMeetingService* service = SDKInterfaceWrap::Instance().MeetingService();
    return service && !sdkflow::NoMeetingRunning(service);
}

bool MeetingExit::Start(int timeoutMs, std::function<void()> done)
{
    IMeetingService* service = SDKInterfaceWrap::Instance().MeetingService();
    if (m_done || !service || sdkflow::NoMeetingRunning(service))
        return false;
    IMeetingInfo* info = service->GetMeetingInfo();
    const bool host = info && info->IsHost();
    if (!m_listener)
        m_listener = std::make_unique<Listener>(this);
    m_done = std::move(done);
    if (service->Leave(host ? END_MEETING : LEAVE_MEETING) != SDKERR_SUCCESS &&
        (!host || service->Leave(LEAVE_MEETING) != SDKERR_SUCCESS)) {
        m_done = nullptr;
        return false;
    }
    m_deadline.start(timeoutMs);
    if (sdkflow::NoMeetingRunning(service))
        FinishSoon(); // it was still connecting: over at once
    return true;
}

void MeetingExit::FinishSoon()
{
    // Out of the SDK's call stack: the caller may shut the SDK down.
    QTimer::singleShot(0, &m_deadline, [this] { Finish(); });
}

void MeetingExit::Finish()
{
    m_deadline.stop();
    if (!m_done)
        return;
    std::function<void()> done = std::move(m_done);
    m_done = nullptr;
    done();
}
