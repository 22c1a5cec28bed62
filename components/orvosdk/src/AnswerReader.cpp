#include "AnswerReader.h"

#include <QJsonDocument>
#include <QJsonParseError>

#include "common/Utf8.h"

namespace orvo {

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

} // namespace

QByteArray WithoutBadText(const QByteArray& body)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(body.constData());
    const int size = body.size();
    QByteArray out;
    out.reserve(size);
    int i = 0;
    while (i < size) {
        if (bytes[i] != '"') {
            out.append(static_cast<char>(bytes[i++]));
            continue;
        }
        // A string: find its end and whether its text is valid. Escapes are ASCII.
        const int start = i++;
        bool valid = true;
        QByteArray repaired("\"");
        while (i < size && bytes[i] != '"') {
            if (bytes[i] == '\\' && i + 1 < size) {
                repaired.append(body.constData() + i, 2);
                i += 2;
                continue;
            }
            const int length = utf8::sequenceLength(bytes + i, static_cast<size_t>(size - i));
            if (length == 0) {
                valid = false;
                repaired.append("\\ufffd");
                ++i;
            } else {
                repaired.append(body.constData() + i, length);
                i += length;
            }
        }
        if (i < size)
            ++i; // the closing quote
        repaired.append('"');
        if (valid) {
            out.append(body.constData() + start, i - start);
            continue;
        }
        int next = i;
        while (next < size && IsSpace(body.at(next)))
            ++next;
        out.append(next < size && body.at(next) == ':' ? repaired : QByteArray("null"));
    }
    return out;
}

bool ReadAnswerObject(const QByteArray& body, QJsonObject& object)
{
    QJsonParseError error{};
    QJsonDocument doc = QJsonDocument::fromJson(body, &error);
    if (error.error == QJsonParseError::IllegalUTF8String)
        doc = QJsonDocument::fromJson(WithoutBadText(body), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return false;
    object = doc.object();
    return true;
}

} // namespace orvo
