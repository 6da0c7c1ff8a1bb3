#include "SourceText.h"

#include "CTokenizer.h"

#include <algorithm>
#include <array>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsWordChar(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

bool IsLineBreak(char c) {
    return c == '\n' || c == '\r';
}

bool IsSuffixChar(char c) {
    return c == 'u' || c == 'U' || c == 'l' || c == 'L';
}

// ---------------------------------------------------------------------------
// The items of a values span

enum class ItemKind { Value, Comma, Comment, Break, Blank, Other };

struct Item {
    ItemKind kind = ItemKind::Other;
    std::size_t offset = 0;
    std::size_t length = 0;
    int line = 0;

    std::size_t End() const { return offset + length; }
};

// Splits a values span into literals, commas, comments, line breaks, blanks
// and anything else, each with its place. A comment left open runs to the
// end, which only a span cut from a broken file can hold.
std::vector<Item> SplitItems(std::string_view text) {
    std::vector<Item> items;
    int line = 0;
    for (std::size_t at = 0; at < text.size();) {
        Item item{ItemKind::Other, at, 1, line};
        const char c = text[at];
        if (c == '\r' || c == '\n') {
            item.kind = ItemKind::Break;
            item.length = c == '\r' && at + 1 < text.size() && text[at + 1] == '\n' ? 2 : 1;
            ++line;
        } else if (IsSpace(c)) {
            item.kind = ItemKind::Blank;
            while (at + item.length < text.size() && IsSpace(text[at + item.length]))
                ++item.length;
        } else if (c == ',') {
            item.kind = ItemKind::Comma;
        } else if (c == '/' && at + 1 < text.size() && text[at + 1] == '/') {
            item.kind = ItemKind::Comment;
            while (at + item.length < text.size() && !IsLineBreak(text[at + item.length]))
                ++item.length;
        } else if (c == '/' && at + 1 < text.size() && text[at + 1] == '*') {
            item.kind = ItemKind::Comment;
            const std::size_t close = text.find("*/", at + 2);
            item.length = (close == std::string_view::npos ? text.size() : close + 2) - at;
            for (std::size_t k = at; k < at + item.length; ++k)
                line += text[k] == '\n' ||
                        (text[k] == '\r' && (k + 1 == text.size() || text[k + 1] != '\n'));
        } else if (IsWordChar(c)) {
            while (at + item.length < text.size() &&
                   (IsWordChar(text[at + item.length]) || text[at + item.length] == '\'' ||
                    text[at + item.length] == '.'))
                ++item.length;
            if (ReadLiteral(text.substr(at, item.length)))
                item.kind = ItemKind::Value;
        }
        items.push_back(item);
        at += item.length;
    }
    return items;
}

std::string_view TextOf(std::string_view text, const Item& item) {
    return text.substr(item.offset, item.length);
}

// ---------------------------------------------------------------------------
// Row drawings

// The characters a row drawing uses for set and clear pixels.
struct DrawingChars {
    char on = '#';
    char off = '.';
};

// Pairs that drawings commonly use, for rows that are all set or all clear
// and so cannot tell which character is which on their own.
constexpr std::array<DrawingChars, 6> kCommonPairs{
    {{'#', '.'}, {'X', '.'}, {'1', '0'}, {'*', '.'}, {'@', '.'}, {'#', ' '}}};

// A comment that may draw a row: where its run of pixel characters lies.
struct Drawing {
    std::size_t runOffset = 0; // in the span
    std::size_t row = 0;
};

// The body of a comment: after "//", or between "/*" and "*/".
std::string_view Body(std::string_view comment, std::size_t& bodyOffset) {
    bodyOffset = 2;
    if (comment.starts_with("/*") && comment.size() >= 4 && comment.ends_with("*/"))
        return comment.substr(2, comment.size() - 4);
    return comment.substr(2);
}

bool IsBlankText(std::string_view text) {
    return std::all_of(text.begin(), text.end(), IsSpace);
}

