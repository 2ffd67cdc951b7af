// config_file: the in-memory form of a definition file, an ordered list of key=value
// entries. Lookups take the first entry with a key; later duplicates are kept and written
// back. Keys hold at most 254 characters and values 256 (the reader stores at most 255);
// longer texts are truncated. Texts returned by get_string belong to the object and stay
// valid until clear. Each entry remembers the line its token began on, and the tokens load
// could not take as entries are listed with their lines, for the folder checker.
#pragma once
#include <cstddef>
#include <deque>
#include <string>

struct config_entry {
    char key[255];
    char value[257];
    int line = 0; // where load found it (from 1); 0 for an entry added in memory
};

// A token load read but could not take whole: no key=value at all (skipped), or a second "="
// whose rest was dropped.
struct config_oddity {
    enum kind_t { NOT_AN_ENTRY, EXTRA_EQUALS } kind;
    int line;
    char text[48]; // the token, cut short
};

// One entry of a definition file's text as the reader takes it: where its token lies in the
// text (begin, end), and its key and value as stored. Writers that rewrite a file in place
// find an entry's bytes through it, so they agree with the reader on every entry.
struct config_token {
    size_t begin = 0, end = 0;
    char key[255];   // as an entry holds it: at most 254 characters
    char value[256]; // at most 255
};

// The next entry of text from pos on, skipping tokens that are no key=value entry; false at
// the end. A last token with no whitespace after it is no entry: the reader never sees it.
bool config_next(const std::string& text, size_t& pos, config_token& t);

class config_file {
public:
    void clear();
    int load(const char* filename);        // 1, or 0 when the file cannot be opened
    void parse(const std::string& text);   // appends the entries of a file's text
    bool save(const char* filename) const; // all entries in order, written whole or not at all
    void add(const char* key, const char* value);
    void set(const char* key, const char* value); // first match gets the value, else appended
    const config_entry* find(const char* key) const;
    int has(const char* key) const;
    int get_int(const char* key) const;
    const char* get_string(const char* key) const;
    float get_float(const char* key) const;

    int count() const { return (int)entries.size(); }
    const config_entry& entry(int i) const { return entries[(size_t)i]; }
    const std::deque<config_oddity>& oddities() const { return odd; }

private:
    std::deque<config_entry> entries; // stable addresses: get_string texts survive add
    std::deque<config_oddity> odd;
};
