#include "Identifier.h"

#include "TextBlanks.h"

#include <algorithm>
#include <cstddef>

namespace {

// The words that no array may be named: the keywords of C up to C23 and of
// C++ up to C++23, alternative operator spellings included, as the code may
// go in a header shared by both.
constexpr std::string_view kKeywords =
    "_Alignas _Alignof _Atomic _BitInt _Bool _Complex _Decimal128 _Decimal32 _Decimal64 "
    "_Generic _Imaginary _Noreturn _Pragma _Static_assert _Thread_local alignas alignof and "
    "and_eq asm auto bitand bitor bool break case catch char char16_t char32_t char8_t "
    "class co_await co_return co_yield compl concept const const_cast consteval constexpr "
    "constinit continue decltype default delete do double dynamic_cast else enum explicit "
    "export extern false float for friend goto if inline int long mutable namespace new "
    "noexcept not not_eq nullptr operator or or_eq private protected public register "
    "reinterpret_cast requires restrict return short signed sizeof static static_assert "
    "static_cast struct switch template this thread_local throw true try typedef typeid "
    "typename typeof typeof_unqual union unsigned using virtual void volatile wchar_t while "
    "xor xor_eq";

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
