// OpenGL-mode upload and drawing: texture sizes, placement of the shaved box, facing,
// rotation, translucency, other destinations, tiles and floors (pixels read back).
#include <gtest/gtest.h>

#include <string>

#include "images/img_mgr.h"
#include "both_modes_cases.h"
#include "picture_maker.h"

namespace {

struct DrawGl : ::testing::Test {
    scratch_dir dir;
    void SetUp() override {
        ASSERT_TRUE(open_test_screen(true));
        fill_screen(WHITE);
    }
    std::string block_picture() {
        SDL_Surface* s = make_picture(10, 10, KEY);
        paint(s, 2, 4, 2, 2, RED);
        paint(s, 3, 5, 1, 1, BLUE);
        return save_picture(s, dir, "block.bmp");
    }
};

// A shot with a hole over a translucent ghost: drawn in order, or the shot first as the
// cover and the ghost behind it, every pixel comes out the same; afterwards draws go in order.
TEST_F(DrawGl, DrawingBehindACoverGivesThePictureOfDrawingInOrder) {
    SDL_Surface* s = make_picture(20, 20, RED);
    paint(s, 5, 5, 5, 5, KEY);
    img_mgr shot, ghost;
    shot.load(save_picture(s, dir, "shot.bmp").c_str());
    ghost.load(save_picture(make_picture(20, 20, BLUE), dir, "ghost.bmp").c_str());
    ghost.set_alpha(128);
    ghost.draw_at(8, 8);
    shot.draw_at(4, 4);
    rgb in_order[32][32];
    for (int y = 0; y < 32; y++)
        for (int x = 0; x < 32; x++) in_order[y][x] = screen_at(x, y);
    fill_screen(WHITE);
    ASSERT_TRUE(video.begin_cover());
    shot.draw_at(4, 4);
    video.begin_behind();
    ghost.draw_at(8, 8);
    video.end_cover();
    int differ = 0;
    for (int y = 0; y < 32; y++)
        for (int x = 0; x < 32; x++) differ += !same(in_order[y][x], screen_at(x, y));
    EXPECT_EQ(0, differ);
    EXPECT_FALSE(shot.opaque_texels); // the hole needs blending; the ghost needs it for its alpha
    EXPECT_TRUE(ghost.opaque_texels);
    EXPECT_FALSE(same(RED, in_order[10][10]) || same(WHITE, in_order[10][10])); // the ghost, through the hole
    EXPECT_TRUE(same(RED, in_order[20][20]));
    ghost.set_alpha(255);
    ghost.draw_at(4, 4);
    EXPECT_COLOUR(20, 20, BLUE);
}

TEST_F(DrawGl, TexturesArePowersOfTwoCoveringTheStoredBox) {
    img_mgr img;
    img.load(save_picture(make_picture(100, 60, RED), dir, "wide.bmp").c_str());
    log_capture log;
    EXPECT_EQ(0, img.tohw());
    EXPECT_EQ(128, img.tex_w);
    EXPECT_EQ(64, img.tex_h);
    EXPECT_FLOAT_EQ(1.0f / 128, img.inv_tex_w);
    EXPECT_FLOAT_EQ(1.0f / 64, img.inv_tex_h);
    EXPECT_TRUE(log.has("IMG_MGR::tohw converting v[100,60] p[100,60] to [128,64]\n"));
    EXPECT_TRUE(log.has("opengl texture upload: got [" + std::to_string(img.tex) + "] for ["));
    EXPECT_NE(IMG_NONE, img.tex);
    EXPECT_NE(0u, img.list);
    EXPECT_EQ(nullptr, img.surface); // the software pixels are gone after the upload
    GLint fmt = 0;
    glBindTexture(GL_TEXTURE_2D, img.tex);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &fmt);
    EXPECT_EQ(GL_RGB5_A1, fmt);
    log.reset();
    EXPECT_EQ(0, img.tohw()); // once only
    EXPECT_EQ(0, log.count("converting"));

    img_mgr square;
    square.load(save_picture(make_picture(64, 64, RED), dir, "square.bmp").c_str());
    square.tohw();
    EXPECT_EQ(64, square.tex_w);
    EXPECT_EQ(64, square.tex_h);

    fill_screen(WHITE);
    img.draw_at(10, 20);
    EXPECT_COLOUR(10, 20, RED);
    EXPECT_COLOUR(109, 79, RED);
    EXPECT_COLOUR(110, 79, WHITE);
    EXPECT_COLOUR(109, 80, WHITE);
    // Opaque, it draws unblended; magnified, its edges filter against their copies in the
    // padding, so no seam of what lies behind shows at any edge.
    EXPECT_TRUE(img.opaque_texels);
    fill_screen(BLUE);
    img.draw(10, 20, video.screen, 1.5f, 1.5f, 0); // 150 x 90 pixels
    const int edges[4][2] = {{10, 60}, {159, 60}, {80, 20}, {80, 109}};
    for (const auto& e : edges) EXPECT_COLOUR(e[0], e[1], RED);
    EXPECT_COLOUR(160, 60, BLUE);
}

