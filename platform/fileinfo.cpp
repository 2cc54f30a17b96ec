#include "fileinfo.h"

#include <sys/stat.h>

#include "filesystem.h"

namespace {
std::string programDirOverride;
}

bool DirectoryExists(const std::string& path)
{
    struct stat st {};
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string ProgramDir()
{
    return programDirOverride.empty() ? ExeDir() : programDirOverride;
}

void SetProgramDirForTesting(const std::string& dir)
{
    programDirOverride = dir.empty() || dir.back() == '/' ? dir : dir + "/";
}
