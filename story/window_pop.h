// story/window_pop.h: the pop-in and pop-out curve of the message windows,
// shared by every window that grows from its centre (the event balloon, the
// counter's speech and price panels, the top bar). Pure.
#pragma once
#include <cstdint>

constexpr int32_t WINDOW_POP_STEPS = 15;

struct WindowPop {
    float scaleX;
    float scaleY;
    int32_t alpha;   // 0..255
};

// The window's scales and alpha at step 0..15 of opening, or of closing when
// closing is nonzero. Opening it squashes and stretches a little before it
// settles at 1.
WindowPop computeWindowPopCurve(int32_t step, int32_t closing);
