#include "images/canvas.h"

#include "foundation/log.h"
#include "foundation/primitives.h"
#include "foundation/video_mgr.h"

#ifndef GL_BGRA
#define GL_BGRA 0x80E1
#endif
#ifndef GL_UNSIGNED_INT_8_8_8_8_REV
#define GL_UNSIGNED_INT_8_8_8_8_REV 0x8367
#endif

static int pow2_at_least(int n) {
    int p = 1;
    while (p < n && p < (1 << 14)) p <<= 1;
    return p;
}

bool canvas::open(int w, int h, const SDL_PixelFormat* like) {
    close();
    if (!video.is_gl() || !like || w <= 0 || h <= 0 || like->BytesPerPixel != 4) return false;
    if (like->Rmask == 0x00ff0000u && like->Gmask == 0x0000ff00u && like->Bmask == 0x000000ffu)
        upload_format = GL_BGRA;
    else if (like->Rmask == 0x000000ffu && like->Gmask == 0x0000ff00u && like->Bmask == 0x00ff0000u)
        upload_format = GL_RGBA;
    else
        return false;
    tex_w = pow2_at_least(w);
    tex_h = pow2_at_least(h);
    surface = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, like->Rmask, like->Gmask, like->Bmask, 0);
    if (!surface) {
        log_err("Couldn't make a %d x %d canvas: %s\n", w, h, SDL_GetError());
        return false;
    }
    for (int i = 0; i < 8 && glGetError() != GL_NO_ERROR; i++) {
    } // errors of earlier calls are not this texture's
    glGenTextures(1, &tex);
    glBindTexture(GL_TEXTURE_2D, tex);
    // Shown texel for pixel: nothing to filter.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, tex_w, tex_h, 0, upload_format,
                 GL_UNSIGNED_INT_8_8_8_8_REV, nullptr);
    if (glGetError() != GL_NO_ERROR) {
        log_err("Couldn't make a %d x %d canvas texture\n", tex_w, tex_h);
        close();
        return false;
    }
    return true;
}

void canvas::close() {
    if (tex && SDL_WasInit(SDL_INIT_VIDEO) && video.is_gl()) glDeleteTextures(1, &tex);
    tex = 0;
    if (surface) SDL_FreeSurface(surface);
    surface = nullptr;
}

void canvas::show(bool whole) {
    if (!surface || !tex) return;
    video.set_blending(!whole);
    video.sync_gl_state();
    glBindTexture(GL_TEXTURE_2D, tex);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, surface->pitch / 4);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    // Whole 32-bit pixels, the mark in the top 8 bits: the same in either byte order.
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, surface->w, surface->h, upload_format,
                    GL_UNSIGNED_INT_8_8_8_8_REV, surface->pixels);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    const int w = surface->w, h = surface->h;
    const float u = (float)w / (float)tex_w, v = (float)h / (float)tex_h;
    glColor4ub(255, 255, 255, 255);
    textured_rect(w, h, u, v);
    video.set_blending(false);
}

void mark_drawn(SDL_Surface* s) {
    if (!s || s->format->BytesPerPixel != 4) return;
    const bool keyed = (s->flags & SDL_SRCCOLORKEY) != 0;
    const Uint32 key = s->format->colorkey, mark = 0xffu << 24;
    if (SDL_MUSTLOCK(s) && SDL_LockSurface(s) != 0) return;
    for (int y = 0; y < s->h; y++) {
        Uint32* p = (Uint32*)((Uint8*)s->pixels + (size_t)y * s->pitch);
        for (int x = 0; x < s->w; x++)
            if (!keyed || p[x] != key) p[x] |= mark;
    }
    if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
}
