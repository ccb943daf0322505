// Skinned models: the frame tree built in the order the file is read, the
// bone-palette split, malformed animations refused with the old model kept,
// the texture folder, the key interpolation with its wrap and blend, the
// bone export, and the GPU-skinned drawing read back against the same pose
// skinned on the CPU, loaded on a loader thread.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "engine/device.h"
#include "engine/engine_state.h"
#include "engine/loaders.h"
#include "engine/scene_hooks.h"
#include "engine/skin_models.h"
#include "engine/stage_index.h"
#include "engine/state_snapshot.h"
#include "platform/thread.h"
#include "platform/window.h"
#include "tests/engine/device_scope.h"
#include "tests/temp_folder.h"
#include "tools/model_shapes.h"
#include "tools/skinned_shapes.h"
#include "tools/xfile_writer.h"

using namespace skinned_shapes;

namespace {

// Models drawn by the tests carry no texture: no archive is open.
XFileScene untextured(XFileScene scene) {
    for (XFileMesh& mesh : scene.meshes)
        for (XFileMaterial& material : mesh.materials) material.texture[0] = 0;
    return scene;
}

// A row of `bones` boxes along x, box k following frame "b<k>".
XFileScene boneRow(int32_t bones, const char* prefix, XFileScene scene = {}) {
    int32_t top = addFrame(scene, prefix, -1);
    XFileMesh mesh = shapeMesh(prefix, top);
    mesh.materials = {shapeMaterial("row", 1, 1, 1)};
    for (int32_t k = 0; k < bones; ++k) {
        char name[16];
        snprintf(name, sizeof name, "%s%d", prefix, k);
        int32_t frame = addFrame(scene, name, top, 4.0f * (float)k, 0.0f, 0.0f);
        const float lo[3] = {0, 0, 0}, hi[3] = {2, 2, 2};
        addBoneBox(mesh, scene, frame, lo, hi, 0);
    }
    scene.meshes.push_back(mesh);
    return scene;
}

std::vector<std::string> childNames(const SkinModelData& data, int32_t frame) {
    std::vector<std::string> names;
    for (int32_t c = data.frames[(size_t)frame].firstChild; c >= 0; c = data.frames[(size_t)c].sibling)
        names.push_back(data.frames[(size_t)c].name);
    return names;
}

}  // namespace

// A temporary game folder as the working directory, message boxes recorded,
// a device of the chosen backend and a fresh model attached to it.
class SkinModelFolder : public ::testing::Test {
protected:
    explicit SkinModelFolder(const GfxBackend* backend = &GFX_RECORDING) : backend(backend) {}
    void SetUp() override {
        ASSERT_TRUE(device.open(backend, 160, 120));
        resetSkinModels();
        gCamera.fov = 45.0f;
        attachModelDevice(&model, 0, gGfxDevice);
    }
    void TearDown() override {
        releaseSkinModel(&model);
        resetSkinModels();
        gSceneHooks.modelPartName = nullptr;
        gSceneHooks.exportModelBone = nullptr;
        device.close();
    }
    void writeModel(const std::string& path, const XFileScene& scene) { folder.write(path, xfileWriteText(scene)); }
    int32_t load(const XFileScene& scene, int32_t white = 0, int32_t shaderSet = 0) {
        writeModel("xfile/model.x", scene);
        return loadSkinModel(&model, "xfile/model.x", white, shaderSet);
    }

    const GfxBackend* backend;
    TempFolder folder{"skin"};
    WorkingDirectory inFolder{folder.path()};
    SkinModel model;
    DeviceScope device;
};

class SkinModelLoading : public SkinModelFolder {};

