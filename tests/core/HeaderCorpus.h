#pragma once

// Header files in the shapes real projects keep sprites in, for the tests of
// the source-file document: each with the sprite the test draws into it.

#include <cstddef>
#include <string>
#include <vector>

struct CorpusHeader {
    const char* label;
    std::string text;
    const char* array; // the array or frame the test draws into
    int width;         // the size the file states, or of the first reading
    int height;
    bool bStated; // the file fixes the reading: exactly one is offered
};

inline std::string WithCrLf(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

inline const std::vector<CorpusHeader>& HeaderCorpus() {
    static const std::vector<CorpusHeader> corpus = {
        {"binary literals with PROGMEM and row drawings",
         "#include <stdint.h>\n"
         "\n"
         "// A heart for the status bar.\n"
         "const uint8_t heart[] PROGMEM = {\n"
         "  0b01100110, // .##..##.\n"
         "  0b11111111, // ########\n"
         "  0b11111111, // ########\n"
         "  0b01111110, // .######.\n"
         "  0b00111100, // ..####..\n"
         "  0b00011000, // ...##...\n"
         "  0b00000000, // ........\n"
         "  0b00000000  // ........\n"
         "};\n",
         "heart", 8, 8, false},
        {"XBM with its defines",
         "#define smile_width 16\n"
         "#define smile_height 6\n"
         "static unsigned char smile_bits[] = {\n"
         "   0x00, 0x00, 0x18, 0x18, 0x18, 0x18, 0x00, 0x00, 0x04, 0x20, 0xf8, 0x1f};\n",
         "smile_bits", 16, 6, true},
        {"lower-case hex sixteen to a line",
         "#define ICON_WIDTH 32\n"
         "#define ICON_HEIGHT 4\n"
         "\n"
         "const unsigned char icon_bmp[] = {\n"
         "    0xff, 0xff, 0xff, 0xff, 0x80, 0x00, 0x00, 0x01, 0x80, 0x00, 0x00, 0x01, 0xff, "
         "0xff, 0xff, 0xff,\n"
         "};\n",
         "icon_bmp", 32, 4, true},
        {"leading size bytes",
         "const unsigned char player[] = {\n"
         "    8, 12,\n"
         "    0x3c, 0x42, 0x81, 0xa5, 0x81, 0x99, 0x42, 0x3c,\n"
         "    0x00, 0x01, 0x02, 0x03, 0x03, 0x02, 0x01, 0x00,\n"
         "};\n",
         "player", 8, 12, true},
        {"two-dimensional frames",
         "#define WALK_WIDTH 8\n"
         "#define WALK_HEIGHT 4\n"
         "static const unsigned char walk[3][4] = {\n"
         "    {0x18, 0x3C, 0x5A, 0x24},\n"
         "    {0x18, 0x3C, 0x5A, 0x42},\n"
         "    {0x18, 0x3C, 0x5A, 0x81},\n"
         "};\n",
         "walk[1]", 8, 4, true},
        {"CRLF with sixteen-bit rows in a block comment drawing",
         WithCrLf("/* ball.h */\n"
                  "static const unsigned short ball[6] = {\n"
                  "\t0x03C0, /* ......####...... */\n"
                  "\t0x0FF0, /* ....########.... */\n"
                  "\t0x1FF8, /* ...##########... */\n"
                  "\t0x1FF8, /* ...##########... */\n"
                  "\t0x0FF0, /* ....########.... */\n"
                  "\t0x03C0  /* ......####...... */\n"
                  "};\n"),
         "ball", 16, 6, false},
        {"several arrays among unrelated code",
         "#ifndef SPRITES_H\n"
         "#define SPRITES_H\n"
         "\n"
         "struct point { int x, y; };\n"
         "static const int offsets[] = {1, -2, 3};\n"
         "static const char* const names[] = {\"ship\", \"rock\"};\n"
         "static const unsigned char ship[] = {B00011000, B00111100, B01111110, B11111111};\n"
         "\n"
         "static int clamp(int v) { return v < 0 ? 0 : v; }\n"
         "\n"
         "static const unsigned char rock[] = { 0030, 0074, 0176, 0074 };\n"
         "\n"
         "#endif\n",
         "rock", 8, 4, false},
        {"a one-bit image descriptor",
         "const uint8_t star_map[] = {\n"
         "  0xff, 0xff, 0xff, 0xff, \t/*Color of index 0*/\n"
         "  0x00, 0x00, 0x00, 0xff, \t/*Color of index 1*/\n"
         "\n"
         "  0x10, \n"
         "  0x38, \n"
         "  0xfe, \n"
         "  0x38, \n"
         "  0x6c, \n"
         "};\n"
         "\n"
         "const lv_img_dsc_t star = {\n"
         "  .header.cf = LV_IMG_CF_INDEXED_1BIT,\n"
         "  .header.always_zero = 0,\n"
         "  .header.reserved = 0,\n"
         "  .header.w = 8,\n"
         "  .header.h = 5,\n"
         "  .data_size = 13,\n"
         "  .data = star_map,\n"
         "};\n",
         "star_map", 8, 5, true},
    };
    return corpus;
}

// What a C compiler needs to build the corpus on its own: the names that
// the projects' own headers would declare, every eight-digit B constant among
// them.
inline std::string HeaderCorpusPrelude() {
    std::string prelude = "#include <stdint.h>\n#define PROGMEM\n"
                          "typedef struct { struct { unsigned cf : 5, always_zero : 3, "
                          "reserved : 2, w : 11, h : 11; } header; uint32_t data_size; "
                          "const uint8_t* data; } lv_img_dsc_t;\n"
                          "#define LV_IMG_CF_INDEXED_1BIT 7\n";
    for (int value = 0; value < 256; ++value) {
        std::string digits;
        for (int bit = 7; bit >= 0; --bit)
            digits += (value >> bit) & 1 ? '1' : '0';
        prelude += "#define B" + digits + " " + std::to_string(value) + "\n";
    }
    return prelude;
}
