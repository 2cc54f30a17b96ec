// Showing a page: recognising and decoding its file (IsJpegFile, IsBitmapFile, LoadJpegFile,
// JpegToBitmap), the texts and control states ShowPage leaves, the page view's pixels, the
// message pump inside ShowPage, and memory over many pages.
#include <malloc.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "exceptions.h"
#include "viewer.h"

namespace {

const char* const FailureText = "（ファイルの読み込みに失敗しました）";
const char* const PromptText = "（フォルダを開いてください）";

// A colour JPEG with gradients and noise, so that the decoded pixels are worth comparing.
std::string TexturedJpeg(int w, int h, unsigned seed = 1, bool progressive = false)
{
    return EncodeJpeg(
        w, h, JCS_RGB,
        [&](int x, int y, unsigned char* p) {
            seed = seed * 1103515245u + 12345u;
            p[0] = static_cast<unsigned char>(x * 255 / w);
            p[1] = static_cast<unsigned char>(y * 255 / h);
            p[2] = static_cast<unsigned char>(((x / 16 + y / 16) % 2) * 160 + ((seed >> 16) & 63));
        },
        {.quality = 90, .progressive = progressive});
}

// Damage that the header parse already sees: a 12-bit sample precision in the frame header.
std::string DamagedHeader(std::string jpeg)
{
    jpeg[FindMarker(jpeg, 0xC0) + 4] = 12;
    return jpeg;
}

// Damage that only the full decode reaches: impossible parameters in the second scan of a
// progressive file.
std::string DamagedLaterScan(std::string jpeg)
{
    const size_t second = FindMarker(jpeg, 0xDA, FindMarker(jpeg, 0xDA) + 2);
    const size_t ns = static_cast<unsigned char>(jpeg[second + 4]);
    jpeg[second + 5 + 2 * ns + 1] = static_cast<char>(200);  // Se
    return jpeg;
}

// Cut in the middle of the compressed data: the decoder warns and fills in the rest.
std::string Truncated(const std::string& jpeg)
{
    const size_t sos = FindMarker(jpeg, 0xDA);
    return jpeg.substr(0, sos + (jpeg.size() - sos) / 2);
}

class ShowPageTest : public ViewerTest {
protected:
    void Restart()
    {
        TearDown();
        SetUp();
    }
    // The window's state that a page display describes.
    struct Shown {
        std::string panel0, panel1, caption;
        int itemIndex;
        bool back, next, combo;
        std::vector<std::uint32_t> pixels;
        int width, height;
    };
    Shown Snapshot()
    {
        TfrmMain& f = Main();
        EXPECT_EQ(f.spbBackPage->Enabled(), f.mnuVisibleBack->Enabled());
        EXPECT_EQ(f.spbNextPage->Enabled(), f.mnuVisibleNext->Enabled());
        return Shown{f.stbMain->Panels(0)->Text(), f.stbMain->Panels(1)->Text(), f.Caption(),
                     f.cmbFileList->ItemIndex(), f.spbBackPage->Enabled(), f.spbNextPage->Enabled(),
                     f.cmbFileList->Enabled(), f.PageBitmap->Pixels().Data, f.PageBitmap->Width(),
                     f.PageBitmap->Height()};
    }
    void ExpectSame(const Shown& a, const Shown& b)
    {
        EXPECT_EQ(a.panel0, b.panel0);
        EXPECT_EQ(a.panel1, b.panel1);
        EXPECT_EQ(a.caption, b.caption);
        EXPECT_EQ(a.itemIndex, b.itemIndex);
        EXPECT_EQ(a.back, b.back);
        EXPECT_EQ(a.next, b.next);
        EXPECT_EQ(a.combo, b.combo);
        EXPECT_EQ(a.width, b.width);
        EXPECT_EQ(a.height, b.height);
        EXPECT_TRUE(a.pixels == b.pixels) << "the page bitmap changed";
    }
    // A page turn as the user makes it: errors go to the default exception dialog.
    void UserNext()
    {
        Application->Deliver([] { frmMain->spbNextPage->Click(); });
    }
};

}  // namespace

// --- Texts and control states ----------------------------------------------------------------

struct StateCase {
    const char* name;
    int pages, n, pageNo;
    bool back, next;
};

