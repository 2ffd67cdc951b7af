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
#include "foundation/sfx.h"
#include "foundation/video_mgr.h"
#include "game_options.h"
#include "input/control_mgr.h"
#include "match.h"
#include "roster.h"
#include "startup.h"
#include "test_support.h"
#include "world/mon_mgr.h"
#include "images/img_mgr.h"
#include "world/level.h"

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

// Walk up until the bodies touch, then tap punch at a person's pace (0.1 s down, 0.25 s up).
std::vector<SDLKey> walk_up_then_punch(const view& v) {
    if (gap(v) > 170) return {toward(v)};
    return v.frame % 70 < 20 ? std::vector<SDLKey>{SDLK_i} : std::vector<SDLKey>{};
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
                              {"walk up until touching, then punch", walk_up_then_punch},
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
            match_step(true); // the rules alone: nothing here looks at the screen
            fake_ms += 1000 / FPS;
            frame++;
        }
        if (current_match.end == MATCH_RUNNING) {
            // At the time limit, as on a round clock, more life wins; equal life wins nothing.
            int &won = b->hp > a->hp ? t.player : a->hp > b->hp ? t.computer : t.undecided;
            won++;
            a->hp = b->hp = -1;
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

// Rounds of one player on "normal" (the default) and "hard"; FIGHT_DIFFICULTY_TABLE=1 plays
// six on each difficulty, classic too, and prints the row of the full table.
struct DifficultyTable : Difficulty, ::testing::WithParamInterface<int> {};

TEST_P(DifficultyTable, NormalAndHardHoldOffTheSimpleScriptsAndTheCompetentPlayerCanStillWin) {
    const player_row& p = PLAYERS[GetParam()];
    const bool full = getenv("FIGHT_DIFFICULTY_TABLE") != nullptr;
    const int rounds = full ? 6 : 3;
    auto play_from_start = [&](int difficulty) {
        lcg_state = 1;
        mash_state = 7;
        return play(difficulty, p.play, rounds);
    };
    tally classic = full ? play_from_start(DIFFICULTY_CLASSIC) : tally();
    tally normal = play_from_start(DIFFICULTY_NORMAL), hard = play_from_start(DIFFICULTY_HARD);
    printf("| %s | %d - %d (%d) | %d - %d (%d) | %d - %d (%d) |\n", p.name, classic.player, classic.computer,
           classic.undecided, normal.player, normal.computer, normal.undecided, hard.player, hard.computer,
           hard.undecided);
    if (p.play == competent) {
        EXPECT_GE(normal.player * 2, rounds) << p.name; // at least half on the default
        EXPECT_GE(hard.player, 1) << p.name;
    } else {
        EXPECT_LE(normal.player * 3, rounds) << p.name; // at most a third
        EXPECT_LE(hard.player * 100, 50 * rounds) << p.name; // a third, with a margin
    }
}

INSTANTIATE_TEST_SUITE_P(Players, DifficultyTable, ::testing::Range(0, (int)(sizeof PLAYERS / sizeof PLAYERS[0])));

} // namespace

