// The main window as it first appears, with and without a settings file, and the four ways
// of closing it.
#include <fstream>
#include <functional>

#include "viewer.h"

namespace {

class Startup : public ViewerTest {
protected:
    // Starts the program with a settings file holding the given lines below [Config].
    void StartWithSettings(const std::string& lines)
    {
        std::ofstream(IniPath(), std::ios::binary) << "[Config]\n" << lines;
        Start();
    }
    // A fresh program folder and application for the next case of a table.
    void Restart()
    {
        TearDown();
        SetUp();
    }
};

}  // namespace

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
    // Without a settings file the window is taken out of the topmost band, never put in.
    EXPECT_EQ(Screen().TopMostCalls, std::vector<bool>{false});
}

// --- Start-up from a settings file -----------------------------------------------------------

struct BarCase {
    const char* key;
    bool TfrmMain::*flag;
    TControl* (*bar)(TfrmMain&);
    TBevel* (*bevel)(TfrmMain&);  // null: the status bar has none
    TMenuItem* TfrmMain::*item;
    int shownHeight;
};

const BarCase Bars[] = {
    {"ToolBar", &TfrmMain::ToolBar, [](TfrmMain& f) -> TControl* { return f.pnlToolBar; },
     [](TfrmMain& f) { return f.bevToolBar; }, &TfrmMain::mnuVisibleToolBar, 28},
    {"PageBar", &TfrmMain::PageBar, [](TfrmMain& f) -> TControl* { return f.pnlPageBar; },
     [](TfrmMain& f) { return f.bevPageBar; }, &TfrmMain::mnuVisiblePageBar, 30},
    {"StatusBar", &TfrmMain::StatusBar, [](TfrmMain& f) -> TControl* { return f.stbMain; }, nullptr,
     &TfrmMain::mnuVisibleStatusBar, 19},
};

TEST_F(Startup, AHiddenBarOpensOnePixelHighAndItsMenuItemShowsItAgain)
{
    for (const BarCase& c : Bars) {
        SCOPED_TRACE(c.key);
        Restart();
        StartWithSettings(std::string(c.key) + "=0\n");
        TfrmMain& f = Main();
        const int outerWidth = f.Width(), outerHeight = f.Height();

        EXPECT_FALSE(f.*c.flag);
        EXPECT_EQ(c.bar(f)->Height(), 1);
        EXPECT_FALSE((f.*c.item)->Checked());
        if (c.bevel) {
            EXPECT_FALSE(c.bevel(f)->Visible());
        }
        for (const BarCase& o : Bars) {
            if (&o != &c) {
                EXPECT_TRUE(f.*o.flag) << o.key;
                EXPECT_EQ(o.bar(f)->Height(), o.shownHeight) << o.key;
                EXPECT_TRUE((f.*o.item)->Checked()) << o.key;
                if (o.bevel) {
                    EXPECT_TRUE(o.bevel(f)->Visible()) << o.key;
                }
            }
        }
        // The shrunk bar is still there, 1 pixel of it, and the scroll box fills the rest.
        EXPECT_TRUE(c.bar(f)->Visible());
        EXPECT_EQ(f.scrMain->Top(), f.pnlToolBar->Height() + f.pnlPageBar->Height());
        EXPECT_EQ(f.scrMain->Height(),
                  f.ClientHeight() - f.pnlToolBar->Height() - f.pnlPageBar->Height() - f.stbMain->Height());

        (f.*c.item)->Click();
        EXPECT_TRUE(f.*c.flag);
        EXPECT_EQ(c.bar(f)->Height(), c.shownHeight);
        EXPECT_TRUE((f.*c.item)->Checked());
        if (c.bevel) {
            EXPECT_TRUE(c.bevel(f)->Visible());
        }
        EXPECT_EQ(f.Width(), outerWidth);
        EXPECT_EQ(f.Height(), outerHeight);
    }
}

struct SettingsCase {
    const char* name;
    const char* lines;
    std::function<void(TfrmMain&, THeadless&)> check;
};

