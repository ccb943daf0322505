// The item database: the item file's lines, the item-line fields, the
// category tables and the look-ups, on small tables made in the test.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/window.h"
#include "shop/item_db.h"

namespace {

// Message boxes are recorded by the headless window; every table starts empty.
class ItemDbTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousWindow = gWindow;
        gWindow = &WINDOW_HEADLESS;
        headlessWindowReset();
        parse("");
    }
    void TearDown() override {
        parse("");
        gWindow = previousWindow;
    }
    static void parse(const std::string& text) { parseItemTable(text.data(), static_cast<int32_t>(text.size())); }
    // One item line under a "Swords" category; the row it filled.
    static const ItemDefinition& item(const std::string& line) {
        parse(":Swords#Weapons\r\n" + line + "\r\n");
        return gItemDefinitions[0];
    }

    const WindowBackend* previousWindow;
};

const char DUMMY_SJIS[] = "\x83\x5f\x83\x7e\x81\x5b";               // "ダミー"
const char UNKNOWN_LINE_SJIS[] = "\x95\x73\x96\xbe\x82\xc8\x8d\x73";   // "不明な行"

}  // namespace

TEST_F(ItemDbTest, WorkedExampleLineFillsEveryField) {
    const ItemDefinition& d =
        item("0101 Bronze Sword#100#5#0#0#0#Wepn Metl#wrhs(1)do(1)re(1)#a2 a3#first text#second text");
    ASSERT_EQ(gItemDefinitionCount, 1);
    EXPECT_EQ(d.valid, 1);
    EXPECT_EQ(d.id, 101);
    EXPECT_EQ(d.category, 1);
    EXPECT_EQ(d.iconCell, 1);
    EXPECT_EQ(d.sortNumber, 0);
    EXPECT_STREQ(d.name, "Bronze Sword");
    EXPECT_STREQ(d.name2, "Bronze Sword");
    EXPECT_EQ(d.price, 100);
    EXPECT_EQ(d.attack, 5);
    EXPECT_EQ(d.defence, 0);
    EXPECT_EQ(d.categoryFlags, 0x41);   // Wepn, Metl and the weapon class of "Swords"
    EXPECT_EQ(d.subcategoryId, 1);
    EXPECT_EQ(d.stockType, 1);
    EXPECT_EQ(d.guildRank, 1);
    EXPECT_EQ(d.marketRank, 1);
    EXPECT_EQ(d.sellerRank, 0);
    EXPECT_EQ(static_cast<uint8_t>(d.si), 200);   // the byte holds 200 when "si(" is absent
    EXPECT_EQ(d.userMask, 0x03);
    EXPECT_STREQ(d.text, "first text");
    EXPECT_STREQ(d.text2, "second text");
    EXPECT_STREQ(gItemCategoryNames[1], "Swords");
    EXPECT_STREQ(gItemCategoryTitles[1], "Weapons");
}

TEST_F(ItemDbTest, NameSectionGivesSortNumberAndBothNames) {
    struct Case { const char* section; int32_t sort; const char* name; const char* name2; };
    const Case CASES[] = {
        {"3#Bronze Sword+Sword", 3, "Bronze Sword", "Sword"},
        {"Bronze Sword", 0, "Bronze Sword", "Bronze Sword"},
        {"Iron Pike+pikes", 0, "Iron Pike", "pikes"},
        {"12#Axe", 12, "Axe", "Axe"},
        {"Axe+one+two", 0, "Axe", "two"},   // each '+' starts the second name again
        // A digit starts the sort number, which skips to after the next '#'.
        {"Sword 2", 2, "Sword 10", "Sword 10"},
    };
    for (const Case& c : CASES) {
        const ItemDefinition& d = item(std::string("0001 ") + c.section + "#10#1#2#3#4#Wepn##a1#t#u");
        EXPECT_EQ(d.sortNumber, c.sort) << c.section;
        EXPECT_STREQ(d.name, c.name) << c.section;
        EXPECT_STREQ(d.name2, c.name2) << c.section;
    }
}

