// Page turns that use the second core: the page after the one on show decoded while the loop
// is idle, and the load that runs beside the probe. Whatever the worker did, a turn must look
// exactly like one made on the spot today: same texts, states, pixels and error reports, and
// the file's content at the moment of the turn.
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "Mainfunc_ahead.h"
#include "viewer.h"

namespace {

namespace fs = std::filesystem;

// A colour JPEG with texture, padded after its end marker to exactly `size` bytes when given,
// so that two different pages can have the same file size.
std::string Page(int w, int h, unsigned seed, size_t size = 0, bool progressive = false)
{
    std::string jpeg = EncodeJpeg(
        w, h, JCS_RGB,
        [&](int x, int y, unsigned char* p) {
            seed = seed * 1103515245u + 12345u;
            p[0] = static_cast<unsigned char>(x * 255 / w);
            p[1] = static_cast<unsigned char>((seed >> 16) & 255);
            p[2] = static_cast<unsigned char>(y * 255 / h);
        },
        {.quality = 90, .progressive = progressive});
    if (size > jpeg.size())
        jpeg.append(size - jpeg.size(), '\0');
    return jpeg;
}

enum class Mode { Today, Beside, Ahead };
const char* Name(Mode m) { return m == Mode::Today ? "one after the other" : m == Mode::Beside ? "beside" : "ahead"; }

class PageAheadTest : public ViewerTest {
protected:
    struct Shown {
        std::string panel0, panel1, caption;
        int itemIndex;
        bool back, next, combo;
        std::vector<std::uint32_t> pixels;
        int width, height;
        std::vector<std::string> exceptions;
        bool operator==(const Shown&) const = default;
    };
    // With the folder, which differs from viewer to viewer, written as "<folder>".
    Shown Snapshot()
    {
        TfrmMain& f = Main();
        std::vector<std::string> exceptions;
        for (const std::string& e : Screen().Exceptions)
            exceptions.push_back(Relative(e));
        return Shown{Relative(f.stbMain->Panels(0)->Text()), f.stbMain->Panels(1)->Text(), Relative(f.Caption()),
                     f.cmbFileList->ItemIndex(), f.spbBackPage->Enabled(), f.spbNextPage->Enabled(),
                     f.cmbFileList->Enabled(), f.PageBitmap->Pixels().Data, f.PageBitmap->Width(),
                     f.PageBitmap->Height(), exceptions};
    }
    std::string Relative(std::string text) const
    {
        for (size_t at; !folder_.empty() && (at = text.find(folder_)) != std::string::npos;)
            text.replace(at, folder_.size(), "<folder>");
        return text;
    }
    std::string folder_;

    // A fresh viewer on a folder of a.jpg, b.jpg (the page under test) and c.jpg, page 1 on
    // show, working as `mode` says. In Ahead mode the loop has been idle since, so b.jpg is
    // prepared. Returns b.jpg's path.
    std::string OpenOn(Mode mode, const std::string& b, const char* bName = "b.jpg")
    {
        TearDown();
        SetUp();
        Start();
        TfrmMain& f = Main();
        f.PrepareAhead = mode == Mode::Ahead;
        f.LoadBesideProbe = mode != Mode::Today;
        const std::string folder = folder_ =
            MakeFolder("pages", {{"a.jpg", Page(120, 90, 1)}, {bName, b}, {"c.jpg", Page(140, 100, 3)}});
        // Files changed within the file clock's last tick prove nothing yet; a reader's pages
        // are older than that.
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        OpenFolder(folder);
        EXPECT_EQ(f.PageNo, 1);
        Application->AdvanceClock(300);
        EXPECT_EQ(f.PageWorker()->Preparations(), mode == Mode::Ahead ? 1 : 0);
        return folder + "/" + bName;
    }
    void UserNext()
    {
        Application->Deliver([] { frmMain->spbNextPage->Click(); });
    }
};

}  // namespace

