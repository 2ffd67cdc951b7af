#include "animation/anim_mgr.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "foundation/log.h"
#include "foundation/sfx.h"
#include "images/file_check.h"

anim_mgr::anim_mgr()
    : refs(0), total_ticks(0), loop(0), mirrored(0), angle(0), cur_height(0), cur_width(0),
      alpha(255), scale(1.0), owner_scale(1.0) {
    log_out("Creating Anim_Mgr\n");
}

anim_mgr::anim_mgr(img_mgr* image) : anim_mgr() {
    frame f;
    f.image = image;
    f.rate = 1;
    frames.push_back(f);
    if (image) {
        cur_width = image->get_width();
        cur_height = image->get_height();
    }
    total_ticks = 1;
}

anim_mgr::~anim_mgr() {
    frames.clear();
    for (img_mgr* i : own_images) delete i;
    own_images.clear();
}

frame* anim_mgr::get_frame(int i) {
    if (i < 0 || i >= (int)frames.size()) return nullptr;
    return &frames[(size_t)i];
}

const char* const frame_key_names[FRAME_KEYS] = {
    "image", "rate", "shake", "flash", "flashrate", "fire", "firespeed", "firex", "firey",
    "spin", "trail", "xoffset", "yoffset", "sound"};

namespace {

// Frame i's entry of key k: "rate3".
const config_entry* frame_entry(const config_file& c, int k, int i) {
    char key[32];
    snprintf(key, sizeof key, "%s%d", frame_key_names[k], i);
    return c.find(key);
}

int key_int(const config_file& c, int k, int i, int absent) {
    const config_entry* e = frame_entry(c, k, i);
    return e ? atoi(e->value) : absent;
}

} // namespace

void anim_mgr::load(const char* path) {
    if (!path) path = "";
    frames.clear();
    config.clear();
    if (!config.load(path)) {
        log_out("Can't load animation from [%s]", path);
        return;
    }
    read_frames(path);
    log_out("Done loading animation from [%s]\n", path);
}

void anim_mgr::read_frames(const char* path) {
    if (!path) path = "";
    frames.clear();

    int n = config.get_int("images");
    // A file cannot describe more frames than it has lines; a wild count must not make us
    // allocate or loop without bound.
    if (n < 0) n = 0;
    if (n > config.count()) {
        log_out("WARNING: animation [%s] names [%d] images, reading [%d]\n", path, n,
                config.count());
        n = config.count();
    }
    frames.reserve((size_t)n);
    total_ticks = 0;
    if (config.get_int("loop")) loop = 1;

    frame f;
    for (int i = 0; i < n; i++) {
        const config_entry* image = frame_entry(config, FK_IMAGE, i);
        img_mgr* img = Image_Manager.get(image ? image->value : "");
        if (!swaps.empty()) {
            img_mgr* copy = new img_mgr();
            copy->copy_for_recolour(*img);
            own_images.push_back(copy);
            img = copy;
        }
        if (img->tex == IMG_NONE) {
            for (const colour_swap& s : swaps) img->swap_color(s.first, s.second);
        } else {
            log_out("No color swap available\n");
        }
        if (mirrored) img->flip();
        cur_width = std::max(cur_width, img->get_width());
        cur_height = std::max(cur_height, img->get_height());
        f.image = img;

        f.rate = key_int(config, FK_RATE, i, 0);
        f.shake = key_int(config, FK_SHAKE, i, 0);
        f.flash = key_int(config, FK_FLASH, i, 0);
        f.flashrate = key_int(config, FK_FLASHRATE, i, 25);
        f.fire = key_int(config, FK_FIRE, i, 0) != 0;
        const config_entry* speed = frame_entry(config, FK_FIRESPEED, i);
        f.firespeed = speed ? (float)atof(speed->value) : 0.25f;
        f.firex = (int16_t)key_int(config, FK_FIREX, i, 0);
        f.firey = (int16_t)key_int(config, FK_FIREY, i, 0);
        f.spin = key_int(config, FK_SPIN, i, 0);
        f.trail = key_int(config, FK_TRAIL, i, 0);
        f.xoffset = (int16_t)key_int(config, FK_XOFFSET, i, 0);
        f.yoffset = (int16_t)key_int(config, FK_YOFFSET, i, 0);
        // Summed wide and held within int range: a file may give any rates.
        total_ticks = (int32_t)std::max<int64_t>(INT32_MIN,
                                                 std::min<int64_t>(INT32_MAX, (int64_t)total_ticks + f.rate));

        // The frame keeps its own record of the cached sound.
        delete f.sound;
        f.sound = nullptr;
        f.play_sound = 0;
        if (const config_entry* sound = frame_entry(config, FK_SOUND, i)) {
            f.play_sound = 1;
            f.sound = new sfx(*Sfx_Manager.get(sound->value));
            f.sound->refs = 0;
        }
        frames.push_back(f);
    }
}

bool anim_mgr::save(const char* path) {
    if (!path) path = "";
    char key[32], value[32];
    snprintf(value, sizeof value, "%d", loop);
    config.set("loop", value);
    for (int i = 0; i < (int)frames.size(); i++) {
        snprintf(key, sizeof key, "rate%d", i);
        snprintf(value, sizeof value, "%d", frames[(size_t)i].rate);
        config.set(key, value);
    }
    if (config.save(path)) {
        log_out("Saved anim_mgr as [%s]\n", path);
        return true;
    }
    log_out("Can't save animation from [%s]", path);
    return false;
}

// Ranges of the frame keys: what a screen can show and the 16-bit fields can hold.
static const struct {
    const char* pattern;
    long lo, hi;
} frame_numbers[] = {
    {"rate%d", 0, 100000},    {"shake%d", -1000, 1000}, {"flash%d", 0, 255},
    {"flashrate%d", 0, 255},  {"fire%d", 0, 1},         {"firex%d", -32768, 32767},
    {"firey%d", -32768, 32767}, {"spin%d", -3600, 3600}, {"trail%d", 0, 1000},
    {"xoffset%d", -32768, 32767}, {"yoffset%d", -32768, 32767}};

void check_anim_file(check_report& report, const std::string& path) {
    file_check c(report, path);
    if (!c.opened()) return;
    long n = 0;
    c.whole("images", 0, 10000, &n);
    n = c.capped(n);
    if (!c.config().has("images")) c.problem(0, "no \"images\": the animation has no frames");
    c.whole("loop", 0, 1);
    char key[48];
    int w0 = -1, h0 = -1;
    for (int i = 0; i < n; i++) {
        snprintf(key, sizeof key, "image%d", i);
        int w = 0, h = 0;
        if (!c.config().has(key)) {
            c.problem(c.line_of("images"), "frame %d has no \"%s\"", i, key);
        } else if (c.picture(key, &w, &h)) {
            if (w0 < 0) w0 = w, h0 = h;
            else if (w != w0 || h != h0)
                c.problem(c.line_of(key), "frames differ in size: \"%s\" is %dx%d, the first frame %dx%d", key,
                          w, h, w0, h0);
        }
        for (const auto& k : frame_numbers) {
            snprintf(key, sizeof key, k.pattern, i);
            c.whole(key, k.lo, k.hi);
        }
        snprintf(key, sizeof key, "firespeed%d", i);
        c.decimal(key, -1000, 1000);
        snprintf(key, sizeof key, "sound%d", i);
        c.sound(key);
    }
    c.beyond("image%d", "images");
    c.beyond("sound%d", "images");
    c.beyond("firespeed%d", "images");
    for (const auto& k : frame_numbers) c.beyond(k.pattern, "images");
    c.finish();
}
