// Bringing a sprite back: pasted or dropped C text, and image files.

#include "EditorTest.h"

#include "ArrayReader.h"
#include "SourceFile.h"

#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

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
            return Doc().IsLaidOut() ? ::testing::AssertionFailure() << "the grid was laid out"
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
    const char* tip = nullptr; // the one line said at the name field
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

// An icon of '#' (white) on a clear ground ('.').
MakeFile Icon(std::vector<std::string> rows) {
    return [rows = std::move(rows)](const QString& path) {
        QImage image(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()),
                     QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, rows[y][x] == '#' ? qRgba(255, 255, 255, 255) : 0u);
        ASSERT_TRUE(image.save(path));
    };
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
    QWidget* name = Control(dlg, IDC_NAME);
    EXPECT_EQ(Host(dlg).Tip().IsShownAt(name), c.tip != nullptr);
    if (c.tip) {
        EXPECT_EQ(Host(dlg).Tip().Text(), c.tip);
    }
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
                  Sprite(16, Repeat("########........", 16), "_8ball"),
                  "Scaled down from 64 x 64 to 16 x 16."},
        ImageCase{"ThinLineKeptWhenScaledSlightly", "line.png", Picture([] {
                      std::vector<std::string> rows = Repeat(std::string(33, '.'), 17);
                      rows[8] = std::string(33, '#');
                      return rows;
                  }()),
                  Sprite(
                      32,
                      [] {
                          std::vector<std::string> rows = Repeat(std::string(32, '.'), 16);
                          rows[8] = std::string(31, '#') + ".";
                          return rows;
                      }(),
                      "line"),
                  "Scaled down from 33 x 17 to 31 x 16."},
        ImageCase{"BlankSaysSo", "blank.png", Picture({"....", "...."}),
                  Sprite(8, {"........", "........"}, "blank"),
                  "No pixel is set: the image has no dark pixels."},
        ImageCase{"WithTransparencyTheOpaqueAtLeastHalf", "levels.png", &SaveLevels,
                  Sprite(8, {"##..##.."}, "levels")},
        ImageCase{"WhiteIconOnClearGroundComesInAsDrawn", "oled.png", Icon({".#.", "###"}),
                  Sprite(8, {".#......", "###....."}, "oled")},
        // Bytes no text holds: neither an image nor C source.
        ImageCase{"NotAnImage", "notes.png",
                  [](const QString& path) { SaveBytes(path, QByteArray("\x01\x02zz\0\x03", 6)); },
                  Box("The file \"notes.png\" is not an image in a format that can be read.")},
        ImageCase{"TruncatedPng", "cut.png", &SaveTruncatedPng,
                  Box("The image \"cut.png\" is damaged or cut short: its pixels cannot be "
                      "read.")},
        ImageCase{"HeaderClaimsTooWide", "huge.png", &SaveTooWide,
                  Box("The image \"huge.png\" is 10000 x 10 pixels, too large to open: pictures "
                      "of up to 2048 pixels a side open, and most PNG and JPEG pictures up to "
                      "8192.")},
        ImageCase{"XbmClaimsTooLarge", "huge.xbm",
                  [](const QString& path) {
                      SaveBytes(path, "#define a_width 100000\n#define a_height 9000\n"
                                      "static char a_bits[] = {0x00};\n");
                  },
                  Box("The image \"huge.xbm\" is 100000 x 9000 pixels, too large to open: "
                      "pictures of up to 2048 pixels a side open, and most PNG and JPEG pictures "
                      "up to 8192.")},
        ImageCase{"PbmClaimsTooLarge", "huge.pbm",
                  [](const QString& path) {
                      SaveBytes(path, QByteArray("P4\n# made by hand\n100000 100000\n\0\0", 34));
                  },
                  Box("The image \"huge.pbm\" is 100000 x 100000 pixels, too large to open: "
                      "pictures of up to 2048 pixels a side open, and most PNG and JPEG pictures "
                      "up to 8192.")},
        ImageCase{"NoSuchFile", "gone.png", {}, Box("gone.png was not found.")}));

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
            EXPECT_TRUE(files->nameFilters().front().contains("*.h"))
                << "the first filter offers images and C source";
            files->selectFile(path);
            static_cast<QDialog*>(files)->accept();
        },
        [](QWidget* modal) { return qobject_cast<QFileDialog*>(modal) != nullptr; });
    CtrlKeyInGrid(Qt::Key_O);
    EXPECT_TRUE(Left(Sprite(8, {"........", ".#......"}, "dot"), true));
}

