#include "SourceLayout.h"

namespace {

constexpr int kBitsPerByte = 8;
constexpr std::uint32_t kByteMask = 0xFF;

// Whether the layout's bytes make elements of `elementBits` bits. Bytes
// always do; wider elements need bytes that run row by row and a row that
// fills its elements, so that no element holds the bits of two rows.
bool Fits(const LayoutForm& bytes, int elementBits, int width, int height) {
    if (width <= 0 || height <= 0 || elementBits < kBitsPerByte || elementBits > 32 ||
        elementBits % kBitsPerByte != 0)
        return false;
    if (bytes.elementBytes == ElementBytes::None)
        return elementBits == kBitsPerByte;
    return width % elementBits == 0;
}

// The byte of an element at `index`, counted in the order the layout's
// bytes come.
int ByteShift(ElementBytes order, int bytesPerElement, int index) {
    return (order == ElementBytes::LowFirst ? index : bytesPerElement - 1 - index) * kBitsPerByte;
}

} // namespace

std::size_t ElementCount(CodeStyle layout, int elementBits, int width, int height) {
    return PackPixels({}, elementBits, layout, width, height).size();
}

std::vector<std::uint32_t> PackPixels(std::span<const std::uint32_t> pixels, int elementBits,
                                      CodeStyle layout, int width, int height) {
    const LayoutForm& bytes = ByteLayoutOf(layout);
    if (!Fits(bytes, elementBits, width, height))
        return {};
    const std::vector<std::uint32_t> written = bytes.write({width, height, pixels});
    const auto perElement = static_cast<std::size_t>(elementBits / kBitsPerByte);
    std::vector<std::uint32_t> elements(written.size() / perElement, 0u);
    for (std::size_t k = 0; k < elements.size() * perElement; ++k)
        elements[k / perElement] |= written[k]
                                    << ByteShift(bytes.elementBytes, static_cast<int>(perElement),
                                                 static_cast<int>(k % perElement));
    return elements;
}

std::optional<std::vector<std::uint32_t>> UnpackPixels(std::span<const std::uint32_t> elements,
                                                       int elementBits, CodeStyle layout, int width,
                                                       int height) {
    const LayoutForm& bytes = ByteLayoutOf(layout);
    if (!Fits(bytes, elementBits, width, height))
        return std::nullopt;
    const auto perElement = static_cast<std::size_t>(elementBits / kBitsPerByte);
    std::vector<std::uint32_t> split;
    split.reserve(elements.size() * perElement);
    for (const std::uint32_t element : elements) {
        if (std::uint64_t{element} >> elementBits != 0)
            return std::nullopt;
        for (std::size_t k = 0; k < perElement; ++k)
            split.push_back((element >> ByteShift(bytes.elementBytes, static_cast<int>(perElement),
                                                  static_cast<int>(k))) &
                            kByteMask);
    }
    return bytes.read(split, width, height);
}
