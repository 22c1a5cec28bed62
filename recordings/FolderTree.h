#pragma once
// Removal of a folder with everything in it; shared by the recordings list and the cleanup tool,
// so it depends on nothing but the C library.

#include <string>

// Deletes path and everything below it. Symbolic links are removed as links, never followed.
// What cannot be deleted stays, together with the folders that hold it. A path that cannot be
// listed is left untouched.
void removeFolderTree(const std::string& path);
