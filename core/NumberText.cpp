#include "NumberText.h"

#include "TextBlanks.h"

std::optional<int> ParseWholeNumber(std::string_view text, int min, int max) {
    text = TrimSpacesAndTabs(text);
    if (text.empty())
        return std::nullopt;

    // Accumulate with a ceiling so that no run of digits can overflow.
    long long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > max)
            return std::nullopt;
    }
    if (value < min)
        return std::nullopt;
    return static_cast<int>(value);
}
