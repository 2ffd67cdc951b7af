#include "video_options.h"

#include <SDL.h>
#include <cstdio>

#include "foundation/config_file.h"
#include "foundation/video_mgr.h"
#include "startup.h"

const int video_sizes[VIDEO_SIZE_COUNT][2] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 720}};

video_options read_video_options(const config_file& cfg) {
    video_options o;
    read_setting(cfg, "fullscreen", o.fullscreen);
    read_setting(cfg, "width", o.width);
    read_setting(cfg, "height", o.height);
    read_setting(cfg, "hwaccel", o.hwaccel);
    return o;
}

video_options running_video_options() {
    video_options o;
    o.fullscreen = (video.flags & SDL_FULLSCREEN) ? 1 : 0;
    o.hwaccel = video.is_gl() ? 1 : 0;
    if (video.screen) o.width = video.screen->w, o.height = video.screen->h;
    return o;
}

void cycle_video_option(video_options& o, int which) {
    if (which == VIDEO_FULLSCREEN) o.fullscreen = o.fullscreen ? 0 : 1;
    if (which == VIDEO_DRAWING) o.hwaccel = o.hwaccel ? 0 : 1;
    if (which != VIDEO_SIZE) return;
    int at = VIDEO_SIZE_COUNT - 1; // a size not offered: the next is the first
    for (int i = 0; i < VIDEO_SIZE_COUNT; i++)
        if (video_sizes[i][0] == o.width && video_sizes[i][1] == o.height) at = i;
    at = (at + 1) % VIDEO_SIZE_COUNT;
    o.width = video_sizes[at][0];
    o.height = video_sizes[at][1];
}

const char* video_option_row(const video_options& saved, const video_options& running, int which,
                             char* buf, size_t size) {
    const char* later = " (next start)";
    const bool on = saved.fullscreen != 0, gl = saved.hwaccel != 0;
    if (which == VIDEO_FULLSCREEN)
        snprintf(buf, size, "Full Screen %s%s", on ? "on" : "off",
                 on != (running.fullscreen != 0) ? later : "");
    else if (which == VIDEO_SIZE)
        snprintf(buf, size, "Window Size %d x %d%s", saved.width, saved.height,
                 saved.width != running.width || saved.height != running.height ? later : "");
    else
        snprintf(buf, size, "Drawing Mode %s%s", gl ? "OpenGL" : "software",
                 gl != (running.hwaccel != 0) ? later : "");
    return buf;
}

bool save_video_options(const char* path, const video_options& o) {
    config_file cfg;
    cfg.clear();
    cfg.load(path);
    const struct {
        const char* key;
        int value;
    } keys[] = {{"fullscreen", o.fullscreen}, {"width", o.width}, {"height", o.height}, {"hwaccel", o.hwaccel}};
    char buf[16];
    for (const auto& k : keys) {
        snprintf(buf, sizeof buf, "%d", k.value);
        cfg.set(k.key, buf);
    }
    return cfg.save(path);
}