// Where in `body` a run of `width` characters stands alone (blanks allowed
// around it, at most one before), or npos.
std::size_t RunOffset(std::string_view body, int width) {
    const auto length = static_cast<std::size_t>(width);
    for (std::size_t skip = 0; skip <= 1 && skip + length <= body.size(); ++skip) {
        if (skip == 1 && body[0] != ' ')
            break;
        if (IsBlankText(body.substr(skip + length)) && !IsSpace(body[skip]))
            return skip;
    }
    // A drawing whose clear character is a blank may begin with one.
    if (body.size() >= length && IsBlankText(body.substr(length)))
        return 0;
    return std::string_view::npos;
}

std::span<const std::uint32_t> RowPixels(std::span<const std::uint32_t> pixels, int width,
                                         std::size_t row) {
    const auto perRow = static_cast<std::size_t>(width);
    if ((row + 1) * perRow > pixels.size())
        return {};
    return pixels.subspan(row * perRow, perRow);
}

// The characters `run` draws `pixels` with, when it draws them: every set
// pixel one character, every clear one another. A row all set or all clear
// shows only one of them; `known` fills in the other.
std::optional<DrawingChars> MatchRun(std::string_view run, std::span<const std::uint32_t> pixels,
                                     const std::optional<DrawingChars>& known) {
    if (pixels.empty() || run.size() != pixels.size())
        return std::nullopt;
    std::optional<char> on;
    std::optional<char> off;
    for (std::size_t x = 0; x < run.size(); ++x) {
        std::optional<char>& slot = pixels[x] != 0 ? on : off;
        if (slot && *slot != run[x])
            return std::nullopt;
        slot = run[x];
    }
    if (on && off)
        return *on == *off ? std::nullopt : std::optional<DrawingChars>({*on, *off});
    const auto fits = [&](const DrawingChars& pair) {
        return on ? pair.on == *on : pair.off == *off;
    };
    if (known)
        return fits(*known) ? known : std::nullopt;
    for (const DrawingChars& pair : kCommonPairs)
        if (fits(pair))
            return pair;
    return std::nullopt;
}

std::string DrawRun(std::span<const std::uint32_t> pixels, const DrawingChars& chars) {
    std::string run;
    for (const std::uint32_t pixel : pixels)
        run += pixel != 0 ? chars.on : chars.off;
    return run;
}

// The values on each line of the span, by their index among the values.
struct LineValues {
    std::size_t first = 0;
    std::size_t count = 0;
};

std::vector<LineValues> ValuesByLine(const std::vector<Item>& items) {
    std::vector<LineValues> lines;
    std::size_t index = 0;
    for (const Item& item : items) {
        if (item.kind != ItemKind::Value)
            continue;
        const auto line = static_cast<std::size_t>(item.line);
        if (lines.size() <= line)
            lines.resize(line + 1, LineValues{index, 0});
        ++lines[line].count;
        ++index;
    }
    return lines;
}

// The row a comment on `line` may draw: its line must hold exactly that
// row's elements.
std::optional<std::size_t> RowOfLine(const std::vector<LineValues>& lines, std::size_t line,
                                     std::size_t perRow) {
    if (perRow == 0 || line >= lines.size() || lines[line].count != perRow ||
        lines[line].first % perRow != 0)
        return std::nullopt;
    return lines[line].first / perRow;
}

// The comments of the span that draw their line's row of `pixels`, and the
// characters they draw with.
struct Drawings {
    std::vector<Drawing> found;
    DrawingChars chars;
};

Drawings FindDrawings(std::string_view text, const std::vector<Item>& items, std::size_t perRow,
                      int width, std::span<const std::uint32_t> pixels) {
    Drawings drawings;
    if (perRow == 0 || width <= 0)
        return drawings;
    const std::vector<LineValues> lines = ValuesByLine(items);
    std::optional<DrawingChars> known;
    // Rows with both kinds of pixel decide the characters; the others follow.
    for (const bool bDeciding : {true, false}) {
        for (const Item& item : items) {
            if (item.kind != ItemKind::Comment)
                continue;
            const std::optional<std::size_t> row =
                RowOfLine(lines, static_cast<std::size_t>(item.line), perRow);
            if (!row)
                continue;
            std::size_t bodyOffset = 0;
            const std::string_view body = Body(TextOf(text, item), bodyOffset);
            const std::size_t skip = RunOffset(body, width);
            if (skip == std::string_view::npos)
                continue;
            const std::span<const std::uint32_t> rowPixels = RowPixels(pixels, width, *row);
            const bool bMixed =
                std::find(rowPixels.begin(), rowPixels.end(), 0u) != rowPixels.end() &&
                std::find(rowPixels.begin(), rowPixels.end(), 1u) != rowPixels.end();
            if (bMixed != bDeciding)
                continue;
            const std::optional<DrawingChars> chars =
                MatchRun(body.substr(skip, static_cast<std::size_t>(width)), rowPixels, known);
            if (!chars)
                continue;
            known = chars;
            drawings.found.push_back({item.offset + bodyOffset + skip, *row});
        }
    }
    if (known)
        drawings.chars = *known;
    std::sort(drawings.found.begin(), drawings.found.end(),
              [](const Drawing& a, const Drawing& b) { return a.runOffset < b.runOffset; });
    return drawings;
}

