// The match's rules with small fighter files and a written key state: set-up, facing and
// camera, blocking by posture, trades, projectile clashes and chip damage, block dash,
// throws, knock-outs, rounds and match end, survival, re-colouring, dead projectiles.
#include "match_helpers.h"

#include <algorithm>
#include <cmath>

#include "../animation/anim_files.h"
#include "foundation/primitives.h"
#include "foundation/sfx.h"
#include "game_options.h"
#include "input/path.h"
#include "result_screen.h"

namespace {

struct Match : ::testing::Test {
    match_folder folder;
    void set_up(int mode = MODE_VERSUS) { match_set_up(mode, 1, 0, folder.res); }
    void TearDown() override {
        game_opts = game_options();
        hold({SDLK_u, SDLK_j, SDLK_LEFT, SDLK_RIGHT, SDLK_k, SDLK_i, SDLK_d, SDLK_TAB}, false);
    }
};

// ---------------------------------------------------------------------------------------
// Set-up

TEST_F(Match, SetUpPlacesTheFightersFacingEachOtherAndPrintsItsLines) {
    log_capture log;
    set_up();
    ASSERT_EQ(Combatant_Manager.count(), 2);
    combatant* a = fighter_a();
    combatant* b = fighter_b();
    EXPECT_EQ(a->x, 300);
    EXPECT_EQ(b->x, 700);
    EXPECT_EQ(a->y, 480 - a->h);
    EXPECT_EQ(b->y, 480 - b->h);
    EXPECT_EQ(a->side, 0);
    EXPECT_EQ(b->side, 1);
    EXPECT_EQ(a->facing, 1);
    EXPECT_EQ(b->facing, 0);
    EXPECT_EQ(a->path_flag, 1);
    EXPECT_EQ(b->path_flag, 0);
    EXPECT_EQ(a->edge_kill, 0);
    EXPECT_EQ(b->edge_kill, 0);
    const int weights[6] = {50, 25, 10, 25, 25, 150};
    for (int i = 0; i < 6; i++) {
        EXPECT_EQ(a->ai_weights[i], weights[i]);
        EXPECT_EQ(b->ai_weights[i], weights[i]);
    }
    EXPECT_STREQ(current_match.names[0], "Tamsin");
    EXPECT_STREQ(current_match.names[1], "Mirelle");

    size_t p = log.out.find("Setting FPS [60]\n");
    ASSERT_NE(p, std::string::npos);
    for (std::string line : {"sizeof level is [" + std::to_string(sizeof(level)) + "]\n",
                             "sizeof player 1[0] is [" + std::to_string(sizeof(combatant)) + "]\n",
                             "sizeof player 2[1] is [" + std::to_string(sizeof(combatant)) + "]\n",
                             std::string("Level [1000,480] screen [640,480]\n"),
                             std::string("Scrolling Max for level: maxx [360] maxy[0]\n")}) {
        size_t q = log.out.find(line, p);
        EXPECT_NE(q, std::string::npos) << line;
        if (q != std::string::npos) p = q;
    }
}

TEST_F(Match, EachModeGivesThePathsTheirKeySetsOrTheComputer) {
    const int expected[4][2] = {{6, 3}, {5, 3}, {6, 3}, {6, 6}}; // arcade, versus, survival, demo
    for (int mode = 1; mode <= 4; mode++) {
        set_up(mode);
        EXPECT_EQ(fighter_a()->path->mode[0], expected[mode - 1][0]) << mode;
        EXPECT_EQ(fighter_b()->path->mode[0], expected[mode - 1][1]) << mode;
        EXPECT_EQ(fighter_a()->path->steps, 1);
        match_tear_down();
    }
}

TEST_F(Match, TheSameFighterTwiceRecoloursOnlyFighterBAndSkipsBrokenSwapEntries) {
    folder.write("game/fighter/mirelle/mirelle_swap.ini",
                 "colors=4\ncolor0source=255,0,0\ncolor0target=0,0,255\n"
                 "color1source=255,0\ncolor1target=1,2,3\n"
                 "color3source=1,2,3\ncolor3target=red\n");
    match_set_up(MODE_VERSUS, 0, 0, folder.res);
    combatant* a = fighter_a();
    combatant* b = fighter_b();
    EXPECT_TRUE(a->swaps.empty());
    EXPECT_TRUE(a->own_images.empty());
    ASSERT_EQ(b->swaps.size(), 1u);
    EXPECT_EQ(b->swaps[0].first, map_rgb(255, 0, 0));
    EXPECT_EQ(b->swaps[0].second, map_rgb(0, 0, 255));
    EXPECT_FALSE(b->own_images.empty());
    EXPECT_NE(a->images[0], b->images[0]);
    EXPECT_STREQ(current_match.names[0], "Mirelle 2") << "the second of the two says so";
    EXPECT_STREQ(current_match.names[1], "Mirelle");
}

TEST_F(Match, TearDownEmptiesTheRegistryAndDeletesTheLevel) {
    set_up();
    log_capture log;
    match_tear_down();
    EXPECT_EQ(Combatant_Manager.count(), 0);
    EXPECT_EQ(current_level, nullptr);
    EXPECT_NE(log.out.find("Level Unloaded\nLevel Deleted\n"), std::string::npos);
    EXPECT_NE(log.out.find("Clearing Gameobjects\n"), std::string::npos);
}

// ---------------------------------------------------------------------------------------
// Facing and camera

TEST_F(Match, TheLeftFighterFacesRightAndTheCameraFramesBoth) {
    set_up();
    combatant* a = fighter_a();
    combatant* b = fighter_b();
    stand(a, 300);
    stand(b, 700);
    match_frame();
    EXPECT_EQ(a->facing, 1);
    EXPECT_EQ(b->facing, 0);
    int left = 300 + (a->w - a->max_x);
    int right = 700 + b->w + (b->max_x - b->w);
    EXPECT_EQ(current_level->x_offset, left / 2);
    EXPECT_EQ(current_level->y_offset, 0);
    double expect_zoom = 640.0 / (right - (left / 2 - (int)((1000 - right) * 0.5)));
    EXPECT_NEAR(current_level->zoom, expect_zoom, 1e-9);

    // Crossing over turns both round on the same frame.
    stand(a, 750);
    stand(b, 200);
    match_frame();
    EXPECT_EQ(a->facing, 0);
    EXPECT_EQ(b->facing, 1);
}

// ---------------------------------------------------------------------------------------
// Fighter contact

struct block_case {
    int blocker, attacker;
    bool breaks;
};

TEST_F(Match, ABlockHoldsOrBreaksByPosture) {
    const block_case cases[] = {
        {1, 0, true},  {1, 1, false}, {1, 2, false}, // standing: broken by a crouching attack
        {0, 2, true},  {0, 0, false}, {0, 1, false}, // crouching: broken by a jumping attack
        {2, 0, false}, {2, 1, false}, {2, 2, false}, // jumping: holds against everything
    };
    set_up();
    combatant* a = fighter_a();
    combatant* b = fighter_b();
    for (const block_case& c : cases) {
        stand(a, 400);
        stand(b, 450);
        a->stance = 4;
        a->posture = c.attacker;
        b->stance = 1;
        b->posture = c.blocker;
        b->hp = 100;
        match_contact();
        SCOPED_TRACE("blocker " + std::to_string(c.blocker) + " attacker " + std::to_string(c.attacker));
        EXPECT_EQ(b->hp, c.breaks ? 90 : 100);
        EXPECT_EQ(b->ax, c.breaks ? 0.0 : 1.0); // facing left, a held block slides right
    }
}

TEST_F(Match, ABlockingLeftFighterHoldsAgainstAFighterInAMove) {
    set_up();
    combatant* a = fighter_a();
    combatant* b = fighter_b();
    stand(a, 400);
    stand(b, 450);
    a->stance = 1;
    a->posture = 1;
    b->cur_image = 4;
    b->posture = 1;
    match_contact();
    EXPECT_EQ(a->hp, 100);
    EXPECT_EQ(a->ax, -1.0); // facing right, it slides left
    b->cur_image = 0; // its move just ended, it still attacks: the block holds as well
    b->stance = 4;
    match_contact();
    EXPECT_EQ(a->hp, 100);
    b->cur_image = 4;
    b->posture = 0; // a crouching attack breaks a standing block
    match_contact();
    EXPECT_EQ(a->hp, 90);
}

TEST_F(Match, BothAttackingTradeHitsAndNeitherStaysFrozen) {
    set_up();
    combatant* a = fighter_a();
    combatant* b = fighter_b();
    stand(a, 400);
    stand(b, 450);
    a->stance = b->stance = 4;
    match_contact();
    EXPECT_EQ(a->hp, 90);
    EXPECT_EQ(b->hp, 90);
    EXPECT_EQ(a->freeze, 0);
    EXPECT_EQ(b->freeze, 0);
    EXPECT_EQ(a->hits_landed, 1);
    EXPECT_EQ(b->hits_landed, 1);
}

TEST_F(Match, ATradeThatKnocksOneFighterOutStillLandsItsBlow) {
    set_up();
    combatant* a = fighter_a();
    combatant* b = fighter_b();
    stand(a, 400);
    stand(b, 450);
    a->stance = b->stance = 4;
    a->hp = 5;
    match_contact();
    EXPECT_FALSE(a->alive());
    EXPECT_EQ(b->hp, 90);
}

TEST_F(Match, AnIdleFighterIsHitByAnAttackerAndApartNothingHappens) {
    set_up();
    combatant* a = fighter_a();
    combatant* b = fighter_b();
    stand(a, 400);
    stand(b, 450);
    b->stance = 4;
    match_contact();
    EXPECT_EQ(a->hp, 90);
    EXPECT_EQ(b->hp, 100);
    stand(b, 600);
    match_contact();
    EXPECT_EQ(a->hp, 90);
}

TEST_F(Match, AWalkingFighterIsHitAndOneWalkingBackBlocks) {
    set_up();
    combatant* a = fighter_a();
    combatant* b = fighter_b();
    stand(a, 400);
    stand(b, 450);
    hold({SDLK_LEFT}); // B faces left: walking in
    match_object_step(1);
    b->x = 450; // back into reach after the push
    ASSERT_EQ(b->move_state, MOVE_PLAYING);
    EXPECT_NE(b->stance, 1);
    a->stance = 4;
    match_contact();
    EXPECT_EQ(b->hp, 90);

    hold({SDLK_LEFT}, false);
    stand(b, 450);
    b->action = b->stance = 0;
    hold({SDLK_RIGHT}); // walking back is the block
    match_object_step(1);
    b->x = 450;
    a->stance = 4;
    a->posture = 1;
    match_contact();
    EXPECT_EQ(b->hp, 90);
    EXPECT_EQ(b->stance, 1);
}

// Pixels between the visible bodies of A (on the left) and B, as last drawn.
static int body_gap() {
    auto span = [](const combatant* f, bool far_edge) {
        const img_mgr* im = f->last_image;
        int from = im->mirrored ? im->width - (int)im->right : (int)im->left;
        int to = im->mirrored ? im->width - (int)im->left : (int)im->right;
        return f->x + (far_edge ? to : from);
    };
    return span(fighter_b(), false) - span(fighter_a(), true);
}

TEST_F(Match, BothSidesWalkInToTheSameDistanceAndThePunchLandsFromEither) {
    write_lopsided_fighters(folder);
    int gaps[2];
    for (int walker = 0; walker < 2; walker++) {
        set_up();
        combatant* a = fighter_a();
        combatant* b = fighter_b();
        stand(a, 400);
        stand(b, 560);
        SDLKey forward = walker == 0 ? SDLK_d : SDLK_LEFT, punch = walker == 0 ? SDLK_TAB : SDLK_i;
        hold({forward});
        for (int f = 0; f < 60; f++) match_frame();
        gaps[walker] = body_gap();
        hold({forward}, false);
        hold({punch});
        match_frame();
        hold({punch}, false);
        for (int f = 0; f < 3; f++) match_frame();
        combatant* victim = walker == 0 ? b : a;
        EXPECT_EQ(victim->hp, 90) << "walker " << walker;
        match_tear_down();
    }
    EXPECT_EQ(gaps[0], gaps[1]);
    EXPECT_GE(gaps[0], 1);
    EXPECT_LE(gaps[0], 2);
}

// ---------------------------------------------------------------------------------------
// Contact sounds and jumps

// The sound playing on any mixer channel, or null.
static Mix_Chunk* sound_playing() {
    for (int ch = 0; ch < Mix_AllocateChannels(-1); ch++)
        if (Mix_Playing(ch)) return Mix_GetChunk(ch);
    return nullptr;
}

TEST_F(Match, AHitIsHeardAndShakesOnlyWhenItLandsAndABlockSoundsItsOwn) {
    ASSERT_EQ(0, SDL_InitSubSystem(SDL_INIT_AUDIO));
    ASSERT_EQ(0, Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 8192)) << Mix_GetError();
    Mix_AllocateChannels(8);
    write_sound(folder.dir, "rsrc/hit.wav");
    write_sound(folder.dir, "rsrc/block.wav");
    const std::string fx = "move0hit=rsrc/hit.wav\nmove0hitshake=5\nblocksound=rsrc/block.wav\n";
    folder.write("game/fighter/tamsin_char.ini", fighter_text(100, TEST_MOVES, fx));
    folder.write("game/fighter/mirelle_char.ini", fighter_text(100, TEST_MOVES, fx));
    set_up();
    combatant* a = fighter_a();
    combatant* b = fighter_b();
    Mix_Chunk* hit = Sfx_Manager.get("rsrc/hit.wav")->chunk;
    Mix_Chunk* block = Sfx_Manager.get("rsrc/block.wav")->chunk;
    ASSERT_NE(hit, nullptr);

