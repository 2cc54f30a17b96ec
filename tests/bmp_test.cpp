// TBitmap's Windows bitmap loaders (platform/bmp_reader.cpp). Fixtures are built field by field
// (BmpFile, support/pictures.h) and byte by byte.
#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "exceptions.h"
#include "graphics.h"
#include "pictures.h"
#include "support.h"

namespace {

std::string Bytes(std::initializer_list<int> b)
{
    std::string s;
    for (int v : b)
        s += static_cast<char>(v);
    return s;
}

constexpr std::uint32_t K = 0xFF000000u;  // opaque
constexpr std::uint32_t Red = K | 0xFF0000, Green = K | 0x00FF00, Blue = K | 0x0000FF;
constexpr std::uint32_t White = K | 0xFFFFFF, Black = K, Grey = K | 0x808080;

struct DecodeCase {
    const char* name;
    std::string file;
    int width, height;
    std::vector<std::uint32_t> pixels;  // top row first
};

std::vector<DecodeCase> DecodeCases()
{
    std::vector<DecodeCase> cases;
    const std::vector<std::uint32_t> pal = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    {   // rows are stored bottom-up, each padded to 4 bytes
        BmpFile b{.width = 3, .height = 2, .bpp = 1, .palette = {0xFF0000, 0x0000FF}};
        b.pixels = Bytes({0b10100000, 0, 0, 0, 0b01100000, 0, 0, 0});
        cases.push_back({"Pal1", b.Build(), 3, 2, {Red, Blue, Blue, Blue, Red, Blue}});
    }
    {
        BmpFile b{.width = 3, .height = 2, .bpp = 2, .palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF}};
        b.pixels = Bytes({0b01101100, 0, 0, 0, 0b11100100, 0, 0, 0});
        cases.push_back({"Pal2", b.Build(), 3, 2, {Blue, Green, Red, Red, Green, Blue}});
    }
    {   // index 7 lies beyond the 5-entry palette: black
        BmpFile b{.width = 3, .height = 2, .bpp = 4, .palette = pal};
        b.pixels = Bytes({0x12, 0x30, 0, 0, 0x47, 0x10, 0, 0});
        cases.push_back({"Pal4", b.Build(), 3, 2, {White, Black, Red, Red, Green, Blue}});
    }
    {   // clrUsed 0 means a full palette of 256 entries
        BmpFile b{.width = 2, .height = 2, .bpp = 8, .palette = std::vector<std::uint32_t>(256, 0x808080), .clrUsed = 0};
        b.palette[1] = 0xFF0000;
        b.palette[255] = 0x0000FF;
        b.pixels = Bytes({255, 0, 0, 0, 1, 255, 0, 0});
        cases.push_back({"Pal8FullPalette", b.Build(), 2, 2, {Red, Blue, Blue, Grey}});
    }
    {
        BmpFile b{.width = 3, .height = -2, .bpp = 8, .palette = pal};
        b.pixels = Bytes({1, 2, 3, 0, 4, 0, 1, 0});
        cases.push_back({"Pal8TopDown", b.Build(), 3, 2, {Red, Green, Blue, White, Black, Red}});
    }
    {   // OS/2 1.x: 12-byte header, 3-byte palette entries
        BmpFile b{.headerSize = 12, .width = 3, .height = 2, .bpp = 8, .palette = pal};
        b.pixels = Bytes({1, 2, 3, 0, 4, 0, 1, 0});
        cases.push_back({"Os2CoreHeader", b.Build(), 3, 2, {White, Black, Red, Red, Green, Blue}});
    }
    {   // OS/2 2.x header cut after 16 bytes: the rest reads as 0, so 256 palette entries
        // are declared; only the 5 before bfOffBits are there
        BmpFile b{.headerSize = 16, .width = 2, .height = 1, .bpp = 8, .palette = pal};
        b.pixels = Bytes({3, 1, 0, 0});
        cases.push_back({"Os2v2ShortHeader", b.Build(), 2, 1, {Blue, Red}});
    }
    {
        BmpFile b{.width = 3, .height = 2, .bpp = 24};
        b.pixels = Bytes({0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0,             // bottom: red green blue
                          255, 255, 255, 0, 0, 0, 0x80, 0x80, 0x80, 0, 0, 0});  // top: white black grey
        cases.push_back({"Rgb24", b.Build(), 3, 2, {White, Black, Grey, Red, Green, Blue}});
    }
    {   // the fourth byte is not alpha: the picture stays opaque
        BmpFile b{.width = 2, .height = 1, .bpp = 32};
        b.pixels = Bytes({0, 0, 255, 0, 255, 0, 0, 0x7F});
        cases.push_back({"Rgb32", b.Build(), 2, 1, {Red, Blue}});
    }
    {   // default 5-5-5: full scale is 255, not 248; the top bit is ignored
        BmpFile b{.width = 4, .height = 1, .bpp = 16};
        b.pixels = Bytes({0xFF, 0x7F, 0x1F, 0x80, 0x10, 0x00, 0xE0, 0x03});
        cases.push_back({"Rgb16Default555", b.Build(), 4, 1, {White, Blue, K | 132, Green}});
    }
    {
        BmpFile b{.width = 2, .height = 1, .bpp = 16, .compression = 3, .masks = {0xF800, 0x07E0, 0x001F}};
        b.pixels = Bytes({0x00, 0xF8, 0x20, 0x00});  // red; green 1 of 63 -> 4
        cases.push_back({"Rgb16Bitfields565", b.Build(), 2, 1, {Red, K | 0x000400}});
    }
    {   // 5-5-5-1 with an alpha mask (ALPHABITFIELDS): alpha ignored
        BmpFile b{.width = 1, .height = 1, .bpp = 16, .compression = 6, .masks = {0x7C00, 0x03E0, 0x001F, 0x8000}};
        b.pixels = Bytes({0x1F, 0x00, 0, 0});
        cases.push_back({"Rgb16AlphaBitfields", b.Build(), 1, 1, {Blue}});
    }
    {   // version 5 header with the masks inside, in an unusual order and width
        BmpFile b{.headerSize = 124, .width = 2, .height = 1, .bpp = 32, .compression = 3,
              .masks = {0x000003FF, 0x000FFC00, 0x3FF00000, 0}};
        b.pixels.clear();
        Put32(b.pixels, 0x3FF);          // red 1023 of 1023
        Put32(b.pixels, 0x200u << 20);   // blue 512 of 1023 -> 128
        cases.push_back({"Rgb32BitfieldsV5", b.Build(), 2, 1, {Red, K | 128}});
    }
    {   // 52-byte header carries the masks; 8-8-8 at the default places
        BmpFile b{.headerSize = 52, .width = 1, .height = 1, .bpp = 32, .compression = 3,
              .masks = {0xFF0000, 0xFF00, 0xFF}};
        b.pixels = Bytes({0x11, 0x22, 0x33, 0x44});
        cases.push_back({"Rgb32DefaultMasksV2", b.Build(), 1, 1, {K | 0x332211}});
    }
    {   // RLE8: a run clipped at the right edge, EOL, absolute block (padded), delta, EOB.
        // Pixels never reached keep palette colour 0 (black here).
        BmpFile b{.width = 4, .height = 3, .bpp = 8, .compression = 1, .palette = pal};
        b.pixels = Bytes({6, 1, 0, 0,        // bottom row: red x4, the rest clipped; EOL
                          0, 3, 2, 3, 4, 0,  // middle row: absolute green blue white, pad byte
                          0, 2, 1, 1,        // delta from (3, 1) to (4, 2): past the right edge
                          0, 1});            // end of bitmap: the top row is never reached
        cases.push_back({"Rle8", b.Build(), 4, 3,
                         {Black, Black, Black, Black, Green, Blue, White, Black, Red, Red, Red, Red}});
    }
    {   // RLE4: runs alternate their two nibbles; absolute nibbles; data ends without EOB
        BmpFile b{.width = 5, .height = 2, .bpp = 4, .compression = 2, .palette = pal};
        b.pixels = Bytes({5, 0x12, 0, 0,   // bottom: 1 2 1 2 1
                          0, 3, 0x34, 0x10, 3, 0x44});  // top: abs 3 4 1, then run of 4 4 4 (clipped to 2)
        cases.push_back({"Rle4", b.Build(), 5, 2,
                         {Blue, White, Red, White, White, Red, Green, Red, Green, Red}});
    }
    {   // a top-down RLE file (not allowed by the format) is read leniently
        BmpFile b{.width = 2, .height = -2, .bpp = 8, .compression = 1, .palette = pal};
        b.pixels = Bytes({2, 3, 0, 0, 2, 4, 0, 1});
        cases.push_back({"Rle8TopDown", b.Build(), 2, 2, {Blue, Blue, White, White}});
    }
    {   // a bogus pixel offset inside the header: the pixels follow the palette
        BmpFile b{.width = 1, .height = 1, .bpp = 8, .palette = pal, .offBits = 1};
        b.pixels = Bytes({2, 0, 0, 0});
        cases.push_back({"OffsetInsideHeader", b.Build(), 1, 1, {Green}});
    }
    {   // a palette declared longer than 2^bpp entries; bfOffBits is honoured
        BmpFile b{.width = 1, .height = 1, .bpp = 1, .palette = std::vector<std::uint32_t>(3, 0x00FF00)};
        b.pixels = Bytes({0x80, 0, 0, 0});
        cases.push_back({"OversizedPalette", b.Build(), 1, 1, {Green}});
    }
    return cases;
}

