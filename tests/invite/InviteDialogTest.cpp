// The invite dialog and its three pages, against a vtx-service of the test's own.

#include "ui/invite/InviteDialog.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "InviteSupport.h"
#include "base/Localization.h"
#include "platform/Paths.h"
#include "support/TestEnvironment.h"
#include "ui/invite/EmailInvite.h"
#include "ui/invite/UrlInvite.h"
#include "ui/schedule/Invitation.h"

namespace {

class InviteDialogTest : public InviteFixture
{
protected:
    explicit InviteDialogTest(bool withService = true)
        : InviteFixture(withService)
    {}
    InviteMeeting meeting(quint64 number, const QString& topic = QStringLiteral("Orvo weekly"))
    {
        InviteMeeting m;
        m.number = number;
        m.joinUrl = QStringLiteral("https://join.example.com/j/%1?pwd=secret").arg(number);
        m.topic = topic;
        m.password = "secret";
        m.startTime = "2026-12-09 20:30:00";
        m.duration = 45;
        m.inviter = QStringLiteral("Wang");
        return m;
    }
    QWidget* page(InviteDialog& dlg, const char* name) { return dlg.findChild<QWidget*>(QString::fromLatin1(name)); }
    template <typename T> T* on(InviteDialog& dlg, const char* pageName, const char* name)
    {
        QWidget* p = page(dlg, pageName);
        EXPECT_NE(p, nullptr) << pageName;
        T* child = p ? p->findChild<T*>(QString::fromLatin1(name)) : nullptr;
        EXPECT_NE(child, nullptr) << pageName << "/" << name;
        return child;
    }
    QLabel* notice(InviteDialog& dlg, const char* pageName) { return on<QLabel>(dlg, pageName, "errorInfo"); }
    QLineEdit* addressInput(InviteDialog& dlg)
    {
        QLineEdit* input = on<QLineEdit>(dlg, "EmailInvite", "addressInput");
        // The field shows half a second after the page.
        EXPECT_TRUE(QTest::qWaitFor([input] { return input && input->isVisible(); }, 5000));
        return input;
    }
    void clickTab(InviteDialog& dlg, const char* name)
    {
        QTest::mouseClick(dlg.findChild<QWidget*>(QString::fromLatin1(name)), Qt::LeftButton);
    }
    QStringList visiblePages(InviteDialog& dlg)
    {
        QStringList shown;
        for (const char* name : {"EmailInvite", "WeixinInvite", "UrlInvite"})
            if (page(dlg, name)->isVisible())
                shown << name;
        return shown;
    }
};

// The same without a service: no short link, no mail.
class OfflineInviteDialog : public InviteDialogTest
{
protected:
    OfflineInviteDialog()
        : InviteDialogTest(false)
    {}
};

TEST_F(InviteDialogTest, ShowsTheShortLinkOrKeepsTheJoinLinkWhenThereIsNone)
{
    const quint64 number = runningMeeting();
    InviteDialog dlg(nullptr, meeting(number));
    dlg.show();
    EXPECT_EQ(visiblePages(dlg), QStringList{"EmailInvite"});
    const QString link = on<QLineEdit>(dlg, "UrlInvite", "lineEdit_URL")->text();
    EXPECT_TRUE(link.startsWith(QString::fromStdString(m_service->BaseUrl() + "/s/"))) << link.toStdString();
    EXPECT_EQ(dlg.link(), link);

    // An unknown meeting has no short link: the SDK's link stays usable.
    dlg.reinit(meeting(98765432101ull));
    EXPECT_EQ(on<QLineEdit>(dlg, "UrlInvite", "lineEdit_URL")->text(),
              QStringLiteral("https://join.example.com/j/98765432101?pwd=secret"));
}

TEST_F(OfflineInviteDialog, TopicGetsOurNameForTheVendorsEverywhere)
{
    EXPECT_EQ(InviteDialog::brandedTopic(QStringLiteral("Orvo meeting of Orvo users")),
              QStringLiteral("VTX meeting of VTX users"));
    EXPECT_EQ(InviteDialog::brandedTopic(QStringLiteral("Weekly")), QStringLiteral("Weekly"));

    // A pack without the vendor's name leaves topics alone (and does not stall).
    const QString pack = vtxtest::makeTempDir(QStringLiteral("pack")) + QStringLiteral("/xx.ini");
    QFile file(pack);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("ui.window=VTX\n");
    file.close();
    Localization::Instance()->resetForTest();
    ASSERT_EQ(Localization::Instance()->Load(1, pack), 0);
    EXPECT_EQ(InviteDialog::brandedTopic(QStringLiteral("Orvo")), QStringLiteral("Orvo"));
}

TEST_F(OfflineInviteDialog, TabsShowExactlyOnePageAndClosingOnlyHides)
{
    InviteDialog dlg(nullptr, meeting(98765432101ull));
    dlg.show();
    clickTab(dlg, "label_weixin");
    EXPECT_EQ(visiblePages(dlg), QStringList{"WeixinInvite"});
    clickTab(dlg, "label_link");
    EXPECT_EQ(visiblePages(dlg), QStringList{"UrlInvite"});
    EXPECT_TRUE(dlg.findChild<QWidget*>("label_link")->styleSheet().contains("rgb(24,144,255);}QLabel:hover"));
    EXPECT_TRUE(dlg.findChild<QWidget*>("label_email")->styleSheet().contains("rgb(0,0,0)"));

    on<QPushButton>(dlg, "UrlInvite", "pushButton_ok")->click();
    QTRY_VERIFY(!dlg.isVisible());
    dlg.show();
    dlg.close();
    EXPECT_FALSE(dlg.isVisible());
    // Still whole and usable after closing.
    dlg.show();
    clickTab(dlg, "label_email");
    EXPECT_EQ(visiblePages(dlg), QStringList{"EmailInvite"});
}

TEST_F(OfflineInviteDialog, EnterInTheAddressFieldMakesATagAndKeepsTheDialogOpen)
{
    InviteDialog dlg(nullptr, meeting(98765432101ull));
    dlg.show();
    QLineEdit* input = addressInput(dlg);
    QTest::keyClicks(input, QStringLiteral("a@example.com"));
    // A dialog takes an unhandled Enter as a click of its default button, which would close it.
    QTest::keyClick(input, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(page(dlg, "EmailInvite")->findChildren<QWidget*>("addressTag").size(), 1);
    EXPECT_TRUE(input->text().isEmpty());
}

TEST_F(OfflineInviteDialog, CopyNoticeLastsTwoSecondsAfterTheLastCopy)
{
    InviteDialog dlg(nullptr, meeting(98765432101ull));
    dlg.show();
    clickTab(dlg, "label_link");
    QLabel* info = notice(dlg, "UrlInvite");
    auto* copy = on<QPushButton>(dlg, "UrlInvite", "pushButton_copy");
    EXPECT_FALSE(info->isVisible());
    copy->click();
    EXPECT_EQ(QApplication::clipboard()->text(), dlg.link());
    EXPECT_TRUE(info->isVisible());
    EXPECT_EQ(info->text(), LangText("ui.link.finished"));
    QTest::qWait(700);
    copy->click();
    QElapsedTimer sinceSecond;
    sinceSecond.start();
    EXPECT_TRUE(info->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!info->isVisible(), 5000);
    // Coarse timers may fire up to 5 % early.
    EXPECT_GE(sinceSecond.elapsed(), 1900);
}

// Each tab label and the page it shows.
const std::pair<const char*, const char*> kTabs[] = {
    {"label_email", "EmailInvite"}, {"label_weixin", "WeixinInvite"}, {"label_link", "UrlInvite"}};

TEST_F(OfflineInviteDialog, TheMarkerSitsCentredUnderTheChosenTab)
{
    InviteDialog dlg(nullptr, meeting(98765432101ull));
    dlg.show();
    for (const auto& [tab, name] : kTabs) {
        clickTab(dlg, tab);
        auto* flag = on<QLabel>(dlg, name, "label_flag");
        ASSERT_NE(flag, nullptr);
        ASSERT_TRUE(flag->isVisible()) << name;
        // The drawn part of the picture, in the dialog's coordinates.
        const QImage picture = flag->pixmap(Qt::ReturnByValue).toImage();
        int left = picture.width(), right = -1;
        for (int x = 0; x < picture.width(); ++x)
            for (int y = 0; y < picture.height(); ++y)
                if (qAlpha(picture.pixel(x, y)) > 128) {
                    left = qMin(left, x);
                    right = qMax(right, x);
                }
        ASSERT_GE(right, left) << name;
        const double drawnCentre = flag->mapTo(&dlg, QPoint(0, 0)).x() + (left + right + 1) / 2.0;
        const QRect label = dlg.findChild<QWidget*>(QString::fromLatin1(tab))->geometry();
        EXPECT_NEAR(drawnCentre, label.x() + label.width() / 2.0, 2.0) << name;
    }
}

// English captions are longer than the Chinese ones the pages were drawn for: none is cut, and no
// button, field or notice lies over another.
TEST_F(OfflineInviteDialog, EveryCaptionFitsAndNothingOverlaps)
{
    InviteDialog dlg(nullptr, meeting(98765432101ull));
    dlg.show();
    for (const auto& [tab, name] : kTabs) {
        clickTab(dlg, tab);
        QWidget* p = page(dlg, name);
        QList<QWidget*> parts;
        for (QPushButton* b : p->findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly)) {
            EXPECT_GE(b->width(), b->sizeHint().width()) << name << ' ' << b->text().toStdString();
            EXPECT_TRUE(p->rect().contains(b->geometry())) << name << ' ' << b->objectName().toStdString();
            parts << b;
        }
        // The copy button sits on the link field's right border.
        if (auto* url = p->findChild<QLineEdit*>(QStringLiteral("lineEdit_URL")))
            EXPECT_LE(url->geometry().right(), p->findChild<QPushButton*>(QStringLiteral("pushButton_copy"))->x());
        parts << notice(dlg, name);
        for (int i = 0; i < parts.size(); ++i)
            for (int j = i + 1; j < parts.size(); ++j)
                EXPECT_FALSE(parts[i]->geometry().intersects(parts[j]->geometry()))
                    << name << ' ' << parts[i]->objectName().toStdString() << " / "
                    << parts[j]->objectName().toStdString();
    }
}

TEST_F(OfflineInviteDialog, CopyWithoutALinkDoesNothing)
{
    InviteMeeting m = meeting(98765432101ull);
    m.joinUrl.clear();
    InviteDialog dlg(nullptr, m);
    dlg.show();
    clickTab(dlg, "label_link");
    QApplication::clipboard()->setText(QStringLiteral("before"));
    on<QPushButton>(dlg, "UrlInvite", "pushButton_copy")->click();
    on<QPushButton>(dlg, "UrlInvite", "pushButton_copyInvitation")->click();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("before"));
    EXPECT_FALSE(notice(dlg, "UrlInvite")->isVisible());
}

