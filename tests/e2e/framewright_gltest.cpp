// framewright as a user drives it: the real program under the X display, keys pressed with
// xdotool, at a person's speed: every press acts once, a held arrow repeats after a delay.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>
#include <SDL_ttf.h>
#include <algorithm>
#include <cstdio>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

#include "../animation/anim_files.h"
#include "foundation/video_mgr.h"
#include "world/level.h"
#include "world/mon_mgr.h"

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

    EXPECT_EQ(0, system(("xdotool mousemove --window " + window + " 100 100 sleep 0.3").c_str())); // focus
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
    EXPECT_EQ(0, system(("xdotool mousemove --window " + window + " 100 100 sleep 0.3").c_str())); // focus
    hold(window, "Up");
    hold(window, "space");
    hold(window, "Escape", 0.2); // unsaved changes: the editor asks
    hold(window, "Escape", 0.2); // and the second Escape leaves without saving
    const run_result& r = p.finish(20000);
    EXPECT_EQ(0, r.exit_code) << r.err;
    EXPECT_EQ(std::string::npos, r.out.find("Saved anim_mgr"));
    EXPECT_EQ(original, read_text(d.file(rel)));
}

// A screenshot of the editor's window, freed with the object.
struct window_shot {
    SDL_Surface* s = nullptr;
    window_shot(const scratch_dir& d, const std::string& window, const std::string& name) {
        std::string file = d.file(name);
        EXPECT_EQ(0, system(("timeout 10 import -window " + window + " " + file).c_str()));
        s = IMG_Load(file.c_str());
        EXPECT_NE(nullptr, s);
    }
    ~window_shot() {
        if (s) SDL_FreeSurface(s);
    }
    bool same_status(const window_shot& o) const { return s && o.s && same_status_pixels(s, o.s, 639); }
};

// Taps of 40 to 80 ms, 40 ms apart, with the mouse moving in the window before each.
void taps(const std::string& window, const std::string& key, int count) {
    std::string cmd = "xdotool";
    for (int i = 0; i < count; i++) {
        char step[200];
        snprintf(step, sizeof step, " mousemove --window %s %d %d keydown %s sleep %.3f keyup %s sleep 0.04",
                 window.c_str(), 100 + 9 * i, 100 + 4 * i, key.c_str(), (40 + 10 * (i % 5)) / 1000.0, key.c_str());
        cmd += step;
    }
    EXPECT_EQ(0, system((cmd + " sleep 0.3").c_str()));
}

// Frames long enough (300 ticks, 5 s) that a second or two of playing stays on frame 0, so
// the status line only changes with play[0] / play[1].
TEST(FramewrightE2E, EveryTapActsOnceHeldUpRepeatsAndEscapeAsksBeforeDiscarding) {
    scratch_dir d;
    copy_game_folder(d.path);
    std::string path = write_animation(d, "long.ini", width_pictures(d, 3), {300, 300, 300});
    running_program p;
    start_program(p, "framewright", {path}, d.path, {"SDL_AUDIODRIVER=dummy"});
    ASSERT_TRUE(p.wait_for("Done loading animation from [" + path + "]\n", 30000)) << p.out() << p.err();
    std::string window = shell("xdotool search --sync --name 'long\\.ini' | head -1");
    ASSERT_FALSE(window.empty());
    // The keyboard follows the pointer: move it in and let the focus settle first.
    EXPECT_EQ(0, system(("xdotool mousemove --window " + window + " 100 100 sleep 0.3").c_str()));

    window_shot held(d, window, "held.png");
    taps(window, "space", 3);
    window_shot playing(d, window, "playing.png");
    EXPECT_FALSE(held.same_status(playing)) << "three taps: playing";
    taps(window, "space", 1);
    window_shot one(d, window, "one.png");
    EXPECT_TRUE(held.same_status(one)) << "a fourth: held again, still on frame 0";
    taps(window, "space", 2);
    window_shot two(d, window, "two.png");
    EXPECT_TRUE(held.same_status(two)) << "two more: played and held";

    taps(window, "Up", 4);
    EXPECT_EQ(0, system(("xdotool mousemove --window " + window +
                         " 120 120 keydown Up sleep 0.71 keyup Up sleep 0.3").c_str()));
    taps(window, "s", 1);
    EXPECT_NE(std::string::npos, read_text(path).find("rate0=308\n"))
        << "four taps and a 710 ms hold (4 steps: at 0, 400, 525, 650 ms)\n" << read_text(path);
    EXPECT_NE(std::string::npos, read_text(path).find("rate1=300\n"));

    taps(window, "Down", 1);
    window_shot modified(d, window, "modified.png");
    taps(window, "Escape", 1);
    window_shot asking(d, window, "asking.png");
    EXPECT_FALSE(modified.same_status(asking)) << "the status line asks";
    usleep(700000);
    siginfo_t info;
    info.si_pid = 0;
    EXPECT_EQ(0, waitid(P_PID, (id_t)p.pid, &info, WEXITED | WNOHANG | WNOWAIT));
    EXPECT_EQ(0, info.si_pid) << "still running after the first Escape";
    taps(window, "Escape", 1);
    const run_result& r = p.finish(20000);
    EXPECT_EQ(0, r.exit_code) << r.err;
    EXPECT_EQ(1, count_occurrences(r.out, "Saved anim_mgr as [" + path + "]"));
    EXPECT_NE(std::string::npos, read_text(path).find("rate0=308\n")) << "the second Escape discarded";
}

