// sound_log.cpp -- stands between the game and play_sound (linked with --wrap) so the
// monsters' tests see which sounds were started and when.
#include "sound_log.h"

std::vector<std::string> sounds_played;
std::function<void(const char*)> on_sound;

extern "C" void __real__Z10play_soundPKc(const char* name);

extern "C" void __wrap__Z10play_soundPKc(const char* name) {
    sounds_played.push_back(name);
    if (on_sound) on_sound(name);
    __real__Z10play_soundPKc(name);
}
