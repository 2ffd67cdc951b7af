// The building blocks of the sound generator: loop wrapping, filters, oscillators, timing,
// voicing, room effects and the two file writers.
#include <gtest/gtest.h>

#include <SDL_mixer.h>

#include <cmath>
#include <cstdint>
#include <string>

#include "foundation/video_mgr.h"
#include "sound/audio_buffer.h"
#include "sound/dsp.h"
#include "sound/room_effects.h"
#include "sound/sequencer.h"
#include "sound/sound_effects.h"
#include "sound/sound_files.h"
#include "test_support.h"

namespace {
const int RATE = 44100;

// Level of a sine of hz after the filter has settled, relative to its input level.
double filter_gain(double hz, bool low, double cutoff) {
    svf f;
    osc o;
    double peak = 0;
    for (int i = 0; i < RATE / 2; i++) {
        f.run(o.sine(hz, RATE), cutoff, 0.707, RATE);
        if (i > RATE / 4) peak = std::fmax(peak, std::fabs(low ? f.low : f.high));
    }
    return peak;
}

double energy(const audio_buffer& b, long from, long to) {
    double e = 0;
    for (long i = from; i < to; i++) e += b.left[(size_t)i] * b.left[(size_t)i] + b.right[(size_t)i] * b.right[(size_t)i];
    return e;
}

uint32_t le32(const std::string& s, size_t at) {
    const unsigned char* p = (const unsigned char*)s.data() + at;
    return p[0] | p[1] << 8 | p[2] << 16 | (uint32_t)p[3] << 24;
}
int16_t le16(const std::string& s, size_t at) {
    const unsigned char* p = (const unsigned char*)s.data() + at;
    return (int16_t)(p[0] | p[1] << 8);
}
} // namespace

TEST(SoundBuffer, LoopsWrapTailsToTheStartAndOneShotsGrow) {
    audio_buffer loop(RATE, 100, true);
    loop.add(105, 0.5f, 0.25f); // rings past the end: heard at the start of the next pass
    loop.add(-1, 0.1f, 0.1f);   // just before the start is the loop's last frame
    EXPECT_FLOAT_EQ(loop.left[5], 0.5f);
    EXPECT_FLOAT_EQ(loop.right[5], 0.25f);
    EXPECT_FLOAT_EQ(loop.left[99], 0.1f);
    EXPECT_EQ(loop.frames(), 100);

    audio_buffer shot(RATE, 10, false);
    shot.add(500, 1.0f, 1.0f);
    shot.add(-3, 1.0f, 1.0f); // before the start: dropped
    EXPECT_GT(shot.frames(), 500);
    EXPECT_FLOAT_EQ(shot.left[500], 1.0f);
    EXPECT_FLOAT_EQ(energy(shot, 0, 500), 0.0f);

    float l, r;
    pan_gains(0.0f, l, r);
    EXPECT_NEAR(l, 1.0, 1e-6); // centre keeps the level on both sides
    EXPECT_NEAR(r, 1.0, 1e-6);
    pan_gains(-1.0f, l, r);
    EXPECT_NEAR(r, 0.0, 1e-6);
}

TEST(SoundBuffer, TrimmedOneShotsEndAtZeroWithoutTheirSilentTail) {
    audio_buffer b(RATE, RATE, false);
    for (long i = 0; i < RATE / 2; i++) b.add(i, 0.5f, -0.5f);
    b.trim_tail(0.001f);
    EXPECT_EQ(b.frames(), RATE / 2);
    EXPECT_FLOAT_EQ(b.left.back(), 0.0f);
    EXPECT_FLOAT_EQ(b.left[0], 0.5f);
    b.normalize(0.9f);
    EXPECT_NEAR(b.peak(), 0.9f, 1e-6);
}

TEST(SoundSignals, FiltersPassTheirBandAndCutTheOther) {
    EXPECT_NEAR(filter_gain(100, true, 1000), 1.0, 0.05);
    EXPECT_LT(filter_gain(10000, true, 1000), 0.02); // two poles: about -40 dB a decade
    EXPECT_NEAR(filter_gain(10000, false, 1000), 1.0, 0.05);
    EXPECT_LT(filter_gain(100, false, 1000), 0.02);
    // A cutoff beyond the audible range stays stable instead of blowing up.
    EXPECT_LT(filter_gain(15000, true, 40000), 1.5);
}

