// The main window as it first appears, and the four ways of closing it.
#include "viewer.h"

using Startup = ViewerTest;

TEST_F(Startup, FirstStartShowsTheEmptyState)
{
    Start();
    TfrmMain& f = Main();
    EXPECT_EQ(f.Caption(), "Folivo");
    EXPECT_EQ(f.stbMain->Panels(0)->Text(), "（フォルダを開いてください）");
    EXPECT_EQ(f.stbMain->Panels(1)->Text(), "Page: 0/0");
    EXPECT_TRUE(f.ToolBar && f.PageBar && f.StatusBar);
    EXPECT_TRUE(f.mnuVisibleToolBar->Checked() && f.mnuVisiblePageBar->Checked() && f.mnuVisibleStatusBar->Checked());
    EXPECT_FALSE(f.AutoResize || f.WndFront || f.mnuVisibleFrontWnd->Checked() || f.spbAutoResize->Down());
    EXPECT_EQ(f.edtSlideTime->Text(), "10");
    EXPECT_EQ(f.updSlideTime->Position(), 10);
    EXPECT_EQ(f.SlideTime, 10000);
    EXPECT_EQ(f.timMain->Interval(), 10000);
    EXPECT_FALSE(f.timMain->Enabled());
    EXPECT_TRUE(f.spbOpenFolder->Enabled() && f.mnuFileFolder->Enabled());
    EXPECT_TRUE(f.spbSlidePlay->Enabled() && f.mnuSlidePlay->Enabled());
    for (auto* c : std::vector<TControl*>{f.spbBackPage, f.spbNextPage, f.spbSlidePause, f.spbSlideStop, f.cmbFileList})
        EXPECT_FALSE(c->Enabled()) << c->Name();
    for (auto* m : {f.mnuVisibleBack, f.mnuVisibleNext, f.mnuSlidePause, f.mnuSlideStop})
        EXPECT_FALSE(m->Enabled()) << m->Name();
    EXPECT_EQ(f.ClientWidth(), 370);
    // Centred on the desktop at the size AdjustWindow left.
    EXPECT_EQ(f.Left(), (1920 - f.Width()) / 2);
    EXPECT_EQ(f.Top(), (1080 - f.Height()) / 2);
    // A white page view.
    ASSERT_GT(f.pntMain->Surface().Width, 0);
    EXPECT_EQ(f.pntMain->Surface().Data[0], ColorToPixel(clWhite));
}

TEST_F(Startup, EveryWayOfClosingWritesTheSettings)
{
    const std::vector<std::pair<const char*, std::function<void()>>> closes = {
        {"tool button", [] { frmMain->spbClose->Click(); }},
        {"exit item", [] { frmMain->mnuFileExit->Click(); }},
        {"close box", [] { frmMain->Perform(WM_CLOSE); }},
        {"Alt+F4", [] { frmMain->Perform(WM_KEYDOWN, KeyWParam(VK_F4, TShiftState{false, false, true})); }},
    };
    for (const auto& [name, close] : closes) {
        SCOPED_TRACE(name);
        TearDown();
        SetUp();
        Start();
        close();
        EXPECT_TRUE(Application->Terminated());
        EXPECT_TRUE(Main().Closing);
        EXPECT_EQ(Main().PageBitmap, nullptr);
        EXPECT_NE(ReadFileBytes(IniPath()).find("[Config]"), std::string::npos);
    }
}
