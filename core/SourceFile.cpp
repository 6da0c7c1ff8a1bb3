#include "SourceFile.h"

#include "SourceLayout.h"
#include "SourceText.h"
#include "SpriteRaster.h"

#include <algorithm>
#include <unordered_map>

namespace {

// The most elements a sprite takes: 32 x 16 in bytes, or 16 rows of wider
// elements.
constexpr std::size_t kMaxSpriteBytes = kMaxSpriteColumns / 8 * kMaxSpriteRows;

bool IsWordStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool IsWordChar(char c) {
    return IsWordStart(c) || (c >= '0' && c <= '9');
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Lowered(std::string_view text) {
    std::string lowered(text);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(), Lower);
    return lowered;
}

// ---------------------------------------------------------------------------
// Tokens with their places

enum class TokenKind { End, Word, Number, Literal, Punct };

struct Token {
    TokenKind kind = TokenKind::End;
    std::size_t offset = 0;
    std::string_view text;

    bool Is(char c) const { return kind == TokenKind::Punct && text.size() == 1 && text[0] == c; }
    bool IsWord(std::string_view word) const { return kind == TokenKind::Word && text == word; }
    TextSpan Span() const { return {offset, text.size()}; }
};

// A define of a plain number: "#define NAME 16".
struct Define {
    std::string name;
    std::uint32_t value = 0;
    TextSpan span;
};

// Splits C text into tokens with their byte offsets, skipping blanks and
// comments. Preprocessor lines give no tokens; the defines of plain numbers
// among them are kept.
class CSourceTokens {
public:
    explicit CSourceTokens(std::string_view text) : m_strText(text) {}

    Token Next() {
        for (;;) {
            SkipBlanks();
            if (m_nAt >= m_strText.size())
                return {TokenKind::End, m_strText.size(), {}};
            if (m_strText[m_nAt] == '#' && m_bLineStart) {
                ReadDirective();
                continue;
            }
            m_bLineStart = false;
            return ReadToken();
        }
    }

    std::vector<Define>& Defines() { return m_defines; }

private:
    char At(std::size_t at) const { return at < m_strText.size() ? m_strText[at] : '\0'; }

    void SkipBlanks() {
        while (m_nAt < m_strText.size()) {
            const char c = m_strText[m_nAt];
            if (c == '\n') {
                m_bLineStart = true;
                ++m_nAt;
            } else if (IsBlank(c) || c == '\r') {
                ++m_nAt;
            } else if (c == '\\' && (At(m_nAt + 1) == '\n' || At(m_nAt + 1) == '\r')) {
                ++m_nAt;
            } else if (c == '/' && At(m_nAt + 1) == '/') {
                while (m_nAt < m_strText.size() && m_strText[m_nAt] != '\n')
                    ++m_nAt;
            } else if (c == '/' && At(m_nAt + 1) == '*') {
                const std::size_t close = m_strText.find("*/", m_nAt + 2);
                m_nAt = close == std::string_view::npos ? m_strText.size() : close + 2;
            } else {
                return;
            }
        }
    }

    // Skips a preprocessor line, continuations and comments included, and
    // keeps it when it defines a name as a plain number.
    void ReadDirective() {
        ++m_nAt;
        std::vector<Token> words;
        for (;;) {
            while (m_nAt < m_strText.size() &&
                   (IsBlank(m_strText[m_nAt]) || m_strText[m_nAt] == '\r'))
                ++m_nAt;
            if (m_nAt >= m_strText.size() || m_strText[m_nAt] == '\n')
                break;
            const char c = m_strText[m_nAt];
            if (c == '\\' && (At(m_nAt + 1) == '\n' || At(m_nAt + 1) == '\r')) {
                m_nAt += At(m_nAt + 1) == '\r' && At(m_nAt + 2) == '\n' ? 3 : 2;
                continue;
            }
            if (c == '/' && At(m_nAt + 1) == '/') {
                while (m_nAt < m_strText.size() && m_strText[m_nAt] != '\n')
                    ++m_nAt;
                break;
            }
            if (c == '/' && At(m_nAt + 1) == '*') {
                const std::size_t close = m_strText.find("*/", m_nAt + 2);
                m_nAt = close == std::string_view::npos ? m_strText.size() : close + 2;
                continue;
            }
            const Token token = ReadToken();
            if (words.size() < 4)
                words.push_back(token);
        }
        if (words.size() == 3 && words[0].IsWord("define") && words[1].kind == TokenKind::Word &&
            words[2].kind == TokenKind::Number) {
            if (const std::optional<std::uint32_t> value = ReadLiteral(words[2].text))
                m_defines.push_back({std::string(words[1].text), *value, words[2].Span()});
        }
    }

