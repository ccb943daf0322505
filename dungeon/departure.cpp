#include "dungeon/departure.h"

#include <algorithm>
#include <cstdio>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "dungeon/field_frame.h"
#include "dungeon/fixed_floors.h"
#include "engine/dialogs.h"
#include "engine/fades.h"
#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "engine/save_file.h"
#include "engine/scene_pictures.h"
#include "engine/sound.h"
#include "engine/stage_index.h"
#include "engine/story_flags.h"
#include "shop/shop.h"
#include "shop/shop_state.h"
#include "story/story.h"
#include "story/story_state.h"

DepartureScreenState gDepartureScreen;

const AdventurerProfile ADVENTURER_PROFILES[ADVENTURER_COUNT] = {
    {"Swordsman Vuror", 50, 100,
     {"Brave but poor adventurer.", "Balanced and easy to control.", "Uses swords, shields and armor."}},
    {"Thief Rerado", 100, 100, {"Mysterious, pretty thief.", "Incredibly fast and deadly.", "Uses knives exclusively."}},
    {"Magician Zirezuz", 200, 100,
     {"Magician. Bit of a brat, really.", "Frail, but possesses very", "powerful magic. Uses staves."}},
    {"Archer Zazuru", 300, 100, {"Young, kind elven archer.", "Able to fight well at range.", "Uses bows, naturally."}},
    {"Black Belt Zuzi", 500, 100,
     {"Well-meaning martial artist.", "Capable of incredible hits", "with his fists and gloves."}},
    {"Lancer Doda", 500, 100,
     {"Eastern lance-wielder. Her lance", "gives her significant reach.", "Bit of an airhead, however."}},
    {"Assassin Dedar", 1000, 100,
     {"A demonic assassin. His claw-", "based fighting style is", "sinister... and very effective."}},
    {"Golem Zoze", 2000, 100,
     {"A golem created by forgotten", "arts. The \"parts\" equipped on", "her arms change how she fights."}},
};

const char* const DUNGEON_NAMES[DEPARTURE_DUNGEONS] = {"Hall of Trials", "Jade Way",    "Amber Garden",
                                                       "Obsidian Tower", "Lapis Ruins", "Crystal Nightmare"};

static_assert(DUNGEON_MAP_PLACE_COUNT == DEPARTURE_DUNGEONS);

// Stage keys per block, and one more for the dungeon's last floor.
constexpr int32_t STAGE_KEYS_0[] = {5, 5};
constexpr int32_t STAGE_KEYS_1[] = {6, 10, 6, 6};
constexpr int32_t STAGE_KEYS_2[] = {7, 9, 14, 11, 12, 15, 15};
constexpr int32_t STAGE_KEYS_3[] = {13, 12, 10, 5, 14, 9, 16, 10, 13, 9, 19};
constexpr int32_t STAGE_KEYS_4[] = {12, 10, 9, 11, 15, 16, 6, 7, 11, 5, 13, 9, 10, 16, 13, 15, 11, 14, 10, 5, 17, 17};
constexpr int32_t STAGE_KEYS_5[] = {12, 10, 9, 11, 15, 5};
struct StageKeyRow {
    const int32_t* keys;
    int32_t count;
};
constexpr StageKeyRow STAGE_KEY_ROWS[DUNGEON_COUNT] = {
    {STAGE_KEYS_0, 2}, {STAGE_KEYS_1, 4}, {STAGE_KEYS_2, 7}, {STAGE_KEYS_3, 11}, {STAGE_KEYS_4, 22}, {STAGE_KEYS_5, 6},
};
// Dungeon 5 from floor index 30, one key per floor.
constexpr int32_t BOSS_RUSH_FIRST_FLOOR = 30;
constexpr int32_t STAGE_KEYS_DEEP[30] = {6,  10, 6,  7,  9,  11, 12, 15, 13, 12, 10, 5, 9,  10, 13,
                                         19, 12, 10, 9,  11, 15, 6,  7,  5,  13, 9,  16, 14, 17, 5};

