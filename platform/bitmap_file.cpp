// TBitmap's loaders: Windows bitmap files, and the copy of a decoded JPEG picture.
#include <cstring>

#include <vector>

#include "bmp_reader.h"
#include "exceptions.h"
#include "fileio.h"
#include "graphics.h"
#include "jpeg.h"

void TBitmap::LoadFromFile(const std::string& path)
{
    std::vector<unsigned char> data;
    const FileStatus read = ReadWholeFile(path, data, MaxPictureFileBytes);
    if (read.fault == FileStatus::TooLarge)
        throw EInvalidGraphic("ビットマップとして読めません: ファイルが大きすぎます: \"" + path + "\"");
    if (!read.Ok())
        throw EFOpenError("ファイル \"" + path + "\" を開けません。" + read.Reason());
    try {
        DecodeBmp(data.data(), data.size(), pixels_);
    } catch (const EInvalidGraphic& e) {
        throw EInvalidGraphic(e.Message + ": \"" + path + "\"");
    }
}

void TBitmap::LoadFromMemory(const unsigned char* data, size_t size)
{
    DecodeBmp(data, size, pixels_);
}

void TBitmap::Assign(const TJPEGImage& jpeg)
{
    const TPixelSurface& picture = jpeg.Picture();
    pixels_.Reset(picture.Width, picture.Height);
    if (!pixels_.Data.empty())
        std::memcpy(pixels_.Data.data(), picture.Data.data(), pixels_.Data.size() * 4);
}
