// Timing and harmony helpers for writing the pieces: a tempo grid (with optional swing) that
// turns beats into seconds, chord spelling, and voicing of pitch classes near a register.
#pragma once
#include <vector>

struct tempo {
    double bpm;
    // Where the off-beat eighth falls inside a beat: 0.5 straight, 2/3 triplet swing.
    double swing = 0.5;
    int beats_per_bar = 4;

    double beat_seconds() const { return 60.0 / bpm; }
    // Seconds at a position given in beats from the start (swing applied to eighths).
    double at(double beat) const;
    double at_bar(int bar, double beat) const { return at(bar * beats_per_bar + beat); }
    double seconds(double beats) const { return beats * beat_seconds(); }
    // Whole frames in `bars` bars at this rate.
    long frames(int bars, int rate) const;
};

enum chord_kind { MAJOR, MINOR, DOM7, MIN7, MAJ7, DIM7, HALF_DIM, SUS4 };

struct chord {
    int root; // pitch class 0 = C .. 11 = B
    chord_kind kind;
};

// Semitones above the root of each chord tone (root first).
std::vector<int> chord_tones(chord_kind kind);
// The MIDI note of pitch class pc nearest to `around`.
int nearest(int pc, int around);
// The chord's tones (plus extensions given as semitones above the root) voiced in the
// octave starting at `low`, sorted upwards.
std::vector<int> voicing(const chord& c, const std::vector<int>& degrees, int low);
