#include "SpriteReadings.h"

#include "SpriteRaster.h"

#include <cstddef>
#include <utility>

SpriteReading RowsReading(std::span<const std::uint32_t> elements, int elementBits, int width,
                          PixelLayout layout) {
    const auto perRow = static_cast<std::size_t>(width / elementBits);
    SpriteReading reading{layout, width, static_cast<int>(elements.size() / perRow), {}};
    reading.pixels.reserve(elements.size() * static_cast<std::size_t>(elementBits));
    for (std::size_t row = 0; row < static_cast<std::size_t>(reading.height); ++row) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t element =
                elements[row * perRow + static_cast<std::size_t>(x / elementBits)];
            const int bit = layout == PixelLayout::RowsMsbFirst ? elementBits - 1 - x % elementBits
                                                                : x % elementBits;
            reading.pixels.push_back((element >> bit) & 1u);
        }
    }
    return reading;
}

SpriteReading PagesReading(std::span<const std::uint32_t> bytes, int width) {
    const auto columns = static_cast<std::size_t>(width);
    SpriteReading reading{
        PixelLayout::VerticalPages, width, static_cast<int>(bytes.size() / columns * 8), {}};
    reading.pixels.reserve(bytes.size() * 8);
    for (std::size_t y = 0; y < static_cast<std::size_t>(reading.height); ++y)
        for (std::size_t x = 0; x < columns; ++x)
            reading.pixels.push_back((bytes[y / 8 * columns + x] >> (y % 8)) & 1u);
    return reading;
}

PixelLayout PixelLayoutOf(CodeStyle style) {
    switch (style) {
    case CodeStyle::Xbm:
        return PixelLayout::RowsLsbFirst;
    case CodeStyle::Pages:
        return PixelLayout::VerticalPages;
    case CodeStyle::Rows:
    case CodeStyle::RowBytes:
        break;
    }
    return PixelLayout::RowsMsbFirst;
}

std::optional<SpriteReading> ReadThroughLayout(const LayoutForm& layout,
                                               std::span<const std::uint32_t> values, int width,
                                               int height) {
    if (width < 1 || width > kMaxSpriteColumns || height < 1 || height > kMaxSpriteRows)
        return std::nullopt;
    std::optional<std::vector<std::uint32_t>> pixels = layout.read(values, width, height);
    if (!pixels)
        return std::nullopt;
    int spriteWidth = 8;
    while (spriteWidth < width)
        spriteWidth *= 2;
    SpriteReading reading{PixelLayoutOf(layout.style), spriteWidth, height, {}};
    reading.pixels.assign(static_cast<std::size_t>(spriteWidth * height), 0u);
    for (std::size_t row = 0; row < static_cast<std::size_t>(height); ++row)
        for (std::size_t x = 0; x < static_cast<std::size_t>(width); ++x)
            reading.pixels[row * static_cast<std::size_t>(spriteWidth) + x] =
                (*pixels)[row * static_cast<std::size_t>(width) + x] != 0 ? 1u : 0u;
    return reading;
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
            // A byte layout reads bytes; one value per row reads values as
            // wide as a row's bytes.
            const int valueBits = layout.valueBits != 0 ? layout.valueBits : (width + 7) / 8 * 8;
            if (valueBits != elementBits)
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
    const auto rows = static_cast<std::size_t>(kMaxSpriteRows);
    if (elementBits > 8 && elementBits <= kMaxSpriteColumns && !values.empty() &&
        values.size() <= rows)
        add(RowsReading(values, elementBits, elementBits, PixelLayout::RowsLsbFirst), nullptr);
    return readings;
}

std::vector<SpriteReading> AllReadings(std::span<const std::uint32_t> elements, int elementBits) {
    std::vector<SpriteReading> readings;
    for (LayoutReading& reading : LayoutReadings(elements, elementBits))
        readings.push_back(std::move(reading.reading));
    return readings;
}

std::string DescribeReading(const SpriteReading& reading) {
    std::string label = std::to_string(reading.width) + " x " + std::to_string(reading.height);
    switch (reading.layout) {
    case PixelLayout::RowsMsbFirst:
        return label + ", rows, leftmost pixel high";
    case PixelLayout::RowsLsbFirst:
        return label + ", rows, leftmost pixel low (XBM)";
    case PixelLayout::VerticalPages:
        return label + ", vertical pages";
    }
    return label;
}
