// The editor as a view: what it shows on opening, the system menu, the
// fields and Make Code, the painting at every device pixel ratio, and the
// code styles.

#include "CodeStyleDlg.h"
#include "DlgTemplate.h"
#include "EditorTest.h"
#include "GroupFit.h"

#include "SourceEmitter.h"

#include <QClipboard>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

// The About box and help belong to the application; here it only counts
// the commands that ask for them.
class CCountingApp : public CWinApp {
public:
    int m_nAboutBoxes = 0;
    int m_nHelps = 0;

protected:
    void OnAppAbout() { ++m_nAboutBoxes; }
    void OnHelp() { ++m_nHelps; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCountingApp, CWinApp)
ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

namespace {

TEST_F(EditorTest, OpensWithWidth8Height8AndNothingPainted) {
    EXPECT_TRUE(static_cast<QRadioButton*>(Control(dlg, IDC_WIDTH8))->isChecked());
    EXPECT_EQ(ControlText(dlg, IDC_HEIGHT), "8");
    EXPECT_EQ(ControlText(dlg, IDC_NAME), "");
    EXPECT_EQ(ControlText(dlg, IDC_CODE), "");
    EXPECT_EQ(QApplication::focusWidget(), Control(dlg, IDC_CODE));
    EXPECT_FALSE(Doc().IsLaidOut());
    EXPECT_TRUE(ClientRectIs(dlg, kGridArea, Face()));
    EXPECT_TRUE(ClientRectIs(dlg, kPreviewArea, Face()));
}

TEST_F(EditorTest, SystemMenuEndsWithHelpAndAbout) {
    CMenu* menu = dlg.GetSystemMenu(false);
    ASSERT_NE(menu, nullptr);
    const auto& items = menu->Items();
    ASSERT_GE(items.size(), 3u);
    EXPECT_TRUE(items[items.size() - 3].nFlags & MF_SEPARATOR);
    EXPECT_EQ(items[items.size() - 2].nID, 0x0020u);
    EXPECT_EQ(items[items.size() - 2].text, "H&elp\tF1");
    EXPECT_EQ(items.back().nID, 0x0010u);
    EXPECT_EQ(items.back().text, "&About Glimmet...");

    // Their commands ask the application for the About box and for help,
    // as F1 does, whatever their low four bits; the standard commands keep
    // their default handling.
    CCountingApp app;
    dlg.SendMessage(WM_SYSCOMMAND, 0x0010);
    dlg.SendMessage(WM_SYSCOMMAND, 0x0013);
    EXPECT_EQ(app.m_nAboutBoxes, 2);
    dlg.SendMessage(WM_SYSCOMMAND, 0x0020);
    PressKey(Control(dlg, IDC_NAME), Qt::Key_F1);
    EXPECT_EQ(app.m_nHelps, 2);
    dlg.SendMessage(WM_SYSCOMMAND, SC_MINIMIZE);
    EXPECT_TRUE(dlg.IsIconic());
}

TEST_F(EditorTest, WorkedExampleFromClickToDeclaration) {
    New();
    Click(dlg, QPoint(47, 63));
    EXPECT_EQ(Doc().IsSet({2, 4}), true);
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
// before any further event, as one image at every ratio: the cell and the
// preview together, for a click and for each move of a drag. The preview's
// top row lies just below its frame's title.
TEST_F(EditorTest, DrawingReachesTheScreenAtOnce) {
    New();
    int images = Host(dlg).ScreenImages();
    const auto sentOne = [&] {
        const int sent = Host(dlg).ScreenImages() - images;
        images = Host(dlg).ScreenImages();
        return sent == 1 ? ::testing::AssertionSuccess()
                         : ::testing::AssertionFailure() << sent << " images sent";
    };
    Click(dlg, QPoint(47, 63));
    EXPECT_TRUE(sentOne()) << "click";
    MousePress(dlg, CellPoint({0, 0}), Qt::LeftButton, Qt::NoButton);
    EXPECT_TRUE(sentOne()) << "press";
    MouseMove(dlg, CellPoint({7, 7}), Qt::LeftButton);
    EXPECT_TRUE(sentOne()) << "drag across the sprite";
    MouseRelease(dlg, CellPoint({7, 7}), Qt::LeftButton, Qt::LeftButton);
    // The headless platform grabs only the top-left part of a scaled window,
    // so the screen is read back at a ratio of 1 only; the count above holds
    // at every ratio and is not skipped.
    if (Ratio(dlg) != 1.0)
        return;
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

// A click or a drag repaints the cells it paints and their preview squares,
// not the rest of the grid or the preview: repainting the whole preview
// cost a click half again the toolkit's own work.
TEST_F(EditorTest, StrokesRepaintOnlyTheirCellsAndPreviewSquares) {
    New();
    constexpr COLORREF kMark = RGB(255, 0, 0);
    Host(dlg).Surface().Image().fill(Qt::red);
    ClickCell({5, 5});
    Stroke(Qt::LeftButton, Qt::LeftButton, {0, 0}, {7, 0});
    const auto square = [](Cell cell) {
        const int x = kPreviewLeft + kPreviewScale * cell.first;
        const int y = kPreviewTop + kPreviewScale * cell.second;
        return CRect(x, y, x + kPreviewScale, y + kPreviewScale);
    };
    for (const Cell& cell : Cells{{5, 5}, {0, 0}, {3, 0}, {7, 0}}) {
        EXPECT_TRUE(ClientRectIs(dlg, CellRect(cell.first, cell.second), kBlack));
        EXPECT_TRUE(ClientRectIs(dlg, square(cell), kBlack));
    }
    for (const Cell& cell : Cells{{4, 5}, {0, 1}, {8, 0}, {5, 6}}) {
        EXPECT_TRUE(ClientRectIs(dlg, CellRect(cell.first, cell.second), kMark));
        EXPECT_TRUE(ClientRectIs(dlg, square(cell), kMark));
    }
}

TEST_F(EditorTest, BeforeTheFirstLayoutTheMouseDoesNothing) {
    ClickCell({2, 4});
    Click(dlg, QPoint(47, 63), Qt::RightButton);
    Stroke(Qt::LeftButton, Qt::LeftButton, {0, 0}, {7, 7});
    dlg.RedrawWindow();
    EXPECT_FALSE(Doc().IsLaidOut());
    EXPECT_TRUE(Doc().Pixels().empty());
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

TEST_F(EditorTest, ClicksSetAndClearSingleCells) {
    New();
    ClickCell({3, 3});
    ClickCell({4, 3});
    ClickCell({3, 3}, Qt::RightButton);
    EXPECT_TRUE(ShowsSprite(8, 8, {{4, 3}}));
}

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

// The radio binding's indexes and widths: each radio's width and back, and
// an index that no radio has gives no columns rather than a neighbouring
// width, so a bad stored index cannot size a sprite.
TEST(WidthIndex, MapsEachRadioToItsWidthAndNothingElse) {
    for (const auto& [index, width] : {std::pair{0, 8}, std::pair{1, 16}, std::pair{2, 32}}) {
        EXPECT_EQ(WidthFromIndex(index), width);
        EXPECT_EQ(WidthIndexOf(width), index);
    }
    for (const std::int32_t index : {-1, 3, std::numeric_limits<std::int32_t>::min(),
                                     std::numeric_limits<std::int32_t>::max()})
        EXPECT_EQ(WidthFromIndex(index), 0);
}

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
    EXPECT_EQ(Doc().Height(), 8);
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

// Ctrl+C in the grid and Copy Code in either menu make the code as Make
// Code does, with the same checks, and put it on the clipboard; in the
// fields and the code box Ctrl+C copies their own selected text. Each case
// draws the top-left cell of a new 8 x 8 grid (unless there is no grid),
// names the sprite and gives the keyboard to where the copy happens.
enum class CopyFrom { Grid, WindowMenu, ContextMenu, NameField, HeightField, CodeBox };

struct CopyCase {
    const char* name;
    bool laidOut;
    const char* spriteName;
    CopyFrom from;
    const char* clipboard; // what the clipboard holds afterwards
    const char* code;      // what the code box holds afterwards
    const char* box;       // the message shown, if any
};

class CopyCodeTest : public EditorTest, public ::testing::WithParamInterface<CopyCase> {};

void PrintTo(const CopyCase& c, std::ostream* os) {
    *os << c.name;
}

constexpr char kShip[] = "static unsigned char ship[] = {0x80,0x00,0x00,0x00,0x00,0x00,0x00,0x00};";
constexpr char kOld[] = "static unsigned char old[] = {0x80,0x00,0x00,0x00,0x00,0x00,0x00,0x00};";

TEST_P(CopyCodeTest, CopiesTheCodeOrTheSelectedText) {
    const CopyCase& c = GetParam();
    QApplication::clipboard()->setText("before");
    if (c.laidOut) {
        New();
        ClickCell({0, 0});
    }
    // The code box holds the code of an earlier name.
    TypeText(dlg, IDC_NAME, "old");
    ClickControl(dlg, IDC_MAKECODE);
    TypeText(dlg, IDC_NAME, c.spriteName);
    auto chooseInMenu = [](QWidget* popup) { QTest::keyClick(popup, Qt::Key_Y); };
    switch (c.from) {
    case CopyFrom::Grid:
        Grid()->setFocus();
        PressKey(Grid(), Qt::Key_C, Qt::ControlModifier);
        break;
    case CopyFrom::WindowMenu:
        WhenPopup(chooseInMenu);
        PressKey(Control(dlg, IDC_NAME), Qt::Key_F10);
        break;
    case CopyFrom::ContextMenu:
        Grid()->setFocus();
        WhenPopup(chooseInMenu);
        PressKey(Grid(), Qt::Key_Menu);
        break;
    case CopyFrom::NameField:
    case CopyFrom::HeightField:
    case CopyFrom::CodeBox: {
        QWidget* field = Control(dlg, c.from == CopyFrom::NameField     ? IDC_NAME
                                      : c.from == CopyFrom::HeightField ? IDC_HEIGHT
                                                                        : IDC_CODE);
        field->setFocus();
        PressKey(field, Qt::Key_A, Qt::ControlModifier);
        PressKey(field, Qt::Key_C, Qt::ControlModifier);
        break;
    }
    }
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), c.clipboard);
    EXPECT_EQ(ControlText(dlg, IDC_CODE).toStdString(), c.code);
    if (*c.box) {
        ASSERT_EQ(MessageBoxes().size(), 1u);
        EXPECT_EQ(MessageBoxes()[0].text, c.box);
    } else {
        EXPECT_TRUE(MessageBoxes().empty());
    }
}

constexpr char kNoName[] = "You must enter a name for the sprite!";

INSTANTIATE_TEST_SUITE_P(
    Copies, CopyCodeTest,
    ::testing::Values(
        CopyCase{"CtrlCInTheGrid", true, "ship", CopyFrom::Grid, kShip, kShip, ""},
        CopyCase{"WindowMenu", true, "ship", CopyFrom::WindowMenu, kShip, kShip, ""},
        CopyCase{"ContextMenu", true, "ship", CopyFrom::ContextMenu, kShip, kShip, ""},
        CopyCase{"NoNameAsksForOne", true, "", CopyFrom::Grid, "before", kOld, kNoName},
        CopyCase{"NoGridDoesNothing", false, "ship", CopyFrom::Grid, "before", "", ""},
        CopyCase{"TheNameFieldsText", true, "ship", CopyFrom::NameField, "ship", kOld, ""},
        CopyCase{"TheHeightFieldsText", true, "ship", CopyFrom::HeightField, "8", kOld, ""},
        CopyCase{"TheCodeBoxsText", true, "ship", CopyFrom::CodeBox, kOld, kOld, ""}),
    [](const ::testing::TestParamInfo<CopyCase>& info) { return std::string(info.param.name); });

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
            if (device(CellEdge(i)) <= d && d < device(CellEdge(i + 1)))
                return i;
        return -1;
    };
    const QImage& surface = Host(dlg).Surface().Image();
    for (int dy = device(kGridOrigin); dy < device(CellEdge(8)) + 2; ++dy) {
        for (int dx = device(kGridOrigin); dx < device(CellEdge(8)) + 2; ++dx) {
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

// device column or row of a cell and on the first of the next, at every edge
// of the sprite, at the ratio the suite runs at.
TEST_F(EditorTest, ClicksHitTheCellDrawnUnderTheirDevicePixel) {
    const qreal r = Ratio(dlg);
    auto device = [r](int v) { return static_cast<int>(std::lround(v * r)); };
    New();
    for (int edge = 0; edge <= 8; ++edge) {
        const int first = device(CellEdge(edge));
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
                EXPECT_EQ(SetCells(), expected)
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
    EXPECT_EQ(dlg.GetCodeForm(), form);
    ClickControl(dlg, IDC_MAKECODE);
    const std::string expected = EmitCode(form, "ship", {16, 5, Doc().Pixels()});
    EXPECT_EQ(ControlText(dlg, IDC_CODE).toStdString(), expected);
    QWidget* code = Control(dlg, IDC_CODE);
    const bool described =
        form.style != CodeStyle::Rows || form.language == CodeLanguage::MicroPython;
    EXPECT_EQ(code->toolTip().isEmpty(), !described);
    EXPECT_EQ(code->accessibleDescription().isEmpty(), !described);
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
        const CodeForm form = other.GetCodeForm();
        other.EndDialog(IDCANCEL);
        return form;
    };
    EXPECT_EQ(formOfNewEditor(), CodeForm{});
    EXPECT_FALSE(QFile::exists(file)) << "reading the settings wrote them";

    const CodeForm picked{CodeStyle::Pages, CodeLanguage::Arduino, CodeSize::Defines};
    PickCodeForm(dlg, picked, "Cancel");
    EXPECT_EQ(dlg.GetCodeForm(), CodeForm{});
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
    // The radio of a row: its group's slot at the row's place in the table.
    const auto slot = [&](int nFirstID, auto rows, auto field, auto choice) {
        const auto row = std::find_if(rows.begin(), rows.end(),
                                      [&](const auto& r) { return r.*field == choice; });
        return radio(nFirstID + static_cast<int>(row - rows.begin()));
    };
    const auto layout = [&](CodeStyle s) {
        return slot(IDC_LAYOUT_FIRST, Layouts(), &LayoutForm::style, s);
    };
    const auto language = [&](CodeLanguage l) {
        return slot(IDC_LANGUAGE_FIRST, Languages(), &LanguageForm::language, l);
    };
    const auto size = [&](CodeSize z) { return slot(IDC_SIZE_FIRST, Sizes(), &SizeForm::size, z); };
    const auto sample = [&] { return ControlText(style, IDC_SAMPLE).toStdString(); };

    // Each group has a slot for every row and shows those alone, inside the
    // frame that holds its first slot, which the dialog fits to them.
    const auto frameOf = [&](const QRect& first) {
        for (const auto& group : Host(style).Controls().Frames())
            if (group.Rect().contains(first))
                return group.Rect();
        return QRect();
    };
    const auto labelled = [&](int nFirstID, int nLastID, auto rows) {
        ASSERT_LE(rows.size(), static_cast<std::size_t>(nLastID - nFirstID + 1));
        const QRect frame = frameOf(radio(nFirstID)->geometry());
        for (int nID = nFirstID; nID <= nLastID; ++nID) {
            const auto i = static_cast<std::size_t>(nID - nFirstID);
            EXPECT_EQ(radio(nID)->isVisible(), i < rows.size()) << nID;
            if (i < rows.size()) {
                EXPECT_EQ(radio(nID)->text(), Label(rows[i]));
                EXPECT_TRUE(frame.contains(radio(nID)->geometry())) << nID;
            }
        }
    };
    // The boxes the dialog fits are controls it can reach.
    for (const int nBox : {IDC_LAYOUT_BOX, IDC_LANGUAGE_BOX, IDC_SIZE_BOX, IDC_SAMPLE_BOX})
        EXPECT_NE(style.GetDlgItem(nBox), nullptr) << nBox;
    labelled(IDC_LAYOUT_FIRST, IDC_LAYOUT_LAST, Layouts());
    labelled(IDC_LANGUAGE_FIRST, IDC_LANGUAGE_LAST, Languages());
    labelled(IDC_SIZE_FIRST, IDC_SIZE_LAST, Sizes());
    // The template's boxes frame today's rows: the dialog is its template.
    for (const auto& entry : Host(style).Controls().Entries()) {
        CRect rect = TemplateRect(*entry.tpl);
        style.MapDialogRect(&rect);
        if (entry.tpl->kind != ControlKind::AutoRadioButton) {
            EXPECT_EQ(entry.widget->geometry(),
                      QRect(rect.left, rect.top, rect.Width(), rect.Height()));
        }
    }
    EXPECT_EQ(Host(style).size(), QSize(543, 273));
    // The labels come after the layout, so the template must leave them room.
    for (QRadioButton* button : Host(style).findChildren<QRadioButton*>())
        EXPECT_LE(button->sizeHint().width(), button->width()) << button->text().toStdString();
    EXPECT_TRUE(layout(CodeStyle::Rows)->hasFocus());

    // A sprite with no name yet is shown as "sprite".
    EXPECT_EQ(sample(), "static unsigned char sprite[] = {0xC1,0x3C};");
    EXPECT_TRUE(layout(CodeStyle::Rows)->isChecked());
    EXPECT_FALSE(size(CodeSize::Leading)->isEnabled());

    layout(CodeStyle::RowBytes)->click();
    size(CodeSize::Leading)->click();
    EXPECT_TRUE(layout(CodeStyle::RowBytes)->isChecked()) << "the groups are not exclusive alone";
    EXPECT_TRUE(language(CodeLanguage::C)->isChecked());
    EXPECT_EQ(sample(), "static unsigned char sprite[] = {8, 2, 0xc1, 0x3c};");

    // Back to rows, leading no longer applies: it is greyed and none is taken.
    layout(CodeStyle::Rows)->click();
    EXPECT_FALSE(size(CodeSize::Leading)->isEnabled());
    EXPECT_TRUE(size(CodeSize::None)->isChecked());
    EXPECT_EQ(style.GetForm(), CodeForm{});

    size(CodeSize::Defines)->click();
    language(CodeLanguage::MicroPython)->click();
    EXPECT_FALSE(size(CodeSize::Defines)->isEnabled());
    EXPECT_TRUE(size(CodeSize::None)->isChecked());
    EXPECT_EQ(sample(), "sprite = bytearray(b'\\xc1\\x3c')\n"
                        "sprite_fb = framebuf.FrameBuffer(sprite, 8, 2, framebuf.MONO_HLSB)");
    EXPECT_EQ(style.GetForm(),
              (CodeForm{CodeStyle::Rows, CodeLanguage::MicroPython, CodeSize::None}));
    style.EndDialog(IDCANCEL);
}

// The code style groups fitted to other numbers of rows than today's tables
// have: each box holds the slots of its rows and no other, what lies below
// the groups moves by `shift` dialog units and keeps clear of every box, the
// client area holds it all, and whatever moves can be found by its id.
struct GroupFitCase {
    std::size_t layouts;
    std::size_t languages;
    std::size_t sizes;
    int shift;
    friend void PrintTo(const GroupFitCase& c, std::ostream* os) {
        *os << c.layouts << "/" << c.languages << "/" << c.sizes << " rows";
    }
};

class GroupFitTest : public ::testing::TestWithParam<GroupFitCase> {};

TEST_P(GroupFitTest, BoxesHoldTheirRowsAndWhatLiesBelowKeepsClear) {
    const GroupFitCase& c = GetParam();
    const auto dialogs = AfxGetResourceTables().dialogs;
    const auto tpl = std::find_if(dialogs.begin(), dialogs.end(),
                                  [](const DialogTemplate& d) { return d.id == IDD_CODE_STYLE; });
    ASSERT_NE(tpl, dialogs.end());
    const GroupRows rows[] = {{IDC_LAYOUT_FIRST, c.layouts},
                              {IDC_LANGUAGE_FIRST, c.languages},
                              {IDC_SIZE_FIRST, c.sizes}};
    const GroupFit fit = FitGroupsToRows(*tpl, rows);
    ASSERT_EQ(fit.rects.size(), tpl->controls.size());
    const auto index = [&](int nID) {
        const auto it = std::find_if(tpl->controls.begin(), tpl->controls.end(),
                                     [&](const ControlTemplate& ctl) { return ctl.id == nID; });
        return static_cast<std::size_t>(it - tpl->controls.begin());
    };
    const auto inside = [](const CRect& outer, const CRect& inner) {
        return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
               inner.bottom <= outer.bottom;
    };
    const CRect client(0, 0, tpl->cx, fit.cy);
    EXPECT_EQ(fit.cy, tpl->cy + c.shift);

    std::vector<CRect> boxes;
    for (const auto& [nBox, nFirst, nLast, n] :
         {std::tuple{IDC_LAYOUT_BOX, IDC_LAYOUT_FIRST, IDC_LAYOUT_LAST, c.layouts},
          std::tuple{IDC_LANGUAGE_BOX, IDC_LANGUAGE_FIRST, IDC_LANGUAGE_LAST, c.languages},
          std::tuple{IDC_SIZE_BOX, IDC_SIZE_FIRST, IDC_SIZE_LAST, c.sizes}}) {
        boxes.push_back(fit.rects[index(nBox)]);
        EXPECT_TRUE(inside(client, boxes.back())) << nBox;
        for (int nID = nFirst; nID <= nLast; ++nID)
            EXPECT_EQ(inside(boxes.back(), fit.rects[index(nID)]),
                      static_cast<std::size_t>(nID - nFirst) < n)
                << nID;
    }
    for (const int nID :
         {IDC_SAMPLE_BOX, IDC_SAMPLE, static_cast<int>(IDOK), static_cast<int>(IDCANCEL)}) {
        CRect expected = TemplateRect(tpl->controls[index(nID)]);
        expected.top += c.shift;
        expected.bottom += c.shift;
        EXPECT_EQ(fit.rects[index(nID)], expected) << nID;
        EXPECT_TRUE(inside(client, expected)) << nID;
        for (const CRect& box : boxes)
            EXPECT_GE(expected.top, box.bottom) << nID;
    }
    for (std::size_t i = 0; i < fit.rects.size(); ++i)
        EXPECT_TRUE(fit.rects[i] == TemplateRect(tpl->controls[i]) ||
                    tpl->controls[i].id != IDC_STATIC)
            << "control " << i << " moves but has no id to be found by";
}

INSTANTIATE_TEST_SUITE_P(Rows, GroupFitTest,
                         ::testing::Values(GroupFitCase{4, 3, 3, 0}, // today's tables
                                           GroupFitCase{5, 4, 4, 14}, GroupFitCase{6, 3, 3, 28},
                                           // more rows than slots show the slots
                                           GroupFitCase{9, 3, 3, 28},
                                           // the lowest edge may be another group's
                                           GroupFitCase{2, 4, 3, 0}, GroupFitCase{1, 1, 1, -42}));

} // namespace