TEST_F(SkinModelLoading, ChildFramesFollowTheFirstChildInReverseAndAnimationsRunBackwards) {
    XFileScene scene = {};
    int32_t top = addFrame(scene, "top", -1);
    addFrame(scene, "first", top);
    addFrame(scene, "second", top);
    addFrame(scene, "third", top);
    int32_t set = addAnimationSet(scene, "set");
    for (const char* name : {"a1", "a2", "a3"}) addKeys(addAnimation(scene, set, name, "second"), 2, {0, 10}, {0, 0, 0, 1, 1, 1});
    ASSERT_EQ(load(scene), SKIN_LOAD_OK);
    const SkinModelData& data = *model.data;
    EXPECT_EQ(childNames(data, 0), (std::vector<std::string>{"top", "set"}));
    EXPECT_EQ(childNames(data, findModelFrame(data, "top")), (std::vector<std::string>{"first", "third", "second"}));
    std::vector<std::string> list;
    for (int32_t a = data.firstAnimation; a >= 0; a = data.frames[(size_t)a].nextAnimation) {
        list.push_back(data.frames[(size_t)a].name);
        EXPECT_EQ(data.frames[(size_t)a].target, findModelFrame(data, "second"));
        EXPECT_EQ(data.frames[(size_t)a].animation, 1);
    }
    EXPECT_EQ(list, (std::vector<std::string>{"a3", "a2", "a1"}));
}

TEST_F(SkinModelLoading, PalettesHoldAtMost28BonesAndTheLargestBoneCountIsKept) {
    XFileScene scene = boneRow(35, "q", boneRow(20, "p"));
    ASSERT_EQ(load(scene), SKIN_LOAD_OK);
    EXPECT_EQ(model.maxBones, 35);
    int32_t meshes = 0;
    for (const ModelMeshContainer& c : model.data->containers) {
        ++meshes;
        ASSERT_TRUE(c.skinned);
        EXPECT_EQ(c.builtMethod, SKIN_METHOD_INDEXED);
        EXPECT_EQ(c.paletteSize, c.boneOffsets.size() < 28 ? (int32_t)c.boneOffsets.size() : 28);
        EXPECT_EQ(c.bonesPerVertex, 1);
        // Every triangle drawn once, each by a combination whose palette holds its bones.
        int32_t faces = 0;
        std::set<int32_t> bones;
        for (const BoneCombination& combination : c.combinations) {
            EXPECT_EQ(combination.faceStart, faces);
            faces += combination.faceCount;
            for (int32_t bone : combination.bones) {
                if (bone >= 0) {
                    EXPECT_TRUE(bones.insert(bone).second) << "bone " << bone << " in two palettes";
                }
            }
        }
        EXPECT_EQ(faces, (int32_t)c.skinTriangles.size() / 3);
        EXPECT_EQ(bones.size(), c.boneOffsets.size());
        EXPECT_EQ(c.combinations.size(), c.boneOffsets.size() > 28 ? 2u : 1u);
        for (size_t b = 0; b < c.boneFrames.size(); ++b)
            EXPECT_EQ(c.boneFrames[b], findModelFrame(*model.data, c.boneNames[b].data())) << "bone " << b;
    }
    EXPECT_EQ(meshes, 2);
}

struct AnimationCase {
    const char* what;
    int32_t want;
    void (*change)(XFileScene& scene);
};
const AnimationCase ANIMATION_CASES[] = {
    {"a reference to a frame of the file", SKIN_LOAD_OK, [](XFileScene&) {}},
    {"a reference to a frame the file lacks", SKIN_LOAD_BAD_ARGUMENT,
     [](XFileScene& s) { snprintf(s.animations[0].references[0].name, XFILE_NAME_SIZE, "nobody"); }},
    {"two frame references", SKIN_LOAD_BAD_ARGUMENT,
     [](XFileScene& s) { s.animations[0].references.push_back(s.animations[0].references[0]); }},
    {"a reference to a mesh is passed over", SKIN_LOAD_OK,
     [](XFileScene& s) { s.animations[0].references.push_back(XFileReference{"takarabako_mesh", 0}); }},
    {"a second array of rotation keys", SKIN_LOAD_BAD_ARGUMENT,
     [](XFileScene& s) { s.animations[0].keys.push_back(s.animations[0].keys[0]); }},
    {"key type 3", SKIN_LOAD_BAD_ARGUMENT, [](XFileScene& s) { s.animations[0].keys[0].keyType = 3; }},
    {"rotation keys of three values", SKIN_LOAD_BAD_ARGUMENT,
     [](XFileScene& s) { addKeys(s.animations[0], 0, {0}, {1, 0, 0}); s.animations[0].keys.erase(s.animations[0].keys.begin()); }},
    {"a mesh without vertices is passed over", SKIN_LOAD_OK,
     [](XFileScene& s) { s.meshes.insert(s.meshes.begin(), shapeMesh("empty", 0)); }},
};

