// Feeds the pasted-text reader any bytes and checks its contract: either an
// error with a position inside the text, or readings that each make a whole
// sprite of 0/1 pixels in a size the editor can hold, never both; an exact
// read is one reading. The same bytes also make a sprite and a form (layout,
// language, size companion) whose written text must read back as that
// sprite, exactly or among the readings offered. MakeIdentifier must give a
// C identifier for the same bytes.

#include "ArrayReader.h"
#include "Identifier.h"
#include "OutputForm.h"
#include "SourceEmitter.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

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
    if (result.bExact && result.readings.size() != 1)
        Fail("an exact read that is not one reading", text);
}

// The first three bytes choose the form, the width and the height; the rest
// are the pixels, a bit each.
void CheckRoundTrip(std::string_view data) {
    if (data.size() < 3)
        return;
    const auto choice = static_cast<unsigned char>(data[0]);
    const std::span<const LayoutForm> layouts = Layouts();
    const std::span<const LanguageForm> languages = Languages();
    const std::span<const SizeForm> sizes = Sizes();
    const CodeForm form{layouts[choice % layouts.size()].style,
                        languages[choice / 4 % languages.size()].language,
                        sizes[choice / 16 % sizes.size()].size};
    const int width = 8 << (static_cast<unsigned char>(data[1]) % 3);
    const int height = 1 + static_cast<unsigned char>(data[2]) % 16;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width * height));
    for (std::size_t k = 0; k < pixels.size(); ++k) {
        const std::size_t byte = 3 + k / 8;
        pixels[k] =
            byte < data.size() ? (static_cast<unsigned char>(data[byte]) >> (k % 8)) & 1u : 0u;
    }
    const SpriteBits sprite{width, height, pixels};
    const std::string text = EmitCode(form, "s", sprite);
    const ArrayReadResult result = ReadSpriteArray(text);
    if (result.error)
        Fail("a written form that does not read back", text);
    // Without a stated size, pages come back in whole pages, the rows below
    // the sprite clear.
    for (const SpriteReading& reading : result.readings) {
        if (reading.width != width || reading.height < height)
            continue;
        bool bSame = true;
        for (std::size_t k = 0; k < reading.pixels.size() && bSame; ++k)
            bSame = reading.pixels[k] == (k < pixels.size() ? pixels[k] : 0u);
        if (bSame)
            return;
    }
    Fail("a written form whose sprite is not among its readings", text);
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
    CheckRoundTrip(text);
    CheckIdentifier(text);
    return 0;
}
