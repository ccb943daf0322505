#include "field/map_collision.h"

#include <cmath>
#include <cstdio>
#include <new>

#include "dungeon/dungeon.h"
#include "engine/math.h"
#include "engine/stage_index.h"
#include "field/collision_mesh.h"
#include "platform/log.h"
#include "platform/window.h"

MapBlock gMapBlocks[MAP_BLOCK_COUNT];

// Points farther out than this are on no floor: the cell wrap would take
// too long, and no stage reaches so far.
constexpr float QUERY_RANGE = 1.0e6f;

void resetMapCollision() {
    for (MapBlock& block : gMapBlocks) block = MapBlock{};
}

void clearMapBlocks() {
    for (CollisionFace& face : gCollisionFaces) face.surface = 0;
    for (MapBlock& block : gMapBlocks) {
        block.triangles.reset();
        block.triangleCount = 0;
    }
}

static int32_t currentMapType() { return gCurrentStage ? gCurrentStage->maptype : 0; }

void setCollisionTriangle(CollisionTriangle* t, int32_t i0, int32_t i1, int32_t i2) {
    const int32_t index[3] = {i0, i1, i2};
    for (int k = 0; k < 3; ++k) {
        const float* v = gCollisionVertices[index[k]];
        t->x[k] = -v[0];
        t->y[k] = v[1];
        t->z[k] = v[2];
    }
    bool dungeon = currentMapType() >= 1;
    float side = dungeon ? 1.0f : 0.5f;
    float below = dungeon ? 5.0f : 0.5f;
    float above = dungeon ? 10.0f : 3.0f;
    t->minX = fminf(t->x[0], fminf(t->x[1], t->x[2])) - side;
    t->maxX = fmaxf(t->x[0], fmaxf(t->x[1], t->x[2])) + side;
    t->minY = fminf(t->y[0], fminf(t->y[1], t->y[2])) - below;
    t->maxY = fmaxf(t->y[0], fmaxf(t->y[1], t->y[2])) + above;
    t->minZ = fminf(t->z[0], fminf(t->z[1], t->z[2])) - side;
    t->maxZ = fmaxf(t->z[0], fmaxf(t->z[1], t->z[2])) + side;
    for (int k = 0; k < 3; ++k) {
        int n = (k + 1) % 3;
        t->ex[k] = t->x[n] - t->x[k];
        t->ey[k] = t->y[n] - t->y[k];
        t->ez[k] = t->z[n] - t->z[k];
    }
    // n = e1 x e0
    t->a = t->ey[1] * t->ez[0] - t->ez[1] * t->ey[0];
    t->b = t->ez[1] * t->ex[0] - t->ex[1] * t->ez[0];
    t->c = t->ex[1] * t->ey[0] - t->ey[1] * t->ex[0];
    t->d = -(t->a * t->x[0] + t->b * t->y[0] + t->c * t->z[0]);
    t->normalLengthSquared = t->a * t->a + t->b * t->b + t->c * t->c;
}

