// The client's SDK layer and libsdk together against a vtx-service started by the test.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

#include "../service/ServiceClient.h"
#include "CloudTestSupport.h"
#include "base/Localization.h"
#include "sdk/CSDKSheduleMeetingUIEvent.h"
#include "sdk/CSDKSheduleMeetingUIWorkFlow.h"
#include "sdk/HostMeeting.h"
#include "sdk/JoinMeeting.h"
#include "sdk/MeetingEvent.h"
#include "sdk/OrvoAuth.h"
#include "sdk/SDKInterfaceWrap.h"
#include "support/TestEnvironment.h"
#include "support/VtxService.h"

using namespace ORVOSDK;
using sdktest::UiRecorder;
using sdktest::WaitFor;

namespace {

struct ScheduleRecorder : CSDKSheduleMeetingUIEvent
{
    std::vector<std::pair<int, std::vector<UINT64>>> lists;
    std::vector<std::pair<int, UINT64>> schedules;
    std::vector<int> deletes;
    void OnListMeeting(int r, const std::vector<UINT64>& ids) override { lists.emplace_back(r, ids); }
    void OnScheduleOrEditMeeting(int r, UINT64 id) override { schedules.emplace_back(r, id); }
    void OnDeleteMeeting(int r) override { deletes.push_back(r); }
};

struct InviteSink : IMeetingUIControllerEvent
{
    int clicks = 0;
    bool handle = true;
    void onInviteBtnClicked(bool& bHandled) override
    {
        ++clicks;
        bHandled = handle;
    }
    void onStartShareBtnClicked() override {}
    void onEndMeetingBtnClicked() override {}
    void onParticipantListBtnClicked() override {}
    void onCustomLiveStreamMenuClicked() override {}
    void onOrvoInviteDialogFailed() override {}
    void onCCBTNClicked() override {}
};

QWidget* TopLevel(const QString& objectName)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == objectName && w->isVisible())
            return w;
    return nullptr;
}

class SdkCloud : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_service = new vtxtest::VtxService;
        ASSERT_TRUE(s_service->Ok()) << s_service->Error();
        s_recordings = vtxtest::makeTempDir("recordings");
        qputenv("VTX_SDK_DOMAIN", QByteArray::fromStdString(s_service->BaseUrl()));
        qputenv("VTX_SDK_POLL_MS", "100");
        qputenv("VTX_SDK_TIMEOUT_MS", "10000"); // sanitizer builds on a busy machine are slow
        qputenv("VTX_SDK_RECORDING_DIR", s_recordings.toLocal8Bit());

        const QString pack = vtxtest::makeTempDir("pack") + "/en_US.ini";
        QFile f(pack);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("ui.window=VTX Cloud\nui.OrvoVideo=VTX Video Meeting\nui.FreeOrvoVideo=VTX Free\n");
        f.close();
        ASSERT_EQ(Localization::Instance()->Load(1, pack), 0);

        s_ui = new UiRecorder;
        OrvoAuth::Instance()->SetUIEvent(s_ui);
        MeetingEvent::Instance()->SetUIEvent(s_ui);
        ASSERT_EQ(OrvoAuth::Instance()->Start(), 0);
        ASSERT_TRUE(WaitFor([] { return !s_ui->auth.empty(); }));
        ASSERT_EQ(s_ui->auth.front(), 1);
        ASSERT_EQ(OrvoAuth::Instance()->Login(vtxtest::VtxService::DemoAccount(), vtxtest::VtxService::DemoPassword()),
                  0);
        ASSERT_TRUE(WaitFor([] { return !s_ui->login.empty(); }));
        ASSERT_EQ(s_ui->login.front().first, 2);
    }

    static void TearDownTestSuite()
    {
        OrvoAuth::Instance()->Shutdown();
        OrvoAuth::Instance()->SetUIEvent(nullptr);
        MeetingEvent::Instance()->SetUIEvent(nullptr);
        delete s_ui;
        s_ui = nullptr;
        delete s_service;
        s_service = nullptr;
    }

    void SetUp() override
    {
        ASSERT_NE(s_ui, nullptr);
        s_ui->meeting.clear();
    }

    static IMeetingService* Meeting() { return SDKInterfaceWrap::Instance().MeetingService(); }

    // A second party: the demo account through raw /sdk calls.
    static servicetest::Client& Raw()
    {
        static servicetest::Client client(*s_service);
        return client;
    }

    static vtxtest::VtxService* s_service;
    static UiRecorder* s_ui;
    static QString s_recordings;
};

