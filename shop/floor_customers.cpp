// The shop floor's customers: the day's lineup walks in one by one, wanders
// the shop's grid from shelf to shelf and stops to look; before the shop
// opens the street crowd strolls past the door. Main thread, once per tick
// from the shop floor's control.
#include "shop/floor_customers.h"

#include <cmath>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "engine/device.h"
#include "engine/random.h"
#include "engine/save_file.h"
#include "engine/settings.h"
#include "engine/story_flags.h"
#include "field/field.h"

FloorCustomersState gFloorCustomers;

const CustomerModel CUSTOMER_MODELS[] = {
    {10, 12}, {35, 14}, {37, 16}, {29, 2},  {28, 4},  {32, 3}, {39, 11}, {36, 13}, {38, 15}, {37, 17},
    {30, 5},  {31, 7},  {40, 6},  {41, 8},  {42, 9},  {43, 18}, {48, 19}, {66, 20}, {-1, -1},
};
const int32_t CROWD_MODEL_ROWS[CROWD_WALKER_COUNT] = {0, 1, 6, 7, 9, 8};

constexpr float TWO_PI = 6.2831855f;
constexpr float PI_F = 3.1415927f;
constexpr int32_t SPAWN_EVERY = 30;
constexpr int32_t TARGET_TRIES = 30;
constexpr int32_t STEP_TICKS = 20;         // a step lasts stepDelay + 20 ticks
constexpr int32_t STEPS_BEFORE_BROWSING = 5;
constexpr int32_t BROWSE_TICKS = 120;
constexpr int32_t BROWSE_TICKS_NO_MODEL = 60;
constexpr float VELOCITY_MAX = 0.1f;
constexpr float TICK_MOVE_MAX = 0.2f;
constexpr int32_t STRAIGHT_LOOK_MAX = 10;  // cells looked along a row or column
constexpr int32_t MOTION_IDLE = 0;
constexpr int32_t MOTION_WALK = 1;
constexpr int32_t SPARKLE_MODEL = 66;
constexpr int32_t SPARKLE_EFFECT_KIND = 31;
constexpr int32_t CROWD_WARM_UP_STEPS = 180;
constexpr int32_t CROWD_PAUSE_TICKS = 180;
constexpr int32_t CROWD_MOTION_STAND = 0;
constexpr int32_t CROWD_MOTION_WALK = 1;
constexpr int32_t CROWD_MOTION_STROLL = 2;
constexpr int32_t CROWD_MOTION_PAUSE = 3;
constexpr int32_t CROWD_ROW_STANDING = 14;
constexpr int32_t CROWD_ROW_STANDING_LEAVING = 16;
// The grid's codes as the customers read them: 0 and 9 are walkable, 2 to 8
// are shelf cells.
constexpr int32_t GRID_FREE = 0;
constexpr int32_t GRID_CUSTOMER_WAY = 9;
constexpr int32_t GRID_SHELF_FIRST = 2;
constexpr int32_t GRID_SHELF_LAST = 8;

int32_t customerModelNumber(int32_t row) {
    if (row < 0 || row >= CUSTOMER_MODEL_ROWS) return -1;
    return CUSTOMER_MODELS[row].model;
}

float shopCellX(int32_t gx) { return 2.0f * (float)gx - 9.0f; }
float shopCellZ(int32_t gy) { return 2.0f * (float)gy - 7.0f; }

int32_t spriteDirectionOf(float dx, float dz) {
    float turn = (std::atan2(dx, dz) + gCamera.yaw + PI_F / 8.0f) / TWO_PI * 8.0f + 8.0f;
    int32_t d = (int32_t)turn % 8;
    return d < 0 ? d + 8 : d;
}

// ---- the lineup and the slots -------------------------------------------------------

