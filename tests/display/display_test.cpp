// display_test.cpp -- the level, status line, messages and space-bar prompt as shown, and the
// title screen: its keys, and its glyphs on the picture.
#include "display/display.h"
#include "game/game_state.h"
#include "platform/platform.h"
#include "support/support.h"

// Floor is a checkerboard; a potion shows over anything, a live monster over the potion and the
// player over the monster; a terrain code of its own is drawn as itself. The status line is drawn
// over an old, longer one; a message is never taken as a format.
TEST(Drawing, TheLevelInLayersTheStatusLineAndMessages) {
    start_test();
    terrain_at(2, 0) = TERRAIN_STAIRS, terrain_at(3, 0) = 'x', terrain_at(4, 0) = TERRAIN_ROCK;
    item_at(4, 0) = item_at(5, 0) = 1;
    monsters[0] = MonsterSlot{5, 0, 2, 1}, monsters[1] = MonsterSlot{6, 0, 0, 1};
    monsters[2] = MonsterSlot{7, 0, 2, 1};
    game.player_x = 7, game.player_y = 0;
    draw_level();
    std::string shown;
    for (int x = 0; x < 8; x++) shown += cell(x, 0) + " ";
    EXPECT_EQ(shown, ".grey .dark_grey >yellow xorange !cyan Mgreen .grey @white ");
    game.hit_points = 2, game.potions = 10, game.dungeon_level = 12;
    TCOD_console_print(NULL, 0, 24, "%s", "#######################");
    draw_status_line();
    show_message("got potion!");
    show_message("%s%s");
    EXPECT_EQ(cell(0, 24) + cell(1, 24) + cell(2, 24) + text(3, 24, 37),
              "HredHredHgrey pots:10 dlvl:12                 %s%s");
}

// The prompt blinks every 1000 polls and ignores other keys until space.
TEST(SpacePrompt, BlinksUntilSpace) {
    start_test();
    show_message("squashed!");
    push_keys("x Return");
    std::string shown;
    on_pause = [&shown] {
        if (pauses.size() % 1000 == 500) shown += message() + "|";
        if (pauses.size() == 3600) push_keys("Space");
    };
    wait_for_space("you died!!!");
    EXPECT_EQ(pauses, std::vector<unsigned>(3600, 1));
    EXPECT_EQ(shown, "squashed!|press space!|you died!!!|press space!|");
}

// On the title screen a key either ends the program at once, with status 0, or starts a game
// with the text colour grey; a key's release is no choice, and a closed window returns.
struct TitleKey {
    const char *name, *keys;
    bool ends_program;
};
const TitleKey TITLE_KEYS[] = {
    {"EscapeEnds", "Escape", true}, {"QEnds", "q", true}, {"ALetterPlays", "a", false},
    {"AnArrowPlays", "Up", false}, {"ShiftQPlays", "Shift+q", false},
    {"CapsLockQPlays", "CapsLock q", false}, {"ReturnPlays", "Return", false},
    {"SpacePlays", "Space", false}, {"ReleasesAreNoChoice", "release:y release:q release:Escape b", false},
    {"AClosedWindowReturns", "", false},
};
struct TitleScreen : testing::TestWithParam<TitleKey> {};

TEST_P(TitleScreen, KeyEndsTheProgramOrPlays) {
    start_test();
    push_keys(GetParam().keys);
    TCOD_console_set_default_foreground(NULL, TCOD_red);
    on_pause = [] { if (pauses.size() == 20) push_keys("close"); };
    EXPECT_EXIT({
        show_title_screen();
        bool grey = TCOD_color_equals(TCOD_console_get_default_foreground(NULL), TCOD_grey);
        std::_Exit(grey && TCOD_console_is_window_closed() == !*GetParam().keys ? 7 : 8);
    }, testing::ExitedWithCode(GetParam().ends_program ? 0 : 7), "");
}
INSTANTIATE_TEST_SUITE_P(Keys, TitleScreen, testing::ValuesIn(TITLE_KEYS), RowName());

// The picture shows one pixel per cell, its top row above the screen, and each glyph stands on
// the shade it needs: a coloured glyph brings its own black square, a hole unless the picture
// there is in shadow (luma at most 12%), and a black outline stroke is lost unless it is light
// (luma at least 20%).
TEST(TitleScreen, ThePictureShowsUnderItsGlyphsInTheirShades) {
    start_test();
    push_keys("a");
    play(show_title_screen);  // a key that ended the program here would fail the test
    TCOD_Image* picture = TCOD_image_load("title.png");
    ASSERT_NE(picture, nullptr);
    int colour_glyphs = 0, outline_glyphs = 0;
    for (int x = 0; x < CONSOLE_COLUMNS; x++)
        for (int y = 0; y < STATUS_ROW; y++) {
            int glyph = TCOD_console_get_char(NULL, x, y);
            bool drawn = glyph != ' ' && glyph != 0;
            TCOD_color_t ink = TCOD_console_get_char_foreground(NULL, x, y);
            TCOD_color_t square = TCOD_console_get_char_background(NULL, x, y);
            TCOD_color_t shade = TCOD_image_get_pixel(picture, x, y + 1);
            float luma = (0.299f * shade.r + 0.587f * shade.g + 0.114f * shade.b) / 255;
            SCOPED_TRACE("glyph " + std::to_string(glyph) + " at " + std::to_string(x) + ", " +
                         std::to_string(y));
            bool black_ink = TCOD_color_equals(ink, TCOD_black);
            if (drawn && TCOD_color_equals(square, TCOD_black) && !black_ink) {
                colour_glyphs++;
                EXPECT_LE(luma, 0.12f);
                continue;
            }
            EXPECT_TRUE(TCOD_color_equals(square, shade));
            if (!drawn || !black_ink) continue;
            outline_glyphs++;
            EXPECT_GE(luma, 0.20f);
        }
    TCOD_image_delete(picture);
    EXPECT_TRUE(colour_glyphs > 0 && outline_glyphs > 0);
}
