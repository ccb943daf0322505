// The shop floor's customers and the street crowd: the lineup's spawning
// rhythm and its limits, walking between the shelves on a small grid, a
// customer boxed in by shelves, the crowd's warm-up and its walk, and the
// counter's camera over each shop size.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "economy_fixture.h"
#include "engine/device.h"
#include "engine/settings.h"
#include "engine/story_flags.h"
#include "field/field.h"
#include "field/field_state.h"
#include "shop/floor_customers.h"

namespace {

constexpr int32_t SHELF = 2;

class CustomersTest : public EconomyTest {
protected:
    void SetUp() override {
        EconomyTest::SetUp();
        savedEasy = gSEasyDisp;
        gSEasyDisp = 0;
        gShopDayPhase = 0;
        gFieldTicks = 0;
        memcpy(savedGrid, gShopGrid, sizeof savedGrid);
        // An open floor with two shelves of four along x in the browsing area.
        memset(gShopGrid, 0, sizeof gShopGrid);
        for (int32_t x = 2; x < 6; x++) cell(x, 4) = SHELF;
        for (int32_t x = 3; x < 7; x++) cell(x, 7) = SHELF;
        resetFloorCustomersState();
        seedRandom(5);
    }
    void TearDown() override {
        resetFloorCustomersState();
        memcpy(gShopGrid, savedGrid, sizeof savedGrid);
        gSEasyDisp = savedEasy;
        EconomyTest::TearDown();
    }
    static int32_t& cell(int32_t x, int32_t y) { return gShopGrid[y * SHOP_GRID_COLUMNS + x]; }
    static int32_t walking() {
        int32_t n = 0;
        for (const CustomerSlot& s : gFloorCustomers.slots) n += s.lineupIndex >= 0;
        return n;
    }
    int32_t savedEasy = 0;
    int32_t savedGrid[SHOP_GRID_ROWS * SHOP_GRID_COLUMNS] = {};
};

// Every customer type that has a model, then again, to 25 entries.
std::vector<int32_t> lineupOf(const std::vector<int32_t>& types, int32_t length) {
    std::vector<int32_t> out;
    for (int32_t i = 0; i < length; i++) out.push_back(types[i % types.size()]);
    out.push_back(DAY_LINEUP_END);
    return out;
}

class CrowdTest : public CustomersTest {};

}  // namespace

TEST_F(CustomersTest, ALineupOfTwentyFiveSpawnsAtMostTwentyOneEveryThirtyTicks) {
    std::vector<int32_t> lineup = lineupOf({12, 14, 16, 2, 4, 3, 11, 13, 15, 17, 5, 7, 6, 8, 9, 18, 19, 20}, 25);
    setCustomerLineup(lineup.data());
    ASSERT_EQ(gFloorCustomers.lineupCount, 20);
    EXPECT_EQ(gFloorCustomers.lineup[2], 2) << "type 16 walks as its first row";
    for (int32_t tick = 1; tick <= 30 * 25; tick++) {
        updateCustomers();
        int32_t want = tick / 30 < 20 ? tick / 30 : 20;
        ASSERT_EQ(walking(), want) << "tick " << tick;
    }
}

TEST_F(CustomersTest, OnlyTypesWithAModelWalkAndTheLineupIsCutAtTwentyEntries) {
    struct Case {
        const char* what;
        std::vector<int32_t> types;
        int32_t wantCount;
    };
    const Case CASES[] = {
        {"types without a model are left out", lineupOf({1, 12}, 25), 10},
        {"a negative entry ends the lineup", {12, 14, -1, 16, DAY_LINEUP_END}, 2},
        {"the shopkeeper and the lesson customer never walk", lineupOf({0, 1, 10}, 25), 0},
    };
    for (const Case& c : CASES) {
        resetCustomers();
        setCustomerLineup(c.types.data());
        EXPECT_EQ(gFloorCustomers.lineupCount, c.wantCount) << c.what;
    }
}

TEST_F(CustomersTest, TheSimplifiedDisplaySpawnsNoneAndTheStoryTutorialHoldsThemBack) {
    std::vector<int32_t> lineup = lineupOf({12, 14}, 6);
    gSEasyDisp = 1;
    setCustomerLineup(lineup.data());
    EXPECT_EQ(gFloorCustomers.lineupCount, 0);
    for (int32_t t = 0; t < 200; t++) updateCustomers();
    EXPECT_EQ(walking(), 0);

    gSEasyDisp = 0;
    setCustomerLineup(lineup.data());
    setStoryFlag(FLAG_STORY_TUTORIAL, 1);
    for (int32_t t = 0; t < 200; t++) updateCustomers();
    EXPECT_EQ(walking(), 0) << "nobody comes in during the story tutorial";
    setStoryFlag(FLAG_STORY_TUTORIAL, 0);
    for (int32_t t = 0; t < 30; t++) updateCustomers();
    EXPECT_EQ(walking(), 1);
}

