// A long slideshow over a folder of a few hundred real pages of many sizes, replayed again
// and again on the virtual clock, with the next page prepared ahead between the ticks: memory
// in use stays flat and no drop or directory-search handle is left open.
#include <malloc.h>

#include <cstdio>

#include "Mainfunc_ahead.h"
#include "dragdrop.h"
#include "filesystem.h"
#include "viewer.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
// From the sanitizer runtime (its header is not always installed).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

// Bytes handed out by the allocator and not yet freed.
size_t BytesInUse()
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    // The sanitizer's allocator replaces malloc; glibc's figures would stay at zero.
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

constexpr int kPages = 300;
constexpr int kTicks = 4000;

using SlideshowSoak = ViewerTest;

TEST_F(SlideshowSoak, MemoryAndHandlesStayFlatOverThousandsOfTicks)
{
    // Pages from a sliver to a few hundred pixels each way, so that the page bitmap grows and
    // shrinks all the time.
    std::vector<std::pair<std::string, std::string>> files;
    unsigned seed = 7;
    auto next = [&seed](unsigned range) { seed = seed * 1103515245u + 12345u; return (seed >> 16) % range; };
    for (int i = 1; i <= kPages; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "page%03d.jpg", i);
        const int w = 8 + static_cast<int>(next(500)), h = 8 + static_cast<int>(next(600));
        files.emplace_back(name, SmallJpeg(w, h, next(0x1000000)));
    }
    const std::string folder = MakeFolder("soak", files);

    Start();
    TfrmMain& f = Main();
    f.updSlideTime->SetPosition(2);
    f.updSlideTime->ArrowClick(TUDBtnType::btPrev);
    ASSERT_EQ(f.timMain->Interval(), 1000);

    // Each show runs to the last page; the next one comes alternately from close all and
    // the open-folder command, and from dropping the folder again.
    int shows = 0;
    auto replay = [&] {
        if (shows++ % 2 == 0) {
            f.frmFileClose->Click();
            OpenFolder(folder);
        } else {
            Drop({folder});
        }
        ASSERT_EQ(f.PageNo, 1);
        ASSERT_EQ(f.PageCount, kPages);
        f.spbSlidePlay->Click();
        ASSERT_TRUE(f.Sliding);
    };

    // The first show meets files written a moment before, too fresh for a page prepared ahead
    // to be trusted, so its turns take other buffers than later ones; two more whole shows,
    // one of each kind of replay, bring every buffer to its largest size. What is in use at
    // the end of a show is then the level to hold.
    int ticks = 0;
    size_t baseline = 0;
    replay();
    for (;;) {
        const int page = f.PageNo;
        Application->AdvanceClock(1000);
        ASSERT_EQ(f.PageNo, page + 1) << "tick " << ticks;
        ++ticks;
        if (f.Sliding)
            continue;
        if (shows == 3)
            baseline = BytesInUse();
        if (ticks >= kTicks)
            break;
        replay();
    }
    ASSERT_GT(baseline, 0u);
    const size_t after = BytesInUse();
    std::printf("%d ticks, %d shows: %zu bytes in use after the warm-up, %zu at the end\n", ticks, shows,
                baseline, after);
    // A leak of a few dozen bytes a tick would go past this margin.
    EXPECT_LT(after, baseline + 128 * 1024);
    // The loop was idle between the ticks, so nearly every turn took a page prepared ahead.
    EXPECT_GT(f.PageWorker()->PreparedTurns(), ticks / 2);
    EXPECT_EQ(OpenDropHandles(), 0u);
    EXPECT_EQ(OpenFindHandles(), 0u);
    EXPECT_TRUE(Screen().Exceptions.empty());
}

}  // namespace
