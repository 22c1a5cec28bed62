// The client's SDK layer against the in-memory SDK of FakeSdk.cpp.
#include <QFile>
#include <QTest>
#include <QTextStream>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

#include "FakeSdk.h"
#include "base/Localization.h"
#include "sdk/AuthUIEvent.h"
#include "sdk/CSDKSheduleMeetingUIEvent.h"
#include "sdk/CSDKSheduleMeetingUIWorkFlow.h"
#include "sdk/EventSinkPool.h"
#include "sdk/HostMeeting.h"
#include "sdk/JoinMeeting.h"
#include "sdk/MeetingEvent.h"
#include "sdk/OrvoAuth.h"
#include "sdk/SDKInterfaceWrap.h"
#include "support/TestEnvironment.h"

using namespace ORVOSDK;
using fakesdk::count;
using fakesdk::state;

namespace {

struct Recorder
{
    virtual void Hit(int) = 0;

protected:
    ~Recorder() = default;
};

struct Listener : Recorder
{
    std::vector<std::pair<Listener*, int>>* log = nullptr;
    std::function<void(Listener*)> onHit;
    void Hit(int value) override
    {
        log->emplace_back(this, value);
        if (onHit)
            onHit(this);
    }
};

void Fire(EventSinkPool<Recorder>& pool, int value)
{
    pool.ForEach([&](Recorder* r) { r->Hit(value); });
}

struct UiRecorder : AuthUIEvent
{
    std::vector<int> auth;
    std::vector<std::pair<int, QString>> login;
    std::vector<std::pair<int, int>> meeting;
    void OnAuthResult(int r) override { auth.push_back(r); }
    void OnLoginResult(int s, const QString& n) override { login.emplace_back(s, n); }
    void OnMeetingStatus(int s, int c) override { meeting.emplace_back(s, c); }
};

struct ScheduleRecorder : CSDKSheduleMeetingUIEvent
{
    std::vector<std::string> events;
    void OnListMeeting(int r, const std::vector<UINT64>&) override { events.push_back("list" + std::to_string(r)); }
    void OnScheduleOrEditMeeting(int r, UINT64 id) override
    {
        events.push_back("schedule" + std::to_string(r) + ":" + std::to_string(id));
    }
    void OnDeleteMeeting(int r) override { events.push_back("delete" + std::to_string(r)); }
};

class SdkLayer : public ::testing::Test
{
protected:
    void SetUp() override { fakesdk::install(); }
    void TearDown() override
    {
        fakesdk::uninstall();
        Localization::Instance()->resetForTest();
    }

    void InitFake()
    {
        InitParam p{};
        p.strWebDomain = L"https://x";
        ASSERT_EQ(SDKInterfaceWrap::Instance().Initialize(p), 0);
    }

    static void LoadPack(const QStringList& lines)
    {
        const QString path = vtxtest::makeTempDir("pack") + "/en_US.ini";
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(lines.join('\n').toUtf8());
        f.close();
        Localization::Instance()->resetForTest();
        ASSERT_EQ(Localization::Instance()->Load(1, path), 0);
    }
};

} // namespace

// --- EventSinkPool ---

TEST(EventSinkPool, CallsListenersOnceEachInAscendingPointerOrder)
{
    std::vector<Listener> listeners(4);
    std::vector<std::pair<Listener*, int>> log;
    EventSinkPool<Recorder> pool;
    for (int i = 3; i >= 0; --i) {
        listeners[i].log = &log;
        pool.Add(&listeners[i]);
    }
    pool.Add(&listeners[2]); // duplicate
    pool.Add(nullptr);
    Fire(pool, 7);
    ASSERT_EQ(log.size(), 4u);
    for (size_t i = 0; i < log.size(); ++i)
        EXPECT_EQ(log[i].first, &listeners[i]);
}

TEST(EventSinkPool, ListenerRemovingItselfFinishesAndGetsNoLaterEvents)
{
    std::vector<std::pair<Listener*, int>> log;
    Listener a, b;
    a.log = b.log = &log;
    EventSinkPool<Recorder> pool;
    pool.Add(&a);
    pool.Add(&b);
    bool finished = false;
    a.onHit = [&](Listener* self) {
        pool.Remove(self);
        finished = true;
    };
    Fire(pool, 1);
    EXPECT_TRUE(finished);
    EXPECT_EQ(log.size(), 2u);
    log.clear();
    Fire(pool, 2);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].first, &b);
}

