#include "ui/TipsDlg.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include "ui/ClickableLabel.h"

TEST(TipBox, ClosesAndDeletesItselfAfterThreeSeconds)
{
    QPointer<TipsDlg> tip = TipsDlg::showTip("Saved");
    ASSERT_TRUE(tip);
    EXPECT_TRUE(tip->isVisible());
    EXPECT_EQ(tip->size(), QSize(320, 77));
    EXPECT_TRUE(tip->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(tip->windowFlags() & Qt::FramelessWindowHint);
    QTest::qWait(2000);
    EXPECT_TRUE(tip); // still there before the three seconds are up
    QTRY_VERIFY_WITH_TIMEOUT(tip.isNull(), 3000);
    EXPECT_TRUE(tip.isNull());
}

TEST(TipBox, TwoTipsCloseInTheOrderTheyCame)
{
    QPointer<TipsDlg> first = TipsDlg::showTip("first");
    QTest::qWait(1000);
    QPointer<TipsDlg> second = TipsDlg::showTip("second", true);
    QTRY_VERIFY_WITH_TIMEOUT(first.isNull(), 4000);
    EXPECT_FALSE(second.isNull());
    QTRY_VERIFY_WITH_TIMEOUT(second.isNull(), 2500);
    EXPECT_TRUE(second.isNull());
}

TEST(TipBox, LongTextWrapsInsideTheTextArea)
{
    TipsDlg tip(QString(200, 'w').replace(10, 1, ' '), false);
    auto* label = tip.findChild<QLabel*>("tipsLabel");
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->wordWrap());
    EXPECT_EQ(label->geometry(), QRect(80, 5, 231, 67));
}

TEST(ClickableLabelTest, EmitsOncePerPressNotOnRelease)
{
    ClickableLabel label;
    label.resize(100, 20);
    label.show();
    QSignalSpy spy(&label, &ClickableLabel::clicked);
    QTest::mousePress(&label, Qt::LeftButton);
    EXPECT_EQ(spy.count(), 1);
    QTest::mouseRelease(&label, Qt::LeftButton);
    EXPECT_EQ(spy.count(), 1);
    QTest::mouseClick(&label, Qt::LeftButton);
    EXPECT_EQ(spy.count(), 2);
    EXPECT_EQ(label.cursor().shape(), Qt::PointingHandCursor);
}
