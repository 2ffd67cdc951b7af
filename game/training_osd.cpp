#include "training_osd.h"

#include <cstdio>

#include "foundation/settings.h"
#include "foundation/video_mgr.h"
#include "frame_data.h"
#include "images/font.h"
#include "input/control_mgr.h"
#include "osd.h"
#include "training.h"
#include "world/mon_mgr.h"

const unsigned char training_outline_rgb[3] = {0, 255, 255};
const unsigned char training_overlap_rgb[3] = {255, 0, 255};
const unsigned char training_arrow_rgb[3] = {255, 255, 255};

enum { IN_UP = 1, IN_DOWN = 2, IN_LEFT = 4, IN_RIGHT = 8, DIRECTIONS = 15 };

int training_panel_x(int side, int w) { return side == 0 ? TRAINING_MARGIN : w - TRAINING_PANEL_W; }

static uint32_t colour(const unsigned char rgb[3]) {
    return video.screen ? SDL_MapRGBA(video.screen->format, rgb[0], rgb[1], rgb[2], 255) : 0;
}

static void text_at(font* f, int x, int y, const char* text) {
    f->pen_x = x;
    f->pen_y = y;
    f->draw_text(text);
}

// ---------------------------------------------------------------------------------------
// Input display

// An arrow from the centre (cx, cy) in direction (dx, dy): a shaft of dots and a square head.
static void draw_arrow(int cx, int cy, int dx, int dy, uint32_t c) {
    for (int k = -4; k < 4; k++) video.draw_box(cx + dx * k - 1, cy + dy * k - 1, cx + dx * k + 1, cy + dy * k + 1, c);
    video.draw_box(cx + dx * 5 - 2, cy + dy * 5 - 2, cx + dx * 5 + 2, cy + dy * 5 + 2, c);
}

// "punch+kick 12": the controls other than directions, then the frames.
static void row_text(const input_row& row, char* out, size_t size) {
    size_t n = 0;
    out[0] = 0;
    for (int c = 4; c < CONTROL_COUNT; c++) {
        if (!(row.controls & (1u << c))) continue;
        n += (size_t)snprintf(out + n, n < size ? size - n : 0, "%s%s", n ? "+" : "", control_names[c]);
        if (n >= size) return;
    }
    if (!row.controls) n += (size_t)snprintf(out + n, n < size ? size - n : 0, "-");
    if (n < size) snprintf(out + n, size - n, " %d", row.frames);
}

static void draw_inputs(font* f, int side, int x) {
    const input_log& log = training.inputs[side];
    const uint32_t arrow = colour(training_arrow_rgb);
    char text[96];
    for (int r = 0; r < log.count; r++) {
        const input_row& row = log.rows[r];
        const int y = TRAINING_PANEL_TOP + r * TRAINING_ROW_H;
        const int dirs = row.controls & DIRECTIONS;
        if (dirs) {
            int dx = (dirs & IN_RIGHT ? 1 : 0) - (dirs & IN_LEFT ? 1 : 0);
            int dy = (dirs & IN_DOWN ? 1 : 0) - (dirs & IN_UP ? 1 : 0);
            draw_arrow(x + 6, y + 7, dx, dy, arrow);
        }
        row_text(row, text, sizeof text);
        text_at(f, x + 16, y, text);
        if (row.special < 0) continue;
        // The special's name beside its rows, with a bar along them.
        const int rows = row.special_rows;
        const char* name = training_special_name(side, row.special);
        const int bar_x = side == 0 ? x + TRAINING_PANEL_W - 12 : x - 6;
        video.draw_box(bar_x, y + 1, bar_x + 1, y + rows * TRAINING_ROW_H - 2, arrow);
        const int name_x = side == 0 ? bar_x + 5 : bar_x - 4 - f->text_width(name);
        text_at(f, name_x, y, name);
    }
}

// ---------------------------------------------------------------------------------------
// String panel and frame data

