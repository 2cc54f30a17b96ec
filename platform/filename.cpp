#include "filename.h"

namespace {

bool IsLeadByte(unsigned char c, CodePage cp)
{
    switch (cp) {
    case CodePage::Cp932:
        return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    case CodePage::Utf8:
        // Continuation bytes are 0x80 or more and can never equal a delimiter, so every
        // byte may be looked at on its own.
        return false;
    }
    return false;
}

// Calls visit(i) for every index that starts a character. Whether a byte is a trail byte
// depends on everything before it (the 0x5C of 0x95 0x95 0x5C is a backslash, that of
// 0x41 0x95 0x5C is not), so the walk starts at the front even when we want the last match.
template <typename Visit>
void ForEachCharStart(const std::string& s, CodePage cp, Visit visit)
{
    size_t i = 0;
    while (i < s.size()) {
        visit(i);
        // A lead byte at the very end has no partner and stands alone.
        i += IsLeadByte(static_cast<unsigned char>(s[i]), cp) && i + 1 < s.size() ? 2 : 1;
    }
}

}  // namespace

size_t LastDelimiter(const std::string& delims, const std::string& s, CodePage cp)
{
    size_t last = std::string::npos;
    ForEachCharStart(s, cp, [&](size_t i) {
        if (delims.find(s[i]) != std::string::npos)
            last = i;
    });
    return last;
}

bool IsDelimiter(const std::string& delims, const std::string& s, size_t index, CodePage cp)
{
    if (index >= s.size() || delims.find(s[index]) == std::string::npos)
        return false;
    bool starts = false;
    ForEachCharStart(s, cp, [&](size_t i) {
        if (i == index)
            starts = true;
    });
    return starts;
}

std::string ExtractFileExt(const std::string& path, CodePage cp, const std::string& delims)
{
    size_t i = LastDelimiter("." + delims, path, cp);
    if (i != std::string::npos && path[i] == '.')
        return path.substr(i);
    return {};
}

std::string ExtractFileName(const std::string& path, CodePage cp, const std::string& delims)
{
    size_t i = LastDelimiter(delims, path, cp);
    return i == std::string::npos ? path : path.substr(i + 1);
}

std::string ExtractFilePath(const std::string& path, CodePage cp, const std::string& delims)
{
    size_t i = LastDelimiter(delims, path, cp);
    return i == std::string::npos ? std::string() : path.substr(0, i + 1);
}

std::string IncludeTrailingPathDelimiter(const std::string& path, CodePage cp, char delim)
{
    if (!path.empty() && IsDelimiter(std::string(1, delim), path, path.size() - 1, cp))
        return path;
    return path + delim;
}

std::string ExcludeTrailingPathDelimiter(const std::string& path, CodePage cp, char delim)
{
    if (!path.empty() && IsDelimiter(std::string(1, delim), path, path.size() - 1, cp))
        return path.substr(0, path.size() - 1);
    return path;
}
