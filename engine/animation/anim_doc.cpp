#include "animation/anim_doc.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

std::string int_text(int v, int absent) { return v == absent ? std::string() : std::to_string(v); }

// Whether key is frame key k of frame i: its name and the number as the reader writes it
// ("rate3"; "rate03" is no frame's key).
static bool frame_key_of(const char* key, int& i, int& k) {
    for (k = 0; k < FRAME_KEYS; k++) {
        const size_t n = strlen(frame_key_names[k]);
        if (strncmp(key, frame_key_names[k], n) != 0) continue;
        const char* d = key + n;
        if (!*d || (d[0] == '0' && d[1]) || strlen(d) > 6) continue;
        bool digits = true;
        for (const char* p = d; *p; p++) digits = digits && *p >= '0' && *p <= '9';
        if (!digits) continue;
        i = atoi(d);
        return true;
    }
    return false;
}

static std::string frame_key(int i, int k) { return frame_key_names[k] + std::to_string(i); }

void anim_doc::read(const config_file& c, int frame_count, const std::string& file_text) {
    text = file_text;
    frames.assign((size_t)(frame_count > 0 ? frame_count : 0), frame_text());
    for (size_t i = 0; i < frames.size(); i++)
        for (int k = 0; k < FRAME_KEYS; k++)
            if (const config_entry* e = c.find(frame_key((int)i, k).c_str())) frames[i].key[k] = e->value;
    const config_entry* l = c.find("loop");
    loop = l ? l->value : "";
    const config_entry* n = c.find("images");
    images = n ? n->value : "";
    read_count = (int)frames.size();
}

std::string anim_doc::value(int i, int key) const {
    const std::string& v = frames[(size_t)i].key[key];
    return v.empty() && key == FK_RATE ? "0" : v;
}

void anim_doc::fill(config_file& c) const {
    const int n = (int)frames.size();
    c.add("images", std::to_string(n).c_str());
    c.add("loop", loop.empty() ? "0" : loop.c_str());
    for (int i = 0; i < n; i++)
        for (int k = 0; k < FRAME_KEYS; k++) {
            std::string v = value(i, k);
            if (!v.empty()) c.add(frame_key(i, k).c_str(), v.c_str());
        }
}

namespace {

// What becomes of one entry of the file.
struct token_edit {
    size_t begin, end;
    bool drop;
    std::string with; // the new token when it changes
};

struct insertion {
    size_t at; // a line's end (after its line break), or the end of the text
    std::string entry;
};

} // namespace

std::string anim_doc::write() const {
    const int n = (int)frames.size();
    const int limit = n > read_count ? n : read_count; // frames whose entries this writes
    const std::string images_value =
        !images.empty() && atoi(images.c_str()) == n ? images : std::to_string(n);
    const std::string loop_value = loop.empty() ? "0" : loop;
    const std::string nl = text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
    auto line_end = [&](size_t pos) {
        size_t e = text.find('\n', pos);
        return e == std::string::npos ? text.size() : e + 1;
    };

    // Each entry the doc owns: kept, rewritten or taken out. Only the first entry of a key
    // counts for the reader; later ones stay, unless the key goes (they would come to light).
    std::vector<token_edit> edits;
    std::vector<std::vector<bool>> seen((size_t)limit, std::vector<bool>(FRAME_KEYS, false));
    std::vector<size_t> anchor((size_t)limit, std::string::npos); // a frame's last line's end
    bool seen_images = false, seen_loop = false;
    config_token t;
    for (size_t pos = 0; config_next(text, pos, t);) {
        int i = -1, k = -1;
        std::string want;
        bool first = false;
        if (strcmp(t.key, "images") == 0) {
            first = !seen_images;
            seen_images = true;
            want = images_value;
        } else if (strcmp(t.key, "loop") == 0) {
            first = !seen_loop;
            seen_loop = true;
            want = loop_value;
        } else if (frame_key_of(t.key, i, k) && i < limit) {
            first = !seen[(size_t)i][(size_t)k];
            seen[(size_t)i][(size_t)k] = true;
            if (i < n) want = value(i, k);
        } else {
            continue; // not the doc's: stays as it is
        }
        if (want.empty()) {
            edits.push_back({t.begin, t.end, true, ""});
            continue;
        }
        if (i >= 0) anchor[(size_t)i] = line_end(t.end);
        if (first && want != t.value) edits.push_back({t.begin, t.end, false, std::string(t.key) + "=" + want});
    }

    // Entries the file lacks, each after the last line of its frame or of one before it.
    std::vector<insertion> inserts;
    for (int i = 0; i < n; i++)
        for (int k = 0; k < FRAME_KEYS; k++) {
            std::string v = value(i, k);
            if (v.empty() || seen[(size_t)i][(size_t)k]) continue;
            size_t at = text.size();
            for (int j = i; j >= 0; j--)
                if (anchor[(size_t)j] != std::string::npos) {
                    at = anchor[(size_t)j];
                    break;
                }
            inserts.push_back({at, frame_key(i, k) + "=" + v});
        }
    if (!seen_images && n > 0) inserts.push_back({text.size(), "images=" + images_value});
    if (!seen_loop) inserts.push_back({text.size(), "loop=" + loop_value});

    // The text again, line by line, with the edits and insertions in place.
    std::string out;
    out.reserve(text.size() + 64 * inserts.size());
    size_t e = 0, ins = 0;
    auto insert_at = [&](size_t at) {
        for (; ins < inserts.size() && inserts[ins].at == at; ins++) {
            if (!out.empty() && out.back() != '\n') out += nl;
            out += inserts[ins].entry + nl;
        }
    };
    // Insertions come in frame order; their places are in text order for every frame in
    // order too, except an entry placed at the end: sort by place, keeping that order.
    std::stable_sort(inserts.begin(), inserts.end(),
                     [](const insertion& a, const insertion& b) { return a.at < b.at; });
    insert_at(0);
    for (size_t ls = 0; ls < text.size();) {
        const size_t le = line_end(ls);
        std::string line;
        bool dropped = false;
        size_t p = ls;
        for (; e < edits.size() && edits[e].begin < le; e++) {
            line.append(text, p, edits[e].begin - p);
            p = edits[e].end;
            if (edits[e].drop) {
                dropped = true;
                while (p < le && (text[p] == ' ' || text[p] == '\t')) p++;
            } else {
                line += edits[e].with;
            }
        }
        line.append(text, p, le - p);
        bool blank = true;
        for (char c : line) blank = blank && isspace((unsigned char)c);
        if (!(dropped && blank)) out += line;
        insert_at(le);
        ls = le;
    }
    insert_at(text.size());
    return out;
}
