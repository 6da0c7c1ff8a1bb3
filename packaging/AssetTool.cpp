// Writes one file of the install that is made from the program's resources:
//
//   glimmet_assets icon SIZE OUTPUT.png
//       the application icon at SIZE x SIZE pixels, as PNG;
//   glimmet_assets man OUTPUT.1 DATE SUMMARY [PARAGRAPH...]
//       the manual page: the summary and the paragraphs describe the program,
//       the window's help, the command line's help and the version record
//       give the rest.
//
// A failure leaves no output file behind and says why on the standard error.

#include "Assets.h"
#include "NumberText.h"
#include "ResourceTypes.h"

#include <QImage>
#include <QImageWriter>
#include <QString>

#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage = "usage: glimmet_assets icon SIZE OUTPUT.png\n"
                               "       glimmet_assets man OUTPUT.1 DATE SUMMARY [PARAGRAPH...]";

int Fail(const std::string& message) {
    std::fprintf(stderr, "glimmet_assets: %s\n", message.c_str());
    return 1;
}

int WriteIcon(const std::string& sizeText, const char* path) {
    const std::optional<int> size = ParseWholeNumber(sizeText, 1, kMaxIconSize);
    if (!size)
        return Fail("the size must be a whole number from 1 to " + std::to_string(kMaxIconSize) +
                    ", not \"" + sizeText + "\"");
    std::string error;
    const QImage icon = ApplicationIcon(*size, error);
    if (icon.isNull())
        return Fail(error);

    QImageWriter writer(QString::fromLocal8Bit(path), "png");
    if (!writer.write(icon)) {
        std::remove(path);
        return Fail(std::string("cannot write ") + path + ": " +
                    writer.errorString().toStdString());
    }
    return 0;
}

int WriteManPage(const char* path, const std::string& date, const std::string& summary,
                 const std::vector<std::string>& description) {
    if (date.empty() || summary.empty())
        return Fail("the manual page needs a date and a summary");
    const VersionRecord& version = Version();
    const std::string source =
        std::string(version.productName) + " " + std::string(version.productVersionText);
    // The window's help, then the command line's, each in the help's form.
    const std::string help = std::string(HelpText()) + "\n" + std::string(CommandLineHelp());
    const std::string page = ManPage({
        .name = version.originalFilename,
        .source = source,
        .date = date,
        .summary = summary,
        .description = description,
        .help = help,
        .author = version.author,
        .copyright = version.legalCopyright,
    });

    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << page;
    out.close();
    if (!out) {
        std::remove(path);
        return Fail(std::string("cannot write ") + path);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 3 && args[0] == "icon")
        return WriteIcon(args[1], argv[3]);
    if (args.size() >= 4 && args[0] == "man")
        return WriteManPage(argv[2], args[2], args[3], {args.begin() + 4, args.end()});
    return Fail(kUsage);
}
