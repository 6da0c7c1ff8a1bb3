// The two dialog templates. Positions and sizes are dialog units; the
// controls stand in tab order.

#include "Resource.h"
#include "ResourceTypes.h"
#include "Version.h"

#include <string>

namespace {

constexpr std::uint32_t kNoticeStyle = SS_CENTER | SS_CENTERIMAGE | WS_GROUP;

constexpr ControlTemplate kEditorControls[] = {
    {IDC_STATIC, ControlKind::GroupBox, 0, "Width", 240, 0, 55, 53},
    {IDC_WIDTH8, ControlKind::AutoRadioButton, WS_GROUP, "8 Pixels", 246, 8, 43, 14, 0,
     "Width: 8 Pixels"},
    {IDC_WIDTH16, ControlKind::AutoRadioButton, 0, "16 Pixels", 246, 22, 43, 14, 0,
     "Width: 16 Pixels"},
    {IDC_WIDTH32, ControlKind::AutoRadioButton, 0, "32 Pixels", 246, 36, 43, 14, 0,
     "Width: 32 Pixels"},
    {IDC_STATIC, ControlKind::GroupBox, 0, "Generated Code", 5, 155, 290, 55},
    {IDC_CODE, ControlKind::Edit,
     ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY | WS_BORDER | WS_TABSTOP, "", 10, 165, 280, 40, 0,
     "Generated code"},
    {IDC_STATIC, ControlKind::GroupBox, 0, "Height", 240, 55, 55, 30},
    {IDC_NEW, ControlKind::PushButton, WS_TABSTOP, "New", 240, 125, 55, 15},
    {IDC_MAKECODE, ControlKind::PushButton, WS_TABSTOP, "Make Code", 240, 140, 55, 15},
    {IDC_STATIC, ControlKind::GroupBox, 0, "Drawing Area", 5, 0, 230, 120},
    {IDC_STATIC, ControlKind::GroupBox, 0, "Sprite Name", 240, 90, 55, 30},
    {IDC_NAME, ControlKind::Edit, WS_BORDER | WS_TABSTOP, "", 245, 100, 45, 12, 0, "Sprite name"},
    {IDC_HEIGHT, ControlKind::Edit, WS_BORDER | WS_TABSTOP, "", 245, 65, 45, 15, 0, "Height"},
    {IDC_HEIGHT_SPIN, ControlKind::UpDown,
     UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS, "Spin1", 290, 50, 11, 15, 0,
     "Height steps"},
    {IDC_STATIC, ControlKind::GroupBox, 0, "Preview", 180, 120, 55, 35},
    {IDC_STATIC, ControlKind::Static, kNoticeStyle, "Korvex Glimmet 1.0", 10, 125, 160, 10},
    {IDC_STATIC, ControlKind::Static, kNoticeStyle, VER_AUTHOR_STR, 11, 134, 160, 10},
    {IDC_STATIC, ControlKind::Static, kNoticeStyle, "Left click to draw, and right click to erase",
     10, 143, 160, 10},
    {IDC_STATIC, ControlKind::GroupBox, 0, "", 5, 120, 170, 35},
};

constexpr ControlTemplate kAboutControls[] = {
    {IDC_STATIC, ControlKind::StaticIcon, 0, "", 7, 7, 21, 20, IDR_MAINFRAME},
    {IDC_STATIC, ControlKind::Static, WS_GROUP, "Korvex Glimmet Version 1.0 \n" VER_AUTHOR_STR, 35,
     7, 127, 19},
};

// The commands of a dialog's OK and Cancel buttons, as the windowing layer
// knows them.
constexpr int kOkCommand = 1;
constexpr int kCancelCommand = 2;

// The radio buttons take their labels from the output form tables; the
// template gives each group its slots, one below the other, and the dialog
// shows one per row of the table and hides the rest. A new row of a table
// (core/OutputForm.cpp: the row, and for a layout its write and read
// functions) touches no other file while its group has a free slot. Each
// group box is drawn around the rows its table has today, and the dialog
// fits it to the rows it has when it opens: a box grows or shrinks by the
// slots' spacing for each row more or fewer, and what lies below the
// groups, and the dialog's bottom edge, move by as much as the lowest box's
// edge. So with today's tables the dialog is exactly this template.
constexpr ControlTemplate kCodeStyleControls[] = {
    {IDC_LAYOUT_BOX, ControlKind::GroupBox, 0, "Layout", 7, 5, 155, 70},
    {IDC_LAYOUT_FIRST, ControlKind::AutoRadioButton, WS_GROUP, "", 13, 16, 145, 14},
    {IDC_LAYOUT_FIRST + 1, ControlKind::AutoRadioButton, 0, "", 13, 30, 145, 14},
    {IDC_LAYOUT_FIRST + 2, ControlKind::AutoRadioButton, 0, "", 13, 44, 145, 14},
    {IDC_LAYOUT_FIRST + 3, ControlKind::AutoRadioButton, 0, "", 13, 58, 145, 14},
    {IDC_LAYOUT_FIRST + 4, ControlKind::AutoRadioButton, 0, "", 13, 72, 145, 14},
    {IDC_LAYOUT_LAST, ControlKind::AutoRadioButton, 0, "", 13, 86, 145, 14},
    {IDC_LANGUAGE_BOX, ControlKind::GroupBox, 0, "Language", 167, 5, 80, 56},
    {IDC_LANGUAGE_FIRST, ControlKind::AutoRadioButton, WS_GROUP, "", 173, 16, 70, 14},
    {IDC_LANGUAGE_FIRST + 1, ControlKind::AutoRadioButton, 0, "", 173, 30, 70, 14},
    {IDC_LANGUAGE_FIRST + 2, ControlKind::AutoRadioButton, 0, "", 173, 44, 70, 14},
    {IDC_LANGUAGE_LAST, ControlKind::AutoRadioButton, 0, "", 173, 58, 70, 14},
    {IDC_SIZE_BOX, ControlKind::GroupBox, 0, "Size", 252, 5, 103, 56},
    {IDC_SIZE_FIRST, ControlKind::AutoRadioButton, WS_GROUP, "", 258, 16, 93, 14},
    {IDC_SIZE_FIRST + 1, ControlKind::AutoRadioButton, 0, "", 258, 30, 93, 14},
    {IDC_SIZE_FIRST + 2, ControlKind::AutoRadioButton, 0, "", 258, 44, 93, 14},
    {IDC_SIZE_LAST, ControlKind::AutoRadioButton, 0, "", 258, 58, 93, 14},
    {IDC_SAMPLE_BOX, ControlKind::GroupBox, 0, "Make Code Writes", 7, 78, 348, 64},
    {IDC_SAMPLE, ControlKind::Edit,
     ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY | WS_BORDER | WS_TABSTOP, "", 13, 89, 336, 48, 0,
     "Sample of the generated code"},
    {kOkCommand, ControlKind::PushButton, WS_TABSTOP, "OK", 245, 147, 52, 15},
    {kCancelCommand, ControlKind::PushButton, WS_TABSTOP, "Cancel", 303, 147, 52, 15},
};

constexpr DialogTemplate kDialogs[] = {
    {IDD_ABOUTBOX, WS_CAPTION | WS_SYSMENU, 0, 169, 33, "About Glimmet", 8, kAboutControls},
    {IDD_EDITOR_DIALOG, WS_CAPTION | WS_SYSMENU, WS_EX_APPWINDOW, 302, 215, "", 8, kEditorControls},
    {IDD_CODE_STYLE, WS_CAPTION | WS_SYSMENU, 0, 362, 168, "Code Style", 8, kCodeStyleControls},
};

constexpr MenuItemResource kEditorCommands[] = {
    {MenuItemKind::Command, IDM_EDIT_UNDO, "&Undo"},
    {MenuItemKind::Command, IDM_EDIT_REDO, "&Redo"},
    {MenuItemKind::Separator, 0, ""},
    {MenuItemKind::Command, IDM_COPY_CODE, "Cop&y Code"},
    {MenuItemKind::Command, IDM_PASTE_SPRITE, "&Paste Sprite"},
    {MenuItemKind::Command, IDM_OPEN, "&Open..."},
    // Every letter of Save and Save As already marks another item of the
    // window menu; Ctrl+S and Ctrl+Shift+S stand for them.
    {MenuItemKind::Command, IDM_SAVE, "Save"},
    {MenuItemKind::Command, IDM_SAVE_AS, "Save As..."},
    {MenuItemKind::Separator, 0, ""},
    {MenuItemKind::Command, IDM_SHIFT_LEFT, "Shift &Left"},
    {MenuItemKind::Command, IDM_SHIFT_RIGHT, "Shift R&ight"},
    {MenuItemKind::Command, IDM_SHIFT_UP, "Shift U&p"},
    {MenuItemKind::Command, IDM_SHIFT_DOWN, "Shift &Down"},
    {MenuItemKind::Command, IDM_FLIP_HORIZONTAL, "Flip &Horizontally"},
    {MenuItemKind::Command, IDM_FLIP_VERTICAL, "Flip &Vertically"},
    {MenuItemKind::Command, IDM_INVERT, "&Invert"},
    {MenuItemKind::Separator, 0, ""},
    {MenuItemKind::Command, IDM_CODE_STYLE, "Code S&tyle..."},
};

constexpr MenuResource kMenus[] = {
    {IDR_EDITOR_MENU, kEditorCommands, IDR_EDITOR_ACCEL},
};

constexpr AcceleratorResource kEditorKeys[] = {
    {"Ctrl+Z", IDM_EDIT_UNDO},
    {"Ctrl+Shift+Z", IDM_EDIT_REDO},
    {"Ctrl+Y", IDM_EDIT_REDO},
    {"Ctrl+V", IDM_PASTE_SPRITE},
    {"Ctrl+O", IDM_OPEN},
    {"Ctrl+Left", IDM_SHIFT_LEFT},
    {"Ctrl+Right", IDM_SHIFT_RIGHT},
    {"Ctrl+Up", IDM_SHIFT_UP},
    {"Ctrl+Down", IDM_SHIFT_DOWN},
    {"Ctrl+Shift+H", IDM_FLIP_HORIZONTAL},
    {"Ctrl+Shift+V", IDM_FLIP_VERTICAL},
    {"Ctrl+I", IDM_INVERT},
    {"Ctrl+C", IDM_COPY_CODE},
    {"Ctrl+S", IDM_SAVE},
    {"Ctrl+Shift+S", IDM_SAVE_AS},
};

constexpr AcceleratorTable kAccelerators[] = {
    {IDR_EDITOR_ACCEL, kEditorKeys},
};

constexpr StringResource kStrings[] = {
    {IDS_ABOUTBOX, "&About Glimmet..."},
    {IDS_HELPMENU, "H&elp\tF1"},
    {AFX_IDP_PARSE_INT_RANGE, "Enter a whole number from %1 to %2."},
};

constexpr VersionRecord kVersion = {
    .companyName = VER_COMPANYNAME_STR,
    .productName = VER_PRODUCTNAME_STR,
    .productVersionText = VER_PRODUCTVERSION_STR,
    .fileVersionText = VER_FILEVERSION_STR,
    .appId = VER_APPID_STR,
    .originalFilename = VER_ORIGINALFILENAME_STR,
    .author = VER_AUTHOR_STR,
    .legalCopyright = VER_LEGALCOPYRIGHT_STR,
};

// The help, in two parts around the list of commands and their keys, which
// HelpText makes from the menu and the accelerator table.
constexpr std::string_view kHelpBeforeCommands =
    "Drawing\n"
    "  Press New to lay out an empty grid of the chosen width and height.\n"
    "  Left button: draw. Right button: erase. Click one cell or drag across many.\n"
    "  Changing the width or the height lays out a new, empty grid.\n"
    "  Every change can be undone: nothing drawn is lost.\n"
    "  A height typed into its field is one change, however many digits it has.\n"
    "  Closing Glimmet loses nothing either: the next start opens as always, and\n"
    "  Ctrl+Z brings back the last drawing, then the changes before it. (They are\n"
    "  kept in ~/.local/state/glimmet, or in glimmet under $XDG_STATE_HOME.)\n"
    "\n"
    "Keys\n"
    "  Tab moves between the fields: the width buttons, Generated Code, New,\n"
    "  Make Code, the name, the height and the drawing grid. Up and Down in the\n"
    "  height field step it, Up toward 1 and Down toward 16.\n"
    "  Enter presses the focused button; elsewhere it closes Glimmet, as does Esc.\n"
    "  F10 opens the window menu with every command, Help and About Glimmet;\n"
    "  Alt+Space does too, unless the window manager keeps it for its own menu.\n"
    "  The Menu key or Shift+F10 in the grid always opens the commands there.\n"
    "  F1 shows this help.\n"
    "\n"
    "Commands\n"
    "  Each command of the window menu, with the keys that send it anywhere in\n"
    "  the window. Undo takes back the last change to the drawing: nothing drawn\n"
    "  is lost. In the name and height fields the keys of Undo, Redo and Paste\n"
    "  Sprite work on the field's own text instead.\n";

constexpr std::string_view kHelpAfterCommands =
    "\n"
    "Drawing from the keyboard\n"
    "  A click in the grid, or Tab from the height field, gives it the keyboard.\n"
    "  Arrows move the cell cursor. Space sets or clears the cell under it.\n"
    "  Shift+arrows move and set the cell entered. Delete clears the cell.\n"
    "  The shifts move the sprite by one pixel; pixels leaving one edge come back\n"
    "  at the other. The Menu key or Shift+F10 opens the commands over the grid.\n"
    "\n"
    "The generated code\n"
    "  Make Code writes the sprite as code named after it, in the form chosen\n"
    "  with Code Style... in the window menu: a layout, a language and a size\n"
    "  companion, shown on a sample of the sprite. OK keeps the choice, and\n"
    "  Glimmet remembers it. Select the text in Generated Code and copy it, or\n"
    "  press Ctrl+C in the grid (Copy Code in the menus): that makes the code\n"
    "  and copies it at once. In the fields and in Generated Code, Ctrl+C copies\n"
    "  their own text.\n"
    "\n"
    "  Layouts, and the calls that read them:\n"
    "\n"
    "  Rows, leftmost pixel high (the default): one hexadecimal constant per row,\n"
    "  top row first, the leftmost pixel its most significant bit; unsigned char\n"
    "  for 8 pixels, unsigned short int for 16, unsigned long int for 32. For\n"
    "  your own loops. At width 8 these are also the bytes drawBitmap-style calls\n"
    "  read; at 16 and 32 those calls need Row Bytes.\n"
    "\n"
    "  Row bytes, leftmost pixel high: (width + 7) / 8 bytes per row, the\n"
    "  leftmost pixel in the high bit. Read by drawBitmap-style calls, as in\n"
    "  drawBitmap(x, y, arrow, 16, 2, color), and by MicroPython's MONO_HLSB.\n"
    "\n"
    "  XBM bytes, leftmost pixel low: the same bytes with the leftmost pixel in\n"
    "  the low bit. Read by drawXBM-style calls, as in drawXBM(x, y, 16, 2,\n"
    "  arrow), by MONO_HMSB and as XBM images.\n"
    "\n"
    "  Vertical pages: pages of eight rows, each one byte per column, the page's\n"
    "  top row in the low bit. Copied into SSD1306-style page buffers one page\n"
    "  at a time; read by MONO_VLSB.\n"
    "\n"
    "  Languages: C (a static array), Arduino (const uint8_t, or uint16_t and\n"
    "  uint32_t for wide rows, in PROGMEM) and MicroPython (a bytearray and a\n"
    "  framebuf.FrameBuffer; rows are written as row bytes).\n"
    "  Size companions: none; #define lines for the width and the height (for\n"
    "  XBM bytes XBM's own name_width, name_height and name_bits, which make\n"
    "  the text an XBM image); or the width and height as the first two bytes,\n"
    "  for byte layouts only. MicroPython's FrameBuffer line states the size.\n"
    "  With a size companion, XBM bytes name the array name_bits and vertical\n"
    "  pages name it name_pages, so that pasting the text back tells them from\n"
    "  row bytes.\n"
    "\n"
    "  A 16 x 2 arrow whose rows are 0xC003 and 0x3C80, in C as rows:\n"
    "    static unsigned short int arrow[] = {0xC003,0x3C80};\n"
    "  for Arduino as row bytes, for drawBitmap:\n"
    "    const uint8_t arrow[] PROGMEM = {0xc0, 0x03, 0x3c, 0x80};\n"
    "  and for MicroPython as row bytes:\n"
    "    arrow = bytearray(b'\\xc0\\x03\\x3c\\x80')\n"
    "    arrow_fb = framebuf.FrameBuffer(arrow, 16, 2, framebuf.MONO_HLSB)\n"
    "\n"
    "Pasting a sprite\n"
    "  Paste Sprite in the window menu reads a C array from the clipboard; text\n"
    "  dropped on the window is read the same way. For example:\n"
    "    static unsigned char ship[] = {0x81,0x00};\n"
    "    const uint8_t logo[] PROGMEM = {\n"
    "      0xFF, 0x00,\n"
    "      0x0F, 0xF0 };\n"
    "    byte b[] = {B10000001, 0b00011000};\n"
    "    unsigned char d[] = {255, 0, 129};\n"
    "    {0x3C, 0x42}\n"
    "  Every form Make Code writes is read: #define size companions, leading size\n"
    "  bytes, uint8_t, uint16_t and uint32_t with PROGMEM, and MicroPython\n"
    "  bytearray(b'...') or bytes(...) with a framebuf.FrameBuffer line.\n"
    "  Glimmet's own text comes back as it was drawn, as does an XBM file or a\n"
    "  FrameBuffer that states size and layout. Values that make more than\n"
    "  one sprite are shown as pictures, the likeliest first (by the size and\n"
    "  drawing call in the text, then by which looks like a drawing): choose\n"
    "  one with a click, or the arrows and Enter; Esc leaves the drawing as it\n"
    "  is. A bare list keeps the name in the field. Text that cannot be read is\n"
    "  named in a message with its line and column, and nothing changes.\n"
    "\n"
    "Opening an image\n"
    "  Open... (Ctrl+O) in the window menu reads a picture file, as does dropping\n"
    "  one on the window: PNG, BMP, GIF, JPEG, PBM, PGM, PPM, XBM and the like.\n"
    "  Dark pixels are set; in a picture with transparency, the opaque ones. A\n"
    "  picture up to 32 x 16 keeps its size, in the narrowest width of 8, 16 or\n"
    "  32 that holds it; a larger one is scaled down to fit, and the name field\n"
    "  says so. Pictures up to 2048 pixels a side open, most PNG and JPEG up to\n"
    "  8192. The sprite is named after the file.\n"
    "  Undo takes a paste or an image back.\n"
    "\n"
    "Editing a C file\n"
    "  Open... also takes C and C++ source (a header, a sketch, any text that\n"
    "  holds an array): what the file holds decides, not its name. So does the\n"
    "  command line, with the array named after a colon:\n"
    "    glimmet images.h:logo_bits\n"
    "  A file with one array opens it; with several, each is shown with its\n"
    "  name, size and picture, in file order. A two-dimensional array\n"
    "  frames[4][32] is listed as frames[0] to frames[3], each drawn and saved\n"
    "  on its own. Arrays larger than 32 x 16 are listed greyed. The size comes\n"
    "  from the file (#define logo_width 16, leading size bytes, a descriptor);\n"
    "  where it says none, the readings are shown as for a paste.\n"
    "  Save (Ctrl+S) writes the sprite back: only that array's values change,\n"
    "  in the file's own form, and every other byte stays. A file changed on\n"
    "  disk since it was opened is not overwritten without asking; you may\n"
    "  keep the file on disk and reopen it. Save As... (Ctrl+Shift+S) writes\n"
    "  the sprite to a new header, or adds it to a C file that exists. The\n"
    "  title shows the sprite and the file, with * while there are unsaved\n"
    "  changes, and closing asks to save them. Undo runs across saves.\n";

// The menu text of a command without its mnemonic marks.
std::string CommandName(std::string_view text) {
    std::string name;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size())
            ++i;
        name += text[i];
    }
    return name;
}

