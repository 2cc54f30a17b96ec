#pragma once
// The program's three windows, created headless as the entry point creates them, with the
// main window shown. Its folder (for fovi.ini and help/) is a fresh temporary folder.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Fmconfig.h"
#include "Frmver.h"
#include "Main.h"
#include "headless.h"
#include "pictures.h"
#include "support.h"

class ViewerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the windows; with show, shows the main window (FormShow and placement).
    // Tests that need a settings file write it first and call Start themselves.
    void Start(bool show = true);
    THeadless& Screen() { return *HeadlessScreen(); }
    TfrmMain& Main() { return *frmMain; }
    std::string ProgramFolder() const { return programDir_->Path() + "/"; }
    std::string IniPath() const { return ProgramFolder() + "fovi.ini"; }

    // A folder of pages: writes each name with the given content (see SmallJpeg, SmallBmp).
    std::string MakeFolder(const std::string& name, const std::vector<std::pair<std::string, std::string>>& files);
    // Opens a folder through the open-folder command with a scripted chooser.
    void OpenFolder(const std::string& folder);
    // Drops the paths on the page view as the desktop would, through the scroll box's window.
    void Drop(const std::vector<std::string>& paths);
    // Posts a drop to be handled by the next message round instead.
    void PostDrop(const std::vector<std::string>& paths);

    std::unique_ptr<TempDir> programDir_;
    std::unique_ptr<TempDir> data_;
    std::unique_ptr<AppScope> app_;
    bool started_ = false;
};