    stand(a, 100); // a punch into the air
    stand(b, 700);
    hold({SDLK_i});
    for (int f = 0; f < 5; f++) match_frame();
    hold({SDLK_i}, false);
    EXPECT_EQ(a->hp, 100);
    EXPECT_EQ(sound_playing(), nullptr);
    EXPECT_EQ(current_level->shake, 0);

    stand(a, 400); // the same punch landing
    stand(b, 450);
    b->start_move(0, 1);
    b->stance = 4;
    b->posture = a->posture = 1;
    match_contact();
    EXPECT_EQ(a->hp, 90);
    EXPECT_EQ(sound_playing(), hit);
    EXPECT_EQ(current_level->shake, 5);

    Mix_HaltChannel(-1);
    current_level->shake = 0;
    stand(a, 400); // and blocked: the blocker's sound, once for the whole touch
    a->hp = 100;
    a->stance = 1;
    match_contact();
    EXPECT_EQ(a->hp, 100);
    EXPECT_EQ(sound_playing(), block);
    EXPECT_EQ(current_level->shake, 0);
    Mix_HaltChannel(-1);
    match_contact();
    EXPECT_EQ(sound_playing(), nullptr);

    Mix_HaltChannel(-1);
    Mix_CloseAudio();
}

// Highest rise of B over the floor from a jump begun after the keys given, up held 8 frames.
static int jump_rise(std::initializer_list<SDLKey> before) {
    combatant* b = fighter_b();
    stand(b, 700);
    b->action = b->stance = 0;
    const int floor_y = b->y;
    match_frame(); // the key history learns the keys' state
    for (SDLKey k : before) {
        hold({k});
        match_frame();
        hold({k}, false);
        match_frame();
    }
    hold({SDLK_UP});
    int top = floor_y, frames = 0;
    do {
        match_frame();
        if (frames == 8) hold({SDLK_UP}, false);
        top = std::min(top, b->y);
    } while ((b->ay != 0 || b->y != floor_y) && ++frames < 400);
    EXPECT_LT(frames, 400);
    return floor_y - top;
}

