// The windowing layer as the editor relies on it: template geometry, the
// up-down control, data exchange and its warning, keyboard handling of a
// modal dialog, the message table and the system menu. A probe dialog on a
// template of this suite's own, laid out as the editor's controls are,
// records what reaches its handlers.

#include "Controls.h"
#include "DialogHost.h"
#include "DlgTemplate.h"
#include "Dlgs.h"
#include "Handles.h"
#include "HelpWindow.h"
#include "Image.h"
#include "Text.h"
#include "WidgetTest.h"
#include "WinApp.h"
#include "Wnd.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextTable>
#include <QToolButton>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

using namespace glimmet_test;

namespace {

// The probe's resources: one dialog with the editor's kinds of control at
// the editor's positions, and the one string the framework looks up itself.
constexpr int IDD_PROBE = 100;
constexpr int IDC_WIDTH8 = 1000;
constexpr int IDC_WIDTH16 = 1001;
constexpr int IDC_WIDTH32 = 1002;
constexpr int IDC_CODE = 1003;
constexpr int IDC_NEW = 1006;
constexpr int IDC_MAKECODE = 1007;
constexpr int IDC_NAME = 1009;
constexpr int IDC_HEIGHT = 1010;
constexpr int IDC_HEIGHT_SPIN = 1011;
constexpr int IDC_PREVIEW_BOX = 1012;
constexpr int IDM_ABOUTBOX = 0x0010;

constexpr ControlTemplate kProbeControls[] = {
    {-1, ControlKind::GroupBox, 0, "Width", 240, 0, 55, 53},
    {IDC_WIDTH8, ControlKind::AutoRadioButton, WS_GROUP, "8 Pixels", 246, 8, 43, 14},
    {IDC_WIDTH16, ControlKind::AutoRadioButton, 0, "16 Pixels", 246, 22, 43, 14},
    {IDC_WIDTH32, ControlKind::AutoRadioButton, 0, "32 Pixels", 246, 36, 43, 14},
    {IDC_CODE, ControlKind::Edit,
     ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY | WS_BORDER | WS_TABSTOP, "", 10, 165, 280, 40},
    {IDC_NEW, ControlKind::PushButton, WS_TABSTOP, "New", 240, 125, 55, 15},
    {IDC_MAKECODE, ControlKind::PushButton, WS_TABSTOP, "Make Code", 240, 140, 55, 15},
    {-1, ControlKind::GroupBox, 0, "Drawing Area", 5, 0, 230, 120},
    {IDC_NAME, ControlKind::Edit, WS_BORDER | WS_TABSTOP, "", 245, 100, 45, 12},
    {IDC_HEIGHT, ControlKind::Edit, WS_BORDER | WS_TABSTOP, "", 245, 65, 45, 15},
    {IDC_HEIGHT_SPIN, ControlKind::UpDown,
     UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS, "", 290, 50, 11, 15},
    {IDC_PREVIEW_BOX, ControlKind::GroupBox, 0, "Preview", 180, 120, 55, 35},
};
constexpr DialogTemplate kProbeDialogs[] = {
    {IDD_PROBE, WS_CAPTION | WS_SYSMENU, 0, 302, 215, "Probe", 8, kProbeControls},
};
constexpr StringResource kProbeStrings[] = {
    {AFX_IDP_PARSE_INT_RANGE, "Enter a whole number from %1 to %2."},
};
constexpr int IDR_PROBE_MENU = 129;
constexpr int IDR_PROBE_ACCEL = 130;
constexpr int IDM_UNDO = 0x8010;
constexpr int IDM_REDO = 0x8020;
constexpr int IDM_STYLE = 0x80C0;
constexpr MenuItemResource kProbeStyles[] = {
    {MenuItemKind::RadioCommand, IDM_STYLE, "&Style"},
};
constexpr MenuItemResource kProbeCommands[] = {
    {MenuItemKind::Command, IDM_UNDO, "&Undo"},
    {MenuItemKind::Command, IDM_REDO, "&Redo"},
    {MenuItemKind::Separator, 0, ""},
    {MenuItemKind::Popup, 0, "S&tyles", kProbeStyles},
};
constexpr MenuResource kProbeMenus[] = {
    {IDR_PROBE_MENU, kProbeCommands, IDR_PROBE_ACCEL},
};
constexpr AcceleratorResource kProbeKeys[] = {
    {"Ctrl+Z", IDM_UNDO},
    {"Ctrl+Shift+Z", IDM_REDO},
    {"Ctrl+Y", IDM_REDO},
    {"Ctrl+1", IDM_STYLE},
};
constexpr AcceleratorTable kProbeAccelerators[] = {
    {IDR_PROBE_ACCEL, kProbeKeys},
};

// Every test of the suite runs on the probe's resources alone.
class ProbeResources : public ::testing::Environment {
    void SetUp() override {
        AfxSetResourceTables({.dialogs = kProbeDialogs,
                              .strings = kProbeStrings,
                              .menus = kProbeMenus,
                              .accelerators = kProbeAccelerators});
    }
};
const auto* const g_probeResources =
    ::testing::AddGlobalTestEnvironment(new ProbeResources); // NOLINT: gtest owns it

// Whatever a derived table does not handle falls through to this one.
class CProbeBase : public CDialog {
public:
    CProbeBase() : CDialog(IDD_PROBE) {}
    std::vector<std::string> m_log;

protected:
    void OnNewBase() { m_log.push_back("base New"); }
    void OnMakeCodeBase() { m_log.push_back("base Make Code"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeBase, CDialog)
ON_BN_CLICKED(IDC_NEW, OnNewBase)
ON_BN_CLICKED(IDC_MAKECODE, OnMakeCodeBase)
END_MESSAGE_MAP()

// The editor's bindings and up-down range, with handlers that only record.
class CProbeDlg : public CProbeBase {
public:
    CSpinButtonCtrl m_spin;
    int m_nWidthIndex = 0;
    CString m_strCode;
    CString m_strName;
    int m_nHeight = 8;
    // Reads the height before the name instead of last.
    bool m_bHeightBeforeName = false;

    int Count(const std::string& entry) const {
        return static_cast<int>(std::count(m_log.begin(), m_log.end(), entry));
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, IDC_HEIGHT_SPIN, m_spin);
        DDX_Radio(pDX, IDC_WIDTH8, m_nWidthIndex);
        DDX_Text(pDX, IDC_CODE, m_strCode);
        if (!m_bHeightBeforeName)
            DDX_Text(pDX, IDC_NAME, m_strName);
        DDX_Text(pDX, IDC_HEIGHT, m_nHeight, 1, 16);
        if (m_bHeightBeforeName)
            DDX_Text(pDX, IDC_NAME, m_strName);
    }
    bool OnInitDialog() override {
        CDialog::OnInitDialog();
        m_spin.SendMessage(UDM_SETRANGE, 0, 0x00100001);
        return true;
    }
    void OnNew() { m_log.push_back("New"); }
    void OnNewAgain() { m_log.push_back("New again"); }
    void OnWidth8() { m_log.push_back("8 Pixels"); }
    void OnWiderWidth(UINT nID) { m_log.push_back("width " + std::to_string(nID)); }
    void OnChangeHeight() { m_log.push_back("height changed"); }
    void OnChangeName() { m_log.push_back("name changed"); }
    DECLARE_MESSAGE_MAP()
};

// The first matching entry wins; an entry for another notification of the
// same control does not match.
BEGIN_MESSAGE_MAP(CProbeDlg, CProbeBase)
ON_EN_CHANGE(IDC_NEW, OnChangeName)
ON_BN_CLICKED(IDC_NEW, OnNew)
ON_BN_CLICKED(IDC_NEW, OnNewAgain)
ON_BN_CLICKED(IDC_WIDTH8, OnWidth8)
ON_CONTROL_RANGE(BN_CLICKED, IDC_WIDTH16, IDC_WIDTH32, OnWiderWidth)
ON_EN_CHANGE(IDC_HEIGHT, OnChangeHeight)
ON_EN_CHANGE(IDC_NAME, OnChangeName)
END_MESSAGE_MAP()

class ProbeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dlg.Create());
        ShowAndWait(dlg);
        dlg.m_log.clear();
    }
    QLineEdit* HeightEdit() { return static_cast<QLineEdit*>(Control(dlg, IDC_HEIGHT)); }
    platform_detail::UpDownControl* Spin() {
        return static_cast<platform_detail::UpDownControl*>(Control(dlg, IDC_HEIGHT_SPIN));
    }
    // The warning balloons on screen.
    static int VisibleBalloons() {
        int n = 0;
        for (QWidget* w : QApplication::allWidgets())
            n += w->isVisible() && w->objectName() == QLatin1String("fieldWarning");
        return n;
    }

    CProbeDlg dlg;
};

