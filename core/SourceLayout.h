#pragma once

// The bits of a sprite as the elements of a C array hold them, both ways:
// from elements to pixels when a file is read, and back when it is written.

#include "ArrayReader.h"

#include <cstdint>
#include <span>
#include <vector>

// How many elements of `elementBits` bits a sprite of width x height takes in
// `layout`. Vertical pages are bytes only; a width that is not a multiple of
// the element size takes no elements.
std::size_t ElementCount(PixelLayout layout, int elementBits, int width, int height);

// The sprite the elements stand for, row by row as 0 or 1. Elements missing
// from the end read as clear; bits above `elementBits` are ignored.
std::vector<std::uint32_t> UnpackPixels(std::span<const std::uint32_t> elements, int elementBits,
                                        PixelLayout layout, int width, int height);

// The elements that hold the sprite: the exact inverse of UnpackPixels for
// ElementCount elements. Missing pixels count as clear.
std::vector<std::uint32_t> PackPixels(std::span<const std::uint32_t> pixels, int elementBits,
                                      PixelLayout layout, int width, int height);
