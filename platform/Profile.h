#pragma once
// Windows-compatible private-profile (INI) files. Reading follows GetPrivateProfileString/Int;
// writing is atomic (temporary file + rename) and serialised between processes.

#include <QString>

namespace platform {

// Section and key are compared without regard to case; the first occurrence wins; blanks around
// the value are trimmed and one pair of matching surrounding quotes is removed. The result is cut
// to bufferChars - 1 characters, as the Windows call cuts to its buffer.
QString readProfileString(
    const QString& section, const QString& key, const QString& defaultValue, int bufferChars, const QString& filePath);

// Leading blanks, an optional sign and decimal digits (0x... as hexadecimal); no digits gives 0,
// a missing key gives defaultValue.
int readProfileInt(const QString& section, const QString& key, int defaultValue, const QString& filePath);

// Replaces or adds section/key = value; the file and the section are created when missing.
bool writeProfileString(const QString& section, const QString& key, const QString& value, const QString& filePath);

// Files written from now on under this path get mode 0600 (they hold passwords).
void markProfilePrivate(const QString& filePath);

} // namespace platform