TEST(EventSinkPool, ListenerAddedInsideCallbackWaitsForTheNextEvent)
{
    std::vector<std::pair<Listener*, int>> log;
    Listener listeners[2];
    Listener& first = listeners[0];
    Listener& added = listeners[1]; // higher address: would be reached in this walk if it were live
    first.log = added.log = &log;
    EventSinkPool<Recorder> pool;
    pool.Add(&first);
    first.onHit = [&](Listener*) { pool.Add(&added); };
    Fire(pool, 1);
    EXPECT_EQ(log.size(), 1u);
    Fire(pool, 2);
    EXPECT_EQ(log.size(), 3u);
}

TEST(EventSinkPool, ListenerRemovedByAnEarlierOneIsNotCalled)
{
    // The earlier listener may have deleted the later one (a meeting ending deletes its workflow).
    std::vector<std::pair<Listener*, int>> log;
    Listener listeners[2];
    listeners[0].log = listeners[1].log = &log;
    EventSinkPool<Recorder> pool;
    pool.Add(&listeners[0]);
    pool.Add(&listeners[1]);
    listeners[0].onHit = [&](Listener*) { pool.Remove(&listeners[1]); };
    Fire(pool, 1);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].first, &listeners[0]);
}

TEST(EventSinkPool, RemovingAbsentOrNullIsHarmless)
{
    EventSinkPool<Recorder> pool;
    Listener a;
    pool.Remove(&a);
    pool.Remove(nullptr);
    EXPECT_EQ(pool.Size(), 0u);
}

// --- SDKInterfaceWrap ---

TEST_F(SdkLayer, AccessorsBeforeInitializeAreNullAndCreateNothing)
{
    SDKInterfaceWrap& wrap = SDKInterfaceWrap::Instance();
    EXPECT_EQ(wrap.AuthService(), nullptr);
    EXPECT_EQ(wrap.MeetingService(), nullptr);
    EXPECT_EQ(wrap.PreMeetingService(), nullptr);
    EXPECT_EQ(wrap.SettingService(), nullptr);
    EXPECT_EQ(wrap.NetworkHelper(), nullptr);
    wrap.AddAuthListener(OrvoAuth::Instance());
    EXPECT_TRUE(state().calls.empty());
}

TEST_F(SdkLayer, FailedInitializeReportsTheSdkErrorAndKeepsServicesNull)
{
    state().initResult = SDKERR_WRONG_USAGE;
    InitParam p{};
    EXPECT_EQ(SDKInterfaceWrap::Instance().Initialize(p), int(SDKERR_WRONG_USAGE));
    EXPECT_EQ(SDKInterfaceWrap::Instance().MeetingService(), nullptr);
    EXPECT_EQ(SDKInterfaceWrap::Instance().Shutdown(), 2);
    EXPECT_EQ(count("CleanUPSDK"), 0);
}

TEST_F(SdkLayer, SecondInitializeDoesNotCallTheSdkAgain)
{
    InitFake();
    InitParam p{};
    EXPECT_EQ(SDKInterfaceWrap::Instance().Initialize(p), 0);
    EXPECT_EQ(count("InitSDK"), 1);
}

TEST_F(SdkLayer, ShutdownWithoutInitializeReturnsTwoAndCallsNothing)
{
    EXPECT_EQ(SDKInterfaceWrap::Instance().Shutdown(), 2);
    EXPECT_TRUE(state().calls.empty());
}

TEST_F(SdkLayer, ServicesAreCreatedOnceWithTheWrapperAsSink)
{
    InitFake();
    SDKInterfaceWrap& wrap = SDKInterfaceWrap::Instance();
    IMeetingService* meeting = wrap.MeetingService();
    ASSERT_NE(meeting, nullptr);
    EXPECT_EQ(wrap.MeetingService(), meeting);
    EXPECT_EQ(count("CreateMeeting"), 1);
    EXPECT_EQ(state().meetingSink, static_cast<IMeetingServiceEvent*>(&wrap));
    EXPECT_EQ(count("meeting.GetParticipants"), 1);
    EXPECT_EQ(count("meeting.GetChat"), 1);
    ASSERT_NE(wrap.AuthService(), nullptr);
    EXPECT_EQ(state().authSink, static_cast<IAuthServiceEvent*>(&wrap));
    ASSERT_NE(wrap.PreMeetingService(), nullptr);
    EXPECT_EQ(state().preMeetingSink, static_cast<IPreMeetingServiceEvent*>(&wrap));
}

