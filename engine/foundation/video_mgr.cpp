#include "foundation/video_mgr.h"

#include <GL/glu.h>
#include <dlfcn.h>
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "foundation/log.h"
#include "foundation/quit_signals.h"

__attribute__((weak)) unsigned video_sdl_init_flags = 0;

PFNGLGENBUFFERSARBPROC p_glGenBuffersARB = nullptr;
PFNGLBINDBUFFERARBPROC p_glBindBufferARB = nullptr;
PFNGLBUFFERDATAARBPROC p_glBufferDataARB = nullptr;
PFNGLDELETEBUFFERSARBPROC p_glDeleteBuffersARB = nullptr;

// Built before every other object of static lifetime, whatever order the linker puts the
// files in, so "Initialize SDL." is the program's first line.
__attribute__((init_priority(101))) video_mgr video;

// Names the SDL 1.2 the program runs on: the classic library, or sdl12-compat (the SDL 1.2
// interface over SDL 2, versions 1.2.50 and later) with the SDL 2 under it.
static void log_linked_sdl() {
    const SDL_version* v = SDL_Linked_Version();
    char provider[64] = "classic SDL 1.2";
    if (v->patch >= 50) {
        snprintf(provider, sizeof provider, "sdl12-compat");
        if (void* sdl2 = dlopen("libSDL2-2.0.so.0", RTLD_LAZY | RTLD_NOLOAD)) {
            typedef void (*get_version_fn)(SDL_version*); // SDL 2's version has the same layout
            get_version_fn get = (get_version_fn)dlsym(sdl2, "SDL_GetVersion");
            SDL_version under = {0, 0, 0};
            if (get) get(&under);
            snprintf(provider, sizeof provider, "sdl12-compat on SDL %d.%d.%d", under.major,
                     under.minor, under.patch);
            dlclose(sdl2);
        }
    }
    log_out("Linked SDL [%d.%d.%d] (%s)\n", v->major, v->minor, v->patch, provider);
}

video_mgr::video_mgr()
    : screen(nullptr), joysticks{}, sdl_ok(1), video_ok(0), joystick_ok(0), audio_ok(0),
      flags(0), ortho_2d(1), width(640), height(480), bpp(32), fps(60), gl_current{},
      gl_wanted{}, vbo_supported(0), gl_state_changes(0), presents(0), after_present(nullptr) {
    // Pictures and upload buffers of 128 KB or more get mappings of their own, given back to
    // the system when freed. Left to itself glibc raises that threshold after the first big
    // free (a stage's 16 MB upload buffer), and later pictures then leave holes in the heap
    // that keep a long match's resident memory high.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    // Mesa's software rasteriser takes its working memory for every frame in 64 KB blocks
    // and frees them after the present; glibc would give the freed top of the heap back each
    // time and fault the same pages in again on the next frame, which cost a text-heavy frame
    // more than half its time. Up to 4 MB of free heap is kept for reuse instead.
    mallopt(M_TRIM_THRESHOLD, 4 * 1024 * 1024);
    log_out("Initialize SDL.\n");
    sdl_ok = 1;
    if (SDL_Init(video_sdl_init_flags) == -1) {
        log_out("Couldn't initialize SDL: %s.\n", SDL_GetError());
        sdl_ok = 0;
    } else {
        atexit(SDL_Quit);
    }
    flags = 0;
    log_out("SDL Initialized.\n");
    log_linked_sdl();
}

int video_mgr::init_audio() {
    if (!sdl_ok) return -1;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == -1) {
        log_out("Couldn't initialize SDL Audio: %s.\n", SDL_GetError());
        audio_ok = 0;
    } else {
        audio_ok = 1;
    }
    return 0;
}