TEST_F(Match, AFighterFileSetsItsJumpAndTheHighJumpRisesHigher) {
    const std::string combo = "combos=1\ncombo0moves=2\ncombo0move=1\ncombo0move0=down\ncombo0move1=up\n";
    set_up();
    stand(fighter_a(), 100);
    const int plain = jump_rise({});
    EXPECT_EQ(plain, 21); // the rules' own jump: lift 12, a quarter less each tick
    match_tear_down();
    folder.write("game/fighter/mirelle_char.ini",
                 fighter_text(100, TEST_MOVES, "jump=26\njumpfall=0.65\nhighjump=3\n" + combo));
    set_up();
    stand(fighter_a(), 100);
    const int high = jump_rise({SDLK_DOWN});
    const int jump = jump_rise({});
    EXPECT_GE(jump, 200);
    EXPECT_LE(jump, 260);
    EXPECT_GE(high, jump + 40);
}

// ---------------------------------------------------------------------------------------
// Projectiles

TEST_F(Match, ABlockedProjectileCostsOnePointAndExplodesAtTheBlocker) {
    set_up();
    combatant* b = fighter_b();
    stand(fighter_a(), 0);
    stand(b, 450);
    b->stance = 1;
    combatant* shot = add_projectile(0, 440, b->y);
    match_projectile_clashes();
    EXPECT_EQ(b->hp, 99);
    EXPECT_EQ(b->stance, 1);
    EXPECT_EQ(b->action, 1);
    EXPECT_FALSE(shot->alive());
    ASSERT_EQ(match_effects.size(), 1u);
    EXPECT_EQ(match_effects[0]->offset_x, 450);
    EXPECT_EQ(match_effects[0]->offset_y, b->y);
    EXPECT_EQ(current_match.projectile_in_play, 1);
}

