#include "shop/customer_types.h"

#include <cstring>

#include "engine/game_folder.h"
#include "engine/text_data.h"
#include "platform/window.h"
#include "shop/counter.h"
#include "shop/item_db.h"
#include "shop/table_lines.h"
#include "shop/text_fields.h"

CustomerType gCustomerTypes[CUSTOMER_TYPE_COUNT];

const char* customerTypeName(int32_t type) {
    return type >= 0 && type < CUSTOMER_TYPE_COUNT ? gCustomerTypes[type].name : "";
}

const char* customerPictureFile(int32_t type, int32_t slot) {
    if (type < 0 || type >= CUSTOMER_TYPE_COUNT || slot < 0 || slot >= CUSTOMER_PICTURE_MAX) return nullptr;
    const CustomerType& t = gCustomerTypes[type];
    if (t.pictureCount <= 0 || t.pictureFiles[slot][0] == 0) return nullptr;
    return t.pictureFiles[slot];
}

// Message texts and captions, Shift-JIS.
static const char LIKED_FULL_CAPTION[] =   // "好き種類登録数オーバー"
    "\x8d\x44\x82\xab\x8e\xed\x97\xde\x93\x6f\x98\x5e\x90\x94\x83\x49\x81\x5b\x83\x6f\x81\x5b";
static const char UNKNOWN_LIKED_CAPTION[] = "Unknown Item 1";
static const char PICTURES_FULL_TEXT[] =   // "グラフィック登録数オーバー"
    "\x83\x4f\x83\x89\x83\x74\x83\x42\x83\x62\x83\x4e\x93\x6f\x98\x5e\x90\x94\x83\x49\x81\x5b\x83\x6f\x81\x5b";
static const char VOICES_FULL_TEXT[] = "SE\x93\x6f\x98\x5e\x90\x94\x83\x49\x81\x5b\x83\x6f\x81\x5b";   // "SE登録数オーバー"
static const char LINES_FULL_TEXT[] =   // "メッセージ登録数オーバー"
    "\x83\x81\x83\x62\x83\x5a\x81\x5b\x83\x57\x93\x6f\x98\x5e\x90\x94\x83\x49\x81\x5b\x83\x6f\x81\x5b";

static void parseCustomerName(CustomerType& type, const char* value, const char* end) {
    if (end - value > CUSTOMER_NAME_SIZE) end = value + CUSTOMER_NAME_SIZE;
    const char* hash = findLineChar(value, end, '#');
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
        showTableText(value, line.end, UNKNOWN_LIKED_CAPTION);
        return;
    }
    if (type.likedCount < 0 || type.likedCount >= CUSTOMER_LIKED_MAX) {
        showTableText(line.start, line.end, LIKED_FULL_CAPTION);
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
    type.lineFaces[kind][variant] = parseTextInt(lineAt(line, 6), line.end);
    bool silent = line.end - line.start >= 12 && memcmp(line.start + 9, "sno", 3) == 0;
    type.lineVoices[kind][variant] = silent ? CUSTOMER_NO_VOICE : parseTextInt(lineAt(line, 10), line.end);
    copyTextField(lineAt(line, 13), line.end, type.lineTexts[kind][variant], CUSTOMER_LINE_SIZE);
    // The last variant that fits is told about too.
    if (++type.lineVariantCount[kind] == CUSTOMER_LINE_VARIANTS) showMessageBox(LINES_FULL_TEXT, fileName, MESSAGE_BOX_OK);
}

// "grpNN name" and "seNN name": a file name into its numbered slot.
static void parseNamedSlot(char (*slots)[CUSTOMER_FILE_NAME_SIZE], int32_t& count, int32_t max, const TextLine& line,
                           int32_t numberAt, const char* fullText, const char* fileName) {
    int32_t index = parseTextInt(lineAt(line, numberAt), lineAt(line, numberAt + 2));
    if (index < 0 || index >= max || count < 0 || count >= max) {
        showMessageBox(fullText, fileName, MESSAGE_BOX_OK);
        return;
    }
    copyTextField(lineAt(line, numberAt + 3), line.end, slots[index], CUSTOMER_FILE_NAME_SIZE);
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
