#pragma once

// The shapes of the resources that the framework reads: dialog templates,
// strings, menus, accelerator tables and icons, and the styles that act on
// them. A program writes its resources in these shapes and hands them over
// once with AfxSetResourceTables; the framework finds them by id. Positions
// and sizes in dialog templates are dialog units.

#include <array>
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

// The id of a control the program never names: a label or a frame.
inline constexpr int kUnnamedControlId = -1;

struct ControlTemplate {
    int id; // kUnnamedControlId for a control the program never names
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

// A menu: commands, separators and submenus. The keys of a command are not
// written in its text: a menu names the accelerator table whose keys it
// shows, and each command is shown with the first keys that send it.
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
    int accelerators = 0; // the accelerator table whose keys it shows
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

// One image of an icon: `size` rows of `size` pixels, row by row, each
// 0xAARRGGBB with straight alpha (0 is transparent).
struct IconImage {
    int size;
    std::span<const std::uint32_t> pixels;
};

struct IconResource {
    int id;
    std::span<const IconImage> images;
};

// Icon artwork is written as rows of characters: a hex digit (capitals only)
// indexes the 16-colour palette, '.' is a transparent pixel. IconArt turns
// such rows into an image's pixels when the program is compiled, so the
// program never decodes artwork at run time and malformed artwork does not
// compile.
inline constexpr std::uint32_t kIconPalette[16] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

namespace afx_detail {
// Reached only for a character that is no artwork: in a constant expression
// the call is an error.
inline std::uint32_t NotIconArt() {
    return 0;
}
} // namespace afx_detail

constexpr std::uint32_t IconArtPixel(char c) {
    if (c == '.')
        return 0;
    if (c >= '0' && c <= '9')
        return 0xFF000000u | kIconPalette[c - '0'];
    if (c >= 'A' && c <= 'F')
        return 0xFF000000u | kIconPalette[c - 'A' + 10];
    return afx_detail::NotIconArt();
}

template <std::size_t N>
consteval std::array<std::uint32_t, N * N> IconArt(const std::string_view (&rows)[N]) {
    std::array<std::uint32_t, N * N> pixels{};
    for (std::size_t y = 0; y < N; ++y) {
        if (rows[y].size() != N)
            afx_detail::NotIconArt(); // every row is as long as there are rows
        for (std::size_t x = 0; x < N; ++x)
            pixels[y * N + x] = IconArtPixel(rows[y][x]);
    }
    return pixels;
}

// The resources the framework looks up by id. The program hands them over
// before it makes its first window; the tables must outlive every window.
struct AfxResourceTables {
    std::span<const DialogTemplate> dialogs = {};
    std::span<const StringResource> strings = {};
    std::span<const MenuResource> menus = {};
    std::span<const AcceleratorTable> accelerators = {};
    std::span<const IconResource> icons = {};
};

void AfxSetResourceTables(const AfxResourceTables& tables);
const AfxResourceTables& AfxGetResourceTables();
