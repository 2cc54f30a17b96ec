// The main window's life: creation, first showing, closing, and the commands that open the
// dialogs and the help pages.
#include "Main.h"

#include "Fmconfig.h"
#include "Mainfunc_ahead.h"
#include "Frmver.h"
#include "main_form.h"
#include "programfiles.h"
#include "shell.h"
#include "sysutils.h"

TfrmMain* frmMain = nullptr;

const char* const SupportPageUrl = "https://folivo.example.org";

std::string ConfigPath()
{
    return SettingsDir() + "fovi.ini";
}

TfrmMain::TfrmMain(TComponent* Owner) : TForm(Owner)
{
    LayoutMainForm(*this);
}

// A window destroyed without having been closed (as in tests) still frees its page objects;
// after FormClose they are already gone and null.
TfrmMain::~TfrmMain()
{
    StopPageWork();
    delete PageList;
    delete PageBitmap;
    delete JpegImage;
}

void TfrmMain::FormCreate(TObject*)
{
    OldScrollWndProc = scrMain->WindowProc;
    scrMain->WindowProc = [this](TMessage& m) { ScrollBoxWndProc(m); };
    DragAcceptFiles(*scrMain, true);
    JpegImage = new TJPEGImage;
    PageBitmap = new TBitmap;
    PageList = new TStringList;
    pageWorker_ = std::make_unique<TPageWorker>();
    Application->OnIdle = [this] { PrepareNextPage(); };
    Application->OnIdleSettle = [this] {
        if (pageWorker_)
            pageWorker_->Wait();
    };
}

// The threads end before the page objects go, and the loop stops calling on the window.
void TfrmMain::StopPageWork()
{
    pageWorker_.reset();
    if (Application) {
        Application->OnIdle = nullptr;
        Application->OnIdleSettle = nullptr;
    }
}

void TfrmMain::FormShow(TObject*)
{
    Closing = false;
    PageNo = 0;
    PageCount = 0;
    AutoResize = false;
    ToolBar = true;
    PageBar = true;
    StatusBar = true;
    SlideTime = SecondsToMilliseconds(StrToInt(edtSlideTime->Text()));
    WndFront = false;
    Sliding = false;

    const std::string path = ConfigPath();
    if (IsFileExist(path))
        LoadConfig(path);

    ResetPageView();

    updSlideTime->SetPosition(SlideTime / 1000);
    updSlideTime->SetEnabled(true);
    edtSlideTime->SetText(IntToStr(updSlideTime->Position()));
    timMain->SetInterval(SlideTime);

    stbMain->Panels(0)->SetText("（フォルダを開いてください）");
    stbMain->Panels(1)->SetText("Page: 0/0");

    mnuVisibleToolBar->SetChecked(ToolBar);
    mnuVisiblePageBar->SetChecked(PageBar);
    mnuVisibleStatusBar->SetChecked(StatusBar);
    mnuVisibleFrontWnd->SetChecked(WndFront);
    pnlToolBar->SetHeight(ToolBar ? 28 : 1);
    bevToolBar->SetVisible(ToolBar);
    pnlPageBar->SetHeight(PageBar ? 30 : 1);
    bevPageBar->SetVisible(PageBar);
    stbMain->SetHeight(StatusBar ? 19 : 1);

    spbAutoResize->SetDown(AutoResize);
    mnuVisibleAutoResize->SetChecked(AutoResize);

    // Open folder and play on; back, next, pause, stop and the page drop-down off. Nothing is
    // drawn while this handler runs and nothing in it reads these flags, so the column is set
    // in one go.
    ApplyEnabling(TEnabling::StartUp);

    ClearPageList();
    ClearPageImage();
    DrawPageImage();
    AdjustWindow(true);

    if (WndPosCng) {
        SetLeft(WndLeft);
        SetTop(WndTop);
        SetWidth(WndWidth);
        SetHeight(WndHeight);
    }

    if (WndFront)
        SetTopMost(this);
    else
        ClearTopMost(this);
}

// The page view fills the client area again with the paint box as large as itself, the
// arrow keys turn pages, and the slideshow timer stands still: the start of the empty state,
// at start-up and at close all.
void TfrmMain::ResetPageView()
{
    scrMain->SetAlign(TAlign::alClient);
    pntMain->SetWidth(scrMain->Width());
    pntMain->SetHeight(scrMain->Height());
    mnuVisibleBack->SetShortCut(ShortCut(VK_LEFT, TShiftState{}));
    mnuVisibleNext->SetShortCut(ShortCut(VK_RIGHT, TShiftState{}));
    pntMain->SetEnabled(true);
    timMain->SetEnabled(false);
}

void TfrmMain::FormClose(TObject*, TCloseAction&)
{
    // The slideshow timer would otherwise tick on into the released page objects.
    timMain->SetEnabled(false);
    StopPageWork();
    delete PageList;
    PageList = nullptr;
    delete PageBitmap;
    PageBitmap = nullptr;
    delete JpegImage;
    JpegImage = nullptr;
    Closing = true;
    WndLeft = Left();
    WndTop = Top();
    WndWidth = Width();
    WndHeight = Height();
    // The user's settings folder may not exist yet: it is made on the first close.
    CreateSettingsDir();
    SaveConfig(ConfigPath());
}

void TfrmMain::spbCloseClick(TObject*)
{
    Close();
}

void TfrmMain::mnuFileExitClick(TObject*)
{
    Close();
}

void TfrmMain::mnuVisibleOptionClick(TObject*)
{
    frmConfig->ShowModal();
}

void TfrmMain::mnuHelpContentsClick(TObject*)
{
    Application->ProcessMessages();
    ShellExecute(frmVersion, "open", HelpPagePath());
}

void TfrmMain::mnuHelpHomePageClick(TObject*)
{
    Application->ProcessMessages();
    ShellExecute(frmVersion, "open", SupportPageUrl);
}

void TfrmMain::mnuHelpAboutClick(TObject*)
{
    frmVersion->ShowModal();
}
