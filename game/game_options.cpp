#include "game_options.h"

#include <cstdio>
#include <cstring>

#include "foundation/config_file.h"

game_options game_opts;

static const char* const KEYS[OPT_COUNT] = {"difficulty", "rounds", "lifestyle", "roundmode"};
// The two words of each two-valued option, default first.
static const char* const WORDS[OPT_COUNT][2] = {
    {"classic", "hard"}, {nullptr, nullptr}, {"classic", "strict"}, {"classic", "staged"}};

static int* field(game_options& o, int which) {
    switch (which) {
    case OPT_DIFFICULTY: return &o.difficulty;
    case OPT_ROUNDS: return &o.rounds;
    case OPT_LIFE_STYLE: return &o.life_style;
    default: return &o.round_mode;
    }
}

void read_game_options(const config_file& cfg, game_options& o) {
    o = game_options();
    for (int w = 0; w < OPT_COUNT; w++) {
        if (!cfg.has(KEYS[w])) continue;
        const char* v = cfg.get_string(KEYS[w]);
        if (w == OPT_ROUNDS) {
            int n = cfg.get_int(KEYS[w]);
            if (n >= ROUNDS_MIN && n <= ROUNDS_MAX) o.rounds = n;
            continue;
        }
        for (int k = 0; k < 2; k++)
            if (v && strcmp(v, WORDS[w][k]) == 0) *field(o, w) = k;
    }
}

const char* game_option_text(const game_options& o, int which, char* buf, size_t size) {
    game_options copy = o;
    int v = *field(copy, which);
    if (which == OPT_ROUNDS) snprintf(buf, size, "%d", v);
    else snprintf(buf, size, "%s", WORDS[which][v ? 1 : 0]);
    return buf;
}

void cycle_game_option(game_options& o, int which) {
    if (which < 0 || which >= OPT_COUNT) return;
    int& v = *field(o, which);
    if (which == OPT_ROUNDS) v = v >= ROUNDS_MAX ? ROUNDS_MIN : v + 1;
    else v = v ? 0 : 1;
}

bool save_game_options(const char* path, const game_options& o) {
    config_file cfg;
    cfg.clear();
    cfg.load(path);
    char buf[16];
    for (int w = 0; w < OPT_COUNT; w++) cfg.set(KEYS[w], game_option_text(o, w, buf, sizeof buf));
    return cfg.save(path);
}
