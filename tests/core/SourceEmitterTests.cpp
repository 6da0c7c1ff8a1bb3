// The emitted line is pasted into someone else's program, so it must be the
// exact text the drawn pixels stand for: the right element type for the
// width, one constant per row, the leftmost pixel as the most significant bit,
// and nothing read from outside the pixels it was given. The byte styles must
// hold the bytes their display libraries draw from, in their own text, and
// the default style must stay byte for byte what it has always been.

#include "PixelRows.h"
#include "SourceEmitter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <ostream>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Failure messages name a choice by its key. They live in the choices' own
// namespace so that GoogleTest finds them.
inline void PrintTo(CodeStyle style, std::ostream* os) {
    *os << CodeStyleKey(style);
}
inline void PrintTo(CodeLanguage language, std::ostream* os) {
    *os << LanguageOf(language).key;
}
inline void PrintTo(CodeSize size, std::ostream* os) {
    *os << SizeOf(size).key;
}
inline void PrintTo(const CodeForm& form, std::ostream* os) {
    *os << CodeStyleKey(form.style) << "/" << LanguageOf(form.language).key << "/"
        << SizeOf(form.size).key;
}

namespace {

constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();

// `count` copies of `constant` as they appear between the braces of a
// declaration: separated by bare commas in the Rows style, by ", " in the
// byte styles.
std::string Constants(std::string_view constant, int count, std::string_view separator = ",") {
    std::string list;
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            list += separator;
        list += constant;
    }
    return list;
}

std::string Bytes(std::string_view constant, int count) {
    return Constants(constant, count, ", ");
}

// The declaration start for each width index.
std::string TypeFor(std::int32_t widthIndex) {
    switch (widthIndex) {
    case 0:
        return "static unsigned char ";
    case 1:
        return "static unsigned short int ";
    default:
        return "static unsigned long int ";
    }
}

int WidthFor(std::int32_t widthIndex) {
    return 8 << widthIndex;
}

// Make Code's text in C without companions for the cases' width index.
std::string EmitInC(CodeStyle style, std::int32_t widthIndex, std::string_view name,
                    std::int32_t height, std::span<const std::uint32_t> pixels) {
    return EmitCode(CodeForm{style}, name, {WidthFor(widthIndex), height, pixels});
}

// A constant with every pixel of a row clear, e.g. "0x0000" for width 16.
std::string ClearRow(std::int32_t widthIndex) {
    return "0x" + std::string(static_cast<std::size_t>(WidthFor(widthIndex) / 4), '0');
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != text.npos;
}

// ---------------------------------------------------------------------------
// Drawn sprites

struct EmitCase {
    std::int32_t widthIndex;
    std::string name;
    std::int32_t height;
    std::vector<std::string> rows;
    std::string expected;
    CodeStyle style = CodeStyle::Rows;
    CodeLanguage language = CodeLanguage::C;
    CodeSize size = CodeSize::None;
    friend void PrintTo(const EmitCase& c, std::ostream* os) {
        PrintTo(CodeForm{c.style, c.language, c.size}, os);
        *os << ", name \"" << c.name << "\", width index " << c.widthIndex << ", height "
            << c.height;
    }
};

class EmitDeclarationTest : public testing::TestWithParam<EmitCase> {};

TEST_P(EmitDeclarationTest, WritesTheDrawnRowsAsOneDeclaration) {
    const EmitCase& c = GetParam();
    const std::vector<std::uint32_t> pixels = PixelsFromRows(c.rows);
    const CodeForm form{c.style, c.language, c.size};
    EXPECT_EQ(EmitCode(form, c.name, {WidthFor(c.widthIndex), c.height, pixels}), c.expected);
}

// The 16 x 2 arrow in every form the choices offer, as users copy it.
const std::vector<std::string> kArrow = {"11000000 00000011", "00111100 10000000"};

