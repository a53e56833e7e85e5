// sound_test.cpp -- the clip cache, the audio device and the footstep cycle, played from
// small WAV files of known samples; SDL's disk driver records what was really mixed.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <thread>

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

// Every sample is distinct, so the recording shows where each play began and ended:
// a replay restarts, a new clip cuts off the old one, silence follows the last one.
TEST(Sound, PlaysRestartCutOffAndEndInSilence) {
    start_audio("disk", "/tmp/cragmoor-mixed.raw");
    std::vector<std::int16_t> a(6 * 4096), b(1000);
    for (size_t i = 0; i < a.size(); i++) a[i] = std::int16_t(1000 + i);
    for (size_t i = 0; i < b.size(); i++) b[i] = std::int16_t(-1000 - i);
    write_wav("a.wav", a), write_wav("b.wav", b);
    std::ofstream("bad.wav") << "not a wave file";
    auto mixed = [] {
        std::ifstream in("/tmp/cragmoor-mixed.raw", std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), {});
        std::vector<std::int16_t> s(bytes.size() / 2);
        std::memcpy(s.data(), bytes.data(), s.size() * 2);
        return s;
    };
    auto wait_for = [&](std::int16_t sample, size_t count) {
        for (int i = 0; i < 5000; i++, std::this_thread::sleep_for(std::chrono::milliseconds(2))) {
            std::vector<std::int16_t> s = mixed();
            if (std::count(s.begin(), s.end(), sample) >= long(count)) return;
        }
    };
    EXPECT_EQ(played("bad.wav") + played("missing.wav"), "");
    EXPECT_EQ(SDL_GetAudioStatus(), SDL_AUDIO_STOPPED);
    EXPECT_EQ(played("a.wav"), "caching sound [a.wav]\n");
    wait_for(a[0], 1);
    EXPECT_EQ(played("a.wav") + played("bad.wav"), "");
    wait_for(a[0], 2);
    EXPECT_EQ(played("b.wav"), "caching sound [b.wav]\n");
    wait_for(b.back(), 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    SDL_CloseAudio();
    std::vector<std::int16_t> s = mixed();
    long first = std::find(s.begin(), s.end(), a[0]) - s.begin();
    long second = std::find(s.begin() + first + 1, s.end(), a[0]) - s.begin();
    long third = std::find(s.begin() + second, s.end(), b[0]) - s.begin();
    ASSERT_TRUE(second - first < long(a.size()) && third - second < long(a.size())) << "a was not cut off";
    std::vector<std::int16_t> want(first, 0);
    want.insert(want.end(), a.begin(), a.begin() + (second - first));
    want.insert(want.end(), a.begin(), a.begin() + (third - second));
    want.insert(want.end(), b.begin(), b.end());
    want.resize(s.size(), 0);
    EXPECT_TRUE(s == want) << "the recording is not a, a cut off, a cut off, b, then silence";
    EXPECT_EQ(sound_cache.clip_count, 2);
}

TEST(Sound, LongNamesAndADeviceThatWillNotOpen) {
    start_audio("disk", "/tmp/no-such-folder/mixed.raw");
    std::string too_long = std::string(CLIP_NAME_SIZE, 'x'), longest = std::string(CLIP_NAME_SIZE - 1, 'y');
    write_wav(too_long, {1}), write_wav(longest, {1}), write_wav("b.wav", {2, 3});
    EXPECT_EQ(played(too_long.c_str()), "");
    EXPECT_EQ(played(longest.c_str()), "caching sound [" + longest + "]\nCouldn't open audio: Couldn't open /tmp/no-such-folder/mixed.raw\n");
    EXPECT_EQ(played(longest.c_str()) + played("b.wav"), "caching sound [b.wav]\n");
    EXPECT_EQ(sound_cache.clip_count, 2);
    EXPECT_NE(find_clip("b.wav"), nullptr);
}

// Eight-bit audio is silent at 128: the callback fills with the device's silence.
TEST(Sound, CallbackMixesWhatRemainsThenSilence) {
    start_audio("dummy");
    write_wav("u8.wav", std::vector<std::int16_t>(300, 7), 8);
    play_sound("u8.wav");
    SDL_LockAudio();
    sound_cache.play_position = find_clip("u8.wav")->data + 200;
    sound_cache.play_remaining = 100;
    std::uint8_t buffer[2][256];
    std::memset(buffer, 0xab, sizeof buffer);
    audio_callback(nullptr, buffer[0], 256);
    audio_callback(nullptr, buffer[1], 256);
    SDL_UnlockAudio();
    std::vector<std::uint8_t> want(512, 128);
    std::fill(want.begin(), want.begin() + 100, 7);
    EXPECT_TRUE(std::equal(want.begin(), want.end(), buffer[0]));
    EXPECT_EQ(sound_cache.play_position - find_clip("u8.wav")->data, 300);
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
