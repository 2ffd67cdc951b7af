#include "match_save.h"

#include <cstdio>
#include <cstring>
#include <type_traits>
#include <unordered_map>

#include "animation/anim_group.h"
#include "foundation/log.h"
#include "hard_ai.h"
#include "match.h"
#include "replay.h"
#include "training.h"
#include "world/level.h"
#include "world/mon_mgr.h"
#include "world/projectile.h"
#include "world/weapon.h"

namespace {

const uint32_t MAGIC = 0x4d534156; // "MSAV"
// Counts a buffer may hold: more is a damaged buffer, not a match.
const uint32_t MAX_COUNT = 1u << 20;

// ---------------------------------------------------------------------------------------
// The tables: the match's shared pieces in a fixed order, built once per set-up.

struct tables {
    int generation = -1;
    std::vector<img_mgr*> images;
    std::vector<anim_mgr*> defs;
    std::vector<anim_group*> groups;
    std::unordered_map<const void*, int> image_at, def_at;
};
tables shared;

void add_image(tables& t, img_mgr* im) {
    if (im && t.image_at.emplace(im, (int)t.images.size()).second) t.images.push_back(im);
}

void add_group(tables& t, anim_group* g) {
    if (!g) return;
    bool fresh = true;
    for (anim_group* h : t.groups) fresh = fresh && h != g;
    if (fresh) t.groups.push_back(g);
    for (group_entry& e : g->entries) {
        anim_mgr* d = e.def.get();
        if (!d || !t.def_at.emplace(d, (int)t.defs.size()).second) continue;
        t.defs.push_back(d);
        for (frame& f : d->frames) add_image(t, f.image);
    }
}

tables& tables_now() {
    tables& t = shared;
    if (t.generation == current_match.generation) return t;
    t = tables();
    t.generation = current_match.generation;
    for (int i = 0; i < 2 && i < Combatant_Manager.count(); i++) {
        combatant* f = Combatant_Manager.Objects[(size_t)i];
        for (img_mgr* im : f->images) add_image(t, im);
        for (anim_group* g : f->moves) add_group(t, g);
    }
    if (current_match.res && current_match.res->explosion) {
        anim_group* tpl = current_match.res->explosion;
        add_group(t, tpl);
        t.groups.pop_back(); // the template's size is not played
    }
    log_mute(true);
    add_image(t, Image_Manager.get(PROJECTILE_IMAGE));
    log_mute(false);
    return t;
}

// ---------------------------------------------------------------------------------------
// One walk over the state for all three uses: writing it, reading it back into the match,
// and reading it only to name its fields.

enum io_mode { WRITE, READ, PARSE };

struct label {
    size_t at;
    const char* scope;
    int index;
    const char* name;
};

struct io {
    io_mode mode;
    tables& t;
    std::vector<uint8_t>* out = nullptr;
    const uint8_t* in = nullptr;
    size_t size = 0, at = 0;
    bool ok = true;
    std::vector<label>* labels = nullptr;
    const char* scope = "match";
    int index = -1;
    bool session = true; // a restore takes the replay session back too

    io(io_mode m, tables& tb) : mode(m), t(tb) {}
    bool stores() const { return mode == READ; }

