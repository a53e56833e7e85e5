// sound.h -- the game's sound effects, played by file name.
#pragma once

// Starts the WAV file name (a bare name in the working directory) from its beginning,
// cutting off whatever plays. Loads and keeps the file at its first successful play;
// a file that cannot be loaded, or whose rate or channels SDL cannot play, is skipped
// silently. Returns at once; the sound starts within 40 ms.
void play_sound(const char* name);

// Plays the next footstep of the eight-step cycle and advances game.step_counter.
void play_step_sound();
