// file_check: a definition file looked at for mistakes rather than read for use. It loads the
// file with the one reader (config_file), and the checks of each kind of file say which keys
// they know and what each may hold; whatever the file gives that they cannot take becomes a
// problem with the file's name and the line of the entry, reported to a check_report.
// Nothing here stops at a problem: a check goes on to the next key.
//
// Keys are marked known as they are looked at; finish() then reports every entry no check
// looked at (with the nearest known key as a suggestion), later duplicates of a key (never
// read) and the tokens the reader could not take as entries.
#pragma once
#include <set>
#include <string>
#include <vector>

#include "foundation/config_file.h"

struct check_problem {
    std::string file;
    int line; // from 1; 0 when the problem is the file as a whole
    std::string message;
};

// Every problem found, in the order found, and the number of files looked at. Owned by the
// caller of the checks.
struct check_report {
    std::vector<check_problem> problems;
    int files = 0;
    std::set<std::string> looked_at; // files checked already: each is checked once
    // True the first time a file is asked for (and it should be checked now).
    bool first_look(const std::string& path) { return looked_at.insert(path).second; }
    void add(const std::string& file, int line, const char* fmt, ...) __attribute__((format(printf, 4, 5)));
};

// The key against a pattern whose only conversions are "%d" (a plain decimal number: no
// sign, no leading zero); fills up to two numbers. False on any difference.
bool key_matches(const char* key, const char* pattern, int* a = nullptr, int* b = nullptr);

// Edit distance (insertions, deletions, substitutions) between two texts.
int edit_distance(const char* a, const char* b);

// Why the picture at path cannot be loaded ("missing", "damaged: ..."), or empty when it can;
// its size in pixels when it can. Results are kept per path.
std::string picture_problem(const std::string& path, int* w = nullptr, int* h = nullptr);
// Why the sound at path cannot be played, or empty.
std::string sound_problem(const std::string& path);

class file_check {
public:
    file_check(check_report& report, const std::string& path); // loads it; a missing file is a problem
    bool opened() const { return loaded; }
    const std::string& path() const { return name; }
    const config_file& config() const { return cfg; }

    // The entry of key (marked known), or null.
    const config_entry* known(const char* key);
    // Marks every entry whose key matches pattern known (keys read under any number).
    void known_pattern(const char* pattern);
    int line_of(const char* key) const;
    // A count read from the file, held to the number of entries: a file cannot describe more
    // things than it has entries, and a wild count must not make a check run for long.
    long capped(long n) const { return n < cfg.count() ? n : cfg.count(); }

    // Typed looks at a key, each marking it known. Absent keys are no problem; the result is
    // then false and out keeps its value.
    bool whole(const char* key, long lo, long hi, long* out = nullptr);
    bool decimal(const char* key, double lo, double hi, double* out = nullptr);
    bool word(const char* key, const char* const* words, int count, int* out = nullptr);
    // A picture or sound file the key names: missing or damaged is a problem.
    bool picture(const char* key, int* w = nullptr, int* h = nullptr);
    bool sound(const char* key);
    // A definition file the key names; its path (empty when absent or missing).
    std::string file(const char* key);

    void problem(int line, const char* fmt, ...) __attribute__((format(printf, 3, 4)));
    // What an entry beyond a count means: keys matching these patterns that no check took
    // are numbered past the count that line count_line gives.
    void beyond(const char* pattern, const char* count_key);
    // Reports what no check looked at. Call once, last.
    void finish();

private:
    check_report& report;
    std::string name;
    config_file cfg;
    bool loaded;
    std::vector<char> seen; // per entry: a check looked at it
    std::vector<std::string> patterns; // known keys, numbers as "%d", for suggestions
    std::set<std::string> pattern_set;
    void suggest(const std::string& pattern);
};
