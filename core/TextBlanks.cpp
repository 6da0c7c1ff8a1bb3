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

std::string_view TrimSpacesAndTabs(std::string_view text) {
    return Trim(text, IsSpaceOrTab);
}

std::string_view TrimBlanks(std::string_view text) {
    return Trim(text, IsCBlank);
}
