// call_log.cpp -- the linker sends the game's calls to these wrappers (--wrap on the
// functions' symbol names), which log them and pass them on.
#include "call_log.h"

#include <cstdint>

std::vector<std::string> calls;
std::vector<Redraw> redraws;

extern "C" {
void __real__Z13move_monstersv();
void __real__Z10play_soundPKc(const char* name);
void __real__Z15play_step_soundv();
void __real__Z17show_title_screenv();
void __real__Z14generate_levelh(std::uint8_t monster_count);
void __real__Z14wait_for_spacePKc(const char* text);
void __real__Z9draw_cellii(int x, int y);

void __wrap__Z9draw_cellii(int x, int y) {
    redraws.push_back(Redraw{x, y, TCOD_console_get_char(NULL, x, y),
                             TCOD_console_get_char_foreground(NULL, x, y)});
    __real__Z9draw_cellii(x, y);
}

void __wrap__Z13move_monstersv() {
    calls.push_back("move_monsters");
    __real__Z13move_monstersv();
}

void __wrap__Z10play_soundPKc(const char* name) {
    calls.push_back(std::string("sound ") + name);
    __real__Z10play_soundPKc(name);
}

void __wrap__Z15play_step_soundv() {
    calls.push_back("step");
    __real__Z15play_step_soundv();
}

void __wrap__Z17show_title_screenv() {
    calls.push_back("title");
    __real__Z17show_title_screenv();
}

void __wrap__Z14generate_levelh(std::uint8_t monster_count) {
    calls.push_back("level " + std::to_string(monster_count));
    __real__Z14generate_levelh(monster_count);
}

void __wrap__Z14wait_for_spacePKc(const char* text) {
    calls.push_back(std::string("prompt ") + text);
    __real__Z14wait_for_spacePKc(text);
}
}
