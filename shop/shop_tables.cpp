#include "shop/shop_tables.h"

#include <cstdio>
#include <cstring>

#include "engine/archive.h"
#include "engine/game_folder.h"
#include "engine/text_data.h"
#include "platform/window.h"
#include "shop/counter.h"
#include "shop/customer_types.h"
#include "shop/fusion_recipes.h"
#include "shop/item_db.h"
#include "shop/request_rows.h"
#include "shop/text_fields.h"
#include "shop/buysell_table.h"
#include "shop/trend_definitions.h"
#include "shop/tutorial_scripts.h"

// Message texts and captions, Shift-JIS.
static const char LIKED_FULL_CAPTION[] =   // "好き種類登録数オーバー"
    "\x8d\x44\x82\xab\x8e\xed\x97\xde\x93\x6f\x98\x5e\x90\x94\x83\x49\x81\x5b\x83\x6f\x81\x5b";
static const char UNKNOWN_LIKED_CAPTION[] = "Unknown Item 1";
static const char PICTURES_FULL_TEXT[] =   // "グラフィック登録数オーバー"
    "\x83\x4f\x83\x89\x83\x74\x83\x42\x83\x62\x83\x4e\x93\x6f\x98\x5e\x90\x94\x83\x49\x81\x5b\x83\x6f\x81\x5b";
static const char VOICES_FULL_TEXT[] = "SE\x93\x6f\x98\x5e\x90\x94\x83\x49\x81\x5b\x83\x6f\x81\x5b";   // "SE登録数オーバー"
static const char LINES_FULL_TEXT[] =   // "メッセージ登録数オーバー"
    "\x83\x81\x83\x62\x83\x5a\x81\x5b\x83\x57\x93\x6f\x98\x5e\x90\x94\x83\x49\x81\x5b\x83\x6f\x81\x5b";
static const char UNKNOWN_CATEGORY_CAPTION[] = "\x91\xae\x90\xab\x95\x73\x96\xbe\x82\xc8\x93\x6f\x98\x5e";   // "属性不明な登録"
static const char UNKNOWN_TARGET_CAPTION[] = "syn error";
static const char UNKNOWN_INGREDIENT_CAPTION[] =   // "gousei.txt に不明なアイテム3"
    "gousei.txt \x82\xc9\x95\x73\x96\xbe\x82\xc8\x83\x41\x83\x43\x83\x65\x83\x80"
    "3";
static const char BAD_QUANTITY_CAPTION[] =   // "合成素材アイテム数不明"
    "\x8d\x87\x90\xac\x91\x66\x8d\xde\x83\x41\x83\x43\x83\x65\x83\x80\x90\x94\x95\x73\x96\xbe";
static const char RECIPES_FULL_TEXT[] =   // "合成アイテム登録オーバー"
    "\x8d\x87\x90\xac\x83\x41\x83\x43\x83\x65\x83\x80\x93\x6f\x98\x5e\x83\x49\x81\x5b\x83\x6f\x81\x5b";
static const char SYNTAX_ERROR_CAPTION[] = "syntax error";
static const char EMPTY_BOUNDS_CAPTION[] = "no item in price range";
static const char REQUESTS_FULL_TEXT[] =   // "オーダー登録オーバー"
    "\x83\x49\x81\x5b\x83\x5f\x81\x5b\x93\x6f\x98\x5e\x83\x49\x81\x5b\x83\x6f\x81\x5b";
static const char TRENDS_FULL_TEXT[] =   // "ニュース登録オーバー"
    "\x83\x6a\x83\x85\x81\x5b\x83\x58\x93\x6f\x98\x5e\x83\x49\x81\x5b\x83\x6f\x81\x5b";
static const char TUTORIAL_FULL_TEXT[] =   // "チュートリアル登録オーバー"
    "\x83\x60\x83\x85\x81\x5b\x83\x67\x83\x8a\x83\x41\x83\x8b\x93\x6f\x98\x5e\x83\x49\x81\x5b\x83\x6f\x81\x5b";
static const char TABLE_FULL_CAPTION[] = "error";

