#include "char_select.h"

#include <SDL.h>
#include <SDL_framerate.h>
#include <algorithm>
#include <cmath>

#include "foundation/pacing.h"
#include "foundation/video_mgr.h"
#include "game_options.h"
#include "images/font.h"
#include "images/img_mgr.h"
#include "menu_screen.h"
#include "preload.h"

static void draw_group(img_mgr* pic, float zoom) {
    pic->draw(0, screen_h() - pic->get_height(), video.screen, zoom, zoom, 0);
}

// The action shot in its ring of four ghosts, then in place.
static void draw_shot(img_mgr* shot, int angle) {
    int x = screen_w() - shot->get_width() - 40;
    int y = (screen_h() - shot->get_height()) / 2;
    for (int k = 0; k < 4; k++) {
        double rad = (angle + 90 * k) * M_PI / 180.0;
        shot->set_alpha((uint8_t)(64 * k));
        shot->draw_at(x + (int)(cos(rad) * 40), y + (int)(sin(rad) * 40));
    }
    shot->set_alpha(255);
    shot->draw_at(x, y);
}

// The group picture's zoom that fits it to the screen width.
static float group_zoom(img_mgr* pic) {
    return pic->get_width() > 0 ? (float)screen_w() / (float)pic->get_width() : 1.0f;
}

void draw_char_select(game_resources& r, int choice, int angle) {
    draw_group(r.group_picture, group_zoom(r.group_picture));
    r.select_font->pen_x = 0;
    r.select_font->pen_y = 0;
    r.select_font->draw_text("Please select a character:");
    if (choice >= 0 && choice < ART_FIGHTERS) draw_shot(r.action_shots[choice], angle);
}

bool char_select_input(int& choice, bool quit_event, key_press& keys, int offered) {
    for (int key = quit_event ? SDLK_ESCAPE : keys.next(); key; key = keys.next()) {
        switch (menu_action_of(key)) {
        case MENU_RIGHT: choice = wrap_selection(choice, 1, offered); break;
        case MENU_LEFT: choice = wrap_selection(choice, -1, offered); break;
        case MENU_CONFIRM: return true;
        case MENU_CANCEL: choice = -1; return true;
        default: break;
        }
    }
    return false;
}

int char_select(game_resources& r, int rate) {
    FPSmanager pacer;
    SDL_initFramerate(&pacer);
    SDL_setFramerate(&pacer, rate % 256);
    play_select_music(r);
    key_press keys;
    keys.open(); // left and right switch once per press, without repeat
    img_mgr* pic = r.group_picture;
    float zoom = group_zoom(pic);

    pic->set_alpha(24);
    for (int i = 0; i < 32; i++) {
        draw_group(pic, zoom);
        video.flip();
        pace_frame(&pacer);
    }

    pic->set_alpha(255);
    int choice = 0, angle = 0;
    const int offered = std::min(roster_size(game_opts), (int)ART_FIGHTERS);
    for (bool done = false; !done;) {
        video.clear();
        draw_char_select(r, choice, angle);
        bool closed = read_menu_keys(keys);
        done = char_select_input(choice, closed, keys, offered);
        pace_frame(&pacer);
        video.flip();
        angle += 8;
        if (angle >= 360) angle = 0;
    }

    for (int a = 255; a > 0; a -= 8) {
        video.clear();
        pic->set_alpha((uint8_t)a);
        draw_group(pic, zoom);
        video.flip();
        pace_frame(&pacer);
    }
    pic->set_alpha(255);
    return choice;
}
