// One page display (TfrmMain::ShowPage) against one plain libjpeg decode of the same file.
// ShowPage probes the file with a full decode, decodes it again into the page decoder,
// copies the pixels into the page bitmap and blits them onto the page view, so about two
// decodes plus two copies is its floor. Writes its test pages into a temporary folder and
// removes them again.
//
//   showpage_bench [runs]      (default 15; prints the median of each)
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

#include "Fmconfig.h"
#include "Frmver.h"
#include "Main.h"
#include "fileinfo.h"
#include "headless.h"

namespace {

[[noreturn]] void AbortOnError(j_common_ptr cinfo)
{
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    std::fprintf(stderr, "libjpeg: %s\n", text);
    std::exit(1);
}

// Something like a scanned page: paper with grain, lines of "text" in dark strokes, and on
// colour pages a picture block with gradients. The seed varies the grain between pages.
std::vector<unsigned char> Page(int w, int h, int components, unsigned seed)
{
    std::vector<unsigned char> px(static_cast<size_t>(w) * h * components);
    auto rnd = [&seed] { seed = seed * 1103515245u + 12345u; return (seed >> 16) & 0x7FFF; };
    const int margin = w / 12, lineHeight = h / 60;
    for (int y = 0; y < h; ++y) {
        const bool textLine = y > margin && y < h - margin && (y % lineHeight) < lineHeight * 6 / 10;
        for (int x = 0; x < w; ++x) {
            int v[3] = {236, 232, 222};
            const int grain = static_cast<int>(rnd() % 13) - 6;
            const bool picture = components == 3 && y > h / 2 && y < h / 2 + h / 4 && x > margin && x < w - margin;
            if (picture) {
                v[0] = (x * 255 / w + y / 7) % 256;
                v[1] = (y * 255 / h + ((x / 40 + y / 40) % 2) * 50) % 256;
                v[2] = (128 + (x - y) / 9) & 255;
            } else if (textLine && x > margin && x < w - margin && ((x / 9 + y / lineHeight * 7) % 11) < 7 &&
                       ((x * 7 + y * 3) / 5) % 9 < 4) {
                v[0] = v[1] = v[2] = 30;
            }
            for (int c = 0; c < components; ++c)
                px[(static_cast<size_t>(y) * w + x) * components + c] =
                    static_cast<unsigned char>(std::clamp(v[components == 1 ? 0 : c] + grain, 0, 255));
        }
    }
    return px;
}

std::string Encode(int w, int h, int components, bool progressive, unsigned seed)
{
    const std::vector<unsigned char> px = Page(w, h, components, seed);
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

// The floor: libjpeg alone, reading the file itself, straight into a reused BGRX buffer.
void PlainDecode(const std::string& path, std::vector<std::uint32_t>& out)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        std::perror(path.c_str());
        std::exit(1);
    }
    jpeg_decompress_struct d;
    jpeg_error_mgr err;
    d.err = jpeg_std_error(&err);
    err.error_exit = AbortOnError;
    err.emit_message = [](j_common_ptr, int) {};
    jpeg_create_decompress(&d);
    jpeg_stdio_src(&d, f);
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
    std::fclose(f);
}

