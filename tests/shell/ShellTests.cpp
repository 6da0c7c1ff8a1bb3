// The application shell: the editor as the main window for the program's
// whole run, the About box from the window's own system menu, help, and the
// command line, run as the real program with no display.

#include "AboutDlg.h"
#include "DialogHost.h"
#include "DlgTemplate.h"
#include "EditorApp.h"
#include "EditorDlg.h"
#include "Handles.h"
#include "MakeCode.h"
#include "OutputForm.h"
#include "WidgetTest.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QUrl>

#include <algorithm>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

using namespace glimmet_test;

namespace {

int VisibleTopLevels() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        n += w->isVisible();
    return n;
}

enum class Ending { Escape, EnterInCodeBox, CloseBox };

void PrintTo(Ending ending, std::ostream* os) {
    *os << (ending == Ending::Escape           ? "Escape"
            : ending == Ending::EnterInCodeBox ? "EnterInCodeBox"
                                               : "CloseBox");
}

class InitInstanceTest : public ::testing::TestWithParam<Ending> {};

// The editor is the one window while it runs; once it ends, InitInstance
// returns false so that the program ends instead of waiting for messages.
TEST_P(InitInstanceTest, RunsTheEditorAsMainWindowUntilItEnds) {
    CEditorApp app;
    bool sawEditor = false;
    WhenActive([&](QWidget* modal) {
        // The main window is an ordinary window, modal to nothing.
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        EXPECT_FALSE(modal->isModal());
        sawEditor = app.m_pMainWnd && dynamic_cast<CEditorDlg*>(app.m_pMainWnd) &&
                    platform_detail::WidgetOf(app.m_pMainWnd->GetSafeHwnd()) == modal;
        EXPECT_EQ(VisibleTopLevels(), 1);
        // The editor's template has no caption: title bars the toolkit draws
        // itself show the application's name.
        EXPECT_EQ(modal->windowTitle().toStdString(),
                  QApplication::applicationName().toStdString());
        switch (GetParam()) {
        case Ending::Escape:
            PressKey(modal->focusWidget(), Qt::Key_Escape);
            break;
        case Ending::EnterInCodeBox:
            ASSERT_EQ(modal->focusWidget(), Host(*app.m_pMainWnd).Control(IDC_CODE));
            PressKey(modal->focusWidget(), Qt::Key_Return);
            break;
        case Ending::CloseBox:
            modal->close();
            break;
        }
    });
    EXPECT_FALSE(app.InitInstance());
    EXPECT_TRUE(sawEditor);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_EQ(VisibleTopLevels(), 0);
}

INSTANTIATE_TEST_SUITE_P(Endings, InitInstanceTest,
                         ::testing::Values(Ending::Escape, Ending::EnterInCodeBox,
                                           Ending::CloseBox));

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dlg.Create());
        ShowAndWait(dlg);
        ClickControl(dlg, IDC_NEW);
        Click(dlg, QPoint(47, 63));
        ASSERT_TRUE(dlg.GetDocument().IsSet({2, 4}));
    }
    ::testing::AssertionResult DrawingIntact() {
        const SpriteDocument& doc = dlg.GetDocument();
        if (doc.Pixels().size() != 64 || !doc.IsSet({2, 4}))
            return ::testing::AssertionFailure() << "the raster changed";
        if (ClientPixel(dlg, 45, 65) != kBlack)
            return ::testing::AssertionFailure() << "the drawn cell is no longer black";
        return ::testing::AssertionSuccess();
    }

    CEditorApp app;
    CEditorDlg dlg;
};

