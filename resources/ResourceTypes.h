#pragma once

// The shapes of the resources: plain data that the windowing layer reads.
// Positions and sizes in dialog templates are dialog units.

#include <cstdint>
#include <span>
#include <string_view>

// The window and control styles that the windowing layer acts on.
inline constexpr std::uint32_t WS_CAPTION = 0x00C00000u;
inline constexpr std::uint32_t WS_BORDER = 0x00800000u;
inline constexpr std::uint32_t WS_SYSMENU = 0x00080000u;
inline constexpr std::uint32_t WS_GROUP = 0x00020000u;
inline constexpr std::uint32_t WS_TABSTOP = 0x00010000u;
inline constexpr std::uint32_t WS_EX_APPWINDOW = 0x00040000u;
inline constexpr std::uint32_t ES_MULTILINE = 0x0004u;
inline constexpr std::uint32_t ES_AUTOVSCROLL = 0x0040u;
inline constexpr std::uint32_t ES_READONLY = 0x0800u;
inline constexpr std::uint32_t SS_CENTER = 0x0001u;
inline constexpr std::uint32_t SS_CENTERIMAGE = 0x0200u;
inline constexpr std::uint32_t UDS_SETBUDDYINT = 0x0002u;
inline constexpr std::uint32_t UDS_ALIGNRIGHT = 0x0004u;
inline constexpr std::uint32_t UDS_ARROWKEYS = 0x0020u;
inline constexpr std::uint32_t UDS_AUTOBUDDY = 0x0010u;

enum class ControlKind {
    GroupBox,
    AutoRadioButton,
    PushButton,
    Edit,
    UpDown,
    Static,
    StaticIcon,
};

struct ControlTemplate {
    int id;
    ControlKind kind;
    std::uint32_t style;
    std::string_view text;
    int x, y, cx, cy;
    int image = 0; // the icon resource of a static icon
    // What assistive technology calls the control, where its text does not
    // say it (an edit named by the group box around it).
    std::string_view accessibleName = {};
};

struct DialogTemplate {
    int id;
    std::uint32_t style;
    std::uint32_t exStyle;
    int cx, cy;
    std::string_view caption;
    // The size of the system's sans-serif that the template was laid out in.
    int pointSize;
    std::span<const ControlTemplate> controls;
};

// Strings of the string table that the windowing layer itself looks up.
// The warning for a whole number outside its range; %1 and %2 stand for the
// range's ends.
inline constexpr int AFX_IDP_PARSE_INT_RANGE = 0xF113;

struct StringResource {
    int id;
    std::string_view text;
};

// A menu: commands, separators and submenus. A command's text may end in a
// tab and the keys that stand for it, as the accelerator table names them.
enum class MenuItemKind { Command, RadioCommand, Separator, Popup };

struct MenuItemResource {
    MenuItemKind kind;
    int id; // the command; 0 for a separator or a submenu
    std::string_view text;
    std::span<const MenuItemResource> popup = {};
};

struct MenuResource {
    int id;
    std::span<const MenuItemResource> items;
};

// Keys that send a command, written as a key sequence ("Ctrl+Shift+Z").
struct AcceleratorResource {
    std::string_view keys;
    int command;
};

struct AcceleratorTable {
    int id;
    std::span<const AcceleratorResource> entries;
};

// One image of an icon: `size` rows of `size` characters. Each character is a
// hex digit indexing the 16-colour palette, or '.' for a transparent pixel.
struct IconImage {
    int size;
    std::span<const std::string_view> rows;
};

struct IconResource {
    int id;
    std::span<const IconImage> images;
};

// The 16-colour palette the icon images index, as 0xRRGGBB.
inline constexpr std::uint32_t kIconPalette[16] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

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

// The program's resources. The windowing layer looks up templates, strings
// and icons by id; the shell reads the rest.
std::span<const DialogTemplate> DialogTemplates();
std::span<const StringResource> StringTable();
std::span<const IconResource> Icons();
std::span<const MenuResource> Menus();
std::span<const AcceleratorTable> AcceleratorTables();
const VersionRecord& Version();
// The short help that the help command shows, as plain text.
std::string_view HelpText();
// What `glimmet --help` prints: the command line, its inputs, options and
// exit statuses, as plain text in the help's form.
std::string_view CommandLineHelp();
