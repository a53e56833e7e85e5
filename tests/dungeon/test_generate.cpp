// test_generate.cpp -- the level generator: the order and bounds of its draws, the two
// layouts, the monsters' distance rule, the monster count and the one potion.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "dungeon/dungeon.h"
#include "game/game_state.h"
#include "scripted_random.h"

namespace {

constexpr int OPEN_X = 10, OPEN_Y = 10;  // the one floor cell of a rocky level

// Draws for a level of rocks but for (10, 10), then the layout, start and staircase.
std::vector<int> rocky_level(int layout, int a, int b, int side) {
    std::vector<int> draws(MAP_CELLS, 1);
    draws[OPEN_X * MAP_HEIGHT + OPEN_Y] = 0;
    draws.insert(draws.end(), {layout, a, b, side});
    return draws;
}

void add(std::initializer_list<int> more) { scripted_draws.insert(scripted_draws.end(), more); }

void add_potion_on_open_cell() { add({OPEN_X - 5, OPEN_Y - 5}); }

int count_terrain(std::uint8_t code) {
    int count = 0;
    for (std::uint8_t cell : map_grid.terrain) count += cell == code;
    return count;
}

void expect_cross_clear(int x, int y) {
    for (auto [dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}})
        EXPECT_EQ(terrain_at(x + dx, y + dy), TERRAIN_FLOOR) << x + dx << "," << y + dy;
}

}  // namespace

// The potion is drawn again until it lands on floor: here twice on a rock first.
TEST(Generator, DrawsInOrderWithTheirBounds) {
    set_script(rocky_level(1, 0, 37, 0));
    add({30, 2});   // one monster
    add({0, 0});    // (5, 5) is a rock
    add({29, 13});  // (34, 18) is a rock
    add_potion_on_open_cell();
    generate_level(1);
    ASSERT_EQ(draw_bounds.size(), size_t(MAP_CELLS + 4 + 2 + 6));
    for (int i = 0; i < MAP_CELLS; i++) ASSERT_EQ(draw_bounds[i], std::make_pair(0, 7)) << i;
    std::vector<std::pair<int, int>> rest(draw_bounds.begin() + MAP_CELLS, draw_bounds.end());
    std::vector<std::pair<int, int>> expected = {{0, 1},  {0, 37}, {0, 37}, {0, 1},
                                                 {0, 39}, {0, 23}, {0, 29}, {0, 13},
                                                 {0, 29}, {0, 13}, {0, 29}, {0, 13}};
    EXPECT_EQ(rest, expected);
    EXPECT_EQ(monsters[0].x * 100 + monsters[0].y, 3002);
    EXPECT_EQ(std::count(std::begin(map_grid.items), std::end(map_grid.items), 0), MAP_CELLS - 1);
    EXPECT_EQ(item_at(OPEN_X, OPEN_Y), 1);
    EXPECT_EQ(terrain_at(OPEN_X, OPEN_Y + 1), TERRAIN_ROCK);
}

TEST(Generator, StartAndStairsAtOppositeEdgesWithClearedCrosses) {
    struct Case {
        int layout, a, b, side, start_x, start_y, stairs_x, stairs_y;
    };
    const Case cases[] = {
        {1, 0, 37, 0, 1, 21, 38, 3},   // vertical, start at the bottom
        {1, 37, 0, 1, 38, 2, 1, 22},   // vertical, start at the top
        {0, 21, 0, 1, 2, 22, 38, 1},   // horizontal, start at the left
        {0, 0, 21, 0, 37, 1, 3, 22},   // horizontal, start at the right
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "start " << c.start_x << "," << c.start_y);
        set_script(rocky_level(c.layout, c.a, c.b, c.side));
        add({c.start_x < 20 ? 39 : 0, c.start_y < 12 ? 23 : 0});
        add_potion_on_open_cell();
        generate_level(1);
        int span = c.layout == 1 ? 37 : 21;
        EXPECT_EQ(draw_bounds[MAP_CELLS + 1], std::make_pair(0, span));
        EXPECT_EQ(draw_bounds[MAP_CELLS + 2], std::make_pair(0, span));
        EXPECT_EQ(game.player_x * 100 + game.player_y, c.start_x * 100 + c.start_y);
        EXPECT_EQ(terrain_at(c.start_x, c.start_y), TERRAIN_FLOOR);
        EXPECT_EQ(terrain_at(c.stairs_x, c.stairs_y), TERRAIN_STAIRS);
        EXPECT_EQ(count_terrain(TERRAIN_STAIRS), 1);
        expect_cross_clear(c.start_x, c.start_y);
        expect_cross_clear(c.stairs_x, c.stairs_y);
        EXPECT_EQ(terrain_at(c.start_x - 1, c.start_y - 1), TERRAIN_ROCK);
        EXPECT_EQ(terrain_at(c.stairs_x + 1, c.stairs_y + 1), TERRAIN_ROCK);
        EXPECT_EQ(count_terrain(TERRAIN_FLOOR), 1 + 5 + 4);
    }
}

