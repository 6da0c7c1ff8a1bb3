#pragma once

// Finding what a C file says about its sprites, on the shared tokenizer and
// declaration matcher: every array declared with a list of integer literals,
// the defines of plain numbers, and the one-bit image descriptors, each with
// the byte spans where they are written.

#include "CDeclaration.h"
#include "CTokenizer.h"
#include "SourceText.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A number the file names: "#define NAME 16", or a descriptor's ".header.w = 16".
struct Define {
    std::string name;
    std::uint32_t value = 0;
    TextSpan span;
};

// A one-bit image descriptor: the array it names and its size fields.
struct Descriptor {
    std::string_view data;
    bool bOneBit = false;
    std::optional<Define> width;
    std::optional<Define> height;
    std::optional<Define> dataSize;
};

// An array declaration with a list of integer literals, as the scan finds it.
struct FoundArray {
    ArrayDeclaration declaration;
    std::size_t nameOffset = 0;
    struct Value {
        std::uint32_t value = 0;
        TextSpan span;
        int digitBits = 8; // the narrowest element its digits and its value fit
    };
    std::vector<Value> values;
    // Per frame of a two-dimensional array: its values' first index and
    // count, and the span inside its braces.
    struct Frame {
        std::size_t first = 0;
        std::size_t count = 0;
        TextSpan span;
    };
    std::vector<Frame> frames;
    TextSpan inside;     // between the outer braces
    std::size_t end = 0; // just past the closing brace
};

// More values than any header holds; the bound keeps a hostile file's list
// from growing without end.
inline constexpr std::size_t kMaxScannedValues = std::size_t{1} << 22;

// The bytes a token takes in its text.
TextSpan SpanOf(const Token& token);

// The defines of plain numbers, in file order.
std::vector<Define> FindDefines(std::string_view text);

// Every one-bit image descriptor that names its data array.
std::vector<Descriptor> FindDescriptors(std::string_view text);

// Every named array declared with a brace list of integer literals (at most
// two levels of braces), in file order.
std::vector<FoundArray> FindArrays(std::string_view text);