// Every kind of page file, turned to from a prepared page and with the load beside the
// probe, leaves what the turn leaves today, and the prepared result is the one used.
TEST_F(PageAheadTest, ATurnLooksTheSameHoweverItsDecodesRan)
{
    struct Case {
        const char* name;
        const char* file;
        std::string content;
    };
    const Case cases[] = {
        {"baseline JPEG", "b.jpg", Page(100, 80, 2)},
        {"progressive JPEG", "b.jpg", Page(96, 64, 4, 0, true)},
        {"JPEG named .bmp", "b.bmp", Page(90, 70, 5)},
        {"bitmap named .jpg", "b.jpg", SmallBmp(80, 60)},
        {"text file", "b.jpg", "Not a picture, just some text.\n"},
        {"empty file", "b.jpg", ""},
        {"bitmap cut short", "b.bmp", SmallBmp(80, 60).substr(0, 54 + 100)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Shown today;
        for (Mode mode : {Mode::Today, Mode::Beside, Mode::Ahead}) {
            SCOPED_TRACE(Name(mode));
            OpenOn(mode, c.content, c.file);
            UserNext();
            const Shown second = Snapshot();
            Application->AdvanceClock(300);
            UserNext();
            EXPECT_EQ(Main().stbMain->Panels(0)->Text(), Main().PageList->Get(2));
            if (mode == Mode::Today) {
                today = second;
                continue;
            }
            EXPECT_TRUE(second == today) << "panel 0: " << second.panel0;
            // The page prepared ahead is the one the turn took, and the page after it was
            // prepared in turn while the loop was idle.
            if (mode == Mode::Ahead) {
                EXPECT_EQ(Main().PageWorker()->PreparedTurns(), 2);
                EXPECT_EQ(Main().PageWorker()->Preparations(), 2);
            }
        }
    }
}

// Whatever happens to the page file between its preparation and the turn, the turn shows
// what today's turn shows, and a replaced page shows its new content, even with the same
// size and the same modification time.
TEST_F(PageAheadTest, AFileChangedAfterItsPreparationIsReadAfresh)
{
    const std::string before = Page(100, 80, 2, 40000);
    const std::string after = Page(100, 80, 9, 40000);
    ASSERT_EQ(before.size(), after.size());
    const auto sameTimes = [](const std::string& path, const std::function<void()>& change) {
        const fs::file_time_type t = fs::last_write_time(path);
        change();
        fs::last_write_time(path, t);
    };
    struct Case {
        const char* name;
        std::function<void(const std::string& path)> change;
        bool replaced;
    };
    const Case cases[] = {
        {"rewritten in place",
         [&](const std::string& p) { sameTimes(p, [&] { std::ofstream(p, std::ios::binary | std::ios::trunc) << after; }); },
         true},
        {"replaced by a rename",
         [&](const std::string& p) {
             std::ofstream(p + ".new", std::ios::binary) << after;
             fs::last_write_time(p + ".new", fs::last_write_time(p));
             fs::rename(p + ".new", p);
         },
         true},
        {"deleted", [](const std::string& p) { fs::remove(p); }, false},
        {"made unreadable", [](const std::string& p) { chmod(p.c_str(), 0); }, false},
        {"cut to nothing", [](const std::string& p) { fs::resize_file(p, 0); }, false},
        {"replaced by a folder",
         [](const std::string& p) {
             fs::remove(p);
             fs::create_directory(p);
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Shown today;
        for (Mode mode : {Mode::Today, Mode::Ahead}) {
            SCOPED_TRACE(Name(mode));
            const std::string path = OpenOn(mode, before);
            c.change(path);
            UserNext();
            EXPECT_EQ(Main().PageNo, 2);
            const Shown second = Snapshot();
            if (c.replaced) {
                EXPECT_EQ(second.panel0, "<folder>/b.jpg");
                EXPECT_TRUE(second.pixels == PlainDecode(after).Data) << "the page shows the old content";
            }
            if (mode == Mode::Today) {
                today = second;
                continue;
            }
            EXPECT_TRUE(second == today) << "panel 0: " << second.panel0;
            EXPECT_EQ(Main().PageWorker()->PreparedTurns(), 0);
        }
    }
}

// Work in flight when the page list changes or the window closes is dropped, and the close
// waits for it: nothing of it reaches the new list, and nothing runs after the page objects
// are gone (ThreadSanitizer and AddressSanitizer watch this).
TEST_F(PageAheadTest, WorkInFlightEndsWithTheListAndTheWindow)
{
    Start();
    TfrmMain& f = Main();
    const std::string big = MakeFolder("big", {{"a.jpg", Page(900, 1200, 1)},
                                               {"b.jpg", Page(900, 1200, 2)},
                                               {"c.jpg", Page(900, 1200, 3)}});
    const std::string small = MakeFolder("small", {{"x.jpg", Page(60, 40, 4)}, {"y.jpg", Page(70, 50, 5)}});
    std::this_thread::sleep_for(std::chrono::milliseconds(30));

    OpenFolder(big);
    Application->Idle();  // starts b.jpg and returns at once
    f.frmFileClose->Click();
    EXPECT_EQ(f.PageNo, 0);
    Application->Idle();  // nothing to prepare without pages

    OpenFolder(big);
    Application->Idle();
    Drop({small});
    EXPECT_EQ(f.PageCount, 2);
    Application->AdvanceClock(300);  // y.jpg now
    UserNext();
    EXPECT_EQ(f.stbMain->Panels(0)->Text(), small + "/y.jpg");
    EXPECT_EQ(f.PageBitmap->Width(), 70);
    EXPECT_EQ(f.PageWorker()->PreparedTurns(), 1);

    OpenFolder(big);
    Application->Idle();
    f.Close();
    EXPECT_TRUE(f.Closing);
    EXPECT_EQ(f.PageWorker(), nullptr);
    Application->Idle();
    EXPECT_TRUE(Screen().Exceptions.empty());
}
