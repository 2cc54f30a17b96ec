#include "filesystem.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "filename.h"
#include "collation.h"

namespace {

// Characters of a lower-cased name, one element per character, so that "?" takes a whole
// character and not one byte of it. A byte that does not start well-formed UTF-8 becomes a
// value above every code point: it still matches itself and "?", and nothing else.
std::vector<char32_t> Characters(const std::string& s)
{
    std::vector<char32_t> out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        size_t n = c < 0x80 ? 1 : c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3
                 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
        char32_t cp = n == 1 ? c : n == 2 ? c & 0x1F : n == 3 ? c & 0x0F : c & 0x07;
        bool ok = n != 0 && i + n <= s.size();
        for (size_t k = 1; ok && k < n; ++k) {
            unsigned char t = static_cast<unsigned char>(s[i + k]);
            ok = (t & 0xC0) == 0x80;
            cp = (cp << 6) | (t & 0x3F);
        }
        constexpr char32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
        if (ok && (cp < minimum[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)))
            ok = false;
        if (ok) {
            out.push_back(cp);
            i += n;
        } else {
            out.push_back(0x110000 + c);
            ++i;
        }
    }
    return out;
}

bool WildcardMatch(const std::vector<char32_t>& pattern, const std::vector<char32_t>& name)
{
    size_t p = 0, n = 0;
    size_t star = std::string::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == U'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == U'*') {
            star = p++;
            resume = n;
        } else if (star != std::string::npos) {
            // Let the last "*" swallow one more character and try again from there.
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == U'*')
        ++p;
    return p == pattern.size();
}

struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};

class Search {
public:
    Search(std::string folder, const std::string& namePattern, DIR* dir)
        : folder_(std::move(folder)), pattern_(Characters(CharLower(namePattern))), dir_(dir)
    {
    }

    bool Next(TWin32FindData& data)
    {
        // "." and ".." first, whatever the file system's own order, as callers that skip the
        // first two entries expect.
        while (dots_ < 2) {
            std::string name = dots_++ == 0 ? "." : "..";
            if (Matches(name)) {
                Fill(name, DT_DIR, data);
                return true;
            }
        }
        if (!exactDone_) {
            exactDone_ = true;
            if (!exact_.empty()) {
                Fill(exact_, DT_UNKNOWN, data);
                return true;
            }
        }
        while (dirent* e = readdir(dir_.get())) {
            std::string name = e->d_name;
            if (name == "." || name == ".." || name == exact_)
                continue;
            if (Matches(name)) {
                Fill(name, e->d_type, data);
                return true;
            }
        }
        return false;
    }

    // A pattern without wildcards that names an existing entry exactly: that entry comes
    // first, without reading the whole folder (the page display asks this for every page).
    void SetExact(std::string name) { exact_ = std::move(name); }

private:
    bool Matches(const std::string& name) const
    {
        // Plain ASCII names, nearly every page file, are folded into a reused buffer: a folder
        // of ten thousand pages is matched without an allocation per entry.
        folded_.clear();
        for (char ch : name) {
            const unsigned char c = static_cast<unsigned char>(ch);
            if (c >= 0x80)
                return WildcardMatch(pattern_, Characters(CharLower(name)));
            folded_.push_back(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
        }
        return WildcardMatch(pattern_, folded_);
    }

    void Fill(const std::string& name, unsigned char type, TWin32FindData& data) const
    {
        std::uint32_t attributes = 0;
        if (type == DT_DIR) {
            attributes |= FILE_ATTRIBUTE_DIRECTORY;
        } else if (type != DT_REG) {
            // The listing does not say (a link, or a file system that leaves the type out):
            // a link is described by what it points to, a dangling one by the link itself.
            // Plain files and folders need no status call, which is most of a folder scan.
            const std::string path = folder_ + name;
            struct stat st;
            if ((stat(path.c_str(), &st) == 0 || lstat(path.c_str(), &st) == 0) && S_ISDIR(st.st_mode))
                attributes |= FILE_ATTRIBUTE_DIRECTORY;
        }
        if (name == "." || name == "..")
            attributes |= FILE_ATTRIBUTE_DIRECTORY;
        else if (name[0] == '.')
            attributes |= FILE_ATTRIBUTE_HIDDEN;
        data.cFileName = name;
        data.dwFileAttributes = attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL;
    }

    std::string folder_;
    std::vector<char32_t> pattern_;
    std::unique_ptr<DIR, DirCloser> dir_;
    int dots_ = 0;
    mutable std::vector<char32_t> folded_;
    std::string exact_;
    bool exactDone_ = false;
};

// Open searches by handle. A handle is a number, never a pointer, so a stale or foreign
// handle is looked up and refused instead of being followed.
struct Registry {
    std::mutex mutex;
    std::unordered_map<HFIND, std::unique_ptr<Search>> searches;
    HFIND next = 1;
};

Registry& Searches()
{
    static Registry registry;
    return registry;
}

}  // namespace

HFIND FindFirstFile(const std::string& pattern, TWin32FindData& data)
{
    size_t slash = LastDelimiter(PathDelimiters, pattern);
    std::string folder = slash == std::string::npos ? std::string() : pattern.substr(0, slash + 1);
    std::string name = pattern.substr(folder.size());
    if (name.empty())
        return INVALID_HANDLE_VALUE;
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return INVALID_HANDLE_VALUE;
    auto search = std::make_unique<Search>(folder, name, dir);
    struct stat st;
    if (name.find_first_of("*?") == std::string::npos && name != "." && name != ".." &&
        lstat((folder + name).c_str(), &st) == 0)
        search->SetExact(name);
    if (!search->Next(data))
        return INVALID_HANDLE_VALUE;

    Registry& r = Searches();
    std::lock_guard lock(r.mutex);
    HFIND h = r.next++;
    r.searches.emplace(h, std::move(search));
    return h;
}

bool FindNextFile(HFIND h, TWin32FindData& data)
{
    Registry& r = Searches();
    std::lock_guard lock(r.mutex);
    auto it = r.searches.find(h);
    return it != r.searches.end() && it->second->Next(data);
}

void FindClose(HFIND h)
{
    Registry& r = Searches();
    std::lock_guard lock(r.mutex);
    auto it = r.searches.find(h);
    if (it != r.searches.end())
        r.searches.erase(it);
}

std::size_t OpenFindHandles()
{
    Registry& r = Searches();
    std::lock_guard lock(r.mutex);
    return r.searches.size();
}
