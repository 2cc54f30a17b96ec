#pragma once
// Questions about one path, answered by the item itself; the program's own folder.
#include <string>

// The path names a folder (following symbolic links).
bool DirectoryExists(const std::string& path);

// The folder that holds the running program, with its trailing "/": where its settings
// file and help pages live.
std::string ProgramDir();
// Tests run the program against a folder of their own instead.
void SetProgramDirForTesting(const std::string& dir);