constexpr int32_t ITEM_FILE_SLACK = TEXT_ENTRY_SLACK + 100;
constexpr int32_t MESSAGE_TEXT_SIZE = 512;

static bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The position pos bytes into the line, or the line's end when it is shorter.
static const char* at(const TextLine& line, int32_t pos) {
    return line.end - line.start > pos ? line.start + pos : line.end;
}

// The first c in [from, end), or null.
static const char* findChar(const char* from, const char* end, char c) {
    if (from >= end) return nullptr;
    return static_cast<const char*>(memchr(from, c, static_cast<size_t>(end - from)));
}

// Modal, no owner; loading goes on afterwards.
static void showText(const char* from, const char* end, const char* caption) {
    char text[MESSAGE_TEXT_SIZE];
    copyTextField(from, end, text, sizeof text);
    showMessageBox(text, caption, MESSAGE_BOX_OK);
}

// A table that is full drops every further row; the box is shown once per
// file so a long overflow does not stack up boxes.
struct TableLimit {
    const char* text;
    bool shown;
    bool full(int32_t count, int32_t max) {
        if (count < max) return false;
        if (!shown) showMessageBox(text, TABLE_FULL_CAPTION, MESSAGE_BOX_OK);
        shown = true;
        return true;
    }
};

// "%0Nd" followed by the terminator at pos: the number, else -1.
static int32_t numberedKey(const TextLine& line, int32_t pos, int32_t digits, char terminator) {
    if (line.end - line.start < pos + digits + 1) return -1;
    int32_t value = 0;
    for (int32_t i = 0; i < digits; i++) {
        char c = line.start[pos + i];
        if (!isDigit(c)) return -1;
        value = value * 10 + (c - '0');
    }
    return line.start[pos + digits] == terminator ? value : -1;
}

void loadItemTable() {
    TextEntry entry = readTextEntry("data/item.txt", ITEM_FILE_SLACK);
    parseItemTable(entry.bytes.get(), entry.length);
}

// --- customer types ---------------------------------------------------------

static void parseCustomerName(CustomerType& type, const char* value, const char* end) {
    if (end - value > CUSTOMER_NAME_SIZE) end = value + CUSTOMER_NAME_SIZE;
    const char* hash = findChar(value, end, '#');
    if (!hash) {
        copyTextField(value, end, type.name, CUSTOMER_NAME_SIZE);
        copyTextField(value, end, type.groupName, CUSTOMER_NAME_SIZE);
        return;
    }
    copyTextField(value, hash, type.name, CUSTOMER_NAME_SIZE);
    copyTextField(hash + 1, end, type.groupName, CUSTOMER_NAME_SIZE);
}

static void parseLikedCategory(CustomerType& type, const TextLine& line, const char* value) {
    int32_t category = findItemCategoryByPrefix(value, line.end);
    if (category < 0) {
        showText(value, line.end, UNKNOWN_LIKED_CAPTION);
        return;
    }
    if (type.likedCount < 0 || type.likedCount >= CUSTOMER_LIKED_MAX) {
        showText(line.start, line.end, LIKED_FULL_CAPTION);
        return;
    }
    type.likedCategories[type.likedCount++] = category;
}

static int32_t parseLikedFlags(const char* p, const char* end) {
    int32_t flags = 0;
    for (int32_t code = 0; code < 10 && p < end && *p != ','; code++) {
        flags |= parseItemCategoryCode(p, end) | classifyItemSubcategory(p, end);
        p = end - p < 4 ? end : p + 4;
    }
    return flags;
}

static int32_t parseActiveTimes(const char* p, const char* end) {
    struct TimeCode { char code[3]; int32_t bit; };
    static const TimeCode TIME_CODES[] = {
        {"Mo", ACTIVE_MORNING}, {"No", ACTIVE_NOON}, {"Ev", ACTIVE_EVENING}, {"Ni", ACTIVE_NIGHT},
    };
    int32_t times = 0;
    for (int32_t code = 0; code < 4 && p < end; code++) {
        for (const TimeCode& t : TIME_CODES) {
            if (end - p >= 2 && p[0] == t.code[0] && p[1] == t.code[1]) times |= t.bit;
        }
        p = end - p < 2 ? end : p + 2;
    }
    return times;
}

