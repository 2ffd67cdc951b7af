// Sound effects through the sound cache, on the dummy audio driver.
#include <gtest/gtest.h>

#include <SDL_mixer.h>
#include <cmath>
#include <cstdio>
#include <vector>

#include "foundation/sfx.h"
#include "foundation/video_mgr.h"
#include "test_support.h"

// A short 16-bit mono PCM WAV with a tone (rate samples a second, 2205 samples).
static void write_wav(const std::string& path, uint32_t rate = 22050) {
    const int n = 2205;
    std::vector<int16_t> pcm(n);
    for (int i = 0; i < n; i++) pcm[(size_t)i] = (int16_t)(8000 * sin(i * 0.1));
    FILE* f = fopen(path.c_str(), "wb");
    auto u32 = [&](uint32_t v) { fwrite(&v, 4, 1, f); };
    auto u16 = [&](uint16_t v) { fwrite(&v, 2, 1, f); };
    fwrite("RIFF", 1, 4, f); u32(36 + n * 2); fwrite("WAVE", 1, 4, f);
    fwrite("fmt ", 1, 4, f); u32(16); u16(1); u16(1); u32(rate); u32(rate * 2u); u16(2); u16(16);
    fwrite("data", 1, 4, f); u32(n * 2);
    fwrite(pcm.data(), 2, (size_t)n, f);
    fclose(f);
}

static void open_mixer() {
    ASSERT_EQ(video.init_audio(), 0);
    ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 8192), 0) << Mix_GetError();
}

TEST(Sfx, OneFileLoadsOnceForTwoRequestsAndPlays) {
    open_mixer();
    scratch_dir d;
    std::string path = d.file("hit.wav");
    write_wav(path);
    log_capture log;
    sfx* a = Sfx_Manager.get(path.c_str());
    sfx* b = Sfx_Manager.get(path.c_str());
    EXPECT_EQ(a, b);
    EXPECT_EQ(log.count("loading sfx [" + path + "]\n"), 1);
    ASSERT_NE(a->chunk, nullptr);
    sfx copy = *a; // frames keep their own record; the chunk is shared
    copy.play(-1, 0);
    EXPECT_GE(Mix_Playing(-1), 1);
}

TEST(Sfx, AMissingFileIsReportedAndStaysSilent) {
    open_mixer();
    log_capture log;
    sfx* s = Sfx_Manager.get("no/such/sound.wav");
    EXPECT_EQ(s->chunk, nullptr);
    EXPECT_TRUE(log.has("loading sfx [no/such/sound.wav]\nMix_LoadWAV: "));
    s->play(-1, 0);
    EXPECT_EQ(Mix_Playing(-1), 0);
    log.reset();
    EXPECT_EQ(Sfx_Manager.get("no/such/sound.wav"), s); // never retried
    EXPECT_FALSE(log.has("loading sfx"));
}

// The mixer's rate conversion corrupts memory for a rate of a few hertz: such a file is
// refused before loading, like any other file that cannot be played; 4000 Hz still plays.
TEST(Sfx, AnAbsurdSampleRateIsRefusedBeforeTheMixerSeesIt) {
    open_mixer();
    scratch_dir d;
    for (uint32_t rate : {1u, 50u, 3999u, 192001u, 4294967295u}) {
        std::string path = d.file("rate" + std::to_string(rate) + ".wav");
        write_wav(path, rate);
        log_capture log;
        sfx s;
        EXPECT_EQ(s.load(path.c_str()), nullptr);
        EXPECT_TRUE(log.has("Mix_LoadWAV: sample rate " + std::to_string(rate) + " Hz out of range\n"))
            << log.out;
    }
    std::string ok = d.file("rate4000.wav");
    write_wav(ok, 4000);
    sfx s;
    EXPECT_NE(s.load(ok.c_str()), nullptr);
}
