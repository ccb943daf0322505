// Textures and 2D drawing on the graphics device: locks, formats, pools and
// the loader thread on both backends; on the headless renderer the pixels
// of pre-transformed quads, texture-stage operations, the colour key,
// filters, address modes and mip levels, read back from the back buffer.
#include "platform/gfx.h"
#include "platform/image.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "tests/platform/present_params.h"

namespace {

// The sprite batch's vertex and the effects' untransformed one.
struct SpriteVertex {
    float x, y, z, rhw;
    uint32_t diffuse, specular;
    float u, v;
};
constexpr uint32_t SPRITE_FVF = GFX_FVF_XYZRHW | GFX_FVF_DIFFUSE | GFX_FVF_SPECULAR | GFX_FVF_TEX1;
static_assert(sizeof(SpriteVertex) == 32 && gfxVertexSize(SPRITE_FVF) == 32);

struct EffectVertex {
    float x, y, z;
    uint32_t diffuse;
    float u, v;
};
constexpr uint32_t EFFECT_FVF = GFX_FVF_XYZ | GFX_FVF_DIFFUSE | GFX_FVF_TEX1;
static_assert(sizeof(EffectVertex) == 24 && gfxVertexSize(EFFECT_FVF) == 24);

// A pre-transformed quad as the sprite batch lays it out: two triangles,
// (right, bottom), (left, bottom), (right, top), (left, bottom), (left, top),
// (right, top).
struct Quad {
    SpriteVertex v[6];
};
Quad spriteQuad(float left, float top, float right, float bottom, uint32_t diffuse, float u0 = 0, float v0 = 0,
                float u1 = 1, float v1 = 1) {
    auto at = [&](float x, float y, float u, float v) { return SpriteVertex{x, y, 0, 1, diffuse, 0, u, v}; };
    return Quad{{at(right, bottom, u1, v1), at(left, bottom, u0, v1), at(right, top, u1, v0), at(left, bottom, u0, v1),
                 at(left, top, u0, v0), at(right, top, u1, v0)}};
}

// Fills a level with one value per texel, through a lock.
void fillLevel(GfxDevice* device, GfxTexture* texture, int32_t level, int32_t width, int32_t height,
               const uint32_t* argb) {
    GfxLockedRect locked = {};
    ASSERT_EQ(device->lockRect(texture, level, &locked), GFX_OK);
    for (int32_t row = 0; row < height; ++row)
        memcpy((uint8_t*)locked.bits + (size_t)row * locked.pitch, argb + (size_t)row * width, (size_t)width * 4);
    ASSERT_EQ(device->unlockRect(texture, level), GFX_OK);
}

// ---- Rules both backends keep ----

class TextureDevices : public ::testing::TestWithParam<const GfxBackend*> {
protected:
    void SetUp() override {
        ASSERT_TRUE(GetParam()->open());
        device = GetParam()->createDevice(presentParams(640, 480, GFX_FORMAT_A8R8G8B8));
        ASSERT_NE(device, nullptr);
    }
    void TearDown() override {
        if (device) GetParam()->destroyDevice(device);
        GetParam()->close();
    }
    GfxDevice* device = nullptr;
};

INSTANTIATE_TEST_SUITE_P(TextureBackends, TextureDevices, ::testing::Values(&GFX_HEADLESS, &GFX_RECORDING),
                         [](const ::testing::TestParamInfo<const GfxBackend*>& info) {
                             return std::string(info.param->name);
                         });

struct PitchCase {
    GfxFormat format;
    int32_t width;
    int32_t pitch;
};
const PitchCase PITCH_CASES[] = {
    {GFX_FORMAT_A8R8G8B8, 3, 12}, {GFX_FORMAT_X8R8G8B8, 5, 20}, {GFX_FORMAT_R5G6B5, 3, 6},
    {GFX_FORMAT_X1R5G5B5, 1, 2},  {GFX_FORMAT_A1R5G5B5, 7, 14}, {GFX_FORMAT_A4R4G4B4, 2, 4},
};

TEST_P(TextureDevices, LockHandsOutEachLevelsTexelsAndKeepsThem) {
    for (const PitchCase& c : PITCH_CASES) {
        GfxTexture* texture = device->createTexture(c.width, 4, 0, GFX_USAGE_NONE, c.format, GFX_POOL_MANAGED);
        ASSERT_NE(texture, nullptr) << c.format;
        GfxLockedRect locked = {};
        ASSERT_EQ(device->lockRect(texture, 0, &locked), GFX_OK) << c.format;
        EXPECT_EQ(locked.pitch, c.pitch) << c.format;
        uint8_t* bytes = (uint8_t*)locked.bits;
        for (int32_t i = 0; i < c.pitch * 4; ++i) {
            EXPECT_EQ(bytes[i], 0) << "texels start as zero, format " << c.format;
            bytes[i] = (uint8_t)(i * 7 + 1);
        }
        ASSERT_EQ(device->unlockRect(texture, 0), GFX_OK);
        GfxLockedRect level2 = {};
        ASSERT_EQ(device->lockRect(texture, 2, &level2), GFX_OK) << c.format;
        EXPECT_EQ(level2.pitch, c.pitch / c.width) << "the 1-texel-wide third level of format " << c.format;
        EXPECT_EQ(device->unlockRect(texture, 2), GFX_OK);
        ASSERT_EQ(device->lockRect(texture, 0, &locked), GFX_OK);
        bytes = (uint8_t*)locked.bits;
        for (int32_t i = 0; i < c.pitch * 4; ++i) ASSERT_EQ(bytes[i], (uint8_t)(i * 7 + 1)) << c.format;
        EXPECT_EQ(device->unlockRect(texture, 0), GFX_OK);
        device->releaseTexture(texture);
    }
}

TEST_P(TextureDevices, LockRefusesWhatCannotBeLocked) {
    GfxTexture* texture = device->createTexture(8, 8, 2, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, GFX_POOL_MANAGED);
    GfxTexture* target =
        device->createTexture(8, 8, 1, GFX_USAGE_RENDER_TARGET, GFX_FORMAT_A8R8G8B8, GFX_POOL_DEFAULT);
    ASSERT_NE(texture, nullptr);
    ASSERT_NE(target, nullptr);
    GfxLockedRect locked = {};
    EXPECT_EQ(device->unlockRect(texture, 0), GFX_INVALID_CALL) << "not locked";
    ASSERT_EQ(device->lockRect(texture, 0, &locked), GFX_OK);
    EXPECT_EQ(device->lockRect(texture, 0, &locked), GFX_INVALID_CALL) << "locked twice";
    EXPECT_EQ(device->lockRect(texture, 1, &locked), GFX_OK) << "another level locks on its own";
    EXPECT_EQ(device->lockRect(texture, 2, &locked), GFX_INVALID_CALL) << "a level it lacks";
    EXPECT_EQ(device->lockRect(texture, -1, &locked), GFX_INVALID_CALL);
    EXPECT_EQ(device->lockRect(target, 0, &locked), GFX_INVALID_CALL) << "a render target";
    EXPECT_EQ(device->lockRect(nullptr, 0, &locked), GFX_INVALID_CALL);
    device->releaseTexture(texture);
    EXPECT_EQ(device->lockRect(texture, 0, &locked), GFX_INVALID_CALL) << "a released texture";
    device->releaseTexture(target);
}

struct DrawRefusalCase {
    const char* what;
    uint32_t fvf;
    GfxPrimitive type;
    int32_t count;
    int32_t stride;
    bool vertices;
};
const DrawRefusalCase DRAW_REFUSAL_CASES[] = {
    {"no format", 0, GFX_PT_TRIANGLELIST, 1, 32, true},
    {"two kinds of position", GFX_FVF_XYZ | GFX_FVF_XYZRHW, GFX_PT_TRIANGLELIST, 1, 32, true},
    {"an unknown bit", SPRITE_FVF | 1u << 20, GFX_PT_TRIANGLELIST, 1, 32, true},
    {"stride shorter than the vertex", SPRITE_FVF, GFX_PT_TRIANGLELIST, 1, 28, true},
    {"no triangles", SPRITE_FVF, GFX_PT_TRIANGLESTRIP, 0, 32, true},
    {"too many triangles", SPRITE_FVF, GFX_PT_TRIANGLELIST, GFX_DRAW_PRIMITIVE_MAX + 1, 32, true},
    {"no vertices", SPRITE_FVF, GFX_PT_TRIANGLEFAN, 1, 32, false},
    {"an unknown primitive", SPRITE_FVF, (GfxPrimitive)3, 1, 32, true},
};

TEST_P(TextureDevices, DrawsRefuseVerticesThatMakeNoTriangles) {
    Quad quad = spriteQuad(0, 0, 4, 4, 0xFFFFFFFF);
    for (const DrawRefusalCase& c : DRAW_REFUSAL_CASES) {
        device->setVertexFormat(c.fvf);
        EXPECT_EQ(device->drawPrimitiveUP(c.type, c.count, c.vertices ? quad.v : nullptr, c.stride), GFX_INVALID_CALL)
            << c.what;
    }
    device->setVertexFormat(SPRITE_FVF);
    EXPECT_EQ(device->drawPrimitiveUP(GFX_PT_TRIANGLELIST, 2, quad.v, 32), GFX_OK);
    EXPECT_EQ(device->drawPrimitiveUP(GFX_PT_TRIANGLESTRIP, 1, quad.v, 40), GFX_OK) << "a longer stride";
    device->simulateDeviceLoss();
    EXPECT_EQ(device->drawPrimitiveUP(GFX_PT_TRIANGLELIST, 2, quad.v, 32), GFX_OK) << "lost: silently nothing";
}

TEST_P(TextureDevices, ManagedTexturesSurviveAResetThatDefaultPoolOnesBlock) {
    GfxTexture* managed = device->createTexture(4, 4, 1, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, GFX_POOL_MANAGED);
    GfxTexture* plain = device->createTexture(4, 4, 1, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, GFX_POOL_DEFAULT);
    ASSERT_NE(managed, nullptr);
    ASSERT_NE(plain, nullptr);
    const uint32_t texels[16] = {0xFF123456};
    fillLevel(device, managed, 0, 4, 4, texels);
    device->simulateDeviceLoss();
    EXPECT_EQ(device->reset(presentParams(800, 600, GFX_FORMAT_A8R8G8B8)), GFX_INVALID_CALL) << "a default-pool texture is alive";
    device->releaseTexture(plain);
    ASSERT_EQ(device->reset(presentParams(800, 600, GFX_FORMAT_A8R8G8B8)), GFX_OK);
    GfxLockedRect locked = {};
    ASSERT_EQ(device->lockRect(managed, 0, &locked), GFX_OK);
    EXPECT_EQ(*(const uint32_t*)locked.bits, 0xFF123456u) << "the managed texture kept its texels";
    EXPECT_EQ(device->unlockRect(managed, 0), GFX_OK);
}

// A loader thread creates and fills textures while the main thread creates,
// draws and releases its own; the pool stays consistent.
TEST_P(TextureDevices, LoaderThreadSharesThePool) {
    constexpr int32_t ROUNDS = 64;
    std::atomic<int32_t> loaderMade{0};
    std::vector<GfxTexture*> loaded(ROUNDS, nullptr);
    std::thread loader([&] {
        const uint32_t texels[4] = {0xFF00FF00, 0xFF00FF00, 0xFF00FF00, 0xFF00FF00};
        for (int32_t i = 0; i < ROUNDS; ++i) {
            GfxTexture* texture = device->createTexture(2, 2, 1, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8,
                                                        i % 2 ? GFX_POOL_DEFAULT : GFX_POOL_MANAGED);
            if (!texture) continue;
            fillLevel(device, texture, 0, 2, 2, texels);
            if (i % 4 == 3) {
                device->releaseTexture(texture);
                continue;
            }
            loaded[i] = texture;
            loaderMade.fetch_add(1, std::memory_order_release);
        }
    });
    Quad quad = spriteQuad(0, 0, 8, 8, 0xFFFFFFFF);
    device->setVertexFormat(SPRITE_FVF);
    for (int32_t i = 0; i < ROUNDS; ++i) {
        GfxTexture* own = device->createTexture(4, 4, 1, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, GFX_POOL_DEFAULT);
        ASSERT_NE(own, nullptr);
        device->setTexture(0, own);
        device->drawPrimitiveUP(GFX_PT_TRIANGLELIST, 2, quad.v, 32);
        device->setTexture(0, nullptr);
        device->releaseTexture(own);
        device->present();
    }
    loader.join();
    EXPECT_EQ(loaderMade.load(std::memory_order_acquire), ROUNDS * 3 / 4);
    EXPECT_EQ(device->liveDefaultPoolTextures(), ROUNDS / 4) << "the loader's odd rounds that it kept";
    for (GfxTexture* texture : loaded) device->releaseTexture(texture);
    EXPECT_EQ(device->liveDefaultPoolTextures(), 0);
}

// ---- Pixels on the headless renderer ----

constexpr uint32_t CLEAR = 0xFF2040C0;

class TextureDraw : public ::testing::Test {
protected:
    void SetUp() override { openAt(640, 480); }
    void TearDown() override {
        if (device) GFX_HEADLESS.destroyDevice(device);
        GFX_HEADLESS.close();
    }
    void openAt(int32_t width, int32_t height) {
        if (device) GFX_HEADLESS.destroyDevice(device);
        ASSERT_TRUE(GFX_HEADLESS.open());
        device = GFX_HEADLESS.createDevice(presentParams(width, height, GFX_FORMAT_A8R8G8B8));
        ASSERT_NE(device, nullptr);
        W = width;
        H = height;
        device->setVertexFormat(SPRITE_FVF);
        ASSERT_EQ(device->clear(GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, CLEAR, 1.0f, 0), GFX_OK);
    }
    void clear() { ASSERT_EQ(device->clear(GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, CLEAR, 1.0f, 0), GFX_OK); }
    void draw(const Quad& quad) { ASSERT_EQ(device->drawPrimitiveUP(GFX_PT_TRIANGLELIST, 2, quad.v, 32), GFX_OK); }
    GfxTexture* textureOf(int32_t width, int32_t height, const uint32_t* argb, int32_t levels = 1) {
        GfxTexture* texture =
            device->createTexture(width, height, levels, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, GFX_POOL_MANAGED);
        EXPECT_NE(texture, nullptr);
        if (texture) fillLevel(device, texture, 0, width, height, argb);
        return texture;
    }
    const std::vector<uint32_t>& readBack() {
        pixels.assign((size_t)W * H, 0);
        EXPECT_TRUE(device->readBackBuffer(pixels.data(), W, H));
        return pixels;
    }
    uint32_t pixel(int32_t x, int32_t row) { return readBack()[(size_t)row * W + x]; }

