// TJPEGImage over libjpeg-turbo, and TBitmap::Assign from it. Fixtures come from libjpeg's
// own compressor (support/pictures.h) and are then cut or damaged byte by byte.
#include <chrono>
#include <cstring>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "exceptions.h"
#include "graphics.h"
#include "jpeg.h"
#include "pictures.h"
#include "support.h"

namespace {

// A picture with gradients, edges and noise, so that every decoder stage has work to do.
std::vector<unsigned char> Texture(int w, int h, int components)
{
    std::vector<unsigned char> px(static_cast<size_t>(w) * h * components);
    unsigned seed = 12345;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < components; ++c) {
                seed = seed * 1103515245u + 12345u;
                const int noise = static_cast<int>((seed >> 16) % 32);
                const int v = (x * (c + 1) * 7 + y * (3 - c % 3) * 5 + ((x / 9 + y / 7) % 2) * 60 + noise) % 256;
                px[(static_cast<size_t>(y) * w + x) * components + c] = static_cast<unsigned char>(v);
            }
    return px;
}

void PutU16(std::string& s, size_t at, unsigned v)
{
    s[at] = static_cast<char>(v >> 8);
    s[at + 1] = static_cast<char>(v & 0xFF);
}

std::string ColourJpeg(int w, int h, const JpegOptions& o = {})
{
    return EncodeJpeg(w, h, JCS_RGB, Texture(w, h, 3), o);
}

int Channel(std::uint32_t p, int shift) { return static_cast<int>((p >> shift) & 0xFF); }

class JpegTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string Write(const std::string& bytes, const std::string& name = "page.jpg")
    {
        return dir.Write(name, bytes);
    }
};

// --- Decoding -----------------------------------------------------------------------------

struct KindCase {
    const char* name;
    J_COLOR_SPACE in;
    JpegOptions options;
};

void PrintTo(const KindCase& c, std::ostream* os) { *os << c.name; }

class JpegKinds : public JpegTest, public ::testing::WithParamInterface<KindCase> {};

TEST_P(JpegKinds, MatchesLibjpegDefaultDecodePixelForPixel)
{
    const KindCase& k = GetParam();
    const int w = 67, h = 45;  // not a multiple of the MCU size
    const std::string file = EncodeJpeg(w, h, k.in, Texture(w, h, k.in == JCS_GRAYSCALE ? 1 : 3), k.options);
    int rw, rh, comps;
    const std::vector<unsigned char> ref = ReferenceDecode(file, rw, rh, comps);

    TJPEGImage jpeg;
    jpeg.LoadFromFile(Write(file));
    EXPECT_FALSE(jpeg.Empty());
    EXPECT_EQ(jpeg.Width(), w);
    EXPECT_EQ(jpeg.Height(), h);
    jpeg.DIBNeeded();
    const TPixelSurface& pic = jpeg.Picture();
    ASSERT_EQ(pic.Width, w);
    ASSERT_EQ(pic.Height, h);
    int mismatches = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const unsigned char* r = ref.data() + (static_cast<size_t>(y) * w + x) * comps;
            const std::uint32_t want = comps == 1 ? 0xFF000000u | r[0] * 0x010101u
                                                  : 0xFF000000u | r[0] << 16 | r[1] << 8 | r[2];
            mismatches += pic.Row(y)[x] != want;
        }
    EXPECT_EQ(mismatches, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, JpegKinds,
    ::testing::Values(KindCase{"Baseline420", JCS_RGB, {}},
                      KindCase{"Baseline444Q100", JCS_RGB, {.quality = 100, .full444 = true}},
                      KindCase{"Progressive", JCS_RGB, {.progressive = true}},
                      KindCase{"Arithmetic", JCS_RGB, {.arithmetic = true}},
                      KindCase{"ProgressiveArithmetic", JCS_RGB, {.progressive = true, .arithmetic = true}},
                      KindCase{"StoredAsRgb", JCS_RGB, {.stored = JCS_RGB}},
                      KindCase{"Grey", JCS_GRAYSCALE, {}},
                      KindCase{"GreyProgressive", JCS_GRAYSCALE, {.progressive = true}}),
    [](const auto& info) { return std::string(info.param.name); });

