#pragma once
// The client's only top-level window: home, sign-in, verification, join and main pages shown and
// hidden in place, receiving window messages from other copies and the download component.

#include "app/Settings.h"
#include "platform/WindowMessage.h"

#include <QMainWindow>
#include <memory>

class QLabel;
class QListWidgetItem;
class QMovie;
struct MainWindowForm;
struct RecurringMeetingInfo;

typedef quint64 UINT64;

class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // The meeting number handed over at start-up or by another copy, waiting for the join logic.
    void setPendingMeetingId(const QString &text);
    QString pendingMeetingId() const { return m_pendingMeetingId; }
    platform::WindowHandle windowHandle() const { return m_handle; }

    // Releases everything the window holds before a relaunch or a fatal error.
    void tearDown();

    // Join history of the current mode (general or account file, ordinary or share joins).
    const settings::History &joinHistory() const { return m_history; }
    void loadJoinHistory(const QString &account, bool share);
    void saveJoinHistory();
    // Empties the history in memory and in its file section.
    void clearJoinHistory();
    // Records a meeting entered by number as the newest entry and saves it.
    void addJoinHistory(UINT64 meetingNumber, const QString &topic);
    // Fills the meeting-ID field; the field groups the digits itself.
    void setMeetingIdText(const QString &text);
    // The history popup calls this when it goes away.
    void historyPopupClosed();

signals:
    void asynInitSDK();
    void notifyResize();
    void notifyVideoFinished();
    void notifyUpdateVideoPath();
    void notifyEditMeeting(UINT64 meetingID, UINT64 meeting_JoinID, RecurringMeetingInfo *info, bool bRecurring);
    void notifyReadMeetingInfo(UINT64 meetingID, bool bShow);
    void notifyPopUpgrade();
    void notifyNoUpdatesAvailable();
    void notifyCountdown();
    void notifyUpdateUserInfo();
    void notifyUpdateLogo();
    void notifyJoinMeeting(UINT64 meetingID);

public slots:
    void on_systemTrayExit();

private slots:
    void on_notifyResize();
    void on_notifyJoinMeeting(UINT64 meetingID);
    void on_backHomeL_clicked();
    void on_backHomeJ_clicked();
    void on_backHomeV_clicked();
    void on_joinButton_clicked();
    void on_loginButton_clicked();
    void on_homePageBtn_clicked();
    void on_meetingsPageBtn_clicked();
    void on_label_register_clicked();
    void on_editMeetingID(const QString &text);

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void applyStyles();
    void applyTexts();
    void handleWindowMessage(const platform::WindowMessageEvent &message);
    void showOnly(QWidget *page);
    void useSmallSize();
    void useMainSize();
    void setTopMost(bool on);
    void startMovie(QLabel *label);
    void stopMovie(QLabel *label);
    void layoutMainPage();

    // SDK state; stays 0 (not initialised) until the SDK layer authenticates.
    int authStatus() const { return m_authStatus; }
    bool signedIn() const { return m_authStatus == 5; }

    std::unique_ptr<MainWindowForm> m_ui;
    platform::WindowHandle m_handle = 0;
    QMovie *m_loadingMovie = nullptr;

    bool m_alwaysUsePmi = false;
    bool m_anonymousJoin = false;
    bool m_shareJoin = false;
    bool m_watchdogStarted = false;
    bool m_tornDown = false;
    int m_authStatus = 0;
    QString m_pendingMeetingId;
    settings::History m_history;
    QString m_historyAccount; // file and section the history was loaded from
    bool m_historyShare = false;
};
