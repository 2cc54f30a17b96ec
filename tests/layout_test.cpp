// Fitting the window to the page (AdjustWindow) and the view commands: fit width and height,
// auto-resize, the bar switches and always-on-top.
#include <algorithm>
#include <functional>

#include "viewer.h"

namespace {

struct Size {
    int w, h;
};

class Layout : public ViewerTest {
protected:
    // A fresh program folder and application for the next case of a table.
    void Restart()
    {
        TearDown();
        SetUp();
    }
    // Opens a folder whose pages have these sizes, in this order.
    void OpenPages(const std::vector<Size>& sizes)
    {
        std::vector<std::pair<std::string, std::string>> files;
        for (size_t i = 0; i < sizes.size(); ++i)
            files.emplace_back("p" + std::to_string(10 + i) + ".jpg", SmallJpeg(sizes[i].w, sizes[i].h));
        OpenFolder(MakeFolder("pages" + std::to_string(folders_++), files));
        ASSERT_EQ(Main().PageCount, static_cast<int>(sizes.size()));
    }
    static Size Client(TfrmMain& f) { return {f.ClientWidth(), f.ClientHeight()}; }
    static Size Outer(TfrmMain& f) { return {f.Width(), f.Height()}; }

    int folders_ = 0;
};

bool operator==(Size a, Size b) { return a.w == b.w && a.h == b.h; }
void PrintTo(Size s, std::ostream* os) { *os << s.w << " x " << s.h; }

// Panel 0 and the drop-down follow the client width once the nested resizes have run.
void ExpectWidthsFollowTheClient(TfrmMain& f)
{
    EXPECT_EQ(f.stbMain->Panels(0)->Width(), f.ClientWidth() - 100);
    EXPECT_EQ(f.cmbFileList->Width(), f.ClientWidth() - 8);
}

}  // namespace

// --- AdjustWindow -------------------------------------------------------------------------

struct FitCase {
    const char* name;
    Size page;
    bool toolBar, pageBar, statusBar;  // shown
    Size client;
};

TEST_F(Layout, AutoResizeFitsTheClientAreaToEachPage)
{
    const FitCase cases[] = {
        {"369 wide: pinned at 370", {369, 300}, true, true, true, {370, 399}},
        {"370 wide: page + 22", {370, 300}, true, true, true, {392, 399}},
        {"large page", {800, 600}, true, true, true, {822, 699}},
        {"page bar shrunk", {800, 600}, true, false, true, {822, 670}},
        {"tool bar shrunk", {800, 600}, false, true, true, {822, 672}},
        {"status bar shrunk", {800, 600}, true, true, false, {822, 681}},
        {"all bars shrunk", {800, 600}, false, false, false, {822, 625}},
        {"small page, all bars shrunk", {200, 100}, false, false, false, {370, 125}},
        {"page larger than the desktop", {2500, 1800}, true, true, true, {2522, 1899}},
    };
    for (const FitCase& c : cases) {
        SCOPED_TRACE(c.name);
        Restart();
        Start();
        TfrmMain& f = Main();
        f.mnuVisibleAutoResize->Click();  // fits from the next page change on
        if (!c.toolBar)
            f.mnuVisibleToolBar->Click();
        if (!c.pageBar)
            f.mnuVisiblePageBar->Click();
        if (!c.statusBar)
            f.mnuVisibleStatusBar->Click();
        OpenPages({c.page});
        EXPECT_EQ(Client(f), c.client);
        EXPECT_EQ(f.pntMain->Width(), c.page.w);
        EXPECT_EQ(f.pntMain->Height(), c.page.h);
        ExpectWidthsFollowTheClient(f);
    }
}

struct UserResizeCase {
    const char* name;
    bool autoResize;
    Size page;  // 0 x 0: no folder open, the white sheet of the start (362 wide)
    Size request, result;
};

