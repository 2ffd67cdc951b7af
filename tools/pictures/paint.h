// paint: the drawing kit of the picture generator. A canvas is a 32-bit SDL surface that
// starts filled with the transparent colour (pure green); shapes are shaded in three flat
// tones with a dark outline, so every picture uses few exact colours (which keeps
// recolouring by colour swap exact) and never blends into the transparent colour.
// The caller owns every surface it creates and frees it with SDL_FreeSurface.
#pragma once
#include <SDL.h>
#include <cstdint>

struct rgb {
    uint8_t r, g, b;
};

// Three tones of one material: shadow, base, light.
struct tones {
    rgb dark, mid, light;
};

const rgb KEY_GREEN = {0, 255, 0};

tones make_tones(rgb base);       // darker and lighter tones derived from a base colour
rgb mix(rgb a, rgb b, float t);  // a towards b by t (0..1)
rgb safe_colour(rgb c);          // nudges a colour that would equal the transparent one

SDL_Surface* new_canvas(int w, int h); // filled with pure green
void fill(SDL_Surface* s, rgb c);
void put(SDL_Surface* s, int x, int y, rgb c);
rgb get(SDL_Surface* s, int x, int y);
bool is_key(SDL_Surface* s, int x, int y);

// Light falls from the upper front; shade picks a tone from a surface normal.
const rgb& shade(const tones& t, float nx, float ny);

// A limb, a torso or a head: a round-ended segment whose radius runs from ra at a to rb
// at b, shaded as a cylinder, with an outline of width ow in the colour line.
void capsule(SDL_Surface* s, float ax, float ay, float bx, float by, float ra, float rb,
             const tones& t, rgb line, float ow);
void disc(SDL_Surface* s, float cx, float cy, float r, const tones& t, rgb line, float ow);
// A filled polygon shaded top (light) to bottom (dark) with an inner outline.
void polygon(SDL_Surface* s, const float* xs, const float* ys, int n, const tones& t, rgb line,
             float ow);
void polygon_flat(SDL_Surface* s, const float* xs, const float* ys, int n, rgb c);
void box(SDL_Surface* s, int x1, int y1, int x2, int y2, rgb c);         // inclusive corners
void vertical_gradient(SDL_Surface* s, int y1, int y2, rgb top, rgb bottom, int bands);
void line(SDL_Surface* s, float ax, float ay, float bx, float by, float width, rgb c);
void ring(SDL_Surface* s, float cx, float cy, float r1, float r2, rgb c);

// Text in the built-in 8x8 font scaled by an integer factor (labels, small marks).
void small_text(SDL_Surface* s, int x, int y, const char* text, rgb c, int scale = 1);
// Text in a TrueType face from the system fonts, solid (no blending with the key colour);
// falls back to small_text when no face can be opened. Returns the drawn width.
int big_text(SDL_Surface* s, int x, int y, const char* text, int points, rgb c, bool serif,
             rgb outline = {0, 0, 0}, int outline_w = 0);
int big_text_width(const char* text, int points, bool serif);

// Copies src onto dst at (x, y), skipping transparent pixels.
void stamp(SDL_Surface* dst, SDL_Surface* src, int x, int y);
// Same, scaled by an integer-free factor (nearest neighbour).
void stamp_scaled(SDL_Surface* dst, SDL_Surface* src, int x, int y, float scale);
// Mirrors a surface left to right in place.
void mirror(SDL_Surface* s);
// Replaces every pixel of one colour by another.
void recolour(SDL_Surface* s, rgb from, rgb to);
