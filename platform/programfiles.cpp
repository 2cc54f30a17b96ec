#include "programfiles.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>

#include "fileinfo.h"
#include "filename.h"

namespace {

std::string programDirOverride;
std::optional<std::string> chosenSettingsDir;

std::string WithSlash(const std::string& dir)
{
    return dir.empty() || dir.back() == '/' ? dir : dir + "/";
}

std::string ExecutableFolder()
{
    std::string target(256, '\0');
    for (;;) {
        ssize_t n = readlink("/proc/self/exe", target.data(), target.size());
        if (n < 0)
            return {};
        if (static_cast<size_t>(n) < target.size()) {
            target.resize(static_cast<size_t>(n));
            break;
        }
        target.resize(target.size() * 2);
    }
    return ExtractFilePath(target);
}

bool IsRegularFile(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsAbsolute(const char* path)
{
    return path && path[0] == '/';
}

}  // namespace

std::string ProgramDir()
{
    return programDirOverride.empty() ? ExecutableFolder() : programDirOverride;
}

void SetProgramDirForTesting(const std::string& dir)
{
    programDirOverride = WithSlash(dir);
    chosenSettingsDir.reset();
}

std::string HelpPagePath()
{
    const std::string dir = ProgramDir();
    const std::string beside = dir + "help/index.html";
    if (dir.size() < 2 || IsRegularFile(beside))
        return beside;
    // The folder above bin/: the program's folder without its last name.
    const std::string prefix = ExtractFilePath(dir.substr(0, dir.size() - 1));
    const std::string installed = prefix + "share/folivo/help/index.html";
    return IsRegularFile(installed) ? installed : beside;
}

bool IsWritableFolder(const std::string& dir)
{
    struct stat st {};
    if (dir.empty() || stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    if (faccessat(AT_FDCWD, dir.c_str(), W_OK | X_OK, AT_EACCESS) != 0)
        return false;
    if (geteuid() != 0)
        return true;
    const mode_t bit = st.st_uid == 0 ? S_IWUSR : st.st_gid == getegid() ? S_IWGRP : S_IWOTH;
    return (st.st_mode & bit) != 0;
}

std::string UserSettingsDir()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (IsAbsolute(config))
        return WithSlash(config) + "folivo/";
    std::string home;
    if (const char* h = std::getenv("HOME"); IsAbsolute(h))
        home = h;
    else if (const passwd* pw = getpwuid(geteuid()); pw && IsAbsolute(pw->pw_dir))
        home = pw->pw_dir;
    return WithSlash(home.empty() ? "/" : home) + ".config/folivo/";
}

void ChooseSettingsDir()
{
    const std::string dir = ProgramDir();
    chosenSettingsDir = IsWritableFolder(dir) ? dir : UserSettingsDir();
}

std::string SettingsDir()
{
    return chosenSettingsDir ? *chosenSettingsDir : ProgramDir();
}

bool CreateSettingsDir()
{
    const std::string dir = SettingsDir();
    if (DirectoryExists(dir))
        return true;
    // Each missing folder on the way, from the top down, for the user alone as settings are.
    // Only the end result counts: mkdir may fail on a folder on the way that exists.
    for (size_t slash = dir.find('/', 1); slash != std::string::npos; slash = dir.find('/', slash + 1)) {
        const std::string part = dir.substr(0, slash);
        if (!DirectoryExists(part))
            mkdir(part.c_str(), 0700);
    }
    return DirectoryExists(dir);
}