void parseCustomerTypes(const char* text, int32_t length) {
    for (CustomerType& type : gCustomerTypes) {
        type.pictureCount = 0;
        type.voiceCount = 0;
        type.present = 0;
        type.likedCount = 0;
        memset(type.lineVariantCount, 0, sizeof type.lineVariantCount);
    }
    struct IntKey { const char* key; int32_t CustomerType::*field; };
    static const IntKey INT_KEYS[] = {
        {"NameNumb:", &CustomerType::nameNumber}, {"Sp:", &CustomerType::spValue},
        {"Dp:", &CustomerType::concession},       {"Rise_1:", &CustomerType::rise1},
        {"Rise_2:", &CustomerType::rise2},        {"Frst:", &CustomerType::firstOffer},
        {"Randomis:", &CustomerType::firstOfferSpread},
    };
    int32_t current = -1;   // lines before the first type line change nothing
    TextCursor cursor = beginText(text, length);
    TextLine line;
    while (nextDataLine(cursor, line)) {
        int32_t k = numberedKey(line, 0, 3, ':');
        if (k >= 0 && k < CUSTOMER_TYPE_COUNT) {
            current = k;
            gCustomerTypes[k].present = 1;
            parseCustomerName(gCustomerTypes[k], line.start + 4, line.end);
            continue;
        }
        if (current < 0) continue;
        CustomerType& type = gCustomerTypes[current];
        const char* v;
        bool done = false;
        for (const IntKey& key : INT_KEYS) {
            if ((v = lineValue(line, key.key))) {
                type.*key.field = parseTextInt(v, line.end);
                done = true;
                break;
            }
        }
        if (done) continue;
        if ((v = lineValue(line, "Attr:"))) {
            int32_t values[2] = {type.attrA, type.attrB};
            parseTextInts(v, line.end, ',', values, 2);
            type.attrA = values[0];
            type.attrB = values[1];
        } else if ((v = lineValue(line, "Gold:"))) {
            int32_t values[2] = {type.budgetMin, type.budgetMax};
            parseTextInts(v, line.end, '-', values, 2);
            type.budgetMin = values[0];
            type.budgetMax = values[1];
        } else if ((v = lineValue(line, "LikeType:"))) {
            parseLikedCategory(type, line, v);
        } else if ((v = lineValue(line, "PrimType:"))) {
            type.likedFlags = parseLikedFlags(v, line.end);
        } else if ((v = lineValue(line, "file:"))) {
            copyTextField(v, line.end, type.subFile, CUSTOMER_FILE_NAME_SIZE);
        } else if ((v = lineValue(line, "ActvTime:"))) {
            type.activeTimes = parseActiveTimes(v, line.end);
        }
    }
}

void loadCustomerTypes() {
    TextEntry entry = readTextEntry("data/kyaku.txt");
    parseCustomerTypes(entry.bytes.get(), entry.length);
}

// One speech line: "msgKK:FF,sVV,text" or "msgKK:FF,sno,text".
static void parseSpeechLine(CustomerType& type, int32_t kind, const TextLine& line, const char* fileName) {
    if (kind >= CUSTOMER_LINE_KINDS) {
        showMessageBox(LINES_FULL_TEXT, fileName, MESSAGE_BOX_OK);
        return;
    }
    int32_t variant = type.lineVariantCount[kind];
    if (variant < 0 || variant >= CUSTOMER_LINE_VARIANTS) {
        showMessageBox(LINES_FULL_TEXT, fileName, MESSAGE_BOX_OK);
        return;
    }
    type.lineFaces[kind][variant] = parseTextInt(at(line, 6), line.end);
    bool silent = line.end - line.start >= 12 && memcmp(line.start + 9, "sno", 3) == 0;
    type.lineVoices[kind][variant] = silent ? CUSTOMER_NO_VOICE : parseTextInt(at(line, 10), line.end);
    copyTextField(at(line, 13), line.end, type.lineTexts[kind][variant], CUSTOMER_LINE_SIZE);
    // The last variant that fits is told about too.
    if (++type.lineVariantCount[kind] == CUSTOMER_LINE_VARIANTS) showMessageBox(LINES_FULL_TEXT, fileName, MESSAGE_BOX_OK);
}

