#include "game_loop.h"

#include <SDL.h>
#include <SDL_framerate.h>

#include "foundation/clock.h"
#include "foundation/log.h"
#include "foundation/pacing.h"
#include "foundation/video_mgr.h"
#include "game_options.h"
#include "match.h"
#include "preload.h"
#include "result_screen.h"
#include "world/level.h"
#ifndef FIGHT_REDUCED
#include "char_select.h"
#include "net_link.h"
#include "net_screens.h"
#include "netplay.h"
#include "options_menu.h"
#include "replays_screen.h"
#endif
#include "main_menu.h"

match_setup setup_for_item(int item, int random_pick) {
    switch (item) {
    case ITEM_ARCADE: return match_setup{MODE_ARCADE, game_opts.rounds, -1, random_pick};
    case ITEM_VERSUS: return match_setup{MODE_VERSUS, game_opts.rounds, -1, -1};
    case ITEM_SURVIVAL: return match_setup{MODE_SURVIVAL, 0, -1, random_pick};
    case ITEM_TRAINING: return match_setup{MODE_TRAINING, 0, -1, -1};
    default: return match_setup{MODE_DEMO, 3, 0, 1}; // "demo"
    }
}

// A window closed in the match ends it; the close is taken there (back to the main menu).
// A match played to its end shows its result first (training never ends so).
static int play(game_resources& r, const match_setup& m) {
    int end = run_match(m.mode, m.player2, m.player1, m.required_wins, match_resources_of(r));
    if (end == MATCH_DECIDED && !quit_requested()) result_screen(r, last_match);
    quit_taken();
    return end;
}

#ifdef FIGHT_REDUCED

// The logo, then one match with fixed parameters: Tamsin (left) against Mirelle (right),
// both played by the computer.
void run_game(game_resources& r) {
    int end = MATCH_RUNNING;
    for (;;) {
        log_out("MAIN MENU:\n");
        video.clear();
        if (end != MATCH_RUNNING) return;
        end = play(r, setup_for_item(4, 0));
    }
}

#else

// Character select for the set-up's open picks; false when player 1 cancels. Versus and
// training take two selections (training: the player's fighter, then the dummy); a cancel
// of the second goes back to the first.
static bool select_fighters(game_resources& r, match_setup& m) {
    for (;;) {
        m.player1 = char_select(r, r.front_rate);
        if (m.player1 < 0) return false;
        if (m.mode != MODE_VERSUS && m.mode != MODE_TRAINING) return true;
        m.player2 = char_select(r, r.front_rate, m.mode == MODE_VERSUS ? TURN_PLAYER2 : TURN_DUMMY);
        if (m.player2 >= 0) return true;
    }
}

static game_state enter_main_menu(game_resources& r, match_setup& m) {
    log_out("MAIN MENU:\n");
    current_level = new level();
    SDL_setFramerate(&r.pacer, r.front_rate);
    main_menu_choice c = main_menu(r);
    delete current_level;
    current_level = nullptr;
    if (c.quit || c.selection == ITEM_QUIT) return STATE_QUIT;
    if (c.selection == ITEM_OPTIONS) return STATE_OPTIONS;
    if (c.selection == ITEM_NETWORK) return STATE_NETWORK;
    if (c.selection == ITEM_REPLAYS) return STATE_REPLAYS;
    m = setup_for_item(c.selection, random_next() % roster_size(game_opts));
    return c.selection == ITEM_DEMO ? STATE_MATCH : STATE_SELECT;
}

// "network": "host" waits for a guest, "join" asks for the host's address; either plays one
// network match, then the main menu comes back.
static void network_menu(game_resources& r) {
    static std::string address; // the last one typed, offered again
    const char rows[2][LIST_ROW_TEXT] = {"host", "join"};
    const int c = list_menu(rows, 2, r.menu_list, r.menu_background, r.item_font, r.front_rate);
    netplay_command_line cmd;
    cmd.active = 1;
    cmd.port = NET_DEFAULT_PORT;
    if (c == 0) {
        cmd.host = 1;
    } else if (c == 1) {
        if (!net_join_screen(r, address)) return;
        char host[256];
        if (!net_address(address.c_str(), host, sizeof host, cmd.port)) {
            net_page page;
            page.add("Not an address: " + address);
            net_page_show(r, page, 1500);
            return;
        }
        cmd.address = host;
    } else {
        return;
    }
    netplay_run(cmd, r);
    quit_taken(); // a window closed in the match ends it, not the game
}

void run_game(game_resources& r) {
    match_setup m = setup_for_item(ITEM_DEMO, 0);
    game_state state = STATE_MAIN_MENU;
    while (state != STATE_QUIT) {
        switch (state) {
        case STATE_MAIN_MENU: state = enter_main_menu(r, m); break;
        case STATE_OPTIONS:
            options_menu(r);
            state = STATE_MAIN_MENU;
            break;
        case STATE_REPLAYS:
            replays_screen(r);
            state = STATE_MAIN_MENU;
            break;
        case STATE_NETWORK:
            network_menu(r);
            state = STATE_MAIN_MENU;
            break;
        case STATE_SELECT: state = select_fighters(r, m) ? STATE_MATCH : STATE_MAIN_MENU; break;
        case STATE_MATCH:
            play(r, m);
            state = STATE_MAIN_MENU;
            break;
        default: state = STATE_QUIT; break;
        }
    }
}

#endif
