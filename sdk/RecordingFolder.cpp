#include "RecordingFolder.h"

#include "app/Settings.h"
#include "sdk/SDKInterfaceWrap.h"

namespace {

ORVOSDK::IRecordingSettingContext* recordingSettings()
{
    ORVOSDK::ISettingService* service = SDKInterfaceWrap::Instance().SettingService();
    return service ? service->GetRecordingSettings() : nullptr;
}

} // namespace

QString sdkRecordingFolder()
{
    ORVOSDK::IRecordingSettingContext* recording = recordingSettings();
    const wchar_t* path = recording ? recording->GetRecordingPath() : nullptr;
    return path ? QString::fromWCharArray(path) : QString();
}

bool setSdkRecordingFolder(const QString& folder)
{
    ORVOSDK::IRecordingSettingContext* recording = recordingSettings();
    return recording && recording->SetRecordingPath(folder.toStdWString().c_str()) == ORVOSDK::SDKERR_SUCCESS;
}

QString prepareRecordingFolder()
{
    const QString current = sdkRecordingFolder();
    if (current.isEmpty())
        return QString();
    const QString ours = settings::firstRunRecordingFolder(current);
    if (!ours.isEmpty())
        setSdkRecordingFolder(ours);
    // Read back: a folder the SDK refused must not leave the list watching where nothing is written.
    return sdkRecordingFolder();
}