// One line per command that has keys, in the menu's order: the keys, a tab,
// and the command's name.
void AppendCommandKeys(std::string& help, std::span<const MenuItemResource> items) {
    for (const MenuItemResource& item : items) {
        AppendCommandKeys(help, item.popup);
        std::string keys;
        for (const AcceleratorResource& entry : kEditorKeys)
            if (item.kind != MenuItemKind::Separator && entry.command == item.id)
                (keys += keys.empty() ? "" : ", ") += entry.keys;
        if (!keys.empty())
            help += "  " + keys + "\t" + CommandName(item.text) + "\n";
    }
}

} // namespace

std::string_view HelpText() {
    static const std::string help = [] {
        std::string text(kHelpBeforeCommands);
        AppendCommandKeys(text, kEditorCommands);
        return text += kHelpAfterCommands;
    }();
    return help;
}

std::span<const DialogTemplate> DialogTemplates() {
    return kDialogs;
}
std::span<const MenuResource> Menus() {
    return kMenus;
}
std::span<const AcceleratorTable> AcceleratorTables() {
    return kAccelerators;
}
std::span<const StringResource> StringTable() {
    return kStrings;
}
const AfxResourceTables& ResourceTables() {
    static const AfxResourceTables tables = {
        .dialogs = kDialogs,
        .strings = kStrings,
        .menus = kMenus,
        .accelerators = kAccelerators,
        .icons = Icons(),
    };
    return tables;
}
const VersionRecord& Version() {
    return kVersion;
}
