#include "net_packet.h"

#include <cstring>

namespace {

const uint8_t MAGIC[4] = {'M', 'L', 'K', 'N'};

// Little-endian bytes out, refusing to run past the room.
struct writer {
    uint8_t* out;
    size_t room, at = 0;
    bool ok = true;
    void bytes(const void* p, size_t n) {
        if (!ok || at + n > room) {
            ok = false;
            return;
        }
        memcpy(out + at, p, n);
        at += n;
    }
    void u(uint64_t v, int n) {
        uint8_t b[8];
        for (int i = 0; i < n; i++) b[i] = (uint8_t)(v >> (8 * i));
        bytes(b, (size_t)n);
    }
};

// And back in, refusing to run past the end.
struct reader {
    const uint8_t* in;
    size_t size, at = 0;
    bool ok = true;
    bool bytes(void* p, size_t n) {
        if (!ok || at + n > size) return ok = false;
        memcpy(p, in + at, n);
        at += n;
        return true;
    }
    uint64_t u(int n) {
        uint8_t b[8] = {};
        if (!bytes(b, (size_t)n)) return 0;
        uint64_t v = 0;
        for (int i = 0; i < n; i++) v |= (uint64_t)b[i] << (8 * i);
        return v;
    }
};

bool valid_hello(const net_hello& h) {
    return memchr(h.version, 0, sizeof h.version) != nullptr && h.pick >= -1;
}
bool valid_setup(const net_setup& s) {
    return s.fps > 0 && s.delay <= NET_MAX_DELAY && s.picks[0] >= 0 && s.picks[1] >= 0 && s.wins <= 9;
}
bool valid_inputs(const net_inputs& i) {
    return i.count >= 1 && i.count <= NET_MAX_INPUTS && i.ack >= -1 && i.has_check <= 1;
}
bool valid(const net_packet& p) {
    switch (p.kind) {
    case NET_HELLO: return valid_hello(p.hello);
    case NET_SETUP: return valid_setup(p.setup);
    case NET_INPUTS: return valid_inputs(p.inputs);
    case NET_BYE: return p.bye <= NET_BYE_REFUSED;
    case NET_PICK: return p.pick.choice >= 0 && p.pick.chosen <= 1;
    default: return false;
    }
}

} // namespace

size_t net_write(const net_packet& p, uint8_t* out, size_t room) {
    if (!valid(p)) return 0;
    writer w{out, room};
    w.bytes(MAGIC, sizeof MAGIC);
    w.u(NET_PROTOCOL, 1);
    w.u(p.kind, 1);
    w.u(p.session, 4);
    switch (p.kind) {
    case NET_HELLO:
        w.bytes(p.hello.version, sizeof p.hello.version);
        w.u(p.hello.rules, 8);
        w.u((uint8_t)p.hello.pick, 1);
        break;
    case NET_SETUP:
        w.u(p.setup.seed, 4);
        w.u(p.setup.fps, 2);
        w.bytes(p.setup.options, sizeof p.setup.options);
        w.u((uint8_t)p.setup.picks[0], 1);
        w.u((uint8_t)p.setup.picks[1], 1);
        w.u(p.setup.delay, 1);
        w.u(p.setup.wins, 1);
        break;
    case NET_INPUTS: {
        const net_inputs& i = p.inputs;
        w.u(i.first, 4);
        w.u(i.count, 1);
        for (int k = 0; k < i.count; k++) w.u(i.masks[k], 2);
        w.u((uint32_t)i.ack, 4);
        w.u(i.frame, 4);
        w.u((uint16_t)i.behind, 2);
        w.u(i.has_check, 1);
        if (i.has_check) {
            w.u(i.check_frame, 4);
            w.u(i.checksum, 8);
        }
        break;
    }
    case NET_PICK:
        w.u((uint8_t)p.pick.choice, 1);
        w.u(p.pick.chosen, 1);
        break;
    default: w.u(p.bye, 1); break;
    }
    return w.ok ? w.at : 0;
}

bool net_read(const uint8_t* data, size_t size, net_packet& out) {
    if (!data || size > NET_MAX_PACKET) return false;
    reader r{data, size};
    uint8_t magic[4];
    if (!r.bytes(magic, sizeof magic) || memcmp(magic, MAGIC, sizeof MAGIC) != 0) return false;
    if (r.u(1) != NET_PROTOCOL) return false;
    net_packet p;
    p.kind = (uint8_t)r.u(1);
    p.session = (uint32_t)r.u(4);
    switch (p.kind) {
    case NET_HELLO:
        r.bytes(p.hello.version, sizeof p.hello.version);
        p.hello.rules = r.u(8);
        p.hello.pick = (int8_t)r.u(1);
        break;
    case NET_SETUP:
        p.setup.seed = (uint32_t)r.u(4);
        p.setup.fps = (uint16_t)r.u(2);
        r.bytes(p.setup.options, sizeof p.setup.options);
        p.setup.picks[0] = (int8_t)r.u(1);
        p.setup.picks[1] = (int8_t)r.u(1);
        p.setup.delay = (uint8_t)r.u(1);
        p.setup.wins = (uint8_t)r.u(1);
        break;
    case NET_INPUTS: {
        net_inputs& i = p.inputs;
        i.first = (uint32_t)r.u(4);
        i.count = (uint8_t)r.u(1);
        if (i.count < 1 || i.count > NET_MAX_INPUTS) return false;
        for (int k = 0; k < i.count; k++) i.masks[k] = (uint16_t)r.u(2);
        i.ack = (int32_t)(uint32_t)r.u(4);
        i.frame = (uint32_t)r.u(4);
        i.behind = (int16_t)(uint16_t)r.u(2);
        i.has_check = (uint8_t)r.u(1);
        if (i.has_check == 1) {
            i.check_frame = (uint32_t)r.u(4);
            i.checksum = r.u(8);
        }
        break;
    }
    case NET_BYE: p.bye = (uint8_t)r.u(1); break;
    case NET_PICK:
        p.pick.choice = (int8_t)r.u(1);
        p.pick.chosen = (uint8_t)r.u(1);
        break;
    default: return false;
    }
    // Exactly one packet: nothing missing, nothing left over, every value in range.
    if (!r.ok || r.at != size || !valid(p)) return false;
    out = p;
    return true;
}
