#include "engine/skin_models.h"

#include <cmath>
#include <cstring>

#include "engine/device.h"
#include "engine/meshes.h"
#include "engine/scene_hooks.h"
#include "engine/skin_model_states.h"

SkinModel gEnemyModels[ENEMY_MODEL_COUNT];
SkinModel gFieldModels[FIELD_MODEL_COUNT];
SkinModel gSpareModels[SPARE_MODEL_COUNT];
SkinModelState gSkinModelState;

void constructSkinModel(SkinModel* model) {
    model->path[0] = 0;
    model->device = nullptr;
    model->baseTime = 0;
    model->data.reset();
    model->maxBones = 0;
    model->method = SKIN_METHOD_INDEXED;
    model->orientation = matrixIdentity();
    model->placement = matrixIdentity();
    model->whiteMaterials = 0;
    model->shaderSet = 0;
    model->statesPending = 0;
}

void attachModelDevice(SkinModel* model, uint32_t baseTime, GfxDevice* device) {
    model->baseTime = baseTime;
    model->device = device;
}

void resetSkinModels() {
    for (SkinModel& model : gEnemyModels) constructSkinModel(&model);
    for (SkinModel& model : gFieldModels) constructSkinModel(&model);
    for (SkinModel& model : gSpareModels) constructSkinModel(&model);
    gSkinModelState = SkinModelState{};
}

void setBoneExportTarget(void* record) { gSkinModelState.boneExportTarget = record; }

namespace {

// k0, k1 and the fraction between them for time t: k1 is the first key
// later than t, k0 the one before; both 0 when k1 is the first or none is
// later.
template <typename Key>
void findKeySpan(const std::vector<Key>& keys, float t, int32_t* k0, int32_t* k1, float* f) {
    int32_t later = -1;
    for (int32_t k = 0; k < (int32_t)keys.size(); ++k)
        if ((float)keys[(size_t)k].time > t) {
            later = k;
            break;
        }
    *k0 = later > 0 ? later - 1 : 0;
    *k1 = later > 0 ? later : 0;
    float t0 = (float)keys[(size_t)*k0].time;
    float t1 = (float)keys[(size_t)*k1].time;
    *f = t0 == t1 ? 0.0f : (t - t0) / (t1 - t0);
}

template <typename Key>
float wrapTime(const std::vector<Key>& keys, float t) {
    return fmodf(t, (float)keys.back().time);
}

Vector3 vectorAt(const std::vector<VectorKey>& keys, float time) {
    int32_t k0, k1;
    float f;
    findKeySpan(keys, wrapTime(keys, time), &k0, &k1, &f);
    const VectorKey& a = keys[(size_t)k0];
    const VectorKey& b = keys[(size_t)k1];
    return vec3Lerp(Vector3{a.x, a.y, a.z}, Vector3{b.x, b.y, b.z}, f);
}

Quaternion rotationAt(const std::vector<RotationKey>& keys, float time) {
    int32_t k0, k1;
    float f;
    findKeySpan(keys, wrapTime(keys, time), &k0, &k1, &f);
    const RotationKey& a = keys[(size_t)k0];
    const RotationKey& b = keys[(size_t)k1];
    Quaternion q = quaternionSlerp(Quaternion{a.x, a.y, a.z, a.w}, Quaternion{b.x, b.y, b.z, b.w}, f);
    q.w = -q.w;
    return q;
}

}  // namespace

