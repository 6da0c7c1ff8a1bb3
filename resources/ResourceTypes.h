#pragma once

// The program's resources: the tables the windowing layer looks up by id
// (written in its shapes, DlgTemplate.h), the version record and the help.

#include "DlgTemplate.h"

#include <span>
#include <string_view>

// What the program says of itself: who makes it (its settings are kept
// under that name), its name, its versions and its desktop identity. The file version is compiled
// in so that the binary names the exact build it is.
struct VersionRecord {
    std::string_view companyName;
    std::string_view productName;
    std::string_view productVersionText;
    std::string_view fileVersionText;
    std::string_view appId;
    // What the manual page names: the command, its authors and the notice.
    std::string_view originalFilename;
    std::string_view author;
    std::string_view legalCopyright;
};

std::span<const DialogTemplate> DialogTemplates();
std::span<const StringResource> StringTable();
std::span<const IconResource> Icons();
std::span<const MenuResource> Menus();
std::span<const AcceleratorTable> AcceleratorTables();
// All of the above, as the windowing layer takes them.
const AfxResourceTables& ResourceTables();
const VersionRecord& Version();
// The short help that the help command shows, as plain text. Its lines that
// start in the first column head a section; a line of the form
// "  keys<TAB>command" names the keys of one command of the editor's menu,
// as the accelerator table gives them.
std::string_view HelpText();
// What `glimmet --help` prints: the command line, its inputs, options and
// exit statuses, as plain text in the help's form.
std::string_view CommandLineHelp();
