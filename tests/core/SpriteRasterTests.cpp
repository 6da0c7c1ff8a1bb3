// The raster and the document decide which element a stroke changes and
// whether it may change anything at all. A fault here writes into the wrong
// pixel, or outside the sprite, so every edge is pinned down: the last cell
// of each row and column, the first cell beyond it, lines that enter, leave
// or miss the sprite, and reads and writes past either end of the elements.

#include "SpriteDocument.h"
#include "SpriteRaster.h"

#include "PixelRows.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <limits>
#include <ostream>
#include <span>
#include <string>
#include <vector>

namespace {

constexpr int kIntMin = std::numeric_limits<int>::min();
constexpr int kIntMax = std::numeric_limits<int>::max();

// A laid-out blank document of the size.
SpriteDocument Blank(int width, int height) {
    SpriteDocument doc;
    EXPECT_TRUE(doc.Layout(width, height));
    return doc;
}

// ---------------------------------------------------------------------------
// Cells and elements

struct ElementCase {
    SpriteCell cell;
    int width;
    int element;
    friend void PrintTo(const ElementCase& c, std::ostream* os) {
        *os << "cell (" << c.cell.column << ", " << c.cell.row << "), width " << c.width
            << " -> element " << c.element;
    }
};

class PixelElementTest : public testing::TestWithParam<ElementCase> {};

// The emitter and the readers take the elements row by row, top row first,
// so the first cell of a row follows the last cell of the row above.
TEST_P(PixelElementTest, SetsTheElementOfTheCellAndNoOther) {
    const ElementCase& c = GetParam();
    SpriteDocument doc = Blank(c.width, kMaxSpriteRows);
    ASSERT_TRUE(doc.SetPixel(c.cell, true));
    std::vector<std::uint32_t> expected(static_cast<std::size_t>(c.width * kMaxSpriteRows), 0);
    expected[static_cast<std::size_t>(c.element)] = 1;
    EXPECT_EQ(std::vector(doc.Pixels().begin(), doc.Pixels().end()), expected);
    EXPECT_TRUE(doc.IsSet(c.cell));
}

INSTANTIATE_TEST_SUITE_P(RowMajorLayout, PixelElementTest,
                         testing::Values(ElementCase{{0, 0}, 8, 0}, ElementCase{{7, 0}, 8, 7},
                                         ElementCase{{0, 1}, 8, 8}, ElementCase{{2, 4}, 8, 34},
                                         ElementCase{{7, 7}, 8, 63}, ElementCase{{15, 0}, 16, 15},
                                         ElementCase{{0, 1}, 16, 16}, ElementCase{{5, 2}, 16, 37},
                                         ElementCase{{31, 0}, 32, 31}, ElementCase{{0, 1}, 32, 32},
                                         ElementCase{{31, 15}, 32, 511}));

struct OutsideCase {
    SpriteCell cell;
    int width;
    int height;
    friend void PrintTo(const OutsideCase& c, std::ostream* os) {
        *os << "cell (" << c.cell.column << ", " << c.cell.row << ") of " << c.width << "x"
            << c.height;
    }
};

class OutsideCellTest : public testing::TestWithParam<OutsideCase> {};

// A cell beyond the sprite is refused by every way of painting and reads as
// clear; nothing is written and no step is recorded.
TEST_P(OutsideCellTest, IsRefusedAndWritesNothing) {
    const OutsideCase& c = GetParam();
    SpriteDocument doc = Blank(c.width, c.height);
    ASSERT_TRUE(doc.Invert());
    const SpriteState before = doc.State();
    EXPECT_FALSE(doc.Contains(c.cell));
    EXPECT_FALSE(doc.IsSet(c.cell));
    EXPECT_FALSE(doc.Paint(c.cell, false));
    EXPECT_FALSE(doc.SetPixel(c.cell, false));
    EXPECT_FALSE(doc.EndStroke());
    EXPECT_EQ(doc.State(), before);
    // The invert is the last step still.
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.State(), Blank(c.width, c.height).State());
}

