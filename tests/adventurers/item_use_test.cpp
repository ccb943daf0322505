// What items do to the party in the field: eating and medicines, worn items
// that act and break, the damage and its last-chance items, pick-up into the
// bag and the balloon's texts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "adventurers/bag.h"
#include "adventurers/balloon.h"
#include "dungeon/dungeon.h"
#include "dungeon/dungeon_state.h"
#include "engine/random.h"
#include "engine/save_file.h"
#include "engine/stage_index.h"
#include "platform/window.h"
#include "shop/shop.h"

namespace {

constexpr int32_t SMALL = 4001, MID = 4002, LARGE = 4003, BITTER = 4004, SWEET = 4005;

class ItemUse : public ::testing::Test {
protected:
    void SetUp() override {
        gWindow = &WINDOW_HEADLESS;
        headlessWindowReset();
        const std::string items =
            ":Charms#Accessories\n"
            "2500 Unknown Charm#-1#0#0#0#0#Assr##a1#x#y\n"
            "2501 Broken Charm#1#0#0#0#0#Assr##a1#x#y\n"
            "2504 Cure Charm#600#0#0#0#0#Assr##a1#x#y\n"
            "2505 Rescue Charm#800#0#0#0#0#Assr##a1#x#y\n"
            "2510 Phoenix Feather#3000#0#0#0#0#Assr##a1#x#y\n"
            ":Food#Meals\n"
            "4000 Unknown Food#-1#0#0#0#0#Food##a1#x#y\n"
            "4001 Bread Roll#20#10#0#0#0#Food##a1#x#y\n"
            "4002 Apple Pie#60#25#1#0#0#Food##a1#x#y\n"
            "4003 Cheese Wheel#120#45#40#0#0#Food##a1#x#y\n"
            "4004 Bitter Herb#5#-50#0#0#0#Food##a1#x#y\n"
            "4005 Honey Cake#90#0#30#0#0#Food##a1#x#y\n";
        parseItemTable(items.data(), (int32_t)items.size());
        resetBagState();
        resetBalloonState();
        resetPickups();
        gChosenAdventurer = 1;
        AdventurerRecord& a = adventurer();
        a.hpBase = 100;
        a.hpBonus = 0;
        a.spBase = 50;
        a.spBonus = 0;
        for (int32_t& key : a.equipment) key = ITEM_KEY_NONE;
        gParty = PartyState{};
        gParty.hp = 80.0f;
        gParty.sp = 10.0f;
        gParty.nearestPickup = -1;
        for (int32_t& q : gParty.gemQueue) q = -1;
        gFloorConditionList = FloorConditionList{};
        gRun.hitStopTimer = 0;
        seedRandom(7);
    }
    void TearDown() override {
        gCurrentStage = nullptr;
        gFloorConditionList = FloorConditionList{};
        parseItemTable("", 0);
    }
    static AdventurerRecord& adventurer() { return runningGameState().adventurers[1]; }
    static int32_t key(int32_t id, int32_t flags = 0, int32_t plus = 0) { return makeItemKey(id, flags, plus); }
};

}  // namespace

TEST_F(ItemUse, FoodAddsItsValueAndARandomExtraByItsSize) {
    const struct {
        int32_t id, plus, hpFrom, hpTo, spFrom, spTo, result;
    } CASES[] = {
        {SMALL, 0, 10, 13, 0, 0, 1},    // up to 19: 0..3 more
        {MID, 0, 25, 32, 1, 2, 3},      // 20..39: 0..7; SP 1: 0..1
        {LARGE, 0, 45, 54, 40, 43, 3},  // from 40: 0..9; SP 0..3
        {SWEET, 0, 0, 0, 30, 32, 2},
        {SMALL, 2, 14, 17, 0, 0, 1},    // a plus: 10 + max(1, 2 x 10 / 5)
    };
    for (const auto& c : CASES) {
        for (int32_t round = 0; round < 40; round++) {
            gParty.hp = 1.0f;
            gParty.sp = 0.0f;
            adventurer().hpBase = 500;
            adventurer().spBase = 500;
            int32_t hp = -1, sp = -1;
            ASSERT_EQ(useFood(key(c.id, 0, c.plus), &hp, &sp), c.result) << c.id;
            EXPECT_GE(hp, c.hpFrom) << c.id;
            EXPECT_LE(hp, c.hpTo) << c.id;
            EXPECT_GE(sp, c.spFrom) << c.id;
            EXPECT_LE(sp, c.spTo) << c.id;
        }
    }
    EXPECT_EQ(getFoodHp(key(BITTER, 0, 3)), -50) << "a plus raises only a positive value";
    EXPECT_EQ(getFoodSp(key(MID, 0, 1)), 2) << "at least 1 more";
}

