#include "editor.h"

#include <SDL.h>
#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "foundation/config_file.h"
#include "foundation/log.h"
#include "foundation/pacing.h"
#include "foundation/safe_file.h"
#include "foundation/settings.h"
#include "foundation/sfx.h"
#include "foundation/video_mgr.h"
#include "world/fighter_file.h"

// a + b held within int range: a file may give any rates.
static int add_clamped(int a, int b) {
    long long v = (long long)a + b;
    return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : (int)v;
}

const char* const default_animation_path = "game/fighter/tamsin/tamsin_jump_punch.ini";

// Where a fighter's frames are drawn: its pictures (360 x 340) in the middle, room on
// every side for offsets, clear of the text lines.
enum { FIGHTER_ORIGIN_X = 140, FIGHTER_ORIGIN_Y = 20 };

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

edit_file* editor_file(editor& e) {
    if (e.move < 0 || (size_t)e.move >= e.moves.size()) return nullptr;
    return e.files[(size_t)e.moves[(size_t)e.move]];
}

animation* editor_instance(editor& e) {
    if (!e.group || stack_empty(e.group->stack)) return nullptr;
    return (*e.group->stack)[0];
}

// ---------------------------------------------------------------------------------------
// Files

static std::string read_file_text(const std::string& path) {
    std::string text;
    read_whole_file(path.c_str(), text);
    return text;
}

static std::string file_name(const std::string& path) {
    std::string n = path.substr(path.find_last_of('/') == std::string::npos ? 0 : path.find_last_of('/') + 1);
    size_t dot = n.rfind('.');
    return dot == std::string::npos || dot == 0 ? n : n.substr(0, dot);
}

static bool any_modified(const editor& e) {
    for (const edit_file* f : e.files)
        if (f->modified()) return true;
    return false;
}

// The shown file's counts, and the instance on `frame` when one is given (>= 0), else
// where it was, held within the frames.
static void follow(editor& e, int frame = -1) {
    e.saved = any_modified(e) ? 0 : 1;
    e.frame_count = e.def ? e.def->frame_count() : 0;
    e.total_time = 0;
    for (int i = 0; i < e.frame_count; i++) e.total_time = add_clamped(e.total_time, e.def->frames[(size_t)i].rate);
    animation* a = editor_instance(e);
    if (!a || e.frame_count == 0) return;
    a->loop = e.def->loop;
    if (frame < 0 && a->frame_index < e.frame_count) return;
    a->frame_index = frame < 0 ? e.frame_count - 1 : std::min(frame, e.frame_count - 1);
    a->remaining = e.def->frames[(size_t)a->frame_index].rate;
    e.def->angle = 0;
}

// The file's definition again from its doc, then the editor follows it.
static void apply(editor& e, edit_file& f, int frame = -1) {
    f.def->config.clear();
    f.doc.fill(f.def->config);
    f.def->read_frames(f.path.c_str());
    f.def->loop = atoi(f.doc.loop.c_str()) != 0 ? 1 : 0;
    if (&f == editor_file(e)) follow(e, frame);
    else e.saved = any_modified(e) ? 0 : 1;
}

// Opens an animation file once; its place in e.files.
static int open_file(editor& e, const std::string& path) {
    for (size_t i = 0; i < e.files.size(); i++)
        if (e.files[i]->path == path) return (int)i;
    edit_file* f = new edit_file();
    f->path = path;
    f->name = file_name(path);
    f->def = new anim_mgr();
    f->handle = f->def;
    f->def->load(path.c_str());
    f->doc.read(f->def->config, f->def->frame_count(), read_file_text(path));
    // A wait below zero means nothing a player could see: it is shown, saved and summed as 0.
    bool mended = false;
    for (size_t i = 0; i < f->def->frames.size(); i++) {
        int rate = f->def->frames[i].rate;
        if (rate >= 0) continue;
        log_out("WARNING: [%s] line rate%d=%d: a wait below zero is taken as 0\n", path.c_str(), (int)i, rate);
        f->doc.frames[i].key[FK_RATE] = "0";
        mended = true;
    }
    e.files.push_back(f);
    if (mended) {
        f->saved_id = -1; // S writes the mended file
        apply(e, *f);
    }
    return (int)e.files.size() - 1;
}

