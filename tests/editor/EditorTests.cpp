// The editor through real Qt input on its window: what it stores, what it
// paints on its client surface, and what it writes into its controls.

#include "ArrayReader.h"
#include "CodeStyleDlg.h"
#include "Controls.h"
#include "DialogHost.h"
#include "EditorDlg.h"
#include "Handles.h"
#include "NumberText.h"
#include "SourceEmitter.h"
#include "WidgetTest.h"
#include "WinApp.h"

#include <QAccessible>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
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

// ---------------------------------------------------------------------------
// Bringing a sprite back: pasted or dropped C text, and image files

// The cells of a picture of '#' (set) and '.' (clear) rows.
Cells CellsFromRows(const std::vector<std::string>& rows) {
    Cells cells;
    for (std::size_t row = 0; row < rows.size(); ++row)
        for (std::size_t col = 0; col < rows[row].size(); ++col)
            if (rows[row][col] == '#')
                cells.insert({static_cast<int>(col), static_cast<int>(row)});
    return cells;
}

// What a paste or an image leaves: a sprite, or a message box and the
// drawing as it was.
struct Outcome {
    int width = 0; // 0: everything stays
    std::vector<std::string> rows = {};
    const char* name = "";
    const char* box = nullptr;
};

Outcome Sprite(int width, std::vector<std::string> rows, const char* name) {
    return {width, std::move(rows), name};
}

Outcome Box(const char* text) {
    return {0, {}, "", text};
}

// An 8 x 8 sprite with one cell set and a name: what a paste or an image
// that fails must leave exactly as it was.
class BringBackTest : public EditorTest {
protected:
    void DrawBefore() {
        New();
        ClickCell({1, 1});
        TypeText(dlg, IDC_NAME, "ship");
    }
    // The drawing as DrawBefore left it or, if nothing was drawn, no grid.
    ::testing::AssertionResult DrawingBefore(bool bDrawn) {
        if (!bDrawn)
            return dlg.m_bGridReady ? ::testing::AssertionFailure() << "the grid was laid out"
                                    : ::testing::AssertionSuccess();
        return ShowsSprite(8, 8, {{1, 1}});
    }
    // The same, with the name and height fields as they were.
    ::testing::AssertionResult KeptBefore(bool bDrawn) {
        if (bDrawn && (ControlText(dlg, IDC_NAME) != "ship" || ControlText(dlg, IDC_HEIGHT) != "8"))
            return ::testing::AssertionFailure() << "a field changed";
        return DrawingBefore(bDrawn);
    }
    // The outcome is what the window shows and the boxes it asked for. A
    // sprite applied is one step: undo brings back the drawing before it,
    // though not the name, which is no part of the drawing.
    ::testing::AssertionResult Left(const Outcome& o, bool bDrawn) {
        const std::vector<RecordedBox>& boxes = MessageBoxes();
        if (boxes.size() != (o.box ? 1u : 0u) || (o.box && boxes[0].text != o.box))
            return ::testing::AssertionFailure()
                   << boxes.size() << " box(es): " << (boxes.empty() ? "" : boxes[0].text);
        if (o.width == 0)
            return KeptBefore(bDrawn);
        if (ControlText(dlg, IDC_NAME) != o.name ||
            ControlText(dlg, IDC_HEIGHT) != QString::number(o.rows.size()))
            return ::testing::AssertionFailure() << "the name or height field disagrees";
        if (auto shown =
                ShowsSprite(o.width, static_cast<int>(o.rows.size()), CellsFromRows(o.rows));
            !shown)
            return shown;
        CtrlKeyInGrid(Qt::Key_Z);
        return DrawingBefore(bDrawn) << " after undo";
    }
    QWidget* Grid() { return platform_detail::WidgetOf(dlg.m_grid.GetSafeHwnd()); }
    // Ctrl and a key in the grid, once the window is active again after any
    // modal window, as the window's keys need.
    void CtrlKeyInGrid(Qt::Key key) {
        EXPECT_TRUE(QTest::qWaitForWindowActive(platform_detail::WidgetOf(dlg.GetSafeHwnd())));
        PressKey(Grid(), key, Qt::ControlModifier);
    }
};

enum class PasteBy { KeyInGrid, KeyInCode, Drop };

// The chooser: how many readings it offers, the one taken (-1 for Esc, 0
// with Enter, others with a click), its label and a part of the prompt.
struct Chooser {
    int nReadings = 0; // 0: no chooser
    int nTake = 0;
    const char* label = "";
    const char* prompt = "";
};

struct PasteCase {
    const char* what;
    std::string text;
    PasteBy by;
    bool bDrawn; // a sprite is drawn and named first
    Chooser chooser;
    Outcome outcome;
    friend void PrintTo(const PasteCase& c, std::ostream* os) { *os << c.what; }
};

