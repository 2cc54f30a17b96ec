// Recognising and decoding page files, and the window's stacking.
#include "Main.h"

#include <cstddef>
#include <memory>

#include "exceptions.h"
#include "fileio.h"
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

// Read like every page file: a FIFO or a device in the folder must not block the page turn.
bool TfrmMain::IsBitmapFile(const std::string& path)
{
    unsigned char header[14];
    std::size_t n = 0;
    if (!ReadFileStart(path, header, sizeof header, n).Ok())
        return false;
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