// A click hits the cell drawn under the device pixel beneath it: on the last

// C files as the document: a file of several arrays around other code.
const std::string kIcons = "// icons\n"
                           "#define a_width 8\n#define a_height 1\n"
                           "static const unsigned char a_bits[] = { 0x01 };\n"
                           "#define big_width 40\n#define big_height 2\n"
                           "static const unsigned char big_bits[] = { 0,0,0,0,0, 0,0,0,0,0 };\n"
                           "#define frames_width 8\n#define frames_height 2\n"
                           "const unsigned char frames[2][2] = { {0x80, 0x40}, {0x01, 0x02} };\n"
                           "int x = 3;\n";
const std::string kDot = "#define dot_width 8\n#define dot_height 2\n"
                         "static const unsigned char dot_bits[] = {\n  0x01, 0x80 };\n";
// How the chooser lists kIcons: every array and frame, the one too large
// with why.
const std::vector<std::string> kIconLabels = {
    "a_bits\n8 x 1", "big_bits\n40 x 2\nIt is 40 pixels wide; the grid takes at most 32.",
    "frames[0]\n8 x 2", "frames[1]\n8 x 2"};
// Binary literals with PROGMEM and CRLF, which say nothing of the size.
const std::string kShip =
    "const uint8_t ship[] PROGMEM = {\r\n  0b10000001,\r\n  0b01000010,\r\n};\r\n";

class SourceTest : public BringBackTest {
protected:
    QString PathOf(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }
    QString Write(const char* name, const std::string& text) {
        const QString path = PathOf(name);
        SaveBytes(path, QByteArray::fromStdString(text));
        return path;
    }
    std::string Read(const char* name) const {
        QFile file(PathOf(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll().toStdString();
    }
    bool Open(const QString& path, const std::string& suffix = {}) {
        return dlg.OpenPath(CString(path.toStdString() + suffix));
    }
    std::string Title() { return Host(dlg).windowTitle().toStdString(); }
    // Takes the first picture of the next chooser with Enter.
    static void TakeFirstOfNextChooser() {
        WhenModal(
            [](QWidget* modal) { PressKey(modal->findChild<QListWidget*>(), Qt::Key_Return); },
            [](QWidget* modal) { return modal->findChild<QListWidget*>() != nullptr; });
    }

    QTemporaryDir m_dir;
};

// The array chooser as a case expects it: the labels in file order, which
// are greyed, the one selected at first, the one taken (-1: Esc) and a part
// of the prompt.
struct ArrayChooser {
    std::vector<std::string> labels; // none: no chooser
    std::vector<int> greyed = {};
    int nSelected = 0;
    int nTake = 0;
    const char* prompt = "";
};

struct SourceCase {
    const char* what;
    std::string text;
    std::string suffix; // ":NAME" after the path; "drop" drops the file
    ArrayChooser arrays;
    int nReadings; // the readings chooser that follows, the first taken; 0: none
    Outcome outcome;
    const char* title = ""; // how the caption starts
    friend void PrintTo(const SourceCase& c, std::ostream* os) { *os << c.what; }
};

class SourceOpenTest : public SourceTest, public ::testing::WithParamInterface<SourceCase> {};

TEST_P(SourceOpenTest, ShowsTheArrayChosenOrChangesNothing) {
    const SourceCase& c = GetParam();
    const QString path = Write("icons.h", c.text);
    DrawBefore();
    if (!c.arrays.labels.empty())
        WhenModal(
            [&c](QWidget* modal) {
                auto* list = modal->findChild<QListWidget*>();
                EXPECT_TRUE(modal->findChild<QLabel*>()->text().contains(c.arrays.prompt));
                ASSERT_EQ(list->count(), static_cast<int>(c.arrays.labels.size()));
                for (int n = 0; n < list->count(); ++n) {
                    EXPECT_EQ(list->item(n)->text().toStdString(), c.arrays.labels[n]);
                    const bool bGreyed =
                        std::count(c.arrays.greyed.begin(), c.arrays.greyed.end(), n);
                    EXPECT_EQ(!(list->item(n)->flags() & Qt::ItemIsEnabled), bGreyed) << n;
                }
                EXPECT_EQ(list->currentRow(), c.arrays.nSelected);
                // A click on a greyed entry takes nothing.
                for (int n : c.arrays.greyed)
                    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                                      list->visualItemRect(list->item(n)).center());
                if (c.arrays.nTake < 0)
                    PressKey(list, Qt::Key_Escape);
                else
                    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                                      list->visualItemRect(list->item(c.arrays.nTake)).center());
            },
            [](QWidget* modal) { return modal->findChild<QListWidget*>() != nullptr; });
    if (c.nReadings > 0)
        WhenModal(
            [&c](QWidget* modal) {
                auto* list = modal->findChild<QListWidget*>();
                EXPECT_EQ(list->count(), c.nReadings);
                PressKey(list, Qt::Key_Return);
            },
            [&c](QWidget* modal) {
                auto* list = modal->findChild<QListWidget*>();
                return list && list->count() == c.nReadings;
            });
    if (c.suffix == "drop") {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        EXPECT_TRUE(Drop(dlg, QPoint(150, 100), data));
    } else {
        EXPECT_EQ(Open(path, c.suffix), c.outcome.width != 0);
    }
    EXPECT_TRUE(Title().starts_with(c.title)) << Title();
    EXPECT_FALSE(dlg.IsModified());
    EXPECT_TRUE(Left(c.outcome, true));
    EXPECT_EQ(Read("icons.h"), c.text) << "opening wrote the file";
}

