// Shared checks for the font tests in both drawing modes.
#pragma once
#include <string>

#include "images/font.h"
#include "picture_maker.h"

static const char* const DEJAVU = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// Counts pixels of the rectangle whose colour is (near) c.
inline int count_colour(int x0, int y0, int w, int h, rgb c) {
    int n = 0;
    for (int y = y0; y < y0 + h; y++)
        for (int x = x0; x < x0 + w; x++) {
            rgb p = screen_at(x, y);
            if (abs(p.r - c.r) < 40 && abs(p.g - c.g) < 40 && abs(p.b - c.b) < 40) n++;
        }
    return n;
}

// Two equal letters: rendered once, drawn twice side by side, pen left where it was.
inline void check_two_equal_letters() {
    font f;
    f.size = 24;
    f.mode = 1;
    f.open(DEJAVU);
    ASSERT_EQ(1, f.loaded);
    f.pen_x = 10;
    f.pen_y = 20;
    fill_screen(BLUE);
    f.draw_text("HH");
    EXPECT_EQ(1, f.glyphs_rendered);
    EXPECT_EQ(10, f.pen_x);
    EXPECT_EQ(20, f.pen_y);
    img_mgr* g = f.glyphs[(unsigned char)'H'];
    ASSERT_NE(nullptr, g);
    EXPECT_STREQ("Char H", g->filename);
    int w = g->width, h = g->height;
    ASSERT_GT(w, 0);
    int first = count_colour(10, 20, w, h, WHITE);
    EXPECT_GT(first, 10);
    EXPECT_EQ(first, count_colour(10 + w, 20, w, h, WHITE));
    // the background of a solid glyph is transparent
    EXPECT_GT(count_colour(10, 20, w, h, BLUE), 10);
    EXPECT_EQ(0, count_colour(10 + 2 * w, 20, 20, h, WHITE));
    f.draw_text("H");
    EXPECT_EQ(1, f.glyphs_rendered);
}

// Shaded text is opaque over its whole box: no pixel of the grey ramp between background
// and text colour may become transparent (only the exact key colour is). White and yellow
// text, whose ramps have the entries nearest to pure green, in a shaded row of letters.
inline void check_shaded_text_is_opaque() {
    for (SDL_Color fg : {SDL_Color{255, 255, 255, 0}, SDL_Color{255, 255, 0, 0}}) {
        font f;
        f.size = 18;
        f.mode = 0;
        f.fg = fg;
        f.open(DEJAVU);
        ASSERT_EQ(1, f.loaded);
        const char* text = "Round KO Wins 0123456789";
        f.pen_x = 0;
        f.pen_y = 0;
        fill_screen(BLUE);
        f.draw_text(text);
        int w = 0, h = 0;
        for (const char* c = text; *c; c++) {
            img_mgr* g = f.glyphs[(unsigned char)*c];
            ASSERT_NE(nullptr, g);
            w += g->width;
            h = g->height > h ? g->height : h;
        }
        ASSERT_GT(w, 100);
        int blue = 0;
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) {
                rgb p = screen_at(x, y);
                if (p.r == 0 && p.g == 0 && p.b == 255) blue++;
            }
        EXPECT_EQ(0, blue) << "text colour " << (int)fg.r << "," << (int)fg.g << "," << (int)fg.b;
    }
}

// Text drawn again is one image of its glyphs (in OpenGL mode it stays drawn from the
// atlas), pixel for pixel what they draw one by one, in every render mode; a string unseen
// for a presented frame is let go, and a string changing every frame makes no image.
inline void check_steady_text_is_joined_from_its_glyphs() {
    const char* text = "Round 1 - Fight! KO 0123456789";
    const int joined = video.is_gl() ? 0 : 1;
    for (int mode : {1, 0, 2}) {
        font f;
        f.size = 18;
        f.mode = mode;
        f.fg = SDL_Color{255, 255, 0, 0};
        f.open(DEJAVU);
        ASSERT_EQ(1, f.loaded);
        fill_screen(BLUE);
        f.pen_x = f.pen_y = 0;
        f.draw_text(text);
        EXPECT_EQ(0, f.strings_made) << "the first drawing goes glyph by glyph";
        f.pen_y = 40;
        f.draw_text(text);
        EXPECT_EQ(joined, f.strings_made) << mode;
        int differ = 0, lit = 0;
        for (int y = 0; y < 30; y++)
            for (int x = 0; x < 400; x++) {
                rgb a = screen_at(x, y), b = screen_at(x, y + 40);
                differ += a.r != b.r || a.g != b.g || a.b != b.b;
                lit += a.r > 128 && a.b < 128;
            }
        EXPECT_EQ(0, differ) << "mode " << mode;
        EXPECT_GT(lit, 100) << "mode " << mode;

        video.flip();
        video.flip();
        f.draw_text(text); // unseen for a frame: let go, seen afresh
        EXPECT_EQ(joined, f.strings_made);
        for (int n = 0; n < 5; n++) {
            char changing[16];
            snprintf(changing, sizeof changing, "frame %d", n);
            f.draw_text(changing);
            video.flip();
        }
        EXPECT_EQ(joined, f.strings_made) << "strings drawn once make nothing";
    }
}
