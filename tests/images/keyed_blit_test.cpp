// The engine's keyed blit is right, on either SDL 1.2: key-coloured pixels leave the
// destination as it was, opaque pixels are copied exactly, and translucent ones are the
// blend d + (s - d) * alpha / 255 in each channel to within two steps. Where the classic
// SDL 1.2 runs, the engine gives exactly its pixels (whose rounding is off by up to 1.9
// steps); SDL 2 under sdl12-compat rounds the same blend more closely, so the two libraries
// differ by up to two steps and against it the engine agrees to within that. Clipping is
// exactly SDL's on both in the pixels drawn and the returned size; the returned corner is the
// classic library's, which sdl12-compat places elsewhere for an empty result and for a
// source rectangle starting outside the picture. Everything the engine does not handle goes
// through SDL's own path.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "images/keyed_blit.h"
#include "picture_maker.h"

namespace {

struct KeyedBlit : ::testing::Test {
    uint32_t seed = 12345;
    void SetUp() override { ASSERT_TRUE(open_test_screen(false)); }
    uint32_t next() {
        seed = seed * 1103515245u + 12345u;
        return seed >> 8;
    }
    // A w x h surface in the screen's layout filled with random colours, a quarter of
    // them the key (pure green) when keyed.
    SDL_Surface* random_surface(int w, int h, bool keyed) {
        const SDL_PixelFormat* f = video.screen->format;
        SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, f->Rmask, f->Gmask, f->Bmask, 0);
        uint32_t key = SDL_MapRGB(s->format, 0, 255, 0);
        for (int y = 0; y < h; y++) {
            uint32_t* row = (uint32_t*)((uint8_t*)s->pixels + y * s->pitch);
            for (int x = 0; x < w; x++) {
                uint32_t v = next();
                row[x] = keyed && v % 4 == 0 ? key : SDL_MapRGB(s->format, v & 255, (v >> 8) & 255, (v >> 16) & 255);
            }
        }
        if (keyed) SDL_SetColorKey(s, SDL_SRCCOLORKEY, key);
        return s;
    }
    SDL_Surface* copy_of(SDL_Surface* s) {
        SDL_Surface* c = SDL_CreateRGBSurface(SDL_SWSURFACE, s->w, s->h, 32, s->format->Rmask,
                                              s->format->Gmask, s->format->Bmask, 0);
        for (int y = 0; y < s->h; y++)
            memcpy((uint8_t*)c->pixels + y * c->pitch, (uint8_t*)s->pixels + y * s->pitch, (size_t)s->w * 4);
        SDL_SetClipRect(c, &s->clip_rect); // sdl12-compat reads the clip only when set through SDL
        return c;
    }
    static uint8_t channel(SDL_Surface* s, int x, int y, int c) {
        uint8_t rgb[3];
        uint32_t v = ((uint32_t*)((uint8_t*)s->pixels + y * s->pitch))[x];
        SDL_GetRGB(v, s->format, &rgb[0], &rgb[1], &rgb[2]);
        return rgb[c];
    }
    // The largest difference of one channel between two surfaces of one size.
    static int largest_difference(SDL_Surface* a, SDL_Surface* b) {
        int most = 0;
        for (int y = 0; y < a->h; y++)
            for (int x = 0; x < a->w; x++)
                for (int c = 0; c < 3; c++) most = std::max(most, abs(channel(a, x, y, c) - channel(b, x, y, c)));
        return most;
    }
    // How far the engine may be from SDL's blitter in a channel: nothing for opaque pictures
    // or on the classic library, two steps for translucent ones on sdl12-compat (from 1.2.50).
    static int tolerance(SDL_Surface* src) {
        bool translucent = (src->flags & SDL_SRCALPHA) && src->format->alpha != SDL_ALPHA_OPAQUE;
        return translucent && SDL_Linked_Version()->patch >= 50 ? 2 : 0;
    }
    // Blits src both ways onto copies of dst; the returned rectangles and the pixels agree.
    void expect_same_as_sdl(SDL_Surface* src, SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect at) {
        SDL_Surface* mine = copy_of(dst);
        SDL_Surface* theirs = copy_of(dst);
        SDL_Rect r1 = at, r2 = at;
        SDL_Rect s1 = srcrect ? *srcrect : SDL_Rect(), s2 = s1;
        EXPECT_EQ(SDL_BlitSurface(src, srcrect ? &s2 : nullptr, theirs, &r2),
                  keyed_blit(src, srcrect ? &s1 : nullptr, mine, &r1));
        EXPECT_LE(largest_difference(mine, theirs), tolerance(src)) << "at " << at.x << "," << at.y;
        // SDL 2.32 under sdl12-compat moves the returned corner differently for a source
        // rectangle that starts left of or above the picture (the pixels still agree), and
        // leaves it where it was asked for when nothing is drawn; the corner of an empty
        // result means nothing, so only its empty size is compared.
        bool odd_corner = SDL_Linked_Version()->patch >= 50 && srcrect && (srcrect->x < 0 || srcrect->y < 0);
        bool drawn = r2.w > 0 && r2.h > 0;
        if (!odd_corner && drawn) {
            EXPECT_EQ(r2.x, r1.x);
            EXPECT_EQ(r2.y, r1.y);
        }
        EXPECT_EQ(r2.w, r1.w);
        EXPECT_EQ(r2.h, r1.h);
        SDL_FreeSurface(mine);
        SDL_FreeSurface(theirs);
    }

