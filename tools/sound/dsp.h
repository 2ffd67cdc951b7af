// Signal building blocks shared by the instruments: a seeded noise source (so every build
// makes the same files), band-limited saw and square oscillators, a state-variable filter,
// one-pole smoothing and a few envelope shapes. All are small value types with no heap use.
#pragma once
#include <cmath>
#include <cstdint>

const double TWO_PI = 6.283185307179586;

inline double midi_hz(double midi) { return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0); }
// Frequency ratio of a small pitch offset in semitones (|x| below about half a semitone),
// cheap enough for per-sample vibrato and detune.
inline double small_interval(double semitones) {
    return 1.0 + semitones * (0.0577622650 + semitones * 0.0016682);
}

// Deterministic white noise in [-1, 1) and uniform choices for the composers.
struct noise_gen {
    uint32_t state;
    explicit noise_gen(uint32_t seed) : state(seed ? seed : 0x9e3779b9u) {}
    uint32_t next_u32() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    float next() { return (float)((double)next_u32() / 2147483648.0 - 1.0); }
    double uniform(double a, double b) { return a + (b - a) * ((double)next_u32() / 4294967296.0); }
    int below(int n) { return (int)(next_u32() % (uint32_t)n); }
    bool chance(double p) { return uniform(0, 1) < p; }
};

// Band-limited sawtooth and square (polyBLEP), phase in [0, 1).
struct osc {
    double phase = 0;
    explicit osc(double start_phase = 0) : phase(start_phase) {}
    float saw(double hz, int rate);
    float square(double hz, int rate, double width = 0.5);
    float sine(double hz, int rate);
};

// Topology-preserving state-variable filter; one call gives low, band and high outputs.
struct svf {
    float ic1 = 0, ic2 = 0;
    float low = 0, band = 0, high = 0;
    double last_cutoff = -1, last_g = 0; // the tangent is only worked out when the cutoff moves
    void run(float in, double cutoff_hz, double q, int rate);
};

// One-pole low-pass, for smoothing and gentle tone control.
struct one_pole {
    float z = 0;
    float lowpass(float in, double cutoff_hz, int rate) {
        double a = 1.0 - std::exp(-TWO_PI * cutoff_hz / rate);
        z += (float)a * (in - z);
        return z;
    }
    float highpass(float in, double cutoff_hz, int rate) { return in - lowpass(in, cutoff_hz, rate); }
};

// Attack-decay-sustain-release level at time t (seconds) for a note held for `held` seconds.
double adsr(double t, double held, double a, double d, double s, double r);
// Short linear fade-in that keeps every onset free of a click.
inline double onset(double t, double seconds = 0.002) { return t < seconds ? t / seconds : 1.0; }
// Soft saturation for drive and for taming peaks.
inline float soft_clip(float x) { return (float)std::tanh(x); }