int video_mgr::init_joysticks(int count) {
    if (!sdl_ok) return -1;
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) == -1) {
        log_out("Couldn't initialize SDL Joystick: %s.\n", SDL_GetError());
        joystick_ok = 0;
    }
    int n = SDL_NumJoysticks();
    log_out("%i joysticks were found.\n\n", n);
    if (n > 0) {
        joystick_ok = 1;
        log_out("The names of the joysticks are:\n");
        for (int i = 0; i < n; i++) {
            const char* name = SDL_JoystickName(i);
            log_out("    %s\n", name ? name : "");
            if (i < count && i < 4) joysticks[i] = SDL_JoystickOpen(i);
        }
        SDL_JoystickEventState(SDL_ENABLE);
    }
    return 0;
}

bool renderer_on_processor(const char* renderer) {
    if (!renderer) return false;
    for (const char* name : {"llvmpipe", "softpipe", "Software Rasterizer", "swrast"})
        if (strstr(renderer, name)) return true;
    return false;
}

bool extension_in_list(const char* name, const char* extensions) {
    if (!name || !*name || strchr(name, ' ') || !extensions) return false;
    size_t len = strlen(name);
    const char* start = extensions;
    for (;;) {
        const char* hit = strstr(start, name);
        if (!hit) return false;
        const char* end = hit + len;
        if ((hit == extensions || hit[-1] == ' ') && (*end == ' ' || *end == 0)) return true;
        start = end;
    }
}

bool check_extension(const char* name) {
    return extension_in_list(name, (const char*)glGetString(GL_EXTENSIONS));
}

int video_mgr::set_video_mode(int w, int h, int depth) {
    if (!sdl_ok) return -1;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == -1)
        log_out("Couldn't initialize SDL Video: %s.\n", SDL_GetError());

    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    SDL_VideoInfo none;
    memset(&none, 0, sizeof none);
    if (!info) info = &none;
    log_out("Is it possible to  create hardware surfaces?\n\t");
    log_out("hw_available=%d\n", (int)info->hw_available);
    log_out("Is there a window manager available?\n\t");
    log_out("wm_available=%d\n", (int)info->wm_available);
    log_out("Are hardware to hardware blits accelerated?\n\t");
    log_out("blit_hw=%d\n", (int)info->blit_hw);
    log_out("Are hardware to hardware colorkey blits accelerated?\n\t");
    log_out("blit_hw_CC=%d\n", (int)info->blit_hw_CC);
    log_out("Are hardware to hardware alpha bits accelerated?\n\t");
    log_out("blit_hw_A=%d\n", (int)info->blit_hw_A);
    log_out("Are software to hardware blits accelerated?\n\t");
    log_out("blit_sw=%d\n", (int)info->blit_sw);
    log_out("Are software to hardware colorkey blits accelerated?\n\t");
    log_out("blit_sw_CC=%d\n", (int)info->blit_sw_CC);
    log_out("Are software to hardware alpha blits accelerated?\n\t");
    log_out("blit_sw_A=%d\n", (int)info->blit_sw_A);
    log_out("Are color fills accelerated?\n\t");
    log_out("blit_fill=%d\n", (int)info->blit_fill);
    log_out("\n\n\t\tTotal amount of video_mem: %d\n", (int)info->video_mem);

    video_ok = 1;
    // SDL 1.2 crashes on GL attributes without a video subsystem; the mode call below then
    // fails and reports instead.
    if (is_gl() && SDL_WasInit(SDL_INIT_VIDEO)) {
        log_out("Setting GL Atts [%d]\n", (int)(flags & 10));
        SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depth);
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, (flags & SDL_DOUBLEBUF) ? 1 : 0);
    }
    screen = SDL_SetVideoMode(w, h, depth, flags);
    // The depth buffer asked for is as deep as the colour depth; not every GLX offers that
    // (Debian 13's Xvfb and Mesa stop at 24 bits), so shallower ones are tried before giving up.
    for (int z = 24; !screen && is_gl() && SDL_WasInit(SDL_INIT_VIDEO) && z >= 16; z -= 8) {
        if (z >= depth) continue;
        log_out("No %d-bit depth buffer: %s; trying %d bits\n", depth, SDL_GetError(), z);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, z);
        screen = SDL_SetVideoMode(w, h, depth, flags);
    }
    if (!screen) {
        log_err("Couldn't set %d x %d x %d video mode: %s\n", w, h, depth, SDL_GetError());
        video_ok = 0;
        return -2;
    }
    quit_signals_install();
    if (!is_gl()) return 0;

    const char* renderer = (const char*)glGetString(GL_RENDERER);
    gl_on_processor = renderer_on_processor(renderer);
    log_out("OpenGL renderer [%s]%s\n", renderer ? renderer : "", gl_on_processor ? ", on the processor" : "");
    GLint max_texture = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max_texture);
    log_out("Max texture size[%d]\n", (int)max_texture);
    vbo_supported = check_extension("GL_ARB_vertex_buffer_object") ? 1 : 0;
    if (vbo_supported) {
        log_out("VBO Support enabled\n");
        p_glGenBuffersARB = (PFNGLGENBUFFERSARBPROC)SDL_GL_GetProcAddress("glGenBuffersARB");
        p_glBindBufferARB = (PFNGLBINDBUFFERARBPROC)SDL_GL_GetProcAddress("glBindBufferARB");
        p_glBufferDataARB = (PFNGLBUFFERDATAARBPROC)SDL_GL_GetProcAddress("glBufferDataARB");
        p_glDeleteBuffersARB = (PFNGLDELETEBUFFERSARBPROC)SDL_GL_GetProcAddress("glDeleteBuffersARB");
    }
    log_out("Using GLDL\n");

    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glViewport(0, 0, screen->w, screen->h);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glClearColor(0, 0, 0, 1);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (ortho_2d) {
        log_out("Setting up OpenGL 2D\n");
        int half = screen->w / 2;
        glOrtho(0, screen->w, screen->h, 0, -half, half);
    } else {
        log_out("Setting up OpenGL 3D\n");
        gluPerspective(45.0, (double)screen->w / (double)screen->h, (double)0.1f, 500.0);
    }
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    return 0;
}

