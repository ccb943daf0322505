// The shop's tables: customer types and their sub-files, the trading test,
// request rows, trends and news, fusion recipes and tutorial lessons, read
// from small texts; then the shipped sample tables through the packed archive.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "engine/archive.h"
#include "platform/window.h"
#include "shop/customer_types.h"
#include "shop/fusion_recipes.h"
#include "shop/item_db.h"
#include "shop/request_rows.h"
#include "shop/buysell_table.h"
#include "shop/trend_definitions.h"
#include "shop/tutorial_scripts.h"
#include "tests/temp_folder.h"

namespace {

const char UNKNOWN_CATEGORY_SJIS[] = "\x91\xae\x90\xab\x95\x73\x96\xbe\x82\xc8\x93\x6f\x98\x5e";   // "属性不明な登録"
const char LINES_FULL_SJIS[] =   // "メッセージ登録数オーバー"
    "\x83\x81\x83\x62\x83\x5a\x81\x5b\x83\x57\x93\x6f\x98\x5e\x90\x94\x83\x49\x81\x5b\x83\x6f\x81\x5b";
const char PICTURES_FULL_SJIS[] =   // "グラフィック登録数オーバー"
    "\x83\x4f\x83\x89\x83\x74\x83\x42\x83\x62\x83\x4e\x93\x6f\x98\x5e\x90\x94\x83\x49\x81\x5b\x83\x6f\x81\x5b";
const char VOICES_FULL_SJIS[] = "SE\x93\x6f\x98\x5e\x90\x94\x83\x49\x81\x5b\x83\x6f\x81\x5b";   // "SE登録数オーバー"
const char LIKED_FULL_SJIS[] =   // "好き種類登録数オーバー"
    "\x8d\x44\x82\xab\x8e\xed\x97\xde\x93\x6f\x98\x5e\x90\x94\x83\x49\x81\x5b\x83\x6f\x81\x5b";
const char UNKNOWN_INGREDIENT_SJIS[] =   // "gousei.txt に不明なアイテム3"
    "gousei.txt \x82\xc9\x95\x73\x96\xbe\x82\xc8\x83\x41\x83\x43\x83\x65\x83\x80"
    "3";
const char BAD_QUANTITY_SJIS[] =   // "合成素材アイテム数不明"
    "\x8d\x87\x90\xac\x91\x66\x8d\xde\x83\x41\x83\x43\x83\x65\x83\x80\x90\x94\x95\x73\x96\xbe";
const char RECIPES_FULL_SJIS[] =   // "合成アイテム登録オーバー"
    "\x8d\x87\x90\xac\x83\x41\x83\x43\x83\x65\x83\x80\x93\x6f\x98\x5e\x83\x49\x81\x5b\x83\x6f\x81\x5b";

// A few items and categories for the files that name them.
const char ITEMS[] =
    ":Swords#Weapons\n0001 Sword#100#5#0#0#0#Wepn##a2#t\n0002 Iron#20#0#0#0#0#Metl###t\n"
    ":Materials\n3001 Wood#10#0#0#0#0#Plan###t\n3002 Stone#10#0#0#0#0#Plan###t\n"
    ":Food\n4001 Bread#10#20#0#0#0#Food###t\n";

class ShopTablesTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousWindow = gWindow;
        gWindow = &WINDOW_HEADLESS;
        headlessWindowReset();
        parseItemTable(ITEMS, static_cast<int32_t>(strlen(ITEMS)));
        for (CustomerType& t : gCustomerTypes) t = CustomerType{};
    }
    void TearDown() override {
        parseItemTable("", 0);
        for (CustomerType& t : gCustomerTypes) t = CustomerType{};
        parseRequestTable("", 0);
        parseTrendTable("", 0);
        parseFusionRecipes("", 0);
        parseBuySellTable("", 0);
        for (int32_t lesson = 0; lesson < TUTORIAL_LESSON_COUNT; lesson++) parseTutorialScript(lesson, "", 0);
        gWindow = previousWindow;
    }
    static int32_t len(const std::string& s) { return static_cast<int32_t>(s.size()); }
    static int32_t boxes() { return gHeadlessMessageBoxes.total; }
    static const RecordedMessageBox& box(int32_t i) { return gHeadlessMessageBoxes.boxes[i]; }

    const WindowBackend* previousWindow;
};

}  // namespace

