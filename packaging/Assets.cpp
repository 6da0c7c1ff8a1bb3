#include "Assets.h"

#include "Resource.h"
#include "ResourceTypes.h"
#include "TextBlanks.h"

#include <QImage>
#include <QString>

#include <cstddef>
#include <cstdio>
#include <utility>

namespace {

const IconImage* LargestImageDividing(int size) {
    const IconImage* best = nullptr;
    for (const IconResource& icon : Icons()) {
        if (icon.id != IDR_MAINFRAME)
            continue;
        for (const IconImage& image : icon.images) {
            if (image.size > 0 && size % image.size == 0 && (!best || image.size > best->size))
                best = &image;
        }
    }
    return best;
}

// Plain text as the body of a roff text line. Backslashes are escaped and
// characters beyond ASCII named by code point, so the page reads the same in
// any locale; control characters become blanks. A line that starts with '.'
// or '\'' would be taken as a request, so a zero-width character leads it.
std::string RoffText(std::string_view text) {
    std::string out;
    const QString decoded = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    for (const char32_t c : decoded.toUcs4()) {
        if (c == '\\') {
            out += "\\e";
        } else if (c < 0x20 || c == 0x7F) {
            out += ' ';
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            char name[16];
            std::snprintf(name, sizeof name, "\\[u%04X]", static_cast<unsigned>(c));
            out += name;
        }
    }
    if (!out.empty() && (out.front() == '.' || out.front() == '\''))
        out.insert(0, "\\&");
    return out;
}

// A macro argument: quoted, so that blanks stay inside it.
std::string RoffArgument(std::string_view text) {
    std::string out = "\"";
    for (const char c : RoffText(text)) {
        if (c == '"')
            out += "\\(dq";
        else
            out += c;
    }
    return out + "\"";
}

std::string Upper(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))
        .toUpper()
        .toStdString();
}

// The help's sections. Its lines are broken to fit a window, so the page
// refills them; a line that ends a sentence still ends its line, since the
// help starts each gesture or key on a line of its own. Lines of keys, a
// tab and a command become a table of tagged paragraphs without space
// between them: the keys, and the command beside or below them.
void AppendHelp(std::string& page, std::string_view help, bool afterText) {
    bool paragraphDue = afterText;
    bool breakDue = false;
    bool inTable = false;
    const auto endTable = [&] {
        if (std::exchange(inTable, false))
            page += ".PD\n";
        return true;
    };
    while (!help.empty()) {
        const std::size_t end = help.find('\n');
        const std::string_view raw = help.substr(0, end);
        help.remove_prefix(end == std::string_view::npos ? help.size() : end + 1);

        const std::string_view line = TrimLineBlanks(raw);
        if (line.empty()) {
            paragraphDue = afterText;
            continue;
        }
        if (!IsLineBlank(raw.front())) {
            endTable();
            page += ".SH\n" + RoffText(Upper(line)) + "\n";
            paragraphDue = breakDue = afterText = false;
            continue;
        }
        if (const std::size_t tab = line.find('\t'); tab != std::string_view::npos) {
            if (!inTable)
                page += (afterText ? ".PP\n" : "") + std::string(".PD 0\n");
            page += ".TP 24n\n" + RoffText(TrimLineBlanks(line.substr(0, tab))) + "\n" +
                    RoffText(TrimLineBlanks(line.substr(tab + 1))) + "\n";
            paragraphDue = breakDue = false;
            afterText = inTable = true;
            continue;
        }
        if ((inTable && endTable()) || paragraphDue)
            page += ".PP\n";
        else if (breakDue)
            page += ".br\n";
        page += RoffText(line) + "\n";
        breakDue = line.back() == '.' || line.back() == '!' || line.back() == '?';
        paragraphDue = false;
        afterText = true;
    }
    endTable();
}

} // namespace

QImage ApplicationIcon(int size, std::string& error) {
    const IconImage* image =
        size > 0 && size <= kMaxIconSize ? LargestImageDividing(size) : nullptr;
    if (!image) {
        error = "the application icon has no image that scales to " + std::to_string(size) + " x " +
                std::to_string(size) + " by a whole factor";
        return {};
    }
    const int factor = size / image->size;
    const auto pixel = [&](int x, int y) {
        return image->pixels[static_cast<std::size_t>(y / factor * image->size + x / factor)];
    };
    QImage icon(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            icon.setPixel(x, y, pixel(x, y));
    return icon;
}

std::string ManPage(const ManPageText& text) {
    std::string page =
        ".\\\" Made at build time from the program's help text and version record.\n";
    page += ".TH " + RoffArgument(Upper(text.name)) + " 1 " + RoffArgument(text.date) + " " +
            RoffArgument(text.source) + " \"User Commands\"\n";
    page += ".SH NAME\n" + RoffText(text.name) + " \\- " + RoffText(text.summary) + "\n";
    page += ".SH SYNOPSIS\n.B " + RoffArgument(text.name) + "\n";

    bool afterText = false;
    if (!text.description.empty()) {
        page += ".SH DESCRIPTION\n";
        for (const std::string& paragraph : text.description) {
            if (afterText)
                page += ".PP\n";
            page += RoffText(TrimLineBlanks(paragraph)) + "\n";
            afterText = true;
        }
    }
    AppendHelp(page, text.help, afterText);

    if (!text.author.empty())
        page += ".SH AUTHOR\n" + RoffText(text.author) + "\n";
    if (!text.copyright.empty())
        page += ".SH COPYRIGHT\n" + RoffText(text.copyright) + "\n";
    return page;
}
