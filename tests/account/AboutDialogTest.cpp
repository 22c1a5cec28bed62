#include <QLabel>
#include <QPushButton>

#include "AccountTestSupport.h"
#include "ui/AboutDlg.h"

TEST(AboutBox, ShowsNameAndVersionInBothLanguagesAndStartsTheCheck)
{
    for (int language : {0, 1}) {
        ASSERT_TRUE(accounttest::loadLanguage(language));
        int checks = 0;
        AboutDlg about([&] { ++checks; });
        about.show();
        const QString version = about.findChild<QLabel*>(QStringLiteral("label_version"))->text();
        EXPECT_TRUE(version.contains(QStringLiteral("1.5.0"))) << version.toStdString();
        EXPECT_FALSE(version.contains('%'));
        EXPECT_EQ(about.findChild<QLabel*>(QStringLiteral("label_app"))->text(), LangText("ui.label_app"));
        auto* check = about.findChild<QPushButton*>(QStringLiteral("checkUpgrade"));
        ASSERT_NE(check, nullptr);
        EXPECT_EQ(check->text(), LangText("ui.menu.update"));
        EXPECT_EQ(about.windowTitle(), LangText("ui.window"));

        check->click();
        EXPECT_EQ(checks, 1);
        EXPECT_FALSE(about.isVisible());
    }
    // Without a check to start, the button only closes the box.
    AboutDlg alone(nullptr);
    alone.show();
    alone.findChild<QPushButton*>(QStringLiteral("checkUpgrade"))->click();
    EXPECT_FALSE(alone.isVisible());
}