void buildBlockCollision(int32_t skip, int32_t faceCount, int32_t blockIndex) {
    if (skip != 0 || blockIndex < 0 || blockIndex >= MAP_BLOCK_COUNT) return;
    MapBlock& block = gMapBlocks[blockIndex];
    block.triangles.reset();
    block.triangleCount = 0;
    if (faceCount > COLLISION_STAGE_MAX) faceCount = COLLISION_STAGE_MAX;
    int32_t wanted = 0;
    for (int32_t f = 0; f < faceCount; ++f)
        if (gCollisionFaces[f].surface != SURFACE_NONE) ++wanted;
    if (wanted > MAP_BLOCK_TRIANGLE_MAX) {
        char message[128];
        snprintf(message, sizeof message, "collision block %d over %d", blockIndex, MAP_BLOCK_TRIANGLE_MAX);
        logLine("%s", message);
        showMessageBox(message, "error", MESSAGE_BOX_OK);
        wanted = MAP_BLOCK_TRIANGLE_MAX;
    }
    if (wanted == 0) return;
    block.triangles.reset(new (std::nothrow) CollisionTriangle[(size_t)wanted]);
    if (!block.triangles) {
        logLine("collision block %d: out of memory", blockIndex);
        return;
    }
    for (int32_t f = 0; f < faceCount && block.triangleCount < wanted; ++f) {
        const CollisionFace& face = gCollisionFaces[f];
        if (face.surface == SURFACE_NONE) continue;
        CollisionTriangle& t = block.triangles[block.triangleCount++];
        setCollisionTriangle(&t, face.vertex[0], face.vertex[1], face.vertex[2]);
        t.surface = face.surface;
    }
    block.minX = block.maxX = block.triangles[0].x[0];
    block.minZ = block.maxZ = block.triangles[0].z[0];
    for (int32_t i = 0; i < block.triangleCount; ++i) {
        const CollisionTriangle& t = block.triangles[i];
        for (int k = 0; k < 3; ++k) {
            block.minX = fminf(block.minX, t.x[k]);
            block.maxX = fmaxf(block.maxX, t.x[k]);
            block.minZ = fminf(block.minZ, t.z[k]);
            block.maxZ = fmaxf(block.maxZ, t.z[k]);
        }
    }
}

int32_t mapCellOf(float v) {
    float cell = (v - 20.0f) / -MAP_CELL_SIZE;
    if (!(cell > 0.0f)) return 0;
    if (cell >= 14.0f) return 14;
    return (int32_t)cell;
}