TEST(SoundSignals, OscillatorsHoldTheirPitchAndRange) {
    osc saw, square;
    int rises = 0, flips = 0;
    float prev_saw = saw.saw(441, RATE), prev_sq = square.square(441, RATE);
    double top = 0;
    for (int i = 1; i < RATE; i++) {
        float s = saw.saw(441, RATE), q = square.square(441, RATE);
        if (s >= 0 && prev_saw < 0) rises++; // the ramp crosses zero upwards once a cycle
        if ((q > 0) != (prev_sq > 0)) flips++;
        top = std::fmax(top, std::fmax(std::fabs(s), std::fabs(q)));
        prev_saw = s;
        prev_sq = q;
    }
    EXPECT_NEAR(rises, 441, 1);
    EXPECT_NEAR(flips, 882, 2);
    EXPECT_LT(top, 1.3);
    EXPECT_NEAR(midi_hz(69), 440.0, 1e-9);
    EXPECT_NEAR(midi_hz(81), 880.0, 1e-9);
    EXPECT_NEAR(small_interval(0.3), std::pow(2.0, 0.3 / 12.0), 1e-5); // well under a cent
    EXPECT_NEAR(small_interval(-0.4), std::pow(2.0, -0.4 / 12.0), 1e-5);
}

TEST(SoundScore, SwingBendsOnlyTheOffBeatAndBarsAreWholeFrames) {
    tempo straight{120.0};
    EXPECT_DOUBLE_EQ(straight.at(1.5), 0.75);
    tempo swung{120.0, 2.0 / 3.0};
    EXPECT_DOUBLE_EQ(swung.at(2.0), 1.0);
    EXPECT_NEAR(swung.at(2.5), 1.0 + 0.5 * 2.0 / 3.0, 1e-12);
    EXPECT_NEAR(swung.at(2.25), 1.0 + 0.5 / 3.0, 1e-12);
    EXPECT_DOUBLE_EQ(swung.at_bar(3, 0), 6.0);
    EXPECT_EQ(swung.frames(12, RATE), 24L * RATE);
    tempo odd{138.0};
    EXPECT_EQ(odd.frames(16, RATE), std::lround(64 * 60.0 / 138.0 * RATE));
}

TEST(SoundScore, ChordsAreSpelledAndVoicedInTheirRegister) {
    EXPECT_EQ(chord_tones(DOM7), (std::vector<int>{0, 4, 7, 10}));
    EXPECT_EQ(chord_tones(MIN7), (std::vector<int>{0, 3, 7, 10}));
    EXPECT_EQ(nearest(0, 65), 60);  // C nearest to F4 is C4
    EXPECT_EQ(nearest(10, 62), 58); // B flat below D
    EXPECT_EQ(nearest(2, 61), 62);
    std::vector<int> v = voicing({5, DOM7}, {4, 9, 10, 14}, 53); // F7: A, D, E flat, G
    EXPECT_EQ(v, (std::vector<int>{55, 57, 62, 63}));
    for (int m : voicing({11, DIM7}, chord_tones(DIM7), 53)) {
        EXPECT_GE(m, 53);
        EXPECT_LT(m, 65);
    }
}

TEST(SoundRoom, EffectsOnALoopCarryTheTailFromTheEndIntoTheStart) {
    const long n = RATE * 2;
    audio_buffer dry(RATE, n, true);
    dry.add(n - 200, 1.0f, 1.0f);
    audio_buffer verb = dry, echo = dry;
    apply_reverb(verb, 0.8f, 0.3f, 1.0f);
    apply_echo(echo, 0.1, 0.5f, 1.0f);
    EXPECT_EQ(verb.frames(), n); // a loop keeps its length
    EXPECT_GT(energy(verb, 0, RATE / 2), 1e-4);
    // The first repeat lands 100 ms after the click, i.e. past the loop point.
    long at = (n - 200 + RATE / 10) % n;
    EXPECT_NEAR(echo.left[(size_t)at] + echo.right[(size_t)at], 1.0, 0.05);

    audio_buffer shot(RATE, 1000, false);
    shot.add(999, 1.0f, 1.0f);
    apply_reverb(shot, 0.8f, 0.3f, 1.0f, 1.0);
    EXPECT_EQ(shot.frames(), 1000 + RATE); // a one-shot grows to let the room ring out
    EXPECT_GT(energy(shot, 1000, shot.frames()), 1e-4);
}