TEST_F(SdkLayer, ShutdownDestroysServicesInOrderThenCleansUp)
{
    InitFake();
    SDKInterfaceWrap& wrap = SDKInterfaceWrap::Instance();
    wrap.PreMeetingService();
    wrap.NetworkHelper();
    wrap.MeetingService();
    wrap.SettingService();
    wrap.AuthService();
    state().calls.clear();
    EXPECT_EQ(wrap.Shutdown(), 0);
    const std::vector<std::string> expected = {"DestroyAuth",    "DestroySetting",    "DestroyMeeting",
                                               "DestroyNetwork", "DestroyPreMeeting", "CleanUPSDK"};
    EXPECT_EQ(state().calls, expected);
    EXPECT_EQ(wrap.Shutdown(), 2);
    EXPECT_EQ(wrap.AuthService(), nullptr);
}

TEST_F(SdkLayer, WrapperFansMeetingEventsToEveryListenerOnce)
{
    InitFake();
    SDKInterfaceWrap& wrap = SDKInterfaceWrap::Instance();
    UiRecorder ui;
    MeetingEvent::Instance()->SetUIEvent(&ui);
    JoinMeeting join;
    HostMeeting host;
    ASSERT_EQ(join.Join("123", "n", "", false, false), 0);
    ASSERT_EQ(host.StartMeeting(1, 0), 0);
    wrap.AddMeetingListener(&join.Workflow()); // duplicate
    state().meetingSink->onMeetingStatusChanged(MEETING_STATUS_INMEETING, 0);
    // Both workflows pass the status on.
    EXPECT_EQ(ui.meeting.size(), 2u);
}

// --- OrvoAuth ---

TEST_F(SdkLayer, StartInitialisesInTheUsersLanguageAndRegistersTheHandler)
{
    qputenv("VTX_SDK_DOMAIN", "https://127.0.0.1:9");
    LoadPack({"ui.window=VTX"}); // language 1 = English
    EXPECT_EQ(OrvoAuth::Instance()->Start(), 0);
    qunsetenv("VTX_SDK_DOMAIN");
    EXPECT_EQ(state().lastInitDomain, L"https://127.0.0.1:9");
    EXPECT_EQ(state().lastInit.emLanguageID, LANGUAGE_English);
    EXPECT_EQ(state().lastInit.uiWindowIconSmallID, 101u);
    EXPECT_EQ(state().lastInit.uiLogFileSize, 5u);
    EXPECT_EQ(state().connectionHandler, static_cast<INetworkConnectionHandler*>(OrvoAuth::Instance()));
}

TEST_F(SdkLayer, StartUsesChineseForLanguageZeroAndFailsWhenInitFails)
{
    Localization::Instance()->resetForTest();
    state().initResult = SDKERR_INTERNAL_ERROR;
    EXPECT_EQ(OrvoAuth::Instance()->Start(), -1);
    EXPECT_EQ(state().lastInit.emLanguageID, LANGUAGE_Chinese_Simplified);
    EXPECT_EQ(count("CreateNetwork"), 0);
}

TEST_F(SdkLayer, SecondConnectionReadyRepeatsOnlyTheAuthentication)
{
    UiRecorder ui;
    OrvoAuth* auth = OrvoAuth::Instance();
    auth->SetUIEvent(&ui);
    ASSERT_EQ(auth->Start(), 0);
    state().connectionHandler->onNetworkConnectionReady();
    EXPECT_EQ(auth->status(), 3);
    state().connectionHandler->onNetworkConnectionReady();
    EXPECT_EQ(count("auth.SDKAuth"), 2);
    EXPECT_EQ(count("CreateAuth"), 1);
    EXPECT_EQ(state().lastAuthKey.size(), 36u);
    state().authSink->onAuthenticationReturn(AUTHRET_SUCCESS);
    EXPECT_EQ(ui.auth, std::vector<int>{1}); // one listener entry, one report
    EXPECT_EQ(auth->status(), 1);
}

