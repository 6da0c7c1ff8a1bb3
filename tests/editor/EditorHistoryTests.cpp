// History, keyboard drawing and the accessible grid: each change one step,
// undone and redone; commands in the middle of a stroke; the grid's keys,
// focus and cursor; what assistive technology reads.

#include "EditorTest.h"

#include "StateFile.h"

#include <QAccessible>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

#include <map>
#include <vector>

namespace {

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
    EXPECT_FALSE(Doc().IsLaidOut());
    EXPECT_TRUE(Doc().Pixels().empty());
    EXPECT_TRUE(ClientRectIs(dlg, kGridArea, Face()));
    EXPECT_TRUE(ClientRectIs(dlg, kPreviewArea, Face()));
    // Nothing left to undo, and keys in the blank grid do nothing.
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(Doc().IsLaidOut());

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
    ASSERT_EQ(QApplication::focusWidget(), Grid());
    for (const auto& [key, mods] : GetParam().keys)
        Key(key, mods);
    EXPECT_TRUE(ShowsSprite(8, 4, GetParam().set));
    const CPoint cur = Grid()->Grid().GetCurCell();
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
    EXPECT_FALSE(Doc().IsLaidOut());
    EXPECT_TRUE(Doc().Pixels().empty());
    EXPECT_TRUE(ClientRectIs(dlg, kGridArea, Face()));
}

TEST_F(HistoryTest, AClickGivesTheGridTheFocusAndTheCursorFollows) {
    New();
    ClickCell({4, 6});
    EXPECT_EQ(QApplication::focusWidget(), Grid());
    EXPECT_EQ(Grid()->Grid().GetCurCell(), CPoint(4, 6));
    Key(Qt::Key_Right, kShift);
    EXPECT_TRUE(ShowsSprite(8, 8, {{4, 6}, {5, 6}}));
}

// Every control has a name that says what it is, the static texts are
// read, the grid is a table of named cells, and the preview an image.
TEST_F(HistoryTest, AssistiveTechnologyReadsEveryControl) {
    QAccessibleInterface* window =
        QAccessible::queryAccessibleInterface(platform_detail::WidgetOf(dlg.GetSafeHwnd()));
    ASSERT_NE(window, nullptr);
    std::map<std::string, QAccessible::Role> named;
    for (int i = 0; i < window->childCount(); ++i)
        if (QAccessibleInterface* child = window->child(i)) {
            named[child->text(QAccessible::Name).toStdString()] = child->role();
            // A screen reader finds each child's place, and the child where
            // it stands.
            EXPECT_EQ(window->indexOfChild(child), i);
            EXPECT_EQ(child->parent(), window);
            if (child->role() == QAccessible::StaticText) {
                const QPoint middle = child->rect().center();
                EXPECT_EQ(window->childAt(middle.x(), middle.y()), child);
            }
        }
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
        {"Left click to draw, and right click to erase", QAccessible::StaticText},
    };
    for (const auto& [name, role] : expected) {
        ASSERT_TRUE(named.count(name)) << name;
        EXPECT_EQ(named[name], role) << name;
    }

    QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(Grid());
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

// A command that arrives while a button is still held ends the stroke as one
// step first; what the button draws afterwards is a new stroke, recorded like
// any other. With a step to redo, the drag draws along row 3, the command
// comes, the drag goes on along row 5 and ends: then nothing is left to redo,
// undo gives back the drawing just after the command, and further undos reach
// the drawing before the drag.
struct MidStrokeCase {
    const char* name;
    void (*command)(HistoryTest&);
};