// ---------------------------------------------------------------------------
// Literal forms

int CountDigits(std::uint32_t value, int bitsPerDigit, int base) {
    int digits = 1;
    if (bitsPerDigit > 0) {
        while (bitsPerDigit * digits < 32 && (value >> (bitsPerDigit * digits)) != 0)
            ++digits;
        return digits;
    }
    for (std::uint32_t rest = value / static_cast<std::uint32_t>(base); rest != 0;
         rest /= static_cast<std::uint32_t>(base))
        ++digits;
    return digits;
}

int BaseOf(LiteralKind kind) {
    switch (kind) {
    case LiteralKind::Hex:
        return 16;
    case LiteralKind::Binary:
    case LiteralKind::ArduinoBinary:
        return 2;
    case LiteralKind::Octal:
        return 8;
    case LiteralKind::Decimal:
        return 10;
    }
    return 10;
}

// A form as the whole span writes it, gathered literal by literal.
class CFormVote {
public:
    void Add(const LiteralForm& form, std::string_view digits, std::uint32_t value) {
        // A lone zero is written the same in every kind and votes for none.
        if (digits == "0" && form.suffix.empty()) {
            ++m_nZeros;
            return;
        }
        const auto index = static_cast<std::size_t>(form.kind);
        Tally& tally = m_tallies[index];
        if (tally.count++ == 0)
            tally.form = form;
        const int natural = CountDigits(value, 0, BaseOf(form.kind));
        if (tally.count > 1 && static_cast<int>(digits.size()) != tally.maxDigits)
            tally.bSameDigits = false;
        tally.maxDigits = std::max(tally.maxDigits, static_cast<int>(digits.size()));
        if (static_cast<int>(digits.size()) > natural)
            tally.bPadded = true;
        const bool bLetters = std::any_of(digits.begin(), digits.end(), [](char c) {
            return (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        });
        if (bLetters)
            (form.bUpper ? tally.upper : tally.lower) += 1;
    }

    LiteralForm Result() const {
        const Tally* best = nullptr;
        for (const Tally& tally : m_tallies)
            if (tally.count > 0 && (best == nullptr || tally.count > best->count))
                best = &tally;
        if (best == nullptr)
            return m_nZeros > 0 ? LiteralForm{LiteralKind::Decimal, "", "", false, 0}
                                : LiteralForm{};
        LiteralForm form = best->form;
        // Padding shows as a leading zero, or as every literal having the
        // same number of digits. Decimals are never padded: a leading zero
        // would make them octal.
        const bool bPadded = best->bPadded || (best->bSameDigits && best->maxDigits > 1);
        form.nDigits = form.kind != LiteralKind::Decimal && bPadded ? best->maxDigits : 0;
        // Digits without letters say nothing of case; the prefix's own case
        // is the best guess then.
        form.bUpper = best->upper != best->lower ? best->upper > best->lower : form.prefix == "0X";
        return form;
    }

private:
    struct Tally {
        LiteralForm form;
        int count = 0;
        int maxDigits = 0;
        bool bPadded = false;
        bool bSameDigits = true;
        int upper = 0;
        int lower = 0;
    };
    std::array<Tally, 5> m_tallies{};
    int m_nZeros = 0;
};

LiteralForm VoteForms(std::string_view text, const std::vector<Item>& items) {
    CFormVote vote;
    for (const Item& item : items) {
        if (item.kind != ItemKind::Value)
            continue;
        LiteralForm form;
        const std::string_view literal = TextOf(text, item);
        const std::optional<std::uint32_t> value = ReadLiteral(literal, &form);
        std::string_view digits = literal.substr(form.prefix.size());
        digits.remove_suffix(form.suffix.size());
        vote.Add(form, digits, *value);
    }
    return vote.Result();
}

// The form one changed literal is written in: the span's own, with this
// literal's prefix spelling, suffix and case where it has the span's kind.
LiteralForm FormFor(std::string_view literal, const LiteralForm& dominant) {
    LiteralForm own;
    ReadLiteral(literal, &own);
    LiteralForm form = dominant;
    if (own.kind == dominant.kind) {
        form.prefix = own.prefix;
        form.suffix = own.suffix;
        const bool bLetters = std::any_of(
            literal.begin() + static_cast<std::ptrdiff_t>(own.prefix.size()), literal.end(),
            [](char c) { return (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); });
        if (bLetters && own.kind == LiteralKind::Hex)
            form.bUpper = own.bUpper;
    }
    return form;
}

// ---------------------------------------------------------------------------
// Laying values out again

// One line of values: what stands before its first value (blanks, and
// comments that open the line) and what follows its last value and comma up
// to the line break. A row drawing in either is the run at `drawingAt`.
struct LinePart {
    std::string text;
    std::size_t offset = 0; // in the span
    std::size_t drawingAt = std::string::npos;
};

struct LineShape {
    LinePart head;
    LinePart trailer;
    std::size_t count = 0;
    std::size_t first = 0; // the index of its first value
};

// A line that holds only comments, between lines of values.
struct CommentLine {
    std::size_t before = 0; // the values above it
    std::string text;       // the whole line, its break included
};

struct SpanShape {
    std::string lead; // before the first value
    std::string tail; // from the break after the last value's line to the end
    std::string separator = " ";
    std::string beforeComma;
    std::string lineBreak = "\n";
    bool bTrailingComma = false;
    std::vector<LineShape> lines; // the lines that hold values
    std::vector<CommentLine> commentLines;
};

std::optional<SpanShape> ReadShape(std::string_view text, const std::vector<Item>& items,
                                   const Drawings& drawings) {
    SpanShape shape;
    if (text.find("\r\n") != std::string_view::npos)
        shape.lineBreak = "\r\n";
    const auto firstValue = std::find_if(
        items.begin(), items.end(), [](const Item& item) { return item.kind == ItemKind::Value; });
    if (firstValue == items.end())
        return std::nullopt;
    // The first line's head starts after the lead's last break.
    std::size_t lineStart = 0;
    for (auto it = items.begin(); it != firstValue; ++it)
        if (it->kind == ItemKind::Break)
            lineStart = it->End();
    shape.lead = text.substr(0, lineStart);
    bool bSeparatorSeen = false;
    bool bBeforeCommaSeen = false;
    const Item* lastValue = nullptr;
    const Item* lastComma = nullptr;
    std::size_t values = 0;
    bool bLineHasValue = false;
    bool bLineHasComment = false;
    std::size_t trailerStart = std::string_view::npos; // open trailer of the last line
    for (auto it = firstValue; it != items.end(); ++it) {
        const Item& item = *it;
        switch (item.kind) {
        case ItemKind::Other:
            return std::nullopt;
        case ItemKind::Value:
            if (!bLineHasValue) {
                LineShape line;
                line.head = {std::string(text.substr(lineStart, item.offset - lineStart)),
                             lineStart};
                line.first = values;
                shape.lines.push_back(line);
            } else if (!bSeparatorSeen && lastComma != nullptr) {
                shape.separator =
                    text.substr(lastComma->offset + 1, item.offset - lastComma->offset - 1);
                bSeparatorSeen = true;
            }
            bLineHasValue = true;
            ++shape.lines.back().count;
            ++values;
            lastValue = &item;
            lastComma = nullptr;
            trailerStart = item.offset + item.length;
            break;
        case ItemKind::Comma:
            if (lastValue != nullptr && lastComma == nullptr) {
                if (!bBeforeCommaSeen) {
                    const std::size_t end = lastValue->offset + lastValue->length;
                    shape.beforeComma = text.substr(end, item.offset - end);
                    bBeforeCommaSeen = true;
                }
                lastComma = &item;
                trailerStart = item.offset + 1;
            }
            break;
        case ItemKind::Comment:
            bLineHasComment = true;
            break;
        case ItemKind::Break:
            if (trailerStart != std::string_view::npos) {
                shape.lines.back().trailer = {
                    std::string(text.substr(trailerStart, item.offset - trailerStart)),
                    trailerStart};
                trailerStart = std::string_view::npos;
                shape.tail = text.substr(item.offset);
            } else if (!bLineHasValue && bLineHasComment) {
                shape.commentLines.push_back(
                    {values, std::string(text.substr(lineStart, item.End() - lineStart))});
            }
            lineStart = item.offset + item.length;
            bLineHasValue = false;
            bLineHasComment = false;
            break;
        default:
            break;
        }
    }
    if (trailerStart != std::string_view::npos) {
        shape.lines.back().trailer = {std::string(text.substr(trailerStart)), trailerStart};
        shape.tail.clear();
    }
    // Comment lines below the last values belong to the tail.
    std::erase_if(shape.commentLines,
                  [values](const CommentLine& line) { return line.before == values; });
    shape.bTrailingComma = lastComma != nullptr;
    for (LineShape& line : shape.lines) {
        for (LinePart* part : {&line.head, &line.trailer})
            for (const Drawing& drawing : drawings.found)
                if (drawing.runOffset >= part->offset &&
                    drawing.runOffset < part->offset + part->text.size())
                    part->drawingAt = drawing.runOffset - part->offset;
    }
    return shape;
}

bool HasComment(const LinePart& part) {
    return part.text.find('/') != std::string::npos;
}

bool HasDrawing(const LineShape& line) {
    return line.head.drawingAt != std::string::npos || line.trailer.drawingAt != std::string::npos;
}

// `part` with its row drawing showing `pixels`.
std::string Drawn(const LinePart& part, int oldWidth, std::span<const std::uint32_t> pixels,
                  const DrawingChars& chars) {
    std::string text = part.text;
    if (part.drawingAt != std::string::npos && !pixels.empty())
        text.replace(part.drawingAt, static_cast<std::size_t>(std::max(oldWidth, 0)),
                     DrawRun(pixels, chars));
    return text;
}

std::optional<std::string> LayOutAgain(std::string_view text, const std::vector<Item>& items,
                                       const ValuesEdit& edit, const Drawings& drawings) {
    std::optional<SpanShape> read = ReadShape(text, items, drawings);
    if (!read)
        return std::nullopt;
    const SpanShape& shape = *read;
    const LiteralForm form = VoteForms(text, items);

    // Where each line held one row, each line holds one row again; values
    // all on one line stay on one line.
    const bool bRowLines =
        shape.lines.size() > 1 && edit.oldPerRow > 0 && edit.newPerRow > 0 &&
        std::all_of(shape.lines.begin(), shape.lines.end(),
                    [&](const LineShape& line) { return line.count == edit.oldPerRow; });
    std::size_t perLine = 0;
    for (const LineShape& line : shape.lines)
        perLine = std::max(perLine, line.count);
    std::size_t firstCount = shape.lines.front().count;
    if (bRowLines)
        perLine = firstCount = edit.newPerRow;
    if (shape.lines.size() == 1)
        perLine = firstCount = edit.elements.size();
    perLine = std::max<std::size_t>(perLine, 1);
    firstCount = std::max<std::size_t>(firstCount, 1);

    // New lines take the shape of the lines before them: the first drawn
    // line's, or the last line's for the last (which may lack the comma).
    const LineShape* drawn = nullptr;
    for (const LineShape& line : shape.lines)
        if (HasDrawing(line) && drawn == nullptr)
            drawn = &line;
    const bool bDraw = bRowLines && drawn != nullptr;
    const LineShape& last = shape.lines.back();
    const LineShape& middle = shape.lines.size() > 1 ? shape.lines[shape.lines.size() - 2] : last;

    std::string out = shape.lead;
    const std::size_t total = edit.elements.size();
    auto comment = shape.commentLines.begin();
    for (std::size_t at = 0, lineIndex = 0; at < total; ++lineIndex) {
        const std::size_t count = std::min(total - at, lineIndex == 0 ? firstCount : perLine);
        const bool bLast = at + count == total;
        // Each comment line goes back above the value it stood above, or
        // the first line after it.
        for (; lineIndex > 0 && comment != shape.commentLines.end() &&
               (comment->before <= at || bLast);
             ++comment)
            out += comment->text;
        const LineShape* original =
            lineIndex < shape.lines.size() ? &shape.lines[lineIndex] : nullptr;
        const LineShape& model = bDraw ? *drawn : bLast ? last : middle;
        const std::span<const std::uint32_t> row =
            bRowLines ? RowPixels(edit.newPixels, edit.newWidth, lineIndex)
                      : std::span<const std::uint32_t>{};
        // A line's own head and trailer stay, drawn again where they draw
        // its row; a new line takes the model's, without a comment that is
        // no drawing.
        const auto part = [&](const LinePart* own, const LinePart& fallback, bool bHead) {
            const LinePart& chosen = own != nullptr ? *own : fallback;
            if (bDraw && chosen.drawingAt != std::string::npos)
                return Drawn(chosen, edit.oldWidth, row, drawings.chars);
            if (own != nullptr || !HasComment(chosen))
                return chosen.text;
            if (bHead)
                return chosen.text.substr(0, chosen.text.find_first_not_of(" \t"));
            std::string kept = chosen.text.substr(0, chosen.text.find('/'));
            while (!kept.empty() && (kept.back() == ' ' || kept.back() == '\t'))
                kept.pop_back();
            return kept;
        };
        out += part(original != nullptr ? &original->head : nullptr, model.head, true);
        for (std::size_t k = 0; k < count; ++k, ++at) {
            out += WriteLiteral(edit.elements[at], form);
            if (at + 1 < total || shape.bTrailingComma)
                out += shape.beforeComma + ",";
            if (k + 1 < count)
                out += shape.separator;
        }
        const LinePart* ownTrailer = bLast                                      ? &last.trailer
                                     : original != nullptr && original != &last ? &original->trailer
                                                                                : nullptr;
        out += part(ownTrailer, model.trailer, false);
        if (!bLast)
            out += shape.lineBreak;
    }
    return out + shape.tail;
}

// Every value keeps its place; a changed one is written in the span's form,
// and each row drawing is drawn again.
std::string ReplaceInPlace(std::string_view text, const std::vector<Item>& items,
                           const ValuesEdit& edit, const Drawings& drawings) {
    const LiteralForm form = VoteForms(text, items);
    std::string out;
    out.reserve(text.size() + 16);
    std::size_t index = 0;
    std::size_t copied = 0;
    auto drawing = drawings.found.begin();
    const auto width = static_cast<std::size_t>(std::max(edit.oldWidth, 0));
    for (const Item& item : items) {
        if (item.kind == ItemKind::Value) {
            const std::string_view literal = TextOf(text, item);
            const std::uint32_t value = edit.elements[index++];
            if (ReadLiteral(literal) != value) {
                out.append(text.substr(copied, item.offset - copied));
                out += WriteLiteral(value, FormFor(literal, form));
                copied = item.offset + item.length;
            }
        }
        for (; drawing != drawings.found.end() && drawing->runOffset < item.offset + item.length;
             ++drawing) {
            out.append(text.substr(copied, drawing->runOffset - copied));
            const std::span<const std::uint32_t> row =
                RowPixels(edit.newPixels, edit.newWidth, drawing->row);
            out += row.size() == width ? DrawRun(row, drawings.chars)
                                       : std::string(text.substr(drawing->runOffset, width));
            copied = drawing->runOffset + width;
        }
    }
    out.append(text.substr(copied));
    return out;
}

} // namespace

