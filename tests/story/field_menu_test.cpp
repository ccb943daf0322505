// The items thrown away in the pause menu during a dungeon run, handed to
// the dungeon control one key at a time.
#include <gtest/gtest.h>

#include <vector>

#include "story/story.h"
#include "story/story_state.h"

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
    gFieldMenu.menuUsedItems[2] = 0x1234;
    gFieldMenu.menuUsedItems[7] = 0x0040;
    gFieldMenu.menuUsedItems[MENU_USED_ITEMS_MAX - 1] = 0x0ff1;
    gFieldMenu.menuItemUsed = 1;
    EXPECT_EQ(takeAll(), (std::vector<int32_t>{0x1234, 0x0040, 0x0ff1}));
    for (int32_t key : gFieldMenu.menuUsedItems) EXPECT_EQ(key, -1);
    EXPECT_EQ(gFieldMenu.menuItemUsed, 0);
    EXPECT_EQ(takeMenuUsedItem(), -1);
}

TEST_F(MenuUsedItems, KeysWaitOnlyWhileTheFlagIsSet) {
    gFieldMenu.menuUsedItems[0] = 0x0100;
    EXPECT_EQ(takeMenuUsedItem(), -1);
    EXPECT_EQ(gFieldMenu.menuUsedItems[0], 0x0100);
    gFieldMenu.menuItemUsed = 1;
    EXPECT_EQ(takeMenuUsedItem(), 0x0100);
    EXPECT_EQ(gFieldMenu.menuItemUsed, 1);   // cleared by the call that finds none left
    EXPECT_EQ(takeMenuUsedItem(), -1);
    EXPECT_EQ(gFieldMenu.menuItemUsed, 0);
}

}   // namespace
