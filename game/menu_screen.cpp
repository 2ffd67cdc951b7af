#include "menu_screen.h"

#include <SDL.h>

#include "foundation/pacing.h"
#include "foundation/video_mgr.h"
#include "images/font.h"
#include "images/img_mgr.h"

enum { AXIS_THRESHOLD = 17000 };

void draw_menu_background(img_mgr* background, int tile, uint8_t alpha) {
    if (!background || !video.screen) return;
    background->set_alpha(alpha);
    int y = (int)(tile * (1.0 / 115) * -140);
    background->draw_tiled(-tile, y, video.screen->w, video.screen->h);
}

bool menu_background_covers(const img_mgr* background) {
    if (!background || !background->solid) return false;
    // An OpenGL texture repeats whole only when it is the picture itself, without padding.
    return !video.is_gl() || (background->tex_w == background->width && background->tex_h == background->height);
}

menu_action menu_action_of(int key) {
    switch (key) {
    case SDLK_UP:
    case KEY_PAD_UP: return MENU_UP;
    case SDLK_DOWN:
    case KEY_PAD_DOWN: return MENU_DOWN;
    case SDLK_LEFT:
    case KEY_PAD_LEFT: return MENU_LEFT;
    case SDLK_RIGHT:
    case KEY_PAD_RIGHT: return MENU_RIGHT;
    case SDLK_SPACE:
    case SDLK_RETURN:
    case KEY_PAD_CONFIRM: return MENU_CONFIRM;
    case SDLK_q:
    case SDLK_ESCAPE: return MENU_CANCEL;
    default: return MENU_NONE;
    }
}

void open_menu_keys(key_press& k) {
    k.open();
    for (int key : {(int)SDLK_UP, (int)SDLK_DOWN, (int)KEY_PAD_UP, (int)KEY_PAD_DOWN}) k.repeat(key);
}

bool read_menu_keys(key_press& k) {
    bool closed = k.pump() || quit_requested(); // also a close seen during a wait
    quit_taken();
    joystick_input j = read_joystick();
    if (j.present) {
        k.level(KEY_PAD_UP, j.move_y < 0);
        k.level(KEY_PAD_DOWN, j.move_y > 0);
        k.level(KEY_PAD_LEFT, j.move_x < 0);
        k.level(KEY_PAD_RIGHT, j.move_x > 0);
        k.level(KEY_PAD_CONFIRM, j.confirm);
    }
    return closed;
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

int screen_w() { return video.screen ? video.screen->w : 0; }
int screen_h() { return video.screen ? video.screen->h : 0; }

img_mgr* render_text_image(font* f, const char* text, bool upload) {
    img_mgr* img = new img_mgr();
    if (f && img->set_surface(f->render(text)) > 0 && upload) img->tohw();
    return img;
}
