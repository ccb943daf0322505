#include "dungeon/floor_start.h"
#include "engine/math.h"

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"

#include <cmath>

#include "dungeon/enemies.h"
#include "dungeon/field_events.h"
#include "dungeon/field_frame.h"
#include "dungeon/fixed_floors.h"
#include "dungeon/floor_generator.h"
#include "dungeon/floor_objects.h"
#include "dungeon/loot_odds.h"
#include "dungeon/spawn_tables.h"
#include "engine/dialogs.h"
#include "engine/save_file.h"
#include "engine/sprites.h"
#include "engine/stage_index.h"
#include "engine/story_flags.h"
#include "field/field_state.h"
#include "engine/device.h"
#include "shop/shop.h"
#include "shop/shop_state.h"


FloorStartState gFloorStart;

const SkillUnlockRow gSkillUnlockLevels[ADVENTURER_COUNT] = {
    {2, {0, 9}},          {3, {0, 9, 19}},     {5, {0, 4, 9, 24, 29}}, {4, {0, 4, 19, 24}},
    {3, {0, 9, 19}},      {4, {0, 9, 19, 29}}, {3, {0, 9, 19}},        {1, {0}},
};

// Motion-table slots of the controlled character by adventurer; the heroine
// is slot 0 and the fairy slot 1.
constexpr int32_t ADVENTURER_MOTION_SLOTS[ADVENTURER_COUNT] = {3, 27, 28, 30, 40, 31, 41, 42};
constexpr int32_t HEROINE_MOTION_SLOT = 0;
constexpr int32_t FAIRY_MOTION_SLOT = 1;

constexpr int32_t CHEST_KIND_ALTERNATE[2] = {FLOOR_OBJECT_CHEST, FLOOR_OBJECT_TRAP_CHEST};
constexpr float SETTLE_STEP = 2.0f;
constexpr float LEVEL_GROUND = 0.5f;   // the most a settled point's ground may lie off 0

// The shop's furniture by stage code index 0..4: fixed pieces, then shelves.
constexpr int32_t SHOP_FIXED_PIECES[SHOP_STAGE_LAST + 1] = {2, 2, 3, 5, 5};
constexpr int32_t SHOP_SHELVES[SHOP_STAGE_LAST + 1] = {3, 4, 6, 10, 10};
constexpr float FIXED_PIECE_OFFSETS[PLACED_GROUP_A_MAX][3] = {
    {0.0f, 0.0f, 0.0f}, {-2.0f, 0.0f, -1.0f}, {13.0f, 0.0f, -1.0f}, {-2.5f, 0.0f, 8.0f}, {13.0f, 0.0f, 8.0f},
};
// The layout cell each shelf's offset counts from; the town stage (code
// index 4) takes the shop's.
constexpr int32_t SHELF_ORIGINS[PLACED_GROUP_B_MAX][2] = {
    {4, 3}, {3, 4}, {5, 2}, {4, 2}, {4, 3}, {3, 4}, {4, 3}, {4, 3}, {4, 3}, {4, 3},
};

int32_t floorTimeLimit(int32_t dungeon, int32_t roomCount) {
    int32_t d = dungeon < 0 ? 0 : (dungeon > 5 ? 5 : dungeon);
    return roomCount * FLOOR_FRAMES_PER_CELL[d];
}

bool floorTimeResets(int32_t dungeon, int32_t floor, int32_t bossRushCourse, int32_t bossRushBattle) {
    if (bossRushCourse >= 1) return bossRushBattle == 0;
    if (dungeon == 5) return floor < 30 && floor % 10 == 0;
    return floor % 5 == 0;
}

void refreshSkillUnlocks() {
    GameState& game = runningGameState();
    for (int32_t a = 0; a < ADVENTURER_COUNT; ++a) {
        AdventurerRecord& adventurer = game.adventurers[a];
        const SkillUnlockRow& row = gSkillUnlockLevels[a];
        int32_t open = 0;
        for (int32_t s = 0; s < SKILL_SLOTS; ++s) {
            adventurer.skillUnlocked[s] = 1;
            gSkillSlots[a][s] = s;
            if (s < row.count && adventurer.level >= row.levels[s]) ++open;
        }
        gSkillCounts[a] = open;
    }
    // Dedar's second and third skills trade places.
    gSkillSlots[6][1] = 2;
    gSkillSlots[6][2] = 1;
}



