#include "SourceScan.h"

#include <algorithm>

namespace {

int ValueBits(std::uint32_t value) {
    return value <= 0xFF ? 8 : value <= 0xFFFF ? 16 : 32;
}

// Whether a block comment is still open after `line`, given whether one was
// open before it. Strings are skipped, so that a "/*" in one opens nothing.
bool CommentOpenAfter(std::string_view line, bool bOpen) {
    for (std::size_t at = 0; at < line.size(); ++at) {
        if (bOpen) {
            if (line.compare(at, 2, "*/") == 0) {
                bOpen = false;
                ++at;
            }
        } else if (line.compare(at, 2, "//") == 0) {
            return false;
        } else if (line.compare(at, 2, "/*") == 0) {
            bOpen = true;
            ++at;
        } else if (line[at] == '"') {
            for (++at; at < line.size() && line[at] != '"'; ++at)
                at += line[at] == '\\' ? 1 : 0;
        }
    }
    return bOpen;
}

// One ".a.b = value" of a descriptor.
void TakeField(const std::vector<Token>& field, Descriptor& descriptor) {
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
            number = Define{designator, *read, SpanOf(value)};
    const bool bWord = value.kind == TokenKind::Word;
    if (designator == ".header.cf")
        descriptor.bOneBit = bWord && value.text == "LV_IMG_CF_INDEXED_1BIT";
    else if (designator == ".header.w")
        descriptor.width = number;
    else if (designator == ".header.h")
        descriptor.height = number;
    else if (designator == ".data_size")
        descriptor.dataSize = number;
    else if (designator == ".data" && bWord)
        descriptor.data = value.text;
}

// Reads the list whose opening brace `tokens` has just read, up to its
// closing brace. False for anything but integer literals in at most two
// levels of braces, a list whose values and commas do not take turns as C
// has them (two values with no comma between, or an empty element), or a
// list never closed: such a list is no initializer the file could be saved
// back into and still compile.
bool ReadValues(CTokenizer& tokens, const Token& open, FoundArray& found) {
    int depth = 1;
    bool bLiterals = true;
    // After an opening brace or a comma an element comes next; after an
    // element a comma or a closing brace.
    bool bElementDue = true;
    std::optional<FoundArray::Frame> frame;
    for (Token token = tokens.Next();; token = tokens.Next()) {
        if (token.kind == TokenKind::End || token.kind == TokenKind::Error)
            return false;
        const bool bElement = !token.Is(',') && !token.Is('}');
        if (bElement != bElementDue && !token.Is('}'))
            bLiterals = false;
        bElementDue = token.Is(',') || token.Is('{');
        if (token.Is('{')) {
            if (++depth == 2)
                frame = FoundArray::Frame{found.values.size(), 0, {token.offset + 1, 0}};
            continue;
        }
        if (token.Is('}')) {
            if (--depth == 0) {
                found.inside = {open.offset + 1, token.offset - open.offset - 1};
                found.end = token.offset + 1;
                return bLiterals;
            }
            if (depth == 1 && frame) {
                frame->count = found.values.size() - frame->first;
                frame->span.length = token.offset - frame->span.offset;
                found.frames.push_back(*frame);
                frame.reset();
            }
            continue;
        }
        if (!bLiterals || token.Is(','))
            continue;
        std::string_view problem;
        const std::optional<std::uint32_t> value =
            token.kind == TokenKind::Number || token.kind == TokenKind::Word
                ? ReadLiteral(token.text)
                : std::nullopt;
        if (!value || depth > 2 || found.values.size() == kMaxScannedValues) {
            // Not a sprite: read on to the closing brace all the same.
            bLiterals = false;
            continue;
        }
        const std::optional<CInteger> number =
            token.kind == TokenKind::Number ? ReadCInteger(token.text, problem) : std::nullopt;
        const int digitBits = number && number->digitBits > 0 ? number->digitBits : 8;
        found.values.push_back({*value, SpanOf(token), std::max(digitBits, ValueBits(*value))});
    }
}

} // namespace

TextSpan SpanOf(const Token& token) {
    return {token.offset, token.text.size()};
}

// The defines of plain numbers. The tokenizer leaves preprocessor lines
// out, so they are found line by line: a '#' first on a line that no block
// comment holds.
std::vector<Define> FindDefines(std::string_view text) {
    std::vector<Define> defines;
    bool bInComment = false;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        const std::string_view line = text.substr(at, end - at);
        const std::size_t first = line.find_first_not_of(" \t");
        if (!bInComment && first != std::string_view::npos && line[first] == '#') {
            const std::size_t base = at + first + 1;
            CTokenizer words(line.substr(first + 1));
            const Token define = words.Next();
            const Token name = words.Next();
            const Token number = words.Next();
            if (define.kind == TokenKind::Word && define.text == "define" &&
                name.kind == TokenKind::Word && number.kind == TokenKind::Number &&
                words.Next().kind == TokenKind::End) {
                if (const std::optional<std::uint32_t> value = ReadLiteral(number.text))
                    defines.push_back({std::string(name.text),
                                       *value,
                                       {base + number.offset, number.text.size()}});
            }
        }
        bInComment = CommentOpenAfter(line, bInComment);
        at = end + 1;
    }
    return defines;
}

// Every "lv_img_dsc_t name = { .field = value, ... }" in the text.
std::vector<Descriptor> FindDescriptors(std::string_view text) {
    static constexpr std::string_view kType = "lv_img_dsc_t";
    std::vector<Descriptor> descriptors;
    if (text.find(kType) == std::string_view::npos)
        return descriptors;
    CTokenizer tokens(text);
    for (Token token = tokens.Next();
         token.kind != TokenKind::End && token.kind != TokenKind::Error; token = tokens.Next()) {
        if (token.kind != TokenKind::Word || token.text != kType)
            continue;
        while (token.kind != TokenKind::End && token.kind != TokenKind::Error && !token.Is('{') &&
               !token.Is(';'))
            token = tokens.Next();
        if (!token.Is('{'))
            continue;
        Descriptor descriptor;
        std::vector<Token> field;
        for (int depth = 1; depth > 0;) {
            token = tokens.Next();
            if (token.kind == TokenKind::End || token.kind == TokenKind::Error)
                return descriptors;
            if (token.Is('{') || token.Is('}')) {
                depth += token.Is('{') ? 1 : -1;
            } else if (token.Is(',') && depth == 1) {
                TakeField(field, descriptor);
                field.clear();
            } else if (field.size() < 8) {
                field.push_back(token);
            }
        }
        TakeField(field, descriptor);
        if (!descriptor.data.empty())
            descriptors.push_back(descriptor);
    }
    return descriptors;
}

std::vector<FoundArray> FindArrays(std::string_view text) {
    std::vector<FoundArray> arrays;
    CTokenizer tokens(text);
    std::optional<Token> failure;
    while (std::optional<ArrayDeclaration> declaration = NextArrayDeclaration(tokens, failure)) {
        FoundArray found;
        found.declaration = *declaration;
        found.nameOffset = declaration->name.empty()
                               ? 0
                               : static_cast<std::size_t>(declaration->name.data() - text.data());
        if (ReadValues(tokens, declaration->open, found) && !found.values.empty() &&
            !declaration->name.empty())
            arrays.push_back(std::move(found));
    }
    return arrays;
}
