#include "SourceFile.h"

#include "CTokenizer.h"
#include "SourceEmitter.h"
#include "SourceLayout.h"
#include "SourceScan.h"
#include "SourceText.h"
#include "SpriteRaster.h"

#include <algorithm>
#include <unordered_map>

namespace {

// The most elements a sprite takes: 32 x 16 in bytes, or 16 rows of wider
// elements.
constexpr std::size_t kMaxSpriteBytes = kMaxSpriteColumns / 8 * kMaxSpriteRows;

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Lowered(std::string_view text) {
    std::string lowered(text);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(), Lower);
    return lowered;
}

// ---------------------------------------------------------------------------
// Readings

// What the file says about an array's size and bit order.
struct Statement {
    SizeSource source = SizeSource::Open;
    std::optional<int> width;
    std::optional<int> height;
    std::optional<CodeStyle> layout; // the byte layout, fixed when set
    bool bXbm = false;               // the rows are XBM's, leftmost pixel low
    bool bNoPages = false;
};

// The readings of `elements` that agree with the statement, in the order
// the reader offers them. A stated height below the reading's that takes as
// many elements (pages cut to a height that is no multiple of eight) reads
// the elements at that height: the rows below it are padding.
std::vector<SpriteReading> Candidates(const std::vector<std::uint32_t>& elements, int bits,
                                      const Statement& statement) {
    std::vector<SpriteReading> readings;
    for (SpriteReading& reading : AllReadings(elements, bits)) {
        const CodeStyle layout = reading.layout;
        if ((statement.layout && layout != *statement.layout) ||
            (statement.bXbm && layout != CodeStyle::Xbm) ||
            (statement.bNoPages && layout == CodeStyle::Pages) ||
            (statement.width && reading.width != *statement.width))
            continue;
        if (statement.height && *statement.height >= 1 && *statement.height < reading.height &&
            ElementCount(layout, bits, reading.width, *statement.height) == elements.size()) {
            if (std::optional<std::vector<std::uint32_t>> cut =
                    UnpackPixels(elements, bits, layout, reading.width, *statement.height)) {
                reading.height = *statement.height;
                reading.pixels = std::move(*cut);
            }
        }
        if (statement.height && reading.height != *statement.height)
            continue;
        readings.push_back(std::move(reading));
    }
    return readings;
}

// Why an array of this size cannot be opened, or empty when it can be.
// Whether the first two of a list of byte values, `width` and `height`,
// state the size of the `rest` after them, as rows or as pages. Narrower
// sprites than a byte would make short lists of small numbers look sized.
struct LeadingSize {
    bool bRows = false;
    bool bPages = false;
    bool Stated() const { return bRows || bPages; }
};
LeadingSize LeadingSizeOf(std::uint32_t width, std::uint32_t height, std::size_t rest) {
    const bool bSized = width >= 8 && height > 0;
    return {bSized && (width + 7) / 8 * height == rest,
            bSized && width * ((height + 7) / 8) == rest};
}

