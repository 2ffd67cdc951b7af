#include "world/fighter_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "foundation/config_file.h"
#include "foundation/log.h"
#include "foundation/sfx.h"
#include "foundation/video_mgr.h"
#include "images/file_check.h"
#include "input/control_mgr.h"
#include "world/mon_mgr.h"

const int fighter_default_ai_weights[6] = {100, 100, 30, 0, 0, 50};

// Limits of the decimal keys, far beyond any real fighter.
static const double MIN_SCALE = 0.001, MAX_SCALE = 100, MIN_SPEED = 0.001, MAX_SPEED = 1000;

// A finite value from lo to hi.
static bool finite_within(double v, double lo, double hi) { return std::isfinite(v) && v >= lo && v <= hi; }

// A count key, capped so a broken file cannot make the load run for ever.
static int read_count(const config_file& cfg, const char* key, int limit) {
    int n = cfg.get_int(key);
    if (n > limit) {
        log_out("WARNING: [%s] of [%d] is too many, reading [%d]\n", key, n, limit);
        n = limit;
    }
    return n;
}

void lifeform::load(const char* filename) {
    config_file cfg;
    cfg.load(filename);
    char key[64];

    int hit_points = cfg.get_int("hp");
    hp = max_hp = hit_points;
    shown_hp = hit_points;
    if (cfg.has("scale")) {
        double s = cfg.get_float("scale");
        // Positions are divided by the scale and pictures multiplied by it: only sizes a
        // picture can have on a screen are taken.
        if (finite_within(s, MIN_SCALE, MAX_SCALE)) scale = s;
        else log_out("WARNING: scale [%s] ignored, keeping [%f]\n", cfg.get_string("scale"), scale);
    }
    if (cfg.has("speed")) {
        // The time divisor of every move: 0 stands still, and anything too close to 0 or
        // too far from it would throw the fighter off every coordinate.
        double s = cfg.get_float("speed");
        if (s == 0 || finite_within(std::fabs(s), MIN_SPEED, MAX_SPEED)) speed = s;
        else log_out("WARNING: speed [%s] ignored, keeping [%f]\n", cfg.get_string("speed"), speed);
    }

    // The jump and the walk: kept within what a screen can show, each part of it positive.
    const struct { const char* key; double* value; double hi; } jump_keys[] = {
        {"jump", &jump_rise, 100}, {"jumpfall", &jump_fall, 100}, {"highjump", &high_jump, 100},
        {"walk", &walk_speed, 8}};
    for (const auto& k : jump_keys) {
        if (!cfg.has(k.key)) continue;
        double v = cfg.get_float(k.key);
        if (finite_within(v, 0.001, k.hi)) *k.value = v;
        else log_out("WARNING: [%s] of [%s] ignored\n", k.key, cfg.get_string(k.key));
    }
    if (cfg.has("blocksound")) block_sound = Sfx_Manager.get(cfg.get_string("blocksound"));

    if (cfg.has("moves")) {
        int n = read_count(cfg, "moves", FIGHTER_MAX_MOVES);
        for (int q = 0; q < n; q++) {
            anim_mgr* def = new anim_mgr();
            smart_ptr<anim_mgr> handle(def);
            own_defs.push_back(def);
            def->swaps = swaps;
            snprintf(key, sizeof key, "move%d", q);
            def->load(cfg.get_string(key));
            snprintf(key, sizeof key, "move%dscale", q);
            if (cfg.has(key)) {
                double ms = cfg.get_float(key);
                if (finite_within(ms, 0, MAX_SCALE)) def->scale = ms;
                else log_out("WARNING: [%s] of [%s] ignored\n", key, cfg.get_string(key));
            }
            anim_group* g = new anim_group();
            g->add(handle, 0, 0);
            moves.push_back(g);
            contact_fx fx;
            snprintf(key, sizeof key, "move%dhit", q);
            if (cfg.has(key)) fx.sound = Sfx_Manager.get(cfg.get_string(key));
            snprintf(key, sizeof key, "move%dhitshake", q);
            fx.shake = std::max(0, std::min(cfg.get_int(key), 100));
            contact.push_back(fx);
            draw_loading();
        }
    }

    int width = cfg.has("width") ? cfg.get_int("width") : 0;
    int height = cfg.has("height") ? cfg.get_int("height") : 0;

    if (cfg.has("images")) {
        int n = read_count(cfg, "images", FIGHTER_MAX_IMAGES);
        w = h = 0;
        min_x = video.screen ? video.screen->w : video.width;
        min_y = video.screen ? video.screen->h : video.height;
        max_x = max_y = 0;
        for (int i = 0; i < n; i++) {
            snprintf(key, sizeof key, "image%d", i);
            img_mgr* im = Image_Manager.get(cfg.get_string(key));
            if (!swaps.empty()) {
                img_mgr* copy = new img_mgr();
                copy->copy_for_recolour(*im);
                own_images.push_back(copy);
                im = copy;
            }
            w = (uint16_t)std::max<int>(w, im->get_width());
            h = (uint16_t)std::max<int>(h, im->get_height());
            if (i == 0) {
                min_x = (int32_t)im->left;
                min_y = (int32_t)im->top;
                max_x = (int32_t)im->right;
                max_y = (int32_t)im->bottom;
            }
            draw_loading();
            if (im->tex == IMG_NONE) {
                for (const colour_swap& s : swaps) {
                    im->swap_color(s.first, s.second);
                    draw_loading();
                }
            } else {
                log_out("No lifeform surface to color (Usually already uploaded) [%d]\n",
                        (int)im->tex);
            }
            images.push_back(im);
        }
        log_out("Char Min/Max Bound Box [%d,%d-%d,%d]\n", min_x, min_y, max_x, max_y);
    }

    if (cfg.has("combos")) {
        int n = read_count(cfg, "combos", FIGHTER_MAX_COMBOS);
        for (int k = 0; k < n; k++) {
            combo c;
            snprintf(key, sizeof key, "combo%dmoves", k);
            int stages = std::min<int>(cfg.get_int(key), FIGHTER_MAX_COMBO_STAGES);
            snprintf(key, sizeof key, "combo%dmove", k);
            c.move = cfg.get_int(key);
            if (controls) {
                for (int j = 0; j < stages; j++) {
                    snprintf(key, sizeof key, "combo%dmove%d", k, j);
                    const char* name = cfg.get_string(key);
                    log_out("Combo[%d]Move[%d] == '%s'\n", k, j, name);
                    if (control_stage* st = controls->find(name))
                        c.stages.push_back(st);
                    else
                        log_out("WARNING: Control [%s] not found in controls [%x]\n", name,
                                ptr_id(controls));
                }
            } else {
                log_out("WARNING: can't bind controls because controls aren't set\n");
            }
            combos->push_back(c);
            log_out("Adding combo[%d] combotype[%d] reqkeys[%d]\n", (int)combos->size(), c.move,
                    (int)c.stages.size());
            draw_loading();
        }
    }

    log_out("Loaded Char [%d]images [%d]animations [%d]combos\n", (int)images.size(),
            (int)moves.size(), (int)combos->size());
    if (width) w = (uint16_t)width;
    if (height) h = (uint16_t)height;
    log_out("Final size [%d,%d]\n", w, h);
    for (int i = 0; i < AI_WEIGHTS; i++) ai_weights[i] = fighter_default_ai_weights[i];
}