class PasteTest : public BringBackTest, public ::testing::WithParamInterface<PasteCase> {
protected:
    // Takes the reading the case says once the chooser is up, after checking
    // that its picture shows the reading black on white, four screen pixels
    // per sprite pixel, centred in its icon.
    void TakeReading(QWidget* modal) {
        const Chooser& c = GetParam().chooser;
        const Outcome& o = GetParam().outcome;
        auto* list = modal->findChild<QListWidget*>();
        EXPECT_EQ(list->count(), c.nReadings);
        EXPECT_EQ(list->currentRow(), 0) << "the most likely reading is not selected";
        EXPECT_TRUE(modal->findChild<QLabel*>()->text().contains(c.prompt));
        if (c.nTake < 0) {
            PressKey(list, Qt::Key_Escape);
            return;
        }
        QListWidgetItem* item = list->item(c.nTake);
        EXPECT_EQ(item->text(), c.label);
        const QSize icon = list->iconSize();
        const QImage picture = item->icon().pixmap(icon).toImage();
        const qreal ratio = picture.width() / qreal(icon.width());
        const int h = static_cast<int>(o.rows.size());
        const QPoint origin((icon.width() - 4 * o.width) / 2, (icon.height() - 4 * h) / 2);
        const Cells set = CellsFromRows(o.rows);
        for (int row = 0; row < h; ++row)
            for (int col = 0; col < o.width; ++col)
                EXPECT_EQ(picture.pixel((origin + QPoint(4 * col + 2, 4 * row + 2)) * ratio),
                          set.count({col, row}) ? qRgb(0, 0, 0) : qRgb(255, 255, 255))
                    << "picture pixel " << col << "," << row;
        if (c.nTake == 0)
            PressKey(list, Qt::Key_Return);
        else
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                              list->visualItemRect(item).center());
    }
};

TEST_P(PasteTest, AppliesTheReadingChosenOrChangesNothing) {
    const PasteCase& c = GetParam();
    if (c.bDrawn)
        DrawBefore();
    if (c.chooser.nReadings > 0)
        WhenModal([this](QWidget* modal) { TakeReading(modal); },
                  [](QWidget* modal) { return modal->findChild<QListWidget*>() != nullptr; });
    if (c.by == PasteBy::Drop) {
        QMimeData data;
        data.setText(QString::fromStdString(c.text));
        EXPECT_TRUE(Drop(dlg, QPoint(150, 100), data));
    } else {
        QApplication::clipboard()->setText(QString::fromStdString(c.text));
        PressKey(c.by == PasteBy::KeyInGrid ? Grid() : Control(dlg, IDC_CODE), Qt::Key_V,
                 Qt::ControlModifier);
    }
    EXPECT_TRUE(Left(c.outcome, c.bDrawn));
}

const std::string kTwoBytes = "{0x81, 0x42}";

INSTANTIATE_TEST_SUITE_P(
    Texts, PasteTest,
    ::testing::Values(
        PasteCase{"OwnLineAtOnceBeforeAnyLayout",
                  "static unsigned short int arrow[] = {0xC003,0x3C80};",
                  PasteBy::KeyInCode,
                  false,
                  {},
                  Sprite(16, {"##............##", "..####..#......."}, "arrow")},
        PasteCase{"XbmFileAtOnce",
                  "#define arrow_width 16\n#define arrow_height 2\n"
                  "static unsigned char arrow_bits[] = {\n   0x01, 0x80, 0xff, 0x00};\n",
                  PasteBy::KeyInGrid,
                  true,
                  {},
                  Sprite(16, {"#..............#", "########........"}, "arrow_bits")},
        PasteCase{"BareListTakesTheSecondAndKeepsTheName",
                  kTwoBytes,
                  PasteBy::Drop,
                  true,
                  {4, 1, "16 x 1, rows, leftmost pixel high"},
                  Sprite(16, {"#......#.#....#."}, "ship")},
        PasteCase{"EnterTakesTheFirstAndThePromptNamesTheArrays",
                  "uint8_t one[] = {0x81, 0x42};\nuint8_t two[] = {1, 2};",
                  PasteBy::KeyInGrid,
                  true,
                  {4, 0, "8 x 2, rows, leftmost pixel high",
                   "The text holds 2 arrays; the first, one, was read."},
                  Sprite(8, {"#......#", ".#....#."}, "one")},
        PasteCase{"EscChangesNothing", kTwoBytes, PasteBy::KeyInGrid, true, {4, -1}, {}},
        PasteCase{"BadValueNamesTokenLineAndColumn",
                  "uint8_t a[] = {\n  1, 0x1FF};",
                  PasteBy::KeyInGrid,
                  true,
                  {},
                  Box("Line 2, column 6: The value 0x1FF is too big for an 8-bit element. "
                      "(\"0x1FF\")")},
        PasteCase{"NothingToReadBeforeAnyLayout",
                  "ship",
                  PasteBy::Drop,
                  false,
                  {},
                  Box("Line 1, column 1: No array found: paste a declaration with a brace list "
                      "of values. (\"ship\")")},
        PasteCase{"TextOverOneMebibyteIsRefused",
                  std::string(kMaxArrayTextBytes + 1, ' '),
                  PasteBy::KeyInCode,
                  true,
                  {},
                  Box("The text is too long to read: the limit is 1 MiB.")}));

