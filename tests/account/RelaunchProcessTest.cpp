// Sign-out and the language change end in a relaunch; here the relaunched copy is the real VTX
// program in a child process, with this test's private folders and service.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <QWidget>

#include "AccountTestSupport.h"
#include "base/Lifecycle.h"
#include "base/Settings.h"
#include "platform/NamedMutex.h"
#include "platform/WindowMessage.h"
#include "recordings/FolderTree.h"
#include "support/VtxChildren.h"
#include "ui/AccountMenu.h"
#include "ui/MessageBox.h"

namespace {

class RelaunchProcess : public accounttest::ServiceFixture
{
protected:
    void SetUp() override
    {
        ServiceFixture::SetUp();
        removeFolderTree(settings::dataFolder().toStdString());
        m_children = std::make_unique<vtxtest::VtxChildren>(QStringLiteral(VTX_BINARY), *m_service);
        m_window = std::make_unique<QWidget>();
        m_window->show();
        AccountMenuHost host;
        host.window = m_window.get();
        host.signedIn = [] { return true; };
        m_room = std::make_unique<AccountMenu>(host);
    }
    void TearDown() override
    {
        m_room.reset();
        m_window.reset();
        m_children.reset();
        MessageBox::clearAutoAnswer();
        startup::setRelaunchHandler(nullptr);
        startup::setRestarting(false);
        ServiceFixture::TearDown();
    }

    QProcess* startVtx(const QStringList& args) { return m_children->start(args); }
    QString boxes() const { return m_children->boxes(); }
    // Starts VTX while the single-instance lock is held and no window answers: the copy says in its
    // own language that VTX is already running, and ends.
    QString languageOfNextStart()
    {
        m_children->clearBoxes();
        platform::NamedMutex lock(startup::kInstanceLockName);
        settings::writeWindowHandle(0);
        QProcess* vtx = startVtx({});
        EXPECT_TRUE(vtx->waitForFinished(30000));
        return boxes();
    }

    std::unique_ptr<QWidget> m_window;
    std::unique_ptr<AccountMenu> m_room;
    std::unique_ptr<vtxtest::VtxChildren> m_children;
};

TEST_F(RelaunchProcess, NextStartUsesTheChosenLanguageEvenAfterNo)
{
    ASSERT_TRUE(accounttest::loadLanguage(0));
    const QString chinese = LangText("msg.already_running");
    ASSERT_TRUE(accounttest::loadLanguage(1));
    const QString english = LangText("msg.already_running");
    ASSERT_NE(chinese, english);

    EXPECT_TRUE(languageOfNextStart().contains(chinese)) << boxes().toStdString();

    MessageBox::setAutoAnswer(MessageBox::SecondButton);
    startup::setRelaunchHandler([](const QStringList&) {
        ADD_FAILURE() << "declined, yet relaunched";
        return false;
    });
    m_room->setLanguage(1);
    EXPECT_TRUE(m_window->isVisible());
    EXPECT_TRUE(languageOfNextStart().contains(english)) << boxes().toStdString();

    m_room->setLanguage(0);
    EXPECT_TRUE(languageOfNextStart().contains(chinese)) << boxes().toStdString();
}

TEST_F(RelaunchProcess, SignOutStartsACopyThatWaitsForTheOldClientAndTakesOver)
{
    // The old client's lock, still held while it shuts down.
    auto oldLock = std::make_unique<platform::NamedMutex>(startup::kInstanceLockName);
    QProcess oldClient; // stands in for the old process whose end the new copy waits for
    oldClient.start(QStringLiteral("sleep"), {QStringLiteral("1")});
    ASSERT_TRUE(oldClient.waitForStarted());

    QStringList given;
    startup::setRelaunchHandler([&](const QStringList& args) {
        given = args;
        // This test process must not be the one waited for: it would be ended after 15 s.
        QStringList forChild = args;
        if (forChild.size() == 2)
            forChild[1] = QString::number(oldClient.processId());
        return startVtx(forChild) != nullptr;
    });
    m_room->createMenus();
    MessageBox::setAutoAnswer(MessageBox::FirstButton);
    m_room->signOut();
    ASSERT_EQ(given.size(), 2);
    EXPECT_EQ(given.at(0), QStringLiteral("goto_login_ui"));
    EXPECT_EQ(given.at(1).toLongLong(), QCoreApplication::applicationPid());
    ASSERT_EQ(m_children->processes().size(), 1u);

    oldClient.waitForFinished(5000);
    QThread::msleep(1000);
    oldLock.reset(); // the old client has gone

    EXPECT_NE(vtxtest::VtxChildren::waitForRegisteredWindow(30000), 0);
    // A copy started in the ordinary role would have reported "already running" and ended.
    EXPECT_EQ(m_children->processes().front()->state(), QProcess::Running);
    EXPECT_EQ(boxes(), QString());
    EXPECT_TRUE(platform::NamedMutex::IsHeld(startup::kInstanceLockName));
}

} // namespace
