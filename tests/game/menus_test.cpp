// The front end's rules that hold without a player at the keyboard: how a frame's presses
// move and confirm the main menu and the character select, what each main-menu item hands
// the match, the rows of the option sub-screens, key remapping from queued events (refused
// keys, a file that cannot be written), the list menu driven by events arriving while it
// runs, and which music each screen plays.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_mixer.h>
#include <chrono>
#include <cstring>
#include <thread>

#include "char_select.h"
#include "foundation/config_file.h"
#include "foundation/video_mgr.h"
#include "game_options.h"
#include "net_screens.h"
#include "replays_screen.h"
#include "preload.h"
#include "foundation/safe_file.h"
#include <sys/stat.h>
#include <unistd.h>
#include "stage_choice.h"
#include "game_loop.h"
#include "images/font.h"
#include "input/control_mgr.h"
#include "list_menu.h"
#include "main_menu.h"
#include "match.h"
#include "menu_screen.h"
#include "music.h"
#include "preload.h"
#include "options_menu.h"
#include "video_options.h"
#include "test_support.h"

// A screen's keys after the given taps (pressed and released, in order); KEY_PAD_* keys
// are joystick presses.
struct taps {
    key_press k;
    taps(std::initializer_list<int> pressed) {
        k.open();
        for (int key : pressed) {
            k.key_down(key);
            k.key_up(key);
        }
    }
    key_press& keys() { return k; }
};

TEST(MainMenuInput, EachTapMovesOnceWrappingAndSpaceReturnOrAButtonConfirm) {
    main_menu_choice c;
    EXPECT_FALSE(main_menu_input(c, false, taps({SDLK_DOWN}).keys()));
    EXPECT_EQ(c.selection, ITEM_VERSUS);
    EXPECT_FALSE(main_menu_input(c, false, taps({SDLK_DOWN, SDLK_DOWN, SDLK_UP}).keys()));
    EXPECT_EQ(c.selection, ITEM_SURVIVAL) << "three taps in one frame: three moves";
    c.selection = ITEM_QUIT;
    main_menu_input(c, false, taps({SDLK_DOWN}).keys());
    EXPECT_EQ(c.selection, ITEM_ARCADE) << "down from quit wraps to arcade";
    main_menu_input(c, false, taps({SDLK_UP}).keys());
    EXPECT_EQ(c.selection, ITEM_QUIT) << "up from arcade wraps to quit";
    EXPECT_FALSE(main_menu_input(c, false, taps({}).keys()));
    c.selection = ITEM_ARCADE;
    EXPECT_TRUE(main_menu_input(c, false, taps({SDLK_DOWN, SDLK_SPACE, SDLK_DOWN}).keys()));
    EXPECT_EQ(c.selection, ITEM_VERSUS) << "what follows the confirm is not applied";
    EXPECT_TRUE(main_menu_input(c, false, taps({SDLK_RETURN}).keys()));
    EXPECT_FALSE(c.quit);
    EXPECT_FALSE(main_menu_input(c, false, taps({KEY_PAD_DOWN}).keys()));
    EXPECT_EQ(c.selection, ITEM_SURVIVAL);
    EXPECT_TRUE(main_menu_input(c, false, taps({KEY_PAD_CONFIRM}).keys()));
}

TEST(MainMenuInput, EscapeQOrAClosedWindowQuit) {
    for (int key : {(int)SDLK_ESCAPE, (int)SDLK_q}) {
        main_menu_choice c;
        EXPECT_TRUE(main_menu_input(c, false, taps({SDLK_DOWN, key, SDLK_DOWN}).keys()));
        EXPECT_TRUE(c.quit);
        EXPECT_EQ(c.selection, ITEM_QUIT);
    }
    main_menu_choice c;
    c.selection = ITEM_DEMO;
    EXPECT_TRUE(main_menu_input(c, true, taps({SDLK_UP}).keys()));
    EXPECT_TRUE(c.quit);
    EXPECT_EQ(c.selection, ITEM_QUIT);
}