TEST_F(DrawGl, TheBoxIsPlacedFromTheFullPicturesCornerInEitherFacing) {
    img_mgr img;
    img.load(block_picture().c_str());
    img.draw_at(20, 30); // first draw uploads
    EXPECT_NE(IMG_NONE, img.tex);
    EXPECT_COLOUR(22, 34, RED);
    EXPECT_COLOUR(23, 35, BLUE);
    EXPECT_COLOUR(21, 34, WHITE);
    EXPECT_COLOUR(24, 34, WHITE);
    EXPECT_COLOUR(22, 36, WHITE);
    fill_screen(WHITE);
    img.flip();
    EXPECT_EQ(nullptr, img.mirror_surface); // OpenGL mirrors while drawing
    img.draw_at(20, 30);
    EXPECT_COLOUR(26, 35, BLUE);
    EXPECT_COLOUR(27, 35, RED);
    EXPECT_COLOUR(27, 34, RED);
    EXPECT_COLOUR(25, 34, WHITE);
    EXPECT_COLOUR(28, 34, WHITE);
    fill_screen(WHITE);
    img.draw(0, 0, video.screen, 2, 2, 0); // mirrored and scaled: box 12..16, 8..12
    // linear filtering blends neighbours: compare which colour dominates
    rgb upper = screen_at(13, 9), lower = screen_at(13, 11);
    EXPECT_GT(upper.r, upper.b + 100);
    EXPECT_GT(lower.b, lower.r);
    EXPECT_COLOUR(10, 9, WHITE);
    EXPECT_COLOUR(17, 9, WHITE);
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_FLOAT_EQ(1, m[0]);
    EXPECT_FLOAT_EQ(0, m[12]);
    EXPECT_FLOAT_EQ(0, m[13]);
}

TEST_F(DrawGl, RotationTurnsAboutTheBoxCentre) {
    SDL_Surface* s = make_picture(20, 10, RED);
    paint(s, 0, 0, 10, 10, BLUE);
    img_mgr img;
    img.load(save_picture(s, dir, "bar.bmp").c_str());
    img.draw(100, 100, video.screen, 1, 1, 90);
    // a quarter turn about (110, 105): 10 wide, 20 high
    rgb top = screen_at(110, 97), bottom = screen_at(110, 113);
    EXPECT_TRUE((same(top, BLUE) && same(bottom, RED)) || (same(top, RED) && same(bottom, BLUE)));
    EXPECT_COLOUR(101, 104, WHITE);
    EXPECT_COLOUR(118, 106, WHITE);
    fill_screen(WHITE);
    img.draw(100, 100, video.screen, 1, 1, -90);
    rgb top2 = screen_at(110, 97);
    EXPECT_FALSE(same(top2, top)); // -90 turns the other way, as 270 does
    fill_screen(WHITE);
    img.draw(100, 100, video.screen, 1, 1, 270);
    EXPECT_TRUE(same(screen_at(110, 97), top2));
}

TEST_F(DrawGl, TranslucentImagesBlendAndLeaveTheColourOpaqueAfterwards) {
    img_mgr img;
    img.load(block_picture().c_str());
    img.set_alpha(128);
    EXPECT_EQ(128, img.alpha);
    fill_screen(BLUE);
    img.draw_at(0, 0);
    rgb c = screen_at(2, 4);
    EXPECT_NEAR(128, c.r, 4);
    EXPECT_NEAR(127, c.b, 4);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(1, colour[3]);
}

TEST_F(DrawGl, AFullyTransparentImageIsStillUploadedButLeavesTheFrameAsItWas) {
    img_mgr img;
    img.load(block_picture().c_str());
    img.set_alpha(0);
    fill_screen(BLUE);
    img.draw_at(0, 0);
    EXPECT_NE(IMG_NONE, img.tex);
    EXPECT_COLOUR(2, 4, BLUE);
    img.set_alpha(255);
    img.draw_at(0, 0);
    EXPECT_COLOUR(2, 4, RED);
}

TEST_F(DrawGl, DrawingOntoAnotherSurfaceDownloadsOnceAndStillDrawsTheFrame) {
    img_mgr img;
    img.load(block_picture().c_str());
    img.draw_at(0, 0);
    fill_screen(WHITE);
    SDL_Surface* other = video.create_surface(40, 40, 32, 0);
    log_capture log;
    img.draw_on(20, 30, other);
    EXPECT_TRUE(log.has("Detected non-screen output for [" + dir.file("block.bmp") + "]\n"));
    EXPECT_TRUE(log.has("Copying [10,10]/32 surface from hw to sw\n"));
    ASSERT_NE(nullptr, img.surface);
    EXPECT_NE(nullptr, img.surface->surface);
    EXPECT_COLOUR(22, 34, RED);
    log.reset();
    img.draw_on(20, 30, other);
    EXPECT_EQ(1, log.count("Detected non-screen output"));
    EXPECT_EQ(1, log.count("ERROR: Can't d/l from hw to sw because image exists ["));
    SDL_FreeSurface(other);
}

