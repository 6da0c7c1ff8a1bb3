// Pasted text replaces the drawing, so a read must give back exactly the
// sprite the text stands for: Glimmet's own line with no question asked
// (unless another of its styles writes the same text), anything else as
// every layout that can hold it, most likely first, and bad text as a
// message that points at the offending token.

#include "ArrayReader.h"
#include "ArrayReaderRanking.h"
#include "CTokenizer.h"
#include "Identifier.h"
#include "OutputForm.h"
#include "PixelRows.h"
#include "SourceEmitter.h"
#include "SpriteRaster.h"
#include "SpriteReadings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

using enum CodeStyle;

// `count` copies of `value`, each followed by a comma.
std::string Repeated(const std::string& value, int count) {
    std::string list;
    for (int i = 0; i < count; ++i)
        list += value + ",";
    return list;
}

// ---------------------------------------------------------------------------
// Glimmet's own line

// The line as a mail or chat window may pass it on: `lineBreak` after the
// opening brace, after each comma between the values and before the
// closing brace.
std::string BrokenInBraces(const std::string& line, const std::string& lineBreak) {
    const std::size_t open = line.find("[] = {") + 6;
    std::string broken = line.substr(0, open) + lineBreak;
    for (std::size_t at = open; at + 2 < line.size(); ++at)
        broken += line[at] == ',' ? "," + lineBreak : std::string(1, line[at]);
    return broken + lineBreak + "};";
}

// Every width and height with random pixels, and all-set sprites for the
// extreme constants; the line may come with the blanks and line ends a
// clipboard adds, a comment after it, a byte-order mark, or line breaks
// between its values, and may come twice.
TEST(OwnLine, ReadsBackEverySpriteExactly) {
    std::mt19937 random(0xA77A7u);
    for (int width = 8; width <= 32; width *= 2) {
        for (int height = kMinSpriteHeight; height <= kMaxSpriteHeight; ++height) {
            for (const bool bFull : {false, true}) {
                std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width * height), 1u);
                for (std::uint32_t& pixel : pixels)
                    pixel = bFull ? 1u : (random() >> 31) & 1u;
                // The editor writes any name verbatim, blanks and punctuation
                // included.
                const std::string name = bFull ? "my sprite, " + std::to_string(height) + "!"
                                               : "s_" + std::to_string(height);
                const std::string line = EmitCode(CodeForm{}, name, {width, height, pixels});
                const std::pair<std::string, bool> variants[] = {
                    {line, false},
                    {"\n  " + line + "\r\n", false},
                    {line + "  // " + name, false},
                    {"\xEF\xBB\xBF" + line, false},
                    {BrokenInBraces(line, "\r\n    ") + "\r\n", false},
                    {BrokenInBraces(line, "\n") + "\n// the end\n", false},
                    // Pasted twice: the first is read, with the notice.
                    {line + "\n" + line + "\n", true},
                    {line + " // first\r\n" + line, true},
                };
                for (const auto& [text, bNotice] : variants) {
                    SCOPED_TRACE(text);
                    const ArrayReadResult result = ReadSpriteArray(text);
                    ASSERT_TRUE(result.bExact);
                    ASSERT_EQ(result.readings.size(), 1u);
                    EXPECT_EQ(result.name, name);
                    EXPECT_EQ(result.readings[0].width, width);
                    EXPECT_EQ(result.readings[0].height, height);
                    EXPECT_EQ(result.readings[0].pixels, pixels);
                    EXPECT_FALSE(result.error);
                    EXPECT_EQ(result.notice, bNotice ? "The text holds 2 arrays; the first, " +
                                                           name + ", was read."
                                                     : "");
                }
            }
        }
    }
}

// Every form of the tables, layout by language by size, at every width and
// height with random pixels, and more of them for the one- and two-row
// sprites, whose texts the forms come closest to sharing: the text comes
// back exactly as the very sprite, or offers it. A text with a size
// companion or in MicroPython always comes back exactly, also where the
// values alone are a mirror image's row bytes or another layout's bytes of
// the same count. Without a stated size, pages come back in whole pages of
// eight rows, the padding rows clear.
TEST(WrittenForms, ReadBackAsTheSpriteOrOfferIt) {
    std::mt19937 random(0x5717Eu);
    int statedTexts = 0;
    int exactTexts = 0;
    for (const LayoutForm& layout : Layouts()) {
        for (const LanguageForm& language : Languages()) {
            for (const SizeForm& size : Sizes()) {
                const CodeForm form{layout.style, language.language, size.size};
                if (EffectiveSize(form) != size.size)
                    continue;
                const LayoutForm& written = WrittenLayout(form);
                const bool bStated =
                    size.size != CodeSize::None || language.language == CodeLanguage::MicroPython;
                for (int width = 8; width <= 32; width *= 2) {
                    for (int height = 1; height <= kMaxSpriteRows; ++height) {
                        for (int sample = 0; sample < (height <= 2 ? 8 : 1); ++sample) {
                            std::vector<std::uint32_t> pixels(
                                static_cast<std::size_t>(width * height));
                            for (std::uint32_t& pixel : pixels)
                                pixel = (random() >> 31) & 1u;
                            // The leftmost pixel alone, which is where the
                            // one-row byte line read back mirrored.
                            if (sample == 0 && height == 1)
                                std::fill(pixels.begin(), pixels.end(), 0u), pixels[0] = 1u;
                            const SpriteBits bits{width, height, pixels};
                            const std::string text = EmitCode(form, "s", bits);
                            SCOPED_TRACE(text);
                            const ArrayReadResult result = ReadSpriteArray(text);
                            ASSERT_FALSE(result.error) << result.error->message;
                            int rows = height;
                            while (!bStated && rows < kMaxSpriteRows &&
                                   written.read(written.write(bits), width, rows + 1))
                                ++rows;
                            std::vector<std::uint32_t> expected = pixels;
                            expected.resize(static_cast<std::size_t>(width * rows), 0u);
                            auto isSprite = [&](const SpriteReading& reading) {
                                return reading.width == width && reading.height == rows &&
                                       reading.pixels == expected;
                            };
                            if (bStated) {
                                ++statedTexts;
                                exactTexts += result.bExact ? 1 : 0;
                                EXPECT_TRUE(result.bExact);
                            }
                            if (result.bExact) {
                                ASSERT_EQ(result.readings.size(), 1u);
                                EXPECT_TRUE(isSprite(result.readings[0]));
                            } else {
                                EXPECT_TRUE(std::any_of(result.readings.begin(),
                                                        result.readings.end(), isSprite));
                            }
                        }
                    }
                }
            }
        }
    }
    std::printf("texts with a stated size: %d, read back exactly: %d\n", statedTexts, exactTexts);
}