TEST_F(ShowPageTest, TextsAndControlStatesDescribeThePage)
{
    Start();
    TfrmMain& f = Main();
    const std::string three = MakeFolder("three", {{"a.jpg", SmallJpeg(40, 30)},
                                                   {"b.jpg", SmallJpeg(50, 30)},
                                                   {"c.bmp", SmallBmp(60, 30)}});
    const std::string one = MakeFolder("one", {{"only.jpg", SmallJpeg(40, 30)}});
    const StateCase cases[] = {
        {"first of three", 3, 1, 1, false, true},
        {"middle", 3, 2, 2, true, true},
        {"last", 3, 3, 3, true, false},
        {"single page", 1, 1, 1, false, false},
        // The file and the texts follow n; the selection and the rules follow PageNo.
        {"n differs from PageNo", 3, 1, 3, true, false},
    };
    for (const StateCase& c : cases) {
        SCOPED_TRACE(c.name);
        OpenFolder(c.pages == 3 ? three : one);
        ASSERT_EQ(f.PageCount, c.pages);
        f.PageNo = c.pageNo;
        f.ShowPage(c.n);
        EXPECT_EQ(f.PageNo, c.pageNo);
        EXPECT_EQ(f.stbMain->Panels(0)->Text(), f.PageList->Get(c.n - 1));
        EXPECT_EQ(f.stbMain->Panels(1)->Text(),
                  "Page: " + std::to_string(c.n) + " / " + std::to_string(c.pages));
        EXPECT_EQ(f.Caption(), "Folivo - [" + (c.pages == 3 ? three : one) + "/]");
        EXPECT_EQ(f.cmbFileList->ItemIndex(), c.pageNo - 1);
        EXPECT_EQ(f.spbBackPage->Enabled(), c.back);
        EXPECT_EQ(f.mnuVisibleBack->Enabled(), c.back);
        EXPECT_EQ(f.spbNextPage->Enabled(), c.next);
        EXPECT_EQ(f.mnuVisibleNext->Enabled(), c.next);
        EXPECT_TRUE(f.cmbFileList->Enabled());
    }
}

TEST_F(ShowPageTest, EmptyListShowsThePromptAndDisablesNavigationEvenDuringASlideshow)
{
    Start();
    TfrmMain& f = Main();
    for (bool sliding : {false, true}) {
        SCOPED_TRACE(sliding ? "sliding" : "not sliding");
        // Controls switched on, so that the empty case has something to switch off.
        for (TControl* c : std::vector<TControl*>{f.spbBackPage, f.spbNextPage, f.cmbFileList})
            c->SetEnabled(true);
        f.mnuVisibleBack->SetEnabled(true);
        f.mnuVisibleNext->SetEnabled(true);
        f.SetCaption("Folivo - [elsewhere/]");
        f.Sliding = sliding;
        f.PageNo = 4;
        const std::vector<std::uint32_t> before = f.PageBitmap->Pixels().Data;

        f.ShowPage(4);
        EXPECT_EQ(f.PageNo, 0);
        EXPECT_EQ(f.stbMain->Panels(0)->Text(), PromptText);
        EXPECT_EQ(f.stbMain->Panels(1)->Text(), "Page: 0 / 0");
        EXPECT_EQ(f.Caption(), "Folivo");
        EXPECT_FALSE(f.spbBackPage->Enabled() || f.mnuVisibleBack->Enabled());
        EXPECT_FALSE(f.spbNextPage->Enabled() || f.mnuVisibleNext->Enabled());
        EXPECT_FALSE(f.cmbFileList->Enabled());
        EXPECT_TRUE(f.PageBitmap->Pixels().Data == before);
    }
}

