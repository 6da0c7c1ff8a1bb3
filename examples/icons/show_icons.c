/* Draws each icon of the generated header as text: its name, then one line
 * per row, '#' for a set pixel and '.' for a clear one. */

#include <stdio.h>

#include "icons.h"

/* One row: `width` pixels, the leftmost in the row's highest bit. */
static void draw_row(unsigned long row, int width) {
    for (int bit = width - 1; bit >= 0; --bit)
        putchar((row >> bit) & 1 ? '#' : '.');
    putchar('\n');
}

/* Glimmet declares 8-pixel rows as char, 16 as short and 32 as long. */
#define DRAW(icon)                                                                                 \
    do {                                                                                           \
        const int width = sizeof icon[0] == 1 ? 8 : sizeof icon[0] == 2 ? 16 : 32;                 \
        printf("%s\n", #icon);                                                                     \
        for (size_t row = 0; row < sizeof icon / sizeof icon[0]; ++row)                            \
            draw_row((unsigned long)icon[row], width);                                             \
    } while (0)

int main(void) {
    DRAW(arrow);
    DRAW(bell);
    DRAW(heart);
    DRAW(smiley);
    return 0;
}
