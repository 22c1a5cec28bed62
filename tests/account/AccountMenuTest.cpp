// The account room against vtx-service: what each version answer leads to (signed in or out, in a
// meeting or not, failed), the menus and their entries, sign-out and the language change.

#include "ui/AccountMenu.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include "AccountTestSupport.h"
#include "base/Lifecycle.h"
#include "base/Settings.h"
#include "platform/Process.h"
#include "recordings/FolderTree.h"
#include "ui/AboutDlg.h"
#include "ui/ClickableLabel.h"
#include "ui/MessageBox.h"
#include "ui/ModifyPassword.h"
#include "ui/TipsDlg.h"
#include "ui/UpgradeDlg.h"

namespace {

QStringList visibleTips()
{
    QStringList texts;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* tip = qobject_cast<TipsDlg*>(w); tip && tip->isVisible())
            texts << tip->text();
    return texts;
}

void closeTips()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* tip = qobject_cast<TipsDlg*>(w))
            delete tip;
}

class AccountRoom : public accounttest::ServiceFixture
{
protected:
    void SetUp() override
    {
        ServiceFixture::SetUp();
        removeFolderTree(settings::dataFolder().toStdString());
        closeTips();
        m_window = std::make_unique<QWidget>();
        m_window->resize(360, 667);
        m_window->show();
        startup::setRestarting(false);
        startup::setRelaunchHandler([this](const QStringList& args) {
            m_relaunches << args.join(' ');
            return true;
        });
        AccountMenuHost host;
        host.window = m_window.get();
        host.signedIn = [this] { return m_signedIn; };
        host.inMeeting = [this] { return m_inMeeting; };
        host.showUpdateStrip = [this](bool on) { m_strip << on; };
        host.account = [] { return QString::fromLatin1(vtxtest::VtxService::DemoAccount()); };
        host.userId = [] { return QString(); };
        host.userIdFetched = [this](const QString& id) { m_userId = id; };
        host.passwordChanged = [this](const QString& password) { m_password = password; };
        host.tearDownForRelaunch = [this] { ++m_tearDowns; };
        m_room = std::make_unique<AccountMenu>(host);
        m_room->setUpgradeDialogSetup([this](UpgradeDlg& dlg) {
            dlg.setDownloadFolder(vtxtest::makeTempDir(QStringLiteral("downloads")));
            dlg.setOpener([this](const QString& target) {
                m_opened << target;
                return true;
            });
        });
    }
    void TearDown() override
    {
        m_room.reset();
        m_window.reset();
        closeTips();
        MessageBox::clearAutoAnswer();
        startup::setRelaunchHandler(nullptr);
        startup::setRestarting(false);
        ServiceFixture::TearDown();
    }

    // Runs one check to its end.
    bool check(bool userAsked)
    {
        QSignalSpy finished(m_room.get(), &AccountMenu::updateCheckFinished);
        if (!m_room->startUpdateCheck(userAsked))
            return false;
        return finished.wait(30000) && finished.count() == 1;
    }
    QAction* action(QMenu* menu, const char* key)
    {
        for (QAction* a : menu->actions())
            if (a->text() == LangText(key))
                return a;
        ADD_FAILURE() << key;
        return nullptr;
    }

    std::unique_ptr<QWidget> m_window;
    std::unique_ptr<AccountMenu> m_room;
    bool m_signedIn = false;
    bool m_inMeeting = false;
    QList<bool> m_strip;
    QStringList m_opened;
    QStringList m_relaunches;
    QString m_userId;
    QString m_password;
    int m_tearDowns = 0;
};

TEST_F(AccountRoom, SameOrOlderVersionIsNoUpdateAndOnlyAnAskingUserHearsIt)
{
    MessageBox::setAutoAnswer(MessageBox::FirstButton);
    for (const char* version : {"1.5.0", "1.4.9", "1.5.0-rc1", ""}) {
        answerVersion(version, "0", "vtx://package", "notes");
        m_signedIn = false;
        ASSERT_TRUE(check(true)) << version;
        m_signedIn = true;
        ASSERT_TRUE(check(false)) << version;
        EXPECT_TRUE(visibleTips().isEmpty()) << version; // start-up and signed-out checks stay quiet
        ASSERT_TRUE(check(true)) << version;
        EXPECT_EQ(visibleTips(), QStringList{LangText("msg.noupdate")}) << version;
        closeTips();

        EXPECT_FALSE(m_room->updateAvailable());
        EXPECT_EQ(m_room->upgradeDialog(), nullptr);
        EXPECT_TRUE(m_strip.isEmpty());
        EXPECT_TRUE(m_window->isVisible());
        EXPECT_TRUE(MessageBox::answeredTexts().isEmpty()); // a "mandatory" rollback forces nothing
        EXPECT_TRUE(m_opened.isEmpty());
    }
}

