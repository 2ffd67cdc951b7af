// Where and how a frame lands on screen, shared by the software and OpenGL test programs:
// anchored at its bottom edge, scaled by the stage zoom and both scales, with the
// definition's alpha, and placed by the group's display point, offset and entry position.
#pragma once
#include <gtest/gtest.h>

#include "../images/picture_maker.h"
#include "anim_files.h"
#include "animation/anim_group.h"
#include "foundation/video_mgr.h"
#include "world/level.h"

namespace anim_draw {

struct colour {
    uint8_t r, g, b;
};

inline colour at(int x, int y) {
    colour c;
    read_screen_pixel(x, y, &c.r, &c.g, &c.b);
    return c;
}

inline bool is_red(int x, int y) {
    colour c = at(x, y);
    return c.r > 200 && c.g < 40 && c.b < 40;
}

inline bool is_black(int x, int y) {
    colour c = at(x, y);
    return c.r < 20 && c.g < 20 && c.b < 20;
}

// A red box covering (x, y) .. (x + w - 1, y + h - 1)? Its outermost pixels may be
// filtered when scaled, so the inside is checked one pixel in.
inline void expect_box(int x, int y, int w, int h) {
    EXPECT_TRUE(is_red(x + 1, y + 1)) << x + 1 << "," << y + 1;
    EXPECT_TRUE(is_red(x + w - 2, y + h - 2)) << x + w - 2 << "," << y + h - 2;
    EXPECT_TRUE(is_black(x - 1, y)) << x - 1 << "," << y;
    EXPECT_TRUE(is_black(x, y - 1)) << x << "," << y - 1;
    EXPECT_TRUE(is_black(x + w, y + h - 1)) << x + w << "," << y + h - 1;
    EXPECT_TRUE(is_black(x + w - 1, y + h)) << x + w - 1 << "," << y + h;
}

inline anim_mgr* red_box(const scratch_dir& d) {
    std::string pic = write_picture(d, "red.bmp", 20, 10, 255, 0, 0);
    anim_mgr* a = new anim_mgr();
    a->load(write_animation(d, "red.ini", {pic}, {5}).c_str());
    return a;
}

inline void plain_frame_lands_at_its_point(bool gl) {
    ASSERT_TRUE(open_test_screen(gl));
    scratch_dir d;
    anim_mgr* a = red_box(d);
    video.clear();
    draw_frame(a, 50, 100, 0);
    expect_box(50, 100, 20, 10);
}

inline void scales_anchor_at_the_bottom_edge_and_zoom_moves_x(bool gl) {
    ASSERT_TRUE(open_test_screen(gl));
    scratch_dir d;
    anim_mgr* a = red_box(d);
    a->scale = 2.0;
    video.clear();
    draw_frame(a, 50, 100, 0); // 40 x 20, bottom edge still at 110
    expect_box(50, 90, 40, 20);

    a->scale = 1.0;
    a->owner_scale = 0.5;
    level stage;
    stage.zoom = 4.0;
    current_level = &stage;
    video.clear();
    draw_frame(a, 30, 100, 0, &stage); // S = 2: x scaled like the owner's still image and hit box
    expect_box(60, 90, 40, 20);
    current_level = nullptr;
}

inline void alpha_blends_the_frame(bool gl) {
    ASSERT_TRUE(open_test_screen(gl));
    scratch_dir d;
    anim_mgr* a = red_box(d);
    a->alpha = 128;
    video.clear();
    draw_frame(a, 50, 100, 0);
    colour c = at(55, 105);
    EXPECT_NEAR(128, c.r, 12);
    EXPECT_EQ(0, c.g);
    a->alpha = 255;
    video.clear();
    draw_frame(a, 50, 100, 0);
    EXPECT_TRUE(is_red(55, 105));
}

inline void group_places_entries_by_point_offset_and_position(bool gl) {
    ASSERT_TRUE(open_test_screen(gl));
    scratch_dir d;
    anim_mgr* a = red_box(d);
    anim_group g;
    g.add(a, 10, 20);
    g.offset_x = 5;
    g.offset_y = 7;
    video.clear();
    EXPECT_EQ(1, g.display(100, 200));
    expect_box(115, 227, 20, 10);
    EXPECT_EQ(10, (*g.stack)[0]->x); // the entry's own position is restored
    EXPECT_EQ(20, (*g.stack)[0]->y);

    // The loading group stands on the bottom of the screen.
    loading_group.add(a, 0, 0);
    loading_group.display(-1000, -1000); // builds the stack: max height known
    video.clear();
    loading_group.display(0, video.screen->h - loading_group.max_height);
    expect_box(0, video.screen->h - 10, 20, 10);
}

// Copies of one group (the match's explosions) share their definition, yet each is drawn
// in its own facing, whatever the others were drawn in since.
inline void copies_of_a_group_keep_their_own_facing(bool gl) {
    ASSERT_TRUE(open_test_screen(gl));
    scratch_dir d;
    SDL_Surface* s = make_picture(20, 10, RED);
    paint(s, 0, 0, 10, 10, BLUE);
    std::string pic = save_picture(s, d, "half.bmp");
    anim_mgr* a = new anim_mgr();
    a->load(write_animation(d, "half.ini", {pic}, {50}).c_str());
    anim_group tpl;
    tpl.add(a, 0, 0);
    tpl.facing = 0;
    anim_group left(tpl);
    tpl.facing = 1;
    anim_group right(tpl);
    video.clear();
    left.display(100, 100);
    right.display(200, 100);
    left.display(100, 150);
    auto blue = [](int x, int y) {
        colour c = at(x, y);
        return c.b > 200 && c.r < 40;
    };
    EXPECT_TRUE(blue(102, 105));
    EXPECT_TRUE(is_red(117, 105));
    EXPECT_TRUE(is_red(202, 105));
    EXPECT_TRUE(blue(217, 105));
    EXPECT_TRUE(blue(102, 155));
    EXPECT_TRUE(is_red(117, 155));
}

} // namespace anim_draw
