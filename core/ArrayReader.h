#pragma once

// Reading a sprite back from text that someone pasted: any form Make Code
// writes, or an array of bytes, shorts or longs written by another tool or
// by hand, in C or as MicroPython bytes.
//
// The text may hold a whole header. Comments and other statements are
// skipped; the first array declaration with a brace list (or a bare list of
// values, or failing both a MicroPython bytes value) is read, with what the
// text around it says of its size and layout: #define companions, leading
// size values, a FrameBuffer, the drawing calls that pass it. A list whose
// sprite is not certain gives every sprite it could stand for, most likely
// first, and the caller lets the user choose.

#include "Identifier.h" // the editor names what it reads with these rules
#include "SpriteReadings.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What stopped the read, and where: the offending token as written (cut
// short if it is long) and its 1-based line and column, columns counted in
// characters.
struct ArrayReadError {
    std::string message;
    std::string token;
    int line = 1;
    int column = 1;
};

struct ArrayReadResult {
    std::string name;                    // the declaration's name; empty for a bare list
    bool bExact = false;                 // one certain sprite: apply readings[0] at once
    std::vector<SpriteReading> readings; // most likely first; empty when error is set
    std::optional<ArrayReadError> error;
    std::string notice; // e.g. several arrays found, first read; else empty
};

// Longer text is refused before it is read, so that a stray paste of a large
// file cannot stall the editor.
inline constexpr std::size_t kMaxArrayTextBytes = 1 << 20;

// Reads the first array in `text`. Exactly one of `error` and `readings` is
// set. A text that one of Glimmet's forms writes comes back exact, also with
// a byte-order mark before it, line breaks between its values, a "//"
// comment after it or more code on later lines; the default line does
// whatever its name (blanks and punctuation included, as the editor allows).
// A form with a size companion marks the array's name with its layout
// ("_bits", "_pages"), and where forms disagree the mark is believed, so
// that every text with a companion comes back exact (a sprite named "s_bits"
// in row bytes with leading sizes reads as the XBM sprite "s", whose text it
// is too). Only when the forms write the very same text for several sprites
// without a companion (row bytes and XBM bytes of mirror images) does it
// offer those. A text that states both size and layout (a FrameBuffer, an
// XBM file with its own #defines) comes back exact too. Any other list offers every layout of the
// table that can hold it, ranked by the evidence in the text, then by how
// much each picture looks like a drawing.
ArrayReadResult ReadSpriteArray(std::string_view text);
