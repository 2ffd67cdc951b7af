// audio_buffer: a stereo float recording that notes and effects are mixed into.
// A looping buffer wraps every write around its end, so a sound that rings past the loop
// point continues at the start and the loop joins without a break. A one-shot buffer grows
// to hold every tail. The buffer owns its samples; writers read them when the piece is done.
#pragma once
#include <vector>

struct audio_buffer {
    int rate;
    bool looping;
    std::vector<float> left, right;

    audio_buffer(int rate, long frames, bool looping);
    long frames() const { return (long)left.size(); }

    // Adds one stereo sample at frame i (wrapped for a loop, growing a one-shot).
    void add(long i, float l, float r);
    // Adds a mono sample placed in the stereo field: pan -1 left, 0 centre, 1 right.
    void add_panned(long i, float v, float pan);
    // Mixes another buffer of the same kind in at a gain.
    void mix(const audio_buffer& other, float gain);

    float peak() const;
    float rms() const;
    void scale(float gain);
    void normalize(float target_peak);
    // One-shots: drops the trailing part quieter than threshold and fades the last 20 ms
    // so the sound ends at zero.
    void trim_tail(float threshold);
};

// Constant-power pan gains.
void pan_gains(float pan, float& gl, float& gr);
