// shop/item_db.h: the item database, item keys and the item categories.
// Every item of the game is one row of gItemDefinitions, filled once at
// start-up from "data/item.txt" (parseItemTable, called by the shop table
// loader) and read-only afterwards. Everything else names an item by its
// ItemKey and finds its row with findItemDef.
// The parsers here own the whole line syntax of the item file. They read one
// line at a time between its first byte and its end and never look past it.
#pragma once
#include <cstdint>

#include "shop/shop.h"

constexpr int32_t ITEM_CATEGORY_NAME_SIZE = 32;
constexpr int32_t ITEM_LINE_STEPS = 256;          // characters an item line is read for at most
constexpr int32_t ITEM_SI_ABSENT = 200;           // "si(" not given

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

extern char gItemCategoryNames[ITEM_CATEGORY_COUNT][ITEM_CATEGORY_NAME_SIZE];
extern char gItemCategoryTitles[ITEM_CATEGORY_COUNT][ITEM_CATEGORY_NAME_SIZE];

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

// Row of the first definition whose name equals [name, end) exactly; -1 none.
int32_t findItemRowByName(const char* name, const char* end);
// The customers' word for one category flag; "ダミー" for anything else.
const char* describeItemCategory(int32_t flag);

// Category indexes by name: the first non-empty category name that
// [text, end) begins with, or that equals it exactly; -1 when none.
int32_t findItemCategoryByPrefix(const char* text, const char* end);
int32_t findItemCategoryByName(const char* text, const char* end);
