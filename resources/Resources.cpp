// The two dialog templates. Positions and sizes are dialog units; the
// controls stand in tab order.

#include "Resource.h"
#include "ResourceTypes.h"
#include "Version.h"

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

constexpr DialogTemplate kDialogs[] = {
    {IDD_ABOUTBOX, WS_CAPTION | WS_SYSMENU, 0, 169, 33, "About Glimmet", 8, kAboutControls},
    {IDD_EDITOR_DIALOG, WS_CAPTION | WS_SYSMENU, WS_EX_APPWINDOW, 302, 215, "", 8, kEditorControls},
};

constexpr MenuItemResource kCodeStyles[] = {
    {MenuItemKind::RadioCommand, IDM_STYLE_ROWS, "&Rows, Leftmost Pixel High"},
    {MenuItemKind::RadioCommand, IDM_STYLE_XBM, "&XBM Bytes, Leftmost Pixel Low"},
    {MenuItemKind::RadioCommand, IDM_STYLE_PAGES, "&Vertical Pages"},
};

constexpr MenuItemResource kEditorCommands[] = {
    {MenuItemKind::Command, IDM_EDIT_UNDO, "&Undo\tCtrl+Z"},
    {MenuItemKind::Command, IDM_EDIT_REDO, "&Redo\tCtrl+Shift+Z"},
    {MenuItemKind::Separator, 0, ""},
    {MenuItemKind::Command, IDM_COPY_CODE, "Cop&y Code\tCtrl+C"},
    {MenuItemKind::Command, IDM_PASTE_SPRITE, "&Paste Sprite\tCtrl+V"},
    {MenuItemKind::Command, IDM_OPEN_IMAGE, "&Open Image...\tCtrl+O"},
    {MenuItemKind::Separator, 0, ""},
    {MenuItemKind::Command, IDM_SHIFT_LEFT, "Shift &Left\tCtrl+Left"},
    {MenuItemKind::Command, IDM_SHIFT_RIGHT, "Shift R&ight\tCtrl+Right"},
    {MenuItemKind::Command, IDM_SHIFT_UP, "Shift U&p\tCtrl+Up"},
    {MenuItemKind::Command, IDM_SHIFT_DOWN, "Shift &Down\tCtrl+Down"},
    {MenuItemKind::Command, IDM_FLIP_HORIZONTAL, "Flip &Horizontally\tCtrl+Shift+H"},
    {MenuItemKind::Command, IDM_FLIP_VERTICAL, "Flip &Vertically\tCtrl+Shift+V"},
    {MenuItemKind::Command, IDM_INVERT, "&Invert\tCtrl+I"},
    {MenuItemKind::Separator, 0, ""},
    {MenuItemKind::Popup, 0, "Code &Style", kCodeStyles},
};

constexpr MenuResource kMenus[] = {
    {IDR_EDITOR_MENU, kEditorCommands},
};

