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
#include "field/field_state.h"

extern float gCameraGround;          // the eased ground under the look-at point
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

void updateViewOrientation();

// Pure: the pull-back of the eye while a dungeon run ends, by its timer.
float runEndPullBack(int32_t runEndTimer);