TEST_F(AccountRoom, OptionalUpdateShowsTheDialogSignedOutAndTheStripSignedIn)
{
    answerVersion("1.6.0", "1", "https://127.0.0.1/vtx_1.6.0.deb", "1. A\\nB");
    ASSERT_TRUE(check(false));
    EXPECT_TRUE(m_room->updateAvailable());
    EXPECT_FALSE(m_room->mandatoryUpdate());
    UpgradeDlg* dialog = m_room->upgradeDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());
    EXPECT_TRUE(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(dialog->findChild<QTextEdit*>(QStringLiteral("textEdit"))->toPlainText(), QStringLiteral("1. A\nB"));
    EXPECT_TRUE(m_strip.isEmpty());
    // A second answer while the dialog is up does not stack a second dialog.
    ASSERT_TRUE(check(false));
    EXPECT_EQ(m_room->upgradeDialog(), dialog);
    dialog->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return m_room->upgradeDialog() == nullptr; }, 5000));

    m_signedIn = true;
    ASSERT_TRUE(check(true));
    EXPECT_EQ(m_strip, QList<bool>{true});
    EXPECT_EQ(m_room->upgradeDialog(), nullptr);
    EXPECT_TRUE(visibleTips().isEmpty());
    m_room->openUpgradeFromStrip();
    EXPECT_EQ(m_strip, (QList<bool>{true, false}));
    ASSERT_NE(m_room->upgradeDialog(), nullptr);
    EXPECT_TRUE(m_window->isVisible());
    EXPECT_TRUE(m_relaunches.isEmpty());
}

TEST_F(AccountRoom, MandatoryUpdateSendsTheUserToTheDownloadAndEndsTheClient)
{
    MessageBox::setAutoAnswer(MessageBox::FirstButton);
    answerVersion("2.0.0", "0", "vtx://package/2.0.0", "");
    ASSERT_TRUE(check(false));
    EXPECT_TRUE(m_room->mandatoryUpdate());
    EXPECT_EQ(MessageBox::answeredTexts(), QStringList{LangText("msg.forcedupgrade")});
    EXPECT_EQ(m_opened, QStringList{"vtx://package/2.0.0"});
    EXPECT_TRUE(startup::restarting()); // no exit question on the way out
    EXPECT_FALSE(m_window->isVisible());
    EXPECT_TRUE(m_relaunches.isEmpty());
}

TEST_F(AccountRoom, MandatoryUpdateWaitsForTheMeetingToEnd)
{
    MessageBox::setAutoAnswer(MessageBox::FirstButton);
    answerVersion("1.5.1", "0", "vtx://package/1.5.1", "");
    m_signedIn = true;
    m_inMeeting = true;
    ASSERT_TRUE(check(false));
    EXPECT_TRUE(m_room->mandatoryUpdateWaiting());
    EXPECT_EQ(m_strip, QList<bool>{true}); // the strip may show; the meeting goes on
    EXPECT_TRUE(MessageBox::answeredTexts().isEmpty());
    EXPECT_TRUE(m_opened.isEmpty());
    EXPECT_TRUE(m_window->isVisible());
    EXPECT_FALSE(startup::restarting());

    m_inMeeting = false;
    m_room->meetingEnded();
    EXPECT_FALSE(m_room->mandatoryUpdateWaiting());
    EXPECT_EQ(MessageBox::answeredTexts(), QStringList{LangText("msg.forcedupgrade")});
    EXPECT_EQ(m_opened, QStringList{"vtx://package/1.5.1"});
    EXPECT_FALSE(m_window->isVisible());
    m_room->meetingEnded(); // nothing waits any more
    EXPECT_EQ(m_opened.size(), 1);
}

TEST_F(AccountRoom, FailedOrGarbledChecksOfferNothingAndForceNothing)
{
    MessageBox::setAutoAnswer(MessageBox::FirstButton);
    m_signedIn = true;
    // force_update that is not a number leaves the update optional.
    answerVersion("1.6.0", "yes", "vtx://package", "");
    ASSERT_TRUE(check(false));
    EXPECT_TRUE(m_room->updateAvailable());
    EXPECT_FALSE(m_room->mandatoryUpdate());
    EXPECT_TRUE(MessageBox::answeredTexts().isEmpty());
    EXPECT_TRUE(m_window->isVisible());

    ASSERT_TRUE(m_service->Stop());
    ASSERT_TRUE(check(true));
    EXPECT_FALSE(m_room->updateAvailable());
    EXPECT_EQ(visibleTips(), QStringList{LangText("msg.update_check_failed")});
    EXPECT_TRUE(m_window->isVisible());
}

