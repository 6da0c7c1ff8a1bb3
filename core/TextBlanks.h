#pragma once

// Which bytes count as blanks where Glimmet reads text, and trimming them.
// Every trim in the core goes through here, so that each kind of text is
// trimmed by one rule.

#include <string_view>

// The blanks a typed number may carry around its digits.
bool IsSpaceOrTab(char c);

// The blanks of C source: space, horizontal and vertical tab, form feed,
// carriage return and line feed.
bool IsCBlank(char c);

// `text` without the spaces and tabs at either end.
std::string_view TrimSpacesAndTabs(std::string_view text);

// `text` without the C blanks at either end.
std::string_view TrimBlanks(std::string_view text);
