#include "report.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <string>
#include <vector>

#include "sample_stats.h"

namespace {

struct series {
    std::string name, mode, unit;
    std::vector<double> values;
};

struct row {
    std::string name, mode, unit;
    sample_stats stats;
    double target = 0; // 0: no target, shown for information
    bool target_is_ratio = false; // the target bounds the ratio, not the median
    double fps = 0;    // frames per second at the median (frame rows only)
    double ratio = 0;  // median over the mode's full-screen picture frame (frame rows only)
};

const char* const PICTURE_FRAME = "one full-screen picture frame";

// Targets by measurement and mode ("" for any mode): on the median, or on the ratio to the
// full-screen picture frame of the same run (what drawing a screen costs beyond its fill).
struct target {
    const char* name;
    const char* mode;
    double limit;
    bool ratio;
};
const target targets[] = {
    {"match frame", "software", 0.5, false},
    {"character-select frame", "software", 0.5, false},
    {"main-menu frame", "software", 2, false},
    {"options-menu frame", "software", 2, false},
    {"list-menu frame (game options)", "software", 2, false},
    {"replays-screen frame", "software", 2, false},
    {"match frame", "opengl", 2.6, true},
    {"match step without drawing", "", 0.1, false},
    {"match save and restore", "", 0.05, false},
    {"rollback of 8 frames with its draw", "software", 3, false},
    {"training match frame (every overlay on)", "opengl", 2.6, true},
    {"main-menu frame", "opengl", 2.0, true},
    {"character-select frame", "opengl", 2.0, true},
    {"options-menu frame", "opengl", 2.0, true},
    {"list-menu frame (game options)", "opengl", 2.0, true},
    {"replays-screen frame", "opengl", 2.0, true},
    {"editor frame (10 frames with ghosts)", "opengl", 2.0, true},
    // 60 frames a second on under half a core: 8.3 ms of processor time a frame.
    {"training match frame (processor)", "opengl", 8.33, false},
    {"preload without fades", "", 500, false},
    {"match set-up", "", 500, false},
    {"peak memory over a match", "", 150, false},
    {"memory growth, matches 2 to 20", "", 5, false},
    {"frame 10000 / frame 100", "", 1.10, false},
    {"frame 10000 / frame 100 (processor)", "", 1.10, false},
    {"network match costliest frame (120 ms round trip with 5 % lost)", "software", 8, false},
    {"network match costliest frame (200 ms round trip with 5 % lost)", "software", 8, false},
    // No frame held: a count below one.
    {"network match frames held waiting (120 ms round trip with 5 % lost)", "software", 0.5, false},
    {"network match frames held waiting (200 ms round trip with 5 % lost)", "software", 0.5, false},
};

void set_target(row& r) {
    for (const target& t : targets)
        if (r.name == t.name && (!*t.mode || r.mode == t.mode)) {
            r.target = t.limit;
            r.target_is_ratio = t.ratio;
            return;
        }
}

// A screen's frame in milliseconds: the rows that get frames per second and the ratio.
bool is_frame_row(const row& r) {
    return r.unit == "ms" && r.name.find("frame") != std::string::npos &&
           r.name.find("(processor)") == std::string::npos && r.name.compare(0, 8, "network ") != 0;
}

std::string cpu_model() {
    FILE* f = fopen("/proc/cpuinfo", "r");
    std::string model = "unknown";
    if (!f) return model;
    char line[512];
    while (fgets(line, sizeof line, f)) {
        if (strncmp(line, "model name", 10) != 0) continue;
        const char* colon = strchr(line, ':');
        if (!colon) continue;
        model = colon + 1;
        while (!model.empty() && (model[0] == ' ' || model[0] == '\t')) model.erase(0, 1);
        while (!model.empty() && (model.back() == '\n' || model.back() == ' ')) model.pop_back();
        break;
    }
    fclose(f);
    return model;
}

bool read_samples(const std::string& path, std::vector<series>& out) {
    FILE* f = fopen(path.c_str(), "r");
    if (!f) return false;
    char line[512];
    while (fgets(line, sizeof line, f)) {
        // name,mode,unit,value: a name may hold commas of its own ("memory growth, matches
        // 2 to 20"), the three fields after it never do.
        std::string l(line);
        size_t c3 = l.rfind(',');
        size_t c2 = c3 == std::string::npos || c3 == 0 ? std::string::npos : l.rfind(',', c3 - 1);
        size_t c1 = c2 == std::string::npos || c2 == 0 ? std::string::npos : l.rfind(',', c2 - 1);
        if (c1 == std::string::npos || c1 == 0) continue;
        const std::string name = l.substr(0, c1), mode = l.substr(c1 + 1, c2 - c1 - 1),
                          unit = l.substr(c2 + 1, c3 - c2 - 1);
        char* end = nullptr;
        const double v = strtod(l.c_str() + c3 + 1, &end);
        if (end == l.c_str() + c3 + 1) continue;
        series* s = nullptr;
        for (series& e : out)
            if (e.name == name && e.mode == mode) s = &e;
        if (!s) {
            out.push_back(series{name, mode, unit, {}});
            s = &out.back();
        }
        s->values.push_back(v);
    }
    fclose(f);
    return true;
}

// Median and 95th percentile of the late window over those of the early window, for the
// wall time and for the processor time of the frames.
void add_growth_rows(const std::vector<series>& in, std::vector<row>& rows, const char* suffix) {
    const std::string early_name = std::string("match frames 100-599") + suffix;
    const std::string late_name = std::string("match frames 10000-10499") + suffix;
    for (const series& early : in) {
        if (early.name != early_name) continue;
        for (const series& late : in) {
            if (late.name != late_name || late.mode != early.mode) continue;
            sample_stats a = summarise(early.values), b = summarise(late.values);
            if (a.median <= 0 || a.p95 <= 0) continue;
            row r;
            r.name = std::string("frame 10000 / frame 100") + suffix;
            r.mode = early.mode;
            r.unit = "ratio";
            r.stats.count = b.count;
            r.stats.median = b.median / a.median;
            r.stats.p95 = b.p95 / a.p95;
            set_target(r);
            rows.push_back(r);
        }
    }
}

std::string number(double v) {
    char buf[32];
    snprintf(buf, sizeof buf, v >= 100 ? "%.0f" : v >= 10 ? "%.1f" : "%.2f", v);
    return buf;
}

} // namespace

