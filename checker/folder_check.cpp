#include "folder_check.h"

#include <dirent.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "animation/anim_mgr.h"
#include "colour_swaps.h"
#include "fighter_table.h"
#include "foundation/safe_file.h"
#include "images/file_check.h"
#include "input/control_mgr.h"
#include "replay_file.h"
#include "roster.h"
#include "stage_choice.h"
#include "game_options.h"
#include "world/fighter_file.h"
#include "world/level.h"

static const char* const RECORDINGS = "game/replays";
static const char* const CONTROLS_FILE = "game/controls.ini";
static const char* const SHARED_ANIMATIONS[] = {"game/fighter/loading.ini", "game/fighter/expl.ini"};

std::string problem_line(const check_problem& p) {
    return p.file + ":" + std::to_string(p.line) + ": " + p.message;
}

// The line (from 1) of a recording that begins with key=, 0 when none does.
static int line_of_key(const std::string& file, const std::string& key) {
    FILE* f = fopen(file.c_str(), "rb");
    if (!f) return 0;
    char text[512];
    int line = 0, found = 0;
    bool at_start = true;
    while (!found && fgets(text, sizeof text, f)) {
        if (at_start) line++;
        if (at_start && strncmp(text, key.c_str(), key.size()) == 0) found = line;
        at_start = strchr(text, '\n') != nullptr;
    }
    fclose(f);
    return found;
}

// Every recording: one the game would refuse (damaged, from another version, naming a
// fighter or stage this game does not have) is a problem.
static void check_recordings(check_report& report) {
    std::vector<std::string> names;
    if (DIR* d = opendir(RECORDINGS)) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.') names.push_back(std::string(RECORDINGS) + "/" + e->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        if (!regular_file(name.c_str())) continue;
        report.files++;
        replay_record rec;
        std::string error;
        int line = 0;
        if (replay_load(name.c_str(), rec, error, &line)) {
            for (int i = 0; i < 2; i++) {
                bool known = false;
                for (int f = 0; f < fighter_count; f++) known = known || rec.fighter[i] == fighter_table[f].file;
                const std::string key = "fighter" + std::to_string(i) + "=";
                if (!known)
                    report.add(name, line_of_key(name, key), "recording names fighter \"%s\", which this game does not have",
                               rec.fighter[i].c_str());
            }
            if (!known_stage(rec.stage.c_str()))
                report.add(name, line_of_key(name, "stage="), "recording names stage \"%s\", which this game does not have",
                           rec.stage.c_str());
            continue;
        }
        const std::string prefix = name + ": ";
        if (error.compare(0, prefix.size(), prefix) == 0) error.erase(0, prefix.size());
        report.add(name, line, "recording refused: %s", error.c_str());
    }
}

void check_game_folder(check_report& report) {
    check_settings_file(report, "game/game.ini");
    if (regular_file(CONTROLS_FILE)) check_controls_file(report, CONTROLS_FILE);
    for (const char* a : SHARED_ANIMATIONS)
        if (report.first_look(a)) check_anim_file(report, a);
    for (int i = 0; i < built_in_fighters; i++)
        if (report.first_look(fighter_table[i].file)) check_fighter_file(report, fighter_table[i].file);
    check_colour_swap_file(report, COLOUR_SWAP_FILE);
    for (const char* s : stage_files)
        if (report.first_look(s)) check_stage_file(report, s);
    if (regular_file(ROSTER_FILE)) check_roster_file(report, ROSTER_FILE);
    load_roster(ROSTER_FILE); // recordings may name the fighters it adds
    check_recordings(report);
}
