// net_packet: the messages two fightgame processes exchange to play a match over the
// network, as bytes on the wire. Every packet starts with the magic "MLKN", the protocol
// version and its kind, then the session it belongs to; numbers are little-endian. The reader
// checks every length and range and refuses anything else (another program, another
// version, a cut or padded packet, an unknown kind): a refused packet is never looked at
// further. Writing and reading are exact inverses: what the reader accepts, the writer
// writes back byte for byte.
//
// Ownership: plain values; the caller owns the buffers.
#pragma once
#include <cstddef>
#include <cstdint>

enum {
    NET_PROTOCOL = 2,      // bumped whenever a packet changes
    NET_MAX_INPUTS = 32,   // inputs one packet carries
    NET_VERSION_TEXT = 32, // room for the program's version, with its NUL
    NET_OPTIONS = 7,       // the game options a match is played with
    NET_MAX_DELAY = 8,     // frames of input delay a match may have
    NET_MAX_PACKET = 256
};
enum net_kind { NET_HELLO = 1, NET_SETUP = 2, NET_INPUTS = 3, NET_BYE = 4, NET_PICK = 5 };
enum net_bye_reason { NET_BYE_QUIT = 0, NET_BYE_DESYNC = 1, NET_BYE_REFUSED = 2 };

// HELLO, both ways: which program calls, and whether it plays by the same rules. The host's
// carries the session the guest then uses.
struct net_hello {
    char version[NET_VERSION_TEXT] = {}; // NUL-terminated
    uint64_t rules = 0;                  // hash of the definition files that decide the rules
    int8_t pick = -1;                    // the fighter chosen so far, -1 none
};

// PICK, both ways while both choose their fighters: the fighter this side offers now, and
// whether it is chosen. Sent every frame until the match is set up.
struct net_pick {
    int8_t choice = 0;
    uint8_t chosen = 0;
};

// SETUP, host to guest: the match about to be played.
struct net_setup {
    uint32_t seed = 0;
    uint16_t fps = 60;
    uint8_t options[NET_OPTIONS] = {}; // in game_option order
    int8_t picks[2] = {0, 0};          // left (the guest), right (the host)
    uint8_t delay = 2;                 // frames of input delay, 0 to NET_MAX_DELAY
    uint8_t wins = 3;                  // round wins beyond which the match is over
};

// INPUTS: a run of the sender's inputs from frame `first` on, repeated until the receiver
// acknowledges them, with how far the sender has the receiver's, the sender's own frame and
// how far behind the receiver's frames come in (so both keep time in step) and, now and then,
// the checksum of a confirmed frame.
struct net_inputs {
    uint32_t first = 0;
    uint8_t count = 0; // 1 to NET_MAX_INPUTS
    uint16_t masks[NET_MAX_INPUTS] = {};
    int32_t ack = -1;  // the receiver's last input the sender has, -1 none yet
    uint32_t frame = 0;
    int16_t behind = 0;  // how far the receiver's frames run behind the sender's as they come
                         // in, quarter frames, on the average (the time sync's half)
    uint8_t has_check = 0;
    uint32_t check_frame = 0;
    uint64_t checksum = 0;
};

struct net_packet {
    uint8_t kind = 0;
    uint32_t session = 0; // chosen by the host; a packet of another session is stale
    net_hello hello;
    net_setup setup;
    net_inputs inputs;
    net_pick pick;
    uint8_t bye = NET_BYE_QUIT;
};

// Writes p into out; the number of bytes, or 0 when it does not fit in room or p is not a
// packet the reader would take.
size_t net_write(const net_packet& p, uint8_t* out, size_t room);
// True when the bytes are exactly one well-formed packet of this protocol; p is then filled.
bool net_read(const uint8_t* data, size_t size, net_packet& p);
