// Pixel services, lines, boxes and circles on software surfaces.
#include <gtest/gtest.h>

#include <SDL_gfxPrimitives.h>
#include <cstring>

#include "foundation/primitives.h"
#include "foundation/video_mgr.h"
#include "test_support.h"

static SDL_Surface* surface32(int w, int h) {
    return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
}

static int count_set(SDL_Surface* s) {
    int n = 0;
    for (int y = 0; y < s->h; y++)
        for (int x = 0; x < s->w; x++)
            if (*(uint32_t*)pixel_address(s, x, y)) n++;
    return n;
}

TEST(Primitives, LinesDrawBothEndPointsAlongTheirMajorAxis) {
    SDL_Surface* s = surface32(20, 20);
    draw_line(s, 0, 0, 10, 3, 0xFFFFFF, 255, 0);
    EXPECT_EQ(count_set(s), 11);
    EXPECT_NE(*(uint32_t*)pixel_address(s, 10, 3), 0u);
    SDL_FillRect(s, nullptr, 0);
    draw_line(s, 0, 0, 3, 10, 0xFFFFFF, 255, 0);
    EXPECT_EQ(count_set(s), 11);
    EXPECT_NE(*(uint32_t*)pixel_address(s, 3, 10), 0u);
    SDL_FillRect(s, nullptr, 0);
    draw_line(s, 10, 3, 0, 0, 0xFFFFFF, 255, LINE_LOCK); // backwards gives the same count
    EXPECT_EQ(count_set(s), 11);
    SDL_FillRect(s, nullptr, 0);
    draw_line(s, 5, 5, 5, 5, 0xFFFFFF, 255, 0); // coincident end points: that one point
    EXPECT_EQ(count_set(s), 1);
    EXPECT_NE(*(uint32_t*)pixel_address(s, 5, 5), 0u);
    SDL_FillRect(s, nullptr, 0);
    draw_line(s, -5, 2, 30, 2, 0xFFFFFF, 255, 0); // clipped, never written outside
    EXPECT_EQ(count_set(s), 20);
    SDL_FreeSurface(s);
}

TEST(Primitives, AntiAliasedAndTranslucentLinesBlendTheirNeighbours) {
    SDL_Surface* s = surface32(20, 20);
    draw_line(s, 0, 5, 10, 5, 0xFF0000, 128, LINE_ALPHA | LINE_ANTIALIAS);
    uint32_t centre = *(uint32_t*)pixel_address(s, 4, 5);
    EXPECT_EQ(centre, (uint32_t)((0xFF * 128) >> 8) << 16);
    // A horizontal line sits on its pixel centre: the neighbour below gets half, above half.
    EXPECT_NE(*(uint32_t*)pixel_address(s, 4, 6), 0u);
    EXPECT_NE(*(uint32_t*)pixel_address(s, 4, 4), 0u);
    EXPECT_EQ(*(uint32_t*)pixel_address(s, 4, 7), 0u);
    SDL_FreeSurface(s);
}

TEST(Primitives, PixelsOutsideASurfaceAreNeverTouched) {
    SDL_Surface* s = surface32(4, 4);
    EXPECT_EQ(pixel_address(s, -1, 0), nullptr);
    EXPECT_EQ(pixel_address(s, 4, 0), nullptr);
    EXPECT_EQ(pixel_address(s, 0, 4), nullptr);
    EXPECT_NE(pixel_address(s, 3, 3), nullptr);
    put_pixel(s, -1, 0, 0xFFFFFF);
    put_pixel(s, 4, 0, 0xFFFFFF);
    blend_pixel(s, 0, -1, 0xFFFFFF, 255);
    EXPECT_EQ(count_set(s), 0);
    SDL_FreeSurface(s);
}

TEST(Primitives, BlendPixelMixesEachChannelOfTwoAndFourBytePixels) {
    SDL_Surface* s4 = surface32(2, 2);
    put_pixel(s4, 0, 0, 0x000000);
    blend_pixel(s4, 0, 0, 0xC8643C, 128); // 200, 100, 60 at half weight
    EXPECT_EQ(*(uint32_t*)pixel_address(s4, 0, 0), (uint32_t)((100 << 16) | (50 << 8) | 30));
    put_pixel(s4, 1, 0, 0xFFFFFF);
    blend_pixel(s4, 1, 0, 0x000000, 256 / 2);
    EXPECT_EQ(*(uint32_t*)pixel_address(s4, 1, 0), 0x7F7F7Fu); // (new - old) * a >> 8 rounds down
    SDL_FreeSurface(s4);

    SDL_Surface* s2 = SDL_CreateRGBSurface(SDL_SWSURFACE, 2, 2, 16, 0xF800, 0x07E0, 0x001F, 0);
    put_pixel(s2, 0, 0, 0);
    blend_pixel(s2, 0, 0, 0xFFFF, 255); // nearly full weight of white
    uint16_t v = *(uint16_t*)pixel_address(s2, 0, 0);
    EXPECT_EQ(v & 0xF800, 0xF000);
    EXPECT_EQ(v & 0x001F, 0x001E);
    put_pixel(s2, 1, 1, 0x1234);
    blend_pixel(s2, 1, 1, 0xFFFF, 0); // zero weight keeps the old pixel
    EXPECT_EQ(*(uint16_t*)pixel_address(s2, 1, 1), 0x1234);
    SDL_FreeSurface(s2);
}

