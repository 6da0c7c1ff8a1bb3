#pragma once

// Save As for a sprite: a new header that holds it, or its declaration added
// to a C file that exists, which otherwise stays as it is.

#include <string>
#include <string_view>

// The text of a new header holding one declaration: an include guard made
// from `fileName`'s base name, the XBM-style size defines when
// `bSizeDefines`, and the declaration (which gets a line break if it has
// none).
std::string NewHeaderText(std::string_view fileName, std::string_view spriteName, int width,
                          int height, std::string_view declaration, bool bSizeDefines);

// `text` with `declaration` added: before the include guard's closing
// "#endif" where the file has a guard, else at the end after a blank line,
// in the file's own line endings. No other byte changes.
std::string AppendDeclaration(std::string_view text, std::string_view declaration);