namespace {

// One block to test and where the query point lies in its space.
struct Candidate {
    int32_t block;
    float x, y, z;       // local point
    float dx, dy, dz;    // local direction (segment cast)
    float base;          // added to heights: the scripted object's y
    bool moves;          // the main block or furniture: moved by the ground query's retry
    bool anyCode;        // a shop piece after the first: the segment tests every code
    int32_t turns;       // the map cell's quarter turns that took the point here
    float yaw;           // the placed slot's angle that took the point here
};

constexpr int32_t CANDIDATE_MAX = 1 + BREAKABLE_OBJECT_MAX;

struct Query {
    float x, y, z;       // the point after the cell step
    float dx, dy, dz;
    Candidate candidates[CANDIDATE_MAX];
    int32_t count;
};

void unturnCell(int32_t rotation, float* x, float* z) {
    float px = *x;
    float pz = *z;
    switch (rotation) {
    case 1: *x = pz; *z = -px; break;
    case 2: *x = -px; *z = -pz; break;
    case 3: *x = -pz; *z = px; break;
    default: break;
    }
}

// Turns (x, z) about y by -angle, as the y rotation of the math library does.
void turnBack(float angle, float* x, float* z) {
    Vector3 v = vec3TransformNormal(Vector3{*x, 0.0f, *z}, matrixRotationY(-angle));
    *x = v.x;
    *z = v.z;
}

bool blockUsable(int32_t block) { return block >= 0 && block < MAP_BLOCK_COUNT; }
int32_t slotOf(int32_t block) { return block >= 0 && block < PLACED_SLOT_COUNT ? block : 0; }

// Adds the next candidate; one that is not tested (no usable block) still
// takes its number, so candidate numbers stay 0 for the main block or first
// piece and 1 + k for scripted object k.
Candidate& addCandidate(Query& q, int32_t block) {
    Candidate& c = q.candidates[q.count++];
    c = Candidate{blockUsable(block) ? block : -1, q.x, q.y, q.z, q.dx, q.dy, q.dz, 0.0f, false, false, 0, 0.0f};
    return c;
}

// The local point (and direction): less the origin, then turned back by the
// slot's angle (the segment cast leaves an angle of 0 alone).
void placeCandidate(Candidate& c, const float* origin, int32_t slot, bool segment) {
    c.x -= origin[0];
    c.y -= origin[1];
    c.z -= origin[2];
    float angle = gPlacedBlocks.yaw[slot];
    c.yaw = angle;
    if (segment && angle == 0.0f) return;
    turnBack(angle, &c.x, &c.z);
    if (segment) turnBack(angle, &c.dx, &c.dz);
}

// The candidates in the order the queries test them; false when the point
// lies beyond every floor.
bool gatherCandidates(Query& q, bool segment) {
    if (!(fabsf(q.x) < QUERY_RANGE && fabsf(q.y) < QUERY_RANGE && fabsf(q.z) < QUERY_RANGE)) return false;
    q.count = 0;
    if (currentMapType() == 0) {
        int32_t countA = gPlacedBlocks.countA < PLACED_GROUP_A_MAX ? gPlacedBlocks.countA : PLACED_GROUP_A_MAX;
        int32_t countB = gPlacedBlocks.countB < PLACED_GROUP_B_MAX ? gPlacedBlocks.countB : PLACED_GROUP_B_MAX;
        for (int32_t i = 0; i < countA + countB; ++i) {
            int32_t slot = i < countA ? i : PLACED_GROUP_B_FIRST + (i - countA);
            Candidate& c = addCandidate(q, gPlacedBlocks.blockId[slot]);
            c.moves = true;
            c.anyCode = i > 0;
            placeCandidate(c, gPlacedBlocks.position[slot], slot, segment);
        }
        return true;
    }
    const MapCell* cell = &gFloorGrid.mapGrid[mapCellOf(q.z)][mapCellOf(q.x)];
    int32_t turns = 0;
    if (gFloorGrid.singleBlockFloor) {
        cell = &gFloorGrid.mapGrid[1][1];
    } else {
        turns = cell->rotation;
        if (segment) {
            q.x -= MAP_CELL_SIZE * (float)((int32_t)q.x / 40);
            q.z -= MAP_CELL_SIZE * (float)((int32_t)q.z / 40);
        }
        while (q.x > 20.0f) q.x -= MAP_CELL_SIZE;
        while (q.x < -20.0f) q.x += MAP_CELL_SIZE;
        while (q.z > 20.0f) q.z -= MAP_CELL_SIZE;
        while (q.z < -20.0f) q.z += MAP_CELL_SIZE;
        unturnCell(cell->rotation, &q.x, &q.z);
        if (segment) unturnCell(cell->rotation, &q.dx, &q.dz);
    }
    Candidate& main = addCandidate(q, cell->blockId);
    main.moves = true;
    main.turns = turns;
    int32_t mainSlot = slotOf(cell->blockId);
    placeCandidate(main, gPlacedBlocks.position[mainSlot], mainSlot, segment);
    if (gFloorGrid.singleBlockFloor) {
        main.x += MAP_CELL_SIZE;
        main.z += MAP_CELL_SIZE;
    }
    const BreakableObjects& objects = gBreakableObjects;
    int32_t count = objects.count < BREAKABLE_OBJECT_MAX ? objects.count : BREAKABLE_OBJECT_MAX;
    for (int32_t i = 0; i < count; ++i) {
        const float* p = objects.position[i];
        bool near = count <= 10 || (fabsf(q.x - p[0]) <= 3.0f && fabsf(q.z - p[2]) <= 3.0f);
        Candidate& c = addCandidate(q, objects.alive[i] && near ? objects.blockId[i] : -1);
        c.turns = turns;
        c.base = p[1];
        placeCandidate(c, p, slotOf(objects.blockId[i]), segment);
    }
    return true;
}

bool insideXZ(const CollisionTriangle& t, float lx, float lz) {
    for (int k = 0; k < 3; ++k)
        if ((lz - t.z[k]) * t.ex[k] - (lx - t.x[k]) * t.ez[k] < 0.0f) return false;
    return true;
}

struct GroundResult {
    float best;
    int32_t block;
    int32_t triangle;
    int32_t candidate;
    int32_t floorFlag;
    float surfaceHeight;
    bool surfaceWritten;
};

void searchGround(const Query& q, float shift, GroundResult* out) {
    out->best = GROUND_NONE;
    out->floorFlag = 0;
    for (int32_t n = 0; n < q.count; ++n) {
        const Candidate& c = q.candidates[n];
        if (c.block < 0) continue;
        const MapBlock& block = gMapBlocks[c.block];
        float lx = c.x + (c.moves ? shift : 0.0f);
        float lz = c.z + (c.moves ? shift : 0.0f);
        float ly = c.y;
        float probe = ly + 1.5f;
        if (block.triangleCount == 0 || !(lx >= block.minX && lx <= block.maxX && lz >= block.minZ && lz <= block.maxZ))
            continue;
        for (int32_t i = 0; i < block.triangleCount; ++i) {
            const CollisionTriangle& t = block.triangles[i];
            if (!(lx >= t.minX && lx <= t.maxX && probe >= t.minY && probe <= t.maxY && lz >= t.minZ && lz <= t.maxZ))
                continue;
            int32_t code = t.surface;
            if (code >= SURFACE_TREE1) continue;
            if (code == SURFACE_INVISIBLE_WALL && !gFloorGrid.invisibleWallsOn) continue;
            if (code == SURFACE_WATER || code == SURFACE_SNOW) {
                if (t.a * lx + t.b * (probe + 1.5f) + t.c * lz + t.d > 0.0f && insideXZ(t, lx, lz)) {
                    if (t.b != 0.0f) {
                        out->surfaceHeight = -(t.a * lx + t.c * lz + t.d) / t.b;
                        out->surfaceWritten = true;
                        if (code == SURFACE_WATER && ly < out->surfaceHeight) out->floorFlag = 1;
                    }
                    if (code == SURFACE_SNOW) out->floorFlag = 2;
                }
                continue;
            }
            if (t.a * lx + t.b * probe + t.c * lz + t.d > 0.0f && insideXZ(t, lx, lz) && t.b != 0.0f) {
                float h = c.base - (t.a * lx + t.c * lz + t.d) / t.b;
                if (h > out->best) {
                    out->best = h;
                    out->block = c.block;
                    out->triangle = i;
                    out->candidate = n;
                }
            }
        }
    }
}

void writePlane(const CollisionTriangle& t, CollisionHit* hit) {
    float length = sqrtf(t.a * t.a + t.b * t.b + t.c * t.c);
    hit->normalX = -t.a / length;
    hit->normalY = t.b / length;
    hit->normalZ = -t.c / length;
    hit->a = t.a;
    hit->b = t.b;
    hit->c = t.c;
    hit->d = t.d;
}

}  // namespace