int video_mgr::show_cursor(int toggle) { return SDL_ShowCursor(toggle); }

void video_mgr::clear() {
    if (is_gl()) {
        glClear(ortho_2d ? GL_COLOR_BUFFER_BIT : (GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT));
    } else if (screen) {
        // A plain fill: the same black pixels as an opaque box, at the speed of a memset.
        SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 0));
    }
}

void video_mgr::clear_unless(bool covered) {
    if (is_gl() || !covered) clear();
}

void video_mgr::clear_around(const SDL_Rect* kept) {
    if (is_gl() || !screen || !kept || kept->w == 0 || kept->h == 0) {
        clear();
        return;
    }
    const Uint32 black = SDL_MapRGB(screen->format, 0, 0, 0);
    const int x0 = kept->x, y0 = kept->y, x1 = kept->x + kept->w, y1 = kept->y + kept->h;
    SDL_Rect strips[4] = {{0, 0, (Uint16)screen->w, (Uint16)y0},                  // above
                          {0, (Sint16)y1, (Uint16)screen->w, (Uint16)(screen->h - y1)}, // below
                          {0, (Sint16)y0, (Uint16)x0, (Uint16)(y1 - y0)},            // left
                          {(Sint16)x1, (Sint16)y0, (Uint16)(screen->w - x1), (Uint16)(y1 - y0)}};
    for (SDL_Rect& r : strips)
        if (r.w > 0 && r.h > 0) SDL_FillRect(screen, &r, black);
}

void video_mgr::flip() {
    if (is_gl()) SDL_GL_SwapBuffers();
    else if (screen) SDL_Flip(screen);
    presents++;
    if (after_present) after_present();
    quit_signals_frame();
}

SDL_Surface* video_mgr::create_surface(int w, int h, int depth, int sdl_flags) {
    return SDL_CreateRGBSurface((Uint32)sdl_flags, w, h, depth, 0x000000FF, 0x0000FF00,
                                0x00FF0000, 0xFF000000);
}
