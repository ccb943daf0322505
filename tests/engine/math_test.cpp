// The shared 3D math: known matrices, rotations of unit vectors, inverses,
// interpolation of rotations, the planar shadow and the homogeneous divide.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "engine/math.h"


static std::string matrixText(const Matrix4& m) {
    std::string s;
    for (int i = 0; i < 16; ++i) s += std::to_string(m.m[i]) + (i % 4 == 3 ? "\n" : " ");
    return s;
}

static void expectMatrixNear(const Matrix4& got, const Matrix4& want, float tolerance, const std::string& what) {
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(got.m[i], want.m[i], tolerance) << what << ": element " << i << "\ngot\n"
                                                    << matrixText(got) << "want\n" << matrixText(want);
}

static void expectVectorNear(const Vector3& got, const Vector3& want, float tolerance, const std::string& what) {
    EXPECT_NEAR(got.x, want.x, tolerance) << what << ": x";
    EXPECT_NEAR(got.y, want.y, tolerance) << what << ": y";
    EXPECT_NEAR(got.z, want.z, tolerance) << what << ": z";
}

TEST(MathCamera, LookAtOfTheOverlayCamera) {
    // From (0, 0, -550) toward the origin: world +x is the view's -x.
    Matrix4 view = matrixLookAtRH({0, 0, -550}, {0, 0, 0}, {0, 1, 0});
    Matrix4 want = {{-1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, -550, 1}};
    expectMatrixNear(view, want, 1e-6f, "overlay camera");
}

struct LookAtCase {
    Vector3 eye, target;
};
const LookAtCase LOOK_AT_CASES[] = {
    {{0, 180, -45}, {0, 0, 0}},      // the default field camera
    {{3, 5, 14}, {3, 3.2f, 0}},      // behind and above a character
    {{-40, 12, -24}, {-40, 6, -40}},
    {{10, 0, 10}, {-5, 0, -5}},
};

TEST(MathCamera, LookAtPutsTheEyeAtTheOriginAndTheTargetAhead) {
    for (const LookAtCase& c : LOOK_AT_CASES) {
        std::string what = "eye " + std::to_string(c.eye.x) + "," + std::to_string(c.eye.y) + "," +
                           std::to_string(c.eye.z);
        Matrix4 view = matrixLookAtRH(c.eye, c.target, {0, 1, 0});
        float distance = vec3Length(vec3Subtract(c.target, c.eye));
        expectVectorNear(vec3TransformCoord(c.eye, view), {0, 0, 0}, 1e-4f, what + " eye");
        expectVectorNear(vec3TransformCoord(c.target, view), {0, 0, -distance}, 1e-4f, what + " target");
        // World up stays up on screen, and the view keeps lengths.
        Vector3 up = vec3TransformNormal({0, 1, 0}, view);
        EXPECT_NEAR(up.x, 0.0f, 1e-6f) << what;
        EXPECT_GT(up.y, 0.0f) << what;
        EXPECT_NEAR(vec3Length(vec3TransformNormal({1, 2, 3}, view)), vec3Length({1, 2, 3}), 1e-5f) << what;
    }
}

TEST(MathCamera, PerspectiveOfTheOverlayCamera) {
    Matrix4 p = matrixPerspectiveFovRH(PI / 4, 4.0f / 3.0f, 10, 20000);
    Matrix4 want = {{1.8106601f, 0, 0, 0, 0, 2.4142135f, 0, 0, 0, 0, -1.0005002f, -1, 0, 0, -10.005002f, 0}};
    expectMatrixNear(p, want, 1e-5f, "pi/4, 4:3, 10..20000");
    // The near plane maps to depth 0 and the far plane to 1.
    EXPECT_NEAR(vec3TransformCoord({0, 0, -10}, p).z, 0.0f, 1e-6f);
    EXPECT_NEAR(vec3TransformCoord({0, 0, -20000}, p).z, 1.0f, 1e-6f);
    // The top edge of the view at depth 100 maps to y = 1.
    float top = 100 * std::tan(PI / 8);
    EXPECT_NEAR(vec3TransformCoord({0, top, -100}, p).y, 1.0f, 1e-5f);
    EXPECT_NEAR(vec3TransformCoord({top * 4 / 3, 0, -100}, p).x, 1.0f, 1e-5f);
}

