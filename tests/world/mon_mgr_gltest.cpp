// Lifeform display in OpenGL mode: the still image in both facings, its shadow, and a move
// frame drawn mirrored.
#include <gtest/gtest.h>

#include "fighter_helpers.h"

namespace {

struct DisplayGl : ::testing::Test {
    scratch_dir dir;
    test_stage stage;
    std::string body;
    combatant f;
    void SetUp() override {
        ASSERT_TRUE(open_test_screen(true));
        // 20 x 40: red box at columns 2..17 with a blue stripe at 2..4 that shows the facing.
        SDL_Surface* s = make_picture(20, 40, KEY);
        paint(s, 2, 0, 16, 40, RED);
        paint(s, 2, 0, 3, 40, BLUE);
        body = save_picture(s, dir, "facing.bmp");
        f.images.push_back(Image_Manager.get(body.c_str()));
        f.x = 100;
        f.y = 200;
        fill_screen(WHITE);
    }
};

TEST_F(DisplayGl, TheStillImageIsDrawnInItsFacing) {
    f.display();
    EXPECT_COLOUR(103, 210, BLUE);
    EXPECT_COLOUR(110, 210, RED);
    EXPECT_COLOUR(101, 210, WHITE);
    EXPECT_COLOUR(118, 210, WHITE);
    fill_screen(WHITE);
    f.facing = 1;
    f.display();
    EXPECT_COLOUR(116, 210, BLUE);
    EXPECT_COLOUR(103, 210, RED);
    EXPECT_COLOUR(118, 210, WHITE);
    EXPECT_COLOUR(101, 210, WHITE);
}

TEST_F(DisplayGl, TheShadowIsHalfTransparentAndFlattenedAtTheBottom) {
    f.display();
    fill_screen(WHITE);
    f.display();
    rgb s = screen_at(110, 441);
    EXPECT_EQ(s.r, 255);
    EXPECT_NEAR(s.g, 128, 3);
    EXPECT_NEAR(s.b, 128, 3);
    EXPECT_COLOUR(110, 436, WHITE);
    EXPECT_COLOUR(110, 445, WHITE);
    EXPECT_COLOUR(110, 210, RED); // the fighter itself stays opaque
}

TEST_F(DisplayGl, AMoveFrameTurnsWithTheFighter) {
    f.moves.push_back(move_group(anim_file(dir, "pose.ini", {{body, 2, {}}})));
    f.facing = 1;
    f.start_move(0, 1);
    f.display();
    EXPECT_COLOUR(116, 210, BLUE);
    EXPECT_COLOUR(103, 210, RED);
    fill_screen(WHITE);
    f.facing = 0;
    f.display();
    EXPECT_COLOUR(103, 210, BLUE);
    EXPECT_COLOUR(116, 210, RED);
}

} // namespace
