// The key history and combo detector, driven through the SDL key-state array and a test clock.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>

#include "foundation/clock.h"
#include "input/control_mgr.h"
#include "input/keyhistory.h"
#include "test_support.h"

namespace {

uint32_t now_ms = 0;
uint32_t test_clock() { return now_ms; }

// Player 0's default bindings and stage list, a fighter's combo list and its key history.
struct combo_rig : ::testing::Test {
    control_mgr controls;
    control_stage_list stages;
    combo_list combos;
    keyhistory kh;
    Uint8* keys = nullptr;

    void SetUp() override {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0);
        int n = 0;
        keys = SDL_GetKeyState(&n);
        memset(keys, 0, (size_t)n);
        clock_set_source(test_clock);
        for (const char* n : control_names) controls.register_name(n);
        controls.set_defaults();
        stages = controls.build_stage_list(0);
    }
    void TearDown() override { clock_set_source(nullptr); }

    void add_combo(int move, std::initializer_list<const char*> names) {
        combo c;
        c.move = move;
        for (const char* n : names) c.stages.push_back(stages.find(n));
        combos.push_back(c);
    }
    // Imports, then lets one quiet frame settle the tracked keys.
    void import() {
        kh.import_combos(&combos);
        frame(500);
    }
    // One match frame for this fighter: update, then check.
    int frame(uint32_t t) {
        now_ms = t;
        kh.update();
        return kh.check_combos();
    }
    // Frames every 10 ms from `from` to `to`, holding keys as `at` says; returns the frames
    // (times) on which a move came out, with the move.
    std::vector<std::pair<int, int>> play(uint32_t from, uint32_t to,
                                          std::initializer_list<std::pair<uint32_t, int>> at) {
        std::vector<std::pair<int, int>> moves;
        for (uint32_t t = from; t <= to; t += 10) {
            for (auto& a : at)
                if (a.first == t) keys[a.second < 0 ? -a.second : a.second] = a.second > 0;
            int m = frame(t);
            if (m >= 0) moves.push_back({(int)t, m});
        }
        return moves;
    }
    int entries_for(int key) const {
        int n = 0;
        for (const history_entry& e : kh.history) n += e.key == key;
        return n;
    }
};

typedef std::vector<std::pair<int, int>> moves_t;

}  // namespace

TEST_F(combo_rig, import_reports_each_combo_and_raises_maxkeep) {
    add_combo(12, {"down", "right", "punch"});
    add_combo(5, {"nopunch"});
    log_capture log;
    kh.import_combos(&combos);
    EXPECT_EQ(log.out,
              "Getting ready to import combos\n"
              "Importing combo\n"
              "min[0] + [0] max[0] + [200] [down]\n"
              "Press: [274/1],  between [0]-[200] to advance\n"
              "min[0] + [0] max[200] + [200] [right]\n"
              "Press: [275/1],  between [0]-[200] to advance\n"
              "min[0] + [0] max[400] + [200] [punch]\n"
              "Press: [105/1],  between [0]-[200] to advance\n"
              "Move Complete\n"
              "Combo time[0-600] for move [12]\n"
              "Update maxkeep from [0] to [600]\n"
              "Importing combo\n"
              "min[0] + [0] max[0] + [200] [punch]\n"
              "Press: [105/0],  between [0]-[200] to advance\n"
              "Move Complete\n"
              "Combo time[0-200] for move [5]\n");
    EXPECT_EQ(kh.maxkeep, 600u);
    EXPECT_EQ(combos[0].max_total, 600);
    ASSERT_EQ(kh.tracked.size(), 3u);  // punch and nopunch share one tracked key
    EXPECT_EQ(kh.tracked[0].key, 274);

    log.reset();
    combos[0].max_total = 99;
    kh.import_combos(&combos);
    EXPECT_EQ(kh.tracked.size(), 3u);
    EXPECT_EQ(combos[0].max_total, 600);
    EXPECT_FALSE(log.has("Update maxkeep"));
    EXPECT_EQ(kh.debug, 0);

    // Combos in progress survive a re-import of the same list, not a switch to another.
    kh.start_combo_now(&combos[1]);
    kh.import_combos(&combos);
    EXPECT_EQ(kh.scratch.size(), 1u);
    combo_list other;
    kh.import_combos(&other);
    EXPECT_TRUE(kh.scratch.empty());
    EXPECT_EQ(kh.maxkeep, 600u);
}

