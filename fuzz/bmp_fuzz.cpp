// The bitmap reader on bytes held in memory. A decode that fails must leave the target
// exactly as it was: the page on show stays intact when the next page file is damaged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "bmp_reader.h"
#include "exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TPixelSurface target;
    target.Reset(3, 2);
    for (std::size_t i = 0; i < target.Data.size(); ++i)
        target.Data[i] = 0xFF000000u + static_cast<std::uint32_t>(i) * 0x010203u;
    const TPixelSurface before = target;
    const std::uint32_t* buffer = target.Data.data();
    try {
        DecodeBmp(data, size, target);
    } catch (const EInvalidGraphic&) {
        if (target.Width != before.Width || target.Height != before.Height || target.Data != before.Data ||
            target.Data.data() != buffer)
            std::abort();  // a failed decode touched the target
        return 0;
    }
    // A decoded picture fills its surface exactly, and every pixel is opaque.
    if (target.Width <= 0 || target.Height <= 0 ||
        target.Data.size() != static_cast<std::size_t>(target.Width) * static_cast<std::size_t>(target.Height))
        std::abort();
    for (std::uint32_t p : target.Data)
        if ((p >> 24) != 0xFF)
            std::abort();
    return 0;
}