TEST_F(ShopTablesTest, CustomerTypeLinesFillTheCurrentType) {
    std::string text =
        "NameNumb:99\n"   // before the first type: nothing
        "003:Farmer Hob#Farmers\n"
        "NameNumb:7\nAttr:-2,5\nGold:100-900\nLikeType:Swords\nLikeType:Food and more\n"
        "PrimType:WepnFood,Holy\nActvTime:MoNi\nSp:4\nDp:20\nRise_1:8\nRise_2:3\nFrst:70\nRandomis:5\n"
        "file:data/cust/c03.txt\nHate:everything\n"
        "012:Knight\n";
    parseCustomerTypes(text.data(), len(text));
    const CustomerType& t = gCustomerTypes[3];
    EXPECT_EQ(t.present, 1);
    EXPECT_STREQ(t.name, "Farmer Hob");
    EXPECT_STREQ(t.groupName, "Farmers");
    EXPECT_EQ(t.nameNumber, 7);
    EXPECT_EQ(t.attrA, -2);
    EXPECT_EQ(t.attrB, 5);
    EXPECT_EQ(t.budgetMin, 100);
    EXPECT_EQ(t.budgetMax, 900);
    ASSERT_EQ(t.likedCount, 2);
    EXPECT_EQ(t.likedCategories[0], 0);
    EXPECT_EQ(t.likedCategories[1], 40);   // the value begins with the name
    EXPECT_EQ(t.likedFlags, 0x0001 | 0x2000);   // ',' ends the codes
    EXPECT_EQ(t.activeTimes, 9);
    EXPECT_EQ(t.spValue, 4);
    EXPECT_EQ(t.concession, 20);
    EXPECT_EQ(t.rise1, 8);
    EXPECT_EQ(t.rise2, 3);
    EXPECT_EQ(t.firstOffer, 70);
    EXPECT_EQ(t.firstOfferSpread, 5);
    EXPECT_STREQ(t.subFile, "data/cust/c03.txt");
    EXPECT_EQ(gCustomerTypes[12].present, 1);
    EXPECT_STREQ(gCustomerTypes[12].name, "Knight");   // without '#' the text is both names
    EXPECT_STREQ(gCustomerTypes[12].groupName, "Knight");
    EXPECT_EQ(gCustomerTypes[0].present, 0);
    EXPECT_EQ(gCustomerTypes[0].nameNumber, 0);
    EXPECT_EQ(boxes(), 0);
}

TEST_F(ShopTablesTest, ActiveTimeCodes) {
    struct Case { const char* codes; int32_t times; };
    const Case CASES[] = {{"MoNi", 9}, {"MoNoEvNi", 15}, {"Ev", 4}, {"XxNo", 2}, {"NoNoNoNoMo", 2}, {"", 0}};
    for (const Case& c : CASES) {
        std::string text = std::string("001:A\nActvTime:") + c.codes + "\n";
        parseCustomerTypes(text.data(), len(text));
        EXPECT_EQ(gCustomerTypes[1].activeTimes, c.times) << c.codes;
    }
}

TEST_F(ShopTablesTest, LikedFlagsTakeCodesAndSubcategoryClasses) {
    struct Case { const char* codes; int32_t flags; };
    const Case CASES[] = {
        {"WepnFood,Holy", 0x2001},
        {"Swords", 1},                // a subcategory name at a code's place gives its class
        {"HelmsWepn", 2},             // after a name, reading is out of step: "sWep" is no code
        {"ArmrMetl", 0x42},
        {"Rugs", 0x10000},
        {"WepnWepnWepnWepnWepnWepnWepnWepnWepnWepnHoly", 1},   // ten codes at most
        {"", 0},
    };
    for (const Case& c : CASES) {
        std::string text = std::string("001:A\nPrimType:") + c.codes + "\n";
        parseCustomerTypes(text.data(), len(text));
        EXPECT_EQ(gCustomerTypes[1].likedFlags, c.flags) << c.codes;
    }
}

TEST_F(ShopTablesTest, LikedCategoriesUnknownOrTooMany) {
    std::string text = "005:A\nLikeType:Daggers\n";
    for (int32_t i = 0; i < CUSTOMER_LIKED_MAX + 1; i++) text += "LikeType:Materials\n";
    parseCustomerTypes(text.data(), len(text));
    EXPECT_EQ(gCustomerTypes[5].likedCount, CUSTOMER_LIKED_MAX);
    ASSERT_EQ(boxes(), 2);
    EXPECT_STREQ(box(0).text, "Daggers");
    EXPECT_STREQ(box(0).caption, "Unknown Item 1");
    EXPECT_STREQ(box(1).text, "LikeType:Materials");
    EXPECT_STREQ(box(1).caption, LIKED_FULL_SJIS);
}

TEST_F(ShopTablesTest, TypeReadAgainKeepsFieldsButClearsCounts) {
    std::string text = "004:A\nLikeType:Food\nNameNumb:3\n";
    parseCustomerTypes(text.data(), len(text));
    std::string sub = "msg01:00,sno,Hi\n";
    parseCustomerSubFile(4, "sub", sub.data(), len(sub));
    std::string again = "004:A\n";
    parseCustomerTypes(again.data(), len(again));
    EXPECT_EQ(gCustomerTypes[4].likedCount, 0);
    EXPECT_EQ(gCustomerTypes[4].lineVariantCount[1], 0);
    EXPECT_EQ(gCustomerTypes[4].nameNumber, 3);
}

