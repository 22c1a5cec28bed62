// One start of the client's recording-folder step against the SDK: initialises the SDK, runs the
// sign-in step, prints the folder the list watches and the SDK's folder, and cleans up. The test
// starts it twice or more, as a user restarts VTX.
#include <QApplication>
#include <cstdio>

#include "sdk/MeetingControls.h"
#include "sdk/RecordingFolder.h"
#include "sdk/SDKInterfaceWrap.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ORVOSDK::InitParam param{};
    param.strWebDomain = L"https://127.0.0.1:1"; // no cloud needed for the settings
    if (SDKInterfaceWrap::Instance().Initialize(param) != 0)
        return 2;
    const QString watched = prepareRecordingFolder();
    const QString sdk = meetingsdk::recordingFolder();
    std::printf("%s\n%s\n", watched.toUtf8().constData(), sdk.toUtf8().constData());
    SDKInterfaceWrap::Instance().Shutdown();
    return 0;
}
