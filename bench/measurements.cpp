#include "measurements.h"

#include <SDL.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "char_select.h"
#include "editor.h"
#include "foundation/video_mgr.h"
#include "images/img_mgr.h"
#include "main_menu.h"
#include "list_menu.h"
#include "match.h"
#include "match_save.h"
#include "options_menu.h"
#include "replay.h"
#include "replays_screen.h"
#include "pacing_hook.h"
#include "preload.h"
#include "sample_stats.h"
#include "startup.h"
#include "training.h"
#include "world/level.h"
#include "world/mon_mgr.h"

// ---- samples file ------------------------------------------------------------------------

static const char* mode_name() { return video.is_gl() ? "opengl" : "software"; }

static void append(const bench_args& a, const char* name, const char* mode, const char* unit,
                   const std::vector<double>& values) {
    FILE* f = fopen(a.samples.c_str(), "a");
    if (!f) {
        fprintf(stderr, "bench: cannot write [%s]\n", a.samples.c_str());
        return;
    }
    for (double v : values) fprintf(f, "%s,%s,%s,%.6f\n", name, mode, unit, v);
    fclose(f);
}

static void append_one(const bench_args& a, const char* name, const char* unit, double v) {
    append(a, name, mode_name(), unit, std::vector<double>(1, v));
}

