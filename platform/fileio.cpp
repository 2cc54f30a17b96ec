#include "fileio.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

#include "buffers.h"
#include "fileinfo.h"

std::string FileStatus::Reason() const
{
    std::string cause;
    switch (fault) {
    case None: return "";
    case System: cause = std::generic_category().message(error); break;
    case NotRegular: cause = "通常のファイルではありません"; break;
    case TooLarge: cause = "ファイルが大きすぎます"; break;
    case WriteProtected: cause = "書き込みが禁止されています"; break;
    }
    return step ? std::string(step) + " (" + cause + ")" : cause;
}

namespace {

FileStatus SystemFault(int error, const char* step = nullptr) { return {FileStatus::System, error, step}; }

// Reads exactly size bytes unless the file ends first; returns how many arrived, or -1 with
// errno set.
long long ReadUpTo(int fd, unsigned char* data, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = read(fd, data + done, size - done);
        if (n > 0)
            done += static_cast<std::size_t>(n);
        else if (n == 0)
            break;
        else if (errno != EINTR)
            return -1;
    }
    return static_cast<long long>(done);
}

template <class Buffer>
FileStatus ReadWhole(const std::string& path, Buffer& out, std::size_t maxBytes, TFileIdentity* identity)
{
    FileStatus status;
    std::uint64_t size = 0;
    if (identity)
        *identity = TFileIdentity{};
    const long long openedAt = identity ? FileClockNow() : 0;
    const int fd = OpenRegularFile(path, size, status);
    if (fd < 0) {
        out.clear();
        return status;
    }
    if (size > maxBytes) {
        close(fd);
        out.clear();
        return {FileStatus::TooLarge};
    }
    // The size given at the open bounds the read: a file that grows meanwhile (or lies about
    // its size, as some pseudo-files do) is taken as it was.
    SizeForOverwrite(out, static_cast<std::size_t>(size));
    const long long got = ReadUpTo(fd, reinterpret_cast<unsigned char*>(out.data()), out.size());
    const int error = errno;
    // Taken after the read: a write that overlapped it has moved the change time past
    // openedAt, and the identity is not settled.
    if (identity && got >= 0 && !OpenFileIdentity(fd, openedAt, *identity))
        *identity = TFileIdentity{};
    close(fd);
    if (got < 0) {
        if (identity)
            *identity = TFileIdentity{};
        out.clear();
        return SystemFault(error);
    }
    out.resize(static_cast<std::size_t>(got));  // it shrank meanwhile
    return status;
}

}  // namespace

int OpenRegularFile(const std::string& path, std::uint64_t& size, FileStatus& status)
{
    status = {};
    size = 0;
    // Looked at before the open too: opening some devices has effects of its own.
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
        status = SystemFault(errno);
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        status = {FileStatus::NotRegular};
        return -1;
    }
    // The entry may have been swapped for a FIFO since: O_NONBLOCK keeps the open from
    // waiting for a writer, and the descriptor is checked again.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        status = SystemFault(errno);
        return -1;
    }
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        status = S_ISREG(st.st_mode) ? SystemFault(errno) : FileStatus{FileStatus::NotRegular};
        close(fd);
        return -1;
    }
    size = static_cast<std::uint64_t>(st.st_size);
    return fd;
}

FileStatus ReadWholeFile(const std::string& path, std::vector<unsigned char>& out, std::size_t maxBytes,
                         TFileIdentity* identity)
{
    return ReadWhole(path, out, maxBytes, identity);
}

FileStatus ReadWholeFile(const std::string& path, std::string& out, std::size_t maxBytes)
{
    return ReadWhole(path, out, maxBytes, nullptr);
}

