// test_catalogue.cpp -- a committed catalogue of generated levels, compared with fresh
// ones so that any change to generation shows up as a diff. To accept a change on
// purpose: CRAGMOOR_UPDATE_LEVELS=1 build/tests/test_dungeon --gtest_filter='Catalogue.*'
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "dungeon/dungeon.h"
#include "game/game_state.h"
#include "scripted_random.h"

namespace {

const char* const CATALOGUE = CRAGMOOR_TESTS_DIR "/dungeon/levels.txt";
const unsigned COUNTS[] = {1, 2, 5, 12, 25};

// One level as text: its seed and count, the start, the monsters, then the map with
// the potion shown as '!' and the staircase as '>'.
std::string level_text(unsigned seed, unsigned count) {
    seed_default_generator(seed);
    generate_level(static_cast<std::uint8_t>(count));
    std::ostringstream out;
    out << "level seed " << seed << " monsters " << count << "\n";
    out << "start " << int(game.player_x) << "," << int(game.player_y) << "\nmonsters";
    for (const MonsterSlot& slot : monsters)
        if (slot.state != 0) out << " " << int(slot.x) << "," << int(slot.y);
    out << "\n";
    for (int y = 0; y < MAP_HEIGHT; y++) {
        for (int x = 0; x < MAP_WIDTH; x++) out << (item_at(x, y) ? '!' : char(terrain_at(x, y)));
        out << "|\n";
    }
    return out.str();
}

std::string fresh_catalogue() {
    std::string text;
    for (unsigned seed = 1; seed <= 8; seed++)
        for (unsigned count : COUNTS) text += level_text(seed * 7919, count);
    return text;
}

}  // namespace

TEST(Catalogue, LevelsMatchTheCommittedOnes) {
    std::string fresh = fresh_catalogue();
    if (std::getenv("CRAGMOOR_UPDATE_LEVELS")) {
        std::ofstream(CATALOGUE) << fresh;
        GTEST_SKIP() << "catalogue rewritten";
    }
    std::ifstream file(CATALOGUE);
    ASSERT_TRUE(file) << "no catalogue at " << CATALOGUE;
    std::stringstream committed;
    committed << file.rdbuf();
    std::istringstream want(committed.str()), got(fresh);
    std::string want_line, got_line;
    for (int line = 1; std::getline(want, want_line); line++) {
        ASSERT_TRUE(std::getline(got, got_line)) << "fresh catalogue ends at line " << line;
        ASSERT_EQ(want_line, got_line) << "first difference at line " << line;
    }
    EXPECT_FALSE(std::getline(got, got_line)) << "fresh catalogue is longer";
}
