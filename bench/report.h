// report: the benchmark's table. Reads the samples file (lines "measurement,mode,unit,
// value"), summarises each measurement and mode in the order they first appear, adds the
// growth rows (frames 10 000-10 499 over frames 100-599, in wall and in processor time),
// gives every screen's frame its frames per second and its ratio to the full-screen
// picture frame of the same mode, compares each median (or ratio) with its target, prints
// the table and writes it as CSV with the machine it came from.
#pragma once
#include <string>

// Returns the number of targets missed, or -1 when the samples cannot be read.
int write_report(const std::string& samples, const std::string& csv);