    Token ReadToken() {
        const std::size_t start = m_nAt;
        const char c = m_strText[m_nAt];
        TokenKind kind = TokenKind::Punct;
        if (IsWordStart(c)) {
            kind = TokenKind::Word;
            while (IsWordChar(At(m_nAt)))
                ++m_nAt;
        } else if (IsDigit(c)) {
            // A number keeps everything it could be followed by, so that
            // "0x1G" or "1.5" is one token that reads as no literal.
            kind = TokenKind::Number;
            while (IsWordChar(At(m_nAt)) || At(m_nAt) == '.' ||
                   (At(m_nAt) == '\'' && IsWordChar(At(m_nAt + 1))))
                ++m_nAt;
        } else if (c == '"' || c == '\'') {
            // A string or character literal ends at its quote or its line.
            kind = TokenKind::Literal;
            ++m_nAt;
            while (m_nAt < m_strText.size() && m_strText[m_nAt] != c && m_strText[m_nAt] != '\n')
                m_nAt += m_strText[m_nAt] == '\\' ? 2 : 1;
            m_nAt = std::min(m_nAt + 1, m_strText.size());
        } else {
            ++m_nAt;
        }
        return {kind, start, m_strText.substr(start, m_nAt - start)};
    }

    std::string_view m_strText;
    std::size_t m_nAt = 0;
    bool m_bLineStart = true;
    std::vector<Define> m_defines;
};

// ---------------------------------------------------------------------------
// Element types

bool IsListedWord(std::string_view list, std::string_view word) {
    for (std::size_t at = 0; at < list.size();) {
        const std::size_t end = std::min(list.find(' ', at), list.size());
        if (list.substr(at, end - at) == word)
            return true;
        at = end + 1;
    }
    return false;
}

// The element size a type word stands for; 64 for a type wider than any
// row; 0 for a word that says nothing about it.
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

// ---------------------------------------------------------------------------
// Declarations

// An array declaration with a brace list, as the scan finds it.
struct ArrayDeclaration {
    std::string_view name;
    std::size_t start = 0; // where its first word is written
    int typeBits = 0;      // 8, 16 or 32; 0 when the values decide; -1 for a type no sprite has
    int dimensions = 1;
    std::optional<TextSpan> count; // the number in the first brackets
    std::size_t innerCount = 0;    // the number in the second brackets
    struct Value {
        std::uint32_t value = 0;
        TextSpan span;
        int digitBits = 8;
    };
    std::vector<Value> values;
    // Per frame of a two-dimensional array: the values' first index and
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

// A one-bit image descriptor: the array it names and its size fields.
struct Descriptor {
    std::string_view data;
    bool bOneBit = false;
    std::optional<Define> width;
    std::optional<Define> height;
    std::optional<Define> dataSize;
};

constexpr int kMaxBracketTokens = 16;
constexpr int kMaxAttributeTokens = 48;
constexpr std::size_t kMaxValues = std::size_t{1} << 22;

int DigitBits(const LiteralForm& form, std::string_view text) {
    const int perDigit =
        form.kind == LiteralKind::Hex                                                 ? 4
        : form.kind == LiteralKind::Binary || form.kind == LiteralKind::ArduinoBinary ? 1
                                                                                      : 0;
    const auto digits = static_cast<int>(text.size() - form.prefix.size() - form.suffix.size());
    const int bits = perDigit * digits;
    return bits <= 8 ? 8 : bits <= 16 ? 16 : 32;
}

int ValueBits(std::uint32_t value) {
    return value <= 0xFF ? 8 : value <= 0xFFFF ? 16 : 32;
}

class CScanner {
public:
    explicit CScanner(std::string_view text) : m_strText(text), m_tokens(text) {}

    // Every declaration in the text, and the descriptors seen.
    void Scan() {
        std::size_t statementStart = std::string_view::npos;
        int typeBits = 0;
        bool bWide = false;
        int longs = 0;
        for (Token token = Advance(); token.kind != TokenKind::End;) {
            if (token.Is(';') || token.Is('{') || token.Is('}')) {
                statementStart = std::string_view::npos;
                typeBits = 0;
                bWide = false;
                longs = 0;
                token = Advance();
                continue;
            }
            if (statementStart == std::string_view::npos)
                statementStart = token.offset;
            if (token.IsWord("lv_img_dsc_t")) {
                token = ReadDescriptor();
                continue;
            }
            if (token.kind == TokenKind::Word && Peek().Is('[')) {
                const Token name = token;
                std::optional<ArrayDeclaration> declaration = ReadArray(name, token);
                if (declaration) {
                    declaration->start = statementStart;
                    declaration->typeBits = bWide || longs > 1 ? -1 : typeBits;
                    m_declarations.push_back(std::move(*declaration));
                }
                continue;
            }
            if (token.kind == TokenKind::Word) {
                const int bits = TypeWordBits(token.text);
                if (bits == 64)
                    bWide = true;
                else if (bits != 0 && (typeBits == 0 || bits < typeBits))
                    typeBits = bits;
                longs += token.IsWord("long") ? 1 : 0;
            }
            token = Advance();
        }
    }

    std::vector<ArrayDeclaration>& Declarations() { return m_declarations; }
    std::vector<Descriptor>& Descriptors() { return m_descriptors; }
    std::vector<Define>& Defines() { return m_tokens.Defines(); }

private:
    Token Advance() {
        if (m_peeked) {
            const Token token = *m_peeked;
            m_peeked.reset();
            return token;
        }
        return m_tokens.Next();
    }

