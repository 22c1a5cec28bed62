#include "ui/HistoryMeetings.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

#include "base/MeetingNumber.h"
#include "base/Settings.h"
#include "platform/Paths.h"
#include "platform/Profile.h"
#include "recordings/FolderTree.h"
#include "tests/ui/ClientFixture.h"
#include "ui/ClickableLabel.h"
#include "ui/HistoryItem.h"
#include "ui/MainWindow.h"

namespace {

const QString kAccount = QStringLiteral("history@example.com");

settings::History historyOf(int entries)
{
    settings::History history;
    for (int i = 0; i < entries; ++i)
        history.emplace(1700000000 + i,
                        settings::HistoryEntry{std::to_string(100000000 + i), "Meeting " + std::to_string(i)});
    return history;
}

// The client fixture gives the main window a service to authenticate against, so no start-up
// failure box interrupts a test.
class HistoryMeetingsTest : public ClientFixture
{
protected:
    void SetUp() override
    {
        ClientFixture::SetUp();
        // A failure box must fail the test, not wait for a click.
        MessageBox::setAutoAnswer(MessageBox::FirstButton);
        m_window = std::make_unique<MainWindow>();
        m_window->show();
    }
    void TearDown() override
    {
        EXPECT_TRUE(MessageBox::answeredTexts().isEmpty()) << MessageBox::answeredTexts().join(' ').toStdString();
        delete m_popup.data();
        ClientFixture::TearDown();
    }

    // What the main window does on a click of the history arrow.
    HistoryMeetings* open(const settings::History& history)
    {
        m_popup = new HistoryMeetings(int(history.size()), m_window.get());
        m_popup->fill(history, stripMeetingNumber(meetingId()->text()));
        m_popup->move(meetingId()->mapToGlobal(QPoint(0, meetingId()->height())));
        m_popup->show();
        return m_popup;
    }
    HistoryMeetings* openFromWindow() { return open(m_window->joinHistory()); }

    QLineEdit* meetingId() { return m_window->findChild<QLineEdit*>(QStringLiteral("meetingID")); }
    QListWidget* list() { return m_popup->findChild<QListWidget*>(QStringLiteral("listWidget")); }
    ClickableLabel* clearup() { return m_popup->findChild<ClickableLabel*>(QStringLiteral("clearup")); }
    HistoryItem* row(int i) { return qobject_cast<HistoryItem*>(list()->itemWidget(list()->item(i))); }
    QStringList rowIds()
    {
        QStringList ids;
        for (int i = 0; i < list()->count(); ++i)
            ids << (row(i) ? row(i)->id() : QStringLiteral("<no widget>"));
        return ids;
    }

