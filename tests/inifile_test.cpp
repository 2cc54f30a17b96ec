#include "inifile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "classes.h"
#include "exceptions.h"
#include "support.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> FolderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

mode_t ModeOf(const std::string& path)
{
    struct stat st {};
    EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

struct Setting {
    const char* key;
    int value;
};

// The program's twelve settings, in the order it writes them.
const Setting kConfig[] = {
    {"WndLeft", 120}, {"WndTop", 80},   {"WndWidth", 640},   {"WndHeight", 480},
    {"WndFront", 0},  {"ToolBar", 0},   {"StatusBar", 1},    {"PageBar", 1},
    {"AutoResize", 0}, {"SlideTime", 5000}, {"WndPosCng", 1}, {"ExitConfirm", -7},
};

TEST(IniFile, NewFileHoldsTheKeysInWritingOrder)
{
    TempDir dir;
    const std::string path = dir.Path() + "/fovi.ini";
    TIniFile ini(path);
    EXPECT_EQ(ini.FileName(), path);
    EXPECT_FALSE(ini.SectionExists("Config"));
    EXPECT_FALSE(ini.ValueExists("Config", "WndLeft"));
    EXPECT_EQ(ini.ReadInteger("Config", "WndLeft", 33), 33);
    EXPECT_EQ(ini.ReadString("Config", "WndLeft", "none"), "none");
    EXPECT_TRUE(FolderEntries(dir.Path()).empty()) << "opening and reading create no file";

    for (const Setting& s : kConfig)
        ini.WriteInteger("Config", s.key, s.value);

    EXPECT_EQ(ReadFileBytes(path),
              "[Config]\r\nWndLeft=120\r\nWndTop=80\r\nWndWidth=640\r\nWndHeight=480\r\n"
              "WndFront=0\r\nToolBar=0\r\nStatusBar=1\r\nPageBar=1\r\nAutoResize=0\r\n"
              "SlideTime=5000\r\nWndPosCng=1\r\nExitConfirm=-7\r\n");
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"fovi.ini"}) << "temporary files left behind";

    TIniFile again(path);
    std::vector<std::string> expectedKeys;
    for (const Setting& s : kConfig) {
        expectedKeys.push_back(s.key);
        EXPECT_EQ(again.ReadInteger("Config", s.key, 999), s.value) << s.key;
    }
    std::vector<std::string> keys{"stale"};
    again.ReadSection("config", keys);
    EXPECT_EQ(keys, expectedKeys);
    TStringList list;
    list.Add("stale");
    again.ReadSection("CONFIG", list);
    EXPECT_EQ(list.Items(), expectedKeys);

    // Rewriting a value changes only that line.
    again.WriteInteger("Config", "SlideTime", 3000);
    EXPECT_EQ(again.ReadInteger("Config", "SlideTime", 0), 3000);
    EXPECT_NE(ReadFileBytes(path).find("\r\nSlideTime=3000\r\nWndPosCng=1\r\n"), std::string::npos);
}