// The sounds a frame can be given: every sound the fighter and its moves name, and every
// sound file beside them; each loaded now, so choosing one reads nothing.
static void gather_sounds(editor& e, const config_file* fighter) {
    std::vector<std::string> named;
    for (const edit_file* f : e.files)
        for (const frame_text& t : f->doc.frames)
            if (!t.key[FK_SOUND].empty()) named.push_back(t.key[FK_SOUND]);
    if (fighter)
        for (int i = 0; i < fighter->count(); i++) {
            const config_entry& c = fighter->entry(i);
            std::string k = c.key;
            if (k == "blocksound" || (k.size() > 7 && k.compare(0, 4, "move") == 0 && k.compare(k.size() - 3, 3, "hit") == 0))
                named.push_back(c.value);
        }
    std::sort(named.begin(), named.end());
    named.erase(std::unique(named.begin(), named.end()), named.end());
    std::vector<std::string> all = named, dirs;
    for (const std::string& s : named) {
        size_t slash = s.find_last_of('/');
        std::string dir = slash == std::string::npos ? "." : s.substr(0, slash);
        if (std::find(dirs.begin(), dirs.end(), dir) != dirs.end()) continue;
        dirs.push_back(dir);
        std::error_code ec;
        for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
            std::string ext = it->path().extension().string();
            if (!it->is_regular_file(ec) || (ext != ".wav" && ext != ".ogg")) continue;
            all.push_back(slash == std::string::npos ? it->path().filename().string()
                                                     : dir + "/" + it->path().filename().string());
        }
    }
    std::sort(all.begin(), all.end());
    all.erase(std::unique(all.begin(), all.end()), all.end());
    e.sounds.assign(1, "");
    for (const std::string& s : all) {
        Sfx_Manager.get(s.c_str());
        e.sounds.push_back(s);
    }
}

// ---------------------------------------------------------------------------------------
// Start and moves

// Plays one tick of the group. A non-looping animation empties its stack after its last
// frame; it is rebuilt at once so the editor always has an instance to steer.
static void play_tick(editor& e) {
    e.group->display(e.origin_x, e.origin_y, e.stage);
    if (stack_empty(e.group->stack) && e.def->frame_count() > 0) {
        delete e.group->stack;
        e.group->stack = build_stack(*e.group);
    }
}

void editor_select_move(editor& e, int m) {
    const int n = (int)e.moves.size();
    if (n == 0) return;
    e.move = ((m % n) + n) % n;
    edit_file* f = editor_file(e);
    e.def = f->def;
    e.def->angle = 0;
    delete e.group;
    e.group = new anim_group();
    e.group->add(f->handle, 0, 0);
    play_tick(e);
    if (animation* a = editor_instance(e)) {
        a->remaining = add_clamped(a->remaining, 1);
        a->frame_index = 0;
    }
    follow(e);
    if (!e.fighter.empty()) log_out("Editing move [%d] [%s]\n", e.move, f->path.c_str());
}

