// Fonts in software mode: opening, rendering, the glyph cache and the fallback face.
#include <gtest/gtest.h>

#include <unistd.h>

#include "font_helpers.h"

namespace {

struct FontSw : ::testing::Test {
    scratch_dir dir;
    char old_cwd[4096];
    void SetUp() override {
        ASSERT_TRUE(open_test_screen(false));
        ASSERT_NE(nullptr, getcwd(old_cwd, sizeof old_cwd));
        ASSERT_EQ(0, chdir(dir.path.c_str())); // no "tahoma.ttf" here unless a test puts one
    }
    void TearDown() override { EXPECT_EQ(0, chdir(old_cwd)); }
};

TEST_F(FontSw, StartsUnloadedWithItsDefaults) {
    font f;
    EXPECT_EQ(0, f.loaded);
    EXPECT_EQ(18, f.size);
    EXPECT_EQ(0, f.mode);
    EXPECT_EQ(4, f.pen_x);
    EXPECT_EQ(4, f.pen_y);
    EXPECT_EQ(255, f.fg.r);
    EXPECT_EQ(0, f.bg.r);
    font g(video.screen);
    EXPECT_EQ(video.screen, g.screen);
}

TEST_F(FontSw, SmallSizesOpenAtTwelveAndAMissingFaceLeavesItUnloaded) {
    font f;
    f.size = 8;
    f.open(DEJAVU);
    EXPECT_EQ(1, f.loaded);
    EXPECT_EQ(12, f.size);
    font twelve;
    twelve.size = 12;
    twelve.open(DEJAVU);
    EXPECT_EQ(TTF_FontHeight(twelve.face), TTF_FontHeight(f.face));

    log_capture log;
    f.open(dir.file("none.ttf").c_str());
    EXPECT_EQ(0, f.loaded);
    EXPECT_TRUE(log.has("ERROR: TTF_OpenFont: "));
}

TEST_F(FontSw, RenderUsesTheModeAndHandsTheSurfaceOver) {
    font f;
    f.open(DEJAVU);
    for (int mode : {0, 1, 2}) {
        f.mode = mode;
        SDL_Surface* s = f.render("Go");
        ASSERT_NE(nullptr, s);
        EXPECT_EQ(s, f.last_render);
        EXPECT_EQ(mode == 1 ? 8 : mode == 2 ? 32 : 8, s->format->BitsPerPixel);
        img_mgr img;
        EXPECT_EQ(s->h, img.set_surface(s));
        EXPECT_STREQ("surfacetaken", img.filename);
        EXPECT_EQ(0, img.has_bounds);
        EXPECT_EQ((uint32_t)s->w, img.right);
    }
    font unloaded;
    EXPECT_EQ(nullptr, unloaded.render("x"));
}

TEST_F(FontSw, TwoEqualLettersRenderOnceAndDrawTwice) { check_two_equal_letters(); }

TEST_F(FontSw, AnEmptyStringDrawsNothing) {
    font f;
    f.open(DEJAVU);
    fill_screen(BLUE);
    f.draw_text("");
    EXPECT_EQ(0, f.glyphs_rendered);
    EXPECT_EQ(4, f.pen_x);
    EXPECT_EQ(0, count_colour(0, 0, 40, 40, WHITE));
}

TEST_F(FontSw, GlyphsKeepTheColourTheyWereFirstDrawnIn) {
    font f;
    f.size = 24;
    f.mode = 1;
    f.open(DEJAVU);
    fill_screen(BLUE);
    f.draw_text("L");
    f.fg = SDL_Color{255, 0, 0, 0};
    f.pen_y = 60;
    f.draw_text("LT");
    int w = f.glyphs[(unsigned char)'L']->width, h = f.glyphs[(unsigned char)'L']->height;
    int tw = f.glyphs[(unsigned char)'T']->width;
    EXPECT_GT(count_colour(4, 60, w, h, WHITE), 10);
    EXPECT_EQ(0, count_colour(4, 60, w, h, RED));
    EXPECT_GT(count_colour(4 + w, 60, tw, h, RED), 10);
    EXPECT_EQ(0, count_colour(4 + w, 60, tw, h, WHITE));
    EXPECT_EQ(2, f.glyphs_rendered);
}

TEST_F(FontSw, AMissingFallbackFaceIsRetriedOnEveryCallAndDrawsNothing) {
    font f;
    fill_screen(BLUE);
    log_capture log;
    f.draw_text("abc");
    f.draw_text("abc");
    EXPECT_EQ(2, log.count("loading font\n"));
    EXPECT_EQ(2, log.count("ERROR: TTF_OpenFont: "));
    EXPECT_EQ(0, f.loaded);
    EXPECT_EQ(0, f.glyphs_rendered);
    EXPECT_EQ(0, count_colour(0, 0, 60, 40, WHITE));
}

TEST_F(FontSw, AnUnopenedFontFallsBackToTahomaInTheWorkingFolder) {
    std::string data = read_text(DEJAVU);
    write_text(dir.file("tahoma.ttf"), data);
    font f;
    f.size = 8;
    log_capture log;
    f.draw_text("x");
    f.draw_text("x");
    EXPECT_EQ(1, log.count("loading font\n"));
    EXPECT_EQ(1, f.loaded);
    EXPECT_EQ(12, f.size);
    EXPECT_EQ(1, f.glyphs_rendered);
}

TEST_F(FontSw, ShadedTextIsOpaqueOverItsWholeBox) { check_shaded_text_is_opaque(); }

} // namespace

TEST_F(FontSw, SteadyTextIsJoinedFromItsGlyphs) { check_steady_text_is_joined_from_its_glyphs(); }
