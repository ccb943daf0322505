#include "engine/meshes.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "engine/archive.h"
#include "engine/device.h"
#include "engine/loose_files.h"
#include "engine/math.h"
#include "engine/settings.h"
#include "engine/textures.h"
#include "platform/log.h"
#include "platform/window.h"
#include "platform/xfile.h"

static_assert(MESH_TEXTURE_NAME_SIZE == TEXTURE_NAME_SIZE);

MeshTextureTable gMeshTextures;

static const char OPEN_ERROR_CAPTION[] = "File Opne Error";
static const char TABLE_FULL_TEXT[] = "mesh textures over 200";

void clearMeshTextures() {
    gMeshTextures.count = 0;
    for (MeshTextureEntry& entry : gMeshTextures.entries) entry.texture = nullptr;
}

void resetMeshTextures() { gMeshTextures = MeshTextureTable{}; }

void releaseMesh(MeshRecord* record) {
    if (!record->loaded || !record->vertices) return;
    record->textureIndices.reset();
    record->materials.reset();
    record->subsets.reset();
    if (gGfxDevice) {
        gGfxDevice->releaseBuffer(record->vertices);
        gGfxDevice->releaseBuffer(record->indices);
    }
    record->vertices = nullptr;
    record->indices = nullptr;
    record->vertexCount = 0;
}

void drawMeshSubset(const MeshRecord& record, int32_t material) {
    if (!gGfxDevice || !record.vertices || material < 0 || material >= record.materialCount) return;
    const MeshSubset& subset = record.subsets[material];
    if (subset.triangleCount < 1) return;
    gGfxDevice->setVertexFormat(MESH_VERTEX_FORMAT);
    gGfxDevice->setStreamSource(record.vertices, (int32_t)sizeof(MeshVertex));
    gGfxDevice->setIndices(record.indices);
    gGfxDevice->drawIndexedPrimitive(GFX_PT_TRIANGLELIST, 0, subset.startIndex, subset.triangleCount);
}

MeshTextureEntry meshTextureFlags(const char* name) {
    MeshTextureEntry entry = {};
    entry.water = strncmp(name, "water", 5) == 0;
    entry.hikari = strncmp(name, "hikari", 6) == 0;
    entry.kabe = strncmp(name, "kabe_", 5) == 0;
    entry.yuka = strncmp(name, "yuka_", 5) == 0;
    entry.shopJutan = strncmp(name, "shop_jutan", 10) == 0;
    size_t length = strnlen(name, MESH_TEXTURE_NAME_SIZE);
    for (size_t i = 0; i < length; ++i) {
        const char* at = name + i;
        if (at[0] == 'n' && at[1] == '_') entry.noMip = 1;
        if (at[0] == 'w' && at[1] == '_') entry.twoSided = 1;
        if ((at[0] == 'u' || at[0] == 'v') && at[1] >= '0' && at[1] <= '3' && at[2] == '_')
            (at[0] == 'u' ? entry.addressU : entry.addressV) = (uint8_t)(at[1] - '0');
    }
    return entry;
}

void meshModelFolder(const char* path, char* folder, int32_t size) {
    size_t end = strcspn(path, ".");
    size_t cut = 0;
    for (size_t i = 0; i < end; ++i)
        if (path[i] == '/' || path[i] == '\\') cut = i + 1;
    if (cut >= (size_t)size) cut = 0;   // a folder that does not fit is none
    memcpy(folder, path, cut);
    folder[cut] = 0;
}

namespace {

void transformVertex(const float m[16], const float* p, float* out, bool direction) {
    for (int k = 0; k < 3; ++k)
        out[k] = p[0] * m[k] + p[1] * m[4 + k] + p[2] * m[8 + k] + (direction ? 0.0f : m[12 + k]);
}

}  // namespace

