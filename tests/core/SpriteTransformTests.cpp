// Shifts, flips and inversion rearrange the user's drawing in place, so each
// must move every pixel to exactly one place, lose none at the edges, and
// leave a raster that does not match its stated size untouched. Made through
// the document, each is one step that undo and redo take back and forth.

#include "SpriteDocument.h"
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

// A transform of the raster, and the same one as a change of the document.
struct Transform {
    std::function<void(std::span<std::uint32_t>, int, int)> raster;
    std::function<bool(SpriteDocument&)> document;
};

Transform Shift(int dx, int dy) {
    return {[dx, dy](std::span<std::uint32_t> pixels, int width, int height) {
                ShiftPixels(pixels, width, height, dx, dy);
            },
            [dx, dy](SpriteDocument& doc) { return doc.Shift(dx, dy); }};
}

const Transform kFlipHorizontal{&FlipHorizontal,
                                [](SpriteDocument& doc) { return doc.FlipHorizontal(); }};
const Transform kFlipVertical{&FlipVertical,
                              [](SpriteDocument& doc) { return doc.FlipVertical(); }};
const Transform kInvert{&InvertPixels, [](SpriteDocument& doc) { return doc.Invert(); }};

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
    c.apply.raster(pixels, width, height);
    EXPECT_EQ(pixels, Pixels(c.after));
}

class DocumentTransformTest : public SpriteTransformTest {};

// Through the document the transform is one step, none when it changes
// nothing; undo gives back the sprite before it and redo the one after.
TEST_P(DocumentTransformTest, IsOneStepUndoneAndRedone) {
    const TransformCase& c = GetParam();
    const auto pixels = [](const SpriteDocument& doc) {
        return std::vector<std::uint32_t>(doc.Pixels().begin(), doc.Pixels().end());
    };
    SpriteDocument doc;
    ASSERT_TRUE(doc.Replace(static_cast<int>(c.before[0].size()), static_cast<int>(c.before.size()),
                            Pixels(c.before)));
    const bool changes = c.before != c.after;
    EXPECT_EQ(c.apply.document(doc), changes);
    EXPECT_EQ(pixels(doc), Pixels(c.after));
    ASSERT_TRUE(doc.Undo());
    if (!changes) {
        // The one step was the sprite's arrival.
        EXPECT_FALSE(doc.IsLaidOut());
        return;
    }
    EXPECT_EQ(pixels(doc), Pixels(c.before));
    EXPECT_TRUE(doc.Redo());
    EXPECT_EQ(pixels(doc), Pixels(c.after));
    EXPECT_FALSE(doc.CanRedo());
}

const std::vector<std::string> kGlyph = {"##......", "#.......", "......#.", ".......#"};

// Every case of a sprite 8 pixels wide, a width the document can have.
const auto kGlyphCases = testing::Values(
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
    TransformCase{"whole turns are no shift", Shift(16, -12), kGlyph, kGlyph},
    TransformCase{"shifts far beyond the size wrap",
                  Shift(INT_MIN, INT_MAX),
                  // INT_MIN is 0 mod 8 and INT_MAX is 3 mod 4: up one row.
                  kGlyph,
                  {"#.......", "......#.", ".......#", "##......"}},
    TransformCase{"flip horizontal mirrors each row",
                  kFlipHorizontal,
                  kGlyph,
                  {"......##", ".......#", ".#......", "#......."}},
    TransformCase{"flip vertical mirrors the rows",
                  kFlipVertical,
                  kGlyph,
                  {".......#", "......#.", "#.......", "##......"}},
    TransformCase{
        "a mirror image of itself flips to itself", kFlipHorizontal, {"#..##..#"}, {"#..##..#"}},
    TransformCase{"invert swaps set and clear",
                  kInvert,
                  kGlyph,
                  {"..######", ".#######", "######.#", "#######."}});

INSTANTIATE_TEST_SUITE_P(Operations, SpriteTransformTest, kGlyphCases);
INSTANTIATE_TEST_SUITE_P(Operations, DocumentTransformTest, kGlyphCases);

INSTANTIATE_TEST_SUITE_P(
    SmallSprites, SpriteTransformTest,
    testing::Values(
        TransformCase{
            "shift diagonally", Shift(1, 1), {"#..", "...", "..."}, {"...", ".#.", "..."}},
        TransformCase{"flip vertical keeps the middle of an odd height",
                      kFlipVertical,
                      {"#..", ".#.", "..#"},
                      {"..#", ".#.", "#.."}},
        TransformCase{"a single row flips vertically to itself", kFlipVertical, {"#.#."}, {"#.#."}},
        TransformCase{"invert reads any non-zero value as set", kInvert, {"#x."}, {"..#"}}));

// A size that does not describe the pixels leaves them exactly as they were.
INSTANTIATE_TEST_SUITE_P(
    MismatchedSizes, SpriteTransformTest,
    testing::Values(
        TransformCase{"more rows than pixels", Shift(1, 1), kGlyph, kGlyph, {{8, 5}}},
        TransformCase{"fewer columns than pixels", kFlipHorizontal, kGlyph, kGlyph, {{7, 4}}},
        TransformCase{
            "negative sizes whose product matches", kFlipVertical, kGlyph, kGlyph, {{-8, -4}}},
        // No pixels at all: a zero size must not reach the wrap-around.
        TransformCase{"zero width", Shift(1, 1), {}, {}, {{0, 4}}},
        TransformCase{"zero height", Shift(1, 1), {}, {}, {{8, 0}}},
        // 65541 x 343513504 is 32 modulo 2^32, the pixel count here.
        TransformCase{"a product that matches only once wrapped to 32 bits",
                      kInvert,
                      kGlyph,
                      kGlyph,
                      {{65541, 343513504}}}));

} // namespace
