// A C file is the document: opening lists every sprite in it at the size the
// file states, and a save changes that sprite's values (and the numbers that
// state its size) in the file's own form, and no other byte.

#include "HeaderCorpus.h"
#include "PixelRows.h"
#include "SourceFile.h"
#include "SourceLayout.h"
#include "SourceSaveAs.h"
#include "SourceText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The bytes in which two texts differ: from the first difference to the
// last, as a span of `before`.
TextSpan ChangedSpan(std::string_view before, std::string_view after) {
    std::size_t head = 0;
    while (head < before.size() && head < after.size() && before[head] == after[head])
        ++head;
    std::size_t tail = 0;
    while (tail < before.size() - head && tail < after.size() - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    return {head, before.size() - head - tail};
}

bool Inside(const TextSpan& inner, const TextSpan& outer) {
    return inner.offset >= outer.offset && inner.End() <= outer.End();
}

// The document's listing after a save is the listing of its new text.
void ExpectListingOfItsText(const CSourceFile& file) {
    const SourceFileReading fresh = ReadSourceFile(file.Text());
    ASSERT_EQ(file.Arrays().size(), fresh.arrays.size());
    for (std::size_t k = 0; k < fresh.arrays.size(); ++k) {
        const SourceArray& kept = file.Arrays()[k];
        const SourceArray& read = fresh.arrays[k];
        SCOPED_TRACE(read.name);
        EXPECT_EQ(kept.name, read.name);
        EXPECT_EQ(kept.nameOffset, read.nameOffset);
        EXPECT_EQ(kept.values, read.values);
        EXPECT_EQ(kept.valueSpans, read.valueSpans);
        EXPECT_EQ(kept.elements, read.elements);
        ASSERT_EQ(kept.readings.size(), read.readings.size());
        for (std::size_t r = 0; r < read.readings.size(); ++r)
            EXPECT_EQ(kept.readings[r].pixels, read.readings[r].pixels);
        ASSERT_EQ(kept.companions.size(), read.companions.size());
        for (std::size_t c = 0; c < read.companions.size(); ++c)
            EXPECT_EQ(kept.companions[c].span, read.companions[c].span);
    }
}

const SourceArray& Listed(const CSourceFile& file, std::string_view name) {
    const std::optional<std::size_t> index = file.Find(name);
    if (!index)
        throw std::runtime_error("not listed: " + std::string(name));
    return file.Arrays()[*index];
}

// ---------------------------------------------------------------------------
// The corpus

TEST(SourceFileCorpus, ReadsEachSpriteAtItsStatedSize) {
    for (const CorpusHeader& header : HeaderCorpus()) {
        SCOPED_TRACE(header.label);
        CSourceFile file;
        ASSERT_FALSE(file.Load(header.text));
        const SourceArray& array = Listed(file, header.array);
        ASSERT_TRUE(array.IsOpenable()) << array.problem;
        EXPECT_EQ(array.width, header.width);
        EXPECT_EQ(array.height, header.height);
        EXPECT_EQ(array.readings.front().width, header.width);
        EXPECT_EQ(array.readings.front().height, header.height);
        EXPECT_EQ(array.readings.size() == 1, header.bStated);
        EXPECT_EQ(header.text.substr(array.values.End(), 1), "}");
    }
}

TEST(SourceFileCorpus, SavingUnchangedWritesTheSameBytes) {
    for (const CorpusHeader& header : HeaderCorpus()) {
        SCOPED_TRACE(header.label);
        CSourceFile file;
        ASSERT_FALSE(file.Load(header.text));
        for (std::size_t k = 0; k < file.Arrays().size(); ++k) {
            const SourceArray& array = file.Arrays()[k];
            for (std::size_t r = 0; r < array.readings.size(); ++r) {
                SCOPED_TRACE(array.name + " reading " + std::to_string(r));
                const SourceRewrite rewrite =
                    RewriteArray(file.Text(), array, r, array.readings[r]);
                EXPECT_EQ(rewrite.error, "");
                EXPECT_TRUE(rewrite.edits.empty());
            }
        }
    }
}

TEST(SourceFileCorpus, OnePixelChangesOnlyThatArraysValues) {
    for (const CorpusHeader& header : HeaderCorpus()) {
        SCOPED_TRACE(header.label);
        CSourceFile file;
        ASSERT_FALSE(file.Load(header.text));
        const std::size_t index = file.Find(header.array).value();
        const SourceArray array = file.Arrays()[index];
        SpriteReading sprite = array.readings.front();
        const std::size_t flipped = sprite.pixels.size() / 2 + 3;
        sprite.pixels[flipped] ^= 1u;
        ASSERT_FALSE(file.Store(index, 0, sprite));

        const TextSpan changed = ChangedSpan(header.text, file.Text());
        EXPECT_GT(changed.length, 0u);
        EXPECT_TRUE(Inside(changed, array.values))
            << "changed " << changed.offset << "+" << changed.length << ", values "
            << array.values.offset << "+" << array.values.length << "\n"
            << file.Text();
        const SourceArray& reread = Listed(file, header.array);
        ASSERT_TRUE(reread.IsOpenable());
        EXPECT_EQ(reread.readings.front().pixels, sprite.pixels);
        EXPECT_EQ(reread.readings.size(), array.readings.size());
        ExpectListingOfItsText(file);
    }
}

// Values that state no size can come to state one, as leading size bytes or
// as Glimmet's own line (lower-case hex that loses its letters): the listing
// is then that of the new text, not the array as it was.
TEST(SourceFileCorpus, ValuesThatComeToStateASizeAreListedAsTheTextReads) {
    const struct {
        const char* text;
        std::vector<std::string> rows;
        SizeSource source;
    } cases[] = {
        {"const unsigned char s[] = {0x00, 0x00, 0x18, 0x18, 0x18, 0x18};\n",
         {"00001000", "00000100", "00011000", "00011000", "00011000", "00011000"},
         SizeSource::LeadingBytes},
        {"int x;\nstatic unsigned char s[] = {0x00,0x1f};\nint y[] = {1, 2};\n",
         {"00010111", "01110110"},
         SizeSource::OwnLine},
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.text);
        CSourceFile file;
        ASSERT_FALSE(file.Load(entry.text));
        SpriteReading sprite = file.Arrays().front().readings.front();
        sprite.pixels = PixelsFromRows(entry.rows);
        ASSERT_EQ(file.Store(0, 0, sprite), std::nullopt);
        EXPECT_EQ(file.Arrays().front().source, entry.source);
        ExpectListingOfItsText(file);
    }
}

