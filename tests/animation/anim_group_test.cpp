// Playback through groups: frame timing with and without loop, a frame's sound, spin and
// stage effects on every tick it is shown, entries without frames, and copying groups.
#include <gtest/gtest.h>

#include <vector>

#include "anim_files.h"
#include "animation/anim_group.h"
#include "world/level.h"
#include "world/mon_mgr.h"

namespace {

struct AnimGroup : ::testing::Test {
    scratch_dir d;
    void SetUp() override { ASSERT_TRUE(open_test_screen(false)); }

    // A definition whose frame i is (i + 1) * 10 pixels wide, loaded from a file.
    anim_mgr* make(const std::vector<int>& rates, const std::string& extra = "") {
        std::string path = write_animation(d, "a" + std::to_string(files++) + ".ini",
                                           width_pictures(d, (int)rates.size()), rates, extra);
        anim_mgr* a = new anim_mgr();
        a->load(path.c_str());
        return a;
    }
    // The frame the last tick drew, told by its width.
    static int drawn(anim_mgr* a) { return a->cur_width / 10 - 1; }
    int files = 0;
};

TEST_F(AnimGroup, WithoutLoopTheEndEmptiesTheStackAndTheNextDisplayStartsAgain) {
    anim_mgr* a = make({3, 1, 2});
    anim_group g;
    EXPECT_EQ(0, g.add(a, 0, 0));
    std::vector<int> seen;
    for (int tick = 1; tick <= 7; tick++) {
        EXPECT_EQ(1, g.display(0, 0));
        seen.push_back(drawn(a));
        if (tick == 6) {
            EXPECT_TRUE(stack_empty(g.stack));
        }
    }
    EXPECT_EQ((std::vector<int>{0, 0, 0, 1, 2, 2, 0}), seen);
    ASSERT_FALSE(stack_empty(g.stack));
    EXPECT_EQ(2, (*g.stack)[0]->remaining); // a fresh instance, one tick into frame 0
    EXPECT_EQ(10, g.max_width);
    EXPECT_EQ(10, g.max_height);
}

TEST_F(AnimGroup, WithLoopTheSameInstanceGoesBackToFrameZero) {
    anim_mgr* a = make({3, 1, 2}, "loop=1\n");
    anim_group g;
    g.add(a, 0, 0);
    g.display(0, 0);
    animation* first = (*g.stack)[0];
    EXPECT_EQ(1, first->loop);
    std::vector<int> seen = {drawn(a)};
    for (int tick = 2; tick <= 7; tick++) {
        g.display(0, 0);
        seen.push_back(drawn(a));
        ASSERT_FALSE(stack_empty(g.stack));
        EXPECT_EQ(first, (*g.stack)[0]);
    }
    EXPECT_EQ((std::vector<int>{0, 0, 0, 1, 2, 2, 0}), seen);
}

TEST_F(AnimGroup, ARateOfZeroOrBelowShowsTheFrameForOneTick) {
    anim_mgr* a = make({2, 0, -3, 1}, "loop=1\n");
    anim_group g;
    g.add(a, 0, 0);
    std::vector<int> seen;
    for (int tick = 0; tick < 6; tick++) {
        g.display(0, 0);
        seen.push_back(drawn(a));
    }
    EXPECT_EQ((std::vector<int>{0, 0, 1, 2, 3, 0}), seen);
}

TEST_F(AnimGroup, AFramesSoundStartsOnEachOfItsTicks) {
    ASSERT_EQ(0, SDL_InitSubSystem(SDL_INIT_AUDIO));
    ASSERT_EQ(0, Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 8192)) << Mix_GetError();
    Mix_AllocateChannels(8);
    std::string snd = write_sound(d, "s.wav");
    anim_mgr* a = make({4, 2}, "sound0=" + snd + "\n");
    ASSERT_NE(nullptr, a->frames[0].sound);
    ASSERT_NE(nullptr, a->frames[0].sound->chunk);
    anim_group g;
    g.add(a, 0, 0);
    for (int tick = 1; tick <= 4; tick++) {
        g.display(0, 0);
        EXPECT_EQ(tick, Mix_Playing(-1)) << "tick " << tick;
    }
    g.display(0, 0); // frame 1 has no sound
    EXPECT_EQ(4, Mix_Playing(-1));
    Mix_HaltChannel(-1);
    Mix_CloseAudio();
}

TEST_F(AnimGroup, SpinTurnsTheFrameFurtherEachTickAndRestartsAtTheNextFrame) {
    anim_mgr* a = make({3, 2}, "spin0=10\nspin1=5\n");
    anim_group g;
    g.add(a, 0, 0);
    log_capture log;
    std::vector<int> angles;
    for (int tick = 0; tick < 5; tick++) {
        g.display(0, 0);
        angles.push_back(a->angle);
    }
    // The third tick draws at 30 and the frame change puts the angle back to 0.
    EXPECT_EQ((std::vector<int>{10, 20, 0, 5, 0}), angles);
    size_t at10 = log.out.find("@10] in zcache");
    size_t at20 = log.out.find("@20] in zcache");
    size_t at30 = log.out.find("@30] in zcache");
    size_t at5 = log.out.find("@5] in zcache");
    ASSERT_NE(std::string::npos, at30) << log.out;
    EXPECT_LT(at10, at20);
    EXPECT_LT(at20, at30);
    EXPECT_LT(at30, at5);
}

