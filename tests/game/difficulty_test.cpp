// The computer of each difficulty against scripted players, in headless arcade matches on
// the game's own fighters at 200 frames per second: a loop of walking in and punching
// twice, a player who only blocks, one who only jumps in, a random masher and a competent
// player who blocks by posture and counters. Prints the table of rounds won; on "hard" no
// simple script may win more than a third of its rounds (with a margin), and the competent
// player still wins some.
#include <gtest/gtest.h>

#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include "foundation/clock.h"
#include "foundation/log.h"
#include "foundation/primitives.h"
#include "foundation/settings.h"
#include "game_options.h"
#include "input/control_mgr.h"
#include "match.h"
#include "test_support.h"
#include "world/mon_mgr.h"

namespace {

// The engine's random numbers from a fixed sequence, so every run plays the same matches.
unsigned lcg_state = 1;
int lcg() {
    lcg_state = lcg_state * 1103515245u + 12345u;
    return (int)((lcg_state >> 16) & 0x7FFF);
}
uint32_t fake_ms = 1000;
uint32_t fake_clock() { return fake_ms; }

enum { FPS = 200, ROUND_LIMIT = 25 * FPS };

struct view {
    const combatant* me;
    const combatant* opp;
    int frame; // of the round
};

typedef std::vector<SDLKey> (*script)(const view&);

SDLKey toward(const view& v) { return v.opp->x < v.me->x ? SDLK_LEFT : SDLK_RIGHT; }
SDLKey away(const view& v) { return v.opp->x < v.me->x ? SDLK_RIGHT : SDLK_LEFT; }
int gap(const view& v) { return std::abs(v.opp->x - v.me->x); }
bool attacking(const combatant* f) { return f->stance == 4; }

// Hold forward 0.3 s, tap punch, tap punch, again.
std::vector<SDLKey> walk_in_and_punch(const view& v) {
    int t = v.frame % 100;
    if (t < 60) return {toward(v)};
    if ((t >= 60 && t < 64) || (t >= 80 && t < 84)) return {SDLK_i};
    return {};
}

std::vector<SDLKey> only_block(const view& v) { return {away(v)}; }

// Jump towards the opponent and kick on the way down.
std::vector<SDLKey> only_jump_in(const view& v) {
    if (v.me->ay == 0) return {toward(v), SDLK_UP};
    if (v.me->ay > -14 && gap(v) < 260) return {SDLK_k};
    return {};
}

unsigned mash_state = 7;
std::vector<SDLKey> random_masher(const view& v) {
    static std::vector<SDLKey> held;
    if (v.frame % 10 == 0) {
        mash_state = mash_state * 1664525u + 1013904223u;
        const SDLKey keys[] = {SDLK_LEFT, SDLK_RIGHT, SDLK_UP, SDLK_DOWN, SDLK_i, SDLK_k, SDLK_j, SDLK_u};
        held.clear();
        for (int k = 0; k < 8; k++)
            if ((mash_state >> (8 + k * 2)) % 4 == 0) held.push_back(keys[k]);
    }
    return held;
}

// Blocks by posture while attacked, counters what it blocked, walks in, throws an opponent
// who stands guard, and mixes low kicks and punches at close range.
std::vector<SDLKey> competent(const view& v) {
    static int since_attack = 1000, was = 0, rest = 0;
    if (v.frame == 0) since_attack = 1000, was = 0, rest = 0;
    bool att = attacking(v.opp);
    if (was && !att) since_attack = 0;
    else if (since_attack < 1000) since_attack++;
    was = att;
    if (rest > 0) rest--;
    if (att && gap(v) < 280) {
        if (v.opp->posture == 0) return {away(v), SDLK_DOWN};
        return {away(v)};
    }
    if (since_attack < 12 && gap(v) < 200) {
        since_attack = 1000;
        return {SDLK_i};
    }
    if (gap(v) > 185) return {toward(v)};
    if (rest == 0 && v.opp->stance == 1 && gap(v) < 170) { // a guard is no answer to a throw
        rest = 40;
        return {SDLK_j};
    }
    if (rest == 0) {
        rest = 60;
        int pick = (v.frame / 7) % 3;
        if (pick == 0 && v.opp->stance == 1) return {SDLK_j};
        if (pick == 1) return {SDLK_DOWN, SDLK_k};
        return {SDLK_i};
    }
    return {};
}

struct player_row {
    const char* name;
    script play;
};
const player_row PLAYERS[] = {{"walk in and punch twice", walk_in_and_punch},
                              {"only blocks", only_block},
                              {"only jumps in", only_jump_in},
                              {"random masher", random_masher},
                              {"blocks and counters", competent}};

void set_keys(const std::vector<SDLKey>& keys) {
    Uint8* state = SDL_GetKeyState(nullptr);
    for (SDLKey k : {SDLK_LEFT, SDLK_RIGHT, SDLK_UP, SDLK_DOWN, SDLK_i, SDLK_k, SDLK_j, SDLK_u}) state[k] = 0;
    for (SDLKey k : keys) state[k] = 1;
}

struct tally {
    int player = 0, computer = 0, undecided = 0;
};

// Plays ROUNDS rounds of the player script (fighter B, Mirelle) against the computer
// (fighter A, Tamsin) at one difficulty.
tally play(int difficulty, script s, int rounds) {
    game_opts = game_options();
    game_opts.difficulty = difficulty;
    match_resources res;
    match_set_up(MODE_ARCADE, 1, 0, res);
    tally t;
    for (int round = 0; round < rounds; round++) {
        current_match.end = MATCH_RUNNING;
        current_match.ko_counter = 0;
        int frame = 0;
        combatant* a = Combatant_Manager.Objects[0];
        combatant* b = Combatant_Manager.Objects[1];
        while (current_match.end == MATCH_RUNNING && frame < ROUND_LIMIT) {
            view v = {b, a, frame};
            set_keys(b->alive() && a->alive() ? s(v) : std::vector<SDLKey>{});
            match_frame();
            fake_ms += 1000 / FPS;
            frame++;
        }
        if (current_match.end == MATCH_RUNNING) {
            t.undecided++;
            a->hp = b->hp = -1; // a round that does not end counts for nobody
        } else if (!a->alive() && b->alive()) {
            t.player++;
        } else if (!b->alive() && a->alive()) {
            t.computer++;
        } else {
            t.undecided++;
        }
        current_match.end = MATCH_DECIDED;
        match_round_over(MODE_ARCADE, 100);
        a->hp = a->max_hp;
        b->hp = b->max_hp;
    }
    set_keys({});
    match_tear_down();
    game_opts = game_options();
    return t;
}

void drop(log_stream, const char*, void*) {}

struct Difficulty : ::testing::Test {
    std::string old_cwd;
    void SetUp() override {
        char buf[4096];
        old_cwd = getcwd(buf, sizeof buf) ? buf : "/";
        ASSERT_TRUE(open_test_screen(false));
        ASSERT_EQ(chdir(FIGHT_DATA_DIR), 0);
        fps = FPS;
        debug = 0;
        fill_trig_tables();
        if (Control_Manager.names.empty())
            for (const char* n : control_names) Control_Manager.register_name(n);
        Control_Manager.set_defaults();
        random_set_source(lcg);
        clock_set_source(fake_clock);
        log_set_sink(drop, nullptr); // the matches' own lines are not the point here
    }
    void TearDown() override {
        log_set_sink(nullptr, nullptr);
        random_set_source(nullptr);
        clock_set_source(nullptr);
        fps = 60;
        EXPECT_EQ(chdir(old_cwd.c_str()), 0);
    }
};

// Three rounds of one player on "hard"; FIGHT_DIFFICULTY_TABLE=1 plays six on each
// difficulty and prints the row of the full table.
struct DifficultyTable : Difficulty, ::testing::WithParamInterface<int> {};

TEST_P(DifficultyTable, HardHoldsOffTheSimpleScriptsAndTheCompetentPlayerCanStillWin) {
    const player_row& p = PLAYERS[GetParam()];
    const bool full = getenv("FIGHT_DIFFICULTY_TABLE") != nullptr;
    const int rounds = full ? 6 : 3;
    tally classic;
    if (full) {
        lcg_state = 1;
        mash_state = 7;
        classic = play(DIFFICULTY_CLASSIC, p.play, rounds);
    }
    lcg_state = 1;
    mash_state = 7;
    tally hard = play(DIFFICULTY_HARD, p.play, rounds);
    printf("| %s | %d - %d (%d) | %d - %d (%d) |\n", p.name, classic.player, classic.computer,
           classic.undecided, hard.player, hard.computer, hard.undecided);
    if (p.play == competent) EXPECT_GE(hard.player, 1) << p.name;
    else EXPECT_LE(hard.player * 100, 50 * rounds) << p.name; // a third, with a margin
}

INSTANTIATE_TEST_SUITE_P(Players, DifficultyTable, ::testing::Range(0, (int)(sizeof PLAYERS / sizeof PLAYERS[0])));

} // namespace