    GfxDevice* device = nullptr;
    int32_t W = 0;
    int32_t H = 0;
    std::vector<uint32_t> pixels;
};

bool nearColor(uint32_t a, uint32_t b, int tolerance) {
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs((int)((a >> shift) & 0xFF) - (int)((b >> shift) & 0xFF)) > tolerance) return false;
    return true;
}

struct CoverageCase {
    const char* what;
    int32_t width, height;            // back buffer
    float left, top, right, bottom;   // the quad's corners
    int32_t x0, y0, x1, y1;           // the pixels it must cover, inclusive
};
const CoverageCase COVERAGE_CASES[] = {
    {"half-pixel corners at 640x480", 640, 480, 9.5f, 19.5f, 39.5f, 59.5f, 10, 20, 39, 59},
    {"a one-pixel column at 1280x960", 1280, 960, 99.5f, 199.5f, 100.5f, 202.5f, 100, 200, 100, 202},
    {"the whole 1280x960 screen", 1280, 960, -0.5f, -0.5f, 1279.5f, 959.5f, 0, 0, 1279, 959},
    // A sprite at truncated integer corners with a scaled size: a pixel is
    // covered when its centre lies in [left, right) x [top, bottom).
    {"a scaled sprite at 1024x768", 1024, 768, 16.0f, 32.0f, 41.6f, 44.8f, 16, 32, 41, 44},
};

