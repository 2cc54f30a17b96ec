#pragma once
// Directory search by pattern.
#include <cstddef>
#include <cstdint>
#include <string>

constexpr std::uint32_t FILE_ATTRIBUTE_HIDDEN = 0x02;
constexpr std::uint32_t FILE_ATTRIBUTE_DIRECTORY = 0x10;
// Set alone, for an entry that has none of the other attributes.
constexpr std::uint32_t FILE_ATTRIBUTE_NORMAL = 0x80;

struct TWin32FindData {
    std::string cFileName;  // the long name, as the folder listing spells it
    std::uint32_t dwFileAttributes = 0;
};

using HFIND = std::uintptr_t;
constexpr HFIND INVALID_HANDLE_VALUE = ~HFIND{0};

// Starts a search. pattern is a folder part up to its last "/" (none: the current folder)
// and a name pattern in which "*" stands for any run of characters and "?" for any one
// character, case ignored. "." and ".." come first when they match; the other entries follow
// in the order the folder lists them. Returns INVALID_HANDLE_VALUE if the folder cannot be
// read or nothing matches; otherwise data holds the first entry.
HFIND FindFirstFile(const std::string& pattern, TWin32FindData& data);
// The next matching entry; false when there is none (or the handle is not an open search).
bool FindNextFile(HFIND h, TWin32FindData& data);
// Ends a search. Unknown, closed and invalid handles are ignored.
void FindClose(HFIND h);
// Searches started and not yet closed.
std::size_t OpenFindHandles();
