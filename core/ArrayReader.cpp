#include "ArrayReader.h"

#include "ArrayReaderPython.h"
#include "ArrayReaderRanking.h"
#include "CDeclaration.h"
#include "CTokenizer.h"
#include "SourceEmitter.h"
#include "SourceLayout.h"
#include "SpriteRaster.h"
#include "TextBlanks.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace {

// The most elements a list may hold: a 32 x 16 sprite in bytes, and two
// more when the first two state its width and height.
constexpr std::size_t kMaxListBytes = kMaxSpriteColumns / 8 * kMaxSpriteRows;
constexpr std::size_t kLeadingSizeValues = 2;
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

// Built by appending: `"\"" + Shown(token)` inserts at the front of a
// temporary, where GCC 12 at -O3 warns of an overlap that cannot happen.
std::string Quoted(const Token& token) {
    std::string quoted = "\"";
    quoted += Shown(token);
    quoted += '"';
    return quoted;
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

// Whether the first two values could be a width and a height that lead
// the pixels.
bool MayLeadWithSize(const std::vector<ListValue>& values) {
    return values.size() > kLeadingSizeValues && values[0].value >= 1 &&
           values[0].value <= static_cast<std::uint32_t>(kMaxSpriteColumns) &&
           values[1].value >= 1 && values[1].value <= static_cast<std::uint32_t>(kMaxSpriteRows);
}

// Whether the first two values are a width and a height whose pixels the
// rest of the list holds in one of the table's byte layouts.
bool LeadsWithSize(const std::vector<ListValue>& values) {
    if (!MayLeadWithSize(values))
        return false;
    std::vector<std::uint32_t> pixels;
    for (std::size_t k = kLeadingSizeValues; k < values.size(); ++k)
        pixels.push_back(values[k].value);
    return std::any_of(Layouts().begin(), Layouts().end(), [&](const LayoutForm& layout) {
        return layout.valueBits == 8 && layout.read(pixels, static_cast<int>(values[0].value),
                                                    static_cast<int>(values[1].value));
    });
}

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
    const std::size_t limit =
        declaration.typeBits > 8 ? kMaxListRows : kMaxListBytes + kLeadingSizeValues;
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
            if (values.size() == limit ||
                (limit > kMaxListBytes && values.size() == kMaxListBytes &&
                 !MayLeadWithSize(values)))
                return fail(TooManyMessage(std::min(limit, kMaxListBytes)), token);
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
        return fail(TooManyMessage(std::min(limit, kMaxListBytes)), declaration.sizeToken);
    if (values.empty())
        return fail("The list is empty.", first);
    if (values.size() > kMaxListBytes && !LeadsWithSize(values))
        return fail(TooManyMessage(kMaxListBytes), values[kMaxListBytes].token);

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

// ---------------------------------------------------------------------------
// What the text says beyond the values

// A size the text states: by #define companions, a FrameBuffer, a drawing
// call or two values leading the list. `skip` values lead the pixels. A
// certain size is the only one offered.
struct StatedSize {
    int width = 0;
    int height = 0;
    std::size_t skip = 0;
    bool bCertain = false;
    CodeSize companion = CodeSize::None; // the companion of Glimmet's that states it
};

struct ListText {
    std::string name;
    std::vector<std::uint32_t> values;
    int elementBits = 8;
    std::vector<StatedSize> sizes;
    const LayoutForm* certainLayout = nullptr;    // a FrameBuffer format, XBM's own companions
    std::vector<const LayoutForm*> hintedLayouts; // a drawing call's name, a layout's mark
    std::size_t declaredRows = 0;                 // A of [A][B]
    std::size_t declaredRowLength = 0;            // B of [A][B]
    bool bOwnLine = false;
    std::size_t anchor = 0; // where the values start in the text
};

// The points a reading gets for each kind of evidence: a stated size counts
// for more than a layout that a name suggests, which counts for more than the
// shape of a two-dimensional array.
constexpr int kStatedSizePoints = 4;
constexpr int kHintedLayoutPoints = 2;
constexpr int kDeclaredShapePoints = 1;

// The text with its blanks as a clipboard or mail window may change them:
// blanks holding a line break, and zero-width ones, dropped; any other run
// of blanks as one space. Glimmet's forms and a paste of them compare equal
// this way, while the bare commas of one form and the ", " of another stay
// apart.
std::string Normalized(std::string_view text) {
    std::string normal;
    normal.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        bool bBlank = false;
        bool bBreak = false;
        bool bVisible = false;
        for (;;) {
            if (at < text.size() && IsCBlank(text[at])) {
                bBreak = bBreak || text[at] == '\n' || text[at] == '\r';
                bVisible = true;
                ++at;
            } else if (const std::size_t blank = UnicodeBlankBytes(text.substr(at))) {
                const std::string_view bytes = text.substr(at, blank);
                bVisible = bVisible || (bytes != "\xE2\x80\x8B" && bytes != "\xEF\xBB\xBF");
                at += blank;
            } else {
                break;
            }
            bBlank = true;
        }
        if (bBlank && !bBreak && bVisible)
            normal += ' ';
        if (at < text.size())
            normal += text[at++];
    }
    return normal;
}