struct RotationCase {
    const char* name;
    Matrix4 (*rotate)(float);
    Vector3 from, to;   // by a quarter turn
};
const RotationCase ROTATION_CASES[] = {
    {"x turns y", matrixRotationX, {0, 1, 0}, {0, 0, 1}},
    {"x turns z", matrixRotationX, {0, 0, 1}, {0, -1, 0}},
    {"x keeps x", matrixRotationX, {1, 0, 0}, {1, 0, 0}},
    {"y turns x", matrixRotationY, {1, 0, 0}, {0, 0, -1}},
    {"y turns z", matrixRotationY, {0, 0, 1}, {1, 0, 0}},
    {"y keeps y", matrixRotationY, {0, 1, 0}, {0, 1, 0}},
    {"z turns x", matrixRotationZ, {1, 0, 0}, {0, 1, 0}},
    {"z turns y", matrixRotationZ, {0, 1, 0}, {-1, 0, 0}},
    {"z keeps z", matrixRotationZ, {0, 0, 1}, {0, 0, 1}},
};

TEST(MathRotation, QuarterTurnsOfUnitVectors) {
    for (const RotationCase& c : ROTATION_CASES) {
        expectVectorNear(vec3TransformNormal(c.from, c.rotate(PI / 2)), c.to, 1e-6f, c.name);
        // A quaternion about the same axis turns the same way.
        Vector3 axis = c.rotate == matrixRotationX   ? Vector3{1, 0, 0}
                       : c.rotate == matrixRotationY ? Vector3{0, 1, 0}
                                                     : Vector3{0, 0, 1};
        Matrix4 fromQuaternion = matrixRotationQuaternion(quaternionRotationAxis(axis, PI / 2));
        expectVectorNear(vec3TransformNormal(c.from, fromQuaternion), c.to, 1e-6f, std::string(c.name) + " (q)");
    }
}

TEST(MathRotation, QuaternionMatrixMatchesAxisRotation) {
    Vector3 axis = vec3Normalize({1, 2, -2});
    float angle = 0.7f;
    Matrix4 q = matrixRotationQuaternion(quaternionRotationAxis(axis, angle));
    // Rodrigues: v cos + (axis × v) sin + axis (axis · v)(1 - cos).
    Vector3 v = {0.3f, -1.2f, 2.0f};
    Vector3 want = vec3Add(vec3Add(vec3Scale(v, std::cos(angle)), vec3Scale(vec3Cross(axis, v), std::sin(angle))),
                           vec3Scale(axis, vec3Dot(axis, v) * (1 - std::cos(angle))));
    expectVectorNear(vec3TransformNormal(v, q), want, 1e-5f, "axis (1, 2, -2)");
    // An unnormalised axis gives the same rotation.
    expectMatrixNear(matrixRotationQuaternion(quaternionRotationAxis({2, 4, -4}, angle)), q, 1e-6f, "scaled axis");
}

TEST(MathRotation, YawPitchRollRollsThenPitchesThenYaws) {
    float yaw = 0.5f, pitch = -0.3f, roll = 1.1f;
    Matrix4 want = matrixMultiply(matrixMultiply(matrixRotationZ(roll), matrixRotationX(pitch)), matrixRotationY(yaw));
    expectMatrixNear(matrixRotationYawPitchRoll(yaw, pitch, roll), want, 1e-6f, "ypr");
    // A positive pitch alone turns +z down onto -y.
    expectVectorNear(vec3TransformNormal({0, 0, 1}, matrixRotationYawPitchRoll(0, PI / 2, 0)), {0, -1, 0}, 1e-6f,
                     "pitch");
}

TEST(MathMatrix, MultiplyAppliesTheLeftMatrixFirst) {
    Matrix4 scaleThenMove = matrixMultiply(matrixScaling(2, 3, 4), matrixTranslation(10, 20, 30));
    expectVectorNear(vec3TransformCoord({1, 1, 1}, scaleThenMove), {12, 23, 34}, 0, "scale, then move");
    Matrix4 moveThenScale = matrixMultiply(matrixTranslation(10, 20, 30), matrixScaling(2, 3, 4));
    expectVectorNear(vec3TransformCoord({1, 1, 1}, moveThenScale), {22, 63, 124}, 0, "move, then scale");
    EXPECT_FLOAT_EQ(moveThenScale.m[12], 20);   // translation lives in 12..14
    expectVectorNear(vec3TransformNormal({1, 1, 1}, moveThenScale), {2, 3, 4}, 0, "a direction does not move");
}

TEST(MathMatrix, TransposeSwapsRowsAndColumns) {
    Matrix4 m;
    for (int i = 0; i < 16; ++i) m.m[i] = (float)i;
    Matrix4 t = matrixTranspose(m);
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) EXPECT_EQ(t.m[row * 4 + col], (float)(col * 4 + row));
}

