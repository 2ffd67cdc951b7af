#include "drums.h"

#include <cmath>
#include <vector>

#include "dsp.h"

namespace {

uint32_t hit_seed(const hit& h, uint32_t salt) {
    return (uint32_t)(std::lround(h.start * 10000.0) * 2654435761u) ^ (salt * 2246822519u);
}

template <class F>
void render(audio_buffer& b, const hit& h, double seconds, F voice) {
    long s0 = std::lround(h.start * b.rate);
    long total = (long)(seconds * b.rate);
    float gl, gr;
    pan_gains(h.pan, gl, gr);
    for (long i = 0; i < total; i++) {
        double t = (double)i / b.rate;
        float v = voice(t) * h.velocity;
        b.add(s0 + i, v * gl, v * gr);
    }
}

} // namespace

void kick(audio_buffer& b, const hit& h, double punch) {
    double phase = 0;
    noise_gen noise(hit_seed(h, 1));
    render(b, h, 0.55, [&](double t) {
        double hz = 46.0 + 120.0 * punch * std::exp(-t * 32.0);
        phase += hz / b.rate;
        double body = std::sin(TWO_PI * phase) * std::exp(-t * 6.5);
        double click = noise.next() * std::exp(-t * 400.0) * 0.25;
        return (float)(0.9 * onset(t, 0.001) * soft_clip((float)(1.6 * (body + click))));
    });
}

void soft_kick(audio_buffer& b, const hit& h) {
    double phase = 0;
    render(b, h, 0.35, [&](double t) {
        double hz = 55.0 + 30.0 * std::exp(-t * 25.0);
        phase += hz / b.rate;
        return (float)(0.5 * onset(t, 0.003) * std::sin(TWO_PI * phase) * std::exp(-t * 11.0));
    });
}

void snare(audio_buffer& b, const hit& h) {
    noise_gen noise(hit_seed(h, 2));
    svf filt;
    double phase = 0;
    render(b, h, 0.35, [&](double t) {
        phase += (180.0 + 40.0 * std::exp(-t * 40.0)) / b.rate;
        double tone = std::sin(TWO_PI * phase) * std::exp(-t * 22.0) * 0.5;
        filt.run(noise.next(), 4200, 0.6, b.rate);
        double rattle = (filt.band + 0.4 * filt.high) * std::exp(-t * 15.0);
        return (float)(0.6 * onset(t, 0.001) * (tone + rattle));
    });
}

void brush(audio_buffer& b, const hit& h, double length) {
    noise_gen noise(hit_seed(h, 3));
    svf filt;
    render(b, h, length + 0.15, [&](double t) {
        filt.run(noise.next(), 3200, 0.5, b.rate);
        double swell = length > 0.1 ? std::sin(M_PI * std::fmin(t / length, 1.0)) : 1.0;
        double env = t < length ? swell * 0.6 + 0.4 * std::exp(-t * 25.0) : 0.4 * std::exp(-t * 25.0);
        env *= onset(t, 0.008);
        if (t > length) env *= std::exp(-(t - length) * 30.0);
        return (float)(0.22 * env * filt.band);
    });
}

void clap(audio_buffer& b, const hit& h) {
    noise_gen noise(hit_seed(h, 4));
    svf filt;
    render(b, h, 0.4, [&](double t) {
        filt.run(noise.next(), 1300, 1.1, b.rate);
        double env = 0;
        for (int k = 0; k < 3; k++) {
            double tk = t - 0.011 * k;
            if (tk >= 0) env += std::exp(-tk * 180.0);
        }
        env += 0.6 * std::exp(-t * 16.0) * (t > 0.022 ? 1.0 : t / 0.022);
        return (float)(0.9 * onset(t, 0.001) * env * filt.band);
    });
}

void closed_hat(audio_buffer& b, const hit& h) {
    noise_gen noise(hit_seed(h, 5));
    svf filt;
    render(b, h, 0.12, [&](double t) {
        filt.run(noise.next(), 8500, 0.7, b.rate);
        return (float)(0.32 * onset(t, 0.001) * std::exp(-t * 55.0) * filt.high);
    });
}

void open_hat(audio_buffer& b, const hit& h) {
    noise_gen noise(hit_seed(h, 6));
    svf filt;
    render(b, h, 0.6, [&](double t) {
        filt.run(noise.next(), 7500, 0.7, b.rate);
        return (float)(0.28 * onset(t, 0.001) * std::exp(-t * 8.0) * filt.high);
    });
}

void pedal_hat(audio_buffer& b, const hit& h) {
    noise_gen noise(hit_seed(h, 7));
    svf filt;
    render(b, h, 0.1, [&](double t) {
        filt.run(noise.next(), 6000, 1.0, b.rate);
        return (float)(0.25 * onset(t, 0.003) * std::exp(-t * 60.0) * filt.band);
    });
}

