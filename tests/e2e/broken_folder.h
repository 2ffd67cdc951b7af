// Scratch copies of the game folder broken the ways a careless modder or a bad disk breaks
// them: no pictures folder, media cut short, definition files full of noise, hostile numbers,
// an endless token, a settings "file" that is a folder. Every program must run on them,
// print its complaints and end normally.
#pragma once
#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <ostream>
#include <random>
#include <string>
#include <sys/stat.h>

#include "test_support.h"

namespace broken {

namespace fs = std::filesystem;

// Every regular file under dir whose extension is one of exts.
inline std::vector<std::string> files_with(const std::string& dir,
                                           std::initializer_list<const char*> exts) {
    std::vector<std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
        if (!e.is_regular_file()) continue;
        for (const char* x : exts)
            if (e.path().extension() == x) out.push_back(e.path().string());
    }
    std::sort(out.begin(), out.end());
    return out;
}

// A fresh copy of the game folder; quick settings keep a fightdemo match short.
inline void copy(const scratch_dir& d) {
    copy_game_folder(d.path);
    write_text(d.file("game/game.ini"), "fps=200\n");
}

inline void without_rsrc(const scratch_dir& d) {
    copy(d);
    fs::remove_all(d.file("rsrc"));
}

inline void media_cut_in_half(const scratch_dir& d) {
    copy(d);
    for (const std::string& f : files_with(d.path, {".png", ".ttf", ".ogg", ".wav"}))
        fs::resize_file(f, fs::file_size(f) / 2);
}

// Every definition file, the settings and controls included, becomes as many random bytes
// (the same bytes on every run).
inline void definitions_randomised(const scratch_dir& d) {
    copy(d);
    write_text(d.file("game/controls.ini"), std::string(600, ' '));
    std::mt19937 rng(12);
    for (const std::string& f : files_with(d.path, {".ini"})) {
        std::string bytes(fs::file_size(f), '\0');
        for (char& c : bytes) c = (char)(rng() & 0xFF);
        write_text(f, bytes);
    }
}

// Puts lines ahead of a file's own; the first entry of a key is the one read.
inline void prepend(const std::string& path, const std::string& lines) {
    write_text(path, lines + read_text(path));
}

// Negative counts, indices past the pictures, huge counts, a missing projectile move,
// negative and largest frame rates, spins, shakes and flashes, scales and speeds no screen
// could show.
inline void hostile_numbers(const scratch_dir& d) {
    copy(d);
    prepend(d.file("game/fighter/loading.ini"), "images=-5\n");
    prepend(d.file("game/fighter/expl.ini"), "images=1000000\n");
    prepend(d.file("rsrc/road/stage_road.ini"), "part0=99\nlength=1000000\npart0parallax=1000000\n");
    prepend(d.file("rsrc/road/road_bgset.ini"), "images=1000000\n");
    for (const std::string& f : files_with(d.file("game/fighter"), {".ini"})) {
        const std::string name = fs::path(f).filename().string();
        if (name.size() > 9 && name.compare(name.size() - 9, 9, "_char.ini") == 0) {
            std::string text = read_text(f), out;
            size_t at = 0;
            while (at < text.size()) {
                size_t end = text.find('\n', at);
                if (end == std::string::npos) end = text.size();
                std::string line = text.substr(at, end - at);
                if (line.compare(0, 7, "move13=") != 0) out += line + "\n";
                at = end + 1;
            }
            write_text(f, "combos=100000\ncombo0moves=1000000\nimages=-5\nhp=2147483647\nscale=1e30\n"
                          "speed=1e-30\nmove0scale=nan\nmove16scale=1e30\nmove17scale=-inf\n" + out);
        } else if (fs::path(f).parent_path() != fs::path(d.file("game/fighter"))) {
            prepend(f, "rate0=-3\nrate1=2147483647\nrate2=2147483647\nspin0=2147483647\n"
                       "rate3=-2147483648\nspin1=-2147483648\nshake0=-2147483648\nflash0=2147483647\n"
                       "flashrate0=-2147483648\nfirespeed0=1e39\n");
        }
    }
}

// A 100 000-character token, and a key whose value is as long, at the head of every
// definition file.
inline void long_tokens(const scratch_dir& d) {
    copy(d);
    const std::string token(100000, 'x');
    write_text(d.file("game/controls.ini"), "players=2\n");
    for (const std::string& f : files_with(d.path, {".ini"}))
        prepend(f, token + "\nimage0=" + token + " move0=" + token + "\n" + token + "=1\n");
}

inline void settings_is_a_folder(const scratch_dir& d) {
    copy(d);
    fs::remove(d.file("game/game.ini"));
    make_dirs(d.file("game/game.ini"));
}

