// test_title.cpp -- the title screen as drawn: every glyph and caption with its colours,
// the picture behind them one row up, the one flush, and the picture's own fitness.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "display/display.h"
#include "support/console.h"

extern int flush_count;

namespace {

// The screen as the player sees it. Lower-case letters stand for the picture glyphs
// (see GLYPH_LETTERS); the rest is the glyph's own character.
const char* const SCREEN[] = {
    "                                        ",  // 0
    " l   e  l    e           l       e      ",  // 1
    "     ve                                 ",  // 2
    "      v      ev r                       ",  // 3
    "          r                             ",  // 4
    " l  l                                   ",  // 5
    "                                        ",  // 6
    "                      l             e   ",  // 7
    "                         v       r      ",  // 8
    "   r   r                                ",  // 9
    " CRAGMOOR TEAM, 2026      <== ==>       ",  // 10
    "                          ||o o||       ",  // 11
    "  WASD/ARROWS TO MOVE v   ||   ||       ",  // 12
    "                       v  \\|---|/   r   ",  // 13
    "  PICK UP ROCK BY       v  b---d   r    ",  // 14
    "  MOVING INTO IT         v    h   r     ",  // 15
    "                          v      r      ",  // 16
    "  CRUSH ENEMY BY           v    r       ",  // 17
    "  CARRYING ROCK AND       l     e       ",  // 18
    "  MOVING INTO IT         l  r v  e      ",  // 19
    "                          |     |       ",  // 20
    "  PRESS 1 TO QUAFF A      |     |       ",  // 21
    "  POTION TO HEAL         btd   btd      ",  // 22
    "                                        ",  // 23
    "                                        ",  // 24
};

// The foreground of every glyph above: 0-6 the title's palette, k black (drawn over the
// picture), p dark purple, w white, g light grey.
const char* const INK[] = {
    "                                        ",
    " 4   5  4    5           0       0      ",
    "     55                                 ",
    "      5      54 4                       ",
    "          4                             ",
    " 5  4                                   ",
    "                                        ",
    "                      1             2   ",
    "                         3       3      ",
    "   5   4                                ",
    " pppppppp ppppp pppp      kkk kkk       ",
    "                          kk6 6kk       ",
    "  wwwwwwwwwww ww wwww 2   kk   kk       ",
    "                       2  kkkkkkk   2   ",
    "  gggg gg gggg gg       2  kkkkk   2    ",
    "  gggggg gggg gg         2    k   2     ",
    "                          2      2      ",
    "  wwwww wwwww ww           2    2       ",
    "  wwwwwwww wwww www       1     2       ",
    "  wwwwww wwww ww         1  1 2  2      ",
    "                          k     k       ",
    "  ggggg g gg ggggg g      k     k       ",
    "  gggggg gg gggg         kkk   kkk      ",
    "                                        ",
    "                                        ",
};

struct GlyphLetter {
    char letter;
    int code;
};
constexpr GlyphLetter GLYPH_LETTERS[] = {
    {'h', 3},   {'r', 16},  {'l', 17},  {'v', 18},  {'e', 19},  {'o', 167},
    {'|', 179}, {'b', 192}, {'t', 193}, {'-', 196}, {'d', 217},
};

int glyph_code(char letter) {
    for (const GlyphLetter& entry : GLYPH_LETTERS)
        if (entry.letter == letter) return entry.code;
    return static_cast<unsigned char>(letter);
}

struct Ink {
    char key;
    TCOD_color_t colour;
};
const Ink INKS[] = {{'0', {169, 75, 2}},    {'1', {70, 70, 70}},   {'2', {139, 139, 139}},
                    {'3', {68, 30, 0}},     {'4', {101, 205, 168}}, {'5', {77, 171, 25}},
                    {'6', {252, 255, 0}},   {'p', TCOD_dark_purple}, {'w', TCOD_white},
                    {'g', TCOD_light_grey}, {'k', TCOD_black}};

TCOD_color_t ink_colour(char key) {
    for (const Ink& ink : INKS)
        if (ink.key == key) return ink.colour;
    return TCOD_pink;
}

bool is_colour_glyph(int x, int y) { return INK[y][x] >= '0' && INK[y][x] <= '6'; }

std::string cell(int x, int y) { return "at " + std::to_string(x) + "," + std::to_string(y); }

// With the window already closed the screen draws everything and returns at once.
class TitleDrawing : public testing::Test {
  protected:
    void SetUp() override {
        open_test_console();
        push_quit();
        TCOD_console_check_for_keypress(TCOD_KEY_PRESSED);
        ASSERT_TRUE(TCOD_console_is_window_closed());
        flush_count = 0;
        pauses.clear();
    }
};

}  // namespace

