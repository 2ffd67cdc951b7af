#include "audio_buffer.h"

#include <cmath>

audio_buffer::audio_buffer(int rate_, long frames, bool looping_)
    : rate(rate_), looping(looping_), left((size_t)frames, 0.0f), right((size_t)frames, 0.0f) {}

void audio_buffer::add(long i, float l, float r) {
    long n = frames();
    if (looping) {
        if (n == 0) return;
        i %= n;
        if (i < 0) i += n;
    } else {
        if (i < 0) return;
        if (i >= n) {
            size_t grown = (size_t)(i + 1 + rate); // grow by a second at a time
            left.resize(grown, 0.0f);
            right.resize(grown, 0.0f);
        }
    }
    left[(size_t)i] += l;
    right[(size_t)i] += r;
}

void pan_gains(float pan, float& gl, float& gr) {
    if (pan < -1) pan = -1;
    if (pan > 1) pan = 1;
    float a = (pan + 1.0f) * 0.25f * (float)M_PI;
    gl = std::cos(a) * 1.41421356f;
    gr = std::sin(a) * 1.41421356f;
}

void audio_buffer::add_panned(long i, float v, float pan) {
    float gl, gr;
    pan_gains(pan, gl, gr);
    add(i, v * gl, v * gr);
}

void audio_buffer::mix(const audio_buffer& other, float gain) {
    for (long i = 0; i < other.frames(); i++)
        add(i, other.left[(size_t)i] * gain, other.right[(size_t)i] * gain);
}

float audio_buffer::peak() const {
    float p = 0;
    for (size_t i = 0; i < left.size(); i++) {
        p = std::fmax(p, std::fabs(left[i]));
        p = std::fmax(p, std::fabs(right[i]));
    }
    return p;
}

float audio_buffer::rms() const {
    double s = 0;
    for (size_t i = 0; i < left.size(); i++) s += (double)left[i] * left[i] + (double)right[i] * right[i];
    return left.empty() ? 0.0f : (float)std::sqrt(s / (2.0 * (double)left.size()));
}

void audio_buffer::scale(float gain) {
    for (size_t i = 0; i < left.size(); i++) {
        left[i] *= gain;
        right[i] *= gain;
    }
}

void audio_buffer::normalize(float target_peak) {
    float p = peak();
    if (p > 0) scale(target_peak / p);
}

void audio_buffer::trim_tail(float threshold) {
    long end = frames();
    while (end > 0 && std::fabs(left[(size_t)end - 1]) < threshold &&
           std::fabs(right[(size_t)end - 1]) < threshold)
        end--;
    left.resize((size_t)end);
    right.resize((size_t)end);
    long fade = rate / 50; // 20 ms
    if (fade > end) fade = end;
    for (long k = 0; k < fade; k++) {
        float g = (float)k / (float)fade; // reaches 0 at the last sample
        left[(size_t)(end - 1 - k)] *= g;
        right[(size_t)(end - 1 - k)] *= g;
    }
}
