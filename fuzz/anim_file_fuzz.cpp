// Animation files: load with and without colour swaps and mirroring, play a few ticks in
// software drawing, save the old way, then edit the frames as the editor does (duplicate,
// delete, swap, an offset) and write the file back through its doc, and read that again.
#include "animation/anim_doc.h"
#include "animation/anim_group.h"
#include "animation/anim_mgr.h"
#include "foundation/safe_file.h"
#include "foundation/video_mgr.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_setup();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t mode = data[0];
    std::string path = fuzz_write("anim.ini", data + 1, size - 1);
    {
        anim_mgr* def = new anim_mgr();
        if (mode & 1) def->mirrored = 1;
        if (mode & 2)
            def->swaps.push_back(colour_swap(SDL_MapRGB(video.screen->format, 255, 255, 255),
                                             SDL_MapRGB(video.screen->format, 255, 0, 128)));
        def->load(path.c_str());
        if (mode & 4) def->loop = 1;
        anim_group g;
        g.add(smart_ptr<anim_mgr>(def), 3, 5);
        for (int t = 0; t < 6; t++) g.display(100, 300);
        def->save((fuzz_scratch() + "/saved.ini").c_str());

        std::string text;
        read_whole_file(path.c_str(), text);
        anim_doc doc;
        def->config.clear();
        def->config.load(path.c_str());
        doc.read(def->config, def->frame_count(), text);
        if (!doc.frames.empty()) {
            if (mode & 8) doc.frames.insert(doc.frames.begin(), doc.frames.back());
            if (mode & 16) doc.frames.pop_back();
            if ((mode & 32) && doc.frames.size() > 1) std::swap(doc.frames.front(), doc.frames.back());
            if (!doc.frames.empty() && (mode & 64)) doc.frames[0].key[FK_XOFFSET] = "-3";
        }
        def->config.clear();
        def->config.parse(doc.write());
        def->read_frames(path.c_str());
        // The group's handle never frees a definition; whoever made it does.
        g.entries.clear();
        delete def;
    }
    fuzz_trim_caches();
    return 0;
}
