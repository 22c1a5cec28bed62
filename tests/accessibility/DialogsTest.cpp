// The dialogs in both languages: a name for every control, and every pack text fits.
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <memory>

#include "PackFixture.h"
#include "WidgetAudit.h"
#include "schedule/FakeContext.h"
#include "ui/AboutDlg.h"
#include "ui/ModifyPassword.h"
#include "ui/UpgradeDlg.h"
#include "ui/VideoItem.h"
#include "ui/invite/InviteDialog.h"
#include "ui/schedule/EditMyPMI.h"
#include "ui/schedule/ScheduleInfoDlg.h"
#include "ui/schedule/ScheduleItem.h"
#include "ui/schedule/ScheduleMeeting.h"

namespace {

using Dialogs = PackFixture;

// The label a reader announces with the control (on Linux a combo box's name is its value).
QString labelledBy(QWidget* control)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(control);
    const auto relations = iface->relations(QAccessible::Label);
    return relations.isEmpty() ? QString() : relations.first().first->text(QAccessible::Name);
}

void expectNamedAndFitting(QWidget* dialog)
{
    dialog->show();
    QCoreApplication::processEvents(); // lays out the rows
    EXPECT_EQ(audit::unnamedControls(dialog), QStringList()) << dialog->objectName().toStdString();
    EXPECT_EQ(audit::cutTexts(dialog), QStringList()) << dialog->objectName().toStdString();
    EXPECT_EQ(audit::placeholdersLikeText(dialog), QStringList()) << dialog->objectName().toStdString();
    EXPECT_EQ(audit::focusWithoutLook(dialog), QStringList()) << dialog->objectName().toStdString();
}

} // namespace

TEST_P(Dialogs, AccountDialogsNameEveryControlAndFitTheirTexts)
{
    AboutDlg about(nullptr);
    expectNamedAndFitting(&about);
    EXPECT_EQ(about.size(), QSize(480, 240));

    ModifyPassword password(QStringLiteral("demo@vtx.local"), QStringLiteral("10001"));
    expectNamedAndFitting(&password);
    for (const auto& [field, key] : {std::pair<const char*, const char*>{"curPassword", "ui.pwd.label_curpwd"},
                                     {"newPassword", "ui.pwd.label_newpwd"},
                                     {"comfirmPassword", "ui.pwd.label_comfirmpwd"}})
        EXPECT_EQ(audit::accessibleName(password.findChild<QWidget*>(QString::fromLatin1(field))), LangText(key))
            << field;

    UpgradeDlg upgrade("https://127.0.0.1:9/vtx.deb", "1. Faster\n2. Safer");
    expectNamedAndFitting(&upgrade);
    EXPECT_EQ(audit::accessibleName(upgrade.findChild<QWidget*>(QStringLiteral("textEdit"))),
              LangText("ui.label_readme"));
}

TEST_P(Dialogs, SchedulingDialogsNameEveryControlAndFitTheirTexts)
{
    FakeContext context;
    context.pmi = 1234567890;
    ScheduleMeeting schedule(nullptr, &context, false, 0, 0, nullptr, false);
    schedule.show();
    // The recurrence rows show only for a recurring meeting; the weekday row only for a weekly one.
    schedule.findChild<QCheckBox*>(QStringLiteral("checkBox_cycle"))->click();
    schedule.findChild<QComboBox*>(QStringLiteral("comboBox_cycle"))->setCurrentIndex(1);
    expectNamedAndFitting(&schedule);
    EXPECT_EQ(audit::accessibleName(schedule.findChild<QWidget*>(QStringLiteral("lineEdit_topic"))),
              LangText("ui.plan.label_topic"));
    EXPECT_EQ(labelledBy(schedule.findChild<QWidget*>(QStringLiteral("comboBox_cycle"))),
              LangText("ui.plan.label_cycle"));
    EXPECT_EQ(labelledBy(schedule.findChild<QWidget*>(QStringLiteral("dateTimeEdit_date_end"))),
              LangText("ui.plan.label_end_date"));

    EditMyPMI pmi(nullptr, &context);
    expectNamedAndFitting(&pmi);
    EXPECT_EQ(audit::accessibleName(pmi.findChild<QWidget*>(QStringLiteral("myPMI"))), LangText("ui.myselfTag"));

    for (int mode : {0, 1, 2}) {
        ScheduleInfoDlg result(QStringLiteral("Alice"), mode);
        expectNamedAndFitting(&result);
    }
}

TEST_P(Dialogs, InviteDialogNamesEveryControlAndFitsItsTexts)
{
    InviteMeeting meeting;
    meeting.number = 12345678901;
    meeting.joinUrl = QStringLiteral("https://join.example.com/j/12345678901");
    meeting.topic = QStringLiteral("Weekly");
    InviteDialog invite(nullptr, meeting);
    expectNamedAndFitting(&invite);
    for (const char* tab : {"label_email", "label_weixin", "label_link"})
        EXPECT_FALSE(audit::accessibleName(invite.findChild<QWidget*>(QString::fromLatin1(tab))).isEmpty()) << tab;
    EXPECT_EQ(audit::accessibleName(invite.findChild<QWidget*>(QStringLiteral("lineEdit_URL"))),
              LangText("ui.link.label_tips"));
}

TEST_P(Dialogs, ListRowsNameEveryButtonAndFitTheirTexts)
{
    FakeContext context;
    ScheduleItem plan(&context, nullptr);
    schedule::ItemInfo item;
    item.uniqueId = 900;
    item.number = 12345678901;
    item.topic = QStringLiteral("Design review");
    item.startTime = QDateTime(QDate(2031, 9, 30), QTime(23, 0)).toSecsSinceEpoch();
    item.durationMinutes = 90;
    plan.setMeeting(item, 900);
    plan.showButtons(true);
    expectNamedAndFitting(&plan);

    VideoItem recording;
    recording.setData("Design review", "2031-09-30 23:00:00", "/tmp/recordings/design");
    recording.showControls(true);
    expectNamedAndFitting(&recording);

    // The secondary lines are drawn grey, not merely given a grey palette that a style sheet overrides.
    const auto darkestInk = [](QWidget* row, const char* name) {
        auto* label = row->findChild<QLabel*>(QString::fromLatin1(name));
        const QImage shot = label ? label->grab().toImage() : QImage();
        int darkest = 255;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                darkest = qMin(darkest, qGray(shot.pixel(x, y)));
        return darkest;
    };
    for (const char* name : {"label_Time", "label_Topic", "label_MeetingID"})
        EXPECT_EQ(darkestInk(&plan, name), 127) << name;
    // As the meetings page shows it: a row widget of a list.
    QListWidget list;
    auto* listed = new ScheduleItem(&context, &list);
    auto* listItem = new QListWidgetItem(&list);
    listItem->setSizeHint(QSize(350, listed->height()));
    list.setItemWidget(listItem, listed);
    listed->setMeeting(item, 900);
    list.show();
    QCoreApplication::processEvents();
    for (const char* name : {"label_Time", "label_Topic", "label_MeetingID"})
        EXPECT_EQ(darkestInk(listed, name), 127) << "listed " << name;
    for (const char* name : {"label_Datetime", "label_Filepath"})
        EXPECT_EQ(darkestInk(&recording, name), 127) << name;
}

INSTANTIATE_TEST_SUITE_P(BothPacks, Dialogs, ::testing::Values(0, 1), languageName);