TEST(IniFile, ReadingFollowsTheProfileRules)
{
    TempDir dir;
    const std::string path = dir.Write("fovi.ini",
                                       "\xEF\xBB\xBF"
                                       "Orphan=1\n"
                                       "; a comment\r\n"
                                       "[config]\n"
                                       "slidetime = 3000\r\n"
                                       "; WndLeft=5\n"
                                       "  #WndTop=6\n"
                                       "Path= a = b \n"
                                       "\tTabbed\t=\tx y\t\n"
                                       "Empty=\n"
                                       "junk line without equals\n"
                                       "=no key\n"
                                       "Hex=0x1388\n"
                                       "Bad=abc\n"
                                       "Dup=1\n"
                                       "DUP=2\n"
                                       "\n"
                                       "[Empty]\n"
                                       "; nothing here\n"
                                       "\n"
                                       "  [ Spaced ]  \n"
                                       "k=v");
    TIniFile ini(path);

    struct Case {
        const char* section;
        const char* key;
        bool exists;
        const char* text;  // read with default "default"
        int number;        // read with default -1
    };
    const Case cases[] = {
        {"Config", "SlideTime", true, "3000", 3000},
        {"CONFIG", "SLIDETIME", true, "3000", 3000},
        {"Config", "Path", true, "a = b", 0},
        {"Config", "Tabbed", true, "x y", 0},
        {"Config", " Tabbed ", true, "x y", 0},
        {"Config", "Empty", true, "", 0},
        {"Config", "Hex", true, "0x1388", 5000},
        {"Config", "Bad", true, "abc", 0},
        {"Config", "Dup", true, "1", 1},
        {"Config", "WndLeft", false, "default", -1},
        {"Config", "WndTop", false, "default", -1},
        {"Config", "junk line without equals", false, "default", -1},
        {"Config", "Orphan", false, "default", -1},
        {"", "Orphan", false, "default", -1},
        {"Empty", "nothing here", false, "default", -1},
        {"Spaced", "k", true, "v", 0},
        {"Missing", "k", false, "default", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        EXPECT_EQ(ini.ValueExists(c.section, c.key), c.exists);
        EXPECT_EQ(ini.ReadString(c.section, c.key, "default"), c.text);
        EXPECT_EQ(ini.ReadInteger(c.section, c.key, -1), c.number);
    }

    EXPECT_TRUE(ini.SectionExists("Config"));
    EXPECT_TRUE(ini.SectionExists("spaced"));
    EXPECT_FALSE(ini.SectionExists("Empty")) << "a section without keys counts as missing";
    std::vector<std::string> keys;
    ini.ReadSection("Config", keys);
    EXPECT_EQ(keys, (std::vector<std::string>{"slidetime", "Path", "Tabbed", "Empty", "Hex", "Bad", "Dup"}));
    ini.ReadSection("Empty", keys);
    EXPECT_TRUE(keys.empty());
}

TEST(IniFile, ValuesWithBlanksAndEqualsSurviveAWrite)
{
    TempDir dir;
    TIniFile ini(dir.Path() + "/a.ini");
    ini.WriteString("S", "Path", "C:\\a b\\c=d");
    ini.WriteString("S", "Padded", "  x  ");
    EXPECT_EQ(ini.ReadString("S", "Path", ""), "C:\\a b\\c=d");
    EXPECT_EQ(ini.ReadString("S", "Padded", ""), "x") << "surrounding blanks are not part of a value";
}

TEST(IniFile, DuplicateSectionsUseTheFirstOneWithKeys)
{
    TempDir dir;
    const std::string path =
        dir.Write("d.ini", "[A]\r\n[B]\r\nx=1\r\n[a]\r\nk=2\r\n[A]\r\nk=3\r\nonly=4\r\n");
    TIniFile ini(path);
    EXPECT_TRUE(ini.SectionExists("A"));
    EXPECT_EQ(ini.ReadString("A", "k", ""), "2");
    EXPECT_FALSE(ini.ValueExists("A", "only"));
    ini.WriteString("A", "new", "5");
    ini.WriteString("A", "k", "6");
    EXPECT_EQ(ReadFileBytes(path), "[A]\r\n[B]\r\nx=1\r\n[a]\r\nk=6\r\nnew=5\r\n[A]\r\nk=3\r\nonly=4\r\n");
}

TEST(IniFile, WritesKeepEveryOtherLineByteForByte)
{
    TempDir dir;
    const std::string path = dir.Write("fovi.ini",
                                       "; settings\n"
                                       "[Other]\n"
                                       "a = 1 \n"
                                       "\n"
                                       "[Config]\n"
                                       "; comment kept\n"
                                       "  wndleft = 5\n"
                                       "SlideTime=1\n"
                                       "junk\n"
                                       "\n"
                                       "[Empty]\n"
                                       "; nothing yet\n"
                                       "\n"
                                       "[Tail]\n"
                                       "z=9");
    TIniFile ini(path);
    ini.WriteInteger("Config", "WndLeft", 120);   // replaced in place, keeping its spelling
    ini.WriteInteger("Config", "ToolBar", 0);     // after the section's last key
    ini.WriteString("Empty", "k", "v");           // right below the section line
    ini.WriteString("Tail", "y", "2");            // after a last line that had no line end
    ini.WriteString("New", "Key", "1");           // a new section at the end
    EXPECT_EQ(ReadFileBytes(path),
              "; settings\n"
              "[Other]\n"
              "a = 1 \n"
              "\n"
              "[Config]\n"
              "; comment kept\n"
              "wndleft=120\n"
              "SlideTime=1\n"
              "ToolBar=0\r\n"
              "junk\n"
              "\n"
              "[Empty]\n"
              "k=v\r\n"
              "; nothing yet\n"
              "\n"
              "[Tail]\n"
              "z=9\n"
              "y=2\r\n"
              "[New]\r\n"
              "Key=1\r\n");
}

TEST(IniFile, DeleteKeyAndEraseSection)
{
    TempDir dir;
    const std::string original =
        "\xEF\xBB\xBF[Config]\r\nA=1\r\nB=2\r\nb=3\r\n; end of config\r\n[Other]\r\nC=3\r\n[config]\r\nD=4\r\n";
    const std::string path = dir.Write("e.ini", original);
    TIniFile ini(path);

    ini.DeleteKey("Config", "Missing");
    ini.DeleteKey("Nowhere", "A");
    EXPECT_EQ(ReadFileBytes(path), original);

    ini.DeleteKey("CONFIG", "b");
    EXPECT_FALSE(ini.ValueExists("Config", "B")) << "every line of that key goes";
    EXPECT_EQ(ReadFileBytes(path),
              "\xEF\xBB\xBF[Config]\r\nA=1\r\n; end of config\r\n[Other]\r\nC=3\r\n[config]\r\nD=4\r\n");

    ini.EraseSection("Config");
    EXPECT_FALSE(ini.SectionExists("Config"));
    EXPECT_EQ(ReadFileBytes(path), "\xEF\xBB\xBF[Other]\r\nC=3\r\n");

    TIniFile missing(dir.Path() + "/missing.ini");
    missing.EraseSection("Config");
    missing.DeleteKey("Config", "A");
    EXPECT_FALSE(fs::exists(missing.FileName())) << "removing nothing creates no file";
}

TEST(IniFile, NamesThatCouldNotBeReadBackAreRefused)
{
    TempDir dir;
    TIniFile ini(dir.Path() + "/n.ini");
    const std::vector<std::vector<std::string>> bad = {
        {"", "k", "v"},  {"  ", "k", "v"},     {"S", "", "v"},     {"S", "a=b", "v"},
        {"S", ";k", "v"}, {"S]", "k", "v"},    {"S\n", "k", "v"},  {"S", "k", "two\nlines"},
        {"S", "k", "cr\r"},
    };
    for (const auto& b : bad) {
        SCOPED_TRACE(b[0] + "/" + b[1] + "/" + b[2]);
        EXPECT_THROW(ini.WriteString(b[0], b[1], b[2]), EIniFileException);
    }
    EXPECT_TRUE(FolderEntries(dir.Path()).empty());
}

TEST(IniFile, WriteProtectedFileIsAFailedWriteAndStaysUnchanged)
{
    TempDir dir;
    const std::string original = "[Config]\r\nWndLeft=1\r\n";
    const std::string path = dir.Write("fovi.ini", original);
    for (mode_t mode : {0444, 0400, 0000}) {
        SCOPED_TRACE(mode);
        ASSERT_EQ(chmod(path.c_str(), mode), 0);
        TIniFile ini(path);
        try {
            ini.WriteInteger("Config", "WndLeft", 2);
            ADD_FAILURE() << "the write succeeded";
        } catch (const EIniFileException& e) {
            EXPECT_NE(e.Message.find(path), std::string::npos) << e.Message;
        }
        EXPECT_THROW(ini.WriteInteger("Config", "NewKey", 2), EIniFileException);
        EXPECT_THROW(ini.EraseSection("Config"), EIniFileException);
        EXPECT_EQ(ModeOf(path), mode);
        EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"fovi.ini"});
        ASSERT_EQ(chmod(path.c_str(), 0644), 0);
        EXPECT_EQ(ReadFileBytes(path), original);
    }
}