void setCustomerLineup(const int32_t* lineup) {
    FloorCustomersState& f = gFloorCustomers;
    if (gSEasyDisp || !lineup) return;
    for (int32_t i = 0; i < CUSTOMER_LINEUP_MAX && lineup[i] >= 0; i++) {
        if (f.lineupCount >= CUSTOMER_LINEUP_MAX) return;
        for (int32_t row = 0; CUSTOMER_MODELS[row].model >= 0; row++) {
            if (CUSTOMER_MODELS[row].customerType != lineup[i]) continue;
            f.lineup[f.lineupCount++] = row;
            break;
        }
    }
}

static void freeSlot(CustomerSlot& slot) {
    slot = CustomerSlot{};
    slot.lineupIndex = -1;
    slot.modelRow = -1;
    slot.scale = 1.0f;
}

void resetCustomers() {
    FloorCustomersState& f = gFloorCustomers;
    for (CustomerSlot& slot : f.slots) freeSlot(slot);
    for (int32_t& row : f.lineup) row = -1;
    f.lineupCount = 0;
    f.spawnTicks = 0;
    f.nextLineup = 0;
}

void placeAtShopDoor(CustomerSlot& slot, int32_t slotNumber) {
    bool smallest = runningGameState().shopSize == 0;
    slot.gx = smallest ? 6 : 7;
    slot.gy = smallest ? 2 : 0;
    slot.x = shopCellX(slot.gx);
    slot.y = 0.0f;
    slot.z = shopCellZ(slot.gy);
    slot.destX = slot.x;
    slot.destZ = slot.z;
    slot.velX = slot.velZ = 0.0f;
    slot.gridHeading = 1;
    slot.walkState = WALK_CHOOSE_TARGET;
    slot.walkTimer = 0;
    slot.pace = (randomUnit() + 1.0f) * 0.5f;
    slot.stepDelay = randomInt() % 10;
    slot.stepsTaken = 0;
    slot.turnRight = slotNumber % 2;
    slot.motion = MotionState{};
    setMotion(slot.motion, MOTION_IDLE);
}

int32_t spawnCustomer(int32_t modelRow) {
    FloorCustomersState& f = gFloorCustomers;
    for (int32_t i = 0; i < CUSTOMER_SLOT_COUNT; i++) {
        CustomerSlot& slot = f.slots[i];
        if (slot.lineupIndex >= 0) continue;
        freeSlot(slot);
        slot.lineupIndex = f.nextLineup;
        slot.modelRow = modelRow;
        placeAtShopDoor(slot, i);
        return i;
    }
    return -1;
}

bool isShopCellFree(int32_t x, int32_t y) {
    if (x < 0 || x >= SHOP_GRID_COLUMNS || y < 0 || y >= SHOP_GRID_ROWS) return false;
    int32_t code = gShopGrid[y * SHOP_GRID_COLUMNS + x];
    return code == GRID_FREE || code == GRID_CUSTOMER_WAY;
}

static bool isShelf(int32_t x, int32_t y) {
    if (x < 0 || x >= SHOP_GRID_COLUMNS || y < 0 || y >= SHOP_GRID_ROWS) return false;
    int32_t code = gShopGrid[y * SHOP_GRID_COLUMNS + x];
    return code >= GRID_SHELF_FIRST && code <= GRID_SHELF_LAST;
}

// ---- walking ----------------------------------------------------------------------

static const int32_t HEADING_STEPS[4][2] = {{-1, 0}, {0, 1}, {1, 0}, {0, -1}};

static int32_t turned(const CustomerSlot& slot, int32_t heading) {
    return slot.turnRight ? (heading + 1) % 4 : (heading + 3) % 4;
}

// The cells from the slot toward (tx, ty) along one axis are all walkable,
// looking at most 10 cells ahead.
static bool straightWayFree(const CustomerSlot& slot, int32_t dx, int32_t dy, int32_t cells) {
    if (cells > STRAIGHT_LOOK_MAX) cells = STRAIGHT_LOOK_MAX;
    for (int32_t k = 1; k <= cells; k++)
        if (!isShopCellFree(slot.gx + dx * k, slot.gy + dy * k)) return false;
    return true;
}

