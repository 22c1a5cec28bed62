#include "ui/HistoryItem.h"

#include <QFontMetrics>
#include <QLabel>
#include <gtest/gtest.h>

#include "base/Localization.h"
#include "platform/Paths.h"

namespace {

class HistoryItemTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Localization::Instance()->resetForTest();
        ASSERT_EQ(Localization::Instance()->Load(1, platform::programFolder() + "en_US.ini"), 0);
    }

    static QLabel* label(const HistoryItem& row, const char* name)
    {
        auto* l = row.findChild<QLabel*>(QString::fromLatin1(name));
        EXPECT_NE(l, nullptr) << name;
        return l;
    }
    static int measuredWidth(const QString& text)
    {
        QFont font(LangText("ui.font"));
        font.setPointSize(9);
        return QFontMetrics(font).horizontalAdvance(text);
    }
};

TEST_F(HistoryItemTest, ShowsTheNumberInGroupsAndKeepsItAsGiven)
{
    HistoryItem row(QStringLiteral("12345678901"), QStringLiteral("Weekly"));
    EXPECT_EQ(label(row, "label_meetingid")->text(), "123-4567-8901");
    EXPECT_EQ(row.id(), "12345678901");
    EXPECT_EQ(row.height(), 27);

    HistoryItem shortRow(QStringLiteral("123"), QString());
    EXPECT_EQ(label(shortRow, "label_meetingid")->text(), "123");
}

TEST_F(HistoryItemTest, ShortNameStaysWhole)
{
    HistoryItem row(QStringLiteral("123456789"), QStringLiteral("Budget review"));
    QLabel* topic = label(row, "label_topic");
    EXPECT_EQ(topic->text(), "Budget review");
    EXPECT_TRUE(topic->toolTip().isEmpty());
    EXPECT_EQ(row.name(), "Budget review");
}

TEST_F(HistoryItemTest, LongNameIsCutAtTheRightButKeptWhole)
{
    const QString name = QStringLiteral("Quarterly planning of the infrastructure, security and release teams");
    ASSERT_GT(measuredWidth(name), HistoryItem::kTopicWidth);
    HistoryItem row(QStringLiteral("123456789"), name);
    const QString shown = label(row, "label_topic")->text();
    EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
    EXPECT_TRUE(name.startsWith(shown.chopped(1))) << shown.toStdString();
    EXPECT_LE(measuredWidth(shown), HistoryItem::kTopicWidth);
    EXPECT_EQ(row.name(), name);
    EXPECT_EQ(label(row, "label_topic")->toolTip(), name);
}

TEST_F(HistoryItemTest, LabelsUseTheLanguageFontAndDarkText)
{
    HistoryItem row(QStringLiteral("123456789"), QStringLiteral("Standup"));
    for (const char* name : {"label_meetingid", "label_topic"}) {
        QLabel* l = label(row, name);
        EXPECT_EQ(l->font().family(), LangText("ui.font")) << name;
        EXPECT_EQ(l->font().pointSize(), 10) << name;
        EXPECT_EQ(l->palette().color(QPalette::WindowText), QColor(10, 10, 10)) << name;
    }
}

TEST_F(HistoryItemTest, MarkupInANameIsShownAsText)
{
    HistoryItem row(QStringLiteral("123456789"), QStringLiteral("<b>Board</b>"));
    QLabel* topic = label(row, "label_topic");
    EXPECT_EQ(topic->textFormat(), Qt::PlainText);
    EXPECT_EQ(topic->text(), "<b>Board</b>");
}

} // namespace