    const Token& Peek() {
        if (!m_peeked)
            m_peeked = m_tokens.Next();
        return *m_peeked;
    }

    // Reads "name[..][..] attributes = {values}" from the name; leaves
    // `next` at the token after what it read. None when it is not an array
    // of integer literals.
    std::optional<ArrayDeclaration> ReadArray(const Token& name, Token& next) {
        ArrayDeclaration declaration;
        declaration.name = name.text;
        next = Advance();
        int dimensions = 0;
        while (next.Is('[')) {
            if (++dimensions > 2)
                return std::nullopt;
            Token first = Advance();
            int count = 0;
            for (next = first; !next.Is(']'); next = Advance()) {
                if (next.kind == TokenKind::End || next.Is(';') || next.Is('{') ||
                    ++count > kMaxBracketTokens)
                    return std::nullopt;
            }
            if (count == 1 && first.kind == TokenKind::Number) {
                if (dimensions == 1)
                    declaration.count = first.Span();
                else if (const std::optional<std::uint32_t> inner = ReadLiteral(first.text))
                    declaration.innerCount = *inner;
            }
            next = Advance();
        }
        declaration.dimensions = dimensions;
        int depth = 0;
        for (int count = 0; depth > 0 || next.kind == TokenKind::Word || next.Is('(');
             next = Advance()) {
            if (++count > kMaxAttributeTokens || next.kind == TokenKind::End)
                return std::nullopt;
            depth += next.Is('(') ? 1 : next.Is(')') ? -1 : 0;
        }
        if (!next.Is('='))
            return std::nullopt;
        next = Advance();
        if (!next.Is('{'))
            return std::nullopt;
        const bool bRead = ReadValues(declaration, next);
        next = Advance();
        if (!bRead || declaration.values.empty())
            return std::nullopt;
        return declaration;
    }

    // Reads the brace list that `open` opens, up to its closing brace, which
    // `open` is left at. False for anything but integer literals in at most
    // two levels of braces.
    bool ReadValues(ArrayDeclaration& declaration, Token& open) {
        int depth = 1;
        bool bLiterals = true;
        const std::size_t insideStart = open.offset + 1;
        std::optional<ArrayDeclaration::Frame> frame;
        for (Token token = Advance();; token = Advance()) {
            if (token.kind == TokenKind::End) {
                open = token;
                return false;
            }
            if (token.Is('{')) {
                if (++depth == 2 && bLiterals)
                    frame = ArrayDeclaration::Frame{
                        declaration.values.size(), 0, {token.offset + 1, 0}};
                continue;
            }
            if (token.Is('}')) {
                if (--depth == 0) {
                    declaration.inside = {insideStart, token.offset - insideStart};
                    declaration.end = token.offset + 1;
                    open = token;
                    return bLiterals;
                }
                if (depth == 1 && frame) {
                    frame->count = declaration.values.size() - frame->first;
                    frame->span.length = token.offset - frame->span.offset;
                    declaration.frames.push_back(*frame);
                    frame.reset();
                }
                continue;
            }
            if (!bLiterals || token.Is(','))
                continue;
            LiteralForm form;
            const std::optional<std::uint32_t> value =
                token.kind == TokenKind::Number || token.kind == TokenKind::Word
                    ? ReadLiteral(token.text, &form)
                    : std::nullopt;
            if (!value || depth > 2 || declaration.values.size() == kMaxValues) {
                // Not a sprite: read on to the closing brace all the same.
                bLiterals = false;
                continue;
            }
            declaration.values.push_back({*value, token.Span(), DigitBits(form, token.text)});
        }
    }

    // Reads "lv_img_dsc_t name = { .field = value, ... }" after its type.
    Token ReadDescriptor() {
        Descriptor descriptor;
        Token token = Advance();
        while (token.kind != TokenKind::End && !token.Is('{') && !token.Is(';'))
            token = Advance();
        if (!token.Is('{'))
            return token;
        int depth = 1;
        std::vector<Token> field;
        for (token = Advance(); token.kind != TokenKind::End; token = Advance()) {
            if (token.Is('{') || token.Is('}')) {
                depth += token.Is('{') ? 1 : -1;
                if (depth == 0)
                    break;
                continue;
            }
            if (token.Is(',') && depth == 1) {
                TakeField(field, descriptor);
                field.clear();
            } else if (field.size() < 8) {
                field.push_back(token);
            }
        }
        TakeField(field, descriptor);
        if (!descriptor.data.empty())
            m_descriptors.push_back(descriptor);
        return token.kind == TokenKind::End ? token : Advance();
    }

