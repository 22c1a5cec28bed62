#include "ui/MainWindow.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMetaMethod>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

#include "ClientFixture.h"
#include "app/Startup.h"
#include "base/Localization.h"
#include "base/Settings.h"
#include "platform/Paths.h"
#include "platform/Process.h"
#include "platform/Profile.h"
#include "recordings/FolderTree.h"
#include "ui/MainWindowForm.h"
#include "ui/MessageBox.h"

namespace {

using MainWindowTest = ClientFixture;

TEST_F(MainWindowTest, StartsOnTheHomePageWaitingForTheSdk)
{
    EXPECT_EQ(visiblePages(), QStringList{"homeWidget"});
    EXPECT_EQ(window().size(), QSize(680, 420));
    EXPECT_EQ(window().minimumSize(), window().maximumSize());
    for (const char* name : {"joinButton", "loginButton"}) {
        EXPECT_FALSE(child<QPushButton>(name)->isVisible()) << name;
        EXPECT_FALSE(child<QPushButton>(name)->isEnabled()) << name;
    }
    EXPECT_FALSE(child<QPushButton>("joinMeeting")->isEnabled());
    EXPECT_FALSE(child<QPushButton>("loginMeeting")->isEnabled());
    EXPECT_TRUE(child<QLabel>("loading")->isVisible());
    EXPECT_TRUE(child<QLabel>("label_version")->text().contains("1.5.0"));
    EXPECT_FALSE(child<QLabel>("label_version")->text().contains('%'));
    EXPECT_EQ(window().windowTitle(), LangText("ui.window"));
    EXPECT_FALSE(window().windowTitle().isEmpty());
}

// The start-up benchmark's floor shows the bare form with its look and captions. It is a fair floor
// only while the window adds nothing of its own to what it first shows: same widgets, pictures,
// style sheets, captions and sizes, and only the buttons the SDK gates hidden besides.
TEST_F(MainWindowTest, FirstShowsNothingButTheFormWithItsLookAndCaptions)
{
    QMainWindow bare;
    MainWindowForm form;
    form.setupUi(&bare);
    form.applyStyles(&bare, Localization::Instance()->languageId());
    form.applyTexts(&bare);

    QStringList hiddenByTheWindow;
    for (QWidget* w : bare.findChildren<QWidget*>()) {
        const QString name = w->objectName();
        if (name.isEmpty() || name.startsWith("qt_"))
            continue;
        QWidget* shown = window().findChild<QWidget*>(name);
        ASSERT_NE(shown, nullptr) << qPrintable(name);
        EXPECT_EQ(shown->geometry(), w->geometry()) << qPrintable(name);
        EXPECT_EQ(shown->styleSheet(), w->styleSheet()) << qPrintable(name);
        EXPECT_EQ(shown->accessibleName(), w->accessibleName()) << qPrintable(name);
        if (auto* label = qobject_cast<QLabel*>(w)) {
            EXPECT_EQ(static_cast<QLabel*>(shown)->text(), label->text()) << qPrintable(name);
            EXPECT_EQ(static_cast<QLabel*>(shown)->pixmap(Qt::ReturnByValue).size(),
                      label->pixmap(Qt::ReturnByValue).size())
                << qPrintable(name);
        }
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            EXPECT_EQ(static_cast<QAbstractButton*>(shown)->text(), button->text()) << qPrintable(name);
        if (shown->isVisibleTo(&window()) != w->isVisibleTo(&bare))
            hiddenByTheWindow << name;
    }
    EXPECT_EQ(hiddenByTheWindow, (QStringList{"loginButton", "joinButton"}));
    EXPECT_TRUE(child<QWidget>("homeWidget")->autoFillBackground());
    EXPECT_FALSE(form.homeWidget->palette().window().texture().isNull());
    EXPECT_EQ(child<QWidget>("homeWidget")->palette().window().texture().size(),
              form.homeWidget->palette().window().texture().size());
    EXPECT_EQ(window().windowTitle(), bare.windowTitle());
    EXPECT_EQ(window().size(), bare.size());

    // What the window shows beyond the form: the language link, whose menu needs the window.
    QStringList added;
    for (QWidget* w : window().findChildren<QWidget*>())
        if (!w->objectName().isEmpty() && !w->objectName().startsWith("qt_") && w->isVisibleTo(&window()) &&
            !bare.findChild<QWidget*>(w->objectName()))
            added << w->objectName();
    EXPECT_EQ(added, QStringList{"label_language"});
}

TEST_F(MainWindowTest, AuthenticationEnablesTheHomePage)
{
    ASSERT_TRUE(waitForAuthentication());
    EXPECT_TRUE(child<QPushButton>("loginButton")->isEnabled());
    EXPECT_TRUE(child<QPushButton>("joinMeeting")->isEnabled());
    EXPECT_TRUE(child<QPushButton>("loginMeeting")->isEnabled());
    EXPECT_FALSE(child<QLabel>("loading")->isVisible());
    EXPECT_EQ(visiblePages(), QStringList{"homeWidget"});
}

// Slots named on_<object>_<signal> are connected by name; one whose object is missing is never
// called and makes Qt warn at every start.
TEST_F(MainWindowTest, EveryNamedSlotHasItsWidget)
{
    const QMetaObject* meta = &MainWindow::staticMetaObject;
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        const QString name = QString::fromLatin1(method.name());
        if (method.methodType() != QMetaMethod::Slot || !name.startsWith("on_"))
            continue;
        const QString rest = name.mid(3);
        bool found = false;
        bool byName = false;
        for (int cut = rest.indexOf('_'); cut > 0; cut = rest.indexOf('_', cut + 1)) {
            byName = true;
            found = found || window().findChild<QObject*>(rest.left(cut)) != nullptr;
        }
        EXPECT_TRUE(!byName || found) << qPrintable(name);
    }
}

