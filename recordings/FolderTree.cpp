#include "FolderTree.h"

#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#ifndef STATX_ATTR_MOUNT_ROOT
#define STATX_ATTR_MOUNT_ROOT 0x00002000
#endif

namespace {

// One folder on the way down. Only the folder being emptied is open, so a tree deeper than the
// descriptor limit is removed all the same; the way back up is checked against these identities.
struct Level
{
    dev_t dev;
    ino_t ino;
    std::string name;               // in the folder above
    std::vector<std::string> names; // entries not looked at yet
};

// Reads the entries through a fresh descriptor, so the caller's stays as it is.
bool listEntries(int dirFd, std::vector<std::string>& names)
{
    const int fd = openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    DIR* dir = fdopendir(fd);
    if (!dir) {
        close(fd);
        return false;
    }
    while (dirent* entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.emplace_back(entry->d_name);
    }
    closedir(dir);
    return true;
}

// Another file system, or a bind mount of a folder of the same one (same st_dev, so only statx tells).
bool isMountPoint(int parentFd, const char* name, const struct stat& st, dev_t treeDev)
{
    if (st.st_dev != treeDev)
        return true;
    struct statx sx;
    if (statx(parentFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_BASIC_STATS, &sx) != 0)
        return true; // cannot tell: leave it
    return (sx.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) && (sx.stx_attributes & STATX_ATTR_MOUNT_ROOT);
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
    // Works relative to open descriptors so that a folder swapped for a link while we descend cannot
    // lead the removal outside the tree.
    int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat rootSt;
    std::vector<Level> stack(1);
    if (fstat(fd, &rootSt) != 0 || !listEntries(fd, stack.back().names)) {
        close(fd);
        return;
    }
    stack.back().dev = rootSt.st_dev;
    stack.back().ino = rootSt.st_ino;
    const dev_t treeDev = rootSt.st_dev;

    while (true) {
        if (!stack.back().names.empty()) {
            const std::string name = std::move(stack.back().names.back());
            stack.back().names.pop_back();
            if (fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            if (!S_ISDIR(st.st_mode)) {
                unlinkat(fd, name.c_str(), 0);
                continue;
            }
            if (isMountPoint(fd, name.c_str(), st, treeDev))
                continue; // stays, and so do the folders above it
            const int child = openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            struct stat childSt;
            Level next{st.st_dev, st.st_ino, name, {}};
            if (child < 0 || fstat(child, &childSt) != 0 || childSt.st_dev != st.st_dev ||
                childSt.st_ino != st.st_ino || !listEntries(child, next.names)) {
                if (child >= 0)
                    close(child);
                unlinkat(fd, name.c_str(), AT_REMOVEDIR); // goes if it happens to be empty
                continue;
            }
            close(fd);
            fd = child;
            stack.push_back(std::move(next));
            continue;
        }
        if (stack.size() == 1)
            break;
        // Emptied: climb back and remove it from its parent, unless the tree moved meanwhile.
        const std::string name = std::move(stack.back().name);
        stack.pop_back();
        const int parent = openat(fd, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        close(fd);
        struct stat parentSt;
        if (parent < 0 || fstat(parent, &parentSt) != 0 || parentSt.st_dev != stack.back().dev ||
            parentSt.st_ino != stack.back().ino) {
            if (parent >= 0)
                close(parent);
            return;
        }
        fd = parent;
        unlinkat(fd, name.c_str(), AT_REMOVEDIR);
    }
    close(fd);
    rmdir(path.c_str());
}
