#include "pictures.h"

#include <algorithm>
#include <cstdlib>

namespace {

[[noreturn]] void AbortOnError(j_common_ptr cinfo)
{
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    std::fprintf(stderr, "libjpeg error in a picture helper: %s\n", text);
    std::abort();
}

// A decompressor whose errors abort and whose warnings (a file cut short) stay quiet: the
// comparisons want whatever libjpeg makes of the file.
struct Decompressor {
    jpeg_decompress_struct d;
    jpeg_error_mgr err;

    Decompressor()
    {
        d.err = jpeg_std_error(&err);
        err.error_exit = AbortOnError;
        err.emit_message = [](j_common_ptr, int) {};
        jpeg_create_decompress(&d);
    }
    ~Decompressor() { jpeg_destroy_decompress(&d); }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;

    void FromMemory(const std::string& jpeg)
    {
        jpeg_mem_src(&d, reinterpret_cast<const unsigned char*>(jpeg.data()), jpeg.size());
    }

    // Sixteen rows a call, straight into the surface: nothing of the helper's own shows in a
    // timing of it.
    void ToBgrx(TPixelSurface& out)
    {
        jpeg_read_header(&d, TRUE);
        d.out_color_space = JCS_EXT_BGRX;
        jpeg_start_decompress(&d);
        out.Reset(static_cast<int>(d.output_width), static_cast<int>(d.output_height));
        while (d.output_scanline < d.output_height) {
            JSAMPROW rows[16];
            const JDIMENSION n = std::min<JDIMENSION>(16, d.output_height - d.output_scanline);
            for (JDIMENSION i = 0; i < n; ++i)
                rows[i] = reinterpret_cast<JSAMPROW>(out.Row(static_cast<int>(d.output_scanline + i)));
            jpeg_read_scanlines(&d, rows, n);
        }
        jpeg_finish_decompress(&d);
    }
};

}  // namespace

std::string EncodeJpeg(int w, int h, J_COLOR_SPACE in, const std::vector<unsigned char>& pixels,
                       const JpegOptions& o)
{
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    err.error_exit = AbortOnError;
    jpeg_create_compress(&c);
    unsigned char* buf = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buf, &size);
    c.image_width = static_cast<JDIMENSION>(w);
    c.image_height = static_cast<JDIMENSION>(h);
    c.in_color_space = in;
    c.input_components = in == JCS_GRAYSCALE ? 1 : in == JCS_CMYK ? 4 : 3;
    jpeg_set_defaults(&c);
    if (o.stored != JCS_UNKNOWN)
        jpeg_set_colorspace(&c, o.stored);
    jpeg_set_quality(&c, o.quality, TRUE);
    if (o.full444)
        for (int i = 0; i < c.num_components; ++i)
            c.comp_info[i].h_samp_factor = c.comp_info[i].v_samp_factor = 1;
    if (o.progressive)
        jpeg_simple_progression(&c);
    c.arith_code = o.arithmetic;
    c.write_Adobe_marker = o.adobeMarker && (in == JCS_CMYK);
    jpeg_start_compress(&c, TRUE);
    const size_t stride = static_cast<size_t>(w) * static_cast<size_t>(c.input_components);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(pixels.data() + c.next_scanline * stride);
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    std::string out(reinterpret_cast<char*>(buf), size);
    jpeg_destroy_compress(&c);
    std::free(buf);
    return out;
}

std::string EncodeJpeg(int w, int h, J_COLOR_SPACE in,
                       const std::function<void(int x, int y, unsigned char* bytes)>& pixel, const JpegOptions& o)
{
    const size_t components = in == JCS_GRAYSCALE ? 1 : in == JCS_CMYK ? 4 : 3;
    std::vector<unsigned char> px(static_cast<size_t>(w) * static_cast<size_t>(h) * components);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            pixel(x, y, &px[(static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)) * components]);
    return EncodeJpeg(w, h, in, px, o);
}

std::vector<unsigned char> ScannedPage(int w, int h, int components, unsigned seed)
{
    std::vector<unsigned char> px(static_cast<size_t>(w) * h * components);
    auto rnd = [&seed] { seed = seed * 1103515245u + 12345u; return (seed >> 16) & 0x7FFF; };
    const int margin = w / 12, lineHeight = h / 60;
    for (int y = 0; y < h; ++y) {
        const bool textLine = y > margin && y < h - margin && (y % lineHeight) < lineHeight * 6 / 10;
        for (int x = 0; x < w; ++x) {
            int v[3] = {236, 232, 222};  // paper
            const int grain = static_cast<int>(rnd() % 13) - 6;
            const bool picture = components == 3 && y > h / 2 && y < h / 2 + h / 4 && x > margin && x < w - margin;
            if (picture) {
                v[0] = (x * 255 / w + y / 7) % 256;
                v[1] = (y * 255 / h + ((x / 40 + y / 40) % 2) * 50) % 256;
                v[2] = (128 + (x - y) / 9) & 255;
            } else if (textLine && x > margin && x < w - margin && ((x / 9 + y / lineHeight * 7) % 11) < 7 &&
                       ((x * 7 + y * 3) / 5) % 9 < 4) {
                v[0] = v[1] = v[2] = 30;  // ink
            }
            for (int c = 0; c < components; ++c)
                px[(static_cast<size_t>(y) * w + x) * components + c] =
                    static_cast<unsigned char>(std::clamp(v[components == 1 ? 0 : c] + grain, 0, 255));
        }
    }
    return px;
}

