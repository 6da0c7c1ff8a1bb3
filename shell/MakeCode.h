#pragma once

// The code for a sprite in the output forms a build asks for. The command
// line writes through here alone, so that it writes what Make Code writes.

#include <cstdint>
#include <string>
#include <vector>

// The three choices of an output form, by the keys they are stored under:
// layout "rows", "rowbytes", "xbm" or "pages"; language "c", "arduino" or
// "micropython"; size companion "none", "defines" or "leading". The defaults
// are the original declaration.
struct CodeChoices {
    std::string layout = "rows";
    std::string language = "c";
    std::string size = "none";
};

// A sprite: 8, 16 or 32 pixels wide, 1 to 16 rows, its pixels row by row
// as 0 or 1, and its name.
struct CodeSprite {
    int width = 8;
    int nHeight = 0;
    std::string name;
    std::vector<std::uint32_t> pixels;
};

// Why `choices` do not go together (a size companion the layout and
// language cannot take), as one sentence; empty when they do. Keys outside
// the lists above are the caller's to refuse.
std::string UnavailableChoice(const CodeChoices& choices);

// The code for `sprite`, byte for byte what Make Code writes for the same
// sprite and choices, without a final line end. The choices must be ones
// that UnavailableChoice accepts.
std::string MakeCode(const CodeSprite& sprite, const CodeChoices& choices);
