#pragma once
// The client's only top-level window: home, sign-in, verification, join and main pages shown and
// hidden in place. It is the SDK layer's listener and receives window messages from other copies
// and from the download component.

#include <QMainWindow>
#include <memory>

#include "base/Settings.h"
#include "orvosdk/meeting_sharing_interface.h"
#include "orvosdk/meeting_ui_ctrl_interface.h"
#include "platform/WindowMessage.h"
#include "sdk/AuthUIEvent.h"
#include "sdk/CSDKSheduleMeetingUIEvent.h"
#include "ui/AccountMenu.h"
#include "ui/JoinPage.h"
#include "ui/MeetingsTab.h"
#include "ui/ShellHost.h"
#include "ui/SignInPages.h"
#include "ui/invite/InviteRequest.h"

class MeetingExit;
class QLabel;
class QMovie;
struct MainWindowForm;
struct RecurringMeetingInfo;

typedef quint64 UINT64;

class MainWindow : public QMainWindow,
                   public AuthUIEvent,
                   public CSDKSheduleMeetingUIEvent,
                   public ORVOSDK::IMeetingShareCtrlEvent,
                   public ORVOSDK::IMeetingUIControllerEvent,
                   public ShellHost
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The meeting number handed over at start-up or by another copy, waiting for the join logic.
    void setPendingMeetingId(const QString& text);
    QString pendingMeetingId() const { return m_session.pendingMeetingId; }
    platform::WindowHandle windowHandle() const { return m_handle; }

    // Releases everything the window holds before a relaunch or a fatal error.
    void tearDown() { releaseResources(true); }

    // Join history of the current mode (general or account file, ordinary or share joins).
    const settings::History& joinHistory() const { return m_join->history(); }
    void loadJoinHistory(const QString& account, bool share) { m_join->loadHistory(account, share); }
    void saveJoinHistory() { m_join->saveHistory(); }
    // Empties the history in memory and in its file section.
    void clearJoinHistory() { m_join->clearHistory(); }
    // Records a meeting entered by number as the newest entry and saves it.
    void addJoinHistory(UINT64 meetingNumber, const QString& topic) { m_join->addHistory(meetingNumber, topic); }
    // Fills the meeting-ID field; the field groups the digits itself.
    void setMeetingIdText(const QString& text) { m_join->setMeetingIdText(text); }
    // The history popup calls this when it goes away.
    void historyPopupClosed() { m_join->historyPopupClosed(); }

    // Starts a video meeting in a given room; -1 (with a warning) while another meeting runs.
    int startMeetingByNumber(UINT64 meetingNumber) { return m_meetings->startMeetingByNumber(meetingNumber); }

    QString displayName() const { return m_session.displayName; }
    // When the running meeting was entered, "yyyy-MM-dd HH:mm:ss" local time.
    QString meetingStartTime() const { return m_meetingStartTime; }
    InviteLauncher& invites() { return *m_invite; }
    AccountMenu& accountRoom() { return *m_account; }
    QString signedInAccount() const { return m_session.account; }
    bool anonymousJoinMode() const { return m_session.anonymousJoin; }
    bool shareJoinMode() const { return m_session.shareJoin; }
    // Set once a fatal SDK error ended the client: the window must not be shown again.
    bool fatalErrorShown() const { return m_fatalError; }
    // The first letters of the first two words of a name, in the case typed.
    static QString initialsOf(const QString& name) { return SignInPages::initialsOf(name); }
    // File name of the avatar picture: the account's file name plus the address's own extension.
    static QString avatarFileName(const QString& account, const QString& url)
    {
        return SignInPages::avatarFileName(account, url);
    }

    // ShellHost
    ShellSession& session() override { return m_session; }
    void showPage(QWidget* page) override;
    void useSmallSize() override;
    void useMainSize() override;
    void setTopMost(bool on) override;
    void restoreAndRaise() override;
    void setWindowShown(bool shown) override { setVisible(shown); }
    QWidget* shellWidget() override { return this; }
    qint64 messageHandle() const override { return m_handle; }
    void startMovie(QLabel* label) override;
    void stopMovie(QLabel* label) override;
    bool signedIn() const override;
    int authStatus() const override;

    // AuthUIEvent
    void OnAuthResult(int result) override;
    void OnLoginResult(int status, const QString& displayName) override
    {
        m_signIn->onLoginResult(status, displayName);
    }
    void OnMeetingStatus(int status, int code) override;
    // CSDKSheduleMeetingUIEvent
    void OnListMeeting(int result, const std::vector<UINT64>& meetingIds) override
    {
        m_meetings->onListMeeting(result, meetingIds);
    }
    void OnScheduleOrEditMeeting(int result, UINT64 meetingId) override
    {
        m_meetings->onScheduleOrEditMeeting(result, meetingId);
    }
    void OnDeleteMeeting(int result) override { m_meetings->onDeleteMeeting(result); }
    // IMeetingShareCtrlEvent
    void onSharingStatus(ORVOSDK::SharingStatus, unsigned int) override {}
    void onLockShareStatus(bool bLocked) override;
    void onShareContentNotification(unsigned int, const wchar_t*) override {}
    void onMultiShareSwitchToSingleShareNeedConfirm(ORVOSDK::IShareSwitchMultiToSingleConfirmHandler*) override {}
    // IMeetingUIControllerEvent
    void onInviteBtnClicked(bool& bHandled) override;
    void onStartShareBtnClicked() override {}
    void onEndMeetingBtnClicked() override {}
    void onParticipantListBtnClicked() override {}
    void onCustomLiveStreamMenuClicked() override {}
    void onOrvoInviteDialogFailed() override {}
    void onCCBTNClicked() override {}

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
    void on_systemTrayExit() { close(); }
    // The user menu's entries; the account room does the work.
    void on_checkUpdate() { m_account->startUpdateCheck(true); }
    void on_modifyPassword() { m_account->modifyPassword(); }
    void on_openAbout() { m_account->openAbout(); }

