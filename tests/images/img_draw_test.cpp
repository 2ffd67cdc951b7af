// Software-mode drawing: placement of the shaved box, facing, rotation, the zoom cache,
// the centre patch, other destinations, tiles and floors.
#include <gtest/gtest.h>

#include <string>

#include "images/img_mgr.h"
#include "both_modes_cases.h"
#include "picture_maker.h"

namespace {

struct DrawSw : ::testing::Test {
    scratch_dir dir;
    void SetUp() override {
        ASSERT_TRUE(open_test_screen(false));
        fill_screen(WHITE);
    }
    // 10 x 10, key everywhere but a red block at columns 2..3, rows 4..5 and a blue pixel
    // at (3, 5) so facing can be told apart.
    std::string block_picture() {
        SDL_Surface* s = make_picture(10, 10, KEY);
        paint(s, 2, 4, 2, 2, RED);
        paint(s, 3, 5, 1, 1, BLUE);
        return save_picture(s, dir, "block.bmp");
    }
};

TEST_F(DrawSw, TheBoxIsPlacedFromTheFullPicturesCorner) {
    img_mgr img;
    img.load(block_picture().c_str());
    img.draw_at(20, 30);
    EXPECT_COLOUR(22, 34, RED);
    EXPECT_COLOUR(23, 35, BLUE);
    EXPECT_COLOUR(21, 34, WHITE);
    EXPECT_COLOUR(24, 34, WHITE);
    EXPECT_COLOUR(22, 33, WHITE);
    EXPECT_COLOUR(22, 36, WHITE);
}

TEST_F(DrawSw, KeyColouredPixelsInsideTheBoxAreTransparent) {
    SDL_Surface* s = make_picture(3, 1, RED);
    paint(s, 1, 0, 1, 1, KEY);
    img_mgr img;
    img.load(save_picture(s, dir, "gap.bmp").c_str());
    img.draw_at(0, 0);
    img.draw(0, 10, video.screen, 2, 2, 0);
    EXPECT_COLOUR(0, 0, RED);
    EXPECT_COLOUR(1, 0, WHITE);
    EXPECT_COLOUR(2, 0, RED);
    EXPECT_COLOUR(2, 10, WHITE);
    EXPECT_COLOUR(3, 11, WHITE);
    EXPECT_COLOUR(4, 11, RED);
}

TEST_F(DrawSw, AMirroredImagePlacesItsBoxAtWidthMinusRight) {
    img_mgr img;
    img.load(block_picture().c_str());
    img.flip();
    img.draw_at(20, 30);
    // box 2..4 mirrored in a 10-wide picture: 6..8, blue now on the left
    EXPECT_COLOUR(26, 35, BLUE);
    EXPECT_COLOUR(27, 35, RED);
    EXPECT_COLOUR(27, 34, RED);
    EXPECT_COLOUR(22, 34, WHITE);
    EXPECT_COLOUR(25, 34, WHITE);
    EXPECT_COLOUR(28, 34, WHITE);
}

TEST_F(DrawSw, ScaledDrawsScaleTheBoxOffsetAndTheWrapperPositions) {
    img_mgr img;
    img.load(block_picture().c_str());
    img.draw(0, 0, video.screen, 2.0f, 2.0f, 0);
    EXPECT_COLOUR(4, 8, RED);
    EXPECT_COLOUR(7, 11, BLUE);
    EXPECT_COLOUR(3, 8, WHITE);
    fill_screen(WHITE);
    img.draw_scaled(10, 10, 2.0, 2.0); // position scaled too: (20, 20)
    EXPECT_COLOUR(24, 28, RED);
    fill_screen(WHITE);
    img.draw_anchored(10, 100, video.screen, 2.0); // bottom stays at 110: top 90, x 20
    EXPECT_COLOUR(24, 98, RED);
    EXPECT_COLOUR(27, 101, BLUE);
}

TEST_F(DrawSw, NegativeAndFullTurnAnglesAreReduced) {
    img_mgr img;
    img.load(block_picture().c_str());
    log_capture log;
    img.draw(100, 100, video.screen, 1, 1, -90);
    EXPECT_TRUE(log.has("@1.000000,1.000000@270] in zcache\n"));
    img.draw(100, 100, video.screen, 1, 1, 270);
    EXPECT_EQ(1, log.count("] in zcache\n"));
    log.reset();
    fill_screen(WHITE);
    img.draw(20, 30, video.screen, 1, 1, 360);
    EXPECT_EQ(0, log.count("zcache"));
    EXPECT_COLOUR(22, 34, RED);
    EXPECT_COLOUR(23, 35, BLUE);
    EXPECT_EQ(1, img.zcache.size());
}

TEST_F(DrawSw, ARotatedPictureTurnsAboutItsBoxCentreWithKeyedCorners) {
    SDL_Surface* s = make_picture(20, 10, KEY);
    paint(s, 0, 0, 20, 10, RED);
    paint(s, 0, 0, 10, 10, BLUE); // left half blue
    img_mgr img;
    img.load(save_picture(s, dir, "bar.bmp").c_str());
    img.draw(100, 100, video.screen, 1, 1, 90);
    // centre (110, 105); a quarter turn makes it 10 wide, 20 high
    rgb top = screen_at(108, 97), bottom = screen_at(108, 113);
    EXPECT_TRUE((same(top, BLUE) && same(bottom, RED)) || (same(top, RED) && same(bottom, BLUE)));
    EXPECT_COLOUR(100, 104, WHITE); // where the unrotated bar was, outside the turned one
    EXPECT_COLOUR(119, 106, WHITE);
    fill_screen(WHITE);
    img.draw(100, 100, video.screen, 1, 1, 45);
    EXPECT_COLOUR(100, 100, WHITE); // the uncovered corner stays transparent
    rgb mid = screen_at(110, 105);
    EXPECT_TRUE(same(mid, RED) || same(mid, BLUE));
}

TEST_F(DrawSw, TheZoomCacheConvertsOncePerScaleAngleAndFacing) {
    img_mgr img;
    img.load(block_picture().c_str());
    log_capture log;
    img.draw(0, 0, video.screen, 2, 2, 0);
    img.draw(0, 0, video.screen, 2, 2, 0);
    EXPECT_EQ(1, log.count("saving ["));
    EXPECT_TRUE(log.has("Zcache for ["));
    EXPECT_EQ(1, img.zcache.size());
    img.draw(0, 0, video.screen, 2, 2, 10);
    img.draw(0, 0, video.screen, 3, 2, 0);
    EXPECT_EQ(3, log.count("saving ["));
    img.flip();
    img.draw(0, 0, video.screen, 2, 2, 0);
    img.draw(0, 0, video.screen, 2, 2, 0);
    EXPECT_EQ(4, log.count("saving ["));
    EXPECT_EQ(4, img.zcache.size());
    img.flip();
    img.draw(0, 0, video.screen, 2, 2, 0);
    EXPECT_EQ(4, log.count("saving ["));
}

TEST_F(DrawSw, TheZoomCacheStaysBoundedOverAChangingZoom) {
    img_mgr img;
    img.load(block_picture().c_str());
    log_capture log;
    for (int i = 0; i < 300; i++) img.draw(0, 0, video.screen, 1.0f + i * 0.01f, 1.0f + i * 0.01f, 0);
    EXPECT_LE(img.zcache.size(), img.zcache.limit);
    EXPECT_GT(img.zcache.evictions, 0);
    // A zoom that stays put after the churn converts once and then only blits.
    log.reset();
    for (int i = 0; i < 5; i++) img.draw(0, 0, video.screen, 1.5f, 1.5f, 0);
    EXPECT_LE(log.count("saving ["), 1);
    log.reset();
    // The most recently used entries survive new ones.
    img.draw(0, 0, video.screen, 7.0f, 7.0f, 0);
    img.draw(0, 0, video.screen, 1.5f, 1.5f, 0);
    EXPECT_EQ(1, log.count("saving ["));
}

TEST_F(DrawSw, WithoutCachingEveryDrawConvertsAndWarns) {
    img_mgr img;
    img.load(block_picture().c_str());
    img.no_zcache = 1;
    log_capture log;
    img.draw(0, 0, video.screen, 2, 2, 0);
    img.draw(0, 0, video.screen, 2, 2, 0);
    EXPECT_EQ(2, log.count("WARNING: Live image conversion [2.000000,2.000000@0] for ["));
    EXPECT_EQ(0, log.count("saving ["));
    EXPECT_TRUE(img.zcache.empty());
    EXPECT_COLOUR(4, 8, RED);
}

TEST_F(DrawSw, APictureLargerThanTheScreenZoomsOnlyItsPartOnTheScreen) {
    SDL_Surface* s = make_picture(400, 300, WHITE);
    paint(s, 40, 30, 320, 240, RED);
    img_mgr img;
    img.load(save_picture(s, dir, "big.bmp").c_str());
    log_capture log;
    img.draw(50, 50, video.screen, 2, 2, 0); // 50..849 x 50..649: columns 0..295, rows 0..215
    EXPECT_TRUE(log.has("grab patch from [0,0-295,215] sz[295,215]\n"));
    EXPECT_TRUE(img.zcache.empty()); // the part changes as the picture moves
    log.reset();
    img.draw(-100, 0, video.screen, 2, 2, 0);
    EXPECT_TRUE(log.has("grab patch from [50,0-370,240] sz[320,240]\n"));
}

TEST_F(DrawSw, DrawingOntoAnotherSurfaceSaysSoEveryTime) {
    img_mgr img;
    img.load(block_picture().c_str());
    SDL_Surface* other = SDL_CreateRGBSurface(SDL_SWSURFACE, 40, 40, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_FillRect(other, nullptr, SDL_MapRGB(other->format, 255, 255, 255));
    log_capture log;
    img.draw_on(5, 5, other);
    img.draw_on(5, 5, other);
    EXPECT_EQ(2, log.count("Detected non-screen output for [" + dir.file("block.bmp") + "]\n"));
    uint8_t* p = (uint8_t*)other->pixels + 9 * other->pitch + 7 * 4;
    Uint8 r, g, b;
    SDL_GetRGB(*(uint32_t*)p, other->format, &r, &g, &b);
    EXPECT_EQ(255, r);
    EXPECT_EQ(0, g);
    EXPECT_COLOUR(7, 9, WHITE); // the screen is untouched
    SDL_FreeSurface(other);
}

TEST_F(DrawSw, TranslucentImagesBlendWithWhatIsBehind) {
    img_mgr img;
    img.load(block_picture().c_str());
    img.set_alpha(128);
    fill_screen(BLUE);
    img.draw_at(0, 0);
    rgb c = screen_at(2, 4);
    EXPECT_NEAR(128, c.r, 3);
    EXPECT_NEAR(127, c.b, 3);
    img.draw(100, 0, video.screen, 2, 2, 0);
    c = screen_at(104, 8);
    EXPECT_NEAR(128, c.r, 3);
    EXPECT_COLOUR(100, 0, BLUE);
}

TEST_F(DrawSw, TilesRepeatEvery115By140Pixels) {
    SDL_Surface* s = make_picture(128, 128, RED);
    paint(s, 0, 0, 8, 8, BLUE);
    img_mgr img;
    img.load(save_picture(s, dir, "tile.bmp").c_str());
    fill_screen(WHITE);
    img.draw_tiled(0, 0, 300, 300);
    EXPECT_COLOUR(1, 1, BLUE);
    EXPECT_COLOUR(116, 1, BLUE);
    EXPECT_COLOUR(231, 281, BLUE);
    EXPECT_COLOUR(50, 50, RED);
}

TEST_F(DrawSw, FloorsDrawTiltedConvertOnceAndEndOnTheirBottomEdge) {
    img_mgr img;
    img.load(save_picture(make_picture(200, 100, RED), dir, "floor.bmp").c_str());
    fill_screen(WHITE);
    log_capture log;
    img.draw_floor(0, 300, video.screen, 1.5, 0.17);
    EXPECT_EQ(1, img.zcache.size());
    // the picture is 150 rows high, its bottom at the unscaled bottom (row 400)
    EXPECT_COLOUR(10, 260, RED);
    EXPECT_COLOUR(10, 248, WHITE);
    img.draw_floor(0, 300, video.screen, 1.5, 0.17);
    EXPECT_EQ(1, img.zcache.size());
    fill_screen(WHITE);
    img.draw_floor(5, 6, video.screen, 1.0, 0.17); // scale 1 is a plain draw
    EXPECT_COLOUR(5, 6, RED);
    EXPECT_COLOUR(4, 6, WHITE);
    img.draw_floor(0, 300, video.screen, 1.5, 0.0); // no tilt, no hang
    img.draw_floor(0, 300, video.screen, 1.5, -1.0);
}

TEST_F(DrawSw, SpinsTurnCounterClockwiseForPositiveAngles) {
    both_modes::spins_turn_counter_clockwise(dir);
}
TEST_F(DrawSw, RecolouredCopiesHavePixelsInEitherFacing) {
    both_modes::recoloured_copies_have_pixels_in_either_facing(dir);
}
TEST_F(DrawSw, EveryScaleGetsItsOwnConversion) { both_modes::every_scale_gets_its_own_conversion(dir); }
TEST_F(DrawSw, LargeAndFarPicturesLieWhereTheyAre) {
    both_modes::large_and_far_pictures_lie_where_they_are(dir);
}
TEST_F(DrawSw, TilesStopAtTheirRectangle) { both_modes::tiles_stop_at_their_rectangle(dir); }
TEST_F(DrawSw, TheFloorShowsItsWholePicture) { both_modes::the_floor_shows_its_whole_picture(dir); }

} // namespace
