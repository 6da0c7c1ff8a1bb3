#pragma once

// Which bytes count as blanks where Glimmet reads text, and trimming them.
// Every trim in the core goes through here, so that each kind of text is
// trimmed by one rule. Readers of UTF-8 also ask here which bytes continue a
// character.

#include <cstddef>
#include <string_view>

// Whether `c` continues a UTF-8 character rather than starting one.
constexpr bool IsUtf8Continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The blanks a typed number may carry around its digits.
bool IsSpaceOrTab(char c);

// The blanks of C source: space, horizontal and vertical tab, form feed,
// carriage return and line feed.
bool IsCBlank(char c);

// The blanks at the ends of a line of text split at its line feeds: space,
// tab and the carriage return of a CR LF line end.
bool IsLineBlank(char c);

// The length in bytes of the Unicode blank that `text` starts with, in
// UTF-8, or 0: the no-break space (U+00A0), the spaces U+2000 to U+200B, the
// narrow no-break space (U+202F), the medium mathematical space (U+205F), the
// ideographic space (U+3000) and the byte-order mark (U+FEFF). Text copied
// from documents, web pages and chat windows carries them where a plain
// space was meant.
std::size_t UnicodeBlankBytes(std::string_view text);

// `text` without the spaces and tabs at either end.
std::string_view TrimSpacesAndTabs(std::string_view text);

// A line without the spaces, tabs and carriage returns at either end.
std::string_view TrimLineBlanks(std::string_view line);

// `text` without the C blanks and Unicode blanks at either end.
std::string_view TrimBlanks(std::string_view text);
