#include "replays_screen.h"

#include <SDL.h>
#include <SDL_framerate.h>
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "fighter_table.h"
#include "foundation/pacing.h"
#include "foundation/video_mgr.h"
#include "images/font.h"
#include "menu_screen.h"
#include "net_screens.h"
#include "preload.h"
#include "replay_file.h"
#include "replay_runner.h"

static const char* const REPLAYS_FOLDER = "game/replays";
enum { ROWS_SHOWN = 10 };

static std::string fighter_name(const std::string& file) {
    for (int i = 0; i < fighter_count; i++)
        if (file == fighter_table[i].file) return fighter_table[i].name;
    const size_t slash = file.rfind('/');
    return slash == std::string::npos ? file : file.substr(slash + 1);
}

static const char* mode_name(int mode) {
    static const char* const names[] = {"?", "arcade", "versus", "survival", "demo", "training"};
    return mode >= 1 && mode <= 5 ? names[mode] : names[0];
}

// The match's result as its last check shows it: the one left with more life won the last
// round, which decided the match.
static std::string result_of(const replay_record& r) {
    if (r.abandoned) return "abandoned";
    if (r.checks.empty()) return "?";
    const replay_check& c = r.checks.back();
    if (c.f[0].life == c.f[1].life) return "draw";
    return fighter_name(r.fighter[c.f[0].life > c.f[1].life ? 0 : 1]) + " won";
}

// "YYYYMMDD-HHMMSS" from the recording's name, else from its file's time.
static std::string stamp_of(const std::string& name, const std::string& path) {
    int d = 0, t = 0;
    char rest[8];
    if (sscanf(name.c_str(), "replay-%8d-%6d%7s", &d, &t, rest) >= 2 && d > 19000000) {
        char s[24];
        snprintf(s, sizeof s, "%08d-%06d", d, t);
        return s;
    }
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return "00000000-000000";
    struct tm tm_at;
    localtime_r(&st.st_mtime, &tm_at);
    char s[24];
    strftime(s, sizeof s, "%Y%m%d-%H%M%S", &tm_at);
    return s;
}

std::vector<replay_row> list_replays(const char* folder) {
    std::vector<replay_row> rows;
    DIR* d = opendir(folder);
    if (!d) return rows;
    while (dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (name.size() < 5 || name.compare(name.size() - 4, 4, ".ini") != 0) continue;
        replay_row row;
        row.file = std::string(folder) + "/" + name;
        row.stamp = stamp_of(name, row.file);
        replay_record r;
        std::string error;
        row.readable = replay_load(row.file.c_str(), r, error);
        if (!row.readable) {
            row.text = name + ": " + error.substr(error.find(':') == std::string::npos ? 0 : error.find(':') + 2);
        } else {
            const int rate = r.fps > 0 ? r.fps : 60;
            const int seconds = r.frames / rate;
            char text[160];
            snprintf(text, sizeof text, "%.4s-%.2s-%.2s %.2s:%.2s  %s  %s v %s  %s  %d:%02d", row.stamp.c_str(),
                     row.stamp.c_str() + 4, row.stamp.c_str() + 6, row.stamp.c_str() + 9, row.stamp.c_str() + 11,
                     r.takeover ? "takeover" : mode_name(r.mode), fighter_name(r.fighter[0]).c_str(), fighter_name(r.fighter[1]).c_str(),
                     result_of(r).c_str(), seconds / 60, seconds % 60);
            row.text = text;
        }
        row.lit = "*" + row.text + "*";
        rows.push_back(row);
    }
    closedir(d);
    std::sort(rows.begin(), rows.end(), [](const replay_row& a, const replay_row& b) {
        if (a.readable != b.readable) return a.readable;
        if (a.readable && a.stamp != b.stamp) return a.stamp > b.stamp;
        return a.file > b.file;
    });
    return rows;
}

static void draw_rows(game_resources& r, const std::vector<replay_row>& rows, int selection, int tile) {
    draw_menu_background(r.menu_background, tile, 255);
    font* title = r.item_font ? r.item_font : r.list_font;
    font* f = r.small_font ? r.small_font : r.list_font;
    if (!title || !f) return;
    const int w = screen_w(), h = screen_h();
    title->pen_x = (w - title->text_width("Replays")) / 2;
    title->pen_y = h / 16;
    title->draw_text("Replays");
    const int first = std::max(0, std::min(selection - ROWS_SHOWN / 2, (int)rows.size() - ROWS_SHOWN));
    int y = h / 5;
    if (rows.empty()) {
        f->pen_x = (w - f->text_width("No recordings yet")) / 2;
        f->pen_y = y;
        f->draw_text("No recordings yet");
    }
    for (int i = first; i < (int)rows.size() && i < first + ROWS_SHOWN; i++) {
        const replay_row& row = rows[(size_t)i];
        f->pen_x = 24;
        f->pen_y = y;
        f->draw_text(i == selection ? row.lit.c_str() : row.text.c_str());
        y += h / 16;
    }
    const char* help = "Return watches, Delete removes, Escape goes back";
    f->pen_x = (w - f->text_width(help)) / 2;
    f->pen_y = h - h / 10;
    f->draw_text(help);
}

// Asks once whether to remove the recording; true when the player says yes.
static bool confirm_delete(game_resources& r, const replay_row& row) {
    net_page page;
    page.add("Delete this recording?");
    page.add(row.text.substr(0, 60));
    page.add("");
    page.add("Return deletes it, Escape keeps it");
    net_page_screen* s = net_page_open(r);
    net_page_key k = NET_PAGE_NOTHING;
    while ((k = net_page_frame(s, page)) == NET_PAGE_NOTHING) {}
    net_page_close(s);
    return k == NET_PAGE_CONFIRM;
}

void replays_screen(game_resources& r) {
    std::vector<replay_row> rows = list_replays(REPLAYS_FOLDER);
    FPSmanager pacer;
    SDL_initFramerate(&pacer);
    SDL_setFramerate(&pacer, r.front_rate);
    key_press keys;
    open_menu_keys(keys);
    tile_counter tile;
    int selection = 0;
    for (bool done = false; !done;) {
        video.clear_unless(menu_background_covers(r.menu_background));
        draw_rows(r, rows, selection, tile.value);
        const bool closed = read_menu_keys(keys);
        for (int key = closed ? SDLK_ESCAPE : keys.next(); key && !done; key = keys.next()) {
            const int count = (int)rows.size();
            if (key == SDLK_ESCAPE || (key != SDLK_DELETE && menu_action_of(key) == MENU_CANCEL)) {
                done = true;
            } else if (key == SDLK_DELETE && count > 0) {
                if (confirm_delete(r, rows[(size_t)selection]) && remove(rows[(size_t)selection].file.c_str()) == 0) {
                    rows = list_replays(REPLAYS_FOLDER);
                    selection = std::min(selection, std::max(0, (int)rows.size() - 1));
                }
                open_menu_keys(keys);
            } else if (menu_action_of(key) == MENU_CONFIRM && count > 0 && rows[(size_t)selection].readable) {
                replay_watch(rows[(size_t)selection].file, r);
                quit_taken(); // a window closed while watching ends the watching
                rows = list_replays(REPLAYS_FOLDER);
                selection = 0;
                SDL_setFramerate(&pacer, r.front_rate);
                open_menu_keys(keys);
            } else if (menu_action_of(key) == MENU_DOWN) {
                selection = wrap_selection(selection, 1, count);
            } else if (menu_action_of(key) == MENU_UP) {
                selection = wrap_selection(selection, -1, count);
            }
        }
        pace_frame(&pacer);
        tile.advance();
        video.flip();
    }
}