// Files replaced by pipes (never written to, so a read would wait for ever) and definition
// entries naming /dev/zero (a read would never end).
inline void devices_and_pipes(const scratch_dir& d) {
    copy(d);
    std::vector<std::string> pipes = {"game/game.ini", "game/controls.ini", "tahoma.ttf",
                                      "rsrc/loading/loading_0.png"};
    for (const std::string& f : files_with(d.file("rsrc"), {".ogg", ".wav"}))
        pipes.push_back(f.substr(d.path.size() + 1));
    for (const std::string& f : pipes) {
        fs::remove(d.file(f));
        mkfifo(d.file(f).c_str(), 0644);
    }
    prepend(d.file("rsrc/road/stage_road.ini"), "bgset=/dev/zero\n");
    prepend(d.file("rsrc/road/road_bgset.ini"), "image0=/dev/zero\n");
    for (const char* f : {"game/fighter/mirelle_char.ini", "game/fighter/tamsin_char.ini"})
        prepend(d.file(f), "move0=/dev/zero\nimage0=/dev/zero\n");
    prepend(d.file("game/fighter/tamsin/tamsin_jump_punch.ini"), "image0=/dev/zero\nsound0=/dev/zero\n");
}

struct variant {
    const char* name;
    void (*make)(const scratch_dir&);
};
inline void PrintTo(const variant& v, std::ostream* os) { *os << v.name; }

inline const std::vector<variant>& variants() {
    static const std::vector<variant> all = {
        {"WithoutRsrc", without_rsrc},           {"MediaCutInHalf", media_cut_in_half},
        {"DefinitionsRandomised", definitions_randomised}, {"HostileNumbers", hostile_numbers},
        {"LongTokens", long_tokens},             {"SettingsIsAFolder", settings_is_a_folder},
        {"DevicesAndPipes", devices_and_pipes}};
    return all;
}

// Frame rates a settings file may hold that no screen can keep (or only just): what each
// program makes of the value, and the rate it then runs at.
struct frame_rate {
    const char* name;
    const char* value;      // as written after "fps="
    int used;               // the rate the program runs at
    const char* warning;    // the WARNING line, or null for none
    const char* setting;    // the "Setting fps to" line, or null when the default stays
};
inline void PrintTo(const frame_rate& f, std::ostream* os) { *os << f.name; }

inline const std::vector<frame_rate>& frame_rates() {
    static const std::vector<frame_rate> all = {
        {"Minus1", "-1", 60, "WARNING: fps [-1] is no usable frame rate, using [60]\n", nullptr},
        {"Zero", "0", 60, "WARNING: fps [0] is no usable frame rate, using [60]\n", nullptr},
        {"One", "1", 1, nullptr, "Setting fps to [1]\n"},
        {"Above200", "201", 200, "WARNING: fps [201] is more than the frame limiter keeps, using [200]\n",
         "Setting fps to [200]\n"},
        {"IntMax", "2147483647", 60, "WARNING: fps [2147483647] is no usable frame rate, using [60]\n",
         nullptr},
        {"Text", "fast", 60, "WARNING: fps [fast] is no usable frame rate, using [60]\n", nullptr}};
    return all;
}

inline void with_frame_rate(const scratch_dir& d, const frame_rate& f) {
    copy_game_folder(d.path);
    write_text(d.file("game/game.ini"), std::string("fps=") + f.value + "\n");
}

inline void expect_frame_rate_lines(const std::string& out, const frame_rate& f) {
    if (f.warning) {
        EXPECT_NE(out.find(f.warning), std::string::npos) << f.warning;
    } else {
        EXPECT_EQ(out.find("WARNING: fps"), std::string::npos);
    }
    if (f.setting) {
        EXPECT_EQ(count_occurrences(out, f.setting), 1) << f.setting;
    } else {
        EXPECT_EQ(out.find("Setting fps to"), std::string::npos);
    }
}

// Sends SIGTERM (which SDL turns into the quit event of a closed window) and gives the
// milliseconds until the program has printed `line`, -1 if it never does.
inline int ms_until_after_quit(running_program& p, const std::string& line) {
    const auto sent = std::chrono::steady_clock::now();
    p.signal(SIGTERM);
    if (!p.wait_for(line, 30000)) return -1;
    return (int)std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - sent)
        .count();
}

// The last lines of a program that shut down in order.
inline void expect_clean_shutdown(const run_result& r) {
    EXPECT_EQ(r.exit_code, 0) << r.err.substr(r.err.size() > 3000 ? r.err.size() - 3000 : 0);
    EXPECT_FALSE(r.timed_out);
    size_t clean = r.out.rfind("Cleaning Image_Manager Cache\n");
    EXPECT_NE(clean, std::string::npos);
    if (clean != std::string::npos) {
        EXPECT_NE(r.out.find("Done\n", clean), std::string::npos);
    }
}

} // namespace broken
