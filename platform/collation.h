#pragma once
// Collation: comparing, sorting and lower-casing text as the user's locale does.
#include <string>
#include <vector>

// Compares two whole strings (UTF-8) with the collation of the user's locale, ignoring case;
// digits are compared as characters, not as numbers. Negative, zero or positive.
int CompareStringUserIgnoreCase(const std::string& a, const std::string& b);

// Sorts into the order of CompareStringUserIgnoreCase.
void SortStringsUserIgnoreCase(std::vector<std::string>& items);

// Lower-cases a string with the system code page's rules (UTF-8 here).
std::string CharLower(const std::string& s);
