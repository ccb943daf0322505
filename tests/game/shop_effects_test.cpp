// The counter's effects on a scripted shop day: the item shown from a
// showcase place sparkles and bursts, and a deal's day score sends its sparks
// to the merchant gauge, which shakes once for each that arrives.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/save_file.h"
#include "field/field.h"
#include "field/field_state.h"
#include "shop/shop.h"
#include "shop/shop_state.h"
#include "tests/harness/buttons.h"
#include "tests/harness/harness.h"
#include "tests/harness/shop_day.h"

namespace {

constexpr int32_t SHOWCASE_SPARKLE = 13;   // the sample banks' definitions
constexpr int32_t SHOWCASE_GLOW = 14;
constexpr int32_t SCORE_SPARK = 100;

int32_t liveOf(int32_t definition) {
    int32_t n = 0;
    for (const Particle& p : gParticles) n += p.definition == definition && p.screen == 1;
    return n;
}

// Score sparks started and arrived since the last look, by pool slot.
struct SparkWatch {
    std::vector<bool> live = std::vector<bool>(PARTICLE_POOL_SIZE, false);
    int32_t started = 0, arrived = 0, shakes = 0;
    void look() {
        int32_t gone = 0;
        for (int32_t i = 0; i < PARTICLE_POOL_SIZE; ++i) {
            bool now = gParticles[i].definition == SCORE_SPARK;
            started += now && !live[i];
            gone += !now && live[i];
            live[i] = now;
        }
        arrived += gone;
        if (gone > 0 && gHudTimers.shakeFrames > 0) shakes += gone;
        gHudTimers.shakeFrames = 0;
    }
};

}  // namespace

TEST(EffectSetCounterDeal, ShowcaseSparklesAndScoreSparksFlyToTheGauge) {
    HarnessOptions options;
    options.seed = 20240613;
    ASSERT_TRUE(harnessOpenShopDay(options));
    // The first shelf holds the showcase places: the second shelf's wares go there.
    GameState& game = runningGameState();
    for (int32_t place = 0; place < SHELF_CELLS; ++place) {
        game.shelves[0][place] = game.shelves[1][place];
        game.shelves[1][place] = ITEM_KEY_NONE;
    }
    bool sparkled = false, glowed = false;
    SparkWatch watch;
    gHudTimers.shakeFrames = 0;
    for (int32_t ticks = 0; ticks < SHOP_DAY_MAX_TICKS && !shopDayClosed() && !(watch.started && sparkled && glowed);
         ++ticks) {
        holdButtons(dealingButtons(ticks), 1);
        watch.look();
        sparkled = sparkled || liveOf(SHOWCASE_SPARKLE) > 0;
        glowed = glowed || liveOf(SHOWCASE_GLOW) > 0;
    }
    EXPECT_TRUE(sparkled) << "the item on the counter sparkles";
    EXPECT_TRUE(glowed) << "and bursts once";
    // The sparks on their way all arrive, each shaking the gauge.
    for (int32_t ticks = 0; ticks < 600 && (liveOf(SCORE_SPARK) > 0 || ticks < 300); ++ticks) {
        holdButtons(0, 1);
        watch.look();
    }
    EXPECT_EQ(liveOf(SCORE_SPARK), 0);
    EXPECT_GT(watch.started, 0);
    EXPECT_EQ(watch.arrived, watch.started);
    EXPECT_EQ(watch.shakes, watch.started);
    harnessShutdown();
}