TEST_F(ShopTablesTest, SpeechLinesBecomeVariantsOfTheirKind) {
    std::string text =
        "msg05:01,sno,Hello\r\n"
        "msg05:03,s15,Welcome back<C>page two\r\n"
        "msg99:00,sno,not a kind\r\n"
        "msg5:00,sno,malformed\r\n"
        "msg00:02,sno,\r\n"
        "grp00 cust/a.bmp\r\n"
        "grp03 cust/d.bmp\r\n"
        "se07 voice/x.wav\r\n";
    parseCustomerSubFile(2, "data/cust/c02.txt", text.data(), len(text));
    const CustomerType& t = gCustomerTypes[2];
    ASSERT_EQ(t.lineVariantCount[5], 2);
    EXPECT_EQ(t.lineFaces[5][0], 1);
    EXPECT_EQ(t.lineVoices[5][0], CUSTOMER_NO_VOICE);
    EXPECT_STREQ(t.lineTexts[5][0], "Hello");
    EXPECT_EQ(t.lineFaces[5][1], 3);
    EXPECT_EQ(t.lineVoices[5][1], 15);
    EXPECT_STREQ(t.lineTexts[5][1], "Welcome back<C>page two");
    EXPECT_EQ(t.lineVariantCount[0], 1);
    EXPECT_STREQ(t.lineTexts[0][0], "");
    EXPECT_EQ(t.pictureCount, 2);
    EXPECT_STREQ(t.pictureFiles[0], "cust/a.bmp");
    EXPECT_STREQ(t.pictureFiles[3], "cust/d.bmp");
    EXPECT_EQ(t.voiceCount, 1);
    EXPECT_STREQ(t.voiceFiles[7], "voice/x.wav");
    EXPECT_EQ(boxes(), 0);
}

TEST_F(ShopTablesTest, SubFileOverflowsAreDroppedWithTheirMessage) {
    std::string text = "msg30:00,sno,kind thirty\nmsg98:00,sno,kind ninety-eight\n";
    for (int32_t i = 0; i < CUSTOMER_LINE_VARIANTS + 2; i++) text += "msg07:00,sno,v" + std::to_string(i) + "\n";
    text += "grp20 too/far.bmp\n";
    for (int32_t i = 0; i < CUSTOMER_PICTURE_MAX + 1; i++) text += "grp01 same.bmp\n";
    text += "se60 too/far.wav\nse-1 bad.wav\n";
    parseCustomerSubFile(6, "data/cust/c06.txt", text.data(), len(text));
    const CustomerType& t = gCustomerTypes[6];
    EXPECT_EQ(t.lineVariantCount[7], CUSTOMER_LINE_VARIANTS);
    EXPECT_STREQ(t.lineTexts[7][CUSTOMER_LINE_VARIANTS - 1], "v19");
    EXPECT_EQ(t.pictureCount, CUSTOMER_PICTURE_MAX);
    EXPECT_STREQ(t.pictureFiles[1], "same.bmp");
    EXPECT_EQ(t.pictureFiles[19][0], 0);
    EXPECT_EQ(t.voiceCount, 0);
    // Kinds 30 and 98; the 20th variant (it fills the kind) and the two after it;
    // picture 20 and the 21st picture; voice 60 and voice -1.
    ASSERT_EQ(boxes(), 9);
    const char* want[9] = {LINES_FULL_SJIS, LINES_FULL_SJIS, LINES_FULL_SJIS,    LINES_FULL_SJIS, LINES_FULL_SJIS,
                           PICTURES_FULL_SJIS, PICTURES_FULL_SJIS, VOICES_FULL_SJIS, VOICES_FULL_SJIS};
    for (int32_t i = 0; i < 9; i++) {
        EXPECT_STREQ(box(i).text, want[i]) << i;
        EXPECT_STREQ(box(i).caption, "data/cust/c06.txt") << i;
    }
}

TEST_F(ShopTablesTest, BuySellTestValues) {
    std::string text = "ok:\nCstNum:13\nBuySel:2\nmsg00:3\nmsg19:4\nmsg20:5\nrmsg01:6\nrmsg19:7\n";
    parseBuySellTable(text.data(), len(text));
    EXPECT_EQ(gBuySell.enabled, 1);
    EXPECT_EQ(gBuySell.customerType, 13);
    EXPECT_EQ(gBuySell.tradingMode, 2);
    EXPECT_EQ(gBuySellTables[0][0], 3);
    EXPECT_EQ(gBuySellTables[0][19], 4);
    EXPECT_EQ(gBuySellTables[1][1], 6);
    EXPECT_EQ(gBuySellTables[1][19], 7);
    std::string off = "CstNum:13\n";
    parseBuySellTable(off.data(), len(off));
    EXPECT_EQ(gBuySell.enabled, 0);
    EXPECT_EQ(gBuySellTables[0][0], 0);
}

