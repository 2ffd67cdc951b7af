// How the programs end when the world outside ends them, whichever SDL 1.2 they run on: a
// termination request during a match ends fightgame itself (not only the match) and ends
// framewright; a display that goes away ends fightdemo in both drawing modes and framewright
// within seconds, with a line saying so, instead of leaving them running.
#include <signal.h>

#include <chrono>
#include <sys/wait.h>
#include <unistd.h>

#include "game_driver.h"

using namespace game_driver;

namespace {

// A private X server for one program, so that a test can take it away.
struct private_display {
    pid_t pid = -1;
    std::string name; // ":N", empty when the server did not start
    // Started as the test scripts start theirs: Xvfb picks a free display and writes its
    // number into a file; -noreset keeps it from resetting when its last client leaves.
    explicit private_display(const std::string& scratch) {
        std::string number_file = scratch + "/display";
        FILE* f = popen(("Xvfb -displayfd 3 -screen 0 1024x768x24 +extension GLX -nolisten tcp -noreset 3>" +
                         number_file + " >/dev/null 2>&1 & echo $!").c_str(), "r");
        if (!f) return;
        if (fscanf(f, "%d", &pid) != 1) pid = -1;
        pclose(f);
        for (int tries = 0; tries < 200 && pid > 0 && name.empty(); tries++) {
            std::string n = read_text(number_file);
            if (!n.empty() && n.back() == '\n') name = ":" + n.substr(0, n.size() - 1);
            else sleep_ms(100);
        }
    }
    void stop() {
        if (pid <= 0) return;
        kill(pid, SIGTERM); // a server shutting down: clients lose their connection
        for (int tries = 0; tries < 100 && kill(pid, 0) == 0; tries++) sleep_ms(50);
        pid = -1;
    }
    ~private_display() { stop(); }
};

struct lost_display_case {
    const char* program;
    int hwaccel;
    const char* running; // printed once the program is well under way
};

class LostDisplay : public ::testing::TestWithParam<lost_display_case> {};

TEST_P(LostDisplay, TheProgramEndsWithinSecondsAndSaysWhy) {
    const lost_display_case& c = GetParam();
    scratch_dir d;
    private_display x(d.path);
    ASSERT_FALSE(x.name.empty()) << "Xvfb did not start";
    copy_game_folder(d.path);
    write_text(d.file("game/game.ini"), "hwaccel=" + std::to_string(c.hwaccel) + "\n");
    running_program p;
    start_program(p, c.program, {}, d.path, {"SDL_AUDIODRIVER=dummy", "DISPLAY=" + x.name});
    ASSERT_TRUE(p.wait_for(c.running, 120000)) << p.out() << p.err();
    sleep_ms(2000); // past the first frames, whose picture conversions take long on a busy machine
    const auto stopped = std::chrono::steady_clock::now();
    x.stop();
    const run_result& r = p.finish(30000);
    const long ms = (long)std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - stopped).count();
    EXPECT_FALSE(r.timed_out) << "still running 30 s after its display went away";
    EXPECT_LT(ms, 10000) << "ended " << ms << " ms after its display went away";
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.err.find("Lost the connection to the display; ending.\n"), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(Programs, LostDisplay,
                         ::testing::Values(lost_display_case{"fightdemo", 0, "Scrolling Max for level"},
                                           lost_display_case{"fightdemo", 1, "Scrolling Max for level"},
                                           lost_display_case{"framewright", 1, "Done loading animation"},
                                           lost_display_case{"fightgame", 1, "MAIN MENU:"}),
                         [](const ::testing::TestParamInfo<lost_display_case>& i) {
                             return std::string(i.param.program) + (i.param.hwaccel ? "OpenGL" : "Software");
                         });
void PrintTo(const lost_display_case& c, std::ostream* os) { *os << c.program << " hwaccel=" << c.hwaccel; }

TEST(TerminateRequest, DuringAMatchFightgameEndsAndNotOnlyTheMatch) {
    game_run g(0, "fps=5\n");
    ASSERT_TRUE(g.select_item(6)); // demo: straight into a match
    press("Return", 200);
    ASSERT_TRUE(g.wait_count("sizeof player 2", 1, 60000)) << g.p.out();
    sleep_ms(500);
    g.p.signal(SIGTERM);
    const run_result& r = g.p.finish(20000);
    EXPECT_FALSE(r.timed_out);
    EXPECT_EQ(r.exit_code, 0);
    size_t clean = r.out.find("Cleaning Image_Manager Cache\n");
    ASSERT_NE(clean, std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\nDone\n", clean), std::string::npos);
}

TEST(TerminateRequest, FramewrightEndsWithoutWritingItsFile) {
    scratch_dir d;
    copy_game_folder(d.path);
    const std::string file = d.file("game/fighter/tamsin/tamsin_jump_punch.ini");
    std::string before = read_text(file);
    running_program p;
    start_program(p, "framewright", {}, d.path, {"SDL_AUDIODRIVER=dummy"});
    ASSERT_TRUE(p.wait_for("Done loading animation", 30000)) << p.out() << p.err();
    p.signal(SIGTERM);
    const run_result& r = p.finish(10000);
    EXPECT_FALSE(r.timed_out);
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(before, read_text(file));
}

} // namespace
