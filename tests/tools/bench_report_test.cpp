// The benchmark's table: medians and 95th percentiles, the growth row from the two match
// windows, targets per measurement and mode, and the CSV it writes.
#include <gtest/gtest.h>

#include <string>

#include "report.h"
#include "sample_stats.h"
#include "test_support.h"

namespace {

TEST(BenchStats, MedianAndNinetyFifthPercentileOfOddEvenAndEmptySamples) {
    sample_stats odd = summarise({5, 1, 3});
    EXPECT_EQ(3, odd.count);
    EXPECT_DOUBLE_EQ(3, odd.median);
    EXPECT_DOUBLE_EQ(5, odd.p95);
    EXPECT_DOUBLE_EQ(2.5, summarise({4, 1, 3, 2}).median);
    std::vector<double> hundred;
    for (int i = 100; i >= 1; i--) hundred.push_back(i);
    EXPECT_DOUBLE_EQ(95, summarise(hundred).p95); // nearest rank
    EXPECT_DOUBLE_EQ(50.5, summarise(hundred).median);
    sample_stats none = summarise({});
    EXPECT_EQ(0, none.count);
    EXPECT_DOUBLE_EQ(0, none.median);
}

// The CSV row of a measurement and mode, or "" when there is none.
std::string row_of(const std::string& csv, const std::string& start) {
    size_t at = csv.find("\n" + start);
    if (at == std::string::npos) return "";
    size_t end = csv.find('\n', at + 1);
    return csv.substr(at + 1, end - at - 1);
}

TEST(BenchReport, TargetsDependOnTheModeAndMissesAreCounted) {
    scratch_dir d;
    std::string samples;
    for (int i = 0; i < 9; i++) samples += "match frame,software,ms,3.5\n";
    for (int i = 0; i < 9; i++) samples += "match frame,opengl,ms,3.5\n";
    samples += "preload without fades,opengl,ms,120\n";
    samples += "not a sample line\n";
    samples += "empty frame (clear and present),opengl,ms,0.25\n";
    write_text(d.file("s.csv"), samples);
    EXPECT_EQ(1, write_report(d.file("s.csv"), d.file("r.csv"))); // OpenGL's 3 ms is missed
    std::string csv = read_text(d.file("r.csv"));
    EXPECT_EQ(0u, csv.find("measurement,mode,unit,samples,median,p95,target,met,cpu,cores,date\n"));
    EXPECT_EQ(0u, row_of(csv, "match frame,software,").find("match frame,software,ms,9,3.500,3.500,4.00,yes,"));
    EXPECT_EQ(0u, row_of(csv, "match frame,opengl,").find("match frame,opengl,ms,9,3.500,3.500,3.00,NO,"));
    EXPECT_EQ(0u, row_of(csv, "preload without fades,opengl,").find("preload without fades,opengl,ms,1,120.000,120.000,500,yes,"));
    // Information rows carry no target.
    EXPECT_EQ(0u, row_of(csv, "empty frame").find("empty frame (clear and present),opengl,ms,1,0.250,0.250,,,"));
}

TEST(BenchReport, FrameTenThousandIsComparedWithFrameHundredPerMode) {
    scratch_dir d;
    std::string samples;
    for (int i = 0; i < 4; i++) samples += "match frames 100-599,software,ms," + std::to_string(2 + i) + "\n";
    for (int i = 0; i < 4; i++) samples += "match frames 10000-10499,software,ms," + std::to_string(3 + i) + "\n";
    samples += "match frames 100-599,opengl,ms,4\n";
    write_text(d.file("s.csv"), samples); // no late window in OpenGL: no growth row there
    EXPECT_EQ(1, write_report(d.file("s.csv"), d.file("r.csv")));
    std::string csv = read_text(d.file("r.csv"));
    // Medians 3.5 and 4.5, 95th percentiles 5 and 6.
    EXPECT_EQ(0u, row_of(csv, "frame 10000 / frame 100,software,").find("frame 10000 / frame 100,software,ratio,4,1.286,1.200,1.10,NO,"));
    EXPECT_EQ("", row_of(csv, "frame 10000 / frame 100,opengl,"));
    EXPECT_EQ("", row_of(csv, "match frames"));
    EXPECT_EQ("", row_of(csv, "frame 10000 / frame 100 (processor)"));
}

TEST(BenchReport, GrowthInProcessorTimeHasItsOwnRow) {
    scratch_dir d;
    write_text(d.file("s.csv"), "match frames 100-599 (processor),opengl,ms,10\n"
                                "match frames 10000-10499 (processor),opengl,ms,10.5\n");
    EXPECT_EQ(0, write_report(d.file("s.csv"), d.file("r.csv")));
    std::string csv = read_text(d.file("r.csv"));
    EXPECT_EQ(0u, row_of(csv, "frame 10000 / frame 100 (processor),opengl,")
                      .find("frame 10000 / frame 100 (processor),opengl,ratio,1,1.050,1.050,1.10,yes,"));
}

TEST(BenchReport, AMissingSamplesFileIsReported) {
    scratch_dir d;
    EXPECT_EQ(-1, write_report(d.file("none.csv"), d.file("r.csv")));
}

} // namespace
