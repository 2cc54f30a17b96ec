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

#include "bench_support.h"
#include "graphics.h"
#include "jpeg.h"
#include "pictures.h"

namespace {

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
    const BenchFolder scratch("jpeg-bench");
    const fs::path& dir = scratch.Path();

    struct Sample { const char* name; int w, h, components; bool progressive; };
    const Sample samples[] = {{"A4 300 dpi colour, baseline", 2480, 3508, 3, false},
                              {"A4 300 dpi colour, progressive", 2480, 3508, 3, true},
                              {"1100 x 1600 grey, baseline", 1100, 1600, 1, false}};
    std::printf("median of %d runs, in ms\n", runs);
    std::printf("%-32s %9s %9s %12s %9s %9s\n", "page", "file KB", "libjpeg", "TJPEGImage", "probe", "Assign");
    for (const Sample& s : samples) {
        const std::string file = ScannedPageJpeg(s.w, s.h, s.components, s.progressive, 2024);
        const std::string path = (dir / (std::string("page") + std::to_string(&s - samples) + ".jpg")).string();
        std::ofstream(path, std::ios::binary) << file;

        TPixelSurface plain;  // libjpeg alone, from memory: the floor
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
    return 0;
}