void editor_start(editor& e, const char* path) {
    e.stage = new level();
    current_level = e.stage;
    e.path = path ? path : "";
    SDL_WM_SetCaption(e.path.c_str(), e.path.c_str());
    e.delay_ms = e.fps > 0 ? 1000 / e.fps : 0;

    // A fighter file names its moves; anything else is one animation file.
    config_file given;
    if (given.load(e.path.c_str()) && given.has("moves")) {
        e.fighter = e.path;
        int n = std::min(std::max(given.get_int("moves"), 0), (int)FIGHTER_MAX_MOVES);
        char key[32];
        for (int q = 0; q < n; q++) {
            snprintf(key, sizeof key, "move%d", q);
            e.moves.push_back(open_file(e, given.get_string(key)));
        }
        e.origin_x = FIGHTER_ORIGIN_X;
        e.origin_y = FIGHTER_ORIGIN_Y;
        log_out("Fighter [%s] opened with [%d] moves\n", e.path.c_str(), n);
    }
    if (e.moves.empty()) e.moves.push_back(open_file(e, e.path));
    gather_sounds(e, e.fighter.empty() ? nullptr : &given);
    e.text = new font(video.screen);

    editor_select_move(e, 0);
    video.ortho_2d = 1;
    e.play = 0;
    e.show_all = 1;
    e.asking = 0;
    e.keys.open();
    for (int key : {(int)SDLK_LEFT, (int)SDLK_RIGHT, (int)SDLK_UP, (int)SDLK_DOWN, (int)SDLK_PAGEUP,
                    (int)SDLK_PAGEDOWN, (int)SDLK_z, (int)SDLK_y})
        e.keys.repeat(key);
}

void editor_stop(editor& e) {
    delete e.text;
    e.text = nullptr;
    delete e.group;
    e.group = nullptr;
    for (edit_file* f : e.files) {
        f->handle.release();
        delete f->def;
        delete f;
    }
    e.files.clear();
    e.moves.clear();
    e.def = nullptr;
    if (current_level == e.stage) current_level = nullptr;
    delete e.stage;
    e.stage = nullptr;
}

// ---------------------------------------------------------------------------------------
// Edits

// Remembers the file as it is before an edit.
static void remember(editor& e, edit_file& f, std::vector<edit_file::version>& into, int frame) {
    into.push_back({f.doc.frames, f.doc.loop, frame, f.id});
    if (into.size() > EDITOR_UNDO_STEPS) into.erase(into.begin());
}

// An edit of the current file: what it was goes on the undo list, what it is now becomes a
// new version, shown on `frame` (-1: where it is).
static void begin_edit(editor& e, edit_file& f, animation* a) {
    remember(e, f, f.undo, a ? a->frame_index : 0);
    f.redo.clear();
}
static void end_edit(editor& e, edit_file& f, int frame = -1) {
    f.id = f.next_id++;
    apply(e, f, frame);
}

// Undo (from undo to redo) or redo (the other way).
static void go_back(editor& e, edit_file& f, animation* a, std::vector<edit_file::version>& from,
                    std::vector<edit_file::version>& to) {
    if (from.empty()) return;
    remember(e, f, to, a ? a->frame_index : 0);
    edit_file::version v = from.back();
    from.pop_back();
    f.doc.frames = v.frames;
    f.doc.loop = v.loop;
    f.id = v.id;
    apply(e, f, v.frame);
}

// Sets a frame key to a new text; false (nothing done) when it has it already.
static bool set_key(editor& e, edit_file& f, animation* a, int key, const std::string& v) {
    std::string& k = f.doc.frames[(size_t)a->frame_index].key[key];
    if (k == v) return false;
    begin_edit(e, f, a);
    k = v;
    end_edit(e, f);
    return true;
}

// A wait never goes below zero: Down on a wait of 0 changes nothing.
static void change_rate(editor& e, edit_file& f, animation* a, int by) {
    int rate = f.def->frames[(size_t)a->frame_index].rate;
    int next = std::max(add_clamped(rate, by), 0);
    if (next != rate) set_key(e, f, a, FK_RATE, std::to_string(next));
}

static void change_offset(editor& e, edit_file& f, animation* a, int key, int by) {
    const frame& fr = f.def->frames[(size_t)a->frame_index];
    int v = key == FK_XOFFSET ? fr.xoffset : fr.yoffset;
    int next = std::min(std::max(v + by, (int)INT16_MIN), (int)INT16_MAX);
    if (next != v) set_key(e, f, a, key, int_text(next, 0));
}

static void change_shake(editor& e, edit_file& f, animation* a, int by) {
    int v = f.def->frames[(size_t)a->frame_index].shake;
    int next = std::max(add_clamped(v, by), 0);
    if (next != v) set_key(e, f, a, FK_SHAKE, int_text(next, 0));
}