void chooseCustomerStep(CustomerSlot& slot) {
    if (slot.gx == slot.targetX && slot.gy != slot.targetY) {
        int32_t dy = slot.targetY > slot.gy ? 1 : -1;
        if (straightWayFree(slot, 0, dy, std::abs(slot.targetY - slot.gy))) {
            slot.gy += dy;
            return;
        }
    } else if (slot.gy == slot.targetY && slot.gx != slot.targetX) {
        int32_t dx = slot.targetX > slot.gx ? 1 : -1;
        if (straightWayFree(slot, dx, 0, std::abs(slot.targetX - slot.gx))) {
            slot.gx += dx;
            return;
        }
    }
    if (randomInt() % 8 == 0) slot.gridHeading = turned(slot, slot.gridHeading);
    int32_t heading = slot.gridHeading;
    for (int32_t tries = 0; tries < 4; tries++) {
        int32_t nx = slot.gx + HEADING_STEPS[heading][0];
        int32_t ny = slot.gy + HEADING_STEPS[heading][1];
        if (isShopCellFree(nx, ny)) {
            slot.gx = nx;
            slot.gy = ny;
            slot.gridHeading = heading;
            return;
        }
        heading = turned(slot, heading);
    }
}

static void chooseTarget(CustomerSlot& slot) {
    slot.targetX = 1;
    slot.targetY = 3;
    for (int32_t tries = 0; tries < TARGET_TRIES; tries++) {
        int32_t x = 1 + randomInt() % 8;
        int32_t y = 1 + randomInt() % 7;
        if (!isShopCellFree(x, y)) continue;
        int32_t side = -1;
        if (isShelf(x - 1, y)) side = 1;
        if (isShelf(x + 1, y)) side = 3;
        if (isShelf(x, y - 1)) side = 2;
        if (isShelf(x, y + 1)) side = 0;
        if (side >= 0) {
            slot.targetX = x;
            slot.targetY = y;
            slot.shelfSide = side;
            slot.walkState = WALK_START_STEP;
        }
        return;
    }
}

static float clampVelocity(float v) { return v > VELOCITY_MAX ? VELOCITY_MAX : (v < -VELOCITY_MAX ? -VELOCITY_MAX : v); }

static void startStep(CustomerSlot& slot) {
    slot.walkTimer = 0;
    slot.walkState = WALK_STEPPING;
    slot.heading = randomUnit() * TWO_PI;
    chooseCustomerStep(slot);
    slot.destX = shopCellX(slot.gx);
    slot.destZ = shopCellZ(slot.gy);
    float ticks = (float)(slot.stepDelay + STEP_TICKS);
    slot.velX = clampVelocity((slot.destX - slot.x) / ticks);
    slot.velZ = clampVelocity((slot.destZ - slot.z) / ticks);
}

// The shelf's side seen from the target cell, as a direction on the floor.
static const float SHELF_SIDE_DIRECTIONS[4][2] = {{0.0f, 1.0f}, {-1.0f, 0.0f}, {0.0f, -1.0f}, {1.0f, 0.0f}};

// Eight rays of length 1 around the figure push it off walls, cliffs and
// anything solid close by.
static void pushOffWalls(CustomerSlot& slot) {
    for (int32_t k = 0; k < 8; k++) {
        float a = (float)k * TWO_PI / 8.0f;
        float dx = std::sin(a), dz = std::cos(a);
        float t = 1.0f;
        CollisionHit hit{};
        if (!castMapSegment(slot.x, slot.y + 0.7f, slot.z, dx, 0.0f, dz, &t, &hit)) continue;
        int32_t surface = hitSurface(hit);
        bool wall = surface == SURFACE_CLIFF || surface == SURFACE_DAMAGE || surface == SURFACE_INVISIBLE_WALL;
        if (wall || (surface == SURFACE_SOLID && t < 0.75f)) {
            slot.x -= dx;
            slot.z -= dz;
        }
    }
}