int write_report(const std::string& samples, const std::string& csv) {
    std::vector<series> in;
    if (!read_samples(samples, in)) {
        fprintf(stderr, "bench: cannot read [%s]\n", samples.c_str());
        return -1;
    }
    std::vector<row> rows;
    for (const series& s : in) {
        if (s.name.compare(0, 13, "match frames ") == 0) continue; // in the growth rows
        row r;
        r.name = s.name;
        r.mode = s.mode;
        r.unit = s.unit;
        r.stats = summarise(s.values);
        set_target(r);
        rows.push_back(r);
    }
    for (row& r : rows) {
        if (!is_frame_row(r) || r.stats.median <= 0) continue;
        r.fps = 1000.0 / r.stats.median;
        for (const row& p : rows)
            if (p.name == PICTURE_FRAME && p.mode == r.mode && p.stats.median > 0)
                r.ratio = r.stats.median / p.stats.median;
    }
    add_growth_rows(in, rows, "");
    add_growth_rows(in, rows, " (processor)");

    std::string cpu = cpu_model();
    long cores = sysconf(_SC_NPROCESSORS_ONLN);
    char date[32];
    time_t now = time(nullptr);
    strftime(date, sizeof date, "%Y-%m-%d %H:%M UTC", gmtime(&now));

    FILE* out = fopen(csv.c_str(), "w");
    if (out)
        fprintf(out, "measurement,mode,unit,samples,median,p95,fps,x_picture,target,met,cpu,cores,date\n");
    printf("Machine: %s, %ld cores; %s\n\n", cpu.c_str(), cores, date);
    printf("| %-44s | %-8s | %5s | %7s | %7s | %6s | %9s | %9s | %-3s |\n", "measurement", "mode", "n",
           "median", "p95", "fps", "x picture", "target", "met");
    printf("|%s|%s|%s|%s|%s|%s|%s|%s|%s|\n", std::string(46, '-').c_str(), std::string(10, '-').c_str(),
           std::string(7, '-').c_str(), std::string(9, '-').c_str(), std::string(9, '-').c_str(),
           std::string(8, '-').c_str(), std::string(11, '-').c_str(), std::string(11, '-').c_str(),
           std::string(5, '-').c_str());
    int missed = 0;
    for (const row& r : rows) {
        const char* met = "";
        // A ratio target without the picture frame to compare with cannot be judged.
        const bool judged = r.target > 0 && (!r.target_is_ratio || r.ratio > 0);
        if (judged) {
            bool ok = (r.target_is_ratio ? r.ratio : r.stats.median) <= r.target;
            met = ok ? "yes" : "NO";
            if (!ok) missed++;
        }
        std::string label = r.name + " (" + r.unit + ")";
        std::string tgt = r.target > 0 ? "<= " + number(r.target) + (r.target_is_ratio ? " x" : "") : "";
        std::string fps = r.fps > 0 ? number(r.fps) : "", ratio = r.ratio > 0 ? number(r.ratio) : "";
        printf("| %-44s | %-8s | %5d | %7s | %7s | %6s | %9s | %9s | %-3s |\n", label.c_str(),
               r.mode.c_str(), r.stats.count, number(r.stats.median).c_str(),
               number(r.stats.p95).c_str(), fps.c_str(), ratio.c_str(), tgt.c_str(), met);
        if (out)
            fprintf(out, "%s,%s,%s,%d,%.3f,%.3f,%s,%s,%s%s,%s,\"%s\",%ld,%s\n",
                    (r.name.find(',') == std::string::npos ? r.name : "\"" + r.name + "\"").c_str(),
                    r.mode.c_str(), r.unit.c_str(), r.stats.count, r.stats.median, r.stats.p95,
                    r.fps > 0 ? number(r.fps).c_str() : "", r.ratio > 0 ? number(r.ratio).c_str() : "",
                    r.target > 0 ? number(r.target).c_str() : "", r.target_is_ratio ? "x" : "", met,
                    cpu.c_str(), cores, date);
    }
    if (out) fclose(out);
    return missed;
}
