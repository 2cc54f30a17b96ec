#include "inifile.h"

#include <algorithm>
#include <cerrno>
#include <deque>
#include <optional>
#include <string_view>

#include "bounds.h"
#include "exceptions.h"
#include "fileio.h"
#include "sysutils.h"

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
// Lines this class writes end the way the profile functions end them.
constexpr std::string_view kNewLineEnd = "\r\n";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return FoldAscii(x) == FoldAscii(y); });
}

// Views into the file's text, or into text this class added; a whole settings file is then
// held once rather than once more per line.
struct Line {
    std::string_view text;  // without its line end
    std::string_view end;   // "\r\n", "\n", or empty for a last line without one
};

enum class Kind { Other, Section, Key };

struct LineInfo {
    Kind kind = Kind::Other;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // for keys, trimmed
};

LineInfo Classify(std::string_view text)
{
    LineInfo info;
    std::string_view t = Trim(text);
    if (t.empty() || t.front() == ';' || t.front() == '#')
        return info;
    if (t.front() == '[') {
        size_t close = t.find(']');
        if (close == std::string_view::npos)
            return info;
        info.kind = Kind::Section;
        info.name = Trim(t.substr(1, close - 1));
        return info;
    }
    size_t eq = t.find('=');
    if (eq == std::string_view::npos)
        return info;
    std::string_view key = Trim(t.substr(0, eq));
    if (key.empty())
        return info;
    info.kind = Kind::Key;
    info.name = key;
    info.value = Trim(t.substr(eq + 1));
    return info;
}

// The lines of one "[name]" line up to the next section line.
struct Span {
    size_t header = 0;
    size_t end = 0;             // one past its last line
    std::vector<size_t> keys;   // indices of its key lines, in file order
};

class Document {
public:
    // The lines point into the document's own storage, so it never moves.
    explicit Document(std::string content) : source_(std::move(content))
    {
        std::string_view rest = source_;
        if (rest.substr(0, kBom.size()) == kBom) {
            bom_ = rest.substr(0, kBom.size());
            rest.remove_prefix(kBom.size());
        }
        lines.reserve(static_cast<size_t>(std::count(rest.begin(), rest.end(), '\n')) + 1);
        while (!rest.empty()) {
            size_t nl = rest.find('\n');
            Line line;
            if (nl == std::string_view::npos) {
                line.text = rest;
                rest = {};
            } else {
                line.text = rest.substr(0, nl);
                line.end = rest.substr(nl, 1);
                if (!line.text.empty() && line.text.back() == '\r') {
                    line.text.remove_suffix(1);
                    line.end = rest.substr(nl - 1, 2);
                }
                rest.remove_prefix(nl + 1);
            }
            lines.push_back(line);
        }
    }
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    std::vector<Line> lines;

    // Keeps text for a line that was not in the file.
    std::string_view Own(std::string text) { return added_.emplace_back(std::move(text)); }

    std::string Content() const
    {
        size_t size = bom_.size();
        for (const Line& l : lines)
            size += l.text.size() + l.end.size();
        std::string out;
        out.reserve(size);
        out += bom_;
        for (const Line& l : lines) {
            out += l.text;
            out += l.end;
        }
        return out;
    }

    std::vector<Span> SectionsNamed(std::string_view name) const
    {
        std::vector<Span> spans;
        bool inside = false;
        for (size_t i = 0; i < lines.size(); ++i) {
            LineInfo info = Classify(lines[i].text);
            if (info.kind == Kind::Section) {
                if (inside)
                    spans.back().end = i;
                inside = SameName(info.name, name);
                if (inside)
                    spans.push_back(Span{i, lines.size(), {}});
            } else if (info.kind == Kind::Key && inside) {
                spans.back().keys.push_back(i);
            }
        }
        return spans;
    }

    // The section that reads and writes go to; see the header for duplicate names. The last
    // answer is kept until the lines change: a load asks for the same section a few dozen
    // times, and each search classifies every line of the file.
    std::optional<Span> Find(std::string_view name) const
    {
        if (found_ && SameName(found_->first, name))
            return found_->second;
        std::optional<Span> result;
        std::vector<Span> spans = SectionsNamed(name);
        for (Span& s : spans) {
            if (!s.keys.empty()) {
                result = std::move(s);
                break;
            }
        }
        if (!result && !spans.empty())
            result = std::move(spans.front());
        found_.emplace(std::string(name), result);
        return result;
    }