TEST_F(OfflineInviteDialog, CopiedInvitationHoldsEveryValueOfTheMeeting)
{
    InviteDialog dlg(nullptr, meeting(98765432101ull));
    dlg.show();
    clickTab(dlg, "label_link");
    on<QPushButton>(dlg, "UrlInvite", "pushButton_copyInvitation")->click();
    EXPECT_EQ(QApplication::clipboard()->text(),
              QStringLiteral("Wang invites you to a VTX meeting.\r\n\r\n"
                             "Topic: VTX weekly\r\n"
                             "Time: 2026-12-09 20:30 (Beijing time)\r\n\r\n"
                             "Meeting ID: 98765432101\r\n"
                             "Password: secret\r\n"
                             "Join link: https://join.example.com/j/98765432101?pwd=secret\r\n"));
    EXPECT_EQ(notice(dlg, "UrlInvite")->text(), LangText("ui.link.invitation_copied"));

    // Without inviter, time or password those lines are left out, not printed empty.
    InvitationParts bare;
    bare.number = 1;
    bare.link = QStringLiteral("L");
    bare.blankLineAfterPassword = false;
    EXPECT_EQ(invitationText(bare), QStringLiteral("Meeting ID: 1\r\nJoin link: L\r\n"));
}

TEST_F(InviteDialogTest, QrPageDrawsTheCurrentLinkOrSaysThereIsNone)
{
    InviteMeeting m = meeting(98765432101ull);
    m.joinUrl.clear();
    InviteDialog dlg(nullptr, m);
    dlg.show();
    clickTab(dlg, "label_weixin");
    auto* picture = on<QLabel>(dlg, "WeixinInvite", "label_qrcode");
    EXPECT_TRUE(notice(dlg, "WeixinInvite")->isVisible());
    EXPECT_EQ(notice(dlg, "WeixinInvite")->text(), LangText("ui.weixin.failed"));
    EXPECT_TRUE(!picture->pixmap() || picture->pixmap()->isNull());

    // A long join link with a password, then a service short link.
    m.joinUrl = QStringLiteral("https://join.example.com/j/98765432101?pwd=") + QString(200, QLatin1Char('k'));
    dlg.reinit(m);
    clickTab(dlg, "label_weixin");
    EXPECT_FALSE(notice(dlg, "WeixinInvite")->isVisible());
    EXPECT_EQ(decodeQr(picture->grab().toImage()), std::optional<QByteArray>(m.joinUrl.toUtf8()));

    const quint64 number = runningMeeting();
    dlg.reinit(meeting(number));
    EXPECT_EQ(visiblePages(dlg), QStringList{"EmailInvite"});
    clickTab(dlg, "label_weixin");
    EXPECT_TRUE(dlg.link().contains("/s/"));
    EXPECT_EQ(decodeQr(picture->grab().toImage()), std::optional<QByteArray>(dlg.link().toUtf8()));
}

