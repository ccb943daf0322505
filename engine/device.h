// engine/device.h: the drawing device the whole game draws through, its two
// off-screen render targets and the field camera's shared view. Opened once
// at start-up (initGraphicsDevice), reset after a lost device, closed at shut-down.
#pragma once
#include <cstdint>

#include "engine/math.h"
#include "platform/gfx.h"
#include "platform/gfx_light.h"

struct CameraState {
    Vector3 eye;
    Vector3 target;
    GfxLight light;
    float yaw;
    float fov;          // degrees
    GfxMaterial material;
    Matrix4 view;
    Matrix4 projection;
};
extern CameraState gCamera;

extern const GfxBackend* gOpenGraphics;        // the graphics backend once opened
extern GfxDevice* gGfxDevice;
extern GfxPresentParams gPresentParams;    // created with and reset with
extern GfxDisplayMode gDisplayMode;
extern int32_t gDeviceOk;                  // 0 from a lost present until a good reset
extern GfxTexture* gRenderTargetTextures[2];   // 0: screen-size copy, 1: 1280 x 256
extern GfxSurface* gRenderTargetSurfaces[2];

int initGraphicsDevice();
void setDefaultCamera();
// gCamera.view: the right-handed look from its eye to its target, up +y.
void buildRolledViewMatrix();
int createRenderTargets();
void releaseRenderTargets();
void prepareSkinnedModels();
// A fresh process starts with the device thought good; what is open stays.
void resetDeviceFlags();
