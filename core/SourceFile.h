#pragma once

// A C source file as a document: every sprite array in it, where its values
// and size companions are written, how the file says it is read, and the
// file's new text once one of them is drawn anew.
//
// Only the array's values change on a write, with the numbers that state its
// size where the size changed; every other byte of the file stays as it was.

#include "ArrayReader.h"
#include "SourceText.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Larger files are refused before they are read.
inline constexpr std::size_t kMaxSourceFileBytes = std::size_t{16} << 20;

// A number elsewhere in the file that states an array's size.
enum class SizeCompanionKind {
    Width,    // "#define x_width 16", a leading width byte, ".header.w = 16"
    Height,   // the same for the height
    Count,    // the N of "x[N]": every element, leading bytes and palette included
    DataSize, // a descriptor's ".data_size": the bytes of its data, palette included
};

struct SizeCompanion {
    SizeCompanionKind kind = SizeCompanionKind::Width;
    TextSpan span; // the number's own text
};

// What fixed the reading of an array.
enum class SizeSource {
    Open,         // nothing: the user chooses among the readings
    Defines,      // "#define NAME_width" / "NAME_height", in any case
    LeadingBytes, // the first two values are the width and height
    Descriptor,   // a one-bit image descriptor names the array
    OwnLine,      // Glimmet's own declaration
};

// One sprite of the file: an array, or one frame of a two-dimensional array.
struct SourceArray {
    std::string name;           // "logo_bits", or "frames[2]" for a frame
    std::string declaredName;   // the array's name as declared
    int nFrame = -1;            // the frame's index, or -1
    std::size_t nameOffset = 0; // where the declared name is written
    // Where the pixel values are written: everything inside the braces (the
    // frame's braces for a frame), or from the first pixel value on where
    // leading size bytes or a palette come first.
    TextSpan values;
    std::vector<TextSpan> valueSpans; // each value written in it, in the file
    std::vector<SizeCompanion> companions;
    int elementBits = 8;                 // 8, 16 or 32
    bool bTypedElements = false;         // the type states elementBits, not the values
    std::vector<std::uint32_t> elements; // the span's values, then zeros up to a declared count
    std::size_t prefixCount = 0;         // leading size bytes or palette bytes before it
    SizeSource source = SizeSource::Open;
    bool bInverted = false; // a set pixel is a clear bit (the palette's colour 1 is the lighter)
    int width = 0;          // the size as the file states it, else of the first reading; 0 unknown
    int height = 0;
    // Every way the file allows to read it, most likely first: exactly one
    // where the file states the size and bit order. Empty when the array
    // cannot be opened, and `problem` says why.
    std::vector<SpriteReading> readings;
    std::string problem;

    bool IsOpenable() const { return !readings.empty(); }
};

enum class SourceFileError {
    TooLarge, // over kMaxSourceFileBytes
    NotText,  // a NUL or another control byte that text never holds
    NoArray,  // no array of integer literals
};

// Whether `text` can be C source: no NUL and no control byte other than
// blanks and line breaks. Bytes above ASCII pass in any encoding, so that a
// comment in Latin-1 never stops a file from opening.
bool IsSourceText(std::string_view text);

struct SourceFileReading {
    std::vector<SourceArray> arrays; // in file order; empty when error is set
    std::optional<SourceFileError> error;
};

// Lists every array of integer literals in `text`, frames of two-dimensional
// arrays one by one, with the reading the file states for each.
SourceFileReading ReadSourceFile(std::string_view text);

// One replacement in a file's text.
struct SourceEdit {
    TextSpan span; // in the text the edit applies to
    std::string text;
};

struct SourceRewrite {
    std::vector<SourceEdit> edits; // in file order, never overlapping
    std::string error;             // why the sprite cannot be written; then no edits
};

// The edits that write `sprite` into `array`, which was opened with its
// reading `nReading`: the values in that reading's layout and the span's own
// form, and where the width or height changed the count and companions.
// Edits that would change nothing are left out, so an unchanged sprite gives
// none. A frame keeps its array's size; an element wider than a byte keeps
// its width.
SourceRewrite RewriteArray(std::string_view text, const SourceArray& array, std::size_t nReading,
                           const SpriteReading& sprite);

// `text` with the edits made.
std::string ApplyEdits(std::string_view text, std::span<const SourceEdit> edits);

// The document: a file's text and its arrays, kept in step as sprites are
// stored into it.
class CSourceFile {
public:
    // Reads `text`; on an error the document stays as it was.
    std::optional<SourceFileError> Load(std::string text);

    const std::string& Text() const { return m_strText; }
    const std::vector<SourceArray>& Arrays() const { return m_arrays; }

    // The index of the array or frame listed under `name`, if any.
    std::optional<std::size_t> Find(std::string_view name) const;

    // Writes `sprite` into the array at `nArray`, read with its reading
    // `nReading`. On success the text is the new file's and the arrays are
    // read from it afresh; on failure the message says why and nothing
    // changes.
    std::optional<std::string> Store(std::size_t nArray, std::size_t nReading,
                                     const SpriteReading& sprite);

private:
    std::string m_strText;
    std::vector<SourceArray> m_arrays;
};
