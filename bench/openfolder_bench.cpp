// Opening a big folder: the open-folder command, from the click to the filled page drop-down
// with page 1 on show, against a plain listing of the same folder (opendir/readdir, names
// filtered by extension) sorted with std::sort. Prints the medians and the parts of the
// command, then a last line ending in "ratio R" (command / plain listing).
//
//   openfolder_bench [runs] [files]      (defaults 7 and 10000)
//
// The page order follows the user's collation: run it under LC_ALL=C and under a real
// locale such as LC_ALL=ja_JP.UTF-8 to see both kinds of comparison.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numeric>
#include <string>
#include <vector>

#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>
#include <QString>

#include "bench_support.h"
#include "classes.h"
#include "headless.h"
#include "pictures.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double, std::milli>(b - a).count();
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

double Time(const std::function<void()>& f)
{
    const auto t0 = Clock::now();
    f();
    return Ms(t0, Clock::now());
}

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "openfolder_bench: %s\n", what);
    std::exit(1);
}

// A small grey page with darker bands, enough for the page display to decode.
std::string BandedJpeg(int w, int h)
{
    return EncodeJpeg(
        w, h, JCS_GRAYSCALE, [](int, int y, unsigned char* p) { *p = y % 40 < 8 ? 60 : 220; }, {.quality = 75});
}

bool HasPictureExtension(const char* name)
{
    const size_t n = std::strlen(name);
    if (n < 4 || name[n - 4] != '.')
        return false;
    char ext[4];
    for (int i = 0; i < 3; ++i)
        ext[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[n - 3 + i])));
    ext[3] = '\0';
    return std::strcmp(ext, "jpg") == 0 || std::strcmp(ext, "bmp") == 0;
}

// The reference: what any program has to do to list the folder's pictures in some order.
std::vector<std::string> PlainListing(const std::string& folder)
{
    std::vector<std::string> paths;
    DIR* d = opendir(folder.c_str());
    if (!d)
        Fail("cannot list the folder");
    while (dirent* e = readdir(d))
        if (e->d_type != DT_DIR && HasPictureExtension(e->d_name))
            paths.push_back(folder + "/" + e->d_name);
    closedir(d);
    std::sort(paths.begin(), paths.end());
    return paths;
}

// The collation TStringList::Sort uses (CompareStringUserIgnoreCase), set up the same way.
struct Collation {
    QCollator collator{QLocale::system().collation()};
    bool isC;
    Collation()
    {
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        collator.setNumericMode(false);
        collator.setIgnorePunctuation(false);
        isC = collator.locale().language() == QLocale::C;
    }
};

std::vector<std::string> Permuted(std::vector<std::string>& paths, const std::vector<size_t>& order)
{
    std::vector<std::string> sorted;
    sorted.reserve(paths.size());
    for (size_t i : order)
        sorted.push_back(std::move(paths[i]));
    return sorted;
}

// The plain listing plus one file-status call per picture, as the directory search makes
// to describe each entry it yields.
int ListingWithStatus(const std::string& folder)
{
    int n = 0;
    DIR* d = opendir(folder.c_str());
    if (!d)
        Fail("cannot list the folder");
    struct stat st;
    while (dirent* e = readdir(d))
        if (e->d_type != DT_DIR && HasPictureExtension(e->d_name))
            n += stat((folder + "/" + e->d_name).c_str(), &st) == 0;
    closedir(d);
    return n;
}

// The same order as TStringList::Sort, with each path turned into UTF-16 once instead of
// twice in every comparison.
void SortConvertedOnce(std::vector<std::string>& paths)
{
    const Collation c;
    std::vector<QString> text;
    text.reserve(paths.size());
    for (const auto& p : paths)
        text.push_back(QString::fromUtf8(p.data(), static_cast<qsizetype>(p.size())));
    std::vector<size_t> order(paths.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return (c.isC ? QString::compare(text[a], text[b], Qt::CaseInsensitive) : c.collator.compare(text[a], text[b])) < 0;
    });
    paths = Permuted(paths, order);
}

