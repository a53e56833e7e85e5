// sound_log.h -- the sounds the game started during a test, in order.
#pragma once

#include <functional>
#include <string>
#include <vector>

extern std::vector<std::string> sounds_played;
// Called on every sound before it is passed on; a test uses it to look at the screen.
extern std::function<void(const char*)> on_sound;
