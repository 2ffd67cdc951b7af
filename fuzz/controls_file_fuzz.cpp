// Controls file: read over the defaults, build both players' stage lists, and check that a
// saved file reads back into the same bindings.
#include <cstdlib>

#include "fuzz_support.h"
#include "input/control_mgr.h"

static void fresh(control_mgr& m) {
    m.names.clear();
    m.lists.clear();
    for (const char* n : control_names) m.register_name(n);
    m.set_defaults();
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_setup();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string path = fuzz_write("controls.ini", data, size);
    control_mgr m;
    fresh(m);
    m.load(path.c_str());
    for (int p = 0; p < (int)m.lists.size(); p++) {
        control_stage_list l = m.build_stage_list(p);
        (void)l.find("noleft");
        (void)m.key_for(p, "punch");
    }
    std::string saved = fuzz_scratch() + "/saved.ini";
    if (!m.save(saved.c_str())) abort();
    control_mgr back;
    fresh(back);
    back.load(saved.c_str());
    if (back.lists.size() != m.lists.size()) abort();
    for (int p = 0; p < (int)m.lists.size(); p++)
        for (const char* n : control_names) {
            const control_binding* a = m.lists[(size_t)p].find(n);
            const control_binding* b = back.lists[(size_t)p].find(n);
            if (!a != !b || (a && a->pressed.key != b->pressed.key)) abort();
        }
    return 0;
}
