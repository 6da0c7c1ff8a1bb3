#include "ArrayReader.h"

#include "SourceEmitter.h"
#include "SpriteRaster.h"

#include <algorithm>
#include <array>
#include <span>

namespace {

// The most elements a list may hold: a 32 x 16 sprite in bytes.
constexpr std::size_t kMaxListBytes = kMaxSpriteColumns / 8 * kMaxSpriteRows;
// A list of 16- or 32-bit elements holds one row per element.
constexpr std::size_t kMaxListRows = kMaxSpriteRows;
// A two-dimensional array is as deep as a list goes; a fixed bound keeps the
// read free of any nesting that grows with the input.
constexpr int kMaxNesting = 2;
// Bounds on the words, brackets and parentheses between a name and "= {", so
// that trying each word as a declaration's name costs a bounded amount.
constexpr int kMaxBracketTokens = 16;
constexpr int kMaxAttributeTokens = 48;
constexpr int kMaxAttributeNesting = 4;
// The longest character literal looked for, in bytes, quotes included.
constexpr std::size_t kMaxCharLiteral = 12;
// Tokens longer than this are shown cut short in messages.
constexpr std::size_t kMaxShownToken = 40;

constexpr std::uint64_t kMax32 = 0xFFFFFFFFu;

bool IsWordStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$';
}

bool IsWordChar(char c) {
    return IsWordStart(c) || (c >= '0' && c <= '9');
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\n';
}

bool IsControl(char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}