void PrintTo(const DecodeCase& c, std::ostream* os) { *os << c.name; }

class BmpDecode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(BmpDecode, GivesTheStoredPixelsTopRowFirst)
{
    const DecodeCase& c = GetParam();
    TBitmap bitmap;
    bitmap.LoadFromMemory(reinterpret_cast<const unsigned char*>(c.file.data()), c.file.size());
    ASSERT_EQ(bitmap.Width(), c.width);
    ASSERT_EQ(bitmap.Height(), c.height);
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x)
            EXPECT_EQ(bitmap.ScanLine(y)[x], c.pixels[static_cast<size_t>(y) * c.width + x])
                << std::hex << "at " << std::dec << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Formats, BmpDecode, ::testing::ValuesIn(DecodeCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Errors -------------------------------------------------------------------------------

struct ErrorCase {
    const char* name;
    std::string file;
    const char* message;  // part of the error message
};

std::vector<ErrorCase> ErrorCases()
{
    const std::vector<std::uint32_t> pal = {0, 0xFFFFFF};
    auto bmp = [&](auto change) {
        BmpFile b{.width = 4, .height = 2, .bpp = 8, .palette = pal, .pixels = std::string(8, '\1')};
        change(b);
        return b.Build();
    };
    std::vector<ErrorCase> cases = {
        {"Empty", "", "ビットマップ ファイルではありません"},
        {"WrongSignature", "BA" + std::string(60, '\0'), "ビットマップ ファイルではありません"},
        {"NegativeWidth", bmp([](BmpFile& b) { b.width = -4; }), "幅 -4 "},
        {"ZeroHeight", bmp([](BmpFile& b) { b.height = 0; }), "高さが 0 "},
        {"BitCount30000", bmp([](BmpFile& b) { b.bpp = 30000; }), "ビット数 30000 "},
        {"HeaderSize8", bmp([](BmpFile& b) { b.headerSize = 8; }), "大きさ 8 "},
        {"OffsetBeyondEnd", bmp([](BmpFile& b) { b.offBits = 60277; }), "終わりを越えて"},
        {"TruncatedPixels", bmp([](BmpFile& b) { b.pixels.resize(5); }), "途中で切れて"},
        {"TallerThanTheData", bmp([](BmpFile& b) { b.height = 2818080; }), "途中で切れて"},
        {"Rle8WithFourBits", bmp([](BmpFile& b) { b.compression = 1; b.bpp = 4; }), "RLE8 圧縮に"},
        {"EmbeddedJpeg", bmp([](BmpFile& b) { b.compression = 4; }), "BI_JPEG) には対応して"},
        {"BitfieldsAt8Bits", bmp([](BmpFile& b) { b.compression = 3; }), "ビットフィールドに"},
        {"MasksMissing", [] {
             BmpFile b{.width = 1, .height = 1, .bpp = 16, .compression = 3};
             std::string f = b.Build();
             return f.substr(0, 14 + 40 + 4);
         }(), "マスク"},
        {"HeaderPastEnd", bmp([](BmpFile& b) { b.headerSize = 124; }).substr(0, 100), "ヘッダーがファイルの終わりを"},
        // More than MaxPicturePixels: refused from the header alone, before any allocation.
        {"Claims20000x20000", bmp([](BmpFile& b) { b.width = 20000; b.height = 20000; b.bpp = 1; }), "大きすぎます"},
        {"Claims3000000x2000000", bmp([](BmpFile& b) { b.width = 3000000; b.height = 2000000; b.bpp = 24; }), "大きすぎます"},
        {"RleClaims20000x20000", bmp([](BmpFile& b) { b.width = 20000; b.height = -20000; b.compression = 1; }), "大きすぎます"},
    };
    // Files of 2 to 13 bytes that begin with BM.
    for (size_t n = 2; n < 14; ++n)
        cases.push_back({"ShortFile", "BM" + std::string(n - 2, '\0'), "短すぎる"});
    return cases;
}

void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.name; }

class BmpErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(BmpErrors, RaiseEInvalidGraphicAndLeaveTheBitmapAsItWas)
{
    const ErrorCase& c = GetParam();
    TBitmap bitmap;
    bitmap.SetSize(3, 2);
    bitmap.ScanLine(1)[2] = 0xFF123456;
    const std::uint32_t* buffer = bitmap.ScanLine(0);
    const auto start = std::chrono::steady_clock::now();
    try {
        bitmap.LoadFromMemory(reinterpret_cast<const unsigned char*>(c.file.data()), c.file.size());
        ADD_FAILURE() << "decoded " << bitmap.Width() << " x " << bitmap.Height();
    } catch (const EInvalidGraphic& e) {
        EXPECT_NE(e.Message.find(c.message), std::string::npos) << e.Message;
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(bitmap.Height(), 2);
    EXPECT_EQ(bitmap.ScanLine(0), buffer);
    EXPECT_EQ(bitmap.ScanLine(1)[2], 0xFF123456u);
}

INSTANTIATE_TEST_SUITE_P(Files, BmpErrors, ::testing::ValuesIn(ErrorCases()),
                         [](const auto& info) {
                             return std::string(info.param.name) + "_" + std::to_string(info.index);
                         });

// Runs and deltas that point outside the picture, absolute blocks longer than the data:
// clipped, never written out of bounds (the sanitizer build watches this).
TEST(BmpRle, OverrunsAreClipped)
{
    for (int compression : {1, 2}) {
        BmpFile b{.width = 3, .height = 2, .bpp = compression == 1 ? 8 : 4, .compression = static_cast<std::uint32_t>(compression),
              .palette = {0x0000FF, 0xFF0000}};
        const int red = compression == 1 ? 1 : 0x11;  // RLE4 runs alternate two nibbles
        // run, delta far right, run, end of line, absolute block of 255 with 3 bytes left
        b.pixels = Bytes({255, red, 0, 2, 250, 0, 255, red, 0, 0, 0, 255, 0x11, 0x11, 0x11});
        const std::string file = b.Build();
        TBitmap bitmap;
        bitmap.LoadFromMemory(reinterpret_cast<const unsigned char*>(file.data()), file.size());
        EXPECT_EQ(bitmap.Width(), 3);
        EXPECT_EQ(bitmap.Height(), 2);
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(bitmap.ScanLine(1)[x], Red);  // the first run, clipped to the bottom row
            // 0x11: two red nibbles for RLE4, index 17 (beyond the palette: black) for RLE8
            EXPECT_EQ(bitmap.ScanLine(0)[x], compression == 1 ? Black : Red);
        }
    }
}