INSTANTIATE_TEST_SUITE_P(
    Forms, EmitDeclarationTest,
    testing::Values(
        EmitCase{1, "arrow", 2, kArrow, "static unsigned short int arrow[] = {0xC003,0x3C80};"},
        EmitCase{1, "arrow", 2, kArrow, "static unsigned char arrow[] = {0xc0, 0x03, 0x3c, 0x80};",
                 CodeStyle::RowBytes},
        EmitCase{1, "arrow", 2, kArrow, "static unsigned char arrow[] = {0x03, 0xc0, 0x3c, 0x01};",
                 CodeStyle::Xbm},
        EmitCase{1, "arrow", 2, kArrow, "const uint8_t arrow[] PROGMEM = {0xc0, 0x03, 0x3c, 0x80};",
                 CodeStyle::RowBytes, CodeLanguage::Arduino},
        EmitCase{1, "arrow", 2, kArrow, "const uint16_t arrow[] PROGMEM = {0xC003,0x3C80};",
                 CodeStyle::Rows, CodeLanguage::Arduino},
        EmitCase{1, "arrow", 2, kArrow,
                 "#define ARROW_WIDTH 16\n#define ARROW_HEIGHT 2\n"
                 "static unsigned short int arrow[] = {0xC003,0x3C80};",
                 CodeStyle::Rows, CodeLanguage::C, CodeSize::Defines},
        EmitCase{1, "arrow", 2, kArrow,
                 "#define arrow_width 16\n#define arrow_height 2\n"
                 "static unsigned char arrow_bits[] = {0x03, 0xc0, 0x3c, 0x01};",
                 CodeStyle::Xbm, CodeLanguage::C, CodeSize::Defines},
        EmitCase{1, "arrow", 2, kArrow,
                 "static unsigned char arrow[] = {16, 2, 0xc0, 0x03, 0x3c, 0x80};",
                 CodeStyle::RowBytes, CodeLanguage::C, CodeSize::Leading},
        EmitCase{1, "arrow", 2, kArrow,
                 "arrow = bytearray(b'\\xc0\\x03\\x3c\\x80')\n"
                 "arrow_fb = framebuf.FrameBuffer(arrow, 16, 2, framebuf.MONO_HLSB)",
                 CodeStyle::RowBytes, CodeLanguage::MicroPython}));

