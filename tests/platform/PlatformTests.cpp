// The windowing layer as the editor relies on it: template geometry, the
// up-down control, data exchange and its warning, keyboard handling of a
// modal dialog, the message table and the system menu. A probe dialog of our
// own on the editor's template records what reaches its handlers.

#include "Controls.h"
#include "DialogHost.h"
#include "Dlgs.h"
#include "Handles.h"
#include "HelpWindow.h"
#include "Resource.h"
#include "ResourceTypes.h"
#include "WidgetTest.h"
#include "WinApp.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextTable>
#include <QToolButton>

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

using namespace glimmet_test;

namespace {

// Whatever a derived table does not handle falls through to this one.
class CProbeBase : public CDialog {
public:
    CProbeBase() : CDialog(IDD_EDITOR_DIALOG) {}
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
        for (const auto& entry : Host(dlg).Controls().Entries())
            if (entry.tpl->text == title)
                return entry.widget->geometry();
        return QRect();
    };
    EXPECT_EQ(frame("Drawing Area"), QRect(8, 0, 345, 195));
    EXPECT_EQ(frame("Preview"), QRect(270, 195, 83, 57));
}

// Succeeds if every text of the dialog, as drawn at the screen's ratio,
// keeps at least one client pixel, in whole device pixels, clear of every
// group frame's lines. The texts are drawn in a colour of their own for the
// check; the lines are the pixels in the frames' shadow and highlight
// colours outside the other controls, which draw frames of their own.
::testing::AssertionResult TextsKeepClearOfTheFrames(CDialog& dialog) {
    QWidget* window = platform_detail::WidgetOf(dialog.GetSafeHwnd());
    QPalette marked = window->palette();
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText})
        marked.setColor(role, Qt::red);
    window->setPalette(marked);
    const QImage shot = window->grab().toImage();
    const qreal ratio = shot.devicePixelRatio();
    const QRgb shadow = marked.color(QPalette::Mid).rgb();
    const QRgb highlight = marked.color(QPalette::Light).rgb();
    std::vector<QRect> others;
    for (const auto& entry : Host(dialog).Controls().Entries()) {
        if (entry.tpl->kind == ControlKind::GroupBox)
            continue;
        const QRect g = entry.widget->geometry();
        others.emplace_back(QPoint(static_cast<int>(std::floor(g.left() * ratio)),
                                   static_cast<int>(std::floor(g.top() * ratio))),
                            QPoint(static_cast<int>(std::ceil((g.right() + 1) * ratio)) - 1,
                                   static_cast<int>(std::ceil((g.bottom() + 1) * ratio)) - 1));
    }
    const auto isLine = [&](int x, int y) {
        const QRgb pixel = shot.pixel(x, y) | 0xFF000000u;
        return (pixel == shadow || pixel == highlight) &&
               std::none_of(others.begin(), others.end(),
                            [&](const QRect& other) { return other.contains(x, y); });
    };
    const int clear = static_cast<int>(std::ceil(ratio));
    const QRect all = shot.rect();
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const QRgb ink = shot.pixel(x, y);
            if (qRed(ink) - qGreen(ink) < 40)
                continue;
            for (int dy = -clear; dy <= clear; ++dy)
                for (int dx = -clear; dx <= clear; ++dx)
                    if (all.contains(x + dx, y + dy) && isLine(x + dx, y + dy))
                        return ::testing::AssertionFailure()
                               << "text at device pixel (" << x << "," << y << ") is within "
                               << clear << " of a frame line at (" << x + dx << "," << y + dy
                               << ") at ratio " << ratio;
        }
    }
    return ::testing::AssertionSuccess();
}

// The templates were measured for another font: every text must still show
// whole in the system's sans-serif, in both dialogs, clear of the frames
// around it, at whatever ratio the suite runs.
TEST(Templates, EveryTextFitsItsControl) {
    for (const UINT nIDTemplate : {UINT{IDD_EDITOR_DIALOG}, UINT{IDD_ABOUTBOX}}) {
        CDialog dialog(nIDTemplate);
        ASSERT_TRUE(dialog.Create());
        EXPECT_TRUE(TextsKeepClearOfTheFrames(dialog)) << "dialog " << nIDTemplate;
        for (const auto& entry : Host(dialog).Controls().Entries()) {
            const QWidget* w = entry.widget;
            const QFontMetrics metrics(w->font());
            if (entry.tpl->kind == ControlKind::GroupBox) {
                const QString title = QString::fromUtf8(
                    entry.tpl->text.data(), static_cast<qsizetype>(entry.tpl->text.size()));
                EXPECT_LE(metrics.horizontalAdvance(title) + 12, w->width()) << entry.tpl->text;
            } else if (entry.tpl->kind == ControlKind::PushButton) {
                // A button's size hint adds the style's minimum width; the
                // text itself needs its advance and a little room.
                const QString text = static_cast<const QPushButton*>(w)->text();
                EXPECT_LE(metrics.horizontalAdvance(text) + 8, w->width()) << entry.tpl->text;
            } else if (entry.tpl->kind == ControlKind::AutoRadioButton) {
                // The indicator, the gap after it, then the text.
                const QString text = static_cast<const QRadioButton*>(w)->text();
                const int needed = w->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                                   w->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing) +
                                   metrics.horizontalAdvance(text);
                EXPECT_LE(needed, w->width()) << entry.tpl->text;
                EXPECT_LE(w->geometry().right(), w->parentWidget()->width()) << entry.tpl->text;
            } else if (entry.tpl->kind == ControlKind::Static) {
                EXPECT_LE(w->sizeHint().width(), w->width()) << entry.tpl->text;
                EXPECT_LE(w->geometry().right(), w->parentWidget()->width()) << entry.tpl->text;
            }
        }
    }
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

TEST_F(ProbeTest, TheTableDispatchesToTheFirstMatchingEntryThenToTheBase) {
    ClickControl(dlg, IDC_NEW);
    ClickControl(dlg, IDC_MAKECODE);
    EXPECT_EQ(dlg.m_log, (std::vector<std::string>{"New", "base Make Code"}));
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

// The help window as the application shows it.
class CHelpApp : public CWinApp {
public:
    CHelpApp() : CWinApp("probe") {}
    using CWinApp::ShowHelp;
};

TEST(Fit, HelpFitsTheScreenWrapsAndScrolls) {
    CHelpApp app;
    CProbeDlg dlg;
    ASSERT_TRUE(dlg.Create());
    ShowAndWait(dlg);
    app.m_pMainWnd = &dlg;
    app.ShowHelp("Help", HelpText());
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

} // namespace