void ride(audio_buffer& b, const hit& h) {
    // Every stroke of the ride rings the same way: the sound is worked out once and then
    // laid down at each stroke's level.
    static std::vector<float> stroke;
    static int stroke_rate = 0;
    if (stroke_rate != b.rate) {
        static const double partial[6] = {2812.0, 3557.0, 4231.0, 5120.0, 6311.0, 7905.0};
        stroke_rate = b.rate;
        stroke.assign((size_t)(1.4 * b.rate), 0.0f);
        noise_gen noise(8);
        svf filt;
        for (size_t i = 0; i < stroke.size(); i++) {
            double t = (double)i / b.rate;
            double bell = 0;
            for (int k = 0; k < 6; k++) bell += std::sin(TWO_PI * partial[k] * t + k) / (1.0 + 0.3 * k);
            filt.run(noise.next(), 9000, 0.6, b.rate);
            double ping = bell * std::exp(-t * 9.0) * 0.07;
            double wash = filt.band * (0.35 * std::exp(-t * 3.2) + 0.5 * std::exp(-t * 40.0));
            stroke[i] = (float)(0.42 * onset(t, 0.001) * (ping + wash));
        }
    }
    long s0 = std::lround(h.start * b.rate);
    float gl, gr;
    pan_gains(h.pan, gl, gr);
    for (size_t i = 0; i < stroke.size(); i++) {
        float v = stroke[i] * h.velocity;
        b.add(s0 + (long)i, v * gl, v * gr);
    }
}

void crash(audio_buffer& b, const hit& h) {
    noise_gen noise(hit_seed(h, 9));
    svf filt;
    render(b, h, 2.8, [&](double t) {
        filt.run(noise.next(), 5200, 0.5, b.rate);
        double env = std::exp(-t * 1.9) * 0.8 + 0.5 * std::exp(-t * 25.0);
        return (float)(0.32 * onset(t, 0.002) * env * (filt.high + 0.5 * filt.band));
    });
}

void shaker(audio_buffer& b, const hit& h) {
    noise_gen noise(hit_seed(h, 10));
    svf filt;
    render(b, h, 0.09, [&](double t) {
        filt.run(noise.next(), 6500, 1.2, b.rate);
        double env = std::sin(M_PI * std::fmin(t / 0.07, 1.0));
        return (float)(0.16 * env * filt.band);
    });
}

void tom(audio_buffer& b, const hit& h, double midi) {
    double f = midi_hz(midi);
    double phase = 0;
    noise_gen noise(hit_seed(h, 11));
    render(b, h, 0.6, [&](double t) {
        phase += f * (1.0 + 0.5 * std::exp(-t * 25.0)) / b.rate;
        double v = std::sin(TWO_PI * phase) * std::exp(-t * 7.0) + noise.next() * 0.15 * std::exp(-t * 60.0);
        return (float)(0.6 * onset(t, 0.002) * v);
    });
}

void timpani(audio_buffer& b, const hit& h, double midi, double roll_seconds) {
    double f = midi_hz(midi);
    double phase = 0;
    noise_gen noise(hit_seed(h, 12));
    one_pole lp;
    render(b, h, roll_seconds + 2.2, [&](double t) {
        phase += f * (1.0 + 0.04 * std::exp(-t * 10.0)) / b.rate;
        // A roll is a fast train of soft strokes that keeps the drum ringing.
        double strokes = 0;
        if (roll_seconds > 0 && t < roll_seconds) {
            double tk = std::fmod(t, 0.055);
            strokes = 0.5 * std::exp(-tk * 60.0) * (0.4 + 0.6 * t / roll_seconds);
        }
        double ring = t < roll_seconds ? 0.3 + 0.7 * (t / roll_seconds) : std::exp(-(t - roll_seconds) * 1.8);
        double v = std::sin(TWO_PI * phase) * ring + 0.5 * std::sin(TWO_PI * phase * 1.5) * ring * 0.3 +
                   lp.lowpass(noise.next(), 600, b.rate) * (strokes + 0.4 * std::exp(-t * 30.0));
        return (float)(0.5 * onset(t, 0.003) * v);
    });
}

void riser(audio_buffer& b, const hit& h, double length) {
    noise_gen noise(hit_seed(h, 13));
    svf filt;
    render(b, h, length + 0.06, [&](double t) {
        double x = std::fmin(t / length, 1.0);
        filt.run(noise.next(), 300 + 9000 * x * x, 2.0, b.rate);
        double env = x * x;
        if (t > length) env *= std::exp(-(t - length) * 80.0);
        return (float)(0.22 * env * filt.band);
    });
}
