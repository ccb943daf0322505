#include "shop/item_db.h"

#include <cstring>

#include "engine/game_folder.h"
#include "engine/text_data.h"
#include "platform/window.h"
#include "shop/text_fields.h"

ItemDefinition gItemDefinitions[ITEM_DEFINITION_MAX];
int32_t gItemDefinitionCount;
char gItemCategoryNames[ITEM_CATEGORY_COUNT][ITEM_CATEGORY_NAME_SIZE];
char gItemCategoryTitles[ITEM_CATEGORY_COUNT][ITEM_CATEGORY_NAME_SIZE];

const ItemCategoryCode ITEM_CATEGORY_CODES[ITEM_CATEGORY_CODE_COUNT] = {
    {"Wepn", ITEM_FLAG_WEAPON, "weapons"},
    {"Armr", ITEM_FLAG_ARMOR, "pieces of armor"},
    {"Furn", ITEM_FLAG_FURNITURE, "home decorations"},
    {"Clot", ITEM_FLAG_CLOTHES, "clothes"},
    {"Assr", ITEM_FLAG_ACCESSORY, "accessories"},
    {"Gold", ITEM_FLAG_VALUABLE, "valuable things"},
    {"Metl", ITEM_FLAG_METAL, "metal things"},
    {"Supp", ITEM_FLAG_DINNER, "dinner items"},
    {"Swtt", ITEM_FLAG_SWEET, "sweets"},
    {"Sobr", ITEM_FLAG_FANCY, "fancy things"},
    {"Plan", ITEM_FLAG_PLAIN, "plain things"},
    {"Trsr", ITEM_FLAG_RARE, "rare things"},
    {"Cres", ITEM_FLAG_COLD_WEATHER, "Cold Weather Gear"},
    {"Food", ITEM_FLAG_FOOD, "Food"},
    {"Holy", ITEM_FLAG_HOLY, "holy things"},
    {"Demn", ITEM_FLAG_SINISTER, "sinister things"},
};

const ItemSubcategory ITEM_SUBCATEGORIES[ITEM_SUBCATEGORY_COUNT] = {
    {"Swords", SUBCATEGORY_SWORDS, ITEM_CLASS_WEAPON},
    {"Daggers", SUBCATEGORY_DAGGERS, ITEM_CLASS_WEAPON},
    {"Staves", SUBCATEGORY_STAVES, ITEM_CLASS_WEAPON},
    {"Bows", SUBCATEGORY_BOWS, ITEM_CLASS_WEAPON},
    {"Gloves", SUBCATEGORY_GLOVES, ITEM_CLASS_WEAPON},
    {"Spears", SUBCATEGORY_SPEARS, ITEM_CLASS_WEAPON},
    {"Claws", SUBCATEGORY_CLAWS, ITEM_CLASS_WEAPON},
    {"Arm Parts", SUBCATEGORY_ARM_PARTS, ITEM_CLASS_WEAPON},
    {"\x82\xbb\x82\xcc\x91\xbc\x95\x90\x8a\xed", 0, ITEM_CLASS_WEAPON},   // "その他武器", other weapons
    {"Clothes", 9, ITEM_CLASS_ARMOR},
    {"Robes", 10, ITEM_CLASS_ARMOR},
    {"Breastplates", 11, ITEM_CLASS_ARMOR},
    {"Armor", 12, ITEM_CLASS_ARMOR},
    {"Bracelets", 13, ITEM_CLASS_ARMOR},
    {"Shields", 14, ITEM_CLASS_ARMOR},
    {"Hats", 15, ITEM_CLASS_ARMOR},
    {"Helms", 16, ITEM_CLASS_ARMOR},
    {"Scarves", 17, ITEM_CLASS_NONE},
    {"Shoes", 18, ITEM_CLASS_NONE},
    {"Necklaces", 19, ITEM_CLASS_NONE},
    {"Charms", 20, ITEM_CLASS_NONE},
    {"Capes", 21, ITEM_CLASS_NONE},
    {"Rings", 22, ITEM_CLASS_NONE},
    {"Flooring", 0, ITEM_CLASS_FURNISHING},
    {"Wallpapers", 0, ITEM_CLASS_FURNISHING},
    {"Counters", 0, ITEM_CLASS_FURNISHING},
    {"Rugs", 0, ITEM_CLASS_FURNISHING},
};

