// The editor through real Qt input on its window: what it stores, what it
// paints on its client surface, and what it writes into its controls.

#include "Controls.h"
#include "DialogHost.h"
#include "EditorDlg.h"
#include "Handles.h"
#include "NumberText.h"
#include "SourceEmitter.h"
#include "WidgetTest.h"
#include "WinApp.h"

#include <QApplication>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QToolButton>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <gtest/gtest.h>
#include <iterator>
#include <ostream>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

using namespace glimmet_test;

// The About box belongs to the application; here it only counts the
// commands that ask for it.
class CCountingApp : public CWinApp {
public:
    int m_nAboutBoxes = 0;

protected:
    void OnAppAbout() { ++m_nAboutBoxes; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCountingApp, CWinApp)
ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
END_MESSAGE_MAP()

namespace {

// A sprite pixel by column and row.
using Cell = std::pair<int, int>;
using Cells = std::set<Cell>;

QPoint CellPoint(Cell cell) {
    return QPoint(25 + 10 * cell.first, 25 + 10 * cell.second);
}

Cells AllCells(int w, int h) {
    Cells cells;
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col)
            cells.insert({col, row});
    return cells;
}

CRect CellRect(int col, int row) {
    return CRect(20 + 10 * col, 20 + 10 * row, 30 + 10 * col, 30 + 10 * row);
}

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dlg.Create());
        ShowAndWait(dlg);
    }

    void New() { ClickControl(dlg, IDC_NEW); }
    void ClickCell(Cell cell, Qt::MouseButton button = Qt::LeftButton) {
        Click(dlg, CellPoint(cell), button);
    }
    void ClickRadio(int nID) { ClickControl(dlg, nID, QPoint(5, Control(dlg, nID)->height() / 2)); }
    // A press at one cell and a single move, with `held` down, to another.
    void Stroke(Qt::MouseButton press, Qt::MouseButtons held, Cell from, Cell to) {
        MousePress(dlg, CellPoint(from), press, Qt::NoButton);
        MouseMove(dlg, CellPoint(to), held);
        MouseRelease(dlg, CellPoint(to), press, held);
    }
    void FillSprite(int w, int h) {
        for (int row = 0; row < h; ++row)
            Stroke(Qt::LeftButton, Qt::LeftButton, {0, row}, {w - 1, row});
    }
    QToolButton* SpinArrow(bool up) {
        auto* spin = static_cast<platform_detail::UpDownControl*>(Control(dlg, IDC_HEIGHT_SPIN));
        return up ? spin->UpButton() : spin->DownButton();
    }
    // The set cells of the raster, read as a sprite `w` pixels wide.
    Cells SetCells(int w) const {
        Cells cells;
        for (int i = 0; i < dlg.m_pixels.GetSize(); ++i)
            if (dlg.m_pixels.GetAt(i))
                cells.insert({i % w, i / w});
        return cells;
    }

    // The raster holds exactly a w x h sprite with `set` set, the grid shows
    // it cell by cell with every other cell of the 32 x 16 area in the face
    // colour, and the preview shows it two pixels per sprite pixel with the
    // rest of its 64 x 32 area in the face colour.
    ::testing::AssertionResult ShowsSprite(int w, int h, const Cells& set) {
        if (dlg.m_pixels.GetSize() != w * h)
            return ::testing::AssertionFailure()
                   << "the raster has " << dlg.m_pixels.GetSize() << " elements";
        if (SetCells(w) != set)
            return ::testing::AssertionFailure() << "the raster holds other set cells";
        for (int row = 0; row < 16; ++row) {
            for (int col = 0; col < 32; ++col) {
                const bool inside = col < w && row < h;
                const COLORREF color = !inside ? Face() : set.count({col, row}) ? kBlack : kWhite;
                if (auto cell = ClientRectIs(dlg, CellRect(col, row), color); !cell)
                    return cell << " (grid cell " << col << "," << row << ")";
                const CRect square(280 + 2 * col, 210 + 2 * row, 282 + 2 * col, 212 + 2 * row);
                if (auto preview = ClientRectIs(dlg, square, color); !preview)
                    return preview << " (preview pixel " << col << "," << row << ")";
            }
        }
        return ::testing::AssertionSuccess();
    }

    CWinApp app{"glimmet"};
    CEditorDlg dlg;
};