// ---------------------------------------------------------------------------
// Listing

struct ListingCase {
    const char* label;
    const char* text;
    std::vector<std::string> names;    // every array listed, in file order
    std::vector<std::string> openable; // "W x H" of each, or the start of its problem
};

std::string Summary(const SourceArray& array) {
    if (!array.IsOpenable())
        return "no: " + array.problem.substr(0, 12);
    return std::to_string(array.width) + " x " + std::to_string(array.height) +
           (array.readings.size() == 1 ? "" : " open");
}

TEST(SourceFileListing, ListsEveryArrayWithItsSizeInFileOrder) {
    const ListingCase cases[] = {
        {"an array too wide is listed with its size",
         "#define wide_width 64\n#define wide_height 8\nstatic char wide_bits[64] = {0};\n"
         "const unsigned char small[] = {1, 2};",
         {"wide_bits", "small"},
         {"no: It is 64 pix", "8 x 2 open"}},
        {"Glimmet's pages with companions: the defines name the sprite without the mark",
         "#define ICON_WIDTH 8\n#define ICON_HEIGHT 8\n"
         "static unsigned char icon_pages[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08};",
         {"icon_pages"},
         {"8 x 8"}},
        {"too tall by its element count",
         "const uint16_t tall[20] = {1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20};",
         {"tall"},
         {"no: It is 20 pix"}},
        {"a list longer than any sprite with no size",
         "unsigned char font[] = {0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,"
         "24,25,26,27,28,29,30,31,32,33,34,35,36,37,38,39,40,41,42,43,44,45,46,47,48,49,50,51,52,"
         "53,54,55,56,57,58,59,60,61,62,63,64};",
         {"font"},
         {"no: It holds 65 "}},
        {"a stated size that does not fit the values",
         "#define bad_width 16\n#define bad_height 8\nunsigned char bad_bits[] = {1, 2, 3};",
         {"bad_bits"},
         {"no: Its size, 16"}},
        {"a width the grid does not have",
         "#define odd_width 12\n#define odd_height 2\nunsigned char odd_bits[] = {1, 2, 3, 4};",
         {"odd_bits"},
         {"no: It is 12 pix"}},
        {"strings, negatives, casts and expressions are no sprites",
         "const char* s[] = {\"a\"}; int n[] = {-1, 2}; int m[] = {A, B}; int e[] = {1 + 2};\n",
         {},
         {}},
        {"values and commas take turns as in C: a missing comma or an empty element is no list",
         "unsigned char a[] = {0x0 0, 1}; unsigned char b[] = {1,, 2}; unsigned char c[] = {, 1};\n"
         "unsigned char d[2][1] = {{1}{2}}; unsigned char ok[] = {1, 2,};",
         {"ok"},
         {"8 x 2 open"}},
        {"a two-dimensional array written flat gives its frames",
         "const unsigned char anim[2][2] = {0x01, 0x02, 0x03, 0x04};",
         {"anim[0]", "anim[1]"},
         {"8 x 2 open", "8 x 2 open"}},
        {"Glimmet's own line reads one way",
         "static unsigned char arrow[] = {0x18,0x3C,0x7E};\n",
         {"arrow"},
         {"8 x 3"}},
        {"defines in upper case name rows, leftmost pixel high",
         "#define LOGO_WIDTH 16\n#define LOGO_HEIGHT 1\nconst unsigned char logo_bmp[] = {0x80, "
         "0x01};",
         {"logo_bmp"},
         {"16 x 1"}},
        {"a comment or string that looks like an array is not one",
         "/* int x[] = {1, 2}; */ const char* t = \"y[] = {3}\";\n// z[] = {4};\n"
         "unsigned char real[] = {5};",
         {"real"},
         {"8 x 1 open"}},
    };
    for (const ListingCase& entry : cases) {
        SCOPED_TRACE(entry.label);
        const SourceFileReading reading = ReadSourceFile(entry.text);
        std::vector<std::string> names;
        std::vector<std::string> summaries;
        for (const SourceArray& array : reading.arrays) {
            names.push_back(array.name);
            summaries.push_back(Summary(array));
        }
        EXPECT_EQ(names, entry.names);
        EXPECT_EQ(summaries, entry.openable);
        EXPECT_EQ(reading.error.has_value(), entry.names.empty());
    }
}

