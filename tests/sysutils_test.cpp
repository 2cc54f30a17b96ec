#include "sysutils.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>

#include "exceptions.h"

namespace {

struct IntCase {
    std::string text;
    std::optional<int> strToInt;  // nullopt: not an integer for StrToInt
    int profile;                  // what a settings value with this text reads as
};

const IntCase kIntCases[] = {
    {"10", 10, 10},
    {" 10", 10, 10},
    {"   -42", -42, -42},
    {"+7", 7, 7},
    {"-3", -3, -3},
    {"0", 0, 0},
    {"007", 7, 7},
    {"$1F", 31, 31},
    {"$1f", 31, 31},
    {"-$10", -16, -16},
    {"+$10", 16, 16},
    {"0x1388", 5000, 5000},
    {"0X1388", 5000, 5000},
    {"-0x10", -16, -16},
    {" 0x10", 16, 16},
    {"0x", std::nullopt, 0},
    {"$", std::nullopt, 0},
    {"-", std::nullopt, 0},
    {"abc", std::nullopt, 0},
    {"", std::nullopt, 0},
    {" ", std::nullopt, 0},
    {"=", std::nullopt, 0},
    {"1 ", std::nullopt, 0},
    {"1x", std::nullopt, 0},
    {"12abc", std::nullopt, 0},
    {"- 5", std::nullopt, 0},
    {"+-5", std::nullopt, 0},
    {"\t5", std::nullopt, 0},
    {"1.5", std::nullopt, 0},
    {"$G", std::nullopt, 0},
    {"0x1G", std::nullopt, 0},
    {"0x-5", std::nullopt, 0},
    {"2147483647", INT_MAX, INT_MAX},
    {"-2147483648", INT_MIN, INT_MIN},
    {"2147483648", std::nullopt, 0},
    {"-2147483649", std::nullopt, 0},
    {"99999999999999999999", std::nullopt, 0},
    {"-99999999999999999999999999999999", std::nullopt, 0},
    {"$7FFFFFFF", INT_MAX, INT_MAX},
    {"-$80000000", INT_MIN, INT_MIN},
    {"$80000000", std::nullopt, 0},
    {"0x7FFFFFFF", INT_MAX, INT_MAX},
    {"0x80000000", std::nullopt, 0},
    {"0xFFFFFFFFFFFFFFFFFFFF", std::nullopt, 0},
    {"$FFFFFFFFFFFFFFFFFFFF", std::nullopt, 0},
};

TEST(StrToInt, TableOfTexts)
{
    for (const IntCase& c : kIntCases) {
        SCOPED_TRACE("text '" + c.text + "'");
        int value = 12345;
        EXPECT_EQ(TryStrToInt(c.text, value), c.strToInt.has_value());
        EXPECT_EQ(StrToIntDef(c.text, -777), c.strToInt.value_or(-777));
        if (c.strToInt) {
            EXPECT_EQ(value, *c.strToInt);
            EXPECT_EQ(StrToInt(c.text), *c.strToInt);
        } else {
            EXPECT_EQ(value, 12345) << "a failed conversion must leave the value alone";
            EXPECT_THROW(StrToInt(c.text), EConvertError);
        }
        EXPECT_EQ(ProfileStrToInt(c.text), c.profile);
    }
}

TEST(StrToInt, ErrorMessageQuotesTheText)
{
    try {
        StrToInt("abc");
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "'abc' は整数ではありません");
        EXPECT_STREQ(e.what(), "'abc' は整数ではありません");
    }
    try {
        StrToInt("");
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "'' は整数ではありません");
    }
}

TEST(IntToStr, DecimalWithMinus)
{
    EXPECT_EQ(IntToStr(0), "0");
    EXPECT_EQ(IntToStr(5000), "5000");
    EXPECT_EQ(IntToStr(-120), "-120");
    EXPECT_EQ(IntToStr(INT_MIN), "-2147483648");
    EXPECT_EQ(IntToStr(LLONG_MIN), "-9223372036854775808");
    EXPECT_EQ(StrToInt(IntToStr(INT_MIN)), INT_MIN);
}

}  // namespace
