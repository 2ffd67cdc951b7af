// A short fightdemo run under valgrind's memcheck: start-up, preload, the match set-up and
// some match frames, then the window is closed. Memcheck must report no error at all (no
// invalid read or write, no use of uninitialised values). Leaks are not looked at: the
// programs keep their caches until exit on purpose. Skipped in the sanitizer build, whose
// programs cannot run under valgrind, and where valgrind is not installed.
#include <gtest/gtest.h>

#include <csignal>

#include "demo_folder.h"

#if defined(__SANITIZE_ADDRESS__)
#define FIGHT_UNDER_ASAN 1
#else
#define FIGHT_UNDER_ASAN 0
#endif

TEST(Valgrind, AShortFightdemoRunHasNoMemoryError) {
    if (FIGHT_UNDER_ASAN) GTEST_SKIP() << "sanitizer build";
    if (system("valgrind --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no valgrind";
    scratch_dir d;
    copy_game_folder(d.path);
    make_quick_match(d);
    const std::string log = d.file("memcheck.log");
    running_program p;
    start_program(p, "/usr/bin/valgrind",
                  {"--tool=memcheck", "--leak-check=no", "--error-exitcode=99", "--num-callers=30",
                   "--suppressions=" FIGHT_SOURCE_DIR "/tests/e2e/valgrind.supp",
                   "--log-file=" + log, program_path("fightdemo")},
                  d.path, {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"});
    ASSERT_TRUE(p.wait_for("Scrolling Max for level", 240000)) << p.out() << read_text(log);
    usleep(3000 * 1000); // some match frames
    p.signal(SIGTERM);   // valgrind hands it on: the window's close event
    const run_result& r = p.finish(120000);
    const std::string report = read_text(log);
    EXPECT_EQ(r.exit_code, 0) << report;
    EXPECT_NE(report.find("ERROR SUMMARY: 0 errors from 0 contexts"), std::string::npos) << report;
    EXPECT_NE(r.out.find("Done\n"), std::string::npos);
}
