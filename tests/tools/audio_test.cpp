// The game's music and sound effects as the game itself opens them (SDL_mixer at 44100 Hz,
// 16-bit stereo, dummy audio driver), judged from their decoded samples: length, level,
// silence, clipping, and whether each loop runs into its start without a click.
#include <gtest/gtest.h>

#include <SDL_mixer.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/sfx.h"
#include "foundation/video_mgr.h"
#include "test_support.h"

namespace {

const int RATE = 44100;
const char* const LOOPS[] = {"rsrc/jazz_loop.ogg", "rsrc/ramp.ogg", "rsrc/tech_loop.ogg"};
const char* const INTRO = "rsrc/menu_intro.ogg";
const char* const EFFECTS[] = {
    "rsrc/sfx/swing_light.wav", "rsrc/sfx/swing_heavy.wav", "rsrc/sfx/hit_light.wav",
    "rsrc/sfx/hit_heavy.wav",   "rsrc/sfx/block.wav",       "rsrc/sfx/projectile.wav",
    "rsrc/sfx/explosion.wav",   "rsrc/sfx/knockout.wav",    "rsrc/sfx/jump.wav",
    "rsrc/sfx/throw.wav",
};

// Opens audio the way the game does, in the game folder so the relative paths resolve.
void open_game_mixer() {
    ASSERT_EQ(chdir(FIGHT_DATA_DIR), 0);
    ASSERT_EQ(video.init_audio(), 0);
    ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 8192), 0) << Mix_GetError();
    int rate = 0, channels = 0;
    Uint16 format = 0;
    Mix_QuerySpec(&rate, &format, &channels);
    ASSERT_EQ(rate, RATE);
    ASSERT_EQ(format, AUDIO_S16LSB);
    ASSERT_EQ(channels, 2);
}

// One channel of a decoded sound, scaled to -1..1.
typedef std::vector<double> channel;

// Splits a mixer chunk (interleaved 16-bit stereo) into its two channels.
void split(const Mix_Chunk* c, channel& left, channel& right) {
    const int16_t* s = (const int16_t*)c->abuf;
    size_t frames = c->alen / 4;
    left.resize(frames);
    right.resize(frames);
    for (size_t i = 0; i < frames; i++) {
        left[i] = s[2 * i] / 32768.0;
        right[i] = s[2 * i + 1] / 32768.0;
    }
}

double peak(const channel& c, size_t from = 0, size_t to = SIZE_MAX) {
    double p = 0;
    for (size_t i = from; i < c.size() && i < to; i++) p = std::fmax(p, std::fabs(c[i]));
    return p;
}

double rms(const channel& c, size_t from = 0, size_t to = SIZE_MAX) {
    double s = 0;
    size_t n = 0;
    for (size_t i = from; i < c.size() && i < to; i++, n++) s += c[i] * c[i];
    return n ? std::sqrt(s / (double)n) : 0.0;
}

size_t clipped(const channel& c) {
    size_t n = 0;
    for (double v : c)
        if (std::fabs(v) >= 32767.0 / 32768.0) n++;
    return n;
}

// The step from the last sample back to the first, measured against the ordinary
// sample-to-sample movement on both sides of the join: a click is a step far larger than
// anything around it. Returns the ratio (1 is a perfectly ordinary step).
double join_step_ratio(const channel& c) {
    const size_t span = 2048;
    if (c.size() < 2 * span) return 1e9;
    double sum = 0;
    for (size_t i = c.size() - span; i + 1 < c.size(); i++) sum += std::fabs(c[i + 1] - c[i]);
    for (size_t i = 0; i + 1 < span; i++) sum += std::fabs(c[i + 1] - c[i]);
    double mean = sum / (2.0 * (span - 1));
    double step = std::fabs(c.front() - c.back());
    return step / std::fmax(mean, 1e-4);
}

// Decodes a whole track through the mixer (it decodes Ogg Vorbis into a chunk, too).
Mix_Chunk* decode(const char* path) {
    SDL_RWops* rw = SDL_RWFromFile(path, "rb");
    return rw ? Mix_LoadWAV_RW(rw, 1) : nullptr;
}

channel tone(size_t frames, double hz) {
    channel c(frames);
    for (size_t i = 0; i < frames; i++) c[i] = 0.5 * std::sin(2 * M_PI * hz * (double)i / RATE);
    return c;
}

} // namespace

TEST(AudioChecks, JoinCheckTellsAWholeCycleFromACutOne) {
    // 441 Hz repeats every 100 samples: a loop of 44100 frames closes on itself.
    EXPECT_LT(join_step_ratio(tone(44100, 441.0)), 2.0);
    // Cut a quarter of the way into a cycle, near its crest, the loop drops back to zero.
    EXPECT_GT(join_step_ratio(tone(44125, 441.0)), 4.0);
    // A quiet tone that ends on a full-scale sample is a click as well.
    channel c = tone(44100, 441.0);
    c.back() = 0.9;
    EXPECT_GT(join_step_ratio(c), 4.0);
}

TEST(Music, EveryTrackLoadsAndPlaysThroughTheMixer) {
    open_game_mixer();
    for (const char* path : LOOPS) {
        Mix_Music* m = Mix_LoadMUS(path);
        ASSERT_NE(m, nullptr) << path << ": " << Mix_GetError();
        EXPECT_EQ(Mix_PlayMusic(m, -1), 0) << path;
        EXPECT_EQ(Mix_PlayingMusic(), 1) << path;
        Mix_HaltMusic();
        Mix_FreeMusic(m);
    }
    Mix_Music* intro = Mix_LoadMUS(INTRO);
    ASSERT_NE(intro, nullptr) << Mix_GetError();
    EXPECT_EQ(Mix_FadeInMusic(intro, 0, 1000), 0);
    EXPECT_EQ(Mix_PlayingMusic(), 1);
    Mix_HaltMusic();
    Mix_FreeMusic(intro);
}

