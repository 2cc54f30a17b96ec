#pragma once
// The program's command line: fovi [--help | --version | PATH...]. The paths are opened as if
// they had been dropped on the page view once the main window is shown.
#include <string>
#include <vector>

struct TCommandLine {
    enum class TAction { Run, Help, Version, Error };
    TAction Action = TAction::Run;
    std::vector<std::string> Paths;  // as given, for Run
    std::string Error;               // what was wrong, for Error
};

// Reads the arguments after the program's name. "--" ends the options, so that a file whose
// name begins with "-" can still be opened.
TCommandLine ParseCommandLine(const std::vector<std::string>& args);

// What --help and --version print.
std::string UsageText();
std::string VersionText();

// The paths that exist, made absolute against cwd (a folder, with its trailing "/") and
// without "." and ".." steps or a trailing "/", in their order; a missing path is left out,
// as an unusable dropped item is.
std::vector<std::string> UsablePaths(const std::vector<std::string>& paths, const std::string& cwd);

// Queues a drop of the paths on the main window's page view, handled by the message loop
// after the window has been shown. Nothing is queued for no paths, so the program starts as
// it would without any.
void DropOnStart(const std::vector<std::string>& paths);
