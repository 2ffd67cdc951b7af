// Boxes, circles and the OpenGL state cache in OpenGL mode.
#include <gtest/gtest.h>

#include "foundation/primitives.h"
#include "foundation/video_mgr.h"
#include "test_support.h"

TEST(PrimitivesGL, BoxesAndCirclesDrawThroughOpenGL) {
    ASSERT_TRUE(open_test_screen(true));
    fill_trig_tables();
    video.clear();
    video.draw_box(10, 10, 20, 15, map_rgb(255, 0, 0));
    video.draw_filled_circle(100, 100, 5, 12, map_rgb(0, 0, 255));
    uint8_t r, g, b;
    read_screen_pixel(15, 12, &r, &g, &b);
    EXPECT_EQ(r, 255); EXPECT_EQ(g, 0); EXPECT_EQ(b, 0);
    read_screen_pixel(25, 12, &r, &g, &b);
    EXPECT_EQ(r, 0);
    read_screen_pixel(101, 101, &r, &g, &b);
    EXPECT_EQ(b, 255);
    read_screen_pixel(100, 110, &r, &g, &b);
    EXPECT_EQ(b, 0);
    // The same pixels as in software mode: a box's corners inside it, a circle reaching its
    // radius on every side of the centre pixel and no further.
    for (int x : {10, 20}) {
        read_screen_pixel(x, 15, &r, &g, &b);
        EXPECT_EQ(r, 255) << x;
    }
    read_screen_pixel(21, 15, &r, &g, &b);
    EXPECT_EQ(r, 0);
    read_screen_pixel(15, 16, &r, &g, &b);
    EXPECT_EQ(r, 0);
    const int rim[4][2] = {{95, 100}, {105, 100}, {100, 95}, {100, 105}};
    for (const auto& p : rim) {
        read_screen_pixel(p[0], p[1], &r, &g, &b);
        EXPECT_EQ(b, 255) << p[0] << "," << p[1];
        read_screen_pixel(p[0] + (p[0] - 100) / 5, p[1] + (p[1] - 100) / 5, &r, &g, &b);
        EXPECT_EQ(b, 0) << "beyond " << p[0] << "," << p[1];
    }
}

TEST(PrimitivesGL, TheStateCacheSendsOnlyChanges) {
    ASSERT_TRUE(open_test_screen(true));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    video.set_blending(true);
    EXPECT_FALSE(glIsEnabled(GL_BLEND)); // recorded, not sent
    video.sync_gl_state();
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    int sent = video.gl_state_changes;
    EXPECT_EQ(sent, 1);
    video.sync_gl_state();
    EXPECT_EQ(video.gl_state_changes, sent);
    video.set_blending(false);
    video.sync_gl_state();
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(video.gl_state_changes, sent + 1);
}
