// Static models: every mesh of a file in its frames' place with its
// materials, the "easydisp" variant tried first, the open error, the shared
// texture table with its keywords, folders and limit, and a model loaded on
// a loader thread drawn by the main thread on the OpenGL device.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "engine/archive.h"
#include "engine/device.h"
#include "engine/engine_state.h"
#include "engine/meshes.h"
#include "engine/settings.h"
#include "engine/state_snapshot.h"
#include "platform/thread.h"
#include "platform/window.h"
#include "tests/engine/device_scope.h"
#include "tests/temp_folder.h"
#include "tools/archive_writer.h"
#include "tools/model_shapes.h"
#include "tools/xfile_writer.h"

namespace {

std::vector<uint8_t> tinyTga(uint32_t argb) {
    std::vector<uint8_t> out = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 32, 0x28};
    for (int shift : {0, 8, 16, 24}) out.push_back((uint8_t)(argb >> shift));
    return out;
}

// A flat square at height y of one material.
XFileScene squareScene(const char* materialName, const char* texture, float y = 0.0f) {
    XFileScene scene = {};
    int32_t root = addFrame(scene, "Root", -1);
    XFileMesh mesh = shapeMesh("square", root);
    const float corners[4][3] = {{-1, y, -1}, {-1, y, 1}, {1, y, 1}, {1, y, -1}};
    const float up[3] = {0, 1, 0};
    addQuad(mesh, corners, up, 0);
    mesh.materials = {shapeMaterial(materialName, 1.0f, 0.5f, 0.25f, texture)};
    scene.meshes.push_back(mesh);
    return scene;
}

std::vector<MeshVertex> vertexBytes(const MeshRecord& record) {
    std::vector<MeshVertex> out((size_t)record.vertexCount);
    void* bytes = gGfxDevice->lockBuffer(record.vertices);
    if (bytes) memcpy(out.data(), bytes, out.size() * sizeof(MeshVertex));
    gGfxDevice->unlockBuffer(record.vertices);
    return out;
}

}  // namespace

// A temporary game folder as the working directory, message boxes recorded
// and a device of the chosen backend as the game's.
class MeshFolder : public ::testing::Test {
protected:
    explicit MeshFolder(const GfxBackend* backend = &GFX_RECORDING) : backend(backend) {}
    void SetUp() override {
        ASSERT_TRUE(device.open(backend, 64, 48));
        resetMeshTextures();
        gEasyDisp = 0;
    }
    void TearDown() override {
        for (MeshRecord& record : records) releaseMesh(&record);
        for (int32_t i = 0; i < gMeshTextures.count; ++i)
            if (gMeshTextures.entries[i].texture) gGfxDevice->releaseTexture(gMeshTextures.entries[i].texture);
        resetMeshTextures();
        device.close();
        gArchiveIndex = ArchiveTable{};
        gBmpData = ArchiveTable{};
        gFormData.clear();
    }
    void writeModel(const std::string& path, const XFileScene& scene) { folder.write(path, xfileWriteText(scene)); }
    void openArchiveWith(const std::vector<std::pair<std::string, std::vector<uint8_t>>>& entries) {
        ArchiveBuilder b;
        std::string error;
        for (const auto& [name, bytes] : entries)
            ASSERT_TRUE(addIndexEntry(b, name, bytes.data(), bytes.size(), error)) << error;
        ASSERT_TRUE(writeArchiveFiles(b, ".", false, error)) << error;
        ASSERT_TRUE(openArchive());
    }
    int32_t boxes() const { return gHeadlessMessageBoxes.total; }
    const RecordedMessageBox& box(int32_t i) const { return gHeadlessMessageBoxes.boxes[i]; }

    const GfxBackend* backend;
    TempFolder folder{"meshes"};
    WorkingDirectory inFolder{folder.path()};
    MeshRecord records[3];
    DeviceScope device;
    StateScope state{&ENGINE_STATE};
};

class MeshLoading : public MeshFolder {};
class MeshTextures : public MeshFolder {};

