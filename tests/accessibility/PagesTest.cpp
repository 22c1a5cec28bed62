// The main window's pages in both languages: what a screen reader says for each control, and
// whether every pack text fits where it is shown.
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <utility>

#include "PackFixture.h"
#include "WidgetAudit.h"
#include "base/Settings.h"
#include "ui/HistoryMeetings.h"

namespace {

const char* const kPages[] = {"homeWidget", "loginWidget", "verificationWidget", "joinWidget", "mainWidget"};

using Pages = PackFixture;

} // namespace

TEST_P(Pages, EveryFocusableControlHasANameFromThePack)
{
    for (const char* name : kPages)
        EXPECT_EQ(audit::unnamedControls(page(name)), QStringList()) << name;

    // Fields are named by their labels, pictures by their captions or a pack text of their own.
    const std::pair<const char*, const char*> names[] = {
        {"loginButton", "ui.loginButton"},
        {"joinButton", "ui.joinButton"},
        {"label_language", "ui.language"},
        {"backHomeL", "ui.a11y.back"},
        {"userAccount", "ui.label_account"},
        {"userPassword", "ui.label_password"},
        {"memoryUser", "ui.memoryUser"},
        {"backHomeV", "ui.a11y.back"},
        {"phoneNumber", "ui.label_phone"},
        {"VCode", "ui.label_code"},
        {"getVCode", "ui.btn_getCode"},
        {"backHomeJ", "ui.a11y.back"},
        {"meetingID", "ui.label_meetingid"},
        {"userName", "ui.label_nickname"},
        {"popupHistory", "ui.a11y.history"},
        {"settingsButton", "ui.a11y.settings"},
        {"videoMeeting", "ui.label_video_meeting"},
        {"joinTheMeeting", "ui.label_join_meeting"},
        {"scheduleMeeting", "ui.label_schedule_meeting"},
        {"shareScreen", "ui.label_share_screen"},
        {"accountIcon", "ui.a11y.account"},
        {"label_pop", "ui.a11y.account"},
        {"homePageBtn", "ui.a11y.home_tab"},
        {"meetingsPageBtn", "ui.a11y.meetings_tab"},
        {"refreshList", "ui.a11y.refresh"},
        {"usingPMI", "ui.usingPMI"},
        {"listWidget_plan", "ui.myMeeting"},
        {"listWidget_video", "ui.videoList"},
    };
    for (const auto& [name, key] : names) {
        const QString expected = LangText(key);
        ASSERT_FALSE(expected.isEmpty()) << key;
        EXPECT_EQ(audit::accessibleName(child<QWidget>(name)), expected) << name;
    }
    // The verification tip tells what the phone number is for.
    EXPECT_FALSE(
        QAccessible::queryAccessibleInterface(child<QWidget>("phoneNumber"))->text(QAccessible::Description).isEmpty());
}

TEST_P(Pages, SignedInMainPageNamesTheUserAndEveryMenuEntry)
{
    settings::writeVerification(QString::fromLatin1(vtxtest::VtxService::DemoAccount()));
    ASSERT_TRUE(waitForAuthentication());
    child<QPushButton>("loginButton")->click();
    child<QLineEdit>("userAccount")->setText(QString::fromLatin1(vtxtest::VtxService::DemoAccount()));
    child<QLineEdit>("userPassword")->setText(QString::fromLatin1(vtxtest::VtxService::DemoPassword()));
    child<QPushButton>("loginMeeting")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return page("mainWidget")->isVisible(); }, 20000));
    auto* name = child<QLabel>("myDisplayName");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !name->text().isEmpty(); }, 20000));

    // A reader says the whole name, also where the label shows it cut.
    EXPECT_TRUE(audit::accessibleName(name).startsWith(name->text().remove(QChar(0x2026))));
    EXPECT_EQ(audit::unnamedControls(page("mainWidget")), QStringList());
    EXPECT_EQ(audit::cutTexts(page("mainWidget")), QStringList());
    EXPECT_EQ(audit::focusWithoutLook(page("mainWidget")), QStringList());

    QStringList entries;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        auto* menu = qobject_cast<QMenu*>(top);
        if (!menu)
            continue;
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(menu);
        for (int i = 0; i < iface->childCount(); ++i) {
            QAccessibleInterface* entry = iface->child(i);
            if (entry->role() == QAccessible::Separator)
                continue;
            EXPECT_FALSE(entry->text(QAccessible::Name).isEmpty()) << menu->objectName().toStdString() << " #" << i;
            entries << entry->text(QAccessible::Name);
        }
    }
    for (const char* key : {"ui.menu.update", "ui.menu.pwd", "ui.menu.about", "ui.menu.exit", "ui.language",
                            "ui.menu.chinese", "ui.menu.english"})
        EXPECT_TRUE(entries.contains(LangText(key))) << key;
}

