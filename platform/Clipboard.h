#pragma once

#include <QString>

namespace platform {

// Puts Unicode text on the clipboard; GUI thread only.
bool setClipboardText(const QString& text);

} // namespace platform
