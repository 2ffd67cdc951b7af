#include "options_menu.h"

#include <SDL.h>
#include <cstdio>

#include "foundation/config_file.h"
#include "foundation/log.h"
#include "game_options.h"
#include "input/control_mgr.h"
#include "input/key_press.h"
#include "list_menu.h"
#include "preload.h"
#include "video_options.h"

enum { OPTION_GAME = 0, OPTION_PLAYER1 = 1, OPTION_PLAYER2 = 2, OPTION_VIDEO = 3, OPTION_NETWORK = 5 };
enum { ROWS_MAX = 16 };
static const char* const GAME_SETTINGS_FILE = "game/game.ini";

const char* key_label(int key, char* buf, size_t size) {
    switch (key) {
    case SDLK_UP: return "Up arrow";
    case SDLK_DOWN: return "Down arrow";
    case SDLK_LEFT: return "Left arrow";
    case SDLK_RIGHT: return "Right arrow";
    default: break;
    }
    snprintf(buf, size, "%s", key_name(key));
    if (buf[0] >= 'a' && buf[0] <= 'z') buf[0] = (char)(buf[0] - 'a' + 'A');
    return buf;
}

int build_remap_rows(char (*rows)[LIST_ROW_TEXT], int player, const remap_outcome* last) {
    char held[32], refused[32];
    for (int i = 0; i < CONTROL_COUNT; i++) {
        const char* name = control_names[i];
        const char* key = key_label(Control_Manager.key_for(player, name), held, sizeof held);
        if (last && last->control == i && last->result == REMAP_TAKEN)
            snprintf(rows[i], LIST_ROW_TEXT, "%s: %s (%s is P%d %s)", name, key,
                     key_label(last->key, refused, sizeof refused), last->owner_player + 1,
                     control_names[last->owner_control]);
        else if (last && last->control == i && last->result == REMAP_NOT_SAVED)
            snprintf(rows[i], LIST_ROW_TEXT, "%s: %s (not saved)", name, key);
        else
            snprintf(rows[i], LIST_ROW_TEXT, "%s: %s", name, key);
    }
    snprintf(rows[CONTROL_COUNT], LIST_ROW_TEXT, "Done");
    return CONTROL_COUNT + 1;
}

int build_game_option_rows(char (*rows)[LIST_ROW_TEXT], const char (*labels)[LIST_ROW_TEXT], int labels_count,
                           const game_options& o) {
    char value[16];
    for (int i = 0; i < labels_count; i++)
        snprintf(rows[i], LIST_ROW_TEXT, "%s %s", labels[i],
                 i < OPT_COUNT ? game_option_text(o, i, value, sizeof value) : "");
    snprintf(rows[labels_count], LIST_ROW_TEXT, "done");
    return labels_count + 1;
}

remap_outcome remap_key(int player, int c, const char* controls_file) {
    remap_outcome out;
    out.control = c;
    if (c < 0 || c >= CONTROL_COUNT) return out;
    key_press keys;
    keys.open();
    SDL_Event e;
    while (SDL_WaitEvent(&e)) {
        if (e.type == SDL_QUIT) {
            out.result = REMAP_CLOSED;
            return out;
        }
        keys.handle(e);
        int key = keys.next();
        if (!key || keys.any_blocked()) continue; // the choosing key is still down
        out.key = key;
        if (key == SDLK_ESCAPE) return out;
        if (Control_Manager.find_key(key, player, c, out.owner_player, out.owner_control)) {
            out.result = REMAP_TAKEN;
            return out;
        }
        Control_Manager.set_binding(player, control_names[c], key);
        out.result = Control_Manager.save(controls_file) ? REMAP_BOUND : REMAP_NOT_SAVED;
        return out;
    }
    out.result = REMAP_CLOSED;
    return out;
}

