// The slideshow: the enabling of every navigation control in each state, the show on the
// virtual clock, what may and may not happen while it plays, and the interval's up-down.
#include <array>
#include <fstream>
#include <functional>

#include "dragdrop.h"
#include "viewer.h"

namespace {

class Slideshow : public ViewerTest {
protected:
    void SetUp() override
    {
        ViewerTest::SetUp();
        Start();
    }
    void Restart()
    {
        TearDown();
        SetUp();
    }

    // n pages 1.jpg ... n.jpg (n below 10, so that the names sort as the numbers).
    std::string Folder(const std::string& name, int n)
    {
        std::vector<std::pair<std::string, std::string>> files;
        for (int i = 1; i <= n; ++i)
            files.emplace_back(std::to_string(i) + ".jpg", SmallJpeg(400 + i, 300));
        return MakeFolder(name, files);
    }

    // The tool-bar up-down down to one second.
    void OneSecond()
    {
        Main().updSlideTime->SetPosition(2);
        Main().updSlideTime->ArrowClick(TUDBtnType::btPrev);
        ASSERT_EQ(Main().timMain->Interval(), 1000);
    }

    void Play() { Main().spbSlidePlay->Click(); }
    // A show of n pages at one page a second, started on page 1.
    void PlayAtOneSecond(const std::string& name, int n)
    {
        OneSecond();
        OpenFolder(Folder(name, n));
        Play();
    }
    void Advance(int ms) { Application->AdvanceClock(ms); }

