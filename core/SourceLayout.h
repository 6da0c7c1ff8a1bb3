#pragma once

// The bits of a sprite as the elements of a C array hold them, 8, 16 or 32
// bits each: the bytes of its layout's byte layout, grouped into wider
// elements as that row of the layouts table says. Every layout is packed and
// read this way at any element width its bytes allow, so an array is written
// back in the layout it was read with whatever its element type.

#include "OutputForm.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// How many elements of `elementBits` bits a sprite of width x height takes in
// `layout`. None when its bytes make no such elements: a layout of bytes only
// with wider elements, or a row that is no whole number of elements.
std::size_t ElementCount(CodeStyle layout, int elementBits, int width, int height);

// The elements that hold the sprite, ElementCount of them. Missing pixels
// count as clear.
std::vector<std::uint32_t> PackPixels(std::span<const std::uint32_t> pixels, int elementBits,
                                      CodeStyle layout, int width, int height);

// The pixels, row by row, that `elements` stand for in `layout` at width x
// height: the inverse of PackPixels. None when they are not what it gives
// for a sprite of that size (the wrong count, or a value wider than the
// elements).
std::optional<std::vector<std::uint32_t>> UnpackPixels(std::span<const std::uint32_t> elements,
                                                       int elementBits, CodeStyle layout, int width,
                                                       int height);