// The first column right of the sprite and the first row below it, the
// cells left of and above it, and the extremes.
INSTANTIATE_TEST_SUITE_P(Edges, OutsideCellTest,
                         testing::Values(OutsideCase{{8, 0}, 8, 8}, OutsideCase{{0, 8}, 8, 8},
                                         OutsideCase{{0, 1}, 8, 1}, OutsideCase{{16, 0}, 16, 1},
                                         OutsideCase{{32, 15}, 32, 16},
                                         OutsideCase{{31, 16}, 32, 16}, OutsideCase{{-1, 0}, 8, 8},
                                         OutsideCase{{0, -1}, 8, 8},
                                         OutsideCase{{kIntMin, 0}, 32, 16},
                                         OutsideCase{{0, kIntMax}, 32, 16}));

TEST(PixelElementLayout, NothingIsPaintedBeforeTheFirstLayout) {
    SpriteDocument doc;
    EXPECT_FALSE(doc.Contains({0, 0}));
    EXPECT_FALSE(doc.Paint({0, 0}, true));
    EXPECT_TRUE(doc.PaintLine({0, 0}, {7, 7}, true).empty());
    EXPECT_TRUE(doc.Pixels().empty());
    EXPECT_FALSE(doc.CanUndo());
}

// ---------------------------------------------------------------------------
// Strokes

struct LineCase {
    const char* what;
    SpriteCell from;
    SpriteCell to;
    std::vector<std::string> after; // the 8 x 4 sprite after the line
    friend void PrintTo(const LineCase& c, std::ostream* os) { *os << c.what; }
};

class StrokeLineTest : public testing::TestWithParam<LineCase> {};