// Image files of every size class, with alpha and grey levels, and files
// that cannot be read. Each is made afresh in a private directory.
using MakeFile = std::function<void(const QString& path)>;

struct ImageCase {
    const char* what;
    const char* file;
    MakeFile make; // none: there is no such file
    Outcome outcome;
    friend void PrintTo(const ImageCase& c, std::ostream* os) { *os << c.what; }
};

// A picture of '#' (black) and '.' (white) rows.
MakeFile Picture(std::vector<std::string> rows) {
    return [rows = std::move(rows)](const QString& path) {
        QImage image(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()),
                     QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, rows[y][x] == '#' ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        ASSERT_TRUE(image.save(path));
    };
}

// Black at full, half and just under half alpha, clear, then the two greys
// either side of half luminance.
void SaveLevels(const QString& path) {
    QImage image(6, 1, QImage::Format_ARGB32);
    const QRgb pixels[] = {qRgba(0, 0, 0, 255),       qRgba(0, 0, 0, 128),
                           qRgba(0, 0, 0, 127),       qRgba(0, 0, 0, 0),
                           qRgba(127, 127, 127, 255), qRgba(128, 128, 128, 255)};
    for (int x = 0; x < 6; ++x)
        image.setPixel(x, 0, pixels[x]);
    ASSERT_TRUE(image.save(path));
}

void SaveBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A PNG whose last 20 bytes, the end of its pixels and its end chunk, are cut.
void SaveTruncatedPng(const QString& path) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(QImage(40, 30, QImage::Format_RGB32).save(&buffer, "PNG"));
    SaveBytes(path, png.left(png.size() - 20));
}

// A real PNG whose header says 10000 x 10.
void SaveTooWide(const QString& path) {
    QImage image(10000, 10, QImage::Format_Mono);
    image.fill(0);
    ASSERT_TRUE(image.save(path));
}

std::vector<std::string> Repeat(const std::string& row, int n) {
    return std::vector<std::string>(static_cast<std::size_t>(n), row);
}

class ImageTest : public BringBackTest, public ::testing::WithParamInterface<ImageCase> {};

TEST_P(ImageTest, DroppedFileBecomesTheSpriteOrChangesNothing) {
    const ImageCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(c.file));
    if (c.make)
        c.make(path);
    DrawBefore();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    EXPECT_TRUE(Drop(dlg, QPoint(150, 100), data));
    EXPECT_TRUE(Left(c.outcome, true));
}

INSTANTIATE_TEST_SUITE_P(
    Files, ImageTest,
    ::testing::Values(
        ImageCase{"SmallKeepsItsSize", "tiny-ship.png", Picture({"#...#", "..#..", ".#..."}),
                  Sprite(8, {"#...#...", "..#.....", ".#......"}, "tiny_ship")},
        ImageCase{"TwentyColumnsTakeWidth32", "wide.bmp",
                  Picture(Repeat("#..................#", 16)),
                  Sprite(32, Repeat("#..................#............", 16), "wide")},
        ImageCase{"LargeIsScaledKeepingItsAspect", "8ball.pbm",
                  Picture(Repeat(std::string(32, '#') + std::string(32, '.'), 64)),
                  Sprite(16, Repeat("########........", 16), "_8ball")},
        ImageCase{"DarkAndOpaqueAtLeastHalf", "levels.png", &SaveLevels,
                  Sprite(8, {"##..#..."}, "levels")},
        ImageCase{"NotAnImage", "notes.png",
                  [](const QString& path) { SaveBytes(path, "unsigned char x[] = {1};\n"); },
                  Box("The file \"notes.png\" is not an image in a format that can be read.")},
        ImageCase{"TruncatedPng", "cut.png", &SaveTruncatedPng,
                  Box("The image \"cut.png\" is damaged or cut short: its pixels cannot be "
                      "read.")},
        ImageCase{"HeaderClaimsTooWide", "huge.png", &SaveTooWide,
                  Box("The image \"huge.png\" is too large: images of at most 8192 pixels a "
                      "side can be opened.")},
        ImageCase{"NoSuchFile", "gone.png", {}, Box("The file \"gone.png\" cannot be opened.")}));