TEST(SourceFileListing, RefusesWhatIsNoSourceText) {
    EXPECT_EQ(ReadSourceFile(std::string("int a[] = {1};\0", 15)).error, SourceFileError::NotText);
    EXPECT_EQ(ReadSourceFile("int a = 1;").error, SourceFileError::NoArray);
    EXPECT_EQ(ReadSourceFile(std::string(kMaxSourceFileBytes + 1, ' ')).error,
              SourceFileError::TooLarge);
    // Bytes above ASCII are text: comments in any encoding stay as they are.
    EXPECT_FALSE(ReadSourceFile("// \xe9t\xe9\nunsigned char a[] = {1};").error);
}

// The bit order and palette as the file says them.
TEST(SourceFileListing, ReadsPixelsInTheOrderTheFileStates) {
    struct Case {
        const char* label;
        const char* text;
        std::vector<std::string> rows;
    };
    const Case cases[] = {
        {"XBM: leftmost pixel low",
         "#define x_width 8\n#define x_height 2\nunsigned char x_bits[] = {0x01, 0x80};",
         {"10000000", "00000001"}},
        {"pages after leading bytes",
         "unsigned char p[] = {8, 3, 0x01, 0x06, 0, 0, 0, 0, 0, 0};",
         {"10000000", "01000000", "01000000"}},
        {"a descriptor whose colour 1 is the lighter inverts",
         "const uint8_t d_map[] = {0,0,0,255, 255,255,255,255, 0x80};\n"
         "const lv_img_dsc_t d = {.header.cf = LV_IMG_CF_INDEXED_1BIT, .header.w = 8, "
         ".header.h = 1, .data_size = 9, .data = d_map};",
         {"01111111"}},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.label);
        const SourceFileReading reading = ReadSourceFile(entry.text);
        ASSERT_EQ(reading.arrays.size(), 1u);
        ASSERT_EQ(reading.arrays[0].readings.size(), 1u) << reading.arrays[0].problem;
        EXPECT_EQ(reading.arrays[0].readings[0].pixels, PixelsFromRows(entry.rows));
    }
}

