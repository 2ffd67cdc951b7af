#include "net_link.h"

#include <enet/enet.h>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "foundation/log.h"

namespace {

enum { CHANNELS = 2, CHANNEL_RELIABLE = 0, CHANNEL_PLAIN = 1 };

bool started() {
    static int ok = -1;
    if (ok < 0) {
        ok = enet_initialize() == 0 ? 1 : 0;
        if (ok) atexit(enet_deinitialize);
        else log_err("Could not start ENet\n");
    }
    return ok == 1;
}

// The game decides when the other side is gone (it knows when that side is loading a match and
// not serving its link); the library only gives up after a long silence.
void patient(ENetPeer* p) {
    enet_peer_timeout(p, 0, 30000, 60000);
}

} // namespace

bool net_listen(net_link& l, int port) {
    if (!started()) return false;
    ENetAddress a;
    a.host = ENET_HOST_ANY;
    a.port = (enet_uint16)port;
    l = net_link();
    l.host = enet_host_create(&a, 1, CHANNELS, 0, 0);
    if (!l.host) log_err("Could not wait on port %d\n", port);
    return l.host != nullptr;
}

bool net_connect(net_link& l, const char* host, int port) {
    if (!started()) return false;
    l = net_link();
    ENetAddress a;
    if (enet_address_set_host(&a, host) != 0) {
        log_err("Unknown address %s\n", host);
        return false;
    }
    a.port = (enet_uint16)port;
    l.host = enet_host_create(nullptr, 1, CHANNELS, 0, 0);
    if (l.host) l.peer = enet_host_connect(l.host, &a, CHANNELS, 0);
    if (l.peer) patient(l.peer);
    return l.host && l.peer;
}

bool net_send(net_link& l, const uint8_t* data, size_t size, bool reliable) {
    if (!l.peer || !l.connected) return false;
    ENetPacket* p = enet_packet_create(data, size, reliable ? ENET_PACKET_FLAG_RELIABLE : ENET_PACKET_FLAG_UNSEQUENCED);
    if (!p) return false;
    if (enet_peer_send(l.peer, reliable ? CHANNEL_RELIABLE : CHANNEL_PLAIN, p) != 0) {
        enet_packet_destroy(p);
        return false;
    }
    enet_host_flush(l.host);
    return true;
}

size_t net_poll(net_link& l, uint8_t* buf, size_t room, int wait_ms) {
    if (!l.host) return 0;
    ENetEvent e;
    while (enet_host_service(l.host, &e, (enet_uint32)(wait_ms > 0 ? wait_ms : 0)) > 0) {
        wait_ms = 0;
        switch (e.type) {
        case ENET_EVENT_TYPE_CONNECT:
            // One guest only: a second caller is turned away.
            if (l.peer && l.peer != e.peer && l.connected) {
                enet_peer_disconnect_now(e.peer, 0);
                break;
            }
            l.peer = e.peer;
            patient(l.peer);
            l.connected = true;
            break;
        case ENET_EVENT_TYPE_DISCONNECT:
            if (e.peer == l.peer) {
                l.connected = false;
                l.lost = true;
                l.peer = nullptr;
            }
            break;
        case ENET_EVENT_TYPE_RECEIVE: {
            size_t n = 0;
            if (e.peer == l.peer && e.packet->dataLength <= room) {
                n = e.packet->dataLength;
                memcpy(buf, e.packet->data, n);
            }
            enet_packet_destroy(e.packet);
            if (n) return n;
            break;
        }
        default: break;
        }
    }
    return 0;
}

bool net_delivered(const net_link& l) {
    return !l.peer || !l.connected ||
           (enet_list_empty(&l.peer->sentReliableCommands) && enet_list_empty(&l.peer->outgoingCommands));
}

int net_round_trip(const net_link& l) { return l.peer && l.connected ? (int)l.peer->roundTripTime : 0; }

void net_close(net_link& l, int linger_ms) {
    uint8_t scratch[64];
    for (int waited = 0; waited < linger_ms && l.connected; waited += 10) net_poll(l, scratch, 0, 10);
    if (l.peer && l.connected) {
        enet_peer_disconnect_later(l.peer, 0);
        ENetEvent e;
        for (int i = 0; i < 20 && enet_host_service(l.host, &e, 10) >= 0; i++) {
            if (e.type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(e.packet);
            if (e.type == ENET_EVENT_TYPE_DISCONNECT) break;
        }
    }
    if (l.host) enet_host_destroy(l.host);
    l = net_link();
}

bool net_address(const char* text, char* host, size_t room, int& port) {
    port = NET_DEFAULT_PORT;
    if (!text || !*text || room == 0) return false;
    const char* colon = strrchr(text, ':');
    size_t n = colon ? (size_t)(colon - text) : strlen(text);
    if (n == 0 || n >= room) return false;
    memcpy(host, text, n);
    host[n] = 0;
    if (colon) {
        char* end = nullptr;
        long p = strtol(colon + 1, &end, 10);
        if (!end || *end || p < 1 || p > 65535) return false;
        port = (int)p;
    }
    return true;
}

void net_machine_addresses(char* out, size_t room) {
    if (!room) return;
    out[0] = 0;
    size_t at = 0;
    ifaddrs* all = nullptr;
    if (getifaddrs(&all) == 0) {
        for (ifaddrs* a = all; a; a = a->ifa_next) {
            if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET || (a->ifa_flags & IFF_LOOPBACK)) continue;
            char text[INET_ADDRSTRLEN];
            if (!inet_ntop(AF_INET, &((sockaddr_in*)a->ifa_addr)->sin_addr, text, sizeof text)) continue;
            const int n = snprintf(out + at, room - at, "%s%s", at ? "  " : "", text);
            if (n < 0 || (size_t)n >= room - at) {
                out[at] = 0;
                break;
            }
            at += (size_t)n;
        }
        freeifaddrs(all);
    }
    if (!at) snprintf(out, room, "127.0.0.1");
}
