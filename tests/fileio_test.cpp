// The file-I/O unit: only regular files are read, nothing blocks, no read outgrows the file's
// size, buffers are reused or given back, and replacing a file is one atomic step.
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fileio.h"
#include "support.h"

namespace {

namespace fs = std::filesystem;

TEST(FileIo, ThingsThatAreNotRegularFilesAreRefusedAtOnce)
{
    TempDir dir;
    const std::string fifo = dir.Path() + "/x.jpg";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    const std::string zero = dir.Path() + "/z.jpg";
    ASSERT_EQ(symlink("/dev/zero", zero.c_str()), 0);
    const std::string socketPath = dir.Path() + "/s.jpg";
    const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const std::string loop = dir.Path() + "/loop.jpg";
    ASSERT_EQ(symlink("loop.jpg", loop.c_str()), 0);

    struct Case {
        std::string path;
        FileStatus::Fault fault;
    };
    const std::vector<Case> cases = {
        {fifo, FileStatus::NotRegular},          {zero, FileStatus::NotRegular},
        {"/dev/null", FileStatus::NotRegular},   {socketPath, FileStatus::NotRegular},
        {dir.Path(), FileStatus::NotRegular},    {dir.Path() + "/missing", FileStatus::System},
        {loop, FileStatus::System},              {"", FileStatus::System},
    };
    Watchdog watchdog("reading a FIFO or a device", 20);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        std::vector<unsigned char> bytes{1, 2, 3};
        FileStatus s = ReadWholeFile(c.path, bytes, 1 << 20);
        EXPECT_EQ(s.fault, c.fault) << s.Reason();
        EXPECT_TRUE(bytes.empty());
        std::string text = "old";
        EXPECT_EQ(ReadWholeFile(c.path, text, 1 << 20).fault, c.fault);
        EXPECT_TRUE(text.empty());
        unsigned char head[14];
        std::size_t got = 99;
        EXPECT_EQ(ReadFileStart(c.path, head, sizeof head, got).fault, c.fault);
        EXPECT_EQ(got, 0u);
    }
    close(sock);
    std::string unused;
    EXPECT_EQ(ReadWholeFile(fifo, unused, 10).Reason(), "通常のファイルではありません");
}

TEST(FileIo, ReadsGoNoFurtherThanTheSizeTheFileReports)
{
    TempDir dir;
    std::vector<unsigned char> bytes;
    // A pseudo-file that reports no size but has content reads as empty.
    ASSERT_TRUE(ReadWholeFile("/proc/self/status", bytes, 1 << 20).Ok());
    EXPECT_TRUE(bytes.empty());

    const std::string path = dir.Write("a.bin", std::string(1000, 'a'));
    ASSERT_TRUE(ReadWholeFile(path, bytes, 1000).Ok());
    EXPECT_EQ(bytes.size(), 1000u);
    EXPECT_EQ(ReadWholeFile(path, bytes, 999).fault, FileStatus::TooLarge);
    EXPECT_TRUE(bytes.empty());

    unsigned char head[14] = {};
    std::size_t got = 0;
    ASSERT_TRUE(ReadFileStart(dir.Write("short", "BM"), head, sizeof head, got).Ok());
    EXPECT_EQ(got, 2u);
    ASSERT_TRUE(ReadFileStart(path, head, sizeof head, got).Ok());
    EXPECT_EQ(got, 14u);
}

TEST(FileIo, TheReadBufferIsReusedForSimilarSizesAndGivenBackForFarSmallerOnes)
{
    TempDir dir;
    const std::string big = dir.Write("big", std::string(4 << 20, 'b'));
    const std::string similar = dir.Write("similar", std::string(3 << 20, 's'));
    const std::string small = dir.Write("small", std::string(1000, 's'));
    std::vector<unsigned char> bytes;
    ASSERT_TRUE(ReadWholeFile(big, bytes, 64 << 20).Ok());
    const unsigned char* buffer = bytes.data();
    ASSERT_TRUE(ReadWholeFile(similar, bytes, 64 << 20).Ok());
    EXPECT_EQ(bytes.data(), buffer);
    EXPECT_EQ(bytes.size(), 3u << 20);
    EXPECT_EQ(bytes[0], 's');
    ASSERT_TRUE(ReadWholeFile(small, bytes, 64 << 20).Ok());
    EXPECT_EQ(bytes.size(), 1000u);
    EXPECT_LT(bytes.capacity(), 1u << 20);
}

TEST(FileIo, ReplacementUsesOneKnownTemporaryFileAndTakesOverALeftOne)
{
    TempDir dir;
    const std::string path = dir.Write("fovi.ini", "old");
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    EXPECT_EQ(ReplacementPath(path), fs::canonical(path).string() + ".tmp");
    // What a writer killed halfway leaves behind.
    dir.Write("fovi.ini.tmp", std::string(5000, 'x'));

    ASSERT_TRUE(ReplaceFile(path, "new").Ok());
    EXPECT_EQ(ReadFileBytes(path), "new");
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(0640));
    EXPECT_FALSE(fs::exists(path + ".tmp"));

    // A FIFO in place of the file is left alone, and so is one at the temporary name.
    const std::string fifo = dir.Path() + "/pipe.ini";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    EXPECT_EQ(ReplaceFile(fifo, "x").fault, FileStatus::NotRegular);
    EXPECT_TRUE(fs::is_fifo(fifo));
    ASSERT_EQ(mkfifo((path + ".tmp").c_str(), 0644), 0);
    Watchdog watchdog("replacing beside a FIFO", 20);
    EXPECT_FALSE(ReplaceFile(path, "newer").Ok());
    EXPECT_EQ(ReadFileBytes(path), "new");
}

// Two programs closing at once take turns at the one temporary file: neither writes into
// the other's, and a reader meanwhile sees one content or the other, whole.
TEST(FileIo, WritersOfOneFileTakeTurns)
{
    TempDir dir;
    const std::string a(200000, 'a'), b(150000, 'b');
    const std::string path = dir.Write("fovi.ini", a);
    std::vector<pid_t> writers;
    for (const std::string* content : {&a, &b}) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0; i < 150; ++i)
                if (!ReplaceFile(path, *content).Ok())
                    _exit(1);
            _exit(0);
        }
        writers.push_back(child);
    }
    int torn = 0;
    for (int i = 0; i < 300; ++i) {
        const std::string now = ReadFileBytes(path);
        torn += now != a && now != b;
    }
    for (pid_t child : writers) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a writer failed: " << status;
    }
    EXPECT_EQ(torn, 0);
    const std::string last = ReadFileBytes(path);
    EXPECT_TRUE(last == a || last == b);
    EXPECT_FALSE(fs::exists(path + ".tmp"));
}

}  // namespace
