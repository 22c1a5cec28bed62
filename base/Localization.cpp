#include "Localization.h"

#include <QFile>
#include <cstdarg>
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

int Localization::Load(int languageId, const QString& packPath)
{
    m_languageId = languageId;
    QFile file(packPath);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return -1;

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
        m_texts.emplace(key, value); // the first occurrence wins
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
