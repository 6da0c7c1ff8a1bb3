// Typed numbers size the sprite, so anything that is not plainly a whole
// number in range must be refused rather than read as something else: a sign,
// a hex prefix, digits the parser does not know, or a run of digits long
// enough to overflow.

#include "NumberText.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <ostream>
#include <string>

namespace {

constexpr int kIntMax = std::numeric_limits<int>::max();

// The text as a quoted C string literal: printable ASCII as it is, anything
// else escaped, so that every case reads (and is named) on one line.
std::string Escaped(const std::string& text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\t') {
            out += "\\t";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (byte < 0x20 || byte > 0x7E) {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        } else {
            out += c;
        }
    }
    return out + '"';
}

struct ParseCase {
    std::string text;
    std::optional<int> value;
    friend void PrintTo(const ParseCase& c, std::ostream* os) {
        *os << Escaped(c.text) << " -> "
            << (c.value ? std::to_string(*c.value) : std::string("refused"));
    }
};

// The range the editor asks for when the user types a sprite height.
class HeightTextTest : public testing::TestWithParam<ParseCase> {};

TEST_P(HeightTextTest, ReadsOnlyWholeNumbersFromOneToSixteen) {
    EXPECT_EQ(ParseWholeNumber(GetParam().text, 1, 16), GetParam().value);
}

// Blanks around the digits and leading zeros are how people type numbers;
// both ends of the range are included.
INSTANTIATE_TEST_SUITE_P(Accepted, HeightTextTest,
                         testing::Values(ParseCase{"8", 8}, ParseCase{"08", 8}, ParseCase{" 8 ", 8},
                                         ParseCase{"\t16", 16}, ParseCase{"16\t ", 16},
                                         ParseCase{"1", 1}, ParseCase{"16", 16},
                                         ParseCase{"0000000000000016", 16}));

// "\xEF\xBC\x98" is the full-width digit eight in UTF-8.
INSTANTIATE_TEST_SUITE_P(
    Refused, HeightTextTest,
    testing::Values(ParseCase{"", std::nullopt}, ParseCase{" ", std::nullopt},
                    ParseCase{" \t ", std::nullopt}, ParseCase{"0", std::nullopt},
                    ParseCase{"17", std::nullopt}, ParseCase{"-1", std::nullopt},
                    ParseCase{"+3", std::nullopt}, ParseCase{"abc", std::nullopt},
                    ParseCase{"8a", std::nullopt}, ParseCase{"a8", std::nullopt},
                    ParseCase{"1 6", std::nullopt}, ParseCase{"\n8", std::nullopt},
                    ParseCase{"8\r", std::nullopt}, ParseCase{"8.0", std::nullopt},
                    ParseCase{"99999999999999999999", std::nullopt}, ParseCase{"0x8", std::nullopt},
                    ParseCase{"\xEF\xBC\x98", std::nullopt},
                    ParseCase{std::string("8\0", 2), std::nullopt}));

struct RangeCase {
    std::string text;
    int min;
    int max;
    std::optional<int> value;
    friend void PrintTo(const RangeCase& c, std::ostream* os) {
        *os << Escaped(c.text) << " in [" << c.min << ", " << c.max << "]";
    }
};

class NumberRangeTest : public testing::TestWithParam<RangeCase> {};

TEST_P(NumberRangeTest, AcceptsExactlyTheNumbersInTheRange) {
    const RangeCase& c = GetParam();
    EXPECT_EQ(ParseWholeNumber(c.text, c.min, c.max), c.value);
}

// The bounds are inclusive for any range, and a range reaching the largest
// int still refuses the first number past it instead of wrapping around.
INSTANTIATE_TEST_SUITE_P(
    Bounds, NumberRangeTest,
    testing::Values(RangeCase{"0", 0, 5, 0}, RangeCase{"5", 0, 5, 5},
                    RangeCase{"6", 0, 5, std::nullopt}, RangeCase{"2", 3, 3, std::nullopt},
                    RangeCase{"3", 3, 3, 3}, RangeCase{"2147483647", 0, kIntMax, kIntMax},
                    RangeCase{"2147483648", 0, kIntMax, std::nullopt},
                    RangeCase{"4294967297", 0, kIntMax, std::nullopt},
                    RangeCase{"99999999999999999999999999", 0, kIntMax, std::nullopt}));

} // namespace
