#include "instruments.h"

#include <cmath>

#include "dsp.h"

namespace {

long start_frame(const audio_buffer& b, const note& n) { return std::lround(n.start * b.rate); }

uint32_t note_seed(const note& n, uint32_t salt) {
    return (uint32_t)(std::lround(n.start * 1000.0) * 2654435761u) ^ (uint32_t)(n.midi * 977.0) ^
           (salt * 40503u);
}

// Renders frames [0, total) of a note; voice(t) returns the mono sample at t seconds.
template <class F>
void render(audio_buffer& b, const note& n, double total_seconds, F voice) {
    long s0 = start_frame(b, n);
    long total = (long)(total_seconds * b.rate);
    float gl, gr;
    pan_gains(n.pan, gl, gr);
    for (long i = 0; i < total; i++) {
        double t = (double)i / b.rate;
        float v = voice(t);
        b.add(s0 + i, v * gl, v * gr);
    }
}

// Exponential decay to silence with a short release after the key is let go.
double pluck_env(double t, double held, double decay, double release) {
    double e = std::exp(-t * decay);
    if (t > held) e *= std::exp(-(t - held) / release);
    return e * onset(t);
}

} // namespace

void electric_piano(audio_buffer& b, const note& n) {
    double f = midi_hz(n.midi);
    double decay = 1.1 + f / 700.0;
    double rel = 0.08;
    double total = n.length + rel * 7;
    render(b, n, total, [&](double t) {
        double env = pluck_env(t, n.length, decay, rel);
        double index = (0.3 + 1.6 * n.velocity) * std::exp(-t * 5.0) + 0.25;
        double mod = std::sin(TWO_PI * f * t);
        double body = std::sin(TWO_PI * f * t + index * mod);
        double tine = 0.12 * n.velocity * std::sin(TWO_PI * f * 7.0 * t) * std::exp(-t * 30.0);
        double trem = 1.0 + 0.12 * std::sin(TWO_PI * 4.2 * t);
        return (float)(0.28 * n.velocity * env * trem * (body + tine));
    });
}

void upright_bass(audio_buffer& b, const note& n) {
    double f = midi_hz(n.midi);
    double rel = 0.06;
    double total = n.length + rel * 7;
    noise_gen noise(note_seed(n, 1));
    one_pole thump;
    // Each harmonic turns as a unit phasor; one complex multiply per sample instead of a sine.
    double amp[8], re[8], im[8], step_re[8], step_im[8];
    for (int k = 1; k <= 7; k++) {
        amp[k] = 1.0 / std::pow((double)k, 1.6);
        re[k] = std::cos(0.3 * k);
        im[k] = std::sin(0.3 * k);
        step_re[k] = std::cos(TWO_PI * f * k / b.rate);
        step_im[k] = std::sin(TWO_PI * f * k / b.rate);
    }
    render(b, n, total, [&](double t) {
        double v = 0;
        for (int k = 1; k <= 7; k++) {
            double dk = 1.8 + 1.6 * k;
            v += amp[k] * std::exp(-t * dk) * im[k];
            double r = re[k] * step_re[k] - im[k] * step_im[k];
            im[k] = re[k] * step_im[k] + im[k] * step_re[k];
            re[k] = r;
        }
        double finger = thump.lowpass(noise.next(), 900, b.rate) * std::exp(-t * 90.0) * 1.5;
        double env = onset(t, 0.004);
        if (t > n.length) env *= std::exp(-(t - n.length) / rel);
        return (float)(0.45 * n.velocity * env * (v + finger));
    });
}

void vibraphone(audio_buffer& b, const note& n) {
    double f = midi_hz(n.midi);
    double rel = 0.18;
    double total = n.length + rel * 7;
    render(b, n, total, [&](double t) {
        double env = pluck_env(t, n.length, 0.9, rel);
        double v = std::sin(TWO_PI * f * t) + 0.22 * std::exp(-t * 5.0) * std::sin(TWO_PI * f * 4.0 * t) +
                   0.05 * std::exp(-t * 18.0) * std::sin(TWO_PI * f * 9.9 * t);
        double motor = 1.0 + 0.22 * std::sin(TWO_PI * 5.2 * t);
        return (float)(0.3 * n.velocity * env * motor * v);
    });
}