TEST(MathMatrix, InverseTimesMatrixIsIdentity) {
    const Matrix4 CASES[] = {
        matrixMultiply(matrixMultiply(matrixScaling(-0.2f, 0.2f, 0.2f), matrixRotationY(2.5f)),
                       matrixTranslation(-40, 6, 12)),
        matrixLookAtRH({3, 5, 14}, {3, 3.2f, 0}, {0, 1, 0}),
        matrixPerspectiveFovRH(PI / 4, 4.0f / 3.0f, 1, 350),
        matrixMultiply(matrixRotationYawPitchRoll(0.5f, -0.3f, 1.1f), matrixTranslation(1, -2, 3)),
        Matrix4{{2, 1, 0, 3, 0, 1, 4, 1, 5, 0, 1, 2, 1, 1, 1, 1}},
    };
    int index = 0;
    for (const Matrix4& m : CASES) {
        Matrix4 inverse;
        float det = 0;
        ASSERT_TRUE(matrixInverse(m, &inverse, &det)) << "case " << index;
        EXPECT_NE(det, 0.0f);
        expectMatrixNear(matrixMultiply(inverse, m), matrixIdentity(), 1e-4f, "inverse x m, case " + std::to_string(index));
        expectMatrixNear(matrixMultiply(m, inverse), matrixIdentity(), 1e-4f, "m x inverse, case " + std::to_string(index));
        ++index;
    }
}

TEST(MathMatrix, InverseReportsTheDeterminant) {
    Matrix4 inverse;
    float det = 0;
    ASSERT_TRUE(matrixInverse(matrixScaling(2, 3, 4), &inverse, &det));
    EXPECT_FLOAT_EQ(det, 24);
    expectMatrixNear(inverse, matrixScaling(0.5f, 1.0f / 3, 0.25f), 1e-7f, "scaling");
    EXPECT_TRUE(matrixInverse(matrixRotationZ(1), &inverse, nullptr));
}

TEST(MathMatrix, SingularMatrixHasNoInverseAndLeavesOutAlone) {
    // A directional shadow flattens everything: no way back.
    Matrix4 flat = matrixShadow({0, 1, 0, 0}, planeFromPointNormal({0, 0.2f, 0}, {0, 1, 0}));
    Matrix4 out = matrixTranslation(7, 8, 9);
    float det = 1;
    EXPECT_FALSE(matrixInverse(flat, &out, &det));
    EXPECT_EQ(det, 0.0f);
    expectMatrixNear(out, matrixTranslation(7, 8, 9), 0, "untouched");
}

TEST(MathVector, TransformCoordDividesByW) {
    Matrix4 m = matrixIdentity();
    m.m[3] = 0.5f;   // w = 0.5 x + 1
    m.m[12] = 4;
    expectVectorNear(vec3TransformCoord({2, 6, 8}, m), {3, 3, 4}, 1e-6f, "w = 2");
    expectVectorNear(vec3TransformCoord({0, 6, 8}, m), {4, 6, 8}, 1e-6f, "w = 1");
}

TEST(MathVector, LengthsCrossAndNormalise) {
    EXPECT_FLOAT_EQ(vec3Length({3, 4, 12}), 13);
    EXPECT_FLOAT_EQ(vec3Dot({1, 2, 3}, {4, -5, 6}), 12);
    expectVectorNear(vec3Cross({1, 0, 0}, {0, 1, 0}), {0, 0, 1}, 0, "x cross y");
    expectVectorNear(vec3Cross({0, 1, 0}, {1, 0, 0}), {0, 0, -1}, 0, "y cross x");
    expectVectorNear(vec3Normalize({0, -3, 4}), {0, -0.6f, 0.8f}, 1e-7f, "normalise");
    expectVectorNear(vec3Normalize({0, 0, 0}), {0, 0, 0}, 0, "zero stays zero");
    expectVectorNear(vec3Lerp({0, 10, -4}, {2, 20, 4}, 0.25f), {0.5f, 12.5f, -2}, 1e-6f, "lerp");
}

static float angleBetween(const Quaternion& a, const Quaternion& b) {
    float d = std::fabs(a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w);
    return 2 * std::acos(std::fmin(d, 1.0f));
}

TEST(MathQuaternion, SlerpEndpointsAndMidpoint) {
    Quaternion a = quaternionRotationAxis({0, 1, 0}, 0.2f);
    Quaternion b = quaternionRotationAxis({0, 1, 0}, 1.8f);
    Quaternion start = quaternionSlerp(a, b, 0);
    Quaternion end = quaternionSlerp(a, b, 1);
    Quaternion mid = quaternionSlerp(a, b, 0.5f);
    Quaternion want = quaternionRotationAxis({0, 1, 0}, 1.0f);
    EXPECT_NEAR(angleBetween(start, a), 0, 1e-3f);
    EXPECT_NEAR(angleBetween(end, b), 0, 1e-3f);
    EXPECT_NEAR(mid.y, want.y, 1e-6f);
    EXPECT_NEAR(mid.w, want.w, 1e-6f);
    // A quarter of the way covers a quarter of the angle, on the unit sphere.
    Quaternion quarter = quaternionSlerp(a, b, 0.25f);
    EXPECT_NEAR(angleBetween(a, quarter), 0.4f, 1e-4f);
    EXPECT_NEAR(quarter.x * quarter.x + quarter.y * quarter.y + quarter.z * quarter.z + quarter.w * quarter.w, 1,
                1e-6f);
}