TEST(CharSelectInput, LeftAndRightGoRoundTheRosterOncePerTapAndACancelGivesMinusOne) {
    // Roster "four" goes round all four fighters; "two" alternates the first two only.
    for (int offered : {4, 2}) {
        SCOPED_TRACE(offered);
        int choice = 0;
        std::vector<int> seen;
        for (int i = 0; i < offered; i++) {
            EXPECT_FALSE(char_select_input(choice, false, taps({SDLK_RIGHT}).keys(), offered));
            seen.push_back(choice);
        }
        EXPECT_EQ(seen, offered == 4 ? (std::vector<int>{1, 2, 3, 0}) : (std::vector<int>{1, 0}));
        char_select_input(choice, false, taps({SDLK_LEFT}).keys(), offered);
        EXPECT_EQ(choice, offered - 1) << "left from the first goes to the last";
        char_select_input(choice, false, taps({SDLK_LEFT, SDLK_LEFT, SDLK_RIGHT}).keys(), offered);
        EXPECT_EQ(choice, offered - 2);
        char_select_input(choice, false, taps({KEY_PAD_RIGHT}).keys(), offered);
        EXPECT_EQ(choice, offered - 1);
        EXPECT_TRUE(char_select_input(choice, false, taps({SDLK_RETURN}).keys(), offered));
        EXPECT_EQ(choice, offered - 1);
    }

    for (int key : {(int)SDLK_ESCAPE, (int)SDLK_q}) {
        int choice = 0;
        EXPECT_TRUE(char_select_input(choice, false, taps({key}).keys(), 4));
        EXPECT_EQ(choice, -1);
    }
    int choice = 1;
    EXPECT_TRUE(char_select_input(choice, true, taps({}).keys(), 4));
    EXPECT_EQ(choice, -1) << "closing the window cancels like Escape";
}

TEST(MenuKeys, ArrowsStickConfirmAndCancelKeysAndWrapping) {
    EXPECT_EQ(menu_action_of(SDLK_UP), MENU_UP);
    EXPECT_EQ(menu_action_of(KEY_PAD_DOWN), MENU_DOWN);
    EXPECT_EQ(menu_action_of(KEY_PAD_RIGHT), MENU_RIGHT);
    EXPECT_EQ(menu_action_of(SDLK_RETURN), MENU_CONFIRM);
    EXPECT_EQ(menu_action_of(SDLK_q), MENU_CANCEL);
    EXPECT_EQ(menu_action_of(SDLK_x), MENU_NONE);
    tile_counter t;
    for (int frame = 0; frame < 116; frame++) t.advance();
    EXPECT_EQ(t.value, 0) << "116 frames bring the counter round";
    EXPECT_EQ(wrap_selection(0, -1, 6), 5);
    EXPECT_EQ(wrap_selection(5, 1, 6), 0);
    EXPECT_EQ(wrap_selection(3, 0, 6), 3);
}

TEST(MatchSetup, EachMainMenuItemHandsTheMatchItsModeWinsAndFighters) {
    match_setup arcade = setup_for_item(ITEM_ARCADE, 1);
    EXPECT_EQ(arcade.mode, MODE_ARCADE);
    EXPECT_EQ(arcade.required_wins, 3);
    EXPECT_EQ(arcade.player2, 1);
    EXPECT_EQ(arcade.player1, -1) << "chosen in character select";
    match_setup versus = setup_for_item(ITEM_VERSUS, 1);
    EXPECT_EQ(versus.mode, MODE_VERSUS);
    EXPECT_EQ(versus.required_wins, 3);
    EXPECT_EQ(versus.player1, -1);
    EXPECT_EQ(versus.player2, -1);
    match_setup survival = setup_for_item(ITEM_SURVIVAL, 0);
    EXPECT_EQ(survival.mode, MODE_SURVIVAL);
    EXPECT_EQ(survival.required_wins, 0);
    EXPECT_EQ(survival.player2, 0);
    match_setup demo = setup_for_item(ITEM_DEMO, 1);
    EXPECT_EQ(demo.mode, MODE_DEMO);
    EXPECT_EQ(demo.required_wins, 3);
    EXPECT_EQ(demo.player1, 0) << "the first fighter on the right";
    EXPECT_EQ(demo.player2, 1) << "the second fighter on the left";

    game_opts.rounds = 1; // the Rounds option is the wins arcade and versus require
    EXPECT_EQ(setup_for_item(ITEM_ARCADE, 1).required_wins, 1);
    EXPECT_EQ(setup_for_item(ITEM_VERSUS, 1).required_wins, 1);
    EXPECT_EQ(setup_for_item(ITEM_DEMO, 1).required_wins, 3);
    game_opts = game_options();
}