TEST_F(SdkLayer, AuthenticationFailureReportsTwo)
{
    UiRecorder ui;
    OrvoAuth::Instance()->SetUIEvent(&ui);
    ASSERT_EQ(OrvoAuth::Instance()->Start(), 0);
    state().connectionHandler->onNetworkConnectionReady();
    state().authSink->onAuthenticationReturn(AUTHRET_KEYORSECRETWRONG);
    EXPECT_EQ(ui.auth, std::vector<int>{2});
    EXPECT_EQ(OrvoAuth::Instance()->status(), 2);
    QTest::qWait(1300);
    EXPECT_EQ(count("auth.SDKAuth"), 1) << "a rejection is not tried again";
}

// A cloud that does not answer is no rejection: the layer reports 4, tries again after 1 s, and
// reports 1 once the cloud answers.
TEST_F(SdkLayer, UnansweredAuthenticationIsTriedAgainUntilItSucceeds)
{
    UiRecorder ui;
    OrvoAuth* auth = OrvoAuth::Instance();
    auth->SetUIEvent(&ui);
    ASSERT_EQ(auth->Start(), 0);
    state().connectionHandler->onNetworkConnectionReady();
    ASSERT_EQ(count("auth.SDKAuth"), 1);
    state().authSink->onAuthenticationReturn(AUTHRET_NETWORKISSUE);
    EXPECT_EQ(ui.auth, std::vector<int>{4});
    EXPECT_EQ(auth->status(), 4);
    EXPECT_TRUE(QTest::qWaitFor([] { return count("auth.SDKAuth") == 2; }, 5000));
    EXPECT_EQ(auth->status(), 3);

    state().authSink->onAuthenticationReturn(AUTHRET_OVERTIME);
    EXPECT_EQ(ui.auth, (std::vector<int>{4, 4}));
    state().authSink->onAuthenticationReturn(AUTHRET_SUCCESS);
    EXPECT_EQ(ui.auth, (std::vector<int>{4, 4, 1}));
    EXPECT_EQ(auth->status(), 1);
    // The retry that was scheduled before the success finds nothing left to do.
    QTest::qWait(2300);
    EXPECT_EQ(count("auth.SDKAuth"), 2);
}

TEST_F(SdkLayer, NoRetryAfterShutdown)
{
    OrvoAuth* auth = OrvoAuth::Instance();
    ASSERT_EQ(auth->Start(), 0);
    state().connectionHandler->onNetworkConnectionReady();
    state().authSink->onAuthenticationReturn(AUTHRET_NETWORKISSUE);
    auth->Shutdown();
    QTest::qWait(1300);
    EXPECT_EQ(count("auth.SDKAuth"), 1);
}

TEST(OrvoAuthRetry, PausesDoubleFromOneSecondUpToThirty)
{
    std::vector<int> pauses;
    for (int retry = 1; retry <= 8; ++retry)
        pauses.push_back(OrvoAuth::RetryDelayMs(retry));
    EXPECT_EQ(pauses, (std::vector<int>{1000, 2000, 4000, 8000, 16000, 30000, 30000, 30000}));
    EXPECT_EQ(OrvoAuth::RetryDelayMs(1000000), 30000);
}

namespace {
struct AccountFake : IAccountInfo
{
    const wchar_t* GetDisplayName() override { return L"Zhang San 张"; }
    LoginType GetLoginType() override { return LoginType_Email; }
    const wchar_t* GetUserName() override { return L"z@x"; }
    UINT64 GetPersonalMeetingNumber() override { return 0; }
};
} // namespace

TEST_F(SdkLayer, LoginResultsOfIdleOrProcessingAreIgnored)
{
    UiRecorder ui;
    OrvoAuth* auth = OrvoAuth::Instance();
    auth->SetUIEvent(&ui);
    ASSERT_EQ(auth->Start(), 0);
    state().connectionHandler->onNetworkConnectionReady();
    state().authSink->onAuthenticationReturn(AUTHRET_SUCCESS);
    AccountFake account;
    state().authSink->onLoginRet(LOGIN_IDLE, &account);
    state().authSink->onLoginRet(LOGIN_PROCESSING, &account);
    EXPECT_TRUE(ui.login.empty());
    EXPECT_EQ(auth->status(), 1);
    state().authSink->onLoginRet(LOGIN_SUCCESS, &account);
    ASSERT_EQ(ui.login.size(), 1u);
    EXPECT_EQ(ui.login[0].first, 2);
    EXPECT_EQ(ui.login[0].second, QString::fromWCharArray(L"Zhang San 张"));
    EXPECT_TRUE(auth->IsSignedIn());
    state().authSink->onLoginRet(LOGIN_FAILED, nullptr);
    EXPECT_EQ(ui.login.back(), std::make_pair(3, QString()));
    EXPECT_EQ(auth->status(), 1);
}

