// The items thrown away in the pause menu during a dungeon run, handed to
// the dungeon control one key at a time.
#include <gtest/gtest.h>

#include <vector>

#include "story/field_menu.h"

namespace {

class MenuUsedItems : public ::testing::Test {
protected:
    void SetUp() override { resetFieldMenuState(); }
    void TearDown() override { resetFieldMenuState(); }
};

std::vector<int32_t> takeAll() {
    std::vector<int32_t> keys;
    for (int32_t key = takeMenuUsedItem(); key != -1; key = takeMenuUsedItem()) keys.push_back(key);
    return keys;
}

TEST_F(MenuUsedItems, HandsOverEachWaitingKeyOnceInSlotOrder) {
    gMenuUsedItems[2] = 0x1234;
    gMenuUsedItems[7] = 0x0040;
    gMenuUsedItems[MENU_USED_ITEMS_MAX - 1] = 0x0ff1;
    gMenuItemUsed = 1;
    EXPECT_EQ(takeAll(), (std::vector<int32_t>{0x1234, 0x0040, 0x0ff1}));
    for (int32_t key : gMenuUsedItems) EXPECT_EQ(key, -1);
    EXPECT_EQ(gMenuItemUsed, 0);
    EXPECT_EQ(takeMenuUsedItem(), -1);
}

TEST_F(MenuUsedItems, KeysWaitOnlyWhileTheFlagIsSet) {
    gMenuUsedItems[0] = 0x0100;
    EXPECT_EQ(takeMenuUsedItem(), -1);
    EXPECT_EQ(gMenuUsedItems[0], 0x0100);
    gMenuItemUsed = 1;
    EXPECT_EQ(takeMenuUsedItem(), 0x0100);
    EXPECT_EQ(gMenuItemUsed, 1);   // cleared by the call that finds none left
    EXPECT_EQ(takeMenuUsedItem(), -1);
    EXPECT_EQ(gMenuItemUsed, 0);
}

}   // namespace
