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
