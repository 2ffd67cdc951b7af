// The editor on a file with the largest rates: raising a rate or adding them up holds at the
// ends of the int range instead of overflowing.
#include <gtest/gtest.h>

#include <climits>

#include "../animation/anim_files.h"
#include "editor.h"
#include "foundation/video_mgr.h"

TEST(EditorHostileRates, RatesAndTheirSumHoldAtTheEndsOfTheRange) {
    ASSERT_TRUE(open_test_screen(false));
    scratch_dir d;
    std::string path = write_animation(d, "anim.ini", width_pictures(d, 2), {INT_MAX, INT_MAX});
    editor e;
    editor_start(e, path.c_str());
    e.delay_ms = 0;
    EXPECT_EQ(e.total_time, INT_MAX);
    while (e.loop_count % 5 != 0) editor_pass(e);
    Uint8* keys = SDL_GetKeyState(nullptr);
    keys[SDLK_UP] = 1;
    editor_pass(e);
    keys[SDLK_UP] = 0;
    EXPECT_EQ(e.def->frames[0].rate, INT_MAX);
    EXPECT_EQ(e.total_time, INT_MAX);
    editor_stop(e);
}
