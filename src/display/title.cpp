// title.cpp -- the title screen: the picture, the glyphs that detail it, the captions that
// teach the controls, and the wait for the key that starts a game or ends the program.
#include "display/display.h"

#include <cstdint>
#include <cstdlib>

#include "platform/platform.h"

namespace {

// A glyph drawn in one of the title's own colours on black.
struct TitleColourGlyph {
    std::uint8_t column;         // console column
    std::uint8_t row;            // console row
    std::uint8_t glyph;          // code-page-437 character code
    std::uint8_t palette_index;  // entry of TITLE_PALETTE
};

// A glyph drawn in black over the picture's colour of its cell.
struct TitleOutlineGlyph {
    std::uint8_t column;  // console column
    std::uint8_t row;     // console row
    std::uint8_t glyph;   // code-page-437 character code
};

// One of the texts printed over the dark left half of the picture.
struct TitleCaption {
    TCOD_color_t colour;  // default foreground while it is printed
    std::uint8_t column;  // column of every line's first character
    std::uint8_t row;     // row of the first line
    const char* text;     // "\n" continues at the same column on the next row
};

constexpr TCOD_color_t TITLE_PALETTE[] = {
    {169, 75, 2},     // dark orange
    {70, 70, 70},     // dark grey
    {139, 139, 139},  // grey
    {68, 30, 0},      // dark brown
    {101, 205, 168},  // aquamarine
    {77, 171, 25},    // green
    {252, 255, 0},    // yellow
};

// The figure's grey edges, the sparks above it and the foliage in the top-left corner.
constexpr TitleColourGlyph TITLE_COLOUR_GLYPHS[] = {
    {22, 7, 17, 1},   {26, 18, 17, 1},  {25, 19, 17, 1},  {32, 18, 19, 2},  {33, 19, 19, 2},
    {36, 7, 19, 2},   {22, 12, 18, 2},  {23, 13, 18, 2},  {24, 14, 18, 2},  {25, 15, 18, 2},
    {26, 16, 18, 2},  {27, 17, 18, 2},  {36, 13, 16, 2},  {35, 14, 16, 2},  {34, 15, 16, 2},
    {33, 16, 16, 2},  {32, 17, 16, 2},  {28, 19, 16, 1},  {30, 19, 18, 2},  {25, 1, 17, 0},
    {33, 1, 19, 0},   {25, 8, 18, 3},   {33, 8, 16, 3},   {1, 1, 17, 4},    {8, 1, 17, 4},
    {4, 5, 17, 4},    {1, 5, 17, 5},    {10, 4, 16, 4},   {16, 3, 16, 4},   {7, 9, 16, 4},
    {3, 9, 16, 5},    {5, 1, 19, 5},    {6, 2, 19, 5},    {13, 1, 19, 5},   {13, 3, 19, 5},
    {5, 2, 18, 5},    {6, 3, 18, 5},    {14, 3, 18, 4},   {28, 11, 167, 6}, {30, 11, 167, 6},
};

// The figure's brow, face, mouth, heart, legs and feet.
constexpr TitleOutlineGlyph TITLE_OUTLINE_GLYPHS[] = {
    {28, 13, 196}, {29, 13, 196}, {30, 13, 196}, {26, 10, 60},  {27, 10, 61},  {28, 10, 61},
    {30, 10, 61},  {31, 10, 61},  {32, 10, 62},  {27, 14, 192}, {31, 14, 217}, {28, 14, 196},
    {29, 14, 196}, {30, 14, 196}, {27, 11, 179}, {27, 12, 179}, {27, 13, 179}, {31, 11, 179},
    {31, 12, 179}, {31, 13, 179}, {26, 11, 179}, {26, 12, 179}, {26, 13, 92},  {32, 11, 179},
    {32, 12, 179}, {32, 13, 47},  {30, 15, 3},   {26, 22, 193}, {32, 22, 193}, {25, 22, 192},
    {31, 22, 192}, {27, 22, 217}, {33, 22, 217}, {26, 20, 179}, {26, 21, 179}, {32, 20, 179},
    {32, 21, 179},
};

const TitleCaption TITLE_CAPTIONS[] = {
    {TCOD_dark_purple, 1, 10, "CRAGMOOR TEAM, 2026"},
    {TCOD_white, 2, 12, "WASD/ARROWS TO MOVE"},
    {TCOD_white, 2, 17, "CRUSH ENEMY BY\nCARRYING ROCK AND\nMOVING INTO IT"},
    {TCOD_light_grey, 2, 14, "PICK UP ROCK BY\nMOVING INTO IT"},
    {TCOD_light_grey, 2, 21, "PRESS 1 TO QUAFF A\nPOTION TO HEAL"},
};

// The picture is one pixel per cell, its top row above the screen; a missing or broken
// file leaves the background black and the rest of the screen as it is.
void draw_picture() {
    TCOD_Image* picture = TCOD_image_load("title.png");
    TCOD_console_clear(NULL);
    if (picture == NULL) return;
    TCOD_image_blit_rect(picture, NULL, 0, -1, CONSOLE_COLUMNS, CONSOLE_ROWS, TCOD_BKGND_SET);
    TCOD_image_delete(picture);
}

void draw_glyphs() {
    for (const TitleColourGlyph& entry : TITLE_COLOUR_GLYPHS)
        TCOD_console_put_char_ex(NULL, entry.column, entry.row, entry.glyph,
                                 TITLE_PALETTE[entry.palette_index], TCOD_black);
    for (const TitleOutlineGlyph& entry : TITLE_OUTLINE_GLYPHS) {
        TCOD_color_t behind = TCOD_console_get_char_background(NULL, entry.column, entry.row);
        TCOD_console_put_char_ex(NULL, entry.column, entry.row, entry.glyph, TCOD_black, behind);
    }
}

void draw_captions() {
    for (const TitleCaption& caption : TITLE_CAPTIONS) {
        TCOD_console_set_default_foreground(NULL, caption.colour);
        TCOD_console_print(NULL, caption.column, caption.row, "%s", caption.text);
    }
}

// Shift or Caps Lock make a 'Q', which starts a game like any other key.
bool ends_the_program(const TCOD_key_t& key) {
    return key.vk == TCODK_ESCAPE || typed_character(key) == 'q';
}

// Releases are not reported, so the release of the key that led here is never a choice.
void wait_for_title_key() {
    if (TCOD_console_is_window_closed()) return;
    for (;;) {
        TCOD_key_t key = poll_key_press();
        if (key.vk != TCODK_NONE) {
            if (ends_the_program(key)) std::exit(0);
            return;
        }
        if (TCOD_console_is_window_closed()) return;
        pause_game(IDLE_PAUSE_MS);
    }
}

}  // namespace

void show_title_screen() {
    draw_picture();
    draw_glyphs();
    draw_captions();
    flush_console();
    wait_for_title_key();
    TCOD_console_set_default_foreground(NULL, TCOD_grey);
}
