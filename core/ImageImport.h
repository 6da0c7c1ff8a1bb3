#pragma once

// The rules that turn a picture into a sprite: which pixels count as set,
// what size a picture is brought to, and how wide a sprite holds it. The
// decoding and the scaling belong to whoever reads the file; these are the
// decisions, kept in one place so that every way of opening a picture agrees.

#include <cstdint>
#include <span>
#include <vector>

// A picture that claims more pixels than this on either side is refused
// before its pixels are read, so that a file cannot make the editor allocate
// whatever its header says.
inline constexpr int kMaxImageSide = 8192;

struct ImageSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const ImageSize&, const ImageSize&) = default;
};

// The size a picture is brought to before its pixels are read. One that fits
// the largest sprite keeps its size; a larger one is scaled down to fit it,
// keeping its aspect ratio as closely as whole pixels allow and never falling
// below one pixel a side. A size with a side below 1 gives 0 x 0.
ImageSize FitImageSize(ImageSize image);

// The narrowest sprite width, 8, 16 or 32, that holds `imageWidth` columns;
// 0 for a width outside 1..32.
int SpriteWidthForImage(int imageWidth);

// Whether a pixel, 0xAARRGGBB with straight (not premultiplied) alpha, is
// drawn: dark (its luminance below half) and opaque (its alpha at least half).
bool IsDarkPixel(std::uint32_t argb);

// The sprite pixels of a picture already brought to its fitted size: row by
// row, `spriteWidth` per row, 1 where IsDarkPixel holds, the columns right of
// the picture clear. Pixels past the end of `argb` count as clear, and a
// picture wider than the sprite is cut at the sprite's edge.
std::vector<std::uint32_t> SpritePixelsFromImage(std::span<const std::uint32_t> argb,
                                                 ImageSize image, int spriteWidth);
