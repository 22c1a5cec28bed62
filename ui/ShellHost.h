#pragma once
// What a page of the main window may ask of the window itself. Pages own their widgets' behaviour
// and state; the shell owns which page shows, the window's size and its place among the windows,
// and the session that outlives any one page.

#include <QString>
#include <QtGlobal>

class QLabel;
class QWidget;

// Who is signed in and how the user is joining; read and written by every page.
struct ShellSession
{
    QString account;     // signed-in account, also the account file's name
    QString displayName; // as shown in the main page's corner
    QString sdkUserName; // the name the SDK gave at sign-in
    QString tempAccount; // anonymous joins: the service's temporary account
    QString tempPassword;
    QString pendingMeetingId; // handed over at start-up or by another copy, waiting for the join page
    QString recordingFolder;  // where the SDK records; set at sign-in
    QString userId;           // the service's id of the account; empty until the profile has been fetched
    QString password;         // typed at the last sign-in, replaced by a password change
    bool anonymousJoin = false;
    bool shareJoin = false;

    // The account whose files hold nicknames and history: none for anonymous joins.
    QString fileAccount() const { return anonymousJoin ? QString() : account; }
};

class ShellHost
{
public:
    virtual ShellSession& session() = 0;
    // Shows one of the form's pages and hides the others.
    virtual void showPage(QWidget* page) = 0;
    virtual void useSmallSize() = 0;
    virtual void useMainSize() = 0;
    virtual void setTopMost(bool on) = 0;
    // Un-minimises and brings the window to the front (it stays on top until setTopMost(false)).
    virtual void restoreAndRaise() = 0;
    virtual void setWindowShown(bool shown) = 0;
    // The window, as parent of boxes and popups.
    virtual QWidget* shellWidget() = 0;
    // The handle other processes and the download component post messages to.
    virtual qint64 messageHandle() const = 0;
    // The one loading animation, shown in this label.
    virtual void startMovie(QLabel* label) = 0;
    virtual void stopMovie(QLabel* label) = 0;
    virtual bool signedIn() const = 0;
    // OrvoAuth's status (NotStarted, Authenticated, SignedIn, ...).
    virtual int authStatus() const = 0;

protected:
    ~ShellHost() = default;
};
