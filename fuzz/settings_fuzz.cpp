// The settings file: whatever fovi.ini holds, loading it never fails, and saving the settings
// into it and loading them again gives back every value saved.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "Main.h"
#include "fuzz_support.h"

namespace {

struct Values {
    int left, top, width, height, slideTime;
    bool front, toolBar, statusBar, pageBar, autoResize, posCng, exitConfirm;
    bool operator==(const Values&) const = default;
};

Values Take(const TfrmMain& f)
{
    return {f.WndLeft,  f.WndTop,  f.WndWidth,  f.WndHeight,  f.SlideTime, f.WndFront,  f.ToolBar,
            f.StatusBar, f.PageBar, f.AutoResize, f.WndPosCng, f.ExitConfirm};
}

void Put(TfrmMain& f, const Values& v)
{
    f.WndLeft = v.left;
    f.WndTop = v.top;
    f.WndWidth = v.width;
    f.WndHeight = v.height;
    f.SlideTime = v.slideTime;
    f.WndFront = v.front;
    f.ToolBar = v.toolBar;
    f.StatusBar = v.statusBar;
    f.PageBar = v.pageBar;
    f.AutoResize = v.autoResize;
    f.WndPosCng = v.posCng;
    f.ExitConfirm = v.exitConfirm;
}

// Values to save, drawn from the input so that extremes and signs get their turn.
Values Draw(const std::uint8_t* data, std::size_t size)
{
    std::uint64_t h = 1469598103934665603ull;
    for (std::size_t i = 0; i < size; ++i)
        h = (h ^ data[i]) * 1099511628211ull;
    auto next = [&] {
        h ^= h >> 33;
        h *= 0xff51afd7ed558ccdull;
        h ^= h >> 33;
        switch (h & 7) {
        case 0: return INT_MIN;
        case 1: return INT_MAX;
        case 2: return 0;
        default: return static_cast<int>(static_cast<std::uint32_t>(h >> 7));
        }
    };
    Values v{};
    v.left = next();
    v.top = next();
    v.width = next();
    v.height = next();
    v.slideTime = next();
    v.front = next() & 1;
    v.toolBar = next() & 1;
    v.statusBar = next() & 1;
    v.pageBar = next() & 1;
    v.autoResize = next() & 1;
    v.posCng = next() & 1;
    v.exitConfirm = next() & 1;
    return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TfrmMain& f = FuzzMainWindow();
    const std::string path = FuzzFolder() + "/fovi.ini";
    WriteFuzzFile(path, data, size);

    f.LoadConfig(path);

    const Values saved = Draw(data, size);
    Put(f, saved);
    f.SaveConfig(path);
    Put(f, Values{1, 2, 3, 4, 5, false, false, false, false, false, false, false});
    f.LoadConfig(path);
    if (!(Take(f) == saved))
        std::abort();  // a value saved did not come back
    return 0;
}
