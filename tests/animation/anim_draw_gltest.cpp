// Frame drawing in OpenGL mode.
#include "anim_draw_cases.h"

TEST(AnimDrawGL, PlainFrameLandsAtItsPoint) { anim_draw::plain_frame_lands_at_its_point(true); }
TEST(AnimDrawGL, ScalesAnchorAtTheBottomEdgeAndZoomMovesX) {
    anim_draw::scales_anchor_at_the_bottom_edge_and_zoom_moves_x(true);
}
TEST(AnimDrawGL, AlphaBlendsTheFrame) { anim_draw::alpha_blends_the_frame(true); }
TEST(AnimDrawGL, GroupPlacesEntriesByPointOffsetAndPosition) {
    anim_draw::group_places_entries_by_point_offset_and_position(true);
}

// An image already on the graphics card keeps its colours; each frame naming it says so.
TEST(AnimDrawGL, FramesOfUploadedImagesReportThatColoursCannotBeSwapped) {
    ASSERT_TRUE(open_test_screen(true));
    scratch_dir d;
    std::string pic = write_picture(d, "p.bmp", 8, 8, 255, 0, 0);
    std::string path = write_animation(d, "a.ini", {pic, pic}, {1, 1});
    anim_mgr fresh;
    log_capture log;
    fresh.load(path.c_str());
    EXPECT_EQ(0, log.count("No color swap available\n"));
    Image_Manager.get(pic.c_str())->tohw();
    anim_mgr later;
    later.load(path.c_str());
    EXPECT_EQ(2, log.count("No color swap available\n"));
}

// The second mirror match: the pictures were uploaded (and their pixels released) by the
// first, yet the recoloured frames have the new colours.
TEST(AnimDrawGL, FramesOfUploadedImagesAreStillRecoloured) {
    ASSERT_TRUE(open_test_screen(true));
    scratch_dir d;
    std::string pic = write_picture(d, "p.bmp", 8, 8, 255, 0, 0);
    std::string path = write_animation(d, "a.ini", {pic}, {1});
    Image_Manager.get(pic.c_str())->tohw();
    anim_mgr later;
    later.swaps.push_back(colour_swap(map_rgb(255, 0, 0), map_rgb(0, 0, 255)));
    log_capture log;
    later.load(path.c_str());
    video.clear();
    draw_frame(&later, 10, 10, 0);
    anim_draw::colour c = anim_draw::at(13, 13);
    EXPECT_TRUE(c.b > 200 && c.r < 40) << (int)c.r << "," << (int)c.g << "," << (int)c.b;
    EXPECT_EQ(0, log.count("ERROR"));
    EXPECT_EQ(0, log.count("Can't swap color"));
}
TEST(AnimDrawGL, CopiesOfAGroupKeepTheirOwnFacing) { anim_draw::copies_of_a_group_keep_their_own_facing(true); }
