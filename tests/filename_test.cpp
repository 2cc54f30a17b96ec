#include "filename.h"

#include <gtest/gtest.h>

namespace {

// "表" in code page 932 is 0x95 0x5C: its second byte is the value of the backslash.
#define HYO "\x95\x5C"

struct SplitCase {
    const char* path;
    CodePage cp;
    const char* delims;
    const char* ext;
    const char* name;
    const char* folder;
};

class Split : public testing::TestWithParam<SplitCase> {};

TEST_P(Split, ExtensionNameAndFolder)
{
    const SplitCase& c = GetParam();
    EXPECT_EQ(ExtractFileExt(c.path, c.cp, c.delims), c.ext);
    EXPECT_EQ(ExtractFileName(c.path, c.cp, c.delims), c.name);
    EXPECT_EQ(ExtractFilePath(c.path, c.cp, c.delims), c.folder);
}

constexpr CodePage U8 = CodePage::Utf8;
constexpr CodePage J = CodePage::Cp932;

INSTANTIATE_TEST_SUITE_P(
    Paths, Split,
    testing::Values(
        // POSIX paths in UTF-8.
        SplitCase{"/home/u/a.b.JPG", U8, "/", ".JPG", "a.b.JPG", "/home/u/"},
        SplitCase{"/home/u.d/readme", U8, "/", "", "readme", "/home/u.d/"},
        SplitCase{"noext", U8, "/", "", "noext", ""},
        SplitCase{"/dir/", U8, "/", "", "", "/dir/"},
        SplitCase{"", U8, "/", "", "", ""},
        SplitCase{".hidden", U8, "/", ".hidden", ".hidden", ""},
        SplitCase{"/漫画/表紙.jpg", U8, "/", ".jpg", "表紙.jpg", "/漫画/"},
        SplitCase{"/a\\b.jpg", U8, "/", ".jpg", "a\\b.jpg", "/"},
        // Code page 932: a trail byte 0x5C is part of its character, never a separator.
        SplitCase{"C:\\" HYO ".jpg", J, "\\:", ".jpg", HYO ".jpg", "C:\\"},
        SplitCase{HYO ".jpg", J, "\\:", ".jpg", HYO ".jpg", ""},
        SplitCase{"C:\\x" HYO "\\y.jpg", J, "\\:", ".jpg", "y.jpg", "C:\\x" HYO "\\"},
        SplitCase{"a.b" HYO "c", J, "\\:", ".b" HYO "c", "a.b" HYO "c", ""},
        SplitCase{"C:a.jpg", J, "\\:", ".jpg", "a.jpg", "C:"},
        // Which bytes are trail bytes depends on what comes before: here 0x95 0x95 is one
        // character and the 0x5C after it a real backslash.
        SplitCase{"C:\\\x95\x95\x5C", J, "\\:", "", "", "C:\\\x95\x95\x5C"},
        // The edges of the lead-byte ranges; 0xB1 is a single-byte katakana.
        SplitCase{"\x80\x5C" "x", J, "\\", "", "x", "\x80\x5C"},
        SplitCase{"\x81\x5C" "x", J, "\\", "", "\x81\x5C" "x", ""},
        SplitCase{"\x9F\x5C" "x", J, "\\", "", "\x9F\x5C" "x", ""},
        SplitCase{"\xA0\x5C" "x", J, "\\", "", "x", "\xA0\x5C"},
        SplitCase{"\xB1\x5C" "x", J, "\\", "", "x", "\xB1\x5C"},
        SplitCase{"\xE0\x5C" "x", J, "\\", "", "\xE0\x5C" "x", ""},
        SplitCase{"\xFC\x5C" "x", J, "\\", "", "\xFC\x5C" "x", ""},
        SplitCase{"\xFD\x5C" "x", J, "\\", "", "x", "\xFD\x5C"},
        // A lead byte with nothing after it stands alone.
        SplitCase{"a\\b\x95", J, "\\", "", "b\x95", "a\\"},
        // The same bytes read as UTF-8 do split at 0x5C.
        SplitCase{"a.b" HYO "c", U8, "\\:", "", "c", "a.b" HYO}));

TEST(LastDelimiter, FindsTheSeparatorBeforeADoubleByteCharacter)
{
    const std::string path = "C:\\" HYO ".jpg";
    EXPECT_EQ(LastDelimiter("\\:", path, CodePage::Cp932), 2u);
    EXPECT_EQ(LastDelimiter("\\:", path, CodePage::Utf8), 4u);
    EXPECT_EQ(LastDelimiter("/", path, CodePage::Cp932), std::string::npos);
    EXPECT_EQ(LastDelimiter("/", "/a/b/c"), 4u);
}

TEST(TrailingDelimiter, AddsAndRemovesOnlyARealSeparator)
{
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a/b"), "/a/b/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a/b/"), "/a/b/");
    EXPECT_EQ(IncludeTrailingPathDelimiter(""), "/");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/a/b/"), "/a/b");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/a/b"), "/a/b");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/"), "");
    EXPECT_EQ(ExcludeTrailingPathDelimiter(""), "");

    const std::string hyo = "x" HYO;
    EXPECT_EQ(IncludeTrailingPathDelimiter(hyo, CodePage::Cp932, '\\'), hyo + "\\");
    EXPECT_EQ(ExcludeTrailingPathDelimiter(hyo, CodePage::Cp932, '\\'), hyo);
    EXPECT_EQ(ExcludeTrailingPathDelimiter(hyo + "\\", CodePage::Cp932, '\\'), hyo);
    EXPECT_EQ(ExcludeTrailingPathDelimiter(hyo, CodePage::Utf8, '\\'), "x\x95");
}

TEST(IsDelimiter, LooksAtCharacterStartsOnly)
{
    const std::string s = "a" HYO "\\";
    EXPECT_FALSE(IsDelimiter("\\", s, 2, CodePage::Cp932));
    EXPECT_TRUE(IsDelimiter("\\", s, 3, CodePage::Cp932));
    EXPECT_TRUE(IsDelimiter("\\", s, 2, CodePage::Utf8));
    EXPECT_FALSE(IsDelimiter("\\", s, 4, CodePage::Cp932));
}

}  // namespace