// "grpNN name" and "seNN name": a file name into its numbered slot.
static void parseNamedSlot(char (*slots)[CUSTOMER_FILE_NAME_SIZE], int32_t& count, int32_t max, const TextLine& line,
                           int32_t numberAt, const char* fullText, const char* fileName) {
    int32_t index = parseTextInt(at(line, numberAt), at(line, numberAt + 2));
    if (index < 0 || index >= max || count < 0 || count >= max) {
        showMessageBox(fullText, fileName, MESSAGE_BOX_OK);
        return;
    }
    copyTextField(at(line, numberAt + 3), line.end, slots[index], CUSTOMER_FILE_NAME_SIZE);
    count++;
}

void parseCustomerSubFile(int32_t typeIndex, const char* fileName, const char* text, int32_t length) {
    if (typeIndex < 0 || typeIndex >= CUSTOMER_TYPE_COUNT) return;
    CustomerType& type = gCustomerTypes[typeIndex];
    TextCursor cursor = beginText(text, length);
    TextLine line;
    while (nextDataLine(cursor, line)) {
        if (lineValue(line, "grp")) {
            parseNamedSlot(type.pictureFiles, type.pictureCount, CUSTOMER_PICTURE_MAX, line, 3, PICTURES_FULL_TEXT, fileName);
        } else if (lineValue(line, "se")) {
            parseNamedSlot(type.voiceFiles, type.voiceCount, CUSTOMER_VOICE_MAX, line, 2, VOICES_FULL_TEXT, fileName);
        } else if (lineValue(line, "msg")) {
            // "msg00:" to "msg98:"
            int32_t kind = numberedKey(line, 3, 2, ':');
            if (kind >= 0 && kind <= 98) parseSpeechLine(type, kind, line, fileName);
        }
    }
}

void loadCustomerSubFiles() {
    for (int32_t t = 0; t < CUSTOMER_TYPE_COUNT; t++) {
        const CustomerType& type = gCustomerTypes[t];
        // An empty name would match the archive's first entry.
        if (!type.present || type.subFile[0] == 0) continue;
        TextEntry entry = readTextEntry(type.subFile);
        parseCustomerSubFile(t, type.subFile, entry.bytes.get(), entry.length);
    }
    warnMissingCounterLines();
}

// --- trading test -----------------------------------------------------------

void parseBuySellTable(const char* text, int32_t length) {
    gBuySell = TradingTest{};
    memset(gBuySellTables, 0, sizeof gBuySellTables);
    TextCursor cursor = beginText(text, length);
    TextLine line;
    while (nextDataLine(cursor, line)) {
        const char* v;
        if (lineValue(line, "ok:")) {
            gBuySell.enabled = 1;
        } else if ((v = lineValue(line, "CstNum:"))) {
            gBuySell.customerType = parseTextInt(v, line.end);
        } else if ((v = lineValue(line, "BuySel:"))) {
            gBuySell.tradingMode = parseTextInt(v, line.end);
        } else if (lineValue(line, "msg")) {
            int32_t k = numberedKey(line, 3, 2, ':');
            if (k >= 0 && k < TRADING_TEST_LINE_KINDS) gBuySellTables[0][k] = parseTextInt(at(line, 6), line.end);
        } else if (lineValue(line, "rmsg")) {
            int32_t k = numberedKey(line, 4, 2, ':');
            if (k >= 0 && k < TRADING_TEST_LINE_KINDS) gBuySellTables[1][k] = parseTextInt(at(line, 7), line.end);
        }
    }
}

void loadBuySellTable() {
    TextEntry entry = readTextEntry("data/buysell.txt");
    parseBuySellTable(entry.bytes.get(), entry.length);
}

// --- request rows -------------------------------------------------------------

