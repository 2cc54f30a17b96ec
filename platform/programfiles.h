#pragma once
// Where the program's own files are: its folder, its help page and the folder of its
// settings file.
#include <string>

// The folder that holds the running program, with its trailing "/"; "" if it cannot be told.
std::string ProgramDir();
// Tests run the program against a folder of their own instead ("" returns to the real one).
// A settings folder chosen from the previous folder is forgotten.
void SetProgramDirForTesting(const std::string& dir);

// help/index.html beside the program (a build folder, a copy kept anywhere), else the
// installed page, share/folivo/help/index.html next to the program's bin/ folder. When
// neither exists, the path beside the program.
std::string HelpPagePath();

// The folder may be written by this process: it exists, the system grants writing and
// entering it, and, for the superuser (whom no permission bit stops), its own mode gives
// the superuser's class the right to write. So a folder made read-only is read-only for
// every user, and a read-only file system is read-only too.
bool IsWritableFolder(const std::string& dir);

// The user's own settings folder for this program with its trailing "/":
// $XDG_CONFIG_HOME/folivo/, or ~/.config/folivo/ when that variable is unset, empty or not
// an absolute path.
std::string UserSettingsDir();

// Decides where fovi.ini lives, once at start: beside the program while its folder is
// writable (a portable copy keeps its settings with it), else the user's settings folder.
void ChooseSettingsDir();
// The folder ChooseSettingsDir chose, with its trailing "/"; the program's folder before.
std::string SettingsDir();
// Creates the settings folder and any missing parents (for the user only); true when it
// exists afterwards.
bool CreateSettingsDir();
