// The fighting sound effects, synthesised from noise, sweeps and drum-like bodies. Each is a
// short one-shot that starts at once (it is triggered on an animation frame) and ends at
// silence. Names are the file names without ".wav", e.g. "hit_heavy".
#pragma once
#include "audio_buffer.h"

const int EFFECT_RATE = 44100;

// Fills out with the named effect; false when the name is unknown.
bool make_effect(const char* name, audio_buffer& out);