// ---------------------------------------------------------------------------

std::optional<std::uint32_t> ReadLiteral(std::string_view text, LiteralForm* form) {
    LiteralForm read;
    std::string_view digits = text;
    while (!digits.empty() && IsSuffixChar(digits.back()))
        digits.remove_suffix(1);
    read.suffix = text.substr(digits.size());
    std::uint64_t value = 0;
    if (digits.size() >= 2 && digits.size() <= 9 && digits[0] == 'B' && read.suffix.empty() &&
        digits.find_first_not_of("01", 1) == std::string_view::npos) {
        // Binary constants as one popular embedded platform spells them: B0
        // to B11111111.
        read.kind = LiteralKind::ArduinoBinary;
        read.prefix = "B";
        ReadCDigits(digits.substr(1), 2, value);
    } else {
        std::string_view problem;
        const std::optional<CInteger> number = ReadCInteger(text, problem);
        if (!number || number->value > 0xFFFFFFFFu)
            return std::nullopt;
        value = number->value;
        if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
            read.kind = LiteralKind::Hex;
            read.prefix = digits.substr(0, 2);
        } else if (digits.size() > 2 && digits[0] == '0' &&
                   (digits[1] == 'b' || digits[1] == 'B')) {
            read.kind = LiteralKind::Binary;
            read.prefix = digits.substr(0, 2);
        } else if (digits.size() > 1 && digits[0] == '0') {
            read.kind = LiteralKind::Octal;
            read.prefix = "0";
        } else {
            read.kind = LiteralKind::Decimal;
            read.prefix = "";
        }
    }
    digits.remove_prefix(read.prefix.size());
    const bool bUpper =
        std::any_of(digits.begin(), digits.end(), [](char c) { return c >= 'A' && c <= 'F'; });
    const bool bLower =
        std::any_of(digits.begin(), digits.end(), [](char c) { return c >= 'a' && c <= 'f'; });
    read.bUpper = bUpper && !bLower;
    if (form != nullptr)
        *form = std::move(read);
    return static_cast<std::uint32_t>(value);
}

