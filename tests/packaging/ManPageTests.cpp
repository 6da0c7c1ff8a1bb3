// The manual page is made from the help text, whatever that text holds. Each
// page is read back through groff with every warning on: it must format
// cleanly, each help heading must become a section of its own, and every line
// of prose must come out whole, however awkward its characters are to roff.

#include "Assets.h"
#include "ResourceTypes.h"

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Rendered {
    QString text;
    QString warnings;
};

// The page as a terminal shows it, in lines too long to break, without bold
// or underlining.
Rendered Render(const std::string& page) {
    QProcess groff;
    groff.start(QStringLiteral("groff"),
                {QStringLiteral("-man"), QStringLiteral("-Tutf8"), QStringLiteral("-ww"),
                 QStringLiteral("-P-cbou"), QStringLiteral("-rLL=2000n")});
    groff.write(page.data(), static_cast<qint64>(page.size()));
    groff.closeWriteChannel();
    if (!groff.waitForFinished(30000) || groff.exitCode() != 0)
        return {{}, QStringLiteral("groff did not run: ") + groff.errorString()};
    return {QString::fromUtf8(groff.readAllStandardOutput()),
            QString::fromUtf8(groff.readAllStandardError())};
}

QString Normal(const QString& text) {
    return text.simplified().toLower();
}

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Every heading of `help` is a section heading of the page, alone on its line
// in capitals, every line of prose is in the page word for word, and each
// row of keys starts a line.
void ExpectHelpInPage(std::string_view help, const Rendered& page) {
    EXPECT_EQ(page.warnings.toStdString(), "");
    const QStringList pageLines = page.text.split(QLatin1Char('\n'));
    const QString pageText = Normal(page.text);
    for (const QString& line : FromUtf8(help).split(QLatin1Char('\n'))) {
        const QString trimmed = line.simplified();
        if (trimmed.isEmpty())
            continue;
        if (!line.front().isSpace()) {
            EXPECT_TRUE(pageLines.contains(trimmed.toUpper()))
                << "no section \"" << trimmed.toUpper().toStdString() << "\" in\n"
                << page.text.toStdString();
            continue;
        }
        EXPECT_TRUE(pageText.contains(Normal(trimmed)))
            << "\"" << trimmed.toStdString() << "\" is not in\n"
            << page.text.toStdString();
        // A row of keys, a tab and a command starts a line of its own.
        const QString keys = line.section(QLatin1Char('\t'), 0, 0).simplified();
        if (line.contains(QLatin1Char('\t')) && !keys.isEmpty()) {
            EXPECT_TRUE(std::any_of(
                pageLines.begin(), pageLines.end(),
                [&](const QString& pageLine) { return pageLine.simplified().startsWith(keys); }))
                << "no line starts with \"" << keys.toStdString() << "\" in\n"
                << page.text.toStdString();
        }
    }
}

TEST(ManPage, TheBuiltPageFormatsCleanlyAndSaysWhatTheHelpSays) {
    QFile file(QStringLiteral(GLIMMET_MAN_PAGE));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const Rendered page = Render(file.readAll().toStdString());
    ExpectHelpInPage(HelpText(), page);
    ExpectHelpInPage(CommandLineHelp(), page);
    EXPECT_TRUE(page.text.contains(QStringLiteral("\n       ") +
                                   FromUtf8(Version().originalFilename) +
                                   QStringLiteral(" - " GLIMMET_SUMMARY "\n")))
        << page.text.toStdString();
}

struct AwkwardHelp {
    const char* what;
    std::string_view help;
};

TEST(ManPage, AwkwardHelpTextComesOutWhole) {
    const AwkwardHelp cases[] = {
        {"lines that look like requests",
         "Dots\n  .SH is not a heading here\n  'tis not a request either\n"},
        {"backslashes and escapes", "Paths\n  C:\\sprites\\ship.h and \\fBnot bold\\fR, \\n.\n"},
        {"characters beyond ASCII", "Gr\xC3\xB6\xC3\x9F"
                                    "e\n  16 \xC3\x97 8 \xE2\x80\x94 caf\xC3\xA9.\n"},
        {"quotes and apostrophes in a heading", "\"Quoted\" and 'single' heading\n  Text.\n"},
        {"tabs, carriage returns and no final line end",
         "Keys\r\n\tTab\tmoves\r\n  Esc closes\r\n\n\n  a second paragraph"},
        {"a table of keys between prose",
         "Commands\n  Keys that send them:\n  Ctrl+Z\tUndo\n  Ctrl+Shift+Z, Ctrl+Y\tRedo\n"
         "  .Dotted\t'quoted\n  Prose after the table\n  goes on.\n"},
        {"prose before any heading", "  Some prose first.\nLater\n  More prose.\n"},
        {"a heading and nothing else", "Lonely\n"},
        {"nothing at all", ""},
    };
    const std::vector<std::string> description = {".Leading dot", "Second \\ paragraph"};
    for (const AwkwardHelp& awkward : cases) {
        SCOPED_TRACE(awkward.what);
        const std::string page = ManPage({
            .name = "glimmet",
            .source = "Glimmet 1.0",
            .date = "2026-12-07",
            .summary = "draw \"sprites\"",
            .description = description,
            .help = awkward.help,
            .author = "The authors",
            .copyright = "Copyright (C) 2026",
        });
        const Rendered rendered = Render(page);
        ExpectHelpInPage(awkward.help, rendered);
        for (const char* expected :
             {"glimmet - draw \"sprites\"", ".Leading dot", "Second \\ paragraph", "The authors"})
            EXPECT_TRUE(Normal(rendered.text).contains(Normal(QString::fromUtf8(expected))))
                << expected << " is not in\n"
                << rendered.text.toStdString();
    }
}

} // namespace
