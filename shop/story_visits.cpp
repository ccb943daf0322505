// The story's visits to the shop: the check between the first visits of a
// phase that may start one story event, the ingredient quest and its reward
// at the counter, and the two visitors who walk in on the morning of day 8.
#include "shop/story_visits.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "adventurers/adventurers.h"
#include "dungeon/dungeon.h"
#include "engine/device.h"
#include "engine/fades.h"
#include "engine/save_file.h"
#include "engine/sound.h"
#include "engine/story_flags.h"
#include "field/field.h"
#include "field/field_state.h"
#include "shop/counter.h"
#include "shop/floor_customers.h"
#include "shop/item_db.h"
#include "shop/negotiation.h"
#include "shop/storage.h"

const int32_t QUEST_INGREDIENT_IDS[QUEST_INGREDIENT_COUNT] = {3101, 3110, 3106};
const char* const QUEST_INGREDIENT_TEXT = "Charred Lizard, Bat Wings<BR>Slime Liver";
const QuestEventRow QUEST_EVENT_ROWS[QUEST_EVENT_ROW_COUNT] = {
    {435, 2, 17, 3},
    {436, 6, 17, 40},
    {437, 10, 17, 49},
    {438, 14, 18, 9},
};

constexpr int32_t LINEUP_LOOK_MAX = 40;
constexpr int32_t POINTS_NEEDED = 3;
constexpr int32_t STORY_EVENT_LOADER = 0;

// ---- the quest's ingredients ----------------------------------------------------

int32_t questDaysSinceGiven(int32_t date, uint8_t givenLowByte) {
    // Only the date's low byte was kept: the difference is counted modulo 256.
    return (int32_t)(uint8_t)((uint32_t)date - givenLowByte);
}

int32_t checkQuestIngredients() {
    const GameState& game = runningGameState();
    if (game.storyFlags[FLAG_QUEST_PAID]) return 0;
    bool found[QUEST_INGREDIENT_COUNT] = {};
    auto look = [&](int32_t key) {
        if (key < 0) return;
        for (int32_t i = 0; i < QUEST_INGREDIENT_COUNT; i++) found[i] |= itemKeyId(key) == QUEST_INGREDIENT_IDS[i];
    };
    int32_t stored = game.storageCount < 0 ? 0 : game.storageCount < STORAGE_ENTRY_COUNT ? game.storageCount : STORAGE_ENTRY_COUNT;
    for (int32_t i = 0; i < stored; i++) look(game.storage[i]);
    for (const auto& shelf : game.shelves) {
        for (int32_t key : shelf) look(key);
    }
    for (bool f : found) {
        if (!f) return 1;
    }
    int32_t days = questDaysSinceGiven(game.date, game.storyFlags[FLAG_QUEST_GIVEN_DATE]);
    if (days <= 1) return 2;
    return days <= 3 ? 3 : 4;
}

// One copy of the ingredient leaves the shop, logged as sold: the first in
// storage, else the first on the shelves.
static void takeQuestIngredient(GameState& game, int32_t id) {
    int32_t stored = game.storageCount < 0 ? 0 : game.storageCount < STORAGE_ENTRY_COUNT ? game.storageCount : STORAGE_ENTRY_COUNT;
    for (int32_t i = 0; i < stored; i++) {
        int32_t key = game.storage[i];
        if (key < 0 || itemKeyId(key) != id) continue;
        logSoldItem(key, 0);
        removeStorageKey(key);
        return;
    }
    for (auto& row : game.shelves) {
        for (int32_t& key : row) {
            if (key < 0 || itemKeyId(key) != id) continue;
            logSoldItem(key, 0);
            key = ITEM_KEY_NONE;
            return;
        }
    }
}

int32_t questRewardPrice(int32_t sum, int32_t multiplier) {
    switch (multiplier) {
    case QUEST_REWARD_TRIPLE: return sum * 3;
    case QUEST_REWARD_DOUBLE: return sum * 2;
    case QUEST_REWARD_HALF_MORE: return (int32_t)(1.5f * (float)sum);
    default: return sum;
    }
}

