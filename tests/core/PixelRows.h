#pragma once

// Sprites written in tests as rows of '1' (set) and '0' (clear) characters.

#include <cstdint>
#include <string>
#include <vector>

// The pixels of the rows, top row first. Blanks only group the digits for the
// reader.
inline std::vector<std::uint32_t> PixelsFromRows(const std::vector<std::string>& rows) {
    std::vector<std::uint32_t> pixels;
    for (const std::string& row : rows)
        for (const char c : row)
            if (c != ' ')
                pixels.push_back(c == '1' ? 1u : 0u);
    return pixels;
}
