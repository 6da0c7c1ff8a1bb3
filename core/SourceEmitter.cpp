#include "SourceEmitter.h"

#include "SpriteRaster.h"

#include <algorithm>

namespace {

constexpr std::string_view kHexDigits = "0123456789ABCDEF";

int Bit(std::string_view bits, std::size_t k) {
    return k < bits.size() && bits[k] != '0' ? 1 : 0;
}

} // namespace

std::string EmitCode(const CodeForm& form, std::string_view name, const SpriteBits& sprite) {
    // The tables' writers walk exactly the rows and columns given here.
    const SpriteBits bounded{std::clamp(sprite.width, 0, kMaxSpriteColumns),
                             std::clamp(sprite.height, 0, kMaxSpriteRows), sprite.pixels};
    const CodeDeclaration declaration{name, bounded, &WrittenLayout(form), EffectiveSize(form)};
    return LanguageOf(form.language).write(declaration);
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