TEST_F(combo_rig, down_right_punch_completes_on_the_punch_frame_within_the_windows) {
    add_combo(12, {"down", "right", "punch"});
    import();
    EXPECT_EQ(play(900, 1400, {{1000, SDLK_DOWN}, {1100, SDLK_RIGHT}, {1250, SDLK_i}}),
              (moves_t{{1250, 12}}));
    EXPECT_TRUE(kh.scratch.empty());
}

TEST_F(combo_rig, rolling_through_the_keys_with_releases_between_still_counts) {
    add_combo(12, {"down", "right", "punch"});
    import();
    EXPECT_EQ(play(900, 1400, {{1000, SDLK_DOWN}, {1050, -SDLK_DOWN}, {1100, SDLK_RIGHT},
                               {1200, -SDLK_RIGHT}, {1250, SDLK_i}}),
              (moves_t{{1250, 12}}));
}

TEST_F(combo_rig, a_stage_too_late_lets_the_combo_expire) {
    add_combo(12, {"down", "right", "punch"});
    import();
    EXPECT_EQ(play(900, 1600, {{1000, SDLK_DOWN}, {1100, SDLK_RIGHT}, {1350, SDLK_i}}), moves_t{});
    EXPECT_TRUE(kh.scratch.empty());
    // The history still shows the punch: only the window was missed.
    EXPECT_EQ(entries_for(SDLK_i), 1);
}

// Each stage allows up to 200 ms after the one before: a press at exactly 200 counts, at
// 201 it is refused, for the middle stage and the last alike.
TEST_F(combo_rig, a_stage_at_exactly_its_longest_delay_counts_and_one_ms_later_does_not) {
    add_combo(12, {"down", "right", "punch"});
    import();
    const struct {
        uint32_t right, punch;
        int move;
    } cases[] = {{1200, 1400, 12}, {1201, 1300, -1}, {1100, 1300, 12}, {1100, 1301, -1}};
    uint32_t start = 1000;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "right +" << c.right - 1000 << ", punch +" << c.punch - c.right);
        const uint32_t right = start + c.right - 1000, punch = start + c.punch - 1000;
        keys[SDLK_DOWN] = 1;
        EXPECT_EQ(frame(start), -1);
        keys[SDLK_RIGHT] = 1;
        EXPECT_EQ(frame(right), -1);
        keys[SDLK_i] = 1;
        EXPECT_EQ(frame(punch), c.move);
        keys[SDLK_DOWN] = keys[SDLK_RIGHT] = keys[SDLK_i] = 0;
        frame(punch + 1000);  // everything released and expired before the next case
        EXPECT_TRUE(kh.scratch.empty());
        start = punch + 2000;
    }
}

TEST_F(combo_rig, a_key_held_gives_one_entry_and_its_release_another) {
    add_combo(3, {"punch"});
    import();
    size_t before = kh.history.size();
    keys[SDLK_i] = 1;
    for (uint32_t t = 1000; t < 1100; t += 10) EXPECT_EQ(kh.update(), t == 1000 ? 1 : 0);
    keys[SDLK_i] = 0;
    EXPECT_EQ(kh.update(), 1);
    EXPECT_EQ(kh.update(), 0);
    ASSERT_EQ(kh.history.size(), before + 2);
    EXPECT_EQ(kh.history[before].state, 1);
    EXPECT_EQ(kh.history[before + 1].state, 0);
}

TEST_F(combo_rig, each_press_of_the_same_key_starts_its_own_scratch_entry) {
    add_combo(12, {"down", "right", "punch"});
    add_combo(13, {"down", "punch"});
    add_combo(14, {"right", "punch"});
    import();
    play(1000, 1100, {{1000, SDLK_DOWN}, {1050, -SDLK_DOWN}, {1100, SDLK_DOWN}});
    ASSERT_EQ(kh.scratch.size(), 4u);
    EXPECT_EQ(kh.scratch[0].move_combo->move, 12);
    EXPECT_EQ(kh.scratch[1].move_combo->move, 13);
    EXPECT_EQ(kh.scratch[2].move_combo->move, 12);
    EXPECT_EQ(kh.scratch[3].move_combo->move, 13);
    EXPECT_EQ(kh.scratch[2].last_time, 1100);
}

