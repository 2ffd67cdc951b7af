// Stages in software mode: loading the stage and background set files (including broken
// ones), drawing parts, parallax layers, floor, shake and flash, and the game's own stage.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <string>

#include "foundation/video_mgr.h"
#include "stage_helpers.h"

namespace {

struct StageSw : ::testing::Test {
    scratch_dir dir;
    void SetUp() override { ASSERT_TRUE(open_test_screen(false)); }
    std::string solid(const std::string& name, int w, int h, rgb c = RED) {
        return marked_picture(dir, name, w, h, c);
    }
};

// ---------------------------------------------------------------------------------------
// Drawing (the same checks run in OpenGL mode)

TEST_F(StageSw, PartsStackUpwardsFromTheScrollLine) { check_part_tops(dir); }
TEST_F(StageSw, ParallaxLayersShiftByTheirDistance) { check_parallax_shifts(dir); }
TEST_F(StageSw, AShakeSwingsBackToRest) { check_shake(dir); }
TEST_F(StageSw, AFlashFadesByItsStep) { check_flash(); }
TEST_F(StageSw, PartsOffTheScreenAreSkipped) { check_parts_off_screen(dir); }
TEST_F(StageSw, ScaleDoublesSizesAndZoom) { check_scale(dir); }
TEST_F(StageSw, TheFloorLiesUnderTheLastLayerAndScrolls) { check_floor(dir); }

TEST_F(StageSw, ZoomedDrawsConvertNothingAndLogNothing) {
    std::string stage = write_stage(
        dir, {solid("far.bmp", 640, 100), marked_picture(dir, "near.bmp", 640, 100, KEY, 50, 50, 10, 10, BLUE),
              solid("floor.bmp", 640, 40, YELLOW)},
        "length=1\nfloor=2\npart0=0\npart0parallax=1\npart0parallax0=1\n");
    level lv;
    lv.load(stage.c_str());
    log_capture log;
    for (int i = 0; i < 5; i++) {
        lv.zoom = 1.0 + 0.1 * i;
        lv.x_offset = 7 * i;
        lv.draw();
    }
    EXPECT_EQ("", log.all());
    for (img_mgr* im : lv.images) EXPECT_TRUE(im->zcache.empty());
    for (img_mgr* im : lv.parts) EXPECT_TRUE(im->zcache.empty());
}

TEST_F(StageSw, ARunawayCameraDrawsNoPicturesButStillFlashes) {
    std::string stage = write_stage(
        dir, {solid("far.bmp", 640, 100), solid("near.bmp", 640, 100, BLUE)},
        "length=1\npart0=0\npart0parallax=1\npart0parallax0=1\nscale=2\n");
    level lv;
    lv.load(stage.c_str());
    for (int i = 0; i < 2000; i++) lv.draw(); // nobody resets the zoom: it doubles each time
    fill_screen(WHITE);
    lv.flash = 255;
    lv.flash_step = 10;
    lv.draw();
    EXPECT_COLOUR(10, 470, WHITE);
    lv.zoom = 0;
    lv.draw();
    lv.zoom = -1;
    lv.draw();
    for (int offset : {2000000000, -2000000000}) { // a camera far off the stage
        lv.zoom = 1.5;
        lv.x_offset = lv.y_offset = offset;
        lv.draw();
    }
}

// ---------------------------------------------------------------------------------------
// Loading

TEST_F(StageSw, LoadingReadsBothFilesAndReportsAsItGoes) {
    std::string stage = write_stage(
        dir, {solid("a.bmp", 300, 100), solid("b.bmp", 500, 200), solid("c.bmp", 400, 300)},
        "loop=2\nfloor=1\nlength=2\npart0=1\npart0sortie=3\npart1=2\npart1parallax=1\n"
        "part1parallax0=0\n",
        1600);
    level lv;
    log_capture log;
    lv.load(stage.c_str());
    EXPECT_EQ(1600, lv.width);
    EXPECT_EQ(3, lv.image_count);
    EXPECT_EQ(3u, lv.images.size());
    EXPECT_EQ(2, lv.loop);
    EXPECT_EQ(1, lv.floor);
    EXPECT_EQ(2, lv.length);
    EXPECT_EQ(500, lv.total_height);
    EXPECT_EQ(300, lv.max_height);
    EXPECT_EQ(500, lv.max_width);
    EXPECT_EQ(380, lv.scroll);
    EXPECT_EQ(600 - 480, lv.reset); // 100 + 200 + 300 reaches the screen's 480
    EXPECT_EQ(0, lv.loading);
    ASSERT_EQ(2u, lv.parts.size());
    EXPECT_EQ(300, lv.parts[0]->height); // part 1 (image 2) was inserted in front
    EXPECT_EQ((std::vector<int>{0}), lv.layers[0]);
    EXPECT_TRUE(lv.layers[1].empty());
    for (img_mgr* im : lv.images) EXPECT_EQ(1, im->no_zcache);
    EXPECT_NE(lv.images[1], lv.parts[1]); // parts hold their own copies

    const char* lines[] = {
        "load level\n", "loading [", "loading bgset[", "width[1600] images[3]\n", "Has loop\n",
        "Has floor\n", "level: insert img#[1] at 0\n", "Add layers [0]\n",
        "Copying layered segment\n", "level: height [200] onscrsz[200]\n", "Added layer[0]\n",
        "level: insert img#[2] at 0\n", "Add layers [1]\n", "level: height [300] onscrsz[500]\n",
        "level length is [2/500]\n", "Lets look at the size of onscreen plist before loading [2]\n",
        "adding h/w[ 100 /300]\n", "adding h/w[ 200 /500]\n", "adding h/w[ 300 /400]\n",
        "reset at [120]\n", "Lets look at the size of onscreen plist [2]\n", "done loading\n",
        "ml[300] mw[500]\n"};
    size_t at = 0;
    for (const char* line : lines) {
        size_t found = log.out.find(line, at);
        EXPECT_NE(std::string::npos, found) << "missing or out of order: " << line;
        if (found != std::string::npos) at = found;
    }
    EXPECT_FALSE(log.has("Scaling level"));
}

TEST_F(StageSw, MissingFilesLeaveAnEmptyUsableStage) {
    level lv;
    log_capture log;
    lv.load(dir.file("nowhere.ini").c_str());
    EXPECT_TRUE(log.has("width[0] images[0]\n"));
    EXPECT_TRUE(log.has("level length is [0/0]\n"));
    EXPECT_EQ(0, lv.width);
    EXPECT_TRUE(lv.images.empty());
    EXPECT_TRUE(lv.parts.empty());
    EXPECT_EQ(480, lv.scroll); // a stage without images: the screen height
    EXPECT_EQ(-1, lv.floor);
    fill_screen(WHITE);
    lv.draw();
    EXPECT_COLOUR(320, 240, WHITE);

    // A stage file whose background set is missing.
    write_text(dir.file("stage.ini"), "bgset=" + dir.file("gone.ini") + "\nlength=1\npart0=0\n");
    level lv2;
    lv2.load(dir.file("stage.ini").c_str());
    EXPECT_TRUE(lv2.parts.empty());
    EXPECT_EQ(1, lv2.length);
}

TEST_F(StageSw, APictureThatFailsToLoadStaysAsAnEmptyPicture) {
    std::string stage = write_stage(dir, {solid("b.bmp", 640, 100), dir.file("missing.png")},
                                    "length=2\npart0=0\npart1=1\n");
    level lv;
    log_capture log;
    lv.load(stage.c_str());
    EXPECT_TRUE(log.has("Couldn't load " + dir.file("missing.png")));
    ASSERT_EQ(2u, lv.images.size());
    EXPECT_EQ(0, lv.images[1]->height);
    EXPECT_EQ(2u, lv.parts.size());
    EXPECT_EQ(100, lv.total_height);
    fill_screen(WHITE);
    lv.draw(); // the empty part is drawn above part 0, as nothing
    EXPECT_COLOUR(10, 380, RED);
    EXPECT_COLOUR(10, 379, WHITE);
}

TEST_F(StageSw, IndicesOutsideThePicturesCountAsMissing) {
    std::string stage = write_stage(
        dir, {solid("a.bmp", 640, 100), solid("b.bmp", 640, 50, BLUE)},
        "floor=2\nlength=4\npart0=2\npart0parallax=1\npart0parallax0=0\n"
        "part1=-1\npart2=1\npart2parallax=3\npart2parallax0=-1\npart2parallax1=5\n"
        "part2parallax2=0\npart3=0\n");
    level lv;
    lv.load(stage.c_str());
    EXPECT_EQ(-1, lv.floor);
    ASSERT_EQ(2u, lv.parts.size()); // parts 2 and 3
    EXPECT_EQ(100, lv.parts[0]->height);
    EXPECT_EQ(50, lv.parts[1]->height);
    EXPECT_TRUE(lv.layers[0].empty());
    EXPECT_EQ((std::vector<int>{0}), lv.layers[1]);
    EXPECT_EQ(150, lv.total_height);
    // Stage part 2 (50 high) at the scroll line 380, stage part 3 (100 high) above it.
    fill_screen(WHITE);
    lv.draw();
    EXPECT_COLOUR(10, 329, WHITE);
    EXPECT_COLOUR(10, 330, RED);
}

TEST_F(StageSw, AbsurdCountsCostNothing) {
    std::string a = solid("a.bmp", 64, 10);
    auto started = std::chrono::steady_clock::now();
    struct { const char* bg; const char* stage; size_t images; size_t parts; } cases[] = {
        {"images=2000000000\n", "length=2000000000\npart0=0\npart0parallax=2000000000\n"
                                "part0parallax0=0\n", 1, 1},
        {"images=-7\n", "length=1\npart0=0\n", 0, 0},
        {"images=1\n", "length=-3\npart0=0\n", 1, 0},
        {"images=1\n", "length=1\npart0=0\npart0parallax=-4\npart0parallax0=0\n", 1, 1},
        {"images=1\n", "length=99999\npart0=0\npart99999999999=0\npart5=0\n", 1, 2},
    };
    for (auto& c : cases) {
        write_text(dir.file("bg.ini"), std::string(c.bg) + "image0=" + a + "\n");
        write_text(dir.file("st.ini"), "bgset=" + dir.file("bg.ini") + "\n" + c.stage);
        level lv;
        lv.load(dir.file("st.ini").c_str());
        EXPECT_EQ(c.images, lv.images.size()) << c.bg << c.stage;
        EXPECT_EQ(c.parts, lv.parts.size()) << c.bg << c.stage;
        if (!lv.layers.empty()) {
            EXPECT_LE(lv.layers.back().size(), 1u);
        }
        lv.draw();
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_LT(seconds, 5.0);
}

TEST_F(StageSw, AnAbsurdScaleIsIgnored) {
    for (const char* s : {"scale=0\n", "scale=-2\n", "scale=1e30\n", "scale=nan\n"}) {
        std::string stage = write_stage(dir, {solid("a.bmp", 64, 10)}, std::string("length=1\npart0=0\n") + s);
        level lv;
        log_capture log;
        lv.load(stage.c_str());
        EXPECT_DOUBLE_EQ(1.0, lv.scale) << s;
        EXPECT_EQ(64, lv.max_width) << s;
        EXPECT_TRUE(log.has("WARNING: stage scale")) << s;
        lv.draw();
    }
}

TEST_F(StageSw, ClearEmptiesTheStageAndPutsTheCameraAtRest) {
    std::string stage = write_stage(dir, {solid("a.bmp", 640, 100), solid("b.bmp", 640, 20)},
                                    "loop=1\nfloor=1\nlength=1\npart0=0\nscale=2\n");
    level lv;
    lv.load(stage.c_str());
    lv.x_offset = 5;
    lv.y_offset = 6;
    lv.zoom = 3;
    lv.shake = 4;
    lv.flash = 100;
    lv.flash_step = 9;
    lv.clear();
    EXPECT_TRUE(lv.images.empty());
    EXPECT_TRUE(lv.parts.empty());
    EXPECT_TRUE(lv.layers.empty());
    EXPECT_EQ(-1, lv.floor);
    EXPECT_EQ(-1, lv.loop);
    EXPECT_DOUBLE_EQ(1.0, lv.zoom);
    EXPECT_DOUBLE_EQ(1.0, lv.scale);
    EXPECT_EQ(0, lv.scroll + lv.onscreen_size + lv.x_offset + lv.y_offset + lv.max_width +
                     lv.loading + lv.shake + lv.flash + lv.flash_step);
    // Left for the next load to set.
    EXPECT_EQ(640, lv.width);
    EXPECT_EQ(100, lv.total_height);
    EXPECT_EQ(1, lv.length);
    fill_screen(WHITE);
    lv.draw();
    EXPECT_COLOUR(10, 470, WHITE);
}

TEST_F(StageSw, TheGameStageLoadsEveryPicture) {
    std::string game = FIGHT_DATA_DIR;
    if (!file_exists(game + "/rsrc/road/stage_road.ini")) GTEST_SKIP() << "no road stage yet";
    char cwd[4096];
    ASSERT_NE(nullptr, getcwd(cwd, sizeof cwd));
    ASSERT_EQ(0, chdir(game.c_str()));
    level lv;
    log_capture log;
    lv.load("rsrc/road/stage_road.ini");
    EXPECT_FALSE(log.has("Couldn't load")) << log.out;
    EXPECT_FALSE(log.has("WARNING")) << log.out;
    EXPECT_GT(lv.images.size(), 0u);
    EXPECT_FALSE(lv.parts.empty());
    for (img_mgr* im : lv.images) EXPECT_GT(im->height, 0) << im->filename;
    EXPECT_GT(lv.max_width, 640);
    lv.x_offset = 100;
    lv.zoom = 1.1;
    lv.draw();
    ASSERT_EQ(0, chdir(cwd));
}

// The box the stage reports covered needs no clear: after a draw over a screen of another
// colour, none of that colour is left inside it, wherever the camera is.
TEST_F(StageSw, TheGameStageDrawsEveryPixelOfTheBoxItCovers) {
    std::string game = FIGHT_DATA_DIR;
    if (!file_exists(game + "/rsrc/road/stage_road.ini")) GTEST_SKIP() << "no road stage yet";
    char cwd[4096];
    ASSERT_NE(nullptr, getcwd(cwd, sizeof cwd));
    ASSERT_EQ(0, chdir(game.c_str()));
    level lv;
    lv.load("rsrc/road/stage_road.ini");
    struct { int x, y, shake; double zoom; } cameras[] = {
        {0, 0, 0, 0.65}, {480, -40, 3, 0.678}, {900, 30, -2, 1.0}, {200, -200, 0, 0.5}, {10, 0, 0, 2.0}};
    for (const auto& c : cameras) {
        lv.x_offset = c.x;
        lv.y_offset = c.y;
        lv.shake = c.shake;
        lv.zoom = c.zoom;
        SDL_Rect box;
        const bool covered = lv.covered_box(&box);
        fill_screen(rgb{255, 0, 255});
        lv.draw_view();
        int left = 0;
        for (int y = box.y; covered && y < box.y + box.h; y++)
            for (int x = box.x; x < box.x + box.w; x++) left += same(screen_at(x, y), rgb{255, 0, 255});
        EXPECT_EQ(0, left) << "camera " << c.x << "," << c.y << " zoom " << c.zoom;
        EXPECT_TRUE(covered && box.w * box.h > 300 * 240) << "the sky covers most of the screen";
    }
    ASSERT_EQ(0, chdir(cwd));
}

} // namespace