TEST_F(ProbeTest, CreateShowsTheDialogModelessly) {
    CProbeDlg other;
    ASSERT_TRUE(other.Create());
    EXPECT_TRUE(platform_detail::WidgetOf(other.GetSafeHwnd())->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// Dialog units map to client pixels with base units 6 x 13, each edge on
// its own and rounded.
TEST_F(ProbeTest, TemplateSizesAndPositionsInClientPixels) {
    CRect client;
    dlg.GetClientRect(&client);
    EXPECT_EQ(client, CRect(0, 0, 453, 349));
    EXPECT_EQ(platform_detail::WidgetOf(dlg.GetSafeHwnd())->size(), QSize(453, 349));

    struct Placement {
        const char* what;
        int nID;
        QRect pixels;
    };
    const Placement placements[] = {
        {"New at 240,125,55,15", IDC_NEW, QRect(360, 203, 83, 25)},
        {"Make Code at 240,140,55,15", IDC_MAKECODE, QRect(360, 228, 83, 24)},
        {"code box at 10,165,280,40", IDC_CODE, QRect(15, 268, 420, 65)},
        {"name box at 245,100,45,12", IDC_NAME, QRect(368, 163, 67, 19)},
    };
    for (const Placement& p : placements)
        EXPECT_EQ(Control(dlg, p.nID)->geometry(), p.pixels) << p.what;

    // The height box and its up-down control share the height box's
    // rectangle, the control at the right edge.
    const QRect edit = Control(dlg, IDC_HEIGHT)->geometry();
    const QRect spin = Control(dlg, IDC_HEIGHT_SPIN)->geometry();
    EXPECT_EQ(edit | spin, QRect(368, 106, 67, 24));
    EXPECT_EQ(spin.right(), 434);
    EXPECT_EQ(edit.right() + 1, spin.left());

    // The group boxes that frame the grid and the preview.
    auto frame = [&](const char* title) {
        for (const auto& group : Host(dlg).Controls().Frames())
            if (group.Title() == QLatin1String(title))
                return group.Rect();
        return QRect();
    };
    EXPECT_EQ(frame("Drawing Area"), QRect(8, 0, 345, 195));
    EXPECT_EQ(frame("Preview"), QRect(270, 195, 83, 57));
}

// A control placed by the program lands at the client rectangle asked; a
// dialog placed on the screen keeps its corner and gives its client area
// what the frame leaves, painted at the screen's ratio. Dialog units map as
// the template's controls were placed.
TEST_F(ProbeTest, MoveWindowFitsControlsAndTheDialogToTheRectangleAsked) {
    CWnd* pNew = dlg.GetDlgItem(IDC_NEW);
    ASSERT_NE(pNew, nullptr);
    const auto placed = [&](CWnd* pWnd) {
        CRect rect;
        pWnd->GetWindowRect(&rect);
        dlg.ScreenToClient(&rect);
        return rect;
    };
    CRect units(240, 125, 240 + 55, 125 + 15);
    dlg.MapDialogRect(&units);
    EXPECT_EQ(units, CRect(360, 203, 443, 228));
    EXPECT_EQ(placed(pNew), units);

    pNew->MoveWindow(10, 260, 51, 31);
    EXPECT_EQ(Control(dlg, IDC_NEW)->geometry(), QRect(10, 260, 51, 31));
    const CRect asked(21, 301, 102, 342);
    pNew->MoveWindow(&asked);
    EXPECT_EQ(placed(pNew), asked);

    CRect window;
    dlg.GetWindowRect(&window);
    window.bottom += 41;
    dlg.MoveWindow(&window);
    CRect client;
    dlg.GetClientRect(&client);
    EXPECT_EQ(client, CRect(0, 0, 453, 390));
    CRect moved;
    dlg.GetWindowRect(&moved);
    EXPECT_EQ(moved, window);
    dlg.RedrawWindow();
    EXPECT_TRUE(ClientRectIs(dlg, CRect(0, 349, 453, 390), Face()));

    // A group box the program names moves as a control does, and the dialog
    // paints its lines where it now stands.
    CWnd* pBox = dlg.GetDlgItem(IDC_PREVIEW_BOX);
    ASSERT_NE(pBox, nullptr);
    const CRect boxAt(40, 40, 140, 100);
    pBox->MoveWindow(&boxAt);
    EXPECT_EQ(placed(pBox), boxAt);
    const auto& frames = Host(dlg).Controls().Frames();
    EXPECT_TRUE(std::any_of(frames.begin(), frames.end(), [&](const auto& frame) {
        return frame.Title() == "Preview" && frame.Rect() == QRect(40, 40, 100, 60);
    }));
}

enum class Gesture { UpArrow, DownArrow, UpKey, DownKey };

struct SpinCase {
    const char* name;
    const char* start;
    Gesture gesture;
    int times;
    const char* expected;
    int changes; // EN_CHANGE notifications of the height box
    friend void PrintTo(const SpinCase& c, std::ostream* os) { *os << c.name; }
};

class UpDownTest : public ProbeTest, public ::testing::WithParamInterface<SpinCase> {};

// The range 0x00100001 puts 1 at the up arrow's end and 16 at the down
// arrow's; each step writes decimal text into the buddy, which notifies.
TEST_P(UpDownTest, StepsTowardTheArrowsEnds) {
    const SpinCase& c = GetParam();
    HeightEdit()->setText(QString::fromLatin1(c.start));
    dlg.m_log.clear();
    for (int i = 0; i < c.times; ++i) {
        switch (c.gesture) {
        case Gesture::UpArrow:
            QTest::mouseClick(Spin()->UpButton(), Qt::LeftButton);
            break;
        case Gesture::DownArrow:
            QTest::mouseClick(Spin()->DownButton(), Qt::LeftButton);
            break;
        case Gesture::UpKey:
            PressKey(HeightEdit(), Qt::Key_Up);
            break;
        case Gesture::DownKey:
            PressKey(HeightEdit(), Qt::Key_Down);
            break;
        }
    }
    EXPECT_EQ(HeightEdit()->text().toStdString(), c.expected);
    EXPECT_EQ(dlg.Count("height changed"), c.changes);
    EXPECT_EQ(dlg.m_spin.GetPos(), std::stoi(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Gestures, UpDownTest,
    ::testing::Values(SpinCase{"UpArrowFrom8", "8", Gesture::UpArrow, 1, "7", 1},
                      SpinCase{"DownArrowFrom8", "8", Gesture::DownArrow, 1, "9", 1},
                      SpinCase{"UpKeyFrom8", "8", Gesture::UpKey, 1, "7", 1},
                      SpinCase{"DownKeyFrom8", "8", Gesture::DownKey, 1, "9", 1},
                      SpinCase{"UpArrowStopsAt1", "3", Gesture::UpArrow, 5, "1", 2},
                      SpinCase{"DownArrowStopsAt16", "14", Gesture::DownArrow, 5, "16", 2},
                      SpinCase{"UpKeyAt1", "1", Gesture::UpKey, 2, "1", 0},
                      SpinCase{"DownKeyAt16", "16", Gesture::DownKey, 2, "16", 0},
                      SpinCase{"UpArrowFromPadded08", " 08 ", Gesture::UpArrow, 1, "7", 1},
                      // From text the buddy refuses, the arrows step from the
                      // last valid number.
                      SpinCase{"UpArrowFromRefused8x", "8x", Gesture::UpArrow, 1, "7", 1},
                      SpinCase{"DownArrowFromRefused8x", "8x", Gesture::DownArrow, 1, "9", 1}));

TEST_F(ProbeTest, AFailedReadKeepsTheHeightAndStopsTheTransfer) {
    for (bool heightBeforeName : {false, true}) {
        SCOPED_TRACE(heightBeforeName ? "height read before the name" : "height read last");
        dlg.m_bHeightBeforeName = heightBeforeName;
        dlg.m_nWidthIndex = 0;
        dlg.m_strCode = "";
        dlg.m_strName = "";
        dlg.m_nHeight = 5;
        ClickControl(dlg, IDC_WIDTH16, QPoint(5, Control(dlg, IDC_WIDTH16)->height() / 2));
        static_cast<QPlainTextEdit*>(Control(dlg, IDC_CODE))->setPlainText("code");
        TypeText(dlg, IDC_NAME, "name");
        TypeText(dlg, IDC_HEIGHT, "abc");

        EXPECT_FALSE(dlg.UpdateData(true));
        EXPECT_EQ(dlg.m_nHeight, 5);
        EXPECT_EQ(dlg.m_nWidthIndex, 1);
        EXPECT_EQ(dlg.m_strCode, "code");
        EXPECT_EQ(dlg.m_strName, heightBeforeName ? "" : "name");
    }
}

struct HeightCase {
    const char* name;
    const char* text;
    int expected; // 0: the read fails
    friend void PrintTo(const HeightCase& c, std::ostream* os) { *os << c.name; }
};

class HeightReadTest : public ProbeTest, public ::testing::WithParamInterface<HeightCase> {};

TEST_P(HeightReadTest, AcceptsOneToSixteenAndWarnsOtherwise) {
    const HeightCase& c = GetParam();
    dlg.m_nHeight = 5;
    HeightEdit()->setText(QString::fromLatin1(c.text));
    const bool ok = dlg.UpdateData(true);
    EXPECT_EQ(ok, c.expected != 0);
    EXPECT_EQ(dlg.m_nHeight, ok ? c.expected : 5);
    EXPECT_EQ(Host(dlg).Warning().IsShownAt(HeightEdit()), !ok);
    EXPECT_EQ(VisibleBalloons(), ok ? 0 : 1);
    if (!ok) {
        EXPECT_EQ(Host(dlg).Warning().Text(), "Enter a whole number from 1 to 16.");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, HeightReadTest,
    ::testing::Values(HeightCase{"Padded08", " 08 ", 8}, HeightCase{"One", "1", 1},
                      HeightCase{"Sixteen", "16", 16}, HeightCase{"Zero", "0", 0},
                      HeightCase{"Seventeen", "17", 0}, HeightCase{"Letters", "abc", 0},
                      HeightCase{"Empty", "", 0}, HeightCase{"Negative", "-3", 0}));

struct SingleLineCase {
    const char* name;
    const char* pasted; // UTF-8
    const char* kept;
    friend void PrintTo(const SingleLineCase& c, std::ostream* os) { *os << c.name; }
};

class SingleLineTest : public ProbeTest, public ::testing::WithParamInterface<SingleLineCase> {};

// A single-line edit never holds a control character: a paste, or a text
// set by the program, keeps the rest, and notifies once.
TEST_P(SingleLineTest, DropsControlCharactersAndKeepsTheRest) {
    const SingleLineCase& c = GetParam();
    const QString kept = QString::fromUtf8(c.kept);
    PasteText(dlg, IDC_NAME, QString::fromUtf8(c.pasted));
    EXPECT_EQ(ControlText(dlg, IDC_NAME), kept);
    EXPECT_EQ(dlg.Count("name changed"), 1);
    dlg.UpdateData(true);
    EXPECT_EQ(dlg.m_strName.str(), c.kept);

    static_cast<QLineEdit*>(Control(dlg, IDC_NAME))->setText(QString::fromUtf8(c.pasted));
    EXPECT_EQ(ControlText(dlg, IDC_NAME), kept);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SingleLineTest,
    ::testing::Values(SingleLineCase{"LineFeed", "ab\ncd", "abcd"},
                      SingleLineCase{"CarriageReturnsAndTabs", "\r\n\tship\t1\r\n", "ship1"},
                      SingleLineCase{"EveryC0AndDel",
                                     "\x01"
                                     "a\x1f\x7f b\x1b",
                                     "a b"},
                      SingleLineCase{"C1NextLine", "a\u0085b", "ab"},
                      SingleLineCase{"LineAndParagraphSeparators", "a\u2028b\u2029c", "abc"},
                      SingleLineCase{"OnlyControls", "\n\n\t", ""},
                      SingleLineCase{"PunctuationAndLettersStay", " my-sprite \u00e9 1! ",
                                     " my-sprite \u00e9 1! "}));

TEST_F(ProbeTest, TheWarningIsOneBalloonThatNeverTakesTheFocus) {
    QWidget* name = Control(dlg, IDC_NAME);
    name->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), name);

    TypeText(dlg, IDC_HEIGHT, "abc");
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(dlg.UpdateData(true));
    QApplication::processEvents();
    EXPECT_EQ(VisibleBalloons(), 1);
    EXPECT_EQ(QApplication::focusWidget(), name);
    EXPECT_EQ(QApplication::activeWindow(), platform_detail::WidgetOf(dlg.GetSafeHwnd()));
    EXPECT_TRUE(MessageBoxes().empty());

    // Typing a valid height takes the warning away at once, before any read.
    TypeText(dlg, IDC_HEIGHT, "12");
    EXPECT_FALSE(Host(dlg).Warning().IsShownAt(HeightEdit()));
    EXPECT_EQ(VisibleBalloons(), 0);
}

TEST_F(ProbeTest, TransfersRaiseNoNotifications) {
    dlg.m_nHeight = 3;
    dlg.m_strName = "x";
    dlg.UpdateData(false);
    dlg.UpdateData(true);
    EXPECT_EQ(HeightEdit()->text(), "3");
    EXPECT_TRUE(dlg.m_log.empty());

    TypeText(dlg, IDC_NAME, "ab");
    EXPECT_EQ(dlg.Count("name changed"), 2);
}

TEST_F(ProbeTest, ClickingTheCheckedRadioButtonNotifiesAgain) {
    ASSERT_TRUE(static_cast<QRadioButton*>(Control(dlg, IDC_WIDTH8))->isChecked());
    for (int i = 0; i < 2; ++i)
        ClickControl(dlg, IDC_WIDTH8, QPoint(5, Control(dlg, IDC_WIDTH8)->height() / 2));
    EXPECT_EQ(dlg.Count("8 Pixels"), 2);
    EXPECT_TRUE(static_cast<QRadioButton*>(Control(dlg, IDC_WIDTH8))->isChecked());
}

// A ranged entry takes each control of its range, and its handler is told
// which; the ids around the range go to their own entries.
TEST_F(ProbeTest, TheTableDispatchesToTheFirstMatchingEntryThenToTheBase) {
    for (const int nID : {IDC_NEW, IDC_MAKECODE, IDC_WIDTH32, IDC_WIDTH16, IDC_WIDTH8})
        ClickControl(dlg, nID, QPoint(5, Control(dlg, nID)->height() / 2));
    EXPECT_EQ(dlg.m_log, (std::vector<std::string>{"New", "base Make Code", "width 1002",
                                                   "width 1001", "8 Pixels"}));
}

TEST_F(ProbeTest, UnhandledPaintErasesToTheFaceColour) {
    Host(dlg).Surface().Image().fill(Qt::red);
    dlg.RedrawWindow();
    EXPECT_TRUE(ClientRectIs(dlg, CRect(0, 0, 453, 349), Face()));
}

// An application whose table takes the help command.
class CProbeApp : public CWinApp {
public:
    CProbeApp() : CWinApp("probe") {}
    int m_nHelp = 0;

protected:
    void OnHelpCommand() { ++m_nHelp; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeApp, CWinApp)
ON_COMMAND(ID_HELP, OnHelpCommand)
END_MESSAGE_MAP()

TEST(ProbeCommands, CommandsNoWindowHandlesGoToTheApplication) {
    CProbeApp app;
    CProbeDlg dlg;
    ASSERT_TRUE(dlg.Create());
    ShowAndWait(dlg);
    PressKey(Control(dlg, IDC_NAME), Qt::Key_F1);
    EXPECT_EQ(app.m_nHelp, 1);
    EXPECT_TRUE(platform_detail::WidgetOf(dlg.GetSafeHwnd())->isVisible());
}

// Keyboard endings of a modal dialog.
TEST(ProbeModal, EnterInTheCodeBoxEndsWithOk) {
    CProbeDlg dlg;
    const int result = RunModal(dlg, [&] { PressKey(Control(dlg, IDC_CODE), Qt::Key_Return); });
    EXPECT_EQ(result, static_cast<int>(IDOK));
}

TEST(ProbeModal, EnterWithAFailingReadStaysAndEscEndsWithCancel) {
    CProbeDlg dlg;
    bool stayed = false;
    const int result = RunModal(dlg, [&] {
        TypeText(dlg, IDC_HEIGHT, "abc");
        PressKey(Control(dlg, IDC_CODE), Qt::Key_Return);
        stayed = platform_detail::WidgetOf(dlg.GetSafeHwnd())->isVisible();
        PressKey(Control(dlg, IDC_CODE), Qt::Key_Escape);
    });
    EXPECT_TRUE(stayed);
    EXPECT_EQ(result, static_cast<int>(IDCANCEL));
    EXPECT_EQ(dlg.m_nHeight, 8);
}

TEST(ProbeModal, EnterOnAFocusedButtonPressesIt) {
    CProbeDlg dlg;
    bool stayed = false;
    const int result = RunModal(dlg, [&] {
        QWidget* newButton = Control(dlg, IDC_NEW);
        newButton->setFocus();
        PressKey(newButton, Qt::Key_Return);
        stayed = platform_detail::WidgetOf(dlg.GetSafeHwnd())->isVisible();
        platform_detail::WidgetOf(dlg.GetSafeHwnd())->close(); // the close box
    });
    EXPECT_TRUE(stayed);
    EXPECT_EQ(dlg.m_log, std::vector<std::string>{"New"});
    EXPECT_EQ(result, static_cast<int>(IDCANCEL));
}

TEST_F(ProbeTest, SystemMenuHoldsTheStandardItemsAndWhatIsAppended) {
    CMenu* menu = dlg.GetSystemMenu(false);
    ASSERT_NE(menu, nullptr);
    const std::size_t standard = menu->Items().size();
    ASSERT_GT(standard, 0u);
    EXPECT_EQ(menu->Items().back().nID, SC_CLOSE);

    menu->AppendMenu(MF_SEPARATOR);
    menu->AppendMenu(MF_STRING, IDM_ABOUTBOX, "&About Glimmet...");
    EXPECT_EQ(dlg.GetSystemMenu(false), menu);
    ASSERT_EQ(menu->Items().size(), standard + 2);
    EXPECT_TRUE(menu->Items()[standard].nFlags & MF_SEPARATOR);
    EXPECT_EQ(menu->Items()[standard + 1].nID, static_cast<UINT>(IDM_ABOUTBOX));
    EXPECT_EQ(menu->Items()[standard + 1].text, "&About Glimmet...");

    EXPECT_EQ(dlg.GetSystemMenu(true), nullptr);
    EXPECT_EQ(dlg.GetSystemMenu(false)->Items().size(), standard);
}

// A picture is held as it is when its decode fits the budget of bytes given,
// read reduced when it does not and its format allows, and refused as too
// large otherwise, with the size its file states either way.
struct ImageLoadCase {
    const char* what;
    const char* file;
    QSize size;            // the picture saved, white
    QImage::Format format; // at this depth
    std::size_t nMaxBytes;
    ImageLoadStatus status;
    QSize held; // the pixels held after the load
    friend void PrintTo(const ImageLoadCase& c, std::ostream* os) { *os << c.what; }
};

class ImageLoadTest : public ::testing::TestWithParam<ImageLoadCase> {};

TEST_P(ImageLoadTest, HoldsNoMoreThanTheBudget) {
    const ImageLoadCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(c.file));
    QImage picture(c.size, c.format);
    picture.fill(Qt::white);
    ASSERT_TRUE(picture.save(path));
    CImage image;
    EXPECT_EQ(image.Load(path.toStdString(), 8192, c.nMaxBytes), c.status);
    EXPECT_EQ(QSize(image.GetWidth(), image.GetHeight()), c.held);
    EXPECT_EQ(QSize(image.GetFileWidth(), image.GetFileHeight()), c.size);
}

constexpr std::size_t kKiB = 1024;
constexpr std::size_t kMiB = 1024 * kKiB;

INSTANTIATE_TEST_SUITE_P(
    Budgets, ImageLoadTest,
    ::testing::Values(ImageLoadCase{"WithinTheBudgetAsItIs",
                                    "small.png",
                                    {40, 30},
                                    QImage::Format_RGB32,
                                    32 * kMiB,
                                    ImageLoadStatus::Loaded,
                                    {40, 30}},
                      ImageLoadCase{"PngOverTheBudgetReadReduced",
                                    "wide.png",
                                    {2048, 64},
                                    QImage::Format_RGB32,
                                    256 * kKiB,
                                    ImageLoadStatus::Loaded,
                                    {1024, 32}},
                      ImageLoadCase{"BmpOverTheBudgetRefused",
                                    "wide.bmp",
                                    {2048, 64},
                                    QImage::Format_RGB32,
                                    256 * kKiB,
                                    ImageLoadStatus::TooLarge,
                                    {0, 0}},
                      // The reader decodes a 16-bit PNG whole before it reduces it.
                      ImageLoadCase{"SixteenBitPngOverTheBudgetRefused",
                                    "deep.png",
                                    {1200, 600},
                                    QImage::Format_RGBA64,
                                    kMiB,
                                    ImageLoadStatus::TooLarge,
                                    {0, 0}},
                      ImageLoadCase{"SixteenBitPngWithinTheBudget",
                                    "deep.png",
                                    {200, 100},
                                    QImage::Format_RGBA64,
                                    kMiB,
                                    ImageLoadStatus::Loaded,
                                    {200, 100}}));

// Whatever depth a file decodes to, its rows come as 32-bit pixels with
// straight alpha.
TEST(ImageRows, ComeAsStraightArgbWhateverTheDepth) {
    QTemporaryDir dir;
    struct Case {
        const char* file;
        QImage::Format format;
        std::array<QRgb, 3> pixels;
    };
    const Case cases[] = {
        {"mono.pbm", QImage::Format_Mono, {0xFF000000u, 0xFFFFFFFFu, 0xFF000000u}},
        {"grey.pgm", QImage::Format_Grayscale8, {0xFF000000u, 0xFF808080u, 0xFFFFFFFFu}},
        {"alpha.png", QImage::Format_ARGB32, {0x80FF0000u, 0x00000000u, 0xFF0000FFu}},
    };
    for (const Case& c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.file));
        QImage picture(3, 2, QImage::Format_ARGB32);
        picture.fill(Qt::white);
        for (int x = 0; x < 3; ++x)
            picture.setPixel(x, 1, c.pixels[static_cast<std::size_t>(x)]);
        ASSERT_TRUE(picture.convertToFormat(c.format).save(path)) << c.file;
        CImage image;
        ASSERT_EQ(image.Load(path.toStdString(), 8192, 1024 * 1024), ImageLoadStatus::Loaded)
            << c.file;
        std::array<std::uint32_t, 3> row{};
        image.GetRow(1, row);
        for (std::size_t x = 0; x < 3; ++x)
            EXPECT_EQ(row[x], c.pixels[x]) << c.file << " pixel " << x << std::hex << " " << row[x];
    }
}

// A clipboard text over the caller's limit comes back cut just past it, and
// still over it where the cut falls inside a character; one within it comes
// back whole.
TEST(Clipboard, TextOverTheLimitComesBackJustOverIt) {
    struct Case {
        const char* text; // UTF-8
        std::size_t nMaxBytes;
        std::string kept; // all of it when within the limit, else what comes first
    };
    const Case cases[] = {
        {"abcdef", 6, "abcdef"},       {"abcdef", 3, "abcd"},
        {"ab\u20ac", 2, "ab"},  // the cut leaves one byte of three
        {"ab\u20acx", 3, "ab"}, // two of three
        {"\u20ac\u20ac", 3, "\u20ac"}, {"", 0, ""},
    };
    for (const Case& c : cases) {
        QGuiApplication::clipboard()->setText(QString::fromUtf8(c.text));
        const std::string text = AfxGetClipboardText(c.nMaxBytes).str();
        EXPECT_TRUE(text.starts_with(c.kept)) << c.text;
        if (std::string_view(c.text).size() <= c.nMaxBytes) {
            EXPECT_EQ(text, c.text);
        } else {
            EXPECT_GT(text.size(), c.nMaxBytes) << c.text;
            EXPECT_LE(text.size(), c.nMaxBytes + 6) << c.text;
        }
    }
    QGuiApplication::clipboard()->clear();
}
// The keys in a menu come from the accelerator table it names: the first
// keys of each command, in submenus too; a separator and a submenu show none.
TEST(ProbeMenus, ItemsShowTheFirstKeysOfTheirAcceleratorTable) {
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_PROBE_MENU));
    ASSERT_EQ(menu.Items().size(), 4u);
    EXPECT_EQ(menu.Items()[0].text, "&Undo\tCtrl+Z");
    EXPECT_EQ(menu.Items()[1].text, "&Redo\tCtrl+Shift+Z");
    EXPECT_TRUE(menu.Items()[2].text.IsEmpty());
    EXPECT_EQ(menu.Items()[3].text, "S&tyles");
    ASSERT_NE(menu.Items()[3].pPopup, nullptr);
    EXPECT_EQ(menu.Items()[3].pPopup->Items().at(0).text, "&Style\tCtrl+1");
    EXPECT_FALSE(CMenu().LoadMenu(IDR_PROBE_ACCEL));
}