TEST(Music, LoopsAreLongAudibleUnclippedAndJoinWithoutAClick) {
    open_game_mixer();
    for (const char* path : LOOPS) {
        Mix_Chunk* c = decode(path);
        ASSERT_NE(c, nullptr) << path << ": " << Mix_GetError();
        channel l, r;
        split(c, l, r);
        double seconds = (double)l.size() / RATE;
        EXPECT_GE(seconds, 20.0) << path;
        EXPECT_LE(seconds, 120.0) << path;
        for (const channel* ch : {&l, &r}) {
            EXPECT_EQ(clipped(*ch), 0u) << path;
            EXPECT_LT(peak(*ch), 0.98) << path;
            EXPECT_GT(peak(*ch), 0.3) << path;
            EXPECT_GT(rms(*ch), 0.05) << path; // about -26 dBFS
            EXPECT_LT(join_step_ratio(*ch), 4.0) << path;
            // Music plays all the way through: no dead second anywhere in the loop.
            for (size_t s = 0; s + RATE <= ch->size(); s += RATE)
                EXPECT_GT(rms(*ch, s, s + RATE), 0.02) << path << " second " << s / RATE;
        }
        Mix_FreeChunk(c);
    }
}

TEST(Music, IntroIsShortAudibleUnclippedAndFadesToSilence) {
    open_game_mixer();
    Mix_Chunk* c = decode(INTRO);
    ASSERT_NE(c, nullptr) << Mix_GetError();
    channel l, r;
    split(c, l, r);
    double seconds = (double)l.size() / RATE;
    EXPECT_GE(seconds, 5.0);
    EXPECT_LE(seconds, 30.0); // it plays while the game loads, then the menu music follows
    for (const channel* ch : {&l, &r}) {
        EXPECT_EQ(clipped(*ch), 0u);
        EXPECT_LT(peak(*ch), 0.98);
        EXPECT_GT(peak(*ch), 0.3);
        EXPECT_GT(rms(*ch), 0.03);
        EXPECT_GT(rms(*ch, 0, RATE), 0.01); // starts at once, not after a pause
        EXPECT_LT(peak(*ch, ch->size() - RATE / 20), 0.01); // rings out instead of stopping dead
    }
    Mix_FreeChunk(c);
}

TEST(SoundEffects, AreSixteenBitPcmFiles) {
    ASSERT_EQ(chdir(FIGHT_DATA_DIR), 0);
    for (const char* path : EFFECTS) {
        std::string bytes = read_text(path);
        ASSERT_GE(bytes.size(), 44u) << path;
        const unsigned char* b = (const unsigned char*)bytes.data();
        EXPECT_EQ(bytes.substr(0, 4), "RIFF") << path;
        EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ") << path;
        EXPECT_EQ(b[20] | b[21] << 8, 1) << path << ": not integer PCM";
        EXPECT_EQ(b[34] | b[35] << 8, 16) << path << ": not 16-bit";
    }
}

TEST(SoundEffects, LoadThroughTheSoundCacheAndPlay) {
    open_game_mixer();
    for (const char* path : EFFECTS) {
        log_capture log;
        sfx* s = Sfx_Manager.get(path);
        EXPECT_EQ(log.out, std::string("loading sfx [") + path + "]\n");
        ASSERT_NE(s->chunk, nullptr) << path;
        s->play(-1, 0);
        EXPECT_GE(Mix_Playing(-1), 1) << path;
        Mix_HaltChannel(-1);
    }
}

TEST(SoundEffects, AreShortImmediateAudibleUnclippedAndEndInSilence) {
    open_game_mixer();
    for (const char* path : EFFECTS) {
        sfx* s = Sfx_Manager.get(path);
        ASSERT_NE(s->chunk, nullptr) << path;
        channel l, r;
        split(s->chunk, l, r);
        double seconds = (double)l.size() / RATE;
        EXPECT_GE(seconds, 0.05) << path;
        EXPECT_LE(seconds, 3.5) << path;
        EXPECT_EQ(clipped(l) + clipped(r), 0u) << path;
        EXPECT_LT(peak(l), 0.98) << path;
        EXPECT_GT(peak(l), 0.4) << path;
        EXPECT_GT(rms(l), 0.05) << path;
        // Played on the frame that shows the blow: sound within the first 15 ms...
        EXPECT_GT(peak(l, 0, RATE * 15 / 1000), 0.05) << path;
        // ...and no click where the sound ends.
        EXPECT_LT(peak(l, l.size() - RATE / 100), 0.02) << path;
    }
}

TEST(SoundGenerator, MakesTheSameFilesOnEveryRun) {
    std::string gen = program_path("tools/sound_gen");
    if (!file_exists(gen)) GTEST_SKIP() << "the media generator is not part of this build";
    scratch_dir a, b;
    for (const char* name : {"ramp.ogg", "hit_heavy.wav"}) {
        run_result ra = run_program(gen, {a.file(name)}, a.path, {}, 60000);
        run_result rb = run_program(gen, {b.file(name)}, b.path, {}, 60000);
        ASSERT_EQ(ra.exit_code, 0) << ra.err;
        ASSERT_EQ(rb.exit_code, 0) << rb.err;
        std::string one = read_text(a.file(name));
        EXPECT_GT(one.size(), 1000u) << name;
        EXPECT_TRUE(one == read_text(b.file(name))) << name;
    }
}
