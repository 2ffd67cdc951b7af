#include "netplay.h"

#include <SDL.h>
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fighter_table.h"
#include "foundation/clock.h"
#include "foundation/log.h"
#include "foundation/pacing.h"
#include "foundation/safe_file.h"
#include "foundation/settings.h"
#include "foundation/video_mgr.h"
#include "images/font.h"
#include "game_options.h"
#include "input/control_mgr.h"
#include "match.h"
#include "match_save.h"
#include "net_link.h"
#include "net_packet.h"
#include "preload.h"
#include "replay.h"
#include "rollback.h"
#include "stage_choice.h"

static const char* const PROGRAM_VERSION = "Marrowlark 0.17 net 1";
static const char* const USAGE =
    "usage: fightgame [--host [PORT] | --join HOST[:PORT]] [--fighter N] [--delay FRAMES] [--netkeys RECORDING]\n";

// ---------------------------------------------------------------------------------------
// The command line

int netplay_command(int argc, char** argv, netplay_command_line& cmd) {
    cmd = netplay_command_line();
    for (int i = 1; i < argc; i++) {
        const char* a = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
        char* end = nullptr;
        if (strcmp(a, "--host") == 0) {
            cmd.active = cmd.host = 1;
            cmd.port = NET_DEFAULT_PORT;
            if (next && next[0] != '-') {
                const long p = strtol(next, &end, 10);
                if (*end || p < 1 || p > 65535) return log_err("%s", USAGE), NET_EXIT_USAGE;
                cmd.port = (int)p;
                i++;
            }
        } else if (strcmp(a, "--join") == 0) {
            char host[256];
            if (!next || !net_address(next, host, sizeof host, cmd.port)) return log_err("%s", USAGE), NET_EXIT_USAGE;
            cmd.active = 1;
            cmd.host = 0;
            cmd.address = host;
            i++;
        } else if (strcmp(a, "--fighter") == 0 || strcmp(a, "--delay") == 0) {
            const long v = next ? strtol(next, &end, 10) : -1;
            const bool fighter = a[2] == 'f';
            if (!next || *end || v < 0 || v > (fighter ? fighter_count - 1 : 4)) return log_err("%s", USAGE), NET_EXIT_USAGE;
            (fighter ? cmd.fighter : cmd.delay) = (int)v;
            i++;
        } else if (strcmp(a, "--netkeys") == 0 && next) {
            cmd.keys = next;
            i++;
        } else if (cmd.active) {
            return log_err("%s", USAGE), NET_EXIT_USAGE;
        }
    }
    if (!cmd.keys.empty() && !cmd.active) return log_err("%s", USAGE), NET_EXIT_USAGE;
    return cmd.active ? -2 : -1;
}

// ---------------------------------------------------------------------------------------
// The rules' files

static void hash_bytes(unsigned long long& h, const void* p, size_t n) {
    const unsigned char* b = (const unsigned char*)p;
    for (size_t i = 0; i < n; i++) h = (h ^ b[i]) * 1099511628211ULL;
}

// A file's name and bytes (regular files only, at most a megabyte of them).
static void hash_file(unsigned long long& h, const std::string& path) {
    hash_bytes(h, path.data(), path.size() + 1);
    FILE* f = regular_file(path.c_str()) ? fopen(path.c_str(), "rb") : nullptr;
    if (!f) return;
    char buf[4096];
    size_t n, total = 0;
    while (total < (1u << 20) && (n = fread(buf, 1, sizeof buf, f)) > 0) {
        hash_bytes(h, buf, n);
        total += n;
    }
    fclose(f);
}

// Every definition file under folder, in name order.
static void hash_folder(unsigned long long& h, const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* d = opendir(folder.c_str())) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.') names.push_back(e->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    for (const std::string& n : names) {
        const std::string path = folder + "/" + n;
        struct stat st;
        if (stat(path.c_str(), &st) != 0) continue;
        if (S_ISDIR(st.st_mode)) hash_folder(h, path);
        else if (n.size() > 4 && n.compare(n.size() - 4, 4, ".ini") == 0) hash_file(h, path);
    }
}

