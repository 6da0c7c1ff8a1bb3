#include "SpriteRaster.h"

#include <cstddef>

int WidthFromIndex(std::int32_t nWidthIndex) {
    switch (nWidthIndex) {
    case 0:
        return 8;
    case 1:
        return 16;
    case 2:
        return 32;
    default:
        return 0;
    }
}

std::uint32_t LoadPixel(std::span<const std::uint32_t> pixels, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= pixels.size())
        return 0;
    return pixels[static_cast<std::size_t>(index)];
}
