#include "replay_file.h"

#include <SDL.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "foundation/safe_file.h"
#include "input/control_mgr.h"

enum { MODE_FIRST = 1, MODE_LAST = 5 }; // arcade .. training
static const size_t MAX_REPLAY_BYTES = 64u << 20;
static const int MAX_FRAMES = 100000000;

// ---------------------------------------------------------------------------------------
// Reading

namespace {

struct line_reader {
    const char* p;
    const char* end;
    int number = 0;
};

// Whole-text integer in [low, high]; false for anything else.
bool to_int(const std::string& s, long low, long high, long& out) {
    if (s.empty() || s.size() > 20) return false;
    char* e = nullptr;
    errno = 0;
    long long v = strtoll(s.c_str(), &e, 10);
    if (errno || *e || v < low || v > high) return false;
    out = (long)v;
    return true;
}

bool frame_of(const std::string& key, long& frame) {
    return to_int(key.substr(1), 1, MAX_FRAMES, frame);
}

// "k" line tokens: "<code>+", "<code>-", "b<n>+", "b<n>-", "a<n>:<value>".
bool parse_inputs(int frame, const std::string& v, std::vector<replay_input>& out) {
    size_t at = 0;
    while (at < v.size()) {
        while (at < v.size() && v[at] == ' ') at++;
        if (at >= v.size()) break;
        size_t e = v.find(' ', at);
        if (e == std::string::npos) e = v.size();
        std::string t = v.substr(at, e - at);
        at = e;
        long n = 0, value = 0;
        if (t[0] == 'a') {
            size_t colon = t.find(':');
            if (colon == std::string::npos || !to_int(t.substr(1, colon - 1), 0, 1, n) ||
                !to_int(t.substr(colon + 1), -32768, 32767, value))
                return false;
            out.push_back(replay_input{frame, REPLAY_AXIS0 + (int)n, (int)value});
            continue;
        }
        char sign = t.back();
        if (t.size() < 2 || (sign != '+' && sign != '-')) return false;
        value = sign == '+';
        if (t[0] == 'b') {
            if (!to_int(t.substr(1, t.size() - 2), 0, 3, n)) return false;
            out.push_back(replay_input{frame, REPLAY_BUTTON0 + (int)n, (int)value});
        } else {
            if (!to_int(t.substr(0, t.size() - 1), 0, REPLAY_KEYS - 1, n)) return false;
            out.push_back(replay_input{frame, (int)n, (int)value});
        }
    }
    return true;
}

// "d" line: vx,vy,command,combo.
bool parse_decision(const std::string& v, replay_decision& d) {
    long n[4];
    size_t at = 0;
    for (int i = 0; i < 4; i++) {
        size_t e = i < 3 ? v.find(',', at) : v.size();
        if (e == std::string::npos || !to_int(v.substr(at, e - at), i < 2 ? -127 : -1, 127, n[i])) return false;
        at = e + 1;
    }
    d.vx = (int8_t)n[0], d.vy = (int8_t)n[1], d.command = (int8_t)n[2], d.combo = (int8_t)n[3];
    return true;
}

bool parse_check(int frame, const std::string& v, replay_check& c) {
    c.frame = frame;
    long n[10];
    size_t at = 0;
    for (int i = 0; i < 10; i++) {
        char want = i == 4 ? ' ' : i == 9 ? '\0' : ',';
        size_t e = want ? v.find(want, at) : v.size();
        if (e == std::string::npos) return false;
        if (!to_int(v.substr(at, e - at), -2147483647L, 2147483647L, n[i])) return false;
        at = e + 1;
    }
    for (int s = 0; s < 2; s++)
        c.f[s] = replay_fighter_state{(int)n[s * 5], (int)n[s * 5 + 1], (int)n[s * 5 + 2],
                                      (int)n[s * 5 + 3], (int)n[s * 5 + 4]};
    return true;
}

int control_index(const char* name) {
    for (int i = 0; i < CONTROL_COUNT; i++)
        if (strcmp(control_names[i], name) == 0) return i;
    return -1;
}

// A path the game may open: relative, inside the game folder, plain characters.
bool plain_path(const std::string& s) {
    if (s.empty() || s.size() > 200 || s[0] == '/' || s.find("..") != std::string::npos) return false;
    for (char ch : s)
        if ((unsigned char)ch < 32) return false;
    return true;
}

} // namespace