void moveCustomer(CustomerSlot& slot) {
    float startX = slot.x, startZ = slot.z;
    switch (slot.walkState) {
    case WALK_CHOOSE_TARGET: chooseTarget(slot); break;
    case WALK_START_STEP:
        setMotion(slot.motion, MOTION_WALK);
        startStep(slot);
        break;
    case WALK_STEPPING:
        setMotion(slot.motion, MOTION_WALK);
        if (++slot.walkTimer >= slot.stepDelay + STEP_TICKS) {
            slot.walkState = WALK_START_STEP;
            slot.stepsTaken++;
            bool arrived = slot.gx == slot.targetX && slot.gy == slot.targetY;
            if (slot.stepsTaken >= STEPS_BEFORE_BROWSING || arrived) {
                if (slot.stepsTaken >= STEPS_BEFORE_BROWSING) slot.stepsTaken = 0;
                slot.walkState = WALK_BROWSING;
                slot.walkTimer = 0;
            }
        }
        break;
    default: {
        setMotion(slot.motion, MOTION_IDLE);
        slot.velX = slot.velZ = 0.0f;
        int32_t side = slot.shelfSide >= 0 && slot.shelfSide < 4 ? slot.shelfSide : 0;
        slot.motion.direction = spriteDirectionOf(SHELF_SIDE_DIRECTIONS[side][0], SHELF_SIDE_DIRECTIONS[side][1]);
        int32_t browse = customerModelNumber(slot.modelRow) >= 0 ? BROWSE_TICKS : BROWSE_TICKS_NO_MODEL;
        if (++slot.walkTimer >= browse) slot.walkState = WALK_CHOOSE_TARGET;
        break;
    }
    }
    slot.x += slot.pace * slot.velX;
    slot.z += slot.pace * slot.velZ;
    float zMax = runningGameState().shopSize == SHOP_SIZE_COUNT - 1 ? 16.5f : 9.0f;
    if (slot.z > zMax) slot.z = zMax;
    bool moving = slot.velX != 0.0f || slot.velZ != 0.0f;
    if (moving) pushOffWalls(slot);
    float mx = slot.x - startX, mz = slot.z - startZ;
    float moved = std::sqrt(mx * mx + mz * mz);
    if (moved > TICK_MOVE_MAX) {
        slot.x = startX + mx * TICK_MOVE_MAX / moved;
        slot.z = startZ + mz * TICK_MOVE_MAX / moved;
    }
    if (moving) slot.motion.direction = spriteDirectionOf(slot.velX, slot.velZ);
}

void updateCustomers() {
    FloorCustomersState& f = gFloorCustomers;
    f.spawnTicks++;
    if (!storyFlag(FLAG_STORY_TUTORIAL) && f.spawnTicks % SPAWN_EVERY == 0 && f.nextLineup < f.lineupCount) {
        spawnCustomer(f.lineup[f.nextLineup]);
        f.nextLineup++;
    }
    for (CustomerSlot& slot : f.slots) {
        if (slot.lineupIndex < 0) continue;
        moveCustomer(slot);
        int32_t model = customerModelNumber(slot.modelRow);
        if (model >= 0) advanceMotion(slot.motion, model, 1.0f);
        if (model == SPARKLE_MODEL && gFieldTicks % 4 == 0)
            spawnEffectObject(nullptr, slot.x + 0.6f * std::sin(slot.heading), slot.y + 3.6f,
                              slot.z + 0.6f * std::cos(slot.heading), SPARKLE_EFFECT_KIND, 0.1f, 1);
    }
}

// ---- the street crowd ---------------------------------------------------------------

void initStreetCrowd() {
    FloorCustomersState& f = gFloorCustomers;
    for (CrowdWalker& w : f.walkers) {
        w = CrowdWalker{};
        w.modelRow = -1;
    }
    CrowdWalker& standing = f.walkers[0];
    standing.x = -2.8f;
    standing.y = 1.2f;
    standing.z = -10.5f;
    standing.direction = 0;
    standing.modelRow = storyFlag(FLAG_STANDING_WALKER) ? CROWD_ROW_STANDING_LEAVING : CROWD_ROW_STANDING;
    setMotion(standing.motion, CROWD_MOTION_STAND);
    f.nextWalker = 1;
    f.crowdTicks = 0;
    f.crowdStarted = 0;
}