TEST_F(SdkLayer, LoginWithoutSdkReturnsMinusOneAndShutdownBeforeAuthLeavesTheSdk)
{
    OrvoAuth* auth = OrvoAuth::Instance();
    EXPECT_EQ(auth->Login("a", "b"), -1);
    InitFake();
    auth->Shutdown();
    EXPECT_TRUE(SDKInterfaceWrap::Instance().IsInitialized());
    EXPECT_EQ(count("auth.LogOut"), 0);
}

TEST_F(SdkLayer, ShutdownSignsOutUnregistersAndCleansUp)
{
    OrvoAuth* auth = OrvoAuth::Instance();
    ASSERT_EQ(auth->Start(), 0);
    state().connectionHandler->onNetworkConnectionReady();
    EXPECT_EQ(auth->Login("u@x", "p"), 0);
    EXPECT_EQ(state().lastLoginUser, L"u@x");
    auth->Shutdown();
    EXPECT_EQ(count("auth.LogOut"), 1);
    EXPECT_EQ(count("net.Unregister"), 1);
    EXPECT_EQ(count("CleanUPSDK"), 1);
    EXPECT_FALSE(SDKInterfaceWrap::Instance().IsInitialized());
}

// --- meeting workflows ---

TEST_F(SdkLayer, JoinWithEmptyNumberTouchesNothing)
{
    InitFake();
    JoinMeeting join;
    EXPECT_EQ(join.Join("", "n", "", false, true), -1);
    EXPECT_EQ(count("InitSDK"), 1);
    EXPECT_EQ(state().calls.size(), 1u);
}

TEST_F(SdkLayer, JoinWithoutSdkReturnsSeven)
{
    JoinMeeting join;
    EXPECT_EQ(join.Join("123", "n", "", false, true), 7);
}

TEST_F(SdkLayer, JoinFillsTheRecordAndAppliesTextsFirst)
{
    InitFake();
    JoinMeeting join;
    EXPECT_EQ(join.Join("123-456x", "小明", "pw", true, true), 0);
    EXPECT_EQ(state().lastJoin.userType, SDK_UT_WITHOUT_LOGIN);
    EXPECT_EQ(state().lastJoin.meetingNumber, 123ull);
    EXPECT_EQ(state().lastJoinName, L"小明");
    EXPECT_FALSE(state().lastJoin.isVideoOff);
    EXPECT_EQ(state().lastJoin.vanityID, nullptr);
    const auto& calls = state().calls;
    const auto firstCaption = std::find(calls.begin(), calls.end(), "config.caption");
    const auto autoEnd = std::find(calls.begin(), calls.end(), "config.autoEnd(true)");
    const auto joined = std::find(calls.begin(), calls.end(), "meeting.Join");
    EXPECT_LT(firstCaption, autoEnd);
    EXPECT_LT(autoEnd, joined);
    EXPECT_EQ(join.Join("5", "n", "", false, false), 0);
    EXPECT_EQ(state().lastJoin.userType, SDK_UT_NORMALUSER);
}

TEST_F(SdkLayer, JoinWhileAMeetingRunsReturnsSevenAndSendsNothing)
{
    InitFake();
    JoinMeeting join;
    for (MeetingStatus running : {MEETING_STATUS_CONNECTING, MEETING_STATUS_INMEETING, MEETING_STATUS_RECONNECTING}) {
        state().meetingStatus = running;
        EXPECT_EQ(join.Join("123", "n", "", false, false), 7);
    }
    EXPECT_EQ(count("meeting.Join"), 0);
    state().meetingStatus = MEETING_STATUS_ENDED;
    EXPECT_EQ(join.Join("123", "n", "", false, false), 0);
}

