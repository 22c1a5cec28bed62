#pragma once
// A client test run once with each language pack.

#include <QApplication>

#include "ui/ClientFixture.h"
#include "ui/Styles.h"

// The style sheet VTX applies at start-up: its fonts and paddings decide what fits.
inline void useApplicationStyleSheet(bool on)
{
    if (on)
        styles::applyApplicationLook(*qApp);
    else
        qApp->setStyleSheet(QString());
}

class PackFixture : public ClientFixture, public ::testing::WithParamInterface<int>
{
protected:
    void SetUp() override
    {
        ClientFixture::SetUp();
        if (HasFatalFailure())
            return;
        Localization::Instance()->resetForTest();
        const QString pack = GetParam() == 0 ? QStringLiteral("zh_CN.ini") : QStringLiteral("en_US.ini");
        ASSERT_EQ(Localization::Instance()->Load(GetParam(), platform::programFolder() + pack), 0);
        settings::writeLanguageId(GetParam());
        useApplicationStyleSheet(true);
    }
    void TearDown() override
    {
        ClientFixture::TearDown();
        useApplicationStyleSheet(false);
    }
};

inline std::string languageName(const ::testing::TestParamInfo<int>& info)
{
    return info.param == 0 ? "Chinese" : "English";
}