TEST_F(ShopTablesTest, RequestRowsTakeCodeOrCategoryName) {
    std::string text =
        "a request before any level,orders,Wepn\n"
        "LV:2\n"
        "something\tto eat,meals,Food\n"
        "a sword,swords,Swords\n"
        "LV:4\n"
        "a very long request text that does not fit,x,Plan\n"
        "odd one,odd,Nothing\n";
    parseRequestTable(text.data(), len(text));
    ASSERT_EQ(gOrderRequestCount, 5);
    EXPECT_STREQ(gRequestRows[0].name, "a request before any level");
    EXPECT_EQ(gRequestRows[0].categoryMask, 1u);
    EXPECT_EQ(gRequestRows[0].rank, -1);
    EXPECT_STREQ(gRequestRows[1].name, "somethingto eat");   // tabs are left out
    EXPECT_STREQ(gRequestRows[1].orderName, "meals");
    EXPECT_EQ(gRequestRows[1].categoryMask, 0x2000u);
    EXPECT_EQ(gRequestRows[1].category, -1);
    EXPECT_EQ(gRequestRows[1].rank, 1);
    EXPECT_EQ(gRequestRows[2].categoryMask, 0u);
    EXPECT_EQ(gRequestRows[2].category, 0);
    EXPECT_EQ(std::string(gRequestRows[3].name), std::string("a very long request text that d"));
    EXPECT_EQ(gRequestRows[3].rank, 3);
    EXPECT_EQ(gRequestRows[4].category, -1);
    ASSERT_EQ(boxes(), 2);
    EXPECT_STREQ(box(0).text, "Nothing");
    EXPECT_STREQ(box(0).caption, UNKNOWN_CATEGORY_SJIS);
    EXPECT_STREQ(box(1).text, "odd one,odd,Nothing");
    EXPECT_STREQ(box(1).caption, UNKNOWN_CATEGORY_SJIS);
}

TEST_F(ShopTablesTest, TooManyRequestRowsAreDropped) {
    std::string text;
    for (int32_t i = 0; i < REQUEST_ROW_MAX + 5; i++) text += "r" + std::to_string(i) + ",o,Wepn\n";
    parseRequestTable(text.data(), len(text));
    EXPECT_EQ(gOrderRequestCount, REQUEST_ROW_MAX);
    EXPECT_STREQ(gRequestRows[REQUEST_ROW_MAX - 1].name, "r199");
    EXPECT_EQ(boxes(), 1);
}

TEST_F(ShopTablesTest, TrendRowsNameTheirTarget) {
    std::string text =
        "Wepn,1,5-3,Weapons sell.\n"
        "TgtPsn:12\n"
        "Sesn:10-40\n"
        "Swords,-1,4-2,100-500,<I> are cheap.\n"
        "Bread,2,3,Bread for all.\n"
        "-news,0,Just news, with a comma.\n"
        "Sesn:50\n"
        "Spcl,1,5-2,A boom of <I>!\n"
        "Nobody,1,2-1,Nothing matches.\n"
        "Wepn,1\n"
        "-only one comma\n";
    parseTrendTable(text.data(), len(text));
    ASSERT_EQ(gTrendDefinitionCount, 6);
    const TrendDefinition& a = gTrendDefinitions[1];
    EXPECT_EQ(a.categoryMask, 1);
    EXPECT_EQ(a.category, -1);
    EXPECT_EQ(a.item, -1);
    EXPECT_EQ(a.effect, 1);
    EXPECT_EQ(a.duration, 5);
    EXPECT_EQ(a.durationRandom, 3);
    EXPECT_EQ(a.boundLow, -1);
    EXPECT_EQ(a.customerType, 0);
    EXPECT_EQ(a.seasonFirst, 0);
    EXPECT_EQ(a.seasonLast, 100);
    EXPECT_STREQ(a.targetName, "Wepn");
    EXPECT_STREQ(a.text, "Weapons sell.");
    const TrendDefinition& b = gTrendDefinitions[2];
    EXPECT_EQ(b.categoryMask, 0);
    EXPECT_EQ(b.category, 0);
    EXPECT_EQ(b.effect, -1);
    EXPECT_EQ(b.boundLow, 100);
    EXPECT_EQ(b.boundHigh, 500);
    EXPECT_EQ(b.customerType, 12);
    EXPECT_EQ(b.seasonFirst, 10);
    EXPECT_EQ(b.seasonLast, 40);
    EXPECT_STREQ(b.text, "<I> are cheap.");
    const TrendDefinition& c = gTrendDefinitions[3];   // an item name binds the item's id
    EXPECT_EQ(c.item, 4001);
    EXPECT_EQ(c.category, -1);
    EXPECT_EQ(c.duration, 3);
    EXPECT_EQ(c.durationRandom, 0);
    const TrendDefinition& d = gTrendDefinitions[4];
    EXPECT_EQ(d.category, TREND_NEWS_ONLY);
    EXPECT_EQ(d.categoryMask, 0);
    EXPECT_STREQ(d.text, "Just news, with a comma.");
    const TrendDefinition& e = gTrendDefinitions[5];
    EXPECT_EQ(e.categoryMask, TREND_SPECIAL_MASK);
    EXPECT_EQ(e.seasonFirst, 50);   // "Sesn" without its second value keeps the last day
    EXPECT_EQ(e.seasonLast, 40);
    ASSERT_EQ(boxes(), 1);
    EXPECT_STREQ(box(0).text, "Nobody");
    EXPECT_STREQ(box(0).caption, "syn error");
    EXPECT_EQ(gTrendDefinitions[6].item, -1);   // kept, naming nothing
}

