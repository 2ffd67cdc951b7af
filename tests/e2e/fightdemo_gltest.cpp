// fightdemo under an X display: Escape held during the match ends the program the same way
// as a finished match, and in OpenGL mode the match shows the stage, both fighters and both
// displays (the screenshot is kept as build/screenshots/fightdemo_match_gl.png).
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "demo_folder.h"
#include "game_driver.h"

using namespace game_driver;

TEST(FightdemoScreen, EscapeHeldDuringTheMatchEndsTheProgramAfterTheUnloadLines) {
    scratch_dir d;
    copy_game_folder(d.path);
    write_settings(d, "hwaccel=0\n");
    running_program p;
    start_program(p, "fightdemo", {}, d.path, {"SDL_AUDIODRIVER=dummy"});
    ASSERT_TRUE(p.wait_for("Scrolling Max for level", 120000)) << p.out();
    point_at_window();
    sleep_ms(500);
    EXPECT_EQ(system("xdotool keydown Escape"), 0);
    const run_result& r = p.finish(30000);
    EXPECT_EQ(system("xdotool keyup Escape"), 0);
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(count_occurrences(r.out, "Loop finished"), 1);
    EXPECT_EQ(r.out.find("mode [4]"), std::string::npos);
    expect_match_unloaded_and_done(r.out);
}

// 32-bit RGB, the format the colours are compared in.
static SDL_PixelFormat* shot_format() {
    static SDL_PixelFormat f = {nullptr, 32, 4, 0, 0, 0, 8, 16, 8, 0, 0, 0xFF0000, 0xFF00, 0xFF, 0, 0, 255};
    return &f;
}

// The commonest colours of a fighter's standing picture (the key green left out), most
// common first.
static std::vector<uint32_t> main_colours(const char* file, size_t count) {
    std::vector<uint32_t> top;
    SDL_Surface* raw = IMG_Load((std::string(FIGHT_DATA_DIR) + "/" + file).c_str());
    if (!raw) return top;
    SDL_Surface* pic = SDL_ConvertSurface(raw, shot_format(), 0);
    SDL_FreeSurface(raw);
    std::map<uint32_t, int> seen;
    for (int y = 0; y < pic->h; y++)
        for (int x = 0; x < pic->w; x++) {
            uint8_t r, g, b;
            uint32_t v = 0;
            memcpy(&v, (uint8_t*)pic->pixels + y * pic->pitch + x * 4, 4);
            SDL_GetRGB(v, pic->format, &r, &g, &b);
            if (r == 0 && g == 255 && b == 0) continue;
            seen[(uint32_t)r << 16 | g << 8 | b]++;
        }
    SDL_FreeSurface(pic);
    std::vector<std::pair<int, uint32_t>> order;
    for (auto& c : seen) order.push_back({c.second, c.first});
    std::sort(order.rbegin(), order.rend());
    for (size_t i = 0; i < order.size() && i < count; i++) top.push_back(order[i].second);
    return top;
}

// Two of the fighter's commonest colours that the other fighter's picture does not share.
static std::vector<uint32_t> own_colours(const char* file, const char* other) {
    std::vector<uint32_t> mine = main_colours(file, 8), theirs = main_colours(other, 8), own;
    for (uint32_t c : mine)
        if (std::find(theirs.begin(), theirs.end(), c) == theirs.end() && own.size() < 2) own.push_back(c);
    return own;
}

static bool near_colour(const screen_shot& s, int x, int y, int r, int g, int b, int tol = 12) {
    uint8_t sr, sg, sb;
    s.rgb(x, y, &sr, &sg, &sb);
    return abs(sr - r) <= tol && abs(sg - g) <= tol && abs(sb - b) <= tol;
}

TEST(FightdemoScreen, InOpenGLModeTheMatchShowsStageFightersAndBothDisplays) {
    scratch_dir d;
    copy_game_folder(d.path);
    // Two frames a second: the shot, 1.5 s into the match, shows one of its first frames
    // whatever the machine's load, with both fighters still near their starting places (at
    // 60 frames a second it could catch them in the air or crossed over).
    write_settings(d, "hwaccel=1\nfps=2\n");
    running_program p;
    start_program(p, "fightdemo", {}, d.path, {"SDL_AUDIODRIVER=dummy"});
    ASSERT_TRUE(p.wait_for("Scrolling Max for level", 120000)) << p.out();
    sleep_ms(1500);
    screen_shot shot;
    take_shot(shot, d.path, "fightdemo_match_gl.png");
    ASSERT_NE(shot.s, nullptr);

    // Both displays: a gold life bar from each top corner.
    int left_gold = 0, right_gold = 0;
    for (int x = 20; x < 240; x++) left_gold += near_colour(shot, x, 16, 246, 206, 127);
    for (int x = 400; x < 620; x++) right_gold += near_colour(shot, x, 16, 246, 206, 127);
    EXPECT_GT(left_gold, 150);
    EXPECT_GT(right_gold, 150);

    // The stage fills the screen: hardly any black in the middle band.
    int black = 0, total = 0;
    for (int y = 120; y < 360; y += 4)
        for (int x = 0; x < 640; x += 4, total++) black += near_colour(shot, x, y, 0, 0, 0, 4);
    EXPECT_LT(black, total / 20);

    // Both fighters stand in the lower half, Tamsin to the left of Mirelle: count the
    // pixels of colours only one of them wears and where they lie.
    const char* stills[2] = {"rsrc/tamsin/tamsin_stand.png", "rsrc/mirelle/mirelle_stand.png"};
    double mean_x[2] = {0, 0};
    for (int f = 0; f < 2; f++) {
        std::vector<uint32_t> colours = own_colours(stills[f], stills[1 - f]);
        ASSERT_FALSE(colours.empty()) << stills[f];
        int n = 0;
        long sum_x = 0;
        for (int y = 240; y < 480; y++)
            for (int x = 0; x < 640; x++)
                for (uint32_t c : colours)
                    if (near_colour(shot, x, y, c >> 16, (c >> 8) & 255, c & 255, 6)) {
                        n++;
                        sum_x += x;
                        break;
                    }
        EXPECT_GT(n, 150) << stills[f];
        mean_x[f] = n ? (double)sum_x / n : 0;
    }
    EXPECT_LT(mean_x[0], mean_x[1]);

    p.signal(SIGTERM);
    const run_result& r = p.finish(30000);
    EXPECT_EQ(r.exit_code, 0);
    expect_match_unloaded_and_done(r.out);
}