TEST_F(Match, AnUnblockedProjectileCostsTwentyFiveWithoutAnExplosion) {
    set_up();
    combatant* b = fighter_b();
    stand(fighter_a(), 0);
    stand(b, 450);
    combatant* shot = add_projectile(0, 440, b->y);
    match_projectile_clashes();
    EXPECT_EQ(b->hp, 75);
    EXPECT_FALSE(shot->alive());
    EXPECT_TRUE(match_effects.empty());
}

TEST_F(Match, TwoProjectilesOfOppositeSidesBothHitBothExplodeAndEachLosesOneMore) {
    set_up();
    stand(fighter_a(), 0);
    stand(fighter_b(), 900);
    combatant* p = add_projectile(0, 300, 200);
    combatant* q = add_projectile(1, 350, 200);
    match_projectile_clashes();
    EXPECT_EQ(p->hp, 1 - 25 - 1);
    EXPECT_EQ(q->hp, 1 - 25 - 1);
    EXPECT_EQ(match_effects.size(), 2u);
}

TEST_F(Match, ProjectilesOfOneSideDoNotClash) {
    set_up();
    stand(fighter_a(), 0);
    stand(fighter_b(), 900);
    combatant* p = add_projectile(1, 300, 200);
    combatant* q = add_projectile(1, 350, 200);
    match_projectile_clashes();
    EXPECT_EQ(p->hp, 1);
    EXPECT_EQ(q->hp, 1);
    EXPECT_TRUE(match_effects.empty());
    EXPECT_EQ(current_match.projectile_in_play, 1);
}

TEST_F(Match, DeadProjectilesLeaveTheObjectListAtTheEndOfTheFrame) {
    set_up();
    stand(fighter_a(), 0);
    stand(fighter_b(), 900);
    add_projectile(1, 300, 0)->hp = -1;
    add_projectile(1, 500, 0);
    add_projectile(0, 700, 0)->hp = -1;
    match_frame();
    ASSERT_EQ(Combatant_Manager.count(), 3);
    EXPECT_EQ(Combatant_Manager.Objects[2]->kind, KIND_PROJECTILE);
    EXPECT_TRUE(Combatant_Manager.Objects[2]->alive());
}

TEST_F(Match, EffectsPlayTheirAnimationAndAreRemovedWhenItEnds) {
    set_up();
    stand(fighter_a(), 0);
    stand(fighter_b(), 900);
    add_projectile(0, 300, 200);
    add_projectile(1, 350, 200);
    match_projectile_clashes();
    ASSERT_EQ(match_effects.size(), 2u);
    int frames = 0;
    while (!match_effects.empty() && frames < 20) {
        match_frame();
        frames++;
    }
    EXPECT_TRUE(match_effects.empty());
    EXPECT_EQ(frames, 4); // two frames of two ticks each
}

// ---------------------------------------------------------------------------------------
// Block, block dash and throw (fighter B on the first key set: u blocks, j throws)

TEST_F(Match, BlockWhileWalkingCloseStartsTheBlockDash) {
    set_up();
    combatant* b = fighter_b();
    stand(fighter_a(), 300);
    stand(b, 450);
    hold({SDLK_u, SDLK_LEFT});
    match_object_step(1);
    EXPECT_EQ(b->action, 13);
    EXPECT_EQ(b->stance, 0);
    EXPECT_EQ(b->dash_angle, 1);
    EXPECT_EQ(b->x, 450 - cos_table[1]); // facing left, the dash carries it leftwards
}

