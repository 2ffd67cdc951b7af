// Shared pieces of the fighter tests: a stage made current, small pictures, animation and
// fighter files written into a scratch folder, and fighters built by hand.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../images/picture_maker.h"
#include "test_support.h"
#include "world/level.h"
#include "world/mon_mgr.h"

// A picture of w x h, key green but for a box (l, t)-(r, b) (right and bottom exclusive).
inline std::string box_picture(const scratch_dir& dir, const std::string& name, int w, int h,
                               int l, int t, int r, int b, rgb c = RED) {
    SDL_Surface* s = make_picture(w, h, KEY);
    paint(s, l, t, r - l, b - t, c);
    return save_picture(s, dir, name);
}

// One frame of an animation file: the picture, its rate and any further keys of its own
// ("fire", "spin", ...), written with the frame's number.
struct anim_frame {
    std::string image;
    int rate;
    std::vector<std::pair<std::string, std::string>> keys;
};

inline std::string anim_file(const scratch_dir& dir, const std::string& name,
                             const std::vector<anim_frame>& frames, int loop = 0) {
    std::string text = "images=" + std::to_string(frames.size()) + "\n";
    if (loop) text += "loop=1\n";
    for (size_t i = 0; i < frames.size(); i++) {
        std::string n = std::to_string(i);
        text += "image" + n + "=" + frames[i].image + "\n";
        text += "rate" + n + "=" + std::to_string(frames[i].rate) + "\n";
        for (auto& k : frames[i].keys) text += k.first + n + "=" + k.second + "\n";
    }
    std::string path = dir.file(name);
    write_text(path, text);
    return path;
}

// The test's stage: 1000 wide, camera at rest, current for as long as the object lives.
// Combatants left in the registry are freed with it.
struct test_stage {
    level stage;
    test_stage() {
        stage.width = 1000;
        stage.max_width = 1000;
        current_level = &stage;
    }
    ~test_stage() {
        current_level = nullptr;
        Combatant_Manager.clean();
    }
};

// A move group of one loaded animation, as a fighter file would give it.
inline anim_group* move_group(const std::string& anim_path, double scale = 1.0) {
    anim_mgr* def = new anim_mgr();
    smart_ptr<anim_mgr> handle(def);
    def->load(anim_path.c_str());
    def->scale = scale;
    anim_group* g = new anim_group();
    g->add(handle, 0, 0);
    return g;
}

// Appends `count` moves to a fighter, each one frame of `image` shown for `rate` ticks.
inline void give_moves(lifeform& f, const scratch_dir& dir, const std::string& image, int count,
                       int rate = 3) {
    std::string plain = anim_file(dir, "plain.ini", {{image, rate, {}}});
    for (int i = 0; i < count; i++) f.moves.push_back(move_group(plain));
}
