// The editor's rules, driven through its own loop one pass at a time with a written key
// state (the dummy video driver leaves the key array to the test).
#include <gtest/gtest.h>

#include <vector>

#include "../animation/anim_files.h"
#include "editor.h"
#include "foundation/video_mgr.h"

namespace {

const std::vector<int> RATES = {4, 3, 2, 5, 6};

struct Editor : ::testing::Test {
    scratch_dir d;
    std::string path;
    editor e;

    void SetUp() override {
        ASSERT_TRUE(open_test_screen(false));
        path = write_animation(d, "anim.ini", width_pictures(d, 5), RATES, "spin4=3\n");
    }
    void TearDown() override { editor_stop(e); }

    void start(const std::string& file) {
        editor_start(e, file.c_str());
        e.delay_ms = 0;
    }
    // Runs to the next pass that reads input, holds the key through it, lets go.
    void press(SDLKey key) {
        while (e.loop_count % 5 != 0) editor_pass(e);
        Uint8* keys = SDL_GetKeyState(nullptr);
        keys[key] = 1;
        editor_pass(e);
        keys[key] = 0;
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
    EXPECT_EQ("fps[60] frame[0] wait[4] play[0] ttltime[20] ", editor_status(e));
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
    EXPECT_EQ("fps[60] frame[3] wait[7] play[0] ttltime[22] modified", editor_status(e));
    EXPECT_EQ(0, e.saved);

    std::string before = read_text(path);
    log_capture log;
    press(SDLK_s);
    EXPECT_EQ(1, log.count("Saved anim_mgr as [" + path + "]\n"));
    std::string expected = before;
    expected.replace(expected.find("rate3=5"), 7, "rate3=7");
    expected += "loop=0\n"; // the loop key is written even when the file had none
    EXPECT_EQ(expected, read_text(path));
    EXPECT_EQ("fps[60] frame[3] wait[7] play[0] ttltime[22] ", editor_status(e));

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

TEST_F(Editor, HoldingAKeyRepeatsItOnEveryFifthPass) {
    start(path);
    Uint8* keys = SDL_GetKeyState(nullptr);
    keys[SDLK_UP] = 1;
    for (int i = 0; i < 15; i++) editor_pass(e); // passes 0, 5 and 10 read the keys
    keys[SDLK_UP] = 0;
    EXPECT_EQ(7, e.def->frames[0].rate);
    EXPECT_EQ(23, e.total_time);
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

TEST_F(Editor, EscapeOrAQuitEventEndsTheLoop) {
    start(path);
    press(SDLK_ESCAPE);
    EXPECT_EQ(1, e.quit);

    e.quit = 0;
    SDL_Event q;
    while (SDL_PollEvent(&q)) { // under sdl12-compat window events wait ahead of it
    }
    q.type = SDL_QUIT;
    SDL_PushEvent(&q);
    for (int i = 0; i < 4; i++) editor_pass(e); // seen at the next input pass only
    EXPECT_EQ(0, e.quit);
    editor_pass(e);
    EXPECT_EQ(1, e.quit);
}

TEST_F(Editor, AFileThatWillNotLoadLeavesAWorkingEditorThatChangesNothing) {
    std::string missing = d.file("missing.ini");
    start(missing);
    EXPECT_EQ(0, e.frame_count);
    for (SDLKey k : {SDLK_LEFT, SDLK_RIGHT, SDLK_UP, SDLK_DOWN, SDLK_s, SDLK_SPACE})
        press(k);
    EXPECT_EQ(1, e.saved);
    EXPECT_FALSE(file_exists(missing));
    EXPECT_EQ("fps[60] frame[0] wait[0] play[1] ttltime[0] ", editor_status(e));
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
}

} // namespace
