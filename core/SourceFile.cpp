#include "SourceFile.h"

#include "CDeclaration.h"
#include "CTokenizer.h"
#include "SourceEmitter.h"
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

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Lowered(std::string_view text) {
    std::string lowered(text);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(), Lower);
    return lowered;
}

// ---------------------------------------------------------------------------
// Defines and descriptors

// A number the file names: "#define NAME 16", or a descriptor's ".header.w = 16".
struct Define {
    std::string name;
    std::uint32_t value = 0;
    TextSpan span;
};

TextSpan SpanOf(const Token& token) {
    return {token.offset, token.text.size()};
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

// A one-bit image descriptor: the array it names and its size fields.
struct Descriptor {
    std::string_view data;
    bool bOneBit = false;
    std::optional<Define> width;
    std::optional<Define> height;
    std::optional<Define> dataSize;
};

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

// ---------------------------------------------------------------------------
// Arrays

// An array declaration with a list of integer literals, as the scan finds it.
struct FoundArray {
    ArrayDeclaration declaration;
    std::size_t nameOffset = 0;
    struct Value {
        std::uint32_t value = 0;
        TextSpan span;
        int digitBits = 8;
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
constexpr std::size_t kMaxValues = std::size_t{1} << 22;

int ValueBits(std::uint32_t value) {
    return value <= 0xFF ? 8 : value <= 0xFFFF ? 16 : 32;
}

// Reads the list whose opening brace `tokens` has just read, up to its
// closing brace. False for anything but integer literals in at most two
// levels of braces, or a list never closed.
bool ReadValues(CTokenizer& tokens, const Token& open, FoundArray& found) {
    int depth = 1;
    bool bLiterals = true;
    std::optional<FoundArray::Frame> frame;
    for (Token token = tokens.Next();; token = tokens.Next()) {
        if (token.kind == TokenKind::End || token.kind == TokenKind::Error)
            return false;
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
        if (!value || depth > 2 || found.values.size() == kMaxValues) {
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

// The readings of `elements` that agree with the statement, in the order
// the reader offers them. Pages cut to a stated height that is no multiple
// of eight keep the rows above it; the rows below are padding.
std::vector<SpriteReading> Candidates(const std::vector<std::uint32_t>& elements, int bits,
                                      const Statement& statement) {
    std::vector<SpriteReading> readings;
    for (SpriteReading& reading : AllReadings(elements, bits)) {
        const PixelLayout layout = reading.layout;
        if ((statement.layout && layout != *statement.layout) ||
            (statement.bXbm && layout != PixelLayout::RowsLsbFirst) ||
            (statement.bNoPages && layout == PixelLayout::VerticalPages) ||
            (statement.width && reading.width != *statement.width))
            continue;
        if (statement.height && layout == PixelLayout::VerticalPages &&
            *statement.height<reading.height&& * statement.height> reading.height - 8) {
            reading.height = *statement.height;
            reading.pixels.resize(static_cast<std::size_t>(reading.width * reading.height));
        }
        if (statement.height && reading.height != *statement.height)
            continue;
        readings.push_back(std::move(reading));
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
    explicit CReader(std::string_view text)
        : m_strText(text), m_defineList(FindDefines(text)), m_descriptors(FindDescriptors(text)) {
        for (const Define& define : m_defineList)
            m_defines.emplace(Lowered(define.name), &define);
    }

    std::vector<SourceArray> Arrays() {
        std::vector<SourceArray> arrays;
        for (const FoundArray& found : FindArrays(m_strText)) {
            if (!found.frames.empty() || found.declaration.rowLength > 0)
                AddFrames(found, arrays);
            else
                arrays.push_back(Read(found));
        }
        return arrays;
    }

private:
    const Define* FindDefine(const std::string& name) const {
        const auto found = m_defines.find(name);
        return found == m_defines.end() ? nullptr : found->second;
    }

    int ElementBits(const FoundArray& found, std::size_t first, std::size_t count) const {
        if (found.declaration.typeBits > 0)
            return found.declaration.typeBits;
        int bits = 8;
        for (std::size_t k = first; k < first + count; ++k)
            bits = std::max({bits, found.values[k].digitBits, ValueBits(found.values[k].value)});
        return bits;
    }

    // The defines that name the array's size: NAME_width and NAME_height in
    // any case, NAME being the array's name or that name without a suffix
    // such as "_bits".
    bool StateFromDefines(const FoundArray& found, SourceArray& array, Statement& statement) const {
        static constexpr std::string_view kSuffixes[] = {"",        "_bits", "_bmp",
                                                         "_bitmap", "_data", "_map"};
        const std::string name = Lowered(found.declaration.name);
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
        for (const Descriptor& descriptor : m_descriptors)
            if (descriptor.data == name && descriptor.bOneBit)
                return &descriptor;
        return nullptr;
    }

    SourceArray Read(const FoundArray& found) {
        SourceArray array;
        array.name = found.declaration.name;
        array.declaredName = found.declaration.name;
        const std::size_t total = found.values.size();
        array.elementBits = ElementBits(found, 0, total);
        const Token& size = found.declaration.sizeToken;
        if (size.kind == TokenKind::Number)
            array.companions.push_back({SizeCompanionKind::Count, SpanOf(size)});

        Statement statement;
        statement.bXbm = found.declaration.name.ends_with("_bits");
        std::size_t prefix = 0;
        const Descriptor* descriptor = FindDescriptor(found.declaration.name);
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
                return found.values[at].value + found.values[at + 1].value +
                       found.values[at + 2].value;
            };
            array.bInverted = lightness(4) > lightness(0);
            array.companions.push_back({SizeCompanionKind::Width, descriptor->width->span});
            array.companions.push_back({SizeCompanionKind::Height, descriptor->height->span});
            if (descriptor->dataSize)
                array.companions.push_back(
                    {SizeCompanionKind::DataSize, descriptor->dataSize->span});
        } else if (!StateFromDefines(found, array, statement) && total > 2 &&
                   array.elementBits == 8) {
            // Leading width and height bytes count the values after them.
            const std::uint32_t width = found.values[0].value;
            const std::uint32_t height = found.values[1].value;
            const std::size_t rest = total - 2;
            // Narrower sprites than a byte would make short lists of small
            // numbers look sized.
            const bool bSized = width >= 8 && height > 0;
            const bool bRows = bSized && (width + 7) / 8 * height == rest;
            const bool bPages = bSized && width * ((height + 7) / 8) == rest;
            if (bRows || bPages) {
                statement.source = SizeSource::LeadingBytes;
                statement.width = static_cast<int>(width);
                statement.height = static_cast<int>(height);
                statement.bNoPages = !bPages;
                if (!bRows)
                    statement.layout = PixelLayout::VerticalPages;
                prefix = 2;
                array.companions.push_back({SizeCompanionKind::Width, found.values[0].span});
                array.companions.push_back({SizeCompanionKind::Height, found.values[1].span});
            }
        }
        std::sort(array.companions.begin(), array.companions.end(),
                  [](const SizeCompanion& a, const SizeCompanion& b) {
                      return a.span.offset < b.span.offset;
                  });
        array.prefixCount = prefix;
        // The span is all inside the braces, or from the first pixel value
        // when size bytes or a palette come first.
        array.values = found.inside;
        if (prefix > 0 && prefix < total)
            array.values = {found.values[prefix].span.offset,
                            found.inside.End() - found.values[prefix].span.offset};
        else if (prefix > 0)
            array.values = {found.inside.End(), 0};
        Finish(found, prefix, total - std::min(prefix, total), statement, array);
        return array;
    }

    void AddFrames(const FoundArray& found, std::vector<SourceArray>& arrays) {
        std::vector<FoundArray::Frame> frames = found.frames;
        if (frames.empty() && found.declaration.rowLength > 0) {
            // A flat list: each frame is the next run of values.
            const std::size_t inner = found.declaration.rowLength;
            for (std::size_t first = 0; first + inner <= found.values.size(); first += inner) {
                const TextSpan from = found.values[first].span;
                const TextSpan to = found.values[first + inner - 1].span;
                frames.push_back({first, inner, {from.offset, to.End() - from.offset}});
            }
        }
        for (std::size_t k = 0; k < frames.size(); ++k) {
            const FoundArray::Frame& frame = frames[k];
            SourceArray array;
            array.declaredName = found.declaration.name;
            array.name = std::string(found.declaration.name) + "[" + std::to_string(k) + "]";
            array.nFrame = static_cast<int>(k);
            array.values = frame.span;
            array.elementBits = ElementBits(found, frame.first, frame.count);
            Statement statement;
            statement.bXbm = found.declaration.name.ends_with("_bits");
            StateFromDefines(found, array, statement);
            Finish(found, frame.first, frame.count, statement, array);
            arrays.push_back(std::move(array));
        }
    }

    // Reads the elements from `first` on as the statement says.
    void Finish(const FoundArray& found, std::size_t first, std::size_t count,
                const Statement& statement, SourceArray& array) {
        array.source = statement.source;
        array.elements.reserve(count);
        for (std::size_t k = first; k < first + count; ++k)
            array.elements.push_back(found.values[k].value);
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
        if (statement.source == SizeSource::Open && OwnLine(found)) {
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

    // Whether the found is Glimmet's own line, which reads one way.
    bool OwnLine(const FoundArray& found) const {
        const std::size_t end = m_strText.find(';', found.end);
        if (end == std::string_view::npos || end - found.nameOffset > 512)
            return false;
        for (const int width : {8, 16, 32}) {
            const std::string_view type = ElementType(width);
            if (found.nameOffset < type.size() ||
                m_strText.substr(found.nameOffset - type.size(), type.size()) != type)
                continue;
            const std::size_t start = found.nameOffset - type.size();
            return ReadSpriteArray(m_strText.substr(start, end + 1 - start)).bExact;
        }
        return false;
    }

    std::string_view m_strText;
    std::vector<Define> m_defineList;
    std::vector<Descriptor> m_descriptors;
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

bool IsSourceText(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return IsTextByte(static_cast<unsigned char>(c)); });
}

SourceFileReading ReadSourceFile(std::string_view text) {
    SourceFileReading reading;
    if (text.size() > kMaxSourceFileBytes) {
        reading.error = SourceFileError::TooLarge;
        return reading;
    }
    if (!IsSourceText(text)) {
        reading.error = SourceFileError::NotText;
        return reading;
    }
    reading.arrays = CReader(text).Arrays();
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
