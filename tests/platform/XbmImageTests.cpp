// XBM bytes with their #define companions are meant to be an XBM image that
// image tools open as one. This test hands the emitted text, as it is, to
// Qt's own XBM reader at every width and height, and compares every pixel.

#include "OutputForm.h"
#include "SourceEmitter.h"
#include "SpriteRaster.h"

#include <QByteArray>
#include <QImage>

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

TEST(XbmWithDefines, OpensAsAnXbmImageOfTheSprite) {
    std::mt19937 random(0x8B3u);
    const CodeForm form{CodeStyle::Xbm, CodeLanguage::C, CodeSize::Defines};
    for (const int width : {8, 16, 32}) {
        for (int height = kMinSpriteHeight; height <= kMaxSpriteHeight; ++height) {
            std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width * height));
            for (std::uint32_t& pixel : pixels)
                pixel = (random() >> 31) & 1u;
            const std::string text = EmitCode(form, "sprite", {width, height, pixels});
            SCOPED_TRACE(text);

            QImage image;
            ASSERT_TRUE(image.loadFromData(QByteArray::fromStdString(text), "XBM"));
            ASSERT_EQ(image.width(), width);
            ASSERT_EQ(image.height(), height);
            // A set bit of an XBM image is its foreground, drawn black.
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    EXPECT_EQ(image.pixel(x, y) == 0xFF000000u,
                              pixels[static_cast<std::size_t>(y * width + x)] != 0)
                        << "pixel " << x << ", " << y;
        }
    }
}

} // namespace
