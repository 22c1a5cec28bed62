// Profile files: the file, then section, key and value (NUL between them). Reading must survive any
// file; a plain value written under a plain section and key must read back unchanged.
#include <QFile>

#include "FuzzInput.h"
#include "platform/Profile.h"

namespace {

bool plainName(const std::string& s)
{
    if (s.empty() || s.size() > 64)
        return false;
    for (char c : s) {
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '.'))
            return false;
    }
    return true;
}

bool plainValue(const std::string& s)
{
    if (s.size() > 1000 || (!s.empty() && (s.front() == ' ' || s.back() == ' ')))
        return false;
    if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front())
        return false; // one pair of surrounding quotes is taken off on reading, by design
    for (char c : s) {
        if (c < 0x20 || c > 0x7e)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<std::string> parts = fuzz::split(data, size, 4);
    const QString path = fuzz::scratchFolder() + "/profile.ini";
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(parts[0].data(), qint64(parts[0].size()));
    }
    const QString section = QString::fromUtf8(parts[1].data(), int(parts[1].size()));
    const QString key = QString::fromUtf8(parts[2].data(), int(parts[2].size()));
    const QString value = QString::fromUtf8(parts[3].data(), int(parts[3].size()));

    const QString read = platform::readProfileString(section, key, "default", 256, path);
    FUZZ_CHECK(read.size() <= 255);
    FUZZ_CHECK(platform::readProfileString(section, key, "default", 1, path).isEmpty());
    platform::readProfileInt(section, key, -1, path);

    const bool written = platform::writeProfileString(section, key, value, path);
    if (plainName(parts[1]) && plainName(parts[2]) && plainValue(parts[3])) {
        FUZZ_CHECK(written);
        FUZZ_CHECK(platform::readProfileString(section, key, "\x01", 4096, path) == value);
    }
    return 0;
}