TEST_F(ShopTablesTest, ATrendWhosePriceRangeAdmitsNoItemKeepsItsRowButNamesNothing) {
    std::string text =
        "Swords,-1,4-2,100-500,<I> are cheap.\n"    // the sword costs 100: admitted
        "Swords,-1,4-2,101-500,<I> are dear.\n"     // nothing of the class in range
        "Wepn,1,5-3,Weapons sell.\n";               // binds nothing: always kept
    parseTrendTable(text.data(), len(text));
    ASSERT_EQ(gTrendDefinitionCount, 3);   // the rows after it keep their numbers
    EXPECT_EQ(gTrendDefinitions[1].boundLow, 100);
    EXPECT_EQ(gTrendDefinitions[1].category, 0);
    const TrendDefinition& refused = gTrendDefinitions[2];
    EXPECT_EQ(refused.boundLow, -1);
    EXPECT_EQ(refused.item, -1);
    EXPECT_EQ(refused.category, -1);
    EXPECT_EQ(refused.categoryMask, 0);
    EXPECT_EQ(gTrendDefinitions[3].categoryMask, 1);
    ASSERT_EQ(boxes(), 1);
    EXPECT_STREQ(box(0).caption, "no item in price range");
}

TEST_F(ShopTablesTest, LongTrendTextsAreCut) {
    std::string text = "Lots of words in a target,1,2-1," + std::string(200, 'x') + "\n";
    parseTrendTable(text.data(), len(text));
    ASSERT_EQ(gTrendDefinitionCount, 1);
    EXPECT_EQ(strlen(gTrendDefinitions[1].text), static_cast<size_t>(TREND_TEXT_SIZE - 1));
    EXPECT_STREQ(gTrendDefinitions[1].targetName, "Lots of words i");
}

TEST_F(ShopTablesTest, RecipeLineGivesProductAndIngredients) {
    std::string text = "0001:Sword:Iron#2:Wood#1:\nRank:3\n0002:Bread:Wood#1:Stone#4:Iron#1:\n";
    parseFusionRecipes(text.data(), len(text));
    ASSERT_EQ(gFusionRecipeCount, 2);
    const FusionRecipe& a = gFusionRecipes[0];
    EXPECT_EQ(a.product, 0);   // the row of Sword
    EXPECT_EQ(a.rank, 0);
    EXPECT_EQ(a.ingredients[0], 1);
    EXPECT_EQ(a.quantities[0], 2);
    EXPECT_EQ(a.ingredients[1], 2);
    EXPECT_EQ(a.quantities[1], 1);
    for (int32_t i = 2; i < FUSION_INGREDIENT_MAX; i++) EXPECT_EQ(a.ingredients[i], -1) << i;
    const FusionRecipe& b = gFusionRecipes[1];
    EXPECT_EQ(b.product, 4);
    EXPECT_EQ(b.rank, 3);
    EXPECT_EQ(b.ingredients[1], 3);
    EXPECT_EQ(b.quantities[1], 4);
    EXPECT_EQ(b.ingredients[2], 1);
    EXPECT_EQ(boxes(), 0);
}