TEST_F(SkinModelLoading, MalformedAnimationsFailAndKeepThePreviousModel) {
    ASSERT_EQ(load(untextured(doorScene())), SKIN_LOAD_OK);
    const SkinModelData* door = model.data.get();
    for (const AnimationCase& c : ANIMATION_CASES) {
        XFileScene scene = untextured(chestScene());
        c.change(scene);
        int32_t result = load(scene);
        EXPECT_EQ(result, c.want) << c.what;
        if (result == SKIN_LOAD_OK) {
            EXPECT_EQ(model.data->containers.size(), 1u) << c.what;
            EXPECT_GE(findModelFrame(*model.data, "futa"), 0) << c.what;
        } else {
            EXPECT_EQ(model.data.get(), door) << c.what << ": the previous model stays";
        }
        if (result == SKIN_LOAD_OK) {
            releaseSkinModel(&model);
            ASSERT_EQ(load(untextured(doorScene())), SKIN_LOAD_OK);
            door = model.data.get();
        }
    }
    EXPECT_EQ(gHeadlessMessageBoxes.total, 0) << "a failed load shows nothing";
}

TEST_F(SkinModelLoading, DamagedOrMissingFilesAndBadPathsFail) {
    std::string text = xfileWriteText(untextured(chestScene()));
    folder.write("xfile/cut.x", text.substr(0, text.size() / 2));
    EXPECT_EQ(loadSkinModel(&model, "xfile/cut.x", 0, 0), SKIN_LOAD_BAD_FILE);
    EXPECT_EQ(loadSkinModel(&model, "xfile/none.x", 0, 0), SKIN_LOAD_FAILED);
    EXPECT_EQ(loadSkinModel(&model, "x", 0, 0), SKIN_LOAD_FAILED);
    EXPECT_EQ(loadSkinModel(&model, std::string(300, 'a').c_str(), 0, 0), SKIN_LOAD_FAILED);
    EXPECT_EQ(model.data, nullptr);
}

TEST_F(SkinModelLoading, TheTextureFolderIsTheDirectoryOfThePath) {
    const struct {
        const char* path;
        const char* folder;
    } CASES[] = {
        {"xfile/tree/obj_door.x", "xfile/tree/"},
        {"obj_door.x", ""},   // a model at the top: its textures by their own names
        {"xfile2\\kani\\kani01.x", "xfile2\\kani\\"},
    };
    for (const auto& c : CASES) {
        loadSkinModel(&model, c.path, 0, 0);
        EXPECT_STREQ(gSkinModelState.modelTextureFolder, c.folder) << c.path;
    }
}

TEST_F(SkinModelLoading, TheRootIsShiftedByTheBoundingSpheresCentre) {
    // One unskinned box from (2, 4, 6) to (4, 8, 10) in a frame moved by (10, 0, 0).
    XFileScene scene = {};
    int32_t frame = addFrame(scene, "moved", -1, 10.0f, 0.0f, 0.0f);
    XFileMesh mesh = shapeMesh("box", frame);
    const float lo[3] = {2, 4, 6}, hi[3] = {4, 8, 10};
    addBox(mesh, lo, hi, 0);
    scene.meshes.push_back(mesh);
    ASSERT_EQ(load(scene), SKIN_LOAD_OK);
    const SkinModelData& data = *model.data;
    EXPECT_FLOAT_EQ(data.center.x, 13.0f);
    EXPECT_FLOAT_EQ(data.center.y, 6.0f);
    EXPECT_FLOAT_EQ(data.center.z, 8.0f);
    EXPECT_NEAR(data.radius, std::sqrt(1.0f + 4.0f + 4.0f), 1e-5f);
    EXPECT_FLOAT_EQ(data.frames[0].local.m[12], -13.0f);
    EXPECT_FLOAT_EQ(data.frames[0].initial.m[14], -8.0f);
    EXPECT_FALSE(data.containers[0].skinned);
    EXPECT_EQ(data.containers[0].combinationCount, 1);
}

namespace {

ModelFrame positionKeys(std::vector<uint32_t> times, std::vector<float> xs) {
    ModelFrame animation;
    for (size_t k = 0; k < times.size(); ++k) animation.positionKeys.push_back(VectorKey{times[k], xs[k], 0.0f, 0.0f});
    return animation;
}

}  // namespace

