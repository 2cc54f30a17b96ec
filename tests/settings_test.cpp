// fovi.ini: read once at start, written at every close, twelve keys in a fixed order.
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <random>
#include <thread>
#include <tuple>

#include "inifile.h"
#include "viewer.h"

namespace {

// The twelve keys' values, named as the keys are.
struct ConfigValues {
    int WndLeft, WndTop, WndWidth, WndHeight, WndFront, ToolBar, StatusBar, PageBar, AutoResize, SlideTime,
        WndPosCng, ExitConfirm;
};

// The keys in the order SaveConfig writes them, one line each ending in eol, all but skip.
std::string KeyLines(const ConfigValues& v, const std::string& eol, const std::string& skip = "")
{
    const std::pair<const char*, int> keys[] = {
        {"WndLeft", v.WndLeft},     {"WndTop", v.WndTop},       {"WndWidth", v.WndWidth},
        {"WndHeight", v.WndHeight}, {"WndFront", v.WndFront},   {"ToolBar", v.ToolBar},
        {"StatusBar", v.StatusBar}, {"PageBar", v.PageBar},     {"AutoResize", v.AutoResize},
        {"SlideTime", v.SlideTime}, {"WndPosCng", v.WndPosCng}, {"ExitConfirm", v.ExitConfirm},
    };
    std::string s;
    for (const auto& [key, value] : keys)
        if (key != skip)
            s += std::string(key) + "=" + std::to_string(value) + eol;
    return s;
}

// The keys as SaveConfig adds them to a section that lacks them, in their order: one line
// each, ending in CR LF as TIniFile ends the lines it writes.
std::string ConfigLines(const TfrmMain& f, const std::string& skip = "")
{
    return KeyLines({f.WndLeft, f.WndTop, f.WndWidth, f.WndHeight, f.WndFront, f.ToolBar, f.StatusBar, f.PageBar,
                     f.AutoResize, f.SlideTime, f.WndPosCng, f.ExitConfirm},
                    "\r\n", skip);
}

std::vector<std::string> FolderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// What happened to the entries of a folder while an inotify watch was on it: for each
// kind of event, the names it touched, in order.
class FolderWatch {
public:
    explicit FolderWatch(const std::string& folder) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        EXPECT_GE(inotify_add_watch(fd_, folder.c_str(), IN_OPEN | IN_CREATE | IN_MOVED_TO), 0);
    }
    ~FolderWatch() { close(fd_); }
    // The names that events of this kind touched since the last call.
    std::vector<std::string> Take(std::uint32_t kind)
    {
        alignas(inotify_event) char buffer[65536];
        ssize_t n;
        while ((n = read(fd_, buffer, sizeof buffer)) > 0) {
            for (char* p = buffer; p < buffer + n;) {
                auto* e = reinterpret_cast<inotify_event*>(p);
                if (e->len > 0)
                    events_.emplace_back(e->mask, std::string(e->name));
                p += sizeof(inotify_event) + e->len;
            }
        }
        std::vector<std::string> names;
        std::erase_if(events_, [&](const auto& e) {
            if (!(e.first & kind))
                return false;
            names.push_back(e.second);
            return true;
        });
        return names;
    }

private:
    int fd_;
    std::vector<std::pair<std::uint32_t, std::string>> events_;
};

}  // namespace

class Settings : public ViewerTest {
protected:
    void StartWith(const std::string& ini)
    {
        programDir_->Write("fovi.ini", ini);
        Start();
    }
    void Restart()
    {
        TearDown();
        SetUp();
    }
    void Close()
    {
        Main().mnuFileExit->Click();
        ASSERT_TRUE(Application->Terminated());
    }
    // A key's value in the file as it is now, or nullopt when the key is not there.
    std::optional<int> Saved(const std::string& key) const
    {
        TIniFile ini(IniPath());
        if (!ini.ValueExists("Config", key))
            return std::nullopt;
        return ini.ReadInteger("Config", key, 0);
    }
};