TEST_F(EditorTest, OpensWithWidth8Height8AndNothingPainted) {
    EXPECT_TRUE(static_cast<QRadioButton*>(Control(dlg, IDC_WIDTH8))->isChecked());
    EXPECT_EQ(ControlText(dlg, IDC_HEIGHT), "8");
    EXPECT_EQ(ControlText(dlg, IDC_NAME), "");
    EXPECT_EQ(ControlText(dlg, IDC_CODE), "");
    EXPECT_EQ(QApplication::focusWidget(), Control(dlg, IDC_CODE));
    EXPECT_FALSE(dlg.m_bGridReady);
    EXPECT_TRUE(ClientRectIs(dlg, CRect(20, 20, 340, 180), Face()));
    EXPECT_TRUE(ClientRectIs(dlg, CRect(280, 210, 344, 242), Face()));
}

TEST_F(EditorTest, SystemMenuEndsWithTheAboutItem) {
    CMenu* menu = dlg.GetSystemMenu(false);
    ASSERT_NE(menu, nullptr);
    const auto& items = menu->Items();
    ASSERT_GE(items.size(), 2u);
    EXPECT_TRUE(items[items.size() - 2].nFlags & MF_SEPARATOR);
    EXPECT_EQ(items.back().nID, 0x0010u);
    EXPECT_EQ(items.back().text, "&About Glimmet...");

    // Its command asks the application for the About box, whatever its low
    // four bits; the standard commands keep their default handling.
    CCountingApp app;
    dlg.SendMessage(WM_SYSCOMMAND, 0x0010);
    dlg.SendMessage(WM_SYSCOMMAND, 0x0013);
    EXPECT_EQ(app.m_nAboutBoxes, 2);
    dlg.SendMessage(WM_SYSCOMMAND, SC_MINIMIZE);
    EXPECT_TRUE(dlg.IsIconic());
}

TEST_F(EditorTest, WorkedExampleFromClickToDeclaration) {
    New();
    Click(dlg, QPoint(47, 63));
    EXPECT_EQ(dlg.m_pixels.GetAt(34), 1u);
    EXPECT_TRUE(ClientRectIs(dlg, CRect(40, 60, 50, 70), kBlack));
    EXPECT_TRUE(ClientRectIs(dlg, CRect(284, 218, 286, 220), kBlack));
    EXPECT_TRUE(ShowsSprite(8, 8, {{2, 4}}));

    TypeText(dlg, IDC_NAME, "ship");
    ClickControl(dlg, IDC_MAKECODE);
    EXPECT_EQ(ControlText(dlg, IDC_CODE),
              "static unsigned char ship[] = {0x00,0x00,0x00,0x00,0x20,0x00,0x00,0x00};");
    EXPECT_TRUE(MessageBoxes().empty());
}

// What a handler draws is on the screen when the message has been handled,
// before any further event.
TEST_F(EditorTest, DrawingReachesTheScreenAtOnce) {
    New();
    Click(dlg, QPoint(47, 63));
    // The headless platform grabs only the top-left part of a scaled window.
    if (Ratio(dlg) != 1.0)
        GTEST_SKIP() << "screen grabs need a ratio of 1 here";
    QWidget* window = platform_detail::WidgetOf(dlg.GetSafeHwnd());
    auto onScreen = [&](int x, int y) {
        const QImage grab = window->screen()->grabWindow(window->winId(), x, y, 1, 1).toImage();
        const QRgb rgb = grab.isNull() ? qRgb(255, 0, 0) : grab.pixel(0, 0);
        return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb));
    };
    EXPECT_EQ(onScreen(45, 65), kBlack);
    EXPECT_EQ(onScreen(285, 219), kBlack);
    EXPECT_EQ(onScreen(55, 65), kWhite);
}

