// Pixel-level services on software surfaces (used for trails) and the trigonometry tables.
// draw_box, draw_filled_circle and the OpenGL state cache are members of video_mgr.
#pragma once
#include <SDL.h>
#include <cstdint>

// Sine and cosine of whole degrees times 100, rounded; filled once by fill_trig_tables.
extern int sin_table[360];
extern int cos_table[360];
void fill_trig_tables();

// draw_line flags
enum { LINE_ALPHA = 1, LINE_ANTIALIAS = 2, LINE_LOCK = 8 };

uint8_t* pixel_address(SDL_Surface* s, int x, int y); // null outside the surface
void put_pixel(SDL_Surface* s, int x, int y, uint32_t value);
void blend_pixel(SDL_Surface* s, int x, int y, uint32_t colour, int a);
void draw_line(SDL_Surface* s, int x1, int y1, int x2, int y2, uint32_t colour, int alpha,
               int flags);
// A box of colour (r, g, b) at opacity a over s, both corners inside it, clipped to s's clip
// box: the pixels SDL_gfx's boxRGBA makes, blended here directly on 32-bit surfaces without
// an alpha channel (a screen), which is several times faster.
void blend_box(SDL_Surface* s, int x1, int y1, int x2, int y2, Uint8 r, Uint8 g, Uint8 b, Uint8 a);

// One OpenGL quad from (0, 0) to (w, h) showing the texture from (0, 0) to (u, v), with
// texturing on while it is drawn (the texture already bound).
void textured_rect(int w, int h, float u, float v);

// The vertices of the OpenGL circle fan (centre, rim points, closing point) written as
// x, y pairs into out; returns the vertex count. out must hold 2 * 363 ints.
int circle_fan(int cx, int cy, int radius, int segments, int* out);
