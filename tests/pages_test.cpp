// The page list: the open-folder commands, the folder scan and its page order, dropped
// folders and files, and the file tests the other parts rely on.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>

#include "dragdrop.h"
#include "filesystem.h"
#include "viewer.h"

namespace {

const char* const kTitle = "グラフィックのあるフォルダを選択してください";
const char* const kPrompt = "（フォルダを開いてください）";

// The page order is the collation of the user's locale, fixed at its first use; other locales
// are tried in a fresh run of this program that this variable marks.
constexpr const char* kLocaleChild = "FOVI_PAGES_TEST_LOCALE";

std::vector<std::string> Items(const TStrings& list)
{
    std::vector<std::string> v;
    for (int i = 0; i < list.Count(); ++i)
        v.push_back(list.Get(i));
    return v;
}

bool AllWhite(const TPixelSurface& s)
{
    return std::all_of(s.Data.begin(), s.Data.end(), [](std::uint32_t p) { return p == ColorToPixel(clWhite); });
}

class Pages : public ViewerTest {
protected:
    void SetUp() override
    {
        ViewerTest::SetUp();
        Start();
    }

    // Opens through the given command (button or menu item) with the chooser answering answer.
    void OpenWith(const std::function<void()>& click, std::optional<std::string> answer)
    {
        Screen().FolderAnswers.push_back(std::move(answer));
        Application->Deliver(click);
    }

    std::vector<std::string> PageList() { return Items(*Main().PageList); }

    // The drop-down lists the pages, entry for entry.
    void ExpectDropDownMirrorsList()
    {
        EXPECT_EQ(Items(Main().cmbFileList->Items()), PageList());
        EXPECT_EQ(Main().PageCount, Main().PageList->Count());
    }

    // Page 1 of the open list is on show, with everything that describes it.
    void ExpectFirstPageShown()
    {
        TfrmMain& f = Main();
        ASSERT_GT(f.PageCount, 0);
        const std::string first = f.PageList->Get(0);
        EXPECT_EQ(f.PageNo, 1);
        EXPECT_EQ(f.stbMain->Panels(0)->Text(), first);
        EXPECT_EQ(f.stbMain->Panels(1)->Text(), "Page: 1 / " + std::to_string(f.PageCount));
        EXPECT_EQ(f.Caption(), "Folivo - [" + first.substr(0, first.rfind('/') + 1) + "]");
        EXPECT_EQ(f.cmbFileList->ItemIndex(), 0);
        EXPECT_TRUE(f.cmbFileList->Enabled());
        EXPECT_FALSE(f.spbBackPage->Enabled() || f.mnuVisibleBack->Enabled());
        EXPECT_EQ(f.spbNextPage->Enabled(), f.PageCount > 1);
        EXPECT_EQ(f.mnuVisibleNext->Enabled(), f.PageCount > 1);
    }

    void ExpectEmptyState()
    {
        TfrmMain& f = Main();
        EXPECT_EQ(f.PageList->Count(), 0);
        EXPECT_EQ(f.PageCount, 0);
        EXPECT_EQ(f.PageNo, 0);
        EXPECT_EQ(f.cmbFileList->Items().Count(), 0);
        EXPECT_EQ(f.cmbFileList->ItemIndex(), -1);
        EXPECT_EQ(f.cmbFileList->Text(), "");
        EXPECT_EQ(f.stbMain->Panels(0)->Text(), kPrompt);
        EXPECT_EQ(f.stbMain->Panels(1)->Text(), "Page: 0 / 0");
        EXPECT_EQ(f.Caption(), "Folivo");
        EXPECT_FALSE(f.spbBackPage->Enabled() || f.mnuVisibleBack->Enabled());
        EXPECT_FALSE(f.spbNextPage->Enabled() || f.mnuVisibleNext->Enabled());
        EXPECT_FALSE(f.cmbFileList->Enabled());
        EXPECT_TRUE(AllWhite(f.pntMain->Surface()));
        EXPECT_TRUE(AllWhite(f.PageBitmap->Pixels()));
    }