// Condition 13 doubles what a meal gives, 14 halves it (toward zero).
TEST_F(ItemUse, TheFloorsConditionsDoubleOrHalveAMeal) {
    static StageRecord stage{};
    stage.maptype = 1;
    gCurrentStage = &stage;
    const struct {
        int32_t condition, from, to;
    } CASES[] = {{13, 20, 26}, {14, 5, 6}};
    for (const auto& c : CASES) {
        gFloorConditionList.count = 1;
        gFloorConditionList.ids[0] = c.condition;
        for (int32_t round = 0; round < 40; round++) {
            gParty.hp = 10.0f;
            int32_t hp = 0, sp = 0;
            useFood(key(SMALL), &hp, &sp);
            EXPECT_GE(hp, c.from) << c.condition;
            EXPECT_LE(hp, c.to) << c.condition;
        }
    }
}

TEST_F(ItemUse, AMealNeverLeavesHpBelowOneNorAboveTheMaximum) {
    int32_t hp = 0, sp = 0;
    gParty.hp = 10.0f;
    useFood(key(BITTER), &hp, &sp);
    EXPECT_FLOAT_EQ(gParty.hp, 1.0f);
    EXPECT_EQ(hp, -9);
    gParty.hp = 0.0f;
    useFood(key(SMALL), &hp, &sp);
    EXPECT_FLOAT_EQ(gParty.hp, 1.0f) << "eating with 0 HP leaves 1";
    gParty.hp = 98.0f;
    useFood(key(LARGE), &hp, &sp);
    EXPECT_FLOAT_EQ(gParty.hp, 100.0f);
    EXPECT_FLOAT_EQ(gParty.sp, 50.0f);
    EXPECT_EQ(hp, 2);
    EXPECT_EQ(sp, 40);
}

TEST_F(ItemUse, MedicinesRaiseTheMaximumUpToABonusOf200AndStartBuffs) {
    EXPECT_EQ(getMaxHpGain(key(4104)), 5);
    EXPECT_EQ(getMaxHpGain(key(4108)), 0);
    adventurer().hpBonus = 195;
    gParty.hp = 50.0f;
    int32_t gain = useMedicine(key(4107));   // 9..12, capped at 200
    EXPECT_EQ(gain, 5);
    EXPECT_EQ(adventurer().hpBonus, 200);
    EXPECT_GE(gParty.hp, 59.0f);
    EXPECT_EQ(useMedicine(key(4101)), 0) << "nothing more at a bonus of 200";
    EXPECT_EQ(adventurer().hpBonus, 200);
    gParty.hp = 0.0f;
    adventurer().hpBonus = 0;
    EXPECT_GE(useMedicine(key(4101)), 2);
    EXPECT_FLOAT_EQ(gParty.hp, 0.0f) << "a fallen adventurer's HP stays";
    EXPECT_EQ(useMedicine(key(4108)), 0);
    EXPECT_EQ(useMedicine(key(4110)), 30);
    EXPECT_EQ(gParty.buffTimers[0], 3600);
    EXPECT_EQ(gParty.buffTimers[2], 3600);
    EXPECT_EQ(useMedicine(key(4112)), 0);
}

TEST_F(ItemUse, HealsRespectTheMaximumAndAFallenAdventurer) {
    gParty.hp = 90.0f;
    EXPECT_EQ(healHp(30, 0), 10);
    gParty.hp = 0.0f;
    EXPECT_EQ(healHp(30, 0), 0);
    gParty.sp = 0.0f;
    EXPECT_EQ(healSp(30, 0), 30);
}

// A worn item that acts with a break divisor of 1 always breaks: its slot
// holds item 2501 at once, the fairy says so 29 ticks later.
TEST_F(ItemUse, ABrokenItemBecomesItsRemainsAndIsAnnouncedLater) {
    EXPECT_EQ(tryItemEffect(2504, 1, 30), 0) << "not worn";
    adventurer().equipment[3] = key(2504, 0, 1);
    ASSERT_EQ(tryItemEffect(2504, 1, 30), 1);
    EXPECT_EQ(adventurer().equipment[3], 2501 << 6);
    EXPECT_EQ(gRun.hitStopTimer, 30);
    EXPECT_EQ(gBalloon.code, 4);
    EXPECT_EQ(gBalloon.value, key(2504, 0, 1));
    EXPECT_EQ(gBalloon.duration, 90);
    for (int32_t t = 1; t < 29; t++) {
        announceBrokenItem();
        ASSERT_EQ(gBalloon.code, 4) << "tick " << t;
    }
    gRun.hitStopTimer = 0;
    announceBrokenItem();
    EXPECT_EQ(gBalloon.code, 5);
    EXPECT_EQ(gBalloon.value, key(2504, 0, 1));
    EXPECT_EQ(gBrokenItemTimer, 0);
    EXPECT_EQ(gRun.hitStopTimer, 30);
    char text[128];
    makePickupMessage(text, sizeof text, 5, gBalloon.value);
    EXPECT_STREQ(text, "Cure Charm<BR>has broken!");

    // With a large divisor most uses keep the item.
    adventurer().equipment[3] = key(2504);
    int32_t kept = 0;
    for (int32_t i = 0; i < 20; i++) {
        adventurer().equipment[3] = key(2504);
        tryItemEffect(2504, 1000, 5);
        kept += adventurer().equipment[3] == key(2504);
    }
    EXPECT_GE(kept, 15);
}

