// The shop's storage inside the running game, and the use and equip rules,
// over a small item table made in the test.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/save_file.h"
#include "platform/window.h"
#include "shop/item_db.h"
#include "shop/storage.h"

namespace {

// The running game with an empty storage, and a few items: a sword, a
// dagger, a helm, a hat, breastplates, bread, a ring only adventurer 3 may use.
class StorageTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousWindow = gWindow;
        gWindow = &WINDOW_HEADLESS;
        headlessWindowReset();
        std::string table =
            ":Swords\n0001 Sword#100#5#0#0#0#Wepn##a1#t\n"
            ":Daggers\n0101 Dagger#80#4#0#0#0#Wepn##a1#t\n"
            ":Breastplates\n1201 Breastplate#90#0#5#0#0#Armr##a1#t\n"
            ":Helms\n1601 Helm#70#0#3#0#0#Armr##a1#t\n"
            ":Hats\n1701 Hat#30#0#1#0#0#Armr##a1#t\n"
            ":Rings\n2001 Ring#50#0#0#0#0#Assr##a5#t\n"
            ":Food\n4001 Bread#10#20#0#0#0#Food###t\n";
        parseItemTable(table.data(), static_cast<int32_t>(table.size()));
        GameState& game = runningGameState();
        for (int32_t& key : game.storage) key = ITEM_KEY_NONE;
        game.storageCount = 0;
        for (AdventurerRecord& a : game.adventurers) {
            for (int32_t s = 0; s < EQUIPMENT_SLOTS; s++) a.equipment[s] = a.savedEquipment[s] = ITEM_KEY_NONE;
        }
    }
    void TearDown() override {
        parseItemTable("", 0);
        gWindow = previousWindow;
    }
    static GameState& game() { return runningGameState(); }
    static void store(const std::vector<int32_t>& keys) {
        for (int32_t key : keys) addItemToStorage(key);
    }
    static std::vector<int32_t> stored() {
        std::vector<int32_t> keys;
        for (int32_t i = 0; i < game().storageCount; i++) keys.push_back(game().storage[i]);
        return keys;
    }

    const WindowBackend* previousWindow;
};

constexpr int32_t key(int32_t id, int32_t plus = 0, int32_t flags = 0) { return makeItemKey(id, flags, plus); }

}  // namespace

TEST_F(StorageTest, AddPacksFromTheFrontAndIgnoresEmpty) {
    store({key(1), ITEM_KEY_NONE, key(101, 3)});
    EXPECT_EQ(game().storageCount, 2);
    EXPECT_EQ(stored(), (std::vector<int32_t>{key(1), key(101, 3)}));
    EXPECT_EQ(game().storage[2], ITEM_KEY_NONE);
}

TEST_F(StorageTest, FullStorageStoresNothing) {
    for (int32_t i = 0; i < STORAGE_ENTRY_COUNT; i++) game().storage[i] = key(1);
    game().storageCount = STORAGE_ENTRY_COUNT;
    addItemToStorage(key(101));
    EXPECT_EQ(game().storageCount, STORAGE_ENTRY_COUNT);
    EXPECT_EQ(countItemInStorage(101), 0);
    EXPECT_EQ(countStoredItems(), STORAGE_ENTRY_COUNT);
}

TEST_F(StorageTest, RemovingAKeyKeepsTheOthersInOrder) {
    store({key(1), key(101), key(1201), key(101), key(1601)});
    EXPECT_EQ(removeStorageKey(key(101)), 1);
    EXPECT_EQ(stored(), (std::vector<int32_t>{key(1), key(1201), key(101), key(1601)}));
    EXPECT_EQ(game().storage[4], ITEM_KEY_NONE);
    EXPECT_EQ(removeStorageKey(key(101, 1)), 0);   // the exact key only
    EXPECT_EQ(removeStorageKey(ITEM_KEY_NONE), 0);
    EXPECT_EQ(game().storageCount, 4);
}

TEST_F(StorageTest, RemoveByIdSpendsThePlusBudget) {
    struct Case {
        std::vector<int32_t> plus;   // stored plus levels of item 1
        int32_t count, budget, left;
        std::vector<int32_t> remaining;
    };
    const Case CASES[] = {
        {{2, 5, 9}, 1, 15, 6, {2, 5}},   // highest below the budget
        {{2, 5, 9}, 2, 15, 1, {2}},
        {{2, 5, 9}, 3, 15, 0, {}},
        {{3, 7}, 1, 5, 0, {3}},          // lowest above it
        {{7, 4, 4, 9}, 1, 4, 0, {7, 4, 9}},   // exact, the first of equal ones
        {{9, 12, 10}, 1, 5, 0, {12, 10}},
        {{2}, 3, 15, 13, {}},            // passes without the id remove nothing
    };
    for (const Case& c : CASES) {
        SetUp();
        store({key(101)});
        for (int32_t p : c.plus) addItemToStorage(key(1, p, ITEM_KEY_UNIDENTIFIED));
        EXPECT_EQ(removeItemsFromStorage(1, c.count, c.budget), c.left) << "budget " << c.budget << " count " << c.count;
        std::vector<int32_t> remaining{key(101)};
        for (int32_t p : c.remaining) remaining.push_back(key(1, p, ITEM_KEY_UNIDENTIFIED));
        EXPECT_EQ(stored(), remaining) << "budget " << c.budget << " count " << c.count;
    }
}

