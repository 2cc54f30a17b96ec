// Turning pages by hand and by the slideshow timer, closing all, and the enabling rules of
// the navigation controls.
#include "Main.h"

#include "sysutils.h"

namespace {

// One column of the enabling table. Back and Next may follow the page position: B is on
// unless on page 1, N on unless on the last page. Keep leaves the control as it is.
enum class E { Off, On, Keep, B, N };

struct TSlideColumn {
    E mnuFileFolder, mnuVisibleBack, mnuVisibleNext, mnuSlidePlay, mnuSlidePause, mnuSlideStop;
    E spbOpenFolder, spbBackPage, spbNextPage, spbSlidePlay, spbSlidePause, spbSlideStop;
    E cmbFileList, pntMain, updSlideTime, timer, sliding;
};

// Start-up and close all enable the page view and the up-down and stop the timer in steps of
// their own, earlier (ResetPageView and the interval), and clear Sliding with the page
// counters; their columns keep those rows, so each set happens where it always did.
//                                      menu: folder back  next  play  pause stop  buttons: folder back  next  play  pause stop  combo   paint   updown  timer   sliding
constexpr TSlideColumn StartUp       = {E::On,  E::Off, E::Off, E::On,  E::Off, E::Off, E::On,  E::Off, E::Off, E::On,  E::Off, E::Off, E::Off,  E::Keep, E::Keep, E::Keep, E::Keep};
constexpr TSlideColumn PlayNoPages   = {E::On,  E::Off, E::Off, E::On,  E::Off, E::Off, E::On,  E::Off, E::Off, E::On,  E::Off, E::Off, E::Keep, E::On,   E::On,   E::Off,  E::Off};
constexpr TSlideColumn PlayStarts    = {E::Off, E::Off, E::Off, E::Off, E::On,  E::On,  E::Off, E::Off, E::Off, E::Off, E::On,  E::On,  E::Off,  E::Off,  E::Off,  E::On,   E::On};
constexpr TSlideColumn PlayOnLast    = {E::On,  E::On,  E::On,  E::On,  E::Off, E::Off, E::On,  E::On,  E::Off, E::On,  E::Off, E::Off, E::On,   E::On,   E::On,   E::Off,  E::Off};
constexpr TSlideColumn Pause         = {E::Off, E::B,   E::N,   E::On,  E::Off, E::On,  E::Off, E::B,   E::N,   E::On,  E::Off, E::On,  E::On,   E::On,   E::On,   E::Off,  E::Off};
constexpr TSlideColumn Stop          = {E::On,  E::B,   E::N,   E::On,  E::Off, E::Off, E::On,  E::B,   E::N,   E::On,  E::Off, E::Off, E::On,   E::On,   E::On,   E::Off,  E::Off};
constexpr TSlideColumn ShowEnds      = {E::On,  E::On,  E::On,  E::On,  E::Off, E::Off, E::On,  E::On,  E::On,  E::On,  E::Off, E::Off, E::Keep, E::On,   E::On,   E::Off,  E::Off};
constexpr TSlideColumn CloseAll      = {E::On,  E::On,  E::On,  E::On,  E::Off, E::Off, E::On,  E::On,  E::On,  E::On,  E::Off, E::Off, E::Keep, E::Keep, E::Keep, E::Keep, E::Keep};

const TSlideColumn& Column(TfrmMain::TEnabling column)
{
    switch (column) {
    case TfrmMain::TEnabling::StartUp: return StartUp;
    case TfrmMain::TEnabling::PlayNoPages: return PlayNoPages;
    case TfrmMain::TEnabling::PlayStarts: return PlayStarts;
    case TfrmMain::TEnabling::PlayOnLast: return PlayOnLast;
    case TfrmMain::TEnabling::Pause: return Pause;
    case TfrmMain::TEnabling::Stop: return Stop;
    case TfrmMain::TEnabling::ShowEnds: return ShowEnds;
    case TfrmMain::TEnabling::CloseAll: break;
    }
    return CloseAll;
}

}  // namespace

