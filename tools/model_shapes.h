// tools/model_shapes.h: small meshes built in code for tools/makemodels and
// the tests: boxes and flat quads with normals, texture coordinates and one
// material each, in the records the .x writer takes.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/xfile.h"

inline XFileMaterial shapeMaterial(const char* name, float r, float g, float b, const char* texture = "") {
    XFileMaterial m = {};
    snprintf(m.name, sizeof m.name, "%s", name);
    m.diffuse[0] = r;
    m.diffuse[1] = g;
    m.diffuse[2] = b;
    m.diffuse[3] = 1.0f;
    m.power = 8.0f;
    snprintf(m.texture, sizeof m.texture, "%s", texture);
    return m;
}

inline void identityMatrix(float m[16]) {
    for (int i = 0; i < 16; ++i) m[i] = i % 5 == 0 ? 1.0f : 0.0f;
}

inline int32_t addFrame(XFileScene& scene, const char* name, int32_t parent, float x = 0, float y = 0, float z = 0) {
    XFileFrame frame = {};
    snprintf(frame.name, sizeof frame.name, "%s", name);
    identityMatrix(frame.matrix);
    frame.matrix[12] = x;
    frame.matrix[13] = y;
    frame.matrix[14] = z;
    frame.parent = parent;
    frame.kind = XFILE_NODE_FRAME;
    frame.animation = -1;
    scene.frames.push_back(frame);
    return (int32_t)scene.frames.size() - 1;
}

// Appends a quad (two triangles) with its own four vertices, normal and
// texture corners, using material index `material` of the mesh.
inline void addQuad(XFileMesh& mesh, const float corners[4][3], const float normal[3], int32_t material) {
    int32_t base = (int32_t)(mesh.positions.size() / 3);
    int32_t normalIndex = (int32_t)(mesh.normals.size() / 3);
    static const float UV[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int i = 0; i < 4; ++i) {
        mesh.positions.insert(mesh.positions.end(), {corners[i][0], corners[i][1], corners[i][2]});
        mesh.texCoords.insert(mesh.texCoords.end(), {UV[i][0], UV[i][1]});
    }
    mesh.normals.insert(mesh.normals.end(), {normal[0], normal[1], normal[2]});
    const int32_t order[2][3] = {{0, 1, 2}, {0, 2, 3}};
    for (const auto& tri : order) {
        mesh.triangles.insert(mesh.triangles.end(), {base + tri[0], base + tri[1], base + tri[2]});
        mesh.triangleNormals.insert(mesh.triangleNormals.end(), {normalIndex, normalIndex, normalIndex});
        mesh.triangleFaces.push_back(mesh.faceCount++);
        mesh.triangleMaterials.push_back(material);
    }
}

// A box from lo to hi with outward normals, every face of material index
// `material`. The top face's winding is the one the map collision takes
// for a floor facing up.
inline void addBox(XFileMesh& mesh, const float lo[3], const float hi[3], int32_t material) {
    const float x0 = lo[0], y0 = lo[1], z0 = lo[2], x1 = hi[0], y1 = hi[1], z1 = hi[2];
    const float faces[6][4][3] = {
        {{x0, y1, z0}, {x0, y1, z1}, {x1, y1, z1}, {x1, y1, z0}},   // top
        {{x0, y0, z0}, {x1, y0, z0}, {x1, y0, z1}, {x0, y0, z1}},   // bottom
        {{x0, y0, z0}, {x0, y1, z0}, {x1, y1, z0}, {x1, y0, z0}},   // -z
        {{x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1}, {x0, y0, z1}},   // +z
        {{x0, y0, z1}, {x0, y1, z1}, {x0, y1, z0}, {x0, y0, z0}},   // -x
        {{x1, y0, z0}, {x1, y1, z0}, {x1, y1, z1}, {x1, y0, z1}},   // +x
    };
    const float normals[6][3] = {{0, 1, 0}, {0, -1, 0}, {0, 0, -1}, {0, 0, 1}, {-1, 0, 0}, {1, 0, 0}};
    for (int f = 0; f < 6; ++f) addQuad(mesh, faces[f], normals[f], material);
}

inline XFileMesh shapeMesh(const char* name, int32_t frame) {
    XFileMesh mesh = {};
    snprintf(mesh.name, sizeof mesh.name, "%s", name);
    mesh.frame = frame;
    return mesh;
}