TEST(IniFile, ReadOnlyFolderIsAFailedWrite)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root may rename inside a read-only folder";
    TempDir dir;
    const std::string original = "[Config]\r\nWndLeft=1\r\n";
    const std::string path = dir.Write("fovi.ini", original);
    ASSERT_EQ(chmod(dir.Path().c_str(), 0555), 0);
    EXPECT_THROW(TIniFile(path).WriteInteger("Config", "WndLeft", 2), EIniFileException);
    EXPECT_THROW(TIniFile(dir.Path() + "/new.ini").WriteInteger("Config", "WndLeft", 2), EIniFileException);
    ASSERT_EQ(chmod(dir.Path().c_str(), 0755), 0);
    EXPECT_EQ(ReadFileBytes(path), original);
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"fovi.ini"});
}

TEST(IniFile, UnreadableFileReadsEmptyButIsNotOverwritten)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    TempDir dir;
    const std::string original = "[Other]\r\nKeep=1\r\n";
    const std::string path = dir.Write("fovi.ini", original);
    ASSERT_EQ(chmod(path.c_str(), 0200), 0);
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadInteger("Other", "Keep", 7), 7);
    EXPECT_THROW(ini.WriteInteger("Config", "WndLeft", 2), EIniFileException);
    ASSERT_EQ(chmod(path.c_str(), 0644), 0);
    EXPECT_EQ(ReadFileBytes(path), original);
}

