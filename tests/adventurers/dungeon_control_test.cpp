// The player's control of member 0: the speed limit, friction and gravity
// of a tick, the dash and its crash into a wall, skill points, Zoze's charge
// gauge and the enemies of the floor's time-out, on a real collision block.
#include "adventurers/dungeon_control.h"
#include "adventurers/gem_collection.h"
#include "adventurers/party_status.h"
#include "adventurers/time_limit.h"
#include "adventurers/trail.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "dungeon/dungeon.h"
#include "engine/random.h"
#include "engine/save_file.h"
#include "engine/stage_index.h"
#include "field/field_state.h"
#include "game/state_registry.h"
#include "platform/window.h"
#include "tests/adventurers/collision_room.h"
#include "tools/model_shapes.h"
#include "tools/xfile_writer.h"

namespace {

constexpr int32_t RERADO = 1;
constexpr int32_t DEDAR = 6;
constexpr int32_t ZOZE = 7;

// A dungeon floor (or the shop) with the party standing at the origin on
// flat ground, the input read from player 1, nothing worn.
class DungeonControl : public ::testing::Test {
protected:
    void SetUp() override {
        previousWindow = gWindow;
        gWindow = &WINDOW_HEADLESS;
        previousStage = gCurrentStage;
        prepare();
    }
    void TearDown() override {
        cleanUp();
        gCurrentStage = previousStage;
        gWindow = previousWindow;
    }
    // A fresh case: used by SetUp and by the tables' loops.
    void prepare() {
        headlessWindowReset();
        resetGameState();
        stage = StageRecord{};
        stage.maptype = 1;
        stage.stageCode = 10;
        gCurrentStage = &stage;
        seedRandom(7);
        for (CharaRecord& row : gCharaTable) row = CharaRecord{};
        for (int32_t k = 0; k < ADVENTURER_COUNT; k++) {
            gCharaTable[k].walkSpeed = 0.15f;
            gCharaTable[k].dashSpeed = 0.2f;
            AdventurerRecord& a = runningGameState().adventurers[k];
            for (int32_t& key : a.equipment) key = -1;
            a.hpBase = 100;
            a.spBase = 40;
            a.nextLevelExp = 300;
        }
        resetFloorMap();
        resetMapCollision();
        choose(RERADO);
        gDungeonControl.inputBlocked = 1;
        gFloorStart.floorTimeLimit = 1000000;
    }
    void cleanUp() {
        resetMapCollision();
        resetFloorMap();
        resetGameState();
        for (CharaRecord& row : gCharaTable) row = CharaRecord{};
    }

    void choose(int32_t adventurer) {
        gChosenAdventurer = adventurer;
        PartyState& p = gParty;
        p = PartyState{};
        p.models[0] = onShop() ? HEROINE_MODEL : ADVENTURER_MODELS[adventurer];
        p.models[1] = onShop() ? -1 : HEROINE_MODEL;
        p.models[2] = FAIRY_MODEL;
        p.positions[2] = Vector3{2.0f, 3.0f, 0.0f};
        p.hp = p.hpShown = 100.0f;
        p.sp = p.spShown = 40.0f;
        p.nearestPickup = -1;
        for (int32_t& k : p.gemQueue) k = -1;
        p.randomShot = -1;
        p.leaderAlpha = 255;
        for (CollisionHit& g : p.ground) {
            g.block = -1;
            g.normalY = 1.0f;   // flat ground, as the ground probe leaves it
        }
    }
    bool onShop() const { return stage.stageCode <= SHOP_STAGE_LAST; }
    // Flat collision ground at height 0, so the movement step lands member 0.
    void standOnFloor() {
        buildCollisionRoom({FLAT_FLOOR});
        gPlacedBlocks.countA = 1;   // the shop's floor is a placed block
        gPlacedBlocks.blockId[0] = 0;
    }
    void toShop() {
        stage.maptype = 0;
        stage.stageCode = 0;
        choose(gChosenAdventurer);
    }
    void wear(int32_t itemId, int32_t slot = 1) {
        runningGameState().adventurers[gChosenAdventurer].equipment[slot] = itemId << 6;
    }
    void condition(int32_t id) {
        gFloorConditionList.count = 1;
        gFloorConditionList.ids[0] = id;
        gFloorConditionList.rollState = 1;
    }
    // One tick of member 0 with these pad words.
    void tick(uint16_t held = 0, uint16_t pressed = 0) {
        gInputState[0].raw = held;
        gInputState[0].pressed = pressed;
        updateDungeonPlayer();
    }

