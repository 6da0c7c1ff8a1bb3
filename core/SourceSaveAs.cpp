#include "SourceSaveAs.h"

#include "Identifier.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace {

bool IsWordChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view LineBreakOf(std::string_view text) {
    return text.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
}

std::string WithLineBreaks(std::string_view text, std::string_view lineBreak) {
    std::string out;
    for (const char c : text) {
        if (c == '\n')
            out += lineBreak;
        else if (c != '\r')
            out += c;
    }
    return out;
}

// A preprocessor line: where it starts and its first two words ("ifndef",
// "GUARD_H").
struct Directive {
    std::size_t start = 0;
    std::string_view keyword;
    std::string_view name;
};

std::string_view NextWord(std::string_view line, std::size_t& at) {
    while (at < line.size() && IsBlank(line[at]))
        ++at;
    const std::size_t start = at;
    while (at < line.size() && IsWordChar(line[at]))
        ++at;
    return line.substr(start, at - start);
}

// Where the include guard's closing "#endif" starts: the file's first
// directives are "#ifndef NAME" and "#define NAME", and its last directive
// is "#endif" with nothing but blanks and comments after it. None for a file
// without such a guard.
std::optional<std::size_t> GuardEnd(std::string_view text) {
    std::vector<Directive> directives;
    bool bCodeAfterLast = false;
    bool bInComment = false;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        const std::string_view line = text.substr(at, end - at);
        std::size_t first = 0;
        while (first < line.size() && IsBlank(line[first]))
            ++first;
        const std::string_view rest = line.substr(first);
        if (bInComment) {
            bInComment = rest.find("*/") == std::string_view::npos;
        } else if (rest.starts_with("#")) {
            std::size_t word = first + 1;
            const std::string_view keyword = NextWord(line, word);
            directives.push_back({at, keyword, NextWord(line, word)});
            bCodeAfterLast = false;
        } else if (rest.starts_with("/*")) {
            bInComment = rest.find("*/", 2) == std::string_view::npos;
        } else if (!rest.empty() && !rest.starts_with("//")) {
            bCodeAfterLast = true;
        }
        at = end + 1;
    }
    if (directives.size() < 3 || bCodeAfterLast)
        return std::nullopt;
    const Directive& open = directives[0];
    const Directive& define = directives[1];
    if (open.keyword != "ifndef" || define.keyword != "define" || open.name.empty() ||
        define.name != open.name || directives.back().keyword != "endif")
        return std::nullopt;
    return directives.back().start;
}

} // namespace

std::string NewHeaderText(std::string_view fileName, std::string_view spriteName, int width,
                          int height, std::string_view declaration, bool bSizeDefines) {
    const std::string_view base = fileName.substr(fileName.find_last_of("/\\") + 1);
    std::string guard = MakeIdentifier(base);
    std::transform(guard.begin(), guard.end(), guard.begin(), [](char c) {
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    });
    if (!guard.ends_with("_H"))
        guard += "_H";
    std::string text = "#ifndef " + guard + "\n#define " + guard + "\n\n";
    if (bSizeDefines) {
        const std::string name = MakeIdentifier(spriteName);
        text += "#define " + name + "_width " + std::to_string(width) + "\n";
        text += "#define " + name + "_height " + std::to_string(height) + "\n\n";
    }
    text += declaration;
    if (!declaration.ends_with('\n'))
        text += '\n';
    return text + "\n#endif\n";
}

std::string AppendDeclaration(std::string_view text, std::string_view declaration) {
    const std::string_view lineBreak = LineBreakOf(text);
    std::string added = WithLineBreaks(declaration, lineBreak);
    if (!added.ends_with(lineBreak))
        added += lineBreak;
    std::string out;
    if (const std::optional<std::size_t> endif = GuardEnd(text)) {
        out.append(text.substr(0, *endif));
        out += added;
        out += lineBreak;
        out.append(text.substr(*endif));
        return out;
    }
    out = text;
    if (!out.empty() && !out.ends_with('\n'))
        out += lineBreak;
    if (!out.empty())
        out += lineBreak;
    return out + added;
}
