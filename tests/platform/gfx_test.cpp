// The graphics device: the rules every backend keeps (lost device and reset,
// texture pools and shapes, render-target binding), run on the headless and
// the recording backend; then the OpenGL device's pixels on the headless
// backend, drawn with plain GL immediate mode through the device's states and
// transforms and read back through the device (or from the bound target).
#include "platform/gfx.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "tests/platform/present_params.h"

namespace {

constexpr int32_t W = 640;
constexpr int32_t H = 480;

// Opens the backend and makes a W x H device; the headless backend must
// start wherever Mesa is installed, so a failure fails the test.
class DeviceTest {
protected:
    void openDevice(const GfxBackend& backend) {
        ASSERT_TRUE(backend.open()) << backend.name << ": cannot open (the headless backend needs Mesa's EGL)";
        opened = &backend;
        device = backend.createDevice(presentParams(W, H));
        ASSERT_NE(device, nullptr) << backend.name << ": no device";
    }
    void closeDevice() {
        if (!opened) return;
        if (device) opened->destroyDevice(device);
        opened->close();
    }
    const GfxBackend* opened = nullptr;
    GfxDevice* device = nullptr;
};

class GfxDevices : public DeviceTest, public ::testing::TestWithParam<const GfxBackend*> {
protected:
    void SetUp() override { openDevice(*GetParam()); }
    void TearDown() override { closeDevice(); }
};

INSTANTIATE_TEST_SUITE_P(GfxBackends, GfxDevices, ::testing::Values(&GFX_HEADLESS, &GFX_RECORDING),
                         [](const ::testing::TestParamInfo<const GfxBackend*>& info) {
                             return std::string(info.param->name);
                         });

TEST_P(GfxDevices, LostDeviceWaitsForAResetThatNeedsDefaultPoolTexturesGone) {
    EXPECT_EQ(device->testCooperativeLevel(), GFX_OK);
    EXPECT_EQ(device->present(), GFX_OK);
    GfxTexture* target = device->createTexture(W, H, 1, GFX_USAGE_RENDER_TARGET, GFX_FORMAT_X8R8G8B8, GFX_POOL_DEFAULT);
    GfxTexture* managed = device->createTexture(64, 64, 0, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, GFX_POOL_MANAGED);
    ASSERT_NE(target, nullptr);
    ASSERT_NE(managed, nullptr);
    EXPECT_EQ(device->liveDefaultPoolTextures(), 1);

    device->simulateDeviceLoss();
    EXPECT_EQ(device->present(), GFX_DEVICE_LOST);
    EXPECT_EQ(device->present(), GFX_DEVICE_LOST) << "every present reports the loss until the reset";
    EXPECT_EQ(device->testCooperativeLevel(), GFX_DEVICE_NOT_RESET);
    EXPECT_EQ(device->reset(presentParams(800, 600)), GFX_INVALID_CALL);
    EXPECT_EQ(device->testCooperativeLevel(), GFX_DEVICE_NOT_RESET);

    device->releaseTexture(target);
    EXPECT_EQ(device->liveDefaultPoolTextures(), 0);
    EXPECT_EQ(device->reset(presentParams(800, 600)), GFX_OK);
    EXPECT_EQ(device->testCooperativeLevel(), GFX_OK);
    EXPECT_EQ(device->present(), GFX_OK);
    EXPECT_NE(device->getSurfaceLevel(managed, 0), nullptr) << "managed textures live through a reset";
    EXPECT_EQ(device->getRenderTarget(), device->getBackBuffer());
    EXPECT_NE(device->getDepthStencilSurface(), nullptr);
}

TEST_P(GfxDevices, RefusedResetLeavesAWorkingDeviceLost) {
    GfxTexture* texture = device->createTexture(16, 16, 1, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, GFX_POOL_DEFAULT);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(device->reset(presentParams(W, H)), GFX_INVALID_CALL);
    EXPECT_EQ(device->testCooperativeLevel(), GFX_DEVICE_NOT_RESET);
    EXPECT_EQ(device->present(), GFX_DEVICE_LOST);
    device->releaseTexture(texture);
    EXPECT_EQ(device->reset(presentParams(W, H)), GFX_OK);
    EXPECT_EQ(device->present(), GFX_OK);
}

TEST_P(GfxDevices, TexturesComeFromAFixedPool) {
    std::vector<GfxTexture*> textures;
    for (int32_t i = 0; i < GFX_TEXTURE_MAX; ++i) {
        textures.push_back(device->createTexture(1, 1, 1, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, GFX_POOL_MANAGED));
        ASSERT_NE(textures.back(), nullptr) << "texture " << i;
    }
    EXPECT_EQ(device->createTexture(1, 1, 1, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, GFX_POOL_MANAGED), nullptr);
    device->releaseTexture(textures[7]);
    EXPECT_EQ(device->getSurfaceLevel(textures[7], 0), nullptr) << "a released texture has no levels";
    EXPECT_NE(device->createTexture(1, 1, 1, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, GFX_POOL_MANAGED), nullptr);
    EXPECT_EQ(device->liveDefaultPoolTextures(), 0);
}

struct TextureShapeCase {
    const char* what;
    int32_t width, height, levels;
    uint32_t usage;
    GfxFormat format;
    GfxPool pool;
    int32_t wantLevels;   // 0: refused
};
const TextureShapeCase TEXTURE_SHAPE_CASES[] = {
    {"whole chain, square", 256, 256, 0, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, GFX_POOL_MANAGED, 9},
    {"whole chain follows the longer side", 256, 64, 0, GFX_USAGE_NONE, GFX_FORMAT_R5G6B5, GFX_POOL_MANAGED, 9},
    {"odd sides", 300, 200, 3, GFX_USAGE_NONE, GFX_FORMAT_A4R4G4B4, GFX_POOL_SYSTEM, 3},
    {"one texel", 1, 1, 0, GFX_USAGE_NONE, GFX_FORMAT_A1R5G5B5, GFX_POOL_MANAGED, 1},
    {"largest side", 8192, 1, 1, GFX_USAGE_NONE, GFX_FORMAT_X8R8G8B8, GFX_POOL_MANAGED, 1},
    {"wide render target", 1280, 256, 1, GFX_USAGE_RENDER_TARGET, GFX_FORMAT_A8R8G8B8, GFX_POOL_DEFAULT, 1},
    {"render target asking for the whole chain", 64, 64, 0, GFX_USAGE_RENDER_TARGET, GFX_FORMAT_X8R8G8B8,
     GFX_POOL_DEFAULT, 1},
    {"more levels than the chain", 256, 256, 10, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, GFX_POOL_MANAGED, 0},
    {"render target with mips", 64, 64, 2, GFX_USAGE_RENDER_TARGET, GFX_FORMAT_X8R8G8B8, GFX_POOL_DEFAULT, 0},
    {"managed render target", 64, 64, 1, GFX_USAGE_RENDER_TARGET, GFX_FORMAT_X8R8G8B8, GFX_POOL_MANAGED, 0},
    {"depth format", 64, 64, 1, GFX_USAGE_NONE, GFX_FORMAT_D16, GFX_POOL_MANAGED, 0},
    {"unknown format", 64, 64, 1, GFX_USAGE_NONE, GFX_FORMAT_UNKNOWN, GFX_POOL_MANAGED, 0},
    {"empty", 0, 64, 1, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, GFX_POOL_MANAGED, 0},
    {"too wide", 8193, 1, 1, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, GFX_POOL_MANAGED, 0},
};

TEST_P(GfxDevices, TextureShapesFollowTheOldRules) {
    for (const TextureShapeCase& c : TEXTURE_SHAPE_CASES) {
        GfxTexture* texture = device->createTexture(c.width, c.height, c.levels, c.usage, c.format, c.pool);
        if (c.wantLevels == 0) {
            EXPECT_EQ(texture, nullptr) << c.what;
            continue;
        }
        ASSERT_NE(texture, nullptr) << c.what;
        EXPECT_NE(device->getSurfaceLevel(texture, c.wantLevels - 1), nullptr) << c.what;
        EXPECT_EQ(device->getSurfaceLevel(texture, c.wantLevels), nullptr) << c.what;
        EXPECT_EQ(device->getSurfaceLevel(texture, -1), nullptr) << c.what;
        device->releaseTexture(texture);
    }
    EXPECT_EQ(device->liveDefaultPoolTextures(), 0);
}

TEST_P(GfxDevices, RenderTargetBindingKeepsTheOldRules) {
    GfxSurface* backBuffer = device->getBackBuffer();
    GfxSurface* depth = device->getDepthStencilSurface();
    ASSERT_NE(depth, nullptr);
    EXPECT_EQ(device->getRenderTarget(), backBuffer);
    GfxTexture* target = device->createTexture(256, 256, 1, GFX_USAGE_RENDER_TARGET, GFX_FORMAT_A8R8G8B8,
                                               GFX_POOL_DEFAULT);
    GfxTexture* plain = device->createTexture(256, 256, 1, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, GFX_POOL_MANAGED);
    ASSERT_NE(target, nullptr);
    ASSERT_NE(plain, nullptr);
    GfxSurface* targetSurface = device->getSurfaceLevel(target, 0);

    EXPECT_EQ(device->setRenderTarget(device->getSurfaceLevel(plain, 0), depth), GFX_INVALID_CALL);
    EXPECT_EQ(device->setRenderTarget(depth, depth), GFX_INVALID_CALL);
    EXPECT_EQ(device->setRenderTarget(targetSurface, backBuffer), GFX_INVALID_CALL);
    EXPECT_EQ(device->getRenderTarget(), backBuffer) << "a refused binding changes nothing";

    EXPECT_EQ(device->setRenderTarget(targetSurface, depth), GFX_OK);
    EXPECT_EQ(device->getRenderTarget(), targetSurface);
    EXPECT_EQ(device->getDepthStencilSurface(), depth);
    EXPECT_EQ(device->setRenderTarget(nullptr, nullptr), GFX_OK);
    EXPECT_EQ(device->getRenderTarget(), targetSurface) << "a null colour keeps the current one";
    EXPECT_EQ(device->getDepthStencilSurface(), nullptr);

    device->releaseTexture(target);
    EXPECT_EQ(device->getRenderTarget(), backBuffer) << "releasing the bound target falls back to the back buffer";
    EXPECT_EQ(device->setRenderTarget(targetSurface, depth), GFX_INVALID_CALL) << "a released target";
    EXPECT_EQ(device->setRenderTarget(backBuffer, depth), GFX_OK);
    EXPECT_EQ(device->getDepthStencilSurface(), depth);
}

TEST_P(GfxDevices, ScenesPairUp) {
    EXPECT_EQ(device->endScene(), GFX_INVALID_CALL);
    EXPECT_EQ(device->beginScene(), GFX_OK);
    EXPECT_EQ(device->beginScene(), GFX_INVALID_CALL);
    EXPECT_EQ(device->endScene(), GFX_OK);
    EXPECT_EQ(device->endScene(), GFX_INVALID_CALL);
}

// ---- The OpenGL device's pixels, on the headless backend ----

constexpr uint32_t RED = 0xFFFF0000;
constexpr uint32_t BLUE = 0xFF0000FF;
constexpr uint32_t GREEN = 0xFF20A040;

struct ClipVertex {
    float x, y, z;   // the caller's clip space: y up, depth 0..1
};

void setColor(uint32_t argb) {
    glColor4ub((GLubyte)(argb >> 16), (GLubyte)(argb >> 8), (GLubyte)argb, (GLubyte)(argb >> 24));
}

void drawTriangle(const ClipVertex (&v)[3], uint32_t argb) {
    setColor(argb);
    glBegin(GL_TRIANGLES);
    for (const ClipVertex& p : v) glVertex3f(p.x, p.y, p.z);
    glEnd();
}

// Two triangles, clockwise on screen (the game's front faces); v = 0 at the top.
void drawRect(float x0, float y0, float x1, float y1, float z, uint32_t argb) {
    setColor(argb);
    glBegin(GL_TRIANGLES);
    glTexCoord2f(0, 0), glVertex3f(x0, y1, z);
    glTexCoord2f(1, 0), glVertex3f(x1, y1, z);
    glTexCoord2f(1, 1), glVertex3f(x1, y0, z);
    glTexCoord2f(0, 0), glVertex3f(x0, y1, z);
    glTexCoord2f(1, 1), glVertex3f(x1, y0, z);
    glTexCoord2f(0, 1), glVertex3f(x0, y0, z);
    glEnd();
}

void drawFullRect(float z, uint32_t argb) { drawRect(-1, -1, 1, 1, z, argb); }

// A pixel of the bound target, row 0 at the top.
uint32_t targetPixel(int32_t x, int32_t row) {
    uint32_t argb = 0;
    glReadPixels(x, row, 1, 1, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, &argb);
    return argb;
}

float targetDepth(int32_t x, int32_t row) {
    float depth = -1.0f;
    glReadPixels(x, row, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    return depth;
}

bool nearColor(uint32_t a, uint32_t b, int tolerance) {
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs((int)((a >> shift) & 0xFF) - (int)((b >> shift) & 0xFF)) > tolerance) return false;
    return true;
}

class GfxHeadless : public DeviceTest, public ::testing::Test {
protected:
    void SetUp() override {
        openDevice(GFX_HEADLESS);
        if (device) device->setRenderState(GFX_RS_LIGHTING, 0);   // vertex colours as drawn
    }
    void TearDown() override { closeDevice(); }

