// The recording backend: the log lines its calls leave, the log's limits and
// the start-up failure switches.
#include "platform/gfx.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/platform/present_params.h"

namespace {

class GfxRecording : public ::testing::Test {
protected:
    void SetUp() override {
        gfxRecordingSetFailures(false, false);
        ASSERT_TRUE(GFX_RECORDING.open());
        device = GFX_RECORDING.createDevice(presentParams(640, 480));
        ASSERT_NE(device, nullptr);
        gfxRecordClear();
    }
    void TearDown() override {
        if (device) GFX_RECORDING.destroyDevice(device);
        GFX_RECORDING.close();
        gfxRecordingSetFailures(false, false);
    }
    GfxDevice* device = nullptr;
};

TEST_F(GfxRecording, EachCallLeavesOneLine) {
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    GfxTexture* target = device->createTexture(1280, 256, 1, GFX_USAGE_RENDER_TARGET, GFX_FORMAT_A8R8G8B8,
                                               GFX_POOL_DEFAULT);
    ASSERT_NE(target, nullptr);
    GfxSurface* depth = device->getDepthStencilSurface();
    device->setRenderTarget(device->getSurfaceLevel(target, 0), depth);
    device->clear(GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, 0xFF17F0FF, 1.0f, 0);
    device->setRenderTarget(device->getBackBuffer(), depth);
    device->beginScene();
    device->setRenderState(GFX_RS_CULLMODE, GFX_CULL_NONE);
    device->setTexture(0, target);
    device->setTransform(GFX_TS_PROJECTION, identity);
    device->setTexture(0, nullptr);
    device->endScene();
    device->simulateDeviceLoss();
    device->present();
    device->testCooperativeLevel();
    device->releaseTexture(target);
    device->reset(presentParams(800, 600));

    const char* const want[] = {
        "createTexture 1280 256 1 1 2 0",
        "setRenderTarget tex0 depth",
        "clear 3 ff17f0ff 1.000000 0",
        "setRenderTarget backbuffer depth",
        "beginScene",
        "setRenderState 0 1",
        "setTexture 0 tex0",
        "setTransform 2",
        "setTexture 0 null",
        "endScene",
        "present",
        "testCooperativeLevel",
        "releaseTexture tex0",
        "reset 800 600",
    };
    const int32_t wantCount = (int32_t)(sizeof want / sizeof want[0]);
    ASSERT_EQ(gGfxRecord.count, wantCount);
    for (int32_t i = 0; i < wantCount; ++i) EXPECT_STREQ(gGfxRecord.lines[i], want[i]) << "line " << i;
    EXPECT_EQ(gGfxRecord.total, wantCount);
}

TEST_F(GfxRecording, TextureAndDrawCallsLeaveOneLineEach) {
    GfxTexture* texture = device->createTexture(64, 32, 1, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, GFX_POOL_MANAGED);
    ASSERT_NE(texture, nullptr);
    GfxLockedRect locked = {};
    ASSERT_EQ(device->lockRect(texture, 0, &locked), GFX_OK);
    ASSERT_EQ(device->unlockRect(texture, 0), GFX_OK);
    device->setTextureStageState(0, GFX_TSS_COLOROP, GFX_TOP_ADDSIGNED);
    device->setRenderState(GFX_RS_TEXTUREFACTOR, 0xFF7F7F7F);
    device->setVertexFormat(GFX_FVF_XYZRHW | GFX_FVF_DIFFUSE | GFX_FVF_SPECULAR | GFX_FVF_TEX1);
    const float vertices[6 * 8] = {};
    EXPECT_EQ(device->drawPrimitiveUP(GFX_PT_TRIANGLELIST, 2, vertices, 32), GFX_OK);

    char want[5][64];
    snprintf(want[0], sizeof want[0], "lockRect tex0 0");
    snprintf(want[1], sizeof want[1], "unlockRect tex0 0");
    snprintf(want[2], sizeof want[2], "setTextureStageState 0 %d %u", (int)GFX_TSS_COLOROP, (unsigned)GFX_TOP_ADDSIGNED);
    snprintf(want[3], sizeof want[3], "setRenderState %d %u", (int)GFX_RS_TEXTUREFACTOR, 0xFF7F7F7Fu);
    snprintf(want[4], sizeof want[4], "setVertexFormat %u",
             (unsigned)(GFX_FVF_XYZRHW | GFX_FVF_DIFFUSE | GFX_FVF_SPECULAR | GFX_FVF_TEX1));
    ASSERT_EQ(gGfxRecord.count, 7);
    EXPECT_STREQ(gGfxRecord.lines[0], "createTexture 64 32 1 0 2 1");
    for (int32_t i = 0; i < 5; ++i) EXPECT_STREQ(gGfxRecord.lines[i + 1], want[i]) << "line " << i + 1;
    EXPECT_STREQ(gGfxRecord.lines[6], "drawPrimitiveUP 0 2 32");
}

TEST_F(GfxRecording, FindLooksForwardFromAnIndex) {
    device->beginScene();
    device->setRenderState(GFX_RS_LIGHTING, 0);
    device->endScene();
    device->setRenderState(GFX_RS_LIGHTING, 1);
    EXPECT_EQ(gfxRecordFind("setRenderState", 0), 1);
    EXPECT_EQ(gfxRecordFind("setRenderState", 2), 3);
    EXPECT_EQ(gfxRecordFind("setRenderState 11 1", 0), 3);
    EXPECT_EQ(gfxRecordFind("present", 0), -1);
    EXPECT_EQ(gfxRecordFind("beginScene", 1), -1);
}

TEST_F(GfxRecording, LogStopsAtItsSizeButCountsEveryCall) {
    for (int32_t i = 0; i < GFX_RECORD_MAX + 5; ++i) device->setRenderState(GFX_RS_ZENABLE, 1);
    EXPECT_EQ(gGfxRecord.count, GFX_RECORD_MAX);
    EXPECT_EQ(gGfxRecord.total, GFX_RECORD_MAX + 5);
    gfxRecordClear();
    EXPECT_EQ(gGfxRecord.count, 0);
    EXPECT_EQ(gGfxRecord.total, 0);
}

TEST_F(GfxRecording, DrawsNothingToReadBack) {
    uint32_t pixels[4] = {};
    EXPECT_FALSE(device->readBackBuffer(pixels, 2, 2));
    EXPECT_FALSE(device->readBackBuffer(pixels, 640, 480));
}

TEST_F(GfxRecording, FailureSwitchesStopStartUp) {
    GFX_RECORDING.destroyDevice(device);
    device = nullptr;
    GFX_RECORDING.close();

    gfxRecordingSetFailures(true, false);
    EXPECT_FALSE(GFX_RECORDING.open());
    EXPECT_EQ(GFX_RECORDING.createDevice(presentParams(640, 480)), nullptr) << "no device without open";

    gfxRecordingSetFailures(false, true);
    ASSERT_TRUE(GFX_RECORDING.open());
    EXPECT_EQ(GFX_RECORDING.createDevice(presentParams(640, 480)), nullptr);

    gfxRecordingSetFailures(false, false);
    device = GFX_RECORDING.createDevice(presentParams(640, 480));
    EXPECT_NE(device, nullptr);
    EXPECT_EQ(GFX_RECORDING.createDevice(presentParams(640, 480)), nullptr) << "one device at a time";
}

}  // namespace
