// The training overlays in software mode.
#include "training_osd_cases.h"

TEST(TrainingOverlays, BoxesOverlapInputsAndHelpShowAndHide) {
    display_env env(false);
    check_training_overlays(env);
}

TEST(TrainingOverlays, PanelsStayAboveTheStandingFightersAndInsideTheScreen) {
    display_env env(false);
    check_training_layout(env);
}
