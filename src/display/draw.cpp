// draw.cpp -- map cells, the player, the level and the status line.
#include "display/display.h"

#include <cstdio>

#include "game/game_state.h"
#include "platform/platform.h"

namespace {

constexpr int GLYPH_HEART = 3;
constexpr int GLYPH_POTION = '!';
constexpr int GLYPH_STAIRS = '>';
constexpr int GLYPH_PLAYER = '@';

}  // namespace

void put_glyph(int x, int y, int glyph, TCOD_color_t colour) {
    TCOD_console_put_char_ex(NULL, x, y, glyph, colour, TCOD_black);
    flush_console();
}

void draw_cell(int x, int y) {
    std::uint8_t code = terrain_at(x, y);
    if (code == TERRAIN_STAIRS)
        put_glyph(x, y, GLYPH_STAIRS, TCOD_yellow);
    else if (code == TERRAIN_ROCK)
        put_glyph(x, y, GLYPH_STAR, TCOD_orange);
    else if (code == TERRAIN_FLOOR)
        put_glyph(x, y, GLYPH_BLOCK, (x + y) % 2 == 0 ? TCOD_grey : TCOD_dark_grey);
    else
        put_glyph(x, y, code, TCOD_orange);
    if (item_at(x, y) != 0) put_glyph(x, y, GLYPH_POTION, TCOD_cyan);
}

void draw_player() {
    put_glyph(game.player_x, game.player_y, game.rock_carried ? GLYPH_STAR : GLYPH_PLAYER,
              TCOD_white);
}

void draw_level() {
    for (int x = 0; x < MAP_WIDTH; x++)
        for (int y = 0; y < MAP_HEIGHT; y++) draw_cell(x, y);
    for (const MonsterSlot& slot : monsters)
        if (slot.state != 0) put_glyph(slot.x, slot.y, slot.glyph, TCOD_green);
    draw_player();
}

void draw_status_line() {
    int column = 0;
    for (; column < game.hit_points; column++) put_glyph(column, STATUS_ROW, GLYPH_HEART, TCOD_red);
    for (; column < MAX_HIT_POINTS; column++) put_glyph(column, STATUS_ROW, GLYPH_HEART, TCOD_grey);
    char text[32];
    std::snprintf(text, sizeof text, " pots:%d dlvl:%d  ", game.potions, game.dungeon_level);
    TCOD_console_print(NULL, column, STATUS_ROW, "%s", text);
}
