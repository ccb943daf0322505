#include "story/game_start.h"

#include <cstring>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "dungeon/dungeon.h"
#include "engine/fades.h"
#include "engine/frame_loop.h"
#include "engine/loaders.h"
#include "engine/scene_pictures.h"
#include "engine/stage_index.h"
#include "field/field.h"
#include "field/field_state.h"
#include "shop/shop.h"
#include "shop/shop_state.h"
#include "story/story.h"
#include "story/game_records.h"
#include "story/title.h"
#include "story/world_map.h"

constexpr int32_t FADE_KIND = 0;
constexpr int32_t FADE_TICKS = 17;

int32_t resumeGameMode(int32_t resumeLocation) {
    switch (resumeLocation) {
    case 0: return GAME_MODE_FIELD;        // the shop
    case 2: return GAME_MODE_GAME_OVER;
    case 3:                                // merchants' guild
    case 4: return GAME_MODE_MARKET;
    default: return GAME_MODE_WORLD_MAP;
    }
}

namespace {

// Whether an item id is in the table, asked once per run of one id: keys of
// one item lie together.
struct KnownItems {
    bool looked = false;
    int32_t lastId = 0;
    bool lastKnown = false;
    bool keeps(int32_t key) {
        if (key == ITEM_KEY_NONE) return false;
        int32_t id = itemKeyId(key);
        if (!looked || id != lastId) {
            lastKnown = findItemDef(id) >= 0;
            lastId = id;
            looked = true;
        }
        return lastKnown;
    }
};

}  // namespace

void repairStorage(GameState& game) {
    // Storage is mostly long runs of one key (empty entries, one item's
    // stack): a block holding a single key is kept or dropped whole.
    constexpr int32_t BLOCK = 64;
    KnownItems known;
    int32_t kept = 0;
    for (int32_t i = 0; i < STORAGE_ENTRY_COUNT; i += BLOCK) {
        int32_t n = STORAGE_ENTRY_COUNT - i < BLOCK ? STORAGE_ENTRY_COUNT - i : BLOCK;
        int32_t* block = game.storage + i;
        if (memcmp(block, block + 1, sizeof(int32_t) * (size_t)(n - 1)) == 0) {
            if (known.keeps(block[0])) {
                memmove(game.storage + kept, block, sizeof(int32_t) * (size_t)n);
                kept += n;
            }
            continue;
        }
        for (int32_t j = 0; j < n; ++j)
            if (known.keeps(block[j])) game.storage[kept++] = block[j];
    }
    // Every byte 0xFF: ITEM_KEY_NONE in every entry past the kept ones.
    static_assert(ITEM_KEY_NONE == -1);
    memset(game.storage + kept, 0xFF, sizeof(int32_t) * (size_t)(STORAGE_ENTRY_COUNT - kept));
    game.storageCount = kept;
}

void repairEquipment(GameState& game) {
    for (int32_t j = 0; j < ADVENTURER_COUNT; ++j) {
        AdventurerRecord& a = game.adventurers[j];
        for (int32_t i = 0; i < EQUIPMENT_SLOTS; ++i) {
            int32_t key = a.equipment[i];
            if (key < 0 || canAdventurerUseItem(key, j)) continue;
            int32_t id = getInitialEquipment(j, i);
            int32_t initial = id == -1 ? ITEM_KEY_NONE : makeItemKey(id, ITEM_KEY_POSSESSED, 0);
            a.equipment[i] = initial;
            a.savedEquipment[i] = initial;
        }
    }
}

// Kept items of the last departure go back into storage; a key storage had
// no room for stays kept.
static void returnKeptBag(int32_t (&bag)[KEPT_BAG_SIZE]) {
    for (int32_t& key : bag) {
        if (key == ITEM_KEY_NONE || key == 0) continue;
        if (addItemToStorage(key)) key = ITEM_KEY_NONE;
    }
}

static void setUpSavedGame(GameState& game) {
    restockMarket(RESTOCK_LOADED);
    int32_t cursor = gTitle.menuCursor;
    int32_t code = cursor >= 0 && cursor < gTitle.menuCount ? gTitle.menuCodes[cursor] : TITLE_LOAD;
    if (code == TITLE_NEW_GAME_PLUS) {
        carryOverRecord(game, CARRY_OVER_NEW_LOOP);
        game.playMode = PLAY_MODE_NEW_GAME_PLUS;
        game.shopSize = 0;
        applyShopLayout(game);
    } else if (code == TITLE_SURVIVAL) {
        carryOverRecord(game, CARRY_OVER_SURVIVAL);
        if (gTitle.survivalChoice == 0) resetRecordForSurvival(game);
        game.playMode = PLAY_MODE_SURVIVAL;
        game.date = 0;
    }
    // The shop size is also the shop's stage index: a damaged one must not
    // select a stage past the shop stages.
    if (game.shopSize < 0 || game.shopSize >= SHOP_SIZE_COUNT) game.shopSize = 0;
    gStageIndex = game.shopSize;
    gTimeOfDay = (float)game.dayPhase;
    gGameMode = resumeGameMode(game.resumeLocation);
    switch (game.resumeLocation) {
    case 0: game.shopEntryKind = 0; break;
    case 2: enterGameOverScene(); break;
    case 3: enterMarketScene(MARKET_MODE_GUILD); break;
    case 4: enterMarketScene(MARKET_MODE_MARKET); break;
    default: break;
    }

    // Levels index tables and enter the experience arithmetic.
    repairMerchantLevel(game);
    repairAdventurerLevels(game);
    gBagCapacity = bagCapacityForLevel(game.merchantLevel);
    emptyBag();
    returnKeptBag(game.keptBag);
    returnKeptBag(game.keptBag2);
    repairStorage(game);
    repairShelfLayout(game);
    repairEquipment(game);
}

// The fade-out is done: the running game is made and its scene is loaded.
static void switchToChosenGame() {
    gGameMode = GAME_MODE_FIELD;
    clearWorldMapPlace();
    gShopDayPhase = 0;
    gTimeOfDay = 0.0f;
    gStageIndex = 0;
    gShopSequence = SHOP_SEQUENCE_NONE;
    resetHudState();
    closeLoaderThread();
    gEventReady = 0;
    GameState& game = runningGameState();
    if (gTitle.newGameChosen) {
        // Zeroed, with empty storage, on day 0 in the morning.
        initNewGameState(game);
        // The gauge fills toward the game's experience and never empties by
        // itself: a game before this one must not leave it partly full.
        gHud.expShown = static_cast<float>(game.merchantExp);
        beginExpedition();
        emptyBag();
        restockMarket(RESTOCK_DAILY);
    } else {
        setUpSavedGame(game);
    }
    releaseTitleTextures();
    startFadeIn(FADE_KIND, FADE_TICKS);
    startSceneLoader();
}

void stepGameStart() {
    TitleState& t = gTitle;
    ++t.startCounter;
    if (t.startCounter == GAME_START_FADE_TICK) {
        startFadeOut(FADE_KIND, FADE_TICKS);
        gCurrentSlot = 0;
        beginExpedition();
    }
    if (t.startCounter > GAME_START_FADE_TICK && isFadeOutDone()) switchToChosenGame();
}