int32_t findGroundUnder(float x, float y, float z, CollisionHit* hit) {
    Query q = {};
    q.x = x;
    q.y = y;
    q.z = z;
    if (!gatherCandidates(q, false)) return 0;
    GroundResult result = {};
    searchGround(q, 0.0f, &result);
    if (!(result.best > GROUND_NONE)) searchGround(q, 0.001f, &result);
    hit->floorFlag = result.floorFlag;
    if (result.surfaceWritten) hit->surfaceHeight = result.surfaceHeight;
    if (!(result.best > GROUND_NONE)) return 0;
    const CollisionTriangle& t = gMapBlocks[result.block].triangles[result.triangle];
    hit->floorHeight = result.best;
    hit->triangle = result.triangle;
    hit->block = result.block;
    const Candidate& found = q.candidates[result.candidate];
    hit->localX = found.x;
    hit->localZ = found.z;
    hit->cellTurns = found.turns;
    hit->slotYaw = found.yaw;
    writePlane(t, hit);
    return 1;
}

void hitDirectionToBlock(const CollisionHit& hit, float* x, float* z) {
    unturnCell(hit.cellTurns & 3, x, z);
    turnBack(hit.slotYaw, x, z);
}

void hitDirectionToWorld(const CollisionHit& hit, float* x, float* z) {
    turnBack(-hit.slotYaw, x, z);
    unturnCell((4 - (hit.cellTurns & 3)) & 3, x, z);
}

