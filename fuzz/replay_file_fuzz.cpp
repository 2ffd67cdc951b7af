// Replay reader: any bytes are either refused with a reason or read into a recording whose
// text reads back into the same recording.
#include <cstdlib>
#include <string>

#include "fuzz_support.h"
#include "replay_file.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_setup();
    return 0;
}

static bool same(const replay_record& a, const replay_record& b) {
    if (a.mode != b.mode || a.required_wins != b.required_wins || a.fps != b.fps || a.seed != b.seed ||
        a.frames != b.frames || a.abandoned != b.abandoned || a.fighter[0] != b.fighter[0] ||
        a.fighter[1] != b.fighter[1] || a.inputs.size() != b.inputs.size() ||
        a.checks.size() != b.checks.size() || a.bindings.size() != b.bindings.size())
        return false;
    for (size_t i = 0; i < a.inputs.size(); i++)
        if (a.inputs[i].frame != b.inputs[i].frame || a.inputs[i].code != b.inputs[i].code ||
            a.inputs[i].value != b.inputs[i].value)
            return false;
    return true;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    replay_record r;
    std::string error;
    if (!replay_parse((const char*)data, size, r, error)) {
        if (error.empty()) abort(); // a refusal always says why
        return 0;
    }
    std::string text = replay_format(r);
    replay_record back;
    if (!replay_parse(text.data(), text.size(), back, error) || !same(r, back)) abort();

    // The same bytes from a file.
    std::string path = fuzz_write("in.ini", data, size);
    replay_record loaded;
    if (!replay_load(path.c_str(), loaded, error)) abort();
    return 0;
}