// Accelerator keys read as the toolkit reads them: the names the tables use
// and, through the toolkit, any other.
TEST(ProbeMenus, AcceleratorKeysReadAsTheToolkitReadsThem) {
    // Separated by blanks; the empty name last.
    const QStringList names =
        QStringLiteral("Ctrl+Z Ctrl+Shift+Z Ctrl+Y Ctrl+V Ctrl+Left Ctrl+Right Ctrl+Up Ctrl+Down "
                       "Ctrl+Shift+H Ctrl+1 Shift+Alt+Meta+0 Up Q F1 Ctrl+F12 Ctrl+z ctrl+Z "
                       "Ctrl+PgDown Ctrl++ + Ctrl+ Hyper+A Ctrl+AB ")
            .split(u' ');
    for (const QString& keys : names)
        EXPECT_EQ(platform_detail::KeySequenceOf(keys),
                  QKeySequence::fromString(keys, QKeySequence::PortableText))
            << keys.toStdString();
}

// Whatever the tables handed over do not hold is missed by id, and nothing
// is made of it.
TEST(ProbeResources, WhatTheTablesDoNotHoldIsMissed) {
    CDialog missing(IDD_PROBE + 1);
    EXPECT_FALSE(missing.Create());
    EXPECT_EQ(missing.GetSafeHwnd(), nullptr);
    CString text;
    EXPECT_FALSE(text.LoadString(IDD_PROBE));
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_EQ(LoadIcon(1), nullptr);
    CProbeDlg dlg;
    ASSERT_TRUE(dlg.Create());
    EXPECT_FALSE(dlg.LoadAccelTable(IDR_PROBE_MENU));
    EXPECT_TRUE(dlg.LoadAccelTable(IDR_PROBE_ACCEL));
}

