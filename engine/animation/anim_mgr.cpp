#include "animation/anim_mgr.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

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

namespace {

// Integer key with its number written in: "rate3".
int key_int(const config_file& c, const char* pattern, int i, int absent) {
    char key[32];
    snprintf(key, sizeof key, pattern, i);
    return c.has(key) ? c.get_int(key) : absent;
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
    char key[32];
    for (int i = 0; i < n; i++) {
        snprintf(key, sizeof key, "image%d", i);
        img_mgr* img = Image_Manager.get(config.get_string(key));
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

        f.rate = key_int(config, "rate%d", i, 0);
        f.shake = key_int(config, "shake%d", i, 0);
        f.flash = key_int(config, "flash%d", i, 0);
        f.flashrate = key_int(config, "flashrate%d", i, 25);
        f.fire = key_int(config, "fire%d", i, 0) != 0;
        snprintf(key, sizeof key, "firespeed%d", i);
        f.firespeed = config.has(key) ? config.get_float(key) : 0.25f;
        f.firex = (int16_t)key_int(config, "firex%d", i, 0);
        f.firey = (int16_t)key_int(config, "firey%d", i, 0);
        f.spin = key_int(config, "spin%d", i, 0);
        f.trail = key_int(config, "trail%d", i, 0);
        f.xoffset = (int16_t)key_int(config, "xoffset%d", i, 0);
        f.yoffset = (int16_t)key_int(config, "yoffset%d", i, 0);
        // Summed wide and held within int range: a file may give any rates.
        total_ticks = (int32_t)std::max<int64_t>(INT32_MIN,
                                                 std::min<int64_t>(INT32_MAX, (int64_t)total_ticks + f.rate));

        // The frame keeps its own record of the cached sound.
        delete f.sound;
        f.sound = nullptr;
        f.play_sound = 0;
        snprintf(key, sizeof key, "sound%d", i);
        if (config.has(key)) {
            f.play_sound = 1;
            f.sound = new sfx(*Sfx_Manager.get(config.get_string(key)));
            f.sound->refs = 0;
        }
        frames.push_back(f);
    }
    log_out("Done loading animation from [%s]\n", path);
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