    // The back buffer, top row first.
    const std::vector<uint32_t>& readBack(int32_t width = W, int32_t height = H) {
        pixels.assign((size_t)width * height, 0);
        EXPECT_TRUE(device->readBackBuffer(pixels.data(), width, height));
        return pixels;
    }
    uint32_t backPixel(int32_t x, int32_t row) { return readBack()[(size_t)row * W + x]; }
    int32_t countNot(uint32_t argb) {
        int32_t count = 0;
        for (uint32_t p : pixels) count += p != argb;
        return count;
    }
    void clearTo(uint32_t argb) {
        ASSERT_EQ(device->clear(GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, argb, 1.0f, 0), GFX_OK);
    }

    std::vector<uint32_t> pixels;
};

struct ClearCase {
    const char* what;
    GfxFormat format;
    uint32_t argb;
    uint32_t want;
};
const ClearCase CLEAR_CASES[] = {
    {"opaque", GFX_FORMAT_X8R8G8B8, 0xFF17F0FF, 0xFF17F0FF},
    {"no alpha channel reads opaque", GFX_FORMAT_X8R8G8B8, 0x0017F0FF, 0xFF17F0FF},
    {"alpha kept", GFX_FORMAT_A8R8G8B8, 0x8017F0FF, 0x8017F0FF},
};

TEST_F(GfxHeadless, ClearFillsTheBackBufferExactly) {
    for (const ClearCase& c : CLEAR_CASES) {
        ASSERT_EQ(device->reset(presentParams(W, H, c.format)), GFX_OK) << c.what;
        ASSERT_EQ(device->clear(GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, c.argb, 1.0f, 0), GFX_OK) << c.what;
        readBack();
        EXPECT_EQ(pixels[0], c.want) << c.what;
        EXPECT_EQ(countNot(c.want), 0) << c.what;
    }
    uint32_t small[4];
    EXPECT_FALSE(device->readBackBuffer(small, 2, 2)) << "a size other than the back buffer's";
}

TEST_F(GfxHeadless, UpperClipSpaceLandsOnTheTopRows) {
    clearTo(BLUE);
    drawRect(-1, 0, 1, 1, 0.5f, RED);
    readBack();
    EXPECT_EQ(backPixel(W / 2, 0), RED);
    EXPECT_EQ(backPixel(W / 2, H / 2 - 1), RED);
    EXPECT_EQ(backPixel(W / 2, H / 2), BLUE);
    EXPECT_EQ(backPixel(W / 2, H - 1), BLUE);
}

// Row-major, row vectors, translation in elements 12..14.
struct Matrix {
    float m[16];
};
Matrix scaling(float x, float y, float z) { return Matrix{{x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0, 0, 0, 0, 1}}; }
Matrix translation(float x, float y, float z) { return Matrix{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1}}; }