// The picture's top row is above the screen, and it does not reach the status row; the
// colour glyphs stand on black.
TEST_F(TitleDrawing, ShowsEveryGlyphInItsColourOverThePictureOneRowUp) {
    TCOD_console_set_default_foreground(NULL, TCOD_red);
    show_title_screen();
    TCOD_Image* picture = TCOD_image_load("title.png");
    ASSERT_NE(picture, nullptr);
    int width = 0, height = 0;
    TCOD_image_get_size(picture, &width, &height);
    ASSERT_EQ(width * 100 + height, 4025);
    for (int y = 0; y < 25; y++) {
        for (int x = 0; x < 40; x++) {
            char letter = SCREEN[y][x];
            EXPECT_EQ(TCOD_console_get_char(NULL, x, y), glyph_code(letter)) << cell(x, y);
            bool inked = letter == ' ' || same_colour(foreground_at(x, y), ink_colour(INK[y][x]));
            EXPECT_TRUE(inked) << "foreground " << cell(x, y);
            TCOD_color_t wanted = TCOD_black;
            if (y < 24 && !is_colour_glyph(x, y)) wanted = TCOD_image_get_pixel(picture, x, y + 1);
            EXPECT_TRUE(same_colour(background_at(x, y), wanted)) << cell(x, y);
        }
    }
    TCOD_image_delete(picture);
    EXPECT_EQ(flush_count, 1);
    EXPECT_TRUE(pauses.empty()) << "a closed window is never polled";
    EXPECT_TRUE(same_colour(TCOD_console_get_default_foreground(NULL), TCOD_grey));
    EXPECT_TRUE(same_colour(TCOD_console_get_default_background(NULL), TCOD_black));
}

TEST_F(TitleDrawing, MissingPictureLeavesABlackBackground) {
    char folder[] = "/tmp/cragmoor-title-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    ASSERT_EQ(chdir(folder), 0);
    show_title_screen();
    for (int y = 0; y < 25; y++)
        for (int x = 0; x < 40; x++)
            EXPECT_TRUE(same_colour(background_at(x, y), TCOD_black)) << cell(x, y);
    EXPECT_EQ(console_text(26, 10, 7), "<== ==>");
    EXPECT_EQ(console_text(2, 12, 19), "WASD/ARROWS TO MOVE");
    EXPECT_EQ(TCOD_console_get_char(NULL, 30, 15), 3);
    rmdir(folder);
}

// A rebuilt picture must keep the black outline glyphs visible and the captions readable.
TEST(TitlePicture, KeepsTheOutlinesVisibleAndTheCaptionsReadable) {
    TCOD_Image* picture = TCOD_image_load("title.png");
    ASSERT_NE(picture, nullptr);
    auto brightness = [picture](int x, int y) {
        TCOD_color_t colour = TCOD_image_get_pixel(picture, x, y + 1);
        return 0.299 * colour.r + 0.587 * colour.g + 0.114 * colour.b;
    };
    for (int y = 0; y < 24; y++)
        for (int x = 0; x < 40; x++)
            EXPECT_TRUE(INK[y][x] != 'k' || brightness(x, y) >= 55.0) << "outline " << cell(x, y);
    for (int y = 10; y <= 22; y++)
        for (int x = 1; x <= 20; x++)
            EXPECT_LE(brightness(x, y), 30.0) << "caption area " << cell(x, y);
    TCOD_image_delete(picture);
}
