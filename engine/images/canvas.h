// canvas: a screen-sized picture in memory that the software drawing routines write into and
// OpenGL shows as one unscaled quad. Where OpenGL itself runs on the processor
// (Mesa's software rasteriser), a stage of several full-screen zoomed and keyed pictures
// costs it several screenfuls of texture sampling a frame; composed here by the software
// routines, the same stage costs one memory fill and one screenful of plain copying.
//
// The top 8 bits of a canvas pixel say whether anything was drawn there: pictures drawn on it
// carry 255 there (mark_drawn), and pixels left at zero let the screen under them show.
//
// Ownership: the canvas owns its surface and its texture; close (or the destructor) frees
// both. It needs the OpenGL context it was opened in.
#pragma once
#include <SDL.h>
#include <GL/gl.h>

struct canvas {
    SDL_Surface* surface = nullptr; // the pixels, in the format the canvas was opened with
    GLuint tex = 0;                  // the texture they are shown through
    int tex_w = 0, tex_h = 0;        // its size: powers of two that hold the surface
    GLenum upload_format = 0;        // GL_BGRA or GL_RGBA: the surface's byte order

    canvas() = default;
    ~canvas() { close(); }
    canvas(const canvas&) = delete;
    canvas& operator=(const canvas&) = delete;

    // A w x h canvas whose pixels are laid out as `like` (32 bits, one byte per colour).
    // False, leaving the canvas closed, for any other layout or without OpenGL.
    bool open(int w, int h, const SDL_PixelFormat* like);
    void close();
    bool is_open() const { return surface != nullptr; }
    // Uploads the pixels and draws them over the screen with their top-left corner at its
    // top-left. Whole: every pixel was drawn and replaces the screen's (drawn without
    // blending); otherwise only the pixels drawn do.
    void show(bool whole);
};

// Sets the top 8 bits of every 32-bit pixel of s except its colour key's, so that what s
// puts on a canvas counts as drawn. Colour-keyed blits of s still skip exactly its key
// pixels (left unmarked); nothing else of SDL reads those bits of a surface without alpha.
void mark_drawn(SDL_Surface* s);