// The guild's story flags.
enum DepartureFlag : int32_t {
    FLAG_GUILD_CHARGES = 57,       // the trial is over: hiring costs a fee
    FLAG_DUNGEON_MAP_OPEN = 37,    // "Depart!" opens the dungeon map
    FLAG_TOWER_FIRST_BLOCK = 155,  // the tower's first block was played
    FLAG_THIRD_DUNGEON = 113,
    FLAG_FOURTH_DUNGEON = 153,
    FLAG_FIFTH_DUNGEON = 171,
    FLAG_SIXTH_DUNGEON_A = 11,
    FLAG_SIXTH_DUNGEON_B = 184,
};

constexpr int32_t TOWN_MAP_GUILD_PLACE = 6;
constexpr int32_t DUNGEON_5_BLOCKS_SHOWN = 4;   // three blocks of ten and the run from floor 30
constexpr int32_t BUTTON_INFO = BUTTON_SUB;

static const char INTRO_TEXT[] =
    "Pick the items you wish to bring with you.<BR>When finished, select the \"Depart!\" option<BR>at the top of the list.";
static const char STORAGE_FULL_TEXT[] = "You have too many items to enter<BR>the dungeon. Please remove<BR>%d items.";

static GameState& game() { return runningGameState(); }
static uint16_t pressed() { return gInputState[0].pressed; }
static uint16_t repeated() { return gInputState[0].repeat; }

// ---- the stage of a floor ----

int32_t getStageKeyForFloor() {
    int32_t d =
        gRun.dungeonIndex < 0 ? 0 : (gRun.dungeonIndex >= DUNGEON_COUNT ? DUNGEON_COUNT - 1 : gRun.dungeonIndex);
    int32_t f = gFloorIndex < 0 ? 0 : gFloorIndex;
    if (d == 5 && f >= BOSS_RUSH_FIRST_FLOOR) {
        int32_t i = f - BOSS_RUSH_FIRST_FLOOR;
        return STAGE_KEYS_DEEP[i < 30 ? i : 29];
    }
    int32_t entry = f / 5;
    if (d != 5 && f == DUNGEON_FLOOR_BLOCKS[d] * 5 - 1) ++entry;
    const StageKeyRow& row = STAGE_KEY_ROWS[d];
    return row.keys[entry < row.count ? entry : row.count - 1];
}

void selectDungeonStage() {
    bool story = storyFlag(FLAG_TOWER_STORY_FLOOR) || storyFlag(FLAG_TOWER_TOP);
    gStageIndex = findStageByCode(story ? STORY_FLOOR_STAGE_KEY : getStageKeyForFloor());
}

int32_t getDungeonFloorCount(int32_t dungeon) {
    if (dungeon < 0 || dungeon >= DUNGEON_COUNT_TOTAL) return 0;
    return 5 * DUNGEON_FLOOR_BLOCKS[dungeon];
}

int32_t getBossRushBattleCount() {
    switch (gRun.bossRushCourse) {
    case 1: return 3;
    case 2: return 5;
    case 3: return 8;
    case 4: return 13;
    default: return 0;
    }
}

// ---- pure rules ----

int32_t hiringFee(int32_t adventurer, int32_t level, int32_t merchantLevel) {
    if (adventurer < 0 || adventurer >= ADVENTURER_COUNT) return 0;
    const AdventurerProfile& p = ADVENTURER_PROFILES[adventurer];
    int64_t fee = (int64_t)p.feeBase + (int64_t)p.feePerLevel * std::max(level, 0);
    if (merchantLevel >= HALF_FEE_LEVEL) fee /= 2;
    return (int32_t)std::min<int64_t>(fee, INT32_MAX);
}

int32_t departureBestTimeSlot(int32_t dungeon, int32_t entry) {
    if (dungeon < 0 || dungeon >= DEPARTURE_DUNGEONS || entry < 0) return -1;
    if (dungeon == BOSS_RUSH_DUNGEON) {
        if (entry < 3) return bestTimeSlot(dungeon, 10 * entry + 9, -1, -1, 0);
        return entry == 3 ? bestTimeSlot(dungeon, BOSS_RUSH_FIRST_FLOOR, -1, -1, 1) : -1;
    }
    if (entry < DUNGEON_FLOOR_BLOCKS[dungeon]) return bestTimeSlot(dungeon, 5 * entry + 4, -1, -1, 0);
    return entry == DUNGEON_FLOOR_BLOCKS[dungeon] ? bestTimeSlot(BOSS_RUSH_DUNGEON, 0, dungeon, 0, 1) : -1;
}