TEST_F(ShopTablesTest, RecipeFaultsBringTheirMessages) {
    std::string text =
        "0001:Gold Sword:Iron#2:\n"      // unknown product: row 0
        "0002:Sword:Mithril#1:Wood:\n"   // unknown ingredient, and one without quantity
        "0003:Sword:Iron#0:\n"
        "0004:Sword:Iron#1:Wood#1:Stone#1:Bread#1:Sword#1:Iron#1:\n";   // a sixth ingredient
    parseFusionRecipes(text.data(), len(text));
    ASSERT_EQ(gFusionRecipeCount, 4);
    EXPECT_EQ(gFusionRecipes[0].product, 0);
    EXPECT_EQ(gFusionRecipes[1].ingredients[0], 0);
    EXPECT_EQ(gFusionRecipes[1].ingredients[1], 2);
    EXPECT_EQ(gFusionRecipes[1].quantities[1], 0);
    EXPECT_EQ(gFusionRecipes[3].ingredients[4], 0);
    EXPECT_EQ(gFusionRecipes[3].quantities[4], 1);
    ASSERT_EQ(boxes(), 5);
    EXPECT_STREQ(box(0).text, "Gold Sword");
    EXPECT_STREQ(box(0).caption, UNKNOWN_INGREDIENT_SJIS);
    EXPECT_STREQ(box(1).text, "Mithril");
    EXPECT_STREQ(box(2).text, "0002:Sword:Mithril#1:Wood:");
    EXPECT_STREQ(box(2).caption, BAD_QUANTITY_SJIS);
    EXPECT_STREQ(box(3).caption, BAD_QUANTITY_SJIS);
    EXPECT_STREQ(box(4).caption, BAD_QUANTITY_SJIS);
}

TEST_F(ShopTablesTest, RecipesBeyondTheTableAreDropped) {
    std::string text;
    for (int32_t i = 0; i < FUSION_RECIPE_MAX + 3; i++) text += "0001:Sword:Iron#" + std::to_string(i + 1) + ":\n";
    parseFusionRecipes(text.data(), len(text));
    EXPECT_EQ(gFusionRecipeCount, FUSION_RECIPE_MAX);
    EXPECT_EQ(gFusionRecipes[FUSION_RECIPE_MAX - 1].quantities[0], FUSION_RECIPE_MAX);
    ASSERT_EQ(boxes(), 1);
    EXPECT_STREQ(box(0).text, RECIPES_FULL_SJIS);
    EXPECT_STREQ(box(0).caption, "error");
}

TEST_F(ShopTablesTest, TutorialLinesBecomeSteps) {
    std::string text =
        "10,CHR1,2,Welcome!\n"
        "11,CHR0,0,Hello, and welcome.\n"
        "12,TAGD\n"
        "13,BUN0,20,21,22,23,24,25,26\n"
        "14,GOTO,10\n"
        "15,INVENTORY\n"
        ",CHR0,0,no step\n"
        "16,WAVE,1\n"
        "-1\n"
        "-2,Try again.\n";
    parseTutorialScript(1, text.data(), len(text));
    const TutorialStep* s = gTutorialScripts[1];
    EXPECT_EQ(s[0].step, 10);
    EXPECT_EQ(s[0].command, TUTORIAL_CUSTOMER_SAYS);
    EXPECT_EQ(s[0].face, 2);
    EXPECT_STREQ(s[0].text, "Welcome!");
    EXPECT_EQ(s[1].command, TUTORIAL_SHOPKEEPER_SAYS);
    EXPECT_STREQ(s[1].text, "Hello, and welcome.");
    EXPECT_EQ(s[2].command, TUTORIAL_SHOW_ITEM);
    EXPECT_EQ(s[3].command, TUTORIAL_PRICE_BRANCH);
    for (int32_t t = 0; t < TUTORIAL_TARGET_COUNT; t++) EXPECT_EQ(s[3].targets[t], 20 + t) << t;
    EXPECT_EQ(s[4].command, TUTORIAL_GOTO);
    EXPECT_EQ(s[4].targets[0], 10);
    EXPECT_EQ(s[5].command, TUTORIAL_OPEN_LIST);
    EXPECT_EQ(s[6].step, 16);   // an unknown word keeps its row
    EXPECT_EQ(s[6].command, TUTORIAL_UNKNOWN);
    EXPECT_EQ(s[7].step, -1);
    EXPECT_EQ(s[7].command, TUTORIAL_END);
    EXPECT_EQ(s[8].step, -2);
    EXPECT_STREQ(s[8].text, "Try again.");
    EXPECT_EQ(s[9].command, TUTORIAL_END);   // closes the lesson
    ASSERT_EQ(boxes(), 1);
    EXPECT_STREQ(box(0).text, "WAVE,1");
    EXPECT_STREQ(box(0).caption, "syntax error");
}