vtxtest::VtxService* SdkCloud::s_service = nullptr;
UiRecorder* SdkCloud::s_ui = nullptr;
QString SdkCloud::s_recordings;

} // namespace

TEST_F(SdkCloud, AuthenticatesAndSignsInWithTheAccountsName)
{
    EXPECT_EQ(s_ui->auth, std::vector<int>{1});
    ASSERT_EQ(s_ui->login.size(), 1u);
    EXPECT_EQ(s_ui->login[0].first, 2);
    EXPECT_FALSE(s_ui->login[0].second.isEmpty());
    EXPECT_TRUE(OrvoAuth::Instance()->IsSignedIn());
}

TEST_F(SdkCloud, StartsAnInstantMeetingWithItsCaptionsAndEndsIt)
{
    HostMeeting host;
    ASSERT_EQ(host.StartMeeting(1, 0), 0);
    ASSERT_TRUE(WaitFor([] { return s_ui->Saw(3); }));
    EXPECT_EQ(s_ui->meeting[0], std::make_pair(1, 0));
    EXPECT_TRUE(MeetingEvent::Instance()->IsInMeeting());
    IMeetingInfo* info = Meeting()->GetMeetingInfo();
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(QString::number(info->GetMeetingNumber()).size(), 11);
    EXPECT_TRUE(info->IsHost());
    EXPECT_NE(QString::fromWCharArray(info->GetJoinMeetingUrl()).indexOf(QString::number(info->GetMeetingNumber())),
              -1);

    ASSERT_TRUE(WaitFor([] { return TopLevel("OrvoMeetingWindow") != nullptr; }));
    QWidget* window = TopLevel("OrvoMeetingWindow");
    EXPECT_EQ(window->windowTitle(), "VTX Video Meeting");
    auto* number = window->findChild<QLabel*>("label_number");
    ASSERT_NE(number, nullptr);
    EXPECT_TRUE(number->text().contains(QString::number(info->GetMeetingNumber()).left(3) + "-"));

    // A second start while this one runs is refused by the SDK.
    StartParam again{};
    again.userType = SDK_UT_NORMALUSER;
    EXPECT_NE(Meeting()->Start(again), SDKERR_SUCCESS);

    EXPECT_EQ(host.Workflow().EndMeeting(), 0);
    ASSERT_TRUE(WaitFor([] { return s_ui->Saw(7); }));
    EXPECT_TRUE(s_ui->Saw(4, 0));
    EXPECT_EQ(s_ui->meeting.back(), std::make_pair(7, 0));
    EXPECT_FALSE(MeetingEvent::Instance()->IsInMeeting());
    EXPECT_EQ(Meeting()->GetMeetingInfo(), nullptr);
    EXPECT_TRUE(WaitFor([] { return TopLevel("OrvoMeetingWindow") == nullptr; }));
}

TEST_F(SdkCloud, JoiningAnUnknownNumberFailsWithEight)
{
    JoinMeeting join;
    ASSERT_EQ(join.Join("99999999999", "Guest", "", false, true), 0);
    ASSERT_TRUE(WaitFor([] { return s_ui->Saw(6); }));
    EXPECT_EQ(s_ui->meeting.back(), std::make_pair(6, 8));
}

TEST_F(SdkCloud, JoiningAMeetingNotStartedFailsWithSeven)
{
    servicetest::Client& raw = Raw();
    const auto item = raw.PostJson("/sdk/items", R"({"topic":"Later","join_before_host":false})", raw.SignInDemo());
    ASSERT_EQ(item.Code(), "200") << item.body;
    const auto number = UINT64(item.DataNum("meeting_number"));
    JoinMeeting join;
    ASSERT_EQ(join.Join(QString::number(number), "Guest", "", false, true), 0);
    ASSERT_TRUE(WaitFor([] { return s_ui->Saw(6); }));
    EXPECT_EQ(s_ui->meeting.back(), std::make_pair(6, 7));
}