TEST_F(AccountRoom, OneCheckAtATime)
{
    m_signedIn = true;
    ASSERT_TRUE(m_room->startUpdateCheck(false));
    QSignalSpy finished(m_room.get(), &AccountMenu::updateCheckFinished);
    EXPECT_FALSE(m_room->startUpdateCheck(true)); // joins the running check instead
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_EQ(visibleTips(), QStringList{LangText("msg.noupdate")});
    QTest::qWait(200);
    EXPECT_EQ(finished.count(), 1);
    EXPECT_FALSE(m_room->updateCheckRunning());
}

TEST_F(AccountRoom, CheckEndingAfterTheRoomIsGoneTouchesNothing)
{
    answerVersion("1.6.0", "1", "vtx://package", "");
    ASSERT_TRUE(m_room->startUpdateCheck(true));
    m_room.reset();
    QTest::qWait(1500);
    EXPECT_TRUE(visibleTips().isEmpty());
}

TEST_F(AccountRoom, TornDownRoomDropsTheTrayAndIgnoresItsRunningCheck)
{
    m_signedIn = true;
    m_room->createMenus();
    answerVersion("1.6.0", "0", "vtx://package", "");
    MessageBox::setAutoAnswer(MessageBox::FirstButton);
    QSignalSpy finished(m_room.get(), &AccountMenu::updateCheckFinished);
    ASSERT_TRUE(m_room->startUpdateCheck(true));
    m_room->tearDown();
    EXPECT_EQ(m_room->trayIcon(), nullptr);
    EXPECT_FALSE(finished.wait(3000));
    EXPECT_FALSE(m_room->startUpdateCheck(true));
    EXPECT_TRUE(MessageBox::answeredTexts().isEmpty()); // no forced update after teardown
    EXPECT_TRUE(m_strip.isEmpty());
}

TEST_F(AccountRoom, MenusHoldTheirEntriesInOrderAndTheTrayStaysHidden)
{
    EXPECT_EQ(m_room->userMenu(), nullptr);
    ASSERT_NE(m_room->languageMenu(), nullptr); // before anyone signs in
    m_room->createMenus();
    m_room->createMenus();
    QMenu* menu = m_room->userMenu();
    ASSERT_NE(menu, nullptr);
    QStringList texts;
    for (QAction* a : menu->actions())
        texts << a->text();
    EXPECT_EQ(texts, (QStringList{LangText("ui.menu.update"), LangText("ui.menu.pwd"), LangText("ui.menu.about"),
                                  LangText("ui.language"), LangText("ui.menu.exit")}));
    EXPECT_EQ(menu->actions().at(3)->menu(), m_room->languageMenu());
    QStringList languages;
    for (QAction* a : m_room->languageMenu()->actions())
        languages << a->text() + (a->isChecked() ? "*" : "");
    EXPECT_EQ(languages, (QStringList{LangText("ui.menu.chinese"), LangText("ui.menu.english") + "*"}));

    QSystemTrayIcon* tray = m_room->trayIcon();
    ASSERT_NE(tray, nullptr);
    EXPECT_FALSE(tray->isVisible());
    EXPECT_EQ(tray->contextMenu(), menu);
    EXPECT_EQ(tray->toolTip(), LangText("ui.window"));
    EXPECT_FALSE(tray->icon().isNull());

    m_room->popUpUserMenu(QPoint(10, 52));
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(menu->pos(), m_window->mapToGlobal(QPoint(10, 52)));
    menu->hide();

    // The update entry starts a check.
    QSignalSpy finished(m_room.get(), &AccountMenu::updateCheckFinished);
    action(menu, "ui.menu.update")->trigger();
    EXPECT_TRUE(finished.wait(30000));
}

