// The committed recordings play back as recorded in OpenGL mode too.
#include "replay_cases.h"

TEST(ReplayScreen, TheCommittedRecordingsPlayBackAsRecordedInOpenGLMode) {
    expect_committed_replays_play(true);
}
