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

#include "bench_support.h"
#include "headless.h"
#include "pictures.h"

namespace {

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
    const BenchFolder scratch("showpage-bench");
    const fs::path& dir = scratch.Path();
    // The viewer's own folder (for fovi.ini) is the temporary one too.
    const HeadlessViewer viewer(dir.string());

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
            const std::string file = ScannedPageJpeg(s.w, s.h, s.components, s.progressive, seed);
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
        TPixelSurface plain;  // libjpeg alone, reading the file itself: the floor
        const std::vector<double> t = MedianMs(runs, {[&f](int i) {
                                                          f.PageNo = 1 + i % 2;
                                                          f.ShowPage(f.PageNo);
                                                      },
                                                      [&](int i) { PlainDecodeFile(path(i), plain); }});
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
    return 0;
}