int32_t columnAt(float clipX) { return (int32_t)((clipX + 1.0f) * 0.5f * W); }
int32_t rowAt(float clipY) { return (int32_t)((1.0f - clipY) * 0.5f * H); }

TEST_F(GfxHeadless, TransformsRunWorldThenViewThenProjection) {
    device->setTransform(GFX_TS_WORLD, scaling(0.5f, 1, 1).m);
    device->setTransform(GFX_TS_VIEW, translation(0.5f, 0, 0).m);
    device->setTransform(GFX_TS_PROJECTION, scaling(1, 0.5f, 1).m);
    clearTo(BLUE);
    drawRect(-1, -1, 0, 1, 0.5f, RED);   // lands on x 0..0.5, y -0.5..0.5
    EXPECT_EQ(backPixel(columnAt(0.4f), rowAt(0)), RED);
    EXPECT_EQ(backPixel(columnAt(-0.1f), rowAt(0)), BLUE) << "view applied before world";
    EXPECT_EQ(backPixel(columnAt(0.25f), rowAt(0.4f)), RED);
    EXPECT_EQ(backPixel(columnAt(0.25f), rowAt(0.75f)), BLUE) << "projection not applied";
}

struct DepthClipCase {
    const char* what;
    float z;
    bool drawn;
};
const DepthClipCase DEPTH_CLIP_CASES[] = {
    {"in front of the near plane", -0.25f, false},
    {"just behind the near plane", 0.05f, true},
    {"just before the far plane", 0.95f, true},
    {"behind the far plane", 1.25f, false},
};