TEST_F(SdkLayer, LeavingWhenNoMeetingRunsReturnsSevenAndSendsNothing)
{
    InitFake();
    HostMeeting host;
    for (MeetingStatus idle : {MEETING_STATUS_IDLE, MEETING_STATUS_FAILED, MEETING_STATUS_ENDED}) {
        state().meetingStatus = idle;
        EXPECT_EQ(host.Workflow().LeaveMeeting(), 7);
        EXPECT_EQ(host.Workflow().EndMeeting(), 7);
    }
    EXPECT_EQ(count("meeting.Leave") + count("meeting.End"), 0);
    state().meetingStatus = MEETING_STATUS_INMEETING;
    EXPECT_EQ(host.Workflow().EndMeeting(), 0);
    EXPECT_EQ(count("meeting.End"), 1);
}

TEST_F(SdkLayer, StartFillsTheRecordAndMapsFailureToMinusOne)
{
    InitFake();
    {
        HostMeeting host;
        EXPECT_EQ(host.StartMeeting(2, 1234567890ull), 0);
        EXPECT_TRUE(state().lastStart.isVideoOff);
        EXPECT_EQ(state().lastStart.meetingNumber, 1234567890ull);
        EXPECT_EQ(state().lastStart.userType, SDK_UT_NORMALUSER);
        EXPECT_EQ(MeetingEvent::Instance()->MeetingKind(), 2);
        state().startResult = SDKERR_SERVICE_FAILED;
        state().meetingStatus = MEETING_STATUS_INMEETING; // even a running meeting: start asks no status
        EXPECT_EQ(host.StartMeeting(1, 0), -1);
        EXPECT_EQ(MeetingEvent::Instance()->MeetingKind(), 0);
        EXPECT_FALSE(MeetingEvent::Instance()->IsInMeeting());
    }
    // Destroying after a failed start sends nothing.
    EXPECT_EQ(count("meeting.Leave") + count("meeting.End"), 0);
}

TEST_F(SdkLayer, DestroyingHostMeetingEndsItsOwnMeetingAndLeavesOthers)
{
    InitFake();
    {
        HostMeeting host;
        ASSERT_EQ(host.StartMeeting(1, 0), 0);
        state().meetingStatus = MEETING_STATUS_INMEETING;
        state().meetingSink->onMeetingStatusChanged(MEETING_STATUS_INMEETING, 0);
    }
    EXPECT_EQ(count("meeting.End"), 1);
    EXPECT_FALSE(MeetingEvent::Instance()->IsInMeeting());
    {
        HostMeeting host;
        MeetingEvent::Instance()->SetInMeeting(true); // a meeting this client did not start
        MeetingEvent::Instance()->SetMeetingKind(0);
    }
    EXPECT_EQ(count("meeting.Leave"), 1);
}

TEST_F(SdkLayer, DestroyedWorkflowLeavesTheMeetingPool)
{
    InitFake();
    UiRecorder ui;
    MeetingEvent::Instance()->SetUIEvent(&ui);
    {
        JoinMeeting join;
        ASSERT_EQ(join.Join("1", "n", "", false, false), 0);
    }
    state().meetingSink->onMeetingStatusChanged(MEETING_STATUS_INMEETING, 0);
    EXPECT_TRUE(ui.meeting.empty());
}

// --- MeetingEvent ---

TEST_F(SdkLayer, StatusTableSetsFlagsAndPassesOnlyTheListedStatuses)
{
    UiRecorder ui;
    MeetingEvent* ev = MeetingEvent::Instance();
    ev->SetUIEvent(&ui);
    ev->SetMeetingKind(1);
    ev->OnMeetingStatusChanged(3, 9);
    EXPECT_TRUE(ev->IsInMeeting());
    for (int quiet : {0, 2, 5, 8, 10, -1})
        ev->OnMeetingStatusChanged(quiet, 4);
    EXPECT_TRUE(ev->IsInMeeting());
    ev->OnMeetingStatusChanged(9, 3);
    ev->OnMeetingStatusChanged(1, 5);
    EXPECT_FALSE(ev->IsInMeeting());
    EXPECT_EQ(ev->MeetingKind(), 1);
    ev->OnMeetingStatusChanged(4, 0);
    EXPECT_EQ(ev->MeetingKind(), 0);
    ev->SetMeetingKind(2);
    ev->OnMeetingStatusChanged(7, 2);
    ev->OnMeetingStatusChanged(6, 8);
    const std::vector<std::pair<int, int>> expected = {{3, 0}, {9, 0}, {1, 0}, {4, 0}, {7, 2}, {6, 8}};
    EXPECT_EQ(ui.meeting, expected);
    EXPECT_EQ(ev->MeetingKind(), 0);
}