TEST_F(EditorTest, RedrawPaintsTheSpriteFromTheRaster) {
    New();
    TypeText(dlg, IDC_HEIGHT, "4");
    const Cells drawn = {{0, 0}, {7, 0}, {3, 2}, {0, 3}, {7, 3}};
    for (const Cell& cell : drawn)
        ClickCell(cell);

    // Whatever stood on the surface is painted over.
    Host(dlg).Surface().Image().fill(Qt::red);
    dlg.RedrawWindow();
    EXPECT_TRUE(ShowsSprite(8, 4, drawn));
}

TEST_F(EditorTest, BeforeTheFirstLayoutTheMouseDoesNothing) {
    ClickCell({2, 4});
    Click(dlg, QPoint(47, 63), Qt::RightButton);
    Stroke(Qt::LeftButton, Qt::LeftButton, {0, 0}, {7, 7});
    dlg.RedrawWindow();
    EXPECT_FALSE(dlg.m_bGridReady);
    EXPECT_EQ(dlg.m_pixels.GetSize(), 0);
    EXPECT_TRUE(ClientRectIs(dlg, CRect(0, 0, 453, 349), Face()));
}

TEST_F(EditorTest, MinimisedWindowShowsOnlyTheCentredIcon) {
    New();
    FillSprite(8, 8);
    platform_detail::WidgetOf(dlg.GetSafeHwnd())->showMinimized();
    QApplication::processEvents();
    dlg.RedrawWindow();
    ASSERT_TRUE(dlg.IsIconic());

    // The icon is 32 x 32 at ((453 - 32 + 1) / 2, (349 - 32 + 1) / 2); a
    // device pixel around it may be smoothed at fractional ratios.
    const QRect icon = DeviceRect(dlg, CRect(211, 159, 243, 191));
    EXPECT_TRUE(DeviceOutsideIs(dlg, icon.adjusted(-1, -1, 1, 1), Face()));
    EXPECT_FALSE(DeviceRectIs(dlg, icon, Face())) << "no icon was drawn";

    platform_detail::WidgetOf(dlg.GetSafeHwnd())->showNormal();
    QApplication::processEvents();
    dlg.RedrawWindow();
    EXPECT_TRUE(ShowsSprite(8, 8, AllCells(8, 8)));
}

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
    for (int i = 0; i < 64; ++i)
        if ((dlg.m_pixels.GetAt(i) != 0) == c.sets)
            stroke.insert({i % 8, i / 8});
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

TEST_F(EditorTest, ClicksSetAndClearSingleCells) {
    New();
    ClickCell({3, 3});
    ClickCell({4, 3});
    ClickCell({3, 3}, Qt::RightButton);
    EXPECT_TRUE(ShowsSprite(8, 8, {{4, 3}}));
}

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

struct WidthCase {
    const char* name;
    int nRadio;
    int width; // 0: the drawing stays
    friend void PrintTo(const WidthCase& c, std::ostream* os) { *os << c.name; }
};

class WidthTest : public EditorTest, public ::testing::WithParamInterface<WidthCase> {};

TEST_P(WidthTest, OnlyAnotherWidthClearsTheDrawing) {
    const WidthCase& c = GetParam();
    New();
    ClickCell({1, 1});
    ClickCell({6, 7});
    ClickRadio(c.nRadio);
    const Cells kept = {{1, 1}, {6, 7}};
    EXPECT_TRUE(c.width == 0 ? ShowsSprite(8, 8, kept) : ShowsSprite(c.width, 8, {}));
}

INSTANTIATE_TEST_SUITE_P(Radios, WidthTest,
                         ::testing::Values(WidthCase{"Same8", IDC_WIDTH8, 0},
                                           WidthCase{"Other16", IDC_WIDTH16, 16},
                                           WidthCase{"Other32", IDC_WIDTH32, 32}));

TEST_F(EditorTest, EachSpinStepLaysOutAnEmptyGrid) {
    New();
    ClickCell({2, 2});
    QTest::mouseClick(SpinArrow(true), Qt::LeftButton);
    EXPECT_EQ(ControlText(dlg, IDC_HEIGHT), "7");
    EXPECT_TRUE(ShowsSprite(8, 7, {}));

    ClickCell({3, 3});
    QTest::mouseClick(SpinArrow(false), Qt::LeftButton);
    EXPECT_EQ(ControlText(dlg, IDC_HEIGHT), "8");
    EXPECT_TRUE(ShowsSprite(8, 8, {}));
}