TEST_F(ItemUse, DamageRevivesAtZeroAndHealsOnlyBelowHalf) {
    adventurer().equipment[0] = key(2510);
    gParty.hp = 30.0f;
    applyDamageToPlayer(29);
    EXPECT_FLOAT_EQ(gParty.hp, 1.0f) << "the revive waits for 0 HP";
    EXPECT_EQ(adventurer().equipment[0], key(2510));
    applyDamageToPlayer(5);
    EXPECT_FLOAT_EQ(gParty.hp, 100.0f);
    EXPECT_EQ(adventurer().equipment[0], 2501 << 6) << "the revive always breaks";

    adventurer().equipment[1] = key(2505);
    gParty.hp = 60.0f;
    applyDamageToPlayer(10);
    EXPECT_FLOAT_EQ(gParty.hp, 50.0f) << "exactly half: no emergency heal";
    applyDamageToPlayer(1);
    EXPECT_FLOAT_EQ(gParty.hp, 99.0f) << "below half: + min(max / 2, 100)";
    EXPECT_EQ(gParty.holdCharge, 0);
}

TEST_F(ItemUse, TheBalloonNamesTheItemAsTheBagShowsIt) {
    char text[128];
    const struct {
        int32_t code, value;
        const char* want;
    } CASES[] = {
        {0, makeItemKey(4003, 0, 2), "Got an Cheese Wheel+2!"},
        {0, makeItemKey(4003, ITEM_KEY_UNIDENTIFIED, 2), "Got an Unknown Food!"},
        {1, 0, "Can't carry any more!"},
        {4, makeItemKey(2505, 0, 0), "Used Rescue Charm."},
        {304, 0, "G'night!"},
    };
    for (const auto& c : CASES) {
        makePickupMessage(text, sizeof text, c.code, c.value);
        EXPECT_STREQ(text, c.want) << c.code;
    }
    setBalloon(1, 0, 2, 0, 3);   // ages 1 and 2 show, 3 closes
    showActorMessage();
    EXPECT_EQ(gBalloon.age, 2);
    showActorMessage();
    EXPECT_EQ(gBalloon.age, 0) << "closed when its duration is reached";
}

namespace {

Pickup& placePickup(int32_t slot, int32_t kind, int32_t state) {
    Pickup& p = gPickups[slot];
    p = Pickup{};
    p.kind = kind;
    p.state = state;
    p.plus = 1;
    return p;
}

}  // namespace

TEST_F(ItemUse, BagPickUpStoresTheItemUntilTheBagIsFull) {
    gBagCapacity = 2;
    gBag[0] = key(SMALL);
    placePickup(5, PICKUP_ITEM_FIRST + MID, PICKUP_SETTLED);
    gParty.nearestPickup = 5;
    pickUpNearest();
    EXPECT_EQ(gPickups[5].kind, -1);
    EXPECT_EQ(gBag[1], key(MID, 0, 1));
    EXPECT_EQ(gBag[2], ITEM_KEY_NONE);

    // Full: the item stays and the fairy complains for 90 ticks.
    placePickup(6, PICKUP_ITEM_FIRST + LARGE, PICKUP_SETTLED);
    gParty.nearestPickup = 6;
    pickUpNearest();
    EXPECT_EQ(gPickups[6].kind, PICKUP_ITEM_FIRST + LARGE);
    EXPECT_EQ(gBalloon.code, 1);
    EXPECT_EQ(gBalloon.member, 2);
    EXPECT_EQ(gBalloon.duration, 90);

    // An item rising into the bag counts as stored.
    gBag[1] = ITEM_KEY_NONE;
    EXPECT_FALSE(isBagFull());
    placePickup(7, PICKUP_ITEM_FIRST + SWEET, PICKUP_RISING);
    EXPECT_TRUE(isBagFull());
    gPickups[7].frozen = 1;
    EXPECT_FALSE(isBagFull());

    // A gem joins the front of the queue whatever the bag holds.
    gParty.gemQueue[0] = 3;
    placePickup(8, 2, PICKUP_LOOSE);
    gParty.nearestPickup = 8;
    pickUpNearest();
    EXPECT_EQ(gPickups[8].kind, -1);
    EXPECT_EQ(gParty.gemQueue[0], 2);
    EXPECT_EQ(gParty.gemQueue[1], 3);
}
