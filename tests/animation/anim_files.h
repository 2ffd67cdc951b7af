// Pictures, sounds and animation files written into a scratch folder for the animation and
// editor tests. Pictures are one solid colour on nothing else, so the width of what was
// drawn last tells which frame it was.
#pragma once
#include <SDL.h>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "test_support.h"

// A w x h BMP of one colour; returns its path.
inline std::string write_picture(const scratch_dir& d, const std::string& name, int w, int h,
                                 uint8_t r, uint8_t g, uint8_t b) {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0x0000FF, 0x00FF00, 0xFF0000, 0);
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, r, g, b));
    std::string path = d.file(name);
    SDL_SaveBMP(s, path.c_str());
    SDL_FreeSurface(s);
    return path;
}

// One second of 16-bit mono silence as a WAV file; returns its path.
inline std::string write_sound(const scratch_dir& d, const std::string& name) {
    const uint32_t rate = 22050, samples = rate;
    std::vector<uint8_t> w;
    auto u32 = [&](uint32_t v) { for (int i = 0; i < 4; i++) w.push_back((uint8_t)(v >> (8 * i))); };
    auto u16 = [&](uint16_t v) { w.push_back((uint8_t)v); w.push_back((uint8_t)(v >> 8)); };
    auto tag = [&](const char* t) { w.insert(w.end(), t, t + 4); };
    tag("RIFF"); u32(36 + samples * 2); tag("WAVE");
    tag("fmt "); u32(16); u16(1); u16(1); u32(rate); u32(rate * 2); u16(2); u16(16);
    tag("data"); u32(samples * 2);
    w.resize(w.size() + samples * 2, 0);
    std::string path = d.file(name);
    FILE* f = fopen(path.c_str(), "wb");
    fwrite(w.data(), 1, w.size(), f);
    fclose(f);
    return path;
}

// An animation file with one frame per picture and the given rates, plus extra lines.
inline std::string write_animation(const scratch_dir& d, const std::string& name,
                                   const std::vector<std::string>& pictures,
                                   const std::vector<int>& rates, const std::string& extra = "") {
    std::string text = "images=" + std::to_string(pictures.size()) + "\n";
    for (size_t i = 0; i < pictures.size(); i++) {
        text += "image" + std::to_string(i) + "=" + pictures[i] + "\n";
        text += "rate" + std::to_string(i) + "=" + std::to_string(rates[i]) + "\n";
    }
    text += extra;
    std::string path = d.file(name);
    write_text(path, text);
    return path;
}

// Pictures of widths 10, 20, 30 ... (height 10), one per frame: frame i is (i + 1) * 10 wide.
inline std::vector<std::string> width_pictures(const scratch_dir& d, int count) {
    std::vector<std::string> v;
    for (int i = 0; i < count; i++)
        v.push_back(write_picture(d, "w" + std::to_string(i) + ".bmp", (i + 1) * 10, 10, 255, 0, 0));
    return v;
}
