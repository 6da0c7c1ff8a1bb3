#include "HistoryText.h"

#include "SpriteRaster.h"

#include <algorithm>

namespace {

constexpr std::string_view kFormatLine = "glimmet-history 1";
constexpr std::string_view kCountWord = "steps";
constexpr char kHexDigits[] = "0123456789ABCDEF";

// Takes the next line of `text`, which must end in a line feed.
std::optional<std::string_view> NextLine(std::string_view& text) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos)
        return std::nullopt;
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end + 1);
    return line;
}

// The words of `line`, split at each blank: two blanks in a row, or a blank
// at either end, give an empty word. None when there are more than `max`.
std::optional<std::vector<std::string_view>> Words(std::string_view line, std::size_t max) {
    std::vector<std::string_view> words;
    for (;;) {
        if (words.size() == max)
            return std::nullopt;
        const std::size_t blank = line.find(' ');
        words.push_back(line.substr(0, blank));
        if (blank == std::string_view::npos)
            return words;
        line.remove_prefix(blank + 1);
    }
}

// A decimal number of at most four digits as WriteHistoryText writes it:
// no sign, no leading zero.
std::optional<int> SmallNumber(std::string_view word) {
    if (word.empty() || word.size() > 4 || (word.size() > 1 && word.front() == '0'))
        return std::nullopt;
    int value = 0;
    for (const char c : word) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void AppendStep(std::string& text, const SpriteState& step) {
    text += std::to_string(step.nWidth) + ' ' + std::to_string(step.nHeight) + ' ' +
            (step.bLaidOut ? '1' : '0');
    if (step.bLaidOut) {
        for (int row = 0; row < step.nHeight; ++row) {
            text += ' ';
            const std::size_t first =
                static_cast<std::size_t>(row) * static_cast<std::size_t>(step.nWidth);
            for (int column = 0; column < step.nWidth; column += 4) {
                unsigned digit = 0;
                for (int bit = 0; bit < 4; ++bit)
                    digit = (digit << 1) |
                            (step.pixels[first + static_cast<std::size_t>(column + bit)] & 1u);
                text += kHexDigits[digit];
            }
        }
    }
    text += '\n';
}

std::optional<SpriteState> ReadStep(std::string_view line) {
    // Width, height, laid out, and at most one word per row.
    const auto words = Words(line, 3 + kMaxSpriteRows);
    if (!words || words->size() < 3)
        return std::nullopt;
    const std::optional<int> width = SmallNumber((*words)[0]);
    const std::optional<int> height = SmallNumber((*words)[1]);
    const std::string_view laidOut = (*words)[2];
    // The size is checked before any pixel is stored.
    if (!width || !height || (laidOut != "0" && laidOut != "1") ||
        !IsSpriteState({*width, *height, {}, false}))
        return std::nullopt;
    SpriteState step{*width, *height, {}, laidOut == "1"};
    const std::size_t rows = step.bLaidOut ? static_cast<std::size_t>(*height) : 0;
    if (words->size() != 3 + rows)
        return std::nullopt;
    step.pixels.reserve(rows * static_cast<std::size_t>(*width));
    for (std::size_t row = 0; row < rows; ++row) {
        const std::string_view digits = (*words)[3 + row];
        if (digits.size() != static_cast<std::size_t>(*width / 4))
            return std::nullopt;
        for (const char c : digits) {
            const int value = HexValue(c);
            if (value < 0)
                return std::nullopt;
            for (int bit = 3; bit >= 0; --bit)
                step.pixels.push_back(static_cast<std::uint32_t>((value >> bit) & 1));
        }
    }
    return step;
}

} // namespace

std::string WriteHistoryText(std::span<const SpriteState> steps) {
    const auto count = static_cast<std::size_t>(std::count_if(
        steps.begin(), steps.end(), [](const SpriteState& step) { return IsSpriteState(step); }));
    std::string text;
    text += kFormatLine;
    text += '\n';
    text += std::string(kCountWord) + ' ' + std::to_string(count) + '\n';
    for (const SpriteState& step : steps)
        if (IsSpriteState(step))
            AppendStep(text, step);
    return text;
}

std::optional<std::vector<SpriteState>> ReadHistoryText(std::string_view text,
                                                        std::size_t maxSteps) {
    if (text.size() > kMaxHistoryTextBytes)
        return std::nullopt;
    if (NextLine(text) != kFormatLine)
        return std::nullopt;
    const std::optional<std::string_view> countLine = NextLine(text);
    const auto countWords = countLine ? Words(*countLine, 2) : std::nullopt;
    if (!countWords || countWords->size() != 2 || (*countWords)[0] != kCountWord)
        return std::nullopt;
    const std::optional<int> count = SmallNumber((*countWords)[1]);
    if (!count || static_cast<std::size_t>(*count) > maxSteps)
        return std::nullopt;

    std::vector<SpriteState> steps;
    steps.reserve(static_cast<std::size_t>(*count));
    for (int i = 0; i < *count; ++i) {
        const std::optional<std::string_view> line = NextLine(text);
        if (!line)
            return std::nullopt;
        std::optional<SpriteState> step = ReadStep(*line);
        if (!step)
            return std::nullopt;
        steps.push_back(std::move(*step));
    }
    if (!text.empty())
        return std::nullopt;
    return steps;
}
