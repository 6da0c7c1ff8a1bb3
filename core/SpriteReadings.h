#pragma once

// The sprites a list of values can stand for. A list of bytes, shorts or
// longs says nothing certain about its bit layout or its width, so each way
// of laying its bits out as pixels is one reading, and the user chooses
// among them when more than one fits.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

enum class PixelLayout {
    RowsMsbFirst,  // one row after another; the leftmost pixel is an element's high bit
    RowsLsbFirst,  // the same with the leftmost pixel in the low bit, as XBM writes bytes
    VerticalPages, // pages of eight rows, one byte per column, the top row in the low bit
};

// One way of reading the values: a sprite 8, 16 or 32 pixels wide and 1 to 16
// rows high, its pixels row by row as 0 or 1 (width * height of them).
struct SpriteReading {
    PixelLayout layout = PixelLayout::RowsMsbFirst;
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// The elements, each `elementBits` (8, 16 or 32) wide, as rows of `width`
// pixels in `layout` (either rows layout): width / elementBits elements a row,
// in reading order. The element count must be a whole number of rows.
SpriteReading RowsReading(std::span<const std::uint32_t> elements, int elementBits, int width,
                          PixelLayout layout);

// The bytes as vertical pages `width` columns wide. The byte count must be a
// whole number of pages; the sprite is eight rows for each.
SpriteReading PagesReading(std::span<const std::uint32_t> bytes, int width);

// Every sprite the elements can stand for, most likely first: rows with the
// high bit leftmost, then with the low bit leftmost, and for bytes vertical
// pages; narrowest first within each. Elements wider than a byte make one
// row each. Empty when no sprite shape holds them.
std::vector<SpriteReading> AllReadings(std::span<const std::uint32_t> elements, int elementBits);

// A short label for a reading, for the user choosing between them, e.g.
// "16 x 5, rows, leftmost pixel high" or "8 x 16, vertical pages".
std::string DescribeReading(const SpriteReading& reading);