TEST_F(MeshLoading, EveryMeshOfTheFileSitsInItsFramesPlace) {
    XFileScene scene = {};
    int32_t root = addFrame(scene, "Root", -1, 0.0f, 1.0f, 0.0f);
    int32_t left = addFrame(scene, "Left", root, -2.0f, 0.0f, 0.0f);
    int32_t right = addFrame(scene, "Right", root, 2.0f, 0.0f, 0.0f);
    const float lo[3] = {-1, -1, -1};
    const float hi[3] = {1, 1, 1};
    XFileMesh a = shapeMesh("a", left);
    addBox(a, lo, hi, 1);
    a.triangleMaterials[0] = a.triangleMaterials[1] = 0;
    a.materials = {shapeMaterial("top", 1, 0, 0), shapeMaterial("sides", 0, 1, 0)};
    XFileMesh b = shapeMesh("b", right);
    addBox(b, lo, hi, 0);
    b.materials = {shapeMaterial("other", 0, 0, 1)};
    scene.meshes = {a, b};
    writeModel("xfile/pair.x", scene);

    ASSERT_EQ(loadMesh(&records[0], "xfile/pair.x", -1), 1);
    const MeshRecord& r = records[0];
    EXPECT_EQ(r.loaded, 1);
    ASSERT_EQ(r.materialCount, 3);
    EXPECT_EQ(r.subsets[0].triangleCount, 2);
    EXPECT_EQ(r.subsets[1].triangleCount, 10);
    EXPECT_EQ(r.subsets[2].triangleCount, 12);
    EXPECT_EQ(r.subsets[2].startIndex, 36);
    for (int32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(memcmp(&r.materials[i].ambient, &r.materials[i].diffuse, sizeof(GfxColorValue)), 0) << i;
        EXPECT_EQ(r.textureIndices[i], -1);
    }
    EXPECT_FLOAT_EQ(r.materials[2].diffuse.b, 1.0f);
    EXPECT_EQ(r.vertexCount, 48) << "each face keeps its own normal";
    std::vector<MeshVertex> v = vertexBytes(r);
    float lowX = 1e9f, highX = -1e9f, lowY = 1e9f;
    for (const MeshVertex& p : v) {
        lowX = std::min(lowX, p.x);
        highX = std::max(highX, p.x);
        lowY = std::min(lowY, p.y);
        EXPECT_EQ(p.diffuse, 0xFFFFFFFFu) << "no colours in the file: white";
    }
    EXPECT_FLOAT_EQ(lowX, -3.0f);
    EXPECT_FLOAT_EQ(highX, 3.0f);
    EXPECT_FLOAT_EQ(lowY, 0.0f) << "the root lifts both";
    EXPECT_NEAR(r.center[0], 0.0f, 1e-5f);
    EXPECT_NEAR(r.center[1], 1.0f, 1e-5f);
    EXPECT_NEAR(r.radius, std::sqrt(11.0f), 1e-5f);
    EXPECT_EQ(boxes(), 0);

    releaseMesh(&records[0]);
    EXPECT_EQ(records[0].vertices, nullptr);
    EXPECT_EQ(records[0].loaded, 1) << "the loaded flag stays";
}