    // One ".a.b = value" of a descriptor.
    static void TakeField(const std::vector<Token>& field, Descriptor& descriptor) {
        std::string designator;
        std::size_t at = 0;
        for (; at < field.size() && !field[at].Is('='); ++at)
            designator += field[at].text;
        if (at + 1 >= field.size())
            return;
        const Token& value = field.back();
        std::optional<Define> number;
        if (at + 2 == field.size() && value.kind == TokenKind::Number)
            if (const std::optional<std::uint32_t> read = ReadLiteral(value.text))
                number = Define{designator, *read, value.Span()};
        if (designator == ".header.cf")
            descriptor.bOneBit = value.IsWord("LV_IMG_CF_INDEXED_1BIT");
        else if (designator == ".header.w")
            descriptor.width = number;
        else if (designator == ".header.h")
            descriptor.height = number;
        else if (designator == ".data_size")
            descriptor.dataSize = number;
        else if (designator == ".data" && value.kind == TokenKind::Word)
            descriptor.data = value.text;
    }

    std::string_view m_strText;
    CSourceTokens m_tokens;
    std::optional<Token> m_peeked;
    std::vector<ArrayDeclaration> m_declarations;
    std::vector<Descriptor> m_descriptors;
};

// ---------------------------------------------------------------------------
// Readings

// What the file says about an array's size and bit order.
struct Statement {
    SizeSource source = SizeSource::Open;
    std::optional<int> width;
    std::optional<int> height;
    std::optional<PixelLayout> layout; // fixed when set
    bool bXbm = false;                 // the rows are XBM's, leftmost pixel low
    bool bNoPages = false;
};

// The readings of `elements` that agree with the statement, most likely
// first: rows with the leftmost pixel high, then low, then pages; narrowest
// first.
std::vector<SpriteReading> Candidates(const std::vector<std::uint32_t>& elements, int bits,
                                      const Statement& statement) {
    std::vector<SpriteReading> readings;
    const std::size_t count = elements.size();
    for (const PixelLayout layout :
         {PixelLayout::RowsMsbFirst, PixelLayout::RowsLsbFirst, PixelLayout::VerticalPages}) {
        if ((statement.layout && layout != *statement.layout) ||
            (statement.bXbm && layout != PixelLayout::RowsLsbFirst) ||
            (statement.bNoPages && layout == PixelLayout::VerticalPages))
            continue;
        for (int width = 8; width <= kMaxSpriteColumns; width *= 2) {
            if ((statement.width && width != *statement.width) || (bits > 8 && width != bits))
                continue;
            int height = 0;
            if (layout == PixelLayout::VerticalPages) {
                const std::size_t pages = count / static_cast<std::size_t>(width);
                height = statement.height ? *statement.height : static_cast<int>(pages * 8);
            } else {
                height = static_cast<int>(count / static_cast<std::size_t>(width / bits));
            }
            if (statement.height && height != *statement.height)
                continue;
            if (height < kMinSpriteHeight || height > kMaxSpriteHeight ||
                ElementCount(layout, bits, width, height) != count)
                continue;
            readings.push_back(
                {layout, width, height, UnpackPixels(elements, bits, layout, width, height)});
        }
    }
    return readings;
}

// Why an array of this size cannot be opened, or empty when it can be.
std::string SizeProblem(int width, int height) {
    if (width > kMaxSpriteColumns)
        return "It is " + std::to_string(width) + " pixels wide; the grid takes at most 32.";
    if (height > kMaxSpriteRows)
        return "It is " + std::to_string(height) + " pixels high; the grid takes at most 16.";
    if (width != 0 && width != 8 && width != 16 && width != 32)
        return "It is " + std::to_string(width) + " pixels wide; the grid is 8, 16 or 32 wide.";
    return {};
}

class CReader {
public:
    CReader(std::string_view text, CScanner& scanner) : m_strText(text), m_scanner(scanner) {
        for (const Define& define : scanner.Defines())
            m_defines.emplace(Lowered(define.name), &define);
    }

    std::vector<SourceArray> Arrays() {
        std::vector<SourceArray> arrays;
        for (const ArrayDeclaration& declaration : m_scanner.Declarations()) {
            if (declaration.typeBits < 0)
                continue;
            if (declaration.dimensions == 2)
                AddFrames(declaration, arrays);
            else
                arrays.push_back(Read(declaration));
        }
        return arrays;
    }

private:
    const Define* FindDefine(const std::string& name) const {
        const auto found = m_defines.find(name);
        return found == m_defines.end() ? nullptr : found->second;
    }

    int ElementBits(const ArrayDeclaration& declaration, std::size_t first,
                    std::size_t count) const {
        if (declaration.typeBits > 0)
            return declaration.typeBits;
        int bits = 8;
        for (std::size_t k = first; k < first + count; ++k)
            bits = std::max(
                {bits, declaration.values[k].digitBits, ValueBits(declaration.values[k].value)});
        return bits;
    }

