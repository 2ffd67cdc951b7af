// The editor's rules, driven through its own loop one pass at a time with queued key events
// and, for held keys, a test clock.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "../animation/anim_files.h"
#include "editor.h"
#include "foundation/clock.h"
#include "foundation/video_mgr.h"

namespace {

uint32_t now_ms = 0;
uint32_t test_clock() { return now_ms; }

const std::vector<int> RATES = {4, 3, 2, 5, 6};

struct Editor : ::testing::Test {
    scratch_dir d;
    std::string path;
    editor e;

    void SetUp() override {
        now_ms = 1000;
        clock_set_source(test_clock);
        ASSERT_TRUE(open_test_screen(false));
        path = write_animation(d, "anim.ini", width_pictures(d, 5), RATES, "spin4=3\n");
    }
    void TearDown() override {
        editor_stop(e);
        clock_set_source(nullptr);
    }

    void start(const std::string& file) {
        editor_start(e, file.c_str());
        e.delay_ms = 0;
    }
    // A key event and the key state that goes with it, as a real keyboard gives both.
    void send(Uint8 type, SDLKey key) {
        SDL_GetKeyState(nullptr)[key] = type == SDL_KEYDOWN;
        SDL_Event ev;
        memset(&ev, 0, sizeof ev);
        ev.type = type;
        ev.key.keysym.sym = key;
        SDL_PushEvent(&ev);
    }
    // A tap: pressed and released before the next pass, which takes it.
    void press(SDLKey key) {
        send(SDL_KEYDOWN, key);
        send(SDL_KEYUP, key);
        editor_pass(e);
    }
    int frame() { return editor_instance(e)->frame_index; }
    int drawn() { return e.def->cur_width / 10 - 1; } // frame i is (i + 1) * 10 wide
};

TEST_F(Editor, StartsHeldOnFrameZeroWithTheFileInTheCaption) {
    start(path);
    EXPECT_EQ(5, e.frame_count);
    EXPECT_EQ(20, e.total_time);
    EXPECT_EQ(0, e.play);
    EXPECT_EQ(1, e.show_all);
    EXPECT_EQ(1, e.saved);
    for (int i = 0; i < 23; i++) editor_pass(e);
    EXPECT_EQ(0, frame());
    EXPECT_EQ(0, drawn());
    EXPECT_EQ("fps[60] frame[0] wait[4] play[0] ttltime[20] loop[0] ", editor_status(e));
    char* title = nullptr;
    SDL_WM_GetCaption(&title, nullptr);
    ASSERT_NE(nullptr, title);
    EXPECT_EQ(path, title);
}

TEST_F(Editor, RaisingARateMarksModifiedAndSWritesTheFileOnce) {
    start(path);
    for (int i = 0; i < 3; i++) press(SDLK_RIGHT);
    EXPECT_EQ(3, frame());
    press(SDLK_UP);
    press(SDLK_UP);
    EXPECT_EQ("fps[60] frame[3] wait[7] play[0] ttltime[22] loop[0] modified", editor_status(e));
    EXPECT_EQ(0, e.saved);

    std::string before = read_text(path);
    log_capture log;
    press(SDLK_s);
    EXPECT_EQ(1, log.count("Saved anim_mgr as [" + path + "]\n"));
    std::string expected = before;
    expected.replace(expected.find("rate3=5"), 7, "rate3=7");
    expected += "loop=0\n"; // the loop key is written even when the file had none
    EXPECT_EQ(expected, read_text(path));
    EXPECT_EQ("fps[60] frame[3] wait[7] play[0] ttltime[22] loop[0] ", editor_status(e));

    write_text(path, "untouched\n");
    press(SDLK_s);
    EXPECT_EQ(1, log.count("Saved anim_mgr as ["));
    EXPECT_EQ("untouched\n", read_text(path));
}

TEST_F(Editor, SteppingWrapsAtBothEndsOntoTheFramesOwnRate) {
    start(path);
    press(SDLK_LEFT);
    EXPECT_EQ(4, frame());
    EXPECT_EQ(4, drawn());
    EXPECT_EQ(6, editor_instance(e)->remaining); // held: one tick taken, one given back
    EXPECT_EQ(3, e.def->angle); // put back to 0, then one tick of the frame's spin
    for (int i = 0; i < 5; i++) editor_pass(e);
    EXPECT_EQ(18, e.def->angle); // a held frame keeps turning
    press(SDLK_RIGHT);
    EXPECT_EQ(0, e.def->angle);
    EXPECT_EQ(0, frame());
    EXPECT_EQ(4, editor_instance(e)->remaining);
    press(SDLK_RIGHT);
    press(SDLK_UP); // the rate keys act on the frame stepped to
    EXPECT_EQ(4, e.def->frames[1].rate);
    EXPECT_EQ(4, e.def->frames[0].rate);
}

// Mended: Right from the last frame landed on frame 1 when frame 0 waits one tick, and Down
// took a wait below zero. Each limit, then the step beyond it.
TEST_F(Editor, RightFromTheLastFrameHoldsFrameZeroAndAWaitStopsAtZero) {
    const struct {
        SDLKey key;
        int times;
        int frame, wait, total;
    } cases[] = {
        {SDLK_RIGHT, 3, 3, 6, 18}, // the last frame
        {SDLK_RIGHT, 1, 0, 1, 18}, // beyond it: frame 0, and held there
        {SDLK_DOWN, 1, 0, 0, 17},  // the lowest wait
        {SDLK_DOWN, 1, 0, 0, 17},  // beyond it: still 0
        {SDLK_LEFT, 1, 3, 6, 17},
    };
    start(write_animation(d, "jump.ini", width_pictures(d, 4), {1, 3, 8, 6}));
    for (const auto& c : cases) {
        for (int t = 0; t < c.times; t++) press(c.key);
        for (int i = 0; i < 10; i++) editor_pass(e); // held: the frame stays
        EXPECT_EQ(c.frame, frame()) << "after key " << c.key;
        EXPECT_EQ(c.frame, drawn());
        EXPECT_EQ(c.wait, e.def->frames[(size_t)c.frame].rate);
        EXPECT_EQ(c.total, e.total_time);
    }
    press(SDLK_l);
    EXPECT_EQ(1, e.def->loop);
    EXPECT_EQ("fps[60] frame[3] wait[6] play[0] ttltime[17] loop[1] modified", editor_status(e));

    editor_stop(e);
    log_capture log;
    start(write_animation(d, "negative.ini", width_pictures(d, 2), {-2, 3}));
    EXPECT_EQ(1, log.count("rate0=-2: a wait below zero is taken as 0\n"));
    EXPECT_EQ(0, e.def->frames[0].rate);
    EXPECT_EQ(3, e.total_time);
    press(SDLK_s);
    EXPECT_NE(std::string::npos, read_text(d.file("negative.ini")).find("rate0=0\n"));
}

TEST_F(Editor, EachTapActsOnceAndAHeldArrowRepeatsAfterADelay) {
    start(path);
    send(SDL_KEYDOWN, SDLK_SPACE);
    send(SDL_KEYUP, SDLK_SPACE);
    send(SDL_KEYDOWN, SDLK_SPACE);
    for (int i = 0; i < 30; i++, now_ms += 16) editor_pass(e); // held half a second
    EXPECT_EQ(0, e.play) << "two presses in one pass, each once; Space does not repeat";
    send(SDL_KEYUP, SDLK_SPACE);
    send(SDL_KEYDOWN, SDLK_f);
    for (int i = 0; i < 30; i++, now_ms += 16) editor_pass(e);
    EXPECT_EQ(0, e.show_all);
    send(SDL_KEYUP, SDLK_f);

    send(SDL_KEYDOWN, SDLK_UP);
    editor_pass(e); // at once
    now_ms += 399;
    editor_pass(e);
    EXPECT_EQ(5, e.def->frames[0].rate);
    now_ms += 1;
    editor_pass(e); // 400 ms
    now_ms += 250;
    editor_pass(e); // 525 and 650 ms
    send(SDL_KEYUP, SDLK_UP);
    now_ms += 1000;
    editor_pass(e);
    EXPECT_EQ(8, e.def->frames[0].rate);
    EXPECT_EQ(24, e.total_time);
}

TEST_F(Editor, ARateLoweredToZeroStillShowsItsFrameForOneTickWhenPlayed) {
    start(path);
    press(SDLK_RIGHT);
    for (int i = 0; i < 3; i++) press(SDLK_DOWN);
    EXPECT_EQ(0, e.def->frames[1].rate);
    EXPECT_EQ(17, e.total_time);
    press(SDLK_LEFT);
    press(SDLK_SPACE);
    EXPECT_EQ(1, e.play);

    std::vector<int> seen;
    for (int i = 0; i < 40; i++) {
        editor_pass(e);
        seen.push_back(drawn());
    }
    // Runs of (frame, passes) after the first change of frame.
    std::vector<std::pair<int, int>> runs;
    for (size_t i = 1; i < seen.size(); i++) {
        if (seen[i] != seen[i - 1]) runs.push_back({seen[i], 0});
        if (!runs.empty()) runs.back().second++;
    }
    ASSERT_GE(runs.size(), 6u);
    std::vector<std::pair<int, int>> cycle = {{1, 1}, {2, 2}, {3, 5}, {4, 6}, {0, 4}};
    size_t first = runs[0].first == 1 ? 0 : 4; // start of the cycle within the runs
    for (size_t i = 0; i + 1 < runs.size(); i++)
        EXPECT_EQ(cycle[(i + (5 - first)) % 5], runs[i]) << "run " << i;

    press(SDLK_SPACE);
    EXPECT_EQ(0, e.play);
}

TEST_F(Editor, GhostsFadeWithTheirDistanceFromTheCurrentFrame) {
    const int expected[5] = {76, 102, 128, 102, 76};
    for (int i = 0; i < 5; i++) EXPECT_EQ(expected[i], ghost_alpha(i, 2, 5));
    EXPECT_EQ(128, ghost_alpha(0, 0, 1));
    EXPECT_EQ(0, ghost_alpha(0, 0, 0));

    // Five frames, each a white square at its own place on a transparent strip.
    std::vector<std::string> pics;
    for (int i = 0; i < 5; i++) {
        SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, 60, 10, 24, 0x0000FF, 0x00FF00, 0xFF0000, 0);
        SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 0, 255, 0));
        SDL_Rect r = {(Sint16)(10 * i), 0, 10, 10};
        SDL_FillRect(s, &r, SDL_MapRGB(s->format, 255, 255, 255));
        std::string p = d.file("g" + std::to_string(i) + ".bmp");
        SDL_SaveBMP(s, p.c_str());
        SDL_FreeSurface(s);
        pics.push_back(p);
    }
    start(write_animation(d, "ghosts.ini", pics, {2, 2, 2, 2, 2}));
    press(SDLK_RIGHT);
    press(SDLK_RIGHT);
    ASSERT_EQ(2, frame());
    video.clear();
    editor_draw_ghosts(e);
    EXPECT_EQ(255, e.def->alpha);
    for (int i = 0; i < 5; i++) {
        uint8_t r, g, b;
        read_screen_pixel(10 * i + 5, 5, &r, &g, &b);
        EXPECT_NEAR(expected[i], r, 3) << "frame " << i;
    }

    press(SDLK_f); // ghosts off: only the current frame is drawn
    EXPECT_EQ(0, e.show_all);
    video.clear();
    editor_draw_ghosts(e);
    uint8_t r, g, b;
    read_screen_pixel(25, 5, &r, &g, &b);
    EXPECT_EQ(0, r);
}

