#include "foundation/settings.h"

#include <cstdlib>

#include "foundation/log.h"

int fps = FRAME_RATE_DEFAULT;
int debug = 0;

int settings_fps(const config_file& cfg) {
    if (!cfg.has("fps")) return FRAME_RATE_DEFAULT;
    // Read as the C library's atoi would, but wide enough to name a value past int's range.
    // Zero and text (which reads as zero) are refused like negative and absurd rates; the
    // value is named as written, cut short so a huge token makes no huge line.
    const char* written = cfg.get_string("fps");
    long long asked = strtoll(written, nullptr, 10);
    if (asked <= 0 || asked > FRAME_RATE_ABSURD) {
        log_out("WARNING: fps [%.32s] is no usable frame rate, using [%d]\n", written, FRAME_RATE_DEFAULT);
        return FRAME_RATE_DEFAULT;
    }
    int rate = (int)asked;
    if (rate > FRAME_RATE_MOST) {
        log_out("WARNING: fps [%d] is more than the frame limiter keeps, using [%d]\n", rate, FRAME_RATE_MOST);
        rate = FRAME_RATE_MOST;
    }
    log_out("Setting fps to [%d]\n", rate);
    return rate;
}