TEST_F(ShowPageTest, DuringASlideshowShowPageLeavesTheControlStatesAlone)
{
    Start();
    TfrmMain& f = Main();
    OpenFolder(MakeFolder("pages", {{"a.jpg", SmallJpeg(40, 30)}, {"b.jpg", SmallJpeg(40, 30)},
                                    {"c.jpg", SmallJpeg(40, 30)}}));
    f.Sliding = true;
    // Deliberately the opposite of what the rules would give on page 2.
    f.spbBackPage->SetEnabled(false);
    f.mnuVisibleBack->SetEnabled(false);
    f.spbNextPage->SetEnabled(false);
    f.mnuVisibleNext->SetEnabled(false);
    f.cmbFileList->SetEnabled(false);
    f.PageNo = 2;
    f.ShowPage(2);
    EXPECT_EQ(f.stbMain->Panels(1)->Text(), "Page: 2 / 3");
    EXPECT_EQ(f.cmbFileList->ItemIndex(), 1);
    EXPECT_FALSE(f.spbBackPage->Enabled() || f.mnuVisibleBack->Enabled() || f.spbNextPage->Enabled() ||
                 f.mnuVisibleNext->Enabled() || f.cmbFileList->Enabled());
}

// --- Recognition by content ----------------------------------------------------------------

enum class Outcome { Shown, FailureText, Exception };

struct RecognitionCase {
    const char* name;
    const char* file;  // its name in the folder, between a.jpg and c.jpg
    std::function<std::string()> content;
    bool isJpeg, isBitmap;
    Outcome outcome;
    int width = 0, height = 0;  // of a page that shows
};

std::vector<RecognitionCase> RecognitionCases()
{
    return {
        {"JPEG named .bmp", "b.bmp", [] { return TexturedJpeg(90, 70); }, true, false, Outcome::Shown, 90, 70},
        {"bitmap named .jpg", "b.jpg", [] { return SmallBmp(80, 60); }, false, true, Outcome::Shown, 80, 60},
        {"progressive JPEG", "b.jpg", [] { return TexturedJpeg(90, 70, 2, true); }, true, false, Outcome::Shown,
         90, 70},
        {"truncated JPEG", "b.jpg", [] { return Truncated(TexturedJpeg(96, 80)); }, true, false, Outcome::Shown,
         96, 80},
        {"text file", "b.jpg", [] { return std::string("Not a picture, just some text.\n"); }, false, false,
         Outcome::FailureText},
        {"empty file", "b.jpg", [] { return std::string(); }, false, false, Outcome::FailureText},
        {"one byte B", "b.jpg", [] { return std::string("B"); }, false, false, Outcome::FailureText},
        {"damaged JPEG header", "b.jpg", [] { return DamagedHeader(TexturedJpeg(64, 48)); }, false, false,
         Outcome::FailureText},
        {"damaged later scan", "b.jpg", [] { return DamagedLaterScan(TexturedJpeg(64, 48, 3, true)); }, false,
         false, Outcome::FailureText},
        {"BM only", "b.bmp", [] { return std::string("BM"); }, false, true, Outcome::Exception},
        {"BM and a few bytes", "b.jpg", [] { return std::string("BM\x10\0\0\0\0", 7); }, false, true,
         Outcome::Exception},
        {"BM and 11 bytes", "b.bmp", [] { return std::string("BM0123456789A"); }, false, true, Outcome::Exception},
        {"bitmap cut short", "b.bmp", [] { return SmallBmp(80, 60).substr(0, 54 + 100); }, false, true,
         Outcome::Exception},
    };
}

TEST_F(ShowPageTest, ProbesRecogniseFilesByContent)
{
    Start();
    TfrmMain& f = Main();
    for (const RecognitionCase& c : RecognitionCases()) {
        SCOPED_TRACE(c.name);
        const std::string path = data_->Write(std::string("probe/") + c.name + "/" + c.file, c.content());
        EXPECT_EQ(f.IsJpegFile(path), c.isJpeg);
        EXPECT_EQ(f.IsBitmapFile(path), c.isBitmap);
        TJPEGImage image;
        EXPECT_EQ(f.LoadJpegFile(path, &image), c.isJpeg);
        if (c.isJpeg) {
            TBitmap bitmap;
            ASSERT_TRUE(f.JpegToBitmap(&image, &bitmap));
            EXPECT_EQ(bitmap.Width(), c.width);
            EXPECT_EQ(bitmap.Height(), c.height);
            EXPECT_TRUE(bitmap.Pixels().Data == image.Picture().Data);
        }
    }
}