TEST_F(Layout, UserResizeFollowsThe370Rule)
{
    const UserResizeCase cases[] = {
        {"white sheet: narrower snaps back", false, {0, 0}, {300, 400}, {370, 400}},
        {"white sheet: wider snaps back too", false, {0, 0}, {600, 250}, {370, 250}},
        {"narrow page: wider snaps back", false, {200, 150}, {800, 500}, {370, 500}},
        {"wide page: wider accepted", false, {600, 400}, {1000, 900}, {1000, 900}},
        {"wide page: narrower down to 370 accepted", false, {600, 400}, {450, 120}, {450, 120}},
        {"wide page: exactly 370", false, {600, 400}, {370, 300}, {370, 300}},
        {"wide page: 369 goes back to 370", false, {600, 400}, {369, 300}, {370, 300}},
        {"wide page: far too narrow", false, {600, 400}, {10, 10}, {370, 10}},
        {"auto-resize: accepted until the next page", true, {600, 400}, {450, 300}, {450, 300}},
        {"auto-resize: narrower goes back to 370", true, {600, 400}, {200, 300}, {370, 300}},
        {"auto-resize, narrow page: pinned at 370", true, {200, 150}, {500, 300}, {370, 300}},
    };
    for (const UserResizeCase& c : cases) {
        SCOPED_TRACE(c.name);
        Restart();
        Start();
        TfrmMain& f = Main();
        if (c.autoResize)
            f.mnuVisibleAutoResize->Click();
        if (c.page.w > 0)
            OpenPages({c.page});
        f.UserResized(c.request.w, c.request.h);
        EXPECT_EQ(Client(f), c.result);
        ExpectWidthsFollowTheClient(f);
        // A resize never fits the window to the page, and never moves the page view's size.
        if (c.page.w > 0) {
            EXPECT_EQ(f.pntMain->Width(), c.page.w);
            EXPECT_EQ(f.pntMain->Height(), c.page.h);
        }
    }
}

TEST_F(Layout, AutoResizeFitsAgainAtTheNextPageAfterAUserResize)
{
    Start();
    TfrmMain& f = Main();
    f.mnuVisibleAutoResize->Click();
    OpenPages({{600, 400}, {700, 500}});
    f.UserResized(450, 300);
    EXPECT_EQ(Client(f), (Size{450, 300}));
    f.spbNextPage->Click();
    EXPECT_EQ(Client(f), (Size{722, 599}));
}

// Every size change raises OnResize at once, which runs AdjustWindow(false) inside it: the
// nesting must end after the one inner call that finds 370 already set.
TEST_F(Layout, NestedResizesComeToRest)
{
    Start();
    TfrmMain& f = Main();
    int runs = 0, depth = 0, deepest = 0;
    const TNotifyEvent original = f.OnResize;
    f.OnResize = [&](TObject* sender) {
        ++runs;
        deepest = std::max(deepest, ++depth);
        original(sender);
        --depth;
    };
    auto count = [&](const std::function<void()>& action) {
        runs = depth = deepest = 0;
        action();
        return std::pair{runs, deepest};
    };

    // The user's resize and the inner snap back to 370, which finds 370 set.
    EXPECT_EQ(count([&] { f.UserResized(300, 400); }), std::pair(2, 2));
    EXPECT_EQ(Client(f), (Size{370, 400}));
    // The same size again raises nothing.
    EXPECT_EQ(count([&] { f.UserResized(370, 400); }), std::pair(0, 0));

    f.mnuVisibleAutoResize->Click();
    // A fit: one resize for the width, one for the height; neither nests.
    EXPECT_EQ(count([&] { OpenPages({{800, 600}, {200, 100}}); }), std::pair(2, 1));
    EXPECT_EQ(Client(f), (Size{822, 699}));
    // From a wide page to a narrow one: the width rule, then the fit's height.
    EXPECT_EQ(count([&] { f.spbNextPage->Click(); }), std::pair(2, 1));
    EXPECT_EQ(Client(f), (Size{370, 199}));
    // Back and forth: two fits of two resizes each.
    EXPECT_EQ(count([&] { f.spbBackPage->Click(); f.spbNextPage->Click(); }), std::pair(4, 1));
    // Fitting to the page on show changes nothing.
    EXPECT_EQ(count([&] { f.AdjustWindow(true); }), std::pair(0, 0));
}

// --- Bars ---------------------------------------------------------------------------------

