#pragma once

// Finding array declarations with an initialiser in C text: a name, one or
// two pairs of brackets, attribute words, then "= {". What comes before the
// name is read for the element size it states; what comes after the brace
// (the values) is left to the caller.

#include "CTokenizer.h"

#include <cstddef>
#include <optional>
#include <string_view>

// A two-dimensional array is as deep as a sprite list goes; a fixed bound
// keeps the read free of any nesting that grows with the input.
inline constexpr int kMaxArrayDimensions = 2;

// A declared size beyond this is held as this: larger than any sprite's
// list, and small enough that the product of two sizes stays small.
inline constexpr std::size_t kMaxHeldArraySize = 65;

struct ArrayDeclaration {
    Token open;                 // the list's opening brace
    std::string_view name;      // empty for an array whose name is a type word
    int typeBits = 0;           // 8, 16, 32, or 0 when the values decide
    std::size_t rowLength = 0;  // the inner size of [A][B], when it is a number
    std::size_t totalCount = 0; // N of [N] or A * B, when they are numbers
    Token sizeToken;            // where the sizes are written
};

// Reads on to the next array declaration with an initialiser and leaves
// `tokens` after its opening brace. None at the end of the text or on a
// token that cannot be read, which `failure` then holds. Every word is tried
// as a name, each try reading a bounded number of tokens ahead.
std::optional<ArrayDeclaration> NextArrayDeclaration(CTokenizer& tokens,
                                                     std::optional<Token>& failure);
