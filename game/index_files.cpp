#include "game/index_files.h"

#include "adventurers/adventurers.h"
#include "dungeon/dungeon.h"
#include "engine/config_index.h"
#include "engine/motion_files.h"
#include "engine/stage_index.h"
#include "field/field.h"
#include "shop/shop.h"
#include "story/story.h"

// The order is kept: later tables name items, so the item table comes first
// among the data files, and the effect banks use the effect image rows.
void loadIndexFiles() {
    loadMotionFiles();
    loadStageIndex();
    gTrailPeriod = 35;
    gTrailLimit = 30;
    gJellyfishAlpha = 127;
    loadConfigIndex();
    loadItemTable();
    loadCustomerTypes();
    loadEnemyKinds();
    loadCharaTable();
    loadCustomerSubFiles();
    loadBuySellTable();
    loadRequestTable();
    loadModelTable();
    loadPlaceEventRules();
    loadTrendTable();
    loadFloorConditions();
    loadFusionRecipes();
    loadFloorEnemyLists();
    loadTutorialScripts();
    loadEffectGroups();
    loadEffectBanks();
}