TEST_F(TextureDraw, PreTransformedQuadCoversExactlyItsPixels) {
    for (const CoverageCase& c : COVERAGE_CASES) {
        openAt(c.width, c.height);
        draw(spriteQuad(c.left, c.top, c.right, c.bottom, 0xFFFFFFFF));
        readBack();
        int32_t covered = 0;
        int32_t minX = c.width, minY = c.height, maxX = -1, maxY = -1;
        for (int32_t y = 0; y < c.height; ++y)
            for (int32_t x = 0; x < c.width; ++x) {
                uint32_t p = pixels[(size_t)y * c.width + x];
                if (p == CLEAR) continue;
                EXPECT_EQ(p, 0xFFFFFFFFu) << c.what;
                ++covered;
                minX = std::min(minX, x), minY = std::min(minY, y), maxX = std::max(maxX, x), maxY = std::max(maxY, y);
            }
        EXPECT_EQ(minX, c.x0) << c.what;
        EXPECT_EQ(minY, c.y0) << c.what;
        EXPECT_EQ(maxX, c.x1) << c.what;
        EXPECT_EQ(maxY, c.y1) << c.what;
        EXPECT_EQ(covered, (c.x1 - c.x0 + 1) * (c.y1 - c.y0 + 1)) << c.what;
    }
}