// Level ground at (x, z): the highest floor under a probe from 0.5 above
// lies within 0.5 of height 0.
static bool groundIsLevel(float x, float y, float z) {
    CollisionHit hit = {};
    return findGroundUnder(x, y + LEVEL_GROUND, z, &hit) && fabsf(hit.floorHeight) < LEVEL_GROUND;
}

// The point itself, then four points 2.0 around it at (k + 0.5) quarter
// turns, k = 1..4; *at becomes the first on level ground, or the last tried.
static bool settleOnGround(Vector3 point, Vector3* at) {
    *at = point;
    if (groundIsLevel(point.x, point.y, point.z)) return true;
    for (int32_t k = 1; k <= 4; ++k) {
        float angle = ((float)k + 0.5f) * 2.0f * PI / 4.0f;
        *at = Vector3{point.x + SETTLE_STEP * sinf(angle), point.y, point.z + SETTLE_STEP * cosf(angle)};
        if (groundIsLevel(at->x, at->y, at->z)) return true;
    }
    return false;
}

// Step 2's words; each record's owner resets its own.
static void resetRunWords() {
    resetFloorConditions();
    gRun.gateGuard = 0;
    gFloorGrid.singleBlockFloor = 0;
    gRun.hitStopInput = 0;
    gFieldCamera.cameraOffsets = CameraOffsets{};
    gFieldCamera.cameraFixedOn = 0;
    gFieldCamera.cameraMode = CAMERA_FOLLOW;
    gFollower.autoWalk = 0;
    for (int32_t& seen : gLayoutCells.floorCellSeen) seen = 0;
    resetFloorControl();
    resetFairyWander();
    gFieldTicks = 0;
    gRun.startVoiceTimer = 0;
    gRun.floorIntroTimer = 0;
    gRun.gatePrompt = 0;
    gRun.specialMusicTimer = 0;
    gRun.switchCutTimer = 0;
    gRun.slowMotionTimer = 0;
    gRun.lastHitTimer = 0;
    gRun.lastHitValue = 0;
    gFloorStatus.enemyKillCombo = 0;
    gFloorStatus.enemyKillComboKind = -1;
    gEnemySpawnState.spawnCount = 0;
    gFieldEvents.fallTimer = 0;
    gFloorGrid.invisibleWallsOn = 0;
    gBreakableObjects.count = 0;
    gFloorScript.sequenceTimer = 0;
    resetViewSpin();
    clearSkillCountdown();
    gRun.playerControl = -1;
    gFieldCamera.cameraReset = 1;
    gRun.bossCutFade = 1.0f;
}

static void placeParty() {
    gParty.velocity = Vector3{};
    for (int32_t i = 0; i < PARTY_MEMBER_COUNT; ++i)
        gParty.positions[i] = Vector3{gFloorPlan.floorStartPos.x - 1.5f * (float)i, gFloorPlan.floorStartPos.y,
                                      gFloorPlan.floorStartPos.z};
    settleOnGround(gParty.positions[0], &gParty.positions[0]);
    gParty.facing = PI;
    // Each member's motion and status start over, drawn whole and opaque.
    for (MotionState& motion : gParty.motions) motion = MotionState{};
    for (float& scale : gParty.memberScales) scale = 1.0f;
    gParty.leaderAlpha = 255;
    gParty.strikeOrdinal = -1;
    gParty.nearestPickup = -1;
    gParty.actionState = 0;
    gParty.actionFrame = 0;
    gParty.hopTimer = 0;
    gParty.airTicks = 0;
    gParty.frozen = 0;
}

