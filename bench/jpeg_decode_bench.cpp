// Cost of the JPEG steps of a page turn: plain libjpeg against TJPEGImage, the probe form
// (KeepPixels = false) and the copy into the page bitmap. Writes its test pages into a
// temporary folder and removes them again.
//
//   jpeg_decode_bench [runs]      (default 15; prints the median of each)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "graphics.h"
#include "jpeg.h"

namespace {

[[noreturn]] void AbortOnError(j_common_ptr cinfo)
{
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    std::fprintf(stderr, "libjpeg: %s\n", text);
    std::exit(1);
}

// Something like a scanned page: off-white paper with grain, lines of "text" made of dark
// strokes, and for colour pages a picture block with gradients and noise.
std::vector<unsigned char> Page(int w, int h, int components)
{
    std::vector<unsigned char> px(static_cast<size_t>(w) * h * components);
    unsigned seed = 2024;
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

std::string Encode(int w, int h, int components, bool progressive)
{
    const std::vector<unsigned char> px = Page(w, h, components);
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    err.error_exit = AbortOnError;
    jpeg_create_compress(&c);
    unsigned char* buf = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buf, &size);
    c.image_width = w;
    c.image_height = h;
    c.input_components = components;
    c.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 85, TRUE);
    if (progressive)
        jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(px.data() + static_cast<size_t>(c.next_scanline) * w * components);
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    std::string out(reinterpret_cast<char*>(buf), size);
    jpeg_destroy_compress(&c);
    std::free(buf);
    return out;
}

// The floor: libjpeg alone, from memory, straight into a reused BGRX buffer.
void PlainDecode(const std::string& file, std::vector<std::uint32_t>& out)
{
    jpeg_decompress_struct d;
    jpeg_error_mgr err;
    d.err = jpeg_std_error(&err);
    err.error_exit = AbortOnError;
    err.emit_message = [](j_common_ptr, int) {};
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, reinterpret_cast<const unsigned char*>(file.data()), file.size());
    jpeg_read_header(&d, TRUE);
    d.out_color_space = JCS_EXT_BGRX;
    jpeg_start_decompress(&d);
    const size_t w = d.output_width;
    if (out.size() < w * d.output_height)
        out.resize(w * d.output_height);
    while (d.output_scanline < d.output_height) {
        JSAMPROW rows[16];
        const JDIMENSION n = std::min<JDIMENSION>(16, d.output_height - d.output_scanline);
        for (JDIMENSION i = 0; i < n; ++i)
            rows[i] = reinterpret_cast<JSAMPROW>(out.data() + (d.output_scanline + i) * w);
        jpeg_read_scanlines(&d, rows, n);
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
}

double MedianMs(int runs, const std::function<void()>& step)
{
    step();  // warm-up: buffers exist from here on, as they do from the second page
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        step();
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    namespace fs = std::filesystem;
    std::string templ = (fs::temp_directory_path() / "jpeg-bench-XXXXXX").string();
    if (!mkdtemp(templ.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path dir = templ;

    struct Sample { const char* name; int w, h, components; bool progressive; };
    const Sample samples[] = {{"A4 300 dpi colour, baseline", 2480, 3508, 3, false},
                              {"A4 300 dpi colour, progressive", 2480, 3508, 3, true},
                              {"1100 x 1600 grey, baseline", 1100, 1600, 1, false}};
    std::printf("median of %d runs, in ms\n", runs);
    std::printf("%-32s %9s %9s %12s %9s %9s\n", "page", "file KB", "libjpeg", "TJPEGImage", "probe", "Assign");
    for (const Sample& s : samples) {
        const std::string file = Encode(s.w, s.h, s.components, s.progressive);
        const std::string path = (dir / (std::string("page") + std::to_string(&s - samples) + ".jpg")).string();
        std::ofstream(path, std::ios::binary) << file;

        std::vector<std::uint32_t> plain;
        const double tPlain = MedianMs(runs, [&] { PlainDecode(file, plain); });

        TJPEGImage page;  // the page decoder lives on, as JpegImage does
        const double tLoad = MedianMs(runs, [&] {
            page.LoadFromFile(path);
            page.DIBNeeded();
        });
        const double tProbe = MedianMs(runs, [&] {
            TJPEGImage probe;  // a fresh probe per call, as IsJpegFile makes it
            probe.KeepPixels = false;
            probe.LoadFromFile(path);
            probe.DIBNeeded();
        });
        TBitmap bitmap;
        const double tAssign = MedianMs(runs, [&] { bitmap.Assign(page); });

        std::printf("%-32s %9zu %9.1f %12.1f %9.1f %9.1f\n", s.name, file.size() / 1024, tPlain, tLoad, tProbe,
                    tAssign);
    }
    std::error_code ec;
    fs::remove_all(dir, ec);
    return 0;
}