    void bytes(void* p, size_t n, const char* name) {
        if (labels) labels->push_back(label{at, scope, index, name});
        if (mode == WRITE) {
            if (at + n > out->size()) out->resize(2 * (at + n));
            memcpy(out->data() + at, p, n);
            at += n;
            return;
        }
        if (!ok || at + n > size) {
            ok = false;
            return;
        }
        // A parse reads too, into scratch copies: the counts and kinds it meets steer it.
        memcpy(p, in + at, n);
        at += n;
    }
    template <class T> void field(T& v, const char* name) {
        static_assert(std::is_arithmetic<T>::value, "plain numbers only");
        bytes(&v, sizeof v, name);
    }
    template <class T, size_t N> void field(T (&a)[N], const char* name) {
        static_assert(std::is_arithmetic<T>::value, "plain numbers only");
        bytes(a, sizeof a, name);
    }
    // A count: written as it is, read back (and bounded).
    uint32_t count(size_t n, const char* name) {
        uint32_t c = (uint32_t)n;
        field(c, name);
        if (c > MAX_COUNT) ok = false;
        return ok ? c : 0;
    }
    // A count the running match must already have (a list fixed at set-up); a parse takes
    // the buffer's.
    uint32_t same_count(size_t n, const char* name) {
        const uint32_t c = count(n, name);
        if (c != n && mode != PARSE) ok = false;
        return ok ? c : 0;
    }
    template <class P>
    void ref(P*& p, const std::vector<P*>& list, const std::unordered_map<const void*, int>& at_of,
             const char* name) {
        int32_t i = -1;
        if (mode == WRITE && p) {
            auto f = at_of.find(p);
            i = f == at_of.end() ? -2 : f->second;
        }
        field(i, name);
        if (mode != READ) return;
        if (i >= (int32_t)list.size() || i < -1) ok = false;
        else p = i < 0 ? nullptr : list[(size_t)i];
    }
    void image(img_mgr*& p, const char* name) { ref(p, t.images, t.image_at, name); }
    void def(anim_mgr*& p, const char* name) { ref(p, t.defs, t.def_at, name); }
};

// What a parse reads into: made once, never part of a match.
combatant& scratch_fighter() {
    static combatant* c = new combatant();
    return *c;
}
anim_group& scratch_group() {
    static anim_group* g = new anim_group(false);
    return *g;
}

struct scope_guard {
    io& o;
    const char* scope;
    int index;
    scope_guard(io& x, const char* s, int i) : o(x), scope(x.scope), index(x.index) {
        o.scope = s;
        o.index = i;
    }
    ~scope_guard() {
        o.scope = scope;
        o.index = index;
    }
};

void visit_animation(io& o, animation& a) {
    o.field(a.x, "animation x");
    o.field(a.y, "animation y");
    o.field(a.frame_index, "animation frame");
    o.field(a.remaining, "animation ticks left");
    o.field(a.active, "animation active");
    o.field(a.loop, "animation loop");
    o.def(a.def, "animation definition");
}

void visit_stack(io& o, ag_stack*& s) {
    const uint32_t n = o.count(s ? s->items.size() : 0, "stack size");
    if (o.mode == PARSE || !o.ok) {
        animation scratch{};
        for (uint32_t i = 0; i < n && o.ok; i++) visit_animation(o, scratch);
        return;
    }
    if (o.stores()) {
        if (!s) s = new ag_stack();
        while (s->items.size() > n) {
            delete s->items.back();
            s->items.pop_back();
        }
        while (s->items.size() < n) s->items.push_back(new animation{});
    }
    for (uint32_t i = 0; i < n && o.ok; i++) visit_animation(o, *s->items[i]);
}

void visit_keys(io& o, keyhistory& k) {
    uint32_t n = o.count(k.history.size(), "key history size");
    if (o.stores() && o.ok) k.history.resize(n);
    for (uint32_t i = 0; i < n && o.ok; i++) {
        history_entry scratch{};
        history_entry& e = o.mode == PARSE ? scratch : k.history[i];
        o.field(e.key, "key history key");
        o.field(e.time, "key history time");
        o.field(e.state, "key history state");
    }
    n = o.same_count(k.tracked.size(), "tracked keys");
    for (uint32_t i = 0; i < n && o.ok; i++) {
        press_record scratch{};
        press_record& r = o.mode == PARSE ? scratch : k.tracked[i];
        o.field(r.mirrored_key, "tracked mirrored key");
        o.field(r.key, "tracked key");
        o.field(r.state, "tracked state");
    }
    o.field(k.maxkeep, "key history kept");
    n = o.count(k.scratch.size(), "combos in progress");
    if (o.stores() && o.ok) k.scratch.resize(n);
    for (uint32_t i = 0; i < n && o.ok; i++) {
        cmboscrtch scratch{};
        cmboscrtch& c = o.mode == PARSE ? scratch : k.scratch[i];
        int32_t which = -1;
        if (o.mode == WRITE && k.combos && c.move_combo)
            for (size_t j = 0; j < k.combos->size(); j++)
                if (&(*k.combos)[j] == c.move_combo) which = (int32_t)j;
        o.field(which, "combo in progress");
        if (o.stores()) {
            if (which < 0 || !k.combos || (size_t)which >= k.combos->size()) c.move_combo = nullptr;
            else c.move_combo = &(*k.combos)[(size_t)which];
        }
        o.field(c.stage, "combo stage");
        o.field(c.expiration, "combo expiration");
        o.field(c.last_time, "combo last time");
    }
    o.field(k.clock, "key history clock");
    o.field(k.mirrored, "key history mirrored");
    o.field(k.changed, "key history changed");
}

void visit_path(io& o, path& p) {
    o.field(p.mode, "path modes");
    o.field(p.arg1, "path arg1");
    o.field(p.arg2, "path arg2");
    o.field(p.arg3, "path arg3");
    o.field(p.arg4, "path arg4");
    o.field(p.step, "path step");
    o.field(p.steps, "path steps");
    o.field(p.action, "path action");
    o.field(p.action2, "path action2");
    o.field(p.vx, "path vx");
    o.field(p.vy, "path vy");
    o.field(p.fire_x, "path fire x");
    o.field(p.fire_y, "path fire y");
    o.field(p.x, "path x");
    o.field(p.y, "path y");
    o.field(p.age, "path age");
    o.field(p.mirrored, "path mirrored");
    o.field(p.ai_state, "computer state");
    o.field(p.opponent, "path opponent");
    o.field(p.opponent_x, "path opponent x");
    o.field(p.has_opponent, "path has opponent");
    o.field(p.stage_width, "path stage width");
    o.field(p.weights, "path weights");
}

void visit_lifeform(io& o, lifeform& f) {
    o.field(f.hp, "hp");
    o.field(f.max_hp, "max hp");
    o.field(f.shown_hp, "shown hp");
    o.field(f.x, "x");
    o.field(f.y, "y");
    o.field(f.h, "h");
    o.field(f.w, "w");
    o.field(f.freeze, "freeze");
    o.field(f.vx, "vx");
    o.field(f.vy, "vy");
    o.field(f.ax, "ax");
    o.field(f.ay, "ay");
    o.field(f.speed, "speed");
    o.field(f.min_x, "min x");
    o.field(f.min_y, "min y");
    o.field(f.max_x, "max x");
    o.field(f.max_y, "max y");
    o.field(f.path_flag, "opponent index");
    o.field(f.side, "side");
    o.field(f.facing, "facing");
    o.field(f.stance, "stance");
    o.field(f.cur_image, "still image");
    o.field(f.edge_kill, "edge kill");
    o.field(f.kind, "kind");
    o.field(f.ticks, "ticks");
    o.field(f.path_value, "path step index");
    o.field(f.move_state, "move state");
    for (auto& row : f.weapon_snapshot) o.field(row, "weapon snapshot");
    o.field(f.scale, "scale");
    o.field(f.ai_weights, "ai weights");
    o.field(f.alpha, "alpha");
    o.image(f.last_image, "last image");
    o.field(f.drawn_dx, "drawn x offset");
    o.field(f.drawn_dy, "drawn y offset");
    o.field(f.fired_count, "fired frames");
    o.field(f.jump_rise, "jump");
    o.field(f.jump_fall, "jump fall");
    o.field(f.high_jump, "high jump");
    o.field(f.walk_speed, "walk");
    visit_keys(o, f.keys);
    visit_stack(o, f.stack);
    const uint32_t weapons = o.same_count(f.weapons.size(), "weapons");
    for (uint32_t i = 0; i < weapons && o.ok; i++) {
        weapon scratch;
        weapon& w = o.mode == PARSE ? scratch : *f.weapons[i];
        o.field(w.side, "weapon side");
        o.field(w.disabled, "weapon disabled");
        const uint32_t streams = o.same_count(w.streams.size(), "weapon streams");
        for (uint32_t j = 0; j < streams && o.ok; j++) {
            weapon_stream none{};
            weapon_stream& st = o.mode == PARSE ? none : w.streams[j];
            o.field(st.cooldown, "stream cooldown");
            o.field(st.blocking, "stream blocking");
        }
    }
    uint8_t has_path = f.path ? 1 : 0;
    o.field(has_path, "has path");
    if (o.mode != PARSE && (has_path != 0) != (f.path != nullptr)) o.ok = false;
    static path scratch;
    if (has_path && o.ok) visit_path(o, o.mode == PARSE ? scratch : *f.path);
}

void visit_combatant(io& o, combatant& c) {
    visit_lifeform(o, c);
    o.field(c.posture, "posture");
    o.field(c.action, "action");
    o.field(c.hit_posture, "hit posture");
    o.field(c.cur_priority, "priority");
    o.field(c.hits_in_row, "hits in a row");
    o.field(c.round_wins, "round wins");
    o.field(c.knockdown_streak, "knockdown streak");
    o.field(c.recovery_timer, "recovery timer");
    o.field(c.dash_angle, "dash angle");
    o.field(c.hit_time, "hit time");
    o.field(c.hits_landed, "hits landed");
    o.field(c.hits_taken, "hits taken");
    o.field(c.damage_taken, "damage taken");
    o.field(c.knockdowns, "knockdowns");
    o.field(c.damage_dealt, "damage dealt");
    o.field(c.early, "early");
    o.field(c.meters, "meters");
}

void visit_group_size(io& o, anim_group& g) {
    o.field(g.max_width, "group width");
    o.field(g.max_height, "group height");
}

// Projectiles: each is launched afresh by its shooter (the fighter on its side) and then
// given the saved state.
void visit_projectiles(io& o) {
    std::vector<combatant*>& list = Combatant_Manager.Objects;
    const uint32_t n = o.count(list.size() > 2 ? list.size() - 2 : 0, "projectiles");
    if (o.stores() && o.ok) {
        while (list.size() > 2) {
            delete list.back();
            list.pop_back();
        }
    }
    for (uint32_t i = 0; i < n && o.ok; i++) {
        scope_guard g(o, "projectile", (int)i);
        uint8_t side = o.mode == WRITE ? list[2 + i]->side : 0;
        o.field(side, "shooter");
        combatant* p = nullptr;
        if (o.mode == PARSE) {
            p = &scratch_fighter();
        } else if (o.mode == WRITE) {
            p = list[2 + i];
        } else {
            frame f;
            lifeform* shooter = side < 2 ? Combatant_Manager.Objects[side] : nullptr;
            p = shooter ? launch(shooter, &f) : nullptr;
            if (!p) {
                o.ok = false;
                return;
            }
        }
        visit_combatant(o, *p);
        anim_group* own = o.mode == PARSE || p->moves.empty() ? nullptr : p->moves[0];
        visit_group_size(o, own ? *own : scratch_group());
    }
}

// Hit effects: copies of the explosion template, made again when there are too few.
void visit_effects(io& o) {
    std::vector<anim_group*>& list = match_effects;
    const uint32_t n = o.count(list.size(), "effects");
    anim_group* tpl = current_match.res ? current_match.res->explosion : nullptr;
    if (o.stores() && o.ok) {
        while (list.size() > n) {
            delete list.back();
            list.pop_back();
        }
        while (list.size() < n && tpl) list.push_back(new anim_group(*tpl));
        if (list.size() != n) o.ok = false;
    }
    for (uint32_t i = 0; i < n && o.ok; i++) {
        scope_guard g(o, "effect", (int)i);
        anim_group& e = o.mode == PARSE ? scratch_group() : *list[i];
        o.field(e.offset_x, "effect x");
        o.field(e.offset_y, "effect y");
        o.field(e.facing, "effect facing");
        visit_group_size(o, e);
        visit_stack(o, e.stack);
    }
}

void visit_training(io& o) {
    scope_guard g(o, "training", -1);
    static training_session scratch;
    training_session& t = o.mode == PARSE ? scratch : training;
    o.field(t.player, "player's side");
    o.field(t.taken, "taken over");
    o.field(t.script_at, "script frame");
    o.field(t.behaviour, "behaviour");
    o.field(t.help, "help");
    o.field(t.overlays, "overlays");
    o.field(t.recorder, "recorder");
    const uint32_t n = o.count(t.recording.size(), "recorded frames");
    if (o.stores() && o.ok) t.recording.resize(n);
    for (uint32_t i = 0; i < n && o.ok; i++) {
        dummy_frame scratch;
        dummy_frame& f = o.mode == PARSE ? scratch : t.recording[i];
        o.field(f.vx, "recorded vx");
        o.field(f.vy, "recorded vy");
        o.field(f.command, "recorded command");
        o.field(f.combo, "recorded combo");
    }
    o.field(t.record_limit, "record limit");
    o.field(t.play_at, "playback frame");
    visit_keys(o, t.left_keys);
    o.field(t.fkeys, "function keys");
    o.field(t.player_keys, "player keys");
    for (input_log& l : t.inputs) {
        for (input_row& r : l.rows) {
            o.field(r.controls, "input controls");
            o.field(r.frames, "input frames");
            o.field(r.special, "input special");
            o.field(r.special_rows, "input special rows");
        }
        o.field(l.count, "input rows");
    }
    o.field(t.string_hits, "string hits");
    o.field(t.string_damage, "string damage");
    o.field(t.best_hits, "best hits");
    o.field(t.best_damage, "best damage");
    o.field(t.string_open, "string open");
    o.field(t.last_hit_frame, "last hit frame");
    o.field(t.hp_before, "hp before");
    o.field(t.hits_before, "hits before");
    advantage_meter& a = t.advantage;
    o.field(a.attacker, "advantage attacker");
    o.field(a.free_at, "advantage free at");
    o.field(a.result, "advantage result");
    o.field(a.measured, "advantage measured");
    o.field(t.overlap.x1, "overlap x1");
    o.field(t.overlap.y1, "overlap y1");
    o.field(t.overlap.x2, "overlap x2");
    o.field(t.overlap.y2, "overlap y2");
    o.field(t.overlap_frames, "overlap frames");
}

void visit_session(io& o) {
    scope_guard g(o, "replay session", -1);
    replay_position p = o.mode == WRITE ? replay_get_position() : replay_position();
    o.field(p.frame, "frame");
    o.field(p.clock_back, "clock back");
    o.field(p.rng, "random generator");
    o.field(p.next_input, "next input");
    o.field(p.next_check, "next check");
    o.field(p.inputs, "inputs recorded");
    o.field(p.checks, "checks recorded");
    o.field(p.diverged, "diverged");
    o.field(p.keys, "keys");
    o.field(p.joystick, "joystick");
    o.field(p.buttons, "joystick buttons");
    o.field(p.axes, "joystick axes");
    if (o.stores() && o.ok && o.session) replay_set_position(p);
}

void visit_match(io& o) {
    static match_state scratch_state;
    static level scratch_stage;
    static hard_ai_mind scratch_minds[2];
    match_state& m = o.mode == PARSE ? scratch_state : current_match;
    if (o.mode == PARSE) scratch_state.generation = current_match.generation;
    uint32_t magic = MAGIC;
    int32_t generation = m.generation;
    o.field(magic, "magic");
    o.field(generation, "set-up");
    if (magic != MAGIC || (o.mode != PARSE && generation != m.generation)) o.ok = false;
    if (o.mode != PARSE && Combatant_Manager.count() < 2) o.ok = false;
    const uint32_t images = o.same_count(o.t.images.size(), "pictures");
    const uint32_t defs = o.same_count(o.t.defs.size(), "definitions");
    if (!o.ok) return;
    // What a step writes and a restore must find unchanged or write back first.
    o.field(m.mode, "mode");
    o.field(m.end, "end");
    o.field(m.ko_counter, "knock-out counter");
    o.field(m.projectile_in_play, "projectile in play");
    o.field(m.frames, "frames");
    o.field(m.now, "now");
    o.field(m.block_frame, "block frame");
    o.field(m.round, "round");
    o.field(m.intro, "intro");
    o.field(m.best_combo, "best combo");
    o.field(m.held, "held");
    o.field(m.clock, "round clock");
    o.field(m.time_up, "time up");
    game_options& op = m.opts;
    int* opts[] = {&op.difficulty, &op.rounds, &op.life_style, &op.round_mode, &op.roster, &op.stage, &op.round_time};
    for (int* v : opts) o.field(*v, "options");
    if (level* lv = o.mode == PARSE && current_level ? &scratch_stage : current_level) {
        scope_guard g(o, "stage", -1);
        o.field(lv->x_offset, "camera x");
        o.field(lv->y_offset, "camera y");
        o.field(lv->zoom, "zoom");
        o.field(lv->shake, "shake");
        o.field(lv->flash, "flash");
        o.field(lv->flash_step, "flash step");
        o.field(lv->loading, "loading");
    }
    {
        scope_guard g(o, "shared pictures", -1);
        for (uint32_t i = 0; i < images && o.ok; i++) {
            img_mgr* im = o.mode == PARSE ? nullptr : o.t.images[i];
            uint8_t state[2] = {im ? im->mirrored : (uint8_t)0, im ? im->alpha : (uint8_t)0};
            o.field(state, "picture facing and opacity");
            if (!o.stores()) continue;
            if (im->mirrored != state[0]) im->flip();
            if (im->alpha != state[1]) im->set_alpha(state[1]);
        }
        static anim_mgr* none = new anim_mgr();
        for (uint32_t i = 0; i < defs && o.ok; i++) {
            anim_mgr* d = o.mode == PARSE ? none : o.t.defs[i];
            o.field(d->angle, "definition angle");
            o.field(d->mirrored, "definition facing");
            o.field(d->alpha, "definition opacity");
            o.field(d->cur_width, "definition width");
            o.field(d->cur_height, "definition height");
            o.field(d->owner_scale, "definition owner scale");
        }
        const uint32_t groups = o.same_count(o.t.groups.size(), "groups");
        for (uint32_t i = 0; i < groups && o.ok; i++)
            visit_group_size(o, o.mode == PARSE ? scratch_group() : *o.t.groups[i]);
    }
    for (int i = 0; i < 2 && o.ok; i++) {
        scope_guard g(o, "fighter", i);
        visit_combatant(o, o.mode == PARSE ? scratch_fighter() : *Combatant_Manager.Objects[(size_t)i]);
    }
    visit_projectiles(o);
    visit_effects(o);
    {
        scope_guard g(o, "computer", -1);
        for (hard_ai_mind& mind : o.mode == PARSE ? scratch_minds : hard_ai_minds) {
            int* v[] = {&mind.seen_attack, &mind.misses_block, &mind.since_attack, &mind.was_attacking,
                        &mind.walk_ins, &mind.walking_in, &mind.blocking, &mind.special_rest, &mind.strike_rest};
            for (int* x : v) o.field(*x, "mind");
        }
    }
    uint8_t trains = m.mode == MODE_TRAINING ? 1 : 0;
    o.field(trains, "training");
    if (trains) visit_training(o);
    visit_session(o);
}

} // namespace

