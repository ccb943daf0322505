#include "tests/harness/buttons.h"

#include <cmath>

#include "adventurers/adventurers_state.h"
#include "engine/frame_loop.h"
#include "engine/input.h"
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

bool walkTo(float x, float z, float near, int32_t limit) {
    for (int32_t t = 0; t < limit; ++t) {
        const Vector3& at = gParty.positions[0];
        float dx = x - at.x, dz = z - at.z;
        if (fabsf(dx) <= near && fabsf(dz) <= near) {
            holdButtons(0, 2);
            return true;
        }
        uint16_t buttons = 0;
        if (dx > near) buttons |= BUTTON_RIGHT;
        if (dx < -near) buttons |= BUTTON_LEFT;
        if (dz > near) buttons |= BUTTON_DOWN;
        if (dz < -near) buttons |= BUTTON_UP;
        holdButtons(buttons, 1);
    }
    return false;
}