// One texel 0xC0406080 under a diffuse colour 0x80FF8040.
constexpr uint32_t TEXEL = 0xC0406080;
constexpr uint32_t DIFFUSE = 0x80FF8040;
constexpr uint32_t TFACTOR = 0x33123456;

struct StageCase {
    const char* what;
    uint32_t colorOp, colorArg1, colorArg2;
    uint32_t alphaOp, alphaArg1, alphaArg2;
    uint32_t diffuse;
    uint32_t want;
};
const StageCase STAGE_CASES[] = {
    {"modulate by diffuse", GFX_TOP_MODULATE, GFX_TA_TEXTURE, GFX_TA_DIFFUSE, GFX_TOP_MODULATE, GFX_TA_TEXTURE,
     GFX_TA_DIFFUSE, DIFFUSE, 0x60403020},
    {"modulate twice", GFX_TOP_MODULATE2X, GFX_TA_TEXTURE, GFX_TA_DIFFUSE, GFX_TOP_SELECTARG1, GFX_TA_TEXTURE,
     GFX_TA_DIFFUSE, DIFFUSE, 0xC0806040},
    {"modulate four times, clamped", GFX_TOP_MODULATE4X, GFX_TA_TEXTURE, GFX_TA_DIFFUSE, GFX_TOP_SELECTARG2,
     GFX_TA_TEXTURE, GFX_TA_DIFFUSE, DIFFUSE, 0x80FFC080},
    {"add, clamped", GFX_TOP_ADD, GFX_TA_TEXTURE, GFX_TA_DIFFUSE, GFX_TOP_ADD, GFX_TA_TEXTURE, GFX_TA_DIFFUSE,
     DIFFUSE, 0xFFFFE0C0},
    {"subtract, clamped at zero", GFX_TOP_SUBTRACT, GFX_TA_TEXTURE, GFX_TA_DIFFUSE, GFX_TOP_SUBTRACT,
     GFX_TA_TEXTURE, GFX_TA_DIFFUSE, DIFFUSE, 0x40000040},
    {"add smoothly", GFX_TOP_ADDSMOOTH, GFX_TA_TEXTURE, GFX_TA_DIFFUSE, GFX_TOP_SELECTARG1, GFX_TA_TEXTURE,
     GFX_TA_DIFFUSE, DIFFUSE, 0xC0FFB0A0},
    {"add signed, grey 0x7F keeps the texel", GFX_TOP_ADDSIGNED, GFX_TA_DIFFUSE, GFX_TA_TEXTURE, GFX_TOP_MODULATE,
     GFX_TA_TEXTURE, GFX_TA_DIFFUSE, 0xFF7F7F7F, 0xC0406080},
    {"add signed, white brightens by half", GFX_TOP_ADDSIGNED, GFX_TA_DIFFUSE, GFX_TA_TEXTURE, GFX_TOP_MODULATE,
     GFX_TA_TEXTURE, GFX_TA_DIFFUSE, 0xFFFFFFFF, 0xC0C0E0FF},
    {"add signed, black darkens by half", GFX_TOP_ADDSIGNED, GFX_TA_DIFFUSE, GFX_TA_TEXTURE, GFX_TOP_MODULATE,
     GFX_TA_TEXTURE, GFX_TA_DIFFUSE, 0xFF000000, 0xC0000000},
    {"select the texture factor", GFX_TOP_SELECTARG1, GFX_TA_TFACTOR, GFX_TA_TEXTURE, GFX_TOP_MODULATE,
     GFX_TA_TEXTURE, GFX_TA_TFACTOR, DIFFUSE, 0x26123456},
    {"select the diffuse colour", GFX_TOP_SELECTARG2, GFX_TA_TEXTURE, GFX_TA_DIFFUSE, GFX_TOP_SELECTARG1,
     GFX_TA_CURRENT, GFX_TA_TEXTURE, DIFFUSE, 0x80FF8040},
    {"colour off: the diffuse colour alone", GFX_TOP_DISABLE, GFX_TA_TEXTURE, GFX_TA_DIFFUSE, GFX_TOP_SELECTARG1,
     GFX_TA_TEXTURE, GFX_TA_DIFFUSE, DIFFUSE, 0x80FF8040},
    {"alpha off keeps the current alpha", GFX_TOP_SELECTARG1, GFX_TA_TEXTURE, GFX_TA_DIFFUSE, GFX_TOP_DISABLE,
     GFX_TA_TEXTURE, GFX_TA_DIFFUSE, DIFFUSE, 0x80406080},
};