// Jumps find their rows by step number and the runner walks rows in order,
// so a word the loader does not know must not shift the rows after it; a
// file full of them says so once, not once a line.
TEST_F(ShopTablesTest, UnknownTutorialWordsKeepTheirRowsAndAreReportedOncePerFile) {
    std::string text =
        "1,CHR0,0,First.\n"
        "2,WAVE\n"
        "3,JUMP,7\n"
        "4,TAGD\n"
        "5,SPIN\n"
        "-1\n";
    parseTutorialScript(0, text.data(), len(text));
    struct Row { int32_t step, command; };
    const Row ROWS[] = {
        {1, TUTORIAL_SHOPKEEPER_SAYS}, {2, TUTORIAL_UNKNOWN}, {3, TUTORIAL_UNKNOWN}, {4, TUTORIAL_SHOW_ITEM},
        {5, TUTORIAL_UNKNOWN},         {-1, TUTORIAL_END},    {0, TUTORIAL_END},   // the closing row
    };
    for (int32_t i = 0; i < 7; i++) {
        EXPECT_EQ(gTutorialScripts[0][i].step, ROWS[i].step) << "row " << i;
        EXPECT_EQ(gTutorialScripts[0][i].command, ROWS[i].command) << "row " << i;
    }
    ASSERT_EQ(boxes(), 1);
    EXPECT_STREQ(box(0).text, "WAVE");
    EXPECT_STREQ(box(0).caption, "syntax error");

    // Another file has its own report.
    std::string other = "8,HOP\n";
    parseTutorialScript(2, other.data(), len(other));
    EXPECT_EQ(gTutorialScripts[2][0].step, 8);
    EXPECT_EQ(gTutorialScripts[2][0].command, TUTORIAL_UNKNOWN);
    EXPECT_EQ(gTutorialScripts[2][1].command, TUTORIAL_END);
    ASSERT_EQ(boxes(), 2);
    EXPECT_STREQ(box(1).text, "HOP");
}

TEST_F(ShopTablesTest, TooManyTutorialStepsKeepTheClosingRow) {
    std::string text;
    for (int32_t i = 0; i < TUTORIAL_STEP_MAX + 10; i++) text += std::to_string(i) + ",TAGN\n";
    parseTutorialScript(0, text.data(), len(text));
    EXPECT_EQ(gTutorialScripts[0][TUTORIAL_STEP_MAX - 2].step, TUTORIAL_STEP_MAX - 2);
    EXPECT_EQ(gTutorialScripts[0][TUTORIAL_STEP_MAX - 1].command, TUTORIAL_END);
    EXPECT_EQ(boxes(), 1);
}

namespace {

// The working directory for a test: a temporary folder, or the packed game.
class ShopTablesFolder : public ShopTablesTest {
protected:
    void TearDown() override {
        gArchiveIndex = ArchiveTable{};
        gBmpData = ArchiveTable{};
        gFormData.clear();
        ShopTablesTest::TearDown();
    }
    void enterTempDir() {
        tempDir.emplace("shop_tables");
        std::filesystem::current_path(tempDir->path());
    }

    std::optional<TempFolder> tempDir;
    WorkingDirectory home;   // tests change directory; the next starts here again
};

}  // namespace

TEST_F(ShopTablesFolder, LooseTutorialFileIsReadWithoutAnArchive) {
    enterTempDir();
    std::filesystem::create_directory("data");
    std::ofstream("data/tuto2.txt") << "5,CHR0,1,From the loose file.\r\n-1\r\n";
    loadTutorialScripts();
    EXPECT_EQ(gTutorialScripts[1][0].step, 5);
    EXPECT_STREQ(gTutorialScripts[1][0].text, "From the loose file.");
    EXPECT_EQ(gTutorialScripts[1][1].command, TUTORIAL_END);
    EXPECT_EQ(gTutorialScripts[0][0].command, TUTORIAL_END);   // missing: an empty lesson
}

namespace {

bool hasRow(int32_t id) { return findItemDef(id) >= 0; }

// Whether the lesson has a row with this step number.
bool lessonHasStep(int32_t lesson, int32_t step) {
    for (int32_t i = 0; i < TUTORIAL_STEP_MAX && gTutorialScripts[lesson][i].command != TUTORIAL_END; i++) {
        if (gTutorialScripts[lesson][i].step == step) return true;
    }
    return false;
}

}  // namespace