TEST(OptionRows, RemappingShowsEachControlWithItsKeyThenDoneAndGameOptionsTheirValues) {
    ASSERT_TRUE(open_test_screen(false)); // key names come from the video subsystem
    Control_Manager.set_defaults();
    char rows[16][LIST_ROW_TEXT];
    ASSERT_EQ(build_remap_rows(rows, 0), CONTROL_COUNT + 1);
    EXPECT_STREQ(rows[0], "up: Up arrow");
    EXPECT_STREQ(rows[4], "punch: I");
    EXPECT_STREQ(rows[9], "throw: J");
    EXPECT_STREQ(rows[10], "Done");
    build_remap_rows(rows, 1);
    EXPECT_STREQ(rows[4], "punch: Tab");
    Control_Manager.set_binding(0, "punch", 'x');
    build_remap_rows(rows, 0);
    EXPECT_STREQ(rows[4], "punch: X");

    const char labels[6][LIST_ROW_TEXT] = {"Difficulty", "Rounds", "Life Style", "Round Mode", "Roster", "Stage"};
    game_options o;
    ASSERT_EQ(build_game_option_rows(rows, labels, 6, o), 7);
    EXPECT_STREQ(rows[0], "Difficulty normal");
    EXPECT_STREQ(rows[1], "Rounds 3");
    EXPECT_STREQ(rows[2], "Life Style classic");
    EXPECT_STREQ(rows[3], "Round Mode classic");
    EXPECT_STREQ(rows[4], "Roster four");
    EXPECT_STREQ(rows[5], "Stage road");
    EXPECT_STREQ(rows[6], "done");
    o.difficulty = DIFFICULTY_HARD, o.rounds = 5, o.life_style = LIFE_STRICT, o.round_mode = ROUNDS_STAGED;
    o.roster = ROSTER_TWO, o.stage = STAGE_ALTERNATE;
    build_game_option_rows(rows, labels, 6, o);
    EXPECT_STREQ(rows[0], "Difficulty hard");
    EXPECT_STREQ(rows[1], "Rounds 5");
    EXPECT_STREQ(rows[2], "Life Style strict");
    EXPECT_STREQ(rows[3], "Round Mode staged");
    EXPECT_STREQ(rows[4], "Roster two");
    EXPECT_STREQ(rows[5], "Stage alternate");
}

// The Video rows go round their values; a row whose saved value differs from the running
// one says it waits for the next start.
TEST(OptionRows, VideoRowsGoRoundTheirValuesAndSayWhatWaitsForTheNextStart) {
    const video_options running; // windowed, 640 x 480, software
    video_options o;
    o.width = 700, o.height = 500; // a size the row does not offer
    const struct {
        int which;
        const char* row;
    } steps[] = {{VIDEO_SIZE, "Window Size 640 x 480"}, {VIDEO_SIZE, "Window Size 800 x 600 (next start)"},
                 {VIDEO_SIZE, "Window Size 1024 x 768 (next start)"}, {VIDEO_SIZE, "Window Size 1280 x 720 (next start)"},
                 {VIDEO_SIZE, "Window Size 640 x 480"}, {VIDEO_FULLSCREEN, "Full Screen on (next start)"},
                 {VIDEO_FULLSCREEN, "Full Screen off"}, {VIDEO_DRAWING, "Drawing Mode OpenGL (next start)"},
                 {VIDEO_DRAWING, "Drawing Mode software"}};
    char row[LIST_ROW_TEXT];
    for (const auto& st : steps) {
        cycle_video_option(o, st.which);
        EXPECT_STREQ(video_option_row(o, running, st.which, row, sizeof row), st.row);
    }
}