class MidStrokeCommandTest : public HistoryTest,
                             public ::testing::WithParamInterface<MidStrokeCase> {
public:
    void CtrlKey(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        Key(key, Qt::ControlModifier | mods);
    }
    void Width16() { ClickRadio(IDC_WIDTH16); }
    void HeightDown() { QTest::mouseClick(SpinArrow(false), Qt::LeftButton); }
    void NewGrid() { New(); }
    void PasteOwnLine() {
        QApplication::clipboard()->setText(
            "static unsigned char s[] = {0xFF,0x81,0x81,0x81,0x81,0x81,0x81,0xFF};");
        CtrlKey(Qt::Key_V);
    }
    void DropImage() {
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(qRgb(255, 255, 255));
        for (int x = 0; x < 8; ++x)
            image.setPixel(x, 0, qRgb(0, 0, 0));
        ASSERT_TRUE(image.save(m_dir.filePath("dark.png")));
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(m_dir.filePath("dark.png"))});
        EXPECT_TRUE(Drop(dlg, QPoint(200, 150), data));
    }

private:
    QTemporaryDir m_dir;
};

void PrintTo(const MidStrokeCase& c, std::ostream* os) {
    *os << c.name;
}

TEST_P(MidStrokeCommandTest, EndsTheStrokeAndRecordsWhatFollows) {
    New();
    ClickCell({1, 1});
    ClickCell({6, 6});
    Key(Qt::Key_Z, Qt::ControlModifier);
    const Drawing beforeDrag = Now();
    MousePress(dlg, CellPoint({0, 3}), Qt::LeftButton, Qt::NoButton);
    MouseMove(dlg, CellPoint({3, 3}), Qt::LeftButton);
    GetParam().command(*this);
    const Drawing afterCommand = Now();
    MouseMove(dlg, CellPoint({5, 5}), Qt::LeftButton);
    MouseMove(dlg, CellPoint({7, 5}), Qt::LeftButton);
    MouseRelease(dlg, CellPoint({7, 5}), Qt::LeftButton, Qt::LeftButton);
    const Drawing afterDrag = Now();
    ASSERT_FALSE(afterDrag == afterCommand) << "the drag drew nothing after the command";

    auto& test = static_cast<MidStrokeCommandTest&>(*this);
    test.CtrlKey(Qt::Key_Y);
    EXPECT_TRUE(Shows(afterDrag)) << "something was left to redo";
    test.CtrlKey(Qt::Key_Z);
    EXPECT_TRUE(Shows(afterCommand)) << "the drawing after the command";
    for (int undo = 0; undo < 3 && !(Now() == beforeDrag); ++undo)
        test.CtrlKey(Qt::Key_Z);
    EXPECT_TRUE(Shows(beforeDrag)) << "the drawing before the drag";
}

INSTANTIATE_TEST_SUITE_P(
    Commands, MidStrokeCommandTest,
    ::testing::Values(
        MidStrokeCase{
            "Undo",
            [](HistoryTest& t) { static_cast<MidStrokeCommandTest&>(t).CtrlKey(Qt::Key_Z); }},
        MidStrokeCase{
            "Redo",
            [](HistoryTest& t) { static_cast<MidStrokeCommandTest&>(t).CtrlKey(Qt::Key_Y); }},
        MidStrokeCase{"Paste",
                      [](HistoryTest& t) { static_cast<MidStrokeCommandTest&>(t).PasteOwnLine(); }},
        MidStrokeCase{"Open",
                      [](HistoryTest& t) { static_cast<MidStrokeCommandTest&>(t).DropImage(); }},
        MidStrokeCase{
            "Shift",
            [](HistoryTest& t) { static_cast<MidStrokeCommandTest&>(t).CtrlKey(Qt::Key_Right); }},
        MidStrokeCase{
            "Invert",
            [](HistoryTest& t) { static_cast<MidStrokeCommandTest&>(t).CtrlKey(Qt::Key_I); }},
        MidStrokeCase{"New",
                      [](HistoryTest& t) { static_cast<MidStrokeCommandTest&>(t).NewGrid(); }},
        MidStrokeCase{"Width",
                      [](HistoryTest& t) { static_cast<MidStrokeCommandTest&>(t).Width16(); }},
        MidStrokeCase{"Height",
                      [](HistoryTest& t) { static_cast<MidStrokeCommandTest&>(t).HeightDown(); }}),
    [](const ::testing::TestParamInfo<MidStrokeCase>& info) {
        return std::string(info.param.name);
    });

