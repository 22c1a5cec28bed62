#include "AnswerReader.h"

#include <QJsonDocument>
#include <QJsonParseError>

namespace orvo {

namespace {

// Length of the valid UTF-8 sequence at |p| (at most |left| bytes), 0 when there is none.
int Utf8Length(const unsigned char* p, int left)
{
    const unsigned char c = p[0];
    if (c < 0x80)
        return 1;
    int length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        if (c == 0xE0)
            low = 0xA0; // overlong
        else if (c == 0xED)
            high = 0x9F; // surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        if (c == 0xF0)
            low = 0x90; // overlong
        else if (c == 0xF4)
            high = 0x8F; // above U+10FFFF
    } else {
        return 0;
    }
    if (left < length || p[1] < low || p[1] > high)
        return 0;
    for (int i = 2; i < length; ++i)
        if (p[i] < 0x80 || p[i] > 0xBF)
            return 0;
    return length;
}

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
            const int length = Utf8Length(bytes + i, size - i);
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
