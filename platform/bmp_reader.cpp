#include "bmp_reader.h"

#include <array>
#include <bit>
#include <cstring>
#include <string>
#include <vector>

#include "exceptions.h"

namespace {

constexpr std::uint32_t Opaque = 0xFF000000u;

std::uint16_t U16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t U32(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::int32_t S32(const unsigned char* p) { return static_cast<std::int32_t>(U32(p)); }

[[noreturn]] void Fail(const std::string& what) { throw EInvalidGraphic("ビットマップとして読めません: " + what); }

// One colour channel of a bit-field pixel, scaled to 0..255 as round(v * 255 / max).
class Channel {
public:
    explicit Channel(std::uint32_t mask) : mask_(mask)
    {
        if (mask == 0) {  // the channel is absent: it reads 0
            lut_.assign(1, 0);
            return;
        }
        shift_ = std::countr_zero(mask);
        std::uint32_t max = mask >> shift_;
        const int bits = std::bit_width(max);
        drop_ = bits > 16 ? bits - 16 : 0;  // keep tables small: 16 significant bits suffice
        max >>= drop_;
        lut_.resize(static_cast<std::size_t>(max) + 1);
        for (std::uint32_t v = 0; v <= max; ++v)
            lut_[v] = static_cast<std::uint8_t>((static_cast<std::uint64_t>(v) * 255 + max / 2) / max);
    }
    // (p & mask) >> shift never exceeds mask >> shift, so the index stays in the table.
    std::uint32_t operator()(std::uint32_t p) const { return lut_[((p & mask_) >> shift_) >> drop_]; }

private:
    std::uint32_t mask_;
    int shift_ = 0, drop_ = 0;
    std::vector<std::uint8_t> lut_;
};

enum class Kind { Indexed, Rle8, Rle4, Bits16, Rgb24, Rgb32, Bits32 };

// Everything the decode needs, checked against the data. Building it may fail or allocate;
// the decode that follows does neither.
struct Plan {
    int width = 0, height = 0;
    bool topDown = false;
    int bpp = 0;
    Kind kind = Kind::Indexed;
    std::uint64_t offset = 0;  // first byte of the pixel data
    std::uint64_t stride = 0;  // bytes per stored row (uncompressed kinds)
    std::array<std::uint32_t, 256> palette{};
    std::vector<std::uint32_t> lut16;         // Bits16: pixel value -> 0xFFRRGGBB
    std::vector<Channel> channels;            // Bits32: red, green, blue
};

Plan MakePlan(const unsigned char* data, std::size_t size)
{
    if (size < 2 || data[0] != 'B' || data[1] != 'M')
        throw EInvalidGraphic("Windows ビットマップ ファイルではありません (\"BM\" の印がありません)");
    if (size < 18)
        Fail("ヘッダーには短すぎるファイルです");
    const std::uint64_t bfOffBits = U32(data + 10);
    const std::uint32_t hsize = U32(data + 14);
    if (hsize < 12 || (hsize > 12 && hsize < 16))
        Fail("ヘッダーの大きさ " + std::to_string(hsize) + " は知られていません");
    if (14 + static_cast<std::uint64_t>(hsize) > size)
        Fail("ヘッダーがファイルの終わりを越えています");

    // Fields a short header leaves out read as 0 (OS/2 2.x headers may stop after 16 bytes).
    unsigned char h[124] = {};
    std::memcpy(h, data + 14, hsize < sizeof h ? hsize : sizeof h);

    const bool core = hsize == 12;
    // OS/2 2.x: 16 to 64 bytes; its 40-byte form is indistinguishable from Windows 3 and
    // read as such. Its compression codes 3 and 4 mean Huffman 1D and RLE24, not bit fields.
    const bool os2 = !core && (hsize < 40 || hsize == 64);
    std::int64_t width, height;
    std::uint32_t compression = 0, clrUsed = 0;
    int bpp;
    if (core) {
        width = U16(h + 4);
        height = U16(h + 6);
        bpp = U16(h + 10);
    } else {
        width = S32(h + 4);
        height = S32(h + 8);
        bpp = U16(h + 14);
        compression = U32(h + 16);
        clrUsed = U32(h + 32);
    }

    Plan plan;
    if (width <= 0)
        Fail("幅 " + std::to_string(width) + " は正しくありません");
    if (height == 0)
        Fail("高さが 0 です");
    plan.topDown = height < 0;
    if (height < 0)
        height = -height;  // 64-bit: INT32_MIN negates safely
    if (width * height > MaxPicturePixels)
        Fail("画像が大きすぎます: " + std::to_string(width) + " x " + std::to_string(height) +
             " 画素は " + std::to_string(MaxPicturePixels) + " 画素を超えます");
    plan.width = static_cast<int>(width);
    plan.height = static_cast<int>(height);
    plan.bpp = bpp;

    // Kind of pixel data and where bit-field masks come from.
    std::uint64_t masksAfterHeader = 0;  // bytes of masks between header and palette
    std::uint32_t masks[3] = {};
    bool haveMasks = false;
    switch (compression) {
    case 0:  // BI_RGB
        switch (bpp) {
        case 1: case 2: case 4: case 8: plan.kind = Kind::Indexed; break;
        case 16: plan.kind = Kind::Bits16; break;
        case 24: plan.kind = Kind::Rgb24; break;
        case 32: plan.kind = Kind::Rgb32; break;
        default: Fail("ビット数 " + std::to_string(bpp) + " には対応していません");
        }
        break;
    case 1:  // BI_RLE8
        if (bpp != 8)
            Fail("RLE8 圧縮にビット数 " + std::to_string(bpp) + " は使えません");
        plan.kind = Kind::Rle8;
        break;
    case 2:  // BI_RLE4
        if (bpp != 4)
            Fail("RLE4 圧縮にビット数 " + std::to_string(bpp) + " は使えません");
        plan.kind = Kind::Rle4;
        break;
    case 3:  // BI_BITFIELDS
    case 6:  // BI_ALPHABITFIELDS
        if (os2)
            Fail(compression == 3 ? "OS/2 の Huffman 1D 圧縮には対応していません"
                                  : "圧縮形式 6 には対応していません");
        if (bpp != 16 && bpp != 32)
            Fail("ビットフィールドにビット数 " + std::to_string(bpp) + " は使えません");
        plan.kind = bpp == 16 ? Kind::Bits16 : Kind::Bits32;
        haveMasks = true;
        if (hsize >= 52) {
            for (int i = 0; i < 3; ++i)
                masks[i] = U32(h + 40 + 4 * i);
        } else {
            masksAfterHeader = compression == 6 ? 16 : 12;
            if (14 + static_cast<std::uint64_t>(hsize) + masksAfterHeader > size)
                Fail("色のマスクがファイルの終わりを越えています");
            for (int i = 0; i < 3; ++i)
                masks[i] = U32(data + 14 + hsize + 4 * i);
        }
        break;
    case 4:
        Fail(os2 ? "OS/2 の RLE24 圧縮には対応していません"
                 : "埋め込まれた JPEG データ (BI_JPEG) には対応していません");
    case 5:
        Fail("埋め込まれた PNG データ (BI_PNG) には対応していません");
    default:
        Fail("圧縮形式 " + std::to_string(compression) + " には対応していません");
    }

    // Palette: 3-byte entries after a core header, 4-byte ones otherwise.
    const std::uint64_t entrySize = core ? 3 : 4;
    const std::uint64_t paletteStart = 14 + static_cast<std::uint64_t>(hsize) + masksAfterHeader;
    // Entries the file declares (they sit before the pixels even when the pixels do not
    // use them).
    std::uint64_t declared = clrUsed;
    if (bpp <= 8 && (core || clrUsed == 0))
        declared = 1u << bpp;
    // The pixels start at bfOffBits. A value pointing into the headers is nonsense: assume
    // the pixels follow the palette.
    if (bfOffBits >= paletteStart)
        plan.offset = bfOffBits;
    else
        plan.offset = paletteStart + declared * entrySize;
    if (plan.offset > size)
        Fail("画素データの位置 " + std::to_string(plan.offset) + " が " + std::to_string(size) +
             " バイトのファイルの終わりを越えています");

    plan.palette.fill(Opaque);  // indices beyond the palette read black
    if (bpp <= 8) {
        std::uint64_t count = declared < (1u << bpp) ? declared : (1u << bpp);
        // Only what lies before the pixels (a core file's short palette) and in the file.
        const std::uint64_t end = plan.offset > paletteStart ? plan.offset : size;
        const std::uint64_t room = end > paletteStart ? (end - paletteStart) / entrySize : 0;
        if (count > room)
            count = room;
        for (std::uint64_t i = 0; i < count; ++i) {
            const unsigned char* e = data + paletteStart + i * entrySize;
            plan.palette[i] = Opaque | static_cast<std::uint32_t>(e[2]) << 16 |
                              static_cast<std::uint32_t>(e[1]) << 8 | e[0];
        }
    }

    // Uncompressed data must be all there; RLE may stop anywhere.
    if (plan.kind != Kind::Rle8 && plan.kind != Kind::Rle4) {
        plan.stride = (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bpp) + 31) / 32 * 4;
        const std::uint64_t lastRow = (static_cast<std::uint64_t>(width) * bpp + 7) / 8;
        const std::uint64_t need = plan.stride * static_cast<std::uint64_t>(height - 1) + lastRow;
        if (need > size - plan.offset)
            Fail("画素データが途中で切れています: " + std::to_string(need) + " バイトのところ " +
                 std::to_string(size - plan.offset) + " バイトしかありません");
    }

    if (plan.kind == Kind::Bits16) {
        if (!haveMasks) {  // 5-5-5
            masks[0] = 0x7C00;
            masks[1] = 0x03E0;
            masks[2] = 0x001F;
        }
        const Channel r(masks[0] & 0xFFFF), g(masks[1] & 0xFFFF), b(masks[2] & 0xFFFF);
        plan.lut16.resize(65536);
        for (std::uint32_t p = 0; p < 65536; ++p)
            plan.lut16[p] = Opaque | r(p) << 16 | g(p) << 8 | b(p);
    } else if (plan.kind == Kind::Bits32) {
        if (masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF) {
            plan.kind = Kind::Rgb32;  // the default layout: plain bytes
        } else {
            for (std::uint32_t m : masks)
                plan.channels.emplace_back(m);
        }
    }
    return plan;
}

// RLE4/RLE8. The surface is filled with palette colour 0 first; runs, deltas and absolute
// blocks that leave the picture are clipped, and data that ends early leaves the rest.
void DecodeRle(const Plan& plan, const unsigned char* data, std::size_t size, TPixelSurface& out)
{
    const bool four = plan.kind == Kind::Rle4;
    const std::uint32_t background = plan.palette[0];
    for (std::uint32_t& p : out.Data)
        p = background;
    const std::int64_t w = plan.width, h = plan.height;
    std::int64_t x = 0, y = 0;  // y counts stored rows
    auto put = [&](std::uint32_t index) {
        if (x < w)
            out.Row(static_cast<int>(plan.topDown ? y : h - 1 - y))[x] = plan.palette[index];
        ++x;
    };
    std::size_t pos = static_cast<std::size_t>(plan.offset);
    while (y < h && size - pos >= 2) {
        const unsigned count = data[pos], code = data[pos + 1];
        pos += 2;
        if (count > 0) {  // a run
            for (unsigned i = 0; i < count && x < w; ++i)  // clipped at the right edge
                put(four ? (i % 2 == 0 ? code >> 4 : code & 15) : code);
            continue;
        }
        if (code == 0) {  // end of line
            x = 0;
            ++y;
        } else if (code == 1) {  // end of bitmap
            break;
        } else if (code == 2) {  // delta
            if (size - pos < 2)
                break;
            x += data[pos];
            y += data[pos + 1];
            pos += 2;
        } else {  // absolute block of `code` pixels, padded to a 16-bit boundary
            const std::size_t bytes = four ? (code + 1) / 2 : code;
            const std::size_t avail = size - pos < bytes ? size - pos : bytes;
            for (unsigned i = 0; i < code; ++i) {
                const std::size_t at = four ? i / 2 : i;
                if (at >= avail)
                    break;
                const unsigned b = data[pos + at];
                put(four ? (i % 2 == 0 ? b >> 4 : b & 15) : b);
            }
            pos += avail;
            if (bytes % 2 && pos < size)
                ++pos;
        }
    }
}

void DecodePlan(const Plan& plan, const unsigned char* data, std::size_t size, TPixelSurface& out)
{
    out.Reset(plan.width, plan.height);
    if (plan.kind == Kind::Rle8 || plan.kind == Kind::Rle4) {
        DecodeRle(plan, data, size, out);
        return;
    }
    const int w = plan.width;
    for (int r = 0; r < plan.height; ++r) {
        const unsigned char* s = data + plan.offset + plan.stride * static_cast<std::uint64_t>(r);
        std::uint32_t* d = out.Row(plan.topDown ? r : plan.height - 1 - r);
        switch (plan.kind) {
        case Kind::Indexed: {
            const int bpp = plan.bpp;
            if (bpp == 8) {
                for (int x = 0; x < w; ++x)
                    d[x] = plan.palette[s[x]];
            } else {
                const unsigned mask = (1u << bpp) - 1;
                for (int x = 0; x < w; ++x) {
                    const std::int64_t bit = static_cast<std::int64_t>(x) * bpp;
                    d[x] = plan.palette[(s[bit >> 3] >> (8 - bpp - (bit & 7))) & mask];
                }
            }
            break;
        }
        case Kind::Bits16:
            for (int x = 0; x < w; ++x)
                d[x] = plan.lut16[U16(s + 2 * x)];
            break;
        case Kind::Rgb24:
            for (int x = 0; x < w; ++x, s += 3)
                d[x] = Opaque | static_cast<std::uint32_t>(s[2]) << 16 |
                       static_cast<std::uint32_t>(s[1]) << 8 | s[0];
            break;
        case Kind::Rgb32:
            for (int x = 0; x < w; ++x)
                d[x] = Opaque | U32(s + 4 * x);
            break;
        case Kind::Bits32: {
            const Channel& cr = plan.channels[0];
            const Channel& cg = plan.channels[1];
            const Channel& cb = plan.channels[2];
            for (int x = 0; x < w; ++x) {
                const std::uint32_t p = U32(s + 4 * x);
                d[x] = Opaque | cr(p) << 16 | cg(p) << 8 | cb(p);
            }
            break;
        }
        case Kind::Rle8:
        case Kind::Rle4:
            break;
        }
    }
}

}  // namespace

void DecodeBmp(const unsigned char* data, std::size_t size, TPixelSurface& out)
{
    const Plan plan = MakePlan(data, size);
    DecodePlan(plan, data, size, out);
}