// Ctrl+O asks for the file with a filter of the image formats.
TEST_F(BringBackTest, OpenImageAsksForTheFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("dot.png");
    Picture({"..", ".#"})(path);
    DrawBefore();
    WhenModal(
        [&](QWidget* modal) {
            auto* files = static_cast<QFileDialog*>(modal);
            EXPECT_TRUE(files->nameFilters().join(' ').contains("*.png"));
            files->selectFile(path);
            static_cast<QDialog*>(files)->accept();
        },
        [](QWidget* modal) { return qobject_cast<QFileDialog*>(modal) != nullptr; });
    CtrlKeyInGrid(Qt::Key_O);
    EXPECT_TRUE(Left(Sprite(8, {"........", ".#......"}, "dot"), true));
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

// --- History, keyboard drawing and the accessible grid ---------------------

namespace {

// What the drawing is: its size and set cells.
struct Drawing {
    int w = 0;
    int h = 0;
    Cells set;
    friend bool operator==(const Drawing&, const Drawing&) = default;
};

class HistoryTest : public EditorTest {
protected:
    Drawing Now() const {
        const int w = WidthFromIndex(dlg.m_nWidthIndex);
        return {w, dlg.m_nHeight, SetCells(w)};
    }
    // A key to whatever has the keyboard focus, as a person presses it.
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        PressKey(QApplication::focusWidget(), key, mods);
    }
    ::testing::AssertionResult Shows(const Drawing& d) {
        if (ControlText(dlg, IDC_HEIGHT) != QString::number(d.h))
            return ::testing::AssertionFailure()
                   << "the height field shows " << ControlText(dlg, IDC_HEIGHT).toStdString();
        return ShowsSprite(d.w, d.h, d.set);
    }
};

struct StepCase {
    const char* name;
    void (*step)(HistoryTest&);
};

class HistoryStepTest : public HistoryTest, public ::testing::WithParamInterface<StepCase> {
public:
    void DoStroke() { Stroke(Qt::LeftButton, Qt::LeftButton, {0, 5}, {7, 5}); }
    void DoKeyboard() {
        Key(Qt::Key_Down);
        Key(Qt::Key_Space);
    }
    void DoNew() { New(); }
    void DoWidth() { ClickRadio(IDC_WIDTH16); }
    void DoHeight() { QTest::mouseClick(SpinArrow(false), Qt::LeftButton); }
    void DoKeyFor(Qt::Key key, Qt::KeyboardModifiers mods) { Key(key, mods); }
};

void PrintTo(const StepCase& c, std::ostream* os) {
    *os << c.name;
}

// Each kind of change is one step: undo puts back exactly the drawing before
// it (size, pixels, fields, screen), redo the drawing it made, and neither
// lays anything out again.
TEST_P(HistoryStepTest, UndoAndRedoPutTheStepBack) {
    New();
    ClickCell({1, 1});
    ClickCell({6, 2});
    const Drawing before = Now();
    GetParam().step(*this);
    const Drawing after = Now();
    ASSERT_FALSE(after == before) << "the step changed nothing";

    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(Shows(before));
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(Shows(after));
    Key(Qt::Key_Z, Qt::ControlModifier);
    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(Shows(after));
}

INSTANTIATE_TEST_SUITE_P(
    Steps, HistoryStepTest,
    ::testing::Values(
        StepCase{"Stroke", [](HistoryTest& t) { static_cast<HistoryStepTest&>(t).DoStroke(); }},
        StepCase{"KeyboardChange",
                 [](HistoryTest& t) { static_cast<HistoryStepTest&>(t).DoKeyboard(); }},
        StepCase{"New", [](HistoryTest& t) { static_cast<HistoryStepTest&>(t).DoNew(); }},
        StepCase{"Width", [](HistoryTest& t) { static_cast<HistoryStepTest&>(t).DoWidth(); }},
        StepCase{"Height", [](HistoryTest& t) { static_cast<HistoryStepTest&>(t).DoHeight(); }},
        StepCase{"ShiftLeft",
                 [](HistoryTest& t) {
                     static_cast<HistoryStepTest&>(t).DoKeyFor(Qt::Key_Left, Qt::ControlModifier);
                 }},
        StepCase{"ShiftDown",
                 [](HistoryTest& t) {
                     static_cast<HistoryStepTest&>(t).DoKeyFor(Qt::Key_Down, Qt::ControlModifier);
                 }},
        StepCase{"FlipHorizontal",
                 [](HistoryTest& t) {
                     static_cast<HistoryStepTest&>(t).DoKeyFor(Qt::Key_H, Qt::ControlModifier |
                                                                              Qt::ShiftModifier);
                 }},
        StepCase{"FlipVertical",
                 [](HistoryTest& t) {
                     static_cast<HistoryStepTest&>(t).DoKeyFor(Qt::Key_V, Qt::ControlModifier |
                                                                              Qt::ShiftModifier);
                 }},
        StepCase{"Invert",
                 [](HistoryTest& t) {
                     static_cast<HistoryStepTest&>(t).DoKeyFor(Qt::Key_I, Qt::ControlModifier);
                 }}),
    [](const ::testing::TestParamInfo<StepCase>& info) { return std::string(info.param.name); });

TEST_F(HistoryTest, UndoPastTheFirstLayoutBlanksTheGridAndANewStepDropsRedo) {
    New();
    ClickCell({3, 3});
    Key(Qt::Key_Z, Qt::ControlModifier);
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(dlg.m_bGridReady);
    EXPECT_EQ(dlg.m_pixels.GetSize(), 0);
    EXPECT_TRUE(ClientRectIs(dlg, CRect(20, 20, 340, 180), Face()));
    EXPECT_TRUE(ClientRectIs(dlg, CRect(280, 210, 344, 242), Face()));
    // Nothing left to undo, and keys in the blank grid do nothing.
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(dlg.m_bGridReady);

    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(ShowsSprite(8, 8, {}));
    ClickCell({5, 5});
    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(ShowsSprite(8, 8, {{5, 5}}));
}

// A stroke released outside the window is still one step of its own: the
// next stroke does not join it.
TEST_F(HistoryTest, AStrokeReleasedOutsideTheWindowEndsThere) {
    New();
    MousePress(dlg, CellPoint({1, 1}), Qt::LeftButton, Qt::NoButton);
    MouseMove(dlg, QPoint(-40, 35), Qt::LeftButton);
    MouseRelease(dlg, QPoint(-40, 35), Qt::LeftButton, Qt::LeftButton);
    ClickCell({5, 5});
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(ShowsSprite(8, 8, {{1, 1}}));
}

TEST_F(HistoryTest, UndoInTheNameFieldUndoesTheTextNotTheDrawing) {
    New();
    ClickCell({2, 2});
    Control(dlg, IDC_NAME)->setFocus();
    TypeText(dlg, IDC_NAME, "ab");
    ASSERT_EQ(QApplication::focusWidget(), Control(dlg, IDC_NAME));
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_NE(ControlText(dlg, IDC_NAME), "ab");
    EXPECT_TRUE(ShowsSprite(8, 8, {{2, 2}}));
}

// The keys of the grid, from the top-left cell of a new 8 x 4 sprite: the
// cells set after them and where the cursor ends.
struct KeysCase {
    const char* name;
    std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys;
    Cells set;
    QPoint cursor;
};

class GridKeysTest : public HistoryTest, public ::testing::WithParamInterface<KeysCase> {};

void PrintTo(const KeysCase& c, std::ostream* os) {
    *os << c.name;
}

TEST_P(GridKeysTest, KeysMoveTheCursorAndChangeCells) {
    TypeText(dlg, IDC_HEIGHT, "4");
    New();
    // Tab from the height field reaches the grid.
    Control(dlg, IDC_HEIGHT)->setFocus();
    Key(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), platform_detail::WidgetOf(dlg.m_grid.GetSafeHwnd()));
    for (const auto& [key, mods] : GetParam().keys)
        Key(key, mods);
    EXPECT_TRUE(ShowsSprite(8, 4, GetParam().set));
    const CPoint cur = dlg.m_grid.GetCurCell();
    EXPECT_EQ(QPoint(cur.x, cur.y), GetParam().cursor);
}