TEST_F(Settings, FirstRunWritesTheTwelveKeysInTheirOrder)
{
    // The window of a run that began without a settings file ends at 120, 80, 640 x 480 with
    // the tool bar hidden, a 5-second interval and position restoring switched on.
    const std::string folder = MakeFolder("wide", {{"page.bmp", SmallBmp(700, 200)}});
    Start();
    EXPECT_FALSE(std::filesystem::exists(IniPath())) << "start-up creates no settings file";

    OpenFolder(folder);
    ASSERT_EQ(Main().PageCount, 1);
    Main().UserResized(640 - Main().FrameWidth(), 480 - Main().FrameHeight());
    Main().UserMoved(120, 80);
    Main().mnuVisibleToolBar->Click();
    for (int i = 0; i < 5; ++i)
        Main().updSlideTime->ArrowClick(TUDBtnType::btPrev);
    Screen().OnModal = [](TForm&) {
        frmConfig->chkWindowPosition->Click();
        Application->Deliver([] { frmConfig->btrnOk->Click(); });
    };
    Main().mnuVisibleOption->Click();
    Close();

    EXPECT_EQ(ReadFileBytes(IniPath()),
              "[Config]\r\n" + KeyLines({.WndLeft = 120, .WndTop = 80, .WndWidth = 640, .WndHeight = 480,
                                           .WndFront = 0, .ToolBar = 0, .StatusBar = 1, .PageBar = 1,
                                           .AutoResize = 0, .SlideTime = 5000, .WndPosCng = 1, .ExitConfirm = 0},
                                          "\r\n"));
    // Each write replaced the file whole; nothing is left beside it.
    EXPECT_EQ(FolderEntries(ProgramFolder()), std::vector<std::string>{"fovi.ini"});
    EXPECT_TRUE(Screen().Exceptions.empty());
}

TEST_F(Settings, EveryKeyIsReadAtStartAndWrittenBackAtClose)
{
    // Every value differs from its default; the lines end in LF and keep that end when
    // their values are replaced.
    ConfigValues values{.WndLeft = 33, .WndTop = 44, .WndWidth = 500, .WndHeight = 345, .WndFront = 1, .ToolBar = 0,
                        .StatusBar = 0, .PageBar = 0, .AutoResize = 1, .SlideTime = 7000, .WndPosCng = 1,
                        .ExitConfirm = 1};
    StartWith("[Config]\n" + KeyLines(values, "\n"));
    TfrmMain& f = Main();
    EXPECT_TRUE(f.WndFront && f.mnuVisibleFrontWnd->Checked());
    EXPECT_EQ(Screen().TopMostCalls, std::vector<bool>{true});
    EXPECT_FALSE(f.ToolBar || f.StatusBar || f.PageBar);
    EXPECT_EQ(f.pnlToolBar->Height(), 1);
    EXPECT_EQ(f.stbMain->Height(), 1);
    EXPECT_EQ(f.pnlPageBar->Height(), 1);
    EXPECT_FALSE(f.mnuVisibleToolBar->Checked() || f.mnuVisibleStatusBar->Checked() ||
                 f.mnuVisiblePageBar->Checked());
    EXPECT_TRUE(f.AutoResize && f.spbAutoResize->Down() && f.mnuVisibleAutoResize->Checked());
    EXPECT_EQ(f.SlideTime, 7000);
    EXPECT_EQ(f.edtSlideTime->Text(), "7");
    EXPECT_EQ(f.updSlideTime->Position(), 7);
    EXPECT_EQ(f.timMain->Interval(), 7000);
    EXPECT_TRUE(f.WndPosCng);
    EXPECT_TRUE(f.ExitConfirm);
    EXPECT_EQ(f.Left(), 33);
    EXPECT_EQ(f.Top(), 44);
    EXPECT_EQ(f.Height(), 345);
    EXPECT_EQ(f.ClientWidth(), 370);

    Close();
    // The rectangle is the window's own at close, so the width is the one the 370 rule left;
    // every other line is written back as it was read.
    values.WndWidth = 370 + f.FrameWidth();
    EXPECT_EQ(ReadFileBytes(IniPath()), "[Config]\n" + KeyLines(values, "\n"));
}

