#include "MeetingNumber.h"

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
