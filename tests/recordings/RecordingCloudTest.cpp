// End to end: a meeting recorded through the SDK stand-in against a vtx-service of this test shows
// up in the recordings list, and the conversion window carries our title while it is open.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QWidget>
#include <gtest/gtest.h>

#include "../sdk/CloudTestSupport.h"
#include "base/Localization.h"
#include "platform/Paths.h"
#include "platform/TopLevelWindows.h"
#include "recordings/ConversionWindow.h"
#include "recordings/VideoFolder.h"
#include "sdk/HostMeeting.h"
#include "sdk/MeetingControls.h"
#include "sdk/MeetingEvent.h"
#include "sdk/OrvoAuth.h"
#include "sdk/RecordingFolder.h"
#include "sdk/SDKInterfaceWrap.h"
#include "support/TestEnvironment.h"
#include "support/VtxService.h"
#include "ui/RecordingsList.h"
#include "ui/VideoItem.h"

using sdktest::UiRecorder;
using sdktest::WaitFor;

namespace {

QWidget* conversionWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("OrvoConversionWindow") && w->isVisible())
            return w;
    return nullptr;
}

// The SDK initialises once per process, so the whole road is one case.
TEST(RecordingEndToEnd, AMeetingRecordedInTheSdkAppearsInTheListOfItsOwner)
{
    vtxtest::VtxService service;
    ASSERT_TRUE(service.Ok()) << service.Error();
    qputenv("VTX_SDK_DOMAIN", QByteArray::fromStdString(service.BaseUrl()));
    qputenv("VTX_SDK_POLL_MS", "100");
    qputenv("VTX_SDK_TIMEOUT_MS", "10000");
    ASSERT_EQ(Localization::Instance()->Load(1, platform::programFolder() + "en_US.ini"), 0);
    platform::trackTopLevelWindows();

    UiRecorder ui;
    OrvoAuth::Instance()->SetUIEvent(&ui);
    MeetingEvent::Instance()->SetUIEvent(&ui);
    ASSERT_EQ(OrvoAuth::Instance()->Start(), 0);
    ASSERT_TRUE(WaitFor([&] { return !ui.auth.empty(); }));
    ASSERT_EQ(ui.auth.front(), 1);
    const std::string account = vtxtest::VtxService::DemoAccount();
    ASSERT_EQ(OrvoAuth::Instance()->Login(QString::fromStdString(account), vtxtest::VtxService::DemoPassword()), 0);
    ASSERT_TRUE(WaitFor([&] { return !ui.login.empty(); }));
    ASSERT_EQ(ui.login.front().first, 2);

    // What sign-in does: our folder for the SDK, the same folder for the list.
    const QString root = prepareRecordingFolder();
    ASSERT_EQ(root, QDir::homePath() + "/Documents/Veltrex");
    VideoFolder::Clocks clocks;
    clocks.rescanMs = 300;
    VideoFolder scanner(clocks);
    QListWidget list;
    RecordingsList rows(&list, &scanner);
    QObject::connect(&scanner, &VideoFolder::notifyVideoFinished, &rows, &RecordingsList::onVideoFinished);
    QObject::connect(&scanner, &VideoFolder::notifyVideoGone, &rows, &RecordingsList::onVideoGone);
    QObject::connect(&scanner, &VideoFolder::notifyUpdateVideoPath,
                     [&] { scanner.setRootFolder(meetingsdk::recordingFolder().toStdString()); });
    scanner.start(account, root.toStdString());

    {
        HostMeeting host;
        ASSERT_EQ(host.StartMeeting(1, 0), 0);
        ASSERT_TRUE(WaitFor([&] { return ui.Saw(3); }));
        ORVOSDK::IMeetingService* meeting = SDKInterfaceWrap::Instance().MeetingService();
        const QString topic = QString::fromWCharArray(meeting->GetMeetingInfo()->GetMeetingTopic()).simplified();
        time_t at = 0;
        ASSERT_EQ(meeting->GetMeetingRecordingController()->StartRecording(at), ORVOSDK::SDKERR_SUCCESS);
        EXPECT_EQ(host.Workflow().EndMeeting(), 0);
        ASSERT_TRUE(WaitFor([&] { return ui.Saw(7); }));

        // The window opens after the scanner started; it is ours within about a second.
        ASSERT_NE(conversionWindow(), nullptr);
        EXPECT_TRUE(WaitFor(
            [&] { return !conversionWindow() || conversionWindow()->windowTitle() == conversionWindowTitle(); }, 5000));
        EXPECT_NE(conversionWindow(), nullptr) << "closed before it was retitled";

        ASSERT_TRUE(WaitFor([&] { return list.count() == 1; }, 30000));
        auto* row = qobject_cast<VideoItem*>(list.itemWidget(list.item(0)));
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(QString::fromStdString(row->path()).section('/', 0, -2), root);
        EXPECT_TRUE(row->findChild<QWidget*>("label_Topic")->property("text").toString().endsWith(topic));
        QFile owner(QString::fromStdString(row->path()) + "/account.ini");
        ASSERT_TRUE(owner.open(QIODevice::ReadOnly));
        EXPECT_EQ(owner.readAll().toStdString(), account);
    }
    scanner.stop();
    OrvoAuth::Instance()->Shutdown();
    OrvoAuth::Instance()->SetUIEvent(nullptr);
    MeetingEvent::Instance()->SetUIEvent(nullptr);
}

} // namespace