TEST_F(ItemDbTest, UserCodesFieldGivesTheUserMask) {
    struct Case { const char* field; int32_t mask; };
    const Case CASES[] = {
        {"", 0xff},        // empty: everybody
        {"   ", 0},        // spaces only: nobody
        {"a1", 0xff}, {"a2", 0x01}, {"a9", 0x80}, {"a2a4", 0x05}, {"b1", 0x55}, {"b2", 0xaa},
        {"zz a3", 0x02},   // an unknown code adds nothing but moves on by two
    };
    for (const Case& c : CASES) {
        const ItemDefinition& d = item(std::string("0001 Sword#10#1#0#0#0#Wepn##") + c.field + "#t");
        EXPECT_EQ(d.userMask, c.mask) << '"' << c.field << '"';
    }
}

TEST_F(ItemDbTest, ParameterFieldReadsEachKey) {
    struct Case { const char* field; int8_t stock, guild, market, seller, fa0, fa1, fa2, la; uint8_t si; };
    const Case CASES[] = {
        {"fa(5)(12)", 0, 0, 0, 0, 50, 12, 0, 0, 200},
        {"fa(1)(2)(3)", 0, 0, 0, 0, 10, 20, 30, 0, 200},
        {"wrhs(3)do(2)re(1)mi(4)si(5)la(6)", 3, 2, 1, 4, 0, 0, 0, 6, 5},
        {"re(2)wrhs(3)", 3, 0, 2, 0, 0, 0, 0, 0, 200},   // out of order: a later pass finds it
        {"xx(1)", 0, 0, 0, 0, 0, 0, 0, 0, 200},          // unknown keys stop the field
    };
    for (const Case& c : CASES) {
        const ItemDefinition& d = item(std::string("0001 Sword#10#1#0#0#0#Wepn#") + c.field + "#a1#t");
        EXPECT_EQ(d.stockType, c.stock) << c.field;
        EXPECT_EQ(d.guildRank, c.guild) << c.field;
        EXPECT_EQ(d.marketRank, c.market) << c.field;
        EXPECT_EQ(d.sellerRank, c.seller) << c.field;
        EXPECT_EQ(d.fa[0], c.fa0) << c.field;
        EXPECT_EQ(d.fa[1], c.fa1) << c.field;
        EXPECT_EQ(d.fa[2], c.fa2) << c.field;
        EXPECT_EQ(d.la, c.la) << c.field;
        EXPECT_EQ(static_cast<uint8_t>(d.si), c.si) << c.field;
        EXPECT_EQ(d.userMask, 0xff) << c.field;
    }
}

TEST_F(ItemDbTest, CategoryCodesCombineWithTheSubcategoryClass) {
    struct Case { const char* category; const char* codes; int32_t flags; int32_t subcategory; };
    const Case CASES[] = {
        {"Helms", "ArmrMetl", 0x2 | 0x40 | 2, 16},
        {"Rugs", "Furn Sobr", 0x4 | 0x200 | 0x10000, 0},
        {"Food", "Food Swtt", 0x2000 | 0x100, 0},
        {"Arm Parts", "", 1, 84},
        {"Swords", "Xxxx Holy", 0x4000 | 1, 1},   // an unknown code moves on by four
        {"Rings", "  Gold", 0x20, 22},
    };
    for (const Case& c : CASES) {
        parse(std::string(":") + c.category + "\n0001 Thing#10#0#0#0#0#" + c.codes + "##a1#t\n");
        EXPECT_EQ(gItemDefinitions[0].categoryFlags, c.flags) << c.category << " " << c.codes;
        EXPECT_EQ(gItemDefinitions[0].subcategoryId, c.subcategory) << c.category;
    }
}