    // The engine's blit of src at (x, y) onto a copy of dst is right pixel by pixel.
    void expect_right(SDL_Surface* src, SDL_Surface* dst, int x, int y, int alpha) {
        SDL_Surface* mine = copy_of(dst);
        SDL_Rect at = {(Sint16)x, (Sint16)y, 0, 0};
        ASSERT_EQ(0, keyed_blit(src, nullptr, mine, &at));
        uint32_t key = src->format->colorkey;
        int wrong = 0;
        for (int sy = 0; sy < src->h; sy++)
            for (int sx = 0; sx < src->w; sx++) {
                bool keyed = ((uint32_t*)((uint8_t*)src->pixels + sy * src->pitch))[sx] == key;
                for (int c = 0; c < 3; c++) {
                    double s = channel(src, sx, sy, c), d = channel(dst, x + sx, y + sy, c);
                    double want = keyed ? d : d + (s - d) * alpha / 255.0;
                    if (fabs(channel(mine, x + sx, y + sy, c) - want) >= (keyed || alpha == 255 ? 0.5 : 2.0))
                        wrong++;
                }
            }
        EXPECT_EQ(0, wrong) << "alpha " << alpha;
        SDL_FreeSurface(mine);
    }
};

TEST_F(KeyedBlit, KeyedPicturesAtEveryAlphaAreRightAndAgreeWithSdl) {
    SDL_Surface* src = random_surface(64, 48, true);
    SDL_Surface* dst = random_surface(80, 60, false);
    for (int a = 0; a <= 255; a++) {
        if (a == 255) SDL_SetAlpha(src, 0, 255);
        else SDL_SetAlpha(src, SDL_SRCALPHA, (Uint8)a);
        expect_right(src, dst, 7, 5, a);
        expect_same_as_sdl(src, nullptr, dst, SDL_Rect{7, 5, 0, 0});
        if (HasFailure()) {
            ADD_FAILURE() << "alpha " << a;
            break;
        }
    }
    SDL_FreeSurface(src);
    SDL_FreeSurface(dst);
}

TEST_F(KeyedBlit, ClippingMatchesSdlForRectanglesInAndOutOfBothSurfaces) {
    SDL_Surface* src = random_surface(30, 20, true);
    SDL_Surface* dst = random_surface(50, 40, false);
    const SDL_Rect clips[] = {{0, 0, 50, 40}, {5, 7, 30, 20}};
    for (const SDL_Rect& clip : clips) {
        SDL_SetClipRect(dst, &clip);
        for (int i = 0; i < 300; i++) {
            SDL_Rect at = {(Sint16)((int)(next() % 110) - 40), (Sint16)((int)(next() % 100) - 40), 0, 0};
            if (i % 3 == 0) {
                expect_same_as_sdl(src, nullptr, dst, at);
            } else {
                SDL_Rect part = {(Sint16)((int)(next() % 50) - 10), (Sint16)((int)(next() % 40) - 10),
                                 (Uint16)(next() % 40), (Uint16)(next() % 30)};
                if (i % 3 == 2) SDL_SetAlpha(src, SDL_SRCALPHA, 100);
                else SDL_SetAlpha(src, 0, 255);
                expect_same_as_sdl(src, &part, dst, at);
            }
            if (HasFailure()) return;
        }
    }
    SDL_FreeSurface(src);
    SDL_FreeSurface(dst);
}

TEST_F(KeyedBlit, PicturesItDoesNotHandleGoThroughSdl) {
    // Unkeyed, 24-bit and per-pixel-alpha pictures: still SDL's result.
    SDL_Surface* dst = random_surface(40, 40, false);
    SDL_Surface* plain = random_surface(20, 20, false);
    expect_same_as_sdl(plain, nullptr, dst, SDL_Rect{3, 4, 0, 0});
    SDL_Surface* deep = SDL_CreateRGBSurface(SDL_SWSURFACE, 20, 20, 24, 0xFF, 0xFF00, 0xFF0000, 0);
    SDL_FillRect(deep, nullptr, SDL_MapRGB(deep->format, 10, 200, 30));
    SDL_SetColorKey(deep, SDL_SRCCOLORKEY, SDL_MapRGB(deep->format, 0, 255, 0));
    expect_same_as_sdl(deep, nullptr, dst, SDL_Rect{5, 5, 0, 0});
    SDL_Surface* rgba = SDL_CreateRGBSurface(SDL_SWSURFACE, 20, 20, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000);
    SDL_FillRect(rgba, nullptr, SDL_MapRGBA(rgba->format, 200, 10, 30, 100));
    expect_same_as_sdl(rgba, nullptr, dst, SDL_Rect{1, 2, 0, 0});
    for (SDL_Surface* s : {dst, plain, deep, rgba}) SDL_FreeSurface(s);
}

TEST_F(KeyedBlit, DrawingOnTheScreenLeavesKeyedPixelsAndBlendsTheRest) {
    fill_screen(WHITE);
    SDL_Surface* src = random_surface(4, 1, false);
    uint32_t key = SDL_MapRGB(src->format, 0, 255, 0);
    uint32_t* px = (uint32_t*)src->pixels;
    px[0] = key;
    px[1] = SDL_MapRGB(src->format, 255, 0, 0);
    px[2] = key;
    px[3] = SDL_MapRGB(src->format, 0, 0, 255);
    SDL_SetColorKey(src, SDL_SRCCOLORKEY, key);
    SDL_SetAlpha(src, SDL_SRCALPHA, 128);
    SDL_Rect at = {10, 10, 0, 0};
    ASSERT_EQ(0, keyed_blit(src, nullptr, video.screen, &at));
    EXPECT_COLOUR(10, 10, WHITE);
    EXPECT_COLOUR(12, 10, WHITE);
    rgb pink = screen_at(11, 10);
    EXPECT_EQ(255, pink.r);
    EXPECT_NEAR(128, pink.g, 1);
    SDL_FreeSurface(src);
}

} // namespace
