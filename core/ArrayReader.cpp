#include "ArrayReader.h"

#include "CDeclaration.h"
#include "CTokenizer.h"
#include "SourceEmitter.h"
#include "SpriteRaster.h"
#include "TextBlanks.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// The most elements a list may hold: a 32 x 16 sprite in bytes.
constexpr std::size_t kMaxListBytes = kMaxSpriteColumns / 8 * kMaxSpriteRows;
// A list of 16- or 32-bit elements holds one row per element.
constexpr std::size_t kMaxListRows = kMaxSpriteRows;
// Declared sizes beyond a sprite's must still read as too many.
static_assert(kMaxHeldArraySize > kMaxListBytes);
// Tokens longer than this are shown cut short in messages.
constexpr std::size_t kMaxShownToken = 40;

constexpr std::uint64_t kMax32 = 0xFFFFFFFFu;

bool IsControl(char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}

// The value of a digit as the default style writes hex, upper case, or -1.
int UpperHexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The narrowest element size, 8, 16 or 32 bits, that holds `value`.
int BitsForValue(std::uint64_t value) {
    return value <= 0xFF ? 8 : value <= 0xFFFF ? 16 : 32;
}

// ---------------------------------------------------------------------------
// Messages

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

ArrayReadError LexError(const Token& token) {
    return MakeError(token.text == "/*" ? "The comment opened here is never closed."
                                        : "The string opened here is never closed.",
                     token);
}

