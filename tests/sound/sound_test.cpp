// sound_test.cpp -- the clip cache, audio callback and footstep cycle on WAVs of known samples.
#include <filesystem>
#include <fstream>
#include <set>

#include <unistd.h>

#include "game/game_state.h"
#include "sound/sound.h"
#include "sound/sound_cache.h"
#include "support/support.h"

// A WAV file of the given 8-bit samples, by default mono at 22050 Hz.
static void write_wav(const std::string& name, const std::string& samples,
                      std::uint32_t rate = 22050, std::uint32_t channels = 1) {
    std::uint32_t bytes = samples.size();
    const std::uint32_t header[] = {0x46464952, 36 + bytes, 0x45564157, 0x20746d66, 16,
                                    1u | channels << 16, rate, rate * channels,
                                    channels | 8u << 16, 0x61746164, bytes};
    std::ofstream(name, std::ios::binary).write(reinterpret_cast<const char*>(header), 44)
        << samples;
}

// The game as it starts, in a folder of the test's own files.
static void start_sound_test() {
    start_test();
    SDL_CloseAudio();
    sound_cache = SoundCache{};
    std::filesystem::create_directory(testing::TempDir() + "cragmoor-sound");
    ASSERT_EQ(chdir((testing::TempDir() + "cragmoor-sound").c_str()), 0);
}

// The lock holds the device's thread back while the test mixes; 8-bit silence is 128.
// Files that cannot be read, and names too long to be found again, are skipped, never cached.
TEST(Sound, PlaysRestartCutOffAndEndInSilence) {
    start_sound_test();
    std::string too_long(CLIP_NAME_SIZE, 'x');
    write_wav("a.wav", "abcdef"), write_wav("b.wav", "uv"), write_wav(too_long, "a");
    testing::internal::CaptureStdout();
    play_sound("a.wav");  // the device opens
    SDL_LockAudio();
    std::string mixed;  // each row plays a clip and mixes a buffer
    for (auto [name, length] : {std::pair{"a.wav", 2}, {"a.wav", 0}, {"missing.wav", 2},
                                {too_long.c_str(), 1}, {"b.wav", 4}}) {
        play_sound(name);
        SDL_Delay(100);  // time for the device's thread to mix, were the lock let go
        std::uint8_t buffer[8] = {};
        audio_callback(nullptr, buffer, length);
        for (int i = 0; i < length; i++) mixed += std::to_string(buffer[i]) + " ";
    }
    SDL_UnlockAudio();
    play_sound("a.wav");  // played out by the device's thread once the lock is let go
    for (int wait = 0; wait < 100 && sound_cache.play_remaining > 0; wait++) SDL_Delay(20);
    EXPECT_EQ(sound_cache.play_remaining, 0u);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "caching sound [a.wav]\ncaching sound [b.wav]\n");
    EXPECT_EQ(mixed, "97 98 97 98 99 117 118 128 128 ");
}

// Step 0 opens the cycle and step 5 closes it, with steps 1 to 4 at random between.
TEST(Sound, FootstepsFollowTheEightStepCycle) {
    start_test();
    std::set<char> heard[8];  // the N of each stepN.wav heard at each place of the cycle
    SDL_LockAudio();  // the clip just started is the one at its start
    for (int step = 0; step < 800; step++) {
        game.step_counter = step % 8;
        play_step_sound();
        for (const SoundClip* clip = sound_cache.head; clip; clip = clip->next)
            if (sound_cache.play_position == clip->data) heard[step % 8].insert(clip->name[4]);
        EXPECT_EQ(game.step_counter, (step + 1) % 8);
    }
    SDL_UnlockAudio();
    std::string cycle;
    for (const auto& steps : heard) cycle += std::string(steps.begin(), steps.end()) + " ";
    EXPECT_EQ(cycle, "0 1234 1234 1234 1234 1234 1234 5 ");
}

// A first file SDL cannot play in real time is skipped like an unreadable one, never cached;
// one it can play opens the device with a buffer of a power of two frames lasting at most
// 25 ms, and no shorter than it need be.
struct WavFormat {
    const char* name;
    std::uint32_t rate, channels;
    bool played;
};
const WavFormat FORMATS[] = {{"SixteenHertzIsSkipped", 16, 1, false},
    {"JustUnder8000HertzIsSkipped", 7999, 1, false}, {"At8000HertzPlays", 8000, 1, true},
    {"EightChannelsPlay", 22050, 8, true}, {"NineChannelsAreSkipped", 22050, 9, false},
    {"CdStereoPlays", 44100, 2, true}, {"At192000HertzPlays", 192000, 1, true},
    {"Over192000HertzIsSkipped", 192001, 1, false}};
struct SoundFormat : testing::TestWithParam<WavFormat> {};

TEST_P(SoundFormat, OpensTheDeviceWithAShortBufferOrIsSkipped) {
    auto [name, rate, channels, played] = GetParam();
    start_sound_test();
    write_wav("a.wav", std::string(8 * channels, 'a'), rate, channels);
    play_sound("a.wav");
    ASSERT_EQ(SDL_GetAudioStatus() == SDL_AUDIO_PLAYING, played);
    ASSERT_EQ(sound_cache.clip_count, played ? 1 : 0);
    if (!played) return;
    unsigned frames = sound_cache.head->format.size / channels;  // SDL_OpenAudio filled it in
    EXPECT_LE(frames * 1000, rate * 25);
    EXPECT_GT(frames * 2 * 1000, rate * 25);
    EXPECT_EQ(frames & (frames - 1), 0u);
}
INSTANTIATE_TEST_SUITE_P(Rules, SoundFormat, testing::ValuesIn(FORMATS), RowName());
