#include "engine/math.h"

#include <cmath>

Vector3 vec3Add(const Vector3& a, const Vector3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }

Vector3 vec3Subtract(const Vector3& a, const Vector3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

Vector3 vec3Scale(const Vector3& v, float s) { return {v.x * s, v.y * s, v.z * s}; }

float vec3Dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vector3 vec3Cross(const Vector3& a, const Vector3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float vec3Length(const Vector3& v) { return std::sqrt(vec3Dot(v, v)); }

Vector3 vec3Normalize(const Vector3& v) {
    float length = vec3Length(v);
    if (length == 0.0f) return {0.0f, 0.0f, 0.0f};
    return {v.x / length, v.y / length, v.z / length};
}

Vector3 vec3Lerp(const Vector3& a, const Vector3& b, float t) {
    return {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), a.z + t * (b.z - a.z)};
}

Vector3 vec3TransformCoord(const Vector3& v, const Matrix4& m) {
    const float* e = m.m;
    float x = v.x * e[0] + v.y * e[4] + v.z * e[8] + e[12];
    float y = v.x * e[1] + v.y * e[5] + v.z * e[9] + e[13];
    float z = v.x * e[2] + v.y * e[6] + v.z * e[10] + e[14];
    float w = v.x * e[3] + v.y * e[7] + v.z * e[11] + e[15];
    return {x / w, y / w, z / w};
}

Vector3 vec3TransformNormal(const Vector3& v, const Matrix4& m) {
    const float* e = m.m;
    return {v.x * e[0] + v.y * e[4] + v.z * e[8], v.x * e[1] + v.y * e[5] + v.z * e[9],
            v.x * e[2] + v.y * e[6] + v.z * e[10]};
}

Matrix4 matrixMultiply(const Matrix4& a, const Matrix4& b) {
    Matrix4 r;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            r.m[row * 4 + col] = a.m[row * 4 + 0] * b.m[0 * 4 + col] + a.m[row * 4 + 1] * b.m[1 * 4 + col] +
                                 a.m[row * 4 + 2] * b.m[2 * 4 + col] + a.m[row * 4 + 3] * b.m[3 * 4 + col];
        }
    }
    return r;
}

Matrix4 matrixTranspose(const Matrix4& m) {
    Matrix4 r;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) r.m[col * 4 + row] = m.m[row * 4 + col];
    return r;
}

// Cofactors through the 2 × 2 minors of the top two and the bottom two rows.
bool matrixInverse(const Matrix4& m, Matrix4* out, float* determinant) {
    const float* e = m.m;
    float s0 = e[0] * e[5] - e[4] * e[1];
    float s1 = e[0] * e[6] - e[4] * e[2];
    float s2 = e[0] * e[7] - e[4] * e[3];
    float s3 = e[1] * e[6] - e[5] * e[2];
    float s4 = e[1] * e[7] - e[5] * e[3];
    float s5 = e[2] * e[7] - e[6] * e[3];
    float c5 = e[10] * e[15] - e[14] * e[11];
    float c4 = e[9] * e[15] - e[13] * e[11];
    float c3 = e[9] * e[14] - e[13] * e[10];
    float c2 = e[8] * e[15] - e[12] * e[11];
    float c1 = e[8] * e[14] - e[12] * e[10];
    float c0 = e[8] * e[13] - e[12] * e[9];
    float det = s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0;
    if (determinant) *determinant = det;
    if (det == 0.0f) return false;
    float k = 1.0f / det;
    Matrix4 r;
    r.m[0] = (e[5] * c5 - e[6] * c4 + e[7] * c3) * k;
    r.m[1] = (-e[1] * c5 + e[2] * c4 - e[3] * c3) * k;
    r.m[2] = (e[13] * s5 - e[14] * s4 + e[15] * s3) * k;
    r.m[3] = (-e[9] * s5 + e[10] * s4 - e[11] * s3) * k;
    r.m[4] = (-e[4] * c5 + e[6] * c2 - e[7] * c1) * k;
    r.m[5] = (e[0] * c5 - e[2] * c2 + e[3] * c1) * k;
    r.m[6] = (-e[12] * s5 + e[14] * s2 - e[15] * s1) * k;
    r.m[7] = (e[8] * s5 - e[10] * s2 + e[11] * s1) * k;
    r.m[8] = (e[4] * c4 - e[5] * c2 + e[7] * c0) * k;
    r.m[9] = (-e[0] * c4 + e[1] * c2 - e[3] * c0) * k;
    r.m[10] = (e[12] * s4 - e[13] * s2 + e[15] * s0) * k;
    r.m[11] = (-e[8] * s4 + e[9] * s2 - e[11] * s0) * k;
    r.m[12] = (-e[4] * c3 + e[5] * c1 - e[6] * c0) * k;
    r.m[13] = (e[0] * c3 - e[1] * c1 + e[2] * c0) * k;
    r.m[14] = (-e[12] * s3 + e[13] * s1 - e[14] * s0) * k;
    r.m[15] = (e[8] * s3 - e[9] * s1 + e[10] * s0) * k;
    *out = r;
    return true;
}

Matrix4 matrixTranslation(float x, float y, float z) {
    Matrix4 r = matrixIdentity();
    r.m[12] = x;
    r.m[13] = y;
    r.m[14] = z;
    return r;
}

Matrix4 matrixScaling(float x, float y, float z) {
    Matrix4 r = matrixIdentity();
    r.m[0] = x;
    r.m[5] = y;
    r.m[10] = z;
    return r;
}

Matrix4 matrixRotationX(float angle) {
    float c = std::cos(angle);
    float s = std::sin(angle);
    Matrix4 r = matrixIdentity();
    r.m[5] = c;
    r.m[6] = s;
    r.m[9] = -s;
    r.m[10] = c;
    return r;
}