// --- Files ----------------------------------------------------------------------------------

std::string FlatBmp(std::uint32_t colour, int w = 2, int h = 2)
{
    BmpFile b{.width = w, .height = h, .bpp = 32};
    for (int i = 0; i < w * h; ++i)
        Put32(b.pixels, colour);
    return b.Build();
}

TEST(BmpFile, DamagedFileLeavesThePreviousPictureAndItsBuffer)
{
    TempDir dir;
    TBitmap bitmap;
    bitmap.LoadFromFile(dir.Write("good.bmp", FlatBmp(0x00FF00, 4, 3)));
    const std::uint32_t* buffer = bitmap.ScanLine(0);
    const std::vector<std::uint32_t> before = bitmap.Pixels().Data;
    std::string damaged = FlatBmp(0xFF0000, 5, 5);
    damaged.resize(damaged.size() - 7);
    const std::string path = dir.Write("damaged.bmp", damaged);
    try {
        bitmap.LoadFromFile(path);
        ADD_FAILURE() << "decoded";
    } catch (const EInvalidGraphic& e) {
        EXPECT_NE(e.Message.find(path), std::string::npos) << e.Message;
    }
    EXPECT_EQ(bitmap.Width(), 4);
    EXPECT_EQ(bitmap.Height(), 3);
    EXPECT_EQ(bitmap.ScanLine(0), buffer);
    EXPECT_EQ(bitmap.Pixels().Data, before);
}

TEST(BmpFile, NextPageReusesTheBuffer)
{
    TempDir dir;
    TBitmap bitmap;
    bitmap.LoadFromFile(dir.Write("a.bmp", FlatBmp(0x00FF00, 8, 8)));
    const std::uint32_t* buffer = bitmap.ScanLine(0);
    bitmap.LoadFromFile(dir.Write("b.bmp", FlatBmp(0x0000FF, 8, 8)));
    EXPECT_EQ(bitmap.ScanLine(0), buffer);
    EXPECT_EQ(bitmap.ScanLine(7)[7], Blue);
}

TEST(BmpFile, FileThatCannotBeOpenedRaisesEFOpenError)
{
    TempDir dir;
    TBitmap bitmap;
    EXPECT_THROW(bitmap.LoadFromFile(dir.Path() + "/missing.bmp"), EFOpenError);
    EXPECT_THROW(bitmap.LoadFromFile(dir.Path()), EFOpenError);
    EXPECT_THROW(bitmap.LoadFromFile(dir.Write("text.bmp", "hello")), EInvalidGraphic);
    EXPECT_TRUE(bitmap.Empty());
}

}  // namespace