void match_save(match_snapshot& out) {
    tables& t = tables_now();
    // Written in place over the buffer's room, then cut to what was written.
    out.bytes.resize(out.bytes.capacity() > 4096 ? out.bytes.capacity() : 16384);
    io o(WRITE, t);
    o.out = &out.bytes;
    visit_match(o);
    out.bytes.resize(o.at);
}

bool match_restore(const match_snapshot& in, bool with_session) {
    tables& t = tables_now();
    // A dry read first: a buffer that does not fit changes nothing.
    io check(PARSE, t);
    check.in = in.bytes.data();
    check.size = in.bytes.size();
    log_mute(true);
    visit_match(check);
    bool fits = check.ok && check.at == check.size;
    if (fits) {
        io o(READ, t);
        o.session = with_session;
        o.in = in.bytes.data();
        o.size = in.bytes.size();
        visit_match(o);
        fits = o.ok;
    }
    log_mute(false);
    return fits;
}

uint64_t match_checksum(const match_snapshot& s) {
    // Bytes 4-7 are the set-up's count in this process, which two machines need not share.
    uint64_t h = 14695981039346656037ULL;
    for (size_t i = 0; i < s.bytes.size(); i++)
        if (i < 4 || i >= 8) h = (h ^ s.bytes[i]) * 1099511628211ULL;
    return h;
}

uint64_t match_checksum() {
    static match_snapshot scratch;
    match_save(scratch);
    return match_checksum(scratch);
}

std::string match_difference(const match_snapshot& a, const match_snapshot& b) {
    std::vector<label> labels;
    io o(PARSE, tables_now());
    o.in = a.bytes.data();
    o.size = a.bytes.size();
    o.labels = &labels;
    log_mute(true);
    visit_match(o);
    log_mute(false);
    const size_t n = a.bytes.size() < b.bytes.size() ? a.bytes.size() : b.bytes.size();
    size_t at = 0;
    while (at < n && a.bytes[at] == b.bytes[at]) at++;
    if (at == n && a.bytes.size() == b.bytes.size()) return "";
    const label* found = nullptr;
    for (const label& l : labels)
        if (l.at <= at) found = &l;
    if (!found) return "the start";
    char text[160];
    if (found->index >= 0) snprintf(text, sizeof text, "%s %d: %s", found->scope, found->index, found->name);
    else snprintf(text, sizeof text, "%s: %s", found->scope, found->name);
    return text;
}
