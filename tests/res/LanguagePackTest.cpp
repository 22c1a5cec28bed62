#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <climits>
#include <cstdio>
#include <gtest/gtest.h>

#include "ResCheck.h"

namespace {

const QString kSourceDir = QStringLiteral(VTX_SOURCE_DIR);
const QStringList kLanguages = {QStringLiteral("zh_CN"), QStringLiteral("en_US")};

const rescheck::Pack& pack(const QString& language)
{
    static QMap<QString, rescheck::Pack> packs;
    if (!packs.contains(language))
        packs.insert(language, rescheck::readPack(kSourceDir + QStringLiteral("/res/lang/") + language + ".ini"));
    return packs[language];
}

QByteArray utf8(const QString& language, const char* key)
{
    return pack(language).values.value(QLatin1String(key)).toUtf8();
}

// The arguments each caller hands to a pack text used as a printf format. Every other key is a plain text.
const QMap<QString, QStringList>& formatKeys()
{
    static const QMap<QString, QStringList> keys = {
        {"ui.label_version", {"s"}},                        // "1.5.0"
        {"ui.btn_regFetch", {"d"}},                         // seconds left
        {"ui.plan.schedule_edit_success", {"llu"}},         // meeting number
        {"ui.plan.checkBox_usePMI", {"llu"}},               // personal meeting ID
        {"ui.plan.default.topic", {"s"}},                   // display name
        {"ui.plan.calculate.daily", {"d", "d"}},            // interval, count
        {"ui.plan.calculate.weekly", {"d", "s", "d"}},      // interval, days part, count
        {"ui.plan.calculate.monthly", {"d"}},               // count
        {"msg.invite_welcome", {"s"}},                      // display name
        {"msg.invite_topic", {"s"}},                        // topic
        {"msg.invite_datetime", {"d", "d", "d", "d", "d"}}, // year, month, day, hour, minute
        {"msg.invite_meetingid", {"llu"}},                  // meeting number
        {"msg.invite_password", {"s"}},                     // password
        {"msg.invite_link", {"s"}},                         // join link
        {"msg.invite_duration", {"d"}},                     // minutes
    };
    return keys;
}

QStringList requiredKeys()
{
    QStringList keys;
    QFile file(kSourceDir + QStringLiteral("/res/lang/keys.txt"));
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray& raw : file.readAll().split('\n')) {
            const QString line = QString::fromUtf8(raw).trimmed();
            if (!line.isEmpty() && !line.startsWith(QLatin1Char('#')))
                keys << line;
        }
    }
    for (const char* day : {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"})
        keys << QStringLiteral("week.") + day;
    for (const char* month : {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"})
        keys << QStringLiteral("month.") + month;
    keys << QStringLiteral("ui.orvo");
    return keys;
}

// The length snprintf needs for the text, without the terminating zero.
template <typename... Args> int formattedLength(const QByteArray& format, Args... args)
{
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
    return std::snprintf(nullptr, 0, format.constData(), args...);
#pragma GCC diagnostic pop
}

} // namespace

TEST(PlaceholderParser, ReadsConversionsAndRejectsMalformedConversions)
{
    bool ok = false;
    EXPECT_EQ(rescheck::conversions("%d年%02d月 100%% %-5s %.2f %llu", &ok), QStringList({"d", "d", "s", "f", "llu"}));
    EXPECT_TRUE(ok);
    EXPECT_TRUE(rescheck::conversions("plain 50%% off", &ok).isEmpty());
    EXPECT_TRUE(ok);
    rescheck::conversions("trailing %", &ok);
    EXPECT_FALSE(ok);
    rescheck::conversions("%I64d", &ok);
    EXPECT_FALSE(ok);
    rescheck::conversions("%*d", &ok);
    EXPECT_FALSE(ok);
}

TEST(PackReader, ReportsMissingMarkBadLinesAndDuplicates)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("bad.ini");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("ui.a =x\r\n# note=1\nno equals sign\nui.b=  two words  \nui.b=again\n");
    file.close();
    const rescheck::Pack bad = rescheck::readPack(path);
    EXPECT_FALSE(bad.hasBom);
    EXPECT_EQ(bad.badLines.size(), 2); // "ui.a " has a trailing space; the third line has no '='
    EXPECT_EQ(bad.values.value("ui.b"), "two words");
    EXPECT_EQ(bad.duplicateKeys, QStringList({"ui.b"}));
    EXPECT_FALSE(rescheck::readPack(dir.filePath("missing.ini")).readable);
}

TEST(LanguagePacks, StartWithByteOrderMarkFollowedByAKey)
{
    // The loader strips the first unit of the first key it reads, so that key must come right after the mark.
    for (const QString& language : kLanguages) {
        const rescheck::Pack& p = pack(language);
        ASSERT_TRUE(p.readable) << language.toStdString();
        EXPECT_TRUE(p.hasBom) << language.toStdString();
        const QString firstKey = p.firstLine.section(QLatin1Char('='), 0, 0);
        EXPECT_TRUE(p.firstLine.contains(QLatin1Char('=')) && p.values.contains(firstKey))
            << language.toStdString() << ": " << p.firstLine.toStdString();
    }
}

TEST(LanguagePacks, HoldOnlyCleanUniqueKeyLines)
{
    for (const QString& language : kLanguages) {
        const rescheck::Pack& p = pack(language);
        EXPECT_TRUE(p.badLines.isEmpty()) << language.toStdString() << ": " << p.badLines.join("\n").toStdString();
        EXPECT_TRUE(p.duplicateKeys.isEmpty())
            << language.toStdString() << ": " << p.duplicateKeys.join(", ").toStdString();
        for (auto it = p.values.begin(); it != p.values.end(); ++it)
            EXPECT_FALSE(it.value().isEmpty()) << language.toStdString() << ": " << it.key().toStdString();
    }
}

TEST(LanguagePacks, HoldEveryKeyTheClientLooksUp)
{
    const QStringList keys = requiredKeys();
    ASSERT_GT(keys.size(), 250);
    for (const QString& language : kLanguages)
        for (const QString& key : keys)
            EXPECT_TRUE(pack(language).values.contains(key)) << language.toStdString() << ": " << key.toStdString();
}

TEST(LanguagePacks, HoldEveryKeyLiteralOfTheSources)
{
    static const QRegularExpression keyLiteral(QStringLiteral("^(ui|msg|box|bol|week|month)\\.[A-Za-z0-9_.]+$"));
    const auto literals =
        rescheck::sourceLiterals(kSourceDir, {QStringLiteral("app"), QStringLiteral("ui"), QStringLiteral("net"),
                                              QStringLiteral("sdk"), QStringLiteral("recordings")});
    for (const rescheck::Literal& literal : literals) {
        if (!keyLiteral.match(literal.text).hasMatch())
            continue;
        for (const QString& language : kLanguages)
            EXPECT_TRUE(pack(language).values.contains(literal.text))
                << literal.where.toStdString() << ": " << literal.text.toStdString() << " missing in "
                << language.toStdString();
    }
}

TEST(LanguagePacks, ShareOneKeySet)
{
    const QStringList zh = pack("zh_CN").values.keys();
    const QStringList en = pack("en_US").values.keys();
    EXPECT_EQ(zh, en);
}

TEST(LanguagePacks, FormatKeysCarryExactlyTheCallersPlaceholders)
{
    for (const QString& language : kLanguages) {
        for (auto it = formatKeys().begin(); it != formatKeys().end(); ++it) {
            bool ok = false;
            const QStringList found = rescheck::conversions(pack(language).values.value(it.key()), &ok);
            EXPECT_TRUE(ok) << language.toStdString() << ": " << it.key().toStdString();
            EXPECT_EQ(found, it.value()) << language.toStdString() << ": " << it.key().toStdString();
        }
    }
}

TEST(LanguagePacks, PlainTextsContainNoPercentSign)
{
    // Callers insert plain texts as they are; a '%' would print literally or, in a format, eat an argument.
    for (const QString& language : kLanguages) {
        const rescheck::Pack& p = pack(language);
        for (auto it = p.values.begin(); it != p.values.end(); ++it)
            if (!formatKeys().contains(it.key()))
                EXPECT_FALSE(it.value().contains(QLatin1Char('%')))
                    << language.toStdString() << ": " << it.key().toStdString();
    }
}

TEST(LanguagePacks, BothLanguagesUseTheSamePlaceholders)
{
    const rescheck::Pack& zh = pack("zh_CN");
    const rescheck::Pack& en = pack("en_US");
    for (auto it = zh.values.begin(); it != zh.values.end(); ++it) {
        bool okZh = false;
        bool okEn = false;
        EXPECT_EQ(rescheck::conversions(it.value(), &okZh), rescheck::conversions(en.values.value(it.key()), &okEn))
            << it.key().toStdString();
        EXPECT_EQ(okZh, okEn) << it.key().toStdString();
    }
}

TEST(LanguagePacks, FormattedTextsFitTheCallersBuffers)
{
    for (const QString& language : kLanguages) {
        SCOPED_TRACE(language.toStdString());
        // Formatting a text whose placeholders do not match the arguments is undefined; the test above reports it.
        bool safe = true;
        for (auto it = formatKeys().begin(); it != formatKeys().end(); ++it) {
            bool ok = false;
            safe = safe && rescheck::conversions(pack(language).values.value(it.key()), &ok) == it.value() && ok;
        }
        ASSERT_TRUE(safe);
        // 64-byte buffers of the countdown and the edit notice, 63 bytes for the about box's version line.
        EXPECT_LT(formattedLength(utf8(language, "ui.btn_regFetch"), 60), 64);
        EXPECT_LT(formattedLength(utf8(language, "ui.plan.schedule_edit_success"), ULLONG_MAX), 64);
        EXPECT_LE(formattedLength(utf8(language, "ui.label_version"), "1.5.0"), 63);

        // The recurrence summary is built in 256 bytes, its days part in 128.
        QByteArray days = " " + utf8(language, "ui.plan.calculate.week");
        const char* dayKeys[] = {"ui.plan.sunday",   "ui.plan.monday", "ui.plan.tuesday", "ui.plan.wednesday",
                                 "ui.plan.thursday", "ui.plan.friday", "ui.plan.saturday"};
        for (int i = 0; i < 7; ++i)
            days += (i ? utf8(language, "ui.plan.separate") : QByteArray()) + utf8(language, dayKeys[i]);
        EXPECT_LT(days.size(), 128);
        EXPECT_LT(formattedLength(utf8(language, "ui.plan.calculate.daily"), 15, 99999), 256);
        EXPECT_LT(formattedLength(utf8(language, "ui.plan.calculate.weekly"), 12, days.constData(), 99999), 256);
        EXPECT_LT(formattedLength(utf8(language, "ui.plan.calculate.monthly"), 99999), 256);
    }
}

TEST(LanguagePacks, ShowTheProductNotTheSdkVendor)
{
    // "ui.orvo" is the vendor text the invite dialog replaces by "ui.window" in meeting topics.
    for (const QString& language : kLanguages) {
        const rescheck::Pack& p = pack(language);
        EXPECT_EQ(p.values.value("ui.orvo"), "Orvo");
        EXPECT_EQ(p.values.value("ui.window"), "VTX");
        for (auto it = p.values.begin(); it != p.values.end(); ++it)
            if (it.key() != QLatin1String("ui.orvo"))
                EXPECT_FALSE(it.value().contains("Orvo", Qt::CaseInsensitive))
                    << language.toStdString() << ": " << it.key().toStdString();
    }
}
