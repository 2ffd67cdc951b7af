#include "menu_screen.h"

#include <SDL.h>

#include "foundation/video_mgr.h"
#include "images/img_mgr.h"

enum { AXIS_THRESHOLD = 17000 };

void draw_menu_background(img_mgr* background, int tile, uint8_t alpha) {
    if (!background || !video.screen) return;
    background->set_alpha(alpha);
    int y = (int)(tile * (1.0 / 115) * -140);
    background->draw_tiled(-tile, y, video.screen->w, video.screen->h);
}

bool is_sampling_frame(int tile, int rate) {
    int period = rate / 16;
    if (period < 1) period = 1;
    return tile % period == 0;
}

joystick_input read_joystick() {
    joystick_input in;
    SDL_Joystick* j = video.joysticks[0];
    if (!video.joystick_ok || !j) return in;
    in.present = true;
    for (int b = 0; b < 4; b++)
        if (SDL_JoystickGetButton(j, b)) in.confirm = true;
    int ax = SDL_JoystickGetAxis(j, 0), ay = SDL_JoystickGetAxis(j, 1);
    if (ax > AXIS_THRESHOLD) in.move_x = 1;
    if (ax < -AXIS_THRESHOLD) in.move_x = -1;
    if (ay > AXIS_THRESHOLD) in.move_y = 1;
    if (ay < -AXIS_THRESHOLD) in.move_y = -1;
    return in;
}

int wrap_selection(int selection, int step, int count) {
    if (count <= 0) return 0;
    selection += step;
    if (selection < 0) selection = count - 1;
    if (selection >= count) selection = 0;
    return selection;
}