// How one of Glimmet's forms writes a text for a sprite: not at all, under
// the name as it stands, or with its layout's mark on the name (the sprite
// being named by the rest).
enum class Written { No, Plain, Marked };

// The name a form is given to write the array named `name`: the name
// without the layout's mark where the form adds it, none where the name
// lacks the mark the form would add.
std::optional<std::string_view> NameWrittenBy(const CodeForm& form, std::string_view name) {
    const std::string_view mark = WrittenLayout(form).sizedNameSuffix;
    if (EffectiveSize(form) == CodeSize::None || mark.empty())
        return name;
    if (name.size() <= mark.size() || !name.ends_with(mark))
        return std::nullopt;
    return name.substr(0, name.size() - mark.size());
}

// Whether one of Glimmet's forms writes `normalText`, or a part of it, for
// the reading's sprite under the list's name, marked or plain. A language
// that takes a size companion is tried with the companion the text has, as
// the declaration alone is a part of the text with its companions.
Written WrittenByAForm(const SpriteReading& sprite, std::string_view name, CodeSize companion,
                       std::string_view normalText) {
    if (name.empty())
        return Written::No;
    const SpriteBits bits{sprite.width, sprite.height, sprite.pixels};
    Written found = Written::No;
    for (const LayoutForm& layout : Layouts()) {
        for (const LanguageForm& language : Languages()) {
            for (const SizeForm& size : Sizes()) {
                const CodeForm form{layout.style, language.language, size.size};
                if (EffectiveSize(form) != size.size ||
                    (language.takesSize && size.size != companion))
                    continue;
                const std::optional<std::string_view> written = NameWrittenBy(form, name);
                if (!written || written->empty() ||
                    normalText.find(Normalized(EmitCode(form, *written, bits))) ==
                        std::string_view::npos)
                    continue;
                if (written->size() != name.size())
                    return Written::Marked;
                found = Written::Plain;
            }
        }
    }
    return found;
}

// The part of `text` around `anchor` that holds any form Glimmet writes
// whose values start there, with room for its name thrice: the companions
// before, the name, and a FrameBuffer line after.
std::string_view AroundAnchor(std::string_view text, std::size_t anchor, std::size_t nameSize) {
    constexpr std::size_t kBefore = 256;
    constexpr std::size_t kAfter = 1024;
    const std::size_t from = anchor > kBefore + 3 * nameSize ? anchor - kBefore - 3 * nameSize : 0;
    return text.substr(std::min(from, text.size()), kBefore + kAfter + 6 * nameSize);
}

bool SamePicture(const SpriteReading& a, const SpriteReading& b) {
    return a.width == b.width && a.height == b.height && a.pixels == b.pixels;
}