// The rules that complete the forms: Arduino types follow the width, rows
// reach MicroPython as row bytes, each byte layout names its own FrameBuffer
// format, MicroPython takes no size companion, leading size bytes are for
// byte layouts only, and with a size companion the XBM and pages arrays carry
// their layout's mark.
INSTANTIATE_TEST_SUITE_P(
    FormRules, EmitDeclarationTest,
    testing::Values(
        EmitCase{0,
                 "s",
                 1,
                 {"10000001"},
                 "const uint8_t s[] PROGMEM = {0x81};",
                 CodeStyle::Rows,
                 CodeLanguage::Arduino},
        EmitCase{2,
                 "s",
                 1,
                 {"10000000 00000000 00000000 00000011"},
                 "const uint32_t s[] PROGMEM = {0x80000003};",
                 CodeStyle::Rows,
                 CodeLanguage::Arduino},
        EmitCase{2,
                 "s",
                 1,
                 {"10000000 00000000 00000000 00000011"},
                 "const uint8_t s[] PROGMEM = {0x01, 0x00, 0x00, 0xc0};",
                 CodeStyle::Xbm,
                 CodeLanguage::Arduino},
        EmitCase{
            0,
            "p",
            2,
            {"10000001", "00000000"},
            "#define P_WIDTH 8\n#define P_HEIGHT 2\n"
            "const uint8_t p_pages[] PROGMEM = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01};",
            CodeStyle::Pages,
            CodeLanguage::Arduino,
            CodeSize::Defines},
        EmitCase{0,
                 "Ship 2",
                 1,
                 {"11000000"},
                 "#define SHIP 2_WIDTH 8\n#define SHIP 2_HEIGHT 1\n"
                 "static unsigned char Ship 2[] = {0xC0};",
                 CodeStyle::Rows,
                 CodeLanguage::C,
                 CodeSize::Defines},
        EmitCase{1,
                 "r",
                 1,
                 {"11000000 00000011"},
                 "r = bytearray(b'\\xc0\\x03')\n"
                 "r_fb = framebuf.FrameBuffer(r, 16, 1, framebuf.MONO_HLSB)",
                 CodeStyle::Rows,
                 CodeLanguage::MicroPython,
                 CodeSize::Defines},
        EmitCase{1,
                 "x",
                 1,
                 {"11000000 00000011"},
                 "x = bytearray(b'\\x03\\xc0')\n"
                 "x_fb = framebuf.FrameBuffer(x, 16, 1, framebuf.MONO_HMSB)",
                 CodeStyle::Xbm,
                 CodeLanguage::MicroPython,
                 CodeSize::Leading},
        EmitCase{0,
                 "v",
                 2,
                 {"10000001", "00000000"},
                 "v = bytearray(b'\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x01')\n"
                 "v_fb = framebuf.FrameBuffer(v, 8, 2, framebuf.MONO_VLSB)",
                 CodeStyle::Pages,
                 CodeLanguage::MicroPython},
        EmitCase{0,
                 "s",
                 2,
                 {"10000001", "00000000"},
                 "static unsigned char s[] = {0x81,0x00};",
                 CodeStyle::Rows,
                 CodeLanguage::C,
                 CodeSize::Leading},
        EmitCase{2,
                 "s",
                 1,
                 {"10000000 00000000 00000000 00000011"},
                 "const uint8_t s_bits[] PROGMEM = {32, 1, 0x01, 0x00, 0x00, 0xc0};",
                 CodeStyle::Xbm,
                 CodeLanguage::Arduino,
                 CodeSize::Leading},
        EmitCase{0,
                 "s",
                 0,
                 {},
                 "static unsigned char s_pages[] = {8, 0};",
                 CodeStyle::Pages,
                 CodeLanguage::C,
                 CodeSize::Leading},
        // An XBM image wraps its values twelve to a line, as XBM files do,
        // for readers that read a line into a small buffer.
        EmitCase{2, "w", 4, std::vector<std::string>(4, std::string(32, '0')),
                 "#define w_width 32\n#define w_height 4\nstatic unsigned char w_bits[] = {" +
                     Bytes("0x00", 12) + ",\n   " + Bytes("0x00", 4) + "};",
                 CodeStyle::Xbm, CodeLanguage::C, CodeSize::Defines}));

INSTANTIATE_TEST_SUITE_P(
    BitOrderAndTypes, EmitDeclarationTest,
    testing::Values(
        EmitCase{
            0, "ship", 2, {"10000001", "00000000"}, "static unsigned char ship[] = {0x81,0x00};"},
        EmitCase{0, "x", 1, {"01011010"}, "static unsigned char x[] = {0x5A};"},
        EmitCase{1, "a", 1, {"10000000 00000000"}, "static unsigned short int a[] = {0x8000};"},
        EmitCase{2,
                 "b",
                 1,
                 {"00000000 00000000 00000000 00000001"},
                 "static unsigned long int b[] = {0x00000001};"},
        // The bytes of a wide row come in reading order: the leftmost eight
        // pixels make the two leading hex digits.
        EmitCase{1, "m", 1, {"00000001 10000000"}, "static unsigned short int m[] = {0x0180};"},
        EmitCase{2,
                 "w",
                 1,
                 {"10000000 01000000 00100000 00010000"},
                 "static unsigned long int w[] = {0x80402010};"},
        EmitCase{1,
                 "arrow",
                 2,
                 {"11000000 00000011", "00111100 10000000"},
                 "static unsigned short int arrow[] = {0xC003,0x3C80};"},
        // Only element 34 (row 4, column 2) is set.
        EmitCase{0,
                 "ship",
                 8,
                 {"00000000", "00000000", "00000000", "00000000", "00100000", "00000000",
                  "00000000", "00000000"},
                 "static unsigned char ship[] = {0x00,0x00,0x00,0x00,0x20,0x00,0x00,0x00};"},
        EmitCase{2, "full", 16, std::vector<std::string>(16, std::string(32, '1')),
                 "static unsigned long int full[] = {" + Constants("0xFFFFFFFF", 16) + "};"}));

