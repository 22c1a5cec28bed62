#pragma once
// The join page: the meeting number and nickname with their checks, the nickname memory, the
// share-join mode, the join history and its popup, and the join workflow while it runs.

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "base/Settings.h"

class JoinMeeting;
class ShellHost;
struct MainWindowForm;

typedef quint64 UINT64;

class JoinPage : public QObject
{
    Q_OBJECT
public:
    JoinPage(MainWindowForm& form, ShellHost& host, QObject* parent = nullptr);
    ~JoinPage() override;

    // The home page's join button: an anonymous join, verified by phone unless a temporary
    // account is still valid. Emits verificationNeeded when the phone must be verified.
    void openAnonymousJoin();
    // The main page's join (or share) tile for the signed-in user.
    void openFromMainPage();
    // Share tile: shares in the running meeting, or opens the page in share-join mode.
    void shareScreen();
    void join();
    void back();
    // Another copy handed over a number while this page shows.
    void joinHandedOverNumber(const QString& number);
    void onMeetingIdEdited(const QString& text);
    void onNicknameEdited(const QString& text);

    bool joining() const { return bool(m_joinFlow); }
    // The join workflow's part of a meeting status change.
    void onMeetingStatus(int status, const QString& reason);
    // Topic of a meeting of the signed-in user's list, for the history; empty when not listed.
    void setListedTopicLookup(std::function<QString(UINT64)> lookup) { m_listedTopic = std::move(lookup); }

    // Join history of the current mode (general or account file, ordinary or share joins).
    const settings::History& history() const { return m_history; }
    void loadHistory(const QString& account, bool share);
    void saveHistory();
    void clearHistory();
    void addHistory(UINT64 meetingNumber, const QString& topic);
    void setMeetingIdText(const QString& text);
    void openHistoryPopup();
    void historyPopupClosed();

    // Teardown steps: the workflow before the SDK shuts down, the history after.
    void releaseFlow();
    void forgetHistory();

    // The desktop user's full name from the password database, else the login name.
    static QString desktopUserName();

signals:
    void verificationNeeded();
    // The SDK refused the temporary account before asking the cloud.
    void temporarySignInRefused();

private:
    void reenable();
    void recordJoinInHistory();
    void takePendingNumber();
    // Links join without asking: a missing nickname becomes the account's or the desktop user's name.
    void fillEmptyNickname();

    MainWindowForm& m_ui;
    ShellHost& m_host;
    settings::History m_history;
    QString m_historyAccount; // file and section the history was loaded from
    bool m_historyShare = false;
    std::unique_ptr<JoinMeeting> m_joinFlow;
    std::function<QString(UINT64)> m_listedTopic;
};
