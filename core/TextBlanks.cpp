#include "TextBlanks.h"

namespace {

template <typename IsBlank>
std::string_view Trim(std::string_view text, IsBlank isBlank) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

bool IsSpaceOrTab(char c) {
    return c == ' ' || c == '\t';
}

bool IsCBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\n';
}

bool IsLineBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view TrimSpacesAndTabs(std::string_view text) {
    return Trim(text, IsSpaceOrTab);
}

std::string_view TrimLineBlanks(std::string_view line) {
    return Trim(line, IsLineBlank);
}

std::size_t UnicodeBlankBytes(std::string_view text) {
    const auto byte = [text](std::size_t k) {
        return k < text.size() ? static_cast<unsigned char>(text[k]) : 0u;
    };
    if (byte(0) == 0xC2 && byte(1) == 0xA0)
        return 2;
    const unsigned last = byte(2);
    const bool bBlank3 =
        (byte(0) == 0xE2 && byte(1) == 0x80 && ((last >= 0x80 && last <= 0x8B) || last == 0xAF)) ||
        (byte(0) == 0xE2 && byte(1) == 0x81 && last == 0x9F) ||
        (byte(0) == 0xE3 && byte(1) == 0x80 && last == 0x80) ||
        (byte(0) == 0xEF && byte(1) == 0xBB && last == 0xBF);
    return bBlank3 ? 3 : 0;
}

std::string_view TrimBlanks(std::string_view text) {
    for (;;) {
        text = Trim(text, IsCBlank);
        if (const std::size_t lead = UnicodeBlankBytes(text)) {
            text.remove_prefix(lead);
        } else if (text.size() >= 2 && UnicodeBlankBytes(text.substr(text.size() - 2)) == 2) {
            text.remove_suffix(2);
        } else if (text.size() >= 3 && UnicodeBlankBytes(text.substr(text.size() - 3)) == 3) {
            text.remove_suffix(3);
        } else {
            return text;
        }
    }
}