TEST_F(TextureDraw, StageOperationsCombineTexelDiffuseAndFactor) {
    const uint32_t texels[4] = {TEXEL, TEXEL, TEXEL, TEXEL};
    GfxTexture* texture = textureOf(2, 2, texels);
    device->setTexture(0, texture);
    device->setRenderState(GFX_RS_TEXTUREFACTOR, TFACTOR);
    for (const StageCase& c : STAGE_CASES) {
        device->setTextureStageState(0, GFX_TSS_COLOROP, c.colorOp);
        device->setTextureStageState(0, GFX_TSS_COLORARG1, c.colorArg1);
        device->setTextureStageState(0, GFX_TSS_COLORARG2, c.colorArg2);
        device->setTextureStageState(0, GFX_TSS_ALPHAOP, c.alphaOp);
        device->setTextureStageState(0, GFX_TSS_ALPHAARG1, c.alphaArg1);
        device->setTextureStageState(0, GFX_TSS_ALPHAARG2, c.alphaArg2);
        clear();
        draw(spriteQuad(9.5f, 9.5f, 13.5f, 13.5f, c.diffuse));
        uint32_t got = pixel(11, 11);
        EXPECT_TRUE(nearColor(got, c.want, 1)) << c.what << ": " << std::hex << got << " want " << c.want;
    }
}

TEST_F(TextureDraw, DefaultStageModulatesColourAndTakesTheTexelsAlpha) {
    const uint32_t texels[1] = {TEXEL};
    device->setTexture(0, textureOf(1, 1, texels));
    draw(spriteQuad(9.5f, 9.5f, 13.5f, 13.5f, DIFFUSE));
    EXPECT_TRUE(nearColor(pixel(11, 11), 0xC0403020, 1)) << std::hex << pixel(11, 11);
    device->setTexture(0, nullptr);
    draw(spriteQuad(19.5f, 9.5f, 23.5f, 13.5f, DIFFUSE));
    EXPECT_EQ(pixel(21, 11), DIFFUSE) << "no texture: the diffuse colour passes";
}

// A 24-bit bottom-up BMP of one row.
std::vector<uint8_t> bmpRow(const std::vector<uint32_t>& argb) {
    size_t stride = (argb.size() * 3 + 3) / 4 * 4;
    std::vector<uint8_t> bytes(54 + stride, 0);
    auto put32 = [&](size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = (uint8_t)(value >> (8 * i));
    };
    bytes[0] = 'B', bytes[1] = 'M';
    put32(2, (uint32_t)bytes.size());
    put32(10, 54);
    put32(14, 40);
    put32(18, (uint32_t)argb.size());
    put32(22, 1);
    bytes[26] = 1;
    bytes[28] = 24;
    for (size_t i = 0; i < argb.size(); ++i) {
        bytes[54 + i * 3] = (uint8_t)argb[i];
        bytes[55 + i * 3] = (uint8_t)(argb[i] >> 8);
        bytes[56 + i * 3] = (uint8_t)(argb[i] >> 16);
    }
    return bytes;
}

