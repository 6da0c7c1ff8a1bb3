#pragma once

// Reading whole numbers typed by the user.

#include <optional>
#include <string_view>

// The decimal integer in `text` if it lies in [min, max], else none. Blanks
// (spaces and tabs) around the digits are allowed and leading zeros are read
// as usual, so " 08 " is 8. A sign, other characters or no digits fail.
std::optional<int> ParseWholeNumber(std::string_view text, int min, int max);
