#pragma once
// Windows bitmap files (.bmp): the decoder behind TBitmap's loaders.
#include <cstddef>

#include "graphics.h"

// Decodes a Windows bitmap file held in memory into `out`, top row first, as 0xFFRRGGBB
// (alpha ignored: pictures are shown opaque). Reads core (OS/2 1.x) and info headers up to
// version 5 and OS/2 2.x headers; 1, 2, 4, 8, 16, 24 and 32 bits per pixel; RLE4, RLE8 and
// bit-field masks; bottom-up and top-down rows.
//
// Raises EInvalidGraphic when the data is not a bitmap this reader can decode. Every offset
// and size is checked against the data before `out` is touched, and from then on nothing can
// fail: a damaged file leaves `out` exactly as it was, and a good one reuses its buffer.
// Truncated RLE data is accepted; pixels it does not reach keep palette colour 0.
void DecodeBmp(const unsigned char* data, std::size_t size, TPixelSurface& out);