TEST_F(SdkCloud, WrongPasswordFailsWithFourAndTheRightOneGetsIn)
{
    servicetest::Client& raw = Raw();
    const auto headers = raw.SignInDemo();
    const auto item =
        raw.PostJson("/sdk/items", R"({"topic":"Secret","password":"abc123","password_enabled":true})", headers);
    ASSERT_EQ(item.Code(), "200") << item.body;
    const auto number = UINT64(item.DataNum("meeting_number"));
    const auto started =
        raw.PostJson("/sdk/meetings/start", "{\"number\":" + std::to_string(number) + ",\"kind\":1}", headers);
    ASSERT_EQ(started.Code(), "200") << started.body;

    JoinMeeting join;
    ASSERT_EQ(join.Join(QString::number(number), "Guest", "wrong", false, true), 0);
    ASSERT_TRUE(WaitFor([] { return s_ui->Saw(6); }));
    EXPECT_EQ(s_ui->meeting.back(), std::make_pair(6, 4));

    ASSERT_EQ(join.Join(QString::number(number), "Guest", "abc123", false, true), 0);
    ASSERT_TRUE(WaitFor([] { return s_ui->Saw(3); }));
    EXPECT_FALSE(Meeting()->GetMeetingInfo()->IsHost());
    EXPECT_EQ(Meeting()->Leave(END_MEETING), SDKERR_NO_PERMISSION); // only the host ends for all
    EXPECT_EQ(Meeting()->Leave(LEAVE_MEETING), SDKERR_SUCCESS);
    ASSERT_TRUE(WaitFor([] { return s_ui->Saw(7); }));
    EXPECT_EQ(s_ui->meeting.back(), std::make_pair(7, 0));
}

TEST_F(SdkCloud, HostEndingTheMeetingEndsItHereWithTwo)
{
    servicetest::Client& raw = Raw();
    const auto headers = raw.SignInDemo();
    const auto started = raw.PostJson("/sdk/meetings/start", R"({"number":0,"kind":1})", headers);
    ASSERT_EQ(started.Code(), "200") << started.body;
    const auto number = UINT64(started.DataNum("number"));
    const std::string hostToken = started.DataStr("participant_id");

    JoinMeeting join;
    ASSERT_EQ(join.Join(QString::number(number), "Guest 客人", "", false, true), 0);
    ASSERT_TRUE(WaitFor([] { return s_ui->Saw(3); }));
    // The participants of the meeting reach the window through the polls.
    ASSERT_TRUE(WaitFor([] {
        QWidget* w = TopLevel("OrvoMeetingWindow");
        auto* list = w ? w->findChild<QListWidget*>("list_participants") : nullptr;
        return list && list->count() == 2;
    }));

    const auto ended = raw.PostJson("/sdk/meetings/" + std::to_string(number) + "/end",
                                    "{\"participant\":\"" + hostToken + "\"}", headers);
    ASSERT_EQ(ended.Code(), "200") << ended.body;
    ASSERT_TRUE(WaitFor([] { return s_ui->Saw(7); }));
    EXPECT_EQ(s_ui->meeting.back(), std::make_pair(7, 2));
    EXPECT_STREQ(MeetingEvent::EndReasonKeyName(s_ui->meeting.back().second), "msg.EndByHost");
}

TEST_F(SdkCloud, InviteButtonAsksTheApplicationFirst)
{
    HostMeeting host;
    ASSERT_EQ(host.StartMeeting(2, 0), 0);
    ASSERT_TRUE(WaitFor([] { return s_ui->Saw(3); }));
    InviteSink sink;
    ASSERT_EQ(Meeting()->GetUIController()->SetEvent(&sink), SDKERR_SUCCESS);
    ASSERT_TRUE(WaitFor([] { return TopLevel("OrvoMeetingWindow") != nullptr; }));
    QWidget* window = TopLevel("OrvoMeetingWindow");
    auto* invite = window->findChild<QPushButton*>("button_invite");
    ASSERT_NE(invite, nullptr);
    invite->click();
    EXPECT_EQ(sink.clicks, 1);
    EXPECT_EQ(TopLevel("OrvoInviteDialog"), nullptr);
    sink.handle = false;
    invite->click();
    EXPECT_EQ(sink.clicks, 2);
    EXPECT_NE(window->findChild<QWidget*>("OrvoInviteDialog"), nullptr);
    Meeting()->GetUIController()->SetEvent(nullptr);
    EXPECT_EQ(host.Workflow().EndMeeting(), 0);
    ASSERT_TRUE(WaitFor([] { return s_ui->Saw(7); }));
}

