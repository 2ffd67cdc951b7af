// Linked into every test executable: selects SDL's drivers before any test opens video or
// audio. Software-mode tests use the dummy video driver (no display, writable key state);
// OpenGL tests use the X display they are given. Audio is always the dummy driver.
//
// CTest starts one process per case; run as a whole binary (or shuffled), every case must
// still start from what a fresh process has. So after each case the engine's shared state is
// put back: the caches and the loading group emptied, the mixer closed, SDL shut down and
// the platform object built again (keyboard state, screen and flags as at start), the
// settings, seams and working folder restored.
#include <gtest/gtest.h>

#include <SDL_mixer.h>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <unistd.h>

#include "animation/anim_group.h"
#include "foundation/clock.h"
#include "foundation/log.h"
#include "foundation/settings.h"
#include "foundation/sfx.h"
#include "foundation/video_mgr.h"
#include "images/img_mgr.h"

namespace {
struct test_drivers {
    test_drivers() {
#ifdef FIGHT_TEST_SOFTWARE
        setenv("SDL_VIDEODRIVER", "dummy", 1);
#endif
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
} drivers;

struct fresh_process : testing::EmptyTestEventListener {
    char start_dir[PATH_MAX] = {0};

    fresh_process() {
        if (!getcwd(start_dir, sizeof start_dir)) start_dir[0] = 0;
    }

    void OnTestEnd(const testing::TestInfo&) override {
        loading_group.entries.clear();
        if (loading_group.stack) loading_group.stack->clear();
        loading_group.max_width = loading_group.max_height = 0;
        Image_Manager.clean();
        Sfx_Manager.clean();
        int freq, channels;
        Uint16 format;
        while (Mix_QuerySpec(&freq, &format, &channels)) Mix_CloseAudio();
        SDL_Quit();
        video.~video_mgr();
        new (&video) video_mgr();
        fps = 60;
        debug = 0;
        clock_set_source(nullptr);
        random_set_source(nullptr);
        srand(1);
        log_set_sink(nullptr, nullptr);
        if (start_dir[0] && chdir(start_dir) != 0) fprintf(stderr, "cannot go back to %s\n", start_dir);
    }
};

struct listener_installer {
    listener_installer() { testing::UnitTest::GetInstance()->listeners().Append(new fresh_process); }
} installer;
} // namespace