    // Map geometry, in world units, through the real collision reader.
    void buildBlock(XFileMesh mesh) {
        XFileScene scene = {};
        int32_t root = addFrame(scene, "Root", -1);
        mesh.frame = addFrame(scene, "Piece", root);
        scene.meshes.push_back(mesh);
        std::string text = xfileWriteText(scene);
        resetMapCollision();
        loadCollisionText(text.data(), (int32_t)text.size(), "test.x", 0);
        gFloorGrid.mapGrid[0][0].blockId = 0;
        gFloorGrid.roomsX = 1;
        gFloorGrid.roomsY = 1;
    }
    // Model x is world -x; model units are five world units.
    static void worldQuad(XFileMesh& mesh, const float world[4][3], int32_t material) {
        float corners[4][3];
        for (int32_t i = 0; i < 4; i++) {
            corners[i][0] = -world[i][0] * 5.0f;
            corners[i][1] = world[i][1] * 5.0f;
            corners[i][2] = world[i][2] * 5.0f;
        }
        const float normal[3] = {0, 1, 0};
        addQuad(mesh, corners, normal, material);
    }
    static XFileMesh floorMesh() {
        XFileMesh mesh = shapeMesh("m", 0);
        mesh.materials.push_back(shapeMaterial("yuka", 1, 1, 1));
        const float floor[4][3] = {{20, 0, -20}, {20, 0, 20}, {-20, 0, 20}, {-20, 0, -20}};
        worldQuad(mesh, floor, 0);
        return mesh;
    }
    // The floor and a wall across z = 1 facing the origin.
    static XFileMesh floorAndWallMesh() {
        XFileMesh mesh = floorMesh();
        const float wall[4][3] = {{5, 0, 1}, {5, 3, 1}, {-5, 3, 1}, {-5, 0, 1}};
        worldQuad(mesh, wall, 0);
        return mesh;
    }

    StageRecord stage;
    StageRecord* previousStage = nullptr;
    decltype(gWindow) previousWindow = nullptr;
};

}  // namespace

TEST_F(DungeonControl, SpeedLimitFollowsItemsBuffsStunSkillsAndWater) {
    struct Case {
        const char* name;
        int32_t adventurer;
        bool dashing;
        int32_t item1, item2;
        int32_t conditionId;
        int32_t buff;          // buff slot 0..3, -1 none
        int32_t actionState;
        float waterDepth;      // < 0: dry ground
        float want;
    };
    const Case CASES[] = {
        {"walking", RERADO, false, 0, 0, 0, -1, 0, -1, 0.15f},
        {"dashing", RERADO, true, 0, 0, 0, -1, 0, -1, 0.2f},
        {"item 2408", RERADO, false, 2408, 0, 0, -1, 0, -1, 0.17f},
        {"item 2409", RERADO, false, 2409, 0, 0, -1, 0, -1, 0.23f},
        {"both items", RERADO, false, 2408, 2409, 0, -1, 0, -1, 0.25f},
        {"condition 11", RERADO, false, 0, 0, 11, -1, 0, -1, 0.15f * 1.3f},
        {"condition 12 on a dash", RERADO, true, 0, 0, 12, -1, 0, -1, 0.2f * 1.3f},
        {"medicine 4108", RERADO, false, 0, 0, 0, 0, 0, -1, 0.15f * 1.3f},
        {"medicine 4109 does not", RERADO, false, 0, 0, 0, 1, 0, -1, 0.15f},
        {"medicine 4111", RERADO, false, 2409, 0, 0, 3, 0, -1, (0.15f + 0.08f) * 1.3f},
        {"stunned", RERADO, false, 2409, 0, 0, -1, 1, -1, 0.5f},
        {"first skill", RERADO, false, 0, 0, 0, -1, 4, -1, 0.5f},
        {"Dedar's second skill", DEDAR, false, 0, 0, 0, -1, 5, -1, 1.0f},
        {"Dedar's third skill", DEDAR, false, 0, 0, 0, -1, 6, -1, 0.15f},
        {"at the water's surface", RERADO, false, 2409, 0, 0, -1, 0, 0.0f, 0.3f},
        {"half deep", RERADO, false, 0, 0, 0, -1, 1, 0.5f, 0.25f},
        {"deeper than one", RERADO, false, 0, 0, 0, -1, 0, 3.0f, 0.2f},
    };
    for (const Case& c : CASES) {
        prepare();
        choose(c.adventurer);
        PartyState& p = gParty;
        p.dashing = c.dashing ? 1 : 0;
        if (c.item1) wear(c.item1, 1);
        if (c.item2) wear(c.item2, 2);
        if (c.conditionId) condition(c.conditionId);
        if (c.buff >= 0) p.buffTimers[c.buff] = 100;
        p.actionState = c.actionState;
        if (c.waterDepth >= 0.0f) {
            p.ground[0].floorFlag = 1;
            p.ground[0].surfaceHeight = p.positions[0].y + c.waterDepth;
        }
        EXPECT_FLOAT_EQ(playerSpeedLimit(p), c.want) << c.name;
        cleanUp();
    }
}

