#include "engine/screen_mapping.h"

#include <cmath>
#include <numbers>

#include "engine/device.h"

ScreenMapping gScreenMapping;
Matrix4 gYawMatrix = matrixIdentity();
Matrix4 gBillboardMatrix = matrixIdentity();

// The integer part toward zero, held to the int range (NaN counts as 0).
static int32_t wholePart(float value) {
    if (!(value > -2147483648.0f)) return value < 0.0f ? INT32_MIN : 0;
    if (value >= 2147483648.0f) return INT32_MAX;
    return (int32_t)value;
}

void setupScreenCamera() {
    const float pi = std::numbers::pi_v<float>;
    const Vector3 eye = {0.0f, 0.0f, -550.0f};
    const Vector3 target = {0.0f, 0.0f, 0.0f};
    float dx = eye.x - target.x;
    float dz = eye.z - target.z;
    float yaw = std::atan2(dx, dz) + pi;
    float distance = std::sqrt(dx * dx + dz * dz);
    gYawMatrix = distance != 0.0f ? matrixRotationX(pi / 2.0f - std::atan2(distance, eye.y - target.y))
                                  : matrixIdentity();
    gBillboardMatrix = matrixMultiply(gYawMatrix, matrixRotationY(yaw));

    // The mapping keeps the field camera; the overlay camera goes only to the device.
    cacheViewProjection();

    Matrix4 projection = matrixPerspectiveFovRH(pi / 4.0f, 4.0f / 3.0f, 10.0f, 20000.0f);
    Matrix4 view = matrixLookAtRH(eye, target, Vector3{0.0f, 1.0f, 0.0f});
    if (gGfxDevice) {
        gGfxDevice->setTransform(GFX_TS_PROJECTION, projection.m);
        gGfxDevice->setTransform(GFX_TS_VIEW, view.m);
    }
}

void cacheViewProjection() {
    ScreenMapping& s = gScreenMapping;
    s.projection = gCamera.projection;
    s.view = gCamera.view;
    s.centreX = 320.0f;
    s.centreY = 240.0f;
    s.scaleX = 1.0f;
    s.scaleY = 1.0f;
    const float* p = s.projection.m;
    s.kx = p[0] * 320.0f / p[11];
    s.ky = p[5] * -240.0f / p[11];
}

float getViewDepth(float x, float y, float z) {
    const float* v = gScreenMapping.view.m;
    return x * v[2] + y * v[6] + z * v[10] + v[14];
}

int32_t classifyPoint(float x, float y, float z, float r) {
    const ScreenMapping& s = gScreenMapping;
    const float* v = s.view.m;
    float d = getViewDepth(x, y, z) - r;
    int32_t n = wholePart(d);
    if (n >= 0) return 0;   // so a nearest depth of -0.5 is not in front either
    float xv = x * v[0] + y * v[4] + z * v[8] + v[12];
    float yv = x * v[1] + y * v[5] + z * v[9] + v[13];
    bool inside = xv <= 0.0f ? s.kx * (xv + r) <= -(320.0f * d) : 320.0f * d <= s.kx * (xv - r);
    if (!inside) return 1;
    inside = yv <= 0.0f ? 240.0f * d <= s.ky * (yv + r) : s.ky * (yv - r) <= -(240.0f * d);
    if (!inside) return 2;
    return n;
}

// The corner is taken before the divide by w: a right-handed projection has
// w = -1 there, and dividing would mirror every mapped point through the
// screen centre, away from where the device draws it.
void updateViewportScale(const Matrix4& projection) {
    const float* m = projection.m;
    float a = m[0] + m[4] + m[8] + m[12];
    float b = m[1] + m[5] + m[9] + m[13];
    gScreenMapping.sx = a * 640.0f / 2.0f;
    gScreenMapping.sy = b * 480.0f / 2.0f;
}

void projectToScreen(ProjectedPoint* out, const Vector3& point, const Matrix4& matrix) {
    updateViewportScale(gCamera.projection);
    Vector3 v = vec3TransformCoord(point, matrix);
    out->depth = v.z;
    if (v.z == 0.0f) {
        out->x = 320.0f;
        out->y = 240.0f;
        return;
    }
    out->x = 320.0f - gScreenMapping.sx * v.x / v.z;
    out->y = gScreenMapping.sy * v.y / v.z + 240.0f;
}

int32_t mapWorldToScreen(float x, float y, float z, ScreenPoint* out) {
    ProjectedPoint p;
    projectToScreen(&p, Vector3{x, y, z}, gCamera.view);
    out->x = p.x;
    out->y = p.y;
    out->depth = wholePart(p.depth);
    return 1;
}

void resetScreenMapping() {
    gScreenMapping = ScreenMapping{};
    gYawMatrix = matrixIdentity();
    gBillboardMatrix = matrixIdentity();
}