TEST_F(ItemDbTest, TextsAreSpacesWhenAbsentAndSecondTextEndsAtComment) {
    const ItemDefinition& a = item("0001 Sword#10#1#0#0#0#Wepn##a1");
    EXPECT_STREQ(a.text, " ");
    EXPECT_STREQ(a.text2, " ");
    const ItemDefinition& b = item("0001 Sword#10#1#0#0#0#Wepn##a1#one/two#three#four/ a comment");
    EXPECT_STREQ(b.text, "one/two");       // only the second text takes '/' as a comment
    EXPECT_STREQ(b.text2, "three#four");
}

TEST_F(ItemDbTest, LineEndingEarlyKeepsTheFieldsReadSoFar) {
    struct Case { const char* line; int32_t price, attack, defence, flags, mask; const char* name; };
    const Case CASES[] = {
        {"0001 Sword#100", 100, 0, 0, 0, 0, "Sword"},              // no closing '#': the item ends there
        {"0001 Sword#100#7", 100, 7, 0, 0, 0, "Sword"},
        {"0001 Sword#100#7#", 100, 7, 0, 0, 0, "Sword"},           // the next field starts at the line end
        {"0001 Sword#100#7#2#0#0#", 100, 7, 2, 0, 0, "Sword"},     // no category codes: not even the class
        {"0001 Sword#100#7#2#0#0#Wepn", 100, 7, 2, 1 | 1, 0, "Sword"},
        {"0001 Sword##7#", 0, 7, 0, 0, 0, "Sword"},                // an empty field keeps its default
        {"0001 9Sword", 0, 0, 0, 0, 0, ""},                        // a sort number without its '#'
        {"0001 Sword", 0, 0, 0, 0, 0, "Sword"},
    };
    for (const Case& c : CASES) {
        const ItemDefinition& d = item(c.line);
        ASSERT_EQ(gItemDefinitionCount, 1) << c.line;
        EXPECT_EQ(d.valid, 1) << c.line;
        EXPECT_EQ(d.price, c.price) << c.line;
        EXPECT_EQ(d.attack, c.attack) << c.line;
        EXPECT_EQ(d.defence, c.defence) << c.line;
        EXPECT_EQ(d.categoryFlags, c.flags) << c.line;
        EXPECT_EQ(d.userMask, c.mask) << c.line;
        EXPECT_STREQ(d.name, c.name) << c.line;
    }
    EXPECT_EQ(item("0001 9Sword").sortNumber, 9);
}

TEST_F(ItemDbTest, LongNamesAndTextsAreCutToTheirFields) {
    std::string longName(70, 'n');
    // A double-byte character across the 63rd byte is left out whole.
    std::string sjisName = std::string(62, 'k') + "\x83\x41" + "tail";
    const ItemDefinition& a = item("0001 " + longName + "#5#0#0#0#0#Wepn##a1#" + std::string(100, 't') + "#x");
    EXPECT_EQ(std::string(a.name), std::string(63, 'n'));
    EXPECT_EQ(a.price, 5);
    EXPECT_EQ(strlen(a.text), 100u);
    EXPECT_STREQ(a.text2, "x");
    const ItemDefinition& b = item("0001 " + sjisName + "#5#0#0#0#0#Wepn##a1#t");
    EXPECT_EQ(std::string(b.name), std::string(62, 'k'));
    // Reading stops after 256 characters: a name that long leaves the fields unread.
    const ItemDefinition& c = item("0001 " + std::string(300, 'z') + "#5#0#0#0#0#Wepn##a1#t");
    EXPECT_EQ(c.valid, 1);
    EXPECT_EQ(std::string(c.name), std::string(63, 'z'));
    EXPECT_EQ(c.price, 0);
    // The texts share the steps left after the name and the fields.
    const ItemDefinition& d = item("0001 Sword#5#0#0#0#0#Wepn##a1#" + std::string(400, 't'));
    EXPECT_EQ(strlen(d.text), 256u - 6u - 1u);   // 256 steps: 6 of the name section, 1 for the fields
}

