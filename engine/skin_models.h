// engine/skin_models.h: skinned, animated .x models (enemies, the chest and
// the door of the dungeon floors). A model is loaded once into a tree of
// frames with mesh containers and animations (skin_model_loading.cpp); each
// drawn frame the caller sets its orientation and placement, hands it the
// times of its animations, lets it compute the frames' matrices and export
// up to ten named bones, and draws it.
//
// Loading runs on a loader thread and keeps everything on the CPU (device
// buffers and textures upload at first use); advancing, updating and drawing
// run on the main thread. The pose and the bone exports are computed here on
// the CPU, so a headless run exports the same attach points; only the
// vertices are skinned by the device's skinning program.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/math.h"
#include "platform/gfx.h"

constexpr int32_t ENEMY_MODEL_COUNT = 20;
constexpr int32_t FIELD_MODEL_COUNT = 4;    // 2: the chest, 3: the door
constexpr int32_t SPARE_MODEL_COUNT = 6;
constexpr int32_t MODEL_PATH_SIZE = 260;
constexpr int32_t MODEL_NAME_SIZE = 64;
constexpr int32_t MODEL_TEXTURE_FOLDER_SIZE = 256;
constexpr int32_t MODEL_EXPORT_BONES = 10;
constexpr int32_t MODEL_ANIMATION_TIMES = 100;
constexpr int32_t MODEL_PALETTE_MAX = GFX_SKIN_PALETTE_MAX;   // bones one draw may use
constexpr int32_t MODEL_BONES_PER_VERTEX_MAX = 4;

// How a container's drawable mesh was built: 3 palette skinning in the
// device's skinning program, 4 not built.
constexpr int32_t SKIN_METHOD_INDEXED = 3;
constexpr int32_t SKIN_METHOD_NONE = 4;

// Load results, in the codes the model loader reports.
constexpr int32_t SKIN_LOAD_OK = 0;
constexpr int32_t SKIN_LOAD_FAILED = (int32_t)0x80004005;          // empty path, unreadable file
constexpr int32_t SKIN_LOAD_OUT_OF_MEMORY = (int32_t)0x8007000E;
constexpr int32_t SKIN_LOAD_BAD_ARGUMENT = (int32_t)0x80070057;    // a malformed animation
constexpr int32_t SKIN_LOAD_BAD_FILE = (int32_t)0x8876F000;        // our .x reader refused the file

// Times are in ticks of 1/4800 s.
struct VectorKey {     // position and scale
    uint32_t time;
    float x, y, z;
};
struct RotationKey {
    uint32_t time;
    float x, y, z, w;
};
struct MatrixKey {
    uint32_t time;
    float m[16];
};

// The triangles of one draw: one material, at most MODEL_PALETTE_MAX bones.
struct BoneCombination {
    int32_t material;
    int32_t bones[MODEL_PALETTE_MAX];   // palette entry k: a bone id, -1 unused
    int32_t vertexStart;
    int32_t vertexCount;
    int32_t faceStart;
    int32_t faceCount;
};

// One vertex of a skinned mesh as the file gives it, before the split.
struct SkinSourceVertex {
    GfxSkinVertex vertex;                          // weights and indices unused
    int32_t bones[MODEL_BONES_PER_VERTEX_MAX];     // bone ids, -1 unused
    float weights[MODEL_BONES_PER_VERTEX_MAX];     // largest first, summing to 1
};

// A mesh of a frame. Links between frames and containers are indices.
struct ModelMeshContainer {
    // The drawable mesh: device buffers (GfxSkinVertex for a skinned mesh,
    // MeshVertex otherwise) and its draws.
    GfxBuffer* vertices = nullptr;
    GfxBuffer* indices = nullptr;
    std::vector<GfxMaterial> materials;
    std::vector<GfxTexture*> textures;               // one per material; null without
    int32_t combinationCount = 0;                    // a mesh without bones: its material count
    int32_t materialCount = 0;
    int32_t next = -1;                               // the frame's next container
    char name[MODEL_NAME_SIZE] = {};
    // The skin mesh: what the drawable mesh is built from; empty without bones.
    int32_t skinned = 0;
    std::vector<SkinSourceVertex> skinVertices;
    std::vector<uint32_t> skinTriangles;             // three vertex indices each
    std::vector<int32_t> skinTriangleMaterials;
    std::vector<int32_t> boneFrames;                 // per bone: the frame whose combined matrix moves it; -1 none
    std::vector<std::array<char, MODEL_NAME_SIZE>> boneNames;
    std::vector<Matrix4> boneOffsets;
    int32_t bonesPerVertex = 1;
    std::vector<BoneCombination> combinations;
    int32_t builtMethod = SKIN_METHOD_NONE;
    int32_t paletteSize = 0;
    // Per material of a mesh without bones: its run of the index buffer.
    std::vector<int32_t> subsetStarts;
    std::vector<int32_t> subsetCounts;
};

