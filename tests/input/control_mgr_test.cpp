// Key bindings, the controls file and control stage lists.
#include <gtest/gtest.h>

#include <string>

#include "input/control_mgr.h"
#include "test_support.h"

namespace {

// The game's start-up: the ten names, then the twenty defaults.
void start_up(control_mgr& m) {
    for (const char* n : control_names) m.register_name(n);
    m.set_defaults();
}

const int defaults[2][10] = {{273, 274, 276, 275, 105, 107, 111, 108, 117, 106},
                             {119, 115, 97, 100, 9, 122, 120, 99, 113, 101}};

std::string default_file() {
    std::string s = "players=2\n";
    for (int p = 0; p < 2; p++)
        for (int i = 0; i < 10; i++)
            s += "player" + std::to_string(p) + "control" + control_names[i] + "=" +
                 std::to_string(defaults[p][i]) + "\n";
    return s;
}

// Key names come from SDL's keyboard table, which the video subsystem fills.
struct control_mgr_test : ::testing::Test {
    void SetUp() override { ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0); }
};

}  // namespace

TEST_F(control_mgr_test, start_up_sets_the_twenty_defaults_with_a_message_each) {
    control_mgr m;
    log_capture log;
    start_up(m);
    EXPECT_EQ(log.count("Setting ["), 20);
    EXPECT_TRUE(log.has("Setting [up] for player [0] to [up]\n"));
    EXPECT_TRUE(log.has("Setting [punch] for player [1] to [tab]\n"));
    ASSERT_EQ(m.lists.size(), 2u);
    for (int p = 0; p < 2; p++)
        for (int i = 0; i < 10; i++) EXPECT_EQ(m.key_for(p, control_names[i]), defaults[p][i]);
}

TEST_F(control_mgr_test, key_for_reports_found_and_missing_bindings) {
    control_mgr m;
    start_up(m);
    log_capture log;
    EXPECT_EQ(m.key_for(0, "kick"), 107);
    EXPECT_EQ(log.out, "Found [kick] for player [0] to be [k]\n");
    log.reset();
    EXPECT_EQ(m.key_for(0, "Kick"), 0);  // names are case-sensitive
    EXPECT_EQ(m.key_for(5, "kick"), 0);
    EXPECT_EQ(m.key_for(-1, "kick"), 0);
    EXPECT_EQ(log.out, "Didn't find [Kick] for player [0]\nDidn't find [kick] for player [5]\n"
                       "Didn't find [kick] for player [-1]\n");
}

TEST_F(control_mgr_test, file_with_one_player_and_only_kick_rebinds_just_that) {
    scratch_dir dir;
    write_text(dir.file("controls.ini"), "players=1\nplayer0controlkick=120\n");
    control_mgr m;
    start_up(m);
    log_capture log;
    m.load(dir.file("controls.ini").c_str());
    EXPECT_EQ(log.count("Setting ["), 1);
    EXPECT_TRUE(log.has("Setting [kick] for player [0] to [x]\n"));
    for (int p = 0; p < 2; p++)
        for (int i = 0; i < 10; i++)
            EXPECT_EQ(m.key_for(p, control_names[i]), p == 0 && i == 5 ? 120 : defaults[p][i]);
}

TEST_F(control_mgr_test, file_with_three_players_adds_a_third_list_and_saves_it) {
    scratch_dir dir;
    std::string path = dir.file("controls.ini");
    write_text(path, "players=3\nplayer2controlthrow=103\nplayer1controlup=273\n");
    control_mgr m;
    start_up(m);
    log_capture log;
    m.load(path.c_str());
    ASSERT_EQ(m.lists.size(), 3u);
    EXPECT_EQ(log.count("Not enough control structs for [3] player(s)\n"), 1);
    EXPECT_EQ(log.count("Adding [1] control structures to control manager\n"), 1);
    EXPECT_LT(log.out.find("Setting [up] for player [1]"), log.out.find("Not enough"));
    EXPECT_EQ(m.key_for(1, "up"), 273);
    EXPECT_EQ(m.key_for(2, "throw"), 103);
    EXPECT_EQ(m.key_for(2, "up"), 0);

    EXPECT_EQ(m.save(path.c_str()), 1);
    EXPECT_EQ(read_text(path).substr(0, 10), "players=3\n");
    std::string text = read_text(path);
    // Player 2's list holds only throw, and only bound controls are written.
    EXPECT_NE(text.find("player1controlthrow=101\nplayer2controlthrow=103\n"), std::string::npos);
    EXPECT_EQ(count_occurrences(text, "player2control"), 1);
}

