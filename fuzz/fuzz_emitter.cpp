// Feeds EmitCode any width (by an index), name, height and
// pixels, in every output form (layout x language x size companion), and
// checks each text against its contract and against a plain re-derivation of
// every value from the pixels; feeds each layout's reading the pixels as
// values at any size. Also feeds BitsToHex and the keys' lookups any
// characters (those of the name).
//
// Input: byte 0 the width index (signed), bytes 1-4 the height (signed,
// little-endian), byte 5 the name's length n, then n bytes of name, then one
// byte per pixel (0 clear; any other value v gives the element v * 0x01010101,
// which is set). Short input leaves the rest empty. The pixels are allocated
// to their exact size, so the address sanitizer catches any read past them.

#include "OutputForm.h"
#include "SourceEmitter.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

[[noreturn]] void Fail(const char* what, const std::string& text) {
    std::fprintf(stderr, "emitter invariant broken: %s\noutput: %s\n", what, text.c_str());
    std::abort();
}

std::string_view TypeFor(std::int32_t widthIndex) {
    switch (widthIndex) {
    case 0:
        return "static unsigned char ";
    case 1:
        return "static unsigned short int ";
    case 2:
        return "static unsigned long int ";
    default:
        return "";
    }
}

int WidthFor(std::int32_t widthIndex) {
    return widthIndex == 0 ? 8 : widthIndex == 1 ? 16 : widthIndex == 2 ? 32 : 0;
}

bool IsUpperHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

bool IsLowerHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

int RowsFor(std::int32_t height) {
    return height < 0 ? 0 : height > 16 ? 16 : height;
}

// The initialiser between "{" and "};" of a declaration that must start with
// `type` and the name verbatim and hold no line break outside the name.
std::string_view Initialiser(const std::string& text, std::string_view type,
                             std::string_view name) {
    if (text.compare(0, type.size(), type) != 0)
        Fail("does not start with the element type", text);
    if (text.compare(type.size(), name.size(), name) != 0)
        Fail("the name does not follow the type verbatim", text);
    if (text.size() < 2 || text.compare(text.size() - 2, 2, "};") != 0)
        Fail("does not end with \"};\"", text);
    const std::string_view rest = std::string_view(text).substr(type.size() + name.size());
    if (rest.find_first_of("\r\n") != std::string_view::npos)
        Fail("a line break outside the name", text);
    const std::string_view opening = "[] = {";
    if (rest.size() < opening.size() + 2 || rest.substr(0, opening.size()) != opening)
        Fail("no \"[] = {\" after the name", text);
    return rest.substr(opening.size(), rest.size() - opening.size() - 2);
}

// The constants of an initialiser, split at `separator`; none when it is
// empty. A separator at the end, or two in a row, break the contract.
std::vector<std::string_view> Constants(std::string_view body, std::string_view separator,
                                        const std::string& text) {
    std::vector<std::string_view> constants;
    while (!body.empty()) {
        const std::size_t end = body.find(separator);
        constants.push_back(body.substr(0, end));
        if (end == std::string_view::npos)
            break;
        body.remove_prefix(end + separator.size());
        if (body.empty())
            Fail("a trailing separator", text);
    }
    return constants;
}

// Row `row` as the emitter must write it: the leftmost pixel is the most
// significant bit, a pixel beyond the elements is clear.
std::string ExpectedConstant(const std::vector<std::uint32_t>& pixels, int width, int row) {
    std::uint64_t value = 0;
    for (int col = 0; col < width; ++col) {
        const auto index = static_cast<std::size_t>(row) * static_cast<std::size_t>(width) +
                           static_cast<std::size_t>(col);
        value = (value << 1) | (index < pixels.size() && pixels[index] != 0 ? 1u : 0u);
    }
    std::string constant = "0x";
    for (int shift = width - 4; shift >= 0; shift -= 4)
        constant += "0123456789ABCDEF"[(value >> shift) & 0xF];
    return constant;
}