bool replay_parse(const char* text, size_t size, replay_record& out, std::string& error, int* error_line) {
    out = replay_record();
    line_reader r{text, text + size};
    int unused_line = 0;
    int& at_line = error_line ? *error_line : unused_line;
    bool seen_replay = false, seen_frames = false, seen_result = false;
    int header = 0; // required header keys seen, as bits
    long script_frames = 0;
    std::vector<std::pair<long, replay_decision>> changes; // the script's "d" lines
    char why[160];
    auto damaged = [&](const char* what) {
        snprintf(why, sizeof why, "damaged replay (line %d: %s)", r.number, what);
        error = why;
        at_line = r.number;
        return false;
    };
    while (r.p < r.end) {
        const char* nl = (const char*)memchr(r.p, '\n', (size_t)(r.end - r.p));
        const char* stop = nl ? nl : r.end;
        std::string line(r.p, (size_t)(stop - r.p));
        r.p = nl ? nl + 1 : r.end;
        r.number++;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        if (line.size() > 8192) return damaged("line too long");
        if (memchr(line.data(), 0, line.size())) {
            if (!seen_replay) break;
            return damaged("not text");
        }
        size_t eq = line.find('=');
        if (eq == std::string::npos || eq == 0) {
            if (!seen_replay) break;
            return damaged("no key=value");
        }
        std::string key = line.substr(0, eq), v = line.substr(eq + 1);
        long n = 0;
        if (!seen_replay) {
            if (key != "replay") break;
            if (!to_int(v, 1, 2147483647L, n)) return damaged("version");
            if (n > REPLAY_VERSION) {
                snprintf(why, sizeof why,
                         "made by a newer version of the game (replay version %ld, this game reads %d)",
                         n, REPLAY_VERSION);
                error = why;
                at_line = r.number;
                return false;
            }
            out.version = (int)n;
            seen_replay = true;
            continue;
        }
        if (key[0] == 'k' && key.size() > 1 && isdigit((unsigned char)key[1])) {
            long frame = 0;
            if (!frame_of(key, frame) || !parse_inputs((int)frame, v, out.inputs)) return damaged("key change");
        } else if (key[0] == 'c' && key.size() > 1 && isdigit((unsigned char)key[1])) {
            long frame = 0;
            replay_check c;
            if (!frame_of(key, frame) || !parse_check((int)frame, v, c)) return damaged("check line");
            out.checks.push_back(c);
        } else if (key[0] == 'd' && key.size() > 1 && isdigit((unsigned char)key[1])) {
            long frame = 0;
            replay_decision d;
            if (!frame_of(key, frame) || !parse_decision(v, d)) return damaged("script line");
            changes.push_back({frame, d});
        } else if (key == "takeover" || key == "taken" || key == "script") {
            if (!to_int(v, 0, key == "taken" ? 1 : key == "script" ? REPLAY_SCRIPT_MAX : MAX_FRAMES, n))
                return damaged(key.c_str());
            if (key == "script") script_frames = n;
            else (key == "takeover" ? out.takeover : out.taken) = (int)n;
        } else if (key.compare(0, 6, "player") == 0 && key.find("control") != std::string::npos) {
            size_t at = key.find("control");
            long p = 0;
            int c = control_index(key.c_str() + at + 7);
            if (!to_int(key.substr(6, at - 6), 0, MAX_CONTROL_PLAYERS - 1, p) || c < 0 ||
                !to_int(v, 0, REPLAY_KEYS - 1, n))
                return damaged("binding");
            out.bindings.push_back(replay_binding{(int)p, c, (int)n});
        } else if (key == "mode") {
            if (!to_int(v, MODE_FIRST, MODE_LAST, n)) return damaged("mode");
            out.mode = (int)n, header |= 1;
        } else if (key == "reqwins") {
            if (!to_int(v, 0, 99, n)) return damaged("reqwins");
            out.required_wins = (int)n, header |= 2;
        } else if (key == "difficulty" || key == "lifestyle" || key == "roundmode") {
            if (!to_int(v, 0, key == "difficulty" ? 2 : 1, n)) return damaged(key.c_str());
            (key == "difficulty" ? out.difficulty : key == "lifestyle" ? out.life_style : out.round_mode) = (int)n;
        } else if (key == "roster" || key == "stagechoice") {
            if (!to_int(v, 0, key == "roster" ? 1 : 2, n)) return damaged(key.c_str());
            (key == "roster" ? out.roster : out.stage_option) = (int)n;
        } else if (key == "roundtime") {
            if (!to_int(v, 0, 99, n)) return damaged("roundtime");
            out.round_time = (int)n;
        } else if (key == "fps") {
            if (!to_int(v, 1, 1000, n)) return damaged("fps");
            out.fps = (int)n, header |= 4;
        } else if (key == "seed") {
            if (!to_int(v, 0, 4294967295L, n)) return damaged("seed");
            out.seed = (uint32_t)n, header |= 8;
        } else if (key == "width" || key == "height") {
            if (!to_int(v, 1, 16384, n)) return damaged(key.c_str());
            (key == "width" ? out.width : out.height) = (int)n;
        } else if (key == "fighter0" || key == "fighter1") {
            if (!plain_path(v)) return damaged("fighter");
            out.fighter[key[7] - '0'] = v, header |= key[7] == '0' ? 16 : 32;
        } else if (key == "recolour0" || key == "recolour1") {
            if (!to_int(v, 0, 1, n)) return damaged("recolour");
            out.recolour[key[8] - '0'] = (int)n;
        } else if (key == "note") {
            out.note = v;
        } else if (key == "stage") {
            if (!plain_path(v)) return damaged("stage");
            out.stage = v, header |= 64;
        } else if (key == "players") {
            if (!to_int(v, 0, MAX_CONTROL_PLAYERS, n)) return damaged("players");
            out.players = (int)n;
        } else if (key == "joystick") {
            if (!to_int(v, 0, 1, n)) return damaged("joystick");
            out.joystick = (int)n;
        } else if (key == "frames") {
            if (!to_int(v, 0, MAX_FRAMES, n)) return damaged("frames");
            out.frames = (int)n, seen_frames = true;
        } else if (key == "result") {
            if (v != "decided" && v != "abandoned") return damaged("result");
            out.abandoned = v == "abandoned", seen_result = true;
        }
        // Other keys are notes for people; they are skipped.
    }
    if (!seen_replay) {
        error = "not a replay file";
        at_line = 1;
        return false;
    }
    if ((header & 127) != 127 || !seen_frames || !seen_result) {
        r.number++;
        return damaged("set-up incomplete");
    }
    // The script, one decision a frame from the frame after the takeover.
    if ((!changes.empty() || script_frames) && !out.takeover) return damaged("script without a takeover");
    std::stable_sort(changes.begin(), changes.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    out.script.resize((size_t)script_frames);
    replay_decision now;
    size_t next = 0;
    for (long f = 0; f < script_frames; f++) {
        for (; next < changes.size() && changes[next].first <= out.takeover + 1 + f; next++) {
            if (changes[next].first <= out.takeover) return damaged("script line before the takeover");
            now = changes[next].second;
        }
        out.script[(size_t)f] = now;
    }
    if (next < changes.size()) return damaged("script line after the script");
    auto by_frame = [](const auto& a, const auto& b) { return a.frame < b.frame; };
    std::stable_sort(out.inputs.begin(), out.inputs.end(), by_frame);
    std::stable_sort(out.checks.begin(), out.checks.end(), by_frame);
    return true;
}

bool replay_load(const char* file, replay_record& out, std::string& error, int* error_line) {
    std::string name = file ? file : "";
    if (!file || !regular_file(file)) {
        error = name + ": no such replay file";
        return false;
    }
    FILE* f = fopen(file, "rb");
    if (!f) {
        error = name + ": cannot be read";
        return false;
    }
    std::string text;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) {
        text.append(buf, n);
        if (text.size() > MAX_REPLAY_BYTES) break;
    }
    fclose(f);
    if (text.size() > MAX_REPLAY_BYTES) {
        error = name + ": too large for a replay file";
        return false;
    }
    if (!replay_parse(text.data(), text.size(), out, error, error_line)) {
        error = name + ": " + error;
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------
// Writing

static void append_check(std::string& t, const replay_check& c) {
    char line[256];
    snprintf(line, sizeof line, "c%d=%d,%d,%d,%d,%d %d,%d,%d,%d,%d\n", c.frame, c.f[0].x, c.f[0].y,
             c.f[0].life, c.f[0].action, c.f[0].move, c.f[1].x, c.f[1].y, c.f[1].life, c.f[1].action,
             c.f[1].move);
    t += line;
}

std::string replay_format(const replay_record& r) {
    std::string t;
    char line[512];
    snprintf(line, sizeof line,
             "replay=%d\nmode=%d\nreqwins=%d\ndifficulty=%d\nlifestyle=%d\nroundmode=%d\nroster=%d\n"
             "stagechoice=%d\nfps=%d\n"
             "seed=%u\nwidth=%d\nheight=%d\nfighter0=%s\nrecolour0=%d\nfighter1=%s\nrecolour1=%d\nstage=%s\n",
             r.version, r.mode, r.required_wins, r.difficulty, r.life_style, r.round_mode, r.roster,
             r.stage_option, r.fps, (unsigned)r.seed, r.width, r.height,
             r.fighter[0].c_str(), r.recolour[0], r.fighter[1].c_str(), r.recolour[1], r.stage.c_str());
    t += line;
    if (r.round_time) {
        snprintf(line, sizeof line, "roundtime=%d\n", r.round_time);
        t += line;
    }
    if (!r.note.empty()) t += "note=" + r.note + "\n";
    snprintf(line, sizeof line, "players=%d\n", r.players);
    t += line;
    for (const replay_binding& b : r.bindings) {
        snprintf(line, sizeof line, "player%dcontrol%s=%d\n", b.player, control_names[b.control], b.key);
        t += line;
    }
    snprintf(line, sizeof line, "joystick=%d\nframes=%d\nresult=%s\n", r.joystick, r.frames,
             r.abandoned ? "abandoned" : "decided");
    t += line;
    if (r.takeover) {
        snprintf(line, sizeof line, "takeover=%d\ntaken=%d\nscript=%d\n", r.takeover, r.taken, (int)r.script.size());
        t += line;
    }
    // Inputs and checks interleaved by frame, as a reader follows the match.
    size_t i = 0, c = 0;
    while (i < r.inputs.size() || c < r.checks.size()) {
        if (c < r.checks.size() && (i >= r.inputs.size() || r.checks[c].frame < r.inputs[i].frame)) {
            append_check(t, r.checks[c++]);
            continue;
        }
        int frame = r.inputs[i].frame;
        snprintf(line, sizeof line, "k%d=", frame);
        t += line;
        for (bool first = true; i < r.inputs.size() && r.inputs[i].frame == frame; i++, first = false) {
            const replay_input& in = r.inputs[i];
            if (in.code >= REPLAY_AXIS0)
                snprintf(line, sizeof line, "%sa%d:%d", first ? "" : " ", in.code - REPLAY_AXIS0, in.value);
            else if (in.code >= REPLAY_BUTTON0)
                snprintf(line, sizeof line, "%sb%d%c", first ? "" : " ", in.code - REPLAY_BUTTON0,
                         in.value ? '+' : '-');
            else
                snprintf(line, sizeof line, "%s%d%c", first ? "" : " ", in.code, in.value ? '+' : '-');
            t += line;
        }
        t += "\n";
    }
    // The script where it changes.
    for (size_t f = 0; f < r.script.size(); f++) {
        const replay_decision &d = r.script[f], *before = f ? &r.script[f - 1] : nullptr;
        if (before && d.vx == before->vx && d.vy == before->vy && d.command == before->command && d.combo == before->combo)
            continue;
        snprintf(line, sizeof line, "d%d=%d,%d,%d,%d\n", r.takeover + 1 + (int)f, d.vx, d.vy, d.command, d.combo);
        t += line;
    }
    return t;
}

