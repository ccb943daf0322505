#include "engine/device.h"

#include "engine/settings.h"
#include "engine/skin_models.h"

CameraState gCamera;
const GfxBackend* gOpenGraphics;
GfxDevice* gGfxDevice;
GfxPresentParams gPresentParams;
GfxDisplayMode gDisplayMode;
int32_t gDeviceOk = 1;
GfxTexture* gRenderTargetTextures[2];
GfxSurface* gRenderTargetSurfaces[2];

void setDefaultCamera() {
    gCamera.eye = {0.0f, 180.0f, -45.0f};
    gCamera.target = {0.0f, 0.0f, 0.0f};
    gCamera.yaw = 0.0f;
    gCamera.fov = 45.0f;
}

void buildRolledViewMatrix() {
    gCamera.view = matrixLookAtRH(gCamera.eye, gCamera.target, Vector3{0.0f, 1.0f, 0.0f});
}

static void setDefaultLightAndMaterial() {
    gCamera.light = GfxLight{};
    gCamera.light.type = GFX_LIGHT_DIRECTIONAL;
    gCamera.light.diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
    gCamera.light.specular = {0.5f, 0.5f, 0.5f, 0.0f};
    gCamera.light.ambient = {0.4f, 0.4f, 0.4f, 0.0f};
    gCamera.material = GfxMaterial{};
    gCamera.material.diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
    gCamera.material.ambient = {1.0f, 1.0f, 1.0f, 0.0f};
}

int initGraphicsDevice() {
    gOpenGraphics = gGfxBackend;
    if (!gOpenGraphics || !gOpenGraphics->open()) {
        gOpenGraphics = nullptr;
        return 0;
    }
    if (!gOpenGraphics->getDisplayMode(&gDisplayMode)) return 0;

    gPresentParams = GfxPresentParams{};
    gPresentParams.backBufferWidth = gScreenSize.width;
    gPresentParams.backBufferHeight = gScreenSize.height;
    gPresentParams.backBufferFormat = gDisplayMode.format;
    gPresentParams.windowed = gWindowed != 0;
    gPresentParams.autoDepthStencil = true;
    gPresentParams.depthStencilFormat = GFX_FORMAT_D16;
    // The frame loop paces itself; only full screen waits for the display.
    gPresentParams.vsync = !gWindowed;

    // Without a device nothing can be drawn: treated like a failed start of
    // graphics rather than running on blind.
    gGfxDevice = gOpenGraphics->createDevice(gPresentParams);
    if (!gGfxDevice) return 0;
    gDeviceOk = 1;

    setDefaultCamera();
    setDefaultLightAndMaterial();
    return 1;
}

void releaseRenderTargets() {
    for (int i = 0; i < 2; ++i) {
        if (gRenderTargetTextures[i] && gGfxDevice) gGfxDevice->releaseTexture(gRenderTargetTextures[i]);
        gRenderTargetTextures[i] = nullptr;
        gRenderTargetSurfaces[i] = nullptr;
    }
}

int createRenderTargets() {
    if (gSfNoUse || !gGfxDevice) return 1;
    // Called again after a reset and on the return to the title: never leak
    // the targets of an earlier call.
    releaseRenderTargets();
    // 0: a copy of the screen in the display's format; 1: the 1280 x 256 strip.
    gRenderTargetTextures[0] = gGfxDevice->createTexture(gScreenSize.width, gScreenSize.height, 1,
                                                         GFX_USAGE_RENDER_TARGET, gDisplayMode.format, GFX_POOL_DEFAULT);
    gRenderTargetTextures[1] =
        gGfxDevice->createTexture(1280, 256, 1, GFX_USAGE_RENDER_TARGET, GFX_FORMAT_A8R8G8B8, GFX_POOL_DEFAULT);
    for (int i = 0; i < 2; ++i) {
        if (gRenderTargetTextures[i]) gRenderTargetSurfaces[i] = gGfxDevice->getSurfaceLevel(gRenderTargetTextures[i], 0);
    }
    return 1;
}

void prepareSkinnedModels() {
    for (SkinModel& model : gEnemyModels) attachModelDevice(&model, 0, gGfxDevice);
    for (SkinModel& model : gFieldModels) attachModelDevice(&model, 0, gGfxDevice);
}

void resetDeviceFlags() { gDeviceOk = 1; }
