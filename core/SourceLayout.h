#pragma once

// The bits of a sprite as the elements of a C array hold them, for writing a
// sprite back in the layout it was read with.

#include "SpriteReadings.h"

#include <cstdint>
#include <span>
#include <vector>

// How many elements of `elementBits` bits a sprite of width x height takes in
// `layout`. Vertical pages are bytes only; a width that is not a multiple of
// the element size takes no elements.
std::size_t ElementCount(PixelLayout layout, int elementBits, int width, int height);

// The elements that hold the sprite, ElementCount of them, which read back
// as the sprite through the reading of that layout and width. Missing pixels
// count as clear.
std::vector<std::uint32_t> PackPixels(std::span<const std::uint32_t> pixels, int elementBits,
                                      PixelLayout layout, int width, int height);