public:
    // Sign-out and the language entries. No widget carries these names, so they are plain functions:
    // as slots, connecting slots by name would look for widgets "reset" and "set".
    void on_reset_triggered() { m_account->signOut(); }
    void on_set_chinese() { m_account->setLanguage(0); }
    void on_set_english() { m_account->setLanguage(1); }

public:
    // An audio-only instant meeting. No button of the form carries this name, so it is a plain
    // function: as a slot, connecting slots by name would warn about the missing widget.
    void on_voiceMeeting_clicked() { m_meetings->startInstantMeeting(2); }

private slots:
    void on_asynInitSDK();
    void on_notifyResize() { m_meetings->layout(); }
    void on_notifyCountdown() { m_signIn->showCountdown(); }
    void on_notifyUpdateUserInfo() { m_signIn->showProfile(); }
    void on_notifyUpdateLogo() { m_signIn->showAvatar(); }
    void on_notifyJoinMeeting(UINT64 meetingID);
    void on_notifyPopUpgrade() { m_account->onPopUpgrade(); }
    void on_notifyNoUpdatesAvailable() { m_account->onNoUpdatesAvailable(); }
    void on_label_updateLink_clicked() { m_account->openUpgradeFromStrip(); }
    void on_accountIcon_clicked() { m_account->popUpUserMenu(); }
    void on_myDisplayName_clicked() { m_account->popUpUserMenu(); }
    void on_label_pop_clicked() { m_account->popUpUserMenu(); }
    void on_backHomeL_clicked() { m_signIn->backFromSignIn(); }
    void on_backHomeJ_clicked() { m_join->back(); }
    void on_backHomeV_clicked() { m_signIn->backFromVerification(); }
    void on_joinButton_clicked() { m_join->openAnonymousJoin(); }
    void on_loginButton_clicked() { m_signIn->startAccountSignIn(); }
    void on_loginMeeting_clicked() { m_signIn->signIn(); }
    void on_joinMeeting_clicked() { m_join->join(); }
    void on_homePageBtn_clicked() { m_meetings->showHomeTab(); }
    void on_meetingsPageBtn_clicked() { m_meetings->showMeetingsTab(); }
    void on_settingsButton_clicked();
    void on_videoMeeting_clicked() { m_meetings->startInstantMeeting(1); }
    void on_joinTheMeeting_clicked() { m_join->openFromMainPage(); }
    void on_shareScreen_clicked() { m_join->shareScreen(); }
    void on_getVCode_clicked() { m_signIn->requestCode(); }
    void on_verification_clicked() { m_signIn->verify(); }
    void on_popupHistory_clicked() { m_join->openHistoryPopup(); }
    void on_label_register_clicked();
    void on_editMeetingID(const QString& text) { m_join->onMeetingIdEdited(text); }
    void on_editNickname(const QString& text) { m_join->onNicknameEdited(text); }
    void on_scheduleMeeting_clicked() { m_meetings->scheduleMeeting(); }
    void on_myMeeting_clicked() { m_meetings->showMyMeetings(); }
    void on_videoList_clicked() { m_meetings->showRecordings(); }
    void on_refreshList_clicked() { m_meetings->refreshList(); }
    void on_planMenu_clicked() { m_meetings->copyPersonalInvitation(); }
    void on_startMeeting_clicked() { m_meetings->startPersonalMeeting(); }
    void on_editPMI_clicked() { m_meetings->editPersonalMeeting(); }
    void on_usingPMI_clicked(bool checked) { m_meetings->setAlwaysUsePmi(checked); }

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void handleWindowMessage(const platform::WindowMessageEvent& message);
    void fatalError(const char* messageKey);
    void releaseResources(bool startWatchdog);
    // An accepted exit during a meeting: end or leave it, then quit once it is over.
    void leaveMeetingAndQuit();
    void quitAfterMeeting();

    std::unique_ptr<MainWindowForm> m_ui;
    platform::WindowHandle m_handle = 0;
    QMovie* m_loadingMovie = nullptr;
    ShellSession m_session;
    SignInPages* m_signIn = nullptr;
    JoinPage* m_join = nullptr;
    MeetingsTab* m_meetings = nullptr;

    bool m_watchdogStarted = false;
    bool m_tornDown = false;
    bool m_fatalError = false;
    QString m_meetingStartTime;
    quint32 m_meetingStartTick = 0;
    std::unique_ptr<MeetingExit> m_meetingExit;
    // Answers inviteRequested(); the dialog goes before the window's other children.
    std::unique_ptr<InviteLauncher> m_invite = std::make_unique<InviteLauncher>(this);
    std::unique_ptr<AccountMenu> m_account;
};
