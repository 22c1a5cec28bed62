#include "platform/Profile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/TestEnvironment.h"

namespace {

QString writeFile(const QByteArray& content)
{
    const QString path = vtxtest::makeTempDir(QStringLiteral("profile")) + QStringLiteral("/config.ini");
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    return path;
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

mode_t modeOf(const QString& path)
{
    struct stat st
    {
    };
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 0777;
}

struct StringCase
{
    const char* name;
    QByteArray content;
    const char* section;
    const char* key;
    const char* defaultValue;
    int bufferChars;
    QString expected;
};

TEST(ProfileReading, FollowsTheWindowsRules)
{
    const StringCase cases[] = {
        {"plain", "[S]\nk=v\n", "S", "k", "d", 256, "v"},
        {"case of section and key", "[Login]\nAccount=bob\n", "lOGIN", "aCCOUNT", "d", 256, "bob"},
        {"blanks around key and value", "[S]\n  k \t=   hello world  \n", "S", "k", "d", 256, "hello world"},
        {"blanks inside the brackets", "[ S ]\nk=v\n", "S", "k", "d", 256, "v"},
        {"double quotes removed", "[S]\nk=\"quoted\"\n", "S", "k", "d", 256, "quoted"},
        {"single quotes removed", "[S]\nk='single'\n", "S", "k", "d", 256, "single"},
        {"only one pair of quotes", "[S]\nk=\"\"x\"\"\n", "S", "k", "d", 256, "\"x\""},
        {"blanks inside quotes kept", "[S]\nk=\" a b \"\n", "S", "k", "d", 256, " a b "},
        {"mismatched quotes kept", "[S]\nk=\"mixed'\n", "S", "k", "d", 256, "\"mixed'"},
        {"lone quote kept", "[S]\nk=\"\n", "S", "k", "d", 256, "\""},
        {"empty quotes give empty", "[S]\nk=\"\"\n", "S", "k", "d", 256, ""},
        {"first key wins", "[S]\nk=1\nK=2\n", "S", "k", "d", 256, "1"},
        {"only the first section is searched", "[S]\na=1\n[s]\nb=2\n", "S", "b", "d", 256, "d"},
        {"key of another section", "[A]\nk=1\n[B]\nj=2\n", "B", "k", "d", 256, "d"},
        {"key before any section", "k=v\n[S]\nj=1\n", "S", "k", "d", 256, "d"},
        {"value containing '='", "[S]\nk=a=b\n", "S", "k", "d", 256, "a=b"},
        {"key without '=' is empty", "[S]\nk\n", "S", "k", "d", 256, ""},
        {"comment line ignored", "[S]\n;k=v\n", "S", "k", "d", 256, "d"},
        {"section without ']' is no section", "[S\nk=v\n", "S", "k", "d", 256, "d"},
        {"cut to buffer - 1", "[S]\nk=abcdef\n", "S", "k", "d", 4, "abc"},
        {"exactly fitting value", "[S]\nk=abc\n", "S", "k", "d", 4, "abc"},
        {"buffer of one", "[S]\nk=abc\n", "S", "k", "d", 1, ""},
        {"buffer of zero", "[S]\nk=abc\n", "S", "k", "d", 0, ""},
        {"default cut to buffer", "[S]\n", "S", "k", "xyz", 3, "xy"},
        {"default trailing blanks dropped", "[S]\n", "S", "k", "  def  ", 256, "  def"},
        {"missing key gives default", "[S]\nj=1\n", "S", "k", "fallback", 256, "fallback"},
        {"UTF-8 BOM", "\xEF\xBB\xBF[S]\nk=v\n", "S", "k", "d", 256, "v"},
        {"CRLF lines", "[S]\r\nk=v\r\n", "S", "k", "d", 256, "v"},
        {"no newline at the end", "[S]\nk=v", "S", "k", "d", 256, "v"},
        {"UTF-8 names ignore case", "[Größe]\nSCHLÜSSEL=wert ü\n", "gRÖße", "schlüssel", "d", 256,
         QString::fromUtf8("wert ü")},
        {"surrogate pair not split",
         "[S]\nk=a\xF0\x9F\x98\x80"
         "b\n",
         "S", "k", "d", 3, "a"},
    };
    for (const StringCase& c : cases) {
        const QString path = writeFile(c.content);
        EXPECT_EQ(platform::readProfileString(QString::fromUtf8(c.section), QString::fromUtf8(c.key),
                                              QString::fromUtf8(c.defaultValue), c.bufferChars, path),
                  c.expected)
            << c.name;
    }
}

TEST(ProfileReading, MissingFileGivesTheDefault)
{
    const QString path = vtxtest::makeTempDir(QStringLiteral("nofile")) + QStringLiteral("/absent.ini");
    EXPECT_EQ(platform::readProfileString("S", "k", "dflt", 256, path), QStringLiteral("dflt"));
    EXPECT_EQ(platform::readProfileInt("S", "k", 42, path), 42);
}

struct IntCase
{
    const char* value;
    int defaultValue;
    int expected;
};

TEST(ProfileReading, ParsesIntegersLikeGetPrivateProfileInt)
{
    const IntCase cases[] = {
        {"12", 7, 12},
        {"+5", 7, 5},
        {"-12", 7, -12},
        {"\"  -7\"", 7, -7},
        {"12abc", 7, 12},
        {"abc", 7, 0},
        {"-", 7, 0},
        {"", 7, 7},
        {"0x1F", 7, 31},
        {"-0x10", 7, -16},
        {"0xZ", 7, 0},
        {"4294967295", 7, -1},
        {"99999999999", 7, 1215752191},
        // Only 29 characters survive the internal buffer, so the 5 is never seen.
        {"000000000000000000000000000005", 7, 0},
        {"00000000000000000000000000005", 7, 5},
    };
    for (const IntCase& c : cases) {
        const QString path = writeFile(QByteArray("[S]\nn=") + c.value + "\n");
        EXPECT_EQ(platform::readProfileInt("S", "n", c.defaultValue, path), c.expected) << c.value;
    }
    const QString path = writeFile("[S]\nother=1\n");
    EXPECT_EQ(platform::readProfileInt("S", "n", -3, path), -3);
}

TEST(ProfileReading, SurvivesMalformedFiles)
{
    QByteArray junk;
    for (int i = 0; i < 200000; ++i)
        junk.append(static_cast<char>((i * 7919 + i / 13) % 256));
    EXPECT_EQ(platform::readProfileString("S", "k", "d", 256, writeFile(junk)), QStringLiteral("d"));

    // One huge line without a newline, holding the key: found and cut, quickly.
    QByteArray huge = "[S]\nk=" + QByteArray(8 * 1024 * 1024, 'x');
    const QString hugePath = writeFile(huge);
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(platform::readProfileString("S", "k", "d", 8, hugePath), QStringLiteral("xxxxxxx"));
    EXPECT_LT(timer.elapsed(), 2000);

    // Embedded NUL bytes are ordinary characters.
    EXPECT_EQ(platform::readProfileString("S", "k", "d", 256, writeFile(QByteArray("[S]\nk=a\0b\n", 10))),
              QString::fromUtf8("a\0b", 3));

    // A folder where the file should be.
    const QString dir = vtxtest::makeTempDir(QStringLiteral("dirfile"));
    EXPECT_EQ(platform::readProfileString("S", "k", "d", 256, dir), QStringLiteral("d"));
    EXPECT_FALSE(platform::writeProfileString("S", "k", "v", dir));
}

TEST(ProfileReading, SeesChangesMadeByOtherWriters)
{
    // Same size, same second, rewritten in place: nothing may be served from a stale copy.
    const QString path = writeFile("[S]\nk=aaaa\n");
    EXPECT_EQ(platform::readProfileString("S", "k", "", 256, path), QStringLiteral("aaaa"));
    for (const char* next : {"bbbb", "cccc"}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.seek(6);
        file.write(next);
        file.close();
        EXPECT_EQ(platform::readProfileString("S", "k", "", 256, path), QString::fromLatin1(next));
    }
}

TEST(ProfileReading, DoesNotHangOnAFifo)
{
    const QString path = vtxtest::makeTempDir(QStringLiteral("fifo")) + QStringLiteral("/config.ini");
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    EXPECT_EQ(platform::readProfileString("S", "k", "d", 256, path), QStringLiteral("d"));
    EXPECT_FALSE(platform::writeProfileString("S", "k", "v", path));
}

TEST(ProfileWriting, CreatesANewFile)
{
    const QString path = vtxtest::makeTempDir(QStringLiteral("new")) + QStringLiteral("/config.ini");
    ASSERT_TRUE(platform::writeProfileString("System", "windows", "123", path));
    EXPECT_EQ(readBytes(path), QByteArray("[System]\nwindows=123\n"));
    EXPECT_EQ(platform::readProfileInt("System", "windows", 0, path), 123);
}

TEST(ProfileWriting, AppendsAMissingSectionAfterABlankLine)
{
    const QString path = writeFile("; settings\n[A]\nx=1\n");
    ASSERT_TRUE(platform::writeProfileString("B", "y", "2", path));
    EXPECT_EQ(readBytes(path), QByteArray("; settings\n[A]\nx=1\n\n[B]\ny=2\n"));

    const QString noNewline = writeFile("[A]\nx=1");
    ASSERT_TRUE(platform::writeProfileString("B", "y", "2", noNewline));
    EXPECT_EQ(readBytes(noNewline), QByteArray("[A]\nx=1\n\n[B]\ny=2\n"));
}

TEST(ProfileWriting, ReplacesTheFirstOccurrenceAndKeepsEverythingElse)
{
    const QString path = writeFile("; top\n[Login]\n  Account = old  \naccount=dup\n; note\n[Other]\naccount=x\n");
    ASSERT_TRUE(platform::writeProfileString("login", "ACCOUNT", "new value", path));
    EXPECT_EQ(readBytes(path),
              QByteArray("; top\n[Login]\nAccount=new value\naccount=dup\n; note\n[Other]\naccount=x\n"));
    EXPECT_EQ(platform::readProfileString("Login", "account", "", 256, path), QStringLiteral("new value"));
}

TEST(ProfileWriting, AppendsAMissingKeyAtTheEndOfItsSection)
{
    const QString path = writeFile("[A]\nx=1\n\n[B]\ny=2\n");
    ASSERT_TRUE(platform::writeProfileString("A", "z", "3", path));
    EXPECT_EQ(readBytes(path), QByteArray("[A]\nx=1\nz=3\n\n[B]\ny=2\n"));

    const QString last = writeFile("[A]\nx=1");
    ASSERT_TRUE(platform::writeProfileString("a", "z", "3", last));
    EXPECT_EQ(readBytes(last), QByteArray("[A]\nx=1\nz=3\n"));

    const QString emptySection = writeFile("[A]\n[B]\n");
    ASSERT_TRUE(platform::writeProfileString("A", "z", "3", emptySection));
    EXPECT_EQ(readBytes(emptySection), QByteArray("[A]\nz=3\n[B]\n"));
}

TEST(ProfileWriting, KeepsCrlfAndBom)
{
    const QString path = writeFile("\xEF\xBB\xBF[A]\r\nx=1\r\n");
    ASSERT_TRUE(platform::writeProfileString("A", "x", "2", path));
    ASSERT_TRUE(platform::writeProfileString("A", "y", "3", path));
    ASSERT_TRUE(platform::writeProfileString("B", "z", "4", path));
    EXPECT_EQ(readBytes(path), QByteArray("\xEF\xBB\xBF[A]\r\nx=2\r\ny=3\r\n\r\n[B]\r\nz=4\r\n"));
}

TEST(ProfileWriting, RoundTripsUnicodeAndEmptyValues)
{
    const QString path = writeFile("");
    const QString nick = QString::fromUtf8("张三 😀");
    ASSERT_TRUE(platform::writeProfileString("Local", "nickname", nick, path));
    ASSERT_TRUE(platform::writeProfileString("Temporary", "password", "", path));
    EXPECT_EQ(platform::readProfileString("Local", "nickname", "", 256, path), nick);
    EXPECT_EQ(platform::readProfileString("Temporary", "password", "d", 256, path), QString());
}

TEST(ProfileWriting, RefusesLineBreaksAndBadNames)
{
    const QString path = writeFile("[A]\nx=1\n");
    EXPECT_FALSE(platform::writeProfileString("A", "x", "1\n[Login]\npassword=evil", path));
    EXPECT_FALSE(platform::writeProfileString("A", "x", "a\rb", path));
    EXPECT_FALSE(platform::writeProfileString("A]\n[B", "x", "1", path));
    EXPECT_FALSE(platform::writeProfileString("A", "x=y", "1", path));
    EXPECT_FALSE(platform::writeProfileString("", "x", "1", path));
    EXPECT_FALSE(platform::writeProfileString("A", " ", "1", path));
    EXPECT_EQ(readBytes(path), QByteArray("[A]\nx=1\n"));
}

TEST(ProfileWriting, FailsInAMissingFolderWithoutCreatingIt)
{
    const QString dir = vtxtest::makeTempDir(QStringLiteral("missing")) + QStringLiteral("/not/there");
    EXPECT_FALSE(platform::writeProfileString("A", "x", "1", dir + QStringLiteral("/config.ini")));
    EXPECT_FALSE(QFileInfo::exists(dir));
}

TEST(ProfileWriting, PrivateFilesGetMode0600AndOthersKeepTheirMode)
{
    const QString priv = writeFile("[Login]\npassword=\n");
    ::chmod(QFile::encodeName(priv).constData(), 0644);
    platform::markProfilePrivate(priv);
    EXPECT_EQ(modeOf(priv), 0600u) << "an existing file is closed at once";
    ::chmod(QFile::encodeName(priv).constData(), 0644);
    ASSERT_TRUE(platform::writeProfileString("Login", "password", "secret", priv));
    EXPECT_EQ(modeOf(priv), 0600u);

    const QString freshPrivate = vtxtest::makeTempDir(QStringLiteral("priv")) + QStringLiteral("/bob.ini");
    platform::markProfilePrivate(freshPrivate);
    ASSERT_TRUE(platform::writeProfileString("Login", "password", "secret", freshPrivate));
    EXPECT_EQ(modeOf(freshPrivate), 0600u);

    const QString shared = writeFile("[A]\nx=1\n");
    ::chmod(QFile::encodeName(shared).constData(), 0640);
    ASSERT_TRUE(platform::writeProfileString("A", "x", "2", shared));
    EXPECT_EQ(modeOf(shared), 0640u);
}

TEST(ProfileWriting, WritesThroughASymlinkToItsTarget)
{
    const QString target = writeFile("[A]\nx=1\n");
    const QString link = vtxtest::makeTempDir(QStringLiteral("link")) + QStringLiteral("/config.ini");
    ASSERT_TRUE(QFile::link(target, link));
    ASSERT_TRUE(platform::writeProfileString("A", "x", "2", link));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readBytes(target), QByteArray("[A]\nx=2\n"));
}

} // namespace
