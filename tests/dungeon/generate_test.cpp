// generate_test.cpp -- the level generator with scripted draws (their order, bounds and
// what they lead to), and a committed catalogue of levels from seeded draws.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "dungeon/dungeon.h"
#include "game/game_state.h"
#include "support/support.h"

namespace {

// Draws for a level of rocks but for the cell (10, 10), then layout, start and staircase.
void script_rocky_level(std::vector<int> layout, std::vector<int> rest) {
    start_test();
    random_script.assign(MAP_CELLS, 1);
    random_script[10 * MAP_HEIGHT + 10] = 0;
    random_script.insert(random_script.end(), layout.begin(), layout.end());
    random_script.insert(random_script.end(), rest.begin(), rest.end());
    random_script.insert(random_script.end(), {0, 0, 29, 13, 5, 5});  // potion: two rocks, then (10, 10)
}

// The map around a cell as text, row by row: ' ' floor, '#' rock, '>' stairs, '!' potion.
std::string around(int x, int y) {
    std::string map;
    for (int dy = -1; dy <= 1; dy++)
        for (int dx = -1; dx <= 1; dx++)
            map += on_map(x + dx, y + dy) ? (item_at(x + dx, y + dy) ? '!' : char(terrain_at(x + dx, y + dy))) : '|';
    return map;
}

}  // namespace

TEST(Generator, LayoutsStartStairsAndTheirBounds) {
    const struct { std::vector<int> draws; int span, start, stairs; } LAYOUTS[] = {
        {{1, 0, 37, 0}, 37, 121, 3803}, {{1, 37, 0, 1}, 37, 3802, 122},
        {{0, 21, 0, 1}, 21, 222, 3801}, {{0, 0, 21, 0}, 21, 3701, 322}};
    for (const auto& l : LAYOUTS) {
        script_rocky_level(l.draws, {l.start / 100 < 20 ? 39 : 0, l.start % 100 < 12 ? 23 : 0});
        generate_level(1);
        std::vector<std::pair<int, int>> want(MAP_CELLS, {0, 7});
        want.insert(want.end(), {{0, 1}, {0, l.span}, {0, l.span}, {0, 1}, {0, 39}, {0, 23}});
        for (int i = 0; i < 3; i++) want.insert(want.end(), {{0, 29}, {0, 13}});
        EXPECT_EQ(random_bounds, want);
        EXPECT_EQ(game.player_x * 100 + game.player_y, l.start);
        EXPECT_EQ(around(game.player_x, game.player_y), "# #   # #");
        EXPECT_EQ(around(l.stairs / 100, l.stairs % 100), "# # > # #");
        EXPECT_EQ(around(10, 10), "####!####");
    }
}

// A monster must start at least 10 columns and 10 rows from the player, on anything.
TEST(Generator, MonstersKeepTheirDistanceAndTheCountSetsTheLiveSlots) {
    script_rocky_level({1, 0, 37, 0}, {31, 12, 2, 0, 11, 11, 38, 3, 11, 11, 12, 2});  // start (1, 21)
    generate_level(4);
    std::string placed;
    for (const MonsterSlot& m : monsters) placed += std::to_string(m.x * 100 + m.y) + " ";
    EXPECT_EQ(placed.substr(0, 20), "1111 3803 1111 1202 ");
    for (int count : {0, 1, 3, 25, 255}) {
        for (MonsterSlot& slot : monsters) slot = MonsterSlot{7, 8, 9, 42};
        seed_random(count + 1);
        generate_level(static_cast<std::uint8_t>(count));
        for (int slot = 0; slot < MAX_MONSTERS; slot++) {
            const MonsterSlot& m = monsters[slot];
            if (slot < count) EXPECT_EQ(m.state * 1000 + m.glyph, 2001) << count;
            else EXPECT_EQ(m.state * 1000000 + m.x * 10000 + m.y * 100 + m.glyph, 70842) << count;
        }
    }
}

// Any change to generation shows as a difference; CRAGMOOR_UPDATE_LEVELS=1 rewrites the
// catalogue after a change made on purpose.
TEST(Generator, LevelsMatchTheCommittedCatalogue) {
    start_test();
    item_at(0, 0) = 1;  // a potion left from the level before
    std::ostringstream fresh;
    for (unsigned seed = 7919; seed <= 8 * 7919; seed += 7919)
        for (unsigned count : {1, 2, 5, 12, 25}) {
            seed_random(seed);
            generate_level(static_cast<std::uint8_t>(count));
            fresh << "level seed " << seed << " monsters " << count << "\nstart " << int(game.player_x) << "," << int(game.player_y) << "\nmonsters";
            for (const MonsterSlot& slot : monsters)
                if (slot.state != 0) fresh << " " << int(slot.x) << "," << int(slot.y);
            for (int y = 0; y < MAP_HEIGHT; y++, fresh << "|")
                for (int x = 0; x < MAP_WIDTH; x++) fresh << (x ? "" : "\n") << (item_at(x, y) ? '!' : char(terrain_at(x, y)));
            fresh << "\n";
        }
    const char* path = CRAGMOOR_TESTS_DIR "/dungeon/levels.txt";
    if (std::getenv("CRAGMOOR_UPDATE_LEVELS")) std::ofstream(path) << fresh.str();
    std::stringstream committed;
    committed << std::ifstream(path).rdbuf();
    EXPECT_TRUE(fresh.str() == committed.str()) << "the levels differ from " << path;
}