// ---------------------------------------------------------------------------
// Texts that state their size and layout

struct ExactCase {
    std::string text;
    std::string name;
    std::vector<std::string> rows; // the sprite, at a width of 8, 16 or 32
    friend void PrintTo(const ExactCase& c, std::ostream* os) { *os << c.text; }
};

class ExactTest : public testing::TestWithParam<ExactCase> {};

TEST_P(ExactTest, ComesBackAtOnce) {
    const ExactCase& c = GetParam();
    const ArrayReadResult result = ReadSpriteArray(c.text);
    ASSERT_FALSE(result.error) << result.error->message;
    EXPECT_TRUE(result.bExact);
    ASSERT_EQ(result.readings.size(), 1u);
    EXPECT_EQ(result.name, c.name);
    const std::vector<std::uint32_t> pixels = PixelsFromRows(c.rows);
    EXPECT_EQ(result.readings[0].height, static_cast<int>(c.rows.size()));
    EXPECT_EQ(result.readings[0].pixels, pixels);
}

INSTANTIATE_TEST_SUITE_P(
    StatedForms, ExactTest,
    testing::Values(
        // An XBM file as image editors write it: any width, hot spot and
        // signed char; the columns beyond the width come back clear.
        ExactCase{"#define glyph_width 13\n#define glyph_height 3\n#define glyph_x_hot 1\n"
                  "#define glyph_y_hot 1\nstatic char glyph_bits[] = {\n"
                  "   0x01, 0x10, 0xff, 0x1f, 0x00, 0x00};\n",
                  "glyph_bits",
                  {"10000000 00001000", "11111111 11111000", "00000000 00000000"}},
        ExactCase{"#define arrow_width 16\n#define arrow_height 2\n"
                  "static unsigned char arrow_bits[] = {\n   0x01, 0x80, 0xff, 0x00};\n",
                  "arrow_bits",
                  {"10000000 00000001", "11111111 00000000"}},
        // The FrameBuffer's format names the layout, over a list of bytes
        // or literals of every escape, joined across lines.
        ExactCase{"import framebuf\nicon = bytes([0x01, 0b10, 4, 0o10, 0x10, 0x20, 0x40, 1_28])"
                  "  # a line\nfb = framebuf.FrameBuffer(icon, 8, 5, framebuf.MVLSB)\n",
                  "icon",
                  {"10000000", "01000000", "00100000", "00010000", "00001000"}},
        ExactCase{"s = bytearray(b'\\x80\\001A\\n'\n  b\"\\t\\\\\\'\\a\")\n"
                  "fb = framebuf.FrameBuffer(s, 8, 8, framebuf.MONO_HLSB)\n",
                  "s",
                  {"10000000", "00000001", "01000001", "00001010", "00001001", "01011100",
                   "00100111", "00000111"}},
        ExactCase{
            "b = rb'\\x'\nfb = FrameBuffer(b, 8, 2, MONO_HMSB)", "b", {"00111010", "00011110"}},
        // A form of Glimmet's that only one sprite gives.
        ExactCase{"const uint16_t arrow[] PROGMEM = {0xC003,0x3C80};",
                  "arrow",
                  {"11000000 00000011", "00111100 10000000"}},
        ExactCase{"#define ARROW_WIDTH 16\n#define ARROW_HEIGHT 2\n"
                  "static unsigned short int arrow[] = {0xC003,0x3C80};",
                  "arrow",
                  {"11000000 00000011", "00111100 10000000"}},
        // Leading sizes and companions say the size, not the bit order; the
        // mark on the name says it where the values alone could be a
        // mirror image's row bytes or pages of the same count.
        ExactCase{"static unsigned char arrow[] = {16, 2, 0xc0, 0x03, 0x3c, 0x80};",
                  "arrow",
                  {"11000000 00000011", "00111100 10000000"}},
        ExactCase{"static unsigned char arrow_bits[] = {16, 2, 0x03, 0xc0, 0x3c, 0x01};",
                  "arrow_bits",
                  {"11000000 00000011", "00111100 10000000"}},
        ExactCase{"#define S_WIDTH 8\n#define S_HEIGHT 8\nstatic unsigned char s_pages[] = {0xff, "
                  "0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x81};",
                  "s_pages",
                  {"11111111", "10000000", "10000000", "10000000", "10000000", "10000000",
                   "10000000", "10000001"}},
        // A sprite named with another layout's mark reads as that layout's.
        ExactCase{"static unsigned char s_bits[] = {8, 1, 0x80};", "s_bits", {"00000001"}},
        ExactCase{"#define P_WIDTH 8\n#define P_HEIGHT 3\n"
                  "static unsigned char p[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08};",
                  "p",
                  {"10101010", "01100110", "00011110"}}));

// ---------------------------------------------------------------------------
// What people paste

struct Shape {
    CodeStyle layout;
    int width;
    int height;
    friend bool operator==(const Shape&, const Shape&) = default;
    friend void PrintTo(const Shape& s, std::ostream* os) {
        *os << CodeStyleKey(s.layout) << ":" << s.width << "x" << s.height;
    }
};

