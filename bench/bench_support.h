#pragma once
// What the benchmark programs share besides the pictures (support/pictures.h): a scratch
// folder, and the viewer itself, headless.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "Fmconfig.h"
#include "Frmver.h"
#include "Main.h"
#include "programfiles.h"

// A fresh folder under the system's temporary folder, removed with all it holds at the end of
// the scope. A benchmark that cannot make it has nothing to measure, so the program ends.
class BenchFolder {
public:
    explicit BenchFolder(const std::string& prefix)
    {
        std::string templ = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
        if (!mkdtemp(templ.data())) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        path_ = templ;
    }
    ~BenchFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

// The viewer as the entry point creates it, headless: the application object and the three
// windows, the main one shown. Its own folder (for fovi.ini) is programDir, so that nothing is
// written beside the benchmark. All of it goes at the end of the scope.
class HeadlessViewer {
public:
    explicit HeadlessViewer(const std::string& programDir)
    {
        SetProgramDirForTesting(programDir);
        app_ = new TApplication;
        Application->SetTitle("Folivo");
        Application->CreateForm(frmMain);
        Application->CreateForm(frmVersion);
        Application->CreateForm(frmConfig);
        frmMain->Show();
    }
    ~HeadlessViewer()
    {
        delete app_;
        SetProgramDirForTesting("");
    }
    HeadlessViewer(const HeadlessViewer&) = delete;
    HeadlessViewer& operator=(const HeadlessViewer&) = delete;
    TfrmMain& Main() const { return *frmMain; }

private:
    TApplication* app_;
};
