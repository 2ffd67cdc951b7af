// Drives the real fightgame as a player would, under an X display: a scratch copy of the
// game folder, key presses through xdotool (the keyboard follows the pointer, so the pointer
// is moved into the window once, wherever the server put it), and screenshots of the window read back as pixels to see
// what the program shows (which menu row is highlighted, which fighter is offered).
#pragma once
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "test_support.h"

namespace game_driver {

inline void sleep_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Where the X server shows the window titled title (the game's by default): classic SDL 1.2
// opens it at the top-left of the screen, SDL 2 under sdl12-compat centres it, so tests ask
// the server instead of assuming either. False when no such window is mapped.
struct window_box {
    int x = 0, y = 0, w = 0, h = 0;
};
inline bool find_window(window_box& box, const char* title = "Marrowlark") {
    std::string cmd = std::string("xwininfo -name '") + title + "' 2>/dev/null";
    FILE* f = popen(cmd.c_str(), "r");
    if (!f) return false;
    char line[256];
    int found = 0;
    while (fgets(line, sizeof line, f)) {
        found += sscanf(line, " Absolute upper-left X: %d", &box.x) == 1;
        found += sscanf(line, " Absolute upper-left Y: %d", &box.y) == 1;
        found += sscanf(line, " Width: %d", &box.w) == 1;
        found += sscanf(line, " Height: %d", &box.h) == 1;
    }
    return pclose(f) == 0 && found == 4;
}

// Closes the window titled title as a window manager's close button does: the
// WM_DELETE_WINDOW message of its WM_PROTOCOLS, which SDL turns into its quit event. False
// when no such window was found.
inline bool close_window(const char* title = "Marrowlark") {
    std::string cmd = std::string("xdotool search --name '^") + title + "$' 2>/dev/null";
    FILE* f = popen(cmd.c_str(), "r");
    if (!f) return false;
    unsigned long id = 0;
    bool found = fscanf(f, "%lu", &id) == 1;
    pclose(f);
    return found && send_window_close(id);
}

// Moves the pointer to the middle of the game's window (the keyboard follows the pointer
// under a server without a window manager).
inline void point_at_window() {
    window_box box;
    EXPECT_TRUE(find_window(box));
    std::string cmd = "xdotool mousemove " + std::to_string(box.x + box.w / 2) + " " +
                      std::to_string(box.y + box.h / 2);
    EXPECT_EQ(system(cmd.c_str()), 0);
}

// One screenshot of the game's window.
struct screen_shot {
    SDL_Surface* s = nullptr;
    screen_shot() = default;
    screen_shot(const screen_shot&) = delete;
    screen_shot& operator=(const screen_shot&) = delete;
    ~screen_shot() {
        if (s) SDL_FreeSurface(s);
    }
    void rgb(int x, int y, uint8_t* r, uint8_t* g, uint8_t* b) const {
        *r = *g = *b = 0;
        if (!s || x < 0 || y < 0 || x >= s->w || y >= s->h) return;
        uint8_t* p = (uint8_t*)s->pixels + y * s->pitch + x * s->format->BytesPerPixel;
        uint32_t v = 0;
        memcpy(&v, p, s->format->BytesPerPixel);
        SDL_GetRGB(v, s->format, r, g, b);
    }
    // Near-white: menu text.
    bool white(int x, int y) const {
        uint8_t r, g, b;
        rgb(x, y, &r, &g, &b);
        return r > 215 && g > 215 && b > 215;
    }
};

// Takes a screenshot of the area box of the screen (a window's); keeps a PNG copy at save_as
// when given.
inline void take_shot(screen_shot& shot, const window_box& box, const std::string& scratch,
                      const std::string& save_as = "") {
    if (shot.s) SDL_FreeSurface(shot.s);
    shot.s = grab_screen_area(box.x, box.y, box.w, box.h);
    EXPECT_NE(shot.s, nullptr) << "no screenshot of the window";
    if (shot.s && !save_as.empty()) {
        std::string bmp = scratch + "/shot.bmp", dir = std::string(FIGHT_BIN_DIR) + "/screenshots";
        make_dirs(dir);
        EXPECT_EQ(SDL_SaveBMP(shot.s, bmp.c_str()), 0);
        std::string cmd = "convert " + bmp + " " + dir + "/" + save_as;
        EXPECT_EQ(system(cmd.c_str()), 0);
    }
}

// Takes a screenshot of the game's window; keeps a PNG copy at save_as when given.
inline void take_shot(screen_shot& shot, const std::string& scratch, const std::string& save_as = "") {
    window_box box;
    EXPECT_TRUE(find_window(box));
    take_shot(shot, box, scratch, save_as);
}

// Holds a key (an X key name such as Down, Return, Escape, space, x) for hold_ms; one
// xdotool run, so the hold is not stretched by starting a second process.
inline void press(const char* key, int hold_ms = 30) {
    char cmd[160];
    snprintf(cmd, sizeof cmd, "xdotool keydown %s sleep %.3f keyup %s", key, hold_ms / 1000.0, key);
    EXPECT_EQ(system(cmd), 0);
}

// The main menu's nine rows at 640 x 480: row i's top, and the rows' spacing.
enum { MAIN_ROWS = 9, MAIN_ROW_TOP = 168, MAIN_ROW_STEP = 30 };

// The main-menu row drawn in its highlighted form (32 pixels further left, "*%s*"), or -1.
inline int highlighted_item(const screen_shot& shot) {
    int best = -1, best_count = 20;
    for (int i = 0; i < MAIN_ROWS; i++) {
        int count = 0;
        const int top = MAIN_ROW_TOP + MAIN_ROW_STEP * i;
        for (int y = top; y < top + MAIN_ROW_STEP; y++)
            for (int x = 186; x < 214; x++)
                if (shot.white(x, y)) count++;
        if (count > best_count) best = i, best_count = count;
    }
    return best;
}

// Which of the four action shots the character select shows in place (index), by how many
// of a picture's opaque pixels the screen repeats. The pictures are read once, in the
// screenshots' pixel format.
inline int offered_fighter(const screen_shot& shot) {
    static const char* const files[4] = {
        "rsrc/060415_mirelle_02_b.png", "rsrc/060419_tamsin01c.png",
        "rsrc/ondine/ondine_action_shot_ha.png", "rsrc/verity/verity_action_shot.png"};
    static SDL_Surface* pics[4] = {};
    static SDL_PixelFormat pics_format = {};
    if (!shot.s) return -1;
    const SDL_PixelFormat& want = *shot.s->format;
    if (want.BitsPerPixel != pics_format.BitsPerPixel || want.Rmask != pics_format.Rmask ||
        want.Gmask != pics_format.Gmask || want.Bmask != pics_format.Bmask || want.Amask != pics_format.Amask) {
        for (int f = 0; f < 4; f++) {
            if (pics[f]) SDL_FreeSurface(pics[f]);
            pics[f] = nullptr;
            SDL_Surface* pic = IMG_Load((std::string(FIGHT_DATA_DIR) + "/" + files[f]).c_str());
            if (!pic) continue;
            pics[f] = SDL_ConvertSurface(pic, shot.s->format, 0);
            SDL_FreeSurface(pic);
        }
        pics_format = want;
        pics_format.palette = nullptr;
    }
    int best = -1;
    double best_score = 0.5;
    for (int f = 0; f < 4; f++) {
        SDL_Surface* p = pics[f];
        if (!p) continue;
        int x0 = 640 - p->w - 40, y0 = (480 - p->h) / 2, tried = 0, matched = 0;
        for (int y = 0; y < p->h; y += 6)
            for (int x = 0; x < p->w; x += 6) {
                uint8_t r, g, b, sr, sg, sb;
                uint32_t v = 0;
                memcpy(&v, (uint8_t*)p->pixels + y * p->pitch + x * p->format->BytesPerPixel,
                       p->format->BytesPerPixel);
                SDL_GetRGB(v, p->format, &r, &g, &b);
                if (r == 0 && g == 255 && b == 0) continue; // transparent
                tried++;
                shot.rgb(x0 + x, y0 + y, &sr, &sg, &sb);
                if (abs(r - sr) < 24 && abs(g - sg) < 24 && abs(b - sb) < 24) matched++;
            }
        double score = tried ? (double)matched / tried : 0;
        if (score > best_score) best = f, best_score = score;
    }
    return best;
}

// The leftmost column with white in rows y0 to y1 (exclusive), or 640.
inline int leftmost_white(const screen_shot& s, int y0, int y1) {
    for (int x = 0; x < 640; x++)
        for (int y = y0; y < y1; y++)
            if (s.white(x, y)) return x;
    return 640;
}

// Whether the shot shows the main menu itself, its opening over: the opening slides the
// version line in from the right edge to the left one, and the odd rows in from the right,
// so only the menu has that line at the left edge, a row highlighted and its second row
// (odd) on the screen's left half.
inline bool main_menu_shown(const screen_shot& shot) {
    if (!shot.s || highlighted_item(shot) < 0) return false;
    const int version_top = 480 - 44, second_row = MAIN_ROW_TOP + MAIN_ROW_STEP;
    return leftmost_white(shot, version_top, version_top + 14) < 8 &&
           leftmost_white(shot, second_row, second_row + MAIN_ROW_STEP) < 320;
}

// How many pixels are white (text) in one shot and not in the other, counted up to limit.
inline int text_difference(const screen_shot& a, const screen_shot& b, int limit = 640 * 480) {
    int n = 0;
    for (int y = 0; y < 480 && n < limit; y++)
        for (int x = 0; x < 640; x++) n += a.white(x, y) != b.white(x, y);
    return n;
}

// Milliseconds from a to b.
inline long ms_between(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b) {
    return (long)std::chrono::duration_cast<std::chrono::milliseconds>(b - a).count();
}

// Calls done every step_ms until it returns true (then true) or timeout_ms have passed (false);
// done is always called at least once.
template <class F> bool poll_for(int timeout_ms, int step_ms, F done) {
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        if (done()) return true;
        if (ms_between(start, std::chrono::steady_clock::now()) > timeout_ms) return false;
        sleep_ms(step_ms);
    }
}

// fightgame running in a scratch copy of the game folder.
struct game_run {
    scratch_dir dir;
    running_program p;
    screen_shot shot;