TEST_F(Match, BlockStandingStillOrFarAwayIsAnOrdinaryBlock) {
    set_up();
    combatant* b = fighter_b();
    stand(fighter_a(), 300);
    stand(b, 450);
    hold({SDLK_u});
    match_object_step(1);
    EXPECT_EQ(b->action, 1);
    EXPECT_EQ(b->stance, 1);
    EXPECT_EQ(b->cur_image, 7); // standing block picture
    EXPECT_TRUE(stack_empty(b->stack));

    stand(b, 500); // 200 pixels away: walking changes nothing
    b->action = 0;
    hold({SDLK_LEFT});
    match_object_step(1);
    EXPECT_EQ(b->action, 1);
    EXPECT_EQ(b->stance, 1);
}

TEST_F(Match, AThrowWithin200PixelsGrabsTossesAndKnocksDown) {
    folder.write("game/fighter/throw.ini", "images=2\nimage0=rsrc/body.bmp\nrate0=20\nimage1=rsrc/body.bmp\nrate1=20\n");
    std::string t = fighter_text(100, TEST_MOVES);
    size_t at = t.find("move14=game/fighter/move.ini");
    t.replace(at, 28, "move14=game/fighter/throw.ini");
    folder.write("game/fighter/mirelle_char.ini", t);
    folder.write("game/fighter/tamsin_char.ini", fighter_text(100, TEST_MOVES, "jumpfall=1.4\n")); // as the game's fighters fall
    set_up();
    combatant* a = fighter_a();
    combatant* b = fighter_b();
    stand(a, 300);
    stand(b, 499);
    hold({SDLK_j});
    match_object_step(1);
    hold({SDLK_j}, false);
    EXPECT_EQ(b->action, 14);
    EXPECT_EQ((*b->stack)[0]->def, b->moves[14]->entries[0].def.get()); // the thrower's throw
    EXPECT_EQ(a->action, 15);
    EXPECT_EQ(a->stance, 2);
    EXPECT_EQ(a->hp, 100); // held: the damage lands on the toss
    int frames = 0;
    while (a->hp == 100 && ++frames < 100) match_frame();
    EXPECT_EQ(frames, 19);  // the grab and the lift
    EXPECT_EQ(a->hp, 85);
    EXPECT_EQ((*a->stack)[0]->def, a->moves[7]->entries[0].def.get()); // knocked down
    do {
        match_frame();
        EXPECT_EQ(a->action, 15) << frames; // not undone on the next frame
    } while (a->ay != 0 && ++frames < 100);
    EXPECT_LT(frames, 40);
    EXPECT_EQ(a->y, 480 - a->h); // landed
    EXPECT_LE(a->x, 300 - 50);   // tossed away from the thrower
    EXPECT_EQ(a->hp, 85);        // and hit only once
    while (!stack_empty(b->stack) && ++frames < 200) match_frame();
    match_frame();
    EXPECT_EQ(b->action, 0);     // the throw over, the thrower is free again
}

// A grab at an opponent in the air, in a move or out of reach plays the throw at empty air:
// the opponent is neither held nor hurt, and the thrower's grab hits nothing.
TEST_F(Match, AThrowWhiffsAtAnOpponentInTheAirInAMoveOrOutOfReach) {
    set_up();
    combatant* a = fighter_a();
    combatant* b = fighter_b();
    for (int c = 0; c < 3; c++) {
        stand(a, 300);
        stand(b, c == 2 ? 500 : 450);
        b->action = b->stance = 0;
        a->action = a->stance = 0;
        if (c == 0) a->ay = -5, a->posture = 2;
        if (c == 1) a->start_move(0, 1);
        hold({SDLK_j});
        match_object_step(1);
        hold({SDLK_j}, false);
        EXPECT_EQ(a->hp, 100) << c;
        EXPECT_EQ(current_match.held[0], 0) << c;
        EXPECT_EQ(b->action, 14) << c;
        EXPECT_FALSE(stack_empty(b->stack)) << c;
        EXPECT_NE(b->stance, 4) << c;
        if (c == 2) {
            EXPECT_EQ(a->stance, 0);
        }
    }
}

TEST_F(Match, APunchStartsTheStandingCrouchingOrJumpingMove) {
    set_up();
    combatant* b = fighter_b();
    stand(fighter_a(), 100);
    stand(b, 700);
    hold({SDLK_k});
    match_object_step(1);
    EXPECT_EQ(b->action, 5);
    EXPECT_EQ(b->stance, 4);
    EXPECT_EQ(b->cur_image, 4);
    ASSERT_FALSE(stack_empty(b->stack));
    EXPECT_EQ((*b->stack)[0]->def, b->moves[3]->entries[0].def.get());
}

TEST_F(Match, CommandsAndCombosNamingMovesTheFighterLacksStartNothing) {
    // Two moves and combos for moves 2 to 5, fired at random by the computer.
    std::string combos = "combos=4\n";
    for (int k = 0; k < 4; k++)
        combos += numbered("combo", k, "moves") + "=1\n" + numbered("combo", k, "move") + "=" +
                  std::to_string(k + 2) + "\n" + numbered("combo", k, "move0") + "=punch\n";
    folder.write("game/fighter/tamsin_char.ini", fighter_text(100, 2, combos));
    folder.write("game/fighter/mirelle_char.ini", fighter_text(100, 2, combos));
    log_capture log;
    match_set_up(MODE_DEMO, 1, 0, folder.res);
    hold({SDLK_k});
    for (int f = 0; f < 300; f++) match_frame();
    EXPECT_EQ(log.out.find("has no move"), std::string::npos);
    EXPECT_EQ(Combatant_Manager.count(), 2);
}