// Whether the declaration whose name starts at `nameOffset`, its list
// closed just before `end` and its semicolon after nothing but blanks, is
// Glimmet's own line for some sprite. Only its own text decides, never what
// follows it.
bool IsOwnLineAt(std::string_view text, std::size_t nameOffset, std::size_t end) {
    const std::size_t semicolon = text.find_first_not_of(" \t\r\n", end);
    if (semicolon == std::string_view::npos || text[semicolon] != ';' ||
        semicolon - nameOffset > 512)
        return false;
    for (const int width : {8, 16, 32}) {
        const std::string_view type = ElementType(width);
        if (nameOffset < type.size() || text.substr(nameOffset - type.size(), type.size()) != type)
            continue;
        const std::size_t start = nameOffset - type.size();
        return ReadSpriteArray(text.substr(start, semicolon + 1 - start)).bExact;
    }
    return false;
}

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
            bits = std::max(bits, found.values[k].digitBits);
        return bits;
    }

    // The defines that name the array's size: NAME_width and NAME_height in
    // any case, NAME being the array's name or that name without a suffix
    // such as "_bits".
    bool StateFromDefines(const FoundArray& found, SourceArray& array, Statement& statement) const {
        static constexpr std::string_view kSuffixes[] = {"",        "_bits", "_pages", "_bmp",
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
            // XBM's own spelling, lower-case "_width" and "_height", means
            // XBM's bit order; any other spelling the display libraries'
            // rows, leftmost pixel high.
            statement.bXbm = statement.bXbm ||
                             (width->name.ends_with("_width") && height->name.ends_with("_height"));
            if (!statement.bXbm)
                statement.layout = CodeStyle::RowBytes;
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
        array.nameOffset = found.nameOffset;
        const std::size_t total = found.values.size();
        array.elementBits = ElementBits(found, 0, total);
        array.bTypedElements = found.declaration.typeBits > 0;
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
            statement.layout = CodeStyle::RowBytes;
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
            const LeadingSize leading = LeadingSizeOf(width, height, total - 2);
            if (leading.Stated()) {
                statement.source = SizeSource::LeadingBytes;
                statement.width = static_cast<int>(width);
                statement.height = static_cast<int>(height);
                statement.bNoPages = !leading.bPages;
                if (!leading.bRows)
                    statement.layout = CodeStyle::Pages;
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
        const std::size_t declaredAll =
            size.kind == TokenKind::Number ? ReadLiteral(size.text).value_or(0) : 0;
        const std::size_t declared = declaredAll > prefix ? declaredAll - prefix : 0;
        Finish(found, prefix, total - std::min(prefix, total), declared, statement, array);
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
            array.bTypedElements = found.declaration.typeBits > 0;
            Statement statement;
            statement.bXbm = found.declaration.name.ends_with("_bits");
            StateFromDefines(found, array, statement);
            Finish(found, frame.first, frame.count, found.declaration.rowLength, statement, array);
            arrays.push_back(std::move(array));
        }
    }

    // Reads the elements from `first` on as the statement says; a declared
    // count beyond the values pads them with zeros, as C does.
    void Finish(const FoundArray& found, std::size_t first, std::size_t count, std::size_t declared,
                const Statement& statement, SourceArray& array) {
        array.source = statement.source;
        array.elements.reserve(count);
        array.valueSpans.reserve(count);
        for (std::size_t k = first; k < first + count; ++k) {
            array.elements.push_back(found.values[k].value);
            array.valueSpans.push_back(found.values[k].span);
        }
        if (declared > count && declared <= kMaxScannedValues)
            array.elements.resize(declared, 0u);
        count = array.elements.size();
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
        const std::uint64_t max = (std::uint64_t{1} << array.elementBits) - 1;
        if (std::any_of(array.elements.begin(), array.elements.end(),
                        [max](std::uint32_t value) { return value > max; })) {
            array.problem = "A value is too big for its " + std::to_string(array.elementBits) +
                            "-bit elements.";
            return;
        }
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
        return IsOwnLineAt(m_strText, found.nameOffset, found.end);
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
    // An unchanged sprite leaves the file as it is, byte for byte, whatever
    // its values would look like written anew.
    if (!bResized && sprite.layout == old.layout && sprite.pixels == old.pixels)
        return rewrite;
    if (bResized && array.nFrame >= 0) {
        rewrite.error = "Every frame of " + array.declaredName + " is " +
                        std::to_string(old.width) + " x " + std::to_string(old.height) +
                        "; a frame keeps that size.";
        return rewrite;
    }
    if (bits > 8 && sprite.width != bits) {
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
    // Values that run row by row are laid out again by rows.
    const bool bRows = ByteLayoutOf(sprite.layout).elementBytes != ElementBytes::None;
    ValuesEdit edit;
    edit.elements = elements;
    edit.oldPerRow = bRows ? static_cast<std::size_t>(old.width / bits) : 0;
    edit.newPerRow = bRows ? static_cast<std::size_t>(sprite.width / bits) : 0;
    edit.oldWidth = old.width;
    edit.newWidth = sprite.width;
    edit.oldPixels = old.pixels;
    edit.newPixels = sprite.pixels;
    const std::string_view values = text.substr(array.values.offset, array.values.length);
    std::vector<TextSpan> valueSpans;
    valueSpans.reserve(array.valueSpans.size());
    for (const TextSpan& span : array.valueSpans)
        if (span.offset >= array.values.offset && span.End() <= array.values.End())
            valueSpans.push_back({span.offset - array.values.offset, span.length});
    edit.values = valueSpans;
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
        // Only the numbers of what changed are written.
        const bool bChanged = companion.kind == SizeCompanionKind::Width ? sprite.width != old.width
                              : companion.kind == SizeCompanionKind::Height
                                  ? sprite.height != old.height
                                  : elements.size() != array.elements.size();
        if (!bChanged || companion.span.End() > text.size())
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
    SourceArray& array = m_arrays[nArray];
    const SourceRewrite rewrite = RewriteArray(m_strText, array, nReading, sprite);
    if (!rewrite.error.empty())
        return rewrite.error;
    if (rewrite.edits.empty())
        return std::nullopt;
    std::string text = ApplyEdits(m_strText, rewrite.edits);
    const SpriteReading& old = array.readings[nReading];
    const bool bValuesOnly =
        rewrite.edits.size() == 1 && rewrite.edits.front().span == array.values &&
        old.width == sprite.width && old.height == sprite.height && array.bTypedElements;
    // Only the values changed, in place: the array's own values are read
    // from the new span and every reading keeps its shape and shows the new
    // bits. A large file is not read again for one sprite.
    const SourceEdit& edit = rewrite.edits.front();
    std::vector<std::uint32_t> elements;
    std::vector<TextSpan> valueSpans;
    std::vector<std::vector<std::uint32_t>> pixels;
    if (bValuesOnly) {
        CTokenizer tokens(edit.text);
        for (Token token = tokens.Next();
             token.kind != TokenKind::End && token.kind != TokenKind::Error;
             token = tokens.Next()) {
            if (const std::optional<std::uint32_t> value = ReadLiteral(token.text)) {
                elements.push_back(*value);
                valueSpans.push_back({array.values.offset + token.offset, token.text.size()});
            }
        }
        for (const SpriteReading& reading : array.readings) {
            // The reading's own elements: missing ones are clear, and any
            // after them lie outside its shape.
            std::vector<std::uint32_t> held = elements;
            held.resize(
                ElementCount(reading.layout, array.elementBits, reading.width, reading.height), 0u);
            std::optional<std::vector<std::uint32_t>> fresh = UnpackPixels(
                held, array.elementBits, reading.layout, reading.width, reading.height);
            if (!fresh)
                break;
            if (array.bInverted)
                for (std::uint32_t& pixel : *fresh)
                    pixel ^= 1u;
            pixels.push_back(std::move(*fresh));
        }
    }
    // Values that state nothing of their size may come to: byte values
    // whose first two read as a width and height, or a declaration that
    // becomes, or stops being, Glimmet's own line (its hex digits' case is
    // told only by values that have letters).
    const bool bUnstated = array.nFrame < 0 && (array.source == SizeSource::Open ||
                                                array.source == SizeSource::OwnLine);
    const bool bRestated =
        bValuesOnly && bUnstated &&
        ((array.elementBits == 8 && elements.size() > 2 &&
          LeadingSizeOf(elements[0], elements[1], elements.size() - 2).Stated()) ||
         IsOwnLineAt(text, array.nameOffset, array.values.offset + edit.text.size() + 1) !=
             (array.source == SizeSource::OwnLine));
    if (!bValuesOnly || bRestated || pixels.size() != array.readings.size()) {
        // A new size changes the array's readings and may change what other
        // arrays read (a shared define), and where no type states the
        // element size the new values may state another: the file is read
        // afresh.
        SourceFileReading reading = ReadSourceFile(text);
        if (reading.error)
            return "The new text could not be read back.";
        m_strText = std::move(text);
        m_arrays = std::move(reading.arrays);
        return std::nullopt;
    }
    // Every span after the values moves by the change in length.
    const std::size_t oldEnd = edit.span.End();
    const auto movedOffset = [&](std::size_t& offset) {
        if (offset >= oldEnd)
            offset = offset - edit.span.length + edit.text.size();
    };
    const auto moved = [&](TextSpan& span) { movedOffset(span.offset); };
    for (SourceArray& other : m_arrays) {
        if (&other == &array)
            continue;
        movedOffset(other.nameOffset);
        moved(other.values);
        for (TextSpan& span : other.valueSpans)
            moved(span);
        for (SizeCompanion& companion : other.companions)
            moved(companion.span);
    }
    for (SizeCompanion& companion : array.companions)
        moved(companion.span);
    array.values.length = edit.text.size();
    array.valueSpans = std::move(valueSpans);
    array.elements = std::move(elements);
    for (std::size_t k = 0; k < pixels.size(); ++k)
        array.readings[k].pixels = std::move(pixels[k]);
    m_strText = std::move(text);
    return std::nullopt;
}