    // hwaccel: 1 OpenGL, 0 software surfaces. Waits for the main menu's opening.
    explicit game_run(int hwaccel, const std::string& extra_settings = "") {
        copy_game_folder(dir.path);
        write_text(dir.file("game/game.ini"),
                   "hwaccel=" + std::to_string(hwaccel) + "\n" + extra_settings);
        start_program(p, "fightgame", {}, dir.path, {"SDL_AUDIODRIVER=dummy"});
        EXPECT_TRUE(p.wait_for("MAIN MENU:\n", 60000)) << p.out() << p.err();
        point_at_window();
        // The opening slides the rows in for 32 frames of the front end (sixteen times the
        // match's fps, at most 200 a second); while it plays a sliding row can pass where
        // the highlighted one is looked for.
        wait_main_menu();
    }
    int count(const std::string& line) const { return count_occurrences(p.out(), line); }
    // Waits until line has been printed n times.
    bool wait_count(const std::string& line, int n, int timeout_ms) {
        for (int t = 0; t < timeout_ms; t += 50) {
            if (count(line) >= n) return true;
            sleep_ms(50);
        }
        return false;
    }
    // The game's window is looked up for every look: under sdl12-compat it is moved to the
    // screen's middle some time after it first shows.
    void look(const std::string& save_as = "") { look_into(shot, save_as); }
    void look_into(screen_shot& into, const std::string& save_as = "") {
        window_box box;
        EXPECT_TRUE(find_window(box));
        take_shot(into, box, dir.path, save_as);
    }

