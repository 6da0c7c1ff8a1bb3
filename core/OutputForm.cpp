#include "OutputForm.h"

#include "SourceEmitter.h"

#include <algorithm>
#include <utility>

namespace {

constexpr int kBitsPerByte = 8;
constexpr std::string_view kUpperHexDigits = "0123456789ABCDEF";
constexpr std::string_view kLowerHexDigits = "0123456789abcdef";

int BytesPerRow(int width) {
    return (width + kBitsPerByte - 1) / kBitsPerByte;
}

int PagesOf(int height) {
    return (height + kBitsPerByte - 1) / kBitsPerByte;
}

// The pixel at (column, row) as a bit. Columns and rows outside the sprite
// are the padding of the last byte or page and read as clear without
// touching the pixels.
unsigned PixelBit(const SpriteBits& sprite, int column, int row) {
    if (column >= sprite.width || row >= sprite.height)
        return 0;
    const auto at = static_cast<std::size_t>(row) * static_cast<std::size_t>(sprite.width) +
                    static_cast<std::size_t>(column);
    return at < sprite.pixels.size() && sprite.pixels[at] != 0 ? 1u : 0u;
}

// Room for width x height pixels, all clear; the readings fill it in.
std::vector<std::uint32_t> ClearPixels(int width, int height) {
    return std::vector<std::uint32_t>(static_cast<std::size_t>(std::max(width, 0)) *
                                      static_cast<std::size_t>(std::max(height, 0)));
}

// The sizes a reading accepts: every width a value can hold a row of, and
// more rows than any sprite has, while keeping every count in range.
bool CanRead(int width, int height) {
    constexpr int kMaxWidth = 32;
    constexpr int kMaxHeight = 4096;
    return width >= 0 && width <= kMaxWidth && height >= 0 && height <= kMaxHeight;
}

bool AllBelow(std::span<const std::uint32_t> values, std::uint64_t limit) {
    return std::all_of(values.begin(), values.end(),
                       [limit](std::uint32_t value) { return value < limit; });
}

// --- Layouts ----------------------------------------------------------------

// One value per row, as wide as the row's bytes, leftmost pixel in the top
// bit: at widths 8, 16 and 32 the row itself.
std::vector<std::uint32_t> WriteRows(const SpriteBits& sprite) {
    const int bits = BytesPerRow(sprite.width) * kBitsPerByte;
    std::vector<std::uint32_t> values;
    values.reserve(static_cast<std::size_t>(sprite.height));
    for (int row = 0; row < sprite.height; ++row) {
        std::uint32_t value = 0;
        for (int column = 0; column < sprite.width; ++column)
            value |= std::uint32_t{PixelBit(sprite, column, row)} << (bits - 1 - column);
        values.push_back(value);
    }
    return values;
}

std::optional<std::vector<std::uint32_t>> ReadRows(std::span<const std::uint32_t> values, int width,
                                                   int height) {
    if (!CanRead(width, height))
        return std::nullopt;
    const int bits = BytesPerRow(width) * kBitsPerByte;
    if (std::cmp_not_equal(values.size(), height) || !AllBelow(values, std::uint64_t{1} << bits))
        return std::nullopt;
    std::vector<std::uint32_t> pixels = ClearPixels(width, height);
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column)
            pixels[static_cast<std::size_t>(row * width + column)] =
                (values[static_cast<std::size_t>(row)] >> (bits - 1 - column)) & 1u;
    return pixels;
}

// Each row as its bytes, left to right; `leftmostHigh` puts a byte's
// leftmost pixel in bit 7, otherwise in bit 0.
std::vector<std::uint32_t> RowBytesOf(const SpriteBits& sprite, bool leftmostHigh) {
    std::vector<std::uint32_t> bytes;
    bytes.reserve(static_cast<std::size_t>(sprite.height * BytesPerRow(sprite.width)));
    for (int row = 0; row < sprite.height; ++row) {
        for (int left = 0; left < sprite.width; left += kBitsPerByte) {
            std::uint32_t byte = 0;
            for (int k = 0; k < kBitsPerByte; ++k)
                byte |= PixelBit(sprite, left + k, row) << (leftmostHigh ? 7 - k : k);
            bytes.push_back(byte);
        }
    }
    return bytes;
}

