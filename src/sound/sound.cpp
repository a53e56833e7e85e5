// sound.cpp -- sound effects. For now the game is silent.
#include "sound/sound.h"

void play_sound(const char*) {}

void play_step_sound() {}