TEST_P(Pages, EveryControlShowsWhenItHasTheFocusAndPlaceholdersLookUnlikeText)
{
    for (const char* name : {"homeWidget", "loginWidget", "verificationWidget", "joinWidget"}) {
        window().showPage(page(name));
        QCoreApplication::processEvents();
        EXPECT_EQ(audit::focusWithoutLook(page(name)), QStringList()) << name;
        EXPECT_EQ(audit::placeholdersLikeText(page(name)), QStringList()) << name;
    }
}

TEST_P(Pages, HistoryPopupNamesItsListAndLink)
{
    auto* popup = new HistoryMeetings(3, &window());
    popup->show();
    EXPECT_EQ(audit::unnamedControls(popup), QStringList());
    EXPECT_EQ(audit::accessibleName(popup->findChild<QWidget*>(QStringLiteral("listWidget"))),
              LangText("ui.a11y.history"));
    EXPECT_EQ(audit::cutTexts(popup), QStringList());
    delete popup;
}

TEST_P(Pages, EveryPackTextFitsAtTheFixedWindowSizes)
{
    window();
    EXPECT_EQ(window().size(), QSize(680, 420));
    for (const char* name : kPages)
        EXPECT_EQ(audit::cutTexts(page(name)), QStringList()) << name;

    // Texts the pages show later, in the widgets that show them.
    const std::pair<const char*, const char*> later[] = {
        {"label_offline", "msg.service_unreachable"},
        {"loginError", "msg.input_account"},
        {"loginError", "msg.login_error"},
        {"label_verification_tips", "ui.label_tips2"},
        {"verificationError", "msg.input_phone"},
        {"verificationError", "msg.input_code"},
        {"verificationError", "msg.getVCode_failed"},
        {"verificationError", "msg.verification_error"},
        {"label_join", "ui.label_join_share"},
        {"label_share_tips", "ui.label_join_share_tips"},
        {"joinError", "msg.input_meeting_id"},
        {"joinError", "msg.fail_reason_meeting_notexist"},
        {"joinError", "msg.fail_reason_pwd_err"},
        {"joinError", "msg.fail_reason_network_err"},
        {"joinError", "msg.fail_reason_meeting_over"},
        {"joinError", "msg.fail_reason_meeting_notstart"},
        {"joinError", "msg.fail_reason_conf_locked"},
        {"joinError", "msg.fail_reason_user_full"},
    };
    for (const auto& [name, key] : later) {
        auto* label = child<QLabel>(name);
        label->setText(LangText(key));
        EXPECT_EQ(audit::cutText(label), QString()) << key;
    }
    auto* countdown = child<QLabel>("getVCode");
    countdown->setText(LangFormat("ui.btn_regFetch", 60));
    EXPECT_EQ(audit::cutText(countdown), QString());
}

INSTANTIATE_TEST_SUITE_P(BothPacks, Pages, ::testing::Values(0, 1), languageName);