TEST_F(CustomersTest, ThirtySlotsAtMost) {
    for (int32_t i = 0; i < CUSTOMER_SLOT_COUNT; i++) EXPECT_EQ(spawnCustomer(0), i);
    EXPECT_EQ(spawnCustomer(0), -1);
}

TEST_F(CustomersTest, ABoxedInCustomerWaitsAndAFreeSideIsTaken) {
    int32_t slot = spawnCustomer(0);
    CustomerSlot& c = gFloorCustomers.slots[slot];
    c.gx = 8;
    c.gy = 6;
    c.x = shopCellX(8);
    c.z = shopCellZ(6);
    c.targetX = 1;
    c.targetY = 3;
    cell(7, 6) = cell(9, 6) = cell(8, 5) = cell(8, 7) = SHELF;
    for (int32_t i = 0; i < 50; i++) {
        chooseCustomerStep(c);
        ASSERT_EQ(c.gx, 8);
        ASSERT_EQ(c.gy, 6);
    }
    c.walkState = WALK_START_STEP;
    moveCustomer(c);
    EXPECT_EQ(c.velX, 0.0f);
    EXPECT_EQ(c.velZ, 0.0f);
    EXPECT_EQ(c.x, shopCellX(8));
    EXPECT_EQ(c.z, shopCellZ(6));

    cell(8, 7) = 9;   // the customers' way below opens
    chooseCustomerStep(c);
    EXPECT_EQ(c.gx, 8);
    EXPECT_EQ(c.gy, 7);
    EXPECT_EQ(c.gridHeading, 1);
}

TEST_F(CustomersTest, CustomersWalkTheFreeCellsToAShelfAndLookAtIt) {
    std::vector<int32_t> lineup = lineupOf({12, 14, 16}, 3);
    setCustomerLineup(lineup.data());
    bool browsed = false;
    float lastX[CUSTOMER_SLOT_COUNT], lastZ[CUSTOMER_SLOT_COUNT];
    for (int32_t t = 0; t < 3000; t++) {
        for (int32_t i = 0; i < CUSTOMER_SLOT_COUNT; i++) {
            lastX[i] = gFloorCustomers.slots[i].x;
            lastZ[i] = gFloorCustomers.slots[i].z;
        }
        updateCustomers();
        for (int32_t i = 0; i < CUSTOMER_SLOT_COUNT; i++) {
            const CustomerSlot& c = gFloorCustomers.slots[i];
            if (c.lineupIndex < 0 || c.walkState == WALK_CHOOSE_TARGET) continue;
            ASSERT_TRUE(isShopCellFree(c.gx, c.gy)) << "tick " << t << " on a shelf at " << c.gx << ", " << c.gy;
            float moved = std::hypot(c.x - lastX[i], c.z - lastZ[i]);
            if (lastX[i] != 0.0f) {
                ASSERT_LE(moved, 0.2001f);
            }
            if (c.walkState == WALK_BROWSING && c.gx == c.targetX && c.gy == c.targetY) {
                browsed = true;
                const int32_t SIDES[4][2] = {{0, 1}, {-1, 0}, {0, -1}, {1, 0}};
                int32_t code = cell(c.gx + SIDES[c.shelfSide][0], c.gy + SIDES[c.shelfSide][1]);
                EXPECT_EQ(code, SHELF) << "the customer looks at the shelf";
            }
        }
    }
    EXPECT_EQ(walking(), 3);
    EXPECT_TRUE(browsed) << "someone reached a shelf and looked at it";
}

// ---- the street crowd -----------------------------------------------------------

TEST_F(CrowdTest, WarmsUpOnItsFirstUpdateThenStepsOnce) {
    struct Case {
        bool leaving;
        int32_t row;
    };
    for (Case c : {Case{false, 14}, Case{true, 16}}) {
        setStoryFlag(FLAG_STANDING_WALKER, c.leaving);
        initStreetCrowd();
        const CrowdWalker& standing = gFloorCustomers.walkers[0];
        EXPECT_EQ(standing.modelRow, c.row);
        EXPECT_EQ(standing.direction, 0);
        EXPECT_FLOAT_EQ(standing.x, -2.8f);
        EXPECT_EQ(gFloorCustomers.walkers[1].modelRow, -1) << "the others wait";
        updateStreetCrowd();
        EXPECT_EQ(gFloorCustomers.crowdTicks, 180);
        EXPECT_EQ(gFloorCustomers.nextWalker, CROWD_WALKER_COUNT);
        for (int32_t k = 1; k < CROWD_WALKER_COUNT; k++)
            EXPECT_EQ(gFloorCustomers.walkers[k].modelRow, CROWD_MODEL_ROWS[k]);
        EXPECT_FLOAT_EQ(standing.x, -2.8f) << "the standing walker stays";
        updateStreetCrowd();
        EXPECT_EQ(gFloorCustomers.crowdTicks, 181);
    }
    setStoryFlag(FLAG_STANDING_WALKER, 0);
}

