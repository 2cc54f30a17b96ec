// Filling the page list: the open-folder commands and files dropped on the page view.
#include "Main.h"

#include "Mainfunc_ahead.h"

#include "dragdrop.h"
#include "filename.h"
#include "collation.h"

void TfrmMain::spbOpenFolderClick(TObject*) { OpenFolderCommand(); }
void TfrmMain::mnuFileFolderClick(TObject*) { OpenFolderCommand(); }

void TfrmMain::OpenFolderCommand()
{
    const std::string folder = SelectFolder(this, "グラフィックのあるフォルダを選択してください").value_or("");
    if (folder.empty() || Closing)
        return;
    DiscardPageWork();
    ClearPageList();
    ClearPageImage();
    DrawPageImage();
    FindFiles(folder + "/", "jpg", PageList);
    FindFiles(folder + "/", "bmp", PageList);
    PageCount = PageList->Count();
    FillPageDropDownAndShowFirst();
}

// The closing steps shared by the open-folder commands and the drop.
void TfrmMain::FillPageDropDownAndShowFirst()
{
    PageList->Sort();
    cmbFileList->Clear();
    cmbFileList->Items().AddStrings(*PageList);
    PageNo = 1;
    ShowPage(1);
    AdjustWindow(true);
}

void TfrmMain::ScrollBoxWndProc(TMessage& Message)
{
    if (Message.Msg != WM_DROPFILES) {
        OldScrollWndProc(Message);
        return;
    }
    Message.Result = 0;
    const HDROP drop = static_cast<HDROP>(Message.WParam);
    // The handle is released however the handler ends, also when showing page 1 fails.
    struct Finish {
        HDROP h;
        ~Finish() { DragFinish(h); }
    } finish{drop};
    if (Closing)
        return;

    const unsigned count = DragQueryFile(drop, 0xFFFFFFFF, nullptr);
    DiscardPageWork();
    PageCount = 0;
    ClearPageList();
    ClearPageImage();
    DrawPageImage();
    for (unsigned i = 0; i < count; ++i) {
        std::string path;
        DragQueryFile(drop, i, &path);
        if (IsDirectory(path)) {
            FindFiles(path + "/", "jpg", PageList);
            FindFiles(path + "/", "bmp", PageList);
            PageCount = PageList->Count();
        } else {
            const std::string ext = CharLower(ExtractFileExt(path));
            if (ext == ".jpg" || ext == ".bmp") {
                PageList->Add(path);
                PageCount = PageList->Count();
            }
        }
    }
    FillPageDropDownAndShowFirst();
}

// A new page list: whatever the worker does for the old one is of no further use.
void TfrmMain::DiscardPageWork()
{
    if (pageWorker_)
        pageWorker_->Discard();
}