INSTANTIATE_TEST_SUITE_P(
    Files, SourceOpenTest,
    ::testing::Values(
        SourceCase{"OneArrayOpensAtOnce",
                   kDot,
                   "drop",
                   {},
                   0,
                   Sprite(8, {"#.......", ".......#"}, "dot_bits"),
                   "dot_bits - icons.h"},
        SourceCase{"SeveralInFileOrderTooLargeGreyed",
                   kIcons,
                   "",
                   {kIconLabels, {1}, 0, 3, "icons.h holds 4 sprites"},
                   0,
                   Sprite(8, {"#.......", ".#......"}, "frames"),
                   "frames[1] - icons.h"},
        SourceCase{"ChooserCancelledChangesNothing", kIcons, "", {kIconLabels, {1}, 0, -1}, 0, {}},
        SourceCase{"NamedFrameOpensAtOnce",
                   kIcons,
                   ":frames[0]",
                   {},
                   0,
                   Sprite(8, {".......#", "......#."}, "frames"),
                   "frames[0] - icons.h"},
        SourceCase{"NameNotThereAsksWithTheFirstSelected",
                   kIcons,
                   ":logo",
                   {kIconLabels, {1}, 0, 0, "There is no array named logo in icons.h."},
                   0,
                   Sprite(8, {"#......."}, "a_bits"),
                   "a_bits - icons.h"},
        SourceCase{"SizeLeftOpenAsksForTheReading",
                   kShip,
                   "",
                   {},
                   4,
                   Sprite(8, {"#......#", ".#....#."}, "ship"),
                   "ship - icons.h"},
        SourceCase{"NamedArrayTooLarge",
                   kIcons,
                   ":big_bits",
                   {},
                   0,
                   Box("This array in icons.h is too large for the grid, which takes up to 32 x 16 "
                       "pixels (big_bits is 40 x 2).")},
        SourceCase{"OnlyArrayTooLarge",
                   "#define big_width 40\n#define big_height 2\n"
                   "static const unsigned char big_bits[] = { 0,0,0,0,0, 0,0,0,0,0 };\n",
                   "drop",
                   {},
                   0,
                   Box("This array in icons.h is too large for the grid, which takes up to 32 x 16 "
                       "pixels (big_bits is 40 x 2).")},
        SourceCase{
            "OnlyArrayOfAnOddWidth",
            "#define n_width 12\n#define n_height 2\nconst unsigned char n[] = {1, 2, 3, 4};\n",
            "",
            {},
            0,
            Box("n in icons.h cannot be drawn: It is 12 pixels wide; the grid is 8, 16 or 32 "
                "wide.")},
        SourceCase{"NoArray",
                   "int x = 3;\n",
                   "",
                   {},
                   0,
                   Box("icons.h holds no array of numbers to draw.")},
        SourceCase{"OverSixteenMebibytes",
                   "/*" + std::string(kMaxSourceFileBytes, ' ') + "*/",
                   "",
                   {},
                   0,
                   Box("icons.h is too large to open.")}));

