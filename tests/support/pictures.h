#pragma once
// Pictures made on the spot for the tests and the benchmarks: JPEG files from libjpeg's own
// compressor, Windows bitmap files built field by field, and libjpeg's own decode to compare
// the viewer's pixels (and its speed) against.
#include <cstddef>
#include <cstdint>
#include <cstdio>  // before jpeglib.h, which uses FILE
#include <functional>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "graphics.h"

// --- JPEG files -------------------------------------------------------------------------------

struct JpegOptions {
    int quality = 90;
    bool progressive = false;
    bool arithmetic = false;
    J_COLOR_SPACE stored = JCS_UNKNOWN;  // JCS_UNKNOWN: libjpeg's default for the input
    bool full444 = false;                // no chroma subsampling
    bool adobeMarker = true;             // only matters for CMYK
};

// Encodes w x h pixels of colour space `in` (JCS_GRAYSCALE, JCS_RGB or JCS_CMYK: 1, 3 or 4
// bytes each, rows top to bottom) into a JPEG file. A libjpeg error aborts the program: a
// fixture that cannot be made leaves nothing to test or measure.
std::string EncodeJpeg(int w, int h, J_COLOR_SPACE in, const std::vector<unsigned char>& pixels,
                       const JpegOptions& o = {});
// The same with each pixel's bytes filled in by pixel(x, y, bytes), called row by row from
// the top left, so that a generator may carry state (a noise seed) from one call to the next.
std::string EncodeJpeg(int w, int h, J_COLOR_SPACE in,
                       const std::function<void(int x, int y, unsigned char* bytes)>& pixel,
                       const JpegOptions& o = {});

// Something like a scanned page: off-white paper with grain, lines of "text" in dark strokes,
// and with 3 components a picture block with gradients. The seed varies the grain.
std::vector<unsigned char> ScannedPage(int w, int h, int components, unsigned seed);
// That page as a JPEG file at quality 85, as scanners commonly write them.
std::string ScannedPageJpeg(int w, int h, int components, bool progressive, unsigned seed);

// A real baseline JPEG of the given size, a flat colour (0xRRGGBB) with a mark in the corner.
std::string SmallJpeg(int width, int height, unsigned rgb = 0x336699);

// Offset of the first marker 0xFF `code` at or after `from`; npos if none.
std::size_t FindMarker(const std::string& jpeg, unsigned char code, std::size_t from = 2);

// --- libjpeg's own decode ---------------------------------------------------------------------

// libjpeg alone, from memory, into BGRX words: the pixels the page view must show, and the
// floor any decode of the file has to pay. `out` keeps its storage from call to call.
void PlainDecode(const std::string& jpeg, TPixelSurface& out);
TPixelSurface PlainDecode(const std::string& jpeg);
// The same, reading the file itself through stdio.
void PlainDecodeFile(const std::string& path, TPixelSurface& out);
// libjpeg's default decode to RGB (or grey) bytes, as a command-line decoder writes them.
std::vector<unsigned char> ReferenceDecode(const std::string& jpeg, int& w, int& h, int& components);

// --- Windows bitmap files ---------------------------------------------------------------------

// Little-endian fields appended to s.
void Put16(std::string& s, std::uint32_t v);
void Put32(std::string& s, std::uint32_t v);

// A bitmap file as the fields say; nothing is checked, so broken files are easy to make.
struct BmpFile {
    std::uint32_t headerSize = 40;
    std::int32_t width = 0, height = 0;
    int bpp = 8;
    std::uint32_t compression = 0;
    std::vector<std::uint32_t> palette = {};  // 0xRRGGBB
    std::vector<std::uint32_t> masks = {};    // inside a 52+ byte header, else after it
    std::string pixels = {};                  // exactly as stored
    std::int64_t clrUsed = -1;                // -1: the palette's size
    std::int64_t offBits = -1;                // -1: right after the palette

    std::string Build() const;
};

// A 24-bit Windows bitmap of the given size filled with one colour (0xRRGGBB); its header
// takes the first 54 bytes.
std::string SmallBmp(int width, int height, unsigned rgb = 0x996633);