// Sets the controls in the table's order, then the timer, then Sliding.
void TfrmMain::ApplyEnabling(TEnabling column)
{
    const TSlideColumn& c = Column(column);
    TfrmMain& f = *this;
    auto value = [&f](E e, bool current) {
        switch (e) {
        case E::Off: return false;
        case E::On: return true;
        case E::B: return f.PageNo != 1;
        case E::N: return f.PageNo != f.PageCount;
        case E::Keep: break;
        }
        return current;
    };
    auto set = [&value](auto* control, E e) { control->SetEnabled(value(e, control->Enabled())); };
    set(f.mnuFileFolder, c.mnuFileFolder);
    set(f.mnuVisibleBack, c.mnuVisibleBack);
    set(f.mnuVisibleNext, c.mnuVisibleNext);
    set(f.mnuSlidePlay, c.mnuSlidePlay);
    set(f.mnuSlidePause, c.mnuSlidePause);
    set(f.mnuSlideStop, c.mnuSlideStop);
    set(f.spbOpenFolder, c.spbOpenFolder);
    set(f.spbBackPage, c.spbBackPage);
    set(f.spbNextPage, c.spbNextPage);
    set(f.spbSlidePlay, c.spbSlidePlay);
    set(f.spbSlidePause, c.spbSlidePause);
    set(f.spbSlideStop, c.spbSlideStop);
    set(f.cmbFileList, c.cmbFileList);
    set(f.pntMain, c.pntMain);
    set(f.updSlideTime, c.updSlideTime);
    set(f.timMain, c.timer);
    f.Sliding = value(c.sliding, f.Sliding);
}

// --- Turning pages ------------------------------------------------------------------------

void TfrmMain::GoBackPage()
{
    if (Closing)
        return;
    if (PageNo > 1)
        --PageNo;
    ShowPage(PageNo);
    AdjustWindow(true);
}

void TfrmMain::GoNextPage()
{
    if (Closing)
        return;
    if (PageNo < PageCount)
        ++PageNo;
    ShowPage(PageNo);
    AdjustWindow(true);
}

void TfrmMain::spbBackPageClick(TObject*) { GoBackPage(); }
void TfrmMain::mnuVisibleBackClick(TObject*) { GoBackPage(); }
void TfrmMain::spbNextPageClick(TObject*) { GoNextPage(); }
void TfrmMain::mnuVisibleNextClick(TObject*) { GoNextPage(); }

void TfrmMain::pntMainMouseDown(TObject*, TMouseButton Button, TShiftState, int, int)
{
    if (Sliding)
        return;
    if (Button == TMouseButton::mbLeft)
        GoNextPage();
    else if (Button == TMouseButton::mbRight)
        GoBackPage();
}

void TfrmMain::scrMainMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    pntMainMouseDown(Sender, Button, Shift, X, Y);
}

void TfrmMain::cmbFileListClick(TObject*)
{
    if (Closing)
        return;
    PageNo = cmbFileList->ItemIndex() + 1;
    ShowPage(PageNo);
    AdjustWindow(true);
}

void TfrmMain::frmFileCloseClick(TObject*)
{
    if (Closing)
        return;
    DiscardPageWork();
    ResetPageView();

    const int seconds = StrToInt(edtSlideTime->Text());
    timMain->SetInterval(SecondsToMilliseconds(seconds));
    updSlideTime->SetPosition(seconds);
    updSlideTime->SetEnabled(true);

    stbMain->Panels(0)->SetText("（フォルダを開いてください）");
    stbMain->Panels(1)->SetText("Page: 0/0");
    SetCaption("Folivo");

    cmbFileList->Clear();

    ApplyEnabling(TEnabling::CloseAll);

    PageNo = 0;
    PageCount = 0;
    Sliding = false;

    ClearPageList();
    cmbFileList->Clear();
    ClearPageImage();
    DrawPageImage();
    AdjustWindow(true);
}

// --- Slideshow ----------------------------------------------------------------------------

void TfrmMain::spbSlidePlayClick(TObject*)
{
    if (Closing)
        return;
    if (PageCount == 0) {
        ApplyEnabling(TEnabling::PlayNoPages);
        return;
    }
    ApplyEnabling(TEnabling::PlayStarts);
    if (PageNo == PageCount)
        ApplyEnabling(TEnabling::PlayOnLast);
}

void TfrmMain::spbSlidePauseClick(TObject*) { ApplyEnabling(TEnabling::Pause); }
void TfrmMain::spbSlideStopClick(TObject*) { ApplyEnabling(TEnabling::Stop); }
void TfrmMain::mnuSlidePlayClick(TObject* Sender) { spbSlidePlayClick(Sender); }
void TfrmMain::mnuSlidePauseClick(TObject* Sender) { spbSlidePauseClick(Sender); }
void TfrmMain::mnuSlideStopClick(TObject* Sender) { spbSlideStopClick(Sender); }

void TfrmMain::timMainTimer(TObject*)
{
    if (Closing)
        return;
    if (PageNo < PageCount) {
        GoNextPage();
        if (Closing || PageNo < PageCount)
            return;
    }
    ApplyEnabling(TEnabling::ShowEnds);
}

void TfrmMain::updSlideTimeClick(TObject*, TUDBtnType)
{
    edtSlideTime->SetText(IntToStr(updSlideTime->Position()));
    SlideTime = SecondsToMilliseconds(StrToInt(edtSlideTime->Text()));
    timMain->SetInterval(SlideTime);
}
