// Where the program finds its own files: its folder, its help page, and the settings file's
// folder, chosen once at start between the program's folder and the user's.
#include "programfiles.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "viewer.h"

namespace {

namespace fs = std::filesystem;

// Sets an environment variable (or unsets it, for nullopt) for one scope.
class EnvScope {
public:
    EnvScope(const char* name, std::optional<std::string> value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        Set(value);
    }
    ~EnvScope() { Set(old_); }

private:
    void Set(const std::optional<std::string>& v)
    {
        if (v)
            setenv(name_, v->c_str(), 1);
        else
            unsetenv(name_);
    }
    const char* name_;
    std::optional<std::string> old_;
};

// A folder that stays read-only until the end of the scope, then may be cleaned up.
class ReadOnly {
public:
    explicit ReadOnly(std::string dir) : dir_(std::move(dir)) { chmod(dir_.c_str(), 0555); }
    ~ReadOnly() { chmod(dir_.c_str(), 0755); }

private:
    std::string dir_;
};

TEST(ProgramDir, IsTheFolderOfThisProgramUnlessATestSetsOne)
{
    const std::string folder = ProgramDir();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_TRUE(fs::is_regular_file(folder + "programfiles_test"));

    SetProgramDirForTesting("/some/where");
    EXPECT_EQ(ProgramDir(), "/some/where/");
    SetProgramDirForTesting("");
    EXPECT_EQ(ProgramDir(), folder);
}

TEST(HelpPage, BesideTheProgramElseInstalledBesideItsBinFolder)
{
    const TempDir tree;
    const std::string root = tree.Path() + "/";
    tree.Write("build/help/index.html", "<html></html>");
    tree.Write("prefix/share/folivo/help/index.html", "<html></html>");
    fs::create_directories(root + "prefix/bin");
    fs::create_directories(root + "bare/bin");
    struct Case {
        const char* programDir;
        std::string expected;
    };
    const Case cases[] = {
        {"build", root + "build/help/index.html"},
        {"prefix/bin", root + "prefix/share/folivo/help/index.html"},
        // Neither: the page beside the program, which the desktop then fails to open.
        {"bare/bin", root + "bare/bin/help/index.html"},
    };
    for (const Case& c : cases) {
        SetProgramDirForTesting(root + c.programDir);
        EXPECT_EQ(HelpPagePath(), c.expected) << c.programDir;
    }
    SetProgramDirForTesting("");
}

TEST(WritableFolder, ReadOnlyFoldersAndOtherThingsAreNot)
{
    const TempDir tree;
    const std::string dir = tree.Path();
    EXPECT_TRUE(IsWritableFolder(dir));
    EXPECT_TRUE(IsWritableFolder(dir + "/"));
    const std::string file = tree.Write("file", "x");
    EXPECT_FALSE(IsWritableFolder(file));
    EXPECT_FALSE(IsWritableFolder(dir + "/missing"));
    EXPECT_FALSE(IsWritableFolder(""));
    {
        // Also for the superuser, whom no permission bit stops.
        const ReadOnly locked(dir);
        EXPECT_FALSE(IsWritableFolder(dir));
    }
    EXPECT_TRUE(IsWritableFolder(dir));
}

TEST(UserSettingsDir, FollowsTheBaseDirectoryRules)
{
    struct Case {
        std::optional<std::string> config, home;
        const char* expected;
    };
    const Case cases[] = {
        {"/cfg", "/home/u", "/cfg/folivo/"},
        {"/cfg/", "/home/u", "/cfg/folivo/"},
        {std::nullopt, "/home/u", "/home/u/.config/folivo/"},
        {"", "/home/u/", "/home/u/.config/folivo/"},
        // A relative setting is to be ignored.
        {"cfg", "/home/u", "/home/u/.config/folivo/"},
    };
    for (const Case& c : cases) {
        const EnvScope config("XDG_CONFIG_HOME", c.config);
        const EnvScope home("HOME", c.home);
        EXPECT_EQ(UserSettingsDir(), c.expected) << c.config.value_or("(unset)");
    }
}

TEST(SettingsDir, ChosenOnceBetweenTheProgramsFolderAndTheUsers)
{
    const TempDir tree;
    const std::string program = tree.Path() + "/bin/";
    const std::string config = tree.Path() + "/config";
    fs::create_directories(program);
    const EnvScope env("XDG_CONFIG_HOME", config);

    SetProgramDirForTesting(program);
    EXPECT_EQ(SettingsDir(), program) << "before the choice";
    ChooseSettingsDir();
    EXPECT_EQ(SettingsDir(), program);
    {
        // The choice stands while the program runs, whatever becomes of the folder.
        const ReadOnly locked(program);
        EXPECT_EQ(SettingsDir(), program);
        ChooseSettingsDir();
        EXPECT_EQ(SettingsDir(), config + "/folivo/");
        EXPECT_FALSE(fs::exists(config)) << "the folder is made at the first close, not before";
        ASSERT_TRUE(CreateSettingsDir());
        EXPECT_TRUE(fs::is_directory(config + "/folivo"));
        EXPECT_EQ(fs::status(config).permissions() & fs::perms::all, fs::perms::owner_all);
        EXPECT_TRUE(CreateSettingsDir()) << "again, when it is there";
    }
    SetProgramDirForTesting("");
}

class SettingsPlace : public ViewerTest {};

TEST_F(SettingsPlace, AReadOnlyProgramFolderKeepsTheSettingsInTheUsersFolderAcrossStarts)
{
    const std::string config = data_->Path() + "/config";
    const EnvScope env("XDG_CONFIG_HOME", config);
    const std::string userIni = config + "/folivo/fovi.ini";
    {
        const ReadOnly locked(programDir_->Path());
        ChooseSettingsDir();
        Start();
        Main().mnuVisibleToolBar->Click();
        ASSERT_FALSE(Main().ToolBar);
        Main().mnuFileExit->Click();
        ASSERT_TRUE(Application->Terminated());
        EXPECT_TRUE(fs::is_regular_file(userIni));
        EXPECT_FALSE(fs::exists(IniPath()));

        // The next start reads what the last close wrote.
        app_.reset();
        app_ = std::make_unique<AppScope>();
        ChooseSettingsDir();
        Start();
        EXPECT_FALSE(Main().ToolBar);
    }
    EXPECT_TRUE(Screen().Exceptions.empty());
}

TEST_F(SettingsPlace, AWritableProgramFolderKeepsItsOwnFile)
{
    const std::string config = data_->Path() + "/config";
    const EnvScope env("XDG_CONFIG_HOME", config);
    ChooseSettingsDir();
    Start();
    Main().mnuFileExit->Click();
    EXPECT_TRUE(fs::is_regular_file(IniPath()));
    EXPECT_FALSE(fs::exists(config));
}

}  // namespace
