// cleanup: removes the per-user data folder of VTX. Takes no arguments, prints nothing, exits 0.

#include <cstdlib>
#include <pwd.h>
#include <string>
#include <unistd.h>

#include "recordings/FolderTree.h"

namespace {

std::string appDataFolder()
{
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/')
        return xdg;
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* pw = getpwuid(getuid());
        home = pw ? pw->pw_dir : nullptr;
    }
    return home && *home ? std::string(home) + "/.config" : std::string();
}

} // namespace

int main()
{
    const std::string base = appDataFolder();
    if (!base.empty())
        removeFolderTree(base + "/VTX");
    return 0;
}
