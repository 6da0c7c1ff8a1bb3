#pragma once

// Where the sprite is shown in the editor's client area, in client pixels:
// the drawing grid, one kCellSize square per pixel from kGridOrigin, and the
// preview, kPreviewScale screen pixels per sprite pixel. The cell of column c,
// row r has its top-left corner, by which it is addressed, at
// (kGridOrigin + kCellSize c, kGridOrigin + kCellSize r).

#include "SpriteDocument.h"
#include "SpriteRaster.h"

#include <optional>

inline constexpr int kCellSize = 10;
inline constexpr int kGridOrigin = 20;

inline constexpr int kPreviewLeft = 280;
inline constexpr int kPreviewTop = 210;
inline constexpr int kPreviewScale = 2;
// Room for the largest sprite.
inline constexpr int kPreviewWidth = kPreviewScale * kMaxSpriteColumns;
inline constexpr int kPreviewHeight = kPreviewScale * kMaxSpriteRows;

// The client coordinate of the left (or top) edge of a cell column (or row).
constexpr int CellEdge(int index) {
    return kGridOrigin + kCellSize * index;
}

// The column (or row) of the unbounded grid that holds a client coordinate,
// rounding toward minus infinity left of and above the grid, so that a line
// from outside the sprite runs through the cells it would pass.
constexpr int CellIndexAt(int coordinate) {
    const long long offset = static_cast<long long>(coordinate) - kGridOrigin;
    return static_cast<int>((offset >= 0 ? offset : offset - (kCellSize - 1)) / kCellSize);
}

// The cell whose top-left corner is (x, y).
constexpr SpriteCell CellAtCorner(int x, int y) {
    return {(x - kGridOrigin) / kCellSize, (y - kGridOrigin) / kCellSize};
}

// The cell of a `width` x `height` sprite hit by the mouse at client point
// (px, py), or none: a point left of or above the grid, or right of the last
// column or below the last row, hits nothing.
constexpr std::optional<SpriteCell> CellHitTest(int px, int py, int width, int height) {
    if (px < kGridOrigin || py < kGridOrigin)
        return std::nullopt;
    const SpriteCell cell{(px - kGridOrigin) / kCellSize, (py - kGridOrigin) / kCellSize};
    if (cell.column >= width || cell.row >= height)
        return std::nullopt;
    return cell;
}
