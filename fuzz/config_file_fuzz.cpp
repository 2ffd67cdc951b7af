// Definition-file reader: any bytes load without a fault, every lookup answers, and what
// save writes reads back into the same entries.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "foundation/config_file.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_setup();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string path = fuzz_write("in.ini", data, size);
    config_file c;
    c.clear();
    if (!c.load(path.c_str())) abort();
    for (int i = 0; i < c.count(); i++) {
        const config_entry& e = c.entry(i);
        if (!memchr(e.key, 0, sizeof e.key) || !memchr(e.value, 0, sizeof e.value)) abort();
        if (!*e.key || !*e.value) abort(); // empty halves are skipped, never stored
        if (c.find(e.key) == nullptr) abort();
        (void)c.get_int(e.key);
        (void)c.get_float(e.key);
        (void)c.get_string(e.value);
    }
    (void)c.has("fps");

    std::string saved = fuzz_scratch() + "/saved.ini";
    if (!c.save(saved.c_str())) abort();
    config_file back;
    if (!back.load(saved.c_str())) abort();
    if (back.count() != c.count()) abort();
    for (int i = 0; i < c.count(); i++)
        if (strcmp(back.entry(i).key, c.entry(i).key) || strcmp(back.entry(i).value, c.entry(i).value))
            abort();
    return 0;
}
