// Main-menu music: a twelve-bar jazz blues in F at an easy swing, played by a trio plus
// vibraphone: walking upright bass, electric piano comping in rootless voicings, a blues
// head on the vibes and brushes with a ride cymbal. The turnaround in bar 12 leads back
// into bar 1, so the loop runs on seamlessly.
#include <vector>

#include "drums.h"
#include "dsp.h"
#include "instruments.h"
#include "music.h"
#include "room_effects.h"
#include "sequencer.h"

namespace {

const int BARS = 12;

// One chord per half bar.
const chord CHANGES[BARS * 2] = {
    {5, DOM7},  {5, DOM7},  {10, DOM7}, {10, DOM7}, {5, DOM7}, {5, DOM7},
    {0, MIN7},  {5, DOM7},  {10, DOM7}, {10, DOM7}, {11, DIM7}, {11, DIM7},
    {5, DOM7},  {5, DOM7},  {9, MIN7},  {2, DOM7},  {7, MIN7}, {7, MIN7},
    {0, DOM7},  {0, DOM7},  {5, DOM7},  {2, DOM7},  {7, MIN7}, {0, DOM7},
};

const chord& chord_at(double beat) {
    int half = ((int)(beat / 2.0)) % (BARS * 2);
    if (half < 0) half += BARS * 2;
    return CHANGES[half];
}

bool same(const chord& a, const chord& b) { return a.root == b.root && a.kind == b.kind; }

struct tune_note {
    int bar;
    double beat, length;
    int midi;
};

// The head, on the vibraphone.
const tune_note HEAD[] = {
    {0, 0.5, 0.5, 72}, {0, 1.0, 0.5, 74}, {0, 1.5, 0.5, 77}, {0, 2.0, 0.5, 80}, {0, 2.5, 1.5, 81},
    {1, 0.0, 0.5, 80}, {1, 0.5, 0.5, 77}, {1, 1.0, 1.0, 74}, {1, 2.5, 0.5, 72}, {1, 3.0, 1.0, 70},
    {2, 0.5, 0.5, 65}, {2, 1.0, 0.5, 68}, {2, 1.5, 0.5, 69}, {2, 2.0, 1.0, 72}, {2, 3.0, 0.5, 75},
    {2, 3.5, 0.5, 74},
    {3, 0.0, 1.0, 72}, {3, 1.0, 0.5, 70}, {3, 1.5, 0.5, 67}, {3, 2.0, 1.5, 69}, {3, 3.5, 0.5, 75},
    {4, 0.5, 0.5, 72}, {4, 1.0, 0.5, 74}, {4, 1.5, 0.5, 77}, {4, 2.0, 0.5, 80}, {4, 2.5, 1.5, 79},
    {5, 0.0, 0.5, 80}, {5, 0.5, 0.5, 77}, {5, 1.0, 1.0, 74}, {5, 2.5, 0.5, 71}, {5, 3.0, 1.0, 68},
    {6, 0.0, 1.5, 69}, {6, 1.5, 0.5, 72}, {6, 2.0, 0.5, 75}, {6, 2.5, 0.5, 77}, {6, 3.0, 0.5, 74},
    {6, 3.5, 0.5, 72},
    {7, 0.0, 1.0, 72}, {7, 1.0, 0.5, 76}, {7, 1.5, 0.5, 79}, {7, 2.0, 1.0, 78}, {7, 3.0, 0.5, 76},
    {7, 3.5, 0.5, 74},
    {8, 0.0, 0.5, 74}, {8, 0.5, 0.5, 77}, {8, 1.0, 0.5, 79}, {8, 1.5, 0.5, 82}, {8, 2.0, 1.5, 81},
    {8, 3.5, 0.5, 79},
    {9, 0.0, 1.0, 76}, {9, 1.0, 0.5, 79}, {9, 1.5, 0.5, 82}, {9, 2.0, 0.5, 81}, {9, 2.5, 0.5, 79},
    {9, 3.0, 0.5, 76}, {9, 3.5, 0.5, 75},
    {10, 0.0, 1.5, 72}, {10, 1.5, 0.5, 69}, {10, 2.0, 1.0, 78}, {10, 3.0, 1.0, 72},
    {11, 0.0, 0.5, 70}, {11, 0.5, 0.5, 74}, {11, 1.0, 1.0, 77}, {11, 2.0, 0.5, 76}, {11, 2.5, 0.5, 79},
    {11, 3.0, 1.0, 82},
};

// Piano comping rhythms, (beat, length) pairs per bar.
struct comp_hit {
    double beat, length;
};
const std::vector<comp_hit> COMP[4] = {
    {{0.0, 0.6}, {1.5, 0.4}, {2.5, 1.0}},
    {{1.0, 0.4}, {1.5, 0.8}, {3.5, 0.5}},
    {{0.0, 1.6}, {2.5, 0.4}, {3.0, 0.6}},
    {{0.5, 0.4}, {2.0, 0.9}, {3.5, 0.5}},
};
const int COMP_ORDER[BARS] = {0, 1, 2, 3, 0, 2, 1, 3, 0, 1, 2, 3};

int fold_into_range(int m) {
    while (m < 31) m += 12;
    while (m > 50) m -= 12;
    return m;
}

// Quarter notes that walk from each chord's root towards the next: up through the chord
// or down through its seventh and fifth, arriving by a half step.
void walking_bass(audio_buffer& mix, const tempo& tm, noise_gen& rng) {
    int prev = 41;
    int beats = BARS * 4;
    for (int j = 0; j < beats;) {
        const chord& c = chord_at(j);
        int span = 1;
        while (span < 4 && (j + span) % 4 != 0 && same(chord_at(j + span), c)) span++;
        if (span == 1 && j % 4 == 0) span = 2;
        const chord& next = chord_at(j + span);
        int root = fold_into_range(nearest(c.root, prev));
        int goal = nearest(next.root, root);
        if (goal < 31) goal += 12;
        if (goal > 50) goal -= 12;
        bool up = goal > root || (goal == root && root < 40);
        int third = chord_tones(c.kind)[1];
        int fifth = chord_tones(c.kind)[2];
        int approach = up ? goal - 1 : goal + 1;
        // Shapes for the beats before the approach note, kept only when they move steadily
        // towards it without landing on it.
        std::vector<int> line = {0};
        if (span >= 4) {
            std::vector<std::vector<int>> shapes =
                up ? std::vector<std::vector<int>>{{0, third, fifth}, {0, 2, third}, {0, 2, 3}, {0, 1, 2}}
                   : std::vector<std::vector<int>>{{0, -2, fifth - 12}, {0, -2, -3}, {0, -1, -2}};
            std::vector<std::vector<int>> fitting;
            for (const std::vector<int>& sh : shapes) {
                int last = root + sh.back();
                if (up ? last < approach : last > approach) fitting.push_back(sh);
            }
            if (!fitting.empty()) {
                line = fitting[(size_t)rng.below((int)fitting.size())];
            } else {
                // The next root is a step away: outline the chord and fall back onto it.
                line = shapes[0];
                approach = root + line.back() > goal ? goal + 1 : goal - 1;
            }
        }
        for (int k = 0; k < span; k++) {
            int pitch = k + 1 == span ? approach : root + line[(size_t)k % line.size()];
            if (k + 1 == span && span > 1 && pitch == root) pitch = root + (up ? 2 : -2);
            float vel = (k == 0 ? 0.95f : 0.8f) + (float)rng.uniform(-0.05, 0.05);
            upright_bass(mix, {tm.at(j + k), tm.seconds(0.92), (double)pitch, vel, -0.05f});
            // An occasional triplet skip note leading into the next beat.
            if (k + 1 == span && rng.chance(0.2))
                upright_bass(mix, {tm.at(j + k + 0.667), tm.seconds(0.3), (double)pitch + (up ? -2 : 2), 0.5f, -0.05f});
            prev = pitch;
        }
        j += span;
    }
}

void comping(audio_buffer& mix, const tempo& tm, noise_gen& rng) {
    for (int bar = 0; bar < BARS; bar++) {
        for (const comp_hit& h : COMP[COMP_ORDER[bar]]) {
            double beat = bar * 4 + h.beat;
            // A hit on an off-beat just before a change anticipates the new chord.
            const chord& c = chord_at(beat + 0.5);
            std::vector<int> degrees = c.kind == DOM7 ? std::vector<int>{4, 9, 10, 14}
                                     : c.kind == DIM7 ? std::vector<int>{0, 3, 6, 9}
                                                      : std::vector<int>{3, 7, 10, 14};
            float vel = 0.5f + (float)rng.uniform(0.0, 0.15);
            double spread = 0;
            for (int m : voicing(c, degrees, 53)) {
                electric_piano(mix, {tm.at(beat) + spread, tm.seconds(h.length), (double)m, vel, -0.35f});
                spread += 0.004; // a slightly rolled chord
            }
        }
    }
}

void head(audio_buffer& mix, const tempo& tm, noise_gen& rng) {
    for (const tune_note& n : HEAD) {
        double beat = n.bar * 4 + n.beat;
        bool offbeat = n.beat - (int)n.beat > 0.25;
        float vel = (offbeat ? 0.85f : 0.75f) + (float)rng.uniform(-0.06, 0.06);
        vibraphone(mix, {tm.at(beat), tm.seconds(n.length * 0.95), (double)n.midi, vel, 0.3f});
    }
}

void brushes(audio_buffer& mix, const tempo& tm, noise_gen& rng) {
    for (int bar = 0; bar < BARS; bar++) {
        for (int beat = 0; beat < 4; beat++) {
            double b0 = bar * 4 + beat;
            ride(mix, {tm.at(b0), beat % 2 ? 0.75f : 0.6f, 0.45f});
            if (beat % 2 == 1) {
                ride(mix, {tm.at(b0 + 0.5), 0.45f, 0.45f});
                pedal_hat(mix, {tm.at(b0), 0.8f, -0.35f});
                brush(mix, {tm.at(b0), 0.75f, -0.1f}, 0.04);
            }
            brush(mix, {tm.at(b0), 0.45f, -0.15f}, tm.seconds(0.9)); // the sweep
            soft_kick(mix, {tm.at(b0), 0.3f, 0.0f});
            if (rng.chance(0.2)) brush(mix, {tm.at(b0 + 0.5), (float)rng.uniform(0.4, 0.7), -0.1f}, 0.03);
        }
        if (bar % 4 == 3) soft_kick(mix, {tm.at(bar * 4 + 3.5), 0.85f, 0.0f});
    }
    // Triplet fill on the turnaround.
    for (int k = 0; k < 6; k++)
        brush(mix, {tm.at(11 * 4 + 2) + tm.seconds(k / 3.0), 0.55f + 0.06f * k, -0.1f}, 0.03);
}

} // namespace

audio_buffer compose_jazz_loop() {
    tempo tm{120.0, 0.64};
    audio_buffer mix(MUSIC_RATE, tm.frames(BARS, MUSIC_RATE), true);
    noise_gen rng(1955);
    walking_bass(mix, tm, rng);
    comping(mix, tm, rng);
    head(mix, tm, rng);
    brushes(mix, tm, rng);
    apply_reverb(mix, 0.55f, 0.5f, 0.22f);
    return mix;
}
