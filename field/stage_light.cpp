#include "field/stage_light.h"

#include <cmath>

#include "engine/device.h"
#include "engine/frame_loop.h"
#include "engine/save_file.h"
#include "engine/stage_index.h"
#include "field/world_renderer.h"

GfxLight gStageLight;
GfxLight gCharacterLight;

namespace {

struct DayLight {
    float direction[3];
    float diffuse[3];
    float ambient[3];
};
const DayLight DAY_LIGHT_TABLE[3] = {
    {{0.2f, 0.4f, 0.2f}, {0.8f, 0.8f, 0.9f}, {0.6f, 0.6f, 0.6f}},
    {{1.0f, 0.5f, -0.5f}, {0.8f, 0.7f, 0.2f}, {0.9f, 0.6f, 0.3f}},
    {{1.0f, 0.0f, 0.0f}, {0.3f, 0.3f, 0.3f}, {0.6f, 0.6f, 1.2f}},
};
const DayLight CLOSED_LIGHT = {{1.0f, 0.0f, 0.0f}, {0.3f, 0.3f, 0.6f}, {0.2f, 0.2f, 0.8f}};

void setLight(const float direction[3], const float diffuse[3], const float ambient[3]) {
    gStageLight = GfxLight{};
    gStageLight.type = GFX_LIGHT_DIRECTIONAL;
    gStageLight.diffuse = {diffuse[0], diffuse[1], diffuse[2], 0.0f};
    gStageLight.ambient = {ambient[0], ambient[1], ambient[2], 0.0f};
    for (int i = 0; i < 3; ++i) gStageLight.direction[i] = direction[i];
}

// The time-of-day light: between two table sets while the day runs.
void dayLight(int32_t phase, float eased) {
    if (phase <= 1) {
        const DayLight& d = DAY_LIGHT_TABLE[0];
        setLight(d.direction, d.diffuse, d.ambient);
    } else if (phase <= 3) {
        const DayLight& a = DAY_LIGHT_TABLE[phase - 1];
        const DayLight& b = DAY_LIGHT_TABLE[phase - 2];
        float k = (float)phase - eased;
        DayLight mix;
        for (int i = 0; i < 3; ++i) {
            mix.direction[i] = a.direction[i] - (a.direction[i] - b.direction[i]) * k;
            mix.diffuse[i] = a.diffuse[i] - (a.diffuse[i] - b.diffuse[i]) * k;
            mix.ambient[i] = a.ambient[i] - (a.ambient[i] - b.ambient[i]) * k;
        }
        setLight(mix.direction, mix.diffuse, mix.ambient);
    } else {
        setLight(CLOSED_LIGHT.direction, CLOSED_LIGHT.diffuse, CLOSED_LIGHT.ambient);
    }
}

// The pulsing light: from behind the camera, each colour swinging between
// the stage's two ends on the map frame counter.
void pulsingLight(const StageRecord& stage) {
    float yaw = gCamera.yaw;
    const float direction[3] = {0.5f * sinf(-yaw), -0.5f, 0.5f * cosf(-yaw)};
    float swing = (sinf((float)gMapFrameCounter * stage.maplightspeed) + 1.0f) / 2.0f;
    float colors[6];
    for (int i = 0; i < 6; ++i) {
        float a = stage.maplightRange[i][0];
        float b = stage.maplightRange[i][1];
        colors[i] = a + (b - a) * swing;
    }
    setLight(direction, colors, colors + 3);
}

float clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

}  // namespace

void updateStageLight() {
    const StageRecord* stage = gCurrentStage;
    int32_t mode = stage ? stage->maplight : 0;
    if (mode == 2) {
        setLight(stage->lightdir, stage->lightcolor, stage->lightamb);
    } else if (mode == 3) {
        dayLight(runningGameState().dayPhase, gTimeOfDay);
    } else if (mode != 0) {
        pulsingLight(*stage);
    }
    if (gD3DDevice) {
        if (mode != 0) gD3DDevice->setLight(0, gStageLight);
        gD3DDevice->lightEnable(0, mode != 0);
        gD3DDevice->setRenderState(GFX_RS_LIGHTING, mode != 0);
    }
    float offset = stage ? stage->chrlightoffset : 0.0f;
    gCharacterLight = gStageLight;
    gCharacterLight.ambient.r = clamp01(gCharacterLight.ambient.r + offset);
    gCharacterLight.ambient.g = clamp01(gCharacterLight.ambient.g + offset);
    gCharacterLight.ambient.b = clamp01(gCharacterLight.ambient.b + offset);
}

// The floor objects and the shadows arrive with the floor objects' pool.
void drawFloorObjects(int32_t) {}
void drawShadows() {}

void resetStageLight() {
    gStageLight = GfxLight{};
    gCharacterLight = GfxLight{};
}