static int32_t bestTimeAt(const GameState& g, int32_t slot) {
    if (slot < 0 || slot >= DUNGEON_COUNT * BEST_TIME_SECTIONS) return 0;
    return g.bestTimes[slot / BEST_TIME_SECTIONS][slot % BEST_TIME_SECTIONS];
}

int32_t unlockedDepartureEntries(const GameState& g, int32_t dungeon) {
    if (dungeon < 0 || dungeon >= DEPARTURE_DUNGEONS) return 0;
    int32_t deepest = std::clamp(g.deepestFloors[dungeon], -1, 1000);
    int32_t n = (deepest + 1) / 5 + 1;
    if (dungeon == 0) return std::min(n, 1);
    if (dungeon == BOSS_RUSH_DUNGEON) return std::min(n, DUNGEON_5_BLOCKS_SHOWN);
    n = std::min(n, DUNGEON_FLOOR_BLOCKS[dungeon]);
    if (bestTimeAt(g, departureBestTimeSlot(dungeon, n - 1)) != 0) ++n;
    return n;
}

int32_t departureDungeonsOffered(const GameState& g) {
    const uint8_t* f = g.storyFlags;
    if (f[FLAG_SIXTH_DUNGEON_A] && f[FLAG_SIXTH_DUNGEON_B] == 1) return 6;
    if (f[FLAG_FIFTH_DUNGEON]) return 5;
    if (f[FLAG_FOURTH_DUNGEON]) return 4;
    if (f[FLAG_THIRD_DUNGEON]) return 3;
    return 2;
}

// Mended: a Boss Rush runs on dungeon 5, whichever dungeon's map entry
// offered it; its floors and stages are dungeon 5's.
DepartureTarget departureTarget(int32_t dungeon, int32_t floorCursor) {
    dungeon = std::clamp(dungeon, 0, DEPARTURE_DUNGEONS - 1);
    floorCursor = std::max(floorCursor, 0);
    if (dungeon == BOSS_RUSH_DUNGEON) return {dungeon, 10 * floorCursor, -1};
    if (dungeon == 0 || floorCursor < DUNGEON_FLOOR_BLOCKS[dungeon]) return {dungeon, 5 * floorCursor, -1};
    return {BOSS_RUSH_DUNGEON, BOSS_RUSH_FIRST_FLOORS[dungeon], dungeon};
}

PointerSpot adventurerRowSpot(int32_t row, int32_t scroll) { return {304.0f, 128.0f + 43.0f * (float)(row - scroll)}; }
PointerSpot bagRowSpot(int32_t row, int32_t scroll) { return {16.0f, 124.0f + 40.0f * (float)(row - scroll)}; }
PointerSpot blockRowSpot(int32_t row, int32_t scroll) { return {184.0f, 156.0f + 40.0f * (float)(row - scroll)}; }
PointerSpot dungeonSpot(int32_t dungeon) {
    const DungeonMapPlace& p = DUNGEON_MAP_PLACES[std::clamp(dungeon, 0, DEPARTURE_DUNGEONS - 1)];
    return {p.x + 32.0f, p.y + 88.0f};
}

static void glideTo(PointerSpot s) { glidePointerTo(s.x, s.y); }

// ---- the adventurer under the cursor and the fee ----

int32_t departureCursorAdventurer() {
    int32_t row = gDepartureScreen.adventurerCursor;
    if (row < 1 || row > gAvailableAdventurerCount || row > ADVENTURER_COUNT) return -1;
    return gAvailableAdventurers[row - 1];
}

static int32_t cursorFee() {
    int32_t a = departureCursorAdventurer();
    if (a < 0) return 0;
    return hiringFee(a, game().adventurers[a].level, game().merchantLevel);
}

int32_t departureFeeShown() {
    if (!storyFlag(FLAG_GUILD_CHARGES)) return 0;
    int32_t fee = cursorFee();
    if (gDepartureScreen.adventurerCursor == 1) fee = std::min(fee, std::max(game().money, 0));
    return fee;
}

// ---- entering ----