// The same order with one precomputed key per path (case-folded text, or the collator's
// sort key).
void SortWithKeys(std::vector<std::string>& paths)
{
    const Collation c;
    std::vector<size_t> order(paths.size());
    std::iota(order.begin(), order.end(), 0);
    if (c.isC) {
        std::vector<QString> keys;
        keys.reserve(paths.size());
        for (const auto& p : paths)
            keys.push_back(QString::fromUtf8(p.data(), static_cast<qsizetype>(p.size())).toCaseFolded());
        std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return keys[a] < keys[b]; });
    } else {
        std::vector<QCollatorSortKey> keys;
        keys.reserve(paths.size());
        for (const auto& p : paths)
            keys.push_back(c.collator.sortKey(QString::fromUtf8(p.data(), static_cast<qsizetype>(p.size()))));
        std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return keys[a].compare(keys[b]) < 0; });
    }
    paths = Permuted(paths, order);
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const int count = argc > 2 ? std::max(2, std::atoi(argv[2])) : 10000;

    const BenchFolder scratch("fovi-bench");
    const std::string base = scratch.Path().string();
    const std::string folder = base + "/pages";
    std::filesystem::create_directories(folder);
    // Page 1 is a real picture; the others are never shown, so empty files stand in for them.
    // Every tenth page is a bitmap, so both scans find something.
    for (int i = 1; i <= count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "page%05d.%s", i, i % 10 == 0 ? "bmp" : "jpg");
        std::ofstream out(folder + "/" + name, std::ios::binary);
        if (i == 1)
            out << BandedJpeg(600, 800);
    }

    const HeadlessViewer viewer(base);
    TfrmMain& f = viewer.Main();

    std::vector<double> command, plain, status, scan, sort, once, keyed, fill, show;
    for (int run = 0; run < runs; ++run) {
        HeadlessScreen()->FolderAnswers.push_back(folder);
        command.push_back(Time([&] { f.spbOpenFolder->Click(); }));
        if (f.cmbFileList->Items().Count() != count || f.PageNo != 1 || f.PageBitmap->Width() != 600)
            Fail("the command did not open the folder");

        std::vector<std::string> listed;
        plain.push_back(Time([&] { listed = PlainListing(folder); }));
        if (static_cast<int>(listed.size()) != count)
            Fail("the plain listing missed pages");

        status.push_back(Time([&] {
            if (ListingWithStatus(folder) != count)
                Fail("the listing with status calls missed pages");
        }));

        // The command's steps one by one, on the same folder.
        TStringList list;
        scan.push_back(Time([&] {
            f.FindFiles(folder + "/", "jpg", &list);
            f.FindFiles(folder + "/", "bmp", &list);
        }));
        sort.push_back(Time([&] { list.Sort(); }));
        for (auto [sorter, times] : {std::pair{&SortConvertedOnce, &once}, std::pair{&SortWithKeys, &keyed}}) {
            std::vector<std::string> paths(listed.rbegin(), listed.rend());
            times->push_back(Time([&] { sorter(paths); }));
            if (paths != list.Items())
                Fail("a faster sort differs from the list's order");
        }
        fill.push_back(Time([&] {
            f.cmbFileList->Clear();
            f.cmbFileList->Items().AddStrings(list);
        }));
        show.push_back(Time([&] {
            f.PageNo = 1;
            f.ShowPage(1);
            f.AdjustWindow(true);
        }));
    }

    const double c = Median(command), p = Median(plain);
    std::printf("%d pages, collation %s, medians of %d runs:\n", count,
                QLocale::system().collation().name().toUtf8().constData(), runs);
    std::printf("  command parts: scan (FindFiles jpg+bmp) %.1f ms, sort (TStringList::Sort) %.1f ms, "
                "drop-down fill %.1f ms, page 1 shown %.1f ms\n",
                Median(scan), Median(sort), Median(fill), Median(show));
    std::printf("  the same order, each path converted to UTF-16 once: %.1f ms; with one sort key per path: %.1f ms\n",
                Median(once), Median(keyed));
    std::printf("  the plain listing with one status call per picture, unsorted: %.1f ms\n", Median(status));
    std::printf("open folder %.1f ms, plain listing + std::sort %.1f ms, ratio %.2f\n", c, p, c / p);
    return 0;
}
