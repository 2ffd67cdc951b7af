#include "roster.h"

#include <cstdio>
#include <deque>
#include <string>

#include "fighter_table.h"
#include "foundation/config_file.h"
#include "foundation/log.h"
#include "foundation/safe_file.h"
#include "images/file_check.h"
#include "world/fighter_file.h"

const char* const ROSTER_FILE = "game/roster.ini";

static const int MOST_ADDED = FIGHTERS_MAX - 4;
static std::deque<std::string> texts; // the added rows' texts; a deque keeps them in place

void clear_roster() {
    for (int i = built_in_fighters; i < fighter_count; i++) fighter_table[i] = fighter_info{};
    fighter_count = built_in_fighters;
    texts.clear();
}

// A kept copy of a text, or null for the empty one.
static const char* keep(const char* text) {
    if (!*text) return nullptr;
    texts.emplace_back(text);
    return texts.back().c_str();
}

int load_roster(const char* path) {
    clear_roster();
    if (!regular_file(path)) return 0;
    config_file cfg;
    cfg.load(path);
    int rows = cfg.get_int("fighters");
    int added = 0;
    char key[64];
    for (int i = 0; i < rows && i < MOST_ADDED && fighter_count < FIGHTERS_MAX; i++) {
        snprintf(key, sizeof key, "fighter%dname", i);
        std::string name = cfg.get_string(key);
        for (char& c : name)
            if (c == '_') c = ' ';
        snprintf(key, sizeof key, "fighter%dfile", i);
        const char* file = cfg.get_string(key);
        if (name.empty() || !regular_file(file)) {
            log_out("WARNING: roster fighter [%d] has no name or no fighter file [%s], skipped\n", i, file);
            continue;
        }
        fighter_info& f = fighter_table[fighter_count++];
        f.name = keep(name.c_str());
        f.file = keep(file);
        snprintf(key, sizeof key, "fighter%dshot", i);
        f.action_shot = keep(cfg.get_string(key));
        snprintf(key, sizeof key, "fighter%dportrait", i);
        f.portrait = keep(cfg.get_string(key));
        snprintf(key, sizeof key, "fighter%dsmall", i);
        f.small_portrait = keep(cfg.get_string(key));
        log_out("Roster: adding fighter [%s] from [%s]\n", f.name, f.file);
        added++;
    }
    return added;
}

void check_roster_file(check_report& report, const std::string& path) {
    file_check c(report, path);
    if (!c.opened()) return;
    long rows = 0;
    c.whole("fighters", 0, MOST_ADDED, &rows);
    rows = c.capped(rows);
    char key[64];
    for (int i = 0; i < rows; i++) {
        snprintf(key, sizeof key, "fighter%dname", i);
        if (!c.known(key)) c.problem(c.line_of("fighters"), "fighter %d has no \"%s\"", i, key);
        snprintf(key, sizeof key, "fighter%dfile", i);
        if (!c.config().has(key)) c.problem(c.line_of("fighters"), "fighter %d has no \"%s\"", i, key);
        std::string file = c.file(key);
        if (!file.empty() && report.first_look(file)) check_fighter_file(report, file);
        snprintf(key, sizeof key, "fighter%dshot", i);
        c.picture(key);
        snprintf(key, sizeof key, "fighter%dportrait", i);
        c.picture(key);
        snprintf(key, sizeof key, "fighter%dsmall", i);
        c.picture(key);
    }
    const char* patterns[] = {"fighter%dname", "fighter%dfile", "fighter%dshot", "fighter%dportrait",
                              "fighter%dsmall"};
    for (const char* p : patterns) c.beyond(p, "fighters");
    c.finish();
}