// An accelerator's keys send its command wherever the focus is in the
// window, unless the focused control keeps them (a field's own undo and word
// moves); a disabled command's keys do nothing at all.
class CProbeKeysDlg : public CProbeDlg {
public:
    bool m_bStyleEnabled = true;

protected:
    void OnUndo() { m_log.push_back("undo"); }
    void OnRedo() { m_log.push_back("redo"); }
    void OnStyle() { m_log.push_back("style"); }
    void OnUpdateStyle(CCmdUI* pCmdUI) { pCmdUI->Enable(m_bStyleEnabled); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeKeysDlg, CProbeDlg)
ON_COMMAND(IDM_UNDO, OnUndo)
ON_COMMAND(IDM_REDO, OnRedo)
ON_COMMAND(IDM_STYLE, OnStyle)
ON_UPDATE_COMMAND_UI(IDM_STYLE, OnUpdateStyle)
END_MESSAGE_MAP()

TEST(ProbeKeys, AcceleratorsSendTheirCommandUnlessTheFocusedControlKeepsTheKeys) {
    constexpr auto kCtrl = Qt::ControlModifier;
    struct Case {
        int nFocus;
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        std::vector<std::string> log;
        bool fieldUndid;
        bool styleEnabled = true;
    };
    const Case cases[] = {
        {IDC_NEW, Qt::Key_Z, kCtrl, {"undo"}, false},
        {IDC_WIDTH16, Qt::Key_Z, kCtrl, {"undo"}, false},
        {IDC_NEW, Qt::Key_Z, kCtrl | Qt::ShiftModifier, {"redo"}, false},
        {IDC_CODE, Qt::Key_Y, kCtrl | Qt::KeypadModifier, {"redo"}, false},
        {IDC_NAME, Qt::Key_Z, kCtrl, {"name changed"}, true},
        {IDC_NAME, Qt::Key_Y, kCtrl, {}, false},
        {IDC_NAME, Qt::Key_1, kCtrl, {"style"}, false},
        {IDC_NAME, Qt::Key_1, kCtrl, {}, false, false},
        {IDC_NEW, Qt::Key_Y, kCtrl | Qt::AltModifier, {}, false},
    };
    for (const Case& c : cases) {
        CProbeKeysDlg dlg;
        ASSERT_TRUE(dlg.Create());
        ASSERT_TRUE(dlg.LoadAccelTable(IDR_PROBE_ACCEL));
        dlg.m_bStyleEnabled = c.styleEnabled;
        ShowAndWait(dlg);
        TypeText(dlg, IDC_NAME, "ab");
        dlg.m_log.clear();
        QWidget* focus = Control(dlg, c.nFocus);
        focus->setFocus();
        PressKey(focus, c.key, c.mods);
        EXPECT_EQ(dlg.m_log, c.log) << c.nFocus << " " << c.key;
        EXPECT_EQ(ControlText(dlg, IDC_NAME) != QLatin1String("ab"), c.fieldUndid)
            << c.nFocus << " " << c.key;
    }
}

// Artwork characters stand for palette colours, opaque, and '.' for a
// transparent pixel; rows become pixels row by row.
constexpr std::string_view kArt[] = {"0F", ".9"};
constexpr auto kArtPixels = IconArt(kArt);
static_assert(kArtPixels[0] == 0xFF000000u && kArtPixels[1] == 0xFFFFFFFFu);
static_assert(kArtPixels[2] == 0u && kArtPixels[3] == 0xFFFF0000u);
// Windows larger than their content would be must fit the screen's
// available area at every scale, start on it, and lay out their content at
// whatever size the window manager gives them.

// Succeeds if the window lies wholly inside its screen's available area.
::testing::AssertionResult OnScreen(QWidget* window) {
    const QRect room = window->screen()->availableGeometry();
    if (room.contains(window->frameGeometry()))
        return ::testing::AssertionSuccess();
    const QRect at = window->frameGeometry();
    return ::testing::AssertionFailure()
           << "the window at " << at.x() << "," << at.y() << " " << at.width() << "x" << at.height()
           << " leaves the screen's " << room.width() << "x" << room.height();
}

struct ChooserCase {
    const char* what;
    int nPictures;
    int nWidth;
    int nHeight;
    int nScale;
    friend void PrintTo(const ChooserCase& c, std::ostream* os) { *os << c.what; }
};

class ChooserFitTest : public ::testing::TestWithParam<ChooserCase> {};

TEST_P(ChooserFitTest, FitsWrapsAndKeepsThePromptOnTop) {
    const ChooserCase& c = GetParam();
    CPictureChooserDlg chooser;
    chooser.m_strPrompt = "The values can be read as more than one sprite. Choose one:";
    chooser.m_nScale = c.nScale;
    const std::vector<std::uint32_t> pixels(static_cast<std::size_t>(c.nWidth * c.nHeight), 1);
    for (int i = 0; i < c.nPictures; ++i)
        chooser.AddPicture(c.nWidth, c.nHeight, pixels, "16 x 2, rows, leftmost pixel low (XBM)");
    WhenModal([&](QWidget* modal) {
        auto* list = modal->findChild<QListWidget*>();
        auto* prompt = modal->findChild<QLabel*>();
        ASSERT_NE(list, nullptr);
        ASSERT_NE(prompt, nullptr);
        EXPECT_TRUE(OnScreen(modal));
        EXPECT_EQ(list->horizontalScrollBar()->maximum(), 0) << "the columns do not wrap";
        EXPECT_TRUE(list->viewport()->rect().contains(list->visualItemRect(list->item(0))));

        // A window manager that makes the window far larger: the prompt stays
        // above the list, which takes the rest.
        const QSize large = modal->size() + QSize(200, 400);
        modal->resize(large);
        QApplication::processEvents();
        EXPECT_LE(prompt->geometry().top(), 20);
        EXPECT_LE(list->geometry().top(),
                  prompt->geometry().top() + prompt->heightForWidth(prompt->width()) + 20);
        EXPECT_GE(list->geometry().bottom(), modal->height() - 20);
        PressKey(list, Qt::Key_Escape);
    });
    EXPECT_EQ(chooser.DoModal(), static_cast<int>(IDCANCEL));
}

INSTANTIATE_TEST_SUITE_P(Fit, ChooserFitTest,
                         ::testing::Values(ChooserCase{"OnePicture", 1, 8, 1, 4},
                                           ChooserCase{"SixReadingsOfAShortLine", 6, 16, 2, 4},
                                           ChooserCase{"EightLargeSprites", 8, 32, 16, 4},
                                           ChooserCase{"TwelveEnlargedSprites", 12, 32, 16, 8}),
                         [](const auto& info) { return std::string(info.param.what); });

// Greyed pictures are shown but cannot be taken: the one asked for is
// selected, or the next that can be taken, and a click on a greyed one
// leaves the chooser open.
TEST(Chooser, GreyedPicturesCannotBeTaken) {
    const std::vector<std::uint32_t> pixels(8, 1);
    CPictureChooserDlg chooser;
    chooser.AddPicture(8, 1, pixels, "a");
    chooser.AddPicture(0, 0, {}, "big\n40 x 2", false);
    chooser.AddPicture(8, 1, pixels, "c");
    chooser.m_nSelected = 1;
    WhenModal([&](QWidget* modal) {
        auto* list = modal->findChild<QListWidget*>();
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->currentRow(), 2);
        EXPECT_FALSE(list->item(1)->flags() & Qt::ItemIsEnabled);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                          list->visualItemRect(list->item(1)).center());
        EXPECT_TRUE(modal->isVisible());
        PressKey(list, Qt::Key_Return);
    });
    EXPECT_EQ(chooser.DoModal(), static_cast<int>(IDOK));
    EXPECT_EQ(chooser.GetChosen(), 2);
}

