// Vertex and index buffers and indexed draws: the rules both backends keep
// (sizes, locks, a fixed pool, draws refused when they would read outside
// the buffers), then the OpenGL device's pixels: an indexed quad in its
// vertex colours, a base vertex, a rewritten buffer drawn anew, the
// material of a lit draw, and buffers filled on another thread.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

#include "platform/gfx.h"

namespace {

constexpr int32_t W = 64;
constexpr int32_t H = 48;
constexpr uint32_t FORMAT = GFX_FVF_XYZ | GFX_FVF_NORMAL | GFX_FVF_DIFFUSE | GFX_FVF_TEX1;

struct Vertex {
    float x, y, z;
    float nx, ny, nz;
    uint32_t diffuse;
    float u, v;
};
static_assert(sizeof(Vertex) == 36);

// A quad in clip space from (x0, y0) to (x1, y1), wound clockwise on screen
// (the front side), in one colour.
void quad(Vertex* out, float x0, float y0, float x1, float y1, uint32_t argb) {
    const float corners[4][2] = {{x0, y1}, {x1, y1}, {x1, y0}, {x0, y0}};
    for (int i = 0; i < 4; ++i) out[i] = Vertex{corners[i][0], corners[i][1], 0.5f, 0, 0, -1, argb, 0, 0};
}

const uint32_t QUAD_INDICES[6] = {0, 1, 2, 0, 2, 3};

GfxBuffer* filled(GfxDevice* device, GfxBufferKind kind, const void* bytes, int32_t size) {
    GfxBuffer* buffer = device->createBuffer(kind, size);
    if (!buffer) return nullptr;
    void* into = device->lockBuffer(buffer);
    if (into) memcpy(into, bytes, (size_t)size);
    device->unlockBuffer(buffer);
    return buffer;
}

class DeviceFixture {
protected:
    void open(const GfxBackend& backend) {
        ASSERT_TRUE(backend.open()) << backend.name;
        opened = &backend;
        device = backend.createDevice(GfxPresentParams{W, H, GFX_FORMAT_X8R8G8B8, true, true, GFX_FORMAT_D16, false});
        ASSERT_NE(device, nullptr);
    }
    void close() {
        if (!opened) return;
        if (device) opened->destroyDevice(device);
        opened->close();
    }
    const GfxBackend* opened = nullptr;
    GfxDevice* device = nullptr;
};

class GfxBuffers : public DeviceFixture, public ::testing::TestWithParam<const GfxBackend*> {
protected:
    void SetUp() override { open(*GetParam()); }
    void TearDown() override { close(); }
};

INSTANTIATE_TEST_SUITE_P(GfxBackends, GfxBuffers, ::testing::Values(&GFX_HEADLESS, &GFX_RECORDING),
                         [](const ::testing::TestParamInfo<const GfxBackend*>& info) {
                             return std::string(info.param->name);
                         });

TEST_P(GfxBuffers, SizesLocksAndAFixedPool) {
    EXPECT_EQ(device->createBuffer(GFX_BUFFER_VERTEX, 0), nullptr);
    EXPECT_EQ(device->createBuffer(GFX_BUFFER_INDEX, GFX_BUFFER_BYTES_MAX + 1), nullptr);
    GfxBuffer* buffer = device->createBuffer(GFX_BUFFER_VERTEX, 16);
    ASSERT_NE(buffer, nullptr);
    uint8_t* bytes = (uint8_t*)device->lockBuffer(buffer);
    ASSERT_NE(bytes, nullptr);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(bytes[i], 0) << "new buffers start as zero";
    EXPECT_EQ(device->lockBuffer(buffer), nullptr) << "locked already";
    device->unlockBuffer(buffer);
    EXPECT_NE(device->lockBuffer(buffer), nullptr);
    device->unlockBuffer(buffer);
    device->releaseBuffer(buffer);

    std::vector<GfxBuffer*> all;
    while (GfxBuffer* b = device->createBuffer(GFX_BUFFER_INDEX, 4)) {
        all.push_back(b);
        if (all.size() > (size_t)GFX_BUFFER_MAX) break;
    }
    EXPECT_EQ(all.size(), (size_t)GFX_BUFFER_MAX);
    device->releaseBuffer(all.back());
    all.pop_back();
    EXPECT_NE(all.emplace_back(device->createBuffer(GFX_BUFFER_INDEX, 4)), nullptr) << "a released slot is taken again";
    for (GfxBuffer* b : all) device->releaseBuffer(b);
}

TEST_P(GfxBuffers, DrawsThatWouldReadOutsideTheBuffersAreRefused) {
    Vertex vertices[4];
    quad(vertices, -1, -1, 1, 1, 0xFFFFFFFF);
    GfxBuffer* vb = filled(device, GFX_BUFFER_VERTEX, vertices, sizeof vertices);
    GfxBuffer* ib = filled(device, GFX_BUFFER_INDEX, QUAD_INDICES, sizeof QUAD_INDICES);
    const uint32_t far[3] = {0, 1, 4};
    GfxBuffer* farIndices = filled(device, GFX_BUFFER_INDEX, far, sizeof far);
    device->setVertexFormat(FORMAT);
    ASSERT_EQ(device->beginScene(), GFX_OK);
    EXPECT_EQ(device->drawIndexedPrimitive(GFX_PT_TRIANGLELIST, 0, 0, 2), GFX_INVALID_CALL) << "no buffers set";
    device->setStreamSource(vb, sizeof(Vertex));
    device->setIndices(ib);
    EXPECT_EQ(device->drawIndexedPrimitive(GFX_PT_TRIANGLELIST, 0, 0, 2), GFX_OK);
    struct Case {
        const char* what;
        int32_t base, start, count;
    };
    const Case refused[] = {
        {"more triangles than indices", 0, 0, 3},
        {"a start beyond the indices", 0, 4, 1},
        {"a base vertex that pushes an index out", 1, 0, 1},
        {"a negative start", 0, -3, 1},
        {"no triangles", 0, 0, 0},
    };
    for (const Case& c : refused)
        EXPECT_EQ(device->drawIndexedPrimitive(GFX_PT_TRIANGLELIST, c.base, c.start, c.count), GFX_INVALID_CALL)
            << c.what;
    device->setIndices(farIndices);
    EXPECT_EQ(device->drawIndexedPrimitive(GFX_PT_TRIANGLELIST, 0, 0, 1), GFX_INVALID_CALL) << "index 4 of 4 vertices";
    device->setIndices(ib);
    device->lockBuffer(vb);
    EXPECT_EQ(device->drawIndexedPrimitive(GFX_PT_TRIANGLELIST, 0, 0, 2), GFX_INVALID_CALL) << "a locked buffer";
    device->unlockBuffer(vb);
    device->setStreamSource(vb, 20);
    EXPECT_EQ(device->drawIndexedPrimitive(GFX_PT_TRIANGLELIST, 0, 0, 2), GFX_INVALID_CALL) << "a short stride";
    device->setStreamSource(vb, sizeof(Vertex));
    device->simulateDeviceLoss();
    EXPECT_EQ(device->drawIndexedPrimitive(GFX_PT_TRIANGLELIST, 0, 0, 2), GFX_OK) << "a lost device draws nothing";
    device->endScene();
    for (GfxBuffer* b : {vb, ib, farIndices}) device->releaseBuffer(b);
}

TEST_P(GfxBuffers, SkinnedVerticesDrawOnlyIndexedThroughAProgram) {
    GfxSkinVertex vertices[3] = {};
    const uint32_t indices[3] = {0, 1, 2};
    GfxBuffer* vb = filled(device, GFX_BUFFER_VERTEX, vertices, sizeof vertices);
    GfxBuffer* ib = filled(device, GFX_BUFFER_INDEX, indices, sizeof indices);
    device->setVertexFormat(GFX_FVF_SKINNED);
    device->setStreamSource(vb, sizeof(GfxSkinVertex));
    device->setIndices(ib);
    ASSERT_EQ(device->beginScene(), GFX_OK);
    EXPECT_EQ(device->drawIndexedPrimitive(GFX_PT_TRIANGLELIST, 0, 0, 1), GFX_INVALID_CALL) << "no program set";
    device->setSkinProgram(5, 0);
    EXPECT_EQ(device->drawIndexedPrimitive(GFX_PT_TRIANGLELIST, 0, 0, 1), GFX_INVALID_CALL) << "five bones: none set";
    device->setSkinProgram(2, 1);
    EXPECT_EQ(device->drawIndexedPrimitive(GFX_PT_TRIANGLELIST, 0, 0, 1), GFX_OK);
    EXPECT_EQ(device->drawPrimitiveUP(GFX_PT_TRIANGLELIST, 1, vertices, sizeof(GfxSkinVertex)), GFX_INVALID_CALL)
        << "skinned vertices are not drawn from user memory";
    device->setSkinProgram(0, 0);
    EXPECT_EQ(device->drawIndexedPrimitive(GFX_PT_TRIANGLELIST, 0, 0, 1), GFX_INVALID_CALL) << "the program unset";
    device->endScene();
    device->releaseBuffer(vb);
    device->releaseBuffer(ib);
}

class GfxHeadlessBuffers : public DeviceFixture, public ::testing::Test {
protected:
    void SetUp() override {
        open(GFX_HEADLESS);
        device->setRenderState(GFX_RS_LIGHTING, 0);
        device->setRenderState(GFX_RS_CULLMODE, GFX_CULL_NONE);
        device->setVertexFormat(FORMAT);
    }
    void TearDown() override { close(); }
    uint32_t pixel(int32_t x, int32_t y) {
        std::vector<uint32_t> argb((size_t)W * H);
        if (!device->readBackBuffer(argb.data(), W, H)) return 0;
        return argb[(size_t)y * W + x] | 0xFF000000u;
    }
    void draw(int32_t base, int32_t start, int32_t count) {
        device->clear(GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        device->beginScene();
        EXPECT_EQ(device->drawIndexedPrimitive(GFX_PT_TRIANGLELIST, base, start, count), GFX_OK);
        device->endScene();
    }
};

TEST_F(GfxHeadlessBuffers, AnIndexedQuadDrawsInItsVertexColours) {
    Vertex vertices[8];
    quad(vertices, -1, 0, 0, 1, 0xFFFF0000);   // top left, red
    quad(vertices + 4, 0, -1, 1, 0, 0xFF0000FF);   // bottom right, blue
    GfxBuffer* vb = filled(device, GFX_BUFFER_VERTEX, vertices, sizeof vertices);
    GfxBuffer* ib = filled(device, GFX_BUFFER_INDEX, QUAD_INDICES, sizeof QUAD_INDICES);
    device->setStreamSource(vb, sizeof(Vertex));
    device->setIndices(ib);

    draw(0, 0, 2);
    EXPECT_EQ(pixel(8, 8), 0xFFFF0000u) << "the first quad, top left";
    EXPECT_EQ(pixel(W - 8, H - 8), 0xFF000000u);
    draw(4, 0, 2);
    EXPECT_EQ(pixel(8, 8), 0xFF000000u);
    EXPECT_EQ(pixel(W - 8, H - 8), 0xFF0000FFu) << "the base vertex picks the second quad";
    draw(0, 3, 1);
    EXPECT_EQ(pixel(W / 2 - 2, 2), 0xFF000000u) << "only the second triangle";

    // Rewritten after it was drawn: the next draw shows the new bytes.
    Vertex* into = (Vertex*)device->lockBuffer(vb);
    ASSERT_NE(into, nullptr);
    for (int i = 0; i < 4; ++i) into[i].diffuse = 0xFF00FF00;
    device->unlockBuffer(vb);
    draw(0, 0, 2);
    EXPECT_EQ(pixel(8, 8), 0xFF00FF00u);
    device->releaseBuffer(vb);
    device->releaseBuffer(ib);
}

TEST_F(GfxHeadlessBuffers, ALitDrawTakesTheMaterialNotTheVertexColour) {
    Vertex vertices[4];
    quad(vertices, -1, -1, 1, 1, 0xFFFF0000);
    GfxBuffer* vb = filled(device, GFX_BUFFER_VERTEX, vertices, sizeof vertices);
    GfxBuffer* ib = filled(device, GFX_BUFFER_INDEX, QUAD_INDICES, sizeof QUAD_INDICES);
    device->setStreamSource(vb, sizeof(Vertex));
    device->setIndices(ib);
    device->setRenderState(GFX_RS_LIGHTING, 1);
    GfxMaterial material = {};
    material.emissive = {0.0f, 1.0f, 1.0f, 1.0f};   // no light is on: only the emissive colour shows
    device->setMaterial(material);
    draw(0, 0, 2);
    EXPECT_EQ(pixel(W / 2, H / 2), 0xFF00FFFFu);
    device->releaseBuffer(vb);
    device->releaseBuffer(ib);
}

TEST_F(GfxHeadlessBuffers, BuffersFilledAndReleasedOnAnotherThread) {
    Vertex vertices[4];
    quad(vertices, -1, -1, 1, 1, 0xFF808080);
    GfxBuffer* vb = nullptr;
    GfxBuffer* ib = nullptr;
    GfxBuffer* dropped = nullptr;
    std::thread loader([&] {
        vb = filled(device, GFX_BUFFER_VERTEX, vertices, sizeof vertices);
        ib = filled(device, GFX_BUFFER_INDEX, QUAD_INDICES, sizeof QUAD_INDICES);
        dropped = device->createBuffer(GFX_BUFFER_VERTEX, 64);
    });
    loader.join();
    ASSERT_NE(vb, nullptr);
    ASSERT_NE(ib, nullptr);
    device->setStreamSource(vb, sizeof(Vertex));
    device->setIndices(ib);
    draw(0, 0, 2);
    EXPECT_EQ(pixel(W / 2, H / 2), 0xFF808080u);
    std::thread releaser([&] { device->releaseBuffer(dropped); });
    releaser.join();
    EXPECT_EQ(device->present(), GFX_OK) << "the main thread deletes what the other released";
    device->releaseBuffer(vb);
    device->releaseBuffer(ib);
}

}  // namespace