TEST_F(InviteDialogTest, EmailGoesOutOncePerAddressWithTheMeetingsValues)
{
    const quint64 number = runningMeeting();
    InviteDialog dlg(nullptr, meeting(number));
    dlg.show();
    QTest::keyClicks(addressInput(dlg), QStringLiteral("one@example.com,,two@example.com"));
    on<QPushButton>(dlg, "EmailInvite", "pushButton_invite")->click();
    EXPECT_EQ(notice(dlg, "EmailInvite")->text(), LangText("ui.email.success"));
    EXPECT_TRUE(notice(dlg, "EmailInvite")->isVisible());
    const std::vector<std::string> mails = outboxMails(*m_service);
    ASSERT_EQ(mails.size(), 2u);
    for (const std::string& mail : mails) {
        EXPECT_NE(mail.find("Topic: VTX weekly"), std::string::npos) << mail;
        EXPECT_NE(mail.find("Duration: 45 minutes"), std::string::npos) << mail;
        EXPECT_NE(mail.find("Password: secret"), std::string::npos) << mail;
    }
    QTRY_VERIFY_WITH_TIMEOUT(!notice(dlg, "EmailInvite")->isVisible(), 5000);

    // Another meeting: the field is empty again and the mail carries the new values.
    const quint64 second = m_peer->startMeeting();
    ASSERT_NE(second, 0u);
    InviteMeeting next = meeting(second, QStringLiteral("Second"));
    next.password = "other";
    dlg.reinit(next);
    on<QPushButton>(dlg, "EmailInvite", "pushButton_invite")->click();
    EXPECT_EQ(notice(dlg, "EmailInvite")->text(), LangText("ui.email.noinput"));
    QTest::keyClicks(addressInput(dlg), QStringLiteral("three@example.com"));
    on<QPushButton>(dlg, "EmailInvite", "pushButton_invite")->click();
    const std::vector<std::string> all = outboxMails(*m_service);
    ASSERT_EQ(all.size(), 3u);
    const std::string& newest = all.back().find("three@") != std::string::npos ? all.back() : all.front();
    EXPECT_NE(newest.find("Topic: Second"), std::string::npos) << newest;
    EXPECT_NE(newest.find("Password: other"), std::string::npos) << newest;
    EXPECT_NE(newest.find(std::to_string(second)), std::string::npos) << newest;
}

