// A boot in a process that has run a game before starts from a fresh
// process's state: every file's state is in the one reset list.
#include <gtest/gtest.h>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "dungeon/dungeon.h"
#include "engine/dialogs.h"
#include "engine/fades.h"
#include "engine/frame_loop.h"
#include "engine/loaders.h"
#include "engine/overlay_screen.h"
#include "engine/sound.h"
#include "engine/sprites.h"
#include "engine/stage_index.h"
#include "shop/shop_state.h"
#include "story/story_state.h"
#include "tests/harness/harness.h"

struct BootSnapshot {
    int32_t gameMode, tickCounter, fadeState, blackout, eventReady, overlayKind, messageOpen, spriteShakeX;
    int32_t currentTrack, forcedTrack, floorIndex, runEndState, shopFloorState, counterCustomer, marketMode;
    int32_t titleIdle, titleCursor, shopSequence, bagCapacity, bagFirst;
    bool operator==(const BootSnapshot&) const = default;
};

static BootSnapshot snapshot() {
    return {gGameMode, gTickCounter, gFadeState, gBlackout, gEventReady, gOverlayScreen.kind,
            gMessageWindow.openCounter, gCameraShake.spriteX, gCurrentTrack, gForcedTrack, gFloorIndex,
            gRunEndState, gShopFloorState, gCounter.customerType, gMarketMode, gTitle.idleTicks, gTitle.menuCursor,
            gShopSequence, gBagCapacity, gBag[0]};
}

static BootSnapshot bootAndRun() {
    EXPECT_EQ(harnessBoot(HarnessOptions{}), STARTUP_OK);
    harnessRunTicks(30);
    return snapshot();
}

TEST(GameStateReset, ASecondBootStartsAsTheFirst) {
    BootSnapshot first = bootAndRun();
    // Leave state behind in every layer, as a game in progress would.
    gFadeState = 1;
    gBlackout = 1;
    gEventReady = 1;
    gOverlayScreen.kind = 2;
    gMessageWindow.openCounter = 5;
    gCameraShake.spriteX = 3;
    gForcedTrack = 4;
    gFloorIndex = 17;
    gRunEndState = 2;
    gShopFloorState = SHOP_FLOOR_OPEN;
    gCounter.customerType = 9;
    gMarketMode = 1;
    gTitle.menuCursor = 2;
    gShopSequence = SHOP_SEQUENCE_MORNING;
    gBagCapacity = 20;
    gBag[0] = 64;
    harnessShutdown();
    BootSnapshot second = bootAndRun();
    harnessShutdown();
    EXPECT_TRUE(first == second);
    EXPECT_EQ(second.floorIndex, 0);
    EXPECT_EQ(second.shopFloorState, 0);
    EXPECT_EQ(second.forcedTrack, -1);
    EXPECT_EQ(second.bagCapacity, BAG_SIZE);   // all usable until a departure or a loaded game sets it
}