int32_t castMapSegment(float x, float y, float z, float dx, float dy, float dz, float* t, CollisionHit* hit) {
    Query q = {};
    q.x = x;
    q.y = y;
    q.z = z;
    q.dx = dx;
    q.dy = dy;
    q.dz = dz;
    if (!(fabsf(dx) < QUERY_RANGE && fabsf(dy) < QUERY_RANGE && fabsf(dz) < QUERY_RANGE)) return 0;
    if (!gatherCandidates(q, true)) return 0;
    float best = 1000.0f;
    int32_t bestBlock = -1;
    int32_t bestTriangle = -1;
    int32_t bestCandidate = -1;
    for (int32_t n = 0; n < q.count; ++n) {
        const Candidate& c = q.candidates[n];
        if (c.block < 0) continue;
        const MapBlock& block = gMapBlocks[c.block];
        float boxMinX = c.x - fabsf(c.dx), boxMaxX = c.x + fabsf(c.dx);
        float boxMinY = c.y - fabsf(c.dy), boxMaxY = c.y + fabsf(c.dy);
        float boxMinZ = c.z - fabsf(c.dz), boxMaxZ = c.z + fabsf(c.dz);
        if (block.triangleCount == 0 || boxMaxX < block.minX || boxMinX > block.maxX || boxMaxZ < block.minZ ||
            boxMinZ > block.maxZ)
            continue;
        for (int32_t i = 0; i < block.triangleCount; ++i) {
            const CollisionTriangle& tri = block.triangles[i];
            int32_t code = tri.surface;
            if (code == SURFACE_INVISIBLE_WALL && !gFloorGrid.invisibleWallsOn) continue;
            if (boxMaxX < tri.minX || boxMinX > tri.maxX || boxMaxY < tri.minY || boxMinY > tri.maxY ||
                boxMaxZ < tri.minZ || boxMinZ > tri.maxZ)
                continue;
            if (!c.anyCode && (code == SURFACE_WATER || code == SURFACE_SNOW || code >= SURFACE_TREE1)) continue;
            float s = tri.a * c.x + tri.b * c.y + tri.c * c.z + tri.d;
            float toward = tri.a * c.dx + tri.b * c.dy + tri.c * c.dz;
            if (!(s >= 0.0f) || !(toward < 0.0f)) continue;
            bool inside = true;
            for (int k = 0; k < 3 && inside; ++k) {
                // (l - v_k) . (d x e_k)
                float px = c.x - tri.x[k], py = c.y - tri.y[k], pz = c.z - tri.z[k];
                float cx = c.dy * tri.ez[k] - c.dz * tri.ey[k];
                float cy = c.dz * tri.ex[k] - c.dx * tri.ez[k];
                float cz = c.dx * tri.ey[k] - c.dy * tri.ex[k];
                inside = px * cx + py * cy + pz * cz >= 0.0f;
            }
            if (!inside) continue;
            float along = -s / toward;
            if (along <= 1.0f && along < best) {
                best = along;
                bestBlock = c.block;
                bestTriangle = i;
                bestCandidate = n;
            }
        }
    }
    if (bestBlock < 0) return 0;
    *t = best;
    hit->triangle = bestTriangle;
    hit->block = bestBlock;
    hit->candidate = bestCandidate;
    writePlane(gMapBlocks[bestBlock].triangles[bestTriangle], hit);
    return 1;
}

