// Character-select music: bright synth-pop in D minor that keeps climbing. The bass walks
// up a step every bar through three four-bar phrases, the plucked arpeggios run upward
// like ramps, and the square lead rises phrase by phrase; the last bar (C) steps up into
// the D minor of bar 1 with a riser and a crash, so the climb starts over seamlessly.
#include <vector>

#include "drums.h"
#include "dsp.h"
#include "instruments.h"
#include "music.h"
#include "room_effects.h"
#include "sequencer.h"

namespace {

const int BARS = 12;

struct bar_harmony {
    chord c;
    int bass; // pitch class of the bass note (inversions keep the bass climbing)
};
const bar_harmony CHANGES[BARS] = {
    {{2, MINOR}, 2},  {{0, MAJOR}, 4}, {{5, MAJOR}, 5},  {{7, MINOR}, 7},
    {{10, MAJOR}, 10}, {{0, MAJOR}, 0}, {{2, MINOR}, 2},  {{9, MAJOR}, 9},
    {{7, MINOR}, 7},  {{9, MAJOR}, 9}, {{10, MAJOR}, 10}, {{0, MAJOR}, 0},
};

struct lead_note {
    int bar;
    double beat, length;
    int midi;
};
const lead_note LEAD[] = {
    {0, 0, 1.5, 69},  {0, 1.5, 0.5, 67}, {0, 2, 0.5, 65},  {0, 2.5, 0.5, 67},  {0, 3, 1, 69},
    {1, 0, 1.5, 67},  {1, 1.5, 0.5, 65}, {1, 2, 0.5, 64},  {1, 2.5, 0.5, 65},  {1, 3, 1, 67},
    {2, 0, 1, 72},    {2, 1, 0.5, 69},   {2, 1.5, 0.5, 72}, {2, 2, 1, 77},     {2, 3, 0.5, 76},
    {2, 3.5, 0.5, 74}, {3, 0, 2, 74},    {3, 2, 0.5, 72},  {3, 2.5, 0.5, 70},  {3, 3, 1, 67},
    {4, 0, 1.5, 74},  {4, 1.5, 0.5, 72}, {4, 2, 0.5, 70},  {4, 2.5, 0.5, 72},  {4, 3, 1, 74},
    {5, 0, 1.5, 76},  {5, 1.5, 0.5, 74}, {5, 2, 0.5, 72},  {5, 2.5, 0.5, 74},  {5, 3, 1, 76},
    {6, 0, 1, 77},    {6, 1, 0.5, 76},   {6, 1.5, 0.5, 77}, {6, 2, 1, 81},     {6, 3, 0.5, 79},
    {6, 3.5, 0.5, 77}, {7, 0, 2, 76},    {7, 2, 1, 73},    {7, 3, 1, 76},
    {8, 0, 1, 79},    {8, 1, 0.5, 77},   {8, 1.5, 0.5, 74}, {8, 2, 1, 70},     {8, 3, 1, 74},
    {9, 0, 1, 81},    {9, 1, 0.5, 79},   {9, 1.5, 0.5, 76}, {9, 2, 1, 73},     {9, 3, 1, 76},
    {10, 0, 1, 82},   {10, 1, 0.5, 81},  {10, 1.5, 0.5, 77}, {10, 2, 1, 74},   {10, 3, 1, 77},
    {11, 0, 1.5, 79}, {11, 1.5, 0.5, 77}, {11, 2, 1, 76},  {11, 3, 1, 72},
};

void drums(audio_buffer& mix, const tempo& tm) {
    for (int bar = 0; bar < BARS; bar++) {
        double b = bar * 4;
        kick(mix, {tm.at(b), 1.0f, 0.0f}, 0.8);
        kick(mix, {tm.at(b + 1.5), 0.8f, 0.0f}, 0.8);
        kick(mix, {tm.at(b + 2), 0.95f, 0.0f}, 0.8);
        if (bar % 2 == 1) kick(mix, {tm.at(b + 3.5), 0.7f, 0.0f}, 0.8);
        snare(mix, {tm.at(b + 1), 0.9f, 0.05f});
        snare(mix, {tm.at(b + 3), 0.9f, 0.05f});
        for (int e = 0; e < 8; e++) closed_hat(mix, {tm.at(b + e * 0.5), e % 2 ? 0.8f : 0.5f, 0.35f});
        if (bar % 4 == 3) open_hat(mix, {tm.at(b + 3.5), 0.7f, 0.35f});
    }
    // Tom run down into the second half, riser and snare build into the top of the loop.
    static const double TOMS[4] = {50, 47, 43, 40};
    for (int k = 0; k < 4; k++) tom(mix, {tm.at(7 * 4 + 3 + k * 0.25), 0.8f, 0.4f - 0.25f * k}, TOMS[k]);
    for (int k = 0; k < 8; k++) snare(mix, {tm.at(11 * 4 + 2 + k * 0.25), 0.3f + 0.08f * k, -0.05f});
    riser(mix, {tm.at(10 * 4), 0.9f, 0.0f}, tm.seconds(8));
    crash(mix, {tm.at(0), 0.85f, 0.25f});
    crash(mix, {tm.at(4 * 4), 0.6f, -0.25f});
    crash(mix, {tm.at(8 * 4), 0.6f, 0.25f});
}

void bass(audio_buffer& mix, const tempo& tm) {
    // Each bass note is the first one above the last, dropping an octave only past C3.
    int root = 38;
    for (int bar = 0; bar < BARS; bar++) {
        if (bar > 0) {
            int above = root + 1 + ((CHANGES[bar].bass - root - 1) % 12 + 12) % 12;
            root = above > 48 ? above - 12 : above;
        }
        for (int e = 0; e < 8; e++) {
            int m = root + (e % 2 ? 12 : 0);
            synth_bass(mix, {tm.at(bar * 4 + e * 0.5), tm.seconds(0.42), (double)m, e % 2 ? 0.75f : 0.95f, 0.0f});
        }
    }
}

void harmony(audio_buffer& mix, const tempo& tm) {
    for (int bar = 0; bar < BARS; bar++) {
        const chord& c = CHANGES[bar].c;
        std::vector<int> tones = chord_tones(c.kind);
        // Upward ramps: the chord climbs over two octaves every half bar.
        std::vector<int> ramp;
        for (int oct = 0; oct < 3; oct++)
            for (int t : tones) ramp.push_back(60 + ((c.root + t - 60) % 12 + 12) % 12 + 12 * oct);
        for (int s = 0; s < 16; s++) {
            int m = ramp[(size_t)(s % 8)];
            square_pluck(mix, {tm.at(bar * 4 + s * 0.25), tm.seconds(0.18), (double)m, 0.45f + 0.05f * (s % 8), s % 2 ? 0.45f : -0.45f});
        }
        for (int m : voicing(c, tones, 55))
            strings(mix, {tm.at(bar * 4), tm.seconds(3.8), (double)m, 0.5f, -0.15f});
    }
}

} // namespace

audio_buffer compose_ramp() {
    tempo tm{124.0};
    long frames = tm.frames(BARS, MUSIC_RATE);
    audio_buffer mix(MUSIC_RATE, frames, true);
    audio_buffer kit(MUSIC_RATE, frames, true);
    drums(kit, tm);
    mix.mix(kit, 0.6f);
    bass(mix, tm);
    harmony(mix, tm);
    apply_reverb(mix, 0.45f, 0.5f, 0.14f);

    audio_buffer lead(MUSIC_RATE, frames, true);
    for (const lead_note& n : LEAD)
        square_lead(lead, {tm.at(n.bar * 4 + n.beat), tm.seconds(n.length * 0.92), (double)n.midi, 0.9f, 0.1f});
    apply_echo(lead, tm.seconds(0.5), 0.3f, 0.3f);
    apply_reverb(lead, 0.5f, 0.5f, 0.18f);
    mix.mix(lead, 1.4f);
    return mix;
}