    // When the next tick starts, posts a message whose handling runs action: a user's input
    // that arrives while the tick is under way.
    void PostDuringNextTick(std::function<void()> action)
    {
        TTimer* timer = Main().timMain;
        auto* poster = new TControl(&Main());
        poster->WindowProc = [action](TMessage&) { action(); };
        timer->OnTimer = [timer, poster, tick = timer->OnTimer](TObject* sender) {
            // Putting the handler back destroys this lambda: keep what it needs first.
            const TNotifyEvent original = tick;
            TControl* const target = poster;
            timer->OnTimer = original;
            Application->PostMessage(target, WM_LBUTTONDOWN);
            original(sender);
        };
    }
};

// --- The enabling table ----------------------------------------------------------------------

// The controls in the order of the table's rows.
constexpr std::array<const char*, 17> kRows = {
    "mnuFileFolder", "mnuVisibleBack", "mnuVisibleNext", "mnuSlidePlay", "mnuSlidePause", "mnuSlideStop",
    "spbOpenFolder", "spbBackPage",    "spbNextPage",    "spbSlidePlay", "spbSlidePause", "spbSlideStop",
    "cmbFileList",   "pntMain",        "updSlideTime",   "timer Enabled", "Sliding"};

std::array<bool, 17> Actual(const TfrmMain& f)
{
    return {f.mnuFileFolder->Enabled(), f.mnuVisibleBack->Enabled(), f.mnuVisibleNext->Enabled(),
            f.mnuSlidePlay->Enabled(),  f.mnuSlidePause->Enabled(),  f.mnuSlideStop->Enabled(),
            f.spbOpenFolder->Enabled(), f.spbBackPage->Enabled(),    f.spbNextPage->Enabled(),
            f.spbSlidePlay->Enabled(),  f.spbSlidePause->Enabled(),  f.spbSlideStop->Enabled(),
            f.cmbFileList->Enabled(),   f.pntMain->Enabled(),        f.updSlideTime->Enabled(),
            f.timMain->Enabled(),       f.Sliding};
}

// One state: how the window gets there, and every row as 1 (on, set) or 0 (off, clear),
// grouped menu items | buttons | drop-down, paint box, up-down | timer, Sliding.
struct Column {
    const char* name;
    std::function<void()> reach;
    const char* expected;
};

std::array<bool, 17> Parse(const char* s)
{
    std::array<bool, 17> v{};
    size_t i = 0;
    for (; *s; ++s)
        if (*s == '0' || *s == '1')
            v.at(i++) = *s == '1';
    EXPECT_EQ(i, v.size()) << "a column needs a value for every row";
    return v;
}

TEST_F(Slideshow, EnablingTable)
{
    auto three = [this] { OpenFolder(Folder("three", 3)); };
    const std::vector<Column> columns = {
        {"start-up", [] {},                                                        "100100 100100 011 00"},
        {"play, no pages", [this] { Play(); },                                     "100100 100100 011 00"},
        // Back and Next come from Play, the drop-down (enabled by the list) is left alone.
        {"play, no pages, after close all", [&] { three(); Main().frmFileClose->Click(); Play(); },
                                                                                   "100100 100100 111 00"},
        {"play starts", [&] { three(); Play(); },                                  "000011 000011 000 11"},
        // The Next button is off while its menu item stays on.
        {"play on the last page", [&] { three(); Main().cmbFileList->UserSelect(2); Play(); },
                                                                                   "111100 110100 111 00"},
        {"play on a one-page list", [&] { OpenFolder(Folder("one", 1)); Play(); }, "111100 110100 111 00"},
        // Back and Next from the page position: page 1 of 3.
        {"pause", [&] { three(); Play(); Main().spbSlidePause->Click(); },         "001101 001101 111 00"},
        {"pause after a turn", [&] { three(); Play(); Advance(10'000); Main().mnuSlidePause->Click(); },
                                                                                   "011101 011101 111 00"},
        {"stop on page 2 of 3", [&] { three(); Play(); Advance(10'000); Main().spbSlideStop->Click(); },
                                                                                   "111100 111100 111 00"},
        {"stop after a drop of one page",
         [&] { three(); Play(); Drop({Folder("one", 1)}); Main().mnuSlideStop->Click(); },
                                                                                   "100100 100100 111 00"},
        // On the last page Back and Next are both on; the drop-down stays off from Play.
        {"show ends", [&] { three(); Play(); Advance(20'000); },                   "111100 111100 011 00"},
        {"close all during a show", [&] { three(); Play(); Main().frmFileClose->Click(); },
                                                                                   "111100 111100 011 00"},
        {"close all of a list", [&] { three(); Main().frmFileClose->Click(); },    "111100 111100 111 00"},
    };
    for (const Column& c : columns) {
        SCOPED_TRACE(c.name);
        Restart();
        c.reach();
        const auto expected = Parse(c.expected);
        const auto actual = Actual(Main());
        for (size_t i = 0; i < kRows.size(); ++i)
            EXPECT_EQ(actual[i], expected[i]) << kRows[i];
        EXPECT_TRUE(Screen().Exceptions.empty());
    }
}

// --- The show on the clock --------------------------------------------------------------------

TEST_F(Slideshow, ThreePagesAtOneSecond)
{
    TfrmMain& f = Main();
    PlayAtOneSecond("three", 3);
    Advance(999);
    EXPECT_EQ(f.PageNo, 1);
    Advance(1);
    EXPECT_EQ(f.PageNo, 2);
    EXPECT_EQ(f.stbMain->Panels(1)->Text(), "Page: 2 / 3");
    EXPECT_TRUE(f.Sliding);
    // During the show a page display leaves the controls as Play set them.
    EXPECT_FALSE(f.spbBackPage->Enabled() || f.spbNextPage->Enabled() || f.cmbFileList->Enabled());
    Advance(1000);
    EXPECT_EQ(f.PageNo, 3);
    EXPECT_FALSE(f.Sliding);
    EXPECT_FALSE(f.timMain->Enabled());
    Advance(10'000);
    EXPECT_EQ(f.PageNo, 3);

    // Pages turn by hand again.
    Application->Deliver([] { frmMain->pntMain->Perform(WM_RBUTTONDOWN, 0, MakeLParam(1, 1)); });
    EXPECT_EQ(f.PageNo, 2);
    EXPECT_TRUE(f.cmbFileList->Enabled());
}

TEST_F(Slideshow, PauseAndPlayWaitAFullInterval)
{
    TfrmMain& f = Main();
    PlayAtOneSecond("five", 5);
    Advance(1000);
    ASSERT_EQ(f.PageNo, 2);
    Advance(600);
    f.mnuSlidePause->Click();
    Advance(5000);
    EXPECT_EQ(f.PageNo, 2);
    f.mnuSlidePlay->Click();
    Advance(999);
    EXPECT_EQ(f.PageNo, 2);
    Advance(1);
    EXPECT_EQ(f.PageNo, 3);
    // Stop keeps the page; Play goes on from there.
    f.spbSlideStop->Click();
    Advance(3000);
    EXPECT_EQ(f.PageNo, 3);
    Play();
    Advance(1000);
    EXPECT_EQ(f.PageNo, 4);
}

TEST_F(Slideshow, AnIntervalOfZeroNeverTicks)
{
    TearDown();
    ViewerTest::SetUp();
    std::ofstream(IniPath(), std::ios::binary) << "[Config]\nSlideTime=0\n";
    Start();
    TfrmMain& f = Main();
    ASSERT_EQ(f.timMain->Interval(), 0);
    OpenFolder(Folder("three", 3));
    Play();
    Advance(3'600'000);
    EXPECT_EQ(f.PageNo, 1);
    EXPECT_TRUE(f.Sliding);
    EXPECT_TRUE(f.timMain->Enabled());
    f.spbSlideStop->Click();
    EXPECT_FALSE(f.Sliding);
    EXPECT_TRUE(f.spbNextPage->Enabled());
}

TEST_F(Slideshow, ADropDuringTheShowGoesOnFromItsFirstPage)
{
    TfrmMain& f = Main();
    const std::string other = Folder("other", 3);
    PlayAtOneSecond("five", 5);
    Advance(2000);
    ASSERT_EQ(f.PageNo, 3);
    Advance(500);
    Drop({other});
    EXPECT_EQ(f.PageNo, 1);
    EXPECT_EQ(f.stbMain->Panels(0)->Text(), other + "/1.jpg");
    EXPECT_TRUE(f.Sliding);
    EXPECT_FALSE(f.cmbFileList->Enabled() || f.spbNextPage->Enabled());
    // The drop does not restart the wait.
    Advance(500);
    EXPECT_EQ(f.PageNo, 2);
    Advance(1000);
    EXPECT_EQ(f.PageNo, 3);
    EXPECT_FALSE(f.Sliding);
}

TEST_F(Slideshow, ADropOfNoneOrOnePageEndsTheShowAtTheNextTick)
{
    TfrmMain& f = Main();
    OneSecond();
    const std::string five = Folder("five", 5);
    struct Case {
        const char* name;
        std::string dropped;
        int pageNo;
    };
    const std::vector<Case> cases = {
        {"no pictures", MakeFolder("none", {{"a.png", "x"}}), 0},
        {"one page", Folder("one", 1), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OpenFolder(five);
        Play();
        Advance(1000);
        ASSERT_EQ(f.PageNo, 2);
        Drop({c.dropped});
        EXPECT_EQ(f.PageNo, c.pageNo);
        EXPECT_TRUE(f.Sliding);
        Advance(999);
        EXPECT_TRUE(f.Sliding);
        Advance(1);
        EXPECT_FALSE(f.Sliding);
        EXPECT_FALSE(f.timMain->Enabled());
        EXPECT_EQ(f.PageNo, c.pageNo);
        EXPECT_TRUE(f.spbSlidePlay->Enabled());
        EXPECT_FALSE(f.spbSlideStop->Enabled() || f.spbSlidePause->Enabled());
        EXPECT_EQ(OpenDropHandles(), 0u);
    }
    EXPECT_TRUE(Screen().Exceptions.empty());
}

// A tick's page display lets pending messages run: a Stop waiting there is handled inside
// the tick, and the tick ends without undoing it.
TEST_F(Slideshow, AStopHandledInsideATick)
{
    TfrmMain& f = Main();
    PlayAtOneSecond("three", 3);
    PostDuringNextTick([] { frmMain->spbSlideStop->Click(); });
    Advance(1000);
    EXPECT_EQ(f.PageNo, 2);
    EXPECT_FALSE(f.Sliding);
    EXPECT_FALSE(f.timMain->Enabled());
    // The page display, finding the show stopped, set Back, Next and the drop-down.
    EXPECT_TRUE(f.spbBackPage->Enabled() && f.spbNextPage->Enabled() && f.cmbFileList->Enabled());
    EXPECT_TRUE(f.spbOpenFolder->Enabled() && f.spbSlidePlay->Enabled());
    EXPECT_FALSE(f.spbSlideStop->Enabled());
    Advance(5000);
    EXPECT_EQ(f.PageNo, 2);

    // On the last page the tick then ends the show as well.
    Play();
    PostDuringNextTick([] { frmMain->mnuSlidePause->Click(); });
    Advance(1000);
    EXPECT_EQ(f.PageNo, 3);
    EXPECT_FALSE(f.Sliding);
    EXPECT_TRUE(f.spbOpenFolder->Enabled() && f.spbBackPage->Enabled() && f.spbNextPage->Enabled());
    EXPECT_FALSE(f.spbSlideStop->Enabled());
    EXPECT_TRUE(Screen().Exceptions.empty());
}

TEST_F(Slideshow, AWindowClosedInsideATick)
{
    TfrmMain& f = Main();
    PlayAtOneSecond("three", 3);
    PostDuringNextTick([] { frmMain->Perform(WM_CLOSE); });
    Advance(1000);
    EXPECT_EQ(f.PageNo, 2);
    EXPECT_TRUE(f.Closing);
    EXPECT_EQ(f.PageBitmap, nullptr);
    EXPECT_FALSE(f.timMain->Enabled());
    // No tick runs into the released page objects.
    f.timMainTimer(f.timMain);
    Advance(10'000);
    EXPECT_TRUE(Screen().Exceptions.empty());
    EXPECT_NE(ReadFileBytes(IniPath()).find("SlideTime=1000"), std::string::npos);
}

TEST_F(Slideshow, OnlyTheTimerTurnsPagesDuringAShow)
{
    TfrmMain& f = Main();
    PlayAtOneSecond("five", 5);
    Advance(1000);
    ASSERT_EQ(f.PageNo, 2);
    Screen().FolderTitles.clear();
    const std::vector<std::pair<const char*, std::function<void()>>> attempts = {
        {"left press", [] { frmMain->pntMain->Perform(WM_LBUTTONDOWN, 0, MakeLParam(1, 1)); }},
        {"right press", [] { frmMain->pntMain->Perform(WM_RBUTTONDOWN, 0, MakeLParam(1, 1)); }},
        {"press beside the page", [] { frmMain->scrMain->Perform(WM_LBUTTONDOWN, 0, MakeLParam(600, 1)); }},
        {"Right key", [] { frmMain->Perform(WM_KEYDOWN, KeyWParam(VK_RIGHT, {})); }},
        {"Left key", [] { frmMain->Perform(WM_KEYDOWN, KeyWParam(VK_LEFT, {})); }},
        {"next button", [] { frmMain->spbNextPage->Click(); }},
        {"back button", [] { frmMain->spbBackPage->Click(); }},
        {"next item", [] { frmMain->mnuVisibleNext->Click(); }},
        {"back item", [] { frmMain->mnuVisibleBack->Click(); }},
        {"drop-down", [] { frmMain->cmbFileList->UserSelect(4); }},
        {"open folder", [] { frmMain->spbOpenFolder->Click(); frmMain->mnuFileFolder->Click(); }},
        {"interval", [] { frmMain->updSlideTime->ArrowClick(TUDBtnType::btNext); }},
    };
    for (const auto& [name, attempt] : attempts) {
        SCOPED_TRACE(name);
        Application->Deliver(attempt);
        EXPECT_EQ(f.PageNo, 2);
        EXPECT_EQ(f.stbMain->Panels(1)->Text(), "Page: 2 / 5");
    }
    EXPECT_TRUE(Screen().FolderTitles.empty());
    EXPECT_EQ(f.timMain->Interval(), 1000);

    // View commands and the options dialog still work; the dialog's arrows change the
    // interval at once, and a cancel does not undo it.
    f.mnuVisibleToolBar->Click();
    EXPECT_FALSE(f.ToolBar);
    f.mnuVisibleAutoResize->Click();
    EXPECT_TRUE(f.AutoResize);
    bool shown = false;
    Screen().OnModal = [&](TForm& dialog) {
        shown = &dialog == frmConfig;
        frmConfig->updSlideTime->ArrowClick(TUDBtnType::btNext);
        frmConfig->btnCancel->Click();
    };
    f.mnuVisibleOption->Click();
    Screen().OnModal = nullptr;
    EXPECT_TRUE(shown);
    EXPECT_EQ(f.timMain->Interval(), 2000);
    EXPECT_EQ(f.SlideTime, 1000);
    Advance(1999);
    EXPECT_EQ(f.PageNo, 2);
    Advance(1);
    EXPECT_EQ(f.PageNo, 3);

    // Close all ends the show for good.
    f.frmFileClose->Click();
    EXPECT_FALSE(f.Sliding);
    Advance(10'000);
    EXPECT_EQ(f.PageNo, 0);
    EXPECT_EQ(f.stbMain->Panels(1)->Text(), "Page: 0/0");
    EXPECT_TRUE(Screen().Exceptions.empty());
}

TEST_F(Slideshow, TheUpDownSetsTheInterval)
{
    TfrmMain& f = Main();
    ASSERT_EQ(f.updSlideTime->Position(), 10);
    f.updSlideTime->ArrowClick(TUDBtnType::btPrev);
    EXPECT_EQ(f.edtSlideTime->Text(), "9");
    EXPECT_EQ(f.SlideTime, 9000);
    EXPECT_EQ(f.timMain->Interval(), 9000);
    // Kept within 1..60.
    f.updSlideTime->SetPosition(60);
    f.updSlideTime->ArrowClick(TUDBtnType::btNext);
    EXPECT_EQ(f.edtSlideTime->Text(), "60");
    EXPECT_EQ(f.timMain->Interval(), 60000);
    f.updSlideTime->SetPosition(1);
    f.updSlideTime->ArrowClick(TUDBtnType::btPrev);
    EXPECT_EQ(f.SlideTime, 1000);
}

}  // namespace
