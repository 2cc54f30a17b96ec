// Resident memory of the viewer over many page turns: after 10 turns, when every buffer has
// met the largest page, and again after 1,000, which must show no growth. The pages differ
// in size and kind (grey and colour, baseline and progressive), so the buffers are reused,
// grown and shrunk as in a real folder. Writes its pages into a temporary folder and removes
// them again.
//
//   memory_bench [turns]      (default 1000)
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>

#include "bench_support.h"
#include "headless.h"
#include "pictures.h"

namespace {

long ResidentKb()
{
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

}  // namespace

int main(int argc, char** argv)
{
    const int turns = argc > 1 ? std::max(11, std::atoi(argv[1])) : 1000;
    const BenchFolder scratch("memory-bench");
    const HeadlessViewer viewer(scratch.Path().string());
    const std::filesystem::path folder = scratch.Path() / "pages";
    std::filesystem::create_directories(folder);
    struct Page { int w, h, components; bool progressive; };
    const Page pages[] = {{1100, 1600, 1, false}, {1000, 1400, 3, false}, {700, 1000, 3, true},
                          {1000, 1400, 3, true},  {600, 900, 1, false}};
    unsigned seed = 1;
    for (const Page& p : pages) {
        const std::string name = "page" + std::to_string(seed) + ".jpg";
        std::ofstream((folder / name).string(), std::ios::binary)
            << ScannedPageJpeg(p.w, p.h, p.components, p.progressive, seed);
        ++seed;
    }

    TfrmMain& f = viewer.Main();
    HeadlessScreen()->FolderAnswers.push_back(folder.string());
    f.spbOpenFolderClick(f.spbOpenFolder);
    if (f.PageCount != static_cast<int>(std::size(pages))) {
        std::fprintf(stderr, "memory_bench: the folder did not open\n");
        return 1;
    }
    long after10 = 0;
    for (int i = 1; i <= turns; ++i) {
        // Forward through the folder and round again, as a reader of a series would.
        f.PageNo = f.PageNo % f.PageCount + 1;
        f.ShowPage(f.PageNo);
        f.AdjustWindow(true);
        Application->ProcessMessages();
        if (i == 10)
            after10 = ResidentKb();
    }
    if (f.stbMain->Panels(0)->Text() != f.PageList->Get(f.PageNo - 1)) {
        std::fprintf(stderr, "memory_bench: the last page did not show\n");
        return 1;
    }
    const long after = ResidentKb();
    std::printf("resident memory after 10 turns %.1f MB, after %d turns %.1f MB, growth %ld KB\n", after10 / 1024.0,
                turns, after / 1024.0, after - after10);
    return 0;
}