TEST(GameOptions, EachCyclesThroughItsValuesAndSavingKeepsTheOtherSettings) {
    game_options o;
    EXPECT_EQ(o.difficulty, DIFFICULTY_NORMAL); // the default: from the gentlest up, round
    const int difficulties[] = {DIFFICULTY_HARD, DIFFICULTY_CLASSIC, DIFFICULTY_NORMAL, DIFFICULTY_HARD, DIFFICULTY_CLASSIC};
    for (int d : difficulties) {
        cycle_game_option(o, OPT_DIFFICULTY);
        EXPECT_EQ(o.difficulty, d);
    }
    std::vector<int> rounds;
    for (int i = 0; i < 5; i++) {
        cycle_game_option(o, OPT_ROUNDS);
        rounds.push_back(o.rounds);
    }
    EXPECT_EQ(rounds, (std::vector<int>{4, 5, 1, 2, 3}));
    cycle_game_option(o, OPT_LIFE_STYLE);
    cycle_game_option(o, OPT_ROUND_MODE);
    EXPECT_EQ(o.life_style, LIFE_STRICT);
    EXPECT_EQ(o.round_mode, ROUNDS_STAGED);
    cycle_game_option(o, OPT_ROSTER);
    EXPECT_EQ(roster_size(o), 2);
    cycle_game_option(o, OPT_ROSTER);
    EXPECT_EQ(roster_size(o), 4);
    std::vector<int> stages;
    for (int i = 0; i < 3; i++) {
        cycle_game_option(o, OPT_STAGE);
        stages.push_back(o.stage);
    }
    EXPECT_EQ(stages, (std::vector<int>{STAGE_HARBOUR, STAGE_ALTERNATE, STAGE_ROAD}));
    o.stage = STAGE_HARBOUR;
    char text[16];
    EXPECT_STREQ(game_option_text(o, OPT_ROUND_TIME, text, sizeof text), "off");
    std::vector<int> times;
    for (int start : {0, 0, 0, 30}) { // 30 (hand-written) goes on to the next offered time
        if (start) o.round_time = start;
        cycle_game_option(o, OPT_ROUND_TIME);
        times.push_back(o.round_time);
    }
    EXPECT_EQ(times, (std::vector<int>{60, 99, 0, 60}));
    o.round_time = 99;

    scratch_dir d;
    std::string ini = d.file("game.ini");
    write_text(ini, "fullscreen=0\nwidth=800\nrounds=2\nfps=60\n");
    o.rounds = 5;
    o.net_delay = 4;
    ASSERT_TRUE(save_game_options(ini.c_str(), o));
    config_file cfg;
    cfg.clear();
    ASSERT_EQ(cfg.load(ini.c_str()), 1);
    EXPECT_EQ(cfg.get_int("width"), 800);
    EXPECT_EQ(cfg.get_int("fps"), 60);
    EXPECT_STREQ(cfg.get_string("difficulty"), "classic");
    EXPECT_EQ(cfg.get_int("rounds"), 5);
    EXPECT_STREQ(cfg.get_string("lifestyle"), "strict");
    EXPECT_STREQ(cfg.get_string("roundmode"), "staged");
    game_options back;
    read_game_options(cfg, back);
    EXPECT_EQ(back.rounds, 5);
    EXPECT_EQ(back.life_style, LIFE_STRICT);
    EXPECT_EQ(back.round_mode, ROUNDS_STAGED);
    EXPECT_STREQ(cfg.get_string("stage"), "harbour");
    EXPECT_EQ(back.stage, STAGE_HARBOUR);
    EXPECT_EQ(back.round_time, 99);
    EXPECT_EQ(back.net_delay, 4);

    // Values no screen writes keep the defaults; a save that cannot be written says so.
    config_file bad;
    bad.clear();
    bad.add("rounds", "9");
    bad.add("difficulty", "nightmare");
    bad.add("lifestyle", "");
    bad.add("stage", "moon");
    bad.add("roundtime", "100");
    bad.add("netdelay", "5x");
    read_game_options(bad, back);
    EXPECT_EQ(back.stage, STAGE_ROAD);
    EXPECT_EQ(back.rounds, 3);
    EXPECT_EQ(back.difficulty, DIFFICULTY_NORMAL);
    EXPECT_EQ(back.life_style, LIFE_CLASSIC);
    EXPECT_EQ(back.round_time, 0);
    EXPECT_EQ(back.net_delay, NET_DELAY_DEFAULT);
    EXPECT_FALSE(save_game_options(d.file("no/such/folder/game.ini").c_str(), o));
}

// The join screen's address, key by key: what an address holds is added, Backspace takes
// away, anything else is no text.
TEST(NetAddress, TypedKeysMakeTheAddress) {
    const struct {
        std::vector<int> keys;
        const char* text;
    } cases[] = {
        {{'1', '9', '2', SDLK_PERIOD, '0', SDLK_SEMICOLON, '7', '4'}, "192.0:74"},
        {{'a', 'b', SDLK_BACKSPACE, SDLK_MINUS, 'z'}, "a-z"},
        {{SDLK_BACKSPACE, SDLK_KP1, SDLK_KP_PERIOD, SDLK_SPACE, SDLK_F1, SDLK_TAB, SDLK_q}, "1.q"},
        {std::vector<int>(70, '9'), "999999999999999999999999999999999999999999999999999999999999999"},
    };
    for (const auto& c : cases) {
        std::string text;
        for (int k : c.keys) net_address_key(text, k);
        EXPECT_EQ(text, c.text);
    }
}