static void startQuestReward(int32_t multiplier) {
    GameState& game = runningGameState();
    CounterState& c = gCounter;
    setStoryFlag(FLAG_QUEST_PAID, 1);
    int32_t sum = 0;
    for (int32_t id : QUEST_INGREDIENT_IDS) {
        int32_t row = findItemDef(id);
        if (row >= 0) sum += gItemDefinitions[row].price;
        takeQuestIngredient(game, id);
    }
    c.counterPrice = questRewardPrice(sum, multiplier);
    c.visitsDone++;
    c.questDay = 0;
    c.state = COUNTER_QUEST_REWARD;
    c.stateFrame = 0;
}

// ---- the story check -------------------------------------------------------------

static bool inLineup(int32_t type) {
    for (int32_t i = 0; i < LINEUP_LOOK_MAX && i < DAY_LINEUP_SIZE; i++) {
        int32_t entry = gDayPlan.dayLineup[i];
        if (entry < 0) return false;
        if (entry == type) return true;
    }
    return false;
}

static int32_t flagByte(int32_t flag) { return runningGameState().storyFlags[flag]; }
static bool isSet(int32_t flag) { return flagByte(flag) != 0; }
static bool isOne(int32_t flag) { return flagByte(flag) == 1; }
static int32_t points(int32_t index) { return runningGameState().customerRelations[index].points; }

// One check's event: its flags change only when the event is taken, so a
// refused start loses no story step.
struct StoryCheck {
    bool started = false;
    bool start(int32_t major, int32_t minor) {
        if (started || !requestEvent(major, minor, STORY_EVENT_LOADER)) return false;
        started = true;
        return true;
    }
};

static void checkQuest(StoryCheck& check) {
    if (check.started) return;
    GameState& game = runningGameState();
    if (!isSet(FLAG_QUEST_GIVEN)) {
        int32_t q = checkQuestIngredients();
        bool ready = q >= 2;
        if (!check.start(5, ready ? 7 : 1)) return;
        setStoryFlag(FLAG_QUEST_GIVEN, 1);
        game.storyFlags[FLAG_QUEST_GIVEN_DATE] = (uint8_t)(game.date & 0xFF);
        if (ready) startQuestReward(QUEST_REWARD_TRIPLE);
        return;
    }
    if (isSet(FLAG_QUEST_PAID)) return;
    int32_t q = checkQuestIngredients();
    if (q == 0) return;
    static const int32_t MINORS[5] = {0, 2, 3, 3, 4};
    static const int32_t MULTIPLIERS[5] = {0, 0, QUEST_REWARD_DOUBLE, QUEST_REWARD_HALF_MORE, QUEST_REWARD_SINGLE};
    if (!check.start(5, MINORS[q])) return;
    if (q >= 2) startQuestReward(MULTIPLIERS[q]);
}

void checkStoryVisits() {
    StoryCheck check;
    if (inLineup(3)) {
        if (isSet(69) && !isSet(70)) {
            if (check.start(3, 4)) setStoryFlag(70, 1);
        } else if (isSet(69) && isSet(70) && !isSet(71) && points(1) >= POINTS_NEEDED && check.start(3, 5)) {
            setStoryFlag(71, 1);
            setStoryFlag(5, 1);
        }
        if (isOne(112) && !isSet(113) && isSet(5) && check.start(3, 7)) setStoryFlag(113, 1);
    }
    if (inLineup(2) && isOne(152) && !isSet(153) && check.start(7, 5)) setStoryFlag(153, 1);
    if (inLineup(7)) {
        if (isOne(123) && !isSet(124) && check.start(8, 5)) setStoryFlag(124, 1);
        if (isOne(124) && !isSet(125) && points(5) >= POINTS_NEEDED && check.start(8, 6)) {
            setStoryFlag(125, 1);
            setStoryFlag(9, 1);
        }
    }
    if (inLineup(8)) {
        if (isOne(151) && !isSet(152) && check.start(7, 4)) setStoryFlag(152, 1);
        if (isOne(159) && !isSet(162) && check.start(7, 9)) setStoryFlag(162, 1);
        if (isOne(162) && (!isSet(10) || isOne(205)) && points(6) >= POINTS_NEEDED && check.start(7, 10)) {
            setStoryFlag(205, 0);
            setStoryFlag(10, 1);
        }
    }
    if (inLineup(9) && isOne(166) && !isSet(167) && check.start(9, 2)) setStoryFlag(167, 1);
    if (inLineup(5)) {
        if (isOne(118) && !isSet(119)) {
            if (points(3) >= POINTS_NEEDED && check.start(4, 6)) {
                setStoryFlag(119, 1);
                setStoryFlag(7, 1);
            }
        } else if (isSet(119) && isSet(320) && isSet(322) && !isSet(323) && check.start(17, 42)) {
            setStoryFlag(323, 1);
        }
    }
    if (inLineup(6)) {
        if (!isSet(142) && isOne(141) && check.start(6, 5)) setStoryFlag(142, 1);
        if (!isSet(143) && isOne(142) && points(4) >= POINTS_NEEDED && check.start(6, 6)) {
            setStoryFlag(143, 1);
            setStoryFlag(8, 1);
        }
    }
    if (inLineup(4)) {
        checkQuest(check);
        if (isOne(FLAG_QUEST_PAID) && !isSet(132) && points(2) >= POINTS_NEEDED && check.start(5, 5)) {
            setStoryFlag(132, 1);
            setStoryFlag(6, 1);
        }
    }
    if (inLineup(19)) {
        for (const QuestEventRow& row : QUEST_EVENT_ROWS) {
            if (isSet(row.flag) || points(22) <= row.threshold) continue;
            if (check.start(row.major, row.minor)) setStoryFlag(row.flag, 1);
            break;
        }
    }
}