static int32_t scrollFor(int32_t cursor, int32_t scroll, int32_t rows) {
    if (cursor < scroll) return cursor;
    if (cursor > scroll + rows - 1) return cursor - rows + 1;
    return scroll;
}

void initDepartureScreen() {
    DepartureScreenState& d = gDepartureScreen;
    GameState& g = game();
    cancelMessageWindow();
    backupGameState(0);
    g.resumeLocation = 1;
    resetSequenceTimer();

    gBagCapacity = bagCapacityForLevel(g.merchantLevel);
    for (int32_t i = 0; i < BAG_SIZE; ++i) gBag[i] = gBagAtDeparture[i] = ITEM_KEY_NONE;

    d = DepartureScreenState{};
    d.adventurerMode = 1;
    d.bagCursor = 1;
    d.dungeonCount = departureDungeonsOffered(g);
    // Mended: a remembered dungeon the map no longer offers (a game from
    // another loop) is not kept under the cursor.
    d.dungeonCursor = std::clamp(g.lastDeparture[1], 0, d.dungeonCount - 1);
    for (int32_t k = 0; k < DEPARTURE_DUNGEONS; ++k) d.unlocked[k] = unlockedDepartureEntries(g, k);

    listAvailableAdventurers();
    for (int32_t i = 0; i < gAvailableAdventurerCount; ++i)
        if (gAvailableAdventurers[i] == g.lastDeparture[0]) d.adventurerCursor = i + 1;
    d.adventurerScroll = d.adventurerCursor > DEPARTURE_ADVENTURER_ROWS - 1 ? d.adventurerCursor - 4 : 0;
    hideItemList();
    showPointer();
    PointerSpot s = adventurerRowSpot(d.adventurerCursor, d.adventurerScroll);
    setPointerPosition(s.x, s.y);

    gRun.dungeonIndex = 0;
}

// ---- leaving ----

static void beginLeave(int32_t mode) {
    gDepartureScreen.leaveMode = mode;
    startFadeOut(0, DEPARTURE_FADE_TICKS);
}

static void startNextScene() {
    releasePlaceTextures();
    selectDungeonStage();
    resetSwitchState();
    startFadeIn(0, DEPARTURE_FADE_TICKS);
    startSceneLoader();
}

static void toTownMap() {
    gGameMode = GAME_MODE_WORLD_MAP;
    setWorldMapPlace(TOWN_MAP_GUILD_PLACE);
    hideItemList();
}

// Empty entries out, the order kept.
static void compactBag() {
    int32_t filled = 0;
    for (int32_t i = 0; i < BAG_SIZE; ++i)
        if (gBag[i] != ITEM_KEY_NONE) gBag[filled++] = gBag[i];
    for (int32_t i = filled; i < BAG_SIZE; ++i) gBag[i] = ITEM_KEY_NONE;
}

static void depart() {
    GameState& g = game();
    const DepartureScreenState& d = gDepartureScreen;
    if (d.dungeonCursor == 3 && d.floorCursor == 0 && !storyFlag(FLAG_TOWER_FIRST_BLOCK))
        setStoryFlag(FLAG_TOWER_STORY_FLOOR, 1);
    compactBag();
    gRun.floorTime = 0;
    gShopDayPhase = 0;
    beginExpedition();
    g.dayPhase++;
    clearPlaceEventFlags();
    gGameMode = GAME_MODE_FIELD;
    g.departedFlag = 1;
    int32_t a = gChosenAdventurer;
    if (storyFlag(FLAG_GUILD_CHARGES)) {
        int32_t fee = hiringFee(a, g.adventurers[a].level, g.merchantLevel);
        g.money = std::max(g.money - fee, 0);
    }
    g.adventurers[a].adventures++;
    hideItemList();
}