// ---------------------------------------------------------------------------------------
// Knock-out, rounds and the end of the match

static int frames_to_round_end() {
    current_match.end = 0;
    current_match.ko_counter = 0;
    int frames = 0;
    while (current_match.end == 0 && frames < 10000) {
        match_frame();
        frames++;
    }
    return frames;
}

TEST_F(Match, AKnockOutEndsTheRoundThreeSecondsOfFramesLater) {
    set_up();
    combatant* a = fighter_a();
    stand(a, 300);
    stand(fighter_b(), 700);
    a->hp = -1;
    a->y = 100;
    EXPECT_EQ(frames_to_round_end(), 3 * 60 + 1);
    EXPECT_EQ(current_match.end, MATCH_DECIDED);
    EXPECT_EQ(a->stance, 3);
    EXPECT_EQ(a->action, 3);
    EXPECT_EQ(a->y, 480 - a->h);
    EXPECT_EQ(a->cur_image, 9);
    // The text "Tamsin zotzed! Mirelle Wins" was drawn with the main font.
    EXPECT_NE(folder.main_font->glyphs[(unsigned char)'z'], nullptr);
    EXPECT_EQ(folder.main_font->glyphs[(unsigned char)'D'], nullptr);
}

TEST_F(Match, ADoubleKnockOutShowsDoubleZotzAndEndsAboutThreeTimesSooner) {
    set_up();
    stand(fighter_a(), 300);
    stand(fighter_b(), 700);
    fighter_a()->hp = -1;
    fighter_b()->hp = -1;
    EXPECT_EQ(frames_to_round_end(), 61); // three per frame: 183 > 180
    EXPECT_NE(folder.main_font->glyphs[(unsigned char)'D'], nullptr);
}

TEST_F(Match, EscapeHeldAbandonsTheMatchAtTheEndOfTheFrame) {
    set_up();
    hold({SDLK_ESCAPE});
    match_frame();
    hold({SDLK_ESCAPE}, false);
    EXPECT_EQ(current_match.end, MATCH_ABANDONED);
    log_capture log;
    EXPECT_TRUE(match_round_over(MODE_VERSUS, 3));
    EXPECT_EQ(log.out, "Loop finished\n");
}

// Escape (or a closed window) on the very frame the knock-out count ends the round: the
// match is given up, not played on into the next round.
TEST_F(Match, AbandoningOnTheFrameAKnockOutEndsTheRoundStillAbandons) {
    set_up();
    stand(fighter_a(), 300);
    stand(fighter_b(), 700);
    fighter_a()->hp = -1;
    current_match.ko_counter = 3 * 60;
    hold({SDLK_ESCAPE});
    match_frame();
    hold({SDLK_ESCAPE}, false);
    EXPECT_GT(current_match.ko_counter, 3 * 60);
    EXPECT_EQ(current_match.end, MATCH_ABANDONED);
}

TEST_F(Match, WithThreeRequiredWinsAFighterNeedsFour) {
    set_up(MODE_DEMO);
    combatant* a = fighter_a();
    combatant* b = fighter_b();
    for (int round = 1; round <= 4; round++) {
        log_capture log;
        b->hp = -1;
        a->hp = 37;
        a->hits_in_row = 2;
        current_match.end = MATCH_DECIDED;
        bool over = match_round_over(MODE_DEMO, 3);
        EXPECT_EQ(over, round == 4) << round;
        EXPECT_EQ(log.out, "Loop finished\nmode [4] reqwins[3] p1[" + std::to_string(round) + "] p2[0]\n");
        if (!over) {
            EXPECT_EQ(a->hp, 100);
            EXPECT_EQ(b->hp, 100);
            EXPECT_EQ(a->hits_in_row, 0);
            EXPECT_EQ(b->stance, 0);
            EXPECT_EQ(b->action, 0);
        }
    }
}

TEST_F(Match, ADoubleKnockOutGivesBothAWin) {
    set_up(MODE_ARCADE);
    fighter_a()->hp = -1;
    fighter_b()->hp = -1;
    current_match.end = MATCH_DECIDED;
    log_capture log;
    EXPECT_FALSE(match_round_over(MODE_ARCADE, 3));
    EXPECT_NE(log.out.find("mode [1] reqwins[3] p1[1] p2[1]\n"), std::string::npos);
}

TEST_F(Match, SurvivalNeverRestoresThePlayerAndEndsOnTheFirstRoundTheComputerWins) {
    set_up(MODE_SURVIVAL);
    combatant* a = fighter_a();
    combatant* b = fighter_b();
    log_capture log;
    for (int round = 0; round < 3; round++) {
        a->hp = -1;
        b->hp = 40 - round;
        current_match.end = MATCH_DECIDED;
        EXPECT_FALSE(match_round_over(MODE_SURVIVAL, 0));
        EXPECT_EQ(b->hp, 40 - round); // the player keeps what it has left
        EXPECT_EQ(a->hp, 100);        // a beaten opponent comes back whole
    }
    EXPECT_EQ(b->round_wins, 3);
    b->hp = -1;
    current_match.end = MATCH_DECIDED;
    EXPECT_TRUE(match_round_over(MODE_SURVIVAL, 0));
    EXPECT_EQ(log.out.find("mode ["), std::string::npos);
}