// The readings at a stated size: each layout whose values are as wide as the
// list's elements, then, where each element is a row, the grouped readings.
void AddStatedReadings(const ListText& list, const StatedSize& size, int points,
                       std::vector<RankedReading>& readings) {
    if (size.skip >= list.values.size())
        return;
    const std::span<const std::uint32_t> values =
        std::span<const std::uint32_t>(list.values).subspan(size.skip);
    auto add = [&readings, points](SpriteReading reading, const LayoutForm* form) {
        for (const RankedReading& earlier : readings)
            if (SameReading(earlier.reading.reading, reading))
                return;
        readings.push_back({{std::move(reading), form}, points});
    };
    // A layout the text names is read alone, so that another layout giving
    // the same picture under another label cannot stand in for it.
    const bool bNamed = size.bCertain && list.certainLayout != nullptr &&
                        list.certainLayout->read(values, size.width, size.height);
    for (const LayoutForm& layout : Layouts()) {
        if (ValueBitsAt(layout, size.width) != list.elementBits ||
            (bNamed && &layout != list.certainLayout))
            continue;
        if (std::optional<SpriteReading> reading =
                ReadThroughLayout(layout, values, size.width, size.height))
            add(std::move(*reading), &layout);
    }
    if (size.width == list.elementBits && std::cmp_equal(values.size(), size.height))
        for (SpriteReading& reading : GroupedReadings(values, list.elementBits))
            add(std::move(reading), nullptr);
}

// Whether a reading has the shape of the list's [A][B] declaration: A lines
// of B bytes, a line being what the layout takes for one row (a row of
// bytes, or a page of columns).
bool HasDeclaredShape(const ListText& list, const SpriteReading& reading) {
    if (list.declaredRowLength == 0 || list.elementBits != 8)
        return false;
    const std::size_t line = ElementCount(reading.layout, 8, reading.width, 1);
    return line == list.declaredRowLength &&
           line * list.declaredRows ==
               ElementCount(reading.layout, 8, reading.width, reading.height);
}

// The readings of a list and whether one of them is certain. A text one of
// Glimmet's forms writes for just one sprite is that sprite; one that forms
// write for several sprites offers those. A text whose size and layout are
// both stated is read at once. Any other list offers every reading, ranked.
ArrayReadResult ReadingsOf(const ListText& list, std::string_view text) {
    text = AroundAnchor(text, list.anchor, list.name.size());
    std::vector<RankedReading> readings;
    CodeSize companion = CodeSize::None;
    for (const StatedSize& size : list.sizes) {
        if (size.bCertain && readings.empty()) {
            AddStatedReadings(list, size, 0, readings);
            companion = size.companion;
        }
    }
    const bool bSizeCertain = !readings.empty();
    if (!bSizeCertain) {
        for (const StatedSize& size : list.sizes)
            AddStatedReadings(list, size, kStatedSizePoints, readings);
        for (LayoutReading& reading : LayoutReadings(list.values, list.elementBits)) {
            const bool bKnown =
                std::any_of(readings.begin(), readings.end(), [&reading](const RankedReading& r) {
                    return SameReading(r.reading.reading, reading.reading);
                });
            if (!bKnown)
                readings.push_back({std::move(reading), 0});
        }
    }
    if (list.certainLayout != nullptr &&
        std::any_of(readings.begin(), readings.end(), [&list](const RankedReading& r) {
            return r.reading.form == list.certainLayout;
        }))
        std::erase_if(readings, [&list](const RankedReading& r) {
            return r.reading.form != list.certainLayout;
        });

    ArrayReadResult result;
    result.name = list.name;
    if (readings.empty())
        return result;
    const std::string normalText = Normalized(text);
    // Readings that a form writes with its layout's mark on the name outrank
    // those written under the name as it stands: the mark is the one thing
    // that tells a sprite's XBM bytes from its mirror image's row bytes, or
    // pages from row bytes of the same count.
    std::vector<RankedReading> written;
    std::vector<RankedReading> marked;
    for (const RankedReading& reading : readings) {
        const Written by =
            WrittenByAForm(reading.reading.reading, list.name, companion, normalText);
        if (by == Written::Marked)
            marked.push_back(reading);
        if (by != Written::No)
            written.push_back(reading);
    }
    if (!marked.empty())
        written = std::move(marked);
    if (list.bOwnLine && written.empty())
        written.push_back(readings.front());
    const bool bWritten = !written.empty();
    if (bWritten)
        readings = std::move(written);

    const bool bOnePicture =
        std::all_of(readings.begin(), readings.end(), [&readings](const RankedReading& r) {
            return SamePicture(r.reading.reading, readings.front().reading.reading);
        });
    if (bOnePicture && (bSizeCertain || bWritten)) {
        result.bExact = true;
        result.readings.push_back(std::move(readings.front().reading.reading));
        return result;
    }
    for (RankedReading& reading : readings) {
        for (const LayoutForm* hinted : list.hintedLayouts)
            reading.evidence += reading.reading.form == hinted ? kHintedLayoutPoints : 0;
        reading.evidence +=
            HasDeclaredShape(list, reading.reading.reading) ? kDeclaredShapePoints : 0;
    }
    RankReadings(readings);
    for (RankedReading& reading : readings)
        result.readings.push_back(std::move(reading.reading.reading));
    return result;
}