TEST_F(MeshLoading, EasyDispTriesTheSimpleModelFirst) {
    struct Case {
        const char* what;
        int32_t easyDisp;
        bool plain, simple;
        const char* wantMaterial;   // null: the load fails
    };
    const Case cases[] = {
        {"on, both present", 1, true, true, "simple"},
        {"on, only the plain model", 1, true, false, "plain"},
        {"on, neither", 1, false, false, nullptr},
        {"off, only the simple model", 0, false, true, nullptr},
        {"off, both present", 0, true, true, "plain"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(folder.file("xfile"));
        if (c.plain) writeModel("xfile/etc/rock.x", squareScene("plain", ""));
        if (c.simple) writeModel("xfile/etc/rock_s.x", squareScene("simple", ""));
        gEasyDisp = c.easyDisp;
        headlessWindowReset();
        MeshRecord record;
        int32_t loaded = loadMesh(&record, "xfile/etc/rock.x", 3);
        if (!c.wantMaterial) {
            EXPECT_EQ(loaded, 0);
            EXPECT_EQ(record.loaded, 0) << "the record is left as it was";
            ASSERT_EQ(boxes(), 1);
            EXPECT_STREQ(box(0).text, "xfile/etc/rock.x");
            EXPECT_STREQ(box(0).caption, "File Opne Error");
            continue;
        }
        EXPECT_EQ(loaded, 1);
        EXPECT_EQ(boxes(), 0);
        ASSERT_EQ(record.materialCount, 1);
        EXPECT_FLOAT_EQ(record.materials[0].diffuse.r, 1.0f);
        releaseMesh(&record);
    }
}

TEST_F(MeshLoading, ADamagedModelShowsTheOpenError) {
    std::string good = xfileWriteText(squareScene("m", ""));
    folder.write("xfile/cut.x", good.substr(0, good.size() - 40));
    folder.write("xfile/garbage.x", std::string("xof 0302bin 0032") + std::string(64, '\xff'));
    folder.write("xfile/empty.x", "xof 0302txt 0032\nFrame Root { }\n");
    int32_t shown = 0;
    for (const char* path : {"xfile/cut.x", "xfile/garbage.x", "xfile/empty.x"}) {
        EXPECT_EQ(loadMesh(&records[0], path, -1), 0) << path;
        ASSERT_EQ(boxes(), ++shown) << path;
        EXPECT_STREQ(box(shown - 1).text, path);
        EXPECT_EQ(records[0].loaded, 0);
    }
}

TEST_F(MeshTextures, KeywordsOfTheNameGiveTheFlags) {
    struct Case {
        const char* name;
        uint8_t water, hikari, kabe, yuka, shopJutan, noMip, twoSided, u, v;
    };
    const Case cases[] = {
        {"kabe_w_u2_stone.tga", 0, 0, 1, 0, 0, 0, 1, 2, 0},
        {"water01.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0},
        {"mywater.bmp", 0, 0, 0, 0, 0, 0, 0, 0, 0},       // prefixes only at the start
        {"hikari_n_glow.bmp", 0, 1, 0, 0, 0, 1, 0, 0, 0},
        {"yuka_u3_v1_v2_tile.bmp", 0, 0, 0, 1, 0, 0, 0, 3, 2},   // the last match wins
        {"shop_jutan01.tga", 0, 0, 0, 0, 1, 0, 0, 0, 0},
        {"u4_v9_.bmp", 0, 0, 0, 0, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        MeshTextureEntry e = meshTextureFlags(c.name);
        uint8_t got[9] = {e.water, e.hikari, e.kabe, e.yuka, e.shopJutan, e.noMip, e.twoSided, e.addressU, e.addressV};
        uint8_t want[9] = {c.water, c.hikari, c.kabe, c.yuka, c.shopJutan, c.noMip, c.twoSided, c.u, c.v};
        EXPECT_EQ(memcmp(got, want, sizeof got), 0) << c.name;
    }
}

TEST_F(MeshTextures, AModelsFolderIsItsPathUpToTheLastSlashBeforeTheFirstDot) {
    struct Case {
        const char* path;
        const char* folder;
    };
    const Case cases[] = {
        {"xfile/tree/obj_door.x", "xfile/tree/"},
        {"model.x", ""},   // no folder at all
        {"xfile\\win\\m.x", "xfile\\win\\"},
        {"xfile/a.b/c.x", "xfile/"},
        {"noextension", ""},
    };
    for (const Case& c : cases) {
        char out[MESH_FOLDER_SIZE];
        memset(out, 'x', sizeof out);
        meshModelFolder(c.path, out, sizeof out);
        EXPECT_STREQ(out, c.folder) << c.path;
    }
}

TEST_F(MeshTextures, AWallTextureGetsItsFlagsAndATgaIsDrawnWithAlpha) {
    openArchiveWith({{"xfile/shop/kabe_w_u2_stone.tga", tinyTga(0x80FFFFFF)}});
    writeModel("xfile/shop/wall.x", squareScene("wall", "kabe_w_u2_stone.tga"));
    ASSERT_EQ(loadMesh(&records[0], "xfile/shop/wall.x", -1), 1);
    ASSERT_EQ(gMeshTextures.count, 1);
    const MeshTextureEntry& e = gMeshTextures.entries[0];
    EXPECT_STREQ(e.name, "kabe_w_u2_stone.tga");
    EXPECT_STREQ(gMeshTextures.modelFolder, "xfile/shop/");
    EXPECT_NE(e.texture, nullptr);
    EXPECT_EQ(e.kabe, 1);
    EXPECT_EQ(e.twoSided, 1);
    EXPECT_EQ(e.addressU, GFX_ADDRESS_CLAMP);
    EXPECT_EQ(e.alpha, 1);
    EXPECT_EQ(records[0].textureIndices[0], 0);
    EXPECT_EQ(boxes(), 0);
}

TEST_F(MeshTextures, ModelsInTwoFoldersShareTheFirstFoldersTexture) {
    openArchiveWith({{"xfile/a/wood.bmp", tinyTga(0xFF804020)}});
    writeModel("xfile/a/m.x", squareScene("first", "wood.bmp"));
    writeModel("xfile/b/m.x", squareScene("second", "wood.bmp"));
    ASSERT_EQ(loadMesh(&records[0], "xfile/a/m.x", -1), 1);
    ASSERT_EQ(loadMesh(&records[1], "xfile/b/m.x", -1), 1);
    EXPECT_EQ(gMeshTextures.count, 1);
    EXPECT_NE(gMeshTextures.entries[0].texture, nullptr);
    EXPECT_EQ(gMeshTextures.entries[0].alpha, 0);
    EXPECT_EQ(records[1].textureIndices[0], 0);
    EXPECT_EQ(boxes(), 0) << "the second folder's copy is never looked for";
}

TEST_F(MeshTextures, TheTableHoldsTwoHundredAndSaysSoOnceWhenFull) {
    std::vector<std::pair<std::string, std::vector<uint8_t>>> entries;
    XFileScene scene = squareScene("m0", "t000.bmp");
    XFileMesh& mesh = scene.meshes[0];
    for (int32_t i = 0; i < MESH_TEXTURE_MAX + 2; ++i) {
        char name[16], texture[16];
        snprintf(name, sizeof name, "m%d", i);
        snprintf(texture, sizeof texture, "t%03d.bmp", i);
        if (i > 0) mesh.materials.push_back(shapeMaterial(name, 1, 1, 1, texture));
        entries.push_back({std::string("xfile/") + texture, tinyTga(0xFFFFFFFF)});
    }
    openArchiveWith(entries);
    writeModel("xfile/many.x", scene);
    ASSERT_EQ(loadMesh(&records[0], "xfile/many.x", -1), 1);
    EXPECT_EQ(gMeshTextures.count, MESH_TEXTURE_MAX);
    EXPECT_EQ(records[0].textureIndices[MESH_TEXTURE_MAX - 1], MESH_TEXTURE_MAX - 1);
    EXPECT_EQ(records[0].textureIndices[MESH_TEXTURE_MAX], -1);
    EXPECT_EQ(records[0].textureIndices[MESH_TEXTURE_MAX + 1], -1);
    ASSERT_EQ(boxes(), 1);
    EXPECT_STREQ(box(0).caption, "error");

    clearMeshTextures();
    EXPECT_EQ(gMeshTextures.count, 0);
    for (const MeshTextureEntry& e : gMeshTextures.entries) ASSERT_EQ(e.texture, nullptr);
}

class MeshDrawing : public MeshFolder {
protected:
    MeshDrawing() : MeshFolder(&GFX_HEADLESS) {}
};

TEST_F(MeshDrawing, AModelLoadedOnALoaderThreadDrawsOnTheMainThread) {
    XFileScene scene = squareScene("m", "");
    // Seen from above through identity view and projection: x across, z up the screen.
    for (float& p : scene.meshes[0].positions) p *= 0.5f;
    scene.meshes[0].colors.assign(4, 0xFF20C040);
    writeModel("xfile/patch.x", scene);
    int32_t loaded = 0;
    std::thread loader([&] { loaded = loadMesh(&records[0], "xfile/patch.x", -1); });
    loader.join();
    ASSERT_EQ(loaded, 1);

    const float lookDown[16] = {1, 0, 0, 0, 0, 0, 0.5f, 0, 0, 1, 0, 0, 0, 0, 0.5f, 1};   // (x, y, z) -> (x, z, y/2 + 0.5)
    gGfxDevice->setTransform(GFX_TS_WORLD, lookDown);
    gGfxDevice->setRenderState(GFX_RS_LIGHTING, 0);
    gGfxDevice->setRenderState(GFX_RS_CULLMODE, GFX_CULL_NONE);
    gGfxDevice->clear(GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    gGfxDevice->beginScene();
    drawMeshSubset(records[0], 0);
    gGfxDevice->endScene();
    std::vector<uint32_t> pixels(64 * 48);
    ASSERT_TRUE(gGfxDevice->readBackBuffer(pixels.data(), 64, 48));
    EXPECT_EQ(pixels[24 * 64 + 32] | 0xFF000000u, 0xFF20C040u) << "the centre";
    EXPECT_EQ(pixels[2 * 64 + 2] | 0xFF000000u, 0xFF000000u) << "outside the half-size square";
}
