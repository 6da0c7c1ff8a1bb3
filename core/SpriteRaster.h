#pragma once

// The sprite raster: width x height pixels, stored row by row (top row first,
// leftmost pixel first), one element per pixel holding 0 (clear) or 1 (set).

#include <cstdint>
#include <span>

// The largest sprite the grid and the preview can show.
inline constexpr int kMaxSpriteColumns = 32;
inline constexpr int kMaxSpriteRows = 16;

// The heights the editor accepts. Everything below relies on them: no routine
// is ever asked to size, walk or emit a sprite outside this range.
inline constexpr int kMinSpriteHeight = 1;
inline constexpr int kMaxSpriteHeight = kMaxSpriteRows;

// Safe reading of the pixel elements: a load outside them reads as clear.
std::uint32_t LoadPixel(std::span<const std::uint32_t> pixels, int index);
