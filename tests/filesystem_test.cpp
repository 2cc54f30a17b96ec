#include "filesystem.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support.h"

namespace {

std::vector<TWin32FindData> Search(const std::string& pattern)
{
    std::vector<TWin32FindData> found;
    TWin32FindData data;
    HFIND h = FindFirstFile(pattern, data);
    if (h == INVALID_HANDLE_VALUE)
        return found;
    do
        found.push_back(data);
    while (FindNextFile(h, data));
    FindClose(h);
    return found;
}

std::vector<std::string> SortedNames(const std::vector<TWin32FindData>& entries)
{
    std::vector<std::string> names;
    for (const auto& e : entries)
        names.push_back(e.cFileName);
    std::sort(names.begin(), names.end());
    return names;
}

size_t OpenDescriptors()
{
    size_t n = 0;
    if (DIR* d = opendir("/proc/self/fd")) {
        while (readdir(d))
            ++n;
        closedir(d);
    }
    return n;
}

// A page folder with the usual mix: pictures in several cases, a look-alike extension, a
// hidden file, a read-only file, a subfolder named like a picture, links to a folder and to
// nothing.
class FolderSearch : public testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"a.JPG", "b.jpg", "c.Bmp", "d.jpeg", ".h.jpg", "É.jpg", "r.jpg"})
            dir.Write(name, "x");
        dir.Write("x.jpg/inner.jpg", "x");
        chmod((root + "r.jpg").c_str(), 0444);
        ASSERT_EQ(symlink("x.jpg", (root + "link.jpg").c_str()), 0);
        ASSERT_EQ(symlink("missing", (root + "dangling.jpg").c_str()), 0);
    }

    TempDir dir;
    std::string root = dir.Path() + "/";
};

struct PatternCase {
    const char* pattern;
    std::vector<std::string> names;
};

TEST_F(FolderSearch, MatchesPatternsIgnoringCase)
{
    const std::vector<PatternCase> cases = {
        {"*", {".", "..", ".h.jpg", "a.JPG", "b.jpg", "c.Bmp", "d.jpeg", "dangling.jpg",
               "link.jpg", "r.jpg", "x.jpg", "É.jpg"}},
        {"*.jpg", {".h.jpg", "a.JPG", "b.jpg", "dangling.jpg", "link.jpg", "r.jpg", "x.jpg", "É.jpg"}},
        {"*.JPG", {".h.jpg", "a.JPG", "b.jpg", "dangling.jpg", "link.jpg", "r.jpg", "x.jpg", "É.jpg"}},
        {"*.bmp", {"c.Bmp"}},
        {"*.jpeg", {"d.jpeg"}},
        // "?" takes one character, also one of two bytes.
        {"?.jpg", {"a.JPG", "b.jpg", "r.jpg", "x.jpg", "É.jpg"}},
        {"?.jp?", {"a.JPG", "b.jpg", "r.jpg", "x.jpg", "É.jpg"}},
        {"*e*", {"d.jpeg"}},
        {"a*", {"a.JPG"}},
        {"*.*g", {".h.jpg", "a.JPG", "b.jpg", "d.jpeg", "dangling.jpg", "link.jpg", "r.jpg",
                  "x.jpg", "É.jpg"}},
        // Without a wildcard the name must match whole, case ignored, non-ASCII too.
        {"a.jpg", {"a.JPG"}},
        {"B.JPG", {"b.jpg"}},
        {"é.JPG", {"É.jpg"}},
        {"a.jp", {}},
        {"a.jpgx", {}},
        {".", {"."}},
        {"..", {".."}},
        {".*", {".", "..", ".h.jpg"}},
        {"*.png", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        auto names = c.names;
        std::sort(names.begin(), names.end());
        EXPECT_EQ(SortedNames(Search(root + c.pattern)), names);
    }
}

TEST_F(FolderSearch, ReportsDotsFirstAndTheAttributes)
{
    auto entries = Search(root + "*");
    ASSERT_GE(entries.size(), 2u);
    EXPECT_EQ(entries[0].cFileName, ".");
    EXPECT_EQ(entries[1].cFileName, "..");

    std::map<std::string, std::uint32_t> attr;
    for (const auto& e : entries)
        attr[e.cFileName] = e.dwFileAttributes;
    EXPECT_TRUE(attr["."] & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(attr[".."] & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(attr["x.jpg"] & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(attr["link.jpg"] & FILE_ATTRIBUTE_DIRECTORY) << "a link is what it points to";
    EXPECT_FALSE(attr["dangling.jpg"] & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(attr[".h.jpg"], FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(attr["r.jpg"], FILE_ATTRIBUTE_NORMAL) << "the write bit is not asked for";
    EXPECT_EQ(attr["a.JPG"], FILE_ATTRIBUTE_NORMAL);
    EXPECT_FALSE(attr["."] & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(attr[".."] & FILE_ATTRIBUTE_HIDDEN);
}

TEST_F(FolderSearch, CannotStartWithoutAReadableFolderOrAName)
{
    TWin32FindData data;
    data.cFileName = "untouched";
    for (const std::string& pattern :
         {root + "nope/*", root + "b.jpg/*", root + "b.jpg/", root, root + "*.png", std::string()}) {
        SCOPED_TRACE(pattern);
        EXPECT_EQ(FindFirstFile(pattern, data), INVALID_HANDLE_VALUE);
    }
    EXPECT_EQ(data.cFileName, "untouched");

    if (geteuid() != 0) {  // root reads every folder
        TempDir locked;
        locked.Write("a.jpg", "x");
        chmod(locked.Path().c_str(), 0);
        EXPECT_EQ(FindFirstFile(locked.Path() + "/*", data), INVALID_HANDLE_VALUE);
    }
}

TEST_F(FolderSearch, APatternWithoutFolderSearchesTheCurrentFolder)
{
    char* cwd = getcwd(nullptr, 0);
    ASSERT_NE(cwd, nullptr);
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
    auto found = SortedNames(Search("B.JPG"));
    EXPECT_EQ(chdir(cwd), 0);
    free(cwd);
    EXPECT_EQ(found, std::vector<std::string>{"b.jpg"});
}

TEST_F(FolderSearch, HandlesAreReleasedAndStaleOnesRefused)
{
    const size_t handles = OpenFindHandles();
    const size_t descriptors = OpenDescriptors();
    TWin32FindData data;
    // More searches than a process may hold descriptors, each closed after one entry, after
    // all entries, or never started.
    for (int i = 0; i < 3000; ++i) {
        HFIND h = FindFirstFile(root + (i % 3 == 2 ? "*.png" : "*"), data);
        if (i % 3 == 2) {
            ASSERT_EQ(h, INVALID_HANDLE_VALUE);
            continue;
        }
        ASSERT_NE(h, INVALID_HANDLE_VALUE) << "search " << i;
        while (i % 3 == 1 && FindNextFile(h, data)) {
        }
        FindClose(h);
        EXPECT_FALSE(FindNextFile(h, data));
        FindClose(h);
    }
    EXPECT_EQ(OpenFindHandles(), handles);
    EXPECT_EQ(OpenDescriptors(), descriptors);

    FindClose(INVALID_HANDLE_VALUE);
    EXPECT_FALSE(FindNextFile(INVALID_HANDLE_VALUE, data));
    EXPECT_FALSE(FindNextFile(0, data));
}

}  // namespace