Matrix4 matrixRotationY(float angle) {
    float c = std::cos(angle);
    float s = std::sin(angle);
    Matrix4 r = matrixIdentity();
    r.m[0] = c;
    r.m[2] = -s;
    r.m[8] = s;
    r.m[10] = c;
    return r;
}

Matrix4 matrixRotationZ(float angle) {
    float c = std::cos(angle);
    float s = std::sin(angle);
    Matrix4 r = matrixIdentity();
    r.m[0] = c;
    r.m[1] = s;
    r.m[4] = -s;
    r.m[5] = c;
    return r;
}

Matrix4 matrixRotationYawPitchRoll(float yaw, float pitch, float roll) {
    return matrixMultiply(matrixMultiply(matrixRotationZ(roll), matrixRotationX(pitch)), matrixRotationY(yaw));
}

Matrix4 matrixRotationQuaternion(const Quaternion& q) {
    float xx = q.x * q.x, yy = q.y * q.y, zz = q.z * q.z;
    float xy = q.x * q.y, xz = q.x * q.z, yz = q.y * q.z;
    float wx = q.w * q.x, wy = q.w * q.y, wz = q.w * q.z;
    Matrix4 r = matrixIdentity();
    r.m[0] = 1.0f - 2.0f * (yy + zz);
    r.m[1] = 2.0f * (xy + wz);
    r.m[2] = 2.0f * (xz - wy);
    r.m[4] = 2.0f * (xy - wz);
    r.m[5] = 1.0f - 2.0f * (xx + zz);
    r.m[6] = 2.0f * (yz + wx);
    r.m[8] = 2.0f * (xz + wy);
    r.m[9] = 2.0f * (yz - wx);
    r.m[10] = 1.0f - 2.0f * (xx + yy);
    return r;
}

Matrix4 matrixLookAtRH(const Vector3& eye, const Vector3& target, const Vector3& up) {
    Vector3 back = vec3Normalize(vec3Subtract(eye, target));   // view +z points away from the target
    Vector3 right = vec3Normalize(vec3Cross(up, back));
    Vector3 upward = vec3Cross(back, right);
    return Matrix4{{right.x, upward.x, back.x, 0.0f,
                    right.y, upward.y, back.y, 0.0f,
                    right.z, upward.z, back.z, 0.0f,
                    -vec3Dot(right, eye), -vec3Dot(upward, eye), -vec3Dot(back, eye), 1.0f}};
}

Matrix4 matrixPerspectiveFovRH(float fovY, float aspect, float zn, float zf) {
    float yScale = 1.0f / std::tan(fovY / 2.0f);
    float xScale = yScale / aspect;
    return Matrix4{{xScale, 0.0f, 0.0f, 0.0f,
                    0.0f, yScale, 0.0f, 0.0f,
                    0.0f, 0.0f, zf / (zn - zf), -1.0f,
                    0.0f, 0.0f, zn * zf / (zn - zf), 0.0f}};
}

// With the plane P normalised and k = P · L, v maps to k·v - (P · v)·L, which
// lies on the plane: P · (k·v - (P · v)·L) = k (P · v) - (P · v) k = 0.
Matrix4 matrixShadow(const Vector4& light, const Plane& plane) {
    Plane p = planeNormalize(plane);
    float k = p.a * light.x + p.b * light.y + p.c * light.z + p.d * light.w;
    const float pv[4] = {p.a, p.b, p.c, p.d};
    const float lv[4] = {light.x, light.y, light.z, light.w};
    Matrix4 r;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) r.m[row * 4 + col] = (row == col ? k : 0.0f) - pv[row] * lv[col];
    return r;
}

Quaternion quaternionRotationAxis(const Vector3& axis, float angle) {
    Vector3 n = vec3Normalize(axis);
    float s = std::sin(angle / 2.0f);
    return {n.x * s, n.y * s, n.z * s, std::cos(angle / 2.0f)};
}

Quaternion quaternionNormalize(const Quaternion& q) {
    float length = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    if (length == 0.0f) return {0.0f, 0.0f, 0.0f, 0.0f};
    return {q.x / length, q.y / length, q.z / length, q.w / length};
}

Quaternion quaternionSlerp(const Quaternion& a, const Quaternion& b, float t) {
    float cosAngle = a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
    // q and -q are the same rotation: turn b round to take the shorter arc.
    float sign = 1.0f;
    if (cosAngle < 0.0f) {
        cosAngle = -cosAngle;
        sign = -1.0f;
    }
    float wa, wb;
    if (1.0f - cosAngle > 0.001f) {
        float angle = std::acos(cosAngle);
        float sinAngle = std::sin(angle);
        wa = std::sin((1.0f - t) * angle) / sinAngle;
        wb = sign * std::sin(t * angle) / sinAngle;
    } else {
        // Nearly equal: the arc is a straight line to float precision.
        wa = 1.0f - t;
        wb = sign * t;
    }
    return {wa * a.x + wb * b.x, wa * a.y + wb * b.y, wa * a.z + wb * b.z, wa * a.w + wb * b.w};
}

Plane planeFromPointNormal(const Vector3& point, const Vector3& normal) {
    return {normal.x, normal.y, normal.z, -vec3Dot(point, normal)};
}

Plane planeNormalize(const Plane& p) {
    float length = std::sqrt(p.a * p.a + p.b * p.b + p.c * p.c);
    if (length == 0.0f) return {0.0f, 0.0f, 0.0f, 0.0f};
    return {p.a / length, p.b / length, p.c / length, p.d / length};
}
