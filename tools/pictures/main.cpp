// picgen: draws the game's pictures and writes their definition files into a game folder.
//   picgen <game folder> [--only <group>]... [--contact-sheet <folder>]
// Groups: mirelle tamsin ondine verity portraits stage effects frontend display notes.
// Without --only every group is written. --contact-sheet writes one review picture per
// fighter, and one of the stages and small portraits, into the folder instead of the game's
// files.
#include <SDL.h>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>

#include "fighters.h"
#include "scenery.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: picgen <game folder> [--only group]... [--contact-sheet folder]\n");
        return 2;
    }
    media_out out;
    out.root = argv[1];
    std::set<std::string> only;
    std::string sheets;
    for (int i = 2; i < argc; i++) {
        if (!strcmp(argv[i], "--only") && i + 1 < argc) only.insert(argv[++i]);
        else if (!strcmp(argv[i], "--contact-sheet") && i + 1 < argc) sheets = argv[++i];
        else {
            fprintf(stderr, "picgen: unknown argument [%s]\n", argv[i]);
            return 2;
        }
    }
    if (!sheets.empty()) {
        for (const fighter_def& f : fighter_table()) write_contact_sheet(sheets, f);
        write_scenery_sheet(sheets);
        printf("picgen: contact sheets in [%s]\n", sheets.c_str());
        return 0;
    }
    auto want = [&](const char* g) { return only.empty() || only.count(g); };
    for (const fighter_def& f : fighter_table())
        if (want(f.name)) write_fighter(out, f);
    if (want("portraits")) {
        write_portraits(out);
        write_swap_file(out);
    }
    if (want("stage")) write_stage(out);
    if (want("effects")) write_effects(out);
    if (want("frontend")) write_front_end(out);
    if (want("display")) write_display(out);
    if (want("notes")) write_notes(out);
    printf("picgen: [%d] written, [%d] unchanged, [%d] failed\n", out.written, out.unchanged, out.failed);
    return out.failed ? 1 : 0;
}