TEST(MathQuaternion, SlerpTakesTheShorterArc) {
    // -b is the same rotation as b: the midpoint is the same rotation either way.
    Quaternion a = quaternionRotationAxis({1, 0, 0}, 0.0f);
    Quaternion b = quaternionRotationAxis({1, 0, 0}, 1.0f);
    Quaternion negB = {-b.x, -b.y, -b.z, -b.w};
    Matrix4 viaB = matrixRotationQuaternion(quaternionSlerp(a, b, 0.5f));
    Matrix4 viaNegB = matrixRotationQuaternion(quaternionSlerp(a, negB, 0.5f));
    expectMatrixNear(viaNegB, viaB, 1e-6f, "negated end");
    expectMatrixNear(viaB, matrixRotationX(0.5f), 1e-6f, "half of 1 radian");
    // Nearly equal rotations interpolate without dividing by a tiny sine.
    Quaternion c = quaternionRotationAxis({1, 0, 0}, 1e-4f);
    Quaternion close = quaternionSlerp(a, c, 0.5f);
    EXPECT_TRUE(std::isfinite(close.x) && std::isfinite(close.w));
    EXPECT_NEAR(close.x, std::sin(0.25e-4f), 1e-7f);
}

TEST(MathQuaternion, NormaliseGivesUnitLength) {
    Quaternion q = quaternionNormalize({0, 3, 0, 4});
    EXPECT_FLOAT_EQ(q.y, 0.6f);
    EXPECT_FLOAT_EQ(q.w, 0.8f);
    Quaternion zero = quaternionNormalize({0, 0, 0, 0});
    EXPECT_EQ(zero.w, 0.0f);
}

struct ShadowCase {
    const char* name;
    Vector4 light;
    Vector3 planePoint, planeNormal;
};
const ShadowCase SHADOW_CASES[] = {
    {"sun straight above, flat ground", {0, 1, 0, 0}, {0, 0.2f, 0}, {0, 1, 0}},
    {"sun at a slant", {0.5f, 1, -0.25f, 0}, {0, 0.2f, 0}, {0, 1, 0}},
    {"sloped ground, unnormalised normal", {0, 1, 0, 0}, {1, 2, 3}, {-0.3f, 2, 0.4f}},
    {"point light", {2, 30, -1, 1}, {0, 0, 0}, {0, 1, 0}},
};

TEST(MathShadow, ProjectsPointsOntoThePlaneAlongTheLight) {
    const Vector3 POINTS[] = {{0, 0, 0}, {3, 5, -2}, {-10, 1.5f, 7}};
    for (const ShadowCase& c : SHADOW_CASES) {
        Plane plane = planeFromPointNormal(c.planePoint, c.planeNormal);
        Matrix4 shadow = matrixShadow(c.light, plane);
        for (const Vector3& p : POINTS) {
            Vector3 s = vec3TransformCoord(p, shadow);
            float onPlane = plane.a * s.x + plane.b * s.y + plane.c * s.z + plane.d;
            EXPECT_NEAR(onPlane, 0.0f, 1e-4f) << c.name;
            // The shadow lies on the line through the point toward the light.
            Vector3 toLight = c.light.w == 0 ? Vector3{c.light.x, c.light.y, c.light.z}
                                             : vec3Subtract({c.light.x, c.light.y, c.light.z}, p);
            Vector3 offset = vec3Subtract(s, p);
            EXPECT_NEAR(vec3Length(vec3Cross(offset, toLight)), 0.0f, 1e-3f) << c.name;
        }
    }
    // The field's ground shadow: straight down onto y = 0.2.
    Matrix4 down = matrixShadow({0, 1, 0, 0}, planeFromPointNormal({0, 0.2f, 0}, {0, 1, 0}));
    expectVectorNear(vec3TransformCoord({3, 5, -2}, down), {3, 0.2f, -2}, 1e-6f, "straight down");
}

TEST(MathShadow, PlaneFromPointAndNormal) {
    Plane p = planeFromPointNormal({1, 2, 3}, {0, 2, 0});
    EXPECT_FLOAT_EQ(p.b, 2);
    EXPECT_FLOAT_EQ(p.d, -4);
    Plane n = planeNormalize(p);
    EXPECT_FLOAT_EQ(n.b, 1);
    EXPECT_FLOAT_EQ(n.d, -2);
}