bool interpolateAnimation(const ModelFrame& animation, float t1, float t2, float blend, const Matrix4& targetInitial,
                          Matrix4* local) {
    if (!animation.matrixKeys.empty()) {
        int32_t k0, k1;
        float f;
        findKeySpan(animation.matrixKeys, wrapTime(animation.matrixKeys, t1), &k0, &k1, &f);
        memcpy(local->m, animation.matrixKeys[(size_t)(f > 0.5f ? k1 : k0)].m, sizeof local->m);
        return true;
    }
    bool any = false;
    Matrix4 m = matrixIdentity();
    if (!animation.scaleKeys.empty()) {
        Vector3 s = vec3Lerp(vectorAt(animation.scaleKeys, t1), vectorAt(animation.scaleKeys, t2), blend);
        m = matrixMultiply(m, matrixScaling(s.x, s.y, s.z));
        any = true;
    }
    if (!animation.rotationKeys.empty()) {
        Quaternion q = quaternionSlerp(rotationAt(animation.rotationKeys, t1), rotationAt(animation.rotationKeys, t2),
                                       blend);
        m = matrixMultiply(m, matrixRotationQuaternion(q));
        any = true;
    }
    if (!animation.positionKeys.empty()) {
        Vector3 p = vec3Lerp(vectorAt(animation.positionKeys, t1), vectorAt(animation.positionKeys, t2), blend);
        m = matrixMultiply(m, matrixTranslation(p.x, p.y, p.z));
        any = true;
    } else {
        m = matrixMultiply(m, matrixTranslation(targetInitial.m[12], targetInitial.m[13], targetInitial.m[14]));
    }
    if (any) *local = m;
    return any;
}

void advanceModelAnimations(SkinModel* model, const uint32_t* times, const uint32_t* times2, float blend) {
    SkinModelData* data = model->data.get();
    if (!data) return;
    int32_t i = 0;
    for (int32_t at = data->firstAnimation; at >= 0; at = data->frames[(size_t)at].nextAnimation) {
        int32_t slot = i < MODEL_ANIMATION_TIMES ? i : MODEL_ANIMATION_TIMES - 1;
        ++i;
        // Milliseconds into ticks of 1/4800 s.
        float t1 = (float)(times[slot] - model->baseTime) * 4.8f;
        float t2 = (float)(times2[slot] - model->baseTime) * 4.8f;
        data->animationTimes[slot] = t1;
        const ModelFrame& animation = data->frames[(size_t)at];
        if (animation.target < 0) continue;
        ModelFrame& target = data->frames[(size_t)animation.target];
        interpolateAnimation(animation, t1, t2, blend, target.initial, &target.local);
    }
}

void combineModelFrames(SkinModelData* data, int32_t frame, const Matrix4& parent) {
    for (int32_t at = frame; at >= 0; at = data->frames[(size_t)at].sibling) {
        ModelFrame& f = data->frames[(size_t)at];
        f.combined = matrixMultiply(matrixMultiply(f.local, parent), f.adjustment);
        if (f.firstChild >= 0) combineModelFrames(data, f.firstChild, f.combined);
    }
}

static int32_t findFrom(const SkinModelData& data, int32_t frame, const char* name) {
    for (int32_t at = frame; at >= 0; at = data.frames[(size_t)at].sibling) {
        const ModelFrame& f = data.frames[(size_t)at];
        if (strcmp(f.name, name) == 0) return at;
        if (f.firstChild >= 0) {
            int32_t found = findFrom(data, f.firstChild, name);
            if (found >= 0) return found;
        }
    }
    return -1;
}

int32_t findModelFrame(const SkinModelData& data, const char* name) {
    return data.frames.empty() ? -1 : findFrom(data, 0, name);
}

int32_t updateModelFrames(SkinModel* model, int32_t modelNumber) {
    SkinModelData* data = model->data.get();
    if (!data) return 0;
    ModelFrame& root = data->frames[0];
    root.local = model->orientation;
    root.adjustment = model->placement;
    if (model->device) model->device->setTransform(GFX_TS_VIEW, gCamera.view.m);
    // The root has no siblings: only its own tree is combined.
    combineModelFrames(data, 0, matrixIdentity());
    void* target = gSkinModelState.boneExportTarget;
    if (!gSceneHooks.modelPartName || !gSceneHooks.exportModelBone) return 0;
    for (int32_t k = 0; k < MODEL_EXPORT_BONES; ++k) {
        const char* name = gSceneHooks.modelPartName(modelNumber, k);
        if (!name) continue;
        int32_t frame = findModelFrame(*data, name);
        if (frame >= 0 && target) gSceneHooks.exportModelBone(target, k, data->frames[(size_t)frame].combined);
    }
    return 0;
}

