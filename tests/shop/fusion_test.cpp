// Item fusion at the merchants' guild: the recipes the merchant level
// offers, the refusal when an ingredient is short, the plus levels the
// product inherits, the product kept secret until fused once, and the
// result's wait for confirm. The guild scene is driven with pressed buttons
// over a recipe table made in the test.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "shop/fusion.h"
#include "shop/fusion_recipes.h"
#include "tests/shop/market_fixture.h"

namespace {

const char FUSION_ITEMS[] =
    ":Swords#Weapons\n"
    "0100 Unknown Sword#-1#0#0#0#0#Wepn###t\n"
    "0101 Broad Sword#100#0#0#0#0#Wepn###t\n"
    "0102 Knight Sword#900#0#0#0#0#Wepn###t\n"
    "0103 Hero Sword#2000#0#0#0#0#Wepn###t\n"
    "0104 Royal Sword#5000#0#0#0#0#Wepn###t\n"
    ":Ores#Goods\n"
    "0200 Iron Ore#20#0#0#0#0#Plan###t\n";

constexpr int32_t BROAD = 101, KNIGHT = 102, HERO = 103, ROYAL = 104, ORE = 200;

class FusionTest : public MarketTest {
protected:
    void SetUp() override {
        MarketTest::SetUp();
        loadItems(FUSION_ITEMS);
        memcpy(savedRecipes, gFusionRecipes, sizeof savedRecipes);
        savedRecipeCount = gFusionRecipeCount;
        // 0: a knight sword of a broad sword and two ores (rank 1);
        // 1: a hero sword of two broad swords (rank 1); 2: a royal sword (rank 2).
        gFusionRecipes[0] = recipe(KNIGHT, 1, BROAD, 1, ORE, 2);
        gFusionRecipes[1] = recipe(HERO, 1, BROAD, 2, -1, 0);
        gFusionRecipes[2] = recipe(ROYAL, 2, HERO, 1, -1, 0);
        gFusionRecipeCount = 3;
        game().merchantLevel = 4;
    }
    void TearDown() override {
        memcpy(gFusionRecipes, savedRecipes, sizeof savedRecipes);
        gFusionRecipeCount = savedRecipeCount;
        MarketTest::TearDown();
    }
    static FusionRecipe recipe(int32_t product, int32_t rank, int32_t first, int32_t firstCount, int32_t second,
                               int32_t secondCount) {
        FusionRecipe r{findItemDef(product), rank, {-1, -1, -1, -1, -1}, {0, 0, 0, 0, 0}};
        r.ingredients[0] = findItemDef(first);
        r.quantities[0] = firstCount;
        if (second >= 0) {
            r.ingredients[1] = findItemDef(second);
            r.quantities[1] = secondCount;
        }
        return r;
    }
    static void store(std::initializer_list<int32_t> keys) {
        for (int32_t key : keys) addItemToStorage(key);
    }
    // Into the guild's recipe list, the cursor on the recipe.
    void openRecipes(int32_t recipeIndex) {
        enter(MARKET_MODE_GUILD);
        ASSERT_TRUE(choose(MARKET_FUSION));
        ticks(MARKET_OPEN_FRAMES);
        ASSERT_EQ(gMarket.screen, MARKET_SCREEN_LIST);
        for (int32_t i = 0; i < recipeIndex; ++i) tick(DOWN);
        ASSERT_EQ(gMarket.fusionCursor, recipeIndex);
    }
    // Confirms the recipe and answers the question; true when asked.
    bool fuse(bool yes) {
        tick(CONFIRM);
        if (gMarket.screen != MARKET_SCREEN_FUSION_QUESTION) return false;
        question = gYesNoWindow.lines[0];
        ticks(8);
        tick(yes ? CONFIRM : CANCEL);
        for (int32_t i = 0; i < 20 && gMarket.screen == MARKET_SCREEN_FUSION_QUESTION; ++i) tick();
        return true;
    }

