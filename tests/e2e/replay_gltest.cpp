// The committed recordings play back as recorded in OpenGL mode too.
#include "replay_cases.h"

TEST(ReplayScreen, TheCommittedArcadeMatchPlaysBackAsRecordedInOpenGLMode) {
    expect_committed_replay_plays("arcade.ini", true);
}
TEST(ReplayScreen, TheCommittedVersusMatchPlaysBackAsRecordedInOpenGLMode) {
    expect_committed_replay_plays("versus.ini", true);
}
TEST(ReplayScreen, TheCommittedDemoMatchPlaysBackAsRecordedInOpenGLMode) {
    expect_committed_replay_plays("demo.ini", true);
}