TEST(StageChoice, EachStageOptionNamesItsStageAndAlternateTakesThemInTurn) {
    game_options o;
    EXPECT_STREQ(stage_for_next_match(o), "rsrc/road/stage_road.ini");
    o.stage = STAGE_HARBOUR;
    EXPECT_STREQ(stage_for_next_match(o), "rsrc/harbour/stage_harbour.ini");
    o.stage = STAGE_ALTERNATE;
    const char* first = stage_for_next_match(o);
    EXPECT_STRNE(first, stage_for_next_match(o));
    EXPECT_STREQ(first, stage_for_next_match(o));
    EXPECT_EQ(known_stage("rsrc/harbour/stage_harbour.ini"), stage_files[1]);
    EXPECT_EQ(known_stage("rsrc/moon/stage_moon.ini"), nullptr);
}

static SDL_Event key_event(Uint8 type, SDLKey sym) {
    SDL_Event e;
    memset(&e, 0, sizeof e);
    e.type = type;
    e.key.type = type;
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = sym;
    return e;
}

static remap_outcome remap_after(std::initializer_list<SDL_Event> events, int control, const std::string& file) {
    for (SDL_Event e : events) SDL_PushEvent(&e);
    return remap_key(0, control, file.c_str());
}

TEST(KeyRemapping, TheKeyPressedOnceSpaceIsReleasedIsBoundAndSavedAndAKeyInUseIsRefused) {
    ASSERT_TRUE(open_test_screen(false));
    scratch_dir d;
    std::string file = d.file("controls.ini");
    for (const char* name : control_names) Control_Manager.register_name(name); // as the preload does
    Control_Manager.set_defaults();
    Uint8* state = SDL_GetKeyState(nullptr);
    state[SDLK_SPACE] = 1; // Space chose the row and is still down
    remap_outcome out = remap_after({key_event(SDL_KEYDOWN, SDLK_v), key_event(SDL_KEYUP, SDLK_v),
                                     key_event(SDL_KEYUP, SDLK_SPACE), key_event(SDL_KEYDOWN, SDLK_m)},
                                    4, file);
    state[SDLK_SPACE] = 0;
    EXPECT_EQ(out.result, REMAP_BOUND);
    EXPECT_EQ(Control_Manager.key_for(0, "punch"), 'm') << "v came while Space was down";
    std::string saved = read_text(file);
    EXPECT_NE(saved.find("player0controlpunch=109"), std::string::npos) << saved;

    // x is player 2's special1, k player 1's own kick: both refused, and the row says so.
    out = remap_after({key_event(SDL_KEYDOWN, SDLK_x)}, 4, file);
    EXPECT_EQ(out.result, REMAP_TAKEN);
    EXPECT_EQ(Control_Manager.key_for(0, "punch"), 'm');
    char rows[16][LIST_ROW_TEXT];
    build_remap_rows(rows, 0, &out);
    EXPECT_STREQ(rows[4], "punch: M (X is P2 special1)");
    EXPECT_STREQ(rows[5], "kick: K");
    out = remap_after({key_event(SDL_KEYDOWN, SDLK_k)}, 4, file);
    build_remap_rows(rows, 0, &out);
    EXPECT_STREQ(rows[4], "punch: M (K is P1 kick)");
    // The longest names still name the holder in full.
    Control_Manager.set_binding(1, "special2", SDLK_RSHIFT);
    out = remap_after({key_event(SDL_KEYDOWN, SDLK_RSHIFT)}, 7, file);
    build_remap_rows(rows, 0, &out);
    EXPECT_STREQ(rows[7], "special2: L (Right shift is P2 special2)");
    Control_Manager.set_defaults();
    Control_Manager.set_binding(0, "punch", 'm');
    EXPECT_EQ(remap_after({key_event(SDL_KEYDOWN, SDLK_m)}, 4, file).result, REMAP_BOUND)
        << "the control's own key is no conflict";
    EXPECT_EQ(read_text(file), saved);

    EXPECT_EQ(remap_after({key_event(SDL_KEYDOWN, SDLK_ESCAPE)}, 5, file).result, REMAP_CANCELLED);
    SDL_Event quit;
    memset(&quit, 0, sizeof quit);
    quit.type = SDL_QUIT;
    EXPECT_EQ(remap_after({quit}, 5, file).result, REMAP_CLOSED);
    EXPECT_EQ(Control_Manager.key_for(0, "kick"), 'k');
    EXPECT_EQ(read_text(file), saved);

    // A file that cannot be written: the key is in use for this run, and the row says it
    // was not saved.
    out = remap_after({key_event(SDL_KEYDOWN, SDLK_n)}, 5, d.file("missing/controls.ini"));
    EXPECT_EQ(out.result, REMAP_NOT_SAVED);
    build_remap_rows(rows, 0, &out);
    EXPECT_STREQ(rows[5], "kick: N (not saved)");
    EXPECT_STREQ(rows[4], "punch: M");
    Control_Manager.set_defaults();
}

