// Mapping world points to the logical screen with the field camera, the
// in-view test, and the fixed overlay camera.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/device.h"
#include "engine/engine_state.h"
#include "engine/math.h"
#include "engine/screen_mapping.h"
#include "engine/sprites.h"
#include "engine/state_snapshot.h"
#include "tests/engine/device_scope.h"


// The camera of the worked points: at (0, 0, -550) looking at the origin,
// 45 degrees, 4:3, depth 10..20000. World +x is view -x; view z = -z - 550.
class ScreenMappingCamera : public ::testing::Test {
protected:
    void SetUp() override {
        gCamera.view = matrixLookAtRH({0, 0, -550}, {0, 0, 0}, {0, 1, 0});
        gCamera.projection = matrixPerspectiveFovRH(PI / 4, 4.0f / 3.0f, 10, 20000);
        cacheViewProjection();
    }
    StateScope state{&ENGINE_STATE};
};

TEST_F(ScreenMappingCamera, CacheTakesTheCameraAndItsFactors) {
    EXPECT_EQ(memcmp(&gScreenMapping.view, &gCamera.view, sizeof(Matrix4)), 0);
    EXPECT_EQ(memcmp(&gScreenMapping.projection, &gCamera.projection, sizeof(Matrix4)), 0);
    EXPECT_EQ(gScreenMapping.centreX, 320.0f);
    EXPECT_EQ(gScreenMapping.centreY, 240.0f);
    EXPECT_EQ(gScreenMapping.scaleX, 1.0f);
    EXPECT_EQ(gScreenMapping.scaleY, 1.0f);
    // P[0] x 320 / P[11] and P[5] x -240 / P[11], with P[11] = -1.
    EXPECT_NEAR(gScreenMapping.kx, -579.41125f, 1e-3f);
    EXPECT_NEAR(gScreenMapping.ky, 579.41125f, 1e-3f);
}

struct DepthCase {
    Vector3 p;
    float want;
};
const DepthCase DEPTH_CASES[] = {
    {{0, 0, 0}, -550},
    {{10, 20, 30}, -580},
    {{0, 0, -550}, 0},   // the eye's plane
    {{5, 5, -600}, 50},  // behind the camera
};

TEST_F(ScreenMappingCamera, ViewDepthIsNegativeInFront) {
    for (const DepthCase& c : DEPTH_CASES)
        EXPECT_FLOAT_EQ(getViewDepth(c.p.x, c.p.y, c.p.z), c.want) << c.p.x << "," << c.p.y << "," << c.p.z;
}

struct ClassifyCase {
    const char* name;
    Vector3 p;
    float r;
    int32_t want;
};
// At depth 550 the view reaches about 303.8 to each side and 227.8 up and down.
const ClassifyCase CLASSIFY_CASES[] = {
    {"centre", {0, 0, 0}, 0, -550},
    {"centre, the radius deepens it", {0, 0, 0}, 10, -560},
    {"fraction dropped toward zero", {0, 0, -0.75f}, 0, -549},
    {"on the eye's plane", {5, 5, -550}, 0, 0},
    {"view depth -0.5 counts as 0", {0, 0, -549.5f}, 0, 0},
    {"behind the camera", {0, 0, -600}, 0, 0},
    {"just behind, the radius brings it in front", {0, 0, -560}, 60, -50},
    {"inside on the left of the world", {300, 0, 0}, 0, -550},
    {"too far toward world +x", {400, 0, 0}, 0, 1},
    {"too far toward world -x", {-400, 0, 0}, 0, 1},
    {"its radius reaches into view", {400, 0, 0}, 100, -650},
    {"inside below the top", {0, 200, 0}, 0, -550},
    {"above the view", {0, 300, 0}, 0, 2},
    {"below the view", {0, -300, 0}, 0, 2},
    {"off to a side wins over above", {400, 300, 0}, 0, 1},
};

TEST_F(ScreenMappingCamera, ClassifyPointTellsWhereASphereIs) {
    for (const ClassifyCase& c : CLASSIFY_CASES)
        EXPECT_EQ(classifyPoint(c.p.x, c.p.y, c.p.z, c.r), c.want) << c.name;
}

TEST_F(ScreenMappingCamera, ViewportScaleFromTheProjection) {
    // (1, 1, 1) through the projection, before the divide by w.
    updateViewportScale(gCamera.projection);
    EXPECT_NEAR(gScreenMapping.sx, 579.41125f, 1e-3f);
    EXPECT_NEAR(gScreenMapping.sy, 579.41125f, 1e-3f);
}

