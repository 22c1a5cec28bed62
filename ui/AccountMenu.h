#pragma once
// The account's room beside the main window: the update check and what its answer leads to, the
// user menu and the language menu, the tray icon object, the password and about dialogs, and the
// relaunches for sign-out and a new language. The main window's slots forward here.

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>

class ClickableLabel;
class QMenu;
class QRect;
class QPoint;
class QSystemTrayIcon;
class QWidget;
class UpgradeDlg;

// What the room needs from the main window.
struct AccountMenuHost
{
    QWidget* window = nullptr;       // parent of the boxes; raised, closed by a relaunch
    std::function<bool()> signedIn;  // an account is signed in (not an anonymous join)
    std::function<bool()> inMeeting; // a meeting is running
    std::function<void(bool)> showUpdateStrip;
    std::function<QString()> account; // the signed-in account
    std::function<QString()> userId;  // empty until the profile has been fetched
    std::function<void(const QString&)> userIdFetched;
    std::function<void(const QString&)> passwordChanged;
    // Releases what the window holds before a relaunch, without starting the exit watchdog.
    std::function<void()> tearDownForRelaunch;
};

class ShellHost;

class AccountMenu : public QObject
{
    Q_OBJECT
public:
    explicit AccountMenu(AccountMenuHost host, QObject* parent = nullptr);
    // The host of the main window: its session, its update strip and the SDK's meeting state.
    static AccountMenuHost hostFor(ShellHost& shell, std::function<void()> tearDownForRelaunch);
    ~AccountMenu() override;

    // The user menu with the language menu inside it, and the tray icon object (never shown).
    // Built once the SDK has authenticated the application; again is harmless.
    void createMenus();
    QMenu* userMenu() const { return m_userMenu.get(); }
    // Exists from construction, so the home page can offer it before anyone signs in.
    QMenu* languageMenu() const { return m_languageMenu.get(); }
    QSystemTrayIcon* trayIcon() const { return m_trayIcon.get(); }
    // Part of the main window's teardown: the tray icon goes, and a check still running is ignored.
    void tearDown();

    // Starts a check on a worker thread unless one is running (then false). A check the user asked
    // for tells a signed-in user when there is nothing new or the service could not be asked.
    bool startUpdateCheck(bool userAsked);
    bool updateCheckRunning() const;
    bool updateAvailable() const { return m_updateAvailable; }
    bool mandatoryUpdate() const { return m_mandatory; }
    // A mandatory update that arrived during a meeting waits for its end.
    bool mandatoryUpdateWaiting() const { return m_mandatoryWaiting; }

    // A "Language" link on a page (the home page, before anyone signs in) that opens the language menu.
    ClickableLabel* createLanguageLink(QWidget* page, const QRect& geometry);

    void popUpUserMenu(const QPoint& windowPos);
    // Below the account picture, at the name's left edge, as the main page shows them.
    void popUpUserMenu();
    void popUpLanguageMenu(const QPoint& globalPos);
    void modifyPassword();
    void openAbout();
    // The update strip's link: hides the strip, shows the upgrade dialog.
    void openUpgradeFromStrip();
    void signOut();
    void setLanguage(int languageId);
    // The main window reports the end of every meeting here.
    void meetingEnded();

    // The non-modal upgrade dialog on screen, if any.
    UpgradeDlg* upgradeDialog() const;
    // Tests: adjust every upgrade dialog before it is shown (download folder, opener).
    void setUpgradeDialogSetup(std::function<void(UpgradeDlg&)> setup) { m_dialogSetup = std::move(setup); }

signals:
    // Emitted by the check's worker thread; queued to the GUI thread.
    void notifyPopUpgrade();
    void notifyNoUpdatesAvailable();
    // Every check ends with exactly one of the two signals above, then this one.
    void updateCheckFinished();

public slots:
    // What the check's answer leads to; the signals above end here.
    void onPopUpgrade();
    void onNoUpdatesAvailable();

private:
    struct CheckGate;
    void showUpgradeDialog();
    void runMandatoryUpdate();
    void relaunch(const QStringList& arguments);
    bool isSignedIn() const { return m_host.signedIn && m_host.signedIn(); }

    AccountMenuHost m_host;
    std::shared_ptr<CheckGate> m_gate;
    std::unique_ptr<QMenu> m_userMenu;
    std::unique_ptr<QMenu> m_languageMenu;
    std::unique_ptr<QSystemTrayIcon> m_trayIcon;
    QPointer<UpgradeDlg> m_upgradeDialog;
    std::function<void(UpgradeDlg&)> m_dialogSetup;

    bool m_userAsked = false;
    bool m_updateAvailable = false;
    bool m_mandatory = false;
    bool m_mandatoryWaiting = false;
    bool m_mandatoryRunning = false;
    std::string m_downloadUrl;
    std::string m_tips;
};
