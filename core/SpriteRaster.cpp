#include "SpriteRaster.h"

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

int PixelIndex(int x, int y, int width) {
    return ((y - kGridOrigin) / kCellSize) * width + (x - kGridOrigin) / kCellSize;
}

bool IsInsideSprite(int x, int y, int width, int height) {
    return x <= kCellSize * width + kCellSize && y <= kCellSize * height + kCellSize;
}

std::optional<CellCorner> CellHitTest(int px, int py, int width, int height) {
    // Integer division truncates toward zero, so the raw-point tests below
    // are what keep points left of or above the grid from snapping onto it.
    const int sx = (px / kCellSize) * kCellSize;
    const int sy = (py / kCellSize) * kCellSize;
    if (px < kGridOrigin || py < kGridOrigin || !IsInsideSprite(sx, sy, width, height))
        return std::nullopt;
    return CellCorner{sx, sy};
}

bool StorePixel(std::span<std::uint32_t> pixels, int index, std::uint32_t value) {
    if (index < 0 || static_cast<std::size_t>(index) >= pixels.size())
        return false;
    pixels[static_cast<std::size_t>(index)] = value;
    return true;
}

std::uint32_t LoadPixel(std::span<const std::uint32_t> pixels, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= pixels.size())
        return 0;
    return pixels[static_cast<std::size_t>(index)];
}