TEST_F(SdkCloud, SchedulesListsEditsAndDeletesMeetings)
{
    ScheduleRecorder rec;
    CSDKSheduleMeetingUIWorkFlow flow;
    flow.SetUIEvent(&rec);
    IScheduleMeetingItem* item = flow.ScheduleItem();
    ASSERT_NE(item, nullptr);
    const time_t start = time(nullptr) + 86400;
    EXPECT_EQ(item->SetMeetingTopic(L"Weekly \"sync\" 周会"), SDKERR_SUCCESS);
    EXPECT_EQ(item->SetStartTime(start), SDKERR_SUCCESS);
    EXPECT_EQ(item->SetDurationInMinutes(90), SDKERR_SUCCESS);
    EXPECT_EQ(item->EnablePassword(true), SDKERR_SUCCESS);
    EXPECT_EQ(item->SetMeetingPassword(L"pw1"), SDKERR_SUCCESS);
    EXPECT_EQ(item->SetMeetingPassword(L"has space"), SDKERR_INVALID_PARAMETER);
    EXPECT_EQ(item->EnableMuteUponEntry(true), SDKERR_SUCCESS);
    ASSERT_EQ(flow.ScheduleMeeting(), 0);
    ASSERT_TRUE(WaitFor([&] { return !rec.schedules.empty(); }));
    ASSERT_EQ(rec.schedules[0].first, 1);
    const UINT64 id = rec.schedules[0].second;
    IMeetingItemInfo* info = flow.MeetingItem(id);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(QString::fromWCharArray(info->GetMeetingTopic()), QString::fromWCharArray(L"Weekly \"sync\" 周会"));
    EXPECT_EQ(info->GetStartTime(), start);
    EXPECT_EQ(info->GetDurationInMinutes(), 90u);
    EXPECT_EQ(QString::fromWCharArray(info->GetMeetingPassword()), "pw1");
    bool modifiable = false;
    EXPECT_TRUE(info->IsMuteUponEntryEnabled(modifiable));
    EXPECT_TRUE(modifiable);
    EXPECT_FALSE(info->IsPersonalMeeting());

    ASSERT_EQ(flow.ListMeetings(), 0);
    ASSERT_TRUE(WaitFor([&] { return !rec.lists.empty(); }));
    ASSERT_EQ(rec.lists[0].first, 1);
    const std::vector<UINT64> ids = rec.lists[0].second;
    ASSERT_FALSE(ids.empty());
    ASSERT_NE(flow.MeetingItem(ids[0]), nullptr);
    EXPECT_TRUE(flow.MeetingItem(ids[0])->IsPersonalMeeting());
    EXPECT_NE(std::find(ids.begin(), ids.end(), id), ids.end());
    EXPECT_EQ(flow.MeetingItem(id), info); // the same object, refreshed in place

    IScheduleMeetingItem* edit = flow.NewEditItem(id);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->SetMeetingTopic(L"Edited"), SDKERR_SUCCESS);
    ASSERT_EQ(flow.EditMeeting(), 0);
    ASSERT_TRUE(WaitFor([&] { return rec.schedules.size() == 2; }));
    EXPECT_EQ(rec.schedules[1], std::make_pair(1, id));
    EXPECT_EQ(QString::fromWCharArray(info->GetMeetingTopic()), "Edited");
    EXPECT_EQ(info->GetDurationInMinutes(), 90u); // untouched fields keep their values

    ASSERT_EQ(SDKInterfaceWrap::Instance().PreMeetingService()->DeleteMeeting(id), SDKERR_SUCCESS);
    ASSERT_TRUE(WaitFor([&] { return !rec.deletes.empty(); }));
    EXPECT_EQ(rec.deletes[0], 1);
    ASSERT_EQ(flow.ListMeetings(), 0);
    ASSERT_TRUE(WaitFor([&] { return rec.lists.size() == 2; }));
    const std::vector<UINT64> after = rec.lists[1].second;
    EXPECT_EQ(std::find(after.begin(), after.end(), id), after.end());
    // Deleting the personal meeting is refused by the cloud.
    ASSERT_EQ(SDKInterfaceWrap::Instance().PreMeetingService()->DeleteMeeting(ids[0]), SDKERR_SUCCESS);
    ASSERT_TRUE(WaitFor([&] { return rec.deletes.size() == 2; }));
    EXPECT_EQ(rec.deletes[1], 0);
}