    // The defines that name the array's size: NAME_width and NAME_height in
    // any case, NAME being the array's name or that name without a suffix
    // such as "_bits".
    bool StateFromDefines(const ArrayDeclaration& declaration, SourceArray& array,
                          Statement& statement) const {
        static constexpr std::string_view kSuffixes[] = {"",        "_bits", "_bmp",
                                                         "_bitmap", "_data", "_map"};
        const std::string name = Lowered(declaration.name);
        for (const std::string_view suffix : kSuffixes) {
            if (!name.ends_with(suffix) || name.size() == suffix.size())
                continue;
            const std::string base = name.substr(0, name.size() - suffix.size());
            const Define* width = FindDefine(base + "_width");
            const Define* height = FindDefine(base + "_height");
            if (width == nullptr || height == nullptr)
                continue;
            statement.source = SizeSource::Defines;
            statement.width = static_cast<int>(std::min<std::uint32_t>(width->value, 1 << 16));
            statement.height = static_cast<int>(std::min<std::uint32_t>(height->value, 1 << 16));
            // XBM's own spelling: lower-case "_width" and "_height".
            // XBM's own spelling, lower-case "_width" and "_height", means
            // XBM's bit order; any other spelling the display libraries'
            // rows, leftmost pixel high.
            statement.bXbm = statement.bXbm ||
                             (width->name.ends_with("_width") && height->name.ends_with("_height"));
            if (!statement.bXbm)
                statement.layout = PixelLayout::RowsMsbFirst;
            statement.bNoPages = true;
            array.companions.push_back({SizeCompanionKind::Width, width->span});
            array.companions.push_back({SizeCompanionKind::Height, height->span});
            return true;
        }
        return false;
    }

    const Descriptor* FindDescriptor(std::string_view name) const {
        for (const Descriptor& descriptor : m_scanner.Descriptors())
            if (descriptor.data == name && descriptor.bOneBit)
                return &descriptor;
        return nullptr;
    }

    SourceArray Read(const ArrayDeclaration& declaration) {
        SourceArray array;
        array.name = declaration.name;
        array.declaredName = declaration.name;
        const std::size_t total = declaration.values.size();
        array.elementBits = ElementBits(declaration, 0, total);
        if (declaration.count)
            array.companions.push_back({SizeCompanionKind::Count, *declaration.count});

        Statement statement;
        statement.bXbm = declaration.name.ends_with("_bits");
        std::size_t prefix = 0;
        const Descriptor* descriptor = FindDescriptor(declaration.name);
        if (descriptor != nullptr && descriptor->width && descriptor->height && total > 8 &&
            array.elementBits == 8) {
            // A palette of two four-byte colours, blue, green, red, alpha.
            statement.source = SizeSource::Descriptor;
            statement.width =
                static_cast<int>(std::min<std::uint32_t>(descriptor->width->value, 1 << 16));
            statement.height =
                static_cast<int>(std::min<std::uint32_t>(descriptor->height->value, 1 << 16));
            statement.layout = PixelLayout::RowsMsbFirst;
            statement.bXbm = false;
            prefix = 8;
            auto lightness = [&](std::size_t at) {
                return declaration.values[at].value + declaration.values[at + 1].value +
                       declaration.values[at + 2].value;
            };
            array.bInverted = lightness(4) > lightness(0);
            array.companions.push_back({SizeCompanionKind::Width, descriptor->width->span});
            array.companions.push_back({SizeCompanionKind::Height, descriptor->height->span});
            if (descriptor->dataSize)
                array.companions.push_back(
                    {SizeCompanionKind::DataSize, descriptor->dataSize->span});
        } else if (!StateFromDefines(declaration, array, statement) && total > 2 &&
                   array.elementBits == 8) {
            // Leading width and height bytes count the values after them.
            const std::uint32_t width = declaration.values[0].value;
            const std::uint32_t height = declaration.values[1].value;
            const std::size_t rest = total - 2;
            const bool bRows = width > 0 && height > 0 && (width + 7) / 8 * height == rest;
            const bool bPages = width > 0 && height > 0 && width * ((height + 7) / 8) == rest;
            if (bRows || bPages) {
                statement.source = SizeSource::LeadingBytes;
                statement.width = static_cast<int>(width);
                statement.height = static_cast<int>(height);
                statement.bNoPages = !bPages;
                if (!bRows)
                    statement.layout = PixelLayout::VerticalPages;
                prefix = 2;
                array.companions.push_back({SizeCompanionKind::Width, declaration.values[0].span});
                array.companions.push_back({SizeCompanionKind::Height, declaration.values[1].span});
            }
        }
        std::sort(array.companions.begin(), array.companions.end(),
                  [](const SizeCompanion& a, const SizeCompanion& b) {
                      return a.span.offset < b.span.offset;
                  });
        array.prefixCount = prefix;
        const TextSpan first = declaration.values[std::min(prefix, total - 1)].span;
        array.values = {first.offset, declaration.inside.End() - first.offset};
        if (prefix >= total)
            array.values = {declaration.inside.End(), 0};
        Finish(declaration, prefix, total - std::min(prefix, total), statement, array);
        return array;
    }

