// tests/harness/buttons.h: the pad as a player uses it on the booted game:
// buttons held on the scripted keyboard for whole ticks and read by the
// game's own poll, so presses, repeats and releases are the real ones.
#pragma once
#include <cstdint>

// Holds the buttons (0: none) through the next `ticks` ticks.
void holdButtons(uint16_t buttons, int32_t ticks);
// Holds the buttons for one tick, then none for `after` ticks: at least one,
// or the next tap of the same buttons is no new press.
void tapButtons(uint16_t buttons, int32_t after = 1);
// Steers the heroine with the pad to within `near` of (x, z) on the ground
// plane, one tick at a time; false when she did not get there in `limit`.
bool walkTo(float x, float z, float near, int32_t limit = 600);
