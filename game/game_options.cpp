#include "game_options.h"

#include <cstdio>
#include <cstring>

#include "fighter_table.h"
#include "foundation/config_file.h"
#include "foundation/settings.h"
#include "images/file_check.h"

game_options game_opts;

game_options demo_options() {
    game_options o;
    o.difficulty = DIFFICULTY_CLASSIC;
    return o;
}

static const char* const KEYS[OPT_COUNT] = {"difficulty", "rounds", "lifestyle", "roundmode", "roster", "stage", "roundtime"};
// The words of each option named by words, by value (rounds is a number).
enum { WORDS_MAX = 3 };
static const char* const WORDS[OPT_COUNT][WORDS_MAX] = {
    {"classic", "hard", "normal"}, {}, {"classic", "strict"}, {"classic", "staged"}, {"four", "two"},
    {"road", "harbour", "alternate"}, {}};
// The round times the options screen goes round, in seconds (0: off).
static const int ROUND_TIMES[] = {ROUND_TIME_OFF, 60, 99};
// The order the options screen goes round the difficulties: from the gentlest up.
static const int DIFFICULTY_ORDER[] = {DIFFICULTY_CLASSIC, DIFFICULTY_NORMAL, DIFFICULTY_HARD};

static int word_count(int which) {
    int n = 0;
    while (n < WORDS_MAX && WORDS[which][n]) n++;
    return n;
}

static int* field(game_options& o, int which) {
    switch (which) {
    case OPT_DIFFICULTY: return &o.difficulty;
    case OPT_ROUNDS: return &o.rounds;
    case OPT_LIFE_STYLE: return &o.life_style;
    case OPT_ROSTER: return &o.roster;
    case OPT_STAGE: return &o.stage;
    case OPT_ROUND_TIME: return &o.round_time;
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
        if (w == OPT_ROUND_TIME) {
            int n = cfg.get_int(KEYS[w]);
            if (n > 0 && n <= ROUND_TIME_MAX) o.round_time = n;
            continue;
        }
        for (int k = 0; k < word_count(w); k++)
            if (v && strcmp(v, WORDS[w][k]) == 0) *field(o, w) = k;
    }
    const char* delay = cfg.has("netdelay") ? cfg.get_string("netdelay") : nullptr;
    if (delay && delay[0] >= '0' && delay[0] <= '0' + NET_DELAY_MAX && !delay[1]) o.net_delay = delay[0] - '0';
}

const char* game_option_text(const game_options& o, int which, char* buf, size_t size) {
    game_options copy = o;
    int v = *field(copy, which);
    if (which == OPT_ROUNDS) snprintf(buf, size, "%d", v);
    else if (which == OPT_ROUND_TIME && v > 0) snprintf(buf, size, "%d", v);
    else if (which == OPT_ROUND_TIME) snprintf(buf, size, "off");
    else snprintf(buf, size, "%s", WORDS[which][v >= 0 && v < word_count(which) ? v : 0]);
    return buf;
}

void cycle_game_option(game_options& o, int which) {
    if (which < 0 || which >= OPT_COUNT) return;
    int& v = *field(o, which);
    if (which == OPT_ROUNDS) {
        v = v >= ROUNDS_MAX ? ROUNDS_MIN : v + 1;
    } else if (which == OPT_ROUND_TIME) {
        // From a time the screen does not offer, to the next one it does.
        int at = 0;
        while (at < 3 && ROUND_TIMES[at] <= v) at++;
        v = ROUND_TIMES[at % 3];
    } else if (which == OPT_DIFFICULTY) {
        int at = 0;
        while (at < 2 && DIFFICULTY_ORDER[at] != v) at++;
        v = DIFFICULTY_ORDER[(at + 1) % 3];
    } else {
        v = (v + 1) % word_count(which);
    }
}

// "four" offers the four built-in fighters and every one the roster file added.
int roster_size(const game_options& o) { return o.roster == ROSTER_TWO ? 2 : 4 + (fighter_count - built_in_fighters); }

bool save_game_options(const char* path, const game_options& o) {
    config_file cfg;
    cfg.clear();
    cfg.load(path);
    char buf[16];
    for (int w = 0; w < OPT_COUNT; w++) cfg.set(KEYS[w], game_option_text(o, w, buf, sizeof buf));
    snprintf(buf, sizeof buf, "%d", o.net_delay);
    cfg.set("netdelay", buf);
    return cfg.save(path);
}

static void check_game_options(file_check& c) {
    for (int w = 0; w < OPT_COUNT; w++) {
        if (w == OPT_ROUNDS) c.whole(KEYS[w], ROUNDS_MIN, ROUNDS_MAX);
        else if (w == OPT_ROUND_TIME) {
            const config_entry* e = c.config().find(KEYS[w]);
            if (e && strcmp(e->value, "off") == 0) c.known(KEYS[w]);
            else c.whole(KEYS[w], ROUND_TIME_OFF, ROUND_TIME_MAX);
        } else c.word(KEYS[w], WORDS[w], word_count(w));
    }
    c.whole("netdelay", 0, NET_DELAY_MAX);
}

void check_settings_file(check_report& report, const char* path) {
    file_check c(report, path);
    if (!c.opened()) return;
    c.whole("fullscreen", 0, 1);
    c.whole("width", 160, 16384);
    c.whole("height", 120, 16384);
    long bpp = 0;
    if (c.whole("bpp", 0, 32, &bpp) && bpp != 0 && bpp != 8 && bpp != 15 && bpp != 16 && bpp != 24 && bpp != 32)
        c.problem(c.line_of("bpp"), "\"bpp\" is %ld: not 8, 15, 16, 24 or 32 (0: the screen's)", bpp);
    c.whole("fps", 1, FRAME_RATE_MOST);
    c.whole("debug", 0, 9);
    c.whole("hwaccel", 0, 1);
    long chunk = 0;
    if (c.whole("audiochunk", AUDIO_CHUNK_LEAST, AUDIO_CHUNK_MOST, &chunk) && (chunk & (chunk - 1)) != 0)
        c.problem(c.line_of("audiochunk"), "\"audiochunk\" is %ld: not a power of two", chunk);
    check_game_options(c);
    c.finish();
}