// Binary constants as one popular embedded platform spells them: B0 to
// B11111111.
bool IsBLiteral(std::string_view word) {
    return word.size() >= 2 && word.size() <= 9 && word[0] == 'B' &&
           word.find_first_not_of("01", 1) == std::string_view::npos;
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
    CInteger number;
    if (token.kind == TokenKind::Word && IsBLiteral(token.text)) {
        ReadCDigits(token.text.substr(1), 2, number.value);
        number.digitBits = 8;
    } else if (token.kind != TokenKind::Number) {
        return MakeError("Expected a number, found " + Quoted(token) + ".", token);
    } else {
        std::string_view problem;
        const std::optional<CInteger> read = ReadCInteger(token.text, problem);
        if (!read)
            return MakeError("The number " + Quoted(token) + " " + std::string(problem) + ".",
                             token);
        number = *read;
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
ListReading ReadList(CTokenizer& tokens, const Token& first, const ArrayDeclaration& declaration) {
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

    std::array<Token, kMaxArrayDimensions> opened{first};
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
            if (depth == kMaxArrayDimensions)
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

bool Consume(std::string_view& text, std::string_view prefix) {
    if (!text.starts_with(prefix))
        return false;
    text.remove_prefix(prefix.size());
    return true;
}

// Moves `text` past blanks that hold a line break, as a mail or chat window
// puts into a long line; blanks with no line break are left, as they are
// not how Glimmet's line is written.
void SkipLineBreak(std::string_view& text) {
    std::string_view rest = text;
    bool bBreak = false;
    for (;;) {
        if (!rest.empty() && IsCBlank(rest.front())) {
            bBreak = bBreak || rest.front() == '\n' || rest.front() == '\r';
            rest.remove_prefix(1);
        } else if (const std::size_t blank = UnicodeBlankBytes(rest)) {
            rest.remove_prefix(blank);
        } else {
            break;
        }
    }
    if (bBreak)
        text = rest;
}

// Moves `text` past the end of its first line: blanks and a "//" comment up
// to a line break or the end. False when anything else stands there.
bool SkipLineEnd(std::string_view& text) {
    while (!text.empty() && IsSpaceOrTab(text.front()))
        text.remove_prefix(1);
    if (text.starts_with("//"))
        text.remove_prefix(std::min(text.find_first_of("\r\n"), text.size()));
    return text.empty() || text.front() == '\n' || text.front() == '\r';
}

struct OwnLine {
    std::string_view name;
    int width = 0;
    std::vector<std::uint32_t> rows;
};

// Reads one of Glimmet's own lines at the start of `text` (which has no
// blanks before it) and moves `text` past the line's end. The name is
// whatever stands before the first "[] = {", as the editor writes names
// verbatim; it never holds a control character, so one there means the text
// is something else. The line may be broken between its values and end in a
// comment.
std::optional<OwnLine> ParseOwnLine(std::string_view& text) {
    for (int width = 8; width <= kMaxSpriteColumns; width *= 2) {
        std::string_view rest = text;
        if (!Consume(rest, ElementType(width)))
            continue;
        const std::size_t open = rest.find("[] = {");
        OwnLine line{rest.substr(0, open), width, {}};
        if (open == std::string_view::npos ||
            std::any_of(line.name.begin(), line.name.end(), IsControl))
            return std::nullopt;
        rest.remove_prefix(open + 6);
        const auto digits = static_cast<std::size_t>(width / 4);
        do {
            SkipLineBreak(rest);
            if (line.rows.size() == kMaxListRows || !Consume(rest, "0x") || rest.size() < digits)
                return std::nullopt;
            std::uint32_t row = 0;
            for (const char c : rest.substr(0, digits)) {
                if (UpperHexValue(c) < 0)
                    return std::nullopt;
                row = (row << 4) | static_cast<std::uint32_t>(UpperHexValue(c));
            }
            line.rows.push_back(row);
            rest.remove_prefix(digits);
            SkipLineBreak(rest);
        } while (Consume(rest, ","));
        if (!Consume(rest, "};") || !SkipLineEnd(rest))
            return std::nullopt;
        text = rest;
        return line;
    }
    return std::nullopt;
}

// Whether the XBM style writes the same text as `line` for another sprite.
// It writes bytes in lower case joined by ", ", so only a single byte can
// match, and only when its digits hold no letter and its bits do not read
// the same both ways round.
bool XbmWritesTheSameText(const OwnLine& line) {
    if (line.width != 8 || line.rows.size() != 1)
        return false;
    const std::uint32_t byte = line.rows[0];
    std::uint32_t mirrored = 0;
    for (int bit = 0; bit < 8; ++bit)
        mirrored |= ((byte >> bit) & 1u) << (7 - bit);
    return (byte >> 4) <= 9 && (byte & 0xF) <= 9 && mirrored != byte;
}

// Glimmet's own line is read by its exact shape rather than by the general
// reader: its element type says the width for certain, so it comes back as
// the very sprite it was made from, with no choice to offer, unless another
// style could have written the same text, which then offers both. Later
// lines may hold more code; their arrays, Glimmet's lines among them, are
// counted for the notice.
std::optional<ArrayReadResult> ReadOwnLine(std::string_view text) {
    text = TrimBlanks(text);
    const std::optional<OwnLine> line = ParseOwnLine(text);
    if (!line)
        return std::nullopt;
    int arrays = 1;
    for (text = TrimBlanks(text); ParseOwnLine(text); text = TrimBlanks(text))
        ++arrays;
    CTokenizer following(text);
    std::optional<Token> failure;
    while (NextArrayDeclaration(following, failure))
        ++arrays;
    if (failure)
        return std::nullopt;

    ArrayReadResult result;
    result.name = line->name;
    result.bExact = !XbmWritesTheSameText(*line);
    result.readings.push_back(
        RowsReading(line->rows, line->width, line->width, PixelLayout::RowsMsbFirst));
    if (!result.bExact)
        result.readings.push_back(
            RowsReading(line->rows, line->width, line->width, PixelLayout::RowsLsbFirst));
    result.notice = NoticeForArrays(arrays, result.name);
    return result;
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
    std::optional<ArrayDeclaration> declaration;
    std::optional<Token> failure;
    if (first.kind == TokenKind::Error) {
        failure = first;
    } else if (first.Is('{') || first.kind == TokenKind::Number) {
        declaration.emplace().open = first;
        tokens = afterFirst;
    } else {
        declaration = NextArrayDeclaration(tokens, failure);
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
    while (NextArrayDeclaration(tokens, failure))
        ++arrays;
    if (failure)
        return Failed(LexError(*failure));

    std::vector<std::uint32_t> elements;
    elements.reserve(list.values.size());
    for (const ListValue& value : list.values)
        elements.push_back(value.value);
    ArrayReadResult result;
    result.readings = AllReadings(elements, list.elementBits);
    if (result.readings.empty())
        return Failed(
            MakeError("No sprite shape holds " + std::to_string(elements.size()) + " bytes.",
                      declaration->open));
    result.name = declaration->name;
    result.notice = NoticeForArrays(arrays, result.name);
    return result;
}
