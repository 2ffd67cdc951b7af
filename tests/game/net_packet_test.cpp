// The network packets: each kind reads back as written, and whatever is not exactly one
// packet of this protocol is refused.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "net_packet.h"

namespace {

net_packet sample(int kind) {
    net_packet p;
    p.kind = (uint8_t)kind;
    p.session = 0xA1B2C3D4u;
    strcpy(p.hello.version, "0.9 (test)");
    p.hello.rules = 0x0123456789ABCDEFull;
    p.hello.pick = 2;
    p.setup.seed = 77;
    p.setup.fps = 60;
    p.setup.options[0] = 2;
    p.setup.picks[0] = 3;
    p.setup.picks[1] = 1;
    p.setup.delay = 2;
    p.inputs.first = 1000;
    p.inputs.count = NET_MAX_INPUTS;
    for (int i = 0; i < NET_MAX_INPUTS; i++) p.inputs.masks[i] = (uint16_t)(i * 37);
    p.inputs.ack = 990;
    p.inputs.frame = 1003;
    p.inputs.behind = -37;
    p.inputs.has_check = 1;
    p.inputs.check_frame = 960;
    p.inputs.checksum = 0xFEEDFACECAFEBEEFull;
    p.bye = NET_BYE_DESYNC;
    p.pick.choice = 3;
    p.pick.chosen = 1;
    return p;
}

std::vector<uint8_t> bytes_of(const net_packet& p) {
    uint8_t out[NET_MAX_PACKET];
    const size_t n = net_write(p, out, sizeof out);
    return std::vector<uint8_t>(out, out + n);
}

TEST(NetPacket, EveryKindReadsBackAsWritten) {
    for (int kind : {NET_HELLO, NET_SETUP, NET_INPUTS, NET_BYE, NET_PICK}) {
        SCOPED_TRACE(kind);
        const std::vector<uint8_t> b = bytes_of(sample(kind));
        ASSERT_FALSE(b.empty());
        net_packet back;
        ASSERT_TRUE(net_read(b.data(), b.size(), back));
        EXPECT_EQ(back.kind, kind);
        EXPECT_EQ(back.session, 0xA1B2C3D4u);
        EXPECT_EQ(bytes_of(back), b);
    }
    net_packet back;
    const std::vector<uint8_t> b = bytes_of(sample(NET_INPUTS));
    ASSERT_TRUE(net_read(b.data(), b.size(), back));
    EXPECT_EQ(back.inputs.masks[31], 31 * 37);
    EXPECT_EQ(back.inputs.checksum, 0xFEEDFACECAFEBEEFull);
    EXPECT_EQ(back.inputs.behind, -37);
}

TEST(NetPacket, WhatIsNotExactlyOnePacketOfThisProtocolIsRefused) {
    const std::vector<uint8_t> good = bytes_of(sample(NET_INPUTS));
    const struct {
        const char* what;
        size_t at;      // byte changed, or the length cut to
        int value;      // new value, or -1 to cut the packet at `at`
    } cases[] = {
        {"another program", 0, 'X'},
        {"another protocol version", 4, NET_PROTOCOL + 1},
        {"an unknown kind", 5, 9},
        {"no inputs", 14, 0},
        {"more inputs than a packet holds", 14, NET_MAX_INPUTS + 1},
        {"a checksum flag that is not 0 or 1", 15 + 2 * NET_MAX_INPUTS + 10, 2},
        {"cut short", 20, -1},
        {"only the magic", 4, -1},
        {"empty", 0, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> b = good;
        if (c.value < 0) b.resize(c.at);
        else b[c.at] = (uint8_t)c.value;
        net_packet p;
        EXPECT_FALSE(net_read(b.data(), b.size(), p));
    }
    std::vector<uint8_t> padded = good;
    padded.push_back(0);
    net_packet p;
    EXPECT_FALSE(net_read(padded.data(), padded.size(), p));

    // A version text without its end, a setup with a delay past the limit, a bye of an
    // unknown reason: none is written, none is read.
    net_packet hello = sample(NET_HELLO);
    memset(hello.hello.version, 'v', sizeof hello.hello.version);
    net_packet setup = sample(NET_SETUP);
    setup.setup.delay = NET_MAX_DELAY + 1;
    net_packet bye = sample(NET_BYE);
    bye.bye = 7;
    net_packet pick = sample(NET_PICK);
    pick.pick.chosen = 2;
    for (const net_packet& bad : {hello, setup, bye, pick}) EXPECT_TRUE(bytes_of(bad).empty());
}

} // namespace
