#include "sound_effects.h"

#include <cmath>
#include <cstring>

#include "dsp.h"
#include "room_effects.h"

namespace {

// Adds voice(t) for `seconds` from `start`.
template <class F>
void layer(audio_buffer& b, double start, double seconds, F voice) {
    long s0 = std::lround(start * b.rate);
    long n = (long)(seconds * b.rate);
    for (long i = 0; i < n; i++) {
        float v = voice((double)i / b.rate);
        b.add(s0 + i, v, v);
    }
}

// A band of noise swept along a curve: the sound of something moving fast through air.
void whoosh(audio_buffer& b, double start, double seconds, double low_hz, double high_hz,
            double q, float level, uint32_t seed) {
    noise_gen noise(seed);
    svf filt;
    layer(b, start, seconds, [&](double t) {
        double x = t / seconds;
        double hump = std::sin(M_PI * std::pow(x, 0.7));
        filt.run(noise.next(), low_hz + (high_hz - low_hz) * hump, q, b.rate);
        return (float)(level * hump * hump * onset(t, 0.003) * filt.band);
    });
}

// A falling sine: the body of a punch, a thud or a boom.
void body(audio_buffer& b, double start, double seconds, double from_hz, double to_hz,
          double sweep_rate, double decay, float level) {
    double phase = 0;
    layer(b, start, seconds, [&](double t) {
        phase += (to_hz + (from_hz - to_hz) * std::exp(-t * sweep_rate)) / b.rate;
        double tail = t > seconds - 0.02 ? (seconds - t) / 0.02 : 1.0;
        return (float)(level * onset(t, 0.001) * tail * std::exp(-t * decay) * std::sin(TWO_PI * phase));
    });
}

// A burst of filtered noise: slaps, crunches and debris.
void burst(audio_buffer& b, double start, double seconds, double cutoff, bool highpass,
           double decay, float level, uint32_t seed) {
    noise_gen noise(seed);
    svf filt;
    layer(b, start, seconds, [&](double t) {
        filt.run(noise.next(), cutoff, 0.7, b.rate);
        float v = highpass ? filt.high : filt.low;
        double tail = t > seconds - 0.01 ? (seconds - t) / 0.01 : 1.0;
        return (float)(level * onset(t, 0.0008) * tail * std::exp(-t * decay) * v);
    });
}

// Inharmonic partials ringing down: metal and gongs.
void metal(audio_buffer& b, double start, double seconds, const double* hz, int count,
           double decay, float level) {
    layer(b, start, seconds, [&](double t) {
        double v = 0;
        for (int k = 0; k < count; k++)
            v += std::sin(TWO_PI * hz[k] * t + k * 0.7) * std::exp(-t * decay * (1.0 + 0.35 * k)) / (1.0 + 0.4 * k);
        double tail = t > seconds - 0.03 ? (seconds - t) / 0.03 : 1.0;
        return (float)(level * onset(t, 0.001) * tail * v);
    });
}

void saturate(audio_buffer& b, float drive) {
    for (size_t i = 0; i < b.left.size(); i++) {
        b.left[i] = soft_clip(b.left[i] * drive) / drive;
        b.right[i] = soft_clip(b.right[i] * drive) / drive;
    }
}

void swing_light(audio_buffer& b) { whoosh(b, 0, 0.2, 700, 3800, 1.6, 1.0f, 11); }

void swing_heavy(audio_buffer& b) {
    whoosh(b, 0, 0.38, 250, 1500, 1.3, 1.0f, 12);
    body(b, 0, 0.36, 95, 55, 6, 5, 0.35f);
}

void hit_light(audio_buffer& b) {
    body(b, 0, 0.16, 260, 120, 40, 28, 0.8f);
    burst(b, 0, 0.08, 2200, true, 70, 0.9f, 21);
    burst(b, 0, 0.12, 900, false, 35, 0.5f, 22);
    saturate(b, 2.0f);
}

void hit_heavy(audio_buffer& b) {
    body(b, 0, 0.5, 150, 42, 18, 8, 1.0f);
    burst(b, 0, 0.3, 1600, false, 16, 0.8f, 31);
    burst(b, 0, 0.07, 3000, true, 60, 0.7f, 32);
    saturate(b, 3.0f);
    apply_reverb(b, 0.3f, 0.6f, 0.12f, 0.4);
}

void block(audio_buffer& b) {
    static const double clank[5] = {620, 1473, 2311, 3190, 4402};
    body(b, 0, 0.18, 170, 110, 30, 24, 0.6f);
    metal(b, 0, 0.3, clank, 5, 14, 0.35f);
    burst(b, 0, 0.03, 4000, true, 120, 0.6f, 41);
}

void projectile(audio_buffer& b) {
    double phase = 0, mod = 0;
    noise_gen noise(51);
    svf filt;
    const double len = 0.6;
    layer(b, 0, len, [&](double t) {
        double x = t / len;
        double hz = 260 + 900 * std::exp(-t * 9.0) + 140 * x;
        mod += 32.0 / b.rate; // energy wobble
        phase += hz * (1.0 + 0.06 * std::sin(TWO_PI * mod)) / b.rate;
        double tone = std::sin(TWO_PI * phase + 1.8 * std::sin(TWO_PI * phase * 2.01));
        filt.run(noise.next(), hz * 3, 2.0, b.rate);
        double env = onset(t, 0.01) * (x < 0.6 ? 1.0 : std::cos((x - 0.6) / 0.4 * M_PI / 2));
        return (float)(0.6 * env * (tone * 0.7 + filt.band * 0.9));
    });
    apply_echo(b, 0.09, 0.35f, 0.3f, 0.4);
}

void explosion(audio_buffer& b) {
    const double len = 1.5;
    noise_gen noise(61), sparks(62);
    svf filt, crackle;
    layer(b, 0, len, [&](double t) {
        filt.run(noise.next(), 200 + 3200 * std::exp(-t * 5.0), 0.8, b.rate);
        double rumble = filt.low * (std::exp(-t * 2.6) + 0.8 * std::exp(-t * 25.0));
        // Sparse sharp crackles that thin out as the blast dies.
        double c = sparks.uniform(0, 1) < 0.004 * std::exp(-t * 3.0) ? sparks.uniform(-1, 1) : 0.0;
        crackle.run((float)c, 2500, 3.0, b.rate);
        double tail = t > len - 0.05 ? (len - t) / 0.05 : 1.0;
        return (float)(tail * onset(t, 0.001) * (0.9 * rumble + 2.5 * crackle.band));
    });
    body(b, 0, 1.2, 70, 32, 4, 3.5, 0.8f);
    saturate(b, 1.8f);
    apply_reverb(b, 0.6f, 0.5f, 0.2f, 0.8);
}

void knockout(audio_buffer& b) {
    static const double gong[6] = {98, 147.5, 211.3, 290.7, 377.1, 463.9};
    body(b, 0, 1.0, 110, 36, 8, 3.0, 1.0f);
    burst(b, 0, 0.25, 1200, false, 12, 0.7f, 71);
    metal(b, 0.0, 2.0, gong, 6, 1.6, 0.35f);
    saturate(b, 1.5f);
    apply_reverb(b, 0.75f, 0.4f, 0.3f, 1.0);
}

void jump(audio_buffer& b) {
    body(b, 0, 0.09, 140, 80, 30, 30, 0.5f); // push-off
    whoosh(b, 0.01, 0.21, 500, 3200, 1.4, 0.9f, 81);
}

void throw_sound(audio_buffer& b) {
    burst(b, 0, 0.05, 2500, true, 60, 0.5f, 91);          // grab
    whoosh(b, 0.06, 0.3, 300, 1800, 1.2, 0.9f, 92);      // swing over
    body(b, 0.34, 0.3, 120, 48, 20, 11, 1.0f);           // landing
    burst(b, 0.34, 0.22, 900, false, 22, 0.7f, 93);
    saturate(b, 2.0f);
}

struct effect_entry {
    const char* name;
    void (*make)(audio_buffer&);
};
const effect_entry EFFECTS[] = {
    {"swing_light", swing_light}, {"swing_heavy", swing_heavy}, {"hit_light", hit_light},
    {"hit_heavy", hit_heavy},     {"block", block},             {"projectile", projectile},
    {"explosion", explosion},     {"knockout", knockout},       {"jump", jump},
    {"throw", throw_sound},
};

} // namespace

bool make_effect(const char* name, audio_buffer& out) {
    for (const effect_entry& e : EFFECTS) {
        if (std::strcmp(e.name, name) != 0) continue;
        out = audio_buffer(EFFECT_RATE, 0, false);
        e.make(out);
        out.normalize(0.7f);
        out.trim_tail(0.0005f);
        return true;
    }
    return false;
}
