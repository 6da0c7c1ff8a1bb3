#pragma once

// Turns a sprite into one line of C: an initialised array named after the
// sprite, one hexadecimal constant per row, whose element type fits the width.
// The leftmost pixel of a row is the most significant bit of its constant.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// The declaration text for the sprite. The name goes in verbatim. Only the
// pixels that exist are read (a missing one counts as clear). The contract is
// a height of 1 to 16 rows; outside it, a height below 1 gives an empty
// initialiser, "...[] = {};", and one above 16 stops after 16 rows.
std::string EmitDeclaration(std::int32_t nWidthIndex, std::string_view name, std::int32_t nHeight,
                            std::span<const std::uint32_t> pixels);

// Two upper-case hex digits for a group of eight pixel characters, the first
// character being the least significant bit. Any character other than '0'
// counts as a set bit; only the first eight are read, and missing ones count
// as clear.
std::string BitsToHex(std::string_view bits);
