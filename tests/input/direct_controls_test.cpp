// The fixed key sets of the human modes: which key wins, and what the joystick adds.
#include <gtest/gtest.h>

#include <cstring>

#include "foundation/video_mgr.h"
#include "input/direct_controls.h"

namespace {

// A frame as the path starts it: speeds carried over, no action, no fire direction.
direct_control frame_start() { return direct_control{0.7, -0.7, -1, 0, 0}; }

struct key_state {
    Uint8 keys[SDLK_LAST];
    key_state() { memset(keys, 0, sizeof keys); }
    key_state& hold(int k) { keys[k] = 1; return *this; }
};

joystick_sample joystick(int bx = -1, int ax0 = 0, int ax1 = 0) {
    joystick_sample j{{0, 0, 0, 0}, {ax0, ax1}};
    if (bx >= 0) j.buttons[bx] = 1;
    return j;
}

}  // namespace

TEST(direct_controls, axis_steps_are_strict_at_each_threshold) {
    const int values[] = {0, 3200, 3201, 10000, 10001, 17000, 17001, 32767};
    const double speeds[] = {0, 0, 0.5, 0.5, 1.0, 1.0, 1.5, 1.5};
    for (int i = 0; i < 8; i++) {
        EXPECT_EQ(axis_speed(values[i]), speeds[i]) << values[i];
        EXPECT_EQ(axis_speed(-values[i]), -speeds[i]) << -values[i];
    }
    EXPECT_EQ(axis_speed(-32768), -1.5);
}

TEST(direct_controls, first_set_right_beats_left_and_down_beats_up) {
    key_state k;
    direct_control c = frame_start();
    first_key_set(k.hold(SDLK_LEFT).hold(SDLK_RIGHT).hold(SDLK_UP).hold(SDLK_DOWN).keys, nullptr, c);
    EXPECT_EQ(c.vx, 1);
    EXPECT_EQ(c.vy, 1);
    EXPECT_EQ(c.action, -1);
    EXPECT_EQ(c.fire_y, 0);

    key_state k2;
    c = frame_start();
    first_key_set(k2.hold(SDLK_LEFT).hold(SDLK_UP).keys, nullptr, c);
    EXPECT_EQ(c.vx, -1);
    EXPECT_EQ(c.vy, -1);

    key_state none;
    c = frame_start();
    first_key_set(none.keys, nullptr, c);
    EXPECT_EQ(c.vx, 0);  // an unset direction stops
    EXPECT_EQ(c.vy, 0);
}

TEST(direct_controls, first_set_keys_override_the_joystick_per_direction) {
    key_state k;
    direct_control c = frame_start();
    joystick_sample j = joystick(-1, 20000, -12000);
    first_key_set(k.hold(SDLK_LEFT).keys, &j, c);
    EXPECT_EQ(c.vx, -1);   // the key wins
    EXPECT_EQ(c.vy, -1.0); // the joystick keeps the other direction

    key_state none;
    c = frame_start();
    joystick_sample dead = joystick(-1, 3200, -3200);
    first_key_set(none.keys, &dead, c);
    EXPECT_EQ(c.vx, 0);
    EXPECT_EQ(c.vy, 0);
}

TEST(direct_controls, first_set_later_buttons_and_keys_override_earlier_actions) {
    const int button_actions[4] = {0, 3, 4, 5};
    for (int b = 0; b < 4; b++) {
        key_state none;
        direct_control c = frame_start();
        joystick_sample j = joystick(b);
        first_key_set(none.keys, &j, c);
        EXPECT_EQ(c.action, button_actions[b]);
        EXPECT_EQ(c.fire_x, 0);
        EXPECT_EQ(c.fire_y, -1);
    }
    joystick_sample two = joystick(0);
    two.buttons[3] = 1;
    direct_control c = frame_start();
    key_state none;
    first_key_set(none.keys, &two, c);
    EXPECT_EQ(c.action, 5);

    // Keys in order space, i, k, o, l, u, j: the last one held decides, over any button.
    const int keys[7] = {SDLK_SPACE, SDLK_i, SDLK_k, SDLK_o, SDLK_l, SDLK_u, SDLK_j};
    const int actions[7] = {0, 0, 3, 5, 4, 6, 7};
    for (int last = 0; last < 7; last++) {
        key_state k;
        for (int i = 0; i <= last; i++) k.hold(keys[i]);
        c = frame_start();
        first_key_set(k.keys, &two, c);
        EXPECT_EQ(c.action, actions[last]) << last;
        EXPECT_EQ(c.fire_y, -1);
    }
}

TEST(direct_controls, second_set_moves_on_wasd_z_keeps_the_fire_direction_and_xcqe_command) {
    key_state k;
    direct_control c = frame_start();
    second_key_set(k.hold(SDLK_a).hold(SDLK_d).hold(SDLK_w).hold(SDLK_s).hold(SDLK_z).keys, c);
    EXPECT_EQ(c.vx, 1);
    EXPECT_EQ(c.vy, 1);
    EXPECT_EQ(c.action, 3);
    EXPECT_EQ(c.fire_x, 0);
    EXPECT_EQ(c.fire_y, 0);

    c = frame_start();
    second_key_set(k.hold(SDLK_TAB).keys, c);  // Tab is read after z
    EXPECT_EQ(c.action, 0);
    EXPECT_EQ(c.fire_y, -1);

    // Specials, block and throw on x c q e, each alone, and none of them on the first set.
    const SDLKey rest[4] = {SDLK_x, SDLK_c, SDLK_q, SDLK_e};
    const int commands[4] = {5, 4, 6, 7};
    for (int i = 0; i < 4; i++) {
        key_state one;
        c = frame_start();
        second_key_set(one.hold(rest[i]).keys, c);
        EXPECT_EQ(c.action, commands[i]) << i;
        c = frame_start();
        first_key_set(one.keys, nullptr, c);
        EXPECT_EQ(c.action, -1) << i;
    }

    // The first set's keys mean nothing here.
    key_state other;
    c = frame_start();
    second_key_set(other.hold(SDLK_LEFT).hold(SDLK_i).hold(SDLK_u).keys, c);
    EXPECT_EQ(c.vx, 0);
    EXPECT_EQ(c.vy, 0);
    EXPECT_EQ(c.action, -1);
}

TEST(direct_controls, live_readers_use_the_sdl_key_state) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0);
    Uint8* keys = SDL_GetKeyState(nullptr);
    keys[SDLK_RIGHT] = 1;
    keys[SDLK_k] = 1;
    keys[SDLK_w] = 1;
    ASSERT_EQ(video.joystick_ok, 0);
    direct_control c = frame_start();
    read_first_key_set(c);
    EXPECT_EQ(c.vx, 1);
    EXPECT_EQ(c.vy, 0);
    EXPECT_EQ(c.action, 3);
    c = frame_start();
    read_second_key_set(c);
    EXPECT_EQ(c.vx, 0);
    EXPECT_EQ(c.vy, -1);
    EXPECT_EQ(c.action, -1);
}