TEST_F(SdkCloud, RecordedMeetingLeavesItsFolderWithThePlaylistLast)
{
    HostMeeting host;
    ASSERT_EQ(host.StartMeeting(1, 0), 0);
    ASSERT_TRUE(WaitFor([] { return s_ui->Saw(3); }));
    const UINT64 number = Meeting()->GetMeetingInfo()->GetMeetingNumber();
    const QString topic = QString::fromWCharArray(Meeting()->GetMeetingInfo()->GetMeetingTopic());
    time_t at = 0;
    ASSERT_EQ(Meeting()->GetMeetingRecordingController()->StartRecording(at), SDKERR_SUCCESS);
    EXPECT_GT(at, 0);
    EXPECT_EQ(host.Workflow().EndMeeting(), 0);
    ASSERT_TRUE(WaitFor([] { return s_ui->Saw(7); }));
    QWidget* conversion = TopLevel("OrvoConversionWindow");
    ASSERT_NE(conversion, nullptr);
    EXPECT_EQ(conversion->windowTitle(), QString::fromUtf8("Orvo - 转换录制文件"));

    QString folder;
    ASSERT_TRUE(WaitFor([&] {
        const QStringList names = QDir(s_recordings).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QString& n : names)
            if (n.endsWith(" " + QString::number(number)) && QFile::exists(s_recordings + "/" + n + "/playback.m3u"))
                folder = n;
        return !folder.isEmpty();
    }));
    const QStringList parts = folder.split(' ');
    ASSERT_GE(parts.size(), 4);
    EXPECT_TRUE(QRegularExpression("^\\d{4}-\\d{2}-\\d{2}$").match(parts[0]).hasMatch()) << folder.toStdString();
    EXPECT_TRUE(QRegularExpression("^\\d{2}\\.\\d{2}\\.\\d{2}$").match(parts[1]).hasMatch()) << folder.toStdString();
    EXPECT_EQ(parts.mid(2, parts.size() - 3).join(' '), topic.simplified());
    EXPECT_GT(QFileInfo(s_recordings + "/" + folder + "/audio_only.m4a").size(), 0);
    // The window goes away by itself once the files are written.
    EXPECT_TRUE(WaitFor([] { return TopLevel("OrvoConversionWindow") == nullptr; }, 5000));
}

namespace {
struct ShareSink : IMeetingShareCtrlEvent
{
    std::vector<bool> locks;
    std::vector<SharingStatus> statuses;
    void onSharingStatus(SharingStatus status, unsigned int) override { statuses.push_back(status); }
    void onLockShareStatus(bool bLocked) override { locks.push_back(bLocked); }
    void onShareContentNotification(unsigned int, const wchar_t*) override {}
    void onMultiShareSwitchToSingleShareNeedConfirm(IShareSwitchMultiToSingleConfirmHandler*) override {}
};
} // namespace

TEST_F(SdkCloud, HostLockingTheShareReachesTheParticipant)
{
    servicetest::Client& raw = Raw();
    const auto headers = raw.SignInDemo();
    const auto started = raw.PostJson("/sdk/meetings/start", R"({"number":0,"kind":1})", headers);
    ASSERT_EQ(started.Code(), "200") << started.body;
    const auto number = UINT64(started.DataNum("number"));
    const std::string hostToken = started.DataStr("participant_id");
    JoinMeeting join;
    ASSERT_EQ(join.Join(QString::number(number), "Guest", "", false, true), 0);
    ASSERT_TRUE(WaitFor([] { return s_ui->Saw(3); }));
    ShareSink sink;
    IMeetingShareController* share = Meeting()->GetMeetingShareController();
    ASSERT_EQ(share->SetEvent(&sink), SDKERR_SUCCESS);
    EXPECT_EQ(share->StopShare(), SDKERR_MEETING_YOU_HAVE_NO_SHARE);
    ASSERT_EQ(share->StartMonitorShare(L"primary"), SDKERR_SUCCESS);
    ASSERT_TRUE(WaitFor([&] { return !sink.statuses.empty(); }));
    EXPECT_EQ(sink.statuses[0], Sharing_Self_Send_Begin);
    EXPECT_TRUE(share->IsSharingOut());

    const auto locked = raw.PostJson("/sdk/meetings/" + std::to_string(number) + "/share_lock",
                                     "{\"participant\":\"" + hostToken + "\",\"locked\":true}", headers);
    ASSERT_EQ(locked.Code(), "200") << locked.body;
    ASSERT_TRUE(WaitFor([&] { return !sink.locks.empty(); }));
    EXPECT_EQ(sink.locks, std::vector<bool>{true});
    EXPECT_TRUE(share->IsShareLocked());
    ASSERT_EQ(Meeting()->Leave(LEAVE_MEETING), SDKERR_SUCCESS);
    ASSERT_TRUE(WaitFor([] { return s_ui->Saw(7); }));
    share->SetEvent(nullptr);
    EXPECT_EQ(share->StartShare(), SDKERR_WRONG_USAGE); // no meeting any more
}

