// field/field_state.h: the field's words that the other folders set or
// read: the camera's, the HUD's, the effect pools and the world drawing's.
#pragma once
#include <cstdint>

#include "engine/math.h"
#include "field/field.h"

// The camera. gCameraHeight, gCameraDistance and gCameraElevation start at
// CAMERA_DEFAULTS.
extern float gCameraHeight;
extern float gCameraDistance;
extern float gCameraElevation;
extern CameraOffsets gCameraOffsets;
extern int32_t gCameraMode;          // CameraMode
extern Vector3 gCameraEye;           // smoothed
extern Vector3 gCameraTarget;
extern int32_t gCameraReset;         // the next update jumps to the wanted place
extern int32_t gCameraFixedOn;       // look halfway between the character and the fixed point
extern Vector3 gCameraFixedPoint;    // only x and z are used
extern int32_t gCameraFrozen;        // the world drawing skips the camera update

// The HUD.
extern float gExpShown;           // the merchant experience the gauge shows
extern int32_t gLevelUpTimer;     // 0, or 1..99 while the level-up tag runs
extern int32_t gMoneyShown;
extern int32_t gChestNoticeTimer; // set to 1 by the chest code

// The effect objects.
extern EffectObject gEffectObjects[EFFECT_OBJECT_POOL_SIZE];

// High-water marks (last live record + 1) of the effect-object, attack-object
// and pickup pools, recomputed at the start of every scene; the effect
// passes loop only up to them.
struct EffectCounts {
    int32_t effectObjects;
    int32_t attackObjects;
    int32_t pickups;
};
extern EffectCounts gEffectCounts;

// 0..30: while above 0 the world is covered by a fade of opacity 10 x value
// out of 255 (a skill's or a warp's darkening).
extern int32_t gSkillCountdown;