TEST_F(InviteDialogTest, BadAddressesAreRefusedBeforeAnythingIsSent)
{
    const quint64 number = runningMeeting();
    InviteDialog dlg(nullptr, meeting(number));
    dlg.show();
    QLineEdit* input = addressInput(dlg);
    auto* invite = on<QPushButton>(dlg, "EmailInvite", "pushButton_invite");
    invite->click();
    EXPECT_EQ(notice(dlg, "EmailInvite")->text(), LangText("ui.email.noinput"));

    // The second address is wrong; the first is not sent either.
    QTest::keyClicks(input, QStringLiteral("good@example.com,bad@,"));
    invite->click();
    EXPECT_EQ(notice(dlg, "EmailInvite")->text(), LangText("ui.email.format"));

    dlg.reinit(meeting(number));
    QTest::keyClicks(input, QStringLiteral("a@example.com;evil@example.com"));
    invite->click();
    EXPECT_EQ(notice(dlg, "EmailInvite")->text(), LangText("ui.email.format"));

    dlg.reinit(meeting(number));
    input->insert(QString(5000, QLatin1Char('a')) + QStringLiteral("@example.com"));
    invite->click();
    EXPECT_EQ(notice(dlg, "EmailInvite")->text(), LangText("ui.email.format"));
    EXPECT_TRUE(outboxMails(*m_service).empty());
}

