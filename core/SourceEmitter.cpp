#include "SourceEmitter.h"

#include "SpriteRaster.h"

namespace {

constexpr std::string_view kHexDigits = "0123456789ABCDEF";

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

int Bit(std::string_view bits, std::size_t k) {
    return k < bits.size() && bits[k] != '0' ? 1 : 0;
}

} // namespace

std::string BitsToHex(std::string_view bits) {
    const int high = Bit(bits, 4) + 2 * Bit(bits, 5) + 4 * Bit(bits, 6) + 8 * Bit(bits, 7);
    const int low = Bit(bits, 0) + 2 * Bit(bits, 1) + 4 * Bit(bits, 2) + 8 * Bit(bits, 3);
    return {kHexDigits[static_cast<std::size_t>(high)], kHexDigits[static_cast<std::size_t>(low)]};
}

std::string EmitDeclaration(std::int32_t nWidthIndex, std::string_view name, std::int32_t nHeight,
                            std::span<const std::uint32_t> pixels) {
    const int width = WidthFromIndex(nWidthIndex);
    const int rows = nHeight < 0 ? 0 : (nHeight > kMaxSpriteRows ? kMaxSpriteRows : nHeight);
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