// A question's box has Yes, No and, where asked, Cancel, and gives back the
// button pressed; Esc is Cancel, or No without one.
struct QuestionCase {
    UINT nType;
    QMessageBox::StandardButton press; // NoButton: Esc
    int result;
};

class QuestionTest : public ::testing::TestWithParam<QuestionCase> {
protected:
    void TearDown() override { RecordMessageBoxes(); }
};

TEST_P(QuestionTest, GivesTheButtonPressed) {
    const QuestionCase& c = GetParam();
    CProbeDlg dlg;
    ASSERT_TRUE(dlg.Create());
    ShowAndWait(dlg);
    AfxSetMessageBoxHook({});
    WhenModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->standardButtons(),
                  (c.nType == MB_YESNOCANCEL
                       ? QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel
                       : QMessageBox::Yes | QMessageBox::No));
        if (c.press == QMessageBox::NoButton)
            PressKey(box, Qt::Key_Escape);
        else
            box->button(c.press)->click();
    });
    EXPECT_EQ(dlg.MessageBox("Save the changes?", nullptr, c.nType), c.result);
}

INSTANTIATE_TEST_SUITE_P(Buttons, QuestionTest,
                         ::testing::Values(QuestionCase{MB_YESNOCANCEL, QMessageBox::Yes, IDYES},
                                           QuestionCase{MB_YESNOCANCEL, QMessageBox::No, IDNO},
                                           QuestionCase{MB_YESNOCANCEL, QMessageBox::NoButton,
                                                        IDCANCEL},
                                           QuestionCase{MB_YESNO, QMessageBox::NoButton, IDNO}));

