// Turning pages by hand (buttons, menu items, arrow keys, mouse presses, the drop-down),
// closing all, and what happens once the window has closed.
#include <algorithm>
#include <fstream>

#include "dragdrop.h"
#include "filesystem.h"
#include "viewer.h"

namespace {

const char* const kPrompt = "（フォルダを開いてください）";

class Navigation : public ViewerTest {
protected:
    void SetUp() override
    {
        ViewerTest::SetUp();
        Start();
    }

    // n pages 01.jpg, 02.jpg, ... of slightly different widths, so that the page bitmap tells
    // which one was decoded last.
    std::string Folder(int n)
    {
        std::vector<std::pair<std::string, std::string>> files;
        for (int i = 1; i <= n; ++i)
            files.emplace_back((i < 10 ? "0" : "") + std::to_string(i) + ".jpg", SmallJpeg(400 + i, 300));
        folder_ = MakeFolder("pages" + std::to_string(n), files);
        return folder_;
    }
    std::string Page(int i) const { return folder_ + "/" + (i < 10 ? "0" : "") + std::to_string(i) + ".jpg"; }

    void Press(unsigned msg) { Application->Deliver([msg] { frmMain->pntMain->Perform(msg, 0, MakeLParam(10, 10)); }); }
    void Key(unsigned key, TShiftState shift = {})
    {
        Application->Deliver([=] { frmMain->Perform(WM_KEYDOWN, KeyWParam(key, shift)); });
    }

    // Page i of n on show, with back and next as the position says.
    void ExpectPage(int i, int n)
    {
        TfrmMain& f = Main();
        EXPECT_EQ(f.PageNo, i);
        EXPECT_EQ(f.stbMain->Panels(0)->Text(), Page(i));
        EXPECT_EQ(f.stbMain->Panels(1)->Text(), "Page: " + std::to_string(i) + " / " + std::to_string(n));
        EXPECT_EQ(f.cmbFileList->ItemIndex(), i - 1);
        EXPECT_EQ(f.PageBitmap->Width(), 400 + i);
        EXPECT_EQ(f.spbBackPage->Enabled(), i > 1);
        EXPECT_EQ(f.mnuVisibleBack->Enabled(), i > 1);
        EXPECT_EQ(f.spbNextPage->Enabled(), i < n);
        EXPECT_EQ(f.mnuVisibleNext->Enabled(), i < n);
        EXPECT_TRUE(f.cmbFileList->Enabled());
    }

    // Rewrites page i with another width: a turn that reads the file anew shows it.
    void Rewrite(int i, int width)
    {
        std::ofstream(Page(i), std::ios::binary | std::ios::trunc) << SmallJpeg(width, 300);
    }

