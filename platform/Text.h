#pragma once
// Code-page conversions: "ANSI" is the locale's 8-bit encoding (UTF-8 on every normal system).

#include <QString>
#include <string>

namespace platform {

std::string toUtf8(const QString& text);
QString fromUtf8(const std::string& text);
std::string toAnsi(const QString& text);
QString fromAnsi(const std::string& text);

} // namespace platform