static void placeShopFurniture(int32_t code) {
    const GameState& game = runningGameState();
    gPlacedBlocks.countA = SHOP_FIXED_PIECES[code];
    gPlacedBlocks.countB = SHOP_SHELVES[code];
    for (int32_t i = 0; i < PLACED_GROUP_A_MAX; ++i) {
        gPlacedBlocks.blockId[i] = i == 0 ? 0 : 1;
        for (int32_t axis = 0; axis < 3; ++axis) gPlacedBlocks.position[i][axis] = FIXED_PIECE_OFFSETS[i][axis];
        gPlacedBlocks.yaw[i] = 0.0f;
    }
    for (int32_t i = 0; i < PLACED_GROUP_B_MAX; ++i) {
        int32_t slot = PLACED_GROUP_B_FIRST + i;
        gPlacedBlocks.blockId[slot] = SHELF_SHAPES[i];
        gPlacedBlocks.yaw[slot] = i == 2 ? PI / 2.0f : (i == 3 ? -PI / 2.0f : 0.0f);
        gPlacedBlocks.position[slot][0] = 2.0f * (float)(game.shelfLayout[i].x - SHELF_ORIGINS[i][0]);
        gPlacedBlocks.position[slot][1] = 0.0f;
        gPlacedBlocks.position[slot][2] = 2.0f * (float)(game.shelfLayout[i].z - SHELF_ORIGINS[i][1]);
    }
}

// The heroine walks in at the door, or stands inside after a departure.
static void enterShopStage(int32_t code) {
    // The shop is seen from across the counter: the pad's headings and the
    // shop's prompts are measured from this yaw.
    gCamera.yaw = PI;
    gParty.cameraYawTarget = PI;
    placeShopFurniture(code);
    const GameState& game = runningGameState();
    if (game.departedFlag == 0) {
        placePlayerAtEntrance(0);
        gParty.facing = PI / 2.0f;
    } else {
        placePlayerAtEntrance(1);
        gParty.facing = game.shopSize == 0 ? -PI / 2.0f : 0.0f;
        for (MotionState& motion : gParty.motions) setMotion(motion, game.shopSize == 0 ? 2 : 1);
    }
}

static void runFixedFloorSetup() {
    switch (gRun.dungeonIndex) {
    case 0: setupFloorDungeon0(); break;
    case 1: setupFloorDungeon1(); break;
    case 2: setupFloorDungeon2(); break;
    case 3: setupFloorDungeon3(); break;
    case 4: setupFloorDungeon4(); break;
    default: setupFloorDungeon5(); break;
    }
    if (gRun.bossRushBattle == 0 || (gRun.dungeonIndex == 5 && gFloorIndex == 30)) gRun.equipPrompt = 1;
}

static const Vector3 CIRCLE_SIZE = {0.5f, 0.5f, 0.5f};
static const Vector3 GATE_SIZE = {0.35f, 0.35f, 0.35f};
static const Vector3 CHEST_SIZE = {0.5f, 0.5f, 0.5f};

// Dungeon 5's ninth and nineteenth floors also offer a way home: a return
// gate 5.0 from the circle, on the first side whose ground 6.0 out is level.
static void placeExtraReturnGate(const Vector3& circle) {
    for (int32_t k = 0; k < 4; ++k) {
        float angle = (float)k * 2.0f * PI / 4.0f;
        float s = sinf(angle), c = cosf(angle);
        if (!groundIsLevel(circle.x + 6.0f * s, circle.y, circle.z + 6.0f * c)) continue;
        placeFloorObject(Vector3{circle.x + 5.0f * s, circle.y, circle.z + 5.0f * c}, GATE_SIZE, 0.0f,
                         FLOOR_OBJECT_RETURN_GATE);
        return;
    }
}