TEST_F(Layout, BarSwitchesInAnyCombinationKeepTheOuterSize)
{
    Start();
    TfrmMain& f = Main();
    OpenPages({{500, 400}});
    const Size outer = Outer(f), page{f.pntMain->Width(), f.pntMain->Height()};
    struct Bar {
        TMenuItem* item;
        TControl* bar;
        TBevel* bevel;
        bool* flag;
        int shown;
    };
    const Bar bars[] = {{f.mnuVisibleToolBar, f.pnlToolBar, f.bevToolBar, &f.ToolBar, 28},
                        {f.mnuVisiblePageBar, f.pnlPageBar, f.bevPageBar, &f.PageBar, 30},
                        {f.mnuVisibleStatusBar, f.stbMain, nullptr, &f.StatusBar, 19}};
    auto expectBars = [&](unsigned shrunk) {
        for (unsigned i = 0; i < 3; ++i) {
            const bool shown = !(shrunk & (1u << i));
            SCOPED_TRACE(bars[i].item->Name());
            EXPECT_EQ(*bars[i].flag, shown);
            EXPECT_EQ(bars[i].item->Checked(), shown);
            EXPECT_EQ(bars[i].bar->Height(), shown ? bars[i].shown : 1);
            // Shrunk, not hidden: its controls stay enabled.
            EXPECT_TRUE(bars[i].bar->Visible());
            if (bars[i].bevel) {
                EXPECT_EQ(bars[i].bevel->Visible(), shown);
            }
        }
        EXPECT_TRUE(f.cmbFileList->Enabled());
        EXPECT_TRUE(f.spbOpenFolder->Enabled());
        EXPECT_EQ(Outer(f), outer);
        // The scroll box takes up the room; the page view keeps the page's size.
        const int barHeights = f.pnlToolBar->Height() + f.pnlPageBar->Height() + f.stbMain->Height();
        EXPECT_EQ(f.scrMain->Top(), f.pnlToolBar->Height() + f.pnlPageBar->Height());
        EXPECT_EQ(f.scrMain->Height(), f.ClientHeight() - barHeights);
        EXPECT_EQ(f.stbMain->Top(), f.ClientHeight() - f.stbMain->Height());
        EXPECT_EQ(f.pntMain->Width(), page.w);
        EXPECT_EQ(f.pntMain->Height(), page.h);
    };
    for (unsigned shrunk = 1; shrunk < 8; ++shrunk) {
        SCOPED_TRACE("shrunk mask " + std::to_string(shrunk));
        for (unsigned i = 0; i < 3; ++i)
            if (shrunk & (1u << i))
                bars[i].item->Click();
        expectBars(shrunk);
        // Restored in the opposite order.
        for (int i = 2; i >= 0; --i)
            if (shrunk & (1u << i))
                bars[i].item->Click();
        expectBars(0);
    }
}

// --- Fit width, fit height, auto-resize -----------------------------------------------------

struct FitCommandCase {
    const char* name;
    Size page;
    bool pageBar;  // shown
    std::function<void(TfrmMain&)> command;
    Size client;  // from a client area of 450 x 300 (370 x 300 for a narrow page)
};

TEST_F(Layout, FitWidthAndFitHeightFromButtonAndMenu)
{
    const auto widthButton = [](TfrmMain& f) { f.spbWndWidth->Click(); };
    const auto widthItem = [](TfrmMain& f) { f.mnuVisibleWndWidth->Click(); };
    const auto heightButton = [](TfrmMain& f) { f.spbWndHeight->Click(); };
    const auto heightItem = [](TfrmMain& f) { f.mnuVisibleWndHeight->Click(); };
    const FitCommandCase cases[] = {
        {"width, button", {600, 400}, true, widthButton, {622, 300}},
        {"width, menu", {600, 400}, true, widthItem, {622, 300}},
        {"width of a narrow page, button", {200, 150}, true, widthButton, {370, 300}},
        {"width of a narrow page, menu", {200, 150}, true, widthItem, {370, 300}},
        {"width of a 370 page", {370, 150}, true, widthButton, {392, 300}},
        // Both height commands count the page bar, so the page fits (DESIGN.md).
        {"height, button", {600, 400}, true, heightButton, {450, 499}},
        {"height, menu", {600, 400}, true, heightItem, {450, 499}},
        {"height with the page bar shrunk, button", {600, 400}, false, heightButton, {450, 470}},
        {"height with the page bar shrunk, menu", {600, 400}, false, heightItem, {450, 470}},
        {"height of a narrow page, menu", {200, 150}, true, heightItem, {370, 249}},
    };
    for (const FitCommandCase& c : cases) {
        SCOPED_TRACE(c.name);
        Restart();
        Start();
        TfrmMain& f = Main();
        if (!c.pageBar)
            f.mnuVisiblePageBar->Click();
        OpenPages({c.page});
        f.UserResized(450, 300);
        c.command(f);
        EXPECT_EQ(Client(f), c.client);
        EXPECT_FALSE(f.AutoResize);
        ExpectWidthsFollowTheClient(f);
        // The page view fills the client area exactly, allowances aside.
        if (c.page.w >= 370 && c.client.w != 450) {
            EXPECT_EQ(f.scrMain->Width(), c.page.w + 22);
        }
        if (c.client.h != 300) {
            EXPECT_EQ(f.scrMain->Height(), c.page.h + 22);
        }
    }
}

