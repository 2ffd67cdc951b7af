// Linked into every test executable: selects SDL's drivers before any test opens video or
// audio. Software-mode tests use the dummy video driver (no display, writable key state);
// OpenGL tests use the X display they are given, or, with FIGHT_OWN_DISPLAY set (CTest sets
// it), a private Xvfb of their own, so cases that press keys and take screenshots can run
// side by side. Audio is always the dummy driver.
//
// CTest starts one process per case; run as a whole binary (or shuffled), every case must
// still start from what a fresh process has. So after each case the engine's shared state is
// put back: the caches and the loading group emptied, the mixer closed, SDL shut down and
// the platform object built again (keyboard state, screen and flags as at start), the
// settings, seams and working folder restored.
#include <gtest/gtest.h>

#include <SDL_mixer.h>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <new>
#include <string>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
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

#ifndef FIGHT_TEST_SOFTWARE
// An Xvfb (Mesa's software OpenGL) for this process alone, gone with it: it dies with the
// process even when a case crashes.
struct own_display : testing::Environment {
    pid_t pid = -1;
    void SetUp() override {
        if (!getenv("FIGHT_OWN_DISPLAY")) return;
        int fds[2];
        if (pipe(fds) != 0) return;
        pid = fork();
        if (pid == 0) {
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            close(fds[0]);
            int null = open("/dev/null", O_WRONLY);
            dup2(null, 1);
            dup2(null, 2);
            char fd[16];
            snprintf(fd, sizeof fd, "%d", fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd, "-screen", "0", "1024x768x24", "+extension", "GLX",
                   "-nolisten", "tcp", "-noreset", (char*)nullptr);
            _exit(127);
        }
        close(fds[1]);
        char number[16] = {0};
        size_t got = 0;
        pollfd p = {fds[0], POLLIN, 0};
        // The server writes its display number once it accepts connections.
        while (got < sizeof number - 1 && poll(&p, 1, 20000) > 0) {
            ssize_t n = read(fds[0], number + got, sizeof number - 1 - got);
            if (n <= 0) break;
            got += (size_t)n;
            if (number[got - 1] == '\n') break;
        }
        close(fds[0]);
        if (got > 0 && number[0] >= '0' && number[0] <= '9')
            setenv("DISPLAY", (":" + std::to_string(atoi(number))).c_str(), 1);
        else
            fprintf(stderr, "no private X server; staying on DISPLAY=%s\n", getenv("DISPLAY") ? getenv("DISPLAY") : "");
    }
    void TearDown() override {
        if (pid <= 0) return;
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        pid = -1;
    }
};
struct display_installer {
    display_installer() { testing::AddGlobalTestEnvironment(new own_display); }
} display;
#endif

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