// The name is the user's business: it goes in exactly as typed, blanks and
// punctuation included.
INSTANTIATE_TEST_SUITE_P(
    NamesVerbatim, EmitDeclarationTest,
    testing::Values(
        EmitCase{0, "my sprite!", 1, {"00000000"}, "static unsigned char my sprite![] = {0x00};"},
        EmitCase{0, "", 1, {"11111111"}, "static unsigned char [] = {0xFF};"},
        EmitCase{1,
                 "  a,b={c}  ",
                 1,
                 {"00000000 00000001"},
                 "static unsigned short int   a,b={c}  [] = {0x0001};"},
        EmitCase{0,
                 "my sprite!",
                 1,
                 {"00111100"},
                 "static unsigned char my sprite![] = {0x3c};",
                 CodeStyle::Xbm}));

// Each row as width / 8 bytes, the leftmost pixel of a byte its lowest bit.
INSTANTIATE_TEST_SUITE_P(
    XbmBytes, EmitDeclarationTest,
    testing::Values(
        EmitCase{0,
                 "ship",
                 2,
                 {"10000001", "00000000"},
                 "static unsigned char ship[] = {0x81, 0x00};",
                 CodeStyle::Xbm},
        EmitCase{0, "x", 1, {"11000000"}, "static unsigned char x[] = {0x03};", CodeStyle::Xbm},
        EmitCase{1,
                 "a",
                 1,
                 {"10000000 00000001"},
                 "static unsigned char a[] = {0x01, 0x80};",
                 CodeStyle::Xbm},
        EmitCase{2,
                 "w",
                 2,
                 {"00001111 00000000 00000000 00000000", "00000000 00000000 00000000 11110000"},
                 "static unsigned char w[] = {0xf0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0f};",
                 CodeStyle::Xbm},
        // Rows past the sixteenth are set, so writing one of them shows.
        EmitCase{0,
                 "tall",
                 20,
                 {"00000000", "00000000", "00000000", "00000000", "00000000",
                  "00000000", "00000000", "00000000", "00000000", "00000000",
                  "00000000", "00000000", "00000000", "00000000", "00000000",
                  "00000000", "11111111", "11111111", "11111111", "11111111"},
                 "static unsigned char tall[] = {" + Bytes("0x00", 16) + "};",
                 CodeStyle::Xbm}));

// Pages of eight rows, one byte per column, the page's top row its lowest bit.
INSTANTIATE_TEST_SUITE_P(
    PageBytes, EmitDeclarationTest,
    testing::Values(
        EmitCase{0,
                 "ship",
                 2,
                 {"10000001", "00000000"},
                 "static unsigned char ship[] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01};",
                 CodeStyle::Pages},
        EmitCase{0,
                 "diag",
                 8,
                 {"10000000", "01000000", "00100000", "00010000", "00001000", "00000100",
                  "00000010", "00000001"},
                 "static unsigned char diag[] = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80};",
                 CodeStyle::Pages},
        // The ninth row starts a second page, padded with clear rows.
        EmitCase{0, "bar", 9, std::vector<std::string>(9, "10000000"),
                 "static unsigned char bar[] = {0xff, " + Bytes("0x00", 7) + ", 0x01, " +
                     Bytes("0x00", 7) + "};",
                 CodeStyle::Pages},
        // The padding is clear even where the raster goes on below the height.
        EmitCase{1, "h", 3, std::vector<std::string>(8, std::string(16, '1')),
                 "static unsigned char h[] = {" + Bytes("0x07", 16) + "};", CodeStyle::Pages},
        EmitCase{2, "tall", 17,
                 [] {
                     std::vector<std::string> rows(17, std::string(32, '0'));
                     rows.back() = std::string(32, '1');
                     return rows;
                 }(),
                 "static unsigned char tall[] = {" + Bytes("0x00", 64) + "};", CodeStyle::Pages}));

// ---------------------------------------------------------------------------
// Heights outside 1 to 16