    // To be called after any change of `lines`.
    void Changed() { found_.reset(); }

    std::optional<size_t> FindKey(const Span& span, std::string_view key) const
    {
        for (size_t i : span.keys)
            if (SameName(Classify(lines[i].text).name, key))
                return i;
        return std::nullopt;
    }

    // Gives a last line without a line end one before something is put after it, matching
    // the line end used just above it so that a file keeps a single style where it had one.
    void TerminateLine(size_t index)
    {
        if (!lines[index].end.empty())
            return;
        for (size_t i = index; i-- > 0;) {
            if (!lines[i].end.empty()) {
                lines[index].end = lines[i].end;
                return;
            }
        }
        lines[index].end = kNewLineEnd;
    }

private:
    std::string source_;
    std::string_view bom_;
    mutable std::optional<std::pair<std::string, std::optional<Span>>> found_;
    std::deque<std::string> added_;  // a deque never moves the strings it holds
};

[[noreturn]] void Fail(const std::string& path, const std::string& reason)
{
    throw EIniFileException("設定ファイル \"" + path + "\" に書き込めません: " + reason);
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

void CheckSectionName(const std::string& path, std::string_view section)
{
    if (section.empty() || HasLineBreak(section) || section.find(']') != std::string_view::npos)
        Fail(path, "セクション名が正しくありません \"" + std::string(section) + "\"");
}

void CheckKeyName(const std::string& path, std::string_view key)
{
    if (key.empty() || HasLineBreak(key) || key.find('=') != std::string_view::npos ||
        key.front() == ';' || key.front() == '#' || key.front() == '[')
        Fail(path, "キー名が正しくありません \"" + std::string(key) + "\"");
}

}  // namespace

struct TMemIniFile::Content {
    explicit Content(std::string text) : doc(std::move(text)) {}
    Document doc;
    FileStatus read;  // how reading the file ended
};

TMemIniFile::TMemIniFile(std::string path) : path_(std::move(path))
{
    std::string text;
    const FileStatus read = ReadWholeFile(path_, text, MaxSettingsFileBytes);
    content_ = std::make_unique<Content>(std::move(text));
    content_->read = read;
}

TMemIniFile::~TMemIniFile() = default;

bool TMemIniFile::SectionExists(const std::string& section) const
{
    std::optional<Span> span = content_->doc.Find(Trim(section));
    return span && !span->keys.empty();
}

bool TMemIniFile::ValueExists(const std::string& section, const std::string& key) const
{
    const Document& doc = content_->doc;
    std::optional<Span> span = doc.Find(Trim(section));
    return span && doc.FindKey(*span, Trim(key));
}

std::string TMemIniFile::ReadString(const std::string& section, const std::string& key,
                                    const std::string& def) const
{
    const Document& doc = content_->doc;
    std::optional<Span> span = doc.Find(Trim(section));
    if (!span)
        return def;
    std::optional<size_t> line = doc.FindKey(*span, Trim(key));
    if (!line)
        return def;
    return std::string(Classify(doc.lines[*line].text).value);
}

int TMemIniFile::ReadInteger(const std::string& section, const std::string& key, int def) const
{
    const Document& doc = content_->doc;
    std::optional<Span> span = doc.Find(Trim(section));
    if (!span)
        return def;
    std::optional<size_t> line = doc.FindKey(*span, Trim(key));
    if (!line)
        return def;
    return ProfileStrToInt(std::string(Classify(doc.lines[*line].text).value));
}

void TMemIniFile::ReadSection(const std::string& section, std::vector<std::string>& keys) const
{
    keys.clear();
    const Document& doc = content_->doc;
    std::optional<Span> span = doc.Find(Trim(section));
    if (!span)
        return;
    for (size_t i : span->keys) {
        std::string_view name = Classify(doc.lines[i].text).name;
        bool seen = std::any_of(keys.begin(), keys.end(), [&](const std::string& k) { return SameName(k, name); });
        if (!seen)
            keys.emplace_back(name);
    }
}

void TMemIniFile::ReadSection(const std::string& section, TStrings& keys) const
{
    std::vector<std::string> names;
    ReadSection(section, names);
    keys.Clear();
    for (const std::string& name : names)
        keys.Add(name);
}

void TMemIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value)
{
    std::string_view sectionName = Trim(section);
    std::string_view keyName = Trim(key);
    CheckSectionName(path_, sectionName);
    CheckKeyName(path_, keyName);
    if (HasLineBreak(value))
        Fail(path_, "値に改行は入れられません");

    Document& doc = content_->doc;
    std::optional<Span> span = doc.Find(sectionName);
    if (!span) {
        if (!doc.lines.empty())
            doc.TerminateLine(doc.lines.size() - 1);
        doc.lines.push_back(Line{doc.Own("[" + std::string(sectionName) + "]"), kNewLineEnd});
        doc.lines.push_back(Line{doc.Own(std::string(keyName) + "=" + value), kNewLineEnd});
    } else if (std::optional<size_t> existing = doc.FindKey(*span, keyName)) {
        // The name keeps the spelling the file already uses for it. The line stays where it
        // is, and so does every section.
        Line& line = doc.lines[*existing];
        line.text = doc.Own(std::string(Classify(line.text).name) + "=" + value);
        return;
    } else {
        size_t after = span->keys.empty() ? span->header : span->keys.back();
        doc.TerminateLine(after);
        doc.lines.insert(doc.lines.begin() + static_cast<std::ptrdiff_t>(after + 1),
                         Line{doc.Own(std::string(keyName) + "=" + value), kNewLineEnd});
    }
    doc.Changed();
}

void TMemIniFile::WriteInteger(const std::string& section, const std::string& key, int value)
{
    WriteString(section, key, IntToStr(value));
}

void TMemIniFile::EraseSection(const std::string& section)
{
    Document& doc = content_->doc;
    std::vector<Span> spans = doc.SectionsNamed(Trim(section));
    for (auto it = spans.rbegin(); it != spans.rend(); ++it)
        doc.lines.erase(doc.lines.begin() + static_cast<std::ptrdiff_t>(it->header),
                        doc.lines.begin() + static_cast<std::ptrdiff_t>(it->end));
    doc.Changed();
}

void TMemIniFile::DeleteKey(const std::string& section, const std::string& key)
{
    Document& doc = content_->doc;
    std::optional<Span> span = doc.Find(Trim(section));
    if (!span)
        return;
    std::string_view keyName = Trim(key);
    for (auto it = span->keys.rbegin(); it != span->keys.rend(); ++it)
        if (SameName(Classify(doc.lines[*it].text).name, keyName))
            doc.lines.erase(doc.lines.begin() + static_cast<std::ptrdiff_t>(*it));
    doc.Changed();
}

void TMemIniFile::UpdateFile()
{
    // A file that exists but could not be read must not be replaced by one that holds only
    // the new keys: that would silently drop the user's other settings.
    const FileStatus& read = content_->read;
    if (!read.Ok() && !(read.fault == FileStatus::System && read.error == ENOENT))
        Fail(path_, "今のファイルを読めません: " + read.Reason());
    const FileStatus written = ReplaceFile(path_, content_->doc.Content());
    if (!written.Ok())
        Fail(path_, written.Reason());
}

TIniFile::TIniFile(std::string path) : path_(std::move(path)) {}

bool TIniFile::SectionExists(const std::string& section) const { return TMemIniFile(path_).SectionExists(section); }

bool TIniFile::ValueExists(const std::string& section, const std::string& key) const
{
    return TMemIniFile(path_).ValueExists(section, key);
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& def) const
{
    return TMemIniFile(path_).ReadString(section, key, def);
}

int TIniFile::ReadInteger(const std::string& section, const std::string& key, int def) const
{
    return TMemIniFile(path_).ReadInteger(section, key, def);
}

void TIniFile::ReadSection(const std::string& section, std::vector<std::string>& keys) const
{
    TMemIniFile(path_).ReadSection(section, keys);
}

void TIniFile::ReadSection(const std::string& section, TStrings& keys) const
{
    TMemIniFile(path_).ReadSection(section, keys);
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value)
{
    TMemIniFile ini(path_);
    ini.WriteString(section, key, value);
    ini.UpdateFile();
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, int value)
{
    WriteString(section, key, IntToStr(value));
}

void TIniFile::EraseSection(const std::string& section)
{
    TMemIniFile ini(path_);
    if (ini.content_->doc.SectionsNamed(Trim(section)).empty())
        return;
    ini.EraseSection(section);
    ini.UpdateFile();
}

void TIniFile::DeleteKey(const std::string& section, const std::string& key)
{
    TMemIniFile ini(path_);
    if (!ini.ValueExists(section, key))
        return;
    ini.DeleteKey(section, key);
    ini.UpdateFile();
}
