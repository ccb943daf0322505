// The item collection: the marks storage leaves in the running game, the
// completion flag, and the screen's pages built from the running game or
// from every save slot, over a small item table made in the test.
#include <gtest/gtest.h>

#include <string>

#include "engine/save_file.h"
#include "engine/story_flags.h"
#include "platform/window.h"
#include "shop/collection.h"
#include "shop/item_db.h"
#include "shop/shop.h"
#include "shop/shop_state.h"
#include "shop/storage.h"

namespace {

// Two categories: swords 1..3, and rings 1, 2 and 70 (a cell past the 64 marks).
class CollectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousWindow = gWindow;
        gWindow = &WINDOW_HEADLESS;
        headlessWindowReset();
        std::string table = ":Swords\n0000 Unknown Sword#-1#0#0#0#0#Wepn##a1#t\n"
                            "0001 Sword#100#5#0#0#0#Wepn##a1#t\n0002 Blade#100#6#0#0#0#Wepn##a1#t\n"
                            "0003 Sabre#100#7#0#0#0#Wepn##a1#t\n"
                            ":Rings\n2000 Unknown Ring#-1#0#0#0#0#Assr##a1#t\n"
                            "2001 Ring#50#0#0#0#0#Assr##a1#t\n2002 Band#50#0#0#0#0#Assr##a1#t\n";
        parseItemTable(table.data(), (int32_t)table.size());
        ASSERT_EQ(gHeadlessMessageBoxes.total, 0);
        clear(runningGameState());
        for (GameState& slot : gSaveImage.slots) clear(slot);
        resetCollectionScreen();
    }
    void TearDown() override {
        clear(runningGameState());
        for (GameState& slot : gSaveImage.slots) slot = GameState{};
        parseItemTable("", 0);
        gWindow = previousWindow;
    }
    static void clear(GameState& g) {
        g = GameState{};
        for (int32_t& key : g.storage) key = ITEM_KEY_NONE;
        fillCollection(g, gItemDefinitions, gItemDefinitionCount);
    }
    static GameState& game() { return runningGameState(); }
    const WindowBackend* previousWindow = nullptr;
};

constexpr int32_t key(int32_t id, int32_t flags = 0) { return makeItemKey(id, flags, 0); }

TEST_F(CollectionTest, StoringMarksIdentifiedItemsOnly) {
    addItemToStorage(key(2, ITEM_KEY_UNIDENTIFIED));
    EXPECT_EQ(isItemSeen(key(2)), 0) << "an unidentified key marks nothing";
    addItemToStorage(key(2));
    EXPECT_EQ(isItemSeen(key(2)), 1);
    EXPECT_EQ(game().collection[0].seen[1], 1);
    EXPECT_EQ(isItemSeen(key(1)), 0);
    registerItemSeen(key(2070));   // no mark of its own: nothing changes
    EXPECT_EQ(game().collection[1].seen[COLLECTION_SEEN_COUNT - 1], 0);
}

TEST_F(CollectionTest, TheLastItemSeenSetsTheCompletionFlag) {
    for (int32_t id : {1, 2, 3, 2001}) registerItemSeen(key(id));
    EXPECT_EQ(game().storyFlags[FLAG_COLLECTION_COMPLETE], 0);
    registerItemSeen(key(2002));
    EXPECT_EQ(game().storyFlags[FLAG_COLLECTION_COMPLETE], 1);

    clear(game());
    game().storyFlags[FLAG_NO_TOWNSFOLK] = 1;
    for (int32_t id : {1, 2, 3, 2001, 2002}) registerItemSeen(key(id));
    EXPECT_EQ(game().storyFlags[FLAG_COLLECTION_COMPLETE], 0) << "flag 201 stops the check";
    EXPECT_EQ(isItemSeen(key(2002)), 1);
}

TEST_F(CollectionTest, PagesListTheSeenItemsAndABlankCellForAnUnseenCategory) {
    registerItemSeen(key(3));
    registerItemSeen(key(1));
    EXPECT_EQ(buildCollection(0), 0);
    const CollectionScreen& c = gCollection;
    ASSERT_EQ(c.categoryCount, 2);
    EXPECT_EQ(c.total, 5);
    EXPECT_EQ(c.seen, 2);
    EXPECT_EQ(c.items[0][c.order[0][0]], 1);
    EXPECT_EQ(c.items[0][c.order[0][1]], 3);
    EXPECT_EQ(c.items[0][2], -1);
    EXPECT_EQ(c.items[1][0], COLLECTION_NONE_SEEN);
    EXPECT_EQ(c.items[1][1], -1);
}

TEST_F(CollectionTest, TheTitleCountsAnItemSeenInAnySlot) {
    gSaveImage.slots[40].collection[1].seen[1] = 1;   // the band, in one slot only
    buildCollection(0);
    EXPECT_EQ(gCollection.seen, 0);
    buildCollection(1);
    EXPECT_EQ(gCollection.seen, 1);
    EXPECT_EQ(gCollection.items[1][0], 2002);
    EXPECT_EQ(gSaveImage.slots[40].collection[1].seen[1], 1);
}

TEST(CollectionRate, TruncatesButShowsOneOnceAnythingIsSeen) {
    const int32_t CASES[][3] = {{1, 500, 1}, {0, 500, 0}, {0, 0, 0}, {499, 500, 99}, {500, 500, 100}, {3, 7, 42}};
    for (const auto& c : CASES) EXPECT_EQ(collectionRate(c[0], c[1]), c[2]) << c[0] << " of " << c[1];
}

}  // namespace