TEST_F(Layout, AutoResizeFromTheButtonFitsAtOnceFromTheMenuAtTheNextPage)
{
    Start();
    TfrmMain& f = Main();
    OpenPages({{600, 400}, {700, 500}, {640, 480}});
    f.UserResized(450, 300);
    auto expectSwitch = [&](bool on) {
        EXPECT_EQ(f.AutoResize, on);
        EXPECT_EQ(f.spbAutoResize->Down(), on);
        EXPECT_EQ(f.mnuVisibleAutoResize->Checked(), on);
    };

    f.spbAutoResize->Click();
    expectSwitch(true);
    EXPECT_EQ(Client(f), (Size{622, 499}));

    // Switching off never changes the window.
    f.UserResized(450, 300);
    f.spbAutoResize->Click();
    expectSwitch(false);
    EXPECT_EQ(Client(f), (Size{450, 300}));

    // From the menu: no fit now ...
    f.mnuVisibleAutoResize->Click();
    expectSwitch(true);
    EXPECT_EQ(Client(f), (Size{450, 300}));
    // ... but at the next page change.
    f.spbNextPage->Click();
    EXPECT_EQ(Client(f), (Size{722, 599}));

    f.mnuVisibleAutoResize->Click();
    expectSwitch(false);
    EXPECT_EQ(Client(f), (Size{722, 599}));
    f.spbNextPage->Click();
    EXPECT_EQ(Client(f), (Size{722, 599}));

    // The button and the menu item share one switch.
    f.mnuVisibleAutoResize->Click();
    f.spbAutoResize->Click();
    expectSwitch(false);
    EXPECT_EQ(Client(f), (Size{722, 599}));
}

// --- Always on top ------------------------------------------------------------------------

TEST_F(Layout, AlwaysOnTopCheckFollowsTheFlagEvenWhenRefused)
{
    for (bool refuse : {false, true}) {
        SCOPED_TRACE(refuse ? "window manager refuses" : "window manager agrees");
        Restart();
        Start();
        TfrmMain& f = Main();
        Screen().RefuseTopMost = refuse;
        Screen().TopMostCalls.clear();
        const int left = f.Left(), top = f.Top();
        const Size outer = Outer(f);

        f.mnuVisibleFrontWnd->Click();
        EXPECT_TRUE(f.WndFront);
        EXPECT_TRUE(f.mnuVisibleFrontWnd->Checked());
        EXPECT_EQ(Screen().TopMostCalls, std::vector<bool>{true});

        f.mnuVisibleFrontWnd->Click();
        EXPECT_FALSE(f.WndFront);
        EXPECT_FALSE(f.mnuVisibleFrontWnd->Checked());
        EXPECT_EQ(Screen().TopMostCalls, (std::vector<bool>{true, false}));

        // Neither moves nor sizes the window.
        EXPECT_EQ(f.Left(), left);
        EXPECT_EQ(f.Top(), top);
        EXPECT_EQ(Outer(f), outer);
    }
}

// --- After close ----------------------------------------------------------------------------

// The close released the page bitmap that every layout step reads; none of them may run.
TEST_F(Layout, NothingIsLaidOutOnceTheWindowIsClosing)
{
    Start();
    TfrmMain& f = Main();
    f.mnuVisibleAutoResize->Click();
    OpenPages({{600, 400}});
    f.spbClose->Click();
    ASSERT_TRUE(f.Closing);
    ASSERT_EQ(f.PageBitmap, nullptr);
    const Size client = Client(f);

    f.AdjustWindow(true);
    f.spbWndWidth->Click();
    f.mnuVisibleWndHeight->Click();
    f.spbAutoResize->Click();
    f.spbAutoResize->Click();
    f.mnuVisiblePageBar->Click();
    f.UserResized(300, 200);
    Application->ProcessMessages();
    EXPECT_EQ(f.ClientWidth(), 300);  // a resize after close is not answered
    EXPECT_EQ(f.pntMain->Width(), 600);
    EXPECT_NE(Client(f), client);
    EXPECT_TRUE(Screen().Exceptions.empty());
}
