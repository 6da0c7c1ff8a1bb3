// Feeds the height field's read any text and checks it against a plain
// re-derivation of the contract: blanks (spaces, tabs) around one run of
// decimal digits, whose value lies in the bounds.
//
// The whole input is read as a height, 1 to 16. Input of 8 bytes or more is
// also read with bounds of its own: bytes 0-3 and 4-7 are the signed
// little-endian minimum and maximum, the rest is the text.

#include "NumberText.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace {

std::optional<long long> Reference(std::string_view text, long long min, long long max) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return std::nullopt;
    const std::size_t last = text.find_last_not_of(" \t");
    std::string_view digits = text.substr(first, last - first + 1);
    for (const char c : digits)
        if (c < '0' || c > '9')
            return std::nullopt;
    const std::size_t significant = digits.find_first_not_of('0');
    digits =
        significant == std::string_view::npos ? std::string_view() : digits.substr(significant);
    // More than ten significant digits exceed every int bound.
    if (digits.size() > 10)
        return std::nullopt;
    long long value = 0;
    for (const char c : digits)
        value = value * 10 + (c - '0');
    if (value < min || value > max)
        return std::nullopt;
    return value;
}

void Check(std::string_view text, int min, int max) {
    const std::optional<int> got = ParseWholeNumber(text, min, max);
    const std::optional<long long> want = Reference(text, min, max);
    if (got.has_value() != want.has_value() || (got && *got != *want)) {
        std::fprintf(stderr,
                     "ParseWholeNumber(\"%s\", %d, %d) gave %s%d, the contract says %s%lld\n",
                     std::string(text).c_str(), min, max, got ? "" : "none ", got.value_or(0),
                     want ? "" : "none ", want.value_or(0));
        std::abort();
    }
}

std::int32_t Int32At(const std::uint8_t* data) {
    std::uint32_t raw = 0;
    for (int k = 0; k < 4; ++k)
        raw |= static_cast<std::uint32_t>(data[k]) << (8 * k);
    return static_cast<std::int32_t>(raw);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view whole(reinterpret_cast<const char*>(data), size);
    Check(whole, 1, 16);
    if (size >= 8)
        Check(whole.substr(8), Int32At(data), Int32At(data + 4));
    return 0;
}
