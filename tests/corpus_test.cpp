// Every file of the third-party corpus (../shared/corpus/MANIFEST.tsv) through the decoder it
// is meant for: BMP rows through TBitmap::LoadFromFile, JPEG rows through TJPEGImage
// LoadFromFile + DIBNeeded. Reference renderings are PNG files, read with QImage (QtGui).
#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <QImage>
#include <QLoggingCategory>
#include <QString>
#include <gtest/gtest.h>

#include "exceptions.h"
#include "graphics.h"
#include "jpeg.h"
#include "support.h"

namespace {

struct Row {
    std::string path, format, expect, width, height, reference, note;
    std::string name;  // the test's name
};

std::vector<std::string> Split(const std::string& s, char sep)
{
    std::vector<std::string> parts;
    std::stringstream in(s);
    std::string part;
    while (std::getline(in, part, sep))
        parts.push_back(part);
    return parts;
}

std::vector<Row> ReadManifest()
{
    std::vector<Row> rows;
    std::ifstream in(CorpusDir() + "/MANIFEST.tsv");
    std::string line;
    std::getline(in, line);  // header
    std::set<std::string> names;
    while (std::getline(in, line)) {
        if (line.empty())
            continue;
        const std::vector<std::string> f = Split(line, '\t');
        if (f.size() < 8)
            continue;  // counted by ManifestIsComplete
        Row r{f[0], f[1], f[2], f[3], f[4], f[5], f[7], ""};
        for (char c : r.path)
            r.name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        while (!names.insert(r.name).second)  // keep names unique after sanitising
            r.name += "_";
        rows.push_back(r);
    }
    return rows;
}

// How far a JPEG reference may be from libjpeg-turbo's default output, as the note says.
int JpegTolerance(const std::string& note)
{
    if (note.find("matches djpeg output exactly") != std::string::npos)
        return 0;
    const size_t at = note.find("within ");
    if (at != std::string::npos)
        return std::atoi(note.c_str() + at + 7);
    return 2;
}

struct Decoded {
    bool ok = false;
    std::string error;
    bool errorIsException = false;  // derived from the library's Exception
    TPixelSurface pixels;
};

Decoded Decode(const Row& row)
{
    Decoded d;
    const std::string path = CorpusDir() + "/" + row.path;
    try {
        if (row.format == "bmp") {
            TBitmap bitmap;
            bitmap.LoadFromFile(path);
            d.pixels = bitmap.Pixels();
        } else {
            TJPEGImage jpeg;
            jpeg.LoadFromFile(path);
            jpeg.DIBNeeded();
            EXPECT_EQ(jpeg.Width(), jpeg.Picture().Width);
            EXPECT_EQ(jpeg.Height(), jpeg.Picture().Height);
            d.pixels = jpeg.Picture();
        }
        d.ok = true;
    } catch (const Exception& e) {
        d.error = e.Message;
        d.errorIsException = true;
    } catch (const std::exception& e) {
        d.error = e.what();
    }
    return d;
}

// Number of pixels further than `tolerance` from the reference in any of R, G, B. Pixels
// the reference leaves fully transparent are undefined there and not compared.
long Differences(const TPixelSurface& got, const QImage& reference, int tolerance, std::string& first)
{
    const QImage ref = reference.convertToFormat(QImage::Format_ARGB32);
    long bad = 0;
    for (int y = 0; y < got.Height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(ref.constScanLine(y));
        for (int x = 0; x < got.Width; ++x) {
            const QRgb want = line[x];
            if (qAlpha(want) == 0)
                continue;
            const std::uint32_t p = got.Row(y)[x];
            const int dr = std::abs(static_cast<int>((p >> 16) & 0xFF) - qRed(want));
            const int dg = std::abs(static_cast<int>((p >> 8) & 0xFF) - qGreen(want));
            const int db = std::abs(static_cast<int>(p & 0xFF) - qBlue(want));
            if (std::max({dr, dg, db}) > tolerance && bad++ == 0) {
                std::ostringstream s;
                s << "first at " << x << "," << y << ": got " << std::hex << (p & 0xFFFFFF) << ", want "
                  << (want & 0xFFFFFF);
                first = s.str();
            }
        }
    }
    return bad;
}

// Failures name the row, not its bytes.
void PrintTo(const Row& row, std::ostream* os) { *os << row.path; }

class Corpus : public ::testing::TestWithParam<Row> {};

TEST_P(Corpus, DecodesAsTheManifestSays)
{
    const Row& row = GetParam();
    SCOPED_TRACE(row.path + " (" + row.expect + "): " + row.note);
    const auto start = std::chrono::steady_clock::now();
    const Decoded d = Decode(row);
    // A hang detector, generous enough for a loaded machine and the sanitizer build: the
    // slowest file takes about 1 s there, the whole corpus a few seconds.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));

    if (!d.ok) {
        EXPECT_TRUE(d.errorIsException) << "not a library exception: " << d.error;
        EXPECT_FALSE(d.error.empty());
    }
    if (row.expect == "fail") {
        EXPECT_FALSE(d.ok) << "decoded " << d.pixels.Width << " x " << d.pixels.Height;
        return;
    }
    if (row.expect == "decode") {
        ASSERT_TRUE(d.ok) << d.error;
    }
    if (!d.ok)
        return;  // "either", refused cleanly
    if (row.width != "-") {
        EXPECT_EQ(d.pixels.Width, std::atoi(row.width.c_str()));
        EXPECT_EQ(d.pixels.Height, std::atoi(row.height.c_str()));
    }
    for (const std::uint32_t p : d.pixels.Data)
        if (p >> 24 != 0xFF) {
            ADD_FAILURE() << "pixel not opaque: " << std::hex << p;
            break;
        }
    if (row.expect != "decode" || row.reference == "-")
        return;

    // Any one listed reference will do. (Some references carry ICC profiles that QtGui
    // complains about; the pixels are all we compare.)
    QLoggingCategory::setFilterRules("qt.gui.icc=false");
    const int tolerance = row.format == "jpeg" ? JpegTolerance(row.note)
                          : row.note.find("16 bpp") != std::string::npos ? 1
                                                                         : 0;
    std::string report;
    bool matched = false;
    for (const std::string& ref : Split(row.reference, '|')) {
        QImage image(QString::fromStdString(CorpusDir() + "/" + ref));
        if (image.isNull()) {
            report += "\n" + ref + ": cannot be read";
            continue;
        }
        if (image.width() != d.pixels.Width || image.height() != d.pixels.Height) {
            report += "\n" + ref + ": other size";
            continue;
        }
        std::string first;
        const long bad = Differences(d.pixels, image, tolerance, first);
        if (bad == 0) {
            matched = true;
            break;
        }
        report += "\n" + ref + ": " + std::to_string(bad) + " pixels beyond " + std::to_string(tolerance) +
                  ", " + first;
    }
    EXPECT_TRUE(matched) << report;
}

INSTANTIATE_TEST_SUITE_P(Manifest, Corpus, ::testing::ValuesIn(ReadManifest()),
                         [](const auto& info) { return info.param.name; });

TEST(CorpusManifest, IsCompleteAndEveryFileIsThere)
{
    const std::vector<Row> rows = ReadManifest();
    std::ifstream in(CorpusDir() + "/MANIFEST.tsv");
    std::string line;
    long lines = -1;  // the header
    while (std::getline(in, line))
        lines += !line.empty();
    EXPECT_GT(rows.size(), 300u);
    EXPECT_EQ(static_cast<long>(rows.size()), lines);
    for (const Row& r : rows) {
        EXPECT_TRUE(r.format == "bmp" || r.format == "jpeg") << r.path;
        EXPECT_TRUE(r.expect == "decode" || r.expect == "fail" || r.expect == "either") << r.path;
        EXPECT_TRUE(std::ifstream(CorpusDir() + "/" + r.path).good()) << r.path;
    }
}

}  // namespace
