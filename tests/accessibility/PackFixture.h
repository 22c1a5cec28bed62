#pragma once
// A client test run once with each language pack.

#include "ui/ClientFixture.h"

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
    }
};

inline std::string languageName(const ::testing::TestParamInfo<int>& info)
{
    return info.param == 0 ? "Chinese" : "English";
}