void parseRequestTable(const char* text, int32_t length) {
    for (RequestRow& row : gRequestRows) row = RequestRow{};
    gOrderRequestCount = 0;
    int32_t level = 0;
    TableLimit limit{REQUESTS_FULL_TEXT, false};
    TextCursor cursor = beginText(text, length);
    TextLine line;
    while (nextDataLine(cursor, line)) {
        const char* v = lineValue(line, "LV:");
        if (v) {
            level = parseTextInt(v, line.end);
            continue;
        }
        if (limit.full(gOrderRequestCount, REQUEST_ROW_MAX)) continue;
        // Name, order name and the rest (the category), tabs left out.
        char fields[3][REQUEST_LINE_MAX + 1];
        int32_t lengths[3] = {0, 0, 0};
        int32_t f = 0;
        for (const char* p = line.start; p < at(line, REQUEST_LINE_MAX); p++) {
            if (*p == '\t') continue;
            if (*p == ',' && f < 2) {
                f++;
                continue;
            }
            fields[f][lengths[f]++] = *p;
        }
        RequestRow& row = gRequestRows[gOrderRequestCount++];
        copyTextField(fields[0], fields[0] + lengths[0], row.name, REQUEST_NAME_SIZE);
        copyTextField(fields[1], fields[1] + lengths[1], row.orderName, REQUEST_NAME_SIZE);
        const char* category = fields[2];
        const char* categoryEnd = fields[2] + lengths[2];
        row.categoryMask = static_cast<uint32_t>(parseItemCategoryCode(category, categoryEnd));
        row.category = -1;
        if (row.categoryMask == 0) {
            row.category = findItemCategoryByName(category, categoryEnd);
            if (row.category < 0) {
                showText(category, categoryEnd, UNKNOWN_CATEGORY_CAPTION);
                showText(line.start, line.end, UNKNOWN_CATEGORY_CAPTION);
            }
        }
        row.rank = level - 1;
    }
}

void loadRequestTable() {
    TextEntry entry = readTextEntry("data/oder.txt");
    parseRequestTable(entry.bytes.get(), entry.length);
}

// --- trends and news ----------------------------------------------------------

struct TrendReader {
    int32_t customerType;
    int32_t seasonFirst;
    int32_t seasonLast;
};

static TrendDefinition newTrendRow(const TrendReader& reader) {
    TrendDefinition row{};
    row.item = -1;
    row.category = -1;
    row.boundLow = -1;
    row.boundHigh = -1;
    row.customerType = reader.customerType;
    row.seasonFirst = reader.seasonFirst;
    row.seasonLast = reader.seasonLast;
    return row;
}

// "-...,...,text": a row that is only news.
static bool parseNewsOnlyRow(const TextLine& line, const TrendReader& reader, TrendDefinition& row) {
    const char* first = findChar(line.start, line.end, ',');
    if (!first) {
        writeDebugLog("loop err 7\n");
        return false;
    }
    const char* second = findChar(first + 1, line.end, ',');
    if (!second) {
        writeDebugLog("loop err 8\n");
        return false;
    }
    row = newTrendRow(reader);
    row.customerType = 0;
    row.category = TREND_NEWS_ONLY;
    row.categoryMask = 0;
    copyTextField(second + 1, line.end, row.text, TREND_TEXT_SIZE);
    return true;
}

