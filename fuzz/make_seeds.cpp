// Writes the generated seeds of the fuzz targets: small pictures of every kind the readers
// know and settings files of the shapes the settings reader distinguishes.
//   make_seeds FOLDER   -> FOLDER/{bmp,page,settings}/
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "pictures.h"

namespace fs = std::filesystem;

namespace {

void Save(const fs::path& folder, const std::string& name, const std::string& bytes)
{
    fs::create_directories(folder);
    std::ofstream(folder / name, std::ios::binary) << bytes;
}

std::vector<std::pair<std::string, std::string>> Bitmaps()
{
    std::vector<std::pair<std::string, std::string>> out;
    out.emplace_back("rgb24.bmp", SmallBmp(5, 3));
    BmpFile pal{.width = 6, .height = -3, .bpp = 4, .palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF}};
    pal.pixels = std::string(4 * 3, '\x12');
    out.emplace_back("pal4-topdown.bmp", pal.Build());
    BmpFile one{.width = 9, .height = 2, .bpp = 1, .palette = {0xFFFFFF, 0x000000}, .pixels = std::string(8, '\x5A')};
    out.emplace_back("mono.bmp", one.Build());
    BmpFile rle8{.width = 8, .height = 4, .bpp = 8, .compression = 1, .palette = {0x102030, 0x405060, 0x708090}};
    rle8.pixels = std::string("\x04\x01\x00\x03\x01\x02\x00\x00\x00\x02\x02\x01\x03\x02\x00\x01", 16);
    out.emplace_back("rle8.bmp", rle8.Build());
    BmpFile rle4{.width = 8, .height = 2, .bpp = 4, .compression = 2, .palette = {0x000000, 0xFFFFFF}};
    rle4.pixels = std::string("\x06\x10\x00\x04\x01\x10\x00\x00\x00\x01", 10);
    out.emplace_back("rle4.bmp", rle4.Build());
    BmpFile bits16{.width = 3, .height = 2, .bpp = 16, .compression = 3, .masks = {0xF800, 0x07E0, 0x001F}};
    bits16.pixels = std::string(8 * 2, '\x3C');
    out.emplace_back("bits16.bmp", bits16.Build());
    BmpFile bits32{.headerSize = 108, .width = 2, .height = 2, .bpp = 32, .compression = 3,
                   .masks = {0x3FF00000, 0x000FFC00, 0x000003FF}};
    bits32.pixels = std::string(16, '\x7E');
    out.emplace_back("bits32-v4.bmp", bits32.Build());
    BmpFile core{.headerSize = 12, .width = 4, .height = 2, .bpp = 8, .palette = {0x112233, 0x445566}};
    core.pixels = std::string("\x00\x01\x00\x01\x01\x00\x01\x00", 8);
    out.emplace_back("core.bmp", core.Build());
    return out;
}

std::vector<std::pair<std::string, std::string>> Jpegs()
{
    std::vector<std::pair<std::string, std::string>> out;
    auto page = [](int components) { return ScannedPage(96, 64, components, 7); };
    const J_COLOR_SPACE rgb = JCS_RGB, grey = JCS_GRAYSCALE, cmyk = JCS_CMYK;
    out.emplace_back("baseline.jpg", EncodeJpeg(96, 64, rgb, page(3)));
    out.emplace_back("progressive.jpg", EncodeJpeg(96, 64, rgb, page(3), {.progressive = true}));
    out.emplace_back("arithmetic.jpg", EncodeJpeg(96, 64, rgb, page(3), {.arithmetic = true}));
    out.emplace_back("grey.jpg", EncodeJpeg(96, 64, grey, page(1)));
    const auto ink = [](int x, int y, unsigned char* b) {
        b[0] = static_cast<unsigned char>(x * 4);
        b[1] = static_cast<unsigned char>(y * 4);
        b[2] = static_cast<unsigned char>((x ^ y) * 8);
        b[3] = static_cast<unsigned char>(x + y);
    };
    out.emplace_back("cmyk.jpg", EncodeJpeg(64, 48, cmyk, ink));
    out.emplace_back("ycck.jpg", EncodeJpeg(64, 48, cmyk, ink, {.stored = JCS_YCCK}));
    out.emplace_back("full444.jpg", EncodeJpeg(67, 61, rgb, ScannedPage(67, 61, 3, 3), {.full444 = true}));
    return out;
}

std::vector<std::pair<std::string, std::string>> SettingsFiles()
{
    return {
        {"written.ini", "[Config]\r\nWndLeft=120\r\nWndTop=80\r\nWndWidth=640\r\nWndHeight=480\r\nWndFront=0\r\n"
                        "ToolBar=0\r\nStatusBar=1\r\nPageBar=1\r\nAutoResize=0\r\nSlideTime=5000\r\nWndPosCng=1\r\n"
                        "ExitConfirm=0\r\n"},
        {"mixed.ini", "\xEF\xBB\xBF; comment\n[Other]\nKey = value = more\n\n[config]\nslidetime = 0x1388\n"
                      "ToolBar=2\nWndLeft=$7F\nWndTop=  -12  \nPageBar=abc\nStatusBar=\n# note\n[Config]\nWndWidth=9"},
        {"duplicate.ini", "[Config]\n[Extra]\nA=1\n[Config]\nWndFront=1\r\n[Config]\nWndFront=0\n"},
        {"noise.ini", "junk line\n=5\n[Unclosed\n[ Config ]\r\n  AutoResize=1\r\nExitConfirm\n"},
    };
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    const fs::path root = argv[1];
    for (const auto& [name, bytes] : Bitmaps()) {
        Save(root / "bmp", name, bytes);
        Save(root / "page", name, bytes);
    }
    for (const auto& [name, bytes] : Jpegs())
        Save(root / "page", name, bytes);
    for (const auto& [name, bytes] : SettingsFiles())
        Save(root / "settings", name, bytes);
    return 0;
}