static void change_sound(editor& e, edit_file& f, animation* a, int by) {
    const int n = (int)e.sounds.size();
    if (n < 2) return;
    const std::string& now = f.doc.frames[(size_t)a->frame_index].key[FK_SOUND];
    int i = (int)(std::find(e.sounds.begin(), e.sounds.end(), now) - e.sounds.begin());
    if (i >= n) i = 0;
    set_key(e, f, a, FK_SOUND, e.sounds[(size_t)(((i + by) % n + n) % n)]);
}

// Duplicate (the copy follows its frame and is shown), delete (never the last frame) and
// move one place earlier or later (the frame stays shown).
enum frame_op { OP_DUPLICATE, OP_DELETE, OP_EARLIER, OP_LATER };
static void change_frames(editor& e, edit_file& f, animation* a, frame_op op) {
    std::vector<frame_text>& v = f.doc.frames;
    const int i = a->frame_index, n = (int)v.size();
    if ((op == OP_DELETE && n < 2) || (op == OP_EARLIER && i == 0) || (op == OP_LATER && i + 1 >= n)) return;
    begin_edit(e, f, a);
    int shown = i;
    switch (op) {
    case OP_DUPLICATE:
        v.insert(v.begin() + i + 1, v[(size_t)i]);
        shown = i + 1;
        break;
    case OP_DELETE:
        v.erase(v.begin() + i);
        shown = std::min(i, n - 2);
        break;
    case OP_EARLIER:
        std::swap(v[(size_t)i - 1], v[(size_t)i]);
        shown = i - 1;
        break;
    case OP_LATER:
        std::swap(v[(size_t)i], v[(size_t)i + 1]);
        shown = i + 1;
        break;
    }
    end_edit(e, f, shown);
}

// L: the animation plays once or over and over; the instance playing it follows at once.
static void toggle_loop(editor& e, edit_file& f, animation* a) {
    begin_edit(e, f, a);
    f.doc.loop = f.def->loop ? "0" : "1";
    end_edit(e, f);
}

bool editor_save(editor& e) {
    bool all = true;
    for (edit_file* f : e.files) {
        if (!f->modified()) continue;
        std::string text = f->doc.write();
        if (!write_file_atomic(f->path.c_str(), text.data(), text.size())) {
            log_out("Can't save animation from [%s]", f->path.c_str());
            all = false;
            continue;
        }
        log_out("Saved anim_mgr as [%s]\n", f->path.c_str());
        // What is on disk now is what the next save starts from.
        f->doc.text = text;
        f->doc.read_count = (int)f->doc.frames.size();
        f->doc.images = std::to_string(f->doc.frames.size());
        if (f->doc.loop.empty()) f->doc.loop = "0";
        f->saved_id = f->id;
    }
    e.saved = any_modified(e) ? 0 : 1;
    return all;
}

// ---------------------------------------------------------------------------------------
// Input

// Moves the instance by one frame, wrapping at both ends onto the frame's own rate.
static void step_frame(editor& e, animation* a, int by) {
    e.def->angle = 0;
    a->frame_index += by;
    if (a->frame_index < 0 || a->frame_index >= e.frame_count) {
        a->frame_index = a->frame_index < 0 ? e.frame_count - 1 : 0;
        a->remaining = e.def->frames[(size_t)a->frame_index].rate;
    }
}

// The arrows: with Shift the frame moves by a pixel, with Ctrl by ten; without, Left and
// Right step through the frames and Up and Down change the wait.
static void arrow(editor& e, edit_file& f, animation* a, int key, int mods) {
    if (mods) {
        const int by = mods & KEY_MOD_CTRL ? 10 : 1;
        if (key == SDLK_LEFT || key == SDLK_RIGHT) change_offset(e, f, a, FK_XOFFSET, key == SDLK_LEFT ? -by : by);
        else change_offset(e, f, a, FK_YOFFSET, key == SDLK_UP ? -by : by);
    } else if (key == SDLK_LEFT || key == SDLK_RIGHT) {
        step_frame(e, a, key == SDLK_LEFT ? -1 : 1);
    } else {
        change_rate(e, f, a, key == SDLK_UP ? 1 : -1);
    }
}

