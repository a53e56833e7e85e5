// sound_test.cpp -- the clip cache, the audio device and the footstep cycle, played from
// small WAV files of known samples; SDL's disk driver records what was really mixed.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include <unistd.h>

#include "game/game_state.h"
#include "sound/sound.h"
#include "sound/sound_cache.h"
#include "support/support.h"

namespace {

// A mono 22050 Hz RIFF file of the given samples (8 or 16 bits).
void write_wav(const std::string& name, std::vector<std::int16_t> samples, std::uint16_t bits = 16) {
    std::string data;
    for (std::int16_t s : samples) data.append(reinterpret_cast<const char*>(&s), bits / 8);
    std::uint32_t bytes = data.size(), block = bits / 8;
    const std::uint32_t header[] = {0x46464952, 36 + bytes, 0x45564157, 0x20746d66, 16, 1u | 1u << 16,
                                    22050, 22050 * block, block | std::uint32_t(bits) << 16, 0x61746164, bytes};
    std::ofstream(name, std::ios::binary).write(reinterpret_cast<const char*>(header), sizeof header) << data;
}

// Opens audio afresh in a scratch folder with an empty cache, as at the game's start.
void start_audio(const char* driver, const std::string& recording = "") {
    start_test();
    SDL_CloseAudio();
    while (SDL_WasInit(SDL_INIT_AUDIO)) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    sound_cache = SoundCache{};
    char folder[] = "/tmp/cragmoor-sound-XXXXXX";
    ASSERT_EQ(chdir(mkdtemp(folder)), 0);
    setenv("SDL_AUDIODRIVER", driver, 1);
    setenv("SDL_DISKAUDIOFILE", recording.c_str(), 1);
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
}

std::string played(const char* name) {
    testing::internal::CaptureStdout();
    play_sound(name);
    return testing::internal::GetCapturedStdout();
}

}  // namespace

// With the audio lock held the device's thread waits, and the test mixes the buffers
// itself. Eight-bit audio is silent at 128: the callback fills with the device's silence.
TEST(Sound, PlaysRestartCutOffAndEndInSilence) {
    start_audio("dummy");
    write_wav("a.wav", {10, 11, 12, 13, 14, 15}, 8), write_wav("b.wav", {20, 21}, 8);
    std::ofstream("bad.wav") << "not a wave file";
    EXPECT_EQ(played("bad.wav") + played("missing.wav"), "");
    EXPECT_EQ(SDL_GetAudioStatus(), SDL_AUDIO_STOPPED);
    std::string mixed;
    auto mix = [&mixed](int length) {
        std::uint8_t buffer[8];
        std::memset(buffer, 0xab, sizeof buffer);
        audio_callback(nullptr, buffer, length);
        for (int i = 0; i < length; i++) mixed += std::to_string(buffer[i]) + " ";
    };
    EXPECT_EQ(played("a.wav"), "caching sound [a.wav]\n");  // the device opens: the lock holds from here
    SDL_LockAudio();
    EXPECT_EQ(played("a.wav"), "");
    mix(2);
    EXPECT_EQ(played("a.wav") + played("bad.wav"), "");
    mix(3);
    EXPECT_EQ(played("b.wav"), "caching sound [b.wav]\n");
    mix(4);
    mix(2);
    SDL_UnlockAudio();
    EXPECT_EQ(mixed, "10 11 10 11 12 20 21 128 128 128 128 ");
    EXPECT_EQ(SDL_GetAudioStatus(), SDL_AUDIO_PLAYING);
    EXPECT_EQ(sound_cache.clip_count * 100 + (sound_cache.head->next == find_clip("b.wav")), 201);
}

TEST(Sound, LongNamesAndADeviceThatWillNotOpen) {
    start_audio("disk", "/tmp/no-such-folder/mixed.raw");
    std::string too_long = std::string(CLIP_NAME_SIZE, 'x'), longest = std::string(CLIP_NAME_SIZE - 1, 'y');
    write_wav(too_long, {1}), write_wav(longest, {1}), write_wav("b.wav", {2, 3});
    EXPECT_EQ(played(too_long.c_str()), "");
    EXPECT_EQ(played(longest.c_str()), "caching sound [" + longest + "]\nCouldn't open audio: Couldn't open /tmp/no-such-folder/mixed.raw\n");
    EXPECT_EQ(played(longest.c_str()) + played("b.wav"), "caching sound [b.wav]\n");
}

TEST(Sound, FootstepsFollowTheEightStepCycleInTheGamesFormat) {
    start_audio("dummy");
    ASSERT_EQ(chdir(CRAGMOOR_DATA_DIR), 0);
    int heard[8][6] = {};
    for (int step = 0; step < 800; step++) {
        int counter = game.step_counter = step % 8;
        play_step_sound();
        for (const SoundClip* clip = sound_cache.head; clip; clip = clip->next)
            if (sound_cache.play_position == clip->data) heard[counter][clip->name[4] - '0']++;
        EXPECT_EQ(game.step_counter, (counter + 1) % 8);
        EXPECT_EQ(sound_cache.head->spec.freq * 100 + sound_cache.head->spec.channels, 2205001);
    }
    for (int counter = 0; counter < 8; counter++)
        for (int k = 0; k < 6; k++) {
            bool allowed = counter == 0 ? k == 0 : counter == 7 ? k == 5 : k >= 1 && k <= 4;
            EXPECT_EQ(heard[counter][k] > (counter == 0 || counter == 7 ? 99 : 5), allowed) << counter << " " << k;
        }
}