TEST_F(control_mgr_test, save_right_after_start_up_writes_the_defaults_and_nothing_else) {
    scratch_dir dir;
    std::string path = dir.file("controls.ini");
    write_text(path, "players=1\nvolume=7\n");  // foreign keys are not kept
    control_mgr m;
    start_up(m);
    EXPECT_EQ(m.save(path.c_str()), 1);
    EXPECT_EQ(read_text(path), default_file());

    // The saved file reads back to the same bindings, without a message for missing players.
    control_mgr again;
    start_up(again);
    again.set_binding(0, "kick", 1);
    again.load(path.c_str());
    EXPECT_EQ(again.key_for(0, "kick"), 107);
}

TEST_F(control_mgr_test, failed_save_reports_zero_and_leaves_the_old_file) {
    scratch_dir dir;
    control_mgr m;
    start_up(m);
    EXPECT_EQ(m.save(dir.file("missing/controls.ini").c_str()), 0);
    EXPECT_FALSE(file_exists(dir.file("missing/controls.ini")));
}

TEST_F(control_mgr_test, files_that_load_nothing_leave_the_defaults) {
    scratch_dir dir;
    const char* files[] = {"", "players=0\nplayer0controlup=1\n", "players=-4\nplayer0controlup=1\n",
                           "player0controlup=1\n", "players=abc\nplayer0controlup=1\n"};
    for (const char* text : files) {
        write_text(dir.file("c.ini"), text);
        control_mgr m;
        start_up(m);
        log_capture log;
        m.load(dir.file("c.ini").c_str());
        EXPECT_EQ(log.count("Setting ["), 0) << text;
        EXPECT_EQ(m.key_for(0, "up"), 273) << text;
    }
    control_mgr m;
    start_up(m);
    m.load(dir.file("absent.ini").c_str());
    m.load(dir.path.c_str());  // a folder, not a file
    EXPECT_EQ(m.key_for(0, "up"), 273);
}

TEST_F(control_mgr_test, broken_values_bind_key_zero_and_huge_counts_are_capped) {
    scratch_dir dir;
    write_text(dir.file("c.ini"),
               "players=2000000000\nplayer0controlpunch=fist\nplayer1controlkick=99999\n"
               "player900000000controlup=5\n");
    control_mgr m;
    start_up(m);
    log_capture log;
    m.load(dir.file("c.ini").c_str());  // must not spend its time on two billion players
    EXPECT_TRUE(log.has("WARNING: [2000000000] players in"));
    EXPECT_EQ(m.key_for(0, "punch"), 0);
    EXPECT_EQ(m.key_for(1, "kick"), 99999);
    EXPECT_TRUE(log.has("Setting [kick] for player [1] to [unknown key]\n"));
    EXPECT_EQ(m.lists.size(), 2u);

    m.set_binding(MAX_CONTROL_PLAYERS, "up", 273);
    m.set_binding(-1, "up", 273);
    EXPECT_EQ(m.lists.size(), 2u);
    EXPECT_TRUE(log.has("ERROR: No control structs for player [-1]\n"));
}

TEST_F(control_mgr_test, one_key_may_drive_two_controls) {
    control_mgr m;
    start_up(m);
    m.set_binding(0, "punch", 32);
    m.set_binding(0, "kick", 32);
    EXPECT_EQ(m.key_for(0, "punch"), 32);
    EXPECT_EQ(m.key_for(0, "kick"), 32);
    control_stage_list stages = m.build_stage_list(0);
    EXPECT_EQ(stages.find("punch")->presses[0]->key, 32);
    EXPECT_EQ(stages.find("kick")->presses[0]->key, 32);
    EXPECT_EQ(stages.find("nokick")->presses[0]->state, KEY_UNPRESSED);
}