    QPointer<HistoryMeetings> m_popup;
};

TEST_F(HistoryMeetingsTest, ThreeEntriesAreExactlyThreeRowsAndTheClearLink)
{
    open(historyOf(3));
    ASSERT_NE(list(), nullptr);
    ASSERT_NE(clearup(), nullptr);
    EXPECT_EQ(list()->height(), 81);
    EXPECT_EQ(list()->minimumHeight(), list()->maximumHeight());
    EXPECT_EQ(list()->geometry().topLeft(), QPoint(1, 1));
    EXPECT_EQ(clearup()->geometry(), QRect(9, 83, 310, 21));
    EXPECT_EQ(m_popup->size(), QSize(320, 21 + 81 + 5));
    EXPECT_EQ(m_popup->minimumHeight(), m_popup->maximumHeight());
    ASSERT_EQ(list()->count(), 3);
    QTRY_VERIFY(list()->visualItemRect(list()->item(2)).bottom() < list()->viewport()->height());
    EXPECT_EQ(list()->verticalScrollBar()->maximum(), 0);
    // Rows span the list even though their size hint names only a height.
    EXPECT_GE(row(0)->width(), 300);
    EXPECT_EQ(row(0)->height(), 27);
}

TEST_F(HistoryMeetingsTest, TwelveEntriesKeepTheFullHeightAndScroll)
{
    open(historyOf(12));
    EXPECT_EQ(list()->height(), 221);
    EXPECT_EQ(clearup()->geometry(), QRect(9, 224, 310, 21));
    EXPECT_EQ(m_popup->size(), QSize(320, 249));
    EXPECT_EQ(list()->count(), 12);
    QTRY_VERIFY(list()->verticalScrollBar()->maximum() > 0);
}

TEST_F(HistoryMeetingsTest, EightEntriesStillFitNineDoNot)
{
    open(historyOf(8));
    EXPECT_EQ(list()->height(), 8 * 27);
    EXPECT_EQ(m_popup->height(), 21 + 8 * 27 + 5);
    delete m_popup.data();

    open(historyOf(9));
    EXPECT_EQ(list()->height(), 221);
    EXPECT_EQ(m_popup->height(), 249);
}

TEST_F(HistoryMeetingsTest, NoEntriesLeavesOnlyTheClearLink)
{
    open(settings::History());
    EXPECT_EQ(list()->height(), 0);
    EXPECT_EQ(clearup()->y(), 2);
    EXPECT_EQ(m_popup->height(), 26);
}

TEST_F(HistoryMeetingsTest, RowsRunFromNewestToOldestWithoutEmptyIds)
{
    settings::History history;
    history.emplace(300, settings::HistoryEntry{"333333333", "third"});
    history.emplace(100, settings::HistoryEntry{"111111111", "first"});
    history.emplace(250, settings::HistoryEntry{"", "no number"});
    history.emplace(200, settings::HistoryEntry{"222222222", "second"});
    open(history);
    EXPECT_EQ(rowIds(), QStringList({"333333333", "222222222", "111111111"}));
    EXPECT_EQ(row(0)->name(), "third");
    for (int i = 0; i < list()->count(); ++i)
        EXPECT_EQ(list()->item(i)->sizeHint().height(), 27);
}

TEST_F(HistoryMeetingsTest, TheTypedNumberBecomesTheCurrentRowAndTheListTakesFocus)
{
    settings::History history;
    history.emplace(100, settings::HistoryEntry{"123456789", "older copy"});
    history.emplace(200, settings::HistoryEntry{"987654321", "other"});
    history.emplace(300, settings::HistoryEntry{"123456789", "newer copy"});
    meetingId()->setText(QStringLiteral("123456789"));
    ASSERT_EQ(meetingId()->text(), "123-456-789");
    open(history);
    // The same number twice: the lower row, the older entry, wins.
    EXPECT_EQ(list()->currentRow(), 2);
    m_popup->activateWindow();
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(list()));
}

TEST_F(HistoryMeetingsTest, WithoutAMatchTheKeyboardStartsAtTheNewestRow)
{
    meetingId()->setText(QStringLiteral("555555555"));
    open(historyOf(3));
    // No row is picked for the field; once the list has the keyboard, arrows start at the top.
    EXPECT_TRUE(list()->currentItem() == nullptr || list()->currentRow() == 0);
    m_popup->activateWindow();
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(list()));
    EXPECT_EQ(meetingId()->text(), "555-555-555");
}

TEST_F(HistoryMeetingsTest, ClickingARowFillsTheFieldAndThePopupGoesAway)
{
    m_window->addJoinHistory(12345678901ULL, QStringLiteral("Design"));
    m_window->addJoinHistory(555666777ULL, QStringLiteral("Sync"));
    auto* arrow = m_window->findChild<QPushButton*>(QStringLiteral("popupHistory"));
    ASSERT_NE(arrow, nullptr);
    arrow->setEnabled(false); // as the main window leaves it while the popup is open
    openFromWindow();
    ASSERT_EQ(rowIds(), QStringList({"555666777", "12345678901"}));

    auto* topic = row(1)->findChild<QWidget*>(QStringLiteral("label_topic"));
    QTest::mouseClick(topic, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(meetingId()->text(), "123-4567-8901");
    ASSERT_FALSE(m_popup.isNull()); // hidden at once, deleted a little later
    EXPECT_FALSE(m_popup->isVisible());
    EXPECT_EQ(m_window->joinHistory().size(), 2u);
    QTRY_VERIFY_WITH_TIMEOUT(m_popup.isNull(), 2000);
    EXPECT_TRUE(arrow->isEnabled());
}

TEST_F(HistoryMeetingsTest, ClickingBesideTheRowsKeepsThePopup)
{
    open(historyOf(2));
    meetingId()->setText(QStringLiteral("42"));
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 2 * 27 + 10));
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 2 * 27 + 10));
    EXPECT_TRUE(m_popup->isVisible());
    EXPECT_EQ(meetingId()->text(), "42");
}

