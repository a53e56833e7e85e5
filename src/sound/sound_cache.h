// sound_cache.h -- the clip cache and playback cursor behind sound.h; only sound.cpp and
// the sound tests include it, the rest of the game plays sounds through sound.h.
#pragma once

#include <SDL.h>

#include <cstdint>

constexpr int CLIP_NAME_SIZE = 100;

// One WAV file, loaded at its first play and kept until the process ends.
struct SoundClip {
    char name[CLIP_NAME_SIZE];  // the name play_sound was given; the cache key
    std::uint32_t length;       // bytes of audio data
    std::uint8_t* data;         // as SDL_LoadWAV_RW delivered it
    SDL_AudioSpec format;       // the file's, with a short device buffer and audio_callback
    SoundClip* next;            // the clip loaded after this one
};

struct SoundCache {
    SoundClip* head;               // first clip loaded; the device was opened in its format
    std::uint8_t* play_position;   // next byte to mix; shared with the audio thread
    std::uint32_t play_remaining;  // bytes left to mix; 0 is silence
    std::int32_t clip_count;
};

extern SoundCache sound_cache;

SoundClip* find_clip(const char* name);

// Runs on SDL's audio thread: mixes the rest of the current clip, silence after it.
void audio_callback(void* userdata, Uint8* stream, int len);
