// anim_doc: an animation file as the editor changes it. Its frames are the texts of their
// keys, as the file writes them ("" for a key a frame does not have), and its loop entry;
// the file's own text is kept so that writing it back changes only the entries whose value
// changed and leaves every other byte where it was. An entry that a frame no longer has
// is taken out (its line too when nothing else is on it); an entry a frame gains goes on a
// line of its own after the last line of that frame, or of the nearest frame before it.
//
// Plain values: the editor keeps copies of a doc's frames for undo.
#pragma once
#include <string>
#include <vector>

#include "animation/anim_mgr.h"
#include "foundation/config_file.h"

struct frame_text {
    std::string key[FRAME_KEYS];
};

struct anim_doc {
    std::string text;                // the file as read; "" when it could not be read
    std::vector<frame_text> frames;
    std::string loop;                // the loop entry's value, "" without one
    std::string images;              // the images entry's value as read
    int read_count = 0;              // frames the file had

    // The frames of a definition just loaded from text (count as its reader took them).
    void read(const config_file& c, int frame_count, const std::string& file_text);
    // The file's text with the doc's entries. Every frame gets its wait and the file its
    // loop entry, as before.
    std::string write() const;
    // The entries a reader takes from write(), for anim_mgr::read_frames.
    void fill(config_file& c) const;
    // The value an entry of frame i gets in write(): its text, a wait of "0" when it has none.
    std::string value(int i, int key) const;
};

// The text of an integer; "" (no entry) when it is the reader's value for a missing key.
std::string int_text(int v, int absent);