TEST_F(GfxHeadless, ClipSpaceDepthRunsFromZeroToOne) {
    device->setRenderState(GFX_RS_ZENABLE, 0);
    for (const DepthClipCase& c : DEPTH_CLIP_CASES) {
        clearTo(BLUE);
        drawFullRect(c.z, RED);
        EXPECT_EQ(backPixel(W / 2, H / 2), c.drawn ? RED : BLUE) << c.what;
    }
    device->setRenderState(GFX_RS_ZENABLE, 1);
    clearTo(BLUE);
    drawFullRect(0.25f, RED);
    EXPECT_NEAR(targetDepth(W / 2, H / 2), 0.25f, 1e-3f) << "the depth stored is the caller's z";
}

struct DepthTestCase {
    const char* what;
    uint32_t zEnable;
    uint32_t zFunc;
    float z;   // drawn over a surface at depth 0.5
    bool drawn;
};
const DepthTestCase DEPTH_TEST_CASES[] = {
    {"less, nearer", 1, GFX_CMP_LESS, 0.25f, true},
    {"less, farther", 1, GFX_CMP_LESS, 0.75f, false},
    {"greater, farther", 1, GFX_CMP_GREATER, 0.75f, true},
    {"greater, nearer", 1, GFX_CMP_GREATER, 0.25f, false},
    {"never", 1, GFX_CMP_NEVER, 0.25f, false},
    {"always, farther", 1, GFX_CMP_ALWAYS, 0.75f, true},
    {"depth off, farther", 0, GFX_CMP_LESS, 0.75f, true},
};