TEST_F(Match, RunMatchPlaysRoundsUntilTheFourthWinAndCleansUp) {
    // Fighters with no hit points left are knocked out by any hit: let the knock-outs come
    // from a file with hp below zero, so every round ends by itself.
    folder.write("game/fighter/mirelle_char.ini", fighter_text(-1, TEST_MOVES));
    fps = 10;
    log_capture log;
    int end = run_match(MODE_DEMO, 1, 0, 3, folder.res);
    EXPECT_EQ(end, MATCH_DECIDED);
    EXPECT_EQ(log.count("Loop finished\n"), 4);
    EXPECT_NE(log.out.find("mode [4] reqwins[3] p1[4] p2[0]\n"), std::string::npos);
    EXPECT_EQ(Combatant_Manager.count(), 0);
    EXPECT_EQ(current_level, nullptr);
    EXPECT_NE(log.out.find("Level Unloaded\nLevel Deleted\n"), std::string::npos);
}

// ---------------------------------------------------------------------------------------
// Game options

TEST_F(Match, ClassicLifeTakesOneMoreHitOnAnEmptyBarAndStrictLifeDoesNot) {
    for (int style : {LIFE_CLASSIC, LIFE_STRICT}) {
        game_opts.life_style = style;
        set_up();
        stand(fighter_a(), 300);
        stand(fighter_b(), 700);
        fighter_a()->hp = 0;
        match_frame();
        EXPECT_EQ(fighter_a()->alive(), style == LIFE_CLASSIC) << style;
        EXPECT_EQ(current_match.ko_counter, style == LIFE_CLASSIC ? 0 : 1) << style;
        match_tear_down();
    }
    game_opts.life_style = LIFE_STRICT; // the demo plays with the defaults
    match_set_up(MODE_DEMO, 1, 0, folder.res);
    fighter_a()->hp = 0;
    match_frame();
    EXPECT_TRUE(fighter_a()->alive());
}

TEST_F(Match, OneRequiredWinEndsTheMatchOnTheSecond) {
    set_up();
    for (int round = 1; round <= 2; round++) {
        fighter_b()->hp = -1;
        current_match.end = MATCH_DECIDED;
        EXPECT_EQ(match_round_over(MODE_VERSUS, 1), round == 2) << round;
    }
}

// Timed rounds: the clock runs out after round time x fps frames and the larger share of
// the life bar takes the round; equal shares are a draw. A knock-out stops the clock.
struct clock_case {
    int hp_a, max_a, hp_b, max_b;
    int winner; // -1: a draw
};
TEST_F(Match, ARoundOnTheClockGoesToTheMoreLifeLeftAndEqualLifeIsADraw) {
    const clock_case cases[] = {{60, 100, 40, 100, 0}, {30, 100, 31, 100, 1}, {50, 100, 50, 100, -1},
                                {35, 70, 50, 100, -1}, {36, 70, 50, 100, 0}, {100, 100, 100, 100, -1}};
    game_opts.round_time = 1;
    for (const clock_case& c : cases) {
        SCOPED_TRACE(std::to_string(c.hp_a) + "/" + std::to_string(c.max_a) + " against " +
                     std::to_string(c.hp_b) + "/" + std::to_string(c.max_b));
        EXPECT_EQ(clock_winner(c.hp_a, c.max_a, c.hp_b, c.max_b), c.winner);
        set_up();
        combatant* a = fighter_a();
        combatant* b = fighter_b();
        stand(a, 100);
        stand(b, 900);
        a->max_hp = c.max_a, a->hp = c.hp_a, b->max_hp = c.max_b, b->hp = c.hp_b;
        EXPECT_EQ(frames_to_round_end(), 60);
        EXPECT_EQ(current_match.end, MATCH_DECIDED);
        EXPECT_EQ(match_round_winner(), c.winner);
        EXPECT_FALSE(match_round_over(MODE_VERSUS, 3));
        EXPECT_EQ(a->round_wins, c.winner == 0 ? 1 : 0);
        EXPECT_EQ(b->round_wins, c.winner == 1 ? 1 : 0);
        EXPECT_EQ(current_match.clock, 60) << "the next round has the whole time again";
        match_tear_down();
    }
    set_up();
    stand(fighter_a(), 100);
    stand(fighter_b(), 900);
    fighter_a()->hp = -1;
    EXPECT_EQ(frames_to_round_end(), 3 * 60 + 1) << "a knock-out ends the round, not the clock";
    EXPECT_EQ(current_match.time_up, 0);
    match_tear_down();
    game_opts.round_time = 0;
    set_up();
    EXPECT_EQ(current_match.clock, 0) << "off: no limit";
}

TEST(ResultScreen, NamesTheWinnerTheRoundsAndTheBestCombo) {
    match_summary m;
    snprintf(m.names[0], sizeof m.names[0], "Mirelle 2");
    snprintf(m.names[1], sizeof m.names[1], "Mirelle");
    m.wins[0] = 1, m.wins[1] = 2, m.best_combo[0] = 4, m.best_combo[1] = 3;
    char lines[3][RESULT_LINE];
    result_lines(m, lines);
    EXPECT_STREQ(lines[0], "Mirelle wins");
    EXPECT_STREQ(lines[1], "Rounds Mirelle 2 1 - 2 Mirelle");
    EXPECT_STREQ(lines[2], "Best combo 4 hits by Mirelle 2");
    m.wins[0] = 2, m.best_combo[0] = m.best_combo[1] = 1;
    result_lines(m, lines);
    EXPECT_STREQ(lines[0], "A draw");
    EXPECT_STREQ(lines[2], "Best combo none");
}

