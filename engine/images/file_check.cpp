#include "images/file_check.h"

#include <SDL_image.h>
#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <unistd.h>

#include "foundation/safe_file.h"
#include "foundation/sound_check.h"
#include "images/picture_check.h"

// One line of text, whatever bytes a damaged file gives: control characters become "?".
static std::string one_line(const char* text) {
    std::string s = text;
    for (char& c : s)
        if ((unsigned char)c < 32 || c == 127) c = '?';
    return s;
}

void check_report::add(const std::string& file, int line, const char* fmt, ...) {
    char text[512];
    va_list args;
    va_start(args, fmt);
    vsnprintf(text, sizeof text, fmt, args);
    va_end(args);
    problems.push_back(check_problem{one_line(file.c_str()), line, one_line(text)});
}

bool key_matches(const char* key, const char* pattern, int* a, int* b) {
    int* slots[2] = {a, b};
    int used = 0;
    while (*pattern) {
        if (pattern[0] == '%' && pattern[1] == 'd') {
            if (*key < '0' || *key > '9') return false;
            if (*key == '0' && key[1] >= '0' && key[1] <= '9') return false;
            long long v = 0;
            while (*key >= '0' && *key <= '9') {
                v = v * 10 + (*key++ - '0');
                if (v > 0x7FFFFFFF) return false;
            }
            if (used < 2 && slots[used]) *slots[used] = (int)v;
            used++;
            pattern += 2;
        } else if (*key++ != *pattern++) {
            return false;
        }
    }
    return *key == 0;
}

int edit_distance(const char* a, const char* b) {
    const size_t n = strlen(a), m = strlen(b);
    std::vector<int> row(m + 1);
    for (size_t j = 0; j <= m; j++) row[j] = (int)j;
    for (size_t i = 1; i <= n; i++) {
        int diag = row[0];
        row[0] = (int)i;
        for (size_t j = 1; j <= m; j++) {
            int up = row[j];
            int best = diag + (a[i - 1] == b[j - 1] ? 0 : 1);
            if (up + 1 < best) best = up + 1;
            if (row[j - 1] + 1 < best) best = row[j - 1] + 1;
            row[j] = best;
            diag = up;
        }
    }
    return row[m];
}

namespace {

struct picture_facts {
    std::string problem;
    int w = 0, h = 0;
};

} // namespace

std::string picture_problem(const std::string& path, int* w, int* h) {
    static std::map<std::string, picture_facts> seen; // by folder and path: a path names
    char here[4096];                                   // another file in another folder
    const std::string at = std::string(getcwd(here, sizeof here) ? here : "") + "\n" + path;
    auto it = seen.find(at);
    if (it == seen.end()) {
        picture_facts f;
        if (!regular_file(path.c_str())) {
            f.problem = "missing";
        } else if (!picture_may_be_whole(path.c_str())) {
            f.problem = std::string("damaged: ") + SDL_GetError();
        } else if (SDL_Surface* s = IMG_Load(path.c_str())) {
            f.w = s->w, f.h = s->h;
            SDL_FreeSurface(s);
        } else {
            f.problem = std::string("damaged: ") + IMG_GetError();
        }
        it = seen.emplace(at, f).first;
    }
    if (w) *w = it->second.w;
    if (h) *h = it->second.h;
    return it->second.problem;
}

std::string sound_problem(const std::string& path) {
    if (!regular_file(path.c_str())) return "missing";
    if (!sound_may_be_played(path.c_str())) return std::string("damaged: ") + SDL_GetError();
    return "";
}

// ---------------------------------------------------------------------------------------

file_check::file_check(check_report& r, const std::string& path) : report(r), name(path) {
    report.files++;
    loaded = regular_file(path.c_str()) && cfg.load(path.c_str());
    if (!loaded) problem(0, "missing or not a readable file");
    seen.assign((size_t)cfg.count(), 0);
}

void file_check::suggest(const std::string& pattern) {
    if (pattern_set.insert(pattern).second) patterns.push_back(pattern);
}

const config_entry* file_check::known(const char* key) {
    std::string pattern; // "rate3" suggests "rate%d"
    for (const char* p = key; *p; p++) {
        if (*p < '0' || *p > '9') pattern += *p;
        else if (p == key || p[-1] < '0' || p[-1] > '9') pattern += "%d";
    }
    suggest(pattern);
    for (int i = 0; i < cfg.count(); i++) {
        if (strcmp(cfg.entry(i).key, key) != 0) continue;
        seen[(size_t)i] = 1;
        return &cfg.entry(i);
    }
    return nullptr;
}

void file_check::known_pattern(const char* pattern) {
    suggest(pattern);
    for (int i = 0; i < cfg.count(); i++)
        if (key_matches(cfg.entry(i).key, pattern)) seen[(size_t)i] = 1;
}

int file_check::line_of(const char* key) const {
    const config_entry* e = cfg.find(key);
    return e ? e->line : 0;
}

void file_check::problem(int line, const char* fmt, ...) {
    char text[512];
    va_list args;
    va_start(args, fmt);
    vsnprintf(text, sizeof text, fmt, args);
    va_end(args);
    report.problems.push_back(check_problem{one_line(name.c_str()), line, one_line(text)});
}

