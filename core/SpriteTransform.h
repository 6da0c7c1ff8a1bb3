#pragma once

// Whole-sprite edits: shifting with wrap-around, mirroring and inverting.
//
// Each takes the pixels (row-major, top row first, 0 or 1 per element) with
// the sprite's width and height, and changes them in place. Unless the width
// and height are positive and the pixels number exactly width x height, it
// does nothing: a raster that does not match its size is left as it is
// rather than rearranged by a guess.

#include <cstdint>
#include <span>

// Moves every pixel dx columns to the right and dy rows down (negative values
// move left and up). Pixels that leave one edge come back at the opposite
// one, so nothing is lost and any shift can be undone by its opposite.
void ShiftPixels(std::span<std::uint32_t> pixels, int width, int height, int dx, int dy);

// Mirrors the sprite left to right.
void FlipHorizontal(std::span<std::uint32_t> pixels, int width, int height);

// Mirrors the sprite top to bottom.
void FlipVertical(std::span<std::uint32_t> pixels, int width, int height);

// Sets every clear pixel and clears every set one.
void InvertPixels(std::span<std::uint32_t> pixels, int width, int height);