TEST_F(EditorTest, TypedHeightLaysOutAndMakeCodeWritesItBackWithoutLayout) {
    New();
    ClickCell({2, 2});
    TypeText(dlg, IDC_HEIGHT, "08");
    EXPECT_TRUE(ShowsSprite(8, 8, {}));
    EXPECT_FALSE(Host(dlg).Warning().IsShownAt(Control(dlg, IDC_HEIGHT)));

    ClickCell({3, 3});
    TypeText(dlg, IDC_NAME, "ship");
    ClickControl(dlg, IDC_MAKECODE);
    EXPECT_EQ(ControlText(dlg, IDC_HEIGHT), "8");
    EXPECT_EQ(ControlText(dlg, IDC_CODE),
              "static unsigned char ship[] = {0x00,0x00,0x00,0x10,0x00,0x00,0x00,0x00};");
    EXPECT_TRUE(ShowsSprite(8, 8, {{3, 3}}));
}

struct RefusedHeightCase {
    const char* name;
    const char* text; // UTF-8
    bool typed;       // typed after the "8"; otherwise pasted over it
    friend void PrintTo(const RefusedHeightCase& c, std::ostream* os) { *os << c.name; }
};

class RefusedHeightTest : public EditorTest,
                          public ::testing::WithParamInterface<RefusedHeightCase> {};

// A height text the read refuses warns at once, keeps the height in force
// and lays nothing out: the drawing goes on at that height. The reads on
// every mouse move show the same warning, never a second one, and the next
// valid height lays the grid out afresh.
TEST_P(RefusedHeightTest, WarnsOnceAndKeepsTheDrawing) {
    const RefusedHeightCase& c = GetParam();
    New();
    ClickCell({2, 2});
    ClickCell({5, 7});
    const QString text = QString::fromUtf8(c.text);
    if (c.typed) {
        QWidget* edit = Control(dlg, IDC_HEIGHT);
        PressKey(edit, Qt::Key_End);
        QTest::keyClicks(edit, text);
    } else {
        PasteText(dlg, IDC_HEIGHT, text);
    }
    EXPECT_EQ(ControlText(dlg, IDC_HEIGHT), c.typed ? "8" + text : text);
    EXPECT_TRUE(Host(dlg).Warning().IsShownAt(Control(dlg, IDC_HEIGHT)));
    EXPECT_TRUE(ShowsSprite(8, 8, {{2, 2}, {5, 7}}));

    for (int x = 30; x < 200; x += 10)
        MouseMove(dlg, QPoint(x, 40), Qt::NoButton);
    ClickCell({7, 7});
    int balloons = 0;
    for (QWidget* w : QApplication::allWidgets())
        balloons += w->isVisible() && w->objectName() == QLatin1String("fieldWarning");
    EXPECT_EQ(balloons, 1);
    EXPECT_TRUE(MessageBoxes().empty());
    EXPECT_EQ(dlg.m_nHeight, 8);
    EXPECT_TRUE(ShowsSprite(8, 8, {{2, 2}, {5, 7}, {7, 7}}));

    TypeText(dlg, IDC_HEIGHT, "5");
    EXPECT_FALSE(Host(dlg).Warning().IsShownAt(Control(dlg, IDC_HEIGHT)));
    EXPECT_TRUE(ShowsSprite(8, 5, {}));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RefusedHeightTest,
    ::testing::Values(RefusedHeightCase{"LetterTypedAfter8", "x", true},
                      RefusedHeightCase{"Empty", "", false}, RefusedHeightCase{"Zero", "0", false},
                      RefusedHeightCase{"Seventeen", "17", false},
                      RefusedHeightCase{"Signed", "+8", false},
                      RefusedHeightCase{"Exponent", "1e1", false},
                      RefusedHeightCase{"ArabicIndicSixteen", "\u0661\u0666", false}));

