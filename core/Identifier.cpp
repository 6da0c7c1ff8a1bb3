#include "Identifier.h"

#include <algorithm>
#include <cstddef>

namespace {

// The words C reserves, which no array may be named.
constexpr std::string_view kKeywords =
    "alignas alignof auto bool break case char const constexpr continue default do double "
    "else enum extern false float for goto if inline int long nullptr register restrict "
    "return short signed sizeof static static_assert struct switch thread_local true typedef "
    "typeof typeof_unqual union unsigned void volatile while";

bool IsKeyword(std::string_view word) {
    for (std::size_t at = 0; at < kKeywords.size();) {
        const std::size_t end = std::min(kKeywords.find(' ', at), kKeywords.size());
        if (kKeywords.substr(at, end - at) == word)
            return true;
        at = end + 1;
    }
    return false;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsIdentifierChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || IsDigit(c);
}

bool IsUtf8Continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

std::string MakeIdentifier(std::string_view text) {
    std::string identifier;
    for (std::size_t at = 0; at < text.size(); ++at) {
        // The bytes after a UTF-8 lead byte belong to its character, which
        // becomes one '_'.
        if (at > 0 && IsUtf8Continuation(text[at]) &&
            static_cast<unsigned char>(text[at - 1]) >= 0x80)
            continue;
        identifier += IsIdentifierChar(text[at]) ? text[at] : '_';
    }
    if (identifier.empty())
        return "sprite";
    if (IsDigit(identifier.front()))
        identifier.insert(identifier.begin(), '_');
    if (IsKeyword(identifier))
        identifier += '_';
    return identifier;
}

bool IsCIdentifier(std::string_view text) {
    return !text.empty() && MakeIdentifier(text) == text;
}