// ---- counter state 30 --------------------------------------------------------------

void updateQuestReward() {
    CounterState& c = gCounter;
    if (c.letterbox < COUNTER_SLIDE_IN) {
        c.letterbox++;
        return;
    }
    c.stateFrame++;
    if (c.stateFrame == 1) {
        snprintf(c.itemText, sizeof c.itemText, "%s", QUEST_INGREDIENT_TEXT);
        formatCounterPrice(c.counterPrice);
        shopkeeperSays(SHOPKEEPER_SALE_SUMMARY);
        runningGameState().money += c.counterPrice;
        playSoundEffect(SOUND_MONEY);
    }
    if (!shopkeeperAnswered()) return;
    c.state = COUNTER_FREE;
    c.stateFrame = 0;
    c.gapFrame = 0;
}

// ---- the story visit of day 8 ------------------------------------------------------

constexpr int32_t VISIT_WALK_FROM = 180;
constexpr float VISIT_MEET_DISTANCE = 2.5f;
constexpr int32_t VISIT_RISE_FROM = 50;
constexpr int32_t VISIT_SECOND_EVENT = 260;
constexpr int32_t VISIT_FADE_OUT = 290;
constexpr int32_t VISIT_FADE_TICKS = 30;
// The fade-out's end is waited for at most this long: a fade started over it
// by anyone else must not keep the visit, and with it the shop floor, held.
constexpr int32_t VISIT_FADE_WAIT_MAX = 120;
constexpr int32_t VISIT_TICKS_AFTER = 192;
constexpr int32_t FAIRY_MEMBER = 2;
const int32_t STORY_VISITOR_MODELS[STORY_VISITOR_COUNT] = {47, 48};
// The second visitor's poses from these ticks after the base on.
const StoryVisitorPose STORY_VISITOR_POSES[STORY_VISITOR_POSE_COUNT] = {
    {50, 3}, {65, 2}, {80, 3}, {110, 1}, {230, 0},
};

enum VisitStep : int32_t {
    VISIT_WALKING = 0,     // the visitor walks in; the first event is due at the base
    VISIT_TALKING = 1,     // the first event was asked for
    VISIT_PARTING = 2,     // the second event was asked for
    VISIT_FADING = 3,      // the fade-out runs
};

static float visitorDistance() {
    const CustomerSlot& v = gFloorCustomers.visitor;
    const Vector3& p = gParty.positions[0];
    float dx = v.x - p.x, dz = v.z - p.z;
    return std::sqrt(dx * dx + dz * dz);
}

