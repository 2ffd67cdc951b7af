// fight_bench: one measurement per run (see measurements.h), appending its samples to a
// file; bench/run.sh runs them all in software and OpenGL mode.
//
//   fight_bench empty|match|rollback|training|menu|select|options|list|replays|editor|load|memory|session SAMPLES [--frames N] [--file PATH]
// The table is made by fight_bench_report (report_main.cpp), which needs no video.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "measurements.h"

static int usage() {
    fprintf(stderr,
            "usage: fight_bench empty|match|rollback|training|menu|select|options|list|replays|editor|load|memory|session SAMPLES [--frames N] [--file PATH]\n");
    return 2;
}

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    std::string what = argv[1];
    bench_args a;
    a.samples = argv[2];
    for (int i = 3; i + 1 < argc; i += 2) {
        if (!strcmp(argv[i], "--frames")) a.frames = atoi(argv[i + 1]);
        else if (!strcmp(argv[i], "--file")) a.file = argv[i + 1];
        else return usage();
    }
    if (what == "empty") return bench_empty(a);
    if (what == "match") return bench_match(a);
    if (what == "menu") return bench_menu(a);
    if (what == "select") return bench_select(a);
    if (what == "options") return bench_options(a);
    if (what == "list") return bench_list(a);
    if (what == "replays") return bench_replays(a);
    if (what == "training") return bench_training(a);
    if (what == "editor") return bench_editor(a);
    if (what == "load") return bench_load(a);
    if (what == "memory") return bench_memory(a);
    if (what == "session") return bench_session(a);
    if (what == "rollback") return bench_rollback(a);
    return usage();
}
