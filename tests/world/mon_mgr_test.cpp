// The lifeform runtime in software mode: construction, the motion step and its walls, moves
// and priorities, display (still image, facing, shadow, freeze, off-screen), collision
// images and tests, and taking hits.
#include <gtest/gtest.h>

#include "fighter_helpers.h"
#include "foundation/clock.h"
#include "foundation/settings.h"

namespace {

uint32_t now_ms = 0;
uint32_t test_clock() { return now_ms; }

// ---------------------------------------------------------------------------------------
// Construction and motion (no screen needed)

TEST(Lifeform, ConstructionValues) {
    combatant c;
    EXPECT_EQ(c.hp, 1);
    EXPECT_EQ(c.max_hp, 1);
    EXPECT_DOUBLE_EQ(c.shown_hp, 1.0);
    EXPECT_DOUBLE_EQ(c.speed, 1.0);
    EXPECT_DOUBLE_EQ(c.scale, 1.0);
    EXPECT_EQ(c.edge_kill, 1);
    EXPECT_EQ(c.move_state, -1);
    EXPECT_EQ(c.alpha, 255);
    EXPECT_EQ(c.kind, 0);
    EXPECT_EQ(c.path, nullptr);
    EXPECT_EQ(c.last_image, nullptr);
    ASSERT_NE(c.stack, nullptr);
    EXPECT_TRUE(c.stack->empty());
    ASSERT_NE(c.combos, nullptr);
    EXPECT_TRUE(c.combos->empty());
    EXPECT_EQ(c.posture, 1);
    EXPECT_EQ(c.action, 1);
    EXPECT_EQ(c.cur_priority, 0);
    EXPECT_EQ(c.meters[0] + c.meters[1] + c.meters[2], 0);
    EXPECT_TRUE(c.alive());
    c.hp = 0;
    EXPECT_TRUE(c.alive());
    c.hp = -1;
    EXPECT_FALSE(c.alive());
}

struct Motion : ::testing::Test {
    test_stage stage;
    combatant f;
    void SetUp() override {
        video.height = 480; // no screen: the floor is the configured height
        video.width = 640;
        f.edge_kill = 0;
        f.w = 100;
        f.h = 100;
        f.min_x = 20;
        f.max_x = 70;
        f.x = 300;
        f.y = 200;
    }
};

TEST_F(Motion, VelocityGrowsByAccelerationAndMovesDividedBySpeed) {
    f.vx = 1;
    f.ax = 0.5;
    f.speed = 0.5;
    f.motion(1);
    EXPECT_DOUBLE_EQ(f.vx, 1.5);
    EXPECT_EQ(f.x, 303); // trunc(1.5 * 2 * 1)
    f.vy = -2.6;
    f.motion(1);
    EXPECT_EQ(f.y, 200 - 5); // trunc(-2.6 * 2) = -5
}

TEST_F(Motion, SpeedZeroNeverMovesButIsHeldInsideTheWalls) {
    f.speed = 0;
    f.vx = 50;
    f.vy = 50;
    f.ax = 3;
    f.motion(10);
    EXPECT_EQ(f.x, 300);
    EXPECT_EQ(f.y, 200);
    EXPECT_DOUBLE_EQ(f.vx, 50); // not even the velocity changes
    f.x = -500;
    f.y = 900;
    f.motion(1);
    EXPECT_EQ(f.x, -20);
    EXPECT_EQ(f.y, 380);
    EXPECT_DOUBLE_EQ(f.vx, 0);
    EXPECT_DOUBLE_EQ(f.vy, 0);
}

TEST_F(Motion, AProjectileMovesFortyTimesItsVelocity) {
    f.kind = KIND_PROJECTILE;
    f.speed = 0.1;
    f.vx = 1;
    f.motion(1);
    EXPECT_EQ(f.x, 340);
    f.vx = -0.5;
    f.motion(2);
    EXPECT_EQ(f.x, 300);
}

TEST_F(Motion, TheLeftWallLetsTheTransparentMarginOutByFacing) {
    f.facing = 0; // facing left: margin = min x
    f.x = -100;
    f.vx = -3;
    f.motion(0);
    EXPECT_EQ(f.x, -20);
    EXPECT_DOUBLE_EQ(f.vx, 0);
    f.facing = 1; // facing right: margin = w - max x
    f.x = -100;
    f.motion(0);
    EXPECT_EQ(f.x, -30);
    EXPECT_EQ(f.hp, 1); // fighters are never killed by walls
}

TEST_F(Motion, TheRightWallUsesTheStageWidthOverItsScale) {
    f.facing = 0; // right margin = w - max x = 30
    f.x = 5000;
    f.vx = 4;
    f.motion(0);
    EXPECT_EQ(f.x, 1000 + 30 - 100);
    EXPECT_DOUBLE_EQ(f.vx, 0);
    f.facing = 1; // right margin = min x = 20
    f.x = 5000;
    f.motion(0);
    EXPECT_EQ(f.x, 1000 + 20 - 100);
    stage.stage.scale = 2.0;
    f.x = 5000;
    f.motion(0);
    EXPECT_EQ(f.x, 500 + 20 - 100);
}

TEST_F(Motion, TheFloorAndTheCeilingHoldFighters) {
    f.y = 470;
    f.vy = 5;
    f.motion(0);
    EXPECT_EQ(f.y, 380);
    EXPECT_DOUBLE_EQ(f.vy, 0);
    f.y = -10;
    f.vy = -5;
    f.motion(0);
    EXPECT_EQ(f.y, 0);
    EXPECT_DOUBLE_EQ(f.vy, 0);
}

TEST_F(Motion, WithEdgeKillEveryWallKills) {
    f.edge_kill = 1;
    f.facing = 0;
    struct {
        int x, y, ex, ey;
    } cases[] = {{-1, 200, 0, 200}, {300, -1, 300, 0}, {931, 200, 930, 200}, {300, 381, 300, 380}};
    for (auto& c : cases) {
        f.hp = 1;
        f.x = c.x;
        f.y = c.y;
        f.motion(0);
        EXPECT_EQ(f.hp, -1) << c.x << "," << c.y;
        EXPECT_EQ(f.x, c.ex);
        EXPECT_EQ(f.y, c.ey);
    }
    f.hp = 1;
    f.x = 930;
    f.y = 380;
    f.motion(0);
    EXPECT_EQ(f.hp, 1); // exactly at the edge is still inside
}

// ---------------------------------------------------------------------------------------
// Moves, priorities and hits (a screen, since moves draw)

struct Fighter : ::testing::Test {
    scratch_dir dir;
    test_stage stage;
    std::string body, other;
    void SetUp() override {
        ASSERT_TRUE(open_test_screen(false));
        clock_set_source(test_clock);
        body = box_picture(dir, "body.bmp", 20, 40, 2, 0, 18, 40);
        other = box_picture(dir, "other.bmp", 30, 50, 0, 0, 30, 50, BLUE);
    }
    void TearDown() override { clock_set_source(nullptr); }
    // A fighter with still image 0 and `moves` moves of one 3-tick frame each.
    void equip(combatant& c, int moves) {
        c.images.push_back(Image_Manager.get(body.c_str()));
        give_moves(c, dir, other, moves);
        c.x = 100;
        c.y = 200;
    }
    // The move number the stack is playing, or -1.
    static int playing(combatant& c) {
        if (stack_empty(c.stack)) return -1;
        for (size_t i = 0; i < c.moves.size(); i++)
            if (c.moves[i] && c.moves[i]->entries[0].def.get() == (*c.stack)[0]->def) return (int)i;
        return -2;
    }
};

TEST_F(Fighter, StartMoveSetsTheStackSizeAndState) {
    combatant f;
    equip(f, 3);
    EXPECT_EQ(f.start_move(2, 1), 1);
    EXPECT_EQ(playing(f), 2);
    EXPECT_EQ(f.move_state, MOVE_PLAYING);
    EXPECT_EQ(f.cur_priority, 1);
    EXPECT_EQ(f.w, 30);
    EXPECT_EQ(f.h, 50);
}

TEST_F(Fighter, EqualPriorityReplacesALowerOneIsRefusedAndAnEndedMoveTakesAny) {
    combatant f;
    equip(f, 3);
    f.start_move(0, 5);
    f.start_move(1, 5);
    EXPECT_EQ(playing(f), 1);
    log_capture log;
    f.start_move(2, 4);
    EXPECT_EQ(playing(f), 1);
    EXPECT_TRUE(log.has("curpri[5]>pri[4]\n"));
    // The move runs out (3 ticks): any priority, even 0, is taken.
    for (int i = 0; i < 3; i++) f.display();
    EXPECT_TRUE(stack_empty(f.stack));
    f.start_move(2, 0);
    EXPECT_EQ(playing(f), 2);
    EXPECT_EQ(f.cur_priority, 0);
}

TEST_F(Fighter, AMoveTheFighterDoesNotHaveIsNotStarted) {
    combatant f;
    equip(f, 2);
    f.start_move(0, 1);
    log_capture log;
    EXPECT_EQ(f.start_move(18, 1), 1);
    EXPECT_EQ(f.start_move(-1, 1), 1);
    EXPECT_EQ(playing(f), 0);
    EXPECT_EQ(log.count("has no move"), 2);
}

TEST_F(Fighter, ReadyFollowsActionPriorityAndSetsTheEarlyFlag) {
    combatant f;
    equip(f, 1);
    std::vector<anim_frame> eight(8, anim_frame{other, 1, {}});
    f.moves.push_back(move_group(anim_file(dir, "eight.ini", eight)));
    EXPECT_TRUE(f.ready());
    f.action = 3;
    EXPECT_FALSE(f.ready());
    f.action = 0;
    f.start_move(1, 2);
    EXPECT_FALSE(f.ready());
    EXPECT_EQ(f.early, 1); // frame 0 of 8
    f.display();
    f.display();
    f.ready();
    EXPECT_EQ(f.early, 1); // frame 2 <= 8 / 4
    f.display();
    f.ready();
    EXPECT_EQ(f.early, 0); // frame 3
    f.cur_priority = 0;
    EXPECT_TRUE(f.ready()); // a move of priority 0 never blocks
}

TEST_F(Fighter, AnEndedMoveReturnsToTheStillImage) {
    combatant f;
    equip(f, 1);
    f.cur_image = 3;
    f.start_move(0, 1);
    f.display();
    f.display();
    EXPECT_EQ(f.move_state, MOVE_PLAYING);
    f.display();
    EXPECT_EQ(f.move_state, MOVE_NONE);
    EXPECT_EQ(f.cur_image, 0);
    EXPECT_EQ(f.w, 20);
    EXPECT_EQ(f.h, 40);
    EXPECT_EQ(f.ticks, 0); // a playing move does not count as a still display
    f.display();
    EXPECT_EQ(f.ticks, 1);
}

TEST_F(Fighter, ALoopingMoveKeepsPlaying) {
    combatant f;
    equip(f, 0);
    f.moves.push_back(move_group(anim_file(dir, "loop.ini", {{other, 1, {}}, {body, 1, {}}}, 1)));
    f.start_move(0, 1);
    for (int i = 0; i < 5; i++) f.display();
    EXPECT_EQ(f.move_state, MOVE_PLAYING);
    EXPECT_EQ((*f.stack)[0]->frame_index, 1);
}

TEST_F(Fighter, MetersAreCappedAt100) {
    combatant f;
    f.meters[0] = 95;
    f.meters[1] = 99;
    f.meters[2] = 3;
    f.add_to_meters(10, 5, 1);
    EXPECT_EQ(f.meters[0], 100);
    EXPECT_EQ(f.meters[1], 100);
    EXPECT_EQ(f.meters[2], 4);
    f.add_to_meters(250, 0, 0);
    EXPECT_EQ(f.meters[0], 100);
}

TEST_F(Fighter, AHitCostsTenAProjectileTwentyFiveAndFillsTheAttackersMeters) {
    combatant victim, attacker, bullet;
    equip(victim, 8);
    victim.hp = 100;
    now_ms = 4321;
    victim.take_hit(&attacker);
    EXPECT_EQ(victim.hp, 90);
    EXPECT_EQ(victim.damage_taken, 10);
    EXPECT_EQ(victim.hits_taken, 1);
    EXPECT_EQ(attacker.hits_landed, 1);
    EXPECT_EQ(attacker.damage_dealt, 10);
    EXPECT_EQ(attacker.meters[0], 10);
    EXPECT_EQ(attacker.meters[1], 5);
    EXPECT_EQ(attacker.meters[2], 1);
    EXPECT_EQ(victim.stance, 2);
    EXPECT_EQ(victim.action, 2);
    EXPECT_EQ(victim.hit_posture, 1);
    EXPECT_EQ(victim.hit_time, 4321u);
    EXPECT_EQ(victim.freeze, 4);
    EXPECT_EQ(victim.move_state, MOVE_PLAYING);

    victim.move_state = MOVE_NONE;
    victim.freeze = 0;
    bullet.kind = KIND_PROJECTILE;
    victim.take_hit(&bullet);
    EXPECT_EQ(victim.hp, 65);
    EXPECT_EQ(victim.damage_taken, 35);
    EXPECT_EQ(bullet.damage_dealt, 25);
    EXPECT_EQ(victim.freeze, 0); // projectiles do not freeze
}

TEST_F(Fighter, NoDamageDuringAMoveWithPriorityOrBetweenTheDead) {
    combatant victim, attacker;
    equip(victim, 8);
    victim.hp = 50;
    victim.start_move(0, 1);
    victim.take_hit(&attacker);
    EXPECT_EQ(victim.hp, 50);
    EXPECT_EQ(attacker.hits_landed, 0);
    victim.empty_stack();
    victim.start_move(1, 0); // a move without priority (walking) shields nothing
    victim.take_hit(&attacker);
    EXPECT_EQ(victim.hp, 40);
    victim.hp = 50;
    victim.move_state = MOVE_NONE;
    attacker.hp = -1;
    victim.take_hit(&attacker);
    EXPECT_EQ(victim.hp, 50);
    attacker.hp = 10;
    victim.hp = -1;
    victim.take_hit(&attacker);
    EXPECT_EQ(victim.hp, -1);
}

TEST_F(Fighter, TheReactionFollowsBothPostures) {
    struct {
        int victim_posture, attacker_posture, attacker_action, move;
    } cases[] = {
        {1, 1, 0, 2}, // standing exchange
        {1, 2, 0, 1}, // jumping attacker
        {0, 1, 0, 6}, // crouching victim
        {0, 2, 0, 6}, // crouching victim beats the jumping attacker
        {2, 1, 0, 7}, // jumping victim is knocked down
        {1, 0, 0, 7}, // low attack
        {1, 1, 9, 7}, // travelling special
    };
    for (auto& c : cases) {
        combatant victim, attacker;
        equip(victim, 8);
        victim.hp = 100;
        victim.posture = c.victim_posture;
        attacker.posture = c.attacker_posture;
        attacker.action = c.attacker_action;
        victim.take_hit(&attacker);
        EXPECT_EQ(playing(victim), c.move)
            << c.victim_posture << " " << c.attacker_posture << " " << c.attacker_action;
        EXPECT_EQ(victim.cur_priority, 3);
    }
}

TEST_F(Fighter, TheThirdHitInARowKnocksDownAndTheFourthDoesNot) {
    combatant victim, attacker;
    equip(victim, 8);
    victim.hp = 100;
    int moves[4];
    for (int i = 0; i < 4; i++) {
        victim.move_state = MOVE_NONE; // the reaction has ended
        victim.take_hit(&attacker);
        moves[i] = playing(victim);
    }
    EXPECT_EQ(moves[0], 2);
    EXPECT_EQ(moves[1], 2);
    EXPECT_EQ(moves[2], 7);
    EXPECT_EQ(moves[3], 2);
    EXPECT_EQ(victim.hits_in_row, 4);
    EXPECT_EQ(victim.knockdowns, 1);
    EXPECT_EQ(victim.knockdown_streak, 1);
    // Hitting back starts the count again.
    attacker.move_state = MOVE_NONE;
    attacker.hp = 100;
    attacker.take_hit(&victim);
    EXPECT_EQ(victim.hits_in_row, 0);
}

TEST_F(Fighter, ADizzyVictimLosesItsStreakAndKeepsItsReaction) {
    combatant victim, attacker;
    equip(victim, 8);
    victim.hp = 100;
    victim.action = 12;
    victim.knockdown_streak = 2;
    victim.recovery_timer = 17;
    attacker.posture = 0; // a low attack: 7 anyway
    victim.take_hit(&attacker);
    EXPECT_EQ(victim.knockdown_streak, 0);
    EXPECT_EQ(victim.knockdowns, 0);
    EXPECT_EQ(victim.recovery_timer, 0);
    EXPECT_EQ(playing(victim), 7);
}

TEST_F(Fighter, AThirdKnockdownRaisesTheRecoveryTimer) {
    combatant victim, attacker;
    equip(victim, 8);
    victim.hp = 100;
    victim.knockdown_streak = 3;
    victim.recovery_timer = 5;
    victim.take_hit(&attacker); // an ordinary hit: timer raised and kept
    EXPECT_EQ(victim.recovery_timer, 3 * fps);
    EXPECT_EQ(victim.knockdown_streak, 3);
}

TEST_F(Fighter, BackwardMotionStopsOnAHitForwardMotionDoesNot) {
    combatant victim, attacker;
    equip(victim, 8);
    victim.hp = 100;
    victim.facing = 1;
    victim.vx = -2;
    victim.ax = -1;
    victim.take_hit(&attacker);
    EXPECT_DOUBLE_EQ(victim.vx, 0);
    EXPECT_DOUBLE_EQ(victim.ax, 0);
    victim.move_state = MOVE_NONE;
    victim.vx = 2;
    victim.ax = 1;
    victim.take_hit(&attacker);
    EXPECT_DOUBLE_EQ(victim.vx, 2);
    EXPECT_DOUBLE_EQ(victim.ax, 1);
}

TEST_F(Fighter, AFighterWithFewMovesTakesHitsWithoutAReactionMove) {
    combatant victim, attacker;
    equip(victim, 3); // no move 6 or 7
    victim.hp = 100;
    victim.posture = 0;
    victim.take_hit(&attacker);
    EXPECT_EQ(victim.hp, 90);
    EXPECT_TRUE(stack_empty(victim.stack));
    EXPECT_EQ(victim.move_state, MOVE_PLAYING);
}

TEST_F(Fighter, AFrozenFighterShowsItsStillImageAndItsMoveWaits) {
    combatant victim, attacker;
    equip(victim, 8);
    victim.hp = 100;
    victim.take_hit(&attacker);
    ASSERT_EQ(victim.freeze, 4);
    for (int i = 0; i < 4; i++) {
        victim.display();
        EXPECT_EQ((*victim.stack)[0]->remaining, 3) << i;
        EXPECT_EQ(victim.last_image, victim.images[0]);
    }
    EXPECT_EQ(victim.freeze, 0);
    victim.display();
    EXPECT_EQ((*victim.stack)[0]->remaining, 2);
}

// ---------------------------------------------------------------------------------------
// Display in software mode

struct Display : Fighter {
    void SetUp() override {
        Fighter::SetUp();
        // 20 x 40: red box at columns 2..17 with a blue stripe at 2..4 that shows the facing.
        SDL_Surface* s = make_picture(20, 40, KEY);
        paint(s, 2, 0, 16, 40, RED);
        paint(s, 2, 0, 3, 40, BLUE);
        body = save_picture(s, dir, "facing.bmp");
        fill_screen(WHITE);
    }
};

TEST_F(Display, TheStillImageIsDrawnAtItsPositionInItsFacing) {
    combatant f;
    equip(f, 0);
    f.display();
    EXPECT_COLOUR(103, 210, BLUE);
    EXPECT_COLOUR(110, 210, RED);
    EXPECT_COLOUR(101, 210, WHITE);
    EXPECT_EQ(f.last_image, f.images[0]);
    EXPECT_EQ(f.ticks, 1);

    fill_screen(WHITE);
    f.facing = 1;
    f.display();
    EXPECT_COLOUR(116, 210, BLUE);
    EXPECT_COLOUR(103, 210, RED);
    EXPECT_COLOUR(118, 210, WHITE);
}

TEST_F(Display, TheCameraAndTheScaleMoveTheDrawing) {
    combatant f;
    equip(f, 0);
    stage.stage.x_offset = 50;
    stage.stage.y_offset = 20;
    f.display();
    EXPECT_COLOUR(53, 190, BLUE);
    fill_screen(WHITE);
    stage.stage.x_offset = 0;
    stage.stage.y_offset = 0;
    f.scale = 2.0; // x divided by the scale, drawn twice as large anchored at the bottom
    f.x = 200;
    f.display();
    // draw_anchored at (100, 200) with zoom 2: box from x 200, bottom at 240
    EXPECT_COLOUR(205, 230, BLUE);
    EXPECT_COLOUR(215, 230, RED);
    EXPECT_COLOUR(215, 245, WHITE);
}

TEST_F(Display, TheShadowIsAFlattenedHalfTransparentCopyAtTheBottomBand) {
    combatant f;
    equip(f, 0);
    f.display();          // the first display only sets the last drawn image
    EXPECT_COLOUR(110, 441, WHITE);
    fill_screen(WHITE);
    f.display();
    rgb s = screen_at(110, 441);
    EXPECT_EQ(s.r, 255);
    EXPECT_NEAR(s.g, 128, 3);
    EXPECT_NEAR(s.b, 128, 3);
    rgb stripe = screen_at(103, 441);
    EXPECT_NEAR(stripe.r, 128, 3);
    EXPECT_NEAR(stripe.b, 255, 3);
    EXPECT_COLOUR(110, 436, WHITE); // 40 rows flattened to 4: 440..443
    EXPECT_COLOUR(110, 445, WHITE);
    EXPECT_EQ(f.images[0]->alpha, 255); // given back after the shadow
    EXPECT_COLOUR(110, 210, RED);
}

TEST_F(Display, OffScreenLifeformsAreNotDrawn) {
    combatant f;
    equip(f, 0);
    f.x = 700;
    log_capture log;
    f.display();
    EXPECT_TRUE(log.has("OFFSCREEN [700,200]\n"));
    EXPECT_EQ(f.last_image, nullptr);
    EXPECT_EQ(f.collision_image(), nullptr);
    EXPECT_EQ(f.ticks, 1);
    f.x = -21; // x + w < 0
    f.w = 20;
    f.display();
    EXPECT_TRUE(log.has("OFFSCREEN [-21,200]\n"));
    f.x = -20;
    f.display();
    EXPECT_NE(f.last_image, nullptr);
}

TEST_F(Display, MissingImagesAreReportedAndImageZeroStandsIn) {
    combatant none;
    log_capture log;
    none.display();
    char line[96];
    snprintf(line, sizeof line, "WARNING: lifeform[%x] has no images at all\n", ptr_id(&none));
    EXPECT_TRUE(log.has(line));
    EXPECT_EQ(none.last_image, nullptr);

    combatant f;
    equip(f, 0);
    f.images.push_back(nullptr);
    f.images.push_back(Image_Manager.get(other.c_str()));
    f.cur_image = 1;
    f.display();
    EXPECT_TRUE(log.has("Asset for state [1] not set\n"));
    EXPECT_EQ(f.last_image, f.images[0]);
    EXPECT_EQ(f.w, 20);
    EXPECT_EQ(f.collision_image(), f.images[0]);
    f.cur_image = 9; // beyond the list: image 0
    f.display();
    EXPECT_EQ(f.cur_image, 0);
    f.cur_image = 2;
    f.display();
    EXPECT_EQ(f.last_image, f.images[2]);
    EXPECT_EQ(f.h, 50);
}

TEST_F(Display, AMoveIsPlayedAtTheFightersPositionAndFacing) {
    combatant f;
    equip(f, 0);
    f.moves.push_back(move_group(anim_file(dir, "pose.ini", {{body, 2, {}}})));
    f.facing = 1;
    f.start_move(0, 1);
    fill_screen(WHITE);
    f.display();
    EXPECT_COLOUR(116, 210, BLUE);
    EXPECT_COLOUR(103, 210, RED);
    EXPECT_EQ(f.last_image, f.moves[0]->entries[0].def->frames[0].image);
    EXPECT_EQ(f.moves[0]->entries[0].def->mirrored, 1);
}

TEST_F(Display, ASpinningFrameTurnsAgainstTheFacingAndShiftsTheShadow) {
    combatant f;
    equip(f, 0);
    f.moves.push_back(move_group(anim_file(dir, "spin.ini", {{body, 3, {{"spin", "10"}}}, {body, 3, {}}})));
    anim_mgr* def = f.moves[0]->entries[0].def.get();
    f.start_move(0, 1);
    int angles[3];
    for (int i = 0; i < 3; i++) {
        f.display();
        angles[i] = def->angle;
    }
    EXPECT_EQ(angles[0], 10);
    EXPECT_EQ(angles[1], 20);
    EXPECT_EQ(angles[2], 0); // drawn at 30, then the frame changed

    combatant g;
    equip(g, 0);
    g.moves.push_back(move_group(anim_file(dir, "spin.ini", {{body, 3, {{"spin", "10"}}}, {body, 3, {}}})));
    def = g.moves[0]->entries[0].def.get();
    g.facing = 1;
    g.start_move(0, 1);
    g.display();
    EXPECT_EQ(def->angle, -10);
    fill_screen(WHITE);
    g.display();
    EXPECT_EQ(def->angle, -20);
    // Facing right with a spinning frame, the shadow lies 40 pixels further right.
    rgb shifted = screen_at(150, 441), usual = screen_at(105, 441);
    EXPECT_EQ(shifted.r, 255);
    EXPECT_NEAR(shifted.g, 128, 3);
    EXPECT_TRUE(same(usual, WHITE));
}

// ---------------------------------------------------------------------------------------
// Collisions

TEST_F(Fighter, TheCollisionImageIsTheNextFrameOnAFramesLastTick) {
    combatant f;
    equip(f, 0);
    std::string third = box_picture(dir, "third.bmp", 10, 10, 0, 0, 10, 10);
    f.moves.push_back(move_group(anim_file(dir, "three.ini",
                                           {{body, 2, {}}, {other, 1, {}}, {third, 1, {}}})));
    anim_mgr* def = f.moves[0]->entries[0].def.get();
    f.start_move(0, 1);
    f.display(); // frame 0, one tick left
    EXPECT_EQ(f.collision_image(), def->frames[1].image);
    f.display(); // frame 1, its only tick left
    EXPECT_EQ(f.collision_image(), def->frames[2].image);
    f.display(); // frame 2
    EXPECT_EQ(f.collision_image(), def->frames[0].image); // wraps to frame 0
    f.freeze = 1;
    f.cur_image = 0;
    EXPECT_EQ(f.collision_image(), f.images[0]);

    combatant g;
    equip(g, 0);
    g.moves.push_back(move_group(anim_file(dir, "long.ini", {{other, 5, {}}})));
    g.start_move(0, 1);
    g.display();
    EXPECT_EQ(g.collision_image(), g.last_image); // 4 ticks left
}

TEST_F(Fighter, CollidesComparesTheLastDrawnBoxes) {
    combatant a, b;
    equip(a, 0);
    equip(b, 0);
    log_capture log;
    EXPECT_FALSE(a.collides(&b));
    char line[96];
    snprintf(line, sizeof line, "WARNING - Bound checks, never displayed [%x]\n", ptr_id(&a));
    EXPECT_TRUE(log.has(line));

    a.display();
    b.x = 116; // a's box ends at 118 (exclusive), b's starts at 118: one shared edge
    b.display();
    EXPECT_TRUE(a.collides(&b));
    EXPECT_TRUE(b.collides(&a));
    b.x = 117;
    b.display();
    EXPECT_FALSE(a.collides(&b));
    b.x = 110;
    b.y = 300; // below a
    b.display();
    EXPECT_FALSE(a.collides(&b));
}

} // namespace
