#include "SourceLayout.h"

namespace {

std::size_t Size(int value) {
    return value > 0 ? static_cast<std::size_t>(value) : 0;
}

// Where pixel (x, y) lives: its element and the bit inside it.
struct BitPlace {
    std::size_t element = 0;
    int bit = 0;
};

BitPlace Place(PixelLayout layout, int elementBits, int width, int x, int y) {
    if (layout == PixelLayout::VerticalPages)
        return {Size(y / 8) * Size(width) + Size(x), y % 8};
    const std::size_t perRow = Size(width / elementBits);
    const int column = x % elementBits;
    return {Size(y) * perRow + Size(x / elementBits),
            layout == PixelLayout::RowsMsbFirst ? elementBits - 1 - column : column};
}

bool Fits(PixelLayout layout, int elementBits, int width, int height) {
    if (width <= 0 || height <= 0 || elementBits <= 0 || elementBits > 32)
        return false;
    return layout == PixelLayout::VerticalPages ? elementBits == 8 : width % elementBits == 0;
}

} // namespace

std::size_t ElementCount(PixelLayout layout, int elementBits, int width, int height) {
    if (!Fits(layout, elementBits, width, height))
        return 0;
    if (layout == PixelLayout::VerticalPages)
        return Size(width) * Size((height + 7) / 8);
    return Size(width / elementBits) * Size(height);
}

std::vector<std::uint32_t> PackPixels(std::span<const std::uint32_t> pixels, int elementBits,
                                      PixelLayout layout, int width, int height) {
    std::vector<std::uint32_t> elements(ElementCount(layout, elementBits, width, height), 0u);
    if (elements.empty())
        return elements;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::size_t index = Size(y) * Size(width) + Size(x);
            if (index < pixels.size() && pixels[index] != 0) {
                const BitPlace place = Place(layout, elementBits, width, x, y);
                elements[place.element] |= std::uint32_t{1} << place.bit;
            }
        }
    }
    return elements;
}
