#pragma once
// Removal of a folder with everything in it; shared by the recordings list and the cleanup tool,
// so it depends on nothing but the C library.

#include <string>

// Deletes path and everything below it. Symbolic links are removed as links, never followed.
// What cannot be deleted stays, together with the folders that hold it. A path that cannot be
// listed is left untouched. The removal never leaves the file system of path: a mount point below
// it (another file system or a bind mount) stays in place with everything in it.
void removeFolderTree(const std::string& path);
