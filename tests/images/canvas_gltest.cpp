// The canvas in OpenGL mode: it takes 32-bit pictures with a byte a colour only, and shows
// the pixels drawn on it (marked by mark_drawn) over the screen, its holes letting it show.
#include <gtest/gtest.h>

#include <cstring>

#include "images/canvas.h"
#include "picture_maker.h"

namespace {

TEST(CanvasGl, TakesByteColoursOnlyAndShowsWhatWasDrawnOverTheScreen) {
    ASSERT_TRUE(open_test_screen(true));
    const struct {
        int bpp;
        Uint32 r, g, b;
        bool opens;
    } layouts[] = {{32, 0xFF0000, 0xFF00, 0xFF, true}, {32, 0xFF, 0xFF00, 0xFF0000, true},
                   {16, 0xF800, 0x7E0, 0x1F, false}, {32, 0xFF000000, 0xFF0000, 0xFF00, false}};
    for (const auto& l : layouts) {
        SDL_Surface* like = SDL_CreateRGBSurface(SDL_SWSURFACE, 4, 4, l.bpp, l.r, l.g, l.b, 0);
        ASSERT_NE(nullptr, like);
        canvas c;
        EXPECT_EQ(l.opens, c.open(640, 480, like->format)) << l.bpp << " bits, red " << l.r;
        SDL_FreeSurface(like);
    }

    // A keyed picture: marked but for its key, copied onto the canvas's left half.
    SDL_Surface* pic = SDL_CreateRGBSurface(SDL_SWSURFACE, 320, 480, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    const Uint32 key = SDL_MapRGB(pic->format, 0, 255, 0);
    SDL_SetColorKey(pic, SDL_SRCCOLORKEY, key);
    SDL_FillRect(pic, nullptr, SDL_MapRGB(pic->format, 0, 0, 255));
    SDL_Rect hole = {0, 0, 320, 100};
    SDL_FillRect(pic, &hole, key);
    mark_drawn(pic);
    EXPECT_EQ(key, *(Uint32*)pic->pixels);
    EXPECT_EQ(0xFF0000FFu, *(Uint32*)((Uint8*)pic->pixels + 200 * pic->pitch));
    canvas c;
    ASSERT_TRUE(c.open(640, 480, pic->format));
    SDL_FillRect(c.surface, nullptr, 0);
    SDL_SetColorKey(pic, 0, 0);
    for (int y = 0; y < 480; y++)
        memcpy((Uint8*)c.surface->pixels + y * c.surface->pitch, (Uint8*)pic->pixels + y * pic->pitch, 320 * 4);
    fill_screen(WHITE);
    c.show(false);
    EXPECT_COLOUR(100, 300, BLUE);
    EXPECT_COLOUR(100, 50, WHITE); // the key, unmarked
    EXPECT_COLOUR(500, 300, WHITE); // nothing drawn
    c.show(true);                    // whole: every pixel replaces the screen's
    EXPECT_COLOUR(100, 50, KEY);
    SDL_FreeSurface(pic);
}

} // namespace
