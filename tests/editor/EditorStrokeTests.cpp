// Strokes with the mouse: what a press, a jump, a drag in and out of the
// sprite and of the window leave in the document and on the surface, and
// thousands of random gestures checked against a plain model.

#include "EditorTest.h"

#include "NumberText.h"
#include "SourceEmitter.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <random>
#include <vector>

namespace {

struct StrokeCase {
    const char* what;
    Qt::MouseButton press;
    Qt::MouseButtons held;
    Cell from;
    Cell to;
    bool sets; // otherwise the stroke clears a full sprite
    friend void PrintTo(const StrokeCase& c, std::ostream* os) { *os << c.what; }
};

class StrokeTest : public EditorTest, public ::testing::WithParamInterface<StrokeCase> {};

// A stroke covers both ends and one cell per step along its longer axis,
// each within half a cell of the straight line: no gaps, however far the one
// move jumped.
TEST_P(StrokeTest, OneJumpLeavesNoGaps) {
    const StrokeCase& c = GetParam();
    New();
    if (!c.sets)
        FillSprite(8, 8);
    Stroke(c.press, c.held, c.from, c.to);

    Cells stroke;
    for (const Cell& cell : AllCells(8, 8))
        if (Doc().IsSet({cell.first, cell.second}) == c.sets)
            stroke.insert(cell);
    const int dc = c.to.first - c.from.first;
    const int dr = c.to.second - c.from.second;
    const bool wide = std::abs(dc) >= std::abs(dr);
    const int steps = std::max(std::abs(dc), std::abs(dr));
    ASSERT_EQ(static_cast<int>(stroke.size()), steps + 1);
    EXPECT_TRUE(stroke.count(c.from));
    EXPECT_TRUE(stroke.count(c.to));
    std::set<int> majors;
    for (const Cell& cell : stroke) {
        const int major = wide ? cell.first : cell.second;
        const int minor = wide ? cell.second : cell.first;
        const double t =
            steps ? double(major - (wide ? c.from.first : c.from.second)) / (wide ? dc : dr) : 0.0;
        const double line = (wide ? c.from.second : c.from.first) + t * (wide ? dr : dc);
        EXPECT_LE(std::abs(minor - line), 0.5) << "cell " << cell.first << "," << cell.second;
        majors.insert(major);
    }
    EXPECT_EQ(static_cast<int>(majors.size()), steps + 1);

    Cells expected = c.sets ? stroke : AllCells(8, 8);
    if (!c.sets)
        for (const Cell& cell : stroke)
            expected.erase(cell);
    EXPECT_TRUE(ShowsSprite(8, 8, expected));
}

INSTANTIATE_TEST_SUITE_P(
    Gestures, StrokeTest,
    ::testing::Values(
        StrokeCase{"LeftAlongARow", Qt::LeftButton, Qt::LeftButton, {0, 0}, {7, 0}, true},
        StrokeCase{"LeftDownAColumn", Qt::LeftButton, Qt::LeftButton, {5, 0}, {5, 7}, true},
        StrokeCase{"LeftDiagonalUpward", Qt::LeftButton, Qt::LeftButton, {0, 7}, {7, 0}, true},
        StrokeCase{"LeftShallow", Qt::LeftButton, Qt::LeftButton, {0, 1}, {7, 4}, true},
        StrokeCase{"LeftSteepBackward", Qt::LeftButton, Qt::LeftButton, {6, 0}, {2, 7}, true},
        StrokeCase{"RightErases", Qt::RightButton, Qt::RightButton, {7, 6}, {0, 2}, false},
        StrokeCase{"BothButtonsClear",
                   Qt::LeftButton,
                   Qt::LeftButton | Qt::RightButton,
                   {1, 1},
                   {6, 3},
                   false},
        StrokeCase{"BothButtonsClearRightFirst",
                   Qt::RightButton,
                   Qt::LeftButton | Qt::RightButton,
                   {0, 5},
                   {4, 0},
                   false}));

// Marks the pointer leaving the window in a drag's points.
constexpr QPoint kLeaveWindow(-1000, -1000);

struct DragCase {
    const char* what;
    bool erases; // with the right button over a full sprite; else draws with the left
    std::vector<QPoint> points; // pressed at the first, moved through the rest
    Cells cells;                // the cells the drag sets, or clears
    friend void PrintTo(const DragCase& c, std::ostream* os) { *os << c.what; }
};

class DragTest : public EditorTest, public ::testing::WithParamInterface<DragCase> {};

// In an 8 x 8 sprite (client x and y 20 to 99) in a 453 x 349 window, each
// move with the button held draws the line from the last position, clipped
// to the sprite, wherever in the window either end lies. Leaving the window
// stops the stroke until the pointer comes back.
TEST_P(DragTest, DrawsTheLineClippedToTheSprite) {
    const DragCase& c = GetParam();
    New();
    if (c.erases)
        FillSprite(8, 8);
    const Qt::MouseButton button = c.erases ? Qt::RightButton : Qt::LeftButton;
    MousePress(dlg, c.points.front(), button, Qt::NoButton);
    QPoint last = c.points.front();
    for (std::size_t i = 1; i < c.points.size(); ++i) {
        if (c.points[i] == kLeaveWindow) {
            MouseLeave(dlg);
            continue;
        }
        last = c.points[i];
        MouseMove(dlg, last, button);
    }
    MouseRelease(dlg, last, button, button);

    Cells expected = c.erases ? AllCells(8, 8) : c.cells;
    if (c.erases)
        for (const Cell& cell : c.cells)
            expected.erase(cell);
    EXPECT_TRUE(ShowsSprite(8, 8, expected));
}

INSTANTIATE_TEST_SUITE_P(
    Drags, DragTest,
    ::testing::Values(
        DragCase{"InToOutAlongARow",
                 false,
                 {{25, 25}, {200, 25}},
                 {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}, {7, 0}}},
        DragCase{"InToOutDiagonal",
                 false,
                 {{25, 25}, {125, 125}},
                 {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}, {7, 7}}},
        DragCase{"OutToIn", false, {{5, 45}, {55, 45}}, {{0, 2}, {1, 2}, {2, 2}, {3, 2}}},
        DragCase{"OutToInDiagonalFromBelowLeft",
                 false,
                 {{5, 125}, {65, 65}},
                 {{1, 7}, {2, 6}, {3, 5}, {4, 4}}},
        DragCase{"OutToOutAcrossTheSprite",
                 false,
                 {{5, 65}, {200, 65}},
                 {{0, 4}, {1, 4}, {2, 4}, {3, 4}, {4, 4}, {5, 4}, {6, 4}, {7, 4}}},
        DragCase{"OutToOutPastTheSprite", false, {{5, 150}, {300, 150}}, {}},
        DragCase{"ErasesBackInFromAbove", true, {{55, 5}, {55, 45}}, {{3, 0}, {3, 1}, {3, 2}}},
        DragCase{"MoveOutOfTheWindowStopsUntilBack",
                 false,
                 {{25, 25}, {65, 25}, {600, 25}, {95, 65}},
                 {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {7, 4}}},
        DragCase{"LeaveStopsUntilBack",
                 false,
                 {{25, 25}, {65, 25}, kLeaveWindow, {95, 65}},
                 {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {7, 4}}}));

