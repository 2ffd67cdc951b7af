#include "dsp.h"

namespace {
// Correction that removes the aliasing step of a discontinuity at phase 0.
double blep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}
} // namespace

float osc::saw(double hz, int rate) {
    double dt = hz / rate;
    double v = 2.0 * phase - 1.0 - blep(phase, dt);
    phase += dt;
    if (phase >= 1.0) phase -= 1.0;
    return (float)v;
}

float osc::square(double hz, int rate, double width) {
    double dt = hz / rate;
    double v = phase < width ? 1.0 : -1.0;
    v += blep(phase, dt);
    double shifted = phase + (1.0 - width);
    shifted -= std::floor(shifted);
    v -= blep(shifted, dt);
    phase += dt;
    if (phase >= 1.0) phase -= 1.0;
    return (float)v;
}

float osc::sine(double hz, int rate) {
    double v = std::sin(TWO_PI * phase);
    phase += hz / rate;
    if (phase >= 1.0) phase -= 1.0;
    return (float)v;
}

void svf::run(float in, double cutoff_hz, double q, int rate) {
    double fc = cutoff_hz;
    if (fc < 10) fc = 10;
    if (fc > rate * 0.45) fc = rate * 0.45;
    if (fc != last_cutoff) {
        last_cutoff = fc;
        last_g = std::tan(M_PI * fc / rate);
    }
    double g = last_g;
    double k = 1.0 / (q < 0.1 ? 0.1 : q);
    double a1 = 1.0 / (1.0 + g * (g + k));
    double a2 = g * a1;
    double a3 = g * a2;
    double v3 = in - ic2;
    double v1 = a1 * ic1 + a2 * v3;
    double v2 = ic2 + a2 * ic1 + a3 * v3;
    ic1 = (float)(2.0 * v1 - ic1);
    ic2 = (float)(2.0 * v2 - ic2);
    low = (float)v2;
    band = (float)v1;
    high = (float)(in - k * v1 - v2);
}

double adsr(double t, double held, double a, double d, double s, double r) {
    auto level_at = [&](double x) {
        if (x < a) return x / a;
        x -= a;
        if (x < d) return 1.0 - (1.0 - s) * (x / d);
        return s;
    };
    if (t < held) return level_at(t);
    double from = level_at(held);
    double x = t - held;
    return x >= r ? 0.0 : from * (1.0 - x / r);
}
