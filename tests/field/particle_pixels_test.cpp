// The particles drawn through the real OpenGL backend over the sample shop
// floor: a sparkle of the overlay lights the screen around its 640x480
// point, a glow in the world lights the floor around where the camera sees
// it, and nothing is left where none is.
#include <gtest/gtest.h>

#include <vector>

#include "engine/frame_loop.h"
#include "field/field.h"
#include "field/field_state.h"
#include "tests/field/shop_scene.h"
#include "tests/harness/harness.h"

namespace {

constexpr int32_t W = 640;
constexpr int32_t H = 480;
constexpr int32_t SHOWCASE_SPARKLE = 13;   // the sample banks' definitions
constexpr int32_t SHOWCASE_GLOW = 14;

class ParticlePixels : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(harnessBoot(harnessDrawingOptions()), STARTUP_OK);
        enterShopScene();
        buildEffectMeshes();   // as the floor start builds them
    }
    void TearDown() override { harnessShutdown(); }
    std::vector<uint32_t> frame() {
        renderFrame();
        std::vector<uint32_t> pixels((size_t)W * H);
        EXPECT_TRUE(harnessReadFrame(pixels.data(), W, H));
        return pixels;
    }
    static int32_t brightness(uint32_t argb) {
        return (int32_t)((argb >> 16) & 0xFF) + (int32_t)((argb >> 8) & 0xFF) + (int32_t)(argb & 0xFF);
    }
    // Pixels within r of (x, y) brighter by more than a step.
    static int32_t brighter(const std::vector<uint32_t>& with, const std::vector<uint32_t>& without, int32_t x,
                            int32_t y, int32_t r) {
        int32_t n = 0;
        for (int32_t py = y - r; py <= y + r; ++py)
            for (int32_t px = x - r; px <= x + r; ++px) {
                size_t i = (size_t)py * W + (size_t)px;
                n += brightness(with[i]) > brightness(without[i]) + 24;
            }
        return n;
    }
};

TEST_F(ParticlePixels, OverlaySparkleLightsItsScreenPoint) {
    std::vector<uint32_t> before = frame();
    spawnScreenEffect(250.0f, 240.0f, SHOWCASE_SPARKLE, 1.0f, EFFECT_LIFETIME_DEFAULT, EFFECT_ATTACH_FREE);
    updateEffectObjects();
    updateEffectObjects();
    std::vector<uint32_t> after = frame();
    EXPECT_GT(brighter(after, before, 250, 240, 6), 40);
    EXPECT_EQ(brighter(after, before, 440, 120, 30), 0) << "nothing elsewhere";
}

TEST_F(ParticlePixels, WorldGlowLightsWhereTheCameraSeesIt) {
    std::vector<uint32_t> before = frame();
    // The camera looks at (-1, 1.2, 1): the middle of the screen.
    spawnEffect(nullptr, -1.0f, 1.2f, 1.0f, SHOWCASE_GLOW, 1.0f, EFFECT_LIFETIME_DEFAULT, 0.0f, EFFECT_ATTACH_FREE);
    for (int32_t i = 0; i < 4; ++i) updateEffectObjects();
    std::vector<uint32_t> after = frame();
    EXPECT_GT(brighter(after, before, 320, 240, 8), 40);
    EXPECT_EQ(brighter(after, before, 40, 440, 30), 0) << "nothing elsewhere";
}

}  // namespace
