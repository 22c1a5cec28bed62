#pragma once
// Text conversions between the UI's QString and the narrow strings of requests, JSON and file
// names. Empty in, empty out; embedded NUL characters are kept.

#include <QString>
#include <string>

std::string WideToUtf8(const QString& text);
QString Utf8ToWide(const std::string& text);
// The locale's 8-bit encoding, for narrow file and folder names.
std::string WideToAnsi(const QString& text);
QString AnsiToWide(const std::string& text);