struct EmptyCase {
    std::int32_t widthIndex;
    std::int32_t height;
    std::string expected;
    CodeStyle style = CodeStyle::Rows;
    friend void PrintTo(const EmptyCase& c, std::ostream* os) {
        *os << CodeStyleKey(c.style) << ", width index " << c.widthIndex << ", height " << c.height;
    }
};

class NoRowsTest : public testing::TestWithParam<EmptyCase> {};

// With no rows the initialiser is empty but whole: the text must never lose
// its opening brace to the comma that separates rows.
TEST_P(NoRowsTest, GivesAnEmptyInitialiser) {
    const EmptyCase& c = GetParam();
    const std::vector<std::uint32_t> pixels(32 * 16, 1);
    EXPECT_EQ(EmitInC(c.style, c.widthIndex, "s", c.height, pixels), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    ZeroAndNegativeHeights, NoRowsTest,
    testing::Values(EmptyCase{0, 0, "static unsigned char s[] = {};"},
                    EmptyCase{0, -1, "static unsigned char s[] = {};"},
                    EmptyCase{0, kInt32Min, "static unsigned char s[] = {};"},
                    EmptyCase{1, 0, "static unsigned short int s[] = {};"},
                    EmptyCase{2, -1, "static unsigned long int s[] = {};"},
                    EmptyCase{2, -16, "static unsigned long int s[] = {};"},
                    EmptyCase{2, 0, "static unsigned char s[] = {};", CodeStyle::Xbm},
                    EmptyCase{1, kInt32Min, "static unsigned char s[] = {};", CodeStyle::Pages}));

struct TallCase {
    std::int32_t widthIndex;
    std::int32_t height;
    friend void PrintTo(const TallCase& c, std::ostream* os) {
        *os << "width index " << c.widthIndex << ", height " << c.height;
    }
};

class TooManyRowsTest : public testing::TestWithParam<TallCase> {};

// The first 16 rows are clear and every row after them is set, so a single
// row too many shows up as a set constant. The heights stay small enough that
// an emitter which forgot the limit fails quickly instead of exhausting memory.
TEST_P(TooManyRowsTest, StopsAfterSixteenRows) {
    const TallCase& c = GetParam();
    const std::size_t width = static_cast<std::size_t>(WidthFor(c.widthIndex));
    std::vector<std::uint32_t> pixels(width * 40, 1);
    std::fill_n(pixels.begin(), width * 16, 0u);

    EXPECT_EQ(EmitInC(CodeStyle::Rows, c.widthIndex, "s", c.height, pixels),
              TypeFor(c.widthIndex) + "s[] = {" + Constants(ClearRow(c.widthIndex), 16) + "};");
}

INSTANTIATE_TEST_SUITE_P(HeightsAboveSixteen, TooManyRowsTest,
                         testing::Values(TallCase{0, 17}, TallCase{1, 17}, TallCase{2, 17},
                                         TallCase{0, 40}, TallCase{1, 1000}, TallCase{2, 100000}));

// ---------------------------------------------------------------------------
// Fewer pixels than rows times columns

struct ShortCase {
    std::int32_t widthIndex;
    std::int32_t height;
    std::size_t setPixels;
    std::string expected;
    CodeStyle style = CodeStyle::Rows;
    friend void PrintTo(const ShortCase& c, std::ostream* os) {
        *os << CodeStyleKey(c.style) << ", width index " << c.widthIndex << ", height " << c.height
            << ", only " << c.setPixels << " pixels";
    }
};

class ShortPixelsTest : public testing::TestWithParam<ShortCase> {};

// The pixels live in an allocation of exactly their size, so that a read past
// them is caught by the address sanitizer; every pixel given is set, so the
// output shows where the given pixels end.
TEST_P(ShortPixelsTest, ReadsMissingPixelsAsClear) {
    const ShortCase& c = GetParam();
    const auto storage = std::make_unique<std::uint32_t[]>(c.setPixels);
    std::fill_n(storage.get(), c.setPixels, 1u);
    const std::span<const std::uint32_t> pixels(storage.get(), c.setPixels);

    EXPECT_EQ(EmitInC(c.style, c.widthIndex, "s", c.height, pixels), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    PartialRasters, ShortPixelsTest,
    testing::Values(
        ShortCase{0, 4, 10, "static unsigned char s[] = {0xFF,0xC0,0x00,0x00};"},
        ShortCase{0, 2, 0, "static unsigned char s[] = {0x00,0x00};"},
        ShortCase{0, 16, 127, "static unsigned char s[] = {" + Constants("0xFF", 15) + ",0xFE};"},
        ShortCase{1, 2, 20, "static unsigned short int s[] = {0xFFFF,0xF000};"},
        ShortCase{2, 1, 31, "static unsigned long int s[] = {0xFFFFFFFE};"},
        ShortCase{2, 16, 0,
                  "static unsigned long int s[] = {" + Constants("0x00000000", 16) + "};"},
        ShortCase{0, 2, 10, "static unsigned char s[] = {0xff, 0x03};", CodeStyle::Xbm},
        ShortCase{1, 16, 3, "static unsigned char s[] = {0x07, " + Bytes("0x00", 31) + "};",
                  CodeStyle::Xbm},
        ShortCase{0, 2, 10, "static unsigned char s[] = {0x03, 0x03, " + Bytes("0x01", 6) + "};",
                  CodeStyle::Pages},
        ShortCase{2, 16, 33,
                  "static unsigned char s[] = {0x03, " + Bytes("0x01", 31) + ", " +
                      Bytes("0x00", 32) + "};",
                  CodeStyle::Pages}));

// Here the pixels are the front of a larger array whose remaining elements
// are all set, so reading past the given pixels changes the text even in a
// build without sanitizers.
TEST(ShortPixels, IgnoresMemoryPastTheGivenPixels) {
    const std::vector<std::uint32_t> memory(8 * 16, 1);
    const std::span<const std::uint32_t> pixels = std::span(memory).first(10);

    EXPECT_EQ(EmitInC(CodeStyle::Rows, 0, "s", 16, pixels),
              "static unsigned char s[] = {0xFF,0xC0," + Constants("0x00", 14) + "};");
}

// ---------------------------------------------------------------------------
// Shape of the text for any raster

constexpr CodeStyle kStyles[] = {CodeStyle::Rows, CodeStyle::RowBytes, CodeStyle::Xbm,
                                 CodeStyle::Pages};

// What a declaration of `rows` rows holds in each style: its opening, how
// many constants, how many digits each, and what separates them.
struct Shape {
    std::string opening;
    std::size_t constants;
    std::size_t digits;
    std::string_view separator;
};

Shape ShapeOf(CodeStyle style, std::int32_t widthIndex, std::int32_t rows) {
    const auto width = static_cast<std::size_t>(WidthFor(widthIndex));
    const auto n = static_cast<std::size_t>(rows);
    switch (style) {
    case CodeStyle::RowBytes:
    case CodeStyle::Xbm:
        return {"static unsigned char s[] = {", n * width / 8, 2, ", "};
    case CodeStyle::Pages:
        return {"static unsigned char s[] = {", (n + 7) / 8 * width, 2, ", "};
    case CodeStyle::Rows:
        break;
    }
    return {TypeFor(widthIndex) + "s[] = {", n, width / 4, ","};
}

// For every style, width and height from below to above the allowed range,
// with random pixels: the text is a single line of the style's type and
// constants (rows up to 16), closed by "};". The byte styles never write the
// Rows text, except where both stand for the same pixels (see the next test).
TEST(DeclarationShape, IsOneLineOfTheStylesConstants) {
    std::mt19937 random(0x51A7E5u);
    for (std::int32_t widthIndex = 0; widthIndex <= 2; ++widthIndex) {
        const std::size_t width = static_cast<std::size_t>(WidthFor(widthIndex));
        for (std::int32_t height = -1; height <= 18; ++height) {
            std::vector<std::uint32_t> pixels(width * 18);
            for (std::uint32_t& pixel : pixels)
                pixel = random() & 1u;
            const std::string rowsText = EmitInC(CodeStyle::Rows, widthIndex, "s", height, pixels);
            const std::int32_t rows = height < 0 ? 0 : (height > 16 ? 16 : height);
            for (const CodeStyle style : kStyles) {
                const std::string text = EmitInC(style, widthIndex, "s", height, pixels);
                SCOPED_TRACE(text);
                const Shape shape = ShapeOf(style, widthIndex, rows);
                std::size_t constants = 0;
                for (std::size_t at = text.find("0x"); at != text.npos;
                     at = text.find("0x", at + 2))
                    ++constants;

                EXPECT_FALSE(HasLineBreak(text));
                EXPECT_TRUE(text.starts_with(shape.opening));
                EXPECT_TRUE(text.ends_with("};"));
                EXPECT_EQ(constants, shape.constants);
                EXPECT_EQ(text.size() - shape.opening.size() - 2,
                          shape.constants * (2 + shape.digits) +
                              (shape.constants > 0 ? shape.constants - 1 : 0) *
                                  shape.separator.size());
                if (style == CodeStyle::Rows) {
                    EXPECT_EQ(text, rowsText);
                } else if (rows > 1 || widthIndex > 0) {
                    EXPECT_NE(text, rowsText);
                }
            }
        }
    }
}

// A paste of a byte-style line that happens to read as the Rows text must
// still give the drawn sprite: that only happens for one row of eight pixels
// that is its own mirror image, where both bit orders agree.
TEST(DeclarationShape, ByteStylesMatchTheRowsTextOnlyForMirroredBytes) {
    for (unsigned byte = 0; byte < 256; ++byte) {
        std::vector<std::uint32_t> pixels(8);
        for (std::size_t k = 0; k < 8; ++k)
            pixels[k] = (byte >> (7 - k)) & 1u;
        const bool mirrored = std::equal(pixels.begin(), pixels.end(), pixels.rbegin());
        const std::string rowsText = EmitInC(CodeStyle::Rows, 0, "s", 1, pixels);
        SCOPED_TRACE(rowsText);
        if (EmitInC(CodeStyle::Xbm, 0, "s", 1, pixels) == rowsText) {
            EXPECT_TRUE(mirrored);
        }
    }
}

// ---------------------------------------------------------------------------
// Style keys

struct KeyCase {
    std::string key;
    std::optional<CodeStyle> style;
    friend void PrintTo(const KeyCase& c, std::ostream* os) { *os << '"' << c.key << '"'; }
};

class CodeStyleKeyTest : public testing::TestWithParam<KeyCase> {};

// A stored key names a style only as written; anything else, including a
// key from a later version, is no style, so the caller falls back to Rows.
TEST_P(CodeStyleKeyTest, ReadsOnlyTheExactKeys) {
    const KeyCase& c = GetParam();
    EXPECT_EQ(CodeStyleFromKey(c.key), c.style);
    if (c.style) {
        EXPECT_EQ(CodeStyleKey(*c.style), c.key);
    }
}

INSTANTIATE_TEST_SUITE_P(
    StoredKeys, CodeStyleKeyTest,
    testing::Values(KeyCase{"rows", CodeStyle::Rows}, KeyCase{"rowbytes", CodeStyle::RowBytes},
                    KeyCase{"xbm", CodeStyle::Xbm}, KeyCase{"pages", CodeStyle::Pages},
                    KeyCase{"", std::nullopt}, KeyCase{"Rows", std::nullopt},
                    KeyCase{"xbm ", std::nullopt}, KeyCase{"page", std::nullopt},
                    KeyCase{std::string("xbm\0", 4), std::nullopt}));

// The three settings are read together; each value that names no option
// falls back to that choice's default on its own.
TEST(CodeFormKeys, EachUnreadableValueMeansItsDefault) {
    EXPECT_EQ(CodeFormFromKeys("", "", ""), CodeForm{});
    EXPECT_EQ(CodeFormFromKeys("rowbytes", "arduino", "leading"),
              (CodeForm{CodeStyle::RowBytes, CodeLanguage::Arduino, CodeSize::Leading}));
    EXPECT_EQ(CodeFormFromKeys("pages", "Python", "defines"),
              (CodeForm{CodeStyle::Pages, CodeLanguage::C, CodeSize::Defines}));
    EXPECT_EQ(CodeFormFromKeys("xbm ", "micropython", "none"),
              (CodeForm{CodeStyle::Rows, CodeLanguage::MicroPython, CodeSize::None}));
}

// ---------------------------------------------------------------------------
// Reading a layout back

// Every layout's reading gives back exactly the sprite its writing was given,
// at every width and at heights across a page boundary, and refuses values
// that its writing could not have given: one too few, one too many, and one
// value wider than the layout's.
TEST(LayoutReading, IsTheInverseOfTheWriting) {
    std::mt19937 random(0x7AB1Eu);
    for (const LayoutForm& layout : Layouts()) {
        for (const int width : {8, 16, 32}) {
            for (const int height : {1, 2, 7, 8, 9, 16}) {
                SCOPED_TRACE(std::string(layout.key) + " " + std::to_string(width) + " x " +
                             std::to_string(height));
                std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width * height));
                for (std::uint32_t& pixel : pixels)
                    pixel = random() & 1u;
                std::vector<std::uint32_t> values = layout.write({width, height, pixels});
                EXPECT_EQ(layout.read(values, width, height), pixels);

                std::vector<std::uint32_t> longer = values;
                longer.push_back(0);
                EXPECT_EQ(layout.read(longer, width, height), std::nullopt);
                values.pop_back();
                EXPECT_EQ(layout.read(values, width, height), std::nullopt);
                const std::uint64_t tooWide =
                    layout.valueBits == 8 ? 0x100u : std::uint64_t{1} << width;
                if (tooWide <= std::numeric_limits<std::uint32_t>::max()) {
                    values.push_back(static_cast<std::uint32_t>(tooWide));
                    EXPECT_EQ(layout.read(values, width, height), std::nullopt);
                }
            }
        }
        EXPECT_EQ(layout.read(std::vector<std::uint32_t>(64), -8, 2), std::nullopt);
        EXPECT_EQ(layout.read(std::vector<std::uint32_t>(64), 40, 2), std::nullopt);
    }
}