TEST_F(ItemDbTest, CategoryLineKeepsTheOtherPart) {
    parse(":Swords#Weapons\n0001 A#1\n:Daggers\n0101 B#1\n:#Knives\n0201 C#1#0#0#0#0#Metl\n");
    EXPECT_STREQ(gItemCategoryNames[0], "Swords");
    EXPECT_STREQ(gItemCategoryTitles[0], "Weapons");
    EXPECT_STREQ(gItemCategoryNames[1], "Daggers");
    EXPECT_STREQ(gItemCategoryTitles[1], "Weapons");   // a line without '#' keeps the title
    EXPECT_STREQ(gItemCategoryNames[2], "Daggers");    // a line with only a title keeps the name
    EXPECT_STREQ(gItemCategoryTitles[2], "Knives");
    EXPECT_EQ(gItemDefinitions[1].subcategoryId, 2);
    EXPECT_EQ(gItemDefinitions[2].categoryFlags, 0x41);   // still "Daggers": a weapon
}

TEST_F(ItemDbTest, LinesOfNoKindBringAMessageAndIdsAboveTheRangeAreSkipped) {
    parse("/ comment\r\n"
          " 0001 indented lines are skipped\r\n"
          "12345 Too Big#1\r\n"
          "0001\r\n"
          "Sword#1#2\r\n"
          "0002 Kept#3\r\n");
    ASSERT_EQ(gItemDefinitionCount, 1);
    EXPECT_EQ(gItemDefinitions[0].id, 2);
    EXPECT_STREQ(gItemDefinitions[0].name, "Kept");
    ASSERT_EQ(gHeadlessMessageBoxes.total, 1);
    EXPECT_STREQ(gHeadlessMessageBoxes.boxes[0].caption, UNKNOWN_LINE_SJIS);
    EXPECT_STREQ(gHeadlessMessageBoxes.boxes[0].text, "Sword#1#2");
}

TEST_F(ItemDbTest, RowsBeyondTheTableAreDroppedWithOneMessage) {
    std::string text = ":Things\n";
    for (int32_t i = 0; i < ITEM_DEFINITION_MAX + 25; i++) {
        char line[64];
        snprintf(line, sizeof line, "%04d Item#%d\n", i, i + 1);
        text += line;
    }
    parse(text);
    EXPECT_EQ(gItemDefinitionCount, ITEM_DEFINITION_MAX);
    EXPECT_EQ(gItemDefinitions[ITEM_DEFINITION_MAX - 1].id, ITEM_DEFINITION_MAX - 1);
    EXPECT_EQ(gItemDefinitions[ITEM_DEFINITION_MAX - 1].price, ITEM_DEFINITION_MAX);
    EXPECT_EQ(gHeadlessMessageBoxes.total, 1);
    EXPECT_EQ(findItemDef(ITEM_DEFINITION_MAX + 3), -1);
}

TEST_F(ItemDbTest, FindItemDefTakesTheFirstRowOfAnId) {
    parse(":Swords\n0005 First#1\n0007 Other#2\n0005 Second#3\n");
    EXPECT_EQ(findItemDef(5), 0);
    EXPECT_EQ(findItemDef(7), 1);
    EXPECT_EQ(findItemDef(6), -1);
    EXPECT_EQ(findItemDef(-1), -1);
    EXPECT_EQ(findItemDef(makeItemKey(7, ITEM_KEY_UNIDENTIFIED | ITEM_KEY_POSSESSED, 9) >> 6), 1);
    std::string name = "Second";
    EXPECT_EQ(findItemRowByName(name.data(), name.data() + name.size()), 2);
    std::string part = "Sec";
    EXPECT_EQ(findItemRowByName(part.data(), part.data() + part.size()), -1);   // names match whole
}