TEST_F(Editor, EscapeOrAQuitEventEndsTheLoopAtTheNextPass) {
    start(path);
    press(SDLK_ESCAPE);
    EXPECT_EQ(1, e.quit);

    e.quit = 0;
    press(SDLK_UP); // unsaved changes: closing the window still ends at once
    SDL_Event q;
    while (SDL_PollEvent(&q)) { // under sdl12-compat window events wait ahead of the test's
    }
    memset(&q, 0, sizeof q);
    for (int i = 0; i < 100; i++) { // SDL 1.2 queues at most 127 events
        q.type = SDL_MOUSEMOTION;
        SDL_PushEvent(&q);
    }
    q.type = SDL_QUIT;
    SDL_PushEvent(&q);
    editor_pass(e);
    EXPECT_EQ(1, e.quit);
}

TEST_F(Editor, EscapeWithUnsavedChangesAsksOnceAndAnotherEscapeDiscards) {
    start(path);
    press(SDLK_UP);
    press(SDLK_ESCAPE);
    EXPECT_EQ(0, e.quit);
    EXPECT_EQ("unsaved changes: Escape again to discard, S to save", editor_status(e));
    press(SDLK_LSHIFT); // not an answer
    EXPECT_EQ("unsaved changes: Escape again to discard, S to save", editor_status(e));
    press(SDLK_RIGHT); // going on editing drops the question
    EXPECT_EQ("fps[60] frame[1] wait[3] play[0] ttltime[21] loop[0] modified", editor_status(e));
    press(SDLK_ESCAPE);
    press(SDLK_s);
    EXPECT_EQ(0, e.quit);
    EXPECT_EQ(1, e.saved);
    EXPECT_EQ("fps[60] frame[1] wait[3] play[0] ttltime[21] loop[0] ", editor_status(e));
    press(SDLK_ESCAPE);
    EXPECT_EQ(1, e.quit) << "nothing unsaved: Escape quits";

    e.quit = 0;
    press(SDLK_UP);
    press(SDLK_ESCAPE);
    press(SDLK_ESCAPE);
    EXPECT_EQ(1, e.quit);
    EXPECT_NE(std::string::npos, read_text(path).find("rate1=3\n")) << "the last change was discarded";
}

