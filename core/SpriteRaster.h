#pragma once

// The sprite raster and the geometry of its drawing grid.
//
// A sprite is width x height pixels, stored row by row (top row first,
// leftmost pixel first), one element per pixel holding 0 (clear) or 1 (set).
// The grid shows pixel (c, r) as the 10 x 10 cell whose top-left corner is at
// client pixel (20 + 10 c, 20 + 10 r). Cells are addressed by that corner.

#include <cstdint>
#include <optional>
#include <span>

// Geometry of the drawing grid, in client pixels.
inline constexpr int kCellSize = 10;
inline constexpr int kGridOrigin = 20;

// The largest sprite the grid and the preview can show.
inline constexpr int kMaxSpriteColumns = 32;
inline constexpr int kMaxSpriteRows = 16;

// The heights the editor accepts. Everything below relies on them: no routine
// is ever asked to size, walk or emit a sprite outside this range.
inline constexpr int kMinSpriteHeight = 1;
inline constexpr int kMaxSpriteHeight = kMaxSpriteRows;

// A cell's top-left corner in client pixels; both are multiples of 10, >= 20.
struct CellCorner {
    int x = 0;
    int y = 0;
    friend bool operator==(const CellCorner&, const CellCorner&) = default;
};

// 8, 16 or 32 for the width indexes 0, 1 and 2; 0 (no columns) for any other.
int WidthFromIndex(std::int32_t nWidthIndex);

// The element of the cell with corner (x, y) in a sprite `width` pixels wide.
int PixelIndex(int x, int y, int width);

// Whether the cell with corner (x, y) belongs to one of the sprite's columns
// and rows.
bool IsInsideSprite(int x, int y, int width, int height);

// The cell hit by the mouse at client point (px, py), or none. A point left
// of x 20 or above y 20 hits nothing, whatever it snaps to.
std::optional<CellCorner> CellHitTest(int px, int py, int width, int height);

// Safe access to the pixel elements. A store outside the elements is refused
// (false) and writes nothing; a load outside them reads as clear.
[[nodiscard]] bool StorePixel(std::span<std::uint32_t> pixels, int index, std::uint32_t value);
std::uint32_t LoadPixel(std::span<const std::uint32_t> pixels, int index);