TEST_F(DungeonControl, ATickCapsTheHorizontalSpeedKeepingItsDirection) {
    standOnFloor();
    gParty.velocity = Vector3{0.3f, 0.0f, 0.4f};   // 0.5 per tick
    tick();
    // Capped to 0.15, then the ground's friction.
    EXPECT_NEAR(gParty.velocity.x, 0.09f * 0.82f, 1e-6f);
    EXPECT_NEAR(gParty.velocity.z, 0.12f * 0.82f, 1e-6f);

    toShop();
    standOnFloor();
    gParty.velocity = Vector3{0.0f, 0.0f, -1.0f};
    tick();
    EXPECT_NEAR(gParty.velocity.z, -0.175f * 0.82f, 1e-6f) << "the shop's limit";
}

TEST_F(DungeonControl, FrictionByGroundAirHopAndStage) {
    struct Case {
        const char* name;
        float height;          // member 0 above its ground
        int32_t hopTimer;
        int32_t windsnow;
        int32_t slipperyCondition;
        int32_t sureFooting;
        int32_t actionState;
        float want;
    };
    const Case CASES[] = {
        {"on the ground", 0, 0, 0, 0, 0, 0, 0.82f},
        {"second attack", 0, 0, 0, 0, 0, 3, 0.95f},
        {"snowy wind", 0, 0, 1, 0, 0, 0, 0.95f},
        {"snowy wind, sure footing", 0, 0, 1, 0, 1, 0, 0.82f},
        {"slippery floor", 0, 0, 0, 1, 0, 0, 0.998f},
        {"slippery floor, sure footing", 0, 0, 0, 1, 1, 0, 0.82f},
        {"in the air", 2, 0, 0, 0, 0, 0, 0.99f},
        {"hopping", 0, 20, 0, 0, 0, 0, 0.97f},
        {"hopping in the air", 2, 20, 0, 0, 0, 0, 0.97f},
    };
    for (const Case& c : CASES) {
        prepare();
        stage.windsnow = c.windsnow;
        choose(c.actionState == 3 ? 4 : RERADO);   // the second attack is Zuzi's
        if (c.slipperyCondition) condition(9);
        if (c.sureFooting) wear(2411);
        gDungeonControl.hopLength = 30;
        standOnFloor();
        PartyState& p = gParty;
        p.positions[0].y = c.height;
        p.hopTimer = c.hopTimer;
        p.actionState = c.actionState;
        p.velocity = Vector3{0.1f, 0.0f, -0.05f};
        p.slideVelocityX = 0.1f;   // the slide eases toward the velocity it already has
        p.slideVelocityZ = -0.05f;
        tick();
        EXPECT_NEAR(p.velocity.x, 0.1f * c.want, 1e-6f) << c.name;
        EXPECT_NEAR(p.velocity.z, -0.05f * c.want, 1e-6f) << c.name;
        // Gravity, then the vertical friction; on the ground the landing stops the fall.
        EXPECT_NEAR(p.velocity.y, c.height > 0.0f ? -0.03f * 0.95f : 0.0f, 1e-6f) << c.name;
        cleanUp();
    }
}

TEST_F(DungeonControl, GravityPullsByThreeHundredthsAndStopsAtTwo) {
    PartyState& p = gParty;
    p.positions[0].y = 100.0f;
    tick();
    EXPECT_NEAR(p.velocity.y, -0.03f * 0.95f, 1e-7f);
    p.velocity.y = -1.99f;
    tick();
    EXPECT_NEAR(p.velocity.y, -2.0f * 0.95f, 1e-6f) << "-2.02 is held at -2";
    p.velocity.y = -5.0f;
    tick();
    EXPECT_NEAR(p.velocity.y, -2.0f * 0.95f, 1e-6f);
}

TEST_F(DungeonControl, OnlyAdventurersWithTheDashFlagDashOnADoubleTap) {
    // Rerado, Zuzi, Doda and Dedar carry ability flag 0x80.
    const bool DASHES[ADVENTURER_COUNT] = {false, true, false, false, true, true, true, false};
    for (int32_t a = 0; a < ADVENTURER_COUNT; a++) {
        prepare();
        choose(a);
        tick(BUTTON_UP, BUTTON_UP);
        EXPECT_EQ(gParty.dashing, 0) << "adventurer " << a << ": one press";
        tick();
        tick(BUTTON_UP, BUTTON_UP);
        EXPECT_EQ(gParty.dashing, DASHES[a] ? 1 : 0) << "adventurer " << a;
        if (DASHES[a]) {
            tick(BUTTON_UP, 0);
            EXPECT_EQ(gParty.dashing, 1) << "adventurer " << a << ": held";
            tick(BUTTON_UP | BUTTON_DOWN, 0);
            EXPECT_EQ(gParty.dashing, 0) << "adventurer " << a << ": the opposite direction ends it";
        }
        cleanUp();
    }
}

