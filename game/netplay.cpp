#include "netplay.h"

#include <SDL.h>
#include <dirent.h>
#include <sys/stat.h>
#include <time.h>

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
#include "char_select.h"
#include "net_screens.h"
#include "net_link.h"
#include "net_packet.h"
#include "preload.h"
#include "replay.h"
#include "rollback.h"
#include "roster.h"
#include "stage_choice.h"

// The version both sides compare: the program's, and what of the build could change the
// match's numbers (the processor family, fused multiply-add, fast floating point).
#if defined(__x86_64__)
#define BUILD_ARCH " x64"
#else
#define BUILD_ARCH " other"
#endif
#if defined(__FMA__) || defined(__FP_FAST_FMA)
#define BUILD_FMA " fma"
#else
#define BUILD_FMA ""
#endif
#if defined(__FAST_MATH__)
#define BUILD_FAST " ffm"
#else
#define BUILD_FAST ""
#endif
static const char PROGRAM_VERSION[] = "Marrowlark 0.17 n2" BUILD_ARCH BUILD_FMA BUILD_FAST;
static_assert(sizeof PROGRAM_VERSION <= NET_VERSION_TEXT, "the version fits its packet");
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
    cmd.screens = cmd.keys.empty();
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
    hash_file(h, ROSTER_FILE); // picks travel as roster rows: both sides must list the same
    for (int i = 0; i < fighter_count; i++)
        if (fighter_table[i].file) hash_file(h, fighter_table[i].file);
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
    double behind = 0;       // how far behind ours their frames come in, on the average
    double their_behind = 0; // the same as the other side last said of ours
    uint32_t heard = 0;     // when it was last heard, ms
    double frame_start = 0; // this thread's processor time when this display frame began, ms
    double worst_ms = 0;    // the costliest display frame's work once both play
    int held_in_step = 0;   // frames held to let the other side catch up
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
    bool cancelled = false;  // this side's player left before the match
    // Choosing the fighters together.
    int my_pick = 0, their_pick = -1;
    bool my_chosen = false, their_chosen = false;
    uint32_t pick_sent = 0;
    net_packet setup;        // the host's, as the guest received it
    bool have_setup = false;
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
    p.inputs.behind = (int16_t)std::max(-32000.0, std::min(32000.0, s.behind * 4));
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

size_t next_packet(session& s, uint8_t* buf, size_t room, int wait_ms);

