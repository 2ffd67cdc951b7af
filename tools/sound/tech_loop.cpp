// Fight music: driving techno in A minor. Four-on-the-floor kick, claps and hats, a squelchy
// sixteenth-note acid bass whose filter breathes over four bars, off-beat chord stabs over a
// quiet pad, a plucked arpeggio throughout and a detuned lead with echo in the second half.
// The last bar fills and rises into the crash on bar 1, where the loop starts again.
#include <vector>

#include "drums.h"
#include "dsp.h"
#include "instruments.h"
#include "music.h"
#include "room_effects.h"
#include "sequencer.h"

namespace {

const int BARS = 16;

// One chord every two bars.
const chord CHANGES[BARS / 2] = {
    {9, MINOR}, {5, MAJOR}, {0, MAJOR}, {7, MAJOR}, {9, MINOR}, {5, MAJOR}, {2, MINOR}, {4, MAJOR},
};
const chord& chord_of_bar(int bar) { return CHANGES[(bar / 2) % (BARS / 2)]; }

struct lead_note {
    int bar;
    double beat, length;
    int midi;
};
const lead_note LEAD[] = {
    {8, 0, 0.75, 76},  {8, 0.75, 0.75, 72},  {8, 1.5, 0.5, 76},  {8, 2, 1, 81},  {8, 3, 0.5, 79},
    {8, 3.5, 0.5, 76}, {9, 0, 1.5, 74},      {9, 1.5, 0.5, 72},  {9, 2, 2, 71},
    {10, 0, 0.75, 72}, {10, 0.75, 0.75, 69}, {10, 1.5, 0.5, 72}, {10, 2, 1, 77}, {10, 3, 0.5, 76},
    {10, 3.5, 0.5, 74}, {11, 0, 1.5, 72},    {11, 1.5, 0.5, 74}, {11, 2, 2, 76},
    {12, 0, 0.75, 77}, {12, 0.75, 0.75, 74}, {12, 1.5, 0.5, 77}, {12, 2, 1, 81}, {12, 3, 0.5, 79},
    {12, 3.5, 0.5, 77}, {13, 0, 1.5, 76},    {13, 1.5, 0.5, 74}, {13, 2, 2, 77},
    {14, 0, 0.75, 80}, {14, 0.75, 0.75, 76}, {14, 1.5, 0.5, 80}, {14, 2, 1, 83}, {14, 3, 0.5, 81},
    {14, 3.5, 0.5, 80}, {15, 0, 2, 76},      {15, 2, 0.5, 74},   {15, 2.5, 0.5, 72}, {15, 3, 0.5, 71},
    {15, 3.5, 0.5, 68},
};

// Acid line: semitones above the bar's root per sixteenth, -1 for a rest; accents marked.
const int ACID_STEPS[16] = {0, -1, 12, 0, -1, 0, 10, -1, 0, 12, -1, 7, 0, -1, 12, 3};
const bool ACID_ACCENT[16] = {1, 0, 1, 0, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 1, 0};

void drums(audio_buffer& mix, const tempo& tm) {
    for (int bar = 0; bar < BARS; bar++) {
        for (int beat = 0; beat < 4; beat++) {
            double b0 = bar * 4 + beat;
            kick(mix, {tm.at(b0), 1.0f, 0.0f});
            if (beat % 2 == 1) clap(mix, {tm.at(b0), 0.8f, 0.05f});
            closed_hat(mix, {tm.at(b0 + 0.5), 0.75f, 0.3f});
            shaker(mix, {tm.at(b0 + 0.25), 0.6f, -0.4f});
            shaker(mix, {tm.at(b0 + 0.75), 0.6f, -0.4f});
        }
        if (bar % 2 == 1) open_hat(mix, {tm.at(bar * 4 + 3.5), 0.7f, 0.3f});
    }
    // Small fill halfway, a longer one with a riser at the end.
    for (int k = 0; k < 4; k++) snare(mix, {tm.at(7 * 4 + 3 + k * 0.25), 0.4f + 0.1f * k, -0.1f});
    for (int k = 0; k < 8; k++) snare(mix, {tm.at(15 * 4 + 2 + k * 0.25), 0.35f + 0.08f * k, -0.1f});
    riser(mix, {tm.at(14 * 4), 0.8f, 0.0f}, tm.seconds(8));
    crash(mix, {tm.at(0), 0.8f, -0.2f});
    crash(mix, {tm.at(8 * 4), 0.6f, 0.2f});
}

void acid(audio_buffer& mix, const tempo& tm) {
    for (int bar = 0; bar < BARS; bar++) {
        int root = nearest(chord_of_bar(bar).root, 36);
        for (int s = 0; s < 16; s++) {
            if (ACID_STEPS[s] < 0) continue;
            double beat = bar * 4 + s * 0.25;
            // The filter opens and closes over four bars, so it meets itself at the loop point.
            double sweep = 0.5 - 0.5 * std::cos(TWO_PI * beat / 16.0);
            double cutoff = 260 + 1100 * sweep;
            float vel = ACID_ACCENT[s] ? 1.0f : 0.55f;
            acid_bass(mix, {tm.at(beat), tm.seconds(0.2), (double)(root + ACID_STEPS[s]), vel, 0.0f}, cutoff, 5.0);
        }
    }
}

void harmony(audio_buffer& mix, const tempo& tm) {
    static const double STAB_BEATS[3] = {0.75, 2.5, 3.25};
    for (int bar = 0; bar < BARS; bar++) {
        const chord& c = chord_of_bar(bar);
        std::vector<int> tones = voicing(c, {0, chord_tones(c.kind)[1], 7}, 57);
        for (double sb : STAB_BEATS)
            for (int m : tones) chord_stab(mix, {tm.at(bar * 4 + sb), tm.seconds(0.2), (double)m, 0.8f, 0.25f});
        if (bar % 2 == 0)
            for (int m : voicing(c, {0, chord_tones(c.kind)[1], 7}, 52))
                warm_pad(mix, {tm.at(bar * 4), tm.seconds(7.6), (double)m, 0.55f, -0.2f});
    }
}

void arpeggio(audio_buffer& mix, const tempo& tm) {
    static const int ORDER[8] = {0, 1, 2, 3, 2, 1, 3, 1};
    for (int bar = 0; bar < BARS; bar++) {
        const chord& c = chord_of_bar(bar);
        std::vector<int> v = voicing(c, {0, chord_tones(c.kind)[1], 7}, 64);
        v.push_back(v[0] + 12);
        float level = bar < 8 ? 0.8f : 0.5f;
        for (int s = 0; s < 16; s++) {
            int m = v[(size_t)ORDER[s % 8]];
            square_pluck(mix, {tm.at(bar * 4 + s * 0.25), tm.seconds(0.2), (double)m, level, s % 2 ? 0.5f : -0.5f});
        }
    }
}

} // namespace

audio_buffer compose_tech_loop() {
    tempo tm{138.0};
    long frames = tm.frames(BARS, MUSIC_RATE);
    audio_buffer mix(MUSIC_RATE, frames, true);
    audio_buffer kit(MUSIC_RATE, frames, true);
    drums(kit, tm);
    mix.mix(kit, 0.7f);
    acid(mix, tm);
    harmony(mix, tm);
    arpeggio(mix, tm);
    apply_reverb(mix, 0.4f, 0.5f, 0.12f);

    audio_buffer lead(MUSIC_RATE, frames, true);
    for (const lead_note& n : LEAD)
        supersaw_lead(lead, {tm.at(n.bar * 4 + n.beat), tm.seconds(n.length * 0.9), (double)n.midi, 0.85f, 0.0f});
    apply_echo(lead, tm.seconds(0.75), 0.35f, 0.35f);
    apply_reverb(lead, 0.5f, 0.5f, 0.2f);
    mix.mix(lead, 1.8f);
    return mix;
}
