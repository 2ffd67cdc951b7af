// The editor on a file with the largest rates: raising a rate or adding them up holds at the
// ends of the int range instead of overflowing.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

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
    SDL_Event ev;
    memset(&ev, 0, sizeof ev);
    ev.type = SDL_KEYDOWN;
    ev.key.keysym.sym = SDLK_UP;
    SDL_PushEvent(&ev);
    ev.type = SDL_KEYUP;
    SDL_PushEvent(&ev);
    editor_pass(e);
    EXPECT_EQ(e.def->frames[0].rate, INT_MAX);
    EXPECT_EQ(e.total_time, INT_MAX);
    editor_stop(e);
}
