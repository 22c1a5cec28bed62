#pragma once
// Meeting numbers: what the user types, what the lists show, what the SDK and the service take.

#include <QString>
#include <string>

// Meeting numbers are shown in groups: a dash after the 3rd digit and, for more than 6 digits, a
// second dash after the 6th digit (up to 10 digits) or after the 7th (11 digits or more).
QString formatMeetingNumber(const QString& digits);
// The number without dashes.
QString stripMeetingNumber(const QString& text);
// The leading digits after blanks and an optional '+'. 0 (no meeting) for no digits, a minus sign
// or a value beyond the signed 64-bit range, which the cloud cannot name.
quint64 parseMeetingNumber(const QString& text);
// The number as the service and the cloud expect it: signed 64-bit decimal.
std::string meetingNumberText(quint64 number);