    void AddFrames(const ArrayDeclaration& declaration, std::vector<SourceArray>& arrays) {
        std::vector<ArrayDeclaration::Frame> frames = declaration.frames;
        if (frames.empty() && declaration.innerCount > 0) {
            // A flat list: each frame is the next run of values.
            const std::size_t inner = declaration.innerCount;
            for (std::size_t first = 0; first + inner <= declaration.values.size();
                 first += inner) {
                const TextSpan from = declaration.values[first].span;
                const TextSpan to = declaration.values[first + inner - 1].span;
                frames.push_back({first, inner, {from.offset, to.End() - from.offset}});
            }
        }
        for (std::size_t k = 0; k < frames.size(); ++k) {
            const ArrayDeclaration::Frame& frame = frames[k];
            SourceArray array;
            array.declaredName = declaration.name;
            array.name = std::string(declaration.name) + "[" + std::to_string(k) + "]";
            array.nFrame = static_cast<int>(k);
            array.values = frame.span;
            array.elementBits = ElementBits(declaration, frame.first, frame.count);
            Statement statement;
            statement.bXbm = declaration.name.ends_with("_bits");
            StateFromDefines(declaration, array, statement);
            Finish(declaration, frame.first, frame.count, statement, array);
            arrays.push_back(std::move(array));
        }
    }

    // Reads the elements from `first` on as the statement says.
    void Finish(const ArrayDeclaration& declaration, std::size_t first, std::size_t count,
                const Statement& statement, SourceArray& array) {
        array.source = statement.source;
        array.elements.reserve(count);
        for (std::size_t k = first; k < first + count; ++k)
            array.elements.push_back(declaration.values[k].value);
        array.width = statement.width.value_or(0);
        array.height = statement.height.value_or(0);
        if (count == 0) {
            array.problem = "It holds no pixel values.";
            return;
        }
        if (array.width == 0 && array.elementBits > 8) {
            array.width = array.elementBits;
            array.height = static_cast<int>(std::min<std::size_t>(count, 1 << 16));
        }
        array.problem = SizeProblem(array.width, array.height);
        if (!array.problem.empty())
            return;
        const std::size_t limit = array.elementBits > 8 ? kMaxSpriteRows : kMaxSpriteBytes;
        if (count > limit) {
            array.problem = "It holds " + std::to_string(count) +
                            " values; the largest sprite, 32 x 16, takes " + std::to_string(limit) +
                            ".";
            return;
        }
        array.readings = Candidates(array.elements, array.elementBits, statement);
        if (statement.source == SizeSource::Open && OwnLine(declaration)) {
            array.source = SizeSource::OwnLine;
            array.readings.resize(std::min<std::size_t>(array.readings.size(), 1));
        }
        if (array.readings.empty()) {
            array.problem = statement.width && statement.height
                                ? "Its size, " + std::to_string(array.width) + " x " +
                                      std::to_string(array.height) + ", does not fit its " +
                                      std::to_string(count) + " values."
                                : "No sprite shape holds its " + std::to_string(count) + " values.";
            return;
        }
        if (array.bInverted)
            for (SpriteReading& reading : array.readings)
                for (std::uint32_t& pixel : reading.pixels)
                    pixel ^= 1u;
        if (array.width == 0 || array.height == 0) {
            array.width = array.readings.front().width;
            array.height = array.readings.front().height;
        }
    }

    // Whether the declaration is Glimmet's own line, which reads one way.
    bool OwnLine(const ArrayDeclaration& declaration) const {
        const std::size_t end = m_strText.find(';', declaration.end);
        if (end == std::string_view::npos || end - declaration.start > 512)
            return false;
        return ReadSpriteArray(m_strText.substr(declaration.start, end + 1 - declaration.start))
            .bExact;
    }

