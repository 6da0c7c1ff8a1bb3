// Grid geometry decides which cell a click or a stroke's end lands on. A
// fault here paints the wrong pixel, or lets a point beside the grid snap
// onto it, so every edge is pinned down: the last cell of each row and
// column, the first point beyond it, and the points left of and above the
// grid that integer division would pull onto it.

#include "GridGeometry.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <ostream>

// Failure messages show a cell as "(column, row)". It lives in the cell's own
// namespace so that GoogleTest finds it.
inline void PrintTo(const SpriteCell& cell, std::ostream* os) {
    *os << '(' << cell.column << ", " << cell.row << ')';
}

namespace {

constexpr int kIntMin = std::numeric_limits<int>::min();
constexpr int kIntMax = std::numeric_limits<int>::max();

struct HitCase {
    int px;
    int py;
    int width;
    int height;
    std::optional<SpriteCell> hit;
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
                         testing::Values(HitCase{20, 20, 8, 8, SpriteCell{0, 0}},
                                         HitCase{29, 29, 8, 8, SpriteCell{0, 0}},
                                         HitCase{47, 63, 8, 8, SpriteCell{2, 4}},
                                         HitCase{99, 20, 8, 8, SpriteCell{7, 0}},
                                         HitCase{25, 99, 8, 8, SpriteCell{0, 7}},
                                         HitCase{330, 170, 32, 16, SpriteCell{31, 15}},
                                         HitCase{339, 179, 32, 16, SpriteCell{31, 15}}));

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
// toward zero, so (19, 50) would land in column 0 by division alone; neither
// it nor a point left of the window may.
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
// hits nothing. A stroke's ends, which may lie anywhere, land on the same
// cells where the grid has them, and round toward minus infinity beyond it.
TEST(CellHitTestSweep, EveryPointHitsTheCellDrawnUnderIt) {
    constexpr int kMargin = 25;
    for (const int width : {8, 16, 32}) {
        for (int height = kMinSpriteHeight; height <= kMaxSpriteHeight; ++height) {
            const int right = CellEdge(width);   // first x past the grid
            const int bottom = CellEdge(height); // first y past the grid
            bool failed = false;
            for (int py = -kMargin; py < bottom + kMargin && !failed; ++py) {
                for (int px = -kMargin; px < right + kMargin && !failed; ++px) {
                    std::optional<SpriteCell> expected;
                    if (px >= kGridOrigin && px < right && py >= kGridOrigin && py < bottom)
                        expected = SpriteCell{(px - kGridOrigin) / kCellSize,
                                              (py - kGridOrigin) / kCellSize};
                    const std::optional<SpriteCell> actual = CellHitTest(px, py, width, height);
                    const SpriteCell end{CellIndexAt(px), CellIndexAt(py)};
                    const bool endInside =
                        end.column >= 0 && end.row >= 0 && end.column < width && end.row < height;
                    if (actual != expected || (expected && !(end == *expected)) ||
                        (!expected && endInside) || CellEdge(end.column) > px ||
                        CellEdge(end.column + 1) <= px) {
                        ADD_FAILURE() << "point (" << px << ", " << py << ") in " << width << "x"
                                      << height << ": got " << testing::PrintToString(actual)
                                      << " and end " << testing::PrintToString(end) << ", expected "
                                      << testing::PrintToString(expected);
                        failed = true; // one report per sprite size is enough
                    }
                }
            }
        }
    }
}

// The cell corners a grid walk paints at are the cells it names.
TEST(CellAtCorner, NamesTheCellOfEachCorner) {
    for (int row = 0; row <= kMaxSpriteRows; ++row)
        for (int column = 0; column <= kMaxSpriteColumns; ++column)
            EXPECT_EQ(CellAtCorner(CellEdge(column), CellEdge(row)), (SpriteCell{column, row}));
}

} // namespace
