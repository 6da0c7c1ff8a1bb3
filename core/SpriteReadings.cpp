#include "SpriteReadings.h"

#include "SpriteRaster.h"

#include <cstddef>

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

std::vector<SpriteReading> AllReadings(std::span<const std::uint32_t> elements, int elementBits) {
    std::vector<SpriteReading> readings;
    const std::size_t count = elements.size();
    const auto maxRows = static_cast<std::size_t>(kMaxSpriteRows);
    for (const PixelLayout layout : {PixelLayout::RowsMsbFirst, PixelLayout::RowsLsbFirst}) {
        for (int width = elementBits; width <= kMaxSpriteColumns; width *= 2) {
            const auto perRow = static_cast<std::size_t>(width / elementBits);
            const bool bFits = count % perRow == 0 && count / perRow <= maxRows;
            if (bFits && (elementBits == 8 || width == elementBits))
                readings.push_back(RowsReading(elements, elementBits, width, layout));
        }
    }
    for (int width = 8; elementBits == 8 && width <= kMaxSpriteColumns; width *= 2) {
        const auto columns = static_cast<std::size_t>(width);
        if (count == columns || count == 2 * columns)
            readings.push_back(PagesReading(elements, width));
    }
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
