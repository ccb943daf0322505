// The fixed-function lighting and fog of the OpenGL device, read back from
// the headless renderer and held against the old model's formulas within
// 1/255: linear vertex fog by view-space depth, a directional light with
// the global ambient, vertex colours as material colours, the light taking
// the view in force when drawn; plus the recording device's lines.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/gfx.h"

namespace {

constexpr int32_t W = 32;
constexpr int32_t H = 32;
constexpr uint32_t FORMAT = GFX_FVF_XYZ | GFX_FVF_NORMAL | GFX_FVF_DIFFUSE | GFX_FVF_TEX1;

struct Vertex {
    float x, y, z;
    float nx, ny, nz;
    uint32_t diffuse;
    float u, v;
};

uint32_t bits(float f) {
    uint32_t b = 0;
    memcpy(&b, &f, sizeof b);
    return b;
}

// Right-handed orthographic projection, row vectors: x and y as they are,
// view-space z from -1 (depth 0) to -100 (depth 1).
const float ORTHO[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1.0f / 99.0f, 0, 0, 0, -1.0f / 99.0f, 1};
const float IDENTITY[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
// A half turn about y.
const float HALF_TURN_Y[16] = {-1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1};

int channel(uint32_t argb, int shift) { return (int)((argb >> shift) & 0xFF); }

class GfxFixedFunction : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(GFX_HEADLESS.open());
        device = GFX_HEADLESS.createDevice(GfxPresentParams{W, H, GFX_FORMAT_X8R8G8B8, true, true, GFX_FORMAT_D16, false});
        ASSERT_NE(device, nullptr);
        device->setTransform(GFX_TS_PROJECTION, ORTHO);
        device->setRenderState(GFX_RS_CULLMODE, GFX_CULL_NONE);
        device->setVertexFormat(FORMAT);
    }
    void TearDown() override {
        if (device) GFX_HEADLESS.destroyDevice(device);
        GFX_HEADLESS.close();
    }
    // A screen-filling quad at view-space depth z facing the eye (+z).
    uint32_t drawAt(float z, uint32_t argb) {
        EXPECT_EQ(device->clear(GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, 0xFF000000, 1.0f, 0), GFX_OK);
        const Vertex v[4] = {{-1, 1, z, 0, 0, 1, argb, 0, 0},
                             {1, 1, z, 0, 0, 1, argb, 0, 0},
                             {-1, -1, z, 0, 0, 1, argb, 0, 0},
                             {1, -1, z, 0, 0, 1, argb, 0, 0}};
        EXPECT_EQ(device->drawPrimitiveUP(GFX_PT_TRIANGLESTRIP, 2, v, sizeof(Vertex)), GFX_OK);
        uint32_t pixels[W * H];
        EXPECT_TRUE(device->readBackBuffer(pixels, W, H));
        return pixels[(H / 2) * W + W / 2];
    }
    GfxDevice* device = nullptr;
};

// Each channel of got within 1/255 of want (0..1).
void expectColor(uint32_t got, const float want[3], const char* what) {
    for (int c = 0; c < 3; ++c) {
        float w = want[c] < 0 ? 0 : (want[c] > 1 ? 1 : want[c]);
        int g = channel(got, 16 - 8 * c);
        EXPECT_LE(std::fabs((float)g - w * 255.0f), 1.0f)
            << what << ": channel " << c << " is " << g << ", want " << w * 255.0f;
    }
}

struct FogCase {
    float depth;   // view-space distance
    float start, end;
};
const FogCase FOG_CASES[] = {
    {50.0f, 10.0f, 90.0f},   // halfway
    {30.0f, 10.0f, 90.0f},
    {5.0f, 10.0f, 90.0f},    // before the start: no fog
    {95.0f, 10.0f, 90.0f},   // beyond the end: all fog
    {40.0f, 20.0f, 60.0f},
};