// Pushes the events one by one with a pause between them, from another thread, while the
// menu runs on this one.
static std::thread push_later(std::vector<SDL_Event> events, int gap_ms) {
    return std::thread([events, gap_ms]() mutable {
        for (SDL_Event& e : events) {
            std::this_thread::sleep_for(std::chrono::milliseconds(gap_ms));
            SDL_PushEvent(&e);
        }
    });
}

TEST(ListMenu, KeyPressesMoveWrapAndConfirmAndEscapeOrAClosedWindowCancel) {
    ASSERT_TRUE(open_test_screen(false));
    font f(video.screen);
    f.open(FIGHT_DATA_DIR "/rsrc/Veranda.ttf");
    const char rows[3][LIST_ROW_TEXT] = {"one", "two", "three"};

    std::thread t = push_later({key_event(SDL_KEYDOWN, SDLK_UP), key_event(SDL_KEYDOWN, SDLK_UP),
                                key_event(SDL_KEYDOWN, SDLK_RETURN)},
                               150);
    EXPECT_EQ(list_menu(rows, 3, 0, nullptr, &f, 200), 1) << "up twice from the first row wraps";
    t.join();

    t = push_later({key_event(SDL_KEYDOWN, SDLK_DOWN), key_event(SDL_KEYDOWN, SDLK_ESCAPE)}, 150);
    EXPECT_EQ(list_menu(rows, 3, 0, nullptr, &f, 200), 4);
    t.join();

    SDL_Event quit;
    memset(&quit, 0, sizeof quit);
    quit.type = SDL_QUIT;
    t = push_later({quit}, 150);
    EXPECT_EQ(list_menu(rows, 3, 0, nullptr, &f, 200), 4);
    t.join();
}

TEST(ListMenu, TheSelectedRowIsDrawnInItsStarredFormCentred) {
    ASSERT_TRUE(open_test_screen(false));
    font f(video.screen);
    f.size = 30;
    f.open(FIGHT_DATA_DIR "/rsrc/Veranda.ttf");
    const char rows[2][LIST_ROW_TEXT] = {"x", "x"};
    // The second row selected, then confirmed: the last frame shows "*x*" on the second row.
    std::thread t = push_later({key_event(SDL_KEYDOWN, SDLK_DOWN), key_event(SDL_KEYDOWN, SDLK_SPACE)}, 150);
    EXPECT_EQ(list_menu(rows, 2, 0, nullptr, &f, 200), 1);
    t.join();
    // The last presented frame is still on the screen surface (dummy driver).
    int first = 640, last = -1, star_top = 480;
    for (int x = 0; x < 640; x++)
        for (int y = 190; y < 300; y++) {
            uint8_t r, g, b;
            read_screen_pixel(x, y, &r, &g, &b);
            if (r < 200 || g < 200 || b < 200) continue;
            if (x < first) first = x, star_top = y;
            if (x == first && y < star_top) star_top = y;
            last = x;
        }
    ASSERT_GE(last, 0);
    EXPECT_NEAR((first + last) / 2, 320, 4) << "centred";
    EXPECT_GT(last - first, 30) << "three characters wide: *x*";
    EXPECT_GT(star_top, 200 + 20) << "the star stands on the second row";
}

