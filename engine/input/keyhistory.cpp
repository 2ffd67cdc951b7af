#include "input/keyhistory.h"

#include <SDL.h>
#include <cstdint>

#include "foundation/clock.h"
#include "foundation/log.h"
#include "input/control_mgr.h"
#include "input/key_source.h"

static const char* state_name(int value) {
    if (value == 0) return "Unpressed";
    if (value == 1) return "Pressed";
    return "Undefined";
}

static bool within(int low, int t, int high) {
    return (unsigned)low <= (unsigned)t && (unsigned)t <= (unsigned)high;
}

void keyhistory::import_combos(combo_list* list) {
    // Combos in progress point into the list they came from; another list ends them.
    if (list != combos) scratch.clear();
    combos = list;
    log_out("Getting ready to import combos\n");
    if (!list) return;
    for (combo& c : *list) {
        c.min_total = 0;
        c.max_total = 0;
        log_out("Importing combo\n");
        for (const control_stage* st : c.stages) {
            if (!st) continue;
            log_out("min[%d] + [%d] max[%d] + [%d] [%s]\n", c.min_total, st->min_delay, c.max_total,
                    st->max_delay, st->name ? st->name : "");
            c.min_total += st->min_delay;
            c.max_total += st->max_delay;
            log_out("Press: ");
            for (const press_record* p : st->presses) {
                if (!p) continue;
                bool known = false;
                for (const press_record& t : tracked)
                    if (t.key == p->key) known = true;
                if (!known) tracked.push_back(*p);
                log_out("[%d/%d], ", p->key, p->state);
            }
            log_out(" between [%d]-[%d] to advance\n", st->min_delay, st->max_delay);
        }
        log_out("Move Complete\n");
        log_out("Combo time[%d-%d] for move [%d]\n", c.min_total, c.max_total, c.move);
        if ((unsigned)c.max_total > maxkeep) {
            log_out("Update maxkeep from [%d] to [%d]\n", (int)maxkeep, c.max_total);
            maxkeep = (unsigned)c.max_total;
        }
    }
    // Room for a busy stretch of play, so appending rarely reallocates during a match.
    history.reserve(64);
    scratch.reserve(16);
}

int keyhistory::update() {
    clock = (int)clock_ticks();
    int numkeys = 0;
    const Uint8* keys = key_source_state(&numkeys);
    int changes = 0;
    for (press_record& t : tracked) {
        int code = mirrored ? t.mirrored_key : t.key;
        // A key code beyond SDL's table (a hand-edited controls file) is never pressed.
        int value = (keys && code >= 0 && code < numkeys) ? keys[code] : 0;
        int old = t.state ? 1 : 0;
        int now = value ? 1 : 0;
        if (now == old) continue;
        if (debug)
            log_out("Update key state for [%d][%s] to [%d][%s] was [%d] @ [%d]\n", t.key,
                    key_name(t.key), value, state_name(value), old, clock);
        t.state = (uint8_t)now;
        history.push_back(history_entry{t.key, clock, (uint8_t)now});
        changes++;
        changed = 1;
        start_test(history.back());
    }
    return changes;
}

void keyhistory::start_test(const history_entry& e) {
    if (!combos) return;
    for (combo& c : *combos) {
        if (c.stages.empty() || !c.stages[0]) continue;
        const control_stage& first = *c.stages[0];
        size_t matching = 0;
        for (const press_record* p : first.presses)
            if (p && p->key == e.key && p->state == e.state) matching++;
        if (!first.presses.empty() && matching < first.presses.size()) continue;
        unsigned expiration = (unsigned)(clock + first.max_delay);
        scratch.push_back(cmboscrtch{&c, 0, expiration, clock});
        if (debug) log_out("Is the start of combo(move)[%d] expire@[%d]\n", c.move, (int)expiration);
    }
}

