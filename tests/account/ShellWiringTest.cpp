// The main window's slots reach the account room: the home page's language link before sign-in, the
// user menu from the picture and the name once the SDK has authenticated the application.

#include <QApplication>
#include <QMenu>
#include <QTest>

#include "AccountTestSupport.h"
#include "base/Lifecycle.h"
#include "base/Settings.h"
#include "recordings/FolderTree.h"
#include "ui/ClickableLabel.h"
#include "ui/MainWindow.h"
#include "ui/MessageBox.h"

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

} // namespace
