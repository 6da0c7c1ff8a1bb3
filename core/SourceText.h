#pragma once

// The written form of an array's values, and writing new values in it.
//
// A header that a user keeps by hand or that a tool wrote has its own way of
// writing numbers and laying them out. Writing a changed sprite back keeps
// that way, so that the file's history shows the pixels that changed and
// nothing else.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

enum class LiteralKind {
    Hex,           // 0x1f, 0X1F
    Binary,        // 0b00011111
    ArduinoBinary, // B00011111
    Decimal,       // 31
    Octal,         // 037
};

// How one integer literal is written: its kind, the prefix as spelled ("0x",
// "0X", "0b", "0B", "B", "0" or none), a suffix such as "u" or "UL", the
// case of its hex digits and the digit count it is padded to with zeros.
struct LiteralForm {
    LiteralKind kind = LiteralKind::Hex;
    std::string prefix = "0x";
    std::string suffix;
    bool bUpper = false;
    int nDigits = 0; // at least this many digits; 0 writes the fewest
    friend bool operator==(const LiteralForm&, const LiteralForm&) = default;
};

// The value of an integer literal as a C file writes it (the forms above,
// digit separators and integer suffixes included) and its form, or none for
// anything else or a value above 32 bits. A lone "0" reads as decimal.
std::optional<std::uint32_t> ReadLiteral(std::string_view text, LiteralForm* form = nullptr);

// `value` written in `form`. A value needing more digits than the padding
// gets them; ArduinoBinary, which has no larger form, always writes eight or
// more digits.
std::string WriteLiteral(std::uint32_t value, const LiteralForm& form);

// What is written into an array's values span: the new elements, and the
// old and new sprites when its rows can be told apart in the elements.
struct ValuesEdit {
    std::span<const std::uint32_t> elements; // the new elements, all of them
    // Elements per sprite row, before and after; 0 for a layout whose rows
    // share elements (vertical pages), which has no row drawings.
    std::size_t oldPerRow = 0;
    std::size_t newPerRow = 0;
    int oldWidth = 0; // pixels per row
    int newWidth = 0;
    std::span<const std::uint32_t> oldPixels; // row by row
    std::span<const std::uint32_t> newPixels;
};

// The new text of a values span: `text` is the span as the file holds it,
// from its first value (or the character after the opening brace) to the
// closing brace. With as many elements as before, every value that keeps its
// number keeps its text, a changed one is written in the span's own form, and
// nothing else moves. With another count the values are laid out again as the
// span lays them out: the text before the first value and after the last,
// values per line (rows per line where each line held one row), indentation,
// separators, trailing comma and line endings. Either way a comment that
// draws its line's row is drawn again from the new pixels and other comments
// stay. None when the span holds something other than literals, commas,
// blanks and comments and its values would have to be laid out again.
std::optional<std::string> RewriteValues(std::string_view text, const ValuesEdit& edit);

// The form the span's values share: the kind most of them are written in,
// with that kind's prefix, case, padding and suffix. Hex with a lower-case
// "0x" and no padding when the span holds no literal.
LiteralForm DominantForm(std::string_view text);