bool IsUtf8Continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The value of a digit in bases up to 16, or -1.
int DigitValue(char c) {
    if (IsDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The narrowest element size, 8, 16 or 32 bits, that holds `value`.
int BitsForValue(std::uint64_t value) {
    return value <= 0xFF ? 8 : value <= 0xFFFF ? 16 : 32;
}

// ---------------------------------------------------------------------------
// Tokens

enum class TokenKind { End, Word, Number, Literal, Punct, Error };

struct Token {
    TokenKind kind = TokenKind::End;
    std::string_view text;
    int line = 1;
    int column = 1;

    bool Is(char c) const { return kind == TokenKind::Punct && text.size() == 1 && text[0] == c; }
};

// A token as messages show it: a long one is cut short.
std::string Shown(const Token& token) {
    std::string shown(token.text.substr(0, kMaxShownToken));
    if (token.text.size() > kMaxShownToken)
        shown += "...";
    return shown;
}

std::string Quoted(const Token& token) {
    return "\"" + Shown(token) + "\"";
}

ArrayReadError MakeError(std::string message, const Token& token) {
    return ArrayReadError{std::move(message), Shown(token), token.line, token.column};
}

// Splits C text into words, numbers, string and character literals and
// punctuation, dropping blanks, comments and preprocessor lines. A copy of a
// tokenizer is a saved position, which is how a guess is taken back.
class CTokenizer {
public:
    explicit CTokenizer(std::string_view text) : m_strText(text) {}

    Token Next() {
        for (;;) {
            if (!SkipBlanksAndComments())
                return {TokenKind::Error, "/*", m_nErrorLine, m_nErrorColumn};
            if (AtEnd())
                return {TokenKind::End, {}, m_nLine, m_nColumn};
            const bool bLineStart = m_bLineStart;
            m_bLineStart = false;
            if (Peek() == '#' && bLineStart) {
                m_bDirective = true;
                Advance();
                continue;
            }
            const Token token = ReadToken();
            if (token.kind == TokenKind::Error || !m_bDirective)
                return token;
        }
    }

private:
    bool AtEnd() const { return m_nOffset >= m_strText.size(); }

    char Peek(std::size_t ahead = 0) const {
        return m_nOffset + ahead < m_strText.size() ? m_strText[m_nOffset + ahead] : '\0';
    }

    bool IsLineBreak(std::size_t ahead = 0) const {
        return m_nOffset + ahead < m_strText.size() && (Peek(ahead) == '\n' || Peek(ahead) == '\r');
    }

    // Moves past one byte. "\r\n", "\n" and a lone "\r" each end one line; the
    // column counts characters, so the bytes after a UTF-8 lead byte add none.
    void Advance() {
        const char c = Peek();
        ++m_nOffset;
        if (c == '\n' || (c == '\r' && Peek() != '\n')) {
            ++m_nLine;
            m_nColumn = 1;
            m_bLineStart = true;
        } else if (c != '\r' && !IsUtf8Continuation(Peek())) {
            ++m_nColumn;
        }
    }

    void AdvanceBy(std::size_t count) {
        for (std::size_t k = 0; k < count && !AtEnd(); ++k)
            Advance();
    }

    // A backslash before a line break joins the lines, as in C.
    bool AtLineSplice() const { return Peek() == '\\' && IsLineBreak(1); }

    // False on a block comment that is never closed.
    bool SkipBlanksAndComments() {
        while (!AtEnd()) {
            if (AtLineSplice()) {
                AdvanceBy(Peek(1) == '\r' && Peek(2) == '\n' ? 3 : 2);
            } else if (IsBlank(Peek())) {
                if (IsLineBreak())
                    m_bDirective = false;
                Advance();
            } else if (Peek() == '/' && Peek(1) == '/') {
                while (!AtEnd() && !IsLineBreak())
                    Advance();
            } else if (Peek() == '/' && Peek(1) == '*') {
                m_nErrorLine = m_nLine;
                m_nErrorColumn = m_nColumn;
                const std::size_t close = m_strText.find("*/", m_nOffset + 2);
                if (close == std::string_view::npos)
                    return false;
                AdvanceBy(close + 2 - m_nOffset);
            } else {
                return true;
            }
        }
        return true;
    }

    Token ReadToken() {
        Token token{TokenKind::Punct, {}, m_nLine, m_nColumn};
        const std::size_t start = m_nOffset;
        const char c = Peek();
        if (IsWordStart(c)) {
            token.kind = TokenKind::Word;
            while (!AtEnd() && IsWordChar(Peek()))
                Advance();
        } else if (IsDigit(c)) {
            // Everything a number could be followed by is kept in it, so that
            // "0x1G" or "1.5" is refused whole rather than read in part. A
            // quote between digits separates digit groups.
            token.kind = TokenKind::Number;
            while (!AtEnd() &&
                   (IsWordChar(Peek()) || Peek() == '.' || (Peek() == '\'' && IsWordChar(Peek(1)))))
                Advance();
        } else if (c == '"') {
            Advance();
            while (!AtEnd() && Peek() != '"' && !IsLineBreak())
                AdvanceBy(Peek() == '\\' ? 2 : 1);
            if (AtEnd() || Peek() != '"')
                return {TokenKind::Error, "\"", token.line, token.column};
            token.kind = TokenKind::Literal;
            Advance();
        } else if (c == '\'' && ClosingQuote() != 0) {
            token.kind = TokenKind::Literal;
            AdvanceBy(ClosingQuote() + 1);
        } else {
            // One character, which may take several bytes.
            Advance();
            while (!AtEnd() && IsUtf8Continuation(Peek()))
                Advance();
        }
        token.text = m_strText.substr(start, m_nOffset - start);
        return token;
    }

    // How far ahead the quote closing a character literal lies, or 0. An
    // apostrophe in prose around the code closes nothing and is read as
    // punctuation. Character literals are short, and looking no further keeps
    // a line of apostrophes from being searched once for each of them.
    std::size_t ClosingQuote() const {
        for (std::size_t ahead = 1; ahead <= kMaxCharLiteral && !IsLineBreak(ahead); ++ahead) {
            if (Peek(ahead) == '\'')
                return ahead;
            if (Peek(ahead) == '\\')
                ++ahead;
        }
        return 0;
    }

    std::string_view m_strText;
    std::size_t m_nOffset = 0;
    int m_nLine = 1;
    int m_nColumn = 1;
    int m_nErrorLine = 1;
    int m_nErrorColumn = 1;
    bool m_bLineStart = true;
    bool m_bDirective = false;
};

ArrayReadError LexError(const Token& token) {
    return MakeError(token.text == "/*" ? "The comment opened here is never closed."
                                        : "The string opened here is never closed.",
                     token);
}

// ---------------------------------------------------------------------------
// Numbers

struct Number {
    std::uint64_t value = 0; // at most 2^32: anything larger is held as 2^32
    int digitBits = 0;       // the element size the written digits suggest; 0 for decimal
};

// Reads `digits` in `base`, with a ceiling so that no run of digits can
// overflow. False on a character that is no digit of the base, or on none.
bool ReadDigits(std::string_view digits, int base, std::uint64_t& value) {
    value = 0;
    int count = 0;
    for (const char c : digits) {
        if (c == '\'')
            continue;
        const int digit = DigitValue(c);
        if (digit < 0 || digit >= base)
            return false;
        value = std::min(value * static_cast<std::uint64_t>(base) + static_cast<unsigned>(digit),
                         kMax32 + 1);
        ++count;
    }
    return count > 0;
}

// The element size a hex or binary constant's digit count suggests.
int BitsForDigits(std::string_view digits, int bitsPerDigit) {
    const auto bits = static_cast<std::size_t>(bitsPerDigit) *
                      static_cast<std::size_t>(std::count_if(digits.begin(), digits.end(),
                                                             [](char c) { return c != '\''; }));
    return bits <= 8 ? 8 : bits <= 16 ? 16 : 32;
}

std::optional<ArrayReadError> ReadNumber(const Token& token, Number& number) {
    std::string_view text = token.text;
    // Integer suffixes (u, l, ul, ull, ...) change nothing here.
    while (!text.empty() &&
           (text.back() == 'u' || text.back() == 'U' || text.back() == 'l' || text.back() == 'L'))
        text.remove_suffix(1);
    const char prefix = text.size() > 1 && text[0] == '0' ? text[1] : '\0';
    int base = 10;
    int bitsPerDigit = 0;
    std::string_view problem = "is not a valid number";
    if (prefix == 'x' || prefix == 'X') {
        base = 16;
        bitsPerDigit = 4;
        text.remove_prefix(2);
        problem = text.empty() ? "has no hex digits" : "is not a valid hex number";
    } else if (prefix == 'b' || prefix == 'B') {
        base = 2;
        bitsPerDigit = 1;
        text.remove_prefix(2);
        problem = text.empty() ? "has no binary digits" : "is not a valid binary number";
    } else if (text.size() > 1 && text[0] == '0') {
        base = 8;
        problem = "is not a valid octal number";
    }
    if (!ReadDigits(text, base, number.value))
        return MakeError("The number " + Quoted(token) + " " + std::string(problem) + ".", token);
    number.digitBits = bitsPerDigit > 0 ? BitsForDigits(text, bitsPerDigit) : 0;
    return std::nullopt;
}

// Binary constants as one popular embedded platform spells them: B0 to
// B11111111.
bool IsBLiteral(std::string_view word) {
    return word.size() >= 2 && word.size() <= 9 && word[0] == 'B' &&
           word.find_first_not_of("01", 1) == std::string_view::npos;
}

// ---------------------------------------------------------------------------
// Declarations

// Whether `word` is one of the blank-separated words of `list`.
bool IsListedWord(std::string_view list, std::string_view word) {
    for (std::size_t at = 0; at < list.size();) {
        const std::size_t end = std::min(list.find(' ', at), list.size());
        if (list.substr(at, end - at) == word)
            return true;
        at = end + 1;
    }
    return false;
}

// The element size a type word stands for: 8, 16 or 32 bits; 64 for a type
// wider than any sprite row; 0 for a word that says nothing about it.
int TypeWordBits(std::string_view word) {
    struct TypeWords {
        int bits;
        std::string_view words;
    };
    static constexpr TypeWords kTypeWords[] = {
        {8, "char uint8_t int8_t byte u8 uint8 BYTE UCHAR uint_least8_t prog_uchar prog_char "
            "prog_uint8_t prog_int8_t"},
        {16, "short uint16_t int16_t word u16 uint16 WORD uint_least16_t prog_uint16_t"},
        {32, "long uint32_t int32_t u32 uint32 DWORD uint_least32_t prog_uint32_t"},
        {64, "uint64_t int64_t u64"},
    };
    for (const TypeWords& entry : kTypeWords)
        if (IsListedWord(entry.words, word))
            return entry.bits;
    return 0;
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

struct Declaration {
    Token open; // the list's opening brace
    std::string_view name;
    int typeBits = 0;           // 8, 16, 32, or 0 when the values decide
    std::size_t rowLength = 0;  // the inner size of [A][B], when it is a number
    std::size_t totalCount = 0; // N of [N] or A * B, when they are numbers
    Token sizeToken;            // where the sizes are written
};

// The size inside one pair of brackets, or 0 when it is empty or not a plain
// number (a macro, an expression). Any size beyond a sprite's reads as one
// more than the most a list may hold, which keeps products of sizes small.
std::size_t BracketSize(const Token& first, int count) {
    Number number;
    if (count != 1 || first.kind != TokenKind::Number || ReadNumber(first, number))
        return 0;
    return static_cast<std::size_t>(std::min<std::uint64_t>(number.value, kMaxListBytes + 1));
}

// Tries `name` as the name of an array declaration with an initialiser:
// one or two pairs of brackets, then attribute words (PROGMEM,
// __attribute__((...)) and the like), then "= {". On success `tokens` has
// read the opening brace.
std::optional<Declaration> MatchDeclaration(const Token& name, CTokenizer& tokens) {
    CTokenizer ahead = tokens;
    Token token = ahead.Next();
    std::array<std::size_t, kMaxNesting> sizes{};
    Declaration declaration;
    declaration.name = name.text;
    int dimensions = 0;
    while (token.Is('[') && dimensions < kMaxNesting) {
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

// Reads on to the next array declaration with an initialiser and leaves
// `tokens` after its opening brace. None at the end of the text or on a
// token that cannot be read, which `failure` then holds.
std::optional<Declaration> NextDeclaration(CTokenizer& tokens, std::optional<Token>& failure) {
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
        std::optional<Declaration> declaration = MatchDeclaration(token, tokens);
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

// ---------------------------------------------------------------------------
// The list of values

struct ListValue {
    std::uint32_t value = 0;
    int bits = 8; // the narrowest element the value and its digits suggest
    Token token;
};

struct ListReading {
    std::vector<ListValue> values;
    int elementBits = 8;
    std::optional<ArrayReadError> error;
};

std::string TooManyMessage(std::size_t limit) {
    return limit == kMaxListRows
               ? "The list holds more than 16 rows; a sprite has at most 16."
               : "The list holds more than 64 values; the largest sprite, 32 x 16, takes 64 bytes.";
}

std::optional<ArrayReadError> ReadValue(const Token& token, int typeBits, ListValue& value) {
    if (token.Is('-'))
        return MakeError("A negative value cannot stand for pixels.", token);
    Number number;
    if (token.kind == TokenKind::Word && IsBLiteral(token.text)) {
        ReadDigits(token.text.substr(1), 2, number.value);
        number.digitBits = 8;
    } else if (token.kind != TokenKind::Number) {
        return MakeError("Expected a number, found " + Quoted(token) + ".", token);
    } else if (std::optional<ArrayReadError> error = ReadNumber(token, number)) {
        return error;
    }
    const std::uint64_t max = typeBits == 0 ? kMax32 : (std::uint64_t{1} << typeBits) - 1;
    if (number.value > max) {
        const std::string size = typeBits == 0   ? std::string("32 bits")
                                 : typeBits == 8 ? std::string("an 8-bit element")
                                                 : "a " + std::to_string(typeBits) + "-bit element";
        return MakeError("The value " + Shown(token) + " is too big for " + size + ".", token);
    }
    value = {static_cast<std::uint32_t>(number.value),
             std::max(number.digitBits, BitsForValue(number.value)), token};
    return std::nullopt;
}

// Reads the values of a list from its first token: an opening brace, or the
// first value of a list written without braces, which runs to ';' or the
// end. Inner braces are flattened in order; the declared sizes pad the list
// with zeros as C does.
ListReading ReadList(CTokenizer& tokens, const Token& first, const Declaration& declaration) {
    ListReading list;
    std::vector<ListValue>& values = list.values;
    const bool bBraced = first.Is('{');
    const std::size_t limit = declaration.typeBits > 8 ? kMaxListRows : kMaxListBytes;
    auto fail = [&list](std::string message, const Token& token) {
        list.error = MakeError(std::move(message), token);
        return list;
    };
    // Adds zeros up to `count` values; false when that is more than a sprite.
    auto pad = [&values, limit](std::size_t count, const Token& where) {
        if (count > limit)
            return false;
        values.resize(std::max(values.size(), count), ListValue{0, 8, where});
        return true;
    };

    std::array<Token, kMaxNesting> opened{first};
    int depth = bBraced ? 1 : 0;
    std::size_t rowStart = 0;
    bool bExpectValue = true;
    for (Token token = bBraced ? tokens.Next() : first;; token = tokens.Next()) {
        if (token.kind == TokenKind::Error) {
            list.error = LexError(token);
            return list;
        }
        if (!bBraced && (token.kind == TokenKind::End || token.Is(';')))
            break;
        if (token.kind == TokenKind::End)
            return fail("The brace opened here is never closed.",
                        opened[static_cast<std::size_t>(depth - 1)]);
        if (token.Is('{') && bBraced && bExpectValue) {
            if (depth == kMaxNesting)
                return fail("The braces nest too deep: a sprite list has at most two levels.",
                            token);
            opened[static_cast<std::size_t>(depth++)] = token;
            rowStart = values.size();
        } else if (token.Is('}') && bBraced) {
            if (--depth == 0)
                break;
            const std::size_t rowLength = declaration.rowLength;
            if (rowLength > 0 && values.size() - rowStart > rowLength)
                return fail("This row holds more values than the " + std::to_string(rowLength) +
                                " its array declares.",
                            values[rowStart + rowLength].token);
            if (rowLength > 0 && !pad(rowStart + rowLength, token))
                return fail(TooManyMessage(limit), token);
            bExpectValue = false;
        } else if (token.Is(',') && !bExpectValue) {
            bExpectValue = true;
        } else if (token.Is(',')) {
            return fail("Expected a value before this comma.", token);
        } else if (!bExpectValue) {
            return fail("Expected a comma or '}' before " + Quoted(token) + ".", token);
        } else {
            ListValue value;
            if (std::optional<ArrayReadError> error =
                    ReadValue(token, declaration.typeBits, value)) {
                list.error = std::move(error);
                return list;
            }
            if (values.size() == limit)
                return fail(TooManyMessage(limit), token);
            values.push_back(value);
            bExpectValue = false;
        }
    }

    const std::size_t total = declaration.totalCount;
    if (total > 0 && values.size() > total)
        return fail("The list holds more values than the " + std::to_string(total) +
                        " its array declares.",
                    values[total].token);
    if (total > 0 && !pad(total, declaration.sizeToken))
        return fail(TooManyMessage(limit), declaration.sizeToken);
    if (values.empty())
        return fail("The list is empty.", first);

    list.elementBits = declaration.typeBits;
    if (list.elementBits == 0)
        for (const ListValue& value : values)
            list.elementBits = std::max(list.elementBits, value.bits);
    if (list.elementBits > 8 && values.size() > kMaxListRows)
        return fail(TooManyMessage(kMaxListRows), values[kMaxListRows].token);
    return list;
}

// ---------------------------------------------------------------------------
// Readings

// Rows of `width` pixels, each made of width / elementBits elements in
// reading order.
SpriteReading RowsReading(std::span<const std::uint32_t> elements, int elementBits, int width,
                          PixelLayout layout) {
    const auto perRow = static_cast<std::size_t>(width / elementBits);
    SpriteReading reading{layout, width, static_cast<int>(elements.size() / perRow), {}};
    reading.pixels.reserve(elements.size() * static_cast<std::size_t>(elementBits));
    for (std::size_t row = 0; row < static_cast<std::size_t>(reading.height); ++row) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t element =
                elements[row * perRow + static_cast<std::size_t>(x / elementBits)];
            const int bit = layout == PixelLayout::RowsMsbFirst ? elementBits - 1 - x % elementBits
                                                                : x % elementBits;
            reading.pixels.push_back((element >> bit) & 1u);
        }
    }
    return reading;
}

SpriteReading PagesReading(std::span<const std::uint32_t> bytes, int width) {
    const auto columns = static_cast<std::size_t>(width);
    SpriteReading reading{
        PixelLayout::VerticalPages, width, static_cast<int>(bytes.size() / columns * 8), {}};
    reading.pixels.reserve(bytes.size() * 8);
    for (std::size_t y = 0; y < static_cast<std::size_t>(reading.height); ++y)
        for (std::size_t x = 0; x < columns; ++x)
            reading.pixels.push_back((bytes[y / 8 * columns + x] >> (y % 8)) & 1u);
    return reading;
}

// Every sprite the elements can stand for, most likely first: rows with the
// high bit leftmost, then with the low bit leftmost, and for bytes vertical
// pages; narrowest first within each.
std::vector<SpriteReading> Readings(std::span<const std::uint32_t> elements, int elementBits) {
    std::vector<SpriteReading> readings;
    const std::size_t count = elements.size();
    for (const PixelLayout layout : {PixelLayout::RowsMsbFirst, PixelLayout::RowsLsbFirst}) {
        for (int width = elementBits; width <= kMaxSpriteColumns; width *= 2) {
            const auto perRow = static_cast<std::size_t>(width / elementBits);
            const bool bFits = count % perRow == 0 && count / perRow <= kMaxListRows;
            if (bFits && (elementBits == 8 || width == elementBits))
                readings.push_back(RowsReading(elements, elementBits, width, layout));
        }
    }
    for (int width = 8; elementBits == 8 && width <= kMaxSpriteColumns; width *= 2) {
        const auto columns = static_cast<std::size_t>(width);
        if (count == columns || count == 2 * columns)
            readings.push_back(PagesReading(elements, width));
    }
    return readings;
}

std::string NoticeForArrays(int count, std::string_view name) {
    if (count < 2)
        return {};
    std::string notice = "The text holds " + std::to_string(count) + " arrays; the first";
    if (!name.empty())
        notice += ", " + std::string(name) + ",";
    return notice + " was read.";
}

// ---------------------------------------------------------------------------
// Glimmet's own line

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool Consume(std::string_view& text, std::string_view prefix) {
    if (!text.starts_with(prefix))
        return false;
    text.remove_prefix(prefix.size());
    return true;
}

// Glimmet's own line is read by its exact shape rather than by the general
// reader: its element type says the width for certain, so it comes back as
// the very sprite it was made from, with no choice to offer. The name is
// whatever stands before the first "[] = {", as the editor writes names
// verbatim; it never holds a control character, so one there means the text
// is something else.
std::optional<ArrayReadResult> ReadOwnLine(std::string_view text) {
    text = Trimmed(text);
    for (int width = 8; width <= kMaxSpriteColumns; width *= 2) {
        std::string_view rest = text;
        if (!Consume(rest, ElementType(width)))
            continue;
        const std::size_t open = rest.find("[] = {");
        const std::string_view name = rest.substr(0, open);
        if (open == std::string_view::npos || std::any_of(name.begin(), name.end(), IsControl))
            return std::nullopt;
        rest.remove_prefix(open + 6);
        const auto digits = static_cast<std::size_t>(width / 4);
        std::vector<std::uint32_t> rows;
        do {
            if (rows.size() == kMaxListRows || !Consume(rest, "0x") || rest.size() < digits)
                return std::nullopt;
            std::uint32_t row = 0;
            for (const char c : rest.substr(0, digits)) {
                if (DigitValue(c) < 0 || (c >= 'a' && c <= 'f'))
                    return std::nullopt;
                row = (row << 4) | static_cast<std::uint32_t>(DigitValue(c));
            }
            rows.push_back(row);
            rest.remove_prefix(digits);
        } while (Consume(rest, ","));
        if (rest != "};")
            return std::nullopt;
        ArrayReadResult result;
        result.name = name;
        result.bExact = true;
        result.readings.push_back(RowsReading(rows, width, width, PixelLayout::RowsMsbFirst));
        return result;
    }
    return std::nullopt;
}

ArrayReadResult Failed(ArrayReadError error) {
    ArrayReadResult result;
    result.error = std::move(error);
    return result;
}

} // namespace

ArrayReadResult ReadSpriteArray(std::string_view text) {
    if (text.size() > kMaxArrayTextBytes)
        return Failed({"The text is too long to read: the limit is 1 MiB.", {}, 1, 1});
    if (std::optional<ArrayReadResult> own = ReadOwnLine(text))
        return std::move(*own);

    // A list that starts the text is a bare list; otherwise the first
    // declaration with a brace list is read.
    CTokenizer tokens(text);
    CTokenizer afterFirst = tokens;
    const Token first = afterFirst.Next();
    std::optional<Declaration> declaration;
    std::optional<Token> failure;
    if (first.kind == TokenKind::Error) {
        failure = first;
    } else if (first.Is('{') || first.kind == TokenKind::Number) {
        declaration.emplace().open = first;
        tokens = afterFirst;
    } else {
        declaration = NextDeclaration(tokens, failure);
    }
    if (failure)
        return Failed(LexError(*failure));
    if (!declaration) {
        // Text with no token at all is named by its start.
        const Token where = first.kind == TokenKind::End ? Token{} : first;
        return Failed(
            MakeError("No array found: paste a declaration with a brace list of values.", where));
    }

    ListReading list = ReadList(tokens, declaration->open, *declaration);
    if (list.error)
        return Failed(std::move(*list.error));
    int arrays = 1;
    while (NextDeclaration(tokens, failure))
        ++arrays;
    if (failure)
        return Failed(LexError(*failure));

    std::vector<std::uint32_t> elements;
    elements.reserve(list.values.size());
    for (const ListValue& value : list.values)
        elements.push_back(value.value);
    ArrayReadResult result;
    result.readings = Readings(elements, list.elementBits);
    if (result.readings.empty())
        return Failed(
            MakeError("No sprite shape holds " + std::to_string(elements.size()) + " bytes.",
                      declaration->open));
    result.name = declaration->name;
    result.notice = NoticeForArrays(arrays, result.name);
    return result;
}

std::string MakeIdentifier(std::string_view text) {
    // The words C reserves, which no array may be named.
    static constexpr std::string_view kKeywords =
        "alignas alignof auto bool break case char const constexpr continue default do double "
        "else enum extern false float for goto if inline int long nullptr register restrict "
        "return short signed sizeof static static_assert struct switch thread_local true typedef "
        "typeof typeof_unqual union unsigned void volatile while";
    std::string identifier;
    for (std::size_t at = 0; at < text.size(); ++at) {
        // The bytes after a UTF-8 lead byte belong to its character, which
        // becomes one '_'.
        if (at > 0 && IsUtf8Continuation(text[at]) &&
            static_cast<unsigned char>(text[at - 1]) >= 0x80)
            continue;
        identifier += IsWordChar(text[at]) && text[at] != '$' ? text[at] : '_';
    }
    if (identifier.empty())
        return "sprite";
    if (IsDigit(identifier.front()))
        identifier.insert(identifier.begin(), '_');
    if (IsListedWord(kKeywords, identifier))
        identifier += '_';
    return identifier;
}

bool IsCIdentifier(std::string_view text) {
    return !text.empty() && MakeIdentifier(text) == text;
}

std::string DescribeReading(const SpriteReading& reading) {
    std::string label = std::to_string(reading.width) + " x " + std::to_string(reading.height);
    switch (reading.layout) {
    case PixelLayout::RowsMsbFirst:
        return label + ", rows, leftmost pixel high";
    case PixelLayout::RowsLsbFirst:
        return label + ", rows, leftmost pixel low (XBM)";
    case PixelLayout::VerticalPages:
        return label + ", vertical pages";
    }
    return label;
}
