#include "ImageImport.h"

#include "SpriteRaster.h"

#include <algorithm>
#include <string>

namespace {

// Rounds num / den to the nearest whole number, halves up, for positive
// values; at least 1, since a scaled side never vanishes.
int ScaledSide(long long num, long long den) {
    return std::max(1, static_cast<int>((2 * num + den) / (2 * den)));
}

// The sprite index, along one side, of picture index `i` of `from`, brought
// to `to`: where the pixel's centre, (i + 1/2) * to / from, falls.
int SampleIndex(int i, int from, int to) {
    return static_cast<int>((2 * static_cast<long long>(i) + 1) * to /
                            (2 * static_cast<long long>(from)));
}

std::size_t Area(ImageSize size) {
    return static_cast<std::size_t>(std::max(size.width, 0)) *
           static_cast<std::size_t>(std::max(size.height, 0));
}

} // namespace

ImageSize FitImageSize(ImageSize image) {
    if (image.width < 1 || image.height < 1)
        return {};
    if (image.width <= kMaxSpriteColumns && image.height <= kMaxSpriteRows)
        return image;
    // The side that overshoots more, relative to the sprite, decides the
    // scale: compare width / 32 with height / 16 without dividing.
    const long long w = image.width;
    const long long h = image.height;
    if (w * kMaxSpriteRows >= h * kMaxSpriteColumns)
        return {kMaxSpriteColumns, std::min(kMaxSpriteRows, ScaledSide(h * kMaxSpriteColumns, w))};
    return {std::min(kMaxSpriteColumns, ScaledSide(w * kMaxSpriteRows, h)), kMaxSpriteRows};
}

int SpriteWidthForImage(int imageWidth) {
    for (int width = 8; width <= kMaxSpriteColumns; width *= 2)
        if (imageWidth >= 1 && imageWidth <= width)
            return width;
    return 0;
}

bool IsDarkPixel(std::uint32_t argb) {
    const std::uint32_t alpha = argb >> 24;
    const std::uint32_t red = (argb >> 16) & 0xFF;
    const std::uint32_t green = (argb >> 8) & 0xFF;
    const std::uint32_t blue = argb & 0xFF;
    // Luma with the Rec. 601 weights, in thousandths: below half of 255 is
    // below 127500. Half of 255 in alpha is 127.5, so 128 is the first
    // opaque enough value.
    return alpha >= 128 && 299 * red + 587 * green + 114 * blue < 127500;
}

bool IsOpaquePixel(std::uint32_t argb) {
    return (argb >> 24) >= 128;
}

ImageSampler::ImageSampler(ImageSize image)
    : m_image(image), m_fitted(FitImageSize(image)), m_gathered(Area(m_fitted), 0),
      m_dark(Area(m_fitted), 0), m_opaque(Area(m_fitted), 0) {
    if (m_fitted.width == 0)
        return;
    m_columnOf.resize(static_cast<std::size_t>(image.width));
    std::vector<int> columns(static_cast<std::size_t>(m_fitted.width), 0);
    std::vector<int> rows(static_cast<std::size_t>(m_fitted.height), 0);
    for (int x = 0; x < image.width; ++x) {
        const int column = SampleIndex(x, image.width, m_fitted.width);
        m_columnOf[static_cast<std::size_t>(x)] = column;
        ++columns[static_cast<std::size_t>(column)];
    }
    for (int y = 0; y < image.height; ++y)
        ++rows[static_cast<std::size_t>(SampleIndex(y, image.height, m_fitted.height))];
    for (int y = 0; y < m_fitted.height; ++y)
        for (int x = 0; x < m_fitted.width; ++x)
            m_gathered[static_cast<std::size_t>(y * m_fitted.width + x)] =
                rows[static_cast<std::size_t>(y)] * columns[static_cast<std::size_t>(x)];
}

void ImageSampler::AddRow(int y, std::span<const std::uint32_t> argb) {
    if (y < 0 || y >= m_image.height || m_fitted.width == 0)
        return;
    const std::size_t row =
        static_cast<std::size_t>(SampleIndex(y, m_image.height, m_fitted.height)) *
        static_cast<std::size_t>(m_fitted.width);
    const std::size_t width = std::min(argb.size(), m_columnOf.size());
    for (std::size_t x = 0; x < width; ++x) {
        const std::uint32_t pixel = argb[x];
        const std::size_t at = row + static_cast<std::size_t>(m_columnOf[x]);
        m_bTransparent = m_bTransparent || (pixel >> 24) != 0xFF;
        m_opaque[at] += IsOpaquePixel(pixel) ? 1 : 0;
        m_dark[at] += IsDarkPixel(pixel) ? 1 : 0;
    }
}

ImageSprite ImageSampler::Finish() const {
    ImageSprite sprite;
    sprite.image = m_image;
    sprite.fitted = m_fitted;
    sprite.spriteWidth = SpriteWidthForImage(m_fitted.width);
    sprite.bTransparent = m_bTransparent;
    sprite.pixels.assign(static_cast<std::size_t>(sprite.spriteWidth) *
                             static_cast<std::size_t>(m_fitted.height),
                         0u);
    const std::vector<int>& drawn = m_bTransparent ? m_opaque : m_dark;
    for (int y = 0; y < m_fitted.height; ++y) {
        for (int x = 0; x < m_fitted.width; ++x) {
            const std::size_t at = static_cast<std::size_t>(y * m_fitted.width + x);
            if (4 * drawn[at] >= m_gathered[at] && drawn[at] > 0) {
                sprite.pixels[static_cast<std::size_t>(y * sprite.spriteWidth + x)] = 1u;
                ++sprite.nSet;
            }
        }
    }
    return sprite;
}

std::string DescribeImageSprite(const ImageSprite& sprite) {
    const auto size = [](ImageSize s) {
        return std::to_string(s.width) + " x " + std::to_string(s.height);
    };
    const bool bScaled = sprite.fitted != sprite.image;
    const std::string drawn = sprite.bTransparent ? "opaque" : "dark";
    std::string set;
    if (sprite.nSet == 0)
        set =
            bScaled ? "no pixel is set" : "No pixel is set: the image has no " + drawn + " pixels";
    else if (static_cast<std::size_t>(sprite.nSet) == Area(sprite.fitted))
        set = bScaled ? "every pixel is set"
                      : "Every pixel is set: the image is " + drawn + " throughout";
    if (!bScaled)
        return set.empty() ? set : set + ".";
    const std::string scaled =
        "Scaled down from " + size(sprite.image) + " to " + size(sprite.fitted);
    return set.empty() ? scaled + "." : scaled + "; " + set + ".";
}