// ---------------------------------------------------------------------------
// Writing

struct ResizeCase {
    const char* label;
    std::string text;
    const char* array;
    std::vector<std::string> rows; // the new sprite
    std::string expected;
};

TEST(SourceFileWriting, ANewSizeRewritesValuesCountAndCompanions) {
    const ResizeCase cases[] = {
        {"XBM defines follow; values keep their line length",
         "#define s_width 8\n#define s_height 2\nstatic unsigned char s_bits[] = {\n"
         "   0x01, 0x02};\n",
         "s_bits",
         {"10000000 00000001", "11111111 00000000", "00000000 00000000"},
         "#define s_width 16\n#define s_height 3\nstatic unsigned char s_bits[] = {\n"
         "   0x01, 0x80, 0xff, 0x00, 0x00, 0x00};\n"},
        {"row drawings and the count follow, one row a line",
         "const uint8_t h[3] = {\n  0b10000001, // #......#\n  0b01000010, // .#....#.\n"
         "  0b00111100  // ..####..\n};\n",
         "h",
         {"11000011", "00100100"},
         "const uint8_t h[2] = {\n  0b11000011, // ##....##\n  0b00100100  // ..#..#..\n};\n"},
        {"CRLF lines, tab indent and a trailing comma",
         WithCrLf("static const unsigned char t[] = {\n\t0x01,\n\t0x02,\n};\n"),
         "t",
         {"00000011", "00000100", "00001000"},
         WithCrLf("static const unsigned char t[] = {\n\t0x03,\n\t0x04,\n\t0x08,\n};\n")},
        {"comment lines and other comments stay where they were",
         "unsigned char c[] = {\n  // top\n  0x01, // eye\n  0x02,\n  // bottom\n  0x03\n};\n",
         "c",
         {"00000001", "00000010", "00000011", "00000100"},
         "unsigned char c[] = {\n  // top\n  0x01, // eye\n  0x02,\n  // bottom\n  0x03,\n"
         "  0x04\n};\n"},
        {"drawings that open their lines",
         "uint8_t d[] = {\n/* #....... */ 0x80,\n/* .#...... */ 0x40 };",
         "d",
         {"00000001", "00000011", "00000111"},
         "uint8_t d[] = {\n/* .......# */ 0x01,\n/* ......## */ 0x03,\n/* .....### */ 0x07 };"},
        {"leading bytes and the descriptor's fields follow",
         "const unsigned char p[] = {8, 1, 0x01};\n",
         "p",
         {"00000001", "00000010"},
         "const unsigned char p[] = {8, 2, 0x01, 0x02};\n"},
        {"a descriptor: width, height and data size; the palette stays",
         "const uint8_t d_map[] = {0,0,0,255, 255,255,255,255, 0x80};\n"
         "const lv_img_dsc_t d = {.header.cf = LV_IMG_CF_INDEXED_1BIT, .header.w = 8, "
         ".header.h = 1, .data_size = 9, .data = d_map};",
         "d_map",
         {"10000000 00000000", "00000000 00000001"},
         "const uint8_t d_map[] = {0,0,0,255, 255,255,255,255, 0x7f, 0xff, 0xff, 0xfe};\n"
         "const lv_img_dsc_t d = {.header.cf = LV_IMG_CF_INDEXED_1BIT, .header.w = 16, "
         ".header.h = 2, .data_size = 12, .data = d_map};"},
    };
    for (const ResizeCase& entry : cases) {
        SCOPED_TRACE(entry.label);
        CSourceFile file;
        ASSERT_FALSE(file.Load(entry.text));
        const std::size_t index = file.Find(entry.array).value();
        const SourceArray& array = file.Arrays()[index];
        ASSERT_TRUE(array.IsOpenable()) << array.problem;
        SpriteReading sprite = array.readings.front();
        sprite.pixels = PixelsFromRows(entry.rows);
        sprite.height = static_cast<int>(entry.rows.size());
        sprite.width = static_cast<int>(sprite.pixels.size()) / sprite.height;
        ASSERT_EQ(file.Store(index, 0, sprite), std::nullopt);
        EXPECT_EQ(file.Text(), entry.expected);
        const SourceArray& reread = Listed(file, entry.array);
        ASSERT_TRUE(reread.IsOpenable());
        EXPECT_EQ(reread.readings.front().pixels, sprite.pixels);
    }
}