constexpr auto kNone = Qt::NoModifier;
constexpr auto kShift = Qt::ShiftModifier;

INSTANTIATE_TEST_SUITE_P(
    Keys, GridKeysTest,
    ::testing::Values(
        KeysCase{"SpaceTogglesTheFirstCell", {{Qt::Key_Space, kNone}}, {{0, 0}}, {0, 0}},
        KeysCase{"SpaceTwiceClears", {{Qt::Key_Space, kNone}, {Qt::Key_Space, kNone}}, {}, {0, 0}},
        KeysCase{"ArrowsThenSpace",
                 {{Qt::Key_Right, kNone},
                  {Qt::Key_Right, kNone},
                  {Qt::Key_Down, kNone},
                  {Qt::Key_Space, kNone}},
                 {{2, 1}},
                 {2, 1}},
        KeysCase{"EdgesHoldTheCursor",
                 {{Qt::Key_Left, kNone}, {Qt::Key_Up, kNone}, {Qt::Key_Space, kNone}},
                 {{0, 0}},
                 {0, 0}},
        KeysCase{"ShiftArrowsSetTheCellsEntered",
                 {{Qt::Key_Right, kShift}, {Qt::Key_Right, kShift}, {Qt::Key_Down, kShift}},
                 {{1, 0}, {2, 0}, {2, 1}},
                 {2, 1}},
        KeysCase{"ShiftArrowAtTheEdgeSetsNothing", {{Qt::Key_Up, kShift}}, {}, {0, 0}},
        KeysCase{"TheCursorStopsAtTheSpritesLastRow",
                 {{Qt::Key_Down, kNone},
                  {Qt::Key_Down, kNone},
                  {Qt::Key_Down, kNone},
                  {Qt::Key_Down, kNone},
                  {Qt::Key_Space, kNone}},
                 {{0, 3}},
                 {0, 3}},
        KeysCase{"DeleteClears",
                 {{Qt::Key_Space, kNone}, {Qt::Key_Delete, kNone}, {Qt::Key_Delete, kNone}},
                 {},
                 {0, 0}}),
    [](const ::testing::TestParamInfo<KeysCase>& info) { return std::string(info.param.name); });

