// field/field_camera.h: the camera of game mode 1 (shop floor and dungeon
// floors): it follows the controlled character, keeps to a box per shop
// layout, eases with the ground, pulls back when a run ends and shakes; the
// camera-facing matrix of billboards and the orbit after a boss falls.
// updateFieldCamera and updateViewOrientation run once per drawn frame from
// the world drawing, so the easing is per drawn frame; updateDefeatOrbit runs
// once per tick from the field update. Main thread only.
#pragma once
#include <cstdint>

#include "engine/math.h"

struct CameraTuning {
    float height;      // added to the look-at height
    float distance;    // eye behind the look-at point
    float elevation;   // eye above the look-at point
};
constexpr CameraTuning CAMERA_DEFAULTS = {-1.8f, 14.0f, 21.0f};

enum CameraMode : int32_t {
    CAMERA_FOLLOW = 0,
    CAMERA_SCRIPTED = 1,   // the writers of gCameraEye and gCameraTarget own them
    CAMERA_WIDE = 2,       // follow, wider and higher
    CAMERA_WIDEST = 3,
};

// Added to the tuning values; set by the camera in modes 0, 2 and 3, by
// scripts in mode 1.
struct CameraOffsets {
    float distance;
    float elevation;
    float height;
};

extern float gCameraHeight;
extern float gCameraDistance;
extern float gCameraElevation;
extern CameraOffsets gCameraOffsets;
extern int32_t gCameraMode;          // CameraMode
extern Vector3 gCameraEye;           // smoothed
extern Vector3 gCameraTarget;
extern int32_t gCameraReset;         // the next update jumps to the wanted place
extern float gCameraGround;          // the eased ground under the look-at point
extern int32_t gCameraFixedOn;       // look halfway between the character and the fixed point
extern Vector3 gCameraFixedPoint;    // only x and z are used
extern int32_t gCameraFrozen;        // the world drawing skips the camera update
extern int32_t gDefeatOrbitFrame;    // 0 none, else 1..400

// The lens flare scales its brightness by visibility / 8.
struct ViewSpin {
    int32_t count;
    float visibility;   // eases toward count
};
extern ViewSpin gViewSpin;

constexpr int32_t DEFEAT_ORBIT_FRAMES = 400;

void initCameraHeight();
void initCameraDistance();
void initCameraElevation();

void updateFieldCamera();
void updateViewOrientation();
// A new call replaces a running shake.
void startCameraShake(int32_t frames, int32_t amplitudeX, int32_t amplitudeY, float cameraAmplitude);
void startDefeatOrbit();
void updateDefeatOrbit();

// Pure: the pull-back of the eye while a dungeon run ends, by its timer.
float runEndPullBack(int32_t runEndTimer);
// Back to the values a fresh process starts with (a new boot in the same process).
void resetFieldCamera();