// Past one of the shop fronts, or short of the other.
static void drawWalkerStopX(CrowdWalker& w) {
    w.stopX = randomInt() % 2 == 0 ? 13.0f + 5.0f * randomUnit() : -(1.0f + 6.0f * randomUnit());
}

static void drawWalkerStopMode(CrowdWalker& w) {
    if (randomInt() % 100 < w.stopChance / 2) w.stopMode = 2;
    else if (randomInt() % 100 < w.stopChance) w.stopMode = 1;
    else w.stopMode = 0;
}

static void spawnWalker(int32_t k) {
    CrowdWalker& w = gFloorCustomers.walkers[k];
    w = CrowdWalker{};
    w.modelRow = CROWD_MODEL_ROWS[k % CROWD_WALKER_COUNT];
    w.direction = randomInt() % 2 == 0 ? 1 : -1;
    w.x = 4.6f * (float)k - 14.0f;
    w.y = 0.0f;
    w.z = -11.0f - 4.0f * randomUnit();
    w.speed = (randomUnit() + 1.0f) * 0.5f;
    drawWalkerStopX(w);
    w.stopChance = randomInt() % 100;
    drawWalkerStopMode(w);
    setMotion(w.motion, CROWD_MOTION_WALK);
}

static bool inShopFront(float x) { return (x > -7.0f && x < -1.0f) || (x > 13.0f && x < 18.0f); }

static void stepWalker(CrowdWalker& w) {
    if (w.direction == 0) {
        setMotion(w.motion, CROWD_MOTION_STAND);
        return;
    }
    if (w.pauseTimer > 0) {
        setMotion(w.motion, CROWD_MOTION_PAUSE);
        if (++w.pauseTimer > CROWD_PAUSE_TICKS) {
            w.pauseTimer = 0;
            if (randomInt() % 2 == 0) w.direction = -w.direction;
        }
        return;
    }
    setMotion(w.motion, w.stopMode >= 1 && inShopFront(w.x) ? CROWD_MOTION_STROLL : CROWD_MOTION_WALK);
    float before = w.x;
    w.x += (float)w.direction * w.speed * 0.05f;
    w.motion.direction = w.direction > 0 ? 6 : 2;
    bool passed = (before < w.stopX && w.x >= w.stopX) || (before > w.stopX && w.x <= w.stopX);
    if (w.stopMode == 2 && passed) w.pauseTimer = 1;
    if (w.x > 25.0f || w.x < -15.0f) {
        w.direction = -w.direction;
        w.z = -11.0f - 4.0f * randomUnit();
        drawWalkerStopX(w);
        drawWalkerStopMode(w);
    }
}

void stepStreetCrowd() {
    FloorCustomersState& f = gFloorCustomers;
    if (gShopDayPhase != 0) return;
    f.crowdTicks++;
    if (f.nextWalker < CROWD_WALKER_COUNT) spawnWalker(f.nextWalker++);
    for (CrowdWalker& w : f.walkers) {
        if (w.modelRow < 0) continue;
        stepWalker(w);
        advanceMotion(w.motion, customerModelNumber(w.modelRow), 1.0f);
    }
}

void updateStreetCrowd() {
    FloorCustomersState& f = gFloorCustomers;
    if (!f.crowdStarted) {
        f.crowdStarted = 1;
        for (int32_t i = 0; i < CROWD_WARM_UP_STEPS; i++) stepStreetCrowd();
        return;
    }
    stepStreetCrowd();
}

void resetFloorCustomersState() {
    gFloorCustomers = FloorCustomersState{};
    resetCustomers();
    initStreetCrowd();
    freeSlot(gFloorCustomers.visitor);
    gFloorCustomers.storyVisitBase = STORY_VISIT_CLOCK_BASE;
}
