#pragma once

// The forms Make Code writes a sprite in. A form is three independent
// choices: the layout of the pixels in the values, the language that
// declares the values, and what states the sprite's size beside them. Each
// choice is a table with one row per option; the emitter, the settings and
// the code-style dialog walk these tables, so that a new layout is one row
// and its writing and reading functions.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A sprite as the forms see it: `width` pixels by `height` rows, the pixels
// row by row from the top, 0 clear and anything else set. Pixels missing
// from the span count as clear; nothing past it is read.
struct SpriteBits {
    int width = 0;
    int height = 0;
    std::span<const std::uint32_t> pixels;
};

// How the pixels sit in the values (settings key `codeStyle`).
enum class CodeStyle {
    // One value per row, leftmost pixel most significant: "{0x81,0x00}".
    Rows,
    // (width + 7) / 8 bytes per row, left to right, leftmost pixel in the
    // high bit: what drawBitmap-style calls and MONO_HLSB read.
    RowBytes,
    // The same bytes with the leftmost pixel in the low bit: XBM images and
    // drawXBM-style calls.
    Xbm,
    // Pages of eight rows, top to bottom, each one byte per column, left to
    // right, the page's top row in the low bit: SSD1306-style page buffers.
    Pages,
};

// What declares the values (settings key `codeLanguage`).
enum class CodeLanguage { C, Arduino, MicroPython };

// What states the size beside the values (settings key `codeSize`).
enum class CodeSize {
    None,
    // Two #define lines before the declaration.
    Defines,
    // Width and height as the first two values; byte layouts only.
    Leading,
};

// One choice of each. The default is the original declaration, byte for
// byte.
struct CodeForm {
    CodeStyle style = CodeStyle::Rows;
    CodeLanguage language = CodeLanguage::C;
    CodeSize size = CodeSize::None;
    friend bool operator==(const CodeForm&, const CodeForm&) = default;
};

// The settings entries the three choices are kept under.
inline constexpr std::string_view kCodeStyleEntry = "codeStyle";
inline constexpr std::string_view kCodeLanguageEntry = "codeLanguage";
inline constexpr std::string_view kCodeSizeEntry = "codeSize";

// How a byte layout's bytes make the elements of a wider array, 16 or 32
// bits each, as other tools and hand-written headers hold the same bits.
enum class ElementBytes {
    // Bytes only: the bytes do not run row by row, so no wider element holds
    // a run of them.
    None,
    // Each row's bytes in turn, as many to an element as it holds, the first
    // in the element's high bits: the row read as one number.
    HighFirst,
    // The same with the first byte in the element's low bits.
    LowFirst,
};

// A layout: how a sprite becomes values and how values become a sprite.
struct LayoutForm {
    CodeStyle style;
    // The settings value, the label offered to the user (with its '&'
    // mnemonic) and what the code box says of text in this layout (empty
    // for the default, which needs no word).
    std::string_view key;
    std::string_view menuText;
    std::string_view description;
    // Bits per value: 8 for a byte layout; 0 for one value per row, as wide
    // as the row's bytes.
    int valueBits;
    // The byte layout that holds the same bits, for languages that take
    // bytes only: the layout itself for a byte layout.
    CodeStyle byteStyle;
    // What a reading in a byte layout's bits is called, e.g. "rows,
    // leftmost pixel high", and how its bytes make wider elements. A layout
    // of one value per row leaves both empty: its values are its byte
    // layout's bytes grouped, and its readings are its byte layout's.
    std::string_view readingLabel;
    ElementBytes elementBytes;
    // MicroPython's framebuf format for the bytes (a byte layout's own).
    std::string_view frameBufferFormat;
    // The layout's mark: what the array's name ends with whenever a size
    // companion is written ("_bits" for XBM, "_pages" for pages; empty for
    // none). The companions state the size but not the bit order, and two
    // layouts can write the same values for two sprites (a sprite's XBM
    // bytes are its mirror image's row bytes); the mark tells the reader
    // which layout wrote them.
    std::string_view sizedNameSuffix;
    // The values of the sprite, in order.
    std::vector<std::uint32_t> (*write)(const SpriteBits& sprite);
    // The pixels that `values` stand for at width x height, row by row; none
    // if they are not what `write` gives for a sprite of that size (the
    // wrong count, or a value wider than the layout's). The inverse of
    // `write`: bits that `write` pads with are ignored.
    std::optional<std::vector<std::uint32_t>> (*read)(std::span<const std::uint32_t> values,
                                                      int width, int height);
};

// What a language's writer is given: the sprite (its height already the
// rows to write), the name verbatim, the layout written and the size
// companion that applies (None where the form's does not).
struct CodeDeclaration {
    std::string_view name;
    SpriteBits sprite;
    const LayoutForm* layout;
    CodeSize size;
};

struct LanguageForm {
    CodeLanguage language;
    std::string_view key;
    std::string_view menuText;
    std::string_view description;
    // Whether a size companion applies; otherwise the text carries the size.
    bool takesSize;
    // Whether it declares bytes only: a layout of one value per row is then
    // written as the byte layout that holds the same bits.
    bool bytesOnly;
    std::string (*write)(const CodeDeclaration& declaration);
};

struct SizeForm {
    CodeSize size;
    std::string_view key;
    std::string_view menuText;
    std::string_view description;
    // Offered for byte layouts only.
    bool bytesOnly;
};

// The tables, the default row first.
std::span<const LayoutForm> Layouts();
std::span<const LanguageForm> Languages();
std::span<const SizeForm> Sizes();

// The row of a choice.
const LayoutForm& LayoutOf(CodeStyle style);
const LanguageForm& LanguageOf(CodeLanguage language);
const SizeForm& SizeOf(CodeSize size);

// The row of the byte layout that holds the same bits as `style`: the one
// whose reading label and element grouping stand for both.
const LayoutForm& ByteLayoutOf(CodeStyle style);

// The bits of each value `layout` writes for a sprite `width` pixels wide.
int ValueBitsAt(const LayoutForm& layout, int width);

// The name a layout is stored under: "rows", "rowbytes", "xbm" or "pages".
std::string_view CodeStyleKey(CodeStyle style);

// The option stored under `key`, which must match exactly; none for any
// other text.
std::optional<CodeStyle> CodeStyleFromKey(std::string_view key);
std::optional<CodeLanguage> CodeLanguageFromKey(std::string_view key);
std::optional<CodeSize> CodeSizeFromKey(std::string_view key);

// The form kept under the three settings values; a value that names no
// option means that choice's default.
CodeForm CodeFormFromKeys(std::string_view style, std::string_view language, std::string_view size);

// Whether `size` goes with the layout and language: a language that carries
// the size takes only None, and Leading needs a byte layout.
bool IsSizeOffered(CodeSize size, CodeStyle style, CodeLanguage language);

// The size companion the form writes: its own where offered, else None.
CodeSize EffectiveSize(const CodeForm& form);

// The layout the form writes: its own, or the byte layout holding the same
// bits where the language declares bytes only.
const LayoutForm& WrittenLayout(const CodeForm& form);
