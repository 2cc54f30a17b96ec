#include "Cmdline.h"

#include <sys/stat.h>

#include <filesystem>

#include "Frmver.h"
#include "Main.h"
#include "dragdrop.h"

TCommandLine ParseCommandLine(const std::vector<std::string>& args)
{
    using TAction = TCommandLine::TAction;
    TCommandLine line;
    bool options = true;
    for (const std::string& a : args) {
        if (options && a == "--") {
            options = false;
        } else if (options && (a == "--help" || a == "-h")) {
            return {TAction::Help, {}, {}};
        } else if (options && a == "--version") {
            return {TAction::Version, {}, {}};
        } else if (options && a.size() > 1 && a[0] == '-') {
            return {TAction::Error, {}, "不明なオプション: " + a};
        } else {
            line.Paths.push_back(a);
        }
    }
    return line;
}

std::string UsageText()
{
    return "使い方: fovi [パス...]\n"
           "フォルダや .jpg / .bmp ファイルを、ページにドロップしたときと同じように開きます。\n"
           "\n"
           "  --help      この説明を表示して終了します\n"
           "  --version   バージョンを表示して終了します\n";
}

std::string VersionText()
{
    return std::string("Folivo ") + ProgramVersion + "\n";
}

std::vector<std::string> UsablePaths(const std::vector<std::string>& paths, const std::string& cwd)
{
    namespace fs = std::filesystem;
    std::vector<std::string> usable;
    for (const std::string& p : paths) {
        if (p.empty())
            continue;
        std::string full = fs::path(p).is_absolute() ? p : cwd + p;
        full = fs::path(full).lexically_normal().string();
        while (full.size() > 1 && full.back() == '/')
            full.pop_back();
        struct stat st {};
        if (stat(full.c_str(), &st) == 0)
            usable.push_back(full);
    }
    return usable;
}

void DropOnStart(const std::vector<std::string>& paths)
{
    if (!paths.empty())
        Application->PostMessage(frmMain->scrMain, WM_DROPFILES, NewDropHandle(paths), 0);
}
