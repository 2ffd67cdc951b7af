// net_link: the one connection between two fightgame processes, over UDP through ENet (a
// library made for game traffic: connections, resends of what must arrive, and plain
// datagrams for what is repeated anyway). The host waits on a port for one guest; the guest
// connects to an address. Nothing here ever waits longer than it is told: a frame polls.
//
// Ownership: the link owns its ENet host and peer; net_close frees them.
#pragma once
#include <cstddef>
#include <cstdint>

struct _ENetHost;
struct _ENetPeer;

enum { NET_DEFAULT_PORT = 7435 };

struct net_link {
    _ENetHost* host = nullptr;
    _ENetPeer* peer = nullptr;
    bool connected = false;
    bool lost = false;     // the other side went away (or never answered)
};

// Waits for a guest on port (on every address of this machine); false when the port cannot
// be had.
bool net_listen(net_link& l, int port);
// Starts connecting to host:port; false for an address that cannot be resolved.
bool net_connect(net_link& l, const char* host, int port);
// Sends bytes: reliable ones arrive once and in order, the others may not arrive at all.
bool net_send(net_link& l, const uint8_t* data, size_t size, bool reliable);
// The next datagram that came, into buf (at most room bytes); 0 when none is waiting. Takes
// the link's other events on the way (a guest connecting, the other side leaving) and waits
// at most wait_ms for the first event.
size_t net_poll(net_link& l, uint8_t* buf, size_t room, int wait_ms = 0);
// True when nothing sent reliably is still on its way (net_poll serves the resends and takes
// the acknowledgements); true as well once the link is down.
bool net_delivered(const net_link& l);
// The round trip to the other side as the link measures it, ms (0 before any).
int net_round_trip(const net_link& l);
// Keeps the link served for up to linger_ms (so the other side reads what was sent last: a
// disconnection arriving with a packet would lose it there), then says goodbye and frees
// everything. What arrives meanwhile is dropped.
void net_close(net_link& l, int linger_ms = 300);
// "host" or "host:port" into its parts; false for an empty host or a port out of range.
bool net_address(const char* text, char* host, size_t room, int& port);
// This machine's IPv4 addresses other than the loopback one, separated by two spaces (what a
// guest types to join); "127.0.0.1" when there is no other.
void net_machine_addresses(char* out, size_t room);
