// fovi [--help | --version | PATH...]: the paths open as a drop of them on the page view does,
// once the main window is shown.
#include "Cmdline.h"

#include "Frmver.h"
#include "dragdrop.h"
#include "viewer.h"

namespace {

using TAction = TCommandLine::TAction;

TEST(CommandLine, OptionsAndPaths)
{
    struct Case {
        std::vector<std::string> args;
        TAction action;
        std::vector<std::string> paths;
    };
    const Case cases[] = {
        {{}, TAction::Run, {}},
        {{"a", "/b/c.jpg"}, TAction::Run, {"a", "/b/c.jpg"}},
        {{"--help"}, TAction::Help, {}},
        {{"a", "-h"}, TAction::Help, {}},
        {{"--version", "--help"}, TAction::Version, {}},
        {{"--colour"}, TAction::Error, {}},
        {{"-x"}, TAction::Error, {}},
        // "--" lets a name that begins with "-" through; "-" alone is a name.
        {{"--", "--help", "-x"}, TAction::Run, {"--help", "-x"}},
        {{"-"}, TAction::Run, {"-"}},
    };
    for (const Case& c : cases) {
        const TCommandLine line = ParseCommandLine(c.args);
        EXPECT_EQ(line.Action, c.action) << testing::PrintToString(c.args);
        EXPECT_EQ(line.Paths, c.paths) << testing::PrintToString(c.args);
        EXPECT_EQ(line.Error.empty(), c.action != TAction::Error);
    }
    EXPECT_EQ(VersionText(), std::string("Folivo ") + ProgramVersion + "\n");
    EXPECT_NE(UsageText().find("fovi [パス...]"), std::string::npos);
}

TEST(CommandLine, PathsAreMadeAbsoluteAndMissingOnesLeftOut)
{
    const TempDir tree;
    const std::string root = tree.Path() + "/";
    tree.Write("pages/01.jpg", "x");
    tree.Write("pages/sub/02.bmp", "x");
    const std::vector<std::string> given = {"pages",     "pages/",  "./pages/sub/../01.jpg", root + "pages/sub",
                                            "missing.jpg", "",      "pages/missing"};
    EXPECT_EQ(UsablePaths(given, root),
              (std::vector<std::string>{root + "pages", root + "pages", root + "pages/01.jpg", root + "pages/sub"}));
}

class StartWithPaths : public ViewerTest {
protected:
    // Starts as the entry point does: the drop is queued before the window is shown.
    void StartWith(const std::vector<std::string>& paths)
    {
        Start(false);
        DropOnStart(paths);
        EXPECT_EQ(Main().PageCount, 0) << "nothing happens before the window is shown";
        Main().Show();
        Application->ProcessMessages();
    }
    std::vector<std::string> Pages()
    {
        std::vector<std::string> v;
        for (int i = 0; i < Main().PageList->Count(); ++i)
            v.push_back(Main().PageList->Get(i));
        return v;
    }
};

TEST_F(StartWithPaths, OpensWhatADropOfThemOpens)
{
    const std::string a = MakeFolder("A", {{"2.jpg", SmallJpeg(400, 300)}, {"1.bmp", SmallBmp(300, 200)}});
    const std::string b = MakeFolder("B", {{"3.jpg", SmallJpeg(380, 300)}, {"notes.txt", "x"}});
    const std::vector<std::string> paths = {b + "/3.jpg", a};

    StartWith(paths);
    const std::vector<std::string> started = Pages();
    ASSERT_EQ(started, (std::vector<std::string>{a + "/1.bmp", a + "/2.jpg", b + "/3.jpg"}));
    EXPECT_EQ(Main().PageNo, 1);
    EXPECT_EQ(Main().stbMain->Panels(0)->Text(), a + "/1.bmp");
    EXPECT_EQ(Main().stbMain->Panels(1)->Text(), "Page: 1 / 3");
    EXPECT_EQ(OpenDropHandles(), 0u);

    Drop(paths);
    EXPECT_EQ(Pages(), started);
    EXPECT_TRUE(Screen().Exceptions.empty());
}

TEST_F(StartWithPaths, NoUsablePathStartsAsWithoutAny)
{
    StartWith(UsablePaths({data_->Path() + "/missing"}, "/"));
    EXPECT_EQ(Main().PageCount, 0);
    EXPECT_EQ(Main().PageNo, 0);
    EXPECT_EQ(Main().stbMain->Panels(1)->Text(), "Page: 0/0");
    EXPECT_EQ(OpenDropHandles(), 0u);
}

}  // namespace