// Save writes only that array, in the file's own form; unchanged, the same
// bytes.
struct SaveCase {
    const char* what;
    std::string text;
    std::string suffix;
    bool bReadings;     // the readings chooser comes up, the first taken
    Cell cell;          // clicked before the save
    std::string before; // the array's text that changes, and what it becomes
    std::string after;
    friend void PrintTo(const SaveCase& c, std::ostream* os) { *os << c.what; }
};

class SourceSaveTest : public SourceTest, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(SourceSaveTest, WritesOnlyThatArray) {
    const SaveCase& c = GetParam();
    const QString path = Write("icons.h", c.text);
    if (c.bReadings)
        TakeFirstOfNextChooser();
    ASSERT_TRUE(Open(path, c.suffix));
    CtrlKeyInGrid(Qt::Key_S);
    EXPECT_EQ(Read("icons.h"), c.text) << "an unchanged sprite changed the file";

    ClickCell(c.cell);
    EXPECT_TRUE(dlg.IsModified());
    EXPECT_TRUE(Title().starts_with("*")) << Title();
    CtrlKeyInGrid(Qt::Key_S);
    std::string expected = c.text;
    ASSERT_NE(expected.find(c.before), std::string::npos);
    expected.replace(expected.find(c.before), c.before.size(), c.after);
    EXPECT_EQ(Read("icons.h"), expected);
    EXPECT_FALSE(dlg.IsModified());
    EXPECT_FALSE(Title().starts_with("*")) << Title();
    EXPECT_TRUE(MessageBoxes().empty());