TEST_F(GfxFixedFunction, LinearVertexFogFollowsTheViewDepth) {
    device->setRenderState(GFX_RS_LIGHTING, 0);
    device->setRenderState(GFX_RS_FOGENABLE, 1);
    device->setRenderState(GFX_RS_FOGVERTEXMODE, GFX_FOG_LINEAR);
    device->setRenderState(GFX_RS_FOGCOLOR, 0xFF2C1428);
    const float fog[3] = {0x2C / 255.0f, 0x14 / 255.0f, 0x28 / 255.0f};
    const float vertex[3] = {1.0f, 0x80 / 255.0f, 0.0f};
    for (const FogCase& c : FOG_CASES) {
        device->setRenderState(GFX_RS_FOGSTART, bits(c.start));
        device->setRenderState(GFX_RS_FOGEND, bits(c.end));
        float f = (c.end - c.depth) / (c.end - c.start);
        f = f < 0 ? 0 : (f > 1 ? 1 : f);
        float want[3];
        for (int i = 0; i < 3; ++i) want[i] = f * vertex[i] + (1 - f) * fog[i];
        uint32_t got = drawAt(-c.depth, 0x40FF8000);
        expectColor(got, want, "fog");
    }
    device->setRenderState(GFX_RS_FOGVERTEXMODE, GFX_FOG_NONE);
    const float plain[3] = {1.0f, 0x80 / 255.0f, 0.0f};
    expectColor(drawAt(-95.0f, 0xFFFF8000), plain, "no vertex fog mode: no fog");
}

// A white quad across the depth, view-space depth 5 at its left edge and 95
// at its right, under black fog from 40 to 60: the factor is 1 at the left
// corners and 0 at the right ones, and runs linearly between them, so a
// pixel a quarter across is three-quarters clear though its own depth lies
// before the fog's start.
TEST_F(GfxFixedFunction, FogIsFoundAtTheVerticesAndInterpolated) {
    device->setRenderState(GFX_RS_LIGHTING, 0);
    device->setRenderState(GFX_RS_FOGENABLE, 1);
    device->setRenderState(GFX_RS_FOGVERTEXMODE, GFX_FOG_LINEAR);
    device->setRenderState(GFX_RS_FOGCOLOR, 0xFF000000);
    device->setRenderState(GFX_RS_FOGSTART, bits(40.0f));
    device->setRenderState(GFX_RS_FOGEND, bits(60.0f));
    const Vertex v[4] = {{-1, 1, -5, 0, 0, 1, 0xFFFFFFFF, 0, 0},
                         {1, 1, -95, 0, 0, 1, 0xFFFFFFFF, 0, 0},
                         {-1, -1, -5, 0, 0, 1, 0xFFFFFFFF, 0, 0},
                         {1, -1, -95, 0, 0, 1, 0xFFFFFFFF, 0, 0}};
    GfxBuffer* vertices = device->createBuffer(GFX_BUFFER_VERTEX, (int32_t)sizeof v);
    GfxBuffer* indices = device->createBuffer(GFX_BUFFER_INDEX, 6 * 4);
    ASSERT_NE(vertices, nullptr);
    ASSERT_NE(indices, nullptr);
    memcpy(device->lockBuffer(vertices), v, sizeof v);
    device->unlockBuffer(vertices);
    const uint32_t triangles[6] = {0, 1, 2, 2, 1, 3};
    memcpy(device->lockBuffer(indices), triangles, sizeof triangles);
    device->unlockBuffer(indices);
    // Each path twice: the buffer's factors are kept between its draws.
    for (int32_t draw = 0; draw < 4; ++draw) {
        bool indexed = draw >= 2;
        ASSERT_EQ(device->clear(GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, 0xFF00FF00, 1.0f, 0), GFX_OK);
        if (indexed) {
            device->setStreamSource(vertices, (int32_t)sizeof(Vertex));
            device->setIndices(indices);
            ASSERT_EQ(device->drawIndexedPrimitive(GFX_PT_TRIANGLELIST, 0, 0, 2), GFX_OK);
        } else {
            ASSERT_EQ(device->drawPrimitiveUP(GFX_PT_TRIANGLESTRIP, 2, v, sizeof(Vertex)), GFX_OK);
        }
        uint32_t pixels[W * H];
        ASSERT_TRUE(device->readBackBuffer(pixels, W, H));
        for (int32_t column : {2, 8, 16, 24, 29}) {
            float x = ((float)column + 0.5f) / (W / 2.0f) - 1.0f;
            float f = (1.0f - x) / 2.0f;
            const float want[3] = {f, f, f};
            char what[64];
            snprintf(what, sizeof what, "%s draw, column %d", indexed ? "indexed" : "user-pointer", (int)column);
            expectColor(pixels[(H / 2) * W + column], want, what);
        }
    }
    device->releaseBuffer(vertices);
    device->releaseBuffer(indices);
}

