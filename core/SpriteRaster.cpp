#include "SpriteRaster.h"

#include <cstddef>

std::uint32_t LoadPixel(std::span<const std::uint32_t> pixels, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= pixels.size())
        return 0;
    return pixels[static_cast<std::size_t>(index)];
}
