// support.h -- what the unit tests share: the game's window opened on SDL's dummy drivers,
// keys pushed into SDL's queue, the window read back as text, and a log of the game's calls.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// Opens the window in the data folder; empties the level, the window, the key queue and the
// log; puts the player at (10, 10) with 3 hit points. Every test starts here.
void start_test();

// What the window showed at the last flush: a cell as its glyph and colour ("@white"),
// or a row's glyphs alone. The floor's block shows as '.', a monster's face as 'M', a heart
// as 'H' and the trail's mark as '~'.
std::string cell(int x, int y);
std::string text(int x, int y, int length);
std::string message();  // the message field, without the spaces before the message

// The keys as SDL names them, between spaces ("d", "Right", "Escape", "Return", "Space"),
// with "Shift+" before a key typed with Shift; "CapsLock" turns Caps Lock on for the keys
// after it, "hold:q" presses q without letting go and "release:q" lets go; "close" is the
// window's close button.
void push_keys(const std::string& keys);
// Runs a part of the game (run_game, say) until it returns or waits with no key left.
void play(const std::function<void()>& game_part);

// The game's calls the tests watch, in order, ", " between, as written where they are checked.
extern std::string calls;
extern std::vector<unsigned> pauses;  // every pause's milliseconds, polls included
extern std::function<void()> on_pause;  // called at every pause
extern int flushes;

// Names each test of a table after its row's first field.
struct RowName {
    template <class Row>
    std::string operator()(const testing::TestParamInfo<Row>& info) const { return info.param.name; }
};

// A failing row is printed as its name.
template <class Row, class = decltype(Row::name)>
std::ostream& operator<<(std::ostream& out, const Row& row) { return out << row.name; }
