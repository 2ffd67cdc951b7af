// framewright in broken game folders under the X display: it opens its default animation,
// says what it could not use, and quits on Escape.
#include <gtest/gtest.h>

#include <cstdio>

#include "broken_folder.h"

namespace {

const char* const kDefault = "game/fighter/tamsin/tamsin_jump_punch.ini";

std::string first_window(const std::string& name) {
    std::string cmd = "xdotool search --sync --name '" + name + "' | head -1";
    std::string out;
    if (FILE* f = popen(cmd.c_str(), "r")) {
        char buf[64];
        while (fgets(buf, sizeof buf, f)) out += buf;
        pclose(f);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
    return out;
}

class BrokenFolderEditor : public ::testing::TestWithParam<broken::variant> {};

TEST_P(BrokenFolderEditor, FramewrightOpensItsDefaultFileAndQuitsOnEscape) {
    scratch_dir d;
    GetParam().make(d);
    running_program p;
    start_program(p, "framewright", {}, d.path, {"SDL_AUDIODRIVER=dummy"});
    ASSERT_TRUE(p.wait_for(std::string("Done loading animation from [") + kDefault + "]\n", 120000))
        << p.out() << p.err();
    std::string window = first_window("tamsin_jump_punch");
    ASSERT_FALSE(window.empty());
    // A file mended as it opened (a wait below zero taken as 0) counts as changed, and the
    // first Escape asks; the second quits.
    std::string keys = "xdotool mousemove --window " + window +
                       " 100 100 keydown Escape sleep 0.3 keyup Escape sleep 0.5 keydown Escape sleep 0.3 keyup Escape";
    EXPECT_EQ(system(keys.c_str()), 0);
    const run_result& r = p.finish(60000);
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_FALSE(r.timed_out);
    const std::string name = GetParam().name;
    if (name == "WithoutRsrc") {
        EXPECT_NE(r.err.find("Couldn't load rsrc/tamsin/"), std::string::npos);
    }
    if (name == "SettingsIsAFolder") {
        EXPECT_NE(r.out.find("Can't open [game/game.ini]\n"), std::string::npos);
    }
}

// The editor waits 1000 / fps ms after each frame and reads its keys every fifth: at one
// frame a second a closed window must still end it within a second.
class HostileFrameRateEditor : public ::testing::TestWithParam<broken::frame_rate> {};

TEST_P(HostileFrameRateEditor, FramewrightSaysWhatItMakesOfTheRateAndEndsWithinASecondOfAClose) {
    const broken::frame_rate& f = GetParam();
    scratch_dir d;
    broken::with_frame_rate(d, f);
    running_program p;
    start_program(p, "framewright", {}, d.path, {"SDL_AUDIODRIVER=dummy"});
    ASSERT_TRUE(p.wait_for(std::string("Done loading animation from [") + kDefault + "]\n", 120000))
        << p.out() << p.err();
    usleep(1500 * 1000);
    const auto sent = std::chrono::steady_clock::now();
    p.signal(SIGTERM);
    const run_result& r = p.finish(60000);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - sent);
    EXPECT_LE(ms.count(), 1000);
    EXPECT_EQ(r.exit_code, 0) << r.err;
    broken::expect_frame_rate_lines(r.out, f);
}

INSTANTIATE_TEST_SUITE_P(Rates, HostileFrameRateEditor, ::testing::ValuesIn(broken::frame_rates()),
                         [](const ::testing::TestParamInfo<broken::frame_rate>& i) { return std::string(i.param.name); });

INSTANTIATE_TEST_SUITE_P(Folders, BrokenFolderEditor, ::testing::ValuesIn(broken::variants()),
                         [](const ::testing::TestParamInfo<broken::variant>& i) { return std::string(i.param.name); });

} // namespace