struct PasteCase {
    std::string text;
    std::string name;
    std::vector<Shape> shapes;
    std::size_t checked = 0;         // the reading whose pixels are checked
    std::vector<std::string> rows{}; // its pixels; none to skip the check
    bool bNotice = false;
    friend void PrintTo(const PasteCase& c, std::ostream* os) { *os << c.text; }
};

class PasteTest : public testing::TestWithParam<PasteCase> {};

TEST_P(PasteTest, OffersEveryLayoutThatHoldsTheValues) {
    const PasteCase& c = GetParam();
    const ArrayReadResult result = ReadSpriteArray(c.text);
    ASSERT_FALSE(result.error) << result.error->message;
    EXPECT_FALSE(result.bExact);
    EXPECT_EQ(result.name, c.name);
    EXPECT_EQ(!result.notice.empty(), c.bNotice) << result.notice;
    std::vector<Shape> shapes;
    for (const SpriteReading& reading : result.readings)
        shapes.push_back({reading.layout, reading.width, reading.height});
    EXPECT_EQ(shapes, c.shapes);
    if (!c.rows.empty()) {
        ASSERT_LT(c.checked, result.readings.size());
        EXPECT_EQ(result.readings[c.checked].pixels, PixelsFromRows(c.rows));
    }
}

const std::vector<Shape> kTwoBytes = {
    {RowBytes, 8, 2}, {RowBytes, 16, 1}, {Xbm, 8, 2}, {Xbm, 16, 1}};
const std::vector<Shape> kFourBytes = {{RowBytes, 8, 4}, {RowBytes, 16, 2}, {RowBytes, 32, 1},
                                       {Xbm, 8, 4},      {Xbm, 16, 2},      {Xbm, 32, 1}};
// Four bytes whose picture at width 8 looks least like noise.
const std::vector<Shape> kFourBytesRanked = {{RowBytes, 8, 4},  {Xbm, 8, 4},  {RowBytes, 32, 1},
                                             {RowBytes, 16, 2}, {Xbm, 16, 2}, {Xbm, 32, 1}};
const std::vector<Shape> kTwoShorts = {{RowBytes, 16, 2}, {Xbm, 16, 2}};

