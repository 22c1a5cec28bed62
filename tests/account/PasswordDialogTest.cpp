// The password dialog: its local rules, then the whole change against vtx-service, with the
// settings file watched byte for byte.

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <thread>

#include "AccountTestSupport.h"
#include "base/Settings.h"
#include "net/AccountApi.h"
#include "recordings/FolderTree.h"
#include "ui/ModifyPassword.h"
#include "ui/TipsDlg.h"

namespace {

struct PasswordForm
{
    explicit PasswordForm(ModifyPassword& dialog)
        : dlg(dialog)
    {
        dlg.show();
    }
    void fill(const QString& current, const QString& newPassword, const QString& confirm)
    {
        field("curPassword")->setText(current);
        field("newPassword")->setText(newPassword);
        field("comfirmPassword")->setText(confirm);
    }
    QLineEdit* field(const char* name) { return dlg.findChild<QLineEdit*>(QString::fromLatin1(name)); }
    QLabel* label(const char* name) { return dlg.findChild<QLabel*>(QString::fromLatin1(name)); }
    void ok() { dlg.findChild<QPushButton*>(QStringLiteral("pushButton_ok"))->click(); }
    QString error() { return label("errorInfo")->isVisible() ? label("errorInfo")->text() : QString(); }
    QStringList marks()
    {
        QStringList shown;
        for (const char* name : {"label_editline_1", "label_editline_2", "label_editline_3"})
            if (label(name)->isVisible())
                shown << QString::fromLatin1(name);
        return shown;
    }

    ModifyPassword& dlg;
};

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Tip boxes still on screen with this text.
int tipsSaying(const QString& text)
{
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* tip = qobject_cast<TipsDlg*>(w); tip && tip->isVisible() && tip->text() == text)
            ++count;
    return count;
}

TEST(PasswordRules, LocalChecksComeInOrderAndNameTheField)
{
    ASSERT_TRUE(accounttest::loadLanguage(1));
    struct Case
    {
        QString current, newPassword, confirm;
        const char* message;
        const char* mark;
    };
    const Case cases[] = {
        {"", "", "", "ui.pwd.length_err", "label_editline_2"},
        {"", "abcde", "abcde", "ui.pwd.length_err", "label_editline_2"}, // only the first fault is named
        {"old", "密码密码密", "密码密码密", "ui.pwd.length_err", "label_editline_2"},
        {"old", "abcdef", "abcdeF", "ui.pwd.match_err", "label_editline_3"},
        {"old", "abcdef", "", "ui.pwd.match_err", "label_editline_3"},
        {"", "abcdef", "abcdef", "ui.pwd.input_empty", "label_editline_1"},
        {"", "密码密码密码", "密码密码密码", "ui.pwd.input_empty", "label_editline_1"},
    };
    for (const Case& c : cases) {
        ModifyPassword dlg(QStringLiteral("demo@vtx.local"), QStringLiteral("1"));
        PasswordForm form(dlg);
        form.fill(c.current, c.newPassword, c.confirm);
        form.ok();
        EXPECT_EQ(form.error(), LangText(c.message)) << c.message << " " << c.newPassword.toStdString();
        EXPECT_EQ(form.marks(), QStringList{QString::fromLatin1(c.mark)}) << c.message;
        EXPECT_TRUE(dlg.isVisible());
        // Entries stay as typed so the user can correct them.
        EXPECT_EQ(form.field("newPassword")->text(), c.newPassword);
    }
}

TEST(PasswordRules, NewPasswordsStopAtSixteenCharactersTheCurrentOneDoesNot)
{
    ASSERT_TRUE(accounttest::loadLanguage(0));
    ModifyPassword dlg{QString(), QString()};
    PasswordForm form(dlg);
    const QString seventeen(17, QLatin1Char('k'));
    for (const char* name : {"newPassword", "comfirmPassword"}) {
        QTest::keyClicks(form.field(name), seventeen);
        EXPECT_EQ(form.field(name)->text(), seventeen.left(16)) << name;
        EXPECT_EQ(form.field(name)->echoMode(), QLineEdit::Password);
    }
    QTest::keyClicks(form.field("curPassword"), QString(40, QLatin1Char('c')));
    EXPECT_EQ(form.field("curPassword")->text().size(), 40);
    EXPECT_EQ(dlg.windowTitle(), LangText("ui.window"));
    EXPECT_EQ(form.field("curPassword")->placeholderText(), LangText("ui.pwd_length"));
}

class PasswordChange : public accounttest::ServiceFixture
{
protected:
    void SetUp() override
    {
        ServiceFixture::SetUp();
        removeFolderTree(settings::dataFolder().toStdString());
        const auto profile = net::fetchUserProfile(kAccount);
        ASSERT_TRUE(profile);
        m_userId = profile->id;
    }

    const QString kAccount = QString::fromLatin1(vtxtest::VtxService::DemoAccount());
    const QString kPassword = QString::fromLatin1(vtxtest::VtxService::DemoPassword());
    QString m_userId;
};