// "target,effect,days-random[,low-high],text".
static bool parseTrendRow(const TextLine& line, const TrendReader& reader, TrendDefinition& row) {
    const char* targetEnd = findChar(line.start, line.end, ',');
    if (!targetEnd) {
        writeDebugLog("loop err 1\n");
        return false;
    }
    const char* effect = targetEnd + 1;
    const char* effectEnd = findChar(effect, line.end, ',');
    if (!effectEnd) {
        writeDebugLog("loop err 2\n");
        return false;
    }
    const char* days = effectEnd + 1;
    const char* daysEnd = findChar(days, line.end, ',');
    if (!daysEnd) {
        writeDebugLog("loop err 3\n");
        return false;
    }
    const char* next = daysEnd + 1;
    int32_t bounds[2] = {-1, -1};
    if (next < line.end && isDigit(*next)) {
        const char* boundsEnd = findChar(next, line.end, ',');
        if (!boundsEnd) {
            writeDebugLog("loop err 4\n");
            return false;
        }
        parseTextInts(next, boundsEnd, '-', bounds, 2);
        next = boundsEnd + 1;
    }
    if (next >= line.end) {
        writeDebugLog("loop err 5\n");
        return false;
    }

    row = newTrendRow(reader);
    copyTextField(line.start, targetEnd, row.targetName, TREND_TARGET_SIZE);
    if (textBeginsWith(line.start, targetEnd, "Spcl")) {
        row.categoryMask = TREND_SPECIAL_MASK;
    } else {
        row.categoryMask = parseItemCategoryCode(line.start, targetEnd);
        if (row.categoryMask == 0) {
            row.category = findItemCategoryByName(line.start, targetEnd);
            if (row.category < 0) {
                int32_t item = findItemRowByName(line.start, targetEnd);
                if (item >= 0) row.item = gItemDefinitions[item].id;
                else showText(line.start, targetEnd, UNKNOWN_TARGET_CAPTION);
            }
        }
    }
    row.effect = parseTextInt(effect, effectEnd);
    int32_t duration[2] = {0, 0};
    parseTextInts(days, daysEnd, '-', duration, 2);
    row.duration = duration[0];
    row.durationRandom = duration[1];
    row.boundLow = bounds[0];
    row.boundHigh = bounds[1];
    copyTextField(next, line.end, row.text, TREND_TEXT_SIZE);
    return true;
}

void parseTrendTable(const char* text, int32_t length) {
    for (TrendDefinition& row : gTrendDefinitions) row = TrendDefinition{};
    gTrendDefinitionCount = 0;
    TrendReader reader{0, 0, 100};
    TableLimit limit{TRENDS_FULL_TEXT, false};
    TextCursor cursor = beginText(text, length);
    TextLine line;
    while (nextDataLine(cursor, line)) {
        if (lineValue(line, "TgtPsn")) {
            reader.customerType = parseTextInt(at(line, 7), line.end);
            continue;
        }
        if (lineValue(line, "Sesn")) {
            int32_t season[2] = {reader.seasonFirst, reader.seasonLast};
            if (parseTextInts(at(line, 5), line.end, '-', season, 2) < 2) writeDebugLog("loop err 6\n");
            reader.seasonFirst = season[0];
            reader.seasonLast = season[1];
            continue;
        }
        TrendDefinition row;
        bool read = *line.start == '-' ? parseNewsOnlyRow(line, reader, row) : parseTrendRow(line, reader, row);
        if (!read || limit.full(gTrendDefinitionCount, TREND_DEFINITION_MAX)) continue;
        if (!trendBoundsAdmitItem(row)) {
            // A price range no item falls in could never bind its item. The
            // row keeps its number (the booms and saved slots count rows)
            // but names nothing, so it is never drawn.
            showText(line.start, line.end, EMPTY_BOUNDS_CAPTION);
            row.item = -1;
            row.categoryMask = 0;
            row.category = -1;
            row.boundLow = row.boundHigh = -1;
        }
        gTrendDefinitions[++gTrendDefinitionCount] = row;
    }
}

void loadTrendTable() {
    TextEntry entry = readTextEntry("data/news.txt");
    parseTrendTable(entry.bytes.get(), entry.length);
}

// --- fusion recipes -----------------------------------------------------------

// The row of the item named [from, end); row 0 with a message when none has it.
static int32_t fusionItemRow(const char* from, const char* end) {
    int32_t row = findItemRowByName(from, end);
    if (row >= 0) return row;
    showText(from, end, UNKNOWN_INGREDIENT_CAPTION);
    return 0;
}

static const char* nameEnd(const char* p, const char* end) {
    while (p < end && *p != ':' && *p != '#') p++;
    return p;
}

