// The item windows: thousands notation, the placeholder row of unidentified
// items, row colours, the side panel's price, and the single item row as
// drawn (icon cell, colour operation, vertex colour).
#include <gtest/gtest.h>

#include <string>

#include "economy_fixture.h"
#include "engine/scene_pictures.h"
#include "shop/item_icons.h"
#include "shop/item_list.h"
#include "shop/item_windows.h"
#include "tests/engine/font_draw_rig.h"

namespace {

const char ITEMS[] =
    ":Food\n"
    "4000 Unknown Food#-1#0#0#0#0#Food###t\n"
    "4001 Bread+bread#10#20#0#0#0#Food Plan###t\n"
    "4002 Royal Tart+royal tarts#900#30#0#0#0#Food Swtt Sobr###t\n"
    ":Medicines\n"
    "4100 Unknown Potion#-1#0#0#0#0####t\n"
    "4101 Tonic+tonics#50#0#0#0#0####t\n"
    "4109 Strength Drop+strength drops#500#0#0#0#0####t\n";

class ItemWindowTest : public EconomyTest {
protected:
    void SetUp() override {
        EconomyTest::SetUp();
        loadItems(ITEMS);
    }
    static int32_t rowOf(int32_t id) { return findItemDef(id); }
};

}  // namespace

struct ThousandsCase {
    int32_t value;
    const char* want;
};
const ThousandsCase THOUSANDS_CASES[] = {
    {0, "0"},           {999, "999"},           {1000, "1,000"},         {1005, "1,005"},
    {999999, "999,999"}, {1000000, "1,000,000"}, {1234567, "1,234,567"}, {9999999, "9,999,999"},
};

TEST(ItemWindow, FormatThousandsGroupsByThree) {
    for (const ThousandsCase& c : THOUSANDS_CASES) {
        char out[THOUSANDS_TEXT_SIZE];
        formatThousands(out, sizeof out, c.value);
        EXPECT_STREQ(out, c.want) << c.value;
    }
}

TEST_F(ItemWindowTest, AnUnidentifiedKeyShowsTheFirstEarlierUnknownRow) {
    struct Case {
        const char* what;
        int32_t key;
        int32_t wantId;
    };
    const Case cases[] = {
        {"identified: its own row", itemKey(4002), 4002},
        {"unidentified: back to the category's unknown row", makeItemKey(4002, ITEM_KEY_UNIDENTIFIED, 0), 4000},
        {"the unknown row itself", makeItemKey(4000, ITEM_KEY_UNIDENTIFIED, 0), 4000},
        {"the nearest unknown row, not the first", makeItemKey(4109, ITEM_KEY_UNIDENTIFIED, 3), 4100},
    };
    for (const Case& c : cases) {
        int32_t row = findItemDisplayRow(c.key);
        ASSERT_GE(row, 0) << c.what;
        EXPECT_EQ(gItemDefinitions[row].id, c.wantId) << c.what;
    }
    EXPECT_EQ(findItemDisplayRow(itemKey(4050)), -1) << "an id without a row";
    EXPECT_EQ(findItemDisplayRow(ITEM_KEY_NONE), -1);
}

TEST_F(ItemWindowTest, WithoutAnUnknownRowBeforeItRowZeroNamesTheItem) {
    loadItems(":Food\n4001 Bread+bread#10#20#0#0#0#Food Plan###t\n4002 Royal Tart+royal tarts#900#30#0#0#0#Food###t\n");
    EXPECT_EQ(findItemDisplayRow(makeItemKey(4002, ITEM_KEY_UNIDENTIFIED, 0)), 0);
}

struct ColourCase {
    int32_t trend;
    bool usable;
    uint32_t want;
};
const ColourCase COLOUR_CASES[] = {
    {1, true, 0xFFFF4D4D},  {1, false, 0xFF7F6464},  {0, true, 0xFF7F7F7F},  {0, false, 0xFF505050},
    {-1, true, 0xFF4D4DFF}, {-1, false, 0xFF64647F}, {-2, true, 0xFF0000FF}, {-2, false, 0xFF00007F},
};

TEST(ItemWindow, RowColoursFollowTrendAndUsability) {
    for (const ColourCase& c : COLOUR_CASES)
        EXPECT_EQ(itemRowColour(c.trend, c.usable, 0x7F), c.want) << "trend " << c.trend << " usable " << c.usable;
    EXPECT_EQ(itemRowColour(0, true, 0xC0), 0xFFC0C0C0u) << "the neutral grey flashes";
    EXPECT_EQ(itemRowColour(1, true, 0xC0), 0xFFFF4D4Du) << "a trend colour does not";
    EXPECT_EQ(itemEntryColour(-2), 0x0000FFu);
    EXPECT_EQ(itemEntryColour(0), 0x7F7F7Fu);
}

struct PriceCase {
    const char* what;
    int32_t price;
    float factor;
    int32_t trend;
    bool market;
    int32_t want;
};
const PriceCase PRICE_CASES[] = {
    {"selling in the market, trend down", 1000, 0.3f, -1, true, 240},
    {"buying in the market, trend up", 1000, 1.0f, 1, true, 1200},
    {"crashed", 1000, 1.0f, -2, true, 700},
    {"crashed at the buying share: what a purchase costs", 1000, 0.7f, -2, true, 490},
    {"outside the market the trend is ignored", 1000, 0.3f, -1, false, 300},
    {"truncated", 999, 0.5f, 0, true, 499},
};

