// engine/screen_mapping.h: the fixed overlay camera and the mapping of world positions to the 640 x 480 logical
// screen with the field camera (gCamera). The HUD, the lens flare and actors
// call cacheViewProjection before they map points; the overlay effect pass
// calls setupScreenCamera once per frame. Main thread only.
#pragma once
#include <cstdint>

#include "engine/math.h"

struct ScreenMapping {
    Matrix4 projection;        // copies taken by cacheViewProjection
    Matrix4 view;
    float centreX, centreY;    // 320, 240
    float scaleX, scaleY;      // 1, 1
    float kx, ky;              // projection factors of classifyPoint
    float sx, sy;              // viewport factors of projectToScreen
};
extern ScreenMapping gScreenMapping;

// Billboards' rotations toward the camera: set for the overlay camera here
// and for the field camera by the field.
extern Matrix4 gYawMatrix;         // turns billboards up toward the camera
extern Matrix4 gBillboardMatrix;   // gYawMatrix, then the turn toward the camera's heading
// Back to the values a fresh process starts with (a new boot in the same process).
void resetScreenMapping();

// projectToScreen's result: logical screen position and view depth.
struct ProjectedPoint {
    float x, y, depth;
};
// mapWorldToScreen's result: the depth is whole, negative in front.
struct ScreenPoint {
    float x, y;
    int32_t depth;
};

// Sets the overlay camera's view and projection on the device (when there is
// one) and the billboard matrices for it.
void setupScreenCamera();
void cacheViewProjection();
// Whether a sphere of radius r at the point is in view: negative (the integer
// part of its view depth less r) when it is; 0 when that is not below -1 (not
// in front of the camera); 1 when it is off to a side; 2 above or below.
int32_t classifyPoint(float x, float y, float z, float r);
float getViewDepth(float x, float y, float z);   // view-space z, negative in front
int32_t mapWorldToScreen(float x, float y, float z, ScreenPoint* out);   // always 1
// A point at view depth 0 has no screen position: it is given the screen
// centre, and depth 0 tells callers it is not in front of the camera.
void projectToScreen(ProjectedPoint* out, const Vector3& point, const Matrix4& matrix);
void updateViewportScale(const Matrix4& projection);