TEST_F(ShellTest, AboutBoxOpensModallyFromTheSystemMenuAndLeavesTheDrawing) {
    QString title;
    QString text;
    bool modal = false;
    WhenPopup([&](QWidget* popup) {
        auto* menu = qobject_cast<QMenu*>(popup);
        ASSERT_NE(menu, nullptr);
        const QList<QAction*> items = menu->actions();
        ASSERT_GE(items.size(), 3);
        EXPECT_TRUE(items[items.size() - 3]->isSeparator());
        EXPECT_EQ(items[items.size() - 2]->text(), "H&elp\tF1");
        EXPECT_EQ(items.last()->text(), "&About Glimmet...");
        WhenModal(
            [&](QWidget* about) {
                title = about->windowTitle();
                modal = about->isModal() && QApplication::activeModalWidget() == about;
                // What a screen reader reads of it.
                QAccessibleInterface* window = QAccessible::queryAccessibleInterface(about);
                for (int i = 0; window && i < window->childCount(); ++i)
                    if (QAccessibleInterface* child = window->child(i);
                        child && child->role() == QAccessible::StaticText)
                        text = child->text(QAccessible::Name);
                PressKey(about, Qt::Key_Escape);
            },
            [&](QWidget* w) { return w != platform_detail::WidgetOf(dlg.GetSafeHwnd()); });
        menu->setActiveAction(items.last());
        PressKey(menu, Qt::Key_Return);
    });
    PressKey(Control(dlg, IDC_CODE), Qt::Key_F10);

    EXPECT_EQ(title, "About Glimmet");
    EXPECT_TRUE(modal);
    EXPECT_TRUE(text.startsWith("Korvex Glimmet Version 1.0 \n")) << text.toStdString();
    EXPECT_EQ(VisibleTopLevels(), 1);
    EXPECT_TRUE(platform_detail::WidgetOf(dlg.GetSafeHwnd())->isVisible());
    EXPECT_TRUE(DrawingIntact());
}

// The window's icon comes right after its first paint, with every image of
// the icon group.
TEST_F(ShellTest, TheWindowHasItsIconOnceShown) {
    QCoreApplication::processEvents();
    const QIcon icon = platform_detail::WidgetOf(dlg.GetSafeHwnd())->windowIcon();
    const auto& icons = AfxGetResourceTables().icons;
    const auto group = std::find_if(icons.begin(), icons.end(),
                                    [](const IconResource& r) { return r.id == IDR_MAINFRAME; });
    ASSERT_NE(group, icons.end());
    EXPECT_EQ(icon.availableSizes().size(), static_cast<qsizetype>(group->images.size()));
}

TEST_F(ShellTest, F1OpensTheHelpWindowWithoutBlocking) {
    PressKey(Control(dlg, IDC_CODE), Qt::Key_F1);
    QWidget* help = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->objectName() == QLatin1String("helpWindow"))
            help = w;
    ASSERT_NE(help, nullptr);
    EXPECT_FALSE(help->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_NE(help->findChild<QTextBrowser*>(), nullptr);

    // The editor goes on taking input with the help open.
    Click(dlg, QPoint(25, 25));
    EXPECT_TRUE(dlg.GetDocument().IsSet({0, 0}));
    help->close();
}

} // namespace

// ---------------------------------------------------------------------------
// The command line

namespace {

struct Ran {
    int status = -1; // -1: it crashed or did not end
    std::string out;
    std::string err;
};

// Runs the program in `dir` as a build would, with no display server named
// and no toolkit platform given, plus the NAME=VALUE settings in `env`.
Ran RunProgram(const QStringList& args, const QString& dir, const QStringList& env = {}) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    for (const QString& setting : env)
        environment.insert(setting.section(u'=', 0, 0), setting.section(u'=', 1));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(dir);
    process.start(QStringLiteral(GLIMMET_PROGRAM), args);
    Ran ran;
    if (process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit)
        ran.status = process.exitCode();
    else
        process.kill();
    ran.out = process.readAllStandardOutput().toStdString();
    ran.err = process.readAllStandardError().toStdString();
    return ran;
}

void SaveText(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

QByteArray LoadText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// A picture from rows of '#' (black) and '.' (white), saved in the format
// the name's extension says.
void SavePicture(const QString& path, const std::vector<std::string>& rows) {
    QImage image(static_cast<int>(rows.front().size()), static_cast<int>(rows.size()),
                 QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y,
                           rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] == '#'
                               ? qRgb(0, 0, 0)
                               : qRgb(255, 255, 255));
    ASSERT_TRUE(image.save(path));
}

