// The committed regression recordings (tests/replays/), each played back by fightgame in a
// scratch copy of the game folder, fast, in either drawing mode. A recording that no longer
// plays as recorded fails: after an intended rule change, re-record them (README, Replays).
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "demo_folder.h"

inline std::string committed_replay(const char* name) {
    return std::string(FIGHT_SOURCE_DIR) + "/tests/replays/" + name;
}

// The line each recording ends with: one round decides every one of them.
inline std::string committed_result(const std::string& name) {
    if (name == "arcade.ini") return "mode [1] reqwins[0] p1[0] p2[1]\n";
    if (name == "versus.ini") return "mode [2] reqwins[0] p1[0] p2[1]\n";
    return "mode [4] reqwins[0] p1[0] p2[1]\n";
}

inline run_result play_replay(const scratch_dir& d, const std::string& file, bool gl) {
    std::vector<std::string> env = {"SDL_AUDIODRIVER=dummy"};
    if (!gl) env.push_back("SDL_VIDEODRIVER=dummy");
    return run_program("fightgame", {"--replay", file, "--fast"}, d.path, env, 280000);
}

// Plays one committed recording; name is "arcade.ini", "versus.ini" or "demo.ini".
inline void expect_committed_replay_plays(const char* name, bool gl) {
    scratch_dir d;
    copy_game_folder(d.path);
    write_settings(d, gl ? "hwaccel=1\n" : "hwaccel=0\n");
    run_result r = play_replay(d, committed_replay(name), gl);
    ASSERT_FALSE(r.timed_out);
    EXPECT_EQ(r.exit_code, 0) << r.out.substr(r.out.size() > 3000 ? r.out.size() - 3000 : 0);
    EXPECT_EQ(r.out.find("replay diverged"), std::string::npos);
    EXPECT_NE(r.out.find("Replaying " + committed_replay(name)), std::string::npos);
    EXPECT_EQ(count_occurrences(r.out, committed_result(name)), 1) << name;
    EXPECT_TRUE(replays_in(d).empty()); // playback records nothing
}