// Frames, animation sets and animations share this record.
struct ModelFrame {
    int32_t firstContainer = -1;
    Matrix4 local = matrixIdentity();
    Matrix4 adjustment = matrixIdentity();   // the root's: the placement matrix
    Matrix4 initial = matrixIdentity();      // local as loaded
    Matrix4 combined = matrixIdentity();
    std::vector<VectorKey> positionKeys;
    std::vector<RotationKey> rotationKeys;
    std::vector<VectorKey> scaleKeys;
    std::vector<MatrixKey> matrixKeys;
    int32_t nextAnimation = -1;   // the model-wide list
    int32_t target = -1;          // an animation's frame
    int32_t sibling = -1;
    int32_t firstChild = -1;
    uint8_t animation = 0;        // set on animation sets and animations
    char name[MODEL_NAME_SIZE] = {};
};

struct SkinModelData {
    char path[MODEL_PATH_SIZE] = {};
    std::vector<ModelFrame> frames;                 // 0 is the root, above the file's frames
    std::vector<ModelMeshContainer> containers;
    int32_t firstAnimation = -1;
    Vector3 center = {0.0f, 0.0f, 0.0f};
    float radius = 1.0f;
    float animationTimes[MODEL_ANIMATION_TIMES] = {};
    Matrix4 projection = matrixIdentity();          // the one at load
};

struct SkinModel {
    char path[MODEL_PATH_SIZE] = {};
    GfxDevice* device = nullptr;
    uint32_t baseTime = 0;
    std::unique_ptr<SkinModelData> data;            // null while nothing is loaded
    int32_t maxBones = 0;
    int32_t method = SKIN_METHOD_INDEXED;
    Matrix4 orientation = matrixIdentity();
    Matrix4 placement = matrixIdentity();
    int32_t whiteMaterials = 0;
    int32_t shaderSet = 0;                          // 0 unlit, 1 lit
    // The states a load on a loader thread sets, which must not touch the
    // device: they wait for the loader's end (engine/skin_model_states.h).
    int32_t statesPending = 0;
};

extern SkinModel gEnemyModels[ENEMY_MODEL_COUNT];
extern SkinModel gFieldModels[FIELD_MODEL_COUNT];
extern SkinModel gSpareModels[SPARE_MODEL_COUNT];

struct SkinModelState {
    char modelTextureFolder[MODEL_TEXTURE_FOLDER_SIZE];   // of the model being loaded
    void* boneExportTarget;                               // null: no export
};
extern SkinModelState gSkinModelState;

void constructSkinModel(SkinModel* model);
void attachModelDevice(SkinModel* model, uint32_t baseTime, GfxDevice* device);
// skin_model_loading.cpp. Returns SKIN_LOAD_OK or a failure code; a failed
// load keeps the previous data and shows nothing.
int32_t loadSkinModel(SkinModel* model, const char* path, int32_t whiteMaterials, int32_t shaderSet);
void releaseSkinModel(SkinModel* model);
// times and times2: one millisecond time per animation in list order (the
// first MODEL_ANIMATION_TIMES; later animations use the last entry).
void advanceModelAnimations(SkinModel* model, const uint32_t* times, const uint32_t* times2, float blend);
void setBoneExportTarget(void* record);
// Sets the view transform, computes the combined matrices and exports the
// bones the model table row of modelNumber names; 0, or a negative code.
int32_t updateModelFrames(SkinModel* model, int32_t modelNumber);
int32_t drawSkinModel(SkinModel* model);
// Builds a skinned container's drawable mesh for palette skinning: its
// triangles split into bone combinations of at most MODEL_PALETTE_MAX bones,
// each with its own run of vertices. The old buffers are released first.
// False when the device gives no buffers. Any thread (buffers upload later).
bool buildSkinnedDrawable(GfxDevice* device, ModelMeshContainer* container);

// Interpolates one animation's keys at (t1, t2, blend) into *local; false
// when it has no keys and leaves *local alone. Pure.
bool interpolateAnimation(const ModelFrame& animation, float t1, float t2, float blend, const Matrix4& targetInitial,
                          Matrix4* local);
// The combined matrices of the tree below frame, parent given; pure but
// for the frames it writes.
void combineModelFrames(SkinModelData* data, int32_t frame, const Matrix4& parent);
// The frame of that exact name in the tree, or -1.
int32_t findModelFrame(const SkinModelData& data, const char* name);

// Frees every model's data (not its device objects: the device they were
// made on may be gone) and constructs them anew; no export target.
void resetSkinModels();