TEST_F(HistoryTest, BeforeTheFirstLayoutGridKeysAndCommandsDoNothing) {
    Control(dlg, IDC_HEIGHT)->setFocus();
    Key(Qt::Key_Tab);
    for (Qt::Key key : {Qt::Key_Space, Qt::Key_Right, Qt::Key_Delete})
        Key(key);
    Key(Qt::Key_Left, Qt::ControlModifier);
    Key(Qt::Key_I, Qt::ControlModifier);
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(dlg.m_bGridReady);
    EXPECT_EQ(dlg.m_pixels.GetSize(), 0);
    EXPECT_TRUE(ClientRectIs(dlg, CRect(20, 20, 340, 180), Face()));
}

TEST_F(HistoryTest, AClickGivesTheGridTheFocusAndTheCursorFollows) {
    New();
    ClickCell({4, 6});
    EXPECT_EQ(QApplication::focusWidget(), platform_detail::WidgetOf(dlg.m_grid.GetSafeHwnd()));
    EXPECT_EQ(dlg.m_grid.GetCurCell(), CPoint(4, 6));
    Key(Qt::Key_Right, kShift);
    EXPECT_TRUE(ShowsSprite(8, 8, {{4, 6}, {5, 6}}));
}

// Every control has a name that says what it is, the grid is a table of
// named cells, and the preview an image.
TEST_F(HistoryTest, AssistiveTechnologyReadsEveryControl) {
    QAccessibleInterface* window =
        QAccessible::queryAccessibleInterface(platform_detail::WidgetOf(dlg.GetSafeHwnd()));
    ASSERT_NE(window, nullptr);
    std::map<std::string, QAccessible::Role> named;
    for (int i = 0; i < window->childCount(); ++i)
        if (QAccessibleInterface* child = window->child(i))
            named[child->text(QAccessible::Name).toStdString()] = child->role();
    const std::pair<const char*, QAccessible::Role> expected[] = {
        {"Width: 8 Pixels", QAccessible::RadioButton},
        {"Width: 16 Pixels", QAccessible::RadioButton},
        {"Width: 32 Pixels", QAccessible::RadioButton},
        {"Height", QAccessible::EditableText},
        {"Sprite name", QAccessible::EditableText},
        {"Generated code", QAccessible::EditableText},
        {"New", QAccessible::Button},
        {"Make Code", QAccessible::Button},
        {"Drawing area", QAccessible::Table},
        {"Preview", QAccessible::Graphic},
    };
    for (const auto& [name, role] : expected) {
        ASSERT_TRUE(named.count(name)) << name;
        EXPECT_EQ(named[name], role) << name;
    }

    QAccessibleInterface* grid =
        QAccessible::queryAccessibleInterface(platform_detail::WidgetOf(dlg.m_grid.GetSafeHwnd()));
    EXPECT_EQ(grid->childCount(), 0);
    New();
    ClickCell({4, 2});
    ASSERT_EQ(grid->childCount(), 64);
    auto* table = grid->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->cellAt(2, 4)->text(QAccessible::Name), "row 3, column 5, set");
    EXPECT_EQ(table->cellAt(0, 0)->text(QAccessible::Name), "row 1, column 1, clear");
    EXPECT_TRUE(grid->focusChild() && grid->focusChild()->state().focused);
    EXPECT_EQ(grid->focusChild()->tableCellInterface()->rowIndex(), 2);
}

// The commands open over the grid with the Menu key, Redo greyed until
// there is something to redo.
TEST_F(HistoryTest, TheMenuKeyOpensTheCommandsOverTheGrid) {
    New();
    Control(dlg, IDC_HEIGHT)->setFocus();
    Key(Qt::Key_Tab);
    QStringList enabled;
    WhenPopup([&](QWidget* popup) {
        for (QAction* action : popup->actions())
            if (action->isEnabled() && !action->isSeparator())
                enabled << action->text().section(QLatin1Char('\t'), 0, 0);
        static_cast<QMenu*>(popup)->close();
    });
    Key(Qt::Key_Menu);
    EXPECT_TRUE(enabled.contains("&Undo"));
    EXPECT_FALSE(enabled.contains("&Redo"));
    EXPECT_TRUE(enabled.contains("Shift &Left"));
    EXPECT_TRUE(enabled.contains("&Invert"));
}

} // namespace

