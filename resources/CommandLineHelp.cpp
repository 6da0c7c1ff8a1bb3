// What `glimmet --help` prints. The manual page shows it too, after the
// window's help: lines in the first column head a section, indented lines
// are its prose, and a blank line starts a new paragraph.

#include "ResourceTypes.h"

namespace {

constexpr std::string_view kCommandLineHelp =
    "Usage\n"
    "  glimmet [FILE[:NAME]]\n"
    "\n"
    "  glimmet convert [--layout rows|rowbytes|xbm|pages]\n"
    "    [--language c|arduino|micropython] [--size none|defines|leading]\n"
    "    [--name NAME] [--fit] [--header] [--read rows|rowbytes|xbm|pages]\n"
    "    [--width 8|16|32] [-o OUTPUT] INPUT...\n"
    "\n"
    "  glimmet export [--fit] [--read rows|rowbytes|xbm|pages] [--width 8|16|32]\n"
    "    -o FILE.png|.pbm|.xbm|.bmp INPUT\n"
    "\n"
    "  glimmet --help | --version\n"
    "\n"
    "  Without arguments Glimmet opens its window; with a FILE it opens that\n"
    "  image or C file in it (FILE:NAME the array NAME, at once). The commands\n"
    "  read and write files only: they never open a window and need no\n"
    "  display, so a build can run them.\n"
    "\n"
    "Inputs\n"
    "  An image file (PNG, BMP, GIF, JPEG, PBM, XBM and the like) becomes the\n"
    "  sprite that Open makes of it, named after the file.\n"
    "  A C file (.c, .h, .ino and the like, or text that is no image) gives its\n"
    "  first array, named as in the file.\n"
    "  FILE:NAME gives the array called NAME in FILE.\n"
    "\n"
    "Converting\n"
    "  convert writes one declaration for each INPUT, in the order given, to\n"
    "  standard output or to OUTPUT: exactly what Make Code writes for the same\n"
    "  sprite and choices.\n"
    "  --layout, --language and --size choose the output form. Each defaults to\n"
    "  what the window writes by default (rows, c, none), whatever the window\n"
    "  last used, so a build writes the same text on every machine.\n"
    "  --name NAME names the sprite of a single input.\n"
    "  --fit scales an image larger than 32 x 16 down to fit, as the window\n"
    "  does; without it such an image is refused.\n"
    "  --header wraps the code in an include guard made from OUTPUT's file\n"
    "  name: icons.h gives ICONS_H. It needs -o.\n"
    "  --read and --width say how to read an array whose values can stand for\n"
    "  more than one sprite: rows and rowbytes read rows with the leftmost pixel\n"
    "  high, xbm with it low, pages vertical pages; the width is 8, 16 or 32.\n"
    "  Without them the likeliest reading is taken, and a note says which.\n"
    "  -o OUTPUT writes to OUTPUT instead of standard output.\n"
    "\n"
    "Exporting\n"
    "  export writes the sprite of INPUT as a one-bit image at its own size,\n"
    "  set pixels black on white, in the format that FILE's extension names.\n"
    "  It takes --fit, --read and --width as convert does.\n"
    "\n"
    "Exit status\n"
    "  0: done.\n"
    "  1: an input could not be read or the output could not be written. OUTPUT\n"
    "  is then left as it was: it is written beside and renamed only when whole.\n"
    "  Each problem is named on standard error as compilers name them:\n"
    "    icons.h:12:5: error: The list is empty.\n"
    "    logo.png: error: cannot be opened: No such file or directory\n"
    "\n"
    "  2: the command line is wrong; the usage is shown.\n"
    "  Started for its window with no display, glimmet says so in one line and\n"
    "  exits with 1.\n";

} // namespace

std::string_view CommandLineHelp() {
    return kCommandLineHelp;
}
