#include "net_screens.h"

#include <SDL.h>
#include <SDL_framerate.h>

#include "foundation/pacing.h"
#include "foundation/video_mgr.h"
#include "images/font.h"
#include "menu_screen.h"
#include "preload.h"

struct net_page_screen {
    game_resources* r = nullptr;
    FPSmanager pacer;
    key_press keys;
    tile_counter tile;
    bool covered = false;
};

net_page_screen* net_page_open(game_resources& r) {
    net_page_screen* s = new net_page_screen();
    s->r = &r;
    SDL_initFramerate(&s->pacer);
    SDL_setFramerate(&s->pacer, r.front_rate);
    open_menu_keys(s->keys);
    s->covered = menu_background_covers(r.menu_background);
    return s;
}

void net_page_close(net_page_screen* s) { delete s; }

static void draw_line(font* f, const std::string& text, int y) {
    if (!f) return;
    f->pen_x = (screen_w() - f->text_width(text.c_str())) / 2;
    f->pen_y = y;
    f->draw_text(text.c_str());
}

void draw_net_page(game_resources& r, const net_page& p, int tile) {
    if (!video.screen) return;
    draw_menu_background(r.menu_background, tile, 255);
    int y = screen_h() / 4;
    for (int i = 0; i < p.count; i++) {
        font* f = i == 0 && r.item_font ? r.item_font : r.list_font ? r.list_font : r.osd.plain;
        draw_line(f, p.lines[i], y);
        y += i == 0 ? screen_h() / 8 : screen_h() / 16;
    }
}

static void draw_page(net_page_screen* s, const net_page& p) {
    if (video.screen) video.clear_unless(s->covered);
    draw_net_page(*s->r, p, s->tile.value);
}

static void end_frame(net_page_screen* s) {
    pace_frame(&s->pacer);
    s->tile.advance();
    if (video.screen) video.flip();
}

net_page_key net_page_frame(net_page_screen* s, const net_page& p) {
    net_page_key out = NET_PAGE_NOTHING;
    draw_page(s, p);
    const bool closed = read_menu_keys(s->keys);
    for (int key = closed ? SDLK_ESCAPE : s->keys.next(); key && out == NET_PAGE_NOTHING; key = s->keys.next()) {
        if (key == SDLK_ESCAPE) out = NET_PAGE_CANCEL;
        else if (menu_action_of(key) == MENU_CONFIRM) out = NET_PAGE_CONFIRM;
    }
    end_frame(s);
    return out;
}

void net_page_show(game_resources& r, const net_page& p, unsigned ms) {
    net_page_screen* s = net_page_open(r);
    for (const Uint32 start = SDL_GetTicks(); SDL_GetTicks() - start < ms;)
        if (net_page_frame(s, p) != NET_PAGE_NOTHING) break;
    net_page_close(s);
}

void net_address_key(std::string& text, int key) {
    if (key == SDLK_BACKSPACE) {
        if (!text.empty()) text.pop_back();
        return;
    }
    char c = 0;
    if ((key >= SDLK_a && key <= SDLK_z) || (key >= SDLK_0 && key <= SDLK_9) || key == SDLK_PERIOD || key == SDLK_MINUS)
        c = (char)key;
    else if (key == SDLK_SEMICOLON || key == SDLK_COLON) c = ':';
    else if (key >= SDLK_KP0 && key <= SDLK_KP9) c = (char)('0' + key - SDLK_KP0);
    else if (key == SDLK_KP_PERIOD) c = '.';
    if (c && text.size() < NET_ADDRESS_TEXT) text += c;
}

bool net_join_screen(game_resources& r, std::string& text) {
    net_page_screen* s = net_page_open(r);
    key_press& keys = s->keys;
    bool ok = false;
    for (bool done = false; !done;) {
        net_page p;
        p.add("Join a network match");
        p.add("Type the host's address:");
        p.add(text + "_");
        p.add("");
        p.add("Return connects, Escape goes back");
        draw_page(s, p);
        // Letters here are text, not menu keys.
        const bool closed = read_menu_keys(keys);
        for (int key = closed ? SDLK_ESCAPE : keys.next(); key && !done; key = keys.next()) {
            if (key == SDLK_ESCAPE) done = true;
            else if ((key == SDLK_RETURN || key == SDLK_KP_ENTER) && !text.empty()) done = ok = true;
            else net_address_key(text, key);
        }
        end_frame(s);
    }
    net_page_close(s);
    return ok;
}
