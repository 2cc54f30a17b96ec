// Start-up: from starting the program to its first painted window, against a minimal Qt
// Widgets window, on the X display in DISPLAY (bench.sh starts a virtual one). A window counts
// as painted once it is viewable and the middle of it is no longer the black of the bare
// server's root window behind it. Both programs are started in turn, run by run, so that a
// busy machine slows them alike; the first round of each only warms the caches.
//
//   startup_bench FOVI MINIMAL_WINDOW [runs]      (default 15; prints the medians)
//
// The last line ends in "ratio R" (viewer / minimal window).
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::optional<Window> FindWindow(Display* d, Window w, const std::string& titleStart)
{
    char* name = nullptr;
    if (XFetchName(d, w, &name) && name) {
        const bool match = std::string(name).rfind(titleStart, 0) == 0;
        XFree(name);
        if (match)
            return w;
    }
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(d, w, &root, &parent, &children, &count))
        return std::nullopt;
    std::optional<Window> found;
    for (unsigned i = 0; i < count && !found; ++i)
        found = FindWindow(d, children[i], titleStart);
    if (children)
        XFree(children);
    return found;
}

int IgnoreErrors(Display*, XErrorEvent*)
{
    return 0;  // a window may vanish between the listing and the look at it
}

bool Painted(Display* d, Window w)
{
    XWindowAttributes a;
    if (!XGetWindowAttributes(d, w, &a) || a.map_state != IsViewable || a.width < 8 || a.height < 8)
        return false;
    XImage* img = XGetImage(d, w, a.width / 2 - 4, a.height / 2 - 4, 8, 8, AllPlanes, ZPixmap);
    if (!img)
        return false;
    bool painted = false;
    for (int y = 0; y < 8 && !painted; ++y)
        for (int x = 0; x < 8 && !painted; ++x)
            painted = (XGetPixel(img, x, y) & 0xFFFFFF) != 0;
    XDestroyImage(img);
    return painted;
}

// Milliseconds from the start of the program to its painted window; the program is ended
// afterwards. -1 when no window appeared within 20 s.
double TimeToPaintedWindow(Display* d, const std::string& exe, const std::string& title, const std::string& cwd)
{
    const auto t0 = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(cwd.c_str()) != 0)
            _exit(127);
        // Qt's own notes on the console would only interleave with the figures.
        if (const int null = open("/dev/null", O_WRONLY); null >= 0) {
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
        }
        execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    double ms = -1;
    while (Clock::now() - t0 < std::chrono::seconds(20) && waitpid(pid, nullptr, WNOHANG) == 0) {
        if (const auto w = FindWindow(d, DefaultRootWindow(d), title); w && Painted(d, *w)) {
            ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
            break;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    if (kill(pid, SIGTERM) == 0)
        waitpid(pid, nullptr, 0);
    XSync(d, False);
    return ms;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup_bench FOVI MINIMAL_WINDOW [runs]\n");
        return 2;
    }
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 15;
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "startup_bench: no X display\n");
        return 1;
    }
    XSetErrorHandler(IgnoreErrors);

    // The viewer runs from a folder of its own, so that it reads no settings of the user's and
    // leaves none behind.
    std::string folder = (std::filesystem::temp_directory_path() / "startup-bench-XXXXXX").string();
    if (!mkdtemp(folder.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    struct Remove {
        std::string dir;
        ~Remove() { std::filesystem::remove_all(dir); }
    } remove{folder};
    const std::string fovi = folder + "/fovi";
    std::filesystem::copy_file(argv[1], fovi);
    const std::string minimalWindow = std::filesystem::absolute(argv[2]).string();

    std::vector<double> viewer, minimal;
    for (int i = -1; i < runs; ++i) {
        const double v = TimeToPaintedWindow(d, fovi, "Folivo", folder);
        const double m = TimeToPaintedWindow(d, minimalWindow, "minimal", folder);
        if (v < 0 || m < 0) {
            std::fprintf(stderr, "startup_bench: no painted window (%s)\n", v < 0 ? "viewer" : "minimal window");
            return 1;
        }
        if (i >= 0) {
            viewer.push_back(v);
            minimal.push_back(m);
        }
    }
    XCloseDisplay(d);
    const double tv = Median(viewer), tm = Median(minimal);
    std::printf("median of %d runs, in ms, start to a painted window: viewer %.1f  minimal Qt window %.1f  ratio %.2f\n",
                runs, tv, tm, tv / tm);
    return 0;
}
