#pragma once
// Questions about one path, answered by the item itself.
#include <string>

// The path names a folder (following symbolic links).
bool DirectoryExists(const std::string& path);

// One version of one file: the file itself (device, inode) with its size and its times at
// nanosecond precision. Any write, truncation, rename onto the path or change of permissions
// moves the change time, so two equal identities taken at different moments mean that the
// same bytes are still there, provided the file was already Settled when first looked at.
struct TFileIdentity {
    unsigned long long Device = 0, Inode = 0;
    long long Size = -1;
    long long ModifiedSec = 0, ModifiedNsec = 0, ChangedSec = 0, ChangedNsec = 0;
    // The change time lay before the moment the file was opened. File times come from a
    // clock that moves in ticks of a few milliseconds: a file changed within the tick in
    // which it was read could be changed again in that tick without its times moving, so
    // only a settled identity proves anything.
    bool Settled = false;

    bool SameVersion(const TFileIdentity& now) const;
};

// The file system clock's reading now, in nanoseconds: the time a change made at this
// moment would at least be stamped with.
long long FileClockNow();
// The identity of the open file; Settled when its change time lies before openedAt
// (a FileClockNow reading taken before the open).
bool OpenFileIdentity(int fd, long long openedAt, TFileIdentity& out);
// The identity of the file the path names now (symbolic links followed).
bool CurrentFileIdentity(const std::string& path, TFileIdentity& out);
