// The press and repeat rule on a test clock: a press acts once however short or long, a
// repeating key acts again at 400 ms and then every 125 ms of holding whatever the frames
// did meanwhile, a key held at open waits for its release, and pump takes every event.
#include <gtest/gtest.h>

#include <SDL.h>
#include <cstring>
#include <vector>

#include "foundation/clock.h"
#include "input/key_press.h"
#include "test_support.h"

namespace {

uint32_t now_ms = 0;
uint32_t test_clock() { return now_ms; }

struct KeyPress : ::testing::Test {
    key_press k;
    void SetUp() override {
        ASSERT_TRUE(open_test_screen(false)); // the key state and the event queue
        now_ms = 100000;
        clock_set_source(test_clock);
        k.open();
    }
    void TearDown() override { clock_set_source(nullptr); }
    // The actions due at the current time, in order.
    std::vector<int> actions() {
        std::vector<int> v;
        for (int key; (key = k.next()) != 0;) v.push_back(key);
        return v;
    }
    void at(uint32_t ms) { now_ms = 100000 + ms; }
};

using keys = std::vector<int>;

TEST_F(KeyPress, APressActsOnceHoweverShortOrLongAndPressesKeepTheirOrder) {
    k.key_down(SDLK_SPACE);
    k.key_up(SDLK_SPACE); // down and up within one frame
    EXPECT_EQ(actions(), keys({SDLK_SPACE}));
    EXPECT_EQ(actions(), keys());
    k.key_down(SDLK_RETURN); // held for ten seconds: it does not repeat
    at(10000);
    EXPECT_EQ(actions(), keys({SDLK_RETURN}));
    EXPECT_EQ(actions(), keys());
    k.key_up(SDLK_RETURN);
    k.key_down(SDLK_DOWN);
    k.key_up(SDLK_DOWN);
    k.key_down(SDLK_DOWN);
    k.key_down(SDLK_ESCAPE);
    EXPECT_EQ(actions(), keys({SDLK_DOWN, SDLK_DOWN, SDLK_ESCAPE})) << "two taps in one frame count twice";
}

TEST_F(KeyPress, AHeldRepeatingKeyActsAfterTheDelayThenAtTheIntervalCountedOnTheClock) {
    k.repeat(SDLK_DOWN);
    k.key_down(SDLK_DOWN);
    EXPECT_EQ(actions(), keys({SDLK_DOWN}));
    at(399);
    EXPECT_EQ(actions(), keys());
    at(400);
    EXPECT_EQ(actions(), keys({SDLK_DOWN}));
    at(524);
    EXPECT_EQ(actions(), keys());
    at(525);
    EXPECT_EQ(actions(), keys({SDLK_DOWN}));
    at(1000); // a stalled frame: the repeats at 650, 775 and 900 are all due
    EXPECT_EQ(actions(), keys({SDLK_DOWN, SDLK_DOWN, SDLK_DOWN}));
    at(1020);
    k.key_up(SDLK_DOWN);
    at(5000);
    EXPECT_EQ(actions(), keys());
    k.key_down(SDLK_DOWN); // a new press starts its own delay
    at(5399);
    EXPECT_EQ(actions(), keys({SDLK_DOWN}));
    at(5400);
    EXPECT_EQ(actions(), keys({SDLK_DOWN}));
}

TEST_F(KeyPress, AKeyHeldAtOpenDoesNothingUntilReleasedAndTheJoystickLikewise) {
    Uint8* state = SDL_GetKeyState(nullptr);
    state[SDLK_ESCAPE] = 1;
    state[SDLK_CAPSLOCK] = 1; // a lock key reads as held while it is on
    k.repeat(SDLK_ESCAPE);
    k.open();
    state[SDLK_ESCAPE] = 0;
    state[SDLK_CAPSLOCK] = 0;
    EXPECT_TRUE(k.any_blocked());
    k.key_down(SDLK_ESCAPE); // the held press, still queued from before the screen
    at(2000);
    EXPECT_EQ(actions(), keys()) << "neither a press nor a repeat";
    k.key_down(SDLK_CAPSLOCK);
    EXPECT_EQ(actions(), keys({SDLK_CAPSLOCK}));
    k.key_up(SDLK_ESCAPE);
    EXPECT_FALSE(k.any_blocked());
    k.key_down(SDLK_ESCAPE);
    EXPECT_EQ(actions(), keys({SDLK_ESCAPE}));

    state[SDLK_RETURN] = 1; // held, but its press is still queued: made during the set-up
    SDL_Event e;
    memset(&e, 0, sizeof e);
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = SDLK_RETURN;
    SDL_PushEvent(&e);
    k.open();
    EXPECT_FALSE(k.any_blocked());
    k.pump();
    EXPECT_EQ(actions(), keys({SDLK_RETURN}));
    state[SDLK_RETURN] = 0;
    k.pump();

    k.open();
    k.level(KEY_PAD_CONFIRM, true); // the first state after open: held from before
    k.level(KEY_PAD_CONFIRM, true);
    EXPECT_EQ(actions(), keys());
    k.level(KEY_PAD_CONFIRM, false);
    k.level(KEY_PAD_CONFIRM, true);
    k.level(KEY_PAD_CONFIRM, true);
    EXPECT_EQ(actions(), keys({KEY_PAD_CONFIRM})) << "one press per change";
}

TEST_F(KeyPress, AKeyStateChangedWithoutAnEventCountsAsAPressOrARelease) {
    k.repeat(SDLK_UP);
    Uint8* state = SDL_GetKeyState(nullptr);
    state[SDLK_UP] = 1; // held as the window gains the focus: no event, only the state
    EXPECT_FALSE(k.pump());
    EXPECT_EQ(actions(), keys({SDLK_UP}));
    state[SDLK_UP] = 0; // its release lost
    k.pump();
    at(2000);
    EXPECT_EQ(actions(), keys()) << "released: no repeats";
    state[SDLK_NUMLOCK] = 1; // on, not held
    k.pump();
    state[SDLK_NUMLOCK] = 0;
    EXPECT_EQ(actions(), keys());
}

TEST_F(KeyPress, PumpTakesEveryPendingEventAndReportsAClosedWindowBehindThem) {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
    }
    for (int i = 0; i < 100; i++) {
        memset(&e, 0, sizeof e);
        e.type = SDL_MOUSEMOTION;
        SDL_PushEvent(&e);
        if (i % 25 == 0) {
            memset(&e, 0, sizeof e);
            e.type = SDL_KEYDOWN;
            e.key.keysym.sym = SDLK_DOWN;
            SDL_PushEvent(&e);
            e.type = SDL_KEYUP;
            SDL_PushEvent(&e);
        }
    }
    memset(&e, 0, sizeof e);
    e.type = SDL_QUIT;
    SDL_PushEvent(&e);
    EXPECT_TRUE(k.pump());
    EXPECT_EQ(actions(), keys({SDLK_DOWN, SDLK_DOWN, SDLK_DOWN, SDLK_DOWN}));
    EXPECT_FALSE(SDL_PollEvent(&e)) << "nothing left for the next frame";
    EXPECT_FALSE(k.pump());
}

} // namespace
