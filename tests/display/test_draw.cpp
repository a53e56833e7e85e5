// test_draw.cpp -- map cells, the level, the status line and messages, read back from the
// root console: glyph, foreground and background of each cell.
#include <gtest/gtest.h>

#include "display/display.h"
#include "game/game_state.h"
#include "support/console.h"

extern int flush_count;

namespace {

void expect_cell(int x, int y, int glyph, TCOD_color_t colour) {
    EXPECT_EQ(TCOD_console_get_char(NULL, x, y), glyph) << "at " << x << "," << y;
    EXPECT_TRUE(same_colour(foreground_at(x, y), colour)) << "foreground at " << x << "," << y;
    EXPECT_TRUE(same_colour(background_at(x, y), TCOD_black)) << "background at " << x << "," << y;
}

class Drawing : public testing::Test {
  protected:
    void SetUp() override {
        open_test_console();
        make_empty_level();
        game = GameState{5, 6, 1, 3, 0, 0, 0};
    }
};

}  // namespace

TEST_F(Drawing, CellShowsItsTerrainAndPotion) {
    terrain_at(2, 0) = TERRAIN_ROCK;
    terrain_at(3, 0) = TERRAIN_STAIRS;
    terrain_at(4, 0) = 'x';
    terrain_at(5, 0) = TERRAIN_ROCK;
    item_at(5, 0) = 1;
    item_at(6, 0) = 9;
    for (int x = 0; x < 7; x++) draw_cell(x, 0);
    draw_cell(0, 1);
    expect_cell(0, 0, 219, TCOD_grey);
    expect_cell(1, 0, 219, TCOD_dark_grey);
    expect_cell(0, 1, 219, TCOD_dark_grey);
    expect_cell(2, 0, '*', TCOD_orange);
    expect_cell(3, 0, '>', TCOD_yellow);
    expect_cell(4, 0, 'x', TCOD_orange);
    expect_cell(5, 0, '!', TCOD_cyan);  // a potion shows over a rock
    expect_cell(6, 0, '!', TCOD_cyan);
}

TEST_F(Drawing, LevelDrawsMonstersOverMapAndPlayerOverAll) {
    item_at(10, 10) = 1;
    item_at(12, 12) = 1;
    monsters[0] = MonsterSlot{10, 10, 2, 1};  // stands on a potion
    monsters[1] = MonsterSlot{11, 11, 0, 1};  // crushed: not drawn
    monsters[2] = MonsterSlot{5, 6, 2, 1};    // on the player's cell
    flush_count = 0;
    draw_level();
    expect_cell(10, 10, 1, TCOD_green);
    expect_cell(11, 11, 219, TCOD_grey);
    expect_cell(12, 12, '!', TCOD_cyan);
    expect_cell(5, 6, '@', TCOD_white);
    EXPECT_EQ(flush_count, 960 + 2 + 2 + 1);  // a flush per cell, potion, monster, player
}

// Hearts in red up to the hit points; the counts leave no stale digits and end in blanks.
TEST_F(Drawing, StatusLineShowsHeartsAndCounts) {
    for (int hit_points : {0, 2, 3}) {
        game.hit_points = static_cast<std::uint8_t>(hit_points);
        draw_status_line();
        for (int column = 0; column < 3; column++)
            expect_cell(column, 24, 3, column < hit_points ? TCOD_red : TCOD_grey);
    }
    EXPECT_TRUE(same_colour(foreground_at(3, 24), TCOD_grey));
    // '#' marks what the line does not write; the last case follows the one before it.
    struct Counts {
        int potions, level;
        bool over_marks;
        const char* shown;
    };
    const Counts counts[] = {{0, 1, true, "HHH pots:0 dlvl:1  ####"},
                             {10, 12, true, "HHH pots:10 dlvl:12  ##"},
                             {9, 12, false, "HHH pots:9 dlvl:12   ##"},
                             {255, 255, true, "HHH pots:255 dlvl:255  "}};
    for (const Counts& c : counts) {
        game.potions = static_cast<std::uint8_t>(c.potions);
        game.dungeon_level = static_cast<std::uint8_t>(c.level);
        if (c.over_marks) TCOD_console_print(NULL, 0, 24, "%s", "#######################");
        draw_status_line();
        EXPECT_EQ(console_text(0, 24, 23), c.shown);
    }
}

TEST_F(Drawing, MessageReplacesTheWholeField) {
    show_message(29, "got potion!");
    EXPECT_EQ(console_text(20, 24, 20), "         got potion!");
    show_message(32, "got rock");
    EXPECT_EQ(console_text(20, 24, 20), "            got rock");
    show_message(35, "%s%s");  // printed as it stands, never as a format
    EXPECT_EQ(console_text(35, 24, 4), "%s%s");
}
