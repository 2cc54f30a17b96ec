// The main window as laid out: every control with its place, size, texts and initial
// state, the main menu, the tool-bar pictures, and which handler serves which event.
#include "main_form.h"

#include "Main.h"

namespace {

template <typename Handler>
TNotifyEvent Bind(TfrmMain& f, Handler h)
{
    return [&f, h](TObject* sender) { (f.*h)(sender); };
}

TSpeedButton* ToolButton(TfrmMain& f, const char* name, int left, int width, const char* hint,
                         const char* picture, int numGlyphs, void (TfrmMain::*click)(TObject*))
{
    auto* b = NewControl<TSpeedButton>(&f, f.pnlToolBar, name);
    b->SetBounds(left, 4, width, 22);
    b->SetHint(hint);
    b->SetShowHint(true);
    b->SetGlyph(picture, numGlyphs);
    b->OnClick = Bind(f, click);
    return b;
}

TMenuItem* Item(TfrmMain& f, TMenuItem& parent, const char* name, const char* caption,
                void (TfrmMain::*click)(TObject*) = nullptr)
{
    TMenuItem* m = NewMenuItem(&f, parent, name, caption);
    if (click)
        m->OnClick = Bind(f, click);
    return m;
}

}  // namespace

void LayoutMainForm(TfrmMain& f)
{
    f.SetName("frmMain");
    f.SetCaption("Folivo");
    f.SetBounds(200, 107, 0, 0);
    f.MainMenu1 = new TMainMenu(&f);
    f.MainMenu1->SetName("MainMenu1");
    f.Menu = f.MainMenu1;
    f.SetClientWidth(362);
    f.SetClientHeight(324);
    f.BorderStyle = TBorderStyle::bsSizeable;
    f.BorderIcons = TBorderIcons{true, true, false};
    f.SetColor(clBtnFace);
    f.Position = TPosition::poDesktopCenter;
    f.KeyPreview = true;
    LoadBitmapResource(f.Icon, "mainicon.bmp");

    // Tool bar.
    f.pnlToolBar = NewControl<TPanel>(&f, &f, "pnlToolBar");
    f.pnlToolBar->SetBounds(0, 0, 362, 28);
    f.pnlToolBar->SetAlign(TAlign::alTop);
    f.bevToolBar = NewControl<TBevel>(&f, f.pnlToolBar, "bevToolBar");
    f.bevToolBar->SetBounds(0, 0, 362, 2);
    f.bevToolBar->SetAlign(TAlign::alTop);
    f.spbClose = ToolButton(f, "spbClose", 1, 23, "閉じる", "close.bmp", 1, &TfrmMain::spbCloseClick);
    f.spbOpenFolder = ToolButton(f, "spbOpenFolder", 32, 25, "開くﾌｫﾙﾀﾞ選択", "openfolder.bmp", 1,
                                 &TfrmMain::spbOpenFolderClick);
    f.spbBackPage = ToolButton(f, "spbBackPage", 64, 23, "前のﾍﾟｰｼﾞへ", "backpage.bmp", 2, &TfrmMain::spbBackPageClick);
    f.spbNextPage = ToolButton(f, "spbNextPage", 88, 23, "次のﾍﾟｰｼﾞへ", "nextpage.bmp", 2, &TfrmMain::spbNextPageClick);
    f.spbAutoResize = ToolButton(f, "spbAutoResize", 120, 23, "ｳｨﾝﾄﾞｳ自動サイズ変更", "autoresize.bmp", 1,
                                 &TfrmMain::spbAutoResizeClick);
    f.spbAutoResize->SetGroupIndex(1);
    f.spbAutoResize->SetAllowAllUp(true);
    f.spbWndWidth = ToolButton(f, "spbWndWidth", 144, 23, "ｳｨﾝﾄﾞｳ幅を合わせる", "wndwidth.bmp", 1,
                               &TfrmMain::spbWndWidthClick);
    f.spbWndHeight = ToolButton(f, "spbWndHeight", 168, 23, "ｳｨﾝﾄﾞｳ高さを合わせる", "wndheight.bmp", 1,
                                &TfrmMain::spbWndHeightClick);
    f.spbSlidePlay = ToolButton(f, "spbSlidePlay", 200, 23, "スライド再生", "slideplay.bmp", 1,
                                &TfrmMain::spbSlidePlayClick);
    f.spbSlidePause = ToolButton(f, "spbSlidePause", 224, 23, "スライド一時停止", "slidepause.bmp", 1,
                                 &TfrmMain::spbSlidePauseClick);
    f.spbSlidePause->SetEnabled(false);
    f.spbSlideStop = ToolButton(f, "spbSlideStop", 248, 23, "スライド停止", "slidestop.bmp", 1,
                                &TfrmMain::spbSlideStopClick);
    f.spbSlideStop->SetEnabled(false);
    f.edtSlideTime = NewControl<TEdit>(&f, f.pnlToolBar, "edtSlideTime");
    f.edtSlideTime->SetBounds(280, 5, 33, 20);
    f.edtSlideTime->SetText("10");
    f.edtSlideTime->SetReadOnly(true);
    f.edtSlideTime->SetTabStop(false);
    f.edtSlideTime->SetHint("ｽﾗｲﾄﾞｼｮｰの間隔");
    f.edtSlideTime->SetShowHint(true);
    f.updSlideTime = NewControl<TUpDown>(&f, f.pnlToolBar, "updSlideTime");
    f.updSlideTime->SetBounds(312, 6, 17, 20);
    f.updSlideTime->SetMin(1);
    f.updSlideTime->SetMax(60);
    f.updSlideTime->SetPosition(1);
    f.updSlideTime->Wrap = false;
    f.updSlideTime->OnClickArrow = [&f](TObject* s, TUDBtnType b) { f.updSlideTimeClick(s, b); };
    f.Label1 = NewControl<TLabel>(&f, f.pnlToolBar, "Label1");
    f.Label1->SetBounds(332, 10, 12, 12);
    f.Label1->SetCaption("秒");

    // Page bar.
    f.pnlPageBar = NewControl<TPanel>(&f, &f, "pnlPageBar");
    f.pnlPageBar->SetBounds(0, 28, 362, 30);
    f.pnlPageBar->SetAlign(TAlign::alTop);
    f.bevPageBar = NewControl<TBevel>(&f, f.pnlPageBar, "bevPageBar");
    f.bevPageBar->SetBounds(0, 0, 362, 2);
    f.bevPageBar->SetAlign(TAlign::alTop);
    f.cmbFileList = NewControl<TComboBox>(&f, f.pnlPageBar, "cmbFileList");
    f.cmbFileList->SetBounds(4, 5, 341, 20);
    f.cmbFileList->DropDownList = true;
    f.cmbFileList->ItemHeight = 12;
    f.cmbFileList->SetTabStop(false);
    f.cmbFileList->OnClick = Bind(f, &TfrmMain::cmbFileListClick);

    // Status bar.
    f.stbMain = NewControl<TStatusBar>(&f, &f, "stbMain");
    f.stbMain->SetBounds(0, 305, 362, 19);
    f.stbMain->SetAlign(TAlign::alBottom);
    f.stbMain->AddPanel()->SetWidth(50);
    f.stbMain->AddPanel()->SetWidth(50);
    f.stbMain->SimplePanel = false;
    f.stbMain->SizeGrip = true;

    // Page view.
    f.scrMain = NewControl<TScrollBox>(&f, &f, "scrMain");
    f.scrMain->SetBounds(8, 80, 193, 169);
    f.scrMain->SingleBorder = true;
    f.scrMain->AutoScroll = true;
    f.scrMain->HorzScrollBar = TControlScrollBar{16, 22};
    f.scrMain->VertScrollBar = TControlScrollBar{16, 22};
    f.scrMain->OnMouseDown = [&f](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        f.scrMainMouseDown(s, b, sh, x, y);
    };
    f.pntMain = NewControl<TPaintBox>(&f, f.scrMain, "pntMain");
    f.pntMain->SetBounds(0, 0, 145, 105);
    f.pntMain->OnPaint = Bind(f, &TfrmMain::pntMainPaint);
    f.pntMain->OnMouseDown = [&f](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        f.pntMainMouseDown(s, b, sh, x, y);
    };

    f.timMain = new TTimer(&f);
    f.timMain->SetName("timMain");
    f.timMain->SetEnabled(false);
    f.timMain->SetInterval(0);
    f.timMain->OnTimer = Bind(f, &TfrmMain::timMainTimer);

    // Main menu.
    TMenuItem& bar = f.MainMenu1->Items();
    f.File1 = Item(f, bar, "File1", "ﾌｧｲﾙ(&F)");
    f.mnuFileFolder = Item(f, *f.File1, "mnuFileFolder", "開くﾌｫﾙﾀﾞ選択(&F)...", &TfrmMain::mnuFileFolderClick);
    f.N2 = Item(f, *f.File1, "N2", "-");
    f.frmFileClose = Item(f, *f.File1, "frmFileClose", "すべて閉じる(&C)", &TfrmMain::frmFileCloseClick);
    f.N1 = Item(f, *f.File1, "N1", "-");
    f.mnuFileExit = Item(f, *f.File1, "mnuFileExit", "終了(&X)", &TfrmMain::mnuFileExitClick);

    f.mnuVisible = Item(f, bar, "mnuVisible", "表示(&V)");
    f.mnuVisibleToolBar = Item(f, *f.mnuVisible, "mnuVisibleToolBar", "ﾂｰﾙﾊﾞｰ(&T)", &TfrmMain::mnuVisibleToolBarClick);
    f.mnuVisiblePageBar = Item(f, *f.mnuVisible, "mnuVisiblePageBar", "ﾍﾟｰｼﾞﾊﾞｰ(&P)", &TfrmMain::mnuVisiblePageBarClick);
    f.mnuVisibleStatusBar = Item(f, *f.mnuVisible, "mnuVisibleStatusBar", "ｽﾃｰﾀｽﾊﾞｰ(&S)",
                                 &TfrmMain::mnuVisibleStatusBarClick);
    f.N7 = Item(f, *f.mnuVisible, "N7", "-");
    f.mnuVisibleFrontWnd = Item(f, *f.mnuVisible, "mnuVisibleFrontWnd", "常に手前に表示(&F)",
                                &TfrmMain::mnuVisibleFrontWndClick);
    f.N4 = Item(f, *f.mnuVisible, "N4", "-");
    f.mnuVisibleBack = Item(f, *f.mnuVisible, "mnuVisibleBack", "前のﾍﾟｰｼﾞへ(&B)", &TfrmMain::mnuVisibleBackClick);
    f.mnuVisibleNext = Item(f, *f.mnuVisible, "mnuVisibleNext", "次のﾍﾟｰｼﾞへ(&N)", &TfrmMain::mnuVisibleNextClick);
    f.N3 = Item(f, *f.mnuVisible, "N3", "-");
    f.mnuVisibleAutoResize = Item(f, *f.mnuVisible, "mnuVisibleAutoResize", "ｳｨﾝﾄﾞｳ自動ｻｲｽﾞ変更(&A)",
                                  &TfrmMain::mnuVisibleAutoResizeClick);
    f.mnuVisibleWndWidth = Item(f, *f.mnuVisible, "mnuVisibleWndWidth", "ｳｨﾝﾄﾞｳ幅を合わせる(&W)",
                                &TfrmMain::mnuVisibleWndWidthClick);
    f.mnuVisibleWndHeight = Item(f, *f.mnuVisible, "mnuVisibleWndHeight", "ｳｨﾝﾄﾞｳ高さを合わせる(&H)",
                                 &TfrmMain::mnuVisibleWndHeightClick);
    f.N5 = Item(f, *f.mnuVisible, "N5", "-");
    f.mnuVisibleOption = Item(f, *f.mnuVisible, "mnuVisibleOption", "ｵﾌﾟｼｮﾝ(&O)...", &TfrmMain::mnuVisibleOptionClick);

    f.mnuSlide = Item(f, bar, "mnuSlide", "ｽﾗｲﾄﾞｼｮｰ(&S)");
    f.mnuSlidePlay = Item(f, *f.mnuSlide, "mnuSlidePlay", "再生(&S)", &TfrmMain::mnuSlidePlayClick);
    f.mnuSlidePause = Item(f, *f.mnuSlide, "mnuSlidePause", "一時停止(&P)", &TfrmMain::mnuSlidePauseClick);
    f.mnuSlideStop = Item(f, *f.mnuSlide, "mnuSlideStop", "停止(&E)", &TfrmMain::mnuSlideStopClick);

    f.mnuHelp = Item(f, bar, "mnuHelp", "ﾍﾙﾌﾟ(&H)");
    f.mnuHelpContents = Item(f, *f.mnuHelp, "mnuHelpContents", "目次(&C)...", &TfrmMain::mnuHelpContentsClick);
    f.N6 = Item(f, *f.mnuHelp, "N6", "-");
    f.mnuHelpHomePage = Item(f, *f.mnuHelp, "mnuHelpHomePage", "作者のﾎｰﾑﾍﾟｰｼﾞ(&H)...", &TfrmMain::mnuHelpHomePageClick);
    f.mnuHelpAbout = Item(f, *f.mnuHelp, "mnuHelpAbout", "ﾊﾞｰｼﾞｮﾝ情報(&A)...", &TfrmMain::mnuHelpAboutClick);

    // The window's own events.
    f.OnCreate = Bind(f, &TfrmMain::FormCreate);
    f.OnShow = Bind(f, &TfrmMain::FormShow);
    f.OnClose = [&f](TObject* s, TCloseAction& a) { f.FormClose(s, a); };
    f.OnResize = Bind(f, &TfrmMain::FormResize);
}