TEST_F(DrawGl, AnImageThatFailedToLoadOrShowsNothingDrawsNothing) {
    img_mgr missing;
    log_capture log;
    missing.load(dir.file("absent.png").c_str());
    missing.draw_at(0, 0);
    EXPECT_TRUE(log.has("ERROR: uploading something that wasn't loaded ["));
    img_mgr blank;
    blank.load(save_picture(make_picture(8, 8, KEY), dir, "blank.bmp").c_str());
    log.reset();
    blank.draw_at(0, 0);
    blank.draw(0, 0, video.screen, 3, 3, 33);
    blank.draw_floor(0, 0, video.screen, 0.5, 0.17);
    EXPECT_EQ(0, log.count("ERROR"));
    EXPECT_COLOUR(0, 0, WHITE);
    EXPECT_COLOUR(4, 4, WHITE);
}

TEST_F(DrawGl, TilesRepeatAndFloorsKeepTheirBottomEdge) {
    SDL_Surface* s = make_picture(128, 128, RED);
    paint(s, 0, 0, 8, 8, BLUE);
    img_mgr tile;
    tile.load(save_picture(s, dir, "tile.bmp").c_str());
    glBindTexture(GL_TEXTURE_2D, 0);
    tile.draw_tiled(0, 0, 230, 280);
    EXPECT_COLOUR(1, 1, BLUE);
    EXPECT_COLOUR(116, 1, BLUE);
    EXPECT_COLOUR(50, 50, RED);
    EXPECT_COLOUR(240, 50, WHITE);

    img_mgr floor;
    floor.load(save_picture(make_picture(128, 64, RED), dir, "floor.bmp").c_str());
    fill_screen(WHITE);
    floor.draw_floor(0, 300, video.screen, 1.5, 0.17); // rows 267 .. 363
    EXPECT_COLOUR(10, 300, RED);
    EXPECT_COLOUR(10, 262, WHITE);
    EXPECT_COLOUR(10, 370, WHITE);
}

TEST_F(DrawGl, ATextureGoesWithTheLastImageUsingIt) {
    const std::string path = block_picture();
    const int before = img_mgr_live_textures();
    img_mgr* a = new img_mgr();
    a->load(path.c_str());
    a->draw_at(0, 0);
    GLuint tex = a->tex, list = a->list;
    EXPECT_EQ(before + 1, img_mgr_live_textures());
    img_mgr* b = new img_mgr(*a); // copies share the texture and list
    EXPECT_EQ(tex, b->tex);
    delete a;
    EXPECT_TRUE(glIsTexture(tex));
    EXPECT_TRUE(glIsList(list));
    fill_screen(WHITE);
    b->draw_at(20, 30);
    EXPECT_COLOUR(22, 34, RED);
    delete b;
    EXPECT_FALSE(glIsTexture(tex));
    EXPECT_FALSE(glIsList(list));
    EXPECT_EQ(before, img_mgr_live_textures());
    // Loading another picture into an uploaded image lets the old texture go.
    img_mgr c;
    c.load(path.c_str());
    c.draw_at(0, 0);
    tex = c.tex;
    c.load(path.c_str());
    EXPECT_FALSE(glIsTexture(tex));
    EXPECT_EQ(IMG_NONE, c.tex);
    c.draw_at(20, 30);
    EXPECT_COLOUR(22, 34, RED);
}

TEST_F(DrawGl, SpinsTurnCounterClockwiseForPositiveAngles) {
    both_modes::spins_turn_counter_clockwise(dir);
}
TEST_F(DrawGl, RecolouredCopiesHavePixelsInEitherFacing) {
    both_modes::recoloured_copies_have_pixels_in_either_facing(dir);
}
TEST_F(DrawGl, EveryScaleGetsItsOwnConversion) { both_modes::every_scale_gets_its_own_conversion(dir); }
TEST_F(DrawGl, LargeAndFarPicturesLieWhereTheyAre) {
    both_modes::large_and_far_pictures_lie_where_they_are(dir);
}
TEST_F(DrawGl, TilesStopAtTheirRectangle) { both_modes::tiles_stop_at_their_rectangle(dir); }
TEST_F(DrawGl, TheFloorShowsItsWholePicture) { both_modes::the_floor_shows_its_whole_picture(dir); }

} // namespace