void acid_bass(audio_buffer& b, const note& n, double cutoff, double resonance) {
    double f = midi_hz(n.midi);
    osc o;
    svf filt;
    double rel = 0.02;
    render(b, n, n.length + rel * 7, [&](double t) {
        double cut = cutoff * (1.0 + 5.0 * n.velocity * std::exp(-t * 14.0));
        filt.run(o.saw(f, b.rate), cut, resonance, b.rate);
        double env = onset(t, 0.003) * (t < n.length ? 1.0 : std::exp(-(t - n.length) / rel));
        return (float)(0.32 * env * soft_clip(1.8f * filt.low));
    });
}

void synth_bass(audio_buffer& b, const note& n) {
    double f = midi_hz(n.midi);
    osc sub, edge(0.25);
    svf filt;
    double rel = 0.04;
    render(b, n, n.length + rel * 7, [&](double t) {
        filt.run(edge.saw(f, b.rate), 300 + 1500 * std::exp(-t * 18.0), 0.9, b.rate);
        double env = onset(t, 0.003) * (t < n.length ? 1.0 : std::exp(-(t - n.length) / rel));
        double v = 0.8 * sub.sine(f, b.rate) + 0.35 * filt.low;
        return (float)(0.42 * n.velocity * env * v);
    });
}

void supersaw_lead(audio_buffer& b, const note& n) {
    static const double detune[5] = {-0.11, -0.05, 0.0, 0.06, 0.12}; // semitones
    double f = midi_hz(n.midi);
    osc o[5] = {osc(0.1), osc(0.37), osc(0.0), osc(0.61), osc(0.83)};
    svf filt;
    double rel = 0.15;
    render(b, n, n.length + rel * 6, [&](double t) {
        double vib = t > 0.25 ? 0.12 * std::sin(TWO_PI * 5.5 * (t - 0.25)) * std::fmin(1.0, (t - 0.25) * 3) : 0;
        double v = 0;
        for (int k = 0; k < 5; k++) v += o[k].saw(f * small_interval(detune[k] + vib), b.rate);
        filt.run((float)(v * 0.3), 1800 + 3500 * std::exp(-t * 6.0), 0.8, b.rate);
        double env = adsr(t, n.length, 0.006, 0.2, 0.75, rel);
        return (float)(0.34 * n.velocity * env * filt.low);
    });
}

void chord_stab(audio_buffer& b, const note& n) {
    double f = midi_hz(n.midi);
    osc a(0.2), c(0.7);
    svf filt;
    double rel = 0.05;
    render(b, n, n.length + rel * 7, [&](double t) {
        double v = a.saw(f * 1.003, b.rate) + c.saw(f * 0.997, b.rate);
        filt.run((float)(v * 0.5), 700 + 4200 * std::exp(-t * 22.0), 1.2, b.rate);
        double env = onset(t, 0.002) * (t < n.length ? 1.0 : std::exp(-(t - n.length) / rel));
        return (float)(0.2 * n.velocity * env * filt.low);
    });
}

void square_pluck(audio_buffer& b, const note& n) {
    double f = midi_hz(n.midi);
    osc o;
    svf filt;
    double rel = 0.04;
    render(b, n, n.length + rel * 7, [&](double t) {
        filt.run(o.square(f, b.rate, 0.3), 600 + 5000 * std::exp(-t * 25.0), 0.9, b.rate);
        return (float)(0.2 * n.velocity * pluck_env(t, n.length, 6.0, rel) * filt.low);
    });
}