TEST_F(ShowPageTest, ProbesWithMissingFilesAndNullArguments)
{
    Start();
    TfrmMain& f = Main();
    const std::string good = data_->Write("good.jpg", TexturedJpeg(30, 20));
    const std::string missing = data_->Path() + "/missing.jpg";

    EXPECT_FALSE(f.IsJpegFile(missing));
    EXPECT_FALSE(f.IsBitmapFile(missing));
    EXPECT_FALSE(f.IsJpegFile(""));
    EXPECT_FALSE(f.IsBitmapFile(""));
    EXPECT_FALSE(f.IsJpegFile(data_->Path()));  // a folder
    EXPECT_FALSE(f.IsBitmapFile(data_->Path()));

    TJPEGImage image;
    ASSERT_TRUE(f.LoadJpegFile(good, &image));
    // Refused without touching the image.
    EXPECT_FALSE(f.LoadJpegFile("", &image));
    EXPECT_FALSE(f.LoadJpegFile(good, nullptr));
    EXPECT_EQ(image.Width(), 30);
    EXPECT_EQ(image.Picture().Width, 30);
    // A file that cannot be opened is not the decoder's error: it goes to the caller.
    EXPECT_THROW(f.LoadJpegFile(missing, &image), EFOpenError);

    TBitmap bitmap;
    bitmap.SetSize(7, 5);
    ASSERT_TRUE(f.LoadJpegFile(good, &image));
    EXPECT_FALSE(f.JpegToBitmap(nullptr, &bitmap));
    EXPECT_FALSE(f.JpegToBitmap(&image, nullptr));
    EXPECT_FALSE(f.JpegToBitmap(nullptr, nullptr));
    EXPECT_EQ(bitmap.Width(), 7);
    EXPECT_EQ(bitmap.Height(), 5);
}

TEST_F(ShowPageTest, ShowPageDecodesByContentAndTheNextPageAlwaysShows)
{
    for (const RecognitionCase& c : RecognitionCases()) {
        SCOPED_TRACE(c.name);
        Restart();
        Start();
        TfrmMain& f = Main();
        const std::string folder = MakeFolder("pages", {{"a.jpg", TexturedJpeg(120, 90, 7)},
                                                        {c.file, c.content()},
                                                        {"c.jpg", TexturedJpeg(140, 100, 8)}});
        OpenFolder(folder);
        ASSERT_EQ(f.PageCount, 3);
        ASSERT_EQ(f.PageList->Get(1), folder + "/" + c.file);
        const Shown first = Snapshot();
        ASSERT_EQ(first.width, 120);

        UserNext();
        EXPECT_EQ(f.PageNo, 2);
        const Shown second = Snapshot();
        switch (c.outcome) {
        case Outcome::Shown:
            EXPECT_TRUE(Screen().Exceptions.empty());
            EXPECT_EQ(second.panel0, f.PageList->Get(1));
            EXPECT_EQ(second.width, c.width);
            EXPECT_EQ(second.height, c.height);
            EXPECT_EQ(f.pntMain->Width(), c.width);
            break;
        case Outcome::FailureText:
            // The previous picture stays; the texts and states describe the new page.
            EXPECT_TRUE(Screen().Exceptions.empty());
            EXPECT_EQ(second.panel0, FailureText);
            EXPECT_EQ(second.panel1, "Page: 2 / 3");
            EXPECT_EQ(second.caption, "Folivo - [" + folder + "/]");
            EXPECT_EQ(second.itemIndex, 1);
            EXPECT_TRUE(second.back && second.next && second.combo);
            EXPECT_EQ(second.width, first.width);
            EXPECT_TRUE(second.pixels == first.pixels);
            break;
        case Outcome::Exception:
            // The default exception dialog reports the bitmap's error; nothing else changed.
            ASSERT_EQ(Screen().Exceptions.size(), 1u);
            EXPECT_EQ(Screen().Exceptions[0].rfind("ビットマップとして読めません: ", 0), 0u) << Screen().Exceptions[0];
            EXPECT_NE(Screen().Exceptions[0].find(c.file), std::string::npos) << Screen().Exceptions[0];
            ExpectSame(second, first);
            break;
        }

        UserNext();
        EXPECT_EQ(f.PageNo, 3);
        const Shown third = Snapshot();
        EXPECT_EQ(third.panel0, f.PageList->Get(2));
        EXPECT_EQ(third.panel1, "Page: 3 / 3");
        EXPECT_EQ(third.width, 140);
        EXPECT_EQ(third.height, 100);
        EXPECT_TRUE(third.back && !third.next);
        EXPECT_EQ(Screen().Exceptions.size(), c.outcome == Outcome::Exception ? 1u : 0u);
    }
}