// The help window as the application shows it.
class CHelpApp : public CWinApp {
public:
    CHelpApp() : CWinApp("probe") {}
    using CWinApp::ShowHelp;
};

// A help text longer and wider than any screen the tests run on: headings,
// paragraphs, key rows and examples, as the program's own help has them.
std::string LongHelpText() {
    std::string text;
    for (int section = 1; section <= 12; ++section) {
        text += "Section " + std::to_string(section) + "\n";
        text += "  A paragraph long enough to need wrapping on a narrow screen, which says what "
                "the section is about in more words than fit on one line of any window.\n";
        text += "  Ctrl+" + std::to_string(section) + "\tdoes the thing numbered " +
                std::to_string(section) + "\n";
        text += "    static unsigned char example[] = {0x81,0x00};\n\n";
    }
    return text;
}

TEST(Fit, HelpFitsTheScreenWrapsAndScrolls) {
    CHelpApp app;
    CProbeDlg dlg;
    ASSERT_TRUE(dlg.Create());
    ShowAndWait(dlg);
    app.m_pMainWnd = &dlg;
    app.ShowHelp("Help", LongHelpText());
    QWidget* help = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->objectName() == QLatin1String("helpWindow"))
            help = w;
    ASSERT_NE(help, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(help));
    EXPECT_TRUE(OnScreen(help));
    auto* view = help->findChild<QTextBrowser*>();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->horizontalScrollBar()->maximum(), 0) << "the text does not wrap";
    // What does not fit scrolls: the scroll bar reaches the end of the text.
    const QScrollBar* bar = view->verticalScrollBar();
    EXPECT_GE(bar->maximum() + bar->pageStep(),
              static_cast<int>(view->document()->size().height()) - 2);
    app.m_pMainWnd = nullptr;
    help->close();
}

