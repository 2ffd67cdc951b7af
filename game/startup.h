// The game's start-up settings from "game/game.ini" and the pacing rates derived from them.
#pragma once
#include <cstdint>

#include "foundation/config_file.h"

struct game_settings {
    int fullscreen = 0;
    int width = 640;
    int height = 480;
    int bpp = 32;
    int fps = 60;
    int debug = 0;
    int hwaccel = 0;
    // Sample frames per mixer chunk: how late a sound may start (1024 at 44.1 kHz is 23 ms).
    // "audiochunk" raises it, a power of two from 256 to 8192, for a machine whose sound crackles.
    int audio_chunk = 1024;
};

// Sets out to key's value when the key is present and non-zero (how every setting counts).
bool read_setting(const config_file& cfg, const char* key, int& out);
// Applies "fullscreen", "width", "height", "bpp", "fps" and "debug" (each only when present and
// non-zero) with their log lines, and "audiochunk" (refused with a WARNING unless a power of two
// from 256 to 8192). "hwaccel" is applied separately, after the mixer opens.
void apply_settings(const config_file& cfg, game_settings& s);
void apply_hwaccel(const config_file& cfg, game_settings& s);

// Video flag word for the settings: double-buffered hardware surface, full-screen, OpenGL.
uint32_t video_flags(const game_settings& s);

// Every front-end screen runs at sixteen times fps, at most 200.
int front_end_rate(int fps);

// Start-up steps 1 to 10; returns false when the video mode was refused.
bool game_startup(game_settings& s);
// Shutdown after the release: audio fades when audio is on.
void game_shutdown_audio();