// Start equal to end: the formula's own limit, clear nearer than the end
// and all fog from it on.
TEST_F(GfxFixedFunction, FogWithStartAtItsEndClearsNearerAndFogsFarther) {
    device->setRenderState(GFX_RS_LIGHTING, 0);
    device->setRenderState(GFX_RS_FOGENABLE, 1);
    device->setRenderState(GFX_RS_FOGVERTEXMODE, GFX_FOG_LINEAR);
    device->setRenderState(GFX_RS_FOGCOLOR, 0xFF2C1428);
    device->setRenderState(GFX_RS_FOGSTART, bits(50.0f));
    device->setRenderState(GFX_RS_FOGEND, bits(50.0f));
    const float clear[3] = {1.0f, 0x80 / 255.0f, 0.0f};
    const float fogged[3] = {0x2C / 255.0f, 0x14 / 255.0f, 0x28 / 255.0f};
    expectColor(drawAt(-40.0f, 0xFFFF8000), clear, "nearer than the end");
    expectColor(drawAt(-60.0f, 0xFFFF8000), fogged, "farther than the end");
}

GfxLight sun(float dx, float dy, float dz) {
    GfxLight light = {};
    light.type = GFX_LIGHT_DIRECTIONAL;
    light.diffuse = {0.8f, 0.9f, 1.0f, 1.0f};
    light.ambient = {0.1f, 0.1f, 0.1f, 1.0f};
    light.direction[0] = dx, light.direction[1] = dy, light.direction[2] = dz;
    return light;
}

TEST_F(GfxFixedFunction, DirectionalLightAmbientAndVertexColourSources) {
    GfxMaterial material = {};
    material.diffuse = {0.5f, 0.25f, 1.0f, 1.0f};
    material.ambient = {1.0f, 0.0f, 0.5f, 1.0f};
    device->setMaterial(material);
    device->setRenderState(GFX_RS_AMBIENT, 0xFF202020);
    device->setLight(0, sun(0.0f, -1.0f, -1.0f));   // 45 degrees onto the quad
    device->lightEnable(0, true);
    device->setRenderState(GFX_RS_LIGHTING, 1);
    const float nl = 0.70710678f;
    const float ga = 0x20 / 255.0f;
    const float ld[3] = {0.8f, 0.9f, 1.0f};
    const float green[3] = {0.0f, 1.0f, 0.0f};

    struct LightCase {
        const char* what;
        uint32_t colorVertex, diffuseSource, ambientSource;
        const float* diffuse;   // the material colours that take part
        const float* ambient;
    };
    const float md[3] = {0.5f, 0.25f, 1.0f};
    const float ma[3] = {1.0f, 0.0f, 0.5f};
    const LightCase cases[] = {
        {"material colours", 0, GFX_MCS_COLOR1, GFX_MCS_COLOR1, md, ma},
        {"vertex colour as diffuse", 1, GFX_MCS_COLOR1, GFX_MCS_MATERIAL, green, ma},
        {"vertex colour as both", 1, GFX_MCS_COLOR1, GFX_MCS_COLOR1, green, green},
        {"vertex colour as ambient", 1, GFX_MCS_MATERIAL, GFX_MCS_COLOR1, md, green},
        {"the material again after tracking stops", 1, GFX_MCS_MATERIAL, GFX_MCS_MATERIAL, md, ma},
    };
    for (const LightCase& c : cases) {
        device->setRenderState(GFX_RS_COLORVERTEX, c.colorVertex);
        device->setRenderState(GFX_RS_DIFFUSEMATERIALSOURCE, c.diffuseSource);
        device->setRenderState(GFX_RS_AMBIENTMATERIALSOURCE, c.ambientSource);
        float want[3];
        for (int i = 0; i < 3; ++i) want[i] = c.ambient[i] * (ga + 0.1f) + c.diffuse[i] * ld[i] * nl;
        expectColor(drawAt(-50.0f, 0xFF00FF00), want, c.what);
    }

    device->lightEnable(0, false);
    const float ambientOnly[3] = {ma[0] * ga, ma[1] * ga, ma[2] * ga};
    expectColor(drawAt(-50.0f, 0xFF00FF00), ambientOnly, "light off: the global ambient alone");
}

