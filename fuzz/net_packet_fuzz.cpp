// Network packet reader: any bytes are either refused or read into a packet that writes back
// as exactly the same bytes.
#include <cstdlib>
#include <cstring>

#include "fuzz_support.h"
#include "net_packet.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_setup();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    net_packet p;
    if (!net_read(data, size, p)) return 0;
    uint8_t back[NET_MAX_PACKET];
    const size_t n = net_write(p, back, sizeof back);
    if (n != size || memcmp(back, data, size) != 0) abort();
    return 0;
}
