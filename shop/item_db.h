// shop/item_db.h: the item database, item keys and the item categories.
// Every item of the game is one row of gItemDefinitions, filled once at
// start-up from "data/item.txt" (parseItemTable, called by the shop table
// loader) and read-only afterwards. Everything else names an item by its
// ItemKey and finds its row with findItemDef.
// The parsers here own the whole line syntax of the item file. They read one
// line at a time between its first byte and its end and never look past it.
#pragma once
#include <cstdint>

constexpr int32_t ITEM_DEFINITION_MAX = 600;
constexpr int32_t ITEM_ID_MAX = 9999;
constexpr int32_t ITEM_NAME_SIZE = 64;
constexpr int32_t ITEM_TEXT_SIZE = 256;
constexpr int32_t ITEM_CATEGORY_COUNT = 256;      // indexed by id / 100
constexpr int32_t ITEM_CATEGORY_NAME_SIZE = 32;
constexpr int32_t ITEM_LINE_STEPS = 256;          // characters an item line is read for at most
constexpr int32_t ITEM_SI_ABSENT = 200;           // "si(" not given

// ItemKey: id * 64 + flags + plus level; -1 an empty slot. Item lists use
// further negative pseudo keys.
constexpr int32_t ITEM_KEY_NONE = -1;
constexpr int32_t ITEM_KEY_PLUS_MASK = 0x0F;      // plus level 0..15
constexpr int32_t ITEM_KEY_UNIDENTIFIED = 0x10;
constexpr int32_t ITEM_KEY_POSSESSED = 0x20;      // belongs to an adventurer
constexpr int32_t ITEM_KEY_ID_SHIFT = 6;

constexpr int32_t makeItemKey(int32_t id, int32_t flags, int32_t plus) { return id * 64 + flags + plus; }
constexpr int32_t itemKeyId(int32_t key) { return key >> ITEM_KEY_ID_SHIFT; }
constexpr int32_t itemKeyPlus(int32_t key) { return key & ITEM_KEY_PLUS_MASK; }

// Category flags (bits 0..15 of categoryFlags), one per four-letter code.
enum ItemCategoryFlag : int32_t {
    ITEM_FLAG_WEAPON = 0x0001,        // "Wepn"
    ITEM_FLAG_ARMOR = 0x0002,         // "Armr"
    ITEM_FLAG_FURNITURE = 0x0004,     // "Furn"
    ITEM_FLAG_CLOTHES = 0x0008,       // "Clot"
    ITEM_FLAG_ACCESSORY = 0x0010,     // "Assr"
    ITEM_FLAG_VALUABLE = 0x0020,      // "Gold"
    ITEM_FLAG_METAL = 0x0040,         // "Metl"
    ITEM_FLAG_DINNER = 0x0080,        // "Supp"
    ITEM_FLAG_SWEET = 0x0100,         // "Swtt"
    ITEM_FLAG_FANCY = 0x0200,         // "Sobr"
    ITEM_FLAG_PLAIN = 0x0400,         // "Plan"
    ITEM_FLAG_RARE = 0x0800,          // "Trsr"
    ITEM_FLAG_COLD_WEATHER = 0x1000,  // "Cres"
    ITEM_FLAG_FOOD = 0x2000,          // "Food"
    ITEM_FLAG_HOLY = 0x4000,          // "Holy"
    ITEM_FLAG_SINISTER = 0x8000,      // "Demn"
};
// Class bits of a subcategory, also kept in categoryFlags.
enum ItemClass : int32_t {
    ITEM_CLASS_NONE = 0,
    ITEM_CLASS_WEAPON = 1,
    ITEM_CLASS_ARMOR = 2,
    ITEM_CLASS_FURNISHING = 0x10000,
};

struct ItemCategoryCode {
    char code[5];        // four letters
    int32_t flag;
    const char* word;    // what customers and the news call the category
};
constexpr int32_t ITEM_CATEGORY_CODE_COUNT = 16;
extern const ItemCategoryCode ITEM_CATEGORY_CODES[ITEM_CATEGORY_CODE_COUNT];

struct ItemSubcategory {
    const char* name;    // Shift-JIS category name it is recognised by
    int32_t id;          // 0: no id of its own
    int32_t itemClass;   // ItemClass
};
constexpr int32_t ITEM_SUBCATEGORY_COUNT = 27;
extern const ItemSubcategory ITEM_SUBCATEGORIES[ITEM_SUBCATEGORY_COUNT];