// The pass's presses in order. Escape quits when nothing is unsaved; otherwise it asks, and
// only an Escape right after the question discards. A failed save stays "modified".
static void read_input(editor& e) {
    if (e.keys.pump()) e.quit = 1;
    for (int key = e.keys.next(); key && !e.quit; key = e.keys.next()) {
        const int mods = e.keys.mods;
        const bool shift = mods & KEY_MOD_SHIFT;
        edit_file* f = editor_file(e);
        animation* a = f && e.frame_count > 0 ? editor_instance(e) : nullptr;
        if (a && (uint32_t)a->frame_index >= (uint32_t)e.frame_count) a = nullptr;
        bool asked = e.asking;
        e.asking = 0;
        switch (key) {
        case SDLK_ESCAPE:
            if (e.saved || asked) e.quit = 1;
            else e.asking = 1;
            break;
        case SDLK_SPACE: e.play = e.play ? 0 : 1; break;
        case SDLK_LEFT:
        case SDLK_RIGHT:
        case SDLK_UP:
        case SDLK_DOWN:
            if (a) arrow(e, *f, a, key, mods);
            break;
        case SDLK_PAGEUP:
        case SDLK_PAGEDOWN:
            if (!e.fighter.empty()) editor_select_move(e, e.move + (key == SDLK_PAGEUP ? -1 : 1));
            break;
        case SDLK_k:
            if (a) change_shake(e, *f, a, shift ? -1 : 1);
            break;
        case SDLK_n:
            if (a) change_sound(e, *f, a, shift ? -1 : 1);
            break;
        case SDLK_x:
            if (a) set_key(e, *f, a, FK_FIRE, f->def->frames[(size_t)a->frame_index].fire ? "" : "1");
            break;
        case SDLK_d:
            if (a) change_frames(e, *f, a, OP_DUPLICATE);
            break;
        case SDLK_DELETE:
        case SDLK_BACKSPACE:
            if (a) change_frames(e, *f, a, OP_DELETE);
            break;
        case SDLK_LEFTBRACKET:
        case SDLK_RIGHTBRACKET:
            if (a) change_frames(e, *f, a, key == SDLK_LEFTBRACKET ? OP_EARLIER : OP_LATER);
            break;
        case SDLK_z:
        case SDLK_y:
            if (f && (key == SDLK_y || shift)) go_back(e, *f, a, f->redo, f->undo);
            else if (f) go_back(e, *f, a, f->undo, f->redo);
            break;
        case SDLK_b: e.boxes = !e.boxes; break;
        case SDLK_h: e.help = !e.help; break;
        case SDLK_f: e.show_all = !e.show_all; break;
        case SDLK_l:
            if (f && f->def->frame_count() > 0) toggle_loop(e, *f, a);
            break;
        case SDLK_s:
            if (!e.saved) editor_save(e);
            break;
        default: e.asking = asked; break; // other keys leave the question open
        }
    }
}

// ---------------------------------------------------------------------------------------
// Drawing

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
        draw_frame(e.def, e.origin_x, e.origin_y, i, e.stage);
    }
    e.def->alpha = 255;
}

void editor_draw_boxes(editor& e) {
    animation* a = editor_instance(e);
    if (!e.boxes || !a || !video.screen || e.frame_count == 0) return;
    // The frame before (yellow), after (magenta), and the current one (cyan) on top.
    const struct { int by; Uint8 r, g, b; } shown[] = {{-1, 255, 255, 0}, {1, 255, 0, 255}, {0, 0, 255, 255}};
    video.begin_boxes();
    for (const auto& s : shown) {
        const frame* f = e.def->get_frame(a->frame_index + s.by);
        if (!f || !f->image || f->image->is_blank()) continue;
        pixel_box b = f->image->hit_box(e.origin_x + frame_dx(e.def, *f), e.origin_y + frame_dy(*f), 1.0f);
        video.draw_outline(b.x1, b.y1, b.x2, b.y2, SDL_MapRGB(video.screen->format, s.r, s.g, s.b));
    }
    video.end_boxes();
}