    // Looks until the main menu shows, its opening over (shot holds it); false if it does
    // not within timeout_ms (a loaded machine can take seconds for the opening at 16 frames
    // a second).
    bool wait_main_menu(int timeout_ms = 15000) {
        return poll_for(timeout_ms, 20, [&] { look(); return main_menu_shown(shot); });
    }
    // Looks until the main menu highlights another row than before; the one it highlights
    // then, or before if none other shows within timeout_ms.
    int highlight_after(int before, int timeout_ms = 1000) {
        int now = before;
        poll_for(timeout_ms, 10, [&] {
            look();
            now = highlighted_item(shot);
            return now != before && main_menu_shown(shot);
        });
        return main_menu_shown(shot) ? now : before;
    }

    // Looks until the screen's text differs from the last look's (a key's effect drawn,
    // another screen shown) by more than the few pixels a drifting background can bring
    // over the white threshold; false if it does not within timeout_ms.
    bool wait_change(int timeout_ms = 5000) {
        screen_shot from;
        std::swap(from.s, shot.s);
        if (!from.s) look_into(from);
        return poll_for(timeout_ms, 20, [&] { look(); return text_difference(from, shot, 21) > 20; });
    }
    // Taps key (30 ms) times times, each once the screen shows the last one's effect: in the
    // list menus every press then counts once, as far apart as the machine needs.
    void tap_seen(const char* key, int times = 1) {
        for (int i = 0; i < times; i++) {
            look();
            press(key);
            wait_change();
        }
    }

