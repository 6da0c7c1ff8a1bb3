// The picture rules decide which pixels a user's image turns into and at what
// size; a rounding slip here shows as a lost row or a smudged sprite.

#include "ImageImport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
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

// A picture drawn as rows of characters: '#' black, '.' white, ' ' clear,
// 'o' white at half alpha, '-' black just under half alpha.
struct Picture {
    ImageSize size;
    std::vector<std::uint32_t> argb;
};

Picture PictureFromRows(const std::vector<std::string>& rows) {
    Picture picture{{static_cast<int>(rows[0].size()), static_cast<int>(rows.size())}, {}};
    for (const std::string& row : rows)
        for (const char c : row)
            picture.argb.push_back(c == '#'   ? 0xFF000000u
                                   : c == '.' ? 0xFFFFFFFFu
                                   : c == 'o' ? 0x80FFFFFFu
                                   : c == '-' ? 0x7F000000u
                                              : 0x00000000u);
    return picture;
}

// A picture of `size` whose pixel (x, y) is black where `dark` holds, white
// elsewhere.
Picture DrawnPicture(ImageSize size, const std::function<bool(int, int)>& dark) {
    Picture picture{size, {}};
    for (int y = 0; y < size.height; ++y)
        for (int x = 0; x < size.width; ++x)
            picture.argb.push_back(dark(x, y) ? 0xFF000000u : 0xFFFFFFFFu);
    return picture;
}

ImageSprite Sample(const Picture& picture) {
    ImageSampler sampler(picture.size);
    const std::size_t width = static_cast<std::size_t>(picture.size.width);
    for (int y = 0; y < picture.size.height; ++y)
        sampler.AddRow(y,
                       std::span(picture.argb).subspan(static_cast<std::size_t>(y) * width, width));
    return sampler.Finish();
}

