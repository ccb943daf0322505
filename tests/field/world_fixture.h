// tests/field/world_fixture.h: the world drawing on the recording device
// without a boot: a stage record of the test's own, meshes made of device
// buffers, and the shared texture table filled with named textures; the
// log then tells what was drawn and with which states.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "dungeon/dungeon.h"
#include "engine/device.h"
#include "engine/meshes.h"
#include "engine/settings.h"
#include "engine/stage_index.h"
#include "field/field_camera.h"
#include "field/resources.h"
#include "field/world_renderer.h"
#include "game/state_registry.h"

class WorldFixture : public ::testing::Test {
protected:
    void SetUp() override {
        resetGameState();
        ASSERT_TRUE(GFX_RECORDING.open());
        gGfxDevice = GFX_RECORDING.createDevice(GfxPresentParams{64, 48, GFX_FORMAT_A8R8G8B8, true, true, GFX_FORMAT_D16, false});
        ASSERT_NE(gGfxDevice, nullptr);
        gCamera.fov = 45.0f;
        gCamera.eye = Vector3{0.0f, 0.0f, 0.0f};   // not among the boot's resets
        gCurrentStage = &stage;
        gfxRecordClear();
    }
    void TearDown() override {
        for (MeshRecord* mesh : made) releaseMesh(mesh);
        resetFieldResources();
        resetMeshTextures();
        gCurrentStage = nullptr;
        gUseFog = gUseMipmap = gUseLightTex = 0;
        gNoLight[0] = gNoLight[1] = 0;
        GFX_RECORDING.destroyDevice(gGfxDevice);
        gGfxDevice = nullptr;
        GFX_RECORDING.close();
        resetGameState();
    }
    // A texture-table entry named so, with a texture of its own; its index.
    int32_t addTexture(const char* name) {
        int32_t i = gMeshTextures.count++;
        MeshTextureEntry& e = gMeshTextures.entries[i];
        e = meshTextureFlags(name);
        e.alpha = strstr(name, ".t") != nullptr;
        snprintf(e.name, sizeof e.name, "%s", name);
        e.texture = gGfxDevice->createTexture(4, 4, 1, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, GFX_POOL_MANAGED);
        return i;
    }
    // A one-triangle-per-material mesh whose materials use these textures.
    void makeMesh(MeshRecord* mesh, std::vector<int32_t> textures) {
        int32_t n = (int32_t)textures.size();
        mesh->vertices = gGfxDevice->createBuffer(GFX_BUFFER_VERTEX, 3 * (int32_t)sizeof(MeshVertex));
        mesh->indices = gGfxDevice->createBuffer(GFX_BUFFER_INDEX, 3 * n * 4);
        mesh->vertexCount = 3;
        mesh->materialCount = n;
        mesh->textureIndices.reset(new int32_t[(size_t)n]);
        mesh->materials.reset(new GfxMaterial[(size_t)n]);
        mesh->subsets.reset(new MeshSubset[(size_t)n]);
        for (int32_t j = 0; j < n; ++j) {
            mesh->textureIndices[j] = textures[(size_t)j];
            mesh->materials[j] = GfxMaterial{};
            mesh->materials[j].diffuse.r = (float)j / 10.0f;
            mesh->subsets[j] = MeshSubset{3 * j, 1};
        }
        mesh->loaded = 1;
        made.push_back(mesh);
    }
    // Log lines starting with a prefix.
    int32_t count(const std::string& prefix) const {
        int32_t n = 0;
        for (int32_t i = 0; i < gGfxRecord.count; ++i)
            if (strncmp(gGfxRecord.lines[i], prefix.c_str(), prefix.size()) == 0) ++n;
        return n;
    }
    static std::string renderState(GfxRenderState s, uint32_t v) {
        return "setRenderState " + std::to_string((int)s) + " " + std::to_string(v);
    }
    static std::string stageState(GfxTextureStageState s, uint32_t v) {
        return "setTextureStageState 0 " + std::to_string((int)s) + " " + std::to_string(v);
    }
    std::vector<std::string> lines() const {
        std::vector<std::string> out;
        for (int32_t i = 0; i < gGfxRecord.count; ++i) out.push_back(gGfxRecord.lines[i]);
        return out;
    }

    StageRecord stage;
    MeshRecord scratch;
    std::vector<MeshRecord*> made;
};

// A sprite enemy kind of the given sheet, at scale 1 with a shadow.
inline EnemyKind spriteKind(const char* name, int32_t sheet) {
    EnemyKind kind = {};
    snprintf(kind.name, sizeof kind.name, "%s", name);
    kind.modelKind = ENEMY_MODEL_SPRITE;
    kind.modelNumber = sheet;
    kind.scale = 1.0f;
    kind.shadowSize = 1.0f;
    return kind;
}