// Four flat 16 x 16 patches of CMYK ink, stored the way the Adobe marker says.
TEST_F(JpegTest, CmykAndYcckBecomeRgb)
{
    struct Patch { int r, g, b; };
    const Patch patches[4] = {{255, 0, 0}, {0, 128, 255}, {40, 200, 90}, {255, 255, 255}};
    // Ink for a colour with K = 0 (full black channel unused); inverted means stored 255 - ink.
    auto cmykImage = [&](bool inverted, bool darkK) {
        std::vector<unsigned char> px(32 * 32 * 4);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const Patch& p = patches[(y / 16) * 2 + x / 16];
                unsigned char ink[4] = {static_cast<unsigned char>(255 - p.r), static_cast<unsigned char>(255 - p.g),
                                        static_cast<unsigned char>(255 - p.b), 0};
                if (darkK)  // half black ink on top: the colour halves
                    ink[3] = 128;
                for (int c = 0; c < 4; ++c)
                    px[(y * 32 + x) * 4 + c] = inverted ? 255 - ink[c] : ink[c];
            }
        return px;
    };
    struct Case { const char* name; J_COLOR_SPACE stored; bool adobe; bool darkK; };
    const Case cases[] = {{"Adobe CMYK", JCS_CMYK, true, false},
                          {"Adobe CMYK with K", JCS_CMYK, true, true},
                          {"Adobe YCCK", JCS_YCCK, true, false},
                          {"CMYK without Adobe marker", JCS_CMYK, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JpegOptions o{.quality = 100, .stored = c.stored, .full444 = true, .adobeMarker = c.adobe};
        const std::string file = EncodeJpeg(32, 32, JCS_CMYK, cmykImage(c.adobe, c.darkK), o);
        TJPEGImage jpeg;
        jpeg.LoadFromFile(Write(file));
        jpeg.DIBNeeded();
        ASSERT_EQ(jpeg.Picture().Width, 32);
        for (int i = 0; i < 4; ++i) {
            const std::uint32_t p = jpeg.Picture().Row((i / 2) * 16 + 8)[(i % 2) * 16 + 8];
            const double f = c.darkK ? 127.0 / 255.0 : 1.0;
            EXPECT_EQ(p >> 24, 0xFFu);
            EXPECT_NEAR(Channel(p, 16), patches[i].r * f, 3) << "patch " << i;
            EXPECT_NEAR(Channel(p, 8), patches[i].g * f, 3) << "patch " << i;
            EXPECT_NEAR(Channel(p, 0), patches[i].b * f, 3) << "patch " << i;
        }
    }
}

TEST_F(JpegTest, FileCutShortInItsScanDataDecodesWithTheRestFilledIn)
{
    const std::string full = ColourJpeg(160, 120);
    const size_t sos = FindMarker(full, 0xDA);
    ASSERT_NE(sos, std::string::npos);
    const std::string cut = full.substr(0, sos + (full.size() - sos) / 2);

    TJPEGImage whole, part;
    whole.LoadFromFile(Write(full, "full.jpg"));
    whole.DIBNeeded();
    part.LoadFromFile(Write(cut, "cut.jpg"));
    part.DIBNeeded();  // the decoder's warning is ignored
    ASSERT_EQ(part.Picture().Width, 160);
    ASSERT_EQ(part.Picture().Height, 120);
    for (int y = 0; y < 16; ++y)  // the first MCU row is intact
        EXPECT_EQ(0, std::memcmp(part.Picture().Row(y), whole.Picture().Row(y), 160 * 4)) << "row " << y;
    EXPECT_NE(0, std::memcmp(part.Picture().Row(119), whole.Picture().Row(119), 160 * 4));
}

// --- Errors -------------------------------------------------------------------------------

struct DamageCase {
    const char* name;
    std::function<std::string(std::string)> damage;
    const char* message;  // part of the decoder's message
    bool failsAtLoad;     // the header parse already sees it
};

void PrintTo(const DamageCase& c, std::ostream* os) { *os << c.name; }

class JpegDamage : public JpegTest, public ::testing::WithParamInterface<DamageCase> {};

