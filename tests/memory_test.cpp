// Buffers reused from page to page: kept for pages of a similar size, given back when the
// next page needs far less, so one huge page does not pin its memory for the session.
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "graphics.h"
#include "viewer.h"

namespace {

TEST(PixelBuffers, KeptForSimilarSizesAndGivenBackForFarSmallerOnes)
{
    struct Step {
        int width, height;
        bool sameBuffer;  // the buffer of the step before is used again
    };
    // Reset is the overwrite of a decode. A block given back may be handed out again at the
    // same address, so the capacity is what tells.
    const Step steps[] = {
        {2000, 1500, false}, {1900, 1400, true}, {1000, 1000, true},  // a third of it: kept
        {2000, 1500, true},  {900, 800, false},                       // under a quarter: given back
        {850, 800, true},    {3000, 2000, false},                     // growing takes a new block
    };
    TPixelSurface s;
    const std::uint32_t* before = nullptr;
    for (const Step& step : steps) {
        SCOPED_TRACE(std::to_string(step.width) + " x " + std::to_string(step.height));
        s.Reset(step.width, step.height);
        ASSERT_EQ(s.Data.size(), static_cast<size_t>(step.width) * static_cast<size_t>(step.height));
        if (step.sameBuffer) {
            EXPECT_EQ(s.Data.data(), before);
        }
        EXPECT_LE(s.Data.capacity(), s.Data.size() * 4);
        before = s.Data.data();
    }

    // The white sheet of an empty page view: rows kept, memory given back all the same.
    TBitmap bitmap;
    bitmap.SetSize(800, 5000);
    bitmap.ScanLine(0)[0] = 0xFF123456u;
    bitmap.SetSize(800, 100);
    EXPECT_LE(bitmap.Pixels().Data.capacity(), 800u * 100u * 4u);
    EXPECT_EQ(bitmap.ScanLine(0)[0], 0xFF123456u);
    EXPECT_EQ(bitmap.ScanLine(99)[799], ColorToPixel(clWhite));
}

long long ResidentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

// A 10000 x 10000 page, a 4 KB file whose header asks for it (within the pixel cap), costs
// 400 MB in the decoder and as much in the page bitmap. Showing a small page next must give
// that back.
class MemoryGivenBack : public ViewerTest {};

TEST_F(MemoryGivenBack, AfterAHugePageASmallOneHoldsWhatASmallOneNeeds)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizers' allocators keep freed memory; resident size tells nothing there";
#endif
    std::string huge = SmallJpeg(64, 64);
    const size_t sof = FindMarker(huge, 0xC0);
    ASSERT_NE(sof, std::string::npos);
    for (size_t at : {sof + 5, sof + 7}) {  // height, then width: 10000 big-endian
        huge[at] = static_cast<char>(10000 >> 8);
        huge[at + 1] = static_cast<char>(10000 & 0xFF);
    }
    Start();
    TfrmMain& f = Main();
    OpenFolder(MakeFolder("pages", {{"a.jpg", SmallJpeg(400, 300)}, {"b.jpg", huge}, {"c.jpg", SmallJpeg(400, 300)}}));
    ASSERT_EQ(f.PageBitmap->Width(), 400);
    const long long small = ResidentBytes();

    // Each turn ends with the message round that repaints the page view at its new size.
    Application->Deliver([] { frmMain->spbNextPage->Click(); });
    Application->ProcessMessages();
    ASSERT_EQ(f.PageBitmap->Width(), 10000);
    const long long peak = ResidentBytes();
    Application->Deliver([] { frmMain->spbNextPage->Click(); });
    Application->ProcessMessages();
    ASSERT_EQ(f.PageBitmap->Width(), 400);
    const long long after = ResidentBytes();

    std::printf("resident: %lld MB with a small page, %lld MB with the huge one, %lld MB after it\n",
                small >> 20, peak >> 20, after >> 20);
    EXPECT_GT(peak - small, 700LL << 20) << "the huge page was not held whole";
    EXPECT_LT(after - small, 50LL << 20);
}

}  // namespace