TEST(Animation, MillisecondsBecomeTicksThatWrapOnTheLastKey) {
    const struct {
        uint32_t ms;
        float x;
    } CASES[] = {{9600, 10080.0f}, {8000, 2400.0f}, {0, 0.0f}};
    for (const auto& c : CASES) {
        SkinModel model;
        model.data.reset(new SkinModelData());
        model.data->frames.resize(3);
        model.data->frames[1] = positionKeys({0, 36000}, {0.0f, 36000.0f});
        model.data->frames[1].target = 2;
        model.data->firstAnimation = 1;
        uint32_t times[1] = {c.ms};
        advanceModelAnimations(&model, times, times, 0.0f);
        EXPECT_FLOAT_EQ(model.data->frames[2].local.m[12], c.x) << c.ms << " ms";
        EXPECT_FLOAT_EQ(model.data->animationTimes[0], (float)c.ms * 4.8f) << c.ms << " ms";
    }
}

TEST(Animation, MatrixKeysTakeTheLaterKeyOnlyAboveHalfWay) {
    ModelFrame animation;
    MatrixKey a = {0, {}}, b = {100, {}}, end = {200, {}};
    a.m[0] = 1.0f;
    b.m[0] = 2.0f;
    end.m[0] = 3.0f;
    animation.matrixKeys = {a, b, end};
    const struct {
        float t;
        float want;
    } CASES[] = {{50.0f, 1.0f}, {50.01f, 2.0f}, {0.0f, 1.0f}, {150.0f, 2.0f}, {151.0f, 3.0f}, {250.0f, 1.0f}};
    for (const auto& c : CASES) {
        Matrix4 local = matrixIdentity();
        ASSERT_TRUE(interpolateAnimation(animation, c.t, 999.0f, 0.7f, matrixIdentity(), &local));
        EXPECT_EQ(local.m[0], c.want) << "t " << c.t << ": the second time and the blend do not count";
    }
}

TEST(Animation, BlendZeroFollowsTheFirstTimesAndOneTheSecond) {
    ModelFrame animation = positionKeys({0, 100}, {0.0f, 100.0f});
    for (float angle : {0.0f, 1.0f}) {
        std::vector<float> q = rotationKey(0, 1, 0, angle);
        animation.rotationKeys.push_back(RotationKey{angle == 0.0f ? 0u : 100u, q[1], q[2], q[3], q[0]});
    }
    auto pose = [&](float t1, float t2, float blend) {
        Matrix4 m = matrixIdentity();
        interpolateAnimation(animation, t1, t2, blend, matrixIdentity(), &m);
        return m;
    };
    Matrix4 first = pose(30.0f, 30.0f, 0.0f);
    Matrix4 second = pose(70.0f, 70.0f, 0.0f);
    Matrix4 zero = pose(30.0f, 70.0f, 0.0f);
    Matrix4 one = pose(30.0f, 70.0f, 1.0f);
    Matrix4 half = pose(30.0f, 70.0f, 0.5f);
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(zero.m[i], first.m[i], 1e-5f) << "element " << i;
        EXPECT_NEAR(one.m[i], second.m[i], 1e-5f) << "element " << i;
    }
    EXPECT_FLOAT_EQ(half.m[12], 50.0f) << "positions mix linearly";
    EXPECT_FLOAT_EQ(first.m[12], 30.0f);
}

TEST(Animation, WithoutPositionKeysTheFrameKeepsItsRestTranslation) {
    ModelFrame animation;
    animation.scaleKeys = {VectorKey{0, 2.0f, 2.0f, 2.0f}};
    Matrix4 local = matrixIdentity();
    ASSERT_TRUE(interpolateAnimation(animation, 10.0f, 10.0f, 0.0f, matrixTranslation(1.0f, 2.0f, 3.0f), &local));
    EXPECT_FLOAT_EQ(local.m[0], 2.0f);
    EXPECT_FLOAT_EQ(local.m[12], 1.0f);
    EXPECT_FLOAT_EQ(local.m[13], 2.0f);
    EXPECT_FLOAT_EQ(local.m[14], 3.0f);
    ModelFrame none;
    EXPECT_FALSE(interpolateAnimation(none, 10.0f, 10.0f, 0.0f, matrixIdentity(), &local)) << "no keys: left alone";
}

