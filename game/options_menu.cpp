#include "options_menu.h"

#include <SDL.h>
#include <cstdio>

#include "foundation/log.h"
#include "game_options.h"
#include "input/control_mgr.h"
#include "list_menu.h"
#include "preload.h"

enum { OPTION_GAME = 0, OPTION_PLAYER1 = 1, OPTION_PLAYER2 = 2 };
enum { ROWS_MAX = 16 };
static const char* const GAME_SETTINGS_FILE = "game/game.ini";

int build_remap_rows(char (*rows)[32], int player) {
    for (int i = 0; i < CONTROL_COUNT; i++)
        snprintf(rows[i], 32, "%s %s", control_names[i],
                 key_name(Control_Manager.key_for(player, control_names[i])));
    snprintf(rows[CONTROL_COUNT], 32, "Done");
    return CONTROL_COUNT + 1;
}

int build_game_option_rows(char (*rows)[32], const char (*labels)[32], int labels_count,
                           const game_options& o) {
    char value[16];
    for (int i = 0; i < labels_count; i++)
        snprintf(rows[i], 32, "%s %s", labels[i],
                 i < OPT_COUNT ? game_option_text(o, i, value, sizeof value) : "");
    snprintf(rows[labels_count], 32, "done");
    return labels_count + 1;
}

bool remap_key(int player, int c, const char* controls_file) {
    SDL_Event e;
    bool released = false;
    while (SDL_WaitEvent(&e)) {
        if (e.type == SDL_QUIT) return false;
        if (!released) {
            released = e.type == SDL_KEYUP && e.key.keysym.sym == SDLK_SPACE;
        } else if (e.type == SDL_KEYDOWN) {
            Control_Manager.set_binding(player, control_names[c], (int)e.key.keysym.sym);
            Control_Manager.save(controls_file);
            return true;
        }
    }
    return false;
}

// Choosing a row moves its option to the next value and saves the options at once.
static void game_options_screen(game_resources& r) {
    char rows[ROWS_MAX][32];
    for (;;) {
        int count = build_game_option_rows(rows, r.game_option_labels, GAME_OPTION_COUNT, game_opts);
        int c = list_menu(rows, count, r.menu_list, r.menu_background, r.small_font, r.front_rate);
        if (c < 0 || c >= GAME_OPTION_COUNT) return;
        cycle_game_option(game_opts, c);
        if (!save_game_options(GAME_SETTINGS_FILE, game_opts))
            log_out("ERROR: the game options could not be saved in [%s]\n", GAME_SETTINGS_FILE);
    }
}

static void key_remapping(game_resources& r, int player) {
    char rows[ROWS_MAX][32];
    for (;;) {
        int count = build_remap_rows(rows, player);
        int c = list_menu(rows, count, r.menu_list, r.menu_background, r.small_font, r.front_rate);
        if (c >= CONTROL_COUNT) return;
        remap_key(player, c, "game/controls.ini");
    }
}

void options_menu(game_resources& r) {
    for (;;) {
        log_out("OPTION MENU:\n");
        int choice = list_menu(r.option_items, OPTION_ITEM_COUNT, r.menu_list, r.menu_background,
                               r.item_font, r.front_rate);
        if (choice == OPTION_GAME) game_options_screen(r);
        else if (choice == OPTION_PLAYER1 || choice == OPTION_PLAYER2) key_remapping(r, choice - 1);
        else return;
    }
}
