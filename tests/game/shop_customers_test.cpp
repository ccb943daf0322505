// The open shop through the whole game: the day's customers come in from
// the door one by one, each drawn as its figure with its shadow, browse the
// shelves while the counter's camera frames the counter, and are gone when
// the phase closes and the camera follows the heroine again.
#include <gtest/gtest.h>

#include <cstring>

#include "adventurers/adventurers_state.h"
#include "field/field.h"
#include "field/field_state.h"
#include "platform/gfx.h"
#include "shop/shop.h"
#include "shop/shop_state.h"
#include "tests/harness/buttons.h"
#include "tests/harness/harness.h"
#include "tests/harness/shop_day.h"

namespace {

// Sprite cells and shadow quads drawn in the last frame (both 24-byte vertices).
int32_t quadDraws() {
    int32_t n = 0;
    for (int32_t i = 0; i < gGfxRecord.count; i++) {
        const char* line = gGfxRecord.lines[i];
        n += strncmp(line, "drawPrimitiveUP ", 16) == 0 && strcmp(line + strlen(line) - 3, " 24") == 0;
    }
    return n;
}

int32_t walking() {
    int32_t n = 0;
    for (const CustomerSlot& s : gFloorCustomers.slots) n += s.lineupIndex >= 0;
    return n;
}

}  // namespace

TEST(CustomersOnTheShopFloor, WalkInBrowseAreDrawnAndLeaveWithThePhase) {
    HarnessOptions options;
    options.seed = 3;
    ASSERT_TRUE(harnessOpenShopDay(options));
    ASSERT_GT(gFloorCustomers.lineupCount, 1) << "the day's lineup walks";
    bool browsed = false;
    int32_t ticks = 0;
    for (; ticks < 30 * gFloorCustomers.lineupCount + 150; ticks++) {
        harnessRunTicks(1);
        for (const CustomerSlot& s : gFloorCustomers.slots) browsed |= s.lineupIndex >= 0 && s.walkState == WALK_BROWSING;
        ASSERT_LE(walking(), ticks / 30 + 1);
    }
    EXPECT_EQ(walking(), gFloorCustomers.lineupCount);
    EXPECT_TRUE(browsed);
    EXPECT_EQ(gFieldCamera.cameraMode, CAMERA_SCRIPTED) << "the counter's camera";

    gfxRecordClear();
    harnessRunTicks(1);
    ASSERT_LT(gGfxRecord.total, GFX_RECORD_MAX);
    int32_t withCustomers = quadDraws();
    int32_t count = walking();
    resetCustomers();
    gfxRecordClear();
    harnessRunTicks(1);
    EXPECT_EQ(withCustomers - quadDraws(), 2 * count) << "a figure and a shadow each";

    while (!shopDayClosed() && ticks < SHOP_DAY_MAX_TICKS) holdButtons(shopDayButtons(ticks++), 1);
    ASSERT_TRUE(shopDayClosed());
    EXPECT_EQ(walking(), 0);
    EXPECT_EQ(gFieldCamera.cameraMode, CAMERA_FOLLOW);
    harnessShutdown();
}
