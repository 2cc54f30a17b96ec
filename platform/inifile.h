#pragma once
// A settings file in the INI format of the classic profile-string functions.
//
// Section and key names are compared ignoring ASCII letter case; a value is the text after
// the first "=" with surrounding blanks removed. Lines that are neither "[section]" nor
// "key=value" (comments starting with ";" or "#", blank lines, anything else) are ignored
// when reading and kept as they are when writing. A section counts only when it has at least
// one key. When a name appears on more than one section line, the first of those sections that
// has keys is the one read and written (the first of them at all when none has keys); the
// others are kept but not looked into.
//
// A new key goes right after the last key line of its section, a new section at the end of
// the file. Lines this class writes end in CR LF; the lines it keeps keep their own ends.
//
// TIniFile holds only the file name: every call reads the file anew, and every change
// replaces the whole file. TMemIniFile reads the file once, when it is made, keeps the
// changes in memory, and writes them all with one replacement in UpdateFile. Either way the
// replacement is atomic (see ReplaceFile): a crash or a full disk leaves the old or the new
// content whole, and a process killed mid-write may leave only "<name>.tmp" beside it, which
// the next write takes over.
//
// A missing file, an unreadable one and anything that is not a regular file (a folder, a
// FIFO, a device) read as an empty file; so does one over MaxSettingsFileBytes. Such a file
// is never replaced: writing it would drop the lines that could not be read.
#include <memory>
#include <string>
#include <vector>

#include "classes.h"
#include "types.h"

class TMemIniFile : public TObject {
public:
    // Reads the file now.
    explicit TMemIniFile(std::string path);
    ~TMemIniFile() override;
    TMemIniFile(const TMemIniFile&) = delete;
    TMemIniFile& operator=(const TMemIniFile&) = delete;

    std::string FileName() const { return path_; }

    bool SectionExists(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& key) const;
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& def) const;
    // The value read by ProfileStrToInt when the key exists (non-numbers read as 0), else def.
    int ReadInteger(const std::string& section, const std::string& key, int def) const;
    // Replaces the contents of keys by the section's key names in file order, each once.
    void ReadSection(const std::string& section, TStrings& keys) const;
    void ReadSection(const std::string& section, std::vector<std::string>& keys) const;

    // Change the content held in memory. They raise EIniFileException when a name or value
    // could not be read back from the file as given (an empty name, a line break, "=" in a
    // key, "]" in a section name).
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int value);
    // Removes every section of that name with all its lines.
    void EraseSection(const std::string& section);
    void DeleteKey(const std::string& section, const std::string& key);

    // Replaces the file with the content held, changed or not. Raises EIniFileException when
    // the file cannot be replaced (it then keeps its old content) or could not be read when
    // this object was made.
    void UpdateFile();

private:
    friend class TIniFile;  // it writes only what changes the file
    struct Content;
    std::string path_;
    std::unique_ptr<Content> content_;
};

class TIniFile : public TObject {
public:
    // Records the name only; no file is opened or created.
    explicit TIniFile(std::string path);

    std::string FileName() const { return path_; }

    bool SectionExists(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& key) const;
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& def) const;
    int ReadInteger(const std::string& section, const std::string& key, int def) const;
    void ReadSection(const std::string& section, TStrings& keys) const;
    void ReadSection(const std::string& section, std::vector<std::string>& keys) const;

    // Each one a complete read and replacement of the file, raising EIniFileException as
    // TMemIniFile's writers and UpdateFile do.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int value);
    void EraseSection(const std::string& section);
    void DeleteKey(const std::string& section, const std::string& key);

private:
    std::string path_;
};