// "NNNN:product:ingredient#quantity:ingredient#quantity:".
static void parseRecipeLine(const TextLine& line, int32_t rank, FusionRecipe& recipe) {
    recipe = FusionRecipe{};
    for (int32_t i = 0; i < FUSION_INGREDIENT_MAX; i++) recipe.ingredients[i] = -1;
    recipe.rank = rank;
    const char* p = at(line, 5);
    const char* productEnd = nameEnd(p, line.end);
    recipe.product = fusionItemRow(p, productEnd);
    p = productEnd;
    int32_t count = 0;
    int32_t named = -1;   // the ingredient a '#' gives the quantity of
    bool bad = false;
    while (p < line.end) {
        if (*p == ':') {
            const char* name = ++p;
            p = nameEnd(p, line.end);
            named = -1;
            if (p == name) continue;   // the closing ':'
            if (count >= FUSION_INGREDIENT_MAX) {
                bad = true;   // more ingredients than a recipe holds: left out
                continue;
            }
            recipe.ingredients[count] = fusionItemRow(name, p);
            named = count++;
        } else if (*p == '#') {
            p++;
            if (named >= 0) recipe.quantities[named] = parseTextInt(p, line.end);
        } else {
            p++;
        }
    }
    for (int32_t i = 0; i < count; i++) {
        if (recipe.quantities[i] <= 0) bad = true;
    }
    if (bad) showText(line.start, line.end, BAD_QUANTITY_CAPTION);
}

void parseFusionRecipes(const char* text, int32_t length) {
    for (FusionRecipe& recipe : gFusionRecipes) recipe = FusionRecipe{};
    gFusionRecipeCount = 0;
    int32_t rank = 0;
    TableLimit limit{RECIPES_FULL_TEXT, false};
    TextCursor cursor = beginText(text, length);
    TextLine line;
    while (nextDataLine(cursor, line)) {
        const char* v = lineValue(line, "Rank:");
        if (v) {
            rank = parseTextInt(v, line.end);
            continue;
        }
        if (limit.full(gFusionRecipeCount, FUSION_RECIPE_MAX)) continue;
        parseRecipeLine(line, rank, gFusionRecipes[gFusionRecipeCount++]);
    }
}

void loadFusionRecipes() {
    TextEntry entry = readTextEntry("data/gousei.txt");
    parseFusionRecipes(entry.bytes.get(), entry.length);
}

// --- tutorial lessons ---------------------------------------------------------

struct TutorialWord {
    const char* word;   // compared over its own length
    int32_t command;
};
static const TutorialWord TUTORIAL_WORDS[] = {
    {"CHR0", TUTORIAL_SHOPKEEPER_SAYS}, {"CHR1", TUTORIAL_CUSTOMER_SAYS}, {"TAGD", TUTORIAL_SHOW_ITEM},
    {"PRID", TUTORIAL_SHOW_PRICE},      {"PRIA", TUTORIAL_ENTER_PRICE},   {"BUN0", TUTORIAL_PRICE_BRANCH},
    {"PRCE", TUTORIAL_PRICE_BRANCH},    {"GOTO", TUTORIAL_GOTO},          {"TAGN", TUTORIAL_HIDE_ITEM},
    {"TOUT", TUTORIAL_SWAP_CUSTOMER},   {"INVENTOR", TUTORIAL_OPEN_LIST}, {"SLSWRD", TUTORIAL_WEAPON_BRANCH},
    {"HIGH", TUTORIAL_HIGH_BRANCH},     {"DISC", TUTORIAL_DISCOUNT_BRANCH}, {"COST", TUTORIAL_COST_BRANCH},
    {"INIT_MNT_DTR", TUTORIAL_REMEMBER_PRICE},
};

static bool hasStepNumber(const TextLine& line) {
    const char* p = line.start;
    while (p < line.end && (*p == ' ' || *p == '\t')) p++;
    if (p < line.end && (*p == '+' || *p == '-')) p++;
    return p < line.end && isDigit(*p);
}

static bool takesTargets(int32_t command) {
    return command == TUTORIAL_PRICE_BRANCH || command == TUTORIAL_GOTO || command == TUTORIAL_WEAPON_BRANCH ||
           command == TUTORIAL_HIGH_BRANCH || command == TUTORIAL_DISCOUNT_BRANCH || command == TUTORIAL_COST_BRANCH;
}