TEST_F(GfxHeadless, DepthTestComparesWithTheStoredDepth) {
    for (const DepthTestCase& c : DEPTH_TEST_CASES) {
        device->setRenderState(GFX_RS_ZENABLE, 1);
        device->setRenderState(GFX_RS_ZFUNC, GFX_CMP_LESSEQUAL);
        clearTo(BLUE);
        drawFullRect(0.5f, GREEN);
        device->setRenderState(GFX_RS_ZENABLE, c.zEnable);
        device->setRenderState(GFX_RS_ZFUNC, c.zFunc);
        drawFullRect(c.z, RED);
        EXPECT_EQ(backPixel(W / 2, H / 2), c.drawn ? RED : GREEN) << c.what;
    }
}

TEST_F(GfxHeadless, ClearWritesDepthWhateverTheWriteMask) {
    device->setRenderState(GFX_RS_ZWRITEENABLE, 0);
    device->setRenderState(GFX_RS_ZFUNC, GFX_CMP_LESS);
    ASSERT_EQ(device->clear(GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, BLUE, 0.5f, 0), GFX_OK);
    EXPECT_NEAR(targetDepth(W / 2, H / 2), 0.5f, 1e-3f);
    drawFullRect(0.25f, RED);
    EXPECT_EQ(backPixel(W / 2, H / 2), RED);
    EXPECT_NEAR(targetDepth(W / 2, H / 2), 0.5f, 1e-3f) << "drawing kept the write mask off";
    drawFullRect(0.4f, GREEN);
    EXPECT_EQ(backPixel(W / 2, H / 2), GREEN);
}

