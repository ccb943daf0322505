#include "game/overlay_scene.h"

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "dungeon/dungeon.h"
#include "engine/frame_loop.h"
#include "engine/overlay_screen.h"
#include "engine/sound.h"
#include "engine/stage_index.h"
#include "shop/shop.h"
#include "shop/shop_state.h"

constexpr int32_t DAY_REPORT_HOLD_TICKS = 140;
constexpr int32_t RUN_END_HOLD_TIMER = 120;

// On a shop stage, each later rule overriding the ruling before it.
int32_t fieldOverlayRuling(int32_t kind) {
    int32_t ruling = OVERLAY_ALLOW;
    if (!gCurrentStage || gCurrentStage->maptype != 0) return ruling;
    if (gShopDayPhase != 0 && kind == OVERLAY_PAUSE_MENU) ruling = OVERLAY_REFUSE;
    if (gShopFloorState == SHOP_FLOOR_OPEN) {
        if (askCancelTutorial()) {
            playSoundEffect(SOUND_CONFIRM);
            ruling = OVERLAY_REFUSE_SILENT;
        } else {
            ruling = OVERLAY_REFUSE;
        }
    }
    if (gShopSequence == SHOP_SEQUENCE_MORNING && gFieldTicks <= DAY_REPORT_HOLD_TICKS) ruling = OVERLAY_REFUSE;
    if (gShopFloorState == SHOP_FLOOR_EDITING || gShopFloorState == SHOP_FLOOR_HOLDS_OVERLAY) ruling = OVERLAY_REFUSE;
    return ruling;
}

int32_t runEndHoldsOverlay(int32_t kind) {
    return gRunEndState != 0 && (gRunEndTimer >= RUN_END_HOLD_TIMER || kind == OVERLAY_PAUSE_MENU);
}

void saveOverlayScene() {
    OverlayScreenState& o = gOverlayScreen;
    o.itemListOpen = isItemListOpen() ? 1 : 0;
    o.itemListType = getItemListType();
    o.itemInfoState = getItemInfoState();
    closeItemInfo();
    if (o.savedMode == GAME_MODE_MARKET) saveMarketListState();
    else if (o.savedMode == GAME_MODE_DEPARTURE) saveDepartureListState();
}

void leaveOverlayScene() {
    if (gGameMode == GAME_MODE_MARKET) resumeMarketScene();
    hideItemList();
    recomputeAdventurerTotals();
}

void restoreOverlayScene() {
    const OverlayScreenState& o = gOverlayScreen;
    if (gShopFloorState == SHOP_FLOOR_ITEM_INFO) gShopFloorState = SHOP_FLOOR_WALKING;
    if (o.itemListOpen) {
        openItemList(o.itemListType, 0);
        snapItemListOpen();
    }
    if (o.kind == OVERLAY_PAUSE_MENU) closeItemInfo();
    if (gGameMode == GAME_MODE_MARKET) restoreMarketListState();
    else if (gGameMode == GAME_MODE_DEPARTURE) restoreDepartureListState();
}
