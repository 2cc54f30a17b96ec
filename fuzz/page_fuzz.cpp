// The page display on a file, headless, as a turn to that page runs it: the probe, the load,
// the copy into the page bitmap, the layout and the paint. Whatever the file holds, the page
// shows or the failure is reported, and the next page display works.
#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <jpeglib.h>

#include "Main.h"
#include "exceptions.h"
#include "fuzz_support.h"

namespace {

// Pictures above this many pixels take the very same path, only with longer loops, and cut
// the executions per second a hundredfold; the bitmap target and the unit tests cover the
// cap itself. The bound is the fuzzer's, not the program's.
constexpr std::int64_t FuzzPixelBudget = std::int64_t{1} << 22;

struct QuietError {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

void Leave(j_common_ptr c) { std::longjmp(reinterpret_cast<QuietError*>(c->err)->jump, 1); }
void Ignore(j_common_ptr, int) {}

// The size the file's header claims, or 0 when it names none.
std::int64_t ClaimedPixels(const std::uint8_t* data, std::size_t size)
{
    if (size >= 26 && data[0] == 'B' && data[1] == 'M') {
        auto u16 = [&](std::size_t i) { return std::int64_t{data[i]} | std::int64_t{data[i + 1]} << 8; };
        auto s32 = [&](std::size_t i) {
            return static_cast<std::int64_t>(static_cast<std::int32_t>(
                static_cast<std::uint32_t>(u16(i)) | static_cast<std::uint32_t>(u16(i + 2)) << 16));
        };
        const std::int64_t w = u16(14) == 12 ? u16(18) : s32(18), h = u16(14) == 12 ? u16(20) : s32(22);
        return (w < 0 ? -w : w) * (h < 0 ? -h : h);
    }
    jpeg_decompress_struct cinfo;
    QuietError err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = Leave;
    err.pub.emit_message = Ignore;
    std::int64_t pixels = 0;
    jpeg_create_decompress(&cinfo);
    if (!setjmp(err.jump) && size > 0) {
        jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
        jpeg_read_header(&cinfo, TRUE);
        pixels = std::int64_t{cinfo.image_width} * cinfo.image_height;
    }
    jpeg_destroy_decompress(&cinfo);
    return pixels;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (ClaimedPixels(data, size) > FuzzPixelBudget)
        return 0;
    TfrmMain& f = FuzzMainWindow();
    const std::string page = FuzzFolder() + "/page.jpg";
    WriteFuzzFile(page, data, size);

    f.PageList->Clear();
    f.PageList->Add(page);
    f.PageCount = 1;
    f.PageNo = 1;
    try {
        f.ShowPage(1);
        f.AdjustWindow(true);
    } catch (const Exception&) {
        // A damaged bitmap: the program reports it through the exception dialog and goes on.
    }
    f.pntMainPaint(f.pntMain);
    if (f.PageBitmap->Width() < 0 || f.PageBitmap->Height() < 0 ||
        static_cast<std::size_t>(f.PageBitmap->Width()) * static_cast<std::size_t>(f.PageBitmap->Height()) !=
            f.PageBitmap->Pixels().Data.size())
        std::abort();

    // The page display must still work: a small known page shows.
    static const std::string good = [] {
        std::string bmp = "BM";
        auto put32 = [&](std::uint32_t v) { for (int i = 0; i < 4; ++i) bmp += static_cast<char>(v >> (8 * i)); };
        auto put16 = [&](std::uint32_t v) { for (int i = 0; i < 2; ++i) bmp += static_cast<char>(v >> (8 * i)); };
        put32(14 + 40 + 8); put32(0); put32(14 + 40);
        put32(40); put32(2); put32(1); put16(1); put16(32); put32(0); put32(8); put32(0); put32(0); put32(0); put32(0);
        put32(0x00112233); put32(0x00445566);
        return bmp;
    }();
    const std::string next = FuzzFolder() + "/next.bmp";
    WriteFuzzFile(next, reinterpret_cast<const unsigned char*>(good.data()), good.size());
    f.PageList->Clear();
    f.PageList->Add(next);
    f.ShowPage(1);
    if (f.PageBitmap->Width() != 2 || f.PageBitmap->Height() != 1 || f.PageBitmap->ScanLine(0)[1] != 0xFF445566u)
        std::abort();
    return 0;
}
