// Fonts in OpenGL mode: glyphs become textures, are rendered once; steady strings become one texture.
#include <gtest/gtest.h>

#include "font_helpers.h"

namespace {

TEST(FontGl, TwoEqualLettersRenderOnceAndDrawTwice) {
    ASSERT_TRUE(open_test_screen(true));
    check_two_equal_letters();
}

TEST(FontGl, GlyphsAreUploadedOnceAndKeepTheirColour) {
    ASSERT_TRUE(open_test_screen(true));
    font f;
    f.size = 24;
    f.mode = 0; // shaded, black background
    f.open(DEJAVU);
    fill_screen(BLUE);
    log_capture log;
    f.draw_text("E");
    f.fg = SDL_Color{255, 0, 0, 0};
    f.draw_text("EE");
    EXPECT_EQ(1, log.count("opengl texture upload"));
    img_mgr* g = f.glyphs[(unsigned char)'E'];
    EXPECT_NE(IMG_NONE, g->tex);
    EXPECT_GT(count_colour(4, 4, g->width, g->height, WHITE), 10);
    EXPECT_EQ(0, count_colour(4, 4, 2 * g->width, g->height, RED));
    EXPECT_GT(count_colour(4, 4, g->width, g->height, {0, 0, 0}), 10); // shaded background
}

TEST(FontGl, ShadedTextIsOpaqueOverItsWholeBox) {
    ASSERT_TRUE(open_test_screen(true));
    check_shaded_text_is_opaque();
}

TEST(FontGl, SteadyTextIsJoinedFromItsGlyphs) {
    ASSERT_TRUE(open_test_screen(true));
    check_steady_text_is_joined_from_its_glyphs();
}

} // namespace