INSTANTIATE_TEST_SUITE_P(
    Declarations, PasteTest,
    testing::Values(
        PasteCase{
            "const unsigned char a[] = {0x81, 0x42};", "a", kTwoBytes, 0, {"10000001", "01000010"}},
        // Lower-case digits and a blank are not Glimmet's line, whatever the type.
        PasteCase{
            "static unsigned char s[] = {0x8f,0x00};", "s", kTwoBytes, 1, {"10001111 00000000"}},
        // A picture of the wrong width looks like noise and sinks.
        PasteCase{"const uint8_t logo[] PROGMEM = {\n  0xFF, 0x00,\n  0x0F, 0xF0,\n};\n",
                  "logo",
                  {{RowBytes, 16, 2},
                   {Xbm, 16, 2},
                   {RowBytes, 32, 1},
                   {RowBytes, 8, 4},
                   {Xbm, 8, 4},
                   {Xbm, 32, 1}},
                  0,
                  {"11111111 00000000", "00001111 11110000"}},
        PasteCase{"static const unsigned char __attribute__((section(\".rodata\"))) q[] = {1,2};",
                  "q", kTwoBytes},
        PasteCase{
            "byte b[] = {B10000001, B00011000};", "b", kTwoBytes, 0, {"10000001", "00011000"}},
        PasteCase{
            "uint8_t c[2] = {0b11110000, 0b1u};", "c", kTwoBytes, 0, {"11110000", "00000001"}},
        PasteCase{"unsigned char d[] = {255, 0, 0201};",
                  "d",
                  {{RowBytes, 8, 3}, {Xbm, 8, 3}},
                  0,
                  {"11111111", "00000000", "10000001"}},
        PasteCase{"/* 0x12, 34 */ unsigned char e[] = { // 99 bottles\n 1, /* 0xFF */ 2 };",
                  "e",
                  kTwoBytes,
                  0,
                  {"00000001", "00000010"}},
        // C pads a list shorter than its declared size with zeros.
        PasteCase{"uint8_t f[4] = {0xFF};",
                  "f",
                  kFourBytesRanked,
                  0,
                  {"11111111", "00000000", "00000000", "00000000"}},
        // Two rows of two bytes: the readings of that shape come first.
        PasteCase{"const uint8_t g[2][2] = {{0x80, 0x01}, {0x40, 0x02,},};",
                  "g",
                  {{Xbm, 16, 2},
                   {RowBytes, 16, 2},
                   {RowBytes, 8, 4},
                   {RowBytes, 32, 1},
                   {Xbm, 8, 4},
                   {Xbm, 32, 1}},
                  1,
                  {"10000000 00000001", "01000000 00000010"}},
        PasteCase{"uint8_t h[][2] = {{1}, {2, 3}};",
                  "h",
                  kFourBytesRanked,
                  0,
                  {"00000001", "00000000", "00000010", "00000011"}},
        PasteCase{"Here's my sprite:\nunsigned char i[] = {1, 2};", "i", kTwoBytes},
        PasteCase{"#include <stdint.h>\n#define W 16\n#define H \\\n  2\n// ship\n"
                  "static const uint16_t ship[H] = {\n  0x8001, 0x7FFE };\n"
                  "int main(void) { return 0; }\n",
                  "ship",
                  kTwoShorts,
                  0,
                  {"10000000 00000001", "01111111 11111110"}},
        PasteCase{
            "uint8_t one[] = {1, 2};\nuint8_t two[] = {2, 3};", "one", kTwoBytes, 0, {}, true},
        // Without a sized type the digits and the values choose the element.
        PasteCase{"int n[] = {0x100, 1};", "n", kTwoShorts},
        PasteCase{"static unsigned long int big[] = {0x80000001UL, 1};",
                  "big",
                  {{RowBytes, 32, 2}, {Xbm, 32, 2}},
                  1,
                  {"10000000 00000000 00000000 00000001", "10000000 00000000 00000000 00000000"}},
        // One row of eight without a hex letter: the default style's line, or
        // XBM's for the mirrored pixels.
        PasteCase{"static unsigned char s[] = {0x01};",
                  "s",
                  {{RowBytes, 8, 1}, {Xbm, 8, 1}},
                  1,
                  {"10000000"}},
        PasteCase{"\xEF\xBB\xBFstatic unsigned char s[] = {0x12}; // xbm\n",
                  "s",
                  {{RowBytes, 8, 1}, {Xbm, 8, 1}},
                  0,
                  {"00010010"}},
        PasteCase{"{0x3C, 0x42}", "", kTwoBytes},
        // Unicode blanks, as editors and chat windows put them in, are blanks.
        PasteCase{"unsigned\xC2\xA0"
                  "char u[]\xE2\x80\x83=\xE3\x80\x80{1,\xE2\x80\x8B 2};",
                  "u",
                  kTwoBytes,
                  0,
                  {"00000001", "00000010"}},
        PasteCase{"\xEF\xBB\xBF\xC2\xA0{0x3C,\xE2\x80\xAF"
                  "0x42\xE2\x81\x9F}\xEF\xBB\xBF",
                  "", kTwoBytes},
        PasteCase{"0x0001, 0x8000", "", kTwoShorts, 0, {"00000000 00000001", "10000000 00000000"}},
        // Evidence in the text: a drawing call that passes the array with its
        // size, its name alone, an XBM name, leading size bytes, companions
        // that leave the layout open.
        PasteCase{
            "const unsigned char PROGMEM bmp[] = {0x01, 0x80, 0x02, 0x40, 0x04, 0x20, "
            "0x08, 0x10};\nvoid draw() { display.drawBitmap(0, 0, bmp, 16, 4, WHITE); }",
            "bmp",
            {{RowBytes, 16, 4},
             {Xbm, 16, 4},
             {RowBytes, 32, 2},
             {RowBytes, 8, 8},
             {Xbm, 8, 8},
             {Xbm, 32, 2},
             {Pages, 8, 8}},
            0,
            {"00000001 10000000", "00000010 01000000", "00000100 00100000", "00001000 00010000"}},
        PasteCase{"const unsigned char bmp[] = {0x01, 0x80, 0x02, 0x40, 0x04, 0x20, 0x08, 0x10};"
                  "\nu8g2.drawXBMP(0, 0, 16, 4, bmp);",
                  "bmp",
                  {{Xbm, 16, 4},
                   {RowBytes, 16, 4},
                   {Xbm, 8, 8},
                   {Xbm, 32, 2},
                   {RowBytes, 8, 8},
                   {RowBytes, 32, 2},
                   {Pages, 8, 8}}},
        PasteCase{"uint8_t pad[] = {0x01, 0x80, 0x02, 0x40, 0x04, 0x20, 0x08, 0x10};\n"
                  "drawFastImage(0, 0, 8, 5, pad);",
                  "pad",
                  {{Pages, 8, 5},
                   {Pages, 8, 8},
                   {RowBytes, 8, 8},
                   {RowBytes, 16, 4},
                   {RowBytes, 32, 2},
                   {Xbm, 8, 8},
                   {Xbm, 16, 4},
                   {Xbm, 32, 2}},
                  0,
                  {"10000000", "00100000", "00001000", "00000010", "00000001"}},
        PasteCase{"static unsigned char face_bits[] = {0x81, 0x42};",
                  "face_bits",
                  {{Xbm, 8, 2}, {Xbm, 16, 1}, {RowBytes, 8, 2}, {RowBytes, 16, 1}}},
        PasteCase{"{0x10, 0x02, 0xc0, 0x03, 0x3c, 0x80}",
                  "",
                  {{Xbm, 16, 2},
                   {RowBytes, 16, 2},
                   {RowBytes, 16, 3},
                   {Xbm, 16, 3},
                   {RowBytes, 8, 6},
                   {Xbm, 8, 6}},
                  1,
                  {"11000000 00000011", "00111100 10000000"}},
        // A name that ends with a layout's mark leads that layout, but unless
        // the marked form writes the text, the others stay on offer.
        PasteCase{"const uint8_t arrow_bits[] = {16, 2, 0xc0, 0x03, 0x3c, 0x80};",
                  "arrow_bits",
                  {{Xbm, 16, 2}, {RowBytes, 16, 2}},
                  1,
                  {"11000000 00000011", "00111100 10000000"}},
        PasteCase{"#define S_WIDTH 8\n#define S_HEIGHT 8\n"
                  "unsigned char s_pages[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08};",
                  "s_pages",
                  {{Pages, 8, 8}, {RowBytes, 8, 8}, {Xbm, 8, 8}}},
        PasteCase{"#define LOGO_WIDTH 16\n#define LOGO_HEIGHT 2\n"
                  "const uint8_t logo[] = {0xc0, 0x03, 0x3c, 0x80, };",
                  "logo",
                  {{Xbm, 16, 2}, {RowBytes, 16, 2}}},
        PasteCase{"b = b'\\x81\\x42'", "b", kTwoBytes, 0, {"10000001", "01000010"}},
        PasteCase{"const uint32_t wide[] PROGMEM = {0x80000001, 0x00000000};",
                  "wide",
                  {{RowBytes, 32, 2}, {Xbm, 32, 2}}}));

