#pragma once
// Text conversions between the UI's QString and the narrow strings of requests, JSON, file names
// and the component libraries. Empty in, empty out; embedded NUL characters are kept. "Ansi" is
// the locale's 8-bit encoding (UTF-8 on every normal system).

#include <QString>
#include <string>

std::string WideToUtf8(const QString& text);
QString Utf8ToWide(const std::string& text);
std::string WideToAnsi(const QString& text);
QString AnsiToWide(const std::string& text);
