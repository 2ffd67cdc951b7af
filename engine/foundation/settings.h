// Global game settings read by the engine and the programs: the match frame rate and the
// debug level. The programs set them from "game/game.ini" at start-up.
#pragma once

#include "foundation/config_file.h"

extern int fps;   // frames per second of a match, default 60
extern int debug; // non-zero shows the debug overlays, default 0

const int FRAME_RATE_DEFAULT = 60;
const int FRAME_RATE_MOST = 200;    // the fastest rate the frame limiter keeps
const int FRAME_RATE_ABSURD = 1000; // above this a rate is a mistake, not a wish for speed
// The sample frames a mixer chunk ("audiochunk") may have: a power of two between these.
enum { AUDIO_CHUNK_LEAST = 256, AUDIO_CHUNK_MOST = 8192 };

// The frame rate the "fps" entry of a settings file gives, printing "Setting fps to [%d]"
// when it applies one. Absent, 0 or text leaves the default without a word; a negative or
// absurd rate is refused with a WARNING and the default used; a rate above FRAME_RATE_MOST is held
// there with a WARNING, so the rate printed is the rate things run at.
int settings_fps(const config_file& cfg);
