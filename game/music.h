// The one music track playing: every track starts here, so a screen can tell whether its
// own track plays (SDL_mixer only says whether any does). The tracks belong to the preload.
#pragma once
#include <SDL_mixer.h>

// Starts a track (loops as Mix_PlayMusic; fade_ms > 0 fades it in); the mixer's result, -1
// without audio. A null track is the mixer's error too.
int play_track(Mix_Music* track, int loops, int fade_ms = 0);
// The track last started while it still plays; null when none plays.
Mix_Music* current_track();
