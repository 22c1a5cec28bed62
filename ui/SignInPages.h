#pragma once
// The sign-in and phone-verification pages: account sign-in, the verification code and its
// countdown, entering the main page, and the profile and avatar fetched after sign-in.

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

class ShellHost;
struct MainWindowForm;

class SignInPages : public QObject
{
    Q_OBJECT
public:
    SignInPages(MainWindowForm& form, ShellHost& host, QObject* parent = nullptr);
    ~SignInPages() override;

    // The home page's sign-in button: any earlier session ends first.
    void startAccountSignIn();
    void openSignInPage();
    void backFromSignIn();
    void backFromVerification();
    void signIn();
    void onLoginResult(int status, const QString& displayName);

    // Phone verification; tipsKey words why it is asked.
    void showVerificationPage(const char* tipsKey);
    void requestCode();
    void verify();
    void showCountdown();

    // The profile the worker fetched, and the avatar once downloaded.
    void showProfile();
    void showAvatar();

    // Stops the countdown and every worker before the window goes away.
    void tearDown();

    // The first letters of the first two words of a name, in the case typed.
    static QString initialsOf(const QString& name);
    // File name of the avatar picture: the account's file name plus the address's own extension.
    static QString avatarFileName(const QString& account, const QString& url);

signals:
    // An anonymous joiner's temporary account signed in (or has to be verified again).
    void anonymousJoinReady();
    // An account signed in and verified: the main page is shown.
    void enteredMainPage();
    // Cross-thread ticks; the shell relays them to its own signals.
    void countdownChanged();
    void profileFetched();

private:
    void enterMainPage();
    void showDisplayName();
    void offerGetCode();
    void resetVerificationPage();
    void setVerificationBusy(bool busy);
    bool phoneNumberAccepted();
    void startCountdown();
    void stopCountdown();
    void startProfileFetch();

    MainWindowForm& m_ui;
    ShellHost& m_host;

    // Verification countdown: the worker counts, the GUI thread shows.
    std::atomic<int> m_countdownRemaining{0};
    std::atomic<bool> m_countdownStop{true};
    std::thread m_countdownThread;

    // Profile fetch: a detached worker hands its results over through this gate, which the page
    // closes when it goes away, so a late worker never touches a dead page.
    struct ProfileGate
    {
        std::mutex mutex;
        bool open = true;
        QString userId;
        QString displayName;
        QString avatarUrl;
    };
    std::shared_ptr<ProfileGate> m_profileGate;
    QString m_avatarPath;
    std::uintptr_t m_avatarDownload = 0;
};