// ---------------------------------------------------------------------------
// The history kept between runs

// However the window ends, the next one opens blank as always, and Ctrl+Z
// steps back into the last drawing, then through its history.
enum class Ending { Escape, EnterInTheName, CloseBox };

class KeptHistoryTest : public HistoryTest, public ::testing::WithParamInterface<Ending> {
protected:
    // A window after this one, shown, with the keyboard in its code box.
    void StartNext() {
        ASSERT_TRUE(m_next.Create());
        ShowAndWait(m_next);
    }
    void UndoInNext() { PressKey(Control(m_next, IDC_CODE), Qt::Key_Z, Qt::ControlModifier); }
    const SpriteDocument& NextDoc() const { return m_next.GetDocument(); }

    CEditorDlg m_next;
};

void PrintTo(Ending ending, std::ostream* os) {
    *os << (ending == Ending::Escape           ? "Escape"
            : ending == Ending::EnterInTheName ? "EnterInTheName"
                                               : "CloseBox");
}

TEST_P(KeptHistoryTest, TheNextWindowUndoesIntoTheLastDrawing) {
    ClickRadio(IDC_WIDTH16);
    ClickCell({1, 1});
    const SpriteState firstCell = Doc().State();
    MousePress(dlg, CellPoint({3, 2}), Qt::LeftButton, Qt::NoButton);
    MouseMove(dlg, CellPoint({9, 2}), Qt::LeftButton);
    // The stroke is still held when the window ends.
    const SpriteState drawn = Doc().State();
    switch (GetParam()) {
    case Ending::Escape:
        Key(Qt::Key_Escape);
        break;
    case Ending::EnterInTheName:
        TypeText(dlg, IDC_NAME, "ship");
        Key(Qt::Key_Return);
        break;
    case Ending::CloseBox:
        Host(dlg).close();
        break;
    }
    ASSERT_FALSE(Host(dlg).isVisible());

    StartNext();
    EXPECT_FALSE(NextDoc().IsLaidOut());
    EXPECT_EQ(ControlText(m_next, IDC_HEIGHT), "8");
    EXPECT_TRUE(ClientRectIs(m_next, kGridArea, Face()));
    UndoInNext();
    EXPECT_EQ(NextDoc().State(), drawn);
    EXPECT_TRUE(static_cast<QRadioButton*>(Control(m_next, IDC_WIDTH16))->isChecked());
    EXPECT_TRUE(ClientRectIs(m_next, CellRect(9, 2), kBlack));
    UndoInNext();
    EXPECT_EQ(NextDoc().State(), firstCell);
    EXPECT_TRUE(ClientRectIs(m_next, CellRect(9, 2), kWhite));
    EXPECT_TRUE(MessageBoxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Endings, KeptHistoryTest,
                         ::testing::Values(Ending::Escape, Ending::EnterInTheName,
                                           Ending::CloseBox));

// A file that is not a history is as if there were none, without a word; of
// two windows the one that ends last leaves its history.
TEST_F(KeptHistoryTest, ADamagedFileIsIgnoredAndTheLastWindowToEndWins) {
    ASSERT_TRUE(AfxWriteStateFile("glimmet", "history", "glimmet-history 1\nsteps 1\n8 8 1 FF\n"));
    StartNext();
    UndoInNext();
    EXPECT_FALSE(NextDoc().IsLaidOut());
    EXPECT_TRUE(MessageBoxes().empty());

    New();
    ClickCell({2, 2});
    PressKey(Control(m_next, IDC_CODE), Qt::Key_Escape);
    PressKey(Control(dlg, IDC_CODE), Qt::Key_Escape);
    CEditorDlg last;
    ASSERT_TRUE(last.Create());
    ShowAndWait(last);
    PressKey(Control(last, IDC_CODE), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(last.GetDocument().IsSet({2, 2}));
}

// ---------------------------------------------------------------------------
// Typing a height

// What the user does in the height field, or between two typings.
struct HeightMove {
    enum Kind {
        SelectAllAndType,
        Type,
        Backspace,
        Paste,
        ArrowUp,
        ArrowDown,
        KeyUp,
        DrawCell,
        Undo
    };
    Kind kind;
    const char* text = "";
};

// Each case starts from an 8 x 8 drawing with the keyboard in the height
// field and counts the undos that bring the drawing back: layouts typed one
// after another are one step; arrows, and anything drawn in between, are
// steps of their own.
struct TypedHeightCase {
    const char* name;
    std::vector<HeightMove> moves;
    int undos;
};

class TypedHeightTest : public HistoryTest, public ::testing::WithParamInterface<TypedHeightCase> {
protected:
    void Do(const HeightMove& move) {
        QWidget* field = Control(dlg, IDC_HEIGHT);
        switch (move.kind) {
        case HeightMove::SelectAllAndType:
            field->setFocus();
            PressKey(field, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(field, move.text);
            break;
        case HeightMove::Type:
            QTest::keyClicks(field, move.text);
            break;
        case HeightMove::Backspace:
            PressKey(field, Qt::Key_Backspace);
            break;
        case HeightMove::Paste:
            PasteText(dlg, IDC_HEIGHT, move.text);
            break;
        case HeightMove::ArrowUp:
        case HeightMove::ArrowDown:
            QTest::mouseClick(SpinArrow(move.kind == HeightMove::ArrowUp), Qt::LeftButton);
            break;
        case HeightMove::KeyUp:
            PressKey(field, Qt::Key_Up);
            break;
        case HeightMove::DrawCell:
            ClickCell({0, 0});
            break;
        case HeightMove::Undo:
            dlg.SendMessage(WM_COMMAND, IDM_EDIT_UNDO);
            break;
        }
    }
};

void PrintTo(const TypedHeightCase& c, std::ostream* os) {
    *os << c.name;
}

TEST_P(TypedHeightTest, TakesOneUndoPerStep) {
    New();
    ClickCell({1, 1});
    ClickCell({6, 6});
    const Drawing drawn = Now();
    Control(dlg, IDC_HEIGHT)->setFocus();
    for (const HeightMove& move : GetParam().moves)
        Do(move);
    ASSERT_FALSE(Now() == drawn);
    for (int undo = 1; undo < GetParam().undos; ++undo) {
        dlg.SendMessage(WM_COMMAND, IDM_EDIT_UNDO);
        EXPECT_FALSE(Now() == drawn) << "back after " << undo << " undo(s)";
    }
    dlg.SendMessage(WM_COMMAND, IDM_EDIT_UNDO);
    EXPECT_TRUE(Shows(drawn));
}

using M = HeightMove;

INSTANTIATE_TEST_SUITE_P(
    Heights, TypedHeightTest,
    ::testing::Values(
        TypedHeightCase{"TwoDigits", {{M::SelectAllAndType, "12"}}, 1},
        TypedHeightCase{
            "RetypedThroughAnEmptyField",
            {{M::SelectAllAndType, "12"}, {M::Backspace}, {M::Backspace}, {M::Type, "3"}},
            1},
        TypedHeightCase{"TypedThenPasted", {{M::SelectAllAndType, "1"}, {M::Paste, "14"}}, 1},
        TypedHeightCase{"EachArrowIsAStep", {{M::ArrowDown}, {M::ArrowDown}}, 2},
        TypedHeightCase{"EachArrowKeyIsAStep", {{M::KeyUp}, {M::KeyUp}}, 2},
        TypedHeightCase{"TypedAfterAnArrow", {{M::ArrowUp}, {M::SelectAllAndType, "12"}}, 2},
        TypedHeightCase{"ACellDrawnBetween",
                        {{M::SelectAllAndType, "1"}, {M::DrawCell}, {M::SelectAllAndType, "12"}},
                        3},
        TypedHeightCase{"AnUndoBetween",
                        {{M::SelectAllAndType, "4"}, {M::Undo}, {M::SelectAllAndType, "12"}},
                        1}),
    [](const ::testing::TestParamInfo<TypedHeightCase>& info) {
        return std::string(info.param.name);
    });

} // namespace
