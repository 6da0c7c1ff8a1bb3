#pragma once

// Turns a sprite into the code Make Code writes, in any of the output forms
// (OutputForm.h). The default form is one line of C: an initialised array
// named after the sprite, one hexadecimal constant per row, whose element
// type fits the width, the leftmost pixel of a row being the most
// significant bit of its constant.

#include "OutputForm.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// The code for the sprite in `form`. The name goes in verbatim. The width is
// 8, 16 or 32 pixels (one outside 0 to 32 is taken as the nearest end). The
// contract is a height of 1 to 16 rows; outside it, a height below 1 writes
// no rows, "...[] = {};", and one above 16 stops after 16 rows. Only the
// pixels that exist are read (a missing one counts as clear).
//
// The default form writes each row as "0x" and upper-case digits joined by
// bare commas; that exact text is what marks a line as Glimmet's own when it
// is pasted back. The byte layouts write "0x" and two lower-case digits
// joined by ", ", so that they never pass for it with
// another meaning: the two agree only for one row of eight pixels (in XBM
// order one that reads the same both ways) or for no rows at all, and then
// both stand for the same pixels. C and Arduino text is one
// line, with two #define lines before it as companions (XBM's then wraps its
// values twelve to a line, as XBM files do); MicroPython text is two lines.
std::string EmitCode(const CodeForm& form, std::string_view name, const SpriteBits& sprite);

// The piece that starts the default style's declaration for a width of 8,
// 16 or 32 pixels, ending in one blank; empty for any other width.
std::string_view ElementType(int width);

// Two upper-case hex digits for a group of eight pixel characters, the first
// character being the least significant bit. Any character other than '0'
// counts as a set bit; only the first eight are read, and missing ones count
// as clear.
std::string BitsToHex(std::string_view bits);