    // The history runs across the save: undo is a change again.
    CtrlKeyInGrid(Qt::Key_Z);
    EXPECT_TRUE(dlg.IsModified());
    CtrlKeyInGrid(Qt::Key_S);
    EXPECT_EQ(Read("icons.h"), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Files, SourceSaveTest,
    ::testing::Values(
        SaveCase{"OneOfSeveral", kIcons, ":a_bits", false, {1, 0}, "{ 0x01 }", "{ 0x03 }"},
        SaveCase{"OneFrame", kIcons, ":frames[1]", false, {2, 0}, "{0x01, 0x02}", "{0x05, 0x02}"},
        SaveCase{"BinaryCrlfChosenReading", kShip, "", true, {1, 0}, "0b10000001", "0b11000001"}));

// Save As writes a new header, or appends to a C file; that file is then
// the document that Save writes.
TEST_F(SourceTest, SaveAsMakesANewHeaderOrAppends) {
    New();
    ClickCell({0, 0});
    TypeText(dlg, IDC_NAME, "star");
    const QString fresh = PathOf("stars.h");
    ASSERT_TRUE(dlg.SaveAs(CString(fresh.toStdString())));
    const std::string header = Read("stars.h");
    EXPECT_TRUE(header.starts_with("#ifndef STARS_H\n")) << header;
    EXPECT_TRUE(Title().starts_with("star - stars.h")) << Title();
    EXPECT_FALSE(dlg.IsModified());
    CSourceFile file;
    ASSERT_FALSE(file.Load(header));
    ASSERT_TRUE(file.Find("star"));
    EXPECT_EQ(file.Arrays()[*file.Find("star")].readings.front().pixels,
              std::vector<std::uint32_t>(Doc().Pixels().begin(), Doc().Pixels().end()));

    const std::string other = "#ifndef OTHER_H\n#define OTHER_H\nint x;\n#endif\n";
    Write("other.h", other);
    ClickCell({1, 0});
    ASSERT_TRUE(dlg.SaveAs(CString(PathOf("other.h").toStdString())));
    const std::string appended = Read("other.h");
    EXPECT_TRUE(appended.starts_with("#ifndef OTHER_H\n#define OTHER_H\nint x;\n")) << appended;
    EXPECT_TRUE(appended.ends_with("#endif\n")) << appended;
    EXPECT_NE(appended.find("star"), std::string::npos);
    EXPECT_EQ(Read("stars.h"), header) << "the first file changed";
    EXPECT_TRUE(Title().starts_with("star - other.h")) << Title();

    // Save now writes into other.h, and only the array.
    ClickCell({2, 0});
    CtrlKeyInGrid(Qt::Key_S);
    const std::string saved = Read("other.h");
    EXPECT_NE(saved, appended);
    EXPECT_TRUE(saved.starts_with("#ifndef OTHER_H\n#define OTHER_H\nint x;\n")) << saved;
    EXPECT_TRUE(MessageBoxes().empty());

    // A file that is not text is not appended to.
    Write("bin.h", std::string("\x01\x02\0", 3));
    EXPECT_FALSE(dlg.SaveAs(CString(PathOf("bin.h").toStdString())));
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_EQ(MessageBoxes()[0].text, "bin.h is not a text file.");

    // A folder that is not there: nothing written, and other.h stays the
    // document.
    EXPECT_FALSE(dlg.SaveAs(CString(PathOf("gone/x.h").toStdString())));
    ASSERT_EQ(MessageBoxes().size(), 2u);
    EXPECT_TRUE(MessageBoxes()[1].text.starts_with("x.h was not saved")) << MessageBoxes()[1].text;
    EXPECT_TRUE(Title().starts_with("star - other.h")) << Title();
}

// Save As asks where, suggesting a header named after the sprite, and never
// asks to replace a file it appends to. With no file open, Ctrl+S is Save
// As.
TEST_F(SourceTest, SaveAsAsksForTheFile) {
    const std::string other = "int x;\n";
    Write("other.h", other);
    New();
    ClickCell({0, 0});
    TypeText(dlg, IDC_NAME, "star");
    WhenModal(
        [&](QWidget* modal) {
            auto* files = static_cast<QFileDialog*>(modal);
            EXPECT_EQ(files->acceptMode(), QFileDialog::AcceptSave);
            EXPECT_TRUE(files->testOption(QFileDialog::DontConfirmOverwrite));
            EXPECT_TRUE(files->selectedFiles().value(0).endsWith("star.h"));
            files->selectFile(PathOf("other.h"));
            static_cast<QDialog*>(files)->accept();
        },
        [](QWidget* modal) { return qobject_cast<QFileDialog*>(modal) != nullptr; });
    CtrlKeyInGrid(Qt::Key_S);
    EXPECT_TRUE(Read("other.h").starts_with(other + "\n")) << Read("other.h");
    EXPECT_TRUE(Title().starts_with("star - other.h")) << Title();
}

// A file changed behind the editor's back is overwritten only when the user
// says so; otherwise the file on disk is reopened and the drawing stays in
// the history.
TEST_F(SourceTest, FileChangedOnDiskAsksBeforeSaving) {
    const QString path = Write("icons.h", kIcons);
    ASSERT_TRUE(Open(path, ":a_bits"));
    ClickCell({1, 0});
    const std::string edited = kIcons + "// edited\n";
    Write("icons.h", edited);

    AnswerBoxes({IDCANCEL});
    CtrlKeyInGrid(Qt::Key_S);
    EXPECT_EQ(Read("icons.h"), edited);
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_EQ(MessageBoxes()[0].nType, MB_YESNOCANCEL);
    EXPECT_TRUE(
        MessageBoxes()[0].text.starts_with("icons.h has changed on disk since it was opened."));

    // No keeps the file and reopens it: its sprite, one step after the
    // drawing.
    AnswerBoxes({IDNO});
    CtrlKeyInGrid(Qt::Key_S);
    EXPECT_EQ(Read("icons.h"), edited);
    EXPECT_TRUE(ShowsSprite(8, 1, {{0, 0}}));
    EXPECT_FALSE(dlg.IsModified());
    CtrlKeyInGrid(Qt::Key_Z);
    EXPECT_TRUE(ShowsSprite(8, 1, {{0, 0}, {1, 0}}));

    // Yes overwrites it with the file as read and the sprite.
    Write("icons.h", kIcons);
    AnswerBoxes({IDYES});
    CtrlKeyInGrid(Qt::Key_S);
    std::string expected = edited;
    expected.replace(expected.find("{ 0x01 }"), 8, "{ 0x03 }");
    EXPECT_EQ(Read("icons.h"), expected);

    // An array that is gone cannot be saved into: it says so and offers to
    // reopen, and No writes nothing.
    ClickCell({2, 0});
    std::string renamed = kIcons;
    renamed.replace(renamed.find("a_bits"), 6, "b_bits");
    Write("icons.h", renamed);
    AnswerBoxes({IDNO});
    CtrlKeyInGrid(Qt::Key_S);
    EXPECT_EQ(Read("icons.h"), renamed);
    EXPECT_EQ(MessageBoxes().back().nType, MB_YESNO);
    EXPECT_NE(MessageBoxes().back().text.find("a_bits is no longer where it was"),
              std::string::npos)
        << MessageBoxes().back().text;
    EXPECT_TRUE(dlg.IsModified());
}

// Closing with unsaved changes asks Save, Discard or Cancel, whichever way
// the window is closed; without changes it closes at once.
enum class CloseBy { Escape, Enter, CloseBox };

struct CloseCase {
    const char* what;
    CloseBy by;
    int answer; // IDYES saves, IDNO discards, IDCANCEL keeps the window
    friend void PrintTo(const CloseCase& c, std::ostream* os) { *os << c.what; }
};

class SourceCloseTest : public SourceTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(SourceCloseTest, AsksBeforeLosingChanges) {
    const CloseCase& c = GetParam();
    const QString path = Write("icons.h", kIcons);
    ASSERT_TRUE(Open(path, ":a_bits"));
    ClickCell({1, 0});
    AnswerBoxes({c.answer});
    switch (c.by) {
    case CloseBy::Escape:
        PressKey(Grid(), Qt::Key_Escape);
        break;
    case CloseBy::Enter:
        PressKey(Control(dlg, IDC_NAME), Qt::Key_Return);
        break;
    case CloseBy::CloseBox:
        Host(dlg).close();
        break;
    }
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_EQ(MessageBoxes()[0].text, "Save the changes to a_bits in icons.h?");
    EXPECT_EQ(MessageBoxes()[0].nType, MB_YESNOCANCEL);
    EXPECT_EQ(Host(dlg).isVisible(), c.answer == IDCANCEL);
    std::string saved = kIcons;
    if (c.answer == IDYES)
        saved.replace(saved.find("{ 0x01 }"), 8, "{ 0x03 }");
    EXPECT_EQ(Read("icons.h"), saved);
}

INSTANTIATE_TEST_SUITE_P(Answers, SourceCloseTest,
                         ::testing::Values(CloseCase{"EscapeSave", CloseBy::Escape, IDYES},
                                           CloseCase{"EnterDiscard", CloseBy::Enter, IDNO},
                                           CloseCase{"CloseBoxCancel", CloseBy::CloseBox, IDCANCEL},
                                           CloseCase{"EscapeCancel", CloseBy::Escape, IDCANCEL}));

TEST_F(SourceTest, ClosesAtOnceWithoutChanges) {
    ASSERT_TRUE(Open(Write("icons.h", kDot)));
    PressKey(Grid(), Qt::Key_Escape);
    EXPECT_FALSE(Host(dlg).isVisible());
    EXPECT_TRUE(MessageBoxes().empty());
}

} // namespace