// A whole decimal number, as the readers' integer conversion would take it, but all of it.
static bool whole_number(const char* v, long long* out) {
    char* end = nullptr;
    errno = 0;
    long long n = strtoll(v, &end, 10);
    if (end == v || *end || errno) return false;
    *out = n;
    return true;
}

bool file_check::whole(const char* key, long lo, long hi, long* out) {
    const config_entry* e = known(key);
    if (!e) return false;
    long long n = 0;
    if (!whole_number(e->value, &n)) {
        problem(e->line, "\"%s\" is \"%.40s\": not a whole number", key, e->value);
        return false;
    }
    if (n < lo || n > hi) {
        problem(e->line, "\"%s\" is %lld: outside %ld to %ld", key, n, lo, hi);
        return false;
    }
    if (out) *out = (long)n;
    return true;
}

bool file_check::decimal(const char* key, double lo, double hi, double* out) {
    const config_entry* e = known(key);
    if (!e) return false;
    char* end = nullptr;
    double v = strtod(e->value, &end);
    if (end == e->value || *end || !std::isfinite(v)) {
        problem(e->line, "\"%s\" is \"%.40s\": not a number", key, e->value);
        return false;
    }
    if (v < lo || v > hi) {
        problem(e->line, "\"%s\" is %g: outside %g to %g", key, v, lo, hi);
        return false;
    }
    if (out) *out = v;
    return true;
}

bool file_check::word(const char* key, const char* const* words, int count, int* out) {
    const config_entry* e = known(key);
    if (!e) return false;
    std::string all;
    for (int i = 0; i < count; i++) {
        if (strcmp(e->value, words[i]) == 0) {
            if (out) *out = i;
            return true;
        }
        all += (i ? ", " : "") + std::string(words[i]);
    }
    problem(e->line, "\"%s\" is \"%.40s\": not one of %s", key, e->value, all.c_str());
    return false;
}

bool file_check::picture(const char* key, int* w, int* h) {
    const config_entry* e = known(key);
    if (!e) return false;
    std::string why = picture_problem(e->value, w, h);
    if (why.empty()) return true;
    problem(e->line, "picture \"%s\" is %s", e->value, why.c_str());
    return false;
}

bool file_check::sound(const char* key) {
    const config_entry* e = known(key);
    if (!e) return false;
    std::string why = sound_problem(e->value);
    if (why.empty()) return true;
    problem(e->line, "sound \"%s\" is %s", e->value, why.c_str());
    return false;
}

std::string file_check::file(const char* key) {
    const config_entry* e = known(key);
    if (!e) return "";
    if (regular_file(e->value)) return e->value;
    problem(e->line, "file \"%s\" is missing", e->value);
    return "";
}

void file_check::beyond(const char* pattern, const char* count_key) {
    suggest(pattern);
    for (int i = 0; i < cfg.count(); i++) {
        const config_entry& e = cfg.entry(i);
        if (seen[(size_t)i] || !key_matches(e.key, pattern)) continue;
        seen[(size_t)i] = 1;
        if (cfg.has(count_key))
            problem(e.line, "\"%s\" is past the last one: \"%s\" is %s (line %d)", e.key, count_key,
                    cfg.get_string(count_key), line_of(count_key));
        else
            problem(e.line, "\"%s\" is never read: the file has no \"%s\"", e.key, count_key);
    }
}

// The known key nearest to key: patterns are filled with key's own numbers, so "rat3"
// meets "rate3".
static std::string nearest(const char* key, const std::vector<std::string>& patterns) {
    long nums[2] = {0, 0};
    int found = 0;
    for (const char* p = key; *p && found < 2;) {
        if (*p >= '0' && *p <= '9') nums[found++] = strtol(p, (char**)&p, 10);
        else p++;
    }
    std::string best;
    int best_d = 1 << 30;
    for (const std::string& pat : patterns) {
        std::string cand;
        int used = 0;
        for (size_t i = 0; i < pat.size(); i++) {
            if (pat[i] == '%' && i + 1 < pat.size() && pat[i + 1] == 'd') {
                cand += std::to_string(nums[used < found ? used : (found ? found - 1 : 0)]);
                used++;
                i++;
            } else {
                cand += pat[i];
            }
        }
        int d = edit_distance(key, cand.c_str());
        if (d < best_d) best_d = d, best = cand;
    }
    int allowed = (int)strlen(key) / 3 + 1;
    return best_d > 0 && best_d <= allowed ? best : "";
}

void file_check::finish() {
    for (const config_oddity& o : cfg.oddities()) {
        if (o.kind == config_oddity::EXTRA_EQUALS)
            problem(o.line, "\"%s\" has a second \"=\": what follows it is dropped", o.text);
        else
            problem(o.line, "\"%s\" is no key=value entry: skipped", o.text);
    }
    for (int i = 0; i < cfg.count(); i++) {
        const config_entry& e = cfg.entry(i);
        const config_entry* first = cfg.find(e.key);
        if (first != &e) {
            problem(e.line, "\"%s\" again: only line %d counts", e.key, first->line);
            continue;
        }
        if (seen[(size_t)i]) continue;
        std::string near = nearest(e.key, patterns);
        if (near.empty()) problem(e.line, "unknown key \"%s\"", e.key);
        else problem(e.line, "unknown key \"%s\" (did you mean \"%s\"?)", e.key, near.c_str());
    }
}
