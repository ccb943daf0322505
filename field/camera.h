// field/camera.h: the field camera's shared state: the screen shake that also
// moves every 2D sprite, and the camera-facing rotations billboards use.
// The camera update that rolls the shake arrives with the field camera; until
// then the offsets stay 0.
#pragma once
#include <cstdint>

#include "engine/math.h"

struct CameraShake {
    int32_t spriteX;   // added to every sprite quad's position, in back-buffer pixels
    int32_t spriteY;
};
extern CameraShake gCameraShake;

extern Matrix4 gYawMatrix;         // turns billboards up toward the camera
extern Matrix4 gBillboardMatrix;   // gYawMatrix, then the turn toward the camera's heading
