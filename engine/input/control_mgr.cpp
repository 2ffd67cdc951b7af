#include "input/control_mgr.h"

#include <SDL.h>
#include <cstdio>
#include <cstring>

#include "foundation/config_file.h"
#include "foundation/log.h"
#include "images/file_check.h"

control_mgr Control_Manager;

const char* const control_names[CONTROL_COUNT] = {
    "up", "down", "left", "right", "punch", "kick", "special1", "special2", "block", "throw"};

// Keys per control in control order: player 0 on the arrows and i k o l u j, player 1 on
// w s a d and Tab z x c q e.
static const int default_keys[2][CONTROL_COUNT] = {
    {SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT, SDLK_i, SDLK_k, SDLK_o, SDLK_l, SDLK_u, SDLK_j},
    {SDLK_w, SDLK_s, SDLK_a, SDLK_d, SDLK_TAB, SDLK_z, SDLK_x, SDLK_c, SDLK_q, SDLK_e}};

int default_key(int player, int control) {
    if (player < 0 || player > 1 || control < 0 || control >= CONTROL_COUNT) return 0;
    return default_keys[player][control];
}

const char* key_name(int key) {
    if (key < 0 || key >= SDLK_LAST) return "unknown key";
    return SDL_GetKeyName((SDLKey)key);
}

void control_mgr::register_name(const char* name) {
    if (name) names.push_back(name);
}

void control_mgr::set_defaults() {
    for (int p = 0; p < 2; p++)
        for (int i = 0; i < CONTROL_COUNT; i++) set_binding(p, control_names[i], default_keys[p][i]);
}

void control_mgr::set_binding(int p, const char* name, int key) {
    if (!name) return;
    if (p < 0 || p >= MAX_CONTROL_PLAYERS) {
        log_out("ERROR: No control structs for player [%d]\n", p);
        return;
    }
    if ((int)lists.size() < p + 1) {
        log_out("Not enough control structs for [%d] player(s)\n", p + 1);
        log_out("Adding [%d] control structures to control manager\n", p + 1 - (int)lists.size());
        lists.resize((size_t)p + 1);
    }
    control_binding* b = lists[(size_t)p].find(name);
    if (!b) {
        b = new control_binding();
        lists[(size_t)p].add(name, b);
    }
    log_out("Setting [%s] for player [%d] to [%s]\n", name, p, key_name(key));
    b->pressed.key = b->pressed.mirrored_key = key;
    b->released.key = b->released.mirrored_key = key;
}

int control_mgr::key_for(int p, const char* name) const {
    const control_binding* b = (p >= 0 && p < (int)lists.size()) ? lists[(size_t)p].find(name) : nullptr;
    if (!b) {
        log_out("Didn't find [%s] for player [%d]\n", name ? name : "", p);
        return 0;
    }
    log_out("Found [%s] for player [%d] to be [%s]\n", name, p, key_name(b->pressed.key));
    return b->pressed.key;
}

bool control_mgr::find_key(int key, int p, int c, int& owner_player, int& owner_control) const {
    for (size_t i = 0; i < lists.size(); i++)
        for (int n = 0; n < CONTROL_COUNT; n++) {
            if ((int)i == p && n == c) continue;
            const control_binding* b = lists[i].find(control_names[n]);
            if (!b || b->pressed.key != key) continue;
            owner_player = (int)i;
            owner_control = n;
            return true;
        }
    return false;
}

void control_mgr::load(const char* filename) {
    config_file cfg;
    if (!cfg.load(filename)) return;
    int players = cfg.get_int("players");
    if (players <= 0) return;
    if (players > MAX_CONTROL_PLAYERS) {
        log_out("WARNING: [%d] players in [%s], reading the first [%d]\n", players, filename,
                (int)MAX_CONTROL_PLAYERS);
        players = MAX_CONTROL_PLAYERS;
    }
    char key[300];
    for (int i = 0; i < players; i++) {
        for (const char* n : names) {
            snprintf(key, sizeof key, "player%dcontrol%s", i, n);
            if (cfg.has(key)) set_binding(i, n, cfg.get_int(key));
        }
    }
}

int control_mgr::save(const char* filename) const {
    config_file cfg;
    char key[300], value[32];
    snprintf(value, sizeof value, "%d", (int)lists.size());
    cfg.set("players", value);
    for (size_t i = 0; i < lists.size(); i++) {
        for (const char* n : names) {
            const control_binding* b = lists[i].find(n);
            if (!b) continue;
            snprintf(key, sizeof key, "player%dcontrol%s", (int)i, n);
            snprintf(value, sizeof value, "%d", b->pressed.key);
            cfg.set(key, value);
        }
    }
    return cfg.save(filename) ? 1 : 0;
}

control_stage_list control_mgr::build_stage_list(int p) {
    control_stage_list stages;
    if (p < 0 || p >= (int)lists.size()) return stages;
    binding_list& bindings = lists[(size_t)p];

    // "left" always means towards the opponent: a mirrored fighter reads the other arrow.
    // Without both sides there is nothing to exchange, so the present one stays as it is.
    control_binding* left = bindings.find("left");
    control_binding* right = bindings.find("right");
    if (left && right) {
        left->pressed.mirrored_key = right->pressed.key;
        right->pressed.mirrored_key = left->pressed.key;
        left->released.mirrored_key = right->released.key;
        right->released.mirrored_key = left->released.key;
    }

    char no_name[300];
    for (const char* n : names) {
        control_binding* b = bindings.find(n);
        if (!b) continue;
        control_stage* press = new control_stage();
        press->min_delay = 0;
        press->max_delay = 200;
        press->presses.push_back(&b->pressed);
        press->name = n;
        stages.add(n, press);

        control_stage* release = new control_stage();
        release->min_delay = 0;
        release->max_delay = 200;
        release->presses.push_back(&b->released);
        release->name = n;
        snprintf(no_name, sizeof no_name, "no%s", n);
        stages.add(no_name, release);
    }
    return stages;
}

void check_controls_file(check_report& report, const char* path) {
    file_check c(report, path);
    if (!c.opened()) return;
    long players = 0;
    c.whole("players", 1, MAX_CONTROL_PLAYERS, &players);
    if (!c.config().has("players") && c.config().count() > 0)
        c.problem(0, "no \"players\": the game reads none of the bindings");
    char key[64];
    for (int i = 0; i < (players > 0 ? players : 2); i++)
        for (const char* n : control_names) {
            snprintf(key, sizeof key, "player%dcontrol%s", i, n);
            c.whole(key, 0, SDLK_LAST - 1);
        }
    c.finish();
}
