// The game's music, composed note by note. Each composer returns a finished stereo piece at
// 44100 Hz: the three loops are whole-bar loops whose end runs straight into their start
// (tails wrap around); the intro is a one-shot that rings out to silence.
#pragma once
#include "audio_buffer.h"

const int MUSIC_RATE = 44100;

audio_buffer compose_menu_intro(); // fanfare while the game loads, played once
audio_buffer compose_jazz_loop();  // swinging blues for the main menu
audio_buffer compose_ramp();       // rising, expectant synth-pop for character select
audio_buffer compose_tech_loop();  // driving techno for the fight