std::optional<std::vector<std::uint32_t>> ReadRowBytesOf(std::span<const std::uint32_t> values,
                                                         int width, int height, bool leftmostHigh) {
    if (!CanRead(width, height))
        return std::nullopt;
    const int stride = BytesPerRow(width);
    if (std::cmp_not_equal(values.size(), height * stride) || !AllBelow(values, 0x100))
        return std::nullopt;
    std::vector<std::uint32_t> pixels = ClearPixels(width, height);
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column) {
            const std::uint32_t byte =
                values[static_cast<std::size_t>(row * stride + column / kBitsPerByte)];
            const int k = column % kBitsPerByte;
            pixels[static_cast<std::size_t>(row * width + column)] =
                (byte >> (leftmostHigh ? 7 - k : k)) & 1u;
        }
    return pixels;
}

std::vector<std::uint32_t> WriteRowBytes(const SpriteBits& sprite) {
    return RowBytesOf(sprite, true);
}
std::optional<std::vector<std::uint32_t>> ReadRowBytes(std::span<const std::uint32_t> values,
                                                       int width, int height) {
    return ReadRowBytesOf(values, width, height, true);
}
std::vector<std::uint32_t> WriteXbm(const SpriteBits& sprite) {
    return RowBytesOf(sprite, false);
}
std::optional<std::vector<std::uint32_t>> ReadXbm(std::span<const std::uint32_t> values, int width,
                                                  int height) {
    return ReadRowBytesOf(values, width, height, false);
}

// The last page is padded with clear rows, never read from the pixels.
std::vector<std::uint32_t> WritePages(const SpriteBits& sprite) {
    std::vector<std::uint32_t> bytes;
    bytes.reserve(static_cast<std::size_t>(PagesOf(sprite.height) * sprite.width));
    for (int top = 0; top < sprite.height; top += kBitsPerByte) {
        for (int column = 0; column < sprite.width; ++column) {
            std::uint32_t byte = 0;
            for (int k = 0; k < kBitsPerByte; ++k)
                byte |= PixelBit(sprite, column, top + k) << k;
            bytes.push_back(byte);
        }
    }
    return bytes;
}

std::optional<std::vector<std::uint32_t>> ReadPages(std::span<const std::uint32_t> values,
                                                    int width, int height) {
    if (!CanRead(width, height))
        return std::nullopt;
    if (std::cmp_not_equal(values.size(), PagesOf(height) * width) || !AllBelow(values, 0x100))
        return std::nullopt;
    std::vector<std::uint32_t> pixels = ClearPixels(width, height);
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column)
            pixels[static_cast<std::size_t>(row * width + column)] =
                (values[static_cast<std::size_t>(row / kBitsPerByte * width + column)] >>
                 (row % kBitsPerByte)) &
                1u;
    return pixels;
}

// --- Languages --------------------------------------------------------------

// "0x" and the value's digits: upper case for one value per row, lower case
// for bytes, so that the byte layouts never pass for the original text.
void AppendHex(std::string& text, std::uint32_t value, int bits, bool upper) {
    const std::string_view digits = upper ? kUpperHexDigits : kLowerHexDigits;
    text += "0x";
    for (int shift = bits - 4; shift >= 0; shift -= 4)
        text += digits[(value >> shift) & 0xF];
}

