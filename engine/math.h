// engine/math.h: the shared 3D math types (row vectors, row-major matrices,
// translation in elements 12..14, right-handed camera).
#pragma once

struct Vector3 {
    float x, y, z;
};

struct Vector4 {
    float x, y, z, w;
};

struct Matrix4 {
    float m[16];
};

inline Matrix4 matrixIdentity() {
    return Matrix4{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
}
