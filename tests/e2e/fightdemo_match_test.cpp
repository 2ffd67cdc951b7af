// fightdemo started as a user would, in a scratch copy of the game folder, with the dummy
// video and audio drivers: one computer-against-computer match, Tamsin on the left against
// Mirelle on the right, to four round wins; or closed early.
#include <gtest/gtest.h>

#include <csignal>
#include <regex>

#include "demo_folder.h"

TEST(FightdemoMatch, PlaysTamsinAgainstMirelleToFourRoundWinsAndExits) {
    scratch_dir d;
    copy_game_folder(d.path);
    make_quick_match(d);
    std::string controls = read_text(d.file("game/controls.ini"));
    run_result r = run_program("fightdemo", {}, d.path, dummy_drivers, 280000);
    ASSERT_FALSE(r.timed_out) << r.out.substr(r.out.size() > 3000 ? r.out.size() - 3000 : 0);
    EXPECT_EQ(r.exit_code, 0);

    // Tamsin is loaded first (fighter A, on the left), then Mirelle.
    size_t fps_line = r.out.find("Setting FPS [200]\n");
    ASSERT_NE(fps_line, std::string::npos);
    size_t tamsin = r.out.find("load config [game/fighter/tamsin_char.ini]", fps_line);
    size_t mirelle = r.out.find("load config [game/fighter/mirelle_char.ini]", fps_line);
    EXPECT_NE(tamsin, std::string::npos);
    EXPECT_NE(mirelle, std::string::npos);
    EXPECT_LT(tamsin, mirelle);
    EXPECT_EQ(r.out.find("mirelle_swap.ini"), std::string::npos);

    // One round line per round, wins counting up, until one side has four.
    std::regex round_line("mode \\[4\\] reqwins\\[3\\] p1\\[(\\d+)\\] p2\\[(\\d+)\\]\n");
    int rounds = 0, last_a = 0, last_b = 0;
    for (std::sregex_iterator it(r.out.begin(), r.out.end(), round_line), end; it != end; ++it) {
        int a = std::stoi((*it)[1]), b = std::stoi((*it)[2]);
        EXPECT_GE(a, last_a);
        EXPECT_GE(b, last_b);
        EXPECT_LE(std::max(a, b), 4);
        last_a = a;
        last_b = b;
        rounds++;
    }
    EXPECT_EQ(std::max(last_a, last_b), 4);
    EXPECT_GE(rounds, 4);
    EXPECT_EQ(count_occurrences(r.out, "Loop finished"), rounds);
    EXPECT_EQ(count_occurrences(r.out, "MAIN MENU:"), 2);
    expect_match_unloaded_and_done(r.out);

    // The controls file is read but never written.
    EXPECT_NE(r.out.find("load config [game/controls.ini]"), std::string::npos);
    EXPECT_EQ(read_text(d.file("game/controls.ini")), controls);

    // The match was recorded, and its recording plays back to the same rounds.
    std::vector<std::string> saved = replays_in(d);
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_NE(r.out.find("Replay saved as game/replays/" + saved[0]), std::string::npos);
    EXPECT_NE(read_text(d.file("game/replays/" + saved[0])).find("\nresult=decided\n"), std::string::npos);
    run_result again = run_program("fightdemo", {"--replay", "game/replays/" + saved[0], "--fast"},
                                   d.path, dummy_drivers, 280000);
    EXPECT_EQ(again.exit_code, 0) << again.out.substr(again.out.size() > 3000 ? again.out.size() - 3000 : 0);
    EXPECT_EQ(again.out.find("replay diverged"), std::string::npos);
    std::regex every_round("mode \\[4\\] reqwins\\[3\\] p1\\[\\d+\\] p2\\[\\d+\\]\n");
    auto rounds_of = [&](const std::string& out) {
        std::string all;
        for (std::sregex_iterator it(out.begin(), out.end(), every_round), end; it != end; ++it) all += it->str();
        return all;
    };
    EXPECT_EQ(rounds_of(again.out), rounds_of(r.out));
    EXPECT_EQ(replays_in(d).size(), 1u); // playing back records nothing
}

TEST(FightdemoMatch, ClosingTheWindowDuringTheFirstRoundEndsTheProgram) {
    scratch_dir d;
    copy_game_folder(d.path);
    running_program p;
    start_program(p, "fightdemo", {}, d.path, dummy_drivers);
    ASSERT_TRUE(p.wait_for("Scrolling Max for level", 120000)) << p.out();
    usleep(500 * 1000);
    p.signal(SIGTERM); // arrives as the window's close event
    const run_result& r = p.finish(30000);
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(count_occurrences(r.out, "Loop finished"), 1);
    EXPECT_EQ(r.out.find("mode [4]"), std::string::npos);
    expect_match_unloaded_and_done(r.out);
    // The abandoned match is kept, marked as such.
    std::vector<std::string> saved = replays_in(d);
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_NE(read_text(d.file("game/replays/" + saved[0])).find("\nresult=abandoned\n"), std::string::npos);
}
