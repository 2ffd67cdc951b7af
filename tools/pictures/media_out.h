// media_out: where the generator's files go. Paths are relative to the game folder root.
// A file is rewritten only when its bytes change, so an unchanged picture keeps its date
// and a rebuild touches only what changed. PNGs are 8-bit RGB without time stamps, so the
// output is byte-for-byte the same on every run.
#pragma once
#include <SDL.h>
#include <string>
#include <vector>

struct media_out {
    std::string root;             // the game folder
    int written = 0, unchanged = 0, failed = 0;
    std::vector<std::string> files; // every path produced, relative to root

    bool save_png(const std::string& rel, SDL_Surface* s);
    bool save_text(const std::string& rel, const std::string& text);
};

// Encodes a 32-bit surface as an RGB PNG in memory.
std::string encode_png(SDL_Surface* s);
// Writes data to path unless the file already holds exactly those bytes; makes folders.
// Returns 1 written, 0 unchanged, -1 on failure.
int write_if_changed(const std::string& path, const std::string& data);
