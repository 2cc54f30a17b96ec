#include "sysutils.h"

#include <cstdint>
#include <string_view>

#include "exceptions.h"

namespace {

int DigitValue(char c, int base)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (base == 16) {
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
    }
    return -1;
}

// Reads an unsigned run of digits that must fill the whole text. The magnitude is checked
// against the limit after every digit, so however long the text, nothing overflows.
bool ParseMagnitude(std::string_view digits, int base, std::int64_t limit, std::int64_t& magnitude)
{
    if (digits.empty())
        return false;
    std::int64_t m = 0;
    for (char c : digits) {
        int d = DigitValue(c, base);
        if (d < 0)
            return false;
        m = m * base + d;
        if (m > limit)
            return false;
    }
    magnitude = m;
    return true;
}

constexpr std::int64_t kIntMax = 2147483647;

}  // namespace

std::string IntToStr(long long v) { return std::to_string(v); }

bool TryStrToInt(const std::string& s, int& value)
{
    std::string_view t(s);
    size_t i = 0;
    while (i < t.size() && t[i] == ' ')
        ++i;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
        negative = t[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < t.size() && t[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < t.size() && t[i] == '0' && (t[i + 1] == 'x' || t[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    std::int64_t magnitude = 0;
    if (!ParseMagnitude(t.substr(i), base, negative ? kIntMax + 1 : kIntMax, magnitude))
        return false;
    value = static_cast<int>(negative ? -magnitude : magnitude);
    return true;
}

int StrToInt(const std::string& s)
{
    int v = 0;
    if (!TryStrToInt(s, v))
        throw EConvertError("'" + s + "' は整数ではありません");
    return v;
}

int StrToIntDef(const std::string& s, int def)
{
    int v = 0;
    return TryStrToInt(s, v) ? v : def;
}

int ProfileStrToInt(const std::string& text)
{
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        std::int64_t magnitude = 0;
        if (!ParseMagnitude(std::string_view(text).substr(2), 16, kIntMax, magnitude))
            return 0;
        return static_cast<int>(magnitude);
    }
    int v = 0;
    return TryStrToInt(text, v) ? v : 0;
}
