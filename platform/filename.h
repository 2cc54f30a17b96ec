#pragma once
// Path helpers that cut a path at its last separator. The searches know the code page: in a
// double-byte code page the second byte of a character can equal a separator ("\" is 0x5C)
// and is never taken for one.
#include <cstddef>
#include <string>

enum class CodePage {
    Utf8,   // no byte of a multi-byte character is below 0x80
    Cp932,  // lead bytes 0x81-0x9F and 0xE0-0xFC take the next byte with them
};

// The code page of file names on this system.
constexpr CodePage SystemCodePage = CodePage::Utf8;

// The path delimiter, and the characters that end a folder part (POSIX has no drive colon).
constexpr char PathDelim = '/';
inline const std::string PathDelimiters = "/";

// Index of the last byte of s that is one of delims and not the second byte of a double-byte
// character, or std::string::npos. delims holds single-byte characters only.
size_t LastDelimiter(const std::string& delims, const std::string& s,
                     CodePage cp = SystemCodePage);

// True if s[index] is one of delims and not the second byte of a double-byte character.
bool IsDelimiter(const std::string& delims, const std::string& s, size_t index,
                 CodePage cp = SystemCodePage);

// From the last "." to the end, provided no delimiter follows that dot; otherwise empty.
std::string ExtractFileExt(const std::string& path, CodePage cp = SystemCodePage,
                           const std::string& delims = PathDelimiters);
// Everything after the last delimiter (the whole path if there is none).
std::string ExtractFileName(const std::string& path, CodePage cp = SystemCodePage,
                            const std::string& delims = PathDelimiters);
// Everything up to and including the last delimiter (empty if there is none).
std::string ExtractFilePath(const std::string& path, CodePage cp = SystemCodePage,
                            const std::string& delims = PathDelimiters);

// The path with one trailing delim added if it does not end with one already.
std::string IncludeTrailingPathDelimiter(const std::string& path, CodePage cp = SystemCodePage,
                                         char delim = PathDelim);
// The path without its trailing delim, if it ends with one.
std::string ExcludeTrailingPathDelimiter(const std::string& path, CodePage cp = SystemCodePage,
                                         char delim = PathDelim);