TEST_F(StorageTest, CountsIgnorePlusAndFlags) {
    store({key(1), key(1, 5), key(1, 0, ITEM_KEY_POSSESSED | ITEM_KEY_UNIDENTIFIED), key(101)});
    EXPECT_EQ(countItemInStorage(1), 3);
    EXPECT_EQ(countItemInStorage(101), 1);
    EXPECT_EQ(countItemInStorage(1201), 0);
    EXPECT_EQ(countItemInStorage(-1), 0);
    EXPECT_EQ(countStoredItems(), 4);
}

TEST(StorageLimits, TradingAndDepartureLimits) {
    EXPECT_EQ(STORAGE_ENTRY_COUNT, 20000);
    struct Case { int32_t stored, room; bool sellersAway, departs; };
    const Case CASES[] = {
        {0, 15000, false, true},
        {14970, 30, false, true},
        {14971, 29, false, false},
        {14999, 1, false, false},
        {15000, 0, true, false},
        {19000, 0, true, false},
    };
    for (const Case& c : CASES) {
        EXPECT_EQ(storagePurchaseRoom(c.stored), c.room) << c.stored;
        EXPECT_EQ(storageTurnsSellersAway(c.stored), c.sellersAway) << c.stored;
        EXPECT_EQ(storageAllowsDeparture(c.stored), c.departs) << c.stored;
    }
}

TEST_F(StorageTest, UseNeedsTheUserBitAndAnEquippableKind) {
    struct Case { int32_t id, adventurer, usable; };
    const Case CASES[] = {
        {1, 0, 1},      // adventurer 0 wields swords
        {1, 1, 0},      // adventurer 1 wields daggers
        {101, 1, 1},
        {1601, 0, 1},   // helms: adventurer 0's row has them
        {1601, 1, 0},
        {2001, 3, 1},   // rings, user a5 is adventurer 3
        {2001, 0, 0},   // adventurer 0 could wear rings but may not use this one
        {4001, 0, 0},   // food is no equipment
        {9999, 0, 0},
    };
    for (const Case& c : CASES)
        EXPECT_EQ(canAdventurerUseItem(key(c.id), c.adventurer), c.usable) << c.id << " adventurer " << c.adventurer;
}

TEST_F(StorageTest, EquipChecksSlotGroupsAndMainWeapon) {
    AdventurerRecord& a0 = game().adventurers[0];
    a0.equipment[0] = key(1, 0, ITEM_KEY_POSSESSED);
    a0.equipment[1] = key(1201, 0, ITEM_KEY_POSSESSED);
    a0.equipment[4] = key(1701, 0, ITEM_KEY_POSSESSED);   // a hat
    struct Case { int32_t adventurer, slot, key, allowed; };
    const Case CASES[] = {
        {0, 3, key(1601), 0},    // a helm beside the hat: the same head group
        {-1, 3, key(1601), 1},   // no target
        {0, 4, key(1601), 1},    // replacing the hat itself
        {0, 2, key(1201), 0},    // breastplates worn in slot 1 already
        {0, 1, key(1201), 1},
        {0, 0, key(1), 1},       // the main weapon kind in slot 0
        {0, 0, key(101), 0},
        {0, 2, key(1), 0},       // a second sword beside the first
        {0, -1, key(4001), 1},   // food can be used though it is no equipment
        {0, 0, key(4001), 0},
        {0, 3, key(4001), 0},
        {0, -1, key(2001), 0},   // not a user of this ring
        {0, 2, ITEM_KEY_NONE, 1},
        {0, 2, key(9999), 1},    // no row
    };
    for (const Case& c : CASES)
        EXPECT_EQ(canEquip(c.adventurer, c.slot, c.key), c.allowed)
            << "adventurer " << c.adventurer << " slot " << c.slot << " item " << (c.key >> 6);
}

TEST_F(StorageTest, RestoreEquipmentCopiesTheSavedSet) {
    for (int32_t a = 0; a < ADVENTURER_COUNT; a++) {
        for (int32_t s = 0; s < EQUIPMENT_SLOTS; s++) {
            game().adventurers[a].savedEquipment[s] = key(a * 100 + s + 1, 0, ITEM_KEY_POSSESSED);
            game().adventurers[a].equipment[s] = key(1);
        }
    }
    game().adventurers[7].savedEquipment[4] = ITEM_KEY_NONE;
    restoreEquipment();
    for (int32_t a = 0; a < ADVENTURER_COUNT; a++) {
        for (int32_t s = 0; s < EQUIPMENT_SLOTS; s++)
            EXPECT_EQ(game().adventurers[a].equipment[s], game().adventurers[a].savedEquipment[s]) << a << " " << s;
    }
    EXPECT_EQ(game().adventurers[7].equipment[4], ITEM_KEY_NONE);
}

TEST(StorageEquipKinds, EveryRowStartsWithTheMainWeaponAndEnds) {
    const int32_t MAIN[ADVENTURER_COUNT] = {1, 2, 3, 4, 5, 6, 7, 84};
    for (int32_t a = 0; a < ADVENTURER_COUNT; a++) {
        EXPECT_EQ(ADVENTURER_EQUIP_KINDS[a][0], MAIN[a]) << a;
        bool ended = false;
        for (int32_t k = 0; k < EQUIP_KIND_MAX; k++) ended = ended || ADVENTURER_EQUIP_KINDS[a][k] == -1;
        EXPECT_TRUE(ended) << a;
    }
}
