#include "result_screen.h"

#include <SDL.h>
#include <cstdio>

#include "foundation/clock.h"
#include "foundation/pacing.h"
#include "foundation/video_mgr.h"
#include "images/font.h"
#include "match.h"
#include "menu_screen.h"
#include "preload.h"

void result_lines(const match_summary& m, char (*lines)[RESULT_LINE]) {
    const int w = m.wins[0] > m.wins[1] ? 0 : m.wins[1] > m.wins[0] ? 1 : -1;
    if (w < 0) snprintf(lines[0], RESULT_LINE, "A draw");
    else snprintf(lines[0], RESULT_LINE, "%s wins", m.names[w]);
    snprintf(lines[1], RESULT_LINE, "Rounds %s %d - %d %s", m.names[0], m.wins[0], m.wins[1], m.names[1]);
    const int best = m.best_combo[0] >= m.best_combo[1] ? 0 : 1;
    if (m.best_combo[best] > 1)
        snprintf(lines[2], RESULT_LINE, "Best combo %d hits by %s", m.best_combo[best], m.names[best]);
    else
        snprintf(lines[2], RESULT_LINE, "Best combo none");
}

static void centred(font* f, const char* text, int y) {
    if (!f) return;
    f->pen_x = (screen_w() - f->text_width(text)) / 2;
    f->pen_y = y;
    f->draw_text(text);
}

void result_screen(game_resources& r, const match_summary& m) {
    char lines[3][RESULT_LINE];
    result_lines(m, lines);
    key_press keys;
    keys.open(); // what is held from the fight waits for its release
    const uint32_t shown = clock_ticks();
    const uint32_t limit = m.mode == MODE_DEMO ? RESULT_DEMO_SECONDS * 1000u : 0;
    SDL_setFramerate(&r.pacer, r.front_rate);
    tile_counter tile;
    for (;;) {
        const bool closed = read_menu_keys(keys);
        const uint32_t since = clock_ticks() - shown;
        const bool ready = since >= RESULT_WAIT_MS;
        bool pressed = false;
        while (keys.next()) pressed = true; // a press within the first second is dropped
        if (closed || (ready && pressed) || (limit && since >= limit)) return;
        video.clear();
        draw_menu_background(r.menu_background, tile.value, 255);
        centred(r.item_font, lines[0], screen_h() / 4);
        centred(r.osd.plain, lines[1], screen_h() / 2);
        centred(r.osd.plain, lines[2], screen_h() / 2 + 40);
        if (ready) centred(r.osd.plain, "Press a key", screen_h() - 80);
        pace_frame(&r.pacer);
        video.flip();
        tile.advance();
    }
}