TEST_F(MainWindowTest, PublishesItsHandleForOtherCopies)
{
    const platform::WindowHandle handle = window().windowHandle();
    EXPECT_NE(handle, 0);
    EXPECT_EQ(settings::readWindowHandle(), handle);
}

TEST_F(MainWindowTest, FieldsAcceptOnlyWhatTheyShould)
{
    auto* phone = child<QLineEdit>("phoneNumber");
    QTest::keyClicks(phone, "13a8x00138000123");
    EXPECT_EQ(phone->text(), "13800138000");
    EXPECT_EQ(child<QLineEdit>("meetingID")->maxLength(), 13);
    EXPECT_EQ(child<QLineEdit>("VCode")->maxLength(), 10);
}

TEST_F(MainWindowTest, MeetingIdIsGroupedWhileTyping)
{
    auto* id = child<QLineEdit>("meetingID");
    QTest::keyClicks(id, "123");
    EXPECT_EQ(id->text(), "123");
    QTest::keyClicks(id, "4");
    EXPECT_EQ(id->text(), "123-4");
    QTest::keyClicks(id, "5678901");
    EXPECT_EQ(id->text(), "123-4567-8901");
    id->setText("12x4");
    EXPECT_EQ(id->text(), "");
}

TEST_F(MainWindowTest, RememberedPasswordOnlyWithMemory)
{
    settings::writeLogin("user@example.com", "secret", true);
    platform::writeProfileString("Login", "memory", "0", settings::configFile());
    EXPECT_EQ(child<QLineEdit>("userAccount")->text(), "user@example.com");
    EXPECT_EQ(child<QLineEdit>("userPassword")->text(), "");
    EXPECT_FALSE(child<QCheckBox>("memoryUser")->isChecked());
}

TEST_F(MainWindowTest, RememberedPasswordFillsTheField)
{
    settings::writeLogin("user@example.com", "secret", true);
    EXPECT_EQ(child<QLineEdit>("userPassword")->text(), "secret");
    EXPECT_TRUE(child<QCheckBox>("memoryUser")->isChecked());
}

TEST_F(MainWindowTest, SignInPageAndBack)
{
    ASSERT_TRUE(QMetaObject::invokeMethod(&window(), "on_loginButton_clicked"));
    EXPECT_EQ(visiblePages(), QStringList{"loginWidget"});
    EXPECT_FALSE(child<QLabel>("label_editline_1")->isVisible());
    QTest::mouseClick(child<QWidget>("backHomeL"), Qt::LeftButton);
    EXPECT_EQ(visiblePages(), QStringList{"homeWidget"});
    EXPECT_EQ(window().size(), QSize(680, 420));
}

TEST_F(MainWindowTest, EnterOnTheHomePageDoesNothing)
{
    QTest::keyClick(&window(), Qt::Key_Return);
    QTest::keyClick(&window(), Qt::Key_Enter);
    EXPECT_EQ(visiblePages(), QStringList{"homeWidget"});
}

TEST_F(MainWindowTest, JoinMessageTakesTheNumberFromTheSettingsFile)
{
    const platform::WindowHandle handle = window().windowHandle();
    settings::writeJoinId(98765432101LL);
    ASSERT_TRUE(platform::postMessage(handle, platform::kMsgJoinMeeting, 0, 0));
    QTRY_COMPARE(window().pendingMeetingId(), QString("98765432101"));
    EXPECT_EQ(platform::readProfileString("Join", "ID", "", 64, settings::configFile()), "0");
}

TEST_F(MainWindowTest, JoinMessageWithoutANumberDoesNothing)
{
    const platform::WindowHandle handle = window().windowHandle();
    settings::writeJoinId(0);
    ASSERT_TRUE(platform::postMessage(handle, platform::kMsgJoinMeeting, 0, 0));
    QTest::qWait(100);
    EXPECT_EQ(window().pendingMeetingId(), QString());
    EXPECT_EQ(visiblePages(), QStringList{"homeWidget"});
}

TEST_F(MainWindowTest, JoinRequestOnTheSignInPageWaits)
{
    ASSERT_TRUE(QMetaObject::invokeMethod(&window(), "on_loginButton_clicked"));
    emit window().notifyJoinMeeting(4242424242ULL);
    EXPECT_EQ(window().pendingMeetingId(), "4242424242");
    EXPECT_EQ(visiblePages(), QStringList{"loginWidget"});
}

TEST_F(MainWindowTest, DecliningTheExitQuestionKeepsTheClientRunning)
{
    MessageBox::setAutoAnswer(MessageBox::SecondButton);
    EXPECT_FALSE(window().close());
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(MessageBox::answeredTexts(), QStringList{LangText("msg.exit_request")});
    EXPECT_TRUE(m_relaunches.isEmpty());
    EXPECT_FALSE(window().windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(MainWindowTest, AcceptingTheExitQuestionStartsTheWatchdogOnce)
{
    MessageBox::setAutoAnswer(MessageBox::FirstButton);
    EXPECT_TRUE(window().close());
    const QString expected = QString("cleanup %1").arg(platform::currentProcessId());
    EXPECT_EQ(m_relaunches, QStringList{expected});
    window().tearDown();
    EXPECT_EQ(m_relaunches.size(), 1);
}

TEST_F(MainWindowTest, RelaunchingClosesWithoutAsking)
{
    MessageBox::setAutoAnswer(MessageBox::SecondButton);
    startup::setRestarting(true);
    EXPECT_TRUE(window().close());
    EXPECT_TRUE(MessageBox::answeredTexts().isEmpty());
    EXPECT_EQ(m_relaunches.size(), 1);
}

} // namespace
