// Reads an area of the X screen straight from the server: the pixels a screenshot program
// would save, without starting one for every look (a test looks many times a second while
// it waits for a screen). Kept apart from the test headers: Xlib's macros clash with
// GoogleTest's names.
#include <SDL.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>

// Bits to shift a masked channel right so that its top bit lands on bit 7.
static int shift_of(unsigned long mask) {
    int top = 31;
    while (top > 0 && !(mask & (1ul << top))) top--;
    return top - 7;
}

SDL_Surface* grab_screen_area(int x, int y, int w, int h) {
    if (w <= 0 || h <= 0) return nullptr;
    Display* d = XOpenDisplay(nullptr);
    if (!d) return nullptr;
    // An area reaching past the screen would be an X error, which ends the process; the part
    // off the screen stays black instead.
    const int x0 = x < 0 ? 0 : x, y0 = y < 0 ? 0 : y;
    const int x1 = std::min(x + w, DisplayWidth(d, DefaultScreen(d)));
    const int y1 = std::min(y + h, DisplayHeight(d, DefaultScreen(d)));
    XImage* img = x1 > x0 && y1 > y0 ? XGetImage(d, DefaultRootWindow(d), x0, y0, (unsigned)(x1 - x0),
                                                 (unsigned)(y1 - y0), AllPlanes, ZPixmap)
                                     : nullptr;
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xff0000, 0xff00, 0xff, 0);
    if (s && img) {
        const int rs = shift_of(img->red_mask), gs = shift_of(img->green_mask), bs = shift_of(img->blue_mask);
        auto channel = [](unsigned long v, unsigned long mask, int shift) {
            v &= mask;
            return (uint32_t)((shift >= 0 ? v >> shift : v << -shift) & 0xff);
        };
        for (int row = 0; row < y1 - y0; row++) {
            uint32_t* out = (uint32_t*)((uint8_t*)s->pixels + (row + y0 - y) * s->pitch) + (x0 - x);
            for (int col = 0; col < x1 - x0; col++) {
                unsigned long v = XGetPixel(img, col, row);
                out[col] = channel(v, img->red_mask, rs) << 16 | channel(v, img->green_mask, gs) << 8 |
                           channel(v, img->blue_mask, bs);
            }
        }
    }
    if (img) XDestroyImage(img);
    XCloseDisplay(d);
    return s;
}