TEST_F(Editor, AFileThatWillNotLoadLeavesAWorkingEditorThatChangesNothing) {
    std::string missing = d.file("missing.ini");
    start(missing);
    EXPECT_EQ(0, e.frame_count);
    for (SDLKey k : {SDLK_LEFT, SDLK_RIGHT, SDLK_UP, SDLK_DOWN, SDLK_s, SDLK_SPACE})
        press(k);
    EXPECT_EQ(1, e.saved);
    EXPECT_FALSE(file_exists(missing));
    EXPECT_EQ("fps[60] frame[0] wait[0] play[1] ttltime[0] loop[0] ", editor_status(e));
}

TEST_F(Editor, FramesPerSecondComeFromTheSettingsFile) {
    log_capture log;
    std::string ini = d.file("game.ini");
    EXPECT_EQ(60, editor_read_fps(ini.c_str()));
    write_text(ini, "width=640\nfps=30\n");
    EXPECT_EQ(30, editor_read_fps(ini.c_str()));
    EXPECT_EQ(1, log.count("Setting fps to [30]\n"));
    write_text(ini, "fps=0\n");
    EXPECT_EQ(60, editor_read_fps(ini.c_str()));
    EXPECT_EQ(1, log.count("Setting fps to"));
    // The editor waits 1000 / fps ms: a negative rate would never wait, a huge one neither.
    write_text(ini, "fps=-1\n");
    EXPECT_EQ(60, editor_read_fps(ini.c_str()));
    EXPECT_TRUE(log.has("WARNING: fps [-1] is no usable frame rate, using [60]\n"));
    write_text(ini, "fps=201\n");
    EXPECT_EQ(200, editor_read_fps(ini.c_str()));
    EXPECT_TRUE(log.has("Setting fps to [200]\n"));
}

} // namespace
