// test_sound_files.cpp -- the game's thirteen WAV files in data/: they must load and share
// one format, since the device plays every clip in the format of the first one loaded.
#include <gtest/gtest.h>
#include <SDL.h>

#include <string>

namespace {

struct SoundFile {
    const char* name;
    double shortest;  // seconds
    double longest;
};

const SoundFile SOUND_FILES[] = {
    {"getpotion.wav", 0.01, 10.0}, {"getrock.wav", 0.01, 10.0}, {"escape.wav", 0.01, 10.0},
    {"gameover.wav", 0.01, 10.0},  {"heal.wav", 0.01, 1.0},     {"squash.wav", 0.01, 0.75},
    {"ouch.wav", 0.01, 0.6},       {"step0.wav", 0.05, 0.25},   {"step1.wav", 0.05, 0.25},
    {"step2.wav", 0.05, 0.25},     {"step3.wav", 0.05, 0.25},   {"step4.wav", 0.05, 0.25},
    {"step5.wav", 0.05, 0.25},
};

TEST(SoundFiles, AllLoadInOneFormatAndFitTheirLengths) {
    for (const SoundFile& file : SOUND_FILES) {
        std::string path = std::string(CRAGMOOR_DATA_DIR) + "/" + file.name;
        SDL_AudioSpec spec;
        Uint8* data;
        Uint32 length;
        if (!SDL_LoadWAV(path.c_str(), &spec, &data, &length)) {
            ADD_FAILURE() << file.name << ": " << SDL_GetError();
            continue;
        }
        EXPECT_EQ(spec.freq, 22050) << file.name;
        EXPECT_EQ(spec.format, AUDIO_S16LSB) << file.name;
        EXPECT_EQ(spec.channels, 1) << file.name;
        double seconds = length / 2 / 22050.0;
        EXPECT_GE(seconds, file.shortest) << file.name;
        EXPECT_LT(seconds, file.longest) << file.name;
        SDL_FreeWAV(data);
    }
}

}  // namespace
