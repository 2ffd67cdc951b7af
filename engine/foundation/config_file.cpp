#include "foundation/config_file.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "foundation/log.h"
#include "foundation/safe_file.h"
#include "foundation/text.h"

void config_file::clear() {
    entries.clear();
    odd.clear();
}

void config_file::add(const char* key, const char* value) {
    entries.emplace_back();
    config_entry& e = entries.back();
    copy_text(e.key, key);
    copy_text(e.value, value);
}

void config_file::set(const char* key, const char* value) {
    for (config_entry& e : entries) {
        if (strcmp(e.key, key) == 0) {
            copy_text(e.value, value);
            return;
        }
    }
    add(key, value);
}

const config_entry* config_file::find(const char* key) const {
    if (!key) return nullptr;
    for (const config_entry& e : entries)
        if (strcmp(e.key, key) == 0) return &e;
    return nullptr;
}

int config_file::has(const char* key) const { return find(key) ? 1 : 0; }

int config_file::get_int(const char* key) const {
    const config_entry* e = find(key);
    return e ? atoi(e->value) : 0;
}

const char* config_file::get_string(const char* key) const {
    const config_entry* e = find(key);
    return e ? e->value : "";
}

float config_file::get_float(const char* key) const {
    const config_entry* e = find(key);
    return e ? (float)atof(e->value) : 0.0f;
}

// Splits one token the way strtok with the delimiter "=" would: leading "=" skipped, the key
// up to the next "=", the value up to the following "=" or the end. Tokens without both a
// key and a value are no entry. *used: where the value ended (before a second "=", if any).
static bool split_token(const char* tok, size_t len, config_token& t, size_t* used = nullptr) {
    size_t p = 0;
    while (p < len && tok[p] == '=') p++;
    const size_t key = p;
    while (p < len && tok[p] != '=') p++;
    if (p == key || p == len) return false;
    const size_t key_end = p++;
    while (p < len && tok[p] == '=') p++;
    const size_t value = p;
    while (p < len && tok[p] != '=') p++;
    if (p == value) return false;
    // Stored as the entry stores them: keys of at most 254 characters, values of 255.
    const size_t kn = std::min(key_end - key, sizeof t.key - 1), vn = std::min(p - value, sizeof t.value - 1);
    memcpy(t.key, tok + key, kn);
    t.key[kn] = 0;
    memcpy(t.value, tok + value, vn);
    t.value[vn] = 0;
    if (used) *used = p;
    return true;
}

bool config_next(const std::string& text, size_t& pos, config_token& t) {
    const size_t n = text.size();
    while (pos < n) {
        // A carriage return is line-end noise in text files, never data.
        while (pos < n && isspace((unsigned char)text[pos])) pos++;
        if (pos >= n) return false;
        const size_t begin = pos;
        while (pos < n && !isspace((unsigned char)text[pos])) pos++;
        // The first 515 characters of a token count, up to a zero byte.
        const char* tok = text.data() + begin;
        const size_t len = strnlen(tok, std::min(pos - begin, (size_t)515));
        if (split_token(tok, len, t)) {
            t.begin = begin;
            t.end = pos;
            return true;
        }
    }
    return false;
}

// The entries as config_next finds them, each with the line its token began on; the tokens
// that are no entry, or lose a rest after a second "=", are noted with theirs.
void config_file::parse(const std::string& text) {
    const size_t n = text.size();
    size_t pos = 0, counted = 0;
    int line = 1;
    while (pos < n) {
        while (pos < n && isspace((unsigned char)text[pos])) pos++;
        if (pos >= n) break;
        const size_t begin = pos;
        while (pos < n && !isspace((unsigned char)text[pos])) pos++;
        line += (int)std::count(text.begin() + (long)counted, text.begin() + (long)begin, '\n');
        counted = begin;
        const char* tok = text.data() + begin;
        const size_t len = strnlen(tok, std::min(pos - begin, (size_t)515));
        config_oddity o;
        o.line = line;
        o.kind = config_oddity::NOT_AN_ENTRY;
        const size_t shown = std::min(len, sizeof o.text - 1);
        memcpy(o.text, tok, shown);
        o.text[shown] = 0;
        config_token t;
        size_t used = 0;
        if (!split_token(tok, len, t, &used)) {
            odd.push_back(o);
            continue;
        }
        if (used < len) {
            o.kind = config_oddity::EXTRA_EQUALS;
            odd.push_back(o);
        }
        add(t.key, t.value);
        entries.back().line = line;
    }
}

int config_file::load(const char* filename) {
    log_out("load config [%s]\n", filename);
    std::string text;
    if (!read_whole_file(filename, text)) {
        log_out("Can't open [%s]\n", filename);
        return 0;
    }
    parse(text);
    return 1;
}

bool config_file::save(const char* filename) const {
    std::string text;
    for (const config_entry& e : entries) {
        text += e.key;
        text += '=';
        text += e.value;
        text += '\n';
    }
    if (!write_file_atomic(filename, text.data(), text.size())) {
        log_out("Can't open [%s]\n", filename);
        return false;
    }
    return true;
}