TEST(SoundFiles, WavFilesAreSixteenBitPcmWithClampedSamples) {
    scratch_dir d;
    audio_buffer b(RATE, 4, false);
    b.left = {0.5f, 1.5f, -2.0f, 0.0f};
    b.right = {0.5f, 1.5f, -2.0f, 1.0f};
    ASSERT_TRUE(write_wav16(d.file("t.wav").c_str(), b, true));
    std::string f = read_text(d.file("t.wav"));
    ASSERT_EQ(f.size(), 44u + 8u);
    EXPECT_EQ(f.substr(0, 4), "RIFF");
    EXPECT_EQ(le32(f, 4), 36u + 8u);
    EXPECT_EQ(f.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(le16(f, 20), 1);    // integer PCM
    EXPECT_EQ(le16(f, 22), 1);    // mono
    EXPECT_EQ(le32(f, 24), 44100u);
    EXPECT_EQ(le16(f, 34), 16);
    EXPECT_EQ(f.substr(36, 4), "data");
    EXPECT_EQ(le32(f, 40), 8u);
    EXPECT_EQ(le16(f, 44), 16384);  // 0.5
    EXPECT_EQ(le16(f, 46), 32767);  // over full scale: clamped, never wrapped
    EXPECT_EQ(le16(f, 48), -32767);
    EXPECT_EQ(le16(f, 50), 16384);  // mono is the mean of the two sides
    EXPECT_FALSE(write_wav16(d.file("no/such/folder/t.wav").c_str(), b, true));
}

TEST(SoundFiles, OggFilesDecodeToTheSameLengthAndSignal) {
    ASSERT_EQ(video.init_audio(), 0);
    ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 8192), 0) << Mix_GetError();
    scratch_dir d;
    audio_buffer b(RATE, RATE, true);
    osc o;
    for (long i = 0; i < RATE; i++) {
        float v = 0.5f * o.sine(441, RATE);
        b.left[(size_t)i] = v;
        b.right[(size_t)i] = -v;
    }
    std::string path = d.file("t.ogg");
    ASSERT_TRUE(write_ogg(path.c_str(), b, 0.4f, 7));
    Mix_Chunk* c = Mix_LoadWAV_RW(SDL_RWFromFile(path.c_str(), "rb"), 1);
    ASSERT_NE(c, nullptr) << Mix_GetError();
    ASSERT_EQ(c->alen, (Uint32)(RATE * 4));
    const int16_t* s = (const int16_t*)c->abuf;
    double err = 0;
    for (long i = 1000; i < RATE - 1000; i++) err = std::fmax(err, std::fabs(s[2 * i] / 32768.0 - b.left[(size_t)i]));
    EXPECT_LT(err, 0.05);
    for (long i = 1000; i < RATE - 1000; i += 37) // the right side is the left one mirrored
        EXPECT_NEAR(s[2 * i + 1], -s[2 * i], 1700) << i;
    Mix_FreeChunk(c);
}

TEST(SoundFiles, EveryNamedEffectIsMadeAndUnknownNamesAreRefused) {
    for (const char* name : {"swing_light", "swing_heavy", "hit_light", "hit_heavy", "block",
                             "projectile", "explosion", "knockout", "jump", "throw"}) {
        audio_buffer b(EFFECT_RATE, 0, false);
        ASSERT_TRUE(make_effect(name, b)) << name;
        EXPECT_GT(b.frames(), EFFECT_RATE / 20) << name;
        EXPECT_NEAR(b.peak(), 0.7f, 0.01f) << name;
    }
    audio_buffer b(EFFECT_RATE, 0, false);
    EXPECT_FALSE(make_effect("hit_medium", b));
}
