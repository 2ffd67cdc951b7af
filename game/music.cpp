#include "music.h"

#include "foundation/video_mgr.h"

static Mix_Music* started = nullptr;

int play_track(Mix_Music* track, int loops, int fade_ms) {
    if (!video.audio_ok) return -1;
    started = track;
    return fade_ms > 0 ? Mix_FadeInMusic(track, loops, fade_ms) : Mix_PlayMusic(track, loops);
}

Mix_Music* current_track() { return video.audio_ok && Mix_PlayingMusic() ? started : nullptr; }