// Resident memory of this process now, in megabytes.
static double resident_mb() {
    long pages = 0, resident = 0;
    FILE* f = fopen("/proc/self/statm", "r");
    if (!f) return 0;
    if (fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    fclose(f);
    return (double)resident * (double)sysconf(_SC_PAGESIZE) / (1024.0 * 1024.0);
}

// Zoom-cache entries and their pixel bytes over every registered picture.
static void zoom_cache_totals(int* entries, double* mb) {
    long bytes = 0;
    int n = 0;
    for (img_mgr* im : Image_Manager.Objects) {
        for (const zcache_entry* e : im->zcache.entries) {
            n++;
            if (e->surface) bytes += (long)e->surface->pitch * e->surface->h;
        }
    }
    *entries = n;
    *mb = (double)bytes / (1024.0 * 1024.0);
}

// Processor time of the whole process so far (all its threads), seconds.
static double cpu_seconds() {
    rusage u;
    getrusage(RUSAGE_SELF, &u);
    return (double)(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           (double)(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

// ---- the full-screen picture ---------------------------------------------------------------

static const char* const PICTURE_FRAME = "one full-screen picture frame";
enum { PICTURE_WARM_UP = 50, PICTURE_AFTER_SCREEN = 300 };

// Frames that clear the screen, draw one opaque picture covering it and present it: what
// drawing one screenful of pixels costs in this mode, the floor under the menus and the
// match, whose backgrounds cover the screen.
static std::vector<double> picture_frames(int frames) {
    img_mgr* picture = Image_Manager.get("rsrc/ML_group_redo_rough_640x480.png");
    std::vector<double> cost;
    for (int i = 0; i < PICTURE_WARM_UP + frames; i++) {
        double t0 = now_seconds();
        video.clear();
        picture->draw_at(0, 0);
        video.flip();
        double t1 = now_seconds();
        if (i >= PICTURE_WARM_UP) cost.push_back((t1 - t0) * 1000.0);
    }
    return cost;
}

// After a screen's frames, more picture frames in the same process: the machine is shared,
// so the floor is sampled beside every screen and the ratios compare like with like.
static void append_picture_frames(const bench_args& a) {
    append(a, PICTURE_FRAME, mode_name(), "ms", picture_frames(PICTURE_AFTER_SCREEN));
}

// ---- the game up to its first screen -------------------------------------------------------

static game_resources resources;

// Start-up and preload as the game does them; the random numbers are seeded so that every
// run plays the same match.
static bool start_game() {
    game_settings s;
    if (!game_startup(s)) {
        fprintf(stderr, "bench: no video mode\n");
        return false;
    }
    preload(resources);
    srand(1);
    return true;
}

static void push_quit() {
    SDL_Event e;
    e.type = SDL_QUIT;
    SDL_PushEvent(&e);
}

// ---- match ---------------------------------------------------------------------------------

enum { DEFAULT_MATCH_FRAMES = 10500, EARLY_FIRST = 100, LATE_FIRST = 10000, WINDOW = 500 };

// What the next round starts with once the match would be over: the same fighters, whole
// again, with no round wins, so one match goes on for as long as the bench needs.
static void restart_rounds() {
    for (int i = 0; i < 2 && i < Combatant_Manager.count(); i++) {
        combatant* f = Combatant_Manager.Objects[(size_t)i];
        f->round_wins = 0;
        f->hits_in_row = 0;
        f->stance = 0;
        f->action = 0;
        f->hp = f->max_hp;
    }
}

int bench_match(const bench_args& a) {
    if (!start_game()) return 1;
    match_resources m = match_resources_of(resources);
    m.pacer = nullptr; // pacing off
    match_set_up(MODE_DEMO, 1, 0, m);
    current_match.end = MATCH_RUNNING;
    current_match.ko_counter = 0;

    const int frames = a.frames > 0 ? a.frames : DEFAULT_MATCH_FRAMES;
    std::vector<double> cost((size_t)frames + 1, 0.0), work((size_t)frames + 1, 0.0);
    int rounds = 0, matches = 0;
    double rss_early = 0, rss_late = 0;
    while (current_match.frames < frames) {
        double c0 = cpu_seconds(), t0 = now_seconds();
        match_frame();
        double t1 = now_seconds(), c1 = cpu_seconds();
        int f = current_match.frames;
        if (f >= 1 && f <= frames) {
            cost[(size_t)f] = (t1 - t0) * 1000.0;
            work[(size_t)f] = (c1 - c0) * 1000.0;
        }
        if (f == EARLY_FIRST) rss_early = resident_mb();
        if (f == LATE_FIRST) rss_late = resident_mb();
        if (f % 1000 == 0) {
            int n;
            double mb;
            zoom_cache_totals(&n, &mb);
            fprintf(stderr, "bench: frame %d resident %.1f MB, zoom caches %d entries %.1f MB, zoom %.3f\n",
                    f, resident_mb(), n, mb, current_level ? current_level->zoom : 0.0);
        }
        if (current_match.end == MATCH_ABANDONED) break;
        if (current_match.end != MATCH_RUNNING) {
            rounds++;
            if (match_round_over(MODE_DEMO, 3)) {
                matches++;
                restart_rounds();
            }
            current_match.end = MATCH_RUNNING;
            current_match.ko_counter = 0;
        }
    }
    int reached = current_match.frames;
    std::vector<double> all, early, late, early_work, late_work;
    for (int f = EARLY_FIRST; f <= reached && f <= frames; f++) all.push_back(cost[(size_t)f]);
    for (int f = EARLY_FIRST; f < EARLY_FIRST + WINDOW && f <= reached; f++) {
        early.push_back(cost[(size_t)f]);
        early_work.push_back(work[(size_t)f]);
    }
    for (int f = LATE_FIRST; f < LATE_FIRST + WINDOW && f <= reached; f++) {
        late.push_back(cost[(size_t)f]);
        late_work.push_back(work[(size_t)f]);
    }
    append(a, "match frame", mode_name(), "ms", all);
    append(a, "match frames 100-599", mode_name(), "ms", early);
    append(a, "match frames 10000-10499", mode_name(), "ms", late);
    // Processor time of all the process's threads (OpenGL draws on two): the work a frame
    // takes, which other programs on the machine do not stretch as they stretch the wall time.
    append(a, "match frames 100-599 (processor)", mode_name(), "ms", early_work);
    append(a, "match frames 10000-10499 (processor)", mode_name(), "ms", late_work);
    if (rss_early > 0) append_one(a, "resident memory at frame 100", "MB", rss_early);
    if (rss_late > 0) append_one(a, "resident memory at frame 10000", "MB", rss_late);
    const combatant* fa = Combatant_Manager.count() > 1 ? Combatant_Manager.Objects[0] : nullptr;
    const combatant* fb = Combatant_Manager.count() > 1 ? Combatant_Manager.Objects[1] : nullptr;
    fprintf(stderr, "bench: %s match: %d frames, %d rounds, %d matches won; hp %d and %d, x %d and %d\n",
            mode_name(), reached, rounds, matches, fa ? fa->hp : 0, fb ? fb->hp : 0, fa ? fa->x : 0,
            fb ? fb->x : 0);
    match_tear_down();
    append_picture_frames(a);
    return 0;
}

// ---- training ------------------------------------------------------------------------------

enum { DEFAULT_TRAINING_FRAMES = 3000, TRAINING_WARM_UP = 100 };

// A training match with every overlay on (inputs, panels, frame data, hit boxes, help line)
// and the dummy on the computer, so strings, specials and hits fill the panels; pacing off.
int bench_training(const bench_args& a) {
    if (!start_game()) return 1;
    match_resources m = match_resources_of(resources);
    m.pacer = nullptr; // pacing off
    match_set_up(MODE_TRAINING, 1, 0, m);
    training.behaviour = DUMMY_COMPUTER;
    training.overlays = true;
    training.help = true;
    current_match.end = MATCH_RUNNING;
    const int frames = a.frames > 0 ? a.frames : DEFAULT_TRAINING_FRAMES;
    std::vector<double> cost, work;
    for (int i = 0; i < TRAINING_WARM_UP + frames && current_match.end == MATCH_RUNNING; i++) {
        double c0 = cpu_seconds(), t0 = now_seconds();
        match_frame();
        double t1 = now_seconds(), c1 = cpu_seconds();
        if (i < TRAINING_WARM_UP) continue;
        cost.push_back((t1 - t0) * 1000.0);
        work.push_back((c1 - c0) * 1000.0);
    }
    append(a, "training match frame (every overlay on)", mode_name(), "ms", cost);
    append(a, "training match frame (processor)", mode_name(), "ms", work);
    fprintf(stderr, "bench: %s training: %d frames, best string %d hits\n", mode_name(),
            (int)cost.size(), training.best_hits[0]);
    match_tear_down();
    append_picture_frames(a);
    return 0;
}

// ---- rollback ------------------------------------------------------------------------------

enum { DEFAULT_ROLLBACK_FRAMES = 3000, ROLLBACK_DEPTH = 8 };

// The pieces of a rollback on fightdemo's match, recorded as the game records every match:
// one step without drawing, one save, one restore, and a whole rollback (restore the frame
// eight frames back, step seven frames quietly and the eighth with its pictures, draw it).
int bench_rollback(const bench_args& a) {
    if (!start_game()) return 1;
    match_resources m = match_resources_of(resources);
    m.pacer = nullptr;
    replay_begin(MODE_DEMO, 1, 0, 0);
    match_set_up(MODE_DEMO, 1, 0, m);
    const int frames = a.frames > 0 ? a.frames : DEFAULT_ROLLBACK_FRAMES;
    std::vector<double> step, save, restore, both, rollback;
    match_snapshot ring[ROLLBACK_DEPTH + 1];
    for (int f = 0; f < frames && current_match.end != MATCH_ABANDONED; f++) {
        if (current_match.end != MATCH_RUNNING) {
            if (match_round_over(MODE_DEMO, 3)) restart_rounds();
            current_match.end = MATCH_RUNNING;
            current_match.ko_counter = 0;
        }
        match_snapshot& slot = ring[f % (ROLLBACK_DEPTH + 1)];
        double t0 = now_seconds();
        match_save(slot);
        save.push_back((now_seconds() - t0) * 1000.0);
        replay_frame_begin();
        t0 = now_seconds();
        match_step(true);
        step.push_back((now_seconds() - t0) * 1000.0);
        replay_frame_end();
        if (f < ROLLBACK_DEPTH) continue;
        // The eight frames again, from before the first of them: they end where the straight
        // run is.
        const match_snapshot& back = ring[(f - ROLLBACK_DEPTH + 1) % (ROLLBACK_DEPTH + 1)];
        t0 = now_seconds();
        match_restore(back);
        const double r = (now_seconds() - t0) * 1000.0;
        restore.push_back(r);
        both.push_back(save.back() + r);
        t0 = now_seconds();
        for (int k = 0; k < ROLLBACK_DEPTH; k++) {
            replay_frame_begin();
            match_step(k < ROLLBACK_DEPTH - 1);
            replay_frame_end();
        }
        video.clear();
        match_draw();
        rollback.push_back(r + (now_seconds() - t0) * 1000.0);
        // Presented, untimed, as the game presents every frame it draws: in OpenGL mode an
        // unpresented frame would hold the next frame's drawing back until it is rasterised.
        video.flip();
    }
    append(a, "match step without drawing", mode_name(), "ms", step);
    append(a, "match save", mode_name(), "ms", save);
    append(a, "match restore", mode_name(), "ms", restore);
    append(a, "match save and restore", mode_name(), "ms", both);
    append(a, "rollback of 8 frames with its draw", mode_name(), "ms", rollback);
    replay_end(MATCH_ABANDONED);
    match_tear_down();
    return 0;
}

// ---- a session of matches ------------------------------------------------------------------

enum { SESSION_MATCHES = 20, DEFAULT_SESSION_FRAMES = 600 };

// 20 matches one after the other, each set up, played for a number of frames and torn down
// as the game does; the fighters go through every pairing, mirror matches included.
int bench_session(const bench_args& a) {
    if (!start_game()) return 1;
    match_resources m = match_resources_of(resources);
    m.pacer = nullptr; // pacing off
    const int frames = a.frames > 0 ? a.frames : DEFAULT_SESSION_FRAMES;
    const int picks[4][2] = {{1, 0}, {0, 0}, {0, 1}, {1, 1}};
    double after_second = 0, after_last = 0;
    for (int i = 0; i < SESSION_MATCHES; i++) {
        match_set_up(MODE_DEMO, picks[i % 4][0], picks[i % 4][1], m);
        current_match.end = MATCH_RUNNING;
        while (current_match.frames < frames && current_match.end == MATCH_RUNNING) match_frame();
        match_tear_down();
        double rss = resident_mb();
        fprintf(stderr, "bench: %s session: match %d resident %.1f MB\n", mode_name(), i + 1, rss);
        if (i == 1) after_second = rss;
        after_last = rss;
    }
    append_one(a, "resident memory after match 2 of 20", "MB", after_second);
    append_one(a, "resident memory after match 20 of 20", "MB", after_last);
    append_one(a, "memory growth, matches 2 to 20", "MB", after_last - after_second);
    return 0;
}

// ---- an empty frame ---------------------------------------------------------------------------

enum { DEFAULT_EMPTY_FRAMES = 2000 };

// Clear and present only, then with one full-screen picture: the floor under every
// screen's frame in this drawing mode.
int bench_empty(const bench_args& a) {
    game_settings s;
    if (!game_startup(s)) {
        fprintf(stderr, "bench: no video mode\n");
        return 1;
    }
    const int frames = a.frames > 0 ? a.frames : DEFAULT_EMPTY_FRAMES;
    std::vector<double> cost;
    for (int i = 0; i < 50 + frames; i++) {
        double t0 = now_seconds();
        video.clear();
        video.flip();
        double t1 = now_seconds();
        if (i >= 50) cost.push_back((t1 - t0) * 1000.0);
    }
    append(a, "empty frame (clear and present)", mode_name(), "ms", cost);

    append(a, PICTURE_FRAME, mode_name(), "ms", picture_frames(frames));
    return 0;
}

// ---- menus ---------------------------------------------------------------------------------

enum { DEFAULT_MENU_FRAMES = 2000, MENU_SKIP = 36 }; // the opening or build-up is 32 frames

static int menu_frames = DEFAULT_MENU_FRAMES;

// Asks the screen to close once enough frames are stamped; a menu takes one event on its
// sampling frames only, so the request is repeated until it is seen.
static void quit_after_frames(int waits) {
    if (waits > MENU_SKIP + menu_frames && waits % 4 == 0) push_quit();
}

enum menu_screen_kind { SCREEN_MAIN, SCREEN_SELECT, SCREEN_OPTIONS, SCREEN_LIST, SCREEN_REPLAYS };

// The game options list, the longest of the options' sub-screens.
static void game_options_list() {
    char rows[GAME_OPTION_COUNT + 2][LIST_ROW_TEXT];
    int count = build_game_option_rows(rows, resources.game_option_labels, GAME_OPTION_COUNT, game_opts);
    list_menu(rows, count, resources.menu_list, resources.menu_background, resources.list_font,
              resources.front_rate);
}

static int time_menu_screen(const bench_args& a, const char* name, menu_screen_kind kind) {
    if (!start_game()) return 1;
    menu_frames = a.frames > 0 ? a.frames : DEFAULT_MENU_FRAMES;
    pacing.clear();
    pacing.on_wait = quit_after_frames;
    // The main menu's level is gone before any other screen starts.
    if (kind != SCREEN_MAIN) {
        delete current_level;
        current_level = nullptr;
    }
    switch (kind) {
    case SCREEN_SELECT: char_select(resources, resources.front_rate); break;
    case SCREEN_OPTIONS: options_menu(resources); break;
    case SCREEN_LIST: game_options_list(); break;
    case SCREEN_REPLAYS: replays_screen(resources); break;
    default:
        current_level = new level();
        main_menu(resources);
        delete current_level;
        current_level = nullptr;
    }
    pacing.on_wait = nullptr;
    append(a, name, mode_name(), "ms", pacing.intervals_ms(MENU_SKIP, MENU_SKIP + menu_frames));
    append_picture_frames(a);
    return 0;
}

int bench_menu(const bench_args& a) { return time_menu_screen(a, "main-menu frame", SCREEN_MAIN); }
int bench_select(const bench_args& a) { return time_menu_screen(a, "character-select frame", SCREEN_SELECT); }
int bench_options(const bench_args& a) { return time_menu_screen(a, "options-menu frame", SCREEN_OPTIONS); }
int bench_list(const bench_args& a) {
    return time_menu_screen(a, "list-menu frame (game options)", SCREEN_LIST);
}
// The replays screen over the recordings in the folder's game/replays/.
int bench_replays(const bench_args& a) { return time_menu_screen(a, "replays-screen frame", SCREEN_REPLAYS); }

// ---- editor --------------------------------------------------------------------------------

enum { DEFAULT_EDITOR_FRAMES = 3000, EDITOR_WARM_UP = 50 };

int bench_editor(const bench_args& a) {
    editor e;
    e.fps = 60;
    if (!editor_open_window()) {
        fprintf(stderr, "bench: no video mode\n");
        return 1;
    }
    editor_start(e, a.file.c_str());
    e.delay_ms = 0; // pacing off
    e.play = 1;     // step through all frames, ghosts on
    const int frames = a.frames > 0 ? a.frames : DEFAULT_EDITOR_FRAMES;
    std::vector<double> cost;
    for (int i = 0; i < EDITOR_WARM_UP + frames && !e.quit; i++) {
        double t0 = now_seconds();
        editor_pass(e);
        double t1 = now_seconds();
        if (i >= EDITOR_WARM_UP) cost.push_back((t1 - t0) * 1000.0);
    }
    append(a, "editor frame (10 frames with ghosts)", mode_name(), "ms", cost);
    append_picture_frames(a);
    editor_stop(e);
    return 0;
}

// ---- preload and set-up ----------------------------------------------------------------------

enum { FADE_IN_FRAMES = 64, FADE_OUT_FRAMES = 32 };

int bench_load(const bench_args& a) {
    game_settings s;
    if (!game_startup(s)) {
        fprintf(stderr, "bench: no video mode\n");
        return 1;
    }
    pacing.clear();
    double rss_started = resident_mb();
    double t0 = now_seconds();
    preload(resources);
    double t1 = now_seconds();
    double rss_preloaded = resident_mb();

    // The fades are fixed in length (96 frames at the front-end rate). Their cost is taken
    // out: the stamped spans of each fade plus, for the first frame of each (which starts
    // unstamped), the median fade frame.
    double fades = 0;
    if (pacing.waits() == FADE_IN_FRAMES + FADE_OUT_FRAMES) {
        const std::vector<double>& st = pacing.stamps;
        std::vector<double> in = pacing.intervals_ms(0, FADE_IN_FRAMES - 1);
        std::vector<double> out = pacing.intervals_ms(FADE_IN_FRAMES, FADE_IN_FRAMES + FADE_OUT_FRAMES - 1);
        std::vector<double> both = in;
        both.insert(both.end(), out.begin(), out.end());
        double frame = summarise(both).median / 1000.0;
        fades = (st[FADE_IN_FRAMES - 1] - st[0]) + (st[FADE_IN_FRAMES + FADE_OUT_FRAMES - 1] - st[FADE_IN_FRAMES]) + 2 * frame;
    } else {
        fprintf(stderr, "bench: the preload waited %d times, not %d\n", pacing.waits(),
                FADE_IN_FRAMES + FADE_OUT_FRAMES);
    }
    append_one(a, "preload without fades", "ms", (t1 - t0 - fades) * 1000.0);

    srand(1);
    match_resources m = match_resources_of(resources);
    m.pacer = nullptr;
    double c2 = cpu_seconds(), t2 = now_seconds();
    match_set_up(MODE_DEMO, 1, 0, m);
    double t3 = now_seconds(), c3 = cpu_seconds();
    fprintf(stderr, "bench: set-up took %.1f ms, %.1f ms of processor time\n", (t3 - t2) * 1000.0,
            (c3 - c2) * 1000.0);
    append_one(a, "match set-up", "ms", (t3 - t2) * 1000.0);
    fprintf(stderr, "bench: resident after start-up %.1f MB, preload %.1f MB, set-up %.1f MB\n",
            rss_started, rss_preloaded, resident_mb());
    match_tear_down();
    return 0;
}

// ---- memory ----------------------------------------------------------------------------------

enum { DEFAULT_MATCH_SECONDS = 60, CLOSE_GRACE_S = 20 };

// Runs the program in the current folder with stdout and stderr into <program>.log and the
// no-pacing library (NO_PACING_LIBRARY) preloaded, and reports its peak resident memory.
// A match that is not over after BENCH_MATCH_SECONDS is ended the way closing the window
// ends it (SDL turns SIGTERM into its quit event), so the program still shuts down normally.
int bench_memory(const bench_args& a) {
    const char* shim = getenv("NO_PACING_LIBRARY");
    const char* mode = getenv("BENCH_MODE") ? getenv("BENCH_MODE") : "software";
    int limit = getenv("BENCH_MATCH_SECONDS") ? atoi(getenv("BENCH_MATCH_SECONDS")) : 0;
    if (limit <= 0) limit = DEFAULT_MATCH_SECONDS;
    std::string program = a.file;
    std::string log = program.substr(program.find_last_of('/') + 1) + ".log";
    double t0 = now_seconds();
    pid_t pid = fork();
    if (pid == 0) {
        if (shim) setenv("LD_PRELOAD", shim, 1);
        FILE* out = freopen(log.c_str(), "w", stdout);
        if (out) dup2(fileno(stdout), 2);
        execl(program.c_str(), program.c_str(), (char*)nullptr);
        _exit(127);
    }
    if (pid < 0) return 1;
    int status = 0;
    rusage use = {};
    bool closed = false;
    for (;;) {
        pid_t r = wait4(pid, &status, WNOHANG, &use);
        if (r == pid) break;
        double t = now_seconds() - t0;
        if (!closed && t > limit) {
            kill(pid, SIGTERM);
            closed = true;
        }
        if (t > limit + CLOSE_GRACE_S) {
            kill(pid, SIGKILL);
            wait4(pid, &status, 0, &use);
            fprintf(stderr, "bench: %s did not shut down after the quit event\n", program.c_str());
            return 1;
        }
        usleep(50000);
    }
    double seconds = now_seconds() - t0;
    bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    fprintf(stderr, "bench: %s (%s) ran %.1f s, %s, exit %s\n", program.c_str(), mode, seconds,
            closed ? "match ended by the quit event" : "match played to its end",
            ok ? "0" : "abnormal");
    if (!ok) return 1;
    // A program that could not open its window also exits with 0: the log tells.
    bool played = false;
    if (FILE* f = fopen(log.c_str(), "r")) {
        char line[512];
        while (!played && fgets(line, sizeof line, f)) played = strstr(line, "Clearing Gameobjects") != nullptr;
        fclose(f);
    }
    if (!played) {
        fprintf(stderr, "bench: %s never finished a match (see %s)\n", program.c_str(), log.c_str());
        return 1;
    }
    append(a, "peak memory over a match", mode, "MB",
           std::vector<double>(1, (double)use.ru_maxrss / 1024.0));
    append(a, closed ? "match run without pacing (cut)" : "whole match run without pacing", mode, "s",
           std::vector<double>(1, seconds));
    return 0;
}