TEST(MenuMusic, TheMenuTrackFollowsTheIntroAndComesBackAfterAMatchOrASelection) {
    ASSERT_TRUE(open_test_screen(false));
    ASSERT_EQ(video.init_audio(), 0);
    ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 8192), 0) << Mix_GetError();
    game_resources r;
    r.intro_music = Mix_LoadMUS(FIGHT_DATA_DIR "/rsrc/menu_intro.ogg");
    r.menu_music = Mix_LoadMUS(FIGHT_DATA_DIR "/rsrc/jazz_loop.ogg");
    r.select_music = Mix_LoadMUS(FIGHT_DATA_DIR "/rsrc/ramp.ogg");
    Mix_Music* match = Mix_LoadMUS(FIGHT_DATA_DIR "/rsrc/tech_loop.ogg");
    ASSERT_TRUE(r.intro_music && r.menu_music && r.select_music && match) << Mix_GetError();

    play_track(r.intro_music, 1);
    play_menu_music(r);
    EXPECT_EQ(current_track(), r.intro_music) << "the first menu lets the intro finish";
    Mix_HaltMusic();
    play_menu_music(r);
    EXPECT_EQ(current_track(), r.menu_music) << "then its own loop";
    play_track(match, -1);
    play_menu_music(r);
    EXPECT_EQ(current_track(), r.menu_music) << "after a match";
    play_select_music(r);
    EXPECT_EQ(current_track(), r.select_music);
    play_menu_music(r);
    EXPECT_EQ(current_track(), r.menu_music) << "after a cancelled selection";

    Mix_HaltMusic();
    EXPECT_EQ(current_track(), nullptr);
    for (Mix_Music* m : {r.intro_music, r.menu_music, r.select_music, match}) Mix_FreeMusic(m);
    Mix_CloseAudio();
}

// The replays screen's rows from a folder of recordings, damaged and foreign files among them;
// Down, Delete and Return remove exactly the second row's file.
TEST(ReplaysScreen, RowsComeNewestFirstWithTheirFieldsAndDeleteRemovesExactlyOne) {
    ASSERT_TRUE(open_test_screen(false));
    scratch_dir d;
    ASSERT_EQ(mkdir(d.file("game").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(d.file("game/replays").c_str(), 0755), 0);
    const std::string from = FIGHT_SOURCE_DIR "/tests/replays/", to = d.file("game/replays/");
    write_text(to + "replay-20261201-100000-00.ini", read_text(from + "arcade.ini"));
    write_text(to + "replay-20261208-213000-00.ini", read_text(from + "versus.ini"));
    write_text(to + "replay-20261205-090000-01.ini", read_text(from + "demo.ini"));
    const std::string versus = read_text(from + "versus.ini");
    write_text(to + "replay-20261209-120000-00.ini", versus.substr(0, versus.size() / 2));
    write_text(to + "notes.ini", "hello=1\n");
    write_text(to + "readme.txt", "not a recording\n");
    const std::vector<replay_row> rows = list_replays(to.substr(0, to.size() - 1).c_str());
    const struct {
        const char* text; // the row, or the start of a damaged file's
        bool readable;
    } want[] = {
        {"2026-12-08 21:30  versus  Tamsin v Mirelle  Mirelle won  0:23", true},
        {"2026-12-05 09:00  demo  Mirelle v Tamsin  Tamsin won  0:29", true},
        {"2026-12-01 10:00  arcade  Ondine v Mirelle  Mirelle won  0:14", true},
        {"replay-20261209-120000-00.ini: ", false},
        {"notes.ini: ", false},
    };
    ASSERT_EQ(rows.size(), 5u);
    for (size_t i = 0; i < rows.size(); i++) {
        EXPECT_EQ(rows[i].text.substr(0, strlen(want[i].text)), want[i].text) << rows[i].text;
        EXPECT_EQ(rows[i].readable, want[i].readable);
    }
    char cwd[4096];
    ASSERT_TRUE(getcwd(cwd, sizeof cwd));
    ASSERT_EQ(chdir(d.path.c_str()), 0);
    game_resources r;
    std::thread t = push_later({key_event(SDL_KEYDOWN, SDLK_DOWN), key_event(SDL_KEYDOWN, SDLK_DELETE),
                                key_event(SDL_KEYDOWN, SDLK_RETURN), key_event(SDL_KEYDOWN, SDLK_ESCAPE)},
                               200);
    replays_screen(r);
    t.join();
    EXPECT_EQ(chdir(cwd), 0);
    EXPECT_EQ(list_replays(to.substr(0, to.size() - 1).c_str()).size(), 4u);
    EXPECT_FALSE(regular_file((to + "replay-20261205-090000-01.ini").c_str())) << "the second row's file";
}
