#pragma once

// The sprites a list of values can stand for. A list of bytes, shorts or
// longs says nothing certain about its bit layout or its width, so each way
// of laying its bits out as pixels is one reading, and the user chooses
// among them when more than one fits. The readings are those of the layouts
// table (OutputForm.h), each through the layout's own read function.

#include "OutputForm.h"

#include <cstdint>
#include <optional>
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

// Every sprite the elements can stand for, in the fixed order of
// LayoutReadings: rows with the high bit leftmost, then with the low bit
// leftmost, and for bytes vertical pages; narrowest first within each.
// Elements wider than a byte make one row each. Empty when no sprite shape
// holds them.
std::vector<SpriteReading> AllReadings(std::span<const std::uint32_t> elements, int elementBits);

// The bit order of the pixels in a layout of the table, which names its
// readings for the user.
PixelLayout PixelLayoutOf(CodeStyle style);

// The sprite that `values` stand for in `layout` at width x height, as the
// layout's own read gives it, widened with clear columns on the right to the
// next sprite width (8, 16 or 32) when `width` lies between. None when the
// layout does not read the values at that size, or the size is no sprite's
// (1 to 32 wide, 1 to 16 high).
std::optional<SpriteReading> ReadThroughLayout(const LayoutForm& layout,
                                               std::span<const std::uint32_t> values, int width,
                                               int height);

// A reading and the row of the layouts table it came through: none for
// elements wider than a byte read with the leftmost pixel low, which no
// layout of Glimmet's writes but other tools do.
struct LayoutReading {
    SpriteReading reading;
    const LayoutForm* form = nullptr;
};

// Every reading the layouts table gives for elements `elementBits` wide, in
// the table's order: each layout whose values are that wide, at each sprite
// width, narrowest first, with the most rows (up to 16) it reads; then, for
// elements wider than a byte, the same rows with the leftmost pixel low. A
// reading that repeats an earlier one, the same picture under the same
// label, is left out. A new layout in the table is read with no change here.
std::vector<LayoutReading> LayoutReadings(std::span<const std::uint32_t> values, int elementBits);

// Whether two readings show the same picture under the same label.
bool SameReading(const SpriteReading& a, const SpriteReading& b);

// A short label for a reading, for the user choosing between them, e.g.
// "16 x 5, rows, leftmost pixel high" or "8 x 16, vertical pages".
std::string DescribeReading(const SpriteReading& reading);
