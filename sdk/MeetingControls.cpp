#include "sdk/MeetingControls.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>
#include <string>

#include "orvosdk/orvo_sdk.h"
#include "sdk/SDKEntryPoints.h"
#include "sdk/SDKInterfaceWrap.h"

using namespace ORVOSDK;

namespace meetingsdk {
namespace {

QString fromWide(const wchar_t* text)
{
    return text ? QString::fromWCharArray(text) : QString();
}

IMeetingService* meetingService()
{
    return SDKInterfaceWrap::Instance().MeetingService();
}

ISettingService* settingService()
{
    return SDKInterfaceWrap::Instance().SettingService();
}

IMeetingShareController* shareController()
{
    IMeetingService* service = meetingService();
    return service ? service->GetMeetingShareController() : nullptr;
}

IMeetingInfo* meetingInfo()
{
    IMeetingService* service = meetingService();
    return service ? service->GetMeetingInfo() : nullptr;
}

} // namespace

void applySettingsPageOptions()
{
    ISettingService* service = settingService();
    ISettingUIStrategy* strategy = service ? service->GetSettingUIStrategy() : nullptr;
    if (!strategy)
        return;
    SettingDlgShowTabPageOption option{};
    option.bShowGeneral = true;
    option.bShowVideo = true;
    option.bShowAudio = true;
    option.bShowVirtualBackGround = true;
    option.bShowRecording = true;
    option.bShowKeyboardShortcuts = true;
    strategy->ConfSettingDialogShownTabPage(option);
}

void disableAdvancedGeneralSettings()
{
    ISettingService* service = settingService();
    if (ISettingUIStrategy* strategy = service ? service->GetSettingUIStrategy() : nullptr)
        strategy->DisableAdvancedFeatures4GeneralSetting(true);
}

bool showSettingsDialog(quintptr nativeParent, int left, int top, const QString& supportSite)
{
    ISettingService* service = settingService();
    if (!service)
        return false;
    applySettingsPageOptions();
    if (IGeneralSettingContext* general = service->GetGeneralSettings())
        general->EnableAutoCopyInviteLink(false);
    ICustomizedResourceHelper* resources = nullptr;
    if (SDKEntries().RetrieveCustomizedResourceHelper(&resources) == SDKERR_SUCCESS && resources) {
        const std::wstring site = supportSite.toStdWString();
        for (auto kind : {SupportUrl_Homepage, SupportUrl_Help, SupportUrl_Feedback})
            resources->SetSupportUrl(kind, site.c_str());
    }
    ShowSettingDlgParam param{};
    param.hParent = static_cast<unsigned long long>(nativeParent);
    param.left = left;
    param.top = top;
    param.bShow = true;
    if (service->ShowSettingDlg(param) != SDKERR_SUCCESS || param.hSettingWnd == 0)
        return false;
    // The SDK's dialog is a window of this process: centre it on the primary screen.
    const QScreen* primary = QGuiApplication::primaryScreen();
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (primary && quintptr(w->winId()) == param.hSettingWnd) {
            const QRect screen = primary->geometry();
            w->move((screen.width() - w->width()) / 2, (screen.height() - w->height()) / 2);
        }
    }
    return true;
}

QString recordingFolder()
{
    ISettingService* service = settingService();
    IRecordingSettingContext* recording = service ? service->GetRecordingSettings() : nullptr;
    return recording ? fromWide(recording->GetRecordingPath()) : QString();
}

bool setRecordingFolder(const QString& folder)
{
    ISettingService* service = settingService();
    IRecordingSettingContext* recording = service ? service->GetRecordingSettings() : nullptr;
    return recording && recording->SetRecordingPath(folder.toStdWString().c_str()) == SDKERR_SUCCESS;
}

bool startShare()
{
    IMeetingShareController* share = shareController();
    return share && share->StartShare() == SDKERR_SUCCESS;
}

bool stopShare()
{
    IMeetingShareController* share = shareController();
    return share && share->StopShare() == SDKERR_SUCCESS;
}

bool startMonitorShare(const QString& screenName)
{
    IMeetingShareController* share = shareController();
    return share && share->StartMonitorShare(screenName.toStdWString().c_str()) == SDKERR_SUCCESS;
}

quint64 currentMeetingNumber()
{
    IMeetingInfo* info = meetingInfo();
    return info ? info->GetMeetingNumber() : 0;
}

QString currentMeetingTopic()
{
    IMeetingInfo* info = meetingInfo();
    return info ? fromWide(info->GetMeetingTopic()) : QString();
}

QString currentMeetingPassword()
{
    IMeetingInfo* info = meetingInfo();
    return info ? fromWide(info->GetMeetingPassword()) : QString();
}

QString currentJoinLink()
{
    IMeetingInfo* info = meetingInfo();
    return info ? fromWide(info->GetJoinMeetingUrl()) : QString();
}

bool leaveMeeting()
{
    IMeetingService* service = meetingService();
    return service && service->Leave(LEAVE_MEETING) == SDKERR_SUCCESS;
}

bool endMeeting()
{
    IMeetingService* service = meetingService();
    return service && service->Leave(END_MEETING) == SDKERR_SUCCESS;
}

bool setShareEventSink(IMeetingShareCtrlEvent* sink)
{
    IMeetingShareController* share = shareController();
    return share && share->SetEvent(sink) == SDKERR_SUCCESS;
}

bool setUIControllerSink(IMeetingUIControllerEvent* sink)
{
    IMeetingService* service = meetingService();
    IMeetingUIController* controller = service ? service->GetUIController() : nullptr;
    return controller && controller->SetEvent(sink) == SDKERR_SUCCESS;
}

} // namespace meetingsdk
