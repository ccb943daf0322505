// tests/field/shop_scene.h: the booted game put straight onto the sample
// shop floor (stage 0) with its furniture placed as the floor start will
// place it: the room, the four rug pieces and ten counter tables, seen
// from a fixed camera. For the world drawing's tests and benchmark.
#pragma once
#include "dungeon/dungeon.h"
#include "engine/device.h"
#include "engine/frame_loop.h"
#include "engine/stage_index.h"
#include "field/field_camera.h"
#include "field/resources.h"

inline void placeShopFurniture() {
    gPlacedBlocks = PlacedBlocks{};
    gPlacedBlocks.countA = 5;
    gPlacedBlocks.countB = 10;
    gPlacedBlocks.blockId[0] = 0;
    for (int32_t i = 1; i < 5; ++i) {
        gPlacedBlocks.position[i][0] = -11.0f + 3.0f * (float)i;
        gPlacedBlocks.position[i][2] = 6.0f;
    }
    for (int32_t i = 0; i < 10; ++i) {
        float* at = gPlacedBlocks.position[PLACED_GROUP_B_FIRST + i];
        at[0] = -8.0f + 2.8f * (float)(i % 5);
        at[2] = i < 5 ? -5.0f : 1.0f;
        gPlacedBlocks.yaw[PLACED_GROUP_B_FIRST + i] = i % 3 == 0 ? 1.5707964f : 0.0f;
    }
}

inline void enterShopScene() {
    gStageIndex = 0;
    loadFieldResources();
    placeShopFurniture();
    gGameMode = GAME_MODE_FIELD;
    gCameraFrozen = 1;
    // Where the shop's first view stands: above the front, across the counter.
    gCamera.eye = Vector3{-1.0f, 22.2f, 15.0f};
    gCamera.target = Vector3{-1.0f, 1.2f, 1.0f};
    buildRolledViewMatrix();
}