TEST_F(DungeonControl, ASecondPressAfterTheWindowDoesNotDash) {
    tick(BUTTON_LEFT, BUTTON_LEFT);
    for (int32_t i = 0; i < 15; i++) tick();
    tick(BUTTON_LEFT, BUTTON_LEFT);
    EXPECT_EQ(gParty.dashing, 0);
    tick();
    tick(BUTTON_RIGHT, BUTTON_RIGHT);
    EXPECT_EQ(gParty.dashing, 0) << "another direction";
}

TEST_F(DungeonControl, TheShopFloorHasNoDashAndItsOwnLimit) {
    toShop();
    standOnFloor();
    tick(BUTTON_UP, BUTTON_UP);
    tick();
    tick(BUTTON_UP, BUTTON_UP);
    EXPECT_EQ(gParty.dashing, 0);
    for (int32_t i = 0; i < 30; i++) tick(BUTTON_UP, 0);
    float vx = gParty.velocity.x;
    float vz = gParty.velocity.z;
    EXPECT_LE(std::sqrt(vx * vx + vz * vz), 0.175f * 0.82f + 1e-6f);
    EXPECT_GT(std::sqrt(vx * vx + vz * vz), 0.17f * 0.82f) << "walking reaches the limit";
}

TEST_F(DungeonControl, ADashIntoAWallStunsForSixtyTicksAndBouncesBack) {
    buildBlock(floorAndWallMesh());
    float t;
    CollisionHit hit;
    ASSERT_EQ(castMapSegment(0.0f, 0.7f, 0.0f, 0.0f, 0.0f, 1.4f, &t, &hit), 1) << "the wall stands 1 ahead";
    PartyState& p = gParty;
    p.dashing = 1;
    p.dashDirection = BUTTON_UP;
    gInputState[0].raw = BUTTON_UP;
    p.input = &gInputState[0];
    updatePlayerAction();
    EXPECT_EQ(p.actionState, 1);
    EXPECT_EQ(p.stunTimer, 59) << "60, counted down in the same tick";
    EXPECT_FLOAT_EQ(p.velocity.x, 0.0f);
    EXPECT_FLOAT_EQ(p.velocity.y, 0.3f);
    EXPECT_FLOAT_EQ(p.velocity.z, -0.14f);

    // The stun holds the figure for its 60 ticks, then frees it.
    int32_t ticks = 0;
    while (p.actionState == 1 && ticks < 100) {
        updatePlayerAction();
        ticks++;
    }
    EXPECT_EQ(1 + ticks, 60);
    EXPECT_EQ(p.dashing, 0);

    // Facing away from the wall, a dash runs free.
    choose(RERADO);
    p.dashing = 1;
    p.dashDirection = BUTTON_DOWN;
    p.input = &gInputState[0];
    updatePlayerAction();
    EXPECT_EQ(p.actionState, 0);
}

struct SpCase {
    const char* name;
    int32_t adventurer;
    float sp;
    int32_t cost;
    int32_t conditionId;
    int32_t halfItem, refillItem;
    int32_t spBase;
    int32_t paid;
    float want;
};
const SpCase SP_CASES[] = {
    {"full price", RERADO, 40, 5, 0, 0, 0, 40, 1, 35},
    {"condition 1 halves", RERADO, 40, 5, 1, 0, 0, 40, 1, 38},
    {"condition 1, at least 1", RERADO, 40, 1, 1, 0, 0, 40, 1, 39},
    {"condition 1 spares Zoze nothing", ZOZE, 40, 5, 1, 0, 0, 40, 1, 35},
    {"half-price item", RERADO, 40, 10, 0, 1, 0, 40, 1, 35},
    {"half-price item, SP between half and cost", RERADO, 6, 10, 0, 1, 0, 40, 1, 1},
    {"half-price item, below half", RERADO, 4, 10, 0, 1, 0, 40, 0, 4},
    {"half-price item, at least 1", RERADO, 1, 1, 0, 1, 0, 40, 1, 0},
    {"not for Zoze", ZOZE, 40, 10, 0, 1, 0, 40, 1, 30},
    {"too dear", RERADO, 4, 5, 0, 0, 0, 40, 0, 4},
    {"refill below half", RERADO, 22, 5, 0, 0, 1, 40, 1, 27},
    {"no refill at half", RERADO, 25, 5, 0, 0, 1, 40, 1, 20},
    {"refill at most 100", RERADO, 500, 5, 0, 0, 1, 1000, 1, 595},
};