// The other output styles read back to the drawn sprite through their own
// reading: XBM rows with the leftmost pixel in each byte's low bit, and pages
// of eight rows, one byte per column with the top row in the low bit.
INSTANTIATE_TEST_SUITE_P(
    OtherStyles, PasteTest,
    testing::Values(
        PasteCase{"static unsigned char p[] = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x81};",
                  "p",
                  {{RowBytes, 8, 8},
                   {RowBytes, 16, 4},
                   {RowBytes, 32, 2},
                   {Xbm, 8, 8},
                   {Xbm, 16, 4},
                   {Xbm, 32, 2},
                   {Pages, 8, 8}},
                  6,
                  {"10000001", "01000000", "00100000", "00010000", "00001000", "00000100",
                   "00000010", "00000001"}},
        PasteCase{"{" + Repeated("0x00", 15) + "0x80}",
                  "",
                  {{RowBytes, 8, 16},
                   {RowBytes, 16, 8},
                   {RowBytes, 32, 4},
                   {Xbm, 8, 16},
                   {Xbm, 16, 8},
                   {Xbm, 32, 4},
                   {Pages, 8, 16},
                   {Pages, 16, 8}},
                  7,
                  {std::string(16, '0'), std::string(16, '0'), std::string(16, '0'),
                   std::string(16, '0'), std::string(16, '0'), std::string(16, '0'),
                   std::string(16, '0'), std::string(15, '0') + "1"}}));

// ---------------------------------------------------------------------------
// Ranking on drawn sprites

// Sprites drawn side by side, '#' set and '.' clear, each sheet's sprites
// of one size: icons, glyphs, arrows and faces, most of them not symmetric.
struct Sheet {
    int width;
    std::vector<std::string> rows;
};

// clang-format off
const Sheet kSheets[] = {
    {8, {"....#... ######.. #####... .####... .##..... ....###. #....... ......#.",
         "....##.. ##...... ##..##.. ##..##.. #..#.... ....#.## ####.... .....#..",
         "#######. ##...... ##..##.. ....##.. #..##### ....#... ######.. ..###...",
         "######## #####... #####... ...##... .##..#.# ....#... #######. .#####..",
         "#######. ##...... ##.##... ..##.... .....#.# ..###... ####.... ######..",
         "....##.. ##...... ##..##.. .##..... ........ .####... #....... #####...",
         "....#... ##...... ##...##. ######.. ........ .###.... #....... .###....",
         "........ ........ ........ ........ ........ ........ #....... ........"}},
    {8, {".......# ##...##. #######. ........ .######. ...##### ..###... ..####..",
         "......#. ##..##.. .....##. #####... #......# ...#...# .#...#.. .##..##.",
         "#....#.. ##.##... ....##.. #####.#. #.#..### ...#...# .#...#.. .##.....",
         "#...#... ####.... ...##... #####..# #......# ...#...# #######. ..####..",
         "#..#.... ##.##... ..##.... #####.#. #.#..#.# .###.### ###.###. .....##.",
         "#.#..... ##..##.. .##..... #####... #..##..# ####.### ###.###. .##..##.",
         "##...... ##...##. #######. .###.... #......# .##...#. #######. ..####..",
         "######.. ........ ........ #######. .######. ........ ........ ........"}},
    {8, {"..##.... ..##.... ....##.. ........ ...#.... ...#....",
         "..##.... ..##.... ...##... ........ ..###... ..#.....",
         "........ .####... ..##.... .####.#. .#####.. ..##....",
         ".####... .#..#... .##..... ##..###. ..###... ........",
         "#.##.#.. #....#.. ######.. ##...##. .#####.. ..##....",
         "#.##.#.. #.##.#.. ...##... ##...##. #######. ..##....",
         "..##.... #.##.#.. ..##.... ##..###. ..###... ..##....",
         "..##.... #....#.. .##..... .####.#. .#####.. ..##.#..",
         ".#..#... #....#.. ##...... .....##. #######. ..####..",
         ".#..#... ######.. #....... #....##. ...#.... .####...",
         ".#...#.. ........ ........ .#####.. ...#.... ######..",
         "##...##. ........ ........ ........ ..###... ........"}},
    {8, {"..##.... ..###...", ".#..#... ..###...", ".#..#.## ..###...", ".#..#... ..###...",
         ".#..#.## ..###...", ".#..#... ..###...", ".#..#.## ..###...", ".####... ..###.#.",
         ".####.## ..###.#.", ".####... ...#..#.", "#####... ......#.", "######.. ..###...",
         "######.. ..###...", "######.. ........", ".####... ........", "........ ........"}},
    {16, {"....######...... ......#####..... #########....... ................ ##..##.####.##.. ...#............",
          "...##....##..... ....##.....##..# #.......#####... ###############. ##..##..##..##.. ..##............",
          "..##......##.... ..##..#......### #.......#...##.. #.###.###.#...## ##..##..##..##.. .###############",
          "################ .#...........### #.......#....##. #.###.###.#...## ######..##..##.. ################",
          "################ ..##.........### ###############. #.###.###.#...## ##..##..##..##.. .###############",
          "###..######..### ....##.....##..# ###############. ###############. ##..##..##...... ..##............",
          "..##........##.. ......#####..... .###......###... ................ ##..##.####.##.. ...#............",
          "...#........#... ................ ..#........#.... ................ ................ ................"}},
    {16, {".......##....... .....######..... .............###",
          "......####...... ...##......##... ...........#####",
          ".....##..##..... ..#..........#.. ..........######",
          "....##....##.... .#...##...##..#. ........#######.",
          "...##......##... .#..#..#.#..#.#. .......#######..",
          "..##........##.. #...###..###...# ..#...#######...",
          ".##..........##. #..............# .###.#######....",
          "################ #.....####.....# ..##.######.....",
          ".#............#. #....#....#....# ...#.#####......",
          ".#.####..####.#. #..............# ....#####.......",
          ".#.#..#..#..#.#. #..............# ...####.#.......",
          ".#.####..#..#.#. #..............# ..###...##......",
          ".#.......#..#.#. #..............# .###.....#......",
          ".#.......#.##.#. #.##..##..##..## ###.............",
          ".#.......#..#.#. ##..##..##..##.# ##..............",
          "################ #............... #..............."}},
    {16, {"################ ...#####........ .############...",
          "##............## ..#.....#....... #............#..",
          "#.#..........#.# .#.......#...... #.##.###.##..#..",
          "#..#........#..# #.........#..... #............#..",
          "#...#......#...# #.........#..... #.####.###.#.#..",
          "#....#....#....# #.........#..... #............#..",
          "#.....####.....# .#.......#...... .####.#######...",
          "#..............# ..#.....##...... ....#.#.........",
          "#..............# ...#####.##..... ....##..........",
          "#............### ..........##.... ....#...........",
          "#............### ...........##... ................",
          "################ ............##.. ................"}},
    {32, {".####...##..##...##............. .......................#........",
          "##..##..##.##....##............. .......................##.......",
          "##..##..####.....##............. #########################.......",
          "##..##..###......##............. ##########################......",
          "##..##..####.....##............. #########################.......",
          "##..##..##.##................... .......................##.......",
          ".####...##..##...##............. .......................#........",
          "................................ ................................"}},
    {32, {"..##......##......##......##.... ..###...........................",
          ".#..#....#..#....#..#....#..#... ..#.#.##########..##########....",
          "#....#..#....#..#....#..#....#.. #####.#.##.##.#...#.##.##.#.....",
          "......##......##......##......## #####.#.##.##.#...#.##.##.#.....",
          "................................ #####.##########..##########....",
          "###.###.###.###.###.###.###.###. ################################",
          "................................ .##..##.....##.##.....##.##.....",
          ".#.#.#.#.#.#.#.#.#.#.#.#.#.#.#.# ................................"}},
    {32, {"................................",
          "......................###.......",
          ".....................#####......",
          "......................###.......",
          "..........#.....................",
          ".........###....................",
          "........#####........#..........",
          ".......#######......###.........",
          "......#########....#####........",
          ".....###########..#######.......",
          "....#############.########......",
          "...###############.########.....",
          "..#################.########....",
          ".###################.########...",
          "################################",
          "################################"}},
};
// clang-format on