constexpr AcceleratorResource kEditorKeys[] = {
    {"Ctrl+Z", IDM_EDIT_UNDO},           {"Ctrl+Shift+Z", IDM_EDIT_REDO},
    {"Ctrl+Y", IDM_EDIT_REDO},           {"Ctrl+V", IDM_PASTE_SPRITE},
    {"Ctrl+O", IDM_OPEN_IMAGE},          {"Ctrl+Left", IDM_SHIFT_LEFT},
    {"Ctrl+Right", IDM_SHIFT_RIGHT},     {"Ctrl+Up", IDM_SHIFT_UP},
    {"Ctrl+Down", IDM_SHIFT_DOWN},       {"Ctrl+Shift+H", IDM_FLIP_HORIZONTAL},
    {"Ctrl+Shift+V", IDM_FLIP_VERTICAL}, {"Ctrl+I", IDM_INVERT},
    {"Ctrl+C", IDM_COPY_CODE},
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

constexpr std::string_view kHelp =
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
    "  Ctrl+Z undoes the last change to the drawing; Ctrl+Shift+Z or Ctrl+Y redoes\n"
    "  it. In the name and height fields these keys undo the typing instead.\n"
    "  F10 opens the window menu with every command, Help and About Glimmet;\n"
    "  Alt+Space does too, unless the window manager keeps it for its own menu.\n"
    "  The Menu key or Shift+F10 in the grid always opens the commands there.\n"
    "  F1 shows this help.\n"
    "\n"
    "Drawing from the keyboard\n"
    "  A click in the grid, or Tab from the height field, gives it the keyboard.\n"
    "  Arrows move the cell cursor. Space sets or clears the cell under it.\n"
    "  Shift+arrows move and set the cell entered. Delete clears the cell.\n"
    "  Ctrl+Left, Ctrl+Right, Ctrl+Up and Ctrl+Down shift the sprite by one pixel;\n"
    "  pixels leaving one edge come back at the other. Ctrl+Shift+H flips it\n"
    "  left to right, Ctrl+Shift+V top to bottom, and Ctrl+I inverts it.\n"
    "  The Menu key or Shift+F10 opens these commands over the grid.\n"
    "\n"
    "The generated line\n"
    "  Make Code writes one C declaration named after the sprite, in the style\n"
    "  chosen under Code Style in the window menu. Glimmet remembers the choice.\n"
    "  Select the text in Generated Code and copy it into your program, or press\n"
    "  Ctrl+C in the grid (Copy Code in the menus): that makes the code and copies\n"
    "  it at once. In the fields and in Generated Code, Ctrl+C copies their text.\n"
    "\n"
    "  Rows, leftmost pixel high (the default): one hexadecimal constant per row,\n"
    "  top row first. The leftmost pixel of a row is its most significant bit.\n"
    "  The element type follows the width: unsigned char for 8 pixels, unsigned\n"
    "  short int for 16, unsigned long int for 32. An 8 x 2 sprite whose top row\n"
    "  has its two leftmost pixels and its rightmost pixel set:\n"
    "    static unsigned char ship[] = {0xC1,0x00};\n"
    "  drawn with drawBitmap-style calls: drawBitmap(x, y, ship, 8, 2, color).\n"
    "\n"
    "  XBM bytes, leftmost pixel low: each row as width / 8 bytes, the leftmost\n"
    "  pixel of each byte its least significant bit. The same sprite:\n"
    "    static unsigned char ship[] = {0x83, 0x00};\n"
    "  drawn with drawXBM-style calls: drawXBM(x, y, 8, 2, ship).\n"
    "\n"
    "  Vertical pages: the sprite cut into pages of eight rows, each page written\n"
    "  column by column, one byte per column, the page's top row in the least\n"
    "  significant bit, as SSD1306-style page buffers hold it. The same sprite:\n"
    "    static unsigned char ship[] = {0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01};\n"
    "  copied into the display's buffer one page at a time.\n"
    "\n"
    "Pasting a sprite\n"
    "  Ctrl+V, or Paste Sprite in the window menu, reads a C array from the\n"
    "  clipboard; text dropped on the window is read the same way. (In the name\n"
    "  and height fields Ctrl+V pastes into the field.) For example:\n"
    "    static unsigned char ship[] = {0x81,0x00};\n"
    "    const uint8_t logo[] PROGMEM = {\n"
    "      0xFF, 0x00,\n"
    "      0x0F, 0xF0 };\n"
    "    byte b[] = {B10000001, 0b00011000};\n"
    "    unsigned char d[] = {255, 0, 129};\n"
    "    {0x3C, 0x42}\n"
    "  Glimmet's own line comes back as it was drawn. Values that make more than\n"
    "  one sprite are shown as pictures, the likeliest first: choose one with a\n"
    "  click, or the arrows and Enter; Esc leaves the drawing as it is. A bare\n"
    "  list keeps the name in the field. Text that cannot be read is named in a\n"
    "  message with its line and column, and nothing changes.\n"
    "\n"
    "Opening an image\n"
    "  Ctrl+O, or Open Image..., reads a picture file, as does dropping one on\n"
    "  the window: PNG, BMP, GIF, JPEG, PBM, PGM, PPM, XBM and the like. Dark,\n"
    "  opaque pixels are set. A picture up to 32 x 16 keeps its size, in the\n"
    "  narrowest width of 8, 16 or 32 that holds it; a larger one is scaled down\n"
    "  to fit. The sprite is named after the file.\n"
    "  Ctrl+Z takes a paste or an image back.\n";

} // namespace

std::string_view HelpText() {
    return kHelp;
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
const VersionRecord& Version() {
    return kVersion;
}
