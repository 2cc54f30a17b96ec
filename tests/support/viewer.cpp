#include "viewer.h"

#include <cstdlib>
#include <stdexcept>

#include "dragdrop.h"
#include "programfiles.h"

void ViewerTest::SetUp()
{
    programDir_ = std::make_unique<TempDir>();
    data_ = std::make_unique<TempDir>();
    SetProgramDirForTesting(programDir_->Path());
    app_ = std::make_unique<AppScope>();
}

void ViewerTest::TearDown()
{
    app_.reset();
    frmMain = nullptr;
    frmVersion = nullptr;
    frmConfig = nullptr;
    SetProgramDirForTesting("");
}

void ViewerTest::Start(bool show)
{
    Application->SetTitle("Folivo");
    Application->CreateForm(frmMain);
    Application->CreateForm(frmVersion);
    Application->CreateForm(frmConfig);
    started_ = true;
    if (show)
        frmMain->Show();
}

std::string ViewerTest::MakeFolder(const std::string& name,
                                   const std::vector<std::pair<std::string, std::string>>& files)
{
    const std::string folder = data_->Path() + "/" + name;
    std::string mk = "mkdir -p '" + folder + "'";
    if (std::system(mk.c_str()) != 0)
        throw std::runtime_error("mkdir failed");
    for (const auto& [file, bytes] : files)
        data_->Write(name + "/" + file, bytes);
    return folder;
}

void ViewerTest::OpenFolder(const std::string& folder)
{
    Screen().FolderAnswers.push_back(folder);
    Application->Deliver([] { frmMain->spbOpenFolderClick(frmMain->spbOpenFolder); });
}

void ViewerTest::Drop(const std::vector<std::string>& paths)
{
    const HDROP h = NewDropHandle(paths);
    Application->Deliver([h] { frmMain->scrMain->Perform(WM_DROPFILES, h, 0); });
}

void ViewerTest::PostDrop(const std::vector<std::string>& paths)
{
    Application->PostMessage(frmMain->scrMain, WM_DROPFILES, NewDropHandle(paths), 0);
}
