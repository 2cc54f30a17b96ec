#include "graphics.h"

#include <algorithm>
#include <cstring>

#include "buffers.h"

void TPixelSurface::Reset(int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    SizeForOverwrite(Data, static_cast<size_t>(width) * static_cast<size_t>(height));
    Width = width;
    Height = height;
}

void TPixelSurface::Resize(int width, int height, std::uint32_t fill)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == Width && height == Height)
        return;
    if (width == Width) {  // rows stay where they are
        SizeKeeping(Data, static_cast<size_t>(width) * static_cast<size_t>(height), fill);
        Height = height;
        return;
    }
    std::vector<std::uint32_t> next(static_cast<size_t>(width) * static_cast<size_t>(height), fill);
    const int w = std::min(width, Width), h = std::min(height, Height);
    for (int y = 0; y < h; ++y)
        std::memcpy(next.data() + static_cast<size_t>(y) * width, Row(y), static_cast<size_t>(w) * 4);
    Data.swap(next);
    Width = width;
    Height = height;
}

void TCanvas::FillRect(const TRect& r)
{
    const int l = std::max(r.Left, 0), t = std::max(r.Top, 0);
    const int rr = std::min(r.Right, surface_.Width), b = std::min(r.Bottom, surface_.Height);
    if (l >= rr || t >= b)
        return;
    const std::uint32_t p = ColorToPixel(Brush.Color);
    for (int y = t; y < b; ++y)
        std::fill(surface_.Row(y) + l, surface_.Row(y) + rr, p);
    Changed(TRect{l, t, rr, b});
}

void BitBlt(TCanvas& dst, int x, int y, int w, int h, const TCanvas& src, int sx, int sy)
{
    const TPixelSurface& s = src.Surface();
    TPixelSurface& d = dst.Surface();
    // Clip against the source, then the destination, shifting both origins together.
    if (sx < 0) { x -= sx; w += sx; sx = 0; }
    if (sy < 0) { y -= sy; h += sy; sy = 0; }
    if (x < 0) { sx -= x; w += x; x = 0; }
    if (y < 0) { sy -= y; h += y; y = 0; }
    w = std::min({w, s.Width - sx, d.Width - x});
    h = std::min({h, s.Height - sy, d.Height - y});
    if (w <= 0 || h <= 0)
        return;
    if (&s != &d || sy > y || (sy == y && sx >= x)) {
        for (int row = 0; row < h; ++row)
            std::memmove(d.Row(y + row) + x, s.Row(sy + row) + sx, static_cast<size_t>(w) * 4);
    } else {
        for (int row = h - 1; row >= 0; --row)
            std::memmove(d.Row(y + row) + x, s.Row(sy + row) + sx, static_cast<size_t>(w) * 4);
    }
    dst.Changed(TRect{x, y, x + w, y + h});
}

void TBitmap::SetWidth(int w) { SetSize(w, Height()); }
void TBitmap::SetHeight(int h) { SetSize(Width(), h); }
void TBitmap::SetSize(int w, int h) { pixels_.Resize(w, h, ColorToPixel(clWhite)); }

void TBitmap::Assign(const TBitmap& other)
{
    if (&other == this)
        return;
    pixels_.Reset(other.Width(), other.Height());
    std::memcpy(pixels_.Data.data(), other.pixels_.Data.data(), pixels_.Data.size() * 4);
}
