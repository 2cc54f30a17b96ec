#pragma once
// The bounds that keep a hostile or damaged file from taking the program's memory or time.
// Every loader, and any thread that decodes ahead, takes them from here. The README's
// reliability section gives what the worst input within them costs.
#include <cstddef>
#include <cstdint>

// The largest picture decoded: 100 million pixels, 400 MB at 32 bits. A 600-dpi A3 scan
// (7016 x 9921, 70 million) fits with room to spare; a file that claims more fails like a
// damaged one, from its header alone, instead of exhausting memory. The page bitmap and the
// decoder each hold one such picture at most.
constexpr std::int64_t MaxPicturePixels = 100'000'000;

// The largest picture file read. The biggest bitmap within MaxPicturePixels is 400 MB of
// pixels (32 bits, or 1 bit in rows padded to 4 bytes) plus its headers; no JPEG of a picture
// within the cap comes near that. A bigger file is refused before any of it is read.
constexpr std::size_t MaxPictureFileBytes = std::size_t{512} << 20;

// Progressive JPEG files can chain scans without end, each one a pass over the whole
// coefficient buffer (about 0.05 s for a 100-million-pixel picture). Real encoders write
// about ten; libjpeg-turbo's own fuzzers stop at 500 as well.
constexpr int MaxProgressiveScans = 500;

// What libjpeg may allocate for one decode. Its big allocations are the coefficient buffers
// of progressive and multi-scan files: 2 bytes per coefficient, at most 4 full-size
// components, so every picture within MaxPicturePixels fits, plus 64 MB for the tables and
// row buffers. Beyond it libjpeg fails cleanly (it has no backing store to fall back on).
constexpr long MaxDecoderMemory = static_cast<long>(MaxPicturePixels * 4 * 2 + (std::int64_t{64} << 20));

// The largest settings file read. Ours holds a dozen short lines; a file beyond this is not
// one the program wrote, and reading (and rewriting) it whole at every start and close would
// stall both. Such a file counts as unreadable: it is neither read nor replaced.
constexpr std::size_t MaxSettingsFileBytes = std::size_t{128} << 20;

// Reused buffers (the page bitmap's and the decoder's pixels, the file buffer) keep their
// memory from page to page, since pages of a book come in one size and touching fresh
// memory costs more than the decode. A buffer that holds more than this many times what the
// next use needs gives its memory back first, so that one huge page does not pin hundreds
// of megabytes for the rest of the session.
constexpr std::size_t GiveBackFactor = 4;
