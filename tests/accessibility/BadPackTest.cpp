// A pack whose every text runs to a thousand characters of right-to-left script, emoji and one
// unbreakable word: the windows keep their sizes, no widget is pushed out of its window, and
// everything paints.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QTest>

#include "PackFixture.h"
#include "WidgetAudit.h"
#include "schedule/FakeContext.h"
#include "support/TestEnvironment.h"
#include "ui/AboutDlg.h"
#include "ui/ModifyPassword.h"
#include "ui/UpgradeDlg.h"
#include "ui/invite/InviteDialog.h"
#include "ui/schedule/EditMyPMI.h"
#include "ui/schedule/ScheduleInfoDlg.h"
#include "ui/schedule/ScheduleItem.h"
#include "ui/schedule/ScheduleMeeting.h"

namespace {

// Arabic and Hebrew words, a family emoji made of joined code points, a flag, and a word with no break.
QString filler()
{
    QString text = QStringLiteral("مرحبا بالعالم שלום עולם 👩‍👩‍👧‍👦 🇨🇳 ");
    while (text.size() < 700)
        text += text;
    return text.left(700) + QString(300, QLatin1Char('W'));
}

// The English pack with the filler after every text, so format texts keep their placeholders.
QString writeBadPack()
{
    QFile source(platform::programFolder() + "en_US.ini");
    if (!source.open(QIODevice::ReadOnly))
        return QString();
    QString out;
    for (const QString& line : QString::fromUtf8(source.readAll()).split(QLatin1Char('\n'))) {
        const bool entry = line.contains(QLatin1Char('=')) && !line.startsWith(QLatin1Char('#'));
        out += entry ? line.trimmed() + QLatin1Char(' ') + filler() : line;
        out += QLatin1Char('\n');
    }
    const QString path = vtxtest::makeTempDir(QStringLiteral("badpack")) + QStringLiteral("/en_US.ini");
    QFile target(path);
    if (!target.open(QIODevice::WriteOnly))
        return QString();
    target.write(out.toUtf8());
    return path;
}

class BadPack : public ClientFixture
{
protected:
    void SetUp() override
    {
        ClientFixture::SetUp();
        if (HasFatalFailure())
            return;
        const QString pack = writeBadPack();
        ASSERT_FALSE(pack.isEmpty());
        Localization::Instance()->resetForTest();
        ASSERT_EQ(Localization::Instance()->Load(1, pack), 0);
        ASSERT_GE(LangText("ui.loginButton").size(), 1000);
        useApplicationStyleSheet(true);
    }
    void TearDown() override
    {
        ClientFixture::TearDown();
        useApplicationStyleSheet(false);
    }
};

void expectIntact(QWidget* dialog, const QSize& size)
{
    dialog->show();
    QTest::qWait(0);
    EXPECT_EQ(dialog->size(), size) << dialog->objectName().toStdString();
    EXPECT_EQ(audit::outsideTheirWindow(dialog), QStringList()) << dialog->objectName().toStdString();
    EXPECT_FALSE(dialog->grab().isNull());
}

} // namespace

TEST_F(BadPack, EveryPageKeepsItsSizeAndItsWidgetsInside)
{
    MainWindow& w = window();
    const char* const pages[] = {"homeWidget", "loginWidget", "verificationWidget", "joinWidget", "mainWidget"};
    for (const char* name : pages) {
        for (const char* other : pages)
            page(other)->setVisible(qstrcmp(other, name) == 0);
        const QSize size = qstrcmp(name, "mainWidget") == 0 ? QSize(360, 667) : QSize(680, 420);
        w.setFixedSize(size);
        QTest::qWait(0);
        EXPECT_EQ(w.size(), size);
        EXPECT_EQ(audit::outsideTheirWindow(page(name)), QStringList()) << name;
        EXPECT_FALSE(w.grab().isNull());
    }
}

TEST_F(BadPack, DialogsKeepTheirSizesAndTheirWidgetsInside)
{
    FakeContext context;
    context.pmi = 1234567890;
    ScheduleMeeting schedule(nullptr, &context, false, 0, 0, nullptr, false);
    schedule.show();
    schedule.findChild<QCheckBox*>(QStringLiteral("checkBox_cycle"))->click();
    schedule.findChild<QComboBox*>(QStringLiteral("comboBox_cycle"))->setCurrentIndex(1);
    expectIntact(&schedule, schedule.size());
    EXPECT_LE(schedule.width(), 600);

    EditMyPMI pmi(nullptr, &context);
    expectIntact(&pmi, QSize(600, 448));
    ScheduleInfoDlg result(QStringLiteral("Alice"), 0);
    expectIntact(&result, QSize(511, 411));
    AboutDlg about(nullptr);
    expectIntact(&about, QSize(480, 240));
    ModifyPassword password(QStringLiteral("demo@vtx.local"), QStringLiteral("10001"));
    expectIntact(&password, QSize(680, 420));
    UpgradeDlg upgrade("https://127.0.0.1:9/vtx.deb", "1. Faster");
    expectIntact(&upgrade, QSize(530, 334));
    InviteMeeting meeting;
    meeting.number = 12345678901;
    meeting.joinUrl = QStringLiteral("https://join.example.com/j/12345678901");
    meeting.topic = LangText("ui.plan.default.topic");
    InviteDialog invite(nullptr, meeting);
    expectIntact(&invite, QSize(680, 420));

    ScheduleItem plan(&context, nullptr);
    schedule::ItemInfo item;
    item.number = 12345678901;
    item.topic = LangText("ui.plan.topic");
    item.startTime = QDateTime(QDate(2031, 9, 30), QTime(23, 0)).toSecsSinceEpoch();
    item.durationMinutes = 90;
    plan.setMeeting(item, 900);
    plan.showButtons(true);
    expectIntact(&plan, plan.size());
}