static const char UNKNOWN_LINE_CAPTION[] = "\x95\x73\x96\xbe\x82\xc8\x8d\x73";   // "不明な行"
static const char ITEM_TABLE_FULL_TEXT[] =
    "\x83\x41\x83\x43\x83\x65\x83\x80\x93\x6f\x98\x5e\x83\x49\x81\x5b\x83\x6f\x81\x5b";   // "アイテム登録オーバー"
static const char ITEM_TABLE_FULL_CAPTION[] = "error";
static const char DUMMY_WORD[] = "\x83\x5f\x83\x7e\x81\x5b";   // "ダミー"

// The category in force while the file is read: set by category lines, taken
// by the item lines after them.
static char sCategoryName[ITEM_CATEGORY_NAME_SIZE];
static char sCategoryTitle[ITEM_CATEGORY_NAME_SIZE];

static bool isDigit(char c) { return c >= '0' && c <= '9'; }
static bool isLineEnd(const char* p, const char* end) { return p >= end || *p == '\r' || *p == '\n'; }

// The position after the next '#' at or after p; null when the line ends first.
static const char* afterHash(const char* p, const char* end) {
    const void* hash = p < end ? memchr(p, '#', static_cast<size_t>(end - p)) : nullptr;
    return hash ? static_cast<const char*>(hash) + 1 : nullptr;
}

// Moves p by n characters, stopping at the line's end.
static const char* advance(const char* p, const char* end, int32_t n) { return end - p < n ? end : p + n; }

int32_t parseItemCategoryCode(const char* text, const char* end) {
    if (end - text < 4) return 0;
    for (const ItemCategoryCode& c : ITEM_CATEGORY_CODES) {
        if (memcmp(text, c.code, 4) == 0) return c.flag;
    }
    return 0;
}

static const ItemSubcategory* findSubcategory(const char* name, const char* end) {
    for (const ItemSubcategory& s : ITEM_SUBCATEGORIES) {
        if (textBeginsWith(name, end, s.name)) return &s;
    }
    return nullptr;
}

int32_t classifyItemSubcategory(const char* name, const char* end) {
    const ItemSubcategory* s = findSubcategory(name, end);
    return s ? s->itemClass : ITEM_CLASS_NONE;
}

int32_t classifyItemSubcategory(const char* name) { return classifyItemSubcategory(name, name + strlen(name)); }

int32_t getItemSubcategoryId(const char* name, const char* end) {
    const ItemSubcategory* s = findSubcategory(name, end);
    return s ? s->id : 0;
}

int32_t getItemSubcategoryId(const char* name) { return getItemSubcategoryId(name, name + strlen(name)); }

// The slot group of a subcategory id; 0 for a subcategory that only clashes
// with itself.
static int32_t slotGroupOf(int32_t subcategoryId) {
    if (subcategoryId >= 9 && subcategoryId <= 12) return 1;    // body
    if (subcategoryId >= 13 && subcategoryId <= 14) return 2;   // arm
    if (subcategoryId >= 15 && subcategoryId <= 16) return 3;   // head
    return 0;
}

int32_t isDifferentEquipSlot(int32_t a, int32_t b) {
    if (a == b) return 0;
    int32_t group = slotGroupOf(a);
    return group != 0 && group == slotGroupOf(b) ? 0 : 1;
}

int32_t findItemDef(int32_t id) {
    for (int32_t row = 0; row < gItemDefinitionCount && row < ITEM_DEFINITION_MAX; row++) {
        if (gItemDefinitions[row].id == id) return row;
    }
    return -1;
}

int32_t findItemRowByName(const char* name, const char* end) {
    for (int32_t row = 0; row < gItemDefinitionCount && row < ITEM_DEFINITION_MAX; row++) {
        if (textFieldEquals(gItemDefinitions[row].name, name, end)) return row;
    }
    return -1;
}