TEST_F(combo_rig, quiet_frames_leave_expired_entries_until_the_next_change) {
    add_combo(12, {"down", "right", "punch"});
    import();
    play(1000, 1000, {{1000, SDLK_DOWN}});
    ASSERT_EQ(kh.scratch.size(), 1u);
    EXPECT_EQ(kh.scratch[0].expiration, 1200u);
    for (uint32_t t = 1010; t <= 1500; t += 10) EXPECT_EQ(frame(t), -1);
    EXPECT_EQ(kh.scratch.size(), 1u);
    keys[SDLK_DOWN] = 0;
    EXPECT_EQ(frame(1510), -1);
    EXPECT_TRUE(kh.scratch.empty());
}

TEST_F(combo_rig, only_the_earliest_completed_combo_comes_out_per_check) {
    add_combo(3, {"punch"});
    add_combo(4, {"punch"});
    import();
    keys[SDLK_i] = 1;
    EXPECT_EQ(frame(1000), 3);
    EXPECT_EQ(frame(1010), 4);  // no key changed, but the unfinished check goes on
    EXPECT_EQ(frame(1020), -1);
    EXPECT_TRUE(kh.scratch.empty());
    EXPECT_EQ(kh.changed, 0);
}

// The computer's special fires at the next check even when no key changed (nobody presses
// the computer's keys), and is dropped once its millisecond has passed.
TEST_F(combo_rig, start_combo_now_fires_at_the_next_check_before_it_expires) {
    add_combo(12, {"down", "right", "punch"});
    import();
    now_ms = 2000;
    kh.start_combo_now(&combos[0]);
    ASSERT_EQ(kh.scratch.size(), 1u);
    EXPECT_EQ(kh.scratch[0].expiration, 2001u);
    EXPECT_EQ(frame(2001), 12);  // no key changed, the entry is looked at all the same
    EXPECT_EQ(frame(2002), -1);
    EXPECT_TRUE(kh.scratch.empty());

    now_ms = 3000;
    kh.start_combo_now(&combos[0]);
    keys[SDLK_RIGHT] = 1;
    EXPECT_EQ(frame(3002), -1);  // too late: dropped unexecuted
    EXPECT_TRUE(kh.scratch.empty());

    kh.start_combo_now(nullptr);
    EXPECT_TRUE(kh.scratch.empty());
}

TEST_F(combo_rig, history_keeps_an_entry_exactly_maxkeep_old) {
    add_combo(12, {"down", "right", "punch"});
    import();
    ASSERT_EQ(kh.maxkeep, 600u);
    play(1000, 1000, {{1000, SDLK_DOWN}});
    ASSERT_EQ(entries_for(SDLK_DOWN), 2);  // the release seen at 500, the press at 1000
    frame(1100);
    EXPECT_EQ(entries_for(SDLK_DOWN), 2);  // 600 ms old: kept
    frame(1101);
    EXPECT_EQ(entries_for(SDLK_DOWN), 1);
    frame(1600);
    EXPECT_EQ(entries_for(SDLK_DOWN), 1);
    frame(1601);
    EXPECT_EQ(entries_for(SDLK_DOWN), 0);
}

TEST_F(combo_rig, without_combos_every_entry_older_than_now_goes) {
    kh.import_combos(nullptr);
    EXPECT_EQ(kh.maxkeep, 0u);
    EXPECT_EQ(frame(100), -1);
    EXPECT_TRUE(kh.history.empty());
}

TEST_F(combo_rig, mirrored_fighters_read_left_and_right_exchanged) {
    add_combo(7, {"left"});
    add_combo(8, {"right"});
    import();
    kh.mirrored = 1;
    keys[SDLK_RIGHT] = 1;
    EXPECT_EQ(frame(1000), 7);
    EXPECT_EQ(kh.history.back().key, SDLK_LEFT);  // recorded under the unmirrored code
    EXPECT_EQ(kh.history.back().state, 1);
    EXPECT_EQ(frame(1010), -1);
    keys[SDLK_LEFT] = 1;
    EXPECT_EQ(frame(1020), 8);

    kh.mirrored = 0;  // facing the other way now: the held arrows swap meaning
    EXPECT_EQ(frame(1030), -1);
}

