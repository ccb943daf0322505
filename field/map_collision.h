// field/map_collision.h: the collision geometry of the stage's map blocks
// and the two questions every tick asks of it: the highest floor under a
// point and the first front face a segment meets. Also the placing of the
// trees, grass and torches that block models mark, and two 2D segment tests.
//
// Blocks are built on the stage loader thread when a stage is bound and
// stay until the next; the queries run on the main thread. World space is
// the model files' space mirrored in x (every x is negated when built).
#pragma once
#include <cstdint>
#include <memory>

#include "field/field.h"

constexpr int32_t MAP_BLOCK_COUNT = 20;
constexpr int32_t MAP_BLOCK_TRIANGLE_MAX = 10240;
constexpr float MAP_CELL_SIZE = 40.0f;
constexpr float GROUND_NONE = -10000.0f;   // best height before any floor is found

struct MapBlock {
    std::unique_ptr<CollisionTriangle[]> triangles;   // triangleCount of them
    int32_t triangleCount;
    float minX, minZ, maxX, maxZ;
};

// Block k holds the collision of the bound stage's k-th map model.
extern MapBlock gMapBlocks[MAP_BLOCK_COUNT];

// Clears the staged faces' surface codes and empties all 20 blocks.
void clearMapBlocks();
// With skip 0: the first faceCount staged faces, less those of surface
// code 4, become the block's triangles (the first MAP_BLOCK_TRIANGLE_MAX of
// them; more are reported once).
void buildBlockCollision(int32_t skip, int32_t faceCount, int32_t block);
// One triangle from three staged vertices, with the margins of the bound
// stage's map type.
void setCollisionTriangle(CollisionTriangle* triangle, int32_t i0, int32_t i1, int32_t i2);

// The grid cell of a coordinate: clamp(trunc((v - 20) / -40), 0, 14).
int32_t mapCellOf(float v);

// The side of p against the line a -> b: -1, 0 or 1 (|v| below 1 counts as on it).
int32_t getOrientationSign2D(float px, float pz, float ax, float az, float bx, float bz);