    // Presses Down (or Up) until the main menu highlights item; false if it never does.
    // Each press is looked for until the highlight moves (a loaded machine may show it
    // late), so a slow frame does not take two presses for one.
    bool select_item(int item, const char* key = "Down") {
        std::string seen;
        wait_main_menu();
        int now = highlighted_item(shot);
        for (int tries = 0; tries < 40; tries++) {
            if (now == item) return true;
            seen += std::to_string(now) + " ";
            press(key);
            now = highlight_after(now);
        }
        ADD_FAILURE() << "highlighted rows seen: " << seen;
        return false;
    }
    // Waits until a character select's fade-in offers a fighter (a busy machine is slow to
    // show it); the one offered, or -1 when none shows within 6 s.
    int wait_offered() {
        int now = -1;
        poll_for(6000, 20, [&] { look(); return (now = offered_fighter(shot)) >= 0; });
        return now;
    }
    // Presses key in the character select until the offered fighter changes; returns it.
    int next_fighter(const char* key) {
        look();
        int before = offered_fighter(shot);
        for (int tries = 0; tries < 20; tries++) {
            press(key, 60); // one press, one move
            int now = before;
            if (poll_for(1000, 10, [&] { look(); return (now = offered_fighter(shot)) != before; })) return now;
        }
        return before;
    }
    // Confirms (Return) or cancels (Escape) a character select: holds the key until the
    // screen no longer offers a fighter (the selection is fading out), whatever the frame
    // rate, and lets go long before the next screen reads the keys. False if it never ends.
    bool end_selection(const char* key) {
        EXPECT_EQ(system((std::string("xdotool keydown ") + key).c_str()), 0);
        bool ended = poll_for(8000, 20, [&] { look(); return offered_fighter(shot) < 0; });
        EXPECT_EQ(system((std::string("xdotool keyup ") + key).c_str()), 0);
        return ended;
    }

    // Escape until the program ends; the run's result.
    const run_result& quit() {
        for (int i = 0; i < 20 && count("\nDone\n") == 0; i++) {
            press("Escape", 150);
            wait_count("\nDone\n", 1, 500);
        }
        return p.finish(20000);
    }
};

} // namespace game_driver