TEST_F(InviteDialogTest, ServiceRefusalShowsItsReasonAndKeepsTheAddresses)
{
    const quint64 number = runningMeeting();
    InviteDialog dlg(nullptr, meeting(number));
    dlg.show();
    QLineEdit* input = addressInput(dlg);
    QString many;
    for (int i = 0; i < 200; ++i)
        many += QStringLiteral("person%1@example.com,").arg(i);
    input->insert(many);
    QTest::keyClicks(input, QStringLiteral(","));
    auto* invite = on<QPushButton>(dlg, "EmailInvite", "pushButton_invite");
    invite->click();
    const QString text = notice(dlg, "EmailInvite")->text();
    EXPECT_TRUE(text.contains(QStringLiteral("50"))) << text.toStdString();
    EXPECT_TRUE(outboxMails(*m_service).empty());
    EXPECT_EQ(page(dlg, "EmailInvite")->findChildren<QWidget*>("addressTag").size(), 200);

    m_service->Stop();
    invite->click();
    EXPECT_EQ(notice(dlg, "EmailInvite")->text(), LangText("ui.email.post_err"));
}

TEST_F(OfflineInviteDialog, DuplicateNoticeRestartsItsTwoSecondsEveryTime)
{
    InviteDialog dlg(nullptr, meeting(98765432101ull));
    dlg.show();
    QLineEdit* input = addressInput(dlg);
    QLabel* info = notice(dlg, "EmailInvite");
    QTimer* timer = page(dlg, "EmailInvite")->findChild<QTimer*>();
    ASSERT_NE(timer, nullptr);
    QTest::keyClicks(input, QStringLiteral("a@example.com,"));
    for (int i = 0; i < 10; ++i)
        QTest::keyClicks(input, QStringLiteral("a@example.com,"));
    QTRY_VERIFY(info->isVisible());
    EXPECT_EQ(info->text(), LangText("ui.email.exist"));
    for (int i = 0; i < 3; ++i) {
        QTest::qWait(1000);
        ASSERT_TRUE(info->isVisible());
        const int before = timer->remainingTime();
        QTest::keyClicks(input, QStringLiteral("A@EXAMPLE.COM,"));
        // The message arrives through the event loop; once handled, the two seconds start over.
        QTRY_VERIFY(timer->remainingTime() > before);
    }
    EXPECT_EQ(input->text(), QString());
    EXPECT_EQ(page(dlg, "EmailInvite")->findChildren<QWidget*>("addressTag").size(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(!info->isVisible(), 5000);
}

TEST_F(OfflineInviteDialog, WithoutTheComponentThePageShowsButCannotSend)
{
    const QString empty = vtxtest::makeTempDir(QStringLiteral("no-component")) + QStringLiteral("/");
    InviteDialog dlg(nullptr, meeting(98765432101ull));
    EmailInvite bare(&dlg, empty);
    bare.show();
    EXPECT_EQ(bare.findChild<QWidget*>("addressEditor"), nullptr);
    auto* invite = bare.findChild<QPushButton*>("pushButton_invite");
    ASSERT_NE(invite, nullptr);
    EXPECT_EQ(invite->text(), LangText("ui.email.invite"));
    invite->click();
    EXPECT_FALSE(bare.findChild<QLabel*>("errorInfo")->isVisible());
    bare.reset();
    bare.releaseComponent();
    bare.releaseComponent();

    // The page's own guard holds even without the component's form check.
    std::vector<std::string> addresses;
    EXPECT_EQ(bare.checkAddresses("a@x.cn;b@y.cn", addresses), EmailInvite::Check::BadForm);
    EXPECT_EQ(bare.checkAddresses(std::string("a@x.cn\0b@y.cn", 13), addresses), EmailInvite::Check::BadForm);
    EXPECT_EQ(bare.checkAddresses(",,", addresses), EmailInvite::Check::NoInput);
    EXPECT_EQ(bare.checkAddresses("a@x.cn,,b@y.cn", addresses), EmailInvite::Check::Ok);
    EXPECT_EQ(addresses, (std::vector<std::string>{"a@x.cn", "b@y.cn"}));
}

} // namespace
