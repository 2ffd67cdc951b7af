#include "fuzz_support.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <ftw.h>
#include <unistd.h>

#include "foundation/log.h"
#include "foundation/sfx.h"
#include "foundation/video_mgr.h"
#include "images/img_mgr.h"

static std::string scratch;

static void discard(log_stream, const char*, void*) {}

static int remove_entry(const char* path, const struct stat*, int, struct FTW*) { return remove(path); }
static void remove_scratch() {
    if (!scratch.empty()) nftw(scratch.c_str(), remove_entry, 8, FTW_DEPTH | FTW_PHYS);
}

void fuzz_setup() {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const char* verbose = getenv("FIGHT_FUZZ_VERBOSE");
    if (!verbose || !*verbose || *verbose == '0') log_set_sink(discard, nullptr);

    // Memory-backed when the machine has it: every input is written and saves flush.
    char dir[64];
    snprintf(dir, sizeof dir, "%s/fightfuzz.XXXXXX", access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp");
    if (!mkdtemp(dir)) {
        perror("mkdtemp");
        abort();
    }
    scratch = dir;
    atexit(remove_scratch);

    video.flags = 0; // software drawing
    if (video.set_video_mode(640, 480, 32) != 0) {
        fprintf(stderr, "fuzz: no video mode: %s\n", SDL_GetError());
        abort();
    }
    const char* data = getenv("FIGHT_FUZZ_DATA");
    if (!data || !*data) data = FIGHT_DATA_DIR;
    if (chdir(data) != 0) fprintf(stderr, "fuzz: no game folder at [%s]; names won't resolve\n", data);
}

const std::string& fuzz_scratch() { return scratch; }

std::string fuzz_write(const char* name, const uint8_t* data, size_t size) {
    std::string path = scratch + "/" + name;
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) {
        perror(path.c_str());
        abort();
    }
    if (size && fwrite(data, 1, size, f) != size) abort();
    fclose(f);
    return path;
}

void fuzz_trim_caches() {
    if (Image_Manager.count() > 300) Image_Manager.clean();
    if (Sfx_Manager.count() > 300) Sfx_Manager.clean();
}
