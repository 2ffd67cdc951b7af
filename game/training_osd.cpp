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

int training_panel_x(int side, int w) {
    return side == 0 ? TRAINING_MARGIN : w - TRAINING_MARGIN - TRAINING_PANEL_W;
}
int training_inputs_x(int side, int w) {
    return side == 0 ? TRAINING_MARGIN + TRAINING_PANEL_W : training_panel_x(1, w) - TRAINING_INPUT_W;
}

static uint32_t colour(const unsigned char rgb[3]) {
    return video.screen ? SDL_MapRGBA(video.screen->format, rgb[0], rgb[1], rgb[2], 255) : 0;
}

static int screen_width() { return video.screen ? video.screen->w : 640; }

// Draws text at (x, y), moved left as far as it takes to end before right (by default the
// screen's edge less the margin).
static void text_at(font* f, int x, int y, const char* text, int right = -1) {
    if (right < 0) right = screen_width() - TRAINING_MARGIN;
    const int last = right - f->text_width(text);
    f->pen_x = x > last ? last : x;
    f->pen_y = y;
    f->draw_text(text);
}

// Side i's lines: from the panel's left edge on the left, right-aligned on the right.
static void panel_line(font* f, int side, int y, const char* text) {
    text_at(f, side == 0 ? TRAINING_MARGIN : screen_width() - TRAINING_MARGIN - f->text_width(text), y, text);
}

// A move's or special's name without its fighter's ("mirelle_rush" -> "rush").
static const char* shown_name(const char* name) {
    for (const char* p = name; *p; p++)
        if (*p == '_' && p[1]) return p + 1;
    return name;
}

// ---------------------------------------------------------------------------------------
// Input display

// An arrow from the centre (cx, cy) in direction (dx, dy): a shaft of dots and a square head.
static void draw_arrow(int cx, int cy, int dx, int dy, uint32_t c) {
    video.begin_boxes();
    for (int k = -4; k < 4; k++) video.draw_box(cx + dx * k - 1, cy + dy * k - 1, cx + dx * k + 1, cy + dy * k + 1, c);
    video.draw_box(cx + dx * 5 - 2, cy + dy * 5 - 2, cx + dx * 5 + 2, cy + dy * 5 + 2, c);
    video.end_boxes();
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
    for (int r = 0; r < log.count && r < TRAINING_INPUT_ROWS; r++) {
        const input_row& row = log.rows[r];
        const int y = TRAINING_PANEL_TOP + r * TRAINING_ROW_H;
        const int dirs = row.controls & DIRECTIONS;
        if (dirs) {
            int dx = (dirs & IN_RIGHT ? 1 : 0) - (dirs & IN_LEFT ? 1 : 0);
            int dy = (dirs & IN_DOWN ? 1 : 0) - (dirs & IN_UP ? 1 : 0);
            draw_arrow(x + 6, y + 7, dx, dy, arrow);
        }
        row_text(row, text, sizeof text);
        // The player's rows end before its panel column.
        text_at(f, x + 16, y, text, side == 0 ? -1 : x + TRAINING_INPUT_W - 2);
        if (row.special < 0) continue;
        // The special's name beside its rows, with a bar along them.
        int rows = row.special_rows;
        if (rows > TRAINING_INPUT_ROWS - r) rows = TRAINING_INPUT_ROWS - r;
        const char* name = shown_name(training_special_name(side, row.special));
        const int bar_x = side == 0 ? x + TRAINING_INPUT_W - 4 : x - 6;
        video.draw_box(bar_x, y + 1, bar_x + 1, y + rows * TRAINING_ROW_H - 2, arrow);
        const int name_x = side == 0 ? bar_x + 5 : bar_x - 4 - f->text_width(name);
        text_at(f, name_x, y, name);
    }
}

// ---------------------------------------------------------------------------------------
// String panel and frame data

static void draw_panel(font* f, int side) {
    training_session& t = training;
    char line[96];
    int y = TRAINING_PANEL_TOP;
    snprintf(line, sizeof line, "string %d hits %d dmg", t.string_hits[side], t.string_damage[side]);
    panel_line(f, side, y, line);
    y += TRAINING_ROW_H;
    snprintf(line, sizeof line, "best %d hits %d dmg", t.best_hits[side], t.best_damage[side]);
    panel_line(f, side, y, line);
    y += TRAINING_ROW_H;

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
        const char* file = move < TRAINING_MOVE_NAMES ? shown_name(t.move_names[side][move]) : "";
        snprintf(line, sizeof line, "move %d %s", move, file);
        panel_line(f, side, y, line);
        y += TRAINING_ROW_H;
        if (mt.first_hit > 0)
            snprintf(line, sizeof line, "tick %d/%d hits at %d", move_tick(o), mt.total, mt.first_hit);
        else
            snprintf(line, sizeof line, "tick %d/%d no hit", move_tick(o), mt.total);
        panel_line(f, side, y, line);
    } else {
        panel_line(f, side, y, "move -");
        y += TRAINING_ROW_H;
    }
    y += TRAINING_ROW_H;
    if (t.advantage.measured[side]) {
        snprintf(line, sizeof line, "advantage %+d", t.advantage.result[side]);
        panel_line(f, side, y, line);
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
    video.begin_boxes();
    for (int i = 0; i < 2 && i < Combatant_Manager.count(); i++) {
        screen_box b;
        if (picture_box(Combatant_Manager.Objects[(size_t)i], b)) outline(b, c);
    }
    if (training.overlap_frames > 0) {
        const screen_box& o = training.overlap;
        video.draw_box(o.x1, o.y1, o.x2, o.y2, colour(training_overlap_rgb));
    }
    video.end_boxes();
}

static void draw_help(font* f) {
    training_session& t = training;
    char line[160];
    const char* rec = t.recorder == RECORDER_RECORDING ? "F3 stop" : "F3 record";
    const char* play = t.recorder == RECORDER_PLAYING ? "F4 stop" : "F4 play";
    const bool scripted = t.script_at < (int)t.script.size();
    snprintf(line, sizeof line, "F1 help  F2 dummy: %s%s  %s  %s  F5 %s  F6 overlays", scripted ? "as recorded, then " : "",
             dummy_behaviour_name(t.behaviour), rec, play, t.taken ? "again" : "reset");
    text_at(f, TRAINING_MARGIN, TRAINING_HELP_Y, line);
}

// While the dummy is being recorded, its time so far, under its panel.
static void draw_recording(font* f) {
    training_session& t = training;
    if (t.recorder != RECORDER_RECORDING) return;
    char line[48];
    const int rate = fps > 0 ? fps : 60;
    snprintf(line, sizeof line, "recording %d.%d s", (int)t.recording.size() / rate,
             (int)t.recording.size() * 10 / rate % 10);
    panel_line(f, 1 - t.player, TRAINING_PANEL_TOP + 5 * TRAINING_ROW_H, line);
}

void training_draw(osd_resources& r) {
    if (!video.screen || !r.stats) return;
    font* f = r.stats;
    if (training.overlays) {
        draw_hit_overlay();
        for (int side = 0; side < 2; side++) {
            draw_inputs(f, side, training_inputs_x(side, video.screen->w));
            draw_panel(f, side);
        }
    }
    draw_recording(f);
    if (training.help) draw_help(f);
}