void expandVertices(const XFileMesh& mesh, const float* place, std::vector<MeshVertex>* vertices,
                    std::vector<int32_t>* source, std::vector<uint32_t>* corners) {
    size_t positions = mesh.positions.size() / 3;
    std::vector<int32_t> first(positions, -1);
    std::vector<int32_t> nextSame;
    std::vector<int32_t> normalOf;
    size_t base = vertices->size();
    bool normals = !mesh.triangleNormals.empty();
    for (size_t corner = 0; corner < mesh.triangles.size(); ++corner) {
        int32_t p = mesh.triangles[corner];
        int32_t n = normals ? mesh.triangleNormals[corner] : -1;
        int32_t found = first[(size_t)p];
        while (found >= 0 && normalOf[(size_t)found] != n) found = nextSame[(size_t)found];
        if (found < 0) {
            found = (int32_t)normalOf.size();
            normalOf.push_back(n);
            nextSame.push_back(first[(size_t)p]);
            first[(size_t)p] = found;
            MeshVertex v = {};
            float at[3];
            const float* position = &mesh.positions[(size_t)p * 3];
            if (place) transformVertex(place, position, at, false);
            else memcpy(at, position, sizeof at);
            v.x = at[0];
            v.y = at[1];
            v.z = at[2];
            if (n >= 0) {
                float normal[3];
                const float* given = &mesh.normals[(size_t)n * 3];
                if (place) transformVertex(place, given, normal, true);
                else memcpy(normal, given, sizeof normal);
                Vector3 unit = vec3Normalize(Vector3{normal[0], normal[1], normal[2]});
                v.nx = unit.x;
                v.ny = unit.y;
                v.nz = unit.z;
            }
            v.diffuse = mesh.colors.empty() ? 0xFFFFFFFFu : mesh.colors[(size_t)p];
            if (!mesh.texCoords.empty()) {
                v.u = mesh.texCoords[(size_t)p * 2];
                v.v = mesh.texCoords[(size_t)p * 2 + 1];
            }
            vertices->push_back(v);
            if (source) source->push_back(p);
        }
        corners->push_back((uint32_t)(base + (size_t)found));
    }
}

namespace {

// The model's triangles as drawn: every mesh of the file in its frames'
// place, the materials of all meshes one after another.
struct BuiltMesh {
    std::vector<MeshVertex> vertices;
    std::vector<uint32_t> indices;   // sorted by material, file order within one
    std::vector<MeshSubset> subsets;
    std::vector<XFileMaterial> materials;
};

bool buildMesh(const XFileScene& scene, BuiltMesh* out) {
    std::vector<uint32_t> triangleIndices;
    std::vector<int32_t> triangleMaterials;
    for (const XFileMesh& mesh : scene.meshes) {
        float place[16];
        xfileFrameToRoot(scene, mesh.frame, place);
        int32_t materialBase = (int32_t)out->materials.size();
        if (mesh.materials.empty()) {
            XFileMaterial plain = {};
            plain.diffuse[0] = plain.diffuse[1] = plain.diffuse[2] = plain.diffuse[3] = 1.0f;
            out->materials.push_back(plain);
        } else {
            out->materials.insert(out->materials.end(), mesh.materials.begin(), mesh.materials.end());
        }
        expandVertices(mesh, place, &out->vertices, nullptr, &triangleIndices);
        for (int32_t material : mesh.triangleMaterials) triangleMaterials.push_back(materialBase + material);
        if (out->vertices.size() > (size_t)GFX_BUFFER_BYTES_MAX / sizeof(MeshVertex)) return false;
    }
    size_t triangles = triangleMaterials.size();
    if (triangles == 0 || triangles * 12 > (size_t)GFX_BUFFER_BYTES_MAX) return false;
    out->subsets.assign(out->materials.size(), MeshSubset{0, 0});
    for (int32_t material : triangleMaterials) ++out->subsets[(size_t)material].triangleCount;
    int32_t start = 0;
    for (MeshSubset& subset : out->subsets) {
        subset.startIndex = start;
        start += subset.triangleCount * 3;
    }
    out->indices.resize(triangles * 3);
    std::vector<int32_t> filled(out->subsets.size(), 0);
    for (size_t t = 0; t < triangles; ++t) {
        size_t material = (size_t)triangleMaterials[t];
        size_t at = (size_t)out->subsets[material].startIndex + (size_t)filled[material]++ * 3;
        for (size_t k = 0; k < 3; ++k) out->indices[at + k] = triangleIndices[t * 3 + k];
    }
    return true;
}

// Reads and builds one path; false, quietly, when the file is missing or
// not a model we can draw.
bool readModel(const char* path, BuiltMesh* out) {
    FILE* file = openLooseFile(path);
    if (!file) return false;
    int32_t size = getFileLength(file);
    std::vector<uint8_t> bytes;
    try {
        bytes.resize(size > 0 ? (size_t)size : 0);
        bytes.resize(fread(bytes.data(), 1, bytes.size(), file));
        fclose(file);
        file = nullptr;
        XFileScene scene;
        if (!xfileRead(bytes.data(), bytes.size(), &scene)) {
            logLine("model %s: %s", path, scene.error);
            return false;
        }
        if (!buildMesh(scene, out)) {
            logLine("model %s: no triangles to draw, or too many", path);
            return false;
        }
    } catch (const std::bad_alloc&) {
        if (file) fclose(file);
        logLine("model %s: out of memory", path);
        return false;
    }
    return true;
}

GfxBuffer* makeBuffer(GfxBufferKind kind, const void* bytes, size_t size) {
    GfxBuffer* buffer = gGfxDevice->createBuffer(kind, (int32_t)size);
    if (!buffer) return nullptr;
    void* into = gGfxDevice->lockBuffer(buffer);
    if (into) memcpy(into, bytes, size);
    gGfxDevice->unlockBuffer(buffer);
    return buffer;
}

// The shared table's entry for a texture name, loading it from the model's
// folder when it is new; -1 when the table is full.
int32_t meshTextureIndex(const char* name, bool* reportedFull) {
    size_t length = strlen(name);
    for (int32_t i = 0; i < gMeshTextures.count; ++i)
        if (strncmp(gMeshTextures.entries[i].name, name, length) == 0) return i;
    if (gMeshTextures.count >= MESH_TEXTURE_MAX) {
        if (!*reportedFull) showMessageBox(TABLE_FULL_TEXT, "error", MESSAGE_BOX_OK);
        *reportedFull = true;
        return -1;
    }
    int32_t index = gMeshTextures.count;
    MeshTextureEntry& entry = gMeshTextures.entries[index];
    entry = meshTextureFlags(name);
    snprintf(entry.name, sizeof entry.name, "%s", name);
    char path[TEXTURE_NAME_SIZE];
    int written = snprintf(path, sizeof path, "%s%s", gMeshTextures.modelFolder, name);
    if (written < 0 || written >= (int)sizeof path) {
        logLine("model texture %s%s: the path is too long", gMeshTextures.modelFolder, name);
    } else {
        loadMeshTexture(&entry.texture, path);
        entry.alpha = strstr(path, ".t") != nullptr;
    }
    gMeshTextures.count = index + 1;
    return index;
}

}  // namespace