int build_video_rows(char (*rows)[LIST_ROW_TEXT], const video_options& saved, const video_options& running) {
    for (int i = 0; i < VIDEO_COUNT; i++) video_option_row(saved, running, i, rows[i], LIST_ROW_TEXT);
    snprintf(rows[VIDEO_COUNT], LIST_ROW_TEXT, "done");
    return VIDEO_COUNT + 1;
}

// Each sub-screen below shows its list again after a change, on the row changed.

// Choosing a row moves its option to the next value and saves the options at once.
static void game_options_screen(game_resources& r) {
    char rows[ROWS_MAX][LIST_ROW_TEXT];
    for (int at = 0;;) {
        int count = build_game_option_rows(rows, r.game_option_labels, GAME_OPTION_COUNT, game_opts);
        int c = list_menu(rows, count, r.menu_list, r.menu_background, r.list_font, r.front_rate, at);
        if (c < 0 || c >= GAME_OPTION_COUNT) return;
        at = c;
        cycle_game_option(game_opts, c);
        if (!save_game_options(GAME_SETTINGS_FILE, game_opts))
            log_out("ERROR: the game options could not be saved in [%s]\n", GAME_SETTINGS_FILE);
    }
}

// The same for the video settings, read from the file on entry.
static void video_screen(game_resources& r) {
    config_file cfg;
    cfg.clear();
    cfg.load(GAME_SETTINGS_FILE);
    video_options saved = read_video_options(cfg);
    const video_options running = running_video_options();
    char rows[ROWS_MAX][LIST_ROW_TEXT];
    for (int at = 0;;) {
        int count = build_video_rows(rows, saved, running);
        int c = list_menu(rows, count, r.menu_list, r.menu_background, r.list_font, r.front_rate, at);
        if (c < 0 || c >= VIDEO_COUNT) return;
        at = c;
        cycle_video_option(saved, c);
        if (!save_video_options(GAME_SETTINGS_FILE, saved))
            log_out("ERROR: the video settings could not be saved in [%s]\n", GAME_SETTINGS_FILE);
    }
}

// The input delay of network matches: choosing the row goes 0, 1, ... 4 and round again.
static void network_screen(game_resources& r) {
    char rows[2][LIST_ROW_TEXT];
    for (;;) {
        snprintf(rows[0], LIST_ROW_TEXT, "Input Delay %d", game_opts.net_delay);
        snprintf(rows[1], LIST_ROW_TEXT, "done");
        if (list_menu(rows, 2, r.menu_list, r.menu_background, r.list_font, r.front_rate) != 0) return;
        game_opts.net_delay = game_opts.net_delay >= NET_DELAY_MAX ? 0 : game_opts.net_delay + 1;
        if (!save_game_options(GAME_SETTINGS_FILE, game_opts))
            log_out("ERROR: the game options could not be saved in [%s]\n", GAME_SETTINGS_FILE);
    }
}

static void key_remapping(game_resources& r, int player) {
    char rows[ROWS_MAX][LIST_ROW_TEXT];
    remap_outcome last;
    for (int at = 0;;) {
        int count = build_remap_rows(rows, player, &last);
        int c = list_menu(rows, count, r.menu_list, r.menu_background, r.list_font, r.front_rate, at);
        if (c >= CONTROL_COUNT) return;
        at = c;
        last = remap_key(player, c, "game/controls.ini");
        if (last.result == REMAP_CLOSED) return; // closing the window leaves the screen
    }
}

void options_menu(game_resources& r) {
    for (;;) {
        log_out("OPTION MENU:\n");
        int choice = list_menu(r.option_items, OPTION_ITEM_COUNT, r.menu_list, r.menu_background,
                               r.item_font, r.front_rate);
        if (choice == OPTION_GAME) game_options_screen(r);
        else if (choice == OPTION_PLAYER1 || choice == OPTION_PLAYER2) key_remapping(r, choice - 1);
        else if (choice == OPTION_VIDEO) video_screen(r);
        else if (choice == OPTION_NETWORK) network_screen(r);
        else return;
    }
}