TEST_F(DungeonControl, SpendSpHalvesRefusesAndRefills) {
    for (const SpCase& c : SP_CASES) {
        prepare();
        choose(c.adventurer);
        runningGameState().adventurers[c.adventurer].spBase = (int16_t)c.spBase;
        if (c.conditionId) condition(c.conditionId);
        if (c.halfItem) wear(2507);
        if (c.refillItem) wear(2506, 2);
        gParty.sp = c.sp;
        EXPECT_EQ(spendSp(gParty, c.cost), c.paid) << c.name;
        EXPECT_FLOAT_EQ(gParty.sp, c.want) << c.name;
        EXPECT_EQ(gParty.spRestTimer, c.paid ? 60 : 0) << c.name;
        cleanUp();
    }
}

TEST_F(DungeonControl, ASkillCostingMoreThanTheSpChangesNothing) {
    choose(DEDAR);
    gSkillCounts[DEDAR] = 3;
    gSkillSlots[DEDAR][2] = 2;
    PartyState& p = gParty;
    p.selectedSkill = 2;   // 30 SP
    p.sp = 29.0f;
    p.critical = 1;
    static PartyState before;
    memcpy(&before, &p, sizeof p);
    EXPECT_EQ(useSkill(p), 0);
    EXPECT_EQ(memcmp(&before, &p, sizeof p), 0);

    // Pressing its button is refused the same way; with SP it starts.
    gInputState[0].pressed = BUTTON_SKILL_2;
    p.input = &gInputState[0];
    checkSkillButtons(p);
    EXPECT_EQ(p.actionState, 0);
    p.sp = 30.0f;
    checkSkillButtons(p);
    EXPECT_EQ(p.actionState, 4 + 2);
    EXPECT_EQ(p.critical, 0);
    EXPECT_FLOAT_EQ(p.sp, 0.0f);

    // The half-price item pays 15 of 29.
    choose(DEDAR);
    wear(2507);
    gParty.selectedSkill = 2;
    gParty.sp = 29.0f;
    EXPECT_EQ(useSkill(gParty), 2);
    EXPECT_FLOAT_EQ(gParty.sp, 14.0f);
}

TEST_F(DungeonControl, ZozesGaugeRefillsAfterNinetyTicksByTenEveryFive) {
    choose(ZOZE);
    PartyState& p = gParty;
    gInputState[0] = InputRecord{};
    p.input = &gInputState[0];
    for (int32_t t = 1; t < 90; t++) {
        handleActionButtons(p);
        ASSERT_EQ(p.chargeStage, 0) << "tick " << t;
    }
    EXPECT_EQ(p.chargeSegments, 10);
    handleActionButtons(p);
    EXPECT_EQ(p.chargeStage, 1) << "the recharge starts at tick 90";
    int32_t gauge = 0;
    for (int32_t t = 1; t <= 50; t++) {
        gInputState[0].pressed = BUTTON_CONFIRM;
        handleActionButtons(p);
        if (t % 5 == 0) gauge += 10;
        ASSERT_EQ(p.chargeGauge, gauge) << "refill tick " << t;
        ASSERT_EQ(p.actionState, 0) << "no attack while it refills, tick " << t;
    }
    EXPECT_EQ(p.chargeGauge, 100);
    EXPECT_EQ(p.chargeStage, 11);
    handleActionButtons(p);
    EXPECT_EQ(p.actionState, 2) << "full, the attack starts";
    EXPECT_EQ(p.chargeGauge, 100) << "capped";
}

TEST_F(DungeonControl, OtherAdventurersAttackWithoutAGauge) {
    PartyState& p = gParty;
    gInputState[0] = InputRecord{};
    gInputState[0].pressed = BUTTON_CONFIRM;
    p.input = &gInputState[0];
    p.velocity = Vector3{0.1f, 0.0f, 0.1f};
    p.holdCharge = 9;
    handleActionButtons(p);
    EXPECT_EQ(p.actionState, 2);
    EXPECT_EQ(p.chargeSegments, 0);
    EXPECT_FLOAT_EQ(p.velocity.x, 0.0f) << "an attack stops the figure";
    EXPECT_EQ(p.holdCharge, 0);
}