struct DrawnSprite {
    int width;
    int height;
    std::vector<std::uint32_t> pixels;
};

std::vector<DrawnSprite> DrawnSprites() {
    std::vector<DrawnSprite> sprites;
    for (const Sheet& sheet : kSheets) {
        const std::size_t stride = static_cast<std::size_t>(sheet.width) + 1;
        const std::size_t count = (sheet.rows[0].size() + 1) / stride;
        for (std::size_t k = 0; k < count; ++k) {
            DrawnSprite sprite{sheet.width, static_cast<int>(sheet.rows.size()), {}};
            for (const std::string& row : sheet.rows) {
                EXPECT_EQ(row.size(), count * stride - 1) << row;
                for (std::size_t x = 0; x < static_cast<std::size_t>(sheet.width); ++x)
                    sprite.pixels.push_back(row.at(k * stride + x) == '#' ? 1u : 0u);
            }
            sprites.push_back(std::move(sprite));
        }
    }
    return sprites;
}

// How an order of readings does on the drawn sprites: how often the right
// reading comes first, and how often a reading of another size comes before
// it.
struct OrderFigures {
    int cases = 0;
    int rightFirst = 0;
    int otherSizeBefore = 0;
};

void Count(const std::vector<SpriteReading>& readings, const SpriteReading& right,
           OrderFigures& figures) {
    ++figures.cases;
    const auto at =
        std::find_if(readings.begin(), readings.end(), [&right](const SpriteReading& r) {
            return r.width == right.width && r.height == right.height && r.pixels == right.pixels;
        });
    ASSERT_NE(at, readings.end()) << "the right reading was dropped";
    figures.rightFirst += at == readings.begin() ? 1 : 0;
    figures.otherSizeBefore +=
        std::any_of(readings.begin(), at,
                    [&right](const SpriteReading& r) {
                        return r.width != right.width || r.height != right.height;
                    })
            ? 1
            : 0;
}

// Each drawn sprite in every byte layout without companions, pasted back:
// the ranked order against the fixed order of the table.
TEST(Ranking, PutsTheDrawnSpriteFirstMoreOftenThanTheFixedOrder) {
    const std::vector<DrawnSprite> sprites = DrawnSprites();
    ASSERT_GE(sprites.size(), 40u);
    OrderFigures fixed;
    OrderFigures ranked;
    for (const LayoutForm& layout : Layouts()) {
        if (layout.valueBits != 8)
            continue;
        const OrderFigures fixedBefore = fixed;
        const OrderFigures rankedBefore = ranked;
        for (const DrawnSprite& sprite : sprites) {
            const SpriteBits bits{sprite.width, sprite.height, sprite.pixels};
            const std::string text =
                EmitCode({layout.style, CodeLanguage::C, CodeSize::None}, "art", bits);
            SCOPED_TRACE(text);
            const std::vector<std::uint32_t> values = layout.write(bits);
            // Pages come back in whole pages, the rows below the sprite clear.
            int rows = kMaxSpriteRows;
            while (!layout.read(values, sprite.width, rows))
                --rows;
            SpriteReading right{layout.byteStyle, sprite.width, rows, sprite.pixels};
            right.pixels.resize(static_cast<std::size_t>(sprite.width * rows), 0u);
            Count(AllReadings(values, 8), right, fixed);
            const ArrayReadResult result = ReadSpriteArray(text);
            ASSERT_FALSE(result.bExact);
            Count(result.readings, right, ranked);
        }
        std::printf("  %-8s first: fixed %2d, ranked %2d; another size before it: fixed %2d, "
                    "ranked %2d\n",
                    std::string(layout.key).c_str(), fixed.rightFirst - fixedBefore.rightFirst,
                    ranked.rightFirst - rankedBefore.rightFirst,
                    fixed.otherSizeBefore - fixedBefore.otherSizeBefore,
                    ranked.otherSizeBefore - rankedBefore.otherSizeBefore);
    }
    std::printf("drawn sprites: %d cases; right reading first: fixed order %d, ranked %d; "
                "a reading of another size before it: fixed order %d, ranked %d\n",
                fixed.cases, fixed.rightFirst, ranked.rightFirst, fixed.otherSizeBefore,
                ranked.otherSizeBefore);
    EXPECT_GT(ranked.rightFirst, fixed.rightFirst);
    EXPECT_LT(ranked.otherSizeBefore, fixed.otherSizeBefore);
}