TEST_F(PasswordChange, NotRememberedPasswordNeverReachesTheSettingsFile)
{
    settings::writeLogin(kAccount, QString(), false);
    const QByteArray before = fileBytes(settings::configFile());
    const QString next = QStringLiteral("新\"pass'1");

    ModifyPassword dlg(kAccount, m_userId);
    QSignalSpy changed(&dlg, &ModifyPassword::passwordChanged);
    PasswordForm form(dlg);
    form.fill(kPassword, next, next);
    form.ok();

    ASSERT_EQ(changed.count(), 1) << form.error().toStdString();
    EXPECT_EQ(changed.at(0).at(0).toString(), next);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(fileBytes(settings::configFile()), before);
    EXPECT_EQ(tipsSaying(LangText("ui.pwd.success")), 1);
    // The service took the new password.
    EXPECT_TRUE(net::changePassword(m_userId, kPassword, next).changed);
}

TEST_F(PasswordChange, RememberedPasswordIsRewrittenAndTheUserIdFetchedWhenMissing)
{
    settings::writeLogin(kAccount, kPassword, true);
    ModifyPassword dlg(kAccount, QString());
    QSignalSpy fetched(&dlg, &ModifyPassword::userIdFetched);
    PasswordForm form(dlg);
    form.fill(kPassword, QStringLiteral("abcdef"), QStringLiteral("abcdef"));
    form.ok();

    ASSERT_EQ(fetched.count(), 1) << form.error().toStdString();
    EXPECT_EQ(fetched.at(0).at(0).toString(), m_userId);
    const settings::Login login = settings::readLogin();
    EXPECT_EQ(login.password, QStringLiteral("abcdef"));
    EXPECT_EQ(login.account, kAccount);
    EXPECT_TRUE(login.memory);
}

TEST_F(PasswordChange, RefusalShowsTheServiceWordsAndChangesNothing)
{
    settings::writeLogin(kAccount, kPassword, true);
    const QByteArray before = fileBytes(settings::configFile());
    ModifyPassword dlg(kAccount, m_userId);
    QSignalSpy changed(&dlg, &ModifyPassword::passwordChanged);
    PasswordForm form(dlg);
    form.fill(QStringLiteral("wrong-one"), QStringLiteral("abcdefgh"), QStringLiteral("abcdefgh"));
    form.ok();

    EXPECT_EQ(changed.count(), 0);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(dlg.isEnabled());
    EXPECT_FALSE(form.error().isEmpty());
    EXPECT_NE(form.error(), LangText("ui.pwd.post_err")); // the service said why
    EXPECT_FALSE(form.label("waiting")->isVisible());
    EXPECT_EQ(form.field("curPassword")->text(), QStringLiteral("wrong-one"));
    EXPECT_EQ(fileBytes(settings::configFile()), before);

    // An account the service does not know has no user id to send.
    ModifyPassword stranger(QStringLiteral("nobody@vtx.local"), QString());
    PasswordForm strangerForm(stranger);
    strangerForm.fill(kPassword, QStringLiteral("abcdefgh"), QStringLiteral("abcdefgh"));
    strangerForm.ok();
    EXPECT_EQ(strangerForm.error(), LangText("ui.getuserinfo_err"));
}

class PasswordAgainstBrokenService : public accounttest::BrokenServiceFixture
{
protected:
    PasswordAgainstBrokenService()
        : BrokenServiceFixture("Service Unavailable", "text/plain")
    {}
    void SetUp() override
    {
        ASSERT_TRUE(accounttest::loadLanguage(1));
        removeFolderTree(settings::dataFolder().toStdString());
        BrokenServiceFixture::SetUp();
    }
};

TEST_F(PasswordAgainstBrokenService, NonJsonAnswerIsTheGeneralFailure)
{
    ModifyPassword dlg(QStringLiteral("demo@vtx.local"), QStringLiteral("10001"));
    PasswordForm form(dlg);
    form.fill(QStringLiteral("old"), QStringLiteral("abcdef"), QStringLiteral("abcdef"));
    form.ok();
    EXPECT_EQ(form.error(), LangText("ui.pwd.post_err"));
    EXPECT_TRUE(dlg.isEnabled());
}

TEST_F(PasswordAgainstBrokenService, SilentServiceEndsInAMessageAndTheWindowKeepsPainting)
{
    net::setRequestTimeouts(0, 1500);
    ModifyPassword dlg(QStringLiteral("demo@vtx.local"), QString());
    PasswordForm form(dlg);
    form.fill(QStringLiteral("old"), QStringLiteral("abcdef"), QStringLiteral("abcdef"));

    // Events keep flowing while the request waits: the animation and the rest of the program live on.
    int ticks = 0;
    bool disabledWhileWaiting = false;
    bool triedToClose = false;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        ++ticks;
        if (!dlg.isEnabled() && form.label("waiting")->isVisible()) {
            disabledWhileWaiting = true;
            triedToClose = dlg.close() || true;
        }
    });
    ticker.start(50);
    const auto started = std::chrono::steady_clock::now();
    form.ok();
    const auto waited = std::chrono::steady_clock::now() - started;

    EXPECT_EQ(form.error(), LangText("ui.getuserinfo_err"));
    EXPECT_LT(waited, std::chrono::seconds(5));
    EXPECT_GE(ticks, 10);
    EXPECT_TRUE(disabledWhileWaiting);
    EXPECT_TRUE(dlg.isEnabled());
    // Closing while the request runs is refused: the answer still has to be handled.
    EXPECT_TRUE(triedToClose);
    EXPECT_TRUE(dlg.isVisible());
}

} // namespace
