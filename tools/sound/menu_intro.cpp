// Intro music, played once while the game loads: a short fanfare in F (the key of the
// main-menu blues that follows). A timpani roll swells, the brass answers with a triplet
// call over strings and low strings, a snare roll builds to a crash, and the final chord
// rings out to silence with a glockenspiel sparkle.
#include <vector>

#include "drums.h"
#include "dsp.h"
#include "instruments.h"
#include "music.h"
#include "room_effects.h"
#include "sequencer.h"

namespace {

struct line_note {
    int bar;
    double beat, length;
    int midi;
};
const line_note FANFARE[] = {
    {0, 2.0, 0.3, 60}, {0, 2.333, 0.3, 60}, {0, 2.667, 0.3, 60}, {0, 3.0, 1.0, 65},
    {1, 0.0, 0.75, 69}, {1, 0.75, 0.25, 67}, {1, 1.0, 1.0, 70}, {1, 2.0, 1.0, 74}, {1, 3.0, 1.0, 72},
    {2, 0.0, 1.5, 70}, {2, 1.5, 0.5, 69}, {2, 2.0, 1.0, 67}, {2, 3.0, 0.5, 64}, {2, 3.5, 0.5, 67},
    {3, 0.0, 4.0, 65},
};
// Harmony under the fanfare, one chord per two beats (bar, beat, chord).
struct chord_at_beat {
    int bar;
    double beat;
    chord c;
    int bass;
};
const chord_at_beat CHORDS[] = {
    {0, 0, {5, MAJOR}, 41}, {1, 0, {10, MAJOR}, 34}, {1, 2, {2, MINOR}, 38}, {2, 0, {7, MIN7}, 31},
    {2, 2, {0, DOM7}, 36},  {3, 0, {5, MAJ7}, 29},
};

} // namespace

audio_buffer compose_menu_intro() {
    tempo tm{96.0};
    audio_buffer mix(MUSIC_RATE, tm.frames(4, MUSIC_RATE) + 2 * MUSIC_RATE, false);

    timpani(mix, {tm.at(0), 0.8f, 0.0f}, 41, tm.seconds(3.9));
    timpani(mix, {tm.at(4), 1.0f, 0.0f}, 41, 0);
    timpani(mix, {tm.at(10), 0.8f, 0.0f}, 36, 0);
    timpani(mix, {tm.at(11), 0.9f, 0.0f}, 36, 0);
    timpani(mix, {tm.at(12), 1.0f, 0.0f}, 41, 0);
    for (int k = 0; k < 16; k++) snare(mix, {tm.at(8) + tm.seconds(4.0 * k / 16.0), 0.2f + 0.04f * k, -0.2f});
    crash(mix, {tm.at(12), 0.9f, 0.2f});
    crash(mix, {tm.at(4), 0.5f, -0.2f});
    kick(mix, {tm.at(12), 0.8f, 0.0f}, 0.5);

    size_t nchords = sizeof(CHORDS) / sizeof(CHORDS[0]);
    for (size_t i = 0; i < nchords; i++) {
        const chord_at_beat& h = CHORDS[i];
        double start = h.bar * 4 + h.beat;
        double end = i + 1 < nchords ? CHORDS[i + 1].bar * 4 + CHORDS[i + 1].beat : 16.0;
        for (int m : voicing(h.c, chord_tones(h.c.kind), 53))
            strings(mix, {tm.at(start), tm.seconds(end - start), (double)m, 0.7f, -0.25f});
        strings(mix, {tm.at(start), tm.seconds(end - start), (double)h.bass, 0.9f, 0.0f});
        strings(mix, {tm.at(start), tm.seconds(end - start), (double)h.bass + 12, 0.6f, 0.0f});
    }
    for (const line_note& n : FANFARE)
        brass(mix, {tm.at(n.bar * 4 + n.beat), tm.seconds(n.length * 0.9), (double)n.midi, 0.95f, 0.15f});
    // The closing chord voiced for the whole section, with a rising sparkle.
    for (int m : {57, 60, 64})
        brass(mix, {tm.at(12), tm.seconds(3.6), (double)m, 0.75f, 0.1f});
    static const int SPARKLE[8] = {77, 81, 84, 88, 89, 93, 96, 100};
    for (int k = 0; k < 8; k++) glock(mix, {tm.at(12) + tm.seconds(0.25 * k), 0.2, (double)SPARKLE[k], 0.8f, 0.4f - 0.1f * k});

    apply_reverb(mix, 0.8f, 0.45f, 0.3f, 2.5);
    mix.trim_tail(0.0005f);
    return mix;
}
