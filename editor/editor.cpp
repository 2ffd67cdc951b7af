#include "editor.h"

#include <SDL.h>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "foundation/config_file.h"
#include "foundation/log.h"
#include "foundation/pacing.h"
#include "foundation/settings.h"
#include "foundation/video_mgr.h"

// a + b held within int range: a file may give any rates.
static int add_clamped(int a, int b) {
    long long v = (long long)a + b;
    return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : (int)v;
}

const char* const default_animation_path = "game/fighter/tamsin/tamsin_jump_punch.ini";

int editor_read_fps(const char* settings_path) {
    config_file settings;
    settings.load(settings_path);
    return settings_fps(settings);
}

bool editor_open_window() {
    video.flags = SDL_HWSURFACE | SDL_OPENGL | SDL_DOUBLEBUF;
    video.set_video_mode(640, 480, 32);
    return video.screen != nullptr;
}

animation* editor_instance(editor& e) {
    if (!e.group || stack_empty(e.group->stack)) return nullptr;
    return (*e.group->stack)[0];
}

// Plays one tick of the group. A non-looping animation empties its stack after its last
// frame; it is rebuilt at once so the editor always has an instance to steer.
static void play_tick(editor& e) {
    e.group->display(0, 0, e.stage);
    if (stack_empty(e.group->stack) && e.def->frame_count() > 0) {
        delete e.group->stack;
        e.group->stack = build_stack(*e.group);
    }
}

void editor_start(editor& e, const char* path) {
    e.stage = new level();
    current_level = e.stage;
    e.path = path ? path : "";
    SDL_WM_SetCaption(e.path.c_str(), e.path.c_str());
    e.delay_ms = e.fps > 0 ? 1000 / e.fps : 0;

    e.def = new anim_mgr();
    e.handle = e.def;
    e.def->load(e.path.c_str());
    e.group = new anim_group();
    e.group->add(e.handle, 0, 0);
    e.text = new font(video.screen);

    play_tick(e);
    if (animation* a = editor_instance(e)) {
        a->remaining = add_clamped(a->remaining, 1);
        a->frame_index = 0;
    }
    e.frame_count = e.def->frame_count();
    video.ortho_2d = 1;
    e.play = 0;
    e.show_all = 1;
    e.saved = 1;
    e.asking = 0;
    e.keys.open();
    for (int key : {(int)SDLK_LEFT, (int)SDLK_RIGHT, (int)SDLK_UP, (int)SDLK_DOWN}) e.keys.repeat(key);
    // A wait below zero means nothing a player could see: it is shown, saved and summed as 0.
    for (size_t i = 0; i < e.def->frames.size(); i++) {
        int& rate = e.def->frames[i].rate;
        if (rate >= 0) continue;
        log_out("WARNING: [%s] line rate%d=%d: a wait below zero is taken as 0\n", e.path.c_str(), (int)i, rate);
        rate = 0;
        e.saved = 0; // S writes the mended file
    }
    e.total_time = 0;
    for (const frame& f : e.def->frames) e.total_time = add_clamped(e.total_time, f.rate);
}

int ghost_alpha(int i, int current, int count) {
    if (count <= 0) return 0;
    int d = abs(i - current);
    return (int)((float)(count - d) / (float)count * 128.0f);
}

void editor_draw_ghosts(editor& e) {
    animation* a = editor_instance(e);
    if (!e.show_all || !a) return;
    for (int i = 0; i < e.frame_count; i++) {
        e.def->alpha = ghost_alpha(i, a->frame_index, e.frame_count);
        draw_frame(e.def, 0, 0, i, e.stage);
    }
    e.def->alpha = 255;
}

// Moves the instance by one frame, wrapping at both ends onto the frame's own rate.
static void step_frame(editor& e, animation* a, int by) {
    e.def->angle = 0;
    a->frame_index += by;
    if (a->frame_index < 0 || a->frame_index >= e.frame_count) {
        a->frame_index = a->frame_index < 0 ? e.frame_count - 1 : 0;
        a->remaining = e.def->frames[(size_t)a->frame_index].rate;
    }
}

// A wait never goes below zero: Down on a wait of 0 changes nothing.
static void change_rate(editor& e, animation* a, int by) {
    int& rate = e.def->frames[(size_t)a->frame_index].rate;
    int next = add_clamped(rate, by);
    if (next < 0) next = 0;
    if (next == rate) return;
    e.total_time = add_clamped(e.total_time, next - rate);
    rate = next;
    e.saved = 0;
}