TEST_F(ItemDbTest, ItemInSubcategoryComparesFourCharacters) {
    parse(":Medicines\n4101 Tonic#10\n:Medals\n4201 Medal#10\n:Food\n4001 Bread#5\n");
    EXPECT_EQ(isItemInSubcategory(makeItemKey(4101, 0, 3), "Medicines"), 1);
    EXPECT_EQ(isItemInSubcategory(makeItemKey(4201, 0, 0), "Medicines"), 0);   // "Meda" is not "Medi"
    EXPECT_EQ(isItemInSubcategory(makeItemKey(4101, 0, 0), "Medi"), 1);
    EXPECT_EQ(isItemInSubcategory(makeItemKey(4001, 0, 0), "Food"), 1);
    EXPECT_EQ(isItemInSubcategory(makeItemKey(4001, 0, 0), "Venders"), 0);
    EXPECT_EQ(isItemInSubcategory(makeItemKey(4999, 0, 0), "Food"), 0);
    EXPECT_EQ(isItemInSubcategory(ITEM_KEY_NONE, "Food"), 0);
}

TEST(ItemDbCategories, DescribeGivesTheWordOfOneFlag) {
    struct Case { int32_t flag; const char* word; };
    const Case CASES[] = {
        {0x0001, "weapons"}, {0x0002, "pieces of armor"}, {0x0080, "dinner items"}, {0x1000, "Cold Weather Gear"},
        {0x2000, "Food"}, {0x8000, "sinister things"}, {0x41, DUMMY_SJIS}, {0, DUMMY_SJIS}, {0x10000, DUMMY_SJIS},
    };
    for (const Case& c : CASES) EXPECT_STREQ(describeItemCategory(c.flag), c.word) << std::hex << c.flag;
}

TEST(ItemDbCategories, CodesAreComparedOverFourCharacters) {
    struct Case { const char* text; int32_t flag; };
    const Case CASES[] = {{"Wepn", 1}, {"Demnxyz", 0x8000}, {"Wep", 0}, {"wepn", 0}, {"Spcl", 0}, {"Cres", 0x1000}};
    for (const Case& c : CASES) EXPECT_EQ(parseItemCategoryCode(c.text, c.text + strlen(c.text)), c.flag) << c.text;
}

TEST(ItemDbCategories, SubcategoryNamesGiveIdAndClass) {
    struct Case { const char* name; int32_t id; int32_t itemClass; };
    const Case CASES[] = {
        {"Swords", 1, 1},  {"Claws", 7, 1},       {"Arm Parts", 84, 1}, {"Armor", 12, 2}, {"Helms", 16, 2},
        {"Hats", 15, 2},   {"Scarves", 17, 0},    {"Rings", 22, 0},     {"Rugs", 0, 0x10000},
        {"Wallpapers", 0, 0x10000},               {"Food", 0, 0},       {"Swordsmiths", 1, 1},   // begins with "Swords"
        {"Sword", 0, 0},   {"\x82\xbb\x82\xcc\x91\xbc\x95\x90\x8a\xed", 0, 1},   // "その他武器"
    };
    for (const Case& c : CASES) {
        EXPECT_EQ(getItemSubcategoryId(c.name), c.id) << c.name;
        EXPECT_EQ(classifyItemSubcategory(c.name), c.itemClass) << c.name;
    }
}

TEST(ItemDbCategories, EquipSlotGroups) {
    struct Case { int32_t a, b, different; };
    const Case CASES[] = {
        {9, 12, 0}, {10, 11, 0}, {13, 14, 0}, {15, 16, 0}, {1, 1, 0}, {22, 22, 0},
        {17, 21, 1}, {12, 13, 1}, {16, 9, 1}, {1, 2, 1}, {0, 9, 1},
    };
    for (const Case& c : CASES) {
        EXPECT_EQ(isDifferentEquipSlot(c.a, c.b), c.different) << c.a << " " << c.b;
        EXPECT_EQ(isDifferentEquipSlot(c.b, c.a), c.different) << c.b << " " << c.a;
    }
}

TEST(ItemDbKeys, KeyBitsRoundTrip) {
    int32_t key = makeItemKey(4008, ITEM_KEY_POSSESSED, 7);
    EXPECT_EQ(key, 4008 * 64 + 32 + 7);
    EXPECT_EQ(itemKeyId(key), 4008);
    EXPECT_EQ(itemKeyPlus(key), 7);
    EXPECT_EQ(itemKeyId(ITEM_KEY_NONE), -1);
}