// Looks never tell a picture from its mirror images or its transposition,
// so those keep the fixed order; a picture with one row says nothing.
TEST(Ranking, LooksAreTheSameForMirrorsAndTranspositions) {
    for (const DrawnSprite& sprite : DrawnSprites()) {
        const auto w = static_cast<std::size_t>(sprite.width);
        const auto h = static_cast<std::size_t>(sprite.height);
        SpriteReading mirrored{RowBytes, sprite.width, sprite.height, sprite.pixels};
        SpriteReading flipped = mirrored;
        SpriteReading transposed{RowBytes, sprite.height, sprite.width, sprite.pixels};
        for (std::size_t y = 0; y < h; ++y) {
            for (std::size_t x = 0; x < w; ++x) {
                const std::uint32_t pixel = sprite.pixels[y * w + x];
                mirrored.pixels[y * w + (w - 1 - x)] = pixel;
                flipped.pixels[(h - 1 - y) * w + x] = pixel;
                transposed.pixels[x * h + y] = pixel;
            }
        }
        const std::optional<NoiseScore> noise =
            Noise({RowBytes, sprite.width, sprite.height, sprite.pixels});
        ASSERT_TRUE(noise);
        for (const SpriteReading& other : {mirrored, flipped, transposed}) {
            const std::optional<NoiseScore> otherNoise = Noise(other);
            ASSERT_TRUE(otherNoise);
            EXPECT_EQ(noise->numerator * otherNoise->denominator,
                      otherNoise->numerator * noise->denominator);
        }
    }
    EXPECT_FALSE(Noise({RowBytes, 16, 1, std::vector<std::uint32_t>(16, 1u)}));
}

// ---------------------------------------------------------------------------
// Bad text

struct BadCase {
    std::string text;
    std::string message; // a part of the message
    std::string token;
    int line;
    int column;
    friend void PrintTo(const BadCase& c, std::ostream* os) { *os << c.text.substr(0, 80); }
};

class BadTextTest : public testing::TestWithParam<BadCase> {};

TEST_P(BadTextTest, NamesTheProblemAndWhereItIs) {
    const BadCase& c = GetParam();
    const ArrayReadResult result = ReadSpriteArray(c.text);
    ASSERT_TRUE(result.error);
    EXPECT_TRUE(result.readings.empty());
    EXPECT_NE(result.error->message.find(c.message), std::string::npos) << result.error->message;
    EXPECT_EQ(result.error->token, c.token);
    EXPECT_EQ(result.error->line, c.line);
    EXPECT_EQ(result.error->column, c.column);
}

INSTANTIATE_TEST_SUITE_P(
    Refused, BadTextTest,
    testing::Values(
        BadCase{"", "No array", "", 1, 1}, BadCase{" \n int x = 5;", "No array", "int", 2, 2},
        BadCase{"uint8_t a[] = {0x1FF};", "The value 0x1FF is too big for an 8-bit element.",
                "0x1FF", 1, 16},
        BadCase{"short a[] = {1, 65536};", "too big for a 16-bit element", "65536", 1, 17},
        BadCase{"{0x100000000}", "too big for 32 bits", "0x100000000", 1, 2},
        BadCase{"uint8_t a[] = {1};\n  /* open", "comment", "/*", 2, 3},
        BadCase{"uint8_t a[] = {1,\n 2,", "never closed", "{", 1, 15},
        BadCase{"{{1, 2}", "never closed", "{", 1, 1},
        BadCase{"char* s[] = {\"abc\n};", "string", "\"", 1, 14},
        BadCase{"uint16_t a[] = {" + Repeated("1", 16) + "\n  0x17};", "more than 16 rows", "0x17",
                2, 3},
        BadCase{"{" + Repeated("0x0100", 16) + "0x1}", "more than 16 rows", "0x1", 1, 114},
        BadCase{"{" + Repeated("1", 64) + "65}", "more than 64 values", "65", 1, 130},
        BadCase{"uint8_t a[] = {" + Repeated("1", 17) + "};", "No sprite shape holds 17 bytes", "{",
                1, 15},
        BadCase{"uint8_t a[100] = {1};", "more than 64", "100", 1, 11},
        BadCase{"uint8_t a[1] = {1, 2};", "more values than the 1", "2", 1, 20},
        BadCase{"uint8_t a[][1] = {{1, 2}};", "more values than the 1", "2", 1, 23},
        BadCase{"{}", "empty", "{", 1, 1}, BadCase{"{0x}", "no hex digits", "0x", 1, 2},
        BadCase{"{0b2}", "binary", "0b2", 1, 2}, BadCase{"{09}", "octal", "09", 1, 2},
        BadCase{"{1.5}", "not a valid number", "1.5", 1, 2}, BadCase{"{{{1}}}", "nest", "{", 1, 3},
        BadCase{"{1,,2}", "Expected a value", ",", 1, 4},
        BadCase{"{1 2}", "Expected a comma", "2", 1, 4}, BadCase{"{-1}", "negative", "-", 1, 2},
        BadCase{"{x}", "Expected a number", "x", 1, 2},
        // Columns count characters, not bytes; "\r\n" and a lone "\r" end lines.
        BadCase{"/* \xC3\xA9 */ {0x}", "hex", "0x", 1, 10},
        BadCase{"\r\n\r{0b}", "binary", "0b", 3, 2}, BadCase{"\xC2\xA0{0x}", "hex", "0x", 1, 3},
        BadCase{"{1,\xC2\xA1 2}", "Expected a number", "\xC2\xA1", 1, 4},
        BadCase{std::string(kMaxArrayTextBytes + 1, ' '), "too long", "", 1, 1},
        // MicroPython bytes.
        BadCase{"s = bytearray(b'\\x4')", "\\x escape", "b'\\x4'", 1, 15},
        BadCase{"s = b'\xC3\xA9'", "only ASCII", "b'\xC3\xA9'", 1, 5},
        BadCase{"s = bytearray([1, 256])", "too big for a byte", "256", 1, 19},
        BadCase{"\n s = b'" + std::string(17, 'A') + "'", "No sprite shape holds 17 bytes",
                "b'" + std::string(17, 'A') + "'", 2, 6},
        BadCase{"x = 1\ns = bytearray(b'\\x00", "never closed", "b'", 2, 15},
        BadCase{"s = bytes(b'" + std::string(65, 'A') + "')", "more than 64",
                "b'" + std::string(38, 'A') + "...", 1, 11}));

