// The picture rules decide which pixels a user's image turns into and at what
// size; a rounding slip here shows as a lost row or a smudged sprite.

#include "ImageImport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

TEST(FitImageSize, KeepsWhatFitsAndScalesTheRestDownKeepingTheAspect) {
    struct Case {
        ImageSize image;
        ImageSize fitted;
    };
    const Case cases[] = {
        {{5, 3}, {5, 3}},         {{32, 16}, {32, 16}}, {{1, 1}, {1, 1}},     {{20, 16}, {20, 16}},
        {{64, 64}, {16, 16}},     {{64, 32}, {32, 16}}, {{100, 10}, {32, 3}}, {{40, 16}, {32, 13}},
        {{33, 17}, {31, 16}},     {{8, 100}, {1, 16}},  {{8192, 1}, {32, 1}}, {{1, 8192}, {1, 16}},
        {{8192, 8192}, {16, 16}}, {{0, 5}, {0, 0}},     {{5, -1}, {0, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FitImageSize(c.image), c.fitted) << c.image.width << " x " << c.image.height;
}

TEST(SpriteWidthForImage, IsTheNarrowestWidthThatHoldsTheColumns) {
    const std::vector<std::pair<int, int>> cases = {{1, 8},   {8, 8},   {9, 16}, {16, 16},
                                                    {17, 32}, {32, 32}, {33, 0}, {0, 0}};
    for (const auto& [columns, width] : cases)
        EXPECT_EQ(SpriteWidthForImage(columns), width) << columns;
}

TEST(IsDarkPixel, NeedsLuminanceBelowHalfAndAlphaAtLeastHalf) {
    struct Case {
        std::uint32_t argb;
        bool dark;
    };
    const Case cases[] = {
        {0xFF000000u, true},  {0xFFFFFFFFu, false}, {0xFF7F7F7Fu, true},  {0xFF808080u, false},
        {0x80000000u, true},  {0x7F000000u, false}, {0x00000000u, false}, {0xFFFF0000u, true},
        {0xFF00FF00u, false}, {0xFF0000FFu, true},  {0xFFFFFF00u, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsDarkPixel(c.argb), c.dark) << std::hex << c.argb;
}

} // namespace