TEST_F(TextureDraw, ColourKeyedTexelLetsTheClearColourThrough) {
    std::vector<uint8_t> file = bmpRow({0xFF00FF00, 0xFFFF0000});
    Image image;
    ASSERT_EQ(imageDecode(file.data(), file.size(), imageFileType(file.data(), file.size()), &image), IMAGE_OK);
    imageApplyColorKey(&image, 0xFF00FF00);
    device->setTexture(0, textureOf(image.width, image.height, image.pixels));
    imageFree(&image);

    // Blended over the clear colour, as the 2D states draw.
    device->setRenderState(GFX_RS_ALPHABLENDENABLE, 1);
    device->setRenderState(GFX_RS_SRCBLEND, GFX_BLEND_SRCALPHA);
    device->setRenderState(GFX_RS_DESTBLEND, GFX_BLEND_INVSRCALPHA);
    device->setTextureStageState(0, GFX_TSS_ALPHAOP, GFX_TOP_MODULATE);
    draw(spriteQuad(9.5f, 9.5f, 11.5f, 10.5f, 0xFFFFFFFF));
    EXPECT_EQ(pixel(10, 10), CLEAR) << "the keyed texel";
    EXPECT_EQ(pixel(11, 10), 0xFFFF0000u);

    // Discarded by the alpha test even without blending.
    device->setRenderState(GFX_RS_ALPHABLENDENABLE, 0);
    device->setRenderState(GFX_RS_ALPHATESTENABLE, 1);
    device->setRenderState(GFX_RS_ALPHAFUNC, GFX_CMP_GREATER);
    clear();
    draw(spriteQuad(9.5f, 9.5f, 11.5f, 10.5f, 0xFFFFFFFF));
    EXPECT_EQ(pixel(10, 10), CLEAR);
    EXPECT_EQ(pixel(11, 10), 0xFFFF0000u);
}

struct FormatCase {
    GfxFormat format;
    uint32_t stored;   // one texel as the format stores it
    uint32_t want;     // drawn with a white diffuse colour
};
const FormatCase FORMAT_CASES[] = {
    {GFX_FORMAT_A8R8G8B8, 0x80FF0000, 0x80FF0000},
    {GFX_FORMAT_X8R8G8B8, 0x0000FF00, 0xFF00FF00},   // the unused byte reads as opaque
    {GFX_FORMAT_R5G6B5, 0xF800, 0xFFFF0000},
    {GFX_FORMAT_X1R5G5B5, 0x03E0, 0xFF00FF00},
    {GFX_FORMAT_A1R5G5B5, 0x801F, 0xFF0000FF},
    {GFX_FORMAT_A1R5G5B5, 0x7C00, 0x00FF0000},
    {GFX_FORMAT_A4R4G4B4, 0x8F00, 0x88FF0000},
};

TEST_F(TextureDraw, EachFormatDrawsItsTexels) {
    for (const FormatCase& c : FORMAT_CASES) {
        // Three texels wide, so 16-bit rows are not a multiple of four bytes.
        GfxTexture* texture = device->createTexture(3, 2, 1, GFX_USAGE_NONE, c.format, GFX_POOL_MANAGED);
        ASSERT_NE(texture, nullptr);
        GfxLockedRect locked = {};
        ASSERT_EQ(device->lockRect(texture, 0, &locked), GFX_OK);
        int32_t bytes = gfxFormatBytes(c.format);
        for (int32_t row = 0; row < 2; ++row)
            for (int32_t x = 0; x < 3; ++x)
                memcpy((uint8_t*)locked.bits + row * locked.pitch + x * bytes, &c.stored, (size_t)bytes);
        ASSERT_EQ(device->unlockRect(texture, 0), GFX_OK);
        device->setTexture(0, texture);
        clear();
        draw(spriteQuad(9.5f, 9.5f, 12.5f, 11.5f, 0xFFFFFFFF));
        EXPECT_EQ(pixel(12, 11), c.want) << "format " << c.format;
        device->releaseTexture(texture);
    }
}

TEST_F(TextureDraw, TexelsUnlockedAfterBindingDrawAtTheNextDraw) {
    const uint32_t red[1] = {0xFFFF0000};
    const uint32_t green[1] = {0xFF00FF00};
    GfxTexture* texture = textureOf(1, 1, red);
    device->setTexture(0, texture);
    draw(spriteQuad(9.5f, 9.5f, 10.5f, 10.5f, 0xFFFFFFFF));
    EXPECT_EQ(pixel(10, 10), red[0]);
    fillLevel(device, texture, 0, 1, 1, green);
    draw(spriteQuad(9.5f, 9.5f, 10.5f, 10.5f, 0xFFFFFFFF));
    EXPECT_EQ(pixel(10, 10), green[0]) << "still bound, refilled";
}