std::string ScannedPageJpeg(int w, int h, int components, bool progressive, unsigned seed)
{
    return EncodeJpeg(w, h, components == 1 ? JCS_GRAYSCALE : JCS_RGB, ScannedPage(w, h, components, seed),
                      {.quality = 85, .progressive = progressive});
}

std::string SmallJpeg(int width, int height, unsigned rgb)
{
    return EncodeJpeg(
        width, height, JCS_RGB,
        [rgb](int x, int y, unsigned char* p) {
            const bool mark = x < 8 && y < 8;
            p[0] = mark ? 0 : (rgb >> 16) & 0xFF;
            p[1] = mark ? 0 : (rgb >> 8) & 0xFF;
            p[2] = mark ? 0 : rgb & 0xFF;
        },
        {.quality = 95});
}

std::size_t FindMarker(const std::string& jpeg, unsigned char code, std::size_t from)
{
    for (std::size_t i = from; i + 1 < jpeg.size(); ++i)
        if (static_cast<unsigned char>(jpeg[i]) == 0xFF && static_cast<unsigned char>(jpeg[i + 1]) == code)
            return i;
    return std::string::npos;
}

void PlainDecode(const std::string& jpeg, TPixelSurface& out)
{
    Decompressor d;
    d.FromMemory(jpeg);
    d.ToBgrx(out);
}

TPixelSurface PlainDecode(const std::string& jpeg)
{
    TPixelSurface s;
    PlainDecode(jpeg, s);
    return s;
}

void PlainDecodeFile(const std::string& path, TPixelSurface& out)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        std::perror(path.c_str());
        std::abort();
    }
    {
        Decompressor d;
        jpeg_stdio_src(&d.d, f);
        d.ToBgrx(out);
    }
    std::fclose(f);
}

std::vector<unsigned char> ReferenceDecode(const std::string& jpeg, int& w, int& h, int& components)
{
    Decompressor dec;
    jpeg_decompress_struct& d = dec.d;
    dec.FromMemory(jpeg);
    jpeg_read_header(&d, TRUE);
    if (d.jpeg_color_space != JCS_GRAYSCALE)
        d.out_color_space = JCS_RGB;
    jpeg_start_decompress(&d);
    w = static_cast<int>(d.output_width);
    h = static_cast<int>(d.output_height);
    components = d.output_components;
    const size_t stride = static_cast<size_t>(w) * static_cast<size_t>(components);
    std::vector<unsigned char> out(stride * static_cast<size_t>(h));
    while (d.output_scanline < d.output_height) {
        JSAMPROW row = out.data() + d.output_scanline * stride;
        jpeg_read_scanlines(&d, &row, 1);
    }
    jpeg_finish_decompress(&d);
    return out;
}

void Put16(std::string& s, std::uint32_t v)
{
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& s, std::uint32_t v)
{
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

std::string BmpFile::Build() const
{
    std::string info;
    Put32(info, headerSize);
    if (headerSize == 12) {
        Put16(info, static_cast<std::uint32_t>(width));
        Put16(info, static_cast<std::uint32_t>(height));
        Put16(info, 1);
        Put16(info, static_cast<std::uint32_t>(bpp));
    } else {
        Put32(info, static_cast<std::uint32_t>(width));
        Put32(info, static_cast<std::uint32_t>(height));
        Put16(info, 1);
        Put16(info, static_cast<std::uint32_t>(bpp));
        Put32(info, compression);
        Put32(info, static_cast<std::uint32_t>(pixels.size()));
        Put32(info, 2835);
        Put32(info, 2835);
        Put32(info, static_cast<std::uint32_t>(clrUsed >= 0 ? clrUsed : palette.size()));
        Put32(info, 0);
        if (headerSize >= 52)
            for (size_t i = 0; i < 4; ++i)
                Put32(info, i < masks.size() ? masks[i] : 0);
        info.resize(headerSize, '\0');
    }
    if (headerSize < 52)
        for (std::uint32_t m : masks)
            Put32(info, m);
    for (std::uint32_t c : palette) {
        info += static_cast<char>(c & 0xFF);
        info += static_cast<char>((c >> 8) & 0xFF);
        info += static_cast<char>((c >> 16) & 0xFF);
        if (headerSize != 12)
            info += '\0';
    }
    std::string file = "BM";
    const std::uint32_t off = offBits >= 0 ? static_cast<std::uint32_t>(offBits)
                                           : static_cast<std::uint32_t>(14 + info.size());
    Put32(file, static_cast<std::uint32_t>(14 + info.size() + pixels.size()));
    Put32(file, 0);
    Put32(file, off);
    return file + info + pixels;
}

std::string SmallBmp(int width, int height, unsigned rgb)
{
    BmpFile b{.width = width, .height = height, .bpp = 24};
    const size_t padding = static_cast<size_t>((4 - width * 3 % 4) % 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            b.pixels += static_cast<char>(rgb & 0xFF);
            b.pixels += static_cast<char>((rgb >> 8) & 0xFF);
            b.pixels += static_cast<char>((rgb >> 16) & 0xFF);
        }
        b.pixels.append(padding, '\0');
    }
    return b.Build();
}