TEST_F(combo_rig, first_stages_needing_two_keys_and_empty_combos_never_start) {
    control_stage both;
    both.min_delay = 0;
    both.max_delay = 200;
    both.presses = {stages.find("down")->presses[0], stages.find("right")->presses[0]};
    combo two;
    two.move = 9;
    two.stages = {&both};
    combos.push_back(two);
    add_combo(10, {});
    import();
    keys[SDLK_DOWN] = keys[SDLK_RIGHT] = 1;
    EXPECT_EQ(frame(1000), -1);
    EXPECT_TRUE(kh.scratch.empty());
}

TEST_F(combo_rig, key_codes_beyond_sdl_read_as_never_pressed) {
    controls.set_binding(0, "kick", 5000);
    controls.set_binding(0, "throw", -3);
    add_combo(3, {"kick"});
    add_combo(4, {"nothrow", "throw"});
    import();
    for (uint32_t t = 1000; t < 1100; t += 10) EXPECT_EQ(frame(t), -1);
    EXPECT_EQ(entries_for(5000) + entries_for(-3), 0);
}

TEST_F(combo_rig, debug_traces_print_only_when_switched_on) {
    add_combo(12, {"down", "right", "punch"});
    import();
    log_capture log;
    play(900, 1400, {{1000, SDLK_DOWN}, {1100, SDLK_RIGHT}, {1250, SDLK_i},
                      {1400, -SDLK_DOWN}, {1400, -SDLK_RIGHT}, {1400, -SDLK_i}});
    EXPECT_EQ(log.out, "");

    kh.debug = 1;
    EXPECT_EQ(play(2000, 2300, {{2000, SDLK_DOWN}, {2100, SDLK_RIGHT}, {2250, SDLK_i}}),
              (moves_t{{2250, 12}}));
    EXPECT_TRUE(log.has("Update key state for [274][down] to [1][Pressed] was [0] @ [2000]\n"));
    EXPECT_TRUE(log.has("Is the start of combo(move)[12] expire@[2200]\n"));
    EXPECT_TRUE(log.has("scratch check for [0], expires [2200]\n"));
    EXPECT_TRUE(log.has("do we have [274|274=1] in keyhistory between [2000-2200]\n"));
    // The press of down follows a release, so it is taken as the newest change.
    EXPECT_TRUE(log.has("Well last key state was press. Need [1] was [1] and [2000<=2000<=2200]\n"));
    EXPECT_TRUE(log.has("Well last state was [1]==[1], min[2000]<@[2000]<max[2200]\n"));
    EXPECT_TRUE(log.has("  history has [1] of [1] required for stage[0]\n"));
    EXPECT_TRUE(log.has("   Advancing stage [0+1==3] [2000]\n"));
    EXPECT_TRUE(log.has("Found key [275]/[1] inbetween [2000-2200] @ [2100]\n"));
    EXPECT_TRUE(log.has("Found key [105]/[1] inbetween [2100-2300] @ [2250]\n"));
    EXPECT_TRUE(log.has("last move? [3==3]\n"));
    EXPECT_EQ(log.count("*    Execute move\n"), 1);
    EXPECT_TRUE(log.has("no good, erasing cmboscrtch.expiration[0]< clock[2260]\n"));
}

TEST_F(combo_rig, long_play_keeps_the_history_bounded_without_regrowing) {
    add_combo(12, {"down", "right", "punch"});
    add_combo(5, {"nopunch"});
    import();
    const int cycle[3] = {SDLK_DOWN, SDLK_RIGHT, SDLK_i};
    size_t capacity = 0;
    int completed = 0;
    for (uint32_t t = 1000, f = 0; t < 61000; t += 16, f++) {
        if (f % 4 == 0) {
            int k = cycle[(f / 4) % 3];
            keys[k] = !keys[k];
        }
        completed += frame(t) >= 0;
        for (const history_entry& e : kh.history) ASSERT_GE(e.time, (int)t - 600);
        if (t == 11000) capacity = kh.history.capacity();
    }
    EXPECT_GT(completed, 0);
    EXPECT_LE(kh.history.size(), 600u / 64 + 2);
    EXPECT_EQ(kh.history.capacity(), capacity);
    EXPECT_LE(kh.scratch.size(), 8u);
}