TEST(SourceFileWriting, RefusesASizeTheArrayCannotTake) {
    CSourceFile file;
    ASSERT_FALSE(file.Load("const unsigned char f[2][1] = {{1}, {2}};\n"
                           "const uint16_t w[] = {1, 2};\n"
                           "const unsigned char n[] = {1, 2};\n"));
    const auto store = [&](std::string_view name, int width, int height) {
        const std::size_t index = file.Find(name).value();
        SpriteReading sprite = file.Arrays()[index].readings.front();
        sprite.width = width;
        sprite.height = height;
        sprite.pixels.assign(static_cast<std::size_t>(width * height), 1u);
        return file.Store(index, 0, sprite);
    };
    const std::string before = file.Text();
    EXPECT_NE(store("f[0]", 8, 2), std::nullopt); // a frame keeps its array's size
    EXPECT_NE(store("w", 32, 2), std::nullopt);   // 16-bit rows stay 16 wide
    EXPECT_NE(store("n", 9, 2), std::nullopt);    // no such width
    EXPECT_EQ(file.Text(), before);
    EXPECT_EQ(store("n", 8, 2), std::nullopt); // the same size goes in place
    EXPECT_EQ(file.Text(), "const unsigned char f[2][1] = {{1}, {2}};\n"
                           "const uint16_t w[] = {1, 2};\n"
                           "const unsigned char n[] = {255, 255};\n");
}

// Each literal keeps its kind, prefix, case, padding and suffix.
TEST(SourceFileWriting, ChangedValuesKeepTheirLiteralForm) {
    struct Case {
        const char* values;
        std::vector<std::uint32_t> elements;
        const char* expected;
    };
    const Case cases[] = {
        {"0x0F, 0xA0", {0x1F, 0xAB}, "0x1F, 0xAB"},
        {"0x0f, 0xa0", {0x1F, 0xAB}, "0x1f, 0xab"},
        {"0X0F,0X00", {0x1F, 0xC}, "0X1F,0X0C"},
        {"0x1, 0x10", {0x2, 0xFF}, "0x2, 0xff"},
        {"0b00000001, 0b1", {2, 3}, "0b00000010, 0b00000011"},
        {"B00000001, B1", {2, 0}, "B00000010, B00000000"},
        {"B00000001, B1", {0x1FF, 1}, "0b111111111, B1"},
        {"017, 0", {8, 9}, "010, 011"},
        {"1, 20", {255, 0}, "255, 0"},
        {"0x01u, 0x02U", {3, 4}, "0x03u, 0x04U"},
        {"0x0001, 0x0002", {0x8000, 1}, "0x8000, 0x0001"},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.values);
        ValuesEdit edit;
        edit.elements = entry.elements;
        EXPECT_EQ(RewriteValues(entry.values, edit), std::string(entry.expected));
    }
}

