// The path controller: programs of steps, the scripted modes, the key sets, and the computer
// opponent's decisions, with the random numbers scripted through the random seam.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "foundation/clock.h"
#include "foundation/primitives.h"
#include "input/keyhistory.h"
#include "input/path.h"
#include "test_support.h"
#include "world/level.h"
#include "world/mon_mgr.h"

namespace {

// The random seam plays these numbers in order, then zeros; `used` counts the draws.
std::vector<int> script;
size_t used = 0;
int scripted() { return used < script.size() ? script[used++] : (used++, 0); }

struct Path : ::testing::Test {
    path p;
    level stage;
    void SetUp() override {
        script.clear();
        used = 0;
        random_set_source(scripted);
        stage.max_width = 1000;
        current_level = &stage;
    }
    void TearDown() override {
        random_set_source(nullptr);
        current_level = nullptr;
        Combatant_Manager.clean();
    }
    void weights(int block, int range, int jump, int duck, int approach) {
        int w[AI_WEIGHTS] = {block, 25, range, jump, duck, approach};
        memcpy(p.weights, w, sizeof w);
    }
    // One computer frame with these draws; the speeds start at 0.
    void ai_frame(std::vector<int> draws) {
        script = draws;
        used = 0;
        p.vx = p.vy = 0;
        p.run();
    }
};

TEST_F(Path, ConstructionValues) {
    EXPECT_EQ(p.ai_state, -1);
    EXPECT_EQ(p.step, 0);
    EXPECT_EQ(p.steps, 0);
    EXPECT_EQ(p.action, 0);
    EXPECT_EQ(p.mirrored, 0);
    EXPECT_DOUBLE_EQ(p.vx, 0);
    EXPECT_DOUBLE_EQ(p.fire_y, 0);
}

TEST_F(Path, ProgramsOfOneAndTwoStepsRepeat) {
    p.add_step(7, 1, 2, 3, 4);
    EXPECT_EQ(p.steps, 1);
    EXPECT_EQ(p.arg4[0], 4);
    for (int i = 0; i < 3; i++) {
        p.vy = 5;
        p.run();
        EXPECT_DOUBLE_EQ(p.vy, 0);
        EXPECT_EQ(p.step, 0);
    }
    path two;
    two.add_step(7, 0, 0, 0, 0);
    two.add_step(9, 0, 0, 0, 0); // no such mode: nothing but the next step
    double seen[4];
    for (int i = 0; i < 4; i++) {
        two.vy = 5;
        two.run();
        seen[i] = two.vy;
    }
    EXPECT_EQ(seen[0], 0);
    EXPECT_EQ(seen[1], 5);
    EXPECT_EQ(seen[2], 0);
    EXPECT_EQ(seen[3], 5);
}

TEST_F(Path, EachRunClearsTheRequestsButKeepsTheSpeeds) {
    p.add_step(8, 0, 0, 0, 0);
    p.action = 3;
    p.action2 = 1;
    p.fire_x = 1;
    p.vx = 0.5;
    p.run();
    EXPECT_EQ(p.action, -1);
    EXPECT_EQ(p.action2, -1);
    EXPECT_DOUBLE_EQ(p.fire_x, 0);
    EXPECT_DOUBLE_EQ(p.vx, 0.5);
}

TEST_F(Path, AFullProgramAndAStrayStepIndexAreSafe) {
    for (int i = 0; i < 105; i++) p.add_step(7, 0, 0, 0, 0);
    EXPECT_EQ(p.steps, PATH_MAX_STEPS);
    p.step = 5000;
    p.run();
    EXPECT_EQ(p.step, 1);
    path empty;
    empty.vy = 2;
    empty.run(); // no program: nothing happens
    EXPECT_DOUBLE_EQ(empty.vy, 2);
    EXPECT_EQ(empty.step, 0);
}

TEST_F(Path, WanderChangesCourseRarelyAndFiresOften) {
    p.add_step(0, 0, 0, 0, 0);
    script = {91, 2, 91, 0, 11};
    p.run();
    EXPECT_DOUBLE_EQ(p.vx, 1);
    EXPECT_DOUBLE_EQ(p.vy, -1);
    EXPECT_EQ(p.action, 0);
    EXPECT_DOUBLE_EQ(p.fire_y, 1);
    script = {90, 90, 10};
    used = 0;
    p.run();
    EXPECT_DOUBLE_EQ(p.vx, 1); // unchanged
    EXPECT_EQ(p.action, -1);
    EXPECT_EQ(used, 3u);
}

TEST_F(Path, CircleAndSwingFollowTheAge) {
    fill_trig_tables();
    p.add_step(1, 0, 0, 0, 0);
    p.age = 30; // 90 degrees
    p.run();
    EXPECT_NEAR(p.vx, 0.1, 1e-6);
    EXPECT_NEAR(p.vy, 1.0, 1e-6);
    EXPECT_EQ(p.action, 0);
    p.age = 200; // 600 mod 360 = 240 degrees
    p.run();
    EXPECT_NEAR(p.vx, cos_table[240] * 0.01f + 0.1, 1e-9);
    EXPECT_NEAR(p.vy, -0.87, 1e-6);

    path s;
    s.add_step(2, 0, 0, 0, 0);
    s.age = 45;
    s.vy = 0.75;
    s.run();
    EXPECT_DOUBLE_EQ(s.vx, cos(45 * 2 * 0.03488888888888889));
    EXPECT_DOUBLE_EQ(s.vy, 0.75);
    EXPECT_DOUBLE_EQ(s.fire_y, 1);
    EXPECT_EQ(used, 0u); // neither draws a random number
}

TEST_F(Path, DriftMovesOftenAndSometimesFiresTheSecondWeapon) {
    p.add_step(4, 0, 0, 0, 0);
    script = {11, 0, 81, 1, 7, 96};
    p.run();
    EXPECT_DOUBLE_EQ(p.vx, -1);
    EXPECT_DOUBLE_EQ(p.vy, 0);
    EXPECT_EQ(p.action2, 1);
    EXPECT_DOUBLE_EQ(p.fire_y, -1);
    EXPECT_EQ(p.action, -1);
    EXPECT_EQ(used, 6u);
}

TEST_F(Path, TheKeySetsSteerModesThreeAndFive) {
    ASSERT_TRUE(open_test_screen(false));
    int n = 0;
    Uint8* keys = SDL_GetKeyState(&n);
    memset(keys, 0, (size_t)n);
    p.add_step(3, 0, 0, 0, 0);
    p.add_step(5, 0, 0, 0, 0);
    keys[SDLK_RIGHT] = 1;
    keys[SDLK_SPACE] = 1;
    keys[SDLK_w] = 1;
    keys[SDLK_z] = 1;
    p.run(); // first key set
    EXPECT_DOUBLE_EQ(p.vx, 1);
    EXPECT_DOUBLE_EQ(p.vy, 0);
    EXPECT_EQ(p.action, 0);
    EXPECT_DOUBLE_EQ(p.fire_y, -1);
    p.run(); // second key set
    EXPECT_DOUBLE_EQ(p.vx, 0);
    EXPECT_DOUBLE_EQ(p.vy, -1);
    EXPECT_EQ(p.action, 3);
    memset(keys, 0, (size_t)n);
}

// ---------------------------------------------------------------------------------------
// The computer opponent

TEST_F(Path, WithNoWeightsAFreshDecisionIsBlockOnZeroAndSpecialOtherwise) {
    p.add_step(6, 0, 0, 0, 0);
    weights(0, 10, 0, 0, 0);
    ai_frame({0, 0}); // keep; r = 0 of 100: blocking
    EXPECT_EQ(p.ai_state, 0);
    EXPECT_DOUBLE_EQ(p.vx, 1);
    for (int r : {1, 57, 99}) {
        p.ai_state = -1;
        ai_frame({0, r});
        EXPECT_EQ(p.ai_state, -1) << r; // special, which decides afresh next frame
        EXPECT_DOUBLE_EQ(p.vx, 0);
    }
    p.ai_state = -1;
    ai_frame({0, 100}); // the draw is taken mod 100
    EXPECT_EQ(p.ai_state, 0);
}

TEST_F(Path, TheMatchWeightsSplitAFreshDecisionIntoItsBands) {
    p.add_step(6, 0, 0, 0, 0);
    weights(50, 10, 25, 25, 50); // 300 values
    struct {
        int r, state;
    } bands[] = {{0, 0},   {50, 0},   {51, 1},   {100, 1},  {101, 2}, {125, 2},
                 {126, 3}, {150, 3},  {151, -1}, {250, -1}, {251, 5}, {299, 5}};
    for (auto& b : bands) {
        p.ai_state = -1;
        ai_frame({0, b.r, 3});
        EXPECT_EQ(p.ai_state, b.state) << b.r;
    }
}

TEST_F(Path, AnyStateIsReopenedOnADrawAbove95) {
    p.add_step(6, 0, 0, 0, 0);
    weights(50, 10, 25, 25, 50);
    p.ai_state = 3;
    ai_frame({95});
    EXPECT_EQ(p.ai_state, 3);
    EXPECT_DOUBLE_EQ(p.vy, 1);
    ai_frame({96, 110}); // re-opened: 110 is jumping
    EXPECT_EQ(p.ai_state, 2);
    EXPECT_DOUBLE_EQ(p.vy, -1);
}

TEST_F(Path, AfterAJumpTheNextFrameMakesTheShortDecision) {
    p.add_step(6, 0, 0, 0, 0);
    weights(50, 10, 25, 25, 50);
    p.ai_state = 2;
    ai_frame({0, 50}); // short decision, 200 values: 50 blocks
    EXPECT_EQ(p.ai_state, 0);
    EXPECT_EQ(used, 2u);
    p.ai_state = 2;
    ai_frame({0, 100}); // 51..100 approach
    EXPECT_EQ(p.ai_state, 1);
    p.ai_state = 2;
    ai_frame({0, 101}); // above: undecided, evading
    EXPECT_EQ(p.ai_state, -2);
    EXPECT_DOUBLE_EQ(p.vx, 1);
    EXPECT_EQ(p.action, -1);
    ai_frame({0, 199}); // stays undecided until a band is drawn
    EXPECT_EQ(p.ai_state, -2);
    ai_frame({0, 0});
    EXPECT_EQ(p.ai_state, 0);
    // A draw above 95 re-opens the whole decision even after a jump.
    p.ai_state = 2;
    ai_frame({96, 101});
    EXPECT_EQ(p.ai_state, 2);
}

TEST_F(Path, TheAttackRangeIsStrict) {
    p.add_step(6, 0, 0, 0, 0);
    weights(50, 10, 25, 25, 50); // 10 % of 1000: 100 pixels
    p.has_opponent = 1;
    p.stage_width = stage.max_width;
    p.x = 300;
    p.ai_state = 1;
    p.opponent_x = 400; // exactly the range: approach
    ai_frame({0});
    EXPECT_DOUBLE_EQ(p.vx, -1);
    EXPECT_EQ(p.action, -1);
    p.opponent_x = 201; // 99 to the left: attack
    for (int r : {0, 1, 2, 3}) {
        ai_frame({0, r});
        EXPECT_EQ(p.action, r % 2 == 0 ? 0 : 3) << r;
        EXPECT_DOUBLE_EQ(p.fire_y, -1);
        EXPECT_DOUBLE_EQ(p.vx, 0);
    }
}

TEST_F(Path, MirroredFlipsBlockingApproachingAndEvadingOnly) {
    p.add_step(6, 0, 0, 0, 0);
    weights(50, 0, 25, 25, 50); // range 0: never near, so state 1 always approaches
    struct {
        int r, state;
        double vx, vy;
    } plain[] = {{0, 0, 1, 0}, {60, 1, -1, 0}, {110, 2, 0, -1}, {130, 3, 0, 1}, {260, 5, 1, 0}};
    for (int mirrored = 0; mirrored < 2; mirrored++) {
        p.mirrored = mirrored;
        for (auto& c : plain) {
            p.ai_state = -1;
            ai_frame({0, c.r});
            ASSERT_EQ(p.ai_state, c.state);
            double flip = mirrored ? -1 : 1;
            EXPECT_DOUBLE_EQ(p.vx, c.vx * flip) << c.state << " mirrored " << mirrored;
            EXPECT_DOUBLE_EQ(p.vy, c.vy) << c.state << " mirrored " << mirrored;
        }
    }
}

TEST_F(Path, TheSpecialStateStartsARandomComboInTheKeyHistory) {
    combo_list combos(3);
    for (int i = 0; i < 3; i++) combos[(size_t)i].move = 10 + i;
    keyhistory kh;
    kh.import_combos(&combos);
    p.keys = &kh;
    p.add_step(6, 0, 0, 0, 0);
    weights(0, 10, 0, 0, 0);
    ai_frame({0, 40, 5}); // special; combo 5 mod 3 = 2
    ASSERT_EQ(kh.scratch.size(), 1u);
    EXPECT_EQ(kh.scratch[0].move_combo, &combos[2]);
    EXPECT_EQ(p.ai_state, -1);
    EXPECT_EQ(used, 3u);

    combos.clear(); // without combos the special does nothing, and draws nothing more
    kh.scratch.clear();
    ai_frame({0, 40, 5});
    EXPECT_TRUE(kh.scratch.empty());
    EXPECT_EQ(used, 2u);
}

TEST_F(Path, WeightsThatSumToNothingDoNotDivideByZero) {
    p.add_step(6, 0, 0, 0, 0);
    weights(-100, 10, 0, 0, 0);
    p.ai_state = 2;
    ai_frame({0, 7});
    EXPECT_EQ(p.ai_state, -2); // r = 0 > block -100, > block + approach: undecided
    weights(-50, 10, 0, 0, 0);
    p.ai_state = -1;
    ai_frame({0, 7});
}

} // namespace
