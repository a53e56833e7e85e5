// display_test.cpp -- the level, status line, messages and space-bar prompt as shown, and the
// title screen's keys.
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
    show_message(29, "got potion!");
    show_message(32, "%s%s");
    EXPECT_EQ(cell(0, 24) + cell(1, 24) + cell(2, 24) + text(3, 24, 37),
              "HredHredHgrey pots:10 dlvl:12             %s%s    ");
}

// The prompt blinks every 1000 polls and ignores other keys until space.
TEST(SpacePrompt, BlinksUntilSpace) {
    start_test();
    show_message(31, "squashed!");
    push_keys("xN");
    std::string shown;
    on_pause = [&shown] {
        if (pauses.size() % 1000 == 500) shown += message() + "|";
        if (pauses.size() == 3600) push_keys(" ");
    };
    wait_for_space("you died!!!");
    EXPECT_EQ(pauses, std::vector<unsigned>(3600, 1));
    EXPECT_EQ(shown, "squashed!|press space!|you died!!!|press space!|");
}

// Escape and q end the program at once (status 0); any other key, Shift+q and Caps Lock q among
// them, starts a game with the text colour grey; releases are no choice; a closing window returns.
TEST(TitleScreen, OnlyEscapeAndQEndTheProgram) {
    for (auto [keys, exit_code] : {std::pair{"E", 0}, {"q", 0}, {"a", 7}, {"{", 7}, {"Q", 7},
                                   {"%q", 7}, {"N", 7}, {" ", 7}, {"^y^q^Eb", 7}, {"", 7}}) {
        start_test();
        push_keys(keys);
        TCOD_console_set_default_foreground(NULL, TCOD_red);
        on_pause = [] { if (pauses.size() == 20) push_keys("!"); };
        EXPECT_EXIT({
            show_title_screen();
            bool grey = TCOD_color_equals(TCOD_console_get_default_foreground(NULL), TCOD_grey);
            std::_Exit(grey && TCOD_console_is_window_closed() == (*keys == '\0') ? 7 : 8);
        }, testing::ExitedWithCode(exit_code), "") << keys;
    }
}
