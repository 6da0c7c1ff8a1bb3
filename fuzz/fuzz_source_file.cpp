// Feeds the source-file document any bytes, then writes a sprite derived
// from the same bytes into every array it lists, and checks the promise a
// save makes: the edits never overlap, they lie inside the spans the array
// names (its values and size companions), every byte outside them stays, an
// unchanged sprite makes no edit, and what was written reads back as the
// sprite.

#include "SourceFile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

[[noreturn]] void Fail(const char* what, std::string_view text) {
    std::fprintf(stderr, "source file invariant broken: %s\ninput: %.*s\n", what,
                 static_cast<int>(text.size()), text.data());
    std::abort();
}

bool Inside(const TextSpan& inner, const TextSpan& outer) {
    return inner.offset >= outer.offset && inner.End() <= outer.End();
}

// Whether every edit lies in one of the spans the array names.
bool NamedByArray(const SourceEdit& edit, const SourceArray& array) {
    if (Inside(edit.span, array.values))
        return true;
    return std::any_of(
        array.companions.begin(), array.companions.end(),
        [&](const SizeCompanion& companion) { return Inside(edit.span, companion.span); });
}

void CheckRewrite(std::string_view text, const SourceArray& array, std::size_t nReading,
                  const SpriteReading& sprite, bool bSame) {
    const SourceRewrite rewrite = RewriteArray(text, array, nReading, sprite);
    if (!rewrite.error.empty()) {
        if (!rewrite.edits.empty())
            Fail("a refused rewrite with edits", text);
        if (bSame)
            Fail("an unchanged sprite refused", text);
        return;
    }
    if (bSame && !rewrite.edits.empty())
        Fail("an unchanged sprite makes an edit", text);
    std::size_t end = 0;
    for (const SourceEdit& edit : rewrite.edits) {
        if (edit.span.offset < end || edit.span.End() > text.size())
            Fail("edits overlap or run past the text", text);
        if (!NamedByArray(edit, array))
            Fail("an edit outside the spans the array names", text);
        end = edit.span.End();
    }
    // Every byte outside the edits stays, in order.
    const std::string written = ApplyEdits(text, rewrite.edits);
    std::size_t from = 0;
    std::size_t at = 0;
    for (const SourceEdit& edit : rewrite.edits) {
        const std::string_view kept = text.substr(from, edit.span.offset - from);
        if (written.compare(at, kept.size(), kept) != 0)
            Fail("a byte outside the edits changed", text);
        at += kept.size() + edit.text.size();
        from = edit.span.End();
    }
    if (written.compare(at, std::string::npos, text.substr(from)) != 0)
        Fail("a byte after the last edit changed", text);

    // What was written reads back as the sprite, where the file is still
    // listed the same way.
    const SourceFileReading reread = ReadSourceFile(written);
    for (const SourceArray& again : reread.arrays) {
        if (again.name != array.name || again.values.offset != array.values.offset)
            continue;
        const bool bFound = std::any_of(
            again.readings.begin(), again.readings.end(), [&](const SpriteReading& reading) {
                // Pages read from a file that states no height come back a
                // whole page high, the rows below the sprite clear.
                const std::size_t count = sprite.pixels.size();
                return reading.layout == sprite.layout && reading.width == sprite.width &&
                       reading.height >= sprite.height &&
                       std::equal(sprite.pixels.begin(), sprite.pixels.end(),
                                  reading.pixels.begin()) &&
                       std::all_of(reading.pixels.begin() + static_cast<std::ptrdiff_t>(count),
                                   reading.pixels.end(), [](std::uint32_t p) { return p == 0; });
            });
        // An array with no element type is as wide as its values say, and
        // decimal values that lost their high bits say less.
        if (!bFound && again.source == array.source && again.elementBits == array.elementBits &&
            again.IsOpenable())
            Fail("the written sprite does not read back", text);
        break;
    }
}

// The document's listing after a save is the listing of its new text.
void CheckStore(std::string_view text, std::size_t index, const SpriteReading& sprite) {
    CSourceFile file;
    if (file.Load(std::string(text)) || file.Store(index, 0, sprite))
        return;
    const SourceFileReading fresh = ReadSourceFile(file.Text());
    if (fresh.arrays.size() != file.Arrays().size())
        Fail("a save changed how many arrays are listed", text);
    for (std::size_t k = 0; k < fresh.arrays.size(); ++k) {
        const SourceArray& kept = file.Arrays()[k];
        const SourceArray& read = fresh.arrays[k];
        if (kept.name != read.name || kept.values != read.values ||
            kept.valueSpans != read.valueSpans || kept.elements != read.elements ||
            kept.readings.size() != read.readings.size())
            Fail("the listing after a save is not that of the new text", text);
        for (std::size_t r = 0; r < read.readings.size(); ++r)
            if (kept.readings[r].pixels != read.readings[r].pixels)
                Fail("a reading after a save is not that of the new text", text);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const SourceFileReading reading = ReadSourceFile(text);
    if (reading.error.has_value() != reading.arrays.empty())
        Fail("an error and arrays, or neither", text);
    std::uint32_t seed = 2166136261u;
    for (const std::uint8_t byte : text)
        seed = (seed ^ byte) * 16777619u;
    for (const SourceArray& array : reading.arrays) {
        if (array.values.End() > text.size())
            Fail("a values span past the text", text);
        for (std::size_t r = 0; r < array.readings.size(); ++r) {
            const SpriteReading& reading0 = array.readings[r];
            CheckRewrite(text, array, r, reading0, true);
            // The same size with other pixels, then one row more or less.
            SpriteReading sprite = reading0;
            for (std::uint32_t& pixel : sprite.pixels) {
                seed = seed * 1103515245u + 12345u;
                pixel = (seed >> 16) & 1u;
            }
            CheckRewrite(text, array, r, sprite, false);
            if (r == 0)
                CheckStore(text, static_cast<std::size_t>(&array - reading.arrays.data()), sprite);
            sprite.height = sprite.height < 16 ? sprite.height + 1 : sprite.height - 1;
            sprite.pixels.resize(static_cast<std::size_t>(sprite.width * sprite.height), 1u);
            CheckRewrite(text, array, r, sprite, false);
        }
    }
    return 0;
}