std::string UpperCase(std::string_view name) {
    std::string upper(name);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

// The initialised array of C and its dialects: the size companion, `type`,
// the name, `storage` after its brackets, then the values. One value per
// row is joined by bare commas, bytes by ", ", as the original texts are.
std::string CArray(const CodeDeclaration& d, std::string_view type, std::string_view storage) {
    const LayoutForm& layout = *d.layout;
    const bool bytes = layout.valueBits == kBitsPerByte;
    const std::vector<std::uint32_t> values = layout.write(d.sprite);
    const std::string width = std::to_string(d.sprite.width);
    const std::string height = std::to_string(d.sprite.height);

    std::string text;
    text.reserve(64 + 3 * d.name.size() + values.size() * 12);
    // XBM's own companions make the text an XBM image. Image readers read it
    // a line at a time, some into a buffer of a few hundred characters, so
    // its values are wrapped twelve to a line as XBM files wrap them.
    const bool xbmImage = d.size == CodeSize::Defines && layout.style == CodeStyle::Xbm;
    constexpr std::size_t kXbmValuesPerLine = 12;
    if (d.size == CodeSize::Defines) {
        const std::string prefix = xbmImage ? std::string(d.name) : UpperCase(d.name);
        text += "#define " + prefix + (xbmImage ? "_width " : "_WIDTH ") + width + "\n";
        text += "#define " + prefix + (xbmImage ? "_height " : "_HEIGHT ") + height + "\n";
    }
    // The companions name the sprite; the array carries the layout's mark.
    std::string name(d.name);
    if (d.size != CodeSize::None)
        name += layout.sizedNameSuffix;
    text += type;
    text += name;
    text += "[]";
    text += storage;
    text += " = {";
    const std::string_view separator = bytes ? ", " : ",";
    if (d.size == CodeSize::Leading) {
        text += width + ", " + height;
        if (!values.empty())
            text += separator;
    }
    const int bits = bytes ? kBitsPerByte : BytesPerRow(d.sprite.width) * kBitsPerByte;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            text += xbmImage && i % kXbmValuesPerLine == 0 ? ",\n   " : separator;
        AppendHex(text, values[i], bits, !bytes);
    }
    text += "};";
    return text;
}

std::string WriteC(const CodeDeclaration& d) {
    const bool bytes = d.layout->valueBits == kBitsPerByte;
    return CArray(d, bytes ? ElementType(kBitsPerByte) : ElementType(d.sprite.width), "");
}

// Fixed-width types, and the arrays kept in program memory.
std::string WriteArduino(const CodeDeclaration& d) {
    const int bits =
        d.layout->valueBits == kBitsPerByte ? kBitsPerByte : BytesPerRow(d.sprite.width) * 8;
    const std::string_view type = bits <= 8    ? "const uint8_t "
                                  : bits <= 16 ? "const uint16_t "
                                               : "const uint32_t ";
    return CArray(d, type, " PROGMEM");
}

// A bytearray of the layout's bytes and a FrameBuffer over it, which states
// the size and the bit order.
std::string WriteMicroPython(const CodeDeclaration& d) {
    const LayoutForm& bytesLayout = *d.layout;
    const std::vector<std::uint32_t> bytes = bytesLayout.write(d.sprite);
    std::string text;
    text.reserve(96 + 3 * d.name.size() + bytes.size() * 4);
    text += d.name;
    text += " = bytearray(b'";
    for (const std::uint32_t byte : bytes) {
        text += "\\x";
        text += kLowerHexDigits[(byte >> 4) & 0xF];
        text += kLowerHexDigits[byte & 0xF];
    }
    text += "')\n";
    text += d.name;
    text += "_fb = framebuf.FrameBuffer(";
    text += d.name;
    text += ", " + std::to_string(d.sprite.width) + ", " + std::to_string(d.sprite.height) +
            ", framebuf.";
    text += bytesLayout.frameBufferFormat;
    text += ")";
    return text;
}

// --- The tables -------------------------------------------------------------

constexpr LayoutForm kLayouts[] = {
    {CodeStyle::Rows, "rows", "&Rows, Leftmost Pixel High", "", 0, CodeStyle::RowBytes, "",
     ElementBytes::None, "", "", &WriteRows, &ReadRows},
    {CodeStyle::RowBytes, "rowbytes", "Row &Bytes, Leftmost Pixel High",
     "Row bytes, leftmost pixel high: for drawBitmap-style calls and MONO_HLSB", 8,
     CodeStyle::RowBytes, "rows, leftmost pixel high", ElementBytes::HighFirst, "MONO_HLSB", "",
     &WriteRowBytes, &ReadRowBytes},
    {CodeStyle::Xbm, "xbm", "&XBM Bytes, Leftmost Pixel Low",
     "XBM bytes, leftmost pixel low: for drawXBM-style calls", 8, CodeStyle::Xbm,
     "rows, leftmost pixel low (XBM)", ElementBytes::LowFirst, "MONO_HMSB", "_bits", &WriteXbm,
     &ReadXbm},
    {CodeStyle::Pages, "pages", "&Vertical Pages",
     "Vertical pages of eight rows, top row in the low bit: for SSD1306-style page buffers", 8,
     CodeStyle::Pages, "vertical pages", ElementBytes::None, "MONO_VLSB", "_pages", &WritePages,
     &ReadPages},
};

