// Recognising and decoding page files, and the window's stacking.
#include "Main.h"

#include <cstdio>
#include <memory>

#include "exceptions.h"
#include "shell.h"

bool TfrmMain::LoadJpegFile(const std::string& path, TJPEGImage* image)
{
    if (path.empty() || !image)
        return false;
    try {
        image->LoadFromFile(path);
        image->DIBNeeded();
        return true;
    } catch (const EInvalidGraphic&) {
        return false;
    }
}

bool TfrmMain::IsJpegFile(const std::string& path)
{
    auto probe = std::make_unique<TJPEGImage>();
    // The probe only asks whether the file decodes; its pixels would never be used.
    probe->KeepPixels = false;
    try {
        return LoadJpegFile(path, probe.get());
    } catch (...) {
        return false;
    }
}

bool TfrmMain::JpegToBitmap(TJPEGImage* image, TBitmap* bitmap)
{
    if (!image || !bitmap)
        return false;
    bitmap->Assign(*image);
    return true;
}

bool TfrmMain::IsBitmapFile(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    unsigned char header[14];
    const size_t n = std::fread(header, 1, sizeof header, f);
    std::fclose(f);
    return n >= 2 && header[0] == 0x42 && header[1] == 0x4D;
}

bool TfrmMain::SetTopMost(TForm* window)
{
    return SetWindowTopMost(*window, true);
}

bool TfrmMain::ClearTopMost(TForm* window)
{
    return SetWindowTopMost(*window, false);
}