struct ProjectCase {
    const char* name;
    Vector3 p;
    ProjectedPoint want;
};
// x = 320 - sx * vx / vz and y = sy * vy / vz + 240. The camera looks along
// +z from -550, so world +x is on the screen's left and +y is up, where the
// device draws them.
const ProjectCase PROJECT_CASES[] = {
    {"centre", {0, 0, 0}, {320, 240, -550}},
    {"world +x", {55, 0, 0}, {262.058875f, 240, -550}},
    {"world +y", {0, 55, 0}, {320, 182.058875f, -550}},
    {"farther away", {55, -110, 550}, {291.029437f, 297.941125f, -1100}},
    {"eye's plane: the centre, depth 0", {10, 10, -550}, {320, 240, 0}},
};

TEST_F(ScreenMappingCamera, ProjectToScreenWorkedPoints) {
    for (const ProjectCase& c : PROJECT_CASES) {
        ProjectedPoint got;
        projectToScreen(&got, c.p, gCamera.view);
        EXPECT_NEAR(got.x, c.want.x, 1e-3f) << c.name;
        EXPECT_NEAR(got.y, c.want.y, 1e-3f) << c.name;
        EXPECT_FLOAT_EQ(got.depth, c.want.depth) << c.name;
    }
}

TEST_F(ScreenMappingCamera, ProjectToScreenUsesTheCameraProjection) {
    // The viewport factors come from gCamera's projection, not the cache.
    gCamera.projection = matrixPerspectiveFovRH(PI / 2, 4.0f / 3.0f, 1, 500);
    ProjectedPoint got;
    projectToScreen(&got, {0, 55, 0}, gCamera.view);
    EXPECT_NEAR(got.y, 240 - 240 * 0.1f, 1e-3f);   // cot(pi/4) = 1
}

TEST_F(ScreenMappingCamera, MapWorldToScreenTruncatesTheDepth) {
    ScreenPoint out;
    EXPECT_EQ(mapWorldToScreen(55, 0, -0.75f, &out), 1);
    EXPECT_NEAR(out.x, 320 - 579.41125f * 55 / 549.25f, 1e-3f);
    EXPECT_NEAR(out.y, 240, 1e-3f);
    EXPECT_EQ(out.depth, -549);
    // Uses gCamera's view as it is now, not the cached copy.
    gCamera.view = matrixLookAtRH({0, 0, -100}, {0, 0, 0}, {0, 1, 0});
    EXPECT_EQ(mapWorldToScreen(0, 0, 0, &out), 1);
    EXPECT_EQ(out.depth, -100);
    // A point on the eye's plane is not in front.
    EXPECT_EQ(mapWorldToScreen(3, 4, -100, &out), 1);
    EXPECT_EQ(out.depth, 0);
    EXPECT_EQ(out.x, 320.0f);
    EXPECT_EQ(out.y, 240.0f);
}

TEST(ScreenMappingOverlayCamera, BillboardsFaceItAndTheCacheIsTaken) {
    StateScope state{&ENGINE_STATE};
    gCamera.view = matrixTranslation(1, 2, 3);
    gCamera.projection = matrixPerspectiveFovRH(PI / 4, 4.0f / 3.0f, 1, 350);
    gYawMatrix = matrixScaling(5, 5, 5);
    gBillboardMatrix = matrixScaling(5, 5, 5);
    setupScreenCamera();   // no device: only the globals
    // Straight down the z axis: rotations by 0 and 2 pi.
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(gYawMatrix.m[i], matrixIdentity().m[i], 1e-6f) << i;
        EXPECT_NEAR(gBillboardMatrix.m[i], matrixIdentity().m[i], 1e-6f) << i;
    }
    EXPECT_EQ(gScreenMapping.view.m[14], 3.0f);
    EXPECT_NEAR(gScreenMapping.kx, -320 * gCamera.projection.m[0], 1e-3f);
}

TEST(ScreenMappingOverlayCamera, SetsViewAndProjectionOnTheDevice) {
    DeviceScope scope;
    ASSERT_TRUE(scope.open(&GFX_RECORDING, 640, 480));
    gfxRecordClear();
    setupScreenCamera();
    EXPECT_GE(gfxRecordFind("setTransform 1", 0), 0);   // view
    EXPECT_GE(gfxRecordFind("setTransform 2", 0), 0);   // projection
    EXPECT_EQ(gGfxRecord.count, 2);
    scope.close();
}

// The field camera set on a device is kept and read back unchanged by both
// headless backends, and where the drawing device puts a point is where the
// mapping says: classifyPoint finds it in view exactly when a mark drawn
// there shows in the frame, at the spot mapWorldToScreen gives.
struct ViewCase {
    const char* name;
    Vector3 p;
};
// The eye at (0, 21, 14) looks at (0, 1.8, 0): the ground plane's view.
const ViewCase VIEW_CASES[] = {
    {"the look-at point", {0, 1.8f, 0}},
    {"toward the left edge", {-8, 0, -4}},
    {"toward the right edge, near", {6, 0, 6}},
    {"far up the screen", {3, 0, -14}},
    {"off to world -x", {-40, 0, 0}},
    {"off to world +x", {30, 0, 5}},
    {"below the screen", {0, 0, 13}},
    {"behind the eye", {0, 21, 30}},
};

