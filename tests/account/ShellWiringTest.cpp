// The main window's slots reach the account room: the home page's language link before sign-in, the
// user menu from the picture and the name once the SDK has authenticated the application.

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "AccountTestSupport.h"
#include "base/Lifecycle.h"
#include "base/Settings.h"
#include "recordings/FolderTree.h"
#include "ui/ClickableLabel.h"
#include "ui/MainWindow.h"
#include "ui/MessageBox.h"
#include "ui/ModifyPassword.h"
#include "ui/UpgradeDlg.h"

namespace {

QMenu* shownMenu(const char* name)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* menu = qobject_cast<QMenu*>(w);
            menu && menu->objectName() == QLatin1String(name) && menu->isVisible())
            return menu;
    return nullptr;
}

class ShellWiring : public accounttest::ServiceFixture
{
protected:
    void SetUp() override
    {
        ServiceFixture::SetUp();
        removeFolderTree(settings::dataFolder().toStdString());
        qputenv("VTX_SDK_DOMAIN", QByteArray::fromStdString(m_service->BaseUrl()));
        startup::setRelaunchHandler([this](const QStringList& args) {
            m_relaunches << args.join(' ');
            return true;
        });
    }
    void TearDown() override
    {
        m_window.reset();
        MessageBox::clearAutoAnswer();
        startup::setRelaunchHandler(nullptr);
        startup::setRestarting(false);
        qunsetenv("VTX_SDK_DOMAIN");
        ServiceFixture::TearDown();
    }

    template <typename T> T* child(const char* name) { return m_window->findChild<T*>(QString::fromLatin1(name)); }

    // The demo user, verified before, signed in through the sign-in page.
    void signIn()
    {
        settings::writeVerification(QString::fromLatin1(vtxtest::VtxService::DemoAccount()));
        m_window = std::make_unique<MainWindow>();
        m_window->show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return child<QWidget>("loginButton")->isEnabled(); }, 30000));
        child<QPushButton>("loginButton")->click();
        child<QLineEdit>("userAccount")->setText(QString::fromLatin1(vtxtest::VtxService::DemoAccount()));
        child<QLineEdit>("userPassword")->setText(QString::fromLatin1(vtxtest::VtxService::DemoPassword()));
        child<QPushButton>("loginMeeting")->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return child<QWidget>("mainWidget")->isVisible(); }, 30000));
    }

    std::unique_ptr<MainWindow> m_window;
    QStringList m_relaunches;
};

TEST_F(ShellWiring, LanguageLinkBeforeSignInAndUserMenuFromThePicture)
{
    m_window = std::make_unique<MainWindow>();
    m_window->show();
    auto* link = m_window->findChild<ClickableLabel*>(QStringLiteral("label_language"));
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(link->isVisible());
    QTest::mousePress(link, Qt::LeftButton);
    QMenu* languages = shownMenu("languageMenu");
    ASSERT_NE(languages, nullptr);
    MessageBox::setAutoAnswer(MessageBox::SecondButton);
    languages->actions().at(0)->trigger();
    EXPECT_EQ(settings::readLanguageId(), 0);
    EXPECT_EQ(MessageBox::answeredTexts(), QStringList{LangText("msg.changed_language")});
    EXPECT_TRUE(m_relaunches.isEmpty());

    auto* join = m_window->findChild<QWidget*>(QStringLiteral("joinButton"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return join->isEnabled(); }, 30000));
    for (const char* name : {"accountIcon", "myDisplayName", "label_pop"}) {
        QTest::mousePress(m_window->findChild<ClickableLabel*>(QString::fromLatin1(name)), Qt::LeftButton);
        QMenu* menu = shownMenu("userMenu");
        ASSERT_NE(menu, nullptr) << name;
        EXPECT_EQ(menu->actions().size(), 5);
        menu->hide();
    }
}

TEST_F(ShellWiring, PasswordChangeReplacesThePasswordAndIdTheWindowHolds)
{
    signIn();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_window->session().userId.isEmpty(); }, 30000));
    EXPECT_EQ(m_window->session().password, QString::fromLatin1(vtxtest::VtxService::DemoPassword()));
    const QString userId = m_window->session().userId;

    QString seenUserId = QStringLiteral("no dialog");
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<ModifyPassword*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        seenUserId = dialog->userId();
        dialog->findChild<QLineEdit*>(QStringLiteral("curPassword"))->setText(vtxtest::VtxService::DemoPassword());
        dialog->findChild<QLineEdit*>(QStringLiteral("newPassword"))->setText(QStringLiteral("secret99"));
        dialog->findChild<QLineEdit*>(QStringLiteral("comfirmPassword"))->setText(QStringLiteral("secret99"));
        dialog->findChild<QPushButton*>(QStringLiteral("pushButton_ok"))->click();
    });
    m_window->on_modifyPassword();
    EXPECT_EQ(seenUserId, userId); // the profile's id reached the dialog; no second fetch
    EXPECT_EQ(m_window->session().password, QStringLiteral("secret99"));
}

TEST_F(ShellWiring, MandatoryUpdateClosesTheWindowFromTheJoinPage)
{
    signIn();
    child<QPushButton>("joinTheMeeting")->click();
    ASSERT_TRUE(child<QWidget>("joinWidget")->isVisible());

    answerVersion("9.0.0", "0", "vtx://package/9.0.0");
    QStringList opened;
    m_window->accountRoom().setUpgradeDialogSetup([&](UpgradeDlg& dlg) {
        dlg.setDownloadFolder(vtxtest::makeTempDir(QStringLiteral("downloads")));
        dlg.setOpener([&](const QString& target) {
            opened << target;
            return true;
        });
    });
    MessageBox::setAutoAnswer(MessageBox::FirstButton);
    QSignalSpy finished(&m_window->accountRoom(), &AccountMenu::updateCheckFinished);
    ASSERT_TRUE(m_window->accountRoom().startUpdateCheck(false));
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_EQ(opened, QStringList{"vtx://package/9.0.0"});
    // The update ends this copy: no exit question, no way back to the main page.
    EXPECT_EQ(MessageBox::answeredTexts(), QStringList{LangText("msg.forcedupgrade")});
    EXPECT_FALSE(m_window->isVisible());
    EXPECT_EQ(m_relaunches.filter(QStringLiteral("cleanup")).size(), 1);
}

} // namespace
