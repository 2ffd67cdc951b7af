// fuzz_support: what every fuzz target shares. Before the first input it selects SDL's dummy
// drivers, opens a software video mode, silences the log (FIGHT_FUZZ_VERBOSE=1 keeps it) and
// moves into the game folder, so file names in the inputs resolve the way the programs
// resolve them. Inputs become files in a private scratch folder, because every reader takes
// a path.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Called once from LLVMFuzzerInitialize.
void fuzz_setup();

// Writes data to the scratch file `name` and returns its absolute path.
std::string fuzz_write(const char* name, const uint8_t* data, size_t size);

// The scratch folder itself (for files a target saves).
const std::string& fuzz_scratch();

// Frees the cached pictures and sounds once there are more than a few hundred of them, so
// names invented by the fuzzer cannot make the caches grow without bound.
void fuzz_trim_caches();