TEST(IniFile, PathsThatCannotHoldAFile)
{
    TempDir dir;
    fs::create_directory(dir.Path() + "/folder.ini");
    for (const std::string& path : {dir.Path() + "/no/such/folder/fovi.ini", dir.Path() + "/folder.ini"}) {
        SCOPED_TRACE(path);
        TIniFile ini(path);
        EXPECT_FALSE(ini.SectionExists("Config"));
        EXPECT_EQ(ini.ReadInteger("Config", "WndLeft", 4), 4);
        EXPECT_THROW(ini.WriteInteger("Config", "WndLeft", 2), EIniFileException);
    }
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"folder.ini"});
}

TEST(IniFile, ReplacementKeepsModeAndLinks)
{
    TempDir dir;
    const std::string path = dir.Write("real.ini", "[Config]\nA=1\n");
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    const std::string link = dir.Path() + "/fovi.ini";
    ASSERT_EQ(symlink("real.ini", link.c_str()), 0);

    TIniFile(link).WriteInteger("Config", "A", 2);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFileBytes(path), "[Config]\nA=2\n");
    EXPECT_EQ(ModeOf(path), 0640u);
    EXPECT_EQ(FolderEntries(dir.Path()), (std::vector<std::string>{"fovi.ini", "real.ini"}));
}

// Some hundred kilobytes of other sections make one write take long enough for a kill to land
// in the middle of it; the generation number tells which complete content to expect.
std::string BigSettings(int generation)
{
    static const std::string filler = [] {
        std::string f = "; written by the kill test\r\n";
        for (int section = 0; section < 200; ++section) {
            f += "[Filler" + std::to_string(section) + "]\r\n";
            for (int key = 0; key < 40; ++key)
                f += "Key" + std::to_string(key) + "=" + std::string(40, static_cast<char>('a' + key % 26)) + "\r\n";
            f += "\r\n";
        }
        return f;
    }();
    std::string s = filler + "[Config]\r\nGeneration=" + std::to_string(generation) + "\r\n";
    for (const Setting& c : kConfig)
        s += std::string(c.key) + "=" + std::to_string(c.value) + "\r\n";
    return s;
}

TEST(IniFile, KilledWriterLeavesOldOrNewContentNeverAMix)
{
    TempDir dir;
    const std::string path = dir.Write("fovi.ini", BigSettings(0));
    ASSERT_GT(ReadFileBytes(path).size(), 300000u);

    std::random_device device;
    const unsigned seed = device();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delayMicroseconds(0, 12000);

    int generation = 0;
    for (int round = 0; round < 30; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const int start = generation;
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(ready[0]);
            TIniFile ini(path);
            for (int g = start + 1; g < start + 1000000; ++g) {
                try {
                    ini.WriteInteger("Config", "Generation", g);
                } catch (...) {
                    _exit(2);
                }
                if (g == start + 1) {
                    char one = 1;
                    if (write(ready[1], &one, 1) != 1)
                        _exit(3);
                }
            }
            _exit(0);
        }
        close(ready[1]);
        char byte = 0;
        // The first write is complete before the kill, so the kill lands in a later one.
        const bool started = read(ready[0], &byte, 1) == 1;
        close(ready[0]);
        if (started)
            usleep(static_cast<useconds_t>(delayMicroseconds(random)));
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(started) << "the writer failed before its first write, status " << status;
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer ended on its own, status " << status;

        // The reader must make sense of the file; comparing it with the complete content of
        // the generation it names then covers every other line.
        TIniFile ini(path);
        generation = ini.ReadInteger("Config", "Generation", -1);
        EXPECT_GT(generation, start);
        EXPECT_EQ(ini.ReadInteger("Config", "ExitConfirm", 0), -7);
        const std::string bytes = ReadFileBytes(path);
        // Compared whole rather than with ASSERT_EQ, which would print both texts of some hundred kilobytes.
        ASSERT_TRUE(bytes == BigSettings(generation))
            << "not a complete content: " << bytes.size() << " bytes, generation " << generation;
    }
}

}  // namespace