FileStatus ReadFileStart(const std::string& path, unsigned char* buffer, std::size_t size, std::size_t& got)
{
    got = 0;
    FileStatus status;
    std::uint64_t fileSize = 0;
    const int fd = OpenRegularFile(path, fileSize, status);
    if (fd < 0)
        return status;
    const long long n = ReadUpTo(fd, buffer, fileSize < size ? static_cast<std::size_t>(fileSize) : size);
    const int error = errno;
    close(fd);
    if (n < 0)
        return SystemFault(error);
    got = static_cast<std::size_t>(n);
    return status;
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

namespace {

// The file a write of path really replaces: a link is followed, so that the link stays and
// the file the user pointed it at gets the content.
FileStatus ResolveTarget(const std::string& path, std::string& target, bool& exists, struct stat& st)
{
    target = path;
    exists = false;
    if (lstat(path.c_str(), &st) != 0)
        return errno == ENOENT ? FileStatus{} : SystemFault(errno, "ファイルを調べられません");
    if (S_ISLNK(st.st_mode)) {
        char* real = realpath(path.c_str(), nullptr);
        if (!real)
            return SystemFault(errno, "シンボリック リンクをたどれません");
        target = real;
        std::free(real);
        if (stat(target.c_str(), &st) != 0)
            return SystemFault(errno, "ファイルを調べられません");
    }
    exists = true;
    if (!S_ISREG(st.st_mode))
        return {FileStatus::NotRegular};
    // rename() would happily replace a write-protected file in a writable folder, and
    // access() grants everything to root, so the mode bits are looked at as well.
    if (access(target.c_str(), W_OK) != 0)
        return errno == EACCES || errno == EROFS ? FileStatus{FileStatus::WriteProtected, errno}
                                                 : SystemFault(errno, "ファイルを調べられません");
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return {FileStatus::WriteProtected};
    return {};
}

// Opens the temporary file for this writer alone. Another process may be writing it right
// now: the lock makes it wait its turn, and a file that the other writer has meanwhile
// renamed into place is no longer the temporary file and is let go. The wait is bounded, so
// a writer that hangs cannot hang this one.
int LockTemporary(const std::string& temp, FileStatus& status)
{
    for (int attempt = 0; attempt < 500; ++attempt) {
        // No link at the temporary name is followed, and a FIFO put there cannot block.
        const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
        if (fd < 0) {
            status = SystemFault(errno, "一時ファイルを作れません");
            return -1;
        }
        struct stat held {}, named {};
        if (fstat(fd, &held) != 0 || !S_ISREG(held.st_mode)) {
            close(fd);
            status = {FileStatus::NotRegular, 0, "一時ファイルの名前がふさがっています"};
            return -1;
        }
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
            if (stat(temp.c_str(), &named) == 0 && named.st_dev == held.st_dev && named.st_ino == held.st_ino)
                return fd;
        } else if (errno != EWOULDBLOCK && errno != EINTR) {
            // No locks on this file system: writers of one file cannot be told apart here,
            // and two at a time is not a case worth failing every write for.
            if (errno == ENOLCK || errno == EOPNOTSUPP)
                return fd;
            status = SystemFault(errno, "一時ファイルをロックできません");
            close(fd);
            return -1;
        }
        close(fd);
        usleep(4000);
    }
    status = {FileStatus::System, EBUSY, "一時ファイルをほかの書き込みが使っています"};
    return -1;
}

int WriteAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t n = write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

}  // namespace

std::string ReplacementPath(const std::string& path)
{
    char* real = realpath(path.c_str(), nullptr);
    std::string target = real ? real : path;
    std::free(real);
    return target + ".tmp";
}

FileStatus ReplaceFile(const std::string& path, std::string_view content)
{
    std::string target;
    bool exists = false;
    struct stat st {};
    if (FileStatus s = ResolveTarget(path, target, exists, st); !s.Ok())
        return s;

    const std::string temp = target + ".tmp";
    FileStatus status;
    const int fd = LockTemporary(temp, status);
    if (fd < 0)
        return status;
    // On failure the temporary file goes: it holds nothing the next write needs.
    auto abandon = [&](int error, const char* step) {
        unlink(temp.c_str());
        close(fd);
        return SystemFault(error, step);
    };
    // A temporary file left by a write that was cut short still holds its content.
    if (ftruncate(fd, 0) != 0)
        return abandon(errno, "書き込みに失敗しました");
    if (exists && fchmod(fd, st.st_mode & 07777) != 0)
        return abandon(errno, "アクセス権を保てません");
    if (int error = WriteAll(fd, content))
        return abandon(error, "書き込みに失敗しました");
    if (fsync(fd) != 0)
        return abandon(errno, "ディスクへ書き出せません");
    // Renamed while still locked, so that a writer waiting for the lock finds the file gone
    // from the temporary name when it gets it.
    if (rename(temp.c_str(), target.c_str()) != 0)
        return abandon(errno, "ファイルを置き換えられません");
    close(fd);  // after fsync, nothing is left for close to report

    // The new content is already in place; syncing the folder only makes the rename itself
    // durable, and some file systems refuse to sync folders, so a failure here is not one of
    // the write.
    const int dir = open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return {};
}