void faceStoryVisitor() {
    const CustomerSlot& v = gFloorCustomers.visitor;
    const Vector3& p = gParty.positions[0];
    float dx = v.x - p.x, dz = v.z - p.z;
    if (dx == 0.0f && dz == 0.0f) return;
    gParty.motions[0].direction = spriteDirectionOf(dx, dz);
    gParty.facing = std::atan2(dx, dz);
}

void startStoryVisit() {
    FloorCustomersState& f = gFloorCustomers;
    gFieldCamera.cameraMode = CAMERA_FOLLOW;
    f.storyVisitBase = STORY_VISIT_CLOCK_BASE;
    f.storyVisitClock = 0;
    f.storyVisitStep = VISIT_WALKING;
    f.riseX = f.riseY = 0.0f;
    f.visitor = CustomerSlot{};
    f.visitor.lineupIndex = 0;
    f.visitor.modelRow = -1;
    f.visitor.scale = 1.0f;
    placeAtShopDoor(f.visitor, 0);
    for (MotionState& m : f.visitorMotions) {
        m = MotionState{};
        setMotion(m, 0);
    }
    faceStoryVisitor();
}

// The heroine and the fairy turn to each other once the visitors are gone.
static void facePartyToEachOther() {
    bool right = gParty.positions[FAIRY_MEMBER].x > gParty.positions[0].x;
    gParty.motions[0].direction = right ? 6 : 2;
    gParty.motions[FAIRY_MEMBER].direction = right ? 2 : 6;
    gParty.facing = right ? 1.5707964f : -1.5707964f;
}

static void endStoryVisit() {
    startFadeIn(0, VISIT_FADE_TICKS);
    setStoryFlag(FLAG_STORY_VISIT, 0);
    setStoryFlag(FLAG_STORY_VISIT_HOLD, 0);
    gFieldTicks = VISIT_TICKS_AFTER;
    facePartyToEachOther();
}

void stepStoryVisit() {
    FloorCustomersState& f = gFloorCustomers;
    int32_t t = gFieldTicks;
    int32_t& b = f.storyVisitBase;
    if (t < b - 30 && visitorDistance() <= VISIT_MEET_DISTANCE) b = t + 2;
    if (t >= VISIT_WALK_FROM && t < b) {
        moveCustomer(f.visitor);
        setMotion(f.visitorMotions[0], f.visitor.motion.motion);
        f.visitorMotions[0].direction = f.visitor.motion.direction;
    }
    if (f.storyVisitStep == VISIT_WALKING && t >= b) {
        f.storyVisitStep = VISIT_TALKING;
        if (requestEvent(10, 1, STORY_EVENT_LOADER)) setStoryFlag(FLAG_STORY_VISIT_HOLD, 1);
    }
    if (t > b + VISIT_RISE_FROM) {
        f.riseY += 0.3f;
        f.riseX += 0.1f;
    }
    for (const StoryVisitorPose& pose : STORY_VISITOR_POSES)
        if (t == b + pose.tick) setMotion(f.visitorMotions[1], pose.motion);
    if (f.storyVisitStep == VISIT_TALKING && t >= b + VISIT_SECOND_EVENT) {
        f.storyVisitStep = VISIT_PARTING;
        f.storyVisitClock = 0;
        requestEvent(10, 2, STORY_EVENT_LOADER);
    }
    if (f.storyVisitStep == VISIT_PARTING && t >= b + VISIT_FADE_OUT) {
        f.storyVisitStep = VISIT_FADING;
        startFadeOut(0, VISIT_FADE_TICKS);
        return;
    }
    if (f.storyVisitStep == VISIT_FADING && (isFadeOutDone() || t >= b + VISIT_FADE_OUT + VISIT_FADE_WAIT_MAX))
        endStoryVisit();
}

void animateStoryVisitors() {
    FloorCustomersState& f = gFloorCustomers;
    if (!storyFlag(FLAG_STORY_VISIT)) return;
    if (gFieldTicks >= f.storyVisitBase + VISIT_SECOND_EVENT)
        setMotion(f.visitorMotions[1], f.storyVisitClock % 180 < 30 ? 2 : 0);
    for (int32_t k = 0; k < STORY_VISITOR_COUNT; k++)
        advanceMotion(f.visitorMotions[k], STORY_VISITOR_MODELS[k], 1.0f);
    f.storyVisitClock++;
}
