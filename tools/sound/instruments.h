// The pitched instruments the pieces are played on. Each call renders one note into a
// buffer (wrapping around a loop) and lets it ring out through its own release, so notes
// never stop with a click. Pitches are MIDI numbers (69 = A 440 Hz), times in seconds.
#pragma once
#include "audio_buffer.h"

struct note {
    double start;  // seconds from the start of the buffer
    double length; // how long the key is held, seconds
    double midi;
    float velocity; // 0..1
    float pan;      // -1 left .. 1 right
};

void electric_piano(audio_buffer& b, const note& n); // bell-like FM keys for jazz comping
void upright_bass(audio_buffer& b, const note& n);   // plucked acoustic bass
void vibraphone(audio_buffer& b, const note& n);     // mallet lead with motor tremolo
void acid_bass(audio_buffer& b, const note& n, double cutoff, double resonance); // squelchy saw
void synth_bass(audio_buffer& b, const note& n);     // round sub bass with a little bite
void supersaw_lead(audio_buffer& b, const note& n);  // bright detuned lead
void chord_stab(audio_buffer& b, const note& n);     // short filtered saw hit
void square_pluck(audio_buffer& b, const note& n);   // chiptune-style arpeggio pluck
void square_lead(audio_buffer& b, const note& n);    // hollow lead with vibrato
void warm_pad(audio_buffer& b, const note& n);       // slow detuned saw pad
void brass(audio_buffer& b, const note& n);          // fanfare brass section
void strings(audio_buffer& b, const note& n);        // bowed ensemble
void glock(audio_buffer& b, const note& n);          // glockenspiel sparkle