// Where fighter file `fighter` (in the game folder `folder`) draws frame 1 of move `move`
// facing each way: the first lit column of a row through the picture, and the left edge of
// the box the hit test compares. As the match plays it: loaded, the move started, one
// display per tick.
struct drawn_at {
    int column[2] = {-1, -1}, box[2] = {0, 0};
};
drawn_at play_second_frame(const std::string& folder, const char* fighter, int move) {
    drawn_at r;
    char here[4096];
    if (!getcwd(here, sizeof here) || chdir(folder.c_str()) != 0) return r;
    level stage;
    stage.width = stage.max_width = 1000;
    current_level = &stage;
    for (int facing = 0; facing < 2; facing++) {
        combatant f;
        f.load(fighter);
        f.x = 140;
        f.y = video.screen->h - f.h;
        f.facing = (uint8_t)facing;
        f.start_move(move, 1);
        f.display(); // frame 0, one tick
        video.clear();
        f.display(); // frame 1
        const int row = f.y + f.h / 2;
        for (int x = 0; x < video.screen->w && r.column[facing] < 0; x++) {
            uint8_t cr, cg, cb;
            read_screen_pixel(x, row, &cr, &cg, &cb);
            if (cr + cg + cb > 60) r.column[facing] = x;
        }
        pixel_box b;
        if (f.hit_box(b)) r.box[facing] = b.x1;
        video.flip();
    }
    current_level = nullptr;
    EXPECT_EQ(0, chdir(here));
    return r;
}

// A copied fighter edited as a modder would: to the kick (move 3), its second frame three
// pixels to the right, a frame duplicated and the duplicate undone, saved. One line more in
// the kick's file and nothing else written; the match then draws that frame, and hits with
// it, three pixels further forward, whichever way the fighter faces.
TEST(FramewrightE2E, AFightersMoveShiftedDuplicatedUndoneAndSavedChangesOneLineAndPlaysShifted) {
    scratch_dir d;
    copy_game_folder(d.path);
    const std::string kick = d.file("game/fighter/tamsin/tamsin_kick.ini");
    const std::string original = read_text(kick);

    running_program p;
    start_program(p, "framewright", {"game/fighter/tamsin_char.ini"}, d.path, {"SDL_AUDIODRIVER=dummy"});
    ASSERT_TRUE(p.wait_for("Fighter [game/fighter/tamsin_char.ini] opened with [19] moves\n", 30000))
        << p.out() << p.err();
    std::string window = shell("xdotool search --sync --name 'tamsin_char\\.ini' | head -1");
    ASSERT_FALSE(window.empty());
    EXPECT_EQ(0, system(("xdotool mousemove --window " + window + " 100 100 sleep 0.3").c_str())); // focus
    for (int i = 0; i < 3; i++) hold(window, "Next");
    ASSERT_TRUE(p.wait_for("Editing move [3] [game/fighter/tamsin/tamsin_kick.ini]\n", 5000)) << p.out();
    hold(window, "Right");
    for (int i = 0; i < 3; i++)
        EXPECT_EQ(0, system(("xdotool mousemove --window " + window +
                             " 100 100 keydown shift keydown Right sleep 0.12 keyup Right keyup shift sleep 0.3").c_str()));
    hold(window, "d");
    hold(window, "z");
    hold(window, "s");
    hold(window, "Escape", 0.2);
    const run_result& r = p.finish(20000);
    EXPECT_EQ(0, r.exit_code) << r.err;
    EXPECT_EQ(1, count_occurrences(r.out, "Saved anim_mgr as [")) << "only the kick's file is written";

    std::vector<std::string> expected = lines_of(original);
    auto wait = std::find(expected.begin(), expected.end(), "rate1=4");
    ASSERT_NE(expected.end(), wait) << original;
    expected.insert(wait + 1, "xoffset1=3");
    EXPECT_EQ(expected, lines_of(read_text(kick)));
    EXPECT_EQ('\n', read_text(kick).back());

    ASSERT_TRUE(open_test_screen(true));
    const drawn_at shifted = play_second_frame(d.path, "game/fighter/tamsin_char.ini", 3);
    write_text(kick, original);
    const drawn_at plain = play_second_frame(d.path, "game/fighter/tamsin_char.ini", 3);
    ASSERT_GE(plain.column[0], 0);
    ASSERT_GE(plain.column[1], 0);
    EXPECT_EQ(plain.column[0] + 3, shifted.column[0]) << "facing left: drawn three pixels right";
    EXPECT_EQ(plain.column[1] - 3, shifted.column[1]) << "facing right: mirrored, three pixels left";
    EXPECT_EQ(plain.box[0] + 3, shifted.box[0]);
    EXPECT_EQ(plain.box[1] - 3, shifted.box[1]);
}

} // namespace
