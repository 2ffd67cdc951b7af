// framewright as a user drives it: the real program under the X display, keys pressed with
// xdotool. Input is sampled every fifth pass, so a held key may act more than once; the
// checks hold however often it repeats.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>
#include <SDL_ttf.h>
#include <cstdio>
#include <sstream>

#include "../animation/anim_files.h"

namespace {

std::string shell(const std::string& cmd) {
    std::string out;
    FILE* f = popen(cmd.c_str(), "r");
    if (!f) return out;
    char buf[256];
    while (fgets(buf, sizeof buf, f)) out += buf;
    pclose(f);
    while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
    return out;
}

// Holds a key long enough for an input pass to see it.
void hold(const std::string& window, const std::string& key, double seconds = 0.15) {
    char cmd[256];
    snprintf(cmd, sizeof cmd,
             "xdotool mousemove --window %s 100 100 keydown %s sleep %.2f keyup %s sleep 0.3",
             window.c_str(), key.c_str(), seconds, key.c_str());
    EXPECT_EQ(0, system(cmd));
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> v;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) v.push_back(l);
    return v;
}

// Colour of a screenshot pixel (screenshots may be paletted, each with its own palette).
uint32_t rgb_at(SDL_Surface* s, int x, int y) {
    uint32_t v = 0;
    memcpy(&v, (uint8_t*)s->pixels + y * s->pitch + x * s->format->BytesPerPixel,
           s->format->BytesPerPixel);
    uint8_t r, g, b;
    SDL_GetRGB(v, s->format, &r, &g, &b);
    return (uint32_t)r << 16 | (uint32_t)g << 8 | b;
}

// Rightmost column holding a lit pixel in the status line's rows, -1 for none.
int status_right_edge(SDL_Surface* s) {
    int right = -1;
    for (int y = 430; y < 480 && y < s->h; y++)
        for (int x = 0; x < 640 && x < s->w; x++) {
            uint32_t c = rgb_at(s, x, y);
            if ((c >> 16) + ((c >> 8) & 255) + (c & 255) > 200 && x > right) right = x;
        }
    return right;
}

bool same_status_pixels(SDL_Surface* a, SDL_Surface* b, int up_to) {
    for (int y = 430; y < 480; y++)
        for (int x = 0; x <= up_to; x++)
            if (rgb_at(a, x, y) != rgb_at(b, x, y)) return false;
    return true;
}

TEST(FramewrightE2E, HoldingUpGrowsOnlyTheCurrentFramesRateAndTwoSavesWriteOnce) {
    scratch_dir d;
    copy_game_folder(d.path);
    std::vector<std::string> pics;
    for (int i = 0; i < 4; i++)
        pics.push_back(write_picture(d, "f" + std::to_string(i) + ".bmp", 40 + 10 * i, 40, 200, 40 * i, 0));
    std::string path = write_animation(d, "edit.ini", pics, {6, 6, 6, 6},
                                       "loop=0\nspin2=4\nflash1=100\nsound3=rsrc/sfx/none.wav\n");
    std::string original = read_text(path);

    running_program p;
    start_program(p, "framewright", {path}, d.path, {"SDL_AUDIODRIVER=dummy"});
    ASSERT_TRUE(p.wait_for("Done loading animation from [" + path + "]\n", 30000)) << p.out() << p.err();
    std::string window = shell("xdotool search --sync --name 'edit\\.ini' | head -1");
    ASSERT_FALSE(window.empty());
    EXPECT_EQ(path, shell("xdotool getwindowname " + window));

    hold(window, "Right");
    hold(window, "Up", 0.4);
    std::string shot_a = d.file("modified.png"), shot_b = d.file("saved.png");
    EXPECT_EQ(0, system(("import -window " + window + " " + shot_a).c_str()));
    EXPECT_EQ(original, read_text(path)); // nothing written before s
    hold(window, "s");
    hold(window, "s");
    EXPECT_EQ(0, system(("import -window " + window + " " + shot_b).c_str()));
    hold(window, "Escape", 0.2);
    const run_result& r = p.finish(20000);
    EXPECT_EQ(0, r.exit_code) << r.err;
    EXPECT_EQ(1, count_occurrences(r.out, "Saved anim_mgr as [" + path + "]"));

    // Exactly one line changed: the rate of a frame other than 0, and it grew.
    std::vector<std::string> before = lines_of(original), after = lines_of(read_text(path));
    ASSERT_EQ(before.size(), after.size()) << read_text(path);
    int changed = 0;
    for (size_t i = 0; i < before.size(); i++) {
        if (before[i] == after[i]) continue;
        changed++;
        ASSERT_EQ(0u, after[i].rfind("rate", 0)) << after[i];
        EXPECT_NE("rate0=6", before[i]);
        EXPECT_EQ(before[i].substr(0, 6), after[i].substr(0, 6));
        EXPECT_GT(atoi(after[i].c_str() + 6), 6) << after[i];
    }
    EXPECT_EQ(1, changed);

    // The status line read "modified" before the save and not after: the same text up to
    // the total time, then the extra word.
    SDL_Surface* a = IMG_Load(shot_a.c_str());
    SDL_Surface* b = IMG_Load(shot_b.c_str());
    ASSERT_NE(nullptr, a);
    ASSERT_NE(nullptr, b);
    ASSERT_GE(a->w, 640);
    ASSERT_GE(b->h, 480);
    int right_a = status_right_edge(a), right_b = status_right_edge(b);
    ASSERT_GT(right_b, 100);
    EXPECT_TRUE(same_status_pixels(a, b, right_b));
    ASSERT_EQ(0, TTF_WasInit() ? 0 : TTF_Init());
    TTF_Font* face = TTF_OpenFont(d.file("tahoma.ttf").c_str(), 18);
    ASSERT_NE(nullptr, face);
    int word = 0, h = 0;
    TTF_SizeText(face, "modified", &word, &h);
    TTF_CloseFont(face);
    EXPECT_GE(right_a - right_b, word - 4);
    EXPECT_LE(right_a - right_b, word + 16);
    SDL_FreeSurface(a);
    SDL_FreeSurface(b);
}

TEST(FramewrightE2E, WithoutAnArgumentItEditsTheDefaultMoveAndLeavingDiscardsChanges) {
    scratch_dir d;
    copy_game_folder(d.path);
    const std::string rel = "game/fighter/tamsin/tamsin_jump_punch.ini";
    if (!file_exists(d.file(rel))) { // the game's own file, or one of ours in its place
        make_dirs(d.file("game/fighter/tamsin"));
        write_animation(d, rel, width_pictures(d, 3), {4, 8, 6});
    }
    std::string original = read_text(d.file(rel));

    running_program p;
    start_program(p, "framewright", {}, d.path, {"SDL_AUDIODRIVER=dummy"});
    ASSERT_TRUE(p.wait_for("Done loading animation from [" + rel + "]\n", 30000)) << p.out() << p.err();
    std::string window = shell("xdotool search --sync --name 'tamsin_jump_punch' | head -1");
    ASSERT_FALSE(window.empty());
    EXPECT_EQ(rel, shell("xdotool getwindowname " + window));
    hold(window, "Up");
    hold(window, "space");
    hold(window, "Escape", 0.2);
    const run_result& r = p.finish(20000);
    EXPECT_EQ(0, r.exit_code) << r.err;
    EXPECT_EQ(std::string::npos, r.out.find("Saved anim_mgr"));
    EXPECT_EQ(original, read_text(d.file(rel)));
}

} // namespace
