#include "tests/harness/buttons.h"

#include "engine/frame_loop.h"
#include "tests/harness/harness.h"

// A script step counts in updates, waiting ticks included, like the run.
void holdButtons(uint16_t buttons, int32_t ticks) {
    InputScriptStep step{gUpdateCount, buttons};
    harnessRunTicks(ticks, &step, 1);
}

void tapButtons(uint16_t buttons, int32_t after) {
    holdButtons(buttons, 1);
    holdButtons(0, after);
}
