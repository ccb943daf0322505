#include "field/field_camera.h"
#include "engine/math.h"

#include <cmath>
#include <cstdio>

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

// The tuning at its defaults, everything else at zero: what a fresh process has.
static FieldCameraState freshFieldCamera() {
    FieldCameraState camera{};
    camera.cameraHeight = CAMERA_DEFAULTS.height;
    camera.cameraDistance = CAMERA_DEFAULTS.distance;
    camera.cameraElevation = CAMERA_DEFAULTS.elevation;
    return camera;
}

FieldCameraState gFieldCamera = freshFieldCamera();

void initCameraHeight() { gFieldCamera.cameraHeight = CAMERA_DEFAULTS.height; }
void initCameraDistance() { gFieldCamera.cameraDistance = CAMERA_DEFAULTS.distance; }
void initCameraElevation() { gFieldCamera.cameraElevation = CAMERA_DEFAULTS.elevation; }

static int32_t currentStageCode() { return gCurrentStage ? gCurrentStage->stageCode : STAGE_CODE_UNKNOWN; }

// The shop's chosen view on the shop stages; 0 everywhere else.
static int32_t shopView() {
    int32_t code = currentStageCode();
    return code >= 0 && code <= SHOP_STAGE_LAST ? runningGameState().shopCameraView : 0;
}

static void setFramingOffsets(const CameraTuning& framing) {
    gFieldCamera.cameraOffsets.height = framing.height - CAMERA_DEFAULTS.height;
    gFieldCamera.cameraOffsets.distance = framing.distance - CAMERA_DEFAULTS.distance;
    gFieldCamera.cameraOffsets.elevation = framing.elevation - CAMERA_DEFAULTS.elevation;
}

static void setModeOffsets(int32_t view) {
    if (gFieldCamera.cameraMode == CAMERA_FOLLOW) {
        if (view >= 2) setFramingOffsets(SHOP_HIGH_VIEW_FRAMING);
        else gFieldCamera.cameraOffsets = CameraOffsets{};
    } else if (gFieldCamera.cameraMode == CAMERA_WIDE) {
        setFramingOffsets(WIDE_FRAMING);
    } else if (gFieldCamera.cameraMode == CAMERA_WIDEST) {
        setFramingOffsets(WIDEST_FRAMING);
    }
}

// Eases toward three units above the character's feet, less four, never
// below 0 nor the stage's death height.
static void updateGround(float characterY) {
    float candidate = characterY - 4.0f;
    if (candidate < 0.0f) candidate = 0.0f;
    if (gCurrentStage && candidate < (float)gCurrentStage->deathheight) candidate = (float)gCurrentStage->deathheight;
    if (gFieldCamera.cameraReset) gFieldCamera.cameraGround = candidate + 3.0f;
    else gFieldCamera.cameraGround = gFieldCamera.cameraGround + (candidate - gFieldCamera.cameraGround) * 0.1f + 0.3f;
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
    std::snprintf(line, sizeof line, "HEIT:%f", gFieldCamera.cameraOffsets.height + gFieldCamera.cameraHeight);
    printDebugText(30, 0, line);
    std::snprintf(line, sizeof line, "DIST:%f", gFieldCamera.cameraOffsets.distance + gFieldCamera.cameraDistance);
    printDebugText(30, 1, line);
    std::snprintf(line, sizeof line, "CANG:%f", gFieldCamera.cameraOffsets.elevation + gFieldCamera.cameraElevation);
    printDebugText(30, 2, line);
    std::snprintf(line, sizeof line, "MIPMAP:%f", MIPMAP_LOD_BIAS);
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

    Vector3 wantedEye = gFieldCamera.cameraEye;
    Vector3 wantedTarget = gFieldCamera.cameraTarget;
    if (gFieldCamera.cameraMode == CAMERA_SCRIPTED) {
        gFieldCamera.cameraGround = 3.0f;
    } else {
        float x = character.x;
        float z = character.z;
        if (view >= 2) z -= 5.0f;
        if (gFieldCamera.cameraFixedOn) {
            x = gFieldCamera.cameraFixedPoint.x + (character.x - gFieldCamera.cameraFixedPoint.x) * 0.5f;
            z = gFieldCamera.cameraFixedPoint.z + (character.z - gFieldCamera.cameraFixedPoint.z) * 0.5f;
        }
        if (view == 0 || view == 2) clampToShop(x, z);
        float p = runEndPullBack(gRun.runEndTimer);
        float d = gFieldCamera.cameraOffsets.distance + gFieldCamera.cameraDistance + p;
        wantedTarget = Vector3{x, gFieldCamera.cameraOffsets.height + gFieldCamera.cameraHeight + gFieldCamera.cameraGround, z};
        wantedEye = Vector3{x + d * std::sin(gCamera.yaw), gFieldCamera.cameraOffsets.elevation + gFieldCamera.cameraElevation + p + wantedTarget.y,
                            z - d * std::cos(gCamera.yaw)};
    }

    if (gFieldCamera.cameraReset) {
        gFieldCamera.cameraReset = 0;
        gFieldCamera.cameraEye = wantedEye;
        gFieldCamera.cameraTarget = wantedTarget;
    } else {
        gFieldCamera.cameraEye = Vector3{ease(gFieldCamera.cameraEye.x, wantedEye.x), ease(gFieldCamera.cameraEye.y, wantedEye.y), ease(gFieldCamera.cameraEye.z, wantedEye.z)};
        gFieldCamera.cameraTarget = Vector3{ease(gFieldCamera.cameraTarget.x, wantedTarget.x), ease(gFieldCamera.cameraTarget.y, wantedTarget.y),
                                ease(gFieldCamera.cameraTarget.z, wantedTarget.z)};
    }

    // Kept: the heights carry the last frame's roll and this frame's, so a
    // shake moves the view by two rolls at once.
    gCamera.eye = gFieldCamera.cameraEye;
    gCamera.target = gFieldCamera.cameraTarget;
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
    gFieldCamera.viewSpin.count = VIEW_SPIN_SAMPLES;
    gFieldCamera.viewSpin.visibility = gFieldCamera.viewSpin.visibility + ((float)gFieldCamera.viewSpin.count - gFieldCamera.viewSpin.visibility) * 0.1f;
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

void startDefeatOrbit() { gFieldCamera.defeatOrbitFrame = 1; }
void stopDefeatOrbit() { gFieldCamera.defeatOrbitFrame = 0; }
void resetViewSpin() { gFieldCamera.viewSpin = ViewSpin{}; }

// The camera circles the fallen boss's spot, sinking and closing in on z.
void updateDefeatOrbit() {
    if (gFieldCamera.defeatOrbitFrame == 0) return;
    ++gFieldCamera.defeatOrbitFrame;
    gFieldCamera.cameraMode = CAMERA_SCRIPTED;
    gFieldCamera.cameraTarget = Vector3{-40.0f, 6.0f, -40.0f};
    if (gFieldCamera.defeatOrbitFrame > DEFEAT_ORBIT_FRAMES) {
        gFieldCamera.defeatOrbitFrame = 0;
        gFieldCamera.cameraMode = CAMERA_FOLLOW;
        return;
    }
    float t = (float)(gFieldCamera.defeatOrbitFrame + 60);
    float a = t * 0.002f + PI;
    float s = t * 0.01f;
    gFieldCamera.cameraEye = Vector3{-40.0f + 16.0f * std::sin(a), 12.0f - s, -40.0f + (16.0f - s) * std::cos(a)};
}

void resetFieldCamera() { gFieldCamera = freshFieldCamera(); }
