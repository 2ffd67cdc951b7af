// sound_gen: writes one of the game's music tracks or sound effects. The output path names
// what to make: "<dir>/jazz_loop.ogg" composes the main-menu loop, "<dir>/hit_heavy.wav"
// the heavy hit, and so on. Everything is seeded, so the same build makes the same bytes.
#include <cstdio>
#include <cstring>
#include <string>

#include "music.h"
#include "sound_effects.h"
#include "sound_files.h"

namespace {

struct track_entry {
    const char* name;
    audio_buffer (*compose)();
    int serial;
};
const track_entry TRACKS[] = {
    {"menu_intro", compose_menu_intro, 101},
    {"jazz_loop", compose_jazz_loop, 102},
    {"ramp", compose_ramp, 103},
    {"tech_loop", compose_tech_loop, 104},
};

// Music sits below the effects, and both leave headroom: the mixer adds the music and every
// playing effect together, and frames may start an effect again while it still sounds.
const float MUSIC_PEAK = 0.6f;
const float OGG_QUALITY = 0.4f;

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output.ogg|output.wav>\n", argv[0]);
        return 2;
    }
    std::string path = argv[1];
    size_t slash = path.find_last_of('/');
    std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = file.find_last_of('.');
    std::string name = file.substr(0, dot);
    std::string ext = dot == std::string::npos ? "" : file.substr(dot);

    if (ext == ".ogg") {
        for (const track_entry& t : TRACKS) {
            if (name != t.name) continue;
            audio_buffer piece = t.compose();
            piece.normalize(MUSIC_PEAK);
            return write_ogg(path.c_str(), piece, OGG_QUALITY, t.serial) ? 0 : 1;
        }
    } else if (ext == ".wav") {
        audio_buffer effect(EFFECT_RATE, 0, false);
        if (make_effect(name.c_str(), effect)) return write_wav16(path.c_str(), effect, true) ? 0 : 1;
    }
    std::fprintf(stderr, "%s: nothing is made under the name %s\n", argv[0], file.c_str());
    return 2;
}
