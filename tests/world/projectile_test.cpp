// Projectiles, the think step and weapons: launch position and fields, the copied move, the
// flight and its death at the edge, fire frames during play, the path exchange, and weapon
// firing, cooldowns and snapshots.
#include <gtest/gtest.h>

#include <cstring>

#include "fighter_helpers.h"
#include "foundation/clock.h"
#include "input/path.h"
#include "world/projectile.h"
#include "world/weapon.h"

namespace {

struct Projectile : ::testing::Test {
    scratch_dir dir;
    test_stage stage;
    std::string body, ball;
    combatant shooter;

    void SetUp() override {
        ASSERT_TRUE(open_test_screen(false));
        body = box_picture(dir, "body.bmp", 80, 100, 0, 0, 80, 100);
        ball = box_picture(dir, "ball.bmp", 24, 16, 0, 0, 24, 16, BLUE);
        shooter.images.push_back(Image_Manager.get(body.c_str()));
        give_moves(shooter, dir, body, 13);
        shooter.moves.push_back(move_group(anim_file(dir, "ball.ini", {{ball, 2, {}}, {ball, 2, {}}}, 1)));
        shooter.x = 100;
        shooter.y = 200;
        shooter.w = 80;
        shooter.side = 1;
        shooter.scale = 1.25;
    }
    frame fire_frame(float speed) {
        frame f;
        f.fire = 1;
        f.firespeed = speed;
        return f;
    }
};

TEST_F(Projectile, ItStartsInFrontOfTheShooterAndAcceleratesAwayFromIt) {
    frame f = fire_frame(0.6f);
    shooter.facing = 1;
    combatant* right = launch(&shooter, &f);
    ASSERT_NE(right, nullptr);
    EXPECT_EQ(right->x, 140);
    EXPECT_EQ(right->y, 250);
    EXPECT_DOUBLE_EQ(right->ax, (double)0.6f);
    EXPECT_EQ(right->facing, 1);

    shooter.facing = 0;
    combatant* left = launch(&shooter, &f);
    EXPECT_EQ(left->x, 100);
    EXPECT_EQ(left->y, 250);
    EXPECT_DOUBLE_EQ(left->ax, -(double)0.6f);
    EXPECT_DOUBLE_EQ(left->vx, 0);
    EXPECT_DOUBLE_EQ(left->ay, 0);
}

TEST_F(Projectile, ItCarriesTheFieldsOfAProjectileAndJoinsTheRegistryLast) {
    combatant* first = new combatant();
    Combatant_Manager.Objects.push_back(first);
    frame f = fire_frame(0.25f);
    combatant* p = launch(&shooter, &f);
    ASSERT_EQ(Combatant_Manager.count(), 2);
    EXPECT_EQ(Combatant_Manager.Objects[1], p);

    ASSERT_EQ(p->moves.size(), 15u);
    EXPECT_NE(p->moves[14], nullptr);
    EXPECT_EQ(p->moves[0], p->moves[14]);
    EXPECT_EQ(p->moves[1], p->moves[14]);
    for (int i = 2; i < 14; i++) EXPECT_EQ(p->moves[(size_t)i], nullptr) << i;
    ASSERT_EQ(p->images.size(), 1u);
    EXPECT_EQ(p->images[0], Image_Manager.get(PROJECTILE_IMAGE));
    EXPECT_EQ(p->side, 1);
    EXPECT_DOUBLE_EQ(p->scale, 1.25);
    EXPECT_EQ(p->w, 24);
    EXPECT_EQ(p->h, 16);
    EXPECT_EQ(p->stack->size(), 1);
    EXPECT_EQ(p->move_state, MOVE_FLIGHT);
    EXPECT_EQ(p->cur_image, 4);
    EXPECT_EQ(p->kind, KIND_PROJECTILE);
    EXPECT_EQ(p->edge_kill, 1);
    EXPECT_DOUBLE_EQ(p->speed, 0.1);
    EXPECT_EQ(p->hp, 1);
    EXPECT_EQ(p->posture, 1);
    EXPECT_EQ(p->stance, 4);
    EXPECT_EQ(p->action, 4);
    ASSERT_NE(p->path, nullptr);
    EXPECT_EQ(p->path->steps, 1);
    EXPECT_EQ(p->path->mode[0], 7);
}

TEST_F(Projectile, AFireFrameWithoutAFireSpeedLaunchesAtAQuarter) {
    std::string shot = anim_file(dir, "shot.ini", {{body, 1, {{"fire", "1"}}}});
    anim_mgr def;
    def.load(shot.c_str());
    shooter.facing = 1;
    EXPECT_DOUBLE_EQ(launch(&shooter, &def.frames[0])->ax, 0.25);
    shooter.facing = 0;
    EXPECT_DOUBLE_EQ(launch(&shooter, &def.frames[0])->ax, -0.25);
}

TEST_F(Projectile, ItPlaysACopyOfMove13AndLeavesTheShootersOwn) {
    frame f = fire_frame(0.25f);
    shooter.start_move(13, 1);
    animation* own = (*shooter.stack)[0];
    combatant* p = launch(&shooter, &f);
    EXPECT_NE(p->moves[14], shooter.moves[13]);
    EXPECT_EQ(p->moves[14]->entries[0].def.get(), shooter.moves[13]->entries[0].def.get());
    for (int i = 0; i < 3; i++) p->display();
    EXPECT_EQ((*p->stack)[0]->frame_index, 1);
    EXPECT_EQ(own->frame_index, 0);
    EXPECT_EQ(own->remaining, 2);
    EXPECT_TRUE(stack_empty(shooter.moves[13]->stack));
    EXPECT_EQ(p->last_image, Image_Manager.get(ball.c_str()));
}

TEST_F(Projectile, AShooterWithoutMove13LaunchesNothing) {
    combatant bare;
    give_moves(bare, dir, body, 5);
    frame f = fire_frame(0.25f);
    log_capture log;
    EXPECT_EQ(launch(&bare, &f), nullptr);
    EXPECT_EQ(Combatant_Manager.count(), 0);
    EXPECT_TRUE(log.has("has no move [13] to fire"));
    // Nor does a fire frame in one of its moves.
    bare.moves.push_back(move_group(anim_file(dir, "fire.ini", {{body, 1, {{"fire", "1"}}}})));
    bare.start_move(5, 1);
    bare.display();
    EXPECT_EQ(Combatant_Manager.count(), 0);
}

TEST_F(Projectile, AFireFrameOfRateThreeLaunchesOnceWhenItEnds) {
    std::vector<anim_frame> frames = {{body, 3, {{"fire", "1"}, {"firespeed", "0.5"}}},
                                      {body, 2, {}}};
    delete shooter.moves[0];
    shooter.moves[0] = move_group(anim_file(dir, "shoot.ini", frames));
    shooter.facing = 1;
    shooter.start_move(0, 1);
    int counts[5];
    for (int i = 0; i < 5; i++) {
        shooter.display();
        launch_fired(&shooter); // what the match does after each display
        counts[i] = Combatant_Manager.count();
    }
    EXPECT_EQ(counts[0], 0);
    EXPECT_EQ(counts[1], 0);
    EXPECT_EQ(counts[2], 1);
    EXPECT_EQ(counts[3], 1);
    EXPECT_EQ(counts[4], 1);
    EXPECT_DOUBLE_EQ(Combatant_Manager.Objects[0]->ax, 0.5);
}

TEST_F(Projectile, ItFliesFortyTimesItsVelocityAndDiesAtTheEdge) {
    frame f = fire_frame(0.25f);
    shooter.facing = 0;
    combatant* p = launch(&shooter, &f);
    p->x = 50;
    p->motion(1); // vx -0.25: 40 x -0.25 = -10
    EXPECT_EQ(p->x, 40);
    EXPECT_TRUE(p->alive());
    p->x = 3;
    p->motion(1); // vx -0.5: -20
    EXPECT_EQ(p->x, 0);
    EXPECT_DOUBLE_EQ(p->vx, 0);
    EXPECT_EQ(p->hp, -1);
    EXPECT_FALSE(p->alive());
}

TEST_F(Projectile, WhenItsMoveEndsItShowsTheStillImage) {
    std::string once = anim_file(dir, "once.ini", {{ball, 1, {}}});
    shooter.moves[13] = move_group(once);
    frame f = fire_frame(0.25f);
    combatant* p = launch(&shooter, &f);
    p->display();
    EXPECT_EQ(p->move_state, MOVE_NONE);
    EXPECT_EQ(p->cur_image, 0);
    p->display(); // the bullet picture, which this test folder does not have: nothing drawn
    EXPECT_EQ(p->ticks, 1);
}

// ---------------------------------------------------------------------------------------
// Think and weapons

struct Think : ::testing::Test {
    test_stage stage;
    Uint8* keys = nullptr;
    int nkeys = 0;
    void SetUp() override {
        ASSERT_TRUE(open_test_screen(false));
        keys = SDL_GetKeyState(&nkeys);
        memset(keys, 0, (size_t)nkeys);
    }
    void TearDown() override {
        memset(keys, 0, (size_t)nkeys);
        random_set_source(nullptr);
    }
};

TEST_F(Think, WithoutAPathItWarnsAndDoesNothing) {
    combatant f;
    f.vx = 3;
    log_capture log;
    f.think();
    char line[96];
    snprintf(line, sizeof line, "Warning [projectile]: This lifeform does not have a path [%x]\n",
             ptr_id(&f));
    EXPECT_TRUE(log.has(line));
    EXPECT_DOUBLE_EQ(f.vx, 3);
}

TEST_F(Think, ThePathGetsTheLifeformsStateAndGivesBackSpeedsStepAndOpponent) {
    path p;
    p.add_step(7, 0, 0, 0, 0);
    p.add_step(8, 0, 0, 0, 0);
    combatant f;
    f.path = &p;
    f.x = 11;
    f.y = 22;
    f.vx = 1.5;
    f.vy = 4;
    f.ticks = 77;
    f.facing = 1;
    f.path_flag = 1;
    for (int i = 0; i < AI_WEIGHTS; i++) f.ai_weights[i] = 10 + i;
    f.think();
    EXPECT_DOUBLE_EQ(f.vx, 1.5);
    EXPECT_DOUBLE_EQ(f.vy, 0); // mode 7
    EXPECT_EQ(f.path_value, 1);
    EXPECT_EQ(f.path_flag, 1);
    EXPECT_EQ(p.x, 11);
    EXPECT_EQ(p.y, 22);
    EXPECT_EQ(p.age, 77);
    EXPECT_EQ(p.mirrored, 1);
    EXPECT_EQ(p.keys, &f.keys);
    EXPECT_EQ(f.keys.mirrored, 1);
    for (int i = 0; i < AI_WEIGHTS; i++) EXPECT_EQ(p.weights[i], 10 + i);
    f.vy = 4;
    f.think(); // step 1: mode 8 does nothing
    EXPECT_DOUBLE_EQ(f.vy, 4);
    EXPECT_EQ(f.path_value, 0);
}

TEST_F(Think, TheFirstKeySetSteersAFightersPath) {
    path p;
    p.add_step(3, 0, 0, 0, 0);
    combatant f;
    f.path = &p;
    keys[SDLK_LEFT] = 1;
    keys[SDLK_k] = 1;
    f.think();
    EXPECT_DOUBLE_EQ(f.vx, -1);
    EXPECT_EQ(p.action, 3);
}

// A fighter with three weapons of two streams each.
struct Armed : Think {
    path p;
    combatant f;
    void SetUp() override {
        Think::SetUp();
        f.path = &p;
        for (int i = 0; i < 3; i++) {
            weapon* w = new weapon();
            w->streams = {{0, 0}, {5, 0}};
            f.weapons.push_back(w);
        }
    }
};

TEST_F(Armed, AnActionFiresWeaponActionMinusOne) {
    p.add_step(3, 0, 0, 0, 0);
    keys[SDLK_k] = 1; // action 3: weapon 2
    f.side = 1;
    f.display(); // cooldowns into the snapshot, which think restores
    log_capture log;
    f.think();
    EXPECT_TRUE(log.has("fireing [3]\n"));
    EXPECT_EQ(log.count("Before new proj\n"), 1); // only the cooled-down stream
    EXPECT_EQ(f.weapons[2]->side, 1);
    EXPECT_EQ(f.weapons[0]->side, 0);
}

TEST_F(Armed, AnActionWithoutItsWeaponFiresNothing) {
    p.add_step(3, 0, 0, 0, 0);
    keys[SDLK_SPACE] = 1; // action 0: weapon -1
    log_capture log;
    f.think();
    EXPECT_TRUE(log.has("fireing [0]\n"));
    EXPECT_FALSE(log.has("Before new proj"));
}

// Drift: move (50, then 0 for the speed), no vertical change, the spare draw, then 99.
int drift_draws[] = {50, 0, 0, 0, 99};
int drift_next = 0;
int drift_random() { return drift_draws[drift_next++ % 5]; }

TEST_F(Armed, ASecondActionFiresTheSecondWeaponWhenReady) {
    p.add_step(4, 0, 0, 0, 0); // drift: the fifth draw (99) asks for the second weapon
    random_set_source(drift_random);
    drift_next = 0;
    f.display(); // cooldowns into the snapshot, which think restores
    log_capture log;
    f.think();
    EXPECT_EQ(p.action2, 1);
    EXPECT_EQ(log.count("Before new proj\n"), 1);
    f.weapons[1]->disabled = 1;
    drift_next = 0;
    f.think();
    EXPECT_TRUE(log.has("Weapon 1 failed test!!\n"));
}

TEST_F(Armed, CooldownsRunDownOnDisplayAndSurviveInTheSnapshot) {
    p.add_step(7, 0, 0, 0, 0);
    f.display();
    EXPECT_EQ(f.weapons[0]->streams[1].cooldown, 4);
    EXPECT_EQ(f.weapon_snapshot[0][1], 4);
    EXPECT_EQ(f.weapon_snapshot[2][1], 4);
    f.weapons[0]->streams[1].cooldown = 300; // think restores from the snapshot's low bytes
    f.weapon_snapshot[0][1] = 9;
    f.think();
    EXPECT_EQ(f.weapons[0]->streams[1].cooldown, 9);
    f.weapons[1]->streams[0].cooldown = 0x1234;
    f.display();
    EXPECT_EQ(f.weapon_snapshot[1][0], 0x33);
}

TEST(Weapon, UpdateFireAndReady) {
    weapon w;
    log_capture log;
    w.fire(0, 1, 0, 0, 10, 10, 0);
    char line[96];
    snprintf(line, sizeof line, "FAULT: This weapon does not have any streams [%x]\n", ptr_id(&w));
    EXPECT_TRUE(log.has(line));
    w.streams = {{2, 0}, {0, 1}, {0, 0}};
    w.update();
    EXPECT_EQ(w.streams[0].cooldown, 1);
    EXPECT_EQ(w.streams[1].cooldown, 0);
    log.reset();
    w.fire(0, 1, 0, 0, 10, 10, 0);
    EXPECT_EQ(log.count("Before new proj\n"), 1); // the blocking stream and the hot one stay
    EXPECT_TRUE(w.ready());
    w.disabled = 1;
    EXPECT_FALSE(w.ready());
}

} // namespace