TEST_F(DungeonControl, TimeOutSpawnsAKind34EnemyEvery240TicksWhileFewerThanFiveLive) {
    buildBlock(floorMesh());
    PartyState& p = gParty;
    gFloorStart.floorTimeLimit = 0;
    tick();
    EXPECT_EQ(gFloorStart.floorTimeLimit, TIME_OUT_INTERVAL);
    EXPECT_EQ(gTimeOut.timeOutSpawns, 1);
    EXPECT_EQ(gTimeOut.timeOutStarted, 1);
    int32_t spawned = 0;
    for (const Enemy& e : gEnemies) {
        if (e.state != ENEMY_ALIVE) continue;
        spawned++;
        EXPECT_EQ(e.kind, TIME_OUT_ENEMY_KIND);
        EXPECT_NEAR(std::hypot(e.position.x - p.positions[0].x, e.position.z - p.positions[0].z), 12.0f, 1e-4f)
            << "0.8 along a 15-unit line";
        EXPECT_FLOAT_EQ(e.position.y, p.positions[0].y);
    }
    EXPECT_EQ(spawned, 1);

    for (int32_t t = 0; t < TIME_OUT_INTERVAL; t++) tick();
    EXPECT_EQ(gTimeOut.timeOutSpawns, 1) << "240 ticks later the limit is just used up";
    tick();
    EXPECT_EQ(gTimeOut.timeOutSpawns, 2);
    EXPECT_GT(gTimeOut.timeOutStarted, 200) << "counting up since the first";

    for (int32_t n = 0; n < 3; n++) spawnEnemy(0, 0, 0, TIME_OUT_ENEMY_KIND);
    spawnEnemy(0, 0, 0, 12);   // another kind does not count
    for (int32_t t = 0; t < TIME_OUT_INTERVAL + 1; t++) tick();
    EXPECT_EQ(gTimeOut.timeOutSpawns, 2) << "five live";
    gEnemies[0].state = ENEMY_DYING;
    for (int32_t t = 0; t < TIME_OUT_INTERVAL + 1; t++) tick();
    EXPECT_EQ(gTimeOut.timeOutSpawns, 3) << "a dying one no longer counts";
}

TEST_F(DungeonControl, TimeOutNeedsGroundAtFloorLevelAndStopsOnBossFloors) {
    // No ground anywhere: twenty tries and nothing.
    gFloorStart.floorTimeLimit = 0;
    tick();
    EXPECT_EQ(gTimeOut.timeOutSpawns, 0);
    EXPECT_EQ(gFloorStart.floorTimeLimit, TIME_OUT_INTERVAL);

    buildBlock(floorMesh());
    gFloorIndex = 4;
    gFloorStart.floorTimeLimit = 0;
    tick();
    EXPECT_EQ(gFloorStart.floorTimeLimit, 0) << "no time limit on a boss floor";
    EXPECT_EQ(gTimeOut.timeOutSpawns, 0);
    gFloorIndex = 0;
    condition(25);
    gFloorStart.floorTimeLimit = 10;
    tick();
    EXPECT_EQ(gFloorStart.floorTimeLimit, 8) << "condition 25 runs the clock twice as fast";
}

TEST_F(DungeonControl, SpriteDirectionsKeepTheSideViewForDiagonals) {
    struct Case { float facing; int32_t sideBefore; int32_t want; int32_t sideAfter; };
    const Case CASES[] = {
        {0.0f, 1, 0, 0},
        {PI / 2, 0, 2, 1},
        {PI, 1, 4, 0},
        {-PI / 2, 0, 6, 1},
        {PI / 4, 1, 2, 1},    // a diagonal seen sideways
        {PI / 4, 0, 0, 0},    // or from the front
        {3 * PI / 4, 0, 4, 0},
        {-PI / 4, 1, 6, 1},
    };
    for (const Case& c : CASES) {
        int32_t side = c.sideBefore;
        EXPECT_EQ(spriteDirectionFor(c.facing, 0.0f, side), c.want) << c.facing << " side " << c.sideBefore;
        EXPECT_EQ(side, c.sideAfter) << c.facing;
    }
}

TEST_F(DungeonControl, AfterimagesTakeEveryOtherTrailEntryAndEnd) {
    PartyState& p = gParty;
    for (int32_t t = 0; t < 20; t++) {
        p.positions[0].x = (float)t;
        tick();
    }
    EXPECT_FLOAT_EQ(p.trailPositions[0].x, 19.0f);
    EXPECT_FLOAT_EQ(p.trailPositions[3].x, 16.0f);
    p.afterimageTimer = 2;
    p.positions[0].x = 20.0f;
    tick();
    for (int32_t j = 0; j < PARTY_GHOST_COUNT; j++) {
        EXPECT_FLOAT_EQ(p.afterimages[j].position.x, 20.0f - (float)(3 + 2 * j)) << j;
        EXPECT_EQ(p.afterimages[j].timer, 20) << j;
    }
    tick();
    EXPECT_EQ(p.afterimageTimer, 0);
    for (const GhostImage& g : p.afterimages) EXPECT_EQ(g.timer, 0);
}

