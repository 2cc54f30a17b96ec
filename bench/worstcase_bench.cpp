// What the worst inputs within the program's limits cost: one page display of each (probe,
// load, copy, paint, layout), with its time and the process's peak resident memory, and the
// start and close with a settings file of 50 MB. The figures go into the README's
// reliability section.
//
//   worstcase_bench
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

#include "bench_support.h"
#include "pictures.h"

namespace {

// Peak resident memory since the last Reset, in MB (Linux keeps the high-water mark).
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }
long PeakMb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6)) / 1024;
    return -1;
}

double CpuSeconds()
{
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return static_cast<double>(r.ru_utime.tv_sec + r.ru_stime.tv_sec) +
           static_cast<double>(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

// Wall-clock and processor seconds: on a machine shared with other work the second is the
// steadier figure.
struct Cost {
    double wall, cpu;
};
Cost Measure(const std::function<void()>& f)
{
    const double c0 = CpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count(), CpuSeconds() - c0};
}

void SetSize(std::string& jpeg, unsigned char sof, int w, int h)
{
    const std::size_t at = FindMarker(jpeg, sof);
    if (at == std::string::npos) {
        std::fprintf(stderr, "no SOF marker\n");
        std::exit(1);
    }
    jpeg[at + 5] = static_cast<char>(h >> 8);
    jpeg[at + 6] = static_cast<char>(h & 0xFF);
    jpeg[at + 7] = static_cast<char>(w >> 8);
    jpeg[at + 8] = static_cast<char>(w & 0xFF);
}

// A progressive file of the given size whose last scan is repeated until it has `scans`.
std::string ManyScans(int w, int h, int scans)
{
    std::string file = EncodeJpeg(96, 64, JCS_RGB, ScannedPage(96, 64, 3, 1), {.progressive = true});
    SetSize(file, 0xC2, w, h);
    int count = 0;
    std::size_t last = 0, next = FindMarker(file, 0xDA);
    while (next != std::string::npos) {
        last = next;
        ++count;
        next = FindMarker(file, 0xDA, last + 2);
    }
    const std::size_t eoi = file.size() - 2;
    const std::string scan = file.substr(last, eoi - last);
    std::string out = file.substr(0, eoi);
    for (; count < scans; ++count)
        out += scan;
    return out + file.substr(eoi);
}

}  // namespace

int main()
{
    const BenchFolder scratch("worstcase-bench");
    const std::string dir = scratch.Path().string();
    const HeadlessViewer viewer(dir);
    TfrmMain& f = viewer.Main();
    auto write = [&](const std::string& name, const std::string& bytes) {
        const std::string path = dir + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    };
    const std::string small = write("small.jpg", SmallJpeg(400, 300));
    auto show = [&](const std::string& path) {
        f.PageList->Clear();
        f.PageList->Add(path);
        f.PageCount = 1;
        f.PageNo = 1;
        f.ShowPage(1);
        f.AdjustWindow(true);
        Application->ProcessMessages();
    };

    std::string huge = SmallJpeg(64, 64);
    SetSize(huge, 0xC0, 10000, 10000);
    BmpFile rle{.width = 10000, .height = 10000, .bpp = 8, .compression = 1, .palette = {0xFFFFFF}};
    rle.pixels = std::string("\x00\x01", 2);
    const std::string fifo = dir + "/fifo.jpg";
    mkfifo(fifo.c_str(), 0644);
    const std::string zero = dir + "/zero.jpg";
    symlink("/dev/zero", zero.c_str());

    struct Case {
        const char* name;
        std::string path;
    };
    const Case cases[] = {
        {"JPEG 10000x10000, baseline, 4 KB", write("huge.jpg", huge)},
        {"JPEG 10000x10000, progressive, 10 scans", write("prog10.jpg", ManyScans(10000, 10000, 10))},
        {"JPEG 10000x10000, progressive, 500 scans", write("prog500.jpg", ManyScans(10000, 10000, 500))},
        {"JPEG 10000x10000, progressive, 501 scans", write("prog501.jpg", ManyScans(10000, 10000, 501))},
        {"BMP 10000x10000, RLE8, 1 KB", write("rle.bmp", rle.Build())},
        {"FIFO", fifo},
        {"link to /dev/zero", zero},
    };
    std::printf("%-44s %9s %8s %8s %8s  %s\n", "one page display of", "bytes", "wall s", "cpu s", "peak MB",
                "status bar");
    for (const Case& c : cases) {
        show(small);
        struct stat st {};
        stat(c.path.c_str(), &st);
        ResetPeak();
        const Cost cost = Measure([&] { show(c.path); });
        std::printf("%-44s %9lld %8.2f %8.2f %8ld  %s\n", c.name,
                    static_cast<long long>(S_ISREG(st.st_mode) ? st.st_size : 0), cost.wall, cost.cpu, PeakMb(),
                    f.stbMain->Panels(0)->Text() == c.path ? "shown" : "load failure");
        std::fflush(stdout);
    }
    show(small);

    // A settings file of 50 MB: other sections the program keeps, its own at the end.
    std::string ini;
    for (int section = 0; ini.size() < (50u << 20); ++section) {
        ini += "[Other" + std::to_string(section) + "]\r\n";
        for (int key = 0; key < 40; ++key)
            ini += "Key" + std::to_string(key) + "=" + std::string(60, 'v') + "\r\n";
    }
    ini += "[Config]\r\nSlideTime=3000\r\n";
    const std::string settings = write("big.ini", ini);
    ResetPeak();
    const Cost load = Measure([&] { f.LoadConfig(settings); });
    const Cost save = Measure([&] { f.SaveConfig(settings); });
    std::printf("settings file of %zu MB: the start reads it in %.2f s (cpu %.2f), the close writes it in %.2f s "
                "(cpu %.2f), peak %ld MB\n",
                ini.size() >> 20, load.wall, load.cpu, save.wall, save.cpu, PeakMb());
    return 0;
}