TEST(ItemWindow, SidePanelPriceTakesFactorAndMarketTrend) {
    for (const PriceCase& c : PRICE_CASES)
        EXPECT_EQ(itemPanelPrice(c.price, c.factor, c.trend, c.market), c.want) << c.what;
}

TEST_F(ItemWindowTest, AnEntryKeepsItsIconColoursAndAnUnidentifiedOneShowsCellZero) {
    FontDrawRig rig;
    rig.open(true);
    ASSERT_NE(rig.capture, nullptr);
    TextureSlot saved = gItemIconTextures[40];
    GfxTexture* sheet = rig.capture->createTexture(256, 64, 1, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, GFX_POOL_MANAGED);
    gItemIconTextures[40] = TextureSlot{sheet, 256, 64, 0};

    drawItemListEntry(100.0f, 200.0f, itemKey(4002), 0x80);
    ASSERT_GE(rig.capture->quads.size(), 1u);
    const DrawnQuad& icon = rig.capture->quads[0];
    EXPECT_EQ(icon.texture, sheet);
    EXPECT_EQ(icon.colorOp, (uint32_t)GFX_TOP_ADDSIGNED);
    EXPECT_EQ(icon.argb, 0x807F7F7Fu) << "half grey under the alpha";
    EXPECT_FLOAT_EQ(icon.uRight * 256.0f, 96.0f) << "cell 2";
    EXPECT_GT(rig.capture->quads.size(), 1u) << "and the name";
    EXPECT_EQ(rig.capture->quads.back().argb, 0x807F7F7Fu) << "the neutral trend's grey under the alpha";
    EXPECT_EQ(rig.capture->quads.back().colorOp, (uint32_t)GFX_TOP_MODULATE) << "text is modulated again";

    rig.capture->quads.clear();
    drawItemListEntry(100.0f, 200.0f, makeItemKey(4002, ITEM_KEY_UNIDENTIFIED, 2), 0xFF);
    ASSERT_GE(rig.capture->quads.size(), 1u);
    EXPECT_FLOAT_EQ(rig.capture->quads[0].uRight * 256.0f, 32.0f) << "cell 0";
    EXPECT_FLOAT_EQ(rig.capture->quads[0].vBottom * 64.0f, 32.0f);

    gItemIconTextures[40] = saved;
    rig.capture->releaseTexture(sheet);
    rig.close();
}

// A market page of two rows: the confirm flash at its height lays the
// highlight over the cursor row with additive blending, and blending is
// back to normal for what follows.
TEST_F(ItemWindowTest, TheConfirmFlashGlowsAdditivelyOverTheCursorRow) {
    FontDrawRig rig;
    rig.open(true);
    ASSERT_NE(rig.capture, nullptr);
    TextureSlot saved = gItemWindowTexture;
    GfxTexture* sheet = rig.capture->createTexture(1024, 1024, 1, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, GFX_POOL_MANAGED);
    gItemWindowTexture = TextureSlot{sheet, 1024, 1024, 0};
    ItemListState& s = gItemList;
    resetItemListState();
    s.type = ITEM_LIST_MARKET;
    s.open = 1;
    s.slide = ITEM_LIST_SLIDE_TICKS;
    s.pageCount = 1;
    s.pageSize[0] = 2;
    s.pageKey[0] = itemKey(4001);
    s.entries[0] = ItemListEntry{itemKey(4001), 100};
    s.entries[1] = ItemListEntry{itemKey(4002), 0};
    s.cursor[0] = 1;
    s.flash = 3;   // sin(pi / 2): the glow at its brightest
    s.infoItemKey = ITEM_KEY_NONE;

    drawItemListWindow(0.0f, 0.0f);
    const DrawnQuad* glow = nullptr;
    for (const DrawnQuad& q : rig.capture->quads)
        if (q.texture == sheet && q.uLeft * 1024.0f > 440.0f && q.uLeft * 1024.0f < 441.0f && q.vTop * 1024.0f < 601.0f &&
            q.vTop * 1024.0f > 600.0f)
            glow = &q;
    ASSERT_NE(glow, nullptr) << "the highlight bar is drawn";
    EXPECT_EQ(glow->destBlend, (uint32_t)GFX_BLEND_ONE);
    EXPECT_EQ(glow->argb, 0xFF202020u) << "grey trunc(32 sin(pi / 2))";
    EXPECT_FLOAT_EQ(glow->left, 240.0f + 64.0f);
    EXPECT_FLOAT_EQ(glow->top, 80.0f + 34.0f + 2.0f) << "over the second row";
    EXPECT_EQ(rig.capture->quads.back().destBlend, (uint32_t)GFX_BLEND_INVSRCALPHA) << "blending restored";

    resetItemListState();
    gItemWindowTexture = saved;
    rig.capture->releaseTexture(sheet);
    rig.close();
}