TEST(SourceFileWriting, SaveAsWritesAHeaderOrAppendsToOne) {
    EXPECT_EQ(NewHeaderText("/tmp/my-icons.h", "star", 8, 2,
                            "const unsigned char star[] = {0x18,0x3C};", true),
              "#ifndef MY_ICONS_H\n#define MY_ICONS_H\n\n#define star_width 8\n"
              "#define star_height 2\n\nconst unsigned char star[] = {0x18,0x3C};\n\n#endif\n");
    EXPECT_EQ(NewHeaderText("icons.h", "star", 8, 2, "int star[] = {1};\n", false),
              "#ifndef ICONS_H\n#define ICONS_H\n\nint star[] = {1};\n\n#endif\n");

    const std::string declaration = "unsigned char b[] = {1};\n";
    EXPECT_EQ(AppendDeclaration("#ifndef A_H\n#define A_H\nint a;\n#endif // A_H\n", declaration),
              "#ifndef A_H\n#define A_H\nint a;\nunsigned char b[] = {1};\n\n#endif // A_H\n");
    EXPECT_EQ(AppendDeclaration("#pragma once\r\nint a;", declaration),
              "#pragma once\r\nint a;\r\n\r\nunsigned char b[] = {1};\r\n");
    // An #endif that closes something else is no guard; a commented-out
    // directive is none.
    EXPECT_EQ(AppendDeclaration("/*\n#if 0\n*/\n#ifndef A\n#define A\n#endif\n", declaration),
              "/*\n#if 0\n*/\n#ifndef A\n#define A\nunsigned char b[] = {1};\n\n#endif\n");
    EXPECT_EQ(AppendDeclaration("#ifdef X\nint a;\n#endif\nint c;\n", declaration),
              "#ifdef X\nint a;\n#endif\nint c;\n\nunsigned char b[] = {1};\n");
}

// Elements of every width hold a layout's bytes grouped: a row's bytes in
// turn, the first in the high bits for rows with the leftmost pixel high and
// in the low bits for XBM's order. Pages are bytes only, and no element
// holds the bits of two rows. The elements are worked out by hand.
TEST(SourceFileWriting, PacksEachLayoutIntoElementsOfEveryWidth) {
    struct Case {
        CodeStyle layout;
        int bits;
        std::vector<std::string> rows;
        std::vector<std::uint32_t> elements; // none: the layout makes no such elements
    };
    const std::string wide = "10000000 00000001 01000000 00000010";
    const Case cases[] = {
        {CodeStyle::RowBytes, 8, {"10000000 00000001", "01000000 00000000"}, {0x80, 0x01, 0x40, 0}},
        {CodeStyle::RowBytes, 16, {wide}, {0x8001, 0x4002}},
        {CodeStyle::Rows, 16, {wide}, {0x8001, 0x4002}},
        {CodeStyle::RowBytes, 32, {wide}, {0x80014002}},
        {CodeStyle::Rows, 8, {"00000011", "10000000"}, {0x03, 0x80}},
        {CodeStyle::Xbm, 8, {"10000000 01000000"}, {0x01, 0x02}},
        {CodeStyle::Xbm, 16, {"10000000 01000000 00000000 00000001"}, {0x0201, 0x8000}},
        {CodeStyle::Xbm, 16, {"10000000 00000000", "00000000 00000001"}, {0x0001, 0x8000}},
        {CodeStyle::Xbm, 32, {"10000000 01000000 00000000 00000001"}, {0x80000201}},
        {CodeStyle::Pages,
         8,
         {"10000000", "00000000", "00000000", "00000000", "00000000", "00000000", "00000000",
          "01000000", "00100000", "00000001"},
         {0x01, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0x01, 0, 0, 0, 0, 0x02}},
        {CodeStyle::Pages, 16, {"10000000 00000000"}, {}},
        {CodeStyle::RowBytes, 16, {"10000000", "00000001"}, {}},
        {CodeStyle::Xbm, 32, {"10000000 00000000"}, {}},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(std::string(CodeStyleKey(entry.layout)) + " in " + std::to_string(entry.bits) +
                     "-bit elements, " + entry.rows.front());
        const std::vector<std::uint32_t> pixels = PixelsFromRows(entry.rows);
        const int height = static_cast<int>(entry.rows.size());
        const int width = static_cast<int>(pixels.size()) / height;
        EXPECT_EQ(PackPixels(pixels, entry.bits, entry.layout, width, height), entry.elements);
        EXPECT_EQ(ElementCount(entry.layout, entry.bits, width, height), entry.elements.size());
        const std::vector<std::uint32_t> held =
            entry.elements.empty() ? std::vector<std::uint32_t>(4, 0u) : entry.elements;
        const std::optional<std::vector<std::uint32_t>> read =
            UnpackPixels(held, entry.bits, entry.layout, width, height);
        EXPECT_EQ(read, entry.elements.empty() ? std::nullopt : std::optional(pixels));
    }
}

