// sound.cpp -- sound effects: WAV clips cached by name, one at a time through SDL's
// audio callback, and the footstep cycle.
#include "sound/sound.h"

#include <libtcod.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game/game_state.h"
#include "platform/platform.h"
#include "sound/sound_cache.h"

SoundCache sound_cache;


SoundClip* find_clip(const char* name) {
    for (SoundClip* clip = sound_cache.head; clip; clip = clip->next) {
        if (std::strcmp(clip->name, name) == 0) return clip;
    }
    return nullptr;
}

namespace {

constexpr std::uint8_t STEP_CYCLE = 8;

// What SDL can play in real time: its devices take 8000 to 192000 frames a second and mix
// at most 8 channels. A rate far below that would make one device buffer last minutes.
constexpr int MIN_RATE = 8000;
constexpr int MAX_RATE = 192000;
constexpr int MAX_CHANNELS = 8;

// A clip starts with the device buffer after its play_sound. A short buffer starts it within
// 40 ms of the key, lets a sound played just after another be heard instead of cutting it
// off unheard, and lets SDL_Quit, which waits for the buffer in progress, end the game at once.
constexpr int MAX_BUFFER_MS = 25;

bool playable(const SDL_AudioSpec& format) {
    return format.freq >= MIN_RATE && format.freq <= MAX_RATE && format.channels <= MAX_CHANNELS;
}

// SDL wants a power of two.
Uint16 buffer_frames(int rate) {
    Uint16 frames = 1;
    while (frames * 2 * 1000 <= rate * MAX_BUFFER_MS) frames *= 2;
    return frames;
}

void append_clip(SoundClip* clip) {
    SoundClip** tail = &sound_cache.head;
    while (*tail) tail = &(*tail)->next;
    *tail = clip;
    sound_cache.clip_count++;
}

// A file that cannot be loaded or played, or a clip that cannot be allocated, caches
// nothing; the next play of the name tries again.
SoundClip* load_clip(const char* name) {
    SDL_AudioSpec format;
    Uint8* data;
    Uint32 length;
    if (!SDL_LoadWAV_RW(SDL_RWFromFile(name, "rb"), 1, &format, &data, &length)) return nullptr;
    SoundClip* clip = nullptr;
    if (playable(format)) clip = static_cast<SoundClip*>(std::calloc(1, sizeof(SoundClip)));
    if (!clip) {
        SDL_FreeWAV(data);
        return nullptr;
    }
    std::snprintf(clip->name, sizeof clip->name, "%s", name);
    clip->length = length;
    clip->data = data;
    clip->format = format;
    clip->format.samples = buffer_frames(format.freq);
    clip->format.callback = audio_callback;
    clip->format.userdata = nullptr;
    append_clip(clip);
    return clip;
}

}  // namespace

void play_sound(const char* name) {
    // A name the cache cannot hold whole would never be found again, and every play
    // would load the file anew; it is skipped like a file that cannot be read.
    if (std::strlen(name) >= CLIP_NAME_SIZE) return;
    SoundClip* clip = find_clip(name);
    bool first_clip = false;
    if (!clip) {
        clip = load_clip(name);
        if (!clip) return;
        std::printf("caching sound [%s]\n", name);
        first_clip = sound_cache.clip_count == 1;
    }
    // Under the lock the callback never sees the new position with the old length.
    SDL_LockAudio();
    sound_cache.play_position = clip->data;
    sound_cache.play_remaining = clip->length;
    SDL_UnlockAudio();
    // The device takes the first clip's format as it is: every clip must share it.
    if (first_clip && SDL_OpenAudio(&clip->format, nullptr) < 0) {
        char line[200];
        std::snprintf(line, sizeof line, "Couldn't open audio: %s\n", SDL_GetError());
        tell_player(line);
    }
    SDL_PauseAudio(0);
}

void audio_callback(void*, Uint8* stream, int len) {
    // SDL2 hands back the last buffer as it was, so it is cleared first. SDL_OpenAudio
    // wrote the device's silence value into the first clip's format record it was given.
    std::memset(stream, sound_cache.head->format.silence, len);
    if (sound_cache.play_remaining == 0) return;
    Uint32 n = static_cast<Uint32>(len);
    if (n > sound_cache.play_remaining) n = sound_cache.play_remaining;
    // The format is named: sdl2-compat's SDL_MixAudio mixes in the format of the SDL3 device
    // behind it, which is not the one SDL hands this callback.
    SDL_MixAudioFormat(stream, sound_cache.play_position, sound_cache.head->format.format, n,
                       SDL_MIX_MAXVOLUME);
    sound_cache.play_position += n;
    sound_cache.play_remaining -= n;
}

// A cycle starts and ends on its own footsteps, with random ones between.
void play_step_sound() {
    int step = 5;
    if (game.step_counter == 0) {
        step = 0;
    } else if (game.step_counter < STEP_CYCLE - 1) {
        step = TCOD_random_get_int(NULL, 0, 3) + 1;
    }
    char name[20];
    std::snprintf(name, sizeof name, "step%d.wav", step);
    play_sound(name);
    game.step_counter = (game.step_counter + 1) % STEP_CYCLE;
}