    std::string folder_;
};

TEST_F(Navigation, WalkingThroughThreePages)
{
    TfrmMain& f = Main();
    OpenFolder(Folder(3));
    ExpectPage(1, 3);
    f.spbNextPage->Click();
    ExpectPage(2, 3);
    f.mnuVisibleNext->Click();
    ExpectPage(3, 3);

    // A left press on the last page shows it again, read from its file anew.
    Rewrite(3, 777);
    Press(WM_LBUTTONDOWN);
    EXPECT_EQ(f.PageNo, 3);
    EXPECT_EQ(f.PageBitmap->Width(), 777);
    Rewrite(3, 403);

    Press(WM_RBUTTONDOWN);
    ExpectPage(2, 3);
    f.spbBackPage->Click();
    ExpectPage(1, 3);
    f.mnuVisibleNext->Click();
    f.mnuVisibleBack->Click();
    ExpectPage(1, 3);
    EXPECT_TRUE(Screen().Exceptions.empty());
}

TEST_F(Navigation, OnPageOneOnlyTheRightPressGoesBack)
{
    TfrmMain& f = Main();
    OpenFolder(Folder(3));
    Rewrite(1, 777);

    // Back is off, so neither its button, its item nor its key reads the page again.
    f.spbBackPage->Click();
    f.mnuVisibleBack->Click();
    Key(VK_LEFT);
    EXPECT_EQ(f.PageBitmap->Width(), 401);

    Press(WM_RBUTTONDOWN);
    EXPECT_EQ(f.PageNo, 1);
    EXPECT_EQ(f.PageBitmap->Width(), 777);
    EXPECT_FALSE(f.spbBackPage->Enabled() || f.mnuVisibleBack->Enabled());
}

TEST_F(Navigation, KeysAndMouseButtons)
{
    TfrmMain& f = Main();
    OpenFolder(Folder(6));

    // Only the plain arrows are the shortcuts.
    Key(VK_RIGHT, TShiftState{true, false, false});
    Key(VK_RIGHT, TShiftState{false, true, false});
    Key(VK_RIGHT, TShiftState{false, false, true});
    EXPECT_EQ(f.PageNo, 1);
    Key(VK_RIGHT);
    ExpectPage(2, 6);
    Key(VK_LEFT, TShiftState{true, false, false});
    EXPECT_EQ(f.PageNo, 2);
    Key(VK_LEFT);
    ExpectPage(1, 6);

    Press(WM_MBUTTONDOWN);
    ExpectPage(1, 6);
    // A double click delivers two presses; releases turn nothing.
    Press(WM_LBUTTONDOWN);
    Press(WM_LBUTTONUP);
    Press(WM_LBUTTONDOWN);
    Press(WM_LBUTTONUP);
    ExpectPage(3, 6);

    // Presses beside the page, on the scroll box, turn pages too.
    Application->Deliver([] { frmMain->scrMain->Perform(WM_LBUTTONDOWN, 0, MakeLParam(600, 10)); });
    ExpectPage(4, 6);
    Application->Deliver([] { frmMain->scrMain->Perform(WM_RBUTTONDOWN, 0, MakeLParam(600, 10)); });
    ExpectPage(3, 6);
}

TEST_F(Navigation, TheDropDownChoosesAPage)
{
    TfrmMain& f = Main();
    OpenFolder(Folder(6));
    f.cmbFileList->UserSelect(4);
    ExpectPage(5, 6);
    f.cmbFileList->UserSelect(5);
    ExpectPage(6, 6);
    f.cmbFileList->UserSelect(0);
    ExpectPage(1, 6);
}

TEST_F(Navigation, CloseAllOnAPageOfTwenty)
{
    TfrmMain& f = Main();
    OpenFolder(Folder(20));
    f.cmbFileList->UserSelect(6);
    ASSERT_EQ(f.PageNo, 7);
    // View options away from their defaults, and a window the user has made larger.
    f.mnuVisibleToolBar->Click();
    f.mnuVisibleStatusBar->Click();
    f.mnuVisibleFrontWnd->Click();
    f.UserResized(900, 700);
    f.UserMoved(40, 50);
    const int left = f.Left(), top = f.Top(), width = f.Width(), height = f.Height();
    const int slideTime = f.SlideTime;

    f.frmFileClose->Click();

    EXPECT_EQ(f.PageNo, 0);
    EXPECT_EQ(f.PageCount, 0);
    EXPECT_EQ(f.PageList->Count(), 0);
    EXPECT_EQ(f.cmbFileList->Items().Count(), 0);
    EXPECT_EQ(f.cmbFileList->ItemIndex(), -1);
    EXPECT_EQ(f.cmbFileList->Text(), "");
    EXPECT_EQ(f.stbMain->Panels(0)->Text(), kPrompt);
    EXPECT_EQ(f.stbMain->Panels(1)->Text(), "Page: 0/0");
    EXPECT_EQ(f.Caption(), "Folivo");
    EXPECT_TRUE(f.spbSlidePlay->Enabled() && f.mnuSlidePlay->Enabled());
    EXPECT_FALSE(f.spbSlidePause->Enabled() || f.mnuSlidePause->Enabled());
    EXPECT_FALSE(f.spbSlideStop->Enabled() || f.mnuSlideStop->Enabled());
    EXPECT_TRUE(f.spbBackPage->Enabled() && f.mnuVisibleBack->Enabled());
    EXPECT_TRUE(f.spbNextPage->Enabled() && f.mnuVisibleNext->Enabled());
    EXPECT_TRUE(f.spbOpenFolder->Enabled() && f.mnuFileFolder->Enabled());
    // The drop-down keeps its state.
    EXPECT_TRUE(f.cmbFileList->Enabled());

    // A white page view filling the scroll box.
    EXPECT_EQ(f.pntMain->Width(), f.scrMain->Width());
    EXPECT_EQ(f.pntMain->Height(), f.scrMain->Height());
    const TPixelSurface& s = f.pntMain->Surface();
    EXPECT_TRUE(std::all_of(s.Data.begin(), s.Data.end(), [](std::uint32_t p) { return p == ColorToPixel(clWhite); }));

    EXPECT_FALSE(f.ToolBar);
    EXPECT_FALSE(f.StatusBar);
    EXPECT_TRUE(f.PageBar);
    EXPECT_TRUE(f.WndFront);
    EXPECT_FALSE(f.AutoResize);
    EXPECT_EQ(f.pnlToolBar->Height(), 1);
    EXPECT_EQ(f.stbMain->Height(), 1);
    EXPECT_FALSE(f.mnuVisibleToolBar->Checked());
    EXPECT_TRUE(f.mnuVisibleFrontWnd->Checked());
    EXPECT_EQ(f.SlideTime, slideTime);
    EXPECT_EQ(f.Left(), left);
    EXPECT_EQ(f.Top(), top);
    EXPECT_EQ(f.Width(), width);
    EXPECT_EQ(f.Height(), height);

    // Back, next and presses now meet the empty list.
    Press(WM_LBUTTONDOWN);
    EXPECT_EQ(f.PageNo, 0);
    EXPECT_EQ(f.stbMain->Panels(1)->Text(), "Page: 0 / 0");
    EXPECT_FALSE(f.spbBackPage->Enabled() || f.mnuVisibleBack->Enabled());
    EXPECT_FALSE(f.spbNextPage->Enabled() || f.mnuVisibleNext->Enabled());
    EXPECT_FALSE(f.cmbFileList->Enabled());
    EXPECT_TRUE(Screen().Exceptions.empty());
}

TEST_F(Navigation, CloseAllWithNothingOpen)
{
    TfrmMain& f = Main();
    const int width = f.Width(), height = f.Height();
    f.frmFileClose->Click();
    EXPECT_EQ(f.PageNo, 0);
    EXPECT_EQ(f.stbMain->Panels(0)->Text(), kPrompt);
    EXPECT_EQ(f.stbMain->Panels(1)->Text(), "Page: 0/0");
    EXPECT_EQ(f.Caption(), "Folivo");
    EXPECT_TRUE(f.spbBackPage->Enabled() && f.mnuVisibleBack->Enabled());
    EXPECT_TRUE(f.spbNextPage->Enabled() && f.mnuVisibleNext->Enabled());
    EXPECT_FALSE(f.cmbFileList->Enabled());
    EXPECT_EQ(f.Width(), width);
    EXPECT_EQ(f.Height(), height);

    f.spbNextPage->Click();
    EXPECT_EQ(f.stbMain->Panels(1)->Text(), "Page: 0 / 0");
    EXPECT_FALSE(f.spbNextPage->Enabled() || f.mnuVisibleNext->Enabled());
    EXPECT_TRUE(Screen().Exceptions.empty());
}

// The close handler releases the page list, the page bitmap and the decoder; nothing that
// can still reach the window afterwards may touch them (ASan watches).
TEST_F(Navigation, NothingTouchesThePageObjectsAfterTheWindowClosed)
{
    TfrmMain& f = Main();
    const std::string folder = Folder(3);
    OpenFolder(folder);
    f.spbNextPage->Click();
    f.mnuFileExit->Click();
    ASSERT_TRUE(f.Closing);
    ASSERT_EQ(f.PageList, nullptr);

    Screen().FolderAnswers.push_back(folder);
    const std::vector<std::pair<const char*, std::function<void()>>> afterwards = {
        {"next", [&] { f.spbNextPageClick(&f); f.mnuVisibleNextClick(&f); f.GoNextPage(); }},
        {"back", [&] { f.spbBackPageClick(&f); f.mnuVisibleBackClick(&f); f.GoBackPage(); }},
        {"presses", [&] {
             f.pntMainMouseDown(&f, TMouseButton::mbLeft, {}, 1, 1);
             f.scrMainMouseDown(&f, TMouseButton::mbRight, {}, 1, 1);
             f.pntMain->Perform(WM_LBUTTONDOWN, 0, MakeLParam(1, 1));
         }},
        {"drop-down", [&] { f.cmbFileListClick(&f); }},
        {"show page", [&] { f.ShowPage(2); }},
        {"tick", [&] { f.timMainTimer(f.timMain); }},
        {"drop", [&] { f.scrMain->Perform(WM_DROPFILES, NewDropHandle({folder}), 0); }},
        {"paint", [&] { f.pntMain->Invalidate(); f.pntMain->Paint(); f.pntMainPaint(&f); f.DrawPageImage(); }},
        {"close all", [&] { f.frmFileCloseClick(&f); }},
        {"open folder", [&] { f.spbOpenFolderClick(&f); }},
        {"fit and resize", [&] {
             f.spbWndWidthClick(&f);
             f.mnuVisibleWndHeightClick(&f);
             f.spbAutoResizeClick(&f);
             f.UserResized(1000, 800);
             f.AdjustWindow(true);
         }},
        {"play and tick", [&] { f.spbSlidePlayClick(&f); f.timMainTimer(&f); }},
    };
    for (const auto& [name, action] : afterwards) {
        SCOPED_TRACE(name);
        Application->Deliver(action);
        EXPECT_EQ(f.PageList, nullptr);
        EXPECT_EQ(OpenDropHandles(), 0u);
    }
    // Posted input, due ticks and paints no longer run either.
    Application->PostMessage(f.pntMain, WM_LBUTTONDOWN, 0, MakeLParam(1, 1));
    const HDROP posted = NewDropHandle({folder});
    Application->PostMessage(f.scrMain, WM_DROPFILES, posted, 0);
    f.pntMain->Invalidate();
    Application->ProcessMessages();
    Application->AdvanceClock(60'000);
    // The application ends with that drop unread; its handle goes with the process.
    DragFinish(posted);
    EXPECT_TRUE(Screen().Exceptions.empty());
    EXPECT_EQ(OpenFindHandles(), 0u);
}

// A close that arrives while a page is being shown (its message pump) ends the turn quietly.
TEST_F(Navigation, AWindowClosedInsideAPageTurn)
{
    TfrmMain& f = Main();
    OpenFolder(Folder(3));
    Application->PostMessage(&f, WM_CLOSE);
    f.spbNextPage->Click();
    EXPECT_TRUE(f.Closing);
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ(f.PageBitmap, nullptr);
    EXPECT_EQ(f.PageNo, 2);
    EXPECT_TRUE(Screen().Exceptions.empty());
    EXPECT_NE(ReadFileBytes(IniPath()).find("[Config]"), std::string::npos);
}

}  // namespace
