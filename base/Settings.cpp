#include "Settings.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <cstdio>
#include <set>

#include "platform/Paths.h"
#include "platform/Profile.h"

namespace settings {
namespace {

const char kSectionHistory[] = "History";
const char kSectionHistoryShare[] = "History_share";

QString read(const QString& section, const QString& key, int bufferChars, const QString& file)
{
    return platform::readProfileString(section, key, QString(), bufferChars, file);
}

// Writers create the folder first. Every file here is private: config.ini holds passwords, and an
// account's file tells who the user meets and under which names.
void write(const QString& section, const QString& key, const QString& value, const QString& file)
{
    platform::ensureFolder(dataFolder());
    platform::markProfilePrivate(file);
    platform::writeProfileString(section, key, value, file);
}

qint64 toInt64(const QString& text)
{
    // Leading digits as strtoll reads them; no digits gives 0.
    const QByteArray bytes = text.toLatin1();
    return std::strtoll(bytes.constData(), nullptr, 10);
}

bool isSafeFileName(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    if (name.toUtf8().size() > 200)
        return false;
    for (const QChar c : name) {
        const ushort u = c.unicode();
        if (u < 0x20 || u == 0x7F || c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char('%'))
            return false;
    }
    return true;
}

} // namespace

QString dataFolder()
{
    return platform::dataFolder();
}

QString configFile()
{
    return dataFolder() + QStringLiteral("config.ini");
}

QString accountFileName(const QString& account)
{
    if (isSafeFileName(account))
        return account;
    // Escaped names always contain '%', which a plain name never does, so the two cannot collide.
    QByteArray escaped;
    for (const char ch : account.toUtf8()) {
        const auto u = static_cast<unsigned char>(ch);
        if (u < 0x20 || u == 0x7F || ch == '/' || ch == '\\' || ch == '%' || ch == '.')
            escaped += '%' + QByteArray::number(u, 16).rightJustified(2, '0').toUpper();
        else
            escaped += ch;
    }
    if (escaped.isEmpty())
        escaped = "%";
    if (escaped.size() > 200)
        escaped = "%h" + QCryptographicHash::hash(account.toUtf8(), QCryptographicHash::Sha1).toHex();
    return QString::fromUtf8(escaped);
}

QString accountFile(const QString& account)
{
    if (account.isEmpty())
        return configFile();
    return dataFolder() + accountFileName(account) + QStringLiteral(".ini");
}

QString programVersionText()
{
    return QString::asprintf("%d.%d.%d.%d", VTX_VERSION_MAJOR, VTX_VERSION_MINOR, VTX_VERSION_PATCH, VTX_VERSION_TWEAK);
}

int readLanguageId()
{
    return platform::readProfileInt("Language", "id", 0, configFile());
}
void writeLanguageId(int id)
{
    write("Language", "id", QString::number(id), configFile());
}

qint64 readWindowHandle()
{
    return toInt64(read("System", "windows", 64, configFile()));
}
void writeWindowHandle(qint64 handle)
{
    write("System", "windows", QString::number(handle), configFile());
}

qint64 readJoinId()
{
    return toInt64(read("Join", "ID", 64, configFile()));
}
void writeJoinId(qint64 id)
{
    write("Join", "ID", QString::number(id), configFile());
}

bool readAlwaysUsePmi()
{
    return platform::readProfileInt("Meeting", "always_use_pmi", 0, configFile()) != 0;
}
void writeAlwaysUsePmi(bool on)
{
    write("Meeting", "always_use_pmi", on ? "1" : "0", configFile());
}

Login readLogin()
{
    Login login;
    login.account = read("Login", "account", 256, configFile());
    login.password = read("Login", "password", 256, configFile());
    login.memory = platform::readProfileInt("Login", "memory", 0, configFile()) != 0;
    return login;
}

void writeLogin(const QString& account, const QString& password, bool memory)
{
    write("Login", "account", account, configFile());
    write("Login", "password", memory ? password : QString(), configFile());
    write("Login", "memory", memory ? "1" : "0", configFile());
}

void writeLoginPassword(const QString& password)
{
    write("Login", "password", password, configFile());
}

TemporaryAccount readTemporaryAccount()
{
    return {read("Temporary", "user", 256, configFile()), read("Temporary", "password", 256, configFile())};
}

void writeTemporaryAccount(const QString& user, const QString& password)
{
    write("Temporary", "user", user, configFile());
    write("Temporary", "password", password, configFile());
}

void writeTemporaryPassword(const QString& password)
{
    write("Temporary", "password", password, configFile());
}

QString readNickname(const QString& account, bool share)
{
    return read("Local", share ? "nickname_share" : "nickname", 256, accountFile(account));
}

void writeNickname(const QString& account, bool share, const QString& nickname)
{
    write("Local", share ? "nickname_share" : "nickname", nickname, accountFile(account));
}

void writeVerification(const QString& account)
{
    const QString file = accountFile(account);
    write("Verification", "versison", programVersionText(), file);
    write("Verification", "timestamp", QString::number(QDateTime::currentSecsSinceEpoch()), file);
}

bool isVerificationValid(const QString& account)
{
    const QString file = accountFile(account);
    const QString timestamp = read("Verification", "timestamp", 256, file);
    const QString version = read("Verification", "versison", 64, file);
    return !timestamp.isEmpty() && version == programVersionText();
}

QString firstRunRecordingFolder(const QString& sdkFolder)
{
    // Without an absolute folder there is nothing to move, and no place to put ours next to it:
    // the step waits for a sign-in that has one.
    const QString current = QDir::cleanPath(sdkFolder);
    if (sdkFolder.trimmed().isEmpty() || QDir::isRelativePath(current) || QDir(current).isRoot())
        return {};
    const QString file = configFile();
    if (platform::readProfileInt("System", "setup", 0, file) != 0)
        return {};
    write("System", "setup", "1", file);

    const QString target = current.left(current.lastIndexOf('/') + 1) + QStringLiteral("Veltrex");
    // Already ours (the data folder was cleaned up, the SDK kept its setting): nothing to move.
    // An existing folder of that name is never replaced.
    if (current != target && !QFileInfo::exists(target))
        QDir().rename(current, target);
    QDir().mkpath(target);
    return target;
}

History loadHistory(const QString& account, bool share)
{
    History history;
    const QString file = accountFile(account);
    const QString section = share ? kSectionHistoryShare : kSectionHistory;
    const int counts = platform::readProfileInt(section, "counts", 0, file);
    if (counts <= 0)
        return history;
    // A huge "counts" must not turn into millions of lookups: only indexes present in the file load.
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return history;
    static const QRegularExpression idKey(QStringLiteral("^[ \\t]*id_([0-9]{1,9})[ \\t]*="),
                                          QRegularExpression::MultilineOption |
                                              QRegularExpression::CaseInsensitiveOption);
    std::set<int> indexes;
    auto it = idKey.globalMatch(QString::fromUtf8(f.readAll()));
    while (it.hasNext()) {
        const int index = it.next().captured(1).toInt();
        if (index < counts)
            indexes.insert(index);
    }
    for (const int i : indexes) {
        const QString id = read(section, QStringLiteral("id_%1").arg(i), 2048, file);
        if (id.isEmpty())
            continue;
        const QString name = read(section, QStringLiteral("name_%1").arg(i), 2048, file);
        const qint64 time = toInt64(read(section, QStringLiteral("time_%1").arg(i), 64, file));
        history.emplace(time, HistoryEntry{id.toStdString(), name.toStdString()});
    }
    return history;
}

void saveHistory(const QString& account, bool share, const History& history)
{
    const QString file = accountFile(account);
    const QString section = share ? kSectionHistoryShare : kSectionHistory;
    int n = 0;
    for (const auto& [time, entry] : history) {
        if (entry.id.empty())
            continue;
        write(section, QStringLiteral("id_%1").arg(n), QString::fromStdString(entry.id), file);
        write(section, QStringLiteral("name_%1").arg(n), QString::fromStdString(entry.name), file);
        write(section, QStringLiteral("time_%1").arg(n), QString::number(time), file);
        ++n;
    }
    write(section, "counts", QString::number(n), file);
}

} // namespace settings
