#pragma once
// The client's only top-level window: home, sign-in, verification, join and main pages shown and
// hidden in place. It is the SDK layer's listener and receives window messages from other copies
// and from the download component.

#include <QMainWindow>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

#include "app/Settings.h"
#include "orvosdk/meeting_sharing_interface.h"
#include "orvosdk/meeting_ui_ctrl_interface.h"
#include "platform/WindowMessage.h"
#include "sdk/AuthUIEvent.h"
#include "sdk/CSDKSheduleMeetingUIEvent.h"

class CSDKSheduleMeetingUIWorkFlow;
class HostMeeting;
class JoinMeeting;
class MeetingExit;
class QLabel;
class QListWidgetItem;
class QMovie;
struct MainWindowForm;
struct RecurringMeetingInfo;

typedef quint64 UINT64;

class MainWindow : public QMainWindow,
                   public AuthUIEvent,
                   public CSDKSheduleMeetingUIEvent,
                   public ORVOSDK::IMeetingShareCtrlEvent,
                   public ORVOSDK::IMeetingUIControllerEvent
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The meeting number handed over at start-up or by another copy, waiting for the join logic.
    void setPendingMeetingId(const QString& text);
    QString pendingMeetingId() const { return m_pendingMeetingId; }
    platform::WindowHandle windowHandle() const { return m_handle; }

    // Releases everything the window holds before a relaunch or a fatal error.
    void tearDown();

    // Join history of the current mode (general or account file, ordinary or share joins).
    const settings::History& joinHistory() const { return m_history; }
    void loadJoinHistory(const QString& account, bool share);
    void saveJoinHistory();
    // Empties the history in memory and in its file section.
    void clearJoinHistory();
    // Records a meeting entered by number as the newest entry and saves it.
    void addJoinHistory(UINT64 meetingNumber, const QString& topic);
    // Fills the meeting-ID field; the field groups the digits itself.
    void setMeetingIdText(const QString& text);
    // The history popup calls this when it goes away.
    void historyPopupClosed();

    // Starts a video meeting in a given room; -1 (with a warning) while another meeting runs.
    int startMeetingByNumber(UINT64 meetingNumber);

    QString displayName() const { return m_displayName; }
    QString signedInAccount() const { return m_account; }
    bool anonymousJoinMode() const { return m_anonymousJoin; }
    bool shareJoinMode() const { return m_shareJoin; }
    // The first letters of the first two words of a name.
    static QString initialsOf(const QString& name);
    // File name of the avatar picture: the account's file name plus the address's own extension.
    static QString avatarFileName(const QString& account, const QString& url);

    // AuthUIEvent
    void OnAuthResult(int result) override;
    void OnLoginResult(int status, const QString& displayName) override;
    void OnMeetingStatus(int status, int code) override;
    // CSDKSheduleMeetingUIEvent
    void OnListMeeting(int result, ORVOSDK::IList<UINT64>* meetingIds) override;
    void OnScheduleOrEditMeeting(int result, UINT64 meetingId) override;
    void OnDeleteMeeting(int result) override;
    // IMeetingShareCtrlEvent
    void onSharingStatus(ORVOSDK::SharingStatus status, unsigned int userId) override;
    void onLockShareStatus(bool bLocked) override;
    void onShareContentNotification(unsigned int userId, const wchar_t* sourceName) override;
    void onMultiShareSwitchToSingleShareNeedConfirm(ORVOSDK::IShareSwitchMultiToSingleConfirmHandler* handler) override;
    // IMeetingUIControllerEvent
    void onInviteBtnClicked(bool& bHandled) override;
    void onStartShareBtnClicked() override;
    void onEndMeetingBtnClicked() override;
    void onParticipantListBtnClicked() override;
    void onCustomLiveStreamMenuClicked() override;
    void onOrvoInviteDialogFailed() override;
    void onCCBTNClicked() override;

signals:
    void asynInitSDK();
    void notifyResize();
    void notifyVideoFinished();
    void notifyUpdateVideoPath();
    void notifyEditMeeting(UINT64 meetingID, UINT64 meeting_JoinID, RecurringMeetingInfo* info, bool bRecurring);
    void notifyReadMeetingInfo(UINT64 meetingID, bool bShow);
    void notifyPopUpgrade();
    void notifyNoUpdatesAvailable();
    void notifyCountdown();
    void notifyUpdateUserInfo();
    void notifyUpdateLogo();
    void notifyJoinMeeting(UINT64 meetingID);
    // The invite button of the meeting window was pressed; the invite dialog answers it.
    void inviteRequested();

