// The counter's camera while the shop is open: a scripted shot that eases
// toward the counter of each shop size and, in the two larger shops, rises
// to take in more of the floor. Main thread, once per counter tick.
#include <cmath>

#include "engine/device.h"
#include "engine/save_file.h"
#include "field/field.h"
#include "field/field_state.h"
#include "shop/counter.h"

// The look-at point's x and z per shop size, and the elevation the larger
// shops rise to (0: the base elevation is kept).
struct CounterShot {
    float x, z;
    float elevation;
};
const CounterShot COUNTER_SHOTS[SHOP_SIZE_COUNT] = {
    {-3.0f, 0.0f, 0.0f},
    {0.0f, 0.0f, 0.0f},
    {5.5f, -1.0f, 25.0f},
    {5.5f, 5.5f, 29.0f},
};
constexpr float COUNTER_CAMERA_EASE = 0.1f;
constexpr float COUNTER_ELEVATION_STEP = 1.5f;

float stepTowardExactly(float value, float goal, float step) {
    if (value < goal) return value + step < goal ? value + step : goal;
    if (value > goal) return value - step > goal ? value - step : goal;
    return value;
}

void stepCounterCamera() {
    int32_t size = runningGameState().shopSize;
    if (size < 0 || size >= SHOP_SIZE_COUNT) size = 0;
    const CounterShot& shot = COUNTER_SHOTS[size];
    FieldCameraState& cam = gFieldCamera;
    cam.cameraMode = CAMERA_SCRIPTED;
    cam.cameraTarget.x += (shot.x - cam.cameraTarget.x) * COUNTER_CAMERA_EASE;
    cam.cameraTarget.z += (shot.z - cam.cameraTarget.z) * COUNTER_CAMERA_EASE;
    if (shot.elevation > 0.0f)
        cam.cameraOffsets.elevation = stepTowardExactly(cam.cameraOffsets.elevation,
                                                        shot.elevation - cam.cameraElevation, COUNTER_ELEVATION_STEP);
    float distance = cam.cameraDistance + cam.cameraOffsets.distance;
    float elevation = cam.cameraElevation + cam.cameraOffsets.elevation;
    cam.cameraEye.x = cam.cameraTarget.x + std::sin(gCamera.yaw) * distance;
    cam.cameraEye.y = cam.cameraTarget.y + elevation;
    cam.cameraEye.z = cam.cameraTarget.z - std::cos(gCamera.yaw) * distance;
}