// The states every successful load sets.
void applySkinningStates(GfxDevice* device, const SkinModelData& data) {
    device->setRenderState(GFX_RS_ZENABLE, 1);
    device->setRenderState(GFX_RS_ALPHABLENDENABLE, 1);
    device->setRenderState(GFX_RS_SRCBLEND, GFX_BLEND_SRCALPHA);
    device->setRenderState(GFX_RS_DESTBLEND, GFX_BLEND_INVSRCALPHA);
    device->setRenderState(GFX_RS_ALPHATESTENABLE, 1);
    device->setTextureStageState(0, GFX_TSS_ALPHAOP, GFX_TOP_MODULATE);
    device->setTransform(GFX_TS_PROJECTION, data.projection.m);
}

namespace {

int32_t failure(GfxResult result) { return result == GFX_OK ? 0 : -(int32_t)result; }

int32_t drawPlainContainer(GfxDevice* device, const ModelMeshContainer& c) {
    if (!c.vertices || !c.indices) return 0;
    device->setVertexFormat(MESH_VERTEX_FORMAT);
    device->setStreamSource(c.vertices, (int32_t)sizeof(MeshVertex));
    device->setIndices(c.indices);
    for (int32_t i = 0; i < c.materialCount; ++i) {
        device->setMaterial(c.materials[(size_t)i]);
        device->setTexture(0, c.textures[(size_t)i]);
        if (c.subsetCounts[(size_t)i] < 1) continue;
        int32_t result = failure(
            device->drawIndexedPrimitive(GFX_PT_TRIANGLELIST, 0, c.subsetStarts[(size_t)i], c.subsetCounts[(size_t)i]));
        if (result) return result;
    }
    return 0;
}

int32_t drawSkinnedContainer(SkinModel* model, ModelMeshContainer* c) {
    GfxDevice* device = model->device;
    if (c->builtMethod != model->method && !buildSkinnedDrawable(device, c)) return 0;
    const SkinModelData& data = *model->data;
    device->setVertexFormat(GFX_FVF_SKINNED);
    device->setStreamSource(c->vertices, (int32_t)sizeof(GfxSkinVertex));
    device->setIndices(c->indices);
    device->setSkinProgram(c->bonesPerVertex, model->shaderSet);
    // The light along the view's z axis, and the projection of the load.
    Matrix4 projection = matrixTranspose(data.projection);
    const float light[4] = {0.0f, 0.0f, 1.0f, 0.0f};
    device->setSkinConstants(1, light, 1);
    device->setSkinConstants(2, projection.m, 4);
    for (const BoneCombination& combination : c->combinations) {
        for (int32_t k = 0; k < c->paletteSize; ++k) {
            int32_t bone = combination.bones[k];
            if (bone < 0) continue;
            // A bone whose frame the file lacks stays where its offset puts it.
            int32_t frame = c->boneFrames[(size_t)bone];
            Matrix4 place = frame >= 0 ? data.frames[(size_t)frame].combined : matrixIdentity();
            Matrix4 palette =
                matrixTranspose(matrixMultiply(matrixMultiply(c->boneOffsets[(size_t)bone], place), gCamera.view));
            device->setSkinConstants(9 + 3 * k, palette.m, 3);
        }
        const GfxMaterial& material = c->materials[(size_t)combination.material];
        const float ambient[4] = {material.ambient.r * 0.25f, material.ambient.g * 0.25f, material.ambient.b * 0.25f,
                                  material.ambient.a * 1.0f};
        const float diffuse[4] = {material.diffuse.r, material.diffuse.g, material.diffuse.b, material.diffuse.a};
        const float constants[4] = {1.0f, material.power, 0.0f, 765.01f};
        device->setSkinConstants(7, ambient, 1);
        device->setSkinConstants(8, diffuse, 1);
        device->setSkinConstants(0, constants, 1);
        device->setTexture(0, c->textures[(size_t)combination.material]);
        int32_t result = failure(device->drawIndexedPrimitive(GFX_PT_TRIANGLELIST, 0, 3 * combination.faceStart,
                                                              combination.faceCount));
        if (result) return result;
    }
    return 0;
}

int32_t drawFrames(SkinModel* model, int32_t frame) {
    SkinModelData& data = *model->data;
    for (int32_t at = frame; at >= 0; at = data.frames[(size_t)at].sibling) {
        const ModelFrame& f = data.frames[(size_t)at];
        if (f.firstContainer >= 0) {
            model->device->setTransform(GFX_TS_WORLD, f.combined.m);
            for (int32_t c = f.firstContainer; c >= 0; c = data.containers[(size_t)c].next) {
                ModelMeshContainer& container = data.containers[(size_t)c];
                int32_t result = container.skinned ? drawSkinnedContainer(model, &container)
                                                   : drawPlainContainer(model->device, container);
                if (result) return result;
            }
        }
        if (f.firstChild >= 0) {
            int32_t result = drawFrames(model, f.firstChild);
            if (result) return result;
        }
    }
    return 0;
}

}  // namespace

