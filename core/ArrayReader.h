#pragma once

// Reading a sprite back from C text that someone pasted: Glimmet's own line,
// or an array of bytes, shorts or longs written by another tool or by hand.
//
// The text may hold a whole header. Comments, preprocessor lines and other
// statements are skipped; the first array declaration with a brace list (or a
// bare list of values) is read. A list whose bit layout is not certain gives
// every sprite it could stand for, most likely first, and the caller lets the
// user choose.

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
    bool bExact = false;                 // Glimmet's own row line: apply readings[0] at once
    std::vector<SpriteReading> readings; // most likely first; empty when error is set
    std::optional<ArrayReadError> error;
    std::string notice; // e.g. several arrays found, first read; else empty
};

// Longer text is refused before it is read, so that a stray paste of a large
// file cannot stall the editor.
inline constexpr std::size_t kMaxArrayTextBytes = 1 << 20;

// Reads the first array in `text`. Exactly one of `error` and `readings` is
// set. Glimmet's own declaration comes back exact, whatever its name (blanks
// and punctuation included, as the editor allows), also with a byte-order
// mark before it, line breaks between its values, a "//" comment after it or
// more code on later lines; only when another of Glimmet's styles writes the
// very same text for another sprite does it offer both. Any other list
// offers the layouts that can hold it.
ArrayReadResult ReadSpriteArray(std::string_view text);
