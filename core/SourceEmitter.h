#pragma once

// Turns a sprite into one line of C: an initialised array named after the
// sprite. The default style writes one hexadecimal constant per row, whose
// element type fits the width, the leftmost pixel of a row being the most
// significant bit of its constant. The other styles write the bytes that
// common display libraries draw from.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

enum class CodeStyle {
    // One constant per row, leftmost pixel most significant: "{0x81,0x00}".
    Rows,
    // Bytes for drawXBM-style calls: each row as width / 8 bytes, left to
    // right, the leftmost pixel of a byte its least significant bit.
    Xbm,
    // Bytes for SSD1306-style page buffers: pages of eight rows, top to
    // bottom, each written as one byte per column, left to right, the page's
    // top row in the least significant bit.
    Pages,
};

// The name a style is stored under: "rows", "xbm" or "pages".
std::string_view CodeStyleKey(CodeStyle style);

// The style stored under `key`, which must match exactly; none for any other.
std::optional<CodeStyle> CodeStyleFromKey(std::string_view key);

// The declaration text for the sprite. The name goes in verbatim. Only the
// pixels that exist are read (a missing one counts as clear). The contract is
// a height of 1 to 16 rows; outside it, a height below 1 gives an empty
// initialiser, "...[] = {};", and one above 16 stops after 16 rows.
//
// This is the Rows style, element by element as "0x" and upper-case digits
// joined by bare commas. That exact text is what marks a line as Glimmet's own
// when it is pasted back.
std::string EmitDeclaration(std::int32_t nWidthIndex, std::string_view name, std::int32_t nHeight,
                            std::span<const std::uint32_t> pixels);

// The declaration text in `style`, with the name and height rules above. The
// Rows style is exactly the text of the overload above. The other styles
// declare "static unsigned char" whatever the width and write each byte as
// "0x" and two lower-case digits, separated by ", ", so that they never pass
// for the Rows text: the two agree only for one row of eight pixels that
// reads the same in either bit order, or for no rows at all, and then both
// stand for the same pixels. Pages pads its last page with clear rows, never reading pixels
// below the height.
std::string EmitDeclaration(CodeStyle style, std::int32_t nWidthIndex, std::string_view name,
                            std::int32_t nHeight, std::span<const std::uint32_t> pixels);

// The piece that starts the default style's declaration for a width of 8,
// 16 or 32 pixels, ending in one blank; empty for any other width.
std::string_view ElementType(int width);

// Two upper-case hex digits for a group of eight pixel characters, the first
// character being the least significant bit. Any character other than '0'
// counts as a set bit; only the first eight are read, and missing ones count
// as clear.
std::string BitsToHex(std::string_view bits);