TEST(ScreenMappingDevice, TheHeadlessDevicesKeepTheCameraAndDrawWhereClassifyPointSays) {
    StateScope state{&ENGINE_STATE};
    gCamera.view = matrixLookAtRH({0, 21, 14}, {0, 1.8f, 0}, {0, 1, 0});
    gCamera.projection = matrixPerspectiveFovRH(PI / 4, 4.0f / 3.0f, 1, 1000);
    for (const GfxBackend* backend : {&GFX_HEADLESS, &GFX_RECORDING}) {
        DeviceScope scope;
        ASSERT_TRUE(scope.open(backend, 640, 480));
        gGfxDevice->setTransform(GFX_TS_VIEW, gCamera.view.m);
        gGfxDevice->setTransform(GFX_TS_PROJECTION, gCamera.projection.m);
        Matrix4 view = {}, projection = {}, world = {};
        gGfxDevice->getTransform(GFX_TS_VIEW, view.m);
        gGfxDevice->getTransform(GFX_TS_PROJECTION, projection.m);
        gGfxDevice->getTransform(GFX_TS_WORLD, world.m);
        EXPECT_EQ(memcmp(&view, &gCamera.view, sizeof view), 0) << (backend == &GFX_HEADLESS ? "egl" : "recording");
        EXPECT_EQ(memcmp(&projection, &gCamera.projection, sizeof view), 0);
        Matrix4 identity = matrixIdentity();
        EXPECT_EQ(memcmp(&world, &identity, sizeof world), 0) << "untouched since the reset";
        if (backend == &GFX_RECORDING) {
            scope.close();
            continue;
        }

        // The mapping works from what the device holds.
        gCamera.view = view;
        gCamera.projection = projection;
        cacheViewProjection();
        gGfxDevice->setRenderState(GFX_RS_LIGHTING, 0);
        gGfxDevice->setRenderState(GFX_RS_CULLMODE, GFX_CULL_NONE);
        gGfxDevice->setRenderState(GFX_RS_ZENABLE, 0);
        gGfxDevice->setVertexFormat(GFX_FVF_XYZ | GFX_FVF_DIFFUSE);
        std::vector<uint32_t> frame(640 * 480);
        for (const ViewCase& c : VIEW_CASES) {
            struct Vertex {
                float x, y, z;
                uint32_t colour;
            };
            // A small upright square around the point, facing the eye's side.
            const float h = 0.15f;
            const Vertex quad[6] = {
                {c.p.x - h, c.p.y - h, c.p.z, 0xffffffff}, {c.p.x + h, c.p.y - h, c.p.z, 0xffffffff},
                {c.p.x + h, c.p.y + h, c.p.z, 0xffffffff}, {c.p.x - h, c.p.y - h, c.p.z, 0xffffffff},
                {c.p.x + h, c.p.y + h, c.p.z, 0xffffffff}, {c.p.x - h, c.p.y + h, c.p.z, 0xffffffff},
            };
            gGfxDevice->clear(GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, 0xff000000, 1.0f, 0);
            gGfxDevice->beginScene();
            gGfxDevice->drawPrimitiveUP(GFX_PT_TRIANGLELIST, 2, quad, sizeof(Vertex));
            gGfxDevice->endScene();
            ASSERT_TRUE(gGfxDevice->readBackBuffer(frame.data(), 640, 480));
            int32_t lit = 0;
            float sumX = 0, sumY = 0;
            for (int32_t y = 0; y < 480; y++)
                for (int32_t x = 0; x < 640; x++)
                    if ((frame[(size_t)(y * 640 + x)] & 0xffffff) == 0xffffff) {
                        lit++;
                        sumX += (float)x + 0.5f;
                        sumY += (float)y + 0.5f;
                    }
            bool inView = classifyPoint(c.p.x, c.p.y, c.p.z, 0) < 0;
            EXPECT_EQ(inView, lit > 0) << c.name << ": " << lit << " pixels lit";
            if (inView && lit > 0) {
                ScreenPoint s;
                mapWorldToScreen(c.p.x, c.p.y, c.p.z, &s);
                EXPECT_NEAR(sumX / (float)lit, s.x, 1.5f) << c.name;
                EXPECT_NEAR(sumY / (float)lit, s.y, 1.5f) << c.name;
            }
        }
        scope.close();
    }
}