TEST_F(GfxHeadless, ClearRefusesBuffersTheTargetLacks) {
    clearTo(BLUE);
    EXPECT_EQ(device->clear(GFX_CLEAR_TARGET | GFX_CLEAR_STENCIL, RED, 1.0f, 0), GFX_INVALID_CALL)
        << "no depth format has stencil";
    ASSERT_EQ(device->setRenderTarget(device->getBackBuffer(), nullptr), GFX_OK);
    EXPECT_EQ(device->clear(GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, RED, 1.0f, 0), GFX_INVALID_CALL);
    readBack();
    EXPECT_EQ(countNot(BLUE), 0) << "a refused clear clears nothing";
    EXPECT_EQ(device->clear(GFX_CLEAR_TARGET, RED, 1.0f, 0), GFX_OK);
    readBack();
    EXPECT_EQ(countNot(RED), 0);
}

struct CullCase {
    const char* what;
    uint32_t mode;
    bool clockwise;   // as seen on screen
    bool drawn;
};
const CullCase CULL_CASES[] = {
    {"none keeps clockwise", GFX_CULL_NONE, true, true},
    {"none keeps counter-clockwise", GFX_CULL_NONE, false, true},
    {"ccw keeps the front faces", GFX_CULL_CCW, true, true},
    {"ccw culls counter-clockwise", GFX_CULL_CCW, false, false},
    {"cw culls clockwise", GFX_CULL_CW, true, false},
    {"cw keeps counter-clockwise", GFX_CULL_CW, false, true},
};
// The upper-left half of the screen, both ways round.
const ClipVertex CLOCKWISE[3] = {{-1, 1, 0.5f}, {1, 1, 0.5f}, {-1, -1, 0.5f}};
const ClipVertex COUNTER_CLOCKWISE[3] = {{-1, 1, 0.5f}, {-1, -1, 0.5f}, {1, 1, 0.5f}};

TEST_F(GfxHeadless, CullModeTreatsClockwiseAsFront) {
    for (const CullCase& c : CULL_CASES) {
        device->setRenderState(GFX_RS_CULLMODE, c.mode);
        clearTo(BLUE);
        drawTriangle(c.clockwise ? CLOCKWISE : COUNTER_CLOCKWISE, RED);
        EXPECT_EQ(backPixel(W / 4, H / 4), c.drawn ? RED : BLUE) << c.what;
    }
}

struct AlphaTestCase {
    const char* what;
    uint32_t enable;
    uint32_t func;
    uint32_t ref;
    uint32_t alpha;
    bool drawn;
};
const AlphaTestCase ALPHA_TEST_CASES[] = {
    {"greater, equal alpha", 1, GFX_CMP_GREATER, 0x80, 0x80, false},
    {"greater or equal, equal alpha", 1, GFX_CMP_GREATEREQUAL, 0x80, 0x80, true},
    {"greater, higher alpha", 1, GFX_CMP_GREATER, 0x80, 0xC0, true},
    {"less, higher alpha", 1, GFX_CMP_LESS, 0x80, 0xC0, false},
    {"test off", 0, GFX_CMP_NEVER, 0x80, 0x80, true},
};

TEST_F(GfxHeadless, AlphaTestComparesWithTheReference) {
    for (const AlphaTestCase& c : ALPHA_TEST_CASES) {
        device->setRenderState(GFX_RS_ALPHATESTENABLE, c.enable);
        device->setRenderState(GFX_RS_ALPHAFUNC, c.func);
        device->setRenderState(GFX_RS_ALPHAREF, c.ref);
        clearTo(BLUE);
        drawFullRect(0.5f, c.alpha << 24 | 0xFF0000);
        EXPECT_EQ(backPixel(W / 2, H / 2), c.drawn ? RED : BLUE) << c.what;
    }
}

struct BlendCase {
    const char* what;
    uint32_t enable;
    uint32_t src;
    uint32_t dest;
    uint32_t source;
    uint32_t target;
    uint32_t want;
};
const BlendCase BLEND_CASES[] = {
    {"source alpha over", 1, GFX_BLEND_SRCALPHA, GFX_BLEND_INVSRCALPHA, 0x80FF0000, 0xFF0000FF, 0xFF80007F},
    {"added", 1, GFX_BLEND_ONE, GFX_BLEND_ONE, 0xFF400000, 0xFF200010, 0xFF600010},
    {"an opaque target's alpha is one", 1, GFX_BLEND_DESTALPHA, GFX_BLEND_ZERO, 0x80408020, 0xFF000000, 0xFF408020},
    {"times the target", 1, GFX_BLEND_DESTCOLOR, GFX_BLEND_ZERO, 0xFF808080, 0xFF4080C0, 0xFF204060},
    {"blending off", 0, GFX_BLEND_ZERO, GFX_BLEND_ONE, 0xFF408020, 0xFF0000FF, 0xFF408020},
};

