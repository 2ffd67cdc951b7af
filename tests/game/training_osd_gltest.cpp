// The training overlays through OpenGL, read back from the frame being drawn.
#include "training_osd_cases.h"

TEST(TrainingOverlaysGL, BoxesOverlapInputsAndHelpShowAndHide) {
    display_env env(true);
    check_training_overlays(env);
}

TEST(TrainingOverlaysGL, PanelsStayAboveTheStandingFightersAndInsideTheScreen) {
    display_env env(true);
    check_training_layout(env);
}