std::string WriteLiteral(std::uint32_t value, const LiteralForm& form) {
    static constexpr std::string_view kLower = "0123456789abcdef";
    static constexpr std::string_view kUpper = "0123456789ABCDEF";
    const int base = BaseOf(form.kind);
    std::string digits;
    for (std::uint32_t rest = value;; rest /= static_cast<std::uint32_t>(base)) {
        digits.insert(digits.begin(),
                      (form.bUpper ? kUpper : kLower)[rest % static_cast<std::uint32_t>(base)]);
        if (rest < static_cast<std::uint32_t>(base))
            break;
    }
    int padding = form.nDigits;
    if (form.kind == LiteralKind::ArduinoBinary)
        padding = std::max(padding, 8);
    if (static_cast<int>(digits.size()) < padding)
        digits.insert(0, static_cast<std::size_t>(padding) - digits.size(), '0');
    std::string prefix = form.prefix;
    switch (form.kind) {
    case LiteralKind::Hex:
        if (prefix != "0x" && prefix != "0X")
            prefix = "0x";
        break;
    case LiteralKind::Binary:
        if (prefix != "0b" && prefix != "0B")
            prefix = "0b";
        break;
    case LiteralKind::ArduinoBinary:
        prefix = "B";
        break;
    case LiteralKind::Octal:
        // Octal's prefix is its leading zero; zero itself needs no other.
        prefix = digits[0] == '0' ? "" : "0";
        break;
    case LiteralKind::Decimal:
        prefix.clear();
        break;
    }
    return prefix + digits + (form.kind == LiteralKind::ArduinoBinary ? "" : form.suffix);
}

std::optional<std::string> RewriteValues(std::string_view text, const ValuesEdit& edit) {
    const std::vector<Item> items = SplitItems(text);
    const auto values = static_cast<std::size_t>(std::count_if(
        items.begin(), items.end(), [](const Item& item) { return item.kind == ItemKind::Value; }));
    const Drawings drawings =
        FindDrawings(text, items, edit.oldPerRow, edit.oldWidth, edit.oldPixels);
    if (values == edit.elements.size() && edit.oldWidth == edit.newWidth)
        return ReplaceInPlace(text, items, edit, drawings);
    return LayOutAgain(text, items, edit, drawings);
}

LiteralForm DominantForm(std::string_view text) {
    return VoteForms(text, SplitItems(text));
}