TEST_F(GfxHeadless, BlendFactorsMixWithTheTarget) {
    for (const BlendCase& c : BLEND_CASES) {
        device->setRenderState(GFX_RS_ALPHABLENDENABLE, 0);
        clearTo(c.target);
        device->setRenderState(GFX_RS_ALPHABLENDENABLE, c.enable);
        device->setRenderState(GFX_RS_SRCBLEND, c.src);
        device->setRenderState(GFX_RS_DESTBLEND, c.dest);
        drawFullRect(0.5f, c.source);
        uint32_t got = backPixel(W / 2, H / 2);
        EXPECT_TRUE(nearColor(got, c.want, 1)) << c.what << ": " << std::hex << got;
    }
}

TEST_F(GfxHeadless, OutOfRangeStateValuesAreIgnored) {
    device->setRenderState(GFX_RS_ZFUNC, GFX_CMP_LESS);
    device->setRenderState(GFX_RS_ZFUNC, 0);
    device->setRenderState(GFX_RS_ZFUNC, 9);
    clearTo(BLUE);
    drawFullRect(0.5f, GREEN);
    drawFullRect(0.5f, RED);
    EXPECT_EQ(backPixel(W / 2, H / 2), GREEN) << "equal depth fails LESS, which stayed";
}

struct TargetCase {
    int32_t width, height;
    GfxFormat format;
};
const TargetCase TARGET_CASES[] = {
    {1280, 256, GFX_FORMAT_A8R8G8B8},   // wider than the back buffer and its depth
    {W, H, GFX_FORMAT_X8R8G8B8},
    {256, 256, GFX_FORMAT_A8R8G8B8},
};

TEST_F(GfxHeadless, RenderTargetsDrawApartFromTheBackBuffer) {
    GfxSurface* backBuffer = device->getBackBuffer();
    GfxSurface* depth = device->getDepthStencilSurface();
    device->setRenderState(GFX_RS_ZFUNC, GFX_CMP_LESS);
    for (const TargetCase& t : TARGET_CASES) {
        SCOPED_TRACE(testing::Message() << t.width << "x" << t.height);
        clearTo(0xFF17F0FF);
        GfxTexture* texture = device->createTexture(t.width, t.height, 1, GFX_USAGE_RENDER_TARGET, t.format,
                                                    GFX_POOL_DEFAULT);
        ASSERT_NE(texture, nullptr);
        GfxSurface* surface = device->getSurfaceLevel(texture, 0);
        ASSERT_EQ(device->setRenderTarget(surface, depth), GFX_OK);
        EXPECT_EQ(device->getRenderTarget(), surface);
        EXPECT_EQ(device->getDepthStencilSurface(), depth);
        clearTo(GREEN);
        EXPECT_EQ(targetPixel(0, 0), GREEN);
        EXPECT_EQ(targetPixel(t.width - 1, t.height - 1), GREEN);
        // Depth covers the whole target, even one wider than the back buffer.
        drawFullRect(0.5f, RED);
        drawFullRect(0.75f, BLUE);
        EXPECT_EQ(targetPixel(0, 0), RED);
        EXPECT_EQ(targetPixel(t.width - 1, t.height - 1), RED);

        ASSERT_EQ(device->setRenderTarget(backBuffer, depth), GFX_OK);
        readBack();
        EXPECT_EQ(countNot(0xFF17F0FF), 0) << "the back buffer is untouched";
        // Read back from elsewhere, the target holds what was drawn, top row first.
        std::vector<uint32_t> pixels((size_t)t.width * t.height);
        ASSERT_TRUE(device->readRenderTarget(surface, pixels.data(), t.width, t.height));
        EXPECT_EQ(std::count(pixels.begin(), pixels.end(), RED), (long)pixels.size());
        EXPECT_FALSE(device->readRenderTarget(surface, pixels.data(), t.width - 1, t.height));
        EXPECT_EQ(device->getRenderTarget(), backBuffer);
        device->releaseTexture(texture);
    }
}

