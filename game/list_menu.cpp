#include "list_menu.h"

#include <GL/gl.h>
#include <SDL.h>
#include <SDL_framerate.h>
#include <cstdio>
#include <vector>

#include "foundation/pacing.h"
#include "foundation/video_mgr.h"
#include "images/img_mgr.h"
#include "menu_screen.h"
#include "preload.h"

// One sampled event's effect on the list: a move, a confirm, or a cancel.
static bool apply_event(const SDL_Event& e, int count, int& selection, bool& done) {
    if (e.type == SDL_QUIT) {
        selection = count + 1;
        return done = true;
    }
    if (e.type != SDL_KEYDOWN) return false;
    switch (e.key.keysym.sym) {
    case SDLK_DOWN: selection = wrap_selection(selection, 1, count); break;
    case SDLK_UP: selection = wrap_selection(selection, -1, count); break;
    case SDLK_SPACE:
    case SDLK_RETURN: done = true; break;
    case SDLK_q:
    case SDLK_ESCAPE:
        selection = count + 1;
        done = true;
        break;
    default: break;
    }
    return done;
}

// Rows overlap by 10 pixels of their pictures' empty leading; a small font has too little
// of it for that, so its rows overlap by at most a quarter of their height.
static int row_step(int height) {
    int step = height - 10, least = height - height / 4;
    return step > least ? step : least;
}

int list_menu(const char (*rows)[32], int count, unsigned list, img_mgr* background, font* f,
              int rate) {
    if (count < 1) return count + 1;
    FPSmanager pacer;
    SDL_initFramerate(&pacer);
    SDL_setFramerate(&pacer, rate);
    std::vector<img_mgr*> lit((size_t)count), plain((size_t)count);
    for (int i = 0; i < count; i++) {
        char text[40];
        snprintf(text, sizeof text, "*%s*", rows[i]);
        lit[(size_t)i] = render_text_image(f, text, true);
        plain[(size_t)i] = render_text_image(f, rows[i], true);
    }

    SDL_Event e;
    while (SDL_PollEvent(&e)) {
    }
    int selection = 0;
    bool done = false;
    tile_counter tile;
    int W = screen_w();
    while (!done) {
        video.clear();
        draw_menu_background(background, tile.value, 255);
        if (video.is_gl() && list) glCallList(list);
        int y = 200;
        for (int i = 0; i < count; i++) {
            img_mgr* img = i == selection ? lit[(size_t)i] : plain[(size_t)i];
            img->draw_at(W / 2 - img->get_width() / 2, y);
            y += row_step(img->get_height());
        }
        if (is_sampling_frame(tile.value, rate)) {
            if (SDL_PollEvent(&e)) apply_event(e, count, selection, done);
            joystick_input j = read_joystick();
            if (j.confirm) done = true;
            if (j.move_y) selection = wrap_selection(selection, j.move_y, count);
            // The rest is dropped, but a closed window is never lost among it.
            while (SDL_PollEvent(&e))
                if (e.type == SDL_QUIT && !done) apply_event(e, count, selection, done);
            // So is one that another screen read: the program is ending.
            if (quit_requested() && !done) {
                e.type = SDL_QUIT;
                apply_event(e, count, selection, done);
            }
        }
        pace_frame(&pacer);
        tile.advance();
        video.flip();
    }
    for (int i = 0; i < count; i++) {
        delete lit[(size_t)i];
        delete plain[(size_t)i];
    }
    return selection;
}
