// Showing a page, painting the page view, and fitting the window to the page.
#include "Main.h"

#include "Mainfunc_ahead.h"

#include "filename.h"
#include "sysutils.h"

namespace {
constexpr int MinClientWidth = 370;
constexpr int ToolBarHeight = 28;
constexpr int PageBarHeight = 30;
constexpr int StatusBarHeight = 19;
}  // namespace

void TfrmMain::ClearPageImage()
{
    if (!PageBitmap)
        return;
    PageBitmap->SetWidth(pntMain->Width());
    PageBitmap->SetHeight(pntMain->Height());
    PageBitmap->Canvas().Brush.Color = 0xFFFFFF;
    PageBitmap->Canvas().FillRect(TRect{0, 0, pntMain->Width(), pntMain->Height()});
}

void TfrmMain::DrawPageImage()
{
    if (Closing || !PageBitmap)
        return;
    BitBlt(pntMain->Canvas(), 0, 0, PageBitmap->Width(), PageBitmap->Height(), PageBitmap->Canvas(), 0, 0);
}

void TfrmMain::pntMainPaint(TObject*)
{
    DrawPageImage();
}

// Back is on past page 1, Next anywhere but on the last page; button first, then menu item.
void TfrmMain::ApplyBackNextRules()
{
    const bool back = PageNo > 1;
    spbBackPage->SetEnabled(back);
    mnuVisibleBack->SetEnabled(back);
    const bool next = PageNo != PageCount;
    spbNextPage->SetEnabled(next);
    mnuVisibleNext->SetEnabled(next);
}

void TfrmMain::ShowPage(int n)
{
    if (Closing)
        return;
    if (PageCount < 1) {
        PageNo = 0;
        stbMain->Panels(0)->SetText("（フォルダを開いてください）");
        stbMain->Panels(1)->SetText("Page: 0 / " + IntToStr(PageCount));
        SetCaption("Folivo");
        ApplyBackNextRules();
        cmbFileList->SetEnabled(false);
        return;
    }

    const std::string path = PageList->Get(n - 1);
    if (!IsFileExist(path))
        return;

    // The decodes come from the worker when it prepared this very file, or run beside each
    // other; either way their outcomes are used in this order, as if made here and now.
    TPageWorker* worker = pageWorker_.get();
    bool isJpeg = false;
    bool fromWorker = false;
    if (worker && worker->TakePrepared(path, isJpeg, LoadBesideProbe)) {
        fromWorker = true;
    } else {
        fromWorker = worker && LoadBesideProbe;
        isJpeg = IsJpegFile(path);
    }
    bool loaded = false;
    if (isJpeg) {
        loaded = fromWorker ? worker->CommitLoad(*JpegImage) : LoadJpegFile(path, JpegImage);
        if (loaded)
            loaded = JpegToBitmap(JpegImage, PageBitmap);
    } else if (fromWorker) {
        worker->DropLoad();
    }
    if (!isJpeg && IsBitmapFile(path)) {
        PageBitmap->LoadFromFile(path);
        loaded = true;
    }

    if (loaded)
        DrawPageImage();
    stbMain->Panels(0)->SetText(loaded ? path : "（ファイルの読み込みに失敗しました）");
    stbMain->Panels(1)->SetText("Page: " + IntToStr(n) + " / " + IntToStr(PageCount));
    SetCaption("Folivo - [" + ExtractFilePath(path) + "]");
    cmbFileList->SetItemIndex(PageNo - 1);

    Application->ProcessMessages();

    if (Sliding)
        return;
    ApplyBackNextRules();
    cmbFileList->SetEnabled(true);
}

void TfrmMain::PrepareNextPage()
{
    if (Closing || !PrepareAhead || !pageWorker_ || !PageList || PageNo < 1 || PageNo >= PageCount ||
        PageNo >= PageList->Count())
        return;
    pageWorker_->Prepare(PageList->Get(PageNo));
}

void TfrmMain::AdjustWindow(bool applyAutoResize)
{
    if (Closing)
        return;
    const int pageWidth = PageBitmap->Width();
    pntMain->SetWidth(pageWidth);
    pntMain->SetHeight(PageBitmap->Height());
    const int clientWidth = ClientWidth();
    stbMain->Panels(0)->SetWidth(clientWidth - 100);
    cmbFileList->SetWidth(clientWidth - 8);

    const bool fit = AutoResize && applyAutoResize;
    if (pageWidth < MinClientWidth) {
        SetClientWidth(MinClientWidth);
    } else {
        if (ClientWidth() < MinClientWidth)
            SetClientWidth(MinClientWidth);
        if (fit)
            FitWidth();
    }
    if (fit)
        FitHeight();
}

void TfrmMain::FormResize(TObject*)
{
    AdjustWindow(false);
}

void TfrmMain::FitWidth()
{
    if (Closing)
        return;
    SetClientWidth(PageBitmap->Width() + scrMain->VertScrollBar.ThumbSize);
}

// The menu's fit counts the page bar as the tool button's does: without it the page would
// end 30 pixels short of the window whenever the page bar is shown.
void TfrmMain::FitHeight()
{
    if (Closing)
        return;
    SetClientHeight(PageBitmap->Height() + pnlToolBar->Height() + pnlPageBar->Height() + stbMain->Height() +
                    scrMain->HorzScrollBar.ThumbSize);
}

void TfrmMain::spbWndWidthClick(TObject*) { FitWidth(); }
void TfrmMain::mnuVisibleWndWidthClick(TObject*) { FitWidth(); }
void TfrmMain::spbWndHeightClick(TObject*) { FitHeight(); }
void TfrmMain::mnuVisibleWndHeightClick(TObject*) { FitHeight(); }

void TfrmMain::spbAutoResizeClick(TObject*)
{
    if (AutoResize) {
        AutoResize = false;
    } else {
        AutoResize = true;
        FitWidth();
        FitHeight();
    }
    spbAutoResize->SetDown(AutoResize);
    mnuVisibleAutoResize->SetChecked(AutoResize);
}

void TfrmMain::mnuVisibleAutoResizeClick(TObject*)
{
    AutoResize = !AutoResize;
    spbAutoResize->SetDown(AutoResize);
    mnuVisibleAutoResize->SetChecked(AutoResize);
}

void TfrmMain::SwitchBar(bool& flag, TControl* bar, TBevel* bevel, int shownHeight, TMenuItem* item)
{
    if (flag) {
        flag = false;
        bar->SetHeight(1);
    } else {
        flag = true;
        bar->SetHeight(shownHeight);
    }
    item->SetChecked(flag);
    if (bevel)
        bevel->SetVisible(flag);
}

void TfrmMain::mnuVisibleToolBarClick(TObject*)
{
    SwitchBar(ToolBar, pnlToolBar, bevToolBar, ToolBarHeight, mnuVisibleToolBar);
}

void TfrmMain::mnuVisiblePageBarClick(TObject*)
{
    SwitchBar(PageBar, pnlPageBar, bevPageBar, PageBarHeight, mnuVisiblePageBar);
}

void TfrmMain::mnuVisibleStatusBarClick(TObject*)
{
    SwitchBar(StatusBar, stbMain, nullptr, StatusBarHeight, mnuVisibleStatusBar);
}

void TfrmMain::mnuVisibleFrontWndClick(TObject*)
{
    if (WndFront) {
        WndFront = false;
        ClearTopMost(this);
    } else {
        WndFront = true;
        SetTopMost(this);
    }
    mnuVisibleFrontWnd->SetChecked(WndFront);
}
