// engine/math.h: the shared 3D math types and operations.
// Row vectors multiplied on the left (v' = v × M), matrices row-major with the
// translation in elements 12..14, right-handed camera (view space looks down
// -z). Everything is computed in single precision. The functions are pure and
// may run on any thread.
#pragma once

// Every angle of the game is kept in single precision.
constexpr float PI = 3.14159265358979f;

struct Vector3 {
    float x, y, z;
};

struct Vector4 {
    float x, y, z, w;
};

// A rotation as x, y, z = axis × sin(angle / 2), w = cos(angle / 2).
struct Quaternion {
    float x, y, z, w;
};

// The points with a·x + b·y + c·z + d = 0.
struct Plane {
    float a, b, c, d;
};

struct Matrix4 {
    float m[16];
};

inline Matrix4 matrixIdentity() {
    return Matrix4{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
}

Vector3 vec3Add(const Vector3& a, const Vector3& b);
Vector3 vec3Subtract(const Vector3& a, const Vector3& b);
Vector3 vec3Scale(const Vector3& v, float s);
float vec3Dot(const Vector3& a, const Vector3& b);
Vector3 vec3Cross(const Vector3& a, const Vector3& b);
float vec3Length(const Vector3& v);
Vector3 vec3Normalize(const Vector3& v);   // the zero vector stays zero
Vector3 vec3Lerp(const Vector3& a, const Vector3& b, float t);
// v as a point (w = 1), divided by the resulting w.
Vector3 vec3TransformCoord(const Vector3& v, const Matrix4& m);
// v as a direction (w = 0): rotation and scale only, no translation.
Vector3 vec3TransformNormal(const Vector3& v, const Matrix4& m);

// a × b: a row vector goes through a first, then b.
Matrix4 matrixMultiply(const Matrix4& a, const Matrix4& b);
Matrix4 matrixTranspose(const Matrix4& m);
// False when m is singular (determinant 0); out is then left as it was.
// determinant may be null.
bool matrixInverse(const Matrix4& m, Matrix4* out, float* determinant);
Matrix4 matrixTranslation(float x, float y, float z);
Matrix4 matrixScaling(float x, float y, float z);
// Rotations by the right-hand rule about each axis (angles in radians):
// about y, +x turns toward -z; about x, +y toward +z; about z, +x toward +y.
Matrix4 matrixRotationX(float angle);
Matrix4 matrixRotationY(float angle);
Matrix4 matrixRotationZ(float angle);
// Roll about z first, then pitch about x, then yaw about y.
Matrix4 matrixRotationYawPitchRoll(float yaw, float pitch, float roll);
Matrix4 matrixRotationQuaternion(const Quaternion& q);
// The view from eye toward target: eye to the origin, target onto -z.
Matrix4 matrixLookAtRH(const Vector3& eye, const Vector3& target, const Vector3& up);
// Vertical field of view in radians, aspect = width / height; view depth -zn
// maps to 0 and -zf to 1 after the divide by w = -z.
Matrix4 matrixPerspectiveFovRH(float fovY, float aspect, float zn, float zf);
// Flattens geometry onto the plane along the light: a direction toward the
// light when light.w is 0, a point light's position when light.w is 1.
Matrix4 matrixShadow(const Vector4& light, const Plane& plane);

Quaternion quaternionRotationAxis(const Vector3& axis, float angle);
Quaternion quaternionNormalize(const Quaternion& q);   // the zero quaternion stays zero
// Spherical interpolation from a (t = 0) to b (t = 1) along the shorter arc.
Quaternion quaternionSlerp(const Quaternion& a, const Quaternion& b, float t);

Plane planeFromPointNormal(const Vector3& point, const Vector3& normal);
Plane planeNormalize(const Plane& p);   // unit normal; the zero normal stays zero