double Median(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// Medians of `runs` timed calls of each step(i), the steps taking turns call by call, so
// that a machine busy with other work slows them alike. Two untimed rounds go first (buffers
// exist from then on, as they do from the second page of a folder).
std::vector<double> MedianMs(int runs, const std::vector<std::function<void(int)>>& steps)
{
    std::vector<std::vector<double>> ms(steps.size());
    for (int i = -2; i < runs; ++i)
        for (size_t k = 0; k < steps.size(); ++k) {
            const auto t0 = std::chrono::steady_clock::now();
            steps[k](i + 2);
            const auto t1 = std::chrono::steady_clock::now();
            if (i >= 0)
                ms[k].push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        }
    std::vector<double> medians;
    for (auto& m : ms)
        medians.push_back(Median(m));
    return medians;
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    namespace fs = std::filesystem;
    std::string templ = (fs::temp_directory_path() / "showpage-bench-XXXXXX").string();
    if (!mkdtemp(templ.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path dir = templ;
    // The viewer's own folder (for fovi.ini) is the temporary one too: nothing is written
    // beside the benchmark.
    SetProgramDirForTesting(dir.string());

    // The viewer, headless, with its three windows as the entry point creates them.
    auto* app = new TApplication;
    Application->SetTitle("Folivo");
    Application->CreateForm(frmMain);
    Application->CreateForm(frmVersion);
    Application->CreateForm(frmConfig);
    frmMain->Show();

    struct Sample { const char* name; int w, h, components; bool progressive; };
    const Sample samples[] = {{"1100 x 1600 grey, baseline", 1100, 1600, 1, false},
                              {"A4 300 dpi colour, baseline", 2480, 3508, 3, false},
                              {"A4 300 dpi colour, progressive", 2480, 3508, 3, true}};
    std::printf("median of %d runs, in ms; ratio = ShowPage / plain libjpeg decode\n", runs);
    for (const Sample& s : samples) {
        // Two pages of the same kind, shown in turn: every call decodes a different file.
        const fs::path folder = dir / ("pages" + std::to_string(&s - samples));
        fs::create_directories(folder);
        std::vector<std::string> paths;
        size_t bytes = 0;
        for (unsigned seed : {1u, 2u}) {
            const std::string file = Encode(s.w, s.h, s.components, s.progressive, seed);
            paths.push_back((folder / ("page" + std::to_string(seed) + ".jpg")).string());
            std::ofstream(paths.back(), std::ios::binary) << file;
            bytes += file.size();
        }

        HeadlessScreen()->FolderAnswers.push_back(folder.string());
        frmMain->spbOpenFolderClick(frmMain->spbOpenFolder);
        if (frmMain->PageCount != 2 || frmMain->PageBitmap->Width() != s.w) {
            std::fprintf(stderr, "%s: the folder did not open\n", s.name);
            return 1;
        }
        TfrmMain& f = *frmMain;
        const auto path = [&paths](int i) { return paths[static_cast<size_t>(i % 2)]; };
        std::vector<std::uint32_t> plain;
        const std::vector<double> t = MedianMs(runs, {[&f](int i) {
                                                          f.PageNo = 1 + i % 2;
                                                          f.ShowPage(f.PageNo);
                                                      },
                                                      [&](int i) { PlainDecode(path(i), plain); }});
        const double tShow = t[0], tPlain = t[1];
        if (f.stbMain->Panels(0)->Text() != f.PageList->Get(f.PageNo - 1)) {
            std::fprintf(stderr, "%s: the page did not show\n", s.name);
            return 1;
        }
        // Where ShowPage's time goes: its steps one by one, on the same alternating files.
        const std::vector<double> steps = MedianMs(runs, {[&](int i) { f.IsFileExist(path(i)); },
                                                          [&](int i) { f.IsJpegFile(path(i)); },
                                                          [&](int i) { f.LoadJpegFile(path(i), f.JpegImage); },
                                                          [&](int) { f.JpegToBitmap(f.JpegImage, f.PageBitmap); },
                                                          [&](int) { f.DrawPageImage(); }});

        std::printf("%-32s %5zu KB  ShowPage %7.1f  plain decode %7.1f  ratio %.2f\n", s.name, bytes / 2 / 1024,
                    tShow, tPlain, tShow / tPlain);
        std::printf("%-32s           steps: file test %.2f, probe %.1f, load and decode %.1f, copy %.1f, draw %.1f\n",
                    "", steps[0], steps[1], steps[2], steps[3], steps[4]);
    }

    delete app;
    SetProgramDirForTesting("");
    std::error_code ec;
    fs::remove_all(dir, ec);
    return 0;
}