// A combo stage's name: a control or its release ("no" and the control).
static bool control_name(const char* name, std::string* nearest) {
    int best = 1 << 30;
    for (const char* c : control_names) {
        for (int no = 0; no < 2; no++) {
            std::string n = (no ? "no" : "") + std::string(c);
            if (n == name) return true;
            int d = edit_distance(name, n.c_str());
            if (d < best) best = d, *nearest = n;
        }
    }
    if (best > 2) nearest->clear();
    return false;
}

void check_fighter_file(check_report& report, const std::string& path) {
    file_check c(report, path);
    if (!c.opened()) return;
    char key[64];
    long moves = 0, images = 0, combos = 0;
    c.whole("hp", 1, 100000);
    if (!c.config().has("hp")) c.problem(0, "no \"hp\": the fighter has 0 hit points");
    c.decimal("scale", MIN_SCALE, MAX_SCALE);
    double speed_read = 0;
    if (c.decimal("speed", -MAX_SPEED, MAX_SPEED, &speed_read) && speed_read != 0 && std::fabs(speed_read) < MIN_SPEED)
        c.problem(c.line_of("speed"), "\"speed\" is %g: 0, or at least %g either way", speed_read, MIN_SPEED);
    c.decimal("jump", 0.001, 100);
    c.decimal("jumpfall", 0.001, 100);
    c.decimal("highjump", 0.001, 100);
    c.decimal("walk", 0.001, 8);
    c.sound("blocksound");
    c.whole("moves", 0, FIGHTER_MAX_MOVES, &moves);
    moves = c.capped(moves);
    for (int q = 0; q < moves; q++) {
        snprintf(key, sizeof key, "move%d", q);
        if (!c.config().has(key)) c.problem(c.line_of("moves"), "move %d has no \"%s\"", q, key);
        std::string move = c.file(key);
        if (!move.empty() && report.first_look(move)) check_anim_file(report, move);
        snprintf(key, sizeof key, "move%dscale", q);
        c.decimal(key, 0, MAX_SCALE);
        snprintf(key, sizeof key, "move%dhit", q);
        c.sound(key);
        snprintf(key, sizeof key, "move%dhitshake", q);
        c.whole(key, 0, 100);
    }
    c.whole("width", 0, 16384);
    c.whole("height", 0, 16384);
    c.whole("images", 0, FIGHTER_MAX_IMAGES, &images);
    images = c.capped(images);
    for (int i = 0; i < images; i++) {
        snprintf(key, sizeof key, "image%d", i);
        if (!c.config().has(key)) c.problem(c.line_of("images"), "still image %d has no \"%s\"", i, key);
        c.picture(key);
    }
    c.whole("combos", 0, FIGHTER_MAX_COMBOS, &combos);
    combos = c.capped(combos);
    for (int k = 0; k < combos; k++) {
        long stages = 0, move = 0;
        snprintf(key, sizeof key, "combo%dmoves", k);
        c.whole(key, 1, FIGHTER_MAX_COMBO_STAGES, &stages);
        stages = c.capped(stages);
        snprintf(key, sizeof key, "combo%dmove", k);
        if (c.whole(key, 0, 1L << 30, &move)) {
            // A combo's number is what the match makes of it: 1 the high jump, 2 the backflip
            // (move 12), 3 and 5 the travelling special (move 15), 4 the dash (move 18).
            static const long started[6] = {-1, -1, 12, 15, 18, 15};
            if (move < 1 || move > 5)
                c.problem(c.line_of(key), "combo %d does %ld, which is no combo result (1 to 5)", k, move);
            else if (started[move] >= moves)
                c.problem(c.line_of(key), "combo %d plays move %ld, which the fighter lacks (its moves are 0 to %ld)", k,
                          started[move], moves - 1);
        }
        for (int j = 0; j < stages; j++) {
            snprintf(key, sizeof key, "combo%dmove%d", k, j);
            const config_entry* e = c.known(key);
            std::string near;
            if (!e) c.problem(c.line_of("combos"), "combo %d has no \"%s\"", k, key);
            else if (!control_name(e->value, &near))
                c.problem(e->line, "\"%s\" names \"%s\", which is no control%s", key, e->value,
                          near.empty() ? "" : (" (did you mean \"" + near + "\"?)").c_str());
        }
        snprintf(key, sizeof key, "combo%dmove%%d", k);
        const std::string count = "combo" + std::to_string(k) + "moves";
        c.beyond(key, count.c_str());
    }
    const char* per_move[] = {"move%d", "move%dscale", "move%dhit", "move%dhitshake"};
    for (const char* p : per_move) {
        for (int i = 0; i < c.config().count(); i++) {
            int q = -1;
            const config_entry& e = c.config().entry(i);
            if (key_matches(e.key, p, &q) && q >= moves && c.known(e.key))
                c.problem(e.line, "\"%s\": move %d is outside the fighter's moves (0 to %ld)", e.key, q, moves - 1);
        }
    }
    c.beyond("image%d", "images");
    c.beyond("combo%dmoves", "combos");
    c.beyond("combo%dmove", "combos");
    c.beyond("combo%dmove%d", "combos");
    c.finish();
}
