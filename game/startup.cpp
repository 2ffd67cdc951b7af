#include "startup.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <cstdlib>
#include <ctime>

#include "foundation/log.h"
#include "foundation/pacing.h"
#include "foundation/settings.h"
#include "foundation/video_mgr.h"
#include "game_options.h"
#include "sizes.h"

bool read_setting(const config_file& cfg, const char* key, int& out) {
    if (!cfg.has(key)) return false;
    int v = cfg.get_int(key);
    if (v == 0) return false;
    out = v;
    return true;
}

void apply_settings(const config_file& cfg, game_settings& s) {
    read_setting(cfg, "fullscreen", s.fullscreen);
    read_setting(cfg, "width", s.width);
    if (read_setting(cfg, "height", s.height)) log_out("Setting size to [%d,%d]\n", s.width, s.height);
    if (read_setting(cfg, "bpp", s.bpp)) log_out("Setting bpp to [%d]\n", s.bpp);
    s.fps = settings_fps(cfg);
    if (read_setting(cfg, "debug", s.debug)) log_out("Setting debug to [%d]\n", s.debug);
    if (cfg.has("audiochunk")) {
        int c = cfg.get_int("audiochunk");
        if (c >= AUDIO_CHUNK_LEAST && c <= AUDIO_CHUNK_MOST && (c & (c - 1)) == 0) {
            s.audio_chunk = c;
            log_out("Setting audio chunk to [%d]\n", c);
        } else {
            log_out("WARNING: audiochunk [%s] is no power of two from 256 to 8192, using [%d]\n",
                    cfg.get_string("audiochunk"), s.audio_chunk);
        }
    }
}

void apply_hwaccel(const config_file& cfg, game_settings& s) { read_setting(cfg, "hwaccel", s.hwaccel); }

uint32_t video_flags(const game_settings& s) {
    uint32_t f = SDL_HWSURFACE | SDL_DOUBLEBUF;
    if (s.fullscreen) f |= SDL_FULLSCREEN;
    if (s.hwaccel) f |= SDL_OPENGL;
    return f;
}

int front_end_rate(int rate) {
    long r = 16L * rate;
    return r > 200 ? 200 : (int)r;
}

bool game_startup(game_settings& s) {
    srand((unsigned)time(nullptr));
    print_class_sizes();

    config_file cfg;
    cfg.clear();
    cfg.load("game/game.ini");
    apply_settings(cfg, s);
#ifndef FIGHT_REDUCED
    read_game_options(cfg, game_opts); // the reduced program plays with the defaults
#endif
    fps = s.fps;
    debug = s.debug;

    video.init_audio();
    video.init_joysticks(2);
    if (Mix_OpenAudio(44100, AUDIO_S16LSB, 2, s.audio_chunk) < 0)
        log_out("Warning: Couldn't set 44100 Hz 16-bit audio\n- Reason: %s\n", Mix_GetError());

    apply_hwaccel(cfg, s);
    video.flags = video_flags(s);
    video.set_video_mode(s.width, s.height, s.bpp);
    quit_watch_start();
    if (video.screen)
        log_out("Resolution: asked for [%d,%d@%d] got [%d,%d@%d]\n", s.width, s.height, s.bpp,
                video.screen->w, video.screen->h, video.screen->format->BitsPerPixel);
    if (s.fullscreen) video.show_cursor(0);
    if (video.video_ok) SDL_WM_SetCaption("Marrowlark", "Marrowlark");
    return video.video_ok != 0;
}

void game_shutdown_audio() {
    if (!video.audio_ok) return;
    Mix_FadeOutChannel(-1, 1000);
    Mix_FadeOutMusic(1000);
    SDL_Delay(1000);
}
