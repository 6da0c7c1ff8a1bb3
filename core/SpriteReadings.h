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

// One way of reading the values: a sprite 8, 16 or 32 pixels wide and 1 to 16
// rows high, its pixels row by row as 0 or 1 (width * height of them).
struct SpriteReading {
    // The byte layout of the table whose bits the reading reads, which
    // names the reading: a layout's `byteStyle`, never a layout of one value
    // per row, which reads as its byte layout.
    CodeStyle layout = CodeStyle::RowBytes;
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// Every sprite the elements can stand for, in the fixed order of
// LayoutReadings. Elements wider than a byte make one row each. Empty when
// no sprite shape holds them.
std::vector<SpriteReading> AllReadings(std::span<const std::uint32_t> elements, int elementBits);

// The sprite that `values` stand for in `layout` at width x height, as the
// layout's own read gives it, widened with clear columns on the right to the
// next sprite width (8, 16 or 32) when `width` lies between. None when the
// layout does not read the values at that size, or the size is no sprite's
// (1 to 32 wide, 1 to 16 high).
std::optional<SpriteReading> ReadThroughLayout(const LayoutForm& layout,
                                               std::span<const std::uint32_t> values, int width,
                                               int height);

// The readings of elements wider than a byte that no layout of the table
// writes at their width but other tools do (XBM's bytes in 16-bit elements,
// say): for each byte layout whose bytes group into wider elements, in the
// table's order, its rows one element each, `elementBits` pixels wide and as
// many rows as elements (1 to 16). Empty for bytes.
std::vector<SpriteReading> GroupedReadings(std::span<const std::uint32_t> elements,
                                           int elementBits);

// A reading and the row of the layouts table it came through: none for a
// grouped reading, which no layout writes.
struct LayoutReading {
    SpriteReading reading;
    const LayoutForm* form = nullptr;
};

// Every reading the layouts table gives for elements `elementBits` wide, in
// the table's order: each layout whose values are that wide, at each sprite
// width, narrowest first, with the most rows (up to 16) it reads; then the
// grouped readings. A reading that repeats an earlier one, the same picture
// under the same label, is left out. A new layout in the table is read with
// no change here.
std::vector<LayoutReading> LayoutReadings(std::span<const std::uint32_t> values, int elementBits);

// Whether two readings show the same picture under the same label.
bool SameReading(const SpriteReading& a, const SpriteReading& b);

// A short label for a reading, for the user choosing between them: its
// size and its byte layout's reading label, e.g. "16 x 5, rows, leftmost
// pixel high" or "8 x 16, vertical pages".
std::string DescribeReading(const SpriteReading& reading);