namespace {

struct ExportRecord {
    int32_t written[MODEL_EXPORT_BONES];
    Matrix4 matrices[MODEL_EXPORT_BONES];
};

const char* crabParts(int32_t modelNumber, int32_t bone) {
    if (modelNumber != 10) return nullptr;
    if (bone == 0) return "eye";
    if (bone == 3) return "tail";   // the crab has none
    if (bone == 4) return "Claw_l";  // names compare with case
    return nullptr;
}

void recordBone(void* target, int32_t bone, const Matrix4& combined) {
    ExportRecord* record = static_cast<ExportRecord*>(target);
    record->written[bone] += 1;
    record->matrices[bone] = combined;
}

}  // namespace

TEST_F(SkinModelLoading, UpdateExportsTheNamedBonesThatExist) {
    ASSERT_EQ(load(untextured(crabScene())), SKIN_LOAD_OK);
    gSceneHooks.modelPartName = crabParts;
    gSceneHooks.exportModelBone = recordBone;
    model.placement = matrixTranslation(100.0f, 0.0f, 0.0f);
    ExportRecord record = {};
    setBoneExportTarget(&record);
    uint32_t times[MODEL_ANIMATION_TIMES] = {};
    advanceModelAnimations(&model, times, times, 0.0f);
    ASSERT_EQ(updateModelFrames(&model, 10), 0);
    EXPECT_EQ(record.written[0], 1);
    // The eye rests at body (0, 20, 0) + (0, 15, -10); the placement adds 100 in x.
    EXPECT_NEAR(record.matrices[0].m[12], 100.0f, 1e-4f);
    EXPECT_NEAR(record.matrices[0].m[13], 35.0f, 1e-4f);
    EXPECT_NEAR(record.matrices[0].m[14], -10.0f, 1e-4f);
    for (int32_t k = 1; k < MODEL_EXPORT_BONES; ++k) EXPECT_EQ(record.written[k], 0) << "bone " << k;

    setBoneExportTarget(nullptr);
    ASSERT_EQ(updateModelFrames(&model, 10), 0);
    EXPECT_EQ(record.written[0], 1) << "no target: nothing written";
}

// The headless OpenGL device.
class SkinModelDrawing : public SkinModelFolder {
protected:
    SkinModelDrawing() : SkinModelFolder(&GFX_HEADLESS) {}

