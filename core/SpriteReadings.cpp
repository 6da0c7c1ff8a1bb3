#include "SpriteReadings.h"

#include "SourceLayout.h"
#include "SpriteRaster.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace {

bool IsSpriteSize(int width, int height) {
    return width >= 1 && width <= kMaxSpriteColumns && height >= 1 && height <= kMaxSpriteRows;
}

// Whether some layout of the table writes the bits of `bytes` as values of
// `elementBits` bits for a sprite that wide: then its own reading offers
// them, under the same label.
bool IsWrittenAt(const LayoutForm& bytes, int elementBits) {
    const auto layouts = Layouts();
    return std::any_of(layouts.begin(), layouts.end(), [&](const LayoutForm& layout) {
        return layout.byteStyle == bytes.style && ValueBitsAt(layout, elementBits) == elementBits;
    });
}

} // namespace

std::optional<SpriteReading> ReadThroughLayout(const LayoutForm& layout,
                                               std::span<const std::uint32_t> values, int width,
                                               int height) {
    if (!IsSpriteSize(width, height))
        return std::nullopt;
    std::optional<std::vector<std::uint32_t>> pixels = layout.read(values, width, height);
    if (!pixels)
        return std::nullopt;
    int spriteWidth = 8;
    while (spriteWidth < width)
        spriteWidth *= 2;
    SpriteReading reading{layout.byteStyle, spriteWidth, height, {}};
    reading.pixels.assign(static_cast<std::size_t>(spriteWidth * height), 0u);
    for (std::size_t row = 0; row < static_cast<std::size_t>(height); ++row)
        for (std::size_t x = 0; x < static_cast<std::size_t>(width); ++x)
            reading.pixels[row * static_cast<std::size_t>(spriteWidth) + x] =
                (*pixels)[row * static_cast<std::size_t>(width) + x] != 0 ? 1u : 0u;
    return reading;
}

std::vector<SpriteReading> GroupedReadings(std::span<const std::uint32_t> elements,
                                           int elementBits) {
    std::vector<SpriteReading> readings;
    const int height = static_cast<int>(std::min<std::size_t>(elements.size(), kMaxSpriteRows + 1));
    if (!IsSpriteSize(elementBits, height))
        return readings;
    for (const LayoutForm& bytes : Layouts()) {
        if (bytes.byteStyle != bytes.style || bytes.elementBytes == ElementBytes::None ||
            IsWrittenAt(bytes, elementBits))
            continue;
        if (std::optional<std::vector<std::uint32_t>> pixels =
                UnpackPixels(elements, elementBits, bytes.style, elementBits, height))
            readings.push_back({bytes.style, elementBits, height, std::move(*pixels)});
    }
    return readings;
}

bool SameReading(const SpriteReading& a, const SpriteReading& b) {
    return a.layout == b.layout && a.width == b.width && a.height == b.height &&
           a.pixels == b.pixels;
}

std::vector<LayoutReading> LayoutReadings(std::span<const std::uint32_t> values, int elementBits) {
    std::vector<LayoutReading> readings;
    auto add = [&readings](SpriteReading reading, const LayoutForm* form) {
        for (const LayoutReading& earlier : readings)
            if (SameReading(earlier.reading, reading))
                return;
        readings.push_back({std::move(reading), form});
    };
    for (const LayoutForm& layout : Layouts()) {
        for (int width = 8; width <= kMaxSpriteColumns; width *= 2) {
            if (ValueBitsAt(layout, width) != elementBits)
                continue;
            for (int height = kMaxSpriteRows; height >= 1; --height) {
                if (std::optional<SpriteReading> reading =
                        ReadThroughLayout(layout, values, width, height)) {
                    add(std::move(*reading), &layout);
                    break;
                }
            }
        }
    }
    for (SpriteReading& reading : GroupedReadings(values, elementBits))
        add(std::move(reading), nullptr);
    return readings;
}

std::vector<SpriteReading> AllReadings(std::span<const std::uint32_t> elements, int elementBits) {
    std::vector<SpriteReading> readings;
    for (LayoutReading& reading : LayoutReadings(elements, elementBits))
        readings.push_back(std::move(reading.reading));
    return readings;
}

std::string DescribeReading(const SpriteReading& reading) {
    return std::to_string(reading.width) + " x " + std::to_string(reading.height) + ", " +
           std::string(ByteLayoutOf(reading.layout).readingLabel);
}
