#pragma once
// The settings store: config.ini and the per-account files in the data folder. Readers fall back
// to defaults and no settings error is ever reported.

#include <QString>
#include <map>
#include <string>

namespace settings {

// The data folder with a trailing '/'; rebuilt on every call.
QString dataFolder();
QString configFile();
// The file of an account: config.ini for an empty account string, else the account's own file.
QString accountFile(const QString& account);
// An account name made safe as a file name inside the data folder. Ordinary names stay as they are.
QString accountFileName(const QString& account);
// "%d.%d.%d.%d" of the program version.
QString programVersionText();

int readLanguageId();
void writeLanguageId(int id);

qint64 readWindowHandle();
void writeWindowHandle(qint64 handle);

qint64 readJoinId();
void writeJoinId(qint64 id);

bool readAlwaysUsePmi();
void writeAlwaysUsePmi(bool on);

struct Login
{
    QString account;
    QString password;
    bool memory = false;
};
Login readLogin();
void writeLogin(const QString& account, const QString& password, bool memory);
// The remembered password only, used after a password change.
void writeLoginPassword(const QString& password);

struct TemporaryAccount
{
    QString user;
    QString password;
};
TemporaryAccount readTemporaryAccount();
void writeTemporaryAccount(const QString& user, const QString& password);
void writeTemporaryPassword(const QString& password);

QString readNickname(const QString& account, bool share);
void writeNickname(const QString& account, bool share, const QString& nickname);

// The phone verification record is valid for the running program version only.
void writeVerification(const QString& account);
bool isVerificationValid(const QString& account);

// First sign-in only: moves the SDK's recording folder to a sibling named "Veltrex" (or creates it)
// and returns it; empty when this was done before.
QString firstRunRecordingFolder(const QString& sdkFolder);

struct HistoryEntry
{
    std::string id;   // meeting number, decimal, no dashes
    std::string name; // UTF-8
};
using History = std::map<qint64, HistoryEntry>; // by join time, oldest first
History loadHistory(const QString& account, bool share);
void saveHistory(const QString& account, bool share, const History& history);

} // namespace settings
