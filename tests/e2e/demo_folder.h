// A scratch copy of the game folder for fightdemo, optionally tuned so that a whole
// computer-against-computer match is over in a minute or two: 200 frames per second, a
// narrow road so the two computers meet, and fighters that fall to a single hit.
#pragma once
#include <dirent.h>

#include <algorithm>
#include <string>
#include <vector>

#include "test_support.h"

inline void write_settings(const scratch_dir& dir, const std::string& settings) {
    write_text(dir.file("game/game.ini"), settings);
}

// Replaces the value of key in a definition file of the copy.
inline void set_key(const scratch_dir& dir, const std::string& file, const std::string& key,
                    const std::string& value) {
    std::string text = read_text(dir.file(file)), out;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        if (line.compare(0, key.size() + 1, key + "=") == 0) line = key + "=" + value;
        out += line + "\n";
        at = end + 1;
    }
    write_text(dir.file(file), out);
}

inline void make_quick_match(const scratch_dir& dir) {
    write_settings(dir, "fps=200\n");
    set_key(dir, "rsrc/road/road_bgset.ini", "width", "450");
    for (const char* f : {"game/fighter/tamsin_char.ini", "game/fighter/mirelle_char.ini"}) {
        set_key(dir, f, "hp", "0");
        set_key(dir, f, "speed", "0.5");
    }
}

// The recordings in the copy's replay folder, sorted.
inline std::vector<std::string> replays_in(const scratch_dir& dir) {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.file("game/replays").c_str())) {
        while (struct dirent* e = readdir(d))
            if (e->d_name[0] != '.') names.push_back(e->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Where text appears in out, npos when it does not.
inline size_t find_from(const std::string& out, const std::string& text, size_t from = 0) {
    return from == std::string::npos ? std::string::npos : out.find(text, from);
}

// The lines every end of a fightdemo match prints, in order, after the last round.
inline void expect_match_unloaded_and_done(const std::string& out) {
    size_t p = out.rfind("Loop finished\n");
    ASSERT_NE(p, std::string::npos);
    for (const char* line : {"Level Unloaded\n", "Level Deleted\n", "Clearing Gameobjects\n",
                             "MAIN MENU:\n", "Cleaning Image_Manager Cache\n", "Done\n"}) {
        size_t q = find_from(out, line, p);
        EXPECT_NE(q, std::string::npos) << line;
        p = q;
    }
}