TEST_F(Settings, ValuesAreReadAsTheProfileFunctionsReadThem)
{
    struct Case {
        const char* name;
        std::string ini;
        int slideTime;
        bool toolBar;
    };
    const Case cases[] = {
        {"only SlideTime", "[Config]\nSlideTime=3000\n", 3000, true},
        {"lower-case key", "[config]\nslidetime=3000\ntoolbar=0\n", 3000, false},
        {"blanks around name and value", "[Config]\n  SlideTime =  4000 \n", 4000, true},
        {"not a number", "[Config]\nSlideTime=abc\n", 0, true},
        {"empty value", "[Config]\nSlideTime=\n", 0, true},
        {"hexadecimal 0x", "[Config]\nSlideTime=0x1388\n", 5000, true},
        {"hexadecimal $", "[Config]\nSlideTime=$FA0\n", 4000, true},
        {"negative", "[Config]\nSlideTime=-2000\n", -2000, true},
        {"beyond 32 bits", "[Config]\nSlideTime=99999999999\n", 0, true},
        {"boolean other than 1", "[Config]\nToolBar=2\n", 10000, true},
        {"boolean 0 from text", "[Config]\nToolBar=no\n", 10000, false},
        {"keyless section counts as none", "[Config]\n[Other]\nSlideTime=3000\nToolBar=0\n", 10000, true},
        {"keys in another section", "[Other]\nSlideTime=3000\n", 10000, true},
        {"commented out", "[Config]\n;SlideTime=3000\nToolBar=1\n", 10000, true},
        {"CR LF and no end on the last line", "[Config]\r\nSlideTime=6000\r\nToolBar=0", 6000, false},
        {"empty file", "", 10000, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Restart();
        StartWith(c.ini);
        EXPECT_EQ(Main().SlideTime, c.slideTime);
        EXPECT_EQ(Main().ToolBar, c.toolBar);
        EXPECT_EQ(Main().timMain->Interval(), c.slideTime);
        // Missing keys keep the start-up defaults.
        EXPECT_TRUE(Main().PageBar && Main().StatusBar);
        EXPECT_FALSE(Main().AutoResize || Main().WndFront || Main().WndPosCng || Main().ExitConfirm);
        EXPECT_EQ(Main().WndLeft, 0);
        EXPECT_TRUE(Screen().Exceptions.empty());
    }
}

TEST_F(Settings, BooleansAreWrittenBackAsZeroOrOne)
{
    StartWith("[Config]\nToolBar=2\nWndFront=-7\n");
    EXPECT_TRUE(Main().ToolBar);
    Close();
    const std::string ini = ReadFileBytes(IniPath());
    EXPECT_NE(ini.find("ToolBar=1\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("WndFront=1\n"), std::string::npos) << ini;
}

TEST_F(Settings, OtherSectionsAndCommentsAreKept)
{
    const std::string before = "; my notes\n[Other]\nfoo=bar\n\n[Config]\nSlideTime=3000\n";
    const std::string after = "; a comment in the section\n[Later]\nx=1\n";
    StartWith(before + after);
    Close();
    // SlideTime keeps its line; the other keys follow it in their order, in new lines.
    EXPECT_EQ(ReadFileBytes(IniPath()), before + ConfigLines(Main(), "SlideTime") + after);
}

TEST_F(Settings, RecordedRectangleUnusedWithoutWndPosCngIsStillReplacedAtClose)
{
    StartWith("[Config]\nWndLeft=150\nWndTop=60\nWndWidth=900\nWndHeight=700\nWndPosCng=0\n");
    TfrmMain& f = Main();
    EXPECT_EQ(f.Left(), (1920 - f.Width()) / 2);
    EXPECT_EQ(f.Top(), (1080 - f.Height()) / 2);
    f.UserMoved(11, 22);
    f.UserResized(370, 300);
    Close();
    EXPECT_EQ(Saved("WndLeft"), 11);
    EXPECT_EQ(Saved("WndTop"), 22);
    EXPECT_EQ(Saved("WndWidth"), 370 + f.FrameWidth());
    EXPECT_EQ(Saved("WndHeight"), 300 + f.FrameHeight());
    EXPECT_EQ(Saved("WndPosCng"), 0);
}

TEST_F(Settings, AWriteProtectedFileIsLeftAsItIsAndTheProgramEndsQuietly)
{
    const std::string original = "[Config]\nSlideTime=3000\nToolBar=1\n";
    StartWith(original);
    // Root may write anything; the settings writer goes by the mode bits all the same.
    ASSERT_EQ(chmod(IniPath().c_str(), 0444), 0);
    Main().mnuVisibleToolBar->Click();
    Main().UserMoved(5, 5);
    Close();
    EXPECT_EQ(ReadFileBytes(IniPath()), original);
    EXPECT_TRUE(Screen().Exceptions.empty());
    EXPECT_TRUE(Main().Closing);
    EXPECT_EQ(FolderEntries(ProgramFolder()), std::vector<std::string>{"fovi.ini"});
}

TEST_F(Settings, AFolderInPlaceOfTheFileIsNeitherReadNorFatal)
{
    ASSERT_TRUE(std::filesystem::create_directory(IniPath()));
    Start();
    EXPECT_EQ(Main().SlideTime, 10000);
    EXPECT_TRUE(Main().ToolBar);
    Close();
    EXPECT_TRUE(std::filesystem::is_directory(IniPath()));
    EXPECT_TRUE(Screen().Exceptions.empty());
}

TEST_F(Settings, AccessorsReportWhatHappened)
{
    Start();
    TfrmMain& f = Main();
    const std::string path = IniPath();
    programDir_->Write("fovi.ini", "[Config]\nA=12\nEmpty=\n");

    int v = -1;
    EXPECT_TRUE(f.ReadIniInt(v, path, "Config", "a"));
    EXPECT_EQ(v, 12);
    v = -1;
    EXPECT_TRUE(f.ReadIniInt(v, path, "Config", "Empty"));
    EXPECT_EQ(v, 0);
    // A failed read leaves the output alone.
    for (const auto& [file, section, key] : std::vector<std::tuple<std::string, std::string, std::string>>{
             {path, "Config", "B"}, {path, "Other", "A"}, {"", "Config", "A"}, {path, "", "A"},
             {path, "Config", ""}, {ProgramFolder() + "missing.ini", "Config", "A"}}) {
        v = -1;
        EXPECT_FALSE(f.ReadIniInt(v, file, section, key)) << file << " [" << section << "] " << key;
        EXPECT_EQ(v, -1);
    }

    EXPECT_TRUE(f.WriteIniInt(-5, path, "Config", "B"));
    EXPECT_EQ(ReadFileBytes(path), "[Config]\nA=12\nEmpty=\nB=-5\r\n");
    EXPECT_FALSE(f.WriteIniInt(1, "", "Config", "A"));
    EXPECT_FALSE(f.WriteIniInt(1, path, "", "A"));
    EXPECT_FALSE(f.WriteIniInt(1, path, "Config", ""));
    EXPECT_FALSE(f.WriteIniInt(1, ProgramFolder() + "no/such/folder/fovi.ini", "Config", "A"));
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    EXPECT_FALSE(f.WriteIniInt(1, path, "Config", "A"));
    EXPECT_EQ(ReadFileBytes(path), "[Config]\nA=12\nEmpty=\nB=-5\r\n");
}

// One read at start and one replacement at close, however many keys: a big file used to be
// read three times per key before the window appeared, and written twelve times at close.
TEST_F(Settings, StartReadsTheFileOnceAndCloseReplacesItOnce)
{
    programDir_->Write("fovi.ini", "[Other]\r\nKeep=1\r\n[Config]\r\nSlideTime=3000\r\nToolBar=0\r\n");
    FolderWatch watch(ProgramFolder());
    Start();
    ASSERT_EQ(Main().SlideTime, 3000);
    EXPECT_EQ(watch.Take(IN_OPEN), std::vector<std::string>{"fovi.ini"});

    Main().mnuVisibleToolBar->Click();
    Close();
    EXPECT_EQ(watch.Take(IN_OPEN), std::vector<std::string>({"fovi.ini", "fovi.ini.tmp"}));
    EXPECT_EQ(watch.Take(IN_CREATE), std::vector<std::string>{"fovi.ini.tmp"});
    EXPECT_EQ(watch.Take(IN_MOVED_TO), std::vector<std::string>{"fovi.ini"});
    EXPECT_EQ(ReadFileBytes(IniPath()).rfind("[Other]\r\nKeep=1\r\n[Config]\r\nSlideTime=3000\r\nToolBar=1\r\n", 0), 0u);
}

// A close killed at any moment of its write leaves the settings file old or new, whole, and
// at most the one known temporary file beside it.
TEST_F(Settings, AKilledCloseLeavesTheOldOrTheNewFileWhole)
{
    // Big enough that a kill often lands inside the write.
    std::string filler;
    for (int section = 0; section < 300; ++section) {
        filler += "[Filler" + std::to_string(section) + "]\r\n";
        for (int key = 0; key < 20; ++key)
            filler += "Key" + std::to_string(key) + "=" + std::string(40, static_cast<char>('a' + key)) + "\r\n";
    }
    const std::string old = filler + "[Config]\r\n" +
                            KeyLines({.WndLeft = 1, .WndTop = 2, .WndWidth = 3, .WndHeight = 4, .WndFront = 0,
                                      .ToolBar = 1, .StatusBar = 1, .PageBar = 1, .AutoResize = 0,
                                      .SlideTime = 9000, .WndPosCng = 0, .ExitConfirm = 0},
                                     "\r\n") +
                            "; the user's note\r\n";
    StartWith(old);
    TfrmMain& f = Main();
    // Every key gets a new value at close.
    f.WndFront = f.AutoResize = f.WndPosCng = f.ExitConfirm = true;
    f.ToolBar = f.StatusBar = f.PageBar = false;
    f.SlideTime = 4000;
    f.UserMoved(50, 60);

    // Writes the settings as the close does, in a child process; the parent kills it delay
    // microseconds after it is ready, or lets it finish. Returns whether the kill came first.
    auto closeInChild = [&](long delay) {
        int ready[2];
        EXPECT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        if (child == 0) {
            close(ready[0]);
            char one = 1;
            if (write(ready[1], &one, 1) != 1)
                _exit(3);
            // The close's write itself, as the close handler makes it: the handler's other work
            // (stopping the page workers) would wait here for threads a forked child lacks.
            f.WndLeft = f.Left();
            f.WndTop = f.Top();
            f.WndWidth = f.Width();
            f.WndHeight = f.Height();
            f.SaveConfig(ConfigPath());
            _exit(0);
        }
        close(ready[1]);
        char byte = 0;
        EXPECT_EQ(read(ready[0], &byte, 1), 1);
        close(ready[0]);
        if (delay >= 0) {
            std::this_thread::sleep_for(std::chrono::microseconds(delay));
            kill(child, SIGKILL);
        }
        int status = 0;
        EXPECT_EQ(waitpid(child, &status, 0), child);
        return WIFSIGNALED(status);
    };

    const auto begin = std::chrono::steady_clock::now();
    closeInChild(-1);
    const long closeTime = static_cast<long>(
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - begin).count());
    const std::string fresh = ReadFileBytes(IniPath());
    ASSERT_NE(fresh, old);
    ASSERT_NE(fresh.find("\r\n[Config]\r\nWndLeft=50\r\nWndTop=60\r\n"), std::string::npos);
    ASSERT_NE(fresh.find("ExitConfirm=1\r\n; the user's note\r\n"), std::string::npos);

    std::random_device device;
    const unsigned seed = device();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<long> delay(0, closeTime + closeTime / 5);
    int killed = 0, oldSeen = 0, newSeen = 0, tempLeft = 0;
    int rounds = 0;
    // Until 120 kills have landed: a close that ran slow while its time was taken must not
    // leave the loop with kills too few.
    for (; killed < 120 && rounds < 600; ++rounds) {
        SCOPED_TRACE("round " + std::to_string(rounds));
        programDir_->Write("fovi.ini", old);
        killed += closeInChild(delay(random));
        const std::string now = ReadFileBytes(IniPath());
        // Compared whole rather than with EXPECT_EQ, which would print both long texts.
        ASSERT_TRUE(now == old || now == fresh) << "a mix of " << now.size() << " bytes";
        (now == old ? oldSeen : newSeen)++;
        const std::vector<std::string> entries = FolderEntries(ProgramFolder());
        tempLeft += entries.size() == 2;
        ASSERT_TRUE(entries == std::vector<std::string>{"fovi.ini"} ||
                    entries == std::vector<std::string>({"fovi.ini", "fovi.ini.tmp"}));
    }
    std::printf("close: %ld us; %d rounds: %d killed, %d old and %d new files, %d temporary files left\n",
                closeTime, rounds, killed, oldSeen, newSeen, tempLeft);
    EXPECT_GE(killed, 100);
    // The next write takes the left temporary file over.
    closeInChild(-1);
    EXPECT_EQ(ReadFileBytes(IniPath()), fresh);
    EXPECT_EQ(FolderEntries(ProgramFolder()), std::vector<std::string>{"fovi.ini"});
}