// Glimmet's own line is read by its exact shape rather than by the general
// reader: its element type says the width for certain, so it comes back as
// the very sprite it was made from, with no choice to offer, unless another
// form writes the same text for another sprite, which then offers both.
// Later lines may hold more code; their arrays, Glimmet's lines among them,
// are counted for the notice.
std::optional<ArrayReadResult> ReadOwnLine(std::string_view text) {
    std::string_view rest = TrimBlanks(text);
    const std::string_view start = rest;
    const std::optional<OwnLine> line = ParseOwnLine(rest);
    if (!line)
        return std::nullopt;
    const std::string_view lineText = start.substr(0, start.size() - rest.size());
    int arrays = 1;
    for (rest = TrimBlanks(rest); ParseOwnLine(rest); rest = TrimBlanks(rest))
        ++arrays;
    CTokenizer following(rest);
    std::optional<Token> failure;
    while (NextArrayDeclaration(following, failure))
        ++arrays;
    if (failure)
        return std::nullopt;

    ListText list;
    list.name = line->name;
    list.values = line->rows;
    list.elementBits = line->width;
    list.sizes.push_back(
        {line->width, static_cast<int>(line->rows.size()), 0, true, CodeSize::None});
    list.bOwnLine = true;
    ArrayReadResult result = ReadingsOf(list, lineText);
    result.notice = NoticeForArrays(arrays, result.name);
    return result;
}

ArrayReadResult Failed(ArrayReadError error) {
    ArrayReadResult result;
    result.error = std::move(error);
    return result;
}

} // namespace

namespace {

// ---------------------------------------------------------------------------
// Evidence in C text

// Drawing calls whose name says the layout they read, compared without
// regard to case.
struct DrawingCall {
    std::string_view name;
    CodeStyle style;
};
constexpr DrawingCall kDrawingCalls[] = {
    {"drawbitmap", CodeStyle::RowBytes}, {"drawbitmapp", CodeStyle::RowBytes},
    {"drawxbitmap", CodeStyle::Xbm},     {"drawxbm", CodeStyle::Xbm},
    {"drawxbmp", CodeStyle::Xbm},        {"drawfastimage", CodeStyle::Pages},
};
// The most tokens of a drawing call's arguments looked at, and the most
// #defines kept, so that the scan stays linear in the text.
constexpr int kMaxCallTokens = 48;
constexpr std::size_t kMaxDefines = 256;

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [&lower](char x, char y) { return lower(x) == lower(y); });
}

std::optional<int> SmallNumber(const Token& token, int max) {
    std::string_view problem;
    if (token.kind != TokenKind::Number)
        return std::nullopt;
    const std::optional<CInteger> number = ReadCInteger(token.text, problem);
    if (!number || number->value < 1 || number->value > static_cast<std::uint64_t>(max))
        return std::nullopt;
    return static_cast<int>(number->value);
}

struct Define {
    std::string_view name;
    Token value;
};

// The arguments of a call, each as its tokens, from after its '('; none if
// the call does not close within the bound.
std::optional<std::vector<std::vector<Token>>> CallArguments(CTokenizer& tokens) {
    std::vector<std::vector<Token>> arguments(1);
    int depth = 0;
    for (int count = 0; count < kMaxCallTokens; ++count) {
        const Token token = tokens.Next();
        if (token.kind == TokenKind::End || token.kind == TokenKind::Error)
            return std::nullopt;
        if (token.Is(')') && depth == 0)
            return arguments;
        depth += token.Is('(') ? 1 : token.Is(')') ? -1 : 0;
        if (token.Is(',') && depth == 0)
            arguments.emplace_back();
        else
            arguments.back().push_back(token);
    }
    return std::nullopt;
}