void placeBlockDecorations() {
    int32_t rows = gFloorGrid.roomsY < MAP_GRID_SIZE ? gFloorGrid.roomsY : MAP_GRID_SIZE;
    int32_t columns = gFloorGrid.roomsX < MAP_GRID_SIZE ? gFloorGrid.roomsX : MAP_GRID_SIZE;
    for (int32_t r = 0; r < rows; ++r)
        for (int32_t c = 0; c < columns; ++c) {
            const MapCell& cell = gFloorGrid.mapGrid[r][c];
            if (!blockUsable(cell.blockId)) continue;
            const MapBlock& block = gMapBlocks[cell.blockId];
            for (int32_t i = 0; i < block.triangleCount; ++i) {
                const CollisionTriangle& t = block.triangles[i];
                int32_t code = t.surface;
                if (code < SURFACE_TREE1 || code > SURFACE_TORCH) continue;
                int32_t low = t.y[0] < t.y[1] && t.y[0] < t.y[2] ? 0 : (t.y[1] < t.y[0] && t.y[1] < t.y[2] ? 1 : 2);
                int32_t a = low == 0 ? 1 : 0;
                int32_t b = low == 2 ? 1 : 2;
                float along = 0.0f;
                CollisionHit hit = {};
                float height = castMapSegment(-t.x[low], 20.0f, t.z[low], 0.0f, -1000.0f, 0.0f, &along, &hit)
                                   ? 20.0f - 1000.0f * along
                                   : 10.0f;
                float heading = atan2f(t.x[a] - t.x[b], t.z[a] - t.z[b]);
                Vector3 position = vec3TransformCoord(Vector3{-t.x[low], 0.0f, t.z[low]},
                                                      matrixRotationY((float)cell.rotation * PI / 2.0f));
                position.x = -position.x - MAP_CELL_SIZE * (float)c;
                position.z = position.z - MAP_CELL_SIZE * (float)r;
                position.y = height;
                float dxAB = t.x[b] - t.x[a];
                float dzAB = t.z[b] - t.z[a];
                float w = 5.0f * sqrtf(dxAB * dxAB + dzAB * dzAB) / 12.0f;
                float h = 5.0f * (t.y[a] - t.y[low]) / 12.0f;
                Vector3 size = {w, h, w};
                if (code <= SURFACE_GRASS2) {
                    placeFloorObject(position, size, heading, code - SURFACE_TREE1);
                } else if (code == SURFACE_TORCH) {
                    placeFloorObject(position, Vector3{w * 5.0f, h * 5.0f, w * 5.0f}, heading, 8);
                }
            }
        }
}

const CollisionTriangle* hitTriangle(const CollisionHit& hit) {
    if (hit.block < 0 || hit.block >= MAP_BLOCK_COUNT) return nullptr;
    const MapBlock& block = gMapBlocks[hit.block];
    if (!block.triangles || hit.triangle < 0 || hit.triangle >= block.triangleCount) return nullptr;
    return &block.triangles[hit.triangle];
}

int32_t hitSurface(const CollisionHit& hit) {
    const CollisionTriangle* t = hitTriangle(hit);
    return t ? t->surface : -1;
}

int32_t getOrientationSign2D(float px, float pz, float ax, float az, float bx, float bz) {
    float v = (pz - az) * bx + (az - bz) * px + (bz - pz) * ax;
    if (!(fabsf(v) < 2.0e9f)) return v > 0.0f ? 1 : (v < 0.0f ? -1 : 0);
    int32_t whole = (int32_t)v;
    return whole > 0 ? 1 : (whole < 0 ? -1 : 0);
}

int32_t doSegmentsCross2D(const float a[4], const float b[4]) {
    if (fminf(a[0], a[2]) > fmaxf(b[0], b[2]) || fminf(b[0], b[2]) > fmaxf(a[0], a[2])) return 0;
    if (fminf(a[1], a[3]) > fmaxf(b[1], b[3]) || fminf(b[1], b[3]) > fmaxf(a[1], a[3])) return 0;
    int32_t b0 = getOrientationSign2D(b[0], b[1], a[0], a[1], a[2], a[3]);
    int32_t b1 = getOrientationSign2D(b[2], b[3], a[0], a[1], a[2], a[3]);
    if (b0 * b1 == 1) return 0;
    int32_t a0 = getOrientationSign2D(a[0], a[1], b[0], b[1], b[2], b[3]);
    int32_t a1 = getOrientationSign2D(a[2], a[3], b[0], b[1], b[2], b[3]);
    return a0 * a1 < 1 ? 1 : 0;
}
