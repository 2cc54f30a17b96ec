// Hostile folders: FIFOs, devices and sockets among the pages or in place of the settings
// file, and a settings folder that is missing or cannot be written. Nothing blocks, nothing
// is read without end, and the settings stay quiet about what they cannot do.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "inifile.h"
#include "programfiles.h"
#include "viewer.h"

namespace {

namespace fs = std::filesystem;

const char* const FailureText = "（ファイルの読み込みに失敗しました）";

class Hostile : public ViewerTest {
protected:
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
};

TEST_F(Hostile, PagesThatAreNotRegularFilesShowTheFailureTextAtOnce)
{
    Start();
    TfrmMain& f = Main();
    const std::string folder = MakeFolder("pages", {{"b.jpg", SmallJpeg(60, 40)}, {"d.jpg", SmallJpeg(70, 50)}});
    // Sorted first, so opening the folder shows it.
    ASSERT_EQ(mkfifo((folder + "/a.jpg").c_str(), 0644), 0);
    ASSERT_EQ(symlink("/dev/zero", (folder + "/c.jpg").c_str()), 0);
    ASSERT_EQ(mkfifo((folder + "/e.bmp").c_str(), 0644), 0);

    Watchdog watchdog("showing a FIFO or a device as a page", 30);
    OpenFolder(folder);
    ASSERT_EQ(f.PageCount, 5);
    EXPECT_EQ(f.stbMain->Panels(0)->Text(), FailureText);
    EXPECT_EQ(f.stbMain->Panels(1)->Text(), "Page: 1 / 5");

    const std::vector<std::string> expected = {folder + "/b.jpg", FailureText, folder + "/d.jpg", FailureText};
    for (int i = 0; i < 4; ++i) {
        Application->Deliver([] { frmMain->spbNextPage->Click(); });
        EXPECT_EQ(f.stbMain->Panels(0)->Text(), expected[static_cast<size_t>(i)]) << "page " << i + 2;
        // A page that failed keeps the picture before it.
        EXPECT_EQ(f.PageBitmap->Width(), i < 2 ? 60 : 70);
    }
    EXPECT_EQ(f.PageNo, 5);
    EXPECT_TRUE(Screen().Exceptions.empty());
}

TEST_F(Hostile, ASettingsFileThatIsNotARegularFileCountsAsMissingAndIsLeftAlone)
{
    // A FIFO would block the start before any window appears.
    ASSERT_EQ(mkfifo(IniPath().c_str(), 0644), 0);
    {
        Watchdog watchdog("starting with a FIFO as fovi.ini", 30);
        Start();
        EXPECT_EQ(Main().SlideTime, 10000);
        EXPECT_TRUE(Main().ToolBar);
        Main().mnuVisibleToolBar->Click();
        Close();
    }
    EXPECT_TRUE(fs::is_fifo(IniPath()));
    EXPECT_FALSE(fs::exists(IniPath() + ".tmp"));
    EXPECT_TRUE(Screen().Exceptions.empty());
}

// A missing settings folder is made at the first close; one that cannot be made (a file
// stands where a folder of its path should be, which stops the superuser too) costs the
// settings of that run, silently.
TEST_F(Hostile, AMissingSettingsFolderGivesTheDefaultsAndNothingIsShown)
{
    for (const auto& [folder, saved] : {std::pair{"gone/deeper/", true}, std::pair{"file/sub/", false}}) {
        SCOPED_TRACE(folder);
        Restart();
        programDir_->Write("file", "not a folder");
        const std::string where = ProgramFolder() + folder;
        SetProgramDirForTesting(where);
        Start();
        EXPECT_EQ(Main().SlideTime, 10000);
        EXPECT_TRUE(Main().ToolBar);
        Main().mnuVisibleToolBar->Click();
        Close();
        EXPECT_TRUE(Screen().Exceptions.empty());
        EXPECT_EQ(fs::exists(where + "fovi.ini"), saved);
        if (saved) {
            EXPECT_NE(ReadFileBytes(where + "fovi.ini").find("ToolBar=0\r\n"), std::string::npos);
        }
        EXPECT_EQ(ReadFileBytes(ProgramFolder() + "file"), "not a folder");
    }
}

TEST_F(Hostile, AReadOnlySettingsFolderKeepsTheFileAsItWas)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    const std::string original = "[Config]\r\nSlideTime=3000\r\n; mine\r\n";
    programDir_->Write("fovi.ini", original);
    ASSERT_EQ(chmod(programDir_->Path().c_str(), 0555), 0);
    Start();
    EXPECT_EQ(Main().SlideTime, 3000);
    Main().mnuVisibleToolBar->Click();
    Close();
    ASSERT_EQ(chmod(programDir_->Path().c_str(), 0755), 0);
    EXPECT_EQ(ReadFileBytes(IniPath()), original);
    EXPECT_FALSE(fs::exists(IniPath() + ".tmp"));
    EXPECT_TRUE(Screen().Exceptions.empty());
}

}  // namespace
