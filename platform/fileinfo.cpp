#include "fileinfo.h"

#include <sys/stat.h>
#include <time.h>

bool DirectoryExists(const std::string& path)
{
    struct stat st {};
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

namespace {

void FromStat(const struct stat& st, TFileIdentity& out)
{
    out.Device = static_cast<unsigned long long>(st.st_dev);
    out.Inode = static_cast<unsigned long long>(st.st_ino);
    out.Size = static_cast<long long>(st.st_size);
    out.ModifiedSec = st.st_mtim.tv_sec;
    out.ModifiedNsec = st.st_mtim.tv_nsec;
    out.ChangedSec = st.st_ctim.tv_sec;
    out.ChangedNsec = st.st_ctim.tv_nsec;
}

}  // namespace

bool TFileIdentity::SameVersion(const TFileIdentity& now) const
{
    return Settled && Size >= 0 && Device == now.Device && Inode == now.Inode && Size == now.Size &&
           ModifiedSec == now.ModifiedSec && ModifiedNsec == now.ModifiedNsec && ChangedSec == now.ChangedSec &&
           ChangedNsec == now.ChangedNsec;
}

long long FileClockNow()
{
    // The kernel stamps files from its coarse clock (or finer, never earlier).
    timespec ts {};
    clock_gettime(CLOCK_REALTIME_COARSE, &ts);
    return static_cast<long long>(ts.tv_sec) * 1'000'000'000LL + ts.tv_nsec;
}

bool OpenFileIdentity(int fd, long long openedAt, TFileIdentity& out)
{
    out = TFileIdentity{};
    struct stat st {};
    if (fstat(fd, &st) != 0)
        return false;
    FromStat(st, out);
    out.Settled = S_ISREG(st.st_mode) && out.ChangedSec * 1'000'000'000LL + out.ChangedNsec < openedAt;
    return true;
}

bool CurrentFileIdentity(const std::string& path, TFileIdentity& out)
{
    out = TFileIdentity{};
    struct stat st {};
    if (path.empty() || stat(path.c_str(), &st) != 0)
        return false;
    FromStat(st, out);
    return true;
}
