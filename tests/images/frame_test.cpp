// Frames: defaults, the copy and assignment rules, the live count and sound ownership.
#include <gtest/gtest.h>

#include <vector>

#include "images/frame.h"
#include "test_support.h"

namespace {

TEST(Frame, StartsWithItsDefaultsAndIsCounted) {
    int before = frame_count;
    log_capture log;
    frame f;
    EXPECT_EQ(before + 1, frame_count);
    EXPECT_TRUE(log.has("cnt[" + std::to_string(before + 1) + "] estmem[" +
                        std::to_string((before + 1) * 60) + "]\n"));
    EXPECT_EQ(nullptr, f.image);
    EXPECT_EQ(nullptr, f.sound);
    EXPECT_EQ(0, f.play_sound);
    EXPECT_EQ(10, f.flashrate);
    EXPECT_FLOAT_EQ(0.25f, f.firespeed);
    EXPECT_EQ(0, f.fire);
}

TEST(Frame, CopiesCarryEveryFieldAndAnOwnSoundRecord) {
    img_mgr shared;
    Mix_Chunk* chunk = (Mix_Chunk*)&shared; // never played: only its identity matters
    frame a;
    a.image = &shared;
    a.sound = new sfx();
    a.sound->chunk = chunk;
    a.play_sound = 1;
    a.rate = 7;
    a.xoffset = -3;
    a.yoffset = 4;
    a.trail = 2;
    a.firex = 5;
    a.fire = 1;
    a.spin = 30;
    log_capture log;
    {
        frame b(a);
        EXPECT_TRUE(log.has("Copying frame ["));
        EXPECT_EQ(1, log.count("Assigning frames ["));
        EXPECT_EQ(&shared, b.image);
        ASSERT_NE(nullptr, b.sound);
        EXPECT_NE(a.sound, b.sound);
        EXPECT_EQ(chunk, b.sound->chunk);
        EXPECT_EQ(7, b.rate);
        EXPECT_EQ(-3, b.xoffset);
        EXPECT_EQ(4, b.yoffset);
        EXPECT_EQ(2, b.trail);
        EXPECT_EQ(5, b.firex);
        EXPECT_EQ(30, b.spin);
        frame c;
        c = b;
        EXPECT_NE(b.sound, c.sound);
        c = c; // self-assignment changes nothing
        EXPECT_EQ(chunk, c.sound->chunk);
        frame quiet;
        c = quiet; // a frame without sound drops its record
        EXPECT_EQ(nullptr, c.sound);
    }
    // The copies are gone; the image and the original's record are untouched.
    EXPECT_EQ(chunk, a.sound->chunk);
    EXPECT_EQ(0, shared.refs);
}

TEST(Frame, GrowingAnArrayCopiesAndTheCountFollowsLiveFrames) {
    int before = frame_count;
    log_capture log;
    {
        std::vector<frame> frames;
        frame tmp;
        for (int i = 0; i < 3; i++) {
            tmp.rate = i;
            frames.push_back(tmp);
        }
        int copies = log.count("Copying frame [");
        EXPECT_GE(copies, 3);
        EXPECT_EQ(copies, log.count("Assigning frames ["));
        EXPECT_EQ(before + 4, frame_count);
        EXPECT_EQ(2, frames[2].rate);
    }
    EXPECT_EQ(before, frame_count);
    EXPECT_TRUE(log.has("Deleting frame ["));
    EXPECT_TRUE(log.has("cnt[" + std::to_string(before) + "]\n"));
}

} // namespace
