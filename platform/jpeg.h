#pragma once
// JPEG pictures, decoded through the libjpeg API (libjpeg-turbo).
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "fileinfo.h"
#include "graphics.h"

class TJPEGImage : public TObject {
public:
    TJPEGImage();
    ~TJPEGImage() override;
    TJPEGImage(const TJPEGImage&) = delete;
    TJPEGImage& operator=(const TJPEGImage&) = delete;

    // Reads the whole file (opened read-only) and parses the header of a non-empty file.
    // Raises EFOpenError when the file cannot be opened or read, EJPEG when the decoder
    // rejects the data. The previous picture is gone either way.
    void LoadFromFile(const std::string& path);
    // Decodes the complete picture now, at full size with default settings. Decoder warnings
    // are ignored; decoder errors, and pictures over MaxPicturePixels, raise EJPEG.
    void DIBNeeded();

    int Width() const;
    int Height() const;
    bool Empty() const;
    // The decoded picture; empty until DIBNeeded has succeeded.
    const TPixelSurface& Picture() const;

    // The version of the file the last LoadFromFile read; its Size is -1 when the read
    // failed.
    const TFileIdentity& Source() const;

    // Exchanges everything loaded and decoded, buffers included, with other; KeepPixels and
    // the cancel flags stay with their objects.
    void Swap(TJPEGImage& other);
    // Gives back a pixel buffer that is out of proportion to pages of `pixels` pixels; the
    // picture it held is then gone. What a swap leaves behind is only kept for reuse, and a
    // huge page's buffer must not outlive the page.
    void KeepBuffersFor(std::size_t pixels);
    // While *flag is set, a decode in progress stops with EJPEG at its next row or scan.
    // The flag must outlive the image's use of it.
    void SetCancelFlag(const std::atomic<bool>* flag);

    // When false, DIBNeeded decodes and checks the whole picture row by row into one scratch
    // row and keeps no pixels: the form for asking whether a file decodes.
    bool KeepPixels = true;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