// --- Code styles ------------------------------------------------------------

// Failure messages name a form by its keys. It lives in the form's own
// namespace so that GoogleTest finds it.
inline void PrintTo(const CodeForm& form, std::ostream* os) {
    *os << CodeStyleKey(form.style) << "/" << LanguageOf(form.language).key << "/"
        << SizeOf(form.size).key;
}

namespace {

// The label a table row's radio button shows, as the toolkit holds it.
template <class Row>
QString Label(const Row& row) {
    return QString::fromUtf8(row.menuText.data(), static_cast<qsizetype>(row.menuText.size()));
}

// The radio button of the modal code style dialog that shows `label`.
QRadioButton* RadioLabelled(QWidget* modal, const QString& label) {
    for (QRadioButton* radio : modal->findChildren<QRadioButton*>())
        if (radio->text() == label)
            return radio;
    ADD_FAILURE() << "no choice labelled " << label.toStdString();
    return nullptr;
}

// Opens Code Style from the window menu's command, picks `form` in the
// dialog and ends it with the button labelled `button`.
void PickCodeForm(CEditorDlg& dlg, const CodeForm& form, const QString& button = "OK") {
    WhenModal([&](QWidget* modal) {
        for (const QString& label : {Label(LayoutOf(form.style)), Label(LanguageOf(form.language)),
                                     Label(SizeOf(form.size))})
            if (QRadioButton* radio = RadioLabelled(modal, label))
                radio->click();
        for (QPushButton* push : modal->findChildren<QPushButton*>())
            if (push->text() == button)
                push->click();
    });
    dlg.SendMessage(WM_COMMAND, IDM_CODE_STYLE);
}

class CodeStyleTest : public HistoryTest, public ::testing::WithParamInterface<CodeForm> {};

// Make Code writes the form chosen in the dialog, and the code box says
// which layout it holds except for the default, whose text is the original
// line.
TEST_P(CodeStyleTest, MakeCodeWritesTheChosenForm) {
    const CodeForm form = GetParam();
    TypeText(dlg, IDC_HEIGHT, "5");
    ClickRadio(IDC_WIDTH16);
    ClickCell({0, 0});
    ClickCell({9, 4});
    TypeText(dlg, IDC_NAME, "ship");
    PickCodeForm(dlg, form);
    EXPECT_EQ(dlg.m_codeForm, form);
    ClickControl(dlg, IDC_MAKECODE);
    const std::string expected = EmitCode(form, "ship", {16, 5, dlg.m_pixels});
    EXPECT_EQ(ControlText(dlg, IDC_CODE).toStdString(), expected);
    QWidget* code = Control(dlg, IDC_CODE);
    const bool described =
        form.style != CodeStyle::Rows || form.language == CodeLanguage::MicroPython;
    EXPECT_EQ(code->toolTip().isEmpty(), !described);
    EXPECT_EQ(code->accessibleDescription().isEmpty(), !described);
    if (form == CodeForm{}) {
        EXPECT_EQ(expected, EmitDeclaration(1, "ship", 5, dlg.m_pixels));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Forms, CodeStyleTest,
    ::testing::Values(CodeForm{},
                      CodeForm{CodeStyle::RowBytes, CodeLanguage::Arduino, CodeSize::None},
                      CodeForm{CodeStyle::Xbm, CodeLanguage::C, CodeSize::Defines},
                      CodeForm{CodeStyle::Pages, CodeLanguage::C, CodeSize::Leading},
                      CodeForm{CodeStyle::Rows, CodeLanguage::MicroPython, CodeSize::None}),
    [](const ::testing::TestParamInfo<CodeForm>& info) {
        return std::string(CodeStyleKey(info.param.style)) + "_" +
               std::string(LanguageOf(info.param.language).key) + "_" +
               std::string(SizeOf(info.param.size).key);
    });

// The choices are kept in company/name.conf, keys codeStyle, codeLanguage
// and codeSize of the general section, written only when OK is pressed; a
// missing or unknown value means that choice's default.
TEST_F(HistoryTest, TheCodeFormIsRememberedOnlyWhenPicked) {
    QTemporaryDir home;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());
    const QString file = home.path() + "/Korvex/glimmet.conf";
    app.SetRegistryKey("Korvex");

    auto formOfNewEditor = [] {
        CEditorDlg other;
        other.Create();
        const CodeForm form = other.m_codeForm;
        other.EndDialog(IDCANCEL);
        return form;
    };
    EXPECT_EQ(formOfNewEditor(), CodeForm{});
    EXPECT_FALSE(QFile::exists(file)) << "reading the settings wrote them";

    const CodeForm picked{CodeStyle::Pages, CodeLanguage::Arduino, CodeSize::Defines};
    PickCodeForm(dlg, picked, "Cancel");
    EXPECT_EQ(dlg.m_codeForm, CodeForm{});
    EXPECT_FALSE(QFile::exists(file)) << "Cancel wrote the settings";

    PickCodeForm(dlg, picked);
    const QSettings stored(file, QSettings::IniFormat);
    EXPECT_EQ(stored.value("codeStyle").toString(), "pages");
    EXPECT_EQ(stored.value("codeLanguage").toString(), "arduino");
    EXPECT_EQ(stored.value("codeSize").toString(), "defines");
    EXPECT_EQ(formOfNewEditor(), picked);

    for (const char* value : {"bogus", "", "XBM"}) {
        QSettings(file, QSettings::IniFormat).setValue("codeStyle", value);
        EXPECT_EQ(formOfNewEditor(),
                  (CodeForm{CodeStyle::Rows, CodeLanguage::Arduino, CodeSize::Defines}))
            << value;
    }
}

// The dialog on its own: its groups are labelled from the tables and are
// exclusive each on its own, the sample is what Make Code will write for the
// sprite it was given, and follows every choice, and a size companion that
// does not go with the layout and language is greyed and never chosen.
TEST_F(EditorTest, TheCodeStyleDialogShowsALiveSample) {
    const std::vector<std::uint32_t> pixels = {1, 1, 0, 0, 0, 0, 0, 1, 0, 0, 1, 1, 1, 1, 0, 0};
    const SpriteBits sprite{8, 2, pixels};
    CCodeStyleDlg style({CodeStyle::Rows, CodeLanguage::C, CodeSize::None}, "", sprite, &dlg);
    ASSERT_TRUE(style.Create());
    ShowAndWait(style);
    const auto radio = [&](int nID) { return static_cast<QRadioButton*>(Control(style, nID)); };
    const auto sample = [&] { return ControlText(style, IDC_SAMPLE).toStdString(); };

    for (std::size_t i = 0; i < Layouts().size(); ++i)
        EXPECT_EQ(radio(IDC_LAYOUT_ROWS + static_cast<int>(i))->text(), Label(Layouts()[i]));
    for (std::size_t i = 0; i < Languages().size(); ++i)
        EXPECT_EQ(radio(IDC_LANGUAGE_C + static_cast<int>(i))->text(), Label(Languages()[i]));
    for (std::size_t i = 0; i < Sizes().size(); ++i)
        EXPECT_EQ(radio(IDC_SIZE_NONE + static_cast<int>(i))->text(), Label(Sizes()[i]));
    // The labels come after the layout, so the template must leave them room.
    for (QRadioButton* button : Host(style).findChildren<QRadioButton*>())
        EXPECT_LE(button->sizeHint().width(), button->width()) << button->text().toStdString();
    EXPECT_TRUE(radio(IDC_LAYOUT_ROWS)->hasFocus());

    // A sprite with no name yet is shown as "sprite".
    EXPECT_EQ(sample(), "static unsigned char sprite[] = {0xC1,0x3C};");
    EXPECT_TRUE(radio(IDC_LAYOUT_ROWS)->isChecked());
    EXPECT_FALSE(radio(IDC_SIZE_LEADING)->isEnabled());

    radio(IDC_LAYOUT_ROWBYTES)->click();
    radio(IDC_SIZE_LEADING)->click();
    EXPECT_TRUE(radio(IDC_LAYOUT_ROWBYTES)->isChecked()) << "the groups are not exclusive alone";
    EXPECT_TRUE(radio(IDC_LANGUAGE_C)->isChecked());
    EXPECT_EQ(sample(), "static unsigned char sprite[] = {8, 2, 0xc1, 0x3c};");

    // Back to rows, leading no longer applies: it is greyed and none is taken.
    radio(IDC_LAYOUT_ROWS)->click();
    EXPECT_FALSE(radio(IDC_SIZE_LEADING)->isEnabled());
    EXPECT_TRUE(radio(IDC_SIZE_NONE)->isChecked());
    EXPECT_EQ(style.GetForm(), CodeForm{});

    radio(IDC_SIZE_DEFINES)->click();
    radio(IDC_LANGUAGE_MICROPYTHON)->click();
    EXPECT_FALSE(radio(IDC_SIZE_DEFINES)->isEnabled());
    EXPECT_TRUE(radio(IDC_SIZE_NONE)->isChecked());
    EXPECT_EQ(sample(), "sprite = bytearray(b'\\xc1\\x3c')\n"
                        "sprite_fb = framebuf.FrameBuffer(sprite, 8, 2, framebuf.MONO_HLSB)");
    EXPECT_EQ(style.GetForm(),
              (CodeForm{CodeStyle::Rows, CodeLanguage::MicroPython, CodeSize::None}));
    style.EndDialog(IDCANCEL);
}

} // namespace