    // Mask of the pixels drawn over a black clear.
    std::vector<uint8_t> covered() {
        std::vector<uint32_t> pixels(160 * 120);
        EXPECT_TRUE(gGfxDevice->readBackBuffer(pixels.data(), 160, 120));
        std::vector<uint8_t> mask(pixels.size());
        for (size_t i = 0; i < pixels.size(); ++i) mask[i] = (pixels[i] & 0x00FFFFFFu) != 0;
        return mask;
    }
    void plainStates() {
        gGfxDevice->setRenderState(GFX_RS_ALPHABLENDENABLE, 0);
        gGfxDevice->setRenderState(GFX_RS_ALPHATESTENABLE, 0);
        gGfxDevice->setRenderState(GFX_RS_CULLMODE, GFX_CULL_NONE);
        gGfxDevice->setRenderState(GFX_RS_LIGHTING, 0);
        gGfxDevice->setRenderState(GFX_RS_ZENABLE, 1);
    }
    void frame(void (*draw)(SkinModel*), SkinModel* m) {
        gGfxDevice->clear(GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        gGfxDevice->beginScene();
        draw(m);
        gGfxDevice->endScene();
    }
};

namespace {

// The model's triangles skinned here, drawn white by the fixed pipeline.
void drawCpuSkinned(SkinModel* model) {
    const SkinModelData& data = *model->data;
    struct CpuVertex {
        float x, y, z;
        uint32_t colour;
    };
    std::vector<CpuVertex> vertices;
    for (const ModelMeshContainer& c : data.containers) {
        if (!c.skinned) continue;
        for (uint32_t corner : c.skinTriangles) {
            const SkinSourceVertex& v = c.skinVertices[corner];
            Vector3 p = {0.0f, 0.0f, 0.0f};
            for (int32_t k = 0; k < MODEL_BONES_PER_VERTEX_MAX; ++k) {
                if (v.bones[k] < 0) continue;
                Matrix4 bone = matrixMultiply(c.boneOffsets[(size_t)v.bones[k]],
                                              data.frames[(size_t)c.boneFrames[(size_t)v.bones[k]]].combined);
                p = vec3Add(p, vec3Scale(vec3TransformCoord(Vector3{v.vertex.x, v.vertex.y, v.vertex.z}, bone), v.weights[k]));
            }
            vertices.push_back(CpuVertex{p.x, p.y, p.z, 0xFFFFFFFFu});
        }
    }
    Matrix4 identity = matrixIdentity();
    gGfxDevice->setTransform(GFX_TS_WORLD, identity.m);
    gGfxDevice->setTransform(GFX_TS_VIEW, gCamera.view.m);
    gGfxDevice->setTransform(GFX_TS_PROJECTION, data.projection.m);
    gGfxDevice->setVertexFormat(GFX_FVF_XYZ | GFX_FVF_DIFFUSE);
    gGfxDevice->drawPrimitiveUP(GFX_PT_TRIANGLELIST, (int32_t)(vertices.size() / 3), vertices.data(),
                                 (int32_t)sizeof(CpuVertex));
}

void drawModel(SkinModel* model) { drawSkinModel(model); }

// Pixels of a that no pixel of b within one pixel covers.
int32_t uncovered(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    int32_t missing = 0;
    for (int32_t y = 0; y < 120; ++y)
        for (int32_t x = 0; x < 160; ++x) {
            if (!a[(size_t)y * 160 + x]) continue;
            bool near = false;
            for (int32_t dy = -1; dy <= 1; ++dy)
                for (int32_t dx = -1; dx <= 1; ++dx) {
                    int32_t nx = x + dx, ny = y + dy;
                    if (nx >= 0 && ny >= 0 && nx < 160 && ny < 120 && b[(size_t)ny * 160 + nx]) near = true;
                }
            missing += !near;
        }
    return missing;
}

}  // namespace

TEST_F(SkinModelDrawing, TheGpuSkinnedCrabCoversTheCpuSkinnedPixels) {
    XFileScene crab = untextured(crabScene());
    // Vertices that share two bones, so the weights matter: the claws' inner
    // ends lean half on the body.
    XFileMesh& mesh = crab.meshes[0];
    ASSERT_STREQ(mesh.skin[0].bone, "body");
    ASSERT_STREQ(mesh.skin[1].bone, "claw_l");
    for (size_t i = 0; i < mesh.skin[1].vertices.size(); i += 2) {
        mesh.skin[1].weights[i] = 0.5f;
        mesh.skin[0].vertices.push_back(mesh.skin[1].vertices[i]);
        mesh.skin[0].weights.push_back(0.5f);
    }
    gCamera.eye = {60.0f, 90.0f, -160.0f};
    gCamera.target = {0.0f, 20.0f, 0.0f};
    buildRolledViewMatrix();
    ASSERT_EQ(load(crab), SKIN_LOAD_OK);
    EXPECT_EQ(model.data->containers[0].bonesPerVertex, 2);
    model.orientation = matrixRotationY(0.4f);
    uint32_t times[MODEL_ANIMATION_TIMES];
    for (uint32_t& t : times) t = 300;   // 1,440 ticks: claws turned, body raised
    advanceModelAnimations(&model, times, times, 0.0f);
    updateModelFrames(&model, 0);
    frame(drawModel, &model);   // the load's states, then plain ones for the comparison
    plainStates();
    frame(drawModel, &model);
    std::vector<uint8_t> gpu = covered();
    frame(drawCpuSkinned, &model);
    std::vector<uint8_t> cpu = covered();
    int32_t drawn = 0;
    for (uint8_t c : cpu) drawn += c;
    EXPECT_GT(drawn, 500) << "the crab is in view";
    EXPECT_EQ(uncovered(cpu, gpu), 0) << "CPU pixels the GPU missed";
    EXPECT_EQ(uncovered(gpu, cpu), 0) << "GPU pixels the CPU did not draw";
}

// The skinning programs fog as the fixed pipeline does: a door about 150
// units ahead, under black fog whose start equals its end, is all fog when
// the end lies nearer and clear when it lies beyond.
TEST_F(SkinModelDrawing, FogWithStartAtItsEndFogsWhatLiesBeyond) {
    gCamera.eye = {0.0f, 30.0f, -150.0f};
    gCamera.target = {0.0f, 30.0f, 0.0f};
    buildRolledViewMatrix();
    ASSERT_EQ(load(untextured(doorScene()), 0, 0), SKIN_LOAD_OK);
    updateModelFrames(&model, 0);
    plainStates();
    gGfxDevice->setRenderState(GFX_RS_FOGENABLE, 1);
    gGfxDevice->setRenderState(GFX_RS_FOGVERTEXMODE, GFX_FOG_LINEAR);
    gGfxDevice->setRenderState(GFX_RS_FOGCOLOR, 0xFF000000);
    for (float end : {100.0f, 200.0f}) {
        uint32_t bits = 0;
        memcpy(&bits, &end, sizeof bits);
        gGfxDevice->setRenderState(GFX_RS_FOGSTART, bits);
        gGfxDevice->setRenderState(GFX_RS_FOGEND, bits);
        gGfxDevice->clear(GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, 0xFF0000FF, 1.0f, 0);
        gGfxDevice->beginScene();
        drawModel(&model);
        gGfxDevice->endScene();
        std::vector<uint32_t> pixels(160 * 120);
        ASSERT_TRUE(gGfxDevice->readBackBuffer(pixels.data(), 160, 120));
        EXPECT_EQ(pixels[60 * 160 + 80] & 0xFFFFFFu, end < 150.0f ? 0x000000u : 0xFFFFFFu) << "fog end " << end;
    }
}

TEST_F(SkinModelDrawing, LightingFollowsTheViewAxisAndUnlitKeepsTheVertexColour) {
    // A door seen head on: its faces toward the camera get ambient x 0.25 +
    // diffuse; the unlit set keeps the white vertex colour.
    gCamera.eye = {0.0f, 30.0f, -150.0f};
    gCamera.target = {0.0f, 30.0f, 0.0f};
    buildRolledViewMatrix();
    XFileScene door = untextured(doorScene());
    door.meshes[0].materials[0] = shapeMaterial("grey", 0.5f, 0.25f, 0.75f);
    for (int32_t set : {0, 1}) {
        ASSERT_EQ(load(door, 0, set), SKIN_LOAD_OK);
        model.data->containers[0].materials[0].ambient = {0.8f, 0.8f, 0.8f, 1.0f};
        updateModelFrames(&model, 0);
        frame(drawModel, &model);
        plainStates();
        frame(drawModel, &model);
        std::vector<uint32_t> pixels(160 * 120);
        ASSERT_TRUE(gGfxDevice->readBackBuffer(pixels.data(), 160, 120));
        uint32_t centre = pixels[60 * 160 + 80];
        // Lit: min(1, 0.2 + diffuse x 1) per channel.
        uint32_t want = set == 0 ? 0xFFFFFFu : (0xB2u << 16 | 0x72u << 8 | 0xF2u);
        for (int shift : {0, 8, 16})
            EXPECT_NEAR((double)((centre >> shift) & 0xFF), (double)((want >> shift) & 0xFF), 2.0)
                << "set " << set << " channel " << shift;
    }
}

TEST_F(SkinModelDrawing, AModelLoadedOnALoaderThreadDrawsOnTheMainThread) {
    writeModel("xfile/tree/obj_door.x", untextured(doorScene()));
    gCamera.eye = {0.0f, 30.0f, -150.0f};
    gCamera.target = {0.0f, 30.0f, 0.0f};
    buildRolledViewMatrix();
    int32_t result = -1;
    std::thread loader([&] { result = loadSkinModel(&model, "xfile/tree/obj_door.x", 0, 1); });
    loader.join();
    ASSERT_EQ(result, SKIN_LOAD_OK);
    // Mirrored in x as the game draws its models, so the right-handed view
    // sees the file's clockwise faces from the front, through the load's
    // states (culling, alpha test and blending on).
    model.orientation = matrixScaling(-1.0f, 1.0f, 1.0f);
    uint32_t times[MODEL_ANIMATION_TIMES] = {500};
    advanceModelAnimations(&model, times, times, 0.0f);
    updateModelFrames(&model, 0);
    frame(drawModel, &model);
    std::vector<uint8_t> mask = covered();
    int32_t drawn = 0;
    for (uint8_t c : mask) drawn += c;
    EXPECT_GT(drawn, 200);
}

class SkinModelRecording : public SkinModelFolder {};

TEST_F(SkinModelRecording, TheProgramFollowsTheMostBonesOnAVertex) {
    // Four bones on one vertex take the fourth program; one bone the first.
    for (int32_t shared : {1, 4}) {
        XFileScene scene = boneRow(4, "r");
        XFileMesh& mesh = scene.meshes[0];
        for (int32_t k = 1; k < shared; ++k) {
            mesh.skin[(size_t)k].vertices.push_back(0);
            mesh.skin[(size_t)k].weights.push_back(0.25f);
        }
        ASSERT_EQ(load(scene, 0, 1), SKIN_LOAD_OK);
        updateModelFrames(&model, 0);
        gfxRecordClear();
        ASSERT_EQ(drawSkinModel(&model), 0);
        char line[32];
        snprintf(line, sizeof line, "setSkinProgram %d 1", shared);
        EXPECT_GE(gfxRecordFind(line, 0), 0) << shared << " bones";
        EXPECT_GE(gfxRecordFind("drawIndexedPrimitive 0 0 0 48", 0), 0) << "the four boxes in one draw";
    }
}

TEST_F(SkinModelRecording, TheLoadsStatesTakeEffectAtTheLoadersEndNotMidFrame) {
    writeModel("xfile/model.x", untextured(chestScene()));
    SkinModel& chest = gFieldModels[2];
    attachModelDevice(&chest, 0, gGfxDevice);
    void (*savedLoad)(int32_t) = gSceneHooks.loadWorld;
    gSceneHooks.loadWorld = [](int32_t) { loadSkinModel(&gFieldModels[2], "xfile/model.x", 1, 1); };
    // The world loader enters a stage the index holds.
    const int32_t savedStageCount = gStageCount;
    StateScope state{&ENGINE_STATE};
    gStageCount = 1;
    gStageIndex = 0;
    gfxRecordClear();
    startWorldLoader();
    waitForLoaderThread();
    EXPECT_EQ(gfxRecordFind("setRenderState", 0), -1) << "the loader thread sets no state";
    EXPECT_EQ(gfxRecordFind("setTransform", 0), -1);
    pollLoaderThread();
    gSceneHooks.loadWorld = savedLoad;
    gStageCount = savedStageCount;
    ASSERT_NE(chest.data, nullptr);
    EXPECT_GE(gfxRecordFind("setRenderState 4 1", 0), 0) << "alpha blending on";
    EXPECT_GE(gfxRecordFind("setRenderState 7 1", 0), 0) << "alpha test on";
    const float fov = 45.0f * 3.14159265f / 180.0f;
    float projection[16];
    gGfxDevice->getTransform(GFX_TS_PROJECTION, projection);
    EXPECT_FLOAT_EQ(projection[10], matrixPerspectiveFovRH(fov, 4.0f / 3.0f, 1.0f, 50000.0f).m[10])
        << "the load's far plane, set as the load ends";

    // The next frame's passes set their own far plane; the model leaves it.
    Matrix4 near = matrixPerspectiveFovRH(fov, 4.0f / 3.0f, 1.0f, 350.0f);
    gGfxDevice->setTransform(GFX_TS_PROJECTION, near.m);
    gfxRecordClear();
    ASSERT_EQ(updateModelFrames(&chest, 0), 0);
    ASSERT_EQ(drawSkinModel(&chest), 0);
    EXPECT_EQ(gfxRecordFind("setRenderState", 0), -1);
    gGfxDevice->getTransform(GFX_TS_PROJECTION, projection);
    EXPECT_FLOAT_EQ(projection[10], near.m[10]);
    // White materials: no diffuse colour, full ambient.
    const GfxMaterial& white = chest.data->containers[0].materials[0];
    EXPECT_EQ(white.diffuse.r + white.diffuse.g + white.diffuse.b, 0.0f);
    EXPECT_EQ(white.ambient.r + white.ambient.g + white.ambient.b, 3.0f);
}