TEST_F(GfxHeadless, RenderTargetTexturesSampleTheRightWayUp) {
    GfxSurface* backBuffer = device->getBackBuffer();
    GfxSurface* depth = device->getDepthStencilSurface();
    GfxTexture* texture = device->createTexture(256, 256, 1, GFX_USAGE_RENDER_TARGET, GFX_FORMAT_A8R8G8B8,
                                                GFX_POOL_DEFAULT);
    ASSERT_NE(texture, nullptr);
    ASSERT_EQ(device->setRenderTarget(device->getSurfaceLevel(texture, 0), depth), GFX_OK);
    clearTo(BLUE);
    drawRect(-1, 0, 1, 1, 0.5f, RED);
    EXPECT_EQ(targetPixel(128, 0), RED) << "a target's row 0 is its top row too";
    static uint32_t pixels[256 * 256];
    ASSERT_TRUE(device->readRenderTarget(device->getSurfaceLevel(texture, 0), pixels, 256, 256));
    EXPECT_EQ(pixels[128], RED) << "read back top row first";
    EXPECT_EQ(pixels[255 * 256 + 128], BLUE);

    ASSERT_EQ(device->setRenderTarget(backBuffer, depth), GFX_OK);
    clearTo(GREEN);
    device->setTexture(0, texture);
    drawFullRect(0.5f, 0xFFFFFFFF);
    EXPECT_EQ(backPixel(W / 2, 0), RED);
    EXPECT_EQ(backPixel(W / 2, H - 1), BLUE);

    device->setTexture(0, nullptr);
    clearTo(GREEN);
    drawFullRect(0.5f, 0xFFFFFFFF);
    EXPECT_EQ(backPixel(W / 2, H / 2), 0xFFFFFFFF) << "no texture once unbound";
    device->releaseTexture(texture);
}

TEST_F(GfxHeadless, ResetResizesTheBackBufferAndRestoresDefaults) {
    GfxTexture* managed = device->createTexture(8, 8, 1, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, GFX_POOL_MANAGED);
    ASSERT_NE(managed, nullptr);
    device->setTexture(0, managed);
    device->setTransform(GFX_TS_PROJECTION, scaling(0.5f, 0.5f, 1).m);
    device->setRenderState(GFX_RS_CULLMODE, GFX_CULL_NONE);
    device->setRenderState(GFX_RS_ALPHATESTENABLE, 1);
    device->setRenderState(GFX_RS_ALPHAFUNC, GFX_CMP_NEVER);
    device->setRenderState(GFX_RS_FOGENABLE, 1);
    device->simulateDeviceLoss();
    ASSERT_EQ(device->reset(presentParams(800, 600)), GFX_OK);

    std::vector<uint32_t> old((size_t)W * H);
    EXPECT_FALSE(device->readBackBuffer(old.data(), W, H)) << "the old size is gone";
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));

    ASSERT_EQ(device->clear(GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, 0xFF17F0FF, 1.0f, 0), GFX_OK);
    readBack(800, 600);
    EXPECT_EQ(countNot(0xFF17F0FF), 0);
    device->setRenderState(GFX_RS_LIGHTING, 0);
    drawRect(-1, 0, 1, 1, 0.5f, RED);
    readBack(800, 600);
    EXPECT_EQ(pixels[0], RED) << "identity projection again, full-size viewport";
    EXPECT_EQ(pixels[299 * 800 + 799], RED);
    EXPECT_EQ(pixels[300 * 800 + 400], 0xFF17F0FF);
}

TEST_F(GfxHeadless, OneDeviceAtATimeOnAFixedDisplayMode) {
    EXPECT_EQ(GFX_HEADLESS.createDevice(presentParams(W, H)), nullptr);
    GfxDisplayMode mode = {};
    ASSERT_TRUE(GFX_HEADLESS.getDisplayMode(&mode));
    EXPECT_EQ(mode.width, 640);
    EXPECT_EQ(mode.height, 480);
    EXPECT_EQ(mode.format, GFX_FORMAT_X8R8G8B8);
}

}  // namespace
