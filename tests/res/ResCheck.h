#pragma once
// Small readers used by the resource tests: a language-pack reader of our own (independent of the
// client's loader), a printf placeholder parser, the configured .qrc and the string literals of the sources.

#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

namespace rescheck {

struct Pack
{
    bool readable = false;
    bool hasBom = false;
    QString firstLine;             // first line after the byte-order mark
    QMap<QString, QString> values; // key -> value, spaces trimmed at both ends like the loader does
    QStringList badLines;          // lines that are neither blank, a comment nor key=value with a clean key
    QStringList duplicateKeys;
};

Pack readPack(const QString& path);

// The conversions of a printf format in order, each as length modifier + conversion ("d", "llu", "s").
// Flags, width and precision are left out; "%%" is no conversion. Sets ok to false on a malformed or
// star-width conversion, which no caller passes arguments for.
QStringList conversions(const QString& format, bool* ok);

// ":/prefix/alias" of every <file> in a .qrc, mapped to the file path it names.
QMap<QString, QString> qrcEntries(const QString& qrcPath, QString* error);

struct Literal
{
    QString text;
    QString where; // file:line
};

// String literals of the C++ sources and forms below the given folders (.cpp, .h, .ui).
QList<Literal> sourceLiterals(const QString& root, const QStringList& folders);

// Every ":/UI/res/..." or ":/QSS/res/..." path inside a text.
QStringList resourcePaths(const QString& text);

} // namespace rescheck
