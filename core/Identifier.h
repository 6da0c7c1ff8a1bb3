#pragma once

// The rules for the names Glimmet gives arrays: C identifiers that are no
// keyword of C or of C++, since the code may go in a header both include.

#include <string>
#include <string_view>

// A C identifier from a file's base name: invalid characters become '_', a
// leading digit gets a '_' prefix, a keyword a '_' suffix, and empty text
// gives "sprite". Used to name a sprite after an image file.
std::string MakeIdentifier(std::string_view text);

// Whether `text` is a C identifier as it is: ASCII letters, digits and '_',
// not starting with a digit, and no keyword of C (up to C23) or C++ (up to
// C++23). Exactly the non-empty texts that MakeIdentifier leaves unchanged.
bool IsCIdentifier(std::string_view text);