TEST_F(Startup, SettingsFileShapesTheFirstShow)
{
    // The white sheet of the start is as large as the scroll box of the layout: 362 x 247
    // (324 less the three bars).
    constexpr int SheetHeight = 324 - 28 - 30 - 19;
    const auto centred = [](TfrmMain& f) {
        EXPECT_EQ(f.Left(), (1920 - f.Width()) / 2);
        EXPECT_EQ(f.Top(), (1080 - f.Height()) / 2);
    };
    const SettingsCase cases[] = {
        {"AutoResize on", "AutoResize=1\n",
         [](TfrmMain& f, THeadless&) {
             EXPECT_TRUE(f.AutoResize);
             EXPECT_TRUE(f.spbAutoResize->Down());
             EXPECT_TRUE(f.mnuVisibleAutoResize->Checked());
             // Fitted to the white sheet at once: 370 wide as it is narrower than that.
             EXPECT_EQ(f.ClientWidth(), 370);
             EXPECT_EQ(f.ClientHeight(), SheetHeight + 99);
         }},
        {"AutoResize off", "AutoResize=0\n",
         [](TfrmMain& f, THeadless&) {
             EXPECT_FALSE(f.spbAutoResize->Down() || f.mnuVisibleAutoResize->Checked());
             EXPECT_EQ(f.ClientHeight(), 324);
         }},
        {"recorded rectangle restored",
         "WndLeft=150\nWndTop=60\nWndWidth=900\nWndHeight=700\nWndPosCng=1\n",
         [](TfrmMain& f, THeadless&) {
             EXPECT_EQ(f.Left(), 150);
             EXPECT_EQ(f.Top(), 60);
             EXPECT_EQ(f.Height(), 700);
             // The recorded width gives way to the 370 rule of the narrow white sheet.
             EXPECT_EQ(f.ClientWidth(), 370);
         }},
        {"recorded rectangle restored at the designed position",
         "WndLeft=200\nWndTop=107\nWndWidth=500\nWndHeight=500\nWndPosCng=1\n",
         [](TfrmMain& f, THeadless&) {
             EXPECT_EQ(f.Left(), 200);
             EXPECT_EQ(f.Top(), 107);
             EXPECT_EQ(f.Height(), 500);
             EXPECT_EQ(f.ClientWidth(), 370);
         }},
        {"recorded rectangle narrower than 370", "WndLeft=5\nWndTop=6\nWndWidth=100\nWndHeight=300\nWndPosCng=1\n",
         [](TfrmMain& f, THeadless&) {
             EXPECT_EQ(f.Left(), 5);
             EXPECT_EQ(f.Top(), 6);
             EXPECT_EQ(f.Height(), 300);
             EXPECT_EQ(f.ClientWidth(), 370);
         }},
        {"recorded rectangle not used", "WndLeft=150\nWndTop=60\nWndWidth=900\nWndHeight=700\nWndPosCng=0\n",
         [centred](TfrmMain& f, THeadless&) {
             EXPECT_EQ(f.ClientWidth(), 370);
             EXPECT_EQ(f.ClientHeight(), 324);
             centred(f);
             // Kept in the state record all the same, to be written again at close.
             EXPECT_EQ(f.WndLeft, 150);
             EXPECT_EQ(f.WndHeight, 700);
         }},
        {"WndPosCng without a rectangle", "WndPosCng=1\n",
         [](TfrmMain& f, THeadless&) {
             // 0, 0, 0, 0 applied as they stand; only the width rule answers.
             EXPECT_EQ(f.Left(), 0);
             EXPECT_EQ(f.Top(), 0);
             EXPECT_EQ(f.Height(), 0);
             EXPECT_EQ(f.ClientWidth(), 370);
         }},
        {"always on top", "WndFront=1\n",
         [centred](TfrmMain& f, THeadless& screen) {
             EXPECT_TRUE(f.WndFront);
             EXPECT_TRUE(f.mnuVisibleFrontWnd->Checked());
             EXPECT_EQ(screen.TopMostCalls, std::vector<bool>{true});
             centred(f);
         }},
        {"not on top", "WndFront=0\n",
         [](TfrmMain& f, THeadless& screen) {
             EXPECT_FALSE(f.mnuVisibleFrontWnd->Checked());
             EXPECT_EQ(screen.TopMostCalls, std::vector<bool>{false});
         }},
    };
    for (const SettingsCase& c : cases) {
        SCOPED_TRACE(c.name);
        Restart();
        StartWithSettings(c.lines);
        c.check(Main(), Screen());
    }
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
        Restart();
        Start();
        close();
        EXPECT_TRUE(Application->Terminated());
        EXPECT_TRUE(Main().Closing);
        EXPECT_EQ(Main().PageBitmap, nullptr);
        EXPECT_NE(ReadFileBytes(IniPath()).find("[Config]"), std::string::npos);
    }
}
