// Room effects applied to a whole buffer: a small stereo reverb and a ping-pong echo.
// On a looping buffer each effect runs over the loop twice and keeps the second pass, so the
// tail left at the loop's end is heard at its start, exactly as when the loop repeats.
// A one-shot buffer is first lengthened by tail_seconds so the effect can ring out.
#pragma once
#include "audio_buffer.h"

// room: 0..1 (decay length); damp: 0..1 (high-frequency loss); wet: level of the added room.
void apply_reverb(audio_buffer& b, float room, float damp, float wet, double tail_seconds = 2.0);
// Echo with the repeats alternating between the sides.
void apply_echo(audio_buffer& b, double delay_seconds, float feedback, float wet,
                double tail_seconds = 2.0);