TEST_F(ShopTablesFolder, SampleTablesLoadWithoutMessages) {
    ASSERT_EQ(chdir(TOLLI_GAME_DATA_DIR), 0);
    ASSERT_TRUE(openArchive());
    loadItemTable();
    loadCustomerTypes();
    loadCustomerSubFiles();
    loadBuySellTable();
    loadRequestTable();
    loadTrendTable();
    loadFusionRecipes();
    loadTutorialScripts();
    for (int32_t i = 0; i < gHeadlessMessageBoxes.count; i++)
        ADD_FAILURE() << gHeadlessMessageBoxes.boxes[i].caption << ": " << gHeadlessMessageBoxes.boxes[i].text;
    EXPECT_EQ(boxes(), 0);

    // Items: each category opens with its placeholder row, cells run on, the
    // ids the game names exist.
    ASSERT_GE(gItemDefinitionCount, 60);
    int32_t categories = 0;
    for (int32_t r = 0; r < gItemDefinitionCount; r++) {
        const ItemDefinition& d = gItemDefinitions[r];
        EXPECT_EQ(d.valid, 1) << d.id;
        bool first = r == 0 || gItemDefinitions[r - 1].category != d.category;
        if (first) {
            categories++;
            EXPECT_EQ(d.iconCell, 0) << d.id;
            EXPECT_EQ(d.price, -1) << d.id;
        } else {
            EXPECT_EQ(d.iconCell, gItemDefinitions[r - 1].iconCell + 1) << d.id;
            EXPECT_GE(d.price, 0) << d.id;
        }
        EXPECT_NE(d.name[0], 0) << d.id;
    }
    EXPECT_GE(categories, 8);
    const int32_t NAMED_IDS[] = {
        1, 2, 3, 101, 201, 301, 401, 501, 601, 701, 1001, 1101, 1201, 1301, 1401, 1501, 1601,   // starting equipment
        2001, 2101, 2201, 2301, 2401, 2408, 2409, 2411, 2501, 2504, 2505, 2506, 2507, 2509, 2510,
        3013, 3101, 3106, 3110, 3401, 3408, 4001, 4006, 4008, 4101, 4108, 4109, 4110, 4111,
        5013, 5111, 5201, 5202, 5203, 5301, 5404,
    };
    for (int32_t id : NAMED_IDS) EXPECT_TRUE(hasRow(id)) << id;
    const char* const CATEGORY_WORDS[] = {"Food", "Medicines", "Venders"};
    for (const char* word : CATEGORY_WORDS) EXPECT_GE(findItemCategoryByName(word, word + strlen(word)), 0) << word;
    EXPECT_EQ(gItemDefinitions[findItemDef(1)].subcategoryId, SUBCATEGORY_SWORDS);
    EXPECT_EQ(gItemDefinitions[findItemDef(701)].subcategoryId, SUBCATEGORY_ARM_PARTS);

    // Customers: six types, each speaking every kind of line it can speak.
    const int32_t SHOPKEEPER_KINDS[] = {0, 1, 2, 3, 5, 7, 8, 9, 10, 11, 12, 13};
    int32_t present = 0;
    for (int32_t t = 0; t < CUSTOMER_TYPE_COUNT; t++) {
        const CustomerType& type = gCustomerTypes[t];
        if (!type.present) continue;
        present++;
        if (t == 0) {
            for (int32_t k : SHOPKEEPER_KINDS) EXPECT_GT(type.lineVariantCount[k], 0) << "shopkeeper kind " << k;
            continue;
        }
        for (int32_t k = 0; k < 20; k++) {
            if (k != 11) {
                EXPECT_GT(type.lineVariantCount[k], 0) << "type " << t << " kind " << k;
            }
        }
        EXPECT_GT(type.activeTimes, 0) << t;
        EXPECT_LE(type.budgetMin, type.budgetMax) << t;
        EXPECT_GT(type.likedCount, 0) << t;
    }
    EXPECT_EQ(present, 6);
    EXPECT_EQ(gBuySell.enabled, 0);   // the trading test stays off

    EXPECT_EQ(gOrderRequestCount, 3);
    ASSERT_GE(gTrendDefinitionCount, 37);
    EXPECT_EQ(gTrendDefinitions[TREND_BOOM_ROW].categoryMask, TREND_SPECIAL_MASK);
    EXPECT_EQ(gTrendDefinitions[TREND_BIG_BOOM_ROW].categoryMask, TREND_SPECIAL_MASK);
    for (int32_t r = 1; r <= gTrendDefinitionCount; r++) {
        if (r != TREND_BOOM_ROW && r != TREND_BIG_BOOM_ROW) {
            EXPECT_NE(gTrendDefinitions[r].categoryMask, TREND_SPECIAL_MASK) << r;
        }
    }
    EXPECT_EQ(gFusionRecipeCount, 2);

    // Lessons end, and every jump lands on a step of its lesson.
    for (int32_t lesson = 0; lesson < TUTORIAL_LESSON_COUNT; lesson++) {
        int32_t rows = 0;
        while (rows < TUTORIAL_STEP_MAX && gTutorialScripts[lesson][rows].command != TUTORIAL_END) {
            const TutorialStep& s = gTutorialScripts[lesson][rows++];
            int32_t targets = s.command == TUTORIAL_PRICE_BRANCH ? 7
                              : s.command == TUTORIAL_GOTO         ? 1
                              : s.command == TUTORIAL_WEAPON_BRANCH || s.command == TUTORIAL_HIGH_BRANCH ? 2
                                                                                                           : 0;
            for (int32_t t = 0; t < targets; t++)
                EXPECT_TRUE(lessonHasStep(lesson, s.targets[t])) << "lesson " << lesson << " step " << s.step;
        }
        EXPECT_GT(rows, 3) << lesson;
        EXPECT_LT(rows, TUTORIAL_STEP_MAX) << lesson;
    }
}