TEST(Primitives, ThreeBytePixelsAreWrittenLowByteFirst) {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, 3, 1, 24, 0xFF0000, 0xFF00, 0xFF, 0);
    put_pixel(s, 1, 0, 0x112233);
    uint8_t* p = pixel_address(s, 1, 0);
    EXPECT_EQ(p[0], 0x33);
    EXPECT_EQ(p[1], 0x22);
    EXPECT_EQ(p[2], 0x11);
    SDL_FreeSurface(s);
}

TEST(Primitives, TrigTablesHoldRoundedHundredths) {
    fill_trig_tables();
    EXPECT_EQ(sin_table[90], 100);
    EXPECT_EQ(cos_table[0], 100);
    EXPECT_EQ(cos_table[180], -100);
    EXPECT_EQ(sin_table[30], 50);
    EXPECT_EQ(sin_table[45], 71);
    EXPECT_EQ(cos_table[90], 0);
}

TEST(Primitives, ATwelveSegmentCircleFanHasFourteenVertices) {
    fill_trig_tables();
    int v[2 * 363];
    int n = circle_fan(100, 50, 5, 12, v);
    EXPECT_EQ(n, 14);
    EXPECT_EQ(v[0], 100);
    EXPECT_EQ(v[1], 50);
    EXPECT_EQ(v[2], 105); // d = 0
    EXPECT_EQ(v[3], 50);
    EXPECT_EQ(v[2 * 4], 100); // d = 90
    EXPECT_EQ(v[2 * 4 + 1], 55);
    EXPECT_EQ(v[2 * 13], v[2]); // closing vertex repeats the first rim vertex
    EXPECT_EQ(v[2 * 13 + 1], v[3]);
    EXPECT_LE(circle_fan(0, 0, 5, 100000, v), 363);
}

TEST(Primitives, BoxesAndCirclesFillTheScreenInSoftwareMode) {
    ASSERT_TRUE(open_test_screen(false));
    fill_trig_tables();
    video.clear();
    video.draw_box(10, 10, 20, 15, map_rgb(255, 0, 0));
    video.draw_filled_circle(100, 100, 5, 12, map_rgb(0, 0, 255));
    uint8_t r, g, b;
    read_screen_pixel(15, 12, &r, &g, &b);
    EXPECT_EQ(r, 255); EXPECT_EQ(g, 0); EXPECT_EQ(b, 0);
    read_screen_pixel(20, 15, &r, &g, &b); // corners are inclusive
    EXPECT_EQ(r, 255);
    read_screen_pixel(21, 15, &r, &g, &b);
    EXPECT_EQ(r, 0);
    read_screen_pixel(100, 100, &r, &g, &b);
    EXPECT_EQ(b, 255);
    read_screen_pixel(100, 108, &r, &g, &b);
    EXPECT_EQ(b, 0);
    video.sync_gl_state(); // nothing to do in software mode
    EXPECT_EQ(video.gl_state_changes, 0);
}

// The direct blend gives SDL_gfx's own pixels: every opacity, colours either side of the
// destination's, boxes clipped at the edges and given corner first or last.
TEST(Primitives, BlendedBoxesAreTheLibraryBoxesPixelForPixel) {
    SDL_Surface* mine = surface32(300, 40);
    SDL_Surface* theirs = surface32(300, 40);
    struct { int x1, y1, x2, y2; } boxes[] = {{0, 0, 299, 39}, {-5, -5, 400, 20}, {250, 30, 10, 2}};
    const Uint8 colours[][3] = {{255, 255, 255}, {0, 0, 0}, {17, 200, 96}};
    int differ = 0;
    for (int a = 1; a < 255; a += 11)
        for (const auto& c : colours)
            for (const auto& b : boxes) {
                for (int y = 0; y < 40; y++)
                    for (int x = 0; x < 300; x++) {
                        const uint32_t v = (uint32_t)(x * 0x010307 + y * 0x0B0500);
                        *(uint32_t*)pixel_address(mine, x, y) = v & 0xFFFFFF;
                        *(uint32_t*)pixel_address(theirs, x, y) = v & 0xFFFFFF;
                    }
                blend_box(mine, b.x1, b.y1, b.x2, b.y2, c[0], c[1], c[2], (Uint8)a);
                boxRGBA(theirs, (Sint16)b.x1, (Sint16)b.y1, (Sint16)b.x2, (Sint16)b.y2, c[0], c[1], c[2], (Uint8)a);
                differ += memcmp(mine->pixels, theirs->pixels, (size_t)mine->pitch * 40) != 0;
            }
    EXPECT_EQ(0, differ);
    SDL_FreeSurface(mine);
    SDL_FreeSurface(theirs);
}
