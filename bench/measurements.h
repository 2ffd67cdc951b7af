// measurements: the benchmark's scenes. Each runs in its own process, in the game folder it
// is started in (whose "game/game.ini" chooses software or OpenGL drawing), and appends its
// raw samples to a samples file as lines "measurement,mode,unit,value". The report
// (report.h) turns them into the table.
//
//   empty   clear and present only, then with one full-screen picture drawn: the floor
//           under every frame in the mode. Every screen's measurement adds more of these
//           picture frames after its own, so the floor is sampled throughout a run.
//   match   fightdemo's match (Tamsin against Mirelle, both computer-driven, the road
//           stage, both displays, hit effects), pacing off, one sample per frame. The match
//           is held going past its end (round wins reset) so that frame 10 000 exists;
//           frames 100-599 and 10 000-10 499 are also kept apart to show growth.
//   training a training match with every overlay on, the dummy on the computer, pacing off.
//   menu    interactive main-menu frames; select: character-select frames; options: the
//           options menu's frames; list: the game options list's frames.
//   editor  framewright frames on a given animation file, ghosts on, playing.
//   load    the preload without its fixed-length logo fades, then the first match set-up.
//   memory  peak resident memory of a real program (fightdemo) playing its match with its
//           frame-rate waits removed, to the match's end or for BENCH_MATCH_SECONDS (then
//           closed as a window close would).
//   rollback fightdemo's match stepped as a rollback steps it: one step without drawing,
//           one save, one restore, and a rollback of eight frames with the draw of the last.
//   session a 20-match session in one process: match set-up, frames and tear-down 20 times
//           (mirror matches among them, as the game plays them); resident memory after
//           match 2 and after match 20, and their difference.
#pragma once
#include <string>

struct bench_args {
    std::string samples; // file the samples are appended to
    int frames = 0;      // frames to time (match, menus, editor); 0 for the default
    std::string file;    // editor: the animation file; memory: the program
};

int bench_empty(const bench_args& a);
int bench_match(const bench_args& a);
int bench_menu(const bench_args& a);
int bench_select(const bench_args& a);
int bench_options(const bench_args& a);
int bench_list(const bench_args& a);
int bench_replays(const bench_args& a);
int bench_training(const bench_args& a);
int bench_editor(const bench_args& a);
int bench_load(const bench_args& a);
int bench_memory(const bench_args& a);
int bench_session(const bench_args& a);
int bench_rollback(const bench_args& a);