// One row from a line with a step number. An unknown command word still
// makes a row, so the rows after it keep their places; the first such line
// of a file is reported.
static void parseTutorialLine(const TextLine& line, TutorialStep& step, bool& unknownShown) {
    step = TutorialStep{};
    step.step = parseTextInt(line.start, line.end);
    if (step.step == -1) {
        step.command = TUTORIAL_END;
        return;
    }
    if (step.step < 0) {
        copyTextField(at(line, 3), line.end, step.text, TUTORIAL_TEXT_SIZE);
        return;
    }
    const char* comma = findChar(line.start, line.end, ',');
    const char* word = comma ? comma + 1 : line.end;
    const TutorialWord* found = nullptr;
    for (const TutorialWord& w : TUTORIAL_WORDS) {
        if (textBeginsWith(word, line.end, w.word)) {
            found = &w;
            break;
        }
    }
    if (!found) {
        step.command = TUTORIAL_UNKNOWN;
        if (!unknownShown) showText(word, line.end, SYNTAX_ERROR_CAPTION);
        unknownShown = true;
        return;
    }
    step.command = found->command;
    if (step.command == TUTORIAL_SHOPKEEPER_SAYS || step.command == TUTORIAL_CUSTOMER_SAYS) {
        const char* face = line.end - word > 5 ? word + 5 : line.end;
        step.face = parseTextInt(face, line.end);
        const char* textStart = findChar(face, line.end, ',');
        if (textStart) copyTextField(textStart + 1, line.end, step.text, TUTORIAL_TEXT_SIZE);
    } else if (takesTargets(step.command)) {
        const char* p = word;
        for (int32_t t = 0; t < TUTORIAL_TARGET_COUNT; t++) {
            const char* c = findChar(p, line.end, ',');
            if (!c) break;
            step.targets[t] = parseTextInt(c + 1, line.end);
            p = c + 1;
        }
    }
}

void parseTutorialScript(int32_t lesson, const char* text, int32_t length) {
    if (lesson < 0 || lesson >= TUTORIAL_LESSON_COUNT) return;
    TutorialStep* rows = gTutorialScripts[lesson];
    for (int32_t i = 0; i < TUTORIAL_STEP_MAX; i++) rows[i] = TutorialStep{};
    int32_t count = 0;
    // The closing row needs the table's last place.
    TableLimit limit{TUTORIAL_FULL_TEXT, false};
    bool unknownShown = false;
    TextCursor cursor = beginText(text, length);
    TextLine line;
    while (nextDataLine(cursor, line)) {
        if (!hasStepNumber(line)) {
            writeDebugLog("loop err 17\n");
            continue;
        }
        if (limit.full(count, TUTORIAL_STEP_MAX - 1)) continue;
        parseTutorialLine(line, rows[count++], unknownShown);
    }
    rows[count] = TutorialStep{};
    rows[count].command = TUTORIAL_END;
}

// A loose file beside the program wins over the archive entry.
static TextEntry readLooseOrArchive(const char* name) {
    FILE* file = fopen(name, "rb");
    if (!file) return readTextEntry(name);
    TextEntry entry;
    entry.length = 0;
    int32_t size = getFileLength(file);
    if (size < 0 || size > INT32_MAX - TEXT_ENTRY_SLACK) size = 0;
    entry.bytes.reset(new char[size + TEXT_ENTRY_SLACK]());
    if (size > 0 && fread(entry.bytes.get(), 1, static_cast<size_t>(size), file) == static_cast<size_t>(size))
        entry.length = size;
    fclose(file);
    return entry;
}

void loadTutorialScripts() {
    for (int32_t lesson = 0; lesson < TUTORIAL_LESSON_COUNT; lesson++) {
        char name[32];
        snprintf(name, sizeof name, "data/tuto%d.txt", lesson + 1);
        TextEntry entry = readLooseOrArchive(name);
        parseTutorialScript(lesson, entry.bytes.get(), entry.length);
    }
}
