// net_relay RELAY_PORT HOST_PORT RTT_MS JITTER_MS LOSS_PERCENT SECONDS: the network-play tests'
// relay as a program, for the benchmark's two-process match. Ends after SECONDS.
#include <cstdio>
#include <cstdlib>

#include "net_relay.h"

int main(int argc, char** argv) {
    if (argc != 7) {
        fprintf(stderr, "usage: net_relay RELAY_PORT HOST_PORT RTT_MS JITTER_MS LOSS_PERCENT SECONDS\n");
        return 2;
    }
    int v[6];
    for (int i = 0; i < 6; i++) v[i] = atoi(argv[i + 1]);
    net_relay relay(v[0], v[1], v[2], v[3], v[4], false, v[5]);
    if (!relay.ready()) {
        fprintf(stderr, "net_relay: port %d cannot be had\n", v[0]);
        return 1;
    }
    relay.worker.join(); // it stops by itself
    return 0;
}
