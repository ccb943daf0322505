// field/collision_mesh.h: the small text reader that pulls a map model's
// vertices, faces and material names out of a text .x file for the map
// collision, and the staging tables it fills. Runs on the stage loader
// thread (one loader at a time) and in tests.
#pragma once
#include <cstdint>

#include "field/field.h"

constexpr int32_t COLLISION_STAGE_MAX = 10240;   // vertices and faces of one file
constexpr int32_t COLLISION_MATERIAL_MAX = 50;   // materials of one mesh with their own code
constexpr float COLLISION_MODEL_SCALE = 0.2f;    // map model units are five world units

struct SurfaceKeyword {
    const char* keyword;
    int32_t code;
};
// In the order they are tried; the first whose letters begin the name wins.
extern const SurfaceKeyword SURFACE_TYPES[19];
// The code of a material name; SURFACE_SOLID when no keyword begins it.
int32_t surfaceCodeOf(const char* name);

struct CollisionFace {
    int32_t vertex[3];   // into gCollisionVertices
    int32_t surface;
};
extern float gCollisionVertices[COLLISION_STAGE_MAX][3];
extern CollisionFace gCollisionFaces[COLLISION_STAGE_MAX];

// Reads the meshes in the frames below the file's top frame into the
// staging tables (vertices through their frames' matrices and the top
// frame's, times COLLISION_MODEL_SCALE) and builds them into map block
// `block`. 0 when the file does not open (nothing else happens), else 1.
// Vertices or faces beyond the tables are left out and reported once per
// file; a face naming a vertex that is not there is left out too.
int32_t loadCollisionMesh(const char* path, int32_t block);
// The same over a file image in memory (no NUL needed behind it); the
// number of faces staged.
int32_t readCollisionText(const char* text, int32_t length, const char* path);