void editor_status_line(editor& e, char* out, size_t size) {
    if (e.asking) {
        snprintf(out, size, "unsaved changes: Escape again to discard, S to save");
        return;
    }
    animation* a = editor_instance(e);
    int index = a ? a->frame_index : 0;
    const frame* f = e.def ? e.def->get_frame(index) : nullptr;
    snprintf(out, size, "fps[%d] frame[%d] wait[%d] play[%d] ttltime[%d] loop[%d] %s", e.fps,
             index, f ? f->rate : 0, e.play, e.total_time, e.def ? e.def->loop : 0,
             e.saved ? "" : "modified");
}

std::string editor_status(editor& e) {
    char line[160];
    editor_status_line(e, line, sizeof line);
    return line;
}

void editor_move_line(editor& e, char* out, size_t size) {
    const edit_file* f = editor_file(e);
    const char* name = f ? f->name.c_str() : "";
    if (e.fighter.empty()) snprintf(out, size, "%s   H: keys", name);
    else snprintf(out, size, "move[%d/%d] %s   PgUp/PgDn: move   H: keys", e.move, (int)e.moves.size(), name);
}

void editor_frame_line(editor& e, char* out, size_t size) {
    animation* a = editor_instance(e);
    edit_file* f = editor_file(e);
    const frame* fr = a && e.def ? e.def->get_frame(a->frame_index) : nullptr;
    if (!fr || !f) {
        snprintf(out, size, "no frames");
        return;
    }
    const std::string& sound = f->doc.frames[(size_t)a->frame_index].key[FK_SOUND];
    size_t slash = sound.find_last_of('/');
    snprintf(out, size, "frames[%d] sound[%s] shake[%d] fire[%d] offset[%d,%d]", e.frame_count,
             sound.empty() ? "none" : sound.c_str() + (slash == std::string::npos ? 0 : slash + 1),
             fr->shake, fr->fire ? 1 : 0, fr->xoffset, fr->yoffset);
}

static const char* const help_lines[] = {
    "Left/Right: frame   Up/Down: wait",
    "Shift+arrows: offset by 1, Ctrl+arrows: by 10",
    "PgUp/PgDn: move   Space: play or hold",
    "K, Shift+K: shake   N, Shift+N: sound   X: fire",
    "D: duplicate   Delete: delete   [ ]: earlier, later",
    "Z: undo   Y: redo   B: boxes   F: ghosts   L: loop",
    "S: save   Escape: quit   H: these keys",
};

static void draw_line(editor& e, int y, const char* text) {
    e.text->pen_x = 0;
    e.text->pen_y = y;
    e.text->draw_text(text);
}

void editor_draw(editor& e) {
    editor_draw_ghosts(e);
    // Held, the tick must not run the frame out: a frame stepped onto with a wait of 0 or 1
    // would otherwise move on at once (Right from the last frame landed on frame 1).
    if (animation* a = editor_instance(e))
        if (!e.play && a->remaining < 2) a->remaining = 2;
    play_tick(e);
    if (animation* a = editor_instance(e)) a->remaining = add_clamped(a->remaining, 1 - e.play);
    editor_draw_boxes(e);
    if (e.text && video.screen) {
        const int status_y = video.screen->h - 2 * e.text->size, step = e.text->size + 6;
        char line[160];
        editor_move_line(e, line, sizeof line);
        draw_line(e, status_y - 3 * step, line);
        editor_frame_line(e, line, sizeof line);
        draw_line(e, status_y - 2 * step, line);
        editor_status_line(e, line, sizeof line);
        draw_line(e, status_y, line);
        if (e.help)
            for (size_t i = 0; i < sizeof help_lines / sizeof *help_lines; i++)
                draw_line(e, (int)i * step, help_lines[i]);
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