// The sprite as rows of '#' and '.', the picture's columns only.
std::vector<std::string> SpriteRows(const ImageSprite& sprite) {
    std::vector<std::string> rows;
    for (int y = 0; y < sprite.fitted.height; ++y) {
        std::string row;
        for (int x = 0; x < sprite.fitted.width; ++x)
            row += sprite.pixels[static_cast<std::size_t>(y * sprite.spriteWidth + x)] ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

// Which pixels are drawn: the dark ones in a picture with none but opaque
// pixels, the opaque ones, whatever their colour, as soon as one pixel is
// less than opaque; with what the user is told when the result is empty or
// full.
TEST(ImageSampler, TakesTheDarkPixelsOrWithTransparencyTheOpaqueOnes) {
    struct Case {
        const char* what;
        std::vector<std::string> picture;
        std::vector<std::string> sprite;
        const char* notice;
    };
    const Case cases[] = {
        {"BlackOnWhite", {"#..#", ".##."}, {"#..#", ".##."}, ""},
        {"WhiteIconOnClearGround", {" .. ", ".  ."}, {".##.", "#..#"}, ""},
        {"BlackIconOnClearGround", {" ## ", "#  #"}, {".##.", "#..#"}, ""},
        {"AHalfOpaquePixelMakesWhiteDrawn",
         {"#..o"},
         {"####"},
         "Every pixel is set: the image is opaque throughout."},
        {"JustUnderHalfAlphaIsClear", {"#-.."}, {"#.##"}, ""},
        {"AllWhite",
         {"....", "...."},
         {"....", "...."},
         "No pixel is set: the image has no dark pixels."},
        {"AllClear", {"    "}, {"...."}, "No pixel is set: the image has no opaque pixels."},
        {"AllBlack",
         {"##", "##"},
         {"##", "##"},
         "Every pixel is set: the image is dark throughout."},
    };
    for (const Case& c : cases) {
        const ImageSprite sprite = Sample(PictureFromRows(c.picture));
        EXPECT_EQ(SpriteRows(sprite), c.sprite) << c.what;
        EXPECT_EQ(sprite.spriteWidth, 8) << c.what;
        EXPECT_EQ(DescribeImageSprite(sprite), c.notice) << c.what;
    }
}

// The sprite pixel, along one side, under the centre of picture pixel i when
// `from` pixels are brought to `to`.
std::size_t Under(int i, int from, int to) {
    return static_cast<std::size_t>((2 * i + 1) * to / (2 * from));
}

// Picture sizes that fit the sprite at every scale from one half (64 x 32)
// to 0.97 (33 x 17), on one side or both.
const ImageSize kSlightlyLarge[] = {{33, 17}, {33, 16}, {32, 17}, {34, 18}, {40, 20},
                                    {45, 16}, {48, 24}, {50, 30}, {63, 31}, {64, 32}};

TEST(ImageSampler, KeepsOnePixelLinesAndDotsWhenScaledDownByLessThanHalf) {
    for (const ImageSize size : kSlightlyLarge) {
        const ImageSize fitted = FitImageSize(size);
        ASSERT_GE(2 * fitted.width, size.width);
        ASSERT_GE(2 * fitted.height, size.height);
        const std::string full(static_cast<std::size_t>(fitted.width), '#');
        for (int r = 0; r < size.height; ++r) {
            // A line across: one full sprite row, nothing else.
            const std::vector<std::string> rows =
                SpriteRows(Sample(DrawnPicture(size, [r](int, int y) { return y == r; })));
            int full_rows = 0, set = 0;
            for (const std::string& row : rows) {
                full_rows += row == full;
                set += static_cast<int>(std::count(row.begin(), row.end(), '#'));
            }
            EXPECT_EQ(full_rows, 1) << size.width << " x " << size.height << ", row " << r;
            EXPECT_EQ(set, fitted.width) << size.width << " x " << size.height << ", row " << r;
        }
        for (int c = 0; c < size.width; ++c) {
            // A line down: one full sprite column.
            const ImageSprite sprite =
                Sample(DrawnPicture(size, [c](int x, int) { return x == c; }));
            EXPECT_EQ(sprite.nSet, fitted.height)
                << size.width << " x " << size.height << ", column " << c;
        }
        for (int y = 0; y < size.height; y += 3) {
            for (int x = 0; x < size.width; x += 5) {
                // A dot: one pixel, under it.
                const ImageSprite sprite = Sample(
                    DrawnPicture(size, [x, y](int px, int py) { return px == x && py == y; }));
                ASSERT_EQ(sprite.nSet, 1)
                    << size.width << " x " << size.height << " at " << x << ", " << y;
                const std::vector<std::string> rows = SpriteRows(sprite);
                EXPECT_EQ(
                    rows[Under(y, size.height, fitted.height)][Under(x, size.width, fitted.width)],
                    '#')
                    << size.width << " x " << size.height << " at " << x << ", " << y;
            }
        }
    }
}

// A checkerboard cannot survive a fold of two columns into one, but what is
// drawn is never lost: every black square's sprite pixel is set, and where
// nothing folds the checker stays.
TEST(ImageSampler, KeepsTheDrawnSquaresOfACheckerboard) {
    const auto checker = [](int x, int y) { return (x + y) % 2 == 0; };
    for (const ImageSize size : kSlightlyLarge) {
        const ImageSize fitted = FitImageSize(size);
        const std::vector<std::string> rows = SpriteRows(Sample(DrawnPicture(size, checker)));
        for (int y = 0; y < size.height; ++y) {
            for (int x = 0; x < size.width; ++x) {
                if (checker(x, y)) {
                    EXPECT_EQ(rows[Under(y, size.height, fitted.height)]
                                  [Under(x, size.width, fitted.width)],
                              '#')
                        << size.width << " x " << size.height << " at " << x << ", " << y;
                }
            }
        }
    }
    // 33 x 16 folds one pair of columns: the other 31 still alternate.
    const std::vector<std::string> rows = SpriteRows(Sample(DrawnPicture({33, 16}, checker)));
    int alternating = 0, solid = 0;
    for (std::size_t x = 0; x < 32; ++x) {
        bool bAlternates = true, bSolid = true;
        for (std::size_t y = 0; y < 16; ++y) {
            bAlternates = bAlternates && (y == 0 || rows[y][x] != rows[y - 1][x]);
            bSolid = bSolid && rows[y][x] == '#';
        }
        alternating += bAlternates;
        solid += bSolid;
    }
    EXPECT_EQ(alternating, 31);
    EXPECT_EQ(solid, 1);
}

} // namespace
