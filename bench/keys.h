// keys.h -- a key stroke as the keyboard sends it, for the benchmark and for the library
// it preloads into the built game.
#pragma once

#include <SDL.h>

inline void push_key_half(SDL_Keycode key, bool down) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    SDL_PushEvent(&event);
}

// The press and its release.
inline void push_key(SDL_Keycode key) {
    push_key_half(key, true);
    push_key_half(key, false);
}
