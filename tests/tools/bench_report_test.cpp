// The benchmark's table: medians and 95th percentiles, frames per second and the ratio to
// the full-screen picture, the growth row from the two match windows, targets per
// measurement and mode, and the CSV it writes.
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

// A mode's frames, each a sample line "name,mode,ms,value".
std::string frames(const std::string& name, const std::string& mode, double ms, int n = 1) {
    std::string out;
    for (int i = 0; i < n; i++) out += name + "," + mode + ",ms," + std::to_string(ms) + "\n";
    return out;
}

TEST(BenchReport, TargetsOnTheMedianOrOnTheRatioToTheFullScreenPictureAndMissesAreCounted) {
    scratch_dir d;
    std::string samples = frames("match frame", "software", 0.4, 9) + frames("match frame", "opengl", 8, 9) +
                          frames("one full-screen picture frame", "opengl", 2.5) +
                          frames("character-select frame", "opengl", 5) +
                          frames("main-menu frame", "software", 2.5) +
                          "preload without fades,opengl,ms,120\nnot a sample line\n" +
                          frames("empty frame (clear and present)", "opengl", 0.25) +
                          frames("network match costliest frame (120 ms round trip with 5 % lost)", "software", 3) +
                          "memory growth, matches 2 to 20,software,MB,6.5\n";
    write_text(d.file("s.csv"), samples);
    // Missed: OpenGL's match at 3.2 x the picture, the software main menu's 2 ms, 6.5 MB.
    EXPECT_EQ(3, write_report(d.file("s.csv"), d.file("r.csv")));
    std::string csv = read_text(d.file("r.csv"));
    EXPECT_EQ(0u, csv.find("measurement,mode,unit,samples,median,p95,fps,x_picture,target,met,cpu,cores,date\n"));
    const struct {
        const char* start;
        const char* row;
    } cases[] = {
        {"match frame,software,", "match frame,software,ms,9,0.400,0.400,2500,,0.50,yes,"},
        {"match frame,opengl,", "match frame,opengl,ms,9,8.000,8.000,125,3.20,2.60x,NO,"},
        {"character-select frame,opengl,", "character-select frame,opengl,ms,1,5.000,5.000,200,2.00,2.00x,yes,"},
        {"main-menu frame,software,", "main-menu frame,software,ms,1,2.500,2.500,400,,2.00,NO,"},
        {"preload without fades,opengl,", "preload without fades,opengl,ms,1,120.000,120.000,,,500,yes,"},
        // Information rows carry no target; a frame row still has its rate and ratio.
        {"empty frame", "empty frame (clear and present),opengl,ms,1,0.250,0.250,4000,0.10,,,"},
        // A network match's costliest frame is no screen's frame: a target, no rate or ratio.
        {"network match costliest", "network match costliest frame (120 ms round trip with 5 % lost),software,ms,1,3.000,3.000,,,8.00,yes,"},
        // A name with a comma of its own is read whole and quoted.
        {"\"memory growth", "\"memory growth, matches 2 to 20\",software,MB,1,6.500,6.500,,,5.00,NO,"},
    };
    for (const auto& c : cases) EXPECT_EQ(0u, row_of(csv, c.start).find(c.row)) << row_of(csv, c.start);
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
    EXPECT_EQ(0u, row_of(csv, "frame 10000 / frame 100,software,").find("frame 10000 / frame 100,software,ratio,4,1.286,1.200,,,1.10,NO,"));
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
                      .find("frame 10000 / frame 100 (processor),opengl,ratio,1,1.050,1.050,,,1.10,yes,"));
}

TEST(BenchReport, AMissingSamplesFileIsReported) {
    scratch_dir d;
    EXPECT_EQ(-1, write_report(d.file("none.csv"), d.file("r.csv")));
}

} // namespace