public slots:
    void on_systemTrayExit();

public:
    // An audio-only instant meeting. No button of the form carries this name, so it is a plain
    // function: as a slot, connecting slots by name would warn about the missing widget.
    void on_voiceMeeting_clicked();

private slots:
    void on_asynInitSDK();
    void on_notifyResize();
    void on_notifyCountdown();
    void on_notifyUpdateUserInfo();
    void on_notifyUpdateLogo();
    void on_notifyJoinMeeting(UINT64 meetingID);
    void on_backHomeL_clicked();
    void on_backHomeJ_clicked();
    void on_backHomeV_clicked();
    void on_joinButton_clicked();
    void on_loginButton_clicked();
    void on_loginMeeting_clicked();
    void on_joinMeeting_clicked();
    void on_homePageBtn_clicked();
    void on_meetingsPageBtn_clicked();
    void on_settingsButton_clicked();
    void on_videoMeeting_clicked();
    void on_joinTheMeeting_clicked();
    void on_shareScreen_clicked();
    void on_getVCode_clicked();
    void on_verification_clicked();
    void on_popupHistory_clicked();
    void on_label_register_clicked();
    void on_editMeetingID(const QString& text);
    void on_editNickname(const QString& text);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void applyStyles();
    void applyTexts();
    void handleWindowMessage(const platform::WindowMessageEvent& message);
    void showOnly(QWidget* page);
    void useSmallSize();
    void useMainSize();
    void setTopMost(bool on);
    void restoreAndRaise();
    void startMovie(QLabel* label);
    void stopMovie(QLabel* label);
    void layoutMainPage();
    void fatalError(const char* messageKey);
    void releaseResources(bool startWatchdog);
    // An accepted exit during a meeting: end or leave it, then quit once it is over.
    void leaveMeetingAndQuit();
    void quitAfterMeeting();
    void setToolbarTabs(bool homeSelected);

    // sign-in
    void openSignInPage();
    void showVerificationPage(const char* tipsKey);
    void offerGetCode(); // the "get code" link usable again
    void resetVerificationPage();
    void setVerificationBusy(bool busy);
    void enterMainPage();
    void showDisplayName();
    void startCountdown();
    void stopCountdown();
    void startProfileFetch();
    bool phoneNumberAccepted();

    // meetings
    void startInstantMeeting(int kind);
    void setStartButtonsEnabled(bool enabled);
    void reenableJoinPage();
    void onMeetingEnded();
    void applySettingsPageOptions();
    void recordJoinInHistory();
    QString currentAccountString() const { return m_anonymousJoin ? QString() : m_account; }

    int authStatus() const;
    bool signedIn() const;

    std::unique_ptr<MainWindowForm> m_ui;
    platform::WindowHandle m_handle = 0;
    QMovie* m_loadingMovie = nullptr;

    bool m_alwaysUsePmi = false;
    bool m_anonymousJoin = false;
    bool m_shareJoin = false;
    bool m_watchdogStarted = false;
    bool m_tornDown = false;
    QString m_pendingMeetingId;
    settings::History m_history;
    QString m_historyAccount; // file and section the history was loaded from
    bool m_historyShare = false;

    QString m_account;       // signed-in account, also the account file's name
    QString m_typedPassword; // password field at the last successful sign-in
    QString m_sdkUserName;
    QString m_displayName;
    QString m_tempAccount;
    QString m_tempPassword;
    QString m_meetingStartTime;
    quint32 m_meetingStartTick = 0;
    UINT64 m_personalMeetingId = 0;
    UINT64 m_personalMeetingUniqueId = 0;

    // Verification countdown: the worker counts, the GUI thread shows.
    std::atomic<int> m_countdownRemaining{0};
    std::atomic<bool> m_countdownStop{true};
    std::thread m_countdownThread;

    // Profile fetch: a detached worker hands its results over through this gate, which the window
    // closes when it goes away, so a late worker never touches a dead window.
    struct ProfileGate
    {
        std::mutex mutex;
        bool open = true;
        QString userId;
        QString displayName;
        QString avatarUrl;
    };
    std::shared_ptr<ProfileGate> m_profileGate;
    QString m_userId;
    QString m_avatarPath;
    std::uintptr_t m_avatarDownload = 0;

    std::unique_ptr<JoinMeeting> m_joinFlow;
    std::unique_ptr<HostMeeting> m_hostFlow;
    std::unique_ptr<MeetingExit> m_meetingExit;
    std::unique_ptr<CSDKSheduleMeetingUIWorkFlow> m_scheduleFlow;
};