int32_t isItemInSubcategory(int32_t key, const char* word) {
    int32_t row = findItemDef(itemKeyId(key));
    if (row < 0) return 0;
    int32_t category = gItemDefinitions[row].category;
    if (category < 0 || category >= ITEM_CATEGORY_COUNT) return 0;
    return strncmp(gItemCategoryNames[category], word, 4) == 0 ? 1 : 0;
}

const char* describeItemCategory(int32_t flag) {
    for (const ItemCategoryCode& c : ITEM_CATEGORY_CODES) {
        if (c.flag == flag) return c.word;
    }
    return DUMMY_WORD;
}

int32_t findItemCategoryByPrefix(const char* text, const char* end) {
    for (int32_t c = 0; c < ITEM_CATEGORY_COUNT; c++) {
        if (gItemCategoryNames[c][0] != 0 && textBeginsWith(text, end, gItemCategoryNames[c])) return c;
    }
    return -1;
}

int32_t findItemCategoryByName(const char* text, const char* end) {
    for (int32_t c = 0; c < ITEM_CATEGORY_COUNT; c++) {
        if (gItemCategoryNames[c][0] != 0 && textFieldEquals(gItemCategoryNames[c], text, end)) return c;
    }
    return -1;
}

void parseItemCategoryLine(const char* text, const char* end) {
    if (end - text > ITEM_CATEGORY_NAME_SIZE) end = text + ITEM_CATEGORY_NAME_SIZE;
    // Each part is collected whole, then cut to its field; a part that gets
    // no character keeps what it held.
    char parts[2][ITEM_CATEGORY_NAME_SIZE + 1];
    int32_t lengths[2] = {0, 0};
    int32_t part = 0;
    for (const char* p = text; p < end && *p != '\r' && *p != '\n'; p++) {
        if (*p == '#') {
            part = 1;
            lengths[1] = 0;
            continue;
        }
        parts[part][lengths[part]++] = *p;
    }
    char* fields[2] = {sCategoryName, sCategoryTitle};
    for (int32_t i = 0; i < 2; i++) {
        if (lengths[i] > 0) copyTextField(parts[i], parts[i] + lengths[i], fields[i], ITEM_CATEGORY_NAME_SIZE);
    }
}

void parseItemCategoryCodes(ItemDefinition& row, const char*& p, const char* end) {
    row.categoryFlags = 0;
    for (int32_t step = 0; step < 10 && !isLineEnd(p, end) && *p != '#'; step++) {
        if (*p == ' ') {
            p++;
            continue;
        }
        row.categoryFlags |= parseItemCategoryCode(p, end);
        p = advance(p, end, 4);
    }
    if (row.category >= 0 && row.category < ITEM_CATEGORY_COUNT) {
        row.categoryFlags |= classifyItemSubcategory(gItemCategoryNames[row.category]);
    }
}

// The keys of the parameter field, in the order each pass tests them.
enum ItemParamKey { PARAM_WRHS, PARAM_DO, PARAM_RE, PARAM_MI, PARAM_FA, PARAM_SI, PARAM_LA, PARAM_KEY_COUNT };
static const char* const ITEM_PARAM_KEYS[PARAM_KEY_COUNT] = {"wrhs(", "do(", "re(", "mi(", "fa(", "si(", "la("};