TEST_F(AccountRoom, PasswordAndAboutEntriesRunTheirDialogs)
{
    m_room->createMenus();
    QString seen;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<ModifyPassword*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        seen = QStringLiteral("password");
        const QString password = QString::fromLatin1(vtxtest::VtxService::DemoPassword());
        dialog->findChild<QLineEdit*>(QStringLiteral("curPassword"))->setText(password);
        dialog->findChild<QLineEdit*>(QStringLiteral("newPassword"))->setText(QStringLiteral("secret99"));
        dialog->findChild<QLineEdit*>(QStringLiteral("comfirmPassword"))->setText(QStringLiteral("secret99"));
        dialog->findChild<QPushButton*>(QStringLiteral("pushButton_ok"))->click();
    });
    action(m_room->userMenu(), "ui.menu.pwd")->trigger();
    EXPECT_EQ(seen, QStringLiteral("password"));
    EXPECT_FALSE(m_userId.isEmpty()); // fetched on the way and handed to the window
    EXPECT_EQ(m_password, QStringLiteral("secret99"));

    QSignalSpy finished(m_room.get(), &AccountMenu::updateCheckFinished);
    QTimer::singleShot(0, [&] {
        auto* about = qobject_cast<AboutDlg*>(QApplication::activeModalWidget());
        if (!about)
            return;
        seen = about->findChild<QLabel*>(QStringLiteral("label_version"))->text();
        about->findChild<QPushButton*>(QStringLiteral("checkUpgrade"))->click();
    });
    action(m_room->userMenu(), "ui.menu.about")->trigger();
    EXPECT_EQ(seen, LangFormat("ui.label_version", "1.5.0"));
    EXPECT_TRUE(finished.wait(30000));
}

TEST_F(AccountRoom, SignOutAsksThenRelaunchesIntoTheSignInPage)
{
    m_room->createMenus();
    MessageBox::setAutoAnswer(MessageBox::SecondButton);
    action(m_room->userMenu(), "ui.menu.exit")->trigger();
    EXPECT_EQ(MessageBox::answeredTexts(), QStringList{LangText("msg.reset_request")});
    EXPECT_TRUE(m_relaunches.isEmpty());
    EXPECT_EQ(m_tearDowns, 0);
    EXPECT_TRUE(m_window->isVisible());
    EXPECT_FALSE(startup::restarting());

    MessageBox::setAutoAnswer(MessageBox::FirstButton);
    action(m_room->userMenu(), "ui.menu.exit")->trigger();
    EXPECT_EQ(m_relaunches, QStringList{"goto_login_ui " + QString::number(platform::currentProcessId())});
    EXPECT_EQ(m_tearDowns, 1);
    EXPECT_TRUE(startup::restarting());
    EXPECT_FALSE(m_window->isVisible());
    EXPECT_EQ(m_room->trayIcon(), nullptr);
}

TEST_F(AccountRoom, HomePageLinkOffersTheLanguageMenuBeforeSignIn)
{
    ClickableLabel* link = m_room->createLanguageLink(m_window.get(), QRect(250, 8, 100, 20));
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->parentWidget(), m_window.get());
    EXPECT_EQ(link->objectName(), QStringLiteral("label_language"));
    EXPECT_EQ(link->text(), LangText("ui.language"));
    EXPECT_EQ(m_room->userMenu(), nullptr); // nobody signed in, no user menu
    QTest::mousePress(link, Qt::LeftButton);
    EXPECT_TRUE(m_room->languageMenu()->isVisible());
    EXPECT_EQ(m_room->languageMenu()->pos(), link->mapToGlobal(QPoint(0, link->height())));
    m_room->languageMenu()->hide();
}

TEST_F(AccountRoom, LanguageChoiceIsKeptEvenWhenTheRelaunchIsDeclined)
{
    MessageBox::setAutoAnswer(MessageBox::SecondButton);
    m_room->languageMenu()->actions().at(0)->trigger();
    EXPECT_EQ(settings::readLanguageId(), 0);
    m_room->languageMenu()->actions().at(1)->trigger();
    EXPECT_EQ(settings::readLanguageId(), 1);
    EXPECT_EQ(MessageBox::answeredTexts(),
              (QStringList{LangText("msg.changed_language"), LangText("msg.changed_language")}));
    EXPECT_TRUE(m_relaunches.isEmpty());
    EXPECT_TRUE(m_window->isVisible());

    MessageBox::setAutoAnswer(MessageBox::FirstButton);
    m_room->setLanguage(0);
    EXPECT_EQ(settings::readLanguageId(), 0);
    EXPECT_EQ(m_relaunches, QStringList{QString()}); // a plain relaunch, no arguments
    EXPECT_EQ(m_tearDowns, 1);
    EXPECT_FALSE(m_window->isVisible());
}

} // namespace