TEST_F(HistoryMeetingsTest, ClearingInShareModeEmptiesOnlyTheShareSection)
{
    settings::saveHistory(kAccount, false, historyOf(2));
    settings::saveHistory(kAccount, true, historyOf(3));
    m_window->loadJoinHistory(kAccount, true);
    ASSERT_EQ(m_window->joinHistory().size(), 3u);
    meetingId()->setText(QStringLiteral("100000001"));
    openFromWindow();

    QTest::mouseClick(clearup(), Qt::LeftButton);
    EXPECT_EQ(list()->count(), 0);
    EXPECT_TRUE(m_window->joinHistory().empty());
    EXPECT_EQ(meetingId()->text(), "");
    const QString file = settings::accountFile(kAccount);
    EXPECT_EQ(platform::readProfileInt(QStringLiteral("History_share"), QStringLiteral("counts"), -1, file), 0);
    EXPECT_EQ(platform::readProfileInt(QStringLiteral("History"), QStringLiteral("counts"), -1, file), 2);
    EXPECT_EQ(settings::loadHistory(kAccount, false).size(), 2u);
    EXPECT_EQ(
        platform::readProfileInt(QStringLiteral("History_share"), QStringLiteral("counts"), -1, settings::configFile()),
        -1);
    QTRY_VERIFY_WITH_TIMEOUT(m_popup.isNull(), 2000);
}

TEST_F(HistoryMeetingsTest, LosingActivationClosesIt)
{
    open(historyOf(2));
    m_popup->activateWindow();
    QTRY_VERIFY(m_popup->isActiveWindow());
    m_window->activateWindow();
    QTRY_VERIFY_WITH_TIMEOUT(m_popup.isNull(), 2000);
}

TEST_F(HistoryMeetingsTest, EscapeClosesAndDeletesIt)
{
    open(historyOf(2));
    m_popup->activateWindow();
    QTRY_VERIFY(m_popup->isActiveWindow());
    QTest::keyClick(list(), Qt::Key_Escape);
    EXPECT_FALSE(m_popup.isNull());
    QTRY_VERIFY_WITH_TIMEOUT(m_popup.isNull(), 2000);
}

TEST_F(HistoryMeetingsTest, OutlivingTheMainWindowIsHarmless)
{
    open(historyOf(2));
    m_window.reset();
    auto* target = row(0)->findChild<QWidget*>(QStringLiteral("label_topic"));
    QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTRY_VERIFY_WITH_TIMEOUT(m_popup.isNull(), 2000);
}

TEST_F(HistoryMeetingsTest, OrvoInATopicIsStoredAsASpace)
{
    m_window->addJoinHistory(123456789ULL, QStringLiteral("Weekly Orvo demo by Orvo team"));
    ASSERT_EQ(m_window->joinHistory().size(), 1u);
    EXPECT_EQ(m_window->joinHistory().begin()->second.name, "Weekly   demo by   team");
    EXPECT_EQ(platform::readProfileString(QStringLiteral("History"), QStringLiteral("name_0"), QString(), 2048,
                                          settings::configFile()),
              "Weekly   demo by   team");
    openFromWindow();
    EXPECT_EQ(row(0)->name(), "Weekly   demo by   team");
}

TEST_F(HistoryMeetingsTest, JoiningAgainKeepsOneEntryNowTheNewest)
{
    m_window->addJoinHistory(111111111ULL, QStringLiteral("A"));
    m_window->addJoinHistory(222222222ULL, QStringLiteral("B"));
    m_window->addJoinHistory(111111111ULL, QStringLiteral("A again"));
    ASSERT_EQ(m_window->joinHistory().size(), 2u);
    EXPECT_EQ(m_window->joinHistory().rbegin()->second.id, "111111111");
    EXPECT_EQ(settings::loadHistory(QString(), false).size(), 2u);
    openFromWindow();
    EXPECT_EQ(rowIds(), QStringList({"111111111", "222222222"}));
    EXPECT_EQ(row(0)->name(), "A again");
}

} // namespace