static void draw_panel(font* f, int side, int x) {
    training_session& t = training;
    char line[96];
    int y = TRAINING_PANEL_TOP + INPUT_LOG_ROWS * TRAINING_ROW_H + 8;
    snprintf(line, sizeof line, "string %d hits %d dmg", t.string_hits[side], t.string_damage[side]);
    text_at(f, x, y, line);
    y += TRAINING_ROW_H;
    snprintf(line, sizeof line, "best %d hits %d dmg", t.best_hits[side], t.best_damage[side]);
    text_at(f, x, y, line);
    y += TRAINING_ROW_H + 6;

    combatant* o = side < Combatant_Manager.count() ? Combatant_Manager.Objects[(size_t)side] : nullptr;
    if (!o) return;
    int move = -1;
    if (!stack_empty(o->stack) && o->move_state != MOVE_NONE)
        for (int m = 0; m < (int)o->moves.size() && move < 0; m++) {
            const anim_group* g = o->moves[(size_t)m];
            if (g && !g->entries.empty() && (*o->stack)[0]->def == g->entries[0].def.get()) move = m;
        }
    if (move >= 0) {
        const move_timing mt = move_timing_of(o->moves[(size_t)move], o->images.empty() ? nullptr : o->images[0]);
        const char* file = move < TRAINING_MOVE_NAMES ? t.move_names[side][move] : "";
        snprintf(line, sizeof line, "move %d %s", move, file);
        text_at(f, x, y, line);
        y += TRAINING_ROW_H;
        if (mt.first_hit > 0)
            snprintf(line, sizeof line, "tick %d/%d hits at %d", move_tick(o), mt.total, mt.first_hit);
        else
            snprintf(line, sizeof line, "tick %d/%d no hit", move_tick(o), mt.total);
        text_at(f, x, y, line);
    } else {
        text_at(f, x, y, "move -");
        y += TRAINING_ROW_H;
    }
    y += TRAINING_ROW_H;
    if (t.advantage.measured[side]) {
        snprintf(line, sizeof line, "advantage %+d", t.advantage.result[side]);
        text_at(f, x, y, line);
    }
}

// ---------------------------------------------------------------------------------------
// Hit overlay and help

static void outline(const screen_box& b, uint32_t c) {
    video.draw_box(b.x1, b.y1, b.x2, b.y1 + 1, c);
    video.draw_box(b.x1, b.y2 - 1, b.x2, b.y2, c);
    video.draw_box(b.x1, b.y1, b.x1 + 1, b.y2, c);
    video.draw_box(b.x2 - 1, b.y1, b.x2, b.y2, c);
}

static void draw_hit_overlay() {
    const uint32_t c = colour(training_outline_rgb);
    for (int i = 0; i < 2 && i < Combatant_Manager.count(); i++) {
        screen_box b;
        if (picture_box(Combatant_Manager.Objects[(size_t)i], b)) outline(b, c);
    }
    if (training.overlap_frames > 0) {
        const screen_box& o = training.overlap;
        video.draw_box(o.x1, o.y1, o.x2, o.y2, colour(training_overlap_rgb));
    }
}

static void draw_help(font* f) {
    training_session& t = training;
    char line[160];
    const char* rec = t.recorder == RECORDER_RECORDING ? "F3 stop" : "F3 record";
    const char* play = t.recorder == RECORDER_PLAYING ? "F4 stop" : "F4 play";
    snprintf(line, sizeof line, "F1 help  F2 dummy: %s  %s  %s  F5 reset  F6 overlays",
             dummy_behaviour_name(t.behaviour), rec, play);
    text_at(f, TRAINING_MARGIN, (video.screen ? video.screen->h : 480) - 20, line);
    if (t.recorder == RECORDER_RECORDING) {
        snprintf(line, sizeof line, "recording %d.%d s", (int)t.recording.size() / (fps > 0 ? fps : 60),
                 (int)t.recording.size() * 10 / (fps > 0 ? fps : 60) % 10);
        text_at(f, TRAINING_MARGIN, (video.screen ? video.screen->h : 480) - 38, line);
    }
}

void training_draw(osd_resources& r) {
    if (!video.screen || !r.stats) return;
    font* f = r.stats;
    if (training.overlays) {
        draw_hit_overlay();
        for (int side = 0; side < 2; side++) {
            const int x = training_panel_x(side, video.screen->w);
            draw_inputs(f, side, x);
            draw_panel(f, side, x);
        }
    }
    if (training.help) draw_help(f);
}