void CheckDeclaration(std::int32_t widthIndex, std::string_view name, std::int32_t height,
                      const std::vector<std::uint32_t>& pixels) {
    const int width = WidthFor(widthIndex);
    const std::string text = EmitCode(CodeForm{}, name, {width, height, pixels});
    const std::vector<std::string_view> constants =
        Constants(Initialiser(text, TypeFor(widthIndex), name), ",", text);

    for (std::size_t row = 0; row < constants.size(); ++row) {
        const std::string_view constant = constants[row];
        if (constant.size() != 2 + static_cast<std::size_t>(width / 4) ||
            constant.substr(0, 2) != "0x")
            Fail("a constant of the wrong shape", text);
        for (const char c : constant.substr(2))
            if (!IsUpperHex(c))
                Fail("a constant with a character that is no upper-case hex digit", text);
        if (constant != ExpectedConstant(pixels, width, static_cast<int>(row)))
            Fail("a constant that does not match its row's pixels", text);
    }
    if (constants.size() != static_cast<std::size_t>(RowsFor(height)))
        Fail("not one constant per row, up to 16", text);
}

// Pixel (column, row) as a bit: clear in rows past those written and past the
// elements given.
unsigned PixelAt(const std::vector<std::uint32_t>& pixels, int width, int rows, int column,
                 int row) {
    const auto index = static_cast<std::size_t>(row) * static_cast<std::size_t>(width) +
                       static_cast<std::size_t>(column);
    return row < rows && index < pixels.size() && pixels[index] != 0 ? 1u : 0u;
}

// Byte `i` of a byte layout, derived from where it sits: row bytes and XBM
// bytes run along each row (leftmost pixel bit 7 or bit 0), page bytes down
// one column of a page of eight rows (top row bit 0).
unsigned ExpectedByte(CodeStyle style, const std::vector<std::uint32_t>& pixels, int width,
                      int rows, int i) {
    unsigned byte = 0;
    for (int bit = 0; bit < 8; ++bit) {
        const bool pages = style == CodeStyle::Pages;
        const int along = style == CodeStyle::RowBytes ? 7 - bit : bit;
        const int column = pages ? i % width : i % (width / 8) * 8 + along;
        const int row = pages ? i / width * 8 + bit : i / (width / 8);
        byte |= PixelAt(pixels, width, rows, column, row) << bit;
    }
    return byte;
}

int ByteCount(CodeStyle style, int width, int rows) {
    return style == CodeStyle::Pages ? (rows + 7) / 8 * width : rows * (width / 8);
}

void CheckByteDeclaration(CodeStyle style, std::int32_t widthIndex, std::string_view name,
                          std::int32_t height, const std::vector<std::uint32_t>& pixels) {
    const int width = WidthFor(widthIndex);
    const std::string text = EmitCode(CodeForm{style}, name, {width, height, pixels});
    const int rows = RowsFor(height);
    const std::vector<std::string_view> bytes =
        Constants(Initialiser(text, "static unsigned char ", name), ", ", text);

    if (bytes.size() != static_cast<std::size_t>(ByteCount(style, width, rows)))
        Fail("not the style's number of bytes", text);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::string_view byte = bytes[i];
        if (byte.size() != 4 || byte.substr(0, 2) != "0x" || !IsLowerHex(byte[2]) ||
            !IsLowerHex(byte[3]))
            Fail("a byte that is not \"0x\" and two lower-case hex digits", text);
        const unsigned expected = ExpectedByte(style, pixels, width, rows, static_cast<int>(i));
        if (byte[2] != "0123456789abcdef"[expected >> 4] ||
            byte[3] != "0123456789abcdef"[expected & 0xF])
            Fail("a byte that does not match its pixels", text);
    }
}

