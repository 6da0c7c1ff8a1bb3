// Shifts, flips and inversion rearrange the user's drawing in place, so each
// must move every pixel to exactly one place, lose none at the edges, and
// leave a raster that does not match its stated size untouched.

#include "SpriteTransform.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace {

using Transform = std::function<void(std::span<std::uint32_t>, int, int)>;

Transform Shift(int dx, int dy) {
    return [dx, dy](std::span<std::uint32_t> pixels, int width, int height) {
        ShiftPixels(pixels, width, height, dx, dy);
    };
}

// Pixels from rows of '#' (set) and '.' (clear); any other character stands
// for an element value that is neither, to show it is never left as it was.
std::vector<std::uint32_t> Pixels(const std::vector<std::string>& rows) {
    std::vector<std::uint32_t> pixels;
    for (const std::string& row : rows)
        for (const char c : row)
            pixels.push_back(c == '#' ? 1u : c == '.' ? 0u : 7u);
    return pixels;
}

struct TransformCase {
    const char* what;
    Transform apply;
    std::vector<std::string> before;
    std::vector<std::string> after;
    // The size passed along, when it is not the size of `before`.
    std::optional<std::pair<int, int>> size = std::nullopt;
    friend void PrintTo(const TransformCase& c, std::ostream* os) { *os << c.what; }
};

class SpriteTransformTest : public testing::TestWithParam<TransformCase> {};

TEST_P(SpriteTransformTest, MovesEveryPixelToItsPlace) {
    const TransformCase& c = GetParam();
    const auto [width, height] =
        c.size ? *c.size
               : std::pair(static_cast<int>(c.before[0].size()), static_cast<int>(c.before.size()));
    std::vector<std::uint32_t> pixels = Pixels(c.before);
    c.apply(pixels, width, height);
    EXPECT_EQ(pixels, Pixels(c.after));
}

const std::vector<std::string> kGlyph = {"##......", "#.......", "......#.", ".......#"};

INSTANTIATE_TEST_SUITE_P(
    Operations, SpriteTransformTest,
    testing::Values(
        TransformCase{"shift right wraps the last column to the first",
                      Shift(1, 0),
                      kGlyph,
                      {".##.....", ".#......", ".......#", "#......."}},
        TransformCase{"shift left wraps the first column to the last",
                      Shift(-1, 0),
                      kGlyph,
                      {"#......#", ".......#", ".....#..", "......#."}},
        TransformCase{"shift down wraps the last row to the top",
                      Shift(0, 1),
                      kGlyph,
                      {".......#", "##......", "#.......", "......#."}},
        TransformCase{"shift up wraps the top row to the bottom",
                      Shift(0, -1),
                      kGlyph,
                      {"#.......", "......#.", ".......#", "##......"}},
        TransformCase{
            "shift diagonally", Shift(1, 1), {"#..", "...", "..."}, {"...", ".#.", "..."}},
        TransformCase{"whole turns are no shift", Shift(16, -12), kGlyph, kGlyph},
        TransformCase{"shifts far beyond the size wrap",
                      Shift(INT_MIN, INT_MAX),
                      // INT_MIN is 0 mod 8 and INT_MAX is 3 mod 4: up one row.
                      kGlyph,
                      {"#.......", "......#.", ".......#", "##......"}},
        TransformCase{"flip horizontal mirrors each row",
                      FlipHorizontal,
                      kGlyph,
                      {"......##", ".......#", ".#......", "#......."}},
        TransformCase{"flip vertical mirrors the rows",
                      FlipVertical,
                      kGlyph,
                      {".......#", "......#.", "#.......", "##......"}},
        TransformCase{"flip vertical keeps the middle of an odd height",
                      FlipVertical,
                      {"#..", ".#.", "..#"},
                      {"..#", ".#.", "#.."}},
        TransformCase{"a single row flips vertically to itself", FlipVertical, {"#.#."}, {"#.#."}},
        TransformCase{"invert swaps set and clear",
                      InvertPixels,
                      kGlyph,
                      {"..######", ".#######", "######.#", "#######."}},
        TransformCase{"invert reads any non-zero value as set", InvertPixels, {"#x."}, {"..#"}}));

// A size that does not describe the pixels leaves them exactly as they were.
INSTANTIATE_TEST_SUITE_P(
    MismatchedSizes, SpriteTransformTest,
    testing::Values(
        TransformCase{"more rows than pixels", Shift(1, 1), kGlyph, kGlyph, {{8, 5}}},
        TransformCase{"fewer columns than pixels", FlipHorizontal, kGlyph, kGlyph, {{7, 4}}},
        TransformCase{
            "negative sizes whose product matches", FlipVertical, kGlyph, kGlyph, {{-8, -4}}},
        // No pixels at all: a zero size must not reach the wrap-around.
        TransformCase{"zero width", Shift(1, 1), {}, {}, {{0, 4}}},
        TransformCase{"zero height", Shift(1, 1), {}, {}, {{8, 0}}},
        // 65541 x 343513504 is 32 modulo 2^32, the pixel count here.
        TransformCase{"a product that matches only once wrapped to 32 bits",
                      InvertPixels,
                      kGlyph,
                      kGlyph,
                      {{65541, 343513504}}}));

} // namespace
