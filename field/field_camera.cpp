#include "field/field_camera.h"

#include <cmath>
#include <cstdio>
#include <numbers>

#include "adventurers/adventurers_state.h"
#include "dungeon/dungeon.h"
#include "engine/debug_text.h"
#include "engine/device.h"
#include "engine/random.h"
#include "engine/save_file.h"
#include "engine/screen_mapping.h"
#include "engine/sprites.h"
#include "engine/stage_index.h"
#include "field/world_renderer.h"

float gCameraHeight = CAMERA_DEFAULTS.height;
float gCameraDistance = CAMERA_DEFAULTS.distance;
float gCameraElevation = CAMERA_DEFAULTS.elevation;
CameraOffsets gCameraOffsets;
int32_t gCameraMode;
Vector3 gCameraEye;
Vector3 gCameraTarget;
int32_t gCameraReset;
float gCameraGround;
int32_t gCameraFixedOn;
Vector3 gCameraFixedPoint;
int32_t gCameraFrozen;
int32_t gDefeatOrbitFrame;
ViewSpin gViewSpin;

constexpr float PI = std::numbers::pi_v<float>;
constexpr int32_t VIEW_SPIN_SAMPLES = 8;

// The framing the wider views aim for, as height, distance and elevation;
// the offsets are these less CAMERA_DEFAULTS.
constexpr CameraTuning SHOP_HIGH_VIEW_FRAMING = {-1.8f, 18.0f, 11.8f};   // mode 0, views 2 and 3
constexpr CameraTuning WIDE_FRAMING = {-1.8f, 19.0f, 25.8f};             // mode 2
constexpr CameraTuning WIDEST_FRAMING = {-1.8f, 29.0f, 33.0f};           // mode 3

// The box the look-at point keeps to on the shop stages "0-1" to "0-4", in
// views 0 and 2.
struct CameraClamp {
    float minX, maxX;
    bool hasMinZ;
    float minZ, maxZ;
};
constexpr int32_t CAMERA_CLAMP_COUNT = 4;
constexpr CameraClamp CAMERA_CLAMPS[CAMERA_CLAMP_COUNT] = {
    {-5.0f, -1.0f, false, 0.0f, 1.0f},
    {-5.0f, 5.0f, true, -3.0f, 1.0f},
    {-5.0f, 15.0f, true, -3.0f, 1.0f},
    {-5.0f, 15.0f, true, -3.0f, 8.5f},
};

void initCameraHeight() { gCameraHeight = CAMERA_DEFAULTS.height; }
void initCameraDistance() { gCameraDistance = CAMERA_DEFAULTS.distance; }
void initCameraElevation() { gCameraElevation = CAMERA_DEFAULTS.elevation; }

static int32_t currentStageCode() { return gCurrentStage ? gCurrentStage->stageCode : STAGE_CODE_UNKNOWN; }

// The shop's chosen view on the shop stages; 0 everywhere else.
static int32_t shopView() {
    int32_t code = currentStageCode();
    return code >= 0 && code <= SHOP_STAGE_LAST ? runningGameState().shopCameraView : 0;
}

static void setFramingOffsets(const CameraTuning& framing) {
    gCameraOffsets.height = framing.height - CAMERA_DEFAULTS.height;
    gCameraOffsets.distance = framing.distance - CAMERA_DEFAULTS.distance;
    gCameraOffsets.elevation = framing.elevation - CAMERA_DEFAULTS.elevation;
}

static void setModeOffsets(int32_t view) {
    if (gCameraMode == CAMERA_FOLLOW) {
        if (view >= 2) setFramingOffsets(SHOP_HIGH_VIEW_FRAMING);
        else gCameraOffsets = CameraOffsets{};
    } else if (gCameraMode == CAMERA_WIDE) {
        setFramingOffsets(WIDE_FRAMING);
    } else if (gCameraMode == CAMERA_WIDEST) {
        setFramingOffsets(WIDEST_FRAMING);
    }
}

