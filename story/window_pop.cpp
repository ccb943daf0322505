#include "story/story.h"

#include <cmath>

WindowPop computeWindowPopCurve(int32_t n, int32_t closing) {
    WindowPop pop{1.0f, 1.0f, 255};
    if (closing) {
        float sy = 1.0f - 0.15f * static_cast<float>(WINDOW_POP_STEPS - n);
        pop.scaleY = sy > 0.0f ? sy : 0.0f;
        int32_t alpha = 50 * n - 495;
        pop.alpha = alpha > 0 ? alpha : 0;
        return pop;
    }
    float k = 0.2f * static_cast<float>(n) + 0.4f;
    if (k > 1.0f) k = 1.0f;
    float g = n <= 5 ? 0.8f : n <= 10 ? 0.3f : n <= 15 ? 0.1f : 0.0f;
    int32_t alpha = 86 * n;
    pop.alpha = alpha < 255 ? alpha : 255;
    float s = std::sin(static_cast<float>(n) * 9.424778f / 15.0f);
    pop.scaleX = 1.0f + 0.125f * g * s;
    pop.scaleY = k * (1.0f - 0.125f * g * s);
    return pop;
}