static void applyPendingStates(SkinModel* models, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        SkinModel& model = models[i];
        if (model.statesPending && model.data && model.device) applySkinningStates(model.device, *model.data);
        model.statesPending = 0;
    }
}

void applyLoadedModelStates() {
    applyPendingStates(gEnemyModels, ENEMY_MODEL_COUNT);
    applyPendingStates(gFieldModels, FIELD_MODEL_COUNT);
    applyPendingStates(gSpareModels, SPARE_MODEL_COUNT);
}

int32_t drawSkinModel(SkinModel* model) {
    if (!model->data || !model->device) return 0;
    return drawFrames(model, 0);
}

bool buildSkinnedDrawable(GfxDevice* device, ModelMeshContainer* c) {
    if (device) {
        if (c->vertices) device->releaseBuffer(c->vertices);
        if (c->indices) device->releaseBuffer(c->indices);
    }
    c->vertices = nullptr;
    c->indices = nullptr;
    c->builtMethod = SKIN_METHOD_NONE;
    int32_t boneCount = (int32_t)c->boneOffsets.size();
    c->paletteSize = boneCount < MODEL_PALETTE_MAX ? boneCount : MODEL_PALETTE_MAX;
    c->bonesPerVertex = 1;
    for (const SkinSourceVertex& v : c->skinVertices)
        for (int32_t k = 0; k < MODEL_BONES_PER_VERTEX_MAX; ++k)
            if (v.bones[k] >= 0 && k + 1 > c->bonesPerVertex) c->bonesPerVertex = k + 1;

    // Greedy split, material by material in file order: a triangle whose
    // bones do not fit the current palette starts the next combination.
    std::vector<GfxSkinVertex> vertices;
    std::vector<uint32_t> indices;
    c->combinations.clear();
    std::vector<int32_t> local(c->skinVertices.size(), -1);   // source vertex -> this combination's
    std::vector<int32_t> slotOf((size_t)boneCount, -1);       // bone -> this combination's palette entry
    size_t triangles = c->skinTriangleMaterials.size();
    for (int32_t material = 0; material < c->materialCount; ++material) {
        BoneCombination* open = nullptr;
        int32_t used = 0;
        for (size_t t = 0; t < triangles; ++t) {
            if (c->skinTriangleMaterials[t] != material) continue;
            int32_t fresh = 0;
            int32_t seen[3 * MODEL_BONES_PER_VERTEX_MAX];
            for (size_t corner = 0; corner < 3; ++corner) {
                const SkinSourceVertex& v = c->skinVertices[c->skinTriangles[t * 3 + corner]];
                for (int32_t bone : v.bones) {
                    if (bone < 0 || (open && slotOf[(size_t)bone] >= 0)) continue;
                    bool counted = false;
                    for (int32_t i = 0; i < fresh; ++i) counted = counted || seen[i] == bone;
                    if (!counted) seen[fresh++] = bone;
                }
            }
            if (!open || used + fresh > c->paletteSize) {
                if (open)
                    for (int32_t bone : open->bones)
                        if (bone >= 0) slotOf[(size_t)bone] = -1;
                std::fill(local.begin(), local.end(), -1);
                c->combinations.push_back(BoneCombination{});
                open = &c->combinations.back();
                open->material = material;
                for (int32_t& bone : open->bones) bone = -1;
                open->vertexStart = (int32_t)vertices.size();
                open->faceStart = (int32_t)(indices.size() / 3);
                used = 0;
            }
            for (size_t corner = 0; corner < 3; ++corner) {
                uint32_t source = c->skinTriangles[t * 3 + corner];
                const SkinSourceVertex& v = c->skinVertices[source];
                for (int32_t bone : v.bones)
                    if (bone >= 0 && slotOf[(size_t)bone] < 0) {
                        slotOf[(size_t)bone] = used;
                        open->bones[used++] = bone;
                    }
                if (local[source] < 0) {
                    local[source] = (int32_t)vertices.size() - open->vertexStart;
                    GfxSkinVertex out = v.vertex;
                    out.indices = 0;
                    for (int32_t k = 0; k < MODEL_BONES_PER_VERTEX_MAX; ++k) {
                        uint32_t slot = v.bones[k] >= 0 ? (uint32_t)slotOf[(size_t)v.bones[k]] : 0u;
                        out.indices |= slot << (8 * k);
                        if (k < 3) out.weights[k] = v.bones[k] >= 0 ? v.weights[k] : 0.0f;
                    }
                    vertices.push_back(out);
                }
                indices.push_back((uint32_t)(open->vertexStart + local[source]));
            }
            open->vertexCount = (int32_t)vertices.size() - open->vertexStart;
            open->faceCount = (int32_t)(indices.size() / 3) - open->faceStart;
        }
        if (open)
            for (int32_t bone : open->bones)
                if (bone >= 0) slotOf[(size_t)bone] = -1;
        std::fill(local.begin(), local.end(), -1);
    }
    c->combinationCount = (int32_t)c->combinations.size();
    if (!device || vertices.empty()) return false;
    size_t vertexBytes = vertices.size() * sizeof(GfxSkinVertex);
    size_t indexBytes = indices.size() * sizeof(uint32_t);
    if (vertexBytes > (size_t)GFX_BUFFER_BYTES_MAX || indexBytes > (size_t)GFX_BUFFER_BYTES_MAX) return false;
    c->vertices = device->createBuffer(GFX_BUFFER_VERTEX, (int32_t)vertexBytes);
    c->indices = device->createBuffer(GFX_BUFFER_INDEX, (int32_t)indexBytes);
    void* into = c->vertices ? device->lockBuffer(c->vertices) : nullptr;
    if (into) memcpy(into, vertices.data(), vertexBytes);
    if (c->vertices) device->unlockBuffer(c->vertices);
    into = c->indices ? device->lockBuffer(c->indices) : nullptr;
    if (into) memcpy(into, indices.data(), indexBytes);
    if (c->indices) device->unlockBuffer(c->indices);
    if (!c->vertices || !c->indices) {
        if (c->vertices) device->releaseBuffer(c->vertices);
        if (c->indices) device->releaseBuffer(c->indices);
        c->vertices = nullptr;
        c->indices = nullptr;
        return false;
    }
    c->builtMethod = SKIN_METHOD_INDEXED;
    return true;
}