// ---------------------------------------------------------------------------
// Hex digits of eight pixels

struct HexCase {
    std::string bits;
    std::string hex;
    friend void PrintTo(const HexCase& c, std::ostream* os) {
        *os << '"' << c.bits << "\" -> " << c.hex;
    }
};

class BitsToHexTest : public testing::TestWithParam<HexCase> {};

TEST_P(BitsToHexTest, GivesTwoUpperCaseDigits) {
    EXPECT_EQ(BitsToHex(GetParam().bits), GetParam().hex);
}

// The first character is the least significant bit, the eighth the most.
INSTANTIATE_TEST_SUITE_P(FirstCharacterIsLowestBit, BitsToHexTest,
                         testing::Values(HexCase{"00000000", "00"}, HexCase{"10000000", "01"},
                                         HexCase{"00000001", "80"}, HexCase{"11111111", "FF"},
                                         HexCase{"11110000", "0F"}, HexCase{"00001111", "F0"},
                                         HexCase{"01011010", "5A"}, HexCase{"01010101", "AA"},
                                         HexCase{"00110111", "EC"}));

// Any character but '0' is a set bit.
INSTANTIATE_TEST_SUITE_P(AnyOtherCharacterIsSet, BitsToHexTest,
                         testing::Values(HexCase{"0000000x", "80"}, HexCase{"x0000000", "01"},
                                         HexCase{"abcdefgh", "FF"}, HexCase{"0 0 0 0 ", "AA"}));

// Only the first eight characters count; missing ones are clear.
INSTANTIATE_TEST_SUITE_P(ShortAndLongGroups, BitsToHexTest,
                         testing::Values(HexCase{"", "00"}, HexCase{"1", "01"},
                                         HexCase{"0000001", "40"}, HexCase{"1111", "0F"},
                                         HexCase{"000000001111", "00"},
                                         HexCase{"111111110000", "FF"}));

} // namespace