static void placeGatesAndChests() {
    GameState& game = runningGameState();
    game.storyFlags[FLAG_TRIAL_CHEST] = 0;
    const Vector3& start = gFloorPlan.floorStartPos;
    if (gRun.dungeonIndex == 0 && gFloorIndex == 4) {
        if (!storyFlag(FLAG_TRIAL_CLEARED) && game.playMode != PLAY_MODE_SURVIVAL) {
            game.storyFlags[FLAG_TRIAL_CHEST] = 1;
            placeFloorObject(Vector3{start.x, 2.0f, start.z + 10.0f}, CHEST_SIZE, 0.0f, FLOOR_OBJECT_CHEST);
        } else {
            placeFloorObject(Vector3{start.x, start.y + 2.0f, start.z + 10.0f}, GATE_SIZE, 0.0f,
                             FLOOR_OBJECT_RETURN_GATE);
        }
        return;
    }
    if (storyFlag(FLAG_TOWER_STORY_FLOOR) || storyFlag(FLAG_TOWER_TOP) || isBossFloor()) return;
    // Only a route of two cells or fewer has no exit; no such floor gets here.
    if (gLayoutCells.cells[1].col < 0) return;
    Vector3 exitCentre = cellCentre(gLayoutCells.cells[1]);
    Vector3 circle = exitCentre;
    if (!settleOnGround(exitCentre, &circle)) circle = exitCentre;
    placeFloorObject(circle, CIRCLE_SIZE, 0.0f, FLOOR_OBJECT_MAGIC_CIRCLE);
    if (gRun.dungeonIndex == 5 && (gFloorIndex == 9 || gFloorIndex == 19)) placeExtraReturnGate(circle);
    for (int32_t i = 0; i < gLayoutCells.count && i < LAYOUT_CHEST_MAX; ++i) {
        Vector3 at = {};
        if (!settleOnGround(cellCentre(gLayoutCells.cells[LAYOUT_CHEST_FIRST + i]), &at)) continue;
        placeFloorObject(at, CHEST_SIZE, 0.0f, CHEST_KIND_ALTERNATE[i % 2]);
    }
}

// Snow already falls when the floor is shown.
static void preFallSnow() {
    const Vector3& at = gParty.positions[0];
    for (int32_t i = 0; i < 200; ++i) {
        spawnEffectObject(nullptr, at.x, at.y + 2.0f, at.z, 79, 1.0f, 1);
        updateEffectObjects();
    }
}

void startFloor() {
    bindCurrentStage();
    // Written only when running: the loading sign, drawn meanwhile on the
    // main thread, reads the sprite offsets.
    if (gCameraShake.framesLeft != 0 || gCameraShake.spriteX != 0 || gCameraShake.spriteY != 0 ||
        gCameraShake.cameraY != 0.0f)
        startCameraShake(0, 0, 0, 0.0f);
    // A floor is seen from behind its start; the shop turns this round below.
    gCamera.yaw = 0.0f;
    gParty.cameraYawTarget = 0.0f;
    resetRunWords();
    if (floorTimeResets(gRun.dungeonIndex, gFloorIndex, gRun.bossRushCourse, gRun.bossRushBattle)) gRun.floorTime = 0;
    for (int32_t i = 0; i < PLACED_SLOT_COUNT; ++i) {
        gPlacedBlocks.blockId[i] = 0;
        gPlacedBlocks.yaw[i] = 0.0f;
        for (float& axis : gPlacedBlocks.position[i]) axis = 0.0f;
    }
    refreshSkillUnlocks();

    bool shop = isShopStage(gCurrentStage);
    int32_t adventurer = gChosenAdventurer < 0 || gChosenAdventurer >= ADVENTURER_COUNT ? 0 : gChosenAdventurer;
    gParty.models[0] = shop ? HEROINE_MOTION_SLOT : ADVENTURER_MOTION_SLOTS[adventurer];
    gParty.models[1] = shop ? -1 : HEROINE_MOTION_SLOT;
    gParty.models[2] = FAIRY_MOTION_SLOT;

    generateFloor();
    gFloorStart.floorTimeLimit = floorTimeLimit(gRun.dungeonIndex, gFloorPlan.roomCount);
    placeParty();
    clearFloorObjects();

    buildEffectMeshes();
    stopDefeatOrbit();
    resetEffects(1);
    resetEnemies();
    placeBlockDecorations();
    resetHudState();
    resetShopFloorState();
    gFloorScript.state = 0;
    gFloorScript.sequenceTimer = 0;
    resetSequenceTimer();
    initStreetCrowd();

    if (shop) {
        enterShopStage(gCurrentStage->stageCode);
    } else {
        runFixedFloorSetup();
        if (isBossFloor()) spawnFloorEnemies();
        else populateFloor();
        placeGatesAndChests();
        if (gFloorStart.expeditionStart) {
            startBanner(FLOOR_BANNER_FRAMES, 1);
            gRun.floorIntroTimer = FLOOR_INTRO_FRAMES;
            gFloorStart.expeditionStart = 0;
        }
    }
    gFloorStart.floorStartHeading = gParty.facing;
    if (gCurrentStage && gCurrentStage->windsnow) preFallSnow();
    resetCustomers();
    computeShopAtmosphere();
    updateDropOdds(0, -1);
}