TEST_F(AnimGroup, ALifeformFacingRightTurnsTheSpinTheOtherWay) {
    anim_mgr* a = make({3, 2}, "spin0=10\n");
    anim_group g;
    g.add(a, 0, 0);
    for (int facing = 0; facing <= 1; facing++) {
        lifeform l;
        l.facing = (uint8_t)facing;
        ag_stack* s = build_stack(g);
        log_capture log;
        std::vector<int> angles;
        for (int tick = 0; tick < 3; tick++) {
            l.play_stack(s);
            angles.push_back(a->angle);
        }
        int sign = facing ? -1 : 1;
        EXPECT_EQ((std::vector<int>{10 * sign, 20 * sign, 0}), angles);
        // The third tick drew at +30 or -30 degrees (the image names -30 as 330).
        std::string third = "@" + std::to_string(facing ? 330 : 30) + "] in zcache";
        EXPECT_TRUE(log.has(third)) << third;
        delete s;
    }
}

TEST_F(AnimGroup, FramesHandTheirFlashAndShakeToTheCurrentStageOnEveryTick) {
    anim_mgr* a = make({2, 1, 1}, "flash0=200\nshake1=7\nflash2=90\nflashrate2=30\n");
    anim_group g;
    g.add(a, 0, 0);
    level stage;
    struct effects { int flash, step, shake; };
    std::vector<effects> seen;
    for (int tick = 0; tick < 4; tick++) {
        stage.flash = stage.flash_step = stage.shake = 0;
        g.display(0, 0, &stage);
        seen.push_back({stage.flash, stage.flash_step, stage.shake});
    }
    int expected[4][3] = {{200, 25, 0}, {200, 25, 0}, {0, 0, 7}, {90, 30, 0}};
    for (int t = 0; t < 4; t++) {
        EXPECT_EQ(expected[t][0], seen[(size_t)t].flash) << "tick " << t;
        EXPECT_EQ(expected[t][1], seen[(size_t)t].step) << "tick " << t;
        EXPECT_EQ(expected[t][2], seen[(size_t)t].shake) << "tick " << t;
    }
    g.display(0, 0); // without a stage the effects go nowhere
}

TEST_F(AnimGroup, EntriesWithoutFramesStopTheBuildThere) {
    anim_mgr* good = make({2});
    anim_mgr* empty = new anim_mgr();
    log_capture log;

    anim_group second;
    second.add(good, 0, 0);
    second.add(empty, 5, 5);
    EXPECT_EQ(1, second.display(0, 0));
    ASSERT_FALSE(stack_empty(second.stack));
    EXPECT_EQ(1, second.stack->size());
    char line[96];
    snprintf(line, sizeof line, "WARNING frames for animation [1] [%x] is empty\n", ptr_id(&second));
    EXPECT_EQ(1, log.count(line));

    anim_group first;
    first.add(empty, 0, 0);
    first.add(good, 0, 0);
    good->cur_width = 0;
    for (int i = 0; i < 3; i++) EXPECT_EQ(1, first.display(0, 0));
    EXPECT_TRUE(stack_empty(first.stack));
    EXPECT_EQ(0, good->cur_width); // nothing drawn
    snprintf(line, sizeof line, "WARNING frames for animation [0] [%x] is empty\n", ptr_id(&first));
    EXPECT_EQ(3, log.count(line)); // rebuilt, and warned, on every display

    anim_group none;
    EXPECT_EQ(1, none.display(0, 0));
    EXPECT_TRUE(stack_empty(none.stack));
}

TEST_F(AnimGroup, CopiesShareDefinitionsAndDuplicateThePlayingInstances) {
    anim_mgr* a = make({3, 2});
    log_capture log;
    anim_group g;
    g.add(a, 4, 6);
    g.offset_x = 7;
    g.display(0, 0);
    g.display(0, 0);
    EXPECT_EQ(1, a->refs);

    anim_group copy(g);
    EXPECT_EQ(1, log.count("Assigning animation group\n"));
    EXPECT_EQ(1, log.count("Copying ag_stack\n"));
    EXPECT_EQ(2, a->refs);
    EXPECT_EQ(7, copy.offset_x);
    EXPECT_EQ(10, copy.max_width);
    ASSERT_EQ(1, copy.stack->size());
    animation* src = (*g.stack)[0];
    animation* dup = (*copy.stack)[0];
    EXPECT_NE(src, dup);
    EXPECT_EQ(a, dup->def);
    EXPECT_EQ(src->remaining, dup->remaining);
    EXPECT_EQ(4, dup->x);
    EXPECT_EQ(6, dup->y);

    // The copy plays on by itself.
    copy.display(0, 0);
    EXPECT_EQ(1, (*copy.stack)[0]->frame_index);
    EXPECT_EQ(0, (*g.stack)[0]->frame_index);

    log.reset();
    copy = copy;
    EXPECT_EQ("", log.out);

    anim_group idle; // never displayed: an empty stack
    idle.add(a, 0, 0);
    copy = idle;
    EXPECT_TRUE(stack_empty(copy.stack));
    EXPECT_NE(nullptr, copy.stack);
    EXPECT_EQ(1, (int)copy.entries.size());
    EXPECT_EQ(0, log.count("Copying ag_stack\n"));
    EXPECT_EQ(3, a->refs); // g, idle and copy hold one entry each
}

TEST_F(AnimGroup, ALoadingGroupWithoutEntriesDrawsNothing) {
    uint8_t r, g, b;
    draw_loading();
    read_screen_pixel(0, 479, &r, &g, &b);
    EXPECT_EQ(0, r + g + b);
    EXPECT_TRUE(stack_empty(loading_group.stack));
}

} // namespace