// The help text's own rules: headings, paragraphs, key rows and examples.
TEST(Fit, HelpTextShowsHeadingsKeyTableAndExamples) {
    QTextDocument document;
    document.setHtml(platform_detail::HelpHtml("Keys\n"
                                               "  Tab moves between the fields,\n"
                                               "  one by one.\n"
                                               "  Ctrl+Z\tUndo the last change\n"
                                               "  Ctrl+Shift+Z   Redo what was undone,\n"
                                               "                 step by step\n"
                                               "  F1   This help & more <here>\n"
                                               "\n"
                                               "Output\n"
                                               "  For example:\n"
                                               "    static unsigned char s[] = {0x01};\n"));
    std::vector<std::string> headings;
    std::vector<std::string> paragraphs;
    std::vector<std::string> examples;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (document.rootFrame() != block.document()->frameAt(block.position()) &&
            !block.text().isEmpty())
            continue; // in the table
        if (block.blockFormat().headingLevel() > 0)
            headings.push_back(block.text().toStdString());
        else if (QFontInfo(block.charFormat().font()).fixedPitch())
            examples.push_back(block.text().toStdString());
        else if (!block.text().isEmpty())
            paragraphs.push_back(block.text().toStdString());
    }
    EXPECT_EQ(headings, (std::vector<std::string>{"Keys", "Output"}));
    EXPECT_EQ(paragraphs, (std::vector<std::string>{"Tab moves between the fields, one by one.",
                                                    "For example:"}));
    EXPECT_EQ(examples, std::vector<std::string>{"static unsigned char s[] = {0x01};"});

    QTextTable* table = nullptr;
    for (QTextFrame* frame : document.rootFrame()->childFrames())
        if (auto* t = qobject_cast<QTextTable*>(frame))
            table = t;
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->columns(), 2);
    std::vector<std::pair<std::string, std::string>> rows;
    for (int r = 0; r < table->rows(); ++r) {
        const auto text = [&](int column) {
            const QTextTableCell cell = table->cellAt(r, column);
            return document.toPlainText()
                .mid(cell.firstPosition(), cell.lastPosition() - cell.firstPosition())
                .toStdString();
        };
        rows.emplace_back(text(0), text(1));
    }
    EXPECT_EQ(rows, (std::vector<std::pair<std::string, std::string>>{
                        {"Ctrl+Z", "Undo the last change"},
                        {"Ctrl+Shift+Z", "Redo what was undone, step by step"},
                        {"F1", "This help & more <here>"}}));
}