TEST_F(GfxFixedFunction, LightTakesTheViewItIsDrawnWith) {
    GfxMaterial material = {};
    material.diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    device->setMaterial(material);
    device->setRenderState(GFX_RS_COLORVERTEX, 0);
    device->setRenderState(GFX_RS_LIGHTING, 1);
    device->setLight(0, sun(0.0f, 0.0f, -1.0f));   // straight onto the quad
    device->lightEnable(0, true);
    const float lit[3] = {0.8f + 0.0f, 0.9f, 1.0f};
    expectColor(drawAt(-50.0f, 0xFFFFFFFF), lit, "head-on");
    // World and view both half turns: the quad stays put, the light now
    // shines away from it.
    device->setTransform(GFX_TS_VIEW, HALF_TURN_Y);
    device->setTransform(GFX_TS_WORLD, HALF_TURN_Y);
    const float dark[3] = {0.0f, 0.0f, 0.0f};
    expectColor(drawAt(-50.0f, 0xFFFFFFFF), dark, "the light turned with the view");
    device->setTransform(GFX_TS_VIEW, IDENTITY);
    device->setTransform(GFX_TS_WORLD, IDENTITY);
    expectColor(drawAt(-50.0f, 0xFFFFFFFF), lit, "back again");
}

TEST_F(GfxFixedFunction, PreTransformedDrawsIgnoreLightAndFog) {
    device->setRenderState(GFX_RS_LIGHTING, 1);
    device->setRenderState(GFX_RS_FOGENABLE, 1);
    device->setRenderState(GFX_RS_FOGVERTEXMODE, GFX_FOG_LINEAR);
    device->setRenderState(GFX_RS_FOGSTART, bits(0.0f));
    device->setRenderState(GFX_RS_FOGEND, bits(0.001f));
    device->setRenderState(GFX_RS_FOGCOLOR, 0xFF0000FF);
    struct Screen {
        float x, y, z, rhw;
        uint32_t diffuse;
    };
    const Screen v[4] = {{-0.5f, -0.5f, 0.5f, 1, 0xFF00FF00},
                         {W - 0.5f, -0.5f, 0.5f, 1, 0xFF00FF00},
                         {-0.5f, H - 0.5f, 0.5f, 1, 0xFF00FF00},
                         {W - 0.5f, H - 0.5f, 0.5f, 1, 0xFF00FF00}};
    device->setVertexFormat(GFX_FVF_XYZRHW | GFX_FVF_DIFFUSE);
    ASSERT_EQ(device->clear(GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, 0xFF000000, 1.0f, 0), GFX_OK);
    ASSERT_EQ(device->drawPrimitiveUP(GFX_PT_TRIANGLESTRIP, 2, v, sizeof(Screen)), GFX_OK);
    uint32_t pixels[W * H];
    ASSERT_TRUE(device->readBackBuffer(pixels, W, H));
    EXPECT_EQ(pixels[(H / 2) * W + W / 2], 0xFF00FF00u);
    device->setVertexFormat(FORMAT);
    const float fogged[3] = {0.0f, 0.0f, 1.0f};
    device->setRenderState(GFX_RS_LIGHTING, 0);
    expectColor(drawAt(-50.0f, 0xFF00FF00), fogged, "world draws still fogged after");
}

TEST(GfxFixedRecording, LightsAndFixedStatesAreLogged) {
    ASSERT_TRUE(GFX_RECORDING.open());
    GfxDevice* device = GFX_RECORDING.createDevice(GfxPresentParams{W, H, GFX_FORMAT_X8R8G8B8, true, true, GFX_FORMAT_D16, false});
    ASSERT_NE(device, nullptr);
    gfxRecordClear();
    device->setLight(0, sun(0.0f, -1.0f, 0.0f));
    device->lightEnable(0, true);
    device->setRenderState(GFX_RS_FOGCOLOR, 0xFF2C1428);
    EXPECT_STREQ(gGfxRecord.lines[0], "setLight 0 3 0.000 -1.000 0.000");
    EXPECT_STREQ(gGfxRecord.lines[1], "lightEnable 0 1");
    char want[64];
    snprintf(want, sizeof want, "setRenderState %d %u", (int)GFX_RS_FOGCOLOR, 0xFF2C1428u);
    EXPECT_STREQ(gGfxRecord.lines[2], want);
    GFX_RECORDING.destroyDevice(device);
    GFX_RECORDING.close();
}

}  // namespace
