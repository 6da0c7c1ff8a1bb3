#include "SpriteTransform.h"

#include <algorithm>
#include <cstddef>

namespace {

bool FitsSize(std::span<const std::uint32_t> pixels, int width, int height) {
    // Both are positive before they are multiplied, and the product of two
    // ints always fits in 64 bits, so no size can wrap into a match.
    return width > 0 && height > 0 &&
           pixels.size() == static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
}

// `offset` reduced to the start of what a rotation by it brings to the front
// of `count` elements: a move forward by k brings element count - k there.
std::size_t RotationPoint(int offset, int count) {
    const int forward = ((offset % count) + count) % count;
    return static_cast<std::size_t>((count - forward) % count);
}

std::span<std::uint32_t> Row(std::span<std::uint32_t> pixels, int width, int row) {
    return pixels.subspan(static_cast<std::size_t>(row) * static_cast<std::size_t>(width),
                          static_cast<std::size_t>(width));
}

} // namespace

void ShiftPixels(std::span<std::uint32_t> pixels, int width, int height, int dx, int dy) {
    if (!FitsSize(pixels, width, height))
        return;
    const std::size_t column = RotationPoint(dx, width);
    for (int row = 0; row < height; ++row) {
        const std::span<std::uint32_t> line = Row(pixels, width, row);
        std::rotate(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(column), line.end());
    }
    const std::size_t firstRow = RotationPoint(dy, height) * static_cast<std::size_t>(width);
    std::rotate(pixels.begin(), pixels.begin() + static_cast<std::ptrdiff_t>(firstRow),
                pixels.end());
}

void FlipHorizontal(std::span<std::uint32_t> pixels, int width, int height) {
    if (!FitsSize(pixels, width, height))
        return;
    for (int row = 0; row < height; ++row) {
        const std::span<std::uint32_t> line = Row(pixels, width, row);
        std::reverse(line.begin(), line.end());
    }
}

void FlipVertical(std::span<std::uint32_t> pixels, int width, int height) {
    if (!FitsSize(pixels, width, height))
        return;
    for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
        const std::span<std::uint32_t> upper = Row(pixels, width, top);
        std::swap_ranges(upper.begin(), upper.end(), Row(pixels, width, bottom).begin());
    }
}

void InvertPixels(std::span<std::uint32_t> pixels, int width, int height) {
    if (!FitsSize(pixels, width, height))
        return;
    // Any non-zero element counts as set, so the result is always 0 or 1.
    for (std::uint32_t& pixel : pixels)
        pixel = pixel != 0 ? 0u : 1u;
}