namespace {

// Versus at 60 frames per second: fighter A (left) plays on player 2's keys, B on player 1's.
struct versus {
    Uint8* state = SDL_GetKeyState(nullptr);
    match_resources res;
    versus(int left, int right) {
        fps = 60;
        game_opts = game_options();
        match_set_up(MODE_VERSUS, left, right, res);
    }
    ~versus() {
        frame({});
        match_tear_down();
    }
    void frame(std::initializer_list<SDLKey> held) {
        for (SDLKey k : {SDLK_d, SDLK_TAB, SDLK_LEFT, SDLK_i, SDLK_RIGHT, SDLK_a, SDLK_UP, SDLK_j}) state[k] = 0;
        for (SDLKey k : held) state[k] = 1;
        match_step(); // the rules and their sounds; nothing here looks at the screen
        if (video.audio_ok) match_play_sounds();
        fake_ms += 1000 / 60;
    }
    combatant* fighter(int i) { return Combatant_Manager.Objects[(size_t)i]; }
};

// Every ordered pair of the four fighters, the attacker on the left or the right in turn:
// it walks up until the bodies touch, lets go and punches at a person's pace. A defender
// standing still loses the punch's damage; the same defender holding back blocks the next.
TEST_F(Difficulty, InVersusWalkingUpAndPunchingHurtsAStandingFighterAndHoldingBackBlocksIt) {
    for (int a = 0; a < fighter_count; a++)
        for (int d = 0; d < fighter_count; d++) {
            const bool left = (a + d) % 2 == 0;
            versus v(left ? a : d, left ? d : a);
            combatant* att = v.fighter(left ? 0 : 1);
            combatant* def = v.fighter(left ? 1 : 0);
            const SDLKey forward = left ? SDLK_d : SDLK_LEFT, punch = left ? SDLK_TAB : SDLK_i;
            const SDLKey back = left ? SDLK_RIGHT : SDLK_a;
            int last_x = att->x, still = 0;
            for (int f = 0; f < 6 * 60 && still < 10; f++) {
                v.frame({forward});
                still = att->x == last_x ? still + 1 : 0;
                last_x = att->x;
            }
            const std::string what = std::string(fighter_table[a].name) + " against " + fighter_table[d].name +
                                     (left ? " from the left" : " from the right");
            ASSERT_EQ(still, 10) << what << ": never touched";
            int lost[2];
            for (int guard = 0; guard < 2; guard++) {
                for (int f = 0; f < 12; f++) v.frame({}); // let go for 0.2 s
                const int hp = def->hp;
                for (int f = 0; f < 36; f++) {
                    if (f < 6) guard ? v.frame({punch, back}) : v.frame({punch});
                    else guard ? v.frame({back}) : v.frame({});
                }
                lost[guard] = hp - def->hp;
            }
            EXPECT_EQ(lost[0], 10) << what << ", standing";
            EXPECT_EQ(lost[1], 0) << what << ", holding back";
        }
}

// Every fighter's jump lands in about three quarters of a second and tops out about one body
// height up.
TEST_F(Difficulty, EveryFightersJumpLandsInAboutThreeQuartersOfASecond) {
    for (int pick = 0; pick < fighter_count; pick++) {
        versus v(pick, pick);
        combatant* b = v.fighter(1);
        for (int f = 0; f < 30; f++) v.frame({});
        const int floor_y = b->y + b->h;
        int took = -1, landed = -1, apex = 0;
        for (int f = 0; f < 120 && landed < 0; f++) {
            f < 4 ? v.frame({SDLK_UP}) : v.frame({});
            int up = floor_y - (b->y + b->h);
            if (up > 0 && took < 0) took = f;
            if (up > apex) apex = up;
            if (took >= 0 && up <= 0) landed = f;
        }
        EXPECT_GE(landed - took, 42) << fighter_table[pick].name; // 0.70 s
        EXPECT_LE(landed - took, 48) << fighter_table[pick].name; // 0.80 s
        EXPECT_GE(apex, 180) << fighter_table[pick].name;
        EXPECT_LE(apex, 240) << fighter_table[pick].name;
    }
}

// The fighter makers' guide's example, made by its own commands in a copy of the game folder:
// fightcheck finds nothing, and in versus the new fighter (with the guide's life) walks up to
// Tamsin and her punch takes its 10.
TEST_F(Difficulty, TheGuidesExampleFighterIsCleanAndLandsItsPunchInAMatch) {
    const std::string guide = read_text(FIGHT_SOURCE_DIR "/docs/fighter_makers.md");
    const size_t mark = guide.find("<!-- example fighter -->\n```sh\n");
    ASSERT_NE(mark, std::string::npos);
    const size_t from = guide.find('\n', guide.find("```sh", mark)) + 1;
    scratch_dir d;
    copy_game_folder(d.path);
    write_text(d.file("make_wren.sh"), guide.substr(from, guide.find("```", from) - from));
    ASSERT_EQ(system(("cd '" + d.path + "' && bash -e make_wren.sh").c_str()), 0);
    run_result check = run_program(program_path("fightcheck"), {d.path}, ".", dummy_drivers, 60000);
    EXPECT_EQ(check.exit_code, 0) << check.out;

    ASSERT_EQ(chdir(d.path.c_str()), 0);
    ASSERT_EQ(load_roster(ROSTER_FILE), 1);
    const int wren = fighter_count - 1;
    EXPECT_STREQ(fighter_table[wren].name, "Wren");
    {
        versus v(wren, 1);
        combatant* w = v.fighter(0);
        combatant* tamsin = v.fighter(1);
        EXPECT_EQ(w->max_hp, 90);
        int last_x = w->x, still = 0;
        for (int f = 0; f < 6 * 60 && still < 10; f++) {
            v.frame({SDLK_d});
            still = w->x == last_x ? still + 1 : 0;
            last_x = w->x;
        }
        for (int f = 0; f < 12; f++) v.frame({});
        const int hp = tamsin->hp;
        for (int f = 0; f < 36; f++) f < 6 ? v.frame({SDLK_TAB}) : v.frame({});
        EXPECT_EQ(hp - tamsin->hp, 10);
    }
    clear_roster();
}

// A throw at contact holds the victim (no damage, not falling) for the grab and the lift,
// lands its 15 on the toss and has the victim on the floor about half a second after the
// press; from a step beyond reach the thrower's grab plays at empty air.
TEST_F(Difficulty, AThrowGrabsLiftsAndTossesAndOutOfReachWhiffsVisibly) {
    for (int gap : {150, 260}) {
        versus v(0, 0);
        combatant* a = v.fighter(0);
        combatant* b = v.fighter(1);
        a->x = b->x - gap;
        for (int f = 0; f < 10; f++) v.frame({});
        const int hp = a->hp, floor_y = a->y + a->h;
        int damaged_at = -1, floored_at = -1, held = 0;
        for (int f = 0; f < 60; f++) {
            f < 6 ? v.frame({SDLK_j}) : v.frame({});
            if (f == 1) {
                EXPECT_FALSE(stack_empty(b->stack)) << gap << ": the thrower plays its throw";
            }
            if (a->hp < hp && damaged_at < 0) damaged_at = f;
            if (damaged_at < 0 && current_match.held[0]) held++;
            if (damaged_at >= 0 && floored_at < 0 && f > damaged_at + 2 && a->y + a->h == floor_y) floored_at = f;
        }
        if (gap > 200) {
            EXPECT_EQ(a->hp, hp) << "a whiffed throw costs nothing";
            continue;
        }
        EXPECT_EQ(hp - a->hp, 15);
        EXPECT_GE(held, 12) << "the victim is held before the toss";
        EXPECT_GE(damaged_at, 12);
        EXPECT_GE(floored_at, 24);
        EXPECT_LE(floored_at, 40); // about half a second at 60 frames a second
    }
}


// How many chunks the mixer has mixed, and their size in bytes.
struct mix_log {
    int chunks = 0, chunk_bytes = 0;
};
mix_log mixes;
void count_mix(void*, Uint8*, int len) { mixes.chunks++, mixes.chunk_bytes = len; }

// A scripted punch in versus with the mixer opened as the game opens it, on SDL's disk driver
// taking chunks in real time. A frame's effect is mixed from the start of the next chunk
// after it, so it is heard at most one chunk after its frame: in the recording the first
// effect (the swing) starts the first chunk mixed after its frame, and a chunk is at most
// 1024 sample frames, 23.2 ms.
TEST_F(Difficulty, AnEffectStartsInTheRecordingWithin25msOfItsFrame) {
    if (Sfx_Manager.count()) GTEST_SKIP() << "sounds were loaded without a mixer; run this case on its own";
    scratch_dir dir;
    const std::string file = dir.file("mix.raw");
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", std::to_string(game_settings().audio_chunk * 1000 / 44100).c_str(), 1);
    ASSERT_EQ(video.init_audio(), 0);
    Mix_SetPostMix(count_mix, nullptr); // before the open, so the first chunk is stamped too
    ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16LSB, 2, game_settings().audio_chunk), 0) << Mix_GetError();
    int started_mix = -1;
    {
        versus v(0, 0);
        v.fighter(0)->x = v.fighter(1)->x - 150;
        for (int f = 0; f < 60 && started_mix < 0; f++) {
            SDL_Delay(16);
            SDL_LockAudio();
            f < 6 ? v.frame({SDLK_i}) : v.frame({});
            if (Mix_Playing(-1)) started_mix = mixes.chunks;
            SDL_UnlockAudio();
        }
        SDL_Delay(200);
    }
    Mix_CloseAudio(); // every chunk mixed is in the file, after those written before the mixer ran
    Mix_SetPostMix(nullptr, nullptr);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_GE(started_mix, 0) << "the punch played no sound";
    ASSERT_GT(mixes.chunk_bytes, 0);
    const int chunk = mixes.chunk_bytes / 4;
    EXPECT_LE(chunk, 1024) << "sample frames a chunk";

    std::string raw = read_text(file);
    size_t first = 0;
    while (first + 1 < raw.size() && raw[first] == 0 && raw[first + 1] == 0) first += 2;
    ASSERT_LT(first + 1, raw.size()) << "the recording is silent";
    const int before = (int)(raw.size() / mixes.chunk_bytes) - mixes.chunks;
    ASSERT_GE(before, 0);
    const int sample = (int)(first / 4), in_chunk = sample / chunk - before;
    EXPECT_EQ(in_chunk, started_mix) << "the first chunk mixed after the frame carries the effect";
    EXPECT_LT(sample % chunk, 16) << "from its start (the swing's first 15 samples are silent)";
    EXPECT_LE((chunk + sample % chunk) * 1000.0 / 44100, 25.0) << "ms from the frame to the effect, at most";
}

} // namespace