// Eases toward three units above the character's feet, less four, never
// below 0 nor the stage's death height.
static void updateGround(float characterY) {
    float candidate = characterY - 4.0f;
    if (candidate < 0.0f) candidate = 0.0f;
    if (gCurrentStage && candidate < (float)gCurrentStage->deathheight) candidate = (float)gCurrentStage->deathheight;
    if (gCameraReset) gCameraGround = candidate + 3.0f;
    else gCameraGround = gCameraGround + (candidate - gCameraGround) * 0.1f + 0.3f;
}

float runEndPullBack(int32_t runEndTimer) {
    if (runEndTimer <= 60) return 0.0f;
    if (runEndTimer >= 240) return 5.0f;
    return 5.0f * std::sin((float)(runEndTimer - 60) * (PI / 2.0f) / 180.0f);
}

static void clampToShop(float& x, float& z) {
    int32_t code = currentStageCode();
    if (code < 0 || code >= CAMERA_CLAMP_COUNT) return;
    const CameraClamp& c = CAMERA_CLAMPS[code];
    if (x < c.minX) x = c.minX;
    if (x > c.maxX) x = c.maxX;
    if (c.hasMinZ && z < c.minZ) z = c.minZ;
    if (z > c.maxZ) z = c.maxZ;
}

static float ease(float from, float to) { return from + (to - from) * 0.2f; }

static void printCameraLines() {
    char line[64];
    std::snprintf(line, sizeof line, "HEIT:%f", gCameraOffsets.height + gCameraHeight);
    printDebugText(30, 0, line);
    std::snprintf(line, sizeof line, "DIST:%f", gCameraOffsets.distance + gCameraDistance);
    printDebugText(30, 1, line);
    std::snprintf(line, sizeof line, "CANG:%f", gCameraOffsets.elevation + gCameraElevation);
    printDebugText(30, 2, line);
    std::snprintf(line, sizeof line, "MIPMAP:%f", gMipmapLodBias);
    printDebugText(30, 3, line);
}

// A fresh roll each frame while the shake lasts; its last frame zeroes it.
static void stepShake() {
    CameraShake& s = gCameraShake;
    if (s.framesLeft > 0) --s.framesLeft;
    if (s.framesLeft == 0) {
        s.spriteX = 0;
        s.spriteY = 0;
        s.cameraY = 0.0f;
        return;
    }
    if (s.amplitudeX > 0) s.spriteX = randomInt() % s.amplitudeX - s.amplitudeX / 2;
    if (s.amplitudeY > 0) s.spriteY = randomInt() % s.amplitudeY - s.amplitudeY / 2;
    if (s.cameraAmplitude > 0.0f) s.cameraY = (randomUnit() - 0.5f) * s.cameraAmplitude / 2.0f;
}

void updateFieldCamera() {
    int32_t view = shopView();
    setModeOffsets(view);
    const Vector3& character = gParty.positions[0];
    updateGround(character.y);

    Vector3 wantedEye = gCameraEye;
    Vector3 wantedTarget = gCameraTarget;
    if (gCameraMode == CAMERA_SCRIPTED) {
        gCameraGround = 3.0f;
    } else {
        float x = character.x;
        float z = character.z;
        if (view >= 2) z -= 5.0f;
        if (gCameraFixedOn) {
            x = gCameraFixedPoint.x + (character.x - gCameraFixedPoint.x) * 0.5f;
            z = gCameraFixedPoint.z + (character.z - gCameraFixedPoint.z) * 0.5f;
        }
        if (view == 0 || view == 2) clampToShop(x, z);
        float p = runEndPullBack(gRunEndTimer);
        float d = gCameraOffsets.distance + gCameraDistance + p;
        wantedTarget = Vector3{x, gCameraOffsets.height + gCameraHeight + gCameraGround, z};
        wantedEye = Vector3{x + d * std::sin(gCamera.yaw), gCameraOffsets.elevation + gCameraElevation + p + wantedTarget.y,
                            z - d * std::cos(gCamera.yaw)};
    }

    if (gCameraReset) {
        gCameraReset = 0;
        gCameraEye = wantedEye;
        gCameraTarget = wantedTarget;
    } else {
        gCameraEye = Vector3{ease(gCameraEye.x, wantedEye.x), ease(gCameraEye.y, wantedEye.y), ease(gCameraEye.z, wantedEye.z)};
        gCameraTarget = Vector3{ease(gCameraTarget.x, wantedTarget.x), ease(gCameraTarget.y, wantedTarget.y),
                                ease(gCameraTarget.z, wantedTarget.z)};
    }

    // Kept: the heights carry the last frame's roll and this frame's, so a
    // shake moves the view by two rolls at once.
    gCamera.eye = gCameraEye;
    gCamera.target = gCameraTarget;
    gCamera.eye.y += gCameraShake.cameraY;
    gCamera.target.y += gCameraShake.cameraY;
    printCameraLines();
    stepShake();
    gCamera.eye.y += gCameraShake.cameraY;
    gCamera.target.y += gCameraShake.cameraY;
    buildRolledViewMatrix();
}

