#include "room_effects.h"

#include <cstddef>
#include <vector>

namespace {

struct comb {
    std::vector<float> line;
    size_t pos = 0;
    float store = 0;
    float run(float in, float feedback, float damp) {
        float out = line[pos];
        store = out * (1.0f - damp) + store * damp;
        line[pos] = in + store * feedback;
        if (++pos == line.size()) pos = 0;
        return out;
    }
};

struct allpass {
    std::vector<float> line;
    size_t pos = 0;
    float run(float in) {
        float buffered = line[pos];
        float out = buffered - in;
        line[pos] = in + buffered * 0.5f;
        if (++pos == line.size()) pos = 0;
        return out;
    }
};

// Runs fn(i) over every frame; twice around for a loop (fn told which pass it is on).
template <class F>
void run_passes(audio_buffer& b, F fn) {
    long n = b.frames();
    int passes = b.looping ? 2 : 1;
    for (int p = 0; p < passes; p++)
        for (long i = 0; i < n; i++) fn(i, p == passes - 1);
}

void lengthen(audio_buffer& b, double seconds) {
    if (b.looping) return;
    size_t n = b.left.size() + (size_t)(seconds * b.rate);
    b.left.resize(n, 0.0f);
    b.right.resize(n, 0.0f);
}

} // namespace

void apply_reverb(audio_buffer& b, float room, float damp, float wet, double tail_seconds) {
    lengthen(b, tail_seconds);
    static const int comb_len[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
    static const int ap_len[4] = {556, 441, 341, 225};
    const int spread = 23;
    double scale = b.rate / 44100.0;
    comb cl[8], cr[8];
    allpass al[4], ar[4];
    for (int k = 0; k < 8; k++) {
        cl[k].line.assign((size_t)(comb_len[k] * scale), 0.0f);
        cr[k].line.assign((size_t)((comb_len[k] + spread) * scale), 0.0f);
    }
    for (int k = 0; k < 4; k++) {
        al[k].line.assign((size_t)(ap_len[k] * scale), 0.0f);
        ar[k].line.assign((size_t)((ap_len[k] + spread) * scale), 0.0f);
    }
    float feedback = 0.7f + 0.28f * room;
    float d = 0.4f * damp;
    std::vector<float> out_l(b.left.size()), out_r(b.right.size());
    run_passes(b, [&](long i, bool keep) {
        float in = (b.left[(size_t)i] + b.right[(size_t)i]) * 0.015f;
        float l = 0, r = 0;
        for (int k = 0; k < 8; k++) {
            l += cl[k].run(in, feedback, d);
            r += cr[k].run(in, feedback, d);
        }
        for (int k = 0; k < 4; k++) {
            l = al[k].run(l);
            r = ar[k].run(r);
        }
        if (keep) {
            out_l[(size_t)i] = l;
            out_r[(size_t)i] = r;
        }
    });
    for (size_t i = 0; i < b.left.size(); i++) {
        b.left[i] += out_l[i] * wet;
        b.right[i] += out_r[i] * wet;
    }
}

void apply_echo(audio_buffer& b, double delay_seconds, float feedback, float wet,
                double tail_seconds) {
    lengthen(b, tail_seconds);
    size_t len = (size_t)(delay_seconds * b.rate);
    if (len < 1) len = 1;
    std::vector<float> line_l(len, 0.0f), line_r(len, 0.0f);
    size_t pos = 0;
    std::vector<float> out_l(b.left.size()), out_r(b.right.size());
    run_passes(b, [&](long i, bool keep) {
        float dl = line_l[pos], dr = line_r[pos];
        float mono = (b.left[(size_t)i] + b.right[(size_t)i]) * 0.5f;
        // The input enters on the left; each repeat crosses to the other side.
        line_l[pos] = mono + dr * feedback;
        line_r[pos] = dl * feedback;
        if (++pos == len) pos = 0;
        if (keep) {
            out_l[(size_t)i] = dl;
            out_r[(size_t)i] = dr;
        }
    });
    for (size_t i = 0; i < b.left.size(); i++) {
        b.left[i] += out_l[i] * wet;
        b.right[i] += out_r[i] * wet;
    }
}