TEST_F(CrowdTest, WalkersStrollTheStreetOnlyBeforeTheShopOpens) {
    initStreetCrowd();
    updateStreetCrowd();
    int32_t pauses = 0, turns = 0;
    int32_t lastDirection[CROWD_WALKER_COUNT];
    float lastX[CROWD_WALKER_COUNT];
    for (int32_t k = 0; k < CROWD_WALKER_COUNT; k++) {
        lastDirection[k] = gFloorCustomers.walkers[k].direction;
        lastX[k] = gFloorCustomers.walkers[k].x;
    }
    for (int32_t t = 0; t < 20000; t++) {
        stepStreetCrowd();
        for (int32_t k = 1; k < CROWD_WALKER_COUNT; k++) {
            const CrowdWalker& w = gFloorCustomers.walkers[k];
            ASSERT_TRUE(w.direction == 1 || w.direction == -1);
            ASSERT_GE(w.x, -15.1f);
            ASSERT_LE(w.x, 25.1f);
            ASSERT_LE(w.z, -11.0f);
            ASSERT_GE(w.z, -15.0f);
            ASSERT_LE(w.pauseTimer, 180);
            pauses += w.pauseTimer == 1;
            if (w.x != lastX[k]) {
                ASSERT_EQ(w.motion.direction, w.x > lastX[k] ? 6 : 2) << "faces the way it walks";
            }
            turns += w.direction != lastDirection[k];
            lastDirection[k] = w.direction;
            lastX[k] = w.x;
        }
    }
    EXPECT_GT(pauses, 0) << "some stop at a shop front";
    EXPECT_GT(turns, 0);

    CrowdWalker before[CROWD_WALKER_COUNT];
    memcpy(before, gFloorCustomers.walkers, sizeof before);
    gShopDayPhase = 1;
    for (int32_t t = 0; t < 100; t++) updateStreetCrowd();
    for (int32_t k = 0; k < CROWD_WALKER_COUNT; k++) EXPECT_EQ(gFloorCustomers.walkers[k].x, before[k].x);
}

// ---- the counter's camera ---------------------------------------------------------

TEST_F(CustomersTest, CounterCameraEasesTenPercentAFrameTowardEachShopSizesPoint) {
    struct Case {
        int32_t size;
        float x, z, elevation;   // elevation 0: the offset is left alone
    };
    const Case CASES[] = {{0, -3.0f, 0.0f, 0.0f}, {1, 0.0f, 0.0f, 0.0f}, {2, 5.5f, -1.0f, 25.0f}, {3, 5.5f, 5.5f, 29.0f}};
    FieldCameraState saved = gFieldCamera;
    for (const Case& c : CASES) {
        game().shopSize = c.size;
        gFieldCamera.cameraMode = CAMERA_FOLLOW;
        gFieldCamera.cameraElevation = 21.0f;
        gFieldCamera.cameraDistance = 14.0f;
        gFieldCamera.cameraOffsets = CameraOffsets{};
        gFieldCamera.cameraOffsets.elevation = 0.7f;
        gFieldCamera.cameraTarget = Vector3{10.0f, 2.0f, 10.0f};
        stepCounterCamera();
        EXPECT_EQ(gFieldCamera.cameraMode, CAMERA_SCRIPTED);
        EXPECT_FLOAT_EQ(gFieldCamera.cameraTarget.x, 10.0f + (c.x - 10.0f) * 0.1f) << c.size;
        EXPECT_FLOAT_EQ(gFieldCamera.cameraTarget.z, 10.0f + (c.z - 10.0f) * 0.1f) << c.size;
        float wantOffset = c.elevation > 0.0f ? 2.2f : 0.7f;
        EXPECT_FLOAT_EQ(gFieldCamera.cameraOffsets.elevation, wantOffset) << c.size;
        float d = 14.0f;
        EXPECT_FLOAT_EQ(gFieldCamera.cameraEye.x, gFieldCamera.cameraTarget.x + std::sin(gCamera.yaw) * d);
        EXPECT_FLOAT_EQ(gFieldCamera.cameraEye.z, gFieldCamera.cameraTarget.z - std::cos(gCamera.yaw) * d);
        EXPECT_FLOAT_EQ(gFieldCamera.cameraEye.y, 2.0f + 21.0f + wantOffset);
        for (int32_t f = 0; f < 200; f++) stepCounterCamera();
        EXPECT_NEAR(gFieldCamera.cameraTarget.x, c.x, 1e-3f);
        EXPECT_NEAR(gFieldCamera.cameraTarget.z, c.z, 1e-3f);
        if (c.elevation > 0.0f) {
            EXPECT_EQ(gFieldCamera.cameraOffsets.elevation, c.elevation - 21.0f) << "stops on it";
        }
    }
    gFieldCamera = saved;
}