static void finishLeave() {
    DepartureScreenState& d = gDepartureScreen;
    GameState& g = game();
    int32_t a = departureCursorAdventurer();
    if (a >= 0) {
        gChosenAdventurer = a;
        recomputeAdventurerTotals();
    }
    gRun.bossRushCourse = gRun.bossRushBattle = -1;
    DepartureTarget t = departureTarget(d.dungeonCursor, d.floorCursor);
    gRun.dungeonIndex = t.dungeon;
    gFloorIndex = t.floor;
    if (t.dungeon == BOSS_RUSH_DUNGEON && t.bossRushCourse < 0) gRun.startFloorIndex = t.floor;
    if (t.bossRushCourse > 0) {
        gRun.bossRushCourse = t.bossRushCourse;
        gRun.bossRushBattle = 0;
    }
    if (a >= 0) {
        g.lastDeparture[0] = a;
        g.lastDeparture[1] = d.dungeonCursor;
        g.lastDeparture[2] = d.floorCursor;
    }
    if (d.leaveMode == DEPARTURE_TO_TOWN) {
        for (int32_t& key : gBag) {
            if (key != ITEM_KEY_NONE) addItemToStorage(key);
            key = ITEM_KEY_NONE;
        }
        toTownMap();
    } else if (a >= 0) {
        depart();
    } else {
        toTownMap();
    }
    d.leaveMode = DEPARTURE_STAYS;
    startNextScene();
}

// ---- the foci ----

static void stepBlockList() {
    DepartureScreenState& d = gDepartureScreen;
    if (pressed() & BUTTON_CANCEL) {
        d.floorMode = 0;
        d.dungeonMode = 1;
        playSoundEffect(SOUND_CANCEL);
        glideTo(dungeonSpot(d.dungeonCursor));
        return;
    }
    if (pressed() & BUTTON_CONFIRM) {
        playSoundEffect(SOUND_CONFIRM);
        beginLeave(DEPARTURE_DEPART);
        return;
    }
    int32_t last = std::max(d.unlocked[d.dungeonCursor] - 1, 0);
    int32_t cursor = d.floorCursor;
    if ((repeated() & BUTTON_UP) && cursor > 0) --cursor;
    else if ((repeated() & BUTTON_DOWN) && cursor < last) ++cursor;
    if (cursor == d.floorCursor) return;
    d.floorCursor = cursor;
    d.floorScroll = scrollFor(cursor, d.floorScroll, DEPARTURE_BLOCK_ROWS);
    playSoundEffect(SOUND_CURSOR);
    glideTo(blockRowSpot(d.floorCursor, d.floorScroll));
}

static int32_t mapMove(int32_t from, int32_t offered) {
    uint16_t r = repeated();
    if (from == BOSS_RUSH_DUNGEON) {
        if (r & BUTTON_UP) return 2;
        if (r & BUTTON_LEFT) return 1;
        if (r & BUTTON_RIGHT) return 3;
        return from;
    }
    if ((r & BUTTON_DOWN) && offered == DEPARTURE_DUNGEONS) return BOSS_RUSH_DUNGEON;
    if ((r & BUTTON_LEFT) && from > 0) return from - 1;
    if ((r & BUTTON_RIGHT) && from < std::min(offered - 1, 4)) return from + 1;
    return from;
}

static void openBlockList() {
    DepartureScreenState& d = gDepartureScreen;
    const GameState& g = game();
    d.dungeonMode = 0;
    d.floorMode = 1;
    int32_t last = std::max(d.unlocked[d.dungeonCursor] - 1, 0);
    d.floorCursor = d.dungeonCursor == g.lastDeparture[1] ? std::clamp(g.lastDeparture[2], 0, last) : 0;
    d.floorScroll = scrollFor(d.floorCursor, 0, DEPARTURE_BLOCK_ROWS);
    glideTo(blockRowSpot(d.floorCursor, d.floorScroll));
}

static void stepDungeonMap() {
    DepartureScreenState& d = gDepartureScreen;
    if (pressed() & BUTTON_CANCEL) {
        d.dungeonMode = 0;
        d.bagState = BAG_LIST_FOCUS;
        playSoundEffect(SOUND_CANCEL);
        glideTo(bagRowSpot(d.bagCursor, d.bagScroll));
        return;
    }
    if (pressed() & BUTTON_CONFIRM) {
        playSoundEffect(SOUND_CONFIRM);
        openBlockList();
        return;
    }
    int32_t to = mapMove(d.dungeonCursor, d.dungeonCount);
    if (to == d.dungeonCursor || to >= d.dungeonCount) return;
    d.dungeonCursor = to;
    playSoundEffect(SOUND_CURSOR);
    glideTo(dungeonSpot(to));
}