TEST_P(JpegDamage, RaisesEJPEGWithTheDecodersMessage)
{
    const DamageCase& c = GetParam();
    const std::string file = c.damage(ColourJpeg(48, 40, {.progressive = true}));
    for (bool keep : {true, false}) {
        SCOPED_TRACE(keep ? "KeepPixels" : "probe");
        TJPEGImage jpeg;
        jpeg.KeepPixels = keep;
        std::string message;
        bool loaded = false;
        try {
            jpeg.LoadFromFile(Write(file));
            loaded = true;
            jpeg.DIBNeeded();
            ADD_FAILURE() << "decoded";
        } catch (const EJPEG& e) {
            message = e.Message;
        }
        EXPECT_NE(message.find(c.message), std::string::npos) << message;
        EXPECT_EQ(loaded, !c.failsAtLoad);
        EXPECT_EQ(jpeg.Empty(), c.failsAtLoad);
        EXPECT_EQ(jpeg.Picture().Width, 0);
        EXPECT_TRUE(jpeg.Picture().Data.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JpegDamage,
    ::testing::Values(
        DamageCase{"EmptyFile", [](std::string) { return std::string(); }, "Empty input file", true},
        DamageCase{"NotAJpeg", [](std::string) { return std::string("\x89PNG\r\n\x1a\n0000000000", 18); },
                   "Not a JPEG file", true},
        DamageCase{"Precision12",
                   [](std::string s) { s[FindMarker(s, 0xC2) + 4] = 12; return s; },
                   "precision 12", true},
        DamageCase{"LosslessProcess",
                   [](std::string s) { s[FindMarker(s, 0xC2) + 1] = static_cast<char>(0xC3); return s; },
                   "SOF type 0xc3", true},
        DamageCase{"UnknownComponentInFirstScan",
                   [](std::string s) { s[FindMarker(s, 0xDA) + 5] = 9; return s; },
                   "Invalid component ID", true},
        // A later scan with impossible parameters: only the full decode reaches it.
        DamageCase{"BadLaterScan",
                   [](std::string s) {
                       const size_t second = FindMarker(s, 0xDA, FindMarker(s, 0xDA) + 2);
                       const size_t ns = static_cast<unsigned char>(s[second + 4]);
                       s[second + 5 + 2 * ns + 1] = static_cast<char>(200);  // Se
                       return s;
                   },
                   "Invalid progressive parameters", false}),
    [](const auto& info) { return std::string(info.param.name); });

// A progressive file can repeat scans without end, each one a pass over all coefficients.
// The last scan of a real file is repeated 600 times: refused once 500 have been read.
TEST_F(JpegTest, EndlessProgressiveScansAreRefused)
{
    const std::string file = ColourJpeg(32, 32, {.progressive = true});
    size_t last = FindMarker(file, 0xDA), next;
    while ((next = FindMarker(file, 0xDA, last + 2)) != std::string::npos)
        last = next;
    const size_t eoi = file.size() - 2;
    const std::string scan = file.substr(last, eoi - last);
    std::string looped = file.substr(0, eoi);
    for (int i = 0; i < 600; ++i)
        looped += scan;
    looped += file.substr(eoi);

    TJPEGImage jpeg;
    jpeg.LoadFromFile(Write(looped));
    try {
        jpeg.DIBNeeded();
        ADD_FAILURE() << "decoded";
    } catch (const EJPEG& e) {
        EXPECT_NE(e.Message.find("Too many scans"), std::string::npos) << e.Message;
    }
    // The same file with 100 extra scans is damaged but still within bounds.
    std::string fewer = file.substr(0, eoi);
    for (int i = 0; i < 100; ++i)
        fewer += scan;
    jpeg.LoadFromFile(Write(fewer + file.substr(eoi)));
    EXPECT_NO_THROW(jpeg.DIBNeeded());
}

TEST_F(JpegTest, FileThatCannotBeOpenedRaisesEFOpenErrorNotAGraphicError)
{
    TJPEGImage jpeg;
    for (const std::string& path : {dir.Path() + "/missing.jpg", dir.Path()}) {
        SCOPED_TRACE(path);
        try {
            jpeg.LoadFromFile(path);
            ADD_FAILURE() << "loaded";
        } catch (const EInvalidGraphic&) {
            ADD_FAILURE() << "raised a graphic error";
        } catch (const EFOpenError& e) {
            EXPECT_NE(e.Message.find(path), std::string::npos) << e.Message;
        }
        EXPECT_TRUE(jpeg.Empty());
    }
    EXPECT_THROW(jpeg.DIBNeeded(), EJPEG);
}

// The cap is checked against the header before any pixel buffer exists: a 20000 x 20000
// claim (1.6 GB of pixels) fails at once.
TEST_F(JpegTest, PictureOverTheCapFailsFastWithoutDecoding)
{
    std::string file = ColourJpeg(16, 16);
    const size_t sof = FindMarker(file, 0xC0);
    ASSERT_NE(sof, std::string::npos);
    PutU16(file, sof + 5, 20000);  // height
    PutU16(file, sof + 7, 20000);  // width
    const std::string path = Write(file);
    for (bool keep : {true, false}) {
        TJPEGImage jpeg;
        jpeg.KeepPixels = keep;
        jpeg.LoadFromFile(path);
        EXPECT_EQ(jpeg.Width(), 20000);
        EXPECT_EQ(jpeg.Height(), 20000);
        const auto start = std::chrono::steady_clock::now();
        try {
            jpeg.DIBNeeded();
            ADD_FAILURE() << "decoded";
        } catch (const EJPEG& e) {
            EXPECT_NE(e.Message.find("大きすぎます"), std::string::npos) << e.Message;
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
        EXPECT_EQ(jpeg.Picture().Data.capacity(), 0u);
    }
}

// --- State and buffers ----------------------------------------------------------------------

TEST_F(JpegTest, PixelBufferIsReusedFromPageToPage)
{
    const std::string big = Write(ColourJpeg(120, 90), "big.jpg");
    const std::string small = Write(ColourJpeg(50, 70), "small.jpg");
    TJPEGImage jpeg;
    jpeg.LoadFromFile(big);
    jpeg.DIBNeeded();
    const std::uint32_t* buffer = jpeg.Picture().Data.data();
    for (const std::string& page : {small, big, big}) {
        jpeg.LoadFromFile(page);
        jpeg.DIBNeeded();
        EXPECT_EQ(jpeg.Picture().Data.data(), buffer);
    }
    EXPECT_EQ(jpeg.Picture().Width, 120);

    TBitmap bitmap;
    bitmap.Assign(jpeg);
    const std::uint32_t* bitmapBuffer = bitmap.ScanLine(0);
    jpeg.LoadFromFile(small);
    jpeg.DIBNeeded();
    bitmap.Assign(jpeg);
    EXPECT_EQ(bitmap.ScanLine(0), bitmapBuffer);
    EXPECT_EQ(bitmap.Width(), 50);
    EXPECT_EQ(bitmap.Height(), 70);
}

TEST_F(JpegTest, ProbeDecodesEverythingButKeepsNoPixels)
{
    const std::string path = Write(ColourJpeg(90, 33, {.progressive = true}));
    TJPEGImage jpeg;
    jpeg.KeepPixels = false;
    jpeg.LoadFromFile(path);
    jpeg.DIBNeeded();
    EXPECT_FALSE(jpeg.Empty());
    EXPECT_EQ(jpeg.Width(), 90);
    EXPECT_EQ(jpeg.Height(), 33);
    EXPECT_EQ(jpeg.Picture().Width, 0);
    EXPECT_TRUE(jpeg.Picture().Data.empty());

    // Asking for the pixels afterwards decodes the same data again.
    jpeg.KeepPixels = true;
    jpeg.DIBNeeded();
    ASSERT_EQ(jpeg.Picture().Width, 90);
    ASSERT_EQ(jpeg.Picture().Height, 33);
    TJPEGImage direct;
    direct.LoadFromFile(path);
    direct.DIBNeeded();
    EXPECT_EQ(jpeg.Picture().Data, direct.Picture().Data);
}

TEST_F(JpegTest, FailedLoadDropsThePreviousPicture)
{
    TJPEGImage jpeg;
    jpeg.LoadFromFile(Write(ColourJpeg(30, 20), "good.jpg"));
    jpeg.DIBNeeded();
    EXPECT_THROW(jpeg.LoadFromFile(Write("not a jpeg", "bad.jpg")), EJPEG);
    EXPECT_TRUE(jpeg.Empty());
    EXPECT_EQ(jpeg.Width(), 0);
    EXPECT_EQ(jpeg.Height(), 0);
    EXPECT_EQ(jpeg.Picture().Width, 0);
    EXPECT_THROW(jpeg.DIBNeeded(), EJPEG);

    TBitmap bitmap;
    bitmap.SetSize(5, 5);
    bitmap.Assign(jpeg);
    EXPECT_TRUE(bitmap.Empty());
}

TEST_F(JpegTest, AssignCopiesSizeAndPixels)
{
    TJPEGImage jpeg;
    jpeg.LoadFromFile(Write(ColourJpeg(41, 23)));
    jpeg.DIBNeeded();
    TBitmap bitmap;
    bitmap.Assign(jpeg);
    ASSERT_EQ(bitmap.Width(), 41);
    ASSERT_EQ(bitmap.Height(), 23);
    EXPECT_EQ(bitmap.Pixels().Data, jpeg.Picture().Data);
}

}  // namespace
