// Feeds the pasted-text reader any bytes and checks its contract: either an
// error with a position inside the text, or readings that each make a whole
// sprite of 0/1 pixels in a size the editor can hold, never both. An exact
// read must be Glimmet's own line, so emitting its sprite again gives the
// line the text starts with, blanks aside. MakeIdentifier must give a C identifier for the same
// bytes.

#include "ArrayReader.h"
#include "Identifier.h"
#include "SourceEmitter.h"
#include "TextBlanks.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

[[noreturn]] void Fail(const char* what, std::string_view text) {
    std::fprintf(stderr, "array reader invariant broken: %s\ninput: %.*s\n", what,
                 static_cast<int>(text.size()), text.data());
    std::abort();
}

int LineCount(std::string_view text) {
    int lines = 1;
    for (std::size_t k = 0; k < text.size(); ++k)
        if (text[k] == '\n' || (text[k] == '\r' && (k + 1 == text.size() || text[k + 1] != '\n')))
            ++lines;
    return lines;
}

// The text without any blank, C or Unicode: what is left of Glimmet's line
// however a clipboard or mail window spaced it.
std::string Squeezed(std::string_view text) {
    std::string squeezed;
    for (std::size_t at = 0; at < text.size();) {
        if (const std::size_t blank = UnicodeBlankBytes(text.substr(at))) {
            at += blank;
        } else {
            if (!IsCBlank(text[at]))
                squeezed += text[at];
            ++at;
        }
    }
    return squeezed;
}

void CheckReading(const SpriteReading& reading, std::string_view text) {
    if (reading.width != 8 && reading.width != 16 && reading.width != 32)
        Fail("a reading whose width is not 8, 16 or 32", text);
    if (reading.height < 1 || reading.height > 16)
        Fail("a reading whose height is not 1 to 16", text);
    if (reading.pixels.size() != static_cast<std::size_t>(reading.width * reading.height))
        Fail("a reading whose pixel count is not width * height", text);
    for (const std::uint32_t pixel : reading.pixels)
        if (pixel > 1)
            Fail("a pixel that is neither 0 nor 1", text);
    if (DescribeReading(reading).empty())
        Fail("a reading with no label", text);
}

void CheckRead(std::string_view text) {
    const ArrayReadResult result = ReadSpriteArray(text);
    if (result.error.has_value() == !result.readings.empty())
        Fail("not exactly one of an error and readings", text);
    if (result.error) {
        const ArrayReadError& error = *result.error;
        if (error.message.empty())
            Fail("an error with no message", text);
        if (error.line < 1 || error.line > LineCount(text) || error.column < 1 ||
            static_cast<std::size_t>(error.column) > text.size() + 1)
            Fail("an error position outside the text", text);
        if (!result.name.empty() || result.bExact || !result.notice.empty())
            Fail("an error that also names, notices or claims an exact read", text);
        return;
    }
    for (const SpriteReading& reading : result.readings)
        CheckReading(reading, text);
    if (result.bExact) {
        const SpriteReading& reading = result.readings.front();
        const int widthIndex = reading.width == 8 ? 0 : reading.width == 16 ? 1 : 2;
        if (result.readings.size() != 1 || reading.layout != PixelLayout::RowsMsbFirst)
            Fail("an exact read that is not one reading of rows", text);
        if (!Squeezed(text).starts_with(
                Squeezed(EmitDeclaration(widthIndex, result.name, reading.height, reading.pixels))))
            Fail("an exact read that does not emit the line the text starts with", text);
    }
}

void CheckIdentifier(std::string_view text) {
    const std::string identifier = MakeIdentifier(text);
    if (identifier.empty() || (identifier[0] >= '0' && identifier[0] <= '9'))
        Fail("MakeIdentifier gave an empty name or one starting with a digit", text);
    for (const char c : identifier)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
              c == '_'))
            Fail("MakeIdentifier gave a character no identifier may hold", text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckRead(text);
    CheckIdentifier(text);
    return 0;
}