// A flush copies the surface straight to the screen where no control paints:
// a group frame's lines and title must lie inside what it says it paints,
// at every ratio, or a click beside them would wipe them off the screen.
TEST(GroupFrameFit, PaintsOnlyWhatItReports) {
    // Painted as the dialog paints it, at the ratio the suite runs at.
    const qreal ratio = qApp->devicePixelRatio();
    const QPalette palette = QApplication::palette();
    const QRgb face = palette.color(QPalette::Window).rgb();
    for (const char* title : {"", "Preview", "Sprite Name gjpqy"}) {
        const platform_detail::GroupFrame frame(QRect(10, 10, 120, 57), title);
        QImage shot(QSize(140, 77) * ratio, QImage::Format_RGB32);
        shot.setDevicePixelRatio(ratio);
        shot.fill(face);
        QPainter painter(&shot);
        painter.setFont(QApplication::font());
        frame.Paint(painter, palette, ratio);
        painter.end();
        const QRegion painted = frame.Painted(QFontMetrics(QApplication::font()), ratio);
        int drawn = 0;
        int outside = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                if (shot.pixel(x, y) != face) {
                    ++drawn;
                    const QPoint client(static_cast<int>(x / ratio), static_cast<int>(y / ratio));
                    outside += painted.contains(client) ? 0 : 1;
                }
        EXPECT_GT(drawn, 0) << title;
        EXPECT_EQ(outside, 0) << title;
    }
}

// A static text the dialog paints from the layout it kept when it measured
// it must look exactly as the style draws an item's text in its rectangle,
// which is how a label paints, and measure as a label does.
TEST(PaintedTextFit, PaintsAndMeasuresAsTheToolkitDoes) {
    struct Case {
        const char* text;
        QRect rect;
        Qt::Alignment alignment;
    };
    const Qt::Alignment centred = Qt::AlignHCenter | Qt::AlignVCenter;
    const Qt::Alignment topLeft = Qt::AlignLeft | Qt::AlignTop;
    const Case cases[] = {
        {"Korvex Glimmet 1.0", QRect(15, 203, 240, 16), centred},
        {"Left click to draw, and right click to erase", QRect(15, 230, 240, 16), centred},
        {"Left click to draw, and right click to erase", QRect(7, 5, 90, 16), centred},
        {"Korvex Glimmet Version 1.0 \nWritten by us", QRect(53, 11, 180, 32), topLeft},
        {"one\ntwo\nthree", QRect(3, 3, 60, 20), centred},
        {"one\ntwo", QRect(3, 3, 60, 7), topLeft},
        {"AV To Wa yj", QRect(2, 4, 70, 11), Qt::AlignLeft | Qt::AlignVCenter},
        {"ends in blanks   ", QRect(5, 5, 120, 15), centred},
        {"&Save as", QRect(5, 5, 80, 15), topLeft},
        {"\u05E9\u05DC\u05D5\u05DD", QRect(5, 5, 80, 15), topLeft},
        {"a\tb", QRect(5, 5, 80, 15), centred},
        {"", QRect(5, 5, 80, 15), centred},
    };
    const qreal ratio = qApp->devicePixelRatio();
    const QPalette palette = QApplication::palette();
    const QStyle& style = *QApplication::style();
    for (const Case& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        const auto shot = [&](auto paint) {
            QImage image(QSize(260, 260) * ratio, QImage::Format_RGB32);
            image.setDevicePixelRatio(ratio);
            image.fill(palette.color(QPalette::Window));
            QPainter painter(&image);
            paint(painter, image);
            return image;
        };
        int measured = 0;
        const QImage kept = shot([&](QPainter& painter, QImage& image) {
            platform_detail::PaintedText painted(c.rect, text, c.alignment);
            measured = painted.LayOut(QFont(QApplication::font(), &image));
            painted.Paint(painter, style, palette, true);
        });
        const QImage drawn = shot([&](QPainter& painter, QImage&) {
            const Qt::Alignment align = QStyle::visualAlignment(
                text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight, c.alignment);
            style.drawItemText(
                &painter, c.rect,
                static_cast<int>(align) |
                    (text.isRightToLeft() ? Qt::TextForceRightToLeft : Qt::TextForceLeftToRight),
                palette, true, text, QPalette::WindowText);
        });
        EXPECT_TRUE(kept == drawn) << c.text;
        const int flags = static_cast<int>(
            QStyle::visualAlignment(text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight,
                                    c.alignment) &
            ~(Qt::AlignHCenter | Qt::AlignVCenter));
        EXPECT_EQ(
            measured,
            QFontMetrics(QApplication::font()).boundingRect(0, 0, 2000, 2000, flags, text).width())
            << c.text;
    }
}

} // namespace
