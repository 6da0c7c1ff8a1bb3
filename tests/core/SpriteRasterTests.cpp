// The raster and grid geometry decide which element a click changes and
// whether a click may change anything at all. A fault here writes into the
// wrong pixel, or outside the sprite, so every edge of the grid is pinned
// down: the last cell of each row and column, the first point beyond it, and
// the points left of and above the grid that snap onto it.

#include "SpriteRaster.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <ostream>
#include <span>
#include <vector>

// Failure messages show a corner as "(x, y)". It lives in the corner's own
// namespace so that GoogleTest finds it.
inline void PrintTo(const CellCorner& corner, std::ostream* os) {
    *os << '(' << corner.x << ", " << corner.y << ')';
}

namespace {

constexpr int kIntMin = std::numeric_limits<int>::min();
constexpr int kIntMax = std::numeric_limits<int>::max();

// The top-left corner of the cell that shows pixel (column, row).
constexpr CellCorner CornerOf(int column, int row) {
    return {kGridOrigin + kCellSize * column, kGridOrigin + kCellSize * row};
}

// ---------------------------------------------------------------------------
// Width indexes

struct WidthCase {
    std::int32_t index;
    int width;
    friend void PrintTo(const WidthCase& c, std::ostream* os) {
        *os << "index " << c.index << " -> " << c.width << " columns";
    }
};

class WidthFromIndexTest : public testing::TestWithParam<WidthCase> {};

TEST_P(WidthFromIndexTest, GivesTheColumnCountOfTheIndex) {
    EXPECT_EQ(WidthFromIndex(GetParam().index), GetParam().width);
}

INSTANTIATE_TEST_SUITE_P(KnownIndexes, WidthFromIndexTest,
                         testing::Values(WidthCase{0, 8}, WidthCase{1, 16}, WidthCase{2, 32}));

// An index that no width belongs to must give no columns rather than a
// neighbouring width, so a bad stored index cannot size a sprite.
INSTANTIATE_TEST_SUITE_P(UnknownIndexesGiveNoColumns, WidthFromIndexTest,
                         testing::Values(WidthCase{-1, 0}, WidthCase{3, 0},
                                         WidthCase{std::numeric_limits<std::int32_t>::min(), 0},
                                         WidthCase{std::numeric_limits<std::int32_t>::max(), 0}));

// ---------------------------------------------------------------------------
// Pixel indexes

struct PixelIndexCase {
    int x;
    int y;
    int width;
    int element;
    friend void PrintTo(const PixelIndexCase& c, std::ostream* os) {
        *os << "corner (" << c.x << ", " << c.y << "), width " << c.width << " -> element "
            << c.element;
    }
};

class PixelIndexTest : public testing::TestWithParam<PixelIndexCase> {};

TEST_P(PixelIndexTest, AddressesTheElementOfTheCell) {
    const PixelIndexCase& c = GetParam();
    EXPECT_EQ(PixelIndex(c.x, c.y, c.width), c.element);
}

// Rows are stored one after another, top row first, so the first cell of a
// row follows the last cell of the row above.
INSTANTIATE_TEST_SUITE_P(
    RowMajorLayout, PixelIndexTest,
    testing::Values(PixelIndexCase{20, 20, 8, 0}, PixelIndexCase{90, 20, 8, 7},
                    PixelIndexCase{20, 30, 8, 8}, PixelIndexCase{40, 60, 8, 34},
                    PixelIndexCase{90, 90, 8, 63}, PixelIndexCase{170, 20, 16, 15},
                    PixelIndexCase{20, 30, 16, 16}, PixelIndexCase{70, 40, 16, 37},
                    PixelIndexCase{330, 20, 32, 31}, PixelIndexCase{20, 30, 32, 32},
                    PixelIndexCase{330, 170, 32, 511}));

// Every cell of the largest sprite of each width owns one element of its own,
// and together the cells use every element: no two cells share a pixel and
// none is left out.
TEST(PixelIndexLayout, EveryCellOwnsOneElementAndNoneIsLeftOut) {
    for (const int width : {8, 16, 32}) {
        std::vector<int> owners(static_cast<std::size_t>(width * kMaxSpriteRows), 0);
        for (int row = 0; row < kMaxSpriteRows; ++row) {
            for (int column = 0; column < width; ++column) {
                const CellCorner corner = CornerOf(column, row);
                const int element = PixelIndex(corner.x, corner.y, width);
                ASSERT_GE(element, 0) << "width " << width << ", cell " << column << "," << row;
                ASSERT_LT(element, width * kMaxSpriteRows)
                    << "width " << width << ", cell " << column << "," << row;
                ++owners[static_cast<std::size_t>(element)];
            }
        }
        for (std::size_t element = 0; element < owners.size(); ++element)
            EXPECT_EQ(owners[element], 1) << "width " << width << ", element " << element;
    }
}

// ---------------------------------------------------------------------------
// Cell membership

struct InsideCase {
    int x;
    int y;
    int width;
    int height;
    bool inside;
    friend void PrintTo(const InsideCase& c, std::ostream* os) {
        *os << "corner (" << c.x << ", " << c.y << ") in " << c.width << "x" << c.height
            << (c.inside ? " is inside" : " is outside");
    }
};

class IsInsideSpriteTest : public testing::TestWithParam<InsideCase> {};

TEST_P(IsInsideSpriteTest, TellsWhetherTheCornerIsOneOfTheSpritesCells) {
    const InsideCase& c = GetParam();
    EXPECT_EQ(IsInsideSprite(c.x, c.y, c.width, c.height), c.inside);
}

INSTANTIATE_TEST_SUITE_P(
    CellsOfTheSprite, IsInsideSpriteTest,
    testing::Values(InsideCase{20, 20, 8, 1, true}, InsideCase{90, 20, 8, 8, true},
                    InsideCase{20, 90, 8, 8, true}, InsideCase{90, 90, 8, 8, true},
                    InsideCase{170, 20, 16, 1, true}, InsideCase{330, 170, 32, 16, true}));

// The first column right of the sprite and the first row below it are not
// cells, even though the grid may have room for them.
INSTANTIATE_TEST_SUITE_P(
    CellsBeyondTheLastColumnOrRow, IsInsideSpriteTest,
    testing::Values(InsideCase{100, 20, 8, 8, false}, InsideCase{20, 100, 8, 8, false},
                    InsideCase{20, 30, 8, 1, false}, InsideCase{180, 20, 16, 1, false},
                    InsideCase{340, 170, 32, 16, false}, InsideCase{330, 180, 32, 16, false},
                    InsideCase{100, 100, 8, 8, false}));

// ---------------------------------------------------------------------------
// Hit testing

struct HitCase {
    int px;
    int py;
    int width;
    int height;
    std::optional<CellCorner> hit;
    friend void PrintTo(const HitCase& c, std::ostream* os) {
        *os << "point (" << c.px << ", " << c.py << ") in " << c.width << "x" << c.height;
    }
};

class CellHitTestTest : public testing::TestWithParam<HitCase> {};

TEST_P(CellHitTestTest, FindsTheCellUnderThePoint) {
    const HitCase& c = GetParam();
    EXPECT_EQ(CellHitTest(c.px, c.py, c.width, c.height), c.hit);
}

// A cell is hit anywhere from its corner to one pixel short of the next cell.
INSTANTIATE_TEST_SUITE_P(PointsOnTheGrid, CellHitTestTest,
                         testing::Values(HitCase{20, 20, 8, 8, CellCorner{20, 20}},
                                         HitCase{29, 29, 8, 8, CellCorner{20, 20}},
                                         HitCase{47, 63, 8, 8, CellCorner{40, 60}},
                                         HitCase{99, 20, 8, 8, CellCorner{90, 20}},
                                         HitCase{25, 99, 8, 8, CellCorner{20, 90}},
                                         HitCase{330, 170, 32, 16, CellCorner{330, 170}},
                                         HitCase{339, 179, 32, 16, CellCorner{330, 170}}));

// Right of the last column and below the last row nothing is hit.
INSTANTIATE_TEST_SUITE_P(PointsPastTheLastCell, CellHitTestTest,
                         testing::Values(HitCase{100, 20, 8, 8, std::nullopt},
                                         HitCase{25, 100, 8, 8, std::nullopt},
                                         HitCase{340, 179, 32, 16, std::nullopt},
                                         HitCase{339, 180, 32, 16, std::nullopt},
                                         HitCase{25, 30, 8, 1, std::nullopt},
                                         HitCase{kIntMax, 20, 32, 16, std::nullopt},
                                         HitCase{20, kIntMax, 32, 16, std::nullopt}));

// Left of the grid and above it nothing is hit either. Division truncates
// toward zero, so (19, 50) snaps to x 10 and (-5, 30) to x 0; neither may
// land on the first column.
INSTANTIATE_TEST_SUITE_P(
    PointsBeforeTheFirstCell, CellHitTestTest,
    testing::Values(HitCase{19, 50, 8, 8, std::nullopt}, HitCase{50, 19, 8, 8, std::nullopt},
                    HitCase{19, 19, 8, 8, std::nullopt}, HitCase{-5, 30, 8, 8, std::nullopt},
                    HitCase{30, -5, 8, 8, std::nullopt}, HitCase{-9, -9, 8, 8, std::nullopt},
                    HitCase{kIntMin, 20, 8, 8, std::nullopt},
                    HitCase{20, kIntMin, 8, 8, std::nullopt}));

// Sweeps every point of the grid and a margin around it, for every width and
// height the editor allows, and checks each against the cell drawn there: a
// point inside the drawn rectangle hits the cell under it, any other point
// hits nothing.
TEST(CellHitTestSweep, EveryPointHitsTheCellDrawnUnderIt) {
    constexpr int kMargin = 25;
    for (const int width : {8, 16, 32}) {
        for (int height = kMinSpriteHeight; height <= kMaxSpriteHeight; ++height) {
            const int right = kGridOrigin + kCellSize * width;   // first x past the grid
            const int bottom = kGridOrigin + kCellSize * height; // first y past the grid
            bool failed = false;
            for (int py = -kMargin; py < bottom + kMargin && !failed; ++py) {
                for (int px = -kMargin; px < right + kMargin && !failed; ++px) {
                    std::optional<CellCorner> expected;
                    if (px >= kGridOrigin && px < right && py >= kGridOrigin && py < bottom)
                        expected = CornerOf((px - kGridOrigin) / kCellSize,
                                            (py - kGridOrigin) / kCellSize);
                    const std::optional<CellCorner> actual = CellHitTest(px, py, width, height);
                    if (actual != expected) {
                        ADD_FAILURE() << "point (" << px << ", " << py << ") in " << width << "x"
                                      << height << ": got " << testing::PrintToString(actual)
                                      << ", expected " << testing::PrintToString(expected);
                        failed = true; // one report per sprite size is enough
                    }
                }
            }
        }
    }
}

// ---------------------------------------------------------------------------
// Guarded pixel access

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

class StorePixelTest : public testing::TestWithParam<AccessCase> {};

TEST_P(StorePixelTest, WritesTheOneElementOrNothing) {
    const AccessCase& c = GetParam();
    GuardedPixels pixels(static_cast<std::size_t>(c.size), 0);
    std::vector<std::uint32_t> expected = pixels.Buffer();
    if (c.inside)
        expected[static_cast<std::size_t>(c.index) + 1] = 1; // +1 skips the leading guard

    EXPECT_EQ(StorePixel(pixels.Pixels(), c.index, 1), c.inside);
    EXPECT_EQ(pixels.Buffer(), expected);
}

INSTANTIATE_TEST_SUITE_P(IndexesInAndOutOfRange, StorePixelTest, kAccessCases);

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
