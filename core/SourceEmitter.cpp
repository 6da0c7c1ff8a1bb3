#include "SourceEmitter.h"

#include "SpriteRaster.h"

#include <algorithm>
#include <vector>

namespace {

constexpr std::string_view kHexDigits = "0123456789ABCDEF";
constexpr std::string_view kLowerHexDigits = "0123456789abcdef";

// Rows in a page of a page buffer, and pixels in a byte of either byte style.
constexpr int kBitsPerByte = 8;

int Bit(std::string_view bits, std::size_t k) {
    return k < bits.size() && bits[k] != '0' ? 1 : 0;
}

// The rows that are written for a height: none below 1, at most 16.
int RowsToEmit(std::int32_t nHeight) {
    return std::clamp(nHeight, std::int32_t{0}, std::int32_t{kMaxSpriteRows});
}

// The pixel at (column, row) as a bit; rows past `rows` are the padding of
// the last page and read as clear without touching the pixels.
unsigned PixelBit(std::span<const std::uint32_t> pixels, int width, int rows, int column, int row) {
    return row < rows && LoadPixel(pixels, row * width + column) != 0 ? 1u : 0u;
}

// Each row as width / 8 bytes, left to right; the leftmost pixel of a byte is
// its least significant bit.
std::vector<std::uint8_t> XbmBytes(std::span<const std::uint32_t> pixels, int width, int rows) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(rows * (width / kBitsPerByte)));
    for (int row = 0; row < rows; ++row) {
        for (int left = 0; left + kBitsPerByte <= width; left += kBitsPerByte) {
            unsigned byte = 0;
            for (int k = 0; k < kBitsPerByte; ++k)
                byte |= PixelBit(pixels, width, rows, left + k, row) << k;
            bytes.push_back(static_cast<std::uint8_t>(byte));
        }
    }
    return bytes;
}

// Pages of eight rows, top to bottom, each one byte per column, left to
// right; the page's top row is the least significant bit.
std::vector<std::uint8_t> PageBytes(std::span<const std::uint32_t> pixels, int width, int rows) {
    std::vector<std::uint8_t> bytes;
    const int pages = (rows + kBitsPerByte - 1) / kBitsPerByte;
    bytes.reserve(static_cast<std::size_t>(pages * width));
    for (int top = 0; top < rows; top += kBitsPerByte) {
        for (int column = 0; column < width; ++column) {
            unsigned byte = 0;
            for (int k = 0; k < kBitsPerByte; ++k)
                byte |= PixelBit(pixels, width, rows, column, top + k) << k;
            bytes.push_back(static_cast<std::uint8_t>(byte));
        }
    }
    return bytes;
}

// "static unsigned char NAME[] = {0x3c, 0x00};": lower-case digits and ", "
// between the bytes, which keeps the text apart from the Rows style's.
std::string ByteArrayDeclaration(std::string_view name, const std::vector<std::uint8_t>& bytes) {
    constexpr std::string_view kType = "static unsigned char ";
    std::string text;
    text.reserve(kType.size() + name.size() + 8 + bytes.size() * 6);
    text += kType;
    text += name;
    text += "[] = {";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0)
            text += ", ";
        text += "0x";
        text += kLowerHexDigits[bytes[i] >> 4];
        text += kLowerHexDigits[bytes[i] & 0xF];
    }
    text += "};";
    return text;
}

} // namespace

std::string_view CodeStyleKey(CodeStyle style) {
    switch (style) {
    case CodeStyle::Rows:
        return "rows";
    case CodeStyle::Xbm:
        return "xbm";
    case CodeStyle::Pages:
        return "pages";
    }
    return {};
}

std::optional<CodeStyle> CodeStyleFromKey(std::string_view key) {
    for (const CodeStyle style : {CodeStyle::Rows, CodeStyle::Xbm, CodeStyle::Pages})
        if (key == CodeStyleKey(style))
            return style;
    return std::nullopt;
}

std::string_view ElementType(int width) {
    switch (width) {
    case 8:
        return "static unsigned char ";
    case 16:
        return "static unsigned short int ";
    case 32:
        return "static unsigned long int ";
    default:
        return "";
    }
}

std::string BitsToHex(std::string_view bits) {
    const int high = Bit(bits, 4) + 2 * Bit(bits, 5) + 4 * Bit(bits, 6) + 8 * Bit(bits, 7);
    const int low = Bit(bits, 0) + 2 * Bit(bits, 1) + 4 * Bit(bits, 2) + 8 * Bit(bits, 3);
    return {kHexDigits[static_cast<std::size_t>(high)], kHexDigits[static_cast<std::size_t>(low)]};
}

std::string EmitDeclaration(std::int32_t nWidthIndex, std::string_view name, std::int32_t nHeight,
                            std::span<const std::uint32_t> pixels) {
    const int width = WidthFromIndex(nWidthIndex);
    const int rows = RowsToEmit(nHeight);
    std::string text;
    text.reserve(40 + name.size() + static_cast<std::size_t>(rows) * (3 + width / 4));
    text += ElementType(width);
    text += name;
    text += "[] = {";
    for (int row = 0; row < rows; ++row) {
        text += "0x";
        for (int group = 0; group < width / 8; ++group) {
            // The group's rightmost pixel comes first: BitsToHex reads its
            // argument least significant bit first.
            char bits[8];
            const int first = row * width + 8 * group;
            for (int k = 0; k < 8; ++k)
                bits[k] = LoadPixel(pixels, first + 7 - k) != 0 ? '1' : '0';
            text += BitsToHex(std::string_view(bits, sizeof bits));
        }
        text += ',';
    }
    if (rows > 0)
        text.pop_back(); // the last row's comma
    text += "};";
    return text;
}

std::string EmitDeclaration(CodeStyle style, std::int32_t nWidthIndex, std::string_view name,
                            std::int32_t nHeight, std::span<const std::uint32_t> pixels) {
    const int width = WidthFromIndex(nWidthIndex);
    const int rows = RowsToEmit(nHeight);
    switch (style) {
    case CodeStyle::Xbm:
        return ByteArrayDeclaration(name, XbmBytes(pixels, width, rows));
    case CodeStyle::Pages:
        return ByteArrayDeclaration(name, PageBytes(pixels, width, rows));
    case CodeStyle::Rows:
        break;
    }
    return EmitDeclaration(nWidthIndex, name, nHeight, pixels);
}