void finishFloorStart() {
    // The run's end words are read by the frame's run-result band, drawn
    // while the floor loads; they start over once the load is done.
    gRun.runEndTimer = 0;
    gRun.runEndState = 0;
    hidePointer();
    if (gCurrentStage && gCurrentStage->maptype == 0 && gShopSequence == SHOP_SEQUENCE_MORNING) enterShopFromDoor();
}

void beginExpedition() {
    recomputeAdventurerTotals();
    gParty.models[0] = HEROINE_MOTION_SLOT;
    gParty.models[1] = 3;
    gParty.models[2] = FAIRY_MOTION_SLOT;
    GameState& game = runningGameState();
    recomputeLevelStats(game);
    int32_t chosen = gChosenAdventurer < 0 || gChosenAdventurer >= ADVENTURER_COUNT ? 0 : gChosenAdventurer;
    AdventurerRecord& adventurer = game.adventurers[chosen];
    gParty.hp = (float)(adventurer.hpBase + adventurer.hpBonus);
    gParty.sp = (float)(adventurer.spBase + adventurer.spBonus);
    gRun.equipPrompt = 0;
    int32_t previous = getExpForLevel(adventurer.level);
    int32_t next = getExpForLevel(adventurer.level + 1);
    if (adventurer.experience < previous) adventurer.experience = previous;
    if (adventurer.experience > next) adventurer.experience = next;
    // The gauge starts from the merchant's real experience, with no climb to show.
    gHud.expShown = (float)game.merchantExp;
    refreshSkillUnlocks();
    // Gem pick-up waits for the last queue slot to be empty.
    for (int32_t& slot : gParty.gemQueue) slot = -1;
    gFloorStart.expeditionStart = 1;
    updateDropOdds(1, 0);
    updateChestTierOdds(1, 0);
}

bool countDownFloorTime(int32_t frames, int32_t restart) {
    gFloorStart.floorTimeLimit -= frames;
    if (gFloorStart.floorTimeLimit >= 0) return false;
    gFloorStart.floorTimeLimit = restart;
    return true;
}

void settleBagOnReturn() {
    int32_t capacity = gBagCapacity < BAG_SIZE ? gBagCapacity : BAG_SIZE;
    for (int32_t i = 0; i < capacity; ++i)
        if (gBag[i] != ITEM_KEY_NONE && (gBag[i] & ITEM_KEY_POSSESSED)) gBag[i] = ITEM_KEY_NONE;
    int32_t chosen = gChosenAdventurer < 0 || gChosenAdventurer >= ADVENTURER_COUNT ? 0 : gChosenAdventurer;
    const AdventurerRecord& adventurer = runningGameState().adventurers[chosen];
    for (int32_t key : adventurer.equipment) {
        if (key == ITEM_KEY_NONE || (key & ITEM_KEY_POSSESSED)) continue;
        // Mended: an item that found no room in the bag was dropped when the
        // saved equipment came back; it goes to storage instead.
        if (!addToBag(key, BAG_SIZE)) addItemToStorage(key);
    }
    restoreEquipment();
}

int32_t countPlacedShelves() { return gPlacedBlocks.countB; }

void resetFloorStart() {
    gFloorStart = FloorStartState{};
}