void parseItemParamFields(ItemDefinition& row, const char*& p, const char* end) {
    row.stockType = 0;
    row.guildRank = 0;
    row.marketRank = 0;
    row.sellerRank = 0;
    row.fa[0] = row.fa[1] = row.fa[2] = 0;
    row.si = static_cast<int8_t>(ITEM_SI_ABSENT);
    row.la = 0;
    int8_t* singles[PARAM_KEY_COUNT] = {&row.stockType, &row.guildRank, &row.marketRank, &row.sellerRank,
                                        nullptr, &row.si, &row.la};
    for (int32_t pass = 0; pass < 5; pass++) {
        for (int32_t k = 0; k < PARAM_KEY_COUNT; k++) {
            if (!textBeginsWith(p, end, ITEM_PARAM_KEYS[k])) continue;
            p += strlen(ITEM_PARAM_KEYS[k]);
            if (k != PARAM_FA) {
                // Values are single digits: reading moves past one digit and the ')'.
                *singles[k] = static_cast<int8_t>(parseTextInt(p, end));
                p = advance(p, end, 2);
                continue;
            }
            for (int32_t v = 0; v < 3; v++) {
                int32_t value = parseTextInt(p, end);
                bool small = value < 10;
                row.fa[v] = static_cast<int8_t>(small ? value * 10 : value);
                p = advance(p, end, small ? 2 : 3);
                if (p >= end || *p != '(') break;
                p++;
            }
        }
    }
}

void parseItemFlagCodes(ItemDefinition& row, const char*& p, const char* end) {
    if (p < end && *p == '#') {
        row.userMask = 0xff;
        return;
    }
    struct UserCode { char code[3]; int32_t mask; };
    static const UserCode USER_CODES[] = {
        {"a1", 0xff}, {"a2", 0x01}, {"a3", 0x02}, {"a4", 0x04}, {"a5", 0x08}, {"a6", 0x10},
        {"a7", 0x20}, {"a8", 0x40}, {"a9", 0x80}, {"b1", 0x55}, {"b2", 0xaa},
    };
    for (int32_t step = 0; step < 10 && !isLineEnd(p, end) && *p != '#'; step++) {
        if (*p == ' ') {
            p++;
            continue;
        }
        for (const UserCode& u : USER_CODES) {
            if (end - p >= 2 && p[0] == u.code[0] && p[1] == u.code[1]) row.userMask |= u.mask;
        }
        p = advance(p, end, 2);
    }
}

// Collects the characters of one text section of an item line.
struct ItemTextBuffer {
    char bytes[ITEM_LINE_STEPS + 1];
    int32_t length;
    void put(char c) {
        if (length < ITEM_LINE_STEPS) bytes[length++] = c;
    }
    void store(char* field, int32_t size) const { copyTextField(bytes, bytes + length, field, size); }
};

void parseItemLine(const char* text, const char* end, int32_t id, int32_t rowIndex) {
    if (rowIndex < 0 || rowIndex >= ITEM_DEFINITION_MAX) return;
    ItemDefinition& row = gItemDefinitions[rowIndex];
    row = ItemDefinition{};
    row.id = id;
    row.category = id / 100;
    row.iconCell = id % 100;
    if (row.category >= 0 && row.category < ITEM_CATEGORY_COUNT) {
        memcpy(gItemCategoryNames[row.category], sCategoryName, ITEM_CATEGORY_NAME_SIZE);
        memcpy(gItemCategoryTitles[row.category], sCategoryTitle, ITEM_CATEGORY_NAME_SIZE);
    }
    row.subcategoryId = getItemSubcategoryId(sCategoryName);
    strcpy(row.text, " ");
    strcpy(row.text2, " ");
    // The row counts as parsed wherever the line ends.
    row.valid = 1;

    ItemTextBuffer name{}, name2{};
    int32_t steps = 0;
    const char* p = text;
    bool second = false;
    bool fieldsStart = false;
    while (steps < ITEM_LINE_STEPS && !isLineEnd(p, end)) {
        char c = *p;
        steps++;
        if (row.sortNumber == 0 && isDigit(c)) {
            row.sortNumber = parseTextInt(p, end);
            p = afterHash(p, end);
            if (!p) break;
            continue;
        }
        p++;
        if (c == '#') {
            fieldsStart = true;
            break;
        }
        if (c == '+') {
            second = true;
            name2.length = 0;
            continue;
        }
        if (!second) name.put(c);
        name2.put(c);
    }
    name.store(row.name, ITEM_NAME_SIZE);
    name2.store(row.name2, ITEM_NAME_SIZE);
    if (!fieldsStart) return;

    // The numeric fields count as one step together.
    steps++;
    int32_t* numbers[5] = {&row.price, &row.attack, &row.defence, &row.magic, &row.magicDefence};
    static const char* const NUMBER_TRACES[5] = {"loop err s1\n", "loop err s2\n", "loop err s3\n", "loop err s4\n",
                                                 "loop err s5\n"};
    for (int32_t f = 0; f < 5; f++) {
        if (isLineEnd(p, end)) {
            writeDebugLog(NUMBER_TRACES[f]);
            return;
        }
        if (*p != '#') *numbers[f] = parseTextInt(p, end);
        p = afterHash(p, end);
        if (!p) return;   // no closing '#': the item ends with the line
    }
    typedef void (*FieldParser)(ItemDefinition&, const char*&, const char*);
    const FieldParser fields[3] = {parseItemCategoryCodes, parseItemParamFields, parseItemFlagCodes};
    static const char* const FIELD_TRACES[3] = {"loop err s6\n", "loop err s\n", "loop err s8\n"};
    for (int32_t f = 0; f < 3; f++) {
        if (isLineEnd(p, end)) {
            writeDebugLog(FIELD_TRACES[f]);
            return;
        }
        fields[f](row, p, end);
        p = afterHash(p, end);
        if (!p) return;
    }

    ItemTextBuffer texts[2]{};
    int32_t which = 0;
    while (steps < ITEM_LINE_STEPS && !isLineEnd(p, end)) {
        char c = *p++;
        steps++;
        if (which == 0 && c == '#') {
            which = 1;
            continue;
        }
        if (which == 1 && c == '/') break;   // a comment follows
        texts[which].put(c);
    }
    if (texts[0].length > 0) texts[0].store(row.text, ITEM_TEXT_SIZE);
    if (texts[1].length > 0) texts[1].store(row.text2, ITEM_TEXT_SIZE);
}