// The main weapon kinds (subcategory ids) of the adventurers.
enum ItemSubcategoryId : int32_t {
    SUBCATEGORY_SWORDS = 1, SUBCATEGORY_DAGGERS = 2, SUBCATEGORY_STAVES = 3, SUBCATEGORY_BOWS = 4,
    SUBCATEGORY_GLOVES = 5, SUBCATEGORY_SPEARS = 6, SUBCATEGORY_CLAWS = 7, SUBCATEGORY_ARM_PARTS = 84,
};

// One row of the item database.
struct ItemDefinition {
    int32_t valid;           // 1 once the row's line was parsed
    int32_t price;           // base price in gold; -1 in a category's unidentified-name row
    int32_t attack;          // a food's HP value
    int32_t defence;         // a food's SP value
    int32_t magic;
    int32_t magicDefence;
    int32_t userMask;        // bit n: adventurer n may use it
    int32_t sortNumber;      // order inside the category in item lists
    int32_t categoryFlags;   // ItemCategoryFlag bits and the subcategory's ItemClass
    int32_t subcategoryId;   // 0 when the category name is no subcategory
    int32_t id;              // 0..9999
    int32_t category;        // id / 100
    int32_t iconCell;        // id % 100
    int8_t stockType;        // "wrhs("
    int8_t guildRank;        // "do(" 0..5
    int8_t marketRank;       // "re(" 0..5
    int8_t sellerRank;       // "mi("
    int8_t fa[3];            // "fa(": drop rank marks
    int8_t si;               // "si(": drop floor threshold; the byte holds 200 when absent (read signed: -56)
    int8_t la;               // "la("
    char name[ITEM_NAME_SIZE];
    char name2[ITEM_NAME_SIZE];     // used inside news sentences
    char text[ITEM_TEXT_SIZE];      // " " when absent
    char text2[ITEM_TEXT_SIZE];     // " " when absent
};

extern ItemDefinition gItemDefinitions[ITEM_DEFINITION_MAX];
extern int32_t gItemDefinitionCount;
extern char gItemCategoryNames[ITEM_CATEGORY_COUNT][ITEM_CATEGORY_NAME_SIZE];
extern char gItemCategoryTitles[ITEM_CATEGORY_COUNT][ITEM_CATEGORY_NAME_SIZE];

// The whole item file: clears the table and the category names, then reads
// every line. Unknown lines bring a message box; lines beyond the table's 600
// rows are dropped with one message box.
void parseItemTable(const char* text, int32_t length);

// The text of a category line after its ':' into the current category name
// and title (used by the item lines that follow).
void parseItemCategoryLine(const char* text, const char* end);
// The item part of an item line (from its sixth character) into row `row`.
void parseItemLine(const char* text, const char* end, int32_t id, int32_t row);
// The three fields of an item line; each starts at *p and leaves *p on the
// field's end ('#' or the line's end).
void parseItemCategoryCodes(ItemDefinition& row, const char*& p, const char* end);
void parseItemParamFields(ItemDefinition& row, const char*& p, const char* end);
void parseItemFlagCodes(ItemDefinition& row, const char*& p, const char* end);

// The flag of the four-letter code at text; 0 for any other code or when
// fewer than four characters remain.
int32_t parseItemCategoryCode(const char* text, const char* end);
// ItemClass of a category name (it begins with a known subcategory name).
int32_t classifyItemSubcategory(const char* name, const char* end);
int32_t classifyItemSubcategory(const char* name);
// Subcategory id of a category name; 0 for any other name.
int32_t getItemSubcategoryId(const char* name, const char* end);
int32_t getItemSubcategoryId(const char* name);
// 0 when a and b are equal or share a slot group (body 9..12, arm 13..14,
// head 15..16), else 1: two such items cannot be worn together.
int32_t isDifferentEquipSlot(int32_t a, int32_t b);

// Row of the first definition with this id; -1 when there is none.
int32_t findItemDef(int32_t id);
// Row of the first definition whose name equals [name, end) exactly; -1 none.
int32_t findItemRowByName(const char* name, const char* end);
// 1 when the item exists and its category name's first four characters equal
// the word's ("Food", "Medicines", "Venders"); else 0.
int32_t isItemInSubcategory(int32_t key, const char* word);
// The customers' word for one category flag; "ダミー" for anything else.
const char* describeItemCategory(int32_t flag);

// Category indexes by name: the first non-empty category name that
// [text, end) begins with, or that equals it exactly; -1 when none.
int32_t findItemCategoryByPrefix(const char* text, const char* end);
int32_t findItemCategoryByName(const char* text, const char* end);
