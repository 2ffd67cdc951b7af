// fightgame and fightdemo in broken game folders, with the dummy drivers: each starts, says
// what it could not use, plays on (fightdemo's match starts), and ends normally when its
// window is closed (SIGTERM arrives as SDL's quit event). fightcheck names what is wrong there.
#include <gtest/gtest.h>

#include <csignal>

#include "broken_folder.h"

namespace {

// Runs the program until its output holds `until`, a moment longer, then closes it.
run_result run_and_close(const std::string& program, const scratch_dir& d, const std::string& until) {
    running_program p;
    start_program(p, program, {}, d.path, dummy_drivers);
    bool reached = p.wait_for(until, 180000);
    EXPECT_TRUE(reached) << until << "\n" << p.out().substr(p.out().size() > 3000 ? p.out().size() - 3000 : 0);
    usleep(1000 * 1000);
    p.signal(SIGTERM);
    return p.finish(120000);
}

// What each broken folder must make the programs say, besides starting and stopping.
std::vector<std::string> expected_complaints(const std::string& variant, bool demo) {
    if (variant == "WithoutRsrc") return {"Couldn't load rsrc/"};
    if (variant == "MediaCutInHalf") return {"Couldn't load rsrc/"};
    if (variant == "SettingsIsAFolder") return {"Can't open [game/game.ini]\n"};
    if (variant == "DevicesAndPipes" && demo)
        return {"Can't open [game/game.ini]\n", "load config [/dev/zero]\nCan't open [/dev/zero]\n"};
    if (variant == "DevicesAndPipes") return {"Can't open [game/game.ini]\n", "Couldn't open"};
    if (variant == "HostileNumbers" && demo)
        return {"WARNING: part [99] is not one of the [5] images\n",
                "WARNING: background set lists [1000000] images but names [5]\n",
                "WARNING: [combos] of [100000] is too many, reading [256]\n"};
    return {};
}

class BrokenFolder : public ::testing::TestWithParam<broken::variant> {};

TEST_P(BrokenFolder, FightdemoStartsItsMatchAndEndsNormally) {
    scratch_dir d;
    GetParam().make(d);
    run_result r = run_and_close("fightdemo", d, "Scrolling Max for level");
    broken::expect_clean_shutdown(r);
    for (const std::string& line : expected_complaints(GetParam().name, true))
        EXPECT_NE(r.out.find(line) == std::string::npos ? r.err.find(line) : 0, std::string::npos) << line;
}

TEST_P(BrokenFolder, FightgameReachesItsMainMenuAndEndsNormally) {
    scratch_dir d;
    GetParam().make(d);
    run_result r = run_and_close("fightgame", d, "MAIN MENU:\n");
    broken::expect_clean_shutdown(r);
    for (const std::string& line : expected_complaints(GetParam().name, false))
        EXPECT_NE(r.out.find(line) == std::string::npos ? r.err.find(line) : 0, std::string::npos) << line;
}

TEST_P(BrokenFolder, FightcheckNamesItsProblemsAndEnds) {
    scratch_dir d;
    GetParam().make(d);
    run_result r = run_program("fightcheck", {d.path}, d.path, dummy_drivers, 120000);
    EXPECT_EQ(r.exit_code, 1) << r.out.substr(0, 2000) << r.err;
    const size_t summary = r.out.rfind("\nfightcheck: ");
    EXPECT_TRUE(summary != std::string::npos && r.out.find('\n', summary + 1) == r.out.size() - 1)
        << "the summary comes last: " << r.out.substr(r.out.size() > 300 ? r.out.size() - 300 : 0);
}

// A hostile frame rate: each game says what it makes of it, runs its match at the rate it
// prints, and a closed window ends it within a second however slow the rate (one frame a
// second in a match, sixteen in the menus).
class HostileFrameRate : public ::testing::TestWithParam<broken::frame_rate> {};

TEST_P(HostileFrameRate, FightdemoPlaysAtTheRateItPrintsAndEndsWithinASecondOfAClose) {
    const broken::frame_rate& f = GetParam();
    scratch_dir d;
    broken::with_frame_rate(d, f);
    running_program p;
    start_program(p, "fightdemo", {}, d.path, dummy_drivers);
    ASSERT_TRUE(p.wait_for("Scrolling Max for level", 180000)) << p.out();
    usleep(1500 * 1000); // well into the first frame's wait, even at one frame a second
    EXPECT_LE(broken::ms_until_after_quit(p, "Cleaning Image_Manager Cache\n"), 1000);
    const run_result& r = p.finish(120000);
    broken::expect_clean_shutdown(r);
    broken::expect_frame_rate_lines(r.out, f);
    EXPECT_EQ(count_occurrences(r.out, "Setting FPS [" + std::to_string(f.used) + "]\n"), 1);
    EXPECT_LE(count_occurrences(r.out, "Loop finished\n"), 1); // no round of a frame or two
}

TEST_P(HostileFrameRate, FightgameReachesItsMainMenuAndEndsWithinASecondOfAClose) {
    const broken::frame_rate& f = GetParam();
    scratch_dir d;
    broken::with_frame_rate(d, f);
    running_program p;
    start_program(p, "fightgame", {}, d.path, dummy_drivers);
    ASSERT_TRUE(p.wait_for("MAIN MENU:\n", 180000)) << p.out();
    usleep(1000 * 1000);
    EXPECT_LE(broken::ms_until_after_quit(p, "Cleaning Image_Manager Cache\n"), 1000);
    const run_result& r = p.finish(120000);
    broken::expect_clean_shutdown(r);
    broken::expect_frame_rate_lines(r.out, f);
}

INSTANTIATE_TEST_SUITE_P(Rates, HostileFrameRate, ::testing::ValuesIn(broken::frame_rates()),
                         [](const ::testing::TestParamInfo<broken::frame_rate>& i) { return std::string(i.param.name); });

INSTANTIATE_TEST_SUITE_P(Folders, BrokenFolder, ::testing::ValuesIn(broken::variants()),
                         [](const ::testing::TestParamInfo<broken::variant>& i) { return std::string(i.param.name); });

} // namespace
