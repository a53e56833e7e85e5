// display_test.cpp -- map cells, the level, the status line, messages, the space-bar
// prompt and the title screen, read back from the root console and the frames shown.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "display/display.h"
#include "game/game_state.h"
#include "support/support.h"

TEST(Drawing, CellsLevelAndStatusLine) {
    start_test();
    const char* terrain = "  #>x#";
    for (int x = 0; x < 6; x++) terrain_at(x, 0) = static_cast<std::uint8_t>(terrain[x]);
    item_at(5, 0) = 1, item_at(6, 0) = 9;
    monsters[0] = MonsterSlot{10, 10, 2, 1}, monsters[1] = MonsterSlot{11, 11, 0, 1};
    monsters[2] = MonsterSlot{5, 5, 2, 1};
    item_at(10, 10) = 1;
    game.player_x = game.player_y = 5;
    flushes = 0;
    draw_level();
    EXPECT_EQ(flushes, 960 + 3 + 2 + 1);  // a flush for every glyph put
    std::string shown;
    for (auto [x, y] : {std::pair{0, 0}, {1, 0}, {0, 1}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}, {10, 10}, {11, 11}, {5, 5}})
        shown += cell(x, y, true) + " ";
    EXPECT_EQ(shown, ".grey .dark_grey .dark_grey *orange >yellow xorange !cyan !cyan Mgreen .grey @white ");
    const struct { int hit_points, potions, level; bool over; const char* shown; } STATUS[] = {
        {0, 0, 1, true, "HHH pots:0 dlvl:1  ####"}, {2, 10, 12, true, "HHH pots:10 dlvl:12  ##"},
        {3, 9, 12, false, "HHH pots:9 dlvl:12   ##"}, {3, 255, 255, true, "HHH pots:255 dlvl:255  "}};
    for (const auto& s : STATUS) {
        game = GameState{5, 5, uint8_t(s.level), uint8_t(s.hit_points), 0, uint8_t(s.potions), 0};
        if (s.over) TCOD_console_print(NULL, 0, 24, "%s", "#######################");
        draw_status_line();
        EXPECT_EQ(text(0, 24, 23), s.shown);
        std::string hearts = cell(0, 24, true) + cell(1, 24, true) + cell(2, 24, true);
        EXPECT_EQ(hearts, std::string(s.hit_points > 0 ? "Hred" : "Hgrey") + (s.hit_points > 1 ? "Hred" : "Hgrey") + (s.hit_points > 2 ? "Hred" : "Hgrey"));
    }
    show_message(29, "got potion!");
    show_message(32, "%s%s");  // printed as it stands, never as a format
    EXPECT_EQ(text(20, 24, 20, true), "            %s%s    ");
}

// The prompt blinks every 1000 polls, ignores other keys, ends on space or a closing
// window; a window already closed is not polled.
TEST(SpacePrompt, BlinksUntilSpaceOrClose) {
    const struct { const char* keys; int close_at, space_at; unsigned polls; const char* shown; } PROMPTS[] = {
        {"xN ", 0, 0, 2, ""}, {"", 50, 0, 51, ""}, {"", -1, 0, 0, ""},
        {"", 0, 3600, 3600, "squashed!|press space!|you died!!!|press space!|"}};
    auto prompt = [](const auto& p) {
        start_test();
        show_message(31, "squashed!");
        push_keys(p.keys);
        if (p.close_at < 0) push_quit(), TCOD_console_check_for_keypress(TCOD_KEY_PRESSED);
        std::string shown;
        on_pause = [&p, &shown] {
            if (pauses.size() % 1000 == 500) shown += message(true) + "|";
            if (pauses.size() == 1200) push_keys("a");
            if (int(pauses.size()) == p.close_at) push_quit();
            if (int(pauses.size()) == p.space_at) push_keys(" ");
        };
        wait_for_space("you died!!!");
        EXPECT_EQ(pauses, std::vector<unsigned>(p.polls, 1));
        EXPECT_EQ(shown, p.shown);
        if (p.polls < 1000) EXPECT_EQ(message(true), "squashed!");
    };
    for (const auto& p : PROMPTS)
        if (p.close_at) IN_CHILD(prompt(p)); else prompt(p);
}

// The whole title screen, glyphs and colours, is compared with tests/display/title.txt;
// CRAGMOOR_UPDATE_TITLE=1 rewrites it after a change made on purpose.
TEST(TitleScreen, DrawsTheCommittedScreenOnceAndLeavesGreyText) {
    start_test();
    push_keys("x");
    TCOD_console_set_default_foreground(NULL, TCOD_red);
    flushes = 0;
    show_title_screen();
    std::ostringstream screen;
    for (int y = 0; y < 25; y++, screen << "\n")
        for (int x = 0; x < 40; x++) {
            TCOD_color_t f = TCOD_console_get_char_foreground(NULL, x, y), b = TCOD_console_get_char_background(NULL, x, y);
            screen << TCOD_console_get_char(NULL, x, y) << ":" << f.r + 0 << "," << f.g + 0 << "," << f.b + 0 << ":" << b.r + 0 << "," << b.g + 0 << "," << b.b + 0 << " ";
        }
    const char* path = CRAGMOOR_TESTS_DIR "/display/title.txt";
    if (std::getenv("CRAGMOOR_UPDATE_TITLE")) std::ofstream(path) << screen.str();
    std::stringstream committed;
    committed << std::ifstream(path).rdbuf();
    EXPECT_TRUE(screen.str() == committed.str()) << "the title screen differs from " << path;
    EXPECT_EQ(flushes, 1);
    EXPECT_TRUE(pauses.empty());
    EXPECT_EQ(text(26, 10, 7, true), "<== ==>");
    TCOD_color_t now = TCOD_console_get_default_foreground(NULL);
    EXPECT_EQ(now.r * 65536 + now.g * 256 + now.b, TCOD_grey.r * 65536 + TCOD_grey.g * 256 + TCOD_grey.b);
}

// Escape and q end the program at once; any other key, Shift+q and Caps Lock q among
// them, starts a game; releases are no choice; a closing window returns.
bool exit_is_a_fault = false;

TEST(TitleScreen, KeysThatEndTheProgramAndKeysThatReturn) {
    for (const char* key : {"E", "q"}) {
        start_test();
        push_keys(key);
        on_pause = [] { _exit(3); };
        EXPECT_EXIT(show_title_screen(), testing::ExitedWithCode(0), "") << key;
    }
    std::atexit([] { if (exit_is_a_fault) _exit(99); });
    auto title = [](const char* key) {
        start_test();
        if (std::string(key) == "caps") SDL_SetModState(KMOD_CAPS);
        push_keys(std::string(key) == "caps" ? "q" : key);
        on_pause = [] { if (pauses.size() == 20) push_quit(); };
        exit_is_a_fault = true;
        do show_title_screen();
        while (SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_KEYDOWN, SDL_KEYDOWN) > 0);
        exit_is_a_fault = false;
        EXPECT_EQ(TCOD_console_is_window_closed(), *key == '\0') << key;
    };
    for (const char* key : {"a", "y", "{", "Q", "N", " ", "^y^q^Eb", "caps"}) title(key);
    IN_CHILD(title(""));
}
