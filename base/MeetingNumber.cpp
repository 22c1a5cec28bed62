#include "base/MeetingNumber.h"

#include <cstdint>

QString formatMeetingNumber(const QString& digits)
{
    const int n = digits.size();
    if (n <= 3)
        return digits;
    QString text = digits.left(3) + QLatin1Char('-');
    if (n <= 6)
        return text + digits.mid(3);
    const int secondGroup = n <= 10 ? 3 : 4;
    return text + digits.mid(3, secondGroup) + QLatin1Char('-') + digits.mid(3 + secondGroup);
}

QString stripMeetingNumber(const QString& text)
{
    QString digits = text;
    digits.remove(QLatin1Char('-'));
    return digits;
}

quint64 parseMeetingNumber(const QString& text)
{
    int i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    quint64 value = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
        const unsigned digit = unsigned(c.unicode() - '0');
        if (value > (quint64(INT64_MAX) - digit) / 10)
            return 0;
        value = value * 10 + digit;
    }
    return negative ? 0 : value;
}

std::string meetingNumberText(quint64 number)
{
    return std::to_string(static_cast<long long>(number));
}