// The editor driven by thousands of random gestures from a fixed seed
// (GLIMMET_EDITOR_SEED picks another): clicks and drags with either or both
// buttons, in and out of the sprite and the window, width clicks, pasted
// heights valid and refused, names with odd characters, New and Make Code.
// Every few hundred events the raster, the grid and the preview on the
// surface, the height, the warning and the code box must agree with a plain
// model of the sprite. Drags move in straight runs of cells (along a row, a
// column or a diagonal), so the cells a line paints are beyond doubt, and
// points keep two pixels from cell and window edges, where a fractional
// ratio may move them by one.
TEST_F(EditorTest, RandomGesturesKeepEverythingInAgreement) {
    const QByteArray given = qgetenv("GLIMMET_EDITOR_SEED");
    const unsigned seed = given.isEmpty() ? 20261207u : given.toUInt();
    SCOPED_TRACE("seed " + std::to_string(seed) + " (set GLIMMET_EDITOR_SEED to repeat)");
    std::mt19937 random(seed);
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution(lo, hi)(random); };

    struct Model {
        bool ready = false;
        int widthIndex = 0;
        int height = 8;
        QString heightText = QStringLiteral("8");
        std::string name;
        std::string code;
        std::size_t boxes = 0;
        Cells cells;
        int Width() const { return WidthFromIndex(widthIndex); }
        void Layout() {
            ready = true;
            cells.clear();
        }
        void Paint(Cell cell, bool set) {
            if (!ready || cell.first < 0 || cell.second < 0 || cell.first >= Width() ||
                cell.second >= height)
                return;
            if (set)
                cells.insert(cell);
            else
                cells.erase(cell);
        }
    } model;

    struct HeightText {
        const char* text; // UTF-8
        int value;        // 0: refused
    };
    const HeightText heights[] = {
        {"1", 1},   {"5", 5},  {"8", 8}, {"12", 12},         {"16", 16},          {" 08 ", 8},
        {"3 ", 3},  {"", 0},   {"0", 0}, {"17", 0},          {"8x", 0},           {"+8", 0},
        {"1e1", 0}, {"-3", 0}, {"x", 0}, {"99999999999", 0}, {"\u0661\u0666", 0},
    };
    struct NameText {
        const char* pasted; // UTF-8
        const char* kept;
    };
    const NameText names[] = {
        {"ship", "ship"},
        {"my ship", "my ship"},
        {"a\nb", "ab"},
        {"\ttab\r\n", "tab"},
        {"caf\u00e9_1", "caf\u00e9_1"},
        {"int", "int"},
        {"", ""},
        {"x\u2028y\x7f", "xy"},
        {"{}[];\"'", "{}[];\"'"},
    };
    const int radios[] = {IDC_WIDTH8, IDC_WIDTH16, IDC_WIDTH32};

    // A point in cell (col, row) of the unbounded grid, two pixels or more
    // from the cell's edges and from the window's.
    const auto pointIn = [&](Cell cell) {
        const auto coordinate = [&](int index, int windowEnd) {
            int v = CellEdge(index) + pick(2, kCellSize - 3);
            if (std::abs(v - windowEnd) <= 2)
                v = v < windowEnd ? windowEnd - 3 : windowEnd + 3;
            return v;
        };
        return QPoint(coordinate(cell.first, 453), coordinate(cell.second, 349));
    };
    const auto inWindow = [](QPoint p) {
        return p.x() >= 0 && p.x() < 453 && p.y() >= 0 && p.y() < 349;
    };
    const auto cellOf = [](QPoint p) { return Cell{CellIndexAt(p.x()), CellIndexAt(p.y())}; };

    const auto drag = [&] {
        const Qt::MouseButton press = pick(0, 1) ? Qt::LeftButton : Qt::RightButton;
        const Qt::MouseButtons held = pick(0, 3) == 0 ? Qt::LeftButton | Qt::RightButton : press;
        // Presses land where no control takes the mouse: left of the Width
        // box and above the texts below the grid.
        Cell cell{pick(-2, 33), pick(-2, 17)};
        QPoint at = pointIn(cell);
        MousePress(dlg, at, press, Qt::NoButton);
        model.Paint(cell, press == Qt::LeftButton);
        bool stroke = model.ready;
        for (int moves = pick(0, 4); moves > 0; --moves) {
            const int dc = pick(-1, 1);
            const int dr = dc == 0 ? (pick(0, 1) ? 1 : -1) : pick(-1, 1);
            const int steps = pick(1, 15);
            at = pointIn({cell.first + dc * steps, cell.second + dr * steps});
            MouseMove(dlg, at, held);
            if (!inWindow(at)) {
                stroke = false;
            } else {
                // A stroke that came back into the window starts where it is.
                const int run = stroke ? steps : 0;
                const Cell from = stroke ? cell : cellOf(at);
                // With both buttons held the erase comes last.
                for (int i = 0; i <= run; ++i)
                    model.Paint({from.first + dc * i, from.second + dr * i},
                                !(held & Qt::RightButton));
                stroke = model.ready;
            }
            cell = cellOf(at);
        }
        // Both buttons go up, so that the toolkit's grab ends with the drag.
        MouseRelease(dlg, at, press, held);
        if (held != press)
            MouseRelease(dlg, at, press == Qt::LeftButton ? Qt::RightButton : Qt::LeftButton,
                         held & ~Qt::MouseButtons(press));
    };

    const auto check = [&](int events) {
        SCOPED_TRACE("after " + std::to_string(events) + " events");
        // A move with no button reads the controls, as every move does.
        MouseMove(dlg, QPoint(200, 150), Qt::NoButton);
        QWidget* heightEdit = Control(dlg, IDC_HEIGHT);
        EXPECT_EQ(ControlText(dlg, IDC_HEIGHT), model.heightText);
        EXPECT_EQ(Doc().Height(), model.height);
        EXPECT_EQ(Host(dlg).Warning().IsShownAt(heightEdit),
                  !ParseWholeNumber(model.heightText.toStdString(), 1, 16).has_value());
        EXPECT_EQ(Doc().Name(), model.name);
        EXPECT_EQ(ControlText(dlg, IDC_CODE).toStdString(), model.code);
        EXPECT_EQ(MessageBoxes().size(), model.boxes);
        EXPECT_EQ(Doc().IsLaidOut(), model.ready);
        if (model.ready) {
            ASSERT_TRUE(ShowsSprite(model.Width(), model.height, model.cells));
        } else {
            ASSERT_TRUE(ClientRectIs(dlg, kGridArea, Face()));
            ASSERT_TRUE(ClientRectIs(dlg, kPreviewArea, Face()));
        }
    };

    constexpr int kEvents = 5000;
    constexpr int kCheckEvery = 250;
    for (int event = 1; event <= kEvents; ++event) {
        const int kind = pick(0, 99);
        if (kind < 55) {
            drag();
        } else if (kind < 62) {
            const int index = pick(0, 2);
            ClickRadio(radios[index]);
            if (index != model.widthIndex) {
                model.widthIndex = index;
                model.Layout();
            }
        } else if (kind < 74) {
            const HeightText& h = heights[pick(0, static_cast<int>(std::size(heights)) - 1)];
            const QString text = QString::fromUtf8(h.text);
            if (text != model.heightText) {
                PasteText(dlg, IDC_HEIGHT, text);
                model.heightText = text;
                if (h.value != 0) {
                    model.height = h.value;
                    if (model.ready)
                        model.Layout();
                }
            }
        } else if (kind < 82) {
            const NameText& n = names[pick(0, static_cast<int>(std::size(names)) - 1)];
            PasteText(dlg, IDC_NAME, QString::fromUtf8(n.pasted));
            model.name = n.kept;
        } else if (kind < 87) {
            New();
            model.Layout();
        } else if (kind < 95) {
            ClickControl(dlg, IDC_MAKECODE);
            if (model.ready && model.name.empty()) {
                ++model.boxes;
            } else if (model.ready) {
                std::vector<std::uint32_t> pixels(
                    static_cast<std::size_t>(model.Width() * model.height));
                for (const Cell& cell : model.cells)
                    pixels[static_cast<std::size_t>(cell.second * model.Width() + cell.first)] = 1;
                model.code =
                    EmitCode(CodeForm{}, model.name, {model.Width(), model.height, pixels});
                // The write-back shows the height in force.
                model.heightText = QString::number(model.height);
            }
        } else {
            MouseMove(dlg, pointIn({pick(-2, 33), pick(-2, 17)}), Qt::NoButton);
        }
        if (event % kCheckEvery == 0)
            check(event);
        if (HasFatalFailure())
            return;
    }
}

} // namespace
