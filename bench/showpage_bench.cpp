// Page turns against one plain libjpeg decode of the same file, for three kinds of page:
//  - ShowPage as it works on its own (preparation and the load beside the probe switched
//    off): a probe decode, a load decode, a copy into the page bitmap and the blit onto the
//    page view, so about two decodes is its floor;
//  - a cold turn (GoNextPage with nothing prepared): the load runs beside the probe, so
//    about one decode of wall time;
//  - a prepared turn (GoNextPage after a reading pause of real idle time in the pump): the
//    decodes were made ahead, what is left is the copy and the blit.
// Then 40 A4 pages read at a steady pace with preparation on: the CPU time each turn costs
// the process (decodes ahead included) and the resident memory afterwards. Writes its test
// pages into a temporary folder and removes them again.
//
//   showpage_bench [runs]      (default 15; prints the median of each)
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "Mainfunc_ahead.h"
#include "bench_support.h"
#include "headless.h"
#include "pictures.h"

namespace {

double Median(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// A step to time, with untimed work to do before it.
struct Step {
    std::function<void(int)> timed;
    std::function<void(int)> before = nullptr;
};

// Medians of `runs` timed calls of each step(i), the steps taking turns call by call, so
// that a machine busy with other work slows them alike. Two untimed rounds go first (buffers
// exist from then on, as they do from the second page of a folder).
std::vector<double> MedianMs(int runs, const std::vector<Step>& steps)
{
    std::vector<std::vector<double>> ms(steps.size());
    for (int i = -2; i < runs; ++i)
        for (size_t k = 0; k < steps.size(); ++k) {
            if (steps[k].before)
                steps[k].before(i + 2);
            const auto t0 = std::chrono::steady_clock::now();
            steps[k].timed(i + 2);
            const auto t1 = std::chrono::steady_clock::now();
            if (i >= 0)
                ms[k].push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        }
    std::vector<double> medians;
    for (auto& m : ms)
        medians.push_back(Median(m));
    return medians;
}

// The running message loop with nothing to do for ms of real time: what a reader's pause
// looks like to the program.
void Pause(int ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (!Application->ProcessMessages()) {
            Application->Idle();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
}

double CpuMs()
{
    timespec ts {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

// The process's resident memory in MB.
double ResidentMb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atof(line.c_str() + 6) / 1024.0;
    return 0;
}

// Writes count pages of one kind into folder, the files from a few different seeds.
std::vector<std::string> WritePages(const std::filesystem::path& folder, int count, int w, int h, int components,
                                    bool progressive, size_t* bytes = nullptr)
{
    std::filesystem::create_directories(folder);
    std::vector<std::string> contents;
    for (unsigned seed : {1u, 2u, 3u})
        contents.push_back(ScannedPageJpeg(w, h, components, progressive, seed));
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "page%02d.jpg", i + 1);
        paths.push_back((folder / name).string());
        const std::string& file = contents[static_cast<size_t>(i) % contents.size()];
        std::ofstream(paths.back(), std::ios::binary) << file;
        if (bytes)
            *bytes = file.size();
    }
    return paths;
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
    TfrmMain& f = *frmMain;
    const auto open = [&](const fs::path& folder, int pages, int width) {
        HeadlessScreen()->FolderAnswers.push_back(folder.string());
        f.spbOpenFolderClick(f.spbOpenFolder);
        if (f.PageCount != pages || f.PageBitmap->Width() != width) {
            std::fprintf(stderr, "%s: the folder did not open\n", folder.c_str());
            std::exit(1);
        }
    };

    // First the reading session, while the process holds nothing else: 40 A4 pages, the next
    // one every 300 ms of idle pump, preparation on.
    {
        constexpr int Pages = 40;
        const fs::path folder = dir / "session";
        WritePages(folder, Pages, 2480, 3508, 3, false);
        f.PrepareAhead = f.LoadBesideProbe = true;
        open(folder, Pages, 2480);
        Pause(300);
        const double cpu0 = CpuMs();
        for (int i = 1; i < Pages; ++i) {
            f.GoNextPage();
            Pause(300);
        }
        const double cpuPerTurn = (CpuMs() - cpu0) / (Pages - 1);
        if (f.PageNo != Pages || f.PageWorker()->PreparedTurns() < Pages - 2) {
            std::fprintf(stderr, "the reading session did not turn prepared pages\n");
            return 1;
        }
        std::printf("40 A4 pages, preparation on: CPU per turn %.1f ms, resident memory %.0f MB\n", cpuPerTurn,
                    ResidentMb());
        f.frmFileCloseClick(f.frmFileClose);
    }

    struct Sample { const char* name; int w, h, components; bool progressive; };
    const Sample samples[] = {{"1100 x 1600 grey, baseline", 1100, 1600, 1, false},
                              {"A4 300 dpi colour, baseline", 2480, 3508, 3, false},
                              {"A4 300 dpi colour, progressive", 2480, 3508, 3, true}};
    std::printf("median of %d runs, in ms; ratio = time / plain libjpeg decode of the same file\n", runs);
    for (const Sample& s : samples) {
        // A few pages of the same kind: every call decodes another file than the last.
        constexpr int Pages = 4;
        const fs::path folder = dir / ("pages" + std::to_string(&s - samples));
        size_t bytes = 0;
        const std::vector<std::string> paths = WritePages(folder, Pages, s.w, s.h, s.components, s.progressive, &bytes);
        open(folder, Pages, s.w);
        const auto path = [&paths](int i) { return paths[static_cast<size_t>(i % Pages)]; };
        // Before each timed turn, page i % (Pages - 1) + 1 is on show, so that the turn goes to
        // the page after it.
        const auto showPageBefore = [&f](int i, bool prepared) {
            f.PrepareAhead = prepared;
            f.PageNo = i % (Pages - 1) + 1;
            f.ShowPage(f.PageNo);
            f.AdjustWindow(true);
            if (prepared)
                Pause(300);
        };
        TPixelSurface plain;  // libjpeg alone, reading the file itself: the floor
        const Step plainDecode{[&](int i) { PlainDecodeFile(path(i + 1), plain); }};

        // ShowPage on its own, then the two kinds of turn.
        const std::vector<double> t = MedianMs(
            runs, {{[&f](int i) {
                        f.PageNo = 1 + i % Pages;
                        f.ShowPage(f.PageNo);
                    },
                    [&f](int) { f.PrepareAhead = f.LoadBesideProbe = false; }},
                   plainDecode,
                   {[&f](int) { f.GoNextPage(); },
                    [&](int i) {
                        f.LoadBesideProbe = true;
                        showPageBefore(i, false);
                    }},
                   {[&f](int) { f.GoNextPage(); }, [&](int i) { showPageBefore(i, true); }}});
        const double tShow = t[0], tPlain = t[1], tCold = t[2], tPrepared = t[3];
        if (f.stbMain->Panels(0)->Text() != f.PageList->Get(f.PageNo - 1) || f.PageWorker()->PreparedTurns() < runs) {
            std::fprintf(stderr, "%s: the page did not show, or not from a prepared result\n", s.name);
            return 1;
        }
        f.PrepareAhead = f.LoadBesideProbe = false;
        // Where ShowPage's time goes: its steps one by one, on the same alternating files.
        const std::vector<double> steps = MedianMs(runs, {{[&](int i) { f.IsFileExist(path(i)); }},
                                                          {[&](int i) { f.IsJpegFile(path(i)); }},
                                                          {[&](int i) { f.LoadJpegFile(path(i), f.JpegImage); }},
                                                          {[&](int) { f.JpegToBitmap(f.JpegImage, f.PageBitmap); }},
                                                          {[&](int) { f.DrawPageImage(); }}});

        std::printf("%-32s %5zu KB  plain decode %7.1f\n", s.name, bytes / 1024, tPlain);
        std::printf("%-32s           ShowPage %7.1f  ratio %.2f\n", "", tShow, tShow / tPlain);
        std::printf("%-32s           GoNextPage, nothing prepared %7.1f  cold ratio %.2f\n", "", tCold,
                    tCold / tPlain);
        std::printf("%-32s           GoNextPage after a pause %7.1f  prepared ratio %.2f\n", "", tPrepared,
                    tPrepared / tPlain);
        std::printf("%-32s           steps: file test %.2f, probe %.1f, load and decode %.1f, copy %.1f, draw %.1f\n",
                    "", steps[0], steps[1], steps[2], steps[3], steps[4]);
    }
    return 0;
}