// Whatever a layout packs, at any element width, width and height, reads
// back as the same sprite; a value wider than the elements, or one element
// too few or too many, reads as nothing. At a layout's own value width the
// elements are the values it writes.
TEST(SourceFileWriting, PackedPixelsReadBackInEveryLayout) {
    std::uint32_t seed = 7;
    for (const LayoutForm& layout : Layouts()) {
        int packed = 0;
        for (const int bits : {8, 16, 32}) {
            for (const int width : {8, 16, 32}) {
                for (int height = 1; height <= 16; ++height) {
                    SCOPED_TRACE(std::string(layout.key) + " in " + std::to_string(bits) +
                                 "-bit elements, " + std::to_string(width) + " x " +
                                 std::to_string(height));
                    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width * height));
                    for (std::uint32_t& pixel : pixels)
                        pixel = (seed = seed * 1103515245u + 12345u) >> 31;
                    std::vector<std::uint32_t> elements =
                        PackPixels(pixels, bits, layout.style, width, height);
                    if (elements.empty())
                        continue;
                    ++packed;
                    EXPECT_EQ(UnpackPixels(elements, bits, layout.style, width, height), pixels);
                    if (ValueBitsAt(layout, width) == bits) {
                        EXPECT_EQ(elements, layout.write({width, height, pixels}));
                    }
                    std::vector<std::uint32_t> wrong = elements;
                    if (bits < 32) {
                        wrong.back() |= std::uint32_t{1} << bits;
                        EXPECT_FALSE(UnpackPixels(wrong, bits, layout.style, width, height));
                    }
                    wrong = elements;
                    wrong.push_back(0);
                    EXPECT_FALSE(UnpackPixels(wrong, bits, layout.style, width, height));
                    wrong.resize(elements.size() - 1);
                    EXPECT_FALSE(UnpackPixels(wrong, bits, layout.style, width, height));
                }
            }
        }
        EXPECT_GT(packed, 0) << layout.key;
    }
}

// A drawing saved into elements wider than a byte keeps the bit order of the
// reading it was opened with, whichever reading that was.
TEST(SourceFileWriting, WideElementsKeepTheBitOrderOfTheirReading) {
    struct Case {
        const char* text;
        CodeStyle reading;
        int x; // the pixel of the top row set in the drawing
        const char* expected;
    };
    const Case cases[] = {
        {"const uint16_t w[] = {0x0001, 0x8000};", CodeStyle::RowBytes, 1,
         "const uint16_t w[] = {0x4001, 0x8000};"},
        {"const uint16_t w[] = {0x0001, 0x8000};", CodeStyle::Xbm, 1,
         "const uint16_t w[] = {0x0003, 0x8000};"},
        {"const uint32_t v[] = {0x00000001};", CodeStyle::RowBytes, 8,
         "const uint32_t v[] = {0x00800001};"},
        {"const uint32_t v[] = {0x00000001};", CodeStyle::Xbm, 8,
         "const uint32_t v[] = {0x00000101};"},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.expected);
        CSourceFile file;
        ASSERT_FALSE(file.Load(entry.text));
        const std::vector<SpriteReading>& readings = file.Arrays().front().readings;
        const auto found =
            std::find_if(readings.begin(), readings.end(),
                         [&](const SpriteReading& r) { return r.layout == entry.reading; });
        ASSERT_NE(found, readings.end());
        const auto nReading = static_cast<std::size_t>(found - readings.begin());
        SpriteReading sprite = *found;
        sprite.pixels[static_cast<std::size_t>(entry.x)] = 1u;
        ASSERT_EQ(file.Store(0, nReading, sprite), std::nullopt);
        EXPECT_EQ(file.Text(), entry.expected);
        EXPECT_EQ(file.Arrays().front().readings[nReading].pixels, sprite.pixels);
        ExpectListingOfItsText(file);
    }
}

} // namespace