// A file deleted after the scan: nothing changes, and the next turn goes on from its number.
TEST_F(ShowPageTest, MissingFileChangesNothing)
{
    Start();
    TfrmMain& f = Main();
    const std::string folder = MakeFolder("pages", {{"a.jpg", TexturedJpeg(120, 90, 1)},
                                                    {"b.jpg", TexturedJpeg(100, 80, 2)},
                                                    {"c.jpg", TexturedJpeg(140, 100, 3)}});
    OpenFolder(folder);
    const Shown first = Snapshot();
    std::filesystem::remove(folder + "/b.jpg");

    UserNext();
    EXPECT_EQ(f.PageNo, 2);
    ExpectSame(Snapshot(), first);
    EXPECT_TRUE(Screen().Exceptions.empty());

    UserNext();
    EXPECT_EQ(f.PageNo, 3);
    EXPECT_EQ(f.stbMain->Panels(0)->Text(), folder + "/c.jpg");
    EXPECT_EQ(f.PageBitmap->Width(), 140);
}

// --- The page view ------------------------------------------------------------------------

// One page pixel is one screen pixel: after the pump, the page view holds exactly what
// libjpeg decodes, also for a page larger than the view was when ShowPage drew it.
TEST_F(ShowPageTest, PageViewHoldsTheDecodedPixelsOneToOne)
{
    Start();
    TfrmMain& f = Main();
    const std::string jpeg = TexturedJpeg(500, 400, 5);
    const std::string progressive = TexturedJpeg(333, 222, 6, true);
    OpenFolder(MakeFolder("pages", {{"a.jpg", jpeg}, {"b.jpg", progressive}, {"c.bmp", SmallBmp(450, 380)}}));

    auto expectView = [&](const TPixelSurface& expected) {
        Application->ProcessMessages();
        const TPixelSurface& view = f.pntMain->Surface();
        ASSERT_EQ(view.Width, expected.Width);
        ASSERT_EQ(view.Height, expected.Height);
        EXPECT_TRUE(view.Data == expected.Data);
        EXPECT_TRUE(f.PageBitmap->Pixels().Data == expected.Data);
    };
    expectView(PlainDecode(jpeg));
    f.spbNextPage->Click();
    expectView(PlainDecode(progressive));
    f.spbNextPage->Click();
    TPixelSurface brown;
    brown.Resize(450, 380, 0xFF996633u);  // SmallBmp's default colour
    expectView(brown);
    // Back to the first page: the view is as large as the page again and shows all of it.
    f.cmbFileList->UserSelect(0);
    expectView(PlainDecode(jpeg));
}

// --- The message pump inside ShowPage ------------------------------------------------------

struct PumpCase {
    const char* name;
    std::function<void()> turn;
};

