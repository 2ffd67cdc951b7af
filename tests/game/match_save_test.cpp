// The match as one value: built, stepped from a key table, drawn, saved, restored and
// compared in memory, as a rollback or a seek uses it.
#include "match_helpers.h"

#include "match_save.h"
#include "replay.h"

namespace {

struct MatchValue : ::testing::Test {
    match_folder folder;
    static const uint32_t seed = 2024;
    void SetUp() override {
        write_lopsided_fighters(folder);
        replay_next_seed(seed);
        replay_begin(MODE_VERSUS, 1, 0, 0); // the frame clock and the match's generator
        match_set_up(MODE_VERSUS, 1, 0, folder.res);
        stand(fighter_a(), 400);
        stand(fighter_b(), 560);
    }
    void TearDown() override {
        hold({SDLK_d, SDLK_LEFT, SDLK_TAB}, false);
        replay_end(MATCH_ABANDONED);
        match_tear_down();
    }
    // One frame as the match screen runs it, minus the screen: its keys, then the rules.
    static void frame() {
        replay_frame_begin();
        match_step();
        replay_frame_end();
    }
    // Both walk in; from the tenth frame on the left one punches for two frames.
    static std::vector<uint64_t> play(int frames) {
        std::vector<uint64_t> sums;
        for (int f = 0; f < frames; f++) {
            hold({SDLK_d, SDLK_LEFT});
            hold({SDLK_TAB}, f >= 10 && f < 12);
            frame();
            sums.push_back(match_checksum());
        }
        return sums;
    }
};

TEST_F(MatchValue, ARestoredMatchStepsOnExactlyAsItDidTheFirstTime) {
    play(30);
    match_snapshot saved;
    match_save(saved);
    const std::vector<uint64_t> first = play(40);
    const int hp_b = fighter_b()->hp, x_a = fighter_a()->x;
    EXPECT_LT(hp_b, TEST_FIGHTER_HP); // the punch landed: the frames did something

    ASSERT_TRUE(match_restore(saved));
    EXPECT_EQ(match_checksum(), match_checksum(saved));
    EXPECT_NE(fighter_a()->x, x_a);
    const std::vector<uint64_t> again = play(40);
    for (size_t f = 0; f < first.size(); f++) ASSERT_EQ(first[f], again[f]) << "frame " << f;
    EXPECT_EQ(fighter_b()->hp, hp_b);
    EXPECT_EQ(fighter_a()->x, x_a);

    // A changed field is named.
    match_snapshot now, moved;
    match_save(now);
    fighter_b()->hp -= 1;
    match_save(moved);
    EXPECT_EQ(match_difference(now, moved), "fighter 1: hp");
    EXPECT_EQ(match_difference(now, now), "");
}

TEST_F(MatchValue, DrawingShowsTheLatestStepAndChangesNothing) {
    play(5);
    const uint64_t before = match_checksum();
    video.clear();
    match_draw();
    match_draw(); // twice: the same picture, nothing moved
    EXPECT_EQ(match_checksum(), before);
    SDL_Surface* s = video.screen;
    int red = 0;
    SDL_LockSurface(s);
    for (int y = 0; y < s->h; y++)
        for (int x = 0; x < s->w; x++) {
            Uint8 r, g, b;
            SDL_GetRGB(((Uint32*)((Uint8*)s->pixels + y * s->pitch))[x], s->format, &r, &g, &b);
            red += r > 200 && g < 60 && b < 60;
        }
    SDL_UnlockSurface(s);
    EXPECT_GT(red, 2 * 80 * 100 - 200); // both bodies, whole

    // A quiet step keeps nothing to draw or hear.
    match_step(true);
    EXPECT_TRUE(current_match.draws.items.empty());
    EXPECT_TRUE(current_match.sounds.played.empty());
}

TEST_F(MatchValue, ASnapshotOfAnotherSetUpOrCutShortIsRefusedAndChangesNothing) {
    const uint64_t at_start = match_checksum();
    play(3);
    match_snapshot saved;
    match_save(saved);
    play(3);
    const uint64_t now = match_checksum();
    match_snapshot cut = saved;
    cut.bytes.resize(cut.bytes.size() / 2);
    EXPECT_FALSE(match_restore(cut));
    cut.bytes.clear();
    EXPECT_FALSE(match_restore(cut));
    EXPECT_EQ(match_checksum(), now);

    replay_end(MATCH_ABANDONED);
    match_tear_down();
    replay_next_seed(seed);
    replay_begin(MODE_VERSUS, 1, 0, 0);
    match_set_up(MODE_VERSUS, 1, 0, folder.res);
    EXPECT_FALSE(match_restore(saved));
    // The same match set up again checks the same: two machines' counts of set-ups differ.
    stand(fighter_a(), 400);
    stand(fighter_b(), 560);
    EXPECT_EQ(match_checksum(), at_start);
    match_snapshot second; match_save(second);
}

} // namespace