// A drawing call that passes the list by its name: the layout its name
// reads, and the width and height written as numbers right after the name
// or right before it. Widths below a byte are not taken, as some calls pass
// the bytes per row there.
void ReadDrawingCall(const DrawingCall& call, std::vector<std::vector<Token>> arguments,
                     ListText& list) {
    for (std::size_t at = 0; at < arguments.size(); ++at) {
        if (arguments[at].size() != 1 || arguments[at][0].text != list.name)
            continue;
        list.hintedLayouts.push_back(&LayoutOf(call.style));
        auto size = [&arguments](std::size_t first) -> std::optional<StatedSize> {
            if (first + 1 >= arguments.size() || arguments[first].size() != 1 ||
                arguments[first + 1].size() != 1)
                return std::nullopt;
            const std::optional<int> width = SmallNumber(arguments[first][0], kMaxSpriteColumns);
            const std::optional<int> height = SmallNumber(arguments[first + 1][0], kMaxSpriteRows);
            if (!width || !height || *width < 8)
                return std::nullopt;
            return StatedSize{*width, *height, 0, false, CodeSize::None};
        };
        if (std::optional<StatedSize> after = size(at + 1))
            list.sizes.push_back(*after);
        else if (std::optional<StatedSize> before = at >= 2 ? size(at - 2) : std::nullopt)
            list.sizes.push_back(*before);
        return;
    }
}

// Reads what the C text says about the list named `list.name`: its #define
// companions (NAME_WIDTH and NAME_HEIGHT, or XBM's name_width and
// name_height with the list named name_bits, which also settles the
// layout), the drawing calls that pass it, and a name that ends with a
// layout's mark ("_bits", "_pages").
void ReadCEvidence(std::string_view text, ListText& list) {
    if (list.name.empty())
        return;
    std::vector<Define> defines;
    CTokenizer tokens(text);
    tokens.KeepDirectives(true);
    for (Token token = tokens.Next();
         token.kind != TokenKind::End && token.kind != TokenKind::Error; token = tokens.Next()) {
        if (token.Is('#')) {
            const Token directive = tokens.Next();
            if (directive.text != "define" || directive.line != token.line)
                continue;
            const Token name = tokens.Next();
            const Token value = tokens.Next();
            if (name.kind == TokenKind::Word && value.line == token.line &&
                defines.size() < kMaxDefines)
                defines.push_back({name.text, value});
            continue;
        }
        if (token.kind != TokenKind::Word)
            continue;
        for (const DrawingCall& call : kDrawingCalls) {
            if (!EqualsIgnoringCase(token.text, call.name))
                continue;
            CTokenizer ahead = tokens;
            if (!ahead.Next().Is('('))
                break;
            if (std::optional<std::vector<std::vector<Token>>> arguments = CallArguments(ahead)) {
                ReadDrawingCall(call, std::move(*arguments), list);
                tokens = ahead;
            }
            break;
        }
    }

    // A name that ends with a layout's mark suggests that layout; the
    // companions then name the sprite by the rest.
    const std::string_view name = list.name;
    std::string_view stem = name;
    for (const LayoutForm& layout : Layouts()) {
        const std::string_view mark = layout.sizedNameSuffix;
        if (!mark.empty() && name.size() > mark.size() && name.ends_with(mark)) {
            list.hintedLayouts.push_back(&layout);
            stem = name.substr(0, name.size() - mark.size());
        }
    }
    const bool bBitsName = stem.size() != name.size() && name.ends_with("_bits");
    for (const std::string_view prefix : {name, stem}) {
        std::optional<int> width;
        std::optional<int> height;
        bool bXbmSpelling = bBitsName && prefix == stem;
        for (const Define& define : defines) {
            const std::string_view d = define.name;
            if (d.size() <= prefix.size() ||
                !EqualsIgnoringCase(d.substr(0, prefix.size()), prefix))
                continue;
            const std::string_view suffix = d.substr(prefix.size());
            if (!width && EqualsIgnoringCase(suffix, "_width")) {
                width = SmallNumber(define.value, kMaxSpriteColumns);
                bXbmSpelling = bXbmSpelling && d == std::string(prefix) + "_width";
            } else if (!height && EqualsIgnoringCase(suffix, "_height")) {
                height = SmallNumber(define.value, kMaxSpriteRows);
                bXbmSpelling = bXbmSpelling && d == std::string(prefix) + "_height";
            }
        }
        if (width && height) {
            list.sizes.push_back({*width, *height, 0, true, CodeSize::Defines});
            if (bXbmSpelling)
                list.certainLayout = &LayoutOf(CodeStyle::Xbm);
            return;
        }
    }
}

