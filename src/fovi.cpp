// The program's entry point.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "Cmdline.h"
#include "Fmconfig.h"
#include "Frmver.h"
#include "Main.h"
#include "exceptions.h"
#include "programfiles.h"

namespace {

std::string CurrentFolder()
{
    std::string dir(4096, '\0');
    while (!getcwd(dir.data(), dir.size())) {
        if (errno != ERANGE)
            return "/";
        dir.resize(dir.size() * 2);
    }
    dir.resize(dir.find('\0'));
    return dir.back() == '/' ? dir : dir + "/";
}

}  // namespace

int main(int argc, char** argv)
{
    const TCommandLine line = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (line.Action) {
    case TCommandLine::TAction::Help:
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    case TCommandLine::TAction::Version:
        std::fputs(VersionText().c_str(), stdout);
        return 0;
    case TCommandLine::TAction::Error:
        std::fprintf(stderr, "fovi: %s\n%s", line.Error.c_str(), UsageText().c_str());
        return 2;
    case TCommandLine::TAction::Run:
        break;
    }
    const std::vector<std::string> paths = UsablePaths(line.Paths, CurrentFolder());
    ChooseSettingsDir();

    TApplication application;
    try {
        Application->Initialize();
        Application->SetTitle("Folivo");
        Application->CreateForm(frmMain);
        Application->CreateForm(frmVersion);
        Application->CreateForm(frmConfig);
        DropOnStart(paths);
        Application->Run();
    } catch (const Exception& e) {
        Application->ShowException(e);
    }
    return 0;
}
