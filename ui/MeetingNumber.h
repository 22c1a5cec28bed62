#pragma once

#include <QString>

// Meeting numbers are shown in groups: a dash after the 3rd digit and, for more than 6 digits, a
// second dash after the 6th digit (up to 10 digits) or after the 7th (11 digits or more).
QString formatMeetingNumber(const QString& digits);
// The number without dashes.
QString stripMeetingNumber(const QString& text);
