#include "CDeclaration.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <string_view>

namespace {

// Bounds on the words, brackets and parentheses between a name and "= {", so
// that trying each word as a declaration's name costs a bounded amount.
constexpr int kMaxBracketTokens = 16;
constexpr int kMaxAttributeTokens = 48;
constexpr int kMaxAttributeNesting = 4;

// The element size a type word stands for: 8, 16 or 32 bits; 64 for a type
// wider than any sprite row; 0 for a word that says nothing about it. Every
// word of a file is looked up, so the words are a table sorted for a binary
// search, and words of other lengths are turned away before it.
struct TypeWord {
    std::string_view word;
    int bits;
};
constexpr TypeWord kTypeWords[] = {
    {"BYTE", 8},
    {"DWORD", 32},
    {"UCHAR", 8},
    {"WORD", 16},
    {"byte", 8},
    {"char", 8},
    {"int16_t", 16},
    {"int32_t", 32},
    {"int64_t", 64},
    {"int8_t", 8},
    {"long", 32},
    {"prog_char", 8},
    {"prog_int8_t", 8},
    {"prog_uchar", 8},
    {"prog_uint16_t", 16},
    {"prog_uint32_t", 32},
    {"prog_uint8_t", 8},
    {"short", 16},
    {"u16", 16},
    {"u32", 32},
    {"u64", 64},
    {"u8", 8},
    {"uint16", 16},
    {"uint16_t", 16},
    {"uint32", 32},
    {"uint32_t", 32},
    {"uint64_t", 64},
    {"uint8", 8},
    {"uint8_t", 8},
    {"uint_least16_t", 16},
    {"uint_least32_t", 32},
    {"uint_least8_t", 8},
    {"word", 16},
};
constexpr auto kTypeWordOrder = [](const TypeWord& a, const TypeWord& b) {
    return a.word < b.word;
};
static_assert(std::is_sorted(std::begin(kTypeWords), std::end(kTypeWords), kTypeWordOrder));
constexpr auto kTypeWordLength = [](const TypeWord& a, const TypeWord& b) {
    return a.word.size() < b.word.size();
};
constexpr std::size_t kShortestTypeWord =
    std::min_element(std::begin(kTypeWords), std::end(kTypeWords), kTypeWordLength)->word.size();
constexpr std::size_t kLongestTypeWord =
    std::max_element(std::begin(kTypeWords), std::end(kTypeWords), kTypeWordLength)->word.size();

int TypeWordBits(std::string_view word) {
    if (word.size() < kShortestTypeWord || word.size() > kLongestTypeWord)
        return 0;
    const auto found = std::lower_bound(std::begin(kTypeWords), std::end(kTypeWords),
                                        TypeWord{word, 0}, kTypeWordOrder);
    return found != std::end(kTypeWords) && found->word == word ? found->bits : 0;
}

// The element size the words before a declaration's name give, gathered one
// word at a time. "int", "unsigned" and unknown words leave it to the values.
class CElementType {
public:
    void Add(std::string_view word) {
        const int bits = TypeWordBits(word);
        if (bits != 0 && (m_nBits == 0 || bits < m_nBits))
            m_nBits = bits;
        if (word == "long")
            ++m_nLongs;
    }
    // 8, 16 or 32, or 0 when the values decide. "long int" is 32 bits, but
    // "long long" is as wide as a 64-bit type.
    int Bits() const { return m_nBits == 64 || m_nLongs > 1 ? 0 : m_nBits; }

private:
    int m_nBits = 0;
    int m_nLongs = 0;
};

// The size inside one pair of brackets, or 0 when it is empty or not a plain
// number (a macro, an expression).
std::size_t BracketSize(const Token& first, int count) {
    std::string_view problem;
    if (count != 1 || first.kind != TokenKind::Number)
        return 0;
    const std::optional<CInteger> number = ReadCInteger(first.text, problem);
    if (!number)
        return 0;
    return static_cast<std::size_t>(std::min<std::uint64_t>(number->value, kMaxHeldArraySize));
}

// Tries `name` as the name of an array declaration with an initialiser:
// one or two pairs of brackets, then attribute words (PROGMEM,
// __attribute__((...)) and the like), then "= {". On success `tokens` has
// read the opening brace.
std::optional<ArrayDeclaration> MatchDeclaration(const Token& name, CTokenizer& tokens) {
    CTokenizer ahead = tokens;
    Token token = ahead.Next();
    std::array<std::size_t, kMaxArrayDimensions> sizes{};
    ArrayDeclaration declaration;
    declaration.name = name.text;
    int dimensions = 0;
    while (token.Is('[') && dimensions < kMaxArrayDimensions) {
        const Token first = ahead.Next();
        int count = 0;
        for (token = first; !token.Is(']'); token = ahead.Next()) {
            if (token.kind == TokenKind::End || token.kind == TokenKind::Error || token.Is('[') ||
                token.Is('{') || token.Is(';') || ++count > kMaxBracketTokens)
                return std::nullopt;
        }
        if (count > 0)
            declaration.sizeToken = first;
        sizes[static_cast<std::size_t>(dimensions++)] = BracketSize(first, count);
        token = ahead.Next();
    }
    if (dimensions == 0)
        return std::nullopt;

    int depth = 0;
    for (int count = 0; depth > 0 || token.kind == TokenKind::Word || token.Is('(');
         token = ahead.Next()) {
        if (++count > kMaxAttributeTokens || token.kind == TokenKind::End ||
            token.kind == TokenKind::Error)
            return std::nullopt;
        depth += token.Is('(') ? 1 : token.Is(')') ? -1 : 0;
        if (depth > kMaxAttributeNesting)
            return std::nullopt;
    }
    if (!token.Is('='))
        return std::nullopt;
    declaration.open = ahead.Next();
    if (!declaration.open.Is('{'))
        return std::nullopt;

    if (dimensions == 2) {
        declaration.rowLength = sizes[1];
        declaration.totalCount = sizes[0] * sizes[1];
    } else {
        declaration.totalCount = sizes[0];
    }
    tokens = ahead;
    return declaration;
}

} // namespace

std::optional<ArrayDeclaration> NextArrayDeclaration(CTokenizer& tokens,
                                                     std::optional<Token>& failure) {
    CElementType type;
    for (Token token = tokens.Next();; token = tokens.Next()) {
        if (token.kind == TokenKind::Error)
            failure = token;
        if (token.kind == TokenKind::End || token.kind == TokenKind::Error)
            return std::nullopt;
        if (token.Is(';') || token.Is('{') || token.Is('}')) {
            type = {};
            continue;
        }
        if (token.kind != TokenKind::Word)
            continue;
        std::optional<ArrayDeclaration> declaration = MatchDeclaration(token, tokens);
        if (!declaration) {
            type.Add(token.text);
            continue;
        }
        // A type word before the brackets is the type of an unnamed array.
        if (TypeWordBits(declaration->name) != 0 || declaration->name == "int") {
            type.Add(declaration->name);
            declaration->name = {};
        }
        declaration->typeBits = type.Bits();
        return declaration;
    }
}
