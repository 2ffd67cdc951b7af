// Linked into every test executable: selects SDL's drivers before any test opens video or
// audio. Software-mode tests use the dummy video driver (no display, writable key state);
// OpenGL tests use the X display they are given. Audio is always the dummy driver.
#include <cstdlib>

namespace {
struct test_drivers {
    test_drivers() {
#ifdef FIGHT_TEST_SOFTWARE
        setenv("SDL_VIDEODRIVER", "dummy", 1);
#endif
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
} drivers;
} // namespace