// The text of `form` is exactly what its layout's values in its language
// and size companion must be, re-derived here from the pixels; MicroPython
// writes rows as row bytes and takes no companion, and leading size bytes
// go with byte layouts only. The layout's reading gives the pixels back.
void CheckForm(const CodeForm& form, std::int32_t widthIndex, std::string_view name,
               std::int32_t height, const std::vector<std::uint32_t>& pixels) {
    const int width = WidthFor(widthIndex);
    const int rows = RowsFor(height);
    const std::string text = EmitCode(form, name, {width, height, pixels});
    const bool micro = form.language == CodeLanguage::MicroPython;
    const bool arduino = form.language == CodeLanguage::Arduino;
    const CodeStyle style =
        micro && form.style == CodeStyle::Rows ? CodeStyle::RowBytes : form.style;
    const bool bytes = style != CodeStyle::Rows;
    const CodeSize size =
        micro || (form.size == CodeSize::Leading && !bytes) ? CodeSize::None : form.size;
    const bool xbmImage = style == CodeStyle::Xbm && size == CodeSize::Defines;

    std::vector<std::string> values;
    std::vector<unsigned> byteValues;
    if (bytes) {
        for (int i = 0; i < ByteCount(style, width, rows); ++i) {
            const unsigned byte = ExpectedByte(style, pixels, width, rows, i);
            byteValues.push_back(byte);
            values.push_back(std::string("0x") + "0123456789abcdef"[byte >> 4] +
                             "0123456789abcdef"[byte & 0xF]);
        }
    } else {
        for (int row = 0; row < rows; ++row)
            values.push_back(ExpectedConstant(pixels, width, row));
    }
    const std::string w = std::to_string(width);
    const std::string h = std::to_string(rows);
    std::string expected;
    if (micro) {
        const std::string_view format = style == CodeStyle::RowBytes ? "MONO_HLSB"
                                        : style == CodeStyle::Xbm    ? "MONO_HMSB"
                                                                     : "MONO_VLSB";
        expected = std::string(name) + " = bytearray(b'";
        for (const std::string& value : values)
            expected += "\\x" + value.substr(2);
        expected += "')\n" + std::string(name) + "_fb = framebuf.FrameBuffer(" + std::string(name) +
                    ", " + w + ", " + h + ", framebuf." + std::string(format) + ")";
    } else {
        std::string arrayName(name);
        if (size == CodeSize::Defines) {
            std::string prefix(name);
            if (!xbmImage)
                for (char& c : prefix)
                    c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
            expected += "#define " + prefix + (xbmImage ? "_width " : "_WIDTH ") + w + "\n";
            expected += "#define " + prefix + (xbmImage ? "_height " : "_HEIGHT ") + h + "\n";
        }
        // With a size companion, XBM and pages arrays carry their layout's
        // mark.
        if (size != CodeSize::None)
            arrayName += style == CodeStyle::Xbm     ? "_bits"
                         : style == CodeStyle::Pages ? "_pages"
                                                     : "";
        if (arduino)
            expected += bytes || width <= 8 ? "const uint8_t "
                        : width <= 16       ? "const uint16_t "
                                            : "const uint32_t ";
        else
            expected += bytes ? "static unsigned char " : TypeFor(widthIndex);
        expected += arrayName + "[]" + (arduino ? " PROGMEM" : "") + " = {";
        const std::string separator = bytes ? ", " : ",";
        if (size == CodeSize::Leading)
            expected += w + ", " + h + (values.empty() ? "" : separator);
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (i > 0)
                expected += xbmImage && i % 12 == 0 ? ",\n   " : separator;
            expected += values[i];
        }
        expected += "};";
    }
    if (text != expected)
        Fail("a form's text is not its layout's values in its language", text);

    const LayoutForm& layout = LayoutOf(style);
    const std::optional<std::vector<std::uint32_t>> back =
        layout.read(layout.write({width, rows, pixels}), width, rows);
    if (!back || back->size() != static_cast<std::size_t>(width * rows))
        Fail("a layout's reading refuses its own writing", text);
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < width; ++column)
            if ((*back)[static_cast<std::size_t>(row * width + column)] !=
                PixelAt(pixels, width, rows, column, row))
                Fail("a layout's reading does not give its writing's pixels back", text);
}