    std::string question;
    FusionRecipe savedRecipes[FUSION_RECIPE_MAX];
    int32_t savedRecipeCount = 0;
};

}  // namespace

TEST_F(FusionTest, TheMerchantLevelOpensTheRanksInTurn) {
    struct Case {
        int32_t level, rank, offered;
    };
    const Case cases[] = {{0, 0, 0}, {3, 0, 0}, {4, 1, 2}, {11, 1, 2}, {12, 2, 3}, {17, 2, 3},
                          {18, 3, 3}, {24, 4, 3}, {28, 4, 3}, {29, 5, 3}, {98, 5, 3}};
    for (const Case& c : cases) {
        EXPECT_EQ(fusionRankForLevel(c.level), c.rank) << "level " << c.level;
        EXPECT_EQ(fusionRecipesOffered(c.level), c.offered) << "level " << c.level;
    }
    enter(MARKET_MODE_GUILD);
    EXPECT_EQ(gMarket.fusionCount, 2) << "level 4 lists the rank-1 recipes";
}

TEST_F(FusionTest, AShortIngredientRefusesTheFusion) {
    store({itemKey(BROAD)});
    openRecipes(1);
    EXPECT_FALSE(fusionIngredientsStored(1)) << "two broad swords needed, one stored";
    EXPECT_FALSE(fuse(true));
    EXPECT_TRUE(sounded(SOUND_REFUSED));
    EXPECT_EQ(gMarket.screen, MARKET_SCREEN_LIST);
    EXPECT_EQ(gYesNoWindow.openCounter, 0);
    EXPECT_EQ(stored(BROAD), 1);
}

TEST_F(FusionTest, TheProductTakesTheIngredientsPlusLevelsUpToFifteen) {
    struct Case {
        const char* what;
        int32_t firstPlus, secondPlus, wantPlus;
    };
    const Case cases[] = {
        {"+3 and +5", 3, 5, 8},
        {"+9 and +9 stop at 15", 9, 9, 15},
        {"plain swords", 0, 0, 0},
    };
    for (const Case& c : cases) {
        for (int32_t& key : game().storage) key = ITEM_KEY_NONE;
        game().storageCount = 0;
        store({itemKey(BROAD, c.firstPlus), itemKey(BROAD, c.secondPlus)});
        openRecipes(1);
        ASSERT_TRUE(fuse(true)) << c.what;
        EXPECT_EQ(gMarket.screen, MARKET_SCREEN_FUSION_RESULT) << c.what;
        EXPECT_EQ(stored(BROAD), 0) << c.what;
        EXPECT_EQ(game().storageCount, 1) << c.what;
        EXPECT_EQ(game().storage[0], itemKey(HERO, c.wantPlus)) << c.what;
        EXPECT_EQ(gMarket.fusionPlus, c.wantPlus) << c.what;
    }
}

TEST_F(FusionTest, TheProductStaysAMysteryUntilFusedOnce) {
    store({itemKey(BROAD), itemKey(ORE), itemKey(ORE), itemKey(BROAD), itemKey(ORE), itemKey(ORE)});
    openRecipes(0);
    EXPECT_EQ(gItemList.infoItemKey, ITEM_KEY_FUSION_UNKNOWN);
    EXPECT_EQ(getItemInfoState(), 2) << "the popup stays open";
    ASSERT_TRUE(fuse(false));
    EXPECT_EQ(question, "Fusing Unknown Sword.") << "the placeholder's name";
    EXPECT_EQ(gMarket.screen, MARKET_SCREEN_LIST) << "no: back to the recipes";
    EXPECT_EQ(stored(BROAD), 2);
    ASSERT_TRUE(fuse(true));
    EXPECT_TRUE(isFusionRecipeKnown(0));
    EXPECT_FALSE(isFusionRecipeKnown(1));
    EXPECT_EQ(gItemList.infoItemKey, itemKey(KNIGHT));
    EXPECT_EQ(gItemList.infoItemStock, 1);
    EXPECT_EQ(stored(ORE), 2);
}