TEST_F(SdkCloud, SettingsDialogShowsTheChosenPagesFolderAndSupportLinks)
{
    ISettingService* settings = SDKInterfaceWrap::Instance().SettingService();
    ASSERT_NE(settings, nullptr);
    IRecordingSettingContext* recording = settings->GetRecordingSettings();
    EXPECT_EQ(QString::fromWCharArray(recording->GetRecordingPath()), s_recordings);
    EXPECT_EQ(recording->SetRecordingPath(L"relative/folder"), SDKERR_INVALID_PARAMETER);
    EXPECT_EQ(recording->SetRecordingPath(nullptr), SDKERR_INVALID_PARAMETER);
    const QString other = vtxtest::makeTempDir("other-recordings");
    ASSERT_EQ(recording->SetRecordingPath(other.toStdWString().c_str()), SDKERR_SUCCESS);
    EXPECT_EQ(QString::fromWCharArray(recording->GetRecordingPath()), other);

    ICustomizedResourceHelper* resources = nullptr;
    ASSERT_EQ(RetrieveCustomizedResourceHelper(&resources), SDKERR_SUCCESS);
    EXPECT_EQ(resources->SetSupportUrl(SupportUrl_Help, L"javascript:alert(1)"), SDKERR_INVALID_PARAMETER);
    ASSERT_EQ(resources->SetSupportUrl(SupportUrl_Help, L"https://vtx.example/guide"), SDKERR_SUCCESS);

    ASSERT_EQ(settings->GetGeneralSettings()->EnableAutoCopyInviteLink(false), SDKERR_SUCCESS);
    SettingDlgShowTabPageOption pages{};
    pages.bShowGeneral = pages.bShowVideo = pages.bShowAudio = pages.bShowVirtualBackGround = true;
    pages.bShowRecording = pages.bShowKeyboardShortcuts = true;
    settings->GetSettingUIStrategy()->ConfSettingDialogShownTabPage(pages);
    ShowSettingDlgParam param{};
    param.left = 10;
    param.top = 20;
    param.bShow = true;
    ASSERT_EQ(settings->ShowSettingDlg(param), SDKERR_SUCCESS);
    EXPECT_NE(param.hSettingWnd, 0u);
    QWidget* dialog = TopLevel("OrvoSettingsDialog");
    ASSERT_NE(dialog, nullptr);
    auto* tabs = dialog->findChild<QTabWidget*>("tabs");
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->count(), 6);
    EXPECT_EQ(dialog->findChild<QWidget*>("page_statistics"), nullptr);
    EXPECT_EQ(dialog->findChild<QWidget*>("page_feedback"), nullptr);
    auto* autoCopy = dialog->findChild<QCheckBox*>("general_8");
    ASSERT_NE(autoCopy, nullptr);
    EXPECT_FALSE(autoCopy->isChecked());
    autoCopy->click();
    EXPECT_TRUE(settings->GetGeneralSettings()->IsAutoCopyInviteLinkEnabled());
    auto* folder = dialog->findChild<QLineEdit*>("lineEdit_recordingFolder");
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(folder->text(), other);
    auto* help = dialog->findChild<QLabel*>("link_support_0");
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->text().contains("https://vtx.example/guide"));
    EXPECT_EQ(settings->HideSettingDlg(), SDKERR_SUCCESS);
    EXPECT_FALSE(dialog->isVisible());
    ASSERT_EQ(recording->SetRecordingPath(s_recordings.toStdWString().c_str()), SDKERR_SUCCESS);
}

// Stops the cloud, so it comes last.
TEST_F(SdkCloud, ZzCloudGoingAwayEndsTheMeetingWithNetworkBroken)
{
    HostMeeting host;
    ASSERT_EQ(host.StartMeeting(1, 0), 0);
    ASSERT_TRUE(WaitFor([] { return s_ui->Saw(3); }));
    ASSERT_TRUE(s_service->Stop());
    ASSERT_TRUE(WaitFor([] { return s_ui->Saw(7); }, 15000));
    EXPECT_EQ(s_ui->meeting.back(), std::make_pair(7, 7));
    EXPECT_STREQ(MeetingEvent::EndReasonKeyName(7), "msg.NetworkBroken");
    // Joining now fails with the network reason instead of hanging.
    s_ui->meeting.clear();
    JoinMeeting join;
    ASSERT_EQ(join.Join("12345678901", "Guest", "", false, true), 0);
    ASSERT_TRUE(WaitFor([] { return s_ui->Saw(6); }, 15000));
    EXPECT_EQ(s_ui->meeting.back(), std::make_pair(6, 1));
}
