// engine/meshes.h: static .x models (maps, backgrounds, props, furniture)
// loaded into MeshRecords, and the shared table of the textures they name,
// whose name keywords tell the world renderer how to draw their faces.
//
// loadMesh runs on the loader threads (one at a time) and on the main
// thread after a device reset; the table is shared without locks. A mesh
// keeps its vertices and indices in device buffers, which hold them on the
// CPU until the main thread first draws them.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gfx.h"

struct XFileMesh;

constexpr int32_t MESH_TEXTURE_MAX = 200;
constexpr int32_t MESH_TEXTURE_NAME_SIZE = 256;
constexpr int32_t MESH_FOLDER_SIZE = 256;
constexpr uint32_t MESH_VERTEX_FORMAT = GFX_FVF_XYZ | GFX_FVF_NORMAL | GFX_FVF_DIFFUSE | GFX_FVF_TEX1;

struct MeshVertex {
    float x, y, z;
    float nx, ny, nz;
    uint32_t diffuse;   // 0xAARRGGBB; white where the file gives no colour
    float u, v;
};
static_assert(sizeof(MeshVertex) == 36);

// The triangles of one material: a run of the index buffer.
struct MeshSubset {
    int32_t startIndex;
    int32_t triangleCount;
};

struct MeshRecord {
    GfxBuffer* vertices = nullptr;   // null while no mesh is held
    GfxBuffer* indices = nullptr;
    int32_t vertexCount = 0;
    // Per material: the shared texture's index (-1 none), the material with
    // its ambient colour replaced by its diffuse one, and its triangles.
    std::unique_ptr<int32_t[]> textureIndices;
    std::unique_ptr<GfxMaterial[]> materials;
    std::unique_ptr<MeshSubset[]> subsets;
    int32_t materialCount = 0;
    float center[3] = {};   // bounding sphere, model space
    float radius = 0.0f;
    int32_t loaded = 0;     // 1 once a file was loaded into the record
};

// What a texture's name asks of the renderer.
struct MeshTextureEntry {
    GfxTexture* texture;
    char name[MESH_TEXTURE_NAME_SIZE];   // as the .x file writes it
    uint8_t water;       // "water" at the start: the water pass
    uint8_t hikari;      // "hikari" at the start: the light pass
    uint8_t kabe;        // "kabe_", "yuka_", "shop_jutan" at the start: the shop's own wall, floor, rug
    uint8_t yuka;
    uint8_t shopJutan;
    uint8_t alpha;       // ".t" anywhere in the loaded path: the alpha pass
    uint8_t noMip;       // "n_" anywhere
    uint8_t twoSided;    // "w_" anywhere
    uint8_t addressU;    // "u0_".."u3_": GfxTextureAddress; the last one in the name wins
    uint8_t addressV;    // "v0_".."v3_"
};

struct MeshTextureTable {
    MeshTextureEntry entries[MESH_TEXTURE_MAX];
    int32_t count;
    char modelFolder[MESH_FOLDER_SIZE];   // the folder of the model being loaded, with its '/'
};
extern MeshTextureTable gMeshTextures;

// Loads a .x model; 1 on success. With "easydisp" on, "name_s.x" is tried
// before "name.x". A model that cannot be loaded shows "File Opne Error"
// with the path and leaves the record as it was. modelNumber is not used.
int32_t loadMesh(MeshRecord* record, const char* path, int32_t modelNumber);
// Frees the mesh and its per-material arrays; the loaded flag stays and the
// textures stay in the shared table.
void releaseMesh(MeshRecord* record);
// Forgets every entry of the shared table without releasing anything (the
// field's release has released them).
void clearMeshTextures();
// The table as a fresh process has it: no entries, no names, no folder.
void resetMeshTextures();
// Draws the triangles of one material with the device's current states,
// material and texture.
void drawMeshSubset(const MeshRecord& record, int32_t material);

// The flags the keywords of a texture name give (everything but texture
// and alpha); pure.
MeshTextureEntry meshTextureFlags(const char* name);
// The folder of a model path: up to its first '.', cut after the last '/'
// (or '\') before it; empty when there is none.
void meshModelFolder(const char* path, char* folder, int32_t size);
// Appends one vertex per position and normal pair the mesh's triangles use
// (placed by the 4x4 matrix, or as in the file when place is null; normals
// made unit length) and a corner index per triangle corner; source, when
// given, gets each new vertex's position index.
void expandVertices(const XFileMesh& mesh, const float* place, std::vector<MeshVertex>* vertices,
                    std::vector<int32_t>* source, std::vector<uint32_t>* corners);