TEST_F(control_mgr_test, stage_list_holds_a_press_and_a_release_stage_per_control_in_order) {
    control_mgr m;
    start_up(m);
    control_stage_list stages = m.build_stage_list(1);
    ASSERT_EQ(stages.count(), 20);
    for (int i = 0; i < 10; i++) {
        const control_stage* press = stages.at(2 * i).object;
        const control_stage* release = stages.at(2 * i + 1).object;
        EXPECT_STREQ(stages.at(2 * i).name, control_names[i]);
        EXPECT_EQ(stages.at(2 * i + 1).name, std::string("no") + control_names[i]);
        EXPECT_EQ(press->name, control_names[i]);
        EXPECT_EQ(release->name, control_names[i]);
        for (const control_stage* s : {press, release}) {
            EXPECT_EQ(s->min_delay, 0);
            EXPECT_EQ(s->max_delay, 200);
            ASSERT_EQ(s->presses.size(), 1u);
            EXPECT_EQ(s->presses[0]->key, defaults[1][i]);
        }
        EXPECT_EQ(press->presses[0]->state, KEY_PRESSED);
        EXPECT_EQ(release->presses[0]->state, KEY_UNPRESSED);
    }
    // The stages point at the bindings themselves: a remap shows through at once.
    m.set_binding(1, "punch", 32);
    EXPECT_EQ(stages.find("punch")->presses[0]->key, 32);
    EXPECT_EQ(stages.find("nopunch")->presses[0]->key, 32);
    // A fresh stage holds the wider defaults.
    control_stage fresh;
    EXPECT_EQ(fresh.min_delay, 1);
    EXPECT_EQ(fresh.max_delay, 1000);
}

TEST_F(control_mgr_test, building_a_list_mirrors_left_and_right_until_the_next_remap) {
    control_mgr m;
    start_up(m);
    control_stage_list stages = m.build_stage_list(0);
    const press_record* left = stages.find("left")->presses[0];
    const press_record* noright = stages.find("noright")->presses[0];
    EXPECT_EQ(left->key, 276);
    EXPECT_EQ(left->mirrored_key, 275);
    EXPECT_EQ(noright->key, 275);
    EXPECT_EQ(noright->mirrored_key, 276);
    EXPECT_EQ(noright->state, KEY_UNPRESSED);
    EXPECT_EQ(stages.find("up")->presses[0]->mirrored_key, 273);
    // Player 1's bindings are untouched by player 0's list.
    EXPECT_EQ(m.lists[1].find("left")->pressed.mirrored_key, 97);

    m.set_binding(0, "left", 97);
    EXPECT_EQ(left->mirrored_key, 97);
    EXPECT_EQ(stages.find("noright")->presses[0]->mirrored_key, 276);  // until the next build
    control_stage_list rebuilt = m.build_stage_list(0);
    EXPECT_EQ(noright->mirrored_key, 97);
    EXPECT_EQ(left->mirrored_key, 275);
}

TEST_F(control_mgr_test, a_list_without_left_or_right_skips_the_mirroring) {
    control_mgr m;
    for (const char* n : control_names) m.register_name(n);
    m.set_binding(0, "left", 276);
    m.set_binding(0, "punch", 105);
    m.set_binding(1, "right", 275);
    control_stage_list only_left = m.build_stage_list(0);
    ASSERT_EQ(only_left.count(), 4);
    EXPECT_STREQ(only_left.at(0).name, "left");
    EXPECT_STREQ(only_left.at(3).name, "nopunch");
    EXPECT_EQ(only_left.find("left")->presses[0]->mirrored_key, 276);
    EXPECT_EQ(only_left.find("noleft")->presses[0]->mirrored_key, 276);
    control_stage_list only_right = m.build_stage_list(1);
    EXPECT_EQ(only_right.find("right")->presses[0]->mirrored_key, 275);
    EXPECT_EQ(m.build_stage_list(7).count(), 0);  // a player without bindings
    EXPECT_EQ(m.build_stage_list(-1).count(), 0);
}
