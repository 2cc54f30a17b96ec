#pragma once
// Bitmaps, canvases and the block copy between them.
//
// Pixels are 32-bit words 0xFFRRGGBB (bytes B, G, R, X in memory), the layout libjpeg's
// extended BGRX output and the screen both use, so a page goes from decoder to screen without
// conversion.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "bounds.h"
#include "types.h"

class TJPEGImage;

constexpr std::uint32_t ColorToPixel(TColor c)
{
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

// A block of pixels, row after row without padding. Its buffer is kept when the size stays
// or changes moderately, so showing page after page does not touch fresh memory each time;
// a buffer far larger than the new size is given back (see GiveBackFactor).
struct TPixelSurface {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Data;

    // New size; the old content is kept where both sizes overlap, new pixels get fill.
    void Resize(int width, int height, std::uint32_t fill);
    // New size with undefined content: the cheap form for a full overwrite.
    void Reset(int width, int height);
    std::uint32_t* Row(int y) { return Data.data() + static_cast<size_t>(y) * static_cast<size_t>(Width); }
    const std::uint32_t* Row(int y) const { return Data.data() + static_cast<size_t>(y) * static_cast<size_t>(Width); }
};

class TBrush {
public:
    TColor Color = clWhite;
};

class TCanvas : public TObject {
public:
    explicit TCanvas(TPixelSurface& surface) : surface_(surface) {}
    TBrush Brush;
    // Fills the rectangle (right and bottom edges excluded) with the brush colour.
    void FillRect(const TRect& r);
    TPixelSurface& Surface() { return surface_; }
    const TPixelSurface& Surface() const { return surface_; }
    // Raised after every drawing operation; a control's canvas uses it to update the screen.
    std::function<void(const TRect&)> OnChange;
    void Changed(const TRect& r) { if (OnChange) OnChange(r); }

private:
    TPixelSurface& surface_;
};

// Copies a w x h block from src at (sx, sy) to dst at (x, y), clipped to both surfaces.
void BitBlt(TCanvas& dst, int x, int y, int w, int h, const TCanvas& src, int sx, int sy);

class TBitmap : public TObject {
public:
    TBitmap() : canvas_(pixels_) {}
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    int Width() const { return pixels_.Width; }
    int Height() const { return pixels_.Height; }
    void SetWidth(int w);
    void SetHeight(int h);
    void SetSize(int w, int h);
    bool Empty() const { return pixels_.Width == 0 || pixels_.Height == 0; }
    TCanvas& Canvas() { return canvas_; }
    const TCanvas& Canvas() const { return canvas_; }
    std::uint32_t* ScanLine(int y) { return pixels_.Row(y); }
    const std::uint32_t* ScanLine(int y) const { return pixels_.Row(y); }
    const TPixelSurface& Pixels() const { return pixels_; }
    TPixelSurface& Pixels() { return pixels_; }

    // Reads a Windows bitmap file. Raises EFOpenError when the file cannot be opened and
    // EInvalidGraphic when it is not a bitmap this class can read; the bitmap then keeps
    // its previous content.
    void LoadFromFile(const std::string& path);
    // Reads a Windows bitmap held in memory (the embedded tool-bar pictures).
    void LoadFromMemory(const unsigned char* data, size_t size);
    // Takes over a copy of the decoded picture: width, height and pixels.
    void Assign(const TJPEGImage& jpeg);
    void Assign(const TBitmap& other);

private:
    TPixelSurface pixels_;
    TCanvas canvas_;
};