    // Three different pages, so that a test can tell what is on show.
    std::string ThreePages(const std::string& name)
    {
        return MakeFolder(name, {{"1.jpg", SmallJpeg(400, 300)}, {"2.jpg", SmallJpeg(420, 310)},
                                 {"3.bmp", SmallBmp(440, 320)}});
    }
};

// --- The open-folder commands -----------------------------------------------------------------

TEST_F(Pages, ButtonAndMenuScanTheFolderAlike)
{
    const std::string folder = MakeFolder("scan", {
        {"a.JPG", SmallJpeg(400, 300)},
        {"b.jpg", SmallJpeg(400, 300)},
        {"c.Bmp", SmallBmp(400, 300)},
        {"d.jpeg", SmallJpeg(400, 300)},
        {"e.jpe", SmallJpeg(400, 300)},
        {"f.dib", SmallBmp(400, 300)},
        {"g.png", "x"},
        {"jpg", "x"},
        {"x.jpg/inner.jpg", SmallJpeg(400, 300)},
        {".h.jpg", SmallJpeg(380, 300)},
        {"k.b.JPG", SmallJpeg(400, 300)},
    });
    const std::vector<std::pair<const char*, std::function<void()>>> commands = {
        {"tool button", [] { frmMain->spbOpenFolder->Click(); }},
        {"file menu", [] { frmMain->mnuFileFolder->Click(); }},
    };
    std::vector<std::vector<std::string>> lists;
    for (const auto& [name, click] : commands) {
        SCOPED_TRACE(name);
        Screen().FolderTitles.clear();
        OpenWith(click, folder);
        EXPECT_EQ(Screen().FolderTitles, std::vector<std::string>{kTitle});
        const std::vector<std::string> pages = PageList();
        EXPECT_EQ(std::set<std::string>(pages.begin(), pages.end()),
                  (std::set<std::string>{folder + "/a.JPG", folder + "/b.jpg", folder + "/c.Bmp",
                                         folder + "/.h.jpg", folder + "/k.b.JPG"}));
        ExpectDropDownMirrorsList();
        ExpectFirstPageShown();
        lists.push_back(pages);
    }
    EXPECT_EQ(lists[0], lists[1]);
    EXPECT_TRUE(Screen().Exceptions.empty());
}

TEST_F(Pages, CancellingTheChooserKeepsEverything)
{
    TfrmMain& f = Main();
    OpenFolder(ThreePages("three"));
    f.spbNextPage->Click();
    ASSERT_EQ(f.PageNo, 2);
    const auto list = PageList();
    const auto items = Items(f.cmbFileList->Items());
    const std::string caption = f.Caption(), panel0 = f.stbMain->Panels(0)->Text(),
                      panel1 = f.stbMain->Panels(1)->Text();
    const int width = f.PageBitmap->Width();

    // An empty queue, an explicit cancel, and a choice without a path all cancel.
    OpenWith([] { frmMain->spbOpenFolder->Click(); }, std::nullopt);
    OpenWith([] { frmMain->mnuFileFolder->Click(); }, std::nullopt);
    OpenWith([] { frmMain->mnuFileFolder->Click(); }, std::string());

    EXPECT_EQ(Screen().FolderTitles.size(), 4u);
    EXPECT_EQ(PageList(), list);
    EXPECT_EQ(f.PageCount, 3);
    EXPECT_EQ(f.PageNo, 2);
    EXPECT_EQ(Items(f.cmbFileList->Items()), items);
    EXPECT_EQ(f.cmbFileList->ItemIndex(), 1);
    EXPECT_EQ(f.Caption(), caption);
    EXPECT_EQ(f.stbMain->Panels(0)->Text(), panel0);
    EXPECT_EQ(f.stbMain->Panels(1)->Text(), panel1);
    EXPECT_EQ(f.PageBitmap->Width(), width);
    EXPECT_TRUE(f.spbBackPage->Enabled() && f.spbNextPage->Enabled());
}

TEST_F(Pages, AFolderWithoutPicturesEndsInTheEmptyState)
{
    struct Case {
        const char* name;
        std::function<std::string()> folder;
    };
    const std::vector<Case> cases = {
        {"empty folder", [&] { return MakeFolder("empty", {}); }},
        {"look-alike extensions and a picture subfolder",
         [&] { return MakeFolder("other", {{"d.jpeg", SmallJpeg(9, 9)}, {"e.png", "x"}, {"sub/p.jpg", SmallJpeg(9, 9)}}); }},
        {"removed before the scan", [&] {
             const std::string gone = MakeFolder("gone", {{"p.jpg", SmallJpeg(9, 9)}});
             std::filesystem::remove_all(gone);
             return gone;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OpenFolder(ThreePages(std::string("before-") + c.name));
        Main().spbNextPage->Click();
        ASSERT_EQ(Main().PageNo, 2);
        OpenFolder(c.folder());
        ExpectEmptyState();
    }
    EXPECT_TRUE(Screen().Exceptions.empty());
}

// A bitmap that fails to decode on page 1 ends the command after the list is filled.
TEST_F(Pages, ADamagedFirstPageStillFillsTheList)
{
    const std::string folder = MakeFolder("bad", {{"1.bmp", "BM" + std::string(40, '\x7F')}, {"2.jpg", SmallJpeg(400, 300)}});
    OpenFolder(folder);
    EXPECT_EQ(Screen().Exceptions.size(), 1u);
    EXPECT_EQ(PageList(), (std::vector<std::string>{folder + "/1.bmp", folder + "/2.jpg"}));
    ExpectDropDownMirrorsList();
    EXPECT_EQ(Main().PageNo, 1);
    // The failed display changed no control, so the next button is still off from start-up;
    // a press on the page view turns to the next page, which shows.
    Application->Deliver([] { frmMain->pntMain->Perform(WM_LBUTTONDOWN, 0, MakeLParam(5, 5)); });
    EXPECT_EQ(Main().stbMain->Panels(0)->Text(), folder + "/2.jpg");
    EXPECT_EQ(Main().PageBitmap->Width(), 400);
}

// POSIX paths may be far longer than the 259 characters a Windows path buffer holds; a cut
// path would scan the wrong place.
TEST_F(Pages, APathOverTwoHundredAndFiftyNineCharactersIsKeptWhole)
{
    const std::string name = std::string(120, 'a') + "/" + std::string(120, 'b') + "/" + std::string(60, 'c');
    const std::string folder = MakeFolder(name, {{"p.jpg", SmallJpeg(400, 300)}});
    ASSERT_GT(folder.size(), 300u);
    OpenFolder(folder);
    EXPECT_EQ(PageList(), std::vector<std::string>{folder + "/p.jpg"});
    ExpectFirstPageShown();
}

// --- Page order ------------------------------------------------------------------------------

using PageOrder = Pages;

TEST_F(PageOrder, WholePathsCaseIgnoredDigitsAsCharacters)
{
    struct Case {
        const char* name;
        std::vector<std::string> files;  // as created
        std::vector<std::string> order;  // as listed
    };
    std::vector<std::string> numbers, numberOrder;
    for (int i = 1; i <= 12; ++i)
        numbers.push_back(std::to_string(i) + ".jpg");
    for (int i : {1, 10, 11, 12, 2, 3, 4, 5, 6, 7, 8, 9})
        numberOrder.push_back(std::to_string(i) + ".jpg");
    const std::vector<Case> cases = {
        {"case", {"PAGE3.jpg", "page1.jpg", "Page2.jpg"}, {"page1.jpg", "Page2.jpg", "PAGE3.jpg"}},
        {"numbers", numbers, numberOrder},
        // The scan adds the JPEG files first; the sort interleaves them again.
        {"kinds", {"03.bmp", "02.jpg", "01.bmp"}, {"01.bmp", "02.jpg", "03.bmp"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::pair<std::string, std::string>> files;
        for (const auto& f : c.files)
            files.emplace_back(f, "x");
        const std::string folder = MakeFolder(c.name, files);
        OpenFolder(folder);
        std::vector<std::string> expected;
        for (const auto& f : c.order)
            expected.push_back(folder + "/" + f);
        EXPECT_EQ(PageList(), expected);
        ExpectDropDownMirrorsList();
    }
}

TEST(PageOrderInLocales, HoldsUnderCAndJapanese)
{
    if (std::getenv(kLocaleChild))
        GTEST_SKIP();
    for (const char* locale : {"C", "ja_JP.UTF-8"}) {
        SCOPED_TRACE(locale);
        EXPECT_EQ(RunSelfInLocale(locale, "PageOrder.*", kLocaleChild), 0);
    }
}

// --- Dropped folders and files ----------------------------------------------------------------

class Drops : public Pages {
protected:
    void SetUp() override
    {
        Pages::SetUp();
        root = MakeFolder("drops", {
            {"A/2.jpg", SmallJpeg(400, 300)},
            {"A/1.bmp", SmallBmp(400, 300)},
            {"A/3.txt", "x"},
            {"B/1.jpg", SmallJpeg(400, 300)},
            {"files/3.jpg", SmallJpeg(400, 300)},
            {"files/1.jpg", SmallJpeg(400, 300)},
            {"files/2.BMP", SmallBmp(400, 300)},
            {"files/d.jpeg", SmallJpeg(400, 300)},
            {"files/e.png", "x"},
            {"x.jpg/inner.jpg", SmallJpeg(400, 300)},
        }) + "/";
    }
    std::vector<std::string> Paths(const std::vector<std::string>& names)
    {
        std::vector<std::string> v;
        for (const auto& n : names)
            v.push_back(root + n);
        return v;
    }
    std::string root;
};

TEST_F(Drops, OneFolderGivesTheSameListAsOpeningIt)
{
    OpenFolder(root + "A");
    const auto opened = PageList();
    ASSERT_EQ(opened.size(), 2u);
    OpenFolder(root + "B");
    Drop({root + "A"});
    EXPECT_EQ(PageList(), opened);
    ExpectDropDownMirrorsList();
    ExpectFirstPageShown();
    EXPECT_EQ(OpenDropHandles(), 0u);
}

TEST_F(Drops, EveryDropReplacesTheListWithItsSortedPages)
{
    struct Case {
        const char* name;
        std::vector<std::string> dropped;
        std::vector<std::string> pages;
    };
    const std::string deep = std::string(130, 'd') + "/" + std::string(140, 'e');
    MakeFolder("drops/" + deep, {{"p.jpg", SmallJpeg(400, 300)}});
    const std::vector<Case> cases = {
        {"two folders", {"B", "A"}, {"A/1.bmp", "A/2.jpg", "B/1.jpg"}},
        {"three files", {"files/3.jpg", "files/1.jpg", "files/2.BMP"}, {"files/1.jpg", "files/2.BMP", "files/3.jpg"}},
        {"a folder and one of its own files", {"A/2.jpg", "A"}, {"A/1.bmp", "A/2.jpg", "A/2.jpg"}},
        {"a folder named like a picture", {"x.jpg"}, {"x.jpg/inner.jpg"}},
        {"a folder that is gone, and a folder", {"gone", "B"}, {"B/1.jpg"}},
        {"a path over 259 characters", {deep}, {deep + "/p.jpg"}},
        {"nothing usable", {"files/d.jpeg", "files/e.png", "A/3.txt"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OpenFolder(root + "files");
        Main().spbNextPage->Click();
        Drop(Paths(c.dropped));
        EXPECT_EQ(PageList(), Paths(c.pages));
        ExpectDropDownMirrorsList();
        if (c.pages.empty())
            ExpectEmptyState();
        else
            ExpectFirstPageShown();
        EXPECT_EQ(OpenDropHandles(), 0u);
    }
    EXPECT_TRUE(Screen().Exceptions.empty());
}

// Showing page 1 lets pending messages run, so a drop waiting in the queue is handled inside
// a page turn; it rebuilds the list and the outer turn ends on the new list's page 1.
TEST_F(Drops, ADropHandledInsideAPageTurn)
{
    TfrmMain& f = Main();
    OpenFolder(root + "A");
    PostDrop({root + "files"});
    f.spbNextPage->Click();
    EXPECT_EQ(PageList(), Paths({"files/1.jpg", "files/2.BMP", "files/3.jpg"}));
    ExpectDropDownMirrorsList();
    ExpectFirstPageShown();
    EXPECT_EQ(OpenDropHandles(), 0u);

    // And inside the drop's own page display.
    PostDrop({root + "B"});
    Drop({root + "A"});
    EXPECT_EQ(PageList(), Paths({"B/1.jpg"}));
    ExpectFirstPageShown();
    EXPECT_EQ(OpenDropHandles(), 0u);
    EXPECT_TRUE(Screen().Exceptions.empty());
}

TEST_F(Drops, TheHandleIsReleasedWhenShowingPageOneFails)
{
    const std::string bad = MakeFolder("bad", {{"1.bmp", "BM" + std::string(40, '\x7F')}});
    Drop({bad, root + "B"});
    EXPECT_EQ(Screen().Exceptions.size(), 1u);
    EXPECT_EQ(PageList(), (std::vector<std::string>{bad + "/1.bmp", root + "B/1.jpg"}));
    ExpectDropDownMirrorsList();
    EXPECT_EQ(OpenDropHandles(), 0u);

    PostDrop({bad});
    Application->ProcessMessages();
    EXPECT_EQ(Screen().Exceptions.size(), 2u);
    EXPECT_EQ(OpenDropHandles(), 0u);
}

// --- File tests -------------------------------------------------------------------------------

TEST_F(Pages, FindFilesTakesTheExtensionWithOrWithoutItsDotInAnyCase)
{
    const std::string folder = MakeFolder("find", {{"a.bmp", "x"}, {"b.BMP", "x"}, {"c.jpg", "x"}, {"d.bmpx", "x"}, {"e.bmp/f.bmp", "x"}});
    std::vector<std::set<std::string>> found;
    for (const char* ext : {"bmp", ".BMP", ".bmp", "BmP"}) {
        SCOPED_TRACE(ext);
        TStringList list;
        list.Add("kept");
        EXPECT_EQ(Main().FindFiles(folder + "/", ext, &list), 2);
        EXPECT_EQ(list.Get(0), "kept");
        found.emplace_back(list.Items().begin() + 1, list.Items().end());
        EXPECT_EQ(found.back(), (std::set<std::string>{folder + "/a.bmp", folder + "/b.BMP"}));
    }
    TStringList list;
    EXPECT_EQ(Main().FindFiles(folder + "/missing/", "bmp", &list), 0);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(OpenFindHandles(), 0u);
}

TEST_F(Pages, IsFileExistWantsTheExactNameCaseIgnored)
{
    const std::string folder = MakeFolder("exist", {{"a.jpg", "x"}, {"sub/b.jpg", "x"}});
    const std::vector<std::pair<std::string, bool>> cases = {
        {folder + "/a.jpg", true},
        {folder + "/A.JPG", true},
        {folder + "/sub", true},
        {folder + "/*.jpg", false},
        {folder + "/a?jpg", false},
        {folder + "/a*", false},
        {folder + "/missing.jpg", false},
        {folder + "/gone/a.jpg", false},
    };
    for (const auto& [path, exists] : cases)
        EXPECT_EQ(Main().IsFileExist(path), exists) << path;
    EXPECT_EQ(OpenFindHandles(), 0u);
}

// A folder vol1 beside a file vol1.jpg: each is judged by itself, whichever of the two the
// folder lists first.
TEST_F(Drops, IsDirectoryJudgesTheItemItself)
{
    for (bool folderFirst : {true, false}) {
        SCOPED_TRACE(folderFirst ? "folder made first" : "file made first");
        const std::string rel = std::string("drops/") + (folderFirst ? "order1" : "order2");
        const std::string parent = root + rel.substr(6);
        auto makeFolder = [&] { MakeFolder(rel + "/vol1", {{"01.jpg", SmallJpeg(400, 300)}}); };
        auto makeFile = [&] { MakeFolder(rel, {{"vol1.jpg", SmallJpeg(400, 300)}}); };
        if (folderFirst) {
            makeFolder();
            makeFile();
        } else {
            makeFile();
            makeFolder();
        }
        EXPECT_TRUE(Main().IsDirectory(parent + "/vol1"));
        EXPECT_FALSE(Main().IsDirectory(parent + "/vol1.jpg"));
        EXPECT_FALSE(Main().IsDirectory(parent + "/vol"));

        Drop({parent + "/vol1", parent + "/vol1.jpg"});
        const auto pages = PageList();
        EXPECT_EQ(std::set<std::string>(pages.begin(), pages.end()),
                  (std::set<std::string>{parent + "/vol1/01.jpg", parent + "/vol1.jpg"}));
    }
}

}  // namespace