std::vector<std::string> Checks(int width, int height) {
    std::vector<std::string> rows;
    for (int y = 0; y < height; ++y) {
        std::string row;
        for (int x = 0; x < width; ++x)
            row += (x / 3 + y) % 2 ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

// One sprite as a file, opened in the window (dropped on it) and given to
// convert. Text whose values read more than one way takes the likeliest
// reading in both: the chooser's first picture, convert's note.
struct SpriteFile {
    const char* file;
    void (*make)(const QString& path);
    bool bText;
    bool bChooser;
    bool bFit; // larger than a sprite: the window scales it, convert needs --fit
};

struct MakeCodeCase {
    SpriteFile sprite;
    CodeChoices choices;
};

void PrintTo(const MakeCodeCase& c, std::ostream* os) {
    *os << c.sprite.file << " as " << c.choices.layout << ", " << c.choices.language << ", "
        << c.choices.size;
}

class MakeCodeTest : public ::testing::TestWithParam<MakeCodeCase> {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        // Picking a style stores it; the store is this test's own.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        // The window takes the form it remembers.
        const CodeChoices& choices = GetParam().choices;
        app.WriteProfileString("", kCodeStyleEntry, choices.layout);
        app.WriteProfileString("", kCodeLanguageEntry, choices.language);
        app.WriteProfileString("", kCodeSizeEntry, choices.size);
        ASSERT_TRUE(dlg.Create());
        ShowAndWait(dlg);
    }

    QTemporaryDir dir;
    CEditorApp app;
    CEditorDlg dlg;
};

// convert writes byte for byte what Make Code writes for the same sprite and
// style, whatever the window last used.
TEST_P(MakeCodeTest, ConvertWritesWhatMakeCodeWrites) {
    const MakeCodeCase& c = GetParam();
    const QString path = dir.filePath(QString::fromLatin1(c.sprite.file));
    c.sprite.make(path);

    QMimeData data;
    if (c.sprite.bText)
        data.setText(QString::fromUtf8(LoadText(path)));
    else
        data.setUrls({QUrl::fromLocalFile(path)});
    if (c.sprite.bChooser)
        WhenModal([](QWidget* modal) {
            auto* list = modal->findChild<QListWidget*>();
            ASSERT_NE(list, nullptr);
            ASSERT_EQ(list->currentRow(), 0);
            PressKey(list, Qt::Key_Return);
        });
    ASSERT_TRUE(Drop(dlg, QPoint(150, 100), data));
    ClickControl(dlg, IDC_MAKECODE);
    const std::string made = ControlText(dlg, IDC_CODE).toStdString();
    ASSERT_FALSE(made.empty());

    QStringList args = {"convert",
                        "--layout",
                        QString::fromStdString(c.choices.layout),
                        "--language",
                        QString::fromStdString(c.choices.language),
                        "--size",
                        QString::fromStdString(c.choices.size)};
    if (c.sprite.bFit)
        args << "--fit";
    const Ran ran = RunProgram(args << path, dir.path());
    EXPECT_EQ(ran.status, 0) << ran.err;
    EXPECT_EQ(ran.out, made + "\n");
    // The reading taken is named when there was a choice, and only then.
    EXPECT_EQ(ran.err.find(": note: read as ") != std::string::npos, c.sprite.bChooser) << ran.err;
}

const SpriteFile kSprites[] = {
    {"tiny-ship.png",
     [](const QString& p) {
         SavePicture(p, {"#...#", "..#..", ".#..."});
     },
     false, false, false},
    {"wide.bmp", [](const QString& p) { SavePicture(p, Checks(20, 16)); }, false, false, false},
    {"Big Logo.png", [](const QString& p) { SavePicture(p, Checks(64, 40)); }, false, false, true},
    {"own.h",
     [](const QString& p) { SaveText(p, "static unsigned short int ship[] = {0x8001,0x7FFE};"); },
     true, false, false},
    {"logo.h",
     [](const QString& p) {
         SaveText(p, "// logo\nconst uint8_t logo[] PROGMEM = {\n  0xFF, 0x00,\n  0x0F, 0xF0 };\n");
     },
     true, true, false},
};

std::vector<MakeCodeCase> MakeCodeCases() {
    std::vector<MakeCodeCase> cases;
    for (const SpriteFile& sprite : kSprites) {
        for (const char* layout : {"rows", "rowbytes", "xbm", "pages"})
            cases.push_back({sprite, {layout, "c", "none"}});
        cases.push_back({sprite, {"rowbytes", "arduino", "leading"}});
        cases.push_back({sprite, {"xbm", "c", "defines"}});
        cases.push_back({sprite, {"pages", "micropython", "none"}});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(SpritesAndStyles, MakeCodeTest, ::testing::ValuesIn(MakeCodeCases()),
                         [](const ::testing::TestParamInfo<MakeCodeCase>& info) {
                             const CodeChoices& choices = info.param.choices;
                             std::string name = std::to_string(info.index) + "_" +
                                                info.param.sprite.file + "_" + choices.layout +
                                                "_" + choices.language + "_" + choices.size;
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return name;
                         });

// What every case of the table below finds in its folder. out.h stands for
// the output of an earlier build: a failed run must leave it as it is.
void MakeInputs(const QDir& dir) {
    SaveText(dir.filePath("ship.h"), "static unsigned char ship[] = {0x81,0x00};\n");
    SaveText(dir.filePath("icons.h"), "#pragma once\n"
                                      "// two icons\n"
                                      "const uint8_t arrow[] = {0x18, 0x3C};\n"
                                      "static const unsigned short heart[] = {0x6C00, 0xFE00,\n"
                                      "                                       0x7C00};\n");
    SaveText(dir.filePath("bad.h"), "// cut short\nconst uint8_t cut[] = {0x01, 0x1FF};\n");
    SaveText(dir.filePath("own.h"),
             "// drawn in Glimmet\nstatic unsigned short int ship16[] = {0x8001,0x7FFE};\n");
    SaveText(dir.filePath("star.h"), "#define star_width 8\n#define star_height 2\n"
                                     "static unsigned char star_bits[] = {\n   0x01, 0x30 };\n");
    SaveText(dir.filePath("walk.h"), "// two frames\nstatic const unsigned char walk[2][2] = {\n"
                                     "  {0x18, 0x3C},\n  {0x3C, 0x18},\n};\n");
    SaveText(dir.filePath("big.h"), "#define big_width 40\n#define big_height 20\n"
                                    "static unsigned char big_bits[100] = {0x00};\n");
    SaveText(dir.filePath("pages.h"), "static unsigned char ship[] = {0x81,0x00};\n"
                                      "#define HEART_WIDTH 8\n#define HEART_HEIGHT 2\n"
                                      "static unsigned char heart[] = {0x01, 0x00, 0x00, 0x00, "
                                      "0x00, 0x00, 0x00, 0x01};\n"
                                      "const uint16_t arrow[] PROGMEM = {0xC003,0x3C80};\n");
    SaveText(dir.filePath("bare.txt"), "{0x3C, 0x42}");
    SaveText(dir.filePath("notes.txt"), "No arrays here.\n");
    SavePicture(dir.filePath("tiny.png"), {"#...#", "..#..", ".#..."});
    SavePicture(dir.filePath("big.png"), Checks(40, 20));
    SaveText(dir.filePath("damaged.png"), LoadText(dir.filePath("tiny.png")).left(40));
    SaveText(dir.filePath("out.h"), "old\n");
    QFile::link(dir.filePath("gone.png"), dir.filePath("vanished.png"));
    dir.mkdir("folder");
}

struct CommandCase {
    const char* name;
    QStringList args;
    int status;
    std::string out;            // exactly, or, for a text starting with '~', containing the rest
    std::string err;            // the same
    const char* file = nullptr; // a file the run writes, and its text
    std::string fileText = {};
    QStringList env = {};
};

void PrintTo(const CommandCase& c, std::ostream* os) {
    *os << c.name;
}

::testing::AssertionResult Matches(const std::string& actual, const std::string& expected) {
    const bool ok = expected.starts_with('~') ? actual.find(expected.substr(1)) != std::string::npos
                                              : actual == expected;
    if (ok)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got\n" << actual << "\nexpected\n" << expected;
}

constexpr const char* kUsageHead = "usage: glimmet convert [OPTION]... [-o OUTPUT] INPUT...\n";

class CommandTest : public ::testing::TestWithParam<CommandCase> {};

// Each input kind and each error: the status, what goes to standard output
// and error, and the files left behind. Nothing is left half-written: the
// earlier output stays on any error, and no temporary file remains.
TEST_P(CommandTest, GivesTheStatusTheMessagesAndTheFiles) {
    const CommandCase& c = GetParam();
    QTemporaryDir temporary;
    const QDir dir(temporary.path());
    MakeInputs(dir);
    const QStringList before = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System);

    const Ran ran = RunProgram(c.args, dir.path(), c.env);
    EXPECT_EQ(ran.status, c.status) << ran.err;
    EXPECT_TRUE(Matches(ran.out, c.out));
    EXPECT_TRUE(Matches(ran.err, c.err));

    QStringList after = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
    if (c.file) {
        EXPECT_EQ(LoadText(dir.filePath(c.file)).toStdString(), c.fileText);
        if (!before.contains(QString::fromLatin1(c.file)))
            after.removeOne(QString::fromLatin1(c.file));
    }
    if (!c.file || std::string_view(c.file) != "out.h") {
        EXPECT_EQ(LoadText(dir.filePath("out.h")), "old\n");
    }
    EXPECT_EQ(after, before);
}

const std::string kShip = "static unsigned char ship[] = {0x81,0x00};\n";
const std::string kTiny = "static unsigned char tiny[] = {0x88,0x20,0x40};\n";
const std::string kHeart = "static unsigned short int heart[] = {0x6C00,0xFE00,0x7C00};\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandTest,
    ::testing::Values(
        // Inputs
        CommandCase{"ImageNamedAfterItsFile", {"convert", "tiny.png"}, 0, kTiny, ""},
        CommandCase{"CFileItsArray", {"convert", "ship.h"}, 0, kShip, ""},
        CommandCase{"OwnLineInAHeaderReadsBackExactly",
                    {"convert", "own.h"},
                    0,
                    "static unsigned short int ship16[] = {0x8001,0x7FFE};\n",
                    ""},
        CommandCase{"FileColonNameOneArrayOfSeveral",
                    {"convert", "icons.h:heart"},
                    0,
                    kHeart,
                    "icons.h:4:29: note: read as 16 x 3, rows, leftmost pixel high, the likeliest "
                    "of 2 readings; --read and --width choose another\n"},
        CommandCase{"ReadAndWidthChooseTheReading",
                    {"convert", "--read", "xbm", "--width=16", "icons.h:arrow"},
                    0,
                    "static unsigned short int arrow[] = {0x183C};\n",
                    ""},
        CommandCase{"SeveralArraysTheFirstWithAWarning",
                    {"convert", "--read", "rows", "--width", "8", "icons.h"},
                    0,
                    "static unsigned char arrow[] = {0x18,0x3C};\n",
                    "icons.h:3:15: warning: The text holds 2 arrays; the first, arrow, was read. "
                    "Name one as FILE:NAME.\n"},
        CommandCase{"FrameOfATwoDimensionalArray",
                    {"convert", "--read", "rows", "--width", "8", "walk.h:walk[1]"},
                    0,
                    "static unsigned char walk_1[] = {0x3C,0x18};\n",
                    ""},
        CommandCase{"XbmFileWithItsDefinesReadsWithNoNote",
                    {"convert", "star.h"},
                    0,
                    "static unsigned char star_bits[] = {0x80,0x0C};\n",
                    ""},
        // Glimmet's own forms come back exactly where the file alone leaves
        // them open: pages under #defines, an Arduino row type.
        CommandCase{"OwnFormsInAFileReadBackExactly",
                    {"convert", "pages.h:heart", "pages.h:arrow"},
                    0,
                    "static unsigned char heart[] = {0x81,0x00};\n"
                    "static unsigned short int arrow[] = {0xC003,0x3C80};\n",
                    ""},
        CommandCase{"BareListTextNamedAfterItsFile",
                    {"convert", "--width", "8", "--read", "rows", "bare.txt"},
                    0,
                    "static unsigned char bare[] = {0x3C,0x42};\n",
                    ""},
        CommandCase{"InputsInOrderRenamedOne",
                    {"convert", "ship.h", "--name", "my ship"},
                    0,
                    "static unsigned char my ship[] = {0x81,0x00};\n",
                    ""},
        CommandCase{
            "SeveralInputsInOrder", {"convert", "tiny.png", "ship.h"}, 0, kTiny + kShip, ""},
        CommandCase{"FitScalesALargeImage",
                    {"convert", "--fit", "big.png"},
                    0,
                    "~static unsigned long int big[] = {",
                    ""},
        CommandCase{
            "OutputReplacedWhole", {"convert", "-o", "out.h", "ship.h"}, 0, "", "", "out.h", kShip},
        CommandCase{"HeaderGuardFromTheOutputName",
                    {"convert", "--header", "-oicons-gen.h", "ship.h", "tiny.png"},
                    0,
                    "",
                    "",
                    "icons-gen.h",
                    "#ifndef ICONS_GEN_H\n#define ICONS_GEN_H\n\n" + kShip + kTiny +
                        "\n#endif /* ICONS_GEN_H */\n"},
        CommandCase{"ExportXbmReadsBack",
                    {"export", "icons.h:heart", "-o", "heart.xbm"},
                    0,
                    "",
                    "~note: read as 16 x 3",
                    "heart.xbm",
                    "#define heart_width 16\n#define heart_height 3\nstatic unsigned char "
                    "heart_bits[] = {0x36, 0x00, 0x7f, 0x00, 0x3e, 0x00};\n"},
        CommandCase{"Version", {"--version"}, 0, "glimmet 1.0\n", ""},
        CommandCase{"Help", {"convert", "--help"}, 0, "~Exit status\n  0: done.\n", ""},
        // Input errors: exit 1, nothing written
        CommandCase{"MissingInput",
                    {"convert", "-o", "out.h", "ship.h", "nothere.png"},
                    1,
                    "",
                    "nothere.png: error: cannot be opened: No such file or directory\n"},
        CommandCase{"InputThatVanished",
                    {"convert", "-o", "out.h", "vanished.png", "ship.h"},
                    1,
                    "",
                    "vanished.png: error: cannot be opened: No such file or directory\n"},
        CommandCase{"BadValueNamedWithLineAndColumn",
                    {"convert", "-o", "out.h", "bad.h"},
                    1,
                    "",
                    "bad.h:2:30: error: The value 0x1FF is too big for an 8-bit element.\n"},
        CommandCase{"NoSuchArrayName",
                    {"convert", "icons.h:star"},
                    1,
                    "",
                    "icons.h: error: no array is named \"star\"\n"},
        CommandCase{"TextWithNoArray",
                    {"convert", "notes.txt"},
                    1,
                    "",
                    "~notes.txt:1:1: error: No array found"},
        CommandCase{"ArrayLargerThanASprite",
                    {"convert", "-o", "out.h", "big.h"},
                    1,
                    "",
                    "big.h:3:22: error: big_bits is 40 x 20 pixels, larger than the largest "
                    "sprite, 32 x 16\n"},
        CommandCase{"ReadingThatDoesNotFit",
                    {"convert", "--read", "pages", "icons.h:heart"},
                    1,
                    "",
                    "icons.h:4:29: error: the values cannot be read as asked by --read and "
                    "--width; they read as 16 x 3, rows, leftmost pixel high; 16 x 3, rows, "
                    "leftmost pixel low (XBM)\n"},
        CommandCase{"ImageTooLargeWithoutFit",
                    {"convert", "-o", "out.h", "big.png"},
                    1,
                    "",
                    "big.png: error: the image is 40 x 20 pixels, larger than the largest sprite, "
                    "32 x 16; --fit scales it down\n"},
        CommandCase{"DamagedImage",
                    {"export", "damaged.png", "-o", "out.png"},
                    1,
                    "",
                    // The image library may add a line of its own.
                    "~damaged.png: error: the image is damaged or cut short: its pixels cannot be "
                    "read\n"},
        CommandCase{"NameTakenTwice",
                    {"convert", "tiny.png", "tiny.png"},
                    1,
                    "",
                    "tiny.png: error: the name \"tiny\" is already taken by tiny.png\n"},
        // The output cannot be written: exit 1, no temporary file left
        CommandCase{"OutputIsAFolder",
                    {"convert", "-o", "folder", "ship.h"},
                    1,
                    "",
                    "folder: error: cannot be written: Is a directory\n"},
        CommandCase{"OutputInAMissingFolder",
                    {"export", "ship.h", "-o", "nowhere/ship.png"},
                    1,
                    "",
                    "nowhere/ship.png: error: cannot be written: No such file or directory\n"},
        // Usage errors: exit 2 with the usage
        CommandCase{
            "UnknownCommand", {"draw", "ship.h"}, 2, "", "~glimmet: unknown command \"draw\"\n"},
        CommandCase{"UnknownOption",
                    {"convert", "--colour", "ship.h"},
                    2,
                    "",
                    std::string("~glimmet: unknown option --colour\n") + kUsageHead},
        CommandCase{"NoInput", {"convert", "-o", "out.h"}, 2, "", "~convert needs an INPUT\n"},
        CommandCase{"ValueOutsideTheChoices",
                    {"convert", "--width", "12", "ship.h"},
                    2,
                    "",
                    "~--width takes 8, 16 or 32, not \"12\"\n"},
        CommandCase{"OptionWithoutItsValue",
                    {"convert", "ship.h", "--layout"},
                    2,
                    "",
                    "~--layout needs a value\n"},
        CommandCase{
            "EmptyOutputName", {"convert", "-o", "", "ship.h"}, 2, "", "~-o needs a value\n"},
        CommandCase{"NameForSeveralInputs",
                    {"convert", "--name", "x", "ship.h", "tiny.png"},
                    2,
                    "",
                    "~--name names a single input, not 2\n"},
        CommandCase{"HeaderWithoutOutput",
                    {"convert", "--header", "ship.h"},
                    2,
                    "",
                    "~--header needs -o OUTPUT"},
        CommandCase{"ExportWithoutOutput", {"export", "ship.h"}, 2, "", "~export needs -o FILE\n"},
        CommandCase{"ExportToAnUnknownFormat",
                    {"export", "ship.h", "-o", "ship.gif"},
                    2,
                    "",
                    "~.png, .pbm, .xbm or .bmp, not \"ship.gif\"\n"},
        CommandCase{"ExportTakesNoLayout",
                    {"export", "--layout", "xbm", "ship.h", "-o", "s.png"},
                    2,
                    "",
                    "~export takes no --layout\n"},
        CommandCase{"SizeThatTheFormCannotTake",
                    {"convert", "--language", "micropython", "--size", "defines", "ship.h"},
                    2,
                    "",
                    "~the size companion \"defines\" does not go with"},
        // The window needs a display: one line and status 1, never an abort,
        // also when it is to open a file (or one array of it)
        CommandCase{"WindowWithNoDisplay",
                    {},
                    1,
                    "",
                    "glimmet: cannot open a window: neither DISPLAY nor WAYLAND_DISPLAY is set "
                    "(convert and export need no display)\n"},
        CommandCase{"FileWithNoDisplay",
                    {"ship.h:ship"},
                    1,
                    "",
                    "glimmet: cannot open a window: neither DISPLAY nor WAYLAND_DISPLAY is set "
                    "(convert and export need no display)\n"},
        CommandCase{"WindowWithADisplayThatIsNotThere",
                    {},
                    1,
                    "",
                    "glimmet: cannot open a window: the display \":987\" cannot be reached\n",
                    nullptr,
                    {},
                    {"DISPLAY=:987"}}),
    [](const ::testing::TestParamInfo<CommandCase>& info) { return std::string(info.param.name); });

// What export writes reads back as the same sprite, in every format.
TEST(ExportTest, EachFormatReadsBackAsTheSprite) {
    QTemporaryDir temporary;
    const QDir dir(temporary.path());
    MakeInputs(dir);
    for (const char* file : {"heart.png", "heart.pbm", "heart.bmp", "heart.xbm"}) {
        SCOPED_TRACE(file);
        const Ran exported =
            RunProgram({"export", "--read", "rows", "icons.h:heart", "-o", file}, dir.path());
        ASSERT_EQ(exported.status, 0) << exported.err;
        EXPECT_EQ(QImage(dir.filePath(file)).size(), QSize(16, 3));
        const Ran back = RunProgram({"convert", "--name", "heart", file}, dir.path());
        EXPECT_EQ(back.status, 0) << back.err;
        EXPECT_EQ(back.out, kHeart);
    }
}

} // namespace