constexpr LanguageForm kLanguages[] = {
    {CodeLanguage::C, "c", "&C", "A C array", true, false, &WriteC},
    {CodeLanguage::Arduino, "arduino", "&Arduino",
     "An Arduino array of fixed-width values in program memory", true, false, &WriteArduino},
    {CodeLanguage::MicroPython, "micropython", "&MicroPython",
     "A MicroPython bytearray and a framebuf.FrameBuffer that states the size", false, true,
     &WriteMicroPython},
};

constexpr SizeForm kSizes[] = {
    {CodeSize::None, "none", "&None", "No size beside the values", false},
    {CodeSize::Defines, "defines", "&Defines", "#define lines for the width and the height", false},
    {CodeSize::Leading, "leading", "&Leading Size Bytes", "Width and height as the first two bytes",
     true},
};

template <class Row, class Choice>
const Row& RowOf(std::span<const Row> rows, Choice choice, Choice Row::*field) {
    for (const Row& row : rows)
        if (row.*field == choice)
            return row;
    return rows.front();
}

template <class Row, class Choice>
std::optional<Choice> FromKey(std::span<const Row> rows, std::string_view key, Choice Row::*field) {
    for (const Row& row : rows)
        if (row.key == key)
            return row.*field;
    return std::nullopt;
}

} // namespace

std::span<const LayoutForm> Layouts() {
    return kLayouts;
}
std::span<const LanguageForm> Languages() {
    return kLanguages;
}
std::span<const SizeForm> Sizes() {
    return kSizes;
}

const LayoutForm& LayoutOf(CodeStyle style) {
    return RowOf(Layouts(), style, &LayoutForm::style);
}
const LanguageForm& LanguageOf(CodeLanguage language) {
    return RowOf(Languages(), language, &LanguageForm::language);
}
const SizeForm& SizeOf(CodeSize size) {
    return RowOf(Sizes(), size, &SizeForm::size);
}

const LayoutForm& ByteLayoutOf(CodeStyle style) {
    return LayoutOf(LayoutOf(style).byteStyle);
}

int ValueBitsAt(const LayoutForm& layout, int width) {
    return layout.valueBits != 0 ? layout.valueBits : BytesPerRow(width) * kBitsPerByte;
}

std::string_view CodeStyleKey(CodeStyle style) {
    return LayoutOf(style).key;
}

std::optional<CodeStyle> CodeStyleFromKey(std::string_view key) {
    return FromKey(Layouts(), key, &LayoutForm::style);
}
std::optional<CodeLanguage> CodeLanguageFromKey(std::string_view key) {
    return FromKey(Languages(), key, &LanguageForm::language);
}
std::optional<CodeSize> CodeSizeFromKey(std::string_view key) {
    return FromKey(Sizes(), key, &SizeForm::size);
}

CodeForm CodeFormFromKeys(std::string_view style, std::string_view language,
                          std::string_view size) {
    const CodeForm defaults;
    return {CodeStyleFromKey(style).value_or(defaults.style),
            CodeLanguageFromKey(language).value_or(defaults.language),
            CodeSizeFromKey(size).value_or(defaults.size)};
}

bool IsSizeOffered(CodeSize size, CodeStyle style, CodeLanguage language) {
    if (size == CodeSize::None)
        return true;
    if (!LanguageOf(language).takesSize)
        return false;
    return !SizeOf(size).bytesOnly || LayoutOf(style).valueBits == kBitsPerByte;
}

CodeSize EffectiveSize(const CodeForm& form) {
    return IsSizeOffered(form.size, form.style, form.language) ? form.size : CodeSize::None;
}

const LayoutForm& WrittenLayout(const CodeForm& form) {
    const LayoutForm& layout = LayoutOf(form.style);
    return LanguageOf(form.language).bytesOnly ? LayoutOf(layout.byteStyle) : layout;
}