TEST_F(EditorTest, MakeCodeWithoutANameShowsOneBoxAndKeepsTheCode) {
    New();
    ClickCell({0, 0});
    TypeText(dlg, IDC_NAME, "ship");
    ClickControl(dlg, IDC_MAKECODE);
    const QString code = ControlText(dlg, IDC_CODE);
    ASSERT_FALSE(code.isEmpty());

    TypeText(dlg, IDC_NAME, "");
    ClickCell({1, 0});
    ClickControl(dlg, IDC_MAKECODE);
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_EQ(MessageBoxes()[0].text, "You must enter a name for the sprite!");
    EXPECT_EQ(MessageBoxes()[0].caption, "glimmet");
    EXPECT_EQ(ControlText(dlg, IDC_CODE), code);
}

struct NameCase {
    const char* name;
    const char* text; // UTF-8
    bool hint;
    friend void PrintTo(const NameCase& c, std::ostream* os) { *os << c.name; }
};

class NameHintTest : public EditorTest, public ::testing::WithParamInterface<NameCase> {};

// A name that is not a C identifier gets one quiet hint at the field, which
// keeps the focus; Make Code still writes the name verbatim. A C identifier,
// or an empty name, gets none.
TEST_P(NameHintTest, HintsQuietlyWhenTheNameIsNoCIdentifier) {
    const NameCase& c = GetParam();
    QWidget* name = Control(dlg, IDC_NAME);
    New();
    name->setFocus();
    PasteText(dlg, IDC_NAME, QString::fromUtf8(c.text));
    EXPECT_EQ(Host(dlg).Tip().IsShownAt(name), c.hint);
    if (c.hint) {
        EXPECT_EQ(Host(dlg).Tip().Text(),
                  "Not a C identifier: the code will not compile as it is.");
    }
    int tips = 0;
    for (QWidget* w : QApplication::allWidgets())
        tips += w->isVisible() && w->objectName() == QLatin1String("fieldTip");
    EXPECT_EQ(tips, c.hint ? 1 : 0);
    EXPECT_EQ(QApplication::focusWidget(), name);

    ClickControl(dlg, IDC_MAKECODE);
    if (*c.text) {
        EXPECT_TRUE(MessageBoxes().empty());
        EXPECT_EQ(ControlText(dlg, IDC_CODE).toStdString(),
                  "static unsigned char " + std::string(c.text) +
                      "[] = {0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00};");
    }

    TypeText(dlg, IDC_NAME, "ship");
    EXPECT_FALSE(Host(dlg).Tip().IsShownAt(name));
}

INSTANTIATE_TEST_SUITE_P(
    Names, NameHintTest,
    ::testing::Values(NameCase{"Identifier", "ship_2", false},
                      NameCase{"UnderscoreFirst", "_x9", false}, NameCase{"Empty", "", false},
                      NameCase{"Blank", "my ship", true}, NameCase{"DigitFirst", "8ball", true},
                      NameCase{"Keyword", "int", true}, NameCase{"Punctuation", "ship!", true},
                      NameCase{"NonAscii", "caf\u00e9", true}));

TEST_F(EditorTest, MakeCodeBeforeNewDoesNothing) {
    ClickControl(dlg, IDC_MAKECODE);
    TypeText(dlg, IDC_NAME, "ship");
    ClickControl(dlg, IDC_MAKECODE);
    EXPECT_TRUE(MessageBoxes().empty());
    EXPECT_EQ(ControlText(dlg, IDC_CODE), "");
}

// Each cell covers the device pixels [round(x r), round((x + 10) r)) in each
// direction, in one pure colour, so neighbouring cells touch with neither a
// gap nor an overlap at any ratio.
TEST_F(EditorTest, CellsTileTheDevicePixels) {
    const QByteArray scale = qgetenv("QT_SCALE_FACTOR");
    const qreal r = Ratio(dlg);
    if (!scale.isEmpty()) {
        // The toolkit keeps the factor in single precision.
        ASSERT_NEAR(r, scale.toDouble(), 1e-4) << "the environment's ratio was not applied";
    }

    New();
    for (int row = 0; row < 8; ++row)
        for (int col = row % 2; col < 8; col += 2)
            ClickCell({col, row});

    auto device = [r](int v) { return static_cast<int>(std::lround(v * r)); };
    auto cellAt = [&](int d) { // the cell index whose device span holds d, -1 outside
        for (int i = 0; i < 8; ++i)
            if (device(20 + 10 * i) <= d && d < device(30 + 10 * i))
                return i;
        return -1;
    };
    const QImage& surface = Host(dlg).Surface().Image();
    for (int dy = device(20); dy < device(100) + 2; ++dy) {
        for (int dx = device(20); dx < device(100) + 2; ++dx) {
            const int col = cellAt(dx);
            const int row = cellAt(dy);
            const COLORREF expected = col < 0 || row < 0     ? Face()
                                      : (col + row) % 2 == 0 ? kBlack
                                                             : kWhite;
            const QRgb found = surface.pixel(dx, dy);
            ASSERT_EQ(RGB(qRed(found), qGreen(found), qBlue(found)), expected)
                << "device pixel " << dx << "," << dy << " at ratio " << r;
        }
    }
}