unsigned long long rules_hash() {
    unsigned long long h = 14695981039346656037ULL;
    hash_folder(h, "game/fighter");
    for (const char* stage : stage_files) {
        hash_file(h, stage);
        std::string folder = stage;
        hash_folder(h, folder.substr(0, folder.rfind('/')));
    }
    return h;
}

// ---------------------------------------------------------------------------------------
// The session

namespace {

struct session {
    net_link link;
    uint32_t id = 0;
    int local = 1;
    int delay = NET_DEFAULT_DELAY;
    rollback_session roll;
    int acked = -1;         // the last of our inputs the other side has
    int their_frame = 0;    // the other side's frame, as it last said
    uint32_t heard = 0;     // when it was last heard, ms
    bool playing = false;   // its first input came: it has loaded the match
    int next_check = NET_CHECK_EVERY;
    uint32_t our_check_frame = 0;
    uint64_t our_check = 0;
    int have_our_check = 0;
    uint32_t their_check_frame = 0;
    uint64_t their_check = 0;
    int have_their_check = 0;
    int ended = 0;          // NET_EXIT_* once the match is over for a reason of the network
    bool over = false;      // our match has ended: the other side's goodbye is no fault now
    bool parted = false;    // it said goodbye after our match ended
    int ticks = 0, last_hold = 0;
    bool show_line = false;  // the network line, toggled with F8
    uint8_t f8 = 0;          // F8 as last seen
    int again_at[64] = {};   // frames stepped again, per display frame of the last second
    int again_before = 0;
    int bound[CONTROL_COUNT] = {};
    std::vector<control_mask> script; // --netkeys: this side's input on each frame
    std::vector<std::vector<uint8_t>> early; // what came while connecting, read first
};
session* net = nullptr;

bool send_packet(session& s, const net_packet& p, bool reliable) {
    uint8_t buf[NET_MAX_PACKET];
    const size_t n = net_write(p, buf, sizeof buf);
    return n && net_send(s.link, buf, n, reliable);
}

net_packet packet_of(const session& s, int kind) {
    net_packet p;
    p.kind = (uint8_t)kind;
    p.session = s.id;
    return p;
}

void say_bye(session& s, int reason) {
    net_packet p = packet_of(s, NET_BYE);
    p.bye = (uint8_t)reason;
    send_packet(s, p, true);
}

// This side's inputs the other has not acknowledged (the newest NET_MAX_INPUTS of them), how far
// we have the other's, our frame and the latest checksum.
void send_inputs(session& s) {
    const rollback_session& r = s.roll;
    const int last = r.known[r.local];
    if (last < 0) return;
    // All acknowledged: the newest again, so the other side still hears our frame.
    const int first = std::min(last, std::max({s.acked + 1, last - NET_MAX_INPUTS + 1, 0}));
    net_packet p = packet_of(s, NET_INPUTS);
    p.inputs.first = (uint32_t)first;
    p.inputs.count = (uint8_t)(last - first + 1);
    for (int i = 0; i < p.inputs.count; i++) p.inputs.masks[i] = r.input[r.local][(first + i) % ROLLBACK_HISTORY];
    p.inputs.ack = r.known[1 - r.local];
    p.inputs.frame = (uint32_t)r.frame;
    if (s.have_our_check) {
        p.inputs.has_check = 1;
        p.inputs.check_frame = s.our_check_frame;
        p.inputs.checksum = s.our_check;
    }
    send_packet(s, p, false);
}

void compare_checks(session& s) {
    if (!s.have_our_check || !s.have_their_check || s.our_check_frame != s.their_check_frame) return;
    if (s.our_check != s.their_check && !s.ended) {
        log_out("desync at frame %u\n", s.our_check_frame);
        s.ended = NET_EXIT_DESYNC;
        say_bye(s, NET_BYE_DESYNC);
    }
}

// Everything that came: inputs, acknowledgements, checksums, a goodbye.
void receive(session& s) {
    uint8_t buf[NET_MAX_PACKET + 1];
    size_t n;
    while ((n = net_poll(s.link, buf, sizeof buf)) > 0) {
        net_packet p;
        if (!net_read(buf, n, p) || p.session != s.id) continue; // foreign or stale: ignored
        s.heard = SDL_GetTicks();
        if (p.kind == NET_BYE) {
            if (s.over && p.bye == NET_BYE_QUIT) {
                s.parted = true;
                continue;
            }
            if (!s.ended) {
                log_out(p.bye == NET_BYE_DESYNC ? "desync: the other side's match differs\n" : "The other side left\n");
                s.ended = p.bye == NET_BYE_DESYNC ? NET_EXIT_DESYNC : NET_EXIT_LOST;
            }
            continue;
        }
        if (p.kind != NET_INPUTS) continue;
        s.playing = true;
        const net_inputs& in = p.inputs;
        rollback_session& r = s.roll;
        const int other = 1 - r.local;
        for (int i = 0; i < in.count; i++) rollback_input(r, other, (int)in.first + i, in.masks[i]);
        if (in.ack > s.acked && in.ack <= r.known[r.local]) s.acked = in.ack;
        if ((int)in.frame > s.their_frame) s.their_frame = (int)in.frame;
        if (in.has_check && (!s.have_their_check || in.check_frame > s.their_check_frame)) {
            s.have_their_check = 1;
            s.their_check_frame = in.check_frame;
            s.their_check = in.checksum;
        }
    }
    if (s.link.lost && !s.ended && !s.over) {
        log_out("connection lost\n");
        s.ended = NET_EXIT_LOST;
    }
    compare_checks(s);
}

// The checksum of every 60th frame, once every frame before it stands on real inputs.
void take_check(session& s) {
    const rollback_session& r = s.roll;
    const int f = s.next_check;
    if (r.wrong >= 0 || r.known[0] < f - 1 || r.known[1] < f - 1 || r.frame <= f) return;
    if (r.frame - f < ROLLBACK_FRAMES + 2) {
        s.our_check = match_checksum(r.saved[f % (ROLLBACK_FRAMES + 2)]);
        s.our_check_frame = (uint32_t)f;
        s.have_our_check = 1;
    }
    s.next_check += NET_CHECK_EVERY;
    compare_checks(s);
}

// The network line at the bottom: round trip, input delay, frames stepped again in the last
// second.
void draw_network_line(session& s) {
    const match_state& m = current_match;
    font* f = m.res && m.res->osd ? m.res->osd->stats : nullptr;
    const int rate = fps > 0 && fps < 64 ? fps : 60;
    const int now = s.roll.stats.frames_again;
    s.again_at[s.ticks % rate] = now - s.again_before;
    s.again_before = now;
    if (!s.show_line || !f || !video.screen) return;
    int last_second = 0;
    for (int i = 0; i < rate; i++) last_second += s.again_at[i];
    char text[96];
    snprintf(text, sizeof text, "round trip %d ms  delay %d  rolled back %d", net_round_trip(s.link), s.delay,
             last_second);
    f->pen_x = (video.screen->w - f->text_width(text)) / 2;
    f->pen_y = video.screen->h - 24;
    f->draw_text(text);
}

void show_frame(session& s) {
    video.clear();
    match_draw();
    draw_network_line(s);
    if (video.audio_ok) {
        match_play_sounds();
        rollback_play_late(s.roll);
    }
    const match_state& m = current_match;
    if (m.res && m.res->pacer) pace_frame(m.res->pacer);
    video.flip();
    s.ticks++;
}

// One frame of a network match: inputs both ways, then a step when both sides allow it (held
// otherwise), drawn and presented. Returns once a frame was stepped, or the round's end stands,
// or the match is over.
void net_frame() {
    session& s = *net;
    match_state& m = current_match;
    rollback_session& r = s.roll;
    for (;;) {
        SDL_Event e;
        bool quit = quit_requested();
        while (SDL_PollEvent(&e))
            if (e.type == SDL_QUIT) quit = true;
        const Uint8* keys = SDL_GetKeyState(nullptr);
        const uint8_t f8 = keys && keys[SDLK_F8] ? 1 : 0;
        if (f8 && !s.f8) s.show_line = !s.show_line;
        s.f8 = f8;
        if (quit || (keys && keys[SDLK_ESCAPE])) {
            say_bye(s, NET_BYE_QUIT);
            m.end = MATCH_ABANDONED;
            return;
        }
        receive(s);
        if (!s.ended && SDL_GetTicks() - s.heard > (uint32_t)(s.playing ? NET_LOST_MS : NET_LOADING_MS)) {
            log_out("connection lost\n");
            s.ended = NET_EXIT_LOST;
        }
        if (s.ended) {
            m.end = MATCH_ABANDONED;
            return;
        }
        int numkeys = 0;
        const Uint8* live = SDL_GetKeyState(&numkeys);
        if (!s.script.empty()) {
            // A recording's part: each frame's own input, on time.
            const int f = r.frame;
            if (r.known[r.local] < f) rollback_input(r, r.local, f, f < (int)s.script.size() ? s.script[(size_t)f] : 0);
        } else {
            while (r.known[r.local] < r.frame + s.delay)
                if (!rollback_input(r, r.local, r.known[r.local] + 1, local_controls(live, numkeys, s.bound))) break;
        }
        send_inputs(s);
        if (m.end != MATCH_RUNNING) {
            // Decided: it stands only on real inputs; a late one may take it back.
            rollback_catch_up(r);
            take_check(s);
            if (m.end != MATCH_RUNNING && rollback_settled(r)) return;
            show_frame(s);
            continue;
        }
        // Running ahead of the other side (its frame as it said, plus the frames its word took to
        // come): a frame held now and then brings them together.
        const int transit = net_round_trip(s.link) * (fps > 0 ? fps : 60) / 2000;
        const bool ahead = r.frame - (s.their_frame + transit) > 1 && s.ticks - s.last_hold > 10;
        if (!ahead && rollback_can_step(r)) {
            rollback_step(r);
            take_check(s);
            show_frame(s);
            return;
        }
        if (ahead) s.last_hold = s.ticks;
        r.stats.held++;
        show_frame(s);
    }
}

// Waits up to ms for the link to connect, keeping the window alive; false when it does not.
bool wait_connected(session& s, uint32_t ms) {
    const uint32_t start = SDL_GetTicks();
    uint8_t buf[NET_MAX_PACKET + 1];
    while (!s.link.connected && SDL_GetTicks() - start < ms) {
        if (size_t n = net_poll(s.link, buf, sizeof buf, 10)) s.early.push_back(std::vector<uint8_t>(buf, buf + n));
        SDL_Event e;
        while (SDL_PollEvent(&e))
            if (e.type == SDL_QUIT) return false;
        if (quit_requested()) return false;
    }
    return s.link.connected;
}

// The next packet of a kind, waiting up to ms; false when none comes.
bool wait_packet(session& s, int kind, net_packet& out, uint32_t ms) {
    const uint32_t start = SDL_GetTicks();
    uint8_t buf[NET_MAX_PACKET + 1];
    while (SDL_GetTicks() - start < ms && !s.link.lost) {
        size_t n = 0;
        if (!s.early.empty()) {
            n = std::min(s.early.front().size(), sizeof buf);
            memcpy(buf, s.early.front().data(), n);
            s.early.erase(s.early.begin());
        } else {
            n = net_poll(s.link, buf, sizeof buf, 10);
        }
        net_packet p;
        // The hello and the set-up come before the guest knows the session.
        if (n && net_read(buf, n, p) && p.kind == kind && (kind != NET_INPUTS || p.session == s.id)) {
            out = p;
            return true;
        }
        if (n && net_read(buf, n, p) && p.kind == NET_BYE) return false;
    }
    return false;
}

// Game option i (game_option order) of o.
int* option_slot(game_options& o, int i) {
    int* slots[NET_OPTIONS] = {&o.difficulty, &o.rounds, &o.life_style, &o.round_mode, &o.roster, &o.stage, &o.round_time};
    return slots[i];
}

bool valid_options(const uint8_t o[NET_OPTIONS]) {
    return o[OPT_DIFFICULTY] <= DIFFICULTY_NORMAL && o[OPT_ROUNDS] <= ROUNDS_MAX &&
           o[OPT_LIFE_STYLE] <= LIFE_STRICT && o[OPT_ROUND_MODE] <= ROUNDS_STAGED && o[OPT_ROSTER] <= ROSTER_TWO &&
           o[OPT_STAGE] <= STAGE_ALTERNATE && o[OPT_ROUND_TIME] <= ROUND_TIME_MAX;
}

} // namespace

