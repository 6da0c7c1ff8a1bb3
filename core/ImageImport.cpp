#include "ImageImport.h"

#include "SpriteRaster.h"

#include <algorithm>

namespace {

// Rounds num / den to the nearest whole number, halves up, for positive
// values; at least 1, since a scaled side never vanishes.
int ScaledSide(long long num, long long den) {
    return std::max(1, static_cast<int>((2 * num + den) / (2 * den)));
}

} // namespace

ImageSize FitImageSize(ImageSize image) {
    if (image.width < 1 || image.height < 1)
        return {};
    if (image.width <= kMaxSpriteColumns && image.height <= kMaxSpriteRows)
        return image;
    // The side that overshoots more, relative to the sprite, decides the
    // scale: compare width / 32 with height / 16 without dividing.
    const long long w = image.width;
    const long long h = image.height;
    if (w * kMaxSpriteRows >= h * kMaxSpriteColumns)
        return {kMaxSpriteColumns, std::min(kMaxSpriteRows, ScaledSide(h * kMaxSpriteColumns, w))};
    return {std::min(kMaxSpriteColumns, ScaledSide(w * kMaxSpriteRows, h)), kMaxSpriteRows};
}

int SpriteWidthForImage(int imageWidth) {
    for (int width = 8; width <= kMaxSpriteColumns; width *= 2)
        if (imageWidth >= 1 && imageWidth <= width)
            return width;
    return 0;
}

bool IsDarkPixel(std::uint32_t argb) {
    const std::uint32_t alpha = argb >> 24;
    const std::uint32_t red = (argb >> 16) & 0xFF;
    const std::uint32_t green = (argb >> 8) & 0xFF;
    const std::uint32_t blue = argb & 0xFF;
    // Luma with the Rec. 601 weights, in thousandths: below half of 255 is
    // below 127500. Half of 255 in alpha is 127.5, so 128 is the first
    // opaque enough value.
    return alpha >= 128 && 299 * red + 587 * green + 114 * blue < 127500;
}

std::vector<std::uint32_t> SpritePixelsFromImage(std::span<const std::uint32_t> argb,
                                                 ImageSize image, int spriteWidth) {
    const int height = std::max(image.height, 0);
    const int width = std::clamp(image.width, 0, std::max(spriteWidth, 0));
    std::vector<std::uint32_t> pixels(
        static_cast<std::size_t>(std::max(spriteWidth, 0)) * static_cast<std::size_t>(height), 0u);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::size_t from =
                static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) +
                static_cast<std::size_t>(x);
            if (from < argb.size() && IsDarkPixel(argb[from]))
                pixels[static_cast<std::size_t>(y * spriteWidth + x)] = 1u;
        }
    }
    return pixels;
}
