#include "foundation/config_file.h"

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
// key and a value are skipped; both kinds of oddity are noted with their line.
void config_file::add_token(char* token, int line) {
    config_oddity o;
    o.line = line;
    copy_text(o.text, token);
    o.kind = config_oddity::NOT_AN_ENTRY;
    char* p = token;
    while (*p == '=') p++;
    if (!*p) return odd.push_back(o);
    char* key = p;
    while (*p && *p != '=') p++;
    if (!*p) return odd.push_back(o);
    *p++ = 0;
    while (*p == '=') p++;
    if (!*p) return odd.push_back(o);
    char* value = p;
    while (*p && *p != '=') p++;
    if (*p) o.kind = config_oddity::EXTRA_EQUALS, odd.push_back(o);
    *p = 0;
    char k[256], v[256];
    copy_text(k, key);
    copy_text(v, value);
    add(k, v);
    entries.back().line = line;
}

int config_file::load(const char* filename) {
    log_out("load config [%s]\n", filename);
    FILE* f = regular_file(filename) ? fopen(filename, "r") : nullptr;
    if (!f) {
        log_out("Can't open [%s]\n", filename);
        return 0;
    }
    char token[516];
    size_t len = 0;
    int line = 1, token_line = 1;
    for (;;) {
        int c = fgetc(f);
        // A carriage return is line-end noise in text files, never data.
        if (c == EOF || isspace(c)) {
            if (len > 0) {
                token[len] = 0;
                add_token(token, token_line);
                len = 0;
            }
            if (c == '\n') line++;
            if (c == EOF) break;
        } else {
            if (len == 0) token_line = line;
            if (len < sizeof token - 1) token[len++] = (char)c;
        }
    }
    fclose(f);
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
