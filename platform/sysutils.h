#pragma once
// Conversions between numbers and their decimal or hexadecimal text, with the class
// library's rules: what StrToInt accepts is also what the settings reader accepts.
#include <string>

// Decimal text, with a leading "-" for negative numbers.
std::string IntToStr(long long v);

// Optional leading spaces, an optional sign, then decimal digits, or hexadecimal digits after
// "$", "0x" or "0X". Nothing may follow the digits, and the value must fit in 32 bits.
// Raises EConvertError ("'<text>' は整数ではありません") for anything else.
int StrToInt(const std::string& s);
// The same reading; false (value untouched) where StrToInt would raise.
bool TryStrToInt(const std::string& s, int& value);
int StrToIntDef(const std::string& s, int def);

// The integer reading of a settings value: text longer than two characters that begins with
// "0x"/"0X" is hexadecimal; anything else is read as StrToInt does. Text that is not an
// integer, an empty text and values outside 32 bits read as 0. Never raises.
int ProfileStrToInt(const std::string& text);