static void openDungeonMap() {
    DepartureScreenState& d = gDepartureScreen;
    d.bagState = BAG_NOT_PACKING;
    d.dungeonMode = 1;
    d.dungeonCursor = std::clamp(game().lastDeparture[1], 0, d.dungeonCount - 1);
    glideTo(dungeonSpot(d.dungeonCursor));
}

static void stepBagList() {
    DepartureScreenState& d = gDepartureScreen;
    uint16_t p = pressed();
    if (d.infoOpen) {
        if (p & (BUTTON_CONFIRM | BUTTON_CANCEL | BUTTON_INFO)) {
            d.infoOpen = 0;
            closeItemInfo();
            playSoundEffect(SOUND_INFO_POPUP);
        }
        return;
    }
    int32_t entry = d.bagCursor - 1;
    if (p & BUTTON_CANCEL) {
        d.bagState = BAG_NOT_PACKING;
        d.adventurerMode = 1;
        playSoundEffect(SOUND_CANCEL);
        glideTo(adventurerRowSpot(d.adventurerCursor, d.adventurerScroll));
        return;
    }
    if ((p & BUTTON_INFO) && entry >= 0 && gBag[entry] != ITEM_KEY_NONE) {
        d.infoOpen = 1;
        showItemInfo(gBag[entry]);
        openItemInfo(2);
        playSoundEffect(SOUND_INFO_POPUP);
        return;
    }
    if (p & BUTTON_CONFIRM) {
        playSoundEffect(SOUND_CONFIRM);
        if (entry >= 0) {
            d.bagState = BAG_CHOOSING;
            openItemList(ITEM_LIST_SHELF, 0);
            placeListCursor();
        } else if (storyFlag(FLAG_DUNGEON_MAP_OPEN)) {
            openDungeonMap();
        } else {
            d.dungeonCursor = 0;
            d.floorCursor = 0;
            beginLeave(DEPARTURE_DEPART);
        }
        return;
    }
    int32_t cursor = d.bagCursor;
    uint16_t r = repeated();
    if (r & BUTTON_UP) cursor -= 1;
    else if (r & BUTTON_DOWN) cursor += 1;
    else if (r & BUTTON_LEFT) cursor -= DEPARTURE_BAG_ROWS;
    else if (r & BUTTON_RIGHT) cursor += DEPARTURE_BAG_ROWS;
    cursor = std::clamp(cursor, 0, std::min(gBagCapacity, BAG_SIZE));
    if (cursor == d.bagCursor) return;
    d.bagCursor = cursor;
    d.bagScroll = scrollFor(cursor, d.bagScroll, DEPARTURE_BAG_ROWS);
    playSoundEffect(SOUND_CURSOR);
    glideTo(bagRowSpot(d.bagCursor, d.bagScroll));
}

static void backToBagList() {
    DepartureScreenState& d = gDepartureScreen;
    d.bagState = BAG_LIST_FOCUS;
    glideTo(bagRowSpot(d.bagCursor, d.bagScroll));
}

static void stepStorageChoice() {
    DepartureScreenState& d = gDepartureScreen;
    int32_t result = handleItemListInput(1);
    if (result == ITEM_LIST_CANCELLED) {
        playSoundEffect(SOUND_CANCEL);
        backToBagList();
        return;
    }
    if (result == ITEM_LIST_CONFIRMED) {
        playSoundEffect(SOUND_CONFIRM);
        return;
    }
    if (result != ITEM_LIST_CHOSEN) return;
    int32_t entry = d.bagCursor - 1;
    if (entry < 0 || entry >= BAG_SIZE) return;
    int32_t key = getSelectedListItemKey();
    int32_t old = gBag[entry];
    if (old != ITEM_KEY_NONE) addItemToStorage(old);
    gBag[entry] = key;
    gBagAtDeparture[entry] = key;
    if (key != ITEM_KEY_NONE) removeStorageKey(key);
    openItemList(ITEM_LIST_SHELF, 0);
    backToBagList();
}

