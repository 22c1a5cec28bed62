#include "Localization.h"

#include <QFile>
#include <QFileInfo>
#include <cstdarg>
#include <cstring>
#include <optional>
#include <vector>

Localization* Localization::Instance()
{
    static Localization instance;
    return &instance;
}

namespace {

std::string trimSpaces(const std::string& s)
{
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    const auto last = s.find_last_not_of(' ');
    return s.substr(first, last - first + 1);
}

} // namespace

namespace {

using Texts = std::map<QString, std::string>;

void readPack(QFile& file, Texts& texts)
{
    bool firstLine = true;
    while (!file.atEnd()) {
        QByteArray raw = file.readLine(64 * 1024);
        if (raw.isEmpty())
            break;
        // An over-long line is skipped whole rather than split into bogus keys.
        if (!raw.endsWith('\n') && !file.atEnd()) {
            while (!file.atEnd() && !file.readLine(64 * 1024).endsWith('\n')) {
            }
            firstLine = false;
            continue;
        }
        if (raw.endsWith('\n'))
            raw.chop(1);
        if (raw.endsWith('\r'))
            raw.chop(1);
        // Only a real byte-order mark is dropped; a pack saved without one keeps its first key whole.
        if (firstLine && raw.startsWith("\xEF\xBB\xBF"))
            raw.remove(0, 3);
        firstLine = false;

        if (raw.isEmpty() || raw.at(0) == '#' || raw.at(0) == ';')
            continue;
        const int eq = raw.indexOf('=');
        if (eq < 0)
            continue;
        const QString key = QString::fromUtf8(raw.constData(), eq);
        if (key.isEmpty())
            continue;
        const std::string value = trimSpaces(std::string(raw.constData() + eq + 1, size_t(raw.size() - eq - 1)));
        texts.emplace(key, value); // the first occurrence wins
    }
}

// The kinds of argument a printf conversion takes from the caller.
enum Arg : char
{
    Int = 'd',      // int (also %u %x %o %c)
    LongLong = 'q', // long long (%lld %llu ...)
    String = 's',   // UTF-8 const char*
};

// What the callers of LangFormat pass, in order; every other key is plain text.
const std::map<std::string, std::string>& formatKeys()
{
    static const std::map<std::string, std::string> keys = {
        {"ui.label_version", "s"},           {"ui.btn_regFetch", "d"},           {"ui.plan.schedule_edit_success", "q"},
        {"ui.plan.checkBox_usePMI", "q"},    {"ui.plan.default.topic", "s"},     {"ui.plan.calculate.daily", "dd"},
        {"ui.plan.calculate.weekly", "dsd"}, {"ui.plan.calculate.monthly", "d"}, {"msg.invite_welcome", "s"},
        {"msg.invite_topic", "s"},           {"msg.invite_datetime", "ddddd"},   {"msg.invite_meetingid", "q"},
        {"msg.invite_password", "s"},        {"msg.invite_link", "s"},           {"msg.invite_duration", "d"},
    };
    return keys;
}

// The argument kinds a format consumes; nullopt for anything a caller could not safely feed:
// %n, %p, floating point, '*' widths, positional arguments, other length modifiers, a lone '%'.
std::optional<std::string> conversionsOf(const char* format)
{
    std::string kinds;
    for (const char* p = format; *p; ++p) {
        if (*p != '%')
            continue;
        ++p;
        if (*p == '%')
            continue;
        while (*p && std::strchr("-+ #0'", *p))
            ++p;
        while (*p >= '0' && *p <= '9')
            ++p;
        if (*p == '.') {
            ++p;
            while (*p >= '0' && *p <= '9')
                ++p;
        }
        bool longLong = false;
        if (p[0] == 'l' && p[1] == 'l') {
            longLong = true;
            p += 2;
        }
        if (*p && std::strchr("diouxX", *p))
            kinds += longLong ? LongLong : Int;
        else if (*p == 'c' && !longLong)
            kinds += Int;
        else if (*p == 's' && !longLong)
            kinds += String;
        else
            return std::nullopt;
    }
    return kinds;
}

bool fitsCaller(const std::string& key, const char* format)
{
    const auto known = formatKeys().find(key);
    const std::string expected = known == formatKeys().end() ? std::string() : known->second;
    const std::optional<std::string> kinds = conversionsOf(format);
    return kinds && *kinds == expected;
}

} // namespace

int Localization::Load(int languageId, const QString& packPath)
{
    m_languageId = languageId;
    QFile file(packPath);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return -1;
    readPack(file, m_texts);

    // A format text that does not take what its caller passes would crash the formatting: use the
    // other language's text instead, or the key itself.
    std::optional<Texts> other;
    for (const auto& [name, expected] : formatKeys()) {
        const auto it = m_texts.find(QString::fromStdString(name));
        if (it == m_texts.end() || fitsCaller(name, it->second.c_str()))
            continue;
        if (!other) {
            other.emplace();
            QFile otherFile(QFileInfo(packPath).absolutePath() + (languageId == 1 ? "/zh_CN.ini" : "/en_US.ini"));
            if (QFileInfo(otherFile).canonicalFilePath() != QFileInfo(file).canonicalFilePath() &&
                otherFile.open(QIODevice::ReadOnly))
                readPack(otherFile, *other);
        }
        const auto fallback = other->find(it->first);
        it->second = fallback != other->end() && fitsCaller(name, fallback->second.c_str()) ? fallback->second : name;
    }
    return 0;
}

const char* Localization::Lookup(const char* key) const
{
    static const char empty[] = "";
    if (!key)
        return empty;
    const auto it = m_texts.find(QString::fromUtf8(key));
    return it == m_texts.end() ? empty : it->second.c_str();
}

void Localization::resetForTest()
{
    m_texts.clear();
    m_languageId = 0;
    m_relaunchedForSignIn = false;
}

QString LangText(const char* key)
{
    return QString::fromUtf8(Localization::Instance()->Lookup(key));
}

QString LangFormat(const char* key, ...)
{
    const char* format = Localization::Instance()->Lookup(key);
    // Checked at load already; this catches a key missing from the table of format keys.
    if (!fitsCaller(key ? key : "", format))
        return QString::fromUtf8(format);
    va_list args;
    va_start(args, key);
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    QString result;
    if (needed >= 0) {
        std::vector<char> buffer(size_t(needed) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, args);
        result = QString::fromUtf8(buffer.data(), needed);
    }
    va_end(args);
    return result;
}