static const rgb ANNOUNCE_GOLD = {246, 206, 127};

// Gold pixels of the staged announcements in the band around a third of the screen's height.
static int announcement_pixels() {
    int n = 0;
    for (int y = 100; y < 230; y++)
        for (int x = 0; x < 640; x++)
            if (same(screen_at(x, y), ANNOUNCE_GOLD)) n++;
    return n;
}

TEST_F(Match, StagedRoundsStartFromThePlacesWithAnAnnouncementAndEndWithKnockOutAndResults) {
    std::string cp = "mkdir -p rsrc && cp '" FIGHT_DATA_DIR "/rsrc/oldengl.ttf' rsrc/";
    ASSERT_EQ(system(cp.c_str()), 0);
    game_opts.round_mode = ROUNDS_STAGED;
    set_up();
    combatant* a = fighter_a();
    combatant* b = fighter_b();
    stand(a, 100);
    stand(b, 900);
    current_match.round = 2;
    match_stage_round();
    EXPECT_EQ(a->x, 300);
    EXPECT_EQ(b->x, 700);
    EXPECT_EQ(a->facing, 1);
    EXPECT_EQ(b->facing, 0);
    hold({SDLK_i});
    match_frame();
    EXPECT_GT(announcement_pixels(), 200); // "Round 2"
    EXPECT_TRUE(stack_empty(b->stack));    // the fighters wait for "Fight"
    while (current_match.intro > 0) match_frame();
    match_frame();
    hold({SDLK_i}, false);
    EXPECT_EQ(announcement_pixels(), 0);
    EXPECT_FALSE(stack_empty(b->stack)); // and then they fight

    a->hp = -1;
    match_frame();
    EXPECT_GT(announcement_pixels(), 200); // "K.O."
    match_tear_down();

    game_opts.round_mode = ROUNDS_CLASSIC; // classic rounds: none of it
    set_up();
    stand(fighter_a(), 100);
    fighter_a()->hp = -1;
    match_frame();
    EXPECT_EQ(announcement_pixels(), 0);
}

TEST_F(Match, AStagedMatchPlaysItsRoundsAndItsResultScreenToTheEnd) {
    folder.write("game/fighter/mirelle_char.ini", fighter_text(-1, TEST_MOVES));
    fps = 10;
    game_opts.round_mode = ROUNDS_STAGED;
    log_capture log;
    EXPECT_EQ(run_match(MODE_VERSUS, 1, 0, 1, folder.res), MATCH_DECIDED);
    EXPECT_EQ(log.count("Loop finished\n"), 2);
    EXPECT_NE(log.out.find("mode [2] reqwins[1] p1[2] p2[0]\n"), std::string::npos);
    EXPECT_EQ(Combatant_Manager.count(), 0);
}

} // namespace

// Loading the game's own mirror match where presenting a frame waits for the display's
// refresh (here: 16 ms a present): the loading screen is presented at most once per
// refresh's worth of the load's own work, so waiting for presents at most about doubles the
// load instead of adding the 8 seconds that hundreds of presents cost. The work is what the
// same load took besides its waits, so a machine busy with other things does not move the
// bound.
TEST(MirrorMatchLoad, PresentsTheLoadingScreenAtMostOncePerRefresh) {
    std::string data = FIGHT_DATA_DIR;
    if (!file_exists(data + "/game/fighter/mirelle/mirelle_swap.ini")) GTEST_SKIP() << "no game data";
    char old_cwd[4096];
    ASSERT_NE(nullptr, getcwd(old_cwd, sizeof old_cwd));
    ASSERT_EQ(0, chdir(data.c_str()));
    ASSERT_TRUE(open_test_screen(false));
    fill_trig_tables();
    for (const char* n : control_names) Control_Manager.register_name(n);
    Control_Manager.set_defaults();
    match_resources res;
    auto load = [&res](int* presents) {
        const int before = video.presents;
        const uint32_t start = SDL_GetTicks();
        match_set_up(MODE_VERSUS, 0, 0, res);
        const uint32_t took = SDL_GetTicks() - start;
        *presents = video.presents - before;
        EXPECT_EQ(2, Combatant_Manager.count());
        EXPECT_FALSE(Combatant_Manager.Objects[1]->own_images.empty()); // the recoloured copy
        match_tear_down();
        return took;
    };
    int shown = 0;
    load(&shown); // the pictures are read once; later loads find them registered
    video.after_present = [] { SDL_Delay(16); };
    const uint32_t took = load(&shown);
    video.after_present = nullptr;
    EXPECT_GT(shown, 0);
    const uint32_t waited = 16u * (uint32_t)shown, work = took > waited ? took - waited : 0;
    EXPECT_LE(shown, (int)(work / LOADING_PRESENT_MS) + 2) << took << " ms, " << work << " of them loading";
    EXPECT_EQ(0, chdir(old_cwd));
}