// A click hits the cell drawn under the device pixel beneath it: on the last
// device column or row of a cell and on the first of the next, at every edge
// of the sprite, at the ratio the suite runs at.
TEST_F(EditorTest, ClicksHitTheCellDrawnUnderTheirDevicePixel) {
    const qreal r = Ratio(dlg);
    auto device = [r](int v) { return static_cast<int>(std::lround(v * r)); };
    New();
    for (int edge = 0; edge <= 8; ++edge) {
        const int first = device(20 + 10 * edge);
        for (const auto& [pixel, cell] : {std::pair{first - 1, edge - 1}, std::pair{first, edge}}) {
            for (const bool across : {true, false}) {
                // The position the toolkit makes of a pointer on that pixel.
                const qreal at = pixel / r;
                const QPointF point = across ? QPointF(at, 25) : QPointF(25, at);
                const QPoint onDevice =
                    across ? QPoint(pixel, device(25)) : QPoint(device(25), pixel);
                Click(dlg, point);
                Cells expected;
                if (cell >= 0 && cell < 8)
                    expected.insert(across ? Cell{cell, 0} : Cell{0, cell});
                EXPECT_EQ(SetCells(8), expected)
                    << "device pixel " << pixel << (across ? " across" : " down") << " at ratio "
                    << r;
                if (!expected.empty()) {
                    EXPECT_TRUE(DeviceRectIs(dlg, QRect(onDevice, QSize(1, 1)), kBlack));
                }
                Click(dlg, point, Qt::RightButton);
            }
        }
    }
}

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
            int v = 20 + 10 * index + pick(2, 7);
            if (std::abs(v - windowEnd) <= 2)
                v = v < windowEnd ? windowEnd - 3 : windowEnd + 3;
            return v;
        };
        return QPoint(coordinate(cell.first, 453), coordinate(cell.second, 349));
    };
    const auto inWindow = [](QPoint p) {
        return p.x() >= 0 && p.x() < 453 && p.y() >= 0 && p.y() < 349;
    };
    const auto cellOf = [](QPoint p) {
        const auto index = [](int v) {
            const int offset = v - 20;
            return offset >= 0 ? offset / 10 : -((9 - offset) / 10);
        };
        return Cell{index(p.x()), index(p.y())};
    };

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
        EXPECT_EQ(dlg.m_nHeight, model.height);
        EXPECT_EQ(Host(dlg).Warning().IsShownAt(heightEdit),
                  !ParseWholeNumber(model.heightText.toStdString(), 1, 16).has_value());
        EXPECT_EQ(dlg.m_strName.str(), model.name);
        EXPECT_EQ(ControlText(dlg, IDC_CODE).toStdString(), model.code);
        EXPECT_EQ(MessageBoxes().size(), model.boxes);
        EXPECT_EQ(dlg.m_bGridReady, model.ready);
        if (model.ready) {
            ASSERT_TRUE(ShowsSprite(model.Width(), model.height, model.cells));
        } else {
            ASSERT_TRUE(ClientRectIs(dlg, CRect(20, 20, 340, 180), Face()));
            ASSERT_TRUE(ClientRectIs(dlg, CRect(280, 210, 344, 242), Face()));
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
                model.code = EmitDeclaration(model.widthIndex, model.name, model.height, pixels);
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
