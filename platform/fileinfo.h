#pragma once
// Questions about one path, answered by the item itself.
#include <string>

// The path names a folder (following symbolic links).
bool DirectoryExists(const std::string& path);