void square_lead(audio_buffer& b, const note& n) {
    double f = midi_hz(n.midi);
    osc o, o2(0.5);
    svf filt;
    double rel = 0.1;
    render(b, n, n.length + rel * 7, [&](double t) {
        double vib = t > 0.18 ? 0.18 * std::sin(TWO_PI * 6.0 * (t - 0.18)) : 0.0;
        double hz = f * small_interval(vib);
        double v = o.square(hz, b.rate, 0.5) * 0.6 + o2.saw(hz * 1.004, b.rate) * 0.4;
        filt.run((float)v, 2600, 0.7, b.rate);
        double env = adsr(t, n.length, 0.01, 0.15, 0.7, rel);
        return (float)(0.26 * n.velocity * env * filt.low);
    });
}

void warm_pad(audio_buffer& b, const note& n) {
    static const double detune[4] = {-0.09, -0.03, 0.04, 0.1};
    double f = midi_hz(n.midi);
    osc o[4] = {osc(0.0), osc(0.25), osc(0.5), osc(0.75)};
    svf filt;
    double rel = 0.7;
    render(b, n, n.length + rel * 5, [&](double t) {
        double v = 0;
        for (int k = 0; k < 4; k++) v += o[k].saw(f * small_interval(detune[k]), b.rate);
        filt.run((float)(v * 0.25), 1100 + 300 * std::sin(TWO_PI * 0.3 * t), 0.7, b.rate);
        return (float)(0.2 * n.velocity * adsr(t, n.length, 0.35, 0.5, 0.8, rel) * filt.low);
    });
}

void brass(audio_buffer& b, const note& n) {
    double f = midi_hz(n.midi);
    osc o[3] = {osc(0.0), osc(0.33), osc(0.66)};
    svf filt;
    double rel = 0.18;
    render(b, n, n.length + rel * 6, [&](double t) {
        double vib = t > 0.3 ? 0.1 * std::sin(TWO_PI * 5.0 * (t - 0.3)) : 0.0;
        double scoop = -0.4 * std::exp(-t * 30.0); // lips settle onto the pitch
        double hz = f * small_interval(vib + scoop);
        double v = o[0].saw(hz, b.rate) + o[1].saw(hz * 1.004, b.rate) + o[2].saw(hz * 0.996, b.rate);
        double env = adsr(t, n.length, 0.04, 0.25, 0.8, rel);
        filt.run((float)(v / 3.0), 500 + 3800 * env * n.velocity, 0.9, b.rate);
        return (float)(0.4 * n.velocity * env * filt.low);
    });
}

void strings(audio_buffer& b, const note& n) {
    static const double detune[5] = {-0.12, -0.05, 0.0, 0.05, 0.13};
    double f = midi_hz(n.midi);
    osc o[5] = {osc(0.1), osc(0.3), osc(0.5), osc(0.7), osc(0.9)};
    svf filt;
    double rel = 0.5;
    render(b, n, n.length + rel * 6, [&](double t) {
        double vib = 0.08 * std::sin(TWO_PI * 5.3 * t);
        double v = 0;
        for (int k = 0; k < 5; k++) v += o[k].saw(f * small_interval(detune[k] + vib), b.rate);
        filt.run((float)(v * 0.2), 2400, 0.6, b.rate);
        return (float)(0.22 * n.velocity * adsr(t, n.length, 0.25, 0.4, 0.85, rel) * filt.low);
    });
}

void glock(audio_buffer& b, const note& n) {
    double f = midi_hz(n.midi);
    render(b, n, n.length + 1.5, [&](double t) {
        double env = pluck_env(t, n.length + 0.8, 3.5, 0.2);
        double v = std::sin(TWO_PI * f * t) + 0.35 * std::exp(-t * 8.0) * std::sin(TWO_PI * f * 2.76 * t) +
                   0.15 * std::exp(-t * 20.0) * std::sin(TWO_PI * f * 5.4 * t);
        return (float)(0.18 * n.velocity * env * v);
    });
}
