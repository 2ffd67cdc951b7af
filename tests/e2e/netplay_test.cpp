// Network play between two real fightgame processes on this machine's loopback address, each
// playing its side of the committed versus recording: through a relay that delays, jitters,
// loses, doubles packets and throws in random ones, both end as recorded, with the same
// checks and no desync; one side killed
// mid-match leaves the other saying so; other definition files are refused on both sides.
#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <sstream>
#include <thread>

#include "demo_folder.h"
#include "net_relay.h"
#include "replay_cases.h"

namespace {

const std::vector<std::string> kDummy = {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"};

// A recording's check lines ("c<frame>=...").
std::string check_lines(const std::string& text) {
    std::istringstream in(text);
    std::string line, out;
    while (std::getline(in, line))
        if (line.size() > 1 && line[0] == 'c' && isdigit((unsigned char)line[1])) out += line + "\n";
    return out;
}

struct side {
    scratch_dir dir;
    running_program p;
    side() { copy_game_folder(dir.path); }
    // Scripted: this side plays its part of the versus recording and the program ends with
    // the match; otherwise nobody plays it and the main menu follows.
    void start(const std::vector<std::string>& args, bool scripted = true) {
        std::vector<std::string> all = args;
        if (scripted) all.push_back("--netkeys");
        if (scripted) all.push_back(committed_replay("versus.ini"));
        start_program(p, "fightgame", all, dir.path, kDummy);
    }
    // The check lines of the recording it made.
    std::string checks() {
        std::vector<std::string> made = replays_in(dir);
        if (made.size() != 1) return "recordings: " + std::to_string(made.size());
        return check_lines(read_text(dir.file("game/replays/" + made[0])));
    }
};

std::string committed_checks() { return check_lines(read_text(committed_replay("versus.ini"))); }

int rollbacks(const std::string& out) {
    const size_t at = out.find("Network match over: ");
    return at == std::string::npos ? -1 : atoi(out.c_str() + at + 20);
}

// The cases run side by side: each pair is mostly waiting for its frames.
TEST(Netplay, BothSidesOfARecordedMatchEndAsRecordedThroughDelayJitterAndLoss) {
    const struct {
        int rtt, jitter, loss, port;
        bool hostile; // packets sent twice and random datagrams thrown in
    } cases[] = {{0, 20, 5, 27401, false}, {60, 20, 5, 27411, true}, {120, 20, 5, 27451, false},
                 {200, 20, 20, 27421, false}};
    std::vector<std::unique_ptr<net_relay>> relays;
    std::vector<std::unique_ptr<side>> hosts, guests;
    for (const auto& c : cases) {
        relays.emplace_back(new net_relay(c.port + 1, c.port, c.rtt, c.jitter, c.loss, c.hostile));
        ASSERT_TRUE(relays.back()->ready());
        hosts.emplace_back(new side());
        guests.emplace_back(new side());
        hosts.back()->start({"--host", std::to_string(c.port)});
    }
    for (size_t i = 0; i < hosts.size(); i++) {
        ASSERT_TRUE(hosts[i]->p.wait_for("Waiting for a guest", 30000)) << hosts[i]->p.err();
        guests[i]->start({"--join", "127.0.0.1:" + std::to_string(cases[i].port + 1)});
    }
    for (size_t i = 0; i < hosts.size(); i++) {
        const auto& c = cases[i];
        SCOPED_TRACE(std::to_string(c.rtt) + " ms round trip, " + std::to_string(c.loss) + " % lost");
        const run_result& g = guests[i]->p.finish(120000);
        const run_result& h = hosts[i]->p.finish(20000);
        for (const run_result* r : {&h, &g}) {
            EXPECT_EQ(r->exit_code, 0) << r->out.substr(r->out.size() > 2000 ? r->out.size() - 2000 : 0);
            EXPECT_EQ(count_occurrences(r->out, committed_result("versus.ini")), 1);
            EXPECT_EQ(r->out.find("desync"), std::string::npos);
        }
        EXPECT_EQ(hosts[i]->checks(), committed_checks());
        EXPECT_EQ(guests[i]->checks(), committed_checks());
        // Where the delay is longer than the input delay's two frames, guesses were taken back.
        if (c.rtt > 0) {
            EXPECT_GT(rollbacks(h.out) + rollbacks(g.out), 0);
        }
    }
}

TEST(Netplay, OneSideKilledMidMatchLeavesTheOtherSayingTheConnectionIsLostBackInItsMainMenu) {
    side host, guest;
    host.start({"--host", "27431", "--fighter", "1"}, false);
    ASSERT_TRUE(host.p.wait_for("Waiting for a guest", 30000));
    guest.start({"--join", "127.0.0.1:27431"});
    // Both have loaded the match (a side still loading may be silent for longer).
    ASSERT_TRUE(host.p.wait_for("Scrolling Max for level", 30000)) << host.p.out();
    ASSERT_TRUE(guest.p.wait_for("Scrolling Max for level", 30000)) << guest.p.out();
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    guest.p.signal(SIGKILL);
    const auto killed = std::chrono::steady_clock::now();
    ASSERT_TRUE(host.p.wait_for("MAIN MENU:\n", 5000)) << host.p.out(); // three seconds of silence, the message
    EXPECT_LT(std::chrono::steady_clock::now() - killed, std::chrono::seconds(5));
    EXPECT_NE(host.p.out().find("connection lost\n"), std::string::npos);
    EXPECT_EQ(replays_in(host.dir).size(), 1u); // the recording is kept
    host.p.signal(SIGTERM); // a quit in the main menu
    EXPECT_EQ(host.p.finish(20000).exit_code, 0);
}

TEST(Netplay, OtherDefinitionFilesAreRefusedOnBothSides) {
    side host, guest;
    write_text(guest.dir.file("game/fighter/tamsin_char.ini"),
               read_text(guest.dir.file("game/fighter/tamsin_char.ini")) + "walk=2\n");
    host.start({"--host", "27441"});
    ASSERT_TRUE(host.p.wait_for("Waiting for a guest", 30000));
    guest.start({"--join", "127.0.0.1:27441"});
    for (running_program* p : {&guest.p, &host.p}) {
        const run_result& r = p->finish(20000);
        EXPECT_EQ(r.exit_code, 6) << r.out.substr(r.out.size() > 1500 ? r.out.size() - 1500 : 0);
        EXPECT_NE(r.out.find("refused: the other side differs in the definition files"), std::string::npos) << r.out;
    }
}

} // namespace