// A close that is pending when a page display starts runs inside ShowPage's pump, and
// releases the page objects under the page-turning code. Run under ASan to prove that
// nothing touches them afterwards.
TEST_F(ShowPageTest, CloseHandledInsideShowPageLeavesTheReleasedObjectsAlone)
{
    const PumpCase cases[] = {
        {"next button", [] { frmMain->spbNextPage->Click(); }},
        {"back menu item", [] { frmMain->mnuVisibleBack->Click(); }},
        {"drop-down", [] { frmMain->cmbFileList->UserSelect(2); }},
        {"click on the page", [] { frmMain->pntMain->Perform(WM_LBUTTONDOWN, 0, 0); }},
    };
    for (const PumpCase& c : cases) {
        SCOPED_TRACE(c.name);
        Restart();
        Start();
        TfrmMain& f = Main();
        f.mnuVisibleAutoResize->Click();
        OpenFolder(MakeFolder("pages", {{"a.jpg", TexturedJpeg(400, 300, 1)},
                                        {"b.jpg", TexturedJpeg(500, 350, 2)},
                                        {"c.jpg", TexturedJpeg(600, 400, 3)}}));
        f.PageNo = 2;
        f.ShowPage(2);
        f.AdjustWindow(true);
        const int width = f.Width(), height = f.Height();

        Application->PostMessage(frmMain, WM_CLOSE);
        Application->Deliver(c.turn);
        EXPECT_TRUE(f.Closing);
        EXPECT_TRUE(Application->Terminated());
        EXPECT_EQ(f.PageBitmap, nullptr);
        EXPECT_EQ(f.JpegImage, nullptr);
        EXPECT_EQ(f.PageList, nullptr);
        EXPECT_TRUE(Screen().Exceptions.empty()) << Screen().Exceptions[0];
        // The fit after the page display did not run: the window kept its size.
        EXPECT_EQ(f.Width(), width);
        EXPECT_EQ(f.Height(), height);
        // The settings were written by the close inside the pump.
        EXPECT_NE(ReadFileBytes(IniPath()).find("[Config]"), std::string::npos);

        // Whatever else arrives now leaves the released objects alone.
        f.ShowPage(1);
        f.pntMainPaint(f.pntMain);
        f.DrawPageImage();
        f.spbNextPage->Click();
        f.spbBackPage->Click();
        f.cmbFileList->UserSelect(0);
        f.UserResized(700, 500);
        f.spbWndHeight->Click();
        f.pntMain->Invalidate();
        Application->ProcessMessages();
        EXPECT_TRUE(Screen().Exceptions.empty());
    }
}

// A close that is pending when a folder is opened or pages are dropped.
TEST_F(ShowPageTest, CloseHandledInsideTheFirstPageOfAFolder)
{
    for (bool drop : {false, true}) {
        SCOPED_TRACE(drop ? "drop" : "open folder");
        Restart();
        Start();
        TfrmMain& f = Main();
        const std::string folder = MakeFolder("pages", {{"a.jpg", TexturedJpeg(400, 300, 1)},
                                                        {"b.jpg", TexturedJpeg(500, 350, 2)}});
        Application->PostMessage(frmMain, WM_CLOSE);
        if (drop)
            Drop({folder});
        else
            OpenFolder(folder);
        EXPECT_TRUE(f.Closing);
        EXPECT_EQ(f.PageBitmap, nullptr);
        EXPECT_EQ(f.stbMain->Panels(1)->Text(), "Page: 1 / 2");
        EXPECT_TRUE(Screen().Exceptions.empty());
    }
}

// --- Memory -------------------------------------------------------------------------------

// Each page display makes a probe of its own and decodes twice; none of that may stay
// behind. Under ASan the allocator keeps its own books (and LeakSanitizer watches leaks).
TEST_F(ShowPageTest, ManyPagesLeaveNoMemoryBehind)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "mallinfo2 does not see ASan's allocator";
#endif
    Start();
    TfrmMain& f = Main();
    const std::vector<std::pair<int, int>> sizes = {{320, 240}, {300, 400}, {160, 120}, {512, 384}, {250, 250}};
    std::vector<std::pair<std::string, std::string>> files;
    for (size_t i = 0; i < sizes.size(); ++i)
        files.emplace_back("p" + std::to_string(i) + ".jpg",
                           TexturedJpeg(sizes[i].first, sizes[i].second, static_cast<unsigned>(i)));
    OpenFolder(MakeFolder("pages", files));
    ASSERT_EQ(f.PageCount, 5);
    auto turn = [&](int i) {
        f.cmbFileList->UserSelect(i % f.PageCount);
    };
    // Two rounds first: from then on every buffer has met the largest page.
    for (int i = 0; i < 10; ++i)
        turn(i);
    auto inUse = [] {
        const struct mallinfo2 m = mallinfo2();
        return static_cast<long long>(m.uordblks + m.hblkhd);
    };
    const long long before = inUse();
    for (int i = 0; i < 200; ++i)
        turn(i);
    const long long growth = inUse() - before;
    EXPECT_EQ(f.stbMain->Panels(1)->Text(), "Page: 5 / 5");
    // One lost probe per page (its file, its decoder) would be far beyond this.
    EXPECT_LT(growth, 512 * 1024) << growth << " bytes more after 200 pages";
}