TEST_F(FusionTest, TheResultWaitsForConfirmThenTheRecipesReturn) {
    store({itemKey(BROAD), itemKey(BROAD)});
    openRecipes(1);
    ASSERT_TRUE(fuse(true));
    EXPECT_FALSE(isPointerShown());
    ticks(FUSION_RESULT_WAIT + 30);
    EXPECT_EQ(gMarket.fusionResult, FUSION_RESULT_WAIT) << "waits for confirm";
    EXPECT_EQ(gMarket.screen, MARKET_SCREEN_FUSION_RESULT);
    tick(CONFIRM);
    EXPECT_TRUE(sounded(SOUND_BALLOON));
    EXPECT_TRUE(isPointerShown());
    ticks(FUSION_RESULT_END - FUSION_RESULT_WAIT - 2);
    EXPECT_EQ(gMarket.screen, MARKET_SCREEN_FUSION_RESULT);
    tick();
    EXPECT_EQ(gMarket.screen, MARKET_SCREEN_LIST);
    tick(CANCEL);
    EXPECT_EQ(gMarket.screen, MARKET_SCREEN_MENU);
    EXPECT_EQ(getItemInfoState(), 0);
}

TEST_F(FusionTest, TheWindowSlidesInWithItsPanelsAndTheResultPlate) {
    FontDrawRig rig;
    rig.open(true);
    ASSERT_NE(rig.capture, nullptr);
    TextureSlot savedBoard = gScenePictures[2];
    GfxTexture* board = rig.capture->createTexture(512, 256, 1, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, GFX_POOL_MANAGED);
    gScenePictures[2] = TextureSlot{board, 512, 256, 0};
    auto boardQuads = [&]() {
        std::vector<DrawnQuad> out;
        for (const DrawnQuad& q : rig.capture->quads)
            if (q.texture == board) out.push_back(q);
        rig.capture->quads.clear();
        return out;
    };

    store({itemKey(BROAD), itemKey(BROAD)});
    openRecipes(1);
    drawFusionWindow(20);   // five ticks into the slide: 320 to the right
    // The first ingredient's icon stands 28 left of its name at X + 408.
    int32_t icons = 0;
    for (const DrawnQuad& q : rig.capture->quads) {
        if (q.colorOp != GFX_TOP_ADDSIGNED || q.top != 120.0f) continue;
        EXPECT_FLOAT_EQ(q.left, 320.0f + 408.0f - 28.0f);
        EXPECT_FLOAT_EQ(q.right - q.left, 32.0f);
        icons++;
    }
    EXPECT_EQ(icons, 1) << "the broad sword's icon";
    std::vector<DrawnQuad> quads = boardQuads();
    ASSERT_EQ(quads.size(), 4u) << "two panels, two title plates";
    EXPECT_FLOAT_EQ(quads[0].left, 320.0f + 88.0f);
    EXPECT_FLOAT_EQ(quads[0].top, 96.0f);
    EXPECT_EQ(quads[0].argb, 0xFF7F7F7Fu);
    EXPECT_FLOAT_EQ(quads[2].left, 320.0f + 352.0f);

    ASSERT_TRUE(fuse(true));
    ticks(20);
    drawFusionWindow(MARKET_SLIDE_FRAMES);
    quads = boardQuads();
    ASSERT_EQ(quads.size(), 5u) << "and the result's plate";
    EXPECT_FLOAT_EQ(quads[4].left, 320.0f - 128.0f) << "full size once 15 ticks in";
    EXPECT_FLOAT_EQ(quads[4].right - quads[4].left, 256.0f);

    gScenePictures[2] = savedBoard;
    rig.capture->releaseTexture(board);
    rig.close();
}