// A NUL-terminated copy of a line for a message box.
static void showLineMessage(const TextLine& line, const char* caption) {
    char text[512];
    copyTextField(line.start, line.end, text, sizeof text);
    showMessageBox(text, caption, MESSAGE_BOX_OK);
}

void parseItemTable(const char* text, int32_t length) {
    for (ItemDefinition& row : gItemDefinitions) row = ItemDefinition{};
    memset(gItemCategoryNames, 0, sizeof gItemCategoryNames);
    memset(gItemCategoryTitles, 0, sizeof gItemCategoryTitles);
    memset(sCategoryName, 0, sizeof sCategoryName);
    memset(sCategoryTitle, 0, sizeof sCategoryTitle);
    gItemDefinitionCount = 0;

    int32_t rows = 0;
    bool fullShown = false;
    TextCursor cursor = beginText(text, length);
    TextLine line;
    while (nextDataLine(cursor, line)) {
        char first = *line.start;
        if (first == ' ') continue;
        if (first == ':') {
            parseItemCategoryLine(line.start + 1, line.end);
            continue;
        }
        if (!isDigit(first)) {
            showLineMessage(line, UNKNOWN_LINE_CAPTION);
            continue;
        }
        int32_t id = parseTextInt(line.start, line.end);
        // The item part starts after four digits and one separator.
        if (id > ITEM_ID_MAX || line.end - line.start <= 5) continue;
        if (rows >= ITEM_DEFINITION_MAX) {
            // Beyond the table: dropped, told once.
            if (!fullShown) showMessageBox(ITEM_TABLE_FULL_TEXT, ITEM_TABLE_FULL_CAPTION, MESSAGE_BOX_OK);
            fullShown = true;
            continue;
        }
        parseItemLine(line.start + 5, line.end, id, rows);
        rows++;
    }
    gItemDefinitionCount = rows;
    memset(sCategoryName, 0, sizeof sCategoryName);
    memset(sCategoryTitle, 0, sizeof sCategoryTitle);
}

constexpr int32_t ITEM_FILE_SLACK = TEXT_ENTRY_SLACK + 100;

void loadItemTable() {
    TextEntry entry = readTextEntry("data/item.txt", ITEM_FILE_SLACK);
    parseItemTable(entry.bytes.get(), entry.length);
}