// Everything that came: inputs, acknowledgements, checksums, a goodbye.
void receive(session& s) {
    uint8_t buf[NET_MAX_PACKET + 1];
    size_t n;
    while ((n = next_packet(s, buf, sizeof buf, 0)) > 0) {
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
                s.ended = p.bye == NET_BYE_DESYNC ? NET_EXIT_DESYNC : NET_EXIT_LEFT;
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
        if ((int)in.frame > s.their_frame) {
            s.their_frame = (int)in.frame;
            // Running `lead` frames ahead, their frames come in `transit + lead` behind ours
            // and ours reach them `transit - lead` behind theirs: half the difference is the
            // lead, whatever the transit. One packet's jitter is more than a frame, so
            // averages decide.
            s.behind = 0.9 * s.behind + 0.1 * (r.frame - s.their_frame);
            s.their_behind = in.behind / 4.0;
        }
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

// The processor time this thread has used, ms: a frame's cost, whatever else the machine runs
// (the other side and the relay share its cores in the benchmark).
double thread_ms() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

void show_frame(session& s) {
    video.clear();
    match_draw();
    draw_network_line(s);
    if (video.audio_ok) {
        match_play_sounds();
        rollback_play_late(s.roll);
    }
    // The frame's work (steps, rollback and draw), from its first look at the network.
    const double work = thread_ms() - s.frame_start;
    if (s.playing && work > s.worst_ms) s.worst_ms = work;
    const match_state& m = current_match;
    if (m.res && m.res->pacer) pace_frame(m.res->pacer);
    video.flip();
    s.ticks++;
    s.frame_start = thread_ms();
}

// One frame of a network match: inputs both ways, then a step when both sides allow it (held
// otherwise), drawn and presented. Returns once a frame was stepped, or the round's end stands,
// or the match is over.
void net_frame() {
    session& s = *net;
    match_state& m = current_match;
    rollback_session& r = s.roll;
    s.frame_start = thread_ms(); // neither the set-up nor a round's end pose is this frame's work
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
        // This side's input goes `delay` frames ahead: the keys held now, or a recording's part
        // (each frame its own input, known as early as a player's would be).
        while (r.known[r.local] < r.frame + s.delay) {
            const int f = r.known[r.local] + 1;
            const control_mask c = s.script.empty() ? local_controls(live, numkeys, s.bound)
                                   : f < (int)s.script.size() ? s.script[(size_t)f] : 0;
            if (!rollback_input(r, r.local, f, c)) break;
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
        // Running ahead of the other side (on the average, see receive): a frame held now and
        // then brings them together.
        const bool ahead = (s.behind - s.their_behind) / 2 > 1.0 && s.ticks - s.last_hold > 10;
        if (!ahead && rollback_can_step(r)) {
            rollback_step(r);
            take_check(s);
            show_frame(s);
            return;
        }
        if (ahead) s.last_hold = s.ticks, s.held_in_step++, s.behind -= 1.0;
        else if (s.playing) r.stats.held++; // waiting on the other side (not while it loads)
        show_frame(s);
    }
}

// Waits up to ms for the link to connect, keeping the window alive (and showing page, when
// given); false when it does not, or the player cancels.
bool wait_connected(session& s, uint32_t ms, net_page_screen* screen, const net_page& page) {
    const uint32_t start = SDL_GetTicks();
    uint8_t buf[NET_MAX_PACKET + 1];
    while (!s.link.connected && SDL_GetTicks() - start < ms) {
        if (size_t n = net_poll(s.link, buf, sizeof buf, screen ? 0 : 10)) s.early.push_back(std::vector<uint8_t>(buf, buf + n));
        if (screen) {
            if (net_page_frame(screen, page) == NET_PAGE_CANCEL) return s.cancelled = true, false;
            continue;
        }
        SDL_Event e;
        while (SDL_PollEvent(&e))
            if (e.type == SDL_QUIT) return s.cancelled = true, false;
        if (quit_requested()) return s.cancelled = true, false;
    }
    return s.link.connected;
}

// The next packet that came while connecting, or from the link; 0 when none.
size_t next_packet(session& s, uint8_t* buf, size_t room, int wait_ms) {
    if (s.early.empty()) return net_poll(s.link, buf, room, wait_ms);
    const size_t n = std::min(s.early.front().size(), room);
    memcpy(buf, s.early.front().data(), n);
    s.early.erase(s.early.begin());
    return n;
}

// The next packet of a kind, waiting up to ms; false when none comes.
bool wait_packet(session& s, int kind, net_packet& out, uint32_t ms) {
    const uint32_t start = SDL_GetTicks();
    uint8_t buf[NET_MAX_PACKET + 1];
    while (SDL_GetTicks() - start < ms && !s.link.lost) {
        const size_t n = next_packet(s, buf, sizeof buf, 10);
        net_packet p;
        if (!n || !net_read(buf, n, p)) continue;
        // The hellos come before the guest knows the session.
        if (p.kind == kind) {
            out = p;
            return true;
        }
        if (p.kind == NET_BYE) return false;
    }
    return false;
}

// ---- Choosing the fighters together

// This side's offer, at most every 50 ms.
void send_offer(session& s) {
    if (SDL_GetTicks() - s.pick_sent < 50) return;
    net_packet p = packet_of(s, NET_PICK);
    p.pick.choice = (int8_t)(s.my_pick >= 0 ? s.my_pick : 0);
    p.pick.chosen = s.my_chosen ? 1 : 0;
    send_packet(s, p, false);
    s.pick_sent = SDL_GetTicks();
}

// What came while both choose: the other side's offer, the host's set-up, a goodbye. This
// side's offer goes out every 50 ms. False once the other side is gone.
bool pump_picks(session& s) {
    uint8_t buf[NET_MAX_PACKET + 1];
    while (size_t n = next_packet(s, buf, sizeof buf, 0)) {
        net_packet p;
        if (!net_read(buf, n, p) || p.session != s.id) continue;
        s.heard = SDL_GetTicks();
        if (p.kind == NET_PICK && p.pick.choice < fighter_count) {
            s.their_pick = p.pick.choice;
            s.their_chosen = s.their_chosen || p.pick.chosen;
        } else if (p.kind == NET_SETUP && s.local == 0) {
            s.setup = p;
            s.have_setup = true;
            s.their_chosen = true;
        } else if (p.kind == NET_BYE && !s.ended) {
            log_out("The other side left\n");
            s.ended = NET_EXIT_LEFT;
        }
    }
    if (!s.ended && (s.link.lost || SDL_GetTicks() - s.heard > (uint32_t)NET_LOST_MS)) {
        log_out("connection lost\n");
        s.ended = NET_EXIT_LOST;
    }
    if (s.ended) return false;
    send_offer(s);
    return true;
}

// Character select's partner: our offer out, theirs in.
bool partner_frame(int choice, bool chosen, int* other, bool* other_chosen) {
    session& s = *net;
    s.my_pick = choice;
    s.my_chosen = chosen;
    const bool up = pump_picks(s);
    *other = s.their_pick;
    *other_chosen = s.their_chosen;
    return up;
}

// Waits, pumping picks, until done(s) or the other side is gone; a page shows meanwhile when
// given, and Escape on it cancels. False when it did not come.
bool wait_picks(session& s, bool (*done)(const session&), net_page_screen* screen, const net_page& page, uint32_t ms) {
    for (const uint32_t start = SDL_GetTicks(); !done(s);) {
        if (!pump_picks(s)) return false;
        if (SDL_GetTicks() - start > ms) {
            log_out("connection lost\n");
            s.ended = NET_EXIT_LOST;
            return false;
        }
        if (screen) {
            if (net_page_frame(screen, page) == NET_PAGE_CANCEL) return s.cancelled = true, false;
        } else {
            SDL_Delay(5);
            if (quit_requested()) return s.cancelled = true, false;
        }
    }
    return true;
}

bool they_have_chosen(const session& s) { return s.their_chosen; }
bool have_setup(const session& s) { return s.have_setup; }

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

// The page of a network match's end, or of a refusal: why, for a moment.
static void show_ending(const session& s, game_resources& res, const char* refused) {
    if (!video.screen || !s.ended) return;
    net_page page;
    char text[96];
    if (refused) snprintf(text, sizeof text, "refused: the other side differs in %s", refused);
    else if (s.ended == NET_EXIT_DESYNC) snprintf(text, sizeof text, "desync at frame %u", s.our_check_frame);
    else if (s.ended == NET_EXIT_LEFT) snprintf(text, sizeof text, "The other side left");
    else snprintf(text, sizeof text, "connection lost");
    page.add(text);
    net_page_show(res, page, 1200);
}

// The guest sees the match the host set: both fighters, the host's game options, its frame
// rate and the input delay.
static void show_host_match(game_resources& res, const net_setup& m) {
    net_page page;
    page.add("The host's match");
    page.add(std::string(fighter_table[m.picks[0]].name) + " (you) against " + fighter_table[m.picks[1]].name);
    game_options o = game_opts;
    for (int i = 0; i < NET_OPTIONS; i++) *option_slot(o, i) = m.options[i];
    for (int i = 0; i < NET_OPTIONS && i < GAME_OPTION_COUNT; i++) {
        char value[16];
        page.add(std::string(res.game_option_labels[i]) + " " + game_option_text(o, i, value, sizeof value));
    }
    char line[64];
    snprintf(line, sizeof line, "%d frames a second, input delay %d", m.fps, m.delay);
    page.add(line);
    net_page_show(res, page, 2500);
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
    net_page waiting;
    char line[160];
    if (cmd.host) {
        if (!net_listen(s.link, cmd.port)) return NET_EXIT_LOST;
        log_out("Waiting for a guest on port %d\n", cmd.port);
        waiting.add("Waiting for a guest");
        snprintf(line, sizeof line, "port %d", cmd.port);
        waiting.add(line);
        char addresses[128];
        net_machine_addresses(addresses, sizeof addresses);
        waiting.add(std::string("this machine: ") + addresses);
    } else {
        if (!net_connect(s.link, cmd.address.c_str(), cmd.port)) return NET_EXIT_LOST;
        log_out("Joining %s port %d\n", cmd.address.c_str(), cmd.port);
        snprintf(line, sizeof line, "Joining %s port %d", cmd.address.c_str(), cmd.port);
        waiting.add(line);
    }
    waiting.add("");
    waiting.add("Escape cancels");
    net_page_screen* screen = cmd.screens ? net_page_open(res) : nullptr;
    struct close_screen {
        net_page_screen*& s;
        ~close_screen() {
            if (s) net_page_close(s);
        }
    } screen_guard{screen};
    if (!wait_connected(s, cmd.host ? 600000 : 10000, screen, waiting)) {
        log_out(s.cancelled ? "Network match cancelled\n" : "connection lost\n");
        s.ended = s.cancelled ? 0 : NET_EXIT_LOST;
        net_close(s.link);
        show_ending(s, res, nullptr);
        return s.cancelled ? NET_EXIT_CANCELLED : NET_EXIT_LOST;
    }
    // Who we are, and whether we play by the same rules. The host's hello carries the session.
    if (cmd.host) s.id = (uint32_t)SDL_GetTicks() * 2654435761u | 1u;
    net_packet hello = packet_of(s, NET_HELLO);
    snprintf(hello.hello.version, sizeof hello.hello.version, "%s", PROGRAM_VERSION);
    hello.hello.rules = rules;
    int pick = cmd.fighter; // -1: chosen in character select
    for (int i = 0; i < fighter_count && !cmd.keys.empty(); i++)
        if (rec.fighter[s.local] == fighter_table[i].file) pick = i; // the recording's fighter
    if (pick < 0 && !cmd.screens) pick = 0;
    hello.hello.pick = (int8_t)pick;
    send_packet(s, hello, true);
    net_packet theirs;
    if (!wait_packet(s, NET_HELLO, theirs, 10000)) {
        log_out("connection lost\n");
        s.ended = NET_EXIT_LOST;
        net_close(s.link);
        show_ending(s, res, nullptr);
        return NET_EXIT_LOST;
    }
    if (!cmd.host) s.id = theirs.session;
    const char* differs = strcmp(theirs.hello.version, PROGRAM_VERSION) != 0 ? "the program's version"
                          : theirs.hello.rules != hello.hello.rules          ? "the definition files"
                          : theirs.hello.pick >= fighter_count              ? "the fighters"
                                                                             : nullptr;
    if (differs) {
        log_out("refused: the other side differs in %s (%s)\n", differs, theirs.hello.version);
        say_bye(s, NET_BYE_REFUSED);
        net_close(s.link, 1000);
        s.ended = NET_EXIT_REFUSED;
        show_ending(s, res, differs);
        return NET_EXIT_REFUSED;
    }
    // Both fighters: a side that has not chosen yet chooses in character select, each seeing
    // the other's offer. The guest then waits for the host's set-up, still offering its choice.
    net = &s;
    s.heard = SDL_GetTicks();
    s.their_pick = theirs.hello.pick;
    s.their_chosen = theirs.hello.pick >= 0;
    s.my_pick = pick;
    s.my_chosen = pick >= 0;
    if (pick < 0) {
        if (screen) net_page_close(screen), screen = nullptr;
        select_partner partner;
        partner.frame = partner_frame;
        partner.other_colour = s.local; // the match shows the host (right) in player 1's colour
        pick = char_select(res, res.front_rate, TURN_PLAYER1, &partner);
        s.my_pick = pick;
        if (pick < 0 && !s.ended) s.cancelled = true;
        if (cmd.screens) screen = net_page_open(res);
    }
    net_page choosing;
    choosing.add("Waiting for the other side to choose");
    choosing.add("");
    choosing.add("Escape cancels");
    net_page setting_up;
    setting_up.add("Waiting for the host's match");
    if (!s.cancelled && !s.ended) wait_picks(s, they_have_chosen, screen, choosing, 600000);
    if (!s.cancelled && !s.ended && !cmd.host) wait_picks(s, have_setup, screen, setting_up, NET_SETUP_MS);
    if (s.cancelled || s.ended) {
        net = nullptr;
        if (s.cancelled) {
            log_out("Network match cancelled\n");
            say_bye(s, NET_BYE_QUIT);
        }
        net_close(s.link);
        show_ending(s, res, nullptr);
        return s.cancelled ? NET_EXIT_CANCELLED : s.ended;
    }
    // The host sends the match; the guest plays what it is sent.
    net_packet setup = packet_of(s, NET_SETUP);
    if (cmd.host) {
        setup.setup.seed = s.id ^ 0x9E3779B9u;
        setup.setup.fps = (uint16_t)fps;
        for (int i = 0; i < NET_OPTIONS; i++) setup.setup.options[i] = (uint8_t)*option_slot(game_opts, i);
        setup.setup.picks[0] = (int8_t)(s.their_pick < 0 ? 0 : s.their_pick);
        setup.setup.picks[1] = (int8_t)pick;
        setup.setup.delay = (uint8_t)(cmd.delay >= 0 ? cmd.delay : game_opts.net_delay);
        setup.setup.wins = (uint8_t)(cmd.keys.empty() ? game_opts.rounds : rec.required_wins);
        send_packet(s, setup, true);
        // The guest waits on it, and nothing serves the link while the match loads: see it
        // delivered first (resent as often as it is lost), as long as the guest waits for it.
        // The offers still go out, so the guest hears this side meanwhile; what comes (the
        // guest may be loading already) waits in `early` for the match.
        uint8_t buf[NET_MAX_PACKET + 1];
        for (const uint32_t start = SDL_GetTicks();
             !net_delivered(s.link) && !s.link.lost && SDL_GetTicks() - start < NET_SETUP_MS;) {
            if (const size_t n = net_poll(s.link, buf, sizeof buf, 5)) s.early.push_back(std::vector<uint8_t>(buf, buf + n));
            send_offer(s);
        }
    } else if (!valid_options(s.setup.setup.options) || s.setup.setup.picks[0] >= fighter_count ||
               s.setup.setup.picks[1] >= fighter_count) {
        log_out("refused: the host's match is not one this game plays\n");
        say_bye(s, NET_BYE_REFUSED);
        net = nullptr;
        net_close(s.link);
        return NET_EXIT_REFUSED;
    } else {
        setup = s.setup;
    }
    if (screen) net_page_close(screen), screen = nullptr;
    const net_setup& m = setup.setup;
    log_out("Network match: %s on the left, %s on the right, %d fps, input delay %d\n",
            fighter_table[m.picks[0]].name, fighter_table[m.picks[1]].name, m.fps, m.delay);
    if (!cmd.host && cmd.screens) show_host_match(res, m);

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
    show_ending(s, res, nullptr);
    log_out("Network match over: %d rollbacks, %d frames stepped again, the longest %d, %d frames held waiting, "
            "%d held to keep in step, %d frames, the costliest %.2f ms\n",
            s.roll.stats.rollbacks, s.roll.stats.frames_again, s.roll.stats.longest, s.roll.stats.held,
            s.held_in_step, s.roll.frame, s.worst_ms);
    net_close(s.link);
    for (int p = 0; p < 2; p++)
        for (int c = 0; c < CONTROL_COUNT; c++) Control_Manager.set_binding(p, control_names[c], kept_keys[p][c]);
    return s.ended;
}
