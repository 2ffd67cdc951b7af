#include "main_menu.h"

#include <SDL.h>

#include "animation/anim_group.h"
#include "foundation/pacing.h"
#include "foundation/video_mgr.h"
#include "images/img_mgr.h"
#include "menu_screen.h"
#include "world/level.h"
#include "preload.h"

static tile_counter menu_tile; // keeps drifting across showings

static void end_frame(game_resources& r) {
    pace_frame(&r.pacer);
    menu_tile.advance();
    video.flip();
}

int main_menu_row_y(int i, int h) { return h * 7 / 20 + i * h / 16; }

static void draw_items(game_resources& r, int selection, int x_even, int x_odd) {
    const int H = screen_h();
    for (int i = 0; i < MAIN_ITEM_COUNT; i++) {
        int x = i % 2 == 0 ? x_even : x_odd;
        if (i == selection) r.items_lit[i]->draw_at(x - 32, main_menu_row_y(i, H));
        else r.items[i]->draw_at(x, main_menu_row_y(i, H));
    }
}

static void opening(game_resources& r) {
    int W = screen_w(), H = screen_h();
    img_mgr* logo = r.dark_logo;
    for (int a = 0; a < 256; a += 8) {
        double w = a / 255.0;
        video.clear();
        draw_menu_background(r.menu_background, menu_tile.value, (uint8_t)a);
        float z = (float)(w * 0.4 + 0.1);
        logo->draw((int)(W / 2 - z * logo->get_width() / 2), 0, video.screen, z, z, 0);
        r.title->draw_at(W / 2 - 183, (int)(w * 75));
        draw_items(r, 0, (int)(w * (W / 2 - 100)), (int)(W - (W / 2 + 100) * w));
        int x = (int)(W - W * w);
        r.version->draw_at(x, H - 44);
        r.credits->draw_at(x, H - 22);
        menu_tile.advance();
        video.flip();
        pace_frame(&r.pacer);
    }
}

static void closing(game_resources& r, int selection) {
    int W = screen_w(), H = screen_h();
    img_mgr* logo = r.dark_logo;
    double lw = logo->get_width(), lh = logo->get_height();
    logo->no_zcache = 1;
    for (int a = 0; a < 256; a += 8) {
        if (a < 100) {
            draw_menu_background(r.menu_background, menu_tile.value, 255);
            r.title->draw_at(W / 2 - 183, 75);
            draw_items(r, selection, W / 2 - 100, W / 2 - 100);
            r.version->draw_at(0, H - 44);
            r.credits->draw_at(0, H - 22);
        }
        double s = a * a * 0.000588235294117647 + 0.5;
        logo->draw_scaled((int)((W / 2 - s * lw * 0.5) / s), (int)(s * lh / 2 - lh / 2), s, s);
        end_frame(r);
    }
}

bool main_menu_input(main_menu_choice& c, bool quit_event, key_press& keys) {
    for (int key = quit_event ? SDLK_ESCAPE : keys.next(); key; key = keys.next()) {
        switch (menu_action_of(key)) {
        case MENU_DOWN: c.selection = wrap_selection(c.selection, 1, MAIN_ITEM_COUNT); break;
        case MENU_UP: c.selection = wrap_selection(c.selection, -1, MAIN_ITEM_COUNT); break;
        case MENU_CONFIRM: return true;
        case MENU_CANCEL:
            c.quit = true;
            c.selection = ITEM_QUIT;
            return true;
        default: break;
        }
    }
    return false;
}

void draw_main_menu(game_resources& r, int selection) {
    int W = screen_w();
    draw_menu_background(r.menu_background, menu_tile.value, 255);
    r.decorations->display(0, 0, current_level);
    draw_items(r, selection, W / 2 - 100, W / 2 - 100);
}

main_menu_choice main_menu(game_resources& r) {
    main_menu_choice c;
    bool window_closed = false;
    r.dark_logo->no_zcache = 0;
    key_press keys;
    open_menu_keys(keys);
    opening(r);
    const bool covered = menu_background_covers(r.menu_background);
    for (bool done = false; !done;) {
        video.clear_unless(covered);
        play_menu_music(r);
        bool closed = read_menu_keys(keys);
        window_closed = window_closed || closed;
        done = main_menu_input(c, closed, keys);
        draw_main_menu(r, c.selection);
        end_frame(r);
    }
    // A closed window closes at once, without the closing transition.
    if (c.selection != ITEM_OPTIONS && !window_closed) closing(r, c.selection);
    return c;
}