int32_t loadMesh(MeshRecord* record, const char* path, int32_t /*modelNumber*/) {
    BuiltMesh built;
    const char* loadedPath = path;
    char simple[512];
    bool found = false;
    if (gEasyDisp) {
        size_t stem = strcspn(path, ".");
        if (stem + 5 <= sizeof simple) {
            memcpy(simple, path, stem);
            memcpy(simple + stem, "_s.x", 5);
            found = readModel(simple, &built);
            if (found) loadedPath = simple;
        }
    }
    if (!found) {
        built = BuiltMesh{};
        found = readModel(path, &built);
    }
    GfxBuffer* vertices = nullptr;
    GfxBuffer* indices = nullptr;
    if (found && gGfxDevice) {
        vertices = makeBuffer(GFX_BUFFER_VERTEX, built.vertices.data(), built.vertices.size() * sizeof(MeshVertex));
        indices = makeBuffer(GFX_BUFFER_INDEX, built.indices.data(), built.indices.size() * sizeof(uint32_t));
    }
    if (!vertices || !indices) {
        if (vertices) gGfxDevice->releaseBuffer(vertices);
        if (indices) gGfxDevice->releaseBuffer(indices);
        if (found) logLine("model %s: no room for its buffers", path);
        showMessageBox(path, OPEN_ERROR_CAPTION, MESSAGE_BOX_OK);
        return 0;
    }

    releaseMesh(record);
    record->loaded = 1;
    meshModelFolder(loadedPath, gMeshTextures.modelFolder, MESH_FOLDER_SIZE);
    int32_t count = (int32_t)built.materials.size();
    record->materialCount = count;
    record->textureIndices.reset(new int32_t[(size_t)count]);
    record->materials.reset(new GfxMaterial[(size_t)count]);
    record->subsets.reset(new MeshSubset[(size_t)count]);
    bool reportedFull = false;
    for (int32_t i = 0; i < count; ++i) {
        const XFileMaterial& source = built.materials[(size_t)i];
        GfxMaterial& material = record->materials[i];
        material.diffuse = {source.diffuse[0], source.diffuse[1], source.diffuse[2], source.diffuse[3]};
        material.ambient = material.diffuse;
        material.specular = {source.specular[0], source.specular[1], source.specular[2], 1.0f};
        material.emissive = {source.emissive[0], source.emissive[1], source.emissive[2], 1.0f};
        material.power = source.power;
        record->subsets[i] = built.subsets[(size_t)i];
        record->textureIndices[i] = source.texture[0] ? meshTextureIndex(source.texture, &reportedFull) : -1;
    }

    // The bounding sphere: centred on the vertices' mean, out to the farthest.
    Vector3 sum = {0.0f, 0.0f, 0.0f};
    for (const MeshVertex& v : built.vertices) sum = vec3Add(sum, Vector3{v.x, v.y, v.z});
    Vector3 center = vec3Scale(sum, 1.0f / (float)built.vertices.size());
    float radius = 0.0f;
    for (const MeshVertex& v : built.vertices)
        radius = fmaxf(radius, vec3Length(vec3Subtract(Vector3{v.x, v.y, v.z}, center)));
    record->center[0] = center.x;
    record->center[1] = center.y;
    record->center[2] = center.z;
    record->radius = radius;
    record->vertices = vertices;
    record->indices = indices;
    record->vertexCount = (int32_t)built.vertices.size();
    return 1;
}