    std::string_view m_strText;
    CScanner& m_scanner;
    std::unordered_map<std::string, const Define*> m_defines;
};

bool IsTextByte(unsigned char c) {
    return c >= 0x20 || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// ---------------------------------------------------------------------------
// Writing

std::string Rewritten(std::string_view text, const TextSpan& span, std::uint32_t value) {
    LiteralForm form;
    if (!ReadLiteral(text.substr(span.offset, span.length), &form))
        form = {LiteralKind::Decimal, "", "", false, 0};
    form.nDigits = std::min(form.nDigits, 0);
    return WriteLiteral(value, form);
}

std::string_view LineBreakOf(std::string_view text) {
    return text.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
}

std::string WithLineBreaks(std::string_view text, std::string_view lineBreak) {
    std::string out;
    for (const char c : text) {
        if (c == '\r')
            continue;
        if (c == '\n')
            out += lineBreak;
        else
            out += c;
    }
    return out;
}

} // namespace

std::string SourceFileErrorMessage(SourceFileError error, std::string_view fileName) {
    const std::string name(fileName);
    switch (error) {
    case SourceFileError::TooLarge:
        return name + " is larger than 16 MiB, too large to open as C source.";
    case SourceFileError::NotText:
        return name + " is not a text file.";
    case SourceFileError::NoArray:
        return name + " holds no array of numbers to draw.";
    }
    return name + " cannot be opened.";
}

SourceFileReading ReadSourceFile(std::string_view text) {
    SourceFileReading reading;
    if (text.size() > kMaxSourceFileBytes) {
        reading.error = SourceFileError::TooLarge;
        return reading;
    }
    if (!std::all_of(text.begin(), text.end(),
                     [](char c) { return IsTextByte(static_cast<unsigned char>(c)); })) {
        reading.error = SourceFileError::NotText;
        return reading;
    }
    CScanner scanner(text);
    scanner.Scan();
    reading.arrays = CReader(text, scanner).Arrays();
    if (reading.arrays.empty())
        reading.error = SourceFileError::NoArray;
    return reading;
}

SourceRewrite RewriteArray(std::string_view text, const SourceArray& array, std::size_t nReading,
                           const SpriteReading& sprite) {
    SourceRewrite rewrite;
    if (nReading >= array.readings.size() || array.values.End() > text.size()) {
        rewrite.error =
            array.problem.empty() ? "The sprite was not read from this array." : array.problem;
        return rewrite;
    }
    const SpriteReading& old = array.readings[nReading];
    const int bits = array.elementBits;
    const bool bWidth = sprite.width == 8 || sprite.width == 16 || sprite.width == 32;
    if (!bWidth || sprite.height < kMinSpriteHeight || sprite.height > kMaxSpriteHeight ||
        sprite.pixels.size() != static_cast<std::size_t>(sprite.width * sprite.height) ||
        sprite.layout != old.layout) {
        rewrite.error = "The sprite does not fit a width of 8, 16 or 32 and 1 to 16 rows.";
        return rewrite;
    }
    const bool bResized = sprite.width != old.width || sprite.height != old.height;
    if (bResized && array.nFrame >= 0) {
        rewrite.error = "Every frame of " + array.declaredName + " is " +
                        std::to_string(old.width) + " x " + std::to_string(old.height) +
                        "; a frame keeps that size.";
        return rewrite;
    }
    if (bits > 8 && sprite.width != bits && old.layout != PixelLayout::VerticalPages) {
        rewrite.error = "The elements of " + array.declaredName + " hold rows " +
                        std::to_string(bits) + " pixels wide; the width stays " +
                        std::to_string(bits) + ".";
        return rewrite;
    }
    std::vector<std::uint32_t> stored = sprite.pixels;
    if (array.bInverted)
        for (std::uint32_t& pixel : stored)
            pixel = pixel != 0 ? 0u : 1u;
    const std::vector<std::uint32_t> elements =
        PackPixels(stored, bits, sprite.layout, sprite.width, sprite.height);
    const bool bRows = sprite.layout != PixelLayout::VerticalPages;
    ValuesEdit edit;
    edit.elements = elements;
    edit.oldPerRow = bRows ? static_cast<std::size_t>(old.width / bits) : 0;
    edit.newPerRow = bRows ? static_cast<std::size_t>(sprite.width / bits) : 0;
    edit.oldWidth = old.width;
    edit.newWidth = sprite.width;
    edit.oldPixels = old.pixels;
    edit.newPixels = sprite.pixels;
    const std::string_view values = text.substr(array.values.offset, array.values.length);
    const std::optional<std::string> written = RewriteValues(values, edit);
    if (!written) {
        rewrite.error = "The values of " + array.name +
                        " are not laid out as a plain list, so only a drawing of the same size "
                        "can be written into them.";
        return rewrite;
    }
    std::vector<SourceEdit> edits;
    if (*written != values)
        edits.push_back({array.values, *written});
    const std::size_t count = array.prefixCount + elements.size();
    for (const SizeCompanion& companion : array.companions) {
        std::uint32_t value = 0;
        switch (companion.kind) {
        case SizeCompanionKind::Width:
            value = static_cast<std::uint32_t>(sprite.width);
            break;
        case SizeCompanionKind::Height:
            value = static_cast<std::uint32_t>(sprite.height);
            break;
        case SizeCompanionKind::Count:
        case SizeCompanionKind::DataSize:
            value = static_cast<std::uint32_t>(count * static_cast<std::size_t>(bits / 8));
            if (companion.kind == SizeCompanionKind::Count)
                value = static_cast<std::uint32_t>(count);
            break;
        }
        if (companion.span.End() > text.size())
            continue;
        const std::string_view current = text.substr(companion.span.offset, companion.span.length);
        if (ReadLiteral(current) == value)
            continue;
        edits.push_back({companion.span, Rewritten(text, companion.span, value)});
    }
    std::sort(edits.begin(), edits.end(), [](const SourceEdit& a, const SourceEdit& b) {
        return a.span.offset < b.span.offset;
    });
    for (std::size_t k = 1; k < edits.size(); ++k) {
        if (edits[k].span.offset < edits[k - 1].span.End()) {
            rewrite.error = "The size of " + array.name + " is written inside its own values.";
            return rewrite;
        }
    }
    rewrite.edits = std::move(edits);
    return rewrite;
}

std::string ApplyEdits(std::string_view text, std::span<const SourceEdit> edits) {
    std::string out;
    std::size_t growth = 0;
    for (const SourceEdit& edit : edits)
        growth += edit.text.size();
    out.reserve(text.size() + growth);
    std::size_t copied = 0;
    for (const SourceEdit& edit : edits) {
        const std::size_t offset = std::clamp(edit.span.offset, copied, text.size());
        out.append(text.substr(copied, offset - copied));
        out += edit.text;
        copied = std::min(std::max(edit.span.End(), offset), text.size());
    }
    out.append(text.substr(copied));
    return out;
}

std::string NewHeaderText(std::string_view fileName, std::string_view spriteName, int width,
                          int height, std::string_view declaration, bool bSizeDefines) {
    // The guard is the file's base name as an upper-case identifier.
    std::string_view base = fileName.substr(fileName.find_last_of("/\\") + 1);
    std::string guard = MakeIdentifier(base);
    std::transform(guard.begin(), guard.end(), guard.begin(), [](char c) {
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    });
    if (!guard.ends_with("_H"))
        guard += "_H";
    std::string text = "#ifndef " + guard + "\n#define " + guard + "\n\n";
    if (bSizeDefines) {
        const std::string name = MakeIdentifier(spriteName);
        text += "#define " + name + "_width " + std::to_string(width) + "\n";
        text += "#define " + name + "_height " + std::to_string(height) + "\n\n";
    }
    text += declaration;
    if (!declaration.ends_with('\n'))
        text += '\n';
    return text + "\n#endif\n";
}

std::string AppendDeclaration(std::string_view text, std::string_view declaration) {
    const std::string_view lineBreak = LineBreakOf(text);
    std::string added = WithLineBreaks(declaration, lineBreak);
    if (!added.ends_with(lineBreak))
        added += lineBreak;

    // An include guard: the first directive is #ifndef NAME, the next
    // #define NAME, and the last directive #endif with nothing after it but
    // blanks and comments.
    std::size_t endif = std::string_view::npos;
    bool bGuarded = false;
    {
        std::size_t at = 0;
        std::vector<std::string_view> directives;
        std::vector<std::size_t> starts;
        bool bOutside = true; // code outside directives seen after the last one
        while (at < text.size()) {
            std::size_t lineEnd = text.find('\n', at);
            if (lineEnd == std::string_view::npos)
                lineEnd = text.size();
            std::string_view line = text.substr(at, lineEnd - at);
            std::size_t first = line.find_first_not_of(" \t");
            if (first != std::string_view::npos && line[first] == '#') {
                directives.push_back(line.substr(first));
                starts.push_back(at);
                bOutside = false;
            } else if (first != std::string_view::npos &&
                       line.substr(first).find_first_not_of(" \t\r") != std::string_view::npos &&
                       !line.substr(first).starts_with("//") &&
                       !line.substr(first).starts_with("/*") &&
                       !line.substr(first).starts_with("*")) {
                bOutside = true;
            }
            at = lineEnd + 1;
        }
        auto words = [](std::string_view directive) {
            std::vector<std::string_view> result;
            directive.remove_prefix(1);
            for (std::size_t k = 0; k < directive.size() && result.size() < 3;) {
                while (k < directive.size() &&
                       (directive[k] == ' ' || directive[k] == '\t' || directive[k] == '\r'))
                    ++k;
                const std::size_t start = k;
                while (k < directive.size() && IsWordChar(directive[k]))
                    ++k;
                if (k == start)
                    break;
                result.push_back(directive.substr(start, k - start));
            }
            return result;
        };
        if (directives.size() >= 3 && !bOutside) {
            const auto open = words(directives[0]);
            const auto define = words(directives[1]);
            const auto close = words(directives.back());
            bGuarded = open.size() >= 2 && open[0] == "ifndef" && define.size() >= 2 &&
                       define[0] == "define" && define[1] == open[1] && !close.empty() &&
                       close[0] == "endif";
            if (bGuarded)
                endif = starts.back();
        }
    }
    std::string out;
    if (bGuarded) {
        out.append(text.substr(0, endif));
        out += added;
        out += lineBreak;
        out.append(text.substr(endif));
        return out;
    }
    out = text;
    if (!out.empty() && !out.ends_with('\n'))
        out += lineBreak;
    if (!out.empty())
        out += lineBreak;
    return out + added;
}

std::optional<SourceFileError> CSourceFile::Load(std::string text) {
    SourceFileReading reading = ReadSourceFile(text);
    if (reading.error)
        return reading.error;
    m_strText = std::move(text);
    m_arrays = std::move(reading.arrays);
    return std::nullopt;
}

std::optional<std::size_t> CSourceFile::Find(std::string_view name) const {
    for (std::size_t k = 0; k < m_arrays.size(); ++k)
        if (m_arrays[k].name == name)
            return k;
    return std::nullopt;
}

std::optional<std::string> CSourceFile::Store(std::size_t nArray, std::size_t nReading,
                                              const SpriteReading& sprite) {
    if (nArray >= m_arrays.size())
        return "The file has no such array.";
    const SourceRewrite rewrite = RewriteArray(m_strText, m_arrays[nArray], nReading, sprite);
    if (!rewrite.error.empty())
        return rewrite.error;
    std::string text = ApplyEdits(m_strText, rewrite.edits);
    SourceFileReading reading = ReadSourceFile(text);
    if (reading.error)
        return "The new text could not be read back.";
    m_strText = std::move(text);
    m_arrays = std::move(reading.arrays);
    return std::nullopt;
}
