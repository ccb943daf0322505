// A collision room for the movement tests: quads given in world coordinates
// built into a map block through the collision reader, as a stage's map
// would be. Model x is world -x; model units are five world units.
#pragma once
#include <initializer_list>
#include <string>

#include "dungeon/dungeon.h"
#include "field/field.h"
#include "tools/model_shapes.h"
#include "tools/xfile_writer.h"

struct RoomQuad {
    float corners[4][3];   // world coordinates
    const char* material;  // "yuka" a floor, "gake" a cliff wall
};

// Builds the quads into block 0 and puts it in grid cell (0, 0); another
// block (a breakable object's) is only built. Walls go in both windings, so
// one of them faces any ray.
inline void buildCollisionRoom(std::initializer_list<RoomQuad> quads, int32_t block = 0) {
    XFileScene scene = {};
    int32_t root = addFrame(scene, "Root", -1);
    int32_t piece = addFrame(scene, "Piece", root);
    XFileMesh mesh = shapeMesh("m", piece);
    for (const RoomQuad& q : quads) {
        int32_t material = -1;
        for (size_t i = 0; i < mesh.materials.size(); ++i)
            if (std::string(mesh.materials[i].name) == q.material) material = static_cast<int32_t>(i);
        if (material < 0) {
            material = static_cast<int32_t>(mesh.materials.size());
            mesh.materials.push_back(shapeMaterial(q.material, 1, 1, 1));
        }
        float model[4][3];
        float reversed[4][3];
        for (int32_t i = 0; i < 4; i++) {
            model[i][0] = -q.corners[i][0] * 5.0f;
            model[i][1] = q.corners[i][1] * 5.0f;
            model[i][2] = q.corners[i][2] * 5.0f;
        }
        for (int32_t i = 0; i < 4; i++)
            for (int32_t k = 0; k < 3; k++) reversed[i][k] = model[3 - i][k];
        const float up[3] = {0, 1, 0};
        addQuad(mesh, model, up, material);
        if (std::string(q.material) != "yuka") addQuad(mesh, reversed, up, material);
    }
    scene.meshes.push_back(mesh);
    std::string text = xfileWriteText(scene);
    loadCollisionText(text.data(), static_cast<int32_t>(text.size()), "room.x", block);
    if (block == 0) gFloorGrid.mapGrid[0][0].blockId = 0;
}

// A flat floor at height 0 around the origin.
constexpr RoomQuad FLAT_FLOOR = {{{20, 0, -20}, {20, 0, 20}, {-20, 0, 20}, {-20, 0, -20}}, "yuka"};
