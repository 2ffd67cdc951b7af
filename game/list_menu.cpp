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

// One frame's presses, in order: moves, then a confirm or a cancel ends the list.
static bool apply_keys(key_press& keys, bool closed, int count, int& selection) {
    for (int key = closed ? SDLK_ESCAPE : keys.next(); key; key = keys.next()) {
        switch (menu_action_of(key)) {
        case MENU_DOWN: selection = wrap_selection(selection, 1, count); break;
        case MENU_UP: selection = wrap_selection(selection, -1, count); break;
        case MENU_CONFIRM: return true;
        case MENU_CANCEL: selection = count + 1; return true;
        default: break;
        }
    }
    return false;
}

// Rows overlap by 10 pixels of their pictures' empty leading; a small font has too little
// of it for that, so its rows overlap by at most a quarter of their height.
static int row_step(int height) {
    int step = height - 10, least = height - height / 4;
    return step > least ? step : least;
}

void render_list_rows(list_rows& out, const char (*rows)[LIST_ROW_TEXT], int count, font* f) {
    free_list_rows(out);
    for (int i = 0; i < count; i++) {
        char text[LIST_ROW_TEXT + 2];
        snprintf(text, sizeof text, "*%s*", rows[i]);
        out.lit.push_back(render_text_image(f, text, true));
        out.plain.push_back(render_text_image(f, rows[i], true));
    }
}

void free_list_rows(list_rows& rows) {
    for (img_mgr* img : rows.lit) delete img;
    for (img_mgr* img : rows.plain) delete img;
    rows.lit.clear();
    rows.plain.clear();
}

void draw_list_menu(const list_rows& rows, int selection, unsigned list, img_mgr* background, int tile) {
    draw_menu_background(background, tile, 255);
    if (video.is_gl() && list) glCallList(list);
    int W = screen_w();
    int y = 200;
    for (size_t i = 0; i < rows.plain.size(); i++) {
        img_mgr* img = (int)i == selection ? rows.lit[i] : rows.plain[i];
        img->draw_at(W / 2 - img->get_width() / 2, y);
        y += row_step(img->get_height());
    }
}

int list_menu(const char (*rows)[LIST_ROW_TEXT], int count, unsigned list, img_mgr* background, font* f,
              int rate, int first) {
    if (count < 1) return count + 1;
    FPSmanager pacer;
    SDL_initFramerate(&pacer);
    SDL_setFramerate(&pacer, rate);
    list_rows shown;
    render_list_rows(shown, rows, count, f);

    key_press keys;
    open_menu_keys(keys);
    int selection = first >= 0 && first < count ? first : 0;
    bool done = false;
    tile_counter tile;
    const bool covered = menu_background_covers(background);
    while (!done) {
        video.clear_unless(covered);
        draw_list_menu(shown, selection, list, background, tile.value);
        bool closed = read_menu_keys(keys);
        done = apply_keys(keys, closed, count, selection);
        pace_frame(&pacer);
        tile.advance();
        video.flip();
    }
    free_list_rows(shown);
    return selection;
}