// L: the animation plays once or over and over; the instance playing it follows at once.
static void toggle_loop(editor& e) {
    e.def->loop = e.def->loop ? 0 : 1;
    if (animation* a = editor_instance(e)) a->loop = e.def->loop;
    e.saved = 0;
}

// The pass's presses in order. Escape quits when nothing is unsaved; otherwise it asks, and
// only an Escape right after the question discards. A failed save stays "modified".
static void read_input(editor& e) {
    if (e.keys.pump()) e.quit = 1;
    animation* a = e.frame_count > 0 ? editor_instance(e) : nullptr;
    if (a && (uint32_t)a->frame_index >= (uint32_t)e.frame_count) a = nullptr;
    for (int key = e.keys.next(); key && !e.quit; key = e.keys.next()) {
        bool asked = e.asking;
        e.asking = 0;
        switch (key) {
        case SDLK_ESCAPE:
            if (e.saved || asked) e.quit = 1;
            else e.asking = 1;
            break;
        case SDLK_SPACE: e.play = e.play ? 0 : 1; break;
        case SDLK_LEFT:
            if (a) step_frame(e, a, -1);
            break;
        case SDLK_RIGHT:
            if (a) step_frame(e, a, 1);
            break;
        case SDLK_UP:
            if (a) change_rate(e, a, 1);
            break;
        case SDLK_DOWN:
            if (a) change_rate(e, a, -1);
            break;
        case SDLK_f: e.show_all = !e.show_all; break;
        case SDLK_l:
            if (e.def) toggle_loop(e);
            break;
        case SDLK_s:
            if (!e.saved) e.saved = e.def->save(e.path.c_str()) ? 1 : 0;
            break;
        default: e.asking = asked; break; // other keys leave the question open
        }
    }
}

std::string editor_status(editor& e) {
    if (e.asking) return "unsaved changes: Escape again to discard, S to save";
    animation* a = editor_instance(e);
    int index = a ? a->frame_index : 0;
    const frame* f = e.def ? e.def->get_frame(index) : nullptr;
    char line[160];
    snprintf(line, sizeof line, "fps[%d] frame[%d] wait[%d] play[%d] ttltime[%d] loop[%d] %s", e.fps,
             index, f ? f->rate : 0, e.play, e.total_time, e.def ? e.def->loop : 0,
             e.saved ? "" : "modified");
    return line;
}

void editor_draw(editor& e) {
    editor_draw_ghosts(e);
    // Held, the tick must not run the frame out: a frame stepped onto with a wait of 0 or 1
    // would otherwise move on at once (Right from the last frame landed on frame 1).
    if (animation* a = editor_instance(e))
        if (!e.play && a->remaining < 2) a->remaining = 2;
    play_tick(e);
    if (animation* a = editor_instance(e)) a->remaining = add_clamped(a->remaining, 1 - e.play);
    if (e.text && video.screen) {
        e.text->pen_x = 0;
        e.text->pen_y = video.screen->h - 2 * e.text->size;
        e.text->draw_text(editor_status(e).c_str());
    }
}

void editor_pass(editor& e) {
    video.clear();
    read_input(e);
    editor_draw(e);
    video.flip();
    // At a low rate the wait is long and input is read only every fifth pass: a closed
    // window ends it, and the editor, at once.
    if (e.delay_ms > 0) pace_delay((Uint32)e.delay_ms);
    if (quit_requested()) e.quit = 1;
    e.loop_count++;
}

void editor_stop(editor& e) {
    delete e.text;
    e.text = nullptr;
    delete e.group;
    e.group = nullptr;
    e.handle.release();
    delete e.def;
    e.def = nullptr;
    if (current_level == e.stage) current_level = nullptr;
    delete e.stage;
    e.stage = nullptr;
}

int editor_main(int argc, char** argv) {
    editor e;
    e.fps = editor_read_fps("game/game.ini");
    if (!editor_open_window()) return 0;
    quit_watch_start();
    editor_start(e, argc > 1 ? argv[1] : default_animation_path);
    while (!e.quit) editor_pass(e);
    editor_stop(e);
    return 0;
}
