#pragma once

// What the install holds beside the program, made at build time from the
// program's own resources so that the two never drift apart: the icon theme's
// images from the icon artwork, and the manual page from the help text.

#include <span>
#include <string>
#include <string_view>

class QImage;

// The largest icon the tool writes; icon themes hold nothing larger.
inline constexpr int kMaxIconSize = 1024;

// The application icon at `size` x `size` pixels: the artwork image of that
// size, or else the largest one that `size` is a whole multiple of, each of
// its pixels repeated as a square block so that the edges stay crisp.
// Transparent pixels are transparent black. A null image, and a message in
// `error`, when no artwork image fits. (Malformed artwork does not compile.)
QImage ApplicationIcon(int size, std::string& error);

// What a manual page says. Every field is plain text; `help` is the help
// window's text, whose lines that start in the first column head a section
// and whose indented lines are that section's prose.
struct ManPageText {
    std::string_view name;    // the command, as typed
    std::string_view source;  // the product and its version
    std::string_view date;    // of the release
    std::string_view summary; // one line: what the program is for
    std::span<const std::string> description;
    std::string_view help;
    std::string_view author;
    std::string_view copyright;
};

// The page in the man macro language, for section 1.
std::string ManPage(const ManPageText& text);