TEST_F(SdkLayer, StatusWithoutListenerStillChangesFlags)
{
    MeetingEvent* ev = MeetingEvent::Instance();
    ev->OnMeetingStatusChanged(3, 0);
    EXPECT_TRUE(ev->IsInMeeting());
    ev->SetMeetingKind(1);
    ev->OnMeetingStatusChanged(6, 1);
    EXPECT_FALSE(ev->IsInMeeting());
    EXPECT_EQ(ev->MeetingKind(), 0);
}

TEST(MeetingReasons, EndReasonTableHasExactlyItsSixCodes)
{
    EXPECT_STREQ(MeetingEvent::EndReasonKeyName(1), "msg.KickByHost");
    EXPECT_STREQ(MeetingEvent::EndReasonKeyName(2), "msg.EndByHost");
    EXPECT_STREQ(MeetingEvent::EndReasonKeyName(3), "msg.JBHTimeOut");
    EXPECT_STREQ(MeetingEvent::EndReasonKeyName(4), "msg.NoAttendee");
    EXPECT_STREQ(MeetingEvent::EndReasonKeyName(5), "msg.HostStartAnotherMeeting");
    EXPECT_STREQ(MeetingEvent::EndReasonKeyName(7), "msg.NetworkBroken");
    for (int none : {-1, 0, 6, 8, 61})
        EXPECT_EQ(MeetingEvent::EndReasonKeyName(none), nullptr) << none;
}

TEST(MeetingReasons, FailReasonTableCoversItsRangesAndGaps)
{
    EXPECT_STREQ(MeetingEvent::FailReasonKeyName(1), "msg.fail_reason_network_err");
    EXPECT_STREQ(MeetingEvent::FailReasonKeyName(4), "msg.fail_reason_pwd_err");
    EXPECT_STREQ(MeetingEvent::FailReasonKeyName(7), "msg.fail_reason_meeting_notstart");
    EXPECT_STREQ(MeetingEvent::FailReasonKeyName(8), "msg.fail_reason_meeting_notexist");
    EXPECT_STREQ(MeetingEvent::FailReasonKeyName(24), "msg.fail_reason_certificate_changed");
    EXPECT_STREQ(MeetingEvent::FailReasonKeyName(27), "msg.fail_reason_vanity_notexit");
    EXPECT_STREQ(MeetingEvent::FailReasonKeyName(29), "msg.fail_reason_disallow_host");
    EXPECT_STREQ(MeetingEvent::FailReasonKeyName(50), "msg.fail_reason_non_write_conf");
    EXPECT_STREQ(MeetingEvent::FailReasonKeyName(60), "msg.fail_reason_forbid_join");
    EXPECT_STREQ(MeetingEvent::FailReasonKeyName(61), "msg.fail_reason_remove_by_host");
    int known = 0;
    for (int code = -2; code <= 100; ++code)
        known += MeetingEvent::FailReasonKeyName(code) != nullptr;
    EXPECT_EQ(known, 30);
    for (int none : {0, 25, 26, 30, 49, 51, 59, 62})
        EXPECT_EQ(MeetingEvent::FailReasonKeyName(none), nullptr) << none;
}

TEST_F(SdkLayer, ReasonTextPicksTheTableByStatusAndIgnoresCodeZero)
{
    LoadPack(
        {"msg.EndByHost=ended by host", "msg.fail_reason_meeting_notstart=not started", "msg.NetworkBroken=network"});
    EXPECT_STREQ(MeetingEvent::ReasonText(7, 2), "ended by host");
    EXPECT_STREQ(MeetingEvent::ReasonText(6, 7), "not started");
    EXPECT_STREQ(MeetingEvent::ReasonText(6, 2), ""); // failure 2 has no text in this pack
    EXPECT_STREQ(MeetingEvent::ReasonText(4, 7), "network");
    EXPECT_STREQ(MeetingEvent::ReasonText(7, 0), "");
    EXPECT_STREQ(MeetingEvent::ReasonText(6, 25), "");
    EXPECT_STREQ(MeetingEvent::ReasonText(7, 6), "");
}