// This side's part of a recording, frame by frame (engine frame k holds the keys after the
// changes of recorded frame k + 1).
static bool read_script(const std::string& file, int side, replay_record& rec, std::vector<control_mask>& out) {
    std::string error;
    if (!replay_load(file.c_str(), rec, error)) {
        log_err("%s\n", error.c_str());
        return false;
    }
    Uint8 keys[REPLAY_KEYS] = {};
    size_t next = 0;
    for (int f = 1; f <= rec.frames; f++) {
        for (; next < rec.inputs.size() && rec.inputs[next].frame <= f; next++)
            if (rec.inputs[next].code < REPLAY_KEYS) keys[rec.inputs[next].code] = (Uint8)rec.inputs[next].value;
        out.push_back(side_controls(side, keys, REPLAY_KEYS));
    }
    return true;
}

int netplay_run(const netplay_command_line& cmd, game_resources& res) {
    static session s;
    s = session();
    const game_options kept = game_opts;
    const int kept_fps = fps;
    s.local = cmd.host ? 1 : 0;
    const unsigned long long rules = rules_hash(); // before connecting: the hello goes at once
    replay_record rec;
    if (!cmd.keys.empty() && !read_script(cmd.keys, s.local, rec, s.script)) return NET_EXIT_USAGE;
    struct restore_options {
        const game_options& o;
        int f;
        ~restore_options() {
            game_opts = o;
            fps = f;
        }
    } restore{kept, kept_fps};
    if (!cmd.keys.empty() && cmd.host) {
        game_opts = replay_options(rec);
        fps = rec.fps;
    }
    if (cmd.host) {
        if (!net_listen(s.link, cmd.port)) return NET_EXIT_LOST;
        log_out("Waiting for a guest on port %d\n", cmd.port);
    } else {
        if (!net_connect(s.link, cmd.address.c_str(), cmd.port)) return NET_EXIT_LOST;
        log_out("Joining %s port %d\n", cmd.address.c_str(), cmd.port);
    }
    if (!wait_connected(s, cmd.host ? 120000 : 10000)) {
        log_out("connection lost\n");
        net_close(s.link);
        return NET_EXIT_LOST;
    }
    // Who we are, and whether we play by the same rules.
    net_packet hello = packet_of(s, NET_HELLO);
    snprintf(hello.hello.version, sizeof hello.hello.version, "%s", PROGRAM_VERSION);
    hello.hello.rules = rules;
    int pick = cmd.fighter;
    for (int i = 0; i < fighter_count && !cmd.keys.empty(); i++)
        if (rec.fighter[s.local] == fighter_table[i].file) pick = i; // the recording's fighter
    hello.hello.pick = (int8_t)pick;
    send_packet(s, hello, true);
    net_packet theirs;
    if (!wait_packet(s, NET_HELLO, theirs, 10000)) {
        log_out("connection lost\n");
        net_close(s.link);
        return NET_EXIT_LOST;
    }
    const char* differs = strcmp(theirs.hello.version, PROGRAM_VERSION) != 0 ? "the program's version"
                          : theirs.hello.rules != hello.hello.rules          ? "the definition files"
                          : theirs.hello.pick >= fighter_count              ? "the fighters"
                                                                             : nullptr;
    if (differs) {
        log_out("refused: the other side differs in %s (%s)\n", differs, theirs.hello.version);
        say_bye(s, NET_BYE_REFUSED);
        net_close(s.link, 1000);
        return NET_EXIT_REFUSED;
    }
    // The host sends the match; the guest plays what it is sent.
    net_packet setup = packet_of(s, NET_SETUP);
    if (cmd.host) {
        s.id = (uint32_t)SDL_GetTicks() * 2654435761u | 1u;
        setup.session = s.id;
        setup.setup.seed = s.id ^ 0x9E3779B9u;
        setup.setup.fps = (uint16_t)fps;
        for (int i = 0; i < NET_OPTIONS; i++) setup.setup.options[i] = (uint8_t)*option_slot(game_opts, i);
        setup.setup.picks[0] = theirs.hello.pick < 0 ? (int8_t)0 : theirs.hello.pick;
        setup.setup.picks[1] = (int8_t)pick;
        setup.setup.delay = (uint8_t)cmd.delay;
        setup.setup.wins = (uint8_t)(cmd.keys.empty() ? game_opts.rounds : rec.required_wins);
        send_packet(s, setup, true);
    } else if (!wait_packet(s, NET_SETUP, setup, 10000)) {
        log_out("connection lost\n");
        net_close(s.link);
        return NET_EXIT_LOST;
    } else if (!valid_options(setup.setup.options) || setup.setup.picks[0] >= fighter_count ||
               setup.setup.picks[1] >= fighter_count) {
        log_out("refused: the host's match is not one this game plays\n");
        say_bye(s, NET_BYE_REFUSED);
        net_close(s.link);
        return NET_EXIT_REFUSED;
    } else {
        s.id = setup.session;
    }
    const net_setup& m = setup.setup;
    log_out("Network match: %s on the left, %s on the right, %d fps, input delay %d\n",
            fighter_table[m.picks[0]].name, fighter_table[m.picks[1]].name, m.fps, m.delay);

    // The match as the host has it: its options, frame rate, seed, and default bindings on
    // both machines (each reads its own player through its own bindings).
    for (int i = 0; i < NET_OPTIONS; i++) *option_slot(game_opts, i) = m.options[i];
    fps = m.fps;
    int kept_keys[2][CONTROL_COUNT];
    for (int p = 0; p < 2; p++)
        for (int c = 0; c < CONTROL_COUNT; c++) kept_keys[p][c] = Control_Manager.key_for(p, control_names[c]);
    for (int c = 0; c < CONTROL_COUNT; c++) s.bound[c] = kept_keys[0][c];
    Control_Manager.set_defaults();
    s.delay = m.delay;
    s.heard = SDL_GetTicks();
    net = &s;
    replay_next_seed(m.seed);
    rollback_start(s.roll, s.local);
    match_frame_fn = net_frame;
    run_match(MODE_VERSUS, m.picks[0], m.picks[1], m.wins, match_resources_of(res));
    match_frame_fn = match_frame;
    // A moment more of our inputs, so a side still waiting on our last ones can settle its end.
    s.over = true;
    for (uint32_t until = SDL_GetTicks() + 500; !s.ended && !s.parted && SDL_GetTicks() < until; SDL_Delay(16)) {
        receive(s);
        send_inputs(s);
    }
    rollback_stop(s.roll);
    net = nullptr;
    if (!s.ended) say_bye(s, NET_BYE_QUIT);
    // Why it ended, on the screen for a moment.
    if (s.ended && res.osd.plain && video.screen) {
        char text[64];
        if (s.ended == NET_EXIT_DESYNC) snprintf(text, sizeof text, "desync at frame %u", s.our_check_frame);
        else snprintf(text, sizeof text, "connection lost");
        for (uint32_t until = SDL_GetTicks() + 800; SDL_GetTicks() < until; SDL_Delay(16)) {
            SDL_Event e;
            while (SDL_PollEvent(&e)) {}
            video.clear();
            res.osd.plain->pen_x = (video.screen->w - res.osd.plain->text_width(text)) / 2;
            res.osd.plain->pen_y = video.screen->h / 2;
            res.osd.plain->draw_text(text);
            video.flip();
        }
    }
    log_out("Network match over: %d rollbacks, %d frames stepped again, the longest %d, %d frames held\n",
            s.roll.stats.rollbacks, s.roll.stats.frames_again, s.roll.stats.longest, s.roll.stats.held);
    net_close(s.link);
    for (int p = 0; p < 2; p++)
        for (int c = 0; c < CONTROL_COUNT; c++) Control_Manager.set_binding(p, control_names[c], kept_keys[p][c]);
    return s.ended;
}