TEST_F(DungeonControl, ClonesStandAroundTheLeader) {
    PartyState& p = gParty;
    p.positions[0] = Vector3{5.0f, 0.0f, -5.0f};
    p.clones[2].timer = 10;
    p.clones[2].slot = 2;
    p.clones[2].angleOffset = 0.5f;
    tick();
    float heading = 2.0f * CLONE_ANGLE_OFFSETS[2] + 0.5f;
    EXPECT_NEAR(p.clones[2].position.x, 5.0f + 5.0f * std::sin(heading), 1e-5f);
    EXPECT_NEAR(p.clones[2].position.z, -5.0f + 5.0f * std::cos(heading), 1e-5f);
    EXPECT_EQ(p.clones[2].timer, 9);
    EXPECT_EQ(p.clones[0].timer, 0) << "an idle clone stays";
}

TEST_F(DungeonControl, TheMiniMapMarksCellsWithinTwentyUnits) {
    gFloorGrid.roomsX = 3;
    gFloorGrid.roomsY = 3;
    gLayoutCells.cells[1].col = 1;   // the exit in cell (1, 0)
    gLayoutCells.cells[1].row = 0;
    gLayoutCells.cells[2].col = 2;
    gLayoutCells.cells[2].row = 2;
    gParty.positions[0] = Vector3{-20.0f, 0.0f, -5.0f};
    tick();
    EXPECT_NE(gFloorGrid.mapGrid[0][0].flags, 0);
    EXPECT_NE(gFloorGrid.mapGrid[0][1].flags, 0);
    EXPECT_EQ(gFloorGrid.mapGrid[0][2].flags, 0);
    EXPECT_EQ(gFloorGrid.mapGrid[1][0].flags, 0);
    EXPECT_EQ(gLayoutCells.floorCellSeen[1], 1);
    EXPECT_EQ(gLayoutCells.floorCellSeen[2], 0);
    condition(19);
    tick();
    EXPECT_NE(gFloorGrid.mapGrid[2][2].flags, 0) << "condition 19 shows the whole floor";
    EXPECT_EQ(gLayoutCells.floorCellSeen[2], 1);
}

TEST_F(DungeonControl, TheFirstTickOfAFloorDropsTheInputAndScriptsForceIt) {
    gDungeonControl.inputBlocked = 0;
    gInputState[0].raw = BUTTON_UP;
    gInputState[0].pressed = BUTTON_UP;
    updateDungeonPlayer();
    EXPECT_EQ(gInputState[0].raw, 0);
    EXPECT_EQ(gDungeonControl.inputBlocked, 1);
    EXPECT_FLOAT_EQ(gParty.velocity.z, 0.0f);
    gDungeonControl.forcedInput = BUTTON_UP;
    gInputState[0].pressed = BUTTON_CONFIRM;
    updateDungeonPlayer();
    EXPECT_EQ(gInputState[0].raw, BUTTON_UP);
    EXPECT_EQ(gInputState[0].pressed, 0);
    EXPECT_EQ(gParty.actionState, 0) << "the press was dropped";
    EXPECT_GT(gParty.velocity.z, 0.0f) << "the forced word steers";
}

TEST_F(DungeonControl, GemsBecomeExperienceAndTheNearestItemIsKept) {
    struct Case {
        const char* name;
        int32_t callerWord;
        int32_t conditionId;
        bool flag13;
        int32_t want;
    };
    const Case CASES[] = {
        {"a gem", 0, 0, false, 10},
        {"a small gem", 1, 0, false, 1},
        {"condition 2 doubles", 0, 2, false, 20},
        {"condition 2, small", 1, 2, false, 2},
        {"flag 13 gives 100", 1, 2, true, 100},
    };
    for (const Case& c : CASES) {
        prepare();
        if (c.conditionId) condition(c.conditionId);
        if (c.flag13) runningGameState().storyFlags[13] = 1;
        Pickup& gem = gPickups[3];
        gem.kind = 2;
        gem.age = 31;
        gem.callerWord = c.callerWord;
        gem.x = 1.0f;
        collectGems();
        EXPECT_EQ(runningGameState().adventurers[RERADO].experience, c.want) << c.name;
        EXPECT_EQ(gem.kind, -1) << c.name << ": taken";
        cleanUp();
    }

    // Young gems, gems while the queue is full and gems rising into the bag
    // stay; an item within reach becomes the nearest pickup, the closer wins.
    gPickups[0].kind = 1;
    gPickups[0].age = 30;
    gPickups[1].kind = 0;
    gPickups[1].age = 40;
    gPickups[1].state = 2;
    gPickups[2].kind = 9;
    gPickups[2].x = 1.2f;
    gPickups[5].kind = 12;
    gPickups[5].z = -0.5f;
    gPickups[6].kind = 8;
    gPickups[6].z = 1.6f;   // beyond 1.5
    collectGems();
    EXPECT_EQ(gPickups[0].kind, 1);
    EXPECT_EQ(gPickups[1].kind, 0);
    EXPECT_EQ(gParty.nearestPickup, 5);
    gPickups[0].age = 31;
    gParty.gemQueue[PARTY_GEM_QUEUE - 1] = 2;
    collectGems();
    EXPECT_EQ(gPickups[0].kind, 1) << "the gem queue is full";
    EXPECT_EQ(runningGameState().adventurers[RERADO].experience, 0);
}

