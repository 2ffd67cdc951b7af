// video_mgr: the one platform object. It starts SDL when it is constructed (before main),
// opens audio, joysticks and the video mode, chooses the drawing mode once (OpenGL when
// flags & 10), sets the 2D projection, clears and presents frames. It also carries the
// drawing primitives and the OpenGL on/off state cache (primitives.cpp). The global
// `video` is never copied and tears nothing down: SDL_Quit runs at process exit.
#pragma once
#include <SDL.h>
#include <GL/gl.h>
#include <GL/glext.h>
#include <cstdint>

#include "foundation/config_file.h"

// OpenGL state cache indices (current has one spare byte at the end).
enum gl_state_index { GLS_VERTEX_ARRAY, GLS_TEXCOORD_ARRAY, GLS_NORMAL_ARRAY, GLS_BLEND };

struct video_mgr {
    SDL_Surface* screen;
    SDL_Joystick* joysticks[4];
    int sdl_ok;
    int video_ok;
    int joystick_ok;
    int audio_ok;
    uint32_t flags;
    uint8_t ortho_2d;
    int width, height, bpp;
    int fps;
    config_file config;
    uint8_t gl_current[5];
    uint8_t gl_wanted[4];
    uint8_t vbo_supported;
    int gl_state_changes; // OpenGL enable/disable calls sent by sync_gl_state, for tests
    int presents;         // frames presented by flip: the frame count text caches age by
    void (*after_present)(); // test seam, called after each present (null: nothing)
    bool boxes_open = false; // between begin_boxes and end_boxes
    // The OpenGL renderer runs on the processor (renderer_on_processor): pictures that
    // fill the screen several times over are then cheaper composed by the software routines.
    // Set with the video mode; tests set it to reach either way.
    bool gl_on_processor = false;

    video_mgr();
    video_mgr(const video_mgr&) = delete;
    video_mgr& operator=(const video_mgr&) = delete;

    int init_audio();
    int init_joysticks(int count);
    int set_video_mode(int w, int h, int depth);
    int is_gl() const { return (int)(flags & 10); }
    int show_cursor(int toggle);
    void clear();
    // The clear before a frame, left out in software mode when the frame's first draw hides
    // the whole screen (covered). OpenGL always clears: a cleared frame starts fresh, which
    // costs the rasteriser less than keeping the last one.
    void clear_unless(bool covered);
    // The same for a first draw that covers the box `kept` (null: nothing): in software mode
    // only the pixels around it are cleared.
    void clear_around(const SDL_Rect* kept);
    void flip();
    SDL_Surface* create_surface(int w, int h, int depth, int sdl_flags);

    // Drawing primitives (primitives.cpp).
    void draw_box(int x1, int y1, int x2, int y2, uint32_t colour);
    // Boxes drawn between begin_boxes and end_boxes go to OpenGL as one draw: nothing but
    // draw_box may come between them. Software mode draws them as they come.
    void begin_boxes();
    void end_boxes();
    // The outline of a box, one pixel wide, ends included (four draw_box calls).
    void draw_outline(int x1, int y1, int x2, int y2, uint32_t colour);
    void draw_filled_circle(int cx, int cy, int radius, int segments, uint32_t colour);
    void set_blending(bool on);
    void sync_gl_state();
    // Drawing behind (OpenGL, with a depth buffer): what is drawn after begin_cover marks the
    // pixels its opaque texels cover; what is drawn after begin_behind leaves those pixels
    // as they are, as if drawn first and covered afterwards, and costs no blend there;
    // end_cover ends both. begin_cover returns false (and changes nothing) where this is not
    // possible: draw in order then. Texels cover where their alpha exceeds alpha_above.
    bool begin_cover(float alpha_above = 0.5f);
    void begin_behind();
    void end_cover();
};

extern video_mgr video;

// SDL_Init flags the global uses; the editor defines its own (no parachute).
extern unsigned video_sdl_init_flags;

// Vertex-buffer extension functions, null unless vbo_supported.
extern PFNGLGENBUFFERSARBPROC p_glGenBuffersARB;
extern PFNGLBINDBUFFERARBPROC p_glBindBufferARB;
extern PFNGLBUFFERDATAARBPROC p_glBufferDataARB;
extern PFNGLDELETEBUFFERSARBPROC p_glDeleteBuffersARB;

// True when an OpenGL renderer string names a rasteriser that runs on the processor: Mesa's
// llvmpipe, softpipe or its older software rasteriser (swrast).
bool renderer_on_processor(const char* renderer);
// Whole-word search of an OpenGL extension list; empty names and names with a space fail.
bool extension_in_list(const char* name, const char* extensions);
// The same against the current context's GL_EXTENSIONS.
bool check_extension(const char* name);