// ---------------------------------------------------------------------------
// Tokens

// A token as the tests compare it.
struct Placed {
    TokenKind kind;
    std::string text;
    std::size_t offset;
    int line;
    int column;
    friend bool operator==(const Placed&, const Placed&) = default;
    friend void PrintTo(const Placed& p, std::ostream* os) {
        *os << p.text << "@" << p.offset << ":" << p.line << ":" << p.column;
    }
};

// Each token knows where it was written, by byte offset for finding its span
// in the text and by line and column (in characters) for messages; a
// directive with a spliced line, comments and blanks of both kinds give none.
TEST(CTokenizer, PlacesEveryTokenInTheText) {
    const std::string text = "#define W \\\r\n 8\r\nuint8_t\xC2\xA0"
                             "a[] = { 0x1F, /* x */ 'c' };\n\xC3\xA9 \"s\"";
    const std::vector<Placed> expected = {
        {TokenKind::Word, "uint8_t", 17, 3, 1},  {TokenKind::Word, "a", 26, 3, 9},
        {TokenKind::Punct, "[", 27, 3, 10},      {TokenKind::Punct, "]", 28, 3, 11},
        {TokenKind::Punct, "=", 30, 3, 13},      {TokenKind::Punct, "{", 32, 3, 15},
        {TokenKind::Number, "0x1F", 34, 3, 17},  {TokenKind::Punct, ",", 38, 3, 21},
        {TokenKind::Literal, "'c'", 48, 3, 31},  {TokenKind::Punct, "}", 52, 3, 35},
        {TokenKind::Punct, ";", 53, 3, 36},      {TokenKind::Punct, "\xC3\xA9", 55, 4, 1},
        {TokenKind::Literal, "\"s\"", 58, 4, 3}, {TokenKind::End, "", 61, 4, 6},
    };
    CTokenizer tokens(text);
    std::vector<Placed> placed;
    for (Token token = tokens.Next();; token = tokens.Next()) {
        EXPECT_EQ(token.text.data(), text.data() + token.offset) << token.text;
        placed.push_back(
            {token.kind, std::string(token.text), token.offset, token.line, token.column});
        if (token.kind == TokenKind::End || placed.size() > expected.size())
            break;
    }
    EXPECT_EQ(placed, expected);
}

// ---------------------------------------------------------------------------
// Names and labels

// Only identifiers come out, and only identifiers come out unchanged.
TEST(MakeIdentifier, TurnsAnyFileNameIntoACIdentifier) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"ship", "ship"},
        {"my ship-2", "my_ship_2"},
        {"8ball", "_8ball"},
        {"", "sprite"},
        {"int", "int_"},
        {"caf\xC3\xA9", "caf_"},
        {"a.b$c", "a_b_c"},
        {"_x9", "_x9"},
        {"A", "A"},
        {"ship\n", "ship_"},
        {"unsigned", "unsigned_"},
        // The keywords of C11 and C23, and of C++, which shares the headers.
        {"_Bool", "_Bool_"},
        {"_Static_assert", "_Static_assert_"},
        {"_BitInt", "_BitInt_"},
        {"_Decimal128", "_Decimal128_"},
        {"typeof_unqual", "typeof_unqual_"},
        {"class", "class_"},
        {"and_eq", "and_eq_"},
        {"char8_t", "char8_t_"},
        {"co_await", "co_await_"},
        {"reinterpret_cast", "reinterpret_cast_"},
        {"_Boolean", "_Boolean"},
        {"Class", "Class"},
        {"_Bool.png", "_Bool_png"},
    };
    for (const auto& [text, identifier] : cases) {
        EXPECT_EQ(MakeIdentifier(text), identifier) << text;
        EXPECT_TRUE(IsCIdentifier(identifier)) << identifier;
        EXPECT_EQ(IsCIdentifier(text), text == identifier) << text;
    }
}

TEST(DescribeReading, NamesSizeAndLayout) {
    EXPECT_EQ(DescribeReading({RowBytes, 16, 5, {}}), "16 x 5, rows, leftmost pixel high");
    EXPECT_EQ(DescribeReading({Xbm, 8, 2, {}}), "8 x 2, rows, leftmost pixel low (XBM)");
    EXPECT_EQ(DescribeReading({Pages, 32, 16, {}}), "32 x 16, vertical pages");
    // One value per row holds its byte layout's bits and goes by its name.
    EXPECT_EQ(DescribeReading({Rows, 32, 2, {}}), "32 x 2, rows, leftmost pixel high");
}

} // namespace
