#pragma once

// Reading a sprite back from C text that someone pasted: Glimmet's own line,
// or an array of bytes, shorts or longs written by another tool or by hand.
//
// The text may hold a whole header. Comments, preprocessor lines and other
// statements are skipped; the first array declaration with a brace list (or a
// bare list of values) is read. A list whose bit layout is not certain gives
// every sprite it could stand for, most likely first, and the caller lets the
// user choose.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class PixelLayout {
    RowsMsbFirst,  // one row after another; the leftmost pixel is an element's high bit
    RowsLsbFirst,  // the same with the leftmost pixel in the low bit, as XBM writes bytes
    VerticalPages, // pages of eight rows, one byte per column, the top row in the low bit
};

// One way of reading the values: a sprite 8, 16 or 32 pixels wide and 1 to 16
// rows high, its pixels row by row as 0 or 1 (width * height of them).
struct SpriteReading {
    PixelLayout layout = PixelLayout::RowsMsbFirst;
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

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
// and punctuation included, as the editor allows); any other list offers the
// layouts that can hold it.
ArrayReadResult ReadSpriteArray(std::string_view text);

// A C identifier from a file's base name: invalid characters become '_', a
// leading digit gets a '_' prefix, a C keyword a '_' suffix, and empty text
// gives "sprite". Used to name a sprite after an image file.
std::string MakeIdentifier(std::string_view text);

// Whether `text` is a C identifier as it is: ASCII letters, digits and '_',
// not starting with a digit, and no C keyword. Exactly the non-empty texts
// that MakeIdentifier leaves unchanged.
bool IsCIdentifier(std::string_view text);

// A short label for a reading, for the user choosing between them, e.g.
// "16 x 5, rows, leftmost pixel high" or "8 x 16, vertical pages".
std::string DescribeReading(const SpriteReading& reading);