TEST_F(SdkLayer, ApplyMeetingTextsSetsFiveCaptionsInOrder)
{
    LoadPack({"ui.window=VTX 云会议", "ui.OrvoVideo=Video", "ui.FreeOrvoVideo=Free", "ui.ViewOnly_OrvoVideo=View",
              "ui.ViewOnly_FreeOrvoVideo=ViewFree"});
    InitFake();
    MeetingEvent::Instance()->ApplyMeetingTexts();
    const std::vector<std::pair<int, std::wstring>> expected = {
        {4, L"VTX 云会议"}, {5, L"Video"}, {6, L"Free"}, {7, L"View"}, {8, L"ViewFree"}};
    EXPECT_EQ(state().captions, expected);
}

TEST_F(SdkLayer, ApplyMeetingTextsWithoutConfigurationOrSdkDoesNothing)
{
    MeetingEvent::Instance()->ApplyMeetingTexts();
    InitFake();
    state().withConfiguration = false;
    MeetingEvent::Instance()->ApplyMeetingTexts();
    EXPECT_TRUE(state().captions.empty());
}

// --- schedule workflow ---

TEST_F(SdkLayer, ScheduleWorkflowWithoutServiceReturnsSevenAndNull)
{
    CSDKSheduleMeetingUIWorkFlow flow;
    EXPECT_EQ(flow.ListMeetings(), 7);
    EXPECT_EQ(flow.ScheduleMeeting(), 7);
    EXPECT_EQ(flow.EditMeeting(), 7);
    EXPECT_EQ(flow.NewScheduleItem(), nullptr);
    EXPECT_EQ(flow.NewEditItem(5), nullptr);
    EXPECT_EQ(flow.MeetingItem(5), nullptr);
    EXPECT_TRUE(state().calls.empty());
}

TEST_F(SdkLayer, ScheduleWorkflowReplacesItemsAndFreesThemAtTheEnd)
{
    InitFake();
    {
        CSDKSheduleMeetingUIWorkFlow flow;
        EXPECT_EQ(state().scheduleItemsAlive, 1);
        IScheduleMeetingItem* second = flow.NewScheduleItem();
        ASSERT_NE(second, nullptr);
        EXPECT_EQ(state().scheduleItemsAlive, 1);
        EXPECT_EQ(flow.ScheduleItem(), second);
        EXPECT_EQ(flow.EditMeeting(), 7); // no edit item yet
        EXPECT_NE(flow.NewEditItem(3), nullptr);
        EXPECT_NE(flow.NewEditItem(4), nullptr);
        EXPECT_EQ(state().editItemsAlive, 1);
        EXPECT_EQ(flow.EditMeeting(), 0);
        EXPECT_EQ(flow.ScheduleMeeting(), 0);
        EXPECT_EQ(count("pre.Schedule"), 1);
    }
    EXPECT_EQ(state().scheduleItemsAlive, 0);
    EXPECT_EQ(state().editItemsAlive, 0);
}

TEST_F(SdkLayer, ScheduleWorkflowPassesTheThreeResultsToItsListenerOnly)
{
    InitFake();
    ScheduleRecorder ui;
    {
        CSDKSheduleMeetingUIWorkFlow flow;
        IPreMeetingServiceEvent* sink = state().preMeetingSink;
        sink->onListMeeting(PREMETAPIRET_SUCCESS, nullptr); // no listener yet
        flow.SetUIEvent(&ui);
        sink->onListMeeting(PREMETAPIRET_SUCCESS, nullptr);
        sink->onScheduleOrEditMeeting(PREMETAPIRET_UNKNOW, 42);
        sink->onDeleteMeeting(PREMETAPIRET_SUCCESS);
    }
    state().preMeetingSink->onDeleteMeeting(PREMETAPIRET_SUCCESS); // the flow is gone
    const std::vector<std::string> expected = {"list1", "schedule0:42", "delete1"};
    EXPECT_EQ(ui.events, expected);
}

TEST_F(SdkLayer, ScheduleWorkflowWithoutItemStaysOutOfThePool)
{
    InitFake();
    state().preMeetingCreatesItems = false;
    ScheduleRecorder ui;
    CSDKSheduleMeetingUIWorkFlow flow;
    flow.SetUIEvent(&ui);
    state().preMeetingSink->onDeleteMeeting(PREMETAPIRET_SUCCESS);
    EXPECT_TRUE(ui.events.empty());
}