TEST_F(DungeonControl, StatusTickCountsInvincibilityAndCuresAilmentsWithTheItem) {
    PartyState& p = gParty;
    p.invincibility = -99;
    p.actionTimer = 3;
    tickPartyStatus(p);
    EXPECT_EQ(p.invincibility, -100);
    EXPECT_EQ(p.actionTimer, 2);
    tickPartyStatus(p);
    EXPECT_EQ(p.invincibility, -100) << "not below -100";
    p.invincibility = 10;
    p.stunTimer = 5;
    tickPartyStatus(p);
    EXPECT_EQ(p.invincibility, 10) << "held while stunned";
    EXPECT_EQ(p.abilityFlags, 0xc9) << "Rerado's bits";

    p.ailmentTimers[0] = 50;
    p.ailmentTimers[2] = 7;
    tickPartyStatus(p);
    EXPECT_EQ(p.ailmentTimers[0], 49);
    EXPECT_EQ(p.ailmentTimers[2], 6);
    wear(2504);
    tickPartyStatus(p);
    EXPECT_EQ(p.ailmentTimers[0], 0);
    EXPECT_EQ(p.ailmentTimers[2], 0);
}

TEST_F(DungeonControl, TheConditionNamesSlideInOnceTheTickerClosed) {
    for (int32_t t = 0; t < 10; t++) tick();
    EXPECT_EQ(gConditionBanner.nameSlide, 0);
    gConditionBanner.tickerDone = 1;
    for (int32_t t = 0; t < 250; t++) tick();
    EXPECT_EQ(gConditionBanner.nameSlide, CONDITION_NAME_SLIDE_MAX);
}

TEST_F(DungeonControl, TheWarpDarkensTurnsAndHoldsEverythingElse) {
    PartyState& p = gParty;
    p.positions[0].y = 5.0f;   // in the air, yet no gravity while warping
    gDungeonControl.warpTimer = 1;
    int32_t darkest = 0;
    int32_t ticks = 0;
    while (gDungeonControl.warpTimer > 0 && ticks < 200) {
        tick();
        ticks++;
        if (gWorldDraw.skillCountdown > darkest) darkest = gWorldDraw.skillCountdown;
        ASSERT_GE(p.invincibility, 60) << "tick " << ticks;
        if (gDungeonControl.warpTimer == 59) {
            EXPECT_EQ(gWorldDraw.skillCountdown, 30);
        }
    }
    EXPECT_EQ(ticks, 119) << "it ends at 120";
    EXPECT_EQ(darkest, 30);
    EXPECT_EQ(gWorldDraw.skillCountdown, 0);
    EXPECT_FLOAT_EQ(p.velocity.y, 0.0f);
    EXPECT_NEAR(p.facing, 0.5f * 119, 1e-3f);
    tick();
    EXPECT_LT(p.velocity.y, 0.0f) << "afterwards the tick runs again";
}

TEST_F(DungeonControl, TheEntryHopLiftsPushesAndEndsAtItsLength) {
    PartyState& p = gParty;
    gDungeonControl.hopPush = 5;
    gDungeonControl.hopLength = 30;
    p.hopTimer = 1;
    p.facing = 3.14159265f / 2;   // toward +x
    tick();
    EXPECT_EQ(p.invincibility, 5) << "set after this tick's status count";
    EXPECT_NEAR(p.velocity.y, 0.2f * 0.95f, 1e-6f) << "the lift replaces gravity's pull of this tick";
    EXPECT_NEAR(p.velocity.x, 0.05f * 0.97f, 1e-6f);
    EXPECT_EQ(p.hopTimer, 2);
    for (int32_t t = 2; t < 30; t++) tick();
    EXPECT_EQ(p.hopTimer, 0);

    choose(RERADO);
    p.hopTimer = 3;
    p.actionState = 1;   // stunned: the hop waits, and the stun clears it
    p.stunTimer = 10;
    tick();
    EXPECT_EQ(p.hopTimer, 0);
}

TEST_F(DungeonControl, TheTapWindowOpensOnAPressAfterThirtyIdleTicks) {
    for (int32_t t = 0; t < 31; t++) tick();
    tick(BUTTON_LEFT, BUTTON_LEFT);
    EXPECT_EQ(gParty.tapWindow, 1);
    for (int32_t t = 0; t < 60; t++) tick(BUTTON_LEFT, 0);
    EXPECT_EQ(gParty.tapWindow, 0) << "it ends after 60";
    tick();
    tick(BUTTON_LEFT, BUTTON_LEFT);
    EXPECT_EQ(gParty.tapWindow, 0) << "not idle long enough";
}