TEST(Generator, MonstersStartTenColumnsAndTenRowsAway) {
    set_script(rocky_level(1, 0, 37, 0));  // start (1, 21)
    add({31, 12});  // 30 columns but 9 rows away: drawn again
    add({2, 0});    // 21 rows but 1 column away: drawn again
    add({11, 11});  // exactly 10 and 10: taken
    add({38, 3});   // on the staircase: taken
    add({11, 11});  // on the first monster's cell: taken
    add({12, 2});   // on a rock: taken
    add_potion_on_open_cell();
    generate_level(4);
    EXPECT_EQ(draw_bounds.size(), size_t(MAP_CELLS + 4 + 2 * 6 + 2));
    const int expected[4][2] = {{11, 11}, {38, 3}, {11, 11}, {12, 2}};
    for (int slot = 0; slot < 4; slot++) {
        const MonsterSlot& m = monsters[slot];
        EXPECT_EQ(m.x * 100 + m.y, expected[slot][0] * 100 + expected[slot][1]) << slot;
    }
}

TEST(Generator, MonsterCountSetsTheLiveSlots) {
    const int counts[] = {0, 1, 3, 25, 30, 255, 256 + 2};
    for (int count : counts) {
        for (MonsterSlot& slot : monsters) slot = MonsterSlot{7, 8, 9, 42};
        set_script({});
        seed_default_generator(count + 1);
        generate_level(static_cast<std::uint8_t>(count));
        int live = std::min(count % 256, 25);
        for (int slot = 0; slot < MAX_MONSTERS; slot++) {
            SCOPED_TRACE(testing::Message() << "count " << count << " slot " << slot);
            // A live monster is awake with its glyph; an empty slot keeps its place and glyph.
            const MonsterSlot& m = monsters[slot];
            if (slot < live)
                EXPECT_EQ(m.state * 1000 + m.glyph, 2001);
            else
                EXPECT_EQ(std::vector<int>({m.state, m.x, m.y, m.glyph}),
                          std::vector<int>({0, 7, 8, 42}));
        }
    }
}

TEST(Generator, EveryLevelKeepsItsRules) {
    set_script({});
    item_at(0, 0) = 1;  // a potion left from the level before
    for (unsigned seed = 1; seed <= 300; seed++) {
        SCOPED_TRACE(seed);
        seed_default_generator(seed);
        generate_level(25);
        EXPECT_EQ(count_terrain(TERRAIN_STAIRS), 1);
        EXPECT_EQ(terrain_at(game.player_x, game.player_y), TERRAIN_FLOOR);
        int potions = 0;
        for (int x = 5; x <= 34; x++)
            for (int y = 5; y <= 18; y++)
                potions += item_at(x, y) == 1 && terrain_at(x, y) == TERRAIN_FLOOR;
        EXPECT_EQ(potions, 1);
        EXPECT_EQ(std::count(std::begin(map_grid.items), std::end(map_grid.items), 0),
                  MAP_CELLS - 1);
        for (const MonsterSlot& slot : monsters) {
            EXPECT_GE(std::abs(slot.x - game.player_x), 10);
            EXPECT_GE(std::abs(slot.y - game.player_y), 10);
        }
    }
}
