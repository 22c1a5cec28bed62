#include "ResCheck.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace rescheck {

namespace {

QString trimSpaces(const QString& s)
{
    int begin = 0;
    int end = s.size();
    while (begin < end && s.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && s.at(end - 1) == QLatin1Char(' '))
        --end;
    return s.mid(begin, end - begin);
}

} // namespace

Pack readPack(const QString& path)
{
    Pack pack;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return pack;
    pack.readable = true;
    QByteArray bytes = file.readAll();
    pack.hasBom = bytes.startsWith("\xEF\xBB\xBF");
    if (pack.hasBom)
        bytes.remove(0, 3);

    static const QRegularExpression keyPattern(QStringLiteral("^[A-Za-z0-9_.]+$"));
    const QList<QByteArray> lines = bytes.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        QString line = QString::fromUtf8(lines.at(i));
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (i == 0)
            pack.firstLine = line;
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1Char(';')))
            continue;
        const int eq = line.indexOf(QLatin1Char('='));
        const QString key = eq < 0 ? QString() : line.left(eq);
        if (!keyPattern.match(key).hasMatch()) {
            pack.badLines << QStringLiteral("line %1: %2").arg(i + 1).arg(line);
            continue;
        }
        if (pack.values.contains(key)) {
            pack.duplicateKeys << key;
            continue;
        }
        pack.values.insert(key, trimSpaces(line.mid(eq + 1)));
    }
    return pack;
}

QStringList conversions(const QString& format, bool* ok)
{
    static const QRegularExpression conversionPattern(
        QStringLiteral("\\G%([-+ #0]*)(\\d*)(?:\\.(\\d*))?(hh|h|ll|l|j|z|t|L)?([diouxXeEfFgGaAcsp])"));
    QStringList result;
    *ok = true;
    for (int i = 0; i < format.size(); ++i) {
        if (format.at(i) != QLatin1Char('%'))
            continue;
        if (i + 1 < format.size() && format.at(i + 1) == QLatin1Char('%')) {
            ++i;
            continue;
        }
        const QRegularExpressionMatch m = conversionPattern.match(format, i);
        if (!m.hasMatch()) {
            *ok = false;
            continue;
        }
        result << m.captured(4) + m.captured(5);
        i += m.capturedLength() - 1;
    }
    return result;
}

QMap<QString, QString> qrcEntries(const QString& qrcPath, QString* error)
{
    QMap<QString, QString> entries;
    QFile file(qrcPath);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot open ") + qrcPath;
        return entries;
    }
    QXmlStreamReader xml(&file);
    QString prefix;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("qresource")) {
            prefix = xml.attributes().value(QLatin1String("prefix")).toString();
        } else if (xml.name() == QLatin1String("file")) {
            const QString alias = xml.attributes().value(QLatin1String("alias")).toString();
            const QString path = xml.readElementText().trimmed();
            const QString name = alias.isEmpty() ? path : alias;
            entries.insert(QStringLiteral(":") + prefix + QLatin1Char('/') + name, path);
        }
    }
    if (xml.hasError())
        *error = xml.errorString();
    return entries;
}

QList<Literal> sourceLiterals(const QString& root, const QStringList& folders)
{
    static const QRegularExpression quoted(QStringLiteral("\"((?:[^\"\\\\\\n]|\\\\.)*)\""));
    static const QRegularExpression uiString(QStringLiteral("<string[^>]*>([^<]*)</string>"));
    QList<Literal> literals;
    for (const QString& folder : folders) {
        QDirIterator it(root + QLatin1Char('/') + folder,
                        {QStringLiteral("*.cpp"), QStringLiteral("*.h"), QStringLiteral("*.ui")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QString text = QString::fromUtf8(file.readAll());
            const QString shortPath = path.mid(root.size() + 1);
            auto collect = [&](const QRegularExpression& re) {
                auto matches = re.globalMatch(text);
                while (matches.hasNext()) {
                    const auto m = matches.next();
                    const int line = text.leftRef(m.capturedStart()).count(QLatin1Char('\n')) + 1;
                    literals.append({m.captured(1), QStringLiteral("%1:%2").arg(shortPath).arg(line)});
                }
            };
            collect(quoted);
            if (path.endsWith(QLatin1String(".ui")))
                collect(uiString);
        }
    }
    return literals;
}

QStringList resourcePaths(const QString& text)
{
    static const QRegularExpression path(QStringLiteral(":/(?:UI|QSS)/res/[A-Za-z0-9_.\\-]*"));
    QStringList result;
    auto matches = path.globalMatch(text);
    while (matches.hasNext())
        result << matches.next().captured(0);
    return result;
}

} // namespace rescheck
