// generate_test.cpp -- levels from seeded draws, compared with a committed catalogue.
#include <fstream>
#include <sstream>

#include <libtcod.h>

#include "display/display.h"
#include "dungeon/dungeon.h"
#include "game/game_state.h"
#include "support/support.h"

// Levels of eight seeds at five monster counts, each drawn as the window shows it, against the
// committed catalogue; CRAGMOOR_UPDATE=1 rewrites it after a change to generation.
TEST(Generator, LevelsMatchTheCommittedCatalogue) {
    start_test();
    item_at(0, 0) = 1;  // a potion left from the level before
    std::ostringstream fresh;
    for (unsigned seed = 7919; seed <= 8 * 7919; seed += 7919)
        for (unsigned count : {1, 2, 5, 12, 25}) {
            TCOD_Random* seeded = TCOD_random_new_from_seed(TCOD_RNG_MT, seed);
            TCOD_random_restore(NULL, seeded);
            TCOD_random_delete(seeded);
            generate_level(static_cast<std::uint8_t>(count));
            draw_level();
            fresh << "seed " << seed << ", " << count << " monsters:\n";
            for (int y = 0; y < MAP_HEIGHT; y++) fresh << text(0, y, MAP_WIDTH) << "\n";
        }
    const char* path = CRAGMOOR_TESTS_DIR "/dungeon/levels.txt";
    if (std::getenv("CRAGMOOR_UPDATE")) std::ofstream(path) << fresh.str();
    const std::string committed{std::istreambuf_iterator<char>(std::ifstream(path).rdbuf()), {}};
    EXPECT_TRUE(fresh.str() == committed) << "the levels differ from " << path;
}
