// keyed_blit: SDL_BlitSurface for the engine's usual software draw, a colour-keyed picture
// (optionally translucent through its per-surface alpha) onto a surface of the same 32-bit
// pixel layout. SDL 1.2 has only generic per-pixel routines for keyed and keyed-translucent
// blits, which dominated the menus' and the match's software frames; this runs the same
// clipping, key test and blend arithmetic in a tight loop, so the pixels are the same.
// Every other case (other depths or layouts, per-pixel alpha, RLE, locked surfaces) is
// handed to SDL_BlitSurface unchanged.
#pragma once
#include <SDL.h>

// Same arguments, result and dstrect update as SDL_BlitSurface.
int keyed_blit(SDL_Surface* src, SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect);
