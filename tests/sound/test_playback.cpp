// test_playback.cpp -- the clip cache, the audio device and the footstep cycle, played
// from small WAV files of known samples; SDL's disk driver records what was really mixed.
#include <gtest/gtest.h>
#include <libtcod.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>

#include <unistd.h>

#include "game/game_state.h"
#include "sound/sound.h"
#include "sound/sound_cache.h"

namespace {

using Samples = std::vector<std::int16_t>;

constexpr int BUFFER_SAMPLES = 4096;  // what SDL_LoadWAV_RW asks the device for

// A RIFF file of mono PCM at 22050 Hz (the header's fields are little-endian, as here).
void write_wav(const char* name, const void* data, std::uint32_t bytes, std::uint16_t bits) {
    const std::uint16_t block = bits / 8;
    const std::uint32_t header[] = {0x46464952, 36 + bytes, 0x45564157, 0x20746d66, 16,
                                    1u | 1u << 16, 22050, 22050u * block,
                                    block | std::uint32_t(bits) << 16, 0x61746164, bytes};
    std::ofstream file(name, std::ios::binary);
    file.write(reinterpret_cast<const char*>(header), sizeof header);
    file.write(static_cast<const char*>(data), bytes);
}

void write_wav(const char* name, const Samples& samples) {
    write_wav(name, samples.data(), samples.size() * 2, 16);
}

Samples read_samples(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Samples samples(bytes.size() / 2);
    if (!samples.empty()) std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

bool wait_for(const std::string& path, const std::function<bool(const Samples&)>& done) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        if (done(read_samples(path))) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

std::string played(const char* name) {
    testing::internal::CaptureStdout();
    play_sound(name);
    return testing::internal::GetCapturedStdout();
}

// Where play_position lies tells which clip plays, wherever the callback has got to.
const SoundClip* playing_clip() {
    const SoundClip* clip = sound_cache.head;
    while (clip && (sound_cache.play_position < clip->data ||
                    sound_cache.play_position > clip->data + clip->length)) clip = clip->next;
    return clip;
}

class Sound : public testing::Test {
protected:
    std::string folder;

    void SetUp() override {
        char name[] = "/tmp/cragmoor-sound-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        folder = name;
        ASSERT_EQ(chdir(name), 0);
    }
    void TearDown() override {
        SDL_Quit();
        std::filesystem::remove_all(folder);
    }
    void start_audio(const char* driver, const std::string& disk_file = "") {
        setenv("SDL_AUDIODRIVER", driver, 1);
        setenv("SDL_DISKAUDIOFILE", disk_file.c_str(), 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
    }
};

// Every sample of the clips is nonzero and appears once, so the recording shows where
// each play began and how far it got.
TEST_F(Sound, PlaysRestartAndCutOffWhatIsPlaying) {
    Samples a(6 * BUFFER_SAMPLES), b(1000);
    for (size_t i = 0; i < a.size(); i++) a[i] = static_cast<std::int16_t>(1000 + i);
    for (size_t i = 0; i < b.size(); i++) b[i] = static_cast<std::int16_t>(-1000 - i);
    write_wav("a.wav", a);
    write_wav("b.wav", b);
    std::string recording = folder + "/mixed.raw";
    start_audio("disk", recording);
    auto count_a_starts = [&](const Samples& s) { return std::count(s.begin(), s.end(), a[0]); };

    EXPECT_EQ(played("a.wav"), "caching sound [a.wav]\n");
    EXPECT_EQ(SDL_GetAudioStatus(), SDL_AUDIO_PLAYING);
    ASSERT_TRUE(wait_for(recording, [&](const Samples& s) { return count_a_starts(s) == 1; }));
    EXPECT_EQ(played("a.wav"), "");
    ASSERT_TRUE(wait_for(recording, [&](const Samples& s) { return count_a_starts(s) == 2; }));
    EXPECT_EQ(played("b.wav"), "caching sound [b.wav]\n");
    ASSERT_TRUE(wait_for(recording, [&](const Samples& s) {
        auto last_b = std::find(s.begin(), s.end(), b.back());
        return last_b != s.end() && s.end() - last_b > 2 * BUFFER_SAMPLES;
    }));
    SDL_Quit();
    EXPECT_EQ(sound_cache.clip_count, 2);

    Samples s = read_samples(recording);
    auto first_a = std::find(s.begin(), s.end(), a[0]);
    auto second_a = std::find(first_a + 1, s.end(), a[0]);
    auto first_b = std::find(second_a, s.end(), b[0]);
    ASSERT_NE(first_b, s.end());
    EXPECT_TRUE(std::all_of(s.begin(), first_a, [](std::int16_t v) { return v == 0; }));
    ASSERT_LT(second_a - first_a, static_cast<long>(a.size())) << "a was not cut off";
    EXPECT_TRUE(std::equal(first_a, second_a, a.begin()));
    ASSERT_LT(first_b - second_a, static_cast<long>(a.size())) << "a was not cut off";
    EXPECT_TRUE(std::equal(second_a, first_b, a.begin()));
    ASSERT_GT(s.end() - first_b, static_cast<long>(b.size()));
    EXPECT_TRUE(std::equal(b.begin(), b.end(), first_b));
    EXPECT_TRUE(std::all_of(first_b + b.size(), s.end(), [](std::int16_t v) { return v == 0; }))
        << "after the last clip the device must play silence, not its last buffer again";
}

TEST_F(Sound, UnloadableFilesAreSkippedAndTriedAgain) {
    start_audio("dummy");
    std::ofstream("bad.wav") << "not a wave file";
    EXPECT_EQ(played("later.wav"), "");
    EXPECT_EQ(played("bad.wav"), "");
    EXPECT_EQ(sound_cache.clip_count, 0);
    EXPECT_EQ(SDL_GetAudioStatus(), SDL_AUDIO_STOPPED);

    write_wav("a.wav", Samples(3 * BUFFER_SAMPLES, 500));
    EXPECT_EQ(played("a.wav"), "caching sound [a.wav]\n");
    EXPECT_EQ(SDL_GetAudioStatus(), SDL_AUDIO_PLAYING);
    ASSERT_NE(find_clip("a.wav"), nullptr);
    EXPECT_EQ(find_clip("a.wav")->length, 3u * BUFFER_SAMPLES * 2);

    SDL_LockAudio();
    std::uint8_t* position = sound_cache.play_position;
    std::uint32_t remaining = sound_cache.play_remaining;
    EXPECT_EQ(played("later.wav"), "");
    EXPECT_EQ(sound_cache.play_position, position) << "a failed play must not stop the sound";
    EXPECT_EQ(sound_cache.play_remaining, remaining);
    SDL_UnlockAudio();

    write_wav("later.wav", Samples(10, 7));
    EXPECT_EQ(played("later.wav"), "caching sound [later.wav]\n");
    EXPECT_EQ(sound_cache.clip_count, 2);
    EXPECT_EQ(sound_cache.head->next, find_clip("later.wav"));
    SDL_PauseAudio(1);
    play_sound("a.wav");
    EXPECT_EQ(SDL_GetAudioStatus(), SDL_AUDIO_PLAYING);
}

TEST_F(Sound, NameTooLongToKeepIsSkipped) {
    start_audio("dummy");
    std::string name = std::string(CLIP_NAME_SIZE, 'x') + ".wav";
    write_wav(name.c_str(), Samples(10, 7));
    EXPECT_EQ(played(name.c_str()), "");
    EXPECT_EQ(played(name.c_str()), "");
    EXPECT_EQ(sound_cache.clip_count, 0);
    std::string longest = std::string(CLIP_NAME_SIZE - 1 - 4, 'y') + ".wav";
    write_wav(longest.c_str(), Samples(10, 7));
    EXPECT_EQ(played(longest.c_str()), "caching sound [" + longest + "]\n");
    EXPECT_EQ(played(longest.c_str()), "");
}

// The disk driver cannot open its recording in a folder that does not exist.
TEST_F(Sound, DeviceThatWillNotOpenIsReportedOnceAndPlaysStillCache) {
    write_wav("a.wav", Samples(100, 1));
    write_wav("b.wav", Samples(50, 2));
    std::string recording = folder + "/no-such-folder/mixed.raw";
    start_audio("disk", recording);
    EXPECT_EQ(played("a.wav"),
              "caching sound [a.wav]\nCouldn't open audio: Couldn't open " + recording + "\n");
    EXPECT_EQ(played("a.wav"), "");
    EXPECT_EQ(played("b.wav"), "caching sound [b.wav]\n");
    EXPECT_EQ(sound_cache.clip_count, 2);
    EXPECT_EQ(sound_cache.play_position, find_clip("b.wav")->data);
    EXPECT_EQ(sound_cache.play_remaining, 100u);
}

// Eight-bit audio is silent at 128, not 0, so this clip shows the callback uses the
// device's own silence value.
TEST_F(Sound, CallbackMixesWhatRemainsThenSilence) {
    std::uint8_t clip[300];
    for (int i = 0; i < 300; i++) clip[i] = static_cast<std::uint8_t>(i % 100);
    write_wav("u8.wav", clip, sizeof clip, 8);
    start_audio("dummy");
    play_sound("u8.wav");
    std::uint8_t* data = find_clip("u8.wav")->data;

    SDL_LockAudio();
    sound_cache.play_position = data + 200;
    sound_cache.play_remaining = 100;
    std::uint8_t buffer[256];
    std::memset(buffer, 0xab, sizeof buffer);
    audio_callback(nullptr, buffer, sizeof buffer);
    EXPECT_EQ(std::memcmp(buffer, clip + 200, 100), 0);
    EXPECT_TRUE(std::all_of(buffer + 100, buffer + 256, [](std::uint8_t v) { return v == 128; }));
    EXPECT_EQ(sound_cache.play_position, data + 300);
    EXPECT_EQ(sound_cache.play_remaining, 0u);

    std::memset(buffer, 0xab, sizeof buffer);
    audio_callback(nullptr, buffer, sizeof buffer);
    EXPECT_TRUE(std::all_of(buffer, buffer + 256, [](std::uint8_t v) { return v == 128; }));
    EXPECT_EQ(sound_cache.play_position, data + 300);
    SDL_UnlockAudio();
}

TEST_F(Sound, FootstepsFollowTheEightStepCycle) {
    const int LOWEST_STEP[8] = {0, 1, 1, 1, 1, 1, 1, 5};
    const int HIGHEST_STEP[8] = {0, 4, 4, 4, 4, 4, 4, 5};
    for (int k = 0; k <= 5; k++)
        write_wav(("step" + std::to_string(k) + ".wav").c_str(), Samples(100, 1));
    start_audio("dummy");
    game.step_counter = 0;
    int heard[6] = {};
    for (int step = 0; step < 400; step++) {
        int counter = game.step_counter;
        play_step_sound();
        const SoundClip* clip = playing_clip();
        ASSERT_NE(clip, nullptr) << "step " << step;
        int k = clip->name[4] - '0';
        heard[k]++;
        EXPECT_TRUE(k >= LOWEST_STEP[counter] && k <= HIGHEST_STEP[counter])
            << "counter " << counter << " played " << clip->name;
        EXPECT_EQ(game.step_counter, (counter + 1) % 8);
    }
    for (int k = 1; k <= 4; k++) EXPECT_GT(heard[k], 30) << "step" << k << ".wav";
}

}  // namespace