TEST_F(TextureDraw, ManagedTextureDrawsAfterAReset) {
    const uint32_t texels[1] = {0xFF123456};
    GfxTexture* texture = textureOf(1, 1, texels);
    device->setTexture(0, texture);
    draw(spriteQuad(9.5f, 9.5f, 10.5f, 10.5f, 0xFFFFFFFF));
    device->simulateDeviceLoss();
    ASSERT_EQ(device->reset(presentParams(W, H, GFX_FORMAT_A8R8G8B8)), GFX_OK);
    device->setVertexFormat(SPRITE_FVF);
    device->setTexture(0, texture);
    clear();
    draw(spriteQuad(9.5f, 9.5f, 10.5f, 10.5f, 0xFFFFFFFF));
    EXPECT_EQ(pixel(10, 10), 0xFF123456u);
}

// Two texels, black and white, over eight pixels.
struct SamplingCase {
    const char* what;
    uint32_t magFilter;
    uint32_t address;
    float uRight;             // u at the right edge; 0 at the left
    const char* want;         // per pixel: b black, w white, g grey, 0 transparent black
};
const SamplingCase SAMPLING_CASES[] = {
    {"point, clamped", GFX_FILTER_POINT, GFX_ADDRESS_CLAMP, 1, "bbbbwwww"},
    {"linear, clamped", GFX_FILTER_LINEAR, GFX_ADDRESS_CLAMP, 1, "bbggggww"},
    {"wrapped", GFX_FILTER_POINT, GFX_ADDRESS_WRAP, 2, "bbwwbbww"},
    {"mirrored", GFX_FILTER_POINT, GFX_ADDRESS_MIRROR, 2, "bbwwwwbb"},
    {"clamped past the edge", GFX_FILTER_POINT, GFX_ADDRESS_CLAMP, 2, "bbwwwwww"},
    {"border past the edge", GFX_FILTER_POINT, GFX_ADDRESS_BORDER, 2, "bbww0000"},
};

TEST_F(TextureDraw, FiltersAndAddressModesFollowTheStage) {
    const uint32_t texels[2] = {0xFF000000, 0xFFFFFFFF};
    device->setTexture(0, textureOf(2, 1, texels));
    device->setTextureStageState(0, GFX_TSS_ALPHAOP, GFX_TOP_MODULATE);
    for (const SamplingCase& c : SAMPLING_CASES) {
        device->setTextureStageState(0, GFX_TSS_MAGFILTER, c.magFilter);
        device->setTextureStageState(0, GFX_TSS_ADDRESSU, c.address);
        clear();
        draw(spriteQuad(-0.5f, -0.5f, 7.5f, 0.5f, 0xFFFFFFFF, 0, 0, c.uRight, 1));
        readBack();
        for (int32_t x = 0; x < 8; ++x) {
            uint32_t p = pixels[x];
            uint32_t grey = p & 0xFF;
            bool ok = c.want[x] == 'b'   ? p == 0xFF000000
                      : c.want[x] == 'w' ? p == 0xFFFFFFFF
                      : c.want[x] == '0' ? p == 0
                                         : grey > 0x10 && grey < 0xF0;
            EXPECT_TRUE(ok) << c.what << ": pixel " << x << " is " << std::hex << p;
        }
    }
}

TEST_F(TextureDraw, MipFilterPicksTheLevelTheSizeAsksFor) {
    std::vector<uint32_t> level0(16, 0xFFFF0000), level1(4, 0xFF00FF00), level2(1, 0xFF0000FF);
    GfxTexture* texture = textureOf(4, 4, level0.data(), 3);
    fillLevel(device, texture, 1, 2, 2, level1.data());
    fillLevel(device, texture, 2, 1, 1, level2.data());
    device->setTexture(0, texture);

    struct MipCase {
        const char* what;
        uint32_t mipFilter;
        float bias;
        uint32_t want;
    };
    const MipCase cases[] = {
        {"no mips: level 0", GFX_FILTER_NONE, 0.0f, 0xFFFF0000},
        {"half size: level 1", GFX_FILTER_POINT, 0.0f, 0xFF00FF00},
        {"a bias of one more: level 2", GFX_FILTER_POINT, 1.0f, 0xFF0000FF},
    };
    for (const MipCase& c : cases) {
        uint32_t bias = 0;
        memcpy(&bias, &c.bias, sizeof bias);
        device->setTextureStageState(0, GFX_TSS_MIPFILTER, c.mipFilter);
        device->setTextureStageState(0, GFX_TSS_MIPMAPLODBIAS, bias);
        clear();
        draw(spriteQuad(9.5f, 9.5f, 11.5f, 11.5f, 0xFFFFFFFF));   // 4 texels over 2 pixels
        EXPECT_EQ(pixel(10, 10), c.want) << c.what;
    }
}