// A line paints one cell per step along its longer axis, clipped to the
// sprite, and gives the cells it painted; set and then cleared again, it
// leaves the sprite blank. Each stroke is one step.
TEST_P(StrokeLineTest, PaintsTheLineClippedToTheSprite) {
    const LineCase& c = GetParam();
    SpriteDocument doc = Blank(8, 4);
    const std::vector<SpriteCell> painted = doc.PaintLine(c.from, c.to, true);
    const std::vector<std::uint32_t> expected = PixelsFromRows(c.after);
    EXPECT_EQ(std::vector(doc.Pixels().begin(), doc.Pixels().end()), expected);
    std::size_t set = 0;
    for (const std::uint32_t pixel : expected)
        set += pixel;
    EXPECT_EQ(painted.size(), set);
    for (const SpriteCell& cell : painted)
        EXPECT_TRUE(doc.IsSet(cell)) << cell.column << "," << cell.row;

    const bool changed = set != 0;
    EXPECT_EQ(doc.EndStroke(), changed);
    doc.PaintLine(c.from, c.to, false);
    EXPECT_EQ(doc.EndStroke(), changed);
    EXPECT_EQ(doc.State(), Blank(8, 4).State());
    if (changed) {
        ASSERT_TRUE(doc.Undo());
        EXPECT_EQ(std::vector(doc.Pixels().begin(), doc.Pixels().end()), expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, StrokeLineTest,
    testing::Values(
        LineCase{"one cell", {2, 1}, {2, 1}, {"00000000", "00100000", "00000000", "00000000"}},
        LineCase{"along a row", {1, 2}, {6, 2}, {"00000000", "00000000", "01111110", "00000000"}},
        LineCase{"shallow", {0, 0}, {7, 3}, {"11000000", "00110000", "00001100", "00000011"}},
        LineCase{
            "steep backward", {5, 0}, {3, 3}, {"00000100", "00001000", "00001000", "00010000"}},
        LineCase{"out past the right edge",
                 {5, 1},
                 {40, 1},
                 {"00000000", "00000111", "00000000", "00000000"}},
        LineCase{
            "in from the left", {-6, 3}, {1, 3}, {"00000000", "00000000", "00000000", "11000000"}},
        LineCase{
            "in from above", {4, -9}, {4, 1}, {"00001000", "00001000", "00000000", "00000000"}},
        LineCase{"out past the bottom edge",
                 {6, 2},
                 {6, 90},
                 {"00000000", "00000000", "00000010", "00000010"}},
        LineCase{"across from corner to corner outside",
                 {-1, -1},
                 {8, 4},
                 {"11000000", "00110000", "00001100", "00000011"}},
        LineCase{
            "past the sprite", {-5, 6}, {20, 6}, {"00000000", "00000000", "00000000", "00000000"}},
        LineCase{"through from far outside",
                 {-100000, 2},
                 {100000, 2},
                 {"00000000", "00000000", "11111111", "00000000"}}));

// Cells painted with the same value again open no stroke.
TEST(StrokeLineSteps, RepaintingTheSameValuesIsNoStep) {
    SpriteDocument doc = Blank(16, 2);
    doc.PaintLine({0, 0}, {15, 1}, false);
    EXPECT_FALSE(doc.EndStroke());
    EXPECT_TRUE(doc.Paint({3, 1}, true));
    EXPECT_TRUE(doc.CanUndo());
    EXPECT_TRUE(doc.EndStroke());
    EXPECT_FALSE(doc.EndStroke());
}

// ---------------------------------------------------------------------------
// Guarded pixel reads

// A pixel array with a guard element on each side, so that a store that
// escapes the array shows up as a changed guard even without a sanitizer.
class GuardedPixels {
public:
    static constexpr std::uint32_t kGuard = 0xDEADBEEFu;

    GuardedPixels(std::size_t size, std::uint32_t fill) : buffer_(size + 2, fill) {
        buffer_.front() = kGuard;
        buffer_.back() = kGuard;
    }
    std::span<std::uint32_t> Pixels() { return std::span(buffer_).subspan(1, buffer_.size() - 2); }
    const std::vector<std::uint32_t>& Buffer() const { return buffer_; }

private:
    std::vector<std::uint32_t> buffer_;
};

struct AccessCase {
    int size;
    int index;
    bool inside;
    friend void PrintTo(const AccessCase& c, std::ostream* os) {
        *os << "index " << c.index << " of " << c.size << " elements";
    }
};

// Each size is a real sprite size (8x8 and 32x16) or an array with no
// elements at all; each index is the first or last element, or the first
// index past either end, or an extreme.
const auto kAccessCases = testing::Values(
    AccessCase{64, 0, true}, AccessCase{64, 34, true}, AccessCase{64, 63, true},
    AccessCase{64, -1, false}, AccessCase{64, 64, false}, AccessCase{64, 65, false},
    AccessCase{64, kIntMin, false}, AccessCase{64, kIntMax, false}, AccessCase{512, 0, true},
    AccessCase{512, 511, true}, AccessCase{512, 512, false}, AccessCase{512, -1, false},
    AccessCase{0, 0, false}, AccessCase{0, -1, false});

class LoadPixelTest : public testing::TestWithParam<AccessCase> {};

// Every element holds a distinct non-zero value, so a load of the wrong
// element, or of a guard, cannot pass for the right answer.
TEST_P(LoadPixelTest, ReadsTheElementOrClear) {
    const AccessCase& c = GetParam();
    GuardedPixels pixels(static_cast<std::size_t>(c.size), 0);
    const std::span<std::uint32_t> elements = pixels.Pixels();
    for (std::size_t i = 0; i < elements.size(); ++i)
        elements[i] = static_cast<std::uint32_t>(i) + 100;

    const std::uint32_t expected = c.inside ? static_cast<std::uint32_t>(c.index) + 100 : 0;
    EXPECT_EQ(LoadPixel(std::span<const std::uint32_t>(elements), c.index), expected);
}

INSTANTIATE_TEST_SUITE_P(IndexesInAndOutOfRange, LoadPixelTest, kAccessCases);

} // namespace