// Whether a value is written in decimal, as Glimmet writes leading sizes.
bool IsDecimal(const Token& token) {
    return token.kind == TokenKind::Number && !token.text.empty() && token.text[0] != '0';
}

// Two leading values that are a width and a height whose pixels the rest of
// the list holds. Written in decimal before values in hex or binary, as
// Glimmet and the tools it follows write them, they are certain; otherwise
// they are a likely reading among the others.
void ReadLeadingSize(const std::vector<ListValue>& values, ListText& list) {
    if (list.elementBits != 8 || !LeadsWithSize(values))
        return;
    const bool bCertain =
        IsDecimal(values[0].token) && IsDecimal(values[1].token) &&
        std::none_of(values.begin() + kLeadingSizeValues, values.end(),
                     [](const ListValue& value) { return IsDecimal(value.token); });
    list.sizes.push_back({static_cast<int>(values[0].value), static_cast<int>(values[1].value),
                          kLeadingSizeValues, bCertain, CodeSize::Leading});
}

ArrayReadResult ReadPython(const PythonBytes& python, std::string_view text) {
    if (python.error)
        return Failed(*python.error);
    ListText list;
    list.name = python.name;
    list.values = python.values;
    list.anchor = python.offset;
    if (python.frameLayout != nullptr) {
        list.sizes.push_back({python.frameWidth, python.frameHeight, 0, true, CodeSize::None});
        list.certainLayout = python.frameLayout;
    }
    ArrayReadResult result = ReadingsOf(list, text);
    if (result.readings.empty()) {
        ArrayReadError error = python.at;
        error.message = "No sprite shape holds " + std::to_string(list.values.size()) + " bytes.";
        return Failed(std::move(error));
    }
    result.notice = NoticeForArrays(python.arrays, result.name);
    return result;
}

} // namespace

ArrayReadResult ReadSpriteArray(std::string_view text) {
    if (text.size() > kMaxArrayTextBytes)
        return Failed({"The text is too long to read: the limit is 1 MiB.", {}, 1, 1});
    if (std::optional<ArrayReadResult> own = ReadOwnLine(text))
        return std::move(*own);

    // A list that starts the text is a bare list; otherwise the first
    // declaration with a brace list is read, and failing that a bytes value
    // of MicroPython.
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
    if (!declaration)
        if (const std::optional<PythonBytes> python = ReadPythonBytes(text))
            return ReadPython(*python, text);
    if (failure)
        return Failed(LexError(*failure));
    if (!declaration) {
        // Text with no token at all is named by its start.
        const Token where = first.kind == TokenKind::End ? Token{} : first;
        return Failed(
            MakeError("No array found: paste a declaration with a brace list of values.", where));
    }

    ListReading reading = ReadList(tokens, declaration->open, *declaration);
    if (reading.error)
        return Failed(std::move(*reading.error));
    int arrays = 1;
    while (NextArrayDeclaration(tokens, failure))
        ++arrays;
    if (failure)
        return Failed(LexError(*failure));

    ListText list;
    list.name = declaration->name;
    list.anchor = declaration->open.offset;
    list.elementBits = reading.elementBits;
    list.values.reserve(reading.values.size());
    for (const ListValue& value : reading.values)
        list.values.push_back(value.value);
    if (declaration->rowLength > 0) {
        list.declaredRowLength = declaration->rowLength;
        list.declaredRows = declaration->totalCount / declaration->rowLength;
    }
    ReadCEvidence(text, list);
    ReadLeadingSize(reading.values, list);
    ArrayReadResult result = ReadingsOf(list, text);
    if (result.readings.empty())
        return Failed(
            MakeError("No sprite shape holds " + std::to_string(list.values.size()) + " bytes.",
                      declaration->open));
    result.notice = NoticeForArrays(arrays, result.name);
    return result;
}