int keyhistory::find_in_history(const press_record& p, int low, int high) const {
    if (debug)
        log_out("do we have [%d|%d=%d] in keyhistory between [%d-%d]\n", p.key, p.mirrored_key,
                p.state, low, high);
    if (history.empty()) return 0;
    // A match needs the state before it (of any key) to equal the wanted state.
    int previous = 1, last_key_state = 1;
    for (const history_entry& e : history) {
        if (e.key == p.key) {
            last_key_state = e.state;
            if (within(low, e.time, high) && p.state == previous) {
                if (debug)
                    log_out("Found key [%d]/[%d] inbetween [%d-%d] @ [%d]\n", e.key, p.state, low,
                            high, e.time);
                return e.time;
            }
        }
        previous = e.state;
    }
    // The newest change is this key's: it counts at the current time when its state fits.
    if (history.back().key != p.key) return 0;
    if (debug)
        log_out("Well last key state was press. Need [%d] was [%d] and [%d<=%d<=%d]\n", p.state,
                last_key_state, low, clock, high);
    if (p.state == last_key_state && within(low, clock, high)) {
        if (debug)
            log_out("Well last state was [%d]==[%d], min[%d]<@[%d]<max[%d]\n", last_key_state,
                    p.state, low, clock, high);
        return clock;
    }
    return 0;
}

int keyhistory::stage_match(const combo& c, int i, int last_time) const {
    if (i < 0 || i >= (int)c.stages.size() || !c.stages[(size_t)i]) return 0;
    const control_stage& st = *c.stages[(size_t)i];
    int low = last_time + st.min_delay, high = last_time + st.max_delay;
    int found = 0, latest = 0;
    for (const press_record* p : st.presses) {
        if (!p) continue;
        int t = find_in_history(*p, low, high);
        if (t == 0) continue;
        found++;
        if (t > latest) latest = t;
    }
    if (debug)
        log_out("  history has [%d] of [%d] required for stage[%d]\n", found, (int)st.presses.size(), i);
    if (!st.presses.empty() && found < (int)st.presses.size()) return 0;
    return latest;
}

int keyhistory::check_combos() {
    // Drop what no combo can still use; an entry exactly maxkeep old stays.
    int64_t oldest = (int64_t)clock - (int64_t)maxkeep;
    size_t kept = 0;
    for (const history_entry& e : history)
        if (e.time >= oldest) history[kept++] = e;
    history.resize(kept);

    if (!changed) return -1;

    for (size_t i = 0; i < scratch.size();) {
        cmboscrtch& s = scratch[i];
        if (debug) log_out("scratch check for [%d], expires [%d]\n", s.stage, (int)s.expiration);
        if (s.expiration < (unsigned)clock) {
            if (debug)
                log_out("no good, erasing cmboscrtch.expiration[%d]< clock[%d]\n", (int)s.expiration, clock);
            scratch.erase(scratch.begin() + (long)i);
            continue;
        }
        const combo& c = *s.move_combo;
        int stages = (int)c.stages.size();
        if (s.stage >= stages) { // started complete by the computer opponent
            if (debug) log_out("*    Execute move\n");
            s.expiration = 0;
            return c.move;
        }
        int f = stage_match(c, s.stage, s.last_time);
        if (f == 0) {
            i++;
            continue;
        }
        if (debug) log_out("   Advancing stage [%d+1==%d] [%d]\n", s.stage, stages, f);
        s.stage++;
        s.last_time = f;
        if (debug) log_out("last move? [%d==%d]\n", s.stage, stages);
        if (s.stage == stages) {
            // The rest of the scratch list waits for the next check; changed stays set.
            if (debug) log_out("*    Execute move\n");
            s.expiration = 0;
            return c.move;
        }
        const control_stage* next = c.stages[(size_t)s.stage];
        s.expiration = (unsigned)(f + (next ? next->max_delay : 0));
        i++;
    }
    changed = 0;
    return -1;
}

void keyhistory::start_combo_now(combo* c) {
    if (!c) return;
    int now = (int)clock_ticks();
    scratch.push_back(cmboscrtch{c, (int)c->stages.size(), (unsigned)now + 1u, now});
    // The entry is meant to fire at the next check. Without marking the history changed, the
    // check would skip the scratch list unless some tracked key happened to change in the same
    // millisecond, so a computer fighter's specials would almost never start.
    changed = 1;
}
