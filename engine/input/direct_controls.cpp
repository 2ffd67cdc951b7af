#include "input/direct_controls.h"

#include "foundation/video_mgr.h"
#include "input/key_source.h"

double axis_speed(int value) {
    if (value > 17000) return 1.5;
    if (value > 10000) return 1.0;
    if (value > 3200) return 0.5;
    if (value < -17000) return -1.5;
    if (value < -10000) return -1.0;
    if (value < -3200) return -0.5;
    return 0.0;
}

static void fire(direct_control& c, int action) {
    c.action = action;
    c.fire_x = 0;
    c.fire_y = -1;
}

void first_key_set(const Uint8* keys, const joystick_sample* joy, direct_control& c) {
    bool x_set = false, y_set = false;
    if (joy) {
        static const int button_action[4] = {0, 3, 4, 5};
        for (int b = 0; b < 4; b++)
            if (joy->buttons[b]) fire(c, button_action[b]);
        double sx = axis_speed(joy->axes[0]), sy = axis_speed(joy->axes[1]);
        if (sx != 0) { c.vx = sx; x_set = true; }
        if (sy != 0) { c.vy = sy; y_set = true; }
    }
    // Later keys win: right over left, down over up, keys over the joystick.
    if (keys[SDLK_LEFT]) { c.vx = -1; x_set = true; }
    if (keys[SDLK_RIGHT]) { c.vx = 1; x_set = true; }
    if (keys[SDLK_UP]) { c.vy = -1; y_set = true; }
    if (keys[SDLK_DOWN]) { c.vy = 1; y_set = true; }
    if (!x_set) c.vx = 0;
    if (!y_set) c.vy = 0;

    if (keys[SDLK_SPACE]) fire(c, 0);
    if (keys[SDLK_i]) fire(c, 0);
    if (keys[SDLK_k]) fire(c, 3);
    if (keys[SDLK_o]) fire(c, 5);
    if (keys[SDLK_l]) fire(c, 4);
    if (keys[SDLK_u]) fire(c, 6);
    if (keys[SDLK_j]) fire(c, 7);
}

void second_key_set(const Uint8* keys, direct_control& c) {
    bool x_set = false, y_set = false;
    if (keys[SDLK_a]) { c.vx = -1; x_set = true; }
    if (keys[SDLK_d]) { c.vx = 1; x_set = true; }
    if (keys[SDLK_w]) { c.vy = -1; y_set = true; }
    if (keys[SDLK_s]) { c.vy = 1; y_set = true; }
    if (!x_set) c.vx = 0;
    if (!y_set) c.vy = 0;
    // z kicks without aiming: the fire direction stays as the frame began it.
    if (keys[SDLK_z]) c.action = 3;
    if (keys[SDLK_TAB]) fire(c, 0);
    // The rest of the set, clear of every key of the first: specials on x and c, block on
    // q, throw on e.
    if (keys[SDLK_x]) fire(c, 5);
    if (keys[SDLK_c]) fire(c, 4);
    if (keys[SDLK_q]) fire(c, 6);
    if (keys[SDLK_e]) fire(c, 7);
}

void read_first_key_set(direct_control& c) {
    const Uint8* keys = key_source_state(nullptr);
    joystick_sample joy;
    const joystick_sample* j = nullptr;
    SDL_Joystick* stick = video.joysticks[0];
    if (const key_override* o = key_source_override()) {
        // A replay's joystick, or none.
        if (o->joystick) {
            for (int b = 0; b < 4; b++) joy.buttons[b] = o->buttons[b];
            joy.axes[0] = o->axes[0];
            joy.axes[1] = o->axes[1];
            j = &joy;
        }
    } else if (video.joystick_ok == 1 && stick) {
        for (int b = 0; b < 4; b++) joy.buttons[b] = SDL_JoystickGetButton(stick, b);
        joy.axes[0] = SDL_JoystickGetAxis(stick, 0);
        joy.axes[1] = SDL_JoystickGetAxis(stick, 1);
        j = &joy;
    }
    first_key_set(keys, j, c);
}

void read_second_key_set(direct_control& c) { second_key_set(key_source_state(nullptr), c); }
