// Loading a skinned model: the file's frames, animation sets and animations
// become the model's frame tree in the order they were read, its meshes
// containers with their skins, materials and textures. Runs on a loader
// thread; everything is made on the CPU (device buffers and textures upload
// on the main thread at first use).
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "engine/archive.h"
#include "engine/math.h"
#include "engine/device.h"
#include "engine/loose_files.h"
#include "engine/meshes.h"
#include "engine/skin_model_states.h"
#include "engine/skin_models.h"
#include "engine/textures.h"
#include "platform/log.h"
#include "platform/thread.h"
#include "platform/xfile.h"

namespace {


// A new frame goes directly after the parent's first child: a first child
// stays first, later ones follow it in reverse order of reading.
void insertChild(SkinModelData* data, int32_t parent, int32_t child) {
    ModelFrame& p = data->frames[(size_t)parent];
    if (p.firstChild < 0) {
        p.firstChild = child;
        return;
    }
    ModelFrame& first = data->frames[(size_t)p.firstChild];
    data->frames[(size_t)child].sibling = first.sibling;
    first.sibling = child;
}

int32_t newFrame(SkinModelData* data, int32_t parent, const char* name, uint8_t animation) {
    data->frames.emplace_back();
    int32_t index = (int32_t)data->frames.size() - 1;
    ModelFrame& f = data->frames.back();
    snprintf(f.name, sizeof f.name, "%s", name);
    f.animation = animation;
    insertChild(data, parent, index);
    return index;
}

// An animation's references and keys; SKIN_LOAD_BAD_ARGUMENT for a second
// frame reference, a frame not in the tree, a second key array of a kind,
// an unknown key type or keys of the wrong size.
int32_t loadAnimation(SkinModelData* data, int32_t frame, const XFileAnimation& source) {
    ModelFrame& animation = data->frames[(size_t)frame];
    for (const XFileReference& reference : source.references) {
        if (reference.other) continue;
        int32_t target = findModelFrame(*data, reference.name);
        if (target < 0 || animation.target >= 0) return SKIN_LOAD_BAD_ARGUMENT;
        animation.target = target;
    }
    bool seen[5] = {};
    static const int32_t VALUES[5] = {4, 3, 3, 0, 16};
    for (const XFileKeyList& list : source.keys) {
        uint32_t type = list.keyType;
        if (type > 4 || type == 3 || seen[type]) return SKIN_LOAD_BAD_ARGUMENT;
        seen[type] = true;
        if (!list.times.empty() && list.valuesPerKey != VALUES[type]) return SKIN_LOAD_BAD_ARGUMENT;
        for (size_t k = 0; k < list.times.size(); ++k) {
            const float* v = list.values.data() + k * (size_t)list.valuesPerKey;
            uint32_t time = list.times[k];
            if (type == 0) {
                // The file writes w, x, y, z.
                animation.rotationKeys.push_back(RotationKey{time, v[1], v[2], v[3], v[0]});
            } else if (type == 1) {
                animation.scaleKeys.push_back(VectorKey{time, v[0], v[1], v[2]});
            } else if (type == 2) {
                animation.positionKeys.push_back(VectorKey{time, v[0], v[1], v[2]});
            } else {
                MatrixKey key = {time, {}};
                memcpy(key.m, v, sizeof key.m);
                animation.matrixKeys.push_back(key);
            }
        }
    }
    return SKIN_LOAD_OK;
}

GfxMaterial materialOf(const XFileMaterial& source, int32_t whiteMaterials) {
    GfxMaterial material = {};
    material.diffuse = {source.diffuse[0], source.diffuse[1], source.diffuse[2], source.diffuse[3]};
    material.specular = {source.specular[0], source.specular[1], source.specular[2], 1.0f};
    material.emissive = {source.emissive[0], source.emissive[1], source.emissive[2], 1.0f};
    material.power = source.power;
    if (whiteMaterials) {
        material.diffuse.r = material.diffuse.g = material.diffuse.b = 0.0f;
        material.ambient.r = material.ambient.g = material.ambient.b = 1.0f;
    }
    return material;
}

// Each position's four strongest bones, weights scaled to sum to 1; a
// position no bone moves follows bone 0.
void gatherInfluences(const XFileMesh& mesh, std::vector<SkinSourceVertex>* out, const std::vector<int32_t>& source) {
    size_t positions = mesh.positions.size() / 3;
    std::vector<SkinSourceVertex> byPosition(positions);
    for (SkinSourceVertex& v : byPosition)
        for (int32_t k = 0; k < MODEL_BONES_PER_VERTEX_MAX; ++k) {
            v.bones[k] = -1;
            v.weights[k] = 0.0f;
        }
    for (size_t bone = 0; bone < mesh.skin.size(); ++bone) {
        const XFileSkinWeights& skin = mesh.skin[bone];
        for (size_t i = 0; i < skin.vertices.size(); ++i) {
            SkinSourceVertex& v = byPosition[(size_t)skin.vertices[i]];
            float weight = skin.weights[i];
            if (!(weight > 0.0f)) continue;
            // Insert in order of weight, dropping the weakest past four.
            int32_t at = MODEL_BONES_PER_VERTEX_MAX;
            while (at > 0 && (v.bones[at - 1] < 0 || v.weights[at - 1] < weight)) --at;
            if (at >= MODEL_BONES_PER_VERTEX_MAX) continue;
            for (int32_t k = MODEL_BONES_PER_VERTEX_MAX - 1; k > at; --k) {
                v.bones[k] = v.bones[k - 1];
                v.weights[k] = v.weights[k - 1];
            }
            v.bones[at] = (int32_t)bone;
            v.weights[at] = weight;
        }
    }
    for (SkinSourceVertex& v : byPosition) {
        float sum = 0.0f;
        for (int32_t k = 0; k < MODEL_BONES_PER_VERTEX_MAX; ++k) sum += v.bones[k] >= 0 ? v.weights[k] : 0.0f;
        if (!(sum > 0.0f) || !std::isfinite(sum)) {
            v.bones[0] = 0;
            v.weights[0] = 1.0f;
            for (int32_t k = 1; k < MODEL_BONES_PER_VERTEX_MAX; ++k) v.bones[k] = -1;
            continue;
        }
        for (int32_t k = 0; k < MODEL_BONES_PER_VERTEX_MAX; ++k) v.weights[k] /= sum;
    }
    for (int32_t p : source) out->push_back(byPosition[(size_t)p]);
}

struct LoadContext {
    SkinModel* model;
    SkinModelData* data;
    // Points for the bounding sphere: a frame and a position in its space.
    std::vector<int32_t> pointFrames;
    std::vector<Vector3> points;
};

GfxBuffer* makeBuffer(GfxDevice* device, GfxBufferKind kind, const void* bytes, size_t size) {
    if (!device || size == 0 || size > (size_t)GFX_BUFFER_BYTES_MAX) return nullptr;
    GfxBuffer* buffer = device->createBuffer(kind, (int32_t)size);
    if (!buffer) return nullptr;
    void* into = device->lockBuffer(buffer);
    if (into) memcpy(into, bytes, size);
    device->unlockBuffer(buffer);
    return buffer;
}

void loadSkinnedMesh(LoadContext& context, int32_t frame, const XFileMesh& mesh) {
    SkinModel* model = context.model;
    SkinModelData* data = context.data;
    // A mesh with nothing to draw is passed over and the rest loads.
    if (mesh.positions.empty() || mesh.triangles.empty()) return;
    data->containers.emplace_back();
    int32_t index = (int32_t)data->containers.size() - 1;
    ModelMeshContainer& c = data->containers.back();
    snprintf(c.name, sizeof c.name, "%s", mesh.name);

    std::vector<MeshVertex> vertices;
    std::vector<int32_t> source;
    std::vector<uint32_t> corners;
    expandVertices(mesh, nullptr, &vertices, &source, &corners);
    for (const MeshVertex& v : vertices) {
        context.pointFrames.push_back(frame);
        context.points.push_back(Vector3{v.x, v.y, v.z});
    }

    // Materials, each with a texture of its own.
    if (mesh.materials.empty()) {
        c.materials.push_back(GfxMaterial{});
        c.textures.push_back(nullptr);
    }
    for (const XFileMaterial& source : mesh.materials) {
        c.materials.push_back(materialOf(source, model->whiteMaterials));
        GfxTexture* texture = nullptr;
        if (source.texture[0]) {
            char path[TEXTURE_NAME_SIZE];
            int written = snprintf(path, sizeof path, "%s%s", gSkinModelState.modelTextureFolder, source.texture);
            if (written < 0 || written >= (int)sizeof path)
                logLine("model texture %s%s: the path is too long", gSkinModelState.modelTextureFolder, source.texture);
            else
                loadMeshTexture(&texture, path);
        }
        c.textures.push_back(texture);
    }
    c.materialCount = (int32_t)c.materials.size();

    if (!mesh.skin.empty()) {
        c.skinned = 1;
        int32_t bones = (int32_t)mesh.skin.size();
        if (bones > model->maxBones) model->maxBones = bones;
        for (const XFileSkinWeights& skin : mesh.skin) {
            std::array<char, MODEL_NAME_SIZE> name = {};
            snprintf(name.data(), name.size(), "%s", skin.bone);
            c.boneNames.push_back(name);
            Matrix4 offset;
            memcpy(offset.m, skin.offset, sizeof offset.m);
            c.boneOffsets.push_back(offset);
        }
        c.boneFrames.assign((size_t)bones, -1);
        std::vector<SkinSourceVertex> skinVertices;
        gatherInfluences(mesh, &skinVertices, source);
        for (size_t i = 0; i < vertices.size(); ++i) {
            const MeshVertex& v = vertices[i];
            skinVertices[i].vertex = GfxSkinVertex{v.x, v.y, v.z, {0, 0, 0}, 0, v.nx, v.ny, v.nz, v.diffuse, v.u, v.v};
        }
        c.skinVertices = std::move(skinVertices);
        c.skinTriangles = std::move(corners);
        c.skinTriangleMaterials = mesh.triangleMaterials;
        buildSkinnedDrawable(model->device, &c);
    } else {
        // Drawn by material with the fixed-function pipeline.
        std::vector<uint32_t> sorted;
        c.subsetStarts.assign((size_t)c.materialCount, 0);
        c.subsetCounts.assign((size_t)c.materialCount, 0);
        for (int32_t material = 0; material < c.materialCount; ++material) {
            c.subsetStarts[(size_t)material] = (int32_t)sorted.size();
            for (size_t t = 0; t < mesh.triangleMaterials.size(); ++t)
                if (mesh.triangleMaterials[t] == material) {
                    sorted.insert(sorted.end(), corners.begin() + (long)t * 3, corners.begin() + (long)t * 3 + 3);
                    ++c.subsetCounts[(size_t)material];
                }
        }
        c.combinationCount = c.materialCount;
        c.vertices = makeBuffer(model->device, GFX_BUFFER_VERTEX, vertices.data(), vertices.size() * sizeof(MeshVertex));
        c.indices = makeBuffer(model->device, GFX_BUFFER_INDEX, sorted.data(), sorted.size() * sizeof(uint32_t));
    }
    c.next = data->frames[(size_t)frame].firstContainer;
    data->frames[(size_t)frame].firstContainer = index;
}

// Releases the device objects of every container of the data.
void releaseContainers(GfxDevice* device, SkinModelData* data) {
    for (ModelMeshContainer& c : data->containers) {
        if (device) {
            if (c.vertices) device->releaseBuffer(c.vertices);
            if (c.indices) device->releaseBuffer(c.indices);
            for (GfxTexture* texture : c.textures)
                if (texture) device->releaseTexture(texture);
        }
        c.vertices = nullptr;
        c.indices = nullptr;
        c.builtMethod = SKIN_METHOD_NONE;
    }
}

int32_t readScene(const char* path, XFileScene* scene) {
    FILE* file = openLooseFile(path);
    if (!file) {
        logLine("model %s: no such file", path);
        return SKIN_LOAD_FAILED;
    }
    int32_t size = getFileLength(file);
    std::vector<uint8_t> bytes(size > 0 ? (size_t)size : 0);
    bytes.resize(fread(bytes.data(), 1, bytes.size(), file));
    fclose(file);
    if (!xfileRead(bytes.data(), bytes.size(), scene)) {
        logLine("model %s: %s", path, scene->error);
        return SKIN_LOAD_BAD_FILE;
    }
    return SKIN_LOAD_OK;
}

int32_t buildTree(LoadContext& context, const XFileScene& scene) {
    SkinModelData* data = context.data;
    // The index of each node's frame; -1 for a node left out.
    std::vector<int32_t> frameOf(scene.frames.size(), -1);
    for (size_t i = 0; i < scene.frames.size(); ++i) {
        const XFileFrame& node = scene.frames[i];
        int32_t parent = node.parent < 0 ? 0 : frameOf[(size_t)node.parent];
        if (parent < 0) continue;
        int32_t frame = newFrame(data, parent, node.name, node.kind == XFILE_NODE_FRAME ? 0 : 1);
        frameOf[i] = frame;
        if (node.kind == XFILE_NODE_FRAME) {
            ModelFrame& f = data->frames[(size_t)frame];
            memcpy(f.local.m, node.matrix, sizeof f.local.m);
            f.initial = f.local;
        } else if (node.kind == XFILE_NODE_ANIMATION) {
            // At the head of the list: the list runs in reverse order of reading.
            data->frames[(size_t)frame].nextAnimation = data->firstAnimation;
            data->firstAnimation = frame;
            int32_t result = loadAnimation(data, frame, scene.animations[(size_t)node.animation]);
            if (result != SKIN_LOAD_OK) return result;
        }
    }
    for (const XFileMesh& mesh : scene.meshes) {
        int32_t frame = mesh.frame < 0 ? 0 : frameOf[(size_t)mesh.frame];
        if (frame >= 0) loadSkinnedMesh(context, frame, mesh);
    }
    return SKIN_LOAD_OK;
}

// The product of the local matrices from a frame up to the root.
Matrix4 toRoot(const SkinModelData& data, int32_t frame, const std::vector<int32_t>& parents) {
    Matrix4 m = matrixIdentity();
    for (int32_t at = frame; at >= 0; at = parents[(size_t)at]) m = matrixMultiply(m, data.frames[(size_t)at].local);
    return m;
}

void measureSphere(LoadContext& context) {
    SkinModelData* data = context.data;
    std::vector<int32_t> parents(data->frames.size(), -1);
    for (size_t f = 0; f < data->frames.size(); ++f)
        for (int32_t child = data->frames[f].firstChild; child >= 0; child = data->frames[(size_t)child].sibling)
            parents[(size_t)child] = (int32_t)f;
    std::vector<Vector3> placed;
    for (size_t i = 0; i < context.points.size(); ++i) {
        const Vector3& p = context.points[i];
        if (p.x == 0.0f && p.y == 0.0f && p.z == 0.0f) continue;
        placed.push_back(vec3TransformCoord(p, toRoot(*data, context.pointFrames[i], parents)));
    }
    Vector3 sum = {0.0f, 0.0f, 0.0f};
    for (const Vector3& p : placed) sum = vec3Add(sum, p);
    data->center = placed.empty() ? sum : vec3Scale(sum, 1.0f / (float)placed.size());
    data->radius = 0.0f;
    for (const Vector3& p : placed) data->radius = fmaxf(data->radius, vec3Length(vec3Subtract(p, data->center)));
}

int32_t loadMeshHierarchy(SkinModel* model) {
    if (strlen(model->path) <= 1) return SKIN_LOAD_FAILED;
    std::unique_ptr<SkinModelData> data;
    int32_t result = SKIN_LOAD_OK;
    try {
        XFileScene scene;
        result = readScene(model->path, &scene);
        if (result != SKIN_LOAD_OK) return result;
        data.reset(new SkinModelData());
        data->frames.emplace_back();   // the root
        LoadContext context = {model, data.get(), {}, {}};
        result = buildTree(context, scene);
        if (result == SKIN_LOAD_OK) {
            // Each bone moves with the frame of its name.
            for (ModelMeshContainer& c : data->containers)
                for (size_t bone = 0; bone < c.boneNames.size(); ++bone)
                    c.boneFrames[bone] = findModelFrame(*data, c.boneNames[bone].data());
            measureSphere(context);
        }
    } catch (const std::bad_alloc&) {
        logLine("model %s: out of memory", model->path);
        result = SKIN_LOAD_OUT_OF_MEMORY;
    }
    if (result != SKIN_LOAD_OK) {
        if (data) releaseContainers(model->device, data.get());
        return result;
    }
    snprintf(data->path, sizeof data->path, "%s", model->path);
    data->projection = matrixPerspectiveFovRH(gCamera.fov * PI / 180.0f, 4.0f / 3.0f, 1.0f, 50000.0f);
    ModelFrame& root = data->frames[0];
    root.local = matrixTranslation(-data->center.x, -data->center.y, -data->center.z);
    root.initial = root.local;
    releaseSkinModel(model);
    model->data = std::move(data);
    return SKIN_LOAD_OK;
}

}  // namespace

int32_t loadSkinModel(SkinModel* model, const char* path, int32_t whiteMaterials, int32_t shaderSet) {
    // The device makes its skinning programs at the first skinned draw.
    model->shaderSet = shaderSet;
    if (strlen(path) >= sizeof model->path) {
        logLine("model %.64s...: the path is too long", path);
        return SKIN_LOAD_FAILED;
    }
    snprintf(model->path, sizeof model->path, "%s", path);
    // The folder is the directory part of the path (empty without one), so
    // textures of a model at the top are looked up by their own names.
    meshModelFolder(path, gSkinModelState.modelTextureFolder, MODEL_TEXTURE_FOLDER_SIZE);
    model->whiteMaterials = whiteMaterials;
    int32_t result = loadMeshHierarchy(model);
    if (result == SKIN_LOAD_OK) {
        if (threadIsMain() && model->device)
            applySkinningStates(model->device, *model->data);
        else
            model->statesPending = 1;
    }
    return result;
}

void releaseSkinModel(SkinModel* model) {
    if (!model->data) return;
    releaseContainers(model->device, model->data.get());
    model->data.reset();
}
