// Stages in OpenGL mode: the drawing checks of the software tests, with the pixels read back
// from the frame, and the game's own stage drawn; each both uploaded as textures and composed
// on the canvas (as where OpenGL runs on the processor).
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

#include "foundation/video_mgr.h"
#include "stage_helpers.h"

namespace {

struct StageGl : ::testing::TestWithParam<bool> { // composed
    scratch_dir dir;
    bool kept = false;
    void SetUp() override {
        ASSERT_TRUE(open_test_screen(true));
        kept = video.gl_on_processor;
        video.gl_on_processor = GetParam();
    }
    void TearDown() override { video.gl_on_processor = kept; }
};
INSTANTIATE_TEST_SUITE_P(Both, StageGl, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& i) {
                             return std::string(i.param ? "Composed" : "Uploaded");
                         });

TEST_P(StageGl, PartsStackUpwardsFromTheScrollLine) { check_part_tops(dir); }
TEST_P(StageGl, ParallaxLayersShiftByTheirDistance) { check_parallax_shifts(dir); }
TEST_P(StageGl, AShakeSwingsBackToRest) { check_shake(dir); }
TEST_P(StageGl, AFlashFadesByItsStep) { check_flash(); }
TEST_P(StageGl, PartsOffTheScreenAreSkipped) { check_parts_off_screen(dir); }
TEST_P(StageGl, ScaleDoublesSizesAndZoom) { check_scale(dir); }
TEST_P(StageGl, TheFloorLiesUnderTheLastLayerAndScrolls) { check_floor(dir); }

// Uploaded, parts share their pictures' textures; composed, nothing is uploaded. Neither
// uploads while drawing. A second load adds its parts to the first's and may use the first's
// pictures again, those that let their pixels go among them.
TEST_P(StageGl, PicturesLoadOnceAndASecondLoadUsesThemAgain) {
    std::string stage = write_stage(
        dir, {marked_picture(dir, "a.bmp", 640, 100, RED), marked_picture(dir, "b.bmp", 640, 50, BLUE)},
        "length=2\npart0=0\npart1=0\n");
    level lv;
    lv.load(stage.c_str());
    ASSERT_EQ(2u, lv.parts.size());
    EXPECT_EQ(GetParam(), lv.composed.is_open());
    for (img_mgr* im : lv.images) EXPECT_EQ(GetParam(), IMG_NONE == im->tex);
    EXPECT_EQ(lv.images[0]->tex, lv.parts[0]->tex);
    EXPECT_EQ(lv.images[0]->tex, lv.parts[1]->tex);
    log_capture log;
    lv.zoom = 1.3;
    lv.draw();
    EXPECT_FALSE(log.has("opengl texture upload")); // nothing uploaded while drawing

    write_text(dir.file("stage2.ini"), "bgset=" + dir.file("bgset.ini") + "\nlength=2\npart0=0\npart1=1\n");
    lv.load(dir.file("stage2.ini").c_str());
    ASSERT_EQ(4u, lv.parts.size());
    EXPECT_EQ(150, lv.total_height); // the heights count from the second load
    fill_screen(WHITE);
    lv.zoom = 1;
    lv.draw();
    EXPECT_FALSE(log.has("ERROR")) << log.out;
    EXPECT_COLOUR(320, 479, RED);  // the second stage's copy of the first's part picture
    EXPECT_COLOUR(320, 300, BLUE); // and of the picture the first stage never drew
    EXPECT_COLOUR(320, 250, WHITE);
}

TEST_P(StageGl, TheGameStageDraws) {
    std::string game = FIGHT_DATA_DIR;
    if (!file_exists(game + "/rsrc/road/stage_road.ini")) GTEST_SKIP() << "no road stage yet";
    char cwd[4096];
    ASSERT_NE(nullptr, getcwd(cwd, sizeof cwd));
    ASSERT_EQ(0, chdir(game.c_str()));
    level lv;
    log_capture log;
    lv.load("rsrc/road/stage_road.ini");
    EXPECT_FALSE(log.has("Couldn't load")) << log.out;
    EXPECT_FALSE(log.has("ERROR")) << log.out;
    EXPECT_EQ(GetParam(), lv.composed.is_open());
    fill_screen(BLACK);
    lv.x_offset = 200;
    lv.zoom = 1.1;
    lv.draw();
    int lit = 0;
    for (int y = 10; y < 480; y += 40) lit += !same(screen_at(320, y), BLACK);
    EXPECT_GT(lit, 6); // the stage covers most of the frame
    lv.flash = 255; // over the stage
    lv.draw();
    EXPECT_COLOUR(320, 240, WHITE);
    ASSERT_EQ(0, chdir(cwd));
}

} // namespace
