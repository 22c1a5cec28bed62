#include "FolderTree.h"

#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Works relative to an open directory descriptor so that a folder swapped for a link while we
// descend cannot lead the removal outside the tree.
void removeContents(int dirFd)
{
    DIR* dir = fdopendir(dirFd);
    if (!dir) {
        close(dirFd);
        return;
    }
    while (dirent* entry = readdir(dir)) {
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        struct stat st;
        if (fstatat(dirfd(dir), name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISDIR(st.st_mode)) {
            const int child = openat(dirfd(dir), name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (child >= 0)
                removeContents(child);
            unlinkat(dirfd(dir), name, AT_REMOVEDIR);
        } else {
            unlinkat(dirfd(dir), name, 0);
        }
    }
    closedir(dir);
}

} // namespace

void removeFolderTree(const std::string& path)
{
    if (path.empty())
        return;
    struct stat st;
    if (lstat(path.c_str(), &st) != 0)
        return;
    if (!S_ISDIR(st.st_mode)) {
        // A link given as the folder itself is removed, not followed.
        if (S_ISLNK(st.st_mode))
            unlink(path.c_str());
        return;
    }
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    removeContents(fd);
    rmdir(path.c_str());
}
