#pragma once
// Where VTX keeps its files.

#include <QString>

namespace platform {

// $XDG_CONFIG_HOME/VTX/ (default ~/.config/VTX/), with a trailing '/'. Rebuilt on every call.
QString dataFolder();
// The folder that holds the running executable, with a trailing '/'.
QString programFolder();
// The user's application-data folder ($XDG_CONFIG_HOME or ~/.config), without trailing '/'.
QString appDataFolder();
// Per-user runtime folder for locks and sockets ($XDG_RUNTIME_DIR/VTX, else a private folder
// under the temporary directory); created with mode 0700.
QString runtimeFolder();
// Creates the folder (and parents); failures are ignored, as the callers expect.
bool ensureFolder(const QString& path);

} // namespace platform
