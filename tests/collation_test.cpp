#include "collation.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <random>

#include <gtest/gtest.h>

#include "classes.h"
#include "support.h"

namespace {

// The user's collation is fixed at its first use, so other locales are tried in a fresh run of
// this program that the environment variable below turns on.
constexpr const char* kChildLocale = "FOVI_LOCALE_TEST_CHILD";

std::vector<std::string> Sorted(const std::vector<std::string>& items)
{
    TStringList list;
    for (const auto& s : items)
        list.Add(s);
    list.Sort();
    return list.Items();
}

// Orders that hold in every locale: case is ignored, digits are characters, the whole path
// counts.
void CheckPageOrder()
{
    EXPECT_EQ(Sorted({"PAGE3.jpg", "page1.jpg", "Page2.jpg"}),
              (std::vector<std::string>{"page1.jpg", "Page2.jpg", "PAGE3.jpg"}));

    std::vector<std::string> numbered;
    for (int i = 12; i >= 1; --i)
        numbered.push_back(std::to_string(i) + ".jpg");
    EXPECT_EQ(Sorted(numbered),
              (std::vector<std::string>{"1.jpg", "10.jpg", "11.jpg", "12.jpg", "2.jpg", "3.jpg",
                                        "4.jpg", "5.jpg", "6.jpg", "7.jpg", "8.jpg", "9.jpg"}));

    // The scan adds the JPEG files first.
    EXPECT_EQ(Sorted({"/c/02.jpg", "/c/01.bmp", "/c/03.bmp"}),
              (std::vector<std::string>{"/c/01.bmp", "/c/02.jpg", "/c/03.bmp"}));

    EXPECT_EQ(Sorted({"/c/vol2/01.jpg", "/c/vol10/01.jpg", "/c/vol1/10.jpg", "/c/Vol1/03.jpg",
                      "/c/vol1/02.jpg"}),
              (std::vector<std::string>{"/c/vol1/02.jpg", "/c/Vol1/03.jpg", "/c/vol1/10.jpg",
                                        "/c/vol10/01.jpg", "/c/vol2/01.jpg"}));

    EXPECT_EQ(CompareStringUserIgnoreCase("PAGE1.JPG", "page1.jpg"), 0);
    EXPECT_EQ(CompareStringUserIgnoreCase("É.jpg", "é.JPG"), 0);
    EXPECT_LT(CompareStringUserIgnoreCase("page1", "page1.jpg"), 0);
    EXPECT_GT(CompareStringUserIgnoreCase("page1.jpg", "page1"), 0);
    EXPECT_LT(CompareStringUserIgnoreCase("", "a"), 0);
    EXPECT_EQ(CompareStringUserIgnoreCase("", ""), 0);
}

TEST(CompareStringUserIgnoreCase, OrdersPagesInThisProcessLocale)
{
    CheckPageOrder();
}

TEST(CharLower, LowersEveryCharacterAndKeepsStrayBytes)
{
    const std::pair<std::string, std::string> cases[] = {
        {"/Comics/VOL1/A.JPG", "/comics/vol1/a.jpg"},
        {"ÉTÉ.Bmp", "été.bmp"},
        {"ＡＢＣ", "ａｂｃ"},  // full-width letters
        {"ΣΟΦΙΑ", "σοφια"},
        {"表紙カバー01.jpg", "表紙カバー01.jpg"},
        {"", ""},
        // Bytes that are not UTF-8 (a stray lead, an overlong "/", a lone continuation) stay.
        {"A\xC3" "B", "a\xC3" "b"},
        {"X\xC0\xAFY", "x\xC0\xAFy"},
        {"\x80Ä\xFF", "\x80ä\xFF"},
        {"\x95\x5C.JPG", "\x95\x5C.jpg"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(CharLower(in), out) << in;
}

TEST(CompareStringUserIgnoreCase, OrdersPagesUnderCAndJapaneseLocales)
{
    // ICU carries the collation data, so the Japanese order needs no generated system locale.
    for (const char* locale : {"C", "POSIX", "C.UTF-8", "ja_JP.UTF-8", "en_US.UTF-8", "da_DK.UTF-8"}) {
        SCOPED_TRACE(locale);
        EXPECT_EQ(RunSelfInLocale(locale, "InLocale.*", kChildLocale), 0);
    }
}

class InLocale : public testing::Test {
protected:
    void SetUp() override
    {
        const char* child = std::getenv(kChildLocale);
        if (!child)
            GTEST_SKIP() << "runs in the per-locale child of OrdersPagesUnderCAndJapaneseLocales";
        locale = child;
    }
    std::string locale;
};

TEST_F(InLocale, PageOrder)
{
    CheckPageOrder();
}

// The sort takes short cuts (the shared folder, plain ASCII names); whatever it takes, the
// result must be in the order of the comparison itself.
TEST_F(InLocale, SortAgreesWithTheComparison)
{
    const std::vector<std::vector<std::string>> alphabets = {
        {"0", "1", "9", "a", "B", "z", ".", "/"},                // plain names
        {"0", "1", "a", "B", ".", "/", "_", "-", " ", "あ", "É"},  // with everything else
    };
    std::mt19937 random(7);
    for (const auto& alphabet : alphabets) {
        for (const std::string& prefix : {std::string("/pages/"), std::string()}) {
            std::vector<std::string> names;
            for (int i = 0; i < 400; ++i) {
                std::string name = prefix;
                const int length = 1 + static_cast<int>(random() % 8);
                for (int k = 0; k < length; ++k)
                    name += alphabet[random() % alphabet.size()];
                names.push_back(name);
            }
            SortStringsUserIgnoreCase(names);
            for (size_t i = 1; i < names.size(); ++i)
                ASSERT_LE(CompareStringUserIgnoreCase(names[i - 1], names[i]), 0)
                    << locale << ": " << names[i - 1] << " before " << names[i];
        }
    }
}

TEST_F(InLocale, KanjiOrder)
{
    // Japanese collation puts 亜 (U+4E9C) first of all kanji; code-point order puts 一 (U+4E00)
    // before it.
    int r = CompareStringUserIgnoreCase("亜.jpg", "一.jpg");
    if (locale.rfind("ja", 0) == 0)
        EXPECT_LT(r, 0);
    else
        EXPECT_GT(r, 0);
    // Latin letters come before kana everywhere.
    EXPECT_LT(CompareStringUserIgnoreCase("Z.jpg", "あ.jpg"), 0);
}

}  // namespace
