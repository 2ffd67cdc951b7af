// fight_bench_report SAMPLES CSV: prints the benchmark's table from the samples the
// measurement runs appended and writes it as CSV. Exits 0 even when targets are missed.
#include <cstdio>

#include "report.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: fight_bench_report SAMPLES CSV\n");
        return 2;
    }
    return write_report(argv[1], argv[2]) < 0 ? 1 : 0;
}