static void stepAdventurerList() {
    DepartureScreenState& d = gDepartureScreen;
    uint16_t p = pressed();
    if ((p & BUTTON_CANCEL) || ((p & BUTTON_CONFIRM) && d.adventurerCursor == 0)) {
        playSoundEffect(SOUND_CANCEL);
        beginLeave(DEPARTURE_TO_TOWN);
        return;
    }
    if (p & BUTTON_CONFIRM) {
        const GameState& g = game();
        if (g.money >= cursorFee() || !storyFlag(FLAG_GUILD_CHARGES) || d.adventurerCursor == 1) {
            playSoundEffect(SOUND_CONFIRM);
            d.adventurerMode = 0;
            d.bagState = BAG_LIST_FOCUS;
            d.introState = 1;
            openItemList(ITEM_LIST_SHELF, 1);
            setItemListEquipTarget(departureCursorAdventurer(), -1);
            glideTo(bagRowSpot(d.bagCursor, d.bagScroll));
        } else {
            playSoundEffect(SOUND_REFUSED);
        }
        return;
    }
    int32_t cursor = d.adventurerCursor;
    if ((repeated() & BUTTON_UP) && cursor > 0) --cursor;
    else if ((repeated() & BUTTON_DOWN) && cursor < gAvailableAdventurerCount) ++cursor;
    if (cursor == d.adventurerCursor) return;
    d.adventurerCursor = cursor;
    d.adventurerScroll = cursor > DEPARTURE_ADVENTURER_ROWS - 1 ? cursor - 4 : std::min(d.adventurerScroll, cursor);
    playSoundEffect(SOUND_CURSOR);
    glideTo(adventurerRowSpot(d.adventurerCursor, d.adventurerScroll));
}

static int32_t countEquipmentShown() {
    int32_t a = departureCursorAdventurer();
    if (a < 0) return 0;
    const AdventurerRecord& r = game().adventurers[a];
    int32_t n = 0;
    for (int32_t i = 0; i < EQUIPMENT_SLOTS; ++i)
        n += (r.equipment[i] != ITEM_KEY_NONE) + (r.savedEquipment[i] != ITEM_KEY_NONE);
    return n;
}

void updateDepartureScreen() {
    DepartureScreenState& d = gDepartureScreen;
    int32_t event = startDepartureEvent();
    if (event == 1) return;
    if (event == 2) {
        toTownMap();
        startNextScene();
        return;
    }
    if (d.introState == 1) {
        openMessageWindow(INTRO_TEXT);
        d.introState = 2;
    }
    if (updateMessageWindow() < 0) return;
    if (d.introState == 2) d.introState = 0;

    int32_t stored = countStoredItems();
    if (d.frameCount == 0 && !storageAllowsDeparture(stored)) {
        char text[DIALOG_LINE_BYTES * 3];
        snprintf(text, sizeof text, STORAGE_FULL_TEXT, (int)(stored - STORAGE_DEPARTURE_LIMIT));
        openMessageWindow(text);
    } else if (d.frameCount == 1 && !storageAllowsDeparture(stored) && d.leaveMode == DEPARTURE_STAYS) {
        beginLeave(DEPARTURE_TO_TOWN);
    }

    if (d.leaveMode != DEPARTURE_STAYS) {
        if (isFadeOutDone()) finishLeave();
        return;
    }
    if (d.floorMode) stepBlockList();
    else if (d.dungeonMode) stepDungeonMap();
    else if (d.bagState == BAG_LIST_FOCUS) stepBagList();
    else if (d.bagState == BAG_CHOOSING) stepStorageChoice();
    else if (d.adventurerMode) stepAdventurerList();
    d.equipmentShown = countEquipmentShown();
    d.frameCount++;
}

// ---- around an overlay ----

void saveDepartureListState() { saveItemListCursors(); }

void restoreDepartureListState() {
    restoreItemListCursors();
    const DepartureScreenState& d = gDepartureScreen;
    int32_t entry = d.bagCursor - 1;
    showItemInfo(entry >= 0 && entry < BAG_SIZE ? gBag[entry] : ITEM_KEY_NONE);
    PointerSpot s = bagRowSpot(d.bagCursor, d.bagScroll);
    setPointerPosition(s.x, s.y);
    setItemListEquipTarget(departureCursorAdventurer(), -1);
}

void resetDepartureScreen() { gDepartureScreen = DepartureScreenState{}; }