TEST_F(TextureDraw, UntransformedStripsAndFansFollowTheTransforms) {
    device->setRenderState(GFX_RS_LIGHTING, 0);
    device->setRenderState(GFX_RS_CULLMODE, GFX_CULL_NONE);
    device->setVertexFormat(EFFECT_FVF);
    // Clip space with identity transforms: the upper half red as a strip,
    // the lower left quarter green as a fan.
    const EffectVertex strip[4] = {{-1, 0, 0.5f, 0xFFFF0000, 0, 0},
                                   {-1, 1, 0.5f, 0xFFFF0000, 0, 0},
                                   {1, 0, 0.5f, 0xFFFF0000, 0, 0},
                                   {1, 1, 0.5f, 0xFFFF0000, 0, 0}};
    const EffectVertex fan[4] = {{-1, -1, 0.5f, 0xFF00FF00, 0, 0},
                                 {-1, 0, 0.5f, 0xFF00FF00, 0, 0},
                                 {0, 0, 0.5f, 0xFF00FF00, 0, 0},
                                 {0, -1, 0.5f, 0xFF00FF00, 0, 0}};
    ASSERT_EQ(device->drawPrimitiveUP(GFX_PT_TRIANGLESTRIP, 2, strip, 24), GFX_OK);
    ASSERT_EQ(device->drawPrimitiveUP(GFX_PT_TRIANGLEFAN, 2, fan, 24), GFX_OK);
    EXPECT_EQ(pixel(W - 1, 0), 0xFFFF0000u);
    EXPECT_EQ(pixel(0, H / 2 - 1), 0xFFFF0000u);
    EXPECT_EQ(pixel(0, H - 1), 0xFF00FF00u);
    EXPECT_EQ(pixel(W / 2 - 1, H / 2), 0xFF00FF00u);
    EXPECT_EQ(pixel(W / 2, H / 2), CLEAR);

    // A pre-transformed draw in between leaves the transforms in force.
    const float half[16] = {0.5f, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    device->setTransform(GFX_TS_WORLD, half);
    device->setVertexFormat(SPRITE_FVF);
    draw(spriteQuad(-0.5f, -0.5f, 0.5f, 0.5f, 0xFF0000FF));
    device->setVertexFormat(EFFECT_FVF);
    clear();
    const uint32_t white[1] = {0xFFFFFFFF};
    device->setTexture(0, textureOf(1, 1, white));
    ASSERT_EQ(device->drawPrimitiveUP(GFX_PT_TRIANGLESTRIP, 2, strip, 24), GFX_OK);
    EXPECT_EQ(pixel(W / 2, H / 4 + 1), 0xFFFF0000u) << "scaled by the world transform";
    EXPECT_EQ(pixel(W / 2, H / 4 - 2), CLEAR);
    EXPECT_EQ(pixel(W - 1, H / 2 - 1), CLEAR);
}

// ---- Loader threads ----

TEST_F(TextureDraw, TextureFilledOnALoaderThreadDrawsOnTheNextFrame) {
    const uint32_t sign[1] = {0xFF808080};
    GfxTexture* loadingSign = textureOf(1, 1, sign);
    std::atomic<GfxTexture*> handedOver{nullptr};
    std::thread loader([&] {
        std::vector<uint32_t> texels(16 * 16);
        for (size_t i = 0; i < texels.size(); ++i) texels[i] = i % 2 ? 0xFF00FF00 : 0xFFFF00FF;
        GfxTexture* texture =
            device->createTexture(16, 16, 1, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, GFX_POOL_MANAGED);
        if (texture) fillLevel(device, texture, 0, 16, 16, texels.data());
        handedOver.store(texture, std::memory_order_release);
    });
    // Frames go on with the loading sign until the texture is handed over.
    GfxTexture* loaded = nullptr;
    for (int32_t frame = 0; frame < 100000 && !loaded; ++frame) {
        device->setTexture(0, loadingSign);
        draw(spriteQuad(-0.5f, -0.5f, 0.5f, 0.5f, 0xFFFFFFFF));
        ASSERT_EQ(device->present(), GFX_OK);
        loaded = handedOver.load(std::memory_order_acquire);
    }
    loader.join();
    ASSERT_NE(loaded, nullptr);
    device->setTexture(0, loaded);
    clear();
    draw(spriteQuad(9.5f, 9.5f, 25.5f, 25.5f, 0xFFFFFFFF));
    EXPECT_EQ(pixel(10, 10), 0xFFFF00FFu);
    EXPECT_EQ(pixel(11, 10), 0xFF00FF00u);
    EXPECT_EQ(pixel(25, 25), 0xFF00FF00u);
}

TEST_F(TextureDraw, TextureReleasedOnALoaderThreadGivesUpItsGlTexture) {
    const uint32_t texels[1] = {0xFFFF0000};
    GfxTexture* texture = textureOf(1, 1, texels);
    device->setTexture(0, texture);
    GLint name = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    ASSERT_NE(name, 0);
    device->setTexture(0, nullptr);
    std::thread([&] { device->releaseTexture(texture); }).join();
    EXPECT_EQ(device->lockRect(texture, 0, nullptr), GFX_INVALID_CALL) << "released at once for its callers";
    EXPECT_TRUE(glIsTexture((GLuint)name)) << "GL objects wait for the main thread";
    ASSERT_EQ(device->present(), GFX_OK);
    EXPECT_FALSE(glIsTexture((GLuint)name));
}

}  // namespace
