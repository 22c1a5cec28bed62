#include "base/Localization.h"

#include <QFile>
#include <cstring>
#include <gtest/gtest.h>

#include "support/TestEnvironment.h"

namespace {

class PackTest : public ::testing::Test
{
protected:
    void SetUp() override { Localization::Instance()->resetForTest(); }
    void TearDown() override { Localization::Instance()->resetForTest(); }

    QString writePack(const QByteArray& content)
    {
        const QString path = vtxtest::makeTempDir("pack") + "/pack.ini";
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(content);
        return path;
    }
    static QString text(const char* key) { return QString::fromUtf8(Localization::Instance()->Lookup(key)); }
};

TEST_F(PackTest, MissingFileFailsButKeepsLanguageId)
{
    EXPECT_EQ(Localization::Instance()->Load(1, "/nonexistent/en_US.ini"), -1);
    EXPECT_EQ(Localization::Instance()->languageId(), 1);
}

TEST_F(PackTest, ByteOrderMarkIsDroppedFromTheFirstKey)
{
    ASSERT_EQ(Localization::Instance()->Load(0, writePack("\xEF\xBB\xBFui.window=VTX\nbox.ok=OK\n")), 0);
    EXPECT_EQ(text("ui.window"), "VTX");
    EXPECT_EQ(text("box.ok"), "OK");
}

TEST_F(PackTest, PackWithoutByteOrderMarkKeepsItsFirstKeyWhole)
{
    ASSERT_EQ(Localization::Instance()->Load(0, writePack("ui.window=VTX\n")), 0);
    EXPECT_EQ(text("ui.window"), "VTX");
    EXPECT_EQ(text("i.window"), "");
}

TEST_F(PackTest, LineRules)
{
    const QByteArray pack = "\xEF\xBB\xBF"
                            "a.key = spaced  value  \r\n"
                            "b.key=first\n"
                            "b.key=second\n"
                            "#c.key=commented\n"
                            ";d.key=commented\n"
                            "e.key==starts with equals\n"
                            "no equals sign here\n"
                            "[section]\n"
                            "=empty key\n"
                            "f.key=\ttabs stay\t\n"
                            "g.key=\n"
                            "h.key=%s and %d\n";
    ASSERT_EQ(Localization::Instance()->Load(0, writePack(pack)), 0);
    EXPECT_EQ(text("a.key"), "");
    EXPECT_EQ(text("a.key "), "spaced  value");
    EXPECT_EQ(text("b.key"), "first");
    EXPECT_EQ(text("#c.key"), "");
    EXPECT_EQ(text("c.key"), "");
    EXPECT_EQ(text(";d.key"), "");
    EXPECT_EQ(text("e.key"), "=starts with equals");
    EXPECT_EQ(text("f.key"), "\ttabs stay\t");
    EXPECT_EQ(text("g.key"), "");
    EXPECT_EQ(text("h.key"), "%s and %d");
}

TEST_F(PackTest, UnknownKeysGiveAnEmptyStringNeverNull)
{
    ASSERT_EQ(Localization::Instance()->Load(0, writePack("a=b\n")), 0);
    const char* missing = Localization::Instance()->Lookup("not.there");
    ASSERT_NE(missing, nullptr);
    EXPECT_STREQ(missing, "");
    ASSERT_NE(Localization::Instance()->Lookup(nullptr), nullptr);
}

TEST_F(PackTest, LookupsReturnTheSameStoredPointer)
{
    ASSERT_EQ(Localization::Instance()->Load(0, writePack("a.b=text\n")), 0);
    EXPECT_EQ(Localization::Instance()->Lookup("a.b"), Localization::Instance()->Lookup("a.b"));
}

TEST_F(PackTest, ChineseTextsSurviveAsUtf8)
{
    ASSERT_EQ(Localization::Instance()->Load(0, writePack("\xEF\xBB\xBFui.window=视频会议\n")), 0);
    EXPECT_EQ(text("ui.window"), QString::fromUtf8("视频会议"));
}

TEST_F(PackTest, MalformedPackLoadsWithoutCrashing)
{
    QByteArray junk(200000, '\0');
    for (int i = 0; i < junk.size(); ++i)
        junk[i] = char((i * 7919) % 256);
    junk += "\nafter.junk=still read\n";
    ASSERT_EQ(Localization::Instance()->Load(0, writePack(junk)), 0);
    EXPECT_EQ(text("after.junk"), "still read");
}

TEST_F(PackTest, FormatKeysFillTheirPlaceholders)
{
    ASSERT_EQ(Localization::Instance()->Load(0, writePack("ui.label_version=Version %s\nui.btn_regFetch=Again (%d)\n")),
              0);
    EXPECT_EQ(LangFormat("ui.label_version", "1.5.0"), "Version 1.5.0");
    EXPECT_EQ(LangFormat("ui.btn_regFetch", 59), "Again (59)");
}

// A pack value whose conversions differ from what the caller passes would read an int as a
// pointer (or write through %n): such a value must never reach printf.
class PackFormatTest : public PackTest
{
protected:
    QString writePair(const QByteArray& chinese, const QByteArray& english)
    {
        const QString dir = vtxtest::makeTempDir("packs");
        for (const auto& [name, content] : {std::pair{"/zh_CN.ini", chinese}, std::pair{"/en_US.ini", english}}) {
            QFile f(dir + name);
            f.open(QIODevice::WriteOnly);
            f.write(content);
        }
        return dir;
    }
};

TEST_F(PackFormatTest, MismatchedTextFallsBackToTheOtherLanguage)
{
    const QString dir = writePair("ui.label_version=版本 %d\nui.btn_regFetch=重新获取(%s)\nui.window=视频会议\n",
                                  "ui.label_version=Version %s\nui.btn_regFetch=Resend (%d s)\n");
    ASSERT_EQ(Localization::Instance()->Load(0, dir + "/zh_CN.ini"), 0);
    EXPECT_EQ(LangFormat("ui.label_version", "1.5.0"), "Version 1.5.0");
    EXPECT_EQ(LangFormat("ui.btn_regFetch", 59), "Resend (59 s)");
    EXPECT_EQ(text("ui.window"), QString::fromUtf8("视频会议")) << "plain texts are not touched";
}

TEST_F(PackFormatTest, EnglishFallsBackToChineseToo)
{
    const QString dir = writePair("ui.btn_regFetch=重新获取(%d)\n", "ui.btn_regFetch=Resend (%n)\n");
    ASSERT_EQ(Localization::Instance()->Load(1, dir + "/en_US.ini"), 0);
    EXPECT_EQ(LangFormat("ui.btn_regFetch", 7), QString::fromUtf8("重新获取(7)"));
}

TEST_F(PackFormatTest, WhenNeitherPackFitsTheKeyIsShown)
{
    const char* hostile[] = {"%s", "%d %d", "%n",   "%1$d", "%*d", "%.*d", "%ld", "%lld",  "%f",
                             "%p", "%ls",   "100%", "%5%",  "%hd", "%zd",  "%jd", "Resend"};
    for (const char* value : hostile) {
        Localization::Instance()->resetForTest();
        const QString dir = writePair(QByteArray("ui.btn_regFetch=") + value + "\n", "ui.btn_regFetch=%s\n");
        ASSERT_EQ(Localization::Instance()->Load(0, dir + "/zh_CN.ini"), 0);
        EXPECT_EQ(LangFormat("ui.btn_regFetch", 42), "ui.btn_regFetch") << value;
    }
    // No second pack at all.
    Localization::Instance()->resetForTest();
    ASSERT_EQ(Localization::Instance()->Load(0, writePack("ui.label_version=v%d\n")), 0);
    EXPECT_EQ(LangFormat("ui.label_version", "1.5.0"), "ui.label_version");
}

TEST_F(PackFormatTest, HarmlessVariationsAreKept)
{
    const struct
    {
        const char* value;
        const char* expected;
    } cases[] = {
        {"%5d|", "   42|"}, {"%-4d|", "42  |"}, {"%03d", "042"}, {"%%%d%%", "%42%"}, {"%i", "42"}, {"%x", "2a"},
    };
    for (const auto& c : cases) {
        Localization::Instance()->resetForTest();
        ASSERT_EQ(Localization::Instance()->Load(0, writePack(QByteArray("ui.btn_regFetch=") + c.value + "\n")), 0);
        EXPECT_EQ(LangFormat("ui.btn_regFetch", 42), c.expected) << c.value;
    }
    Localization::Instance()->resetForTest();
    ASSERT_EQ(Localization::Instance()->Load(0, writePack("msg.invite_meetingid=ID: %llu\n"
                                                          "msg.invite_datetime=%d-%02d-%02d %02d:%02d\n")),
              0);
    EXPECT_EQ(LangFormat("msg.invite_meetingid", 12345678901ULL), "ID: 12345678901");
    EXPECT_EQ(LangFormat("msg.invite_datetime", 2026, 1, 2, 3, 4), "2026-01-02 03:04");
}

TEST_F(PackFormatTest, TextsThatAreNoFormatKeysAreNeverFormatted)
{
    ASSERT_EQ(Localization::Instance()->Load(0, writePack("ui.window=%s%s%s%n\n")), 0);
    EXPECT_EQ(LangFormat("ui.window", 1), "%s%s%s%n");
    EXPECT_EQ(LangFormat("not.there", 1), "");
}

} // namespace