// Any values at any size: a reading refuses them or gives width x height
// pixels that write and read back to themselves.
void CheckReadings(const std::vector<std::uint32_t>& values, int width, int height) {
    for (const LayoutForm& layout : Layouts()) {
        const std::optional<std::vector<std::uint32_t>> read = layout.read(values, width, height);
        if (!read)
            continue;
        if (read->size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
            Fail("a reading of the wrong size", std::string(layout.key));
        if (layout.read(layout.write({width, height, *read}), width, height) != read)
            Fail("a reading that does not write and read back to itself", std::string(layout.key));
    }
}

// A key names an option exactly when it is that option's own key.
void CheckStyleKey(std::string_view key) {
    const std::optional<CodeStyle> style = CodeStyleFromKey(key);
    const bool known = key == "rows" || key == "rowbytes" || key == "xbm" || key == "pages";
    if (style.has_value() != known || (style && CodeStyleKey(*style) != key))
        Fail("CodeStyleFromKey does not read exactly the style keys", std::string(key));
    const std::optional<CodeLanguage> language = CodeLanguageFromKey(key);
    if (language.has_value() != (key == "c" || key == "arduino" || key == "micropython"))
        Fail("CodeLanguageFromKey does not read exactly the language keys", std::string(key));
    const std::optional<CodeSize> size = CodeSizeFromKey(key);
    if (size.has_value() != (key == "none" || key == "defines" || key == "leading"))
        Fail("CodeSizeFromKey does not read exactly the size keys", std::string(key));
}

void CheckBitsToHex(std::string_view bits) {
    const std::string hex = BitsToHex(bits);
    int value = 0;
    for (std::size_t k = 0; k < 8 && k < bits.size(); ++k)
        if (bits[k] != '0')
            value |= 1 << k;
    const char expected[] = {"0123456789ABCDEF"[value >> 4], "0123456789ABCDEF"[value & 0xF]};
    if (hex != std::string_view(expected, 2))
        Fail("BitsToHex does not give the group's two digits", hex);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::size_t at = 0;
    auto next = [&]() -> std::uint8_t { return at < size ? data[at++] : 0; };

    const auto widthIndex = static_cast<std::int32_t>(static_cast<std::int8_t>(next()));
    std::uint32_t rawHeight = 0;
    for (int k = 0; k < 4; ++k)
        rawHeight |= static_cast<std::uint32_t>(next()) << (8 * k);
    const auto height = static_cast<std::int32_t>(rawHeight);
    const std::size_t nameLength = next();
    const std::size_t nameStart = at < size ? at : size;
    const std::size_t nameEnd = nameStart + nameLength < size ? nameStart + nameLength : size;
    const std::string name(reinterpret_cast<const char*>(data) + nameStart, nameEnd - nameStart);
    at = nameEnd;

    std::vector<std::uint32_t> pixels;
    pixels.reserve(size - at);
    for (; at < size; ++at)
        pixels.push_back(static_cast<std::uint32_t>(data[at]) * 0x01010101u);

    CheckDeclaration(widthIndex, name, height, pixels);
    CheckByteDeclaration(CodeStyle::RowBytes, widthIndex, name, height, pixels);
    CheckByteDeclaration(CodeStyle::Xbm, widthIndex, name, height, pixels);
    CheckByteDeclaration(CodeStyle::Pages, widthIndex, name, height, pixels);
    for (const LayoutForm& layout : Layouts())
        for (const LanguageForm& language : Languages())
            for (const SizeForm& companion : Sizes())
                CheckForm({layout.style, language.language, companion.size}, widthIndex, name,
                          height, pixels);
    // The pixel bytes as values, at the sprite's size and at widths the
    // width byte alone gives, negative and too wide ones included.
    std::vector<std::uint32_t> values(pixels);
    for (std::uint32_t& value : values)
        value &= 0xFFu;
    CheckReadings(values, WidthFor(widthIndex), RowsFor(height));
    CheckReadings(values, widthIndex, static_cast<int>(rawHeight % 64u));
    CheckBitsToHex(name);
    CheckStyleKey(name);
    return 0;
}
