// fightcheck [FOLDER]: checks every definition file the game would read in a game folder
// (default: the folder it stands in) and prints each problem as "file:line: message", then a
// summary line. Exit status 0 when everything is sound, 1 when anything is wrong, 2 on a bad
// command line.
#include <SDL.h>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "folder_check.h"
#include "foundation/log.h"
#include "images/file_check.h"

static const char USAGE[] = "usage: fightcheck [FOLDER]\n";

static void quiet(log_stream, const char*, void*) {} // the readers' own log lines

// The engine's platform object starts SDL (and says so) before main: silence comes first.
struct silence {
    silence() { log_set_sink(quiet, nullptr); }
};
static silence silence_first __attribute__((init_priority(101)));

int main(int argc, char** argv) {
    if (argc > 2 || (argc == 2 && (!argv[1][0] || argv[1][0] == '-'))) {
        fputs(USAGE, stderr);
        return 2;
    }
    const char* folder = argc == 2 ? argv[1] : ".";
    if (chdir(folder) != 0) {
        fprintf(stderr, "fightcheck: no folder [%s]\n", folder);
        fputs(USAGE, stderr);
        return 2;
    }
    check_report report;
    check_game_folder(report);
    for (const check_problem& p : report.problems) printf("%s\n", problem_line(p).c_str());
    printf("fightcheck: %d files, %d problem%s\n", report.files, (int)report.problems.size(),
           report.problems.size() == 1 ? "" : "s");
    return report.problems.empty() ? 0 : 1;
}
