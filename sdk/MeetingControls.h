#pragma once
// The small SDK requests the windows make, one named function each. Every call goes through the
// swappable entry-point table (SDKInterfaceWrap), answers in Qt types and does nothing harmful
// when the SDK has no service yet.

#include <QString>
#include <QtGlobal>

namespace ORVOSDK {
class IMeetingShareCtrlEvent;
class IMeetingUIControllerEvent;
} // namespace ORVOSDK

namespace meetingsdk {

// Which pages the SDK's settings dialog offers (all of ours).
void applySettingsPageOptions();
// Settings the signed-in user may not change from the dialog.
void disableAdvancedGeneralSettings();
// Opens the SDK's settings dialog owned by the window with this native handle (QWidget::winId),
// its support links pointing at supportSite, centred on the primary screen. False when the SDK
// refused or has no setting service.
bool showSettingsDialog(quintptr nativeParent, int left, int top, const QString& supportSite);

// Where the SDK saves recordings; empty without a setting service.
QString recordingFolder();
bool setRecordingFolder(const QString& folder);

// Sharing in the running meeting.
bool startShare();
bool stopShare();
// Shares the whole screen with this name (Qt's screen name).
bool startMonitorShare(const QString& screenName);

// The running meeting, as the SDK knows it; 0 / empty outside a meeting.
quint64 currentMeetingNumber();
QString currentMeetingTopic();
QString currentMeetingPassword();
QString currentJoinLink();

// Leaves the running meeting, or ends it for everyone (host).
bool leaveMeeting();
bool endMeeting();

// The window's listeners for the share controller and the meeting window's buttons; null stops.
bool setShareEventSink(ORVOSDK::IMeetingShareCtrlEvent* sink);
bool setUIControllerSink(ORVOSDK::IMeetingUIControllerEvent* sink);

} // namespace meetingsdk
