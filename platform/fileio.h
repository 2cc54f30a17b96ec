#pragma once
// Reading and replacing whole files: the one place where the library opens files. It reports
// what failed; each caller words its own message.
//
// Only regular files are read. A path that leads (through any links) to a folder, a FIFO, a
// device or a socket is refused without being read: a FIFO would block the reader for good and
// a device never ends. A read never goes past the size the file reported when it was opened.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// How an operation on a file ended.
struct FileStatus {
    enum Fault { None, System, NotRegular, TooLarge, WriteProtected };
    Fault fault = None;
    int error = 0;               // errno of the failing call, for System
    const char* step = nullptr;  // what was being done, when the step tells more than the error

    bool Ok() const { return fault == None; }
    // The cause in a few words, for a message: the system's error text, or ours in Japanese
    // like every message of the library.
    std::string Reason() const;
};

// Opens a regular file for reading without ever blocking. Returns the descriptor (the caller
// closes it) and the size the file reports, or -1 with status telling why.
int OpenRegularFile(const std::string& path, std::uint64_t& size, FileStatus& status);

struct TFileIdentity;

// Reads the whole file into out, reusing its buffer as long as it is not oversized. A file
// over maxBytes is refused (TooLarge) before anything is read. On failure out is empty.
// With `identity`, also tells which version of the file was read (see TFileIdentity).
FileStatus ReadWholeFile(const std::string& path, std::vector<unsigned char>& out, std::size_t maxBytes,
                         TFileIdentity* identity = nullptr);
FileStatus ReadWholeFile(const std::string& path, std::string& out, std::size_t maxBytes);

// Reads up to size bytes from the start of the file; got tells how many there were.
FileStatus ReadFileStart(const std::string& path, unsigned char* buffer, std::size_t size, std::size_t& got);

// The one temporary file that ReplaceFile writes beside the file at path (beside the file a
// link points to). A write cut short by a crash or a kill can leave only this file behind,
// and the next write of the same file takes it over.
std::string ReplacementPath(const std::string& path);

// Makes the file at path hold content, atomically: the content is written to the temporary
// file, flushed to disk and renamed over the file, so that any reader, and the disk after a
// crash at any moment, sees the old or the new content whole. A link is followed and kept.
// An existing file keeps its permissions; one that is not a regular file or whose mode
// forbids writing is left alone (NotRegular, WriteProtected), even for a user who could
// replace it. Two processes replacing the same file take turns.
FileStatus ReplaceFile(const std::string& path, std::string_view content);

// The folder part of path: "." when it has none, "/" for an entry of the root.
std::string FolderOf(const std::string& path);