void updateViewOrientation() {
    float dx = gCamera.eye.x - gCamera.target.x;
    float dz = gCamera.eye.z - gCamera.target.z;
    if (dx == 0.0f && dz == 0.0f) dz = 0.01f;
    float yaw = std::atan2(dx, dz) + PI;
    float h = std::sqrt(dx * dx + dz * dz);
    float pitch = PI / 2.0f - std::atan2(h, gCamera.eye.y - gCamera.target.y);
    gBillboardMatrix = matrixMultiply(matrixRotationX(pitch), matrixRotationY(yaw));

    // One count for each of the flare's eight sample directions, every one
    // of which counts.
    gViewSpin.count = VIEW_SPIN_SAMPLES;
    gViewSpin.visibility = gViewSpin.visibility + ((float)gViewSpin.count - gViewSpin.visibility) * 0.1f;
}

void startCameraShake(int32_t frames, int32_t amplitudeX, int32_t amplitudeY, float cameraAmplitude) {
    CameraShake& s = gCameraShake;
    s.framesLeft = frames;
    s.amplitudeX = amplitudeX;
    s.amplitudeY = amplitudeY;
    s.cameraAmplitude = cameraAmplitude;
    s.spriteX = 0;
    s.spriteY = 0;
    s.cameraY = 0.0f;
}

void startDefeatOrbit() { gDefeatOrbitFrame = 1; }
void stopDefeatOrbit() { gDefeatOrbitFrame = 0; }
void resetViewSpin() { gViewSpin = ViewSpin{}; }

// The camera circles the fallen boss's spot, sinking and closing in on z.
void updateDefeatOrbit() {
    if (gDefeatOrbitFrame == 0) return;
    ++gDefeatOrbitFrame;
    gCameraMode = CAMERA_SCRIPTED;
    gCameraTarget = Vector3{-40.0f, 6.0f, -40.0f};
    if (gDefeatOrbitFrame > DEFEAT_ORBIT_FRAMES) {
        gDefeatOrbitFrame = 0;
        gCameraMode = CAMERA_FOLLOW;
        return;
    }
    float t = (float)(gDefeatOrbitFrame + 60);
    float a = t * 0.002f + PI;
    float s = t * 0.01f;
    gCameraEye = Vector3{-40.0f + 16.0f * std::sin(a), 12.0f - s, -40.0f + (16.0f - s) * std::cos(a)};
}

void resetFieldCamera() {
    initCameraHeight();
    initCameraDistance();
    initCameraElevation();
    gCameraOffsets = CameraOffsets{};
    gCameraMode = CAMERA_FOLLOW;
    gCameraEye = Vector3{};
    gCameraTarget = Vector3{};
    gCameraReset = 0;
    gCameraGround = 0.0f;
    gCameraFixedOn = 0;
    gCameraFixedPoint = Vector3{};
    gCameraFrozen = 0;
    gDefeatOrbitFrame = 0;
    gViewSpin = ViewSpin{};
}
